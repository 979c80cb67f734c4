// The survey's report: read back from its HTML (through QTextDocument, table
// by table and cell by cell) and from its PDF (through poppler's pdftotext,
// pdffonts and pdfinfo): every terminal and channel with its figures and
// verdict, bad verdicts marked, the summary, the gateway and its clock, the
// journal, the statistics, the pictures unstretched, English headings under
// the English translation, the CJK font embedded, and a failed write that
// leaves nothing. With RMTOOL_REPORT_OUT=<folder> the sample report is also
// saved there (report.html, report.pdf) to be looked at.
#include "app/Translation.h"
#include "support/InterfaceTexts.h"
#include "tools/report/SurveyReport.h"
#include "tools/trend/TrendChart.h"
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QtTest>
#include <cmath>

using namespace survey;

namespace {

using Rows = QList<QStringList>;

QList<double> ramp(double from, double to, int n)
{
    QList<double> v;
    for (int i = 0; i < n; ++i)
        v << from + (to - from) * i / (n - 1);
    return v;
}

ChannelResult channel(int ch, const char *label, const char *unit, const char *tag, std::optional<double> min,
                      std::optional<double> max, std::optional<double> lowest, std::optional<double> mean,
                      std::optional<double> highest, Verdict verdict)
{
    return {ch, QString::fromUtf8(label), QString::fromUtf8(unit), QString::fromUtf8(tag), min, max,
            lowest, mean, highest, verdict};
}

// Three terminals: a power terminal with one channel past its limit and its
// settings, an analog terminal that never answered, a current terminal
// whose settings could not be read.
report::ReportInput sampleInput()
{
    report::ReportInput in;
    SurveyResult &s = in.survey;
    s.siteName = QStringLiteral("第二工場 受変電設備");
    s.siteFile = QStringLiteral("/home/eng/sites/plant2.rmsite");
    s.started = QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0));
    s.finished = QDateTime(QDate(2026, 12, 9), QTime(10, 4, 30));
    s.stopped = true;
    s.samplesPerTerminal = 20;
    s.intervalMs = 500;

    GatewayResult &g = s.gateway;
    g.host = QStringLiteral("127.0.0.1");
    g.port = 502;
    g.moduleInfoRead = true;
    g.moduleInfo.macAddress = QStringLiteral("00:1B:2C:3D:4E:5F");
    g.moduleInfo.pcBoardHw = QStringLiteral("0102");
    g.moduleInfo.pcBoardFw = QStringLiteral("0315");
    g.moduleInfo.busBoardHw = QStringLiteral("0A01");
    g.moduleInfo.busBoardFw = QStringLiteral("0B02");
    g.moduleInfo.loginMode = QStringLiteral("Admin");
    g.moduleInfo.rotarySwitch = QStringLiteral("3");
    g.moduleInfo.transmission = QStringLiteral("12Mbps 100m");
    g.clock = QDateTime(QDate(2026, 12, 9), QTime(10, 0, 3));
    g.clockDifferenceSeconds = 3;

    TerminalResult power;
    power.address = 12;
    power.type = 3;
    power.typeName = QStringLiteral("電力７回路標準ターミナル");
    power.name = QStringLiteral("受電盤 1");
    power.samplesAsked = power.samplesReceived = 20;
    power.channels = {channel(0, "Vab", "V", "VAB-1", 180, 220, 199.5, 200.254, 201, Verdict::Ok),
                      channel(1, "I1", "A", "", 0, 50, 12, 37.0 / 3, 13, Verdict::Ok),
                      channel(2, "P1", "kW", "P-01", std::nullopt, 10, 2, 11.5, 12.75, Verdict::OutOfRange)};
    power.series = {ramp(199.5, 201, 20), ramp(12, 13, 20), ramp(2, 12.75, 20)};
    power.settings = TerminalSettings{QStringLiteral("電力７回路"), true, {},
                                      {{QStringLiteral("周波数"), QStringLiteral("60Hz")},
                                       {QStringLiteral("電圧"), QStringLiteral("200V")},
                                       {QStringLiteral("CTレンジ"), QStringLiteral("100A")}}};

    TerminalResult analog;
    analog.address = 20;
    analog.type = 1;
    analog.typeName = QStringLiteral("アナログ入力ターミナル");
    analog.name = QStringLiteral("ポンプ室 温度");
    analog.samplesAsked = 20;
    analog.channels = {channel(0, "温度", "℃", "T-101", 0, 40, {}, {}, {}, Verdict::NoAnswer),
                       channel(1, "湿度", "%", "", {}, {}, {}, {}, {}, Verdict::NoAnswer)};
    analog.series = {{}, {}};

    TerminalResult current;
    current.address = 30;
    current.type = 5;
    current.typeName = QStringLiteral("電流ターミナル");
    current.name = QStringLiteral("分電盤 B");
    current.samplesAsked = 20;
    current.samplesReceived = 19;
    current.channels = {channel(8, "I1", "A", "", 0, std::nullopt, 0, 1.0 / 3, 1, Verdict::Ok),
                        channel(9, "I2", "A", "", {}, {}, -0.5, 0.005, 0.5, Verdict::Ok)};
    current.series = {ramp(0, 1, 19), ramp(-0.5, 0.5, 19)};
    current.settings = TerminalSettings{QStringLiteral("電流"), false, QStringLiteral("応答がありません"), {}};

    s.terminals = {power, analog, current};

    in.journal = {{QStringLiteral("10:01:05"), QStringLiteral("書き込みツール"), QStringLiteral("06 単一レジスタ"),
                   QStringLiteral("40001"), QStringLiteral("123"), QStringLiteral("OK")},
                  {QStringLiteral("10:02:17"), QStringLiteral("書き込みツール"), QStringLiteral("16 複数レジスタ"),
                   QStringLiteral("40010"), QStringLiteral("1, 2"), QStringLiteral("例外 02 不正なデータアドレス")}};
    in.comm = {120, 117, 2, 1, 0, 1.234, 4.5678, 20.0};
    return in;
}

QString cellText(const QTextTableCell &cell)
{
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText().replace(QChar::ParagraphSeparator, u' ').simplified();
}

// The tables of the document in order, each as rows of cell texts (a cell
// spanning columns counted once).
QList<QTextTable *> tablesOf(QTextDocument &doc)
{
    QList<QTextTable *> tables;
    for (QTextFrame *f : doc.rootFrame()->childFrames())
        if (auto *t = qobject_cast<QTextTable *>(f))
            tables << t;
    return tables;
}

Rows rowsOf(QTextTable *t)
{
    Rows rows;
    for (int r = 0; r < t->rows(); ++r) {
        QStringList row;
        for (int c = 0; c < t->columns(); ++c) {
            const QTextTableCell cell = t->cellAt(r, c);
            if (cell.row() == r && cell.column() == c)
                row << cellText(cell);
        }
        rows << row;
    }
    return rows;
}

// The first table whose first row starts with `firstCell` (or contains it,
// for the terminal tables' captions).
QTextTable *tableWith(QTextDocument &doc, const QString &firstCell)
{
    for (QTextTable *t : tablesOf(doc))
        if (cellText(t->cellAt(0, 0)).contains(firstCell))
            return t;
    return nullptr;
}

// Caption -> value of a two-column table.
QMap<QString, QString> pairsOf(QTextTable *t)
{
    QMap<QString, QString> m;
    for (const QStringList &row : rowsOf(t))
        if (row.size() == 2)
            m.insert(row[0], row[1]);
    return m;
}

QString run(const QString &program, const QStringList &arguments)
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        qFatal("%s is missing: scripts/install-deps installs poppler-utils", qPrintable(program));
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestSurveyReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void terminalTables_data();
    void terminalTables();
    void badVerdictsAreMarked();
    void summaryHeaderAndGateway();
    void clockAndModuleInformation_data();
    void clockAndModuleInformation();
    void journalAndStatistics_data();
    void journalAndStatistics();
    void numberTexts_data();
    void numberTexts();
    void picturesInlineAndUnstretched();
    void englishReport();
    void pdfReadsBackWithTheFontEmbedded();
    void failedWriteLeavesNothing_data();
    void failedWriteLeavesNothing();
};

void TestSurveyReport::initTestCase()
{
    QVERIFY(installTranslation(*qApp, QStringLiteral("ja")));
    const QString out = qEnvironmentVariable("RMTOOL_REPORT_OUT");
    if (!out.isEmpty()) {
        QString error;
        QVERIFY2(report::writeHtml(out + QStringLiteral("/report.html"), sampleInput(), &error), qPrintable(error));
        QVERIFY2(report::writePdf(out + QStringLiteral("/report.pdf"), sampleInput(), &error), qPrintable(error));
    }
}

void TestSurveyReport::terminalTables_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("caption");
    QTest::addColumn<Rows>("rows");
    const QStringList head = {QStringLiteral("CH"), QStringLiteral("名称"), QStringLiteral("単位"),
                              QStringLiteral("タグ"), QStringLiteral("期待範囲"), QStringLiteral("最小"),
                              QStringLiteral("平均"), QStringLiteral("最大"), QStringLiteral("判定")};
    QTest::newRow("out of range")
        << 0 << QStringList{QStringLiteral("アドレス 12"), QStringLiteral("電力７回路標準ターミナル"),
                            QStringLiteral("受電盤 1"), QStringLiteral("受信 20 / 20 サンプル")}
        << Rows{head,
                {"0", "Vab", "V", "VAB-1", "180..220", "199.5", "200.25", "201", "OK"},
                {"1", "I1", "A", "", "0..50", "12", "12.33", "13", "OK"},
                {"2", "P1", "kW", "P-01", "..10", "2", "11.5", "12.75", QStringLiteral("範囲外")}};
    QTest::newRow("no answer")
        << 1 << QStringList{QStringLiteral("アドレス 20"), QStringLiteral("ポンプ室 温度"), QStringLiteral("受信 0 / 20 サンプル")}
        << Rows{head,
                {"0", QStringLiteral("温度"), QStringLiteral("℃"), "T-101", "0..40", "", "", "", QStringLiteral("応答なし")},
                {"1", QStringLiteral("湿度"), "%", "", "", "", "", "", QStringLiteral("応答なし")}};
    QTest::newRow("means rounded")
        << 2 << QStringList{QStringLiteral("アドレス 30"), QStringLiteral("分電盤 B"), QStringLiteral("受信 19 / 20 サンプル")}
        << Rows{head, {"8", "I1", "A", "", "0..", "0", "0.33", "1", "OK"}, {"9", "I2", "A", "", "", "-0.5", "0.01", "0.5", "OK"}};
}

void TestSurveyReport::terminalTables()
{
    QFETCH(int, index);
    QFETCH(QStringList, caption);
    QFETCH(Rows, rows);
    QTextDocument doc;
    doc.setHtml(report::html(sampleInput()));
    // The terminals' tables come in the survey's order.
    QList<QTextTable *> terminals;
    for (QTextTable *t : tablesOf(doc))
        if (cellText(t->cellAt(0, 0)).startsWith(QStringLiteral("アドレス ")))
            terminals << t;
    QCOMPARE(terminals.size(), 3);
    Rows got = rowsOf(terminals[index]);
    const QString captionRow = got.takeFirst().join(u' ');
    for (const QString &part : caption)
        QVERIFY2(captionRow.contains(part), qPrintable(captionRow));
    QCOMPARE(got, rows);
    // The caption and the column titles repeat on a new page.
    QCOMPARE(terminals[index]->format().headerRowCount(), 2);
}

void TestSurveyReport::badVerdictsAreMarked()
{
    QTextDocument doc;
    doc.setHtml(report::html(sampleInput()));
    auto marked = [](const QTextTableCell &cell) {
        QTextCursor c = cell.firstCursorPosition();
        c.movePosition(QTextCursor::NextCharacter);
        return std::pair(cell.format().background().style() != Qt::NoBrush,
                         c.charFormat().fontWeight() >= QFont::Bold);
    };
    QTextTable *power = tableWith(doc, QStringLiteral("アドレス 12"));
    QTextTable *analog = tableWith(doc, QStringLiteral("アドレス 20"));
    QVERIFY(power && analog);
    QCOMPARE(marked(power->cellAt(2, 8)), std::pair(false, false));  // OK
    QCOMPARE(marked(power->cellAt(4, 8)), std::pair(true, true));    // 範囲外
    QCOMPARE(marked(analog->cellAt(2, 8)), std::pair(true, true));   // 応答なし
    // The highest value past the upper limit is bold; the lowest within it is not.
    QCOMPARE(marked(power->cellAt(4, 7)).second, true);
    QCOMPARE(marked(power->cellAt(4, 5)).second, false);
}

void TestSurveyReport::summaryHeaderAndGateway()
{
    QTextDocument doc;
    doc.setHtml(report::html(sampleInput()));
    const QString text = doc.toPlainText();
    QVERIFY(text.startsWith(QStringLiteral("設置点検報告書")));
    QTextTable *summary = tableWith(doc, QStringLiteral("点検したターミナル"));
    QVERIFY(summary);
    QCOMPARE(rowsOf(summary).value(1), (QStringList{"3", "7", "4", "1", "2"}));

    QTextTable *head = tableWith(doc, QStringLiteral("設置名"));
    QVERIFY(head);
    const QMap<QString, QString> h = pairsOf(head);
    QCOMPARE(h.value(QStringLiteral("設置名")), QStringLiteral("第二工場 受変電設備"));
    QCOMPARE(h.value(QStringLiteral("点検開始")), QStringLiteral("2026/12/09 10:00:00"));
    QCOMPARE(h.value(QStringLiteral("点検終了")), QStringLiteral("2026/12/09 10:04:30"));
    QCOMPARE(h.value(QStringLiteral("実施")), QStringLiteral("途中で中止されました"));

    const QMap<QString, QString> g = pairsOf(tableWith(doc, QStringLiteral("接続先")));
    const QMap<QString, QString> expected = {
        {QStringLiteral("接続先"), QStringLiteral("127.0.0.1:502")},
        {QStringLiteral("MACアドレス"), QStringLiteral("00:1B:2C:3D:4E:5F")},
        {QStringLiteral("PCボード H/W"), QStringLiteral("0102")},
        {QStringLiteral("PCボード F/W"), QStringLiteral("0315")},
        {QStringLiteral("バスボード H/W"), QStringLiteral("0A01")},
        {QStringLiteral("バスボード F/W"), QStringLiteral("0B02")},
        {QStringLiteral("ログインモード"), QStringLiteral("Admin")},
        {QStringLiteral("ロータリースイッチ"), QStringLiteral("3")},
        {QStringLiteral("伝送モード"), QStringLiteral("12Mbps 100m")},
        {QStringLiteral("ゲートウェイの時計"), QStringLiteral("2026/12/09 10:00:03")},
        {QStringLiteral("時計の差 (ゲートウェイ − PC)"), QStringLiteral("+3 秒")}};
    QCOMPARE(g, expected);

    // The settings of the power terminal by name, the failure of the current terminal's.
    QCOMPARE(pairsOf(tableWith(doc, QStringLiteral("周波数"))),
             (QMap<QString, QString>{{QStringLiteral("周波数"), QStringLiteral("60Hz")},
                                     {QStringLiteral("電圧"), QStringLiteral("200V")},
                                     {QStringLiteral("CTレンジ"), QStringLiteral("100A")}}));
    QVERIFY(text.contains(QStringLiteral("設定 (電力７回路)")));
    QVERIFY(text.contains(QStringLiteral("設定を読み出せませんでした: 応答がありません")));
    QVERIFY(!text.contains(QStringLiteral("nan"), Qt::CaseInsensitive));
}

void TestSurveyReport::clockAndModuleInformation_data()
{
    QTest::addColumn<bool>("moduleRead");
    QTest::addColumn<std::optional<qint64>>("difference");
    QTest::addColumn<QString>("clockText");
    QTest::addColumn<QString>("differenceText");
    QTest::newRow("gateway behind") << true << std::optional<qint64>(-2) << QStringLiteral("2026/12/09 10:00:03")
                                    << QStringLiteral("-2 秒");
    QTest::newRow("same time") << true << std::optional<qint64>(0) << QStringLiteral("2026/12/09 10:00:03")
                               << QStringLiteral("0 秒");
    QTest::newRow("nothing read") << false << std::optional<qint64>() << QStringLiteral("応答なし")
                                  << QStringLiteral("応答なし");
}

void TestSurveyReport::clockAndModuleInformation()
{
    QFETCH(bool, moduleRead);
    QFETCH(std::optional<qint64>, difference);
    QFETCH(QString, clockText);
    QFETCH(QString, differenceText);
    report::ReportInput in = sampleInput();
    in.survey.gateway.moduleInfoRead = moduleRead;
    in.survey.gateway.clockDifferenceSeconds = difference;
    if (!difference)
        in.survey.gateway.clock.reset();
    QTextDocument doc;
    doc.setHtml(report::html(in));
    const QMap<QString, QString> g = pairsOf(tableWith(doc, QStringLiteral("接続先")));
    QCOMPARE(g.value(QStringLiteral("ゲートウェイの時計")), clockText);
    QCOMPARE(g.value(QStringLiteral("時計の差 (ゲートウェイ − PC)")), differenceText);
    QCOMPARE(g.contains(QStringLiteral("MACアドレス")), moduleRead);
    QCOMPARE(g.value(QStringLiteral("モジュール情報")), moduleRead ? QString() : QStringLiteral("応答なし"));
}

void TestSurveyReport::journalAndStatistics_data()
{
    QTest::addColumn<bool>("withJournal");
    QTest::newRow("two writes") << true;
    QTest::newRow("no write") << false;
}

void TestSurveyReport::journalAndStatistics()
{
    QFETCH(bool, withJournal);
    report::ReportInput in = sampleInput();
    if (!withJournal)
        in.journal.clear();
    QTextDocument doc;
    doc.setHtml(report::html(in));
    QTextTable *journal = tableWith(doc, QStringLiteral("時刻"));
    QCOMPARE(journal != nullptr, withJournal);
    QCOMPARE(doc.toPlainText().contains(QStringLiteral("この点検では書き込みを送信していません。")), !withJournal);
    if (journal)
        QCOMPARE(rowsOf(journal),
                 (Rows{{QStringLiteral("時刻"), QStringLiteral("ウィンドウ"), QStringLiteral("機能"),
                        QStringLiteral("参照"), QStringLiteral("値"), QStringLiteral("結果")},
                       {"10:01:05", QStringLiteral("書き込みツール"), QStringLiteral("06 単一レジスタ"), "40001",
                        "123", "OK"},
                       {"10:02:17", QStringLiteral("書き込みツール"), QStringLiteral("16 複数レジスタ"), "40010",
                        "1, 2", QStringLiteral("例外 02 不正なデータアドレス")}}));
    QTextTable *comm = tableWith(doc, QStringLiteral("要求"));
    QVERIFY(comm);
    QCOMPARE(rowsOf(comm).value(1), (QStringList{"120", "117", "2", "1", "0", "1.23", "4.57", "20"}));
}

void TestSurveyReport::numberTexts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("asValue");
    QTest::addColumn<QString>("asMean");
    QTest::newRow("third") << 1.0 / 3 << "0.3333333" << "0.33";
    QTest::newRow("rounds up") << 2.675001 << "2.675001" << "2.68";
    QTest::newRow("large") << 123456.789 << "123456.8" << "123456.8";
    QTest::newRow("negative small") << -0.001 << "-0.001" << "0";
    QTest::newRow("negative zero") << -0.0 << "0" << "0";
    QTest::newRow("exponent") << 12345678.0 << "1.234568E7" << "1.234568E7";
    QTest::newRow("nan") << std::nan("") << "" << "";
    QTest::newRow("infinity") << HUGE_VAL << "" << "";
}

void TestSurveyReport::numberTexts()
{
    QFETCH(double, value);
    QFETCH(QString, asValue);
    QFETCH(QString, asMean);
    QCOMPARE(report::valueText(value), asValue);
    QCOMPARE(report::meanText(value), asMean);
}

void TestSurveyReport::picturesInlineAndUnstretched()
{
    const report::ReportInput in = sampleInput();
    const QString html = report::html(in);
    static const QRegularExpression img(
        QStringLiteral("<img src=\"data:image/png;base64,([A-Za-z0-9+/=]+)\" width=\"(\\d+)\" height=\"(\\d+)\""));
    QList<QRegularExpressionMatch> pictures;
    for (auto it = img.globalMatch(html); it.hasNext();)
        pictures << it.next();
    // One picture per terminal with samples (not the one that never answered).
    QCOMPARE(pictures.size(), 2);
    const QList<int> terminals = {0, 2};
    for (int i = 0; i < pictures.size(); ++i) {
        const QImage image = QImage::fromData(QByteArray::fromBase64(pictures[i].captured(1).toLatin1()), "PNG");
        QVERIFY(!image.isNull());
        const int width = pictures[i].captured(2).toInt(), height = pictures[i].captured(3).toInt();
        // Shown at exactly half its pixels both ways: never stretched.
        QCOMPARE(image.size(), QSize(2 * width, 2 * height));
        // Every channel's line is drawn in its trend colour.
        for (const ChannelResult &c : in.survey.terminals[terminals[i]].channels) {
            const QRgb colour = trend::trendColour(c.channel).rgb();
            int pixels = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    pixels += image.pixel(x, y) == colour;
            QVERIFY2(pixels > 100, qPrintable(c.label));
        }
    }
}

void TestSurveyReport::englishReport()
{
    QVERIFY(installTranslation(*qApp, QStringLiteral("en")));
    auto back = qScopeGuard([] { installTranslation(*qApp, QStringLiteral("ja")); });
    report::ReportInput in = sampleInput();
    QTextDocument doc;
    doc.setHtml(report::html(in));
    QTextTable *power = tableWith(doc, QStringLiteral("Address 12"));
    QVERIFY(power);
    QCOMPARE(rowsOf(power).value(4).value(8), QStringLiteral("Out of range"));
    // Apart from the names the installation and the gateway gave, no
    // Japanese is left.
    QString text = doc.toPlainText();
    QVERIFY(text.startsWith(QStringLiteral("Commissioning Report")));
    for (const QString &given : {in.survey.siteName, QStringLiteral("電力７回路標準ターミナル"),
                                 QStringLiteral("アナログ入力ターミナル"), QStringLiteral("電流ターミナル")})
        text.remove(given);
    for (const TerminalResult &t : in.survey.terminals) {
        text.remove(t.name);
        for (const ChannelResult &c : t.channels)
            text.remove(c.label).remove(c.unit);
        if (t.settings) {
            text.remove(t.settings->pageName).remove(t.settings->failure);
            for (const SettingItem &item : t.settings->items)
                text.remove(item.name);
        }
    }
    for (const report::JournalRow &r : in.journal)
        text.remove(r.window).remove(r.function).remove(r.outcome);
    QVERIFY2(!hasJapanese(text), qPrintable(text));
}

void TestSurveyReport::pdfReadsBackWithTheFontEmbedded()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("報告書.pdf"));
    QString error;
    QVERIFY2(report::writePdf(path, sampleInput(), &error), qPrintable(error));

    const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    for (const QString &expected :
         {QStringLiteral("設置点検報告書"), QStringLiteral("範囲外"), QStringLiteral("応答なし"),
          QStringLiteral("受電盤 1"), QStringLiteral("ポンプ室 温度"), QStringLiteral("200.25"),
          QStringLiteral("例外 02 不正なデータアドレス"), 
          // Ideographs that share their glyph with a radical, digits among letters.
          QStringLiteral("第二工場"), QStringLiteral("電力７回路標準ターミナル"), QStringLiteral("最小"),
          QStringLiteral("00:1B:2C:3D:4E:5F"), QStringLiteral("0A01"), QStringLiteral("VAB-1")})
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing from:\n") + text));

    // Every font is embedded, the report's own among them.
    const QStringList fonts = run(QStringLiteral("pdffonts"), {path}).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(fonts.size() > 2);
    // The columns as the line of dashes under the titles marks them.
    const QStringList titles = fonts[0].split(u' ', Qt::SkipEmptyParts);
    const int embColumn = int(titles.indexOf(QStringLiteral("emb")));
    QVERIFY(embColumn > 0);
    QList<int> starts;
    for (int i = 0; i < fonts[1].size(); ++i)
        if (fonts[1][i] == u'-' && (i == 0 || fonts[1][i - 1] == u' '))
            starts << i;
    bool noto = false;
    for (const QString &line : fonts.mid(2)) {
        QCOMPARE(line.mid(starts[embColumn], 3), QStringLiteral("yes"));
        noto = noto || line.contains(QStringLiteral("NotoSansCJK"));
    }
    QVERIFY2(noto, qPrintable(fonts.join(u'\n')));
    // A4, every page numbered of the count.
    const QString info = run(QStringLiteral("pdfinfo"), {path});
    QVERIFY(info.contains(QStringLiteral("(A4)")));
    static const QRegularExpression pagesLine(QStringLiteral("Pages:\\s+(\\d+)"));
    const int pages = pagesLine.match(info).captured(1).toInt();
    QVERIFY(pages > 1);
    for (int page = 1; page <= pages; ++page)
        QVERIFY(text.contains(QStringLiteral("%1 / %2 ページ").arg(page).arg(pages)));
}

void TestSurveyReport::failedWriteLeavesNothing_data()
{
    QTest::addColumn<bool>("pdf");
    QTest::newRow("html") << false;
    QTest::newRow("pdf") << true;
}

void TestSurveyReport::failedWriteLeavesNothing()
{
    QFETCH(bool, pdf);
    auto write = pdf ? report::writePdf : report::writeHtml;
    QTemporaryDir dir;
    QString error;
    QVERIFY(!write(dir.filePath(QStringLiteral("missing/report")), sampleInput(), &error));
    QVERIFY(error.contains(QStringLiteral("missing")));
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());

    // Into a folder that is there, the file is the report whole.
    const QString path = dir.filePath(QStringLiteral("report"));
    QVERIFY2(write(path, sampleInput(), &error), qPrintable(error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    if (pdf)
        QVERIFY(bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF"));
    else
        QCOMPARE(bytes, report::html(sampleInput()).toUtf8());
}

QTEST_MAIN(TestSurveyReport)
#include "test_survey_report.moc"
