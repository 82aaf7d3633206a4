// Encoding speed of the 2D symbols: 10,000 QR Codes of 100 characters per
// iteration (byte mode, level M), the same texts as 10,000 PDF417 symbols
// (automatic compaction, level and layout, with the module image), plus
// single symbols for comparison.
#include "zdBarcodeDataMatrix.h"
#include "zdBarcodePDF417.h"
#include "zdBarcodeQR.h"
#include "zdQRCodeGenerator.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <vector>

namespace {

std::vector<QString> hundredCharacterTexts(int count)
{
    std::vector<QString> texts;
    texts.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        QString t = QStringLiteral("https://sorvamet.example/kod/%1?pole1=Vyrobek&pole2=Sklad-A").arg(i, 8, 10, QLatin1Char('0'));
        while (t.size() < 100)
            t += QLatin1Char('a' + (t.size() + i) % 26);
        texts.push_back(t.left(100));
    }
    return texts;
}

void BM_QR10000Codes(benchmark::State& state)
{
    const std::vector<QString> texts = hundredCharacterTexts(10000);
    for (auto _ : state) {
        for (const QString& t : texts) {
            auto m = zdGenerateQRMatrix(t, qrAuto, ecM, 0);
            benchmark::DoNotOptimize(m);
        }
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_QR10000Codes)->Unit(benchmark::kMillisecond);

void BM_PDF417_10000Codes(benchmark::State& state)
{
    const std::vector<QString> texts = hundredCharacterTexts(10000);
    TzdBarcodePDF417 pdf;
    for (auto _ : state) {
        for (const QString& t : texts) {
            pdf.SetText(t);
            benchmark::DoNotOptimize(pdf.Image().data());
        }
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_PDF417_10000Codes)->Unit(benchmark::kMillisecond);

void BM_QRSymbolWithImage(benchmark::State& state)
{
    const std::vector<QString> texts = hundredCharacterTexts(64);
    TzdBarcodeQR qr;
    std::size_t i = 0;
    for (auto _ : state) {
        qr.SetText(texts[i++ % texts.size()]);
        benchmark::DoNotOptimize(qr.Image().data());
    }
}
BENCHMARK(BM_QRSymbolWithImage)->Unit(benchmark::kMicrosecond);

void BM_QRVersion40(benchmark::State& state)
{
    const QString text(2900, QLatin1Char('x'));
    for (auto _ : state) {
        auto m = zdGenerateQRMatrix(text, qrAuto, ecL, 0);
        benchmark::DoNotOptimize(m);
    }
}
BENCHMARK(BM_QRVersion40)->Unit(benchmark::kMillisecond);

void BM_DataMatrixAuto100(benchmark::State& state)
{
    const std::vector<QString> texts = hundredCharacterTexts(64);
    TzdBarcodeDataMatrix dm;
    std::size_t i = 0;
    for (auto _ : state) {
        dm.SetText(texts[i++ % texts.size()]);
        benchmark::DoNotOptimize(dm.Image().data());
    }
}
BENCHMARK(BM_DataMatrixAuto100)->Unit(benchmark::kMicrosecond);

} // namespace
