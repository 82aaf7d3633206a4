// Vertical bands: cells laid out to the right of each other on the
// horizontal band that hosts them, continuing on pages to the right.

#include "EngineFixture.h"

using namespace enginetest;

namespace {

constexpr long double kVCell = 60, kVRow = 20;

template <class T>
T* verticalBand(Fixture& f, const QString& Name, long double Left)
{
    auto* b = new T(f.page);
    b->SetParent(f.page);
    b->SetName(Name);
    b->SetVertical(true);
    b->SetBounds(Left, 0, kVCell, 100);
    return b;
}

// Rows 1..RowCount down, columns 1..ColumnCount across; a vertical header
// cell at the left of every row, re-printed on pages to the right.
void crossTab(Fixture& f, int RowCount, int ColumnCount)
{
    f.memo(f.band<TzdPageHeader>(QStringLiteral("PageHeader1"), 0, kVRow), QStringLiteral("Head"), 0, 0, 200, kVRow,
           QStringLiteral("Strana [Page#]"));
    auto* rows = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 50, kVRow);
    rows->SetDataSet(f.rows(QStringLiteral("Rows"), RowCount));
    auto* header = verticalBand<TzdHeader>(f, QStringLiteral("VHeader"), 0);
    header->ReprintOnNewPage = true;
    auto* columns = verticalBand<TzdMasterData>(f, QStringLiteral("VData"), kVCell);
    columns->SetDataSet(f.rows(QStringLiteral("Cols"), ColumnCount));
    // Placed in the row band; the band tree moves them into the cells.
    f.memo(rows, QStringLiteral("RowLabel"), 0, 0, kVCell, kVRow, QStringLiteral("R[Rows.\"N\"]"));
    f.memo(rows, QStringLiteral("Cell"), kVCell, 0, kVCell, kVRow, QStringLiteral("[Rows.\"N\"]/[Cols.\"N\"]"));
}

} // namespace

TEST(EngineVertical, CellsWiderThanThePageContinueOnThePageToTheRight)
{
    Fixture f;
    crossTab(f, 3, 7);
    const QString dump = f.dump();
    // 377.95 pixels hold the header cell and five columns.
    ASSERT_EQ(f.store()->GetPageCount(), 2) << dump.toStdString();
    QStringList page1, page2;
    for (const QString& l : objectLines(dump, 1, QStringLiteral("Cell")))
        page1 << l.section(u' ', -1) + u'@' + l.section(u' ', 4, 4);
    for (const QString& l : objectLines(dump, 2, QStringLiteral("Cell")))
        page2 << l.section(u' ', -1) + u'@' + l.section(u' ', 4, 4);
    EXPECT_EQ(page1.size(), 15);
    EXPECT_EQ(page1.mid(0, 5), (QStringList{"\"1/1\"@60.00", "\"1/2\"@120.00", "\"1/3\"@180.00", "\"1/4\"@240.00",
                                            "\"1/5\"@300.00"}));
    EXPECT_EQ(page2, (QStringList{"\"1/6\"@60.00", "\"1/7\"@120.00", "\"2/6\"@60.00", "\"2/7\"@120.00",
                                  "\"3/6\"@60.00", "\"3/7\"@120.00"}));
    // The re-printed header cell starts every row on both pages.
    EXPECT_EQ(objectLines(dump, 1, QStringLiteral("RowLabel")).size(), 3);
    EXPECT_EQ(objectLines(dump, 2, QStringLiteral("RowLabel")).size(), 3);
    // Rows keep their height on the page to the right.
    const QStringList hosts2 = objectLines(dump, 2, QStringLiteral("MasterData1"));
    ASSERT_EQ(hosts2.size(), 3);
    EXPECT_EQ(hosts2[1].section(u' ', 5, 5).toDouble() - hosts2[0].section(u' ', 5, 5).toDouble(), double(kVRow));
    EXPECT_EQ(objectLines(dump, 2, QStringLiteral("PageHeader1")).size(), 1);
    expectGolden(QStringLiteral("vertical_pages"), dump);
}

TEST(EngineVertical, OverlayPrintsOncePerPageToTheRight)
{
    Fixture f;
    crossTab(f, 4, 7);
    f.memo(f.band<TzdOverlay>(QStringLiteral("Overlay1"), 200, 30), QStringLiteral("Mark"), 0, 0, 100, 30,
           QStringLiteral("KOPIE"));
    const QString dump = f.dump();
    ASSERT_EQ(f.store()->GetPageCount(), 2);
    EXPECT_EQ(objectLines(dump, 1, QStringLiteral("Overlay1")).size(), 1);
    EXPECT_EQ(objectLines(dump, 2, QStringLiteral("Overlay1")).size(), 1);
}

TEST(EngineVertical, EndlessWidthGrowsThePageInstead)
{
    Fixture f;
    crossTab(f, 2, 7);
    f.page->EndlessWidth = true;
    const QString dump = f.dump();
    ASSERT_EQ(f.store()->GetPageCount(), 1);
    EXPECT_EQ(objectLines(dump, 1, QStringLiteral("Cell")).size(), 14);
    // The page holds the header cell and all seven cells: 480 pixels.
    const double width = dump.section(u'\n', 0, 0).section(u' ', -1).section(u'x', 0, 0).toDouble();
    EXPECT_GE(width, 480 / double(zd01cm)) << dump.toStdString();
}

TEST(EngineVertical, RowsRunningDownAndAcrossPrintEveryCellOnce)
{
    Fixture f;
    crossTab(f, 30, 7);
    const QString dump = f.dump();
    // Rows fill two pages down, each continued on a page to the right.
    EXPECT_EQ(f.store()->GetPageCount(), 4);
    QStringList cells;
    for (int p = 1; p <= f.store()->GetPageCount(); ++p)
        for (const QString& l : objectLines(dump, p, QStringLiteral("Cell")))
            cells << l.section(u' ', -1);
    EXPECT_EQ(cells.size(), 30 * 7);
    cells.removeDuplicates();
    EXPECT_EQ(cells.size(), 30 * 7);
}
