// Code page 1250 codec, case mapping and name comparison: the paths every
// data file, ini file and name lookup goes through.

#include "CodePage.h"
#include "StringList.h"

#include <benchmark/benchmark.h>

namespace {

QString czechText(int repeat)
{
    return QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy; Kód 0123456789.\r\n").repeated(repeat);
}

void BM_Cp1250Decode(benchmark::State& state)
{
    const QByteArray bytes = plat::unicodeToCp1250(czechText(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(plat::cp1250ToUnicode(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Cp1250Decode)->Arg(1)->Arg(20000);

void BM_Cp1250Encode(benchmark::State& state)
{
    const QString text = czechText(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(plat::unicodeToCp1250(text));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_Cp1250Encode)->Arg(1)->Arg(20000);

void BM_AnsiUpperCase(benchmark::State& state)
{
    const QString text = czechText(100);
    for (auto _ : state)
        benchmark::DoNotOptimize(plat::AnsiUpperCase(text));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_AnsiUpperCase);

void BM_SameTextNames(benchmark::State& state)
{
    const QString a = QStringLiteral("zdDBDataset1.Popiska_pole1");
    const QString b = QStringLiteral("ZDDBDATASET1.popiska_POLE1");
    for (auto _ : state)
        benchmark::DoNotOptimize(plat::SameText(a, b));
}
BENCHMARK(BM_SameTextNames);

void BM_SortedStringListAdd(benchmark::State& state)
{
    for (auto _ : state) {
        plat::TStringList list;
        list.SetSorted(true);
        for (int i = 0; i < state.range(0); ++i)
            list.Add(QStringLiteral("Chyba %1").arg((i * 7919) % state.range(0)));
        benchmark::DoNotOptimize(list.Count());
    }
}
BENCHMARK(BM_SortedStringListAdd)->Arg(1000);

} // namespace
