// relaymo-sim: a Relaymo gateway simulator on 127.0.0.1.
#include "sim/SimControl.h"
#include "sim/SimGateway.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("relaymo-sim"));
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Relaymo gateway simulator (Modbus/TCP on 127.0.0.1)"));
    p.addHelpOption();
    QCommandLineOption port(QStringLiteral("port"),
                            QStringLiteral("TCP port on 127.0.0.1 (0: any free port; without this option the "
                                           "installation file's gateway port when that gateway is 127.0.0.1, "
                                           "else any free port)."),
                            QStringLiteral("port"), QStringLiteral("0"));
    QCommandLineOption trace(QStringLiteral("trace"), QStringLiteral("Print one line per request received."));
    QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Hold every answer back this many ms."),
                             QStringLiteral("ms"), QStringLiteral("0"));
    QCommandLineOption split(QStringLiteral("split"), QStringLiteral("Send every answer as two TCP segments."));
    QCommandLineOption coalesce(QStringLiteral("coalesce"),
                                QStringLiteral("Send answers together in groups of n."),
                                QStringLiteral("n"), QStringLiteral("0"));
    QCommandLineOption exceptionAt(QStringLiteral("exception-at"),
                                   QStringLiteral("Answer reads covering this protocol address with exception 2."),
                                   QStringLiteral("address"), QStringLiteral("-1"));
    QCommandLineOption dropAfter(QStringLiteral("drop-after"),
                                 QStringLiteral("Close each connection once n requests are answered."),
                                 QStringLiteral("n"), QStringLiteral("0"));
    QCommandLineOption silentAfter(QStringLiteral("silent-after"),
                                   QStringLiteral("Answer n requests on each connection, then none (it stays open)."),
                                   QStringLiteral("n"), QStringLiteral("0"));
    QCommandLineOption garbageEvery(QStringLiteral("garbage-every"),
                                    QStringLiteral("Replace every nth answer by random bytes of its length."),
                                    QStringLiteral("n"), QStringLiteral("0"));
    QCommandLineOption wrongUnit(QStringLiteral("wrong-unit"),
                                 QStringLiteral("Answer with the unit identifier of the request plus 1."));
    QCommandLineOption jitter(QStringLiteral("jitter"),
                              QStringLiteral("Hold every answer back a further random 0..ms (order kept)."),
                              QStringLiteral("ms"), QStringLiteral("0"));
    QCommandLineOption exceptionEvery(QStringLiteral("exception-every"),
                                      QStringLiteral("Answer every nth request with exception 6 (busy)."),
                                      QStringLiteral("n"), QStringLiteral("0"));
    QCommandLineOption restartOnCommand(
        QStringLiteral("restart-on-command"),
        QStringLiteral("On holding 1203 := 1 close every connection, stop listening for 2 s, listen again."));
    QCommandLineOption seed(QStringLiteral("seed"),
                            QStringLiteral("Seed of the random bytes and delays (0: chosen, and printed)."),
                            QStringLiteral("n"), QStringLiteral("0"));
    QCommandLineOption site(QStringLiteral("site"),
                            QStringLiteral("Serve the installation of this file (*.rmsite) instead of the default one: "
                                           "its word terminals at their addresses, zeros elsewhere."),
                            QStringLiteral("file"));
    QCommandLineOption control(
        QStringLiteral("control"),
        QStringLiteral("Serve no gateway of its own: listen on this port of 127.0.0.1 (0: any free port) for test "
                       "programs in another process, each of which starts and drives a gateway of its own there."),
        QStringLiteral("port"));
    p.addOptions({control, port, trace, delay, split, coalesce, exceptionAt, dropAfter, silentAfter, garbageEvery, wrongUnit,
                  jitter, exceptionEvery, restartOnCommand, seed, site});
    p.process(app);

    QTextStream out(stdout);
    if (p.isSet(control)) {
        auto *server = new SimControl(&app);
        if (!server->listen(quint16(p.value(control).toUInt()))) {
            QTextStream(stderr) << "relaymo-sim: cannot listen on 127.0.0.1:" << p.value(control) << Qt::endl;
            return 1;
        }
        out << "relaymo-sim control on 127.0.0.1:" << server->port() << Qt::endl;
        return app.exec();
    }

    SimOptions o;
    o.trace = p.isSet(trace);
    o.delayMs = p.value(delay).toInt();
    o.split = p.isSet(split);
    o.coalesce = p.value(coalesce).toInt();
    o.exceptionAddress = p.value(exceptionAt).toInt();
    o.dropAfter = p.value(dropAfter).toInt();
    o.silentAfter = p.value(silentAfter).toInt();
    o.garbageEvery = p.value(garbageEvery).toInt();
    o.wrongUnit = p.isSet(wrongUnit);
    o.jitterMs = p.value(jitter).toInt();
    o.exceptionEvery = p.value(exceptionEvery).toInt();
    o.restartOnCommand = p.isSet(restartOnCommand);
    o.seed = p.value(seed).toUInt();
    o.siteFile = p.value(site);

    SimGateway gw;
    QString error;
    QStringList notes;
    if (!installBehaviours(gw, o.siteFile, &error, &notes)) {
        QTextStream(stderr) << "relaymo-sim: " << error << Qt::endl;
        return 1;
    }
    for (const QString &note : std::as_const(notes))
        QTextStream(stderr) << "relaymo-sim: " << note << Qt::endl;
    quint16 listenPort = quint16(p.value(port).toUInt());
    if (!p.isSet(port))
        listenPort = loopbackGatewayPort(o.siteFile).value_or(listenPort);
    if (!gw.start(listenPort, o)) {
        QTextStream(stderr) << "relaymo-sim: cannot listen on 127.0.0.1:" << listenPort << Qt::endl;
        return 1;
    }
    out << "relaymo-sim listening on 127.0.0.1:" << gw.port() << Qt::endl;
    // Random impairments can be repeated with --seed and this number.
    if (gw.options().random())
        out << "relaymo-sim seed " << gw.seed() << Qt::endl;
    return app.exec();
}
