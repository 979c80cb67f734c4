#pragma once
// The settings that live in the settings file and in memory while the tool
// runs. Loading converts numbers strictly: a value that is not a decimal
// integer keeps its default.
#include <QString>

// The factory default address of the gateway and its default FTP account.
// Both are only defaults for the settings file; the tool never connects
// anywhere before the user presses connect.
inline constexpr const char *kFactoryGatewayAddress = "192.168.1.200";
inline constexpr const char *kFactoryFtpUser = "relaymo";

struct AppSettings {
    int windowTop = 50;
    int windowLeft = 100;
    QString modbusHost = QString::fromLatin1(kFactoryGatewayAddress);
    QString modbusPort = QStringLiteral("502");
    static constexpr int kDefaultResponseTimeoutMs = 1000;
    int responseTimeoutMs = kDefaultResponseTimeoutMs;  // MODBUS timeout, ms an answer may take
    int modbusReconnect = 0;  // MODBUS reconnect: 1 reconnects a connection that dropped
    QString ftpHost = QString::fromLatin1(kFactoryGatewayAddress);
    QString ftpPort = QStringLiteral("21");
    QString ftpUser = QString::fromLatin1(kFactoryFtpUser);
    QString ftpPass = QStringLiteral("qzvx");
    int logHeaderMode = 0;   // LogHeaderMode: 0 none, 1 count, 2 elapsed, 3 stamp + count
    int logValueType = 0;    // LogValueType: 0 unsigned, 1 signed
    int logScale = 0;        // LogScale: 0 means 1, 1 means 0.1
    QString logDir = defaultLogDir();
    int wordAddress = 0;     // ADDRESS w0
    int bitAddress = 0;      // ADDRESS b0
    int terminalType = 0;    // TERM type
    int powerTerminalKind = 0;  // Wattor type
    int wordOrderSwap = 0;   // DATA32 swap

    static QString defaultLogDir();

    // Reads the file; missing file, section or key give the defaults.
    static AppSettings load(const QString &path);
    // Writes every key, in the order of the file's table.
    bool save(const QString &path, QString *error = nullptr) const;
};

// Where the program keeps its settings file and the files it fetches: in its
// own folder, or in the user's configuration folder for the program.
enum class FileHome { ProgramFolder, ConfigFolder };
// An installed program (its folder is a system one, /usr/bin, /usr/local/bin
// and the like) always uses the configuration folder. Elsewhere (a build
// folder, a copy on a stick) a file beside the program wins, where there is
// one, then the program's folder where it can be written.
FileHome fileHomeFor(const QString &programDir, bool fileBesideExists, bool programDirWritable);
bool isSystemProgramFolder(const QString &dir);
// The user's configuration folder for the program, created when missing.
QString userConfigFolder();

// The settings file: the executable's path with the extension ".ini", or
// the file of that name in the user's configuration folder (fileHomeFor).
QString settingsFilePath();
// Tests point the program at a file of their own.
void setSettingsFilePathOverride(const QString &path);
