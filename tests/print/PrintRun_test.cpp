// The print job against a printer that only records, for what no real
// queue can show: a printer that reports no paper size.
#include "ScriptedServices.h"
#include "SyntheticPages.h"
#include "../tools/SyntheticWriter.h"
#include "zdPreviewPages.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace plat;

namespace {

// Reports a sheet of zero millimetres whatever it is asked for.
class SizelessPrinter : public TzdCustomPrinter {
public:
    SizelessPrinter() : TzdCustomPrinter(QStringLiteral("Sizeless"), QString()) {}
    void Initialize() override
    {
        m_dpi = TPoint{300, 300};
        m_initialized = true;
    }
    void AbortDocument() override { Log << QStringLiteral("abort"); }
    bool BeginDocument() override
    {
        Log << QStringLiteral("begin");
        return true;
    }
    void BeginPage() override { ++Pages; }
    bool BeginRawDocument() override { return true; }
    bool EndDocument() override
    {
        Log << QStringLiteral("end");
        return true;
    }
    void EndPage() override {}
    bool EndRawDocument() override { return true; }
    void WriteRawData(const QByteArray&) override {}
    void SetViewParameters(int, long double, long double, TPrinterOrientation) override {}
    void SetPrintParameters(int, TPrinterOrientation, int, int, int, long double, long double) override {}
    bool ShowPropertiesDialog() override { return false; }

    QStringList Log;
    int Pages = 0;
};

// Records the scales pages are drawn with instead of drawing.
class ScaleRecorder : public printtest::SyntheticPages {
public:
    using SyntheticPages::SyntheticPages;
    bool DrawPage(int, TCanvas*, long double ScaleX, long double ScaleY, long double OffsetX,
                  long double OffsetY) override
    {
        Finite = Finite && std::isfinite(ScaleX) && std::isfinite(ScaleY) && std::isfinite(OffsetX) &&
                 std::isfinite(OffsetY) && ScaleX > 0 && ScaleY > 0;
        ++Draws;
        return true;
    }
    bool Finite = true;
    int Draws = 0;
};

} // namespace

TEST(PrintRun, APrinterWithoutAPaperSizeGetsADefaultSheetInEveryMode)
{
    for (TzdPrintMode mode : {pmScale, pmSplit, pmJoin}) {
        SizelessPrinter printer;
        printer.Initialize();
        ScaleRecorder store(2, printtest::paperOf(DMPAPER_A5));
        zd::PrintSettings o;
        o.PrintMode = mode;
        EXPECT_TRUE(zd::RunPrintJob(store, o, printer)) << mode;
        EXPECT_TRUE(store.Finite) << mode;
        EXPECT_EQ(store.Draws, 2) << mode;
        EXPECT_GE(printer.Pages, 1) << mode;
        EXPECT_LE(printer.Pages, 4) << mode;
        EXPECT_EQ(printer.Log, (QStringList{"begin", "end"})) << mode;
    }
}

// The store tells its report when printing starts and ends and which page
// and copy each sheet takes, as the report's events and script expect.
TEST(PrintRun, TheReportHearsOfThePrintAndOfEachPageWithItsCopy)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    storetest::SyntheticWriter writer;
    TzdPreviewPages pages(&writer.report);
    writer.Write(pages, 2, 3);
    QStringList events;
    TzdReport& report = writer.report;
    report.OnPrintReport = TNotifyEvent([&](TObject*) { events << QStringLiteral("print"); }, nullptr, nullptr);
    report.OnAfterPrintReport = TNotifyEvent([&](TObject*) { events << QStringLiteral("after"); }, nullptr, nullptr);
    report.OnPrintPage = TzdPrintPageEvent(
        [&](TzdComponent* Page, int CopyNo) {
            events << QStringLiteral("page %1 copy %2").arg(Page ? Page->Name() : QStringLiteral("?")).arg(CopyNo);
        },
        nullptr, nullptr);
    SizelessPrinter printer;
    printer.Initialize();
    zd::PrintSettings o;
    o.Copies = 2;
    o.Collate = true;
    ASSERT_TRUE(zd::RunPrintJob(pages, o, printer));
    EXPECT_EQ(events.size(), 4) << events.join(u'|').toStdString();
    EXPECT_TRUE(events.value(0).endsWith(QStringLiteral("copy 1"))) << events.join(u'|').toStdString();
    EXPECT_TRUE(events.value(3).endsWith(QStringLiteral("copy 2"))) << events.join(u'|').toStdString();
    EXPECT_FALSE(events.value(0).contains(u'?'));

}
