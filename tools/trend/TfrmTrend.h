#pragma once
// The trend window: the values of the monitor's boxes over time.
//
// The window keeps the trend's data (monitor::TrendData) whether it is shown
// or not: every monitor answer appends one row, and that is all it costs
// while the window is closed. Shown, it redraws at most ten times a second,
// and new rows only when they would draw a new pixel column or have waited
// a column's time.
#include "monitor/TrendData.h"
#include <QDialog>
#include <QElapsedTimer>
#include <cstdint>

namespace Ui { class TfrmTrend; }
class QListWidgetItem;
class QTimer;

class TfrmTrend : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTrend(QWidget *parent = nullptr);
    ~TfrmTrend() override;

    const monitor::TrendData &data() const { return m_data; }
    bool following() const { return m_following; }
    // The span of cbTrendSpan in ms; 0 for "全体".
    int64_t spanMs() const;

    // Writes the chart as a PNG / the shown points of the chosen channels as
    // CSV, whole or not at all; false with the reason in *error.
    bool savePicture(const QString &path, QString *error);
    bool saveCsv(const QString &path, QString *error);

public slots:
    // One monitor answer, the numbers of its boxes, arrived at arrivalMs (ms
    // since the epoch).
    void monitorAnswer(const monitor::TrendSample &sample, qint64 arrivalMs);
    // The monitor's selection and channel names; another selection starts a
    // new trend.
    void monitorLayout(const monitor::TrendLayout &layout);
    // A monitor poll that got no answer in time at atMs: the values are
    // stale from then until the next answer, a gap in the trend.
    void monitorTimedOut(qint64 atMs);
    // No answers from atMs until the next one, for another reason (the
    // monitoring was stopped and is started again, the connection dropped):
    // a gap as well.
    void monitorInterrupted(qint64 atMs);

    void cbTrendSpanChange();
    void btnTrendFollowClick();
    void btnTrendSaveClick();
    void btnTrendCsvClick();
    // Draws now (the redraw timer calls it when something changed).
    void redrawTrend();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void channelItemChanged(QListWidgetItem *item);
    void userChangedTimeRange();
    void setFollowing(bool on);
    void refreshChannelList();
    // The time range followed: the last span of the data.
    std::pair<double, double> followedRange() const;
    // The view a redraw would draw now.
    monitor::TrendView currentView() const;
    bool redrawDue() const;
    uint32_t chosenChannels() const;
    QString chooseFile(const char *name, const QString &suffix);

    Ui::TfrmTrend *ui;
    monitor::TrendData m_data;
    QTimer *m_redrawTimer;
    bool m_following = true;
    bool m_viewChanged = true;
    bool m_bits = false;
    uint64_t m_drawnRevision = ~uint64_t(0);
    monitor::TrendView m_drawnView;
    QElapsedTimer m_sinceDrawn;
    uint32_t m_listedChannels = 0;
};
