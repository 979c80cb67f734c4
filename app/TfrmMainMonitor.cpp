// The monitor's buttons of the main window: start and stop, the bit outputs
// and another copy of the program. The panel itself (selection, layout,
// boxes) is drawn by MonitorPanel.
#include "app/MessageBoxes.h"
#include "app/MonitorPanel.h"
#include "app/TfrmMain.h"
#include "monitor/MonitorLayout.h"
#include "monitor/NoAnswer.h"
#include "ui_TfrmMain.h"
#include <QCoreApplication>
#include <QProcess>

namespace {

QString g_anotherCopyProgram;

} // namespace

QString TfrmMain::anotherCopyProgram()
{
    return g_anotherCopyProgram.isEmpty() ? QCoreApplication::applicationFilePath() : g_anotherCopyProgram;
}

void TfrmMain::setAnotherCopyProgram(const QString &path)
{
    g_anotherCopyProgram = path;
}

void TfrmMain::setupMonitor()
{
    m_panel = new MonitorPanel(*ui, m_session, this);
    connect(m_panel, &MonitorPanel::layoutChanged, this, &TfrmMain::monitorLayoutChanged);
    connect(&m_session, &MonitorSession::monitorTimedOut, this,
            [this](std::optional<int64_t> since) { showStatusText(monitor::noAnswerText(since)); });

    connect(ui->sbtnMonitor, &QToolButton::clicked, this, &TfrmMain::sbtnMonitorClick);
    connect(ui->chkbxAutoChange, &QCheckBox::toggled, this, &TfrmMain::chkbxAutoChangeClick);
    connect(ui->btnBitOn, &QPushButton::clicked, this, &TfrmMain::btnBitOnClick);
    connect(ui->btnBitOff, &QPushButton::clicked, this, &TfrmMain::btnBitOffClick);
    connect(ui->btnD2BitOn, &QPushButton::clicked, this, &TfrmMain::btnD2BitOnClick);
    connect(ui->btnD2BitOff, &QPushButton::clicked, this, &TfrmMain::btnD2BitOffClick);
    connect(ui->Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);
}

void TfrmMain::RefreshMonitorLayout()
{
    m_panel->refreshLayout();
}

monitor::TrendLayout TfrmMain::trendLayout() const
{
    return m_panel->trendLayout();
}

void TfrmMain::showTerminal(int address, int type)
{
    ui->pcSlaveType->setCurrentWidget(ui->tsWord);
    ui->seWordAdrs->setValue(address);
    ui->cbTerminalType->setCurrentIndex(type);
}

QStringList TfrmMain::terminalTypeNames() const
{
    QStringList names;
    for (int i = 0; i < ui->cbTerminalType->count(); ++i)
        names << ui->cbTerminalType->itemText(i);
    return names;
}

QString TfrmMain::monitorIntervalText() const
{
    return ui->Interval->text();
}

void TfrmMain::sbtnMonitorClick()
{
    if (m_session.isMonitoring()) {
        m_session.stopMonitoring();
        ui->Interval->setEnabled(true);  // only this button gives the interval back
        return;
    }
    ui->sbtnMonitor->setChecked(false);
    m_panel->clearValues();
    m_panel->clearHeaders();
    QString error;
    const auto failure = m_session.startMonitoring(ui->Interval->text(), &error);
    if (failure == MonitorSession::StartFailure::Numbering) {
        msg::error(this, error);
        return;
    }
    ui->stCntr->setText(QStringLiteral("0"));
    ui->stElTime->setText(QStringLiteral("0:00:00.0"));
    if (failure == MonitorSession::StartFailure::Interval)
        msg::error(this, error);
    else
        ui->Interval->setEnabled(false);
}

void TfrmMain::chkbxAutoChangeClick()
{
    m_session.stopMonitoring();
    m_panel->setReadWindowLinked(ui->chkbxAutoChange->isChecked());
}

// ---- bit outputs and another copy ---------------------------------------------

void TfrmMain::sendBitOutput(const QLabel *label, bool on)
{
    if (const int coil = monitor::coilOfAddressLabel(label->text()); coil >= 0)
        m_session.writeSingleCoil(tr("メイン画面"), uint32_t(coil), on ? 0xFF : 0x00);
}

void TfrmMain::btnBitOnClick() { sendBitOutput(ui->stModbusBitOutAdrs, true); }
void TfrmMain::btnBitOffClick() { sendBitOutput(ui->stModbusBitOutAdrs, false); }
void TfrmMain::btnD2BitOnClick() { sendBitOutput(ui->stModbusD2BitOutAdrs, true); }
void TfrmMain::btnD2BitOffClick() { sendBitOutput(ui->stModbusD2BitOutAdrs, false); }

void TfrmMain::showBitOutputCoil(int coil)
{
    ui->stModbusBitOutAdrs->setText(QString::number(coil));
}

void TfrmMain::Button1Click()
{
    // Always this program's own file: never one of that name that happens
    // to lie in the current folder or on the search path.
    if (!QProcess::startDetached(anotherCopyProgram(), {}))
        msg::error(this, tr("起動に失敗しました"), tr("エラー"));
}
