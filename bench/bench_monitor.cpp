// The cost of handling one monitor answer of 64 registers: the pure
// decoding with its CSV row, per data type and display format, and the
// whole handler of the real main window (boxes, row display, counters),
// with and without the repaint that follows it.
#include "support/TestApp.h"
#include "app/Settings.h"
#include "app/TfrmMain.h"
#include "link/ReceiveBuffer.h"
#include "monitor/CsvRow.h"
#include "monitor/MonitorAnswer.h"
#include <QApplication>
#include <QComboBox>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A 64-register answer whose values differ with `seed`, so that no box
// keeps its text from one answer to the next.
ReceiveBuffer answer64(uint16_t seed)
{
    QByteArray a;
    a.append(char(0));
    a.append(char(1));
    a.append('\0');
    a.append('\0');
    a.append(char(0));
    a.append(char(3 + 128));
    a.append(char(1));
    a.append(char(4));
    a.append(char(128));
    for (int r = 0; r < 64; ++r) {
        // Plausible data for every type: small integers in the even
        // registers, the high words of reals around 1e2 in the odd ones.
        const uint16_t v = r % 2 ? uint16_t(0x42C0 + (seed + r) % 64) : uint16_t(seed * 7 + r * 311);
        a.append(char(v >> 8));
        a.append(char(v & 0xFF));
    }
    ReceiveBuffer rb;
    rb.assign(a);
    return rb;
}

const char *const kTypes[] = {"u16", "u32", "real", "u24", "s16"};
const char *const kFormats[] = {"dec", "hex", "conv", "chars"};

void BM_DecodeAnswer(benchmark::State &state)
{
    const int type = int(state.range(0));
    const int format = int(state.range(1));
    ConversionTable table;
    std::array<float, 32> factors;
    factors.fill(0.1f);
    monitor::MonitorState s;
    s.dataType = type;
    s.displayFormat = format;
    s.extendedArea = true;
    s.wordAddress = 12;
    s.table = &table;
    s.realFactor = &factors;
    const ReceiveBuffer a = answer64(1), b = answer64(2);
    bool flip = false;
    monitor::MonitorBoxes boxes;
    for (auto _ : state) {
        const ReceiveBuffer &rb = flip ? a : b;
        flip = !flip;
        QString row = monitor::csvRowPrefix(0, 0, QString(), QDateTime());
        boxes.clear();
        monitor::decodeMonitorAnswer(rb.bytes.data() + ReceiveBuffer::kDataStart, rb.byteCount(), s,
                                     boxes, row);
        benchmark::DoNotOptimize(row.size());
        benchmark::DoNotOptimize(boxes.valueMask);
    }
    state.SetLabel(std::string(kTypes[type]) + "/" + kFormats[format]);
}
BENCHMARK(BM_DecodeAnswer)->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1, 2, 3}});

// The row of the time-stamp header mode, the most expensive prefix.
void BM_RowPrefixTimeStamp(benchmark::State &state)
{
    for (auto _ : state) {
        QString p = monitor::csvRowPrefix(3, 1234, QString(), QDateTime::currentDateTime());
        benchmark::DoNotOptimize(p.size());
    }
}
BENCHMARK(BM_RowPrefixTimeStamp);

// The whole handler in the real window; with repaint, the window (shown on
// the offscreen platform) also paints what changed after each answer.
void BM_HandleMonitorAnswer(benchmark::State &state)
{
    const int area = int(state.range(0));
    const int format = int(state.range(1));
    const bool repaint = state.range(2) != 0;
    // The data type picked in cbxDataType (-1: the one the area comes with).
    const int dataType = state.range(3);
    QTemporaryDir dir;
    setSettingsFilePathOverride(dir.filePath(QStringLiteral("RMTool.ini")));
    createTestApp();
    frmMain->show();
    frmMain->findChild<QTabWidget *>(QStringLiteral("pcSlaveType"))->setCurrentIndex(0);
    frmMain->findChild<QComboBox *>(QStringLiteral("cbTerminalType"))->setCurrentIndex(3);
    frmMain->findChild<QSpinBox *>(QStringLiteral("seWordAdrs"))->setValue(12);
    frmMain->findChild<QComboBox *>(QStringLiteral("DataAreaSelect"))->setCurrentIndex(area);
    if (dataType >= 0)
        frmMain->findChild<QComboBox *>(QStringLiteral("cbxDataType"))->setCurrentIndex(dataType);
    const char *actions[] = {"ByDec", "ByHex", "ByRatio", "ASCII1"};
    frmMain->findChild<QAction *>(QLatin1String(actions[format]))->trigger();
    QCoreApplication::processEvents();
    const ReceiveBuffer a = answer64(1), b = answer64(2);
    bool flip = false;
    for (auto _ : state) {
        appSession->handleValuesAnswer(flip ? a : b, {});
        flip = !flip;
        if (repaint)
            QCoreApplication::processEvents();
    }
    const std::string what = dataType >= 0 ? std::string("extended ") + kTypes[dataType]
                                           : std::string(area == 1 ? "extended u16" : "reals");
    state.SetLabel(what + "/" + kFormats[format] + (repaint ? "/repaint" : ""));
    destroyTestApp();
    setSettingsFilePathOverride(QString());
}
// Every data type of the extended area in every display format, then the
// two areas' own types with the repaint.
BENCHMARK(BM_HandleMonitorAnswer)
    ->ArgsProduct({{1}, {0, 1, 2, 3}, {0}, {0, 1, 2, 3, 4}})
    ->ArgsProduct({{2}, {0, 1, 2, 3}, {0}, {-1}})
    ->Args({1, 0, 1, -1})
    ->Args({2, 0, 1, -1})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
