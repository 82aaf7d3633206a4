#pragma once
// Typed fast paths of the Variant operators, for the kinds that scripts and
// report expressions use nearly always: Integer, Int64, Double, Boolean and
// the two text kinds. Each fast path answers only when both operands are of
// those kinds and the result needs none of the checks of the general rule
// (overflow, division by zero, a float result that is not finite); it then
// gives exactly what the general rule gives. Otherwise it answers false and
// the caller goes on with the general rule, which classifies the operands
// and raises the platform's errors.
//
// The Variant tests hold every fast path to the general rule
// (VarBinaryOpGeneral) over the rule table and random operands.

#include "Variant.h"

#include <cmath>

// A fast path pays only when inlined into the operator it serves.
#define PLAT_FAST_PATH [[gnu::always_inline]] inline

namespace plat {

// The general rule alone, without the fast paths: what VarBinaryOp gives
// when no fast path answers.
Variant VarBinaryOpGeneral(VarOp op, const Variant& left, const Variant& right);

namespace fast {

inline bool isInteger(TVarType t) noexcept { return t == varInteger || t == varInt64; }
inline bool isNumber(TVarType t) noexcept { return isInteger(t) || t == varDouble; }
inline bool isText(TVarType t) noexcept { return t == varString || t == varOleStr; }
inline bool fitsInteger(qint64 v) noexcept { return v >= INT32_MIN && v <= INT32_MAX; }

// An integer result: Integer when both operands were Integer, else Int64.
inline Variant integerResult(qint64 v, TVarType a, TVarType b) noexcept
{
    if (a == varInteger && b == varInteger)
        return Variant(static_cast<int>(v));
    return Variant(static_cast<long long>(v));
}

inline double numberOf(const Variant& v) noexcept
{
    return v.type() == varDouble ? v.rawDouble() : static_cast<double>(v.rawInteger());
}

// +, -, * and / of two integers, two numbers or (for +) two texts.
PLAT_FAST_PATH bool tryArithmetic(VarOp op, const Variant& left, const Variant& right, Variant& result)
{
    const TVarType a = left.type();
    const TVarType b = right.type();
    if (isInteger(a) && isInteger(b) && op != VarOp::Divide) {
        const qint64 x = left.rawInteger();
        const qint64 y = right.rawInteger();
        qint64 r = 0;
        const bool overflow = op == VarOp::Add ? __builtin_add_overflow(x, y, &r)
                            : op == VarOp::Subtract ? __builtin_sub_overflow(x, y, &r)
                                                    : __builtin_mul_overflow(x, y, &r);
        // An Integer result that leaves 32 bits widens: the general rule's.
        if (overflow || (a == varInteger && b == varInteger && !fitsInteger(r)))
            return false;
        result = integerResult(r, a, b);
        return true;
    }
    if (isNumber(a) && isNumber(b)) {
        if (op == VarOp::Divide && isInteger(a) && isInteger(b)) {
            if (right.rawInteger() == 0)
                return false;
            // The general rule divides in extended precision.
            result = Variant(static_cast<double>(static_cast<long double>(left.rawInteger()) / right.rawInteger()));
            return true;
        }
        const double x = numberOf(left);
        const double y = numberOf(right);
        const double r = op == VarOp::Add ? x + y
                       : op == VarOp::Subtract ? x - y
                       : op == VarOp::Multiply ? x * y
                       : y != 0 ? x / y
                                : NAN;
        if (!std::isfinite(r))
            return false;
        result = Variant(r);
        return true;
    }
    if (op == VarOp::Add && isText(a) && isText(b)) {
        // The wide kind wins over the 8-bit one.
        QString text = left.rawString() + right.rawString();
        result = a == varOleStr || b == varOleStr ? Variant::fromOleStr(std::move(text)) : Variant(std::move(text));
        return true;
    }
    return false;
}

// div and mod of two integers; division by 0 and by -1 (which can overflow)
// take the general rule.
PLAT_FAST_PATH bool tryIntDivide(VarOp op, const Variant& left, const Variant& right, Variant& result)
{
    const TVarType a = left.type();
    const TVarType b = right.type();
    if (!isInteger(a) || !isInteger(b))
        return false;
    const qint64 x = left.rawInteger();
    const qint64 y = right.rawInteger();
    if (y == 0 || y == -1)
        return false;
    result = integerResult(op == VarOp::IntDivide ? x / y : x % y, a, b);
    return true;
}

// shl and shr: the left operand's width decides, the count is taken modulo it.
PLAT_FAST_PATH bool tryShift(VarOp op, const Variant& left, const Variant& right, Variant& result)
{
    const TVarType a = left.type();
    if (!isInteger(a) || !isInteger(right.type()))
        return false;
    const unsigned n = static_cast<unsigned>(right.rawInteger());
    if (a == varInt64) {
        const quint64 x = static_cast<quint64>(left.rawInteger());
        result = Variant(static_cast<long long>(op == VarOp::ShiftLeft ? x << (n & 63u) : x >> (n & 63u)));
    } else {
        const quint32 x = static_cast<quint32>(left.rawInteger());
        result = Variant(static_cast<int>(op == VarOp::ShiftLeft ? x << (n & 31u) : x >> (n & 31u)));
    }
    return true;
}

// and, or, xor: logical on two Booleans, bitwise on two integers.
PLAT_FAST_PATH bool tryLogical(VarOp op, const Variant& left, const Variant& right, Variant& result)
{
    const TVarType a = left.type();
    const TVarType b = right.type();
    if (a == varBoolean && b == varBoolean) {
        const bool p = left.rawInteger() != 0;
        const bool q = right.rawInteger() != 0;
        result = Variant(op == VarOp::And ? (p && q) : op == VarOp::Or ? (p || q) : (p != q));
        return true;
    }
    if (!isInteger(a) || !isInteger(b))
        return false;
    const qint64 x = left.rawInteger();
    const qint64 y = right.rawInteger();
    result = integerResult(op == VarOp::And ? (x & y) : op == VarOp::Or ? (x | y) : (x ^ y), a, b);
    return true;
}

// -1, 0 or 1 for less, equal, greater; numbers that do not order (NaN) count
// as equal, as in the general rule.
template <typename T>
inline int orderOf(T a, T b) noexcept
{
    return a < b ? -1 : b < a ? 1 : 0;
}

inline bool relationHolds(VarOp op, int order) noexcept
{
    switch (op) {
    case VarOp::CmpEQ: return order == 0;
    case VarOp::CmpNE: return order != 0;
    case VarOp::CmpLT: return order < 0;
    case VarOp::CmpLE: return order <= 0;
    case VarOp::CmpGT: return order > 0;
    default: return order >= 0;
    }
}

// The six comparisons of two numbers, two texts or two Booleans.
PLAT_FAST_PATH bool tryCompare(VarOp op, const Variant& left, const Variant& right, bool& result)
{
    const TVarType a = left.type();
    const TVarType b = right.type();
    int order = 0;
    if (isInteger(a) && isInteger(b))
        order = orderOf(left.rawInteger(), right.rawInteger());
    else if (isNumber(a) && isNumber(b))
        order = orderOf(numberOf(left), numberOf(right));
    else if (isText(a) && isText(b))
        order = orderOf(QString::compare(left.rawString(), right.rawString(), Qt::CaseSensitive), 0);
    else if (a == varBoolean && b == varBoolean)
        order = orderOf(left.rawInteger() != 0, right.rawInteger() != 0); // False < True
    else
        return false;
    result = relationHolds(op, order);
    return true;
}

inline bool isComparison(VarOp op) noexcept { return op >= VarOp::CmpEQ; }

PLAT_FAST_PATH bool tryBinaryOp(VarOp op, const Variant& left, const Variant& right, Variant& result)
{
    switch (op) {
    case VarOp::Add:
    case VarOp::Subtract:
    case VarOp::Multiply:
    case VarOp::Divide:
        return tryArithmetic(op, left, right, result);
    case VarOp::IntDivide:
    case VarOp::Modulus:
        return tryIntDivide(op, left, right, result);
    case VarOp::ShiftLeft:
    case VarOp::ShiftRight:
        return tryShift(op, left, right, result);
    case VarOp::And:
    case VarOp::Or:
    case VarOp::Xor:
        return tryLogical(op, left, right, result);
    default: {
        bool holds = false;
        if (!tryCompare(op, left, right, holds))
            return false;
        result = Variant(holds);
        return true;
    }
    }
}

// One operator with its fast path, then its general rule. A caller that
// knows its operator in advance (a compiled expression node) takes the
// function once and calls it for every evaluation.
template <VarOp op>
Variant applyBinaryOp(const Variant& left, const Variant& right)
{
    Variant result;
    if (!tryBinaryOp(op, left, right, result))
        result = VarBinaryOpGeneral(op, left, right);
    return result;
}

using BinaryOpFunction = Variant (*)(const Variant& left, const Variant& right);
// applyBinaryOp of the operator; VarBinaryOp(op, a, b) is binaryOpFunction(op)(a, b).
BinaryOpFunction binaryOpFunction(VarOp op) noexcept;

// A comparison's truth without making a Boolean Variant.
inline bool compare(VarOp op, const Variant& left, const Variant& right)
{
    bool holds = false;
    if (tryCompare(op, left, right, holds))
        return holds;
    return VarBinaryOpGeneral(op, left, right).rawInteger() != 0;
}

// not: logical on a Boolean, bitwise on an integer.
inline bool tryNot(const Variant& v, Variant& result)
{
    switch (v.type()) {
    case varBoolean: result = Variant(v.rawInteger() == 0); return true;
    case varInteger: result = Variant(static_cast<int>(~v.rawInteger())); return true;
    case varInt64: result = Variant(static_cast<long long>(~v.rawInteger())); return true;
    default: return false;
    }
}

// Unary minus; the most negative integers widen by the general rule.
inline bool tryNeg(const Variant& v, Variant& result)
{
    switch (v.type()) {
    case varInteger:
        if (v.rawInteger() == INT32_MIN)
            return false;
        result = Variant(static_cast<int>(-v.rawInteger()));
        return true;
    case varInt64:
        if (v.rawInteger() == INT64_MIN)
            return false;
        result = Variant(static_cast<long long>(-v.rawInteger()));
        return true;
    case varDouble: result = Variant(-v.rawDouble()); return true;
    default: return false;
    }
}

// The truth of a condition: a Boolean directly, anything else converted.
inline bool toBoolean(const Variant& v)
{
    return v.type() == varBoolean ? v.rawInteger() != 0 : v.toBoolean();
}

} // namespace fast
} // namespace plat

#undef PLAT_FAST_PATH
