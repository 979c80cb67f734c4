#include "link/ModbusLink.h"
#include <QCoreApplication>
#include "link/ModbusFrames.h"
#include <algorithm>
#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/socket.h>
#endif

ModbusLink::ModbusLink(QObject *parent) : QObject(parent)
{
    m_clock.start();
    m_timeoutTimer.setSingleShot(true);
    connect(&m_timeoutTimer, &QTimer::timeout, this, &ModbusLink::expireRequests);
    connect(&m_socket, &QTcpSocket::readyRead, this, &ModbusLink::ClientSockRead);
    connect(&m_socket, &QTcpSocket::stateChanged, this, &ModbusLink::onStateChanged);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &ModbusLink::onError);
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        m_phase = Phase::Idle;
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        emit connected();
    });
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        m_phase = Phase::Idle;
        m_assembler.clear();
        m_transactions.clear();
        stopTimeout();
        emit disconnected();
        loseInFlight();
    });
}

ModbusLink::~ModbusLink()
{
    m_socket.disconnect(this);
    stopTimeout();
    m_socket.abort();
    // The replies in flight are dropped untold: their listeners may be gone.
    for (auto &[serial, reply] : m_replies)
        reply->disconnect();
    m_replies.clear();
}

void ModbusLink::loseInFlight()
{
    // Taken out first: a listener may send (and so enter) new requests.
    auto lost = std::exchange(m_replies, {});
    std::vector<Reply> inOrder;
    inOrder.reserve(lost.size());
    for (auto &[serial, reply] : lost)
        inOrder.push_back(reply);
    std::sort(inOrder.begin(), inOrder.end(), [](const Reply &a, const Reply &b) { return a->serial() < b->serial(); });
    for (const Reply &r : inOrder)
        r->finishLost();
}

bool ModbusLink::setHost(const QString &host, QString *error)
{
    if (host != m_host && m_socket.state() != QAbstractSocket::UnconnectedState) {
        if (error)
            *error = QCoreApplication::translate("ModbusLink", "使用中のソケットは値を変更できません");
        return false;
    }
    m_host = host;
    return true;
}

bool ModbusLink::setPort(int port, QString *error)
{
    if (port != m_port && m_socket.state() != QAbstractSocket::UnconnectedState) {
        if (error)
            *error = QCoreApplication::translate("ModbusLink", "使用中のソケットは値を変更できません");
        return false;
    }
    m_port = port;
    return true;
}

void ModbusLink::open()
{
    emit openRequested();
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.abort();
    m_assembler.clear();
    m_transactions.clear();
    m_unsent.clear();
    stopTimeout();
    loseInFlight();
    m_connectingReported = false;
    m_phase = Phase::Connecting;
    m_socket.connectToHost(m_host, quint16(m_port));
}

void ModbusLink::close()
{
    emit closeRequested();
    if (m_socket.state() == QAbstractSocket::UnconnectedState)
        return;
    writeOut();  // a batch's requests leave before the connection closes
    m_socket.disconnectFromHost();
}

bool ModbusLink::isOpen() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

Reply ModbusLink::send(const QByteArray &frame)
{
    if (!isOpen()) {
        auto never = std::make_shared<LinkReply>(0, uint8_t(frame[0]));
        never->finishLost();
        return never;
    }
    m_unsent.append(frame);
    if (m_batchDepth == 0)
        writeOut();
    // Every frame the builders make has the full header and PDU start.
    auto byte = [&frame](int i) { return uint8_t(frame[i]); };
    modbus::Transaction t;
    t.tag = byte(0);
    t.transactionId = uint16_t(byte(0) << 8 | byte(1));
    t.function = byte(7);
    t.address = uint16_t(byte(8) << 8 | byte(9));
    const bool counted = t.function == modbus::ReadHoldingRegisters
                         || t.function == modbus::ReadInputRegisters
                         || t.function == modbus::WriteMultipleRegisters;
    t.count = counted ? uint16_t(byte(10) << 8 | byte(11)) : 1;
    const modbus::Transaction &entered = m_transactions.add(t, nowUs(), int64_t(m_timeoutMs) * 1000);
    const modbus::Transaction copy = entered;
    auto reply = std::make_shared<LinkReply>(copy.serial, copy.tag);
    m_replies.emplace(copy.serial, reply);
    armTimeout();
    emit frameSent(frame);
    emit requestSent(copy);
    return reply;
}

void ModbusLink::writeOut()
{
    if (m_unsent.isEmpty())
        return;
    if (!isOpen()) {
        m_unsent.clear();
        return;
    }
    m_phase = Phase::Sending;
    qsizetype done = 0;
#ifdef Q_OS_UNIX
    // Straight to the socket while Qt holds nothing back for it: the
    // requests go out in one system call, and the socket's write notifier
    // is not switched on and off again for them (each switch wakes the
    // event loop once more). What the kernel does not take now is left to
    // the socket, which sends it after anything it already holds.
    const qintptr fd = m_socket.socketDescriptor();
    if (fd >= 0 && m_socket.bytesToWrite() == 0) {
        while (done < m_unsent.size()) {
            const ssize_t n = ::send(int(fd), m_unsent.constData() + done, size_t(m_unsent.size() - done),
                                     MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0)
                done += n;
            else if (n == 0 || errno != EINTR)
                break;
        }
    }
#endif
    if (done < m_unsent.size()) {
        m_socket.write(m_unsent.constData() + done, m_unsent.size() - done);
        // Out at once rather than from the write notifier on a later pass
        // of the event loop.
        m_socket.flush();
    }
    m_unsent.clear();
    m_phase = Phase::Idle;
}

void ModbusLink::setResponseTimeout(int ms)
{
    m_timeoutMs = ms < 1 ? 1 : ms;
}

void ModbusLink::armTimeout()
{
    // Called after every request and answer. An answer that removes the
    // earliest deadline leaves the timer as it is: when it fires, it finds
    // nothing due and is armed for the next deadline (or stops), which
    // costs one wake-up per response timeout instead of a restart per
    // request and per answer.
    const auto deadline = m_transactions.nextDeadlineUs();
    if (!deadline || (m_armedDeadlineUs && *m_armedDeadlineUs <= *deadline))
        return;
    // Rounded up, so that the timer never fires before the deadline.
    const int64_t waitUs = std::max<int64_t>(*deadline - nowUs(), 0);
    m_armedDeadlineUs = deadline;
    m_timeoutTimer.start(int((waitUs + 999) / 1000));
}

void ModbusLink::stopTimeout()
{
    m_timeoutTimer.stop();
    m_armedDeadlineUs.reset();
}

void ModbusLink::expireRequests()
{
    // The timer fired: armed for nothing until armTimeout() says otherwise.
    m_armedDeadlineUs.reset();
    const auto gone = m_transactions.expire(nowUs());
    armTimeout();
    for (const modbus::Transaction &t : gone) {
        emit requestTimedOut(t);
        if (auto it = m_replies.find(t.serial); it != m_replies.end()) {
            const Reply reply = std::move(it->second);
            m_replies.erase(it);
            reply->finishTimedOut();
        }
    }
}

Reply ModbusLink::SendReadInputRegisters(uint8_t tag, uint32_t address, uint32_t count)
{
    return send(modbus::readInputRegistersFrame(tag, address, count));
}

Reply ModbusLink::SendReadHoldingRegisters(uint8_t tag, uint32_t address, uint32_t count)
{
    return send(modbus::readHoldingRegistersFrame(tag, address, count));
}

Reply ModbusLink::SendWriteSingleRegister(uint32_t address, uint32_t value)
{
    return send(modbus::writeSingleRegisterFrame(address, value));
}

Reply ModbusLink::SendWriteTwoRegisters(uint32_t address, uint32_t value)
{
    return send(modbus::writeTwoRegistersFrame(address, value));
}

Reply ModbusLink::SendWriteSingleCoil(uint32_t address, uint8_t state)
{
    return send(modbus::writeSingleCoilFrame(address, state));
}

void ModbusLink::ClientSockRead()
{
    // Everything that has arrived, in one read into a buffer that keeps its
    // memory. The socket does not signal again while this runs: bytes that
    // arrived while a handler ran the event loop are taken in the next pass.
    for (;;) {
        m_phase = Phase::Receiving;
        const qint64 available = m_socket.bytesAvailable();
        qint64 n = 0;
        if (available > 0) {
            m_readBuffer.resize(qsizetype(available));
            n = m_socket.read(m_readBuffer.data(), available);
        }
        m_phase = Phase::Idle;
        if (n <= 0)
            return;  // nothing arrived: never decode the previous answer again
        receiveBytes(QByteArrayView(m_readBuffer.constData(), qsizetype(n)));
    }
}

int ModbusLink::receiveBytes(QByteArrayView bytes)
{
    emit bytesRead(int(bytes.size()));
    m_assembler.receiveData(bytes);
    int n = 0;
    // Each answer is copied out of the assembler (receive buffer, signal)
    // before it is dispatched: its reply's listeners may feed the assembler
    // again.
    while (auto answer = m_assembler.nextAnswerView()) {
        dispatch(*answer);
        ++n;
    }
    if (m_assembler.takeStreamLost())
        emit streamLost();
    return n;
}

void ModbusLink::dispatch(QByteArrayView view)
{
    m_rb.assign(view);
    if (m_rb.length > 7) {
        const QByteArray answer = view.toByteArray();
        const uint16_t id = uint16_t(m_rb.bytes[0] << 8 | m_rb.bytes[1]);
        m_current = m_transactions.match(id, m_rb.functionCode(), nowUs());
        armTimeout();
        emit answerReceived(answer, m_current);
        if (m_rb.isException())
            emit exceptionAnswer(m_rb.tag(), m_rb.functionCode() & 0x7F, m_rb.length > 8 ? m_rb.exceptionCode() : 0);
        // The answer's own signal, before anything its reply's listeners send.
        const modbus::AnswerMatch m = m_current;
        const ReceiveBuffer rb = m_rb;  // a listener may send, and a new answer refill m_rb
        switch (m.kind) {
        case modbus::AnswerKind::Matched: emit answerMatched(m.request, m.responseUs); break;
        case modbus::AnswerKind::Late: emit lateAnswer(m.request, m.responseUs); break;
        case modbus::AnswerKind::Unsolicited: emit unsolicitedAnswer(id, rb.functionCode()); break;
        }
        // The answer ends its own request's reply, found by the serial the
        // transaction table matched; late and unsolicited answers have none.
        if (m.kind == modbus::AnswerKind::Matched) {
            if (auto it = m_replies.find(m.request.serial); it != m_replies.end()) {
                const Reply reply = std::move(it->second);
                m_replies.erase(it);
                reply->finishAnswered(rb, m);
            }
        }
        return;
    }
    // Too short to name a request: it reaches nobody.
    m_current = {};
}

void ModbusLink::onStateChanged(QAbstractSocket::SocketState state)
{
    if ((state == QAbstractSocket::HostLookupState || state == QAbstractSocket::ConnectingState)
        && !m_connectingReported) {
        m_connectingReported = true;
        emit connecting();
    }
}

void ModbusLink::onError(QAbstractSocket::SocketError error)
{
    // The gateway closing the connection is a disconnect, not an error.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    ErrorKind kind = ErrorKind::General;
    switch (m_phase) {
    case Phase::Connecting: kind = ErrorKind::Connect; break;
    case Phase::Sending: kind = ErrorKind::Send; break;
    case Phase::Receiving: kind = ErrorKind::Receive; break;
    case Phase::Idle: kind = ErrorKind::General; break;
    }
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        m_phase = Phase::Idle;
    emit socketError(kind);
}

QString ModbusLink::errorText(ErrorKind kind)
{
    switch (kind) {
    case ErrorKind::General: return QCoreApplication::translate("ModbusLink", "接続エラー");
    case ErrorKind::Send: return QCoreApplication::translate("ModbusLink", "ソケット接続に書き込もうとしたときにエラーが発生した");
    case ErrorKind::Receive: return QCoreApplication::translate("ModbusLink", "ソケット接続から読み出そうとしたときにエラーが発生した");
    case ErrorKind::Connect: return QCoreApplication::translate("ModbusLink", "以前に受け付けられた接続要求が完了できなかった");
    }
    return {};
}
