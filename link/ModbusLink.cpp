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
    });
}

ModbusLink::~ModbusLink()
{
    m_socket.disconnect(this);
    stopTimeout();
    m_socket.abort();
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

uint64_t ModbusLink::send(const QByteArray &frame)
{
    if (!isOpen())
        return 0;
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
    armTimeout();
    emit frameSent(frame);
    emit requestSent(copy);
    return copy.serial;
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
    for (const modbus::Transaction &t : gone)
        emit requestTimedOut(t);
}

uint64_t ModbusLink::SendReadInputRegisters(uint8_t tag, uint32_t address, uint32_t count)
{
    LastRequestTag = tag;
    return send(modbus::readInputRegistersFrame(tag, address, count));
}

uint64_t ModbusLink::SendReadHoldingRegisters(uint8_t tag, uint32_t address, uint32_t count)
{
    LastRequestTag = tag;
    return send(modbus::readHoldingRegistersFrame(tag, address, count));
}

uint64_t ModbusLink::SendWriteSingleRegister(uint32_t address, uint32_t value)
{
    return send(modbus::writeSingleRegisterFrame(address, value));
}

uint64_t ModbusLink::SendWriteTwoRegisters(uint32_t address, uint32_t value)
{
    return send(modbus::writeTwoRegistersFrame(address, value));
}

uint64_t ModbusLink::SendWriteSingleCoil(uint32_t address, uint8_t state)
{
    return send(modbus::writeSingleCoilFrame(address, state));
}

void ModbusLink::setAnswerHandler(uint8_t tag, AnswerHandler handler)
{
    m_handlers[tag] = std::move(handler);
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
    // before it is dispatched: its handler may feed the assembler again.
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
        m_current = m_transactions.match(id, m_rb.functionCode(), m_rb.isException(), nowUs());
        armTimeout();
        emit answerReceived(answer, m_current);
        route();
        // The answer's own signal; a handler may have closed or reopened
        // the link meanwhile, the match stays what it was.
        const modbus::AnswerMatch m = m_current;
        switch (m.kind) {
        case modbus::AnswerKind::Matched: emit answerMatched(m.request, m.responseUs); break;
        case modbus::AnswerKind::Late: emit lateAnswer(m.request, m.responseUs); break;
        case modbus::AnswerKind::Unsolicited: emit unsolicitedAnswer(id, m_rb.functionCode()); break;
        }
        return;
    }
    m_current = {};
    route();
}

void ModbusLink::route()
{
    // The echo of a single-register write carries nothing for anybody and
    // keeps LastRequestTag as it is.
    if (m_rb.length > 7 && m_rb.functionCode() == modbus::WriteSingleRegister)
        return;
    if (m_rb.length > 7 && m_rb.isException()) {
        emit exceptionAnswer(m_rb.tag(), m_rb.functionCode() & 0x7F,
                             m_rb.length > 8 ? m_rb.exceptionCode() : 0);
    } else if (m_rb.length > 7) {
        if (const auto &handler = m_handlers[m_rb.tag()])
            handler(m_rb);
    }
    LastRequestTag = modbus::kNoAnswerAwaited;
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
    case ErrorKind::Disconnect: return QCoreApplication::translate("ModbusLink", "接続を閉じようとしたときにエラーが発生した");
    case ErrorKind::Accept: return QCoreApplication::translate("ModbusLink", "クライアント接続要求を受け付けようとしたときに問題が発生した");
    }
    return {};
}
