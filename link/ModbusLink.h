#pragma once
// The tool's single Modbus/TCP connection to the gateway.
//
// Owns the non-blocking client socket, the five request builders and the
// program's ReceiveBuffer. Every request returns its reply (link/LinkReply.h),
// and every whole answer goes to the reply of the request it answers.
//
// It is the one place that knows what is in flight: every request sent is
// entered in its transaction table with the time it left; each answer is
// matched to its request (response time) and ends that request's reply; a
// request not answered within the response timeout is reported once as timed
// out and its reply ends so; the connection's loss (close, drop, a new open)
// ends the replies of every request in flight. Answers to timed-out requests
// (late) or to nothing (unsolicited) are reported by their signals and reach
// no reply. On the wire each request still carries its request tag in the
// high byte of the transaction identifier.
#include "link/FrameAssembler.h"
#include "link/LinkReply.h"
#include "link/ReceiveBuffer.h"
#include "link/Transactions.h"
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <unordered_map>

class ModbusLink : public QObject {
    Q_OBJECT
public:
    // Error kinds of the socket layer, as the status bar reports them.
    enum class ErrorKind { General, Send, Receive, Connect };
    Q_ENUM(ErrorKind)

    explicit ModbusLink(QObject *parent = nullptr);
    // Closes the socket without reporting anything: the socket is destroyed
    // after the link's other members, and whoever listens to the link may be
    // half destroyed already (the main window owns the link).
    ~ModbusLink() override;

    // Host and port take effect at the next open. While the connection is
    // open a different host or port is refused: returns false and sets *error.
    bool setHost(const QString &host, QString *error = nullptr);
    bool setPort(int port, QString *error = nullptr);
    QString host() const { return m_host; }
    int port() const { return m_port; }

    void open();
    void close();
    bool isOpen() const;
    QAbstractSocket::SocketState socketState() const { return m_socket.state(); }
    QTcpSocket *socket() { return &m_socket; }

    // The five request builders. Each sends one whole frame in one write and
    // returns at once with the request's reply; nothing is sent while the
    // connection is not open (the reply is then lost already, serial 0).
    Reply SendReadInputRegisters(uint8_t tag, uint32_t address, uint32_t count);
    Reply SendReadHoldingRegisters(uint8_t tag, uint32_t address, uint32_t count);
    Reply SendWriteSingleRegister(uint32_t address, uint32_t value);
    Reply SendWriteTwoRegisters(uint32_t address, uint32_t value);
    Reply SendWriteSingleCoil(uint32_t address, uint8_t state);

    // While a Batch lives, the requests sent go out together when it ends
    // (one system call, one segment for the lot) instead of one by one;
    // each is entered and reported as it is sent all the same. Batches nest.
    class Batch {
    public:
        explicit Batch(ModbusLink &link) : m_link(link) { ++m_link.m_batchDepth; }
        ~Batch()
        {
            if (--m_link.m_batchDepth == 0)
                m_link.writeOut();
        }
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        ModbusLink &m_link;
    };

    // Response timeout of the requests sent from now on (default 1000 ms;
    // values below 1 are taken as 1).
    static constexpr int kDefaultResponseTimeoutMs = 1000;
    void setResponseTimeout(int ms);
    int responseTimeout() const { return m_timeoutMs; }

    // The transactions: what is in flight and what has been seen.
    const std::deque<modbus::Transaction> &inFlight() const { return m_transactions.inFlight(); }
    bool isInFlight(uint64_t serial) const { return m_transactions.isInFlight(serial); }
    // The match of the answer being handled (valid while its reply's
    // listeners run and while the answer signals below are emitted).
    const modbus::AnswerMatch &currentAnswer() const { return m_current; }
    const ReceiveBuffer &receiveBuffer() const { return m_rb; }

    // Feeds bytes as if they had been read from the socket (also used by
    // the read handler itself); returns the number of answers dispatched.
    int receiveBytes(QByteArrayView bytes);
    // Drops the bytes of an answer not yet whole, as a new connection does
    // (the fuzz target starts every input on a fresh stream this way).
    void resetStream() { m_assembler.clear(); }

    static QString errorText(ErrorKind kind);

signals:
    void connecting();
    void connected();
    void disconnected();
    void socketError(ModbusLink::ErrorKind kind);
    // One read event of n bytes (n > 0).
    void bytesRead(int n);
    // An exception answer came (emitted before its reply ends).
    void exceptionAnswer(uint8_t tag, uint8_t function, uint8_t exceptionCode);
    // The stream lost its framing; buffered bytes were discarded.
    void streamLost();
    void frameSent(const QByteArray &frame);

    // The transactions (an answer's signal comes before its reply ends).
    void requestSent(const modbus::Transaction &request);
    void answerMatched(const modbus::Transaction &request, qint64 responseUs);
    void requestTimedOut(const modbus::Transaction &request);
    void lateAnswer(const modbus::Transaction &request, qint64 responseUs);
    void unsolicitedAnswer(quint16 transactionId, quint8 function);
    // Every whole answer as it came, with its match, before its reply ends
    // (so before anything the reply's listeners send).
    void answerReceived(const QByteArray &answer, const modbus::AnswerMatch &match);
    // open() and close() were called (before they act), whoever called them.
    void openRequested();
    void closeRequested();

private:
    void ClientSockRead();
    void dispatch(QByteArrayView answer);
    Reply send(const QByteArray &frame);
    // Ends the replies of everything in flight: the connection is gone.
    void loseInFlight();
    int64_t nowUs() const { return m_clock.nsecsElapsed() / 1000; }
    void expireRequests();
    void armTimeout();
    void stopTimeout();
    void onStateChanged(QAbstractSocket::SocketState state);
    void onError(QAbstractSocket::SocketError error);

    QTcpSocket m_socket;
    QString m_host;
    int m_port = 502;
    FrameAssembler m_assembler;
    ReceiveBuffer m_rb;
    // The replies of the requests in flight, by serial.
    std::unordered_map<uint64_t, Reply> m_replies;
    enum class Phase { Idle, Connecting, Sending, Receiving } m_phase = Phase::Idle;
    bool m_connectingReported = false;

    modbus::TransactionTable m_transactions;
    modbus::AnswerMatch m_current;
    QElapsedTimer m_clock;
    QTimer m_timeoutTimer;
    // The deadline the timeout timer is armed for (none while it is not).
    // It is never later than the earliest deadline in flight; the timer is
    // restarted only when a request brings an earlier one, and a timer that
    // finds nothing due yet is armed again for what is left.
    std::optional<int64_t> m_armedDeadlineUs;
    int m_timeoutMs = kDefaultResponseTimeoutMs;
    int m_batchDepth = 0;
    QByteArray m_unsent;  // the requests of a batch, written when it ends
    void writeOut();
    // What the socket had to read, reused from one read to the next.
    QByteArray m_readBuffer;
};
