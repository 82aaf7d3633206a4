// Groups, master-detail, drill-down, filters and row counts of the data
// loop, over small templates whose prepared bands are read back in order.

#include "EngineFixture.h"

#include <QRegularExpression>

using namespace enginetest;

namespace {

constexpr long double kGroupRow = 10;

// Rows with an outer group key "G", an inner one "H", a number "N" and an
// amount "A"; a forward-only one cannot go back.
class GroupRows : public zdtool::RowsDataSet {
public:
    using RowsDataSet::RowsDataSet;
    bool ForwardOnly = false;
    int Priors = 0;
    // Past the end a table still stands on its last row.
    plat::Variant GetValue(const QString& FieldName) override
    {
        if (Rows.empty() || RecNo < int(Rows.size()))
            return RowsDataSet::GetValue(FieldName);
        const int saved = RecNo;
        RecNo = int(Rows.size()) - 1;
        const plat::Variant v = RowsDataSet::GetValue(FieldName);
        RecNo = saved;
        return v;
    }
    void Prior() override
    {
        ++Priors;
        if (ForwardOnly)
            throw plat::Exception(QStringLiteral("Operation not allowed on a unidirectional dataset"));
        RowsDataSet::Prior();
    }
};

// The rows of a detail table whose key column equals the master's field.
class DetailRows : public zdtool::RowsDataSet {
public:
    using RowsDataSet::RowsDataSet;
    TzdDataSet* Master = nullptr;
    QString MasterField;
    int KeyColumn = 0;
    std::vector<std::vector<QVariant>> All;
    void First() override
    {
        const QString key = plat::VarToStr(Master->GetValue(MasterField));
        Rows.clear();
        for (const auto& r : All)
            if (r.at(size_t(KeyColumn)).toString() == key)
                Rows.push_back(r);
        RowsDataSet::First();
    }
};

struct GroupFixture : Fixture {
    GroupRows* data = nullptr;

    GroupRows* groupRows(const std::vector<std::tuple<QString, QString, int>>& Rows)
    {
        data = new GroupRows(&host, QStringLiteral("Rows"));
        report.DataSets()->AddDataSet(data);
        data->Fields = {QStringLiteral("G"), QStringLiteral("H"), QStringLiteral("N"), QStringLiteral("A")};
        for (const auto& [g, h, n] : Rows)
            data->Rows.push_back({g, h, n, n * 10});
        return data;
    }

    // A band of kGroupRow pixels at Top with one memo named after the band.
    template <class T>
    T* row(const QString& Name, long double Top, const QString& Text)
    {
        T* b = band<T>(Name, Top, kGroupRow);
        memo(b, Name + QStringLiteral("Text"), 0, 0, 300, kGroupRow, Text);
        return b;
    }

    TzdGroupHeader* group(const QString& Name, long double Top, const QString& Condition, const QString& Text)
    {
        auto* g = row<TzdGroupHeader>(Name, Top, Text);
        g->Condition = Condition;
        return g;
    }

    TzdMasterData* master(long double Top, const QString& Text = QStringLiteral("[Rows.\"N\"]"))
    {
        auto* m = row<TzdMasterData>(QStringLiteral("MasterData1"), Top, Text);
        m->SetDataSet(data);
        return m;
    }
};

// The printed bands in order, each as "Band" or "Band=text of its memo".
QStringList bandsOf(const QString& Dump)
{
    QStringList out;
    for (const QString& l : Dump.split(u'\n')) {
        if (l.isEmpty() || l.startsWith(u"page ") || l.startsWith(u"outline") || l.startsWith(u"anchor"))
            continue;
        const QString path = l.section(u' ', 1, 1);
        const QString name = l.section(u' ', 3, 3);
        if (!path.contains(u'/')) {
            out << name;
        } else if (!out.isEmpty() && !out.last().contains(u'=')) {
            static const QRegularExpression text(QStringLiteral("\"(.*)\"$"));
            out.last() += u'=' + text.match(l).captured(1);
        }
    }
    return out;
}

} // namespace

TEST(EngineGroups, NestedGroupsCloseInnerFirstAndRestartInnerNumbers)
{
    GroupFixture f;
    f.groupRows({{"A", "x", 1}, {"A", "x", 2}, {"A", "y", 3}, {"B", "y", 4}, {"B", "y", 5}});
    f.group(QStringLiteral("GroupHeader1"), 10, QStringLiteral("Rows.\"G\""), QStringLiteral("[Rows.\"G\"]"));
    f.group(QStringLiteral("GroupHeader2"), 20, QStringLiteral("Rows.\"H\""),
            QStringLiteral("[Rows.\"H\"] [Line] [Line#]"));
    f.master(30);
    f.row<TzdGroupFooter>(QStringLiteral("GroupFooter2"), 40, QStringLiteral("[Rows.\"N\"]"));
    f.row<TzdGroupFooter>(QStringLiteral("GroupFooter1"), 50, QStringLiteral("[Rows.\"N\"]"));
    const QString dump = f.dump();
    // Footers print while the dataset stands on their group's last row.
    EXPECT_EQ(bandsOf(dump), (QStringList{"GroupHeader1=A",     "GroupHeader2=x 1 1", "MasterData1=1",
                                          "MasterData1=2",      "GroupFooter2=2",     "GroupHeader2=y 2 2",
                                          "MasterData1=3",      "GroupFooter2=3",     "GroupFooter1=3",
                                          "GroupHeader1=B",     "GroupHeader2=y 1 3", "MasterData1=4",
                                          "MasterData1=5",      "GroupFooter2=5",     "GroupFooter1=5"}));
    expectGolden(QStringLiteral("groups_nested"), dump);
}

TEST(EngineGroups, GroupFooterTotalsCountAndSumEachGroup)
{
    GroupFixture f;
    f.groupRows({{"A", "", 1}, {"A", "", 2}, {"A", "", 3}, {"B", "", 4}, {"C", "", 5}, {"C", "", 6}});
    f.group(QStringLiteral("GroupHeader1"), 10, QStringLiteral("Rows.\"G\""), QStringLiteral("[Rows.\"G\"]"));
    f.master(20);
    f.row<TzdGroupFooter>(QStringLiteral("GroupFooter1"), 30,
                          QStringLiteral("[COUNT(MasterData1)] [SUM(<Rows.\"A\">)]"));
    const QStringList footers = bandsOf(f.dump()).filter(QStringLiteral("GroupFooter1"));
    EXPECT_EQ(footers, (QStringList{"GroupFooter1=3 60", "GroupFooter1=1 40", "GroupFooter1=2 110"}));
}

TEST(EngineGroups, SingleRecordFooterIsHiddenAndItsTotalsDiscarded)
{
    GroupFixture f;
    f.groupRows({{"A", "", 1}, {"A", "", 2}, {"B", "", 3}, {"C", "", 4}, {"C", "", 5}});
    f.group(QStringLiteral("GroupHeader1"), 10, QStringLiteral("Rows.\"G\""), QStringLiteral("[Rows.\"G\"]"));
    f.master(20);
    auto* footer = f.row<TzdGroupFooter>(QStringLiteral("GroupFooter1"), 30, QStringLiteral("[SUM(<Rows.\"A\">)]"));
    footer->HideIfSingleDataRecord = true;
    const QStringList footers = bandsOf(f.dump()).filter(QStringLiteral("GroupFooter1"));
    // B's 30 must not reach C's total.
    EXPECT_EQ(footers, (QStringList{"GroupFooter1=30", "GroupFooter1=90"}));
}

TEST(EngineGroups, ForwardOnlyDatasetFootersSeeTheNextGroupsFirstRow)
{
    for (const bool forwardOnly : {false, true}) {
        GroupFixture f;
        f.groupRows({{"A", "", 1}, {"A", "", 2}, {"B", "", 3}});
        f.data->ForwardOnly = forwardOnly;
        f.group(QStringLiteral("GroupHeader1"), 10, QStringLiteral("Rows.\"G\""), QStringLiteral("[Rows.\"G\"]"));
        f.master(20);
        f.row<TzdGroupFooter>(QStringLiteral("GroupFooter1"), 30, QStringLiteral("[Rows.\"N\"]"));
        const QStringList bands = bandsOf(f.dump());
        EXPECT_EQ(bands, (QStringList{"GroupHeader1=A", "MasterData1=1", "MasterData1=2",
                                      forwardOnly ? "GroupFooter1=3" : "GroupFooter1=2", "GroupHeader1=B",
                                      "MasterData1=3", "GroupFooter1=3"}))
            << forwardOnly;
        EXPECT_GT(f.data->Priors, 0);
    }
}

TEST(EngineGroups, RowCountLimitsTheRowsOfEachGroup)
{
    GroupFixture f;
    f.groupRows({{"A", "", 1}, {"A", "", 2}, {"A", "", 3}, {"A", "", 4}, {"B", "", 5}, {"B", "", 6}});
    f.group(QStringLiteral("GroupHeader1"), 10, QStringLiteral("Rows.\"G\""), QStringLiteral("[Rows.\"G\"]"));
    f.master(20)->SetRowCount(3);
    const QStringList rows = bandsOf(f.dump()).filter(QStringLiteral("MasterData1"));
    // The count is per group, and the loop ends once a group exceeds it.
    EXPECT_EQ(rows, (QStringList{"MasterData1=1", "MasterData1=2", "MasterData1=3"}));
}

TEST(EngineGroups, FilterPrintsOnlyTheRowsForWhichItIsTrue)
{
    struct Case {
        const char* filter;
        QStringList rows;
    };
    const Case cases[] = {
        {"<Rows.\"N\"> > 3", {"MasterData1=4", "MasterData1=5"}},
        {"  ", {"MasterData1=1", "MasterData1=2", "MasterData1=3", "MasterData1=4", "MasterData1=5"}},
        // A non-Boolean value is compared with True: 1 is not True.
        {"Rows.\"N\"", {}},
    };
    for (const Case& c : cases) {
        GroupFixture f;
        f.groupRows({{"A", "", 1}, {"A", "", 2}, {"A", "", 3}, {"A", "", 4}, {"A", "", 5}});
        f.master(20)->Filter = QString::fromLatin1(c.filter);
        f.page->PrintIfEmpty = true;
        ASSERT_TRUE(f.prepare()) << f.report.ErrorList().join(u'\n').toStdString();
        EXPECT_EQ(bandsOf(zdtool::dumpPages(*f.store())).filter(QStringLiteral("MasterData1")), c.rows)
            << c.filter;
    }
}

TEST(EngineGroups, ThreeLevelMasterDetailSkipsMastersWithoutDetailsUnlessAsked)
{
    for (const bool printEmpty : {false, true}) {
        GroupFixture f;
        // Customers 1..3; orders of customers 1 and 3; items of order 10 only.
        f.groupRows({{"", "", 1}, {"", "", 2}, {"", "", 3}});
        auto* orders = new DetailRows(&f.host, QStringLiteral("Orders"));
        f.report.DataSets()->AddDataSet(orders);
        orders->Fields = {QStringLiteral("C"), QStringLiteral("O")};
        orders->All = {{1, 10}, {1, 11}, {3, 30}};
        orders->Master = f.data;
        orders->MasterField = QStringLiteral("N");
        auto* items = new DetailRows(&f.host, QStringLiteral("Items"));
        f.report.DataSets()->AddDataSet(items);
        items->Fields = {QStringLiteral("O"), QStringLiteral("I")};
        items->All = {{10, QStringLiteral("a")}, {10, QStringLiteral("b")}};
        items->Master = orders;
        items->MasterField = QStringLiteral("O");
        auto* m = f.master(10);
        m->PrintIfDetailEmpty = printEmpty;
        auto* d = f.row<TzdDetailData>(QStringLiteral("DetailData1"), 20, QStringLiteral("[Orders.\"O\"]"));
        d->SetDataSet(orders);
        d->PrintIfDetailEmpty = printEmpty;
        f.row<TzdSubdetailData>(QStringLiteral("SubdetailData1"), 30, QStringLiteral("[Items.\"I\"]"))
            ->SetDataSet(items);
        const QStringList bands = bandsOf(f.dump());
        if (printEmpty)
            EXPECT_EQ(bands, (QStringList{"MasterData1=1", "DetailData1=10", "SubdetailData1=a", "SubdetailData1=b",
                                          "DetailData1=11", "MasterData1=2", "MasterData1=3", "DetailData1=30"}));
        else
            EXPECT_EQ(bands,
                      (QStringList{"MasterData1=1", "DetailData1=10", "SubdetailData1=a", "SubdetailData1=b"}));
        if (printEmpty)
            expectGolden(QStringLiteral("master_detail"), zdtool::dumpPages(*f.store()));
    }
}

namespace {

// Two master rows, each with groups A and B of two rows; drill-down groups.
void drillReport(GroupFixture& f, bool ExpandDrillDown)
{
    f.groupRows({{"A", "", 1}, {"A", "", 2}, {"B", "", 3}, {"B", "", 4}});
    auto* outer = new GroupRows(&f.host, QStringLiteral("Outer"));
    f.report.DataSets()->AddDataSet(outer);
    outer->Fields = {QStringLiteral("K")};
    outer->Rows = {{1}, {2}};
    auto* m = f.row<TzdMasterData>(QStringLiteral("MasterData1"), 10, QStringLiteral("[Outer.\"K\"]"));
    m->SetDataSet(outer);
    auto* g = f.group(QStringLiteral("GroupHeader1"), 20, QStringLiteral("Rows.\"G\""),
                      QStringLiteral("[Rows.\"G\"]"));
    g->DrillDown = true;
    g->ExpandDrillDown = ExpandDrillDown;
    auto* d = f.row<TzdDetailData>(QStringLiteral("DetailData1"), 30, QStringLiteral("[Rows.\"N\"]"));
    d->SetDataSet(f.data);
    f.row<TzdGroupFooter>(QStringLiteral("GroupFooter1"), 40, QStringLiteral("[Rows.\"N\"]"));
}

} // namespace

TEST(EngineGroups, DrillDownShowsOnlyHeadersUntilAGroupIsToggled)
{
    GroupFixture f;
    drillReport(f, false);
    EXPECT_EQ(bandsOf(f.dump()), (QStringList{"MasterData1=1", "GroupHeader1=A", "GroupHeader1=B", "MasterData1=2",
                                              "GroupHeader1=A", "GroupHeader1=B"}));
    // The name carries the enclosing row's number; group numbers restart
    // with every run of the data band.
    f.report.ToggledDrillNames = {QStringLiteral("MasterData1.2.GroupHeader1.2")};
    EXPECT_EQ(bandsOf(f.dump()),
              (QStringList{"MasterData1=1", "GroupHeader1=A", "GroupHeader1=B", "MasterData1=2", "GroupHeader1=A",
                           "GroupHeader1=B", "DetailData1=3", "DetailData1=4", "GroupFooter1=4"}));
    expectGolden(QStringLiteral("drill_down"), zdtool::dumpPages(*f.store()));
}

TEST(EngineGroups, ExpandedDrillDownListsTheCollapsedGroups)
{
    GroupFixture f;
    drillReport(f, true);
    f.report.ToggledDrillNames = {QStringLiteral("MasterData1.1.GroupHeader1.1")};
    EXPECT_EQ(bandsOf(f.dump()),
              (QStringList{"MasterData1=1", "GroupHeader1=A", "GroupHeader1=B", "DetailData1=3", "DetailData1=4",
                           "GroupFooter1=4", "MasterData1=2", "GroupHeader1=A", "DetailData1=1", "DetailData1=2",
                           "GroupFooter1=2", "GroupHeader1=B", "DetailData1=3", "DetailData1=4",
                           "GroupFooter1=4"}));
}

TEST(EngineGroups, GroupHeaderWithStartNewPageBreaksBeforeEveryGroupButTheFirst)
{
    GroupFixture f;
    f.groupRows({{"A", "", 1}, {"B", "", 2}, {"C", "", 3}});
    f.group(QStringLiteral("GroupHeader1"), 10, QStringLiteral("Rows.\"G\""), QStringLiteral("[Rows.\"G\"]"))
        ->StartNewPage = true;
    f.master(20);
    const QString dump = f.dump();
    EXPECT_EQ(f.store()->GetPageCount(), 3);
    EXPECT_EQ(objectLines(dump, 3, QStringLiteral("GroupHeader1")).size(), 1);
}

TEST(EngineGroups, KeepTogetherMovesAWholeGroupToTheNextPage)
{
    for (const bool keep : {false, true}) {
        GroupFixture f;
        std::vector<std::tuple<QString, QString, int>> rows;
        for (int i = 1; i <= 16; ++i)
            rows.emplace_back(i <= 10 ? QStringLiteral("A") : QStringLiteral("B"), QString(), i);
        f.groupRows(rows);
        auto* g = f.group(QStringLiteral("GroupHeader1"), 10, QStringLiteral("Rows.\"G\""), QStringLiteral("[Rows.\"G\"]"));
        g->KeepTogether = keep;
        auto* m = f.master(30);
        m->SetHeight(25);
        const QString dump = f.dump();
        ASSERT_EQ(f.store()->GetPageCount(), 2) << keep;
        // A takes 10 + 250 pixels; B's header and 6 rows do not fit below it.
        EXPECT_EQ(objectLines(dump, 1, QStringLiteral("GroupHeader1")).size(), keep ? 1 : 2) << keep;
        EXPECT_EQ(objectLines(dump, 2, QStringLiteral("GroupHeader1")).size(), keep ? 1 : 0) << keep;
        EXPECT_EQ(objectLines(dump, 2, QStringLiteral("MasterData1")).size(), keep ? 6 : 2) << keep;
    }
}
