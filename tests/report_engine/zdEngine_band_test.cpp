// Band output: stretching and shifting, splitting, keep blocks, multi-column
// bands, subreports and outline entries.

#include "EngineFixture.h"

#include "Exceptions.h"

#include <cmath>

using namespace enginetest;

namespace {

QString lines(int n)
{
    QStringList l;
    for (int i = 1; i <= n; ++i)
        l << QStringLiteral("Řádek %1").arg(i);
    return l.join(QStringLiteral("\r\n"));
}

// Top and height of the first dump line of an object on a page.
std::pair<double, double> topHeight(const QString& Dump, int Page, const QString& Name, int Index = 0)
{
    const QStringList l = objectLines(Dump, Page, Name);
    if (Index >= l.size())
        return {-1, -1};
    return {l[Index].section(u' ', 5, 5).toDouble(), l[Index].section(u' ', 7, 7).toDouble()};
}

} // namespace

TEST(EngineBand, StretchedMemoPushesAlwaysShiftersAndOverlappedOnes)
{
    Fixture f;
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 10, 60);
    data->SetRowCount(1);
    data->Stretched = true;
    auto* grow = f.memo(data, QStringLiteral("Grow"), 0, 0, 150, 20, lines(5));
    grow->SetStretchMode(smActualHeight);
    f.memo(data, QStringLiteral("Below"), 0, 30, 150, 20, QStringLiteral("pod"));
    auto* fixed = f.memo(data, QStringLiteral("Fixed"), 0, 55, 150, 5, QStringLiteral("stojí"));
    fixed->SetShiftMode(smDontShift);
    auto* side = f.memo(data, QStringLiteral("Side"), 200, 25, 100, 20, QStringLiteral("vedle"));
    side->SetShiftMode(smWhenOverlapped);
    const QString dump = f.dump();
    const auto [growTop, growHeight] = topHeight(dump, 1, QStringLiteral("Grow"));
    EXPECT_GT(growHeight, 20);
    EXPECT_DOUBLE_EQ(topHeight(dump, 1, QStringLiteral("Below")).first, 30 + growHeight - 20);
    EXPECT_DOUBLE_EQ(topHeight(dump, 1, QStringLiteral("Fixed")).first, 55);
    EXPECT_DOUBLE_EQ(topHeight(dump, 1, QStringLiteral("Side")).first, 25); // nothing grew above it
    // The stretched band ends at its lowest object.
    EXPECT_NEAR(topHeight(dump, 1, QStringLiteral("MasterData1")).second, 30 + growHeight - 20 + 20, 0.01);
    expectGolden(QStringLiteral("stretch_shift"), dump);
}

TEST(EngineBand, StretchedBandWithoutGrowthBecomesShorter)
{
    Fixture f;
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 10, 60);
    data->SetRowCount(1);
    data->Stretched = true;
    f.memo(data, QStringLiteral("M"), 0, 0, 150, 20, QStringLiteral("x"));
    EXPECT_DOUBLE_EQ(topHeight(f.dump(), 1, QStringLiteral("MasterData1")).second, 20);
}

TEST(EngineBand, SplitMemoRunsOverThreePagesWithTheHeaders)
{
    Fixture f;
    f.band<TzdPageHeader>(QStringLiteral("PageHeader1"), 0, 20);
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 40, 30);
    data->SetRowCount(1);
    data->AllowSplit = true;
    data->Stretched = true;
    auto* memo = f.memo(data, QStringLiteral("Long"), 0, 0, 300, 30, lines(60));
    memo->SetStretchMode(smActualHeight);
    const QString dump = f.dump();
    ASSERT_EQ(f.store()->GetPageCount(), 3) << dump.toStdString();
    QStringList seen;
    for (int p = 1; p <= 3; ++p) {
        const QStringList l = objectLines(dump, p, QStringLiteral("Long"));
        ASSERT_EQ(l.size(), 1) << p;
        EXPECT_EQ(objectLines(dump, p, QStringLiteral("PageHeader1")).size(), 1);
        seen << l[0].section(u'"', 1).chopped(1).split(QStringLiteral("\\n"));
    }
    // Every line printed once, in order.
    EXPECT_EQ(seen.join(u'|'), lines(60).split(QStringLiteral("\r\n")).join(u'|'));
    expectGolden(QStringLiteral("split_memo"), dump);
}

TEST(EngineBand, SplitEndsWhenHeadersLeaveNoRoom)
{
    Fixture f;
    // Page and column headers taller than the page together: no room is left
    // for any part of the memo on any page.
    auto* header = f.band<TzdPageHeader>(QStringLiteral("PageHeader1"), 0, kPageHeight - 10);
    f.memo(header, QStringLiteral("Head"), 0, 0, 100, kPageHeight - 10, QStringLiteral("záhlaví"));
    auto* columnHeader = f.band<TzdColumnHeader>(QStringLiteral("ColumnHeader1"), 0, 20);
    f.memo(columnHeader, QStringLiteral("Columns"), 0, 0, 100, 20, QStringLiteral("sloupce"));
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 400, 30);
    data->SetRowCount(1);
    data->AllowSplit = true;
    data->Stretched = true;
    f.memo(data, QStringLiteral("Long"), 0, 0, 300, 30, lines(10))->SetStretchMode(smActualHeight);
    f.memo(data, QStringLiteral("Plain"), 0, 40, 300, 30, QStringLiteral("x"));
    ASSERT_TRUE(f.prepare());
    const QString dump = zdtool::dumpPages(*f.store());
    EXPECT_LE(f.store()->GetPageCount(), 4) << dump.toStdString();
    EXPECT_EQ(dump.count(QStringLiteral(" Plain ")), 1);
    EXPECT_GE(dump.count(QStringLiteral(" Long ")), 1);
}

TEST(EngineBand, KeptChildMovesWithItsBandToTheNextPage)
{
    Fixture f;
    f.band<TzdPageHeader>(QStringLiteral("PageHeader1"), 0, 20);
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 30, 100);
    data->SetRowCount(3);
    data->KeepChild = true;
    data->OutlineText = QStringLiteral("'Řádek ' + 'x'");
    auto* child = f.band<TzdChild>(QStringLiteral("Child1"), 200, 50);
    data->SetChild(child);
    f.memo(data, QStringLiteral("Row"), 0, 0, 100, 20, QStringLiteral("[Line]"));
    // Row 3 fits (20 + 200 + 100 = 320) but its child does not: both move.
    const QString dump = f.dump();
    EXPECT_EQ(objectLines(dump, 1, QStringLiteral("MasterData1")).size(), 2);
    EXPECT_EQ(objectLines(dump, 2, QStringLiteral("MasterData1")).size(), 1);
    EXPECT_DOUBLE_EQ(topHeight(dump, 2, QStringLiteral("MasterData1")).first, 20);
    EXPECT_DOUBLE_EQ(topHeight(dump, 2, QStringLiteral("Child1")).first, 120);
    expectGolden(QStringLiteral("keep_child"), dump);
}

TEST(EngineBand, KeepBlockTooTallForAnEmptyPageIsGivenUp)
{
    Fixture f;
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 30, 200);
    data->SetRowCount(2);
    data->KeepChild = true;
    data->SetChild(f.band<TzdChild>(QStringLiteral("Child1"), 300, 250));
    ASSERT_TRUE(f.prepare());
    const QString dump = zdtool::dumpPages(*f.store());
    EXPECT_EQ(objectLines(dump, 1, QStringLiteral("MasterData1")).size(), 1);
    EXPECT_EQ(dump.count(QStringLiteral(" MasterData1 ")), 2);
    EXPECT_EQ(dump.count(QStringLiteral(" Child1 ")), 2);
}

TEST(EngineBand, MultiColumnBandFillsColumnsAcrossThenDown)
{
    Fixture f;
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 30, 100);
    data->SetRowCount(7);
    data->Columns = 3;
    data->ColumnWidth = 100;
    data->ColumnGap = 10;
    data->SetWidth(100);
    auto* child = f.band<TzdChild>(QStringLiteral("Child1"), 300, 10);
    data->SetChild(child);
    f.memo(data, QStringLiteral("Cell"), 0, 0, 100, 20, QStringLiteral("[Line]"));
    const QString dump = f.dump();
    // 3 rows of 100 fit on the page (300 < 377.95): 3 + 3 + 1, columns across.
    const QStringList bands = objectLines(dump, 1, QStringLiteral("MasterData1"));
    ASSERT_EQ(bands.size(), 7) << dump.toStdString();
    EXPECT_EQ(bands[1].section(u' ', 4, 4), QStringLiteral("110.00"));
    EXPECT_EQ(bands[2].section(u' ', 4, 4), QStringLiteral("220.00"));
    // The next row starts below the tallest column, the child band included.
    EXPECT_EQ(bands[3].section(u' ', 5, 5), QStringLiteral("110.00"));
    // The child band comes only with a row's first column.
    EXPECT_EQ(dump.count(QStringLiteral(" Child1 ")), 3);
    expectGolden(QStringLiteral("columns"), dump);
}

TEST(EngineBand, PageColumnsTakeThePositionsAndCheckThem)
{
    Fixture f;
    f.page->SetColumns(2);
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 30, 100);
    data->SetRowCount(5);
    const QString dump = f.dump();
    ASSERT_EQ(f.store()->GetPageCount(), 1);
    EXPECT_EQ(objectLines(dump, 1, QStringLiteral("MasterData1")).value(3).section(u' ', 4, 4),
              QString::number(double(50 * zd01cm), 'f', 2));
    // A column position missing from the list is a clear error, not a wild
    // read. Preparing reloaded the template: its page is a new object now.
    auto* page = dynamic_cast<TzdReportPage*>(f.report.GetPageByIndex(f.report.GetPageCount() - 1));
    ASSERT_NE(page, nullptr);
    page->ColumnPositions()->Delete(1);
    QStringList errors;
    EXPECT_FALSE(f.prepare(&errors));
    EXPECT_TRUE(errors.join(u'|').contains(QStringLiteral("column positions"))) << errors.join(u'|').toStdString();
}

TEST(EngineBand, SubreportsPrintOnTheirParentAndBelowIt)
{
    for (const bool onParent : {true, false}) {
        Fixture f;
        auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 30, 40);
        data->SetRowCount(2);
        f.memo(data, QStringLiteral("Row"), 0, 0, 100, 20, QStringLiteral("[Line]"));
        auto* inner = f.addPage(QStringLiteral("Page2"));
        auto* sub = new TzdSubreport(data);
        sub->SetParent(data);
        sub->SetName(QStringLiteral("Subreport1"));
        sub->SetBounds(150, 10, 100, 20);
        sub->SetPage(inner);
        sub->PrintOnParent = onParent;
        auto* innerData = f.band<TzdMasterData>(QStringLiteral("MasterData2"), 0, 15, inner);
        innerData->SetRowCount(3);
        f.memo(innerData, QStringLiteral("Inner"), 0, 0, 80, 15, QStringLiteral("i[Line]"));
        const QString dump = f.dump();
        EXPECT_EQ(dump.count(QStringLiteral("\"i")), 6) << onParent;
        expectGolden(onParent ? QStringLiteral("subreport_on_parent") : QStringLiteral("subreport_below"), dump);
    }
}

TEST(EngineBand, SubreportContainingItsOwnPageIsAnError)
{
    Fixture f;
    auto* inner = f.addPage(QStringLiteral("Page2"));
    auto* innerData = f.band<TzdMasterData>(QStringLiteral("MasterData2"), 0, 15, inner);
    innerData->SetRowCount(2);
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 30, 40);
    data->SetRowCount(1);
    auto* sub = new TzdSubreport(data);
    sub->SetParent(data);
    sub->SetName(QStringLiteral("Subreport1"));
    sub->SetPage(inner);
    auto* loop = new TzdSubreport(innerData);
    loop->SetParent(innerData);
    loop->SetName(QStringLiteral("Subreport2"));
    loop->SetPage(inner);
    QStringList errors;
    EXPECT_FALSE(f.prepare(&errors));
    EXPECT_TRUE(errors.join(u'|').contains(QStringLiteral("contains its own page"))) << errors.join(u'|').toStdString();
}

TEST(EngineBand, DataBandStartNewPageBreaksBeforeEveryRowButTheFirst)
{
    Fixture f;
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 30, 40);
    data->SetRowCount(3);
    data->StartNewPage = true;
    f.dump();
    EXPECT_EQ(f.store()->GetPageCount(), 3);
}
