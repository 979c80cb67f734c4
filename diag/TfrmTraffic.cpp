#include "diag/TfrmTraffic.h"
#include "app/MessageBoxes.h"
#include "diag/TrafficModel.h"
#include "monitor/CsvLog.h"
#include "ui_TfrmTraffic.h"
#include <QDateTime>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHeaderView>
#include <QScrollBar>
#include <QTimer>

TfrmTraffic::TfrmTraffic(QWidget *parent, int capacity)
    : QDialog(parent), ui(new Ui::TfrmTraffic), m_log(capacity), m_model(new TrafficModel(m_log, this)),
      m_refresh(new QTimer(this))
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::WindowMinMaxButtonsHint);
    QTableView *list = ui->TrafficList;
    list->setModel(m_model);
    // Fixed row heights and column widths: appending rows never makes the
    // view measure the texts of 10 000 rows.
    list->verticalHeader()->hide();
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    QHeaderView *h = list->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setStretchLastSection(true);
    const QFontMetrics fixed(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setColumnWidth(int(TrafficColumn::Time), fixed.horizontalAdvance(QStringLiteral("00:00:00.000")) + 14);
    list->setColumnWidth(int(TrafficColumn::Direction), list->fontMetrics().horizontalAdvance(QStringLiteral("送信")) + 18);
    list->setColumnWidth(int(TrafficColumn::Bytes), fixed.horizontalAdvance(QString(41, u'0')) + 14);
    list->setTextElideMode(Qt::ElideRight);

    m_refresh->setObjectName(QStringLiteral("TrafficRefresh"));
    m_refresh->setInterval(kRefreshMs);
    connect(m_refresh, &QTimer::timeout, this, &TfrmTraffic::refresh);
    connect(ui->btnTrafficPause, &QPushButton::clicked, this, &TfrmTraffic::btnTrafficPauseClick);
    connect(ui->btnTrafficClear, &QPushButton::clicked, this, &TfrmTraffic::btnTrafficClearClick);
    connect(ui->btnTrafficSave, &QPushButton::clicked, this, &TfrmTraffic::btnTrafficSaveClick);
    showCount();
}

TfrmTraffic::~TfrmTraffic()
{
    delete ui;
}

void TfrmTraffic::record(TrafficEntry entry)
{
    if (m_paused) {
        ++m_skipped;
        return;
    }
    entry.timeMs = QDateTime::currentMSecsSinceEpoch();
    m_log.append(std::move(entry));
}

void TfrmTraffic::onRequestSent(const QByteArray &frame)
{
    record({0, TrafficEntry::Sent, TrafficEntry::Plain, -1, frame});
}

void TfrmTraffic::onAnswerReceived(const QByteArray &frame, const modbus::AnswerMatch &match)
{
    switch (match.kind) {
    case modbus::AnswerKind::Matched: onAnswer(frame, match.responseUs); break;
    case modbus::AnswerKind::Late: onLateAnswer(frame, match.responseUs); break;
    case modbus::AnswerKind::Unsolicited: onUnsolicitedAnswer(frame); break;
    }
}

void TfrmTraffic::onAnswer(const QByteArray &frame, qint64 responseUs)
{
    record({0, TrafficEntry::Received, TrafficEntry::Plain, responseUs, frame});
}

void TfrmTraffic::onLateAnswer(const QByteArray &frame, qint64 responseUs)
{
    record({0, TrafficEntry::Received, TrafficEntry::Late, responseUs, frame});
}

void TfrmTraffic::onUnsolicitedAnswer(const QByteArray &frame)
{
    record({0, TrafficEntry::Received, TrafficEntry::Unsolicited, -1, frame});
}

void TfrmTraffic::onTimeout(const modbus::Transaction &request)
{
    record({0, TrafficEntry::Timeout, TrafficEntry::Plain, request.deadlineUs - request.sentUs, {}, request.tag,
            request.function, request.address, request.count});
}

void TfrmTraffic::onStreamLost(const QByteArray &dropped)
{
    record({0, TrafficEntry::LostFraming, TrafficEntry::Plain, -1, dropped});
}

void TfrmTraffic::refresh()
{
    QScrollBar *bar = ui->TrafficList->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    m_model->sync();
    if (atEnd)
        ui->TrafficList->scrollToBottom();
    showCount();
}

void TfrmTraffic::showCount()
{
    QString text = QStringLiteral("%1 件 (最新 %2 件まで保持)").arg(m_log.size()).arg(m_log.capacity());
    if (m_paused)
        text += QStringLiteral("  一時停止中: %1 件を記録せず").arg(m_skipped);
    ui->stTrafficCount->setText(text);
}

void TfrmTraffic::btnTrafficPauseClick()
{
    m_paused = ui->btnTrafficPause->isChecked();
    ui->btnTrafficPause->setText(m_paused ? QStringLiteral("再開") : QStringLiteral("一時停止"));
    if (m_paused)
        m_skipped = 0;
    showCount();
}

void TfrmTraffic::btnTrafficClearClick()
{
    m_log.clear();
    m_model->resetRows();
    showCount();
}

bool TfrmTraffic::saveTo(const QString &path, QString *error) const
{
    return WriteTextFile(path, trafficFileText(m_log), error);
}

void TfrmTraffic::btnTrafficSaveClick()
{
    auto *dialog = findChild<QFileDialog *>(QStringLiteral("TrafficSaveDialog"), Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new QFileDialog(this, QStringLiteral("通信ログの保存"));
        dialog->setObjectName(QStringLiteral("TrafficSaveDialog"));
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDefaultSuffix(QStringLiteral("txt"));
        dialog->setNameFilters({QStringLiteral("テキストファイル (*.txt)"), QStringLiteral("全てのファイル (*)")});
    }
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    QString error;
    if (!saveTo(dialog->selectedFiles().first(), &error))
        msg::error(this, error);
}

void TfrmTraffic::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    refresh();
    m_refresh->start();
}

void TfrmTraffic::hideEvent(QHideEvent *event)
{
    m_refresh->stop();
    QDialog::hideEvent(event);
}
