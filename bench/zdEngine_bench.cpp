// Preparing a label report: every record prints a band with one Code 128
// barcode and two memos, three labels across an A4 sheet. The counters give
// records per second and the process's peak resident memory (run each size
// in its own process to read its own peak).

#include "LabelReport.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

long peakRssKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

using benchlabels::startUnits;

void prepareLabels(benchmark::State& state)
{
    startUnits();
    const int records = int(state.range(0));
    const bool fileCache = state.range(1) != 0;
    int pages = 0;
    for (auto _ : state) {
        plat::TComponent host(nullptr);
        TzdReport report(&host);
        benchlabels::buildLabelReport(host, report, records, fileCache);
        if (!report.Prepare())
            state.SkipWithError(report.ErrorList().join(u'\n').toUtf8().constData());
        pages = report.ActivePreviewPages()->GetPageCount();
    }
    state.counters["records/s"] = benchmark::Counter(double(records), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["pages"] = pages;
    state.counters["peakRSS_MiB"] = double(peakRssKiB()) / 1024.0;
}

} // namespace

BENCHMARK(prepareLabels)->Args({10000, 0})->Args({100000, 0})->Args({100000, 1})->Unit(benchmark::kMillisecond)->Iterations(1);
