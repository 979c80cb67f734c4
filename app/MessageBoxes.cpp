#include "app/MessageBoxes.h"
#include <QCoreApplication>
#include <QApplication>
#include <QMessageBox>

namespace msg {
namespace {

Hook g_hook;

QString appCaption()
{
    return QStringLiteral("RM Tool");
}

} // namespace

void setMessageBoxHook(Hook hook)
{
    g_hook = std::move(hook);
}

void warning(QWidget *parent, const QString &text)
{
    if (g_hook) {
        g_hook({Kind::Warning, text, appCaption()});
        return;
    }
    QMessageBox::warning(parent, appCaption(), text, QMessageBox::Ok);
}

void information(QWidget *parent, const QString &text)
{
    if (g_hook) {
        g_hook({Kind::Information, text, appCaption()});
        return;
    }
    QMessageBox::information(parent, appCaption(), text, QMessageBox::Ok);
}

void error(QWidget *parent, const QString &text, const QString &caption)
{
    const QString c = caption.isEmpty() ? QCoreApplication::translate("msg", "エラー") : caption;
    if (g_hook) {
        g_hook({Kind::Error, text, c});
        return;
    }
    QMessageBox::critical(parent, c, text, QMessageBox::Ok);
}

bool askYesNo(QWidget *parent, const QString &text)
{
    if (g_hook)
        return g_hook({Kind::Question, text, appCaption()});
    return QMessageBox::question(parent, appCaption(), text, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

} // namespace msg
