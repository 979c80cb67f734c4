// libFuzzer target: the files the program reads, read the way the program
// reads them and then used the way the program uses what they hold.
//
// Every input is written to a file and read twice: as the settings file
// (AppSettings::load, which goes through IniFile) and as a conversion table
// (ConversionTable::loadFile). The settings' log numbers then build the CSV
// header row, a row prefix and the columns of a monitor answer; the table's
// gains and offsets convert a monitor answer at every word address.
#include "FuzzScratch.h"
#include "app/IniFile.h"
#include "app/Settings.h"
#include "monitor/ConversionTable.h"
#include "monitor/CsvLog.h"
#include "monitor/CsvRow.h"
#include "monitor/MonitorAnswer.h"
#include "monitor/ValueDecoding.h"
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

QTemporaryDir *g_dir = nullptr;
QString g_path;

// Register values at the edges of every data type: zero, the largest and
// the smallest signed numbers, all ones, a NaN and an infinity as reals.
constexpr uint8_t kAnswerData[64] = {
    0x00, 0x00, 0xFF, 0xFF, 0x7F, 0xFF, 0x80, 0x00, 0x7F, 0xC0, 0x00, 0x00, 0x7F, 0x80, 0x00, 0x00,
    0xFF, 0x80, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x4B, 0x00, 0x00, 0x01, 0xCF, 0x00, 0x00, 0x00,
    0x12, 0x34, 0x56, 0x78, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01, 0x80, 0x00, 0x00, 0x00,
    0x7F, 0x7F, 0xFF, 0xFF, 0x00, 0x7F, 0xFF, 0xFF, 0x41, 0x20, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00,
};

void decode(monitor::MonitorState &s, int bytes = int(sizeof kAnswerData))
{
    monitor::MonitorBoxes boxes;
    QString row;
    monitor::decodeMonitorAnswer(kAnswerData, bytes, s, boxes, row);
}

// True when an entry of value boxes at word address w differs from the
// default {c, 0.1, 0}: only those addresses convert differently.
bool changedAt(const ConversionTable &table, int w)
{
    for (int p = 0; p < 32; ++p) {
        const ConversionEntry e = monitor::conversionFor(table, w, p);
        if (e.number != 8 * w + p + 1 || !(e.gain == 0.1f) || !(e.offset == 0.0f))
            return true;
    }
    return false;
}

void useSettings(const AppSettings &settings)
{
    CsvHeaderRow(settings.logHeaderMode, 30001, 64);
    CsvHeaderCaption(settings.logHeaderMode);
    monitor::csvRowPrefix(settings.logHeaderMode, 12345, QStringLiteral("0:00:01.2"),
                          QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 600)));
    static const std::array<float, 32> factors = [] {
        std::array<float, 32> f{};
        f.fill(0.1f);
        return f;
    }();
    monitor::MonitorState s;
    s.logValueType = settings.logValueType;
    s.logScale = settings.logScale;
    s.swapped = settings.wordOrderSwap != 0;
    s.realFactor = &factors;
    for (int type = 0; type < 6; ++type) {
        s.dataType = type;
        decode(s, 16);  // the log columns of eight registers
    }
    // The file names of the auto-save under the folder of the file.
    CsvFileName(settings.logDir, QStringLiteral("RUN"), 1, 4);
}

void useTable(const ConversionTable &table)
{
    static const std::array<float, 32> factors = [] {
        std::array<float, 32> f{};
        f.fill(0.1f);
        return f;
    }();
    monitor::MonitorState s;
    s.displayFormat = monitor::Converted;
    s.table = &table;
    s.realFactor = &factors;
    for (int w = 0; w < 64; ++w) {
        if (!changedAt(table, w))
            continue;
        s.wordAddress = w;
        s.dataType = w % 6;  // each data type on every sixth address
        s.extendedArea = (w / 6) % 2 != 0;
        decode(s);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    g_dir = new QTemporaryDir(fuzz::scratchTemplate());
    if (!g_dir->isValid())
        qFatal("fuzz: no temporary folder");
    g_path = g_dir->filePath(QStringLiteral("input.ini"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 65536)
        return -1;
    {
        QFile f(g_path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            qFatal("fuzz: cannot write %s", qPrintable(g_path));
    }
    useSettings(AppSettings::load(g_path));

    // Keys the program does not know, read through the same lookup.
    IniFile ini(g_path);
    ini.load();
    ini.readString(QString(), QString(), QStringLiteral("-"));
    ini.readString(QStringLiteral("LOG"), QStringLiteral(""), QString());
    ini.writeString(QStringLiteral("LOG"), QStringLiteral("header"), QStringLiteral("1"));
    ini.writeString(QStringLiteral("NEW"), QStringLiteral("key"), QStringLiteral("v"));
    ini.readString(QStringLiteral("new"), QStringLiteral("KEY"), QString());

    ConversionTable table;
    table.loadFile(g_path);
    useTable(table);
    return 0;
}
