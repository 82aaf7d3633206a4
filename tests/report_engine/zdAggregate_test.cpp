// Aggregates: page-footer sums per page, running totals, the five
// functions, and the scan of memos for their calls.

#include "EngineFixture.h"

#include "zdAggregate.h"
#include "zdVariables.h"

using namespace enginetest;

namespace {

// 30 rows of 25 pixels between a page header and a page footer holding
// FooterText; the rows print their Amount.
void amounts(Fixture& f, const QString& FooterText)
{
    f.band<TzdPageHeader>(QStringLiteral("PageHeader1"), 0, 20);
    f.memo(f.band<TzdPageFooter>(QStringLiteral("PageFooter1"), 300, 20), QStringLiteral("Total"), 0, 0, 200, 20,
           FooterText);
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 100, 25);
    data->SetDataSet(f.rows(QStringLiteral("Rows"), 30));
    f.memo(data, QStringLiteral("Amount"), 0, 0, 200, 25, QStringLiteral("[Rows.\"Amount\"]"));
}

int memoNumber(const QString& Line)
{
    return Line.section(u'"', 1, 1).toInt();
}

} // namespace

TEST(EngineAggregates, PageFooterSumEqualsTheRowsOnItsPage)
{
    Fixture f;
    amounts(f, QStringLiteral("[SUM(<Rows.\"Amount\">)]"));
    const QString dump = f.dump();
    ASSERT_EQ(f.store()->GetPageCount(), 3);
    for (int p = 1; p <= 3; ++p) {
        int sum = 0;
        for (const QString& l : objectLines(dump, p, QStringLiteral("Amount")))
            sum += memoNumber(l);
        EXPECT_EQ(memoNumber(objectLines(dump, p, QStringLiteral("Total")).value(0)), sum) << p;
    }
    expectGolden(QStringLiteral("page_footer_sum"), dump);
}

TEST(EngineAggregates, RunningTotalKeepsAddingAcrossPages)
{
    Fixture f;
    amounts(f, QStringLiteral("[SUM(<Rows.\"Amount\">, MasterData1, 2)]"));
    const QString dump = f.dump();
    int sum = 0;
    for (int p = 1; p <= 3; ++p) {
        for (const QString& l : objectLines(dump, p, QStringLiteral("Amount")))
            sum += memoNumber(l);
        EXPECT_EQ(memoNumber(objectLines(dump, p, QStringLiteral("Total")).value(0)), sum) << p;
    }
}

TEST(EngineAggregates, FooterShowsEachFunctionOverItsBand)
{
    struct Case {
        const char* expression;
        const char* expected;
    };
    const std::vector<Case> cases{
        {"SUM(<Rows.\"Amount\">)", "150"}, {"AVG(<Rows.\"Amount\">)", "30"}, {"MIN(<Rows.\"Amount\">)", "10"},
        {"MAX(<Rows.\"Amount\">)", "50"},  {"COUNT(MasterData1)", "5"},
    };
    for (const Case& c : cases) {
        Fixture f;
        auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 100, 25);
        data->SetDataSet(f.rows(QStringLiteral("Rows"), 5));
        f.memo(f.band<TzdFooter>(QStringLiteral("Footer1"), 200, 20), QStringLiteral("Result"), 0, 0, 200, 20,
               u'[' + QString::fromUtf8(c.expression) + u']');
        const QString dump = f.dump();
        EXPECT_EQ(objectLines(dump, 1, QStringLiteral("Result")).value(0).section(u'"', 1, 1),
                  QString::fromUtf8(c.expected))
            << c.expression;
    }
}

TEST(EngineAggregates, FooterWithoutRowsShowsZero)
{
    Fixture f;
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 100, 25);
    data->SetDataSet(f.rows(QStringLiteral("Rows"), 0));
    f.memo(f.band<TzdPageFooter>(QStringLiteral("PageFooter1"), 300, 20), QStringLiteral("Total"), 0, 0, 200, 20,
           QStringLiteral("[SUM(<Rows.\"Amount\">)]"));
    const QString dump = f.dump();
    EXPECT_EQ(objectLines(dump, 1, QStringLiteral("Total")).value(0).section(u'"', 1, 1), QStringLiteral("0"));
}

TEST(EngineAggregates, ScanFindsCallsThroughVariablesAndEndsOnCycles)
{
    Fixture f;
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 100, 25);
    auto* footer = f.band<TzdFooter>(QStringLiteral("Footer1"), 200, 20);
    TzdVariables* vars = f.report.Variables();
    vars->SetVariables(QStringLiteral("Total"), QStringLiteral("SUM(<Rows.\"Amount\">) + Total"));
    vars->SetVariables(QStringLiteral("A"), QStringLiteral("B"));
    vars->SetVariables(QStringLiteral("B"), QStringLiteral("A + COUNT(MasterData1, 1)"));
    auto* memo = f.memo(footer, QStringLiteral("M"), 0, 0, 100, 20,
                        QStringLiteral("[Total] [A] [MAX((Rows.\"N\"), MasterData1, 3)]"));
    TzdAggregateList& list = f.engine()->AggregateList();
    list.Clear();
    list.ScanMemo(memo, data);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0)->Function, 0);
    EXPECT_EQ(list.Items(0)->Expression, QStringLiteral("<Rows.\"Amount\">"));
    EXPECT_EQ(list.Items(1)->Function, 4);
    EXPECT_TRUE(list.Items(1)->CountInvisible);
    EXPECT_EQ(list.Items(2)->Function, 3);
    EXPECT_TRUE(list.Items(2)->RunningTotal);
    EXPECT_EQ(list.Items(2)->DisplayBand, footer);
}

TEST(EngineAggregates, InvalidFlagTextRaises)
{
    Fixture f;
    auto* data = f.band<TzdMasterData>(QStringLiteral("MasterData1"), 100, 25);
    auto* memo = f.memo(f.band<TzdFooter>(QStringLiteral("Footer1"), 200, 20), QStringLiteral("M"), 0, 0, 100, 20,
                        QStringLiteral("[SUM(1, MasterData1, x)]"));
    EXPECT_THROW(f.engine()->AggregateList().ScanMemo(memo, data), plat::Exception);
}
