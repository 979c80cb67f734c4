#pragma once
// Test support for the FTP tests: the project's small FTP server
// (scripts/demo-ftp.py on pyftpdlib) started on 127.0.0.1 on a free port,
// with a home folder of its own that holds /www/htdocs/.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class FtpTestServer {
public:
    static constexpr const char *kUser = "relaymo";
    static constexpr const char *kPassword = "s3cret";

    FtpTestServer() { QDir(m_root.path()).mkpath(QStringLiteral("www/htdocs")); }
    ~FtpTestServer() { stop(); }

    // Starts the server; extra arguments such as "--throttle", "4000".
    bool start(const QStringList &extra = {})
    {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        });
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        QStringList{QStringLiteral(TESTS_SOURCE_DIR "/../scripts/demo-ftp.py"),
                                    QStringLiteral("--root"), m_root.path(), QStringLiteral("--user"),
                                    QString::fromLatin1(kUser), QStringLiteral("--password"),
                                    QString::fromLatin1(kPassword), QStringLiteral("--quiet"),
                                    QStringLiteral("--exit-on-eof")}
                            + extra);
        static const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        const bool up = QTest::qWaitFor([&] { return listening.match(m_output).hasMatch(); }, 15000);
        if (up)
            m_port = listening.match(m_output).captured(1).toInt();
        else
            qWarning("ftp server did not start: %s %s", qPrintable(m_output),
                     m_process.readAllStandardError().constData());
        return up;
    }

    void stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    int port() const { return m_port; }
    QString root() const { return m_root.path(); }
    QString htdocs() const { return m_root.filePath(QStringLiteral("www/htdocs")); }
    // Successful logins so far (one per control connection).
    int logins() const { return int(m_output.count(QStringLiteral("login "))); }

    void put(const QString &name, const QByteArray &bytes) const
    {
        QFile f(htdocs() + u'/' + name);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    QByteArray get(const QString &name) const
    {
        QFile f(htdocs() + u'/' + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_root;
    QProcess m_process;
    QString m_output;
    int m_port = 0;
};
