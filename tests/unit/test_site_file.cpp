// The installation file: what it reads, that it writes back the keys it does
// not know, what it refuses (naming the file and the line or the terminal,
// loading nothing), and that a failed save leaves the old file as it was.
#include "monitor/SiteFile.h"
#include "support/TmpfsMount.h"
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Every level carries a key of another tool's, some nested.
const QByteArray kWithForeignKeys = R"({
  "format": "rmtool-site/1",
  "name": "Panel 3, line B",
  "commissioned": {"by": "K. Sato", "on": "2026-03-02"},
  "gateway": {"host": "127.0.0.1", "port": 502, "vlan": 12},
  "terminals": [
    {"address": 0, "type": 0, "name": "Furnace", "serial": "TC-77A",
     "channels": [{"channel": 1, "tag": "TC-101", "min": 30, "max": 40, "colour": "red"},
                  {"channel": 7, "tag": "TC-107", "max": 412.5}]},
    {"address": 12, "type": 3, "name": "Feeder 1", "notes": ["checked", 3]}
  ]
})";

} // namespace

class TestSiteFile : public QObject {
    Q_OBJECT
private slots:
    void roundTripKeepsForeignKeys();
    void refusals_data();
    void refusals();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
};

void TestSiteFile::roundTripKeepsForeignKeys()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("panel.rmsite"));
    QString error;
    const auto s = site::fromBytes(kWithForeignKeys, path, &error);
    QVERIFY2(s, qPrintable(error));
    QVERIFY2(site::write(path, *s, &error), qPrintable(error));
    // The same content as the file that was read, whatever the key order.
    QCOMPARE(QJsonDocument::fromJson(readBytes(path)), QJsonDocument::fromJson(kWithForeignKeys));
    const auto again = site::read(path, &error);
    QVERIFY2(again, qPrintable(error));
    QCOMPARE(*again, *s);
    const site::Channel *c7 = again->terminalAt(0)->channelAt(7);
    QVERIFY(c7 && !c7->min && *c7->max == 412.5);
    // Tags by box position, only for the terminal of that address and type.
    QCOMPARE(site::tagsOf(*again, 0, 0)[1], QStringLiteral("TC-101"));
    QVERIFY(site::tagsOf(*again, 0, 1)[1].isEmpty());

    // A changed model keeps its foreign keys as well.
    site::Site changed = *s;
    changed.terminals[1].channels << site::Channel{3, QStringLiteral("P-3"), 0.0, std::nullopt, {}};
    changed.gateway.reset();
    QVERIFY2(site::write(path, changed, &error), qPrintable(error));
    const auto third = site::read(path, &error);
    QVERIFY2(third, qPrintable(error));
    QCOMPARE(*third, changed);
    QCOMPARE(third->terminals[1].extra.value(QStringLiteral("notes")).toArray().size(), 2);
    QVERIFY(third->extra.contains(QStringLiteral("commissioned")));
}

void TestSiteFile::refusals_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("names");  // what the message must name besides the file

    const auto terminals = [](const char *list) {
        return QByteArray("{\"format\": \"rmtool-site/1\", \"name\": \"x\",\n \"terminals\": [\n") + list + "]}";
    };
    QTest::newRow("does not parse") << QByteArray("{\"format\": \"rmtool-site/1\",\n\"name\": \"x\",\n\"terminals\": [,]}")
                                    << "の 3 行目";
    QTest::newRow("cut off") << QByteArray("{\"format\": \"rmtool-site/1\",\n\n\n\"terminals\": [") << "の 4 行目";
    QTest::newRow("not an object") << QByteArray("[1, 2]") << "JSON オブジェクト";
    QTest::newRow("format missing") << QByteArray("{\"terminals\": []}") << "\"format\"";
    QTest::newRow("terminals missing") << QByteArray("{\"format\": \"rmtool-site/1\"}") << "\"terminals\"";
    QTest::newRow("gateway port is text")
        << QByteArray("{\"format\": \"rmtool-site/1\", \"gateway\": {\"host\": \"h\", \"port\": \"502\"}, \"terminals\": []}")
        << "gateway: \"port\"";
    QTest::newRow("gateway port out of range")
        << QByteArray("{\"format\": \"rmtool-site/1\", \"gateway\": {\"host\": \"h\", \"port\": 70000}, \"terminals\": []}")
        << "70000";
    QTest::newRow("address out of range")
        << terminals("{\"address\": 0, \"type\": 0}, {\"address\": 64, \"type\": 0}")
        << "2 番目のターミナル (アドレス 64)";
    QTest::newRow("address not whole")
        << terminals("{\"address\": 12.5, \"type\": 3}") << "1 番目のターミナル: \"address\"";
    QTest::newRow("type out of range")
        << terminals("{\"address\": 4, \"type\": 1}, {\"address\": 12, \"type\": 13}")
        << "2 番目のターミナル (アドレス 12)";
    QTest::newRow("name not text")
        << terminals("{\"address\": 12, \"type\": 3, \"name\": 7}") << "(アドレス 12): \"name\"";
    QTest::newRow("channel out of range")
        << terminals("{\"address\": 8, \"type\": 2, \"channels\": [{\"channel\": 32, \"tag\": \"C\"}]}")
        << "1 番目のターミナル (アドレス 8): チャンネル 32";
    QTest::newRow("channel listed twice")
        << terminals("{\"address\": 8, \"type\": 2, \"channels\": [{\"channel\": 3}, {\"channel\": 3}]}")
        << "(アドレス 8): チャンネル 3";
    QTest::newRow("min as text")
        << terminals("{\"address\": 8, \"type\": 2, \"channels\": [{\"channel\": 3, \"min\": \"0\"}]}")
        << "(アドレス 8): 1 番目のチャンネル: \"min\"";
    QTest::newRow("min above max")
        << terminals("{\"address\": 0, \"type\": 0, \"channels\": [{\"channel\": 1, \"min\": 40, \"max\": 30}]}")
        << "(アドレス 0): チャンネル 1";
    QTest::newRow("two terminals at one address")
        << terminals("{\"address\": 12, \"type\": 3}, {\"address\": 4, \"type\": 1}, {\"address\": 12, \"type\": 6}")
        << "3 番目のターミナル (アドレス 12)";
}

void TestSiteFile::refusals()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, names);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("refused.rmsite"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(json);
    f.close();
    QString error;
    QVERIFY(!site::read(path, &error));
    QVERIFY2(error.startsWith(path), qPrintable(error));
    QVERIFY2(error.contains(names), qPrintable(error));
}

void TestSiteFile::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("missing folder") << "missing folder";
    QTest::newRow("refused site over an old file") << "refused";
    QTest::newRow("full disk over an old file") << "full disk";
}

void TestSiteFile::failedWriteKeepsTheOldFile()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    std::unique_ptr<TmpfsMount> disk;
    QString folder = dir.path() + u'/';
    if (how == QLatin1String("full disk")) {
        disk = std::make_unique<TmpfsMount>(64);
        if (!disk->isMounted())
            QSKIP(qPrintable(disk->problem()));
        folder = disk->path();
    }
    QString error;
    auto s = site::fromBytes(kWithForeignKeys, QStringLiteral("a"), &error);
    QVERIFY(s);
    const QString old = folder + QStringLiteral("old.rmsite");
    QVERIFY(site::write(old, *s, &error));
    const QByteArray oldBytes = readBytes(old);

    QString target = old;
    s->terminals[0].name = QStringLiteral("a much longer name than before, ") + QString(3000, u'x');
    if (how == QLatin1String("missing folder"))
        target = folder + QStringLiteral("no/such/new.rmsite");
    else if (how == QLatin1String("refused"))
        s->terminals[1].address = 0;
    else
        QVERIFY(disk->fill(0));
    const QStringList before = QDir(folder).entryList(QDir::Files | QDir::Hidden);

    error.clear();
    QVERIFY(!site::write(target, *s, &error));
    QVERIFY2(error.startsWith(target), qPrintable(error));
    QCOMPARE(readBytes(old), oldBytes);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), before);
}

QTEST_GUILESS_MAIN(TestSiteFile)
#include "test_site_file.moc"
