// Script runtime: a PascalScript loop with integer and string work, the
// loop of the speed target (10 million iterations) and a smaller one.
// The same loop in Python 3 for comparison:
//   n = k = 0
//   for i in range(1, N + 1):
//       n += i % 7
//       s = str(i)
//       if len(s) > 6: k += 1

#include "SysUtils.h"
#include "zs_items.h"
#include "zs_script.h"

#include <benchmark/benchmark.h>

namespace {

QString loopProgram(int count)
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

void registerHost(TzsScript& script)
{
    for (const char* type : {"Integer", "String"})
        script.AddType(QString::fromLatin1(type), *type == 'I' ? fvtInt : fvtString);
    script.AddMethod(QStringLiteral("function IntToStr(i: Integer): String"),
                     [](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper* c) {
                         return plat::Variant(plat::IntToStr(c->GetParam(0).toInt64()));
                     });
    script.AddMethod(QStringLiteral("function Length(s: Variant): Integer"),
                     [](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper* c) {
                         return plat::Variant(int(plat::VarToStr(c->GetParam(0)).size()));
                     });
}

void BM_PascalLoop(benchmark::State& state)
{
    const int count = int(state.range(0));
    TzsScript script;
    registerHost(script);
    script.Lines.SetText(loopProgram(count));
    if (!script.Compile()) {
        state.SkipWithError(script.ErrorMessage.toStdString().c_str());
        return;
    }
    for (auto _ : state)
        script.Execute();
    state.counters["k"] = script.Find(QStringLiteral("k"))->GetValue().toInteger();
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_PascalLoop)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PascalLoop)->Arg(10000000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
