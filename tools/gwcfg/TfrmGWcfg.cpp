#include "tools/gwcfg/TfrmGWcfg.h"
#include "ui_TfrmGWcfg.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

TfrmGWcfg::TfrmGWcfg(QWidget *parent) : QDialog(parent), ui(new Ui::TfrmGWcfg)
{
    ui->setupUi(this);
}

TfrmGWcfg::~TfrmGWcfg()
{
    delete ui;
}

void TfrmGWcfg::fillFromSettings(const AppSettings &settings, const QString &socketHost,
                                 int socketPort)
{
    auto set = [this](const char *name, const QString &text) {
        if (auto *e = findChild<QLineEdit *>(QLatin1String(name)))
            e->setText(text);
        else if (auto *l = findChild<QLabel *>(QLatin1String(name)))
            l->setText(text);
    };
    set("ModbusIP", socketHost);
    set("ModbusPort", QString::number(socketPort));
    set("FTPIP", settings.ftpHost);
    set("FTPport", settings.ftpPort);
    set("FTPuser", settings.ftpUser);
    set("FTPpass", settings.ftpPass);
    set("stLogDir", settings.logDir);
    if (auto *c = findChild<QComboBox *>(QStringLiteral("cbxLogHeaderType")))
        c->setCurrentIndex(settings.logHeaderMode);
}

void TfrmGWcfg::showPage(int page)
{
    if (auto *pages = findChild<QTabWidget *>())
        pages->setCurrentIndex(page);
    exec();
}
