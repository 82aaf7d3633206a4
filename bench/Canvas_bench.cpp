// Text measurement at 600 dpi (the memo layout measures every line this way)
// and the replay of a recorded barcode-like picture.
#include "Canvas.h"
#include "Metafile.h"

#include <benchmark/benchmark.h>

using namespace plat;

static void BM_MeasureLine600Dpi(benchmark::State& state)
{
    TCanvas measure;
    measure.Font().SetName(QStringLiteral("Arial"));
    measure.Font().SetPixelsPerInch(600);
    measure.Font().SetSize(10);
    const QString line = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy 0123456789 ").repeated(int(state.range(0)));
    std::vector<int> extents;
    for (auto _ : state)
        benchmark::DoNotOptimize(measure.GetTextExtents(line, extents));
    state.SetItemsProcessed(state.iterations() * line.size());
}
BENCHMARK(BM_MeasureLine600Dpi)->Arg(1)->Arg(20);

static void BM_ReplayBars(benchmark::State& state)
{
    TMetafile mf;
    mf.SetWidth(300);
    mf.SetHeight(100);
    {
        TMetafileCanvas c(mf);
        for (int x = 0; x < 300; x += 3) {
            c.Brush().SetColor(x % 2 ? clBlack : clWhite);
            c.FillRect(Rect(x, 0, x + 3, 100));
        }
    }
    QImage img(900, 300, QImage::Format_RGB32);
    for (auto _ : state) {
        TCanvas c(&img);
        mf.Play(c, 3, 3, 0, 0);
    }
}
BENCHMARK(BM_ReplayBars);
