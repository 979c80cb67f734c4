#include "tools/trend/TrendChart.h"
#include <QDateTime>
#include <algorithm>
#include <QMouseEvent>
#include <QToolTip>
#include <QVBoxLayout>
#include <qcustomplot.h>

// The library's plot with a box zoom that zooms the time axis only.
class TrendPlot : public QCustomPlot {
public:
    using QCustomPlot::QCustomPlot;
    std::function<void(double, double)> onBoxZoom;

protected:
    void processRectZoom(QRect rect, QMouseEvent *event) override
    {
        Q_UNUSED(event);
        if (rect.width() < 3)
            return;  // a click, not a box
        const double a = xAxis->pixelToCoord(rect.left());
        const double b = xAxis->pixelToCoord(rect.right());
        xAxis->setRange(std::min(a, b), std::max(a, b));
        replot();
        if (onBoxZoom)
            onBoxZoom(std::min(a, b), std::max(a, b));
    }
};

namespace trend {

QColor trendColour(int channel)
{
    // Eight well-told-apart hues, in four shades: channel p and p + 8 share
    // a hue, one darker or lighter.
    static const QColor base[8] = {QColor(31, 119, 180), QColor(214, 39, 40), QColor(44, 160, 44),
                                   QColor(255, 127, 14), QColor(148, 103, 189), QColor(23, 190, 207),
                                   QColor(140, 86, 75),  QColor(227, 119, 194)};
    const QColor c = base[channel % 8];
    switch ((channel / 8) % 4) {
    case 1: return c.darker(150);
    case 2: return c.lighter(135);
    case 3: return c.darker(210);
    default: return c;
    }
}

TrendChart::TrendChart(QWidget *parent) : QWidget(parent), m_plot(new TrendPlot(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_plot);
    m_plot->setObjectName(QStringLiteral("TrendPlot"));
    m_plot->setMouseTracking(true);

    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setDateTimeFormat(QStringLiteral("HH:mm:ss"));
    ticker->setTickCount(8);
    m_plot->xAxis->setTicker(ticker);
    m_plot->xAxis->setLabel(tr("時刻"));
    m_plot->xAxis->grid()->setSubGridVisible(true);
    m_plot->yAxis->grid()->setSubGridVisible(true);
    m_plot->xAxis->grid()->setSubGridPen(QPen(QColor(230, 230, 230), 0, Qt::DotLine));
    m_plot->yAxis->grid()->setSubGridPen(QPen(QColor(230, 230, 230), 0, Qt::DotLine));
    m_plot->xAxis2->setVisible(true);
    m_plot->yAxis2->setVisible(true);
    m_plot->xAxis2->setTickLabels(false);
    m_plot->yAxis2->setTickLabels(false);
    connect(m_plot->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), m_plot->xAxis2,
            qOverload<const QCPRange &>(&QCPAxis::setRange));
    connect(m_plot->yAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), m_plot->yAxis2,
            qOverload<const QCPRange &>(&QCPAxis::setRange));

    // The lines on a layer of their own, so that new points redraw only
    // them (the graphs' layer holds nothing else that draws).
    m_plot->layer(QStringLiteral("main"))->setMode(QCPLayer::lmBuffered);
    connect(m_plot, &QCustomPlot::afterReplot, this, [this] {
        m_drawnFrame = frame();
        m_frameChanged = false;
    });
    for (int c = 0; c < monitor::kTrendChannels; ++c) {
        QCPGraph *g = m_plot->addGraph();
        g->setPen(QPen(trendColour(c), 1.5));
        g->setAdaptiveSampling(false);  // our own decimation already did it
        g->setVisible(false);
        g->removeFromLegend();
    }
    // The legend below the chart, in columns, so that an exported picture
    // names its lines.
    m_plot->legend->setVisible(true);
    m_plot->plotLayout()->addElement(1, 0, m_plot->legend);
    m_plot->plotLayout()->setRowStretchFactor(1, 0.001);
    m_plot->legend->setFillOrder(QCPLegend::foColumnsFirst);
    m_plot->legend->setBorderPen(Qt::NoPen);
    m_plot->legend->setMargins(QMargins(4, 0, 4, 2));
    QFont lf = font();
    lf.setPointSizeF(lf.pointSizeF() * 0.85);
    m_plot->legend->setFont(lf);
    m_plot->legend->setRowSpacing(-3);
    m_plot->legend->setColumnSpacing(12);

    // Wheel zoom and Shift-drag pan on the time axis; a plain drag draws
    // the zoom box.
    m_plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    m_plot->axisRect()->setRangeDrag(Qt::Horizontal);
    m_plot->axisRect()->setRangeZoom(Qt::Horizontal);
    m_plot->setSelectionRectMode(QCP::srmZoom);
    m_plot->setToolTip(QString());
    connect(m_plot, &QCustomPlot::mousePress, this, [this](QMouseEvent *e) {
        m_plot->setSelectionRectMode(e->modifiers() & Qt::ShiftModifier ? QCP::srmNone : QCP::srmZoom);
    });
    connect(m_plot->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this,
            [this] { rangeChangedByPlot(); });
    m_plot->onBoxZoom = [this](double, double) { rangeChangedByPlot(); };
    connect(m_plot, &QCustomPlot::mouseMove, this, [this](QMouseEvent *e) {
        if (e->buttons() != Qt::NoButton)
            return;
        const QPoint pos = e->pos();
        const QString text = hoverText(pos);
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(m_plot->mapToGlobal(pos), text, m_plot);
    });
    clear();
}

TrendChart::~TrendChart() = default;

void TrendChart::rangeChangedByPlot()
{
    if (m_settingRange)
        return;
    emit userChangedTimeRange(timeFrom(), timeTo());
}

void TrendChart::setSeries(int index, const QString &name, const QColor &colour, bool steps)
{
    QCPGraph *g = m_plot->graph(index);
    g->setName(name);
    g->setPen(QPen(colour, 1.5));
    g->setLineStyle(steps ? QCPGraph::lsStepLeft : QCPGraph::lsLine);
    m_legendChanged = true;
    m_frameChanged = true;
}

void TrendChart::setSeriesVisible(int index, bool visible)
{
    QCPGraph *g = m_plot->graph(index);
    if (visible == g->visible() && visible == (m_plot->legend->itemWithPlottable(g) != nullptr))
        return;
    g->setVisible(visible);
    if (visible)
        g->addToLegend();
    else
        g->removeFromLegend();
    m_legendChanged = true;
    m_frameChanged = true;
}

bool TrendChart::isSeriesVisible(int index) const
{
    return m_plot->graph(index)->visible();
}

QString TrendChart::seriesName(int index) const
{
    return m_plot->graph(index)->name();
}

void TrendChart::setPoints(int index, const std::vector<monitor::TrendPoint> &points)
{
    QVector<QCPGraphData> d;
    d.reserve(qsizetype(points.size()));
    for (const auto &p : points)
        d.append(QCPGraphData(p.x / 1000.0, p.y));
    m_plot->graph(index)->data()->set(d, true);
}

std::vector<monitor::TrendPoint> TrendChart::points(int index) const
{
    std::vector<monitor::TrendPoint> out;
    const auto data = m_plot->graph(index)->data();
    out.reserve(size_t(data->size()));
    for (auto it = data->constBegin(); it != data->constEnd(); ++it)
        out.push_back({it->key * 1000.0, it->value});
    return out;
}

void TrendChart::clear()
{
    for (int c = 0; c < m_plot->graphCount(); ++c)
        m_plot->graph(c)->data()->clear();
    const double now = double(QDateTime::currentMSecsSinceEpoch());
    setTimeRange(now - 60'000.0, now);
    m_plot->yAxis->setRange(0, 1);
    m_frameChanged = true;
}

void TrendChart::setTimeRange(double t0, double t1)
{
    m_settingRange = true;
    m_plot->xAxis->setRange(t0 / 1000.0, t1 / 1000.0);
    m_settingRange = false;
}

double TrendChart::timeFrom() const
{
    return m_plot->xAxis->range().lower * 1000.0;
}

double TrendChart::timeTo() const
{
    return m_plot->xAxis->range().upper * 1000.0;
}

void TrendChart::fitValueAxis()
{
    const QCPRange x = m_plot->xAxis->range();
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (int c = 0; c < m_plot->graphCount(); ++c) {
        QCPGraph *g = m_plot->graph(c);
        if (!g->visible())
            continue;
        bool found = false;
        const QCPRange r = g->getValueRange(found, QCP::sdBoth, x);
        if (found) {
            lo = std::min(lo, r.lower);
            hi = std::max(hi, r.upper);
        }
    }
    if (!(lo <= hi)) {
        lo = 0;
        hi = 1;
    }
    const double pad = hi > lo ? (hi - lo) * 0.05 : std::max(1.0, std::abs(hi) * 0.05);
    m_plot->yAxis->setRange(lo - pad, hi + pad);
}

double TrendChart::valueFrom() const
{
    return m_plot->yAxis->range().lower;
}

double TrendChart::valueTo() const
{
    return m_plot->yAxis->range().upper;
}

void TrendChart::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_legendChanged = true;
    fitLegend();
    fitTimeTicks(event->size().width());
}

void TrendChart::fitTimeTicks(int chartWidth)
{
    // As many time labels as fit with a label's width between them (8 at
    // most): on a narrow chart, ten minutes at one a minute would run into
    // each other. The value axis and its labels take about 70 pixels.
    auto *ticker = dynamic_cast<QCPAxisTickerDateTime *>(m_plot->xAxis->ticker().data());
    if (!ticker)
        return;
    const int label = QFontMetrics(m_plot->xAxis->tickLabelFont()).horizontalAdvance(QStringLiteral("00:00:00"));
    ticker->setTickCount(std::clamp((chartWidth - 70) / std::max(1, 2 * label), 2, 8));
}

void TrendChart::fitLegend()
{
    if (!m_legendChanged)
        return;
    m_legendChanged = false;
    QCPLegend *legend = m_plot->legend;
    // The legend keeps the channels' order, whatever order they were
    // chosen in.
    for (int c = 0; c < m_plot->graphCount(); ++c)
        m_plot->graph(c)->removeFromLegend();
    int widest = 0;
    for (int c = 0; c < m_plot->graphCount(); ++c) {
        QCPGraph *g = m_plot->graph(c);
        if (!g->visible())
            continue;
        g->addToLegend();
        if (QCPAbstractLegendItem *item = legend->itemWithPlottable(g))
            widest = std::max(widest, item->minimumOuterSizeHint().width());
    }
    // An empty legend would hold the plot's column to its own (empty)
    // width: out of the layout while no channel is drawn.
    QCPLayoutGrid *layout = m_plot->plotLayout();
    const bool placed = layout->hasElement(1, 0);
    if (widest == 0 && placed) {
        layout->take(legend);
        layout->simplify();
        legend->setVisible(false);
        return;
    }
    if (widest > 0 && !placed) {
        layout->addElement(1, 0, legend);
        layout->setRowStretchFactor(1, 0.001);
        legend->setVisible(true);
    }
    const QMargins m = legend->margins();
    const int room = width() - m.left() - m.right();
    const int spacing = legend->columnSpacing();
    legend->setWrap(std::max(1, (room + spacing) / (widest + spacing)));
    legend->setFillOrder(QCPLegend::foColumnsFirst, true);
}

TrendChart::Frame TrendChart::frame() const
{
    const QCPRange x = m_plot->xAxis->range();
    const QCPRange y = m_plot->yAxis->range();
    return {x.lower, x.upper, y.lower, y.upper, m_plot->size()};
}

void TrendChart::redraw()
{
    const bool legendChanged = m_legendChanged;
    fitLegend();
    if (!legendChanged && !m_frameChanged && frame() == m_drawnFrame) {
        m_plot->layer(QStringLiteral("main"))->replot();  // the lines only
        return;
    }
    m_plot->replot(QCustomPlot::rpImmediateRefresh);
}

QPixmap TrendChart::picture()
{
    fitLegend();
    return m_plot->toPixmap(m_plot->width(), m_plot->height());
}

QPoint TrendChart::pixelOf(double t, double v) const
{
    return QPoint(int(std::lround(m_plot->xAxis->coordToPixel(t / 1000.0))),
                  int(std::lround(m_plot->yAxis->coordToPixel(v))));
}

QString TrendChart::hoverText(const QPoint &pos) const
{
    constexpr double kNear = 12.0;  // pixels
    double best = kNear * kNear;
    int bestGraph = -1;
    QCPGraphData bestPoint;
    const double k0 = m_plot->xAxis->pixelToCoord(pos.x() - kNear);
    const double k1 = m_plot->xAxis->pixelToCoord(pos.x() + kNear);
    for (int c = 0; c < m_plot->graphCount(); ++c) {
        QCPGraph *g = m_plot->graph(c);
        if (!g->visible())
            continue;
        const auto data = g->data();
        for (auto it = data->findBegin(k0); it != data->findEnd(k1); ++it) {
            if (std::isnan(it->value))
                continue;
            const double dx = m_plot->xAxis->coordToPixel(it->key) - pos.x();
            const double dy = m_plot->yAxis->coordToPixel(it->value) - pos.y();
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                bestGraph = c;
                bestPoint = *it;
            }
        }
    }
    if (bestGraph < 0)
        return {};
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(bestPoint.key * 1000.0)));
    return QStringLiteral("%1\n%2: %3")
        .arg(t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")), m_plot->graph(bestGraph)->name(),
             QString::number(bestPoint.value, 'g', 10));
}

} // namespace trend
