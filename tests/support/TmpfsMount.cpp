#include "support/TmpfsMount.h"
#include <QFile>
#include <QProcess>
#include <QStorageInfo>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

const char kFiller[] = ".filler";

bool run(const QString &program, const QStringList &args, QString *output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(1000);
        *output = program + QStringLiteral(" did not finish");
        return false;
    }
    *output = QString::fromLocal8Bit(p.readAll()).trimmed();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

TmpfsMount::TmpfsMount(int sizeKiB)
{
#ifdef Q_OS_UNIX
    if (::geteuid() != 0) {
        m_problem = QStringLiteral("mounting a tmpfs needs root");
        return;
    }
#else
    m_problem = QStringLiteral("tmpfs exists on Linux only");
    return;
#endif
    if (!m_dir.isValid()) {
        m_problem = QStringLiteral("no temporary folder for the mount point");
        return;
    }
    QString output;
    m_mounted = run(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=%1k").arg(sizeKiB), QStringLiteral("tmpfs"), m_dir.path()},
                    &output);
    if (!m_mounted)
        m_problem = QStringLiteral("mount -t tmpfs refused: ") + output;
}

TmpfsMount::~TmpfsMount()
{
    if (!m_mounted)
        return;
    QString output;
    // A file still open somewhere keeps the mount busy: then detach it lazily.
    if (!run(QStringLiteral("umount"), {m_dir.path()}, &output))
        run(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()}, &output);
}

bool TmpfsMount::fill(qint64 leaveBytes)
{
    if (!m_mounted)
        return false;
    QFile filler(path() + QLatin1String(kFiller));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, '#');
    while (filler.write(block) == block.size()) {
    }
    // Full now; give back the pages to leave free.
    const qint64 page = 4096;
    const qint64 giveBack = (leaveBytes / page) * page;
    const qint64 size = filler.size();
    if (giveBack > 0 && !filler.resize(qMax<qint64>(0, size - (size % page) - giveBack)))
        return false;
    filler.close();
    return bytesFree() <= leaveBytes;
}

bool TmpfsMount::freeSpace()
{
    return !m_mounted || !QFile::exists(path() + QLatin1String(kFiller))
        || QFile::remove(path() + QLatin1String(kFiller));
}

bool TmpfsMount::setReadOnly(bool readOnly)
{
    QString output;
    return m_mounted
        && run(QStringLiteral("mount"),
               {QStringLiteral("-o"), readOnly ? QStringLiteral("remount,ro") : QStringLiteral("remount,rw"),
                m_dir.path()},
               &output);
}

qint64 TmpfsMount::bytesFree() const
{
    QStorageInfo info(m_dir.path());
    info.refresh();
    return info.bytesAvailable();
}
