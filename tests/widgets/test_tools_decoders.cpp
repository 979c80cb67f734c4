// Decoders of the module information (tags 1 to 3) and of the counter
// read-back (tags 10 to 14), fed whole answers as the gateway sends them,
// each to the decoder its dialog hands the answer to its own request.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "link/FrameAssembler.h"
#include "link/ReceiveBuffer.h"
#include "support/AnswerFrames.h"
#include "support/AppFixture.h"
#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "tools/modinfo/TfrmModInfo.h"
#include "support/Controls.h"
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace {

QByteArray answer(uint8_t tag, const QByteArray &data, int statedCount = -1)
{
    return frames::readAnswer(tag, data, statedCount);
}

QByteArray words(const QList<uint16_t> &regs)
{
    return frames::registerBytes(regs);
}

void feed(const QByteArray &bytes)
{
    FrameAssembler frames;
    frames.receiveData(bytes);
    const auto whole = frames.nextAnswer();
    QVERIFY(whole);
    QVERIFY(!frames.nextAnswer());
    ReceiveBuffer rb;
    rb.assign(*whole);
    switch (rb.tag()) {
    case 1: frmModInfo->ShowModuleWords(rb); break;
    case 2: frmModInfo->ShowLoginMode(rb); break;
    case 3: frmModInfo->ShowRotarySwitch(rb); break;
    default: frmCntrPreset->ShowReadBack(rb); break;
    }
}

// Chooses the gateway type on the main window.
void chooseGatewayType(bool rm2)
{
    auto *rb2 = frmMain->findChild<QRadioButton *>(QStringLiteral("rbRM2"));
    auto *rb1 = frmMain->findChild<QRadioButton *>(QStringLiteral("rbRM1"));
    QVERIFY(rb1 && rb2);
    QVERIFY(rb1->isChecked());  // "RM1.x" at start
    (rm2 ? rb2 : rb1)->setChecked(true);
    QCOMPARE(rb2->isChecked(), rm2);
}

// The 4 bytes of one read-back pair for a count and digit code, in the
// gateway's register order for the given word-order setting.
QByteArray pairBytes(uint32_t count, int digits, bool swapped)
{
    const auto low = uint16_t(count & 0xFFFF);
    const auto high = uint16_t((digits << 9) | ((count >> 16) & 0xFF));
    return swapped ? words({high, low}) : words({low, high});
}

QSpinBox *value(int k) { return frmCntrPreset->findChild<QSpinBox *>(QStringLiteral("SpinEdit%1").arg(k + 1)); }
QComboBox *digits(int k) { return frmCntrPreset->findChild<QComboBox *>(QStringLiteral("ComboBox%1").arg(k + 1)); }

} // namespace

class TestToolsDecoders : public QObject {
    Q_OBJECT
private slots:
    void moduleWords_data();
    void moduleWords();
    void moduleWordsShortAnswer();
    void loginMode_data();
    void loginMode();
    void rotarySwitch_data();
    void rotarySwitch();
    void counterPairs_data();
    void counterPairs();
    void counterWords();
    void digitCodesWithoutItem();
};

void TestToolsDecoders::moduleWords_data()
{
    QTest::addColumn<bool>("rm2");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<uint16_t>("singleCycle");
    QTest::addColumn<QString>("singleCycleText");
    QTest::newRow("RM2.x") << true << "00-1A-2B-3C-4D-5E" << uint16_t(2) << "ON";
    QTest::newRow("RM1.x") << false << "1A-00-3C-2B-5E-4D" << uint16_t(0) << "OFF";
}

void TestToolsDecoders::moduleWords()
{
    QFETCH(bool, rm2);
    QFETCH(QString, mac);
    QFETCH(uint16_t, singleCycle);
    QFETCH(QString, singleCycleText);
    AppFixture fx(false);
    chooseGatewayType(rm2);
    // Words 0..15 = input registers 296..311.
    feed(answer(1, words({0x001A, 0x2B3C, 0x4D5E, 0x0102, 0x0a15, 0x0100, 0xBEEF, 0x00A5, 0x1111,
                          0x2222, singleCycle, 0x3333, 0x4444, 0x5555, 0x0110, 0x6666})));
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText21")->text(), mac);
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText14")->text(), QStringLiteral("0102"));
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText15")->text(), QStringLiteral("0A15"));
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText11")->text(), QStringLiteral("0100"));
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText12")->text(), QStringLiteral("BEEF"));
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText18")->text(), QStringLiteral("00A5"));
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText16")->text(), QStringLiteral("0110"));
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText19")->text(), singleCycleText);
}

void TestToolsDecoders::moduleWordsShortAnswer()
{
    AppFixture fx(false);
    const QString before = controls::find<QLabel>(frmModInfo, "StaticText11")->text();
    // States 32 bytes, carries 8: MAC and the Nexilo H/W word only.
    feed(answer(1, words({0x0102, 0x0304, 0x0506, 0x0777}), 32));
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText21")->text(), QStringLiteral("02-01-04-03-06-05"));
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText14")->text(), QStringLiteral("0777"));
    for (QLabel *untouched : {controls::find<QLabel>(frmModInfo, "StaticText11"), controls::find<QLabel>(frmModInfo, "StaticText12"), controls::find<QLabel>(frmModInfo, "StaticText15"), controls::find<QLabel>(frmModInfo, "StaticText16"),
                              controls::find<QLabel>(frmModInfo, "StaticText18"), controls::find<QLabel>(frmModInfo, "StaticText19")})
        QCOMPARE(untouched->text(), before);
    // Five bytes: not even the MAC.
    feed(answer(1, QByteArray::fromHex("AABBCCDDEE")));
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText21")->text(), QStringLiteral("02-01-04-03-06-05"));
}

void TestToolsDecoders::loginMode_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");  // "" = unchanged
    QTest::newRow("0x0001 is User") << QByteArray::fromHex("0001") << "User";
    QTest::newRow("0x0100 is Admin") << QByteArray::fromHex("0100") << "Admin";
    QTest::newRow("0x0200 unchanged") << QByteArray::fromHex("0200") << "";
    QTest::newRow("no data unchanged") << QByteArray() << "";
}

void TestToolsDecoders::loginMode()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, text);
    AppFixture fx(false);
    QLabel *field = controls::find<QLabel>(frmModInfo, "StaticText13");
    field->setText(QStringLiteral("before"));
    feed(answer(2, data));
    QCOMPARE(field->text(), text.isEmpty() ? QStringLiteral("before") : text);
}

void TestToolsDecoders::rotarySwitch_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("mode");  // "" = unchanged
    const char *modes[16] = {"D4 1Km", "D4 500m", "D4 200m", "D4 100m", "D3 1Km", "D3 500m",
                             "D3 200m", "D3 100m", "D2 3Km", "D2 1km", "D2 200m", "D2 50m",
                             "D2W 3Km", "D2W 1km", "D2W 200m", "D2W 50m"};
    for (int v = 0; v < 16; ++v)
        QTest::addRow("%d", v) << v << QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0')).toUpper()
                               << QString::fromUtf8(modes[v]);
    QTest::newRow("16 unchanged") << 16 << "0010" << "";
    QTest::newRow("0x1209 unchanged") << 0x1209 << "1209" << "";
}

void TestToolsDecoders::rotarySwitch()
{
    QFETCH(int, value);
    QFETCH(QString, hex);
    QFETCH(QString, mode);
    AppFixture fx(false);
    controls::find<QLabel>(frmModInfo, "StaticText20")->setText(QStringLiteral("before"));
    feed(answer(3, words({uint16_t(value)})));
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText17")->text(), hex);
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText20")->text(), mode.isEmpty() ? QStringLiteral("before") : mode);
    // A single byte is no register: nothing changes.
    feed(answer(3, QByteArray(1, '\x05')));
    QCOMPARE(controls::find<QLabel>(frmModInfo, "StaticText17")->text(), hex);
}

void TestToolsDecoders::counterPairs_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("pairs");
    QTest::addColumn<QList<int>>("channelPairs");  // pair shown by CH0..CH7
    QTest::addColumn<bool>("swapped");
    const QList<int> plain{0, 1, 2, 3, 4, 5, 6, 7};
    const QList<int> w8{0, 9, 18, 27, 4, 13, 22, 31};
    const QList<int> w4{0, 9, 2, 11, 4, 13, 6, 15};
    for (bool swapped : {false, true}) {
        const char *order = swapped ? "SWAP" : "standard";
        QTest::addRow("tag 11 %s", order) << 11 << 8 << plain << swapped;
        QTest::addRow("tag 11 with 12 pairs %s", order) << 11 << 12 << plain << swapped;
        QTest::addRow("tag 12 %s", order) << 12 << 8 << plain << swapped;
        QTest::addRow("tag 13 %s", order) << 13 << 32 << w8 << swapped;
        QTest::addRow("tag 14 %s", order) << 14 << 16 << w4 << swapped;
    }
}

void TestToolsDecoders::counterPairs()
{
    QFETCH(int, tag);
    QFETCH(int, pairs);
    QFETCH(QList<int>, channelPairs);
    QFETCH(bool, swapped);
    AppFixture fx(false);
    appSession->settings().wordOrderSwap = swapped ? 1 : 0;
    // Pair m carries count 0x10000 * (m + 1) + 0x0102 + m and digit code m mod 5.
    QByteArray data;
    for (int m = 0; m < pairs; ++m)
        data += pairBytes(0x10000u * uint32_t(m + 1) + 0x0102u + uint32_t(m), m % 5, swapped);
    feed(answer(uint8_t(tag), data));
    for (int k = 0; k < 8; ++k) {
        const int m = channelPairs[k];
        QCOMPARE(value(k)->value(), int(0x10000 * (m + 1) + 0x0102 + m));
        QCOMPARE(digits(k)->currentIndex(), m % 5);
    }
}

void TestToolsDecoders::counterWords()
{
    AppFixture fx(false);
    // Sixteen registers: only CH0..CH7 take the first eight, unsigned.
    QList<uint16_t> regs;
    for (int i = 0; i < 16; ++i)
        regs << uint16_t(0xFFF0 + i);
    for (int k = 0; k < 8; ++k)
        digits(k)->setCurrentIndex(2);
    feed(answer(10, words(regs)));
    for (int k = 0; k < 8; ++k) {
        QCOMPARE(value(k)->value(), 0xFFF0 + k);
        QCOMPARE(digits(k)->currentIndex(), 2);  // 16-bit words carry no digit code
    }
    // A short answer fills what it carries.
    feed(answer(10, words({7, 8, 9}), 16));
    QCOMPARE(value(2)->value(), 9);
    QCOMPARE(value(3)->value(), 0xFFF3);
}

void TestToolsDecoders::digitCodesWithoutItem()
{
    AppFixture fx(false);
    // The edge case of the bytes 00 01 08 02 in both orders, then codes 5..7.
    feed(answer(11, QByteArray::fromHex("00010802")));
    QCOMPARE(value(0)->value(), 2 * 65536 + 1);
    QCOMPARE(digits(0)->currentText(), QStringLiteral("7桁"));
    appSession->settings().wordOrderSwap = 1;
    feed(answer(11, QByteArray::fromHex("00010802")));
    QCOMPARE(value(0)->value(), 1 * 65536 + 8 * 256 + 2);
    QCOMPARE(digits(0)->currentText(), QStringLiteral("なし"));
    appSession->settings().wordOrderSwap = 0;
    QByteArray data;
    for (int code : {5, 6, 7})
        data += pairBytes(100, code, false);
    feed(answer(11, data));
    for (int k = 0; k < 3; ++k) {
        QCOMPARE(value(k)->value(), 100);
        QCOMPARE(digits(k)->currentIndex(), -1);
    }
}

QTEST_MAIN(TestToolsDecoders)
#include "test_tools_decoders.moc"
