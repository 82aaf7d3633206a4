// A dot-matrix export printed raw into the sandbox: one job per copy,
// titled with the report's name, carrying the init string and the page.

#include "CupsSandbox.h"
#include "SyntheticPages.h"
#include "ScriptedServices.h"
#include "Streams.h"
#include "zdClass_options.h"
#include "zdClass_report.h"
#include "zdClass_band.h"
#include "zdDMPExport.h"
#include "zdPreviewPages.h"
#include "zdPrinter.h"

#include <QFile>
#include <QTemporaryDir>

using namespace plat;
using namespace printtest;
using printtest::SyntheticPages;

namespace {

TEST_F(SandboxTest, DotMatrixCopiesAreRawJobsTitledWithTheReport)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    TzdPrinters* printers = zdPrinters();
    if (printers->IndexOf(QStringLiteral("ZdA4")) < 0)
        printers->FillPrinters();
    printers->SetPrinterIndex(printers->IndexOf(QStringLiteral("ZdA4")));
    ASSERT_TRUE(printers->HasRealPrinters());

    TzdReport report;
    report.ReportOptions()->Name = QStringLiteral("Faktura");
    TzdDMPPage page(nullptr);
    page.SetWidth(96);
    page.SetHeight(34);
    auto* memo = new TzdDMPMemoView(&page);
    memo->SetParent(&page);
    memo->WordWrap = false;
    memo->SetBounds(0, 0, 48, 17);
    memo->SetText(QStringLiteral("Ahoj"));

    TzdDotMatrixExport exp(nullptr);
    exp.Report = &report;
    exp.EscModel = 1;
    exp.InitString = QStringLiteral("INIT");
    exp.SetCopies(2);
    ASSERT_TRUE(exp.StartExport());
    const QString temp = exp.FileName;
    exp.OpenPage(&page, 0);
    exp.WriteObject(memo);
    exp.ClosePage(&page, 0);
    exp.FinishExport();
    EXPECT_FALSE(QFile::exists(temp));

    const QList<CapturedJob> jobs = WaitForJobs(QStringLiteral("ZdA4"), 2);
    ASSERT_EQ(jobs.size(), 2);
    for (const CapturedJob& job : jobs) {
        EXPECT_EQ(job.title, QStringLiteral("Faktura"));
        EXPECT_EQ(job.data, QByteArray("INIT\x1b@INITAhoj\r\n\x0c"));
    }
}

// Printing a dot-matrix report goes through the dot-matrix export with the
// print options' printer, dialog choice and pages, as a print for the
// report's events.
TEST_F(SandboxTest, DotMatrixReportPrintsThroughTheDotMatrixExport)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    TzdPrinters* printers = zdPrinters();
    if (printers->IndexOf(QStringLiteral("ZdA4")) < 0)
        printers->FillPrinters();
    printers->SetPrinterIndex(printers->IndexOf(QStringLiteral("ZdA4")));

    TzdReport report;
    report.DotMatrixReport = true;
    SyntheticPages store(3, {}, &report);
    store.Options.ShowDialog = false;
    store.Options.PageNumbers = QStringLiteral("2-3");
    store.Options.Printer = QStringLiteral("ZdLetter");
    QTemporaryDir dir;
    TzdDotMatrixExport exp(nullptr);
    exp.SaveToFile = true;
    exp.FileName = dir.filePath(QStringLiteral("out.prn"));
    std::vector<int> exported;
    store.OnExportPage = [&](TzdCustomExportFilter* filter, int index) {
        EXPECT_EQ(filter, &exp);
        exported.push_back(index);
    };
    EXPECT_TRUE(store.Print());
    EXPECT_EQ(exported, (std::vector<int>{1, 2}));
    EXPECT_EQ(exp.Report, &report);
    EXPECT_FALSE(exp.ShowDialog);
    EXPECT_EQ(printers->CurrentPrinter()->Name(), QStringLiteral("ZdLetter"));
    EXPECT_EQ(store.BeforeEvents, 1);
    EXPECT_EQ(store.AfterEvents, 1);
    QFile out(exp.FileName);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), QByteArray("\x0c\x0c")); // "None": a form feed per page
    EXPECT_TRUE(store.Drawn.empty());

    // Another report prints on the printer, not through the export.
    report.DotMatrixReport = false;
    exported.clear();
    store.Options.Printer.clear();
    store.Options.PageNumbers = QStringLiteral("1");
    EXPECT_TRUE(store.Print());
    EXPECT_TRUE(exported.empty());
    EXPECT_EQ(store.Drawn, (std::vector<int>{0}));
}

// Without the dot-matrix export a dot-matrix report prints as any other.
TEST(DotMatrixPrint, NoExportNoDotMatrixBranch)
{
    TzdReport report;
    report.DotMatrixReport = true;
    SyntheticPages store(1, {}, &report);
    ASSERT_EQ(zd::DotMatrixExportFilter(), nullptr);
    zd::PrintSettings options;
    bool printed = true;
    EXPECT_FALSE(store.PrintDotMatrix(options, printed));
    TzdDotMatrixExport exp(nullptr);
    EXPECT_EQ(zd::DotMatrixExportFilter(), &exp);
}

// zdreport --dotmatrix exports a prepared dot-matrix report into a file.
TEST(DotMatrixTool, ExportsAPreparedReportIntoAFile)
{
    const QString tool = QStringLiteral(SORVAMET_BIN_DIR "/zdreport");
    if (!QFile::exists(tool))
        GTEST_SKIP() << "zdreport is not built";
    zd::startReportUnit();
    zd::startDotMatrixUnit();
    QTemporaryDir dir;
    const QString prepared = dir.filePath(QStringLiteral("faktura.zp3"));
    {
        TzdReport report;
        auto* page = new TzdDMPPage(&report);
        page->SetName(QStringLiteral("Page1"));
        // The printable area starts one cell in.
        page->LeftMargin = zd1CharX / zd01cm;
        page->TopMargin = 0;
        auto* band = new TzdMasterData(page);
        band->SetName(QStringLiteral("MasterData1"));
        band->SetBounds(0, 0, 300, 17);
        auto* memo = new TzdDMPMemoView(band);
        memo->SetName(QStringLiteral("Memo1"));
        memo->WordWrap = false;
        memo->SetBounds(2 * zd1CharX, 0, 4 * zd1CharX, zd1CharY);
        memo->SetFontStyle({fsxBold});
        TzdPreviewPages pages(&report);
        pages.Initialize();
        pages.RegisterSourcePage(page);
        for (const char* text : {"Jedna", "Dva"}) {
            pages.PageAddMode = pamAppend;
            pages.AddPage(page);
            memo->SetText(QString::fromLatin1(text));
            pages.AddObject(band);
        }
        pages.FinishPreparing();
        pages.SaveToFile(prepared);
    }
    const QString out = dir.filePath(QStringLiteral("out.prn"));
    EXPECT_EQ(printtest::Run(QStringLiteral("%1 --dotmatrix '%2' --dmp-printer 1 '%3'").arg(tool, out, prepared)), 0);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    // The blank of the memo's own last cell stays before the style's end.
    EXPECT_EQ(f.readAll(), QByteArray("\x1b@   \x1b\x45Jedn\x1b\x46\r\n\x0c   \x1b\x45" "Dva \x1b\x46\r\n\x0c"));

    EXPECT_EQ(printtest::Run(QStringLiteral("%1 --dotmatrix '%2' --dmp-printer 9 '%3' 2>/dev/null").arg(tool, out, prepared)), 2);
    EXPECT_EQ(printtest::Run(QStringLiteral("%1 --dotmatrix '%2' template.zd3 2>/dev/null").arg(tool, out)), 1);
}


// A template is prepared first; the page's font style reaches its memo.
TEST(DotMatrixTool, PreparesATemplateAndExportsIt)
{
    const QString tool = QStringLiteral(SORVAMET_BIN_DIR "/zdreport");
    QTemporaryDir dir;
    const QString templ = dir.filePath(QStringLiteral("dmp.zd3"));
    {
        zd::startDotMatrixUnit();
        TzdReport report;
        report.DotMatrixReport = true;
        auto* page = new TzdDMPPage(&report);
        page->SetParent(&report);
        page->SetName(QStringLiteral("Page1"));
        page->LeftMargin = zd1CharX / zd01cm;
        page->TopMargin = 0;
        page->SetFontStyle({fsxBold});
        auto* band = new TzdReportTitle(page);
        band->SetParent(page);
        band->SetName(QStringLiteral("ReportTitle1"));
        band->SetBounds(0, 0, 300, 17);
        auto* memo = new TzdDMPMemoView(band);
        memo->SetParent(band);
        memo->SetName(QStringLiteral("Memo1"));
        memo->WordWrap = false;
        memo->SetBounds(2 * zd1CharX, 0, 4 * zd1CharX, zd1CharY);
        memo->SetText(QStringLiteral("S[Page#]/[Page#]"));
        memo->SetParentFont(true);
        report.SaveToFile(templ);
    }
    const QString out = dir.filePath(QStringLiteral("out.prn"));
    ASSERT_EQ(printtest::Run(QStringLiteral("%1 --dotmatrix '%2' --dmp-printer 1 '%3'").arg(tool, out, templ)), 0);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    // The page's bold covers the whole line, the margin's blank cells too.
    EXPECT_EQ(f.readAll(), QByteArray("\x1b@\x1b\x45   S1/1\x1b\x46\r\n\x0c"));
}

} // namespace
