// Soft word wrap and the text drawer's cell metrics.

#include "EditorFixture.h"
#include "PlainEditWordWrap.h"
#include "PlainTextDrawer.h"

#include "Canvas.h"
#include "Exceptions.h"

#include <gtest/gtest.h>

using namespace edtest;

namespace {

// A host with fixed lines and a window width in characters.
class WrapHost : public IPlainWrapHost {
public:
    QStringList lines;
    int width = 40;
    int tabWidth = 8;
    int WrapLineCount() const override { return int(lines.size()); }
    const QString& WrapLineText(int index) const override { return lines[index]; }
    int WrapTabWidth() const override { return tabWidth; }
    int WrapCharsInWindow() const override { return width; }
    TPlainCharSet WrapIdentifierChars() const override
    {
        return TPlainCharSet({{33, 255}}, TPlainCharSet::OutsideLettersDigits);
    }
};

std::vector<int> rowsOf(const TPlainWordWrapPlugin& plugin, int line)
{
    std::vector<int> rows;
    const int first = plugin.LineFirstRow(line);
    for (int r = first; r < first + plugin.LineRows(line); ++r)
        rows.push_back(plugin.RowLength(r));
    return rows;
}

} // namespace

TEST(PlainWordWrap, CutsLinesIntoRows)
{
    WrapHost host;
    const QString words = QStringLiteral("one two three four five six seven eight nine ten eleven");
    host.lines = {QString(100, QLatin1Char('a')), words, QString(), QString(40, QLatin1Char('b')),
                  QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789ABC     Z")};
    TPlainWordWrapPlugin plugin(&host);
    EXPECT_EQ(plugin.MaxRowLength(), 40);
    EXPECT_EQ(plugin.MinRowLength(), 27);
    EXPECT_EQ(rowsOf(plugin, 0), (std::vector<int>{40, 40, 20})) << "no blank: hard breaks";
    // The last blank more than 27 characters after the row's start ends the row.
    const std::vector<int> rows = rowsOf(plugin, 1);
    EXPECT_EQ(rows, (std::vector<int>{int(words.indexOf(QStringLiteral("nine"))), 15}));
    EXPECT_EQ(rowsOf(plugin, 2), (std::vector<int>{0})) << "an empty line takes one empty row";
    EXPECT_EQ(rowsOf(plugin, 3), (std::vector<int>{40})) << "no empty extra row";
    EXPECT_EQ(rowsOf(plugin, 4), (std::vector<int>{44, 1})) << "a row ending on a blank keeps the run of blanks";
    EXPECT_EQ(plugin.RowCount(), 3 + int(rows.size()) + 1 + 1 + 2);
}

TEST(PlainWordWrap, RowsNeverPassTheirByte)
{
    WrapHost host;
    host.width = 300;
    host.lines = {QString(600, QLatin1Char('x'))};
    TPlainWordWrapPlugin plugin(&host);
    EXPECT_EQ(plugin.MaxRowLength(), 255);
    EXPECT_EQ(rowsOf(plugin, 0), (std::vector<int>{255, 255, 90}));
}

TEST(PlainWordWrap, AWideTabStillMovesEveryRowOn)
{
    WrapHost host;
    host.width = 255;
    host.tabWidth = 256;
    host.lines = {QStringLiteral("a\t\tb"), QStringLiteral("\t") + QString(300, QLatin1Char(' ')) + QStringLiteral("x")};
    TPlainWordWrapPlugin plugin(&host);
    int cells = 0;
    for (int length : rowsOf(plugin, 0)) {
        EXPECT_GT(length, 0);
        cells += length;
    }
    EXPECT_EQ(cells, TabExpandedLength(host.lines[0], 256));
    for (int length : rowsOf(plugin, 1))
        EXPECT_GT(length, 0);
}

TEST(PlainWordWrap, ConvertsBetweenTextAndScreen)
{
    WrapHost host;
    host.lines = {QString(100, QLatin1Char('a')), QStringLiteral("b")};
    TPlainWordWrapPlugin plugin(&host);
    EXPECT_EQ(plugin.BufferToDisplay({1, 1}), (TDisplayPos{1, 1}));
    EXPECT_EQ(plugin.BufferToDisplay({40, 1}), (TDisplayPos{40, 1}));
    EXPECT_EQ(plugin.BufferToDisplay({41, 1}), (TDisplayPos{1, 2}));
    EXPECT_EQ(plugin.BufferToDisplay({105, 1}), (TDisplayPos{25, 3})) << "past the end on the last row";
    EXPECT_EQ(plugin.BufferToDisplay({3, 2}), (TDisplayPos{3, 4}));
    EXPECT_EQ(plugin.BufferToDisplay({1, 5}), (TDisplayPos{1, 7})) << "a line beyond the wrapped ones";
    EXPECT_EQ(plugin.DisplayToBuffer({50, 1}), (TBufferCoord{41, 1})) << "an inner row stops after its length";
    EXPECT_EQ(plugin.DisplayToBuffer({50, 3}), (TBufferCoord{121, 1})) << "the last row up to MaxRowLength + 1";
    EXPECT_EQ(plugin.DisplayToBuffer({2, 4}), (TBufferCoord{2, 2}));
    EXPECT_EQ(plugin.DisplayToBuffer({1, 6}), (TBufferCoord{1, 4}));
    try {
        plugin.RowLength(5);
        FAIL();
    } catch (const plat::EListError& e) {
        EXPECT_EQ(e.message(), "List index out of bounds (5)");
    }
}

TEST(PlainWordWrap, FollowsChangesOfTheLines)
{
    WrapHost host;
    host.lines = {QString(50, QLatin1Char('a')), QStringLiteral("b")};
    TPlainWordWrapPlugin plugin(&host);
    host.lines.insert(1, QString(90, QLatin1Char('c')));
    EXPECT_EQ(plugin.NotifyLinesInserted(1, 1), 3);
    host.lines[0] = QStringLiteral("short");
    EXPECT_EQ(plugin.NotifyLinesReplaced(0, 1), -1);
    host.lines.removeAt(1);
    EXPECT_EQ(plugin.NotifyLinesDeleted(1, 1), 3);
    EXPECT_EQ(plugin.RowCount(), 2);
    EXPECT_EQ(plugin.LineCapacity(), 256);
}

TEST(PlainWordWrap, WithoutAWidthChangesWaitForTheWindow)
{
    WrapHost host;
    host.width = 0;
    host.lines = {QStringLiteral("abc")};
    TPlainWordWrapPlugin plugin(&host);
    host.lines << QStringLiteral("d") << QStringLiteral("e");
    EXPECT_EQ(plugin.NotifyLinesInserted(1, 2), 0);
    host.lines.removeAt(0);
    EXPECT_EQ(plugin.NotifyLinesDeleted(0, 1), 0);
    EXPECT_EQ(plugin.NotifyLinesReplaced(0, 1), 0);
    EXPECT_EQ(plugin.RowCount(), 2) << "unwrapped lines take a row each";
    host.width = 40;
    plugin.NotifyDisplayChanged();
    EXPECT_EQ(plugin.LineCount(), 2);
    EXPECT_EQ(plugin.RowCount(), 2);
}

TEST(PlainWordWrap, NeedsItsEditor)
{
    try {
        TPlainWordWrapPlugin plugin(nullptr);
        FAIL();
    } catch (const plat::EPlainEditError& e) {
        EXPECT_EQ(e.message(), "TPlainWordWrapPlugin must be owned by TCustomPlainEdit");
    }
}

TEST(PlainEditWordWrap, TheEditorWrapsWhenItHasAWidth)
{
    auto e = editorWith({QString(100, QLatin1Char('a')), QStringLiteral("b")});
    e->SetWordWrap(true);
    EXPECT_EQ(e->RowCount(), 2) << "no window, no width: a row a line";
    e->Lines()->SetStrings(0, QString(120, QLatin1Char('x')));
    e->Lines()->Add(QStringLiteral("c"));
    FakeView view;
    view.width = e->GutterExtent() + 2 + 40 * e->CellWidth();
    e->SetView(&view);
    EXPECT_EQ(e->ColumnsInView(), 40);
    EXPECT_EQ(e->RowCount(), 5);
    EXPECT_EQ(e->LineToRow(2), 4);
    EXPECT_EQ(e->RowToLine(3), 1);
    e->SetWordWrap(false);
    EXPECT_EQ(e->RowCount(), 3);
}

// ------------------------------------------------------------ text drawer

TEST(TheFontsInfoManager, FontsDifferingOnlyInUnderlineShareAnEntry)
{
    plat::TFont a;
    a.SetName(QStringLiteral("Courier New"));
    a.SetHeight(-13);
    plat::TFont underlined;
    underlined.AssignFont(a);
    underlined.SetStyle({plat::fsUnderline});
    plat::TFont bold;
    bold.AssignFont(a);
    bold.SetStyle({plat::fsBold});
    const int before = FontsInfoManager().EntryCount();
    {
        TheFontStock s1(&a);
        TheFontStock s2(&underlined);
        EXPECT_EQ(s1.FontsInfo(), s2.FontsInfo());
        TheFontStock s3(&bold);
        EXPECT_NE(s1.FontsInfo(), s3.FontsInfo());
        EXPECT_EQ(FontsInfoManager().EntryCount(), before + 2);
    }
    EXPECT_EQ(FontsInfoManager().EntryCount(), before);
    try {
        TheFontStock none(nullptr);
        FAIL();
    } catch (const plat::EheFontStockException& e) {
        EXPECT_EQ(e.message(), "SetBaseFont: 'Value' must be specified.");
    }
}

TEST(TheTextDrawer, CellsOfItsBaseStyleAndItsSpacing)
{
    plat::TFont font;
    font.SetName(QStringLiteral("Courier New"));
    font.SetHeight(-13);
    TheTextDrawer drawer({plat::fsBold}, &font);
    EXPECT_GT(drawer.CharWidth(), 0);
    EXPECT_GT(drawer.CharHeight(), 0);
    const int cell = drawer.CharWidth();
    drawer.SetStyle({});
    EXPECT_EQ(drawer.CharWidth(), cell) << "the base style sets the cell, not the drawing style";
    drawer.SetCharExtra(2);
    EXPECT_EQ(drawer.CharWidth(), cell + 2);
    QImage image(200, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    plat::TCanvas canvas(&image);
    drawer.BeginDrawing(&canvas);
    drawer.ExtTextOut(0, 0, 0, nullptr, QStringLiteral("||"), 2);
    EXPECT_EQ(drawer.AdvanceCount(), 64);
    drawer.EndDrawing();
    canvas.ReleaseDevice();
    // The second bar stands exactly one cell to the right of the first.
    int first = -1, second = -1;
    for (int x = 0; x < 200; ++x) {
        if (qGray(image.pixel(x, 8)) < 128) {
            if (first < 0)
                first = x;
            else if (x > first + 1 && second < 0)
                second = x;
        }
    }
    ASSERT_GE(first, 0);
    EXPECT_EQ(second - first, cell + 2);
    EXPECT_THROW(drawer.EndDrawing(), plat::EAssertionFailed);
    EXPECT_THROW(drawer.SetBaseFont(nullptr), plat::EheTextDrawerException);
}
