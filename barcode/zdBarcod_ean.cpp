// EAN-8, EAN-13, UPC-A, UPC-E and the 2- and 5-digit supplements.
#include "zdBarcod_symbol.h"

#include "Exceptions.h"

#include <string_view>

namespace zd {

namespace {

// Number set A of the digits 0..9 (starts with a gap); set C is the same
// widths starting with a bar, set B is set C read backwards.
constexpr std::array<std::string_view, 10> kSetA{
    "2605", "1615", "1516", "0805", "0526", "0625", "0508", "0706", "0607", "2506",
};
constexpr std::array<std::string_view, 10> kSetB{
    "0517", "0616", "1606", "0535", "1705", "0715", "3505", "1525", "2515", "1507",
};
constexpr std::array<std::string_view, 10> kSetC{
    "7150", "6160", "6061", "5350", "5071", "5170", "5053", "5251", "5152", "7051",
};

// First digit of an EAN-13 to the sets of digits 2-7.
constexpr std::array<std::string_view, 10> kEan13Parity{
    "AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB", "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA",
};
// Check digit to the parity of the six UPC-E digits (number system 0):
// 'E' even (set B), 'o' odd (set A).
constexpr std::array<std::string_view, 10> kUpcEParity{
    "EEEooo", "EEoEoo", "EEooEo", "EEoooE", "EoEEoo", "EooEEo", "EoooEE", "EoEoEo", "EoEooE", "EooEoE",
};

constexpr std::string_view kGuard = "505";
constexpr std::string_view kCentre = "05050";
constexpr std::string_view kUpcEEnd = "050505";
constexpr std::string_view kSuppStart = "506";
constexpr std::string_view kSuppSeparator = "05";

QLatin1StringView latin1(std::string_view s) { return QLatin1StringView(s.data(), qsizetype(s.size())); }

int digit(QChar c) { return c.unicode() - u'0'; }

QChar checkChar(QStringView digits) { return QChar(char16_t(u'0' + modulo10(digits))); }

QString pad(const QString& text, qsizetype n)
{
    return text.size() >= n ? text : QString(n - text.size(), u'0') + text;
}

void appendSet(QString& m, char set, QChar c)
{
    const int d = digit(c);
    m += latin1(set == 'A' ? kSetA[d] : set == 'B' ? kSetB[d] : kSetC[d]);
}

// The twelve-digit UPC-A number without check digit that a UPC-E number
// (number system and six digits) stands for.
QString upcEToUpcA(QChar numberSystem, const QString& d)
{
    QString a(numberSystem);
    switch (d[5].unicode()) {
    case u'0':
    case u'1':
    case u'2':
        a += d.left(2);
        a += d[5];
        a += QStringLiteral("0000");
        a += d.mid(2, 3);
        break;
    case u'3':
        a += d.left(3);
        a += QStringLiteral("00000");
        a += d.mid(3, 2);
        break;
    case u'4':
        a += d.left(4);
        a += QStringLiteral("00000");
        a += d[4];
        break;
    default:
        a += d.left(5);
        a += QStringLiteral("0000");
        a += d[5];
        break;
    }
    return a;
}

[[noreturn]] void raiseLength(const char* what)
{
    throw plat::Exception(QStringLiteral("Invalid Text len (%1)").arg(QLatin1StringView(what)));
}

} // namespace

QString LinearSymbol::encodeEAN8()
{
    QString d;
    if (Checksum) {
        // The first seven digits are the number; a check digit already in
        // place is computed again (as EAN-13 and UPC-A do).
        const QString body = pad(Text.left(7), 7);
        d = body + checkChar(body);
    } else {
        d = pad(Text, 8);
    }
    if (d.size() != 8)
        raiseLength("EAN8");
    m_ean8Digits = d;
    QString m = latin1(kGuard);
    for (int i = 0; i < 4; ++i)
        appendSet(m, 'A', d[i]);
    m += latin1(kCentre);
    for (int i = 4; i < 8; ++i)
        appendSet(m, 'C', d[i]);
    m += latin1(kGuard);
    return m;
}

QString LinearSymbol::encodeEAN13()
{
    if (Checksum)
        Text = Text.left(12);
    if (Text.size() != 13) {
        Text = pad(Text, 13);
        if (Checksum) {
            const QString body = Text.mid(1, 12);
            Text = body + checkChar(body);
        }
    }
    if (Text.size() != 13)
        raiseLength("EAN13");
    const std::string_view parity = kEan13Parity[digit(Text[0])];
    QString m = latin1(kGuard);
    for (int i = 1; i <= 6; ++i)
        appendSet(m, parity[i - 1], Text[i]);
    m += latin1(kCentre);
    for (int i = 7; i <= 12; ++i)
        appendSet(m, 'C', Text[i]);
    m += latin1(kGuard);
    return m;
}

QString LinearSymbol::encodeUPCA()
{
    if (Checksum) {
        // Eleven digits are the number: padding to twelve first would push
        // the last digit typed out as if it were the check digit.
        const QString body = pad(Text.left(11), 11);
        Text = body + checkChar(body);
    } else {
        Text = pad(Text, 12);
    }
    QString m = latin1(kGuard);
    for (int i = 0; i < 6; ++i)
        appendSet(m, 'A', Text[i]);
    m += latin1(kCentre);
    for (int i = 6; i < 12; ++i)
        appendSet(m, 'C', Text[i]);
    m += latin1(kGuard);
    return m;
}

QString LinearSymbol::encodeUPCE()
{
    // With Checksum six digits are the number and the check digit follows;
    // without it the text carries its own check digit in seventh place.
    Text = Checksum ? pad(Text.left(6), 6) : pad(Text, 7);
    const QString six = Text.left(6);
    const QChar numberSystem = Typ == bcCodeUPC_E1 ? u'1' : u'0';
    // The parity carries the check digit of the whole UPC-A number, number
    // system included; scanners verify it against the expanded number.
    const QChar p = checkChar(upcEToUpcA(numberSystem, six));
    if (Checksum)
        Text = six + p;
    const std::string_view parity = kUpcEParity[digit(p)];
    QString m = latin1(kGuard);
    for (int i = 0; i < 6; ++i) {
        const bool even = parity[i] == 'E';
        const bool setB = Typ == bcCodeUPC_E0 ? even : !even;
        appendSet(m, setB ? 'B' : 'A', Text[i]);
    }
    m += latin1(kUpcEEnd);
    return m;
}

QString LinearSymbol::encodeSupp5()
{
    Text = pad(Text, 5);
    const auto d = [this](int i) { return digit(Text[i]); };
    const int p = (3 * (d(0) + d(2) + d(4)) + 9 * (d(1) + d(3))) % 10;
    if (Checksum)
        Text = Text.left(5) + QChar(char16_t(u'0' + p));
    const std::string_view parity = kUpcEParity[p];
    QString m = latin1(kSuppStart);
    for (int i = 0; i < 5; ++i) {
        if (i > 0)
            m += latin1(kSuppSeparator);
        appendSet(m, parity[i + 1] == 'E' ? 'B' : 'A', Text[i]);
    }
    return m;
}

QString LinearSymbol::encodeSupp2()
{
    Text = pad(Text, 2);
    const int v = (10 * digit(Text[0]) + digit(Text[1])) % 4;
    // V = 0..3: odd-odd, odd-even, even-odd, even-even.
    const bool firstEven = v >= 2;
    const bool secondEven = v % 2 == 1;
    QString m = latin1(kSuppStart);
    appendSet(m, firstEven ? 'B' : 'A', Text[0]);
    m += latin1(kSuppSeparator);
    appendSet(m, secondEven ? 'B' : 'A', Text[1]);
    return m;
}

} // namespace zd
