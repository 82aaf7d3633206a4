#include "zdClass.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "Streams.h"
#include "SysUtils.h"
#include "zdClass_view.h"
#include "zdDataSets.h"
#include "zdRes.h"
#include "zdXML.h"
#include "zdXMLSerializer.h"

#include <QMutexLocker>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <utility>

PLAT_DEFINE_ENUM(TzdRestriction, "rfDontModify", "rfDontSize", "rfDontMove", "rfDontDelete", "rfDontEdit")
PLAT_DEFINE_SET(TzdRestrictions, TzdRestriction)
PLAT_DEFINE_ENUM(TzdObjectStyleFlag, "osContainer", "osPreviewCopy", "osFullAttributes", "osNestedProperties")
PLAT_DEFINE_SET(TzdObjectStyle, TzdObjectStyleFlag)

// TzdComponent publishes only the Name and Tag it inherits.
PLAT_DEFINE_CLASS(TzdComponent, c) {}

PLAT_DEFINE_CLASS(zd::TStringList, c) {}

namespace zd {

ReportDocument::~ReportDocument() = default;
TextObject::~TextObject() = default;

void TStringList::Assign(plat::TPersistent* Source)
{
    if (auto* list = dynamic_cast<plat::TStrings*>(Source)) {
        plat::TStringList::Assign(*list);
        return;
    }
    plat::TPersistent::Assign(Source);
}

ReportDocument* reportDocumentOf(const TzdComponent* Obj)
{
    for (const TzdComponent* c = Obj; c; c = c->Parent())
        if (auto* doc = dynamic_cast<ReportDocument*>(const_cast<TzdComponent*>(c)))
            return doc;
    return nullptr;
}

void appendDiffItem(QString& Out, const QString& Name, const QString& Value)
{
    Out += u' ';
    Out += Name;
    Out += QStringLiteral("=\"");
    Out += Value;
    Out += u'"';
}

QString diffBool(bool Value)
{
    return Value ? QStringLiteral("1") : QStringLiteral("0");
}

QString diffEscaped(const QString& Text)
{
    return QString::fromUtf8(zdXMLEscape(Text.toUtf8()));
}

} // namespace zd

namespace {

// Set by DesignCreate for the one constructor run it brackets.
thread_local bool t_designCreate = false;

constexpr long double kGeometryTolerance = 0.0001L;

plat::TComponent* platformOwnerFor(plat::TComponent* AOwner)
{
    if (auto* owner = dynamic_cast<TzdComponent*>(AOwner))
        return owner->GetReportComponent();
    return AOwner;
}

QString removeFirst(QString text, const QString& part)
{
    const qsizetype at = text.indexOf(part);
    if (at >= 0)
        text.remove(at, part.size());
    return text;
}

QString defaultNameStem(const QString& className)
{
    return removeFirst(removeFirst(className, QStringLiteral("Tzd")), QStringLiteral("View"));
}

// The Align property of views (TzdAlign), read through reflection so that
// any class publishing it takes part.
int alignOf(const TzdComponent* obj)
{
    const plat::TPropInfo* prop = obj->ClassType()->FindProperty(u"Align");
    if (!prop || !prop->PropType()->IsOrdinal())
        return baNone;
    return static_cast<int>(plat::GetOrdProp(obj, prop));
}

bool isView(const TzdComponent* obj)
{
    return obj->InheritsFrom(u"TzdView");
}

bool overlapsVertically(const TzdComponent* a, const TzdComponent* b)
{
    const long double top = std::max(a->GetAbsTop(), b->GetAbsTop());
    const long double bottom = std::min(a->GetAbsTop() + a->Height(), b->GetAbsTop() + b->Height());
    return bottom - top > kGeometryTolerance;
}

} // namespace

// ---------------------------------------------------------------------------
// Construction and destruction

TzdComponent::TzdComponent(plat::TComponent* AOwner) : plat::TComponent(platformOwnerFor(AOwner))
{
    DesignMode = std::exchange(t_designCreate, false);
    ResetToAncestor = false;
    m_objectStyle = TzdObjectStyle{osPreviewCopy};
    m_font = new plat::TFont();
    m_font->SetName(QStringLiteral("Arial"));
    m_font->SetPixelsPerInch(96);
    m_font->SetSize(10);
    m_font->SetColor(plat::clBlack);
    m_font->SetCharset(zd::kDefaultCharset);
    m_font->SetOwnerListener([this](plat::TGraphicsObject*) { FontChanged(); });
    m_visible = true;
    SetParentFont(true);
    if (auto* parent = dynamic_cast<TzdComponent*>(AOwner))
        SetParent(parent);
}

TzdComponent::~TzdComponent()
{
    // A template object and its prepared-pages copy point at each other;
    // whichever goes first leaves the other without a dangling link (a
    // report reloads its template after a run, while its store lives on).
    if (LinkedObject && LinkedObject->LinkedObject == this)
        LinkedObject->LinkedObject = nullptr;
    SetParent(nullptr);
    // Every child goes, inherited ones too: a kept child would point at a
    // parent that no longer exists.
    freeChildren(false);
    m_font->SetOwnerListener({});
    delete m_font;
}

TzdComponent* TzdComponent::DesignCreate(const plat::TClass* Class, plat::TComponent* AOwner, quint16 Flags)
{
    if (!Class || !Class->InheritsFrom(StaticClass()))
        throw plat::EInvalidOperation(QStringLiteral("Cannot create a report object of this class"));
    t_designCreate = true;
    plat::TComponent* created = nullptr;
    try {
        created = Class->CreateComponent(AOwner);
    } catch (...) {
        t_designCreate = false;
        throw;
    }
    t_designCreate = false;
    auto* obj = static_cast<TzdComponent*>(created);
    obj->ApplyDesignFlags(Flags);
    return obj;
}

void TzdComponent::ApplyDesignFlags(quint16) {}

// ---------------------------------------------------------------------------
// Tree

void TzdComponent::SetParent(TzdComponent* Value)
{
    if (Value != m_parent) {
        for (TzdComponent* p = Value; p; p = p->m_parent)
            if (p == this)
                throw plat::EInvalidOperation(QStringLiteral("An object cannot be placed inside itself"));
        if (m_parent) {
            auto& siblings = m_parent->m_children;
            siblings.erase(std::find(siblings.begin(), siblings.end(), this));
        }
        if (Value)
            Value->m_children.push_back(this);
    }
    m_parent = Value;
    if (Value)
        SetParentFont(m_parentFont);
}

void TzdComponent::freeChildren(bool keepInherited)
{
    std::vector<TzdComponent*> children;
    children.swap(m_children);
    std::vector<TzdComponent*> kept;
    for (TzdComponent* child : children) {
        if (keepInherited && child->ComponentState().contains(plat::csAncestor)) {
            kept.push_back(child);
            continue;
        }
        child->m_parent = nullptr;
        delete child;
    }
    // Children that freeing the others brought in stay after the kept ones.
    kept.insert(kept.end(), m_children.begin(), m_children.end());
    m_children = std::move(kept);
}

void TzdComponent::Clear()
{
    freeChildren(true);
    for (TzdComponent* child : std::vector<TzdComponent*>(m_children))
        child->Clear();
}

void TzdComponent::collectAll(std::vector<TzdComponent*>& list) const
{
    for (TzdComponent* child : m_children) {
        list.push_back(child);
        child->collectAll(list);
    }
}

const std::vector<TzdComponent*>& TzdComponent::AllObjects() const
{
    m_allObjects.clear();
    collectAll(m_allObjects);
    return m_allObjects;
}

TzdComponent* TzdComponent::findByName(const QString& name) const
{
    for (TzdComponent* child : m_children) {
        if (plat::sameName(child->Name(), name))
            return child;
        if (TzdComponent* found = child->findByName(name))
            return found;
    }
    return nullptr;
}

TzdComponent* TzdComponent::FindObject(const QString& s) const
{
    return findByName(s);
}

// ---------------------------------------------------------------------------
// Geometry

void TzdComponent::SetLeft(long double Value)
{
    if (!(DesignMode && m_restrictions.contains(rfDontMove)))
        m_left = Value;
}

void TzdComponent::SetTop(long double Value)
{
    if (!(DesignMode && m_restrictions.contains(rfDontMove)))
        m_top = Value;
}

void TzdComponent::SetWidth(long double Value)
{
    if (!(DesignMode && m_restrictions.contains(rfDontSize)))
        m_width = Value;
}

void TzdComponent::SetHeight(long double Value)
{
    if (!(DesignMode && m_restrictions.contains(rfDontSize)))
        m_height = Value;
}

void TzdComponent::SetBounds(long double ALeft, long double ATop, long double AWidth, long double AHeight)
{
    SetLeft(ALeft);
    SetTop(ATop);
    SetWidth(AWidth);
    SetHeight(AHeight);
}

long double TzdComponent::GetAbsLeft() const
{
    long double result = m_left;
    for (const TzdComponent* p = m_parent; p && !p->InheritsFrom(u"TzdDialogPage"); p = p->m_parent)
        result += p->m_left;
    return result;
}

long double TzdComponent::GetAbsTop() const
{
    long double result = m_top;
    for (const TzdComponent* p = m_parent; p && !p->InheritsFrom(u"TzdDialogPage"); p = p->m_parent)
        result += p->m_top;
    return result;
}

// ---------------------------------------------------------------------------
// Font

void TzdComponent::SetFont(plat::TFont* Value)
{
    if (Value)
        m_font->Assign(Value);
    m_parentFont = false;
}

void TzdComponent::SetParentFont(bool Value)
{
    if (Value && m_parent)
        SetFont(m_parent->Font());
    m_parentFont = Value;
}

void TzdComponent::FontChanged()
{
    m_parentFont = false;
    for (TzdComponent* child : std::vector<TzdComponent*>(m_children))
        if (child->ParentFont())
            child->SetParentFont(true);
}

void TzdComponent::SetVisible(bool Value)
{
    m_visible = Value;
}

// ---------------------------------------------------------------------------
// Report, names, lookup

TzdComponent* TzdComponent::GetReportComponent() const
{
    zd::ReportDocument* doc = zd::reportDocumentOf(this);
    return doc ? doc->ReportComponent() : nullptr;
}

TzdReport* TzdComponent::GetReport() const
{
    zd::ReportDocument* doc = zd::reportDocumentOf(this);
    return doc ? doc->Report() : nullptr;
}

TzdComponent* TzdComponent::GetPage() const
{
    for (const TzdComponent* c = this; c; c = c->m_parent)
        if (c->InheritsFrom(u"TzdPage"))
            return const_cast<TzdComponent*>(c);
    return nullptr;
}

bool TzdComponent::IsLoading() const
{
    return StreamLoading || ComponentState().contains(plat::csLoading);
}

bool TzdComponent::IsAncestor() const
{
    return ComponentState().contains(plat::csAncestor) || FromAncestor;
}

QString TzdComponent::ClassDisplayName() const
{
    return ClassName();
}

TzdDataSet* TzdComponent::FindDataSet(TzdDataSet* Default, const QString& Name) const
{
    zd::ReportDocument* doc = zd::reportDocumentOf(this);
    if (!doc || doc->GlobalDataSetLookup())
        return zdFindGlobalDataSet(Default, Name, doc ? doc->ReportComponent() : nullptr);
    return doc->FindReportDataSet(Name);
}

void TzdComponent::linkDataSet(TzdDataSet*& Link, TzdDataSet* Value)
{
    if (Link == Value)
        return;
    if (Link)
        Link->RemoveFreeNotification(this);
    Link = Value;
    if (Link)
        Link->FreeNotification(this);
}

void TzdComponent::SetName(const QString& NewName)
{
    if (plat::sameName(NewName, Name()))
        return;
    if (!NewName.isEmpty()) {
        if (TzdComponent* report = GetReportComponent()) {
            TzdComponent* other = report->FindObject(NewName);
            if (other && other != this)
                throw plat::EDuplicateName(zdGetResources()->GetText(QStringLiteral("prDupl")));
            if (IsAncestor())
                throw plat::Exception(
                    plat::Format(zdGetResources()->GetText(QStringLiteral("clCantRen")), {Name()}));
        }
    }
    inherited::SetName(NewName);
}

void TzdComponent::CreateUniqueName()
{
    QSet<QString> names;
    const TzdComponent* scope = GetReportComponent();
    if (!scope)
        scope = m_parent;
    if (scope)
        for (const TzdComponent* obj : scope->AllObjects())
            if (!obj->Name().isEmpty())
                names.insert(plat::foldName(obj->Name()));
    const QString stem = NameStem.isEmpty() ? defaultNameStem(ClassName()) : NameStem;
    for (int i = 1;; ++i) {
        const QString candidate = stem + QString::number(i);
        if (!names.contains(plat::foldName(candidate))) {
            SetName(candidate);
            return;
        }
    }
}

// ---------------------------------------------------------------------------
// Copying and streaming

void TzdComponent::Assign(plat::TPersistent* Source)
{
    auto* source = dynamic_cast<TzdComponent*>(Source);
    if (!source) {
        inherited::Assign(Source);
        return;
    }
    plat::TMemoryStream stream;
    source->SaveToStream(stream, false, true);
    stream.SetPosition(0);
    // The stream holds no children, so this object keeps its own: a load
    // that cleared them would lose them.
    loadFrom(stream, false);
}

void TzdComponent::AssignAll(TzdComponent* Source, bool IgnoreAncestry)
{
    if (!Source)
        return;
    plat::TMemoryStream stream;
    Source->SaveToStream(stream, true, true, IgnoreAncestry);
    stream.SetPosition(0);
    LoadFromStream(stream);
}

void TzdComponent::GetChildren(const std::function<void(plat::TComponent*)>& Proc, plat::TComponent*)
{
    if (auto* doc = dynamic_cast<zd::ReportDocument*>(this); doc && !doc->StoreInDFM())
        return;
    for (TzdComponent* child : std::vector<TzdComponent*>(m_children))
        Proc(child);
}

namespace {

// Points the report's current-serializer reference at a serializer for the
// duration of one read or write, and puts the previous one back.
class CurrentSerializerScope {
public:
    CurrentSerializerScope(zd::ReportDocument* doc, TzdXMLSerializer* serializer) : m_doc(doc)
    {
        if (m_doc) {
            m_previous = m_doc->CurrentSerializer();
            m_doc->SetCurrentSerializer(serializer);
        }
    }
    ~CurrentSerializerScope()
    {
        if (m_doc)
            m_doc->SetCurrentSerializer(m_previous);
    }
    CurrentSerializerScope(const CurrentSerializerScope&) = delete;
    CurrentSerializerScope& operator=(const CurrentSerializerScope&) = delete;

private:
    zd::ReportDocument* m_doc;
    TzdXMLSerializer* m_previous = nullptr;
};

QStringList listOf(const plat::TStrings& strings)
{
    QStringList result;
    for (int i = 0; i < strings.Count(); ++i)
        result += strings.Strings(i);
    return result;
}

} // namespace

void TzdComponent::LoadFromStream(plat::TStream& Stream)
{
    loadFrom(Stream, !ResetToAncestor);
}

void TzdComponent::loadFrom(plat::TStream& Stream, bool clearFirst)
{
    if (clearFirst)
        Clear();
    zd::ReportDocument* doc = zd::reportDocumentOf(this);
    TzdXMLSerializer serializer(&Stream);
    serializer.HandleNestedProperties = true;
    if (doc) {
        serializer.OnGetCustomData = doc->CustomDataReader();
        serializer.Owner = doc->ReportComponent();
    }
    CurrentSerializerScope scope(doc, &serializer);
    auto passErrors = [&] {
        if (doc && serializer.Errors().Count() > 0)
            doc->AddErrors(listOf(serializer.Errors()));
    };
    try {
        if (doc && doc->ThreadSafeMode()) {
            QMutexLocker lock(&zdClassLock());
            serializer.ReadRootComponent(this);
        } else {
            serializer.ReadRootComponent(this);
        }
    } catch (...) {
        // What was collected before the failure is not lost.
        passErrors();
        throw;
    }
    passErrors();
}

void TzdComponent::SaveToStream(plat::TStream& Stream, bool SaveChildren, bool SaveDefaultValues,
                                bool IgnoreAncestry)
{
    zd::ReportDocument* doc = zd::reportDocumentOf(this);
    TzdXMLSerializer serializer(&Stream);
    serializer.HandleNestedProperties = true;
    serializer.AncestorOnly = ResetToAncestor;
    serializer.SerializeDefaultValues = SaveDefaultValues;
    if (doc) {
        serializer.Owner = doc->ReportComponent();
        const bool isReport = doc->ReportComponent() == this;
        if (isReport || ResetToAncestor)
            serializer.OnGetAncestor = [doc](const QString& name) { return doc->FindAncestorObject(name); };
        if (isReport && !ResetToAncestor)
            serializer.OnSaveCustomData = doc->CustomDataWriter();
    }
    CurrentSerializerScope scope(doc, &serializer);
    serializer.WriteRootComponent(this, SaveChildren, nullptr, IgnoreAncestry);
}

// ---------------------------------------------------------------------------
// Hooks with empty defaults

void TzdComponent::NotifyDataRow(TzdComponent*) {}
void TzdComponent::WriteNestedProperties(TzdXMLItem*) {}
bool TzdComponent::ReadNestedProperty(TzdXMLItem*) { return false; }
bool TzdComponent::ContainerAdd(TzdComponent*) { return false; }
bool TzdComponent::ContainerMouseDown(plat::TObject*, int, int) { return false; }
void TzdComponent::ContainerMouseMove(plat::TObject*, int, int) {}
void TzdComponent::ContainerMouseUp(plat::TObject*, int, int) {}

// ---------------------------------------------------------------------------
// Difference texts

QString TzdComponent::DiffAttributes(TzdComponent* Reference)
{
    return DiffBasic(Reference);
}

QString TzdComponent::DiffFont(plat::TFont* Font, plat::TFont* ReferenceFont, const QString& Prefix)
{
    QString out;
    if (!Font || !ReferenceFont)
        return out;
    if (Font->Name() != ReferenceFont->Name())
        zd::appendDiffItem(out, Prefix + QStringLiteral("Font.Name"), zd::diffEscaped(Font->Name()));
    if (Font->Size() != ReferenceFont->Size())
        zd::appendDiffItem(out, Prefix + QStringLiteral("Font.Size"), QString::number(Font->Size()));
    if (Font->Color() != ReferenceFont->Color())
        zd::appendDiffItem(out, Prefix + QStringLiteral("Font.Color"), QString::number(Font->Color()));
    if (Font->Style().mask() != ReferenceFont->Style().mask())
        zd::appendDiffItem(out, Prefix + QStringLiteral("Font.Style"), QString::number(Font->Style().mask()));
    if (Font->Charset() != ReferenceFont->Charset())
        zd::appendDiffItem(out, Prefix + QStringLiteral("Font.Charset"), QString::number(Font->Charset()));
    return out;
}

QString TzdComponent::DiffBasic(TzdComponent* Reference)
{
    QString out;
    if (!Reference)
        return out;
    if (zdFloatDiff(m_left, Reference->m_left))
        zd::appendDiffItem(out, QStringLiteral("l"), zd::floatText(m_left));
    if (zdFloatDiff(m_top, Reference->m_top) || InheritsFrom(u"TzdBand"))
        zd::appendDiffItem(out, QStringLiteral("t"), zd::floatText(m_top));
    bool autoWidth = false;
    if (InheritsFrom(u"TzdCustomMemoView"))
        if (const plat::TPropInfo* prop = ClassType()->FindProperty(u"AutoWidth"))
            autoWidth = plat::GetOrdProp(this, prop) != 0;
    if (!autoWidth && zdFloatDiff(m_width, Reference->m_width))
        zd::appendDiffItem(out, QStringLiteral("w"), zd::floatText(m_width));
    if (zdFloatDiff(m_height, Reference->m_height))
        zd::appendDiffItem(out, QStringLiteral("h"), zd::floatText(m_height));
    if (m_visible != Reference->m_visible)
        zd::appendDiffItem(out, QStringLiteral("Visible"), zd::diffBool(m_visible));
    if (!m_parentFont)
        out += DiffFont(m_font, Reference->m_font, QString());
    if (m_parentFont != Reference->m_parentFont)
        zd::appendDiffItem(out, QStringLiteral("ParentFont"), zd::diffBool(m_parentFont));
    if (Tag() != Reference->Tag())
        zd::appendDiffItem(out, QStringLiteral("Tag"), QString::number(Tag()));
    return out;
}

QString TzdComponent::DiffFull(TzdComponent* Reference)
{
    return QString::fromUtf8(DiffFullText(Reference));
}

QByteArray TzdComponent::DiffFullText(TzdComponent* Reference)
{
    TzdXMLSerializer serializer(nullptr);
    serializer.Owner = GetReportComponent();
    QByteArray out = serializer.PropertiesToText(this, QByteArray(), nullptr);
    QString rest;
    if (Reference)
        rest += DiffBasic(Reference);
    if (InheritsFrom(u"TzdNullBand")) {
        zd::appendDiffItem(rest, QStringLiteral("l"), zd::floatText(m_left));
        zd::appendDiffItem(rest, QStringLiteral("t"), zd::floatText(m_top));
    }
    if (!rest.isEmpty())
        out += rest.toUtf8();
    return out;
}

// ---------------------------------------------------------------------------
// Alignment of child views

void TzdComponent::AlignChildren()
{
    struct Entry {
        TzdComponent* obj;
        int align;
        int index;
        long double key;
    };
    std::vector<Entry> order;
    for (int i = 0; i < ChildCount(); ++i) {
        TzdComponent* child = m_children[static_cast<size_t>(i)];
        if (!isView(child) || !child->Visible())
            continue;
        const int align = alignOf(child);
        if (align == baHidden)
            continue;
        order.push_back({child, align, i, std::nearbyint(child->Left() * 100.0L) / 100.0L});
    }
    std::sort(order.begin(), order.end(), [](const Entry& a, const Entry& b) {
        if (a.key != b.key)
            return a.key < b.key;
        return a.index > b.index; // a later child first among equals
    });

    const int count = static_cast<int>(order.size());
    for (int i = 0; i < count; ++i) {
        const Entry& e = order[static_cast<size_t>(i)];
        if (e.align != baLeft && e.align != baWidth)
            continue;
        TzdComponent* neighbour = nullptr;
        for (int j = i - 1; j >= 0 && !neighbour; --j) {
            TzdComponent* candidate = order[static_cast<size_t>(j)].obj;
            if (e.align == baWidth && candidate->Left() > e.obj->Left())
                continue;
            if (overlapsVertically(candidate, e.obj))
                neighbour = candidate;
        }
        e.obj->SetLeft(neighbour ? neighbour->Left() + neighbour->Width() : 0);
    }

    for (int i = count - 1; i >= 0; --i) {
        const Entry& e = order[static_cast<size_t>(i)];
        if (e.align != baRight && e.align != baWidth)
            continue;
        TzdComponent* neighbour = nullptr;
        for (int j = i + 1; j < count && !neighbour; ++j) {
            TzdComponent* candidate = order[static_cast<size_t>(j)].obj;
            if (e.align == baWidth && candidate->Left() + candidate->Width() < e.obj->Left() + e.obj->Width())
                continue;
            if (overlapsVertically(candidate, e.obj))
                neighbour = candidate;
        }
        if (e.align == baRight)
            e.obj->SetLeft(neighbour ? neighbour->Left() - e.obj->Width() : m_width - e.obj->Width());
        else
            e.obj->SetWidth(neighbour ? neighbour->Left() - e.obj->Left() : m_width - e.obj->Left());
    }

    for (TzdComponent* child : std::vector<TzdComponent*>(m_children)) {
        if (!isView(child))
            continue;
        switch (alignOf(child)) {
        case baCenter:
            child->SetLeft((m_width - child->Width()) / 2);
            break;
        case baBottom:
            child->SetTop(m_height - child->Height());
            break;
        case baClient:
            child->SetLeft(0);
            child->SetTop(0);
            child->SetWidth(m_width);
            child->SetHeight(m_height);
            break;
        default:
            break;
        }
    }
}

// ---------------------------------------------------------------------------
// Unit functions

long double zdRound8(long double X)
{
    return std::nearbyint(X * 1e8L) / 1e8L;
}

bool zdFloatDiff(long double A, long double B)
{
    return std::fabs(A - B) > kGeometryTolerance;
}

QRecursiveMutex& zdClassLock()
{
    static QRecursiveMutex lock;
    return lock;
}

QString zdGetFullName(TzdComponent* Report, plat::TComponent* Component)
{
    if (!Component)
        return {};
    plat::TComponent* owner = Component->Owner();
    if (!owner || owner == Report || (Report && owner == Report->Owner()))
        return Component->Name();
    // Owners outside the report model are the program's forms and modules.
    if (!dynamic_cast<TzdComponent*>(owner) && !owner->Name().isEmpty())
        return owner->Name() + u'.' + Component->Name();
    return {};
}

plat::TComponent* zdFindComponent(plat::TComponent* Owner, const QString& Name)
{
    if (!Owner || Name.isEmpty())
        return nullptr;
    try {
        const QStringList parts = Name.split(u'.');
        if (parts.size() == 1) {
            if (plat::TComponent* found = Owner->FindComponent(Name))
                return found;
            if (dynamic_cast<zd::ReportDocument*>(Owner) && Owner->Owner())
                return Owner->Owner()->FindComponent(Name);
            return nullptr;
        }
        // Form.Component (and Form.Frame.Component): the form is a component
        // known to the report's or the owner's owner.
        plat::TComponent* scope = Owner->Owner() ? Owner->Owner() : Owner;
        plat::TComponent* current = plat::sameName(scope->Name(), parts[0]) ? scope : scope->FindComponent(parts[0]);
        for (qsizetype i = 1; current && i < parts.size(); ++i)
            current = current->FindComponent(parts[i]);
        return current;
    } catch (const plat::Exception&) {
        throw plat::EClassNotFound(QStringLiteral("Missing ") + Name);
    }
}
