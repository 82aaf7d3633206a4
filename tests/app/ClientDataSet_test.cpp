#include "ClientDataSet.h"
#include "DBGridModel.h"
#include "Exceptions.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

using namespace plat;

namespace {

// Counts what a bound control is told.
struct RecordingLink : TDataLink {
    QStringList events;
    void DataSetChanged() override { events << QStringLiteral("changed"); }
    void RecordInserted(int row) override { events << QStringLiteral("inserted %1").arg(row); }
    void RecordRemoved(int row) override { events << QStringLiteral("removed %1").arg(row); }
    void RecordChanged(int row) override { events << QStringLiteral("record %1").arg(row); }
    void DataSetScrolled() override { events << QStringLiteral("scrolled"); }
    void UpdateData() override { events << QStringLiteral("update"); }
};

class RecordTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        table.FieldDefs() = TClientDataSet::RecordTableDefs();
        table.CreateDataSet();
    }
    void add(const QString& code, const QString& pole1 = {})
    {
        table.Append();
        table.FieldByName(QStringLiteral("kod")).SetAsString(code);
        if (!pole1.isEmpty())
            table.FieldByName(QStringLiteral("pole1")).SetAsString(pole1);
        table.Post();
    }
    QString code() const { return table.FieldByName(QStringLiteral("kod")).AsString(); }
    int id() const { return table.FieldByName(QStringLiteral("id")).AsInteger(); }

    TClientDataSet table{nullptr};
};

} // namespace

TEST_F(RecordTable, AppendNumbersRecordsInOrderAndMakesTheNewOneCurrent)
{
    add(QStringLiteral("a"));
    add(QStringLiteral("b"));
    add(QStringLiteral("c"));
    EXPECT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(table.RecNo(), 3);
    EXPECT_EQ(id(), 3);
    table.First();
    EXPECT_EQ(code(), "a");
    EXPECT_EQ(id(), 1);
    EXPECT_TRUE(table.Modified());
}

TEST_F(RecordTable, PostWithoutCodeFailsAndStoresNothing)
{
    table.Append();
    table.FieldByName(QStringLiteral("pole1")).SetAsString(QStringLiteral("x"));
    try {
        table.Post();
        FAIL() << "Post accepted an empty code";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.message(), "Field 'kod' must have a value");
    }
    EXPECT_EQ(table.State(), dsInsert);
    table.Cancel();
    EXPECT_EQ(table.RecordCount(), 0);
    EXPECT_EQ(table.AutoIncValue(), 1); // no number was used up
}

TEST_F(RecordTable, TextsAreCutToFiftyCharactersAndNamesIgnoreCase)
{
    table.Append();
    table.FieldByName(QStringLiteral("KOD")).SetAsString(QString(60, u'x'));
    table.Post();
    EXPECT_EQ(table.FieldByName(QStringLiteral("Kod")).AsString().size(), 50);
    EXPECT_EQ(table.FieldByName(QStringLiteral("Id")).Value().toInt64(), 1);
    EXPECT_TRUE(table.FieldByName(QStringLiteral("pole1")).Value().isNull());
    EXPECT_THROW(table.FieldByName(QStringLiteral("kód")), EDatabaseError);
    EXPECT_EQ(table.FieldNames(), (QStringList{"id", "kod", "pole1", "pole2", "pole3", "pole4"}));
    EXPECT_EQ(table.FieldByName(QStringLiteral("kod")).DisplayWidth(), 50);
    EXPECT_EQ(table.FieldByName(QStringLiteral("id")).DisplayWidth(), 10);
}

TEST_F(RecordTable, IdIsReadOnlyAndFieldsNeedEditMode)
{
    add(QStringLiteral("a"));
    EXPECT_THROW(table.FieldByName(QStringLiteral("kod")).SetAsString(QStringLiteral("b")), EDatabaseError);
    table.Edit();
    EXPECT_THROW(table.FieldByName(QStringLiteral("id")).SetAsString(QStringLiteral("9")), EDatabaseError);
    table.FieldByName(QStringLiteral("kod")).SetAsString(QStringLiteral("b"));
    table.Post();
    EXPECT_EQ(code(), "b");
    EXPECT_EQ(id(), 1);
}

TEST_F(RecordTable, NavigationSetsBeginAndEndFlagsWithoutLeavingTheEnds)
{
    for (const char* c : {"1", "2", "3"})
        add(QString::fromLatin1(c));
    table.First();
    EXPECT_TRUE(table.Bof());
    table.Prior();
    EXPECT_EQ(table.RecNo(), 1);
    EXPECT_TRUE(table.Bof());
    table.Last();
    table.Next();
    EXPECT_EQ(table.RecNo(), 3);
    EXPECT_TRUE(table.Eof());
    table.SetRecNo(2);
    EXPECT_EQ(code(), "2");
    EXPECT_FALSE(table.Bof() || table.Eof());
    EXPECT_THROW(table.SetRecNo(4), EDatabaseError);
    EXPECT_THROW(table.SetRecNo(0), EDatabaseError);
}

TEST_F(RecordTable, DeleteMovesToTheNextOrThePreviousAfterTheLast)
{
    for (const char* c : {"1", "2", "3"})
        add(QString::fromLatin1(c));
    table.SetRecNo(2);
    table.Delete();
    EXPECT_EQ(code(), "3");
    table.Delete();
    EXPECT_EQ(code(), "1");
    table.Delete();
    EXPECT_EQ(table.RecNo(), 0);
    EXPECT_THROW(table.Delete(), EDatabaseError);
    add(QStringLiteral("4"));
    EXPECT_EQ(id(), 4); // numbers of deleted records are not reused
}

TEST_F(RecordTable, FilterShowsOnlyAcceptedRecordsAndAskedRecordIsReadable)
{
    for (const char* c : {"ab1", "x", "AB2", "y"})
        add(QString::fromLatin1(c));
    table.OnFilterRecord = TFilterRecordEvent(
        [](TClientDataSet* ds, bool& accept) {
            accept = ds->FieldByName(QStringLiteral("kod")).AsString().contains(QStringLiteral("ab"), Qt::CaseInsensitive);
        },
        nullptr, nullptr);
    table.SetFiltered(true);
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(table.RecNo(), 1);
    EXPECT_EQ(code(), "ab1");
    table.Next();
    EXPECT_EQ(code(), "AB2");
    EXPECT_EQ(table.RecordText(1, 1), "AB2");
    table.SetFiltered(false);
    EXPECT_EQ(table.RecordCount(), 4);
}

TEST_F(RecordTable, RecordPostedWhileTheFilterHidesItStaysCurrentUntilTheViewIsRebuilt)
{
    for (const char* c : {"ab1", "ab2"})
        add(QString::fromLatin1(c));
    table.OnFilterRecord = TFilterRecordEvent(
        [](TClientDataSet* ds, bool& accept) { accept = ds->FieldByName(QStringLiteral("kod")).AsString().startsWith(u'a'); },
        nullptr, nullptr);
    table.SetFiltered(true);
    add(QStringLiteral("zzz")); // the filter would hide it
    EXPECT_EQ(code(), "zzz");
    const int newId = id();
    // The next edit lands on the same record, not on a neighbour.
    table.Edit();
    table.FieldByName(QStringLiteral("kod")).SetAsString(QStringLiteral("zzz2"));
    table.Post();
    EXPECT_EQ(id(), newId);
    EXPECT_EQ(code(), "zzz2");
    table.Refresh();
    EXPECT_EQ(table.RecordCount(), 2);
    table.SetFiltered(false);
    table.Last();
    EXPECT_EQ(code(), "zzz2");
}

TEST_F(RecordTable, SavedPositionsReturnAndFailForDeletedRecords)
{
    for (const char* c : {"1", "2", "3"})
        add(QString::fromLatin1(c));
    table.SetRecNo(2);
    const TBookmark mark = table.GetBookmark();
    const QString text = table.Bookmark();
    table.First();
    table.GotoBookmark(mark);
    EXPECT_EQ(code(), "2");
    table.Last();
    table.SetBookmark(text);
    EXPECT_EQ(code(), "2");
    table.Delete();
    EXPECT_FALSE(table.BookmarkValid(mark));
    EXPECT_THROW(table.GotoBookmark(mark), EDatabaseError);
}

TEST_F(RecordTable, SuspendedControlsHearNothingUntilTheOutermostResume)
{
    RecordingLink link;
    table.AddDataLink(&link);
    table.DisableControls();
    table.DisableControls();
    add(QStringLiteral("1"));
    table.EnableControls();
    add(QStringLiteral("2"));
    EXPECT_TRUE(link.events.isEmpty());
    table.EnableControls();
    EXPECT_EQ(link.events, QStringList{QStringLiteral("changed")});
    link.events.clear();
    add(QStringLiteral("3"));
    EXPECT_EQ(link.events.first(), "update");
    EXPECT_TRUE(link.events.contains(QStringLiteral("inserted 2")));
}

TEST_F(RecordTable, ReplaceableHandlersRunAndCanBePutBack)
{
    int opened = 0, closing = 0;
    table.CloseWithoutWriteBack();
    const TDataSetNotifyEvent own([&](TClientDataSet*) { ++opened; }, &opened, nullptr);
    table.AfterOpen = own;
    // A binder saves the table's handler, installs its own and restores it.
    const TDataSetNotifyEvent saved = table.AfterOpen;
    table.AfterOpen = TDataSetNotifyEvent([&](TClientDataSet* ds) { saved(ds); }, &closing, nullptr);
    table.BeforeClose = TDataSetNotifyEvent([&](TClientDataSet*) { ++closing; }, &closing, nullptr);
    table.CreateDataSet();
    table.Close();
    table.AfterOpen = saved;
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(closing, 1);
    EXPECT_TRUE(table.AfterOpen == own);
}

TEST_F(RecordTable, GridModelStaysConsistentWhileControlsAreSuspended)
{
    TDBGridModel model(&table);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    add(QStringLiteral("1"));
    add(QStringLiteral("2"));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 6);
    {
        TControlsSuspended suspended(table);
        table.First();
        table.Delete();
        table.Delete();
        // The model has not been told yet: its rows still count, but read empty.
        EXPECT_EQ(model.rowCount(), 2);
        EXPECT_EQ(model.data(model.index(1, 1)).toString(), QString());
        add(QStringLiteral("3"));
    }
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "3");
    table.Edit();
    table.FieldByName(QStringLiteral("kod")).SetAsString(QStringLiteral("4"));
    table.Post();
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "4");
    table.CloseWithoutWriteBack();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
}
