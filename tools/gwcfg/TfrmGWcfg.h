#pragma once
#include "app/Settings.h"
#include "tools/gwcfg/AutoSaveFields.h"
#include <QDateTime>
#include <QDialog>
#include <optional>

namespace Ui { class TfrmGWcfg; }
class QGroupBox;
class QLineEdit;
class QTimer;
struct ReceiveBuffer;
class GatewayLink;

// The gateway settings dialog: Modbus/TCP target, FTP account, log format
// and automatic saving, and the gateway clock. Created once at start-up;
// its one-second timer runs for the whole run, also while it is hidden.
class TfrmGWcfg : public QDialog {
    Q_OBJECT
public:
    // OK takes the fields over into the settings and the link.
    TfrmGWcfg(GatewayLink &link, AppSettings &settings, QWidget *parent = nullptr);
    ~TfrmGWcfg() override;

    QTimer *Timer1;

    // Loads the current settings into the fields (the main window's
    // FillGWcfgFromSettings calls this after placing the dialog). The
    // auto-save controls and the clock page keep what they hold.
    void fillFromSettings(const AppSettings &settings, const QString &socketHost, int socketPort);
    // The FTP server fields (FTPIP, FTPport).
    void setFtpServer(const QString &host, const QString &port);
    // Selects a page and shows the dialog modally.
    void showPage(int page);

    // The file-name prefix of auto-saved logs: log folder + header.
    QString logFilePrefix() const;
    // The automatic-saving fields as they are typed now.
    AutoSaveFields autoSaveFields() const;

    // Item index of a radio group (its radio buttons in creation order),
    // -1 when none is checked; setting an index out of range clears it.
    static int radioIndex(const QGroupBox *group);
    static void setRadioIndex(QGroupBox *group, int index);

    // Shows a clock answer (request tag 4) in stGWDate.
    void ShowGatewayClock(const ReceiveBuffer &rb);
    // Fills the PC clock fields from the given time (Timer1Timer uses now).
    void showPcClock(const QDateTime &now);

    // The folder chooser: true with *folder set when the user chose one.
    // Shown at (left, top), kept on the screen; centred when either is 0.
    static bool BrowseForFolder(QWidget *parent, const QString &title, const QString &initial,
                                QString *folder, int left, int top);

signals:
    // OK took over a new Modbus/TCP target (host and the port as typed).
    void modbusTargetChanged(const QString &host, const QString &port);
    // OK took over the FTP server.
    void ftpServerChanged(const QString &host, const QString &port);
    // A line for the main window's status bar.
    void statusMessage(const QString &text);
    // One of the automatic-saving fields changed (they count as typed,
    // without OK).
    void autoSaveFieldsChanged(const AutoSaveFields &fields);

public slots:
    void OKbtnClick();
    void btnLogDirBrowseClick();
    void EdLogSaveFNChange();
    void Timer1Timer();
    void btnGetDateClick();
    void btnSetDateClick();

private:
    // Reads the gateway clock; its answer is shown by ShowGatewayClock.
    void readGatewayClock();
    bool takeOverModbus();
    // The integer of an edit (spaces around it allowed); reported when it
    // does not convert.
    std::optional<int> numberOf(const QLineEdit *edit);
    // True when connected; otherwise says "リレイモに接続されていません".
    bool connectionCheck();

    Ui::TfrmGWcfg *ui;
    GatewayLink &m_link;
    AppSettings &m_settings;
};
