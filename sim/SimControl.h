#pragma once
// The simulator driven from another process: a line protocol on 127.0.0.1
// through which a test that cannot hold the simulator in its own process
// (the Windows tests, under Wine) does what the in-process tests do with a
// SimGateway. Every control connection has a simulated gateway of its own,
// started by its first command and gone when the connection closes, so
// test programs that run side by side do not meet.
//
// One command per line, one answer line per command ("ok ..." or
// "error <why>"); "requests" answers "ok <n>" and then n lines of
// SimRequest::text().
//   start [delay=<ms>] [exception-at=<address>] [exception-every=<n>]
//         [silent-after=<n>] [restart-on-command=0|1]
//                                  a fresh gateway on a free port: ok <port>
//   get ir|hr|co|di <address>      ok <value>
//   set ir|hr|co|di <address> <v>  ok
//   requests | clear               the requests received so far / forget them
//   ticking 0|1                    the live data stands still / moves again
//   option exception-at|exception-every|silent-after|restart-on-command <n>
//   terminal <address>             settings terminal: ok <silent> <frequency>
//                                  <voltage> <type> <clear> <ranges,...> | ok none
//   settings-mode <address>        ok 0|1
#include <QObject>
#include <QString>
#include <memory>

class QTcpServer;

class SimControl : public QObject {
    Q_OBJECT
public:
    explicit SimControl(QObject *parent = nullptr);
    ~SimControl() override;
    // Listens on 127.0.0.1:port (0: any free port).
    bool listen(quint16 port);
    quint16 port() const;

private:
    struct Session;
    void onConnection();

    QTcpServer *m_server = nullptr;
};

class SimGateway;
// The answer line to one command (without the line end) for a session
// whose gateway is *gateway (made by "start").
QString simControlAnswer(std::unique_ptr<SimGateway> &gateway, const QString &command);
