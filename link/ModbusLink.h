#pragma once
// The tool's single Modbus/TCP connection to the gateway.
//
// Owns the non-blocking client socket, the five request builders, the
// program's ReceiveBuffer and LastRequestTag, and routes every whole answer
// by its request tag to the handler that its requester registered.
#include "link/FrameAssembler.h"
#include "link/ReceiveBuffer.h"
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <array>
#include <functional>

class ModbusLink : public QObject {
    Q_OBJECT
public:
    // Error kinds of the socket layer, as the status bar reports them.
    enum class ErrorKind { General, Send, Receive, Connect, Disconnect, Accept };
    Q_ENUM(ErrorKind)

    using AnswerHandler = std::function<void(const ReceiveBuffer &)>;

    explicit ModbusLink(QObject *parent = nullptr);

    // Host and port take effect at the next open. While the connection is
    // open a different host or port is refused: returns false and sets *error.
    bool setHost(const QString &host, QString *error = nullptr);
    bool setPort(int port, QString *error = nullptr);
    QString host() const { return m_host; }
    int port() const { return m_port; }

    void open();
    void close();
    bool isOpen() const;
    QTcpSocket *socket() { return &m_socket; }

    // The five request builders. Each sends one whole frame in one write and
    // returns at once; nothing is sent while the connection is not open.
    void SendReadInputRegisters(uint8_t tag, uint32_t address, uint32_t count);
    void SendReadHoldingRegisters(uint8_t tag, uint32_t address, uint32_t count);
    void SendWriteSingleRegister(uint32_t address, uint32_t value);
    void SendWriteTwoRegisters(uint32_t address, uint32_t value);
    void SendWriteSingleCoil(uint32_t address, uint8_t state);

    uint8_t LastRequestTag = 0xFF;

    // The handler for one request tag; an empty function removes it.
    void setAnswerHandler(uint8_t tag, AnswerHandler handler);
    const ReceiveBuffer &receiveBuffer() const { return m_rb; }

    // Feeds bytes as if they had been read from the socket (also used by
    // the read handler itself); returns the number of answers dispatched.
    int receiveBytes(const QByteArray &bytes);
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
    void exceptionAnswer(uint8_t tag, uint8_t function, uint8_t exceptionCode);
    // The stream lost its framing; buffered bytes were discarded.
    void streamLost();
    void frameSent(const QByteArray &frame);

private:
    void ClientSockRead();
    void dispatch(const QByteArray &answer);
    void send(const QByteArray &frame);
    void onStateChanged(QAbstractSocket::SocketState state);
    void onError(QAbstractSocket::SocketError error);

    QTcpSocket m_socket;
    QString m_host;
    int m_port = 502;
    FrameAssembler m_assembler;
    ReceiveBuffer m_rb;
    std::array<AnswerHandler, 256> m_handlers;
    enum class Phase { Idle, Connecting, Sending, Receiving } m_phase = Phase::Idle;
    bool m_connectingReported = false;
};
