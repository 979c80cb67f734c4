#pragma once
// The FTP tool: edits the gateway's configuration files. It logs in to the
// gateway's FTP server, works in the remote folder "/www/htdocs/" with
// ASCII transfers, downloads the chosen file into the program folder and
// shows it in the editor, and saves and uploads the edited text.
#include "tools/ftp/FtpClient.h"
#include <QDialog>

namespace Ui { class TfrmFTPtool; }
struct AppSettings;

class TfrmFTPtool : public QDialog {
    Q_OBJECT
public:
    // The account and the server at start come from the settings.
    explicit TfrmFTPtool(const AppSettings &settings, QWidget *parent = nullptr);
    ~TfrmFTPtool() override;

    FtpClient *ftpClient;

    // The server shown (FTPhostIP, FTPhostPort), which the next connection uses.
    void setServer(const QString &host, const QString &port);

    // The file choice (0..4, 4 "その他") and the file name it selects.
    int fileChoice() const;
    void setFileChoice(int choice);
    QString chosenFileName() const;

signals:
    // "設定": the FTP page of the settings, with this dialog's host and port.
    void settingsRequested(const QString &host, const QString &port);

public slots:
    void FormCreate();
    void BtnFTPconnectClick();
    void BtnFTPdisconnectClick();
    void BtnFTPconfigClick();
    void btnDownloadClick();
    void btnUploadClick();
    void ComboFileNameClick();

    void FtpClientConnect();
    void FtpClientConnectionFailed();
    void FtpClientDisconnect();
    void FtpClientFailure(FtpClient::FailureKind kind, bool *handled);

private:
    // The file name of the choice when it can be used; otherwise reports
    // why not and returns an empty name.
    QString usableFileName();
    // The error of a failed operation, unless a failure handler took it.
    void reportFailure(const FtpClient::Result &result);

    Ui::TfrmFTPtool *ui;
    const AppSettings &m_settings;
};
