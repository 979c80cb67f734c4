// The main window's language menu (表示 → 言語).
#include "app/MessageBoxes.h"
#include "app/TfrmMain.h"
#include "app/Translation.h"
#include "ui_TfrmMain.h"
#include <QActionGroup>

void TfrmMain::setupLanguageMenu()
{
    auto *group = new QActionGroup(this);
    group->addAction(ui->LangJa);
    group->addAction(ui->LangEn);
    (currentLanguage() == QLatin1String("en") ? ui->LangEn : ui->LangJa)->setChecked(true);
    connect(ui->LangJa, &QAction::triggered, this, [this] { LangClick(QStringLiteral("ja")); });
    connect(ui->LangEn, &QAction::triggered, this, [this] { LangClick(QStringLiteral("en")); });
}

void TfrmMain::LangClick(const QString &lang)
{
    (lang == QLatin1String("en") ? ui->LangEn : ui->LangJa)->setChecked(true);
    Settings.language = lang;
    SaveSettings();
    static const char *const kNextStart =
        QT_TRANSLATE_NOOP("TfrmMain", "言語の設定は次回起動時に有効になります。");
    msg::information(this, textInLanguage("TfrmMain", kNextStart, lang));
}
