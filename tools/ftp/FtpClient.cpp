#include "tools/ftp/FtpClient.h"
#include "tools/ftp/LineEnds.h"
#include "monitor/WholeFile.h"
#include <QFile>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTimer>
#include <curl/curl.h>
#include <cctype>
#include <iterator>
#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace {

// How often a running operation is stepped (see the constructor).
constexpr int kDriveIntervalMs = 10;

// libcurl turns the CR LF line ends of an ASCII transfer into the
// platform's own line ends and back, except on Windows, where CR LF is the
// platform's own. The client hands libcurl the platform's line ends.
#if defined(_WIN32) || defined(MSDOS) || defined(__EMX__)
constexpr LineEndConverter::Target kCurlTextLineEnds = LineEndConverter::Target::CrLf;
#else
constexpr LineEndConverter::Target kCurlTextLineEnds = LineEndConverter::Target::Lf;
#endif

void ensureCurlGlobal()
{
    static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
    Q_UNUSED(done);
}

void shutdownSocket(qintptr socket)
{
#ifdef _WIN32
    ::shutdown(static_cast<SOCKET>(socket), SD_BOTH);
#else
    ::shutdown(static_cast<int>(socket), SHUT_RDWR);
#endif
}

QString encodeSegments(const QString &path)
{
    QStringList parts;
    for (const QString &segment : path.split(u'/', Qt::SkipEmptyParts))
        parts << QString::fromLatin1(segment.toLocal8Bit().toPercentEncoding());
    return parts.join(u'/');
}

} // namespace

struct FtpClient::Op {
    enum Kind { Connect, Quit, Cwd, SetType, Retr, Stor };
    Kind kind = Connect;
    QString path;    // Cwd: the path asked for; Retr and Stor: the remote name
    QString local;   // Retr and Stor: the local file
    TransferType transfer = TransferType::Binary;  // SetType
    QString host;    // Connect: the session's address and account
    int port = 0;
    QString user;
    QString password;
    QString newDir;  // Cwd: the folder it leads to
    bool notConnected = false;  // failed before reaching the server: no session
    bool endedSession = false;  // Connect replaced a live session
    Done done;
};

// The C callbacks of libcurl, handed on to the client.
struct FtpClientCallbacks {
    static size_t onWrite(char *data, size_t size, size_t count, void *client)
    {
        return static_cast<FtpClient *>(client)->writeData(data, size * count);
    }
    static size_t onRead(char *buffer, size_t size, size_t count, void *client)
    {
        return static_cast<FtpClient *>(client)->readData(buffer, size * count);
    }
    static int onDebug(CURL *, curl_infotype type, char *data, size_t size, void *client)
    {
        if (type == CURLINFO_HEADER_IN)
            static_cast<FtpClient *>(client)->noteReply(QByteArray(data, qsizetype(size)));
        return 0;
    }
};

QString FtpClient::failureText(FailureKind kind)
{
    switch (kind) {
    case FailureKind::ChangeDir: return QStringLiteral("ChangeDir failed");
    case FailureKind::Upload: return QStringLiteral("Upload failed");
    case FailureKind::DoCommand: return QStringLiteral("DoCommand failed");
    case FailureKind::Download: return QStringLiteral("Download failed");
    }
    return {};
}

FtpClient::FtpClient(QObject *parent) : QObject(parent)
{
    ensureCurlGlobal();
    // libcurl's socket-callback interface (7.88) can lose sight of an FTP
    // data connection that it starts inside the same call that read the
    // PASV/EPSV reply, leaving the transfer waiting until its time limit.
    // curl_multi_perform steps every part of the transfer on each call, so
    // the running operation is stepped on a short timer instead.
    m_driveTimer = new QTimer(this);
    m_driveTimer->setInterval(kDriveIntervalMs);
    connect(m_driveTimer, &QTimer::timeout, this, &FtpClient::drive);

    CURL *e = curl_easy_init();
    m_easy = e;
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, m_errorBuffer);
    curl_easy_setopt(e, CURLOPT_VERBOSE, 1L);  // server replies reach onDebug
    curl_easy_setopt(e, CURLOPT_DEBUGFUNCTION, &FtpClientCallbacks::onDebug);
    curl_easy_setopt(e, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &FtpClientCallbacks::onWrite);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(e, CURLOPT_READFUNCTION, &FtpClientCallbacks::onRead);
    curl_easy_setopt(e, CURLOPT_READDATA, this);
    // One CWD with the whole path rather than one per folder level.
    curl_easy_setopt(e, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(e, CURLOPT_TCP_KEEPALIVE, 1L);
    setTimeLimits(m_limits);
}

FtpClient::~FtpClient()
{
    m_queue.clear();
    m_current.reset();
    teardownSession();
    if (m_quote)
        curl_slist_free_all(static_cast<curl_slist *>(m_quote));
    curl_easy_cleanup(m_easy);
}

void FtpClient::setTimeLimits(const TimeLimits &limits)
{
    m_limits = limits;
    curl_easy_setopt(m_easy, CURLOPT_CONNECTTIMEOUT_MS, long(limits.connectMs));
    curl_easy_setopt(m_easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(limits.responseSeconds));
    curl_easy_setopt(m_easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_easy, CURLOPT_LOW_SPEED_TIME, long(limits.stallSeconds));
}

bool FtpClient::isBusy() const
{
    return m_current || m_pendingDeliveries > 0 || m_delivering || !m_queue.empty();
}

// ---- the operations ----------------------------------------------------------

void FtpClient::connectToServer(Done done)
{
    Op op;
    op.kind = Op::Connect;
    op.host = m_host;
    op.port = m_port;
    op.user = m_user;
    op.password = m_password;
    op.done = std::move(done);
    enqueue(std::move(op));
}

void FtpClient::disconnectFromServer(Done done)
{
    Op op;
    op.kind = Op::Quit;
    op.done = std::move(done);
    enqueue(std::move(op));
}

void FtpClient::changeDir(const QString &path, Done done)
{
    Op op;
    op.kind = Op::Cwd;
    op.path = path;
    op.done = std::move(done);
    enqueue(std::move(op));
}

void FtpClient::setTransferType(TransferType type, Done done)
{
    Op op;
    op.kind = Op::SetType;
    op.transfer = type;
    op.done = std::move(done);
    enqueue(std::move(op));
}

void FtpClient::download(const QString &remoteName, const QString &localPath, Done done)
{
    Op op;
    op.kind = Op::Retr;
    op.path = remoteName;
    op.local = localPath;
    op.done = std::move(done);
    enqueue(std::move(op));
}

void FtpClient::upload(const QString &localPath, const QString &remoteName, Done done)
{
    Op op;
    op.kind = Op::Stor;
    op.path = remoteName;
    op.local = localPath;
    op.done = std::move(done);
    enqueue(std::move(op));
}

// ---- queue -------------------------------------------------------------------

void FtpClient::enqueue(Op op)
{
    // Operations asked for by a completion function or a notification
    // continue the work that reported: they run before anything queued
    // earlier by other commands.
    if (m_delivering) {
        m_continuations.push_back(std::move(op));
        return;
    }
    m_queue.push_back(std::move(op));
    startNext();
}

void FtpClient::startNext()
{
    if (m_current || m_pendingDeliveries > 0 || m_delivering || m_queue.empty())
        return;
    Op op = std::move(m_queue.front());
    m_queue.pop_front();
    startOp(std::move(op));
}

void FtpClient::startOp(Op op)
{
    stopIdleWatch();
    m_current = std::make_shared<Op>(std::move(op));
    m_lastReply.clear();
    m_lastReplyCode = 0;
    m_errorBuffer[0] = '\0';
    Op &o = *m_current;

    if (o.kind == Op::Quit && !m_connected) {
        finishOp(Result{});
        return;
    }
    if (o.kind != Op::Connect && o.kind != Op::Quit && !m_connected) {
        o.notConnected = true;
        Result r;
        r.ok = false;
        r.message = tr("FTPサーバーに接続されていません。");
        finishOp(r);
        return;
    }
    if (o.kind == Op::Connect && m_connected) {
        teardownSession();
        o.endedSession = true;
    }
    QString error;
    if (!prepareOp(o, &error)) {
        if (o.kind == Op::Connect)
            teardownSession();
        Result r;
        r.ok = false;
        r.message = error;
        finishOp(r);
        return;
    }
    // While the operation runs the control connection is libcurl's, which
    // may close it and open another: the socket is asked for again at the
    // end, never shut down from a stale number.
    m_controlSocket = -1;
    ensureMulti();
    curl_multi_add_handle(m_multi, m_easy);
    m_easyAdded = true;
    m_driveTimer->start();
}

bool FtpClient::prepareOp(Op &o, QString *error)
{
    CURL *e = m_easy;
    curl_easy_setopt(e, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(e, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(e, CURLOPT_QUOTE, nullptr);
    if (m_quote) {
        curl_slist_free_all(static_cast<curl_slist *>(m_quote));
        m_quote = nullptr;
    }
    curl_easy_setopt(e, CURLOPT_TRANSFERTEXT, m_type == TransferType::Ascii ? 1L : 0L);
    m_saveFile.reset();
    m_converter.reset();
    m_writeFailed = false;
    m_uploadData.clear();
    m_uploadPos = 0;

    auto setQuote = [&](const char *command) {
        m_quote = curl_slist_append(nullptr, command);
        curl_easy_setopt(e, CURLOPT_QUOTE, static_cast<curl_slist *>(m_quote));
    };
    auto setUrl = [&](const QString &url) {
        curl_easy_setopt(e, CURLOPT_URL, url.toUtf8().constData());
    };
    const QString dirUrl = m_base + dirUrlPath(m_dir);

    switch (o.kind) {
    case Op::Connect: {
        const QString base = baseUrl(o.host, o.port, error);
        if (base.isEmpty())
            return false;
        m_base = base;
        m_dir.clear();
        m_type = TransferType::Binary;
        curl_easy_setopt(e, CURLOPT_TRANSFERTEXT, 0L);
        curl_easy_setopt(e, CURLOPT_USERNAME, o.user.toUtf8().constData());
        curl_easy_setopt(e, CURLOPT_PASSWORD, o.password.toUtf8().constData());
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
        setUrl(m_base + QStringLiteral("/"));
        return true;
    }
    case Op::Quit:
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
        setQuote("QUIT");
        setUrl(dirUrl);
        return true;
    case Op::Cwd: {
        QString dir = o.path.startsWith(u'/') ? o.path : m_dir + o.path;
        if (!dir.endsWith(u'/'))
            dir += u'/';
        o.newDir = dir;
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
        setUrl(m_base + dirUrlPath(dir));
        return true;
    }
    case Op::SetType:
        // A refused TYPE must not cost the session: the '*' lets libcurl go
        // on, and the reply code decides.
        curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
        setQuote(o.transfer == TransferType::Ascii ? "*TYPE A" : "*TYPE I");
        setUrl(dirUrl);
        return true;
    case Op::Retr: {
        if (o.path.isEmpty()) {
            *error = tr("ファイル名が指定されていません。");
            return false;
        }
        m_saveFile = std::make_unique<WholeFileWriter>(o.local);
        if (!m_saveFile->open()) {
            *error = tr("ファイル %1 に書き込めません。\n%2").arg(o.local, m_saveFile->errorString());
            m_saveFile.reset();
            return false;
        }
        if (m_type == TransferType::Ascii)
            m_converter = std::make_unique<LineEndConverter>(LineEndConverter::Target::CrLf);
        setUrl(dirUrl + encodeSegments(o.path));
        return true;
    }
    case Op::Stor: {
        if (o.path.isEmpty()) {
            *error = tr("ファイル名が指定されていません。");
            return false;
        }
        QFile file(o.local);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = tr("ファイル %1 を読み込めません。\n%2").arg(o.local, file.errorString());
            return false;
        }
        m_uploadData = file.readAll();
        if (m_type == TransferType::Ascii) {
            LineEndConverter convert(kCurlTextLineEnds);
            m_uploadData = convert.convert(m_uploadData) + convert.finish();
        }
        curl_easy_setopt(e, CURLOPT_UPLOAD, 1L);
        setUrl(dirUrl + encodeSegments(o.path));
        return true;
    }
    }
    return false;
}

void FtpClient::finishOp(Result result)
{
    postDelivery(std::move(result), false);
}

void FtpClient::postDelivery(Result result, bool sessionEnded)
{
    std::shared_ptr<Op> op = std::move(m_current);
    m_current.reset();
    ++m_pendingDeliveries;
    // Reported from the event loop, never from inside libcurl's processing,
    // so that a handler may start the next operation or open a message box.
    QMetaObject::invokeMethod(
        this,
        [this, op, result, sessionEnded] {
            --m_pendingDeliveries;
            deliver(op, result, sessionEnded);
        },
        Qt::QueuedConnection);
}

void FtpClient::deliver(const std::shared_ptr<Op> &op, Result result, bool sessionEnded)
{
    m_delivering = true;
    switch (op->kind) {
    case Op::Connect:
        if (op->endedSession)
            announceDisconnected();
        if (result.ok) {
            m_sessionAnnounced = true;
            emit connected();
        } else
            emit connectionFailed(result.message);
        break;
    case Op::Quit:
        if (sessionEnded)
            announceDisconnected();
        break;
    default:
        if (!result.ok && !op->notConnected) {
            static const FailureKind kinds[] = {FailureKind::DoCommand, FailureKind::DoCommand,
                                                FailureKind::ChangeDir, FailureKind::DoCommand,
                                                FailureKind::Download, FailureKind::Upload};
            bool handled = false;
            emit failure(kinds[op->kind], &handled);
            result.handled = handled;
        }
        break;
    }
    if (op->done)
        op->done(result);
    if (sessionEnded && op->kind != Op::Quit)
        announceDisconnected();
    m_delivering = false;
    m_queue.insert(m_queue.begin(), std::make_move_iterator(m_continuations.begin()),
                   std::make_move_iterator(m_continuations.end()));
    m_continuations.clear();
    startNext();
}

// ---- libcurl in the event loop ---------------------------------------------------

void FtpClient::ensureMulti()
{
    if (m_multi)
        return;
    m_multi = curl_multi_init();
}

void FtpClient::teardownSession()
{
    stopIdleWatch();
    // Closing the socket's both directions first lets libcurl's farewell
    // QUIT fail at once instead of waiting for an answer.
    if (m_controlSocket >= 0) {
        shutdownSocket(m_controlSocket);
        m_controlSocket = -1;
    }
    if (m_multi) {
        if (m_easyAdded) {
            curl_multi_remove_handle(m_multi, m_easy);
            m_easyAdded = false;
        }
        curl_multi_cleanup(m_multi);
        m_multi = nullptr;
    }
    m_driveTimer->stop();
    m_connected = false;
    m_dir.clear();
    m_type = TransferType::Binary;
}

void FtpClient::drive()
{
    if (!m_multi || !m_easyAdded) {
        m_driveTimer->stop();
        return;
    }
    int running = 0;
    curl_multi_perform(m_multi, &running);
    checkDone();
}

void FtpClient::checkDone()
{
    if (!m_multi || !m_easyAdded)
        return;
    int left = 0;
    while (CURLMsg *msg = curl_multi_info_read(m_multi, &left)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == m_easy) {
            completeTransfer(int(msg->data.result));
            return;
        }
    }
}

void FtpClient::completeTransfer(int curlCode)
{
    const CURLcode rc = CURLcode(curlCode);
    // The control connection left open for the next operation (asked while
    // the handle still belongs to the multi handle).
    curl_socket_t control = CURL_SOCKET_BAD;
    curl_easy_getinfo(m_easy, CURLINFO_ACTIVESOCKET, &control);
    curl_multi_remove_handle(m_multi, m_easy);
    m_easyAdded = false;
    m_driveTimer->stop();

    Op &o = *m_current;
    Result r;
    r.replyCode = m_lastReplyCode;
    r.ok = (rc == CURLE_OK);
    bool sessionEnded = false;

    switch (o.kind) {
    case Op::Connect:
        r.ok = r.ok && control != CURL_SOCKET_BAD;
        m_connected = r.ok;
        break;
    case Op::Quit:
        r.ok = true;
        sessionEnded = true;
        break;
    case Op::Cwd:
        if (r.ok)
            m_dir = o.newDir;
        break;
    case Op::SetType:
        r.ok = r.ok && m_lastReplyCode > 0 && m_lastReplyCode < 400;
        if (r.ok)
            m_type = o.transfer;
        break;
    case Op::Retr:
        if (r.ok && m_converter) {
            const QByteArray tail = m_converter->finish();
            if (!tail.isEmpty() && !m_saveFile->write(tail))
                m_writeFailed = true;
        }
        if (m_writeFailed)
            r.ok = false;
        if (r.ok && !m_saveFile->commit()) {
            r.ok = false;
            r.message = tr("ファイル %1 に書き込めません。\n%2").arg(o.local, m_saveFile->errorString());
        }
        break;
    case Op::Stor:
        break;
    }
    if (!r.ok && r.message.isEmpty())
        r.message = (m_writeFailed && m_saveFile)
                        ? tr("ファイル %1 に書き込めません。\n%2").arg(o.local, m_saveFile->errorString())
                        : errorText(rc);
    m_saveFile.reset();
    m_converter.reset();
    m_uploadData.clear();

    if (o.kind == Op::Quit || (o.kind == Op::Connect && !r.ok)) {
        m_controlSocket = control == CURL_SOCKET_BAD ? -1 : qintptr(control);
        teardownSession();
    } else if (m_connected && control == CURL_SOCKET_BAD) {
        // libcurl gave up the control connection (lost, timed out): the
        // session is over.
        teardownSession();
        sessionEnded = true;
    } else if (m_connected) {
        m_controlSocket = qintptr(control);
        startIdleWatch();
    }
    postDelivery(std::move(r), sessionEnded);
}

void FtpClient::startIdleWatch()
{
    stopIdleWatch();
    if (!m_connected || m_controlSocket < 0)
        return;
    // Between operations nothing should arrive on the control connection:
    // when it becomes readable, the server has closed it (or announced
    // that it will, with 421).
    m_idleWatch = new QSocketNotifier(m_controlSocket, QSocketNotifier::Read, this);
    connect(m_idleWatch, &QSocketNotifier::activated, this, &FtpClient::idleActivity);
}

void FtpClient::stopIdleWatch()
{
    if (m_idleWatch) {
        m_idleWatch->setEnabled(false);
        m_idleWatch->deleteLater();
        m_idleWatch = nullptr;
    }
}

void FtpClient::idleActivity()
{
    stopIdleWatch();
    if (isBusy() || !m_connected)
        return;
    teardownSession();
    announceDisconnected();
}

void FtpClient::announceDisconnected()
{
    // Only a session that was announced as connected can end: a connection
    // that failed at its login never was one.
    if (!m_sessionAnnounced)
        return;
    m_sessionAnnounced = false;
    emit disconnected();
}

// ---- data ------------------------------------------------------------------------

size_t FtpClient::writeData(const char *data, size_t size)
{
    if (!m_saveFile)
        return size;
    const QByteArray bytes = m_converter ? m_converter->convert(QByteArrayView(data, qsizetype(size)))
                                         : QByteArray::fromRawData(data, qsizetype(size));
    // Once the local file has failed the rest of the file is still taken
    // from the server and dropped: a short count would make libcurl abort
    // the transfer and close the control connection, ending the session.
    if (!m_writeFailed && !bytes.isEmpty() && !m_saveFile->write(bytes))
        m_writeFailed = true;
    return size;
}

size_t FtpClient::readData(char *buffer, size_t size)
{
    const qsizetype n = qMin<qsizetype>(qsizetype(size), m_uploadData.size() - m_uploadPos);
    if (n > 0) {
        memcpy(buffer, m_uploadData.constData() + m_uploadPos, size_t(n));
        m_uploadPos += n;
    }
    return size_t(n);
}

void FtpClient::noteReply(const QByteArray &line)
{
    // The final line of a reply: three digits and a space.
    const QByteArray t = line.trimmed();
    if (t.size() >= 3 && std::isdigit(uchar(t[0])) && std::isdigit(uchar(t[1])) && std::isdigit(uchar(t[2]))
        && (t.size() == 3 || t[3] == ' ')) {
        m_lastReplyCode = t.left(3).toInt();
        m_lastReply = QString::fromLocal8Bit(t);
    }
}

// ---- addresses and texts ------------------------------------------------------------

QString FtpClient::baseUrl(const QString &host, int port, QString *error) const
{
    const QString h = host.trimmed();
    bool plainName = !h.isEmpty();
    for (QChar c : h)
        plainName = plainName && (c.isLetterOrNumber() || c == u'.' || c == u'-' || c == u'_') && c.unicode() < 0x80;
    QHostAddress address;
    const bool ipv6 = address.setAddress(h) && address.protocol() == QAbstractSocket::IPv6Protocol;
    if (!plainName && !ipv6) {
        *error = tr("ホストアドレス「%1」が正しくありません。").arg(host);
        return {};
    }
    if (port < 1 || port > 65535) {
        *error = tr("ポート番号 %1 が正しくありません。").arg(port);
        return {};
    }
    return QStringLiteral("ftp://%1:%2").arg(ipv6 ? u'[' + h + u']' : h).arg(port);
}

QString FtpClient::dirUrlPath(const QString &dir) const
{
    // The URL path of a folder: "/" the login folder; an absolute folder
    // starts with an encoded slash, so that libcurl sends "CWD /www/htdocs".
    const QString segments = encodeSegments(dir);
    QString path = dir.startsWith(u'/') ? QStringLiteral("/%2F") : QStringLiteral("/");
    if (!segments.isEmpty())
        path += segments + u'/';
    return path;
}

QString FtpClient::errorText(int curlCode) const
{
    if (m_lastReplyCode >= 400 && !m_lastReply.isEmpty())
        return m_lastReply;
    const CURLcode rc = CURLcode(curlCode);
    QString text;
    switch (rc) {
    case CURLE_OPERATION_TIMEDOUT:
        text = tr("FTPサーバーが応答しません（時間切れ）。");
        break;
    case CURLE_COULDNT_CONNECT:
        text = tr("FTPサーバーに接続できません。");
        break;
    case CURLE_COULDNT_RESOLVE_HOST:
        text = tr("FTPサーバーのホスト名を解決できません。");
        break;
    case CURLE_LOGIN_DENIED:
        text = tr("FTPサーバーにログインできません。");
        break;
    default:
        text = tr("FTPの操作に失敗しました。");
        break;
    }
    const QString detail = m_errorBuffer[0] ? QString::fromLocal8Bit(m_errorBuffer)
                                            : QString::fromUtf8(curl_easy_strerror(rc));
    return text + u'\n' + detail;
}
