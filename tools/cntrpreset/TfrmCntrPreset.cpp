#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "app/Forms.h"
#include "app/MessageBoxes.h"
#include "app/TfrmMain.h"
#include "link/AnswerItems.h"
#include "link/Waits.h"
#include "monitor/TextNumbers.h"
#include "tools/cntrpreset/CounterProtocol.h"
#include "tools/softcntr/UpDownLink.h"
#include "ui_TfrmCntrPreset.h"
#include <QRadioButton>
#include <QTimer>

using namespace counter;

namespace {

uint64_t write(uint32_t address, uint16_t value)
{
    return frmMain->ClientSocket1->SendWriteSingleRegister(address, value);
}

} // namespace

TfrmCntrPreset::TfrmCntrPreset(QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmCntrPreset), WaitTim(new QTimer(this))
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
    WaitTim->start();

    connect(ui->btnPreset, &QPushButton::clicked, this, &TfrmCntrPreset::btnPresetClick);
    connect(ui->btnReset, &QPushButton::clicked, this, &TfrmCntrPreset::btnResetClick);
    connect(ui->btnSetKeta, &QPushButton::clicked, this, &TfrmCntrPreset::btnSetKetaClick);
    connect(ui->ReadCurrent, &QPushButton::clicked, this, &TfrmCntrPreset::ReadCurrentClick);
    connect(ui->edCntrAdrs, &QLineEdit::textChanged, this, &TfrmCntrPreset::edCntrAdrsChange);
    connect(ui->chkRendou, &QCheckBox::clicked, this, &TfrmCntrPreset::chkRendouClick);

    if (frmMain) {
        ModbusLink *link = frmMain->ClientSocket1;
        link->setAnswerHandler(10, [this](const ReceiveBuffer &rb) {
            forEachWordItem(rb, [this](int m, uint16_t w) { SetCurrent16(unsigned(m), w); });
        });
        auto pairs = [this](void (TfrmCntrPreset::*decoder)(unsigned, uint32_t, int)) {
            return [this, decoder](const ReceiveBuffer &rb) {
                forEachDoubleWordItem(rb, frmMain->Settings.wordOrderSwap != 0,
                                      [this, decoder](int m, uint32_t count, int digits) {
                                          (this->*decoder)(unsigned(m), count, digits);
                                      });
            };
        };
        link->setAnswerHandler(11, pairs(&TfrmCntrPreset::SetCurrent24));
        link->setAnswerHandler(12, pairs(&TfrmCntrPreset::SetCurrent24));
        link->setAnswerHandler(13, pairs(&TfrmCntrPreset::SetCurrent24x8W));
        link->setAnswerHandler(14, pairs(&TfrmCntrPreset::SetCurrent24x4W));
    }
}

TfrmCntrPreset::~TfrmCntrPreset()
{
    delete ui;
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
        msg::information(this, QStringLiteral("アドレスの指定範囲が誤っています"));
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
}

void TfrmCntrPreset::WaitTicks(int n, uint64_t write)
{
    // The pause gives the terminal time to take the byte; it also lasts
    // until the gateway answered the write that carried it (or the link
    // timed the write out), so that a slow gateway never gets the next byte
    // before the last one.
    WaitCount = n;
    WaitUntil([&] {
        return WaitCount == 0 && frmMain->ClientSocket1->requestState(write) != modbus::RequestState::InFlight;
    });
}

void TfrmCntrPreset::btnPresetClick()
{
    if (m_busy)
        return;
    const auto t = target(ui->edCntrOutAdrs);
    if (!t)
        return;
    const bool wide = t->mode.wide;
    const int out = t->address;
    const uint8_t channels = selectedChannels();
    if (!wide) {
        // Only two bytes reach the terminal: a larger value would be
        // preset as some other number.
        for (int k = 0; k < kChannels; ++k)
            if ((channels >> k & 1) && uint32_t(m_value[k]->value()) > maxPresetValue(false)) {
                msg::warning(this, QStringLiteral("CH%1 のプリセット値が16ビットの範囲(0～65535)を超えています").arg(k));
                return;
            }
    }

    setBusy(true);
    WaitTicks(kByteTicks, write(commandRegister(out), presetCommand(channels)));
    const int bytes = wide ? 3 : 2;
    for (int k = 0; k < kChannels; ++k) {
        if (!(channels >> k & 1))
            continue;
        m_value[k]->setEnabled(false);
        for (int b = 0; b < bytes; ++b) {
            WaitTicks(kByteTicks, write(dataRegister(out), presetData(k, b, uint32_t(m_value[k]->value()))));
        }
        m_value[k]->setEnabled(true);
    }
    write(dataRegister(out), 0);
    write(commandRegister(out), 0);
    setBusy(false);
}

void TfrmCntrPreset::btnResetClick()
{
    if (m_busy)
        return;
    const auto t = target(ui->edCntrAdrs);
    if (!t)
        return;
    setBusy(true);
    WaitTicks(kByteTicks, write(commandRegister(t->address), resetCommand(selectedChannels(), t->mode.wide)));
    write(commandRegister(t->address), 0);
    setBusy(false);
}

void TfrmCntrPreset::btnSetKetaClick()
{
    if (m_busy)
        return;
    const auto t = target(ui->edCntrOutAdrs);
    if (!t)
        return;
    const bool wide = t->mode.wide;
    const int out = t->address;
    const uint8_t channels = selectedChannels();
    if (wide) {
        // A channel without a choice would send code 0x20 + k, which is the
        // digit code of the channel before it.
        for (int k = 0; k < kChannels; ++k)
            if ((channels >> k & 1) && m_digits[k]->currentIndex() < 0) {
                msg::warning(this, QStringLiteral("CH%1 の桁数が選択されていません").arg(k));
                return;
            }
    }

    setBusy(true);
    WaitTicks(kByteTicks, write(commandRegister(out), presetCommand(channels)));
    if (wide) {
        for (int k = 0; k < kChannels; ++k) {
            if (!(channels >> k & 1))
                continue;
            m_digits[k]->setEnabled(false);
            WaitTicks(kDigitTicks, write(dataRegister(out), digitData(k, m_digits[k]->currentIndex())));
            m_digits[k]->setEnabled(true);
        }
    }
    write(dataRegister(out), 0);
    write(commandRegister(out), 0);
    setBusy(false);
}

void TfrmCntrPreset::ReadCurrentClick()
{
    const auto t = target(ui->edCntrAdrs);
    if (!t)
        return;
    frmMain->SendReadInputRegisters(t->mode.tag, readBackStart(t->mode, t->address), t->mode.count);
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
