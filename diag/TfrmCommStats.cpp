#include "diag/TfrmCommStats.h"
#include "ui_TfrmCommStats.h"
#include <QHeaderView>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>

namespace {

enum StatColumn { ColRequests, ColAnswers, ColExceptions, ColTimeouts, ColMin, ColAvg, ColMax, ColP99, StatColumns };
enum CodeColumn { ColCode, ColName, ColCount, CodeColumns };

// Kinds listed only once something of theirs was sent: the survey, the
// recorder, and requests of no known requester.
constexpr modbus::RequestKind kShownOnceUsed[] = {modbus::RequestKind::Survey, modbus::RequestKind::Recording,
                                                modbus::RequestKind::Other};

void setCell(QTableWidget *t, int row, int column, const QString &text)
{
    QTableWidgetItem *item = t->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        t->setItem(row, column, item);
    }
    if (item->text() != text)
        item->setText(text);
}

// Fits a table's height to its visible rows, so that it never scrolls.
void fitHeight(QTableWidget *t)
{
    int h = t->horizontalHeader()->sizeHint().height() + 2 * t->frameWidth();
    for (int r = 0; r < t->rowCount(); ++r)
        if (!t->isRowHidden(r))
            h += t->rowHeight(r);
    t->setFixedHeight(h);
}

} // namespace

TfrmCommStats::TfrmCommStats(QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmCommStats), m_refresh(new QTimer(this))
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_clock.start();
    m_stats.reset(m_clock.elapsed(), m_timeoutMs);
    setupTables();
    m_refresh->setObjectName(QStringLiteral("StatsRefresh"));
    m_refresh->setInterval(kRefreshMs);
    connect(m_refresh, &QTimer::timeout, this, &TfrmCommStats::refresh);
    connect(ui->btnStatsReset, &QPushButton::clicked, this, &TfrmCommStats::btnStatsResetClick);
    refresh();
}

TfrmCommStats::~TfrmCommStats()
{
    delete ui;
}

void TfrmCommStats::setupTables()
{
    QTableWidget *g = ui->gridStats;
    g->setColumnCount(StatColumns);
    g->setHorizontalHeaderLabels({tr("要求"), tr("応答"), tr("例外応答"),
                                  tr("タイムアウト"), tr("最小 ms"),
                                  tr("平均 ms"), tr("最大 ms"), QStringLiteral("99% ms")});
    g->setRowCount(modbus::kRequestKinds);
    QStringList kinds;
    for (int k = 0; k < modbus::kRequestKinds; ++k)
        kinds << modbus::requestKindName(modbus::RequestKind(k));
    g->setVerticalHeaderLabels(kinds);
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (const modbus::RequestKind k : kShownOnceUsed)
        g->setRowHidden(int(k), true);
    fitHeight(g);

    QTableWidget *e = ui->gridExceptions;
    e->setColumnCount(CodeColumns);
    e->setHorizontalHeaderLabels({tr("コード"), tr("名称"), tr("件数")});
    e->verticalHeader()->hide();
    e->horizontalHeader()->setSectionResizeMode(ColName, QHeaderView::Stretch);
    e->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void TfrmCommStats::onConnected(bool automatic)
{
    const int64_t now = m_clock.elapsed();
    if (automatic) {
        ++m_reconnects;
    } else {
        m_reconnects = 0;
        m_stats.reset(now, m_timeoutMs);
    }
    m_stats.connected(now);
}

void TfrmCommStats::onDisconnected()
{
    m_stats.disconnected(m_clock.elapsed());
}

void TfrmCommStats::onRequestSent(const QByteArray &frame)
{
    m_stats.frameSent(frame);
}

void TfrmCommStats::onAnswer(const QByteArray &frame, qint64 responseUs)
{
    modbus::AnswerMatch matched;
    matched.kind = modbus::AnswerKind::Matched;
    matched.responseUs = responseUs;
    m_stats.answerReceived(frame, matched);
}

void TfrmCommStats::onAnswerReceived(const QByteArray &frame, const modbus::AnswerMatch &match)
{
    m_stats.answerReceived(frame, match);
}

void TfrmCommStats::onTimeout(uint8_t tag)
{
    m_stats.timedOut(tag);
}

void TfrmCommStats::onBytesReceived(int n)
{
    m_stats.bytesReceived(n);
}

void TfrmCommStats::onStreamLost()
{
    m_stats.streamLost();
}

void TfrmCommStats::setResponseTimeout(int ms)
{
    m_timeoutMs = std::clamp(ms, 1, ResponseTimes::kMaxRangeMs);
}

void TfrmCommStats::btnStatsResetClick()
{
    m_reconnects = 0;
    m_stats.reset(m_clock.elapsed(), m_timeoutMs);
    refresh();
}

void TfrmCommStats::fillKindRow(int row, const KindStats &k)
{
    QTableWidget *g = ui->gridStats;
    setCell(g, row, ColRequests, QString::number(k.requests));
    setCell(g, row, ColAnswers, QString::number(k.answers));
    setCell(g, row, ColExceptions, QString::number(k.exceptions));
    setCell(g, row, ColTimeouts, QString::number(k.timeouts));
    setCell(g, row, ColMin, msText(k.times.minUs()));
    setCell(g, row, ColAvg, msText(k.times.meanUs()));
    setCell(g, row, ColMax, msText(k.times.maxUs()));
    setCell(g, row, ColP99, msText(k.times.percentileUs(0.99)));
}

void TfrmCommStats::fillExceptionRows()
{
    // The standard codes always, any other code once it has occurred.
    QList<uint8_t> codes(kStandardExceptionCodes.begin(), kStandardExceptionCodes.end());
    for (int c = 0; c < 256; ++c)
        if (m_stats.exceptionsWithCode(uint8_t(c)) && !codes.contains(uint8_t(c)))
            codes << uint8_t(c);
    QTableWidget *e = ui->gridExceptions;
    if (e->rowCount() != codes.size()) {
        e->setRowCount(int(codes.size()));
        fitHeight(e);
    }
    for (int r = 0; r < codes.size(); ++r) {
        setCell(e, r, ColCode, modbus::codeText(codes[r]));
        e->item(r, ColCode)->setTextAlignment(Qt::AlignCenter);
        setCell(e, r, ColName, modbus::exceptionName(codes[r]));
        e->item(r, ColName)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setCell(e, r, ColCount, QString::number(m_stats.exceptionsWithCode(codes[r])));
    }
}

void TfrmCommStats::refresh()
{
    const KindStats &t = m_stats.total();
    ui->stStatRequests->setText(QString::number(t.requests));
    ui->stStatAnswers->setText(QString::number(t.answers));
    ui->stStatExceptions->setText(QString::number(t.exceptions));
    ui->stStatTimeouts->setText(QString::number(t.timeouts));
    ui->stStatLate->setText(QString::number(m_stats.late()));
    ui->stStatUnsolicited->setText(QString::number(m_stats.unsolicited()));
    ui->stStatResync->setText(QString::number(m_stats.resyncs()));
    ui->stStatConnected->setText(connectedTimeText(m_stats.connectedMs(m_clock.elapsed())));
    ui->stStatBytesSent->setText(QString::number(m_stats.bytesSent()));
    ui->stStatBytesReceived->setText(QString::number(m_stats.bytesReceived()));
    ui->stStatReconnects->setText(QString::number(m_reconnects));
    ui->stStatRespMin->setText(msText(t.times.minUs()));
    ui->stStatRespAvg->setText(msText(t.times.meanUs()));
    ui->stStatRespMax->setText(msText(t.times.maxUs()));
    ui->stStatRespP99->setText(msText(t.times.percentileUs(0.99)));

    QTableWidget *g = ui->gridStats;
    for (int k = 0; k < modbus::kRequestKinds; ++k)
        fillKindRow(k, m_stats.kind(modbus::RequestKind(k)));
    for (const modbus::RequestKind k : kShownOnceUsed) {
        const bool hide = m_stats.kind(k).requests == 0;
        if (g->isRowHidden(int(k)) != hide) {
            g->setRowHidden(int(k), hide);
            fitHeight(g);
        }
    }
    fillExceptionRows();
}

void TfrmCommStats::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    refresh();
    m_refresh->start();
}

void TfrmCommStats::hideEvent(QHideEvent *event)
{
    m_refresh->stop();
    QDialog::hideEvent(event);
}
