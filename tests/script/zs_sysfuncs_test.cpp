// The system module: its types, constants and functions as a script sees
// them, under an English and a Czech locale.

#include "ScriptedServices.h"
#include "zs_automation.h"
#include "zs_sysfuncs_runner.h"
#include "zs_test_util.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <set>

using plat::Variant;
using zstest::ScopedFormatSettings;

namespace {

struct Case {
    const char* expression;
    const char* expected; // the value's text, or "!Class: message" for an error
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.expression;
}

QString evaluate(const QString& expression, Variant* value = nullptr)
{
    QString output;
    plat::TComponent owner(nullptr);
    auto script = zstest::newSystemScript(QStringLiteral("PascalScript"), &owner, &output);
    try {
        const Variant v = script->Evaluate(expression);
        if (script->EvaluateFailed)
            return QStringLiteral("compile error: ") + plat::VarToStr(v);
        if (value)
            *value = v;
        return plat::VarToStr(v);
    } catch (const plat::Exception& e) {
        return QStringLiteral("!%1: %2").arg(QString::fromLatin1(e.className()), e.message());
    }
}

// ---------------------------------------------------------------- locale-independent functions

class SysFunction : public ::testing::TestWithParam<Case> {};

TEST_P(SysFunction, GivesItsResult)
{
    ScopedFormatSettings english(plat::TFormatSettings::english());
    EXPECT_EQ(evaluate(QString::fromUtf8(GetParam().expression)), QString::fromUtf8(GetParam().expected));
}

constexpr Case kCases[] = {
    // conversions
    {"IntToStr(42)", "42"},
    {"IntToStr(3000000000)", "3000000000"},
    {"IntToStr(-7)", "-7"},
    {"BoolToStr(True)", "-1"},
    {"BoolToStr(False)", "0"},
    {"VarToStr(Null)", ""},
    {"VarToStr(12)", "12"},
    {"StrToInt('123') + 1", "124"},
    {"StrToInt(' -5')", "-5"},
    {"StrToInt('abc')", "!EConvertError: 'abc' is not a valid integer value"},
    {"StrToInt64('9000000000') + 1", "9000000001"},
    {"StrToBool('True')", "True"},
    {"StrToBool('false')", "False"},
    {"StrToBool('0')", "False"},
    {"StrToBool('2')", "True"},
    {"StrToBool('yes')", "!EConvertError: 'yes' is not a valid boolean value"},
    // date functions
    {"EncodeDate(2024, 2, 30)", "!EConvertError: Invalid argument to date encode"},
    {"EncodeTime(25, 0, 0, 0)", "!EConvertError: Invalid argument to time encode"},
    {"DayOfWeek(EncodeDate(2024, 3, 10))", "1"},
    {"DayOfWeek(EncodeDate(2024, 3, 16))", "7"},
    {"IsLeapYear(2000)", "True"},
    {"IsLeapYear(1900)", "False"},
    {"IsLeapYear(2024)", "True"},
    {"DaysInMonth(2000, 2)", "29"},
    {"DaysInMonth(1900, 2)", "28"},
    {"DaysInMonth(2023, 1)", "31"},
    {"DaysInMonth(2023, 4)", "30"},
    {"DaysInMonth(2023, 13)", "!EConvertError: Invalid argument to date encode"},
    {"Date = Int(Now)", "True"},
    {"(Time >= 0) and (Time < 1)", "True"},
    // texts
    {"Length('abc')", "3"},
    {"Length(12345)", "5"},
    {"Length('')", "0"},
    {"Length(VarArrayCreate([0, 9], varVariant))", "10"},
    {"Length(VarArrayCreate([1, 3, 0, 5], varInteger))", "3"},
    {"Copy('abcdef', 3, 100)", "cdef"},
    {"Copy('abcdef', 0, 2)", "ab"},
    {"Copy('abcdef', 7, 1)", ""},
    {"Copy('abcdef', 2, -1)", ""},
    {"Pos('cd', 'abcdef')", "3"},
    {"Pos('x', 'abc')", "0"},
    {"Pos('', 'abc')", "0"},
    {"Uppercase('žluťoučký kůň')", "ŽLUŤOUČKÝ KŮŇ"},
    {"Lowercase('ŽLUŤOUČKÝ Kůň')", "žluťoučký kůň"},
    {"Trim('  a b ' + Chr(9) + Chr(13))", "a b"},
    {"Trim('')", ""},
    {"NameCase('JAN novák')", "Jan Novák"},
    {"NameCase('ČESTMÍR  ŘÍHA-ŠÍMA')", "Čestmír  Říha-šíma"},
    {"CompareText('abc', 'ABC')", "0"},
    {"CompareText('apple', 'banana')", "-1"},
    {"CompareText('Zeta', 'alpha')", "1"},
    {"Chr(65)", "A"},
    {"Chr(321)", "A"},
    {"Chr(200)", "Č"},
    {"Ord('A')", "65"},
    {"Ord('Č')", "200"},
    {"Ord('')", "!EConvertError: Ord of an empty text"},
    // mathematics
    {"Round(2.5)", "2"},
    {"Round(3.5)", "4"},
    {"Round(-2.5)", "-2"},
    {"Round(7)", "7"},
    {"Round(2147483647.4)", "2147483647"},
    {"Round(3000000000.0)", "!EIntOverflow: Integer overflow"},
    {"Round(-2147483649.0)", "!EIntOverflow: Integer overflow"},
    {"Trunc(-1.7)", "-1"},
    {"Trunc(1.99)", "1"},
    {"Trunc(1e10)", "!EIntOverflow: Integer overflow"},
    {"Int(-1.7)", "-1"},
    {"Frac(1.25)", "0.25"},
    {"Frac(-1.25)", "-0.25"},
    {"Sqrt(16)", "4"},
    {"Sqrt(-1)", "!EInvalidOp: Invalid floating point operation"},
    {"Abs(-3)", "3"},
    {"Abs(2.5)", "2.5"},
    {"Sin(0)", "0"},
    {"Cos(0)", "1"},
    {"ArcTan(1) * 4 = Pi", "True"},
    {"Round(Tan(Pi / 4) * 1000)", "1000"},
    {"Exp(0)", "1"},
    {"Exp(1000)", "!EOverflow: Floating point overflow"},
    {"Ln(1)", "0"},
    {"Round(Ln(Exp(2)) * 1000)", "2000"},
    {"Ln(0)", "!EZeroDivide: Floating point division by zero"},
    {"Ln(-1)", "!EInvalidOp: Invalid floating point operation"},
    {"Pi", "3.14159265358979"},
    // other
    {"ValidInt('12')", "True"},
    {"ValidInt('1x')", "False"},
    {"ValidInt('99999999999')", "False"},
    {"ValidFloat('1.5')", "True"},
    {"ValidFloat('1.5.2')", "False"},
    {"ValidDate('3/9/2024')", "True"},
    {"ValidDate('2/30/2024')", "False"},
    {"ExtractFilePath('C:\\dir\\file.txt')", "C:\\dir\\"},
    {"ExtractFilePath('/home/user/a.zd3')", "/home/user/"},
    {"ExtractFilePath('C:file')", "C:"},
    {"ExtractFilePath('file.txt')", ""},
    {"VarType(1)", "3"},
    {"VarType('a')", "256"},
    {"VarType(1.5)", "5"},
    {"VarType(Null)", "1"},
    {"VarType(True)", "11"},
    {"VarType(EncodeDate(2024, 1, 1))", "7"},
    {"VarType(VarArrayCreate([0, 1], varInteger))", "8195"},
    {"VarType(nil)", "16"},
    {"VarArrayCreate([0], varVariant)", "!EVariantArrayCreateError: Error creating variant or safe array"},
    {"CreateOleObject('Nothing.Here')", "!EOleSysError: Invalid class string"},
    {"RaiseException('boom')", "!Exception: boom"},
    // constants
    {"varString + varArray", "8448"},
    {"varTypeMask", "4095"},
    {"varStrArg", "72"},
    {"varAny", "257"},
    {"varByRef", "16384"},
};

INSTANTIATE_TEST_SUITE_P(Table, SysFunction, ::testing::ValuesIn(kCases));

// ---------------------------------------------------------------- locale-dependent functions

struct LocaleCase {
    const char* expression;
    const char* english;
    const char* czech;
};

void PrintTo(const LocaleCase& c, std::ostream* os)
{
    *os << c.expression;
}

class SysFunctionLocale : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(SysFunctionLocale, FollowsTheFormatSettings)
{
    const QString expression = QString::fromUtf8(GetParam().expression);
    {
        ScopedFormatSettings english(plat::TFormatSettings::english());
        EXPECT_EQ(evaluate(expression), QString::fromUtf8(GetParam().english)) << "English";
    }
    {
        ScopedFormatSettings czech(plat::TFormatSettings::czech());
        EXPECT_EQ(evaluate(expression), QString::fromUtf8(GetParam().czech)) << "Czech";
    }
}

constexpr LocaleCase kLocaleCases[] = {
    {"FloatToStr(1.5)", "1.5", "1,5"},
    {"FloatToStr(1 / 3)", "0.333333333333333", "0,333333333333333"},
    {"FloatToStr(1e20)", "1E20", "1E20"},
    {"DateToStr(EncodeDate(2024, 3, 9))", "3/9/2024", "9.3.2024"},
    {"TimeToStr(EncodeTime(13, 5, 7, 0))", "1:05:07 PM", "13:05:07"},
    {"DateTimeToStr(EncodeDate(2024, 3, 9))", "3/9/2024", "9.3.2024"},
    {"DateTimeToStr(EncodeDate(2024, 3, 9) + EncodeTime(8, 30, 0, 0))", "3/9/2024 8:30:00 AM", "9.3.2024 8:30:00"},
    {"StrToFloat('2.25') * 2", "4.5", "!EConvertError: '2.25' is not a valid floating point value"},
    {"StrToFloat('2,25') * 2", "!EConvertError: '2,25' is not a valid floating point value", "4,5"},
    {"StrToDate('3/9/2024') = EncodeDate(2024, 3, 9)", "True",
     "!EConvertError: '3/9/2024' is not a valid date"},
    {"StrToDate('9.3.2024') = EncodeDate(2024, 3, 9)", "!EConvertError: '9.3.2024' is not a valid date", "True"},
    {"StrToTime('13:05') = EncodeTime(13, 5, 0, 0)", "True", "True"},
    {"StrToDateTime('9.3.2024 8:30') = EncodeDate(2024, 3, 9) + EncodeTime(8, 30, 0, 0)",
     "!EConvertError: '9.3.2024 8:30' is not a valid date and time", "True"},
    {"ValidFloat('1,5')", "False", "True"},
    {"ValidDate('9.3.2024')", "False", "True"},
    {"Format('%d-%s-%.2f', [5, 'ab', 1.5])", "5-ab-1.50", "5-ab-1,50"},
    {"Format('%5d|%-4s|%x', [42, 'a', 255])", "   42|a   |FF", "   42|a   |FF"},
    {"Format('%s', ['x'])", "x", "x"},
    {"Format('%d', ['x'])", "!EConvertError: Format '%d' invalid or incompatible with argument",
     "!EConvertError: Format '%d' invalid or incompatible with argument"},
    {"Format('%d', [StrToInt64('9000000000')])", "9000000000", "9000000000"},
    {"FormatFloat('0.00', 2)", "2.00", "2,00"},
    {"FormatFloat('#,##0.0', 1234.56)", "1,234.6", "1\u00A0234,6"},
    {"FormatFloat('0;(0);zero', -5)", "(5)", "(5)"},
    {"FormatDateTime('yyyy-mm-dd hh:nn:ss', EncodeDate(2024, 3, 9) + EncodeTime(8, 30, 5, 0))",
     "2024-03-09 08:30:05", "2024-03-09 08:30:05"},
    {"FormatDateTime('dddd d mmmm', EncodeDate(2024, 3, 9))", "Saturday 9 March", "sobota 9 březen"},
    {"FormatDateTime('ddddd', EncodeDate(2024, 3, 9))", "3/9/2024", "9.3.2024"},
    {"FormatMaskText('000-000;0;_', '123456')", "123-456", "123-456"},
    {"FormatMaskText('!>LL-0000;1;_', 'ab1234')", "AB-1234", "AB-1234"},
};

INSTANTIATE_TEST_SUITE_P(Table, SysFunctionLocale, ::testing::ValuesIn(kLocaleCases));

// ---------------------------------------------------------------- kinds of results

TEST(SysFunctions, ResultsHaveTheDocumentedKinds)
{
    ScopedFormatSettings english(plat::TFormatSettings::english());
    struct Kind {
        const char* expression;
        plat::TVarType type;
    };
    const Kind kinds[] = {
        {"Round(2.6)", plat::varInteger},        {"Trunc(2.6)", plat::varInteger},
        {"Int(2.6)", plat::varDouble},           {"Abs(-2)", plat::varDouble},
        {"DayOfWeek(Date)", plat::varWord},      {"Ord('a')", plat::varByte},
        {"VarType(1)", plat::varWord},           {"EncodeDate(2024, 1, 1)", plat::varDate},
        {"StrToDate('1/2/2024')", plat::varDate}, {"StrToInt64('5')", plat::varInt64},
        {"Now", plat::varDate},                  {"IntToStr(1)", plat::varString},
    };
    for (const Kind& k : kinds) {
        Variant v;
        evaluate(QString::fromLatin1(k.expression), &v);
        EXPECT_EQ(v.type(), k.type) << k.expression;
    }
}

// ---------------------------------------------------------------- procedures with var parameters

TEST(SysFunctions, VarParametersAreWrittenBack)
{
    ScopedFormatSettings english(plat::TFormatSettings::english());
    const QString program = QStringLiteral(R"(
var y, m, d, h, n, s, ms: Word; x: Integer; t: String; v: Variant;
begin
  DecodeDate(EncodeDate(2024, 3, 9), y, m, d);
  Print(IntToStr(y) + '-' + IntToStr(m) + '-' + IntToStr(d));
  DecodeTime(EncodeTime(13, 5, 7, 250), h, n, s, ms);
  Print(IntToStr(h) + ':' + IntToStr(n) + ':' + IntToStr(s) + '.' + IntToStr(ms));
  x := 1; Inc(x); Print(x); Inc(x, 5); Print(x); Dec(x); Print(x); Dec(x, 3); Print(x);
  t := 'abcdef'; Delete(t, 2, 3); Print(t);
  t := 'abcdef'; DeleteStr(t, 5, 100); Print(t);
  t := 'abc'; Delete(t, 0, 1); Delete(t, 9, 1); Print(t);
  t := 'ad'; Insert('bc', t, 2); Print(t);
  t := 'ab'; Insert('x', t, 99); Insert('y', t, -3); Print(t);
  v := 1.5; Inc(v, 2); Print(v);
end.)");
    EXPECT_EQ(zstest::runProgram(QStringLiteral("PascalScript"), program),
              QStringLiteral("2024-3-9\n13:5:7.250\n2\n7\n6\n3\naef\nabcd\nabc\nabcd\nyabx\n3.5\n"));
}

TEST(SysFunctions, VariantArgumentsConvertAtRunTime)
{
    ScopedFormatSettings czech(plat::TFormatSettings::czech());
    const QString program = QStringLiteral(R"(
var v: Variant;
begin
  v := EncodeDate(2024, 3, 9); Print(ValidDate(v));
  v := '2,5'; Print(FormatFloat('0.00', v)); Print(Round(v)); Print(Int(v));
  v := 7; Print(Format('%d', v));
  v := 'abc'; Print(Sqrt(v));
end.)");
    EXPECT_EQ(zstest::runProgram(QStringLiteral("PascalScript"), program),
              QStringLiteral("True\n2,50\n2\n2\n7\n"
                             "EVariantTypeCastError: Could not convert variant of type (String) into type (Double)\n"));
}

TEST(SysFunctions, SetLengthCutsAndPadsTextsWithZeroCharacters)
{
    const QString program = QStringLiteral(R"(
var s: String; v: Variant;
begin
  s := 'abcdef'; SetLength(s, 3); Print(s);
  SetLength(s, 5); Print(Length(s)); Print(Ord(Copy(s, 4, 1))); Print(Ord(Copy(s, 5, 1)));
  SetLength(s, -1); Print('[' + s + ']');
  v := 'xy'; SetLength(v, 3); Print(Length(v)); Print(VarType(v));
end.)");
    EXPECT_EQ(zstest::runProgram(QStringLiteral("PascalScript"), program),
              QStringLiteral("abc\n5\n0\n0\n[]\n3\n256\n"));
}

TEST(SysFunctions, SetLengthResizesArraysKeepingTheirElements)
{
    const QString program = QStringLiteral(R"(
var a, g: Variant; i: Integer;
begin
  a := VarArrayCreate([0, 9], varVariant);
  for i := 0 to 9 do a[i] := i * 10;
  SetLength(a, 3);
  Print(Length(a)); Print(a[0]); Print(a[2]);
  SetLength(a, 5);
  Print(Length(a)); Print(a[2]); Print(VarType(a[4]));
  SetLength(a, 0); Print(Length(a));
  g := VarArrayCreate([0, 3, 1, 2], varInteger);
  g[1, 2] := 12; g[3, 1] := 31;
  SetLength(g, 2);
  Print(Length(g)); Print(g[1, 2]);
  i := 5; SetLength(i, 2);
end.)");
    EXPECT_EQ(zstest::runProgram(QStringLiteral("PascalScript"), program),
              QStringLiteral("3\n0\n20\n5\n20\n0\n0\n2\n12\nEVariantInvalidArgError: Invalid argument\n"));
}

// ---------------------------------------------------------------- faults mended

TEST(SysFunctions, FormatKeepsLongTextArgumentsWhole)
{
    const QString program = QStringLiteral(R"(
var s: String; i: Integer;
begin
  s := '';
  for i := 1 to 300 do s := s + Chr(65 + i mod 26);
  Print(Length(Format('%s', [s])));
  Print(Format('<%s>', [s]) = '<' + s + '>');
end.)");
    EXPECT_EQ(zstest::runProgram(QStringLiteral("PascalScript"), program), QStringLiteral("300\nTrue\n"));
}

TEST(SysFunctions, Int64IsARegisteredIntegerType)
{
    QString output;
    plat::TComponent owner(nullptr);
    auto script = zstest::newSystemScript(QStringLiteral("PascalScript"), &owner, &output);
    TzsCustomVariable* type = script->Find(QStringLiteral("Int64"));
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->Kind, fvtInt64);
    EXPECT_EQ(zstest::runProgram(QStringLiteral("PascalScript"),
                                 QStringLiteral("var big: Int64;\nbegin\n  big := StrToInt64('3000000000');\n"
                                                "  big := big * 2 + 1;\n  Print(IntToStr(big));\nend.")),
              QStringLiteral("6000000001\n"));
}

// ---------------------------------------------------------------- registration

TEST(SysFunctions, RegistersSixtyEightFunctionsInSixCategories)
{
    QString output;
    plat::TComponent owner(nullptr);
    zsRegisterSysFunctions();
    TzsScript script(nullptr);
    script.AddRTTI();
    std::map<QString, int> perCategory;
    std::set<QString> names;
    for (int i = 0; i < script.GetCount(); ++i)
        if (auto* m = dynamic_cast<TzsMethodHelper*>(script.GetItem(i))) {
            ++perCategory[m->Category];
            names.insert(m->Name);
            EXPECT_EQ(m->Description, m->Name);
            EXPECT_EQ(m->RegisteredBy, quintptr(1));
        }
    EXPECT_EQ(names.size(), 68u);
    const std::map<QString, int> expected{{QStringLiteral("ctConv"), 14},  {QStringLiteral("ctFormat"), 4},
                                          {QStringLiteral("ctDate"), 10},  {QStringLiteral("ctString"), 14},
                                          {QStringLiteral("ctMath"), 13},  {QStringLiteral("ctOther"), 13}};
    EXPECT_EQ(perCategory, expected);
    auto* inc = dynamic_cast<TzsMethodHelper*>(script.Find(QStringLiteral("Inc")));
    ASSERT_NE(inc, nullptr);
    EXPECT_EQ(inc->Syntax, QStringLiteral("procedure Inc(var i: Integer; incr: Integer = 1)"));
    EXPECT_TRUE(inc->TzsCustomVariable::GetParam(0)->IsVar);
    EXPECT_TRUE(inc->TzsCustomVariable::GetParam(1)->Optional);
}

TEST(SysFunctions, RegistersTypesConstantsHelpersAndExceptionVariables)
{
    zsRegisterSysFunctions();
    TzsScript script(nullptr);
    script.AddRTTI();
    const std::pair<const char*, TzsVarType> types[] = {
        {"Byte", fvtInt},        {"Cardinal", fvtInt},   {"TAlphaColor", fvtInt}, {"Boolean", fvtBool},
        {"Currency", fvtFloat},  {"TDate", fvtFloat},    {"TTime", fvtFloat},     {"Char", fvtChar},
        {"String", fvtString},   {"Pointer", fvtVariant}, {"Array", fvtArray},    {"Constructor", fvtConstructor},
        {"Int64", fvtInt64},
    };
    for (const auto& [name, kind] : types) {
        auto* t = dynamic_cast<TzsTypeVariable*>(script.Find(QString::fromLatin1(name)));
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(t->Kind, kind) << name;
    }
    TzsCustomVariable* nil = script.Find(QStringLiteral("nil"));
    ASSERT_NE(nil, nullptr);
    EXPECT_TRUE(nil->ReadOnly);
    EXPECT_EQ(nil->GetValue().type(), plat::varShortInt);
    EXPECT_TRUE(script.Find(QStringLiteral("Null"))->GetValue().isNull());
    EXPECT_NE(dynamic_cast<TzsStringHelper*>(script.Find(QStringLiteral("__StringHelper"))), nullptr);
    auto* array = dynamic_cast<TzsArrayHelper*>(script.Find(QStringLiteral("__ArrayHelper")));
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->ParamCount(), 3);
    EXPECT_EQ(array->GetRequiredCount(), 1);
    TzsCustomVariable* message = script.Find(QStringLiteral("ExceptionMessage"));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->Kind, fvtString);
    EXPECT_EQ(plat::VarToStr(message->GetValue()), QString());
    EXPECT_EQ(zsRTTIModules().front(), zsSysFunctionsClass());
    zsRegisterSysFunctions();
    EXPECT_EQ(std::count(zsRTTIModules().begin(), zsRTTIModules().end(), zsSysFunctionsClass()), 1);
    // Clear keeps them, RemoveRTTI takes them away.
    script.Clear();
    EXPECT_NE(script.Find(QStringLiteral("IntToStr")), nullptr);
    script.RemoveRTTI();
    EXPECT_EQ(script.Find(QStringLiteral("IntToStr")), nullptr);
}

// ---------------------------------------------------------------- other functions

TEST(SysFunctions, ExceptionsFillTheExceptionVariables)
{
    const QString program = QStringLiteral(R"(
begin
  try
    StrToInt('x');
  except
    Print(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  try
    RaiseException('own error');
  except
    Print(ExceptionClassName + ': ' + ExceptionMessage);
  end;
  Print(ValidInt('x'));
end.)");
    EXPECT_EQ(zstest::runProgram(QStringLiteral("PascalScript"), program),
              QStringLiteral("EConvertError: 'x' is not a valid integer value\nException: own error\nFalse\n"));
}

TEST(SysFunctions, RandomStaysInItsRange)
{
    const QString program = QStringLiteral(R"(
var i, bad: Integer; r, low, high: Extended;
begin
  Randomize;
  bad := 0; low := 1; high := 0;
  for i := 1 to 2000 do begin
    r := Random;
    if (r < 0) or (r >= 1) then bad := bad + 1;
    if r < low then low := r;
    if r > high then high := r;
  end;
  Print(bad);
  Print((low < 0.05) and (high > 0.95));
end.)");
    EXPECT_EQ(zstest::runProgram(QStringLiteral("PascalScript"), program), QStringLiteral("0\nTrue\n"));
}

TEST(SysFunctions, ShowMessageShowsTheValueInAMessageBox)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    ui.AnswerMessage(plat::mrOk);
    EXPECT_EQ(zstest::runProgram(QStringLiteral("PascalScript"),
                                 QStringLiteral("begin ShowMessage(6 * 7); Print('after'); end.")),
              QStringLiteral("after\n"));
    ASSERT_EQ(ui.Calls().size(), 1u);
    EXPECT_EQ(ui.Calls()[0].text, QStringLiteral("42"));
    EXPECT_TRUE(ui.Unexpected().isEmpty());
}

TEST(SysFunctions, NoModuleFunctionSurvivesWithoutRegistration)
{
    // Without AddRTTI a script knows none of the names.
    TzsScript script(nullptr);
    EXPECT_EQ(script.Find(QStringLiteral("IntToStr")), nullptr);
    EXPECT_EQ(script.Find(QStringLiteral("varInt64")), nullptr);
}

// Chr and Ord speak code page 1250, checked against Python's codec.
TEST(SysFunctions, ChrAndOrdUseTheCodePageOfEightBitTexts)
{
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFile::exists(python))
        GTEST_SKIP() << "python3 is not installed";
    QProcess p;
    p.start(python, {QStringLiteral("-c"),
                     QStringLiteral("import sys\n"
                                    "for b in range(256):\n"
                                    "    try: print(ord(bytes([b]).decode('cp1250')))\n"
                                    "    except UnicodeDecodeError: print(-1)\n")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QStringList codes = QString::fromLatin1(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(codes.size(), 256);
    QString output;
    plat::TComponent owner(nullptr);
    auto script = zstest::newSystemScript(QStringLiteral("PascalScript"), &owner, &output);
    int checked = 0;
    for (int b = 0; b < 256; ++b) {
        const int code = codes[b].toInt();
        if (code < 0)
            continue; // undefined in the code page
        const QString chr = plat::VarToStr(script->Evaluate(QStringLiteral("Chr(%1)").arg(b + 512)));
        ASSERT_EQ(chr.size(), 1) << b;
        EXPECT_EQ(int(chr.at(0).unicode()), code) << b;
        script->SetVariable(QStringLiteral("Probe"), Variant(chr));
        EXPECT_EQ(script->Evaluate(QStringLiteral("Ord(Probe)")).toInteger(), b) << b;
        ++checked;
    }
    EXPECT_GE(checked, 251);
}

} // namespace
