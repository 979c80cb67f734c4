#pragma once
// The write journal as rows of a view: time, window, function, reference
// number, value, outcome; the newest last.
//
// The rows follow the journal entry by entry: a new entry is one inserted
// row, the oldest one leaving the journal one removed row, so a view keeps
// its selection and scroll position and never measures every row again.
#include "monitor/WriteJournal.h"
#include <QAbstractTableModel>

enum class JournalColumn { Time, Window, Function, Reference, Value, Outcome, Count };

class JournalModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit JournalModel(const WriteJournal &journal, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Brings the rows up to the journal (called on every entry it records).
    void sync();

private:
    const WriteJournal &m_journal;
    int m_rows = 0;
    int64_t m_seen = 0;  // journal.recorded() at the last sync
};
