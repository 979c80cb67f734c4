// Uses each library of the Windows SDK once and says what it got: a
// QApplication offscreen, a QCustomPlot drawn to a pixmap, a QCoro task that
// waits for a timer's signal, an in-memory SQLite database and libcurl's
// version and protocols. Exits 0 only when all of them answered as expected.
#include <QApplication>
#include <QCoro/QCoroSignal>
#include <QCoro/QCoroTask>
#include <QTimer>
#include <curl/curl.h>
#include <qcustomplot.h>
#include <sqlite3.h>

#include <cstdio>
#include <string>

namespace {

int failures = 0;

void report(bool ok, const std::string &what)
{
    std::printf("winsdk-check: %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok)
        ++failures;
}

QCoro::Task<int> afterTimer(int value)
{
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(1);
    co_await qCoro(&timer, &QTimer::timeout);
    co_return value;
}

std::string sqliteAnswer()
{
    sqlite3 *db = nullptr;
    std::string answer;
    if (sqlite3_open(":memory:", &db) == SQLITE_OK
        && sqlite3_exec(db, "create table t(x); insert into t values (6 * 7);", nullptr, nullptr,
                        nullptr) == SQLITE_OK) {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, "select x from t", -1, &st, nullptr) == SQLITE_OK
            && sqlite3_step(st) == SQLITE_ROW)
            answer = reinterpret_cast<const char *>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return answer;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    report(QGuiApplication::platformName() == QLatin1String("offscreen"),
           "Qt " QT_VERSION_STR ", platform " + QGuiApplication::platformName().toStdString());

    QCustomPlot plot;
    plot.addGraph();
    plot.graph(0)->setData({0, 1, 2, 3}, {0, 1, 4, 9});
    plot.rescaleAxes();
    const QPixmap picture = plot.toPixmap(320, 200);
    report(picture.width() == 320 && picture.height() == 200,
           "QCustomPlot " QCUSTOMPLOT_VERSION_STR " drew a "
               + std::to_string(picture.width()) + "x" + std::to_string(picture.height())
               + " pixmap");

    const int fromTask = QCoro::waitFor(afterTimer(42));
    report(fromTask == 42, "QCoro task resumed by a timer's signal: " + std::to_string(fromTask));

    const std::string answer = sqliteAnswer();
    report(answer == "42", std::string("SQLite ") + sqlite3_libversion()
                               + " in memory: select gave '" + answer + "'");

    curl_global_init(CURL_GLOBAL_DEFAULT);
    const curl_version_info_data *info = curl_version_info(CURLVERSION_NOW);
    std::string protocols;
    for (const char *const *p = info->protocols; *p; ++p)
        protocols += std::string(protocols.empty() ? "" : " ") + *p;
    report(protocols == "ftp http" && !(info->features & CURL_VERSION_SSL),
           std::string(curl_version()) + ", protocols: " + protocols);
    curl_global_cleanup();

    std::printf("winsdk-check: %s\n", failures == 0 ? "all parts work" : "some parts failed");
    return failures == 0 ? 0 : 1;
}
