#include "StringList.h"
#include "CodePage.h"
#include "Exceptions.h"
#include "Streams.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plat;

namespace {

QStringList items(const TStrings& list)
{
    return list.toStringList();
}

template <typename F>
QString stringListErrorOf(F f)
{
    try {
        f();
    } catch (const EStringListError& e) {
        return e.message();
    }
    return QStringLiteral("<no EStringListError>");
}

} // namespace

TEST(StringList, TextSplitsOnAnyLineEndAndJoinsWithCrLf)
{
    struct Case { QString text; QStringList lines; QString joined; };
    const Case cases[] = {
        {"", {}, ""},
        {"a", {"a"}, "a\r\n"},
        {"a\r\n", {"a"}, "a\r\n"},
        {"a\r\nb\rc\n", {"a", "b", "c"}, "a\r\nb\r\nc\r\n"},
        {"a\n\rb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {"\r\n", {""}, "\r\n"},
        {"\n\n", {"", ""}, "\r\n\r\n"},
        {"a\r\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {QStringLiteral(" x \t\r\n"), {QStringLiteral(" x \t")}, QStringLiteral(" x \t\r\n")},
        {QString::fromUtf16(u"a\0b", 3), {QString::fromUtf16(u"a\0b", 3)}, QString::fromUtf16(u"a\0b\r\n", 5)},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetText(c.text);
        EXPECT_EQ(items(list), c.lines) << c.text.toStdString();
        EXPECT_EQ(list.Text(), c.joined) << c.text.toStdString();
    }
}

TEST(StringList, CommaTextQuotesWhatWouldNotReadBack)
{
    struct Case { QStringList lines; QString text; };
    const Case cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"a", "b"}, "a,b"},
        {{"a b", "c"}, "\"a b\",c"},
        {{"x,y"}, "\"x,y\""},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{"a", ""}, "a,"},
        {{"", "a"}, ",a"},
        {{"tab\there"}, "\"tab\there\""},
        {{"Kód=1", "Žluť"}, "Kód=1,Žluť"},
    };
    for (const Case& c : cases) {
        TStringList list(c.lines);
        EXPECT_EQ(list.CommaText(), c.text);
        TStringList back;
        back.SetCommaText(c.text);
        EXPECT_EQ(items(back), c.lines) << c.text.toStdString();
    }
}

TEST(StringList, CommaTextReadingSplitsAtCommasAndBlanksOutsideQuotes)
{
    struct Case { QString text; QStringList lines; };
    const Case cases[] = {
        {"a b,c", {"a", "b", "c"}},
        {"  a ,  b  ", {"a", "b"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {"\"a, b\" c", {"a, b", "c"}},
        {"\"a\"\"b\"", {"a\"b"}},
        {"\"unterminated", {"unterminated"}},
        {"\"a\"b", {"a", "b"}},
        {"   ", {}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.SetCommaText(c.text);
        EXPECT_EQ(items(list), c.lines) << c.text.toStdString();
    }
}

TEST(StringList, DelimitedTextUsesDelimiterAndQuoteChar)
{
    TStringList list(QStringList{"a;b", "c", "it's"});
    list.SetDelimiter(QLatin1Char(';'));
    list.SetQuoteChar(QLatin1Char('\''));
    EXPECT_EQ(list.DelimitedText(), "'a;b';c;'it''s'");
    EXPECT_EQ(list.CommaText(), "a;b,c,it's"); // CommaText keeps ',' and '"'
    TStringList back;
    back.SetDelimiter(QLatin1Char(';'));
    back.SetQuoteChar(QLatin1Char('\''));
    back.SetDelimitedText(list.DelimitedText());
    EXPECT_EQ(items(back), items(list));
}

TEST(StringList, TabDelimitedTextQuotesItemsWithBlanks)
{
    TStringList list(QStringList{"a b", "c"});
    list.SetDelimiter(QLatin1Char('\t'));
    EXPECT_EQ(list.DelimitedText(), "\"a b\"\tc");
    TStringList back;
    back.SetDelimiter(QLatin1Char('\t'));
    back.SetDelimitedText("x y\t\tz");
    // Blanks split items too, and a blank run swallows the tab after it.
    EXPECT_EQ(back.toStringList(), (QStringList{"x", "y", "z"}));
}

TEST(StringList, NamesValuesAndValueFromIndex)
{
    TStringList list(QStringList{"Kod=12", "plain", "Empty=", "a=b=c"});
    EXPECT_EQ(list.Names(0), "Kod");
    EXPECT_EQ(list.Names(1), "");
    EXPECT_EQ(list.Values("KOD"), "12");
    EXPECT_EQ(list.Values("a"), "b=c");
    EXPECT_EQ(list.Values("missing"), "");
    EXPECT_EQ(list.ValueFromIndex(3), "b=c");
    EXPECT_EQ(list.IndexOfName("empty"), 2);

    list.SetValues("kod", "13");
    EXPECT_EQ(list.Strings(0), "kod=13");
    list.SetValues("new", "v");
    EXPECT_EQ(list.Strings(list.Count() - 1), "new=v");
    list.SetValues("plain", "x"); // "plain" has no '=': it is not a name
    EXPECT_EQ(list.Values("plain"), "x");
    list.SetValues("Empty", ""); // an empty value removes the pair
    EXPECT_EQ(list.IndexOfName("Empty"), -1);
}

TEST(StringList, SortedListsFollowTheDuplicatesRules)
{
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"pear", "Apple", "fig", "apple"})
        list.Add(s);
    EXPECT_EQ(items(list), (QStringList{"Apple", "fig", "pear"})); // dupIgnore, case-insensitive
    EXPECT_EQ(list.Add("APPLE"), 0);

    list.SetDuplicates(dupError);
    EXPECT_EQ(stringListErrorOf([&] { list.Add("FIG"); }), "String list does not allow duplicates");
    EXPECT_EQ(list.Count(), 3);

    list.SetDuplicates(dupAccept);
    list.Add("fig");
    EXPECT_EQ(items(list), (QStringList{"Apple", "fig", "fig", "pear"}));

    list.SetCaseSensitive(true);
    list.SetDuplicates(dupIgnore);
    list.Add("apple");
    EXPECT_EQ(list.IndexOf("apple"), 1);
    EXPECT_EQ(list.IndexOf("APPLE"), -1);
}

TEST(StringList, FindGivesTheFirstMatchOrTheInsertionPoint)
{
    TStringList list(QStringList{"b", "d", "d", "f"});
    list.SetDuplicates(dupAccept);
    list.SetSorted(true);
    struct Case { const char* s; bool found; int index; };
    const Case cases[] = {{"a", false, 0}, {"b", true, 0}, {"c", false, 1}, {"D", true, 1}, {"g", false, 4}};
    for (const Case& c : cases) {
        int index = -1;
        EXPECT_EQ(list.Find(c.s, index), c.found) << c.s;
        EXPECT_EQ(index, c.index) << c.s;
    }
}

TEST(StringList, SortedListsRefusePositionalChangesWithoutLosingItems)
{
    TStringList list(QStringList{"b", "a"});
    list.SetSorted(true);
    EXPECT_EQ(items(list), (QStringList{"a", "b"}));
    EXPECT_EQ(stringListErrorOf([&] { list.Insert(0, "z"); }), "Operation not allowed on sorted list");
    EXPECT_EQ(stringListErrorOf([&] { list.SetStrings(0, "z"); }), "Operation not allowed on sorted list");
    EXPECT_EQ(stringListErrorOf([&] { list.Move(0, 1); }), "Operation not allowed on sorted list");
    EXPECT_EQ(items(list), (QStringList{"a", "b"}));
}

TEST(StringList, IndexErrorsNameTheIndex)
{
    TStringList list(QStringList{"a"});
    EXPECT_EQ(stringListErrorOf([&] { list.Strings(1); }), "List index out of bounds (1)");
    EXPECT_EQ(stringListErrorOf([&] { list.Delete(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(stringListErrorOf([&] { list.Insert(2, "x"); }), "List index out of bounds (2)");
    EXPECT_EQ(stringListErrorOf([&] { list.Objects(3); }), "List index out of bounds (3)");
    EXPECT_EQ(stringListErrorOf([&] { list.Move(0, 1); }), "List index out of bounds (1)");
    list.Insert(1, "b"); // at Count appends
    EXPECT_EQ(items(list), (QStringList{"a", "b"}));
}

TEST(StringList, ObjectsTravelWithTheirStrings)
{
    int x = 0, y = 0;
    TStringList list;
    list.AddObject("y", &y);
    list.AddObject("x", &x);
    list.Sort();
    EXPECT_EQ(list.Objects(0), &x);
    list.Move(0, 1);
    EXPECT_EQ(list.Objects(1), &x);
    EXPECT_EQ(list.IndexOfObject(&y), 0);
    TStringList copy;
    copy.Assign(list);
    EXPECT_EQ(copy.Objects(1), &x);
    EXPECT_TRUE(copy.Equals(list));
}

TEST(StringList, ChangeEventsFireOncePerUpdateBracket)
{
    TStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&] { ++changing; };
    list.OnChange = [&] { ++changed; };
    list.Add("a");
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(changed, 1);
    list.BeginUpdate();
    list.Add("b");
    list.Add("c");
    list.Delete(0);
    EXPECT_EQ(changed, 1);
    list.EndUpdate();
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    list.SetText("x\r\ny\r\nz");
    EXPECT_EQ(changed, 3);
    list.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(changed, 3);
}

TEST(StringList, FilesAreCodePage1250WithCrLf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("lines.txt");
    TStringList list(QStringList{"Kód", "Žluťoučký kůň", "€"});
    list.SaveToFile(file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("K\xF3" "d\r\n\x8Elu\x9Do" "u\xE8k\xFD k\xF9\xF2\r\n\x80\r\n"));
    TStringList back;
    back.LoadFromFile(file);
    EXPECT_EQ(items(back), items(list));
    try {
        back.LoadFromFile(dir.filePath("missing.txt"));
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_TRUE(e.message().startsWith("Cannot open file \"" + dir.filePath("missing.txt") + "\". "));
    }
    EXPECT_EQ(items(back), items(list)); // a failed load keeps the lines
}

TEST(StringList, StreamsLoadFromThePosition)
{
    TMemoryStream stream(QByteArray("skip\r\na\r\nb"));
    stream.SetPosition(6);
    TStringList list;
    list.LoadFromStream(stream);
    EXPECT_EQ(items(list), (QStringList{"a", "b"}));
    TMemoryStream out;
    list.SaveToStream(out);
    EXPECT_EQ(out.bytes(), QByteArray("a\r\nb\r\n"));
}
