#include "support/AppFixture.h"
#include "support/TestApp.h"
#include "app/Settings.h"
#include "app/TfrmConnect.h"
#include "app/TfrmMain.h"
#include <QGuiApplication>
#include <QTest>

AppFixture::AppFixture(bool withGateway, const SimOptions &options, const StartOptions &start)
{
    // Closing the main window in one test must not end the loops of the next.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    m_settingsPath = m_dir.filePath(QStringLiteral("RMTool.ini"));
    setSettingsFilePathOverride(m_settingsPath);
    msg::setMessageBoxHook([this](const msg::Shown &m) {
        messages << m;
        return answerYes;
    });
    if (withGateway) {
#ifdef RM_REMOTE_SIM
        m_gateway = std::make_unique<RemoteGateway>(options);
#else
        m_gateway = std::make_unique<SimGateway>();
        QString error;
        if (!installBehaviours(*m_gateway, options.siteFile, &error, nullptr))
            qFatal("simulator installation refused: %s", qPrintable(error));
        if (!m_gateway->start(0, options))
            qFatal("simulator did not start");
#endif
    }
    createTestApp(start);
}

AppFixture::~AppFixture()
{
    destroyTestApp();
    msg::setMessageBoxHook({});
    setSettingsFilePathOverride(QString());
}

void AppFixture::exceptionAt(int address)
{
#ifdef RM_REMOTE_SIM
    m_gateway->setOption(QStringLiteral("exception-at"), address);
#else
    m_gateway->options().exceptionAddress = address;
#endif
}

bool AppFixture::connectGateway(int timeoutMs)
{
    return m_gateway && connectTo(m_gateway->port(), timeoutMs);
}

bool AppFixture::connectTo(quint16 port, int timeoutMs)
{
    appSession->settings().modbusHost = QStringLiteral("127.0.0.1");
    appSession->settings().modbusPort = QString::number(port);
    appSession->link().setHost(QStringLiteral("127.0.0.1"));
    appSession->link().setPort(port);
    frmConnect->btnCONNClick();
    return QTest::qWaitFor([] { return appSession->isConnected(); }, timeoutMs);
}

QStringList AppFixture::messageTexts() const
{
    QStringList t;
    for (const auto &m : messages)
        t << m.text;
    return t;
}
