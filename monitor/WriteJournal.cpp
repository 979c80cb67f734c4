#include "monitor/WriteJournal.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "monitor/DiskSync.h"
#include <cstdlib>

namespace journal {

// Addresses and 16-bit values as the frames carry them: their low 16 bits.
Write Write::singleCoil(const QString &source, uint32_t address, uint8_t state)
{
    return {source, 5, address & 0xFFFF, state};
}

Write Write::singleRegister(const QString &source, uint32_t address, uint32_t value)
{
    return {source, 6, address & 0xFFFF, value & 0xFFFF};
}

Write Write::twoRegisters(const QString &source, uint32_t address, uint32_t value)
{
    return {source, 16, address & 0xFFFF, value};
}

void setOutcome(Entry &entry, const LinkReply &reply)
{
    entry.exceptionCode = 0;
    if (reply.serial() == 0) {
        entry.outcome = Outcome::NotSent;
    } else if (reply.isException()) {
        entry.outcome = Outcome::Exception;
        entry.exceptionCode = reply.answer().exceptionCode();
    } else if (reply.isAnswered()) {
        entry.outcome = Outcome::Ok;
    } else if (reply.ending() == LinkReply::Ending::TimedOut) {
        entry.outcome = Outcome::Timeout;
    } else {
        entry.outcome = Outcome::Disconnected;
    }
}

QString timeText(const QDateTime &time)
{
    // The offset always as +hh:mm (Qt writes "Z" for an offset of 0).
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"))
           + (offset < 0 ? u'-' : u'+')
           + QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

int referenceNumber(const Write &write)
{
    return write.function == 5 ? int(write.address) + 1 : int(write.address) + 40001;
}

QString valueText(const Write &write)
{
    if (write.function == 5) {
        if (write.value == 0xFF)
            return QStringLiteral("ON");
        if (write.value == 0)
            return QStringLiteral("OFF");
        // Not sent by the program; the coil value as it went on the wire.
        return QString::number(write.value << 8);
    }
    return QString::number(write.value);
}

QString outcomeText(const Entry &entry)
{
    switch (entry.outcome) {
    case Outcome::Ok: return QStringLiteral("OK");
    case Outcome::Exception: return QStringLiteral("exception %1").arg(entry.exceptionCode);
    case Outcome::Timeout: return QStringLiteral("timeout");
    case Outcome::Disconnected: return QStringLiteral("disconnected");
    case Outcome::NotSent: return QStringLiteral("not sent");
    }
    return {};
}

QByteArray csvHeader()
{
    return QByteArrayLiteral("\xEF\xBB\xBFtime,window,function,reference,value,outcome\r\n");
}

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray csvLine(const Entry &e)
{
    const QStringList fields{timeText(e.time),
                             csvField(e.write.source),
                             QString::number(e.write.function),
                             QString::number(referenceNumber(e.write)),
                             valueText(e.write),
                             outcomeText(e)};
    return fields.join(u',').toUtf8() + "\r\n";
}

} // namespace journal

WriteJournal::WriteJournal(QObject *parent, int capacity)
    : QObject(parent), m_capacity(capacity < 1 ? 1 : capacity)
{
}

WriteJournal::~WriteJournal()
{
    // Listeners may be gone already: recorded, not told.
    auto pending = std::exchange(m_pending, {});
    for (auto &[reply, write] : pending)
        record({QDateTime::currentDateTime(), write, journal::Outcome::Disconnected, 0}, false);
}

Reply WriteJournal::track(const Reply &reply, journal::Write write)
{
    if (!reply)
        return reply;
    LinkReply *r = reply.get();
    if (r->isFinished()) {
        journal::Entry e{QDateTime::currentDateTime(), std::move(write), {}, 0};
        journal::setOutcome(e, *r);
        record(std::move(e), true);
        return reply;
    }
    m_pending.emplace(r, std::move(write));
    connect(r, &LinkReply::finished, this, [this, r] { finished(r); });
    // A reply dropped untold (its link went first) went with its connection.
    connect(r, &QObject::destroyed, this, [this, r] {
        const auto it = m_pending.find(r);
        if (it == m_pending.end())
            return;
        journal::Write w = std::move(it->second);
        m_pending.erase(it);
        record({QDateTime::currentDateTime(), std::move(w), journal::Outcome::Disconnected, 0}, true);
    });
    return reply;
}

void WriteJournal::finished(LinkReply *reply)
{
    const auto it = m_pending.find(reply);
    if (it == m_pending.end())
        return;
    journal::Entry e{QDateTime::currentDateTime(), std::move(it->second), {}, 0};
    m_pending.erase(it);
    journal::setOutcome(e, *reply);
    record(std::move(e), true);
}

void WriteJournal::record(journal::Entry entry, bool notify)
{
    m_unwritten.push_back(journal::csvLine(entry));
    // The file's backlog is bounded as the memory is: what it cannot take
    // for that long is in no file.
    if (m_unwritten.size() > size_t(m_capacity))
        m_unwritten.pop_front();
    m_entries.push_back(std::move(entry));
    if (m_entries.size() > size_t(m_capacity))
        m_entries.pop_front();
    ++m_recorded;

    if (!m_path.isEmpty()) {
        QString error;
        if (appendUnwritten(&error)) {
            m_failing = false;
        } else if (!m_failing) {
            m_failing = true;
            if (notify)
                emit fileError(QCoreApplication::translate("WriteJournal", "書込履歴をファイル %1 に書き込めません: %2")
                                   .arg(QDir::toNativeSeparators(m_path), error));
        }
    }
    if (notify)
        emit entryRecorded(m_entries.back());
}

bool WriteJournal::appendUnwritten(QString *error)
{
    QFile file(m_path);
    // Unbuffered: a full disk shows in the count of the write itself.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    const qint64 before = file.size();
    QByteArray bytes;
    if (before == 0)
        bytes = journal::csvHeader();
    for (const QByteArray &line : m_unwritten)
        bytes += line;

    const auto fail = [&](const QString &why) {
        *error = why;
        // No half line stays behind: the next append starts on a line of its own.
        file.resize(before);
        return false;
    };
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return fail(file.errorString());
        done += n;
    }
    if (!file.flush())
        return fail(file.errorString());
    // Some file systems report a full disk only when the data is synced.
    QString why;
    if (!syncToDisk(file.handle(), &why))
        return fail(why);
    // The new file's name reaches the disk as well.
    if (before == 0)
        syncFolderToDisk(QFileInfo(m_path).absolutePath());
    m_unwritten.clear();
    return true;
}
