// The interface language: which one the program starts with (environment,
// settings file), the WINDOW lang key, installing and removing the English
// translation, and the translation file itself (every Japanese text has an
// English one with the same placeholders and line breaks).
#include "app/IniFile.h"
#include "app/Settings.h"
#include "app/Translation.h"
#include "support/InterfaceTexts.h"
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QSet<QString> placeholders(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("%\\d+"));
    QSet<QString> s;
    for (const auto &m : re.globalMatch(text))
        s << m.captured();
    return s;
}

struct Message {
    QString context, source, translation;
    bool finished = false;
};

QList<Message> readTs(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<Message> out;
    QXmlStreamReader xml(&f);
    QString context;
    Message m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            m = Message{context, {}, {}, false};
        else if (xml.name() == QLatin1String("source"))
            m.source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            m.finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            m.translation = xml.readElementText();
            out << m;
        }
    }
    return out;
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void startupLanguage_data();
    void startupLanguage();
    void langKeyWrittenOnlyOnceChosen();
    void installAndRemoveEnglish();
    void unknownLanguageKeepsJapanese();
    void textInChosenLanguage();
    void everyJapaneseTextHasAnEnglishOne();
};

void TestLanguage::cleanup()
{
    qunsetenv("RMTOOL_LANG");
    installTranslation(*QCoreApplication::instance(), QStringLiteral("ja"));
}

void TestLanguage::startupLanguage_data()
{
    QTest::addColumn<QByteArray>("file");  // settings file; empty: none
    QTest::addColumn<QByteArray>("env");   // RMTOOL_LANG; empty: unset
    QTest::addColumn<QString>("expected");
    QTest::newRow("no file") << QByteArray() << QByteArray() << "ja";
    QTest::newRow("no key") << QByteArray("[WINDOW]\r\nTop=5\r\n") << QByteArray() << "ja";
    QTest::newRow("en") << QByteArray("[WINDOW]\r\nlang=en\r\n") << QByteArray() << "en";
    QTest::newRow("ja") << QByteArray("[WINDOW]\r\nlang=ja\r\n") << QByteArray() << "ja";
    QTest::newRow("key case") << QByteArray("[window]\r\nLANG=en\r\n") << QByteArray() << "en";
    QTest::newRow("other section") << QByteArray("[LOG]\r\nlang=en\r\n") << QByteArray() << "ja";
    QTest::newRow("unknown") << QByteArray("[WINDOW]\r\nlang=fr\r\n") << QByteArray() << "ja";
    QTest::newRow("value case") << QByteArray("[WINDOW]\r\nlang=EN\r\n") << QByteArray() << "ja";
    QTest::newRow("env wins") << QByteArray("[WINDOW]\r\nlang=ja\r\n") << QByteArray("en") << "en";
    QTest::newRow("env ja wins") << QByteArray("[WINDOW]\r\nlang=en\r\n") << QByteArray("ja") << "ja";
    QTest::newRow("bad env ignored") << QByteArray("[WINDOW]\r\nlang=en\r\n") << QByteArray("de") << "en";
}

void TestLanguage::startupLanguage()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, env);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RMTool.ini"));
    if (!file.isEmpty())
        writeFile(path, file);
    if (!env.isEmpty())
        qputenv("RMTOOL_LANG", env);
    QCOMPARE(::startupLanguage(path), expected);
}

void TestLanguage::langKeyWrittenOnlyOnceChosen()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RMTool.ini"));
    // A user who never chose a language gets the file of before.
    AppSettings s;
    QVERIFY(s.save(path));
    QVERIFY(!readFile(path).contains("lang"));
    QVERIFY(AppSettings::load(path).language.isEmpty());

    s.language = QStringLiteral("en");
    QVERIFY(s.save(path));
    const QByteArray bytes = readFile(path);
    QVERIFY(bytes.contains("\r\nlang=en\r\n"));
    // In section WINDOW, before the next section.
    QVERIFY(bytes.indexOf("[WINDOW]") < bytes.indexOf("lang=en"));
    QVERIFY(bytes.indexOf("lang=en") < bytes.indexOf("[MODBUS]"));
    QCOMPARE(AppSettings::load(path).language, QStringLiteral("en"));
}

void TestLanguage::installAndRemoveEnglish()
{
    auto &app = *QCoreApplication::instance();
    QVERIFY(installTranslation(app, QStringLiteral("en")));
    QCOMPARE(currentLanguage(), QStringLiteral("en"));
    QCOMPARE(QCoreApplication::translate("TfrmMain", "接続しました"), QStringLiteral("Connected"));
    QCOMPARE(QCoreApplication::translate("monitor", "℃"), QStringLiteral("°C"));
    // Installing twice leaves one translation, removed again by Japanese.
    QVERIFY(installTranslation(app, QStringLiteral("en")));
    QVERIFY(installTranslation(app, QStringLiteral("ja")));
    QCOMPARE(currentLanguage(), QStringLiteral("ja"));
    QCOMPARE(QCoreApplication::translate("TfrmMain", "接続しました"), QStringLiteral("接続しました"));
}

void TestLanguage::unknownLanguageKeepsJapanese()
{
    auto &app = *QCoreApplication::instance();
    for (const char *bad : {"fr", "", "EN", "en_US"}) {
        QVERIFY2(!installTranslation(app, QString::fromLatin1(bad)), bad);
        QCOMPARE(currentLanguage(), QStringLiteral("ja"));
        QCOMPARE(QCoreApplication::translate("msg", "エラー"), QStringLiteral("エラー"));
    }
}

void TestLanguage::textInChosenLanguage()
{
    const char *source = "言語の設定は次回起動時に有効になります。";
    const QString english = QStringLiteral("The language setting takes effect at the next start.");
    for (const char *installed : {"ja", "en"}) {
        QVERIFY(installTranslation(*QCoreApplication::instance(), QString::fromLatin1(installed)));
        QCOMPARE(textInLanguage("TfrmMain", source, QStringLiteral("en")), english);
        QCOMPARE(textInLanguage("TfrmMain", source, QStringLiteral("ja")), QString::fromUtf8(source));
    }
}

void TestLanguage::everyJapaneseTextHasAnEnglishOne()
{
    const QList<Message> messages = readTs(QStringLiteral(TESTS_SOURCE_DIR "/../i18n/rmtool_en.ts"));
    int japanese = 0;
    QStringList wrong;
    for (const Message &m : messages) {
        if (!hasJapanese(m.source))
            continue;
        ++japanese;
        const QString where = m.context + QLatin1String(": ") + m.source;
        if (!m.finished || m.translation.isEmpty())
            wrong << QLatin1String("untranslated ") + where;
        else if (hasJapanese(m.translation))
            wrong << QLatin1String("Japanese in ") + where;
        else if (placeholders(m.source) != placeholders(m.translation))
            wrong << QLatin1String("placeholders differ in ") + where;
        else if (m.source.startsWith(u'\n') != m.translation.startsWith(u'\n')
                 || m.source.endsWith(u'\n') != m.translation.endsWith(u'\n')
                 || m.source.count(u'\n') != m.translation.count(u'\n'))
            wrong << QLatin1String("line breaks differ in ") + where;
    }
    // The windows, menus and messages hold some four hundred texts.
    QVERIFY2(japanese > 350, qPrintable(QString::number(japanese)));
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestLanguage)
#include "test_language.moc"
