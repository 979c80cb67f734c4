#pragma once
// The counter terminal preset dialog: presets, resets and sets the display
// digits of chosen channels of one counter terminal, and reads back their
// counts and digit settings.
#include "link/Sequence.h"
#include <QCoro/QCoroTask>
#include <QDialog>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace Ui { class TfrmCntrPreset; }

namespace counter { struct Mode; struct CommandStep; }
struct ReceiveBuffer;
struct AppSettings;
class GatewayLink;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTimer;

class TfrmCntrPreset : public QDialog {
    Q_OBJECT
public:
    // The read-back follows the word order of the settings (SWAP).
    TfrmCntrPreset(GatewayLink &link, const AppSettings &settings, QWidget *parent = nullptr);
    ~TfrmCntrPreset() override;

    // The shared pause counter, counted down by WaitTim every 100 ms.
    int WaitCount = 0;
    QTimer *WaitTim;

    // Pause of n ticks of WaitTim after the write `write`, also until that
    // write's reply has ended. True when it passed, false when the
    // operation was stopped (the dialog closed).
    QCoro::Task<bool> WaitTicks(int n, Reply write = {});

    // Read-back decoders (index = item of the answer).
    void SetCurrent16(unsigned index, uint16_t word);
    void SetCurrent24(unsigned index, uint32_t count, int digits);
    void SetCurrent24x8W(unsigned index, uint32_t count, int digits);
    void SetCurrent24x4W(unsigned index, uint32_t count, int digits);

    // Index of the chosen mode (CntrMode), -1 when none.
    int modeIndex() const;
    // True while a preset, reset or digit setting is writing.
    bool isBusy() const { return m_busy; }
    // The answer to a read-back (request tags 10 to 14) into the channels.
    void ShowReadBack(const ReceiveBuffer &rb);

protected:
    void hideEvent(QHideEvent *event) override;

public slots:
    void btnPresetClick();
    void btnResetClick();
    void btnSetKetaClick();
    void ReadCurrentClick();
    void edCntrAdrsChange();
    void chkRendouClick();
    void WaitTimTimer();

private:
    // Converts an address edit; reports and returns nullopt when it is not
    // a decimal integer or not a word address.
    std::optional<int> terminalAddress(QLineEdit *edit);
    // The chosen mode and the address of an address edit; nullopt (after
    // reporting a bad address) when either is missing.
    struct Target {
        const counter::Mode &mode;
        int address;
    };
    std::optional<Target> target(QLineEdit *edit);
    uint8_t selectedChannels() const;
    void setBusy(bool busy);
    void showChannel(int channel, uint32_t count, int digits);

    // Writes the steps of one operation, pausing after each as it says;
    // the buttons are disabled meanwhile. Closing the dialog or losing the
    // connection ends it after the write that went out last.
    QCoro::Task<> runSteps(std::vector<counter::CommandStep> steps, std::array<QWidget *, 8> channelControls);

    Ui::TfrmCntrPreset *ui;
    GatewayLink &m_link;
    const AppSettings &m_settings;
    std::array<QCheckBox *, 8> m_check{};
    std::array<QSpinBox *, 8> m_value{};
    std::array<QComboBox *, 8> m_digits{};
    bool m_busy = false;
    Sequence m_sequence;
};
