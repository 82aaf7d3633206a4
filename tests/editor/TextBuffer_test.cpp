// The line store and the undo list.

#include "EditorFixture.h"

#include "Exceptions.h"
#include "Files.h"
#include "Streams.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <random>

using namespace edtest;

namespace {

void loadBytes(TPlainEditStringList& list, const QByteArray& bytes)
{
    plat::TMemoryStream stream(bytes);
    list.LoadFromStream(stream);
}

QByteArray savedBytes(const TPlainEditStringList& list)
{
    plat::TMemoryStream stream;
    list.SaveToStream(stream);
    return stream.bytes();
}

} // namespace

TEST(PlainEditStringList, LoadsLinesAndTheirBreakConvention)
{
    struct Case {
        QByteArray bytes;
        QStringList lines;
        TPlainLineBreakFormat format;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b", ""}, lbfCRLF},
        {"a\rb\rc", {"a", "b", "c"}, lbfCR},
        {"a\nb\n", {"a", "b", ""}, lbfLF},
        {"a\r\nb\nc", {"a", "b", "c"}, lbfCRLF}, // a mixture counts as CR LF
        {"a\n\rb", {"a", "", "b"}, lbfCRLF},     // LF CR ends a line and starts an empty one
        {QByteArray("a\0b", 3), {QString::fromLatin1("a\0b", 3)}, lbfCRLF},
        {"", {}, lbfCRLF},
    };
    for (const Case& c : cases) {
        TPlainEditStringList list;
        list.SetLineBreakFormat(lbfLF);
        loadBytes(list, c.bytes);
        EXPECT_EQ(list.toStringList(), c.lines) << c.bytes.toHex().toStdString();
        EXPECT_EQ(list.LineBreakFormat(), c.format) << c.bytes.toHex().toStdString();
    }
}

TEST(PlainEditStringList, SavesTheBytesItLoaded)
{
    for (const QByteArray& bytes : {QByteArray("a\r\nb\r\n"), QByteArray("x\ry\r"), QByteArray("1\n\n2"),
                                   QByteArray("\x9a\xe8\n")}) {
        TPlainEditStringList list;
        loadBytes(list, bytes);
        EXPECT_EQ(savedBytes(list), bytes) << bytes.toHex().toStdString();
    }
}

TEST(PlainEditStringList, KeepsUtf8FilesAndWhatCodePage1250CannotHold)
{
    TPlainEditStringList list;
    loadBytes(list, QByteArray("\xC5\xBElu\xC5\xA5 \xE2\x82\xAC\n"));
    EXPECT_EQ(list.Strings(0), QString::fromUtf8("žluť €"));
    EXPECT_EQ(savedBytes(list), QByteArray("\xC5\xBElu\xC5\xA5 \xE2\x82\xAC\n"));

    TPlainEditStringList greek;
    greek.Add(QString::fromUtf8("αβγ"));
    EXPECT_EQ(savedBytes(greek), QByteArray("\xCE\xB1\xCE\xB2\xCE\xB3")) << "saved as UTF-8, not as '?'";
}

TEST(PlainEditStringList, AnEmptyStoreSavesNoBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.txt"));
    TPlainEditStringList list;
    EXPECT_TRUE(savedBytes(list).isEmpty());
    list.SaveToFile(path);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(fileBytes(path).size(), 0);
}

TEST(PlainEditStringList, AFailedSaveLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.txt"));
    plat::writeFileAtomic(path, "old text");
    {
        // A writer that never gets to its end (an error on the way).
        TPlainEditFileWriter writer(path, plat::TextFileEncoding::Cp1250);
        writer.WriteLineText(QStringLiteral("new"));
        writer.FlushBuffer();
    }
    EXPECT_EQ(fileBytes(path), "old text");
    TPlainEditStringList list;
    list.setStringList({"new", "text"});
    EXPECT_THROW(list.SaveToFile(dir.filePath(QStringLiteral("missing/x.txt"))), plat::EFCreateError);
    list.SaveToFile(path);
    EXPECT_EQ(fileBytes(path), "new\r\ntext");
}

TEST(PlainEditFileWriter, GrowsItsBufferForALongLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.txt"));
    TPlainEditFileWriter writer(path, plat::TextFileEncoding::Cp1250);
    writer.SetLineBreakFormat(lbfCR);
    const QString line(20000, QLatin1Char('x'));
    writer.WriteLineText(line);
    EXPECT_EQ(writer.BufferSize(), 20001);
    writer.Commit();
    EXPECT_EQ(fileBytes(path), line.toLatin1() + "\r");
}

TEST(PlainEditStringList, ReadsOutsideTheLinesAsNothingAndRefusesToWriteThere)
{
    TPlainEditStringList list;
    list.setStringList({"a", "b"});
    EXPECT_EQ(list.Strings(-1), QString());
    EXPECT_EQ(list.Strings(2), QString());
    EXPECT_EQ(list.Objects(5), nullptr);
    EXPECT_EQ(list.ExpandedLength(9), 0);
    try {
        list.Delete(2);
        FAIL();
    } catch (const plat::EPlainEditStringList& e) {
        EXPECT_EQ(e.message(), "Invalid stringlist index 2");
    }
    EXPECT_THROW(list.Insert(3, "x"), plat::EPlainEditStringList);
    EXPECT_THROW(list.SetObjects(2, nullptr), plat::EPlainEditStringList);
    EXPECT_THROW(list.Exchange(0, 2), plat::EPlainEditStringList);
    EXPECT_THROW(list.DeleteLines(3, 1), plat::EPlainEditStringList);
    EXPECT_THROW(list.InsertLines(3, 1), plat::EPlainEditStringList);
    try {
        list.SetCapacity(1);
        FAIL();
    } catch (const plat::EListError& e) {
        EXPECT_EQ(e.message(), "Stringlist capacity cannot be smaller than count");
    }
    EXPECT_EQ(list.Count(), 2);
}

TEST(PlainEditStringList, NotifiesEveryStructuralChange)
{
    TPlainEditStringList list;
    QStringList log;
    list.OnInserted = [&](TPlainEditStringList*, int i, int n) { log << QStringLiteral("ins %1 %2").arg(i).arg(n); };
    list.OnDeleted = [&](TPlainEditStringList*, int i, int n) { log << QStringLiteral("del %1 %2").arg(i).arg(n); };
    list.OnReplaced = [&](TPlainEditStringList*, int i, int n) { log << QStringLiteral("put %1 %2").arg(i).arg(n); };
    list.OnCleared = [&](TPlainEditStringList*) { log << QStringLiteral("clear"); };
    list.OnChanging = [&](TPlainEditStringList*) { log << QStringLiteral("changing"); };
    list.OnChange = [&](TPlainEditStringList*) { log << QStringLiteral("change"); };
    list.SetStrings(0, "first"); // Put at Count appends
    list.SetStrings(0, "again");
    list.InsertLines(1, 3);
    list.DeleteLines(2, 10);     // cut to the end
    list.DeleteLines(0, 0);
    list.Clear();
    EXPECT_EQ(log, (QStringList{"changing", "ins 0 1", "change", "changing", "put 0 1", "change", "changing",
                                "ins 1 3", "change", "changing", "del 2 2", "change", "changing", "clear",
                                "change"}));
}

TEST(PlainEditStringList, ExpandsTabsByItsWidth)
{
    TPlainEditStringList list;
    list.setStringList({"a\tb", "ab\tc", "", QString::fromUtf8("\xF0\x9F\x98\x80\tx")});
    list.SetTabWidth(1);
    EXPECT_EQ(list.ExpandedText(0), "a b");
    list.SetTabWidth(4);
    EXPECT_EQ(list.ExpandedText(0), "a\t\t\tb");
    EXPECT_EQ(list.ExpandedLength(0), 5);
    EXPECT_EQ(list.FlagsOf(0), sfTabsPresent);
    EXPECT_EQ(list.ExpandedLength(2), 0);
    EXPECT_EQ(list.FlagsOf(2), sfTabsAbsent);
    EXPECT_EQ(list.ExpandedLength(3), 5) << "a surrogate pair takes one cell";
    list.SetTabWidth(3);
    EXPECT_EQ(list.ExpandedLength(1), 4);
    EXPECT_EQ(list.FlagsOf(2) & sfExpansionStale, sfExpansionStale) << "a new width makes every line stale";
}

TEST(PlainEditStringList, KnowsTheLongestLineThroughEveryChange)
{
    std::mt19937 gen(7);
    TPlainEditStringList list;
    list.SetTabWidth(4);
    const auto brute = [&list] {
        int best = 0;
        for (int i = 0; i < list.Count(); ++i)
            best = std::max(best, TabExpandedLength(list.Strings(i), 4));
        return best;
    };
    for (int step = 0; step < 400; ++step) {
        const QString s(int(gen() % 12), QLatin1Char(gen() % 3 == 0 ? '\t' : 'x'));
        const int n = list.Count();
        switch (gen() % 6) {
        case 0: list.Add(s); break;
        case 1: list.Insert(int(gen() % (n + 1)), s); break;
        case 2: if (n) list.SetStrings(int(gen() % n), s); break;
        case 3: if (n) list.Delete(int(gen() % n)); break;
        case 4: if (n) list.DeleteLines(int(gen() % n), 1 + int(gen() % 3)); break;
        default: list.InsertLines(int(gen() % (n + 1)), 1 + int(gen() % 2)); break;
        }
        ASSERT_EQ(list.LongestExpandedLength(), brute()) << "step " << step;
    }
}

// ------------------------------------------------------------ undo list

TEST(PlainEditUndoList, KeepsTheNewestChangesUpToItsLimit)
{
    TPlainEditUndoList list;
    for (int i = 0; i < 1025; ++i)
        list.RecordChange(urInsert, {i + 1, 1}, {i + 2, 1}, QString(), smNormal);
    EXPECT_EQ(list.ItemCount(), 1024);
    EXPECT_TRUE(list.HistoryTruncated());
    EXPECT_EQ(list.Item(0).StartPos.Char, 2) << "the oldest went";
    list.Clear();
    EXPECT_FALSE(list.HistoryTruncated());
}

TEST(PlainEditUndoList, GroupsACompoundChangeUnderOneNumber)
{
    TPlainEditUndoList list;
    list.RecordChange(urInsert, {}, {}, {}, smNormal);
    list.BeginCompound();
    list.RecordChange(urDelete, {}, {}, {}, smNormal);
    list.BeginCompound();
    list.RecordChange(urInsert, {}, {}, {}, smNormal);
    list.EndCompound();
    list.RecordChange(urPaste, {}, {}, {}, smNormal);
    list.EndCompound();
    list.RecordChange(urInsert, {}, {}, {}, smNormal);
    EXPECT_EQ(list.Item(0).ChangeNumber, 1);
    EXPECT_EQ(list.Item(1).ChangeNumber, 2);
    EXPECT_EQ(list.Item(2).ChangeNumber, 2);
    EXPECT_EQ(list.Item(3).ChangeNumber, 2);
    EXPECT_EQ(list.Item(4).ChangeNumber, 3);
}

TEST(PlainEditUndoList, ReportsChangesButNotGroupBreaks)
{
    TPlainEditUndoList list;
    int reports = 0;
    list.OnChangeRecorded = [&](TPlainEditUndoList*) { ++reports; };
    list.RecordChange(urInsert, {}, {}, {}, smNormal);
    list.AddGroupBreak();
    list.AddGroupBreak();
    EXPECT_EQ(list.ItemCount(), 2) << "a second group break in a row is not added";
    list.BeginCompound();
    list.RecordChange(urInsert, {}, {}, {}, smNormal);
    list.RecordChange(urInsert, {}, {}, {}, smNormal);
    EXPECT_EQ(reports, 3);
    list.EndCompound();
    EXPECT_EQ(reports, 4) << "the end of a compound change reports once more";
    list.Lock();
    list.RecordChange(urInsert, {}, {}, {}, smNormal);
    list.Unlock();
    list.Unlock();
    EXPECT_EQ(list.ItemCount(), 4) << "a locked list records nothing";
    EXPECT_EQ(list.LastReason(), urInsert);
    EXPECT_EQ(TPlainEditUndoList().LastReason(), urNothing);
}

TEST(PlainEditUndoList, WithNoRoomAChangeGoesAtOnceWithoutHarm)
{
    TPlainEditUndoList list;
    list.SetMaxActions(-5);
    EXPECT_EQ(list.MaxActions(), 0);
    int reports = 0;
    list.OnChangeRecorded = [&](TPlainEditUndoList*) { ++reports; };
    list.RecordChange(urInsert, {}, {}, QStringLiteral("x"), smNormal);
    list.RecordChange(urGroupBreak, {}, {}, {}, smNormal);
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(reports, 1) << "the change is reported, the break is not";
}

TEST(PlainEditUndoList, ChangeNumbersStayPositivePastTheIntegerLimit)
{
    TPlainEditUndoList list;
    list.SetNextChangeNumber(std::numeric_limits<qint32>::max());
    list.RecordChange(urInsert, {}, {}, {}, smNormal);
    list.RecordChange(urInsert, {}, {}, {}, smNormal);
    EXPECT_EQ(list.Item(0).ChangeNumber, std::numeric_limits<qint32>::max());
    EXPECT_EQ(list.Item(1).ChangeNumber, 1);
}

TEST(PlainEditUndoList, KnowsItsCleanPoint)
{
    TPlainEditUndoList list;
    EXPECT_TRUE(list.CleanPoint()) << "a new list is clean";
    list.SetCleanPoint(true);
    list.Clear();
    EXPECT_TRUE(list.CleanPoint());
    list.RecordChange(urInsert, {}, {}, {}, smNormal);
    EXPECT_FALSE(list.CleanPoint());
    list.SetCleanPoint(true);
    EXPECT_TRUE(list.CleanPoint());
    list.Clear();
    EXPECT_FALSE(list.CleanPoint()) << "the point was set on a non-empty list";
    list.SetCleanPoint(false);
    EXPECT_FALSE(list.CleanPoint());
    TPlainEditUndoList fresh;
    fresh.SetCleanPoint(false);
    EXPECT_FALSE(fresh.CleanPoint()) << "clearing the point of a clean list";
}

TEST(PlainEditUndoList, AssignCopiesTheItemsAndTheNumbersButNotTheCleanPoint)
{
    TPlainEditUndoList a;
    a.SetMaxActions(10);
    a.RecordChange(urPaste, {1, 2}, {3, 4}, QStringLiteral("t"), smColumn);
    a.SetCleanPoint(true);
    TPlainEditUndoList b;
    b.Assign(&a);
    ASSERT_EQ(b.ItemCount(), 1);
    EXPECT_EQ(b.Item(0).Reason, urPaste);
    EXPECT_EQ(b.Item(0).EndPos, (TBufferCoord{3, 4}));
    EXPECT_EQ(b.Item(0).ChangeText, "t");
    EXPECT_EQ(b.Item(0).SelectionMode, smColumn);
    EXPECT_EQ(b.MaxActions(), 10);
    EXPECT_EQ(b.NextChangeNumber(), 2);
    EXPECT_FALSE(b.CleanPoint());
}
