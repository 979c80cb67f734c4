#pragma once
// The commissioning report of a survey: what the engineer hands to the
// customer. Made from the survey's result, the write journal of the run and
// the communication statistics, in the interface language (context
// "SurveyReport"), as self-contained HTML or as an A4 PDF.
//
// The report holds, in this order: the title, the installation, the time of
// the survey and whether it was stopped; a summary of the verdicts; the
// gateway (address, module information, clock and its difference from the
// PC); one table per terminal with its channels' range, statistics and
// verdict, a small trend picture of its samples and the settings read from
// power, current and outlet-bar terminals; the write journal; the
// communication statistics.
//
// Text is set in "Noto Sans CJK JP" (fonts-noto-cjk), which the PDF embeds,
// so the report reads the same on any machine. Rendering needs a
// QGuiApplication (the offscreen platform will do) but no display.
#include "monitor/SurveyResult.h"
#include <QImage>
#include <QList>
#include <QString>
#include <optional>

class CommStats;

namespace report {

// The font of every text of the report, on paper and on screen.
inline constexpr char kFontFamily[] = "Noto Sans CJK JP";

// A row of the write journal as its window shows it.
struct JournalRow {
    QString time, window, function, reference, value, outcome;
};

struct CommFigures {
    qint64 requests = 0, answers = 0, timeouts = 0, late = 0, unsolicited = 0;
    std::optional<double> minMs, meanMs, maxMs;
};

struct ReportInput {
    survey::SurveyResult survey;
    QList<JournalRow> journal;
    CommFigures comm;
};

// The totals of the connection's statistics, in the report's terms.
CommFigures commFigures(const CommStats &stats);

// The report as one HTML page; its pictures are inline (data: PNG).
QString html(const ReportInput &in);

// The report into a file, through WholeFile: written whole or not at all.
// On failure *error (when given) says why, and nothing is left at path.
bool writeHtml(const QString &path, const ReportInput &in, QString *error);
// A4, the font embedded.
bool writePdf(const QString &path, const ReportInput &in, QString *error);

// The trend picture of a terminal (TrendPicture.cpp): one line per channel over its samples,
// the lowest and highest value on the value axis, the first and last sample
// on the other, a legend below. `width` and the returned size()/dpr are in
// logical pixels; the image has `dpr` device pixels per logical one. Null
// when the terminal has no sample.
QImage trendPicture(const survey::TerminalResult &terminal, int width, qreal dpr);

// Numbers as the report shows them: a value as the monitor's decimal
// format does; a mean rounded to at most two decimals. Empty for a value
// that is not a number.
QString valueText(double value);
QString meanText(double value);

} // namespace report
