// The installation window through the real windows: a file opened becomes
// the session's installation, a terminal chosen shows on the monitor with
// its tags as channel labels (and trend names), edits saved read back the
// same, and a refused file shows its message and changes nothing.
#include "support/TestApp.h"
#include "app/App.h"
#include "app/CommandLine.h"
#include "support/AppFixture.h"
#include "support/Controls.h"
#include "support/MonitorControls.h"
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {

const QByteArray kSite = R"({"format": "rmtool-site/1", "name": "Panel 3",
  "gateway": {"host": "127.0.0.1", "port": 1502},
  "terminals": [
    {"address": 0, "type": 0, "name": "Furnace",
     "channels": [{"channel": 7, "tag": "TC-FURN", "min": 3700}, {"channel": 6, "tag": "TC-FEEDWATER2"}]},
    {"address": 12, "type": 3, "name": "Feeder 1", "panel": "P3",
     "channels": [{"channel": 1, "tag": "I-PUMP1", "min": 140, "max": 260},
                  {"channel": 8, "tag": "V-BC"}]}]})";

QString writeFile(const AppFixture &app, const char *name, const QByteArray &bytes)
{
    const QString path = app.dir() + u'/' + QLatin1String(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QTableWidget *grid(const char *name)
{
    return controls::find<QTableWidget>(frmSite, name);
}

// A channel label's text, whole: a tag too wide for its label shows whole
// in the tool tip.
QString label(int p)
{
    const auto *l = child<QLabel>(qPrintable(QStringLiteral("lbHd%1").arg(p)));
    return l->toolTip().isEmpty() ? l->text() : l->toolTip();
}

int rowOfAddress(int address)
{
    QTableWidget *t = grid("gridTerminals");
    for (int r = 0; r < t->rowCount(); ++r)
        if (t->item(r, 0)->data(Qt::EditRole).toInt() == address)
            return r;
    return -1;
}

// The word page's own address spin box (the soft-counter dialog has one of
// that name as well).
QSpinBox *wordAddress()
{
    for (QSpinBox *s : frmMain->findChildren<QSpinBox *>(QStringLiteral("seWordAdrs")))
        if (s->window() == frmMain)
            return s;
    qFatal("no seWordAdrs on the main window");
}

void openWindow()
{
    frmMain->show();
    triggerMenu("mnuSite");
    QVERIFY(frmSite->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(frmSite));
}

} // namespace

class TestSiteWindow : public QObject {
    Q_OBJECT
private slots:
    void chosenTerminalShowsOnTheMonitor();
    void editsSavedReadBackTheSame();
    void refusedFileChangesNothing();
    void siteOptionOpensItAtStart();
};

void TestSiteWindow::chosenTerminalShowsOnTheMonitor()
{
    AppFixture app(false);
    openWindow();
    select(Bit, 6, 1, 0, 5, true);  // the monitor elsewhere: another page and type
    const QString path = writeFile(app, "panel3.rmsite", kSite);
    QVERIFY(frmSite->openFile(path));
    QCOMPARE(appSession->sitePath(), path);
    QCOMPARE(appSession->site()->terminals.size(), 2);
    QVERIFY(frmSite->windowTitle().endsWith(QStringLiteral("panel3.rmsite")));
    // Opening moves nothing on the monitor, nor the connection's target.
    QCOMPARE(child<QTabWidget>("pcSlaveType")->currentIndex(), int(Bit));
    QCOMPARE(appSession->link().port(), quint16(502));
    QVERIFY(controls::find<QLabel>(frmSite, "stSiteGateway")->text().contains(QStringLiteral("127.0.0.1:1502")));

    // The terminals with the monitor's type names.
    QTableWidget *terminals = grid("gridTerminals");
    QCOMPARE(terminals->rowCount(), 2);
    const int feeder = rowOfAddress(12);
    QVERIFY(feeder >= 0);
    QCOMPARE(terminals->item(feeder, 1)->text(), child<QComboBox>("cbTerminalType")->itemText(3));
    QCOMPARE(terminals->item(feeder, 2)->text(), QStringLiteral("Feeder 1"));

    // Chosen: the monitor shows it, its tags where it has them.
    terminals->setCurrentCell(feeder, 2);
    QCOMPARE(child<QTabWidget>("pcSlaveType")->currentIndex(), int(Word));
    QCOMPARE(wordAddress()->value(), 12);
    QCOMPARE(child<QComboBox>("cbTerminalType")->currentIndex(), 3);
    QCOMPARE(label(0), QStringLiteral("Vab"));
    QCOMPARE(label(1), QStringLiteral("I-PUMP1"));
    QCOMPARE(label(2), QStringLiteral("I2"));
    QCOMPARE(label(8), QStringLiteral("V-BC"));
    // A tag wider than the label at the form's size is set smaller to fit;
    // the labels the type gives keep the form's size.
    const auto *hd1 = child<QLabel>("lbHd1");
    const auto *hd2 = child<QLabel>("lbHd2");
    QVERIFY(QFontMetrics(hd2->font()).horizontalAdvance(QStringLiteral("I-PUMP1")) > hd1->contentsRect().width());
    QVERIFY(QFontMetrics(hd1->font()).horizontalAdvance(label(1)) <= hd1->contentsRect().width());
    QVERIFY(QFontInfo(hd1->font()).pixelSize() < QFontInfo(hd2->font()).pixelSize());

    QCOMPARE(frmMain->trendLayout().names[1].split(u' ').first(), QStringLiteral("I-PUMP1"));
    QCOMPARE(grid("gridChannels")->rowCount(), 3);  // two channels and the empty row
    QCOMPARE(grid("gridChannels")->item(0, 1)->text(), QStringLiteral("I-PUMP1"));
    QCOMPARE(grid("gridChannels")->item(0, 3)->text(), QStringLiteral("260"));

    // Another type at that address is another terminal: the usual labels.
    child<QComboBox>("cbTerminalType")->setCurrentIndex(6);
    QCOMPARE(label(1), QStringLiteral("I1"));

    terminals->setCurrentCell(rowOfAddress(0), 0);
    QCOMPARE(wordAddress()->value(), 0);
    QCOMPARE(child<QComboBox>("cbTerminalType")->currentIndex(), 0);
    QCOMPARE(label(7), QStringLiteral("TC-FURN"));
    QCOMPARE(label(1), QStringLiteral("CH1"));
    // Too wide even when smaller: the middle gives way and the end stays in
    // the label; the tool tip and the trend have it whole.
    const QString shown = child<QLabel>("lbHd6")->text();
    QVERIFY2(shown.startsWith(u'T') && shown.endsWith(u'2') && shown.contains(QChar(0x2026)), qPrintable(shown));
    QCOMPARE(label(6), QStringLiteral("TC-FEEDWATER2"));
    QCOMPARE(frmMain->trendLayout().names[6].split(u' ').first(), QStringLiteral("TC-FEEDWATER2"));

    // Closed: the usual labels again.
    appSession->clearSite();
    QCOMPARE(label(7), QStringLiteral("CH7"));
    QCOMPARE(terminals->rowCount(), 0);
    QVERIFY(app.messages.isEmpty());
}

void TestSiteWindow::editsSavedReadBackTheSame()
{
    AppFixture app(false);
    openWindow();
    QVERIFY(frmSite->openFile(writeFile(app, "panel3.rmsite", kSite)));
    QTableWidget *terminals = grid("gridTerminals");
    QTableWidget *channels = grid("gridChannels");
    const int feeder = rowOfAddress(12);
    terminals->setCurrentCell(feeder, 2);

    // The name typed, the type chosen in the cell's list.
    terminals->item(feeder, 2)->setText(QStringLiteral("Feeder 2"));
    terminals->setCurrentCell(feeder, 1);
    terminals->edit(terminals->model()->index(feeder, 1));
    auto *typeList = terminals->viewport()->findChild<QComboBox *>();
    QVERIFY(typeList);
    typeList->setCurrentIndex(5);
    QTest::keyClick(typeList, Qt::Key_Return);  // taken once the key's handling is over
    QTRY_COMPARE(terminals->item(feeder, 1)->text(), child<QComboBox>("cbTerminalType")->itemText(5));
    QCOMPARE(child<QComboBox>("cbTerminalType")->currentIndex(), 5);  // the monitor follows

    // A tag typed into the empty row adds a channel at the first free box;
    // a bound that is no number is not taken; emptied rows go.
    channels->item(2, 1)->setText(QStringLiteral("P-NEW"));
    QTRY_COMPARE(channels->rowCount(), 4);
    QCOMPARE(channels->item(2, 0)->text(), QStringLiteral("0"));
    QCOMPARE(label(0), QStringLiteral("P-NEW"));  // type 5 now: the tags still follow
    channels->item(2, 2)->setText(QStringLiteral("990.5"));
    channels->item(0, 2)->setText(QStringLiteral("abc"));
    QTRY_COMPARE(channels->item(0, 2)->text(), QStringLiteral("140"));
    channels->item(1, 1)->setText(QString());  // V-BC: tag gone, no bounds: the row goes
    QTRY_COMPARE(channels->rowCount(), 3);

    // A terminal added at the first free address, shown; one removed.
    controls::find<QPushButton>(frmSite, "btnSiteAdd")->click();
    QCOMPARE(terminals->rowCount(), 3);
    QCOMPARE(wordAddress()->value(), 1);
    terminals->item(2, 2)->setText(QStringLiteral("Spare"));
    terminals->setCurrentCell(rowOfAddress(0), 0);
    controls::find<QPushButton>(frmSite, "btnSiteRemove")->click();
    QCOMPARE(terminals->rowCount(), 2);
    controls::find<QLineEdit>(frmSite, "edSiteName")->setText(QStringLiteral("Panel 3, line B"));
    emit controls::find<QLineEdit>(frmSite, "edSiteName")->editingFinished();

    const QString saved = app.dir() + QStringLiteral("/saved.rmsite");
    QVERIFY(frmSite->saveFile(saved));
    QVERIFY(app.messages.isEmpty());
    QCOMPARE(appSession->sitePath(), saved);
    QString error;
    const auto back = site::read(saved, &error);
    QVERIFY2(back, qPrintable(error));
    QCOMPARE(*back, *appSession->site());
    // What the edits made of it.
    QCOMPARE(back->name, QStringLiteral("Panel 3, line B"));
    QCOMPARE(back->terminals.size(), 2);
    const site::Terminal *t = back->terminalAt(12);
    QVERIFY(t);
    QCOMPARE(t->name, QStringLiteral("Feeder 2"));
    QCOMPARE(t->type, 5);
    QCOMPARE(t->extra.value(QStringLiteral("panel")).toString(), QStringLiteral("P3"));
    QCOMPARE(t->channels.size(), 2);
    QCOMPARE(*t->channelAt(1)->min, 140.0);
    QCOMPARE(t->channelAt(0)->tag, QStringLiteral("P-NEW"));
    QCOMPARE(*t->channelAt(0)->min, 990.5);
    QVERIFY(!t->channelAt(8));
    QCOMPARE(back->terminalAt(1)->name, QStringLiteral("Spare"));
    QVERIFY(!back->terminalAt(0));
    QCOMPARE(back->gateway->port, 1502);
}

void TestSiteWindow::refusedFileChangesNothing()
{
    AppFixture app(false);
    openWindow();
    const QString good = writeFile(app, "panel3.rmsite", kSite);
    QVERIFY(frmSite->openFile(good));
    grid("gridTerminals")->setCurrentCell(rowOfAddress(12), 0);
    const site::Site before = *appSession->site();
    QSignalSpy changed(appSession, &MonitorSession::siteChanged);

    const QString bad = writeFile(app, "bad.rmsite", "{\"format\": \"rmtool-site/1\",\n\"terminals\": [\n{\"address\": 3,}]}");
    QVERIFY(!frmSite->openFile(bad));
    QCOMPARE(app.messages.size(), 1);
    QCOMPARE(app.messages[0].kind, msg::Kind::Error);
    QVERIFY2(app.messages[0].text.startsWith(bad) && app.messages[0].text.contains(QStringLiteral("3 行目")),
             qPrintable(app.messages[0].text));
    QCOMPARE(changed.size(), 0);
    QCOMPARE(*appSession->site(), before);
    QCOMPARE(appSession->sitePath(), good);
    QCOMPARE(grid("gridTerminals")->rowCount(), 2);
    QCOMPARE(label(1), QStringLiteral("I-PUMP1"));

    // Two terminals at one address are not saved: the message names the
    // terminal, the file is not written.
    grid("gridTerminals")->item(rowOfAddress(0), 0)->setData(Qt::EditRole, 12);
    const QString target = app.dir() + QStringLiteral("/twice.rmsite");
    QVERIFY(!frmSite->saveFile(target));
    QCOMPARE(app.messages.size(), 2);
    QVERIFY2(app.messages[1].text.contains(QStringLiteral("(アドレス 12)")), qPrintable(app.messages[1].text));
    QVERIFY(!QFile::exists(target));
    QCOMPARE(appSession->sitePath(), good);
}

// RMTool --site FILE: the installation open and its window shown from the
// start; a refused file is told and nothing opens.
void TestSiteWindow::siteOptionOpensItAtStart()
{
    AppFixture app(false);
    const QString good = writeFile(app, "panel3.rmsite", kSite);
    const QString bad = writeFile(app, "bad.rmsite", "{\"format\": \"rmtool-site/1\", \"terminals\": [{\"address\": 64}]}");
    StartOptions o;
    o.siteFile = good;
    frmMain->show();
    theApp->start(o);
    QCOMPARE(appSession->sitePath(), good);
    QCOMPARE(appSession->site()->name, QStringLiteral("Panel 3"));
    QVERIFY(frmSite->isVisible());
    QCOMPARE(grid("gridTerminals")->rowCount(), 2);
    QVERIFY(app.messages.isEmpty());

    frmSite->hide();
    appSession->clearSite();
    o.siteFile = bad;
    theApp->start(o);
    QCOMPARE(app.messages.size(), 1);
    QVERIFY2(app.messages[0].text.contains(QStringLiteral("bad.rmsite")), qPrintable(app.messages[0].text));
    QVERIFY(!appSession->site());
    QVERIFY(!frmSite->isVisible());
}

QTEST_MAIN(TestSiteWindow)
#include "test_site_window.moc"
