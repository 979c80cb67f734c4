// The diagnostics rules without windows: frames read back as text, response
// time figures, the statistics' counters, the traffic ring and its rows,
// and the reconnect back-off.
#include "diag/CommStats.h"
#include "diag/Reconnect.h"
#include "diag/ResponseTimes.h"
#include "diag/TrafficLog.h"
#include "link/FrameText.h"
#include "link/ModbusFrames.h"
#include "monitor/NoAnswer.h"
#include <QDateTime>
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

namespace {

QByteArray hex(const char *s)
{
    return QByteArray::fromHex(QByteArray(s).replace(' ', ""));
}

} // namespace

class TestDiagModels : public QObject {
    Q_OBJECT
private slots:
    void requestSummaries_data();
    void requestSummaries();
    void answerSummaries_data();
    void answerSummaries();
    void truncatedFramesAreNeverReadPast();
    void requestKinds_data();
    void requestKinds();
    void exceptionNames_data();
    void exceptionNames();

    void responseTimeFigures_data();
    void responseTimeFigures();
    void percentileAgainstSortedSamples();
    void responseTimesMemoryIsBounded();

    void statisticsCountPerKind();
    void statisticsResetAndTimeConnected();

    void trafficRingKeepsTheNewest();
    void trafficRows_data();
    void trafficRows();
    void savedTrafficText();

    void reconnectBackOff_data();
    void reconnectBackOff();
    void noAnswerTexts_data();
    void noAnswerTexts();
};

// ---- frames as text ------------------------------------------------------------

void TestDiagModels::requestSummaries_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("summary");
    QTest::newRow("module information")
        << modbus::readInputRegistersFrame(1, 296, 16)
        << QStringLiteral("タグ1 モジュール情報  04 入力レジスタ読出し  アドレス 296 (30297)  個数 16");
    QTest::newRow("monitor, holding registers")
        << modbus::readHoldingRegistersFrame(0, 1024, 10)
        << QStringLiteral("タグ0 モニターデータ  03 保持レジスタ読出し  アドレス 1024 (41025)  個数 10");
    QTest::newRow("header words")
        << modbus::readInputRegistersFrame(20, 44, 4)
        << QStringLiteral("タグ20 ヘッダーワード  04 入力レジスタ読出し  アドレス 44 (30045)  個数 4");
    QTest::newRow("restart command")
        << modbus::writeSingleRegisterFrame(1203, 1)
        << QStringLiteral("タグ254 書き込み  06 単一レジスタ書込み  アドレス 1203 (41204)  値 1");
    QTest::newRow("coil on")
        << modbus::writeSingleCoilFrame(5, 0xFF)
        << QStringLiteral("タグ254 書き込み  05 単一コイル書込み  コイル 5 (00006)  ON");
    QTest::newRow("coil off")
        << modbus::writeSingleCoilFrame(4000, 0)
        << QStringLiteral("タグ254 書き込み  05 単一コイル書込み  コイル 4000 (04001)  OFF");
    QTest::newRow("two registers, low half first")
        << modbus::writeTwoRegistersFrame(1280, 0x00020001)
        << QStringLiteral("タグ254 書き込み  10 複数レジスタ書込み  アドレス 1280 (41281)  個数 2  値 1, 2");
    QTest::newRow("address past the five-digit references")
        << modbus::readInputRegistersFrame(13, 12345, 64)
        << QStringLiteral("タグ13 カウンター読み返し  04 入力レジスタ読出し  アドレス 12345  個数 64");
    QTest::newRow("known by its fields: coil")
        << QByteArray("fields 254 5 7 1") << QStringLiteral("タグ254 書き込み  05 単一コイル書込み  コイル 7 (00008)");
    QTest::newRow("known by its fields: register write, no value")
        << QByteArray("fields 254 6 1203 1") << QStringLiteral("タグ254 書き込み  06 単一レジスタ書込み  アドレス 1203 (41204)");
    QTest::newRow("known by its fields: holding read")
        << QByteArray("fields 0 3 1024 10")
        << QStringLiteral("タグ0 モニターデータ  03 保持レジスタ読出し  アドレス 1024 (41025)  個数 10");
    QTest::newRow("function the tool never sends")
        << hex("07 00 00 00 00 06 01 2B 0E 01 00 00")
        << QStringLiteral("タグ7 その他  2B  12 バイト");
}

void TestDiagModels::requestSummaries()
{
    QFETCH(QByteArray, frame);
    QFETCH(QString, summary);
    if (frame.startsWith("fields ")) {  // tag, function, address, count of a transaction
        const QList<QByteArray> f = frame.split(' ');
        QCOMPARE(modbus::requestSummary(uint8_t(f[1].toInt()), uint8_t(f[2].toInt()), uint16_t(f[3].toInt()),
                                        uint16_t(f[4].toInt())),
                 summary);
        return;
    }
    QCOMPARE(modbus::requestSummary(frame), summary);
}

void TestDiagModels::answerSummaries_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("summary");
    QTest::newRow("read answer")
        << hex("00 00 00 00 00 07 01 04 04 00 01 00 02")
        << QStringLiteral("タグ0 モニターデータ  04 入力レジスタ読出し  4 バイト");
    QTest::newRow("exception 2 to a read")
        << hex("00 00 00 00 00 03 01 84 02")
        << QStringLiteral("タグ0 モニターデータ  例外 02 不正データアドレス  (04 入力レジスタ読出し の例外応答)");
    QTest::newRow("exception 0B to a write")
        << hex("FE 00 00 00 00 03 01 86 0B")
        << QStringLiteral("タグ254 書き込み  例外 0B ゲートウェイ異常  (06 単一レジスタ書込み の例外応答)");
    QTest::newRow("echo of a register write")
        << modbus::writeSingleRegisterFrame(1202, 1)
        << QStringLiteral("タグ254 書き込み  06 単一レジスタ書込み  アドレス 1202 (41203)  値 1");
    QTest::newRow("answer to function 16")
        << hex("FE 00 00 00 00 06 01 10 05 00 00 02")
        << QStringLiteral("タグ254 書き込み  10 複数レジスタ書込み  アドレス 1280 (41281)  個数 2");
    QTest::newRow("byte count longer than the data")
        << hex("05 00 00 00 00 07 01 04 10 00 01 00 02")
        << QStringLiteral("不完全なフレーム (13 バイト)");
    QTest::newRow("header only")
        << hex("05 00 00 00 00 07 01")
        << QStringLiteral("不完全なフレーム (7 バイト)");
}

void TestDiagModels::answerSummaries()
{
    QFETCH(QByteArray, frame);
    QFETCH(QString, summary);
    QCOMPARE(modbus::answerSummary(frame), summary);
}

void TestDiagModels::truncatedFramesAreNeverReadPast()
{
    // Every prefix of a whole frame decodes as incomplete, and the whole
    // frame as complete. Under AddressSanitizer a read past the bytes fails.
    const QList<QByteArray> requests{modbus::readInputRegistersFrame(0, 44, 32),
                                     modbus::writeSingleRegisterFrame(1203, 1),
                                     modbus::writeSingleCoilFrame(5, 0xFF),
                                     modbus::writeTwoRegistersFrame(1280, 7)};
    const QList<QByteArray> answers{hex("00 00 00 00 00 07 01 04 04 00 01 00 02"),
                                    hex("00 00 00 00 00 03 01 84 02"),
                                    hex("FE 00 00 00 00 06 01 10 05 00 00 02")};
    for (const QByteArray &f : requests) {
        for (qsizetype n = 0; n < f.size(); ++n) {
            QVERIFY2(!modbus::decodeRequest(f.left(n)).complete, qPrintable(modbus::hexBytes(f.left(n))));
            QVERIFY(modbus::requestSummary(f.left(n)).startsWith(QStringLiteral("不完全なフレーム")));
        }
        QVERIFY(modbus::decodeRequest(f).complete);
    }
    for (const QByteArray &f : answers) {
        for (qsizetype n = 0; n < f.size(); ++n)
            QVERIFY2(!modbus::decodeAnswer(f.left(n)).complete, qPrintable(modbus::hexBytes(f.left(n))));
        QVERIFY(modbus::decodeAnswer(f).complete);
    }
}

void TestDiagModels::requestKinds_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("kind");
    using K = modbus::RequestKind;
    const QList<std::pair<int, K>> rows{{0, K::MonitorData},       {20, K::HeaderWords},
                                        {1, K::ModuleInfo},        {3, K::ModuleInfo},
                                        {4, K::Clock},             {5, K::TerminalSettings},
                                        {10, K::CounterReadBack},  {14, K::CounterReadBack},
                                        {254, K::Write},           {30, K::Survey},
                                        {31, K::Survey},           {6, K::Other},
                                        {15, K::Other},            {255, K::Other}};
    for (const auto &[tag, kind] : rows)
        QTest::addRow("tag %d", tag) << tag << int(kind);
}

void TestDiagModels::requestKinds()
{
    QFETCH(int, tag);
    QFETCH(int, kind);
    QCOMPARE(int(modbus::requestKind(uint8_t(tag))), kind);
}

void TestDiagModels::exceptionNames_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("01") << 1 << QStringLiteral("不正ファンクション");
    QTest::newRow("02") << 2 << QStringLiteral("不正データアドレス");
    QTest::newRow("03") << 3 << QStringLiteral("不正データ値");
    QTest::newRow("04") << 4 << QStringLiteral("スレーブ機器異常");
    QTest::newRow("06") << 6 << QStringLiteral("スレーブ機器ビジー");
    QTest::newRow("0A") << 10 << QStringLiteral("ゲートウェイ異常");
    QTest::newRow("0B") << 11 << QStringLiteral("ゲートウェイ異常");
    QTest::newRow("07 has no standard meaning") << 7 << QStringLiteral("不明な例外");
    QTest::newRow("FF") << 255 << QStringLiteral("不明な例外");
}

void TestDiagModels::exceptionNames()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    QCOMPARE(modbus::exceptionName(uint8_t(code)), name);
}

// ---- response times ------------------------------------------------------------

void TestDiagModels::responseTimeFigures_data()
{
    QTest::addColumn<QList<qint64>>("samplesUs");
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("mean");
    QTest::addColumn<QString>("max");
    QTest::addColumn<QString>("p99");
    QList<qint64> ramp;
    for (int ms = 1; ms <= 100; ++ms)
        ramp << ms * 1000;
    QTest::newRow("none") << QList<qint64>{} << "-" << "-" << "-" << "-";
    QTest::newRow("one") << QList<qint64>{50'040} << "50.0" << "50.0" << "50.0" << "50.0";
    QTest::newRow("1 to 100 ms") << ramp << "1.0" << "50.5" << "100.0" << "99.0";
    // 99 fast answers and one slow: the slow one is past the 99th.
    QList<qint64> oneSlow(99, 20'000);
    oneSlow << 900'000;
    QTest::newRow("one slow in a hundred") << oneSlow << "20.0" << "28.8" << "900.0" << "20.0";
    QList<qint64> twoSlow(98, 20'000);
    twoSlow << 900'000 << 950'000;
    QTest::newRow("two slow in a hundred") << twoSlow << "20.0" << "38.1" << "950.0" << "900.0";
    // Within one bucket the percentile never falls below the minimum.
    QTest::newRow("all in one bucket") << QList<qint64>{50'060, 50'070, 50'090} << "50.1" << "50.1"
                                       << "50.1" << "50.1";
    // Past the range (the timeout, here 1000 ms): the percentile is the maximum.
    QTest::newRow("past the range") << QList<qint64>{1'500'000, 2'000'000} << "1500.0" << "1750.0"
                                    << "2000.0" << "2000.0";
    QTest::newRow("negative clock step counts as 0") << QList<qint64>{-5} << "0.0" << "0.0" << "0.0"
                                                     << "0.0";
}

void TestDiagModels::responseTimeFigures()
{
    QFETCH(QList<qint64>, samplesUs);
    ResponseTimes t(1000);
    for (qint64 us : samplesUs)
        t.add(us);
    QCOMPARE(t.count(), samplesUs.size());
    QTEST(msText(t.minUs()), "min");
    QTEST(msText(t.meanUs()), "mean");
    QTEST(msText(t.maxUs()), "max");
    QTEST(msText(t.percentileUs(0.99)), "p99");
}

void TestDiagModels::percentileAgainstSortedSamples()
{
    // Random response times: the percentile from the buckets lies at most
    // one bucket below the exact one of the sorted samples, and the order
    // min <= mean <= max, min <= p99 <= max holds.
    QRandomGenerator rng(12);
    for (int round = 0; round < 20; ++round) {
        ResponseTimes t(1000);
        std::vector<qint64> s;
        const int n = 1 + int(rng.bounded(5000));
        for (int i = 0; i < n; ++i) {
            const qint64 us = 20'000 + qint64(rng.bounded(30'000)) + (i % 97 == 0 ? 400'000 : 0);
            s.push_back(us);
            t.add(us);
        }
        std::sort(s.begin(), s.end());
        const qint64 exact = s[size_t(std::ceil(0.99 * n)) - 1];
        const qint64 p99 = *t.percentileUs(0.99);
        QVERIFY2(p99 <= exact && exact - p99 < ResponseTimes::kBucketUs,
                 qPrintable(QStringLiteral("n %1: %2 against %3").arg(n).arg(p99).arg(exact)));
        QCOMPARE(*t.minUs(), s.front());
        QCOMPARE(*t.maxUs(), s.back());
        QVERIFY(*t.minUs() <= *t.meanUs() && *t.meanUs() <= *t.maxUs());
    }
}

void TestDiagModels::responseTimesMemoryIsBounded()
{
    ResponseTimes t(1000);
    QCOMPARE(t.bucketBytes(), size_t(0));
    t.add(1000);
    const size_t one = t.bucketBytes();
    QVERIFY(one > 0 && one <= (1000 * 10 + 1) * sizeof(uint32_t) + 64);
    for (int i = 0; i < 200'000; ++i)
        t.add(i * 7);
    QCOMPARE(t.bucketBytes(), one);
    t.clear();
    QCOMPARE(t.bucketBytes(), size_t(0));
    QCOMPARE(msText(t.percentileUs(0.99)), QStringLiteral("-"));
}

// ---- statistics ----------------------------------------------------------------

void TestDiagModels::statisticsCountPerKind()
{
    using K = modbus::RequestKind;
    CommStats s(1000);
    s.connected(0);
    // Two monitor ticks (window + header words), one of them answered with
    // an exception, the other's window timing out; a write; a module
    // information read; a late and an unsolicited answer.
    s.requestSent(0, 12);
    s.requestSent(20, 12);
    s.answerMatched(0, 30'000, uint8_t(2));
    s.answerMatched(20, 10'000);
    s.requestSent(0, 12);
    s.requestSent(20, 12);
    s.answerMatched(20, 12'000);
    s.timedOut(0);
    s.requestSent(254, 17);
    s.answerMatched(254, 5'000);
    s.requestSent(2, 12);
    s.answerMatched(2, 8'000, uint8_t(0x0B));
    s.lateAnswer();
    s.unsolicitedAnswer();
    s.bytesReceived(9 + 17 + 17 + 12 + 9);
    s.streamLost();

    QCOMPARE(s.total().requests, 6);
    QCOMPARE(s.total().answers, 5);
    QCOMPARE(s.total().exceptions, 2);
    QCOMPARE(s.total().timeouts, 1);
    QCOMPARE(s.total().times.count(), 5);
    QCOMPARE(msText(s.total().times.minUs()), QStringLiteral("5.0"));
    QCOMPARE(msText(s.total().times.maxUs()), QStringLiteral("30.0"));
    const KindStats &mon = s.kind(K::MonitorData);
    QCOMPARE(mon.requests, 2);
    QCOMPARE(mon.answers, 1);
    QCOMPARE(mon.exceptions, 1);
    QCOMPARE(mon.timeouts, 1);
    QCOMPARE(msText(mon.times.meanUs()), QStringLiteral("30.0"));
    const KindStats &hdr = s.kind(K::HeaderWords);
    QCOMPARE(hdr.requests, 2);
    QCOMPARE(hdr.answers, 2);
    QCOMPARE(msText(hdr.times.meanUs()), QStringLiteral("11.0"));
    QCOMPARE(s.kind(K::Write).answers, 1);
    QCOMPARE(s.kind(K::ModuleInfo).exceptions, 1);
    QCOMPARE(s.kind(K::Clock).requests, 0);
    QCOMPARE(msText(s.kind(K::Clock).times.percentileUs(0.99)), QStringLiteral("-"));
    QCOMPARE(s.exceptionsWithCode(2), 1);
    QCOMPARE(s.exceptionsWithCode(0x0B), 1);
    QCOMPARE(s.exceptionsWithCode(4), 0);
    QCOMPARE(s.late(), 1);
    QCOMPARE(s.unsolicited(), 1);
    QCOMPARE(s.bytesSent(), 12 * 5 + 17);
    QCOMPARE(s.bytesReceived(), 64);
    QCOMPARE(s.resyncs(), 1);
    // Every kind: requests = answers + timeouts (nothing left in flight).
    for (int k = 0; k < modbus::kRequestKinds; ++k) {
        const KindStats &ks = s.kind(K(k));
        QCOMPARE(ks.requests, ks.answers + ks.timeouts);
    }
}

void TestDiagModels::statisticsResetAndTimeConnected()
{
    CommStats s(1000);
    QCOMPARE(s.connectedMs(5000), 0);
    s.connected(1000);
    QCOMPARE(s.connectedMs(4500), 3500);
    s.disconnected(5000);
    QCOMPARE(s.connectedMs(9000), 4000);  // no time runs while closed
    s.connected(10'000);
    QCOMPARE(s.connectedMs(12'000), 6000);
    QCOMPARE(connectedTimeText(s.connectedMs(3'729'000)), QStringLiteral("1:02:03"));

    s.requestSent(0, 12);
    s.answerMatched(0, 50'000, uint8_t(6));
    s.reset(20'000, 500);
    QCOMPARE(s.total().requests, 0);
    QCOMPARE(s.total().answers, 0);
    QCOMPARE(s.exceptionsWithCode(6), 0);
    QCOMPARE(msText(s.total().times.minUs()), QStringLiteral("-"));
    QCOMPARE(s.total().times.rangeMs(), 500);
    // The open connection counts again from the reset.
    QVERIFY(s.isConnected());
    QCOMPARE(s.connectedMs(21'000), 1000);
}

// ---- traffic ---------------------------------------------------------------------

void TestDiagModels::trafficRingKeepsTheNewest()
{
    TrafficLog log(3);
    for (int i = 0; i < 5; ++i)
        log.append(TrafficEntry{i, TrafficEntry::Sent, TrafficEntry::Plain, -1,
                                modbus::readInputRegistersFrame(uint8_t(i), 0, 1)});
    QCOMPARE(log.size(), 3);
    QCOMPARE(log.appended(), 5);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(log.at(i).timeMs, i + 2);  // oldest first
    log.clear();
    QCOMPARE(log.size(), 0);
    QCOMPARE(log.appended(), 0);
    log.append(TrafficEntry{9, TrafficEntry::Received, TrafficEntry::Plain, -1, {}});
    QCOMPARE(log.size(), 1);
    QCOMPARE(log.at(0).timeMs, 9);
    QCOMPARE(TrafficLog().capacity(), 10000);
}

void TestDiagModels::trafficRows_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("note");
    QTest::addColumn<qint64>("elapsedUs");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("hexText");
    QTest::addColumn<QString>("summary");
    const QByteArray read = modbus::readInputRegistersFrame(0, 44, 32);
    QTest::newRow("request") << int(TrafficEntry::Sent) << int(TrafficEntry::Plain) << qint64(-1) << read
                             << "送信" << "00 00 00 00 00 06 01 04 00 2C 00 20"
                             << "タグ0 モニターデータ  04 入力レジスタ読出し  アドレス 44 (30045)  個数 32";
    QTest::newRow("answer with its time")
        << int(TrafficEntry::Received) << int(TrafficEntry::Plain) << qint64(51'270)
        << hex("14 00 00 00 00 05 01 04 02 00 07") << "受信" << "14 00 00 00 00 05 01 04 02 00 07"
        << "タグ20 ヘッダーワード  04 入力レジスタ読出し  2 バイト  51.3 ms";
    QTest::newRow("exception")
        << int(TrafficEntry::Received) << int(TrafficEntry::Plain) << qint64(2'000)
        << hex("00 00 00 00 00 03 01 84 04") << "受信" << "00 00 00 00 00 03 01 84 04"
        << "タグ0 モニターデータ  例外 04 スレーブ機器異常  (04 入力レジスタ読出し の例外応答)  2.0 ms";
    QTest::newRow("timeout") << int(TrafficEntry::Timeout) << int(TrafficEntry::Plain) << qint64(1'000'000)
                             << QByteArray() << "-" << ""
                             << "タイムアウト (1000.0 ms 応答なし)  タグ0 モニターデータ  04 入力レジスタ読出し  "
                                "アドレス 44 (30045)  個数 32";
    QTest::newRow("late answer")
        << int(TrafficEntry::Received) << int(TrafficEntry::Late) << qint64(-1)
        << hex("00 00 00 00 00 05 01 04 02 00 07") << "受信" << "00 00 00 00 00 05 01 04 02 00 07"
        << "タグ0 モニターデータ  04 入力レジスタ読出し  2 バイト  (タイムアウト後の応答)";
    QTest::newRow("unsolicited answer")
        << int(TrafficEntry::Received) << int(TrafficEntry::Unsolicited) << qint64(-1)
        << hex("09 00 00 00 00 05 01 04 02 00 07") << "受信" << "09 00 00 00 00 05 01 04 02 00 07"
        << "タグ9 その他  04 入力レジスタ読出し  2 バイト  (該当する要求なし)";
    QTest::newRow("lost framing, bytes unknown")
        << int(TrafficEntry::LostFraming) << int(TrafficEntry::Plain) << qint64(-1) << QByteArray() << "受信" << ""
        << "受信データの区切りが失われました (受信済みのデータを破棄)";
    QTest::newRow("lost framing") << int(TrafficEntry::LostFraming) << int(TrafficEntry::Plain) << qint64(-1)
                                  << hex("00 00 12 34 00 05") << "受信" << "00 00 12 34 00 05"
                                  << "受信データの区切りが失われました (6 バイト破棄)";
}

void TestDiagModels::trafficRows()
{
    QFETCH(int, kind);
    QFETCH(int, note);
    QFETCH(qint64, elapsedUs);
    QFETCH(QByteArray, bytes);
    const QDateTime at(QDate(2026, 12, 8), QTime(9, 5, 7, 42));
    TrafficEntry e{at.toMSecsSinceEpoch(), TrafficEntry::Kind(kind), TrafficEntry::Note(note), elapsedUs, bytes};
    if (e.kind == TrafficEntry::Timeout) {  // the request as the link's transaction names it
        e.tag = 0;
        e.function = 4;
        e.address = 44;
        e.count = 32;
    }
    QCOMPARE(trafficText(e, TrafficColumn::Time), QStringLiteral("09:05:07.042"));
    QTEST(trafficText(e, TrafficColumn::Direction), "direction");
    QTEST(trafficText(e, TrafficColumn::Bytes), "hexText");
    QTEST(trafficText(e, TrafficColumn::Summary), "summary");
    QCOMPARE(e.isException(), QTest::currentDataTag() == QLatin1String("exception"));
}

void TestDiagModels::savedTrafficText()
{
    TrafficLog log(2);
    const qint64 t0 = QDateTime(QDate(2026, 12, 8), QTime(23, 59, 59, 999)).toMSecsSinceEpoch();
    log.append(TrafficEntry{t0 - 5, TrafficEntry::Sent, TrafficEntry::Plain, -1,
                            modbus::writeSingleCoilFrame(5, 0)});  // falls off
    log.append(TrafficEntry{t0, TrafficEntry::Sent, TrafficEntry::Plain, -1,
                            modbus::writeSingleCoilFrame(5, 0xFF)});
    log.append(TrafficEntry{t0 + 3, TrafficEntry::Received, TrafficEntry::Plain, 3'000,
                            modbus::writeSingleCoilFrame(5, 0xFF)});
    const QString text = trafficFileText(log);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 4);  // header, two entries, and the empty tail after the last CR LF
    QCOMPARE(lines[0], QStringLiteral("時刻\t方向\tデータ (16進)\t内容"));
    QCOMPARE(lines[1], QStringLiteral("23:59:59.999\t送信\tFE 00 00 00 00 06 01 05 00 05 FF 00\t"
                                      "タグ254 書き込み  05 単一コイル書込み  コイル 5 (00006)  ON"));
    QCOMPARE(lines[2].section(u'\t', 0, 1), QStringLiteral("00:00:00.002\t受信"));
    QVERIFY(lines[2].endsWith(QStringLiteral("ON  3.0 ms")));
    QCOMPARE(lines[3], QString());
    QVERIFY(!text.contains(QStringLiteral("OFF")));
}

// ---- reconnect ---------------------------------------------------------------------

void TestDiagModels::reconnectBackOff_data()
{
    QTest::addColumn<int>("attempt");
    QTest::addColumn<qint64>("delayMs");
    const QList<std::pair<int, qint64>> rows{{1, 1000},  {2, 2000},  {3, 4000},   {4, 8000},
                                             {5, 16000}, {6, 30000}, {7, 30000},  {1000, 30000}};
    for (const auto &[a, d] : rows)
        QTest::addRow("attempt %d", a) << a << d;
}

void TestDiagModels::reconnectBackOff()
{
    QFETCH(int, attempt);
    QTEST(qint64(reconnectDelayMs(attempt)), "delayMs");
}

void TestDiagModels::noAnswerTexts_data()
{
    QTest::addColumn<qint64>("ms");  // -1: no answer yet
    QTest::addColumn<QString>("text");
    QTest::newRow("none yet") << qint64(-1) << QStringLiteral("応答なし (応答を受信していません)");
    QTest::newRow("0.4 s") << qint64(450) << QStringLiteral("応答なし (最後の応答から 0.4 秒)");
    QTest::newRow("12.0 s") << qint64(12'000) << QStringLiteral("応答なし (最後の応答から 12.0 秒)");
    QTest::newRow("an hour") << qint64(3'600'099) << QStringLiteral("応答なし (最後の応答から 3600.0 秒)");
}

void TestDiagModels::noAnswerTexts()
{
    QFETCH(qint64, ms);
    QTEST(monitor::noAnswerText(ms < 0 ? std::nullopt : std::optional<int64_t>(ms)), "text");
}

QTEST_GUILESS_MAIN(TestDiagModels)
#include "test_diag_models.moc"
