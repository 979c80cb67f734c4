#include "monitor/BusRecorder.h"
#include "app/CommandLine.h"
#include "link/ModbusFrames.h"
#include "link/ModbusLink.h"
#include "monitor/DiskSync.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kCommitMs = 500;   // a commit at least this often while rows come
constexpr int kSyncMs = 1000;    // the journal onto the disk at least this often

} // namespace

BusRecorder::BusRecorder(ModbusLink &link, QObject *parent) : QObject(parent), m_link(link)
{
    m_timer.setObjectName(QStringLiteral("TimerRecord"));
    connect(&m_timer, &QTimer::timeout, this, &BusRecorder::tick);
    m_commitTimer.setInterval(kCommitMs);
    connect(&m_commitTimer, &QTimer::timeout, this, &BusRecorder::commit);
}

BusRecorder::~BusRecorder()
{
    if (m_writer)
        stop();
}

int64_t BusRecorder::now() const
{
    // The recording's clock: the start time and the monotonic time since, so
    // that the rows stay in order whatever is done to the system clock.
    return m_startMs + m_clock.elapsed();
}

bool BusRecorder::start(const QString &folder, const site::Site *site, int intervalMs, bool swapped,
                        QString *error)
{
    if (m_writer)
        stop();
    const QDateTime started = QDateTime::currentDateTime();
    rec::Info info;
    info.program = programVersionText().trimmed();
    info.startedMs = started.toMSecsSinceEpoch();
    info.intervalMs = intervalMs;
    info.swapped = swapped;
    if (site)
        info.siteJson = site::toBytes(*site);
    info.layout = rec::layoutOf(site);

    // Two recordings started in one second: the second takes "-2".
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    QString name = rec::fileNameFor(started);
    for (int n = 2; QFileInfo::exists(dir.filePath(name)); ++n)
        name = rec::fileNameFor(started).replace(QStringLiteral(".rmrec"), QStringLiteral("-%1.rmrec").arg(n));
    auto writer = std::make_unique<rec::Writer>();
    if (!writer->create(dir.filePath(name), info, error))
        return false;
    m_writer = std::move(writer);
    m_path = m_writer->path();
    m_layout = info.layout;
    m_registers.assign(size_t(m_layout.registers), 0);
    m_startMs = info.startedMs;
    m_clock.start();
    m_sinceCommit.start();
    m_sinceSync.start();
    m_rows = 0;
    m_bytes = m_writer->bytes();
    m_pending = 0;
    m_inGap = false;
    m_timer.setInterval(std::max(1, intervalMs));
    m_timer.start();
    m_commitTimer.start();
    emit recordingChanged(true);
    emit progress(m_rows, m_bytes);
    tick();  // the first row at once
    return true;
}

void BusRecorder::stop()
{
    if (!m_writer)
        return;
    end(QString());
}

void BusRecorder::end(QString failure)
{
    m_timer.stop();
    m_commitTimer.stop();
    ++m_tickNumber;  // the replies still in flight no longer count
    m_pending = 0;
    if (failure.isEmpty() && m_writer->isOpen()) {
        m_writer->finish(now());
        m_rows = m_writer->committedRows();
    }
    m_bytes = m_writer->bytes();
    m_writer.reset();
    emit progress(m_rows, m_bytes);
    emit recordingChanged(false);
    if (!failure.isEmpty())
        emit failed(failure);
}

void BusRecorder::tick()
{
    if (!m_writer || m_pending > 0)
        return;
    if (!m_link.isOpen()) {
        m_tickFailed = true;
        tickEnded();
        return;
    }
    const uint64_t number = ++m_tickNumber;
    m_tickFailed = false;
    const ModbusLink::Batch together(m_link);
    int offset = 0;
    for (const rec::Read &r : m_layout.reads) {
        const Reply reply = m_link.SendReadInputRegisters(modbus::kRecordTag, r.address, uint32_t(r.count));
        const int at = offset;
        offset += r.count;
        if (!reply->serial()) {
            m_tickFailed = true;
            continue;
        }
        ++m_pending;
        connect(reply.get(), &LinkReply::finished, this, [this, number, at, count = r.count, reply = reply.get()] {
            if (number != m_tickNumber)
                return;  // a tick of a recording that ended
            const ReceiveBuffer &rb = reply->answer();
            if (reply->isGoodAnswer() && rb.wordCount() == count) {
                for (int k = 0; k < count; ++k)
                    m_registers[size_t(at + k)] = rb.word(k);
            } else {
                m_tickFailed = true;
            }
            if (--m_pending == 0)
                tickEnded();
        });
    }
    if (m_pending == 0)
        tickEnded();  // nothing went out
}

void BusRecorder::tickEnded()
{
    if (!m_writer)
        return;
    bool ok = true;
    if (m_tickFailed) {
        if (!m_inGap)
            ok = m_writer->append(now(), nullptr);
        m_inGap = true;
    } else {
        ok = m_writer->append(now(), m_registers.data());
        m_inGap = false;
    }
    if (!ok) {
        end(m_writer->error());
        return;
    }
    if (m_sinceCommit.elapsed() >= kCommitMs)
        commit();
}

void BusRecorder::commit()
{
    if (!m_writer)
        return;
    if (!m_writer->commit()) {
        end(m_writer->error());
        return;
    }
    m_sinceCommit.start();
    if (m_sinceSync.elapsed() >= kSyncMs) {
        // The journal is synced by the database only when it is copied into
        // the file; for a power cut to take at most the last second, it is
        // brought onto the disk here as well.
        QFile wal(m_path + QStringLiteral("-wal"));
        QString why;
        if (wal.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) && !syncToDisk(wal.handle(), &why)) {
            wal.close();
            end(QCoreApplication::translate("Recording", "記録 %1 をディスクに書き込めないため、記録を止めました: %2")
                    .arg(QFileInfo(m_path).fileName(), why));
            return;
        }
        m_sinceSync.start();
    }
    m_rows = m_writer->committedRows();
    m_bytes = m_writer->bytes();
    emit progress(m_rows, m_bytes);
}
