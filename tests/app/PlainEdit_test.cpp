#include "PlainEdit.h"

#include "Exceptions.h"
#include "Graphics.h"

#include <QPainter>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
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

// ---------------------------------------------------------------- more painting, input, scrolling

#include "PlainEditHighlighter.h"
#include "ScriptedServices.h"
#include "Services.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

QColor colourOf(plat::TColor c) { return plat::ToQColor(c); }

// An event handler with an identity of its own.
template <class E, class F>
E handler(F f)
{
    static const char tag = 0;
    return E(std::move(f), &tag, &tag);
}

// The pixel rectangle of a cell of the window (display column, row from the top).
QRect cellRect(const TPlainMemo& memo, int column, int row)
{
    const TPlainEdit& e = memo.Edit();
    return QRect(e.GutterExtent() + 2 + (column - e.LeftColumn()) * e.CellWidth(), (row - 1) * e.RowHeight(),
                 e.CellWidth(), e.RowHeight());
}

bool hasInk(const QImage& image, const QRect& r, QColor background)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixelColor(x, y) != background)
                return true;
    return false;
}

// Which cells of a row carry ink: '#' ink, '.' none.
QString inkMap(const QImage& image, const TPlainMemo& memo, int row, int columns, QColor background)
{
    QString map;
    for (int c = 1; c <= columns; ++c)
        map += hasInk(image, cellRect(memo, c, row), background) ? QLatin1Char('#') : QLatin1Char('.');
    return map;
}

struct MemoFixture {
    explicit MemoFixture(const QString& text, QSize size = QSize(500, 300))
    {
        memo.resize(size);
        memo.SetText(text);
    }
    TPlainMemo memo;
    QColor window() const { return colourOf(memo.Edit().Color()); }
};

TEST(PlainMemoPaint, TabSpanShowsOneGuillemetInItsMiddleAndTheLineEndItsPilcrow)
{
    MemoFixture f(QStringLiteral("a b\tz"));
    f.memo.SetTabWidth(8);
    f.memo.SetOptions({eoShowSpecialChars});
    const QImage image = f.memo.Render();
    // a, the blank's dot, b, five cells of the tab with the sign in cell 6, z, the pilcrow.
    EXPECT_EQ(inkMap(image, f.memo, 1, 12, f.window()), QStringLiteral("###..#..##.."));
    f.memo.SetOptions({});
    EXPECT_EQ(inkMap(f.memo.Render(), f.memo, 1, 12, f.window()), QStringLiteral("#.#.....#..."));
}

TEST(PlainMemoPaint, ActiveLineColoursTheCaretRowButNotItsSelectedPart)
{
    MemoFixture f(QStringLiteral("first\r\nsecond line\r\nthird"));
    TPlainEdit& e = f.memo.Edit();
    e.SetActiveLineColor(plat::clYellow);
    e.SetCaretAndSel({7, 2}, {3, 2}, {7, 2});
    const QImage image = f.memo.Render();
    const QColor yellow = colourOf(plat::clYellow);
    const QColor selected = colourOf(e.SelectedColor()->Background());
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 1, 2).topLeft()), yellow);
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 3, 2).topLeft()), selected);
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 6, 2).topLeft()), selected);
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 7, 2).topLeft()), yellow);
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 30, 2).topLeft()), yellow) << "after the text too";
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 1, 1).topLeft()), f.window());
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 30, 3).topLeft()), f.window());
}

TEST(PlainMemoPaint, SpecialLineColoursSwapForTheSelection)
{
    MemoFixture f(QStringLiteral("one\r\ntwo\r\nthree"));
    TPlainEdit& e = f.memo.Edit();
    e.OnSpecialLineColors = handler<TSpecialLineColorsEvent>([](plat::TObject*, int line, bool& special, plat::TColor& fg,
                                                       plat::TColor& bg) {
        special = line == 2;
        fg = plat::clRed;
        bg = plat::clAqua;
    });
    e.SetCaretAndSel({2, 2}, {1, 2}, {2, 2});
    const QImage image = f.memo.Render();
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 1, 2).topLeft()), colourOf(plat::clRed)) << "selected: fg as background";
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 5, 2).topLeft()), colourOf(plat::clAqua));
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 5, 1).topLeft()), f.window());
}

TEST(PlainMemoPaint, GutterNumbersBorderAndGradient)
{
    QString text;
    for (int i = 1; i <= 100; ++i)
        text += QStringLiteral("line\r\n");
    MemoFixture f(text);
    f.memo.SetShowLineNumbers(true);
    TPlainEdit& e = f.memo.Edit();
    QImage image = f.memo.Render();
    const int g = e.GutterExtent();
    const QColor gutter = colourOf(e.Gutter()->Color());
    const int rh = e.RowHeight();
    // Line 7: one digit, right-aligned 2 + RightOffset pixels left of the edge.
    const int right = g - e.Gutter()->RightOffset() - 2;
    EXPECT_TRUE(hasInk(image, QRect(right - 10, 6 * rh, 10, rh), gutter));
    EXPECT_FALSE(hasInk(image, QRect(right, 6 * rh, g - 2 - right, rh), gutter));
    EXPECT_FALSE(hasInk(image, QRect(0, 6 * rh, right - 12, rh), gutter)) << "no second digit";
    EXPECT_TRUE(hasInk(image, QRect(right - 20, 9 * rh, 10, rh), gutter)) << "line 10 has two";
    // gbsMiddle: a line in the border colour, then one in the gutter's colour.
    EXPECT_EQ(image.pixelColor(g - 2, 3), colourOf(e.Gutter()->BorderColor()));
    EXPECT_EQ(image.pixelColor(g - 1, 3), gutter);

    e.Gutter()->SetGradient(true);
    e.Gutter()->SetGradientStartColor(plat::clRed);
    e.Gutter()->SetGradientEndColor(plat::clBlue);
    image = f.memo.Render();
    EXPECT_EQ(image.pixelColor(0, 5), colourOf(plat::clRed));
    const QColor last = image.pixelColor(g - 3, image.height() - 2);
    EXPECT_TRUE(last.red() < 40 && last.blue() > 200) << "the last bands are nearly blue";
}

TEST(PlainMemoPaint, BookmarkGlyphsAndTheGutterPaintEvent)
{
    MemoFixture f(QStringLiteral("a\r\nb\r\nc\r\nd"));
    TPlainEdit& e = f.memo.Edit();
    e.Gutter()->SetWidth(40);
    std::map<int, int> painted;
    e.OnGutterPaint = handler<TGutterPaintEvent>([&](plat::TObject*, int line, int x, int) { painted[line] = x; });
    e.SetBookMark(3, 1, 2);
    auto* mark = new TPlainEditMark(&e);
    mark->SetMarkLine(2);
    mark->SetImageIndex(5);
    mark->SetVisible(true);
    e.MarkList()->Add(mark);
    const QImage image = f.memo.Render();
    const int rh = e.RowHeight();
    const QColor gutter = colourOf(e.Gutter()->Color());
    const int left = e.BookMarkOptions()->LeftMargin();
    EXPECT_TRUE(hasInk(image, QRect(left, rh, 10, rh), gutter)) << "bookmark 3 on line 2";
    EXPECT_FALSE(hasInk(image, QRect(left + 12, rh, 12, rh), gutter)) << "the plain mark waits for the strip";
    EXPECT_FALSE(hasInk(image, QRect(0, 0, 30, rh), gutter));
    const int step = e.BookMarkOptions()->Xoffset();
    EXPECT_EQ(painted[2], 2 * step);
    EXPECT_EQ(painted[1], 0);
    EXPECT_EQ(painted.size(), 4u);
}

TEST(PlainMemoPaint, ContinuedRowsOfAWrappedLineShowTheWrapMark)
{
    MemoFixture f(QStringLiteral("short\r\n") + QString(200, QLatin1Char('x')), QSize(300, 200));
    TPlainEdit& e = f.memo.Edit();
    e.Gutter()->SetWidth(30);
    e.SetWordWrap(true);
    ASSERT_GT(e.RowCount(), 3);
    const QImage image = f.memo.Render();
    const int rh = e.RowHeight();
    const QColor gutter = colourOf(e.Gutter()->Color());
    const QRect markArea(0, 0, e.GutterExtent() - 2, rh);
    EXPECT_FALSE(hasInk(image, markArea, gutter)) << "row 1 starts its line";
    EXPECT_FALSE(hasInk(image, markArea.translated(0, rh), gutter)) << "row 2 starts its line";
    EXPECT_TRUE(hasInk(image, markArea.translated(0, 2 * rh), gutter));
    EXPECT_TRUE(hasInk(image, markArea.translated(0, 3 * rh), gutter));
}

// Words starting with a capital in red and bold; blanks on a grey background.
class CapitalsHighlighter : public TPlainCustomHighlighter {
public:
    CapitalsHighlighter() : TPlainCustomHighlighter(nullptr)
    {
        auto capital = std::make_unique<TPlainTokenAttributes>(QStringLiteral("Capital"));
        capital->SetForeground(plat::clRed);
        capital->SetBackground(plat::clYellow);
        m_capital = capital.get();
        AddAttribute(std::move(capital));
        auto other = std::make_unique<TPlainTokenAttributes>(QStringLiteral("Other"));
        m_other = other.get();
        AddAttribute(std::move(other));
    }
    TPlainTokenAttributes* DefaultAttribute(int) const override { return nullptr; }
    bool AtLineEnd() const override { return m_start >= m_text.size(); }
    QString TokenText() const override { return m_text.mid(m_start, m_end - m_start); }
    TPlainTokenAttributes* TokenAttribute() const override
    {
        return m_text.at(m_start).isUpper() ? m_capital : m_other;
    }
    int TokenKind() const override { return 0; }
    int TokenStart() const override { return int(m_start); }
    void NextToken() override
    {
        m_start = m_end;
        scan();
    }
    void StartLine(const QString& text, int) override
    {
        m_text = text;
        m_start = 0;
        scan();
    }

private:
    void scan()
    {
        m_end = m_start;
        if (m_end >= m_text.size())
            return;
        const bool blank = m_text.at(m_end) == u' ';
        while (m_end < m_text.size() && (m_text.at(m_end) == u' ') == blank)
            ++m_end;
    }
    TPlainTokenAttributes* m_capital;
    TPlainTokenAttributes* m_other;
    QString m_text;
    qsizetype m_start = 0, m_end = 0;
};

TEST(PlainMemoPaint, AHighlighterColoursItsTokens)
{
    MemoFixture f(QStringLiteral("ab Cd ef"));
    CapitalsHighlighter h;
    f.memo.Edit().SetHighlighter(&h);
    const QImage image = f.memo.Render();
    const QColor yellow = colourOf(plat::clYellow);
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 1, 1).topLeft()), f.window());
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 4, 1).topLeft()), yellow);
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 5, 1).topLeft()), yellow);
    EXPECT_EQ(image.pixelColor(cellRect(f.memo, 6, 1).topLeft()), f.window());
    bool red = false;
    const QRect capital = cellRect(f.memo, 4, 1);
    for (int y = capital.top(); y <= capital.bottom(); ++y)
        for (int x = capital.left(); x <= capital.right(); ++x)
            red = red || (image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).blue() < 60 &&
                          image.pixelColor(x, y).green() < 200);
    EXPECT_TRUE(red) << "the capital's glyph in its colour";
    f.memo.Edit().SetHighlighter(nullptr);
}

// ---------------------------------------------------------------- the caret

TEST(PlainMemoCaret, ShapesFollowTheInsertAndOverwriteTypes)
{
    MemoFixture f(QStringLiteral("abc"));
    f.memo.show();
    f.memo.activateWindow();
    f.memo.setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(f.memo.hasFocus());
    TPlainEdit& e = f.memo.Edit();
    const int cw = e.CellWidth(), rh = e.RowHeight();
    struct Case {
        TPlainEditCaretType type;
        QSize size;
        QPoint offset;
    };
    const Case cases[] = {
        {ctVerticalLine, {2, rh - 2}, {-1, 0}},
        {ctHorizontalLine, {cw, 2}, {0, rh - 2}},
        {ctHalfBlock, {cw, (rh - 2) / 2}, {0, (rh - 2) / 2}},
        {ctBlock, {cw, rh - 2}, {0, 0}},
    };
    e.MoveCaret({2, 1});
    const plat::TPoint cell = e.DisplayToPixel(e.CaretDisplayPos());
    for (const Case& c : cases) {
        e.SetInsertCaret(c.type);
        EXPECT_EQ(f.memo.CaretRect().size(), c.size) << int(c.type);
        EXPECT_EQ(f.memo.CaretRect().topLeft(), QPoint(cell.X, cell.Y + 1) + c.offset) << int(c.type);
    }
    e.SetInsertCaret(ctVerticalLine);
    e.SetOverwriteCaret(ctHorizontalLine);
    e.SetInsertMode(false);
    EXPECT_EQ(f.memo.CaretRect().size(), QSize(cw, 2));
    EXPECT_TRUE(f.memo.CaretVisibleNow());
    // Painted inverted over the text: the cell under a block caret turns dark.
    e.SetOverwriteCaret(ctBlock);
    QApplication::processEvents();
    const QImage shot = f.memo.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(f.memo.CaretRect().topLeft()), QColor(Qt::black)) << "white under the caret turns black";
}

// ---------------------------------------------------------------- scrolling and the wheel

TEST(PlainMemoScroll, ScrollingMovesThePixelsAndPaintsTheSameAsAFullPaint)
{
    QString text;
    for (int i = 1; i <= 200; ++i)
        text += QStringLiteral("line %1 of the text\t|\r\n").arg(i);
    MemoFixture f(text);
    f.memo.SetShowLineNumbers(true);
    f.memo.SetOptions(f.memo.Options() + TPlainEditorOptions{eoShowSpecialChars, eoNoCaret});
    f.memo.show();
    QApplication::processEvents();
    TPlainEdit& e = f.memo.Edit();
    const int lines = QApplication::wheelScrollLines();
    QWheelEvent down(QPointF(50, 50), f.memo.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.memo.viewport(), &down);
    EXPECT_EQ(e.TopRow(), 1 + lines);
    QApplication::processEvents();
    EXPECT_EQ(f.memo.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32), f.memo.Render());
    // Half a notch stays for the next one.
    QWheelEvent half(QPointF(50, 50), f.memo.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 60), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.memo.viewport(), &half);
    EXPECT_EQ(e.TopRow(), 1 + lines);
    QApplication::sendEvent(f.memo.viewport(), &half);
    EXPECT_EQ(e.TopRow(), 1);
    e.SetLeftColumn(4);
    QApplication::processEvents();
    EXPECT_EQ(f.memo.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32), f.memo.Render());
    EXPECT_EQ(f.memo.verticalScrollBar()->value(), 1);
    f.memo.verticalScrollBar()->setValue(50);
    EXPECT_EQ(e.TopRow(), 50);
}

TEST(PlainMemoScroll, DisabledArrowsIgnoreClicksAtTheEndsOfTheRange)
{
    QString text;
    for (int i = 1; i <= 200; ++i)
        text += QStringLiteral("line %1\r\n").arg(i);
    MemoFixture f(text);
    // Past the end of the text the bar goes on, but the down arrow stops
    // at the last line.
    f.memo.SetOptions(f.memo.Options() + TPlainEditorOptions{eoDisableScrollArrows, eoScrollPastEof});
    f.memo.show();
    QApplication::processEvents();
    TPlainEdit& e = f.memo.Edit();
    QScrollBar* bar = f.memo.verticalScrollBar();
    const QPoint up(bar->width() / 2, 3), down(bar->width() / 2, bar->height() - 3);
    // At the top only the down arrow works.
    EXPECT_EQ(f.memo.ScrollArrows(sbVertical), std::make_pair(false, true));
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, up);
    EXPECT_EQ(e.TopRow(), 1);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, down);
    EXPECT_EQ(e.TopRow(), 2);
    EXPECT_EQ(f.memo.ScrollArrows(sbVertical), std::make_pair(true, true));
    // At the bottom only the up arrow.
    e.SetTopRow(e.RowCount() - e.VisibleRows() + 1);
    EXPECT_EQ(f.memo.ScrollArrows(sbVertical), std::make_pair(true, false));
    const int bottom = e.TopRow();
    ASSERT_LT(bar->value(), bar->maximum());
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, down);
    EXPECT_EQ(e.TopRow(), bottom);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, up);
    EXPECT_EQ(e.TopRow(), bottom - 1);
    // Without the option the arrows stay enabled at the ends.
    f.memo.SetOptions(f.memo.Options() - TPlainEditorOptions{eoDisableScrollArrows});
    e.SetTopRow(1);
    EXPECT_EQ(f.memo.ScrollArrows(sbVertical), std::make_pair(true, true));
    // Nothing to scroll: both arrows off whatever the option says.
    f.memo.SetText(QStringLiteral("short"));
    EXPECT_EQ(f.memo.ScrollArrows(sbVertical), std::make_pair(false, false));
}

// ---------------------------------------------------------------- mouse, drag and drop, input method

QPoint cellCentre(const TPlainMemo& memo, int column, int row)
{
    return memo.viewport()->mapTo(&memo, cellRect(memo, column, row).center());
}

TEST(PlainMemoMouse, DraggingTheMouseSelectsAndAltMakesAColumnBlock)
{
    MemoFixture f(QStringLiteral("abcdef\r\nghijkl\r\nmnopqr"));
    f.memo.SetOptions(f.memo.Options() + TPlainEditorOptions{eoAltSetsColumnMode});
    f.memo.show();
    QApplication::processEvents();
    TPlainEdit& e = f.memo.Edit();
    QWidget* vp = f.memo.viewport();
    const auto at = [&](int c, int r) { return vp->mapFrom(&f.memo, cellCentre(f.memo, c, r)) - QPoint(e.CellWidth() / 2, 0); };
    QTest::mousePress(vp, Qt::LeftButton, {}, at(2, 1));
    QTest::mouseMove(vp, at(4, 2));
    QMouseEvent move(QEvent::MouseMove, at(4, 2), vp->mapToGlobal(at(4, 2)), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(vp, &move);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, at(4, 2));
    EXPECT_EQ(e.SelectedText(), QStringLiteral("bcdef\r\nghi"));
    EXPECT_EQ(e.ActiveSelMode(), smNormal);

    QTest::mousePress(vp, Qt::LeftButton, Qt::AltModifier, at(2, 1));
    QMouseEvent alt(QEvent::MouseMove, at(4, 3), vp->mapToGlobal(at(4, 3)), Qt::NoButton, Qt::LeftButton,
                    Qt::AltModifier);
    QApplication::sendEvent(vp, &alt);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::AltModifier, at(4, 3));
    EXPECT_EQ(e.SelectionMode(), smColumn);
    EXPECT_EQ(e.SelectedText(), QStringLiteral("bc\r\nhi\r\nno"));
}

// Sends a drop of the mime data at a cell of the memo.
void dropAt(TPlainMemo& memo, QMimeData& mime, int column, int row, Qt::KeyboardModifiers modifiers = {})
{
    QWidget* vp = memo.viewport();
    const QPointF p = vp->mapFrom(&memo, cellCentre(memo, column, row)) - QPoint(memo.Edit().CellWidth() / 2, 0);
    QDragEnterEvent enter(p.toPoint(), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, modifiers);
    QApplication::sendEvent(vp, &enter);
    QDragMoveEvent move(p.toPoint(), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, modifiers);
    QApplication::sendEvent(vp, &move);
    QDropEvent drop(p, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, modifiers);
    QApplication::sendEvent(vp, &drop);
}

TEST(PlainMemoDrag, ABlockMovesBetweenMemosThroughThePrivateTypeAndOtherTextIsIgnored)
{
    MemoFixture source(QStringLiteral("hello world"));
    MemoFixture target(QStringLiteral("12345"));
    source.memo.show();
    target.memo.show();
    QApplication::processEvents();
    source.memo.Edit().SetCaretAndSel({7, 1}, {1, 1}, {7, 1});
    auto mime = source.memo.DragData();
    ASSERT_TRUE(mime);
    EXPECT_EQ(mime->text(), QStringLiteral("hello "));
    // Another memo moves only with Shift held.
    dropAt(target.memo, *mime, 3, 1);
    EXPECT_EQ(target.memo.Text(), QStringLiteral("12hello 345"));
    EXPECT_EQ(source.memo.Text(), QStringLiteral("hello world"));
    EXPECT_EQ(target.memo.Edit().SelectedText(), QStringLiteral("hello "));
    source.memo.Edit().SetCaretAndSel({7, 1}, {1, 1}, {7, 1});
    mime = source.memo.DragData();
    dropAt(target.memo, *mime, 1, 1, Qt::ShiftModifier);
    EXPECT_EQ(source.memo.Text(), QStringLiteral("world"));
    EXPECT_EQ(target.memo.Text(), QStringLiteral("hello 12hello 345"));
    // Within one memo the block moves.
    target.memo.Edit().SetCaretAndSel({7, 1}, {1, 1}, {7, 1});
    mime = target.memo.DragData();
    dropAt(target.memo, *mime, 18, 1);
    EXPECT_EQ(target.memo.Text(), QStringLiteral("12hello 345hello "));
    // The drag carries plain text for other programs; a drop of text that
    // no editor sent is ignored.
    QMimeData plain;
    plain.setText(QStringLiteral("<x>"));
    dropAt(source.memo, plain, 1, 1);
    EXPECT_EQ(source.memo.Text(), QStringLiteral("world"));
    target.memo.Edit().SetCaretAndSel({3, 1}, {1, 1}, {3, 1});
    mime = target.memo.DragData();
    source.memo.Edit().SetReadOnlyProp(true);
    dropAt(source.memo, *mime, 1, 1);
    EXPECT_EQ(source.memo.Text(), QStringLiteral("world")) << "read-only takes nothing";
}

TEST(PlainMemoDrag, DroppedFilesReachTheEventOnlyWithDropFiles)
{
    MemoFixture f(QStringLiteral("text"));
    f.memo.show();
    QApplication::processEvents();
    QStringList got;
    f.memo.Edit().OnDropFiles = handler<TDropFilesEvent>(
        [&](plat::TObject*, int, int, const QStringList& files) { got = files; });
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt")), QUrl::fromLocalFile(QStringLiteral("/tmp/b c.txt"))});
    dropAt(f.memo, mime, 1, 1);
    EXPECT_TRUE(got.isEmpty());
    f.memo.SetOptions(f.memo.Options() + TPlainEditorOptions{eoDropFiles});
    dropAt(f.memo, mime, 1, 1);
    EXPECT_EQ(got, (QStringList{QStringLiteral("/tmp/a.txt"), QStringLiteral("/tmp/b c.txt")}));
    EXPECT_EQ(f.memo.Text(), QStringLiteral("text"));
}

TEST(PlainMemoInputMethod, PreeditShowsOverTheTextAndTheCommitIsTyped)
{
    MemoFixture f(QStringLiteral("ab"));
    f.memo.show();
    QApplication::processEvents();
    TPlainEdit& e = f.memo.Edit();
    e.MoveCaret({2, 1});
    QInputMethodEvent compose(QStringLiteral("ka"), {});
    QApplication::sendEvent(&f.memo, &compose);
    EXPECT_EQ(f.memo.PreeditText(), QStringLiteral("ka"));
    EXPECT_EQ(f.memo.Text(), QStringLiteral("ab")) << "not text yet";
    QImage image(f.memo.viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        f.memo.PaintArea(painter, image.rect());
    }
    EXPECT_TRUE(hasInk(image, cellRect(f.memo, 3, 1), f.window())) << "the composition covers the b and beyond";
    EXPECT_TRUE(hasInk(image, cellRect(f.memo, 4, 1).adjusted(0, 0, 0, -2), f.window()));
    const QRect cursor = static_cast<QWidget&>(f.memo).inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_EQ(cursor.topLeft(), f.memo.viewport()->mapTo(&f.memo, f.memo.CaretRect().topLeft()));
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("č"));
    QApplication::sendEvent(&f.memo, &commit);
    EXPECT_EQ(f.memo.PreeditText(), QString());
    EXPECT_EQ(f.memo.Text(), QStringLiteral("ačb"));
    EXPECT_EQ(static_cast<QWidget&>(f.memo).inputMethodQuery(Qt::ImCursorPosition).toInt(), 2);
}

// ---------------------------------------------------------------- errors

TEST(PlainMemoErrors, NoExceptionFromTheModelLeavesAnEventHandler)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    MemoFixture f(QStringLiteral("abc"));
    f.memo.show();
    QApplication::processEvents();
    TPlainEdit& e = f.memo.Edit();
    e.OnKeyDown = handler<TPlainKeyEvent>([](plat::TObject*, quint16&, plat::TShiftState) {
        throw plat::EConvertError(QStringLiteral("key handler failed"));
    });
    e.OnPaint = handler<TPaintEvent>([](plat::TObject*, plat::TCanvas*) { throw plat::EConvertError(QStringLiteral("paint failed")); });
    e.OnMouseDown = handler<TPlainMouseEvent>([](plat::TObject*, plat::TMouseButton, plat::TShiftState, int, int) {
        throw plat::EConvertError(QStringLiteral("mouse failed"));
    });
    EXPECT_NO_THROW(QTest::keyClick(f.memo.Editor(), Qt::Key_Right));
    EXPECT_NO_THROW(f.memo.Render());
    EXPECT_NO_THROW(QTest::mouseClick(f.memo.viewport(), Qt::LeftButton, {}, QPoint(40, 5)));
    QStringList messages;
    for (const plat::ServiceCall& c : ui.CallsOf(QStringLiteral("MessageBox")))
        messages << c.text;
    EXPECT_TRUE(messages.contains(QStringLiteral("key handler failed.")));
    EXPECT_TRUE(messages.contains(QStringLiteral("paint failed.")));
    EXPECT_TRUE(messages.contains(QStringLiteral("mouse failed.")));
}

} // namespace

namespace {

TEST(PlainMemoScroll, TheScrollHintShowsInItsColourAtTheRightEdge)
{
    TPlainMemo memo;
    memo.resize(300, 200);
    QString text;
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("line\n");
    memo.SetText(text);
    TPlainEdit& edit = memo.Edit();
    edit.SetOptions(edit.Options() + TPlainEditorOptions{eoShowScrollHint});
    edit.SetScrollHintColor(plat::TColor(0x0000FFFF));
    memo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&memo));
    memo.verticalScrollBar()->setValue(500);

    QLabel* hint = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("ScrollHintWindow"))
            hint = qobject_cast<QLabel*>(w);
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->palette().color(QPalette::Window), QColor(255, 255, 0));
    EXPECT_EQ(hint->text(), edit.ScrollHintText());
    EXPECT_LE(hint->width(), 200);
    const QPoint viewportTopRight = memo.viewport()->mapToGlobal(QPoint(memo.viewport()->width(), 0));
    EXPECT_EQ(hint->x() + hint->width() + 4, viewportTopRight.x()) << "4 pixels left of the text area's right edge";
    EXPECT_EQ(hint->y(), viewportTopRight.y() + 10);
}

} // namespace
