// Prototypes of host functions, literal texts and positions.

#include "SysUtils.h"
#include "zs_items.h"
#include "zs_proto.h"
#include "zs_script.h"
#include "zs_test_util.h"

#include <gtest/gtest.h>

using plat::Variant;

namespace {

struct ParamExpectation {
    const char* name;
    TzsVarType kind;
    bool isVar;
    bool optional;
};

TEST(ZsPrototype, FunctionWithConstParameter)
{
    auto item = zsParsePrototype(QStringLiteral("function Find(const Name: String): Integer"), nullptr);
    EXPECT_EQ(item->Name, QStringLiteral("Find"));
    EXPECT_EQ(item->Kind, fvtInt);
    EXPECT_EQ(item->DeclaredType, QStringLiteral("Integer"));
    EXPECT_FALSE(item->Macro);
    ASSERT_EQ(item->ParamCount(), 1);
    EXPECT_EQ(item->GetParam(0)->Name, QStringLiteral("Name"));
    EXPECT_EQ(item->GetParam(0)->Kind, fvtString);
    EXPECT_FALSE(item->GetParam(0)->IsVar);
    EXPECT_FALSE(item->GetParam(0)->Optional);
}

TEST(ZsPrototype, ParameterGroupsVarAndDefaults)
{
    struct Case {
        const char* prototype;
        std::vector<ParamExpectation> params;
    };
    const Case cases[] = {
        {"procedure Inc(var i: Integer; incr: Integer = 1)", {{"i", fvtInt, true, false}, {"incr", fvtInt, false, true}}},
        {"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)",
         {{"Date", fvtFloat, false, false},
          {"Year", fvtInt, true, false},
          {"Month", fvtInt, true, false},
          {"Day", fvtInt, true, false}}},
        // Only the last name of a group with a default is optional.
        {"function F(a, b: String = 'x'): Boolean", {{"a", fvtString, false, false}, {"b", fvtString, false, true}}},
        {"procedure NoParams", {}},
        {"procedure Empty()", {}},
        // An unclosed list ends with the text; names without a type are dropped.
        {"procedure Broken(a: Integer; b", {{"a", fvtInt, false, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prototype);
        auto item = zsParsePrototype(QString::fromLatin1(c.prototype), nullptr);
        ASSERT_EQ(item->ParamCount(), int(c.params.size()));
        for (size_t i = 0; i < c.params.size(); ++i) {
            TzsParamItem* p = item->GetParam(int(i));
            EXPECT_EQ(p->Name, QString::fromLatin1(c.params[i].name));
            EXPECT_EQ(p->Kind, c.params[i].kind);
            EXPECT_EQ(p->IsVar, c.params[i].isVar);
            EXPECT_EQ(p->Optional, c.params[i].optional);
        }
    }
}

TEST(ZsPrototype, DefaultValuesFromLiteralsAndConstants)
{
    TzsScript script;
    script.AddConst(QStringLiteral("Limit"), QStringLiteral("Integer"), Variant(99));
    auto item = zsParsePrototype(
        QStringLiteral("function G(a: Integer = -5; b: String = 'it''s'; c: Integer = Limit; d: Integer = Nope): Integer"),
        &script);
    ASSERT_EQ(item->ParamCount(), 4);
    EXPECT_EQ(item->GetParam(0)->DefaultValue.toInteger(), -5);
    EXPECT_EQ(item->GetParam(1)->DefaultValue.toString(), QStringLiteral("it's"));
    EXPECT_EQ(item->GetParam(2)->DefaultValue.toInteger(), 99);
    EXPECT_TRUE(item->GetParam(3)->DefaultValue.isNull());
}

TEST(ZsPrototype, MacroPrefixAndResultType)
{
    auto item = zsParsePrototype(QStringLiteral("macrofunction Get(s: String): Variant"), nullptr);
    EXPECT_TRUE(item->Macro);
    EXPECT_EQ(item->Name, QStringLiteral("Get"));
    EXPECT_EQ(item->Kind, fvtVariant);
    auto proc = zsParsePrototype(QStringLiteral("procedure P(x: Integer)"), nullptr);
    EXPECT_EQ(proc->DeclaredType, QString());
}

TEST(ZsPrototype, TypeNamesTakeTheKindOfTheVisibleItem)
{
    TzsScript script;
    script.AddType(QStringLiteral("TMyNumber"), fvtFloat);
    EXPECT_EQ(zsTypeOfName(QStringLiteral("TMyNumber"), &script), fvtFloat);
    EXPECT_EQ(zsTypeOfName(QStringLiteral("TUnknownThing"), &script), fvtClass);
    TzsScript child;
    child.Parent = &script;
    EXPECT_EQ(zsTypeOfName(QStringLiteral("tmynumber"), &child), fvtFloat);
}

TEST(ZsLiteral, TextsBecomeValuesOfTheirKind)
{
    struct Case {
        const char* text;
        plat::TVarType type;
        const char* value;
    };
    const Case cases[] = {
        {"12", plat::varInteger, "12"},
        {"3000000000", plat::varInt64, "3000000000"},
        {"$FF", plat::varInteger, "255"},
        {"1.5", plat::varDouble, "1.5"},
        {"'x'", plat::varString, "x"},
        {"''", plat::varString, ""},
        {"-7", plat::varInteger, "-7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Variant v = zsLiteralToValue(QString::fromLatin1(c.text));
        EXPECT_EQ(v.type(), c.type);
        EXPECT_EQ(plat::VarToStr(v), QString::fromLatin1(c.value));
    }
    EXPECT_TRUE(zsLiteralToValue(QString()).isNull());
}

TEST(ZsPosition, LineColumnTextsBecomePoints)
{
    EXPECT_EQ(zsPosToPoint(QStringLiteral("12:5")), QPoint(5, 12));
    EXPECT_EQ(zsPosToPoint(QString()), QPoint(0, 0));
}

} // namespace

namespace {

TEST(ZsFormatArgs, ValuesBecomeArgumentsOfTheirKind)
{
    const QString longText(300, u'x');
    const Variant values = plat::VarArrayOf({Variant(12), Variant(2.5), Variant(true), Variant(qint64(1) << 40),
                                             Variant(longText), Variant::fromOleStr(longText), plat::Null()});
    const std::vector<plat::FormatArg> args = zsValuesToArgs(values);
    ASSERT_EQ(args.size(), 7u);
    EXPECT_EQ(plat::Format(QStringLiteral("%d %.1f %d"), {args[0], args[1], args[3]}),
              QStringLiteral("12 2.5 1099511627776"));
    EXPECT_EQ(args[2].kind(), plat::FormatArg::Kind::Boolean);
    EXPECT_EQ(args[4].stringValue().size(), 255);
    EXPECT_EQ(args[5].stringValue().size(), 300);
    EXPECT_EQ(args[6].intValue(), 0);
    EXPECT_EQ(zsArgToValue(args[1]).toDouble(), 2.5);
    EXPECT_EQ(zsArgToValue(args[4]).type(), plat::varString);
}

} // namespace
