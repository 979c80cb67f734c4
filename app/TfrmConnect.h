#pragma once
#include <QDialog>

namespace Ui { class TfrmConnect; }
struct AppSettings;
class ModbusLink;

// The connection dialog: the Modbus/TCP target, the connection state as a
// text (the session knows the state; this only shows it) and the byte count
// of the last read.
class TfrmConnect : public QDialog {
    Q_OBJECT
public:
    // The target shown at start comes from the settings; 接続 and 切断 open
    // and close the link.
    TfrmConnect(ModbusLink &link, const AppSettings &settings, QWidget *parent = nullptr);
    ~TfrmConnect() override;

    QString statusText() const;
    void setStatusText(const QString &text);
    // Where the next open goes (HostAddress, HostPort).
    void setTarget(const QString &host, const QString &port);
    // The byte count of the last read from the gateway (StaticText2).
    void showBytesReceived(int count);
    // The connection opened: the dialog closes if it is open.
    void connectionOpened();

signals:
    // 接続 pressed, before the link opens: the main window's status bar and
    // the log's rows are cleared.
    void connectPressed();
    // 切断 pressed, before the link closes.
    void disconnectPressed();
    // "設定": the Modbus page of the settings dialog.
    void settingsRequested();

public slots:
    void FormCreate();
    void btnCONNClick();
    void btnDISCONNClick();
    void btnHOSTClick();
    void BitBtn1Click();

private:
    Ui::TfrmConnect *ui;
    ModbusLink &m_link;
    const AppSettings &m_settings;
};
