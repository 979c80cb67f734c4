#pragma once
// The traffic ring as rows of a view: time, direction, bytes, summary.
//
// The rows follow the ring only when sync() is called: the window calls it
// on its refresh tick while it is shown, so a hidden window costs no row
// bookkeeping at all. sync() announces the rows that fell off the front of
// the ring as removed and the new ones as inserted, so that a view keeps
// its selection and scroll position.
#include "diag/TrafficLog.h"
#include <QAbstractTableModel>

class TrafficModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TrafficModel(const TrafficLog &log, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void sync();
    // After the ring was cleared.
    void resetRows();

private:
    const TrafficLog &m_log;
    int m_rows = 0;
    int64_t m_seen = 0;  // log.appended() at the last sync
};
