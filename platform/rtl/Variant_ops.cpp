// Operators and comparisons of Variant values. The rules, case by case, are
// the table in the Variant tests; the shape here is: classify both operands,
// pick the result class from the wider one, compute with overflow checks.
// VarBinaryOp first tries the typed fast paths of Variant_fast.h, which
// answer for the common kinds exactly as these general rules do.

#include "Variant.h"

#include "Exceptions.h"
#include "Variant_fast.h"
#include "Variant_p.h"

#include <cfloat>
#include <cmath>

namespace plat {

using namespace detail;

namespace {

// Operand classes, ordered so that the wider numeric class compares greater.
enum class Cls : quint8 {
    Empty,
    Null,
    Bool,
    Int,      // 8, 16 and 32-bit integers
    Int64,    // LongWord and Int64
    Currency,
    Single,
    Double,
    Date,
    String,
    Object,   // Dispatch, Unknown
    Other,    // arrays, errors: no operators
};

Cls classify(TVarType t) noexcept
{
    switch (t) {
    case varEmpty: return Cls::Empty;
    case varNull: return Cls::Null;
    case varBoolean: return Cls::Bool;
    case varShortInt: case varByte: case varSmallint: case varWord: case varInteger: return Cls::Int;
    case varLongWord: case varInt64: return Cls::Int64;
    case varCurrency: return Cls::Currency;
    case varSingle: return Cls::Single;
    case varDouble: return Cls::Double;
    case varDate: return Cls::Date;
    case varString: case varOleStr: return Cls::String;
    case varDispatch: case varUnknown: return Cls::Object;
    default: return Cls::Other;
    }
}

// Numeric class an operand takes in arithmetic: text is read as a Double,
// Empty and Boolean as integers.
Cls numericClass(Cls c) noexcept
{
    switch (c) {
    case Cls::String: return Cls::Double;
    case Cls::Empty: case Cls::Bool: return Cls::Int;
    default: return c;
    }
}

bool isIntClass(Cls c) noexcept { return c == Cls::Int || c == Cls::Int64; }

bool fitsInt32(qint64 v) noexcept { return v >= INT32_MIN && v <= INT32_MAX; }

Variant intResult(qint64 v, bool wide)
{
    if (!wide && fitsInt32(v))
        return Variant(static_cast<int>(v));
    return Variant(static_cast<long long>(v));
}

// A float result: NaN and overflow of finite operands are the platform's
// floating point exceptions.
Variant floatResult(double r, Cls kind, double a, double b)
{
    if (std::isnan(r))
        raiseInvalidFloatOp();
    if (std::isinf(r) && std::isfinite(a) && std::isfinite(b))
        raiseFloatOverflow();
    if (kind == Cls::Single) {
        if (std::isfinite(r) && std::fabs(r) > FLT_MAX)
            raiseFloatOverflow();
        return Variant(static_cast<float>(r));
    }
    if (kind == Cls::Date)
        return Variant::fromDate(r);
    return Variant(r);
}

void checkFloatDivisor(double a, double b)
{
    if (b == 0) {
        if (a == 0 || std::isnan(a))
            raiseInvalidFloatOp();
        raiseZeroDivide();
    }
}

Variant floatArith(VarOp op, double a, double b, Cls kind)
{
    double r = 0;
    switch (op) {
    case VarOp::Add: r = a + b; break;
    case VarOp::Subtract: r = a - b; break;
    case VarOp::Multiply: r = a * b; break;
    default:
        checkFloatDivisor(a, b);
        r = a / b;
        break;
    }
    return floatResult(r, kind, a, b);
}

Variant int64Arith(VarOp op, qint64 a, qint64 b, bool wide)
{
    qint64 r = 0;
    bool overflow = false;
    switch (op) {
    case VarOp::Add: overflow = __builtin_add_overflow(a, b, &r); break;
    case VarOp::Subtract: overflow = __builtin_sub_overflow(a, b, &r); break;
    case VarOp::Multiply: overflow = __builtin_mul_overflow(a, b, &r); break;
    default: {
        const double da = static_cast<double>(a);
        const double db = static_cast<double>(b);
        checkFloatDivisor(da, db);
        return Variant(static_cast<double>(static_cast<long double>(a) / b));
    }
    }
    if (overflow) {
        // Past Int64 the platform goes on in floating point.
        const long double la = a;
        const long double lb = b;
        const long double lr = op == VarOp::Add ? la + lb : op == VarOp::Subtract ? la - lb : la * lb;
        return Variant(static_cast<double>(lr));
    }
    return intResult(r, wide);
}

qint64 toScaled(const Variant& v, Cls c)
{
    if (c == Cls::Currency)
        return v.rawInteger();
    return v.toCurrencyScaled();
}

qint64 checkedCurrency(__int128 scaled)
{
    if (scaled > INT64_MAX || scaled < INT64_MIN)
        raiseFloatOverflow();
    return static_cast<qint64>(scaled);
}

// Half-to-even division of a 128-bit value.
__int128 divHalfEven(__int128 value, __int128 divisor)
{
    __int128 q = value / divisor;
    const __int128 r = value % divisor;
    const __int128 absR = r < 0 ? -r : r;
    const __int128 absD = divisor < 0 ? -divisor : divisor;
    if (2 * absR > absD || (2 * absR == absD && (q & 1) != 0))
        q += ((value < 0) != (divisor < 0)) ? -1 : 1;
    return q;
}

Variant currencyArith(VarOp op, const Variant& left, Cls lc, const Variant& right, Cls rc)
{
    const qint64 a = toScaled(left, lc);
    const qint64 b = toScaled(right, rc);
    switch (op) {
    case VarOp::Add:
        return Variant::fromCurrencyScaled(checkedCurrency(static_cast<__int128>(a) + b));
    case VarOp::Subtract:
        return Variant::fromCurrencyScaled(checkedCurrency(static_cast<__int128>(a) - b));
    case VarOp::Multiply:
        return Variant::fromCurrencyScaled(
            checkedCurrency(divHalfEven(static_cast<__int128>(a) * b, kCurrencyScale)));
    default: {
        if (b == 0) {
            if (a == 0)
                raiseInvalidFloatOp();
            raiseZeroDivide();
        }
        // Both are scaled, so the quotient is in units; scale it once more.
        return Variant::fromCurrencyScaled(
            checkedCurrency(divHalfEven(static_cast<__int128>(a) * kCurrencyScale, b)));
    }
    }
}

Variant concatenate(const Variant& left, const Variant& right)
{
    // Empty joins as empty text; the wide kind wins over the 8-bit one.
    const bool wide = left.type() == varOleStr || right.type() == varOleStr;
    QString text = left.isEmpty() ? right.rawString()
                 : right.isEmpty() ? left.rawString()
                                   : left.rawString() + right.rawString();
    return wide ? Variant::fromOleStr(std::move(text)) : Variant(std::move(text));
}

Variant arithmetic(VarOp op, const Variant& left, const Variant& right)
{
    const Cls lc = classify(left.type());
    const Cls rc = classify(right.type());
    if (lc == Cls::Null || rc == Cls::Null)
        return Variant::null();
    if (lc >= Cls::Object || rc >= Cls::Object)
        raiseInvalidOp();
    if (op == VarOp::Add && (lc == Cls::String || rc == Cls::String)
        && (lc == Cls::String || lc == Cls::Empty) && (rc == Cls::String || rc == Cls::Empty))
        return concatenate(left, right);

    const Cls ln = numericClass(lc);
    const Cls rn = numericClass(rc);
    if (ln == Cls::Date || rn == Cls::Date) {
        // Date ± number stays a date; date − date is a span of days.
        Cls kind = Cls::Double;
        if (op == VarOp::Add || (op == VarOp::Subtract && !(ln == Cls::Date && rn == Cls::Date)))
            kind = Cls::Date;
        return floatArith(op, left.toDouble(), right.toDouble(), kind);
    }
    if (ln == Cls::Double || rn == Cls::Double)
        return floatArith(op, left.toDouble(), right.toDouble(), Cls::Double);
    if (ln == Cls::Single || rn == Cls::Single) {
        const Cls kind = ln == Cls::Single && rn == Cls::Single ? Cls::Single : Cls::Double;
        return floatArith(op, left.toDouble(), right.toDouble(), kind);
    }
    if (ln == Cls::Currency || rn == Cls::Currency)
        return currencyArith(op, left, lc, right, rc);
    const bool wide = ln == Cls::Int64 || rn == Cls::Int64;
    return int64Arith(op, left.toInt64(), right.toInt64(), wide);
}

// Both operands as integers for div, mod, shifts and bitwise operators;
// `wide` when either needs 64 bits.
struct IntPair {
    qint64 a;
    qint64 b;
    bool wide;
};

IntPair integerOperands(const Variant& left, const Variant& right)
{
    const Cls lc = classify(left.type());
    const Cls rc = classify(right.type());
    if (lc >= Cls::Object || rc >= Cls::Object)
        raiseInvalidOp();
    IntPair p{left.toInt64(), right.toInt64(), false};
    p.wide = lc == Cls::Int64 || rc == Cls::Int64 || !fitsInt32(p.a) || !fitsInt32(p.b);
    return p;
}

Variant intDivide(VarOp op, const Variant& left, const Variant& right)
{
    if (left.isNull() || right.isNull())
        return Variant::null();
    const IntPair p = integerOperands(left, right);
    if (p.b == 0)
        raiseDivByZero();
    if (p.b == -1) {
        if (op == VarOp::Modulus)
            return intResult(0, p.wide);
        if (p.a == INT64_MIN)
            raiseIntOverflow();
        return intResult(-p.a, p.wide);
    }
    return intResult(op == VarOp::IntDivide ? p.a / p.b : p.a % p.b, p.wide);
}

Variant shift(VarOp op, const Variant& left, const Variant& right)
{
    if (left.isNull() || right.isNull())
        return Variant::null();
    const Cls lc = classify(left.type());
    const IntPair p = integerOperands(left, right);
    // The count is taken modulo the operand width, as the processor does.
    if (lc == Cls::Int64 || !fitsInt32(p.a)) {
        const quint64 a = static_cast<quint64>(p.a);
        const unsigned n = static_cast<unsigned>(p.b) & 63u;
        return Variant(static_cast<long long>(op == VarOp::ShiftLeft ? a << n : a >> n));
    }
    const quint32 a = static_cast<quint32>(p.a);
    const unsigned n = static_cast<unsigned>(p.b) & 31u;
    return Variant(static_cast<int>(op == VarOp::ShiftLeft ? a << n : a >> n));
}

Variant logical(VarOp op, const Variant& left, const Variant& right)
{
    if (left.isNull() || right.isNull())
        return Variant::null();
    const Cls lc = classify(left.type());
    const Cls rc = classify(right.type());
    auto boolish = [](Cls c) { return c == Cls::Bool || c == Cls::String || c == Cls::Empty; };
    if ((lc == Cls::Bool || rc == Cls::Bool) && boolish(lc) && boolish(rc)) {
        const bool a = left.toBoolean();
        const bool b = right.toBoolean();
        return Variant(op == VarOp::And ? (a && b) : op == VarOp::Or ? (a || b) : (a != b));
    }
    const IntPair p = integerOperands(left, right);
    const qint64 r = op == VarOp::And ? (p.a & p.b) : op == VarOp::Or ? (p.a | p.b) : (p.a ^ p.b);
    return intResult(r, p.wide);
}

// ---------------------------------------------------------------------------
// Comparison

enum class Rel { Less, Equal, Greater, Unordered };

template <typename T>
Rel order(T a, T b)
{
    return a < b ? Rel::Less : b < a ? Rel::Greater : Rel::Equal;
}

Rel compare(const Variant& left, const Variant& right, bool equalityOnly)
{
    const Cls lc = classify(left.type());
    const Cls rc = classify(right.type());
    // Null equals only Null and sorts before everything else.
    if (lc == Cls::Null || rc == Cls::Null)
        return lc == rc ? Rel::Equal : lc == Cls::Null ? Rel::Less : Rel::Greater;
    if (lc == Cls::Other || rc == Cls::Other)
        raiseInvalidOp();
    if (lc == Cls::Object || rc == Cls::Object) {
        // Objects have identity only; Empty stands for no object.
        const bool bothRefs = (lc == Cls::Object || lc == Cls::Empty) && (rc == Cls::Object || rc == Cls::Empty);
        if (!equalityOnly || !bothRefs)
            raiseInvalidOp();
        return left.toDispatch() == right.toDispatch() ? Rel::Equal : Rel::Unordered;
    }
    if ((lc == Cls::String || lc == Cls::Empty) && (rc == Cls::String || rc == Cls::Empty)) {
        const int c = QString::compare(left.isEmpty() ? QString() : left.rawString(),
                                       right.isEmpty() ? QString() : right.rawString(), Qt::CaseSensitive);
        return order(c, 0);
    }
    if ((lc == Cls::Bool || rc == Cls::Bool) && (lc != Cls::Bool || rc != Cls::Bool)
        && (lc == Cls::String || rc == Cls::String || lc == Cls::Empty || rc == Cls::Empty))
        return order(left.toBoolean(), right.toBoolean());
    if (lc == Cls::Bool && rc == Cls::Bool)
        return order(left.rawInteger() != 0, right.rawInteger() != 0); // False < True
    if ((lc == Cls::Date && rc == Cls::String) || (lc == Cls::String && rc == Cls::Date))
        return order(left.toDate(), right.toDate());
    const Cls ln = numericClass(lc);
    const Cls rn = numericClass(rc);
    if (isIntClass(ln) && isIntClass(rn))
        return order(left.toInt64(), right.toInt64());
    if ((ln == Cls::Currency || isIntClass(ln)) && (rn == Cls::Currency || isIntClass(rn))) {
        const __int128 a = ln == Cls::Currency ? left.rawInteger() : static_cast<__int128>(left.toInt64()) * kCurrencyScale;
        const __int128 b = rn == Cls::Currency ? right.rawInteger() : static_cast<__int128>(right.toInt64()) * kCurrencyScale;
        return order(a, b);
    }
    return order(left.toDouble(), right.toDouble());
}

bool relationHolds(VarOp op, Rel r)
{
    switch (op) {
    case VarOp::CmpEQ: return r == Rel::Equal;
    case VarOp::CmpNE: return r != Rel::Equal;
    case VarOp::CmpLT: return r == Rel::Less;
    case VarOp::CmpLE: return r == Rel::Less || r == Rel::Equal;
    case VarOp::CmpGT: return r == Rel::Greater;
    case VarOp::CmpGE: return r == Rel::Greater || r == Rel::Equal;
    default: return false;
    }
}

bool comparison(VarOp op, const Variant& left, const Variant& right)
{
    return relationHolds(op, compare(left, right, op == VarOp::CmpEQ || op == VarOp::CmpNE));
}

} // namespace

// ---------------------------------------------------------------------------

Variant VarBinaryOpGeneral(VarOp op, const Variant& left, const Variant& right)
{
    switch (op) {
    case VarOp::Add:
    case VarOp::Subtract:
    case VarOp::Multiply:
    case VarOp::Divide:
        return arithmetic(op, left, right);
    case VarOp::IntDivide:
    case VarOp::Modulus:
        return intDivide(op, left, right);
    case VarOp::ShiftLeft:
    case VarOp::ShiftRight:
        return shift(op, left, right);
    case VarOp::And:
    case VarOp::Or:
    case VarOp::Xor:
        return logical(op, left, right);
    case VarOp::CmpEQ:
    case VarOp::CmpNE:
    case VarOp::CmpLT:
    case VarOp::CmpLE:
    case VarOp::CmpGT:
    case VarOp::CmpGE:
        return Variant(comparison(op, left, right));
    }
    raiseInvalidOp();
}

fast::BinaryOpFunction fast::binaryOpFunction(VarOp op) noexcept
{
    static constexpr BinaryOpFunction kFunctions[] = {
        applyBinaryOp<VarOp::Add>,        applyBinaryOp<VarOp::Subtract>,  applyBinaryOp<VarOp::Multiply>,
        applyBinaryOp<VarOp::Divide>,     applyBinaryOp<VarOp::IntDivide>, applyBinaryOp<VarOp::Modulus>,
        applyBinaryOp<VarOp::ShiftLeft>,  applyBinaryOp<VarOp::ShiftRight>, applyBinaryOp<VarOp::And>,
        applyBinaryOp<VarOp::Or>,         applyBinaryOp<VarOp::Xor>,       applyBinaryOp<VarOp::CmpEQ>,
        applyBinaryOp<VarOp::CmpNE>,      applyBinaryOp<VarOp::CmpLT>,     applyBinaryOp<VarOp::CmpLE>,
        applyBinaryOp<VarOp::CmpGT>,      applyBinaryOp<VarOp::CmpGE>,
    };
    static_assert(std::size(kFunctions) == size_t(VarOp::CmpGE) + 1);
    return kFunctions[size_t(op)];
}

Variant VarBinaryOp(VarOp op, const Variant& left, const Variant& right)
{
    return fast::binaryOpFunction(op)(left, right);
}

Variant VarAdd(const Variant& left, const Variant& right) { return VarBinaryOp(VarOp::Add, left, right); }
Variant VarSub(const Variant& left, const Variant& right) { return VarBinaryOp(VarOp::Subtract, left, right); }
Variant VarMul(const Variant& left, const Variant& right) { return VarBinaryOp(VarOp::Multiply, left, right); }
Variant VarDiv(const Variant& left, const Variant& right) { return VarBinaryOp(VarOp::Divide, left, right); }
Variant VarIntDiv(const Variant& left, const Variant& right) { return VarBinaryOp(VarOp::IntDivide, left, right); }
Variant VarMod(const Variant& left, const Variant& right) { return VarBinaryOp(VarOp::Modulus, left, right); }
Variant VarShl(const Variant& left, const Variant& right) { return VarBinaryOp(VarOp::ShiftLeft, left, right); }
Variant VarShr(const Variant& left, const Variant& right) { return VarBinaryOp(VarOp::ShiftRight, left, right); }
Variant VarAnd(const Variant& left, const Variant& right) { return VarBinaryOp(VarOp::And, left, right); }
Variant VarOr(const Variant& left, const Variant& right) { return VarBinaryOp(VarOp::Or, left, right); }
Variant VarXor(const Variant& left, const Variant& right) { return VarBinaryOp(VarOp::Xor, left, right); }

bool VarCmpEQ(const Variant& left, const Variant& right) { return fast::compare(VarOp::CmpEQ, left, right); }
bool VarCmpNE(const Variant& left, const Variant& right) { return fast::compare(VarOp::CmpNE, left, right); }
bool VarCmpLT(const Variant& left, const Variant& right) { return fast::compare(VarOp::CmpLT, left, right); }
bool VarCmpLE(const Variant& left, const Variant& right) { return fast::compare(VarOp::CmpLE, left, right); }
bool VarCmpGT(const Variant& left, const Variant& right) { return fast::compare(VarOp::CmpGT, left, right); }
bool VarCmpGE(const Variant& left, const Variant& right) { return fast::compare(VarOp::CmpGE, left, right); }

TVariantRelationship VarCompareValue(const Variant& left, const Variant& right)
{
    switch (compare(left, right, true)) {
    case Rel::Less: return vrLessThan;
    case Rel::Equal: return vrEqual;
    case Rel::Greater: return vrGreaterThan;
    case Rel::Unordered: break;
    }
    return vrNotEqual;
}

bool VarSameValue(const Variant& left, const Variant& right)
{
    try {
        return compare(left, right, true) == Rel::Equal;
    } catch (const Exception&) {
        return false;
    }
}

Variant VarNot(const Variant& v)
{
    switch (classify(v.type())) {
    case Cls::Null:
        return Variant::null();
    case Cls::Bool:
        return Variant(v.rawInteger() == 0);
    case Cls::Int:
        return Variant(static_cast<int>(~v.rawInteger()));
    case Cls::Int64:
        return Variant(static_cast<long long>(~v.rawInteger()));
    case Cls::String: {
        // A text naming a Boolean negates logically, any other as an integer.
        const QString& s = v.rawString();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return Variant(!v.toBoolean());
        break;
    }
    case Cls::Object:
    case Cls::Other:
        raiseInvalidOp();
    default:
        break;
    }
    const qint64 i = v.toInt64();
    return intResult(~i, !fitsInt32(i));
}

Variant VarNeg(const Variant& v)
{
    switch (classify(v.type())) {
    case Cls::Null:
        return Variant::null();
    case Cls::Empty:
    case Cls::Bool:
    case Cls::Int:
        return intResult(-v.rawInteger(), false);
    case Cls::Int64:
        if (v.rawInteger() == INT64_MIN)
            return Variant(-static_cast<double>(INT64_MIN));
        return Variant(static_cast<long long>(-v.rawInteger()));
    case Cls::Currency:
        if (v.rawInteger() == INT64_MIN)
            raiseFloatOverflow();
        return Variant::fromCurrencyScaled(-v.rawInteger());
    case Cls::Single:
        return Variant(static_cast<float>(-v.rawDouble()));
    case Cls::Double:
        return Variant(-v.rawDouble());
    case Cls::Date:
        return Variant::fromDate(-v.rawDouble());
    case Cls::String:
        return Variant(-v.toDouble());
    default:
        raiseInvalidOp();
    }
}

void VarOpInPlace(VarOp op, Variant& target, const Variant& right)
{
    const TVarType tt = target.type();
    if (tt == varInteger && right.type() == varInteger
        && (op == VarOp::Add || op == VarOp::Subtract)) {
        const qint64 r = op == VarOp::Add ? target.rawInteger() + right.rawInteger()
                                          : target.rawInteger() - right.rawInteger();
        if (fitsInt32(r)) {
            VariantAccess::integer(target) = r;
            return;
        }
    }
    if (op == VarOp::Add && (tt == varString || tt == varOleStr)
        && (right.type() == varString || right.type() == varOleStr)) {
        // Append in place, so that a loop building a text stays linear.
        VariantAccess::string(target).append(right.rawString());
        if (right.type() == varOleStr)
            VariantAccess::setType(target, varOleStr);
        return;
    }
    target = VarBinaryOp(op, target, right);
}

} // namespace plat
