#include "zs_iparser.h"

#include "zs_test_util.h"

#include <gtest/gtest.h>

namespace {

// The lexer as the BasicScript grammar sets it up.
void basicSettings(TzsParser& p)
{
    p.CommentLine1 = QStringLiteral("'");
    p.CommentLine2 = QStringLiteral("rem");
    p.SetCommentBlock1(QStringLiteral("/\\,/\\"));
    p.SetCommentBlock2(QStringLiteral("/\\,/\\"));
    p.StringQuotes = QStringLiteral("\"");
    p.HexSequence = QStringLiteral("0x");
    p.SkipEOL = false;
    p.SkipChar = QStringLiteral("_");
}

void cSettings(TzsParser& p)
{
    p.CommentLine1 = QStringLiteral("//");
    p.SetCommentBlock1(QStringLiteral("/*,*/"));
    p.SetCommentBlock2(QStringLiteral("/*,*/"));
    p.StringQuotes = QStringLiteral("\"");
    p.HexSequence = QStringLiteral("0x");
    p.SpecStrChar = true;
}

} // namespace

TEST(ZsLexer, DefaultsAndCommentPairs)
{
    TzsParser p;
    EXPECT_EQ(p.CommentLine1, QStringLiteral("//"));
    EXPECT_EQ(p.CommentBlock1(), QStringLiteral("{,}"));
    EXPECT_EQ(p.CommentBlock2(), QStringLiteral("(*,*)"));
    EXPECT_EQ(p.HexSequence, QStringLiteral("$"));
    EXPECT_EQ(p.StringQuotes, QStringLiteral("'"));
    EXPECT_TRUE(p.SkipEOL);
    EXPECT_TRUE(p.AutoSkip);
    p.SetText(QStringLiteral("{ a } (* b *) // c\n  word"));
    EXPECT_EQ(p.GetWord(), QStringLiteral("word"));
    EXPECT_EQ(p.TokenStart, 22);
}

TEST(ZsLexer, WordsIdentsAndKeywords)
{
    TzsParser p;
    p.AddKeyword(QStringLiteral("begin"));
    p.SetText(QStringLiteral("  Begin x1 9abc"));
    EXPECT_TRUE(p.IsKeyWord(QStringLiteral("BEGIN")));
    const int before = p.CurrentPos;
    EXPECT_EQ(p.GetIdent(), QString()); // a keyword; the position moved past it
    EXPECT_GT(p.CurrentPos, before);
    EXPECT_EQ(p.GetIdent(), QStringLiteral("x1"));
    EXPECT_EQ(p.GetWord(), QString()); // a word does not start with a digit
    EXPECT_EQ(p.GetNumber(), QStringLiteral("9"));
    p.CaseSensitive = true;
    EXPECT_FALSE(p.IsKeyWord(QStringLiteral("BEGIN")));
    EXPECT_TRUE(p.IsKeyWord(QStringLiteral("begin")));
}

TEST(ZsLexer, Numbers)
{
    struct Case {
        const char* hex;
        const char* text;
        const char* number;
        const char* rest; // next character after the number, as GetChar reads it
    };
    const Case cases[] = {
        {"$", "$1F+", "$1F", "+"},
        {"0x", "0x1F+", "$1F", "+"},
        {"0x", "0X1F", "0", ""},
        {"$", "1.5e+10;", "1.5e+10", ";"},
        {"$", "1.e5", "1", "."},
        {"$", "2e;", "2", ""},
        {"$", "1..5", "1", "."},
        {"$", "12.75", "12.75", ""},
        {"$", "x", "", ""},
    };
    for (const Case& c : cases) {
        TzsParser p;
        p.HexSequence = QString::fromLatin1(c.hex);
        p.SetText(QString::fromLatin1(c.text));
        EXPECT_EQ(p.GetNumber(), QString::fromLatin1(c.number)) << c.text;
        EXPECT_EQ(p.GetChar(), QString::fromLatin1(c.rest)) << c.text;
    }
}

TEST(ZsLexer, CapitalHexPrefixIsNoPrefix)
{
    TzsParser p;
    p.HexSequence = QStringLiteral("0x");
    p.SetText(QStringLiteral("0X1F"));
    EXPECT_EQ(p.GetNumber(), QStringLiteral("0"));
    EXPECT_EQ(p.GetWord(), QStringLiteral("X1F"));
}

TEST(ZsLexer, Strings)
{
    struct Case {
        bool spec;
        const char* quote;
        const char* text;
        const char* result;
    };
    const Case cases[] = {
        {false, "'", "'it''s'", "'it's'"},
        {false, "'", "'a'#13#10'b'", "'a\r\nb'"},
        {false, "'", "#65#$42", "'AB'"},
        {false, "'", "'cut\nx'", ""},
        {false, "'", "#", ""},
        {true, "\"", "\"q\\\"b\\\\\"", "'q\"b\\'"},
        {true, "\"", "\"a\\nb\\rc\"", "'a\nb\rc'"},
        {true, "\"", "\"\\x41\\x\\t\"", "'At'"},
        {true, "\"", "\"open", ""},
    };
    for (const Case& c : cases) {
        TzsParser p;
        p.SpecStrChar = c.spec;
        p.StringQuotes = QString::fromLatin1(c.quote);
        p.SetText(QString::fromLatin1(c.text));
        EXPECT_EQ(p.GetString(), QString::fromLatin1(c.result)) << c.text;
    }
    TzsParser p;
    p.SetText(QStringLiteral("  'cut\nthere'"));
    EXPECT_EQ(p.GetString(), QString());
    EXPECT_EQ(p.CurrentPos, 3); // blanks skipped, nothing consumed
}

TEST(ZsLexer, CharacterCodesAboveSevenBitsAreCodePage1250)
{
    TzsParser p;
    p.SetText(QStringLiteral("#232#$8A"));
    EXPECT_EQ(p.GetString(), QStringLiteral("'čŠ'"));
}

TEST(ZsLexer, ReportExpressionText)
{
    TzsParser p;
    p.SetText(QStringLiteral("<a.\"f>1\"[x] + '>' <b>> rest"));
    p.SetPosition(2);
    EXPECT_EQ(p.GetZDString(), QStringLiteral("a.\"f>1\"[x] + '>' <b>"));
    EXPECT_EQ(p.GetChar(), QStringLiteral(">"));
    p.SetText(QStringLiteral("<open"));
    p.SetPosition(2);
    EXPECT_EQ(p.GetZDString(), QStringLiteral("open"));
    EXPECT_EQ(p.CurrentPos, 6);
}

TEST(ZsLexer, Positions)
{
    TzsParser p;
    p.SetText(QStringLiteral("ab\n\tcd\r\nxyz"));
    p.SetPosition(1);
    EXPECT_EQ(p.GetXYPosition(), QStringLiteral("1:1"));
    p.SetPosition(3); // the line feed belongs to the line it ends
    EXPECT_EQ(p.GetXYPosition(), QStringLiteral("1:3"));
    p.SetPosition(5); // a tab counts as one column
    EXPECT_EQ(p.GetXYPosition(), QStringLiteral("2:2"));
    p.SetPosition(9);
    EXPECT_EQ(p.GetXYPosition(), QStringLiteral("3:1"));
    EXPECT_EQ(p.PositionOfPoint(1, 3), 9);
    EXPECT_EQ(p.PositionOfPoint(2, 1), 2);
    EXPECT_EQ(p.PositionOfPoint(1, 0), -1);
    EXPECT_EQ(p.PositionOfPoint(1, 4), -1);
}

TEST(ZsLexer, EndsOfLineWhenSignificant)
{
    TzsParser p;
    basicSettings(p);
    // A statement followed by a comment still ends at its line's end.
    p.SetText(QStringLiteral("x ' note\r\ny"));
    EXPECT_EQ(p.GetWord(), QStringLiteral("x"));
    EXPECT_TRUE(p.GetEOL());
    EXPECT_EQ(p.GetWord(), QStringLiteral("y"));
    // A line holding only a comment gives no end of line.
    p.SetText(QStringLiteral("' only\r\nz"));
    EXPECT_FALSE(p.GetEOL());
    EXPECT_EQ(p.GetWord(), QStringLiteral("z"));
    // The continuation character swallows the line's end.
    p.SetText(QStringLiteral("a _\r\n  b"));
    EXPECT_EQ(p.GetWord(), QStringLiteral("a"));
    EXPECT_FALSE(p.GetEOL());
    EXPECT_EQ(p.GetWord(), QStringLiteral("b"));
}

TEST(ZsLexer, RemIsAWholeWordInAnyCase)
{
    struct Case {
        const char* text;
        const char* word;
    };
    const Case cases[] = {
        {"remaining", "remaining"},
        {"Remark", "Remark"},
        {"rem x\r\nnext", ""},    // the comment stops before the line's end
        {"REM x\r\nnext", ""},    // capitals too
        {"rem\r\nnext", ""},
        {"rem_x", "rem_x"},
    };
    for (const Case& c : cases) {
        TzsParser p;
        basicSettings(p);
        p.SetText(QStringLiteral("a ") + QString::fromLatin1(c.text));
        ASSERT_EQ(p.GetWord(), QStringLiteral("a"));
        EXPECT_EQ(p.GetWord(), QString::fromLatin1(c.word)) << c.text;
    }
}

TEST(ZsLexer, UnterminatedBlockCommentConsumesTheRest)
{
    TzsParser p;
    cSettings(p);
    p.SetText(QStringLiteral("a /* open\n b c"));
    EXPECT_EQ(p.GetWord(), QStringLiteral("a"));
    EXPECT_EQ(p.GetWord(), QString());
    EXPECT_EQ(p.CurrentPos, p.TextLength + 1);
    EXPECT_EQ(p.UnterminatedComment, 3);
}

TEST(ZsLexer, PunctuationOnlyAndNoSkip)
{
    TzsParser p;
    p.SetText(QStringLiteral(" :=a"));
    EXPECT_EQ(p.GetChar(), QString()); // GetChar does not skip blanks
    p.SkipSpaces();
    EXPECT_EQ(p.GetChar(), QStringLiteral(":"));
    EXPECT_EQ(p.GetChar(), QStringLiteral("="));
    EXPECT_EQ(p.GetChar(), QString());
}

TEST(ZsLexer, ExtendedIdentifierCharacters)
{
    TzsParser p;
    p.SetText(QStringLiteral("přínos"));
    EXPECT_EQ(p.GetWord(), QStringLiteral("p"));
    for (int i = 128; i < 256; ++i)
        p.IdentifierChars.set(size_t(i));
    p.SetText(QStringLiteral("přínos x"));
    EXPECT_EQ(p.GetWord(), QStringLiteral("přínos"));
}

TEST(ZsLexer, ManyContinuationsNeedNoStack)
{
    TzsParser p;
    basicSettings(p);
    p.SetText(QString(200000, u'_') + QStringLiteral("x"));
    EXPECT_EQ(p.GetWord(), QStringLiteral("x"));
}
