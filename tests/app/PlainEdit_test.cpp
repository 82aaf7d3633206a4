#include "PlainEdit.h"

#include "Exceptions.h"
#include "Graphics.h"

#include <QPainter>

#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(PlainMemo, LinesByIndexAndCount)
{
    TPlainMemo memo;
    EXPECT_EQ(memo.Lines().Count(), 0);
    memo.SetText("a\r\nb\tc\rd\n");
    ASSERT_EQ(memo.Lines().Count(), 3);
    EXPECT_EQ(memo.Lines().Strings(0), "a");
    EXPECT_EQ(memo.Lines().Strings(1), "b\tc") << "tabs of pasted text stay tabs";
    EXPECT_EQ(memo.Lines().Strings(2), "d");
    EXPECT_THROW(memo.Lines().Strings(3), plat::EStringListError);
    EXPECT_THROW(memo.Lines().Delete(-1), plat::EStringListError);
}

TEST(PlainMemo, DeletingLines)
{
    TPlainMemo memo;
    memo.SetText("1\n2\n3\n4");
    memo.Lines().Delete(3);
    EXPECT_EQ(memo.Text(), "1\r\n2\r\n3");
    memo.Lines().Delete(0);
    EXPECT_EQ(memo.Text(), "2\r\n3");
    memo.Lines().Delete(1);
    memo.Lines().Delete(0);
    EXPECT_EQ(memo.Lines().Count(), 0);
    memo.SetText("x\n\ny\n");
    memo.Lines().Delete(1);
    EXPECT_EQ(memo.Lines().Text(), "x\r\ny");
    memo.Clear();
    EXPECT_EQ(memo.Lines().Count(), 0);
}

TEST(PlainMemo, GutterShowsLineNumbersInItsOwnFont)
{
    TPlainMemo memo;
    memo.resize(300, 200);
    memo.Edit().Gutter()->SetAutoSize(true);
    QFont small(QStringLiteral("Courier New"));
    small.setPixelSize(11);
    memo.SetGutterFont(small);
    memo.SetShowLineNumbers(true);
    const int narrow = memo.GutterWidth();
    EXPECT_GT(narrow, 0);
    QString text;
    for (int i = 0; i < 100000; ++i)
        text += QStringLiteral("line\n");
    memo.SetText(text);
    EXPECT_GT(memo.GutterWidth(), narrow) << "room for six digits";
    EXPECT_EQ(memo.GutterFont().pixelSize(), 11);
}

TEST(PlainMemo, TabKeyInsertsSpacesWithTabsToSpaces)
{
    TPlainMemo memo;
    memo.SetTabWidth(4);
    memo.SetOptions({eoTabsToSpaces});
    memo.Edit().SetWantTabs(true); // a memo that keeps Tab from moving the focus
    memo.show();
    QTest::keyClicks(memo.Editor(), "ab");
    QTest::keyClick(memo.Editor(), Qt::Key_Tab);
    QTest::keyClicks(memo.Editor(), "c");
    EXPECT_EQ(memo.Text(), "ab  c");
    memo.SetOptions({});
    memo.Clear();
    QTest::keyClick(memo.Editor(), Qt::Key_Tab);
    EXPECT_EQ(memo.Text(), "\t");
}

} // namespace

namespace {

QColor cellColour(const QImage& image, const TPlainMemo& memo, int column, int row)
{
    const TPlainEdit& e = memo.Edit();
    const int x = e.GutterExtent() + 2 + (column - 1) * e.CellWidth();
    const int y = (row - 1) * e.RowHeight();
    // A corner pixel of the cell: the glyph never reaches it.
    return image.pixelColor(x, y);
}

bool cellHasInk(const QImage& image, const TPlainMemo& memo, int column, int row, QColor background)
{
    const TPlainEdit& e = memo.Edit();
    const int x0 = e.GutterExtent() + 2 + (column - 1) * e.CellWidth();
    const int y0 = (row - 1) * e.RowHeight();
    for (int y = y0; y < y0 + e.RowHeight(); ++y)
        for (int x = x0; x < x0 + e.CellWidth(); ++x)
            if (image.pixelColor(x, y) != background)
                return true;
    return false;
}

TEST(PlainMemoPaint, GutterSelectionInEachModeAndSpecialCharacters)
{
    TPlainMemo memo;
    memo.resize(400, 200);
    memo.SetShowLineNumbers(true);
    memo.SetText("ab cd\r\nefghij\r\nklmnop");
    const QColor gutter = plat::ToQColor(memo.Edit().Gutter()->Color());
    const QColor window = plat::ToQColor(memo.Edit().Color());
    const QColor selected = plat::ToQColor(memo.Edit().SelectedColor()->Background());
    QImage image = memo.Render();
    EXPECT_EQ(image.pixelColor(1, 1), gutter);
    EXPECT_EQ(cellColour(image, memo, 1, 1), window);
    EXPECT_FALSE(cellHasInk(image, memo, 3, 1, window)) << "a blank is blank without special characters";

    struct Case {
        TPlainSelectionMode mode;
        TBufferCoord anchor, head;
        std::vector<std::pair<int, int>> in, out; // (column, row)
    };
    const Case cases[] = {
        {smNormal, {2, 1}, {3, 2}, {{2, 1}, {5, 1}, {1, 2}, {2, 2}}, {{1, 1}, {3, 2}, {2, 3}}},
        {smLine, {3, 1}, {3, 2}, {{1, 1}, {6, 2}, {20, 2}}, {{1, 3}}},
        {smColumn, {2, 1}, {4, 3}, {{2, 1}, {3, 2}, {3, 3}}, {{1, 1}, {4, 2}, {1, 3}}},
    };
    for (const Case& c : cases) {
        memo.Edit().SetActiveSelMode(c.mode);
        memo.Edit().SetCaretAndSel(c.head, c.anchor, c.head);
        image = memo.Render();
        for (auto [col, row] : c.in)
            EXPECT_EQ(cellColour(image, memo, col, row), selected) << int(c.mode) << " " << col << "," << row;
        for (auto [col, row] : c.out)
            EXPECT_EQ(cellColour(image, memo, col, row), window) << int(c.mode) << " " << col << "," << row;
    }

    memo.Edit().SetCaretAndSel({1, 1}, {1, 1}, {1, 1});
    memo.SetOptions(memo.Options() + TPlainEditorOptions{eoShowSpecialChars});
    image = memo.Render();
    EXPECT_TRUE(cellHasInk(image, memo, 3, 1, window)) << "the blank shows its dot";
    EXPECT_TRUE(cellHasInk(image, memo, 6, 1, window)) << "the line end shows its mark";
    EXPECT_TRUE(cellHasInk(image, memo, 7, 3, window)) << "the last line ends too";
    EXPECT_FALSE(cellHasInk(image, memo, 8, 3, window));
}

TEST(PlainMemoPaint, AClippedPaintEqualsTheSameRegionOfAFullPaint)
{
    TPlainMemo memo;
    memo.resize(500, 300);
    memo.SetShowLineNumbers(true);
    memo.SetOptions(memo.Options() + TPlainEditorOptions{eoShowSpecialChars});
    memo.Edit().SetRightEdge(10);
    memo.SetText("a\tb c\r\n  long line of text here\r\nz");
    memo.Edit().SetCaretAndSel({3, 2}, {2, 1}, {3, 2});
    const QImage full = memo.Render();
    const int edgeX = memo.Edit().GutterExtent() + 2 + 10 * memo.Edit().CellWidth();
    EXPECT_EQ(full.pixelColor(edgeX, full.height() - 2), plat::ToQColor(memo.Edit().RightEdgeColor()));
    const QRect part(13, 7, 97, 31);
    QImage clipped(full.size(), QImage::Format_RGB32);
    clipped.fill(Qt::white);
    {
        QPainter painter(&clipped);
        memo.PaintArea(painter, part);
    }
    EXPECT_EQ(clipped.copy(part), full.copy(part));
}

} // namespace
