#pragma once
// "電力・電流ターミナル設定": reads and writes the parameter settings of
// power, current and outlet-bar terminals. The pages' transactions run in
// TermsetController; this class wires the controls to it.
#include <QCoro/QCoroTask>
#include <QDialog>
#include <cstdint>
#include <memory>

namespace Ui { class TfrmWattorSet; }
class QMenu;
class QTimer;
class TermsetController;
class GatewayLink;
struct AppSettings;

class TfrmWattorSet : public QDialog {
    Q_OBJECT
public:
    // The page shown follows the setting of the terminal kind.
    TfrmWattorSet(GatewayLink &gateway, AppSettings &settings, QWidget *parent = nullptr);
    ~TfrmWattorSet() override;

    QMenu *PopupMenu1 = nullptr;
    QTimer *WaitTimer1 = nullptr;

    // Remaining ticks of the running pause and of the running poll.
    int WaitCount() const;
    int TimeoutCount() const;
    // A pause of n ticks of WaitTimer1 (false: the transaction was stopped).
    QCoro::Task<bool> WaitTicks(int n);
    // The decoder of tag-5 answers, once per word.
    void ShowParameterWord(int index, uint16_t value);
    TermsetController &controller() { return *m_controller; }
    // Shows the page of a terminal kind (the page index of PageControl1).
    void showPage(int index);

public slots:
    void FormCreate();
    void WaitTimer1Timer();
    void PageControl1Change(int index);
    void TypeWrtEnClick();
    void TimeOutChangeClick();
    void N1Click();
    void N2Click();

    void btnReadWattor7Click();
    void btnWriteWattor7Click();
    void btnReadWattor7CancelClick();
    void RadioGroup1Click();
    void btnReadCurron08Click();
    void btnWriteCurron08Click();
    void btnReadCurron08CancelClick();
    void btnReadWattor14Click();
    void btnWriteWattor14Click();
    void btnReadWattor14CancelClick();
    void btnReadCurron16Click();
    void btnWriteCurron16Click();
    void btnReadCurron16CancelClick();
    void RadioGroup2Click();
    void btnReadPDUClick();
    void btnWritePDUClick();
    void btnReadPDUCancelClick();

protected:
    // Closing the dialog ends the transaction that runs.
    void hideEvent(QHideEvent *event) override;

private:
    void buildPopupMenu();
    void wireControls();

    Ui::TfrmWattorSet *ui;
    AppSettings &m_settings;
    std::unique_ptr<TermsetController> m_controller;
};
