// The interpreter's fast paths give what the general way gives: constants
// folded when a script compiles, operands read where they lie, the typed
// operator functions, the typed assignment and the text appended in place.
// Values and errors alike, whichever way an operand reaches an operator, and
// in the order the general way reads things.

#include "../VariantOutcome.h"
#include "Exceptions.h"
#include "Variant_fast.h"
#include "zs_dsgn.h"
#include "zs_expr.h"
#include "zs_items.h"
#include "zs_runfixture.h"
#include "zs_script.h"
#include "zs_sysfuncs.h"
#include "zs_test_util.h"

#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

using plat::Variant;
using plat::VarOp;
using varianttest::outcome;

namespace {

struct Operator {
    const char* text;
    VarOp op;
};

const Operator kOperators[] = {
    {"+", VarOp::Add},         {"-", VarOp::Subtract},    {"*", VarOp::Multiply}, {"/", VarOp::Divide},
    {"div", VarOp::IntDivide}, {"mod", VarOp::Modulus},   {"shl", VarOp::ShiftLeft}, {"shr", VarOp::ShiftRight},
    {"and", VarOp::And},       {"or", VarOp::Or},         {"xor", VarOp::Xor},    {"=", VarOp::CmpEQ},
    {"<>", VarOp::CmpNE},      {"<", VarOp::CmpLT},       {"<=", VarOp::CmpLE},   {">", VarOp::CmpGT},
    {">=", VarOp::CmpGE},
};

// Operands of every kind a script meets, many on the borders where a rule
// changes (32 and 64-bit overflow, zero divisors, texts that are numbers).
std::vector<Variant> operands()
{
    return {0,
            7,
            -1,
            INT32_MAX,
            INT32_MIN,
            Variant(static_cast<long long>(INT64_MAX)),
            Variant(static_cast<long long>(INT64_MIN)),
            2.5,
            1e308,
            QStringLiteral("a"),
            QStringLiteral("10"),
            Variant::fromOleStr(QStringLiteral("b")),
            true,
            false,
            plat::Null(),
            Variant(),
            Variant::fromCurrencyScaled(25000),
            Variant::fromInteger(200, plat::varByte)};
}

// How an operand reaches the operator.
enum class Route {
    Constant,       // a literal, folded with a literal partner
    Variable,       // read in place
    HookedVariable, // a host hook may supply the value: read through GetValue
    Parameter,      // read in place
};

class ExpressionRoutes : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 2; ++i) {
            m_variables[i] = new TzsVariable(QStringLiteral("v%1").arg(i));
            m_script.Add(m_variables[i]->Name, m_variables[i]);
            m_hooked[i] = new TzsVariable(QStringLiteral("h%1").arg(i));
            // The hook leaves the value alone, but its presence sends reads through GetValue.
            m_hooked[i]->OnGetVarValue = [](const QString&, TzsVarType, const Variant&) { return plat::Null(); };
            m_script.Add(m_hooked[i]->Name, m_hooked[i]);
            m_parameters[i] = new TzsParamItem(QStringLiteral("p%1").arg(i), fvtVariant, QString(), false, false);
            m_script.Add(m_parameters[i]->Name, m_parameters[i]);
        }
    }

    void append(TzsExpression& e, Route route, int side, const Variant& value)
    {
        TzsCustomVariable* item = nullptr;
        switch (route) {
        case Route::Constant: e.AppendConstant(value); return;
        case Route::Variable: item = m_variables[side]; break;
        case Route::HookedVariable: item = m_hooked[side]; break;
        case Route::Parameter: item = m_parameters[side]; break;
        }
        item->Value = value;
        auto d = std::make_unique<TzsDesignator>(&m_script);
        d->AddItem(item, QStringLiteral("1:1"));
        d->Finish();
        if (TzsDesignator* fast = d->makeFastPath())
            d.reset(fast);
        e.AppendDesignator(d.release());
    }

    // The outcome of "left op right" with the operands reached by the two
    // routes, or "" when the operand types do not fit (a compile error).
    std::string evaluate(const Operator& op, Route leftRoute, const Variant& left, Route rightRoute,
                         const Variant& right)
    {
        TzsExpression e(&m_script);
        e.CurrentSourcePos = QStringLiteral("1:1");
        append(e, leftRoute, 0, left);
        e.AppendOperator(QString::fromLatin1(op.text));
        append(e, rightRoute, 1, right);
        if (!e.Complete().isEmpty())
            return {};
        const std::string result = outcome([&] { return e.GetValue(); });
        if (leftRoute == Route::Constant && rightRoute == Route::Constant) {
            // Folded exactly when evaluating succeeds; an error stays for run time.
            const bool folded = typeid(*e.RootNode) == typeid(TzsOperandNode);
            EXPECT_EQ(folded, result.rfind("raised", 0) != 0) << result;
        }
        return result;
    }

    TzsScript m_script;
    TzsVariable* m_variables[2] = {};
    TzsVariable* m_hooked[2] = {};
    TzsParamItem* m_parameters[2] = {};
};

TEST_F(ExpressionRoutes, EveryRouteGivesTheGeneralRulesValueAndError)
{
    const struct {
        Route left;
        Route right;
    } kRoutes[] = {
        {Route::Constant, Route::Constant},       // folded
        {Route::Variable, Route::Parameter},      // both read in place
        {Route::HookedVariable, Route::Constant}, // the left evaluated, the right in place
        {Route::Parameter, Route::HookedVariable}, // both evaluated
    };
    const std::vector<Variant> values = operands();
    int compared = 0;
    for (const Operator& op : kOperators) {
        for (const Variant& left : values) {
            for (const Variant& right : values) {
                const std::string general = outcome([&] { return plat::VarBinaryOpGeneral(op.op, left, right); });
                for (const auto& route : kRoutes) {
                    const std::string result = evaluate(op, route.left, left, route.right, right);
                    if (result.empty())
                        continue;
                    ++compared;
                    ASSERT_EQ(result, general) << plat::VarTypeAsText(left.type()).toStdString() << ' ' << op.text
                                               << ' ' << plat::VarTypeAsText(right.type()).toStdString() << " route "
                                               << int(route.left) << '/' << int(route.right);
                }
            }
        }
    }
    EXPECT_GT(compared, 15000);
}

// ---------------------------------------------------------------- whole scripts

class FastPathScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        zstest::registerSystem(*script, [this](const QString& s) { printed << s; });
        zsRegisterSysFunctions();
        script->AddRTTI();
    }

    QStringList run(const QString& text)
    {
        script->Lines.SetText(text);
        EXPECT_TRUE(script->Compile()) << (script->ErrorPosition + QStringLiteral(": ") + script->ErrorMessage).toStdString();
        printed.clear();
        script->Execute();
        return printed;
    }

    std::unique_ptr<TzsScript> script = std::make_unique<TzsScript>(nullptr);
    QStringList printed;
};

TEST_F(FastPathScript, AFoldedErrorComesWhenTheStatementRuns)
{
    script->Lines.SetText(QStringLiteral("begin\n"
                                         "  Print('before');\n"
                                         "  if False then Print(1 div 0);\n"
                                         "  Print(1 div 0);\n"
                                         "end."));
    ASSERT_TRUE(script->Compile()) << "a constant that cannot be computed is no compile error";
    try {
        script->Execute();
        ADD_FAILURE() << "no error";
    } catch (const plat::Exception& e) {
        EXPECT_STREQ(e.className(), "EDivByZero");
        EXPECT_EQ(e.message(), QStringLiteral("Division by zero"));
    }
    EXPECT_EQ(printed, QStringList{QStringLiteral("before")});
    EXPECT_EQ(script->ErrorPosition, QStringLiteral("4:3"));
}

TEST_F(FastPathScript, FoldedConstantsKeepTheTypeOfTheirExpression)
{
    // 7 / 2 is a float whether folded or not: an Integer cannot take it.
    script->Lines.SetText(QStringLiteral("var i: Integer; begin i := 7 / 2 end."));
    EXPECT_FALSE(script->Compile());
    EXPECT_TRUE(script->ErrorMessage.startsWith(QStringLiteral("Incompatible types"))) << script->ErrorMessage.toStdString();

    EXPECT_EQ(run(QStringLiteral("var v: Variant; d: Double; const C = 2 * 3 + 1;\n"
                                 "begin\n"
                                 "  v := 2147483647 + 1; Print(v); Print(VarType(v));\n"
                                 "  v := 2 + 3 * 4; Print(VarType(v));\n"
                                 "  d := 7 / 2; Print(d);\n"
                                 "  Print(C); Print('a' + 'b');\n"
                                 "  Print(False and (1 div 0 = 1));\n"
                                 "end.")),
              (QStringList{"2147483648", "20", "3", "3.5", "7", "ab", "False"}));
}

TEST_F(FastPathScript, OnlyAndAndOrOfBooleansShortCircuit)
{
    EXPECT_EQ(run(QStringLiteral("var b, c: Boolean;\n"
                                 "begin\n"
                                 "  b := True; c := False;\n"
                                 "  Print(b = c); Print(b <> c); Print(b xor b); Print(c or b); Print(c and b);\n"
                                 "end.")),
              (QStringList{"False", "True", "False", "True", "False"}));
}

TEST_F(FastPathScript, TheLeftOperandIsReadBeforeTheRightOneRuns)
{
    EXPECT_EQ(run(QStringLiteral("var n, m: Integer;\n"
                                 "function Bump: Integer; begin n := 100; Result := 1; end;\n"
                                 "begin\n"
                                 "  n := 1; m := n + Bump; Print(m);\n"
                                 "  n := 1; m := Bump + n; Print(m);\n"
                                 "  n := 1; n := n + Bump; Print(n);\n"
                                 "end.")),
              (QStringList{"2", "101", "2"}));
}

TEST_F(FastPathScript, TheSourceIsReadBeforeTheDestinationsIndexRuns)
{
    EXPECT_EQ(run(QStringLiteral("var n: Integer; a: array[0..2] of Integer;\n"
                                 "function Idx: Integer; begin n := 100; Result := 1; end;\n"
                                 "begin n := 5; a[Idx] := n; Print(a[1]); Print(n); end.")),
              (QStringList{"5", "100"}));
}

TEST_F(FastPathScript, TextAppendedInPlaceIsTheTextJoined)
{
    EXPECT_EQ(run(QStringLiteral("var s, t: String; i: Integer; v: Variant;\n"
                                 "function Replace: String; begin s := 'zz'; Result := 'y'; end;\n"
                                 "begin\n"
                                 "  s := 'a'; s := s + Replace; Print(s);\n"
                                 "  s := 'ab'; s := s + s; Print(s);\n"
                                 "  s := 'ab'; t := s; s := s + 'c'; Print(t + ' ' + s);\n"
                                 "  s := ''; for i := 1 to 5000 do s := s + IntToStr(i mod 10); Print(Length(s));\n"
                                 "  v := 'x'; s := 'w'; s := s + v; Print(s);\n"
                                 "end.")),
              (QStringList{"ay", "abab", "ab abc", "5000", "wx"}));
}

TEST_F(FastPathScript, AppendingANumberToATextFailsAsBefore)
{
    script->Lines.SetText(QStringLiteral("var s: String; v: Variant; begin s := 'a'; v := 5; s := s + v; end."));
    ASSERT_TRUE(script->Compile());
    std::string raised;
    try {
        script->Execute();
    } catch (const plat::Exception& e) {
        raised = std::string(e.className()) + ": " + e.message().toStdString();
    }
    EXPECT_EQ(raised, outcome([] { return plat::VarBinaryOpGeneral(VarOp::Add, QStringLiteral("a"), 5); })
                          .substr(std::string("raised ").size()));
    EXPECT_EQ(script->Find(QStringLiteral("s"))->GetValue().toString(), QStringLiteral("a"));
}

TEST_F(FastPathScript, HostHooksStillSupplyOperandsAndTexts)
{
    script->OnGetVarValue = [](const QString& name, TzsVarType, const Variant&) {
        if (name == QLatin1String("Answer"))
            return Variant(42);
        if (name == QLatin1String("Title"))
            return Variant(QStringLiteral("T"));
        return plat::Null();
    };
    EXPECT_EQ(run(QStringLiteral("var Answer, k: Integer; Title: String;\n"
                                 "begin\n"
                                 "  Answer := 1; k := Answer + 1; Print(k); Print(Answer * 2 = 84);\n"
                                 "  Title := 'a'; Title := Title + 'b'; Print(Title);\n"
                                 "  k := 5; k := k + Answer; Print(k);\n"
                                 "end.")),
              (QStringList{"43", "True", "T", "47"}));
}

TEST_F(FastPathScript, ParametersAreReadInPlaceAlsoInRecursion)
{
    EXPECT_EQ(run(QStringLiteral("function Fact(n: Integer): Integer;\n"
                                 "begin if n <= 1 then Result := 1 else Result := n * Fact(n - 1); end;\n"
                                 "function Twice(a: Integer): Integer; begin a := a + a; Result := a; end;\n"
                                 "begin Print(Fact(10)); Print(Twice(21)); end.")),
              (QStringList{"3628800", "42"}));
}

} // namespace
