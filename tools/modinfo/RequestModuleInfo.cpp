// The module-information sequence of the main window.
#include "app/Forms.h"
#include "app/MessageBoxes.h"
#include "app/TfrmMain.h"
#include "link/ModbusFrames.h"
#include "link/Waits.h"
#include "tools/modinfo/TfrmModInfo.h"
#include "ui_TfrmModInfo.h"
#include <QPointer>
#include <QTimer>

namespace {

// How long each read may take before the sequence gives up.
constexpr int kAnswerTimeoutMs = 3000;

struct ModuleInfoRead {
    uint8_t tag;
    uint32_t address;
    uint32_t count;
};

// MAC, versions and switches; login mode; rotary switch and transmission mode.
constexpr ModuleInfoRead kReads[] = {{1, 296, 16}, {2, 182, 1}, {3, 253, 1}};

bool g_running = false;

} // namespace

void TfrmMain::RequestModuleInfo()
{
    // "更新" pressed while the reads run (the waits keep the window alive).
    if (g_running)
        return;
    g_running = true;
    QPointer<TfrmModInfo> dialog = frmModInfo;
    if (dialog)
        dialog->ui->Button1->setEnabled(false);

    bool answered = true;
    for (const ModuleInfoRead &r : kReads) {
        // Each read goes out after the answer to the one before: the monitor's
        // answers, which keep coming meanwhile, never end the wait.
        const uint64_t serial = ClientSocket1->SendReadInputRegisters(r.tag, r.address, r.count);
        if (!WaitForAnswer(*ClientSocket1, serial, kAnswerTimeoutMs)) {
            answered = false;
            // No answer is awaited any more.
            LastRequestTag() = modbus::kNoAnswerAwaited;
            break;
        }
    }

    if (dialog)
        dialog->ui->Button1->setEnabled(true);
    g_running = false;

    if (!answered) {
        // Told after the dialog is on screen with what did arrive.
        QTimer::singleShot(0, this, [this] {
            msg::warning(frmModInfo ? static_cast<QWidget *>(frmModInfo) : this,
                         QStringLiteral("リレイモから応答がありません。モジュール情報の一部を読み込めませんでした。"));
        });
    }
}
