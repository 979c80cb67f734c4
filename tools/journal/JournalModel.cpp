#include "tools/journal/JournalModel.h"
#include <QCoreApplication>

JournalModel::JournalModel(const WriteJournal &journal, QObject *parent)
    : QAbstractTableModel(parent), m_journal(journal), m_rows(journal.size()), m_seen(journal.recorded())
{
    connect(&journal, &WriteJournal::entryRecorded, this, &JournalModel::sync);
}

int JournalModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int JournalModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(JournalColumn::Count);
}

QVariant JournalModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return {};
    // The model's rows are the entries it has announced: row r is the
    // (m_seen - m_rows + r)th entry ever recorded. The journal may already
    // hold newer entries and have dropped older ones while the model is
    // still announcing the change, so rows are found by that number, not by
    // their place in the journal.
    const int64_t first = m_journal.recorded() - m_journal.size();
    const int64_t at = m_seen - m_rows + index.row() - first;
    if (at < 0 || at >= m_journal.size())
        return {};
    const journal::Entry &e = m_journal.entries()[size_t(at)];
    const auto column = JournalColumn(index.column());
    if (role == Qt::DisplayRole) {
        switch (column) {
        case JournalColumn::Time: return journal::timeText(e.time);
        case JournalColumn::Window: return e.write.source;
        case JournalColumn::Function: return QString::number(e.write.function);
        case JournalColumn::Reference: return QString::number(journal::referenceNumber(e.write));
        case JournalColumn::Value: return journal::valueText(e.write);
        case JournalColumn::Outcome: return journal::outcomeText(e);
        case JournalColumn::Count: break;
        }
    } else if (role == Qt::TextAlignmentRole) {
        const bool number = column == JournalColumn::Function || column == JournalColumn::Reference
                            || column == JournalColumn::Value;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    } else if (role == Qt::ToolTipRole && column == JournalColumn::Window) {
        return e.write.source;
    } else if (role == Qt::ToolTipRole && column == JournalColumn::Value && e.write.function != 5) {
        // Command words read better in hexadecimal.
        const int digits = e.write.function == 16 ? 8 : 4;
        return QStringLiteral("0x") + QString::number(e.write.value, 16).toUpper().rightJustified(digits, u'0');
    }
    return {};
}

QVariant JournalModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (JournalColumn(section)) {
    case JournalColumn::Time: return QCoreApplication::translate("JournalModel", "時刻");
    case JournalColumn::Window: return QCoreApplication::translate("JournalModel", "画面");
    case JournalColumn::Function: return QCoreApplication::translate("JournalModel", "機能");
    case JournalColumn::Reference: return QCoreApplication::translate("JournalModel", "番号");
    case JournalColumn::Value: return QCoreApplication::translate("JournalModel", "書込値");
    case JournalColumn::Outcome: return QCoreApplication::translate("JournalModel", "結果");
    case JournalColumn::Count: break;
    }
    return {};
}

void JournalModel::sync()
{
    const int64_t fresh = m_journal.recorded() - m_seen;
    if (fresh <= 0)
        return;
    if (fresh >= m_journal.capacity()) {
        beginResetModel();
        m_rows = m_journal.size();
        m_seen = m_journal.recorded();
        endResetModel();
        return;
    }
    // The journal dropped from its front what no longer fits beside the new.
    const int dropped = int(m_rows + fresh - m_journal.size());
    if (dropped > 0) {
        beginRemoveRows({}, 0, dropped - 1);
        m_rows -= dropped;
        endRemoveRows();
    }
    beginInsertRows({}, m_rows, m_journal.size() - 1);
    m_rows = m_journal.size();
    m_seen = m_journal.recorded();
    endInsertRows();
}
