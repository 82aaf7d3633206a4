// Paging a large prepared report out to the temporary file and back.
//
// Builds a document of about 200 MB of page XML one page at a time, paging
// each page out as soon as it is complete, then reads every page back and
// writes the whole document out. Peak memory (the "peak_rss_mb" counter)
// stays far below the document's size.

#include "Streams.h"
#include "zdXML.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

constexpr qint64 kTargetBytes = 200LL * 1024 * 1024;
constexpr int kObjectsPerPage = 400;

double peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kB on Linux
}

// Counts what is written and keeps nothing.
class NullStream final : public plat::TStream {
public:
    qint64 Read(void*, qint64) override { return 0; }
    qint64 Write(const void*, qint64 count) override
    {
        m_size += count;
        return count;
    }
    qint64 Seek(qint64 offset, plat::TSeekOrigin origin) override
    {
        if (origin == plat::soEnd)
            return m_size + offset;
        return origin == plat::soBeginning ? offset : m_size + offset;
    }
    qint64 written() const { return m_size; }

private:
    qint64 m_size = 0;
};

void fillPage(TzdXMLItem* page, int number)
{
    page->Name = "page";
    page->SetAttr("n", QByteArray::number(number));
    page->Unloadable = true;
    for (int i = 0; i < kObjectsPerPage; ++i) {
        TzdXMLItem* memo = page->Add();
        memo->Name = "TzdMemoView";
        memo->SetAttr("l", QByteArray::number(i % 20 * 37.8, 'f', 2));
        memo->SetAttr("t", QByteArray::number(i / 20 * 17));
        memo->SetAttr("w", "200");
        memo->SetAttr("h", "17");
        memo->SetAttr("Text", "Kód " + QByteArray::number(number * kObjectsPerPage + i) + " <Výrobek & spol.>");
    }
}

void BM_PageOutAndBack200MB(benchmark::State& state)
{
    for (auto _ : state) {
        TzdXMLDocument doc;
        doc.Root()->Name = "preparedreport";
        int pages = 0;
        while (doc.TempStream() == nullptr || doc.TempStream()->Size() < kTargetBytes) {
            TzdXMLItem* page = doc.Root()->Add();
            fillPage(page, pages++);
            doc.UnloadItem(page);
        }
        const qint64 paged = doc.TempStream()->Size();

        for (int i = 0; i < doc.Root()->Count(); ++i) {
            TzdXMLItem* page = doc.Root()->GetItem(i);
            doc.LoadItem(page);
            benchmark::DoNotOptimize(page->Count());
            page->Clear(); // back to the temporary file
        }
        NullStream out;
        doc.SaveToStream(out);

        state.counters["pages"] = pages;
        state.counters["paged_mb"] = static_cast<double>(paged) / (1024.0 * 1024.0);
        state.counters["written_mb"] = static_cast<double>(out.written()) / (1024.0 * 1024.0);
        state.counters["peak_rss_mb"] = peakRssMb();
    }
}

BENCHMARK(BM_PageOutAndBack200MB)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
