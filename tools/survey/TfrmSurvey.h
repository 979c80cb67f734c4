#pragma once
// The survey window "一括点検" (ツール → 一括点検): starts and stops the survey
// of the session's installation, shows each terminal's channels as their
// figures come in (bad verdicts marked by colour), and writes the report of
// the last survey as PDF or HTML (報告書...).
#include "monitor/SurveyResult.h"
#include "tools/report/SurveyReport.h"
#include <QDialog>
#include <QSet>
#include <functional>

namespace Ui { class TfrmSurvey; }
class MonitorSession;
class Survey;

class TfrmSurvey : public QDialog {
    Q_OBJECT
public:
    // What the window asks of other windows, handed in by App.
    struct Sources {
        std::function<QString()> intervalText;            // the monitor's Interval edit
        std::function<bool()> gatewayIsRm2;               // the main window's gateway kind
        std::function<report::CommFigures()> commFigures; // the communication statistics
    };

    TfrmSurvey(Survey &survey, const MonitorSession &session, Sources sources, QWidget *parent = nullptr);
    ~TfrmSurvey() override;

    // The interval the survey samples at: the monitor's Interval in ms, 400
    // where that is not a whole number of 0 or more.
    int surveyInterval() const;
    // Writes the report of the last survey to path: PDF for a name ending
    // in .pdf, HTML otherwise. False with *error when it could not.
    bool saveReport(const QString &path, QString *error = nullptr);

public slots:
    void btnSurveyStartClick();
    void btnSurveyStopClick();
    void btnReportClick();

protected:
    // Closing the window ends the survey after the step that runs.
    void hideEvent(QHideEvent *event) override;

private:
    void setRunning(bool running);
    void showResult(const survey::SurveyResult &result);
    void addChannelRows(const survey::TerminalResult &t, bool surveyed);
    void addSettingsRow(const survey::TerminalResult &t);
    void showStatus(const survey::SurveyResult &result, bool finished);
    QString chooseReportFile();

    Ui::TfrmSurvey *ui;
    Survey &m_survey;
    const MonitorSession &m_session;
    Sources m_sources;
    QSet<int> m_surveyed;     // terminals whose figures are in
    bool m_finished = false;  // the last survey has finished
};
