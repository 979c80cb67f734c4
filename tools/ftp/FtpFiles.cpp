#include "tools/ftp/FtpFiles.h"
#include "app/Settings.h"
#include "monitor/WholeFile.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

namespace ftpfiles {
namespace {

QString g_folderOverride;

QString withSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

QString fileNameForChoice(int choice, const QString &otherName)
{
    switch (choice) {
    case 0: return QStringLiteral("mstcfg.cfg");
    case 1: return QStringLiteral("trenddata.cfg");
    case 2: return QStringLiteral("linear.cfg");
    case 3: return QStringLiteral("trans.cfg");
    default: return otherName;
    }
}

QStringList otherFileNames()
{
    return {
        QStringLiteral("ethcfg.cfg"), QStringLiteral("ethcfg2.cfg"), QStringLiteral("mpxcfg.cfg"),
        QStringLiteral("ntp.cfg"), QStringLiteral("ftpcl.cfg"), QStringLiteral("internet.cfg"),
        QStringLiteral("ip_accs.cfg"), QStringLiteral("onoffln.cfg"), QStringLiteral("rsdrv.cfg"),
        QStringLiteral("rstc.cfg"), QStringLiteral("rswm.cfg"), QStringLiteral("fam3.cfg"),
        QStringLiteral("telwel.cfg"), QStringLiteral("ssi.cfg"), QStringLiteral("ssi_str.cfg"),
        QStringLiteral("trap.cfg"), QStringLiteral("syslog-ng.cfg"), QStringLiteral("alm.csv"),
        QStringLiteral("para.csv"),
    };
}

QString fileNameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QCoreApplication::translate("ftpfiles", "ファイル名が指定されていません。");
    const QString refused = QCoreApplication::translate("ftpfiles", "ファイル名「%1」は使えません。\n").arg(name);
    if (name.contains(u'/') || name.contains(u'\\'))
        return refused + QCoreApplication::translate("ftpfiles", "フォルダ区切り（/ や \\）を含まないファイル名だけを指定してください。");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return refused + QCoreApplication::translate("ftpfiles", "「.」や「..」はファイル名として使えません。");
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return refused + QCoreApplication::translate("ftpfiles", "制御文字を含むファイル名は使えません。");
        if (QStringLiteral(":*?\"<>|").contains(c))
            return refused + QCoreApplication::translate("ftpfiles", "次の文字はファイル名に使えません: : * ? \" < > |");
    }
    if (name != name.trimmed())
        return refused + QCoreApplication::translate("ftpfiles", "ファイル名の前後に空白は付けられません。");
    return {};
}

void setLocalFolderOverride(const QString &folder)
{
    g_folderOverride = folder;
}

QString localFolder()
{
    if (!g_folderOverride.isEmpty())
        return withSlash(g_folderOverride);
    const QString programDir = QCoreApplication::applicationDirPath();
    if (fileHomeFor(programDir, false, QFileInfo(programDir).isWritable()) == FileHome::ProgramFolder)
        return withSlash(programDir);
    return withSlash(userConfigFolder());
}

QString localFilePath(const QString &name)
{
    return localFolder() + name;
}

bool readTextFile(const QString &path, QString *text, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QCoreApplication::translate("ftpfiles", "ファイル %1 を読み込めません。\n%2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    QStringDecoder decode(QStringConverter::System);
    QString t = decode(file.readAll());
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(u'\r', u'\n');
    *text = t;
    return true;
}

bool writeTextFile(const QString &path, const QString &text, QString *error)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    QStringEncoder encode(QStringConverter::System);
    QString why;
    if (WriteWholeFile(path, encode(t), &why))
        return true;
    if (error)
        *error = QCoreApplication::translate("ftpfiles", "ファイル %1 に書き込めません。\n%2").arg(QDir::toNativeSeparators(path), why);
    return false;
}

} // namespace ftpfiles
