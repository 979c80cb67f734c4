// The statistics and traffic windows driven through their input slots, with
// no link: what they count and show, their refresh only while shown, the
// ring and the list, pause, clear and save.
#include "app/MessageBoxes.h"
#include "diag/TfrmCommStats.h"
#include "diag/TfrmTraffic.h"
#include "link/ModbusFrames.h"
#include "support/Controls.h"
#include "support/TmpfsMount.h"
#include <QAbstractItemModel>
#include <QApplication>
#include <QBrush>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QByteArray hex(const char *s)
{
    return QByteArray::fromHex(QByteArray(s).replace(' ', ""));
}

QByteArray readAnswer(uint8_t tag, int registers)
{
    QByteArray a = hex("00 00 00 00 00 00 01 04");
    a[0] = char(tag);
    a[5] = char(3 + 2 * registers);
    a += char(2 * registers);
    a += QByteArray(2 * registers, '\x01');
    return a;
}

QByteArray exceptionAnswer(uint8_t tag, uint8_t function, uint8_t code)
{
    QByteArray a = hex("00 00 00 00 00 03 01 00 00");
    a[0] = char(tag);
    a[7] = char(function | 0x80);
    a[8] = char(code);
    return a;
}

modbus::Transaction request(uint8_t tag, uint8_t function, uint16_t address, uint16_t count,
                            int64_t timeoutUs = 1'000'000)
{
    modbus::Transaction t;
    t.tag = tag;
    t.transactionId = uint16_t(tag << 8);
    t.function = function;
    t.address = address;
    t.count = count;
    t.sentUs = 5'000'000;
    t.deadlineUs = t.sentUs + timeoutUs;
    return t;
}

modbus::AnswerMatch match(modbus::AnswerKind kind, int64_t responseUs)
{
    modbus::AnswerMatch m;
    m.kind = kind;
    m.responseUs = responseUs;
    return m;
}

QString text(QWidget *w, const char *name)
{
    auto *l = w->findChild<QLabel *>(QLatin1String(name));
    return l ? l->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

QString cell(QTableWidget *t, int row, int column)
{
    const QTableWidgetItem *i = t->item(row, column);
    return i ? i->text() : QString();
}

} // namespace

class TestDiagWindows : public QObject {
    Q_OBJECT
private slots:
    void init();
    void statisticsShowWhatCame();
    void statisticsRefreshOnlyWhileShown();
    void statisticsExceptionCodes();
    void statisticsResetAndAutomaticReconnect();
    void trafficRowsAndColours();
    void trafficRingAndFollowingTheEnd();
    void trafficPauseAndClear();
    void trafficSave();
    void trafficSaveOnAFullDisk();

private:
    QList<msg::Shown> m_messages;
};

void TestDiagWindows::init()
{
    m_messages.clear();
    msg::setMessageBoxHook([this](const msg::Shown &m) {
        m_messages << m;
        return true;
    });
}

void TestDiagWindows::statisticsShowWhatCame()
{
    TfrmCommStats w;
    w.onConnected();
    w.refresh();
    for (const char *name : {"stStatRespMin", "stStatRespAvg", "stStatRespMax", "stStatRespP99"})
        QCOMPARE(text(&w, name), QStringLiteral("-"));
    QCOMPARE(text(&w, "stStatRequests"), QStringLiteral("0"));

    // Three monitor ticks: answers at 20 and 40 ms, one exception at 30 ms,
    // the third window timed out; header words at 10 ms each; one write.
    const QByteArray window = modbus::readInputRegistersFrame(0, 44, 32);
    const QByteArray header = modbus::readInputRegistersFrame(20, 44, 4);
    for (int i = 0; i < 3; ++i) {
        w.onRequestSent(window);
        w.onRequestSent(header);
        w.onAnswer(readAnswer(20, 4), 10'000);
    }
    w.onAnswer(readAnswer(0, 32), 20'000);
    w.onAnswer(exceptionAnswer(0, 4, 2), 30'000);
    w.onTimeout(0);
    w.onRequestSent(modbus::writeSingleRegisterFrame(1203, 1));
    // As the link hands them over: matched, late, unsolicited.
    w.onAnswerReceived(modbus::writeSingleRegisterFrame(1203, 1), match(modbus::AnswerKind::Matched, 40'000));
    w.onAnswerReceived(readAnswer(0, 32), match(modbus::AnswerKind::Late, 1'200'000));
    w.onAnswerReceived(readAnswer(9, 1), match(modbus::AnswerKind::Unsolicited, 0));
    w.onBytesReceived(500);
    w.onStreamLost();
    w.refresh();

    QCOMPARE(text(&w, "stStatRequests"), QStringLiteral("7"));
    QCOMPARE(text(&w, "stStatAnswers"), QStringLiteral("6"));
    QCOMPARE(text(&w, "stStatExceptions"), QStringLiteral("1"));
    QCOMPARE(text(&w, "stStatTimeouts"), QStringLiteral("1"));
    QCOMPARE(text(&w, "stStatLate"), QStringLiteral("1"));
    QCOMPARE(text(&w, "stStatUnsolicited"), QStringLiteral("1"));
    QCOMPARE(text(&w, "stStatResync"), QStringLiteral("1"));
    QCOMPARE(text(&w, "stStatBytesSent"), QString::number(7 * 12));
    QCOMPARE(text(&w, "stStatBytesReceived"), QStringLiteral("500"));
    QCOMPARE(text(&w, "stStatRespMin"), QStringLiteral("10.0"));
    QCOMPARE(text(&w, "stStatRespAvg"), QStringLiteral("20.0"));  // (3×10 + 20 + 30 + 40) / 6
    QCOMPARE(text(&w, "stStatRespMax"), QStringLiteral("40.0"));
    QCOMPARE(text(&w, "stStatRespP99"), QStringLiteral("40.0"));

    auto *grid = w.findChild<QTableWidget *>(QStringLiteral("gridStats"));
    QVERIFY(grid);
    QCOMPARE(grid->columnCount(), 8);
    struct Row { const char *kind; QStringList cells; };
    const QList<Row> rows{
        {"モニターデータ", {"3", "2", "1", "1", "20.0", "25.0", "30.0", "30.0"}},
        {"ヘッダーワード", {"3", "3", "0", "0", "10.0", "10.0", "10.0", "10.0"}},
        {"モジュール情報", {"0", "0", "0", "0", "-", "-", "-", "-"}},
        {"書き込み", {"1", "1", "0", "0", "40.0", "40.0", "40.0", "40.0"}},
    };
    for (const Row &r : rows) {
        int at = -1;
        for (int i = 0; i < grid->rowCount(); ++i)
            if (grid->verticalHeaderItem(i)->text() == QString::fromUtf8(r.kind))
                at = i;
        QVERIFY2(at >= 0, r.kind);
        QStringList got;
        for (int c = 0; c < grid->columnCount(); ++c)
            got << cell(grid, at, c);
        QCOMPARE(got, r.cells);
    }
    // The kinds of the tool are listed; "一括点検" and "その他" only once
    // they were used.
    QStringList shown;
    for (int i = 0; i < grid->rowCount(); ++i)
        if (!grid->isRowHidden(i))
            shown << grid->verticalHeaderItem(i)->text();
    QCOMPARE(shown, (QStringList{"モニターデータ", "ヘッダーワード", "モジュール情報", "時計", "ターミナル設定",
                                 "カウンター読み返し", "書き込み"}));
    w.onRequestSent(modbus::readInputRegistersFrame(modbus::kSurveyTag, 0, 1));
    w.refresh();
    QVERIFY(!grid->isRowHidden(int(modbus::RequestKind::Survey)));
    QVERIFY(grid->isRowHidden(int(modbus::RequestKind::Other)));
    w.onRequestSent(modbus::readInputRegistersFrame(7, 0, 1));
    w.refresh();
    QVERIFY(!grid->isRowHidden(int(modbus::RequestKind::Other)));
}

void TestDiagWindows::statisticsRefreshOnlyWhileShown()
{
    TfrmCommStats w;
    w.onConnected();
    w.onRequestSent(modbus::readInputRegistersFrame(0, 44, 32));
    // Hidden: the count happens, the texts wait.
    QTest::qWait(3 * TfrmCommStats::kRefreshMs);
    QCOMPARE(text(&w, "stStatRequests"), QStringLiteral("0"));
    QCOMPARE(w.stats().total().requests, 1);
    w.show();
    QCOMPARE(text(&w, "stStatRequests"), QStringLiteral("1"));  // at once when shown
    w.onRequestSent(modbus::readInputRegistersFrame(0, 44, 32));
    QTRY_COMPARE(text(&w, "stStatRequests"), QStringLiteral("2"));
    w.hide();
    w.onRequestSent(modbus::readInputRegistersFrame(0, 44, 32));
    QTest::qWait(3 * TfrmCommStats::kRefreshMs);
    QCOMPARE(text(&w, "stStatRequests"), QStringLiteral("2"));
}

void TestDiagWindows::statisticsExceptionCodes()
{
    TfrmCommStats w;
    w.onConnected();
    for (uint8_t code : {2, 2, 0x0B, 7})
        w.onAnswer(exceptionAnswer(0, 4, code), 5'000);
    w.onAnswer(exceptionAnswer(254, 6, 4), 5'000);
    w.refresh();
    auto *codes = w.findChild<QTableWidget *>(QStringLiteral("gridExceptions"));
    QVERIFY(codes);
    QMap<QString, QStringList> byCode;
    for (int r = 0; r < codes->rowCount(); ++r)
        byCode[cell(codes, r, 0)] = QStringList{cell(codes, r, 1), cell(codes, r, 2)};
    QCOMPARE(byCode.value("01"), (QStringList{"不正ファンクション", "0"}));
    QCOMPARE(byCode.value("02"), (QStringList{"不正データアドレス", "2"}));
    QCOMPARE(byCode.value("03"), (QStringList{"不正データ値", "0"}));
    QCOMPARE(byCode.value("04"), (QStringList{"スレーブ機器異常", "1"}));
    QCOMPARE(byCode.value("06"), (QStringList{"スレーブ機器ビジー", "0"}));
    QCOMPARE(byCode.value("0A"), (QStringList{"ゲートウェイ異常", "0"}));
    QCOMPARE(byCode.value("0B"), (QStringList{"ゲートウェイ異常", "1"}));
    QCOMPARE(byCode.value("07"), (QStringList{"不明な例外", "1"}));  // listed once it occurred
    QCOMPARE(codes->rowCount(), 10);
    QCOMPARE(text(&w, "stStatExceptions"), QStringLiteral("5"));
    QCOMPARE(text(&w, "stStatAnswers"), QStringLiteral("5"));
}

void TestDiagWindows::statisticsResetAndAutomaticReconnect()
{
    TfrmCommStats w;
    w.onConnected();
    w.onRequestSent(modbus::readInputRegistersFrame(0, 44, 32));
    w.onAnswer(readAnswer(0, 32), 12'000);
    // A connection that came back by itself goes on counting.
    w.onDisconnected();
    w.onConnected(true);
    w.refresh();
    QCOMPARE(text(&w, "stStatAnswers"), QStringLiteral("1"));
    QCOMPARE(text(&w, "stStatReconnects"), QStringLiteral("1"));
    // リセット empties the figures.
    w.findChild<QPushButton *>(QStringLiteral("btnStatsReset"))->click();
    QCOMPARE(text(&w, "stStatRequests"), QStringLiteral("0"));
    QCOMPARE(text(&w, "stStatRespMin"), QStringLiteral("-"));
    QCOMPARE(text(&w, "stStatReconnects"), QStringLiteral("0"));
    // So does a connection the user opens.
    w.onAnswer(readAnswer(0, 32), 12'000);
    w.onDisconnected();
    w.onConnected();
    w.refresh();
    QCOMPARE(text(&w, "stStatAnswers"), QStringLiteral("0"));
}

void TestDiagWindows::trafficRowsAndColours()
{
    TfrmTraffic w;
    w.show();
    const QByteArray window = modbus::readInputRegistersFrame(0, 44, 32);
    w.onRequestSent(window);
    w.onAnswer(readAnswer(0, 32), 21'000);
    w.onRequestSent(window);
    w.onAnswer(exceptionAnswer(0, 4, 2), 3'000);
    w.onRequestSent(window);
    w.onTimeout(request(0, 4, 44, 32));
    w.onStreamLost();
    w.onAnswerReceived(readAnswer(0, 32), match(modbus::AnswerKind::Late, 1'250'000));
    w.onAnswerReceived(readAnswer(9, 1), match(modbus::AnswerKind::Unsolicited, 0));
    auto *list = w.findChild<QTableView *>(QStringLiteral("TrafficList"));
    QVERIFY(list);
    QAbstractItemModel *m = list->model();
    QTRY_COMPARE(m->rowCount(), 9);
    auto at = [m](int r, int c) { return m->data(m->index(r, c)).toString(); };
    QCOMPARE(at(0, 1), QStringLiteral("送信"));
    QCOMPARE(at(0, 2), QStringLiteral("00 00 00 00 00 06 01 04 00 2C 00 20"));
    QCOMPARE(at(1, 1), QStringLiteral("受信"));
    QVERIFY(at(1, 3).endsWith(QStringLiteral("64 バイト  21.0 ms")));
    QVERIFY(at(3, 3).contains(QStringLiteral("例外 02 不正データアドレス")));
    QVERIFY(at(5, 3).startsWith(QStringLiteral("タイムアウト (1000.0 ms 応答なし)")));
    QCOMPARE(at(5, 2), QString());
    QVERIFY(at(6, 3).startsWith(QStringLiteral("受信データの区切りが失われました")));
    QVERIFY(at(7, 3).endsWith(QStringLiteral("64 バイト  1250.0 ms  (タイムアウト後の応答)")));
    QVERIFY(at(8, 3).endsWith(QStringLiteral("(該当する要求なし)")));
    // Exception, timeout and lost framing each stand out, from the plain
    // rows and from each other.
    auto bg = [m](int r) { return m->data(m->index(r, 3), Qt::BackgroundRole).value<QBrush>().color(); };
    QVERIFY(!m->data(m->index(0, 3), Qt::BackgroundRole).isValid());
    QVERIFY(!m->data(m->index(1, 3), Qt::BackgroundRole).isValid());
    const QSet<QRgb> marked{bg(3).rgb(), bg(5).rgb(), bg(6).rgb()};
    QCOMPARE(marked.size(), 3);
    for (int r : {3, 5, 6})
        QVERIFY(bg(r).isValid() && bg(r) != list->palette().color(QPalette::Base));
    QVERIFY(QTime::fromString(at(0, 0), QStringLiteral("hh:mm:ss.zzz")).isValid());
}

void TestDiagWindows::trafficRingAndFollowingTheEnd()
{
    TfrmTraffic w(nullptr, 50);
    w.resize(700, 300);
    w.show();
    auto *list = w.findChild<QTableView *>(QStringLiteral("TrafficList"));
    QAbstractItemModel *m = list->model();
    for (int i = 0; i < 120; ++i)
        w.onRequestSent(modbus::readInputRegistersFrame(0, uint32_t(i), 1));
    w.refresh();
    // The newest 50 are kept, oldest first.
    QCOMPARE(m->rowCount(), 50);
    QVERIFY(m->data(m->index(0, 3)).toString().contains(QStringLiteral("アドレス 70 ")));
    QVERIFY(m->data(m->index(49, 3)).toString().contains(QStringLiteral("アドレス 119 ")));
    QScrollBar *bar = list->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());  // follows the end
    w.onRequestSent(modbus::readInputRegistersFrame(0, 500, 1));
    w.refresh();
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(m->data(m->index(49, 3)).toString().contains(QStringLiteral("アドレス 500 ")));
    // Scrolled up, the list stays where the user put it.
    bar->setValue(0);
    for (int i = 0; i < 3; ++i)
        w.onRequestSent(modbus::readInputRegistersFrame(0, uint32_t(600 + i), 1));
    w.refresh();
    QCOMPARE(bar->value(), 0);
    QCOMPARE(m->rowCount(), 50);
    // More than the ring holds between two refreshes.
    for (int i = 0; i < 200; ++i)
        w.onRequestSent(modbus::readInputRegistersFrame(0, uint32_t(1000 + i), 1));
    w.refresh();
    QCOMPARE(m->rowCount(), 50);
    QVERIFY(m->data(m->index(0, 3)).toString().contains(QStringLiteral("アドレス 1150 ")));
}

void TestDiagWindows::trafficPauseAndClear()
{
    TfrmTraffic w;
    w.show();
    auto *list = w.findChild<QTableView *>(QStringLiteral("TrafficList"));
    auto *pause = w.findChild<QPushButton *>(QStringLiteral("btnTrafficPause"));
    QVERIFY(pause);
    w.onRequestSent(modbus::readInputRegistersFrame(0, 1, 1));
    pause->click();
    QCOMPARE(pause->text(), QStringLiteral("再開"));
    w.onRequestSent(modbus::readInputRegistersFrame(0, 2, 1));
    w.onAnswer(readAnswer(0, 1), 1000);
    w.refresh();
    QCOMPARE(list->model()->rowCount(), 1);
    QVERIFY(text(&w, "stTrafficCount").contains(QStringLiteral("2 件を記録せず")));
    pause->click();
    QCOMPARE(pause->text(), QStringLiteral("一時停止"));
    w.onRequestSent(modbus::readInputRegistersFrame(0, 3, 1));
    w.refresh();
    QCOMPARE(list->model()->rowCount(), 2);
    QVERIFY(list->model()->data(list->model()->index(1, 3)).toString().contains(QStringLiteral("アドレス 3 ")));
    w.findChild<QPushButton *>(QStringLiteral("btnTrafficClear"))->click();
    QCOMPARE(list->model()->rowCount(), 0);
    QCOMPARE(w.log().size(), 0);
    w.onRequestSent(modbus::readInputRegistersFrame(0, 4, 1));
    w.refresh();
    QCOMPARE(list->model()->rowCount(), 1);
}

void TestDiagWindows::trafficSave()
{
    QTemporaryDir dir;
    TfrmTraffic w;
    w.onRequestSent(modbus::writeSingleCoilFrame(5, 0xFF));
    w.onAnswer(exceptionAnswer(254, 5, 2), 4'000);
    w.onTimeout(request(4, 4, 160, 4));
    const QString target = dir.filePath(QStringLiteral("traffic"));
    QString suffix;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->objectName(), QStringLiteral("TrafficSaveDialog"));
        suffix = dialog->defaultSuffix();
        controls::chooseFile(dialog, target);
    });
    w.findChild<QPushButton *>(QStringLiteral("btnTrafficSave"))->click();
    QCOMPARE(suffix, QStringLiteral("txt"));
    QFile f(target + QStringLiteral(".txt"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLocal8Bit(f.readAll()).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0].count(u'\t'), 3);
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(lines[i].split(u'\t').size(), 4);
    QCOMPARE(lines[1].section(u'\t', 1, 2), QStringLiteral("送信\tFE 00 00 00 00 06 01 05 00 05 FF 00"));
    QVERIFY(lines[2].section(u'\t', 3).contains(QStringLiteral("例外 02 不正データアドレス")));
    QCOMPARE(lines[3].section(u'\t', 1, 2), QStringLiteral("-\t"));
    QVERIFY(lines[3].section(u'\t', 3).contains(QStringLiteral("タグ4 時計")));
    QCOMPARE(lines[4], QString());
    QVERIFY(m_messages.isEmpty());
}

void TestDiagWindows::trafficSaveOnAFullDisk()
{
    TmpfsMount disk(16);
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.problem()));
    const QString target = disk.path() + QStringLiteral("traffic.txt");
    {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents\r\n");
    }
    TfrmTraffic w;
    for (int i = 0; i < 2000; ++i)  // far more than 16 KiB of text
        w.onRequestSent(modbus::readInputRegistersFrame(0, uint32_t(i), 64));
    QString error;
    QVERIFY(!w.saveTo(target, &error));
    QVERIFY(error.contains(target));
    // The old file stands as it was, and nothing else is left behind.
    QFile old(target);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old contents\r\n"));
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"traffic.txt"});
}

QTEST_MAIN(TestDiagWindows)
#include "test_diag_windows.moc"
