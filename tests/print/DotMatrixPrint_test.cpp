// A dot-matrix export printed raw into the sandbox: one job per copy,
// titled with the report's name, carrying the init string and the page.

#include "CupsSandbox.h"
#include "ScriptedServices.h"
#include "Streams.h"
#include "zdClass_options.h"
#include "zdClass_report.h"
#include "zdDMPExport.h"
#include "zdPrinter.h"

#include <QFile>

using namespace plat;
using namespace printtest;

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

} // namespace
