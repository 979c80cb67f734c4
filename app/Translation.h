#pragma once
// The language of the interface. The texts in the sources are Japanese, the
// default; English comes from the translation built from i18n/rmtool_en.ts.
// The language is chosen once at start (the setting "lang" in section
// WINDOW, or the command line) before any window is created.
#include <QString>

class QCoreApplication;

// "ja" or "en"; anything else is not a language of the interface.
bool isInterfaceLanguage(const QString &lang);

// Installs the translation for lang on app ("ja" needs none and removes an
// English one installed before). Returns false, leaving Japanese, for an
// unknown language or a translation that cannot be loaded.
bool installTranslation(QCoreApplication &app, const QString &lang);

// The language installed by installTranslation ("ja" until then).
QString currentLanguage();

// The language to start with: the environment variable RMTOOL_LANG when it
// names a language (a hook for tests and scripts), else the setting "lang"
// of section WINDOW in the settings file, else Japanese.
QString startupLanguage(const QString &settingsPath);

// source (a text of context) in lang, whatever language is installed: the
// message that confirms a language choice speaks the chosen language.
QString textInLanguage(const char *context, const char *source, const QString &lang);
