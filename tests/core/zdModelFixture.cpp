#include "zdModelFixture.h"

#include "CodePage.h"
#include "Streams.h"
#include "zdDsgnIntf.h"
#include "zdXMLSerializer.h"
#include "zdClass_view.h"
#include "zdChBox.h"
#include "zdGradient.h"
#include "zs_items.h"
#include "zs_script.h"
#include "Exceptions.h"
#include "Handles.h"
#include "SysUtils.h"
#include "zdRes.h"

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
    c.property("HAlign", &TzdTestMemo::HAlign).defaultValue(thaLeft);
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

void TzdTestReport::ResetScript()
{
    m_compiled.clear();
    m_cacheScript.reset();
    m_reportScript.reset();
}

TzsScript& TzdTestReport::Script()
{
    if (m_reportScript)
        return *m_reportScript;
    startReportLibrary();
    m_reportScript = std::make_unique<TzsScript>();
    TzsScript& script = *m_reportScript;
    script.SyntaxType = Language;
    script.AddRTTI();
    script.AddClass(TzdComponent::StaticClass(), QStringLiteral("TComponent"));
    script.AddClass(TzdReportComponent::StaticClass(), QStringLiteral("TzdComponent"));
    script.AddClass(TzdView::StaticClass(), QStringLiteral("TzdReportComponent"));
    for (TzdComponent* obj : AllObjects())
        if (!obj->Name().isEmpty())
            script.AddObject(obj->Name(), obj);
    script.AddObject(QStringLiteral("Report"), this);
    script.AddVariable(QStringLiteral("Value"), QStringLiteral("Variant"), plat::Variant::null());
    script.AddVariable(QStringLiteral("Self"), QStringLiteral("TzdView"), plat::Variant::null());
    QString text = m_script->Text();
    if (text.trimmed().isEmpty()) // an empty main program of the language
        text = Language == u"PascalScript" ? QStringLiteral("begin end.")
             : Language == u"C++Script"    ? QStringLiteral("{}")
                                           : QString();
    script.Lines.SetText(text);
    if (!script.Compile())
        throw plat::Exception(QStringLiteral("Script error at %1: %2").arg(script.ErrorPosition, script.ErrorMessage));
    m_cacheScript = std::make_unique<TzsScript>();
    m_cacheScript->AllowExtendedChars = true;
    return script;
}

namespace {

QString wrapperText(const QString& language, int n, const QString& expr)
{
    const QString name = QStringLiteral("zd3f") + QString::number(n);
    if (language.compare(QLatin1String("C++Script"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Variant ") + name + QStringLiteral("() { return ") + expr + QStringLiteral("; } {}");
    if (language.compare(QLatin1String("BasicScript"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("function ") + name + QStringLiteral("\r\nreturn ") + expr +
               QStringLiteral("\r\nend function");
    if (language.compare(QLatin1String("JScript"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("function ") + name + QStringLiteral("() { return ") + expr + QStringLiteral("; }");
    return QStringLiteral("function ") + name + QStringLiteral(": Variant; begin Result := ") + expr +
           QStringLiteral(" end; begin end.");
}

} // namespace

plat::Variant TzdTestReport::Calc(const QString& Expression)
{
    TzsScript& script = Script();
    const auto fail = [this](QString message) -> plat::Variant {
        if (!EvaluatedObjectName.isEmpty())
            message = EvaluatedObjectName + QStringLiteral(": ") + message;
        ErrorList.Add(message);
        throw plat::Exception(message);
    };
    const QString key = plat::foldName(Expression);
    TzsCustomVariable* function = nullptr;
    if (const auto it = m_compiled.find(key); it != m_compiled.end()) {
        function = it->second;
    } else {
        const int n = m_wrapperCount++;
        m_cacheScript->Parent = &script;
        m_cacheScript->SyntaxType = Language;
        m_cacheScript->Lines.SetText(wrapperText(Language, n, Expression));
        const bool compiled = m_cacheScript->Compile();
        function = m_cacheScript->FindLocal(QStringLiteral("zd3f") + QString::number(n));
        if (!compiled || !function)
            return fail(zdGetResources()->GetText(QStringLiteral("clExprError")) + QStringLiteral(" '") + Expression +
                        QStringLiteral("': ") + m_cacheScript->ErrorMessage);
        m_compiled[key] = function;
    }
    try {
        return function->GetValue();
    } catch (const plat::Exception& e) {
        return fail(e.message());
    }
}

void TzdTestReport::SetSelfValue(TzdComponent* View)
{
    Script().SetVariable(QStringLiteral("Self"), plat::ObjectToVariant(View));
}

void TzdTestReport::SetLocalValue(const plat::Variant& Value)
{
    Script().SetVariable(QStringLiteral("Value"), Value);
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
    if (ReportVariables.Count() > 0)
        zdWriteCollectionXML(&ReportVariables, QByteArrayLiteral("Variables"), Item,
                             Ancestor ? &Ancestor->ReportVariables : nullptr, this);
}

bool TzdTestReport::ReadNestedProperty(TzdXMLItem* Item)
{
    if (Item->Name.compare("Variables", Qt::CaseInsensitive) != 0)
        return false;
    zdReadCollectionXML(&ReportVariables, Item, this, Ancestor ? &Ancestor->ReportVariables : nullptr);
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

void startReportLibrary()
{
    static const bool started = [] {
        zd::startReportUnit();
        zd::startCheckBoxRTTIUnit();
        zd::startCheckBoxUnit();
        zd::startGradientRTTIUnit();
        zd::startGradientUnit();
        return true;
    }();
    (void)started;
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
