// The record table's file at the generator's largest series (30000 codes):
// writing, reading, and appending the records through the table.
#include "ClientDataSet.h"
#include "DataPacket.h"

#include <benchmark/benchmark.h>

using namespace plat;

namespace {

constexpr int kRecords = 30000;

void fill(TClientDataSet& table, int count)
{
    table.FieldDefs() = TClientDataSet::RecordTableDefs();
    table.CreateDataSet();
    for (int i = 0; i < count; ++i) {
        table.Append();
        table.Fields(1).SetAsString(QStringLiteral("8590%1").arg(i, 8, 10, QLatin1Char('0')));
        table.Fields(2).SetAsString(QString::fromUtf8("Šroub M%1 <&>").arg(i));
        table.Post();
    }
}

void BM_AppendRecords(benchmark::State& state)
{
    for (auto _ : state) {
        TClientDataSet table(nullptr);
        fill(table, int(state.range(0)));
        benchmark::DoNotOptimize(table.RecordCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AppendRecords)->Arg(kRecords)->Unit(benchmark::kMillisecond);

void BM_WritePacket(benchmark::State& state)
{
    TClientDataSet table(nullptr);
    fill(table, int(state.range(0)));
    for (auto _ : state) {
        const QByteArray bytes = table.SaveToBytes();
        state.SetBytesProcessed(state.bytes_processed() + bytes.size());
    }
}
BENCHMARK(BM_WritePacket)->Arg(kRecords)->Unit(benchmark::kMillisecond);

void BM_ReadPacket(benchmark::State& state)
{
    TClientDataSet table(nullptr);
    fill(table, int(state.range(0)));
    const QByteArray bytes = table.SaveToBytes();
    for (auto _ : state) {
        TDataPacket packet = ReadDataPacket(bytes);
        benchmark::DoNotOptimize(packet.rows.size());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ReadPacket)->Arg(kRecords)->Unit(benchmark::kMillisecond);

void BM_FilterView(benchmark::State& state)
{
    TClientDataSet table(nullptr);
    fill(table, int(state.range(0)));
    table.OnFilterRecord = TFilterRecordEvent(
        [](TClientDataSet* ds, bool& accept) { accept = ds->Fields(1).AsString().endsWith(u'7'); }, nullptr, nullptr);
    for (auto _ : state) {
        table.SetFiltered(true);
        table.SetFiltered(false);
    }
}
BENCHMARK(BM_FilterView)->Arg(kRecords)->Unit(benchmark::kMillisecond);

} // namespace
