#include "tools/trend/TfrmTrend.h"
#include "app/MessageBoxes.h"
#include "monitor/CsvLog.h"
#include "monitor/Recording.h"
#include "tools/trend/TrendChart.h"
#include "ui_TfrmTrend.h"
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>
#include <QTimer>
#include <algorithm>
#include <cmath>

using trend::TrendChart;
using trend::trendColour;

namespace {

constexpr int kRedrawMs = 100;  // at most ten redraws a second
// A recording being written commits at least once a second: asking for new
// rows more often would find none.
constexpr int kRefreshMs = 1000;
constexpr int64_t kSpans[] = {60'000, 600'000, 3'600'000, 28'800'000, 86'400'000, 0};

QIcon swatch(const QColor &colour)
{
    QPixmap pm(14, 4);
    pm.fill(colour);
    return QIcon(pm);
}

} // namespace

TfrmTrend::TfrmTrend(QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmTrend), m_redrawTimer(new QTimer(this))
{
    ui->setupUi(this);
    setModal(false);
    m_redrawTimer->setObjectName(QStringLiteral("TimerTrend"));
    m_redrawTimer->setInterval(kRedrawMs);
    connect(m_redrawTimer, &QTimer::timeout, this, &TfrmTrend::tick);
    ui->cbTrendSpan->setCurrentIndex(1);  // 10分
    for (int c = 0; c < monitor::kTrendChannels; ++c) {
        auto *item = new QListWidgetItem(ui->lstTrendChannels);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        item->setIcon(swatch(trendColour(c)));
        item->setHidden(true);
    }
    ui->lstTrendChannels->setIconSize(QSize(14, 4));
    connect(ui->lstTrendChannels, &QListWidget::itemChanged, this, &TfrmTrend::channelItemChanged);
    connect(ui->cbTrendSpan, &QComboBox::currentIndexChanged, this, &TfrmTrend::cbTrendSpanChange);
    connect(ui->btnTrendFollow, &QPushButton::clicked, this, &TfrmTrend::btnTrendFollowClick);
    connect(ui->btnTrendSave, &QPushButton::clicked, this, &TfrmTrend::btnTrendSaveClick);
    connect(ui->btnTrendCsv, &QPushButton::clicked, this, &TfrmTrend::btnTrendCsvClick);
    connect(ui->TrendChart, &TrendChart::userChangedTimeRange, this, &TfrmTrend::userChangedTimeRange);
    ui->TrendChart->setToolTip(tr("ホイール・ドラッグ: 時間軸の拡大　Shift+ドラッグ: 移動"));
    m_seriesChannel.fill(-1);
    setFollowing(true);
}

TfrmTrend::~TfrmTrend()
{
    delete ui;
}

int64_t TfrmTrend::spanMs() const
{
    const int i = ui->cbTrendSpan->currentIndex();
    return i >= 0 && i < int(std::size(kSpans)) ? kSpans[i] : 0;
}

// ---- what the monitor tells ------------------------------------------------------

void TfrmTrend::monitorAnswer(const monitor::TrendSample &sample, qint64 arrivalMs)
{
    if (m_reader)
        return;  // a recording's window
    m_data.append(arrivalMs, sample);
    if (m_data.channelsSeen() != m_listedChannels)
        refreshChannelList();
}

void TfrmTrend::monitorTimedOut(qint64 atMs)
{
    if (m_reader)
        return;
    m_data.appendGap(atMs);
}

void TfrmTrend::monitorInterrupted(qint64 atMs)
{
    if (!m_reader && m_data.size() > 0)  // nothing to break before the first answer
        m_data.appendGap(atMs);
}

void TfrmTrend::monitorLayout(const monitor::TrendLayout &layout)
{
    if (m_reader)
        return;
    const bool fresh = m_data.setLayout(layout);
    const QSignalBlocker block(ui->lstTrendChannels);
    for (int c = 0; c < monitor::kTrendChannels; ++c) {
        const QString &name = layout.names[size_t(c)];
        ui->TrendChart->setSeries(c, name, trendColour(c), layout.bits);
        QListWidgetItem *item = ui->lstTrendChannels->item(c);
        item->setText(name.isEmpty() ? QStringLiteral("%1").arg(c) : name);
        if (fresh)
            item->setCheckState(Qt::Checked);  // a new trend shows every channel
    }
    if (fresh) {
        ui->TrendChart->clear();
        m_listedChannels = ~0u;
        refreshChannelList();
        setFollowing(true);
    }
    m_viewChanged = true;
}

void TfrmTrend::refreshChannelList()
{
    const uint32_t seen = m_data.channelsSeen();
    for (int c = 0; c < monitor::kTrendChannels; ++c) {
        const bool listed = (seen >> c) & 1u;
        ui->lstTrendChannels->item(c)->setHidden(!listed);
        ui->TrendChart->setSeriesVisible(
            c, listed && ui->lstTrendChannels->item(c)->checkState() == Qt::Checked);
    }
    m_listedChannels = seen;
    m_viewChanged = true;
}

uint32_t TfrmTrend::chosenChannels() const
{
    uint32_t m = 0;
    for (int c = 0; c < monitor::kTrendChannels; ++c)
        if (ui->TrendChart->isSeriesVisible(c))
            m |= 1u << c;
    return m;
}

// ---- the view ------------------------------------------------------------------

void TfrmTrend::channelItemChanged(QListWidgetItem *item)
{
    if (m_reader) {
        recordingItemChanged(item);
        return;
    }
    const int c = ui->lstTrendChannels->row(item);
    ui->TrendChart->setSeriesVisible(c, !item->isHidden() && item->checkState() == Qt::Checked);
    m_viewChanged = true;
}

void TfrmTrend::cbTrendSpanChange()
{
    setFollowing(true);  // a span is a span of the newest data
}

void TfrmTrend::btnTrendFollowClick()
{
    setFollowing(true);
}

void TfrmTrend::userChangedTimeRange()
{
    setFollowing(false);
}

void TfrmTrend::setFollowing(bool on)
{
    m_following = on;
    ui->btnTrendFollow->setEnabled(!on);
    m_viewChanged = true;
}

std::pair<double, double> TfrmTrend::followedRange() const
{
    const int64_t span = spanMs();
    double first = 0;
    double last = 0;
    if (m_reader) {
        // A recording without rows yet starts at its start time.
        first = double(m_reader->rowCount() > 0 ? m_reader->firstTime() : m_reader->info().startedMs);
        last = double(m_reader->rowCount() > 0 ? m_reader->lastTime() : m_reader->info().startedMs);
    } else if (m_data.size() == 0) {
        const double now = double(QDateTime::currentMSecsSinceEpoch());
        return {now - double(span ? span : 60'000), now};
    } else {
        first = double(m_data.time(0));
        last = double(m_data.time(m_data.size() - 1));
    }
    if (span == 0)
        return {first, std::max(last, first + 1000.0)};
    // Until the data fills the span it grows from the left edge.
    const double t1 = std::max(last, first + double(span));
    return {t1 - double(span), t1};
}

monitor::TrendView TfrmTrend::currentView() const
{
    monitor::TrendView v;
    const TrendChart *chart = ui->TrendChart;
    if (m_following) {
        const auto range = followedRange();
        v.t0 = range.first;
        v.t1 = range.second + 1;  // the newest row inside the range
    } else {
        v.t0 = chart->timeFrom();
        v.t1 = chart->timeTo();
    }
    v.columns = std::max(1, chart->width());
    v.rows = m_data.size();
    if (v.rows > 0) {
        v.oldest = m_data.time(0);
        v.newest = m_data.time(v.rows - 1);
    }
    return v;
}

bool TfrmTrend::redrawDue() const
{
    if (m_viewChanged)
        return true;
    if (m_reader)  // a view that does not follow the end shows no new rows
        return m_following && m_reader->rowCount() != m_drawnRows;
    if (m_data.revision() == m_drawnRevision)
        return false;
    return monitor::trendRedrawDue(m_drawnView, currentView(),
                                   m_sinceDrawn.isValid() ? double(m_sinceDrawn.elapsed()) : 1e300);
}

void TfrmTrend::redrawTrend()
{
    TrendChart *chart = ui->TrendChart;
    const monitor::TrendView view = currentView();
    if (m_following)
        chart->setTimeRange(view.t0, view.t1);
    const double t0 = chart->timeFrom();
    const double t1 = chart->timeTo();
    if (m_reader)
        drawRecording(t0, t1, view.columns);
    else
        drawLive(t0, t1, view.columns);
    chart->fitValueAxis();
    chart->redraw();
    m_drawnRevision = m_data.revision();
    m_drawnView = view;
    m_drawnView.t0 = t0;  // as the chart took them
    m_drawnView.t1 = t1;
    m_sinceDrawn.start();
    m_viewChanged = false;
}

void TfrmTrend::drawLive(double t0, double t1, int columns)
{
    TrendChart *chart = ui->TrendChart;
    const int first = m_data.lowerBound(int64_t(std::floor(t0)));
    const int last = std::min(m_data.size(), m_data.lowerBound(int64_t(std::ceil(t1))) + 1);
    for (int c = 0; c < monitor::kTrendChannels; ++c) {
        if (!chart->isSeriesVisible(c)) {
            chart->setPoints(c, {});
            continue;
        }
        chart->setPoints(c, monitor::decimateMinMax(
                                first, last, [this](int i) { return m_data.time(i); },
                                [this, c](int i) { return m_data.value(c, i); }, t0, t1, columns));
    }
}

void TfrmTrend::drawRecording(double t0, double t1, int columns)
{
    // The file picks the level of its summary that fits the columns.
    const QList<int> channels = recordingChannels();
    const auto points = m_reader->points(channels, t0, t1, columns);
    for (int s = 0; s < monitor::kTrendChannels; ++s) {
        const qsizetype i = channels.indexOf(m_seriesChannel[size_t(s)]);
        ui->TrendChart->setPoints(s, i >= 0 && size_t(i) < points.size() ? points[size_t(i)]
                                                                        : std::vector<monitor::TrendPoint>{});
    }
    m_drawnRows = m_reader->rowCount();
}

void TfrmTrend::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_viewChanged = true;
    m_redrawTimer->start();
}

void TfrmTrend::hideEvent(QHideEvent *event)
{
    m_redrawTimer->stop();  // closed, the trend only collects rows
    QDialog::hideEvent(event);
}

void TfrmTrend::tick()
{
    // A finished recording gets no more rows.
    if (m_reader && !m_reader->info().endedMs
        && (!m_sinceRefresh.isValid() || m_sinceRefresh.elapsed() >= kRefreshMs)) {
        m_sinceRefresh.start();
        m_reader->refresh();
    }
    if (redrawDue())
        redrawTrend();
}

// ---- a recording ---------------------------------------------------------------

bool TfrmTrend::openRecording(const QString &path, QString *error)
{
    auto reader = std::make_unique<rec::Reader>();
    if (!reader->open(path, error))  // the error names the file and why
        return false;
    m_reader = std::move(reader);
    m_data.clear();
    m_drawnRows = -1;
    m_sinceRefresh.invalidate();
    setWindowTitle(tr("トレンド") + QStringLiteral(" - ") + QFileInfo(path).fileName());
    ui->TrendChart->clear();
    fillRecordingChannels();
    setFollowing(true);
    return true;
}

void TfrmTrend::fillRecordingChannels()
{
    // Drawn at first: the channels of the first terminal, or without an
    // installation the first registers, as many as one terminal has.
    constexpr int kFirstRegisters = 8;
    const QList<rec::Channel> &channels = m_reader->info().layout.channels;
    const int firstTerminal = channels.isEmpty() ? -1 : channels.first().terminal;
    const QSignalBlocker block(ui->lstTrendChannels);
    ui->lstTrendChannels->clear();
    m_seriesChannel.fill(-1);
    int series = 0;
    for (int c = 0; c < channels.size(); ++c) {
        const rec::Channel &channel = channels[c];
        const QString name = channel.name();
        auto *item = new QListWidgetItem(name, ui->lstTrendChannels);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setToolTip(name);  // names longer than the list is wide
        const bool shown = (firstTerminal >= 0 ? channel.terminal == firstTerminal : c < kFirstRegisters)
                           && series < monitor::kTrendChannels;
        item->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
        item->setIcon(swatch(shown ? trendColour(series) : QColor(Qt::transparent)));
        if (shown) {
            m_seriesChannel[size_t(series)] = c;
            ui->TrendChart->setSeries(series, name, trendColour(series), false);
            ui->TrendChart->setSeriesVisible(series, true);
            ++series;
        }
    }
    for (; series < monitor::kTrendChannels; ++series)
        ui->TrendChart->setSeriesVisible(series, false);
    m_viewChanged = true;
}

void TfrmTrend::recordingItemChanged(QListWidgetItem *item)
{
    const int channel = ui->lstTrendChannels->row(item);
    const bool on = item->checkState() == Qt::Checked;
    const int drawnIn = recordingSeries(channel);
    if (on == (drawnIn >= 0))
        return;
    TrendChart *chart = ui->TrendChart;
    if (!on) {
        m_seriesChannel[size_t(drawnIn)] = -1;
        chart->setSeriesVisible(drawnIn, false);
        chart->setPoints(drawnIn, {});
        item->setIcon(swatch(Qt::transparent));
        m_viewChanged = true;
        return;
    }
    // The channel takes the first free series, and its colour.
    const auto free = std::find(m_seriesChannel.begin(), m_seriesChannel.end(), -1);
    if (free == m_seriesChannel.end()) {
        {
            const QSignalBlocker block(ui->lstTrendChannels);
            item->setCheckState(Qt::Unchecked);
        }
        msg::information(this, tr("同時に表示できるチャンネルは %1 までです。ほかのチャンネルを外してから選んでください。")
                                   .arg(monitor::kTrendChannels));
        return;
    }
    const int series = int(free - m_seriesChannel.begin());
    *free = channel;
    chart->setSeries(series, item->text(), trendColour(series), false);
    chart->setSeriesVisible(series, true);
    item->setIcon(swatch(trendColour(series)));
    m_viewChanged = true;
}

QList<int> TfrmTrend::recordingChannels() const
{
    QList<int> channels;
    for (int c : m_seriesChannel)
        if (c >= 0)
            channels << c;
    std::sort(channels.begin(), channels.end());
    return channels;
}

int TfrmTrend::recordingSeries(int channel) const
{
    const auto it = std::find(m_seriesChannel.begin(), m_seriesChannel.end(), channel);
    return channel >= 0 && it != m_seriesChannel.end() ? int(it - m_seriesChannel.begin()) : -1;
}

// ---- export --------------------------------------------------------------------

QString TfrmTrend::chooseFile(const char *name, const QString &suffix)
{
    auto *dialog = findChild<QFileDialog *>(QLatin1StringView(name), Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new QFileDialog(this);
        dialog->setObjectName(QLatin1StringView(name));
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDefaultSuffix(suffix);
        dialog->setNameFilter(QStringLiteral("*.") + suffix);
    }
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().first();
}

bool TfrmTrend::savePicture(const QString &path, QString *error)
{
    redrawTrend();  // the picture is what the screen shows now
    const QPixmap picture = ui->TrendChart->picture();
    auto fail = [&](const QString &why) {
        if (error)
            *error = tr("ファイル %1 に書き込めません: %2").arg(path, why);
        return false;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (!picture.save(&file, "PNG")) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

bool TfrmTrend::saveCsv(const QString &path, QString *error)
{
    const auto t0 = int64_t(std::floor(ui->TrendChart->timeFrom()));
    const auto t1 = int64_t(std::ceil(ui->TrendChart->timeTo()));
    const QString text = m_reader ? rec::exportCsv(*m_reader, recordingChannels(), t0, t1)
                                  : monitor::trendCsv(m_data, chosenChannels(), t0, t1);
    return WriteTextFile(path, text, error);
}

void TfrmTrend::btnTrendSaveClick()
{
    const QString path = chooseFile("SaveTrendPng", QStringLiteral("png"));
    QString error;
    if (!path.isEmpty() && !savePicture(path, &error))
        msg::error(this, error);
}

void TfrmTrend::btnTrendCsvClick()
{
    const QString path = chooseFile("SaveTrendCsv", QStringLiteral("csv"));
    QString error;
    if (!path.isEmpty() && !saveCsv(path, &error))
        msg::error(this, error);
}
