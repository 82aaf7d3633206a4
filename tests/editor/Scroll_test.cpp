// Metrics, scrolling, scroll bars, the wheel, the scroll hint and the caret.

#include "EditorFixture.h"

#include "Canvas.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

using namespace edtest;

namespace {

struct Scrolled {
    explicit Scrolled(int lines, int rows = 20)
    {
        QStringList text;
        for (int i = 1; i <= lines; ++i)
            text << QStringLiteral("line %1").arg(i);
        e = editorWith(text);
        view.height = rows * e->RowHeight();
        e->SetView(&view);
    }
    FakeView view;
    std::unique_ptr<TCustomPlainEdit> e;
};

} // namespace

TEST(PlainEditScroll, TopRowKeepsItsLimits)
{
    Scrolled s(100);
    EXPECT_EQ(s.e->VisibleRows(), 20);
    s.e->SetTopRow(0);
    EXPECT_EQ(s.e->TopRow(), 1);
    s.e->SetTopRow(500);
    EXPECT_EQ(s.e->TopRow(), 81);
    s.e->SetOptions(s.e->Options() + TPlainEditorOptions{eoScrollPastEof});
    s.e->SetTopRow(500);
    EXPECT_EQ(s.e->TopRow(), 100);
}

TEST(PlainEditScroll, SmallShiftsMoveThePixelsLargeOnesRepaint)
{
    Scrolled s(100);
    s.view.scrolls.clear();
    const int before = s.view.wholeInvalidations;
    s.e->SetTopRow(4);
    ASSERT_EQ(s.view.scrolls.size(), 1u);
    EXPECT_EQ(s.view.scrolls[0][1], -3 * s.e->RowHeight());
    s.e->SetTopRow(60);
    EXPECT_EQ(s.view.scrolls.size(), 1u);
    EXPECT_GT(s.view.wholeInvalidations, before);
}

TEST(PlainEditScroll, ScrollBarMessagesAndTheWheel)
{
    Scrolled s(100);
    s.e->VScroll(SB_PAGEDOWN, 0);
    EXPECT_EQ(s.e->TopRow(), 21);
    s.e->SetOptions(s.e->Options() + TPlainEditorOptions{eoScrollByOneLess});
    s.e->VScroll(SB_PAGEDOWN, 0);
    EXPECT_EQ(s.e->TopRow(), 40);
    s.e->VScroll(SB_TOP, 0);
    s.e->MouseWheel(-120, {plat::ssCtrl});
    EXPECT_EQ(s.e->TopRow(), 21);
    s.e->SetOptions(s.e->Options() + TPlainEditorOptions{eoHalfPageScroll});
    s.e->MouseWheel(-120, {plat::ssCtrl});
    EXPECT_EQ(s.e->TopRow(), 31);
    int scrolls = 0;
    s.e->OnScroll = TScrollEvent([&](plat::TObject*, TScrollBarKind) { ++scrolls; }, &scrolls, nullptr);
    s.e->VScroll(SB_TOP, 0);
    s.e->MouseWheel(-60, {});
    EXPECT_EQ(s.e->TopRow(), 1);
    s.e->MouseWheel(-60, {});
    EXPECT_EQ(s.e->TopRow(), 4) << "two half notches scroll once";
    s.e->VScroll(SB_TOP, 0);
    s.e->MouseWheel(-200, {});
    EXPECT_EQ(s.e->TopRow(), 4);
    s.e->MouseWheel(-40, {});
    EXPECT_EQ(s.e->TopRow(), 7) << "-80 was kept";
    EXPECT_EQ(scrolls, 6);
}

TEST(PlainEditScroll, LargeTextsScaleTheBar)
{
    Scrolled s(40000);
    const TPlainScrollInfo info = s.view.info[sbVertical];
    EXPECT_EQ(info.Min, 0);
    EXPECT_EQ(info.Max, 32767);
    s.e->VScroll(SB_THUMBTRACK, 16384);
    EXPECT_EQ(s.e->TopRow(), plat::MulDiv(40000 + 20 - 1, 16384, 32767));
    Scrolled small(10);
    EXPECT_EQ(small.view.info[sbVertical], (TPlainScrollInfo{1, 10, 20, 1, true}));
}

TEST(PlainEditScroll, BarsHideWhenEverythingFits)
{
    Scrolled s(10);
    EXPECT_TRUE(s.view.barVisible[sbVertical]) << "shown disabled by default";
    EXPECT_EQ(s.view.arrows[sbVertical], (std::array<bool, 2>{false, false}));
    s.e->SetOptions(s.e->Options() + TPlainEditorOptions{eoHideShowScrollbars});
    EXPECT_FALSE(s.view.barVisible[sbVertical]);
    s.e->SetScrollBars(ssNone);
    EXPECT_FALSE(s.view.barVisible[sbHorizontal]);
    Scrolled wrap(10);
    wrap.e->SetWordWrap(true);
    EXPECT_FALSE(wrap.view.barVisible[sbHorizontal]) << "no horizontal bar with word wrap";
    wrap.e->SetLeftColumn(5);
    EXPECT_EQ(wrap.e->LeftColumn(), 1);
}

TEST(PlainEditScroll, ArrowsAtTheEndsOfTheRange)
{
    Scrolled s(100);
    s.e->SetOptions(s.e->Options() + TPlainEditorOptions{eoDisableScrollArrows});
    EXPECT_EQ(s.view.arrows[sbVertical], (std::array<bool, 2>{false, true}));
    s.e->SetTopRow(81);
    EXPECT_EQ(s.view.arrows[sbVertical], (std::array<bool, 2>{true, false}));
    s.e->SetTopRow(40);
    EXPECT_EQ(s.view.arrows[sbVertical], (std::array<bool, 2>{true, true}));
}

TEST(PlainEditScroll, TheScrollHintNamesTheLines)
{
    Scrolled s(100);
    s.e->SetOptions(s.e->Options() + TPlainEditorOptions{eoShowScrollHint});
    s.e->VScroll(SB_THUMBTRACK, 5);
    EXPECT_TRUE(s.view.hintShown);
    EXPECT_EQ(s.view.hintText, "Top Line: 5");
    EXPECT_EQ(s.view.hintAt.X, s.view.width - int(s.view.hintText.size()) * 7 - 4);
    EXPECT_EQ(s.view.hintAt.Y, 10);
    s.e->SetScrollHintFormat(shfTopToBottom);
    s.e->SetTopRow(1);
    EXPECT_EQ(s.e->ScrollHintText(), "1 - 21");
    s.e->SetTopRow(81);
    EXPECT_EQ(s.e->ScrollHintText(), "81 - 100");
    s.e->VScroll(SB_ENDSCROLL, 0);
    EXPECT_FALSE(s.view.hintShown);
}

TEST(PlainEditScroll, TheCaretFollowsAndStaysVisible)
{
    Scrolled s(100);
    s.e->MoveCaret({1, 50});
    EXPECT_EQ(s.e->TopRow(), 31) << "scrolled so that the caret shows";
    s.e->GotoBookMark(0);
    s.e->SetBookMark(0, 1, 90);
    s.e->MoveCaret({1, 1});
    s.e->GotoBookMark(0);
    EXPECT_EQ(s.e->CaretPos().Line, 90);
    EXPECT_EQ(s.e->TopRow(), 81) << "a bookmark jump centres the line";
    const TBufferCoord wide{300, 90};
    s.e->MoveCaret(wide);
    EXPECT_GT(s.e->LeftColumn(), 200);
}

TEST(PlainEditCaret, ShapesAndVisibility)
{
    Scrolled s(5);
    s.e->CreateCaretShape();
    EXPECT_EQ(s.view.caretWidth, 2);
    EXPECT_EQ(s.view.caretHeight, s.e->RowHeight() - 2);
    EXPECT_EQ(s.e->CaretShapeOffset(), (plat::TPoint{-1, 0}));
    s.e->SetInsertMode(false);
    EXPECT_EQ(s.view.caretWidth, s.e->CellWidth()) << "a block in overwrite mode";
    s.e->SetOverwriteCaret(ctHalfBlock);
    EXPECT_EQ(s.view.caretHeight, (s.e->RowHeight() - 2) / 2);
    s.e->SetOverwriteCaret(ctHorizontalLine);
    EXPECT_EQ(s.e->CaretShapeOffset(), (plat::TPoint{0, s.e->RowHeight() - 2}));
    EXPECT_TRUE(s.view.caretVisible);
    s.e->SetLeftColumn(40);
    EXPECT_FALSE(s.view.caretVisible) << "over the gutter the caret hides but moves";
    s.e->SetLeftColumn(1);
    EXPECT_TRUE(s.view.caretVisible);
    s.e->SetOptions(s.e->Options() + TPlainEditorOptions{eoNoCaret});
    s.e->SetLeftColumn(40);
    s.e->SetLeftColumn(1);
    EXPECT_FALSE(s.view.caretVisible);
    s.view.focused = false;
    s.e->MoveCaret({3, 3});
    EXPECT_TRUE(s.e->EditorState().contains(esCaretDirty)) << "without the focus the caret waits";
}

TEST(PlainEditFont, AProportionalFontBecomesFixedPitch)
{
    TCustomPlainEdit e;
    plat::TFont proportional;
    proportional.SetName(QStringLiteral("Arial"));
    proportional.SetSize(14);
    proportional.SetStyle({plat::fsItalic});
    proportional.SetColor(plat::clRed);
    e.SetFont(&proportional);
    EXPECT_EQ(e.Font()->Pitch(), plat::fpFixed);
    EXPECT_EQ(e.Font()->Name(), "Arial");
    EXPECT_EQ(e.Font()->Size(), 14);
    EXPECT_EQ(e.Font()->Color(), plat::clRed);
    plat::TFont fixed;
    fixed.SetName(QStringLiteral("Courier New"));
    fixed.SetHeight(-13);
    e.SetFont(&fixed);
    EXPECT_EQ(e.Font()->Pitch(), plat::fpDefault);
    EXPECT_EQ(e.Font()->Height(), -13);
    const int row = e.RowHeight();
    e.SetExtraLineSpacing(3);
    EXPECT_EQ(e.RowHeight(), row + 3);
}

TEST(PlainEditGutter, GrowsWithTheLineNumbers)
{
    Scrolled s(12345, 5);
    TPlainGutter* g = s.e->Gutter();
    g->SetShowLineNumbers(true);
    g->SetAutoSize(true);
    g->SetUseFontStyle(false);
    EXPECT_EQ(g->AutoDigitCount(), 5);
    EXPECT_EQ(s.e->GutterExtent(), g->LeftOffset() + g->RightOffset() + s.e->CellWidth() * 5 + 2);
    EXPECT_EQ(s.e->TextLeft(), s.e->GutterExtent() + 2);
}
