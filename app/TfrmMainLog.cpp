// The log of the main window: its buttons and counters, the log area as a
// view of the session's rows, the manual save of those rows, the
// conversion table file of the file menu, and the bus recording's menu
// items and status-bar field.
#include "app/MessageBoxes.h"
#include "app/TfrmMain.h"
#include "ui_TfrmMain.h"
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>

namespace {

constexpr int kClientHeightLogHidden = 397;
constexpr int kClientHeightLogShown = 541;

} // namespace

void TfrmMain::setupRecording()
{
    auto *field = new QLabel(this);
    field->setObjectName(QStringLiteral("stRecord"));
    field->hide();
    statusBar()->addPermanentWidget(field);
    connect(ui->mnuRecordStart, &QAction::triggered, this, &TfrmMain::mnuRecordStartClick);
    connect(ui->mnuRecordStop, &QAction::triggered, this, &TfrmMain::mnuRecordStopClick);
    BusRecorder &recorder = m_session.recorder();
    auto show = [this, field, &recorder](int64_t rows, int64_t bytes) {
        if (!recorder.isRecording())
            return;
        field->setText(tr("記録中: %1  %2 行  %3 MB")
                           .arg(QFileInfo(recorder.path()).fileName(), QLocale().toString(qlonglong(rows)),
                                QLocale().toString(double(bytes) / (1024.0 * 1024.0), 'f', 1)));
    };
    connect(&recorder, &BusRecorder::progress, this, show);
    connect(&recorder, &BusRecorder::recordingChanged, this, [this, field, show, &recorder](bool on) {
        ui->mnuRecordStart->setEnabled(!on);
        ui->mnuRecordStop->setEnabled(on);
        field->setVisible(on);
        if (on)
            show(recorder.rows(), recorder.bytes());
    });
}

void TfrmMain::mnuRecordStartClick()
{
    if (!ConnectionCheck())
        return;
    QString error;
    if (!m_session.startRecording(monitorIntervalText(), &error))
        msg::error(this, error);
}

void TfrmMain::mnuRecordStopClick()
{
    const QString path = m_session.recorder().path();
    m_session.stopRecording();
    showStatusText(tr("記録を止めました: %1").arg(QDir::toNativeSeparators(path)));
}

void TfrmMain::setupLog()
{
    connect(ui->N9, &QAction::triggered, this, &TfrmMain::N9Click);
    connect(ui->Save1, &QAction::triggered, this, &TfrmMain::Save1Click);
    // N11Click decides by the check mark as it was before the click, so the
    // toggle the action made of itself is undone first.
    connect(ui->N11, &QAction::triggered, this, [this](bool checked) {
        ui->N11->setChecked(!checked);
        N11Click();
    });
    connect(ui->sbtnLogStart, &QToolButton::clicked, this, &TfrmMain::sbtnLogStartClick);
    connect(ui->sbtnLogStop, &QToolButton::clicked, this, &TfrmMain::sbtnLogStopClick);
    ui->sbtnLogStop->hide();
    // The log area only shows rows: no undo history that would grow with
    // every appended row.
    ui->Memo2->setUndoRedoEnabled(false);
    ui->Memo2->setReadOnly(true);

    connect(&m_session, &MonitorSession::rowLogged, this,
            [this](const QString &row, uint32_t count, const QString &elapsed) {
                ui->Memo2->appendPlainText(row);
                ui->stLogCntr->setText(QString::number(count));
                ui->stLogElTime->setText(elapsed);
            });
    connect(&m_session, &MonitorSession::rowsCleared, ui->Memo2, &QPlainTextEdit::clear);
}

void TfrmMain::sbtnLogStartClick()
{
    m_session.startLogging();
    ui->stLogCntr->setText(QStringLiteral("0"));
    ui->stLogElTime->setText(QStringLiteral("0:00:00.0"));
    ui->sbtnLogStop->show();
    ui->sbtnLogStart->hide();
}

void TfrmMain::sbtnLogStopClick()
{
    m_session.stopLogging();
    ui->sbtnLogStart->show();
    ui->sbtnLogStop->hide();
}

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
    QString error;
    if (!m_session.saveRows(dialog->selectedFiles().first(), &error))
        msg::error(this, error);
}

void TfrmMain::N11Click()
{
    const bool shown = ui->N11->isChecked();
    setClientHeight(shown ? kClientHeightLogHidden : kClientHeightLogShown);
    ui->N11->setChecked(!shown);
}

void TfrmMain::N9Click()
{
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(),
                                                      tr("コンフィグファイル (*.cfg);;全てのファイル (*.*)"));
    if (!path.isEmpty())
        LoadConversionTable(path);
}

bool TfrmMain::LoadConversionTable(const QString &fileName)
{
    const ConversionTable::LoadResult result = m_session.conversionTable().loadFile(fileName);
    if (result.ok)
        return true;
    QString text = result.error;
    if (result.line > 0)
        text += tr("\n(%1 の %2 行目)").arg(QDir::toNativeSeparators(fileName)).arg(result.line);
    msg::error(this, text);
    return false;
}
