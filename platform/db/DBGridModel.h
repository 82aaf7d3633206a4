#pragma once
// The grid's view of the record table: one row per record of the table's
// view, one column per field. The model keeps its own row count and changes
// it only through the table's notifications, so it stays consistent while
// the table's controls are suspended (rows that no longer exist read as
// empty until the table resumes and the model is reset).

#include "ClientDataSet.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace plat {

class TDBGridModel : public QAbstractTableModel, public TDataLink {
public:
    explicit TDBGridModel(TClientDataSet* dataSet, QObject* parent = nullptr);
    ~TDBGridModel() override;

    // Column titles (Title.Caption); a missing title shows the field name.
    void SetColumnTitles(const QStringList& titles);
    QStringList ColumnTitles() const { return m_titles; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void DataSetChanged() override;
    void RecordInserted(int row) override;
    void RecordRemoved(int row) override;
    void RecordChanged(int row) override;
    void DataSetScrolled() override;

private:
    TClientDataSet* dataSet() const { return LinkedDataSet(); }
    int m_rows = 0;
    int m_columns = 0;
    QStringList m_titles;
};

} // namespace plat
