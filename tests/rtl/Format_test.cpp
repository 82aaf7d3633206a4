// Format, FormatFloat, FloatToStr(F), IntToHex and the text-to-number
// conversions, under the English and Czech presets.

#include "Exceptions.h"
#include "FormatSettings.h"
#include "RtlTestUtil.h"
#include "SysUtils.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace plat;


namespace {


QString cs(const char* utf8)
{
    // Czech expectations are written with '_' for the no-break space.
    return QString::fromUtf8(utf8).replace(u'_', QChar(0x00A0));
}


// Keeps the process-wide settings as a test found them.
class WithSettings : public ::testing::Test {
protected:
    void SetUp() override { m_saved = FormatSettings(); }
    void TearDown() override { FormatSettings() = m_saved; }

private:
    TFormatSettings m_saved;
};

} // namespace

// ---------------------------------------------------------------- FloatToStr

TEST(FloatToStr, GeneralFormWithFifteenDigits)
{
    struct Case { long double value; const char* en; const char* cs; };
    const std::vector<Case> cases = {
        {0, "0", "0"},
        {1, "1", "1"},
        {-1.5, "-1.5", "-1,5"},
        {0.1, "0.1", "0,1"},
        {0.1 + 0.2, "0.3", "0,3"},                       // noise beyond 15 digits is rounded away
        {1.0L / 3, "0.333333333333333", "0,333333333333333"},
        {2.0L / 3, "0.666666666666667", "0,666666666666667"},
        {100, "100", "100"},
        {123456789012345.0L, "123456789012345", "123456789012345"},
        {1e15L, "1E15", "1E15"},                          // more integer digits than the precision
        {1234567890123456.0L, "1.23456789012346E15", "1,23456789012346E15"},
        {0.0001L, "0.0001", "0,0001"},
        {0.00001L, "1E-5", "1E-5"},                       // below 0.0001 the exponent form
        {-1.5e-5L, "-1.5E-5", "-1,5E-5"},
        {1e100L, "1E100", "1E100"},
        {-0.0L, "0", "0"},
        {999999999999999.5L, "1E15", "1E15"},             // rounding carries into a new digit
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FloatToStr(c.value, kEn), QString::fromUtf8(c.en)) << c.en;
        EXPECT_EQ(FloatToStr(c.value, kCs), QString::fromUtf8(c.cs)) << c.cs;
    }
}

TEST(FloatToStr, NonFiniteValues)
{
    EXPECT_EQ(FloatToStr(std::numeric_limits<long double>::quiet_NaN(), kEn), u"NAN");
    EXPECT_EQ(FloatToStr(std::numeric_limits<long double>::infinity(), kEn), u"INF");
    EXPECT_EQ(FloatToStr(-std::numeric_limits<long double>::infinity(), kEn), u"-INF");
    EXPECT_EQ(FormatFloat(u"0.00"_qs, std::numeric_limits<long double>::quiet_NaN(), kEn), u"NAN");
}

TEST(FloatToStrF, EachFormat)
{
    struct Case { long double value; TFloatFormat format; int precision; int digits; const char* en; const char* cs; };
    const std::vector<Case> cases = {
        {1234.5678L, ffFixed, 15, 2, "1234.57", "1234,57"},
        {1234.5678L, ffFixed, 6, 4, "1234.5700", "1234,5700"},   // precision rounds before the places are padded
        {-0.001L, ffFixed, 15, 2, "0.00", "0,00"},               // no sign on a value that shows as zero
        {1e20L, ffFixed, 15, 2, "1E20", "1E20"},                 // too large for fixed
        {1234567.891L, ffNumber, 15, 2, "1,234,567.89", "1_234_567,89"},
        {-1234567.891L, ffNumber, 15, 0, "-1,234,568", "-1_234_568"},
        {1234.5L, ffExponent, 4, 2, "1.235E+03", "1,235E+03"},
        {0.000123L, ffExponent, 3, 0, "1.23E-4", "1,23E-4"},
        {0, ffExponent, 3, 2, "0.00E+00", "0,00E+00"},
        {1e20L, ffGeneral, 15, 4, "1E0020", "1E0020"},
        {1234.5L, ffCurrency, 15, 2, "$1,234.50", "1_234,50 Kč"},
        {-1234.5L, ffCurrency, 15, 2, "($1,234.50)", "-1_234,50 Kč"},
        {0.5L, ffCurrency, 15, 0, "$1", "1 Kč"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits, kEn), QString::fromUtf8(c.en)) << c.en;
        EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits, kCs), cs(c.cs)) << c.cs;
    }
}

TEST(FloatToStrF, AllNegativeCurrencyLayouts)
{
    const char* expected[16] = {"($1.00)", "-$1.00", "$-1.00", "$1.00-", "(1.00$)", "-1.00$", "1.00-$", "1.00$-",
                                "-1.00 $", "-$ 1.00", "1.00 $-", "$ 1.00-", "$ -1.00", "1.00- $", "($ 1.00)", "(1.00 $)"};
    TFormatSettings fs = kEn;
    for (int layout = 0; layout < 16; ++layout) {
        fs.NegCurrFormat = static_cast<quint8>(layout);
        EXPECT_EQ(FloatToStrF(-1, ffCurrency, 15, 2, fs), QString::fromLatin1(expected[layout])) << layout;
    }
    const char* positive[4] = {"$1.00", "1.00$", "$ 1.00", "1.00 $"};
    for (int layout = 0; layout < 4; ++layout) {
        fs.CurrencyFormat = static_cast<quint8>(layout);
        EXPECT_EQ(FloatToStrF(1, ffCurrency, 15, 2, fs), QString::fromLatin1(positive[layout])) << layout;
    }
}

TEST(CurrToStr, FourDecimalsWithoutExponent)
{
    EXPECT_EQ(CurrToStr(123456789012345.6789L, kEn), u"123456789012345.6789");
    EXPECT_EQ(CurrToStr(-0.5L, kEn), u"-0.5");
    EXPECT_EQ(CurrToStr(1.25L, kCs), u"1,25");
    EXPECT_EQ(CurrToStr(0, kEn), u"0");
}

// ---------------------------------------------------------------- FormatFloat

TEST(FormatFloat, PictureTable)
{
    struct Case { const char* picture; long double value; const char* en; const char* cs; };
    const std::vector<Case> cases = {
        {"0.00", 1234.567L, "1234.57", "1234,57"},
        {"#,##0.00", 1234567.891L, "1,234,567.89", "1_234_567,89"},
        {"#,##0.00", -1234.5L, "-1,234.50", "-1_234,50"},
        {"#,##0", 0, "0", "0"},
        {"#,##0", 999, "999", "999"},
        {"#,##0", 1000, "1,000", "1_000"},
        {"0.00", 0.125L, "0.13", "0,13"},                  // halves round away from zero
        {"0", 2.5L, "3", "3"},
        {"0", -2.5L, "-3", "-3"},
        {"#.##", 0, "", ""},
        {"#.##", 0.5L, ".5", ",5"},
        {"0.##", 5, "5", "5"},                              // no separator without decimals
        {"0.##", 5.1L, "5.1", "5,1"},
        {"0.0#", 5, "5.0", "5,0"},
        {"00000", 42, "00042", "00042"},
        {"#", 123456, "123456", "123456"},                  // extra digits go to the first placeholder
        {"0-00", 12345, "123-45", "123-45"},
        {"0.00;(0.00)", -5, "(5.00)", "(5,00)"},
        {"0.00;(0.00)", 5, "5.00", "5,00"},
        {"0.00;(0.00);\"zero\"", 0, "zero", "zero"},
        {"0.00;(0.00);\"zero\"", 0.001L, "zero", "zero"},  // rounds to zero: the zero section
        {"0.00;;\"zero\"", -5, "-5.00", "-5,00"},          // empty section: the first one, with a sign
        {"0.00", -0.001L, "0.00", "0,00"},
        {"0.00E+00", 1234.5L, "1.23E+03", "1,23E+03"},
        {"0.00E-00", 1234.5L, "1.23E03", "1,23E03"},
        {"0.00e+0", 0.000123L, "1.23e-4", "1,23e-4"},
        {"##0.0E+0", 12345, "123.5E+2", "123,5E+2"},
        {"0.0E+00", 0, "0.0E+00", "0,0E+00"},
        {"\"Total: \"0.00", 5, "Total: 5.00", "Total: 5,00"},
        {"'#'0", 5, "#5", "#5"},
        {"0 Kč", 5, "5 Kč", "5 Kč"},
        {"\"$\"0.00", -5, "-$5.00", "-$5,00"},
        {"0.00", 1e20L, "1E20", "1E20"},                    // too large for a fixed picture
        {"", 1.5L, "1.5", "1,5"},
        {"0.000", 1e-10L, "0.000", "0,000"},
        {"#,##0.00 \"m\"", 1234.5L, "1,234.50 m", "1_234,50 m"},
    };
    for (const Case& c : cases) {
        const QString picture = QString::fromUtf8(c.picture);
        EXPECT_EQ(FormatFloat(picture, c.value, kEn), QString::fromUtf8(c.en)) << c.picture;
        EXPECT_EQ(FormatFloat(picture, c.value, kCs), cs(c.cs)) << c.picture;
    }
}

TEST_F(WithSettings, FormatFloatReadsProcessSettings)
{
    FormatSettings() = kCs;
    EXPECT_EQ(FormatFloat(u"#,##0.00"_qs, 1234.5L), cs("1_234,50"));
    EXPECT_EQ(FloatToStr(2.5L), u"2,5");
    FormatSettings() = kEn;
    EXPECT_EQ(FormatFloat(u"#,##0.00"_qs, 1234.5L), u"1,234.50");
}

// ---------------------------------------------------------------- Format

TEST(Format, SpecifierTable)
{
    struct Case { const char* format; std::vector<FormatArg> args; const char* en; const char* cs; };
    const std::vector<Case> cases = {
        {"%d", {42}, "42", "42"},
        {"%5d|", {42}, "   42|", "   42|"},
        {"%-5d|", {42}, "42   |", "42   |"},
        {"%.5d", {-12}, "-00012", "-00012"},
        {"%d", {qint64(-9223372036854775807LL - 1)}, "-9223372036854775808", "-9223372036854775808"},
        {"%u", {-1}, "4294967295", "4294967295"},
        {"%x", {255}, "FF", "FF"},
        {"%.4x", {255}, "00FF", "00FF"},
        {"%x", {-1}, "FFFFFFFF", "FFFFFFFF"},
        {"%x", {qint64(-1)}, "FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF"},
        {"%s", {"abc"}, "abc", "abc"},
        {"%.2s", {"abc"}, "ab", "ab"},
        {"%5s|%-5s|", {"ab", "cd"}, "   ab|cd   |", "   ab|cd   |"},
        {"%f", {1.5}, "1.50", "1,50"},
        {"%.3f", {2.0}, "2.000", "2,000"},
        {"%.0f", {2.5}, "3", "3"},
        {"%9.2f", {12.345}, "    12.35", "    12,35"},
        {"%e", {1234.5}, "1.23450000000000E+003", "1,23450000000000E+003"},
        {"%.3e", {1234.5}, "1.23E+003", "1,23E+003"},
        {"%g", {1234.5}, "1234.5", "1234,5"},
        {"%g", {1e20}, "1E020", "1E020"},
        {"%n", {1234567.891}, "1,234,567.89", "1_234_567,89"},
        {"%m", {1234.5}, "$1,234.50", "1_234,50 Kč"},
        {"%m", {-5.0}, "($5.00)", "-5,00 Kč"},
        {"%1:s %0:s", {"a", "b"}, "b a", "b a"},
        {"%1:s %s", {"a", "b", "c"}, "b c", "b c"},        // an index moves the argument pointer
        {"%*d|", {5, 42}, "   42|", "   42|"},
        {"%-*.*f|", {8, 2, 3.14159}, "3.14    |", "3,14    |"},
        {"100%% %d%%", {5}, "100% 5%", "100% 5%"},
        {"%d z %d", {3, 10}, "3 z 10", "3 z 10"},
        {"%D %S %X", {10, "x", 10}, "10 x A", "10 x A"},     // type letters in either case
        {"no specifiers", {}, "no specifiers", "no specifiers"},
        {"%s%s", {'a', u'\u010D'}, "a\u010D", "a\u010D"},      // characters are text
    };
    for (const Case& c : cases) {
        const QString format = QString::fromUtf8(c.format);
        EXPECT_EQ(Format(format, c.args, kEn), QString::fromUtf8(c.en)) << c.format;
        EXPECT_EQ(Format(format, c.args, kCs), cs(c.cs)) << c.format;
    }
}

TEST(Format, InitializerListUsesProcessSettings)
{
    EXPECT_EQ(Format(u"%s=%d"_qs, {u"n"_qs, 7}), u"n=7");
    int x = 0;
    EXPECT_EQ(Format(u"%p"_qs, {static_cast<const void*>(&x)}).size(), qsizetype(sizeof(void*) * 2));
}

TEST(Format, ErrorsCarryThePlatformMessages)
{
    struct Case { const char* format; std::vector<FormatArg> args; const char* message; };
    const std::vector<Case> cases = {
        {"%d", {"abc"}, "Format '%d' invalid or incompatible with argument"},
        {"%d", {1.5}, "Format '%d' invalid or incompatible with argument"},
        {"%f", {1}, "Format '%f' invalid or incompatible with argument"},
        {"%s", {1}, "Format '%s' invalid or incompatible with argument"},
        {"%d", {true}, "Format '%d' invalid or incompatible with argument"},
        {"%s", {false}, "Format '%s' invalid or incompatible with argument"},
        {"%q", {1}, "Format '%q' invalid or incompatible with argument"},
        {"abc %", {1}, "Format 'abc %' invalid or incompatible with argument"},
        {"%5", {1}, "Format '%5' invalid or incompatible with argument"},
        {"%*d", {"x", 1}, "Format '%*d' invalid or incompatible with argument"},
        {"%99999999d", {1}, "Format '%99999999d' invalid or incompatible with argument"},
        {"%d %d", {1}, "No argument for format '%d %d'"},
        {"%d", {}, "No argument for format '%d'"},
        {"%2:d", {1, 2}, "No argument for format '%2:d'"},
    };
    for (const Case& c : cases) {
        const QString format = QString::fromUtf8(c.format);
        EXPECT_EQ(errorOf([&] { Format(format, c.args, kEn); }), QString::fromUtf8(c.message)) << c.format;
    }
}

TEST(Format, PrintfDirectivesAreNotInterpreted)
{
    // A user's format must never reach printf: %n and %ls are ours or errors.
    EXPECT_EQ(Format(u"%s"_qs, {u"%n%s%x"_qs}, kEn), u"%n%s%x");
    EXPECT_EQ(errorOf([] { Format(u"%ls"_qs, {u"a"_qs}, kEn); }),
              u"Format '%ls' invalid or incompatible with argument");
}

// ---------------------------------------------------------------- integers

TEST(IntToStr, DecimalAndHex)
{
    EXPECT_EQ(IntToStr(-9223372036854775807LL - 1), u"-9223372036854775808");
    EXPECT_EQ(IntToStr(0), u"0");
    EXPECT_EQ(IntToHex(255, 4), u"00FF");
    EXPECT_EQ(IntToHex(-1, 2), u"FFFFFFFF");
    EXPECT_EQ(IntToHex(qint64(-1), 2), u"FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(qint64(0xABC), 0), u"ABC");
    EXPECT_EQ(IntToHex(0xFFFFFFFFu, 0), u"FFFFFFFF");
    EXPECT_EQ(IntToHex(short(-1), 0), u"FFFFFFFF");
    EXPECT_EQ(IntToHex(~0ULL, 0), u"FFFFFFFFFFFFFFFF");
}

TEST(StrToInt, GoodAndBadText)
{
    struct Good { const char* text; qint64 value; };
    const std::vector<Good> good = {
        {"123", 123}, {"  123", 123}, {"-123", -123}, {"+5", 5}, {"0", 0}, {"007", 7},
        {"$FF", 255}, {"$ff", 255}, {"0x1A", 26}, {"0X1a", 26}, {"x10", 16}, {"-$10", -16},
        {"$FFFFFFFF", -1}, {"$7FFFFFFF", 2147483647}, {"2147483647", 2147483647}, {"-2147483648", -2147483648LL},
    };
    for (const Good& g : good) {
        EXPECT_EQ(StrToInt(QString::fromLatin1(g.text)), g.value) << g.text;
        EXPECT_EQ(StrToInt64(QString::fromLatin1(g.text)), g.text == std::string("$FFFFFFFF") ? 0xFFFFFFFFLL : g.value)
            << g.text;
    }
    const std::vector<const char*> bad = {"", " ", "abc", "12 ", "1.5", "2147483648", "-2147483649", "$100000000",
                                          "$", "0x", "-", "1e3", "12a", "--1", "\t12", "1 2", "$G"};
    for (const char* b : bad) {
        int v = 77;
        EXPECT_FALSE(TryStrToInt(QString::fromLatin1(b), v)) << b;
        EXPECT_EQ(v, 77) << "a failed conversion leaves the target alone: " << b;
        EXPECT_EQ(StrToIntDef(QString::fromLatin1(b), -9), -9) << b;
    }
    EXPECT_EQ(errorOf([] { StrToInt(u"abc"_qs); }), u"'abc' is not a valid integer value");
    EXPECT_EQ(errorOf([] { StrToInt(u""_qs); }), u"'' is not a valid integer value");
}

TEST(StrToInt64, FullRange)
{
    EXPECT_EQ(StrToInt64(u"9223372036854775807"_qs), std::numeric_limits<qint64>::max());
    EXPECT_EQ(StrToInt64(u"-9223372036854775808"_qs), std::numeric_limits<qint64>::min());
    EXPECT_EQ(StrToInt64(u"$FFFFFFFFFFFFFFFF"_qs), -1);
    EXPECT_EQ(StrToInt64(u"4294967296"_qs), 4294967296LL);
    EXPECT_EQ(StrToInt64Def(u"9223372036854775808"_qs, 5), 5);
    EXPECT_EQ(StrToInt64Def(u"$10000000000000000"_qs, 5), 5);
    EXPECT_EQ(errorOf([] { StrToInt64(u"x"_qs); }), u"'x' is not a valid integer value");
}

// ---------------------------------------------------------------- floats

TEST(StrToFloat, GoodAndBadText)
{
    struct Good { const char* en; const char* cs; long double value; };
    const std::vector<Good> good = {
        {"1.5", "1,5", 1.5L}, {" 1.5 ", " 1,5 ", 1.5L}, {"-1.5e3", "-1,5e3", -1500.0L}, {"1E-2", "1E-2", 0.01L},
        {".5", ",5", 0.5L}, {"5.", "5,", 5.0L}, {"+7", "+7", 7.0L}, {"1e400", "1e400", 1e400L},
        {"1e-5000", "1e-5000", 0.0L}, {"0.000", "0,000", 0.0L}, {"123456789012345678", "123456789012345678", 123456789012345678.0L},
    };
    for (const Good& g : good) {
        EXPECT_EQ(StrToFloat(QString::fromLatin1(g.en), kEn), g.value) << g.en;
        EXPECT_EQ(StrToFloat(QString::fromLatin1(g.cs), kCs), g.value) << g.cs;
    }
    struct Bad { const char* text; const TFormatSettings* fs; };
    const std::vector<Bad> bad = {
        {"", &kEn}, {"  ", &kEn}, {"abc", &kEn}, {"1,5", &kEn}, {"1.5", &kCs}, {"1.5.3", &kEn}, {"1e", &kEn},
        {"e5", &kEn}, {"1 000", &kEn}, {"1e5000", &kEn}, {".", &kEn}, {"-", &kEn}, {"0x10", &kEn}, {"INF", &kEn},
        {"1e+", &kEn}, {"1.5x", &kEn},
    };
    for (const Bad& b : bad) {
        long double v = 3;
        EXPECT_FALSE(TryStrToFloat(QString::fromLatin1(b.text), v, *b.fs)) << b.text;
        EXPECT_EQ(v, 3) << b.text;
    }
    EXPECT_EQ(errorOf([] { StrToFloat(u"x"_qs, kEn); }), u"'x' is not a valid floating point value");
}

TEST(StrToFloat, DoubleOverloadRejectsWhatDoesNotFit)
{
    double d = 0;
    EXPECT_TRUE(TryStrToFloat(u"1.5"_qs, d, kEn));
    EXPECT_EQ(d, 1.5);
    EXPECT_FALSE(TryStrToFloat(u"1e400"_qs, d, kEn));
}

TEST(StrToFloat, RoundTripsFloatToStr)
{
    for (const long double v : {0.1L, -123.456L, 1e-10L, 6.02214076e23L, 1.0L / 7}) {
        for (const TFormatSettings* fs : {&kEn, &kCs}) {
            const long double back = StrToFloat(FloatToStr(v, *fs), *fs);
            EXPECT_NEAR(static_cast<double>(back / v), 1.0, 1e-14) << static_cast<double>(v);
        }
    }
}

// ---------------------------------------------------------------- settings

TEST(FormatSettingsPresets, CzechAndEnglishValues)
{
    EXPECT_EQ(kCs.DecimalSeparator, u',');
    EXPECT_EQ(kCs.ThousandSeparator, QChar(0x00A0));
    EXPECT_EQ(kCs.DateSeparator, u'.');
    EXPECT_EQ(kCs.ShortDateFormat, u"d.M.yyyy");
    EXPECT_EQ(kCs.LongTimeFormat, u"H:mm:ss");
    EXPECT_EQ(kCs.LongDayNames[0], QString::fromUtf8("neděle"));
    EXPECT_EQ(kCs.LongMonthNames[11], u"prosinec");
    EXPECT_EQ(kCs.CurrencyString, QString::fromUtf8("Kč"));
    EXPECT_EQ(kEn.DecimalSeparator, u'.');
    EXPECT_EQ(kEn.ShortDateFormat, u"M/d/yyyy");
    EXPECT_EQ(kEn.ShortDayNames[6], u"Sat");
    EXPECT_EQ(kEn.LongMonthNames[0], u"January");
}

TEST(FormatSettingsPresets, LocalesMapToPresets)
{
    const TFormatSettings fromCs = TFormatSettings::fromLocale(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    EXPECT_EQ(fromCs.ShortDateFormat, kCs.ShortDateFormat);
    EXPECT_EQ(fromCs.ThousandSeparator, kCs.ThousandSeparator);
    const TFormatSettings fromDe = TFormatSettings::fromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(fromDe.DecimalSeparator, u',');
    EXPECT_EQ(fromDe.DateSeparator, u'.');
    EXPECT_EQ(fromDe.LongMonthNames[2], QString::fromUtf8("März"));
    EXPECT_EQ(fromDe.ShortTimeFormat, u"hh:nn");
    EXPECT_EQ(fromDe.LongTimeFormat, u"hh:nn:ss");
    EXPECT_EQ(fromDe.ShortDateFormat, u"dd.MM.yyyy");
    EXPECT_EQ(fromDe.CurrencyString, QString::fromUtf8("€"));
}
