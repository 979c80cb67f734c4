// A full disk under the real main window against the simulator: the log
// folder, the settings file and a manually saved log live on a small tmpfs
// of the test's own. While it is full nothing is cut off or left empty and
// the rows wait in the log area; once space is back every logged row is in
// exactly one file, in order.
#include "support/TestApp.h"
#include "app/Settings.h"
#include "app/TfrmMain.h"
#include "monitor/CsvLog.h"
#include "support/AppFixture.h"
#include "support/MonitorControls.h"
#include "support/TmpfsMount.h"
#include "tools/gwcfg/TfrmGWcfg.h"
#include "support/Controls.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTest>
#include <QTimer>
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QString statusText()
{
    return frmMain->statusBar()->currentMessage();
}

int monitorReadsReceived(SimGateway *gw)
{
    int n = 0;
    for (const SimRequest &r : gw->requests())
        n += r.tag == 0 && r.function == 4;
    return n;
}

// The numbered log files of the folder, in number order, and every other
// name (which must not be there).
QStringList logFiles(const QString &folder, QStringList *others)
{
    QStringList logs;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : names) {
        if (name.startsWith(QLatin1String("RUN")) && name.endsWith(QLatin1String(".csv")))
            logs << name;
        else if (others)
            *others << name;
    }
    return logs;
}

// Chooses `path` in the manual save's file dialog once it is open.
void chooseInSaveDialog(const QString &path)
{
    // Looked for on a short timer: the dialog opens only inside the menu
    // command, and the monitor keeps posting events meanwhile.
    auto *poll = new QTimer(frmMain);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, path] {
        auto *dialog = frmMain->findChild<QFileDialog *>(QStringLiteral("SaveDialog1"));
        if (!dialog || !dialog->isVisible())
            return;
        poll->deleteLater();
        // The file exists: the dialog asks whether to replace it, and the
        // answer is yes (on a timer of its own, the question opens inside
        // accept()).
        auto *confirm = new QTimer(frmMain);
        confirm->setInterval(10);
        QObject::connect(confirm, &QTimer::timeout, confirm, [confirm] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->button(QMessageBox::Yes))
                return;
            confirm->deleteLater();
            box->button(QMessageBox::Yes)->click();
        });
        confirm->start();
        controls::chooseFile(dialog, path);
    });
    poll->start();
}

bool isAutoSaveReport(const msg::Shown &m)
{
    return m.text.contains(QStringLiteral("ログは消去せずに残しています"));
}

} // namespace

class TestE2eFullDisk : public QObject {
    Q_OBJECT
private slots:
    void loggingThroughAFullDisk();
};

void TestE2eFullDisk::loggingThroughAFullDisk()
{
    TmpfsMount disk(64);
    if (!disk.isMounted())
        QSKIP(qPrintable(QStringLiteral("no full-disk test: ") + disk.problem()));
    const QString folder = disk.path();

    AppFixture fx;
    QVERIFY(fx.connectGateway());
    frmMain->show();
    // The settings file and an earlier manual save on the small disk too.
    const QString settingsFile = folder + QStringLiteral("RMTool.ini");
    const QString manualFile = folder + QStringLiteral("manual.csv");
    setSettingsFilePathOverride(settingsFile);
    struct RestoreSettingsPath {
        QString path;
        ~RestoreSettingsPath() { setSettingsFilePathOverride(path); }
    } restore{fx.settingsPath()};
    frmMain->SaveSettings();
    const QByteArray oldSettings = readBytes(settingsFile);
    QVERIFY(oldSettings.contains("[LOG]"));
    const QByteArray oldManual("an earlier manual save\r\n");
    writeBytes(manualFile, oldManual);

    // Auto-save every 5 answers at 100 ms with the count column.
    appSession->settings().logHeaderMode = 1;
    appSession->settings().logDir = folder;
    controls::find<QCheckBox>(frmGWcfg, "ChkAutoSave")->setChecked(true);
    controls::find<QLineEdit>(frmGWcfg, "EdSaveInt")->setText(QStringLiteral("5"));
    controls::find<QLineEdit>(frmGWcfg, "EdLogSaveFN")->setText(QStringLiteral("RUN"));
    controls::find<QLineEdit>(frmGWcfg, "EdLogSaveStart")->setText(QStringLiteral("1"));
    controls::find<QComboBox>(frmGWcfg, "CbxLogSaveKeta")->setCurrentText(QStringLiteral("4"));
    child<QLineEdit>("Interval")->setText(QStringLiteral("100"));
    const QString header = CsvHeaderRow(1, child<QSpinBox>("seReadAddress")->value(), child<QSpinBox>("seReadSize")->value());

    // Room for about two files: a file of five rows takes one page.
    QVERIFY(disk.fill(2 * 4096));
    child<QToolButton>("sbtnLogStart")->click();
    fx.gateway()->clearRequests();
    child<QToolButton>("sbtnMonitor")->click();
    QVERIFY(appSession->isMonitoring());

    // The third file no longer fits: reported once in a box, in the status
    // bar, and the rows stay in the log area from then on.
    QTRY_VERIFY_WITH_TIMEOUT(std::any_of(fx.messages.cbegin(), fx.messages.cend(), isAutoSaveReport), 15000);
    QVERIFY2(statusText().contains(QStringLiteral("RUN0003.csv")), qPrintable(statusText()));
    QTRY_VERIFY_WITH_TIMEOUT(appSession->monitorCount() >= 45, 15000);
    QCOMPARE(appSession->logFileNumber(), 3);
    QVERIFY(statusText().contains(QStringLiteral("書き込めません")));

    // Meanwhile the manual save and the settings file fail over their old
    // files, which stay whole.
    chooseInSaveDialog(manualFile);
    child<QAction>("Save1")->trigger();
    appSession->settings().ftpHost = QStringLiteral("127.0.0.2");
    frmMain->SaveSettings();
    QCOMPARE(readBytes(manualFile), oldManual);
    QCOMPARE(readBytes(settingsFile), oldSettings);
    QVERIFY2(std::any_of(fx.messages.cbegin(), fx.messages.cend(),
                         [&](const msg::Shown &m) { return m.text.contains(manualFile); }),
             qPrintable(fx.messageTexts().join(u'|')));

    QStringList others;
    const QStringList whileFull = logFiles(folder, &others);
    QCOMPARE(whileFull, (QStringList{"RUN0001.csv", "RUN0002.csv"}));
    QCOMPARE(others, (QStringList{".filler", "RMTool.ini", "manual.csv"}));
    QCOMPARE(std::count_if(fx.messages.cbegin(), fx.messages.cend(), isAutoSaveReport), 1);

    // Space again: the kept rows go into the next file, under the next
    // number, and the saving carries on.
    QVERIFY(disk.freeSpace());
    const uint32_t freedAt = appSession->monitorCount();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder + QStringLiteral("RUN0004.csv")), 15000);
    QVERIFY(appSession->monitorCount() > freedAt);
    frmMain->SaveSettings();
    QVERIFY(readBytes(settingsFile).contains("host=127.0.0.2"));
    child<QToolButton>("sbtnMonitor")->click();
    QVERIFY(!appSession->isMonitoring());
    QVERIFY(QTest::qWaitFor([&] { return int(appSession->monitorCount()) == monitorReadsReceived(fx.gateway()); },
                            5000));
    QCOMPARE(appSession->logCount(), appSession->monitorCount());

    // Every row 0 .. LogCount - 1 once, in order: in the files by number,
    // then in the log area. No file empty or cut off.
    others.clear();
    const QStringList files = logFiles(folder, &others);
    QCOMPARE(others, (QStringList{"RMTool.ini", "manual.csv"}));
    QStringList rows;
    for (int i = 0; i < files.size(); ++i) {
        QCOMPARE(files[i], CsvFileName(QString(), QStringLiteral("RUN"), i + 1, 4));
        const QString text = QStringDecoder(QStringConverter::System).decode(readBytes(folder + files[i]));
        QVERIFY2(text.endsWith(QStringLiteral("\r\n")), qPrintable(files[i]));
        QStringList lines = text.split(QStringLiteral("\r\n"));
        lines.removeLast();
        QCOMPARE(lines.value(0), header);
        QVERIFY2(lines.size() > 1, qPrintable(files[i]));
        rows << lines.mid(1);
    }
    // The file written once space was back holds the rows of every failed
    // save before it.
    QVERIFY(readBytes(folder + QStringLiteral("RUN0003.csv")).count("\r\n") > 1 + 5 * 7);
    rows << LogTextLines(child<QPlainTextEdit>("Memo2")->toPlainText());
    QCOMPARE(rows.size(), int(appSession->logCount()));
    const int columns = header.count(u',') + 1;
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList cols = rows[i].split(u',');
        QCOMPARE(cols.value(0), QString::number(i));
        QCOMPARE(cols.size(), columns);
    }
    QCOMPARE(std::count_if(fx.messages.cbegin(), fx.messages.cend(), isAutoSaveReport), 1);
}

QTEST_MAIN(TestE2eFullDisk)
#include "test_e2e_fulldisk.moc"
