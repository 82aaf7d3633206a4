// The text import: a 30,000-line file in code page 1250 appended to the
// record table, in both file forms.
#include "ClientDataSet.h"
#include "ImportDat.h"
#include "ScriptedServices.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kLines = 30000;

QString writeFile(const QTemporaryDir& dir, bool barSeparated)
{
    QByteArray bytes;
    for (int i = 1; i <= kLines; ++i) {
        bytes += "K" + QByteArray::number(i);
        if (barSeparated)
            bytes += "|\xc8\xe1slav|\x9elu\x9d|" + QByteArray::number(i * 7) + "||konec";
        bytes += "\r\n";
    }
    const QString path = dir.filePath(barSeparated ? QStringLiteral("data.csv") : QStringLiteral("data.txt"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

void import(benchmark::State& state, bool barSeparated)
{
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    QTemporaryDir dir;
    const QString path = writeFile(dir, barSeparated);
    for (auto _ : state) {
        state.PauseTiming();
        plat::TClientDataSet table(nullptr);
        table.FieldDefs() = plat::TClientDataSet::RecordTableDefs();
        table.CreateDataSet();
        state.ResumeTiming();

        if (barSeparated)
            ImportCsv(table, path);
        else
            ImportTxt(table, path);
        if (table.RecordCount() != kLines)
            state.SkipWithError("lines lost");
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}

void BM_ImportCsv30000(benchmark::State& state) { import(state, true); }
void BM_ImportTxt30000(benchmark::State& state) { import(state, false); }

} // namespace

BENCHMARK(BM_ImportCsv30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportTxt30000)->Unit(benchmark::kMillisecond);
