#include "zdPreview_model.h"

#include <Qt>

#include <gtest/gtest.h>

using namespace zd;

namespace {

TzdPageList laidOut(std::vector<QSize> sizes, int W, long double zoom = 1)
{
    TzdPageList list;
    for (QSize s : sizes)
        list.AddPage(s, zoom);
    list.CalcBounds(W);
    return list;
}

} // namespace

TEST(PageList, RowsAreFilledAndCentred)
{
    struct Case {
        std::vector<QSize> sizes;
        int W;
        std::vector<std::pair<int, int>> leftTop;
    };
    const Case cases[] = {
        // 300 + 10 + 300 + 10 + 300 = 920 <= 1000: one row, offset (1000 - 930 + 10) / 2 + 10 = 50.
        {{{300, 400}, {300, 400}, {300, 400}}, 1000, {{50, 10}, {360, 10}, {670, 10}}},
        // Each page wider than the area: one per row at 10.
        {{{900, 100}, {900, 200}, {900, 50}}, 500, {{10, 10}, {10, 120}, {10, 330}}},
        // The row's height is its tallest page.
        {{{200, 100}, {200, 300}, {500, 50}}, 450, {{30, 10}, {240, 10}, {10, 320}}},
    };
    for (const Case& c : cases) {
        const TzdPageList list = laidOut(c.sizes, c.W);
        for (size_t i = 0; i < c.leftTop.size(); ++i) {
            EXPECT_EQ(list.Item(int(i)).Left, c.leftTop[i].first) << i;
            EXPECT_EQ(list.Item(int(i)).Top, c.leftTop[i].second) << i;
        }
    }
}

TEST(PageList, RangesAndSizesAtZoom)
{
    const TzdPageList list = laidOut({{794, 1123}, {794, 1123}}, 600, 0.5L);
    EXPECT_EQ(list.Item(0).Width, 397);
    EXPECT_EQ(list.Item(0).Height, 562); // 561.5 rounds to even
    EXPECT_EQ(list.Ranges(), QSize(list.WidestRow() + 10, list.Item(1).Top + 562 + 10));
    EXPECT_EQ(TzdPageList().Ranges(), QSize(0, 0));
}

TEST(PageList, FindPageByPositionAndPoint)
{
    // Pages 100 high at tops 10, 120, 230: a page is current once its top is
    // within a fifth of its height (20) below the view's top.
    const TzdPageList list = laidOut({{100, 100}, {100, 100}, {100, 100}}, 50);
    EXPECT_EQ(list.FindPage(-20), -1);
    EXPECT_EQ(list.FindPage(0), 0);
    EXPECT_EQ(list.FindPage(99), 0);
    EXPECT_EQ(list.FindPage(100), 1);
    EXPECT_EQ(list.FindPage(215), 2);
    // With a point: the page whose rectangle holds it.
    EXPECT_EQ(list.FindPage(125, 50), 1);
    EXPECT_EQ(list.FindPage(115, 50), 0); // in the gap: the search result stands
}

TEST(PageList, DefaultSheetOutsideTheList)
{
    const TzdPageList list;
    const plat::TRect r = list.GetPageBounds(3, 1000, false, 1);
    EXPECT_EQ(r.Left, 103);
    EXPECT_EQ(r.Top, 10);
    EXPECT_EQ(r.Right - r.Left, 794);
    EXPECT_EQ(list.GetPageBounds(0, 500, false, 1).Left, 10); // does not fit
}

TEST(PageList, RightToLeftMirrorsLeft)
{
    const TzdPageList list = laidOut({{300, 400}}, 1000);
    const plat::TRect r = list.GetPageBounds(0, 1000, true, 1);
    EXPECT_EQ(r.Left, 1000 - 300 - list.Item(0).Left);
}

TEST(PreviewZoom, FitRules)
{
    // Whole page: the tighter of width and height wins.
    EXPECT_NEAR(double(WholePageZoom({794, 1123}, {826, 2000}, 17, 1)), 800.0 / 794, 1e-9);
    EXPECT_NEAR(double(WholePageZoom({794, 1123}, {2000, 1149}, 17, 1)), 1123.0 / 1123, 1e-9);
    // The scroll bar counts with two pages or more.
    EXPECT_NEAR(double(WholePageZoom({794, 1123}, {843, 5000}, 17, 2)), 800.0 / 794, 1e-9);
    EXPECT_NEAR(double(PageWidthZoom({400, 600}, {843, 100}, 17)), 2.0, 1e-9);
}

TEST(PreviewZoom, StepsAndLimits)
{
    EXPECT_NEAR(double(WheelZoom(0.2L, -120)), 0.3, 1e-12);
    EXPECT_NEAR(double(WheelZoom(1, 120)), 1.1, 1e-12);
    EXPECT_NEAR(double(WheelZoom(1, -120)), 0.9, 1e-12);
    EXPECT_EQ(ClampZoom(0.1L, 100), kMinZoom);
    // Huge zooms stop where 1,000 A4 pages still fit 32-bit coordinates.
    const std::vector<QSize> pages(1000, QSize(794, 1123));
    const long double maxZoom = MaxZoom(pages);
    EXPECT_LT(maxZoom * (1133.0L * 1000 + 10), kMaxExtent + 1);
    EXPECT_EQ(ClampZoom(1e9L, maxZoom), maxZoom);
    EXPECT_LT(double(maxZoom) * 1133 * 1000, 2147483647.0);
}

TEST(PreviewZoom, ZoomListText)
{
    struct Case {
        const char* text;
        std::optional<double> zoom;
    };
    const Case cases[] = {{"125 %", 1.25}, {"125%", 1.25}, {" 75 ", 0.75}, {"", std::nullopt},
                          {"%", std::nullopt}, {"12,5%", 0.125}, {"abc", std::nullopt}};
    for (const Case& c : cases) {
        const auto z = ParseZoomText(QString::fromUtf8(c.text));
        ASSERT_EQ(z.has_value(), c.zoom.has_value()) << c.text;
        if (z)
            EXPECT_NEAR(double(*z), *c.zoom, 1e-12) << c.text;
    }
    EXPECT_EQ(ZoomText(1.25L), QStringLiteral("125%"));
    EXPECT_EQ(ZoomText(0.125L), QStringLiteral("12%")); // 12.5 to even
}

TEST(PreviewKeys, Table)
{
    struct Case {
        int key;
        bool ctrl;
        PreviewKey action;
    };
    const Case cases[] = {
        {Qt::Key_Up, false, PreviewKey::ScrollUp},       {Qt::Key_Down, true, PreviewKey::ScrollDown},
        {Qt::Key_PageUp, false, PreviewKey::PageUp},     {Qt::Key_PageUp, true, PreviewKey::PriorPage},
        {Qt::Key_PageDown, true, PreviewKey::NextPage},  {Qt::Key_Home, false, PreviewKey::FirstPage},
        {Qt::Key_End, false, PreviewKey::LastPage},      {Qt::Key_F3, false, PreviewKey::FindNext},
        {Qt::Key_P, true, PreviewKey::Print},            {Qt::Key_P, false, PreviewKey::None},
        {Qt::Key_S, true, PreviewKey::Save},             {Qt::Key_F, true, PreviewKey::ToggleFind},
        {Qt::Key_O, true, PreviewKey::Load},             {Qt::Key_X, true, PreviewKey::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PreviewKeyOf(c.key, c.ctrl), c.action) << c.key << ' ' << c.ctrl;
}
