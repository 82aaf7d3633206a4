// Encoding and measuring linear symbols: 100,000 EAN-13 and 100,000 Code 128
// texts per iteration, as a report of that many records would.
#include "zdBarcod.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <vector>

namespace {

constexpr int kTexts = 100000;

std::vector<QString> ean13Texts()
{
    std::vector<QString> texts;
    texts.reserve(kTexts);
    for (int i = 0; i < kTexts; ++i)
        texts.push_back(QStringLiteral("859%1").arg(i, 9, 10, QLatin1Char('0')));
    return texts;
}

std::vector<QString> code128Texts()
{
    std::vector<QString> texts;
    texts.reserve(kTexts);
    for (int i = 0; i < kTexts; ++i)
        texts.push_back(QStringLiteral("SRV-%1/A").arg(i * 7919LL, 10, 10, QLatin1Char('0')));
    return texts;
}

void encodeAndMeasure(benchmark::State& state, TzdBarcodeType typ, bool checksum, const std::vector<QString>& texts)
{
    TzdBarcode barcode(nullptr);
    barcode.SetTyp(typ);
    barcode.SetChecksum(checksum);
    for (auto _ : state) {
        long long total = 0;
        for (const QString& t : texts) {
            barcode.SetText(t);
            total += barcode.GetWidth();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * qint64(texts.size()));
}

void BM_Ean13EncodeAndMeasure(benchmark::State& state)
{
    static const std::vector<QString> texts = ean13Texts();
    encodeAndMeasure(state, bcCodeEAN13, true, texts);
}
BENCHMARK(BM_Ean13EncodeAndMeasure)->Unit(benchmark::kMillisecond);

void BM_Code128EncodeAndMeasure(benchmark::State& state)
{
    static const std::vector<QString> texts = code128Texts();
    encodeAndMeasure(state, bcCode128, false, texts);
}
BENCHMARK(BM_Code128EncodeAndMeasure)->Unit(benchmark::kMillisecond);

} // namespace
