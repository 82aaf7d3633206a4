// Saving and loading report templates through the serializer: a report of
// pages and bands holding a number of text objects.

#include "Exceptions.h"
#include "Graphics.h"
#include "Streams.h"
#include "Variant.h"
#include "zdClass.h"
#include "zdDsgnIntf.h"
#include "zdXMLSerializer.h"

#include <benchmark/benchmark.h>

namespace {

class TBenchText : public TzdComponent, public zd::TextObject {
    PLAT_CLASS(TBenchText, TzdComponent)
public:
    explicit TBenchText(plat::TComponent* AOwner) : TzdComponent(AOwner) {}
    QString GetWideText() const override { return m_text; }
    void SetWideText(const QString& Text) override { m_text = Text; }

private:
    QString m_text;
};

class TBenchReport : public TzdComponent, public zd::ReportDocument {
    PLAT_CLASS(TBenchReport, TzdComponent)
public:
    explicit TBenchReport(plat::TComponent* AOwner = nullptr) : TzdComponent(AOwner) {}
    ~TBenchReport() override
    {
        for (TzdComponent* c : std::vector<TzdComponent*>(Children()))
            delete c;
    }
    TzdReport* Report() override { return nullptr; }
    TzdComponent* ReportComponent() override { return this; }
    void AddErrors(const QStringList&) override {}
    TzdXMLSerializer* CurrentSerializer() const override { return m_serializer; }
    void SetCurrentSerializer(TzdXMLSerializer* s) override { m_serializer = s; }
    bool ThreadSafeMode() const override { return false; }
    bool GlobalDataSetLookup() const override { return true; }
    TzdDataSet* FindReportDataSet(const QString&) override { return nullptr; }
    bool StoreInDFM() const override { return true; }
    TzdComponent* FindAncestorObject(const QString&) override { return nullptr; }
    zd::CustomDataHandler CustomDataReader() const override { return {}; }
    zd::CustomDataHandler CustomDataWriter() const override { return {}; }
    // Loading and saving evaluate nothing.
    plat::Variant Calc(const QString&) override { throw plat::Exception(QStringLiteral("No expressions here")); }
    void SetSelfValue(TzdComponent*) override {}
    void SetLocalValue(const plat::Variant&) override {}
    QString ScriptLanguage() const override { return QStringLiteral("PascalScript"); }
    TzdVariables* Variables() override { return nullptr; }
    TzdStyles* Styles() override { return nullptr; }
    TzdCustomPreviewPages* ActivePreviewPages() override { return nullptr; }
    TzdCustomDesigner* Designer() override { return nullptr; }
    bool DoublePass() const override { return false; }
    void SetTerminated(bool) override {}
    void SetModified(bool) override {}

private:
    TzdXMLSerializer* m_serializer = nullptr;
};

class TBenchBand : public TzdComponent {
    PLAT_CLASS(TBenchBand, TzdComponent)
public:
    explicit TBenchBand(plat::TComponent* AOwner) : TzdComponent(AOwner) {}
};

} // namespace

PLAT_DEFINE_CLASS(TBenchText, c)
{
    c.property("Left", &TzdComponent::Left, &TzdComponent::SetLeft);
    c.property("Top", &TzdComponent::Top, &TzdComponent::SetTop);
    c.property("Width", &TzdComponent::Width, &TzdComponent::SetWidth);
    c.property("Height", &TzdComponent::Height, &TzdComponent::SetHeight);
    c.property("Font", &TzdComponent::Font, &TzdComponent::SetFont).stored(&TzdComponent::IsFontStored);
    c.property("ParentFont", &TzdComponent::ParentFont, &TzdComponent::SetParentFont).defaultValue(true);
    c.property("Description", &TzdComponent::Description, &TzdComponent::SetDescription);
}
PLAT_DEFINE_CLASS(TBenchReport, c) {}
PLAT_DEFINE_CLASS(TBenchBand, c)
{
    c.property("Top", &TzdComponent::Top, &TzdComponent::SetTop);
    c.property("Height", &TzdComponent::Height, &TzdComponent::SetHeight);
}

namespace {

void registerBenchClasses()
{
    for (const plat::TClass* cls : {TBenchText::StaticClass(), TBenchReport::StaticClass(), TBenchBand::StaticClass()})
        zdGetObjectRegistry()->RegisterObject(cls, nullptr, QString(), QString());
}

// objects text objects, ten to a band.
QByteArray makeTemplate(int objects)
{
    registerBenchClasses();
    TBenchReport report;
    TBenchBand* band = nullptr;
    for (int i = 0; i < objects; ++i) {
        if (i % 10 == 0) {
            band = new TBenchBand(&report);
            band->SetName(QStringLiteral("Band%1").arg(i / 10 + 1));
            band->SetBounds(0, i * 2.5L, 718.1107L, 18.89765L);
        }
        auto* text = new TBenchText(band);
        text->SetName(QStringLiteral("Memo%1").arg(i + 1));
        text->SetBounds(i % 10 * 70.5L, 0, 68.03154L, 18.89765L);
        text->SetWideText(QString::fromUtf8("Kód: [zdDBDataset1.\"kod\"] – čárový kód %1").arg(i));
        if (i % 3 == 0)
            text->Font()->SetStyle({plat::fsBold});
    }
    plat::TMemoryStream stream;
    report.SaveToStream(stream);
    return stream.bytes();
}

void BM_SaveTemplate(benchmark::State& state)
{
    registerBenchClasses();
    TBenchReport report;
    plat::TMemoryStream source(makeTemplate(static_cast<int>(state.range(0))));
    report.LoadFromStream(source);
    for (auto _ : state) {
        plat::TMemoryStream out;
        report.SaveToStream(out);
        benchmark::DoNotOptimize(out.Size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveTemplate)->Arg(100)->Arg(1000);

void BM_LoadTemplate(benchmark::State& state)
{
    const QByteArray bytes = makeTemplate(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TBenchReport report;
        plat::TMemoryStream in(bytes);
        report.LoadFromStream(in);
        benchmark::DoNotOptimize(report.ChildCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadTemplate)->Arg(100)->Arg(1000);

} // namespace
