#pragma once
#include "app/Settings.h"
#include <QDialog>

namespace Ui { class TfrmGWcfg; }

// The gateway settings dialog: Modbus/TCP target, FTP account, log format
// and automatic saving, and the gateway clock.
class TfrmGWcfg : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGWcfg(QWidget *parent = nullptr);
    ~TfrmGWcfg() override;

    Ui::TfrmGWcfg *ui;

    // Loads the current settings into the fields (the main window's
    // FillGWcfgFromSettings calls this after placing the dialog).
    void fillFromSettings(const AppSettings &settings, const QString &socketHost, int socketPort);
    // Selects a page and shows the dialog modally.
    void showPage(int page);
};
