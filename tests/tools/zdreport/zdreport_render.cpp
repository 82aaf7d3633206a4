// zdreport render ZP3 --png DIR [--dpi N]
//
// Every page of a prepared report drawn as the preview draws it, at N dots
// per inch (96 by default, at most 600), into DIR as page-0001.png, ...

#include "zdreport_commands.h"
#include "zdreport_template.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "Files.h"
#include "zdClass_options.h"
#include "zdClass_report.h"
#include "zdPreviewPages.h"
#include "zdZLib.h"

#include <QDir>
#include <QImage>
#include <QSaveFile>

#include <cmath>
#include <cstdio>

namespace zdtool {

int dpiOption(const ToolCommandLine& cl)
{
    bool ok = true;
    const int dpi = cl.value(QStringLiteral("dpi"), QStringLiteral("96")).toInt(&ok);
    if (!ok || dpi < 1 || dpi > 600) {
        std::fputs("zdreport: --dpi takes a whole number from 1 to 600\n", stderr);
        return 0;
    }
    return dpi;
}

int writePagePNGs(TzdPreviewPages& Pages, const QString& Folder, int Dpi)
{
    if (!QDir().mkpath(Folder))
        throw plat::EFCreateError(QStringLiteral("Cannot create folder \"%1\"").arg(Folder));
    const long double scale = Dpi / 96.0L;
    const int count = Pages.GetPageCount();
    // One image serves every page of its size: a fresh one per page costs
    // more than drawing the page (most pages of a report share their size).
    QImage image;
    for (int i = 0; i < count; ++i) {
        const QSize size = Pages.GetPageSize(i);
        const int width = int(std::ceil(double(size.width() * scale)));
        const int height = int(std::ceil(double(size.height() * scale)));
        if (width < 1 || height < 1)
            throw plat::Exception(QStringLiteral("Page %1 has no size").arg(i + 1));
        if (image.width() != width || image.height() != height)
            image = QImage(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            plat::TCanvas canvas(&image);
            if (!Pages.DrawPage(i, &canvas, scale, scale, 0, 0))
                throw plat::Exception(QStringLiteral("Page %1 cannot be drawn").arg(i + 1));
        }
        const QString name = QDir(Folder).filePath(QStringLiteral("page-%1.png").arg(i + 1, 4, 10, QLatin1Char('0')));
        QSaveFile file(name);
        if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG", kFastPng) || !file.commit())
            throw plat::EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(name, file.errorString()));
    }
    return count;
}

int renderCommand(const ToolCommandLine& cl)
{
    if (cl.positional.size() != 1 || !cl.has(QStringLiteral("png")))
        return -1;
    const int dpi = dpiOption(cl);
    if (dpi == 0)
        return -1;
    startLibrary();
    const QString& in = cl.positional[0];
    TzdGZipCompressor compressor(nullptr);
    TzdReport report;
    report.EngineOptions()->NewSilentMode = simSilent;
    TzdPreviewPages pages(&report);
    if (!pages.LoadFromFile(in, true) || !report.ErrorList().isEmpty()) {
        for (const QString& error : report.ErrorList())
            std::fprintf(stderr, "zdreport: %s\n", qPrintable(error));
        throw plat::Exception(QStringLiteral("Cannot read the prepared report %1").arg(in));
    }
    if (pages.GetPageCount() == 0)
        throw plat::Exception(QStringLiteral("No prepared pages in %1").arg(in));
    writePagePNGs(pages, cl.value(QStringLiteral("png")), dpi);
    return 0;
}

} // namespace zdtool
