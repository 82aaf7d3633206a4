#pragma once
// Internals shared by Variant.cpp and Variant_ops.cpp.

#include "Variant.h"

namespace plat {

// Direct access to a Variant's representation for the operator fast paths.
struct VariantAccess {
    static QString& string(Variant& v) noexcept { return v.m_str; }
    static void setType(Variant& v, TVarType t) noexcept { v.m_type = t; }
    static qint64& integer(Variant& v) noexcept { return v.m_i64; }
    static Variant makeArray(std::shared_ptr<detail::VarArrayData> data);
};

namespace detail {

[[noreturn]] void raiseCastError(TVarType from, TVarType to);
[[noreturn]] void raiseConvertOverflow(TVarType from, TVarType to);
[[noreturn]] void raiseInvalidOp();
[[noreturn]] void raiseBadIndex();
[[noreturn]] void raiseInvalidArg();
[[noreturn]] void raiseDivByZero();      // integer division
[[noreturn]] void raiseZeroDivide();     // float division
[[noreturn]] void raiseInvalidFloatOp(); // 0/0, inf - inf
[[noreturn]] void raiseFloatOverflow();
[[noreturn]] void raiseIntOverflow();

inline constexpr qint64 kCurrencyScale = 10000;

// Rounds half to even; false when the value is not finite or leaves Int64.
bool roundToInt64(double value, qint64& result) noexcept;

} // namespace detail
} // namespace plat
