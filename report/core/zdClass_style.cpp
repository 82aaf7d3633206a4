#include "zdClass_style.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "StringList.h"
#include "Streams.h"
#include "zdClass.h"
#include "zdClass_memo.h"
#include "zdRes.h"
#include "zdUtils.h"
#include "zdXML.h"
#include "zdXMLSerializer.h"

PLAT_DEFINE_CLASS(TzdStyleItem, c)
{
    c.property("Name", &TzdStyleItem::Name, &TzdStyleItem::SetName);
    c.property<plat::ti::TColor>("Color", &TzdStyleItem::Color, &TzdStyleItem::SetColor).stored(false);
    c.property("Font", &TzdStyleItem::Font, &TzdStyleItem::SetFont);
    c.property("Frame", &TzdStyleItem::Frame, &TzdStyleItem::SetFrame);
    c.property("ApplyFont", &TzdStyleItem::ApplyFont).defaultValue(true);
    c.property("ApplyFill", &TzdStyleItem::ApplyFill).defaultValue(true);
    c.property("ApplyFrame", &TzdStyleItem::ApplyFrame).defaultValue(true);
    // Before Fill: reading replaces the fill by one of the stored kind first.
    c.property("FillType", &TzdStyleItem::FillType, &TzdStyleItem::SetFillType).defaultValue(ftBrush);
    c.property("Fill", &TzdStyleItem::Fill, &TzdStyleItem::SetFill);
}

PLAT_DEFINE_CLASS(TzdStyles, c) { (void)c; }

namespace {

constexpr int kStyleFontSize = 10;
const QByteArray kStyleElement = QByteArrayLiteral("style");
const QByteArray kItemElement = QByteArrayLiteral("item");
const QByteArray kSheetElement = QByteArrayLiteral("stylesheet");

bool sameName(const QByteArray& a, const QByteArray& b)
{
    return plat::SameText(QString::fromLatin1(a), QString::fromLatin1(b));
}

// A document read whole from the stream; parser errors pass to the caller.
std::unique_ptr<TzdXMLDocument> readDocument(plat::TStream& stream)
{
    auto doc = std::make_unique<TzdXMLDocument>();
    doc->LoadFromStream(stream);
    return doc;
}

} // namespace

// ---------------------------------------------------------------------------
// Style item

TzdStyleItem::TzdStyleItem(plat::TCollection* Collection)
    : TzdCollectionItem(Collection)
    , m_font(new plat::TFont)
    , m_frame(new TzdFrame)
    , m_fill(new TzdBrushFill)
{
    m_font->SetName(QStringLiteral("Arial"));
    m_font->SetPixelsPerInch(96);
    m_font->SetSize(kStyleFontSize);
    m_font->SetCharset(zd::kDefaultCharset);
}

TzdStyleItem::~TzdStyleItem()
{
    delete m_font;
    delete m_frame;
    delete m_fill;
}

void TzdStyleItem::Assign(plat::TPersistent* Source)
{
    auto* s = dynamic_cast<TzdStyleItem*>(Source);
    if (!s)
        return;
    m_name = s->m_name;
    SetFill(s->m_fill);
    m_font->Assign(s->m_font);
    m_frame->Assign(s->m_frame);
    ApplyFont = s->ApplyFont;
    ApplyFill = s->ApplyFill;
    ApplyFrame = s->ApplyFrame;
    IsInherited = s->IsInherited;
}

QString TzdStyleItem::GetInheritedName() const
{
    return m_name.isEmpty() ? TzdCollectionItem::GetInheritedName() : m_name;
}

void TzdStyleItem::SetName(const QString& Value)
{
    if (auto* set = dynamic_cast<TzdStyles*>(Collection()))
        for (int i = 0; i < set->Count(); ++i) {
            TzdStyleItem* other = set->Items(i);
            if (other != this && plat::AnsiSameText(other->m_name, Value))
                throw plat::Exception(zdGetResources()->GetText(QStringLiteral("clDupName")));
        }
    m_name = Value;
}

void TzdStyleItem::MakeUniqueName()
{
    auto* set = dynamic_cast<TzdStyles*>(Collection());
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("Style%1").arg(n);
        if (!set || !set->Find(name)) {
            SetName(name);
            return;
        }
    }
}

void TzdStyleItem::SetFont(plat::TFont* Value)
{
    m_font->Assign(Value);
}

void TzdStyleItem::SetFrame(TzdFrame* Value)
{
    m_frame->Assign(Value);
}

TzdFillType TzdStyleItem::FillType() const
{
    return zdGetFillType(m_fill);
}

void TzdStyleItem::SetFillType(TzdFillType Value)
{
    zd::setFillKind(m_fill, Value);
}

void TzdStyleItem::SetFill(TzdCustomFill* Value)
{
    if (!Value)
        return;
    SetFillType(zdGetFillType(Value));
    m_fill->Assign(Value);
}

plat::TColor TzdStyleItem::Color() const
{
    if (auto* gradient = dynamic_cast<TzdGradientFill*>(m_fill))
        return zdGradientMidColor(gradient);
    return zd::brushBackColor(m_fill);
}

void TzdStyleItem::SetColor(plat::TColor Value)
{
    zd::setBrushBackColor(m_fill, Value);
}

// ---------------------------------------------------------------------------
// Style set

TzdStyles::TzdStyles(TzdComponent* Report) : TzdCollection(TzdStyleItem::StaticClass()), m_report(Report) {}

TzdStyleItem* TzdStyles::Add()
{
    return static_cast<TzdStyleItem*>(TzdCollection::Add());
}

TzdStyleItem* TzdStyles::Items(int Index) const
{
    return static_cast<TzdStyleItem*>(TzdCollection::Items(Index));
}

TzdStyleItem* TzdStyles::Find(const QString& Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (plat::AnsiSameText(Items(i)->Name(), Name))
            return Items(i);
    return nullptr;
}

void TzdStyles::GetList(plat::TStrings& List) const
{
    List.Clear();
    for (int i = 0; i < Count(); ++i)
        List.Add(Items(i)->Name());
}

void TzdStyles::Apply()
{
    if (!m_report)
        return;
    // A copy: restyling touches no child list, but stays safe if it did.
    const std::vector<TzdComponent*> objects = m_report->AllObjects();
    for (TzdComponent* obj : objects)
        if (auto* memo = dynamic_cast<TzdCustomMemoView*>(obj))
            memo->SetStyle(Find(memo->Style()) ? memo->Style() : QString());
}

void TzdStyles::readItems(TzdXMLItem* Item, bool OldFormat)
{
    Clear();
    TzdXMLSerializer serializer(nullptr);
    serializer.OldFormat = OldFormat;
    const QByteArray name = Item->GetAttr(QByteArrayLiteral("Name"));
    Name = OldFormat ? zd::decodeFileText(name) : QString::fromUtf8(name);
    for (int i = 0; i < Item->Count(); ++i) {
        TzdXMLItem* child = Item->GetItem(i);
        if (sameName(child->Name, kItemElement))
            serializer.TextToProperties(child->Text, Add());
    }
    // Duplicate names met while reading stay among the serializer's errors,
    // which go with it: the item keeps no name.
}

void TzdStyles::ReadXMLItem(TzdXMLItem* Item, bool OldFormat)
{
    readItems(Item, OldFormat);
    Apply();
}

void TzdStyles::WriteXMLItem(TzdXMLItem* Item)
{
    Item->Name = kStyleElement;
    Item->SetAttr(QByteArrayLiteral("Name"), Name.toUtf8());
    TzdXMLSerializer serializer(nullptr);
    for (int i = 0; i < Count(); ++i) {
        TzdXMLItem* child = Item->Add();
        child->Name = kItemElement;
        child->Text = serializer.PropertiesToText(Items(i), QByteArray(), nullptr);
    }
}

void TzdStyles::LoadFromFile(const QString& FileName)
{
    plat::TFileStream stream(FileName, plat::fmOpenRead | plat::fmShareDenyWrite);
    LoadFromStream(stream);
}

void TzdStyles::LoadFromStream(plat::TStream& Stream)
{
    // Read into a set of our own first: a damaged file keeps the styles.
    const std::unique_ptr<TzdXMLDocument> doc = readDocument(Stream);
    TzdStyles loaded(nullptr);
    TzdXMLItem* root = doc->Root();
    if (sameName(root->Name, kStyleElement))
        loaded.readItems(root, doc->OldVersion);
    Clear();
    Name = loaded.Name;
    for (int i = 0; i < loaded.Count(); ++i)
        Add()->Assign(loaded.Items(i));
    if (sameName(root->Name, kStyleElement))
        Apply();
}

void TzdStyles::SaveToFile(const QString& FileName)
{
    zd::writeFileAtomically(FileName, [this](plat::TStream& stream) { SaveToStream(stream); });
}

void TzdStyles::SaveToStream(plat::TStream& Stream)
{
    TzdXMLDocument doc;
    doc.AutoIndent = true;
    WriteXMLItem(doc.Root());
    doc.SaveToStream(Stream);
}

// ---------------------------------------------------------------------------
// Style sheet

TzdStyleSheet::TzdStyleSheet() = default;

TzdStyleSheet::~TzdStyleSheet()
{
    Clear();
}

void TzdStyleSheet::Clear()
{
    while (!m_sets.empty())
        Delete(0);
}

void TzdStyleSheet::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        throw plat::EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    m_sets.erase(m_sets.begin() + Index);
}

TzdStyles* TzdStyleSheet::Add()
{
    m_sets.push_back(std::make_unique<TzdStyles>(nullptr));
    return m_sets.back().get();
}

TzdStyles* TzdStyleSheet::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw plat::EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return m_sets[size_t(Index)].get();
}

TzdStyles* TzdStyleSheet::Find(const QString& Name) const
{
    for (const auto& set : m_sets)
        if (plat::AnsiSameText(set->Name, Name))
            return set.get();
    return nullptr;
}

void TzdStyleSheet::GetList(plat::TStrings& List) const
{
    List.Clear();
    for (const auto& set : m_sets)
        List.Add(set->Name);
}

void TzdStyleSheet::LoadFromFile(const QString& FileName)
{
    plat::TFileStream stream(FileName, plat::fmOpenRead | plat::fmShareDenyWrite);
    LoadFromStream(stream);
}

void TzdStyleSheet::LoadFromStream(plat::TStream& Stream)
{
    // A damaged file raises before the sheet changes.
    const std::unique_ptr<TzdXMLDocument> doc = readDocument(Stream);
    Clear();
    TzdXMLItem* root = doc->Root();
    if (!sameName(root->Name, kSheetElement))
        return;
    for (int i = 0; i < root->Count(); ++i) {
        TzdXMLItem* child = root->GetItem(i);
        if (sameName(child->Name, kStyleElement))
            Add()->ReadXMLItem(child, doc->OldVersion);
    }
}
