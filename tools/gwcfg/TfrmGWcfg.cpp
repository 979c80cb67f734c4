#include "tools/gwcfg/TfrmGWcfg.h"
#include "app/MessageBoxes.h"
#include "link/GatewayLink.h"
#include "monitor/TextNumbers.h"
#include "tools/gwcfg/GatewayClock.h"
#include "ui_TfrmGWcfg.h"
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <functional>

namespace {

QList<QRadioButton *> radiosOf(const QGroupBox *group)
{
    return group->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly);
}

// Calls `changed` with true when the watched window is shown, with false
// when it is hidden.
class VisibilityWatch : public QObject {
public:
    VisibilityWatch(QWidget *window, std::function<void(bool shown)> changed)
        : QObject(window), m_changed(std::move(changed))
    {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Show || e->type() == QEvent::Hide)
            m_changed(e->type() == QEvent::Show);
        return false;
    }

private:
    std::function<void(bool)> m_changed;
};

} // namespace

TfrmGWcfg::TfrmGWcfg(GatewayLink &link, AppSettings &settings, QWidget *parent)
    : QDialog(parent), Timer1(new QTimer(this)), ui(new Ui::TfrmGWcfg), m_link(link), m_settings(settings)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(size());

    ui->UpDown1->setPartner(ui->PCYear);
    ui->UpDown2->setPartner(ui->PCMonth);
    ui->UpDown3->setPartner(ui->PCDay);
    ui->UpDown4->setPartner(ui->PCHour);
    ui->UpDown5->setPartner(ui->PCMin);
    ui->UpDown6->setPartner(ui->PCSec);

    connect(ui->OKbtn, &QPushButton::clicked, this, &TfrmGWcfg::OKbtnClick);
    connect(ui->btnLogDirBrowse, &QPushButton::clicked, this, &TfrmGWcfg::btnLogDirBrowseClick);
    connect(ui->EdLogSaveFN, &QLineEdit::textChanged, this, &TfrmGWcfg::EdLogSaveFNChange);
    connect(ui->btnGetDate, &QPushButton::clicked, this, &TfrmGWcfg::btnGetDateClick);
    connect(ui->btnSetDate, &QPushButton::clicked, this, &TfrmGWcfg::btnSetDateClick);

    // The automatic-saving fields count as they are typed.
    const auto autoSaveChanged = [this] { emit autoSaveFieldsChanged(autoSaveFields()); };
    connect(ui->ChkAutoSave, &QCheckBox::toggled, this, autoSaveChanged);
    for (QLineEdit *e : {ui->EdSaveInt, ui->EdLogSaveFN, ui->EdLogSaveStart})
        connect(e, &QLineEdit::textChanged, this, autoSaveChanged);
    connect(ui->CbxLogSaveKeta, &QComboBox::currentTextChanged, this, autoSaveChanged);

    // The log folder and the file-name prefix from start-up on.
    ui->stLogDir->setText(m_settings.logDir);
    EdLogSaveFNChange();

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TfrmGWcfg::Timer1Timer);
    // The clock ticks while the window is shown (the PC clock fields) or
    // the gateway's clock is read every second, shown or not.
    auto timerNeeded = [this](bool shown) {
        const bool needed = shown || ui->cbAutoGetDate->isChecked();
        if (needed && !Timer1->isActive()) {
            if (shown && ui->cbPCTimeSync->isChecked())
                showPcClock(QDateTime::currentDateTime());  // as if it had ticked all along
            Timer1->start();
        } else if (!needed) {
            Timer1->stop();
        }
    };
    connect(ui->cbAutoGetDate, &QCheckBox::toggled, this, [this, timerNeeded] { timerNeeded(isVisible()); });
    new VisibilityWatch(this, timerNeeded);
}

TfrmGWcfg::~TfrmGWcfg()
{
    delete ui;
}

int TfrmGWcfg::radioIndex(const QGroupBox *group)
{
    const auto radios = radiosOf(group);
    for (int i = 0; i < radios.size(); ++i)
        if (radios[i]->isChecked())
            return i;
    return -1;
}

void TfrmGWcfg::setRadioIndex(QGroupBox *group, int index)
{
    const auto radios = radiosOf(group);
    for (int i = 0; i < radios.size(); ++i) {
        // Auto-exclusive buttons cannot all be unchecked one by one.
        radios[i]->setAutoExclusive(false);
        radios[i]->setChecked(i == index);
        radios[i]->setAutoExclusive(true);
    }
}

void TfrmGWcfg::fillFromSettings(const AppSettings &settings, const QString &socketHost,
                                 int socketPort)
{
    ui->ModbusIP->setText(socketHost);
    ui->ModbusPort->setText(QString::number(socketPort));
    ui->EdRespTimeout->setText(QString::number(settings.responseTimeoutMs));
    ui->chkAutoReconnect->setChecked(settings.modbusReconnect != 0);
    ui->FTPIP->setText(settings.ftpHost);
    ui->FTPport->setText(settings.ftpPort);
    ui->FTPuser->setText(settings.ftpUser);
    ui->FTPpass->setText(settings.ftpPass);
    ui->cbxLogHeaderType->setCurrentIndex(settings.logHeaderMode);
    setRadioIndex(ui->LogDataTypeSel, settings.logValueType);
    setRadioIndex(ui->LogRatioSel, settings.logScale);
    ui->stLogDir->setText(settings.logDir);
    ui->stLogFN->setText(settings.logDir + ui->EdLogSaveFN->text());
}

void TfrmGWcfg::setFtpServer(const QString &host, const QString &port)
{
    ui->FTPIP->setText(host);
    ui->FTPport->setText(port);
}

bool TfrmGWcfg::connectionCheck()
{
    if (m_link.isConnected())
        return true;
    // Told over the main window, as every command that needs the gateway.
    msg::warning(parentWidget() ? parentWidget() : this,
                 QCoreApplication::translate("TfrmMain", "リレイモに接続されていません"));
    return false;
}

void TfrmGWcfg::showPage(int page)
{
    ui->PageControl1->setCurrentIndex(page);
    exec();
}

QString TfrmGWcfg::logFilePrefix() const
{
    return m_settings.logDir + ui->EdLogSaveFN->text();
}

AutoSaveFields TfrmGWcfg::autoSaveFields() const
{
    return {ui->ChkAutoSave->isChecked(), ui->EdSaveInt->text(), ui->EdLogSaveFN->text(),
            ui->EdLogSaveStart->text(), ui->CbxLogSaveKeta->currentText()};
}

// ---- taking over the settings ---------------------------------------------

namespace {
// Ten minutes: anything longer is a typing slip, not a slow gateway.
constexpr int kMaxResponseTimeoutMs = 600000;
} // namespace

std::optional<int> TfrmGWcfg::numberOf(const QLineEdit *edit)
{
    const auto n = ParseInt(edit->text().trimmed());
    if (!n)
        msg::error(this, IntConversionError(edit->text()));
    return n;
}

bool TfrmGWcfg::takeOverModbus()
{
    GatewayLink *link = &m_link;
    QString error;
    // Blanks typed around the address are not part of it (the port is read
    // the same way): the same address with a space after it is no new host.
    const QString host = ui->ModbusIP->text().trimmed();
    // The link refuses a new host or port while the connection is open.
    if (!link->setHost(host, &error)) {
        msg::error(this, error);
        return false;
    }
    const QString portText = ui->ModbusPort->text().trimmed();
    const auto port = numberOf(ui->ModbusPort);
    if (!port)
        return false;
    if (*port < 0 || *port > 65535) {
        msg::error(this, tr("ポート番号 %1 は 0 から 65535 の範囲にありません").arg(*port));
        return false;
    }
    const auto timeout = numberOf(ui->EdRespTimeout);
    if (!timeout)
        return false;
    if (*timeout < 1 || *timeout > kMaxResponseTimeoutMs) {
        msg::error(this, tr("応答タイムアウト %1 は 1 から %2 の範囲にありません")
                             .arg(*timeout).arg(kMaxResponseTimeoutMs));
        return false;
    }
    if (!link->setPort(*port, &error)) {
        msg::error(this, error);
        return false;
    }
    link->setResponseTimeout(*timeout);
    m_settings.responseTimeoutMs = *timeout;
    // The connection dialog shows where the next open goes.
    emit modbusTargetChanged(host, portText);
    m_settings.modbusHost = host;
    m_settings.modbusPort = portText;
    return true;
}

void TfrmGWcfg::OKbtnClick()
{
    // A failed step ends the take-over; what the steps before it took over
    // stays, and the dialog closes either way.
    if (takeOverModbus()) {
        AppSettings &s = m_settings;
        s.modbusReconnect = ui->chkAutoReconnect->isChecked() ? 1 : 0;
        s.logHeaderMode = ui->cbxLogHeaderType->currentIndex();
        s.logValueType = radioIndex(ui->LogDataTypeSel);
        s.logScale = radioIndex(ui->LogRatioSel);
        s.logDir = ui->stLogDir->text();
        s.ftpHost = ui->FTPIP->text();
        s.ftpPort = ui->FTPport->text();
        s.ftpUser = ui->FTPuser->text();
        s.ftpPass = ui->FTPpass->text();
        emit ftpServerChanged(s.ftpHost, s.ftpPort);
    }
    accept();
}

// ---- log folder and file names --------------------------------------------

bool TfrmGWcfg::BrowseForFolder(QWidget *parent, const QString &title, const QString &initial,
                                QString *folder, int left, int top)
{
    QFileDialog dialog(parent, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (initial.size() > 1)
        dialog.setDirectory(initial);
    // Placed at (left, top) but kept whole on the screen; centred when
    // either coordinate is 0.
    if (const QScreen *screen = parent ? parent->screen() : nullptr) {
        const QRect area = screen->availableGeometry();
        const QSize size = dialog.sizeHint();
        if (left == 0 || top == 0) {
            dialog.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
        } else {
            const int x = std::max(area.left(), std::min(left, area.right() - size.width()));
            const int y = std::max(area.top(), std::min(top, area.bottom() - size.height()));
            dialog.move(x, y);
        }
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return false;
    *folder = chosen.first();
    return true;
}

void TfrmGWcfg::btnLogDirBrowseClick()
{
    QString folder;
    if (!BrowseForFolder(this, tr("フォルダを選択してください"), ui->stLogDir->text(),
                         &folder, 300, 300))
        return;
    folder = QDir::toNativeSeparators(folder);
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    m_settings.logDir = folder;
    ui->stLogDir->setText(folder);
    ui->stLogFN->setText(folder + ui->EdLogSaveFN->text());
}

void TfrmGWcfg::EdLogSaveFNChange()
{
    ui->stLogFN->setText(logFilePrefix());
}

// ---- clock ----------------------------------------------------------------

void TfrmGWcfg::showPcClock(const QDateTime &now)
{
    // The fields as the short date "yyyy/MM/dd" and the long time
    // "H:mm:ss" split them.
    const QDate d = now.date();
    const QTime t = now.time();
    ui->PCYear->setText(QString::number(d.year()));
    ui->PCMonth->setText(QStringLiteral("%1").arg(d.month(), 2, 10, QLatin1Char('0')));
    ui->PCDay->setText(QStringLiteral("%1").arg(d.day(), 2, 10, QLatin1Char('0')));
    ui->PCHour->setText(QString::number(t.hour()));
    ui->PCMin->setText(QStringLiteral("%1").arg(t.minute(), 2, 10, QLatin1Char('0')));
    ui->PCSec->setText(QStringLiteral("%1").arg(t.second(), 2, 10, QLatin1Char('0')));
    ui->PCDayOfWeek->setCurrentIndex(d.dayOfWeek() % 7 + 1);  // 1 Sunday .. 7 Saturday
}

void TfrmGWcfg::Timer1Timer()
{
    if (ui->cbPCTimeSync->isChecked())
        showPcClock(QDateTime::currentDateTime());
    if (ui->cbAutoGetDate->isChecked())
        readGatewayClock();
}

void TfrmGWcfg::readGatewayClock()
{
    // The answer to this read (request tag 4) is shown in stGWDate.
    onAnswer(m_link.SendReadInputRegisters(4, gwclock::kReadRegister, gwclock::kReadCount), this,
             [this](const LinkReply &reply) { ShowGatewayClock(reply.answer()); });
}

void TfrmGWcfg::ShowGatewayClock(const ReceiveBuffer &rb)
{
    // An answer too short for the clock is not shown from the bytes an
    // earlier answer left behind.
    if (rb.byteCount() < gwclock::kAnswerBytes) {
        emit statusMessage(
            tr("リレイモの時計の応答が短すぎます (%1 バイト)").arg(rb.byteCount()));
        return;
    }
    std::array<uint8_t, 7> d{};
    for (int i = 0; i < 7; ++i)
        d[size_t(i)] = rb.dataByte(i);
    ui->stGWDate->setText(gwclock::FormatClock(d));
}

void TfrmGWcfg::btnGetDateClick()
{
    if (!connectionCheck())
        return;
    readGatewayClock();
}

void TfrmGWcfg::btnSetDateClick()
{
    if (!connectionCheck())
        return;
    gwclock::Fields f;
    f.year = ui->PCYear->text();
    f.month = ui->PCMonth->text();
    f.day = ui->PCDay->text();
    f.hour = ui->PCHour->text();
    f.minute = ui->PCMin->text();
    f.second = ui->PCSec->text();
    f.weekdayIndex = ui->PCDayOfWeek->currentIndex();
    QString bad;
    const auto words = gwclock::EncodeClock(f, &bad);
    if (!words) {
        msg::error(this, IntConversionError(bad));
        return;
    }
    for (int i = 0; i < 4; ++i)
        m_link.SendWriteSingleRegister(uint32_t(gwclock::kWriteRegister + i), (*words)[size_t(i)]);
    m_link.SendWriteSingleRegister(gwclock::kApplyRegister, 1);
}
