#include "app/Settings.h"
#include "app/IniFile.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString g_override;

int readInt(const IniFile &ini, const char *section, const char *key, int def)
{
    const QString text = ini.readString(QString::fromLatin1(section), QString::fromLatin1(key),
                                        QString::number(def));
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    return ok ? v : def;
}

QString readText(const IniFile &ini, const char *section, const char *key, const QString &def)
{
    return ini.readString(QString::fromLatin1(section), QString::fromLatin1(key), def);
}

} // namespace

QString AppSettings::defaultLogDir()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\");
#else
    return QDir::homePath() + u'/';
#endif
}

AppSettings AppSettings::load(const QString &path)
{
    IniFile ini(path);
    ini.load();
    AppSettings s;
    s.windowTop = readInt(ini, "WINDOW", "Top", s.windowTop);
    s.windowLeft = readInt(ini, "WINDOW", "Left", s.windowLeft);
    s.language = readText(ini, "WINDOW", "lang", s.language);
    s.modbusHost = readText(ini, "MODBUS", "host", s.modbusHost);
    // The Modbus port is kept as text but used as a number: a text that does
    // not convert keeps the default rather than leaving the socket unusable.
    const QString port = readText(ini, "MODBUS", "port", s.modbusPort);
    bool ok = false;
    const int p = port.toInt(&ok, 10);
    if (ok && p >= 0 && p <= 65535)
        s.modbusPort = port;
    // A timeout below 1 ms would time every request out at once.
    const int timeout = readInt(ini, "MODBUS", "timeout", s.responseTimeoutMs);
    if (timeout >= 1)
        s.responseTimeoutMs = timeout;
    s.modbusReconnect = readInt(ini, "MODBUS", "reconnect", s.modbusReconnect) != 0 ? 1 : 0;
    s.ftpHost = readText(ini, "FTP", "host", s.ftpHost);
    s.ftpPort = readText(ini, "FTP", "port", s.ftpPort);
    s.ftpUser = readText(ini, "FTP", "user", s.ftpUser);
    s.ftpPass = readText(ini, "FTP", "pass", s.ftpPass);
    s.logHeaderMode = readInt(ini, "LOG", "header", s.logHeaderMode);
    s.logValueType = readInt(ini, "LOG", "datatype", s.logValueType);
    s.logScale = readInt(ini, "LOG", "ratio", s.logScale);
    s.logDir = readText(ini, "LOG", "dir", s.logDir);
    s.wordAddress = readInt(ini, "ADDRESS", "w0", s.wordAddress);
    s.bitAddress = readInt(ini, "ADDRESS", "b0", s.bitAddress);
    s.terminalType = readInt(ini, "TERM", "type", s.terminalType);
    s.powerTerminalKind = readInt(ini, "Wattor", "type", s.powerTerminalKind);
    s.wordOrderSwap = readInt(ini, "DATA32", "swap", s.wordOrderSwap);
    return s;
}

bool AppSettings::save(const QString &path, QString *error) const
{
    IniFile ini(path);
    ini.load();
    auto put = [&](const char *section, const char *key, const QString &value) {
        ini.writeString(QString::fromLatin1(section), QString::fromLatin1(key), value);
    };
    put("WINDOW", "Top", QString::number(windowTop));
    put("WINDOW", "Left", QString::number(windowLeft));
    if (!language.isEmpty())
        put("WINDOW", "lang", language);
    put("MODBUS", "host", modbusHost);
    put("MODBUS", "port", modbusPort);
    // The response timeout goes into the file once it differs from the
    // default or the file already has it; a file that never had it stays
    // as the Windows tool writes it.
    const QString noKey = QStringLiteral("\x01");
    if (responseTimeoutMs != kDefaultResponseTimeoutMs
        || ini.readString(QStringLiteral("MODBUS"), QStringLiteral("timeout"), noKey) != noKey)
        put("MODBUS", "timeout", QString::number(responseTimeoutMs));
    // Likewise the reconnect option: only once it is on or the file has it.
    if (modbusReconnect != 0
        || ini.readString(QStringLiteral("MODBUS"), QStringLiteral("reconnect"), noKey) != noKey)
        put("MODBUS", "reconnect", QString::number(modbusReconnect != 0 ? 1 : 0));
    put("FTP", "host", ftpHost);
    put("FTP", "port", ftpPort);
    put("FTP", "user", ftpUser);
    put("FTP", "pass", ftpPass);
    put("LOG", "header", QString::number(logHeaderMode));
    put("LOG", "datatype", QString::number(logValueType));
    put("LOG", "ratio", QString::number(logScale));
    put("LOG", "dir", logDir);
    put("ADDRESS", "w0", QString::number(wordAddress));
    put("ADDRESS", "b0", QString::number(bitAddress));
    put("TERM", "type", QString::number(terminalType));
    put("Wattor", "type", QString::number(powerTerminalKind));
    put("DATA32", "swap", QString::number(wordOrderSwap));
    return ini.save(error);
}

void setSettingsFilePathOverride(const QString &path)
{
    g_override = path;
}

bool isSystemProgramFolder(const QString &dir)
{
    static const QStringList system{
        QStringLiteral("/bin"),       QStringLiteral("/sbin"),           QStringLiteral("/usr/bin"),
        QStringLiteral("/usr/sbin"),  QStringLiteral("/usr/local/bin"),  QStringLiteral("/usr/local/sbin"),
        QStringLiteral("/usr/games"), QStringLiteral("/usr/local/games"),
    };
    return system.contains(QDir::cleanPath(dir));
}

FileHome fileHomeFor(const QString &programDir, bool fileBesideExists, bool programDirWritable)
{
    if (isSystemProgramFolder(programDir))
        return FileHome::ConfigFolder;
    return fileBesideExists || programDirWritable ? FileHome::ProgramFolder : FileHome::ConfigFolder;
}

QString userConfigFolder()
{
#ifdef Q_OS_WIN
    // %APPDATA%\RMTool, where Windows programs keep what follows the user
    // (Qt's configuration location would be the local, non-roaming one).
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
#else
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
#endif
    QDir().mkpath(dir);
    return dir;
}

QString settingsFilePath()
{
    if (!g_override.isEmpty())
        return g_override;
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    const QString name = exe.completeBaseName() + QStringLiteral(".ini");
    const QString beside = exe.absolutePath() + u'/' + name;
    if (fileHomeFor(exe.absolutePath(), QFileInfo::exists(beside), QFileInfo(exe.absolutePath()).isWritable())
        == FileHome::ProgramFolder)
        return beside;
    return userConfigFolder() + u'/' + name;
}
