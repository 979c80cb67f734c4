// Waits end on their own answer: while the monitor polls every 100 ms (its
// answers arriving all the time), the module-information sequence and the
// terminal-settings poll each go on only after the answer to their own
// read, whatever else the gateway answers meanwhile.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "support/AppFixture.h"
#include "termset/TermsetBinding.h"
#include "termset/TermsetController.h"
#include "termset/TfrmWattorSet.h"
#include "tools/modinfo/TfrmModInfo.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

// One step of the link's traffic: a request of `tag` went out, or the answer
// to the request with `serial` came.
struct Step {
    bool sent;
    int tag;
    uint64_t serial;
};

class Traffic {
public:
    explicit Traffic(ModbusLink *link)
    {
        QObject::connect(link, &ModbusLink::requestSent, &m_ctx, [this](const modbus::Transaction &t) {
            steps << Step{true, t.tag, t.serial};
        });
        auto answer = [this](const modbus::Transaction &t, qint64) { steps << Step{false, t.tag, t.serial}; };
        QObject::connect(link, &ModbusLink::answerMatched, &m_ctx, answer);
        QObject::connect(link, &ModbusLink::lateAnswer, &m_ctx, answer);
    }
    QList<Step> ofTags(std::initializer_list<int> tags) const
    {
        QList<Step> l;
        for (const Step &s : steps)
            if (std::find(tags.begin(), tags.end(), s.tag) != tags.end())
                l << s;
        return l;
    }
    int answersOtherThan(std::initializer_list<int> tags) const
    {
        int n = 0;
        for (const Step &s : steps)
            n += !s.sent && std::find(tags.begin(), tags.end(), s.tag) == tags.end();
        return n;
    }
    QList<Step> steps;

private:
    QObject m_ctx;
};

// Answers held back a little, so that monitor answers keep arriving while
// a requester waits for its own.
SimOptions slowGateway()
{
    SimOptions o;
    o.delayMs = 60;
    return o;
}

void startMonitoringEvery100ms()
{
    frmMain->findChild<QLineEdit *>(QStringLiteral("Interval"))->setText(QStringLiteral("100"));
    frmMain->findChild<QToolButton *>(QStringLiteral("sbtnMonitor"))->click();
    QVERIFY(appSession->isMonitoring());
}

} // namespace

class TestE2eWaits : public QObject {
    Q_OBJECT
private slots:
    void moduleInformationReadsEachAfterItsOwnAnswer();
    void settingsPollReadsOnlyAfterItsOwnAnswers_data();
    void settingsPollReadsOnlyAfterItsOwnAnswers();
};

void TestE2eWaits::moduleInformationReadsEachAfterItsOwnAnswer()
{
    AppFixture fx(true, slowGateway());
    QVERIFY(fx.connectGateway());
    startMonitoringEvery100ms();
    Traffic traffic((&appSession->link()));
    // Let the monitor's answers flow first.
    QTRY_VERIFY(traffic.answersOtherThan({}) >= 2);

    triggerMenu("m1");
    QVERIFY(frmModInfo->isRequesting());
    QTRY_VERIFY_WITH_TIMEOUT(!frmModInfo->isRequesting(), 10000);

    // The three reads, once each, each sent after the answer to the one
    // before it: send 1, answer 1, send 2, answer 2, send 3, answer 3.
    const QList<Step> seq = traffic.ofTags({1, 2, 3});
    QCOMPARE(seq.size(), 6);
    for (int k = 0; k < 3; ++k) {
        const Step &sent = seq[2 * k], &answer = seq[2 * k + 1];
        QVERIFY(sent.sent);
        QCOMPARE(sent.tag, k + 1);
        QVERIFY(!answer.sent);
        QCOMPARE(answer.serial, sent.serial);
    }
    // The monitor went on meanwhile, and its answers did not end the waits.
    QVERIFY(traffic.answersOtherThan({1, 2, 3}) > 2);
    QVERIFY(fx.messages.isEmpty());  // no "no answer" warning
    // The answers reached the dialog: the MAC address of the simulator.
    const QString mac = frmModInfo->findChild<QLabel *>(QStringLiteral("StaticText21"))->text();
    QVERIFY2(mac.contains(QStringLiteral("2B")) && mac.contains(QStringLiteral("5E")), qPrintable(mac));
}

void TestE2eWaits::settingsPollReadsOnlyAfterItsOwnAnswers_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("upDown");
    QTest::addColumn<int>("address");
    QTest::newRow("current 8: several answers per poll") << 1 << "UpDown2" << 24;
    QTest::newRow("power 7") << 0 << "UpDown1" << 12;
    QTest::newRow("outlet bar") << 4 << "UpDown5" << 36;
}

void TestE2eWaits::settingsPollReadsOnlyAfterItsOwnAnswers()
{
    QFETCH(int, page);
    QFETCH(QString, upDown);
    QFETCH(int, address);
    AppFixture fx(true, slowGateway());
    QVERIFY(fx.connectGateway());
    startMonitoringEvery100ms();
    triggerMenu("EPcfg");
    auto find = [](const QString &name) {
        QWidget *w = frmWattorSet->findChild<QWidget *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    };
    static_cast<QTabWidget *>(find(QStringLiteral("PageControl1")))->setCurrentIndex(page);
    static_cast<QLineEdit *>(find(QStringLiteral("edPreReadWait")))->setText(QStringLiteral("1"));
    static_cast<QLineEdit *>(find(QStringLiteral("edWrtInt")))->setText(QStringLiteral("1"));
    static_cast<QLineEdit *>(find(QStringLiteral("edTObase")))->setText(QStringLiteral("100"));
    static_cast<QSpinBox *>(find(upDown))->setValue(address);
    Traffic traffic((&appSession->link()));

    const termset::PageBinding &def = termset::pageBinding(page);
    static_cast<QPushButton *>(find(def.readButton))->click();
    QCOMPARE(frmWattorSet->controller().runningPage(), page);
    QTRY_VERIFY_WITH_TIMEOUT(frmWattorSet->controller().runningPage() < 0, 30000);
    QCOMPARE(static_cast<QLabel *>(find(def.statusLabel))->text(), QString());

    // Every settings read after the first goes out only once the one
    // before it was answered: reads and answers alternate, one for one.
    const QList<Step> seq = traffic.ofTags({termset::kParameterTag});
    QVERIFY(seq.size() >= 2);
    QCOMPARE(seq.size() % 2, 0);
    for (int i = 0; i < seq.size(); i += 2) {
        QVERIFY(seq[i].sent);
        QVERIFY(!seq[i + 1].sent);
        QCOMPARE(seq[i + 1].serial, seq[i].serial);
    }
    QVERIFY(traffic.answersOtherThan({termset::kParameterTag}) > 0);
    // The simulator saw exactly the reads the dialog sent.
    int received = 0;
    for (const SimRequest &r : fx.gateway()->requests())
        received += r.function == 4 && r.tag == termset::kParameterTag;
    QCOMPARE(received, int(seq.size() / 2));
}

QTEST_MAIN(TestE2eWaits)
#include "test_e2e_waits.moc"
