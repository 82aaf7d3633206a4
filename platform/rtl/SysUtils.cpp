#include "SysUtils.h"

#include "Exceptions.h"

#include <QList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

using namespace Qt::StringLiterals;

namespace plat {

namespace {

// Extended precision carries 18 significant decimal digits; that is where
// every float text starts before it is rounded to what a picture asks.
constexpr int kMaxPrecision = 18;
constexpr int kGeneralPrecision = 15;
constexpr int kMaxExponentDigits = 4;
constexpr int kNoDecimalLimit = 9999;
// Widths and precisions above this are a mistake, not a layout request.
constexpr int kMaxFieldWidth = 1 << 20;
constexpr int kCurrencyFactor = 10000;
constexpr long double kMaxCurrencyUnits = 9223372036854775807.0L;

// A float as decimal digits: value = 0.d1d2d3... × 10^exponent.
struct Decimal {
    bool negative = false;
    int exponent = 0;
    std::string digits; // without trailing zeros; empty means zero
    bool isZero() const { return digits.empty(); }
};

// 18 correctly rounded significant digits, then rounded half away from zero
// to at most `precision` significant digits and `decimals` places after the
// point (the platform's decimal rounding, so 0.125 with two places is 0.13).
Decimal floatToDecimal(long double value, int precision, int decimals)
{
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0 || !std::isfinite(value))
        return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                                   kMaxPrecision - 1);
    std::string mant;
    const char* p = buf;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (*p != '.')
            mant += *p;
    int exp10 = 0;
    if (p < res.ptr) {
        ++p;
        if (p < res.ptr && *p == '+')
            ++p;
        std::from_chars(p, res.ptr, exp10);
    }
    d.exponent = exp10 + 1;

    const long long keep = std::min<long long>(precision, static_cast<long long>(d.exponent) + decimals);
    if (keep < 0) {
        d.exponent = 0;
        return d;
    }
    if (keep < static_cast<long long>(mant.size())) {
        const bool roundUp = mant[static_cast<size_t>(keep)] >= '5';
        mant.resize(static_cast<size_t>(keep));
        if (roundUp) {
            long long i = keep - 1;
            while (i >= 0 && mant[static_cast<size_t>(i)] == '9')
                mant[static_cast<size_t>(i--)] = '0';
            if (i >= 0) {
                ++mant[static_cast<size_t>(i)];
            } else {
                mant.assign(1, '1');
                ++d.exponent;
            }
        }
    }
    while (!mant.empty() && mant.back() == '0')
        mant.pop_back();
    if (mant.empty())
        d.exponent = 0;
    d.digits = std::move(mant);
    return d;
}

char digitAt(const Decimal& d, long long pos)
{
    return pos >= 0 && pos < static_cast<long long>(d.digits.size()) ? d.digits[static_cast<size_t>(pos)] : '0';
}

QString zeroPadded(unsigned long long value, int minDigits)
{
    QString s = QString::number(value);
    if (s.size() < minDigits)
        s.prepend(QString(minDigits - s.size(), u'0'));
    return s;
}

QString exponentText(int exponent, bool alwaysSign, int minDigits)
{
    QString s;
    if (exponent < 0)
        s += u'-';
    else if (alwaysSign)
        s += u'+';
    s += zeroPadded(static_cast<unsigned long long>(std::abs(exponent)), minDigits);
    return s;
}

QString nonFiniteText(long double value)
{
    if (std::isnan(value))
        return u"NAN"_s;
    return value < 0 ? u"-INF"_s : u"INF"_s;
}

// Integer digits of a fixed-point number, with optional thousand separators.
QString integerDigits(const Decimal& d, bool thousands, QChar separator)
{
    QString s;
    if (d.exponent <= 0) {
        s = u"0"_s;
    } else {
        for (int i = 0; i < d.exponent; ++i)
            s += QLatin1Char(digitAt(d, i));
    }
    if (thousands && separator != QChar(0)) {
        for (qsizetype pos = s.size() - 3; pos > 0; pos -= 3)
            s.insert(pos, separator);
    }
    return s;
}

QString fixedText(const Decimal& d, int decimals, bool thousands, const TFormatSettings& fs)
{
    QString s = integerDigits(d, thousands, fs.ThousandSeparator);
    if (decimals > 0) {
        s += fs.DecimalSeparator;
        for (int k = 0; k < decimals; ++k)
            s += QLatin1Char(digitAt(d, static_cast<long long>(d.exponent) + k));
    }
    return s;
}

QString generalText(long double value, int precision, int expDigits, const TFormatSettings& fs)
{
    const Decimal d = floatToDecimal(value, precision, kNoDecimalLimit);
    if (d.isZero())
        return u"0"_s;
    QString s = d.negative ? u"-"_s : QString();
    const int len = static_cast<int>(d.digits.size());
    if (d.exponent > precision || d.exponent < -3) {
        s += QLatin1Char(d.digits[0]);
        if (len > 1) {
            s += fs.DecimalSeparator;
            s += QString::fromLatin1(d.digits.data() + 1, len - 1);
        }
        s += u'E' + exponentText(d.exponent - 1, false, expDigits);
        return s;
    }
    s += integerDigits(d, false, {});
    if (len > d.exponent) {
        s += fs.DecimalSeparator;
        for (int pos = std::min(d.exponent, 0); pos < 0; ++pos)
            s += u'0';
        const int from = std::max(d.exponent, 0);
        s += QString::fromLatin1(d.digits.data() + from, len - from);
    }
    return s;
}

QString scientificText(long double value, int precision, int expDigits, const TFormatSettings& fs)
{
    const Decimal d = floatToDecimal(value, precision, kNoDecimalLimit);
    QString s = d.negative && !d.isZero() ? u"-"_s : QString();
    s += QLatin1Char(digitAt(d, 0));
    if (precision > 1) {
        s += fs.DecimalSeparator;
        for (int k = 1; k < precision; ++k)
            s += QLatin1Char(digitAt(d, k));
    }
    s += u'E' + exponentText(d.isZero() ? 0 : d.exponent - 1, true, expDigits);
    return s;
}

// The platform's layouts of a currency amount: CurrencyFormat 0..3, NegCurrFormat 0..15.
QString currencyLayout(const QString& amount, bool negative, const TFormatSettings& fs)
{
    const QString& c = fs.CurrencyString;
    if (!negative) {
        switch (fs.CurrencyFormat) {
        case 1: return amount + c;
        case 2: return c + u' ' + amount;
        case 3: return amount + u' ' + c;
        default: return c + amount;
        }
    }
    switch (fs.NegCurrFormat) {
    case 1: return u'-' + c + amount;
    case 2: return c + u'-' + amount;
    case 3: return c + amount + u'-';
    case 4: return u'(' + amount + c + u')';
    case 5: return u'-' + amount + c;
    case 6: return amount + u'-' + c;
    case 7: return amount + c + u'-';
    case 8: return u'-' + amount + u' ' + c;
    case 9: return u'-' + c + u' ' + amount;
    case 10: return amount + u' ' + c + u'-';
    case 11: return c + u' ' + amount + u'-';
    case 12: return c + u' ' + u'-' + amount;
    case 13: return amount + u'-' + u' ' + c;
    case 14: return u'(' + c + u' ' + amount + u')';
    case 15: return u'(' + amount + u' ' + c + u')';
    default: return u'(' + c + amount + u')';
    }
}

QString floatToText(long double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    precision = std::clamp(precision, 1, kMaxPrecision);
    switch (format) {
    case ffExponent:
        return scientificText(value, precision, std::clamp(digits, 0, kMaxExponentDigits), fs);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        digits = std::clamp(digits, 0, kMaxPrecision);
        const Decimal d = floatToDecimal(value, precision, digits);
        if (d.exponent > precision)
            return generalText(value, precision, 0, fs);
        const bool negative = d.negative && !d.isZero();
        const QString amount = fixedText(d, digits, format != ffFixed, fs);
        if (format == ffCurrency)
            return currencyLayout(amount, negative, fs);
        return negative ? u'-' + amount : amount;
    }
    case ffGeneral:
    default:
        return generalText(value, precision, std::clamp(digits, 0, kMaxExponentDigits), fs);
    }
}

// ---------------------------------------------------------------- FormatFloat

QList<QStringView> pictureSections(QStringView format)
{
    QList<QStringView> sections;
    qsizetype start = 0;
    QChar quote;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';' && sections.size() < 2) {
            sections.append(format.mid(start, i - start));
            start = i + 1;
        }
    }
    sections.append(format.mid(start));
    return sections;
}

bool isExponentAt(QStringView s, qsizetype i)
{
    return (s[i] == u'E' || s[i] == u'e') && i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-');
}

struct Picture {
    int intDigits = 0;
    int fracDigits = 0;
    int firstIntZero = -1; // placeholder index of the first '0' before the point
    int lastFracZero = -1; // placeholder index of the last '0' after the point
    bool thousands = false;
    bool scientific = false;
    bool hasPlaceholders() const { return intDigits + fracDigits > 0; }
};

Picture analysePicture(QStringView section)
{
    Picture pic;
    bool afterPoint = false;
    for (qsizetype i = 0; i < section.size() && !pic.scientific; ++i) {
        const QChar c = section[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype end = section.indexOf(c, i + 1);
            i = end < 0 ? section.size() : end;
        } else if (c == u'0' || c == u'#') {
            if (afterPoint) {
                if (c == u'0')
                    pic.lastFracZero = pic.fracDigits;
                ++pic.fracDigits;
            } else {
                if (c == u'0' && pic.firstIntZero < 0)
                    pic.firstIntZero = pic.intDigits;
                ++pic.intDigits;
            }
        } else if (c == u'.') {
            afterPoint = true;
        } else if (c == u',') {
            pic.thousands = true;
        } else if (isExponentAt(section, i)) {
            pic.scientific = true;
        }
    }
    return pic;
}

class NumberPictureWriter {
public:
    NumberPictureWriter(QStringView section, const Picture& pic, const Decimal& d, const TFormatSettings& fs)
        : m_section(section), m_pic(pic), m_fs(fs)
    {
        if (pic.scientific) {
            m_exponent = d.isZero() ? 0 : d.exponent - pic.intDigits;
            if (!d.isZero())
                for (int k = 0; k < pic.intDigits; ++k)
                    m_int += QLatin1Char(digitAt(d, k));
            for (int k = 0; k < pic.fracDigits; ++k)
                m_frac += QLatin1Char(digitAt(d, static_cast<long long>(pic.intDigits) + k));
        } else {
            for (int k = 0; k < d.exponent; ++k)
                m_int += QLatin1Char(digitAt(d, k));
            for (int k = 0; k < pic.fracDigits; ++k)
                m_frac += QLatin1Char(digitAt(d, static_cast<long long>(d.exponent) + k));
        }
        while (!m_int.isEmpty() && m_int[0] == u'0')
            m_int.remove(0, 1);
        const int minInt = pic.firstIntZero < 0 ? 0 : pic.intDigits - pic.firstIntZero;
        if (m_int.size() < minInt)
            m_int.prepend(QString(minInt - m_int.size(), u'0'));
        qsizetype lastNonZero = m_frac.size() - 1;
        while (lastNonZero >= 0 && m_frac[lastNonZero] == u'0')
            --lastNonZero;
        m_fracCount = std::max<qsizetype>(pic.lastFracZero + 1, lastNonZero + 1);
    }

    QString write(bool minus)
    {
        if (minus)
            m_out += u'-';
        bool afterPoint = false;
        bool exponentDone = false;
        for (qsizetype i = 0; i < m_section.size(); ++i) {
            const QChar c = m_section[i];
            if (c == u'"' || c == u'\'') {
                qsizetype end = m_section.indexOf(c, i + 1);
                if (end < 0)
                    end = m_section.size();
                m_out += m_section.mid(i + 1, end - i - 1);
                i = end;
            } else if ((c == u'0' || c == u'#') && !exponentDone) {
                if (afterPoint)
                    writeFractionPlaceholder();
                else
                    writeIntegerPlaceholder();
            } else if (c == u'.') {
                if (!afterPoint) {
                    afterPoint = true;
                    if (m_pic.intDigits == 0)
                        writeIntegerDigits(0, m_int.size());
                }
            } else if (c == u',') {
                // a flag for thousand separators, not a character of its own
            } else if (!exponentDone && m_pic.scientific && isExponentAt(m_section, i)) {
                i = writeExponent(i);
                exponentDone = true;
            } else {
                m_out += c;
            }
        }
        return m_out;
    }

private:
    void writeIntegerDigits(qsizetype from, qsizetype to)
    {
        const qsizetype len = m_int.size();
        for (qsizetype pos = std::max<qsizetype>(from, 0); pos < to && pos < len; ++pos) {
            m_out += m_int[pos];
            const qsizetype rest = len - 1 - pos;
            if (m_pic.thousands && rest > 0 && rest % 3 == 0 && m_fs.ThousandSeparator != QChar(0))
                m_out += m_fs.ThousandSeparator;
        }
    }

    void writeIntegerPlaceholder()
    {
        // Digits beyond the placeholders all go where the first one stands.
        const qsizetype pos = m_int.size() - m_pic.intDigits + m_intIndex;
        writeIntegerDigits(m_intIndex == 0 ? 0 : pos, pos + 1);
        ++m_intIndex;
    }

    void writeFractionPlaceholder()
    {
        if (m_fracIndex < m_fracCount) {
            if (m_fracIndex == 0)
                m_out += m_fs.DecimalSeparator;
            m_out += m_frac[m_fracIndex];
        }
        ++m_fracIndex;
    }

    qsizetype writeExponent(qsizetype i)
    {
        m_out += m_section[i];
        const bool alwaysSign = m_section[i + 1] == u'+';
        i += 2;
        int minDigits = 0;
        while (i < m_section.size() && m_section[i] == u'0') {
            ++minDigits;
            ++i;
        }
        m_out += exponentText(m_exponent, alwaysSign, std::min(minDigits, kMaxExponentDigits));
        return i - 1;
    }

    QStringView m_section;
    const Picture& m_pic;
    const TFormatSettings& m_fs;
    QString m_out;
    QString m_int;
    QString m_frac;
    qsizetype m_fracCount = 0;
    int m_exponent = 0;
    int m_intIndex = 0;
    qsizetype m_fracIndex = 0;
};

Decimal roundForPicture(long double value, const Picture& pic)
{
    if (pic.scientific)
        return floatToDecimal(value, std::clamp(pic.intDigits + pic.fracDigits, 1, kMaxPrecision), kNoDecimalLimit);
    return floatToDecimal(value, kMaxPrecision, pic.fracDigits);
}

// ---------------------------------------------------------------- Format

[[noreturn]] void raiseInvalidFormat(const QString& format)
{
    throw EConvertError(u"Format '%1' invalid or incompatible with argument"_s.arg(format));
}

[[noreturn]] void raiseArgumentMissing(const QString& format)
{
    throw EConvertError(u"No argument for format '%1'"_s.arg(format));
}

class Formatter {
public:
    Formatter(const QString& format, std::span<const FormatArg> args, const TFormatSettings& fs)
        : m_format(format), m_args(args), m_fs(fs)
    {
    }

    QString run()
    {
        QString out;
        const qsizetype n = m_format.size();
        while (m_pos < n) {
            const qsizetype percent = m_format.indexOf(u'%', m_pos);
            if (percent < 0) {
                out += QStringView(m_format).mid(m_pos);
                break;
            }
            out += QStringView(m_format).mid(m_pos, percent - m_pos);
            m_pos = percent + 1;
            if (m_pos < n && m_format[m_pos] == u'%') {
                out += u'%';
                ++m_pos;
                continue;
            }
            out += specifier();
        }
        return out;
    }

private:
    QChar peek() const { return m_pos < m_format.size() ? m_format[m_pos] : QChar(); }

    const FormatArg& nextArg()
    {
        if (m_argIndex < 0 || static_cast<size_t>(m_argIndex) >= m_args.size())
            raiseArgumentMissing(m_format);
        return m_args[static_cast<size_t>(m_argIndex++)];
    }

    // A decimal number or '*' (the next argument, an integer); -1 when absent.
    int number()
    {
        if (peek() == u'*') {
            ++m_pos;
            const FormatArg& arg = nextArg();
            if (arg.kind() != FormatArg::Kind::Integer && arg.kind() != FormatArg::Kind::Int64)
                raiseInvalidFormat(m_format);
            if (arg.intValue() > kMaxFieldWidth)
                raiseInvalidFormat(m_format);
            return static_cast<int>(std::max<qint64>(arg.intValue(), -1));
        }
        if (!peek().isDigit() || peek().unicode() > 0x7F)
            return -1;
        qint64 value = 0;
        while (peek().isDigit() && peek().unicode() <= 0x7F) {
            value = value * 10 + (peek().unicode() - u'0');
            if (value > kMaxFieldWidth)
                raiseInvalidFormat(m_format);
            ++m_pos;
        }
        return static_cast<int>(value);
    }

    QString specifier()
    {
        int width = number();
        if (width >= 0 && peek() == u':') {
            ++m_pos;
            m_argIndex = width;
            width = -1;
        }
        bool leftJustify = false;
        if (width < 0) {
            if (peek() == u'-') {
                leftJustify = true;
                ++m_pos;
            }
            width = number();
        }
        int precision = -1;
        if (peek() == u'.') {
            ++m_pos;
            precision = std::max(number(), 0);
        }
        if (m_pos >= m_format.size())
            raiseInvalidFormat(m_format);
        const QChar type = m_format[m_pos++].toUpper();
        QString text = convert(type, precision);
        if (width > text.size()) {
            const QString pad(width - text.size(), u' ');
            text = leftJustify ? text + pad : pad + text;
        }
        return text;
    }

    QString convert(QChar type, int precision)
    {
        const FormatArg& arg = nextArg();
        const bool isInteger = arg.kind() == FormatArg::Kind::Integer || arg.kind() == FormatArg::Kind::Int64;
        const bool is32 = arg.kind() == FormatArg::Kind::Integer;
        switch (type.unicode()) {
        case u'D': {
            if (!isInteger)
                raiseInvalidFormat(m_format);
            const qint64 v = arg.intValue();
            const unsigned long long magnitude =
                v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
            return (v < 0 ? u"-"_s : QString()) + zeroPadded(magnitude, precision);
        }
        case u'U': {
            if (!isInteger)
                raiseInvalidFormat(m_format);
            const unsigned long long v = is32 ? static_cast<quint32>(arg.intValue())
                                              : static_cast<unsigned long long>(arg.intValue());
            return zeroPadded(v, precision);
        }
        case u'X': {
            if (!isInteger)
                raiseInvalidFormat(m_format);
            return is32 ? IntToHex(static_cast<int>(arg.intValue()), precision)
                        : IntToHex(arg.intValue(), precision);
        }
        case u'E': case u'F': case u'G': case u'N': case u'M': {
            if (arg.kind() != FormatArg::Kind::Extended)
                raiseInvalidFormat(m_format);
            return floatSpecifier(type, arg.floatValue(), precision);
        }
        case u'P': {
            if (arg.kind() != FormatArg::Kind::Pointer)
                raiseInvalidFormat(m_format);
            return IntToHex(arg.intValue(), static_cast<int>(sizeof(void*) * 2));
        }
        case u'S': {
            if (arg.kind() != FormatArg::Kind::String)
                raiseInvalidFormat(m_format);
            return precision >= 0 ? arg.stringValue().left(precision) : arg.stringValue();
        }
        default:
            raiseInvalidFormat(m_format);
        }
    }

    QString floatSpecifier(QChar type, long double value, int precision)
    {
        switch (type.unicode()) {
        case u'E':
            return floatToText(value, ffExponent, precision < 0 ? kGeneralPrecision : precision, 3, m_fs);
        case u'G':
            return floatToText(value, ffGeneral, precision < 0 ? kGeneralPrecision : precision, 3, m_fs);
        case u'F':
            return floatToText(value, ffFixed, kMaxPrecision, precision < 0 ? 2 : precision, m_fs);
        case u'N':
            return floatToText(value, ffNumber, kMaxPrecision, precision < 0 ? 2 : precision, m_fs);
        default:
            return floatToText(value, ffCurrency, kMaxPrecision, precision < 0 ? m_fs.CurrencyDecimals : precision,
                               m_fs);
        }
    }

    const QString& m_format;
    std::span<const FormatArg> m_args;
    const TFormatSettings& m_fs;
    qsizetype m_pos = 0;
    int m_argIndex = 0;
};

// ---------------------------------------------------------------- text to number

// Leading blanks, a sign, then decimal digits or hex after "$", "0x" or "x";
// nothing may follow. Hex accepts the full unsigned range of the width
// (so "$FFFFFFFF" is -1 as a 32-bit value), decimal only the signed range.
bool parseInteger(QStringView s, int bits, qint64& out)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return false;
    const unsigned long long limit =
        base == 16 ? (bits == 64 ? std::numeric_limits<unsigned long long>::max() : 0xFFFFFFFFULL)
                   : (bits == 64 ? static_cast<unsigned long long>(std::numeric_limits<qint64>::max()) + negative
                                 : 0x7FFFFFFFULL + negative);
    unsigned long long value = 0;
    for (; i < s.size(); ++i) {
        const int digit = HexDigitValue(s[i]);
        if (digit < 0 || digit >= base)
            return false;
        if (value > (limit - static_cast<unsigned>(digit)) / static_cast<unsigned>(base))
            return false;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    }
    if (base == 16 && bits == 32)
        value = static_cast<unsigned long long>(static_cast<qint64>(static_cast<qint32>(static_cast<quint32>(value))));
    if (negative)
        value = 0ULL - value;
    out = static_cast<qint64>(value);
    if (bits == 32)
        out = static_cast<qint32>(static_cast<quint32>(value));
    return true;
}

[[noreturn]] void raiseInvalidInteger(const QString& text)
{
    throw EConvertError(u"'%1' is not a valid integer value"_s.arg(text));
}

// [blanks] [sign] digits [separator digits] [E [sign] digits] [blanks], with
// only the settings' decimal separator and no thousand separators.
bool parseFloat(QStringView s, QChar decimalSeparator, long double& out)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && s[i] == u' ')
        ++i;
    std::string ascii;
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ascii += static_cast<char>(s[i++].unicode());
    int mantissaDigits = 0;
    int magnitude = 0; // rough decimal exponent of the mantissa, for overflow versus underflow
    bool seenNonZero = false;
    while (i < n && s[i] >= u'0' && s[i] <= u'9') {
        seenNonZero = seenNonZero || s[i] != u'0';
        if (seenNonZero)
            ++magnitude;
        ascii += static_cast<char>(s[i++].unicode());
        ++mantissaDigits;
    }
    if (i < n && s[i] == decimalSeparator) {
        ++i;
        ascii += '.';
        while (i < n && s[i] >= u'0' && s[i] <= u'9') {
            if (!seenNonZero && s[i] == u'0')
                --magnitude;
            seenNonZero = seenNonZero || s[i] != u'0';
            ascii += static_cast<char>(s[i++].unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    long long exponent = 0;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        ascii += 'e';
        ++i;
        bool negativeExponent = false;
        if (i < n && (s[i] == u'+' || s[i] == u'-')) {
            negativeExponent = s[i] == u'-';
            ascii += static_cast<char>(s[i++].unicode());
        }
        int expDigits = 0;
        while (i < n && s[i] >= u'0' && s[i] <= u'9') {
            exponent = std::min<long long>(exponent * 10 + (s[i].unicode() - u'0'), 1000000);
            ascii += static_cast<char>(s[i++].unicode());
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
        if (negativeExponent)
            exponent = -exponent;
    }
    while (i < n && s[i] == u' ')
        ++i;
    if (i != n)
        return false;
    const char* first = ascii.data();
    if (*first == '+')
        ++first;
    long double value = 0;
    const auto res = std::from_chars(first, ascii.data() + ascii.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        if (!seenNonZero || magnitude + exponent < 0) {
            out = ascii[0] == '-' ? -0.0L : 0.0L; // too small: zero, as the platform
            return true;
        }
        return false;
    }
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size())
        return false;
    out = value;
    return true;
}

} // namespace

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// ---------------------------------------------------------------- public

QString Format(const QString& format, std::initializer_list<FormatArg> args)
{
    return Format(format, std::span<const FormatArg>(args.begin(), args.size()), FormatSettings());
}

QString Format(const QString& format, std::initializer_list<FormatArg> args, const TFormatSettings& settings)
{
    return Format(format, std::span<const FormatArg>(args.begin(), args.size()), settings);
}

QString Format(const QString& format, std::span<const FormatArg> args)
{
    return Format(format, args, FormatSettings());
}

QString Format(const QString& format, std::span<const FormatArg> args, const TFormatSettings& settings)
{
    return Formatter(format, args, settings).run();
}

QString FormatFloat(const QString& format, long double value)
{
    return FormatFloat(format, value, FormatSettings());
}

QString FormatFloat(const QString& format, long double value, const TFormatSettings& settings)
{
    if (format.isEmpty() || !std::isfinite(value))
        return floatToText(value, ffGeneral, kGeneralPrecision, 0, settings);
    const QList<QStringView> sections = pictureSections(format);
    auto sectionFor = [&](int index) {
        return index < sections.size() && !sections[index].isEmpty() ? sections[index] : sections[0];
    };
    const int index = value > 0 ? 0 : value < 0 ? 1 : 2;
    QStringView section = sectionFor(index);
    Picture pic = analysePicture(section);
    Decimal d = roundForPicture(value, pic);
    if (!pic.scientific && d.exponent > kMaxPrecision)
        return floatToText(value, ffGeneral, kGeneralPrecision, 0, settings);
    if (d.isZero() && index != 2) {
        // A value that rounds to zero is shown as zero: by the zero section
        // when there is one, else without a sign.
        section = sectionFor(2);
        pic = analysePicture(section);
        d = roundForPicture(0, pic);
    }
    const bool minus = value < 0 && !d.isZero() && section.data() == sections[0].data() && pic.hasPlaceholders();
    return NumberPictureWriter(section, pic, d, settings).write(minus);
}

QString FloatToStr(long double value)
{
    return FloatToStr(value, FormatSettings());
}

QString FloatToStr(long double value, const TFormatSettings& settings)
{
    return floatToText(value, ffGeneral, kGeneralPrecision, 0, settings);
}

QString FloatToStrF(long double value, TFloatFormat format, int precision, int digits)
{
    return FloatToStrF(value, format, precision, digits, FormatSettings());
}

QString FloatToStrF(long double value, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& settings)
{
    return floatToText(value, format, precision, digits, settings);
}

QString CurrToStr(long double value)
{
    return CurrToStr(value, FormatSettings());
}

QString CurrToStr(long double value, const TFormatSettings& settings)
{
    // Currency is an integer count of ten-thousandths: its text is exact,
    // with trailing zeros dropped and never an exponent.
    const long double scaled = value * kCurrencyFactor;
    if (!std::isfinite(scaled) || std::fabs(scaled) > kMaxCurrencyUnits)
        return floatToText(value, ffGeneral, kMaxPrecision, 0, settings);
    const long long units = std::llround(scaled);
    const unsigned long long magnitude = units < 0 ? 0ULL - static_cast<unsigned long long>(units)
                                                   : static_cast<unsigned long long>(units);
    QString s = units < 0 ? u"-"_s : QString();
    s += QString::number(magnitude / kCurrencyFactor);
    QString fraction = QString::number(magnitude % kCurrencyFactor).rightJustified(4, u'0');
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (!fraction.isEmpty())
        s += settings.DecimalSeparator + fraction;
    return s;
}

QString CurrToStrF(long double value, TFloatFormat format, int digits)
{
    return CurrToStrF(value, format, digits, FormatSettings());
}

QString CurrToStrF(long double value, TFloatFormat format, int digits, const TFormatSettings& settings)
{
    return floatToText(value, format, kMaxPrecision, digits, settings);
}

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long n = (long long)a * b;
    const long long q = (std::llabs(n) * 2 + std::llabs((long long)c)) / (2 * std::llabs((long long)c));
    const long long r = ((n < 0) != (c < 0)) ? -q : q;
    if (r > std::numeric_limits<int>::max() || r < std::numeric_limits<int>::min())
        return -1;
    return int(r);
}

QString IntToStr(qint64 value)
{
    return QString::number(value);
}

QString IntToHex(int value, int digits)
{
    return IntToHex(static_cast<qint64>(static_cast<quint32>(value)), digits);
}

QString IntToHex(qint64 value, int digits)
{
    QString s = QString::number(static_cast<quint64>(value), 16).toUpper();
    digits = std::min(digits, kMaxFieldWidth);
    if (s.size() < digits)
        s.prepend(QString(digits - s.size(), u'0'));
    return s;
}

int StrToInt(const QString& text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        raiseInvalidInteger(text);
    return value;
}

int StrToIntDef(const QString& text, int defaultValue)
{
    int value = 0;
    return TryStrToInt(text, value) ? value : defaultValue;
}

bool TryStrToInt(const QString& text, int& value)
{
    qint64 v = 0;
    if (!parseInteger(text, 32, v))
        return false;
    value = static_cast<int>(v);
    return true;
}

qint64 StrToInt64(const QString& text)
{
    qint64 value = 0;
    if (!TryStrToInt64(text, value))
        raiseInvalidInteger(text);
    return value;
}

qint64 StrToInt64Def(const QString& text, qint64 defaultValue)
{
    qint64 value = 0;
    return TryStrToInt64(text, value) ? value : defaultValue;
}

bool TryStrToInt64(const QString& text, qint64& value)
{
    return parseInteger(text, 64, value);
}

long double StrToFloat(const QString& text)
{
    return StrToFloat(text, FormatSettings());
}

long double StrToFloat(const QString& text, const TFormatSettings& settings)
{
    long double value = 0;
    if (!TryStrToFloat(text, value, settings))
        throw EConvertError(u"'%1' is not a valid floating point value"_s.arg(text));
    return value;
}

long double StrToFloatDef(const QString& text, long double defaultValue)
{
    long double value = 0;
    return TryStrToFloat(text, value) ? value : defaultValue;
}

bool TryStrToFloat(const QString& text, long double& value)
{
    return TryStrToFloat(text, value, FormatSettings());
}

bool TryStrToFloat(const QString& text, long double& value, const TFormatSettings& settings)
{
    return parseFloat(text, settings.DecimalSeparator, value);
}

bool TryStrToFloat(const QString& text, double& value)
{
    return TryStrToFloat(text, value, FormatSettings());
}

bool TryStrToFloat(const QString& text, double& value, const TFormatSettings& settings)
{
    long double v = 0;
    if (!parseFloat(text, settings.DecimalSeparator, v) || std::fabs(v) > std::numeric_limits<double>::max())
        return false;
    value = static_cast<double>(v);
    return true;
}

} // namespace plat
