// The service bases as the engine, preview, export and designer layers will
// implement them: each can be implemented outside the report core, and the
// operations the bases do themselves hold.

#include "Controls.h"
#include "TypeInfo.h"
#include "zdClass_picture.h"
#include "zdClass_services.h"
#include "zdClass_shape.h"
#include "zdDsgnIntf.h"
#include "zdModelFixture.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include "NullReportStore.h"

using zdtest::TzdTestReport;

namespace {

class TestEngine : public TzdCustomEngine {
public:
    using TzdCustomEngine::TzdCustomEngine;
    long double GetPageHeight() override { return PageHeight - 10; }
    void CompletePage() override {}
    void NewColumn() override {}
    void NewPage() override {}
    void ShowBand(TzdBand*) override {}
    void ShowBandOfClass(const plat::TClass*) override {}
    long double PageHeadersHeight() override { return 0; }
    long double PageFootersHeight() override { return 0; }
    long double FreeSpace() override { return 0; }
    plat::Variant EvaluateAggregate(const QString&, const QString&, TzdBand*, int) override { return {}; }
    bool Run(bool, bool, TzdPage*) override { return true; }
};

// A store whose picture cache only counts.
class TestPreviewPages : public zdtest::NullPreviewPages {
public:
    using NullPreviewPages::NullPreviewPages;
    void CachePicture(TzdPictureView* Picture) override
    {
        Picture->ImageIndex = Picture->Picture()->Empty() ? 0 : ++Cached;
    }

    int Cached = 0;
};

class TestPreview : public TzdCustomPreview {
public:
    using TzdCustomPreview::TzdCustomPreview;
    void AttachReport(zd::ReportDocument* AReport, TzdCustomPreviewPages* Pages) override
    {
        Report = AReport;
        ActivePreviewPages = Pages;
    }
    void CloseTabsOf(TzdCustomPreviewPages*) override {}
    void Lock() override {}
    void Unlock() override {}
    void Reprepare() override {}
    void PrepareStarted(zd::ReportDocument*, TzdProgressType, int) override {}
    void PageAdded(zd::ReportDocument*, TzdProgressType, int) override {}
    void PrepareFinished(zd::ReportDocument*, TzdProgressType, int) override {}
};

class TestDesigner : public TzdCustomDesigner {
public:
    using TzdCustomDesigner::TzdCustomDesigner;
    void CodeLines() override {}
    QString EditExpression(const QString& Expr) override { return Expr; }
    void LockDesigner() override {}
    void RebuildPageTabs(int) override {}
    void ReloadFromReport() override {}
    void RefreshDataTree() override {}
    void RepaintPage() override {}
    void RefreshInspector() override { ++Refreshes; }
    void SuspendInspector() override {}
    void ResumeInspector() override {}
    int Refreshes = 0;
};

class TestWizard : public TzdCustomWizard {
public:
    using TzdCustomWizard::TzdCustomWizard;
    bool RunWizard() override { return true; }
};

class TestExportFilter : public TzdCustomExportFilter {
public:
    using TzdCustomExportFilter::TzdCustomExportFilter;
};

bool registered(TzdCustomExportFilter* filter)
{
    TzdExportFilterCollection* filters = zdGetExportFilterRegistry();
    for (int i = 0; i < filters->Count(); ++i)
        if (filters->GetItem(i).Filter == filter)
            return true;
    return false;
}

QByteArray png()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

TEST(ServiceBases, ExportFiltersAreRegisteredWhileTheyLive)
{
    auto* filter = new TestExportFilter(nullptr);
    EXPECT_TRUE(registered(filter));
    EXPECT_TRUE(filter->ShowDialog);
    EXPECT_TRUE(filter->UseFileCache);
    EXPECT_TRUE(filter->ShowProgress);
    EXPECT_FALSE(filter->OverwritePrompt);
    EXPECT_EQ(filter->ShowSettingsDialog(), 1);
    EXPECT_TRUE(filter->StartExport());
    EXPECT_TRUE(filter->GetMenuCaption().isEmpty());
    delete filter;
    EXPECT_FALSE(registered(filter));
}

TEST(ServiceBases, TheEngineAsksTheReport)
{
    TzdTestReport report;
    TestEngine engine(&report);
    report.DoublePassOption = true;
    EXPECT_TRUE(engine.DoublePass());
    engine.StopReport();
    EXPECT_TRUE(report.Terminated);
    engine.PageHeight = 500;
    EXPECT_EQ(plat::GetFloatProp(&engine, u"PageHeight"), 490);
    plat::SetFloatProp(&engine, u"PageHeight", 300);
    EXPECT_EQ(engine.PageHeight, 300);
}

TEST(ServiceBases, PicturesGoToThePreparedPagesCacheWhenTheyChanged)
{
    zdtest::startReportLibrary();
    TzdTestReport report;
    TestPreviewPages pages(&report);
    TestEngine engine(&report);
    pages.Engine = &engine;
    EXPECT_EQ(pages.Outline()->GetEngine(), &engine);
    report.PreviewPages = &pages;
    auto* reference = new TzdPictureView(&report);
    auto* picture = new TzdPictureView(&report);
    picture->Picture()->LoadFromBytes(png());
    EXPECT_EQ(picture->DiffAttributes(reference), QStringLiteral(" ImageIndex=\"1\""));
    EXPECT_FALSE(picture->PictureChanged);
    // Unchanged since: not cached again.
    EXPECT_EQ(picture->DiffAttributes(reference), QStringLiteral(" ImageIndex=\"1\""));
    EXPECT_EQ(pages.Cached, 1);
}

TEST(ServiceBases, TheDesignerMarksTheReportAndHearsOfFillChanges)
{
    TzdTestReport report;
    TestDesigner designer(nullptr, &report, false);
    report.OpenDesigner = &designer;
    designer.SetModifiedFlag(false);
    EXPECT_FALSE(report.Modified);
    designer.SetModifiedFlag(true);
    EXPECT_TRUE(report.Modified);
    EXPECT_TRUE(designer.Modified);
    auto* shape = new TzdShapeView(&report);
    designer.SelectPage(shape);
    EXPECT_EQ(designer.CurrentPage, shape);
    shape->SetFillType(ftGlass); // not designing
    EXPECT_EQ(designer.Refreshes, 0);
    shape->DesignMode = true;
    shape->SetFillType(ftGradient);
    shape->SetFillType(ftGradient); // no change
    EXPECT_EQ(designer.Refreshes, 1);
    TestWizard wizard(&designer);
    EXPECT_EQ(wizard.OwnerDesigner, &designer);
    EXPECT_EQ(wizard.Report, &report);
    EXPECT_TRUE(wizard.GetWizardCaption().isEmpty());
    TestPreview preview(nullptr);
    TestPreviewPages pages(&report);
    preview.AttachReport(&report, &pages);
    EXPECT_EQ(preview.ActivePreviewPages, &pages);
    EXPECT_EQ(zdDesignerClass, nullptr);
}

TEST(ReportUnit, StartMakesTheReportClassesAndCursorsKnown)
{
    zd::startReportUnit();
    zd::startReportUnit(); // twice does no harm
    for (const char* name : {"TzdFrame", "TzdHighlight", "TzdLineView", "TzdPictureView", "TzdShapeView",
                             "TzdCustomLineView"})
        EXPECT_NE(plat::GetClass(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(plat::CursorShape(150), Qt::PointingHandCursor);
    EXPECT_NE(plat::CursorShape(151), Qt::ArrowCursor);
    zd::endReportUnit();
    EXPECT_EQ(plat::CursorShape(150), Qt::ArrowCursor);
    zd::startReportUnit();
}
