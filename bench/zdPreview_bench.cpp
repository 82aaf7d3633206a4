// The preview on a prepared report of 1,000 pages of 40 objects: opening the
// window, and paging through with Ctrl+Page Down, each page painted. The
// counter ms_per_page is the figure to watch (target: under 20 ms a page).
#include "../tests/tools/SyntheticWriter.h"
#include "zdPreview.h"
#include "zdPreviewForm.h"

#include <QApplication>

#include <chrono>
#include <memory>

#include <benchmark/benchmark.h>

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "sorvamet_bench";
    static char* argv[] = {name, nullptr};
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
    return application;
}

void previewPaging(benchmark::State& state)
{
    app();
    const int pageCount = 1000;
    storetest::SyntheticWriter w;
    TzdPreviewPages store(&w.report);
    w.Write(store, pageCount, 40);
    w.report.PreviewOptions()->Maximized = false;
    double perPage = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto form = std::make_unique<TzdPreviewForm>();
        form->resize(1000, 800);
        form->Init(&w.report, &store);
        form->show();
        QCoreApplication::processEvents();
        const auto opened = std::chrono::steady_clock::now();
        TzdPreview* preview = form->Preview();
        QWidget* viewport = preview->Workspace()->viewport();
        for (int page = 1; page <= pageCount; ++page) {
            preview->NextPage();
            viewport->repaint();
        }
        const auto end = std::chrono::steady_clock::now();
        state.counters["open_ms"] = std::chrono::duration<double, std::milli>(opened - start).count();
        perPage = std::chrono::duration<double, std::milli>(end - opened).count() / pageCount;
    }
    state.counters["ms_per_page"] = perPage;
}
BENCHMARK(previewPaging)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
