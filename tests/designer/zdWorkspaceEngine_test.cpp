// The design workspace's engine without a window: handles and their
// remapping, step quantisation, mouse moves, sizes and group scaling,
// keyboard moves and sizes, deletion, and the band layout.

#include "Controls.h"
#include "Exceptions.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_shape.h"
#include "zdWorkspaceEngine.h"
#include "zdWorkspaceTools.h"
#include "StringList.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using zd::WorkspaceEngine;

struct Workspace : ::testing::Test {
    TzdReport report;
    TzdReportPage* page;
    std::vector<TzdComponent*> objects;
    std::vector<TzdComponent*> selection;
    WorkspaceEngine ws{objects, selection};
    int modified = 0;

    Workspace()
    {
        static const bool started = [] {
            zd::startReportUnit();
            return true;
        }();
        (void)started;
        page = new TzdReportPage(&report);
        page->SetParent(&report);
        page->SetName(QStringLiteral("Page1"));
        ws.Page = page;
        ws.SetGridKind(zd::gkPixels);
        ws.GridStepX = ws.GridStepY = 8;
        ws.OnModify = [this] { ++modified; };
        selection = {page};
    }

    template <class T>
    T* add(TzdComponent* parent, const char* name, long double l, long double t, long double w, long double h)
    {
        auto* obj = new T(&report);
        obj->SetParent(parent);
        obj->SetName(QString::fromLatin1(name));
        obj->SetBounds(l, t, w, h);
        obj->DesignMode = true;
        objects.push_back(obj);
        return obj;
    }
    TzdLineView* line(const char* name, long double l, long double t, long double w, long double h, bool diag)
    {
        auto* obj = add<TzdLineView>(page, name, l, t, w, h);
        obj->Diagonal = diag;
        return obj;
    }
    void drag(int x0, int y0, int x1, int y1, plat::TShiftState shift = {})
    {
        ws.MouseMove(x0, y0, shift);
        ws.MouseDown(plat::mbLeft, shift, x0, y0);
        ws.MouseMove(x1, y1, shift);
        ws.MouseUp(plat::mbLeft, shift, x1, y1);
    }
    QStringList bandOrder() const
    {
        std::vector<TzdComponent*> bands;
        for (TzdComponent* c : page->Children())
            if (dynamic_cast<TzdBand*>(c))
                bands.push_back(c);
        std::stable_sort(bands.begin(), bands.end(),
                         [](TzdComponent* a, TzdComponent* b) { return a->Top() < b->Top(); });
        QStringList names;
        for (TzdComponent* b : bands)
            names << b->Name();
        return names;
    }
};

TEST(WorkspaceHandles, RemapTableFollowsTheEdgeHeld)
{
    struct Row {
        int handle, widthNeg, heightNeg, both;
    };
    const Row rows[] = {{1, 3, 4, 2}, {2, 4, 3, 1}, {3, 1, 2, 4}, {4, 2, 1, 3},
                        {5, 6, 0, 0}, {6, 5, 0, 0}, {7, 0, 8, 0}, {8, 0, 7, 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.handle);
        EXPECT_EQ(WorkspaceEngine::RemapHandle(r.handle, true, false), r.widthNeg);
        EXPECT_EQ(WorkspaceEngine::RemapHandle(r.handle, false, true), r.heightNeg);
        EXPECT_EQ(WorkspaceEngine::RemapHandle(r.handle, true, true), r.both);
        EXPECT_EQ(WorkspaceEngine::RemapHandle(r.handle, false, false), r.handle);
    }
}

TEST_F(Workspace, HandlesOfBoxesAndLines)
{
    auto* memo = add<TzdMemoView>(page, "Memo1", 100, 100, 80, 40);
    auto* vertical = line("Line1", 300, 100, 0, 50, false);
    auto* horizontal = line("Line2", 400, 100, 60, 0, false);
    auto* diagonal = line("Line3", 500, 100, 40, 40, true);
    struct Case {
        TzdComponent* obj;
        long double x, y;
        int handle;
    };
    const Case cases[] = {
        {memo, 100, 100, 1},     {memo, 180, 140, 2},       {memo, 180, 100, 3},     {memo, 100, 140, 4},
        {memo, 180, 120, 5},     {memo, 100, 120, 6},       {memo, 140, 100, 7},     {memo, 140, 140, 8},
        {memo, 103, 103, 1},     {memo, 104, 104, 0},       {memo, 97.9L, 100, 0},   {memo, 140, 120, 0},
        {vertical, 300, 100, 7}, {vertical, 300, 150, 8},   {vertical, 300, 125, 0}, {horizontal, 400, 100, 6},
        {horizontal, 460, 100, 5}, {diagonal, 500, 100, 9}, {diagonal, 540, 140, 10}, {diagonal, 540, 100, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.obj->Name() + QStringLiteral(" %1,%2").arg(double(c.x)).arg(double(c.y))).toStdString());
        EXPECT_EQ(ws.HandleAt(c.obj, c.x, c.y), c.handle);
    }
}

TEST_F(Workspace, StepQuantisation)
{
    struct Case {
        bool gridAlign, alt;
        long double dx, dy;
        bool taken;
        long double rx, ry;
    };
    const Case cases[] = {
        {true, false, 5, 7, false, 0, 0},  {true, false, 9, 3, true, 8, 0},   {true, false, -17, 0, true, -16, 0},
        {true, true, 5, 7, true, 5, 7},    {false, false, 5, 7, true, 5, 7},  {false, true, 5, 7, false, 0, 0},
        {false, true, 3, 12, true, 0, 8},  {false, false, 0, 0, false, 0, 0}, {true, false, 7.9L, 8, true, 0, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 %3 %4").arg(c.gridAlign).arg(c.alt).arg(double(c.dx)).arg(double(c.dy)).toStdString());
        ws.GridAlign = c.gridAlign;
        long double dx = c.dx, dy = c.dy;
        ASSERT_EQ(ws.QuantiseStep(dx, dy, c.alt), c.taken);
        if (c.taken) {
            EXPECT_EQ(dx, c.rx);
            EXPECT_EQ(dy, c.ry);
        }
    }
}

TEST_F(Workspace, DragBelowOneGridStepMovesNothingAndAltMovesFreely)
{
    auto* memo = add<TzdMemoView>(page, "Memo1", 100, 100, 80, 40);
    selection = {memo};
    drag(120, 120, 125, 126);
    EXPECT_EQ(memo->Left(), 100);
    EXPECT_EQ(memo->Top(), 100);
    EXPECT_EQ(modified, 0);
    // Alt held while the drag runs (pressed with Alt over a memo starts
    // in-place editing instead).
    ws.MouseDown(plat::mbLeft, {}, 120, 120);
    ws.MouseMove(125, 126, {plat::ssAlt});
    ws.MouseUp(plat::mbLeft, {plat::ssAlt}, 125, 126);
    EXPECT_EQ(memo->Left(), 105);
    EXPECT_EQ(memo->Top(), 106);
    EXPECT_EQ(modified, 1);
}

TEST_F(Workspace, DraggingTopLeftPastBottomRightNormalises)
{
    auto* memo = add<TzdMemoView>(page, "Memo1", 100, 100, 80, 40);
    selection = {memo};
    ws.GridAlign = false;
    ws.MouseMove(100, 100, {});
    ASSERT_EQ(ws.Mode, zd::wmSize);
    ASSERT_EQ(ws.Handle, 1);
    ws.MouseDown(plat::mbLeft, {}, 100, 100);
    ws.MouseMove(200, 150, {});
    EXPECT_EQ(ws.Handle, 2);
    EXPECT_EQ(memo->Left(), 180);
    EXPECT_EQ(memo->Top(), 140);
    EXPECT_EQ(memo->Width(), 20);
    EXPECT_EQ(memo->Height(), 10);
    ws.MouseUp(plat::mbLeft, {}, 200, 150);
}

TEST_F(Workspace, GroupScalingOfLinesKeepsFactorOneAlongTheirZeroExtent)
{
    auto* a = line("Line1", 100, 100, 50, 0, false);
    auto* b = line("Line2", 100, 100, 100, 0, false);
    selection = {a, b};
    ws.GridAlign = false;
    ws.MouseMove(200, 100, {});
    ASSERT_EQ(ws.Mode, zd::wmGroupScale);
    ws.MouseDown(plat::mbLeft, {}, 200, 100);
    ws.MouseMove(300, 130, {});
    ws.MouseUp(plat::mbLeft, {}, 300, 130);
    for (TzdComponent* l : {static_cast<TzdComponent*>(a), static_cast<TzdComponent*>(b)}) {
        EXPECT_TRUE(std::isfinite(double(l->Top())) && std::isfinite(double(l->Height())));
        EXPECT_EQ(l->Top(), 100);
        EXPECT_EQ(l->Height(), 0);
    }
    EXPECT_EQ(a->Width(), 100);
    EXPECT_EQ(b->Width(), 200);
}

TEST_F(Workspace, InsertionReleaseSizes)
{
    std::vector<zd::InsertRequest> requests;
    ws.OnInsertRequest = [&](const zd::InsertRequest& r) { requests.push_back(r); };
    ws.GridAlign = false;
    ws.SetInsertion(TzdMemoView::StaticClass(), 0, 80, 16);
    EXPECT_EQ(ws.Mode, zd::wmPlace);
    drag(50, 60, 51, 61);
    ws.SetInsertion(TzdMemoView::StaticClass(), 0, 80, 16);
    drag(150, 160, 100, 100);
    ws.SetInsertion(TzdLineView::StaticClass(), 0, 80, 16);
    EXPECT_EQ(ws.Mode, zd::wmPlaceLine);
    drag(50, 60, 50, 60);
    ws.SetInsertion(TzdLineView::StaticClass(), 0, 80, 16);
    drag(200, 200, 150, 210);
    ASSERT_EQ(requests.size(), 4u);
    auto bounds = [](const zd::InsertRequest& r) {
        return QStringLiteral("%1 %2 %3 %4")
            .arg(double(r.Bounds.Left))
            .arg(double(r.Bounds.Top))
            .arg(double(r.Bounds.Width))
            .arg(double(r.Bounds.Height));
    };
    EXPECT_EQ(bounds(requests[0]), QStringLiteral("50 60 80 16")); // a click takes the default size
    EXPECT_EQ(bounds(requests[1]), QStringLiteral("100 100 50 60")); // normalised
    EXPECT_EQ(bounds(requests[2]), QStringLiteral("50 60 0 0"));
    EXPECT_EQ(bounds(requests[3]), QStringLiteral("150 200 50 0")); // the larger extent, mirrored
}

TEST_F(Workspace, PageOnlySelectionCountsAsEmpty)
{
    auto* memo = add<TzdMemoView>(page, "Memo1", 100, 100, 80, 40);
    selection = {page};
    EXPECT_EQ(ws.SelectedCount(), 0);
    ws.KeyDown(plat::VK_RIGHT, {plat::ssCtrl});
    ws.KeyDown(plat::VK_TAB, {});
    ws.DeleteSelected();
    EXPECT_EQ(memo->Left(), 100);
    EXPECT_EQ(selection, std::vector<TzdComponent*>{page});
    EXPECT_EQ(page->ChildCount(), 1);
}

TEST_F(Workspace, KeyboardMovesAndSizes)
{
    struct Case {
        int grid;
        int key;
        plat::TShiftState shift;
        long double left, top, width, height;
    };
    const Case cases[] = {
        {zd::gkPixels, plat::VK_RIGHT, {plat::ssCtrl}, 101, 100, 20, 40},
        {zd::gkPixels, plat::VK_DOWN, {plat::ssCtrl, plat::ssShift}, 100, 108, 20, 40},
        {zd::gkChars, plat::VK_RIGHT, {plat::ssCtrl}, 109.6L, 100, 20, 40},
        {zd::gkChars, plat::VK_UP, {plat::ssCtrl}, 100, 83, 20, 40},
        {zd::gkPixels, plat::VK_RIGHT, {plat::ssShift}, 100, 100, 28, 40},
        {zd::gkPixels, plat::VK_UP, {plat::ssShift}, 100, 100, 20, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        auto* memo = add<TzdMemoView>(page, "Memo1", 100, 100, 20, 40);
        selection = {memo};
        ws.SetGridKind(c.grid);
        ws.GridStepX = c.grid == zd::gkChars ? 9.6L : 8;
        ws.GridStepY = c.grid == zd::gkChars ? 17 : 8;
        ws.KeyDown(c.key, c.shift);
        EXPECT_NEAR(double(memo->Left()), double(c.left), 1e-9);
        EXPECT_NEAR(double(memo->Top()), double(c.top), 1e-9);
        EXPECT_EQ(memo->Width(), c.width);
        EXPECT_EQ(memo->Height(), c.height);
        objects.clear();
        delete memo;
    }
}

TEST_F(Workspace, ShiftLeftOnANarrowObjectKeepsItsWidth)
{
    auto* memo = add<TzdMemoView>(page, "Memo1", 100, 100, 5, 40);
    selection = {memo};
    ws.KeyDown(plat::VK_LEFT, {plat::ssShift});
    EXPECT_EQ(memo->Width(), 5);
}

TEST_F(Workspace, ArrowsSelectTheNearestObjectAndAltPlacesNextToIt)
{
    auto* a = add<TzdMemoView>(page, "A", 100, 100, 20, 20);
    auto* farRight = add<TzdMemoView>(page, "B", 400, 105, 20, 20);
    auto* nearRight = add<TzdMemoView>(page, "C", 200, 110, 20, 20);
    add<TzdMemoView>(page, "D", 130, 300, 20, 20); // below, outside the cone of Right
    selection = {a};
    ws.KeyDown(plat::VK_RIGHT, {});
    EXPECT_EQ(selection, std::vector<TzdComponent*>{nearRight});
    ws.KeyDown(plat::VK_RIGHT, {});
    EXPECT_EQ(selection, std::vector<TzdComponent*>{farRight});
    selection = {a};
    ws.KeyDown(plat::VK_RIGHT, {plat::ssAlt});
    EXPECT_EQ(a->Left(), 180);
    ws.KeyUp(plat::VK_RIGHT, {});
    EXPECT_EQ(modified, 1);
}

TEST_F(Workspace, DeletingABandDeletesItsObjectsFromEveryList)
{
    auto* band = add<TzdMasterData>(page, "MasterData1", 0, 100, 700, 40);
    auto* memo = add<TzdMemoView>(band, "Memo1", 10, 5, 80, 20);
    auto* inner = add<TzdMemoView>(memo, "Inner", 0, 0, 10, 10); // a grandchild of the band
    (void)inner;
    selection = {band};
    ws.DeleteSelected();
    EXPECT_TRUE(objects.empty());
    EXPECT_EQ(selection, std::vector<TzdComponent*>{page});
    EXPECT_EQ(page->ChildCount(), 0);
    EXPECT_EQ(report.FindObject(QStringLiteral("Memo1")), nullptr);
    EXPECT_EQ(modified, 1);
}

TEST_F(Workspace, AnInheritedObjectStopsDeletionBeforeAnythingChanges)
{
    auto* own = add<TzdMemoView>(page, "Own", 10, 10, 80, 20);
    auto* inherited = add<TzdMemoView>(page, "Inherited", 10, 50, 80, 20);
    inherited->FromAncestor = true;
    selection = {own, inherited};
    EXPECT_THROW(ws.DeleteSelected(), plat::Exception);
    EXPECT_EQ(page->ChildCount(), 2);
    EXPECT_EQ(objects.size(), 2u);
    EXPECT_EQ(selection.size(), 2u);
    EXPECT_EQ(modified, 0);
}

TEST_F(Workspace, ArrangeBandsStacksBySortKeyAndSection)
{
    ws.SetGridKind(zd::gkPixels);
    ws.GridStepY = 4;
    ws.BandsGap = 4;
    add<TzdPageFooter>(page, "PageFooter1", 0, 10, 700, 20);
    add<TzdMasterData>(page, "MasterData1", 0, 300, 700, 20);
    add<TzdHeader>(page, "Header1", 0, 200, 700, 20);
    add<TzdReportTitle>(page, "ReportTitle1", 0, 900, 700, 20);
    add<TzdPageHeader>(page, "PageHeader1", 0, 500, 700, 20);
    add<TzdReportSummary>(page, "ReportSummary1", 0, 0, 700, 20);
    ws.ArrangeBands(true);
    EXPECT_EQ(bandOrder().join(u' '),
              QStringLiteral("ReportTitle1 PageHeader1 Header1 MasterData1 ReportSummary1 PageFooter1"));
    // caption 16, height 20, gap 4: each next Top = round((Top + 40) / 4) * 4,
    // plus 40 entering and leaving the middle section.
    auto top = [&](const char* name) { return double(report.FindObject(QString::fromLatin1(name))->Top()); };
    EXPECT_EQ(top("ReportTitle1"), 16);
    EXPECT_EQ(top("PageHeader1"), 56);
    EXPECT_EQ(top("Header1"), 136);
    EXPECT_EQ(top("MasterData1"), 176);
    EXPECT_EQ(top("ReportSummary1"), 256);
    EXPECT_EQ(top("PageFooter1"), 296);
}

TEST_F(Workspace, ChildBandsFollowTheirParentAndLoopsEnd)
{
    auto* master = add<TzdMasterData>(page, "MasterData1", 0, 100, 700, 20);
    auto* child = add<TzdChild>(page, "Child1", 0, 5, 700, 20);
    add<TzdMasterData>(page, "MasterData2", 0, 60, 700, 20);
    master->SetChild(child);
    ws.ArrangeBands(true);
    EXPECT_EQ(bandOrder().join(u' '), QStringLiteral("MasterData2 MasterData1 Child1"));

    // A chain that would loop is refused where it is made, so the layout
    // never meets one.
    auto* c1 = add<TzdChild>(page, "Child2", 0, 400, 700, 20);
    auto* c2 = add<TzdChild>(page, "Child3", 0, 300, 700, 20);
    c1->SetChild(c2);
    ASSERT_THROW(c2->SetChild(c1), plat::Exception);
    ws.ArrangeBands(true);
    EXPECT_EQ(bandOrder().join(u' '), QStringLiteral("MasterData2 MasterData1 Child1 Child2 Child3"));
}

TEST_F(Workspace, FreeBandsKeepTheirTopsButTakeTheirObjects)
{
    ws.FreeBands = true;
    auto* band = add<TzdMasterData>(page, "MasterData1", 0, 100, 700, 40);
    auto* inside = add<TzdMemoView>(page, "Memo1", 10, 120, 80, 20);
    auto* outside = add<TzdMemoView>(page, "Memo2", 10, 150, 80, 20);
    ws.ArrangeBands(true);
    EXPECT_EQ(band->Top(), 100);
    EXPECT_EQ(inside->Parent(), band);
    EXPECT_EQ(inside->Top(), 20);
    EXPECT_EQ(outside->Parent(), page);
    // Bands come first in the object list.
    EXPECT_EQ(objects.front(), band);
}

TEST_F(Workspace, BandsWithTheSameTopBothStack)
{
    add<TzdMasterData>(page, "MasterData1", 0, 100, 700, 20);
    add<TzdMasterData>(page, "MasterData2", 0, 100, 700, 20);
    ws.ArrangeBands(true);
    EXPECT_EQ(bandOrder().size(), 2);
    auto* a = report.FindObject(QStringLiteral("MasterData1"));
    auto* b = report.FindObject(QStringLiteral("MasterData2"));
    EXPECT_NE(a->Top(), b->Top());
}

TEST_F(Workspace, FittingABandGrowsItAndMovesObjectsAboveItsTop)
{
    auto* band = add<TzdMasterData>(page, "MasterData1", 0, 100, 700, 20);
    auto* memo = add<TzdMemoView>(band, "Memo1", 0, -10, 80, 50);
    auto* bottom = add<TzdMemoView>(band, "Memo2", 0, 0, 80, 100);
    bottom->SetAlign(baBottom); // aligned objects are ignored
    WorkspaceEngine::FitBandToObjects(band);
    EXPECT_EQ(band->Height(), 50);
    EXPECT_EQ(memo->Top(), 0);
}

TEST_F(Workspace, RubberBandSelectsObjectsButNotBands)
{
    add<TzdMasterData>(page, "MasterData1", 0, 100, 700, 100);
    auto* a = add<TzdMemoView>(page, "A", 10, 110, 20, 20);
    add<TzdMemoView>(page, "B", 300, 110, 20, 20);
    auto* diag = line("Line1", 40, 110, 40, 40, true);
    selection = {page};
    ws.GridAlign = false;
    drag(5, 105, 100, 160, {plat::ssCtrl});
    EXPECT_EQ(selection, (std::vector<TzdComponent*>{a, diag}));
}

// ---------------------------------------------------------------- tools and guides

struct Tools : ::testing::Test {
    TzdReport report;
    TzdReportPage* page;
    std::vector<TzdComponent*> objects;
    std::vector<TzdComponent*> selection;
    zd::WorkspaceTools ws{objects, selection};

    Tools()
    {
        zd::startReportUnit();
        page = new TzdReportPage(&report);
        page->SetParent(&report);
        page->SetName(QStringLiteral("Page1"));
        ws.Page = page;
        ws.GridStepX = ws.GridStepY = 8;
        ws.GridAlign = false;
        selection = {page};
    }
    TzdMemoView* memo(const char* name, long double l, long double t)
    {
        auto* m = new TzdMemoView(&report);
        m->SetParent(page);
        m->SetName(QString::fromLatin1(name));
        m->SetBounds(l, t, 40, 20);
        objects.push_back(m);
        return m;
    }
};

TEST_F(Tools, AGuideDroppedFromTheLeftRulerStoresPageUnits)
{
    ws.Scale = 2;
    ws.DropGuide(true, 100, 7);
    ASSERT_EQ(page->VGuides()->Count(), 1);
    EXPECT_EQ(page->VGuides()->Strings(0), QStringLiteral("50"));
    ws.GridAlign = true;
    ws.DropGuide(false, 3, 37);
    EXPECT_EQ(page->HGuides()->Strings(0), QStringLiteral("16"));
}

TEST_F(Tools, AGuideDraggedOffThePageIsRemoved)
{
    page->HGuides()->Add(QStringLiteral("100"));
    page->HGuides()->Add(QStringLiteral("300"));
    ws.MouseMove(50, 102, {});
    ASSERT_EQ(ws.Mode, zd::wmGuide);
    ws.MouseDown(plat::mbLeft, {}, 50, 102);
    ws.MouseMove(50, 52, {});
    EXPECT_EQ(page->HGuides()->Strings(0), QStringLiteral("50"));
    ws.MouseMove(50, 3, {});
    ws.MouseUp(plat::mbLeft, {}, 50, 3);
    EXPECT_EQ(page->HGuides()->Count(), 1);
    EXPECT_EQ(page->HGuides()->Strings(0), QStringLiteral("300"));
}

TEST_F(Tools, MovingSnapsToAGuideAndShowsAlignmentLines)
{
    page->VGuides()->Add(QStringLiteral("120"));
    auto* m = memo("Memo1", 100, 100);
    memo("Memo2", 120, 300);
    selection = {m};
    ws.MouseMove(110, 110, {});
    ws.MouseDown(plat::mbLeft, {}, 110, 110);
    ws.MouseMove(127, 110, {}); // 17 to the right: the left edge is 3 from the guide
    EXPECT_EQ(m->Left(), 120);
    // The left edge now meets Memo2's.
    ASSERT_FALSE(ws.AlignmentLines.empty());
    EXPECT_EQ(ws.AlignmentLines.front().X1, 120);
    ws.MouseMove(137, 110, {}); // 7 more leaves the guide's reach
    EXPECT_EQ(m->Left(), 127);
    ws.MouseUp(plat::mbLeft, {}, 137, 110);
    EXPECT_TRUE(ws.AlignmentLines.empty());
}

TEST(ZoomTool, ClickSteps)
{
    struct Case {
        double scale;
        bool left;
        double result;
    };
    const Case cases[] = {{0.5, true, 0.75}, {0.5, false, 0.25}, {0.4, false, 0.4},
                          {1, true, 2},      {2, false, 1},      {1.5, false, 1.25}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(double(zd::WorkspaceTools::ZoomClickScale(c.scale, c.left)), c.result)
            << c.scale << (c.left ? " left" : " right");
}

TEST_F(Tools, FormatPainterCopiesTheFirstSelectedMemosLook)
{
    auto* source = memo("Memo1", 10, 10);
    auto* target = memo("Memo2", 100, 10);
    auto* locked = memo("Memo3", 200, 10);
    locked->SetRestrictions({rfDontModify});
    source->Font()->SetName(QStringLiteral("Courier New"));
    source->HAlign = haRight;
    selection = {source};
    ws.ToolMode = zd::tmFormatPainter;
    ws.MouseDown(plat::mbLeft, {}, 110, 15);
    ws.MouseUp(plat::mbLeft, {}, 110, 15);
    ws.MouseDown(plat::mbLeft, {}, 210, 15);
    ws.MouseUp(plat::mbLeft, {}, 210, 15);
    EXPECT_EQ(target->Font()->Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(target->HAlign, haRight);
    EXPECT_NE(locked->Font()->Name(), QStringLiteral("Courier New"));
}

} // namespace
