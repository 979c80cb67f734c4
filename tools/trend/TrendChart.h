#pragma once
// The trend's line chart: time along the bottom, one series per channel.
// The rest of the program sees only this adapter, never the chart library
// under it (QCustomPlot).
//
// Times are in ms since the epoch, shown as local clock time. A NaN value
// breaks the series' line. The user zooms the time axis with the wheel or
// by dragging a box, and pans it with Shift and a drag; either emits
// userChangedTimeRange.
#include "monitor/TrendData.h"
#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <vector>

class TrendPlot;

namespace trend {

class TrendChart : public QWidget {
    Q_OBJECT
public:
    explicit TrendChart(QWidget *parent = nullptr);
    ~TrendChart() override;

    // Series index < kTrendChannels: its name (legend, hover) and colour,
    // and whether its values are drawn as steps (bits).
    void setSeries(int index, const QString &name, const QColor &colour, bool steps);
    void setSeriesVisible(int index, bool visible);
    bool isSeriesVisible(int index) const;
    QString seriesName(int index) const;
    // The points the series draws (replacing what it drew).
    void setPoints(int index, const std::vector<monitor::TrendPoint> &points);
    // What series index draws now (x in ms since the epoch).
    std::vector<monitor::TrendPoint> points(int index) const;
    // Removes every point and resets the axes.
    void clear();

    void setTimeRange(double t0, double t1);
    double timeFrom() const;
    double timeTo() const;
    // Fits the value axis to the points of the visible series in the time range.
    void fitValueAxis();
    double valueFrom() const;
    double valueTo() const;

    // Draws now what was set. When only the points changed since the last
    // drawing (the same axes, legend and size), only the lines are drawn
    // again, over the axes, grid and legend drawn before.
    void redraw();
    // The chart as on screen, at its size on screen.
    QPixmap picture();
    // Time and value of the point of a visible series nearest to pos (in
    // the chart's coordinates); empty when no point is near.
    QString hoverText(const QPoint &pos) const;
    // Where the point (t, v) is drawn, in the chart's coordinates.
    QPoint pixelOf(double t, double v) const;

signals:
    void userChangedTimeRange(double t0, double t1);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void rangeChangedByPlot();
    // As many legend columns as the widest name leaves room for, so that
    // no name is cut at the right edge.
    void fitLegend();
    void fitTimeTicks(int chartWidth);
    // What the axes, grid and legend were last drawn for.
    struct Frame {
        double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        QSize size;
        bool operator==(const Frame &) const = default;
    };
    Frame frame() const;
    TrendPlot *m_plot;
    Frame m_drawnFrame;
    bool m_settingRange = false;
    bool m_legendChanged = true;
    // Something besides the points changed (names, colours, line styles,
    // which series are drawn) since everything was drawn.
    bool m_frameChanged = true;
};

// The stable colour of channel p.
QColor trendColour(int channel);

} // namespace trend
