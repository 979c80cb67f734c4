#include "app/MonitorPanel.h"
#include "monitor/MonitorLayout.h"
#include "monitor/NoAnswer.h"
#include "monitor/ValueDecoding.h"
#include "ui_TfrmMain.h"
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>

namespace {

// The smallest size (pixels) a tag is set in to fit its channel label.
constexpr int kSmallestTagPixels = 8;

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

MonitorPanel::MonitorPanel(Ui::TfrmMain &form, MonitorSession &session, QWidget *window)
    : QObject(window), ui(form), m_session(session)
{
    for (int i = 0; i < 32; ++i) {
        m_values[size_t(i)] = window->findChild<QLabel *>(QStringLiteral("StVal%1").arg(i));
        m_labels[size_t(i)] = window->findChild<QLabel *>(QStringLiteral("lbHd%1").arg(i));
        m_units[size_t(i)] = window->findChild<QLabel *>(QStringLiteral("lbTanni%1").arg(i));
    }
    m_headers = {ui.stWI0, ui.stWI1, ui.stWI2, ui.stWI3};
    m_labelFont = m_labels[0]->font();

    setupValueBoxes();
    setupFormatMenu(window);
    setTypingAllowed(ui.seWordAdrs, false);
    setTypingAllowed(ui.seBitAdrs, false);
    setTypingAllowed(ui.seD2BitAdrs, false);
    setTypingAllowed(ui.seReadAddress, !ui.chkbxAutoChange->isChecked());
    ui.UpDown3->setPartner(ui.Interval);
    showSessionAnswers();

    // The panel as the settings left it.
    const AppSettings &s = m_session.settings();
    ui.seWordAdrs->setValue(s.wordAddress);
    ui.seBitAdrs->setValue(s.bitAddress);
    ui.cbTerminalType->setCurrentIndex(
        s.terminalType >= 0 && s.terminalType < ui.cbTerminalType->count() ? s.terminalType : -1);
    ui.DataAreaSelect->setCurrentIndex(1);
    ui.BitDataSelect->setCurrentIndex(0);
    showCounterColours(false);
    refreshLayout();

    for (QSpinBox *spin : {ui.seWordAdrs, ui.seBitAdrs, ui.seD2BitAdrs})
        connect(spin, &QSpinBox::valueChanged, this, &MonitorPanel::refreshLayout);
    for (QComboBox *c : {ui.DataAreaSelect, ui.BitDataSelect, ui.cbTerminalType})
        connect(c, &QComboBox::currentIndexChanged, this, &MonitorPanel::refreshLayout);
    connect(ui.pcSlaveType, &QTabWidget::currentChanged, this, &MonitorPanel::refreshLayout);
    // The data type decides what the channels are: a new selection and trend.
    connect(ui.cbxDataType, &QComboBox::currentIndexChanged, this, [this] {
        updateSelection();
        emit layoutChanged(trendLayout());
    });
    for (QSpinBox *spin : {ui.seReadAddress, ui.seReadSize})
        connect(spin, &QSpinBox::valueChanged, this, &MonitorPanel::updateSelection);
    // The tags of an installation opened, edited or closed: new labels (and
    // trend names) for the same values.
    connect(&m_session, &MonitorSession::siteChanged, this, [this] {
        if (page() != monitor::MonitorPage::Word)
            return;
        setChannelTexts(wordChannelTexts());
        emit layoutChanged(trendLayout());
    });
}

void MonitorPanel::setupValueBoxes()
{
    // The boxes that change with every answer: plain text and a fixed size,
    // so that a new text only repaints the box and never lays the window
    // out again. Value boxes white; header boxes white bold on black.
    QList<QLabel *> busy{ui.stCntr, ui.stElTime, ui.stLogCntr, ui.stLogElTime};
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

void MonitorPanel::setupFormatMenu(QWidget *window)
{
    // The display-format menu of the four value groups.
    m_formatMenu = new QMenu(window);
    m_formatMenu->setObjectName(QStringLiteral("PopupMenu1"));
    auto *formats = new QActionGroup(this);
    QAction *const formatItems[] = {ui.ByDec, ui.ByHex, ui.ByRatio, ui.ASCII1};
    for (int f = 0; f < 4; ++f) {
        formats->addAction(formatItems[f]);
        m_formatMenu->addAction(formatItems[f]);
        connect(formatItems[f], &QAction::triggered, this, [this, f] {
            m_session.setDisplayFormat(f);
            emit layoutChanged(trendLayout());  // converted or not: another quantity
        });
    }
    for (QGroupBox *g : {ui.GroupBoxWord0, ui.GroupBoxWord1, ui.GroupBoxWord2, ui.GroupBoxWord3})
        connect(g, &QWidget::customContextMenuRequested, this,
                [this, g](const QPoint &pos) { m_formatMenu->popup(g->mapToGlobal(pos)); });
}

// What the session reports of its answers, drawn.
void MonitorPanel::showSessionAnswers()
{
    connect(&m_session, &MonitorSession::boxesDecoded, this, &MonitorPanel::showBoxes);
    connect(&m_session, &MonitorSession::answerRow, this, [this](const QString &row) {
        ui.LogLineBuf->setText(row);
        ui.LogLineBuf->setCursorPosition(0);  // the row's start in view
    });
    connect(&m_session, &MonitorSession::monitorCounted, this, [this](uint32_t count, const QString &elapsed) {
        ui.stCntr->setText(QString::number(count));
        ui.stElTime->setText(elapsed);
    });
    connect(&m_session, &MonitorSession::monitoringChanged, this, [this](bool on) {
        ui.sbtnMonitor->setChecked(on);
        showCounterColours(on);
    });
    connect(&m_session, &MonitorSession::staleChanged, this, &MonitorPanel::setStale);
}

monitor::MonitorPage MonitorPanel::page() const
{
    const QWidget *page = ui.pcSlaveType->currentWidget();
    return page == ui.tsBit ? monitor::MonitorPage::Bit
           : page == ui.tsD2B ? monitor::MonitorPage::D2
                              : monitor::MonitorPage::Word;
}

void MonitorPanel::updateSelection()
{
    monitor::MonitorSelection s;
    s.poll.page = page();
    s.poll.readAddress = ui.seReadAddress->value();
    s.poll.readSize = ui.seReadSize->value();
    s.poll.wordAddress = ui.seWordAdrs->value();
    s.poll.bitAddress = ui.seBitAdrs->value();
    s.poll.d2BitAddress = ui.seD2BitAdrs->value();
    s.dataType = ui.cbxDataType->currentIndex();
    s.extendedArea = ui.DataAreaSelect->currentIndex() == monitor::Extended512;
    s.bitDataItem = ui.BitDataSelect->currentIndex();
    m_session.setSelection(s);
}

void MonitorPanel::showCounterColours(bool monitoring)
{
    const int colours = monitoring ? 1 : 0;
    if (colours == m_counterColours)
        return;
    m_counterColours = colours;
    setBackground(ui.stCntr, monitoring ? QColor(0, 255, 0) : QColor(192, 192, 192));
    setBackground(ui.stElTime, monitoring ? QColor(255, 255, 0) : QColor(192, 192, 192));
}

void MonitorPanel::setReadWindowLinked(bool linked)
{
    ui.seReadAddress->setEnabled(!linked);
    ui.seReadSize->setEnabled(!linked);
    setTypingAllowed(ui.seReadAddress, !linked);
}

// ---- layout -------------------------------------------------------------------

void MonitorPanel::setWordGroupCaptions(const QString &prefix, int base, int first)
{
    const std::array<QGroupBox *, 4> groups{ui.GroupBoxWord0, ui.GroupBoxWord1, ui.GroupBoxWord2, ui.GroupBoxWord3};
    const std::array<QLabel *, 4> ma{ui.stMA0, ui.stMA1, ui.stMA2, ui.stMA3};
    for (size_t g = 0; g < 4; ++g) {
        groups[g]->setTitle(prefix + QString::number(first + int(g)));
        ma[g]->setText(QString::number(base + first + int(g)));
    }
}

// The channel texts of the word page: the terminal type's, with the tags of
// the open installation where it lists the terminal shown (its address and
// type). A tag wider than its label is set smaller to fit, down to a size
// still legible; one that does not fit even so loses its middle in the label
// and shows whole in the tool tip (and the trend's names).
monitor::ChannelTexts MonitorPanel::wordChannelTexts() const
{
    const int type = ui.cbTerminalType->currentIndex();
    monitor::ChannelTexts t = monitor::terminalChannels(type, ui.DataAreaSelect->currentIndex());
    if (const std::optional<site::Site> &installation = m_session.site()) {
        const auto tags = site::tagsOf(*installation, ui.seWordAdrs->value(), type);
        for (size_t p = 0; p < 32; ++p)
            if (!tags[p].isEmpty())
                t.labels[p] = tags[p];
    }
    return t;
}

void MonitorPanel::setChannelTexts(const monitor::ChannelTexts &t)
{
    const bool tagged = page() == monitor::MonitorPage::Word && m_session.site();
    for (size_t p = 0; p < 32; ++p) {
        QLabel *label = m_labels[p];
        QFont font = m_labelFont;
        const int room = label->contentsRect().width();
        const auto fits = [&] { return QFontMetrics(font).horizontalAdvance(t.labels[p]) <= room; };
        if (tagged)
            for (int px = QFontInfo(font).pixelSize(); !fits() && px > kSmallestTagPixels;)
                font.setPixelSize(--px);
        if (label->font() != font)
            label->setFont(font);
        // Still too wide: the middle gives way, so that the end that tells
        // P-PUMP1 from P-PUMP2 stays in sight.
        const bool whole = !tagged || fits();
        label->setText(whole ? t.labels[p] : QFontMetrics(font).elidedText(t.labels[p], Qt::ElideMiddle, room));
        label->setToolTip(whole ? QString() : t.labels[p]);
        m_labelTexts[p] = t.labels[p];
        m_units[p]->setText(t.units[p]);
    }
}

void MonitorPanel::refreshLayout()
{
    AppSettings &settings = m_session.settings();
    settings.wordAddress = ui.seWordAdrs->value();
    settings.bitAddress = ui.seBitAdrs->value();
    settings.terminalType = ui.cbTerminalType->currentIndex();
    const monitor::AddressLabels labels =
        monitor::addressLabels(ui.seWordAdrs->value(), ui.seBitAdrs->value(), ui.seD2BitAdrs->value());
    ui.stModbusAdrs->setText(labels.modbusAdrs);
    clearValues();  // old values go
    if (const monitor::MonitorPage p = page(); p == monitor::MonitorPage::Word) {
        ui.DataAreaSelect->show();
        ui.BitDataSelect->hide();
        const int area = ui.DataAreaSelect->currentIndex();
        ui.cbxDataType->setCurrentIndex(monitor::wordAreaDataType(area, ui.cbTerminalType->currentIndex()));
        const monitor::AreaBase a = monitor::wordAreaBase(area);
        applyTerminalLayout(a.base, a.stride);
    } else {
        applyBitPageLayout(p);
    }
    ui.stModbusBitInAdrs->setText(labels.bitInAdrs);
    ui.stModbusBitWordAdrs->setText(labels.bitWordAdrs);
    ui.stModbusBitOutAdrs->setText(labels.bitOutAdrs);
    ui.stModbusD2BitInAdrs->setText(labels.d2BitInAdrs);
    ui.stModbusD2BitWordAdrs->setText(labels.d2BitWordAdrs);
    ui.stModbusD2BitOutAdrs->setText(labels.d2BitOutAdrs);
    updateSelection();
    emit layoutChanged(trendLayout());
}

void MonitorPanel::applyBitPageLayout(monitor::MonitorPage p)
{
    const bool linked = ui.chkbxAutoChange->isChecked();
    ui.DataAreaSelect->hide();
    ui.BitDataSelect->show();
    const monitor::BitPageLayout l = monitor::bitPageLayout(p, ui.BitDataSelect->currentIndex(),
                                                            ui.seBitAdrs->value(), ui.seD2BitAdrs->value());
    if (l.known) {
        ui.cbxDataType->setCurrentIndex(l.window.dataType);
        ui.seReadSize->setValue(l.window.window.size);
        setChannelTexts(l.edgeCounters ? monitor::edgeCounterChannels() : monitor::bitPairChannels());
    }
    // The window's text, translated in the window's own context.
    ui.stTerminalType->setText(QCoreApplication::translate("TfrmMain", "16点ビット入力ターミナル"));
    if (linked) {
        ui.seReadAddress->setValue(l.window.window.address);
        if (!l.known)
            ui.seReadSize->setValue(l.window.window.size);
    }
    setWordGroupCaptions(l.captionPrefix, l.captionBase, l.firstGroup);
}

void MonitorPanel::applyTerminalLayout(int base, int stride)
{
    const int item = ui.cbTerminalType->currentIndex();
    const int w = ui.seWordAdrs->value();
    const monitor::TerminalType type = monitor::terminalType(item);
    ui.stTerminalType->setText(type.caption);
    if (type.powerTerminalKind >= 0)
        m_session.settings().powerTerminalKind = type.powerTerminalKind;
    if (ui.chkbxAutoChange->isChecked()) {
        const monitor::ReadWindow win = monitor::wordReadWindow({base, stride}, item, w);
        ui.seReadAddress->setValue(win.address);
        ui.seReadSize->setValue(win.size);
        setWordGroupCaptions(QStringLiteral("WORD "), 30033, w);
    }
    setChannelTexts(wordChannelTexts());
}

monitor::TrendLayout MonitorPanel::trendLayout() const
{
    // The key holds what decides the meaning of the values on each page:
    // on the word page also the data type, and whether the numbers plotted
    // are converted (another quantity; the other formats plot the same
    // decimal value).
    const monitor::MonitorPage p = page();
    const QString key = monitor::selectionKey(
        p, ui.BitDataSelect->currentIndex(), ui.seBitAdrs->value(), ui.seD2BitAdrs->value(),
        ui.cbTerminalType->currentIndex(), ui.seWordAdrs->value(), ui.DataAreaSelect->currentIndex(),
        ui.cbxDataType->currentIndex(), m_session.displayFormat() == monitor::Converted);
    std::array<QString, 32> labels, units;
    for (size_t i = 0; i < 32; ++i) {
        labels[i] = m_labelTexts[i];
        units[i] = m_units[i]->text();
    }
    const bool bitBus = p != monitor::MonitorPage::Word && ui.BitDataSelect->currentIndex() == 0;
    return monitor::trendLayout(key, labels, units, bitBus,
                                {ui.GroupBoxWord0->title(), ui.GroupBoxWord1->title(),
                                 ui.GroupBoxWord2->title(), ui.GroupBoxWord3->title()});
}

// ---- answers ------------------------------------------------------------------

void MonitorPanel::showBoxes(const monitor::MonitorBoxes &boxes)
{
    for (size_t p = 0; p < 32; ++p)
        if ((boxes.valueMask >> p) & 1u)
            m_values[p]->setText(boxes.values[p]);
    for (size_t i = 0; i < 4; ++i)
        if ((boxes.headerMask >> i) & 1u)
            m_headers[i]->setText(boxes.headers[i]);
}

void MonitorPanel::clearValues()
{
    for (QLabel *l : m_values)
        l->clear();
}

void MonitorPanel::clearHeaders()
{
    for (QLabel *l : m_headers)
        l->clear();
}

void MonitorPanel::setStale(bool stale)
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
