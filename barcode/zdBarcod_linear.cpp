// 2 of 5, Code 39, Code 93, MSI, PostNet and Codabar.
#include "zdBarcod_symbol.h"

#include "Exceptions.h"

#include <string_view>
#include <vector>

namespace zd {

namespace {

// Five elements per digit, 'W' wide, 'N' narrow.
constexpr std::array<std::string_view, 10> k2of5{
    "NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW", "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN",
};

struct Code39Row {
    char c;
    std::string_view modules; // bar, gap, ... bar: '6' wide bar, '5' narrow, '1' wide gap, '0' narrow
    int value;
};

constexpr std::array<Code39Row, 44> kCode39{{
    {'0', "505160605", 0},  {'1', "605150506", 1},  {'2', "506150506", 2},  {'3', "606150505", 3},
    {'4', "505160506", 4},  {'5', "605160505", 5},  {'6', "506160505", 6},  {'7', "505150606", 7},
    {'8', "605150605", 8},  {'9', "506150605", 9},  {'A', "605051506", 10}, {'B', "506051506", 11},
    {'C', "606051505", 12}, {'D', "505061506", 13}, {'E', "605061505", 14}, {'F', "506061505", 15},
    {'G', "505051606", 16}, {'H', "605051605", 17}, {'I', "506051605", 18}, {'J', "505061605", 19},
    {'K', "605050516", 20}, {'L', "506050516", 21}, {'M', "606050515", 22}, {'N', "505060516", 23},
    {'O', "605060515", 24}, {'P', "506060515", 25}, {'Q', "505050616", 26}, {'R', "605050615", 27},
    {'S', "506050615", 28}, {'T', "505060615", 29}, {'U', "615050506", 30}, {'V', "516050506", 31},
    {'W', "616050505", 32}, {'X', "515060506", 33}, {'Y', "615060505", 34}, {'Z', "516060505", 35},
    {'-', "515050606", 36}, {'.', "615050605", 37}, {' ', "516050605", 38}, {'*', "515060605", 0},
    {'$', "515151505", 39}, {'/', "515150515", 40}, {'+', "515051515", 41}, {'%', "505151515", 42},
}};

// Full-ASCII translation of the codes 0..127 into Code 39 characters.
constexpr std::array<std::string_view, 128> kCode39Ascii{
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",
    " ",  "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "/M", "/N", "/O",
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "/Z", "%F", "%G", "%H", "%I", "%J",
    "%V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "%K", "%L", "%M", "%N", "%O",
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T",
};

// Code 93: the row number is the character's value; '[', ']', '{', '}'
// stand for the shift characters ($), (%), (/), (+).
struct Code93Row {
    char c;
    std::string_view widths; // bar, gap, bar, gap, bar, gap
};

constexpr std::array<Code93Row, 47> kCode93{{
    {'0', "131112"}, {'1', "111213"}, {'2', "111312"}, {'3', "111411"}, {'4', "121113"},
    {'5', "121212"}, {'6', "121311"}, {'7', "111114"}, {'8', "131211"}, {'9', "141111"},
    {'A', "211113"}, {'B', "211212"}, {'C', "211311"}, {'D', "221112"}, {'E', "221211"},
    {'F', "231111"}, {'G', "112113"}, {'H', "112212"}, {'I', "112311"}, {'J', "122112"},
    {'K', "132111"}, {'L', "111123"}, {'M', "111222"}, {'N', "111321"}, {'O', "121122"},
    {'P', "131121"}, {'Q', "212112"}, {'R', "212211"}, {'S', "211122"}, {'T', "211221"},
    {'U', "221121"}, {'V', "222111"}, {'W', "112122"}, {'X', "112221"}, {'Y', "122121"},
    {'Z', "123111"}, {'-', "121131"}, {'.', "311112"}, {' ', "311211"}, {'$', "321111"},
    {'/', "112131"}, {'+', "113121"}, {'%', "211131"}, {'[', "121221"}, {']', "312111"},
    {'{', "311121"}, {'}', "122211"},
}};
constexpr std::string_view kCode93Start = "111141";
constexpr std::string_view kCode93Stop = "1111411"; // with the termination bar
constexpr int kCode93Modulus = 47;
constexpr int kCode93WeightC = 20;
constexpr int kCode93WeightK = 15;

// PostNet: five bars per digit, '1' full, '0' short.
constexpr std::array<std::string_view, 10> kPostNet{
    "11000", "00011", "00101", "00110", "01001", "01010", "01100", "10001", "10010", "10100",
};

struct CodabarRow {
    char c;
    std::string_view modules;
};

constexpr std::array<CodabarRow, 20> kCodabar{{
    {'1', "5050615"}, {'2', "5051506"}, {'3', "6150505"}, {'4', "5060515"}, {'5', "6050515"},
    {'6', "5150506"}, {'7', "5150605"}, {'8', "5160505"}, {'9', "6051505"}, {'0', "5050516"},
    {'-', "5051605"}, {'$', "5061505"}, {':', "6050606"}, {'/', "6060506"}, {'.', "6060605"},
    {'+', "5060606"}, {'A', "5061515"}, {'B', "5151506"}, {'C', "5051516"}, {'D', "5051615"},
}};

QLatin1StringView latin1(std::string_view s) { return QLatin1StringView(s.data(), qsizetype(s.size())); }

int digit(QChar c) { return c.unicode() - u'0'; }

const Code39Row* findCode39(QChar c)
{
    for (const Code39Row& row : kCode39)
        if (c == QLatin1Char(row.c))
            return &row;
    return nullptr;
}

const Code39Row& code39Star() { return *findCode39(u'*'); }

int findCode93(QChar c)
{
    for (int i = 0; i < int(kCode93.size()); ++i)
        if (c == QLatin1Char(kCode93[i].c))
            return i;
    return -1;
}

const CodabarRow* findCodabar(QChar c)
{
    for (const CodabarRow& row : kCodabar)
        if (c == QLatin1Char(row.c))
            return &row;
    return nullptr;
}

[[noreturn]] void raiseBadData(const char* symbology, const QString& what)
{
    throw plat::Exception(QStringLiteral("%1:%2 bad Data <%3>")
                              .arg(QLatin1StringView(kBarcodeClassName), QLatin1StringView(symbology), what));
}

// Translates to Code 39 characters by the full-ASCII rule; codes 128 and
// above have no translation and raise instead of vanishing from the symbol.
QString toFullAscii(const QString& text, const char* symbology, bool code93)
{
    QString out;
    out.reserve(text.size() * 2);
    for (QChar c : text) {
        if (c.unicode() >= 128)
            raiseBadData(symbology, code93 ? text : QString(c));
        for (char t : kCode39Ascii[c.unicode()]) {
            if (code93) {
                switch (t) {
                case '$': t = '['; break;
                case '%': t = ']'; break;
                case '/': t = '{'; break;
                case '+': t = '}'; break;
                default: break;
                }
            }
            out += QLatin1Char(t);
        }
    }
    return out;
}

} // namespace

QString LinearSymbol::encode2of5Interleaved()
{
    if (Checksum && Text.size() % 2 == 1)
        Text = ApplyCheckSum(Text);
    if (Text.size() % 2 == 1)
        Text = u'0' + Text;
    QString m = QStringLiteral("5050");
    for (qsizetype i = 0; i + 1 < Text.size(); i += 2) {
        const std::string_view bars = k2of5[digit(Text[i])];
        const std::string_view gaps = k2of5[digit(Text[i + 1])];
        for (int e = 0; e < 5; ++e) {
            m += bars[e] == 'W' ? u'6' : u'5';
            m += gaps[e] == 'W' ? u'1' : u'0';
        }
    }
    m += u"605";
    return m;
}

QString LinearSymbol::encode2of5Industrial()
{
    QString m = QStringLiteral("55055050");
    for (QChar c : std::as_const(Text))
        for (char e : k2of5[digit(c)])
            m += e == 'W' ? u"60" : u"50";
    m += u"55050550";
    return m;
}

QString LinearSymbol::encode2of5Matrix()
{
    QString m = QStringLiteral("705050");
    for (QChar c : std::as_const(Text)) {
        const std::string_view p = k2of5[digit(c)];
        for (int e = 0; e < 5; ++e) {
            const bool bar = e % 2 == 0;
            const bool wide = p[e] == 'W';
            m += bar ? (wide ? u'6' : u'5') : (wide ? u'1' : u'0');
        }
        m += u'0';
    }
    m += u"70505";
    return m;
}

QString LinearSymbol::encodeCode39(const QString& text)
{
    QString m = latin1(code39Star().modules) + u'0';
    int sum = 0;
    for (QChar c : text) {
        const Code39Row* row = findCode39(c);
        if (!row || row->c == '*')
            raiseBadData("Code39", QString(c));
        m += latin1(row->modules);
        m += u'0';
        sum += row->value;
    }
    if (Checksum) {
        const int value = sum % 43;
        for (const Code39Row& row : kCode39) {
            if (row.value == value) {
                m += latin1(row.modules);
                m += u'0';
                break;
            }
        }
    }
    m += latin1(code39Star().modules);
    return m;
}

QString LinearSymbol::encodeCode39Extended()
{
    return encodeCode39(toFullAscii(Text, "Code39", false));
}

QString LinearSymbol::encodeCode93(const QString& text, const QString& shownText)
{
    QString w = latin1(kCode93Start);
    std::vector<int> values;
    values.reserve(text.size());
    for (QChar c : text) {
        const int v = findCode93(c);
        if (v < 0)
            raiseBadData("Code93", shownText);
        values.push_back(v);
        w += latin1(kCode93[v].widths);
    }
    int sumC = 0, sumK = 0;
    for (qsizetype i = qsizetype(values.size()) - 1, pos = 0; i >= 0; --i, ++pos) {
        sumC += values[i] * int(pos % kCode93WeightC + 1);
        sumK += values[i] * int((pos + 1) % kCode93WeightK + 1);
    }
    const int c = sumC % kCode93Modulus;
    const int k = (sumC + sumK) % kCode93Modulus;
    w += latin1(kCode93[c].widths);
    w += latin1(kCode93[k].widths);
    w += latin1(kCode93Stop);
    return WidthsToModules(w);
}

QString LinearSymbol::encodeCode93Extended()
{
    return encodeCode93(toFullAscii(Text, "Code93", true), Text);
}

QString LinearSymbol::encodeMSI()
{
    QString m = QStringLiteral("60");
    auto appendDigit = [&m](int d) {
        for (int bit = 3; bit >= 0; --bit)
            m += (d >> bit) & 1 ? u"60" : u"51";
    };
    // Luhn-style check counted from the right: the digits in odd places from
    // the right are doubled as one number, whose digit sum equals the sum of
    // the doubled digits' digit sums (no wider integer needed).
    int doubled = 0, plain = 0;
    const qsizetype n = Text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const int d = digit(Text[i]);
        if ((n - 1 - i) % 2 == 0)
            doubled += 2 * d >= 10 ? 2 * d - 9 : 2 * d;
        else
            plain += d;
        appendDigit(d);
    }
    if (Checksum) {
        const int t = (plain + doubled) % 10;
        appendDigit(t == 0 ? 0 : 10 - t);
    }
    m += u"515";
    return m;
}

QString LinearSymbol::encodePostNet()
{
    QString m = QStringLiteral("51");
    for (QChar c : std::as_const(Text)) {
        for (char b : kPostNet[digit(c)]) {
            m += b == '1' ? u'5' : u'A';
            m += u'1';
        }
    }
    m += u'5';
    return m;
}

QString LinearSymbol::encodeCodabar()
{
    QString m = latin1(findCodabar(u'A')->modules) + u'0';
    for (QChar c : std::as_const(Text)) {
        const CodabarRow* row = findCodabar(c);
        if (!row)
            raiseBadData("Codabar", QString(c));
        m += latin1(row->modules);
        m += u'0';
    }
    m += latin1(findCodabar(u'B')->modules);
    return m;
}

} // namespace zd
