#pragma once
// The simulator's options and its record of a request: plain values on
// QtCore alone, shared by the simulator and by the tests that drive a
// simulator in another process (the Windows tests under Wine).
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct SimOptions {
    int delayMs = 0;          // every answer held back this long
    bool split = false;       // every answer sent as two TCP segments
    int coalesce = 0;         // answers sent together in groups of this many
    int exceptionAddress = -1;  // reads (function 3 or 4) covering it get exception 2
    bool trace = false;       // print one line per request on stdout
    // Fault impairments (0 / false: off).
    int dropAfter = 0;        // close each connection once N requests are answered
    int silentAfter = 0;      // each connection answers N requests, then none
    int garbageEvery = 0;     // every Nth answer replaced by random bytes
    bool wrongUnit = false;   // answers carry the unit identifier + 1
    int jitterMs = 0;         // random extra delay 0..jitterMs on top of delayMs
    int exceptionEvery = 0;   // every Nth request answered with kInjectedException
    bool restartOnCommand = false;  // 1203 := 1 restarts the listener (kRestartMs)
    quint32 seed = 0;         // of the random bytes and delays; 0: chosen at start
    // The installation file to serve (installBehaviours; the test fixture
    // reads it); empty: the default installation.
    QString siteFile;

    static constexpr int kInjectedException = 0x06;  // server device busy
    static constexpr int kRestartMs = 2000;
    bool random() const { return garbageEvery > 0 || jitterMs > 0; }
};

// One request as the simulator received it.
struct SimRequest {
    int tag = 0;          // high byte of the transaction identifier
    int function = 0;
    int address = 0;
    int count = 0;        // reads and function 16
    int value = 0;        // functions 5 and 6
    QList<quint16> values;  // function 16
    // One line: "REQ tag=.. fn=.. addr=.." and count, value or values as
    // the function has them (the --trace line and the control channel's).
    QString text() const;
    // The request a text() line describes; none for any other line.
    static std::optional<SimRequest> fromText(QStringView line);
};

inline QString SimRequest::text() const
{
    QString s = QStringLiteral("REQ tag=%1 fn=%2 addr=%3").arg(tag).arg(function).arg(address);
    switch (function) {
    case 3:
    case 4:
        s += QStringLiteral(" count=%1").arg(count);
        break;
    case 5:
    case 6:
        s += QStringLiteral(" value=%1").arg(value);
        break;
    case 16: {
        QStringList v;
        for (quint16 x : values)
            v << QString::number(x);
        s += QStringLiteral(" count=%1 values=%2").arg(count).arg(v.join(u','));
        break;
    }
    default:
        break;
    }
    return s;
}

inline std::optional<SimRequest> SimRequest::fromText(QStringView line)
{
    const QList<QStringView> fields = line.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (fields.size() < 4 || fields[0] != u"REQ")
        return std::nullopt;
    SimRequest r;
    bool tag = false, fn = false, addr = false;
    for (QStringView f : fields.mid(1)) {
        const qsizetype eq = f.indexOf(u'=');
        if (eq < 0)
            return std::nullopt;
        const QStringView key = f.left(eq), v = f.mid(eq + 1);
        bool ok = true;
        if (key == u"tag")
            r.tag = v.toInt(&ok), tag = true;
        else if (key == u"fn")
            r.function = v.toInt(&ok), fn = true;
        else if (key == u"addr")
            r.address = v.toInt(&ok), addr = true;
        else if (key == u"count")
            r.count = v.toInt(&ok);
        else if (key == u"value")
            r.value = v.toInt(&ok);
        else if (key == u"values")
            for (QStringView x : v.split(u',', Qt::SkipEmptyParts)) {
                r.values << quint16(x.toUInt(&ok));
                if (!ok)
                    break;
            }
        if (!ok)
            return std::nullopt;
    }
    if (!tag || !fn || !addr)
        return std::nullopt;
    return r;
}
