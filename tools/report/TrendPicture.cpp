#include "tools/report/SurveyReport.h"
#include "tools/trend/TrendChart.h"
#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>

namespace report {

QImage trendPicture(const survey::TerminalResult &terminal, int width, qreal dpr)
{
    // The value range over every finite sample.
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    qsizetype samples = 0;
    for (const QList<double> &series : terminal.series) {
        for (double v : series)
            if (std::isfinite(v)) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        samples = std::max(samples, series.size());
    }
    if (!(lo <= hi) || samples == 0)
        return {};
    const double dataLo = lo, dataHi = hi;
    const QString loText = valueText(lo), hiText = valueText(hi);
    if (lo == hi) {
        // A flat line: in the middle of a band around its value.
        const double pad = lo == 0 ? 1.0 : std::abs(lo) * 0.05;
        lo -= pad;
        hi += pad;
    }
    // Room above and below, so that the extreme lines stay clear of the frame.
    const double margin = (hi - lo) * 0.06;
    lo -= margin;
    hi += margin;

    QFont font(QLatin1StringView{kFontFamily});
    font.setPixelSize(11);
    const QFontMetricsF fm(font);
    const qreal line = fm.height();

    // The legend's entries, as many to a row as fit.
    struct Entry {
        QString text;
        QColor colour;
    };
    QList<Entry> entries;
    for (qsizetype i = 0; i < terminal.series.size(); ++i) {
        const survey::ChannelResult *c = i < terminal.channels.size() ? &terminal.channels[i] : nullptr;
        const int channel = c ? c->channel : int(i);
        QString text = c && !c->label.isEmpty() ? c->label : QStringLiteral("CH%1").arg(channel);
        if (c && !c->unit.isEmpty())
            text += QStringLiteral(" [%1]").arg(c->unit);
        entries.append({text, trend::trendColour(channel)});
    }
    constexpr qreal swatch = 14, entryGap = 14, pad = 6;
    QList<qreal> entryWidths;
    int legendRows = entries.isEmpty() ? 0 : 1;
    {
        qreal x = 0;
        for (const Entry &e : entries) {
            const qreal w = swatch + 4 + fm.horizontalAdvance(e.text);
            entryWidths.append(w);
            if (x > 0 && x + w > width - 2 * pad) {
                ++legendRows;
                x = 0;
            }
            x += w + entryGap;
        }
    }

    const qreal left = std::max(fm.horizontalAdvance(loText), fm.horizontalAdvance(hiText)) + 2 * pad + 2;
    // The title above the plot, in the picture, so that it never stands
    // on one page and the picture on the next.
    const qreal top = pad + 1.5 * line, right = pad + fm.horizontalAdvance(QString::number(samples)) / 2;
    const qreal plotHeight = 150;
    const qreal axisBottom = top + plotHeight;
    const qreal legendTop = axisBottom + 2 * line + pad;
    const int height = int(std::ceil(legendTop + legendRows * (line + 2) + pad));
    const QRectF plot(left, top, width - left - right, plotHeight);

    QImage image(QSize(int(std::ceil(width * dpr)), int(std::ceil(height * dpr))), QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont bold = font;
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRectF(pad, pad / 2, width - 2 * pad, line), Qt::AlignLeft | Qt::AlignVCenter,
               QCoreApplication::translate("SurveyReport", "トレンド"));
    p.setFont(font);

    auto yOf = [&](double v) { return plot.bottom() - (v - lo) / (hi - lo) * plot.height(); };
    auto xOf = [&](qsizetype i) {
        return samples == 1 ? plot.center().x() : plot.left() + double(i) / double(samples - 1) * plot.width();
    };

    // Frame, light lines and ticks at the lowest and highest value, the labels.
    for (double v : {dataLo, dataHi}) {
        p.setPen(QPen(QColor(0xd0, 0xd0, 0xd0), 1, Qt::DashLine));
        p.drawLine(QPointF(plot.left(), yOf(v)), QPointF(plot.right(), yOf(v)));
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(QPointF(plot.left() - 4, yOf(v)), QPointF(plot.left(), yOf(v)));
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(plot);
    p.drawText(QRectF(0, yOf(dataHi) - line / 2, left - pad - 2, line), Qt::AlignRight | Qt::AlignVCenter, hiText);
    if (dataLo != dataHi)
        p.drawText(QRectF(0, yOf(dataLo) - line / 2, left - pad - 2, line), Qt::AlignRight | Qt::AlignVCenter, loText);
    p.drawText(QRectF(plot.left() - 40, axisBottom + 2, 80, line), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("1"));
    if (samples > 1)
        p.drawText(QRectF(plot.right() - 40, axisBottom + 2, 80, line), Qt::AlignHCenter | Qt::AlignTop,
                   QString::number(samples));
    p.drawText(QRectF(plot.left(), axisBottom + 2, plot.width(), line), Qt::AlignHCenter | Qt::AlignTop,
               QCoreApplication::translate("SurveyReport", "サンプル"));

    // The lines, clipped to the plot; a sample that is not a number breaks its line.
    p.save();
    p.setClipRect(plot.adjusted(-1, -1, 1, 1));
    for (qsizetype s = 0; s < terminal.series.size(); ++s) {
        const QList<double> &series = terminal.series[s];
        const QColor colour = entries[s].colour;
        QPainterPath path;
        bool drawing = false;
        for (qsizetype i = 0; i < series.size(); ++i) {
            if (!std::isfinite(series[i])) {
                drawing = false;
                continue;
            }
            const QPointF pt(xOf(i), yOf(series[i]));
            if (drawing)
                path.lineTo(pt);
            else
                path.moveTo(pt);
            drawing = true;
        }
        p.setPen(QPen(colour, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        if (series.size() == 1 && std::isfinite(series[0])) {
            p.setBrush(colour);
            p.drawEllipse(QPointF(xOf(0), yOf(series[0])), 2.5, 2.5);
        }
    }
    p.restore();

    // The legend.
    qreal x = pad, y = legendTop;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (x > pad && x + entryWidths[i] > width - pad) {
            x = pad;
            y += line + 2;
        }
        p.setPen(QPen(entries[i].colour, 3));
        p.drawLine(QPointF(x, y + line / 2), QPointF(x + swatch, y + line / 2));
        p.setPen(Qt::black);
        p.drawText(QRectF(x + swatch + 4, y, entryWidths[i], line), Qt::AlignLeft | Qt::AlignVCenter,
                   entries[i].text);
        x += entryWidths[i] + entryGap;
    }
    p.end();
    return image;
}

} // namespace report
