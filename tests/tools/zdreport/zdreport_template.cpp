#include "zdreport_template.h"

#include "Exceptions.h"
#include "Files.h"
#include "Streams.h"
#include "Variant.h"
#include "zdBarcodeView.h"
#include "zdChBox.h"
#include "zdClass_services.h"
#include "zdGradient.h"
#include "zdUtils.h"
#include "zdVariables.h"
#include "zdXML.h"
#include "zdXMLSerializer.h"
#include "zs_script.h"

#include <QFile>

namespace zdtool {

// An element the library has no class for, kept as it was read: its tag,
// its attribute text and its content. Its position and size come from its
// attributes, so objects inside it keep their place on the page.
class ElementHolder : public TzdComponent {
    PLAT_CLASS(ElementHolder, TzdComponent)
public:
    explicit ElementHolder(plat::TComponent* AOwner) : TzdComponent(AOwner) {}

    QString ToolElement;
    QString ToolAttributes;
    QString ToolValue;
};

// The tool's report: just what the objects ask of a report document.
class TemplateRoot : public ElementHolder, public zd::ReportDocument {
    PLAT_CLASS(TemplateRoot, ElementHolder)
public:
    explicit TemplateRoot(plat::TComponent* AOwner = nullptr) : ElementHolder(AOwner)
    {
        SetObjectStyle(ObjectStyle() + TzdObjectStyle{osNestedProperties});
    }
    ~TemplateRoot() override
    {
        for (TzdComponent* c : std::vector<TzdComponent*>(Children()))
            delete c;
    }

    TzdReport* Report() override { return nullptr; }
    TzdComponent* ReportComponent() override { return this; }
    void AddErrors(const QStringList& Errors) override { m_errors += Errors; }
    TzdXMLSerializer* CurrentSerializer() const override { return m_serializer; }
    void SetCurrentSerializer(TzdXMLSerializer* Serializer) override { m_serializer = Serializer; }
    bool ThreadSafeMode() const override { return false; }
    bool GlobalDataSetLookup() const override { return true; }
    TzdDataSet* FindReportDataSet(const QString&) override { return nullptr; }
    bool StoreInDFM() const override { return true; }
    TzdComponent* FindAncestorObject(const QString&) override { return nullptr; }
    zd::CustomDataHandler CustomDataReader() const override
    {
        auto* self = const_cast<TemplateRoot*>(this);
        return [self](TzdXMLItem* item) { self->m_customData = item->Text; };
    }
    zd::CustomDataHandler CustomDataWriter() const override
    {
        if (m_customData.isEmpty())
            return {};
        const QByteArray data = m_customData;
        return [data](TzdXMLItem* item) { item->Text = data; };
    }

    // Expressions run in a bare script of the template's language.
    plat::Variant Calc(const QString& Expression) override
    {
        TzsScript script;
        script.SyntaxType = ScriptLanguage();
        script.AddRTTI();
        const plat::Variant value = script.Evaluate(Expression);
        if (script.EvaluateFailed) {
            m_errors += value.toString();
            throw plat::Exception(value.toString());
        }
        return value;
    }
    void SetSelfValue(TzdComponent*) override {}
    void SetLocalValue(const plat::Variant&) override {}
    QString ScriptLanguage() const override
    {
        const QString language = m_language;
        return language.isEmpty() ? QStringLiteral("PascalScript") : language;
    }
    TzdVariables* Variables() override { return &m_variables; }
    TzdStyles* Styles() override { return nullptr; }
    TzdCustomPreviewPages* ActivePreviewPages() override { return nullptr; }
    TzdCustomDesigner* Designer() override { return nullptr; }
    bool DoublePass() const override { return false; }
    void SetTerminated(bool) override {}
    void SetModified(bool) override {}

    QStringList Errors() const { return m_errors; }
    void SetLanguage(const QString& Language) { m_language = Language; }

private:
    TzdXMLSerializer* m_serializer = nullptr;
    QStringList m_errors;
    QByteArray m_customData;
    QString m_language;
    TzdVariables m_variables;
};

} // namespace zdtool

using zdtool::ElementHolder;
using zdtool::TemplateRoot;

PLAT_DEFINE_CLASS(zdtool::ElementHolder, c)
{
    c.property("Left", &TzdComponent::Left, &TzdComponent::SetLeft);
    c.property("Top", &TzdComponent::Top, &TzdComponent::SetTop);
    c.property("Width", &TzdComponent::Width, &TzdComponent::SetWidth);
    c.property("Height", &TzdComponent::Height, &TzdComponent::SetHeight);
    c.property("ToolElement", &ElementHolder::ToolElement);
    c.property("ToolAttributes", &ElementHolder::ToolAttributes);
    c.property("ToolValue", &ElementHolder::ToolValue);
}

PLAT_DEFINE_CLASS(zdtool::TemplateRoot, c) { (void)c; }

namespace zdtool {

namespace {

const QByteArray kCustomData = QByteArrayLiteral("ZdCustomData");
const QByteArray kInherited = QByteArrayLiteral("inherited");

QByteArray attribute(const QByteArray& name, const QByteArray& value)
{
    return ' ' + name + "=\"" + zdXMLEscape(value) + '"';
}

// Elements without a class of the library become holders, which keep the
// element and take its geometry; they stay nameless, so that names of other
// kinds (variables, datasets) never meet the objects' names.
void wrapUnknown(TzdXMLItem* item, const QByteArray& holderClass)
{
    QByteArray text = attribute("ToolElement", item->Name) + attribute("ToolAttributes", item->Text) +
                      attribute("ToolValue", item->Value);
    for (const char* name : {"Left", "Top", "Width", "Height"})
        if (item->AttrExists(name))
            text += attribute(name, item->GetAttr(name));
    item->Text = text;
    item->Name = holderClass;
    item->Value.clear();
}

void wrapTree(TzdXMLItem* item)
{
    for (int i = 0; i < item->Count(); ++i) {
        TzdXMLItem* child = item->GetItem(i);
        if (child->Name.compare(kCustomData, Qt::CaseInsensitive) == 0 || child->Name == kInherited)
            continue;
        if (!plat::GetClass(QString::fromUtf8(child->Name)))
            wrapUnknown(child, QByteArrayLiteral("ElementHolder"));
        wrapTree(child);
    }
}

void unwrapTree(TzdXMLItem* item)
{
    if (item->Name == "ElementHolder" || item->Name == "TemplateRoot") {
        const QByteArray element = item->GetAttr("ToolElement");
        const QByteArray attributes = item->GetAttr("ToolAttributes");
        const QByteArray value = item->GetAttr("ToolValue");
        item->Name = element;
        item->Text = attributes;
        item->Value = value;
    }
    for (int i = 0; i < item->Count(); ++i)
        unwrapTree(item->GetItem(i));
}

} // namespace

void wrapUnknownElements(TzdXMLItem* root)
{
    wrapTree(root);
}

void unwrapElements(TzdXMLItem* root)
{
    unwrapTree(root);
}

void startLibrary()
{
    static const bool started = [] {
        zd::startReportUnit();
        zd::startCheckBoxRTTIUnit();
        zd::startCheckBoxUnit();
        zd::startGradientRTTIUnit();
        zd::startGradientUnit();
        zd::startBarcodeViewRTTIUnit();
        zd::startBarcodeViewUnit();
        plat::RegisterClass(ElementHolder::StaticClass());
        plat::RegisterClass(TemplateRoot::StaticClass());
        return true;
    }();
    (void)started;
}

Template::Template() = default;
Template::~Template() = default;

TzdComponent* Template::Root() const
{
    return m_root.get();
}

QStringList Template::Errors() const
{
    return m_root ? m_root->Errors() : QStringList();
}

void Template::Load(const QString& FileName)
{
    startLibrary();
    if (!plat::FileExists(FileName))
        throw plat::EFOpenError(QStringLiteral("Cannot open file \"%1\"").arg(FileName));
    plat::TFileStream file(FileName, plat::fmOpenRead);
    TzdXMLDocument document;
    document.LoadFromStream(file);
    TzdXMLItem* root = document.Root();
    if (root->Name.isEmpty())
        throw plat::Exception(QStringLiteral("Invalid file format"));
    const QByteArray language = root->GetAttr("ScriptLanguage");
    wrapUnknown(root, QByteArrayLiteral("TemplateRoot"));
    wrapTree(root);
    m_root = std::make_unique<TemplateRoot>();
    m_root->SetLanguage(QString::fromUtf8(language));
    TzdXMLSerializer serializer(nullptr);
    serializer.HandleNestedProperties = true;
    serializer.Owner = m_root.get();
    serializer.OnGetCustomData = m_root->CustomDataReader();
    serializer.ReadRootComponent(m_root.get(), root);
    QStringList errors;
    for (int i = 0; i < serializer.Errors().Count(); ++i)
        errors += serializer.Errors().Strings(i);
    m_root->AddErrors(errors);
}

void Template::Save(const QString& FileName)
{
    if (!m_root)
        throw plat::Exception(QStringLiteral("No template is loaded"));
    TzdXMLDocument document;
    document.AutoIndent = true;
    TzdXMLSerializer serializer(nullptr);
    serializer.HandleNestedProperties = true;
    serializer.Owner = m_root.get();
    serializer.WriteRootComponent(m_root.get(), true, document.Root());
    if (const zd::CustomDataHandler writer = m_root->CustomDataWriter()) {
        TzdXMLItem* custom = document.Root()->Add();
        custom->Name = kCustomData;
        writer(custom);
    }
    unwrapTree(document.Root());
    zd::writeFileAtomically(FileName, [&](plat::TStream& stream) { document.SaveToStream(stream); });
}

} // namespace zdtool
