#pragma once
// The installation window "設置構成": the terminals of the session's
// installation (address, type, name) and the chosen terminal's channels
// (tag, expected range), both editable; opens and saves installation files.
//
// Every edit goes to the session at once (MonitorSession::setSite), so the
// monitor's labels follow the tags while the user types; saving writes the
// session's installation whole or not at all. Choosing a terminal asks for
// it to be shown on the monitor (terminalChosen). A file's gateway is only
// shown: the connection stays as the settings have it.
//
// Channels are added by typing into the empty last row of gridChannels (a
// row with only a tag or a bound gets the first free box position); a row
// whose tag and bounds are all emptied goes.
#include "monitor/SiteFile.h"
#include <QDialog>
#include <QStringList>

namespace Ui { class TfrmSite; }
class MonitorSession;
class QTableWidgetItem;

class TfrmSite : public QDialog {
    Q_OBJECT
public:
    // typeNames: the monitor's terminal types (items of cbTerminalType).
    TfrmSite(MonitorSession &session, const QStringList &typeNames, QWidget *parent = nullptr);
    ~TfrmSite() override;

    // Reads path into the session; a refused file is shown in a message box
    // and changes nothing. True when it was read.
    bool openFile(const QString &path);
    // Writes the installation to path and makes it the installation's file;
    // a failure (or a site the file would refuse) is shown in a message box
    // and leaves an existing file as it was. True when written.
    bool saveFile(const QString &path);

signals:
    // A terminal was chosen (or its address or type edited while chosen).
    void terminalChosen(int address, int type);

public slots:
    void btnSiteOpenClick();
    void btnSiteSaveClick();
    void btnSiteAddClick();
    void btnSiteRemoveClick();

private:
    void onSiteChanged();
    void showSite();
    void showTerminals();
    void showChannels();
    void showChannelsLater();
    void showTitle();
    void terminalEdited(QTableWidgetItem *item);
    void channelEdited(QTableWidgetItem *item);
    void chooseRow(int row);
    void commit();
    site::Terminal *chosenTerminal();
    QString fileDialog(bool save);

    Ui::TfrmSite *ui;
    MonitorSession &m_session;
    QStringList m_typeNames;
    site::Site m_site;  // what the tables show: the session's, or an empty one
};
