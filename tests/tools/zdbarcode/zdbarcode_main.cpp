// zdbarcode TYPE TEXT OUT.png [--angle 0|90|180|270] [--checksum] [--module N] [--ratio R]
//
// Draws one symbol with its human-readable text and a quiet zone of ten
// modules into a PNG file through TzdBarcode and the platform canvas. TYPE
// is a TzdBarcodeType value name (bcCodeEAN13, bcCode128, ...). Exits 0 when
// the file is written; on an encoding error prints the message to standard
// error and exits 1; on a bad command line prints the usage and exits 2.
#include "zdbarcode.h"

#include "zdBarcod.h"

#include "../ToolCommandLine.h"

#include "Canvas.h"
#include "Exceptions.h"

#include <QImage>

#include <cstdio>
#include <map>
#include <optional>
#include <set>

namespace {

constexpr int kQuietModules = 10;
constexpr int kBarModules = 50; // bar length in modules, text band apart
constexpr int kTextBand = 16;   // room for the default font's text (Band 14 + 2)

void printUsage()
{
    std::fputs("usage: zdbarcode TYPE TEXT OUT.png [--angle 0|90|180|270] [--checksum] [--module N] [--ratio R]\n"
               "TYPE: a TzdBarcodeType value name, e.g. bcCodeEAN13, bcCode128\n",
               stderr);
}

using CommandLine = ToolCommandLine;

// Options are "--NAME VALUE", except the flags named here.
const std::set<QString> kFlags{QStringLiteral("checksum")};
const std::set<QString> kValued{QStringLiteral("angle"), QStringLiteral("module"), QStringLiteral("ratio")};

std::optional<CommandLine> parse(const QStringList& args)
{
    std::optional<CommandLine> cl = parseToolCommandLine(args, kFlags, kValued, "zdbarcode");
    if (!cl || cl->positional.size() != 3)
        return std::nullopt;
    return cl;
}

std::optional<TzdBarcodeType> typeByName(const QString& name)
{
    for (int i = 0; i < kBarcodeTypeCount; ++i)
        if (name == QLatin1StringView(TzdBarcodeTypeNames[i]))
            return TzdBarcodeType(i);
    return std::nullopt;
}

bool toInt(const CommandLine& cl, const QString& name, int& value)
{
    auto it = cl.options.find(name);
    if (it == cl.options.end())
        return true;
    bool ok = false;
    value = it->second.toInt(&ok);
    return ok;
}

bool toDouble(const CommandLine& cl, const QString& name, double& value)
{
    auto it = cl.options.find(name);
    if (it == cl.options.end())
        return true;
    bool ok = false;
    value = it->second.toDouble(&ok);
    return ok;
}

} // namespace

int zdbarcodeMain(const QStringList& args)
{
    if (const int rc = zdbarcode2d(args); rc >= 0)
        return rc;
    const std::optional<CommandLine> cl = parse(args);
    if (!cl) {
        printUsage();
        return 2;
    }
    const std::optional<TzdBarcodeType> typ = typeByName(cl->positional[0]);
    int angle = 0;
    int modul = 1;
    double ratio = 2.0;
    if (!typ || !toInt(*cl, QStringLiteral("angle"), angle) || !toInt(*cl, QStringLiteral("module"), modul) ||
        !toDouble(*cl, QStringLiteral("ratio"), ratio) || (angle != 0 && angle != 90 && angle != 180 && angle != 270)) {
        printUsage();
        return 2;
    }

    TzdBarcode barcode;
    barcode.SetTyp(*typ);
    barcode.SetText(cl->positional[1]);
    barcode.SetChecksum(cl->options.count(QStringLiteral("checksum")) > 0);
    barcode.SetModul(modul);
    barcode.SetRatio(ratio);
    barcode.SetAngle(angle);
    try {
        const int width = barcode.GetWidth();
        const int quiet = kQuietModules * modul;
        const int length = kBarModules * modul + kTextBand;
        const bool horizontal = angle == 0 || angle == 180;
        const int rectWidth = horizontal ? width : length;
        const int rectHeight = horizontal ? length : width;
        QImage image(rectWidth + 2 * quiet, rectHeight + 2 * quiet, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            plat::TCanvas canvas(&image);
            barcode.DrawBarcode(canvas, plat::Bounds(quiet, quiet, rectWidth, rectHeight), true, 1, 1);
            canvas.ReleaseDevice();
        }
        if (!image.save(cl->positional[2], "PNG")) {
            std::fprintf(stderr, "zdbarcode: cannot write %s\n", qPrintable(cl->positional[2]));
            return 1;
        }
    } catch (const plat::Exception& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
