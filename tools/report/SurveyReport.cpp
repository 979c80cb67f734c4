#include "tools/report/SurveyReport.h"
#include "app/Translation.h"
#include "diag/CommStats.h"
#include "monitor/GeneralFormat.h"
#include "monitor/WholeFile.h"
#include "tools/report/PdfTextMaps.h"
#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The report's font where the system has none of it (a Windows PC): the
// copy that ships in the program's folder, fonts/. Looked for once.
void loadShippedFont()
{
    static const bool loaded = [] {
        if (QFontDatabase::families().contains(QLatin1StringView{report::kFontFamily}))
            return true;
        const QDir fonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
        bool any = false;
        for (const QString &file : fonts.entryList({QStringLiteral("*.ttc"), QStringLiteral("*.otf")}, QDir::Files))
            any |= QFontDatabase::addApplicationFont(fonts.filePath(file)) >= 0;
        return any;
    }();
    Q_UNUSED(loaded);
}

QFont reportFont(qreal pointSize)
{
    QFont f(QLatin1StringView{report::kFontFamily});
    f.setPointSizeF(pointSize);
    f.setStyleHint(QFont::SansSerif);
    // Latin text set without the font's contextual forms: Noto Sans CJK
    // draws digits among letters with alternate glyphs that have no
    // character in the PDF's text map, so "0A01" would read back as "A".
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

// The trend pictures are this wide (logical pixels): less than the text
// width of an A4 page with its margins, so they are never scaled down.
constexpr int kPictureWidth = 640;
constexpr qreal kPictureDpr = 2.0;

// Colours that also read in black and white: the verdict's own text says
// it, the colour only draws the eye.
const char *const kBadBackground = "#f6d2cc";
const char *const kBadText = "#a00000";
const char *const kNoneBackground = "#dcdcdc";
const char *const kHeadBackground = "#e6e6e6";
const char *const kCaptionBackground = "#d5dfee";
const char *const kLineColour = "#7f7f7f";

QString esc(const QString &s) { return s.toHtmlEscaped(); }

QString dateTimeText(const QDateTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("yyyy/MM/dd H:mm:ss")) : QString();
}

QString optionalText(const std::optional<QString> &s) { return s.value_or(QString()); }

// Milliseconds with at most two decimals, "—" when there are none.
QString msFigure(const std::optional<double> &ms)
{
    if (!ms)
        return QStringLiteral("—");
    const QString t = report::meanText(*ms);
    return t.isEmpty() ? QStringLiteral("—") : t;
}

// The texts of the report (context "SurveyReport") and how they are put
// together into HTML.
class SurveyReport {
    Q_DECLARE_TR_FUNCTIONS(SurveyReport)

public:
    // How the HTML names its pictures: inline as data: URLs, or by resource
    // names that the PDF's document is given.
    enum class Pictures { Inline, Resources };

    SurveyReport(const report::ReportInput &in, Pictures pictures) : m_in(in), m_pictures(pictures)
    {
        loadShippedFont();
    }

    QString build();
    // The pictures named by build() in Resources mode.
    const QList<std::pair<QString, QImage>> &resources() const { return m_resources; }

    static QString title() { return tr("設置点検報告書"); }
    static QString verdictText(survey::Verdict v);
    static QString pageText(int page, int pages) { return tr("%1 / %2 ページ").arg(page).arg(pages); }
    static QString trendTitle() { return tr("トレンド"); }
    static QString writeFailed(const QString &path, const QString &why)
    {
        return tr("報告書 %1 を書き込めません: %2").arg(QDir::toNativeSeparators(path), why);
    }
    static QString pdfFailed() { return tr("PDF を作成できません"); }

private:
    void head();
    void summary();
    void gateway();
    void terminal(int index, const survey::TerminalResult &t);
    void settings(const survey::TerminalSettings &s);
    void journal();
    void comm();
    QString picture(int index, const survey::TerminalResult &t);

    // A table of caption/value pairs.
    void pairs(const QList<std::pair<QString, QString>> &rows, const QString &width);
    static QString tableStart(const QString &width = QStringLiteral("100%"));
    static QString th(const QString &text, const QString &attributes = QString());

    const report::ReportInput &m_in;
    Pictures m_pictures;
    QString m_html;
    QList<std::pair<QString, QImage>> m_resources;
};

QString SurveyReport::verdictText(survey::Verdict v)
{
    switch (v) {
    case survey::Verdict::Ok: return tr("OK");
    case survey::Verdict::OutOfRange: return tr("範囲外");
    case survey::Verdict::NoAnswer: break;
    }
    return tr("応答なし");
}

QString SurveyReport::tableStart(const QString &width)
{
    // The attributes are for QTextDocument (the PDF), the class for a
    // browser's style sheet; both draw one thin line around every cell.
    return QStringLiteral("<table class=\"grid\" width=\"%1\" border=\"1\" cellspacing=\"0\" "
                          "cellpadding=\"3\" style=\"border-collapse: collapse; border-color: %2;\">\n")
        .arg(width, QLatin1String(kLineColour));
}

QString SurveyReport::th(const QString &text, const QString &attributes)
{
    return QStringLiteral("<th bgcolor=\"%1\"%2>%3</th>")
        .arg(QLatin1String(kHeadBackground), attributes.isEmpty() ? QString() : QStringLiteral(" ") + attributes, esc(text));
}

void SurveyReport::pairs(const QList<std::pair<QString, QString>> &rows, const QString &width)
{
    m_html += tableStart(width);
    for (const auto &[caption, value] : rows)
        m_html += QStringLiteral("<tr>") + th(caption, QStringLiteral("align=\"left\" width=\"45%\""))
                  + QStringLiteral("<td>") + value + QStringLiteral("</td></tr>\n");
    m_html += QStringLiteral("</table>\n");
}

QString SurveyReport::build()
{
    const QString name = m_in.survey.siteName;
    m_html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta charset=\"utf-8\">\n<title>%2</title>\n")
                 .arg(currentLanguage(), esc(name.isEmpty() ? title() : title() + QStringLiteral(" — ") + name));
    m_html += QStringLiteral(
                  "<style>\n"
                  "body { font-family: '%1', sans-serif; font-size: 9pt; color: #000000; }\n"
                  "h1 { font-size: 18pt; margin-bottom: 4px; }\n"
                  "h2 { font-size: 12pt; margin-top: 16px; margin-bottom: 4px; }\n"
                  "p.sub { font-size: 9pt; font-weight: bold; margin-top: 8px; margin-bottom: 2px; }\n"
                  "table.grid { border-collapse: collapse; margin-bottom: 4px; }\n"
                  "table.grid th, table.grid td { border: 1px solid %2; padding: 3px; }\n"
                  "table.grid th { font-weight: bold; }\n"
                  "td.num { text-align: right; }\n"
                  "</style>\n</head>\n<body>\n")
                  .arg(QLatin1String(report::kFontFamily), QLatin1String(kLineColour));
    head();
    summary();
    gateway();
    m_html += QStringLiteral("<h2>%1</h2>\n").arg(esc(tr("ターミナル")));
    if (m_in.survey.terminals.isEmpty())
        m_html += QStringLiteral("<p>%1</p>\n").arg(esc(tr("点検したターミナルはありません。")));
    for (int i = 0; i < m_in.survey.terminals.size(); ++i)
        terminal(i, m_in.survey.terminals[i]);
    journal();
    comm();
    m_html += QStringLiteral("</body>\n</html>\n");
    return m_html;
}

void SurveyReport::head()
{
    const survey::SurveyResult &s = m_in.survey;
    m_html += QStringLiteral("<h1>%1</h1>\n").arg(esc(title()));
    QList<std::pair<QString, QString>> rows;
    rows.append({tr("設置名"), esc(s.siteName)});
    if (!s.siteFile.isEmpty())
        rows.append({tr("設置ファイル"), esc(QFileInfo(s.siteFile).fileName())});
    rows.append({tr("点検開始"), esc(dateTimeText(s.started))});
    rows.append({tr("点検終了"), esc(dateTimeText(s.finished))});
    rows.append({tr("実施"), s.stopped ? QStringLiteral("<b><font color=\"%1\">%2</font></b>")
                                             .arg(QLatin1String(kBadText), esc(tr("途中で中止されました")))
                                       : esc(tr("最後まで実施しました"))});
    rows.append({tr("サンプル"), esc(tr("ターミナルごとに %1 回、間隔 %2 ms")
                                        .arg(s.samplesPerTerminal)
                                        .arg(s.intervalMs))});
    pairs(rows, QStringLiteral("70%"));
}

void SurveyReport::summary()
{
    int ok = 0, out = 0, none = 0;
    for (const survey::TerminalResult &t : m_in.survey.terminals)
        for (const survey::ChannelResult &c : t.channels) {
            switch (c.verdict) {
            case survey::Verdict::Ok: ++ok; break;
            case survey::Verdict::OutOfRange: ++out; break;
            case survey::Verdict::NoAnswer: ++none; break;
            }
        }
    // A count of channels with a bad verdict is marked as the verdict is.
    auto count = [](int n, const char *background) {
        if (n == 0 || !background)
            return QStringLiteral("<td align=\"center\">%1</td>").arg(n);
        return QStringLiteral("<td align=\"center\" bgcolor=\"%1\"><b>%2</b></td>").arg(QLatin1String(background)).arg(n);
    };
    m_html += QStringLiteral("<h2>%1</h2>\n").arg(esc(tr("概要")));
    m_html += tableStart(QStringLiteral("70%"));
    m_html += QStringLiteral("<tr>") + th(tr("点検したターミナル")) + th(tr("チャンネル"))
              + th(verdictText(survey::Verdict::Ok)) + th(verdictText(survey::Verdict::OutOfRange))
              + th(verdictText(survey::Verdict::NoAnswer)) + QStringLiteral("</tr>\n<tr>")
              + count(int(m_in.survey.terminals.size()), nullptr) + count(ok + out + none, nullptr)
              + count(ok, nullptr) + count(out, kBadBackground) + count(none, kNoneBackground)
              + QStringLiteral("</tr>\n</table>\n");
}

void SurveyReport::gateway()
{
    const survey::GatewayResult &g = m_in.survey.gateway;
    const QString noAnswer = esc(verdictText(survey::Verdict::NoAnswer));
    m_html += QStringLiteral("<h2>%1</h2>\n").arg(esc(tr("ゲートウェイ")));
    QList<std::pair<QString, QString>> rows;
    rows.append({tr("接続先"), esc(g.host.contains(u':') ? QStringLiteral("[%1]:%2").arg(g.host).arg(g.port)
                                                          : QStringLiteral("%1:%2").arg(g.host).arg(g.port))});
    if (g.moduleInfoRead) {
        const ModuleInfoFields &m = g.moduleInfo;
        rows.append({tr("MACアドレス"), esc(optionalText(m.macAddress))});
        rows.append({tr("PCボード H/W"), esc(optionalText(m.pcBoardHw))});
        rows.append({tr("PCボード F/W"), esc(optionalText(m.pcBoardFw))});
        rows.append({tr("バスボード H/W"), esc(optionalText(m.busBoardHw))});
        rows.append({tr("バスボード F/W"), esc(optionalText(m.busBoardFw))});
        rows.append({tr("ログインモード"), esc(optionalText(m.loginMode))});
        rows.append({tr("ロータリースイッチ"), esc(optionalText(m.rotarySwitch))});
        rows.append({tr("伝送モード"), esc(optionalText(m.transmission))});
    } else {
        rows.append({tr("モジュール情報"), noAnswer});
    }
    rows.append({tr("ゲートウェイの時計"), g.clock ? esc(dateTimeText(*g.clock)) : noAnswer});
    QString difference = noAnswer;
    if (g.clockDifferenceSeconds) {
        const qint64 d = *g.clockDifferenceSeconds;
        difference = esc(tr("%1 秒").arg(d > 0 ? QStringLiteral("+%1").arg(d) : QString::number(d)));
    }
    rows.append({tr("時計の差 (ゲートウェイ − PC)"), difference});
    pairs(rows, QStringLiteral("70%"));
}

void SurveyReport::terminal(int index, const survey::TerminalResult &t)
{
    static constexpr int kColumns = 9;
    const QString type = t.typeName.isEmpty() ? QString::number(t.type) : t.typeName;
    QString caption = esc(tr("アドレス %1").arg(t.address)) + QStringLiteral(" &nbsp;|&nbsp; ") + esc(type);
    if (!t.name.isEmpty())
        caption += QStringLiteral(" &nbsp;|&nbsp; <b>%1</b>").arg(esc(t.name));
    caption += QStringLiteral(" &nbsp;|&nbsp; ")
               + esc(tr("受信 %1 / %2 サンプル").arg(t.samplesReceived).arg(t.samplesAsked));

    // The caption is the first row of the table's head, so that it is
    // repeated with the column titles when the table runs onto a new page
    // and never stands alone at the foot of one.
    m_html += QStringLiteral("<p></p>\n") + tableStart();
    m_html += QStringLiteral("<thead>\n<tr><th colspan=\"%1\" align=\"left\" bgcolor=\"%2\">%3</th></tr>\n<tr>")
                  .arg(kColumns)
                  .arg(QLatin1String(kCaptionBackground), caption);
    m_html += th(tr("CH")) + th(tr("名称")) + th(tr("単位")) + th(tr("タグ")) + th(tr("期待範囲"))
              + th(tr("最小")) + th(tr("平均")) + th(tr("最大")) + th(tr("判定"));
    m_html += QStringLiteral("</tr>\n</thead>\n<tbody>\n");

    for (const survey::ChannelResult &c : t.channels) {
        QString range;
        if (c.expectedMin || c.expectedMax)
            range = (c.expectedMin ? report::valueText(*c.expectedMin) : QString()) + QStringLiteral("..")
                    + (c.expectedMax ? report::valueText(*c.expectedMax) : QString());
        // A lowest or highest value past its limit is marked where it stands.
        const bool lowOut = c.lowest && c.expectedMin && *c.lowest < *c.expectedMin;
        const bool highOut = c.highest && c.expectedMax && *c.highest > *c.expectedMax;
        auto number = [](const std::optional<double> &v, bool out, bool mean) {
            const QString text = v ? (mean ? report::meanText(*v) : report::valueText(*v)) : QString();
            if (out)
                return QStringLiteral("<td align=\"right\" class=\"num\"><b><font color=\"%1\">%2</font></b></td>")
                    .arg(QLatin1String(kBadText), esc(text));
            return QStringLiteral("<td align=\"right\" class=\"num\">%1</td>").arg(esc(text));
        };
        QString verdict;
        switch (c.verdict) {
        case survey::Verdict::Ok:
            verdict = QStringLiteral("<td align=\"center\">%1</td>").arg(esc(verdictText(c.verdict)));
            break;
        case survey::Verdict::OutOfRange:
            verdict = QStringLiteral("<td align=\"center\" bgcolor=\"%1\"><b><font color=\"%2\">%3</font></b></td>")
                          .arg(QLatin1String(kBadBackground), QLatin1String(kBadText), esc(verdictText(c.verdict)));
            break;
        case survey::Verdict::NoAnswer:
            verdict = QStringLiteral("<td align=\"center\" bgcolor=\"%1\"><b><i>%2</i></b></td>")
                          .arg(QLatin1String(kNoneBackground), esc(verdictText(c.verdict)));
            break;
        }
        m_html += QStringLiteral("<tr><td align=\"right\">%1</td><td>%2</td><td>%3</td><td>%4</td><td align=\"center\">%5</td>")
                      .arg(QString::number(c.channel), esc(c.label), esc(c.unit), esc(c.tag), esc(range));
        m_html += number(c.lowest, lowOut, false) + number(c.mean, false, true) + number(c.highest, highOut, false);
        m_html += verdict + QStringLiteral("</tr>\n");
    }
    if (t.channels.isEmpty())
        m_html += QStringLiteral("<tr><td colspan=\"%1\">%2</td></tr>\n")
                      .arg(kColumns)
                      .arg(esc(tr("チャンネルがありません")));
    m_html += QStringLiteral("</tbody>\n</table>\n");

    const QString img = picture(index, t);
    if (!img.isEmpty())
        m_html += QStringLiteral("<p>%1</p>\n").arg(img);
    if (t.settings)
        settings(*t.settings);
}

QString SurveyReport::picture(int index, const survey::TerminalResult &t)
{
    const QImage image = report::trendPicture(t, kPictureWidth, kPictureDpr);
    if (image.isNull())
        return {};
    const QSize logical = (QSizeF(image.size()) / image.devicePixelRatio()).toSize();
    QString source;
    if (m_pictures == Pictures::Inline) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        source = QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
    } else {
        source = QStringLiteral("trend-%1.png").arg(index);
        m_resources.append({source, image});
    }
    return QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"%4\">")
        .arg(source)
        .arg(logical.width())
        .arg(logical.height())
        .arg(esc(trendTitle()));
}

void SurveyReport::settings(const survey::TerminalSettings &s)
{
    const QString heading = s.pageName.isEmpty() ? tr("設定") : tr("設定 (%1)").arg(s.pageName);
    m_html += QStringLiteral("<p class=\"sub\"><b>%1</b></p>\n").arg(esc(heading));
    if (!s.read) {
        m_html += QStringLiteral("<p><b><font color=\"%1\">%2</font></b></p>\n")
                      .arg(QLatin1String(kBadText), esc(tr("設定を読み出せませんでした: %1").arg(s.failure)));
        return;
    }
    if (s.items.isEmpty()) {
        m_html += QStringLiteral("<p>%1</p>\n").arg(esc(tr("設定項目はありません")));
        return;
    }
    QList<std::pair<QString, QString>> rows;
    for (const survey::SettingItem &item : s.items)
        rows.append({item.name, esc(item.value)});
    pairs(rows, QStringLiteral("70%"));
}

void SurveyReport::journal()
{
    m_html += QStringLiteral("<h2>%1</h2>\n").arg(esc(tr("書き込み記録")));
    if (m_in.journal.isEmpty()) {
        m_html += QStringLiteral("<p>%1</p>\n").arg(esc(tr("この点検では書き込みを送信していません。")));
        return;
    }
    m_html += tableStart();
    m_html += QStringLiteral("<thead><tr>") + th(tr("時刻")) + th(tr("ウィンドウ")) + th(tr("機能"))
              + th(tr("参照")) + th(tr("値")) + th(tr("結果")) + QStringLiteral("</tr></thead>\n<tbody>\n");
    for (const report::JournalRow &r : m_in.journal)
        m_html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td></tr>\n")
                      .arg(esc(r.time), esc(r.window), esc(r.function), esc(r.reference), esc(r.value),
                           esc(r.outcome));
    m_html += QStringLiteral("</tbody>\n</table>\n");
}

void SurveyReport::comm()
{
    const report::CommFigures &c = m_in.comm;
    m_html += QStringLiteral("<h2>%1</h2>\n").arg(esc(tr("通信統計")));
    m_html += tableStart();
    m_html += QStringLiteral("<tr>") + th(tr("要求")) + th(tr("応答")) + th(tr("タイムアウト"))
              + th(tr("遅延応答")) + th(tr("該当要求なし")) + th(tr("最小 ms")) + th(tr("平均 ms"))
              + th(tr("最大 ms")) + QStringLiteral("</tr>\n<tr>");
    for (qint64 n : {c.requests, c.answers, c.timeouts, c.late, c.unsolicited})
        m_html += QStringLiteral("<td align=\"right\" class=\"num\">%1</td>").arg(n);
    for (const std::optional<double> &ms : {c.minMs, c.meanMs, c.maxMs})
        m_html += QStringLiteral("<td align=\"right\" class=\"num\">%1</td>").arg(esc(msFigure(ms)));
    m_html += QStringLiteral("</tr>\n</table>\n");
    m_html += QStringLiteral("<p>%1</p>\n").arg(esc(tr("応答数は例外応答を含みます。応答時間は要求の送信から応答の受信まで。")));
}

// The PDF of the report: A4 with margins, the body laid out by QTextDocument
// on the writer's own resolution, a footer with the title and page number.
QByteArray renderPdf(const report::ReportInput &in, QString *error)
{
    SurveyReport builder(in, SurveyReport::Pictures::Resources);
    const QString html = builder.build();

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(in.survey.siteName.isEmpty() ? SurveyReport::title()
                                                     : SurveyReport::title() + QStringLiteral(" — ") + in.survey.siteName);
        writer.setCreator(QStringLiteral("RM Tool"));

        QTextDocument doc;
        doc.setDefaultFont(reportFont(9));
        doc.setDocumentMargin(0);
        doc.documentLayout()->setPaintDevice(&writer);
        doc.setHtml(html);
        for (const auto &[name, image] : builder.resources())
            doc.addResource(QTextDocument::ImageResource, QUrl(name), image);

        // The footer's line below the body, then its text.
        const QFont footerFont = reportFont(7.5);
        const QFontMetricsF footerMetrics(footerFont, &writer);
        const qreal gap = writer.resolution() * 4 / 25.4;  // 4 mm
        const QSizeF area(writer.width(), writer.height());
        const qreal bodyHeight = area.height() - footerMetrics.height() - gap;
        doc.setPageSize(QSizeF(area.width(), bodyHeight));
        const int pages = doc.pageCount();

        QPainter painter;
        if (!painter.begin(&writer)) {
            if (error)
                *error = SurveyReport::pdfFailed();
            return {};
        }
        const QString footerLeft = in.survey.siteName.isEmpty()
                                       ? SurveyReport::title()
                                       : SurveyReport::title() + QStringLiteral(" — ") + in.survey.siteName;
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                writer.newPage();
            painter.save();
            painter.translate(0, -page * bodyHeight);
            doc.drawContents(&painter, QRectF(0, page * bodyHeight, area.width(), bodyHeight));
            painter.restore();

            painter.setPen(QPen(QColor(QLatin1String(kLineColour)), writer.resolution() / 150.0));
            const qreal lineY = bodyHeight + gap / 2;
            painter.drawLine(QPointF(0, lineY), QPointF(area.width(), lineY));
            painter.setFont(footerFont);
            painter.setPen(Qt::black);
            const QRectF footer(0, bodyHeight + gap, area.width(), footerMetrics.height());
            painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, footerLeft);
            painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter, SurveyReport::pageText(page + 1, pages));
        }
        if (!painter.end()) {
            if (error)
                *error = SurveyReport::pdfFailed();
            return {};
        }
    }
    return mendToUnicodeMaps(bytes);
}

} // namespace

namespace report {

CommFigures commFigures(const CommStats &stats)
{
    const KindStats &t = stats.total();
    auto ms = [](std::optional<int64_t> us) -> std::optional<double> {
        if (!us)
            return std::nullopt;
        return double(*us) / 1000.0;
    };
    CommFigures f;
    f.requests = t.requests;
    f.answers = t.answers;
    f.timeouts = t.timeouts;
    f.late = stats.late();
    f.unsolicited = stats.unsolicited();
    f.minMs = ms(t.times.minUs());
    f.meanMs = ms(t.times.meanUs());
    f.maxMs = ms(t.times.maxUs());
    return f;
}

QString valueText(double value)
{
    if (!std::isfinite(value))
        return {};
    return FormatGeneral(value + 0.0, 7);  // + 0.0: no "-0"
}

QString meanText(double value)
{
    if (!std::isfinite(value))
        return {};
    const double rounded = std::round(value * 100.0) / 100.0;
    return FormatGeneral((std::isfinite(rounded) ? rounded : value) + 0.0, 7);
}

QString html(const ReportInput &in)
{
    return SurveyReport(in, SurveyReport::Pictures::Inline).build();
}

bool writeHtml(const QString &path, const ReportInput &in, QString *error)
{
    QString why;
    if (WriteWholeFile(path, html(in).toUtf8(), &why))
        return true;
    if (error)
        *error = SurveyReport::writeFailed(path, why);
    return false;
}

bool writePdf(const QString &path, const ReportInput &in, QString *error)
{
    QString why;
    const QByteArray pdf = renderPdf(in, &why);
    if (pdf.isEmpty()) {
        if (error)
            *error = SurveyReport::writeFailed(path, why);
        return false;
    }
    if (WriteWholeFile(path, pdf, &why))
        return true;
    if (error)
        *error = SurveyReport::writeFailed(path, why);
    return false;
}

} // namespace report
