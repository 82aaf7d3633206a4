// The editor model: coordinates, the caret, the selection and its modes,
// the update lock, invalidation, the modified state and the property writers.

#include "EditorFixture.h"

#include "Exceptions.h"

#include <gtest/gtest.h>

#include <limits>

using namespace edtest;

TEST(PlainEditModel, DefaultsOfTheControl)
{
    TCustomPlainEdit e;
    EXPECT_EQ(e.Options(), kPlainDefaultOptions);
    EXPECT_EQ(e.TabWidth(), 8);
    EXPECT_EQ(e.MaxScrollWidth(), 1024);
    EXPECT_EQ(e.MaxUndo(), 1024);
    EXPECT_EQ(e.RightEdge(), 80);
    EXPECT_EQ(e.Font()->Name(), "Courier New");
    EXPECT_EQ(e.Font()->Size(), 10);
    EXPECT_EQ(e.Keystrokes()->Count(), 82);
    EXPECT_EQ(e.CaretPos(), (TBufferCoord{1, 1}));
    EXPECT_TRUE(e.InsertMode());
    EXPECT_FALSE(e.WordWrap());
    EXPECT_EQ(e.GutterExtent(), 30);
    EXPECT_EQ(e.TextLeft(), 32);
    EXPECT_GT(e.CellWidth(), 0);
    EXPECT_GT(e.RowHeight(), 0);
}

TEST(PlainEditModel, PlacingTheCaretKeepsItInItsLimits)
{
    struct Case {
        bool pastEol;
        QStringList lines;
        TBufferCoord target;
        TBufferCoord placed;
    };
    const Case cases[] = {
        {true, {"abc"}, {5000, 1}, {1025, 1}},
        {false, {"abc"}, {5000, 1}, {4, 1}},
        {false, {}, {5, 7}, {1, 1}},
        {true, {}, {5000, 7}, {1025, 1}},
        {true, {"abc", "de"}, {-4, 9}, {1, 2}},
        {false, {"abc", "de"}, {2, 0}, {1, 1}},
        {true, {QString(2000, QLatin1Char('x'))}, {1800, 1}, {1800, 1}}, // within a long line
    };
    for (const Case& c : cases) {
        auto e = editorWith(c.lines);
        TPlainEditorOptions options = e->Options();
        options.set(eoScrollPastEol, c.pastEol);
        e->SetOptions(options);
        e->MoveCaret(c.target);
        EXPECT_EQ(e->CaretPos(), c.placed) << c.target.Char << "," << c.target.Line;
    }
}

TEST(PlainEditModel, DisplayColumnsOfTabsPairsAndVirtualSpace)
{
    const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");
    auto e = editorWith({"\tx", "12345678\ty", pair + "ab", "a"});
    struct Case {
        TBufferCoord buffer;
        TDisplayPos display;
    };
    const Case there[] = {
        {{1, 1}, {1, 1}}, {{2, 1}, {9, 1}},   // a tab in column 1 is followed by column 9
        {{9, 2}, {9, 2}}, {{10, 2}, {17, 2}}, // a tab in column 9 by column 17
        {{3, 3}, {2, 3}}, {{4, 3}, {3, 3}},   // a pair is one cell
        {{10, 4}, {10, 4}},                   // beyond the end one cell each
        {{3, 9}, {3, 9}},                     // a line beyond the store
    };
    for (const Case& c : there)
        EXPECT_EQ(e->BufferToDisplay(c.buffer), c.display) << c.buffer.Char << "," << c.buffer.Line;
    const Case back[] = {
        {{1, 1}, {5, 1}}, {{2, 1}, {9, 1}}, // a column inside a tab gives the tab
        {{3, 3}, {2, 3}}, {{1, 3}, {1, 3}}, {{5, 3}, {4, 3}},
        {{12, 4}, {12, 4}}, {{1, 4}, {0, 4}},
    };
    for (const Case& c : back)
        EXPECT_EQ(e->DisplayToBuffer(c.display), c.buffer) << c.display.Column << "," << c.display.Row;
}

TEST(PlainEditModel, PixelsAndTheGrid)
{
    auto e = editorWith({"abc", "def", "ghi"});
    FakeView view;
    e->SetView(&view);
    const int w = e->CellWidth();
    const int h = e->RowHeight();
    const int left = e->GutterExtent() + 2;
    EXPECT_EQ(e->PixelToDisplay(left, 0), (TDisplayPos{1, 1}));
    EXPECT_EQ(e->PixelToDisplay(left + 2 * w + w - 1, 2 * h), (TDisplayPos{3, 3}));
    EXPECT_EQ(e->PixelToDisplay(0, -50), (TDisplayPos{1, 1}));
    EXPECT_EQ(e->PixelToDisplayRounded(left + w + w / 2 + 1, 0).Column, 3);
    EXPECT_EQ(e->PixelToDisplayRounded(left + w + w / 2 - 1, 0).Column, 2);
    EXPECT_EQ(e->DisplayToPixel({3, 2}).X, left + 2 * w);
    EXPECT_EQ(e->DisplayToPixel({3, 2}).Y, h);
    e->MoveCaretToPixel(left + 10 * w, 100 * h);
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{11, 3})) << "the last row, beyond the line's end";
}

TEST(PlainEditModel, ZeroSizedCellsAreClamped)
{
    auto e = editorWith({"abc"});
    e->SetExtraLineSpacing(-1000);
    EXPECT_EQ(e->RowHeight(), 1);
    FakeView view;
    e->SetView(&view);
    EXPECT_EQ(e->VisibleRows(), view.height);
    EXPECT_EQ(e->PixelToDisplay(100, 5).Row, 6);
}

TEST(PlainEditModel, PositionsNearTheIntegerLimitsDoNotOverflow)
{
    auto e = editorWith({"a\tb"});
    e->SetMaxScrollWidth(std::numeric_limits<int>::max());
    EXPECT_EQ(e->MaxScrollWidth(), std::numeric_limits<int>::max() - 1);
    const int big = std::numeric_limits<int>::max();
    EXPECT_EQ(e->BufferToDisplay({big, 1}).Column, big);
    EXPECT_EQ(e->DisplayToBuffer({big, 1}).Char, big - 6);
    e->MoveCaret({big, 1});
    EXPECT_EQ(e->CaretPos().Char, big);
    FakeView view;
    e->SetView(&view);
    e->CommandProcessor(ecRight, QChar());
    e->CommandProcessor(ecSelRight, QChar());
    e->SetLeftColumn(big);
    EXPECT_GT(e->LeftColumn(), 1);
    EXPECT_LT(e->DisplayToPixel({1, 1}).X, 0);
}

TEST(PlainEditModel, SelectionEndsAndAvailability)
{
    auto e = editorWith({"abcd", "ef", "ghi"});
    e->SetSelAnchor({2, 1});
    e->SetSelHead({2, 1});
    EXPECT_FALSE(e->SelAvail());
    e->SetSelHead({9, 2});
    EXPECT_EQ(e->SelHead(), (TBufferCoord{3, 2})) << "normal mode ends at the line's end";
    EXPECT_TRUE(e->SelAvail());
    EXPECT_EQ(e->SelFirst(), (TBufferCoord{2, 1}));
    e->SetSelectionMode(smColumn);
    e->SetSelAnchor({2, 1});
    e->SetSelHead({2, 3});
    EXPECT_FALSE(e->SelAvail()) << "a column block of no width";
    e->SetSelHead({7, 3});
    EXPECT_TRUE(e->SelAvail());
    EXPECT_EQ(e->SelHead(), (TBufferCoord{7, 3})) << "a column may end beyond a line's end";
    e->SetSelectionMode(smLine);
    e->SetSelAnchor({1, 2});
    e->SetSelHead({1, 3});
    EXPECT_TRUE(e->SelAvail());
}

TEST(PlainEditModel, PointsInTheSelectionOfEachMode)
{
    auto e = editorWith({"abcdef", "ghijkl", "mnopqr"});
    struct Case {
        TPlainSelectionMode mode;
        TBufferCoord p;
        bool inside;
    };
    const Case cases[] = {
        {smNormal, {2, 1}, false}, {smNormal, {3, 1}, true}, {smNormal, {1, 2}, true},
        {smNormal, {4, 3}, false}, {smNormal, {3, 3}, true}, {smNormal, {9, 1}, true},
        {smLine, {1, 1}, true},    {smLine, {6, 3}, true},   {smLine, {1, 4}, false},
        {smColumn, {2, 2}, false}, {smColumn, {3, 2}, true}, {smColumn, {4, 2}, false},
        {smColumn, {3, 3}, true},
    };
    for (const Case& c : cases) {
        e->SetSelectionMode(c.mode);
        e->SetSelAnchor({3, 1});
        e->SetSelHead({4, 3});
        EXPECT_EQ(e->PointInSelection(c.p), c.inside) << int(c.mode) << " " << c.p.Char << "," << c.p.Line;
    }
}

TEST(PlainEditModel, AfterAnEditTheSelectionIsCollapsedOntoTheCaret)
{
    for (bool window : {false, true}) {
        FakeView view;
        auto e = editorWith({"abcd", "ef"});
        if (window)
            e->SetView(&view);
        e->SetCaretAndSel({3, 2}, {2, 1}, {3, 2});
        e->CommandProcessor(ecChar, QChar(u'x'));
        EXPECT_FALSE(e->SelAvail());
        EXPECT_EQ(e->SelAnchor(), e->CaretPos());
        EXPECT_EQ(e->SelHead(), e->CaretPos());
        e->SetCaretAndSel({1, 1}, {1, 1}, {3, 1});
        e->ReplaceSelection(QStringLiteral("long text"));
        EXPECT_EQ(e->SelAnchor(), e->CaretPos()) << "window " << window;
        // The insertion's record ends where the text ended, so undo takes it away.
        e->Undo();
        EXPECT_EQ(editorLines(*e), "ax") << "window " << window;
    }
}

TEST(PlainEditModel, SelectAllAndItsStatus)
{
    auto e = editorWith({"ab", "cde"});
    TPlainStatusChanges seen;
    e->OnStatusChange = TStatusChangeEvent([&](plat::TObject*, TPlainStatusChanges c) { seen = seen + c; }, &seen,
                                           nullptr);
    e->SelectAll();
    EXPECT_EQ(e->SelectedText(), "ab\r\ncde");
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{4, 2}));
    EXPECT_TRUE(seen.contains(scSelection));
    seen = {};
    e->BeginUpdate();
    e->MoveCaret({1, 1});
    EXPECT_TRUE(seen.empty()) << "reported when the lock ends";
    EXPECT_TRUE(e->PendingStatus().contains(scCaretY));
    e->EndUpdate();
    EXPECT_THROW(e->EndUpdate(), plat::EAssertionFailed);
}

TEST(PlainEditModel, ModifiedFollowsTheCleanPoint)
{
    auto e = editorWith({"ab"});
    EXPECT_FALSE(e->Modified());
    type(*e, "x");
    EXPECT_TRUE(e->Modified());
    const int items = e->UndoList()->ItemCount();
    e->SetModified(false);
    EXPECT_EQ(e->UndoList()->ItemCount(), items + 1);
    EXPECT_EQ(e->UndoList()->LastReason(), urGroupBreak);
    e->SetModified(false);
    EXPECT_EQ(e->UndoList()->ItemCount(), items + 1) << "no second break";
    e->Undo();
    EXPECT_TRUE(e->Modified());
    e->Redo();
    EXPECT_FALSE(e->Modified()) << "back at the clean point";
    int changes = 0;
    e->OnChange = plat::TNotifyEvent([&](plat::TObject*) { ++changes; }, &changes, nullptr);
    e->SetCaretAndSel({1, 1}, {1, 1}, {2, 1});
    e->ReplaceSelection(QStringLiteral("yz"));
    EXPECT_EQ(changes, 1) << "one change for one compound edit";
}

TEST(PlainEditModel, InvalidatesOnlyVisibleRowsOfChangedLines)
{
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines << QStringLiteral("line %1").arg(i);
    auto e = editorWith(lines);
    FakeView view;
    view.height = 10 * e->RowHeight();
    e->SetView(&view);
    view.invalidated.clear();
    e->InvalidateLine(3);
    ASSERT_EQ(view.invalidated.size(), 1u);
    EXPECT_EQ(view.invalidated[0].Top, 2 * e->RowHeight());
    EXPECT_EQ(view.invalidated[0].Left, e->GutterExtent());
    view.invalidated.clear();
    e->InvalidateLine(50);
    EXPECT_TRUE(view.invalidated.empty());
    e->InvalidateGutterLines(2, 2);
    ASSERT_EQ(view.invalidated.size(), 1u);
    EXPECT_EQ(view.invalidated[0].Right, e->GutterExtent());
    view.invalidated.clear();
    e->Lines()->BeginUpdate();
    e->Lines()->SetStrings(1, QStringLiteral("x"));
    e->Lines()->SetStrings(4, QStringLiteral("y"));
    EXPECT_TRUE(view.invalidated.empty()) << "collected while the lines change";
    e->Lines()->EndUpdate();
    ASSERT_EQ(view.invalidated.size(), 1u);
    EXPECT_EQ(view.invalidated[0].Top, e->RowHeight());
    EXPECT_EQ(view.invalidated[0].Bottom, 5 * e->RowHeight());
}

TEST(PlainEditModel, PropertyWritersLimitTheirValues)
{
    TCustomPlainEdit e;
    e.SetTabWidth(0);
    EXPECT_EQ(e.TabWidth(), 1);
    e.SetTabWidth(1000);
    EXPECT_EQ(e.TabWidth(), 256);
    EXPECT_EQ(e.Lines()->TabWidth(), 256);
    e.SetMaxScrollWidth(0);
    EXPECT_EQ(e.MaxScrollWidth(), 1);
    e.SetMaxUndo(-1);
    EXPECT_EQ(e.MaxUndo(), 1024) << "a negative limit is ignored";
    e.SetMaxUndo(5);
    EXPECT_EQ(e.RedoList()->MaxActions(), 5);
    TPlainEditorOptions options = e.Options();
    options.include(eoShowSpecialChars);
    e.SetOptions(options);
    EXPECT_TRUE(e.ShowSpecialChars());
    e.SetKeystrokes(nullptr);
    EXPECT_EQ(e.Keystrokes()->Count(), 0);
    e.ResetKeystrokes();
    EXPECT_EQ(e.Keystrokes()->Count(), 82);
}

TEST(PlainEditModel, ClearingTheTextResetsTheView)
{
    auto e = editorWith({"a", "b", "c"});
    type(*e, "x");
    e->MoveCaret({2, 3});
    e->SetText(QStringLiteral("new\r\ntext"));
    EXPECT_EQ(e->CaretPos(), (TBufferCoord{1, 1}));
    EXPECT_FALSE(e->UndoList()->CanUndo()) << "a new text is not undone";
    EXPECT_EQ(e->Text(), "new\r\ntext");
    e->ClearAll();
    EXPECT_EQ(e->LineCount(), 0);
    EXPECT_FALSE(e->Modified());
}

TEST(PlainEditModel, SwitchingWordWrapKeepsTheTopLine)
{
    QStringList lines;
    for (int i = 0; i < 50; ++i)
        lines << QString(100, QLatin1Char('a' + i % 26));
    auto e = editorWith(lines);
    FakeView view;
    view.width = e->GutterExtent() + 2 + 40 * e->CellWidth();
    view.height = 10 * e->RowHeight();
    e->SetView(&view);
    e->SetTopRow(20);
    e->SetLeftColumn(5);
    e->SetWordWrap(true);
    EXPECT_EQ(e->LeftColumn(), 1);
    EXPECT_EQ(e->RowToLine(e->TopRow()), 20);
    e->SetWordWrap(false);
    EXPECT_EQ(e->TopRow(), 20);
}
