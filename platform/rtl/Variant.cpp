#include "Variant.h"

#include "DateUtils.h"
#include "Exceptions.h"
#include "SysUtils.h"
#include "Variant_p.h"

#include <cfloat>
#include <cmath>

namespace plat {

IDispatch::~IDispatch() = default;

// ---------------------------------------------------------------------------
// Errors

namespace detail {

void raiseCastError(TVarType from, TVarType to)
{
    throw EVariantTypeCastError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                                    .arg(VarTypeAsText(from), VarTypeAsText(to)));
}

void raiseConvertOverflow(TVarType from, TVarType to)
{
    throw EVariantOverflowError(QStringLiteral("Overflow while converting variant of type (%1) into type (%2)")
                                    .arg(VarTypeAsText(from), VarTypeAsText(to)));
}

void raiseInvalidOp() { throw EVariantInvalidOpError(QStringLiteral("Invalid variant operation")); }
void raiseBadIndex() { throw EVariantBadIndexError(QStringLiteral("Variant or safe array index out of bounds")); }
void raiseInvalidArg() { throw EVariantInvalidArgError(QStringLiteral("Invalid argument")); }
void raiseDivByZero() { throw EDivByZero(QStringLiteral("Division by zero")); }
void raiseZeroDivide() { throw EZeroDivide(QStringLiteral("Floating point division by zero")); }
void raiseInvalidFloatOp() { throw EInvalidOp(QStringLiteral("Invalid floating point operation")); }
void raiseFloatOverflow() { throw EOverflow(QStringLiteral("Floating point overflow")); }
void raiseIntOverflow() { throw EIntOverflow(QStringLiteral("Integer overflow")); }

bool roundToInt64(double value, qint64& result) noexcept
{
    if (!std::isfinite(value))
        return false;
    const double r = std::nearbyint(value); // default rounding mode: half to even
    if (r < -9223372036854775808.0 || r >= 9223372036854775808.0)
        return false;
    result = static_cast<qint64>(r);
    return true;
}

} // namespace detail

using namespace detail;

namespace {

[[noreturn]] void raiseArrayCreate()
{
    throw EVariantArrayCreateError(QStringLiteral("Error creating variant or safe array"));
}

[[noreturn]] void raiseBadVarType() { throw EVariantBadVarTypeError(QStringLiteral("Invalid variant type")); }

bool isIntegerType(TVarType t) noexcept
{
    switch (t) {
    case varShortInt: case varByte: case varSmallint: case varWord:
    case varInteger: case varLongWord: case varInt64:
        return true;
    default:
        return false;
    }
}

bool integerFits(qint64 value, TVarType t) noexcept
{
    switch (t) {
    case varShortInt: return value >= -128 && value <= 127;
    case varByte: return value >= 0 && value <= 255;
    case varSmallint: return value >= -32768 && value <= 32767;
    case varWord: return value >= 0 && value <= 65535;
    case varInteger: return value >= INT32_MIN && value <= INT32_MAX;
    case varLongWord: return value >= 0 && value <= UINT32_MAX;
    default: return true;
    }
}

// Half-to-even division of a scaled value, for Currency to integer.
qint64 divRoundHalfEven(qint64 value, qint64 divisor) noexcept
{
    qint64 q = value / divisor;
    const qint64 r = value % divisor;
    const qint64 twice = 2 * (r < 0 ? -r : r);
    if (twice > divisor || (twice == divisor && (q & 1) != 0))
        q += value < 0 ? -1 : 1;
    return q;
}

bool textToBoolean(const QString& text, bool& result)
{
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        result = true;
        return true;
    }
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        result = false;
        return true;
    }
    double d = 0;
    if (TryStrToFloat(text, d)) {
        result = d != 0;
        return true;
    }
    return false;
}

// The value as Int64 for a conversion to `target` (named in errors).
qint64 convertToInt64(const Variant& v, TVarType target)
{
    switch (v.type()) {
    case varEmpty:
        return 0;
    case varBoolean:
    case varShortInt: case varByte: case varSmallint: case varWord:
    case varInteger: case varLongWord: case varInt64:
        return v.rawInteger();
    case varSingle: case varDouble: case varDate: {
        qint64 r = 0;
        if (!roundToInt64(v.rawDouble(), r))
            raiseConvertOverflow(v.type(), target);
        return r;
    }
    case varCurrency:
        return divRoundHalfEven(v.rawInteger(), kCurrencyScale);
    case varString: case varOleStr: {
        qint64 r = 0;
        if (TryStrToInt64(v.rawString(), r))
            return r;
        double d = 0;
        if (!TryStrToFloat(v.rawString(), d))
            raiseCastError(v.type(), target);
        if (!roundToInt64(d, r))
            raiseConvertOverflow(v.type(), target);
        return r;
    }
    default:
        raiseCastError(v.type(), target);
    }
}

double convertToDouble(const Variant& v, TVarType target)
{
    switch (v.type()) {
    case varEmpty:
        return 0;
    case varBoolean:
    case varShortInt: case varByte: case varSmallint: case varWord:
    case varInteger: case varLongWord: case varInt64:
        return static_cast<double>(v.rawInteger());
    case varSingle: case varDouble: case varDate:
        return v.rawDouble();
    case varCurrency:
        return static_cast<double>(static_cast<long double>(v.rawInteger()) / kCurrencyScale);
    case varString: case varOleStr: {
        double d = 0;
        if (!TryStrToFloat(v.rawString(), d))
            raiseCastError(v.type(), target);
        return d;
    }
    default:
        raiseCastError(v.type(), target);
    }
}

qint64 scaleToCurrency(double value, TVarType from)
{
    qint64 r = 0;
    if (!roundToInt64(value * kCurrencyScale, r))
        raiseConvertOverflow(from, varCurrency);
    return r;
}

Variant zeroValue(TVarType t)
{
    switch (t) {
    case varVariant: return Variant();
    case varString: return Variant(QString());
    case varOleStr: return Variant::fromOleStr(QString());
    case varBoolean: return Variant(false);
    case varSingle: return Variant(0.0f);
    case varDouble: return Variant(0.0);
    case varCurrency: return Variant::fromCurrencyScaled(0);
    case varDate: return Variant::fromDate(0);
    case varDispatch: return Variant(std::shared_ptr<IDispatch>());
    case varUnknown: return Variant::fromUnknown(nullptr);
    case varError: return Variant::fromError(0);
    default: return Variant::fromInteger(0, t);
    }
}

bool isValidElementType(TVarType t) noexcept
{
    switch (t) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varCurrency:
    case varDate: case varOleStr: case varDispatch: case varError: case varBoolean:
    case varVariant: case varUnknown: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64: case varString:
        return true;
    default:
        return false;
    }
}

// Keeps allocation failures of absurd bounds (a script asking for billions of
// elements) a script error instead of an abort.
constexpr qint64 kMaxArrayElements = qint64(1) << 26;

} // namespace

// ---------------------------------------------------------------------------
// Lifetime

void Variant::copyFrom(const Variant& other)
{
    if (other.m_type == varString || other.m_type == varOleStr)
        new (&m_str) QString(other.m_str);
    else if (other.m_type == varDispatch || other.m_type == varUnknown)
        new (&m_disp) std::shared_ptr<IDispatch>(other.m_disp);
    else
        new (&m_arr) std::shared_ptr<detail::VarArrayData>(other.m_arr);
}

void Variant::moveFrom(Variant&& other) noexcept
{
    if (other.m_type == varString || other.m_type == varOleStr)
        new (&m_str) QString(std::move(other.m_str));
    else if (other.m_type == varDispatch || other.m_type == varUnknown)
        new (&m_disp) std::shared_ptr<IDispatch>(std::move(other.m_disp));
    else
        new (&m_arr) std::shared_ptr<detail::VarArrayData>(std::move(other.m_arr));
    other.destroy();
    other.m_type = varEmpty;
    other.m_i64 = 0;
}

void Variant::destroy() noexcept
{
    if (m_type == varString || m_type == varOleStr)
        m_str.~QString();
    else if (m_type == varDispatch || m_type == varUnknown)
        m_disp.~shared_ptr();
    else if (m_type & varArray)
        m_arr.~shared_ptr();
}

Variant& Variant::assign(const Variant& other)
{
    if (this == &other)
        return *this;
    const bool texts = (m_type == varString || m_type == varOleStr)
                    && (other.m_type == varString || other.m_type == varOleStr);
    if (texts) {
        // Text over text, the common store of a script: the string's own assignment.
        m_str = other.m_str;
        m_type = other.m_type;
        return *this;
    }
    if (isTrivialType(m_type)) {
        // Nothing to release here, so the other cannot live inside this value.
        copyFrom(other);
        m_type = other.m_type;
        return *this;
    }
    Variant copy(other);
    return *this = std::move(copy);
}

Variant& Variant::assign(Variant&& other) noexcept
{
    if (this == &other)
        return *this;
    if (isTrivialType(m_type)) {
        m_type = other.m_type;
        moveFrom(std::move(other));
        return *this;
    }
    // Take the value out first: it may live inside the array we are about to drop.
    Variant taken(std::move(other));
    if (!isTrivialType(m_type))
        destroy();
    m_type = taken.m_type;
    if (isTrivialType(m_type))
        m_i64 = taken.m_i64;
    else
        moveFrom(std::move(taken));
    return *this;
}

void Variant::clear() noexcept
{
    if (!isTrivialType(m_type))
        destroy();
    m_type = varEmpty;
    m_i64 = 0;
}

// ---------------------------------------------------------------------------
// Factories

Variant Variant::fromInteger(qint64 value, TVarType integerType)
{
    if (!isIntegerType(integerType))
        raiseBadVarType();
    if (!integerFits(value, integerType))
        raiseConvertOverflow(varInt64, integerType);
    Variant v;
    v.m_type = integerType;
    v.m_i64 = value;
    return v;
}

Variant Variant::fromCurrency(double value)
{
    return fromCurrencyScaled(scaleToCurrency(value, varDouble));
}

Variant Variant::fromCurrencyScaled(qint64 scaled) noexcept
{
    Variant v;
    v.m_type = varCurrency;
    v.m_i64 = scaled;
    return v;
}

Variant Variant::fromDate(double dateTime) noexcept
{
    Variant v;
    v.m_type = varDate;
    v.m_dbl = dateTime;
    return v;
}

Variant Variant::fromOleStr(QString value)
{
    Variant v(std::move(value));
    v.m_type = varOleStr;
    return v;
}

Variant Variant::fromError(qint32 code) noexcept
{
    Variant v;
    v.m_type = varError;
    v.m_i64 = code;
    return v;
}

Variant Variant::fromUnknown(std::shared_ptr<IDispatch> object) noexcept
{
    Variant v(std::move(object));
    v.m_type = varUnknown;
    return v;
}

// ---------------------------------------------------------------------------
// Conversions

int Variant::toInteger() const
{
    if (m_type == varInteger)
        return static_cast<int>(m_i64);
    const qint64 r = convertToInt64(*this, varInteger);
    if (r < INT32_MIN || r > INT32_MAX)
        raiseConvertOverflow(m_type, varInteger);
    return static_cast<int>(r);
}

qint64 Variant::toInt64() const
{
    return convertToInt64(*this, varInt64);
}

double Variant::toDouble() const
{
    return convertToDouble(*this, varDouble);
}

bool Variant::toBoolean() const
{
    switch (m_type) {
    case varEmpty:
        return false;
    case varBoolean:
    case varShortInt: case varByte: case varSmallint: case varWord:
    case varInteger: case varLongWord: case varInt64: case varCurrency:
        return m_i64 != 0;
    case varSingle: case varDouble: case varDate:
        return m_dbl != 0;
    case varString: case varOleStr: {
        bool r = false;
        if (!textToBoolean(m_str, r))
            raiseCastError(m_type, varBoolean);
        return r;
    }
    default:
        raiseCastError(m_type, varBoolean);
    }
}

qint64 Variant::toCurrencyScaled() const
{
    switch (m_type) {
    case varCurrency:
        return m_i64;
    case varEmpty:
        return 0;
    case varBoolean:
    case varShortInt: case varByte: case varSmallint: case varWord:
    case varInteger: case varLongWord: case varInt64: {
        qint64 r = 0;
        if (__builtin_mul_overflow(m_i64, kCurrencyScale, &r))
            raiseConvertOverflow(m_type, varCurrency);
        return r;
    }
    default:
        return scaleToCurrency(convertToDouble(*this, varCurrency), m_type);
    }
}

double Variant::toDate() const
{
    if (m_type == varString || m_type == varOleStr) {
        TDateTime d = 0;
        if (!TryStrToDateTime(m_str, d))
            raiseCastError(m_type, varDate);
        return d;
    }
    return convertToDouble(*this, varDate);
}

QString Variant::toString() const
{
    switch (m_type) {
    case varString: case varOleStr:
        return m_str;
    case varEmpty:
        return QString();
    case varBoolean:
        return m_i64 ? QStringLiteral("True") : QStringLiteral("False");
    case varShortInt: case varByte: case varSmallint: case varWord:
    case varInteger: case varLongWord: case varInt64:
        return QString::number(m_i64);
    case varSingle:
        // A single carries 7 significant digits; more would show its binary noise.
        return FloatToStrF(m_dbl, ffGeneral, 7, 0);
    case varDouble:
        return FloatToStr(m_dbl);
    case varCurrency:
        return CurrToStr(static_cast<long double>(m_i64) / kCurrencyScale);
    case varDate:
        return DateTimeToStr(m_dbl);
    default:
        raiseCastError(m_type, varString);
    }
}

std::shared_ptr<IDispatch> Variant::toDispatch() const
{
    if (m_type == varDispatch || m_type == varUnknown)
        return m_disp;
    if (m_type == varEmpty)
        return nullptr;
    raiseCastError(m_type, varDispatch);
}

Variant VarAsType(const Variant& v, TVarType type)
{
    if (v.type() == type)
        return v;
    switch (type) {
    case varEmpty:
        return Variant();
    case varNull:
        return Variant::null();
    case varShortInt: case varByte: case varSmallint: case varWord:
    case varInteger: case varLongWord: case varInt64: {
        const qint64 r = convertToInt64(v, type);
        if (!integerFits(r, type))
            raiseConvertOverflow(v.type(), type);
        return Variant::fromInteger(r, type);
    }
    case varSingle: {
        const double d = convertToDouble(v, varSingle);
        if (std::isfinite(d) && std::fabs(d) > FLT_MAX)
            raiseConvertOverflow(v.type(), varSingle);
        return Variant(static_cast<float>(d));
    }
    case varDouble:
        return Variant(convertToDouble(v, varDouble));
    case varCurrency:
        return Variant::fromCurrencyScaled(v.toCurrencyScaled());
    case varDate:
        return Variant::fromDate(v.toDate());
    case varBoolean:
        return Variant(v.toBoolean());
    case varString:
        if (v.isNull())
            raiseCastError(varNull, varString);
        return Variant(v.toString());
    case varOleStr:
        if (v.isNull())
            raiseCastError(varNull, varOleStr);
        return Variant::fromOleStr(v.toString());
    case varVariant:
        return v;
    case varDispatch:
        return Variant(v.toDispatch());
    case varUnknown:
        return Variant::fromUnknown(v.toDispatch());
    case varError:
        raiseCastError(v.type(), varError);
    default:
        raiseBadVarType();
    }
}

// ---------------------------------------------------------------------------
// Kind tests and texts

bool VarIsClear(const Variant& v) noexcept
{
    if (v.isEmpty())
        return true;
    if (v.type() == varDispatch || v.type() == varUnknown)
        return v.toDispatch() == nullptr;
    return false;
}

bool VarIsType(const Variant& v, TVarType type) noexcept { return v.type() == type; }

bool VarIsOrdinal(const Variant& v) noexcept
{
    return v.type() == varBoolean || isIntegerType(v.type());
}

bool VarIsFloat(const Variant& v) noexcept
{
    const TVarType t = v.type();
    return t == varSingle || t == varDouble || t == varCurrency || t == varDate;
}

bool VarIsNumeric(const Variant& v) noexcept { return VarIsOrdinal(v) || VarIsFloat(v); }

QString VarTypeAsText(TVarType type)
{
    static const char* const kNames[] = {
        "Empty", "Null", "Smallint", "Integer", "Single", "Double", "Currency", "Date",
        "OleStr", "Dispatch", "Error", "Boolean", "Variant", "Unknown", "Decimal", "$000F",
        "ShortInt", "Byte", "Word", "LongWord", "Int64",
    };
    const TVarType base = type & varTypeMask;
    QString name;
    if (base < std::size(kNames))
        name = QLatin1String(kNames[base]);
    else if (base == varString)
        name = QStringLiteral("String");
    else if (base == varAny)
        name = QStringLiteral("Any");
    else
        name = QLatin1Char('$') + QString::number(base, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    if (type & varArray)
        name.prepend(QLatin1String("Array "));
    if (type & varByRef)
        name.prepend(QLatin1String("Ref "));
    return name;
}

QString VarToStr(const Variant& v)
{
    return VarToStrDef(v, QString());
}

QString VarToStrDef(const Variant& v, const QString& defaultValue)
{
    return v.isNull() ? defaultValue : v.toString();
}

double VarToDateTime(const Variant& v)
{
    return v.toDate();
}

// ---------------------------------------------------------------------------
// Arrays

Variant VariantAccess::makeArray(std::shared_ptr<detail::VarArrayData> data)
{
    Variant v;
    v.m_type = varArray | data->elementType;
    new (&v.m_arr) std::shared_ptr<detail::VarArrayData>(std::move(data));
    return v;
}

detail::VarArrayData* Variant::mutableArrayData()
{
    if (!isArray())
        return nullptr;
    if (m_arr.use_count() > 1)
        m_arr = std::make_shared<detail::VarArrayData>(*m_arr);
    return m_arr.get();
}

qsizetype detail::VarArrayData::offsetOf(std::span<const int> indices) const
{
    if (static_cast<int>(indices.size()) != dimCount)
        raiseBadIndex();
    qsizetype offset = 0;
    qsizetype stride = 1;
    for (int d = 0; d < dimCount; ++d) {
        const qint64 i = static_cast<qint64>(indices[d]) - lowBound[d];
        if (i < 0 || i >= count[d])
            raiseBadIndex();
        offset += i * stride;
        stride *= count[d];
    }
    return offset;
}

Variant VarArrayCreate(std::span<const TVarArrayBound> bounds, TVarType elementType)
{
    if (bounds.empty() || bounds.size() > detail::kMaxArrayDims || !isValidElementType(elementType))
        raiseArrayCreate();
    auto data = std::make_shared<detail::VarArrayData>();
    data->elementType = elementType;
    data->dimCount = static_cast<int>(bounds.size());
    qint64 total = 1;
    for (int d = 0; d < data->dimCount; ++d) {
        const qint64 n = static_cast<qint64>(bounds[d].HighBound) - bounds[d].LowBound + 1;
        if (n < 0 || n > kMaxArrayElements)
            raiseArrayCreate();
        data->lowBound[d] = bounds[d].LowBound;
        data->count[d] = static_cast<int>(n);
        total *= n;
        if (total > kMaxArrayElements)
            raiseArrayCreate();
    }
    data->items.assign(static_cast<size_t>(total), zeroValue(elementType));
    return VariantAccess::makeArray(std::move(data));
}

Variant VarArrayCreate(std::initializer_list<int> lowHighPairs, TVarType elementType)
{
    if (lowHighPairs.size() % 2 != 0)
        raiseArrayCreate();
    TVarArrayBound bounds[detail::kMaxArrayDims];
    const size_t dims = lowHighPairs.size() / 2;
    if (dims > detail::kMaxArrayDims)
        raiseArrayCreate();
    auto it = lowHighPairs.begin();
    for (size_t d = 0; d < dims; ++d) {
        bounds[d].LowBound = *it++;
        bounds[d].HighBound = *it++;
    }
    return VarArrayCreate(std::span<const TVarArrayBound>(bounds, dims), elementType);
}

Variant VarArrayOf(std::span<const Variant> values)
{
    if (static_cast<qint64>(values.size()) > kMaxArrayElements)
        raiseArrayCreate();
    auto data = std::make_shared<detail::VarArrayData>();
    data->elementType = varVariant;
    data->dimCount = 1;
    data->count[0] = static_cast<int>(values.size());
    data->items.assign(values.begin(), values.end());
    return VariantAccess::makeArray(std::move(data));
}

Variant VarArrayOf(std::initializer_list<Variant> values)
{
    return VarArrayOf(std::span<const Variant>(values.begin(), values.size()));
}

static const detail::VarArrayData& arrayOf(const Variant& a)
{
    const detail::VarArrayData* data = a.arrayData();
    if (!data)
        raiseInvalidArg();
    return *data;
}

int VarArrayDimCount(const Variant& a)
{
    const detail::VarArrayData* data = a.arrayData();
    return data ? data->dimCount : 0;
}

int VarArrayLowBound(const Variant& a, int dim)
{
    const detail::VarArrayData& data = arrayOf(a);
    if (dim < 1 || dim > data.dimCount)
        raiseBadIndex();
    return data.lowBound[dim - 1];
}

int VarArrayHighBound(const Variant& a, int dim)
{
    const detail::VarArrayData& data = arrayOf(a);
    if (dim < 1 || dim > data.dimCount)
        raiseBadIndex();
    return static_cast<int>(static_cast<qint64>(data.lowBound[dim - 1]) + data.count[dim - 1] - 1);
}

void VarArrayRedim(Variant& a, int highBound)
{
    arrayOf(a);
    detail::VarArrayData* data = a.mutableArrayData();
    const int last = data->dimCount - 1;
    const qint64 n = static_cast<qint64>(highBound) - data->lowBound[last] + 1;
    if (n < 0 || n > kMaxArrayElements)
        raiseArrayCreate();
    qint64 others = 1;
    for (int d = 0; d < last; ++d)
        others *= data->count[d];
    if (others * n > kMaxArrayElements)
        raiseArrayCreate();
    data->count[last] = static_cast<int>(n);
    data->items.resize(static_cast<size_t>(others * n), zeroValue(data->elementType));
}

Variant VarArrayGet(const Variant& a, std::span<const int> indices)
{
    const detail::VarArrayData& data = arrayOf(a);
    return data.items[static_cast<size_t>(data.offsetOf(indices))];
}

Variant VarArrayGet(const Variant& a, std::initializer_list<int> indices)
{
    return VarArrayGet(a, std::span<const int>(indices.begin(), indices.size()));
}

void VarArrayPut(Variant& a, const Variant& value, std::span<const int> indices)
{
    const detail::VarArrayData& shared = arrayOf(a);
    const qsizetype offset = shared.offsetOf(indices);
    // Convert (or copy) before detaching: the value may be this very array.
    Variant stored = shared.elementType == varVariant ? value : VarAsType(value, shared.elementType);
    a.mutableArrayData()->items[static_cast<size_t>(offset)] = std::move(stored);
}

void VarArrayPut(Variant& a, const Variant& value, std::initializer_list<int> indices)
{
    VarArrayPut(a, value, std::span<const int>(indices.begin(), indices.size()));
}

} // namespace plat
