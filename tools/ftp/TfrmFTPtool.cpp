#include "tools/ftp/TfrmFTPtool.h"
#include "app/MessageBoxes.h"
#include "app/Settings.h"
#include "monitor/TextNumbers.h"
#include "tools/ftp/FtpFiles.h"
#include "ui_TfrmFTPtool.h"
#include <QFontDatabase>
#include <QLineEdit>

namespace {
// The remote folder of the gateway's configuration files.
const QString kRemoteDir = QStringLiteral("/www/htdocs/");
}

TfrmFTPtool::TfrmFTPtool(const AppSettings &settings, QWidget *parent)
    : QDialog(parent), ftpClient(new FtpClient(this)), ui(new Ui::TfrmFTPtool), m_settings(settings)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    ui->Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    connect(ui->BtnFTPconnect, &QPushButton::clicked, this, &TfrmFTPtool::BtnFTPconnectClick);
    connect(ui->BtnFTPdisconnect, &QPushButton::clicked, this, &TfrmFTPtool::BtnFTPdisconnectClick);
    connect(ui->BtnFTPconfig, &QPushButton::clicked, this, &TfrmFTPtool::BtnFTPconfigClick);
    connect(ui->btnDownload, &QPushButton::clicked, this, &TfrmFTPtool::btnDownloadClick);
    connect(ui->btnUpload, &QPushButton::clicked, this, &TfrmFTPtool::btnUploadClick);
    connect(ui->ComboFileName, &QComboBox::activated, this, &TfrmFTPtool::ComboFileNameClick);

    connect(ftpClient, &FtpClient::connected, this, &TfrmFTPtool::FtpClientConnect);
    connect(ftpClient, &FtpClient::connectionFailed, this, &TfrmFTPtool::FtpClientConnectionFailed);
    connect(ftpClient, &FtpClient::disconnected, this, &TfrmFTPtool::FtpClientDisconnect);
    connect(ftpClient, &FtpClient::failure, this, &TfrmFTPtool::FtpClientFailure);

    FormCreate();
}

TfrmFTPtool::~TfrmFTPtool()
{
    delete ui;
}

void TfrmFTPtool::FormCreate()
{
    setServer(m_settings.ftpHost, m_settings.ftpPort);
    ui->ComboFileName->setCurrentIndex(-1);
    ui->ComboFileName->setEditText(QString());
}

void TfrmFTPtool::setServer(const QString &host, const QString &port)
{
    ui->FTPhostIP->setText(host);
    ui->FTPhostPort->setText(port);
}

int TfrmFTPtool::fileChoice() const
{
    const QRadioButton *buttons[] = {ui->rbFile0, ui->rbFile1, ui->rbFile2, ui->rbFile3, ui->rbFile4};
    for (int i = 0; i < ftpfiles::kChoiceCount; ++i)
        if (buttons[i]->isChecked())
            return i;
    return -1;
}

void TfrmFTPtool::setFileChoice(int choice)
{
    QRadioButton *buttons[] = {ui->rbFile0, ui->rbFile1, ui->rbFile2, ui->rbFile3, ui->rbFile4};
    if (choice >= 0 && choice < ftpfiles::kChoiceCount)
        buttons[choice]->setChecked(true);
}

QString TfrmFTPtool::chosenFileName() const
{
    return ftpfiles::fileNameForChoice(fileChoice(), ui->ComboFileName->currentText());
}

QString TfrmFTPtool::usableFileName()
{
    const QString name = chosenFileName();
    const QString problem = ftpfiles::fileNameProblem(name);
    if (!problem.isEmpty()) {
        msg::warning(this, problem);
        return {};
    }
    return name;
}

void TfrmFTPtool::reportFailure(const FtpClient::Result &result)
{
    if (!result.handled)
        msg::error(this, result.message);
}

// ---- commands ---------------------------------------------------------------

void TfrmFTPtool::BtnFTPconnectClick()
{
    const QString portText = ui->FTPhostPort->text();
    const std::optional<int> port = ParseInt(portText);
    if (!port) {
        msg::error(this, IntConversionError(portText));
        return;
    }
    ftpClient->setHost(ui->FTPhostIP->text());
    ftpClient->setPort(*port);
    ftpClient->setUserName(m_settings.ftpUser);
    ftpClient->setPassword(m_settings.ftpPass);
    if (ftpClient->isConnected())
        ftpClient->disconnectFromServer();
    ftpClient->connectToServer();
}

void TfrmFTPtool::BtnFTPdisconnectClick()
{
    ftpClient->disconnectFromServer();
}

void TfrmFTPtool::BtnFTPconfigClick()
{
    // The FTP page of the settings shows the host and port of this dialog.
    emit settingsRequested(ui->FTPhostIP->text(), ui->FTPhostPort->text());
}

void TfrmFTPtool::btnDownloadClick()
{
    const QString name = usableFileName();
    if (name.isEmpty())
        return;
    const QString local = ftpfiles::localFilePath(name);
    ftpClient->download(name, local, [this, local](const FtpClient::Result &r) {
        if (!r.ok) {
            reportFailure(r);
            return;
        }
        QString text, error;
        if (!ftpfiles::readTextFile(local, &text, &error)) {
            msg::error(this, error);
            return;
        }
        ui->Memo1->setPlainText(text);
    });
}

void TfrmFTPtool::btnUploadClick()
{
    const QString name = usableFileName();
    if (name.isEmpty())
        return;
    const QString local = ftpfiles::localFilePath(name);
    QString error;
    if (!ftpfiles::writeTextFile(local, ui->Memo1->toPlainText(), &error)) {
        msg::error(this, error);
        return;
    }
    ftpClient->upload(local, name, [this](const FtpClient::Result &r) {
        if (!r.ok)
            reportFailure(r);
    });
}

void TfrmFTPtool::ComboFileNameClick()
{
    setFileChoice(ftpfiles::kOtherChoice);
}

// ---- notifications of the client --------------------------------------------------

void TfrmFTPtool::FtpClientConnect()
{
    ui->FTPStatus->setText(tr("接続：") + ftpClient->userName());
    ftpClient->changeDir(kRemoteDir, [this](const FtpClient::Result &r) {
        if (!r.ok) {
            reportFailure(r);
            return;
        }
        ftpClient->setTransferType(FtpClient::TransferType::Ascii, [this](const FtpClient::Result &r) {
            if (!r.ok)
                reportFailure(r);
        });
    });
}

void TfrmFTPtool::FtpClientConnectionFailed()
{
    ui->FTPStatus->setText(tr("接続失敗"));
}

void TfrmFTPtool::FtpClientDisconnect()
{
    ui->FTPStatus->setText(tr("切断されました"));
}

void TfrmFTPtool::FtpClientFailure(FtpClient::FailureKind kind, bool *handled)
{
    Q_UNUSED(handled);  // left unset: the operation's error is reported as well
    ui->FTPStatus->setText(FtpClient::failureText(kind));
}
