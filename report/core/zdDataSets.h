#pragma once
// Datasets: the data sources of reports, with navigation, a record range,
// field names and values; and the process-wide list through which reports
// find datasets that live outside them (the program's table adapter).

#include "Variant.h"
#include "zdReportComponent.h"

#include <QRecursiveMutex>
#include <QString>

#include <vector>

namespace plat {
class TStream;
class TStrings;
} // namespace plat

class TzdWideStrings;
class TzdCustomDatabase;

enum TzdRangeBegin { rbFirst, rbCurrent };
enum TzdRangeEnd { reLast, reCurrent, reCount };
enum TzdFieldType { fftNumeric, fftString, fftBoolean };
PLAT_DECLARE_ENUM(TzdRangeBegin)
PLAT_DECLARE_ENUM(TzdRangeEnd)
PLAT_DECLARE_ENUM(TzdFieldType)

// Events of the host program (method values, not script procedure names).
PLAT_EVENT_TYPE(TzdCheckEOFEvent, void(plat::TObject* Sender, bool& Eof))
PLAT_EVENT_TYPE(TzdGetValueEvent, void(const QString& VarName, plat::Variant& Value))
PLAT_EVENT_TYPE(TzdNewGetValueEvent, void(plat::TObject* Sender, const QString& VarName, plat::Variant& Value))
PLAT_EVENT_TYPE(TzdBeforeConnectEvent, void(TzdCustomDatabase* Sender, bool& Connected))
PLAT_EVENT_TYPE(TzdAfterDisconnectEvent, void(TzdCustomDatabase* Sender))

class TzdDataSet : public TzdDialogComponent {
    PLAT_CLASS(TzdDataSet, TzdDialogComponent)
public:
    explicit TzdDataSet(plat::TComponent* AOwner);
    ~TzdDataSet() override;

    virtual QString GetDisplayText(const QString& FieldName);
    virtual int GetDisplayWidth(const QString& FieldName);
    virtual TzdFieldType GetFieldType(const QString& FieldName);
    virtual plat::Variant GetValue(const QString& FieldName);
    virtual void SetUserName(const QString& Value);
    virtual void Initialize();
    virtual void Finalize();
    virtual void Open();
    virtual void Close();
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
    virtual int FieldsCount();
    virtual bool IsBlobField(const QString& FieldName);
    virtual bool HasMaster();
    virtual int RecordCount();
    virtual void AssignBlobTo(const QString& FieldName, plat::TStream* Stream);
    virtual void AssignBlobTo(const QString& FieldName, TzdWideStrings* Lines);
    virtual void GetFieldList(plat::TStrings& List);

    bool HasField(const QString& fName);
    void SetName(const QString& NewName) override;

    const QString& UserName() const { return m_userName; }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool Value) { m_enabled = Value; }
    TzdRangeBegin RangeBegin() const { return m_rangeBegin; }
    void SetRangeBegin(TzdRangeBegin Value) { m_rangeBegin = Value; }
    TzdRangeEnd RangeEnd() const { return m_rangeEnd; }
    void SetRangeEnd(TzdRangeEnd Value) { m_rangeEnd = Value; }
    int RangeEndCount() const { return m_rangeEndCount; }
    void SetRangeEndCount(int Value) { m_rangeEndCount = Value; }
    bool CloseDataSource() const { return m_closeDataSource; }
    void SetCloseDataSource(bool Value) { m_closeDataSource = Value; }
    bool OpenDataSource() const { return m_openDataSource; }
    void SetOpenDataSource(bool Value) { m_openDataSource = Value; }

    TzdReport* ListingReport = nullptr;
    int RecNo = 0;
    TzdCheckEOFEvent OnCheckEOF;
    plat::TNotifyEvent OnFirst;
    plat::TNotifyEvent OnNext;
    plat::TNotifyEvent OnPrior;
    plat::TNotifyEvent OnOpen;
    plat::TNotifyEvent OnClose;

protected:
    // Set when Next ran past the counted range.
    bool m_endOfRange = false;
    // Kept by concrete database datasets.
    bool m_isOpen = false;

private:
    bool m_closeDataSource = false;
    bool m_enabled = true;
    bool m_openDataSource = true;
    TzdRangeBegin m_rangeBegin = rbFirst;
    TzdRangeEnd m_rangeEnd = reLast;
    int m_rangeEndCount = 0;
    QString m_userName;
};

// A dataset whose values come from events of the host program.
class TzdUserDataSet : public TzdDataSet {
    PLAT_CLASS(TzdUserDataSet, TzdDataSet)
public:
    explicit TzdUserDataSet(plat::TComponent* AOwner);
    ~TzdUserDataSet() override;

    QString GetDisplayText(const QString& FieldName) override;
    plat::Variant GetValue(const QString& FieldName) override;
    int FieldsCount() override;
    void GetFieldList(plat::TStrings& List) override;
    // Without an end test (OnCheckEOF) the dataset cannot tell where its
    // records end: a counted range ends at its count, a range ending at
    // the current record holds that one record, and an open range is empty.
    bool Eof() override;

    zd::TStringList* Fields() const { return m_fields; }
    void SetFields(zd::TStringList* Value);

    TzdGetValueEvent OnGetValue;
    TzdNewGetValueEvent OnNewGetValue;

private:
    zd::TStringList* m_fields;
};

class TzdCustomDBDataSet : public TzdDataSet {
    PLAT_CLASS(TzdCustomDBDataSet, TzdDataSet)
public:
    explicit TzdCustomDBDataSet(plat::TComponent* AOwner);
    ~TzdCustomDBDataSet() override;

    int FieldsCount() override;
    // The field name behind a name that reports see (entries field=alias).
    QString GetFieldName(const QString& Alias) const;

    zd::TStringList* FieldAliases() const { return m_fieldAliases; }
    void SetFieldAliases(zd::TStringList* Value);

protected:
    // Sorted field names without duplicates, for descendants.
    plat::TStringList m_fields;

private:
    zd::TStringList* m_fieldAliases;
};

// The base of database connection components; no descendant is part of the
// program, so it adds nothing that this program calls.
class TzdCustomDatabase : public TzdDialogComponent {
    PLAT_CLASS(TzdCustomDatabase, TzdDialogComponent)
public:
    explicit TzdCustomDatabase(plat::TComponent* AOwner);
    ~TzdCustomDatabase() override;
};

// Every dataset that exists, in order of creation; not owning them. The
// lock is re-entrant.
class TzdGlobalDataSetList {
public:
    void Lock() { m_lock.lock(); }
    void Unlock() { m_lock.unlock(); }
    int Count() const { return static_cast<int>(m_items.size()); }
    TzdDataSet* Items(int Index) const { return m_items.at(static_cast<size_t>(Index)); }
    const std::vector<TzdDataSet*>& items() const { return m_items; }
    void Add(TzdDataSet* DataSet);
    void Remove(TzdDataSet* DataSet);

private:
    QRecursiveMutex m_lock;
    std::vector<TzdDataSet*> m_items;
};

TzdGlobalDataSetList* zdGlobalDataSets();
TzdDataSet* zdFindGlobalDataSet(TzdDataSet* Default, const QString& Name, TzdComponent* Report);
void zdGetGlobalDataSetList(plat::TStrings& List);
