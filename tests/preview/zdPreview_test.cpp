#include "PreviewTestUtil.h"

#include "ScriptedServices.h"
#include "zdClass_report.h"
#include "zdPreview.h"
#include "zdPreviewForm.h"
#include "zdSearchForm.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using previewtest::SyntheticPages;

namespace {

struct Window {
    SyntheticPages data;
    TzdPreviewForm form;
    explicit Window(int pages, TzdPreviewButtons buttons = TzdPreviewOptions().Buttons) : data(pages)
    {
        data.writer.report.PreviewOptions()->Buttons = buttons;
        data.writer.report.PreviewOptions()->Maximized = false;
        form.resize(900, 700);
        form.Init(&data.writer.report, &data.pages);
        form.show();
        QTest::qWaitForWindowExposed(&form);
    }
    TzdPreview* preview() { return form.Preview(); }
    bool visible(const char* name) { return form.ActionOf(QString::fromLatin1(name))->isVisible(); }
};

int nonBackgroundPixels(const QImage& image, QRgb background)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                ++n;
    return n;
}

} // namespace

TEST(Preview, PageNumberIsClampedAndStatusShowsIt)
{
    Window w(3);
    TzdPreview* p = w.preview();
    EXPECT_EQ(p->PageCount(), 3);
    EXPECT_EQ(p->PageNo(), 1);
    EXPECT_EQ(w.form.PanelText(0), QStringLiteral("Strana 1 z 3"));
    p->SetPageNo(0);
    EXPECT_EQ(p->PageNo(), 1);
    p->SetPageNo(9);
    EXPECT_EQ(p->PageNo(), 3);
    QTest::keyClick(p->Workspace(), Qt::Key_Home);
    QTest::keyClick(p->Workspace(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(p->PageNo(), 2);
    EXPECT_EQ(w.form.PanelText(0), QStringLiteral("Strana 2 z 3"));
    EXPECT_EQ(w.form.PageE->text(), QStringLiteral("2"));
    EXPECT_EQ(w.form.OfNL->text(), QStringLiteral("z 3"));
    // The page is current with its top 10 pixels below the view's top.
    EXPECT_EQ(p->Workspace()->VertPosition(), p->Workspace()->PageBounds(1).Top - 10);
}

TEST(Preview, WithoutPagesThePageNumberIsZero)
{
    TzdPreview p;
    p.SetPageNo(5);
    EXPECT_EQ(p.PageNo(), 0);
}

TEST(Preview, ZoomCommands)
{
    Window w(3);
    TzdPreview* p = w.preview();
    p->SetZoom(0.1L);
    EXPECT_EQ(p->Zoom(), 0.25L);
    p->SetZoom(1e12L); // clamped: the layout stays inside 32-bit coordinates
    EXPECT_LT(p->Workspace()->VertRange(), 1 << 30);
    EXPECT_GT(p->Workspace()->VertRange(), 0);
    p->SetZoom(1);
    p->WheelScroll(-120, false, true);
    EXPECT_NEAR(double(p->Zoom()), 0.9, 1e-9);
    w.form.ZoomCB->SetText(QStringLiteral("125 %"));
    w.form.ZoomCBClick();
    EXPECT_NEAR(double(p->Zoom()), 1.25, 1e-9);
    QTest::qWait(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.form.ZoomCB->Text(), QStringLiteral("125%"));
    w.form.ZoomPlusBClick();
    EXPECT_NEAR(double(p->Zoom()), 1.5, 1e-9);
    p->SetZoomMode(zmWholePage);
    const plat::TRect r = p->Workspace()->PageBounds(0);
    EXPECT_LE(r.Bottom - r.Top, p->Workspace()->height() - 26 + 1);
    p->SetZoomMode(zmPageWidth);
    EXPECT_GT(p->Zoom(), 0.25L);
}

TEST(Preview, WheelScrollsByTwentyPixels)
{
    Window w(3);
    TzdPreview* p = w.preview();
    const int before = p->Workspace()->VertPosition();
    p->WheelScroll(-120, false, false);
    EXPECT_EQ(p->Workspace()->VertPosition(), before + 20);
}

TEST(Preview, PaintsThePagesInView)
{
    Window w(3);
    w.preview()->SetZoom(1);
    QCoreApplication::processEvents();
    const QImage shot = w.preview()->Workspace()->viewport()->grab().toImage();
    const plat::TRect r = w.preview()->Workspace()->PageBounds(0);
    // The page is white with text on it; the area around it is the back colour.
    const QRgb back = plat::ToQColor(w.preview()->BackColor()).rgb();
    EXPECT_EQ(shot.pixel(2, 2), back);
    const QImage page = shot.copy(r.Left + 2, r.Top + 2 - w.preview()->Workspace()->VertPosition(), 300, 200);
    EXPECT_GT(nonBackgroundPixels(page, qRgb(255, 255, 255)), 50);
}

TEST(PreviewWindow, ButtonsFollowThePreviewOptions)
{
    {
        Window w(2, TzdPreviewButtons{});
        for (const char* name : {"PrintB", "OpenB", "SaveB", "FindB", "ZoomPlusB", "Sep3", "ZoomMinusB", "Sep1",
                                 "OutlineB", "ThumbB", "PageSettingsB", "DesignerB", "Sep2", "FirstB", "Sep4",
                                 "LastB", "Sep5", "PdfB"})
            EXPECT_FALSE(w.visible(name)) << name;
        EXPECT_TRUE(w.visible("CancelB"));
    }
    {
        Window w(2, TzdPreviewButtons{pbNoClose});
        EXPECT_FALSE(w.visible("CancelB"));
    }
    {
        // The report list's set: save offers one item, no designer button.
        Window w(2, TzdPreviewButtons{pbPrint, pbLoad, pbSave, pbZoom, pbFind, pbOutline, pbPageSetup, pbTools,
                                      pbNavigator, pbExportQuick});
        for (const char* name : {"PrintB", "OpenB", "SaveB", "FindB", "ZoomPlusB", "OutlineB", "PageSettingsB",
                                 "FirstB", "LastB", "CancelB", "FullScreenBtn"})
            EXPECT_TRUE(w.visible(name)) << name;
        EXPECT_FALSE(w.visible("DesignerB"));
        ASSERT_EQ(w.form.ExportPopup->actions().size(), 1);
        EXPECT_EQ(w.form.ExportPopup->actions()[0]->text(), QStringLiteral("Připravená sestava..."));
    }
}

TEST(PreviewWindow, ContextMenuCopiesTheButtonsUpToTheSecondSeparator)
{
    Window w(2);
    QStringList texts;
    for (QAction* a : w.form.RightMenu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    // Collapse, expand and their separator come first (hidden without drill-down).
    EXPECT_EQ(texts.mid(0, 3), (QStringList{QStringLiteral("Sbalit vše"), QStringLiteral("Rozbalit vše"),
                                            QStringLiteral("-")}));
    EXPECT_EQ(texts.mid(3), (QStringList{QStringLiteral("Tisknout"), QStringLiteral("Otevřít"),
                                         QStringLiteral("Uložit"), QStringLiteral("-"), QStringLiteral("Zvětšit"),
                                         QStringLiteral("Zmenšit"), QStringLiteral("Celá obrazovka")}));
    EXPECT_FALSE(w.form.CollapseMI->isVisible());
    // The items follow their buttons' enabled state.
    w.form.Button(QStringLiteral("PrintB"))->setEnabled(false);
    w.form.UpdateControls();
    EXPECT_TRUE(w.form.RightMenu->actions()[3]->isEnabled());
}

TEST(PreviewWindow, CloseIsRefusedWhileBusyAndCancelsInstead)
{
    Window w(2);
    w.preview()->PrepareStarted();
    w.data.writer.report.Terminated = false;
    EXPECT_FALSE(w.form.close());
    EXPECT_TRUE(w.data.writer.report.Terminated);
    EXPECT_TRUE(w.form.isVisible());
}

TEST(PreviewWindow, SaveAndLoadThroughTheDialogs)
{
    QTemporaryDir dir;
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    Window w(3);
    const QString file = dir.filePath(QStringLiteral("out.zp3"));
    ui.AnswerFile({dir.filePath(QStringLiteral("out"))}, 1);
    w.preview()->SaveToFile();
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_FALSE(w.preview()->MessagePanel()->isVisible());
    w.preview()->ClearPages();
    EXPECT_EQ(w.preview()->PageCount(), 0);
    ui.AnswerFile({file});
    w.form.OpenBClick();
    EXPECT_EQ(w.preview()->PageCount(), 3);
    EXPECT_EQ(w.preview()->PageNo(), 1);
    EXPECT_TRUE(ui.Unexpected().isEmpty()) << ui.Unexpected().join(u',').toStdString();
}

// --- search

namespace {
void typeSearch(Window& w, const QString& text, bool fromStart = false, bool all = false, bool matchCase = false)
{
    TzdSearchForm* f = w.preview()->FindForm();
    f->edtFind->setText(text);
    f->chkBeg->setChecked(fromStart);
    f->chkFindAll->setChecked(all);
    f->chkCase->setChecked(matchCase);
    f->btnFind->click();
}
} // namespace

TEST(PreviewSearch, FindThenF3WalksTheMatchesInOrder)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    Window w(3);
    QTest::keyClick(w.preview()->Workspace(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(w.preview()->FindFmVisible());
    EXPECT_TRUE(w.form.Button(QStringLiteral("FindB"))->isChecked());
    // Rows 1..3 on each page: "Řádek 2 strany N" once per page.
    typeSearch(w, QStringLiteral("řádek 2"), true);
    const zd::PreviewSearch& s = zd::previewSearch();
    ASSERT_TRUE(s.Highlight);
    EXPECT_EQ(w.preview()->Workspace()->FindPage, 0);
    QTest::keyClick(w.preview()->Workspace(), Qt::Key_F3);
    EXPECT_EQ(w.preview()->Workspace()->FindPage, 1);
    QTest::keyClick(w.preview()->Workspace(), Qt::Key_F3);
    EXPECT_EQ(w.preview()->Workspace()->FindPage, 2);
    EXPECT_TRUE(ui.Calls().empty());
    QTest::keyClick(w.preview()->Workspace(), Qt::Key_F3);
    ASSERT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox"))[0].text, QStringLiteral("Text nenalezen"));
    EXPECT_FALSE(w.preview()->Found());
    // Not found: F3 does nothing more.
    QTest::keyClick(w.preview()->Workspace(), Qt::Key_F3);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
}

TEST(PreviewSearch, CaseAndEmptyText)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    Window w(1);
    w.preview()->SetFindFmVisible(true);
    typeSearch(w, QStringLiteral("ŘÁDEK"), true, false, true);
    EXPECT_FALSE(zd::previewSearch().Highlight);
    typeSearch(w, QStringLiteral("ŘÁDEK"), true);
    EXPECT_TRUE(zd::previewSearch().Highlight); // Unicode upper-casing
    ui.Reset();
    typeSearch(w, QString(), true);
    EXPECT_FALSE(zd::previewSearch().Highlight);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_FALSE(zd::SearchMatches(QStringLiteral("abc"), QString(), false));
}

TEST(PreviewSearch, FindAllListsEveryMatchByPage)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    Window w(3);
    w.preview()->SetFindFmVisible(true);
    typeSearch(w, QStringLiteral("strany"), false, true);
    QTreeWidget* tree = w.preview()->FindForm()->trvFind;
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("Stránka 2"));
    EXPECT_EQ(tree->topLevelItem(1)->childCount(), 3);
    EXPECT_EQ(tree->topLevelItem(1)->child(0)->text(0), QStringLiteral("Řádek 1 strany 2"));
    // Searching again with the same settings after find-all does nothing, F3 too.
    tree->topLevelItem(2)->child(1)->setSelected(true);
    tree->setCurrentItem(tree->topLevelItem(2)->child(1));
    EXPECT_EQ(w.preview()->PageNo(), 3);
    EXPECT_TRUE(zd::previewSearch().Highlight);
    w.preview()->FindForm()->btnFind->click();
    EXPECT_EQ(tree->topLevelItemCount(), 3);
    w.preview()->FindNext();
    EXPECT_TRUE(ui.Calls().empty());
}

TEST(PreviewSearch, HighlightIsInvertedOnThePage)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    Window w(1);
    w.preview()->SetZoom(1);
    w.preview()->SetFindFmVisible(true);
    QTest::qWait(20);
    const QImage before = w.preview()->Workspace()->viewport()->grab().toImage();
    typeSearch(w, QStringLiteral("Řádek 1"), true);
    ASSERT_TRUE(zd::previewSearch().Highlight);
    QCoreApplication::processEvents();
    const QImage after = w.preview()->Workspace()->viewport()->grab().toImage();
    ASSERT_EQ(before.size(), after.size());
    const plat::TRect page = w.preview()->Workspace()->PageBounds(0);
    const plat::TRect& h = zd::previewSearch().HighlightRect;
    const int x = page.Left - w.preview()->Workspace()->HorzPosition() + (h.Left + h.Right) / 2;
    const int y = page.Top - w.preview()->Workspace()->VertPosition() + (h.Top + h.Bottom) / 2;
    EXPECT_NE(before.pixel(x, y), after.pixel(x, y));
}

TEST(PreviewSearch, TheThumbnailShowsTheMatchOnItsPageToo)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    Window w(3);
    w.preview()->SetThumbnailVisible(true);
    w.preview()->SetFindFmVisible(true);
    QTest::qWait(20);
    TzdPreviewWorkspace* thumb = w.preview()->Thumbnail();
    const QImage before = thumb->viewport()->grab().toImage();
    typeSearch(w, QStringLiteral("Řádek 1 strany 2"), true);
    ASSERT_TRUE(zd::previewSearch().Highlight);
    EXPECT_EQ(thumb->FindPage, 1);
    QCoreApplication::processEvents();
    const QImage after = thumb->viewport()->grab().toImage();
    ASSERT_EQ(before.size(), after.size());
    // Inside the pages (their frames show which page is current) only the
    // second page changes: the inverted match.
    const auto interior = [&](int index) {
        const plat::TRect page = thumb->PageBounds(index);
        return QRect(page.Left - thumb->HorzPosition() + 2, page.Top - thumb->VertPosition() + 2,
                     page.Right - page.Left - 4, page.Bottom - page.Top - 4);
    };
    const auto changed = [](const QImage& a, const QImage& b, const QRect& r) {
        int n = 0;
        for (int y = std::max(0, r.top()); y <= std::min(a.height() - 1, r.bottom()); ++y)
            for (int x = std::max(0, r.left()); x <= std::min(a.width() - 1, r.right()); ++x)
                n += a.pixel(x, y) != b.pixel(x, y);
        return n;
    };
    EXPECT_GT(changed(before, after, interior(1)), 0);
    EXPECT_EQ(changed(before, after, interior(0)), 0);
    EXPECT_EQ(changed(before, after, interior(2)), 0);
    w.preview()->ClearHighlight();
    QCoreApplication::processEvents();
    EXPECT_EQ(changed(before, thumb->viewport()->grab().toImage(), interior(1)), 0);
}

// ---------------------------------------------------------------- template and right to left

namespace {

class TemplateStubDesigner : public TzdCustomDesigner {
public:
    using TzdCustomDesigner::TzdCustomDesigner;
    void CodeLines() override {}
    QString EditExpression(const QString& Expr) override { return Expr; }
    void LockDesigner() override {}
    void RebuildPageTabs(int) override {}
    void ReloadFromReport() override {}
    void RefreshDataTree() override {}
    void RepaintPage() override {}
    void RefreshInspector() override {}
    void SuspendInspector() override {}
    void ResumeInspector() override {}
};

QStringList g_designedObjects;

} // namespace

TEST(PreviewWindow, ShowTemplateDesignsCopiesOfTheSourcePages)
{
    Window w(2);
    auto source = previewtest::blankPage();
    source->SetName(QStringLiteral("Vzor1"));
    previewtest::addMemo(source.get(), QStringLiteral("Nadpis"), 10, 10, 100, 20, QStringLiteral("Vzor"));
    w.data.pages.RegisterSourcePage(source.get());
    const int count = w.data.pages.SourcePageCount();
    ASSERT_GE(count, 1);
    TzdReportPage* kept = w.data.pages.SourcePage(count - 1);
    const TzdDesignerClass saved = zdDesignerClass;
    g_designedObjects.clear();
    // The designer sees the pages and may free them as it likes.
    zdDesignerClass = [](plat::TComponent* o, zd::ReportDocument* r, bool p) -> TzdCustomDesigner* {
        TzdReport* report = r->Report();
        for (int i = 0; i < report->GetPageCount(); ++i)
            g_designedObjects << report->GetPageByIndex(i)->Name();
        for (TzdComponent* c : report->AllObjects())
            g_designedObjects << c->Name();
        while (report->GetPageCount() > 0)
            delete report->GetPageByIndex(0);
        return new TemplateStubDesigner(o, r, p);
    };
    w.form.HiddenMenu->findChild<QAction*>(QStringLiteral("Showtemplate1"))->trigger();
    zdDesignerClass = saved;
    EXPECT_TRUE(g_designedObjects.contains(QStringLiteral("Vzor1")));
    EXPECT_TRUE(g_designedObjects.contains(QStringLiteral("Nadpis")));
    // The store's own source pages are untouched.
    ASSERT_EQ(w.data.pages.SourcePageCount(), count);
    EXPECT_EQ(w.data.pages.SourcePage(count - 1), kept);
    EXPECT_EQ(kept->ChildCount(), 1);
    EXPECT_EQ(kept->Parent(), nullptr);
}

TEST(PreviewWindow, RightToLeftPreviewMirrorsOnlyThePageArea)
{
    SyntheticPages data(2);
    data.writer.report.PreviewOptions()->Maximized = false;
    data.writer.report.PreviewOptions()->OutlineVisible = true;
    struct RightToLeft {
        RightToLeft() { TzdPreview::RTLPreview = true; }
        ~RightToLeft() { TzdPreview::RTLPreview = false; }
    } rightToLeft;
    TzdPreviewForm form;
    form.resize(900, 700);
    form.Init(&data.writer.report, &data.pages);
    form.show();
    QTest::qWaitForWindowExposed(&form);
    TzdPreviewWorkspace* area = form.Preview()->Workspace();
    EXPECT_TRUE(area->RightToLeft());
    const plat::TRect mirrored = area->PageBounds(0);
    // The same layout from the left, for comparison.
    area->SetRightToLeft(false);
    const plat::TRect plain = area->PageBounds(0);
    const int width = area->viewport()->width();
    EXPECT_EQ(mirrored.Left, width - (plain.Right - plain.Left) - plain.Left);
    EXPECT_EQ(mirrored.Top, plain.Top);
    // The outline stays at the window's start: the window reads left to right.
    QTreeWidget* outline = form.Preview()->OutlineTree();
    ASSERT_TRUE(outline->isVisible());
    EXPECT_LT(outline->mapTo(&form, QPoint(0, 0)).x(), area->mapTo(&form, QPoint(0, 0)).x());
}

TEST(PreviewWindow, AWindowReadingRightToLeftPutsTheOutlineOnTheRight)
{
    SyntheticPages data(2);
    data.writer.report.PreviewOptions()->Maximized = false;
    data.writer.report.PreviewOptions()->OutlineVisible = true;
    TzdPreviewForm form;
    form.setLayoutDirection(Qt::RightToLeft);
    form.resize(900, 700);
    form.Init(&data.writer.report, &data.pages);
    form.show();
    QTest::qWaitForWindowExposed(&form);
    TzdPreviewWorkspace* area = form.Preview()->Workspace();
    EXPECT_FALSE(area->RightToLeft()); // the pages themselves stay as the options say
    QTreeWidget* outline = form.Preview()->OutlineTree();
    ASSERT_TRUE(outline->isVisible());
    EXPECT_GT(outline->mapTo(&form, QPoint(0, 0)).x(), area->mapTo(&form, QPoint(0, 0)).x());
}
