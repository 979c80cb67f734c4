#include "tools/survey/TfrmSurvey.h"
#include "app/MessageBoxes.h"
#include "monitor/MonitorSession.h"
#include "monitor/Survey.h"
#include "monitor/TextNumbers.h"
#include "monitor/TrendData.h"
#include "ui_TfrmSurvey.h"
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QShowEvent>

namespace {

enum Column { ColAddress, ColType, ColName, ColChannel, ColLabel, ColTag, ColRange, ColMin, ColMean, ColMax, ColVerdict };

// The colours of the report: a bad verdict's text says it all the same.
const QColor kBadBackground(0xf6, 0xd2, 0xcc);
const QColor kBadText(0xa0, 0x00, 0x00);
const QColor kNoneBackground(0xdc, 0xdc, 0xdc);

QString number(const std::optional<double> &v, bool mean = false)
{
    return v ? (mean ? report::meanText(*v) : report::valueText(*v)) : QString();
}

QTableWidgetItem *cell(const QString &text, bool right = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft));
    return item;
}

} // namespace

TfrmSurvey::TfrmSurvey(Survey &survey, const MonitorSession &session, Sources sources, QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmSurvey), m_survey(survey), m_session(session), m_sources(std::move(sources))
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
    QTableWidget *grid = ui->gridSurvey;
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    grid->horizontalHeader()->setStretchLastSection(true);
    const QFontMetrics fm = grid->fontMetrics();
    const auto width = [&](int column, const QString &widest) {
        const QString header = grid->horizontalHeaderItem(column)->text();
        grid->setColumnWidth(column, std::max(fm.horizontalAdvance(widest), fm.horizontalAdvance(header)) + 18);
    };
    width(ColAddress, QStringLiteral("00"));
    width(ColType, QString(12, QChar(0x30A2)));
    width(ColName, QString(8, QChar(0x30A2)));
    width(ColChannel, QStringLiteral("00"));
    width(ColLabel, QStringLiteral("WWWW WW"));
    width(ColTag, QStringLiteral("WWWWWWW"));
    width(ColRange, QStringLiteral("0000..0000"));
    for (int c : {ColMin, ColMean, ColMax})
        width(c, QStringLiteral("000000.00"));

    connect(ui->btnSurveyStart, &QPushButton::clicked, this, &TfrmSurvey::btnSurveyStartClick);
    connect(ui->btnSurveyStop, &QPushButton::clicked, this, &TfrmSurvey::btnSurveyStopClick);
    connect(ui->btnReport, &QPushButton::clicked, this, &TfrmSurvey::btnReportClick);

    connect(&m_survey, &Survey::progress, this, [this](int done, int total) {
        ui->pbSurvey->setMaximum(std::max(1, total));
        ui->pbSurvey->setValue(done);
    });
    connect(&m_survey, &Survey::terminalSurveyed, this, [this](int index, const survey::TerminalResult &) {
        m_surveyed.insert(index);
        showResult(m_survey.result());
    });
    connect(&m_survey, &Survey::gatewaySurveyed, this,
            [this](const survey::GatewayResult &) { showStatus(m_survey.result(), false); });
    connect(&m_survey, &Survey::finished, this, [this](const survey::SurveyResult &result) {
        m_finished = true;
        showResult(result);
        showStatus(result, true);
        setRunning(false);
    });
}

TfrmSurvey::~TfrmSurvey()
{
    delete ui;
}

void TfrmSurvey::hideEvent(QHideEvent *event)
{
    m_survey.stop();
    QDialog::hideEvent(event);
}

int TfrmSurvey::surveyInterval() const
{
    const auto ms = ParseInt(m_sources.intervalText ? m_sources.intervalText() : QString());
    return ms && *ms >= 0 ? *ms : 400;
}

void TfrmSurvey::setRunning(bool running)
{
    ui->btnSurveyStart->setEnabled(!running);
    ui->seSurveySamples->setEnabled(!running);
    ui->btnSurveyStop->setEnabled(running);
    ui->btnReport->setEnabled(!running && m_finished);
}

void TfrmSurvey::btnSurveyStartClick()
{
    if (m_survey.isRunning())
        return;
    m_survey.setRm2Gateway(m_sources.gatewayIsRm2 && m_sources.gatewayIsRm2());
    QString error;
    const bool finishedBefore = m_finished;
    m_finished = false;
    m_surveyed.clear();
    setRunning(true);
    if (!m_survey.start(ui->seSurveySamples->value(), surveyInterval(), &error)) {
        m_finished = finishedBefore;
        setRunning(false);
        msg::warning(this, error);
        return;
    }
    // A survey with nothing to read may have finished already.
    if (m_survey.isRunning()) {
        ui->stSurveyStatus->setText(tr("点検中..."));
        showResult(m_survey.result());
    }
}

void TfrmSurvey::btnSurveyStopClick()
{
    m_survey.stop();
    ui->btnSurveyStop->setEnabled(false);
}

// ---- the table ------------------------------------------------------------------

void TfrmSurvey::showResult(const survey::SurveyResult &result)
{
    QTableWidget *grid = ui->gridSurvey;
    grid->setUpdatesEnabled(false);
    grid->clearSpans();
    grid->setRowCount(0);
    for (int i = 0; i < result.terminals.size(); ++i) {
        const survey::TerminalResult &t = result.terminals[i];
        addChannelRows(t, m_finished || m_surveyed.contains(i));
        if (t.settings)
            addSettingsRow(t);
    }
    grid->setUpdatesEnabled(true);
}

void TfrmSurvey::addChannelRows(const survey::TerminalResult &t, bool surveyed)
{
    QTableWidget *grid = ui->gridSurvey;
    for (const survey::ChannelResult &c : t.channels) {
        const int row = grid->rowCount();
        grid->insertRow(row);
        grid->setItem(row, ColAddress, cell(QString::number(t.address), true));
        grid->setItem(row, ColType, cell(t.typeName));
        grid->setItem(row, ColName, cell(t.name));
        grid->setItem(row, ColChannel, cell(QString::number(c.channel), true));
        grid->setItem(row, ColLabel, cell(monitor::trendChannelName(c.label, c.unit)));
        grid->setItem(row, ColTag, cell(c.tag));
        QString range;
        if (c.expectedMin || c.expectedMax)
            range = number(c.expectedMin) + QStringLiteral("..") + number(c.expectedMax);
        grid->setItem(row, ColRange, cell(range));
        grid->setItem(row, ColMin, cell(number(c.lowest), true));
        grid->setItem(row, ColMean, cell(number(c.mean, true), true));
        grid->setItem(row, ColMax, cell(number(c.highest), true));
        QTableWidgetItem *verdict = cell(QString());
        if (surveyed) {
            switch (c.verdict) {
            case survey::Verdict::Ok:
                verdict->setText(tr("OK"));
                break;
            case survey::Verdict::OutOfRange:
                verdict->setText(tr("範囲外"));
                verdict->setBackground(kBadBackground);
                verdict->setForeground(kBadText);
                break;
            case survey::Verdict::NoAnswer:
                verdict->setText(tr("応答なし"));
                verdict->setBackground(kNoneBackground);
                break;
            }
            if (c.verdict != survey::Verdict::Ok) {
                QFont bold = verdict->font();
                bold.setBold(true);
                verdict->setFont(bold);
            }
        }
        grid->setItem(row, ColVerdict, verdict);
    }
}

// The terminal's settings in one row: the names and values across the
// columns after the label, or why they could not be read.
void TfrmSurvey::addSettingsRow(const survey::TerminalResult &t)
{
    QTableWidget *grid = ui->gridSurvey;
    const survey::TerminalSettings &s = *t.settings;
    QStringList parts;
    for (const survey::SettingItem &item : s.items)
        parts << item.name + QStringLiteral(": ") + item.value;
    QString text = parts.join(QStringLiteral(" / "));
    if (!s.read)
        text = s.failure + (text.isEmpty() ? QString() : QStringLiteral(" (") + text + u')');
    const int row = grid->rowCount();
    grid->insertRow(row);
    grid->setItem(row, ColAddress, cell(QString::number(t.address), true));
    grid->setItem(row, ColType, cell(t.typeName));
    grid->setItem(row, ColName, cell(t.name));
    grid->setItem(row, ColLabel, cell(tr("設定")));
    QTableWidgetItem *item = cell(s.pageName + QStringLiteral(": ") + text);
    item->setToolTip(text);
    if (!s.read)
        item->setBackground(kNoneBackground);
    grid->setItem(row, ColTag, item);
    grid->setSpan(row, ColTag, 1, ColVerdict - ColTag + 1);
}

void TfrmSurvey::showStatus(const survey::SurveyResult &result, bool finished)
{
    QStringList parts;
    if (finished)
        parts << (result.stopped ? tr("点検を中止しました。") : tr("点検が終わりました。"));
    else
        parts << tr("点検中...");
    const survey::GatewayResult &g = result.gateway;
    if (g.moduleInfo.macAddress)
        parts << tr("MAC %1").arg(*g.moduleInfo.macAddress);
    if (g.clockDifferenceSeconds)
        parts << tr("時計の差 %1 秒 (リレイモ − PC)").arg(*g.clockDifferenceSeconds);
    ui->stSurveyStatus->setText(parts.join(QStringLiteral("  ")));
}

// ---- the report -----------------------------------------------------------------

QString TfrmSurvey::chooseReportFile()
{
    const QString name = QStringLiteral("SaveReportDialog");
    auto *dialog = findChild<QFileDialog *>(name, Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new QFileDialog(this, tr("報告書の保存"));
        dialog->setObjectName(name);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setNameFilter(QStringLiteral("PDF (*.pdf);;HTML (*.html)"));
        // First in the installation file's folder.
        const QFileInfo site(m_survey.result().siteFile);
        if (!m_survey.result().siteFile.isEmpty() && site.absoluteDir().exists())
            dialog->setDirectory(site.absoluteDir());
    }
    // A name that says which installation and when: "panel3-20261209-1405".
    const survey::SurveyResult &last = m_survey.result();
    const QString base = QFileInfo(last.siteFile).completeBaseName();
    dialog->selectFile((base.isEmpty() ? QStringLiteral("survey") : base)
                       + last.started.toString(QStringLiteral("-yyyyMMdd-HHmm")));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    // A name without the suffix of either kind gets the chosen filter's.
    QString path = dialog->selectedFiles().first();
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("pdf") && suffix != QLatin1String("html") && suffix != QLatin1String("htm"))
        path += dialog->selectedNameFilter().startsWith(QLatin1String("PDF")) ? QStringLiteral(".pdf")
                                                                              : QStringLiteral(".html");
    return path;
}

void TfrmSurvey::btnReportClick()
{
    const QString path = chooseReportFile();
    if (path.isEmpty())
        return;
    QString error;
    if (!saveReport(path, &error))
        msg::error(this, error);
}

bool TfrmSurvey::saveReport(const QString &path, QString *error)
{
    report::ReportInput in;
    in.survey = m_survey.result();
    // The writes of this run, as the journal window shows them.
    for (const journal::Entry &e : m_session.journal().entries())
        in.journal << report::JournalRow{journal::timeText(e.time), e.write.source, QString::number(e.write.function),
                                         QString::number(journal::referenceNumber(e.write)),
                                         journal::valueText(e.write), journal::outcomeText(e)};
    if (m_sources.commFigures)
        in.comm = m_sources.commFigures();
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0)
        return report::writePdf(path, in, error);
    return report::writeHtml(path, in, error);
}
