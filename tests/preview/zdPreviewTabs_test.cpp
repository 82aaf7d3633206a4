#include "PreviewTestUtil.h"

#include "Application.h"
#include "Exceptions.h"
#include "ScriptedServices.h"
#include "zdClass_report.h"
#include "zdPreview.h"
#include "zdPreviewForm.h"
#include "zdPreviewTabs.h"
#include "zdClass_services.h"

#include <QTabBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTest>

#include <gtest/gtest.h>

using previewtest::SyntheticPages;

namespace {
struct TabsFixture {
    SyntheticPages main{3};
    SyntheticPages detail{2};
    TzdPreview preview;
    TabsFixture()
    {
        preview.resize(800, 600);
        preview.AttachReport(&main.writer.report, &main.pages);
        preview.show();
    }
};
} // namespace

TEST(PreviewTabs, StripShowsWithASecondTabAndEachTabKeepsItsPlace)
{
    TabsFixture f;
    EXPECT_EQ(f.preview.Tabs()->Count(), 1);
    EXPECT_FALSE(f.preview.TabStrip()->isVisible());
    f.preview.SetPageNo(3);
    f.preview.AddTab(&f.detail.writer.report, &f.detail.pages, QStringLiteral("detail"), {}, false,
                     QStringLiteral("Detail"));
    EXPECT_TRUE(f.preview.TabStrip()->isVisible());
    EXPECT_EQ(f.preview.TabStrip()->tabText(1), QStringLiteral("Detail"));
    EXPECT_EQ(f.preview.PreviewPages(), &f.detail.pages);
    EXPECT_EQ(f.preview.PageCount(), 2);
    EXPECT_EQ(f.preview.PageNo(), 1);
    EXPECT_TRUE(f.preview.HasTabNamed(QStringLiteral("detail")));
    f.preview.Tabs()->SwitchTab(0);
    EXPECT_EQ(f.preview.PreviewPages(), &f.main.pages);
    EXPECT_EQ(f.preview.PageNo(), 3);
    f.preview.SelectTabByName(QStringLiteral("detail"));
    EXPECT_EQ(f.preview.PreviewPages(), &f.detail.pages);
}

TEST(PreviewTabs, CloseGlyphAndClosing)
{
    TabsFixture f;
    f.preview.AddTab(&f.detail.writer.report, &f.detail.pages, QStringLiteral("detail"), {}, false, {});
    TzdPreviewTabs* tabs = f.preview.Tabs();
    // x from the tab's left + 8 to + 18, y 6 to 18; never on the first tab.
    EXPECT_FALSE(tabs->OnCloseGlyph(0, 10, 10, 0));
    EXPECT_TRUE(tabs->OnCloseGlyph(1, 108, 6, 100));
    EXPECT_TRUE(tabs->OnCloseGlyph(1, 118, 18, 100));
    EXPECT_FALSE(tabs->OnCloseGlyph(1, 119, 10, 100));
    EXPECT_FALSE(tabs->OnCloseGlyph(1, 110, 19, 100));
    tabs->CloseTab(0); // the first tab stays
    EXPECT_EQ(tabs->Count(), 2);
    tabs->CloseTab(1);
    EXPECT_EQ(tabs->Count(), 1);
    EXPECT_FALSE(f.preview.TabStrip()->isVisible());
    EXPECT_EQ(f.preview.PreviewPages(), &f.main.pages);
}

TEST(PreviewTabs, EachReportInTab)
{
    TabsFixture f;
    f.preview.EachReportInTab = true;
    f.detail.writer.report.ReportOptions()->Name = QStringLiteral("Druhá");
    EXPECT_FALSE(f.preview.AttachReport(&f.detail.writer.report, &f.detail.pages));
    EXPECT_EQ(f.preview.Tabs()->Count(), 2);
    EXPECT_EQ(f.preview.TabStrip()->tabText(1), QStringLiteral("Druhá"));
    EXPECT_EQ(f.preview.CloseTabsOf(&f.detail.pages), 1);
    EXPECT_TRUE(f.preview.Attached());
}

TEST(PreviewWindow, StatusTextsAreDrawnWithoutLettingEventsRun)
{
    SyntheticPages data(2);
    TzdPreviewForm form;
    form.Init(&data.writer.report, &data.pages);
    int pumped = 0;
    auto previous = plat::Application().SetProcessMessagesHook([&] { ++pumped; });
    form.SetMessage(QStringLiteral("https://example.com"), false);
    form.SetMessage(QStringLiteral("nápověda"), true);
    plat::Application().SetProcessMessagesHook(previous);
    EXPECT_EQ(pumped, 0);
    EXPECT_EQ(form.PanelText(1), QStringLiteral("https://example.com"));
    EXPECT_EQ(form.PanelText(2), QStringLiteral("nápověda"));
}

TEST(PreviewWindow, PointerOverALinkShowsItsValueAndTheHand)
{
    storetest::SyntheticWriter writer;
    TzdPreviewPages pages(&writer.report);
    writer.Write(pages, 2, 4);
    auto page = previewtest::blankPage();
    TzdMemoView* link = previewtest::addMemo(page.get(), QStringLiteral("L"), 50, 50, 200, 40);
    link->Hyperlink()->Value = QStringLiteral("https://example.com/x");
    pages.ReplacePage(0, page.get());
    TzdPreviewForm form;
    writer.report.PreviewOptions()->Maximized = false;
    form.resize(900, 700);
    form.Init(&writer.report, &pages);
    form.show();
    QTest::qWaitForWindowExposed(&form);
    TzdPreviewWorkspace* area = form.Preview()->Workspace();
    area->SetVertPosition(0);
    const plat::TRect r = area->PageBounds(0);
    const QPoint p(r.Left - area->HorzPosition() + 100, r.Top - area->VertPosition() + 70);
    QTest::mouseMove(area->viewport(), p);
    QMouseEvent move(QEvent::MouseMove, p, area->viewport()->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(area->viewport(), &move);
    EXPECT_EQ(form.PanelText(1), QStringLiteral("https://example.com/x"));
    EXPECT_EQ(area->viewport()->cursor().shape(), Qt::PointingHandCursor);
    // Clicking opens it through the services.
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    QTest::mouseClick(area->viewport(), Qt::LeftButton, {}, p);
    ASSERT_EQ(ui.CallsOf(QStringLiteral("ShellOpen")).size(), 1u);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("ShellOpen"))[0].text, QStringLiteral("https://example.com/x"));
}

TEST(PreviewWindow, AFailedPageEditIsShownAndThePageKept)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    SyntheticPages data(2);
    TzdPreviewForm form;
    form.Init(&data.writer.report, &data.pages);
    form.Preview()->EditPageHandler = [](TzdPreview*) { throw plat::Exception(QStringLiteral("Designer failed")); };
    form.Button(QStringLiteral("DesignerB"))->click();
    ASSERT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox"))[0].text, QStringLiteral("Designer failed."));
    EXPECT_EQ(form.Preview()->PageCount(), 2);
}

TEST(Preview, OutlineAndThumbnailsExcludeEachOther)
{
    SyntheticPages data(3);
    data.pages.CurPageIndex = 1;
    data.pages.Outline()->LevelRoot();
    data.pages.Outline()->AddItem(QStringLiteral("Kapitola"), 40);
    data.pages.Outline()->AddItem(QStringLiteral("Oddíl"), 60);
    TzdPreviewForm form;
    data.writer.report.PreviewOptions()->OutlineVisible = true;
    form.Init(&data.writer.report, &data.pages);
    TzdPreview* p = form.Preview();
    ASSERT_TRUE(p->OutlineVisible());
    ASSERT_EQ(p->OutlineTree()->topLevelItemCount(), 1);
    QTreeWidgetItem* chapter = p->OutlineTree()->topLevelItem(0);
    EXPECT_EQ(chapter->text(0), QStringLiteral("Kapitola"));
    ASSERT_EQ(chapter->childCount(), 1);
    EXPECT_EQ(chapter->child(0)->text(0), QStringLiteral("Oddíl"));
    emit p->OutlineTree()->itemClicked(chapter, 0);
    EXPECT_EQ(p->PageNo(), 2);
    EXPECT_TRUE(form.Button(QStringLiteral("OutlineB"))->isChecked());
    form.Button(QStringLiteral("ThumbB"))->click();
    EXPECT_TRUE(p->ThumbnailVisible());
    EXPECT_FALSE(p->OutlineVisible());
    EXPECT_FALSE(form.Button(QStringLiteral("OutlineB"))->isChecked());
    EXPECT_EQ(p->Thumbnail()->PageList().Count(), 3);
}

namespace {
// A filter that tries to close the window while the export runs, as a
// click on the window's close box during the export's pumped events would.
struct ClosingFilter : TzdCustomExportFilter {
    QWidget* window = nullptr;
    bool closed = true;
    int pages = 0;
    ClosingFilter() : TzdCustomExportFilter(nullptr) { ShowDialog = false; }
    bool StartExport() override
    {
        closed = window->close();
        return true;
    }
    void OpenPage(TzdReportPage*, int) override { ++pages; }
};
} // namespace

TEST(PreviewWindow, CloseIsRefusedWhileExporting)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    SyntheticPages data(2);
    TzdPreviewForm form;
    form.Init(&data.writer.report, &data.pages);
    form.show();
    ClosingFilter filter;
    filter.window = &form;
    form.Preview()->ExportPages(&filter);
    EXPECT_FALSE(filter.closed);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.Preview()->Busy());
    EXPECT_TRUE(form.close()); // afterwards it closes
}
