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
    // WINDOW lang: "ja" or "en", the interface language at the next start.
    // Empty while never chosen; the key is then not written.
    QString language;

    static QString defaultLogDir();

    // Reads the file; missing file, section or key give the defaults.
    static AppSettings load(const QString &path);
    // Writes every key, in the order of the file's table.
    bool save(const QString &path, QString *error = nullptr) const;
};

// The settings file: the executable's path with the extension ".ini". Where
// the program's folder cannot be written and no file stands beside the
// program, the user's configuration folder for the program is used.
QString settingsFilePath();
// Tests point the program at a file of their own.
void setSettingsFilePathOverride(const QString &path);
