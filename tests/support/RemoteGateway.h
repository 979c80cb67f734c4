#pragma once
// The simulated gateway of a relaymo-sim in another process, reached
// through its control channel (relaymo-sim --control, sim/SimControl.h):
// what the Windows tests under Wine use where the Linux tests hold a
// SimGateway in their own process. It answers the same questions by the
// same names; every call is one round trip on loopback.
#include "sim/SimTypes.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QTcpSocket;

class RemoteGateway {
public:
    // A terminal of the settings protocol as the simulator holds it.
    struct Terminal {
        bool silent = false;
        int frequency = 0;
        int voltage = 0;
        int type = 0;
        int clear = 0;
        QList<int> ranges;
    };

    // Connects to the control channel on 127.0.0.1 whose port the
    // environment variable RMTOOL_SIM_CONTROL holds, and starts a gateway
    // with these options there (qFatal when it cannot: the test has no
    // gateway to test against).
    explicit RemoteGateway(const SimOptions &options);
    ~RemoteGateway();

    quint16 port() const { return m_port; }

    quint16 inputRegister(int address) const;
    void setInputRegister(int address, quint16 value);
    quint16 holdingRegister(int address) const;
    void setHoldingRegister(int address, quint16 value);
    bool coil(int address) const;
    void setCoil(int address, bool on);
    bool discreteInput(int address) const;
    void setDiscreteInput(int address, bool on);

    void setTicking(bool on);

    QList<SimRequest> requests() const;
    void clearRequests();
    // "exception-at" or "exception-every", as SimOptions has them.
    void setOption(const QString &name, int value);

    std::optional<Terminal> terminalAt(int address) const;
    bool inSettingsMode(int address) const;

private:
    // The answer to one command, "ok" and its space taken off; qFatal on
    // an error answer or a lost channel.
    QString ask(const QString &command, QStringList *moreLines = nullptr) const;
    QString readLine() const;

    std::unique_ptr<QTcpSocket> m_socket;
    quint16 m_port = 0;
};
