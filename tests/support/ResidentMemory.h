#pragma once
// The resident size of this process in KiB (VmRSS), or -1 when it cannot be
// read: the long runs record it to show that memory stays flat.
#include <QByteArray>
#include <QFile>

inline long residentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}
