// CSV logging of the main window: the log area, the log counters, the
// manual and the automatic saving of the rows, and the conversion table
// file of the file menu.
#include "app/MessageBoxes.h"
#include "app/TfrmMain.h"
#include "monitor/CsvLog.h"
#include "monitor/FormatElapsed.h"
#include "monitor/TextNumbers.h"
#include "ui_TfrmMain.h"
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kClientHeightLogHidden = 397;
constexpr int kClientHeightLogShown = 541;

template <class T> T *child(const TfrmMain *w, const char *name)
{
    return w->findChild<T *>(QLatin1String(name));
}

QPlainTextEdit *logArea(const TfrmMain *w)
{
    return child<QPlainTextEdit>(w, "Memo2");
}

void setLabel(const TfrmMain *w, const char *name, const QString &text)
{
    if (auto *label = child<QLabel>(w, name))
        label->setText(text);
}

void setShown(const TfrmMain *w, const char *name, bool shown)
{
    if (auto *widget = child<QWidget>(w, name))
        widget->setVisible(shown);
}

int pollInterval(const TfrmMain *w)
{
    return w->Timer1 ? w->Timer1->interval() : 0;
}

AutoSaveFields autoSaveFields(const TfrmMain *w)
{
    return w->autoSaveSource ? w->autoSaveSource() : AutoSaveFields{};
}

int spinValue(const TfrmMain *w, const char *name)
{
    const auto *spin = child<QSpinBox>(w, name);
    return spin ? spin->value() : 0;
}

} // namespace

void TfrmMain::setupLogging()
{
    connect(ui->N9, &QAction::triggered, this, &TfrmMain::N9Click);
    connect(ui->Save1, &QAction::triggered, this, &TfrmMain::Save1Click);
    // N11Click decides by the check mark as it was before the click, so the
    // toggle the action made of itself is undone first.
    connect(ui->N11, &QAction::triggered, this, [this](bool checked) {
        ui->N11->setChecked(!checked);
        N11Click();
    });
    if (auto *start = child<QToolButton>(this, "sbtnLogStart"))
        connect(start, &QToolButton::clicked, this, &TfrmMain::sbtnLogStartClick);
    if (auto *stop = child<QToolButton>(this, "sbtnLogStop")) {
        connect(stop, &QToolButton::clicked, this, &TfrmMain::sbtnLogStopClick);
        stop->hide();
    }
    // The log area only collects rows: no undo history that would grow with
    // every appended row.
    if (auto *memo = logArea(this))
        memo->setUndoRedoEnabled(false);
}

// ---- start, stop, counters --------------------------------------------------

void TfrmMain::sbtnLogStartClick()
{
    Logging = 1;
    LogCount = 0;
    setLabel(this, "stLogCntr", QStringLiteral("0"));
    setLabel(this, "stLogElTime", QStringLiteral("0:00:00.0"));
    setShown(this, "sbtnLogStop", true);
    setShown(this, "sbtnLogStart", false);
    if (auto *memo = logArea(this))
        memo->clear();
}

void TfrmMain::sbtnLogStopClick()
{
    Logging = 0;
    setShown(this, "sbtnLogStart", true);
    setShown(this, "sbtnLogStop", false);
}

void TfrmMain::LogAnswerRow(const QString &row)
{
    if (Logging != 1)
        return;
    if (auto *memo = logArea(this))
        memo->appendPlainText(row);
    ++LogCount;
    setLabel(this, "stLogCntr", QString::number(LogCount));
    setLabel(this, "stLogElTime", FormatElapsed(uint32_t(pollInterval(this)), LogCount));
}

// ---- automatic saving ---------------------------------------------------------

bool TfrmMain::RestartLogFileNumbering()
{
    const AutoSaveFields fields = autoSaveFields(this);
    const QString &startText = fields.firstNumber;
    const auto start = ParseInt(startText);
    if (!start) {
        msg::error(this, IntConversionError(startText));
        return false;
    }
    const QString &digitsText = fields.digits;
    const auto digits = ParseInt(digitsText);
    if (!digits) {
        msg::error(this, IntConversionError(digitsText));
        return false;
    }
    LogFileNumber = *start;
    LogFileDigits = *digits;
    return true;
}

void TfrmMain::AutoSaveCheck()
{
    const AutoSaveFields fields = autoSaveFields(this);
    switch (autoSaveRule.step(Logging == 1, fields.enabled, fields.interval, MonitorCount)) {
    case monitor::AutoSaveRule::Save:
        AutoSaveLog();
        break;
    case monitor::AutoSaveRule::Report:
        // After the answer handler has returned; monitoring and logging go
        // on, only the saving waits for a usable interval.
        QTimer::singleShot(0, this, [this, text = autoSaveRule.report()] { msg::error(this, text); });
        break;
    case monitor::AutoSaveRule::Nothing:
        break;
    }
}

void TfrmMain::AutoSaveLog()
{
    QPlainTextEdit *memo = logArea(this);
    const QStringList lines = LogTextLines(memo ? memo->toPlainText() : QString());
    const QString header =
        CsvHeaderRow(Settings.logHeaderMode, spinValue(this, "seReadAddress"), spinValue(this, "seReadSize"));
    const QString text = CsvFileText(header, lines);

    // An existing file is never replaced: restarting the monitor restarts
    // the numbers, so the next free number is taken instead.
    QString name;
    const QString fileHeader = autoSaveFields(this).fileHeader;
    const QString wanted = CsvFileName(Settings.logDir, fileHeader, LogFileNumber, LogFileDigits);
    const int number = NextFreeCsvNumber(Settings.logDir, fileHeader, LogFileNumber, LogFileDigits, &name);
    QString error;
    if (!WriteTextFile(name, text, &error)) {
        // The rows stay in the log area and go into the next attempt; the
        // file number is kept.
        showStatusText(error);
        if (reportedAutoSaveError != error) {
            reportedAutoSaveError = error;
            QTimer::singleShot(0, this, [this, error] {
                msg::error(this, error + tr("\nログは消去せずに残しています。"));
            });
        }
        return;
    }
    reportedAutoSaveError.clear();
    if (memo)
        memo->clear();
    LogFileNumber = number + 1;
    if (name == wanted)
        showStatusText(tr("ログを保存しました: %1").arg(name));
    else
        showStatusText(tr("%1 は既にあるため、ログを %2 に保存しました")
                           .arg(QFileInfo(wanted).fileName(), name));
}

// ---- manual save and the log area's view ----------------------------------------

void TfrmMain::Save1Click()
{
    auto *dialog = findChild<QFileDialog *>(QStringLiteral("SaveDialog1"), Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new QFileDialog(this);
        dialog->setObjectName(QStringLiteral("SaveDialog1"));
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDefaultSuffix(QStringLiteral("csv"));
        dialog->setNameFilter(QStringLiteral("*.csv"));
    }
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const QString path = dialog->selectedFiles().first();
    const QPlainTextEdit *memo = logArea(this);
    QString text;
    for (const QString &line : LogTextLines(memo ? memo->toPlainText() : QString()))
        text += line + QStringLiteral("\r\n");
    QString error;
    if (!WriteTextFile(path, text, &error))
        msg::error(this, error);
}

void TfrmMain::N11Click()
{
    if (ui->N11->isChecked()) {
        setClientHeight(kClientHeightLogHidden);
        ui->N11->setChecked(false);
    } else {
        setClientHeight(kClientHeightLogShown);
        ui->N11->setChecked(true);
    }
}

// ---- conversion table ----------------------------------------------------------

void TfrmMain::N9Click()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QString(), QString(), tr("コンフィグファイル (*.cfg);;全てのファイル (*.*)"));
    if (!path.isEmpty())
        LoadConversionTable(path);
}

bool TfrmMain::LoadConversionTable(const QString &fileName)
{
    const ConversionTable::LoadResult result = conversionTable.loadFile(fileName);
    if (result.ok)
        return true;
    QString text = result.error;
    if (result.line > 0)
        text += tr("\n(%1 の %2 行目)").arg(QDir::toNativeSeparators(fileName)).arg(result.line);
    msg::error(this, text);
    return false;
}
