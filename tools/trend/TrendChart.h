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

    // Draws now what was set.
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

private:
    void rangeChangedByPlot();
    TrendPlot *m_plot;
    bool m_settingRange = false;
};

// The stable colour of channel p.
QColor trendColour(int channel);

} // namespace trend
