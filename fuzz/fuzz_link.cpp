// libFuzzer target: the whole program, offscreen, fed a gateway's byte
// stream through the link's read path.
//
// Input layout (see fuzz/README.md):
//   byte 0  monitor page (word, bit, D2 bit)
//   byte 1  data type item
//   byte 2  display format (decimal, hex, converted, characters)
//   byte 3  bit 0 word order swapped, bit 1 logging on, bit 2 auto-save on,
//           bits 3-5 auto-save interval - 1, bits 6-7 log value type / scale
//   byte 4  data area item (low nibble), bit data item (bit 4), RM2 (bit 5)
//   byte 5  word address (bits 0-5); bits 6-7 with byte 4 bits 6-7: the log
//           header mode, -2 to 5 as a settings file may hold any number
//   byte 6  terminal-settings page (low nibble), CRC check (bit 4),
//           terminal type of the word page (bits 5-7, times two)
//   byte 7  how the stream is cut: read events of 1 byte, up to 8, up to
//           64 or up to 300 bytes (bits 0-1) from a generator seeded by all
//           eight bytes
//   rest    the TCP byte stream from the gateway
#include "FuzzApp.h"
#include "app/App.h"
#include "monitor/MonitorSession.h"
#include "app/TfrmMain.h"
#include "link/AnswerItems.h"
#include "link/ModbusFrames.h"
#include "termset/TfrmWattorSet.h"
#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "tools/modinfo/TfrmModInfo.h"
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <cstddef>
#include <cstdint>

namespace {

constexpr size_t kHeader = 8;
// Longer streams add little but slow every input down.
constexpr size_t kMaxInput = 4096;

struct Controls {
    QTabWidget *page;
    QComboBox *dataType;
    QComboBox *dataArea;
    QComboBox *bitData;
    QComboBox *terminalType;
    QSpinBox *wordAddress;
    QRadioButton *rm1;
    QRadioButton *rm2;
    QCheckBox *autoSave;
    QLineEdit *saveInterval;
    QTabWidget *termsetPages;
    QCheckBox *termsetCrc;
};

Controls *g_controls = nullptr;
fuzz::App *g_app = nullptr;
// The program's session and the windows whose decoders the answers reach.
MonitorSession *g_session = nullptr;
TfrmMain *frmMain = nullptr;
TfrmModInfo *frmModInfo = nullptr;
TfrmGWcfg *frmGWcfg = nullptr;
TfrmWattorSet *frmWattorSet = nullptr;
TfrmCntrPreset *frmCntrPreset = nullptr;

void trigger(const char *action)
{
    fuzz::need<QAction>(frmMain, action)->trigger();
}

template <class T> T *find(QObject *parent, const char *name)
{
    return fuzz::need<T>(parent, name);
}

void pick(QComboBox *box, unsigned item)
{
    if (box->count() > 0)
        box->setCurrentIndex(int(item % unsigned(box->count())));
}

void setMonitorState(const uint8_t *h)
{
    Controls &c = *g_controls;
    c.page->setCurrentIndex(int(h[0] % unsigned(c.page->count())));
    pick(c.dataType, h[1]);
    const char *formats[] = {"ByDec", "ByHex", "ByRatio", "ASCII1"};
    trigger(formats[h[2] & 3]);
    trigger(h[3] & 1 ? "SWAP1" : "N7");
    pick(c.dataArea, h[4] & 0x0F);
    pick(c.bitData, (h[4] >> 4) & 1);
    ((h[4] & 0x20) ? c.rm2 : c.rm1)->setChecked(true);
    c.wordAddress->setValue(h[5] & 0x3F);
    pick(c.terminalType, unsigned(h[6] >> 5) * 2);

    AppSettings &settings = g_session->settings();
    settings.logValueType = (h[3] >> 6) & 1;
    settings.logScale = (h[3] >> 7) & 1;
    settings.logHeaderMode = int(((h[4] >> 6) << 2 | (h[5] >> 6)) % 8) - 2;

    c.termsetPages->setCurrentIndex(int((h[6] & 0x0F) % unsigned(c.termsetPages->count())));
    c.termsetCrc->setChecked(h[6] & 0x10);

    c.autoSave->setChecked(h[3] & 4);
    c.saveInterval->setText(QString::number(((h[3] >> 3) & 7) + 1));
    // Monitoring starts afresh with every input (count 0, the auto-saved
    // files from 0001; interval 0: nothing is polled), and so does logging
    // (counter 0, no rows) or it is off with no rows.
    QString error;
    g_session->stopMonitoring();
    g_session->startMonitoring(QStringLiteral("0"), &error);
    if (h[3] & 2) {
        frmMain->sbtnLogStartClick();
    } else {
        frmMain->sbtnLogStopClick();
        g_session->clearRows();
    }
}

// The stream answers no request of the program (nothing was sent), so no
// reply of a window ends with it: each whole answer is handed to the
// decoder that the reply of the window's own request of its tag hands it to.
void decodeAsItsRequester(const ReceiveBuffer &rb)
{
    if (rb.length <= 7 || rb.isException())
        return;
    switch (rb.tag()) {
    case 0: g_session->handleValuesAnswer(rb, {}); break;
    case 20: g_session->handleHeaderAnswer(rb, {}); break;
    case 1: frmModInfo->ShowModuleWords(rb); break;
    case 2: frmModInfo->ShowLoginMode(rb); break;
    case 3: frmModInfo->ShowRotarySwitch(rb); break;
    case 4: frmGWcfg->ShowGatewayClock(rb); break;
    case 5:
        forEachWordItem(rb, [](int index, uint16_t value) { frmWattorSet->ShowParameterWord(index, value); });
        break;
    case 10: case 11: case 12: case 13: case 14: frmCntrPreset->ShowReadBack(rb); break;
    default: break;
    }
}

// A small generator, so that the cuts follow from the input alone.
struct Cuts {
    uint32_t state;
    uint32_t limit;
    size_t next()
    {
        state = state * 1103515245u + 12345u;
        return 1 + (state >> 16) % limit;
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    g_app = new fuzz::App(argc, argv);
    ::App &program = g_app->program();
    g_session = &program.session();
    frmMain = program.mainWindow();
    frmModInfo = program.moduleInfo();
    frmGWcfg = program.settingsDialog();
    frmWattorSet = program.terminalSettings();
    frmCntrPreset = program.counterPreset();
    g_controls = new Controls{
        find<QTabWidget>(frmMain, "pcSlaveType"),
        find<QComboBox>(frmMain, "cbxDataType"),
        find<QComboBox>(frmMain, "DataAreaSelect"),
        find<QComboBox>(frmMain, "BitDataSelect"),
        find<QComboBox>(frmMain, "cbTerminalType"),
        find<QSpinBox>(frmMain, "seWordAdrs"),
        find<QRadioButton>(frmMain, "rbRM1"),
        find<QRadioButton>(frmMain, "rbRM2"),
        find<QCheckBox>(g_app->gwcfg(), "ChkAutoSave"),
        find<QLineEdit>(g_app->gwcfg(), "EdSaveInt"),
        find<QTabWidget>(g_app->termset(), "PageControl1"),
        find<QCheckBox>(g_app->termset(), "cbCRC"),
    };
    g_session->settings().logDir = g_app->logDir() + u'/';
    QObject::connect(&g_session->link(), &ModbusLink::answerReceived, frmMain,
                     [](const QByteArray &answer, const modbus::AnswerMatch &) {
                         ReceiveBuffer rb;
                         rb.assign(answer);
                         decodeAsItsRequester(rb);
                     });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < kHeader || size > kMaxInput)
        return -1;  // not added to the corpus
    setMonitorState(data);

    ModbusLink &link = g_session->link();
    link.resetStream();
    uint32_t seed = 0;
    for (size_t i = 0; i < kHeader; ++i)
        seed = seed * 31u + data[i];
    static constexpr uint32_t kLimits[4] = {1, 8, 64, 300};
    Cuts cuts{seed, kLimits[data[7] & 3]};

    size_t at = kHeader;
    while (at < size) {
        const size_t n = std::min(cuts.next(), size - at);
        link.receiveBytes(QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(n)));
        at += n;
    }

    // Reports the handlers deferred (message boxes of the auto-save) run now.
    QCoreApplication::processEvents();
    g_app->afterInput();
    return 0;
}
