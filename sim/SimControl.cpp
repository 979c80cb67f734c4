#include "sim/SimControl.h"
#include "sim/SimGateway.h"
#include "sim/SimTerminalSettings.h"
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

QString error(const QString &why) { return QStringLiteral("error ") + why; }

// The option a "start" argument or an "option" command names; false for
// an unknown name.
bool setOption(SimOptions &o, QStringView name, int value)
{
    if (name == u"delay")
        o.delayMs = value;
    else if (name == u"exception-at")
        o.exceptionAddress = value;
    else if (name == u"exception-every")
        o.exceptionEvery = value;
    else if (name == u"silent-after")
        o.silentAfter = value;
    else if (name == u"restart-on-command")
        o.restartOnCommand = value != 0;
    else
        return false;
    return true;
}

} // namespace

QString simControlAnswer(std::unique_ptr<SimGateway> &gateway, const QString &command)
{
    const QStringList w = command.split(u' ', Qt::SkipEmptyParts);
    if (w.isEmpty())
        return error(QStringLiteral("empty command"));
    const QString &verb = w[0];
    if (verb == u"start") {
        SimOptions o;
        for (const QString &arg : w.mid(1)) {
            const QStringList kv = arg.split(u'=');
            bool ok = false;
            const int v = kv.value(1).toInt(&ok);
            if (kv.size() != 2 || !ok || !setOption(o, kv[0], v))
                return error(QStringLiteral("bad option ") + arg);
        }
        gateway.reset();
        auto gw = std::make_unique<SimGateway>();
        installDefaultBehaviours(*gw);
        if (!gw->start(0, o))
            return error(QStringLiteral("cannot listen"));
        gateway = std::move(gw);
        return QStringLiteral("ok %1").arg(gateway->port());
    }
    if (!gateway)
        return error(QStringLiteral("no gateway: start first"));
    SimGateway &gw = *gateway;
    bool ok1 = true, ok2 = true;
    const int a = w.value(2).toInt(&ok1);
    if (verb == u"get" && w.size() == 3 && ok1) {
        const QString &t = w[1];
        if (t == u"ir")
            return QStringLiteral("ok %1").arg(gw.inputRegister(a));
        if (t == u"hr")
            return QStringLiteral("ok %1").arg(gw.holdingRegister(a));
        if (t == u"co")
            return QStringLiteral("ok %1").arg(int(gw.coil(a)));
        if (t == u"di")
            return QStringLiteral("ok %1").arg(int(gw.discreteInput(a)));
    }
    if (verb == u"set" && w.size() == 4 && ok1) {
        const int v = w[3].toInt(&ok2);
        const QString &t = w[1];
        if (ok2 && v >= 0 && v <= 0xFFFF) {
            if (t == u"ir")
                return gw.setInputRegister(a, quint16(v)), QStringLiteral("ok");
            if (t == u"hr")
                return gw.setHoldingRegister(a, quint16(v)), QStringLiteral("ok");
            if (t == u"co")
                return gw.setCoil(a, v != 0), QStringLiteral("ok");
            if (t == u"di")
                return gw.setDiscreteInput(a, v != 0), QStringLiteral("ok");
        }
    }
    if (verb == u"requests" && w.size() == 1) {
        QStringList lines{QStringLiteral("ok %1").arg(gw.requests().size())};
        for (const SimRequest &r : gw.requests())
            lines << r.text();
        return lines.join(u'\n');
    }
    if (verb == u"ticking" && w.size() == 2 && (w[1] == u"0" || w[1] == u"1"))
        return gw.setTicking(w[1] == u"1"), QStringLiteral("ok");
    if (verb == u"clear" && w.size() == 1)
        return gw.clearRequests(), QStringLiteral("ok");
    if (verb == u"option" && w.size() == 3 && ok1 && setOption(gw.options(), w[1], a))
        return QStringLiteral("ok");
    const int address = w.value(1).toInt(&ok1);
    auto *settings = gw.behaviour<SimTerminalSettings>();
    if (verb == u"terminal" && w.size() == 2 && ok1 && settings) {
        const SimTerminalSettings::Terminal *t = settings->terminalAt(address);
        if (!t)
            return QStringLiteral("ok none");
        QStringList ranges;
        for (int r : t->ranges)
            ranges << QString::number(r);
        return QStringLiteral("ok %1 %2 %3 %4 %5 %6")
            .arg(int(t->silent))
            .arg(t->frequency)
            .arg(t->voltage)
            .arg(t->type)
            .arg(t->clear)
            .arg(ranges.isEmpty() ? QStringLiteral("-") : ranges.join(u','));
    }
    if (verb == u"settings-mode" && w.size() == 2 && ok1 && settings)
        return QStringLiteral("ok %1").arg(int(settings->inSettingsMode(address)));
    return error(QStringLiteral("unknown command: ") + command);
}

struct SimControl::Session : QObject {
    std::unique_ptr<SimGateway> gateway;
};

SimControl::SimControl(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &SimControl::onConnection);
}

SimControl::~SimControl() = default;

bool SimControl::listen(quint16 port) { return m_server->listen(QHostAddress::LocalHost, port); }

quint16 SimControl::port() const { return m_server->serverPort(); }

void SimControl::onConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        // The session (and its gateway) lives as long as the connection.
        auto *session = new Session;
        session->setParent(socket);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [socket, session] {
            while (socket->canReadLine()) {
                const QString line = QString::fromUtf8(socket->readLine()).trimmed();
                socket->write(simControlAnswer(session->gateway, line).toUtf8() + '\n');
            }
        });
    }
}
