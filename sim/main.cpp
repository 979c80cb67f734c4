// relaymo-sim: a Relaymo gateway simulator on 127.0.0.1.
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
    QCommandLineOption port(QStringLiteral("port"), QStringLiteral("TCP port on 127.0.0.1 (0: any free port)."),
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
    p.addOptions({port, trace, delay, split, coalesce, exceptionAt});
    p.process(app);

    SimOptions o;
    o.trace = p.isSet(trace);
    o.delayMs = p.value(delay).toInt();
    o.split = p.isSet(split);
    o.coalesce = p.value(coalesce).toInt();
    o.exceptionAddress = p.value(exceptionAt).toInt();

    SimGateway gw;
    installDefaultBehaviours(gw);
    QTextStream out(stdout);
    if (!gw.start(quint16(p.value(port).toUInt()), o)) {
        QTextStream(stderr) << "relaymo-sim: cannot listen on 127.0.0.1:" << p.value(port) << Qt::endl;
        return 1;
    }
    out << "relaymo-sim listening on 127.0.0.1:" << gw.port() << Qt::endl;
    return app.exec();
}
