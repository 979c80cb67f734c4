#pragma once
// Test support: the whole program (all its windows) with a settings file of
// its own in a temporary folder, message boxes answered without a person,
// and an in-process gateway simulator on 127.0.0.1.
#include "app/CommandLine.h"
#include "app/MessageBoxes.h"
#include "sim/SimGateway.h"
#include <QList>
#include <QTemporaryDir>
#include <memory>

class AppFixture {
public:
    // Creates all windows. With withGateway, also starts an in-process
    // simulator on a free loopback port, with the default installation or
    // the installation file of options.siteFile.
    // The program starts with the given start options (the conversion
    // table of the command line).
    explicit AppFixture(bool withGateway = true, const SimOptions &options = {},
                        const StartOptions &start = {});
    ~AppFixture();

    // Points the link at the simulator (or the given port) and opens it;
    // true once the connection dialog says "接続しました".
    bool connectGateway(int timeoutMs = 5000);
    bool connectTo(quint16 port, int timeoutMs = 5000);

    SimGateway *gateway() { return m_gateway.get(); }
    QString settingsPath() const { return m_settingsPath; }
    QString dir() const { return m_dir.path(); }

    // Boxes shown so far; the answer given to questions.
    QList<msg::Shown> messages;
    bool answerYes = true;
    QStringList messageTexts() const;

private:
    QTemporaryDir m_dir;
    QString m_settingsPath;
    std::unique_ptr<SimGateway> m_gateway;
};
