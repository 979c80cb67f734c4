#pragma once
// What a survey of an installation found: per terminal the statistics and
// verdict of each channel over its samples, the samples themselves (for the
// report's small trend pictures), the settings read from power, current and
// outlet-bar terminals; and the gateway's module information and clock.
// The survey fills it as it goes; the report is made from it.
#include "tools/modinfo/ModInfoText.h"
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace survey {

enum class Verdict {
    Ok,          // every sample within the expected range (or no range given)
    OutOfRange,  // a sample outside min..max
    NoAnswer,    // no sample came
};

struct ChannelResult {
    int channel = 0;            // value box position 0..31
    QString label;              // the monitor's label of the box
    QString unit;               // and its unit
    QString tag;                // from the installation file, may be empty
    std::optional<double> expectedMin, expectedMax;
    // Over the samples that came, in the numbers the monitor shows in
    // decimal format; unset when none came.
    std::optional<double> lowest, mean, highest;
    Verdict verdict = Verdict::NoAnswer;
};

// One setting as the terminal-settings dialog shows it.
struct SettingItem {
    QString name;   // the setting's caption
    QString value;  // the item text of its code (or the raw value shown)
};

struct TerminalSettings {
    QString pageName;       // the dialog page the terminal's settings are on
    bool read = false;      // the read transaction completed
    QString failure;        // its status text when it did not
    QList<SettingItem> items;
};

struct TerminalResult {
    int address = 0;            // word address 0..63
    int type = 0;               // the monitor's terminal type 0..12
    QString typeName;           // as cbTerminalType shows it
    QString name;               // from the installation file
    int samplesAsked = 0;
    int samplesReceived = 0;
    QList<ChannelResult> channels;
    // Per channel (same order as `channels`), the sampled numbers in order.
    QList<QList<double>> series;
    std::optional<TerminalSettings> settings;  // power, current, outlet-bar terminals
};

struct GatewayResult {
    QString host;
    int port = 0;
    bool moduleInfoRead = false;
    ModuleInfoFields moduleInfo;
    // The gateway's clock when it was read, and gateway minus PC in seconds.
    std::optional<QDateTime> clock;
    std::optional<qint64> clockDifferenceSeconds;
};

struct SurveyResult {
    QString siteName;
    QString siteFile;
    QDateTime started, finished;
    bool stopped = false;       // ended by 中止 (or the link) before the end
    int samplesPerTerminal = 0;
    int intervalMs = 0;
    GatewayResult gateway;
    QList<TerminalResult> terminals;
};

} // namespace survey
