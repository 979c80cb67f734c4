#pragma once
// The gateway clock: input registers 160..163 in BCD, running; set by
// writing 1184..1187 and then 1 into 1188.
//
//   160: year-2000 | month    161: day | weekday code
//   162: hour | minute        163: second | 0
// Weekday codes have one bit per day (0x01 Sunday .. 0x40 Saturday); the
// code written is kept as written and moves on one day at each midnight.
#include "sim/SimBehaviour.h"
#include <QDateTime>

class SimClock : public SimBehaviour {
public:
    void attach(SimGateway &gw) override;
    void tick(SimGateway &gw, qint64 nowMs) override;
    void onWrite(SimGateway &gw, QModbusDataUnit::RegisterType table, int address,
                 quint16 value) override;

    QDateTime now(qint64 nowMs) const;
    int weekdayCode(qint64 nowMs) const;

    static quint8 toBcd(int v) { return quint8((v / 10) << 4 | (v % 10)); }
    static int fromBcd(quint8 b) { return (b >> 4) * 10 + (b & 0x0F); }
    static bool isBcd(quint8 b) { return (b >> 4) <= 9 && (b & 0x0F) <= 9; }
    static int weekdayCodeOf(const QDate &d) { return 1 << (d.dayOfWeek() % 7); }

private:
    qint64 m_offsetMs = 0;     // clock time = system time + offset
    QDate m_codeDate;          // date on which m_code was written
    int m_code = 0;            // weekday code as written
    bool m_codeSet = false;
};
