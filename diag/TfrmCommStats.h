#pragma once
// The communication statistics "通信統計": requests, answers, exceptions,
// timeouts and response times since the connection was opened or since
// リセット, in total, per kind of request and per exception code.
//
// Its inputs are plain slots (app/Forms.cpp connects them to the link);
// they only count. The texts are made at most four times a second and only
// while the window is shown.
#include "diag/CommStats.h"
#include "link/Transactions.h"
#include <QDialog>
#include <QElapsedTimer>

namespace Ui { class TfrmCommStats; }
class QTimer;

class TfrmCommStats : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 250;

    explicit TfrmCommStats(QWidget *parent = nullptr);
    ~TfrmCommStats() override;

    const CommStats &stats() const { return m_stats; }
    int64_t reconnects() const { return m_reconnects; }

public slots:
    // automatic: the connection came back by itself (automatic
    // reconnection); the figures then go on instead of starting again.
    void onConnected(bool automatic = false);
    void onDisconnected();
    void onRequestSent(const QByteArray &frame);
    // An answer as the link matched it: to a request in flight, late (to
    // one already timed out) or unsolicited.
    void onAnswerReceived(const QByteArray &frame, const modbus::AnswerMatch &match);
    // An answer matched to a request in flight, responseUs after it left.
    void onAnswer(const QByteArray &frame, qint64 responseUs);
    void onTimeout(uint8_t tag);
    void onBytesReceived(int n);
    void onStreamLost();
    // The response timeout, the range of the response time buckets from
    // the next reset on.
    void setResponseTimeout(int ms);

    void btnStatsResetClick();
    // Writes the figures into the labels and tables (the refresh tick).
    void refresh();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void setupTables();
    void fillKindRow(int row, const KindStats &k);
    void fillExceptionRows();

    Ui::TfrmCommStats *ui;
    CommStats m_stats;
    QElapsedTimer m_clock;
    QTimer *m_refresh;
    int m_timeoutMs = 1000;
    int64_t m_reconnects = 0;
};
