#pragma once
// Text formatting and number conversion with the original platform's rules:
// Format, FormatFloat, FloatToStr(F), IntToStr/IntToHex, StrToInt/Int64/Float.
//
// Every function that depends on the locale reads FormatSettings() unless an
// overload with an explicit TFormatSettings is used. Failures raise
// EConvertError with the platform's English messages.

#include "FormatSettings.h"

#include <QString>
#include <concepts>
#include <initializer_list>
#include <span>
#include <type_traits>

namespace plat {

// One argument of Format, typed as the platform's open-array element.
class FormatArg {
public:
    enum class Kind { Integer, Int64, Extended, String, Boolean, Pointer };

    template <std::integral T>
    FormatArg(T value) // NOLINT(google-explicit-constructor)
    {
        if constexpr (std::same_as<T, bool>) {
            m_kind = Kind::Boolean;
            m_int = value ? 1 : 0;
        } else if constexpr (std::same_as<T, char> || std::same_as<T, char16_t> || std::same_as<T, wchar_t> ||
                             std::same_as<T, char8_t> || std::same_as<T, char32_t>) {
            // A character is text, as the platform's Char argument.
            m_kind = Kind::String;
            const char32_t code = static_cast<char32_t>(static_cast<std::make_unsigned_t<T>>(value));
            m_string = QString::fromUcs4(&code, 1);
        } else if constexpr (sizeof(T) < 4 || (sizeof(T) == 4 && std::is_signed_v<T>)) {
            m_kind = Kind::Integer;
            m_int = static_cast<qint64>(value);
        } else {
            // Unsigned 32-bit and all 64-bit values travel as Int64 (a
            // 64-bit unsigned value keeps its bits).
            m_kind = Kind::Int64;
            m_int = static_cast<qint64>(value);
        }
    }
    FormatArg(float value) : m_kind(Kind::Extended), m_float(value) {}
    FormatArg(double value) : m_kind(Kind::Extended), m_float(value) {}
    FormatArg(long double value) : m_kind(Kind::Extended), m_float(value) {}
    FormatArg(const QString& value) : m_kind(Kind::String), m_string(value) {}
    FormatArg(QStringView value) : m_kind(Kind::String), m_string(value.toString()) {}
    FormatArg(const char* value) : m_kind(Kind::String), m_string(QString::fromUtf8(value)) {}
    FormatArg(QChar value) : m_kind(Kind::String), m_string(value) {}
    FormatArg(const void* value) : m_kind(Kind::Pointer), m_int(static_cast<qint64>(reinterpret_cast<quintptr>(value))) {}

    Kind kind() const { return m_kind; }
    qint64 intValue() const { return m_int; }
    long double floatValue() const { return m_float; }
    const QString& stringValue() const { return m_string; }

private:
    Kind m_kind;
    qint64 m_int = 0;
    long double m_float = 0;
    QString m_string;
};

// Format specifiers: "%" [index ":"] ["-"] [width] ["." precision] type, with
// type one of d u e f g n m p s x (either case); width, precision and index
// may be "*" (taken from the next argument). "%%" is a percent sign.
QString Format(const QString& format, std::initializer_list<FormatArg> args);
QString Format(const QString& format, std::initializer_list<FormatArg> args, const TFormatSettings& settings);
QString Format(const QString& format, std::span<const FormatArg> args);
QString Format(const QString& format, std::span<const FormatArg> args, const TFormatSettings& settings);

// Picture with up to three sections (positive; negative; zero).
QString FormatFloat(const QString& format, long double value);
QString FormatFloat(const QString& format, long double value, const TFormatSettings& settings);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// General format with 15 significant digits ("1,5", "1E20", "1,5E-5").
QString FloatToStr(long double value);
QString FloatToStr(long double value, const TFormatSettings& settings);
QString FloatToStrF(long double value, TFloatFormat format, int precision, int digits);
QString FloatToStrF(long double value, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& settings);
// Currency values are int64 × 10^4 in memory; these take the value as a float.
QString CurrToStr(long double value);
QString CurrToStr(long double value, const TFormatSettings& settings);
QString CurrToStrF(long double value, TFloatFormat format, int digits);
QString CurrToStrF(long double value, TFloatFormat format, int digits, const TFormatSettings& settings);

QString IntToStr(qint64 value);
// Upper-case hex, at least `digits` digits; negatives as their two's
// complement pattern of the argument's width (8 or 16 digits).
QString IntToHex(int value, int digits);
QString IntToHex(qint64 value, int digits);
template <std::integral T>
    requires(!std::same_as<T, int> && !std::same_as<T, qint64> && !std::same_as<T, bool>)
QString IntToHex(T value, int digits)
{
    if constexpr (sizeof(T) <= 4)
        return IntToHex(static_cast<int>(value), digits);
    else
        return IntToHex(static_cast<qint64>(value), digits);
}

// a * b / c rounded half away from zero, as the platform's MulDiv; -1 when
// c is 0 or the result does not fit 32 bits.
int MulDiv(int a, int b, int c);

// The value of one hexadecimal digit (either case), or -1.
int HexDigitValue(QChar c);

// Decimal, or hex with a leading "$", "0x"/"0X" or "x"; an optional sign;
// leading blanks allowed, trailing ones not (as the platform).
int StrToInt(const QString& text);
int StrToIntDef(const QString& text, int defaultValue);
bool TryStrToInt(const QString& text, int& value);
qint64 StrToInt64(const QString& text);
qint64 StrToInt64Def(const QString& text, qint64 defaultValue);
bool TryStrToInt64(const QString& text, qint64& value);

// Decimal separator of the settings; blanks around the number are allowed.
long double StrToFloat(const QString& text);
long double StrToFloat(const QString& text, const TFormatSettings& settings);
long double StrToFloatDef(const QString& text, long double defaultValue);
bool TryStrToFloat(const QString& text, long double& value);
bool TryStrToFloat(const QString& text, long double& value, const TFormatSettings& settings);
bool TryStrToFloat(const QString& text, double& value);
bool TryStrToFloat(const QString& text, double& value, const TFormatSettings& settings);

} // namespace plat
