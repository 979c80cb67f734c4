#pragma once
// The traffic view "通信ログ": every frame sent and received, newest at the
// bottom, with timeouts and lost framing as rows of their own.
//
// Its inputs are plain slots (app/Forms.cpp connects them to the link);
// each appends one entry to the ring of the last 10 000. While the window is
// hidden nothing else happens; while it is shown the list catches up with
// the ring at most four times a second and follows the end unless the user
// has scrolled up.
#include "diag/TrafficLog.h"
#include "link/Transactions.h"
#include <QDialog>

namespace Ui { class TfrmTraffic; }
class TrafficModel;
class QTimer;

class TfrmTraffic : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 250;

    explicit TfrmTraffic(QWidget *parent = nullptr, int capacity = TrafficLog::kDefaultCapacity);
    ~TfrmTraffic() override;

    const TrafficLog &log() const { return m_log; }
    bool isPaused() const { return m_paused; }
    // Writes the kept frames to path (whole or not at all); false with
    // *error set when it cannot.
    bool saveTo(const QString &path, QString *error) const;

public slots:
    void onRequestSent(const QByteArray &frame);
    // An answer as the link matched it: to a request in flight, late (to
    // one already timed out) or unsolicited.
    void onAnswerReceived(const QByteArray &frame, const modbus::AnswerMatch &match);
    void onAnswer(const QByteArray &frame, qint64 responseUs);
    void onLateAnswer(const QByteArray &frame, qint64 responseUs);
    void onUnsolicitedAnswer(const QByteArray &frame);
    void onTimeout(const modbus::Transaction &request);
    void onStreamLost(const QByteArray &dropped = {});

    void btnTrafficPauseClick();
    void btnTrafficClearClick();
    void btnTrafficSaveClick();
    // Brings the list up to date (the refresh tick).
    void refresh();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void record(TrafficEntry entry);
    void showCount();

    Ui::TfrmTraffic *ui;
    TrafficLog m_log;
    TrafficModel *m_model;
    QTimer *m_refresh;
    bool m_paused = false;
    int64_t m_skipped = 0;  // frames not kept while paused
};
