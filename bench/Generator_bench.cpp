// The code generator: 30,000 codes built and appended to the record table,
// with and without a grid model following the table.
#include "ClientDataSet.h"
#include "DBGridModel.h"
#include "Generator_f.h"
#include "ScriptedServices.h"

#include <benchmark/benchmark.h>

namespace {

zd::TNastaveniGeneratoru series()
{
    zd::TNastaveniGeneratoru n;
    n.Prefix = QStringLiteral("A-");
    n.VychoziHodnota = 1;
    n.DoplnovatNuly = true;
    n.PocetZnaku = 6;
    n.Suffix = QStringLiteral("-X");
    n.PocetCyklu = 30000;
    return n;
}

void generate(benchmark::State& state, bool withGrid)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    for (auto _ : state) {
        state.PauseTiming();
        plat::TClientDataSet table(nullptr);
        table.FieldDefs() = plat::TClientDataSet::RecordTableDefs();
        table.CreateDataSet();
        std::unique_ptr<plat::TDBGridModel> grid;
        if (withGrid)
            grid = std::make_unique<plat::TDBGridModel>(&table);
        state.ResumeTiming();

        const zd::TNastaveniGeneratoru n = series();
        if (!zd::KontrolaNastaveni(n).isEmpty())
            state.SkipWithError("the series does not pass its checks");
        zd::ZapsatKody(table, zd::RadaKodu(n));
        benchmark::DoNotOptimize(table.RecordCount());
    }
    state.SetItemsProcessed(state.iterations() * 30000);
}

void BM_Generator30000(benchmark::State& state) { generate(state, false); }
void BM_Generator30000WithGrid(benchmark::State& state) { generate(state, true); }

} // namespace

BENCHMARK(BM_Generator30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generator30000WithGrid)->Unit(benchmark::kMillisecond);
