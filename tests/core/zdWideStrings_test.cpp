#include "zdWideStrings.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "Objects.h"
#include "PropStream.h"
#include "TypeInfo.h"
#include "Streams.h"
#include "StringList.h"
#include "zdToolRunner.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList lines(const TzdWideStrings& list)
{
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out << list.Get(i);
    return out;
}

TzdWideStrings listOf(const QStringList& items)
{
    TzdWideStrings list;
    for (const QString& s : items)
        list.Add(s);
    return list;
}

// An owner that stores its list as the custom properties of report files.
class TLinesHolder : public plat::TPersistent {
    PLAT_CLASS(TLinesHolder, plat::TPersistent)
public:
    TzdWideStrings Lines;
    const TzdWideStrings* AncestorLines = nullptr;

protected:
    void DefineProperties(plat::TFiler& filer) override { Lines.DefineProperties(filer, AncestorLines); }
};

} // namespace

PLAT_DEFINE_CLASS(TLinesHolder, c)
{
    (void)c;
}

TEST(TzdWideStrings, Utf8PropertyThroughThePropertyStream)
{
    TLinesHolder source;
    source.Lines = listOf({QStringLiteral("Žluťoučký kůň"), "", QStringLiteral("日本")});
    plat::TMemoryStream stream;
    {
        plat::TWriter writer(stream);
        writer.WriteProperties(&source);
    }
    // The lines travel as 8-bit strings holding their UTF-8 bytes.
    EXPECT_TRUE(stream.bytes().contains("UTF8"));
    EXPECT_TRUE(stream.bytes().contains(QStringLiteral("Žluťoučký kůň").toUtf8()));

    TLinesHolder target;
    stream.SetPosition(0);
    {
        plat::TReader reader(stream);
        reader.ReadProperties(&target);
    }
    EXPECT_TRUE(target.Lines.Equals(source.Lines));

    // Nothing is written for an empty list or a list equal to its ancestor's.
    for (bool withAncestor : {false, true}) {
        TLinesHolder quiet;
        if (withAncestor) {
            quiet.Lines = source.Lines;
            quiet.AncestorLines = &source.Lines;
        }
        plat::TMemoryStream out;
        plat::TWriter writer(out);
        writer.WriteProperties(&quiet);
        EXPECT_FALSE(out.bytes().contains("UTF8"));
    }
}

TEST(TzdWideStrings, OlderStringsPropertyIsRead)
{
    plat::TMemoryStream stream;
    {
        plat::TWriter writer(stream);
        writer.WriteStr(QStringLiteral("Strings"));
        writer.WriteListBegin();
        writer.WriteString(QStringLiteral("čára")); // 8-bit, code page 1250
        writer.WriteWideString(QStringLiteral("日本"));
        writer.WriteListEnd();
    }
    TLinesHolder target;
    target.Lines = listOf({"old"});
    stream.SetPosition(0);
    plat::TReader reader(stream);
    reader.ReadProperties(&target);
    EXPECT_EQ(lines(target.Lines), QStringList({QStringLiteral("čára"), QStringLiteral("日本")}));
}

TEST(TzdWideStrings, PutAndInsertReplaceOrAppend)
{
    TzdWideStrings list = listOf({"a", "b"});
    int tag = 7;
    list.PutObject(0, &tag);
    list.Insert(0, "x");
    EXPECT_EQ(lines(list), QStringList({"x", "b"}));
    EXPECT_EQ(list.GetObject(0), &tag); // the object stays
    list.Insert(2, "c");
    EXPECT_EQ(lines(list), QStringList({"x", "b", "c"}));
    try {
        list.Insert(4, "d");
        ADD_FAILURE() << "index 4 accepted";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), "Wide String Out of Bounds");
    }
    EXPECT_THROW(list.Put(-1, "d"), plat::Exception);
    EXPECT_THROW(list.Delete(3), plat::EListError);
}

TEST(TzdWideStrings, OutOfRangeReadsAreQuiet)
{
    TzdWideStrings list = listOf({"a", "b"});
    EXPECT_EQ(list.Get(5), QString());
    EXPECT_EQ(list.Get(-1), QString());
    EXPECT_EQ(list.GetObject(5), nullptr);
    list.PutObject(5, &list); // ignored
    EXPECT_EQ(list.IndexOf("b"), 1);
    EXPECT_EQ(list.IndexOf("B"), -1);
}

TEST(TzdWideStrings, SplittingTextIntoLines)
{
    struct Case {
        QString text;
        QStringList lines;
    } cases[] = {
        {"a\r\nb\rc\n", {"a", "b", "c"}},
        {"a\n\rb", {"a", "", "b"}},
        {"", {}},
        {QString("a") + QChar(0x2028) + "b", {"a", "b"}},
        {QString("a\r\nb") + QChar(0) + "c", {"a", "b"}},
        {"\r\n", {""}},
    };
    for (const Case& c : cases) {
        TzdWideStrings list;
        list.SetTextStr(c.text);
        EXPECT_EQ(lines(list), c.lines) << c.text.toStdString();
    }
    EXPECT_EQ(listOf({"a"}).GetTextStr(), "a\r\n");
}

TEST(TzdWideStrings, LoadsUtf16WithMarkOrEightBitText)
{
    const QString two = QStringLiteral("čř");
    QByteArray utf16("\xFF\xFE", 2);
    for (QChar c : two) {
        utf16 += static_cast<char>(c.unicode() & 0xFF);
        utf16 += static_cast<char>(c.unicode() >> 8);
    }
    TzdWideStrings list;
    plat::TMemoryStream wide(utf16 + "x"); // an odd last byte is dropped
    list.LoadFromStream(wide);
    EXPECT_EQ(lines(list), QStringList({two}));

    plat::TMemoryStream narrow(plat::unicodeToCp1250(two));
    list.LoadFromStream(narrow);
    EXPECT_EQ(lines(list), QStringList({two}));

    for (const QByteArray& small : {QByteArray("\xFF", 1), QByteArray("\xFF\xFE", 2)}) {
        plat::TMemoryStream stream(small);
        list.LoadFromStream(stream);
        EXPECT_EQ(lines(list), QStringList({plat::cp1250ToUnicode(small)}));
    }
}

TEST(TzdWideStrings, SavesUtf16WithoutMarkAndReadsItBack)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("lines.txt");
    TzdWideStrings list = listOf({QStringLiteral("Žluťoučký kůň"), QStringLiteral("€ 5")});
    list.SaveToFile(name);
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.startsWith("\xFF\xFE"));
    if (zdtest::toolAvailable("iconv")) {
        const auto utf8 = zdtest::runTool("iconv", {"-f", "UTF-16LE", "-t", "UTF-8"}, bytes);
        EXPECT_EQ(QString::fromUtf8(utf8.out), list.GetTextStr());
    }
    TzdWideStrings back;
    plat::TMemoryStream stream(bytes);
    zdWideStringsLoadUTF16(back, stream);
    EXPECT_TRUE(back.Equals(list));
}

TEST(TzdWideStrings, Utf8LinesAndWhenTheyAreWritten)
{
    TzdWideStrings list = listOf({QStringLiteral("čárový kód"), "x"});
    const QList<QByteArray> utf8 = list.WriteUTF8();
    EXPECT_EQ(utf8.first(), "\xc4\x8d\xc3\xa1rov\xc3\xbd k\xc3\xb3\x64");
    TzdWideStrings back;
    back.ReadUTF8(utf8);
    EXPECT_TRUE(back.Equals(list));

    EXPECT_FALSE(TzdWideStrings().ShouldWriteUTF8(nullptr));
    EXPECT_TRUE(list.ShouldWriteUTF8(nullptr));
    EXPECT_FALSE(list.ShouldWriteUTF8(&back));
    back.Add("more");
    EXPECT_TRUE(list.ShouldWriteUTF8(&back));
}

TEST(TzdWideStrings, AssignsEightBitLists)
{
    plat::TStringList narrow;
    narrow.Add(QStringLiteral("a"));
    int tag = 1;
    narrow.AddObject(QStringLiteral("ř"), &tag);
    TzdWideStrings wide;
    wide.Assign(narrow);
    EXPECT_EQ(lines(wide), QStringList({"a", QStringLiteral("ř")}));
    EXPECT_EQ(wide.GetObject(1), &tag);

    wide.Add(QStringLiteral("日本"));
    plat::TStringList out;
    wide.AssignTo(out);
    ASSERT_EQ(out.Count(), 3);
    EXPECT_EQ(out.Strings(2), "??"); // outside code page 1250
    EXPECT_EQ(out.Objects(1), &tag);
}

TEST(zdCharsets, CodePagesLocalesAndConversions)
{
    EXPECT_EQ(zdCharsetToCodePage(1), 1250);
    EXPECT_EQ(zdCharsetToCodePage(238), 1250);
    EXPECT_EQ(zdCharsetToCodePage(204), 1251);
    EXPECT_EQ(zdCharsetToCodePage(77), 2);
    EXPECT_EQ(zdCharsetToCodePage(255), 1);
    EXPECT_THROW(zdCharsetToCodePage(99), plat::EOSError);

    EXPECT_EQ(zdCharsetToLCID(238), 1029);
    EXPECT_EQ(zdCharsetToLCID(204), 1049);
    const int thread = zdCharsetToLCID(0);
    EXPECT_TRUE(thread == 1029 || thread == 1033);

    EXPECT_EQ(zdAnsiToWide("\xe8", 238), QStringLiteral("č"));
    EXPECT_EQ(zdAnsiToWide("\xe8", 204), QStringLiteral("и"));
    EXPECT_EQ(zdAnsiToWide("\xe8", 204, 1250), QStringLiteral("č"));
    EXPECT_EQ(zdWideToAnsi(QStringLiteral("и"), 204), "\xe8");
    EXPECT_EQ(zdWideToAnsi(QStringLiteral("č"), 1), "\xe8");
    EXPECT_EQ(zdAnsiToWide({}, 1), QString());
}
