#pragma once
// The write journal window "書込履歴": this run's writes, newest last, as
// the session's journal records them; it follows the newest entry while the
// list is scrolled to its end. Below the list, the file the journal goes to.
#include <QDialog>

namespace Ui { class TfrmJournal; }
class JournalModel;
class WriteJournal;

class TfrmJournal : public QDialog {
    Q_OBJECT
public:
    explicit TfrmJournal(const WriteJournal &journal, QWidget *parent = nullptr);
    ~TfrmJournal() override;

    JournalModel *model() const { return m_model; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    Ui::TfrmJournal *ui;
    const WriteJournal &m_journal;
    JournalModel *m_model;
    bool m_follow = true;
};
