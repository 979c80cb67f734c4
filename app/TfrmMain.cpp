#include "app/TfrmMain.h"
#include "app/CommandLine.h"
#include "app/Forms.h"  // programOptions
#include "app/MessageBoxes.h"
#include <QCoreApplication>
#include "link/ModbusFrames.h"
#include "ui_TfrmMain.h"
#include <QActionGroup>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <algorithm>

namespace {

constexpr int kClientWidth = 533;
constexpr int kClientHeight = 397;

// The connection dialog's status text once connected; whether the tool is
// connected is read from it, in the language of the interface.
QString connectedText()
{
    return QCoreApplication::translate("TfrmMain", "接続しました");
}

} // namespace

TfrmMain::TfrmMain(QWidget *parent)
    : QMainWindow(parent), ClientSocket1(new ModbusLink(this)), ui(new Ui::TfrmMain)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);

    auto *swapGroup = new QActionGroup(this);
    swapGroup->addAction(ui->N7);
    swapGroup->addAction(ui->SWAP1);

    connect(ui->sbtnConn, &QToolButton::clicked, this, &TfrmMain::sbtnConnClick);
    connect(ui->sbtnDisConn, &QToolButton::clicked, this, &TfrmMain::sbtnDisConnClick);
    // The file menu's connect and disconnect items do what the speed buttons do.
    connect(ui->C1, &QAction::triggered, this, &TfrmMain::sbtnConnClick);
    connect(ui->N1, &QAction::triggered, this, &TfrmMain::sbtnDisConnClick);
    connect(ui->Exit1, &QAction::triggered, this, &TfrmMain::Exit1Click);
    connect(ui->m1, &QAction::triggered, this, &TfrmMain::m1Click);
    connect(ui->Modbus1, &QAction::triggered, this, &TfrmMain::Modbus1Click);
    connect(ui->FTPF1, &QAction::triggered, this, &TfrmMain::FTPF1Click);
    connect(ui->L1, &QAction::triggered, this, &TfrmMain::L1Click);
    connect(ui->TimeSet, &QAction::triggered, this, &TfrmMain::TimeSetClick);
    connect(ui->N7, &QAction::triggered, this, &TfrmMain::N7Click);
    connect(ui->SWAP1, &QAction::triggered, this, &TfrmMain::SWAP1Click);
    connect(ui->FTPF2, &QAction::triggered, this, &TfrmMain::FTPF2Click);
    connect(ui->EPcfg, &QAction::triggered, this, &TfrmMain::EPcfgClick);
    connect(ui->W1, &QAction::triggered, this, &TfrmMain::W1Click);
    connect(ui->N4, &QAction::triggered, this, &TfrmMain::N4Click);
    connect(ui->s2, &QAction::triggered, this, &TfrmMain::s2Click);
    connect(ui->L2, &QAction::triggered, this, &TfrmMain::L2Click);
    ui->L2->setEnabled(false);
    setupLogging();

    connect(ClientSocket1, &ModbusLink::connecting, this, &TfrmMain::ClientSockConnecting);
    connect(ClientSocket1, &ModbusLink::connected, this, &TfrmMain::ClientSockConnect);
    connect(ClientSocket1, &ModbusLink::disconnected, this, &TfrmMain::ClientSockDisconnect);
    connect(ClientSocket1, &ModbusLink::socketError, this, &TfrmMain::ClientSockError);
    connect(ClientSocket1, &ModbusLink::exceptionAnswer, this,
            [this](uint8_t tag, uint8_t function, uint8_t code) {
                showStatusText(tr("例外応答を受信しました (タグ %1, 機能コード %2, 例外コード %3)")
                                   .arg(tag).arg(function).arg(code));
            });
    connect(ClientSocket1, &ModbusLink::streamLost, this, [this] {
        showStatusText(tr("受信データの区切りが失われたため、受信済みのデータを破棄しました"));
    });

    setupMonitor();
    FormCreate();
    connectMonitorSelection();
    setupLanguageMenu();
}

TfrmMain::~TfrmMain()
{
    SaveSettings();  // FormDestroy
    delete ui;
}

void TfrmMain::collectControlArrays()
{
    auto find = [this](const QString &name) { return findChild<QLabel *>(name); };
    for (int i = 0; i < 4; ++i)
        stWI[i] = find(QStringLiteral("stWI%1").arg(i));
    for (int i = 0; i < 32; ++i) {
        StVal[i] = find(QStringLiteral("StVal%1").arg(i));
        lbTanni[i] = find(QStringLiteral("lbTanni%1").arg(i));
        lbHd[i] = find(QStringLiteral("lbHd%1").arg(i));
    }
}

void TfrmMain::FormCreate()
{
    // 1. Settings: window position, socket address, the rest kept in memory.
    Settings = AppSettings::load(settingsFilePath());
    setClientHeight(kClientHeight);
    move(Settings.windowLeft, Settings.windowTop);
    ClientSocket1->setHost(Settings.modbusHost);
    ClientSocket1->setPort(Settings.modbusPort.toInt());
    ClientSocket1->setResponseTimeout(Settings.responseTimeoutMs);
    ui->seWordAdrs->setValue(Settings.wordAddress);
    ui->seBitAdrs->setValue(Settings.bitAddress);
    // The spin edits hold the addresses within their ranges.
    Settings.wordAddress = ui->seWordAdrs->value();
    Settings.bitAddress = ui->seBitAdrs->value();
    // 3. Control reference arrays.
    collectControlArrays();
    // 4. Terminal type and data areas (an index out of range selects none).
    ui->cbTerminalType->setCurrentIndex(
        Settings.terminalType >= 0 && Settings.terminalType < ui->cbTerminalType->count()
            ? Settings.terminalType : -1);
    ui->DataAreaSelect->setCurrentIndex(1);
    ui->BitDataSelect->setCurrentIndex(0);
    DataAreaSelectItem = ui->DataAreaSelect->currentIndex();
    BitDataSelectItem = ui->BitDataSelect->currentIndex();
    // 5. Real factors.
    RealFactor.fill(0.1f);
    // 6. Word-order menu item.
    (Settings.wordOrderSwap == 0 ? ui->N7 : ui->SWAP1)->setChecked(true);
    // 7. Monitoring off, the panel laid out, logging off.
    Monitoring = 0;
    RefreshMonitorLayout();
    Logging = 0;
    // 8. Conversion table defaults.
    conversionTable.reset();
    // 9. A conversion table file named as the first plain command-line argument.
    if (const QString table = programOptions().conversionTable; !table.isEmpty())
        LoadConversionTable(table);
}

QAction *TfrmMain::trendMenuItem() const
{
    return ui->actTrend;
}

void TfrmMain::setClientHeight(int height)
{
    const int menu = menuBar()->sizeHint().height();
    setFixedSize(kClientWidth, height + menu);
}

void TfrmMain::SaveSettings()
{
    Settings.windowTop = y();
    Settings.windowLeft = x();
    Settings.wordAddress = ui->seWordAdrs->value();
    Settings.bitAddress = ui->seBitAdrs->value();
    QString error;
    Settings.save(settingsFilePath(), &error);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    FormClose(event);
}

void TfrmMain::FormClose(QCloseEvent *event)
{
    const bool yes = msg::askYesNo(this, tr("終了しますか ?"));
    SaveSettings();
    if (yes)
        event->accept();
    else
        event->ignore();
}

void TfrmMain::Exit1Click()
{
    SaveSettings();
    m_exiting = true;
    close();
    QCoreApplication::exit(0);
}

bool TfrmMain::isConnected() const
{
    return connectionStatusSource && connectionStatusSource() == connectedText();
}

bool TfrmMain::ConnectionCheck()
{
    if (isConnected())
        return true;
    msg::warning(this, tr("リレイモに接続されていません"));
    return false;
}

void TfrmMain::placeDialog(QWidget *dialog, int dx, int dy)
{
    dialog->move(x() + dx, y() + dy);
}

void TfrmMain::placeBeside(QWidget *dialog, int gap)
{
    dialog->move(x() + frameGeometry().width() + gap, y());
}

void TfrmMain::placeBesideOnScreen(QWidget *window, int gap)
{
    placeBeside(window, gap);
    const QScreen *s = screen();
    if (!s)
        return;
    const QRect avail = s->availableGeometry();
    // A window not shown yet has no frame of its own: take this window's.
    const int frameW = frameGeometry().width() - width();
    const int frameH = frameGeometry().height() - height();
    const auto fit = [](int pos, int size, int minSize, int frame, int first, int end) {
        size = std::clamp(end - pos - frame, minSize, std::max(minSize, size));
        pos = std::max(first, std::min(pos, end - size - frame));
        return std::pair{pos, size};
    };
    const QSize least = window->minimumSize().expandedTo(window->minimumSizeHint());
    const auto [x, w] = fit(window->x(), window->width(), least.width(), frameW, avail.left(), avail.right() + 1);
    const auto [y, h] = fit(window->y(), window->height(), least.height(), frameH, avail.top(), avail.bottom() + 1);
    window->resize(w, h);
    window->move(x, y);
}

void TfrmMain::clearStatusText()
{
    statusBar()->clearMessage();
}

void TfrmMain::showStatusText(const QString &text)
{
    statusBar()->showMessage(text);
}

void TfrmMain::clearLogArea()
{
    if (auto *memo = findChild<QWidget *>(QStringLiteral("Memo2")))
        QMetaObject::invokeMethod(memo, "clear");
}

// ---- connection -----------------------------------------------------------

void TfrmMain::sbtnConnClick()
{
    emit connectionDialogRequested();
}

void TfrmMain::StartFromOptions(const StartOptions &options)
{
    if (options.monitor) {
        // One press of ▶ at the first connection, by whoever opens it; the
        // button is enabled by then (ClientSockConnect runs first).
        connect(ClientSocket1, &ModbusLink::connected, this, [this] { ui->sbtnMonitor->click(); },
                Qt::SingleShotConnection);
    }
    // The trend window opens as its menu entry opens it, beside this one.
    if (options.trend)
        ui->actTrend->trigger();
    if (options.connect)
        emit connectRequested();
}

void TfrmMain::sbtnDisConnClick()
{
    clearStatusText();
    ClientSocket1->close();
}

void TfrmMain::ClientSockConnecting()
{
    emit connectionStatusChanged(tr("接続中・・・"));
}

void TfrmMain::ClientSockConnect()
{
    emit connectionStatusChanged(connectedText());
    setWindowTitle(QStringLiteral("RM Tool [") + Settings.modbusHost + u']');
    ui->sbtnDisConn->setEnabled(true);
    ui->sbtnMonitor->setEnabled(true);
    emit connectionOpened();
}

void TfrmMain::ClientSockDisconnect()
{
    emit connectionStatusChanged(tr("接続されていません"));
    setWindowTitle(QStringLiteral("NT900 Modbus/TCP Client"));
    ui->sbtnDisConn->setEnabled(false);
    ui->sbtnMonitor->setEnabled(false);
    MonitoringAtDisconnect = Monitoring;
    Monitoring = 0;
}

void TfrmMain::ClientSockError(ModbusLink::ErrorKind kind)
{
    emit connectionStatusChanged(tr("接続エラー"));
    showStatusText(ModbusLink::errorText(kind));
}

void TfrmMain::FillGWcfgFromSettings()
{
    emit settingsFillRequested();
}

void TfrmMain::showGWcfgPage(int page)
{
    emit settingsPageRequested(page);
}

// ---- menu -----------------------------------------------------------------

void TfrmMain::m1Click()
{
    if (!ConnectionCheck())
        return;
    emit toolRequested(Tool::ModuleInfo);
}

void TfrmMain::Modbus1Click()
{
    FillGWcfgFromSettings();
    showGWcfgPage(0);
}

void TfrmMain::FTPF1Click()
{
    FillGWcfgFromSettings();
    showGWcfgPage(1);
}

void TfrmMain::L1Click()
{
    FillGWcfgFromSettings();
    showGWcfgPage(2);
}

void TfrmMain::TimeSetClick()
{
    FillGWcfgFromSettings();
    showGWcfgPage(3);
}

void TfrmMain::N7Click()
{
    Settings.wordOrderSwap = 0;
    ui->N7->setChecked(true);
}

void TfrmMain::SWAP1Click()
{
    Settings.wordOrderSwap = 1;
    ui->SWAP1->setChecked(true);
}

void TfrmMain::FTPF2Click()
{
    emit toolRequested(Tool::FtpTool);
}

void TfrmMain::EPcfgClick()
{
    emit toolRequested(Tool::TerminalSettings);
}

void TfrmMain::W1Click()
{
    emit toolRequested(Tool::WriteTool);
}

void TfrmMain::N4Click()
{
    emit toolRequested(Tool::CounterPreset);
}

void TfrmMain::s2Click()
{
    emit toolRequested(Tool::SoftCounter);
}

void TfrmMain::L2Click()
{
    emit toolRequested(Tool::LadderConsole);
}
