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

    ClientSocket1->setAnswerHandler(0, [this](const ReceiveBuffer &rb) { HandleMonitorAnswer(rb); });
    ClientSocket1->setAnswerHandler(20, [this](const ReceiveBuffer &rb) {
        if (MonitorStale)
            setMonitorStale(false);
        m_lastMonitorAnswer.start();
        forEachWordItem(rb, [this](int m, uint16_t v) { ShowHeaderWord(m, v); });
    });
    connect(ClientSocket1, &ModbusLink::requestTimedOut, this, &TfrmMain::MonitorTimedOut);
}

void TfrmMain::connectMonitorSelection()
{
    for (QSpinBox *s : {ui->seWordAdrs, ui->seBitAdrs, ui->seD2BitAdrs})
        connect(s, &QSpinBox::valueChanged, this, &TfrmMain::AdrsChange);
    for (QComboBox *c : {ui->DataAreaSelect, ui->BitDataSelect, ui->cbTerminalType})
        connect(c, &QComboBox::currentIndexChanged, this, &TfrmMain::TypeChange);
    connect(ui->pcSlaveType, &QTabWidget::currentChanged, this, &TfrmMain::TypeChange);
}

// ---- polling ----------------------------------------------------------------

void TfrmMain::Timer1On()
{
    // The button shows whether monitoring runs, however it was stopped.
    ui->sbtnMonitor->setChecked(Monitoring == 1);
    const int colours = Monitoring == 1 ? 1 : 0;
    if (colours != m_counterColours) {
        m_counterColours = colours;
        if (colours) {
            setBackground(ui->stCntr, QColor(0, 255, 0));
            setBackground(ui->stElTime, QColor(255, 255, 0));
        } else {
            setBackground(ui->stCntr, QColor(192, 192, 192));
            setBackground(ui->stElTime, QColor(192, 192, 192));
        }
    }
    if (Monitoring != 1)
        return;

    LastRequestTag() = 0;
    const int size = ui->seReadSize->value();
    const int address = ui->seReadAddress->value();
    int header;
    if (ui->pcSlaveType->currentWidget() == ui->tsBit)
        header = monitor::headerWordOnBitPage(ui->seBitAdrs->value());
    else if (ui->pcSlaveType->currentWidget() == ui->tsD2B)
        header = monitor::headerWordOnD2Page(ui->seD2BitAdrs->value());
    else
        header = monitor::headerWordOnWordPage(ui->seWordAdrs->value());

    if (address >= 30001 && address <= 40000) {
        SendReadInputRegisters(0, uint32_t(address - 30001), uint32_t(size));
        SendReadInputRegisters(20, uint32_t(header), 4);
    } else if (address >= 41025 && address <= 50000) {
        SendReadHoldingRegisters(0, uint32_t(address - 40001), uint32_t(size));
    }
    // 40001 to 41024: nothing is read on this tick.
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

    const QString text = ui->Interval->text();
    bool ok = false;
    const int interval = text.trimmed().toInt(&ok, 10);
    if (!ok) {
        msg::error(this, QStringLiteral("'%1' は有効な整数値ではありません").arg(text));
        return;
    }
    if (interval < 0) {
        // A negative interval would leave the timer silent for weeks.
        msg::error(this, QStringLiteral("モニター間隔 '%1' は 0 以上の整数で指定してください").arg(text));
        return;
    }
    Timer1->setInterval(interval);
    if (interval == 0)
        Timer1->stop();  // monitoring is on, but nothing is ever sent
    else
        Timer1->start();
    ui->Interval->setEnabled(false);
    Monitoring = 1;
    ui->sbtnMonitor->setChecked(true);
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
    const int w = ui->seWordAdrs->value();
    const int b = ui->seBitAdrs->value();
    const int d = ui->seD2BitAdrs->value();
    ui->stModbusAdrs->setText(QString::number(30033 + w));
    // 4. Old values go.
    for (QLabel *l : StVal)
        if (l)
            l->clear();

    // 5. The page.
    const bool linked = ui->chkbxAutoChange->isChecked();
    const QWidget *page = ui->pcSlaveType->currentWidget();
    const QString bitTerminal = QStringLiteral("16点ビット入力ターミナル");
    if (page == ui->tsBit || page == ui->tsD2B) {
        ui->DataAreaSelect->hide();
        ui->BitDataSelect->show();
        const int item = ui->BitDataSelect->currentIndex();
        const monitor::BitWindow win =
            page == ui->tsBit ? monitor::bitReadWindow(item, b) : monitor::d2ReadWindow(d);
        const bool known = page == ui->tsD2B || item == monitor::BitBusInput
                           || item == monitor::EdgeSoftCounters;
        if (known) {
            ui->cbxDataType->setCurrentIndex(win.dataType);
            ui->seReadSize->setValue(win.window.size);
            setChannelTexts(lbHd, lbTanni,
                            page == ui->tsBit && item == monitor::EdgeSoftCounters
                                ? monitor::edgeCounterChannels()
                                : monitor::bitPairChannels());
        }
        ui->stTerminalType->setText(bitTerminal);
        if (linked) {
            ui->seReadAddress->setValue(win.window.address);
            if (!known)
                ui->seReadSize->setValue(win.window.size);
        }
        if (page == ui->tsBit)
            SetWordGroupCaptions(QStringLiteral("BitBus-word "), 30001, b / 16);
        else
            SetWordGroupCaptions(QStringLiteral("D2Bus-word "), 30033, d / 16);
    } else {
        ui->DataAreaSelect->show();
        ui->BitDataSelect->hide();
        const int area = ui->DataAreaSelect->currentIndex();
        ui->cbxDataType->setCurrentIndex(
            monitor::wordAreaDataType(area, ui->cbTerminalType->currentIndex()));
        const monitor::AreaBase a = monitor::wordAreaBase(area);
        ApplyTerminalLayout(a.base, a.stride);
    }

    // 6. The bit and D2 address labels.
    const monitor::AddressLabels labels = monitor::addressLabels(w, b, d);
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

monitor::TrendLayout TfrmMain::trendLayout() const
{
    // The key holds what decides the meaning of the values on each page.
    const QWidget *page = ui->pcSlaveType->currentWidget();
    QString key;
    if (page == ui->tsBit)
        key = QStringLiteral("bit/%1/%2").arg(ui->BitDataSelect->currentIndex()).arg(ui->seBitAdrs->value());
    else if (page == ui->tsD2B)
        key = QStringLiteral("d2/%1/%2").arg(ui->BitDataSelect->currentIndex()).arg(ui->seD2BitAdrs->value());
    else
        key = QStringLiteral("word/%1/%2/%3")
                  .arg(ui->cbTerminalType->currentIndex())
                  .arg(ui->seWordAdrs->value())
                  .arg(ui->DataAreaSelect->currentIndex());
    std::array<QString, 32> labels, units;
    for (size_t p = 0; p < 32; ++p) {
        labels[p] = lbHd[p] ? lbHd[p]->text() : QString();
        units[p] = lbTanni[p] ? lbTanni[p]->text() : QString();
    }
    const bool bitBus = page != ui->tsWord && ui->BitDataSelect->currentIndex() == 0;
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
        // Four word addresses; 32 registers for "99：その他" and for no type.
        const bool other = item < 0 || item >= monitor::kOtherTerminal;
        ui->seReadAddress->setValue(base + stride * w);
        ui->seReadSize->setValue(other ? 32 : 4 * stride);
        SetWordGroupCaptions(QStringLiteral("WORD "), 30033, w);
    }
    setChannelTexts(lbHd, lbTanni,
                    monitor::terminalChannels(item, ui->DataAreaSelect->currentIndex()));
}

// ---- answers ------------------------------------------------------------------

void TfrmMain::HandleMonitorAnswer(const ReceiveBuffer &rb)
{
    if (MonitorStale)
        setMonitorStale(false);
    m_lastMonitorAnswer.start();
    const qint64 arrived = QDateTime::currentMSecsSinceEpoch();
    monitor::MonitorState s;
    s.wordPage = ui->pcSlaveType->currentWidget() == ui->tsWord;
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

void TfrmMain::ShowHeaderWord(int index, uint16_t value)
{
    if (index < 0 || index > 3 || !stWI[size_t(index)])
        return;
    const bool wordPage = ui->pcSlaveType->currentWidget() == ui->tsWord;
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
}

void TfrmMain::ByHexClick()
{
    DisplayFormat = monitor::Hexadecimal;
    ui->ByHex->setChecked(true);
}

void TfrmMain::ByRatioClick()
{
    DisplayFormat = monitor::Converted;
    ui->ByRatio->setChecked(true);
}

void TfrmMain::ASCII1Click()
{
    DisplayFormat = monitor::Characters;
    ui->ASCII1->setChecked(true);
}

// ---- bit outputs and another copy ---------------------------------------------

namespace {

// The coil shown in a label, as a protocol address; -1 when it shows none.
int coilOf(const QLabel *label)
{
    bool ok = false;
    const int n = label->text().trimmed().toInt(&ok, 10);
    return ok && n >= 1 ? n - 1 : -1;
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
        msg::error(this, QStringLiteral("起動に失敗しました"), QStringLiteral("エラー"));
}
