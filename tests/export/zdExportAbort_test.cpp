// An export that fails part way through the engine's export loop delivers
// nothing: the previous file stays.

#include "../TestUtil.h"

#include "zdExportPDF.h"

#include "ScriptedServices.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_shape.h"
#include "zdPreviewPages.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Records how the engine ends the export; the second page's object fails.
class RecordingFilter : public TzdCustomExportFilter {
public:
    using TzdCustomExportFilter::TzdCustomExportFilter;
    void OpenPage(TzdReportPage*, int) override { ++pages; }
    void WriteObject(TzdComponent*) override
    {
        if (pages == 2)
            throw plat::EConvertError(QStringLiteral("bad object"));
    }
    void FinishExport() override { ends += QStringLiteral("finish"); }
    void AbortExport() override { ends += QStringLiteral("abort"); }
    int pages = 0;
    QStringList ends;
};

// A PDF export whose second page fails after half of it was written (as a
// full disk or a bad value would fail it).
class FailingPdf : public TzdPDFExport {
public:
    using TzdPDFExport::TzdPDFExport;
    void OpenPage(TzdReportPage* Page, int Index) override
    {
        TzdPDFExport::OpenPage(Page, Index);
        ++pages;
    }
    void WriteObject(TzdComponent* Obj) override
    {
        TzdPDFExport::WriteObject(Obj);
        if (pages == 2 && failing)
            throw plat::EConvertError(QStringLiteral("bad object"));
    }
    int pages = 0;
    bool failing = true;
};

// Two prepared pages with a shape each.
struct TwoPages {
    TzdReport report;
    TzdPreviewPages pages{&report};
    TwoPages()
    {
        auto* page = new TzdReportPage(&report);
        page->SetParent(&report);
        page->SetName(QStringLiteral("Page1"));
        auto* shape = new TzdShapeView(page);
        shape->SetParent(page);
        shape->SetName(QStringLiteral("Shape1"));
        shape->SetBounds(10, 10, 50, 50);
        pages.Initialize();
        pages.RegisterSourcePage(page);
        pages.PageAddMode = pamAppend;
        pages.AddPage(page);
        pages.AddPage(page);
        pages.FinishPreparing();
    }
};

TEST(ExportAbort, TheEngineEndsAFailedExportWithAbortNotFinish)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    TwoPages two;
    RecordingFilter filter(nullptr);
    filter.ShowDialog = false;
    filter.ShowProgress = false;
    EXPECT_FALSE(two.pages.Export(&filter));
    EXPECT_EQ(filter.ends, QStringList{QStringLiteral("abort")});
    // A sound export is finished as before.
    filter.pages = -10;
    filter.ends.clear();
    EXPECT_TRUE(two.pages.Export(&filter));
    EXPECT_EQ(filter.ends, QStringList{QStringLiteral("finish")});
}

TEST(ExportAbort, AFailedPdfExportKeepsThePreviousFile)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("kept.pdf"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("previous");
    }
    TwoPages two;
    FailingPdf pdf(nullptr);
    pdf.ShowDialog = false;
    pdf.ShowProgress = false;
    pdf.FileName = file;
    EXPECT_FALSE(two.pages.Export(&pdf));
    EXPECT_EQ(fileBytes(file), "previous");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.pdf")});
    // The same filter then exports soundly.
    pdf.failing = false;
    EXPECT_TRUE(two.pages.Export(&pdf));
    EXPECT_TRUE(fileBytes(file).startsWith("%PDF-"));
}

} // namespace
