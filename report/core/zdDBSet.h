#pragma once
// The report dataset over a table of the platform's database layer. The
// program has one, "zdDBDataset1", bound to the record table: templates
// reach the records through it and the engine walks it, one band per
// record. A run is bracketed by Initialize and Finalize, which hook the
// table's open, close and refresh handlers and always put them back.

#include "zdDataSets.h"

#include <memory>

namespace plat {
class TClientDataSet;
class TDataSource;
class TField;
} // namespace plat

class TzdDBDataset : public TzdCustomDBDataSet {
    PLAT_CLASS(TzdDBDataset, TzdCustomDBDataSet)
public:
    explicit TzdDBDataset(plat::TComponent* AOwner);
    ~TzdDBDataset() override;

    // Setting either binding clears the other.
    plat::TClientDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(plat::TClientDataSet* Value);
    plat::TDataSource* DataSource() const { return m_dataSource; }
    void SetDataSource(plat::TDataSource* Value);
    bool BCDToCurrency = false;

    QString GetDisplayText(const QString& FieldName) override;
    int GetDisplayWidth(const QString& FieldName) override;
    TzdFieldType GetFieldType(const QString& FieldName) override;
    plat::Variant GetValue(const QString& FieldName) override;
    void Initialize() override;
    void Finalize() override;
    void Open() override;
    void Close() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() override;
    bool IsBlobField(const QString& FieldName) override;
    bool HasMaster() override;
    int RecordCount() override;
    void AssignBlobTo(const QString& FieldName, plat::TStream* Stream) override;
    void AssignBlobTo(const QString& FieldName, TzdWideStrings* Lines) override;
    void GetFieldList(plat::TStrings& List) override;

    // The table the adapter reads: DataSet, else DataSource's table.
    plat::TClientDataSet* Table() const;
    // True while the table's handlers are the adapter's.
    bool Hooked() const;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    struct State;
    void ensureOpen();
    void rebuildFieldMap();
    plat::TField* mappedField(const QString& Name, bool& Found);
    QString notFoundText(const QString& Name);
    void releasePosition();
    void unhook();

    plat::TClientDataSet* m_dataSet = nullptr;
    plat::TDataSource* m_dataSource = nullptr;
    std::unique_ptr<State> m_state;
};
