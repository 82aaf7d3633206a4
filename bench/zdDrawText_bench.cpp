// The memo text layout: 10,000 texts of three lines laid out and drawn, as a
// report page full of memos is; the counter gives microseconds per text.
#include "zdDrawText.h"
#include "zdClass_memo.h"

#include "Canvas.h"
#include "Metafile.h"
#include "zdWideStrings.h"

#include <QImage>

#include <chrono>
#include <memory>

#include <benchmark/benchmark.h>

namespace {

constexpr int kTexts = 10000;

// Lays out and draws kTexts memos on the canvas the factory gives.
template <class MakeCanvas>
void layOutAndDraw(benchmark::State& state, bool tags, MakeCanvas makeCanvas)
{
    plat::TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetSize(10);
    font.SetCharset(plat::EASTEUROPE_CHARSET);
    TzdDrawTextOptions options;
    options.WordWrap = true;
    options.HTMLTags = tags;
    // Three lines in a 150-pixel memo: one paragraph that wraps once, one that fits.
    TzdWideStrings source;
    source.Add(tags ? QStringLiteral("Kód <b>8594001234567</b>, šarže 2024/11")
                    : QStringLiteral("Kód 8594001234567, šarže 2024/11"));
    source.Add(QStringLiteral("Výrobce: Sorvamet s.r.o."));
    const plat::TRect rect(0, 0, 150, 60);
    TzdDrawText& layout = zdSharedDrawText();
    std::chrono::nanoseconds spent{0};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto canvas = makeCanvas();
        for (int i = 0; i < kTexts; ++i) {
            TzdDrawText::Locker lock(layout);
            layout.SetFont(font);
            layout.SetOptions(options);
            layout.SetSpacings(0, 0, 2);
            layout.SetDimensions(rect, rect, 1, 1, 1);
            layout.SetText(source);
            layout.DrawText(*canvas, haBlock, vaTop);
        }
        spent += std::chrono::steady_clock::now() - start;
        if (layout.LineCount() != 3)
            state.SkipWithError("the text is not three lines");
    }
    state.counters["us_per_text"] = std::chrono::duration<double, std::micro>(spent).count()
                                    / (double(state.iterations()) * kTexts);
}

} // namespace

static void BM_DrawText_Recording(benchmark::State& state)
{
    plat::TMetafile mf;
    layOutAndDraw(state, state.range(0) != 0, [&mf] {
        mf.Clear();
        return std::make_unique<plat::TMetafileCanvas>(mf);
    });
}
BENCHMARK(BM_DrawText_Recording)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

static void BM_DrawText_Image(benchmark::State& state)
{
    QImage image(200, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    layOutAndDraw(state, false, [&image] { return std::make_unique<plat::TCanvas>(&image); });
}
BENCHMARK(BM_DrawText_Image)->Unit(benchmark::kMillisecond);

// The same through text objects: 10,000 memos of three lines, each drawn as
// a page draws it (background, frame, layout under the lock, text); the
// counter gives microseconds per memo.
static void BM_MemoView_Draw(benchmark::State& state)
{
    TzdMemoView memo(nullptr);
    memo.SetParentFont(false);
    memo.Font()->SetName(QStringLiteral("Arial"));
    memo.Font()->SetSize(10);
    memo.Font()->SetCharset(plat::EASTEUROPE_CHARSET);
    memo.SetBounds(0, 0, 154, 64);
    memo.HAlign = haBlock;
    memo.AllowHTMLTags = state.range(0) != 0;
    memo.SetText(memo.AllowHTMLTags ? QStringLiteral("Kód <b>8594001234567</b>, šarže 2024/11\r\nVýrobce: Sorvamet s.r.o.")
                                    : QStringLiteral("Kód 8594001234567, šarže 2024/11\r\nVýrobce: Sorvamet s.r.o."));
    plat::TMetafile mf;
    std::chrono::nanoseconds spent{0};
    for (auto _ : state) {
        mf.Clear();
        const auto start = std::chrono::steady_clock::now();
        {
            plat::TMetafileCanvas canvas(mf);
            for (int i = 0; i < kTexts; ++i)
                memo.Draw(&canvas, 1, 1, 0, 0);
        }
        spent += std::chrono::steady_clock::now() - start;
        if (memo.TextLayout().LineCount() != 3)
            state.SkipWithError("the memo is not three lines");
    }
    state.counters["us_per_memo"] = std::chrono::duration<double, std::micro>(spent).count()
                                    / (double(state.iterations()) * kTexts);
}
BENCHMARK(BM_MemoView_Draw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
