#pragma once
// The record table: an in-memory table with the client-dataset behaviour the
// application and the report table adapter rely on. Fields with text values,
// a cursor over the current view, Append/Edit/Post/Cancel/Delete, a filter
// switch with a record predicate, saved positions, nested suspending of the
// bound controls, data links for controls, and the XML data packet as its
// file (DataPacket.h).
//
// It uses nothing above platform/objects, so the report layer's table
// adapter can bind it once it moves under platform/.
//
// Records keep the order in which they were added. The view is the list of
// records the filter let through when it was last built; a record posted
// while the filter is on stays in the view (and current) until the view is
// rebuilt by Refresh, by switching the filter or by opening, so that the
// next edit cannot land on another record.

#include "Objects.h"
#include "TypeInfo.h"
#include "Variant.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace plat {

class TClientDataSet;
class TField;

enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftAutoInc,
    ftMemo,
    ftWideString,
    ftLargeint,
    ftTimeStamp,
    ftDataSet
};

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

struct TFieldDef {
    QString Name;
    TFieldType DataType = ftString;
    int Size = 0; // characters of a text field
    bool Required = false;
    bool ReadOnly = false;
    bool Hidden = false;
    bool LinkField = false;
    // As the data packet names them ("string", "i4", "Autoinc"); kept so that
    // a file of other origin is written back as it was read.
    QString PacketType;
    QString PacketSubtype;
    int Decimals = -1;
};

// One field of the open table; its value is the current record's (or the
// record being edited, or the record the filter is asking about).
class TField {
public:
    TField(TClientDataSet& dataSet, int index) : m_dataSet(dataSet), m_index(index) {}

    const TFieldDef& Def() const;
    const QString& FieldName() const { return Def().Name; }
    TFieldType DataType() const { return Def().DataType; }
    int Size() const { return Def().Size; }
    bool Required() const { return Def().Required; }
    bool ReadOnly() const { return Def().ReadOnly; }
    int Index() const { return m_index; }
    TClientDataSet& DataSet() const { return m_dataSet; }
    // Characters the grid gives the field: its size for texts, else 10.
    int DisplayWidth() const;

    bool IsNull() const { return AsString().isEmpty(); }
    QString AsString() const;
    // Raises EDatabaseError unless the table is being edited and the field
    // may be changed; a text is cut to the field's size.
    void SetAsString(const QString& value);
    int AsInteger() const;
    // Null for an absent value; integers for integer fields, text otherwise.
    Variant Value() const;
    QString DisplayText() const { return AsString(); }

private:
    TClientDataSet& m_dataSet;
    int m_index;
};

// A control bound to the table. Nothing arrives while the table's controls
// are suspended; resuming sends DataSetChanged.
class TDataLink {
public:
    virtual ~TDataLink();
    // Open, close, filter, refresh, resume: everything may have changed.
    virtual void DataSetChanged() {}
    // A record entered the view at row (0-based) / left it / changed.
    virtual void RecordInserted(int /*row*/) {}
    virtual void RecordRemoved(int /*row*/) {}
    virtual void RecordChanged(int /*row*/) {}
    // The current record moved.
    virtual void DataSetScrolled() {}
    // Append, Edit, Cancel, Post changed the state.
    virtual void StateChanged() {}
    // A record is about to be stored.
    virtual void UpdateData() {}

protected:
    TClientDataSet* LinkedDataSet() const { return m_linkedTo; }

private:
    friend class TClientDataSet;
    TClientDataSet* m_linkedTo = nullptr;
};

PLAT_EVENT_TYPE(TDataSetNotifyEvent, void(plat::TClientDataSet* DataSet))
PLAT_EVENT_TYPE(TFilterRecordEvent, void(plat::TClientDataSet* DataSet, bool& Accept))
PLAT_EVENT_TYPE(TDataChangeEvent, void(plat::TObject* Sender, plat::TField* Field))

// A saved position: the identity of a record, valid until it is deleted.
using TBookmark = quint64;

class TClientDataSet : public TComponent {
    PLAT_CLASS(TClientDataSet, TComponent)
public:
    explicit TClientDataSet(TComponent* AOwner);
    ~TClientDataSet() override;

    // --- definition and life
    std::vector<TFieldDef>& FieldDefs() { return m_defs; }
    const std::vector<TFieldDef>& FieldDefs() const { return m_defs; }
    const QString& FileName() const { return m_fileName; }
    void SetFileName(const QString& fileName);
    bool Active() const { return m_state != dsInactive; }
    TDataSetState State() const { return m_state; }

    // An empty open table with the field definitions.
    void CreateDataSet();
    // Reads FileName; the first record of the view becomes current. A file
    // that cannot be read leaves the table closed and raises.
    void Open();
    // Writes the table back to FileName when its data changed since it was
    // opened or last written there, or when the file is gone; a failed write
    // raises and leaves the table open, so nothing is lost.
    void Close();
    // Closes without writing anything.
    void CloseWithoutWriteBack();
    // Data changed since the table was opened or last written to FileName.
    bool Modified() const { return m_modified; }

    // Every record, whatever the filter, as the XML data packet; through a
    // temporary file and a rename.
    void SaveToFile(const QString& fileName);
    // Replaces the table's content with a data packet (the table is opened).
    void LoadFromBytes(const QByteArray& bytes);
    QByteArray SaveToBytes() const;

    // --- fields
    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    TField& Fields(int index) const;
    // Case-insensitive; nullptr / EDatabaseError "Field '%s' not found".
    TField* FindField(const QString& name) const;
    TField& FieldByName(const QString& name) const;
    int FieldIndex(const QString& name) const;
    // The field names in field order (what a report's field list shows).
    QStringList FieldNames() const;

    // --- navigation over the view
    int RecordCount() const;
    // 1-based position of the current record in the view; 0 when there is none.
    int RecNo() const;
    // Moves there; raises EDatabaseError outside 1..RecordCount.
    void SetRecNo(int recNo);
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    bool IsEmpty() const { return RecordCount() == 0; }
    void First();
    void Last();
    void Next();
    void Prior();
    // The text of a field of the record at a view row, without moving.
    QString RecordText(int row, int fieldIndex) const;

    // --- changes
    void Append();
    void Edit();
    // Fires UpdateData, checks required fields ("Field '%s' must have a
    // value"), numbers a new record, stores it.
    void Post();
    void Cancel();
    void Delete();
    // The "id" the next new record receives.
    qint64 AutoIncValue() const { return m_autoInc; }
    void SetAutoIncValue(qint64 value) { m_autoInc = value; }

    // --- filter
    bool Filtered() const { return m_filtered; }
    void SetFiltered(bool on);
    TFilterRecordEvent OnFilterRecord;
    // Rebuilds the view (the filter asked again); keeps the current record
    // when it stays visible.
    void Refresh();

    // --- saved positions
    TBookmark GetBookmark() const;
    bool BookmarkValid(TBookmark bookmark) const;
    // Raises EDatabaseError "Record not found" when the record is gone or
    // outside the view.
    void GotoBookmark(TBookmark bookmark);
    void FreeBookmark(TBookmark) {}
    QString Bookmark() const { return QString::number(GetBookmark()); }
    void SetBookmark(const QString& text);

    // --- controls
    void DisableControls() { ++m_disableCount; }
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }
    void AddDataLink(TDataLink* link);
    void RemoveDataLink(TDataLink* link);

    // --- events (replaceable by whoever binds the table)
    TDataSetNotifyEvent AfterOpen;
    TDataSetNotifyEvent BeforeClose;
    TDataSetNotifyEvent AfterRefresh;

    // The six fields of the application's table.
    static std::vector<TFieldDef> RecordTableDefs();

private:
    friend class TField;
    struct Record {
        TBookmark id = 0;
        QStringList values;
    };
    const QStringList* activeValues() const;
    void checkActive() const;
    void checkBrowse() const;
    void setFromPacket(std::vector<TFieldDef> defs, std::vector<QStringList> rows, qint64 autoInc);
    void rebuildFields();
    void rebuildView(TBookmark keep);
    bool accepts(const Record& record);
    int viewIndexOf(TBookmark id) const;
    int storageIndexOf(TBookmark id) const;
    void moveTo(int viewIndex);
    template <class F>
    void notify(F&& f);
    void enterState(TDataSetState state);

    std::vector<TFieldDef> m_defs;
    std::vector<std::unique_ptr<TField>> m_fields;
    std::vector<Record> m_records;
    std::vector<TBookmark> m_view;
    int m_cur = -1; // index into m_view
    bool m_bof = true;
    bool m_eof = true;
    TDataSetState m_state = dsInactive;
    QStringList m_buffer; // the record being edited or inserted
    const QStringList* m_filterValues = nullptr; // the record the filter asks about
    QString m_fileName;
    qint64 m_autoInc = 1;
    TBookmark m_nextId = 1;
    bool m_modified = false;
    bool m_filtered = false;
    int m_disableCount = 0;
    std::vector<TDataLink*> m_links;
};

// The platform's data source: forwards the table's notifications to the
// form's handlers.
class TDataSource : public TComponent, public TDataLink {
    PLAT_CLASS(TDataSource, TComponent)
public:
    explicit TDataSource(TComponent* AOwner);
    ~TDataSource() override;
    TClientDataSet* DataSet() const { return LinkedDataSet(); }
    void SetDataSet(TClientDataSet* dataSet);

    TDataChangeEvent OnDataChange;
    TNotifyEvent OnUpdateData;
    TNotifyEvent OnStateChange;

    void DataSetChanged() override;
    void RecordInserted(int) override { DataSetChanged(); }
    void RecordRemoved(int) override { DataSetChanged(); }
    void RecordChanged(int) override { DataSetChanged(); }
    void DataSetScrolled() override { DataSetChanged(); }
    void StateChanged() override;
    void UpdateData() override;
};

// Suspends a table's controls for a scope; resumes them on every path.
class TControlsSuspended {
public:
    explicit TControlsSuspended(TClientDataSet& dataSet) : m_dataSet(dataSet) { m_dataSet.DisableControls(); }
    ~TControlsSuspended() { m_dataSet.EnableControls(); }
    TControlsSuspended(const TControlsSuspended&) = delete;
    TControlsSuspended& operator=(const TControlsSuspended&) = delete;

private:
    TClientDataSet& m_dataSet;
};

} // namespace plat
