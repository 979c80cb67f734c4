#pragma once
// relaymo-sim: a Relaymo gateway on loopback.
//
// A QModbusTcpServer (unit 1) holds the register map; clients reach it
// through a small proxy on 127.0.0.1 that traces every request and can
// impair the answers the way a real network does: delay them, split each
// into two TCP segments, or coalesce several into one. The server can also
// answer reads that cover a chosen address with an exception. For fault
// tests the proxy can further drop the connection or fall silent after a
// number of requests, replace answers by random bytes or by exceptions,
// answer as another unit, add a random delay, and restart on command.
#include "sim/SimBehaviour.h"
#include "sim/SimTypes.h"
#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QModbusTcpServer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <optional>
#include <random>
#include <vector>

class QTcpServer;
class QTcpSocket;


// One answer as the simulator sent it to a client.
struct SimAnswer {
    enum Kind { Normal, Exception, Garbage };
    int tag = 0;          // of the request it answers
    int function = 0;     // of the request
    Kind kind = Normal;   // Exception: the server's or an injected one
    QByteArray bytes;     // exactly what went on the wire
    int delayMs = 0;      // held back this long (--delay plus --jitter)
    // The register words of a normal read answer (empty otherwise).
    QList<quint16> words() const;
};


class SimServer;

class SimGateway : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 100;
    static constexpr int kMapSize = 65535;
    static constexpr int kRestartRegister = 1203;  // holding; 1 restarts

    explicit SimGateway(QObject *parent = nullptr);
    ~SimGateway() override;

    // Listens on 127.0.0.1:port (0: any free port). False when it cannot.
    bool start(quint16 port, const SimOptions &options = {});
    quint16 port() const;
    SimOptions &options() { return m_options; }

    quint16 inputRegister(int address) const;
    void setInputRegister(int address, quint16 value);
    quint16 holdingRegister(int address) const;
    void setHoldingRegister(int address, quint16 value);
    bool coil(int address) const;
    void setCoil(int address, bool on);
    bool discreteInput(int address) const;
    void setDiscreteInput(int address, bool on);

    void addBehaviour(std::unique_ptr<SimBehaviour> behaviour);
    template <class T> T *behaviour() const
    {
        for (const auto &b : m_behaviours)
            if (auto *t = dynamic_cast<T *>(b.get()))
                return t;
        return nullptr;
    }

    // Every request received so far (tests read it; clearRequests empties it).
    const QList<SimRequest> &requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }
    qint64 nowMs() const { return m_clock.elapsed(); }
    qint64 nowUs() const { return m_clock.nsecsElapsed() / 1000; }
    // Runs one tick at once (tests use it to avoid waiting).
    void tickNow();
    // Stops the live data moving (off) or lets it move again (on), so that
    // a test can read many registers of one moment.
    void setTicking(bool on);

    // Every answer sent so far, in the order sent (clearRequests keeps it).
    const QList<SimAnswer> &answers() const { return m_answers; }
    void clearAnswers() { m_answers.clear(); }
    quint32 seed() const { return m_options.seed; }
    // Connections closed by --drop-after and restarts taken.
    int drops() const { return m_drops; }
    int restarts() const { return m_restarts; }
    bool isListening() const;

signals:
    void requestReceived(const SimRequest &request);
    void answerSent(const SimAnswer &answer);
    void listeningAgain();

private:
    friend class SimServer;
    friend class SimProxyConnection;
    void onDataWritten(QModbusDataUnit::RegisterType table, int address, int size);
    void onClientConnected();
    void traceRequests(QByteArray &pending);
    void traceLine(const QString &line);
    void recordAnswer(const SimAnswer &answer);
    void restartListener();
    // The fate of the next request and the next answer (counted over every
    // connection, so that a run is the same whatever the reconnects).
    bool nextRequestGetsException();
    bool nextAnswerIsGarbage();
    QByteArray randomBytes(int n);
    int randomDelayMs();
    void setValue(QModbusDataUnit::RegisterType table, int address, quint16 value);
    quint16 value(QModbusDataUnit::RegisterType table, int address) const;

    SimServer *m_server = nullptr;
    QTcpServer *m_proxy = nullptr;
    SimOptions m_options;
    std::vector<std::unique_ptr<SimBehaviour>> m_behaviours;
    QList<SimRequest> m_requests;
    QTimer m_tick;
    QElapsedTimer m_clock;
    bool m_internalWrite = false;
    quint16 m_innerPort = 0;
    QList<SimAnswer> m_answers;
    quint64 m_requestCount = 0;
    quint64 m_answerCount = 0;
    int m_drops = 0;
    int m_restarts = 0;
    quint16 m_listenPort = 0;
    std::mt19937 m_random;
};

// The default installation of terminals, the clock and the module
// information (sim/SimInstallation.cpp).
void installDefaultBehaviours(SimGateway &gateway);

namespace site { struct Site; }
// The installation an installation file describes: its word terminals at
// their addresses and nothing (zeros) at every other word address, no bit
// terminals, with the clock, the module information, the soft-counter
// resets and the gateway commands of the default installation. Each
// terminal moves as the default installation's terminal of its type does
// and obeys the same counter and settings-mode commands. Returns one line
// for every terminal it serves as zeros: type 12 (other: the file does not
// say what it is), one that would reach past word address 63, and one that
// overlaps a terminal listed before it.
QStringList installSiteBehaviours(SimGateway &gateway, const site::Site &site);
// The installation of siteFile, or the default one when it is empty. False
// with *error (naming the file and the problem) when the file is refused;
// *notes receives installSiteBehaviours' lines.
bool installBehaviours(SimGateway &gateway, const QString &siteFile, QString *error, QStringList *notes);
// The port an installation file's gateway has when that gateway is this
// machine (127.0.0.1 or localhost): the simulator listens there unless told
// another port, so that the file reaches it as it stands. None otherwise.
std::optional<quint16> loopbackGatewayPort(const QString &siteFile);
