// The script object and its runtime through its interface: registration,
// compile errors, Execute, CallFunction, Evaluate, Terminate, run flags,
// event bridges and the faults the runtime guards against.

#include "Exceptions.h"
#include "Handles.h"
#include "zs_dsgn.h"
#include "zs_expr.h"
#include "zs_items.h"
#include "zs_runfixture.h"
#include "zs_script.h"
#include "zs_stmts.h"
#include "zs_test_util.h"

#include <gtest/gtest.h>

using plat::Variant;

namespace {

class Script : public ::testing::Test {
protected:
    // Host registrations are stamped 1, so that compile() can clear the
    // previous program without losing them.
    void SetUp() override
    {
        script->OwnerStamp = 1;
        zstest::registerSystem(*script, [this](const QString& s) { printed << s; });
        zstest::registerDemoClasses(*script, &owner);
        script->OwnerStamp = 0;
        addObject(QStringLiteral("Demo"), new zstest::TDemoItem(&owner));
    }
    void addObject(const QString& name, plat::TObject* obj)
    {
        script->OwnerStamp = 1;
        script->AddObject(name, obj);
        script->OwnerStamp = 0;
    }
    void TearDown() override { script.reset(); }

    bool compile(const QString& text, const QString& language = QStringLiteral("PascalScript"))
    {
        script->Clear();
        script->SyntaxType = language;
        script->Lines.SetText(text);
        return script->Compile();
    }
    QStringList run(const QString& text, const QString& language = QStringLiteral("PascalScript"))
    {
        EXPECT_TRUE(compile(text, language)) << (script->ErrorPosition + QStringLiteral(": ") + script->ErrorMessage).toStdString();
        printed.clear();
        script->Execute();
        return printed;
    }

    plat::TComponent owner{nullptr};
    std::unique_ptr<TzsScript> script = std::make_unique<TzsScript>(nullptr);
    QStringList printed;
};

// ---------------------------------------------------------------- compile errors

struct SemanticError {
    const char* source;
    const char* message;
    const char* position;
};

class ScriptSemanticErrors : public Script, public ::testing::WithParamInterface<SemanticError> {};

TEST_P(ScriptSemanticErrors, ReportMessageAndPosition)
{
    const SemanticError& e = GetParam();
    EXPECT_FALSE(compile(QString::fromUtf8(e.source)));
    EXPECT_EQ(script->ErrorMessage, QString::fromUtf8(e.message));
    EXPECT_EQ(script->ErrorPosition, QString::fromUtf8(e.position));
}

const SemanticError kSemanticErrors[] = {
    // undeclared identifiers
    {"begin x := 1; end.", "Undeclared identifier: 'x'", "1:8"},
    {"begin Print(y); end.", "Undeclared identifier: 'y'", "1:14"},
    {"begin Demo.Nope := 1; end.", "Undeclared identifier: 'Nope'", "1:16"},
    {"var v: TNoSuchClass; begin end.", "Unknown type: 'TNoSuchClass'", "1:20"},
    {"var i: Integer; i: String; begin end.", "Identifier redeclared: 'i'", "1:18"},
    // incompatible types
    {"var s: String; begin s := 1; end.", "Incompatible types: 'String', 'Integer'", "1:27"},
    {"var i: Integer; begin i := 1.5; end.", "Incompatible types: 'Integer', 'Extended'", "1:28"},
    {"var i: Integer; begin i := 7 / 2; end.", "Incompatible types: 'Integer', 'Extended'", "1:28"},
    {"var b: Boolean; begin b := 1; end.", "Incompatible types: 'Boolean', 'Integer'", "1:28"},
    {"var i: Integer; begin i := 'a' + 1; end.", "Incompatible types", "1:33"},
    {"var b: Boolean; begin b := 'a' = 1; end.", "Incompatible types", "1:33"},
    {"var k: TDemoKind; begin k := True; end.", "Incompatible types: 'TDemoKind', 'Boolean'", "1:30"},
    {"begin Print(Demo.Sum('a', 2)); end.", "Incompatible types: 'Integer', 'String'", "1:22"},
    // parameter counts
    {"begin Print(1, 2); end.", "Too many actual parameters", "1:12"},
    {"begin Print; end.", "Not enough actual parameters", "1:12"},
    {"begin Demo.Sum(1); end.", "Not enough actual parameters", "1:15"},
    {"procedure P(a, b: Integer); begin end; begin P(1, 2, 3); end.", "Too many actual parameters", "1:47"},
    // left sides
    {"const C = 5; begin C := 2; end.", "Left side cannot be assigned to", "1:20"},
    {"const S = 'abc'; begin S[1] := 'x'; end.", "Left side cannot be assigned to", "1:24"},
    {"begin Demo.Area := 1; end.", "Left side cannot be assigned to", "1:7"},
    {"function F: Integer; begin end; begin F := 1; end.", "Left side cannot be assigned to", "1:39"},
    {"begin Inc(3); end.", "Variable required", "1:11"},
    {"begin Print(@Demo.Caption) end.", "Variable required", "1:14"},
    // for-loop variables
    {"var s: String; begin for s := 1 to 2 do ; end.", "For loop variable must be numeric variable", "1:27"},
    {"var b: Boolean; begin for b := 1 to 2 do ; end.", "For loop variable must be numeric variable", "1:28"},
    {"procedure P(a: Integer); begin for a := 1 to 2 do ; end; begin end.",
     "For loop variable must be numeric variable", "1:37"},
    {"const C = 1; begin for C := 1 to 2 do ; end.", "For loop variable must be numeric variable", "1:25"},
    {"var i: Integer; begin for i := 'a' to 2 do ; end.", "Incompatible types: 'Integer', 'String'", "1:35"},
    // member access
    {"var s: String; begin s.Foo := 1; end.", "Strings doesn't have properties or methods", "1:27"},
    {"var i: Integer; begin i.Foo := 1; end.", "Array type required", "1:28"},
    {"var o: TComponent; begin o[1] := 1; end.", "Class TComponent does not have a default property", "1:28"},
    {"begin Print(Demo.Values); end.", "Not enough actual parameters", "1:24"},
    {"begin Demo.Values.X := 1; end.", "Index required", "1:18"},
    {"var i: Integer; begin with i do ; end.", "Class type required", "1:29"},
    // array size
    {"var a: array[1..100000000] of Integer; begin end.", "Array too large: more than 16777216 elements", "1:26"},
};

INSTANTIATE_TEST_SUITE_P(Table, ScriptSemanticErrors, ::testing::ValuesIn(kSemanticErrors));

TEST_F(Script, UnknownLanguageRaisesOutOfCompile)
{
    script->SyntaxType = QStringLiteral("Klingon");
    script->Lines.SetText(QStringLiteral("begin end."));
    try {
        script->Compile();
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Language 'Klingon' not found"));
    }
}

TEST_F(Script, AnOverlongExpressionIsACompileErrorNotAStackOverflow)
{
    QString sum = QStringLiteral("1");
    for (int i = 0; i < 3000; ++i)
        sum += QStringLiteral(" + 1");
    EXPECT_EQ(run(QStringLiteral("begin Print(%1) end.").arg(sum)), (QStringList{"3001"}));
    for (int i = 0; i < 3000; ++i)
        sum += QStringLiteral(" + 1");
    EXPECT_FALSE(compile(QStringLiteral("begin Print(%1) end.").arg(sum)));
    EXPECT_EQ(script->ErrorMessage, QStringLiteral("Expression too complex"));
}

// ---------------------------------------------------------------- statement forms

TEST_F(Script, InPlaceRewritesNeverTurnConcatenationIntoAddition)
{
    ASSERT_TRUE(compile(QStringLiteral("var x: Integer; s: String;\n"
                                       "begin x := x + 1; x := 1 + x; s := 'a' + s; s := s + 'a'; x := x - 2 end.")));
    TzsStatement* main = script->MainBlock();
    ASSERT_EQ(main->Count(), 5);
    EXPECT_NE(dynamic_cast<TzsAssignPlusStmt*>(main->GetChild(0)), nullptr);
    EXPECT_NE(dynamic_cast<TzsAssignPlusStmt*>(main->GetChild(1)), nullptr);
    EXPECT_EQ(typeid(*main->GetChild(2)), typeid(TzsAssignmentStmt));
    EXPECT_NE(dynamic_cast<TzsAssignMinusStmt*>(main->GetChild(4)), nullptr);

    // BasicScript's & joins texts even when the in-place form would add.
    const QStringList out = run(QStringLiteral("dim s\ns = 5\ns = s & 1\nPrint(s)\ns = 2 & 3\nPrint(s + 1)\n"),
                                QStringLiteral("BasicScript"));
    EXPECT_EQ(out, (QStringList{QStringLiteral("51"), QStringLiteral("24")}));
}

TEST_F(Script, SwitchConsumesItsBreakButPascalCaseDoesNot)
{
    EXPECT_EQ(run(QStringLiteral("int i;\n{ for (i = 0; i < 3; i++) { switch (i) { case 1: { Print(\"one\"); break; } } "
                                 "Print(i); } }\n"),
                  QStringLiteral("C++Script")),
              (QStringList{"0", "one", "1", "2"}));
    EXPECT_EQ(run(QStringLiteral("var i: Integer; begin for i := 0 to 2 do begin case i of 1: break; end; Print(i) "
                                 "end end.")),
              (QStringList{"0"}));
}

TEST_F(Script, AddressOfAProcedureIsItsName)
{
    EXPECT_EQ(run(QStringLiteral("procedure P; begin end;\nbegin Print(@P) end.")), (QStringList{"P"}));
}

TEST_F(Script, AnEmptyCaseBranchKeepsItsValuesFromTheElseBranch)
{
    EXPECT_EQ(run(QStringLiteral("var i: Integer; begin for i := 1 to 2 do case i of 1: ; else Print('else') end end.")),
              (QStringList{"else"}));
}

TEST_F(Script, ForWithStepCountsInVariants)
{
    EXPECT_EQ(run(QStringLiteral("dim i\nfor i = 1 to 2 step 0.5\nPrint(i)\nnext\n"), QStringLiteral("BasicScript")),
              (QStringList{"1", "1.5", "2"}));
}

TEST_F(Script, ExecutableLinesAreTheLinesWhereStatementsBegin)
{
    ASSERT_TRUE(compile(QStringLiteral("var i: Integer;\nbegin\n  i := 1;\n\n  Print(i);\nend.")));
    EXPECT_TRUE(script->IsExecutableLine(3));
    EXPECT_TRUE(script->IsExecutableLine(5));
    EXPECT_FALSE(script->IsExecutableLine(4));
    EXPECT_FALSE(script->IsExecutableLine(1));
    EXPECT_FALSE(script->IsExecutableLine(3, QStringLiteral("NoSuchUnit")));
}

// ---------------------------------------------------------------- registration

TEST_F(Script, EnumerationsAndSetsNumberTheirNames)
{
    script->AddEnumSet(QStringLiteral("TFontStyles"), QStringLiteral("fsBold, fsItalic"));
    EXPECT_EQ(script->Find(QStringLiteral("fsBold"))->GetValue().toInteger(), 1);
    EXPECT_EQ(script->Find(QStringLiteral("fsItalic"))->GetValue().toInteger(), 2);
    TzsScript other;
    other.AddEnum(QStringLiteral("TFontStyle"), QStringLiteral("fsBold , fsItalic"));
    EXPECT_EQ(other.Find(QStringLiteral("FSBOLD"))->GetValue().toInteger(), 0);
    EXPECT_EQ(other.Find(QStringLiteral("fsItalic"))->GetValue().toInteger(), 1);
    EXPECT_TRUE(other.Find(QStringLiteral("fsItalic"))->ReadOnly);
}

TEST_F(Script, LaterRegistrationOfAFunctionHidesTheEarlierOne)
{
    const int before = script->GetCount();
    script->OwnerStamp = 1;
    auto answer = [](int v) {
        return [v](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper*) { return Variant(v); };
    };
    script->AddMethod(QStringLiteral("function Answer: Integer"), answer(1));
    script->AddMethod(QStringLiteral("function Answer: Integer"), answer(2));
    script->OwnerStamp = 0;
    EXPECT_EQ(script->GetCount(), before + 2);
    EXPECT_EQ(run(QStringLiteral("begin Print(Answer) end.")), (QStringList{"2"}));
}

TEST_F(Script, AChildScriptDoesNotShadowItsParentsNames)
{
    TzsScript child;
    child.Parent = script.get();
    const int count = child.GetCount();
    child.AddConst(QStringLiteral("True"), QStringLiteral("Integer"), Variant(5));
    child.AddVariable(QStringLiteral("ExceptionMessage"), QStringLiteral("Integer"), Variant(1));
    child.AddType(QStringLiteral("Integer"), fvtString);
    EXPECT_EQ(child.GetCount(), count);
    EXPECT_EQ(child.Find(QStringLiteral("True"))->GetValue().toBoolean(), true);
}

class StampedModule : public TzsRTTIModule {
public:
    explicit StampedModule(TzsScript* script) : TzsRTTIModule(script)
    {
        script->AddConst(QStringLiteral("ModuleConst"), QStringLiteral("Integer"), Variant(7));
    }
};

TEST_F(Script, ClearKeepsModuleItemsAndRemoveRTTIDropsThem)
{
    zsAddRTTIModule(zsModuleClass<StampedModule>());
    TzsScript s;
    s.AddRTTI();
    zsRemoveRTTIModule(zsRTTIModules().back());
    s.AddConst(QStringLiteral("Mine"), QStringLiteral("Integer"), Variant(1));
    ASSERT_NE(s.Find(QStringLiteral("ModuleConst")), nullptr);
    s.Clear();
    EXPECT_NE(s.Find(QStringLiteral("ModuleConst")), nullptr);
    EXPECT_EQ(s.Find(QStringLiteral("Mine")), nullptr);
    s.RemoveRTTI();
    EXPECT_EQ(s.Find(QStringLiteral("ModuleConst")), nullptr);
    EXPECT_EQ(s.GetCount(), 0);
}

TEST_F(Script, ClearItemsRemovesOnlyThatOwnersRegistrations)
{
    int stamp = 0;
    script->OwnerStamp = quintptr(&stamp);
    script->AddConst(QStringLiteral("Stamped"), QStringLiteral("Integer"), Variant(1));
    script->OwnerStamp = 0;
    script->ClearItems(quintptr(&stamp));
    EXPECT_EQ(script->Find(QStringLiteral("Stamped")), nullptr);
    EXPECT_NE(script->Find(QStringLiteral("IntToStr")), nullptr);
}

// ---------------------------------------------------------------- running

TEST_F(Script, CallFunctionPassesValuesAndCopiesVarParametersBack)
{
    ASSERT_TRUE(compile(QStringLiteral("function Add(a, b: Integer): Integer; begin Result := a + b end;\n"
                                       "procedure Twice(var x: Integer); begin x := x * 2 end;\n"
                                       "begin end.")));
    EXPECT_EQ(script->CallFunction(QStringLiteral("add"), plat::VarArrayOf({Variant(2), Variant(3)})).toInteger(), 5);
    Variant params = plat::VarArrayOf({Variant(21)});
    EXPECT_TRUE(script->CallFunctionVar(QStringLiteral("Twice"), params).isNull());
    EXPECT_EQ(plat::VarArrayGet(params, {0}).toInteger(), 42);
    EXPECT_TRUE(script->CallFunction(QStringLiteral("NoSuch"), Variant()).isNull());
    EXPECT_TRUE(script->CallFunction(QStringLiteral("IntToStr"), Variant()).isNull());
}

TEST_F(Script, CallFunctionWithMoreValuesThanParametersRaises)
{
    ASSERT_TRUE(compile(QStringLiteral("function Add(a, b: Integer): Integer; begin Result := a + b end; begin end.")));
    EXPECT_THROW(script->CallFunction(QStringLiteral("Add"), plat::VarArrayOf({Variant(1), Variant(2), Variant(3)})),
                 plat::Exception);
    // Fewer values leave the other parameters as they were.
    EXPECT_EQ(script->CallFunction(QStringLiteral("Add"), plat::VarArrayOf({Variant(1), Variant(2)})).toInteger(), 3);
    EXPECT_EQ(script->CallFunction(QStringLiteral("Add"), plat::VarArrayOf({Variant(10)})).toInteger(), 12);
}

TEST_F(Script, RunFlagsDoNotSurviveIntoLaterRuns)
{
    ASSERT_TRUE(compile(QStringLiteral("procedure Stray; begin Print('in'); break; end;\n"
                                       "procedure Loop; var i: Integer; begin for i := 1 to 3 do Print(i) end;\n"
                                       "begin Print('main'); break; Print('cut'); end.")));
    script->Execute();
    EXPECT_FALSE(script->BreakRequested);
    script->CallFunction(QStringLiteral("Stray"), Variant());
    printed.clear();
    script->CallFunction(QStringLiteral("Stray"), Variant());
    script->CallFunction(QStringLiteral("Loop"), Variant());
    EXPECT_EQ(printed, (QStringList{"in", "1", "2", "3"}));
}

TEST_F(Script, RuntimeErrorRecordsThePositionOfTheStatement)
{
    ASSERT_TRUE(compile(QStringLiteral("procedure P;\nbegin\n  RaiseException('x');\nend;\nbegin\n  Print(1);\n  P;\nend.")));
    EXPECT_THROW(script->Execute(), plat::Exception);
    EXPECT_EQ(script->ErrorPosition, QStringLiteral("7:3"));
    auto* p = dynamic_cast<TzsProcVariable*>(script->Find(QStringLiteral("P")));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->LocalProgram->ErrorPosition, QStringLiteral("3:3"));
    EXPECT_FALSE(script->Running);
    EXPECT_FALSE(p->Executing);
}

TEST_F(Script, DeepRecursionRaisesInsteadOfOverflowingTheStack)
{
    ASSERT_TRUE(compile(QStringLiteral("procedure R(n: Integer); begin R(n + 1) end; begin R(0) end.")));
    try {
        script->Execute();
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_STREQ(e.className(), "EStackOverflow");
    }
    EXPECT_EQ(TzsScript::callDepth(), 0);
}

TEST_F(Script, TerminateStopsTheMainBlockAndTheRunningProcedure)
{
    script->OwnerStamp = 1;
    script->AddMethod(QStringLiteral("procedure Stop"),
                      [this](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper*) {
                          script->Terminate();
                          return Variant();
                      });
    script->OwnerStamp = 0;
    const QStringList out = run(QStringLiteral("var n: Integer;\n"
                                               "procedure P; begin while True do begin n := n + 1; "
                                               "if n = 5 then Stop; end; Print('p after'); end;\n"
                                               "procedure Q; begin Print('q') end;\n"
                                               "begin P; Print('main after'); end."));
    EXPECT_TRUE(out.isEmpty()) << out.join(u',').toStdString();
    EXPECT_EQ(script->Find(QStringLiteral("n"))->GetValue().toInteger(), 5);
    EXPECT_FALSE(script->TerminateRequested);
    // Procedures run again afterwards.
    printed.clear();
    script->CallFunction(QStringLiteral("Q"), Variant());
    EXPECT_EQ(printed, (QStringList{"q"}));
}

TEST_F(Script, EvaluateReturnsValuesOrTheCompileError)
{
    ASSERT_TRUE(compile(QStringLiteral("var x: Integer; begin x := 6 end.")));
    script->Execute();
    EXPECT_EQ(script->Evaluate(QStringLiteral("x * 7")).toInteger(), 42);
    EXPECT_FALSE(script->EvaluateFailed);
    const Variant failed = script->Evaluate(QStringLiteral("x +"));
    EXPECT_TRUE(script->EvaluateFailed);
    EXPECT_FALSE(failed.toString().isEmpty());
    EXPECT_EQ(script->Evaluate(QStringLiteral("'a' + IntToStr(x)")).toString(), QStringLiteral("a6"));
    EXPECT_FALSE(script->EvaluateFailed);
}

TEST_F(Script, EvaluateWorksInEveryLanguage)
{
    for (const char* language : {"PascalScript", "C++Script", "BasicScript", "JScript"}) {
        SCOPED_TRACE(language);
        script->SyntaxType = QString::fromLatin1(language);
        EXPECT_EQ(script->Evaluate(QStringLiteral("(1 + 2) * 4")).toInteger(), 12);
        EXPECT_FALSE(script->EvaluateFailed);
    }
}

TEST_F(Script, EvaluateWhileAProcedureIsStoppedSeesItsParameters)
{
    QStringList seen;
    script->OnRunLine = [&](TzsScript*, const QString&, const QString& pos) {
        if (pos.startsWith(QLatin1String("3:")))
            seen << plat::VarToStr(script->Evaluate(QStringLiteral("a * 10 + b")));
    };
    run(QStringLiteral("procedure P(a: Integer; b: Integer);\nbegin\n  Print(a);\nend;\nbegin\n  P(1, 2);\n  P(3, 4);\nend."));
    EXPECT_EQ(seen, (QStringList{"12", "34"}));
    EXPECT_EQ(script->RunningProgram, nullptr);
}

TEST_F(Script, OnRunLineReportsEveryStatementWithItsScript)
{
    QStringList lines;
    script->OnRunLine = [&](TzsScript* sender, const QString&, const QString& pos) {
        lines << (sender == script.get() ? QStringLiteral("main ") : QStringLiteral("proc ")) + pos;
    };
    run(QStringLiteral("procedure P;\nbegin\n  Print(1);\nend;\nbegin\n  P;\n  P\nend."));
    EXPECT_EQ(lines, (QStringList{"main 6:3", "proc 3:3", "main 7:3", "proc 3:3"}));
}

// ---------------------------------------------------------------- objects and events

TEST_F(Script, AClassUsedAsAValueCarriesTheClassAndAnArgumentThrough)
{
    const QStringList out = run(QStringLiteral("var v: Variant; o: TDemoItem;\n"
                                               "begin v := TDemoItem(5); Print(v);\n"
                                               "o := TDemoItem.Create(nil); Print(o.ClassName); Print(TDemoItem.ClassName) end."));
    EXPECT_EQ(out, (QStringList{"5", "TDemoItem", "TDemoItem"}));
}

TEST_F(Script, ANumberThatIsNoObjectIsRefused)
{
    ASSERT_TRUE(compile(QStringLiteral("var v: Variant; begin v := 12345; Print(TDemoItem(v).Caption) end.")));
    try {
        script->Execute();
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid object reference"));
    }
}

TEST_F(Script, MembersOfANilObjectAreRefusedButFreeingNilIsNot)
{
    const char* programs[] = {
        "var o: TDemoItem; begin Print(o.Caption) end.",
        "var o: TDemoItem; begin o.Caption := 'x' end.",
        "var o: TDemoItem; begin Print(o.Sum(1, 2)) end.",
        "var o: TDemoItem; begin o[1] := 'x' end.",
        "var o: TDemoItem; begin Print(o.Area) end.",
        "var o: TDemoItem; begin o.OnChange := 'x' end.",
    };
    for (const char* program : programs) {
        SCOPED_TRACE(program);
        ASSERT_TRUE(compile(QString::fromLatin1(program)));
        EXPECT_THROW(script->Execute(), plat::EAccessViolation);
    }
    EXPECT_EQ(run(QStringLiteral("var o: TDemoItem; begin o.Free; Print('freed nothing') end.")),
              (QStringList{"freed nothing"}));
}

TEST_F(Script, EventBridgeUnhooksWhenTheScriptGoes)
{
    auto* item = new zstest::TDemoItem(&owner);
    addObject(QStringLiteral("Item"), item);
    run(QStringLiteral("procedure H(Sender: TObject); begin Print('handled') end;\n"
                       "begin Item.OnChange := 'H'; Item.OnChange := 'H'; Item.Change end."));
    EXPECT_EQ(printed, (QStringList{"handled"}));
    ASSERT_TRUE(item->OnChange.IsAssigned());
    int bridges = 0;
    for (int i = 0; i < script->GetCount(); ++i)
        bridges += dynamic_cast<TzsCustomEvent*>(script->GetItem(i)) != nullptr;
    EXPECT_EQ(bridges, 1);
    script.reset();
    EXPECT_FALSE(item->OnChange.IsAssigned());
    item->OnChange(item); // calls nothing
}

TEST_F(Script, EventHandlerMustBeAProcedureWithTheEventsParameters)
{
    ASSERT_TRUE(compile(QStringLiteral("var NotAProc: Integer; begin Demo.OnChange := 'NotAProc' end.")));
    try {
        script->Execute();
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Event handler must be a procedure"));
    }
    ASSERT_TRUE(compile(QStringLiteral("procedure H; begin end; begin Demo.OnChange := 'H' end.")));
    try {
        script->Execute();
        FAIL() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Event handler 'H' must have 1 parameters"));
    }
}

TEST_F(Script, IndexedPropertyWriteReachesTheHostAsTheLastParameter)
{
    auto* item = new zstest::TDemoItem(&owner);
    addObject(QStringLiteral("Item"), item);
    run(QStringLiteral("begin Item.Values['k'] := 3; Item[7] := 'seven' end."));
    EXPECT_EQ(item->Values.value(QStringLiteral("k")), 3);
    EXPECT_EQ(item->Items.value(7), QStringLiteral("seven"));
}

TEST_F(Script, PublishedBooleanReadsAsBoolean)
{
    auto* item = new zstest::TDemoItem(&owner);
    item->Enabled = true;
    addObject(QStringLiteral("Item"), item);
    ASSERT_TRUE(compile(QStringLiteral("begin end.")));
    const Variant v = script->Evaluate(QStringLiteral("Item.Enabled"));
    EXPECT_EQ(v.type(), plat::varBoolean);
    EXPECT_TRUE(v.toBoolean());
}

TEST_F(Script, LateClassBindingBindsAMemberWhenTheStatementFirstRuns)
{
    script->LateClassBinding = true;
    const QStringList out = run(QStringLiteral("var c: TComponent;\n"
                                               "begin c := Demo; c.Caption := 'late'; Print(c.Caption); "
                                               "Print(Demo.Caption) end."));
    EXPECT_EQ(out, (QStringList{"late", "late"}));
    script->LateClassBinding = false;
    EXPECT_FALSE(compile(QStringLiteral("var c: TComponent; begin c.Caption := 'x' end.")));
    EXPECT_EQ(script->ErrorMessage, QStringLiteral("Undeclared identifier: 'Caption'"));
}

TEST_F(Script, AVariantMemberIsBoundAtFirstExecutionAlsoInsideWith)
{
    const QStringList out = run(QStringLiteral("var v: Variant;\n"
                                               "begin v := Demo; v.Count := 2; Print(v.Count);\n"
                                               "with v do begin Caption := 'w'; Print(Caption) end; Print(Demo.Caption) end."));
    EXPECT_EQ(out, (QStringList{"2", "w", "w"}));
}

TEST_F(Script, OwnedComponentsAreReachedByName)
{
    auto* form = new zstest::TDemoItem(&owner);
    auto* inner = new zstest::TDemoItem(form);
    inner->SetName(QStringLiteral("Inner"));
    inner->Caption = QStringLiteral("inside");
    addObject(QStringLiteral("Form1"), form);
    EXPECT_EQ(run(QStringLiteral("begin Print(Form1.Inner.Caption) end.")), (QStringList{"inside"}));
}

TEST_F(Script, ConstructorAndDeleteInCppScript)
{
    ASSERT_TRUE(compile(QStringLiteral("TDemoItem o;\n{ o = new TDemoItem(nil); o.Caption = \"c\"; Print(o.Caption); "
                                       "delete o; Print(o.Caption); }\n"),
                        QStringLiteral("C++Script")));
    printed.clear();
    EXPECT_THROW(script->Execute(), plat::EAccessViolation);
    EXPECT_EQ(printed, (QStringList{"c"}));
}

TEST_F(Script, UnitsJoinTheIncludingScript)
{
    script->OnGetUnit = [](const QString& unitName, QString& text) {
        if (unitName == QLatin1String("lib.pas"))
            text = QStringLiteral("procedure Hello; begin Print('from unit') end;\nbegin Print('unit init') end.");
    };
    EXPECT_EQ(run(QStringLiteral("uses 'lib.pas';\nbegin Hello end.")), (QStringList{"unit init", "from unit"}));
}

TEST_F(Script, AUnitCanComeAsAnIntermediateProgramFromTheHost)
{
    script->OnGetUnit = [](const QString&, QString& text) { text = QStringLiteral("begin end."); };
    script->OnGetILUnit = [](TzsScript*, const QString& unitName, QString& text) {
        if (unitName == QLatin1String("il.pas"))
            text = QStringLiteral(
                "<?xml version=\"1.0\"?><program><procedure pos=\"1:1\"><name text=\"FromIL\" pos=\"1:10\"/>"
                "<compoundstmt pos=\"1:12\"><callstmt pos=\"1:18\"><dsgn pos=\"1:18\"><node text=\"Print\" "
                "pos=\"1:23\"/><expr pos=\"1:24\" pos1=\"1:27\"><string text=\"'il'\" pos=\"1:27\"/></expr></dsgn>"
                "</callstmt></compoundstmt></procedure></program>");
    };
    EXPECT_EQ(run(QStringLiteral("uses 'il.pas';\nbegin FromIL end.")), (QStringList{"il"}));
}

TEST_F(Script, VariablesAskTheHostForTheirValue)
{
    script->OwnerStamp = 1;
    script->OnGetVarValue = [](const QString& name, TzsVarType, const Variant&) {
        return name == QLatin1String("Answer") ? Variant(42) : plat::Null();
    };
    script->AddVariable(QStringLiteral("Answer"), QStringLiteral("Integer"), Variant(1));
    script->AddVariable(QStringLiteral("Plain"), QStringLiteral("Integer"), Variant(7));
    script->OwnerStamp = 0;
    EXPECT_EQ(run(QStringLiteral("begin Print(Answer); Print(Plain) end.")), (QStringList{"42", "7"}));
}

// ---------------------------------------------------------------- text indexing

TEST_F(Script, CharacterWritesOutsideTheTextAreRefused)
{
    ASSERT_TRUE(compile(QStringLiteral("var s: String; begin s := 'ab'; s[3] := 'c' end.")));
    EXPECT_THROW(script->Execute(), plat::ERangeError);
    ASSERT_TRUE(compile(QStringLiteral("var s: String; c: Char; begin s := 'ab'; c := s[0] end.")));
    EXPECT_THROW(script->Execute(), plat::ERangeError);
}

TEST_F(Script, Int64VariablesTakeIntegersAndKeepTheirWidth)
{
    const QStringList out = run(QStringLiteral("var big: Int64; d: Double; i: Integer; begin\n"
                                               "big := 3000000000; big := big * 2 + 1; Print(big);\n"
                                               "i := 5; big := i; Print(big); d := big; Print(d / 2) end."));
    EXPECT_EQ(out, (QStringList{"6000000001", "5", "2.5"}));
    EXPECT_EQ(script->Find(QStringLiteral("big"))->Value.type(), plat::varInt64);
    EXPECT_FALSE(compile(QStringLiteral("var big: Int64; begin big := 1.5 end.")));
    EXPECT_EQ(script->ErrorMessage, QStringLiteral("Incompatible types: 'Int64', 'Extended'"));
}

TEST_F(Script, VariableKindsConvertWhatTheyStore)
{
    const QStringList out =
        run(QStringLiteral("var i: Integer; d: Double; v: Variant; begin\n"
                           "v := 2.5; i := v; Print(i); d := 1; Print(d / 4); v := 'x'; Print(v) end."));
    EXPECT_EQ(out, (QStringList{"2", "0.25", "x"}));
    auto* i = script->Find(QStringLiteral("i"));
    EXPECT_EQ(i->Value.type(), plat::varInteger);
}

} // namespace
