// The installations of the simulated gateway: the default one, and the one
// an installation file describes.
#include "monitor/MonitorLayout.h"
#include "monitor/SiteFile.h"
#include "sim/SimBitTerminals.h"
#include "sim/SimClock.h"
#include "sim/SimCounterTerminal.h"
#include "sim/SimGatewayCommands.h"
#include "sim/SimGateway.h"
#include "sim/SimModuleInfo.h"
#include "sim/SimSoftCounterResets.h"
#include "sim/SimTerminalSettings.h"
#include "sim/SimWordTerminals.h"
#include <array>

void installDefaultBehaviours(SimGateway &gw)
{
    gw.addBehaviour(std::make_unique<SimClock>());
    gw.addBehaviour(std::make_unique<SimModuleInfo>());
    // Live data of the word and bit terminals.
    gw.addBehaviour(std::make_unique<SimWordTerminals>());
    gw.addBehaviour(std::make_unique<SimBitTerminals>());
    // Gateway tools: counter commands of the counter terminals at 4 and 8,
    // soft counter resets, error reset, restart and sizing.
    gw.addBehaviour(std::make_unique<SimCounterTerminal>(4, SimCounterTerminal::ModeD));
    gw.addBehaviour(std::make_unique<SimCounterTerminal>(8, SimCounterTerminal::ModeB));
    gw.addBehaviour(std::make_unique<SimSoftCounterResets>());
    gw.addBehaviour(std::make_unique<SimGatewayCommands>());
    // Settings mode of the power, current and outlet-bar terminals: last, so
    // that a block in settings mode overwrites the live data of the tick.
    gw.addBehaviour(std::make_unique<SimTerminalSettings>());
}

QStringList installSiteBehaviours(SimGateway &gw, const site::Site &site)
{
    QStringList notes;
    QList<SimWordTerminals::Terminal> words;
    QList<SimTerminalSettings::Terminal> settings;
    std::vector<std::unique_ptr<SimCounterTerminal>> counters;
    // The terminal (position in the file, from 1) at each word address.
    std::array<int, site::kAddressCount> occupant{};
    for (qsizetype i = 0; i < site.terminals.size(); ++i) {
        const site::Terminal &t = site.terminals[i];
        const QString which = QStringLiteral("terminal %1 \"%2\" at word address %3 (type %4)")
                                  .arg(i + 1).arg(t.name).arg(t.address).arg(t.type);
        const QString zeros = QStringLiteral(": not simulated, its registers read 0");
        const int blocks = t.type == monitor::kOtherTerminal ? 0 : SimWordTerminals::blocksOf(t.type);
        if (blocks == 0) {
            notes << which + QStringLiteral(" is a kind of terminal the simulator does not know") + zeros;
            continue;
        }
        if (t.address + blocks > site::kAddressCount) {
            notes << which + QStringLiteral(" would reach past word address 63") + zeros;
            continue;
        }
        int taken = 0;
        for (int w = t.address; w < t.address + blocks && !taken; ++w)
            taken = occupant[size_t(w)];
        if (taken) {
            notes << which + QStringLiteral(" overlaps terminal %1").arg(taken) + zeros;
            continue;
        }
        for (int w = t.address; w < t.address + blocks; ++w)
            occupant[size_t(w)] = int(i) + 1;
        words << SimWordTerminals::Terminal{t.address, t.type, blocks};
        if (t.type == 1)
            counters.push_back(std::make_unique<SimCounterTerminal>(t.address, SimCounterTerminal::ModeD));
        else if (t.type == 2)
            counters.push_back(std::make_unique<SimCounterTerminal>(t.address, SimCounterTerminal::ModeB));
        if (const auto s = SimTerminalSettings::forMonitorType(t.type, t.address))
            settings << *s;
    }
    // As the default installation, without the bit terminals (the file
    // describes the word bus only).
    gw.addBehaviour(std::make_unique<SimClock>());
    gw.addBehaviour(std::make_unique<SimModuleInfo>());
    gw.addBehaviour(std::make_unique<SimWordTerminals>(words));
    for (auto &c : counters)
        gw.addBehaviour(std::move(c));
    gw.addBehaviour(std::make_unique<SimSoftCounterResets>());
    gw.addBehaviour(std::make_unique<SimGatewayCommands>());
    gw.addBehaviour(std::make_unique<SimTerminalSettings>(settings));
    return notes;
}

std::optional<quint16> loopbackGatewayPort(const QString &siteFile)
{
    if (siteFile.isEmpty())
        return std::nullopt;
    const std::optional<site::Site> site = site::read(siteFile, nullptr);
    if (!site || !site->gateway)
        return std::nullopt;
    const QString host = site->gateway->host.trimmed();
    if (host != QLatin1String("127.0.0.1") && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return quint16(site->gateway->port);
}

bool installBehaviours(SimGateway &gw, const QString &siteFile, QString *error, QStringList *notes)
{
    if (siteFile.isEmpty()) {
        installDefaultBehaviours(gw);
        return true;
    }
    const std::optional<site::Site> site = site::read(siteFile, error);
    if (!site)
        return false;
    const QStringList n = installSiteBehaviours(gw, *site);
    if (notes)
        *notes = n;
    return true;
}
