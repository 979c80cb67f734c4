// The monitor panel of the main window: its controls become the session's
// selection, the layout rules of monitor/ lay the panel out, and the
// session's answers are drawn into the boxes.
#include "app/MessageBoxes.h"
#include "app/TfrmMain.h"
#include "monitor/MonitorLayout.h"
#include "monitor/NoAnswer.h"
#include "monitor/ValueDecoding.h"
#include "ui_TfrmMain.h"
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QProcess>

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

void setChannelTexts(const std::array<QLabel *, 32> &labels, const std::array<QLabel *, 32> &units,
                     const monitor::ChannelTexts &t)
{
    for (size_t p = 0; p < 32; ++p) {
        labels[p]->setText(t.labels[p]);
        units[p]->setText(t.units[p]);
    }
}

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
    for (int i = 0; i < 32; ++i) {
        m_values[size_t(i)] = findChild<QLabel *>(QStringLiteral("StVal%1").arg(i));
        m_labels[size_t(i)] = findChild<QLabel *>(QStringLiteral("lbHd%1").arg(i));
        m_units[size_t(i)] = findChild<QLabel *>(QStringLiteral("lbTanni%1").arg(i));
    }
    m_headers = {ui->stWI0, ui->stWI1, ui->stWI2, ui->stWI3};

    setupValueBoxes();
    setupFormatMenu();
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

    showSessionAnswers();
    // The panel as the settings left it.
    const AppSettings &s = m_session.settings();
    ui->seWordAdrs->setValue(s.wordAddress);
    ui->seBitAdrs->setValue(s.bitAddress);
    ui->cbTerminalType->setCurrentIndex(
        s.terminalType >= 0 && s.terminalType < ui->cbTerminalType->count() ? s.terminalType : -1);
    ui->DataAreaSelect->setCurrentIndex(1);
    ui->BitDataSelect->setCurrentIndex(0);
    showCounterColours(false);
    RefreshMonitorLayout();

    for (QSpinBox *spin : {ui->seWordAdrs, ui->seBitAdrs, ui->seD2BitAdrs})
        connect(spin, &QSpinBox::valueChanged, this, &TfrmMain::RefreshMonitorLayout);
    for (QComboBox *c : {ui->DataAreaSelect, ui->BitDataSelect, ui->cbTerminalType})
        connect(c, &QComboBox::currentIndexChanged, this, &TfrmMain::RefreshMonitorLayout);
    connect(ui->pcSlaveType, &QTabWidget::currentChanged, this, &TfrmMain::RefreshMonitorLayout);
    // The data type decides what the channels are: a new selection and trend.
    connect(ui->cbxDataType, &QComboBox::currentIndexChanged, this, [this] {
        updateSelection();
        emit monitorLayoutChanged(trendLayout());
    });
    for (QSpinBox *spin : {ui->seReadAddress, ui->seReadSize})
        connect(spin, &QSpinBox::valueChanged, this, &TfrmMain::updateSelection);
}

void TfrmMain::setupValueBoxes()
{
    // The boxes that change with every answer: plain text and a fixed size,
    // so that a new text only repaints the box and never lays the window
    // out again. Value boxes white; header boxes white bold on black.
    QList<QLabel *> busy{ui->stCntr, ui->stElTime, ui->stLogCntr, ui->stLogElTime};
    for (QLabel *l : m_values) {
        busy << l;
        setBackground(l, Qt::white);
    }
    for (QLabel *l : m_headers) {
        busy << l;
        setBackground(l, Qt::black);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        l->setPalette(pal);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        l->setContentsMargins(0, 0, 2, 0);
    }
    for (QLabel *l : busy) {
        l->setTextFormat(Qt::PlainText);
        l->setFixedSize(l->size());
    }
}

void TfrmMain::setupFormatMenu()
{
    // The display-format menu of the four value groups.
    m_formatMenu = new QMenu(this);
    m_formatMenu->setObjectName(QStringLiteral("PopupMenu1"));
    auto *formats = new QActionGroup(this);
    const QAction *formatItems[] = {ui->ByDec, ui->ByHex, ui->ByRatio, ui->ASCII1};
    for (int f = 0; f < 4; ++f) {
        QAction *a = const_cast<QAction *>(formatItems[f]);
        formats->addAction(a);
        m_formatMenu->addAction(a);
        connect(a, &QAction::triggered, this, [this, f] { setDisplayFormat(f); });
    }
    for (QGroupBox *g : {ui->GroupBoxWord0, ui->GroupBoxWord1, ui->GroupBoxWord2, ui->GroupBoxWord3})
        connect(g, &QWidget::customContextMenuRequested, this,
                [this, g](const QPoint &pos) { m_formatMenu->popup(g->mapToGlobal(pos)); });
}

// What the session reports of its answers, drawn.
void TfrmMain::showSessionAnswers()
{
    connect(&m_session, &MonitorSession::boxesDecoded, this, &TfrmMain::showBoxes);
    connect(&m_session, &MonitorSession::answerRow, this, [this](const QString &row) {
        ui->LogLineBuf->setText(row);
        ui->LogLineBuf->setCursorPosition(0);  // the row's start in view
    });
    connect(&m_session, &MonitorSession::monitorCounted, this, [this](uint32_t count, const QString &elapsed) {
        ui->stCntr->setText(QString::number(count));
        ui->stElTime->setText(elapsed);
    });
    connect(&m_session, &MonitorSession::monitoringChanged, this, &TfrmMain::showMonitoring);
    connect(&m_session, &MonitorSession::staleChanged, this, &TfrmMain::setStale);
    connect(&m_session, &MonitorSession::monitorTimedOut, this,
            [this](std::optional<int64_t> since) { showStatusText(monitor::noAnswerText(since)); });
}

monitor::MonitorPage TfrmMain::monitorPage() const
{
    const QWidget *page = ui->pcSlaveType->currentWidget();
    return page == ui->tsBit ? monitor::MonitorPage::Bit
           : page == ui->tsD2B ? monitor::MonitorPage::D2
                               : monitor::MonitorPage::Word;
}

void TfrmMain::updateSelection()
{
    monitor::MonitorSelection s;
    s.poll.page = monitorPage();
    s.poll.readAddress = ui->seReadAddress->value();
    s.poll.readSize = ui->seReadSize->value();
    s.poll.wordAddress = ui->seWordAdrs->value();
    s.poll.bitAddress = ui->seBitAdrs->value();
    s.poll.d2BitAddress = ui->seD2BitAdrs->value();
    s.dataType = ui->cbxDataType->currentIndex();
    s.extendedArea = ui->DataAreaSelect->currentIndex() == monitor::Extended512;
    s.bitDataItem = ui->BitDataSelect->currentIndex();
    m_session.setSelection(s);
}

// ---- monitoring ---------------------------------------------------------------

void TfrmMain::sbtnMonitorClick()
{
    if (m_session.isMonitoring()) {
        m_session.stopMonitoring();
        ui->Interval->setEnabled(true);  // only this button gives the interval back
        return;
    }
    ui->sbtnMonitor->setChecked(false);
    clearBoxes();
    for (QLabel *l : m_headers)
        l->clear();
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

void TfrmMain::showMonitoring(bool on)
{
    ui->sbtnMonitor->setChecked(on);
    showCounterColours(on);
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

void TfrmMain::chkbxAutoChangeClick()
{
    m_session.stopMonitoring();
    const bool linked = ui->chkbxAutoChange->isChecked();
    ui->seReadAddress->setEnabled(!linked);
    ui->seReadSize->setEnabled(!linked);
    setTypingAllowed(ui->seReadAddress, !linked);
}

void TfrmMain::setDisplayFormat(int format)
{
    m_session.setDisplayFormat(format);
    emit monitorLayoutChanged(trendLayout());  // converted or not: another quantity
}

// ---- layout -------------------------------------------------------------------

void TfrmMain::setWordGroupCaptions(const QString &prefix, int base, int first)
{
    const std::array<QGroupBox *, 4> groups{ui->GroupBoxWord0, ui->GroupBoxWord1, ui->GroupBoxWord2, ui->GroupBoxWord3};
    const std::array<QLabel *, 4> ma{ui->stMA0, ui->stMA1, ui->stMA2, ui->stMA3};
    for (size_t g = 0; g < 4; ++g) {
        groups[g]->setTitle(prefix + QString::number(first + int(g)));
        ma[g]->setText(QString::number(base + first + int(g)));
    }
}

void TfrmMain::RefreshMonitorLayout()
{
    AppSettings &settings = m_session.settings();
    settings.wordAddress = ui->seWordAdrs->value();
    settings.bitAddress = ui->seBitAdrs->value();
    settings.terminalType = ui->cbTerminalType->currentIndex();
    const monitor::AddressLabels labels =
        monitor::addressLabels(ui->seWordAdrs->value(), ui->seBitAdrs->value(), ui->seD2BitAdrs->value());
    ui->stModbusAdrs->setText(labels.modbusAdrs);
    clearBoxes();  // old values go
    if (const monitor::MonitorPage page = monitorPage(); page == monitor::MonitorPage::Word) {
        ui->DataAreaSelect->show();
        ui->BitDataSelect->hide();
        const int area = ui->DataAreaSelect->currentIndex();
        ui->cbxDataType->setCurrentIndex(monitor::wordAreaDataType(area, ui->cbTerminalType->currentIndex()));
        const monitor::AreaBase a = monitor::wordAreaBase(area);
        applyTerminalLayout(a.base, a.stride);
    } else {
        applyBitPageLayout(page);
    }
    ui->stModbusBitInAdrs->setText(labels.bitInAdrs);
    ui->stModbusBitWordAdrs->setText(labels.bitWordAdrs);
    ui->stModbusBitOutAdrs->setText(labels.bitOutAdrs);
    ui->stModbusD2BitInAdrs->setText(labels.d2BitInAdrs);
    ui->stModbusD2BitWordAdrs->setText(labels.d2BitWordAdrs);
    ui->stModbusD2BitOutAdrs->setText(labels.d2BitOutAdrs);
    updateSelection();
    emit monitorLayoutChanged(trendLayout());
}

void TfrmMain::applyBitPageLayout(monitor::MonitorPage page)
{
    const bool linked = ui->chkbxAutoChange->isChecked();
    ui->DataAreaSelect->hide();
    ui->BitDataSelect->show();
    const monitor::BitPageLayout l = monitor::bitPageLayout(page, ui->BitDataSelect->currentIndex(),
                                                            ui->seBitAdrs->value(), ui->seD2BitAdrs->value());
    if (l.known) {
        ui->cbxDataType->setCurrentIndex(l.window.dataType);
        ui->seReadSize->setValue(l.window.window.size);
        setChannelTexts(m_labels, m_units,
                        l.edgeCounters ? monitor::edgeCounterChannels() : monitor::bitPairChannels());
    }
    ui->stTerminalType->setText(tr("16点ビット入力ターミナル"));
    if (linked) {
        ui->seReadAddress->setValue(l.window.window.address);
        if (!l.known)
            ui->seReadSize->setValue(l.window.window.size);
    }
    setWordGroupCaptions(l.captionPrefix, l.captionBase, l.firstGroup);
}

void TfrmMain::applyTerminalLayout(int base, int stride)
{
    const int item = ui->cbTerminalType->currentIndex();
    const int w = ui->seWordAdrs->value();
    const monitor::TerminalType type = monitor::terminalType(item);
    ui->stTerminalType->setText(type.caption);
    if (type.powerTerminalKind >= 0)
        m_session.settings().powerTerminalKind = type.powerTerminalKind;
    if (ui->chkbxAutoChange->isChecked()) {
        const monitor::ReadWindow win = monitor::wordReadWindow({base, stride}, item, w);
        ui->seReadAddress->setValue(win.address);
        ui->seReadSize->setValue(win.size);
        setWordGroupCaptions(QStringLiteral("WORD "), 30033, w);
    }
    setChannelTexts(m_labels, m_units, monitor::terminalChannels(item, ui->DataAreaSelect->currentIndex()));
}

monitor::TrendLayout TfrmMain::trendLayout() const
{
    // The key holds what decides the meaning of the values on each page:
    // on the word page also the data type, and whether the numbers plotted
    // are converted (another quantity; the other formats plot the same
    // decimal value).
    const monitor::MonitorPage page = monitorPage();
    const QString key = monitor::selectionKey(
        page, ui->BitDataSelect->currentIndex(), ui->seBitAdrs->value(), ui->seD2BitAdrs->value(),
        ui->cbTerminalType->currentIndex(), ui->seWordAdrs->value(), ui->DataAreaSelect->currentIndex(),
        ui->cbxDataType->currentIndex(), m_session.displayFormat() == monitor::Converted);
    std::array<QString, 32> labels, units;
    for (size_t p = 0; p < 32; ++p) {
        labels[p] = m_labels[p]->text();
        units[p] = m_units[p]->text();
    }
    const bool bitBus = page != monitor::MonitorPage::Word && ui->BitDataSelect->currentIndex() == 0;
    return monitor::trendLayout(key, labels, units, bitBus,
                                {ui->GroupBoxWord0->title(), ui->GroupBoxWord1->title(),
                                 ui->GroupBoxWord2->title(), ui->GroupBoxWord3->title()});
}

// ---- answers ------------------------------------------------------------------

void TfrmMain::showBoxes(const monitor::MonitorBoxes &boxes)
{
    for (size_t p = 0; p < 32; ++p)
        if ((boxes.valueMask >> p) & 1u)
            m_values[p]->setText(boxes.values[p]);
    for (size_t i = 0; i < 4; ++i)
        if ((boxes.headerMask >> i) & 1u)
            m_headers[i]->setText(boxes.headers[i]);
}

void TfrmMain::clearBoxes()
{
    for (QLabel *l : m_values)
        l->clear();
}

void TfrmMain::setStale(bool stale)
{
    for (size_t i = 0; i < 36; ++i) {
        QLabel *l = i < 32 ? m_values[i] : m_headers[i - 32];
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

// ---- bit outputs and another copy ---------------------------------------------

void TfrmMain::sendBitOutput(const QLabel *label, bool on)
{
    if (const int coil = monitor::coilOfAddressLabel(label->text()); coil >= 0)
        m_session.link().SendWriteSingleCoil(uint32_t(coil), on ? 0xFF : 0x00);
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
