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

// One client connection through the proxy: requests go to the server as
// they are, answers come back with the configured impairments.
class SimProxyConnection : public QObject {
public:
    SimProxyConnection(SimGateway *gw, QTcpSocket *client, quint16 serverPort)
        : QObject(client), m_gw(gw), m_client(client)
    {
        m_upstream = new QTcpSocket(this);
        m_client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_upstream->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_sendTimer.setSingleShot(true);
        // A coarse timer may fire a little early: an answer held back 50 ms
        // must not reach the tool after 49.
        m_sendTimer.setTimerType(Qt::PreciseTimer);
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
    // What becomes of one request taken on: answered by the server, or
    // answered here with an exception (kept in line with the others, so
    // answers leave in the order of their requests).
    struct Fate {
        int tag = 0;
        int function = 0;
        QByteArray localAnswer;  // empty: the server answers
    };

    void forwardRequests()
    {
        if (m_upstream->state() != QAbstractSocket::ConnectedState)
            return;
        const SimOptions &o = m_gw->options();
        // Only whole requests go on, so that each is traced once.
        QByteArray whole;
        while (m_fromClient.size() >= 6) {
            const int len = quint8(m_fromClient[4]) << 8 | quint8(m_fromClient[5]);
            if (m_fromClient.size() < 6 + len)
                break;
            QByteArray one = m_fromClient.left(6 + len);
            m_fromClient.remove(0, 6 + len);
            m_gw->traceRequests(one);
            ++m_taken;
            const int tag = quint8(one[0]);
            if (o.dropAfter > 0 && m_taken > o.dropAfter)
                continue;  // the connection is about to close
            if (o.silentAfter > 0 && m_taken > o.silentAfter) {
                m_gw->traceLine(QStringLiteral("SILENT tag=%1").arg(tag));
                continue;
            }
            Fate f;
            f.tag = tag;
            f.function = one.size() > 7 ? quint8(one[7]) : 0;
            if (m_gw->nextRequestGetsException()) {
                f.localAnswer = one.left(7);
                f.localAnswer[4] = 0;
                f.localAnswer[5] = 3;
                f.localAnswer += char(f.function | 0x80);
                f.localAnswer += char(SimOptions::kInjectedException);
                m_fates.push_back(f);
                continue;  // the server never sees it: nothing is written
            }
            m_fates.push_back(f);
            whole += one;
        }
        if (!whole.isEmpty())
            m_upstream->write(whole);
        answerLocal();
    }

    void answersArrived()
    {
        m_assembler.receiveData(m_upstream->readAll());
        while (auto answer = m_assembler.nextAnswer()) {
            answerLocal();
            Fate f;
            if (!m_fates.empty()) {
                f = m_fates.front();
                m_fates.pop_front();
            }
            pass(f, *answer);
            answerLocal();
        }
    }

    // Answers the exceptions that are next in line.
    void answerLocal()
    {
        while (!m_fates.empty() && !m_fates.front().localAnswer.isEmpty()) {
            const Fate f = m_fates.front();
            m_fates.pop_front();
            m_gw->traceLine(QStringLiteral("EXCEPTION tag=%1 fn=%2 code=%3")
                                .arg(f.tag).arg(f.function).arg(SimOptions::kInjectedException));
            pass(f, f.localAnswer);
        }
    }

    // One answer on its way out: garbled or relabelled as configured,
    // recorded, then coalesced or scheduled.
    void pass(const Fate &f, QByteArray bytes)
    {
        const SimOptions &o = m_gw->options();
        SimAnswer a;
        a.tag = f.tag;
        a.function = f.function;
        a.kind = bytes.size() > 7 && (quint8(bytes[7]) & 0x80) ? SimAnswer::Exception : SimAnswer::Normal;
        if (m_gw->nextAnswerIsGarbage()) {
            bytes = m_gw->randomBytes(int(bytes.size()));
            a.kind = SimAnswer::Garbage;
            m_gw->traceLine(QStringLiteral("GARBAGE tag=%1 bytes=%2").arg(f.tag).arg(bytes.size()));
        } else if (o.wrongUnit && bytes.size() > 6) {
            bytes[6] = char(quint8(bytes[6]) + 1);
            m_gw->traceLine(QStringLiteral("UNIT tag=%1 unit=%2").arg(f.tag).arg(quint8(bytes[6])));
        }
        a.bytes = bytes;
        a.delayMs = o.delayMs;
        if (o.jitterMs > 0) {
            a.delayMs += m_gw->randomDelayMs();
            m_gw->traceLine(QStringLiteral("DELAY tag=%1 ms=%2").arg(f.tag).arg(a.delayMs));
        }
        m_gw->recordAnswer(a);
        ++m_answered;
        if (o.dropAfter > 0 && m_answered >= o.dropAfter)
            m_closeWhenSent = true;
        if (o.coalesce > 1) {
            m_coalesced += bytes;
            if (++m_coalescedCount >= o.coalesce || m_closeWhenSent)
                flushCoalesced();
            else
                m_flushTimer.start(50);
        } else {
            schedule(bytes, a.delayMs);
        }
    }

    void flushCoalesced()
    {
        m_flushTimer.stop();
        if (m_coalesced.isEmpty())
            return;
        schedule(m_coalesced, m_gw->options().delayMs);
        m_coalesced.clear();
        m_coalescedCount = 0;
    }

    void schedule(const QByteArray &bytes, int delayMs)
    {
        const SimOptions &o = m_gw->options();
        // Microseconds: a due time on whole milliseconds would send an answer
        // that came in at 1000.9 ms with a 50 ms delay at 1050.0, 49.1 ms later.
        qint64 due = m_gw->nowUs() + qint64(delayMs) * 1000;
        // Answers leave in order: one held back holds back those behind it.
        due = std::max(due, m_lastDue);
        m_lastDue = due;
        if (o.split && bytes.size() > 1) {
            const int half = int(bytes.size() / 2);
            m_out.push_back({due, bytes.left(half)});
            m_out.push_back({due + 5000, bytes.mid(half)});
        } else {
            m_out.push_back({due, bytes});
        }
        sendDue();
    }

    void sendDue()
    {
        const qint64 now = m_gw->nowUs();
        while (!m_out.empty() && m_out.front().due <= now) {
            m_client->write(m_out.front().bytes);
            m_client->flush();
            m_out.pop_front();
        }
        if (!m_out.empty()) {
            m_sendTimer.start(int(std::max<qint64>(1, (m_out.front().due - now + 999) / 1000)));
        } else if (m_closeWhenSent && m_client->state() == QAbstractSocket::ConnectedState) {
            m_gw->traceLine(QStringLiteral("DROP after %1 requests").arg(m_gw->options().dropAfter));
            ++m_gw->m_drops;
            m_client->disconnectFromHost();
        }
    }

    struct Chunk {
        qint64 due; // microseconds on the gateway's clock
        QByteArray bytes;
    };

    SimGateway *m_gw;
    QTcpSocket *m_client;
    QTcpSocket *m_upstream = nullptr;
    QByteArray m_fromClient;
    FrameAssembler m_assembler;
    std::deque<Fate> m_fates;
    int m_taken = 0;     // requests received on this connection
    int m_answered = 0;  // answers sent on it
    bool m_closeWhenSent = false;
    QByteArray m_coalesced;
    int m_coalescedCount = 0;
    std::deque<Chunk> m_out;
    qint64 m_lastDue = 0;
    QTimer m_sendTimer;
    QTimer m_flushTimer;
};

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

QList<quint16> SimAnswer::words() const
{
    QList<quint16> w;
    if (kind != Normal || bytes.size() < 9 || (function != 3 && function != 4))
        return w;
    const int n = std::min<int>(quint8(bytes[8]), int(bytes.size()) - 9) / 2;
    for (int i = 0; i < n; ++i)
        w << quint16(quint8(bytes[9 + 2 * i]) << 8 | quint8(bytes[10 + 2 * i]));
    return w;
}

bool SimGateway::start(quint16 port, const SimOptions &options)
{
    m_options = options;
    if (m_options.seed == 0)
        m_options.seed = std::random_device{}() | 1u;
    m_random.seed(m_options.seed);
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
    m_listenPort = m_proxy->serverPort();
    m_innerPort = inner;
    tickNow();
    m_tick.start(kTickMs);
    return true;
}

quint16 SimGateway::port() const
{
    return m_listenPort;
}

bool SimGateway::isListening() const
{
    return m_proxy && m_proxy->isListening();
}

void SimGateway::traceLine(const QString &line)
{
    if (m_options.trace) {
        QTextStream out(stdout);
        out << line << Qt::endl;
    }
}

void SimGateway::recordAnswer(const SimAnswer &answer)
{
    m_answers << answer;
    emit answerSent(answer);
}

bool SimGateway::nextRequestGetsException()
{
    const int n = m_options.exceptionEvery;
    return n > 0 && ++m_requestCount % quint64(n) == 0;
}

bool SimGateway::nextAnswerIsGarbage()
{
    const int n = m_options.garbageEvery;
    return n > 0 && ++m_answerCount % quint64(n) == 0;
}

QByteArray SimGateway::randomBytes(int n)
{
    QByteArray b(n, Qt::Uninitialized);
    std::uniform_int_distribution<int> byte(0, 255);
    for (char &c : b)
        c = char(byte(m_random));
    return b;
}

int SimGateway::randomDelayMs()
{
    return std::uniform_int_distribution<int>(0, std::max(0, m_options.jitterMs))(m_random);
}

void SimGateway::restartListener()
{
    ++m_restarts;
    traceLine(QStringLiteral("RESTART closing every connection, listening again in %1 ms")
                  .arg(SimOptions::kRestartMs));
    m_proxy->close();
    for (QTcpSocket *client : m_proxy->findChildren<QTcpSocket *>(Qt::FindDirectChildrenOnly))
        client->abort();
    QTimer::singleShot(SimOptions::kRestartMs, this, [this] {
        if (!m_proxy->listen(QHostAddress::LocalHost, m_listenPort)) {
            traceLine(QStringLiteral("RESTART cannot listen on 127.0.0.1:%1 again").arg(m_listenPort));
            return;
        }
        traceLine(QStringLiteral("LISTENING again on 127.0.0.1:%1").arg(m_listenPort));
        emit listeningAgain();
    });
}

void SimGateway::onClientConnected()
{
    while (QTcpSocket *client = m_proxy->nextPendingConnection()) {
        new SimProxyConnection(this, client, m_innerPort);
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
    traceLine(r.text());
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

void SimGateway::setTicking(bool on)
{
    if (!on)
        m_tick.stop();
    else if (!m_tick.isActive())
        m_tick.start(kTickMs);
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
        // The restart command: the echo still goes out before the restart.
        if (m_options.restartOnCommand && table == QModbusDataUnit::HoldingRegisters && a == kRestartRegister
            && v == 1)
            QTimer::singleShot(100, this, &SimGateway::restartListener);
        for (auto &b : m_behaviours)
            b->onWrite(*this, table, a, v);
    }
}
