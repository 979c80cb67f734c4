#pragma once
// The trend window: the values of the monitor's boxes over time.
//
// The window keeps the trend's data (monitor::TrendData) whether it is shown
// or not: every monitor answer appends one row, and that is all it costs
// while the window is closed. Shown, it redraws at most ten times a second,
// and new rows only when they would draw a new pixel column or have waited
// a column's time.
//
// Given a recording of the bus (openRecording), the window shows that file
// instead, for good: its channels in the list (at most kTrendChannels drawn
// at once, each in a series of the chart), points read from the file for
// the range and the width on screen, and the rows a recording still being
// written adds while the view follows its end.
#include "monitor/TrendData.h"
#include <QDialog>
#include <QElapsedTimer>
#include <array>
#include <cstdint>
#include <memory>

namespace Ui { class TfrmTrend; }
namespace rec { class Reader; }
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

    // Shows the recording at path (a *.rmrec file, finished or still being
    // written) instead of the monitor's trend; the window then takes no
    // more monitor answers. False with the text of the error box in *error
    // when the file cannot be opened as a recording.
    bool openRecording(const QString &path, QString *error);
    // The recording shown; null in the live trend.
    const rec::Reader *recording() const { return m_reader.get(); }
    // The chart series recording channel `channel` (an index into its
    // layout's channels) is drawn in; -1 when it is not drawn.
    int recordingSeries(int channel) const;

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
    void recordingItemChanged(QListWidgetItem *item);
    void fillRecordingChannels();
    // The recording's channels drawn, in their layout's order.
    QList<int> recordingChannels() const;
    // The redraw timer's tick: takes in a recording's new rows now and then,
    // and redraws when due.
    void tick();
    void userChangedTimeRange();
    void setFollowing(bool on);
    void refreshChannelList();
    // The time range followed: the last span of the data.
    std::pair<double, double> followedRange() const;
    // The view a redraw would draw now.
    monitor::TrendView currentView() const;
    bool redrawDue() const;
    // The points of the channels drawn over [t0, t1) in columns pixel
    // columns, from the monitor's rows / from the recording.
    void drawLive(double t0, double t1, int columns);
    void drawRecording(double t0, double t1, int columns);
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

    // Recording mode: the file, the channel each series draws (-1: none),
    // the rows drawn, and when the file was last asked for new rows.
    std::unique_ptr<rec::Reader> m_reader;
    std::array<int, monitor::kTrendChannels> m_seriesChannel{};
    int64_t m_drawnRows = -1;
    QElapsedTimer m_sinceRefresh;
};
