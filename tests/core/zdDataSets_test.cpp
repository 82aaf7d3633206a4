// Datasets: naming, the counted range, values from host events, field
// aliases and the process-wide list.

#include "zdModelFixture.h"

#include "Exceptions.h"
#include "StringList.h"
#include "zdRes.h"

#include <gtest/gtest.h>

#include <memory>

using namespace zdtest;

TEST(DataSet, RenamingFollowsTheUserNameOnlyWhileItEqualsTheName)
{
    TzdUserDataSet ds(nullptr);
    ds.SetName(QStringLiteral("Data1"));
    EXPECT_EQ(ds.UserName(), QStringLiteral("Data1"));
    ds.SetName(QStringLiteral("Data2"));
    EXPECT_EQ(ds.UserName(), QStringLiteral("Data2"));
    ds.SetUserName(QStringLiteral("Customers"));
    ds.SetName(QStringLiteral("Data3"));
    EXPECT_EQ(ds.UserName(), QStringLiteral("Customers"));
}

TEST(DataSet, ABlankUserNameIsRefused)
{
    TzdUserDataSet ds(nullptr);
    ds.SetUserName(QStringLiteral("Kept"));
    try {
        ds.SetUserName(QStringLiteral("   "));
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), zdGetResources()->GetText(QStringLiteral("prInvProp")));
    }
    EXPECT_EQ(ds.UserName(), QStringLiteral("Kept"));
}

TEST(DataSet, CountedRangeStopsAtItsCount)
{
    TzdDataSet ds(nullptr);
    int nextEvents = 0;
    ds.OnNext = plat::TNotifyEvent([&](plat::TObject*) { ++nextEvents; }, nullptr, nullptr);
    ds.SetRangeEnd(reCount);
    ds.SetRangeEndCount(3);
    ds.First();
    ds.Next();
    ds.Next();
    EXPECT_EQ(ds.RecNo, 2);
    EXPECT_FALSE(ds.Eof());
    ds.Next();
    EXPECT_EQ(ds.RecNo, 2);
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(nextEvents, 2);
    EXPECT_EQ(ds.RecordCount(), 3);
    ds.SetRangeBegin(rbCurrent);
    EXPECT_EQ(ds.RecordCount(), 0);
}

TEST(DataSet, CheckEofHasTheLastWord)
{
    TzdDataSet ds(nullptr);
    ds.OnCheckEOF = TzdCheckEOFEvent([](plat::TObject*, bool& eof) { eof = true; }, nullptr, nullptr);
    EXPECT_TRUE(ds.Eof());
}

TEST(UserDataSet, WithoutAnEndTestTheRangeDecides)
{
    struct Case {
        TzdRangeEnd rangeEnd;
        int count;
        int records; // how many records First/Next visit before Eof
    };
    const Case cases[] = {{reLast, 0, 0}, {reCurrent, 0, 1}, {reCount, 2, 2}, {reCount, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rangeEnd);
        TzdUserDataSet ds(nullptr);
        ds.SetRangeEnd(c.rangeEnd);
        ds.SetRangeEndCount(c.count);
        int visited = 0;
        for (ds.First(); !ds.Eof() && visited < 100; ds.Next())
            ++visited;
        EXPECT_EQ(visited, c.records);
    }
    TzdUserDataSet withTest(nullptr);
    int calls = 0;
    withTest.OnCheckEOF = TzdCheckEOFEvent([&](plat::TObject*, bool& eof) { eof = ++calls > 4; }, nullptr, nullptr);
    int visited = 0;
    for (withTest.First(); !withTest.Eof(); withTest.Next())
        ++visited;
    EXPECT_EQ(visited, 4);
}

TEST(UserDataSet, TheLastValueEventWins)
{
    TzdUserDataSet ds(nullptr);
    EXPECT_TRUE(ds.GetValue(QStringLiteral("a")).isNull());
    EXPECT_EQ(ds.GetDisplayText(QStringLiteral("a")), QString());
    ds.OnGetValue = TzdGetValueEvent([](const QString& name, plat::Variant& v) { v = plat::Variant(name + u'1'); },
                                     nullptr, nullptr);
    EXPECT_EQ(ds.GetValue(QStringLiteral("a")).toString(), QStringLiteral("a1"));
    ds.OnNewGetValue = TzdNewGetValueEvent(
        [](plat::TObject*, const QString& name, plat::Variant& v) { v = plat::Variant(name + u'2'); }, nullptr, nullptr);
    EXPECT_EQ(ds.GetValue(QStringLiteral("a")).toString(), QStringLiteral("a2"));
    EXPECT_EQ(ds.GetDisplayText(QStringLiteral("b")), QStringLiteral("b2"));
}

TEST(UserDataSet, FieldsAreItsFieldList)
{
    TzdUserDataSet ds(nullptr);
    ds.Fields()->SetText(QStringLiteral("kod\r\npole1\r\n"));
    EXPECT_EQ(ds.FieldsCount(), 2);
    EXPECT_TRUE(ds.HasField(QStringLiteral("POLE1")));
    EXPECT_FALSE(ds.HasField(QStringLiteral("pole2")));
    plat::TStringList list;
    ds.GetFieldList(list);
    EXPECT_EQ(list.Count(), 2);
}

TEST(CustomDBDataSet, FieldAliases)
{
    TzdCustomDBDataSet ds(nullptr);
    ds.FieldAliases()->Add(QStringLiteral("CustNo=Customer number"));
    ds.FieldAliases()->Add(QStringLiteral("Plain"));
    EXPECT_EQ(ds.GetFieldName(QStringLiteral("customer NUMBER")), QStringLiteral("CustNo"));
    EXPECT_EQ(ds.GetFieldName(QStringLiteral("plain")), QStringLiteral("Plain"));
    EXPECT_EQ(ds.GetFieldName(QStringLiteral("Other")), QStringLiteral("Other"));
    EXPECT_EQ(ds.FieldsCount(), 0);
}

TEST(GlobalDataSets, LookupAcrossReports)
{
    TzdTestReport reportA, reportB;
    plat::TComponent form(nullptr);
    auto* onForm = new TzdUserDataSet(&form);
    onForm->SetUserName(QStringLiteral("zdDBDataset1"));
    auto* inB = new TzdUserDataSet(&reportB);
    inB->SetUserName(QStringLiteral("OnlyInB"));
    TzdUserDataSet fallback(nullptr);

    EXPECT_EQ(zdFindGlobalDataSet(&fallback, QStringLiteral("ZDDBDATASET1"), &reportA), onForm);
    EXPECT_EQ(zdFindGlobalDataSet(&fallback, QStringLiteral("OnlyInB"), &reportA), &fallback);
    EXPECT_EQ(zdFindGlobalDataSet(nullptr, QStringLiteral("OnlyInB"), &reportB), inB);
    EXPECT_EQ(zdFindGlobalDataSet(&fallback, QStringLiteral("zdDBDataset1"), nullptr), &fallback);
    EXPECT_EQ(zdFindGlobalDataSet(&fallback, QString(), &reportA), nullptr);

    // Through a report object: the global list or the report's own list.
    auto* memo = new TzdTestMemo(&reportA);
    EXPECT_EQ(memo->FindDataSet(nullptr, QStringLiteral("zdDBDataset1")), onForm);
    reportA.GlobalLookup = false;
    EXPECT_EQ(memo->FindDataSet(nullptr, QStringLiteral("zdDBDataset1")), nullptr);
    reportA.DataSets.push_back(onForm);
    EXPECT_EQ(memo->FindDataSet(nullptr, QStringLiteral("ZDdbDataset1")), onForm);
}

TEST(GlobalDataSets, TheListOffersEnabledNamedDataSetsAndForgetsFreedOnes)
{
    auto named = std::make_unique<TzdUserDataSet>(nullptr);
    named->SetUserName(QStringLiteral("ListedOne"));
    TzdUserDataSet unnamed(nullptr);
    TzdUserDataSet disabled(nullptr);
    disabled.SetUserName(QStringLiteral("Disabled"));
    disabled.SetEnabled(false);
    plat::TStringList list;
    zdGetGlobalDataSetList(list);
    const int at = list.IndexOf(QStringLiteral("ListedOne"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(list.Objects(at), named.get());
    EXPECT_LT(list.IndexOf(QStringLiteral("Disabled")), 0);
    const int before = zdGlobalDataSets()->Count();
    named.reset();
    EXPECT_EQ(zdGlobalDataSets()->Count(), before - 1);
    zdGetGlobalDataSetList(list);
    EXPECT_LT(list.IndexOf(QStringLiteral("ListedOne")), 0);
}

TEST(DataSet, DialogComponentGeometryTravelsAsCustomData)
{
    registerTestClasses();
    TzdTestReport report;
    auto* ds = new TzdUserDataSet(&report);
    ds->SetName(QStringLiteral("DS"));
    EXPECT_EQ(ds->Width(), 28);
    EXPECT_FALSE(ds->ObjectStyle().contains(osPreviewCopy));
    ds->SetLeft(10.5L);
    ds->SetTop(11.5L);
    TzdTestReport copy;
    loadFromBytes(&copy, saveToBytes(&report));
    TzdComponent* read = copy.FindObject(QStringLiteral("DS"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Left(), 10); // rounded, ties to even
    EXPECT_EQ(read->Top(), 12);
}
