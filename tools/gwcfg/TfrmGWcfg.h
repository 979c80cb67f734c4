#pragma once
#include "app/Settings.h"
#include <QDateTime>
#include <QDialog>

namespace Ui { class TfrmGWcfg; }
class QGroupBox;
class QTimer;
struct ReceiveBuffer;

// The gateway settings dialog: Modbus/TCP target, FTP account, log format
// and automatic saving, and the gateway clock. Created once at start-up;
// its one-second timer runs for the whole run, also while it is hidden.
class TfrmGWcfg : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGWcfg(QWidget *parent = nullptr);
    ~TfrmGWcfg() override;

    Ui::TfrmGWcfg *ui;
    QTimer *Timer1;

    // Loads the current settings into the fields (the main window's
    // FillGWcfgFromSettings calls this after placing the dialog). The
    // auto-save controls and the clock page keep what they hold.
    void fillFromSettings(const AppSettings &settings, const QString &socketHost, int socketPort);
    // Selects a page and shows the dialog modally.
    void showPage(int page);

    // The file-name prefix of auto-saved logs: log folder + header.
    QString logFilePrefix() const;

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

public slots:
    void OKbtnClick();
    void btnLogDirBrowseClick();
    void EdLogSaveFNChange();
    void Timer1Timer();
    void btnGetDateClick();
    void btnSetDateClick();

private:
    bool takeOverModbus();
};
