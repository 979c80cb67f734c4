#pragma once
// Test support: the whole program (all its windows) with a settings file of
// its own in a temporary folder, message boxes answered without a person,
// and a gateway simulator on 127.0.0.1: in this process, or (built with
// RM_REMOTE_SIM, as the Windows tests are) a gateway of its own in the
// relaymo-sim --control that RMTOOL_SIM_CONTROL names.
#include "app/CommandLine.h"
#include "app/MessageBoxes.h"
#ifdef RM_REMOTE_SIM
#include "support/RemoteGateway.h"
using TestGateway = RemoteGateway;
#else
#include "sim/SimGateway.h"
using TestGateway = SimGateway;
#endif
#include <QList>
#include <QTemporaryDir>
#include <memory>

class AppFixture {
public:
    // Creates all windows. With withGateway, also starts a simulator on a
    // free loopback port, with the default installation or
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

    TestGateway *gateway() { return m_gateway.get(); }
    // Reads covering this protocol address get exception 2 from now on.
    void exceptionAt(int address);
    QString settingsPath() const { return m_settingsPath; }
    QString dir() const { return m_dir.path(); }

    // Boxes shown so far; the answer given to questions.
    QList<msg::Shown> messages;
    bool answerYes = true;
    QStringList messageTexts() const;

private:
    QTemporaryDir m_dir;
    QString m_settingsPath;
    std::unique_ptr<TestGateway> m_gateway;
};
