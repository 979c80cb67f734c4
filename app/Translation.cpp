#include "app/Translation.h"
#include "app/Settings.h"
#include <QCoreApplication>
#include <QTranslator>

namespace {

const QString kEnglishFile = QStringLiteral(":/i18n/rmtool_en.qm");

QTranslator *g_installed = nullptr;
QString g_language = QStringLiteral("ja");

} // namespace

bool isInterfaceLanguage(const QString &lang)
{
    return lang == QLatin1String("ja") || lang == QLatin1String("en");
}

bool installTranslation(QCoreApplication &app, const QString &lang)
{
    if (!isInterfaceLanguage(lang))
        return false;
    if (g_installed) {
        app.removeTranslator(g_installed);
        delete g_installed;
        g_installed = nullptr;
    }
    g_language = QStringLiteral("ja");
    if (lang == QLatin1String("ja"))
        return true;
    auto *translator = new QTranslator(&app);
    if (!translator->load(kEnglishFile) || !app.installTranslator(translator)) {
        delete translator;
        return false;
    }
    g_installed = translator;
    g_language = lang;
    return true;
}

QString currentLanguage()
{
    return g_language;
}

QString startupLanguage(const QString &settingsPath)
{
    const QString env = qEnvironmentVariable("RMTOOL_LANG");
    if (isInterfaceLanguage(env))
        return env;
    const QString saved = AppSettings::load(settingsPath).language;
    return isInterfaceLanguage(saved) ? saved : QStringLiteral("ja");
}

QString textInLanguage(const char *context, const char *source, const QString &lang)
{
    if (lang == QLatin1String("en")) {
        QTranslator english;
        if (english.load(kEnglishFile)) {
            const QString text = english.translate(context, source);
            if (!text.isEmpty())
                return text;
        }
    }
    return QString::fromUtf8(source);
}
