// CSV logging: header rows, file names and file texts, and the log
// controls of the main window: start and stop, counters, the log area's
// view, the manual save and the automatic saving into numbered files,
// including the failures (a folder that cannot be written, an unusable
// save interval, numbers that already have files).
#include "app/TfrmMain.h"
#include "support/AnswerFrames.h"
#include "support/TestApp.h"
#include "monitor/CsvLog.h"
#include "support/AppFixture.h"
#include "support/MonitorControls.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "support/Controls.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList memoLines()
{
    return LogTextLines(child<QPlainTextEdit>("Memo2")->toPlainText());
}

// The auto-save settings of the log page, typed as a user types them, and
// monitoring started with them (interval 0: nothing is polled, the test
// hands the answers in); the value boxes show 16-bit numbers.
void prepareAutoSave(const QString &folder, const QString &interval, const QString &header,
                     const QString &start, const QString &digits)
{
    appSession->settings().logDir = folder;
    controls::find<QCheckBox>(frmGWcfg, "ChkAutoSave")->setChecked(true);
    controls::find<QLineEdit>(frmGWcfg, "EdSaveInt")->setText(interval);
    controls::find<QLineEdit>(frmGWcfg, "EdLogSaveFN")->setText(header);
    controls::find<QLineEdit>(frmGWcfg, "EdLogSaveStart")->setText(start);
    controls::find<QComboBox>(frmGWcfg, "CbxLogSaveKeta")->setCurrentText(digits);
    child<QComboBox>("cbxDataType")->setCurrentIndex(0);
    QString error;
    QCOMPARE(appSession->startMonitoring(QStringLiteral("0"), &error), MonitorSession::StartFailure::None);
}

// One monitor answer of these registers, as the link hands it to the
// session (header mode 0: the row is "," and the values).
void answer(const QList<uint16_t> &regs)
{
    ReceiveBuffer rb;
    rb.assign(frames::readAnswer(0, frames::registerBytes(regs)));
    appSession->handleValuesAnswer(rb, modbus::Transaction{});
}

void answer(uint16_t value)
{
    answer(QList<uint16_t>{value});
}

QString statusText()
{
    return frmMain->statusBar()->currentMessage();
}

} // namespace

class TestCsv : public QObject {
    Q_OBJECT
private slots:
    void headerRow_data();
    void headerRow();
    void fileName_data();
    void fileName();
    void fileTextAndLines();
    void writeTextFile();
    void startStopAndCounters();
    void logAreaView();
    void manualSave();
    void autoSaveAcrossFiles();
    void failingFolderKeepsRows();
    void badSaveIntervalReportedOnce_data();
    void badSaveIntervalReportedOnce();
    void restartedNumbersNeverReplaceFiles();
    void restartNumberingRefusesBadText();
};

void TestCsv::headerRow_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("row");
    QTest::newRow("none") << 0 << 30321 << 3 << ",30321,30322,30323";
    QTest::newRow("count") << 1 << 30321 << 3 << "Count,30321,30322,30323";
    QTest::newRow("elapsed") << 2 << 30033 << 2 << "Elapsed,30033,30034";
    QTest::newRow("stamp and count") << 3 << 41025 << 1 << "Date,Time,Count,41025";
    QTest::newRow("unknown mode as none") << 9 << 30001 << 1 << ",30001";
    QTest::newRow("empty window") << 1 << 30001 << 0 << "Count";
}

void TestCsv::headerRow()
{
    QFETCH(int, mode);
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(QString, row);
    QCOMPARE(CsvHeaderRow(mode, first, count), row);
    // A double-word window still has one column per register.
    QCOMPARE(CsvHeaderRow(mode, 30833, 64).count(u',') - CsvHeaderCaption(mode).count(u','), 64);
}

void TestCsv::fileName_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("name");
    QTest::newRow("defaults") << "C:\\" << "LOG" << 1 << 4 << "C:\\LOG0001.csv";
    QTest::newRow("second") << "C:\\" << "LOG" << 2 << 4 << "C:\\LOG0002.csv";
    QTest::newRow("longer than digits") << "C:\\" << "LOG" << 123 << 2 << "C:\\LOG123.csv";
    QTest::newRow("not cut") << "/var/log/" << "A" << 123456 << 5 << "/var/log/A123456.csv";
    QTest::newRow("zero") << "/l/" << "" << 0 << 3 << "/l/000.csv";
    QTest::newRow("negative keeps sign in front") << "/l/" << "N" << -5 << 4 << "/l/N-005.csv";
}

void TestCsv::fileName()
{
    QFETCH(QString, folder);
    QFETCH(QString, header);
    QFETCH(int, number);
    QFETCH(int, digits);
    QFETCH(QString, name);
    QCOMPARE(CsvFileName(folder, header, number, digits), name);
}

void TestCsv::fileTextAndLines()
{
    QCOMPARE(CsvFileText(QStringLiteral("Count,1"), {QStringLiteral("0,5"), QStringLiteral("1,6")}),
             QStringLiteral("Count,1\r\n0,5\r\n1,6\r\n"));
    QCOMPARE(CsvFileText(QStringLiteral(",1"), {}), QStringLiteral(",1\r\n"));
    QCOMPARE(LogTextLines(QString()), QStringList{});
    QCOMPARE(LogTextLines(QStringLiteral("a\nb")), (QStringList{"a", "b"}));
    QCOMPARE(LogTextLines(QStringLiteral("a\r\nb\n")), (QStringList{"a", "b"}));
    QCOMPARE(LogTextLines(QStringLiteral("\n")), QStringList{QString()});
}

void TestCsv::writeTextFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.csv"));
    QString error;
    const QString text = QStringLiteral("Date,Time\r\n2024/05/17,9:05:07\r\n");
    QVERIFY(WriteTextFile(path, text, &error));
    QCOMPARE(QStringDecoder(QStringConverter::System).decode(readBytes(path)), text);
    QVERIFY(WriteTextFile(path, QStringLiteral("x\r\n"), &error));  // replaces
    QCOMPARE(readBytes(path), QByteArray("x\r\n"));

    const QString missing = dir.filePath(QStringLiteral("no/such/folder/t.csv"));
    QVERIFY(!WriteTextFile(missing, text, &error));
    QVERIFY(error.contains(missing));
    QVERIFY(!QFile::exists(missing));

    // The next free number skips the files that exist.
    QVERIFY(WriteTextFile(dir.filePath(QStringLiteral("L01.csv")), QString(), &error));
    QVERIFY(WriteTextFile(dir.filePath(QStringLiteral("L02.csv")), QString(), &error));
    QString name;
    QCOMPARE(NextFreeCsvNumber(dir.path() + u'/', QStringLiteral("L"), 1, 2, &name), 3);
    QCOMPARE(name, dir.filePath(QStringLiteral("L03.csv")));
    QCOMPARE(NextFreeCsvNumber(dir.path() + u'/', QStringLiteral("L"), 5, 2, &name), 5);
}

void TestCsv::startStopAndCounters()
{
    AppFixture fx(false);
    frmMain->show();
    appSession->pollTimer().setInterval(400);
    child<QComboBox>("cbxDataType")->setCurrentIndex(0);
    QVERIFY(child<QToolButton>("sbtnLogStart")->isVisible());
    QVERIFY(!child<QToolButton>("sbtnLogStop")->isVisible());
    QVERIFY(!appSession->isLogging());

    // Rows while logging is off go nowhere.
    answer(1);
    QCOMPARE(child<QPlainTextEdit>("Memo2")->toPlainText(), QString());
    QVERIFY(appSession->rows().isEmpty());

    child<QPlainTextEdit>("Memo2")->setPlainText(QStringLiteral("old row"));
    QTest::mouseClick(child<QToolButton>("sbtnLogStart"), Qt::LeftButton);
    QVERIFY(appSession->isLogging());
    QCOMPARE(appSession->logCount(), 0u);
    QCOMPARE(child<QLabel>("stLogCntr")->text(), QStringLiteral("0"));
    QCOMPARE(child<QLabel>("stLogElTime")->text(), QStringLiteral("0:00:00.0"));
    QVERIFY(!child<QToolButton>("sbtnLogStart")->isVisible());
    QVERIFY(child<QToolButton>("sbtnLogStop")->isVisible());
    QCOMPARE(child<QPlainTextEdit>("Memo2")->toPlainText(), QString());

    for (int i = 0; i < 3; ++i)
        answer(uint16_t(i * 10));
    QCOMPARE(memoLines(), (QStringList{",0", ",10", ",20"}));
    QCOMPARE(appSession->rows(), memoLines());
    QCOMPARE(child<QLabel>("stLogCntr")->text(), QStringLiteral("3"));
    QCOMPARE(child<QLabel>("stLogElTime")->text(), QStringLiteral("0:00:01.2"));

    QTest::mouseClick(child<QToolButton>("sbtnLogStop"), Qt::LeftButton);
    QVERIFY(!appSession->isLogging());
    QVERIFY(child<QToolButton>("sbtnLogStart")->isVisible());
    QVERIFY(!child<QToolButton>("sbtnLogStop")->isVisible());
    answer(30);
    QCOMPARE(memoLines().size(), 3);  // kept, nothing added
    QCOMPARE(child<QLabel>("stLogCntr")->text(), QStringLiteral("3"));

    // A new start counts from 0 again.
    QTest::mouseClick(child<QToolButton>("sbtnLogStart"), Qt::LeftButton);
    answer(0);
    QCOMPARE(child<QLabel>("stLogCntr")->text(), QStringLiteral("1"));
    QCOMPARE(child<QLabel>("stLogElTime")->text(), QStringLiteral("0:00:00.4"));
}

void TestCsv::logAreaView()
{
    AppFixture fx(false);
    frmMain->show();
    const int menu = frmMain->menuBar()->sizeHint().height();
    // The share of the log area's height that lies above the status bar.
    auto memoShown = [memo = child<QPlainTextEdit>("Memo2")] {
        const int top = memo->mapTo(frmMain, QPoint(0, 0)).y();
        const int statusTop = frmMain->statusBar()->mapTo(frmMain, QPoint(0, 0)).y();
        return std::clamp(statusTop - top, 0, memo->height()) / double(memo->height());
    };
    auto memoInView = [&] { return memoShown() > 0.95; };
    QVERIFY(!child<QAction>("N11")->isChecked());
    QCOMPARE(frmMain->height() - menu, 397);
    QCOMPARE(memoShown(), 0.0);
    child<QAction>("N11")->trigger();
    QVERIFY(child<QAction>("N11")->isChecked());
    QCOMPARE(frmMain->height() - menu, 541);
    QVERIFY(memoInView());
    child<QAction>("N11")->trigger();
    QVERIFY(!child<QAction>("N11")->isChecked());
    QCOMPARE(frmMain->height() - menu, 397);
    QCOMPARE(memoShown(), 0.0);
}

void TestCsv::manualSave()
{
    AppFixture fx(false);
    child<QComboBox>("cbxDataType")->setCurrentIndex(0);
    frmMain->sbtnLogStartClick();
    answer({1, 2, 65535});
    answer({10, 0});
    const QString target = QDir(fx.dir()).filePath(QStringLiteral("manual"));

    QString suffix;
    QStringList filters;
    auto chooseInSaveDialog = [&](const QString &path) {
        QTimer::singleShot(0, [&, path] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->objectName(), QStringLiteral("SaveDialog1"));
            suffix = dialog->defaultSuffix();
            filters = dialog->nameFilters();
            controls::chooseFile(dialog, path);
        });
    };
    chooseInSaveDialog(target);
    child<QAction>("Save1")->trigger();
    QCOMPARE(suffix, QStringLiteral("csv"));
    QCOMPARE(filters, QStringList{QStringLiteral("*.csv")});
    // No header row; the log area keeps its rows.
    QCOMPARE(readBytes(target + QStringLiteral(".csv")), QByteArray(",1,2,65535\r\n,10,0\r\n"));
    QCOMPARE(memoLines().size(), 2);
    QVERIFY(fx.messages.isEmpty());

}

void TestCsv::autoSaveAcrossFiles()
{
    AppFixture fx(false);
    const QString folder = fx.dir() + QStringLiteral("/logs/");
    QVERIFY(QDir().mkpath(folder));
    appSession->settings().logHeaderMode = 1;
    child<QCheckBox>("chkbxAutoChange")->setChecked(false);
    child<QSpinBox>("seReadAddress")->setValue(30321);
    child<QSpinBox>("seReadSize")->setValue(3);
    prepareAutoSave(folder, QStringLiteral("4"), QStringLiteral("T"), QStringLiteral("7"), QStringLiteral("3"));

    // Two answers before logging starts are not logged; logging then starts
    // while MonitorCount is 2, so the first file holds 2 rows.
    QStringList logged;
    for (int k = 1; k <= 18; ++k) {
        if (k == 3)
            frmMain->sbtnLogStartClick();
        const QString row = QStringLiteral("%1,%2,%3,%4").arg(appSession->logCount()).arg(k).arg(k + 1).arg(k + 2);
        if (appSession->isLogging())
            logged << row;
        answer({uint16_t(k), uint16_t(k + 1), uint16_t(k + 2)});
    }
    const QString header = QStringLiteral("Count,30321,30322,30323");
    QStringList found;
    for (int n = 7; n <= 10; ++n) {
        const QString name = folder + QStringLiteral("T%1.csv").arg(n, 3, 10, QLatin1Char('0'));
        const QByteArray bytes = readBytes(name);
        QVERIFY2(bytes.endsWith("\r\n"), qPrintable(name));
        QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
        lines.removeLast();
        QCOMPARE(lines.first(), header);
        QCOMPARE(lines.size() - 1, n == 7 ? 2 : 4);
        found << lines.mid(1);
    }
    QVERIFY(!QFile::exists(folder + QStringLiteral("T011.csv")));
    QCOMPARE(appSession->logFileNumber(), 11);
    // Every row is in exactly one file or still in the log area.
    found << memoLines();
    QCOMPARE(found, logged);
    QCOMPARE(memoLines().size(), 2);
    QVERIFY(statusText().contains(QStringLiteral("T010.csv")));
    QVERIFY(fx.messages.isEmpty());

    // Auto-save off or logging off: no file.
    controls::find<QCheckBox>(frmGWcfg, "ChkAutoSave")->setChecked(false);
    for (int k = 0; k < 4; ++k)
        answer(7);
    controls::find<QCheckBox>(frmGWcfg, "ChkAutoSave")->setChecked(true);
    frmMain->sbtnLogStopClick();
    for (int k = 0; k < 4; ++k)
        answer(8);
    QCOMPARE(appSession->logFileNumber(), 11);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 4);
}

void TestCsv::failingFolderKeepsRows()
{
    AppFixture fx(false);
    const QString folder = fx.dir() + QStringLiteral("/later/");
    prepareAutoSave(folder, QStringLiteral("2"), QStringLiteral("LOG"), QStringLiteral("1"), QStringLiteral("4"));
    frmMain->sbtnLogStartClick();
    answer(1);
    answer(2);
    // Not reported from inside the answer: the box comes after it returned.
    QVERIFY(fx.messages.isEmpty());
    QTRY_COMPARE(fx.messages.size(), 1);
    QCOMPARE(fx.messages[0].kind, msg::Kind::Error);
    QVERIFY(fx.messages[0].text.contains(folder + QStringLiteral("LOG0001.csv")));
    QVERIFY(statusText().contains(QStringLiteral("LOG0001.csv")));
    QCOMPARE(memoLines(), (QStringList{",1", ",2"}));
    QCOMPARE(appSession->logFileNumber(), 1);

    // The same failure again: no second box, the rows still kept.
    answer(3);
    answer(4);
    QTest::qWait(50);
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(memoLines(), (QStringList{",1", ",2", ",3", ",4"}));

    // Once the folder exists the next save takes every row kept so far.
    QVERIFY(QDir().mkpath(folder));
    answer(5);
    answer(6);
    const QString header = CsvHeaderRow(0, child<QSpinBox>("seReadAddress")->value(), child<QSpinBox>("seReadSize")->value());
    QCOMPARE(readBytes(folder + QStringLiteral("LOG0001.csv")),
             header.toLatin1() + QByteArray("\r\n,1\r\n,2\r\n,3\r\n,4\r\n,5\r\n,6\r\n"));
    QCOMPARE(memoLines(), QStringList{});
    QCOMPARE(appSession->logFileNumber(), 2);
    QCOMPARE(fx.messages.size(), 1);
}

void TestCsv::badSaveIntervalReportedOnce_data()
{
    QTest::addColumn<QString>("interval");
    QTest::newRow("zero") << "0";
    QTest::newRow("word") << "abc";
    QTest::newRow("negative") << "-3";
    QTest::newRow("empty") << "";
}

void TestCsv::badSaveIntervalReportedOnce()
{
    QFETCH(QString, interval);
    AppFixture fx(false);
    const QString folder = fx.dir() + u'/';
    prepareAutoSave(folder, interval, QStringLiteral("LOG"), QStringLiteral("1"), QStringLiteral("4"));
    frmMain->sbtnLogStartClick();
    for (int k = 0; k < 10; ++k)
        answer(uint16_t(k));
    QVERIFY(fx.messages.isEmpty());  // never from inside an answer
    QTRY_COMPARE(fx.messages.size(), 1);
    QTest::qWait(50);
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(fx.messages[0].kind, msg::Kind::Error);
    // Logging went on; nothing was saved.
    QCOMPARE(appSession->logCount(), 10u);
    QCOMPARE(memoLines().size(), 10);
    QVERIFY(QDir(folder).entryList({QStringLiteral("*.csv")}, QDir::Files).isEmpty());

    // A usable interval saves again; another bad one is reported once more.
    controls::find<QLineEdit>(frmGWcfg, "EdSaveInt")->setText(QStringLiteral("5"));
    for (int k = 0; k < 5; ++k)
        answer(uint16_t(100 + k));
    const QString saved = QStringDecoder(QStringConverter::System)
                              .decode(readBytes(folder + QStringLiteral("LOG0001.csv")));
    QCOMPARE(saved.count(QStringLiteral("\r\n")), 1 + 15);
    controls::find<QLineEdit>(frmGWcfg, "EdSaveInt")->setText(QStringLiteral("x") + interval);
    for (int k = 0; k < 5; ++k)
        answer(uint16_t(200 + k));
    QTRY_COMPARE(fx.messages.size(), 2);
}

void TestCsv::restartedNumbersNeverReplaceFiles()
{
    AppFixture fx(false);
    const QString folder = fx.dir() + u'/';
    QString error;
    QVERIFY(WriteTextFile(folder + QStringLiteral("R01.csv"), QStringLiteral("earlier\r\n"), &error));
    prepareAutoSave(folder, QStringLiteral("1"), QStringLiteral("R"), QStringLiteral("1"), QStringLiteral("2"));
    frmMain->sbtnLogStartClick();
    answer(1);
    QCOMPARE(readBytes(folder + QStringLiteral("R01.csv")), QByteArray("earlier\r\n"));
    QVERIFY(readBytes(folder + QStringLiteral("R02.csv")).endsWith(",1\r\n"));
    QCOMPARE(appSession->logFileNumber(), 3);
    QVERIFY(statusText().contains(folder + QStringLiteral("R02.csv")));
    QVERIFY(statusText().contains(QStringLiteral("R01.csv")));

    // Monitoring restarted: the numbers start at 1 again, and the saves go
    // on after the files already there.
    appSession->stopMonitoring();
    QCOMPARE(appSession->startMonitoring(QStringLiteral("0"), &error), MonitorSession::StartFailure::None);
    answer(2);
    answer(3);
    QVERIFY(readBytes(folder + QStringLiteral("R02.csv")).endsWith(",1\r\n"));
    QVERIFY(readBytes(folder + QStringLiteral("R03.csv")).endsWith(",2\r\n"));
    QVERIFY(readBytes(folder + QStringLiteral("R04.csv")).endsWith(",3\r\n"));
    QCOMPARE(appSession->logFileNumber(), 5);
    QVERIFY(fx.messages.isEmpty());
}

void TestCsv::restartNumberingRefusesBadText()
{
    AppFixture fx(false);
    // ▶ with a first file number that is no number: refused, monitoring off.
    controls::find<QLineEdit>(frmGWcfg, "EdLogSaveStart")->setText(QStringLiteral("1x"));
    frmMain->sbtnMonitorClick();
    QCOMPARE(fx.messageTexts(), QStringList{QStringLiteral("'1x' は有効な整数値ではありません")});
    QVERIFY(!appSession->isMonitoring());
    QCOMPARE(appSession->logFileNumber(), 1);
    controls::find<QLineEdit>(frmGWcfg, "EdLogSaveStart")->setText(QStringLiteral("123"));
    controls::find<QComboBox>(frmGWcfg, "CbxLogSaveKeta")->setCurrentText(QStringLiteral("2"));
    frmMain->sbtnMonitorClick();
    QVERIFY(appSession->isMonitoring());
    QCOMPARE(fx.messages.size(), 1);
    QCOMPARE(appSession->logFileNumber(), 123);
    QCOMPARE(appSession->logFileDigits(), 2);
}

QTEST_MAIN(TestCsv)
#include "test_csv.moc"
