// The monitor of the main window: the selection of the data area, the poll
// timer, the panel's layout per terminal type, the display of the answers,
// the bit output buttons and the start of another copy of the tool. The
// rules themselves live in monitor/; these handlers carry them to the
// controls.
#include "app/MessageBoxes.h"
#include "app/TfrmMain.h"
#include "link/AnswerItems.h"
#include "monitor/CsvRow.h"
#include "monitor/FormatElapsed.h"
#include "monitor/MonitorAnswer.h"
#include "monitor/MonitorLayout.h"
#include "monitor/MonitorPolling.h"
#include "monitor/NoAnswer.h"
#include "monitor/ValueDecoding.h"
#include "ui_TfrmMain.h"
#include <QActionGroup>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QTimer>

namespace {

QString g_anotherCopyProgram;

// Spin edits whose number is chosen with the arrows only.
void setTypingAllowed(QSpinBox *spin, bool allowed)
{
    if (auto *edit = spin->findChild<QLineEdit *>())
        edit->setReadOnly(!allowed);
}

void setBackground(QLabel *label, const QColor &colour)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, colour);
    label->setAutoFillBackground(true);
    label->setPalette(pal);
}

} // namespace

QString TfrmMain::anotherCopyProgram()
{
    return g_anotherCopyProgram.isEmpty() ? QCoreApplication::applicationFilePath()
                                          : g_anotherCopyProgram;
}

void TfrmMain::setAnotherCopyProgram(const QString &path)
{
    g_anotherCopyProgram = path;
}

void TfrmMain::setupMonitor()
{
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TfrmMain::Timer1On);
    Timer1->start();

    setupDisplayFormatMenu();
    setupValueBoxes();

    setTypingAllowed(ui->seWordAdrs, false);
    setTypingAllowed(ui->seBitAdrs, false);
    setTypingAllowed(ui->seD2BitAdrs, false);
    setTypingAllowed(ui->seReadAddress, !ui->chkbxAutoChange->isChecked());
    ui->UpDown3->setPartner(ui->Interval);

    connect(ui->sbtnMonitor, &QToolButton::clicked, this, &TfrmMain::sbtnMonitorClick);
    connect(ui->chkbxAutoChange, &QCheckBox::toggled, this, &TfrmMain::chkbxAutoChangeClick);
    connect(ui->btnBitOn, &QPushButton::clicked, this, &TfrmMain::btnBitOnClick);
    connect(ui->btnBitOff, &QPushButton::clicked, this, &TfrmMain::btnBitOffClick);
    connect(ui->btnD2BitOn, &QPushButton::clicked, this, &TfrmMain::btnD2BitOnClick);
    connect(ui->btnD2BitOff, &QPushButton::clicked, this, &TfrmMain::btnD2BitOffClick);
    connect(ui->Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);

    connect(ClientSocket1, &ModbusLink::requestTimedOut, this, &TfrmMain::MonitorTimedOut);
}

void TfrmMain::HandleMonitorReply(const ReceiveBuffer &rb)
{
    if (rb.tag() == 0) {
        HandleMonitorAnswer(rb);
    } else if (rb.tag() == 20) {
        if (!answersCurrentSelection())
            return;
        if (MonitorStale)
            setMonitorStale(false);
        m_lastMonitorAnswer.start();
        forEachWordItem(rb, [this](int m, uint16_t v) { ShowHeaderWord(m, v); });
    }
}

void TfrmMain::setupDisplayFormatMenu()
{
    // The display-format menu of the four value groups.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto *formats = new QActionGroup(this);
    for (QAction *a : {ui->ByDec, ui->ByHex, ui->ByRatio, ui->ASCII1}) {
        formats->addAction(a);
        PopupMenu1->addAction(a);
    }
    connect(ui->ByDec, &QAction::triggered, this, &TfrmMain::ByDecClick);
    connect(ui->ByHex, &QAction::triggered, this, &TfrmMain::ByHexClick);
    connect(ui->ByRatio, &QAction::triggered, this, &TfrmMain::ByRatioClick);
    connect(ui->ASCII1, &QAction::triggered, this, &TfrmMain::ASCII1Click);
    for (QGroupBox *g : {ui->GroupBoxWord0, ui->GroupBoxWord1, ui->GroupBoxWord2, ui->GroupBoxWord3}) {
        connect(g, &QWidget::customContextMenuRequested, this,
                [this, g](const QPoint &pos) { PopupMenu1->popup(g->mapToGlobal(pos)); });
    }
}

void TfrmMain::setupValueBoxes()
{
    // The boxes that change with every answer: plain text, and a fixed
    // size, so that a new text only repaints the box and never asks the
    // window to lay itself out again.
    QList<QLabel *> busy{ui->stCntr, ui->stElTime, ui->stLogCntr, ui->stLogElTime};
    for (int i = 0; i < 32; ++i)
        busy << findChild<QLabel *>(QStringLiteral("StVal%1").arg(i));
    for (int i = 0; i < 4; ++i)
        busy << findChild<QLabel *>(QStringLiteral("stWI%1").arg(i));
    for (QLabel *l : busy) {
        if (!l)
            continue;
        l->setTextFormat(Qt::PlainText);
        l->setFixedSize(l->size());
    }
    // Value boxes white; header boxes white bold on black.
    for (int i = 0; i < 32; ++i)
        if (auto *l = findChild<QLabel *>(QStringLiteral("StVal%1").arg(i)))
            setBackground(l, Qt::white);
    for (int i = 0; i < 4; ++i) {
        if (auto *l = findChild<QLabel *>(QStringLiteral("stWI%1").arg(i))) {
            setBackground(l, Qt::black);
            QPalette pal = l->palette();
            pal.setColor(QPalette::WindowText, Qt::white);
            l->setPalette(pal);
            QFont f = l->font();
            f.setBold(true);
            l->setFont(f);
            l->setContentsMargins(0, 0, 2, 0);
        }
    }
}

void TfrmMain::connectMonitorSelection()
{
    for (QSpinBox *s : {ui->seWordAdrs, ui->seBitAdrs, ui->seD2BitAdrs})
        connect(s, &QSpinBox::valueChanged, this, &TfrmMain::AdrsChange);
    for (QComboBox *c : {ui->DataAreaSelect, ui->BitDataSelect, ui->cbTerminalType})
        connect(c, &QComboBox::currentIndexChanged, this, &TfrmMain::TypeChange);
    connect(ui->pcSlaveType, &QTabWidget::currentChanged, this, &TfrmMain::TypeChange);
    // The data type the user picks decides what the channels are (16- or
    // 32-bit values, signed or not): the trend hears of it.
    connect(ui->cbxDataType, &QComboBox::currentIndexChanged, this,
            [this] { emit monitorLayoutChanged(trendLayout()); });
}

// ---- polling ----------------------------------------------------------------

monitor::MonitorPage TfrmMain::monitorPage() const
{
    const QWidget *page = ui->pcSlaveType->currentWidget();
    return page == ui->tsBit ? monitor::MonitorPage::Bit
           : page == ui->tsD2B ? monitor::MonitorPage::D2
                               : monitor::MonitorPage::Word;
}

void TfrmMain::Timer1On()
{
    // The button shows whether monitoring runs, however it was stopped.
    ui->sbtnMonitor->setChecked(Monitoring == 1);
    showCounterColours(Monitoring == 1);
    if (Monitoring != 1)
        return;

    const ModbusLink::Batch together(*ClientSocket1);  // the tick's requests in one send
    for (const monitor::PollRequest &r : monitor::pollRequests(pollSelection())) {
        const Reply reply = r.function == monitor::PollRequest::InputRegisters
                                ? SendReadInputRegisters(r.tag, r.address, r.count)
                                : SendReadHoldingRegisters(r.tag, r.address, r.count);
        onAnswer(reply, this, [this](const LinkReply &a) { HandleMonitorReply(a.answer()); });
    }
}

void TfrmMain::showCounterColours(bool monitoring)
{
    const int colours = monitoring ? 1 : 0;
    if (colours == m_counterColours)
        return;
    m_counterColours = colours;
    setBackground(ui->stCntr, monitoring ? QColor(0, 255, 0) : QColor(192, 192, 192));
    setBackground(ui->stElTime, monitoring ? QColor(255, 255, 0) : QColor(192, 192, 192));
}

int TfrmMain::headerWord() const
{
    if (ui->pcSlaveType->currentWidget() == ui->tsBit)
        return monitor::headerWordOnBitPage(ui->seBitAdrs->value());
    if (ui->pcSlaveType->currentWidget() == ui->tsD2B)
        return monitor::headerWordOnD2Page(ui->seD2BitAdrs->value());
    return monitor::headerWordOnWordPage(ui->seWordAdrs->value());
}

bool TfrmMain::answersCurrentSelection() const
{
    // An answer whose request read other registers than a tick reads now
    // was asked for under a selection the user has changed since: decoded
    // under the new layout its numbers would be plainly wrong (a single's
    // low word shown as a count, another terminal's values). An answer
    // that matched no request cannot be told and is taken as before.
    const modbus::AnswerMatch &m = ClientSocket1->currentAnswer();
    if (m.kind == modbus::AnswerKind::Unsolicited)
        return true;
    const modbus::Transaction &r = m.request;
    for (const monitor::PollRequest &tick : monitor::pollRequests(pollSelection())) {
        const int function = tick.function == monitor::PollRequest::InputRegisters ? 4 : 3;
        if (tick.tag == r.tag)
            return r.function == function && r.address == tick.address && r.count == tick.count;
    }
    return false;  // a tick sends no request of that tag now
}

monitor::PollSelection TfrmMain::pollSelection() const
{
    monitor::PollSelection selection;
    selection.page = monitorPage();
    selection.readAddress = ui->seReadAddress->value();
    selection.readSize = ui->seReadSize->value();
    selection.wordAddress = ui->seWordAdrs->value();
    selection.bitAddress = ui->seBitAdrs->value();
    selection.d2BitAddress = ui->seD2BitAdrs->value();
    return selection;
}

void TfrmMain::sbtnMonitorClick()
{
    if (Monitoring == 1) {
        Monitoring = 0;
        ui->Interval->setEnabled(true);
        ui->sbtnMonitor->setChecked(false);
        return;
    }
    ui->sbtnMonitor->setChecked(false);
    for (QLabel *l : StVal)
        if (l)
            l->clear();
    for (QLabel *l : stWI)
        if (l)
            l->clear();
    MonitorCount = 0;
    if (!RestartLogFileNumbering())
        return;
    ui->stCntr->setText(QStringLiteral("0"));
    ui->stElTime->setText(QStringLiteral("0:00:00.0"));

    const monitor::PollInterval poll = monitor::pollInterval(ui->Interval->text());
    if (!poll.ms) {
        msg::error(this, poll.error);
        return;
    }
    const int interval = *poll.ms;
    Timer1->setInterval(interval);
    if (interval == 0)
        Timer1->stop();  // monitoring is on, but nothing is ever sent
    else
        Timer1->start();
    ui->Interval->setEnabled(false);
    Monitoring = 1;
    ui->sbtnMonitor->setChecked(true);
    emit monitorStarted(QDateTime::currentMSecsSinceEpoch());
}

void TfrmMain::chkbxAutoChangeClick()
{
    Monitoring = 0;
    ui->sbtnMonitor->setChecked(false);
    const bool linked = ui->chkbxAutoChange->isChecked();
    ui->seReadAddress->setEnabled(!linked);
    ui->seReadSize->setEnabled(!linked);
    setTypingAllowed(ui->seReadAddress, !linked);
}

void TfrmMain::AdrsChange()
{
    Settings.wordAddress = ui->seWordAdrs->value();
    Settings.bitAddress = ui->seBitAdrs->value();
    RefreshMonitorLayout();
}

void TfrmMain::TypeChange()
{
    RefreshMonitorLayout();
}

// ---- layout -------------------------------------------------------------------

void TfrmMain::SetWordGroupCaptions(const QString &prefix, int base, int first)
{
    const std::array<QGroupBox *, 4> groups{ui->GroupBoxWord0, ui->GroupBoxWord1,
                                            ui->GroupBoxWord2, ui->GroupBoxWord3};
    const std::array<QLabel *, 4> ma{ui->stMA0, ui->stMA1, ui->stMA2, ui->stMA3};
    for (int g = 0; g < 4; ++g) {
        groups[size_t(g)]->setTitle(prefix + QString::number(first + g));
        ma[size_t(g)]->setText(QString::number(base + first + g));
    }
}

namespace {

void setChannelTexts(const std::array<QLabel *, 32> &labels,
                     const std::array<QLabel *, 32> &units, const monitor::ChannelTexts &t)
{
    for (size_t p = 0; p < 32; ++p) {
        if (labels[p])
            labels[p]->setText(t.labels[p]);
        if (units[p])
            units[p]->setText(t.units[p]);
    }
}

} // namespace

void TfrmMain::RefreshMonitorLayout()
{
    // 1. The display format of the checked menu item.
    DisplayFormat = ui->ByHex->isChecked()     ? monitor::Hexadecimal
                    : ui->ByRatio->isChecked() ? monitor::Converted
                    : ui->ASCII1->isChecked()  ? monitor::Characters
                                               : monitor::Decimal;
    // 2. The terminal type kept for the settings file.
    Settings.terminalType = ui->cbTerminalType->currentIndex();
    // 3. The word register label (with the others in step 6).
    const monitor::AddressLabels labels = monitor::addressLabels(
        ui->seWordAdrs->value(), ui->seBitAdrs->value(), ui->seD2BitAdrs->value());
    ui->stModbusAdrs->setText(labels.modbusAdrs);
    // 4. Old values go.
    for (QLabel *l : StVal)
        if (l)
            l->clear();
    // 5. The page.
    if (const monitor::MonitorPage page = monitorPage(); page == monitor::MonitorPage::Word) {
        ui->DataAreaSelect->show();
        ui->BitDataSelect->hide();
        const int area = ui->DataAreaSelect->currentIndex();
        ui->cbxDataType->setCurrentIndex(
            monitor::wordAreaDataType(area, ui->cbTerminalType->currentIndex()));
        const monitor::AreaBase a = monitor::wordAreaBase(area);
        ApplyTerminalLayout(a.base, a.stride);
    } else {
        ApplyBitPageLayout(page);
    }
    // 6. The bit and D2 address labels.
    ui->stModbusBitInAdrs->setText(labels.bitInAdrs);
    ui->stModbusBitWordAdrs->setText(labels.bitWordAdrs);
    ui->stModbusBitOutAdrs->setText(labels.bitOutAdrs);
    ui->stModbusD2BitInAdrs->setText(labels.d2BitInAdrs);
    ui->stModbusD2BitWordAdrs->setText(labels.d2BitWordAdrs);
    ui->stModbusD2BitOutAdrs->setText(labels.d2BitOutAdrs);
    // 7. The items the answers are decoded by.
    BitDataSelectItem = ui->BitDataSelect->currentIndex();
    DataAreaSelectItem = ui->DataAreaSelect->currentIndex();
    emit monitorLayoutChanged(trendLayout());
}

void TfrmMain::ApplyBitPageLayout(monitor::MonitorPage page)
{
    const bool linked = ui->chkbxAutoChange->isChecked();
    ui->DataAreaSelect->hide();
    ui->BitDataSelect->show();
    const monitor::BitPageLayout l = monitor::bitPageLayout(
        page, ui->BitDataSelect->currentIndex(), ui->seBitAdrs->value(), ui->seD2BitAdrs->value());
    if (l.known) {
        ui->cbxDataType->setCurrentIndex(l.window.dataType);
        ui->seReadSize->setValue(l.window.window.size);
        setChannelTexts(lbHd, lbTanni,
                        l.edgeCounters ? monitor::edgeCounterChannels() : monitor::bitPairChannels());
    }
    ui->stTerminalType->setText(tr("16点ビット入力ターミナル"));
    if (linked) {
        ui->seReadAddress->setValue(l.window.window.address);
        if (!l.known)
            ui->seReadSize->setValue(l.window.window.size);
    }
    SetWordGroupCaptions(l.captionPrefix, l.captionBase, l.firstGroup);
}

monitor::TrendLayout TfrmMain::trendLayout() const
{
    // The key holds what decides the meaning of the values on each page:
    // on the word page also the data type (16- or 32-bit channels, signed
    // or not), and where the boxes' numbers are plotted whether they are
    // converted (another quantity; the decimal, hexadecimal and character
    // formats plot the same decimal value).
    const monitor::MonitorPage page = monitorPage();
    const QString key = monitor::selectionKey(
        page, ui->BitDataSelect->currentIndex(), ui->seBitAdrs->value(), ui->seD2BitAdrs->value(),
        ui->cbTerminalType->currentIndex(), ui->seWordAdrs->value(), ui->DataAreaSelect->currentIndex(),
        ui->cbxDataType->currentIndex(), DisplayFormat == monitor::Converted);
    std::array<QString, 32> labels, units;
    for (size_t p = 0; p < 32; ++p) {
        labels[p] = lbHd[p] ? lbHd[p]->text() : QString();
        units[p] = lbTanni[p] ? lbTanni[p]->text() : QString();
    }
    const bool bitBus = page != monitor::MonitorPage::Word && ui->BitDataSelect->currentIndex() == 0;
    return monitor::trendLayout(key, labels, units, bitBus,
                                {ui->GroupBoxWord0->title(), ui->GroupBoxWord1->title(),
                                 ui->GroupBoxWord2->title(), ui->GroupBoxWord3->title()});
}

void TfrmMain::ApplyTerminalLayout(int base, int stride)
{
    const int item = ui->cbTerminalType->currentIndex();
    const int w = ui->seWordAdrs->value();
    const monitor::TerminalType type = monitor::terminalType(item);
    ui->stTerminalType->setText(type.caption);
    if (type.powerTerminalKind >= 0)
        Settings.powerTerminalKind = type.powerTerminalKind;
    if (ui->chkbxAutoChange->isChecked()) {
        const monitor::ReadWindow win = monitor::wordReadWindow({base, stride}, item, w);
        ui->seReadAddress->setValue(win.address);
        ui->seReadSize->setValue(win.size);
        SetWordGroupCaptions(QStringLiteral("WORD "), 30033, w);
    }
    setChannelTexts(lbHd, lbTanni,
                    monitor::terminalChannels(item, ui->DataAreaSelect->currentIndex()));
}

// ---- answers ------------------------------------------------------------------

void TfrmMain::HandleMonitorAnswer(const ReceiveBuffer &rb)
{
    if (!answersCurrentSelection())
        return;
    if (MonitorStale)
        setMonitorStale(false);
    m_lastMonitorAnswer.start();
    const qint64 arrived = QDateTime::currentMSecsSinceEpoch();
    const monitor::MonitorState s = monitorState();

    // 1-2. The row's prefix.
    QString row = monitor::csvRowPrefix(
        Settings.logHeaderMode, LogCount, ui->stLogElTime->text(),
        Settings.logHeaderMode == 3 ? QDateTime::currentDateTime() : QDateTime());
    // 3-4. Values into the boxes and the row.
    monitor::MonitorBoxes boxes;
    const uint8_t *data = rb.bytes.data() + ReceiveBuffer::kDataStart;
    decodeMonitorAnswer(data, rb.byteCount(), s, boxes, row);
    for (size_t p = 0; p < 32; ++p)
        if ((boxes.valueMask >> p) & 1u && StVal[p])
            StVal[p]->setText(boxes.values[p]);
    for (size_t i = 0; i < 4; ++i)
        if ((boxes.headerMask >> i) & 1u && stWI[i])
            stWI[i]->setText(boxes.headers[i]);
    // 5. The log.
    LogAnswerRow(row);
    // 6. The last row, logged or not.
    ui->LogLineBuf->setText(row);
    ui->LogLineBuf->setCursorPosition(0);  // the row's start in view
    // 7. The monitor counters.
    ++MonitorCount;
    ui->stCntr->setText(QString::number(MonitorCount));
    ui->stElTime->setText(FormatElapsed(uint32_t(Timer1->interval()), MonitorCount));
    // 8. Automatic saving.
    AutoSaveCheck();
    // The trend's row of this answer.
    emit monitorValues(monitor::trendSample(data, rb.byteCount(), s, boxes), arrived);
}

monitor::MonitorState TfrmMain::monitorState() const
{
    monitor::MonitorState s;
    s.wordPage = monitorPage() == monitor::MonitorPage::Word;
    s.dataType = ui->cbxDataType->currentIndex();
    s.extendedArea = ui->DataAreaSelect->currentIndex() == monitor::Extended512;
    s.swapped = Settings.wordOrderSwap != 0;
    s.displayFormat = DisplayFormat;
    s.wordAddress = ui->seWordAdrs->value();
    s.bitDataItem = BitDataSelectItem;
    s.logValueType = Settings.logValueType;
    s.logScale = Settings.logScale;
    s.table = &conversionTable;
    s.realFactor = &RealFactor;
    return s;
}

void TfrmMain::ShowHeaderWord(int index, uint16_t value)
{
    if (index < 0 || index > 3 || !stWI[size_t(index)])
        return;
    const bool wordPage = monitorPage() == monitor::MonitorPage::Word;
    if (auto text = monitor::headerText(value, DisplayFormat, wordPage))
        stWI[size_t(index)]->setText(*text);
}

void TfrmMain::MonitorTimedOut(const modbus::Transaction &request)
{
    if (request.tag != 0 && request.tag != 20)
        return;
    if (!MonitorStale)
        setMonitorStale(true);
    showStatusText(monitor::noAnswerText(m_lastMonitorAnswer.isValid()
                                             ? std::optional<int64_t>(m_lastMonitorAnswer.elapsed())
                                             : std::nullopt));
}

void TfrmMain::setMonitorStale(bool stale)
{
    MonitorStale = stale;
    for (size_t i = 0; i < 36; ++i) {
        QLabel *l = i < 32 ? StVal[i] : stWI[i - 32];
        if (!l)
            continue;
        if (stale) {
            m_livePalettes[i] = l->palette();
            QPalette grey = l->palette();
            grey.setColor(QPalette::WindowText, i < 32 ? QColor(160, 160, 160) : QColor(120, 120, 120));
            l->setPalette(grey);
        } else {
            l->setPalette(m_livePalettes[i]);
        }
    }
}

void TfrmMain::resumeMonitoring()
{
    if (MonitoringAtDisconnect != 1 || !ClientSocket1->isOpen())
        return;
    Monitoring = 1;
    ui->sbtnMonitor->setChecked(true);
}

// ---- display format -------------------------------------------------------------

void TfrmMain::ByDecClick()
{
    DisplayFormat = monitor::Decimal;
    ui->ByDec->setChecked(true);
    emit monitorLayoutChanged(trendLayout());  // converted or not: another quantity
}

void TfrmMain::ByHexClick()
{
    DisplayFormat = monitor::Hexadecimal;
    ui->ByHex->setChecked(true);
    emit monitorLayoutChanged(trendLayout());  // converted or not: another quantity
}

void TfrmMain::ByRatioClick()
{
    DisplayFormat = monitor::Converted;
    ui->ByRatio->setChecked(true);
    emit monitorLayoutChanged(trendLayout());  // converted or not: another quantity
}

void TfrmMain::ASCII1Click()
{
    DisplayFormat = monitor::Characters;
    ui->ASCII1->setChecked(true);
    emit monitorLayoutChanged(trendLayout());  // converted or not: another quantity
}

// ---- bit outputs and another copy ---------------------------------------------

namespace {

int coilOf(const QLabel *label)
{
    return monitor::coilOfAddressLabel(label->text());
}

} // namespace

void TfrmMain::btnBitOnClick()
{
    if (const int coil = coilOf(ui->stModbusBitOutAdrs); coil >= 0)
        SendWriteSingleCoil(uint32_t(coil), 0xFF);
}

void TfrmMain::btnBitOffClick()
{
    if (const int coil = coilOf(ui->stModbusBitOutAdrs); coil >= 0)
        SendWriteSingleCoil(uint32_t(coil), 0x00);
}

void TfrmMain::btnD2BitOnClick()
{
    if (const int coil = coilOf(ui->stModbusD2BitOutAdrs); coil >= 0)
        SendWriteSingleCoil(uint32_t(coil), 0xFF);
}

void TfrmMain::btnD2BitOffClick()
{
    if (const int coil = coilOf(ui->stModbusD2BitOutAdrs); coil >= 0)
        SendWriteSingleCoil(uint32_t(coil), 0x00);
}

void TfrmMain::Button1Click()
{
    // Always this program's own file: never one of that name that happens
    // to lie in the current folder or on the search path.
    if (!QProcess::startDetached(anotherCopyProgram(), {}))
        msg::error(this, tr("起動に失敗しました"), tr("エラー"));
}
