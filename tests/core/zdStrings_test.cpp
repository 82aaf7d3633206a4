// The string routines with 1-based positions, at the edges of their texts.
#include "zdStrings.h"

#include <gtest/gtest.h>

TEST(StringRoutines, CopyCutsAtTheEndAndGivesNothingBeyondIt)
{
    struct {
        const char* text;
        int start, count;
        const char* expected;
    } cases[] = {
        {"abcdef", 2, 3, "bcd"}, {"abcdef", 5, 10, "ef"}, {"abcdef", 7, 1, ""},
        {"abcdef", 6, 1, "f"},   {"abcdef", 1, 0, ""},    {"abcdef", 2, -1, ""},
        {"", 1, 1, ""},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(zdStrCopy(text, c.start, c.count), QString::fromUtf8(c.expected)) << c.text << " " << c.start;
        EXPECT_EQ(zdWStrCopy(text, c.start, c.count), QString::fromUtf8(c.expected));
    }
}

TEST(StringRoutines, PositionsAreOneBasedAndCaseSensitive)
{
    EXPECT_EQ(zdStrPos(QStringLiteral("cd"), QStringLiteral("abcdcd")), 3);
    EXPECT_EQ(zdStrPos(QStringLiteral("CD"), QStringLiteral("abcd")), 0);
    EXPECT_EQ(zdStrPos(QString(), QStringLiteral("abcd")), 0);
    EXPECT_EQ(zdWStrPos(QStringLiteral("ř"), QStringLiteral("Příliš")), 2);
    // A character beyond the basic plane is two units long.
    EXPECT_EQ(zdWStrLength(QString::fromUtf8("a\xF0\x9F\x98\x80")), 3);
    EXPECT_EQ(zdStrLength(QString()), 0);
}

TEST(StringRoutines, InsertAndDeleteStayInsideTheText)
{
    QString s = QStringLiteral("abcdef");
    zdStrDelete(s, 2, 2);
    EXPECT_EQ(s, QStringLiteral("adef"));
    zdWStrDelete(s, 3, 100);
    EXPECT_EQ(s, QStringLiteral("ad"));
    zdStrDelete(s, 5, 1);
    zdStrDelete(s, 0, 1);
    EXPECT_EQ(s, QStringLiteral("ad"));
    zdStrInsert(QStringLiteral("XY"), s, 2);
    EXPECT_EQ(s, QStringLiteral("aXYd"));
    zdStrInsert(QStringLiteral("!"), s, 99);
    EXPECT_EQ(s, QStringLiteral("aXYd!"));
}

TEST(StringRoutines, UpperCaseKeepsCzechAndLosesWhatTheCodePageLacks)
{
    EXPECT_EQ(zdStrUpperCase(QStringLiteral("žluťoučký kůň")), QStringLiteral("ŽLUŤOUČKÝ KŮŇ"));
    EXPECT_EQ(zdWStrUpperCase(QStringLiteral("příliš žluťoučký")), QStringLiteral("PŘÍLIŠ ŽLUŤOUČKÝ"));
    // Greek is outside code page 1250.
    EXPECT_EQ(zdWStrUpperCase(QStringLiteral("aλb")), QStringLiteral("A?B"));
}
