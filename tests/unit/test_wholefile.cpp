// Whole-or-nothing file writing: a failure at open, write or rename leaves
// no new file, no cut-off file and no temporary file, and an existing file
// as it was. The full disk is a real one (a small tmpfs of the test's own).
#include "monitor/WholeFile.h"
#include "support/TmpfsMount.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace

class TestWholeFile : public QObject {
    Q_OBJECT
private slots:
    void writesAndReplaces();
    void fullDiskLeavesNothingBehind_data();
    void fullDiskLeavesNothingBehind();
    void openAndRenameFailures_data();
    void openAndRenameFailures();
    void streamedWriteThatFailsKeepsOldFile();
};

void TestWholeFile::writesAndReplaces()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.csv"));
    QString error;
    QVERIFY(WriteWholeFile(path, "first\r\n", &error));
    QCOMPARE(readBytes(path), QByteArray("first\r\n"));
    const QByteArray big(200 * 1024, 'x');  // larger than any write buffer
    QVERIFY(WriteWholeFile(path, big, &error));
    QCOMPARE(readBytes(path), big);
    QVERIFY(WriteWholeFile(path, QByteArray(), &error));
    QCOMPARE(readBytes(path), QByteArray());
    QCOMPARE(namesIn(dir.path()), QStringList{"a.csv"});
}

void TestWholeFile::fullDiskLeavesNothingBehind_data()
{
    QTest::addColumn<int>("leaveFree");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("replaces");
    // Small texts are the ones a write buffer would hide until the commit.
    QTest::newRow("small text, new name") << 0 << 300 << false;
    QTest::newRow("small text over an old file") << 0 << 300 << true;
    QTest::newRow("part fits, new name") << 8192 << 40000 << false;
    QTest::newRow("part fits, over an old file") << 8192 << 40000 << true;
    QTest::newRow("larger than the disk") << 0 << 200000 << true;
}

void TestWholeFile::fullDiskLeavesNothingBehind()
{
    QFETCH(int, leaveFree);
    QFETCH(int, size);
    QFETCH(bool, replaces);
    TmpfsMount disk(64);
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.problem()));
    const QString path = disk.path() + QStringLiteral("LOG0003.csv");
    const QByteArray old("the old file, whole\r\n");
    QString error;
    if (replaces)
        QVERIFY(WriteWholeFile(path, old, &error));
    QVERIFY(disk.fill(leaveFree));
    const QStringList before = namesIn(disk.path());

    QVERIFY(!WriteWholeFile(path, QByteArray(size, 'r'), &error));
    QVERIFY2(error.contains(QStringLiteral("space")), qPrintable(error));
    QCOMPARE(namesIn(disk.path()), before);
    if (replaces)
        QCOMPARE(readBytes(path), old);
    else
        QVERIFY(!QFile::exists(path));

    // With space again the same write succeeds, where it fits at all.
    QVERIFY(disk.freeSpace());
    if (size < disk.bytesFree()) {
        QVERIFY(WriteWholeFile(path, QByteArray(size, 'r'), &error));
        QCOMPARE(readBytes(path).size(), size);
    }
}

void TestWholeFile::openAndRenameFailures_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("open: folder missing") << "missing folder";
    QTest::newRow("open: read-only file system") << "read-only";
    QTest::newRow("rename: a folder has the name") << "folder in the way";
}

void TestWholeFile::openAndRenameFailures()
{
    QFETCH(QString, how);
    TmpfsMount disk(64);
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.problem()));
    const QString root = disk.path();
    QString error;
    QVERIFY(WriteWholeFile(root + QStringLiteral("keep.ini"), "[LOG]\r\n", &error));
    QString path = root + QStringLiteral("target.csv");
    if (how == QLatin1String("missing folder")) {
        path = root + QStringLiteral("no/such/target.csv");
    } else if (how == QLatin1String("read-only")) {
        path = root + QStringLiteral("keep.ini");
        QVERIFY(disk.setReadOnly(true));
    } else {
        QVERIFY(QDir(root).mkdir(QStringLiteral("target.csv")));
        QVERIFY(WriteWholeFile(root + QStringLiteral("target.csv/inside"), "x", &error));
    }
    const QStringList before = namesIn(root);

    error.clear();
    QVERIFY(!WriteWholeFile(path, "new text\r\n", &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(namesIn(root), before);
    QCOMPARE(readBytes(root + QStringLiteral("keep.ini")), QByteArray("[LOG]\r\n"));
    if (how == QLatin1String("folder in the way"))
        QCOMPARE(namesIn(root + QStringLiteral("target.csv")), QStringList{"inside"});
    if (how == QLatin1String("read-only"))
        QVERIFY(disk.setReadOnly(false));
}

void TestWholeFile::streamedWriteThatFailsKeepsOldFile()
{
    TmpfsMount disk(64);
    if (!disk.isMounted())
        QSKIP(qPrintable(disk.problem()));
    const QString path = disk.path() + QStringLiteral("trans.cfg");
    QString error;
    QVERIFY(WriteWholeFile(path, "old copy\r\n", &error));
    QVERIFY(disk.fill(4096));
    {
        // Chunks as a download delivers them: the first fit, then the disk
        // is full; later writes and the commit refuse as well.
        WholeFileWriter file(path);
        QVERIFY(file.open());
        QVERIFY(file.write(QByteArray(3000, 'a')));
        bool failed = false;
        for (int i = 0; i < 10 && !failed; ++i)
            failed = !file.write(QByteArray(3000, 'b'));
        QVERIFY(failed);
        QVERIFY(!file.errorString().isEmpty());
        QVERIFY(!file.write(QByteArray("c")));
        QVERIFY(!file.commit());
        QCOMPARE(readBytes(path), QByteArray("old copy\r\n"));
    }
    {
        // Given up half-way without a failure: nothing changes either.
        QVERIFY(disk.freeSpace());
        WholeFileWriter file(path);
        QVERIFY(file.open());
        QVERIFY(file.write(QByteArray("half")));
    }
    QCOMPARE(readBytes(path), QByteArray("old copy\r\n"));
    QCOMPARE(namesIn(disk.path()), QStringList{"trans.cfg"});
}

QTEST_GUILESS_MAIN(TestWholeFile)
#include "test_wholefile.moc"
