#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "app/MessageBoxes.h"
#include "app/Settings.h"
#include "link/AnswerItems.h"
#include "link/GatewayLink.h"
#include "monitor/TextNumbers.h"
#include "tools/cntrpreset/CounterProtocol.h"
#include "tools/softcntr/UpDownLink.h"
#include "ui_TfrmCntrPreset.h"
#include <algorithm>
#include <QRadioButton>
#include <QTimer>

using namespace counter;

TfrmCntrPreset::TfrmCntrPreset(GatewayLink &link, const AppSettings &settings, QWidget *parent)
    : QDialog(parent), WaitTim(new QTimer(this)), ui(new Ui::TfrmCntrPreset), m_link(link), m_settings(settings)
{
    ui->setupUi(this);
    setFixedSize(size());

    for (int k = 0; k < kChannels; ++k) {
        m_check[k] = findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(k + 1));
        m_value[k] = findChild<QSpinBox *>(QStringLiteral("SpinEdit%1").arg(k + 1));
        m_digits[k] = findChild<QComboBox *>(QStringLiteral("ComboBox%1").arg(k + 1));
        m_digits[k]->setCurrentIndex(-1);  // no digit setting chosen at start
    }

    linkUpDown(ui->UpDown1, ui->edCntrAdrs);
    linkUpDown(ui->UpDown2, ui->edCntrOutAdrs);
    ui->UpDown2->setEnabled(false);

    WaitTim->setObjectName(QStringLiteral("WaitTim"));
    WaitTim->setInterval(100);
    connect(WaitTim, &QTimer::timeout, this, &TfrmCntrPreset::WaitTimTimer);
    // WaitTim ticks only while a pause counts down (WaitTicks starts it).

    connect(ui->btnPreset, &QPushButton::clicked, this, &TfrmCntrPreset::btnPresetClick);
    connect(ui->btnReset, &QPushButton::clicked, this, &TfrmCntrPreset::btnResetClick);
    connect(ui->btnSetKeta, &QPushButton::clicked, this, &TfrmCntrPreset::btnSetKetaClick);
    connect(ui->ReadCurrent, &QPushButton::clicked, this, &TfrmCntrPreset::ReadCurrentClick);
    connect(ui->edCntrAdrs, &QLineEdit::textChanged, this, &TfrmCntrPreset::edCntrAdrsChange);
    connect(ui->chkRendou, &QCheckBox::clicked, this, &TfrmCntrPreset::chkRendouClick);

}

TfrmCntrPreset::~TfrmCntrPreset()
{
    // A running operation ends while the controls are still there.
    m_sequence.stop();
    delete ui;
}

void TfrmCntrPreset::hideEvent(QHideEvent *event)
{
    m_sequence.stop();
    QDialog::hideEvent(event);
}

void TfrmCntrPreset::ShowReadBack(const ReceiveBuffer &rb)
{
    if (rb.tag() == 10) {
        forEachWordItem(rb, [this](int m, uint16_t w) { SetCurrent16(unsigned(m), w); });
        return;
    }
    void (TfrmCntrPreset::*decoder)(unsigned, uint32_t, int) = nullptr;
    switch (rb.tag()) {
    case 11:
    case 12: decoder = &TfrmCntrPreset::SetCurrent24; break;
    case 13: decoder = &TfrmCntrPreset::SetCurrent24x8W; break;
    case 14: decoder = &TfrmCntrPreset::SetCurrent24x4W; break;
    default: return;
    }
    forEachDoubleWordItem(rb, m_settings.wordOrderSwap != 0, [this, decoder](int m, uint32_t count, int digits) {
        (this->*decoder)(unsigned(m), count, digits);
    });
}

int TfrmCntrPreset::modeIndex() const
{
    for (int i = 0; i < int(modes().size()); ++i)
        if (findChild<QRadioButton *>(QStringLiteral("CntrModeItem%1").arg(i))->isChecked())
            return i;
    return -1;
}

uint8_t TfrmCntrPreset::selectedChannels() const
{
    uint8_t mask = 0;
    for (int k = 0; k < kChannels; ++k)
        if (m_check[k]->isChecked())
            mask |= uint8_t(1u << k);
    return mask;
}

std::optional<int> TfrmCntrPreset::terminalAddress(QLineEdit *edit)
{
    const QString text = edit->text();
    const auto n = ParseInt(text);
    if (!n) {
        msg::error(this, IntConversionError(text));
        return std::nullopt;
    }
    // A number past the word addresses would put the command words on
    // registers of other areas.
    if (*n < 0 || *n > kHighestAddress) {
        msg::information(this, tr("アドレスの指定範囲が誤っています"));
        return std::nullopt;
    }
    return n;
}

std::optional<TfrmCntrPreset::Target> TfrmCntrPreset::target(QLineEdit *edit)
{
    const int mi = modeIndex();
    if (mi < 0)
        return std::nullopt;
    const auto address = terminalAddress(edit);
    if (!address)
        return std::nullopt;
    return Target{modes()[size_t(mi)], *address};
}

void TfrmCntrPreset::setBusy(bool busy)
{
    // One operation at a time: a second one would interleave its command
    // words with those of the first on the same terminal.
    m_busy = busy;
    ui->btnPreset->setEnabled(!busy);
    ui->btnReset->setEnabled(!busy);
    ui->btnSetKeta->setEnabled(!busy);
}

void TfrmCntrPreset::WaitTimTimer()
{
    if (WaitCount != 0)
        --WaitCount;
    if (WaitCount == 0)
        WaitTim->stop();
    m_sequence.poke();
}

QCoro::Task<bool> TfrmCntrPreset::WaitTicks(int n, Reply write)
{
    // The pause gives the terminal time to take the byte; it also lasts
    // until the gateway answered the write that carried it (or the link
    // timed the write out), so that a slow gateway never gets the next byte
    // before the last one.
    WaitCount = n;
    if (WaitCount != 0 && !WaitTim->isActive())
        WaitTim->start();
    LinkReply *w = write.get();
    // A write lost with the connection ends the pause at once.
    co_return co_await m_sequence.until(
        [this, w] {
            return (WaitCount == 0 && (!w || w->isFinished())) || (w && w->ending() == LinkReply::Ending::Lost);
        },
        write);
}

QCoro::Task<> TfrmCntrPreset::runSteps(std::vector<CommandStep> steps, std::array<QWidget *, 8> channelControls)
{
    const auto running = m_sequence.begin();
    if (!running)
        co_return;
    setBusy(true);
    // Every operation ends with its end-of-operation words (0, no pause
    // before them): they are also what a stopped operation still sends.
    size_t closing = steps.size();
    while (closing > 0 && steps[closing - 1].value == 0 && steps[closing - 1].ticks == 0
           && steps[closing - 1].channel < 0)
        --closing;
    for (size_t i = 0; i < steps.size(); ++i) {
        const CommandStep &step = steps[i];
        // The control of the channel whose bytes go out is taken meanwhile.
        QWidget *control = step.channel >= 0 ? channelControls[size_t(step.channel)] : nullptr;
        if (control)
            control->setEnabled(false);
        const Reply reply = m_link.SendWriteSingleRegister(step.reg, step.value);
        bool goOn = reply->ending() != LinkReply::Ending::Lost;
        if (goOn && step.ticks > 0)
            goOn = co_await WaitTicks(step.ticks, reply) && reply->ending() != LinkReply::Ending::Lost;
        if (control)
            control->setEnabled(true);
        // Closed, or the connection went: no data byte more for the
        // terminal, and the pause counts no more. Closed while connected,
        // the operation is ended as every operation ends, so that the
        // terminal is not left in the middle of a command.
        if (!goOn) {
            WaitCount = 0;
            WaitTim->stop();
            if (m_link.isConnected())
                for (size_t c = std::max(closing, i + 1); c < steps.size(); ++c)
                    m_link.SendWriteSingleRegister(steps[c].reg, steps[c].value);
            break;
        }
    }
    setBusy(false);
}

void TfrmCntrPreset::btnPresetClick()
{
    if (m_busy)
        return;
    const auto t = target(ui->edCntrOutAdrs);
    if (!t)
        return;
    const uint8_t channels = selectedChannels();
    // The values as shown now: the ones checked are the ones sent.
    std::array<uint32_t, kChannels> values{};
    for (int k = 0; k < kChannels; ++k)
        values[size_t(k)] = uint32_t(m_value[k]->value());
    if (!t->mode.wide) {
        // Only two bytes reach the terminal: a larger value would be
        // preset as some other number.
        for (int k = 0; k < kChannels; ++k)
            if ((channels >> k & 1) && values[size_t(k)] > maxPresetValue(false)) {
                msg::warning(this, tr("CH%1 のプリセット値が16ビットの範囲(0～65535)を超えています").arg(k));
                return;
            }
    }
    runSteps(presetSteps(t->address, channels, t->mode.wide, values),
             {m_value[0], m_value[1], m_value[2], m_value[3], m_value[4], m_value[5], m_value[6], m_value[7]});
}

void TfrmCntrPreset::btnResetClick()
{
    if (m_busy)
        return;
    const auto t = target(ui->edCntrAdrs);
    if (!t)
        return;
    runSteps(resetSteps(t->address, selectedChannels(), t->mode.wide), {});
}

void TfrmCntrPreset::btnSetKetaClick()
{
    if (m_busy)
        return;
    const auto t = target(ui->edCntrOutAdrs);
    if (!t)
        return;
    const uint8_t channels = selectedChannels();
    std::array<int, kChannels> items{};
    for (int k = 0; k < kChannels; ++k)
        items[size_t(k)] = m_digits[k]->currentIndex();
    if (t->mode.wide) {
        // A channel without a choice would send code 0x20 + k, which is the
        // digit code of the channel before it.
        for (int k = 0; k < kChannels; ++k)
            if ((channels >> k & 1) && items[size_t(k)] < 0) {
                msg::warning(this, tr("CH%1 の桁数が選択されていません").arg(k));
                return;
            }
    }
    runSteps(digitSteps(t->address, channels, t->mode.wide, items),
             {m_digits[0], m_digits[1], m_digits[2], m_digits[3], m_digits[4], m_digits[5], m_digits[6], m_digits[7]});
}

void TfrmCntrPreset::ReadCurrentClick()
{
    const auto t = target(ui->edCntrAdrs);
    if (!t)
        return;
    onAnswer(m_link.SendReadInputRegisters(t->mode.tag, readBackStart(t->mode, t->address), t->mode.count), this,
             [this](const LinkReply &reply) { ShowReadBack(reply.answer()); });
}

void TfrmCntrPreset::edCntrAdrsChange()
{
    if (ui->chkRendou->isChecked())
        ui->edCntrOutAdrs->setText(ui->edCntrAdrs->text());
}

void TfrmCntrPreset::chkRendouClick()
{
    const bool linked = ui->chkRendou->isChecked();
    ui->edCntrOutAdrs->setEnabled(!linked);
    ui->UpDown2->setEnabled(!linked);
}

void TfrmCntrPreset::showChannel(int channel, uint32_t count, int digits)
{
    if (channel < 0 || channel >= kChannels)
        return;
    m_value[channel]->setValue(int(count));
    m_digits[channel]->setCurrentIndex(digits >= 0 && digits <= 4 ? digits : -1);
}

void TfrmCntrPreset::SetCurrent16(unsigned index, uint16_t word)
{
    if (index < unsigned(kChannels))
        m_value[index]->setValue(word);
}

void TfrmCntrPreset::SetCurrent24(unsigned index, uint32_t count, int digits)
{
    if (index < unsigned(kChannels))
        showChannel(int(index), count, digits);
}

void TfrmCntrPreset::SetCurrent24x8W(unsigned index, uint32_t count, int digits)
{
    if (index < 32)
        showChannel(channelOfPair8W(int(index)), count, digits);
}

void TfrmCntrPreset::SetCurrent24x4W(unsigned index, uint32_t count, int digits)
{
    if (index < 16)
        showChannel(channelOfPair4W(int(index)), count, digits);
}
