#include "support/RemoteGateway.h"
#include <QHostAddress>
#include <QTcpSocket>

namespace {
constexpr int kAnswerMs = 10000;
}

RemoteGateway::RemoteGateway(const SimOptions &options) : m_socket(std::make_unique<QTcpSocket>())
{
    if (!options.siteFile.isEmpty() || options.split || options.coalesce || options.dropAfter
        || options.garbageEvery || options.wrongUnit || options.jitterMs)
        qFatal("the remote simulator takes only delay, exception-at, exception-every, silent-after and "
               "restart-on-command");
    bool ok = false;
    const quint16 control = quint16(qEnvironmentVariable("RMTOOL_SIM_CONTROL").toUInt(&ok));
    if (!ok || control == 0)
        qFatal("RMTOOL_SIM_CONTROL does not name the port of a relaymo-sim --control");
    m_socket->connectToHost(QHostAddress::LocalHost, control);
    if (!m_socket->waitForConnected(kAnswerMs))
        qFatal("no relaymo-sim control channel on 127.0.0.1:%u", unsigned(control));
    const QString answer = ask(QStringLiteral("start delay=%1 exception-at=%2 exception-every=%3 "
                                              "silent-after=%4 restart-on-command=%5")
                                   .arg(options.delayMs)
                                   .arg(options.exceptionAddress)
                                   .arg(options.exceptionEvery)
                                   .arg(options.silentAfter)
                                   .arg(options.restartOnCommand ? 1 : 0));
    m_port = quint16(answer.toUInt());
}

RemoteGateway::~RemoteGateway() = default;

QString RemoteGateway::readLine() const
{
    while (!m_socket->canReadLine())
        if (!m_socket->waitForReadyRead(kAnswerMs))
            qFatal("the relaymo-sim control channel did not answer");
    return QString::fromUtf8(m_socket->readLine()).trimmed();
}

QString RemoteGateway::ask(const QString &command, QStringList *moreLines) const
{
    m_socket->write(command.toUtf8() + '\n');
    const QString line = readLine();
    if (line != u"ok" && !line.startsWith(u"ok "))
        qFatal("relaymo-sim control: \"%s\" answered \"%s\"", qPrintable(command), qPrintable(line));
    const QString rest = line.mid(3);
    if (moreLines)
        for (int n = rest.toInt(); n > 0; --n)
            *moreLines << readLine();
    return rest;
}

quint16 RemoteGateway::inputRegister(int a) const { return quint16(ask(QStringLiteral("get ir %1").arg(a)).toUInt()); }
quint16 RemoteGateway::holdingRegister(int a) const { return quint16(ask(QStringLiteral("get hr %1").arg(a)).toUInt()); }
bool RemoteGateway::coil(int a) const { return ask(QStringLiteral("get co %1").arg(a)) == u"1"; }
bool RemoteGateway::discreteInput(int a) const { return ask(QStringLiteral("get di %1").arg(a)) == u"1"; }
void RemoteGateway::setInputRegister(int a, quint16 v) { ask(QStringLiteral("set ir %1 %2").arg(a).arg(v)); }
void RemoteGateway::setHoldingRegister(int a, quint16 v) { ask(QStringLiteral("set hr %1 %2").arg(a).arg(v)); }
void RemoteGateway::setCoil(int a, bool on) { ask(QStringLiteral("set co %1 %2").arg(a).arg(int(on))); }
void RemoteGateway::setDiscreteInput(int a, bool on) { ask(QStringLiteral("set di %1 %2").arg(a).arg(int(on))); }

QList<SimRequest> RemoteGateway::requests() const
{
    QStringList lines;
    ask(QStringLiteral("requests"), &lines);
    QList<SimRequest> list;
    for (const QString &line : std::as_const(lines)) {
        const std::optional<SimRequest> r = SimRequest::fromText(line);
        if (!r)
            qFatal("relaymo-sim control: not a request: \"%s\"", qPrintable(line));
        list << *r;
    }
    return list;
}

void RemoteGateway::setTicking(bool on) { ask(QStringLiteral("ticking %1").arg(int(on))); }

void RemoteGateway::clearRequests() { ask(QStringLiteral("clear")); }

void RemoteGateway::setOption(const QString &name, int value) { ask(QStringLiteral("option %1 %2").arg(name).arg(value)); }

std::optional<RemoteGateway::Terminal> RemoteGateway::terminalAt(int address) const
{
    const QStringList f = ask(QStringLiteral("terminal %1").arg(address)).split(u' ');
    if (f.size() != 6)
        return std::nullopt;
    Terminal t;
    t.silent = f[0] == u"1";
    t.frequency = f[1].toInt();
    t.voltage = f[2].toInt();
    t.type = f[3].toInt();
    t.clear = f[4].toInt();
    if (f[5] != u"-")
        for (const QString &r : f[5].split(u','))
            t.ranges << r.toInt();
    return t;
}

bool RemoteGateway::inSettingsMode(int address) const
{
    return ask(QStringLiteral("settings-mode %1").arg(address)) == u"1";
}
