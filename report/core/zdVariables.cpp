#include "zdVariables.h"

#include "CodePage.h"
#include "Streams.h"
#include "StringList.h"
#include "zdUtils.h"
#include "zdXML.h"
#include "zdXMLSerializer.h"

namespace {
const QByteArray kRootName = QByteArrayLiteral("variables");
const QByteArray kItemName = QByteArrayLiteral("item");
constexpr int kMaxCategoryName = 255;

bool isHeading(const QString& name)
{
    return name.startsWith(u' ');
}

// A heading or an entry without a name ends a category.
bool endsCategory(const QString& name)
{
    return name.isEmpty() || isHeading(name);
}
} // namespace

PLAT_DEFINE_CLASS(TzdVariable, c)
{
    c.property("Name", &TzdVariable::Name, &TzdVariable::SetName);
    c.property("Value", &TzdVariable::Value, &TzdVariable::SetValue);
}

PLAT_DEFINE_CLASS(TzdVariables, c) {}
PLAT_DEFINE_CLASS(TzdArray, c) {}

// ---------------------------------------------------------------------------
// TzdVariable

TzdVariable::TzdVariable(plat::TCollection* Collection) : TzdCollectionItem(Collection) {}

QString TzdVariable::GetInheritedName() const
{
    return m_name.isEmpty() ? TzdCollectionItem::GetInheritedName() : m_name;
}

void TzdVariable::Assign(plat::TPersistent* Source)
{
    if (auto* source = dynamic_cast<TzdVariable*>(Source)) {
        m_name = source->m_name;
        m_value = source->m_value;
        IsInherited = source->IsInherited;
    }
}

// ---------------------------------------------------------------------------
// TzdVariables

TzdVariables::TzdVariables() : TzdCollection(TzdVariable::StaticClass()) {}

TzdVariable* TzdVariables::Add()
{
    return static_cast<TzdVariable*>(TzdCollection::Add());
}

TzdVariable* TzdVariables::Insert(int Index)
{
    return static_cast<TzdVariable*>(TzdCollection::Insert(Index));
}

TzdVariable* TzdVariables::GetItem(int Index) const
{
    return static_cast<TzdVariable*>(Items(Index));
}

int TzdVariables::IndexOf(const QString& Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (plat::SameText(GetItem(i)->Name(), Name))
            return i;
    return -1;
}

plat::Variant TzdVariables::GetVariables(const QString& Name) const
{
    const int i = IndexOf(Name);
    return i < 0 ? plat::Variant::null() : GetItem(i)->Value();
}

void TzdVariables::SetVariables(const QString& Name, const plat::Variant& Value)
{
    const int i = IndexOf(Name);
    TzdVariable* v = i < 0 ? Add() : GetItem(i);
    if (i < 0)
        v->SetName(Name);
    v->SetValue(Value);
}

int TzdVariables::categoryEnd(int heading) const
{
    int i = heading + 1;
    while (i < Count() && !endsCategory(GetItem(i)->Name()))
        ++i;
    return i;
}

void TzdVariables::GetCategoryList(plat::TStrings& List, bool Clear) const
{
    if (Clear)
        List.Clear();
    for (int i = 0; i < Count(); ++i) {
        const QString& name = GetItem(i)->Name();
        if (isHeading(name))
            List.Add(name.mid(1, kMaxCategoryName));
    }
}

void TzdVariables::GetVariableList(const QString& Category, plat::TStrings& List) const
{
    List.Clear();
    int first = 0;
    if (!Category.isEmpty()) {
        const int heading = IndexOf(u' ' + Category);
        if (heading < 0)
            return;
        first = heading + 1;
    }
    for (int i = first; i < Count() && !endsCategory(GetItem(i)->Name()); ++i)
        List.Add(GetItem(i)->Name());
}

void TzdVariables::AddVariable(const QString& Category, const QString& Name, const plat::Variant& Value)
{
    const int heading = IndexOf(u' ' + Category);
    if (heading < 0)
        return;
    int position = heading + 1;
    while (position < Count() && !isHeading(GetItem(position)->Name()))
        ++position;
    const int existing = IndexOf(Name);
    if (existing >= 0) {
        GetItem(existing)->SetValue(Value);
        return;
    }
    TzdVariable* v = position >= Count() ? Add() : Insert(position);
    v->SetName(Name);
    v->SetValue(Value);
}

void TzdVariables::DeleteCategory(const QString& Name)
{
    const int heading = IndexOf(u' ' + Name);
    if (heading < 0)
        return;
    const int end = categoryEnd(heading);
    BeginUpdate();
    for (int i = end - 1; i >= heading; --i)
        Delete(i);
    EndUpdate();
}

void TzdVariables::DeleteVariable(const QString& Name)
{
    const int i = IndexOf(Name);
    if (i >= 0)
        Delete(i);
}

void TzdVariables::LoadFromFile(const QString& FileName)
{
    plat::TFileStream stream(FileName, plat::fmOpenRead | plat::fmShareDenyWrite);
    LoadFromStream(stream);
}

void TzdVariables::LoadFromStream(plat::TStream& Stream)
{
    Clear();
    TzdXMLDocument document;
    document.LoadFromStream(Stream);
    if (document.Root()->Name.compare(kRootName, Qt::CaseInsensitive) == 0)
        LoadFromXMLItem(document.Root(), document.OldVersion);
}

void TzdVariables::LoadFromXMLItem(TzdXMLItem* Item, bool OldFormat)
{
    Clear();
    if (!Item)
        return;
    TzdXMLSerializer serializer(nullptr);
    serializer.OldFormat = OldFormat;
    for (int i = 0; i < Item->Count(); ++i) {
        TzdXMLItem* child = Item->GetItem(i);
        if (child->Name.compare(kItemName, Qt::CaseInsensitive) == 0)
            serializer.TextToProperties(child->Text, Add());
    }
}

void TzdVariables::SaveToFile(const QString& FileName)
{
    zd::writeFileAtomically(FileName, [this](plat::TStream& stream) { SaveToStream(stream); });
}

void TzdVariables::SaveToStream(plat::TStream& Stream)
{
    TzdXMLDocument document;
    document.AutoIndent = true;
    document.Root()->Name = kRootName;
    SaveToXMLItem(document.Root());
    document.SaveToStream(Stream);
}

void TzdVariables::SaveToXMLItem(TzdXMLItem* Item)
{
    if (!Item)
        return;
    TzdXMLSerializer serializer(nullptr);
    for (int i = 0; i < Count(); ++i) {
        TzdXMLItem* child = Item->Add();
        child->Name = kItemName;
        child->Text = serializer.PropertiesToText(GetItem(i), QByteArray(), nullptr);
    }
}

// ---------------------------------------------------------------------------
// TzdArray

TzdArray::TzdArray() : plat::TCollection(TzdVariable::StaticClass()) {}

TzdVariable* TzdArray::GetItem(int Index) const
{
    return static_cast<TzdVariable*>(Items(Index));
}

int TzdArray::IndexOf(const plat::Variant& Name) const
{
    const QString name = plat::VarToStr(Name);
    for (int i = 0; i < Count(); ++i)
        if (plat::SameText(GetItem(i)->Name(), name))
            return i;
    return -1;
}

plat::Variant TzdArray::GetVariables(const plat::Variant& Name) const
{
    const int i = IndexOf(Name);
    return i < 0 ? plat::Variant::null() : GetItem(i)->Value();
}

void TzdArray::SetVariables(const plat::Variant& Name, const plat::Variant& Value)
{
    const int i = IndexOf(Name);
    TzdVariable* v = i < 0 ? static_cast<TzdVariable*>(Add()) : GetItem(i);
    if (i < 0)
        v->SetName(plat::VarToStr(Name));
    v->SetValue(Value);
}

TzdVariables* zdGlobalVariables()
{
    static TzdVariables* variables = new TzdVariables;
    return variables;
}
