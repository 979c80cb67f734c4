#include "sim/SimClock.h"
#include "sim/SimGateway.h"

void SimClock::attach(SimGateway &gw)
{
    tick(gw, gw.nowMs());
}

QDateTime SimClock::now(qint64) const
{
    return QDateTime::currentDateTime().addMSecs(m_offsetMs);
}

int SimClock::weekdayCode(qint64 nowMs) const
{
    const QDate today = now(nowMs).date();
    if (!m_codeSet)
        return weekdayCodeOf(today);
    // A written code moves on one day per day passed (a code that is not
    // one single day is kept as it is).
    int code = m_code;
    const qint64 days = m_codeDate.daysTo(today);
    const bool oneDay = code != 0 && (code & (code - 1)) == 0 && code <= 0x40;
    if (oneDay && days > 0) {
        int bit = 0;
        while ((1 << bit) != code)
            ++bit;
        code = 1 << ((bit + days) % 7);
    }
    return code;
}

void SimClock::tick(SimGateway &gw, qint64 nowMs)
{
    const QDateTime t = now(nowMs);
    const QDate d = t.date();
    const QTime tm = t.time();
    gw.setInputRegister(160, quint16(toBcd((d.year() - 2000) % 100) << 8 | toBcd(d.month())));
    gw.setInputRegister(161, quint16(toBcd(d.day()) << 8 | (weekdayCode(nowMs) & 0xFF)));
    gw.setInputRegister(162, quint16(toBcd(tm.hour()) << 8 | toBcd(tm.minute())));
    gw.setInputRegister(163, quint16(toBcd(tm.second()) << 8));
}

void SimClock::onWrite(SimGateway &gw, QModbusDataUnit::RegisterType table, int address,
                       quint16 value)
{
    if (table != QModbusDataUnit::HoldingRegisters || address != 1188 || value != 1)
        return;
    const quint16 r0 = gw.holdingRegister(1184), r1 = gw.holdingRegister(1185);
    const quint16 r2 = gw.holdingRegister(1186), r3 = gw.holdingRegister(1187);
    for (const quint8 b : {quint8(r0 >> 8), quint8(r0), quint8(r1 >> 8), quint8(r2 >> 8), quint8(r2),
                           quint8(r3 >> 8)})
        if (!isBcd(b))
            return;  // not a clock in BCD: ignored like an impossible date
    const QDate date(2000 + fromBcd(quint8(r0 >> 8)), fromBcd(quint8(r0)), fromBcd(quint8(r1 >> 8)));
    const QTime time(fromBcd(quint8(r2 >> 8)), fromBcd(quint8(r2)), fromBcd(quint8(r3 >> 8)));
    if (!date.isValid() || !time.isValid())
        return;  // a gateway ignores a clock it cannot hold
    m_offsetMs = QDateTime::currentDateTime().msecsTo(QDateTime(date, time));
    m_code = r1 & 0xFF;
    m_codeDate = date;
    m_codeSet = true;
    gw.setHoldingRegister(1188, 0);
    tick(gw, gw.nowMs());
}
