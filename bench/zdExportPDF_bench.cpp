// Exporting a 1,000-page report of 10,000 labels to PDF: each label a framed
// rectangle with two texts; and the label report of 10,000 records (a Code
// 128 and two texts each) prepared and exported together.
#include "LabelReport.h"
#include "zdExportPDF.h"
#include "zdPreviewPages.h"

#include "Graphics.h"
#include "Streams.h"
#include "zdClass_shape.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

constexpr int kPages = 1000;
constexpr int kLabelsPerPage = 10;

void BM_PdfExport1000Pages(benchmark::State& state)
{
    std::vector<std::unique_ptr<TzdShapeView>> labels;
    for (int k = 0; k < kLabelsPerPage; ++k) {
        auto v = std::make_unique<TzdShapeView>(nullptr);
        v->SetBounds(40 + (k % 2) * 350, 40 + (k / 2) * 200, 340, 190);
        labels.push_back(std::move(v));
    }
    plat::TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetSize(10);
    for (auto _ : state) {
        TzdPDFExport pdf(nullptr);
        pdf.OutputStream = std::make_unique<plat::TMemoryStream>();
        pdf.StartExport();
        TzdPDFPageInfo page;
        page.Width = 794;
        page.Height = 1123;
        for (int p = 0; p < kPages; ++p) {
            pdf.OpenPageInfo(page, p);
            for (int k = 0; k < kLabelsPerPage; ++k) {
                TzdShapeView* v = labels[size_t(k)].get();
                pdf.WriteObject(v);
                TzdPDFTextParams t;
                t.View = v;
                t.Font = &font;
                t.WordWrap = false;
                t.Lines = {QStringLiteral("Výrobek %1").arg(p * kLabelsPerPage + k),
                           QStringLiteral("Cena %1,50 Kč").arg(p % 97)};
                pdf.WriteTextObject(t);
            }
            pdf.ClosePage(nullptr, p);
        }
        pdf.FinishExport();
        benchmark::DoNotOptimize(pdf.OutputStream->Size());
    }
    state.counters["pages/s"] = benchmark::Counter(double(kPages) * double(state.iterations()), benchmark::Counter::kIsRate);
}
// Images are encoded on worker threads: wall time and the whole process's
// CPU time tell apart what the threads save and what they cost.
BENCHMARK(BM_PdfExport1000Pages)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime()->MeasureProcessCPUTime();

using benchlabels::startUnits;

void BM_PrepareAndExportLabels(benchmark::State& state)
{
    startUnits();
    const int records = int(state.range(0));
    int pages = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        plat::TComponent host(nullptr);
        TzdReport report(&host);
        benchlabels::buildLabelReport(host, report, records, false);
        if (!report.Prepare())
            state.SkipWithError(report.ErrorList().join(u'\n').toUtf8().constData());
        TzdPDFExport pdf(nullptr);
        pdf.ShowDialog = false;
        pdf.OutputStream = std::make_unique<plat::TMemoryStream>();
        if (!report.ActivePreviewPages()->Export(&pdf))
            state.SkipWithError("the export failed");
        pages = report.ActivePreviewPages()->GetPageCount();
        bytes = pdf.OutputStream->Size();
    }
    state.counters["labels/s"] = benchmark::Counter(double(records), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["pages"] = pages;
    state.counters["MiB"] = double(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_PrepareAndExportLabels)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The same into a file, as the program exports: pages go on to the
// temporary file beside the destination as they are finished.
void BM_PrepareAndExportLabelsToFile(benchmark::State& state)
{
    startUnits();
    const int records = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("labels.pdf"));
    int pages = 0;
    for (auto _ : state) {
        plat::TComponent host(nullptr);
        TzdReport report(&host);
        benchlabels::buildLabelReport(host, report, records, false);
        if (!report.Prepare())
            state.SkipWithError(report.ErrorList().join(u'\n').toUtf8().constData());
        TzdPDFExport pdf(nullptr);
        pdf.ShowDialog = false;
        pdf.FileName = path;
        if (!report.ActivePreviewPages()->Export(&pdf))
            state.SkipWithError("the export failed");
        pages = report.ActivePreviewPages()->GetPageCount();
    }
    state.counters["labels/s"] = benchmark::Counter(double(records), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["pages/s"] = benchmark::Counter(double(pages), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["pages"] = pages;
    state.counters["MiB"] = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_PrepareAndExportLabelsToFile)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

} // namespace
