#include "zs_sysfuncs.h"

#include "CodePage.h"
#include "DateUtils.h"
#include "Exceptions.h"
#include "MaskUtils.h"
#include "Services.h"
#include "SysUtils.h"
#include "zs_automation.h"
#include "zs_script.h"

#include <QHash>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <random>
#include <vector>

using plat::Variant;

namespace {

using Handler = Variant (*)(TzsMethodHelper* c);

// ---------------------------------------------------------------- arguments

Variant arg(TzsMethodHelper* c, int i)
{
    return c->GetParam(i);
}

// Declared String: the platform's conversion (Null is no text).
QString text(TzsMethodHelper* c, int i)
{
    return c->GetParam(i).toString();
}

int integer(TzsMethodHelper* c, int i)
{
    return c->GetParam(i).toInteger();
}

double number(TzsMethodHelper* c, int i)
{
    return c->GetParam(i).toDouble();
}

// The math functions first multiply by the float 1.0, so that integers and
// texts become floats by the variant rules.
double asFloat(TzsMethodHelper* c, int i)
{
    return plat::VarMul(c->GetParam(i), Variant(1.0)).toDouble();
}

Variant word(int value)
{
    return Variant::fromInteger(value, plat::varWord);
}

// ---------------------------------------------------------------- ctConv

Variant fnIntToStr(TzsMethodHelper* c)
{
    return Variant(plat::IntToStr(arg(c, 0).toInt64()));
}

Variant fnFloatToStr(TzsMethodHelper* c)
{
    return Variant(plat::FloatToStr(number(c, 0)));
}

Variant fnDateToStr(TzsMethodHelper* c)
{
    return Variant(plat::DateToStr(number(c, 0)));
}

Variant fnTimeToStr(TzsMethodHelper* c)
{
    return Variant(plat::TimeToStr(number(c, 0)));
}

Variant fnDateTimeToStr(TzsMethodHelper* c)
{
    return Variant(plat::DateTimeToStr(number(c, 0)));
}

Variant fnBoolToStr(TzsMethodHelper* c)
{
    return Variant(QString::fromLatin1(arg(c, 0).toBoolean() ? "-1" : "0"));
}

Variant fnVarToStr(TzsMethodHelper* c)
{
    return Variant(plat::VarToStr(arg(c, 0)));
}

Variant fnStrToInt(TzsMethodHelper* c)
{
    return Variant(plat::StrToInt(text(c, 0)));
}

Variant fnStrToInt64(TzsMethodHelper* c)
{
    return Variant::fromInteger(plat::StrToInt64(text(c, 0)), plat::varInt64);
}

Variant fnStrToFloat(TzsMethodHelper* c)
{
    return Variant(double(plat::StrToFloat(text(c, 0))));
}

Variant fnStrToDate(TzsMethodHelper* c)
{
    return Variant::fromDate(plat::StrToDate(text(c, 0)));
}

Variant fnStrToTime(TzsMethodHelper* c)
{
    return Variant::fromDate(plat::StrToTime(text(c, 0)));
}

Variant fnStrToDateTime(TzsMethodHelper* c)
{
    return Variant::fromDate(plat::StrToDateTime(text(c, 0)));
}

// The platform's rule: "True" and "False" in any case, or a number (not 0
// is True).
Variant fnStrToBool(TzsMethodHelper* c)
{
    const QString s = text(c, 0);
    if (plat::SameText(s, u"True"))
        return Variant(true);
    if (plat::SameText(s, u"False"))
        return Variant(false);
    long double value = 0;
    if (plat::TryStrToFloat(s, value))
        return Variant(value != 0);
    throw plat::EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(s));
}

// ---------------------------------------------------------------- ctFormat

// One Format argument by the value's kind. Texts are passed whole, however
// long they are.
plat::FormatArg formatArg(const Variant& v)
{
    switch (v.type()) {
    case plat::varSmallint:
    case plat::varInteger:
    case plat::varShortInt:
    case plat::varByte:
    case plat::varWord: return plat::FormatArg(int(v.rawInteger()));
    // Unsigned 32-bit values keep their value instead of turning negative.
    case plat::varLongWord:
    case plat::varInt64: return plat::FormatArg(qint64(v.rawInteger()));
    case plat::varSingle:
    case plat::varDouble:
    case plat::varDate: return plat::FormatArg(static_cast<long double>(v.rawDouble()));
    case plat::varCurrency: return plat::FormatArg(static_cast<long double>(v.toDouble()));
    case plat::varString:
    case plat::varOleStr: return plat::FormatArg(v.rawString());
    case plat::varBoolean: return plat::FormatArg(v.rawInteger() != 0);
    default: return plat::FormatArg(0);
    }
}

Variant fnFormat(TzsMethodHelper* c)
{
    const QString format = text(c, 0);
    const Variant values = arg(c, 1);
    std::vector<plat::FormatArg> args;
    if (values.isArray()) {
        const int low = plat::VarArrayLowBound(values, 1);
        const int high = plat::VarArrayHighBound(values, 1);
        args.reserve(size_t(std::max(0, high - low + 1)));
        for (int i = low; i <= high; ++i)
            args.push_back(formatArg(plat::VarArrayGet(values, {i})));
    } else {
        // A single value counts as one argument.
        args.push_back(formatArg(values));
    }
    return Variant(plat::Format(format, std::span<const plat::FormatArg>(args)));
}

Variant fnFormatFloat(TzsMethodHelper* c)
{
    return Variant(plat::FormatFloat(text(c, 0), static_cast<long double>(asFloat(c, 1))));
}

Variant fnFormatDateTime(TzsMethodHelper* c)
{
    return Variant(plat::FormatDateTime(text(c, 0), number(c, 1)));
}

Variant fnFormatMaskText(TzsMethodHelper* c)
{
    return Variant(plat::FormatMaskText(text(c, 0), text(c, 1)));
}

// ---------------------------------------------------------------- ctDate

Variant fnEncodeDate(TzsMethodHelper* c)
{
    return Variant::fromDate(plat::EncodeDate(integer(c, 0), integer(c, 1), integer(c, 2)));
}

Variant fnDecodeDate(TzsMethodHelper* c)
{
    int year = 0, month = 0, day = 0;
    plat::DecodeDate(number(c, 0), year, month, day);
    c->SetParam(1, word(year));
    c->SetParam(2, word(month));
    c->SetParam(3, word(day));
    return plat::Null();
}

Variant fnEncodeTime(TzsMethodHelper* c)
{
    return Variant::fromDate(plat::EncodeTime(integer(c, 0), integer(c, 1), integer(c, 2), integer(c, 3)));
}

Variant fnDecodeTime(TzsMethodHelper* c)
{
    int hour = 0, min = 0, sec = 0, msec = 0;
    plat::DecodeTime(number(c, 0), hour, min, sec, msec);
    c->SetParam(1, word(hour));
    c->SetParam(2, word(min));
    c->SetParam(3, word(sec));
    c->SetParam(4, word(msec));
    return plat::Null();
}

Variant fnDate(TzsMethodHelper*)
{
    return Variant::fromDate(plat::Date());
}

Variant fnTime(TzsMethodHelper*)
{
    return Variant::fromDate(plat::Time());
}

Variant fnNow(TzsMethodHelper*)
{
    return Variant::fromDate(plat::Now());
}

Variant fnDayOfWeek(TzsMethodHelper* c)
{
    return word(plat::DayOfWeek(number(c, 0)));
}

Variant fnIsLeapYear(TzsMethodHelper* c)
{
    return Variant(plat::IsLeapYear(integer(c, 0)));
}

// A month outside 1..12 raises the platform's date error.
Variant fnDaysInMonth(TzsMethodHelper* c)
{
    return Variant(plat::DaysInMonth(integer(c, 0), integer(c, 1)));
}

// ---------------------------------------------------------------- ctString

Variant fnLength(TzsMethodHelper* c)
{
    const Variant v = arg(c, 0);
    if (v.isArray())
        return Variant(plat::VarArrayHighBound(v, 1) - plat::VarArrayLowBound(v, 1) + 1);
    return Variant(int(plat::VarToStr(v).size()));
}

Variant fnCopy(TzsMethodHelper* c)
{
    const QString s = text(c, 0);
    const qint64 from = std::max<qint64>(1, integer(c, 1));
    const qint64 count = integer(c, 2);
    if (count <= 0 || from > s.size())
        return Variant(QString());
    return Variant(s.mid(from - 1, std::min<qint64>(count, s.size() - from + 1)));
}

Variant fnPos(TzsMethodHelper* c)
{
    const QString sub = text(c, 0);
    if (sub.isEmpty())
        return Variant(0);
    return Variant(int(text(c, 1).indexOf(sub) + 1));
}

Variant fnDelete(TzsMethodHelper* c)
{
    QString s = text(c, 0);
    const qint64 from = integer(c, 1);
    const qint64 count = integer(c, 2);
    if (from >= 1 && from <= s.size() && count > 0)
        s.remove(from - 1, std::min<qint64>(count, s.size() - from + 1));
    c->SetParam(0, Variant(s));
    return plat::Null();
}

Variant fnInsert(TzsMethodHelper* c)
{
    const QString source = text(c, 0);
    QString target = text(c, 1);
    const qint64 pos = std::clamp<qint64>(integer(c, 2), 1, target.size() + 1);
    target.insert(pos - 1, source);
    c->SetParam(1, Variant(target));
    return plat::Null();
}

Variant fnUppercase(TzsMethodHelper* c)
{
    return Variant(plat::AnsiUpperCase(text(c, 0)));
}

Variant fnLowercase(TzsMethodHelper* c)
{
    return Variant(plat::AnsiLowerCase(text(c, 0)));
}

// Blanks and control characters (everything up to the space) at both ends.
Variant fnTrim(TzsMethodHelper* c)
{
    const QString s = text(c, 0);
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s.at(first).unicode() <= u' ')
        ++first;
    while (last > first && s.at(last - 1).unicode() <= u' ')
        --last;
    return Variant(s.mid(first, last - first));
}

Variant fnNameCase(TzsMethodHelper* c)
{
    const QString s = text(c, 0);
    QString result = plat::AnsiLowerCase(s);
    for (qsizetype i = 0; i < result.size() && i < s.size(); ++i)
        if (i == 0 || s.at(i - 1) == u' ')
            result[i] = plat::ansiUpperChar(result.at(i));
    return Variant(result);
}

Variant fnCompareText(TzsMethodHelper* c)
{
    const int r = plat::AnsiCompareText(text(c, 0), text(c, 1));
    return Variant(r < 0 ? -1 : (r > 0 ? 1 : 0));
}

// Character codes are those of the 8-bit code page (1250), as the texts
// that scripts write to files and printers.
Variant fnChr(TzsMethodHelper* c)
{
    const char byte = char(integer(c, 0) & 0xFF);
    return Variant(plat::cp1250ToUnicode(QByteArrayView(&byte, 1)));
}

Variant fnOrd(TzsMethodHelper* c)
{
    const QString s = text(c, 0);
    if (s.isEmpty())
        throw plat::EConvertError(QStringLiteral("Ord of an empty text"));
    const QByteArray bytes = plat::unicodeToCp1250(QStringView(s).left(1));
    return Variant::fromInteger(quint8(bytes.at(0)), plat::varByte);
}

Variant resizedArray(const Variant& array, int highBound)
{
    const int dims = plat::VarArrayDimCount(array);
    const int low = plat::VarArrayLowBound(array, 1);
    highBound = std::max(highBound, low - 1);
    if (dims == 1) {
        Variant result = array;
        plat::VarArrayRedim(result, highBound);
        return result;
    }
    // The first dimension varies fastest in storage, so resizing it moves
    // every element: copy into a new array of the new shape.
    std::vector<plat::TVarArrayBound> bounds(static_cast<size_t>(dims));
    for (int d = 1; d <= dims; ++d)
        bounds[size_t(d - 1)] = {plat::VarArrayLowBound(array, d), plat::VarArrayHighBound(array, d)};
    const int oldHigh = bounds[0].HighBound;
    bounds[0].HighBound = highBound;
    Variant result = plat::VarArrayCreate(bounds, array.arrayData()->elementType);
    const int keep = std::min(oldHigh, highBound);
    const plat::TVarArrayBound second = bounds[1];
    const plat::TVarArrayBound third = dims > 2 ? bounds[2] : plat::TVarArrayBound{0, 0};
    for (int i = low; i <= keep; ++i)
        for (int j = second.LowBound; j <= second.HighBound; ++j)
            for (int k = third.LowBound; k <= third.HighBound; ++k) {
                const int idx3[3] = {i, j, k};
                const std::span<const int> idx(idx3, size_t(dims));
                plat::VarArrayPut(result, plat::VarArrayGet(array, idx), idx);
            }
    return result;
}

// A text is cut or padded with #0 characters; an array gets the high bound
// L - 1 in its first dimension, keeping the elements that remain.
Variant fnSetLength(TzsMethodHelper* c)
{
    const Variant v = arg(c, 0);
    const int length = integer(c, 1);
    if (v.isString()) {
        QString s = v.rawString();
        const qsizetype n = std::max(0, length);
        if (n < s.size())
            s.truncate(n);
        else
            s.append(QString(n - s.size(), QChar(u'\0')));
        c->SetParam(0, v.type() == plat::varOleStr ? Variant::fromOleStr(s) : Variant(s));
        return plat::Null();
    }
    if (!v.isArray())
        throw plat::EVariantInvalidArgError(QStringLiteral("Invalid argument"));
    c->SetParam(0, resizedArray(v, length - 1));
    return plat::Null();
}

// ---------------------------------------------------------------- ctMath

[[noreturn]] void raiseIntOverflow()
{
    throw plat::EIntOverflow(QStringLiteral("Integer overflow"));
}

// A 32-bit integer from an already integral float, or an overflow error.
Variant checkedInteger(double integral)
{
    if (std::isnan(integral))
        throw plat::EInvalidOp(QStringLiteral("Invalid floating point operation"));
    if (integral < double(INT_MIN) || integral > double(INT_MAX))
        raiseIntOverflow();
    return Variant(int(integral));
}

// Floating-point faults surface as the platform's math errors instead of
// NaN or infinity travelling on through the script.
Variant checkedFloat(double argument, double result)
{
    if (std::isnan(result) && !std::isnan(argument))
        throw plat::EInvalidOp(QStringLiteral("Invalid floating point operation"));
    if (std::isinf(result) && !std::isinf(argument))
        throw plat::EOverflow(QStringLiteral("Floating point overflow"));
    return Variant(result);
}

Variant fnRound(TzsMethodHelper* c)
{
    return checkedInteger(std::nearbyint(asFloat(c, 0)));
}

Variant fnTrunc(TzsMethodHelper* c)
{
    return checkedInteger(std::trunc(asFloat(c, 0)));
}

Variant fnInt(TzsMethodHelper* c)
{
    return Variant(std::trunc(asFloat(c, 0)));
}

Variant fnFrac(TzsMethodHelper* c)
{
    const double x = asFloat(c, 0);
    return Variant(x - std::trunc(x));
}

Variant fnSqrt(TzsMethodHelper* c)
{
    const double x = asFloat(c, 0);
    return checkedFloat(x, std::sqrt(x));
}

Variant fnAbs(TzsMethodHelper* c)
{
    return Variant(std::fabs(asFloat(c, 0)));
}

Variant fnSin(TzsMethodHelper* c)
{
    const double x = asFloat(c, 0);
    return checkedFloat(x, std::sin(x));
}

Variant fnCos(TzsMethodHelper* c)
{
    const double x = asFloat(c, 0);
    return checkedFloat(x, std::cos(x));
}

Variant fnArcTan(TzsMethodHelper* c)
{
    return Variant(std::atan(asFloat(c, 0)));
}

Variant fnTan(TzsMethodHelper* c)
{
    const double x = asFloat(c, 0);
    return checkedFloat(x, std::sin(x) / std::cos(x));
}

Variant fnExp(TzsMethodHelper* c)
{
    const double x = asFloat(c, 0);
    return checkedFloat(x, std::exp(x));
}

Variant fnLn(TzsMethodHelper* c)
{
    const double x = asFloat(c, 0);
    if (x == 0)
        throw plat::EZeroDivide(QStringLiteral("Floating point division by zero"));
    return checkedFloat(x, std::log(x));
}

Variant fnPi(TzsMethodHelper*)
{
    return Variant(3.1415926535897932385);
}

// ---------------------------------------------------------------- ctOther

Variant fnInc(TzsMethodHelper* c)
{
    c->SetParam(0, plat::VarAdd(arg(c, 0), arg(c, 1)));
    return plat::Null();
}

Variant fnDec(TzsMethodHelper* c)
{
    c->SetParam(0, plat::VarSub(arg(c, 0), arg(c, 1)));
    return plat::Null();
}

Variant fnRaiseException(TzsMethodHelper* c)
{
    throw plat::Exception(plat::VarToStr(arg(c, 0)));
}

Variant fnShowMessage(TzsMethodHelper* c)
{
    plat::ShowMessage(plat::VarToStr(arg(c, 0)));
    return plat::Null();
}

// One generator for the process; without Randomize the sequence repeats
// from run to run, as the platform's.
std::mt19937_64& generator()
{
    static std::mt19937_64 g(0);
    return g;
}

Variant fnRandomize(TzsMethodHelper*)
{
    generator().seed(quint64(std::chrono::system_clock::now().time_since_epoch().count()));
    return plat::Null();
}

Variant fnRandom(TzsMethodHelper*)
{
    // 53 random bits: at least 0 and always below 1.
    return Variant(double(generator()() >> 11) * 0x1.0p-53);
}

Variant fnValidInt(TzsMethodHelper* c)
{
    try {
        int value = 0;
        return Variant(plat::TryStrToInt(text(c, 0), value));
    } catch (const plat::Exception&) {
        return Variant(false);
    }
}

Variant fnValidFloat(TzsMethodHelper* c)
{
    try {
        long double value = 0;
        return Variant(plat::TryStrToFloat(text(c, 0), value));
    } catch (const plat::Exception&) {
        return Variant(false);
    }
}

Variant fnValidDate(TzsMethodHelper* c)
{
    try {
        const Variant v = arg(c, 0);
        const QString s = v.type() == plat::varDate ? plat::DateToStr(v.rawDouble()) : v.toString();
        plat::TDateTime date = 0;
        return Variant(plat::TryStrToDate(s, date));
    } catch (const plat::Exception&) {
        return Variant(false);
    }
}

// Up to and including the last '\', '/' or drive colon; the text itself is
// left as written.
Variant fnExtractFilePath(TzsMethodHelper* c)
{
    const QString s = text(c, 0);
    qsizetype i = s.size();
    while (i > 0 && s.at(i - 1) != u'\\' && s.at(i - 1) != u'/' && s.at(i - 1) != u':')
        --i;
    return Variant(s.left(i));
}

Variant fnCreateOleObject(TzsMethodHelper* c)
{
    return zsCreateOleObject(text(c, 0));
}

Variant fnVarArrayCreate(TzsMethodHelper* c)
{
    const Variant bounds = arg(c, 0);
    const int type = integer(c, 1);
    std::vector<int> values;
    if (bounds.isArray()) {
        const int low = plat::VarArrayLowBound(bounds, 1);
        const int high = plat::VarArrayHighBound(bounds, 1);
        for (int i = low; i <= high; ++i)
            values.push_back(plat::VarArrayGet(bounds, {i}).toInteger());
    }
    if (values.empty() || values.size() % 2 != 0)
        throw plat::EVariantArrayCreateError(QStringLiteral("Error creating variant or safe array"));
    std::vector<plat::TVarArrayBound> dims;
    for (size_t i = 0; i < values.size(); i += 2)
        dims.push_back({values[i], values[i + 1]});
    return plat::VarArrayCreate(dims, plat::TVarType(type));
}

Variant fnVarType(TzsMethodHelper* c)
{
    return word(arg(c, 0).type());
}

// ---------------------------------------------------------------- tables

struct Function {
    const char* category;
    const char* prototype;
    Handler handler;
};

// The functions with their prototypes exactly as registered.
constexpr Function kFunctions[] = {
    {zs::kCategoryConv, "function IntToStr(i: Integer): String", fnIntToStr},
    {zs::kCategoryConv, "function FloatToStr(e: Extended): String", fnFloatToStr},
    {zs::kCategoryConv, "function DateToStr(e: Extended): String", fnDateToStr},
    {zs::kCategoryConv, "function TimeToStr(e: Extended): String", fnTimeToStr},
    {zs::kCategoryConv, "function DateTimeToStr(e: Extended): String", fnDateTimeToStr},
    {zs::kCategoryConv, "function BoolToStr(B: Boolean): string;", fnBoolToStr},
    {zs::kCategoryConv, "function VarToStr(v: Variant): String", fnVarToStr},
    {zs::kCategoryConv, "function StrToInt(s: String): Integer", fnStrToInt},
    {zs::kCategoryConv, "function StrToInt64(s: String): Int64", fnStrToInt64},
    {zs::kCategoryConv, "function StrToFloat(s: String): Extended", fnStrToFloat},
    {zs::kCategoryConv, "function StrToDate(s: String): Extended", fnStrToDate},
    {zs::kCategoryConv, "function StrToTime(s: String): Extended", fnStrToTime},
    {zs::kCategoryConv, "function StrToDateTime(s: String): Extended", fnStrToDateTime},
    {zs::kCategoryConv, "function StrToBool(const S: string): Boolean;", fnStrToBool},

    {zs::kCategoryFormat, "function Format(Fmt: String; Args: array): String", fnFormat},
    {zs::kCategoryFormat, "function FormatFloat(Fmt: String; Value: Extended): String", fnFormatFloat},
    {zs::kCategoryFormat, "function FormatDateTime(Fmt: String; DateTime: TDateTime): String", fnFormatDateTime},
    {zs::kCategoryFormat, "function FormatMaskText(EditMask: string; Value: string): string", fnFormatMaskText},

    {zs::kCategoryDate, "function EncodeDate(Year, Month, Day: Word): TDateTime", fnEncodeDate},
    {zs::kCategoryDate, "procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", fnDecodeDate},
    {zs::kCategoryDate, "function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", fnEncodeTime},
    {zs::kCategoryDate, "procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", fnDecodeTime},
    {zs::kCategoryDate, "function Date: TDateTime", fnDate},
    {zs::kCategoryDate, "function Time: TDateTime", fnTime},
    {zs::kCategoryDate, "function Now: TDateTime", fnNow},
    {zs::kCategoryDate, "function DayOfWeek(aDate: TDateTime): Integer", fnDayOfWeek},
    {zs::kCategoryDate, "function IsLeapYear(Year: Word): Boolean", fnIsLeapYear},
    {zs::kCategoryDate, "function DaysInMonth(nYear, nMonth: Integer): Integer", fnDaysInMonth},

    {zs::kCategoryString, "function Length(s: Variant): Integer", fnLength},
    {zs::kCategoryString, "function Copy(s: String; from, count: Integer): String", fnCopy},
    {zs::kCategoryString, "function Pos(substr, s: String): Integer", fnPos},
    {zs::kCategoryString, "procedure Delete(var s: String; from, count: Integer)", fnDelete},
    {zs::kCategoryString, "procedure DeleteStr(var s: String; from, count: Integer)", fnDelete},
    {zs::kCategoryString, "procedure Insert(s: String; var s2: String; pos: Integer)", fnInsert},
    {zs::kCategoryString, "function Uppercase(s: String): String", fnUppercase},
    {zs::kCategoryString, "function Lowercase(s: String): String", fnLowercase},
    {zs::kCategoryString, "function Trim(s: String): String", fnTrim},
    {zs::kCategoryString, "function NameCase(s: String): String", fnNameCase},
    {zs::kCategoryString, "function CompareText(s, s1: String): Integer", fnCompareText},
    {zs::kCategoryString, "function Chr(i: Integer): Char", fnChr},
    {zs::kCategoryString, "function Ord(ch: Char): Integer", fnOrd},
    {zs::kCategoryString, "procedure SetLength(var S: Variant; L: Integer)", fnSetLength},

    {zs::kCategoryMath, "function Round(e: Extended): Integer", fnRound},
    {zs::kCategoryMath, "function Trunc(e: Extended): Integer", fnTrunc},
    {zs::kCategoryMath, "function Int(e: Extended): Integer", fnInt},
    {zs::kCategoryMath, "function Frac(X: Extended): Extended", fnFrac},
    {zs::kCategoryMath, "function Sqrt(e: Extended): Extended", fnSqrt},
    {zs::kCategoryMath, "function Abs(e: Extended): Extended", fnAbs},
    {zs::kCategoryMath, "function Sin(e: Extended): Extended", fnSin},
    {zs::kCategoryMath, "function Cos(e: Extended): Extended", fnCos},
    {zs::kCategoryMath, "function ArcTan(X: Extended): Extended", fnArcTan},
    {zs::kCategoryMath, "function Tan(X: Extended): Extended", fnTan},
    {zs::kCategoryMath, "function Exp(X: Extended): Extended", fnExp},
    {zs::kCategoryMath, "function Ln(X: Extended): Extended", fnLn},
    {zs::kCategoryMath, "function Pi: Extended", fnPi},

    {zs::kCategoryOther, "procedure Inc(var i: Integer; incr: Integer = 1)", fnInc},
    {zs::kCategoryOther, "procedure Dec(var i: Integer; decr: Integer = 1)", fnDec},
    {zs::kCategoryOther, "procedure RaiseException(Param: String)", fnRaiseException},
    {zs::kCategoryOther, "procedure ShowMessage(Msg: Variant)", fnShowMessage},
    {zs::kCategoryOther, "procedure Randomize", fnRandomize},
    {zs::kCategoryOther, "function Random: Extended", fnRandom},
    {zs::kCategoryOther, "function ValidInt(cInt: String): Boolean", fnValidInt},
    {zs::kCategoryOther, "function ValidFloat(cFlt: String): Boolean", fnValidFloat},
    {zs::kCategoryOther, "function ValidDate(cDate: String): Boolean", fnValidDate},
    {zs::kCategoryOther, "function ExtractFilePath(const FileName: string): string;", fnExtractFilePath},
    {zs::kCategoryOther, "function CreateOleObject(ClassName: String): Variant", fnCreateOleObject},
    {zs::kCategoryOther, "function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", fnVarArrayCreate},
    {zs::kCategoryOther, "function VarType(V: Variant): Integer", fnVarType},
};

constexpr const char* kCategories[] = {zs::kCategoryConv,   zs::kCategoryFormat, zs::kCategoryDate,
                                       zs::kCategoryString, zs::kCategoryMath,   zs::kCategoryOther};

struct Type {
    const char* name;
    TzsVarType kind;
};

constexpr Type kTypes[] = {
    {"Byte", fvtInt},        {"Word", fvtInt},      {"Integer", fvtInt},      {"Longint", fvtInt},
    {"Cardinal", fvtInt},    {"TColor", fvtInt},    {"TAlphaColor", fvtInt},  {"Int64", fvtInt64},
    {"Boolean", fvtBool},    {"Real", fvtFloat},    {"Single", fvtFloat},     {"Double", fvtFloat},
    {"Extended", fvtFloat},  {"Currency", fvtFloat}, {"TDate", fvtFloat},     {"TTime", fvtFloat},
    {"TDateTime", fvtFloat}, {"Char", fvtChar},     {"String", fvtString},    {"Variant", fvtVariant},
    {"Pointer", fvtVariant}, {"Array", fvtArray},   {"Constructor", fvtConstructor},
};

struct Constant {
    const char* name;
    int value;
};

constexpr Constant kVarTypeCodes[] = {
    {"varEmpty", plat::varEmpty},       {"varNull", plat::varNull},         {"varSmallint", plat::varSmallint},
    {"varInteger", plat::varInteger},   {"varSingle", plat::varSingle},     {"varDouble", plat::varDouble},
    {"varCurrency", plat::varCurrency}, {"varDate", plat::varDate},         {"varOleStr", plat::varOleStr},
    {"varDispatch", plat::varDispatch}, {"varError", plat::varError},       {"varBoolean", plat::varBoolean},
    {"varVariant", plat::varVariant},   {"varUnknown", plat::varUnknown},   {"varShortInt", plat::varShortInt},
    {"varByte", plat::varByte},         {"varWord", plat::varWord},         {"varLongWord", plat::varLongWord},
    {"varInt64", plat::varInt64},       {"varStrArg", plat::varStrArg},     {"varString", plat::varString},
    {"varAny", plat::varAny},           {"varTypeMask", plat::varTypeMask}, {"varArray", plat::varArray},
    {"varByRef", plat::varByRef},
};

// The upper-cased name of a prototype: the word after the kind.
QString prototypeName(const char* prototype)
{
    const QString p = QString::fromLatin1(prototype);
    const qsizetype start = p.indexOf(u' ') + 1;
    qsizetype end = start;
    while (end < p.size() && (p.at(end).isLetterOrNumber() || p.at(end) == u'_'))
        ++end;
    return p.mid(start, end - start).toUpper();
}

// Per category: upper-cased name to handler.
const QHash<QString, Handler>& handlersOf(const char* category)
{
    static const auto tables = [] {
        std::vector<QHash<QString, Handler>> t(std::size(kCategories));
        for (const Function& f : kFunctions)
            for (size_t i = 0; i < std::size(kCategories); ++i)
                if (f.category == kCategories[i])
                    t[i].insert(prototypeName(f.prototype), f.handler);
        return t;
    }();
    for (size_t i = 0; i < std::size(kCategories); ++i)
        if (category == kCategories[i])
            return tables[i];
    static const QHash<QString, Handler> none;
    return none;
}

// The call event of one category: tells its functions apart by name.
TzsCallMethodEvent categoryEvent(const char* category)
{
    const QHash<QString, Handler>* handlers = &handlersOf(category);
    return [handlers](plat::TObject*, const plat::TClass*, const QString& name, TzsMethodHelper* caller) {
        const Handler h = handlers->value(name);
        return h ? h(caller) : plat::Null();
    };
}

TzsRTTIModule* createSysFunctions(TzsScript* script)
{
    return new TzsSysFunctions(script);
}

} // namespace

TzsSysFunctions::TzsSysFunctions(TzsScript* script) : TzsRTTIModule(script)
{
    for (const Type& t : kTypes)
        script->AddType(QString::fromLatin1(t.name), t.kind);

    script->AddConst(QStringLiteral("True"), QStringLiteral("Boolean"), Variant(true));
    script->AddConst(QStringLiteral("False"), QStringLiteral("Boolean"), Variant(false));
    script->AddConst(QStringLiteral("nil"), QStringLiteral("Variant"), Variant::fromInteger(0, plat::varShortInt));
    script->AddConst(QStringLiteral("Null"), QStringLiteral("Variant"), plat::Null());
    for (const Constant& k : kVarTypeCodes)
        script->AddConst(QString::fromLatin1(k.name), QStringLiteral("Integer"), Variant(k.value));

    script->Add(QStringLiteral("__StringHelper"), new TzsStringHelper(QStringLiteral("__StringHelper")));
    script->Add(QStringLiteral("__ArrayHelper"),
                new TzsArrayHelper(QStringLiteral("__ArrayHelper"), fvtVariant, QStringLiteral("Variant"), 3, 1));
    script->AddVariable(QStringLiteral("ExceptionClassName"), QStringLiteral("String"), Variant(QString()));
    script->AddVariable(QStringLiteral("ExceptionMessage"), QStringLiteral("String"), Variant(QString()));

    for (const char* category : kCategories) {
        const TzsCallMethodEvent event = categoryEvent(category);
        const QString categoryName = QString::fromLatin1(category);
        for (const Function& f : kFunctions)
            if (f.category == category)
                script->AddMethod(QString::fromLatin1(f.prototype), event, categoryName);
    }
}

TzsRTTIModuleClass zsSysFunctionsClass()
{
    return &createSysFunctions;
}

void zsRegisterSysFunctions()
{
    auto& modules = zsRTTIModules();
    if (std::find(modules.begin(), modules.end(), zsSysFunctionsClass()) == modules.end())
        modules.insert(modules.begin(), zsSysFunctionsClass());
}
