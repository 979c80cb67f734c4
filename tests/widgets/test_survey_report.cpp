// The survey's report: read back from its HTML (through QTextDocument, table
// by table and cell by cell) and from its PDF (through poppler's pdftotext,
// pdffonts and pdfinfo): every terminal and channel with its figures and
// verdict, bad verdicts marked, the summary, the gateway and its clock, the
// journal, the statistics, the pictures unstretched, English headings under
// the English translation, the CJK font embedded and its text read back as
// printed, and a failed write that leaves nothing. With
// RMTOOL_REPORT_OUT=<folder> the sample report is also saved there
// (report.html, report.pdf) to be looked at.
#include "app/Translation.h"
#include "support/InterfaceTexts.h"
#include "tools/report/SurveyReport.h"
#include "tools/trend/TrendChart.h"
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>
#include <cmath>

using namespace survey;
using Rows = QList<QStringList>;
using Pairs = QMap<QString, QString>;

namespace {

QList<double> ramp(double from, double to, int n)
{
    QList<double> v;
    for (int i = 0; i < n; ++i)
        v << from + (to - from) * i / (n - 1);
    return v;
}

// Three terminals: a power terminal with one channel past its limit and its
// settings, an analog terminal that never answered, a current terminal
// whose settings could not be read; two writes, one answered by an exception.
report::ReportInput sampleInput()
{
    report::ReportInput in;
    SurveyResult &s = in.survey;
    s.siteName = "第二工場 受変電設備";
    s.siteFile = "/home/eng/sites/plant2.rmsite";
    s.started = QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0));
    s.finished = QDateTime(QDate(2026, 12, 9), QTime(10, 4, 30));
    s.stopped = true;
    s.samplesPerTerminal = 20;
    s.intervalMs = 500;
    GatewayResult &g = s.gateway;
    g = {"127.0.0.1", 502, true, {}, QDateTime(QDate(2026, 12, 9), QTime(10, 0, 3)), 3};
    g.moduleInfo = {"00:1B:2C:3D:4E:5F", "0102", "0315", "Admin", "0A01", "0B02", {}, "3", {}, {}, "12Mbps 100m"};

    TerminalResult power{12, 3, "電力７回路標準ターミナル", "受電盤 1", 20, 20, {}, {}, {}};
    power.channels = {{0, "Vab", "V", "VAB-1", 180, 220, 199.5, 200.254, 201, Verdict::Ok},
                      {1, "I1", "A", "", 0, 50, 12, 37.0 / 3, 13, Verdict::Ok},
                      {2, "P1", "kW", "P-01", {}, 10, 2, 11.5, 12.75, Verdict::OutOfRange}};
    power.series = {ramp(199.5, 201, 20), ramp(12, 13, 20), ramp(2, 12.75, 20)};
    power.settings = TerminalSettings{"電力７回路", true, {}, {{"周波数", "60Hz"}, {"電圧", "200V"}, {"CTレンジ", "100A"}}};

    TerminalResult analog{20, 1, "アナログ入力ターミナル", "ポンプ室 温度", 20, 0, {}, {{}, {}}, {}};
    analog.channels = {{0, "温度", "℃", "T-101", 0, 40, {}, {}, {}, Verdict::NoAnswer},
                       {1, "湿度", "%", "", {}, {}, {}, {}, {}, Verdict::NoAnswer}};

    TerminalResult current{30, 5, "電流ターミナル", "分電盤 B", 20, 19, {}, {ramp(0, 1, 19), ramp(-0.5, 0.5, 19)}, {}};
    current.channels = {{8, "I1", "A", "", 0, {}, 0, 1.0 / 3, 1, Verdict::Ok},
                        {9, "I2", "A", "", {}, {}, -0.5, 0.005, 0.5, Verdict::Ok}};
    current.settings = TerminalSettings{"電流", false, "応答がありません", {}};
    s.terminals = {power, analog, current};

    in.journal = {{"10:01:05", "書き込みツール", "06 単一レジスタ", "40001", "123", "OK"},
                  {"10:02:17", "書き込みツール", "16 複数レジスタ", "40010", "1, 2", "例外 02 不正なデータアドレス"}};
    in.comm = {120, 117, 2, 1, 0, 1.234, 4.5678, 20.0};
    return in;
}

QString cellText(const QTextTableCell &cell)
{
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText().replace(QChar::ParagraphSeparator, u' ').simplified();
}

// The tables of the document in order whose first cell contains `first`.
QList<QTextTable *> tablesWith(QTextDocument &doc, const QString &first)
{
    QList<QTextTable *> tables;
    for (QTextFrame *f : doc.rootFrame()->childFrames())
        if (auto *t = qobject_cast<QTextTable *>(f); t && cellText(t->cellAt(0, 0)).contains(first))
            tables << t;
    return tables;
}

// A table as rows of cell texts (a cell spanning columns counted once).
Rows rowsOf(QTextTable *t)
{
    Rows rows;
    for (int r = 0; t && r < t->rows(); ++r) {
        rows << QStringList();
        for (int c = 0; c < t->columns(); ++c)
            if (const QTextTableCell cell = t->cellAt(r, c); cell.row() == r && cell.column() == c)
                rows.last() << cellText(cell);
    }
    return rows;
}

// Caption -> value of a two-column table.
Pairs pairsOf(QTextTable *t)
{
    Pairs m;
    for (const QStringList &row : rowsOf(t))
        m.insert(row.value(0), row.value(1));
    return m;
}

struct Report {
    QTextDocument doc;
    explicit Report(const report::ReportInput &in) { doc.setHtml(report::html(in)); }
    QTextTable *table(const QString &first) { return tablesWith(doc, first).value(0); }
};

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
    void headSummaryGatewaySettings();
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
    QVERIFY(installTranslation(*qApp, "ja"));
    if (const QString out = qEnvironmentVariable("RMTOOL_REPORT_OUT"); !out.isEmpty()) {
        QString error;
        QVERIFY2(report::writeHtml(out + "/report.html", sampleInput(), &error), qPrintable(error));
        QVERIFY2(report::writePdf(out + "/report.pdf", sampleInput(), &error), qPrintable(error));
    }
}

void TestSurveyReport::terminalTables_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<Rows>("rows");
    const QStringList head = {"CH", "名称", "単位", "タグ", "期待範囲", "最小", "平均", "最大", "判定"};
    QTest::newRow("out of range") << 0 << "アドレス 12 | 電力７回路標準ターミナル | 受電盤 1 | 受信 20 / 20 サンプル"
                                  << Rows{head,
                                          {"0", "Vab", "V", "VAB-1", "180..220", "199.5", "200.25", "201", "OK"},
                                          {"1", "I1", "A", "", "0..50", "12", "12.33", "13", "OK"},
                                          {"2", "P1", "kW", "P-01", "..10", "2", "11.5", "12.75", "範囲外"}};
    QTest::newRow("no answer") << 1 << "アドレス 20 | アナログ入力ターミナル | ポンプ室 温度 | 受信 0 / 20 サンプル"
                               << Rows{head,
                                       {"0", "温度", "℃", "T-101", "0..40", "", "", "", "応答なし"},
                                       {"1", "湿度", "%", "", "", "", "", "", "応答なし"}};
    QTest::newRow("means rounded") << 2 << "アドレス 30 | 電流ターミナル | 分電盤 B | 受信 19 / 20 サンプル"
                                   << Rows{head,
                                           {"8", "I1", "A", "", "0..", "0", "0.33", "1", "OK"},
                                           {"9", "I2", "A", "", "", "-0.5", "0.01", "0.5", "OK"}};
}

void TestSurveyReport::terminalTables()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(Rows, rows);
    Report r(sampleInput());
    // The terminals' tables come in the survey's order.
    const QList<QTextTable *> terminals = tablesWith(r.doc, "アドレス ");
    QCOMPARE(terminals.size(), 3);
    rows.prepend({caption});
    QCOMPARE(rowsOf(terminals[index]), rows);
    // The caption and the column titles repeat on a new page.
    QCOMPARE(terminals[index]->format().headerRowCount(), 2);
}

void TestSurveyReport::badVerdictsAreMarked()
{
    Report r(sampleInput());
    auto marked = [](QTextTable *t, int row, int column) {
        const QTextTableCell cell = t->cellAt(row, column);
        QTextCursor c = cell.firstCursorPosition();
        c.movePosition(QTextCursor::NextCharacter);
        return std::pair(cell.format().background().style() != Qt::NoBrush, c.charFormat().fontWeight() >= QFont::Bold);
    };
    QTextTable *power = r.table("アドレス 12"), *analog = r.table("アドレス 20");
    QVERIFY(power && analog);
    QCOMPARE(marked(power, 2, 8), std::pair(false, false));  // OK
    QCOMPARE(marked(power, 4, 8), std::pair(true, true));    // 範囲外
    QCOMPARE(marked(analog, 2, 8), std::pair(true, true));   // 応答なし
    // The highest value past the upper limit is bold; the lowest within it is not.
    QCOMPARE(marked(power, 4, 7).second, true);
    QCOMPARE(marked(power, 4, 5).second, false);
}

void TestSurveyReport::headSummaryGatewaySettings()
{
    Report r(sampleInput());
    const QString text = r.doc.toPlainText();
    QVERIFY(text.startsWith("設置点検報告書"));
    QCOMPARE(pairsOf(r.table("設置名")), (Pairs{{"設置名", "第二工場 受変電設備"}, {"設置ファイル", "plant2.rmsite"},
                                              {"点検開始", "2026/12/09 10:00:00"}, {"点検終了", "2026/12/09 10:04:30"},
                                              {"実施", "途中で中止されました"},
                                              {"サンプル", "ターミナルごとに 20 回、間隔 500 ms"}}));
    QCOMPARE(rowsOf(r.table("点検したターミナル")).value(1), (QStringList{"3", "7", "4", "1", "2"}));
    QCOMPARE(pairsOf(r.table("接続先")),
             (Pairs{{"接続先", "127.0.0.1:502"}, {"MACアドレス", "00:1B:2C:3D:4E:5F"}, {"PCボード H/W", "0102"},
                    {"PCボード F/W", "0315"}, {"バスボード H/W", "0A01"}, {"バスボード F/W", "0B02"},
                    {"ログインモード", "Admin"}, {"ロータリースイッチ", "3"}, {"伝送モード", "12Mbps 100m"},
                    {"ゲートウェイの時計", "2026/12/09 10:00:03"}, {"時計の差 (ゲートウェイ − PC)", "+3 秒"}}));
    // The power terminal's settings by name, the current terminal's failure.
    QCOMPARE(pairsOf(r.table("周波数")), (Pairs{{"周波数", "60Hz"}, {"電圧", "200V"}, {"CTレンジ", "100A"}}));
    QVERIFY(text.contains("設定 (電力７回路)"));
    QVERIFY(text.contains("設定 (電流)\n設定を読み出せませんでした: 応答がありません"));
    QVERIFY(!text.contains("nan", Qt::CaseInsensitive));
}

void TestSurveyReport::clockAndModuleInformation_data()
{
    QTest::addColumn<bool>("moduleRead");
    QTest::addColumn<std::optional<qint64>>("difference");
    QTest::addColumn<QString>("clock");
    QTest::addColumn<QString>("differenceText");
    QTest::newRow("behind") << true << std::optional<qint64>(-2) << "2026/12/09 10:00:03" << "-2 秒";
    QTest::newRow("same") << true << std::optional<qint64>(0) << "2026/12/09 10:00:03" << "0 秒";
    QTest::newRow("nothing read") << false << std::optional<qint64>() << "応答なし" << "応答なし";
}

void TestSurveyReport::clockAndModuleInformation()
{
    QFETCH(bool, moduleRead);
    QFETCH(std::optional<qint64>, difference);
    QFETCH(QString, clock);
    QFETCH(QString, differenceText);
    report::ReportInput in = sampleInput();
    in.survey.gateway.moduleInfoRead = moduleRead;
    in.survey.gateway.clockDifferenceSeconds = difference;
    if (!difference)
        in.survey.gateway.clock.reset();
    Report r(in);
    const Pairs g = pairsOf(r.table("接続先"));
    QCOMPARE(g.value("ゲートウェイの時計"), clock);
    QCOMPARE(g.value("時計の差 (ゲートウェイ − PC)"), differenceText);
    QCOMPARE(g.contains("MACアドレス"), moduleRead);
    QCOMPARE(g.value("モジュール情報"), moduleRead ? QString() : "応答なし");
}

void TestSurveyReport::journalAndStatistics_data()
{
    QTest::addColumn<bool>("writes");
    QTest::newRow("two writes") << true;
    QTest::newRow("no write") << false;
}

void TestSurveyReport::journalAndStatistics()
{
    QFETCH(bool, writes);
    report::ReportInput in = sampleInput();
    if (!writes)
        in.journal.clear();
    Report r(in);
    QCOMPARE(r.doc.toPlainText().contains("この点検では書き込みを送信していません。"), !writes);
    QCOMPARE(rowsOf(r.table("時刻")),
             writes ? (Rows{{"時刻", "ウィンドウ", "機能", "参照", "値", "結果"},
                            {"10:01:05", "書き込みツール", "06 単一レジスタ", "40001", "123", "OK"},
                            {"10:02:17", "書き込みツール", "16 複数レジスタ", "40010", "1, 2", "例外 02 不正なデータアドレス"}})
                    : Rows{});
    QCOMPARE(rowsOf(r.table("要求")).value(1), (QStringList{"120", "117", "2", "1", "0", "1.23", "4.57", "20"}));
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
    static const QRegularExpression img(
        R"re(<img src="data:image/png;base64,([A-Za-z0-9+/=]+)" width="(\d+)" height="(\d+)")re");
    QList<QRegularExpressionMatch> pictures;
    for (auto it = img.globalMatch(report::html(in)); it.hasNext();)
        pictures << it.next();
    // One picture per terminal with samples (not the one that never answered).
    QCOMPARE(pictures.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QImage image = QImage::fromData(QByteArray::fromBase64(pictures[i].captured(1).toLatin1()), "PNG");
        // Shown at exactly half its pixels both ways: never stretched.
        QCOMPARE(image.size(), QSize(2 * pictures[i].captured(2).toInt(), 2 * pictures[i].captured(3).toInt()));
        // Every channel's line is drawn in its trend colour.
        for (const ChannelResult &c : in.survey.terminals[2 * i].channels) {
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
    QVERIFY(installTranslation(*qApp, "en"));
    auto back = qScopeGuard([] { installTranslation(*qApp, "ja"); });
    Report r(sampleInput());
    QVERIFY(r.doc.toPlainText().startsWith("Commissioning Report"));
    QCOMPARE(rowsOf(r.table("Address 12")).value(4).value(8), "Out of range");
    QCOMPARE(rowsOf(r.table("Address 20")).value(1),
             (QStringList{"CH", "Label", "Unit", "Tag", "Expected range", "Min", "Mean", "Max", "Verdict"}));
    // Every caption of the report's own tables is English.
    for (const char *first : {"Installation", "Terminals checked", "Gateway address", "Time", "Requests"})
        for (const QStringList &row : rowsOf(r.table(first)))
            QVERIFY2(!hasJapanese(row.first()), qPrintable(row.first()));
}

void TestSurveyReport::pdfReadsBackWithTheFontEmbedded()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("報告書.pdf");
    QString error;
    QVERIFY2(report::writePdf(path, sampleInput(), &error), qPrintable(error));
#ifdef Q_OS_WIN
    QVERIFY(QFileInfo(path).size() > 0);
    QSKIP("written; reading it back needs poppler, a Linux program");
#endif

    const QString text = run("pdftotext", {path, "-"});
    for (const char *expected : {"設置点検報告書", "範囲外", "応答なし", "受電盤 1", "ポンプ室 温度", "200.25",
                                 "例外 02 不正なデータアドレス",
                                 // Ideographs that share their glyph with a radical, digits among letters.
                                 "第二工場", "電力７回路標準ターミナル", "最小", "00:1B:2C:3D:4E:5F", "0A01", "VAB-1"})
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" missing from:\n") + text));

    // Every font is embedded, the report's own among them; the columns are
    // where the line of dashes under the titles puts them.
    const QStringList fonts = run("pdffonts", {path}).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(fonts.size() > 2);
    const qsizetype emb = fonts[1].indexOf("---", fonts[0].indexOf("emb") - 1);
    QCOMPARE(fonts[0].mid(emb, 3), "emb");
    for (const QString &line : fonts.mid(2))
        QCOMPARE(line.mid(emb, 3), "yes");
    QVERIFY2(fonts.filter("NotoSansCJKjp-").size() >= 1, qPrintable(fonts.join(u'\n')));

    // A4, every page numbered of the count.
    const QString info = run("pdfinfo", {path});
    QVERIFY(info.contains("(A4)"));
    const int pages = QRegularExpression(R"(Pages:\s+(\d+))").match(info).captured(1).toInt();
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
    QVERIFY(!write(dir.filePath("missing/report"), sampleInput(), &error));
    QVERIFY(error.contains("missing"));
    QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

    // Into a folder that is there, the file is the report whole.
    QVERIFY2(write(dir.filePath("report"), sampleInput(), &error), qPrintable(error));
    QFile f(dir.filePath("report"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    if (pdf)
        QVERIFY(bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF"));
    else
        QCOMPARE(bytes, report::html(sampleInput()).toUtf8());
}

QTEST_MAIN(TestSurveyReport)
#include "test_survey_report.moc"
