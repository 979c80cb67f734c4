#pragma once
// The read, write and cancel of the five pages of the terminal settings
// dialog, run on the page tables of TermsetRules and the shared engine.
// The dialog class only forwards its handlers here.
#include "termset/TermsetEngine.h"
#include "termset/TermsetRules.h"
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <array>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QWidget;

// The controls of one page, found by the names of its binding.
struct TermsetPageWidgets {
    const termset::PageDef *def = nullptr;
    QLabel *address = nullptr;
    QSpinBox *upDown = nullptr;
    QPushButton *read = nullptr, *write = nullptr, *cancel = nullptr;
    QLabel *status = nullptr;
    QProgressBar *progress = nullptr;
    // Per field of the page (PageDef::fields): its raw value's label and
    // its list (null where it has none).
    QList<QLabel *> raw;
    QList<QComboBox *> lists;
    QList<QRadioButton *> radios;
    QList<QLabel *> currentLabels;

    // The selected radio item, 0 where the page has no radio group.
    int radioItem() const;
    // The selected item of a field's list, -1 for none.
    int selected(int field) const;
    bool requiredComplete() const;
};

class TermsetController {
    Q_DECLARE_TR_FUNCTIONS(TermsetController)

public:
    struct Controls {
        QWidget *dialog;
        QTabWidget *pages;
        QLineEdit *preReadWait, *wrtInt, *waiting, *toBase, *toCntr;
        QAction *typeWrtEn;
        QCheckBox *crc;
    };

    TermsetController(const Controls &controls, TermsetEngine::Link link);

    TermsetEngine &engine() { return m_engine; }
    TermsetPageWidgets &page(int index) { return m_pages[size_t(index)]; }

    // One tick of the dialog's wait timer: counters and their displays.
    void timerTick();
    // The transactions: each returns at its first wait and goes on as its
    // replies and pauses come. One runs at a time.
    QCoro::Task<> read(int page);
    QCoro::Task<> write(int page);
    void cancel(int page);
    // Ends the running transaction where it waits (the dialog is closed):
    // nothing more is sent, the page says "中断しました" and the buttons are
    // back.
    void stop();
    // Word `index` of a tag-5 answer into the raw fields of the page whose
    // transaction is running, or of the active page when none runs.
    void showParameterWord(int index, uint16_t value);
    // The current labels of a page with a radio group.
    void showCurrentLabels(int page);

    // The gateway answered a write of the running transaction with an
    // exception: the terminal did not take its command, so the block it
    // shows is no settings data and the transaction's poll fails instead.
    void writeRefused();

    // The page whose transaction runs, -1 when idle.
    int runningPage() const { return m_running; }

    // Status text of a transaction stopped by an unusable timing value.
    static QString abortedText();

private:
    // A timing edit's tick count; reports an unusable entry and gives none.
    std::optional<int> ticksOf(QLineEdit *edit, const QString &what);
    // The effective address of a page, or none (reported) when the terminal
    // would reach beyond address 63.
    std::optional<int> effectiveAddress(const TermsetPageWidgets &p);
    void clearRawFields(TermsetPageWidgets &p);
    // After a read: each list selects the item its field's raw value names.
    void selectListsFromRaw(TermsetPageWidgets &p);
    void setTransactionButtons(bool enabled);
    void begin(int page);
    void end(const QList<int> &leaveRegs);
    // Sends one command word of the running transaction; false when the
    // connection is gone (nothing was sent).
    bool command(int reg, uint16_t value);
    QCoro::Task<bool> poll(TermsetPageWidgets &p, int b, const QString &failText, const QList<int> &leaveRegs);
    void fail(TermsetPageWidgets &p, const QString &text, const QList<int> &leaveRegs);
    // The transaction was stopped (the dialog closed): the page tells so,
    // and the commands that leave settings mode go out while connected.
    void stopped(TermsetPageWidgets &p, const QList<int> &leaveRegs);
    // What the page shows of a stopped transaction.
    void showStopped(TermsetPageWidgets &p);

    Controls m_c;
    TermsetEngine m_engine;
    std::array<TermsetPageWidgets, termset::PageCount> m_pages;
    int m_running = -1;
    bool m_writeRefused = false;
};
