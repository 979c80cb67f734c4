#include "diag/TrafficModel.h"
#include <QBrush>
#include <QColor>
#include <QFontDatabase>

TrafficModel::TrafficModel(const TrafficLog &log, QObject *parent)
    : QAbstractTableModel(parent), m_log(log)
{
}

int TrafficModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TrafficModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kTrafficColumns;
}

namespace {

// Row colours: exceptions orange, timeouts red, lost framing violet; late
// and unsolicited answers brown text; what was sent in plain black and
// what came back dark blue.
QVariant background(const TrafficEntry &e)
{
    if (e.kind == TrafficEntry::Timeout)
        return QBrush(QColor(255, 205, 205));
    if (e.kind == TrafficEntry::LostFraming)
        return QBrush(QColor(228, 208, 255));
    if (e.isException())
        return QBrush(QColor(255, 228, 186));
    return {};
}

QVariant foreground(const TrafficEntry &e)
{
    if (e.kind == TrafficEntry::Timeout)
        return QBrush(QColor(160, 0, 0));
    if (e.kind == TrafficEntry::LostFraming)
        return QBrush(QColor(90, 0, 140));
    if (e.isException())
        return QBrush(QColor(150, 60, 0));
    if (e.note != TrafficEntry::Plain)
        return QBrush(QColor(140, 90, 0));
    if (e.kind == TrafficEntry::Received)
        return QBrush(QColor(0, 50, 140));
    return {};
}

} // namespace

QVariant TrafficModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.row() >= m_log.size())
        return {};
    const TrafficEntry &e = m_log.at(index.row());
    const auto column = TrafficColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return trafficText(e, column);
    case Qt::ToolTipRole:
        return column == TrafficColumn::Bytes || column == TrafficColumn::Summary ? trafficText(e, column)
                                                                                  : QVariant();
    case Qt::BackgroundRole:
        return background(e);
    case Qt::ForegroundRole:
        return foreground(e);
    case Qt::FontRole:
        if (column == TrafficColumn::Bytes || column == TrafficColumn::Time)
            return QFontDatabase::systemFont(QFontDatabase::FixedFont);
        return {};
    default:
        return {};
    }
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kTrafficColumns)
        return {};
    return trafficColumnCaption(TrafficColumn(section));
}

void TrafficModel::sync()
{
    const int64_t fresh = m_log.appended() - m_seen;
    if (fresh == 0)
        return;
    if (fresh < 0 || fresh >= m_log.capacity()) {
        resetRows();
        return;
    }
    // The ring dropped from its front what no longer fits beside the new.
    const int dropped = int(m_rows + fresh - m_log.size());
    if (dropped > 0) {
        beginRemoveRows({}, 0, dropped - 1);
        m_rows -= dropped;
        endRemoveRows();
    }
    beginInsertRows({}, m_rows, m_log.size() - 1);
    m_rows = m_log.size();
    m_seen = m_log.appended();
    endInsertRows();
}

void TrafficModel::resetRows()
{
    beginResetModel();
    m_rows = m_log.size();
    m_seen = m_log.appended();
    endResetModel();
}
