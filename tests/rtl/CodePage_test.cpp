#include "CodePage.h"
#include "Exceptions.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <set>

using namespace plat;

namespace {

// Runs iconv over the bytes; false when iconv refuses them.
bool runIconv(const QStringList& args, const QByteArray& input, QByteArray& output)
{
    QProcess p;
    p.start(QStringLiteral("iconv"), args);
    if (!p.waitForStarted())
        return false;
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished();
    output = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool haveIconv()
{
    return !QStandardPaths::findExecutable(QStringLiteral("iconv")).isEmpty();
}

} // namespace

TEST(CodePage, AllBytesMatchIconvAndOnlyTheFiveUndefinedAreRefused)
{
    if (!haveIconv())
        GTEST_SKIP() << "iconv not installed";
    std::set<int> refused;
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, static_cast<char>(b));
        QByteArray utf16;
        const QString ours = cp1250ToUnicode(byte);
        ASSERT_EQ(ours.size(), 1);
        if (!runIconv({"-f", "CP1250", "-t", "UTF-16LE"}, byte, utf16)) {
            refused.insert(b);
            // Undefined bytes keep their number as code point.
            EXPECT_EQ(ours.at(0).unicode(), b);
            continue;
        }
        ASSERT_EQ(utf16.size(), 2) << "byte " << b;
        const char16_t expected = static_cast<unsigned char>(utf16[0]) | (static_cast<unsigned char>(utf16[1]) << 8);
        EXPECT_EQ(ours.at(0).unicode(), expected) << "byte " << b;
    }
    EXPECT_EQ(refused, (std::set<int>{0x81, 0x83, 0x88, 0x90, 0x98}));
}

TEST(CodePage, EveryByteRoundTrips)
{
    QByteArray all(256, '\0');
    for (int b = 0; b < 256; ++b)
        all[b] = static_cast<char>(b);
    EXPECT_EQ(unicodeToCp1250(cp1250ToUnicode(all)), all);
}

TEST(CodePage, CzechTextEncodesLikeIconv)
{
    const QString text = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy – „€“");
    const QByteArray ours = unicodeToCp1250(text);
    if (!haveIconv())
        GTEST_SKIP() << "iconv not installed";
    QByteArray theirs;
    ASSERT_TRUE(runIconv({"-f", "UTF-8", "-t", "CP1250"}, text.toUtf8(), theirs));
    EXPECT_EQ(ours, theirs);
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    // Cyrillic, CJK, and one astral character (a surrogate pair: one '?').
    EXPECT_EQ(unicodeToCp1250(u"aЖb中c😀d"), QByteArray("a?b?c?d"));
    EXPECT_FALSE(isCp1250Representable(u"Ж"));
    EXPECT_TRUE(isCp1250Representable(u"Žluť €"));
}

TEST(CodePage, OtherCodePagesGoThroughIconv)
{
    struct Case { int codePage; QByteArray bytes; QString text; };
    const Case cases[] = {
        {1251, QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2"), QStringLiteral("Привет")},
        {852, QByteArray("\xE7\x9F"), QStringLiteral("šč")},
        {1252, QByteArray("\x80\xE9"), QStringLiteral("€é")},
        {65001, QByteArray("\xC5\xBE"), QStringLiteral("ž")},
        {932, QByteArray("\x93\xFA\x96\x7B"), QStringLiteral("日本")},
        {0, QByteArray("\x9A"), QStringLiteral("š")},      // the ANSI code page is 1250
        {1, QByteArray("\xE7"), QStringLiteral("š")},      // the OEM code page is 852
    };
    for (const Case& c : cases) {
        EXPECT_EQ(codePageToUnicode(c.codePage, c.bytes), c.text) << c.codePage;
        EXPECT_EQ(unicodeToCodePage(c.codePage, c.text), c.bytes) << c.codePage;
    }
}

TEST(CodePage, IconvFailuresBecomeQuestionMarksWithoutLosingTheRest)
{
    EXPECT_EQ(unicodeToCodePage(1251, u"aŽb"), QByteArray("a?b"));
    // One character outside the BMP is one '?', as in code page 1250.
    EXPECT_EQ(unicodeToCodePage(1251, u"a😀b"), QByteArray("a?b"));
    // 0x98 is undefined in code page 1251.
    EXPECT_EQ(codePageToUnicode(1251, QByteArray("x\x98y")), QStringLiteral("x?y"));
    // A truncated double-byte character at the end.
    EXPECT_EQ(codePageToUnicode(932, QByteArray("a\x93")), QStringLiteral("a?"));
}

TEST(CodePage, UnknownCodePageRaisesConvertError)
{
    EXPECT_THROW(codePageToUnicode(4242, "x"), EConvertError);
    EXPECT_THROW(unicodeToCodePage(4242, u"x"), EConvertError);
    EXPECT_TRUE(codePageName(4242).isEmpty());
}

TEST(CodePage, CaseTablesOfCodePage1250Letters)
{
    const QString lower = QStringLiteral("abcáäčďéěíĺľňóôöőŕřšśťúůüűýžźżąęłńşţă");
    const QString upper = QStringLiteral("ABCÁÄČĎÉĚÍĹĽŇÓÔÖŐŔŘŠŚŤÚŮÜŰÝŽŹŻĄĘŁŃŞŢĂ");
    EXPECT_EQ(AnsiUpperCase(lower), upper);
    EXPECT_EQ(AnsiLowerCase(upper), lower);
    // No single upper-case letter in the code page: unchanged.
    EXPECT_EQ(AnsiUpperCase(u"ßµ"), QStringLiteral("ßµ"));
    EXPECT_EQ(AnsiLowerCase(u"ßµ"), QStringLiteral("ßµ"));
    // Digits, signs and undefined bytes' code points pass through.
    EXPECT_EQ(AnsiUpperCase(u"1+2 \u0081€"), QStringLiteral("1+2 \u0081€"));
}

TEST(CodePage, EveryCp1250LetterPairMapsBothWays)
{
    // Walk the code page: every letter whose upper case lies in the code page
    // maps there and back.
    for (int b = 0; b < 256; ++b) {
        const QChar c = cp1250ToUnicode(QByteArray(1, static_cast<char>(b))).at(0);
        const QChar up = ansiUpperChar(c);
        if (up != c) {
            ASSERT_TRUE(isCp1250Representable(QString(up))) << b;
            EXPECT_EQ(ansiLowerChar(up), c) << b;
        }
    }
}

TEST(CodePage, NamesCompareBySimpleCaseFolding)
{
    struct Case { const char16_t* a; const char16_t* b; int sign; };
    const Case cases[] = {
        {u"Kód", u"KÓD", 0},
        {u"žluť", u"ŽLUŤ", 0},
        {u"abc", u"abd", -1},
        {u"ab", u"abc", -1},
        {u"", u"", 0},
        {u"_x", u"ax", -1},   // folds to lower case: '_' sorts before letters
        {u"Z", u"a", 1},
        {u"straße", u"STRASSE", 1}, // simple folding: ß stays one letter
    };
    for (const Case& c : cases) {
        const int r = CompareText(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << QString::fromUtf16(c.a).toStdString();
        EXPECT_EQ(SameText(c.a, c.b), c.sign == 0);
        const int back = CompareText(c.b, c.a);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign);
    }
    EXPECT_NE(CompareStr(u"a", u"A"), 0);
    EXPECT_EQ(foldCase(u"ŽluŤ"), QStringLiteral("žluť"));
}

TEST(CodePage, EveryNamedCodePageOpensInIconv)
{
    const int pages[] = {437, 737, 775, 850, 852, 855, 857, 862, 864, 866, 869, 874, 932, 936, 949, 950,
                         1200, 1201, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 1361, 10000,
                         10007, 10029, 20127, 20866, 21866, 28591, 28592, 28593, 28594, 28595, 28596,
                         28597, 28598, 28599, 28600, 28601, 28603, 28604, 28605, 28606, 65001};
    for (int page : pages) {
        ASSERT_FALSE(codePageName(page).isEmpty()) << page;
        EXPECT_EQ(codePageToUnicode(page, unicodeToCodePage(page, u"Az09")), QStringLiteral("Az09")) << page;
    }
}

TEST(CodePage, TextFilesAreUtf8WithTheMarkOrWhenValidElseCodePage1250)
{
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF", ""},
        {"\xEF\xBB\xBF" "BOM1\r\n", "BOM1\r\n"},
        {"\xEF\xBB\xBF\xC5\xBElu\xC5\xA5", QString::fromUtf8("žluť")},
        {"\xC5\xBElu\xC5\xA5", QString::fromUtf8("žluť")},
        {"\x9Elu\x9D", QString::fromUtf8("žluť")},
        {"plain", "plain"},
        // Not valid UTF-8 (a lead byte without its follower): code page 1250.
        {"\xC5\xBE\xC5", QString::fromUtf8("ĹľĹ")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeTextBytes(c.bytes), c.text) << c.bytes.toHex().toStdString();
}

TEST(CodePage, AHighByteAnywhereMakesATextFileNotPlainAscii)
{
    // Plain ASCII reads as cp1250; a valid UTF-8 sequence anywhere, in a
    // whole block of the scan or in the tail after it, makes the file UTF-8.
    for (qsizetype size : {1, 7, 63, 64, 65, 200}) {
        for (qsizetype at = 0; at + 2 <= size + 1; ++at) {
            QByteArray bytes(size + 1, 'a');
            EXPECT_EQ(detectTextEncoding(bytes), TextFileEncoding::Cp1250);
            bytes[at] = '\xC3';
            bytes[at + 1] = '\xA1';
            EXPECT_EQ(detectTextEncoding(bytes), TextFileEncoding::Utf8) << size << " " << at;
            bytes[at + 1] = 'a';
            EXPECT_EQ(detectTextEncoding(bytes), TextFileEncoding::Cp1250) << size << " " << at;
        }
    }
    EXPECT_EQ(detectTextEncoding("\xEF\xBB\xBF" "abc"), TextFileEncoding::Utf8Bom);
}
