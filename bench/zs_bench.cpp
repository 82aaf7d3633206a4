// Script engine speed.
//
// The speed target: the loop below, 10 million iterations of an integer sum
// with mod, a comparison and an occasional string append, within 3× of the
// same loop in Lua 5.4 on the same machine. BM_LoopAgainstLua runs both in
// the same run and reports both times (CPU seconds of the loop alone) and
// their ratio. Lua comes from Debian's lua5.4 package, installed only for
// this comparison (apt-get install lua5.4); without it the benchmark says so
// and skips.
//
// Then a script function called in a loop, a text built by appending, and a
// report-like expression evaluated a million times. The report's own
// functions are stood in for by host functions of the same prototypes: Get,
// through which a bracketed name such as <a> reads its value, answers from a
// small table as the report's name lookup would, and IIF is the plain
// function form of the report adapter (the report itself evaluates IIF's
// arguments from their texts).

#include "SysUtils.h"
#include "zs_items.h"
#include "zs_script.h"
#include "zs_sysfuncs.h"

#include <QProcess>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>

namespace {

// ---------------------------------------------------------------- the loop of the target

constexpr int kLoopCount = 10000000;

const char* const kPascalLoop = R"(var i, n: Integer; s: String;
begin
  n := 0; s := '';
  for i := 1 to 10000000 do
  begin
    n := n + i mod 7;
    if i mod 1000000 = 0 then s := s + 'x';
  end;
end.
)";

// The same loop; it prints the CPU seconds of the loop, n and s.
const char* const kLuaLoop = R"(local t0 = os.clock()
local n, s = 0, ''
for i = 1, 10000000 do
  n = n + i % 7
  if i % 1000000 == 0 then s = s .. 'x' end
end
io.write(string.format('%.6f', os.clock() - t0), ' ', n, ' ', s)
)";

double cpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

std::unique_ptr<TzsScript> compiled(const QString& text, benchmark::State& state)
{
    zsRegisterSysFunctions();
    auto script = std::make_unique<TzsScript>();
    script->AddRTTI();
    script->Lines.SetText(text);
    if (!script->Compile()) {
        state.SkipWithError((script->ErrorPosition + QStringLiteral(": ") + script->ErrorMessage).toStdString().c_str());
        return nullptr;
    }
    return script;
}

struct LuaRun {
    bool ok = false;
    double seconds = 0;
    QString output;
    QString error;
};

LuaRun runLua(const QString& lua, const char* code)
{
    LuaRun run;
    QProcess p;
    p.start(lua, {QStringLiteral("-e"), QString::fromUtf8(code)});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        run.error = QStringLiteral("lua5.4 failed: ") + QString::fromUtf8(p.readAllStandardError());
        return run;
    }
    run.output = QString::fromUtf8(p.readAllStandardOutput());
    run.seconds = run.output.section(u' ', 0, 0).toDouble(&run.ok);
    if (!run.ok)
        run.error = QStringLiteral("unexpected output of lua5.4: ") + run.output;
    return run;
}

// Each iteration runs both loops once, one after the other; the figures are
// the best of the iterations, which a busy machine disturbs least.
void BM_LoopAgainstLua(benchmark::State& state)
{
    const QString lua = QStandardPaths::findExecutable(QStringLiteral("lua5.4"));
    if (lua.isEmpty()) {
        state.SkipWithError("lua5.4 is not installed (apt-get install lua5.4): no comparison");
        return;
    }
    auto script = compiled(QString::fromUtf8(kPascalLoop), state);
    if (!script)
        return;
    double scriptBest = 1e9;
    double luaBest = 1e9;
    for (auto _ : state) {
        const double start = cpuSeconds();
        script->Execute();
        const double seconds = cpuSeconds() - start;
        const LuaRun luaRun = runLua(lua, kLuaLoop);
        if (!luaRun.ok) {
            state.SkipWithError(luaRun.error.toStdString().c_str());
            return;
        }
        const QString ours = script->Find(QStringLiteral("n"))->GetValue().toString() + u' ' +
                             script->Find(QStringLiteral("s"))->GetValue().toString();
        if (luaRun.output.section(u' ', 1) != ours) {
            state.SkipWithError("the two loops disagree");
            return;
        }
        state.SetIterationTime(seconds);
        scriptBest = std::min(scriptBest, seconds);
        luaBest = std::min(luaBest, luaRun.seconds);
    }
    state.counters["script_s"] = scriptBest;
    state.counters["lua_s"] = luaBest;
    state.counters["ratio"] = scriptBest / luaBest;
    state.SetItemsProcessed(state.iterations() * kLoopCount);
}
BENCHMARK(BM_LoopAgainstLua)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// Runs the program once per iteration; the script stays for checks, or is
// nullptr when the program did not compile.
std::unique_ptr<TzsScript> runProgram(benchmark::State& state, const QString& text, int itemsPerRun)
{
    auto script = compiled(text, state);
    if (!script)
        return nullptr;
    for (auto _ : state)
        script->Execute();
    state.SetItemsProcessed(state.iterations() * itemsPerRun);
    return script;
}

// The same loop alone, as Google Benchmark times it.
void BM_Loop10M(benchmark::State& state)
{
    runProgram(state, QString::fromUtf8(kPascalLoop), kLoopCount);
}
BENCHMARK(BM_Loop10M)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- the other paths

// A script function with two parameters, called a million times.
void BM_FunctionCallInLoop(benchmark::State& state)
{
    runProgram(state,
               QStringLiteral("function Add(a, b: Integer): Integer;\n"
                              "begin\n"
                              "  Result := a + b;\n"
                              "end;\n"
                              "var i, n: Integer;\n"
                              "begin\n"
                              "  n := 0;\n"
                              "  for i := 1 to 1000000 do n := Add(n, i) mod 1000;\n"
                              "end.\n"),
               1000000);
}
BENCHMARK(BM_FunctionCallInLoop)->Unit(benchmark::kMillisecond);

// A text of a million characters built by appending one at a time.
void BM_StringBuilding(benchmark::State& state)
{
    auto script = runProgram(state,
                             QStringLiteral("var i: Integer; s: String;\n"
                                            "begin\n"
                                            "  s := '';\n"
                                            "  for i := 1 to 1000000 do s := s + IntToStr(i mod 10);\n"
                                            "end.\n"),
                             1000000);
    if (script && script->Find(QStringLiteral("s"))->GetValue().toString().size() != 1000000)
        state.SkipWithError("wrong text length");
}
BENCHMARK(BM_StringBuilding)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- a report-like expression

constexpr int kExpressionCount = 1000000;

// The host values that <a> and <b> name, changed before every evaluation as
// a report's fields change from record to record.
struct HostValues {
    plat::Variant a = 0;
    plat::Variant b = 0;
};

void registerReportFunctions(TzsScript& script, HostValues& values)
{
    script.AddMethod(QStringLiteral("function Get(Name: String): Variant"),
                     [&values](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper* c) {
                         const QString name = c->GetParam(0).toString();
                         return name == QLatin1String("a") ? values.a : values.b;
                     });
    script.AddMethod(QStringLiteral("function IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant"),
                     [](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper* c) {
                         return c->GetParam(0).toBoolean() ? c->GetParam(1) : c->GetParam(2);
                     });
}

// The expression compiled once into a function of its own, as the report
// compiles each distinct expression text, and called for every evaluation.
void runExpression(benchmark::State& state, const QString& expression, bool scriptVariables)
{
    HostValues values;
    zsRegisterSysFunctions();
    auto script = std::make_unique<TzsScript>();
    script->AddRTTI();
    registerReportFunctions(*script, values);
    script->Lines.SetText(QStringLiteral("var a, b: Integer;\n"
                                         "function Calc: Variant;\n"
                                         "begin\n"
                                         "  Result := %1;\n"
                                         "end;\n"
                                         "begin\n"
                                         "end.\n")
                              .arg(expression));
    if (!script->Compile()) {
        state.SkipWithError(script->ErrorMessage.toStdString().c_str());
        return;
    }
    script->Execute();
    TzsCustomVariable* a = script->Find(QStringLiteral("a"));
    TzsCustomVariable* b = script->Find(QStringLiteral("b"));
    const plat::Variant noParams = plat::Null();
    QString last;
    for (auto _ : state) {
        for (int i = 0; i < kExpressionCount; ++i) {
            if (scriptVariables) {
                a->SetValue(plat::Variant(i % 200));
                b->SetValue(plat::Variant(i));
            } else {
                values.a = i % 200;
                values.b = i;
            }
            benchmark::DoNotOptimize(script->CallFunction(QStringLiteral("Calc"), noParams));
        }
        last = script->CallFunction(QStringLiteral("Calc"), noParams).toString();
    }
    if (last != QStringLiteral("x999999"))
        state.SkipWithError(("unexpected value " + last.toStdString()).c_str());
    state.SetItemsProcessed(state.iterations() * kExpressionCount);
}

void BM_ReportExpression(benchmark::State& state)
{
    runExpression(state, QStringLiteral("IIF(<a> > 100, 'x', 'y') + IntToStr(<b>)"), false);
}
BENCHMARK(BM_ReportExpression)->Unit(benchmark::kMillisecond);

// The same expression over script variables instead of the host's names.
void BM_ReportExpressionOverVariables(benchmark::State& state)
{
    runExpression(state, QStringLiteral("IIF(a > 100, 'x', 'y') + IntToStr(b)"), true);
}
BENCHMARK(BM_ReportExpressionOverVariables)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- a loop with host calls

QString hostCallLoop(int count)
{
    return QStringLiteral("var i, n, k: Integer; s: String;\r\n"
                          "begin\r\n"
                          "  n := 0; k := 0;\r\n"
                          "  for i := 1 to %1 do begin\r\n"
                          "    n := n + i mod 7;\r\n"
                          "    s := IntToStr(i);\r\n"
                          "    if Length(s) > 6 then k := k + 1;\r\n"
                          "  end;\r\n"
                          "end.\r\n")
        .arg(count);
}

// An integer sum beside two system-function calls per iteration.
void BM_PascalLoop(benchmark::State& state)
{
    const int count = int(state.range(0));
    if (auto script = runProgram(state, hostCallLoop(count), count))
        state.counters["k"] = script->Find(QStringLiteral("k"))->GetValue().toInteger();
}
BENCHMARK(BM_PascalLoop)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
