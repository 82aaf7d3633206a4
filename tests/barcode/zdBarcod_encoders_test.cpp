// The linear encoders as pure code: text in, module string and rewritten
// text out. Expected bars are written from the published standards (binary
// module patterns, Code 128 symbol values) independently of the encoder's
// own tables; check digits use the standards' published examples.
#include "zdBarcod_symbol.h"

#include "Exceptions.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using zd::LinearSymbol;

namespace {

struct Encoded {
    QString modules;
    QString text;
};

LinearSymbol symbol(TzdBarcodeType typ, const QString& text, bool checksum = false)
{
    LinearSymbol s;
    s.Typ = typ;
    s.Text = text;
    s.Checksum = checksum;
    return s;
}

Encoded encode(TzdBarcodeType typ, const QString& text, bool checksum = false)
{
    LinearSymbol s = symbol(typ, text, checksum);
    const QString modules = s.MakeModuleString();
    return {modules, s.Text};
}

// The message of the exception an encode raises, with its class name.
std::string encodeError(TzdBarcodeType typ, const QString& text, bool checksum = false)
{
    try {
        encode(typ, text, checksum);
    } catch (const plat::Exception& e) {
        return std::string(e.className()) + ": " + e.message().toStdString();
    }
    return "no error";
}

// A module string at the default widths as 1 (dark) and 0 (light) modules;
// short bars count as dark.
std::string binary(const QString& modules)
{
    std::string out;
    for (QChar c : modules) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'3')
            out.append(size_t(u - u'0' + 1), '0');
        else if (u >= u'5' && u <= u'8')
            out.append(size_t(u - u'5' + 1), '1');
        else if (u >= u'A' && u <= u'D')
            out.append(size_t(u - u'A' + 1), '1');
        else
            ADD_FAILURE() << "not a module character: " << char(u);
    }
    return out;
}

// EAN/UPC digit patterns of the GS1 General Specifications (1 = dark).
const char* const kL[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                            "0110001", "0101111", "0111011", "0110111", "0001011"};
const char* const kG[10] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                            "0111001", "0000101", "0010001", "0001001", "0010111"};
const char* const kR[10] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                            "1001110", "1010000", "1000100", "1001000", "1110100"};

std::string digits(const char* const table[10], const std::string& ds)
{
    std::string out;
    for (char d : ds)
        out += table[d - '0'];
    return out;
}

// Code 128 symbol character patterns of ISO/IEC 15417 (values 0..105).
const char* const k128[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232",
};

// Reads the symbol values of a Code 128 module string (default widths),
// checks the stop pattern and the modulo-103 check character, and returns
// the values from the start character to the last data character.
std::vector<int> values128(const QString& modules)
{
    std::string widths;
    for (QChar c : modules) {
        const char16_t u = c.unicode();
        widths += char('1' + (u >= u'5' ? u - u'5' : u - u'0'));
    }
    std::vector<int> values;
    EXPECT_EQ(widths.size() % 6, 1u);
    EXPECT_EQ(widths.substr(widths.size() - 7), "2331112");
    for (size_t i = 0; i + 7 < widths.size(); i += 6) {
        const std::string p = widths.substr(i, 6);
        int v = -1;
        for (int k = 0; k < 106; ++k)
            if (p == k128[k])
                v = k;
        EXPECT_GE(v, 0) << "unknown pattern " << p;
        values.push_back(v);
    }
    if (values.size() < 2)
        return values;
    const int check = values.back();
    values.pop_back();
    long sum = values[0];
    for (size_t i = 1; i < values.size(); ++i)
        sum += long(values[i]) * long(i);
    EXPECT_EQ(sum % 103, check) << "check character";
    return values;
}

std::vector<int> values128(TzdBarcodeType typ, const QString& text, bool checksum = false)
{
    return values128(encode(typ, text, checksum).modules);
}

constexpr int B(char c) { return c - 32; } // a set B (or set A) character's value
constexpr int kStartA = 103, kStartB = 104, kStartC = 105, kFNC1 = 102, kShift = 98;
constexpr int kCodeA = 101, kCodeB = 100, kCodeC = 99;

} // namespace

// ---------------------------------------------------------------- module widths

TEST(LinearSymbolWidths, FollowModulAndRatioPerSymbology)
{
    struct Case {
        TzdBarcodeType typ;
        int modul;
        double ratio;
        zd::ModuleWidths widths;
        double storedRatio;
    } cases[] = {
        {bcCode39, 1, 2.0, {1, 2, 3, 4}, 2.0},
        {bcCode39, 2, 2.5, {2, 5, 7, 10}, 2.5},
        {bcCode39, 1, 2.5, {1, 2, 3, 4}, 2.5}, // 2.5 rounds to 2
        {bcCode39, 1, 1.5, {1, 2, 3, 4}, 2.0},
        {bcCode39, 1, 3.0, {1, 3, 4, 6}, 3.0},
        {bcCode_2_5_matrix, 1, 2.0, {1, 2, 3, 4}, 2.25},
        {bcCodeEAN13, 1, 4.0, {1, 2, 3, 4}, 3.0},
        {bcCodeMSI, 1, 3.0, {1, 3, 4, 6}, 3.0},
        // Whole-module symbologies ignore the ratio (and Code 128 keeps it).
        {bcCode128, 1, 7.0, {1, 2, 3, 4}, 7.0},
        {bcCode128, 2, 2.5, {2, 4, 6, 8}, 2.5},
        {bcCode93, 3, 3.0, {3, 6, 9, 12}, 3.0},
        {bcCodeEAN13, 2, 2.5, {2, 4, 6, 8}, 2.5},
        {bcCodeUPC_Supp5, 1, 3.0, {1, 2, 3, 4}, 3.0},
        // Wide modules no longer wrap at 8 bits.
        {bcCode39, 100, 3.0, {100, 300, 450, 600}, 3.0},
        {bcCode_2_5_interleaved, 1, std::nan(""), {1, 2, 3, 4}, 2.0},
    };
    for (const Case& c : cases) {
        LinearSymbol s;
        s.Typ = c.typ;
        s.Modul = c.modul;
        s.Ratio = c.ratio;
        s.MakeModuleWidths();
        EXPECT_EQ(s.Widths(), c.widths) << TzdBarcodeTypeNames[c.typ] << " " << c.modul << " " << c.ratio;
        EXPECT_DOUBLE_EQ(s.Ratio, c.storedRatio) << TzdBarcodeTypeNames[c.typ];
    }
}

TEST(LinearSymbolWidths, ModulBelowOneRaisesInsteadOfZeroWidth)
{
    LinearSymbol s = symbol(bcCode39, "A");
    s.Modul = 0;
    EXPECT_THROW(s.GetWidth(), plat::Exception);
}

TEST(LinearSymbolWidths, WidthOfEanUpcSymbols)
{
    EXPECT_EQ(symbol(bcCodeEAN13, "4006381333931").GetWidth(), 95);
    EXPECT_EQ(symbol(bcCodeEAN8, "55123457").GetWidth(), 67);
    EXPECT_EQ(symbol(bcCodeUPC_E0, "1234565").GetWidth(), 51);
    EXPECT_EQ(symbol(bcCodeUPC_A, "036000291452").GetWidth(), 95);
    EXPECT_EQ(symbol(bcCodeUPC_Supp5, "52495").GetWidth(), 47);
    EXPECT_EQ(symbol(bcCodeUPC_Supp2, "12").GetWidth(), 20);
    LinearSymbol wide = symbol(bcCodeEAN13, "4006381333931");
    wide.Modul = 3;
    EXPECT_EQ(wide.GetWidth(), 3 * 95);
}

TEST(LinearSymbolModules, AlphabetDecodesWidthAndKind)
{
    LinearSymbol s;
    s.Typ = bcCode39;
    s.Modul = 2;
    s.Ratio = 2.5;
    s.MakeModuleWidths(); // 2, 5, 7, 10
    struct Case {
        char c;
        int width;
        zd::ModuleKind kind;
    } cases[] = {
        {'0', 2, zd::ModuleKind::Gap},      {'3', 10, zd::ModuleKind::Gap},
        {'5', 2, zd::ModuleKind::Bar},      {'7', 7, zd::ModuleKind::Bar},
        {'A', 2, zd::ModuleKind::ShortBar}, {'D', 10, zd::ModuleKind::ShortBar},
    };
    for (const Case& c : cases) {
        int w = 0;
        zd::ModuleKind kind = zd::ModuleKind::Gap;
        s.GetModuleInfo(QLatin1Char(c.c), w, kind);
        EXPECT_EQ(w, c.width) << c.c;
        EXPECT_EQ(kind, c.kind) << c.c;
    }
    for (char bad : {'4', '9', 'E', 'a', ' '}) {
        int w = 0;
        zd::ModuleKind kind;
        try {
            s.GetModuleInfo(QLatin1Char(bad), w, kind);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const plat::Exception& e) {
            EXPECT_EQ(e.message(), QStringLiteral("TzdBarcode: internal Error"));
        }
    }
}

// ---------------------------------------------------------------- input checks

TEST(LinearSymbolInput, NumericTypesTrimAndRejectNonDigits)
{
    const Encoded e = encode(bcCodeEAN13, QStringLiteral("  4006381333931 \t"));
    EXPECT_EQ(e.text, QStringLiteral("4006381333931"));
    EXPECT_EQ(encodeError(bcCodeEAN13, QStringLiteral("40063A1333931")), "Exception: Barcode must be numeric");
    EXPECT_EQ(encodeError(bcCodeMSI, QStringLiteral("12 3")), "Exception: Barcode must be numeric");
    // Code 128 C and EAN-128 C only trim; their own rules decide.
    EXPECT_EQ(encodeError(bcCode128C, QStringLiteral("(01)0123")), "no error");
    EXPECT_EQ(encodeError(bcCodeEAN128C, QStringLiteral(" (01)0123 ")), "no error");
    // Non-numeric types keep their blanks.
    EXPECT_EQ(encode(bcCode39, QStringLiteral(" A ")).text, QStringLiteral(" A "));
}

TEST(LinearSymbolInput, WrongTypeIsReported)
{
    LinearSymbol s = symbol(TzdBarcodeType(26), "1");
    try {
        s.MakeModuleString();
        FAIL();
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("TzdBarcode: wrong BarcodeType"));
    }
}

// ---------------------------------------------------------------- modulo 10

TEST(LinearSymbolCheckDigit, Modulo10MatchesPublishedGs1Examples)
{
    struct Case {
        const char* body;
        char check;
    } cases[] = {
        {"400638133393", '1'},  // EAN-13
        {"978030640615", '7'},  // ISBN-13
        {"03600029145", '2'},   // UPC-A
        {"5512345", '7'},       // EAN-8
        {"7351353", '7'},       // EAN-8
        {"1234567890123", '1'}, // GTIN-14 body
        {"", '0'},
    };
    LinearSymbol s;
    for (const Case& c : cases)
        EXPECT_EQ(s.ApplyCheckSum(QLatin1StringView(c.body)), QLatin1StringView(c.body) + QLatin1Char(c.check))
            << c.body;
    s.CheckSumMethod = csmNone;
    EXPECT_EQ(s.ApplyCheckSum(QStringLiteral("123")), QStringLiteral("123"));
}

TEST(LinearSymbolCheckDigit, NonDigitRaisesConvertError)
{
    LinearSymbol s;
    try {
        s.ApplyCheckSum(QStringLiteral("12A4"));
        FAIL();
    } catch (const plat::EConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'A' is not a valid integer value"));
    }
}

// ---------------------------------------------------------------- 2 of 5

TEST(TwoOfFive, InterleavedCheckDigitAndPadding)
{
    EXPECT_EQ(encode(bcCode_2_5_interleaved, "12345", true).text, QStringLiteral("123457"));
    EXPECT_EQ(encode(bcCode_2_5_interleaved, "1234", true).text, QStringLiteral("1234"));
    EXPECT_EQ(encode(bcCode_2_5_interleaved, "123").text, QStringLiteral("0123"));
}

TEST(TwoOfFive, InterleavedModulesInterleaveBarsAndGaps)
{
    // "12": 1 = WNNNW in the bars, 2 = NWNNW in the gaps.
    EXPECT_EQ(encode(bcCode_2_5_interleaved, "12").modules, QStringLiteral("5050" "6051505061" "605"));
    // At ratio 3 the pattern is the standard's 1:3 rendering.
    LinearSymbol s = symbol(bcCode_2_5_interleaved, "12");
    s.Ratio = 3.0;
    s.MakeModuleWidths();
    EXPECT_EQ(s.Widths()[1], 3);
}

TEST(TwoOfFive, IndustrialAndMatrixFollowTheStandardPatterns)
{
    // Industrial: bars only carry the data, every gap narrow.
    EXPECT_EQ(encode(bcCode_2_5_industrial, "1").modules,
              QStringLiteral("55055050" "6050505060" "55050550"));
    EXPECT_EQ(binary(encode(bcCode_2_5_industrial, "1").modules),
              "11011010" "11010101011" "0" "11010110");
    // Matrix: bar, gap, bar, gap, bar per digit, then a narrow gap.
    EXPECT_EQ(encode(bcCode_2_5_matrix, "09").modules,
              QStringLiteral("705050" "50615" "0" "51515" "0" "70505"));
}

// ---------------------------------------------------------------- Code 39

TEST(Code39, StartStopAndCharactersAtStandardWidths)
{
    LinearSymbol s = symbol(bcCode39, "A");
    s.Ratio = 3.0;
    const QString m = s.MakeModuleString();
    // '*' = n W n n w n w n n, 'A' = w n n n n W n n w (bars and gaps alternate).
    std::string expected;
    auto render = [&expected](const char* nw) {
        for (int i = 0; nw[i]; ++i) {
            const int width = nw[i] == 'w' || nw[i] == 'W' ? 3 : 1;
            expected.append(size_t(width), i % 2 == 0 ? '1' : '0');
        }
    };
    render("nWnnwnwnn");
    expected += '0';
    render("wnnnnWnnw");
    expected += '0';
    render("nWnnwnwnn");
    std::string actual;
    for (QChar c : m) {
        int w = 0;
        zd::ModuleKind kind;
        s.GetModuleInfo(c, w, kind);
        actual.append(size_t(w), kind == zd::ModuleKind::Gap ? '0' : '1');
    }
    EXPECT_EQ(actual, expected);
}

TEST(Code39, Modulo43CheckCharacter)
{
    struct Case {
        const char* text;
        const char* withCheck;
    } cases[] = {
        {"CODE39", "CODE39W"},      // 75 mod 43 = 32
        {"WIKIPEDIA", "WIKIPEDIA$"}, // 168 mod 43 = 39
        {"ABC", "ABCX"},
        {"", "0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(encode(bcCode39, QLatin1StringView(c.text), true).modules,
                  encode(bcCode39, QLatin1StringView(c.withCheck)).modules)
            << c.text;
}

TEST(Code39, CharactersOutsideTheTableRaiseNamingTheCharacter)
{
    EXPECT_EQ(encodeError(bcCode39, "abc"), "Exception: TzdBarcode:Code39 bad Data <a>");
    EXPECT_EQ(encodeError(bcCode39, "AB*C"), "Exception: TzdBarcode:Code39 bad Data <*>");
    EXPECT_EQ(encodeError(bcCode39Extended, QStringLiteral("Aé")), "Exception: TzdBarcode:Code39 bad Data <é>");
}

TEST(Code39, FullAsciiTranslatesAndKeepsText)
{
    const Encoded e = encode(bcCode39Extended, "abc");
    EXPECT_EQ(e.text, QStringLiteral("abc"));
    EXPECT_EQ(e.modules, encode(bcCode39, "+A+B+C").modules);
    struct Case {
        QString text;
        const char* translated;
    } cases[] = {
        {QString(QChar(0)), "%U"},  {QString(QChar(1)), "$A"}, {QString(QChar(26)), "$Z"},
        {QString(QChar(27)), "%A"}, {QStringLiteral("!"), "/A"}, {QStringLiteral(","), "/L"},
        {QStringLiteral("-"), "/M"}, {QStringLiteral("/"), "/O"}, {QStringLiteral(":"), "/Z"},
        {QStringLiteral(";"), "%F"}, {QStringLiteral("?"), "%J"}, {QStringLiteral("@"), "%V"},
        {QStringLiteral("["), "%K"}, {QStringLiteral("_"), "%O"}, {QStringLiteral("`"), "%W"},
        {QStringLiteral("z"), "+Z"}, {QStringLiteral("{"), "%P"}, {QString(QChar(127)), "%T"},
        {QStringLiteral(" 9Z"), " 9Z"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(encode(bcCode39Extended, c.text).modules, encode(bcCode39, QLatin1StringView(c.translated)).modules)
            << c.translated;
}

// ---------------------------------------------------------------- Code 93

TEST(Code93, AlwaysCarriesTheCAndKCheckCharacters)
{
    // "TEST93": C = 464 mod 47 = 41 ('+'), K = 617 mod 47 = 6.
    const QString m = encode(bcCode93, "TEST93").modules;
    const QString expected = zd::WidthsToModules(
        u"111141" u"211221" u"221211" u"211122" u"211221" u"141111" u"111411" // start T E S T 9 3
        u"113121" u"121311"                                               // + 6
        u"1111411");
    EXPECT_EQ(m, expected);
    EXPECT_EQ(encode(bcCode93, "TEST93", true).modules, m);
}

TEST(Code93, BadDataNamesTheText)
{
    EXPECT_EQ(encodeError(bcCode93, QStringLiteral("Ä")), "Exception: TzdBarcode:Code93 bad Data <Ä>");
    EXPECT_EQ(encodeError(bcCode93, QStringLiteral("ab")), "Exception: TzdBarcode:Code93 bad Data <ab>");
    EXPECT_EQ(encodeError(bcCode93Extended, QStringLiteral("aÄ")), "Exception: TzdBarcode:Code93 bad Data <aÄ>");
}

TEST(Code93, FullAsciiUsesTheShiftCharacters)
{
    const Encoded e = encode(bcCode93Extended, "a$");
    EXPECT_EQ(e.text, QStringLiteral("a$"));
    EXPECT_EQ(e.modules, encode(bcCode93, "}A{D").modules);
}

// ---------------------------------------------------------------- MSI, PostNet, Codabar

TEST(MSI, CheckDigitCountsFromTheRight)
{
    auto checkDigit = [](const char* text) {
        const QString m = encode(bcCodeMSI, QLatin1StringView(text), true).modules;
        const QString plain = encode(bcCodeMSI, QLatin1StringView(text)).modules;
        EXPECT_EQ(m.size(), plain.size() + 8);
        const QString bits = m.mid(plain.size() - 3, 8);
        int d = 0;
        for (int i = 0; i < 8; i += 2)
            d = d * 2 + (bits.mid(i, 2) == QStringLiteral("60") ? 1 : 0);
        return d;
    };
    EXPECT_EQ(checkDigit("1234"), 4);
    EXPECT_EQ(checkDigit("12345"), 5);
    EXPECT_EQ(checkDigit("80523"), 4);
    EXPECT_EQ(checkDigit("7"), 5);
    // A long text whose doubled digits exceed 32 bits.
    EXPECT_EQ(checkDigit("9999999999999999999999"), 2);
}

TEST(MSI, BitsAreWideAndNarrowBars)
{
    // Start 110, digit 5 = 0101 -> 100 110 100 110, stop 1001.
    EXPECT_EQ(binary(encode(bcCodeMSI, "5").modules), "110" "100110100110" "1001");
}

TEST(PostNet, FullAndShortBarsWithGaps)
{
    EXPECT_EQ(encode(bcCodePostNet, "1").modules, QStringLiteral("51" "A1A1A15151" "5"));
    EXPECT_EQ(encode(bcCodePostNet, "7").modules, QStringLiteral("51" "51A1A1A151" "5"));
}

TEST(Codabar, StartAStopBAndRejectsUnknownCharacters)
{
    EXPECT_EQ(encode(bcCodeCodabar, "1$").modules,
              QStringLiteral("5061515" "0" "5050615" "0" "5061505" "0" "5151506"));
    EXPECT_EQ(encodeError(bcCodeCodabar, "12x4"), "Exception: TzdBarcode:Codabar bad Data <x>");
}

// ---------------------------------------------------------------- EAN and UPC

TEST(Ean13, TextRules)
{
    EXPECT_EQ(encode(bcCodeEAN13, "400638133393", true).text, QStringLiteral("4006381333931"));
    EXPECT_EQ(encode(bcCodeEAN13, "4006381333938", true).text, QStringLiteral("4006381333931"));
    EXPECT_EQ(encode(bcCodeEAN13, "12345").text, QStringLiteral("0000000012345"));
    EXPECT_EQ(encode(bcCodeEAN13, "12345", true).text, QStringLiteral("0000000123457"));
    EXPECT_EQ(encodeError(bcCodeEAN13, "40063813339312"), "Exception: Invalid Text len (EAN13)");
}

TEST(Ean13, BarsFollowTheParityOfTheFirstDigit)
{
    // 4 -> L G L L G G.
    const std::string expected = "101" + digits(kL, "0") + digits(kG, "0") + digits(kL, "63") +
                                 digits(kG, "81") + "01010" + digits(kR, "333931") + "101";
    EXPECT_EQ(binary(encode(bcCodeEAN13, "4006381333931").modules), expected);
}

TEST(Ean8, TextRulesAndBars)
{
    LinearSymbol s = symbol(bcCodeEAN8, "5512345", true);
    const std::string bars = binary(s.MakeModuleString());
    EXPECT_EQ(s.Ean8Digits(), QStringLiteral("55123457"));
    EXPECT_EQ(s.Text, QStringLiteral("5512345")); // not rewritten
    EXPECT_EQ(bars, "101" + digits(kL, "5512") + "01010" + digits(kR, "3457") + "101");
    // A text with its check digit in place keeps its number.
    LinearSymbol full = symbol(bcCodeEAN8, "55123450", true);
    full.MakeModuleString();
    EXPECT_EQ(full.Ean8Digits(), QStringLiteral("55123457"));
    EXPECT_EQ(encodeError(bcCodeEAN8, "123456789"), "Exception: Invalid Text len (EAN8)");
    LinearSymbol padded = symbol(bcCodeEAN8, "123");
    padded.MakeModuleString();
    EXPECT_EQ(padded.Ean8Digits(), QStringLiteral("00000123"));
}

TEST(UpcA, TextRulesAndBars)
{
    EXPECT_EQ(encode(bcCodeUPC_A, "03600029145", true).text, QStringLiteral("036000291452"));
    EXPECT_EQ(encode(bcCodeUPC_A, "036000291459", true).text, QStringLiteral("036000291452"));
    EXPECT_EQ(encode(bcCodeUPC_A, "123").text, QStringLiteral("000000000123"));
    EXPECT_EQ(binary(encode(bcCodeUPC_A, "036000291452").modules),
              "101" + digits(kL, "036000") + "01010" + digits(kR, "291452") + "101");
}

TEST(UpcE, ParityComesFromTheExpandedNumber)
{
    struct Case {
        TzdBarcodeType typ;
        const char* text;
        const char* rewritten;
        const char* sets; // A = odd (L), B = even (G)
    } cases[] = {
        {bcCodeUPC_E0, "123456", "1234565", "BAABBA"},  // 01234500006 -> 5: EooEEo
        {bcCodeUPC_E0, "425261", "4252614", "BABBAA"},  // 04210000526 -> 4: EoEEoo
        {bcCodeUPC_E0, "654321", "6543217", "BABABA"},  // 06510000432 -> 7: EoEoEo
        {bcCodeUPC_E0, "000003", "0000030", "BBBAAA"},  // 00000000000 -> 0: EEEooo
        {bcCodeUPC_E1, "123456", "1234562", "AABBAB"},  // 11234500006 -> 2: EEooEo inverted
    };
    for (const Case& c : cases) {
        const Encoded e = encode(c.typ, QLatin1StringView(c.text), true);
        EXPECT_EQ(e.text, QLatin1StringView(c.rewritten)) << c.text;
        std::string data;
        for (int i = 0; i < 6; ++i)
            data += (c.sets[i] == 'A' ? kL : kG)[c.text[i] - '0'];
        EXPECT_EQ(binary(e.modules), "101" + data + "010101") << c.text;
    }
    // Without Checksum the seventh digit is printed, the bars carry the parity.
    EXPECT_EQ(encode(bcCodeUPC_E0, "1234569").modules, encode(bcCodeUPC_E0, "1234565").modules);
    EXPECT_EQ(encode(bcCodeUPC_E0, "123456").text, QStringLiteral("0123456"));
}

TEST(Supplements, FiveDigitParityFromItsCheck)
{
    const Encoded e = encode(bcCodeUPC_Supp5, "52495");
    // P = 1: E o E o o.
    const std::string expected = "1011" + std::string(kG[5]) + "01" + kL[2] + "01" + kG[4] + "01" + kL[9] + "01" + kL[5];
    EXPECT_EQ(binary(e.modules), expected);
    EXPECT_EQ(encode(bcCodeUPC_Supp5, "52495", true).text, QStringLiteral("524951"));
    EXPECT_EQ(encode(bcCodeUPC_Supp5, "7").text, QStringLiteral("00007"));
}

TEST(Supplements, TwoDigitParityFromValueModulo4)
{
    struct Case {
        const char* text;
        const char* padded;
        const char* sets;
    } cases[] = {{"7", "07", "GG"}, {"12", "12", "LL"}, {"13", "13", "LG"}, {"14", "14", "GL"}, {"99", "99", "GG"}};
    for (const Case& c : cases) {
        const Encoded e = encode(bcCodeUPC_Supp2, QLatin1StringView(c.text));
        EXPECT_EQ(e.text, QLatin1StringView(c.padded));
        const std::string expected = std::string("1011") + (c.sets[0] == 'L' ? kL : kG)[c.padded[0] - '0'] + "01" +
                                     (c.sets[1] == 'L' ? kL : kG)[c.padded[1] - '0'];
        EXPECT_EQ(binary(e.modules), expected) << c.text;
    }
    EXPECT_EQ(encode(bcCodeUPC_Supp2, "7", true).text, QStringLiteral("07"));
}

// ---------------------------------------------------------------- Code 128

TEST(Code128Tokens, EscapesPairsAndCharacters)
{
    struct Case {
        const char* text;
        zd::Code128Set set;
        const char* token;
        qsizetype next;
    } cases[] = {
        {"&a;x", zd::Code128Set::None, "&A;", 3}, {"&s;x", zd::Code128Set::B, "&S;", 3},
        {"&4;", zd::Code128Set::C, "&4;", 3},     {"&X;", zd::Code128Set::B, "&", 1},
        {"&1", zd::Code128Set::B, "&", 1},        {"1234", zd::Code128Set::C, "12", 2},
        {"1", zd::Code128Set::C, "1", 1},         {"12", zd::Code128Set::B, "1", 1},
    };
    for (const Case& c : cases) {
        qsizetype pos = 0;
        EXPECT_EQ(zd::Code128NextToken(QLatin1StringView(c.text), pos, c.set), QLatin1StringView(c.token)) << c.text;
        EXPECT_EQ(pos, c.next) << c.text;
    }
}

TEST(Code128Tokens, StripEscapes)
{
    EXPECT_EQ(zd::Code128StripEscapes("&B;ab&S;c&1;&c;12", false), QStringLiteral("abc&1;12"));
    EXPECT_EQ(zd::Code128StripEscapes("&B;ab&S;c&1;&c;12", true), QStringLiteral("abc12"));
    EXPECT_EQ(zd::Code128HumanText("&C;1234&FNC1;56"), QStringLiteral("123456"));
    EXPECT_EQ(zd::Code128HumanText("(01)123&4;"), QStringLiteral("(01)123"));
}

TEST(Code128Auto, RunsChooseCodeSets)
{
    struct Case {
        QString text;
        QString runs;
    } cases[] = {
        {"ABC123456", "&B;ABC&C;123456"},
        {"1234", "&B;1234"},
        {"12345", "&C;1234&B;5"},
        {"123456", "&C;123456"},
        {QStringLiteral("ab") + QChar(1) + "cd", QStringLiteral("&B;ab&S;") + QChar(1) + "&B;cd"},
        {QString(QChar(1)) + "AB" + QChar(2), QString("&A;") + QChar(1) + "AB" + QChar(2)},
        {QString(QChar(1)) + "ab", QString("&A;") + QChar(1) + "&B;ab"},
        {"&1;0112345678901231", "&C;&1;0112345678901231"},
        {"&A;x&C;y", "&B;xy"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zd::Code128AutoEncode(c.text), c.runs) << c.text.toStdString();
}

TEST(Code128Encode, SymbolValues)
{
    using V = std::vector<int>;
    EXPECT_EQ(values128(bcCode128, "ABC123456"), (V{kStartB, B('A'), B('B'), B('C'), kCodeC, 12, 34, 56}));
    EXPECT_EQ(values128(bcCode128, "12345"), (V{kStartC, 12, 34, kCodeB, B('5')}));
    EXPECT_EQ(values128(bcCode128, QStringLiteral("ab") + QChar(1) + "cd"),
              (V{kStartB, B('a'), B('b'), kShift, 65, B('c'), B('d')}));
    EXPECT_EQ(values128(bcCode128A, QStringLiteral("A") + QChar(0) + "_"), (V{kStartA, B('A'), 64, B('_')}));
    EXPECT_EQ(values128(bcCode128B, "a&A;B&b;c"), (V{kStartB, B('a'), kCodeA, B('B'), kCodeB, B('c')}));
    EXPECT_EQ(values128(bcCode128B, "&2;&3;&4;x&1;"), (V{kStartB, 97, 96, 100, B('x'), kFNC1}));
    EXPECT_EQ(values128(bcCode128A, "&4;&s;a"), (V{kStartA, 101, kShift, B('a')}));
    EXPECT_EQ(values128(bcCode128C, ""), (V{kStartC}));
    EXPECT_EQ(values128(bcCode128C, "(01)12"), (V{kStartC, kFNC1, 1, 12}));
    EXPECT_EQ(values128(bcCode128C, "12&B;x&c;34"), (V{kStartC, 12, kCodeB, B('x'), kCodeC, 34}));
    // The Text is never rewritten.
    EXPECT_EQ(encode(bcCode128, "ab&S;c").text, QStringLiteral("ab&S;c"));
}

TEST(Code128Encode, InvalidBarcode)
{
    const std::string invalid = "Exception: Invalid Barcode";
    EXPECT_EQ(encodeError(bcCode128A, "abc"), invalid);
    EXPECT_EQ(encodeError(bcCode128C, "12345"), invalid);
    EXPECT_EQ(encodeError(bcCode128C, "12A4"), invalid);
    EXPECT_EQ(encodeError(bcCode128, ""), invalid);
    EXPECT_EQ(encodeError(bcCode128, QString(QChar(127))), invalid);
    EXPECT_EQ(encodeError(bcCode128B, QStringLiteral("é")), invalid);
    EXPECT_EQ(encodeError(bcCode128B, "ab&S;"), invalid); // nothing to shift
    // In set C 96..98 and 100 are data or a switch: the function escapes
    // cannot be written there without changing what the symbol says.
    for (const char* t : {"12&S;A", "12&2;", "12&3;", "12&4;"})
        EXPECT_EQ(encodeError(bcCode128C, QLatin1StringView(t)), invalid) << t;
}

TEST(Ean128, LeadingFnc1AndCodeSets)
{
    using V = std::vector<int>;
    EXPECT_EQ(values128(bcCodeEAN128C, "(01)12345678901231"),
              (V{kStartC, kFNC1, 1, 12, 34, 56, 78, 90, 12, 31}));
    EXPECT_EQ(values128(bcCodeEAN128, "ABC"), (V{kStartB, kFNC1, B('A'), B('B'), B('C')}));
    EXPECT_EQ(values128(bcCodeEAN128, "&1;ABC"), (V{kStartB, kFNC1, B('A'), B('B'), B('C')}));
    EXPECT_EQ(values128(bcCodeEAN128A, "AB"), (V{kStartA, kFNC1, B('A'), B('B')}));
    EXPECT_EQ(values128(bcCodeEAN128B, "&FNC1;ab"), (V{kStartB, kFNC1, B('a'), B('b')}));
    EXPECT_EQ(values128(bcCodeEAN128C, ""), (V{kStartC, kFNC1}));
}

TEST(Ean128, CheckDigitJoinsTheDataBeforeCodeSetsAreChosen)
{
    using V = std::vector<int>;
    // 123456 + check 5: the digit run no longer ends in a lone set C digit.
    EXPECT_EQ(values128(bcCodeEAN128, "123456", true), (V{kStartC, kFNC1, 12, 34, 56, kCodeB, B('5')}));
    EXPECT_EQ(values128(bcCodeEAN128, "1234567", true), (V{kStartC, kFNC1, 12, 34, 56, 70}));
    // The digit is taken over all the data digits, identifier included.
    EXPECT_EQ(values128(bcCodeEAN128C, "(01)1234567890123", true),
              (V{kStartC, kFNC1, 1, 12, 34, 56, 78, 90, 12, 30}));
    EXPECT_EQ(values128(bcCodeEAN128B, "12", true), (V{kStartB, kFNC1, B('1'), B('2'), B('3')}));
    EXPECT_EQ(encodeError(bcCodeEAN128, "12A", true), "EConvertError: 'A' is not a valid integer value");
    LinearSymbol none = symbol(bcCodeEAN128B, "12", true);
    none.CheckSumMethod = csmNone;
    EXPECT_EQ(values128(none.MakeModuleString()), (V{kStartB, kFNC1, B('1'), B('2')}));
}

TEST(Gs1, ElementsBecomeFnc1SeparatedStrings)
{
    struct Case {
        const char* text;
        const char* result;
    } cases[] = {
        {"(01)04012345678901(10)ABC(21)123456", "&1;0104012345678901" "10ABC&1;" "21123456"},
        {"(3103)000123", "&1;3103000123"},
        {"(00)123456789012345678(400)PO1", "&1;00123456789012345678400PO1"},
        {"(10)AB(11)991231", "&1;10AB&1;11991231"},
        {"(20)12X", ""},
        {"(01)1234567890123(10)AB", ""}, // a fixed field may not swallow the next "("
        {"(10)", ""},
        {"(1)", ""},
        {"10ABC", ""},
        {"()", ""},
        {"(7040)A", ""},
        {"(402)1234567890123456", ""}, // 17 required
        {"(402)12345678901234567", "&1;40212345678901234567"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zd::GS1ToCode128(QLatin1StringView(c.text)), QLatin1StringView(c.result)) << c.text;
    EXPECT_EQ(zd::GS1ToCode128(QStringLiteral("(99)") + QString(90, u'A')), QStringLiteral("&1;99") + QString(90, u'A'));
    EXPECT_EQ(zd::GS1ToCode128(QStringLiteral("(99)") + QString(91, u'A')), QString());
}

TEST(Gs1, EncodesAutomaticallyAndRaisesOnBadElements)
{
    using V = std::vector<int>;
    EXPECT_EQ(values128(bcGS1Code128, "(01)04012345678901(10)ABC(21)123456"),
              (V{kStartC, kFNC1, 1, 4, 1, 23, 45, 67, 89, 1, 10, kCodeB, B('A'), B('B'), B('C'), kFNC1, kCodeC, 21,
                 12, 34, 56}));
    EXPECT_EQ(encode(bcGS1Code128, "(10)ab").text, QStringLiteral("(10)ab"));
    EXPECT_EQ(encodeError(bcGS1Code128, "(20)12X"), "Exception: Invalid Barcode");
    EXPECT_EQ(encodeError(bcGS1Code128, QStringLiteral("(99)") + QString(91, u'A')), "Exception: Invalid Barcode");
    EXPECT_EQ(encodeError(bcGS1Code128, ""), "Exception: Invalid Barcode");
    EXPECT_EQ(encodeError(bcGS1Code128, "(01)1234567890123(10)AB"), "Exception: Invalid Barcode");
}

TEST(LinearSymbolRepeat, EveryEncoderIsStableWhenRunAgain)
{
    // Callers measure, then draw: the second encode must see what the first wrote.
    const std::pair<TzdBarcodeType, const char*> cases[] = {
        {bcCode_2_5_interleaved, "12345"}, {bcCodeEAN13, "400638133393"}, {bcCodeEAN8, "5512345"},
        {bcCodeUPC_A, "03600029145"},      {bcCodeUPC_E0, "123456"},      {bcCodeUPC_E1, "42526"},
        {bcCodeUPC_Supp5, "52495"},        {bcCodeUPC_Supp2, "7"},        {bcCodeEAN128, "123456"},
        {bcCodeMSI, "12345"},              {bcCode39Extended, "abc"},     {bcCode93Extended, "x"},
    };
    for (const auto& [typ, text] : cases) {
        LinearSymbol s = symbol(typ, QLatin1StringView(text), true);
        const QString first = s.MakeModuleString();
        const QString firstText = s.Text;
        EXPECT_EQ(s.MakeModuleString(), first) << TzdBarcodeTypeNames[typ];
        EXPECT_EQ(s.Text, firstText) << TzdBarcodeTypeNames[typ];
    }
}
