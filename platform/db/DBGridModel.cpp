#include "DBGridModel.h"

#include <algorithm>

namespace plat {

TDBGridModel::TDBGridModel(TClientDataSet* dataSet, QObject* parent) : QAbstractTableModel(parent)
{
    if (dataSet) {
        dataSet->AddDataLink(this);
        m_rows = dataSet->RecordCount();
        m_columns = dataSet->Active() ? dataSet->FieldCount() : 0;
    }
}

TDBGridModel::~TDBGridModel() = default;

void TDBGridModel::SetColumnTitles(const QStringList& titles)
{
    m_titles = titles;
    if (m_columns > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_columns - 1);
}

int TDBGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int TDBGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_columns; }

QVariant TDBGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !dataSet())
        return {};
    if (role == Qt::DisplayRole)
        return dataSet()->RecordText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() < dataSet()->FieldCount()) {
        const TFieldType t = dataSet()->Fields(index.column()).DataType();
        if (t == ftAutoInc || t == ftInteger || t == ftSmallint || t == ftWord || t == ftLargeint || t == ftFloat)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical) // the row indicator marks the current record
        return dataSet() && section == dataSet()->RecNo() - 1 ? QStringLiteral("\u25B8") : QString();
    if (section < m_titles.size() && !m_titles[section].isEmpty())
        return m_titles[section];
    if (dataSet() && dataSet()->Active() && section < dataSet()->FieldCount())
        return dataSet()->Fields(section).FieldName();
    return {};
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

void TDBGridModel::DataSetChanged()
{
    beginResetModel();
    m_rows = dataSet() ? dataSet()->RecordCount() : 0;
    m_columns = dataSet() && dataSet()->Active() ? dataSet()->FieldCount() : 0;
    endResetModel();
}

void TDBGridModel::RecordInserted(int row)
{
    row = std::clamp(row, 0, m_rows);
    beginInsertRows({}, row, row);
    ++m_rows;
    endInsertRows();
}

void TDBGridModel::RecordRemoved(int row)
{
    if (row < 0 || row >= m_rows)
        return DataSetChanged();
    beginRemoveRows({}, row, row);
    --m_rows;
    endRemoveRows();
}

void TDBGridModel::DataSetScrolled()
{
    if (m_rows > 0)
        emit headerDataChanged(Qt::Vertical, 0, m_rows - 1);
}

void TDBGridModel::RecordChanged(int row)
{
    if (row >= 0 && row < m_rows && m_columns > 0)
        emit dataChanged(index(row, 0), index(row, m_columns - 1));
}

} // namespace plat
