#pragma once
// The platform's variant: one value of any of the kinds scripts and report
// objects pass around, with the platform's conversions and operators.
//
// Kinds and their type codes (VarType):
//   varEmpty, varNull, varShortInt/Byte/Smallint/Word/Integer/LongWord/Int64,
//   varSingle, varDouble, varCurrency (int64 scaled by 10^4), varDate (days
//   since 1899-12-30), varBoolean (true is -1 as a number), varString (the
//   8-bit string kind) and varOleStr (the wide kind) both holding a QString,
//   varDispatch / varUnknown (an automation object), varError (an error code)
//   and arrays (varArray | element type) of 1 to 3 dimensions with bounds.
//
// A Variant is a value: copying one copies its array (copy on write, so a
// copy costs nothing until one side changes). Scalars never allocate.
//
// Operators for the script engine: VarBinaryOp(op, a, b), VarNot(a) and
// VarNeg(a), or the named functions VarAdd ... VarCmpGE below; VarOpInPlace
// for `x := x op y`. In short: integers up to 32 bits compute as Integer and
// widen to Int64, then Double, on overflow; LongWord and Int64 as Int64;
// Single stays Single only with Single; Currency with integers stays
// Currency; a date plus or minus a number is a date; text meets numbers as a
// Double (text + text joins); Empty is 0 or empty text and Booleans are -1/0;
// Null propagates through everything but the comparisons, where it equals
// only Null and sorts first. The full rules, with their errors, are one table
// of cases in the Variant tests.

#include <QString>
#include <QtGlobal>

#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

namespace plat {

using TVarType = quint16;

inline constexpr TVarType varEmpty = 0x0000;
inline constexpr TVarType varNull = 0x0001;
inline constexpr TVarType varSmallint = 0x0002;
inline constexpr TVarType varInteger = 0x0003;
inline constexpr TVarType varSingle = 0x0004;
inline constexpr TVarType varDouble = 0x0005;
inline constexpr TVarType varCurrency = 0x0006;
inline constexpr TVarType varDate = 0x0007;
inline constexpr TVarType varOleStr = 0x0008;
inline constexpr TVarType varDispatch = 0x0009;
inline constexpr TVarType varError = 0x000A;
inline constexpr TVarType varBoolean = 0x000B;
inline constexpr TVarType varVariant = 0x000C;
inline constexpr TVarType varUnknown = 0x000D;
inline constexpr TVarType varShortInt = 0x0010;
inline constexpr TVarType varByte = 0x0011;
inline constexpr TVarType varWord = 0x0012;
inline constexpr TVarType varLongWord = 0x0013;
inline constexpr TVarType varInt64 = 0x0014;
inline constexpr TVarType varStrArg = 0x0048;
inline constexpr TVarType varString = 0x0100;
inline constexpr TVarType varAny = 0x0101;
inline constexpr TVarType varTypeMask = 0x0FFF;
inline constexpr TVarType varArray = 0x2000;
inline constexpr TVarType varByRef = 0x4000;

class Variant;

// ---------------------------------------------------------------------------
// Automation objects (late binding). Return values are HRESULT-style codes:
// 0 for success, negative for failure.

inline constexpr quint16 DISPATCH_METHOD = 1;
inline constexpr quint16 DISPATCH_PROPERTYGET = 2;
inline constexpr quint16 DISPATCH_PROPERTYPUT = 4;
inline constexpr quint16 DISPATCH_PROPERTYPUTREF = 8;
inline constexpr qint32 DISPID_PROPERTYPUT = -3;

struct TExcepInfo {
    QString Source;
    QString Description;
    QString HelpFile;
};

class IDispatch {
public:
    virtual ~IDispatch();
    virtual qint32 GetIDOfName(const QString& name, qint32& dispId) = 0;
    // args are in the automation order (last argument first); namedArgs
    // holds the DISPIDs of the leading named arguments (DISPID_PROPERTYPUT
    // for a property write). result may be null when no result is wanted.
    virtual qint32 Invoke(qint32 dispId, quint16 flags, std::span<Variant> args,
                          std::span<const qint32> namedArgs, Variant* result, TExcepInfo* excepInfo) = 0;
};

// ---------------------------------------------------------------------------

namespace detail {
struct VarArrayData;
}

// Bounds of one array dimension.
struct TVarArrayBound {
    int LowBound = 0;
    int HighBound = -1;
};

class Variant {
public:
    Variant() noexcept : m_type(varEmpty) { m_i64 = 0; }
    Variant(const Variant& other) : m_type(other.m_type)
    {
        if (isTrivialType(m_type))
            m_i64 = other.m_i64;
        else
            copyFrom(other);
    }
    Variant(Variant&& other) noexcept : m_type(other.m_type)
    {
        if (isTrivialType(m_type))
            m_i64 = other.m_i64;
        else
            moveFrom(std::move(other));
    }
    // Scalars assign inline; texts, objects and arrays out of line.
    Variant& operator=(const Variant& other)
    {
        if (isTrivialType(m_type) && isTrivialType(other.m_type)) {
            m_type = other.m_type;
            m_i64 = other.m_i64;
            return *this;
        }
        return assign(other);
    }
    Variant& operator=(Variant&& other) noexcept
    {
        if (isTrivialType(m_type) && isTrivialType(other.m_type)) {
            m_type = other.m_type;
            m_i64 = other.m_i64;
            return *this;
        }
        return assign(std::move(other));
    }
    ~Variant()
    {
        if (!isTrivialType(m_type))
            destroy();
    }

    // Natural kinds of the C++ types.
    Variant(bool value) noexcept : m_type(varBoolean) { m_i64 = value ? -1 : 0; }
    Variant(int value) noexcept : m_type(varInteger) { m_i64 = value; }
    Variant(unsigned value) noexcept : m_type(varLongWord) { m_i64 = value; }
    Variant(long value) noexcept : m_type(varInt64) { m_i64 = value; }
    Variant(long long value) noexcept : m_type(varInt64) { m_i64 = value; }
    Variant(float value) noexcept : m_type(varSingle) { m_dbl = value; }
    Variant(double value) noexcept : m_type(varDouble) { m_dbl = value; }
    Variant(long double value) noexcept : m_type(varDouble) { m_dbl = static_cast<double>(value); }
    // Text is the 8-bit string kind (varString), as the platform's string
    // literals; fromOleStr makes the wide kind.
    Variant(const QString& value) : m_type(varString) { new (&m_str) QString(value); }
    Variant(QString&& value) noexcept : m_type(varString) { new (&m_str) QString(std::move(value)); }
    Variant(const char* utf8) : m_type(varString) { new (&m_str) QString(QString::fromUtf8(utf8)); }
    // Object addresses never travel in variants (they would silently become
    // Booleans); objects go through their handles.
    template <typename T>
    Variant(T*) = delete;
    Variant(std::shared_ptr<IDispatch> dispatch) noexcept : m_type(varDispatch)
    {
        new (&m_disp) std::shared_ptr<IDispatch>(std::move(dispatch));
    }

    static Variant null() noexcept
    {
        Variant v;
        v.m_type = varNull;
        return v;
    }
    // An integer of the given integer kind (varShortInt ... varInt64); the
    // value is checked against the kind's range (EVariantOverflowError).
    static Variant fromInteger(qint64 value, TVarType integerType);
    static Variant fromSingle(float value) noexcept { return Variant(value); }
    static Variant fromCurrency(double value);                 // rounded to 4 decimals
    static Variant fromCurrencyScaled(qint64 scaled) noexcept; // value × 10^4
    static Variant fromDate(double dateTime) noexcept;
    static Variant fromOleStr(QString value);
    static Variant fromError(qint32 code) noexcept;
    static Variant fromUnknown(std::shared_ptr<IDispatch> object) noexcept;

    TVarType type() const noexcept { return m_type; }
    bool isEmpty() const noexcept { return m_type == varEmpty; }
    bool isNull() const noexcept { return m_type == varNull; }
    bool isArray() const noexcept { return (m_type & varArray) != 0; }
    bool isString() const noexcept { return m_type == varString || m_type == varOleStr; }

    // Conversions with the platform's rules; a value that cannot be converted
    // raises EVariantTypeCastError, one out of range EVariantOverflowError.
    int toInteger() const;
    qint64 toInt64() const;
    double toDouble() const;
    bool toBoolean() const;
    qint64 toCurrencyScaled() const;
    double toDate() const;
    // Null raises; VarToStr gives "" for it.
    QString toString() const;
    std::shared_ptr<IDispatch> toDispatch() const;

    // Raw access without conversion (the caller has checked the kind).
    qint64 rawInteger() const noexcept { return m_i64; } // every integer kind, Boolean, Currency (scaled), Error
    double rawDouble() const noexcept { return m_dbl; }  // Single, Double, Date
    const QString& rawString() const noexcept { return m_str; }

    void clear() noexcept; // becomes Empty

    // Arrays (see the Var* functions below for the platform's interface).
    const detail::VarArrayData* arrayData() const noexcept { return isArray() ? m_arr.get() : nullptr; }
    detail::VarArrayData* mutableArrayData(); // detaches a shared array first

private:
    friend struct VariantAccess;

    // Kinds held without resources, copied as their bits. Tested on every
    // copy, so the common small codes take one bit test.
    static constexpr bool isTrivialType(TVarType t) noexcept
    {
        constexpr quint32 kHeld = (1u << varOleStr) | (1u << varDispatch) | (1u << varUnknown);
        if (t <= varInt64)
            return ((kHeld >> t) & 1u) == 0;
        return t != varString && (t & varArray) == 0;
    }
    Variant& assign(const Variant& other);
    Variant& assign(Variant&& other) noexcept;
    void copyFrom(const Variant& other);
    void moveFrom(Variant&& other) noexcept;
    void destroy() noexcept;

    TVarType m_type;
    union {
        qint64 m_i64;
        double m_dbl;
        QString m_str;
        std::shared_ptr<IDispatch> m_disp;
        std::shared_ptr<detail::VarArrayData> m_arr;
    };
};

inline Variant Null() { return Variant::null(); }
inline Variant Unassigned() { return Variant(); }

// ---------------------------------------------------------------------------
// Kind tests and conversions

inline TVarType VarType(const Variant& v) noexcept { return v.type(); }
inline bool VarIsNull(const Variant& v) noexcept { return v.isNull(); }
inline bool VarIsEmpty(const Variant& v) noexcept { return v.isEmpty(); }
bool VarIsClear(const Variant& v) noexcept; // Empty, or a dispatch without object
inline bool VarIsArray(const Variant& v) noexcept { return v.isArray(); }
bool VarIsType(const Variant& v, TVarType type) noexcept;
bool VarIsOrdinal(const Variant& v) noexcept; // integer kinds and Boolean
bool VarIsFloat(const Variant& v) noexcept;   // Single, Double, Currency, Date
bool VarIsNumeric(const Variant& v) noexcept; // ordinal or float
inline bool VarIsStr(const Variant& v) noexcept { return v.isString(); }

// The platform's name of a kind: "Empty", "Null", "Integer", "String", ...;
// arrays "Array Integer".
QString VarTypeAsText(TVarType type);

// Text of a value; Null gives "".
QString VarToStr(const Variant& v);
QString VarToStrDef(const Variant& v, const QString& defaultValue);
// Date value of a number, date or text (short date and time of the locale).
double VarToDateTime(const Variant& v);
inline Variant VarFromDateTime(double dateTime) { return Variant::fromDate(dateTime); }
// The value converted to another kind (VarType code, arrays excluded).
Variant VarAsType(const Variant& v, TVarType type);

// ---------------------------------------------------------------------------
// Operators

enum class VarOp : quint8 {
    Add,       // +   (numbers add; text + text joins)
    Subtract,  // -
    Multiply,  // *
    Divide,    // /   always a float result
    IntDivide, // div
    Modulus,   // mod
    ShiftLeft, // shl
    ShiftRight,// shr (logical)
    And,       // and (logical on Booleans, bitwise on integers)
    Or,        // or
    Xor,       // xor
    CmpEQ,     // =   the comparisons give a Boolean Variant
    CmpNE,     // <>
    CmpLT,     // <
    CmpLE,     // <=
    CmpGT,     // >
    CmpGE,     // >=
};

Variant VarBinaryOp(VarOp op, const Variant& left, const Variant& right);
Variant VarNot(const Variant& v); // logical or bitwise as the kind decides
Variant VarNeg(const Variant& v); // unary minus

Variant VarAdd(const Variant& left, const Variant& right);
Variant VarSub(const Variant& left, const Variant& right);
Variant VarMul(const Variant& left, const Variant& right);
Variant VarDiv(const Variant& left, const Variant& right);
Variant VarIntDiv(const Variant& left, const Variant& right);
Variant VarMod(const Variant& left, const Variant& right);
Variant VarShl(const Variant& left, const Variant& right);
Variant VarShr(const Variant& left, const Variant& right);
Variant VarAnd(const Variant& left, const Variant& right);
Variant VarOr(const Variant& left, const Variant& right);
Variant VarXor(const Variant& left, const Variant& right);

// Comparisons. Null equals only Null and is less than every other value.
bool VarCmpEQ(const Variant& left, const Variant& right);
bool VarCmpNE(const Variant& left, const Variant& right);
bool VarCmpLT(const Variant& left, const Variant& right);
bool VarCmpLE(const Variant& left, const Variant& right);
bool VarCmpGT(const Variant& left, const Variant& right);
bool VarCmpGE(const Variant& left, const Variant& right);

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };
// vrNotEqual only for values without an order (objects).
TVariantRelationship VarCompareValue(const Variant& left, const Variant& right);
// Equality that never raises: values that cannot be compared are unequal.
bool VarSameValue(const Variant& left, const Variant& right);

// In-place forms for `x := x op y` (no copy of x).
void VarOpInPlace(VarOp op, Variant& target, const Variant& right);

inline Variant operator+(const Variant& a, const Variant& b) { return VarAdd(a, b); }
inline Variant operator-(const Variant& a, const Variant& b) { return VarSub(a, b); }
inline Variant operator*(const Variant& a, const Variant& b) { return VarMul(a, b); }
inline Variant operator/(const Variant& a, const Variant& b) { return VarDiv(a, b); }
inline Variant operator-(const Variant& a) { return VarNeg(a); }
inline bool operator==(const Variant& a, const Variant& b) { return VarCmpEQ(a, b); }
inline bool operator<(const Variant& a, const Variant& b) { return VarCmpLT(a, b); }
inline bool operator<=(const Variant& a, const Variant& b) { return VarCmpLE(a, b); }
inline bool operator>(const Variant& a, const Variant& b) { return VarCmpGT(a, b); }
inline bool operator>=(const Variant& a, const Variant& b) { return VarCmpGE(a, b); }

// ---------------------------------------------------------------------------
// Arrays: 1 to 3 dimensions, each with its own bounds; elements of the
// element type (varVariant for arrays of any values). Dimensions are counted
// from 1. Indexes outside the bounds raise EVariantBadIndexError.

namespace detail {
inline constexpr int kMaxArrayDims = 3;

struct VarArrayData {
    TVarType elementType = varVariant;
    int dimCount = 0;
    int lowBound[kMaxArrayDims] = {};
    int count[kMaxArrayDims] = {};
    // First dimension varies fastest, so resizing the last keeps the rest.
    std::vector<Variant> items;

    // Offset of an element; raises EVariantBadIndexError outside the bounds.
    qsizetype offsetOf(std::span<const int> indices) const;
};
} // namespace detail

Variant VarArrayCreate(std::span<const TVarArrayBound> bounds, TVarType elementType);
Variant VarArrayCreate(std::initializer_list<int> lowHighPairs, TVarType elementType);
// A one-dimensional array of Variants 0..n-1.
Variant VarArrayOf(std::span<const Variant> values);
Variant VarArrayOf(std::initializer_list<Variant> values);
int VarArrayDimCount(const Variant& a);
int VarArrayLowBound(const Variant& a, int dim);
int VarArrayHighBound(const Variant& a, int dim);
// Changes the high bound of the last dimension; new elements are empty.
void VarArrayRedim(Variant& a, int highBound);
Variant VarArrayGet(const Variant& a, std::span<const int> indices);
Variant VarArrayGet(const Variant& a, std::initializer_list<int> indices);
// Stores the value converted to the element type.
void VarArrayPut(Variant& a, const Variant& value, std::span<const int> indices);
void VarArrayPut(Variant& a, const Variant& value, std::initializer_list<int> indices);

} // namespace plat
