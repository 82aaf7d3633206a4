// A dot-matrix export printed raw into the sandbox: one job per copy,
// titled with the report's name, carrying the init string and the page.

#include "CupsSandbox.h"
#include "SyntheticPages.h"
#include "ScriptedServices.h"
#include "Streams.h"
#include "zdClass_options.h"
#include "zdClass_report.h"
#include "zdDMPExport.h"
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

} // namespace
