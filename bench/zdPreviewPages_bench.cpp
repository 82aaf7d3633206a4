// The prepared-pages store: 1,000 pages of 60 objects added, walked page
// by page as printing does, saved and loaded; in memory or with the file
// cache. Run each variant alone to read its peak memory (maxrss_kb).
#include "../tests/tools/SyntheticWriter.h"
#include "Streams.h"

#include <sys/resource.h>

#include <chrono>

#include <benchmark/benchmark.h>

namespace {

void storeRoundTrip(benchmark::State& state)
{
    const bool fileCache = state.range(0) != 0;
    const int pages = 1000, objects = 60;
    std::chrono::steady_clock::duration elapsed{};
    qint64 written = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        storetest::SyntheticWriter w;
        w.report.EngineOptions()->UseFileCache = fileCache;
        w.report.EngineOptions()->MaxMemSize = 1;
        w.report.PreviewOptions()->PictureCacheInFile = fileCache;
        TzdPreviewPages store(&w.report);
        written += w.Write(store, pages, objects);
        for (int i = 0; i < store.GetPageCount(); ++i)
            benchmark::DoNotOptimize(store.GetPage(i));
        plat::TMemoryStream out;
        store.SaveToStream(out);
        out.SetPosition(0);
        TzdPreviewPages loaded(&w.report);
        loaded.LoadFromStream(out, false);
        benchmark::DoNotOptimize(loaded.GetPageCount());
        elapsed += std::chrono::steady_clock::now() - start;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["maxrss_kb"] = double(usage.ru_maxrss);
    state.counters["us_per_object"] =
        std::chrono::duration<double, std::micro>(elapsed).count() / double(written);
}

} // namespace

BENCHMARK(storeRoundTrip)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
