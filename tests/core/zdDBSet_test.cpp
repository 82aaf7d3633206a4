// The table adapter over the record table: ranges, filters, field names
// and aliases, errors for unknown fields, and the table's handlers, which a
// run must leave exactly as it found them.

#include "ClientDataSet.h"
#include "Exceptions.h"
#include "StringList.h"
#include "zdClass_report.h"
#include "zdDBSet.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct AdapterFixture {
    plat::TComponent owner{nullptr};
    plat::TClientDataSet* table = new plat::TClientDataSet(&owner);
    TzdDBDataset* adapter = new TzdDBDataset(&owner);
    TzdReport report{nullptr};
    int afterOpenCalls = 0;
    plat::TDataSetNotifyEvent afterOpen{[this](plat::TClientDataSet*) { ++afterOpenCalls; }, this, &afterOpenCalls};
    plat::TDataSetNotifyEvent beforeClose{[](plat::TClientDataSet*) {}, this, &beforeClose};

    explicit AdapterFixture(int Count = 6)
    {
        table->FieldDefs() = plat::TClientDataSet::RecordTableDefs();
        table->CreateDataSet();
        for (int i = 1; i <= Count; ++i) {
            table->Append();
            table->FieldByName(QStringLiteral("kod")).SetAsString(QStringLiteral("K%1").arg(i));
            table->Post();
        }
        table->First();
        table->AfterOpen = afterOpen;
        table->BeforeClose = beforeClose;
        adapter->SetName(QStringLiteral("zdDBDataset1"));
        adapter->SetDataSet(table);
        adapter->ListingReport = &report;
    }

    // One run as the engine makes it: every code the adapter walks.
    QStringList run()
    {
        QStringList codes;
        adapter->Initialize();
        adapter->First();
        while (!adapter->Eof()) {
            codes << plat::VarToStr(adapter->GetValue(QStringLiteral("kod")));
            adapter->Next();
        }
        adapter->Finalize();
        return codes;
    }

    QString current() const { return table->FieldByName(QStringLiteral("kod")).AsString(); }
};

} // namespace

TEST(TableAdapter, WalksTheFilteredTableInItsOrder)
{
    AdapterFixture f;
    f.table->OnFilterRecord = plat::TFilterRecordEvent(
        [](plat::TClientDataSet* t, bool& accept) {
            accept = t->FieldByName(QStringLiteral("kod")).AsString() != u"K2"
                     && t->FieldByName(QStringLiteral("kod")).AsString() != u"K5";
        },
        nullptr, nullptr);
    f.table->SetFiltered(true);
    EXPECT_EQ(f.run(), (QStringList{"K1", "K3", "K4", "K6"}));
    EXPECT_EQ(f.adapter->RecordCount(), 4);
}

TEST(TableAdapter, RangesFromAndToTheCurrentRecordAndByCount)
{
    struct Case {
        TzdRangeBegin begin;
        TzdRangeEnd end;
        int count;
        QStringList codes;
        const char* after; // the table's record after the run
    };
    const Case cases[] = {
        {rbCurrent, reCurrent, 0, {"K3"}, "K3"},
        {rbCurrent, reLast, 0, {"K3", "K4", "K5", "K6"}, "K3"},
        {rbFirst, reCurrent, 0, {"K1", "K2", "K3"}, "K3"},
        // The third record ends the run without the table moving past it.
        {rbFirst, reCount, 3, {"K1", "K2", "K3"}, "K3"},
    };
    for (const Case& c : cases) {
        AdapterFixture f;
        f.table->SetRecNo(3);
        f.adapter->SetRangeBegin(c.begin);
        f.adapter->SetRangeEnd(c.end);
        f.adapter->SetRangeEndCount(c.count);
        EXPECT_EQ(f.run(), c.codes) << int(c.begin) << int(c.end);
        EXPECT_EQ(f.current(), QString::fromLatin1(c.after)) << int(c.begin) << int(c.end);
    }
}

TEST(TableAdapter, UnknownFieldGivesNullAndOneErrorNamingTheDataset)
{
    AdapterFixture f;
    f.report.EvaluatedObjectName = QStringLiteral("Memo1");
    f.adapter->Initialize();
    f.adapter->First();
    EXPECT_EQ(plat::VarToStr(f.adapter->GetValue(QStringLiteral("kod"))), QStringLiteral("K1"));
    EXPECT_TRUE(f.adapter->GetValue(QString::fromUtf8("kód")).isNull());
    const QString expected = QString::fromUtf8("Memo1: Pole nenalezeno: zdDBDataset1.\"kód\"");
    EXPECT_EQ(f.adapter->GetDisplayText(QString::fromUtf8("kód")), expected);
    EXPECT_EQ(f.report.ErrorList(), QStringList{expected});
    f.adapter->Finalize();
}

TEST(TableAdapter, AliasesRenameFieldsAndDashedEntriesHideThem)
{
    AdapterFixture f;
    f.adapter->FieldAliases()->SetText(QStringLiteral("kod=Code\n-id=id"));
    plat::TStringList list;
    f.adapter->GetFieldList(list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Strings(0), QStringLiteral("Code"));
    f.adapter->Initialize();
    f.adapter->First();
    f.adapter->Next();
    EXPECT_EQ(plat::VarToStr(f.adapter->GetValue(QStringLiteral("Code"))), QStringLiteral("K2"));
    EXPECT_EQ(f.adapter->GetFieldType(QStringLiteral("Code")), fftString);
    EXPECT_EQ(f.adapter->GetDisplayWidth(QStringLiteral("Code")), 50);
    f.adapter->Finalize();
}

TEST(TableAdapter, RunLeavesTheTableOpenWithItsOwnHandlers)
{
    AdapterFixture f;
    f.run();
    EXPECT_TRUE(f.table->Active());
    EXPECT_TRUE(f.table->AfterOpen == f.afterOpen);
    EXPECT_TRUE(f.table->BeforeClose == f.beforeClose);
    EXPECT_FALSE(f.table->AfterRefresh.IsAssigned());
    EXPECT_FALSE(f.adapter->Hooked());
}

TEST(TableAdapter, HandlersComeBackWhenTheSavedRecordWasDeleted)
{
    AdapterFixture f;
    int refreshes = 0;
    const plat::TDataSetNotifyEvent own([&](plat::TClientDataSet*) { ++refreshes; }, &refreshes, nullptr);
    f.table->AfterRefresh = own;
    f.table->SetRecNo(2);
    f.adapter->SetRangeBegin(rbCurrent);
    f.adapter->Initialize();
    f.adapter->First();
    // A script deletes the record the run started on.
    f.table->Delete();
    EXPECT_NO_THROW(f.adapter->Finalize());
    EXPECT_TRUE(f.table->AfterOpen == f.afterOpen);
    EXPECT_FALSE(f.adapter->Hooked());
    // Left hooked, the next run would take the adapter's handler for the
    // table's and call itself without end; the table's own runs once.
    f.adapter->Initialize();
    f.table->Refresh();
    EXPECT_EQ(refreshes, 1);
    f.adapter->Finalize();
    EXPECT_TRUE(f.table->AfterRefresh == own);
    EXPECT_TRUE(f.table->AfterOpen == f.afterOpen);
}

TEST(TableAdapter, WithoutATableTheRunStopsWithTheNotConnectedText)
{
    AdapterFixture f;
    f.adapter->SetDataSet(nullptr);
    try {
        f.adapter->Initialize();
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QString::fromUtf8("DataSet zdDBDataset1 není připojen k datům"));
    }
}

TEST(TableAdapter, ABindingThatGoesAwayIsForgotten)
{
    AdapterFixture f;
    f.adapter->Initialize();
    f.adapter->First();
    delete f.table;
    EXPECT_EQ(f.adapter->Table(), nullptr);
    EXPECT_FALSE(f.adapter->Hooked());
    EXPECT_NO_THROW(f.adapter->Finalize());
}
