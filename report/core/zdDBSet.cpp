#include "zdDBSet.h"

#include "ClientDataSet.h"
#include "CodePage.h"
#include "Exceptions.h"
#include "StringList.h"
#include "Streams.h"
#include "SysUtils.h"
#include "zdClass_report.h"
#include "zdRes.h"
#include "zdWideStrings.h"

#include <utility>
#include <vector>

PLAT_DEFINE_CLASS(TzdDBDataset, c)
{
    c.property("BCDToCurrency", &TzdDBDataset::BCDToCurrency).defaultValue(false);
}

struct TzdDBDataset::State {
    // Report field names and the table fields they stand for (none for a
    // name the table lacks).
    std::vector<std::pair<QString, plat::TField*>> map;
    bool initialized = false;
    bool endOfRange = false; // a range ending at the current record ran past it
    bool hasSaved = false;
    plat::TBookmark saved = 0;
    // The table whose handlers are ours, and its own handlers.
    plat::TClientDataSet* hooked = nullptr;
    plat::TDataSetNotifyEvent afterOpen, beforeClose, afterRefresh;
};

namespace {
// Identities of the adapter's handlers on the table.
const char kAfterOpenTag = 0;
const char kBeforeCloseTag = 0;
const char kAfterRefreshTag = 0;

bool isTextType(plat::TFieldType Type)
{
    return Type == plat::ftString || Type == plat::ftMemo || Type == plat::ftWideString;
}
} // namespace

TzdDBDataset::TzdDBDataset(plat::TComponent* AOwner) : TzdCustomDBDataSet(AOwner), m_state(std::make_unique<State>())
{
}

TzdDBDataset::~TzdDBDataset()
{
    unhook();
    if (m_dataSet)
        m_dataSet->RemoveFreeNotification(this);
    if (m_dataSource)
        m_dataSource->RemoveFreeNotification(this);
}

void TzdDBDataset::SetDataSet(plat::TClientDataSet* Value)
{
    if (m_dataSet)
        m_dataSet->RemoveFreeNotification(this);
    m_dataSet = Value;
    if (Value) {
        Value->FreeNotification(this);
        SetDataSource(nullptr);
    }
}

void TzdDBDataset::SetDataSource(plat::TDataSource* Value)
{
    if (m_dataSource)
        m_dataSource->RemoveFreeNotification(this);
    m_dataSource = Value;
    if (Value) {
        Value->FreeNotification(this);
        SetDataSet(nullptr);
    }
}

plat::TClientDataSet* TzdDBDataset::Table() const
{
    if (m_dataSet)
        return m_dataSet;
    return m_dataSource ? m_dataSource->DataSet() : nullptr;
}

bool TzdDBDataset::Hooked() const
{
    return m_state->hooked != nullptr;
}

void TzdDBDataset::Notification(plat::TComponent* AComponent, plat::TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != plat::opRemove)
        return;
    if (AComponent == m_state->hooked) {
        // The table goes: its handlers go with it.
        m_state->hooked = nullptr;
        m_state->map.clear();
        m_state->initialized = false;
        m_state->hasSaved = false;
    }
    if (AComponent == m_dataSet)
        m_dataSet = nullptr;
    if (AComponent == m_dataSource)
        m_dataSource = nullptr;
}

// --- a run

void TzdDBDataset::Initialize()
{
    plat::TClientDataSet* table = Table();
    if (!table)
        throw plat::Exception(
            plat::Format(zdGetResources()->GetText(QStringLiteral("dbNotConn")), {Name()}));
    unhook();
    State& s = *m_state;
    s.afterOpen = table->AfterOpen;
    s.beforeClose = table->BeforeClose;
    s.afterRefresh = table->AfterRefresh;
    s.hooked = table;
    table->FreeNotification(this);
    table->AfterOpen = plat::TDataSetNotifyEvent(
        [this](plat::TClientDataSet* t) {
            rebuildFieldMap();
            m_state->afterOpen(t);
        },
        this, &kAfterOpenTag);
    table->AfterRefresh = plat::TDataSetNotifyEvent(
        [this](plat::TClientDataSet* t) {
            rebuildFieldMap();
            m_state->afterRefresh(t);
        },
        this, &kAfterRefreshTag);
    table->BeforeClose = plat::TDataSetNotifyEvent(
        [this](plat::TClientDataSet* t) {
            m_state->beforeClose(t);
            releasePosition();
            m_state->initialized = false;
        },
        this, &kBeforeCloseTag);
    s.endOfRange = false;
    s.initialized = false;
}

void TzdDBDataset::Finalize()
{
    // The table's own handlers come back whatever fails here: left hooked,
    // the next run would save the adapter's handlers as the table's and
    // call itself without end.
    try {
        if (m_state->hasSaved && Table()) {
            try {
                Table()->GotoBookmark(m_state->saved);
            } catch (const plat::Exception&) {
                // The record is gone (a script deleted it): stay where the
                // run ended.
            }
        }
        releasePosition();
        if (CloseDataSource())
            Close();
    } catch (...) {
        unhook();
        m_state->initialized = false;
        throw;
    }
    unhook();
    m_state->initialized = false;
}

void TzdDBDataset::unhook()
{
    State& s = *m_state;
    if (!s.hooked)
        return;
    s.hooked->AfterOpen = s.afterOpen;
    s.hooked->BeforeClose = s.beforeClose;
    s.hooked->AfterRefresh = s.afterRefresh;
    if (s.hooked != m_dataSet && (!m_dataSource || s.hooked != m_dataSource->DataSet()))
        s.hooked->RemoveFreeNotification(this);
    s.hooked = nullptr;
    s.afterOpen.Clear();
    s.beforeClose.Clear();
    s.afterRefresh.Clear();
}

void TzdDBDataset::releasePosition()
{
    m_state->hasSaved = false;
    m_state->saved = 0;
}

void TzdDBDataset::ensureOpen()
{
    if (!m_state->initialized)
        Open();
}

void TzdDBDataset::Open()
{
    plat::TClientDataSet* table = Table();
    if (!table)
        throw plat::Exception(
            plat::Format(zdGetResources()->GetText(QStringLiteral("dbNotConn")), {Name()}));
    m_state->initialized = true;
    if (!table->Active())
        table->Open();
    rebuildFieldMap();
    releasePosition();
    if ((RangeBegin() == rbCurrent || RangeEnd() == reCurrent) && !table->IsEmpty()) {
        m_state->saved = table->GetBookmark();
        m_state->hasSaved = true;
    }
    inherited::Open();
}

void TzdDBDataset::Close()
{
    inherited::Close();
    releasePosition();
    m_state->initialized = false;
    if (plat::TClientDataSet* table = Table())
        table->Close();
}

// --- navigation

void TzdDBDataset::First()
{
    ensureOpen();
    plat::TClientDataSet* table = Table();
    if (RangeBegin() == rbCurrent && m_state->hasSaved)
        table->GotoBookmark(m_state->saved);
    else
        table->First();
    m_state->endOfRange = false;
    inherited::First();
}

void TzdDBDataset::Next()
{
    ensureOpen();
    plat::TClientDataSet* table = Table();
    m_state->endOfRange = false;
    if (RangeEnd() == reCurrent && m_state->hasSaved && table->GetBookmark() == m_state->saved)
        m_state->endOfRange = true;
    if (!(RangeEnd() == reCount && RecNo + 1 >= RangeEndCount()))
        table->Next();
    inherited::Next();
}

void TzdDBDataset::Prior()
{
    ensureOpen();
    Table()->Prior();
    inherited::Prior();
}

bool TzdDBDataset::Eof()
{
    ensureOpen();
    return inherited::Eof() || Table()->Eof() || m_state->endOfRange;
}

int TzdDBDataset::RecordCount()
{
    ensureOpen();
    return Table()->RecordCount();
}

bool TzdDBDataset::HasMaster()
{
    // The record table has no master source.
    return false;
}

// --- fields

void TzdDBDataset::GetFieldList(plat::TStrings& List)
{
    List.Clear();
    zd::TStringList* aliases = FieldAliases();
    if (aliases->Count() > 0) {
        for (int i = 0; i < aliases->Count(); ++i) {
            const QString entry = aliases->Strings(i);
            const qsizetype eq = entry.indexOf(u'=');
            const QString field = eq < 0 ? entry : entry.left(eq);
            if (!field.startsWith(u'-'))
                List.Add(eq < 0 ? entry : entry.mid(eq + 1));
        }
        return;
    }
    plat::TClientDataSet* table = Table();
    if (!table)
        return;
    try {
        for (const QString& name : table->FieldNames())
            List.Add(name);
    } catch (const plat::Exception&) {
        // A table that cannot list its fields gives none.
    }
}

void TzdDBDataset::rebuildFieldMap()
{
    plat::TStringList names;
    GetFieldList(names);
    m_fields.Clear();
    m_state->map.clear();
    plat::TClientDataSet* table = Table();
    for (int i = 0; i < names.Count(); ++i) {
        const QString name = names.Strings(i);
        m_fields.Add(name);
        plat::TField* field = table && table->Active() ? table->FindField(GetFieldName(name)) : nullptr;
        m_state->map.emplace_back(name, field);
    }
}

plat::TField* TzdDBDataset::mappedField(const QString& Name, bool& Found)
{
    for (auto& [name, field] : m_state->map)
        if (plat::SameText(name, Name)) {
            Found = field != nullptr;
            return field;
        }
    Found = false;
    return nullptr;
}

QString TzdDBDataset::notFoundText(const QString& Name)
{
    TzdReport* report = ListingReport;
    const QString object = report ? report->EvaluatedObjectName : QString();
    const QString text = object + QStringLiteral(": ") + zdGetResources()->GetText(QStringLiteral("dbFldNotFound"))
                         + u' ' + UserName() + u'.' + u'"' + Name + u'"';
    if (report)
        report->AddErrors({text});
    return text;
}

plat::Variant TzdDBDataset::GetValue(const QString& FieldName)
{
    ensureOpen();
    bool found = false;
    plat::TField* field = mappedField(FieldName, found);
    if (!found) {
        notFoundText(FieldName);
        return plat::Null();
    }
    if (field->IsNull())
        return plat::Null();
    switch (field->DataType()) {
    case plat::ftBCD: {
        const double v = double(plat::StrToFloat(field->AsString()));
        return BCDToCurrency ? plat::VarAsType(plat::Variant(v), plat::varCurrency) : plat::Variant(v);
    }
    case plat::ftTimeStamp:
        return plat::VarAsType(plat::Variant(field->AsString()), plat::varDate);
    default:
        return field->Value();
    }
}

QString TzdDBDataset::GetDisplayText(const QString& FieldName)
{
    plat::TClientDataSet* table = Table();
    if (!table || !table->Active())
        return UserName() + u'.' + u'"' + FieldName + u'"';
    ensureOpen();
    if (m_state->map.empty()) {
        if (plat::TField* f = table->FindField(FieldName))
            return f->DisplayText();
        return notFoundText(FieldName);
    }
    bool found = false;
    plat::TField* field = mappedField(FieldName, found);
    if (!found)
        return notFoundText(FieldName);
    return field->DisplayText();
}

int TzdDBDataset::GetDisplayWidth(const QString& FieldName)
{
    plat::TClientDataSet* table = Table();
    if (!table)
        return 10;
    const QString name = GetFieldName(FieldName);
    if (table->Active())
        if (plat::TField* f = table->FindField(name))
            return f->DisplayWidth();
    for (const plat::TFieldDef& d : table->FieldDefs())
        if (plat::SameText(d.Name, name)) {
            if (isTextType(d.DataType))
                return d.Size;
            if (d.DataType == plat::ftDateTime || d.DataType == plat::ftTimeStamp)
                return 20;
            if (d.DataType == plat::ftLargeint)
                return 15;
            break;
        }
    return 10;
}

TzdFieldType TzdDBDataset::GetFieldType(const QString& FieldName)
{
    plat::TClientDataSet* table = Table();
    if (!table)
        return fftNumeric;
    const QString name = GetFieldName(FieldName);
    for (const plat::TFieldDef& d : table->FieldDefs())
        if (plat::SameText(d.Name, name)) {
            if (isTextType(d.DataType))
                return fftString;
            if (d.DataType == plat::ftBoolean)
                return fftBoolean;
            // Date and time fields have a kind of their own, past the named ones.
            if (d.DataType == plat::ftDate || d.DataType == plat::ftTime || d.DataType == plat::ftDateTime)
                return TzdFieldType(3);
            break;
        }
    return fftNumeric;
}

bool TzdDBDataset::IsBlobField(const QString& FieldName)
{
    ensureOpen();
    bool found = false;
    plat::TField* field = mappedField(FieldName, found);
    return found && field->DataType() == plat::ftMemo;
}

void TzdDBDataset::AssignBlobTo(const QString& FieldName, TzdWideStrings* Lines)
{
    if (!Lines || !IsBlobField(FieldName))
        return;
    bool found = false;
    Lines->SetText(mappedField(FieldName, found)->AsString());
}

void TzdDBDataset::AssignBlobTo(const QString& FieldName, plat::TStream* Stream)
{
    if (!Stream || !IsBlobField(FieldName))
        return;
    bool found = false;
    const QByteArray bytes = plat::unicodeToCp1250(mappedField(FieldName, found)->AsString());
    Stream->WriteBuffer(bytes.constData(), bytes.size());
    Stream->SetPosition(0);
}
