// Late binding to automation objects, seen from a recording dispatch
// object: member lookup, argument order, flags, the named argument of a
// property write, and the error texts of failing calls.

#include "zs_automation.h"
#include "zs_sysfuncs_runner.h"
#include "zs_test_util.h"

#include <gtest/gtest.h>

#include <map>

using plat::Variant;

namespace {

constexpr qint32 kUnknownName = qint32(0x80020006);
constexpr qint32 kExceptionOccurred = qint32(0x80020009);
constexpr qint32 kMemberNotFound = qint32(0x80020003);

struct Call {
    qint32 dispId;
    quint16 flags;
    std::vector<Variant> args;
    std::vector<qint32> named;
    bool resultPlace;
};

// Knows the members Add (1), Value (2), Fail (3) and Missing (4, whose
// invocation reports "Member not found"); records every call.
class Recorder : public plat::IDispatch {
public:
    qint32 GetIDOfName(const QString& name, qint32& dispId) override
    {
        lookups.push_back(name);
        static const std::map<QString, qint32> ids{{QStringLiteral("ADD"), 1},
                                                   {QStringLiteral("VALUE"), 2},
                                                   {QStringLiteral("FAIL"), 3},
                                                   {QStringLiteral("MISSING"), 4}};
        const auto it = ids.find(name.toUpper());
        if (it == ids.end())
            return kUnknownName;
        dispId = it->second;
        return 0;
    }

    qint32 Invoke(qint32 dispId, quint16 flags, std::span<Variant> args, std::span<const qint32> namedArgs,
                  Variant* result, plat::TExcepInfo* excepInfo) override
    {
        calls.push_back({dispId, flags, {args.begin(), args.end()}, {namedArgs.begin(), namedArgs.end()},
                         result != nullptr});
        switch (dispId) {
        case 1:
            if (result) {
                Variant sum(0);
                for (const Variant& a : args)
                    sum = plat::VarAdd(sum, a);
                *result = sum;
            }
            return 0;
        case 2:
            if (flags & (plat::DISPATCH_PROPERTYPUT | plat::DISPATCH_PROPERTYPUTREF))
                value = args[0];
            else if (result)
                *result = value;
            return 0;
        case 3:
            excepInfo->Source = QStringLiteral("Recorder");
            excepInfo->Description = QStringLiteral("went wrong");
            excepInfo->HelpFile = QStringLiteral("recorder.hlp");
            return kExceptionOccurred;
        default: return kMemberNotFound;
        }
    }

    std::vector<QString> lookups;
    std::vector<Call> calls;
    Variant value = plat::Null();
};

// A member access as the designator drives it: the object, then the
// arguments written in the script.
std::unique_ptr<TzsOLEHelper> member(const QString& name, const std::shared_ptr<Recorder>& object,
                                     std::initializer_list<Variant> args)
{
    auto helper = std::make_unique<TzsOLEHelper>(name);
    for (const Variant& a : args) {
        auto* p = new TzsParamItem(QString(), fvtVariant, QStringLiteral("Variant"), false, false);
        p->Value = a;
        helper->Add(p);
    }
    helper->ParentValue = Variant(std::shared_ptr<plat::IDispatch>(object));
    return helper;
}

QString errorOf(const std::function<void()>& action, QString* className = nullptr)
{
    try {
        action();
    } catch (const plat::Exception& e) {
        if (className)
            *className = QString::fromLatin1(e.className());
        return e.message();
    }
    return QStringLiteral("<no error>");
}

TEST(TzsOLEHelper, MethodCallPassesArgumentsLastFirstWithMethodOrGetFlags)
{
    auto object = std::make_shared<Recorder>();
    auto helper = member(QStringLiteral("Add"), object, {Variant(1), Variant(20)});
    EXPECT_EQ(helper->Kind, fvtVariant);
    EXPECT_TRUE(helper->DeclaredType.isEmpty());
    const Variant result = helper->GetValue();
    EXPECT_EQ(result.toInteger(), 21);
    ASSERT_EQ(object->calls.size(), 1u);
    const Call& call = object->calls[0];
    EXPECT_EQ(call.dispId, 1);
    EXPECT_EQ(call.flags, plat::DISPATCH_METHOD | plat::DISPATCH_PROPERTYGET);
    ASSERT_EQ(call.args.size(), 2u);
    EXPECT_EQ(call.args[0].toInteger(), 20);
    EXPECT_EQ(call.args[1].toInteger(), 1);
    EXPECT_TRUE(call.named.empty());
    EXPECT_TRUE(call.resultPlace);
    EXPECT_EQ(object->lookups, std::vector<QString>{QStringLiteral("Add")});
    // The object reference is released after the call.
    EXPECT_TRUE(helper->ParentValue.isNull());
    EXPECT_EQ(object.use_count(), 1);
}

TEST(TzsOLEHelper, CallForItsEffectOnlyPassesNoResultPlace)
{
    auto object = std::make_shared<Recorder>();
    auto helper = member(QStringLiteral("Add"), object, {Variant(1)});
    helper->ResultWanted = false;
    EXPECT_TRUE(helper->GetValue().isNull());
    ASSERT_EQ(object->calls.size(), 1u);
    EXPECT_EQ(object->calls[0].flags, plat::DISPATCH_METHOD);
    EXPECT_FALSE(object->calls[0].resultPlace);
}

TEST(TzsOLEHelper, PropertyWritePassesTheValueAsTheNamedPutArgument)
{
    auto object = std::make_shared<Recorder>();
    auto helper = member(QStringLiteral("Value"), object, {Variant(7), Variant(QStringLiteral("key"))});
    helper->SetValue(Variant(QStringLiteral("assigned")));
    ASSERT_EQ(object->calls.size(), 1u);
    const Call& call = object->calls[0];
    EXPECT_EQ(call.flags, plat::DISPATCH_PROPERTYPUT);
    EXPECT_EQ(call.named, std::vector<qint32>{plat::DISPID_PROPERTYPUT});
    EXPECT_FALSE(call.resultPlace);
    ASSERT_EQ(call.args.size(), 3u);
    EXPECT_EQ(plat::VarToStr(call.args[0]), QStringLiteral("assigned"));
    EXPECT_EQ(plat::VarToStr(call.args[1]), QStringLiteral("key"));
    EXPECT_EQ(call.args[2].toInteger(), 7);
    EXPECT_TRUE(helper->ParentValue.isNull());

    // Reading it back goes through the combined flags.
    auto reader = member(QStringLiteral("value"), object, {});
    EXPECT_EQ(plat::VarToStr(reader->GetValue()), QStringLiteral("assigned"));
    EXPECT_EQ(object->calls[1].flags, plat::DISPATCH_METHOD | plat::DISPATCH_PROPERTYGET);
    EXPECT_TRUE(object->calls[1].args.empty());
}

TEST(TzsOLEHelper, AssigningAnAutomationObjectUsesTheByReferencePut)
{
    auto object = std::make_shared<Recorder>();
    auto other = std::make_shared<Recorder>();
    auto helper = member(QStringLiteral("Value"), object, {});
    helper->SetValue(Variant(std::shared_ptr<plat::IDispatch>(other)));
    ASSERT_EQ(object->calls.size(), 1u);
    EXPECT_EQ(object->calls[0].flags, plat::DISPATCH_PROPERTYPUTREF);
    EXPECT_EQ(object->calls[0].named, std::vector<qint32>{plat::DISPID_PROPERTYPUT});
    ASSERT_EQ(object->calls[0].args.size(), 1u);
    EXPECT_EQ(object->calls[0].args[0].type(), plat::varDispatch);
}

TEST(TzsOLEHelper, FailingCallRaisesTheOleErrorWithTheExceptionRecord)
{
    auto object = std::make_shared<Recorder>();
    auto helper = member(QStringLiteral("Fail"), object, {Variant(1)});
    QString className;
    EXPECT_EQ(errorOf([&] { helper->GetValue(); }, &className),
              QStringLiteral("OLE error 80020009: Fail: Exception occurred\r\n"
                             "Source        ::  Recorder\r\n"
                             "Description ::  went wrong\r\n"
                             "Help File     ::  recorder.hlp"));
    EXPECT_EQ(className, QStringLiteral("EOleException"));
    EXPECT_TRUE(helper->ParentValue.isNull());

    auto missing = member(QStringLiteral("Missing"), object, {});
    EXPECT_EQ(errorOf([&] { missing->SetValue(Variant(1)); }),
              QStringLiteral("OLE error 80020003: Missing: Member not found"));
}

TEST(TzsOLEHelper, UnknownMemberFailsAtTheLookupWithoutInvoking)
{
    auto object = std::make_shared<Recorder>();
    auto helper = member(QStringLiteral("Nope"), object, {Variant(1)});
    const QString message = errorOf([&] { helper->GetValue(); });
    EXPECT_EQ(message, QStringLiteral("OLE error 80020006: Nope: Unknown name"));
    EXPECT_TRUE(object->calls.empty());
    EXPECT_TRUE(helper->ParentValue.isNull());
}

TEST(TzsOLEHelper, AtMostSixtyFourArgumentsTheWrittenValueIncluded)
{
    auto object = std::make_shared<Recorder>();
    auto build = [&](int n) {
        auto helper = member(QStringLiteral("Add"), object, {});
        for (int i = 0; i < n; ++i) {
            auto* p = new TzsParamItem(QString(), fvtVariant, QStringLiteral("Variant"), false, false);
            p->Value = Variant(i);
            helper->Add(p);
        }
        helper->ParentValue = Variant(std::shared_ptr<plat::IDispatch>(object));
        return helper;
    };
    EXPECT_EQ(build(64)->GetValue().toInteger(), 64 * 63 / 2);
    build(63)->SetValue(Variant(1));
    EXPECT_EQ(object->calls.size(), 2u);
    QString className;
    auto tooMany = build(65);
    EXPECT_EQ(errorOf([&] { tooMany->GetValue(); }, &className),
              QStringLiteral("Too many arguments for 'Add': an automation call takes at most 64"));
    EXPECT_EQ(className, QStringLiteral("EOleError"));
    auto tooManyWrite = build(64);
    EXPECT_NE(errorOf([&] { tooManyWrite->SetValue(Variant(1)); }), QStringLiteral("<no error>"));
    EXPECT_EQ(object->calls.size(), 2u);
    EXPECT_TRUE(tooManyWrite->ParentValue.isNull());
}

TEST(TzsOLEHelper, ParentThatIsNoAutomationObjectRaisesTheConversionError)
{
    TzsOLEHelper helper(QStringLiteral("Add"));
    const std::pair<Variant, QString> cases[] = {
        {Variant(5), QStringLiteral("Could not convert variant of type (Integer) into type (Dispatch)")},
        {Variant(QStringLiteral("x")), QStringLiteral("Could not convert variant of type (String) into type (Dispatch)")},
        {Variant(), QStringLiteral("Could not convert variant of type (Empty) into type (Dispatch)")},
        {plat::Null(), QStringLiteral("Could not convert variant of type (Null) into type (Dispatch)")},
    };
    for (const auto& [parent, message] : cases) {
        helper.ParentValue = parent;
        QString className;
        EXPECT_EQ(errorOf([&] { helper.GetValue(); }, &className), message);
        EXPECT_EQ(className, QStringLiteral("EVariantTypeCastError"));
        EXPECT_TRUE(helper.ParentValue.isNull());
    }
}

TEST(AutomationRegistry, CreatesRegisteredClassesByNameIgnoringCase)
{
    auto object = std::make_shared<Recorder>();
    zsRegisterAutomationClass(QStringLiteral("Sorvamet.Recorder"), [object] { return object; });
    const QString program = QStringLiteral(R"(
var v: Variant;
begin
  v := CreateOleObject('sorvamet.RECORDER');
  Print(VarType(v) = varDispatch);
  try
    v := CreateOleObject('Word.Application');
  except
    Print(ExceptionClassName + ': ' + ExceptionMessage);
  end;
end.)");
    EXPECT_EQ(zstest::runProgram(QStringLiteral("PascalScript"), program),
              QStringLiteral("True\nEOleSysError: Invalid class string\n"));
    EXPECT_TRUE(zsIsAutomationClassRegistered(QStringLiteral("SORVAMET.RECORDER")));
    zsUnregisterAutomationClass(QStringLiteral("sorvamet.recorder"));
    EXPECT_FALSE(zsIsAutomationClassRegistered(QStringLiteral("Sorvamet.Recorder")));
    QString className;
    EXPECT_EQ(errorOf([] { zsCreateOleObject(QStringLiteral("Sorvamet.Recorder")); }, &className),
              QStringLiteral("Invalid class string"));
    EXPECT_EQ(className, QStringLiteral("EOleSysError"));
}

TEST(AutomationRegistry, FactoryGivingNoObjectIsAnError)
{
    zsRegisterAutomationClass(QStringLiteral("Sorvamet.Nothing"), [] { return std::shared_ptr<plat::IDispatch>(); });
    EXPECT_EQ(errorOf([] { zsCreateOleObject(QStringLiteral("Sorvamet.Nothing")); }),
              QStringLiteral("Unspecified error"));
    zsUnregisterAutomationClass(QStringLiteral("Sorvamet.Nothing"));
}

TEST(AutomationErrors, TextsOfTheCommonCodes)
{
    EXPECT_EQ(zs::automationErrorText(kUnknownName), QStringLiteral("Unknown name"));
    EXPECT_EQ(zs::automationErrorText(qint32(0x8002000E)), QStringLiteral("Invalid number of parameters"));
    EXPECT_EQ(zs::automationErrorText(qint32(0x80070057)), QStringLiteral("The parameter is incorrect"));
    EXPECT_EQ(zs::automationErrorText(qint32(0x80001234)), QStringLiteral("Unknown error"));
}

// ---------------------------------------------------------------- through scripts

class AutomationScript : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(AutomationScript, MemberAccessesReachTheObjectByName)
{
    std::vector<std::shared_ptr<Recorder>> created;
    zsRegisterAutomationClass(QStringLiteral("Sorvamet.Recorder"), [&created] {
        created.push_back(std::make_shared<Recorder>());
        return created.back();
    });
    const QString output =
        zstest::runProgram(QString::fromLatin1(GetParam().first), QString::fromUtf8(GetParam().second));
    zsUnregisterAutomationClass(QStringLiteral("Sorvamet.Recorder"));
    EXPECT_EQ(output, QStringLiteral("21\nx\nOLE error 80020006: Nope: Unknown name\n"));
    ASSERT_EQ(created.size(), 2u);
    const std::vector<Call>& calls = created[0]->calls;
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].flags, plat::DISPATCH_METHOD | plat::DISPATCH_PROPERTYGET);
    ASSERT_EQ(calls[0].args.size(), 2u);
    EXPECT_EQ(calls[0].args[0].toInteger(), 20);
    EXPECT_EQ(calls[1].flags, plat::DISPATCH_METHOD);
    EXPECT_FALSE(calls[1].resultPlace);
    EXPECT_EQ(calls[2].flags, plat::DISPATCH_PROPERTYPUT);
    EXPECT_EQ(calls[2].named, std::vector<qint32>{plat::DISPID_PROPERTYPUT});
    EXPECT_EQ(calls[3].flags, plat::DISPATCH_METHOD | plat::DISPATCH_PROPERTYGET);
    EXPECT_EQ(calls[4].flags, plat::DISPATCH_PROPERTYPUTREF);
    EXPECT_TRUE(created[1]->calls.empty());
}

constexpr std::pair<const char*, const char*> kAutomationPrograms[] = {
    {"PascalScript", R"(
var v, w: Variant;
begin
  v := CreateOleObject('Sorvamet.Recorder');
  Print(v.Add(1, 20));
  v.Add(5);
  v.Value := 'x';
  Print(v.Value);
  w := CreateOleObject('Sorvamet.Recorder');
  v.Value := w;
  try
    v.Nope(1);
  except
    Print(ExceptionMessage);
  end;
end.)"},
    {"JScript", R"(
var v = CreateOleObject("Sorvamet.Recorder"), w;
Print(v.Add(1, 20));
v.Add(5);
v.Value = "x";
Print(v.Value);
w = CreateOleObject("Sorvamet.Recorder");
v.Value = w;
try { v.Nope(1); } except { Print(ExceptionMessage); }
)"},
};

INSTANTIATE_TEST_SUITE_P(Languages, AutomationScript, ::testing::ValuesIn(kAutomationPrograms),
                         [](const auto& info) { return std::string(info.index == 0 ? "Pascal" : "JScript"); });

} // namespace
