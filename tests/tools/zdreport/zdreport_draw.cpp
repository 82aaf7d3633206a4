// zdreport draw TEMPLATE OBJECT OUT.png [TEMPLATE OBJECT OUT.png ...]
//              [--scale S] [--printer-dpi N]
//
// More than one triple draws each in turn in one run (starting the tool
// costs more than drawing an object); the first failure ends the run.
// Draws one object of a template alone onto a white picture: the object's
// rectangle at the scale with a margin of 16 pixels on every side (room
// for frames, shadows and arrow heads), its top-left corner at (16, 16).
// With --printer-dpi the object draws as for a printer of that resolution:
// on a printer canvas, at the scale times N / 96.

#include "zdreport_commands.h"
#include "zdreport_template.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "Streams.h"
#include "zdClass_view.h"
#include "zdUtils.h"

#include <QBuffer>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <memory>

namespace zdtool {

namespace {
constexpr int kMargin = 16;
constexpr int kMaxSide = 20000; // pixels: a picture larger than this is refused
} // namespace

namespace {

int draw(const QString& templateFile, const QString& objectName, const QString& outFile, long double scale,
         int printerDpi)
{
    Template report;
    report.Load(templateFile);
    auto* obj = dynamic_cast<TzdView*>(report.Root()->FindObject(objectName));
    if (!obj)
        throw plat::Exception(QStringLiteral("No printable object \"%1\" in %2").arg(objectName, templateFile));
    if (printerDpi > 0)
        scale = scale * printerDpi / 96.0L;
    // Objects that size themselves to their content (barcodes) do it here.
    obj->GetRealBounds();
    const long double width = std::ceil(obj->Width() * scale) + 1 + 2 * kMargin;
    const long double height = std::ceil(obj->Height() * scale) + 1 + 2 * kMargin;
    if (!(width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide))
        throw plat::Exception(QStringLiteral("The picture of \"%1\" would be %2 x %3 pixels")
                                  .arg(objectName)
                                  .arg(double(width))
                                  .arg(double(height)));
    QImage image(int(width), int(height), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        std::unique_ptr<plat::TCanvas> canvas;
        if (printerDpi > 0) {
            canvas = std::make_unique<plat::TPrinterCanvas>();
            canvas->SetImage(&image);
            canvas->SetDeviceDPI(printerDpi, printerDpi);
        } else {
            canvas = std::make_unique<plat::TCanvas>(&image);
        }
        obj->DrawingForPrinter = printerDpi > 0;
        obj->Draw(canvas.get(), scale, scale, kMargin - obj->GetAbsLeft() * scale,
                  kMargin - obj->GetAbsTop() * scale);
        obj->DrawingForPrinter = false;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw plat::Exception(QStringLiteral("Cannot encode the picture"));
    zd::writeFileAtomically(outFile, [&](plat::TStream& stream) { stream.WriteBuffer(png.constData(), png.size()); });
    return 0;
}

} // namespace

int drawCommand(const ToolCommandLine& cl)
{
    if (cl.positional.empty() || cl.positional.size() % 3 != 0)
        return -1;
    bool ok = true;
    long double scale = 1;
    if (cl.has(QStringLiteral("scale")))
        scale = cl.value(QStringLiteral("scale")).toDouble(&ok);
    if (!ok || !(scale > 0 && scale <= 100)) {
        std::fputs("zdreport: --scale takes a number above 0, at most 100\n", stderr);
        return -1;
    }
    int dpi = 0;
    if (cl.has(QStringLiteral("printer-dpi")))
        dpi = cl.value(QStringLiteral("printer-dpi")).toInt(&ok);
    if (!ok || dpi < 0 || dpi > 4800) {
        std::fputs("zdreport: --printer-dpi takes a whole number from 1 to 4800\n", stderr);
        return -1;
    }
    for (std::size_t i = 0; i < cl.positional.size(); i += 3)
        draw(cl.positional[i], cl.positional[i + 1], cl.positional[i + 2], scale, dpi);
    return 0;
}

} // namespace zdtool
