#include "sim/SimGateway.h"
#include "link/FrameAssembler.h"
#include <QModbusPdu>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QUrl>
#include <deque>

// The Modbus server proper; it only adds the injected exception answers.
class SimServer : public QModbusTcpServer {
public:
    explicit SimServer(SimGateway *gw) : QModbusTcpServer(gw), m_gw(gw) {}

protected:
    QModbusResponse processRequest(const QModbusPdu &request) override
    {
        const int fc = request.functionCode();
        const int at = m_gw->m_options.exceptionAddress;
        if (at >= 0 && (fc == QModbusPdu::ReadHoldingRegisters || fc == QModbusPdu::ReadInputRegisters)
            && request.dataSize() >= 4) {
            const QByteArray d = request.data();
            const int address = quint8(d[0]) << 8 | quint8(d[1]);
            const int count = quint8(d[2]) << 8 | quint8(d[3]);
            if (at >= address && at < address + count)
                return QModbusExceptionResponse(request.functionCode(),
                                                QModbusExceptionResponse::IllegalDataAddress);
        }
        return QModbusTcpServer::processRequest(request);
    }

private:
    SimGateway *m_gw;
};

namespace {

// One client connection through the proxy: requests go to the server as
// they are, answers come back with the configured impairments.
class ProxyConnection : public QObject {
public:
    ProxyConnection(SimGateway *gw, QTcpSocket *client, quint16 serverPort,
                    std::function<void(QByteArray &)> trace)
        : QObject(client), m_gw(gw), m_client(client), m_trace(std::move(trace))
    {
        m_upstream = new QTcpSocket(this);
        m_client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_upstream->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_sendTimer.setSingleShot(true);
        m_flushTimer.setSingleShot(true);
        connect(&m_sendTimer, &QTimer::timeout, this, [this] { sendDue(); });
        connect(&m_flushTimer, &QTimer::timeout, this, [this] { flushCoalesced(); });
        connect(m_upstream, &QTcpSocket::connected, this, [this] { forwardRequests(); });
        connect(m_client, &QTcpSocket::readyRead, this, [this] {
            m_fromClient.append(m_client->readAll());
            forwardRequests();
        });
        connect(m_upstream, &QTcpSocket::readyRead, this, [this] { answersArrived(); });
        connect(m_client, &QTcpSocket::disconnected, this, [this] {
            m_upstream->abort();
            m_client->deleteLater();
        });
        connect(m_upstream, &QTcpSocket::disconnected, this, [this] {
            if (m_client->state() == QAbstractSocket::ConnectedState)
                m_client->disconnectFromHost();
        });
        m_upstream->connectToHost(QHostAddress::LocalHost, serverPort);
    }

private:
    void forwardRequests()
    {
        if (m_upstream->state() != QAbstractSocket::ConnectedState)
            return;
        // Only whole requests go on, so that each is traced once.
        QByteArray whole;
        while (m_fromClient.size() >= 6) {
            const int len = quint8(m_fromClient[4]) << 8 | quint8(m_fromClient[5]);
            if (m_fromClient.size() < 6 + len)
                break;
            QByteArray one = m_fromClient.left(6 + len);
            m_fromClient.remove(0, 6 + len);
            m_trace(one);
            whole += one;
        }
        if (!whole.isEmpty())
            m_upstream->write(whole);
    }

    void answersArrived()
    {
        m_assembler.receiveData(m_upstream->readAll());
        const SimOptions &o = m_gw->options();
        while (auto answer = m_assembler.nextAnswer()) {
            if (o.coalesce > 1) {
                m_coalesced += *answer;
                if (++m_coalescedCount >= o.coalesce)
                    flushCoalesced();
                else
                    m_flushTimer.start(50);
            } else {
                schedule(*answer);
            }
        }
    }

    void flushCoalesced()
    {
        m_flushTimer.stop();
        if (m_coalesced.isEmpty())
            return;
        schedule(m_coalesced);
        m_coalesced.clear();
        m_coalescedCount = 0;
    }

    void schedule(const QByteArray &bytes)
    {
        const SimOptions &o = m_gw->options();
        qint64 due = m_gw->nowMs() + o.delayMs;
        if (o.split && bytes.size() > 1) {
            const int half = int(bytes.size() / 2);
            m_out.push_back({due, bytes.left(half)});
            m_out.push_back({due + 5, bytes.mid(half)});
        } else {
            m_out.push_back({due, bytes});
        }
        sendDue();
    }

    void sendDue()
    {
        const qint64 now = m_gw->nowMs();
        while (!m_out.empty() && m_out.front().due <= now) {
            m_client->write(m_out.front().bytes);
            m_client->flush();
            m_out.pop_front();
        }
        if (!m_out.empty())
            m_sendTimer.start(int(std::max<qint64>(1, m_out.front().due - now)));
    }

    struct Chunk {
        qint64 due;
        QByteArray bytes;
    };

    SimGateway *m_gw;
    QTcpSocket *m_client;
    QTcpSocket *m_upstream = nullptr;
    std::function<void(QByteArray &)> m_trace;
    QByteArray m_fromClient;
    FrameAssembler m_assembler;
    QByteArray m_coalesced;
    int m_coalescedCount = 0;
    std::deque<Chunk> m_out;
    QTimer m_sendTimer;
    QTimer m_flushTimer;
};

} // namespace

QString SimRequest::text() const
{
    QString s = QStringLiteral("REQ tag=%1 fn=%2 addr=%3").arg(tag).arg(function).arg(address);
    switch (function) {
    case 3:
    case 4:
        s += QStringLiteral(" count=%1").arg(count);
        break;
    case 5:
    case 6:
        s += QStringLiteral(" value=%1").arg(value);
        break;
    case 16: {
        QStringList v;
        for (quint16 x : values)
            v << QString::number(x);
        s += QStringLiteral(" count=%1 values=%2").arg(count).arg(v.join(u','));
        break;
    }
    default:
        break;
    }
    return s;
}

SimGateway::SimGateway(QObject *parent) : QObject(parent)
{
    m_clock.start();
    m_server = new SimServer(this);
    QModbusDataUnitMap map;
    map.insert(QModbusDataUnit::Coils, {QModbusDataUnit::Coils, 0, kMapSize});
    map.insert(QModbusDataUnit::DiscreteInputs, {QModbusDataUnit::DiscreteInputs, 0, kMapSize});
    map.insert(QModbusDataUnit::InputRegisters, {QModbusDataUnit::InputRegisters, 0, kMapSize});
    map.insert(QModbusDataUnit::HoldingRegisters, {QModbusDataUnit::HoldingRegisters, 0, kMapSize});
    m_server->setMap(map);
    m_server->setServerAddress(1);
    connect(m_server, &QModbusServer::dataWritten, this, &SimGateway::onDataWritten);
    connect(&m_tick, &QTimer::timeout, this, &SimGateway::tickNow);
}

SimGateway::~SimGateway() = default;

bool SimGateway::start(quint16 port, const SimOptions &options)
{
    m_options = options;
    // The server itself listens on a private loopback port of its own.
    m_server->setConnectionParameter(QModbusDevice::NetworkAddressParameter, QStringLiteral("127.0.0.1"));
    m_server->setConnectionParameter(QModbusDevice::NetworkPortParameter, 0);
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return false;
    const quint16 inner = probe.serverPort();
    probe.close();
    m_server->setConnectionParameter(QModbusDevice::NetworkPortParameter, inner);
    if (!m_server->connectDevice())
        return false;
    m_proxy = new QTcpServer(this);
    if (!m_proxy->listen(QHostAddress::LocalHost, port))
        return false;
    connect(m_proxy, &QTcpServer::newConnection, this, &SimGateway::onClientConnected);
    m_innerPort = inner;
    tickNow();
    m_tick.start(kTickMs);
    return true;
}

quint16 SimGateway::port() const
{
    return m_proxy ? m_proxy->serverPort() : 0;
}

void SimGateway::onClientConnected()
{
    while (QTcpSocket *client = m_proxy->nextPendingConnection()) {
        new ProxyConnection(this, client, m_innerPort, [this](QByteArray &frame) {
            traceRequests(frame);
        });
    }
}

void SimGateway::traceRequests(QByteArray &f)
{
    if (f.size() < 8)
        return;
    auto u8 = [&](int i) { return i < f.size() ? int(quint8(f[i])) : 0; };
    auto u16 = [&](int i) { return u8(i) << 8 | u8(i + 1); };
    SimRequest r;
    r.tag = u8(0);
    r.function = u8(7);
    r.address = u16(8);
    switch (r.function) {
    case 3:
    case 4:
        r.count = u16(10);
        break;
    case 5:
    case 6:
        r.value = u16(10);
        break;
    case 16:
        r.count = u16(10);
        for (int i = 0; i < r.count && 13 + 2 * i + 1 < f.size(); ++i)
            r.values << quint16(u16(13 + 2 * i));
        break;
    default:
        break;
    }
    m_requests << r;
    if (m_options.trace) {
        QTextStream out(stdout);
        out << r.text() << Qt::endl;
    }
    emit requestReceived(r);
}

void SimGateway::setValue(QModbusDataUnit::RegisterType table, int address, quint16 v)
{
    m_internalWrite = true;
    m_server->setData(table, quint16(address), v);
    m_internalWrite = false;
}

quint16 SimGateway::value(QModbusDataUnit::RegisterType table, int address) const
{
    quint16 v = 0;
    m_server->data(table, quint16(address), &v);
    return v;
}

quint16 SimGateway::inputRegister(int a) const { return value(QModbusDataUnit::InputRegisters, a); }
void SimGateway::setInputRegister(int a, quint16 v) { setValue(QModbusDataUnit::InputRegisters, a, v); }
quint16 SimGateway::holdingRegister(int a) const { return value(QModbusDataUnit::HoldingRegisters, a); }
void SimGateway::setHoldingRegister(int a, quint16 v) { setValue(QModbusDataUnit::HoldingRegisters, a, v); }
bool SimGateway::coil(int a) const { return value(QModbusDataUnit::Coils, a) != 0; }
void SimGateway::setCoil(int a, bool on) { setValue(QModbusDataUnit::Coils, a, on ? 1 : 0); }
bool SimGateway::discreteInput(int a) const { return value(QModbusDataUnit::DiscreteInputs, a) != 0; }
void SimGateway::setDiscreteInput(int a, bool on) { setValue(QModbusDataUnit::DiscreteInputs, a, on ? 1 : 0); }

void SimGateway::addBehaviour(std::unique_ptr<SimBehaviour> behaviour)
{
    behaviour->attach(*this);
    m_behaviours.push_back(std::move(behaviour));
}

void SimGateway::tickNow()
{
    const qint64 now = nowMs();
    for (auto &b : m_behaviours)
        b->tick(*this, now);
}

void SimGateway::onDataWritten(QModbusDataUnit::RegisterType table, int address, int size)
{
    if (m_internalWrite)
        return;
    for (int a = address; a < address + size; ++a) {
        const quint16 v = value(table, a);
        for (auto &b : m_behaviours)
            b->onWrite(*this, table, a, v);
    }
}
