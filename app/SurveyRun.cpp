#include "app/SurveyRun.h"
#include "app/Settings.h"
#include "diag/CommStats.h"
#include "link/FrameText.h"
#include "monitor/MonitorSession.h"
#include "monitor/SiteFile.h"
#include "monitor/Survey.h"
#include "tools/report/SurveyReport.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

namespace {

// How long the connection may take before the gateway counts as not
// reached (an address that does not answer at all would otherwise keep the
// socket trying for minutes).
constexpr int kConnectLimitMs = 10000;
// The monitor's interval as the main window starts with it.
constexpr int kSampleIntervalMs = 400;

int failed(const QString &line)
{
    QTextStream(stderr) << "RMTool: " << line << Qt::endl;
    return 1;
}

// The communication figures of the run, counted as the statistics window
// counts them.
void countTraffic(ModbusLink &link, CommStats &stats, const QElapsedTimer &clock)
{
    QObject::connect(&link, &ModbusLink::connected, &link, [&stats, &clock] { stats.connected(clock.elapsed()); });
    QObject::connect(&link, &ModbusLink::disconnected, &link,
                     [&stats, &clock] { stats.disconnected(clock.elapsed()); });
    QObject::connect(&link, &ModbusLink::frameSent, &link,
                     [&stats](const QByteArray &frame) { stats.frameSent(frame); });
    QObject::connect(&link, &ModbusLink::answerReceived, &link,
                     [&stats](const QByteArray &frame, const modbus::AnswerMatch &match) {
                         stats.answerReceived(frame, match);
                     });
    QObject::connect(&link, &ModbusLink::requestTimedOut, &link,
                     [&stats](const modbus::Transaction &t) { stats.timedOut(t.tag); });
    QObject::connect(&link, &ModbusLink::bytesRead, &link, [&stats](int n) { stats.bytesReceived(n); });
}

QList<report::JournalRow> journalRows(const WriteJournal &journal)
{
    QList<report::JournalRow> rows;
    for (const journal::Entry &e : journal.entries())
        rows.append({journal::timeText(e.time), e.write.source, QString::number(e.write.function),
                     QString::number(journal::referenceNumber(e.write)), journal::valueText(e.write),
                     journal::outcomeText(e)});
    return rows;
}

} // namespace

int runSurvey(const StartOptions &options)
{
    QString error;
    const std::optional<site::Site> site = site::read(options.siteFile, &error);
    if (!site)
        return failed(error);

    if (!options.settingsFile.isEmpty())
        setSettingsFilePathOverride(options.settingsFile);
    MonitorSession session;
    session.settings() = AppSettings::load(settingsFilePath());
    session.applyConnectionSettings();
    session.journal().setFilePath(
        QFileInfo(settingsFilePath()).absoluteDir().filePath(QLatin1String(WriteJournal::kFileName)));
    // The installation's own gateway, where the file names one.
    if (site->gateway) {
        session.link().setHost(site->gateway->host);
        session.link().setPort(site->gateway->port);
    }
    session.setSite(*site, options.siteFile);
    const QString target = session.link().host() + u':' + QString::number(session.link().port());

    QElapsedTimer clock;
    clock.start();
    CommStats stats(session.settings().responseTimeoutMs);
    stats.reset(clock.elapsed());
    countTraffic(session.link(), stats, clock);

    Survey survey(session);
    int status = 0;
    const auto end = [&status](int code) {
        status = code;
        QCoreApplication::exit(code);
    };
    QTimer connectLimit;
    connectLimit.setSingleShot(true);
    QObject::connect(&connectLimit, &QTimer::timeout, &session, [&] {
        end(failed(QStringLiteral("cannot reach the gateway at %1: no connection within %2 s")
                       .arg(target).arg(kConnectLimitMs / 1000)));
    });
    QObject::connect(&session.link(), &ModbusLink::socketError, &session, [&](ModbusLink::ErrorKind kind) {
        if (connectLimit.isActive()) {
            connectLimit.stop();
            end(failed(QStringLiteral("cannot reach the gateway at %1: %2").arg(target, ModbusLink::errorText(kind))));
        }
    });
    QObject::connect(&session.link(), &ModbusLink::connected, &session, [&] {
        connectLimit.stop();
        QString why;
        if (!survey.start(options.samples, kSampleIntervalMs, &why))
            end(failed(why));
    }, Qt::SingleShotConnection);
    QObject::connect(&survey, &Survey::finished, &session, [&](const survey::SurveyResult &result) {
        const report::ReportInput in{result, journalRows(session.journal()), report::commFigures(stats)};
        QString why;
        const bool pdf = QFileInfo(options.reportFile).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
        const bool written = pdf ? report::writePdf(options.reportFile, in, &why)
                                 : report::writeHtml(options.reportFile, in, &why);
        if (!written) {
            end(failed(QStringLiteral("cannot write the report %1: %2").arg(options.reportFile, why)));
            return;
        }
        session.link().close();
        end(0);
    });

    connectLimit.start(kConnectLimitMs);
    session.link().open();
    QCoreApplication::exec();
    return status;
}
