#pragma once
// An FTP session (RFC 959) on libcurl, driven from the Qt event loop.
//
// One libcurl easy handle is kept for the session and its control
// connection stays open between operations, so that a change of directory
// and the transfer type hold for the transfers that follow. Operations run
// one after another in the order they were asked for; each returns at once
// and reports its end through its completion function and the signals
// below. libcurl's multi interface is stepped from a short QTimer of the
// event loop, so the window keeps working while a transfer runs; between
// operations a QSocketNotifier watches the idle control connection for the
// server closing it.
//
// A server that stops answering ends the operation after a time limit:
// the connect limit for the TCP connection, the response limit for every
// reply of the server, and the stall limit for a data transfer that
// moves no byte.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;
class QTimer;
class LineEndConverter;
class WholeFileWriter;

class FtpClient : public QObject {
    Q_OBJECT
public:
    // The kinds of failed operation, each with its status text (failureText):
    // a change of directory, an upload, any other command, a download.
    enum class FailureKind { ChangeDir, Upload, DoCommand, Download };
    Q_ENUM(FailureKind)
    static QString failureText(FailureKind kind);

    enum class TransferType { Binary, Ascii };

    struct Result {
        bool ok = true;
        // A failure handler marked the failure as handled: the caller need
        // not report it again.
        bool handled = false;
        // The server's last reply code (0 when none came).
        int replyCode = 0;
        // On failure: the server's reply text, or the client's own
        // description when no reply explains it (time-out, refused
        // connection, local file error).
        QString message;
    };
    using Done = std::function<void(const Result &)>;

    struct TimeLimits {
        int connectMs = 10000;
        int responseSeconds = 20;
        int stallSeconds = 20;
    };

    explicit FtpClient(QObject *parent = nullptr);
    ~FtpClient() override;

    // Taken by connectToServer when it is asked for.
    void setHost(const QString &host) { m_host = host; }
    QString host() const { return m_host; }
    void setPort(int port) { m_port = port; }
    int port() const { return m_port; }
    void setUserName(const QString &user) { m_user = user; }
    QString userName() const { return m_user; }
    void setPassword(const QString &password) { m_password = password; }
    void setTimeLimits(const TimeLimits &limits);

    // True while a control connection is logged in.
    bool isConnected() const { return m_connected; }
    // True while an operation runs or waits for its turn.
    bool isBusy() const;
    // The remote folder the transfers use: an absolute path ending in '/',
    // or empty for the folder the server logged in to.
    QString currentDir() const { return m_dir; }
    TransferType transferType() const { return m_type; }

    // Connects and logs in (USER, PASS): then connected(), or
    // connectionFailed() when that fails.
    void connectToServer(Done done = {});
    // QUIT and close: then disconnected(). Nothing happens when no session
    // is open.
    void disconnectFromServer(Done done = {});
    // CWD: a path starting with '/' is absolute, others are relative to the
    // current folder.
    void changeDir(const QString &path, Done done = {});
    // TYPE A or TYPE I, also used for the transfers that follow. ASCII
    // transfers travel with CR LF line ends on the wire; the local file of a
    // download gets CR LF line ends.
    void setTransferType(TransferType type, Done done = {});
    // RETR into a local file. The local file is replaced only when the
    // whole file arrived; a failed download leaves it as it was.
    void download(const QString &remoteName, const QString &localPath, Done done = {});
    // STOR of a local file under the remote name.
    void upload(const QString &localPath, const QString &remoteName, Done done = {});

signals:
    void connected();
    void connectionFailed(const QString &reason);
    // The session ended: by disconnectFromServer, by the server closing the
    // control connection, or by its loss during an operation. Emitted only
    // for a session that connected() announced, never after a failed
    // connect.
    void disconnected();
    // An operation failed; emitted before its completion function runs.
    // A handler may set *handled.
    void failure(FtpClient::FailureKind kind, bool *handled);

private:
    friend struct FtpClientCallbacks;
    struct Op;

    void enqueue(Op op);
    void startNext();
    void startOp(Op op);
    bool prepareOp(Op &op, QString *error);
    void finishOp(Result result);
    void postDelivery(Result result, bool sessionEnded);
    void deliver(const std::shared_ptr<Op> &op, Result result, bool sessionEnded);

    void ensureMulti();
    void teardownSession();
    void drive();
    void checkDone();
    void completeTransfer(int curlCode);
    void startIdleWatch();
    void stopIdleWatch();
    void idleActivity();
    void announceDisconnected();

    size_t writeData(const char *data, size_t size);
    size_t readData(char *buffer, size_t size);
    void noteReply(const QByteArray &line);

    QString baseUrl(const QString &host, int port, QString *error) const;
    QString dirUrlPath(const QString &dir) const;
    QString errorText(int curlCode) const;

    QString m_host;
    int m_port = 21;
    QString m_user;
    QString m_password;
    TimeLimits m_limits;

    void *m_easy = nullptr;   // CURL *
    void *m_multi = nullptr;  // CURLM *
    bool m_easyAdded = false;
    QTimer *m_driveTimer = nullptr;
    QSocketNotifier *m_idleWatch = nullptr;
    qintptr m_controlSocket = -1;

    bool m_connected = false;
    // connected() was emitted and disconnected() not yet since.
    bool m_sessionAnnounced = false;
    QString m_dir;
    QString m_base;  // ftp://host:port of the session
    TransferType m_type = TransferType::Binary;

    std::deque<Op> m_queue;
    std::shared_ptr<Op> m_current;
    int m_pendingDeliveries = 0;
    bool m_delivering = false;
    std::vector<Op> m_continuations;

    // The running transfer.
    std::unique_ptr<WholeFileWriter> m_saveFile;
    std::unique_ptr<LineEndConverter> m_converter;
    bool m_writeFailed = false;
    QByteArray m_uploadData;
    qsizetype m_uploadPos = 0;
    void *m_quote = nullptr;  // curl_slist *
    char m_errorBuffer[256] = {};
    QString m_lastReply;
    int m_lastReplyCode = 0;
};
