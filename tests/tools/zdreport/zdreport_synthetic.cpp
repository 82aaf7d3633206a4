// zdreport --synthetic PAGES OBJECTS OUT.zp3 [--compressed] [--max-mem MB]
//          [--pages-in-cache N] [--temp-dir DIR] [--png DIR] [--dpi N]
//
// Writes the synthetic report of the store's tests into a store of prepared
// pages as the engine does: PAGES pages of about OBJECTS objects each, a
// barcode of the page number ("Strana N") in every page header. With
// --max-mem the store pages out to its temporary file once the pages pass
// MB megabytes, and its pictures go to temporary files; --pages-in-cache
// limits the rebuilt pages it keeps. With --png the pages are drawn from
// the store as written (see render), before it is saved to OUT.zp3.
// Prints the pages, the objects and whether pages were paged out.

#include "zdreport_commands.h"
#include "zdreport_template.h"

#include "Exceptions.h"
#include "SyntheticWriter.h"
#include "zdClass_options.h"
#include "zdXML.h"
#include "zdZLib.h"

#include <cstdio>

namespace zdtool {

namespace {

bool wholeNumber(const QString& text, int low, int high, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= low && value <= high;
}

} // namespace

int syntheticCommand(const ToolCommandLine& cl)
{
    int pageCount = 0, objects = 0, maxMem = 0, pagesInCache = 50;
    if (cl.positional.size() != 3 || !wholeNumber(cl.positional[0], 1, 1000000, pageCount)
        || !wholeNumber(cl.positional[1], 1, 100000, objects)) {
        std::fputs("zdreport: --synthetic takes PAGES (1 to 1000000), OBJECTS (1 to 100000) and OUT.zp3\n", stderr);
        return -1;
    }
    if (cl.has(QStringLiteral("max-mem")) && !wholeNumber(cl.value(QStringLiteral("max-mem")), 0, 100000, maxMem)) {
        std::fputs("zdreport: --max-mem takes megabytes, 0 to 100000\n", stderr);
        return -1;
    }
    if (cl.has(QStringLiteral("pages-in-cache"))
        && !wholeNumber(cl.value(QStringLiteral("pages-in-cache")), 1, 100000, pagesInCache)) {
        std::fputs("zdreport: --pages-in-cache takes a whole number from 1 to 100000\n", stderr);
        return -1;
    }
    const int dpi = dpiOption(cl);
    if (dpi == 0)
        return -1;
    startLibrary();
    TzdGZipCompressor compressor(nullptr);
    storetest::SyntheticWriter w(true);
    w.report.ReportOptions()->Compressed = cl.has(QStringLiteral("compressed"));
    w.report.EngineOptions()->TempDir = cl.value(QStringLiteral("temp-dir"));
    if (cl.has(QStringLiteral("max-mem"))) {
        w.report.EngineOptions()->UseFileCache = true;
        w.report.EngineOptions()->MaxMemSize = maxMem;
        w.report.PreviewOptions()->PictureCacheInFile = true;
    }
    w.report.PreviewOptions()->PagesInCache = pagesInCache;
    TzdPreviewPages pages(&w.report);
    const qint64 written = w.Write(pages, pageCount, objects);
    const bool pagedOut = !pages.XMLDocument()->TempFileName().isEmpty();
    if (cl.has(QStringLiteral("png")))
        writePagePNGs(pages, cl.value(QStringLiteral("png")), dpi);
    pages.SaveToFile(cl.positional[2]);
    std::printf("pages %d\nobjects %lld\npaged out %s\n", pages.GetPageCount(), static_cast<long long>(written),
                pagedOut ? "yes" : "no");
    return 0;
}

} // namespace zdtool
