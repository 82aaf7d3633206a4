#include "zdDataSets.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "StringList.h"
#include "zdRes.h"

#include <QMutexLocker>

#include <algorithm>

namespace {
// Holds the global list's lock for a scope.
class ListLock {
public:
    explicit ListLock(TzdGlobalDataSetList* list) : m_list(list) { m_list->Lock(); }
    ~ListLock() { m_list->Unlock(); }
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;

private:
    TzdGlobalDataSetList* m_list;
};
} // namespace

PLAT_DEFINE_ENUM(TzdRangeBegin, "rbFirst", "rbCurrent")
PLAT_DEFINE_ENUM(TzdRangeEnd, "reLast", "reCurrent", "reCount")
PLAT_DEFINE_ENUM(TzdFieldType, "fftNumeric", "fftString", "fftBoolean")

PLAT_DEFINE_CLASS(TzdDataSet, c)
{
    c.property("Enabled", &TzdDataSet::Enabled, &TzdDataSet::SetEnabled).defaultValue(true);
    c.property("RangeBegin", &TzdDataSet::RangeBegin, &TzdDataSet::SetRangeBegin).defaultValue(rbFirst);
    c.property("RangeEnd", &TzdDataSet::RangeEnd, &TzdDataSet::SetRangeEnd).defaultValue(reLast);
    c.property("RangeEndCount", &TzdDataSet::RangeEndCount, &TzdDataSet::SetRangeEndCount).defaultValue(0);
    c.property("UserName", &TzdDataSet::UserName, &TzdDataSet::SetUserName);
    c.property("OnCheckEOF", &TzdDataSet::OnCheckEOF);
    c.property("OnFirst", &TzdDataSet::OnFirst);
    c.property("OnNext", &TzdDataSet::OnNext);
    c.property("OnPrior", &TzdDataSet::OnPrior);
}

PLAT_DEFINE_CLASS(TzdUserDataSet, c)
{
    c.property("Fields", &TzdUserDataSet::Fields, &TzdUserDataSet::SetFields);
    c.property("OnGetValue", &TzdUserDataSet::OnGetValue);
    c.property("OnNewGetValue", &TzdUserDataSet::OnNewGetValue);
}

PLAT_DEFINE_CLASS(TzdCustomDBDataSet, c)
{
    c.property("CloseDataSource", &TzdDataSet::CloseDataSource, &TzdDataSet::SetCloseDataSource);
    c.property("FieldAliases", &TzdCustomDBDataSet::FieldAliases, &TzdCustomDBDataSet::SetFieldAliases);
    c.property("OpenDataSource", &TzdDataSet::OpenDataSource, &TzdDataSet::SetOpenDataSource).defaultValue(true);
    c.property("OnClose", &TzdDataSet::OnClose);
    c.property("OnOpen", &TzdDataSet::OnOpen);
}

PLAT_DEFINE_CLASS(TzdCustomDatabase, c) {}

// ---------------------------------------------------------------------------
// TzdDataSet

TzdDataSet::TzdDataSet(plat::TComponent* AOwner) : TzdDialogComponent(AOwner)
{
    TzdGlobalDataSetList* list = zdGlobalDataSets();
    ListLock lock(list);
    list->Add(this);
}

TzdDataSet::~TzdDataSet()
{
    TzdGlobalDataSetList* list = zdGlobalDataSets();
    ListLock lock(list);
    list->Remove(this);
}

QString TzdDataSet::GetDisplayText(const QString&) { return {}; }
int TzdDataSet::GetDisplayWidth(const QString&) { return 10; }
TzdFieldType TzdDataSet::GetFieldType(const QString&) { return fftNumeric; }
plat::Variant TzdDataSet::GetValue(const QString&) { return plat::Variant::null(); }

void TzdDataSet::SetUserName(const QString& Value)
{
    if (Value.trimmed().isEmpty())
        throw plat::Exception(zdGetResources()->GetText(QStringLiteral("prInvProp")));
    m_userName = Value;
}

void TzdDataSet::Initialize() {}
void TzdDataSet::Finalize() {}

void TzdDataSet::Open()
{
    OnOpen(this);
}

void TzdDataSet::Close()
{
    OnClose(this);
}

void TzdDataSet::First()
{
    RecNo = 0;
    m_endOfRange = false;
    OnFirst(this);
}

void TzdDataSet::Next()
{
    m_endOfRange = false;
    ++RecNo;
    if (m_rangeEnd == reCount && RecNo >= m_rangeEndCount) {
        RecNo = m_rangeEndCount - 1;
        m_endOfRange = true;
        return;
    }
    OnNext(this);
}

void TzdDataSet::Prior()
{
    --RecNo;
    OnPrior(this);
}

bool TzdDataSet::Eof()
{
    bool result = false;
    if (m_rangeEnd == reCount)
        result = RecNo >= m_rangeEndCount || m_endOfRange;
    if (OnCheckEOF)
        OnCheckEOF(this, result);
    return result;
}

int TzdDataSet::FieldsCount() { return 0; }
bool TzdDataSet::IsBlobField(const QString&) { return false; }
bool TzdDataSet::HasMaster() { return false; }

int TzdDataSet::RecordCount()
{
    return m_rangeBegin == rbFirst && m_rangeEnd == reCount ? m_rangeEndCount : 0;
}

void TzdDataSet::AssignBlobTo(const QString&, plat::TStream*) {}
void TzdDataSet::AssignBlobTo(const QString&, TzdWideStrings*) {}

void TzdDataSet::GetFieldList(plat::TStrings& List)
{
    List.Clear();
}

bool TzdDataSet::HasField(const QString& fName)
{
    plat::TStringList list;
    GetFieldList(list);
    for (int i = 0; i < list.Count(); ++i)
        if (plat::SameText(list.Strings(i), fName))
            return true;
    return false;
}

void TzdDataSet::SetName(const QString& NewName)
{
    const QString oldName = Name();
    inherited::SetName(NewName);
    if (!NewName.isEmpty() && (m_userName.isEmpty() || m_userName == oldName))
        SetUserName(NewName);
}

// ---------------------------------------------------------------------------
// TzdUserDataSet

TzdUserDataSet::TzdUserDataSet(plat::TComponent* AOwner) : TzdDataSet(AOwner), m_fields(new zd::TStringList) {}

TzdUserDataSet::~TzdUserDataSet()
{
    delete m_fields;
}

void TzdUserDataSet::SetFields(zd::TStringList* Value)
{
    if (Value)
        m_fields->Assign(static_cast<const plat::TStrings&>(*Value));
}

plat::Variant TzdUserDataSet::GetValue(const QString& FieldName)
{
    plat::Variant value = plat::Variant::null();
    if (OnGetValue)
        OnGetValue(FieldName, value);
    if (OnNewGetValue)
        OnNewGetValue(this, FieldName, value);
    return value;
}

QString TzdUserDataSet::GetDisplayText(const QString& FieldName)
{
    QString text;
    plat::Variant value = plat::Variant::null();
    if (OnGetValue) {
        OnGetValue(FieldName, value);
        text = plat::VarToStr(value);
    }
    if (OnNewGetValue) {
        OnNewGetValue(this, FieldName, value);
        text = plat::VarToStr(value);
    }
    return text;
}

int TzdUserDataSet::FieldsCount()
{
    return m_fields->Count();
}

void TzdUserDataSet::GetFieldList(plat::TStrings& List)
{
    List.Assign(static_cast<const plat::TStrings&>(*m_fields));
}

bool TzdUserDataSet::Eof()
{
    if (OnCheckEOF || RangeEnd() == reCount)
        return TzdDataSet::Eof();
    if (RangeEnd() == reCurrent)
        return RecNo > 0 || m_endOfRange;
    return true;
}

// ---------------------------------------------------------------------------
// TzdCustomDBDataSet

TzdCustomDBDataSet::TzdCustomDBDataSet(plat::TComponent* AOwner)
    : TzdDataSet(AOwner), m_fieldAliases(new zd::TStringList)
{
    m_fields.SetSorted(true);
    m_fields.SetDuplicates(plat::dupIgnore);
}

TzdCustomDBDataSet::~TzdCustomDBDataSet()
{
    delete m_fieldAliases;
}

void TzdCustomDBDataSet::SetFieldAliases(zd::TStringList* Value)
{
    if (Value)
        m_fieldAliases->Assign(static_cast<const plat::TStrings&>(*Value));
}

int TzdCustomDBDataSet::FieldsCount()
{
    plat::TStringList list;
    GetFieldList(list);
    return list.Count();
}

QString TzdCustomDBDataSet::GetFieldName(const QString& Alias) const
{
    for (int i = 0; i < m_fieldAliases->Count(); ++i) {
        const QString entry = m_fieldAliases->Strings(i);
        const qsizetype eq = entry.indexOf(u'=');
        const QString alias = eq < 0 ? entry : entry.mid(eq + 1);
        if (plat::SameText(alias, Alias))
            return eq < 0 ? entry : entry.left(eq);
    }
    return Alias;
}

// ---------------------------------------------------------------------------
// TzdCustomDatabase

TzdCustomDatabase::TzdCustomDatabase(plat::TComponent* AOwner) : TzdDialogComponent(AOwner) {}
TzdCustomDatabase::~TzdCustomDatabase() = default;

// ---------------------------------------------------------------------------
// The global list

void TzdGlobalDataSetList::Add(TzdDataSet* DataSet)
{
    QMutexLocker lock(&m_lock);
    m_items.push_back(DataSet);
}

void TzdGlobalDataSetList::Remove(TzdDataSet* DataSet)
{
    QMutexLocker lock(&m_lock);
    auto it = std::find(m_items.begin(), m_items.end(), DataSet);
    if (it != m_items.end())
        m_items.erase(it);
}

TzdGlobalDataSetList* zdGlobalDataSets()
{
    // Never freed: datasets that outlive the report unit (a host's adapter
    // freed at exit) still find their list.
    static TzdGlobalDataSetList* list = new TzdGlobalDataSetList;
    return list;
}

namespace {
bool ownedByAnotherReport(const TzdDataSet* dataSet, TzdComponent* report)
{
    if (!dynamic_cast<zd::ReportDocument*>(report))
        return false;
    plat::TComponent* owner = dataSet->Owner();
    return dynamic_cast<zd::ReportDocument*>(owner) && owner != report;
}
} // namespace

TzdDataSet* zdFindGlobalDataSet(TzdDataSet* Default, const QString& Name, TzdComponent* Report)
{
    if (Name.isEmpty())
        return nullptr;
    if (!Report)
        return Default;
    TzdGlobalDataSetList* list = zdGlobalDataSets();
    ListLock lock(list);
    for (TzdDataSet* dataSet : list->items())
        if (plat::SameText(dataSet->UserName(), Name) && !ownedByAnotherReport(dataSet, Report))
            return dataSet;
    return Default;
}

void zdGetGlobalDataSetList(plat::TStrings& List)
{
    TzdGlobalDataSetList* list = zdGlobalDataSets();
    ListLock lock(list);
    List.Clear();
    for (TzdDataSet* dataSet : list->items())
        if (!dataSet->UserName().isEmpty() && dataSet->Enabled())
            List.AddObject(dataSet->UserName(), dataSet);
}
