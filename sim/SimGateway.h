#pragma once
// relaymo-sim: a Relaymo gateway on loopback.
//
// A QModbusTcpServer (unit 1) holds the register map; clients reach it
// through a small proxy on 127.0.0.1 that traces every request and can
// impair the answers the way a real network does: delay them, split each
// into two TCP segments, or coalesce several into one. The server can also
// answer reads that cover a chosen address with an exception.
#include "sim/SimBehaviour.h"
#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QModbusTcpServer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <vector>

class QTcpServer;
class QTcpSocket;

struct SimOptions {
    int delayMs = 0;          // every answer held back this long
    bool split = false;       // every answer sent as two TCP segments
    int coalesce = 0;         // answers sent together in groups of this many
    int exceptionAddress = -1;  // reads (function 3 or 4) covering it get exception 2
    bool trace = false;       // print one line per request on stdout
};

// One request as the simulator received it.
struct SimRequest {
    int tag = 0;          // high byte of the transaction identifier
    int function = 0;
    int address = 0;
    int count = 0;        // reads and function 16
    int value = 0;        // functions 5 and 6
    QList<quint16> values;  // function 16
    QString text() const;
};

class SimServer;

class SimGateway : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 100;
    static constexpr int kMapSize = 65535;

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
    // Runs one tick at once (tests use it to avoid waiting).
    void tickNow();

signals:
    void requestReceived(const SimRequest &request);

private:
    friend class SimServer;
    void onDataWritten(QModbusDataUnit::RegisterType table, int address, int size);
    void onClientConnected();
    void traceRequests(QByteArray &pending);
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
};

// The default installation of terminals, the clock and the module
// information (sim/SimInstallation.cpp).
void installDefaultBehaviours(SimGateway &gateway);
