// The Variant's rules, written down once: the operator table and the
// conversion table below are the reference for the script engine and every
// other caller. Rows marked "platform rule" follow the original platform
// where the program's own rules leave the choice open; rows marked "chosen"
// are our decision where the platform gives no usable answer.

#include "DateUtils.h"
#include "Exceptions.h"
#include "FormatSettings.h"
#include "Variant.h"
#include "Variant_fast.h"
#include "../VariantOutcome.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <random>

using namespace plat;

namespace {

// Czech separators make the locale rules visible ("1,5").
class VariantTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = FormatSettings();
        FormatSettings() = TFormatSettings::czech();
    }
    void TearDown() override { FormatSettings() = m_saved; }

private:
    TFormatSettings m_saved;
};

Variant I8(qint64 v) { return Variant::fromInteger(v, varShortInt); }
Variant U8(qint64 v) { return Variant::fromInteger(v, varByte); }
Variant I16(qint64 v) { return Variant::fromInteger(v, varSmallint); }
Variant U16(qint64 v) { return Variant::fromInteger(v, varWord); }
Variant U32(qint64 v) { return Variant::fromInteger(v, varLongWord); }
Variant I64(qint64 v) { return Variant(static_cast<long long>(v)); }
Variant Cur(double v) { return Variant::fromCurrency(v); }
Variant Dt(double v) { return Variant::fromDate(v); }
Variant Ole(const char* s) { return Variant::fromOleStr(QString::fromUtf8(s)); }

struct FakeDispatch : IDispatch {
    qint32 GetIDOfName(const QString&, qint32&) override { return -1; }
    qint32 Invoke(qint32, quint16, std::span<Variant>, std::span<const qint32>, Variant*, TExcepInfo*) override
    {
        return -1;
    }
};

QString describe(const Variant& v)
{
    QString text;
    try {
        text = VarToStr(v);
    } catch (const Exception&) {
        text = QStringLiteral("?");
    }
    return VarTypeAsText(v.type()) + QLatin1Char(' ') + text;
}

// Same kind and same value (floats within a relative 1e-12).
bool sameVariant(const Variant& a, const Variant& b)
{
    if (a.type() != b.type())
        return false;
    switch (a.type()) {
    case varEmpty:
    case varNull:
        return true;
    case varSingle:
    case varDouble:
    case varDate:
        return std::fabs(a.rawDouble() - b.rawDouble()) <= 1e-12 * std::max(1.0, std::fabs(b.rawDouble()));
    case varString:
    case varOleStr:
        return a.rawString() == b.rawString();
    default:
        return a.rawInteger() == b.rawInteger();
    }
}

enum class Op {
    Add, Sub, Mul, Div, IntDiv, Mod, Shl, Shr, And, Or, Xor, EQ, NE, LT, LE, GT, GE,
    Not, Neg, // unary: the right operand is unused
};

const char* opText(Op op)
{
    static const char* const kText[] = {"+", "-", "*", "/", "div", "mod", "shl", "shr", "and", "or",
                                        "xor", "=", "<>", "<", "<=", ">", ">=", "not", "-(unary)"};
    return kText[static_cast<int>(op)];
}

bool isUnary(Op op) { return op == Op::Not || op == Op::Neg; }

Variant apply(Op op, const Variant& a, const Variant& b)
{
    switch (op) {
    case Op::Not: return VarNot(a);
    case Op::Neg: return VarNeg(a);
    default: return VarBinaryOp(static_cast<VarOp>(static_cast<int>(op)), a, b);
    }
}

struct OpCase {
    Variant left;
    Op op;
    Variant right;
    Variant expected;          // ignored when an error is expected
    const char* error = nullptr; // class name of the expected exception
    const char* note = "";
};

const char* const kCastError = "EVariantTypeCastError";
const char* const kInvalidOp = "EVariantInvalidOpError";

// clang-format off
std::vector<OpCase> operatorTable()
{
    const Variant N = Null();
    const Variant E;
    const Variant T = true;
    const Variant F = false;
    return {
        // --- addition, subtraction, multiplication: kinds of the result
        {1, Op::Add, 2, 3},
        {2147483647, Op::Add, 1, I64(2147483648LL), nullptr, "platform rule: Integer overflow widens to Int64"},
        {-2147483647 - 1, Op::Sub, 1, I64(-2147483649LL), nullptr, "platform rule"},
        {65536, Op::Mul, 65536, I64(4294967296LL), nullptr, "platform rule"},
        {I64(INT64_MAX), Op::Add, 1, 9223372036854775808.0, nullptr, "platform rule: Int64 overflow goes on as Double"},
        {I64(INT64_MAX), Op::Mul, 2, 18446744073709551614.0, nullptr, "platform rule"},
        {U8(200), Op::Add, U8(100), 300, nullptr, "platform rule: small integers compute as Integer"},
        {I8(-100), Op::Mul, I16(300), -30000, nullptr, "platform rule"},
        {U16(1), Op::Sub, U16(2), -1, nullptr, "platform rule"},
        {U32(4000000000LL), Op::Add, 1, I64(4000000001LL), nullptr, "platform rule: LongWord computes as Int64"},
        {I64(5), Op::Add, 1, I64(6)},
        {1, Op::Add, 0.5, 1.5},
        {Variant(1.5f), Op::Add, Variant(1.25f), Variant(2.75f), nullptr, "platform rule: Single with Single stays Single"},
        {Variant(1.5f), Op::Add, 1, 2.5, nullptr, "chosen: Single with anything else is Double"},
        {Cur(2.5), Op::Add, 1, Cur(3.5), nullptr, "platform rule: Currency with integers stays Currency"},
        {Cur(1.5), Op::Mul, Cur(1.5), Cur(2.25)},
        {Cur(0.0001), Op::Mul, Cur(0.5), Cur(0.0), nullptr, "chosen: Currency rounds half to even at 4 places"},
        {Cur(2.5), Op::Add, 0.25, 2.75, nullptr, "platform rule: Currency with a float is Double"},
        {Dt(100), Op::Add, 1, Dt(101), nullptr, "platform rule: date plus number is a date"},
        {Dt(100), Op::Sub, 0.5, Dt(99.5), nullptr, "platform rule"},
        {Dt(100), Op::Sub, Dt(90), 10.0, nullptr, "platform rule: date minus date is a Double"},
        {Dt(100), Op::Mul, 2, 200.0, nullptr, "platform rule"},
        {T, Op::Add, 1, 0, nullptr, "Boolean counts as -1"},
        {T, Op::Add, T, -2, nullptr, "platform rule"},
        {"ab", Op::Add, "cd", "abcd", nullptr, "text + text joins"},
        {"ab", Op::Add, Ole("cd"), Ole("abcd"), nullptr, "platform rule: the wide kind wins"},
        {"1,5", Op::Add, 1, 2.5, nullptr, "text + number: the text becomes a Double (locale separator)"},
        {1, Op::Add, "2", 3.0, nullptr, "platform rule"},
        {"5", Op::Sub, "3", 2.0, nullptr, "platform rule: text − text computes as numbers"},
        {"abc", Op::Add, 1, {}, kCastError},
        {"1.5", Op::Add, 1, {}, kCastError, "only the locale's separator"},
        {N, Op::Add, 1, N, nullptr, "Null propagates"},
        {1, Op::Mul, N, N},
        {N, Op::Add, "a", N},
        {E, Op::Add, 1, 1, nullptr, "platform rule: Empty counts as 0"},
        {E, Op::Add, E, 0, nullptr, "chosen"},
        {E, Op::Add, "a", "a", nullptr, "platform rule: Empty counts as empty text"},
        {Variant(1e308), Op::Mul, 10, {}, "EOverflow"},
        {Variant(3e38f), Op::Mul, Variant(10.0f), {}, "EOverflow", "Single overflows at its own range"},
        {Cur(900000000000000.0), Op::Mul, 100, {}, "EOverflow", "chosen: Currency overflow is the float overflow"},
        {Variant(std::make_shared<FakeDispatch>()), Op::Add, 1, {}, kInvalidOp},
        {VarArrayOf({1}), Op::Add, 1, {}, kInvalidOp},

        // --- real division
        {7, Op::Div, 2, 3.5},
        {6, Op::Div, 3, 2.0, nullptr, "always a float"},
        {Variant(3.0f), Op::Div, Variant(2.0f), Variant(1.5f), nullptr, "platform rule"},
        {Cur(10), Op::Div, 4, Cur(2.5), nullptr, "platform rule: Currency stays Currency"},
        {Cur(1), Op::Div, Cur(3), Cur(0.3333)},
        {1, Op::Div, 0, {}, "EZeroDivide"},
        {1.5, Op::Div, 0.0, {}, "EZeroDivide"},
        {Cur(1), Op::Div, 0, {}, "EZeroDivide"},
        {0, Op::Div, 0, {}, "EInvalidOp", "platform rule: 0/0 is an invalid operation"},
        {N, Op::Div, 0, N, nullptr, "Null propagates before the zero test"},

        // --- div and mod
        {7, Op::IntDiv, 2, 3},
        {-7, Op::IntDiv, 2, -3, nullptr, "platform rule: toward zero"},
        {7, Op::Mod, 3, 1},
        {-7, Op::Mod, 3, -1, nullptr, "platform rule: sign of the dividend"},
        {7.5, Op::IntDiv, 2, 4, nullptr, "platform rule: floats are rounded half to even first (8 div 2)"},
        {6.5, Op::IntDiv, 1, 6, nullptr, "platform rule"},
        {"7", Op::IntDiv, "2", 3},
        {I64(10), Op::IntDiv, 3, I64(3)},
        {-2147483647 - 1, Op::IntDiv, -1, I64(2147483648LL), nullptr, "platform rule: widens like +"},
        {I64(INT64_MIN), Op::Mod, -1, I64(0)},
        {I64(INT64_MIN), Op::IntDiv, -1, {}, "EIntOverflow"},
        {1, Op::IntDiv, 0, {}, "EDivByZero"},
        {1, Op::Mod, 0, {}, "EDivByZero"},
        {N, Op::Mod, 2, N},
        {"x", Op::IntDiv, 2, {}, kCastError},

        // --- shifts: 32 bits for Integer, count modulo the width
        {1, Op::Shl, 4, 16},
        {1, Op::Shl, 31, -2147483647 - 1, nullptr, "platform rule: shifts do not widen"},
        {1, Op::Shl, 32, 1, nullptr, "platform rule: count modulo 32"},
        {-1, Op::Shr, 28, 15, nullptr, "logical shift"},
        {I64(1), Op::Shl, 40, I64(1099511627776LL)},
        {N, Op::Shl, 1, N},

        // --- and, or, xor
        {T, Op::And, F, F},
        {T, Op::Or, F, T},
        {T, Op::Xor, T, F},
        {12, Op::And, 10, 8},
        {12, Op::Or, 10, 14},
        {12, Op::Xor, 10, 6},
        {T, Op::And, 5, 5, nullptr, "platform rule: Boolean with integer is bitwise (-1 and 5)"},
        {T, Op::And, "false", F, nullptr, "chosen: text with a Boolean is read as a Boolean"},
        {F, Op::Or, E, F, nullptr, "chosen: Empty with a Boolean is False"},
        {1.5, Op::And, 3, 2, nullptr, "platform rule: floats are rounded first"},
        {N, Op::And, T, N, nullptr, "platform rule: Null propagates through logic too"},
        {T, Op::Or, N, N},
        {I64(-1), Op::And, 255, I64(255)},

        // --- comparisons
        {1, Op::LT, 2, T},
        {2, Op::GE, 2, T},
        {N, Op::EQ, N, T, nullptr, "Null = Null"},
        {N, Op::EQ, 0, F},
        {N, Op::NE, 0, T},
        {N, Op::LT, 0, T, nullptr, "platform rule: Null sorts before every value"},
        {0, Op::GT, N, T},
        {N, Op::EQ, E, F},
        {"10", Op::EQ, 10, T, nullptr, "text with a number compares as numbers"},
        {"9", Op::LT, 10, T, nullptr, "as numbers, not as texts"},
        {10, Op::GT, "9,5", T},
        {"abc", Op::EQ, 1, {}, kCastError, "platform rule"},
        {"a", Op::LT, "b", T},
        {"a", Op::EQ, "A", F, nullptr, "chosen: texts compare case-sensitively by code point"},
        {"b", Op::GT, "B", T},
        {"a", Op::EQ, Ole("a"), T},
        {E, Op::EQ, 0, T, nullptr, "platform rule: Empty is 0 with numbers"},
        {E, Op::EQ, "", T, nullptr, "platform rule: Empty is empty text with texts"},
        {E, Op::LT, "a", T},
        {T, Op::EQ, -1, T, nullptr, "Boolean is -1 with numbers"},
        {F, Op::LT, T, T, nullptr, "chosen: Booleans order False < True"},
        {T, Op::EQ, "TRUE", T},
        {Cur(1.5), Op::EQ, 1.5, T},
        {Cur(2), Op::EQ, 2, T},
        {Cur(2.0001), Op::GT, I64(2), T},
        {I64(9007199254740993LL), Op::GT, I64(9007199254740992LL), T, nullptr, "64-bit integers compare exactly"},
        {U32(4000000000LL), Op::GT, -1, T},
        {Dt(10), Op::EQ, 10, T},
        {VarArrayOf({1}), Op::EQ, VarArrayOf({1}), {}, kInvalidOp, "platform rule"},
        {Variant(std::make_shared<FakeDispatch>()), Op::LT, 1, {}, kInvalidOp},

        // --- not and unary minus
        {T, Op::Not, {}, F},
        {0, Op::Not, {}, -1, nullptr, "bitwise on integers"},
        {I64(0), Op::Not, {}, I64(-1)},
        {U8(1), Op::Not, {}, -2, nullptr, "platform rule: small integers as Integer"},
        {"True", Op::Not, {}, F, nullptr, "chosen: a Boolean text negates logically"},
        {"5", Op::Not, {}, -6, nullptr, "other texts as integers"},
        {N, Op::Not, {}, N},
        {E, Op::Not, {}, -1, nullptr, "chosen: Empty counts as 0"},
        {1.5, Op::Not, {}, -3, nullptr, "platform rule: floats are rounded first"},
        {5, Op::Neg, {}, -5},
        {-2147483647 - 1, Op::Neg, {}, I64(2147483648LL), nullptr, "platform rule"},
        {T, Op::Neg, {}, 1},
        {"2,5", Op::Neg, {}, -2.5},
        {Cur(1.5), Op::Neg, {}, Cur(-1.5)},
        {Dt(3), Op::Neg, {}, Dt(-3)},
        {N, Op::Neg, {}, N},
        {E, Op::Neg, {}, 0, nullptr, "chosen"},
        {Variant(2.5f), Op::Neg, {}, Variant(-2.5f)},
        {I64(INT64_MIN), Op::Neg, {}, 9223372036854775808.0, nullptr, "platform rule: past Int64 as Double"},
        {VarArrayOf({1}), Op::Neg, {}, {}, kInvalidOp},
    };
}
// clang-format on

std::optional<QString> runCase(const OpCase& c, const std::function<Variant(const OpCase&)>& eval, Variant& result)
{
    try {
        result = eval(c);
    } catch (const Exception& e) {
        return QString::fromLatin1(e.className());
    }
    return std::nullopt;
}

void checkTable(const std::function<Variant(const OpCase&)>& eval, bool binaryOnly)
{
    for (const OpCase& c : operatorTable()) {
        if (binaryOnly && isUnary(c.op))
            continue;
        const QString row = describe(c.left) + QLatin1Char(' ') + QLatin1String(opText(c.op)) + QLatin1Char(' ')
                          + (isUnary(c.op) ? QString() : describe(c.right)) + QLatin1String("  [") + QLatin1String(c.note)
                          + QLatin1Char(']');
        SCOPED_TRACE(row.toStdString());
        Variant result;
        const std::optional<QString> error = runCase(c, eval, result);
        if (c.error) {
            EXPECT_EQ(error.value_or(QStringLiteral("no error, got ") + describe(result)).toStdString(), c.error);
        } else if (error) {
            ADD_FAILURE() << "raised " << error->toStdString();
        } else {
            EXPECT_TRUE(sameVariant(result, c.expected))
                << "got " << describe(result).toStdString() << ", expected " << describe(c.expected).toStdString();
        }
    }
}

} // namespace

TEST_F(VariantTest, OperatorTable)
{
    checkTable([](const OpCase& c) { return apply(c.op, c.left, c.right); }, false);
}

// The in-place form (x := x op y) must give exactly the results of the table.
TEST_F(VariantTest, InPlaceOperatorsFollowTheTable)
{
    checkTable(
        [](const OpCase& c) {
            Variant target = c.left;
            VarOpInPlace(static_cast<VarOp>(static_cast<int>(c.op)), target, c.right);
            return target;
        },
        true);
}

// ---------------------------------------------------------------------------
// Typed fast paths: each must give exactly what the general rule gives, the
// same kind and bits of the value or the same error, for the table's cases
// and for random operands around the borders where the rules change.

namespace {

using varianttest::outcome;

const VarOp kBinaryOps[] = {VarOp::Add, VarOp::Subtract, VarOp::Multiply, VarOp::Divide, VarOp::IntDivide,
                            VarOp::Modulus, VarOp::ShiftLeft, VarOp::ShiftRight, VarOp::And, VarOp::Or,
                            VarOp::Xor, VarOp::CmpEQ, VarOp::CmpNE, VarOp::CmpLT, VarOp::CmpLE,
                            VarOp::CmpGT, VarOp::CmpGE};

// Holds the fast paths to the general rule and counts how often they
// answered, so that a test which never reaches them cannot pass unnoticed.
// Where a fast path declines, every entry point is the general rule itself;
// the table still runs them all (a few hundred rows), the random pairs only
// where a fast path answers, so that they stay quick under the sanitizers.
struct FastPathCheck {
    bool everyEntryPoint = false;
    int answered = 0;
    int checked = 0;

    static std::string where(VarOp op, const Variant& a, const Variant& b)
    {
        return describe(a).toStdString() + " op" + std::to_string(int(op)) + ' ' + describe(b).toStdString();
    }

    void binary(VarOp op, const Variant& a, const Variant& b)
    {
        ++checked;
        Variant fastResult;
        const bool fastAnswered = fast::tryBinaryOp(op, a, b, fastResult);
        if (!fastAnswered && !everyEntryPoint)
            return;
        const std::string general = outcome([&] { return VarBinaryOpGeneral(op, a, b); });
        if (fastAnswered) {
            ++answered;
            ASSERT_EQ(outcome([&] { return fastResult; }), general) << where(op, a, b);
        }
        ASSERT_EQ(outcome([&] { return VarBinaryOp(op, a, b); }), general) << where(op, a, b);
        if (fast::isComparison(op)) {
            ASSERT_EQ(outcome([&] { return Variant(fast::compare(op, a, b)); }), general) << where(op, a, b);
        } else {
            ASSERT_EQ(outcome([&] {
                          Variant target = a;
                          VarOpInPlace(op, target, b);
                          return target;
                      }),
                      general)
                << where(op, a, b) << " in place";
        }
    }

    void unary(const Variant& a)
    {
        Variant r;
        if (fast::tryNot(a, r)) {
            ASSERT_EQ(outcome([&] { return r; }), outcome([&] { return VarNot(a); })) << describe(a).toStdString();
        }
        if (fast::tryNeg(a, r)) {
            ASSERT_EQ(outcome([&] { return r; }), outcome([&] { return VarNeg(a); })) << describe(a).toStdString();
        }
        if (a.type() == varBoolean || everyEntryPoint) {
            ASSERT_EQ(outcome([&] { return Variant(fast::toBoolean(a)); }),
                      outcome([&] { return Variant(a.toBoolean()); }))
                << describe(a).toStdString();
        }
    }
};

// Random operands, most of the fast kinds, many on the borders where a rule
// changes (32 and 64-bit overflow, zero and -1 divisors, infinities), with
// Null, Empty and kinds that only the general rule handles mixed in.
class OperandSource {
public:
    explicit OperandSource(quint64 seed) : m_random(seed) {}

    Variant next()
    {
        switch (pick(12)) {
        case 0: case 1: case 2: return Variant(int(integer32()));
        case 3: case 4: return Variant(static_cast<long long>(integer64()));
        case 5: case 6: return Variant(real());
        case 7: return Variant(pick(2) == 0);
        case 8: return text();
        case 9: return pick(2) ? Null() : Variant();
        case 10: return pick(2) ? Variant::fromOleStr(text().rawString()) : Variant(float(real()));
        default: {
            const qint64 v = integer32();
            return pick(2) ? Variant::fromCurrencyScaled(v) : Variant::fromInteger(v & 0xFF, varByte);
        }
        }
    }

private:
    int pick(int n) { return int(m_random() % quint64(n)); }

    qint64 integer32()
    {
        static const qint64 kBorders[] = {0, 1, -1, 2, -2, 7, 31, 32, 63, 64, INT32_MAX, INT32_MIN, INT32_MAX - 1,
                                          INT32_MIN + 1, 46340, 46341, -46341, 65536};
        switch (pick(3)) {
        case 0: return kBorders[pick(int(std::size(kBorders)))];
        case 1: return qint64(pick(2001)) - 1000;
        default: return qint64(qint32(m_random()));
        }
    }

    qint64 integer64()
    {
        static const qint64 kBorders[] = {0, 1, -1, 2, INT64_MAX, INT64_MIN, INT64_MAX - 1, INT64_MIN + 1,
                                          qint64(INT32_MAX) + 1, qint64(INT32_MIN) - 1, qint64(1) << 32,
                                          3037000499LL, 3037000500LL, -3037000500LL, (qint64(1) << 53) + 1};
        switch (pick(3)) {
        case 0: return kBorders[pick(int(std::size(kBorders)))];
        case 1: return integer32();
        default: return qint64(m_random());
        }
    }

    double real()
    {
        static const double kBorders[] = {0.0, -0.0, 0.5, -1.5, 2.5, 1e308, -1e308, 1e-310, 4.9e-324,
                                          INFINITY, -INFINITY, NAN, 9007199254740993.0, 2147483648.0};
        switch (pick(3)) {
        case 0: return kBorders[pick(int(std::size(kBorders)))];
        case 1: return double(pick(2001) - 1000) / 4;
        default: return std::ldexp(double(qint64(m_random() >> 11)) / double(qint64(1) << 53) - 0.5, pick(80) - 40);
        }
    }

    Variant text()
    {
        static const char* const kTexts[] = {"", "a", "A", "b", "ab", "10", "9", "1,5", "-3", "abc", "true", "0"};
        return Variant(kTexts[pick(int(std::size(kTexts)))]);
    }

    std::mt19937_64 m_random;
};

} // namespace

TEST_F(VariantTest, FastPathsAgreeWithTheGeneralRuleOverTheTable)
{
    FastPathCheck check;
    check.everyEntryPoint = true;
    for (const OpCase& c : operatorTable()) {
        if (isUnary(c.op)) {
            check.unary(c.left);
        } else {
            check.binary(static_cast<VarOp>(static_cast<int>(c.op)), c.left, c.right);
            check.unary(c.right);
        }
        if (::testing::Test::HasFatalFailure())
            return;
    }
    EXPECT_GT(check.answered, 25) << "the table reaches the fast paths";
}

TEST_F(VariantTest, FastPathsAgreeWithTheGeneralRuleOnRandomOperands)
{
    constexpr int kPairs = 100000;
    OperandSource source(20240611);
    FastPathCheck check;
    for (int i = 0; i < kPairs; ++i) {
        const Variant a = source.next();
        const Variant b = source.next();
        check.binary(kBinaryOps[size_t(i) % std::size(kBinaryOps)], a, b);
        check.unary(a);
        if (::testing::Test::HasFatalFailure())
            return;
    }
    EXPECT_GT(check.answered, kPairs / 4) << "the random operands reach the fast paths";
}

TEST_F(VariantTest, NamedOperatorsMatchVarBinaryOp)
{
    EXPECT_TRUE(sameVariant(VarAdd(1, 2), 3));
    EXPECT_TRUE(sameVariant(VarSub(1, 2), -1));
    EXPECT_TRUE(sameVariant(VarMul(3, 2), 6));
    EXPECT_TRUE(sameVariant(VarDiv(1, 4), 0.25));
    EXPECT_TRUE(sameVariant(VarIntDiv(9, 4), 2));
    EXPECT_TRUE(sameVariant(VarMod(9, 4), 1));
    EXPECT_TRUE(sameVariant(VarShl(1, 3), 8));
    EXPECT_TRUE(sameVariant(VarShr(8, 3), 1));
    EXPECT_TRUE(sameVariant(VarAnd(6, 3), 2));
    EXPECT_TRUE(sameVariant(VarOr(6, 3), 7));
    EXPECT_TRUE(sameVariant(VarXor(6, 3), 5));
    EXPECT_TRUE(VarCmpEQ(Null(), Null()));
    EXPECT_TRUE(VarCmpNE(1, 2));
    EXPECT_TRUE(VarCmpLE(2, 2));
    EXPECT_TRUE(VarCmpGT(3, 2));
    EXPECT_TRUE(Variant(3) == Variant(3.0));
    EXPECT_TRUE(sameVariant(Variant(1) + Variant("2"), 3.0));
}

TEST_F(VariantTest, ErrorMessagesAreThePlatformTexts)
{
    struct Case {
        std::function<void()> action;
        const char* message;
    };
    const Case cases[] = {
        {[] { (void)Null().toInteger(); }, "Could not convert variant of type (Null) into type (Integer)"},
        {[] { (void)Null().toBoolean(); }, "Could not convert variant of type (Null) into type (Boolean)"},
        {[] { (void)Variant("x").toDouble(); }, "Could not convert variant of type (String) into type (Double)"},
        {[] { (void)Variant(1e10).toInteger(); }, "Overflow while converting variant of type (Double) into type (Integer)"},
        {[] { (void)VarAsType(300, varByte); }, "Overflow while converting variant of type (Integer) into type (Byte)"},
        {[] { (void)VarIntDiv(1, 0); }, "Division by zero"},
        {[] { (void)VarDiv(1, 0); }, "Floating point division by zero"},
        {[] { (void)VarAdd(VarArrayOf({}), 1); }, "Invalid variant operation"},
        {[] { (void)VarArrayGet(VarArrayOf({1}), {1}); }, "Variant or safe array index out of bounds"},
    };
    for (const Case& c : cases) {
        try {
            c.action();
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const Exception& e) {
            EXPECT_EQ(e.message().toStdString(), c.message);
        }
    }
}

TEST_F(VariantTest, ErrorClassesBelongToThePlatformHierarchy)
{
    try {
        (void)Null().toInteger();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.className(), "EVariantTypeCastError");
        EXPECT_TRUE(e.inheritsFrom(QStringLiteral("EVariantError")));
    }
    EXPECT_THROW((void)VarIntDiv(1, 0), EIntError);
    EXPECT_THROW((void)VarDiv(1, 0), EMathError);
}

// ---------------------------------------------------------------------------
// Conversions

namespace {

struct ConvCase {
    Variant value;
    TVarType target;
    Variant expected;
    const char* error = nullptr;
    const char* note = "";
};

// clang-format off
std::vector<ConvCase> conversionTable()
{
    return {
        {2.5, varInteger, 2, nullptr, "half to even"},
        {3.5, varInteger, 4},
        {-2.5, varInteger, -2},
        {-0.6, varInteger, -1},
        {Cur(2.5), varInteger, 2, nullptr, "Currency rounds half to even too"},
        {Cur(-3.5), varInteger, -4},
        {"2,5", varInteger, 2, nullptr, "platform rule: float text is rounded"},
        {"$FF", varInteger, 255, nullptr, "platform rule: hex text as StrToInt"},
        {" 12", varInteger, 12},
        {"12x", varInteger, {}, kCastError},
        {"", varInteger, {}, kCastError, "platform rule: empty text is no number"},
        {true, varInteger, -1},
        {Variant(), varInteger, 0, nullptr, "Empty is the zero of every kind"},
        {Variant(), varBoolean, false},
        {Variant(), varString, ""},
        {Null(), varInteger, {}, kCastError},
        {Null(), varBoolean, {}, kCastError},
        {Null(), varDouble, {}, kCastError},
        {Null(), varString, {}, kCastError, "VarToStr gives empty text instead"},
        {Null(), varNull, Null()},
        {1e10, varInteger, {}, "EVariantOverflowError"},
        {I64(4294967296LL), varInteger, {}, "EVariantOverflowError"},
        {300, varByte, {}, "EVariantOverflowError"},
        {-1, varWord, {}, "EVariantOverflowError"},
        {-1, varLongWord, {}, "EVariantOverflowError"},
        {255, varByte, U8(255)},
        {-128, varShortInt, I8(-128)},
        {1e10, varInt64, I64(10000000000LL)},
        {1e300, varSingle, {}, "EVariantOverflowError"},
        {"1,5", varDouble, 1.5, nullptr, "locale separator"},
        {"1.5", varDouble, {}, kCastError, "only the locale's separator"},
        {" 1,5 ", varDouble, 1.5},
        {true, varDouble, -1.0},
        {"True", varBoolean, true},
        {"fAlSe", varBoolean, false, nullptr, "any case"},
        {"0", varBoolean, false, nullptr, "numbers count as Booleans"},
        {"2", varBoolean, true},
        {"yes", varBoolean, {}, kCastError},
        {0.5, varBoolean, true},
        {true, varString, "True"},
        {false, varOleStr, Ole("False")},
        {-42, varString, "-42"},
        {U32(4000000000LL), varString, "4000000000"},
        {1.5, varString, "1,5", nullptr, "FloatToStr with the locale"},
        {Variant(0.1f), varString, "0,1", nullptr, "chosen: Single shows 7 significant digits"},
        {Cur(12.5), varString, "12,5"},
        {2.5, varCurrency, Cur(2.5)},
        {0.00005, varCurrency, Cur(0.0), nullptr, "four places, half to even"},
        {0.00016, varCurrency, Variant::fromCurrencyScaled(2)},
        {7, varCurrency, Variant::fromCurrencyScaled(70000)},
        {1e300, varCurrency, {}, "EVariantOverflowError"},
        {2.25, varDate, Dt(2.25)},
        {"abc", varDate, {}, kCastError},
        {5, varVariant, 5},
        {5, varEmpty, Variant()},
        {VarArrayOf({1}), varString, {}, kCastError},
        {1, varArray | varInteger, {}, "EVariantBadVarTypeError"},
        {1, 0x55, {}, "EVariantBadVarTypeError"},
    };
}
// clang-format on

} // namespace

TEST_F(VariantTest, ConversionTable)
{
    for (const ConvCase& c : conversionTable()) {
        SCOPED_TRACE((describe(c.value) + QLatin1String(" -> ") + VarTypeAsText(c.target) + QLatin1String("  [")
                      + QLatin1String(c.note) + QLatin1Char(']'))
                         .toStdString());
        try {
            const Variant r = VarAsType(c.value, c.target);
            if (c.error)
                ADD_FAILURE() << "expected " << c.error << ", got " << describe(r).toStdString();
            else
                EXPECT_TRUE(sameVariant(r, c.expected))
                    << "got " << describe(r).toStdString() << ", expected " << describe(c.expected).toStdString();
        } catch (const Exception& e) {
            EXPECT_EQ(c.error ? std::string(c.error) : std::string("no error"), e.className()) << e.what();
        }
    }
}

TEST_F(VariantTest, MemberConversionsAgreeWithVarAsType)
{
    EXPECT_EQ(Variant("2,5").toInteger(), 2);
    EXPECT_EQ(Variant(U32(4000000000LL)).toInt64(), 4000000000LL);
    EXPECT_DOUBLE_EQ(Variant(Cur(1.2345)).toDouble(), 1.2345);
    EXPECT_EQ(Variant(1.5).toCurrencyScaled(), 15000);
    EXPECT_TRUE(Variant("TRUE").toBoolean());
    EXPECT_EQ(Variant(7).toString(), QStringLiteral("7"));
    EXPECT_THROW((void)Variant(U32(4000000000LL)).toInteger(), EVariantOverflowError);
}

TEST_F(VariantTest, VarToStrOfNullIsEmptyText)
{
    EXPECT_EQ(VarToStr(Null()), QString());
    EXPECT_EQ(VarToStrDef(Null(), QStringLiteral("-")), QStringLiteral("-"));
    EXPECT_EQ(VarToStr(Variant()), QString());
    EXPECT_EQ(VarToStr(true), QStringLiteral("True"));
}

TEST_F(VariantTest, DatesConvertThroughTheLocale)
{
    const double d = EncodeDate(2024, 3, 15) + EncodeTime(13, 45, 0, 0);
    EXPECT_EQ(VarToStr(Dt(d)), DateTimeToStr(d));
    EXPECT_DOUBLE_EQ(VarToDateTime(Variant(DateTimeToStr(d))), d);
    EXPECT_TRUE(VarCmpEQ(Dt(EncodeDate(2024, 3, 15)), Variant(QStringLiteral("15.3.2024"))))
        << "a date compared with a text reads the text as a date";
    EXPECT_DOUBLE_EQ(VarToDateTime(45000), 45000.0);
}

TEST_F(VariantTest, KindTests)
{
    EXPECT_EQ(VarType(Variant("a")), varString);
    EXPECT_EQ(VarType(Ole("a")), varOleStr);
    EXPECT_EQ(VarType(Variant(1.5f)), varSingle);
    EXPECT_EQ(VarType(VarArrayCreate({0, 1}, varInteger)), varArray | varInteger);
    EXPECT_TRUE(VarIsNumeric(true));
    EXPECT_TRUE(VarIsNumeric(Cur(1)));
    EXPECT_FALSE(VarIsNumeric("1"));
    EXPECT_TRUE(VarIsStr(Ole("x")));
    EXPECT_TRUE(VarIsOrdinal(U8(1)));
    EXPECT_FALSE(VarIsOrdinal(1.0));
    EXPECT_TRUE(VarIsFloat(Dt(1)));
    EXPECT_TRUE(VarIsClear(Variant()));
    EXPECT_TRUE(VarIsClear(Variant(std::shared_ptr<IDispatch>())));
    EXPECT_FALSE(VarIsClear(Null()));
    EXPECT_EQ(VarTypeAsText(varArray | varVariant), QStringLiteral("Array Variant"));
    EXPECT_EQ(VarTypeAsText(varLongWord), QStringLiteral("LongWord"));
    EXPECT_EQ(VarTypeAsText(varString), QStringLiteral("String"));
}

TEST_F(VariantTest, FromIntegerChecksTheKindsRange)
{
    EXPECT_EQ(Variant::fromInteger(65535, varWord).type(), varWord);
    EXPECT_THROW(Variant::fromInteger(65536, varWord), EVariantOverflowError);
    EXPECT_THROW(Variant::fromInteger(1, varDouble), EVariantBadVarTypeError);
}

TEST_F(VariantTest, DispatchValuesCompareByIdentity)
{
    auto object = std::make_shared<FakeDispatch>();
    const Variant a(std::static_pointer_cast<IDispatch>(object));
    const Variant b = a;
    EXPECT_TRUE(VarCmpEQ(a, b));
    EXPECT_FALSE(VarCmpEQ(a, Variant(std::static_pointer_cast<IDispatch>(std::make_shared<FakeDispatch>()))));
    EXPECT_FALSE(VarCmpEQ(a, Variant()));
    EXPECT_TRUE(VarCmpEQ(Variant(std::shared_ptr<IDispatch>()), Variant()));
    EXPECT_EQ(a.toDispatch(), object);
    EXPECT_THROW((void)Variant(1).toDispatch(), EVariantTypeCastError);
}

TEST_F(VariantTest, CompareValueAndSameValue)
{
    EXPECT_EQ(VarCompareValue(1, 2), vrLessThan);
    EXPECT_EQ(VarCompareValue("b", "a"), vrGreaterThan);
    EXPECT_EQ(VarCompareValue(Null(), Null()), vrEqual);
    EXPECT_EQ(VarCompareValue(Variant(std::static_pointer_cast<IDispatch>(std::make_shared<FakeDispatch>())), Variant()),
              vrNotEqual);
    EXPECT_TRUE(VarSameValue(1, 1.0));
    EXPECT_FALSE(VarSameValue("abc", 1)) << "never raises";
}

// ---------------------------------------------------------------------------
// Values and storage

TEST_F(VariantTest, ScalarsStayInline)
{
    // Small enough to pass around by value in the interpreter's loops.
    EXPECT_LE(sizeof(Variant), 32u);
}

TEST_F(VariantTest, CopiesAndMovesKeepTheValue)
{
    Variant s = QStringLiteral("text");
    Variant copy = s;
    Variant moved = std::move(s);
    EXPECT_EQ(copy.rawString(), QStringLiteral("text"));
    EXPECT_EQ(moved.rawString(), QStringLiteral("text"));
    EXPECT_TRUE(s.isEmpty()); // NOLINT(bugprone-use-after-move): a moved-from Variant is Empty
    copy = 5;
    EXPECT_EQ(copy.type(), varInteger);
    copy = moved;
    copy = copy;
    EXPECT_EQ(copy.rawString(), QStringLiteral("text"));
    copy.clear();
    EXPECT_TRUE(copy.isEmpty());
}

TEST_F(VariantTest, AssigningAnElementOfItsOwnArray)
{
    Variant a = VarArrayOf({VarArrayOf({1, 2}), 3});
    a = std::move(a.mutableArrayData()->items[0]);
    EXPECT_EQ(VarArrayHighBound(a, 1), 1);
    EXPECT_TRUE(sameVariant(VarArrayGet(a, {1}), 2));

    Variant b = VarArrayOf({VarArrayOf({4}), 5});
    b = b.arrayData()->items[0];
    EXPECT_TRUE(sameVariant(VarArrayGet(b, {0}), 4));
}

TEST_F(VariantTest, InPlaceAppendKeepsTheTextKind)
{
    Variant s = "a";
    VarOpInPlace(VarOp::Add, s, "b");
    EXPECT_EQ(s.type(), varString);
    VarOpInPlace(VarOp::Add, s, Ole("c"));
    EXPECT_EQ(s.type(), varOleStr);
    EXPECT_EQ(s.rawString(), QStringLiteral("abc"));
    const Variant shared = s;
    VarOpInPlace(VarOp::Add, s, "d");
    EXPECT_EQ(shared.rawString(), QStringLiteral("abc")) << "a copy keeps its value";
}

// ---------------------------------------------------------------------------
// Arrays

TEST_F(VariantTest, ArrayBoundsAndElements)
{
    Variant a = VarArrayCreate({0, 9}, varVariant);
    EXPECT_EQ(VarArrayDimCount(a), 1);
    EXPECT_EQ(VarArrayLowBound(a, 1), 0);
    EXPECT_EQ(VarArrayHighBound(a, 1), 9);
    EXPECT_TRUE(VarArrayGet(a, {9}).isEmpty());
    VarArrayPut(a, "x", {9});
    EXPECT_EQ(VarArrayGet(a, {9}).rawString(), QStringLiteral("x"));
    EXPECT_THROW(VarArrayGet(a, {10}), EVariantBadIndexError);
    EXPECT_THROW(VarArrayGet(a, {-1}), EVariantBadIndexError);
    EXPECT_THROW(VarArrayPut(a, 1, {10}), EVariantBadIndexError);
    EXPECT_THROW(VarArrayGet(a, {0, 0}), EVariantBadIndexError) << "wrong number of indexes";
    EXPECT_THROW(VarArrayHighBound(a, 2), EVariantBadIndexError);
    EXPECT_THROW(VarArrayLowBound(a, 0), EVariantBadIndexError);
}

TEST_F(VariantTest, ThreeDimensionsWithOwnBounds)
{
    Variant a = VarArrayCreate({1, 2, -1, 1, 5, 8}, varInteger);
    EXPECT_EQ(VarArrayDimCount(a), 3);
    EXPECT_EQ(VarArrayLowBound(a, 2), -1);
    EXPECT_EQ(VarArrayHighBound(a, 3), 8);
    for (int i = 1; i <= 2; ++i)
        for (int j = -1; j <= 1; ++j)
            for (int k = 5; k <= 8; ++k)
                VarArrayPut(a, i * 100 + j * 10 + k, {i, j, k});
    for (int i = 1; i <= 2; ++i)
        for (int j = -1; j <= 1; ++j)
            for (int k = 5; k <= 8; ++k)
                ASSERT_EQ(VarArrayGet(a, {i, j, k}).rawInteger(), i * 100 + j * 10 + k) << i << j << k;
    EXPECT_THROW(VarArrayGet(a, {1, 2, 5}), EVariantBadIndexError);
}

TEST_F(VariantTest, TypedArraysConvertWhatTheyStore)
{
    Variant a = VarArrayCreate({0, 2}, varInteger);
    EXPECT_TRUE(sameVariant(VarArrayGet(a, {0}), 0)) << "elements start as the kind's zero";
    VarArrayPut(a, "5", {0});
    VarArrayPut(a, 2.5, {1});
    EXPECT_TRUE(sameVariant(VarArrayGet(a, {0}), 5));
    EXPECT_TRUE(sameVariant(VarArrayGet(a, {1}), 2));
    EXPECT_THROW(VarArrayPut(a, "x", {2}), EVariantTypeCastError);
    EXPECT_THROW(VarArrayPut(a, Null(), {2}), EVariantTypeCastError);

    Variant s = VarArrayCreate({0, 0}, varString);
    EXPECT_EQ(VarArrayGet(s, {0}).type(), varString);
    VarArrayPut(s, 12, {0});
    EXPECT_EQ(VarArrayGet(s, {0}).rawString(), QStringLiteral("12"));
}

TEST_F(VariantTest, ArraysAreValues)
{
    Variant a = VarArrayOf({1, 2, 3});
    Variant b = a;
    VarArrayPut(b, 20, {1});
    EXPECT_TRUE(sameVariant(VarArrayGet(a, {1}), 2)) << "changing a copy leaves the original";
    EXPECT_TRUE(sameVariant(VarArrayGet(b, {1}), 20));
    VarArrayRedim(b, 0);
    EXPECT_EQ(VarArrayHighBound(a, 1), 2);

    // An array stored into itself keeps the old contents as the element.
    VarArrayPut(a, a, {0});
    const Variant inner = VarArrayGet(a, {0});
    ASSERT_TRUE(inner.isArray());
    EXPECT_TRUE(sameVariant(VarArrayGet(inner, {0}), 1));
}

TEST_F(VariantTest, RedimChangesTheLastDimensionKeepingElements)
{
    Variant a = VarArrayCreate({0, 4}, varVariant);
    for (int i = 0; i <= 4; ++i)
        VarArrayPut(a, i, {i});
    VarArrayRedim(a, 2);
    EXPECT_EQ(VarArrayHighBound(a, 1), 2);
    EXPECT_TRUE(sameVariant(VarArrayGet(a, {2}), 2));
    VarArrayRedim(a, 6);
    EXPECT_TRUE(sameVariant(VarArrayGet(a, {1}), 1));
    EXPECT_TRUE(VarArrayGet(a, {6}).isEmpty());

    Variant m = VarArrayCreate({0, 1, 10, 11}, varInteger);
    VarArrayPut(m, 7, {1, 11});
    VarArrayRedim(m, 12);
    EXPECT_EQ(VarArrayHighBound(m, 2), 12);
    EXPECT_TRUE(sameVariant(VarArrayGet(m, {1, 11}), 7));
    EXPECT_TRUE(sameVariant(VarArrayGet(m, {1, 12}), 0));

    VarArrayRedim(a, -1);
    EXPECT_EQ(VarArrayHighBound(a, 1), -1) << "an empty array is allowed";
    EXPECT_THROW(VarArrayRedim(a, -3), EVariantArrayCreateError);
}

TEST_F(VariantTest, BadArrayRequests)
{
    EXPECT_THROW(VarArrayCreate({0, 1, 0, 1, 0, 1, 0, 1}, varVariant), EVariantArrayCreateError) << "four dimensions";
    EXPECT_THROW(VarArrayCreate({5, 3}, varVariant), EVariantArrayCreateError);
    EXPECT_THROW(VarArrayCreate({0, 1}, varNull), EVariantArrayCreateError);
    EXPECT_THROW(VarArrayCreate({0}, varVariant), EVariantArrayCreateError);
    EXPECT_THROW(VarArrayCreate({0, 2000000000}, varVariant), EVariantArrayCreateError)
        << "an absurd size is an error, not an abort";
    EXPECT_EQ(VarArrayHighBound(VarArrayCreate({3, 2}, varVariant), 1), 2) << "high = low - 1 is empty";

    Variant notArray = 5;
    EXPECT_EQ(VarArrayDimCount(notArray), 0);
    EXPECT_THROW(VarArrayLowBound(notArray, 1), EVariantInvalidArgError);
    EXPECT_THROW(VarArrayGet(notArray, {0}), EVariantInvalidArgError);
    EXPECT_THROW(VarArrayPut(notArray, 1, {0}), EVariantInvalidArgError);
    EXPECT_THROW(VarArrayRedim(notArray, 3), EVariantInvalidArgError);
}

TEST_F(VariantTest, TextFollowsTheCurrentLocalesSeparator)
{
    FormatSettings() = TFormatSettings::english();
    EXPECT_DOUBLE_EQ(Variant("1.5").toDouble(), 1.5);
    EXPECT_THROW((void)Variant("1,5").toDouble(), EVariantTypeCastError);
    EXPECT_EQ(VarToStr(2.5), QStringLiteral("2.5"));
    EXPECT_TRUE(sameVariant(VarAdd("0.5", 1), 1.5));
}
