// The 2D symbols of zdbarcode:
//   zdbarcode bcCodeQR|bcCodeDataMatrix|bcCodePDF417 TEXT OUT.png [--angle 0|90|180|270] [--NAME VALUE]...
// NAME is a published property of the symbol (QR: Encoding, QuietZone,
// ErrorLevels, PixelSize, Codepage; Data Matrix: SymbolSize, Encoding,
// CodePage, PixelSize; PDF417: AspectRatio, Columns, Rows, ErrorCorrection,
// CodePage, CompactionMode, PixelWidth, PixelHeight), VALUE a number or an
// enumeration value name. The symbol is drawn with its text line and a
// quiet zone of four modules. Exit codes as for the linear symbols.
#include "zdbarcode.h"

#include "zdBarcode2DBase.h"
#include "zdBarcodeDataMatrix.h"
#include "zdBarcodePDF417.h"
#include "zdBarcodeQR.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "TypeInfo.h"

#include <QImage>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kQuietModules = 4;

std::unique_ptr<TzdBarcode2DBase> symbolOf(const QString& type)
{
    if (type == QLatin1String("bcCodeQR"))
        return std::make_unique<TzdBarcodeQR>();
    if (type == QLatin1String("bcCodeDataMatrix"))
        return std::make_unique<TzdBarcodeDataMatrix>();
    if (type == QLatin1String("bcCodePDF417"))
        return std::make_unique<TzdBarcodePDF417>();
    return nullptr;
}

void usage()
{
    std::fputs("usage: zdbarcode bcCodeQR|bcCodeDataMatrix|bcCodePDF417 TEXT OUT.png [--angle 0|90|180|270] "
               "[--PROPERTY VALUE]...\n",
               stderr);
}

// Sets one published property from its command-line text.
bool setProperty(TzdBarcode2DBase& symbol, const QString& name, const QString& value)
{
    const plat::TPropInfo* prop = plat::GetPropInfo(&symbol, name);
    if (!prop)
        return false;
    bool ok = true;
    try {
        switch (plat::PropType(&symbol, name)) {
        case plat::tkEnumeration:
            plat::SetEnumProp(&symbol, name, value); // raises for an unknown value name
            break;
        case plat::tkInteger: {
            const int v = value.toInt(&ok);
            if (ok)
                plat::SetOrdProp(&symbol, name, v);
            break;
        }
        case plat::tkFloat: {
            const double v = value.toDouble(&ok);
            if (ok)
                plat::SetFloatProp(&symbol, name, v);
            break;
        }
        default:
            return false;
        }
    } catch (const plat::Exception&) {
        return false;
    }
    return ok;
}

} // namespace

// -1 when TYPE is not a 2D symbol; otherwise the exit code.
int zdbarcode2d(const QStringList& args)
{
    if (args.size() < 2)
        return -1;
    std::unique_ptr<TzdBarcode2DBase> symbol = symbolOf(args[1]);
    if (!symbol)
        return -1;
    if (args.size() < 4) {
        usage();
        return 2;
    }
    const QString text = args[2];
    const QString out = args[3];
    int angle = 0;
    try {
        for (qsizetype i = 4; i < args.size(); i += 2) {
            if (!args[i].startsWith(QLatin1String("--")) || i + 1 >= args.size()) {
                usage();
                return 2;
            }
            const QString name = args[i].mid(2), value = args[i + 1];
            bool ok = true;
            if (name == QLatin1String("angle")) {
                angle = value.toInt(&ok);
                ok = ok && (angle == 0 || angle == 90 || angle == 180 || angle == 270);
            } else {
                ok = setProperty(*symbol, name, value);
            }
            if (!ok) {
                std::fprintf(stderr, "zdbarcode: bad option %s %s\n", qPrintable(args[i]), qPrintable(value));
                usage();
                return 2;
            }
        }
        symbol->SetText(text);
        if (!symbol->ErrorText().isEmpty()) {
            std::fprintf(stderr, "%s\n", symbol->ErrorText().toUtf8().constData());
            return 1;
        }
        symbol->SetRotation(angle);
        symbol->SetQuietZone(kQuietModules * std::max(symbol->PixelWidth(), symbol->PixelHeight()));
        const bool turned = angle == 90 || angle == 270;
        const int w = symbol->GetWidth(), h = symbol->GetHeight();
        QImage image(turned ? h : w, turned ? w : h, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            plat::TCanvas canvas(&image);
            symbol->Draw(canvas, 0, 1, 1, 0);
            canvas.ReleaseDevice();
        }
        if (!image.save(out, "PNG")) {
            std::fprintf(stderr, "zdbarcode: cannot write %s\n", qPrintable(out));
            return 1;
        }
    } catch (const plat::Exception& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
