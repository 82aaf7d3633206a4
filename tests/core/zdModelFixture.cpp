#include "zdModelFixture.h"

#include "CodePage.h"
#include "Streams.h"
#include "zdDsgnIntf.h"
#include "zdXMLSerializer.h"

namespace zdtest {

PLAT_DEFINE_ENUM(TTestFrameLine, "ftLeft", "ftRight", "ftTop", "ftBottom")
PLAT_DEFINE_SET(TTestFrameLines, TTestFrameLine)
PLAT_DEFINE_ENUM(TTestHAlign, "haLeft", "haRight", "haCenter", "haBlock")

} // namespace zdtest

using namespace zdtest;

PLAT_DEFINE_CLASS(zdtest::TzdTestFrame, c)
{
    c.property("Typ", &TzdTestFrame::Typ).defaultValue(TTestFrameLines{});
    c.property("Width", &TzdTestFrame::Width);
    c.property<plat::ti::TColor>("Color", &TzdTestFrame::Color).defaultValue(plat::clBlack);
}

PLAT_DEFINE_CLASS(zdtest::TzdTestFill, c)
{
    c.property<plat::ti::TColor>("BackColor", &TzdTestFill::BackColor).defaultValue(plat::clNone);
    c.property("Style", &TzdTestFill::Style).defaultValue(plat::bsSolid);
}

PLAT_DEFINE_CLASS(zdtest::TzdTestHighlight, c)
{
    c.property("Condition", &TzdTestHighlight::Condition);
    c.property<plat::ti::TColor>("Color", &TzdTestHighlight::Color).defaultValue(plat::clNone);
}

PLAT_DEFINE_CLASS(zdtest::TzdTestMemo, c)
{
    c.property("Left", &TzdComponent::Left, &TzdComponent::SetLeft);
    c.property("Top", &TzdComponent::Top, &TzdComponent::SetTop);
    c.property("Width", &TzdComponent::Width, &TzdComponent::SetWidth);
    c.property("Height", &TzdComponent::Height, &TzdComponent::SetHeight);
    c.property("Font", &TzdComponent::Font, &TzdComponent::SetFont).stored(&TzdComponent::IsFontStored);
    c.property("ParentFont", &TzdComponent::ParentFont, &TzdComponent::SetParentFont).defaultValue(true);
    c.property("Visible", &TzdComponent::Visible, &TzdComponent::SetVisible).defaultValue(true);
    c.property("Restrictions", &TzdComponent::Restrictions, &TzdComponent::SetRestrictions)
        .defaultValue(TzdRestrictions{});
    c.property("Description", &TzdComponent::Description, &TzdComponent::SetDescription);
    c.property("AutoWidth", &TzdTestMemo::AutoWidth).defaultValue(false);
    c.property("HAlign", &TzdTestMemo::HAlign).defaultValue(haLeft);
    c.property("Frame", &TzdTestMemo::Frame, &TzdTestMemo::SetFrame);
    c.property("Fill", &TzdTestMemo::Fill, &TzdTestMemo::SetFill);
    c.property("Hints", &TzdTestMemo::Hints, &TzdTestMemo::SetHints);
    c.property("DataSet", &TzdTestMemo::DataSet, &TzdTestMemo::SetDataSet);
    c.property("Big", &TzdTestMemo::Big);
}

PLAT_DEFINE_CLASS(zdtest::TzdTestPage, c)
{
    c.property("Font", &TzdComponent::Font, &TzdComponent::SetFont);
    c.property("Visible", &TzdComponent::Visible, &TzdComponent::SetVisible).defaultValue(true);
    c.property("Width", &TzdComponent::Width, &TzdComponent::SetWidth);
    c.property("Height", &TzdComponent::Height, &TzdComponent::SetHeight);
}

PLAT_DEFINE_CLASS(zdtest::TzdTestBand, c)
{
    c.property("Left", &TzdComponent::Left, &TzdComponent::SetLeft);
    c.property("Top", &TzdComponent::Top, &TzdComponent::SetTop);
    c.property("Width", &TzdComponent::Width, &TzdComponent::SetWidth);
    c.property("Height", &TzdComponent::Height, &TzdComponent::SetHeight);
}

PLAT_DEFINE_CLASS(zdtest::TzdTestReport, c)
{
    c.property("ReportName", &TzdTestReport::ReportName);
    c.property("DataSet", &TzdTestReport::DataSet, &TzdTestReport::SetDataSet);
    c.property("ScriptText", &TzdTestReport::ScriptText, &TzdTestReport::SetScriptText);
}

namespace zdtest {

void TzdTestFrame::Assign(plat::TPersistent* Source)
{
    if (auto* s = dynamic_cast<TzdTestFrame*>(Source)) {
        Typ = s->Typ;
        Width = s->Width;
        Color = s->Color;
        return;
    }
    plat::TPersistent::Assign(Source);
}

void TzdTestFill::Assign(plat::TPersistent* Source)
{
    if (auto* s = dynamic_cast<TzdTestFill*>(Source)) {
        BackColor = s->BackColor;
        Style = s->Style;
        return;
    }
    plat::TPersistent::Assign(Source);
}

TzdTestMemo::TzdTestMemo(plat::TComponent* AOwner)
    : TzdComponent(AOwner), m_frame(new TzdTestFrame), m_fill(new TzdTestFill), m_hints(new zd::TStringList),
      m_highlights(new TzdCollection(TzdTestHighlight::StaticClass()))
{
}

TzdTestMemo::~TzdTestMemo()
{
    delete m_frame;
    delete m_fill;
    delete m_hints;
    delete m_highlights;
}

void TzdTestMemo::SetDataSet(TzdDataSet* Value)
{
    if (m_dataSet)
        m_dataSet->RemoveFreeNotification(this);
    m_dataSet = Value;
    if (m_dataSet)
        m_dataSet->FreeNotification(this);
}

void TzdTestMemo::Notification(plat::TComponent* AComponent, plat::TOperation Operation)
{
    TzdComponent::Notification(AComponent, Operation);
    if (Operation == plat::opRemove && AComponent == m_dataSet)
        m_dataSet = nullptr;
}

void TzdTestMemo::DefineProperties(plat::TFiler& Filer)
{
    TzdComponent::DefineProperties(Filer);
    Filer.DefineProperty(
        QStringLiteral("Highlights"),
        [this](plat::TReader& r) { zdReadCollection(m_highlights, r, this); },
        [this](plat::TWriter& w) { zdWriteCollection(m_highlights, w, this); }, m_highlights->Count() > 0);
}

TzdTestPage::TzdTestPage(plat::TComponent* AOwner) : TzdComponent(AOwner) {}

TzdTestReport::TzdTestReport(plat::TComponent* AOwner) : TzdComponent(AOwner), m_script(new zd::TStringList)
{
    SetObjectStyle(ObjectStyle() + TzdObjectStyle{osNestedProperties});
    ErrorList.SetSorted(true);
    ErrorList.SetDuplicates(plat::dupIgnore);
}

TzdTestReport::~TzdTestReport()
{
    // Children first, while the report still answers as a document.
    Clear();
    for (TzdComponent* c : std::vector<TzdComponent*>(Children()))
        delete c;
    delete m_script;
}

void TzdTestReport::AddErrors(const QStringList& Errors)
{
    for (const QString& e : Errors)
        ErrorList.Add(e);
}

TzdDataSet* TzdTestReport::FindReportDataSet(const QString& UserName)
{
    for (TzdDataSet* ds : DataSets)
        if (plat::SameText(ds->UserName(), UserName))
            return ds;
    return nullptr;
}

TzdComponent* TzdTestReport::FindAncestorObject(const QString& Name)
{
    if (!Ancestor)
        return nullptr;
    if (plat::sameName(Name, this->Name()))
        return Ancestor;
    return Ancestor->FindObject(Name);
}

zd::CustomDataHandler TzdTestReport::CustomDataReader() const
{
    auto* self = const_cast<TzdTestReport*>(this);
    return [self](TzdXMLItem* item) { self->CustomData = item->Text; };
}

zd::CustomDataHandler TzdTestReport::CustomDataWriter() const
{
    if (CustomData.isEmpty())
        return {};
    QByteArray data = CustomData;
    return [data](TzdXMLItem* item) { item->Text = data; };
}

void TzdTestReport::WriteNestedProperties(TzdXMLItem* Item)
{
    if (Variables.Count() > 0)
        zdWriteCollectionXML(&Variables, QByteArrayLiteral("Variables"), Item,
                             Ancestor ? &Ancestor->Variables : nullptr, this);
}

bool TzdTestReport::ReadNestedProperty(TzdXMLItem* Item)
{
    if (Item->Name.compare("Variables", Qt::CaseInsensitive) != 0)
        return false;
    zdReadCollectionXML(&Variables, Item, this, Ancestor ? &Ancestor->Variables : nullptr);
    return true;
}

void registerTestClasses()
{
    TzdObjectCollection* registry = zdGetObjectRegistry();
    registry->RegisterObject(TzdTestMemo::StaticClass(), nullptr, QString(), QString());
    registry->RegisterObject(TzdTestPage::StaticClass(), nullptr, QString(), QString());
    registry->RegisterObject(TzdTestBand::StaticClass(), nullptr, QString(), QString());
    registry->RegisterObject(TzdTestReport::StaticClass(), nullptr, QString(), QString());
    registry->RegisterObject(TzdUserDataSet::StaticClass(), nullptr, QString(), QString());
}

QByteArray saveToBytes(TzdComponent* Obj, bool SaveChildren)
{
    plat::TMemoryStream stream;
    Obj->SaveToStream(stream, SaveChildren);
    return stream.bytes();
}

void loadFromBytes(TzdComponent* Obj, const QByteArray& Bytes)
{
    plat::TMemoryStream stream(Bytes);
    Obj->LoadFromStream(stream);
}

} // namespace zdtest
