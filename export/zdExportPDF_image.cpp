// Objects the filter cannot write as text or paths (pictures, barcodes,
// fills, rich text) are painted by themselves into a bitmap and placed as
// JPEG images, with an 8-bit soft mask when transparency is wanted.
// Identical images on one page are written once.

#include "zdExportPDF.h"
#include "zdExportPDF_p.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "JpegCodec.h"
#include "zdClass_fill.h"
#include "zdClass_memo.h"
#include "zdClass_picture.h"
#include "zdClass_view.h"
#include "zdUtils.h"

#include <QImage>

#include <cmath>

namespace {

using State = TzdPDFExport::State;

// No object may ask for more pixels than this (a 10,000-pixel object at
// three times the resolution would need gigabytes).
constexpr qint64 kMaxImagePixels = 25'000'000; // an A3 page at three times the resolution fits
constexpr int kBarcodeShift = 2;

int I(long double v)
{
    return int(std::nearbyint(v));
}

struct Raster {
    long double rw = 0, rh = 0, dx = 0, dy = 0;
    int f = 1, shift = 0;
    int width = 0, height = 0;
    bool alpha = false;   // soft mask wanted
    bool colorKey = false; // mask from the key colour
    plat::TColor key = plat::clWhite;
};

// The shift between the real bounds and the object's own box on one axis.
long double boundsShift(long double realSize, long double size, long double pos, long double realLow,
                        long double realHigh)
{
    if (realSize == size || pos == realLow)
        return 0;
    return realHigh != pos + size ? (realSize - size) / 2 : realSize - size;
}

plat::TGraphic* graphicOf(TzdPictureView* p)
{
    return p && p->Picture() ? p->Picture()->Graphic() : nullptr;
}

bool isHatch(plat::TBrushStyle style)
{
    return style > plat::bsClear;
}

// The JPEG bytes of the bitmap's colours.
QByteArray jpegOf(const QImage& image, int quality)
{
    return plat::EncodeJpeg(image, std::min(quality, 100));
}

// Writes an object into the file buffer while the page content is being built.
struct FileBuffer {
    State& s;
    explicit FileBuffer(State& state) : s(state) { std::swap(s.out, s.content); }
    ~FileBuffer() { std::swap(s.out, s.content); }
};

int findImage(const State& s, const QByteArray& digest)
{
    for (size_t k = 0; k < s.imageTable.size(); ++k)
        if (s.imageTable[k].number != 0 && s.imageTable[k].digest == digest)
            return int(k);
    return -1;
}

int writeSoftMask(State& s, const QByteArray& alpha, int width, int height)
{
    const QByteArray digest = zd::md5(alpha);
    if (const int k = findImage(s, digest); k >= 0)
        return s.imageTable[size_t(k)].number;
    FileBuffer file(s);
    const int sm = s.allocate();
    s.imageTable.push_back({sm, digest});
    s.header(sm);
    s.line("<< /Type /XObject");
    s.line("/Subtype /Image");
    s.line("/Width " + QByteArray::number(width));
    s.line("/Height " + QByteArray::number(height));
    s.line("/ColorSpace /DeviceGray/Matte[ 0 0 0] ");
    s.line("/BitsPerComponent 8");
    s.line("/Interpolate false");
    s.line(" /Length " + QByteArray::number(alpha.size()) + " >>");
    s.line("stream");
    s.put(s.encrypt(alpha, sm));
    s.put("\r\nendstream\r\n");
    s.line("endobj");
    return sm;
}

int writeColorImage(State& s, const QByteArray& jpeg, const QByteArray& digest, int width, int height, int mask)
{
    if (const int k = findImage(s, digest); k >= 0)
        return k;
    FileBuffer file(s);
    const int im = s.allocate();
    s.imageTable.push_back({im, digest});
    s.header(im);
    s.line("<<");
    s.line("/Type /XObject");
    s.line("/Subtype /Image");
    s.line("/ColorSpace /DeviceRGB");
    s.line("/BitsPerComponent 8");
    s.line("/Filter /DCTDecode");
    s.line("/Width " + QByteArray::number(width));
    s.line("/Height " + QByteArray::number(height));
    if (mask)
        s.line("/SMask " + zd::ref(mask));
    s.line("/Length " + QByteArray::number(jpeg.size()));
    s.line(">>");
    s.put("stream\r\n");
    s.put(s.encrypt(jpeg, im));
    s.put("\r\nendstream\r\n");
    s.line("endobj");
    return int(s.imageTable.size()) - 1;
}

// The alpha bytes, rows top to bottom; the colours premultiplied with
// black, as the mask's matte says.
QByteArray alphaOf(QImage& image, const Raster& r)
{
    const plat::TColor keyRgb = plat::ColorToRGB(r.key);
    const QRgb key = qRgb(keyRgb & 0xFF, (keyRgb >> 8) & 0xFF, (keyRgb >> 16) & 0xFF);
    QByteArray alpha(qsizetype(image.width()) * image.height(), Qt::Uninitialized);
    char* out = alpha.data();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            QRgb& p = row[x];
            int a = qAlpha(p);
            if (r.colorKey)
                a = (p | 0xFF000000u) == key ? 0 : 255;
            *out++ = char(a);
            p = qRgb(qRed(p) * a / 255, qGreen(p) * a / 255, qBlue(p) * a / 255);
        }
    }
    return alpha;
}

} // namespace

void TzdPDFExport::rasterObject(TzdView* View)
{
    State& s = *d;
    auto* picture = dynamic_cast<TzdPictureView*>(View);
    plat::TGraphic* graphic = graphicOf(picture);
    const long double L = View->GetAbsLeft(), T = View->GetAbsTop(), W = View->Width(), H = View->Height();
    const TzdExtRect real = View->GetRealBounds();
    Raster r;
    r.rw = real.Right - real.Left;
    r.rh = real.Bottom - real.Top;
    r.dx = boundsShift(r.rw, W, L, real.Left, real.Right);
    r.dy = boundsShift(r.rh, H, T, real.Top, real.Bottom);
    const bool drawable = !(picture && (!graphic || graphic->Empty())) && r.rw >= 1 && r.rh >= 1;
    if (drawable) {
        // The frame is drawn as lines afterwards, never into the bitmap.
        TzdFrame* frame = View->Frame();
        const TzdFrameTypes sides = frame->Typ;
        const bool shadow = frame->DropShadow;
        frame->Typ = {};
        frame->DropShadow = false;
        struct RestoreFrame {
            TzdFrame* f;
            TzdFrameTypes sides;
            bool shadow;
            ~RestoreFrame()
            {
                f->Typ = sides;
                f->DropShadow = shadow;
            }
        } restore{frame, sides, shadow};
        paintImage(View, r.rw, r.rh, r.dx, r.dy);
    }
    zdPDFDrawFrameLines(s, View);
}

void TzdPDFExport::paintImage(TzdView* View, long double rw, long double rh, long double dx, long double dy)
{
    State& s = *d;
    auto* picture = dynamic_cast<TzdPictureView*>(View);
    plat::TGraphic* graphic = graphicOf(picture);
    const bool barcode = View->ClassName() == QLatin1String("TzdBarCodeView");
    const long double L = View->GetAbsLeft(), T = View->GetAbsTop();
    Raster r;
    r.rw = rw;
    r.rh = rh;
    if (PrintOptimized || dynamic_cast<TzdCustomMemoView*>(View))
        r.f = isHatch(View->BrushStyle()) ? 1 : 3;
    if (barcode && !PrintOptimized) {
        r.f = 2;
        r.shift = kBarcodeShift;
    }
    const bool ownScale = picture && ((picture->Transparent() && Transparency) || picture->Center);
    if (picture && !ownScale) {
        const int pw = graphic->Width(), ph = graphic->Height();
        r.width = picture->Stretched || rw >= pw ? pw : I(r.f * rw);
        r.height = picture->Stretched || rh >= ph ? ph : I(r.f * rh);
    } else {
        r.width = I(r.f * rw);
        r.height = I(r.f * rh);
    }
    r.alpha = View->Color() == plat::clNone && Transparency;
    if (picture) {
        r.key = picture->TransparentColor;
        r.alpha = picture->Transparent() && Transparency;
        r.colorKey = r.alpha && picture->TransparentColor != plat::clNone;
    } else {
        r.colorKey = r.alpha;
    }
    if (r.width < 1 || r.height < 1)
        return;
    if (qint64(r.width) * r.height > kMaxImagePixels) {
        addMessage(QStringLiteral("%1: the object is too large to be drawn as a picture (%2 x %3 pixels)")
                       .arg(View->Name())
                       .arg(r.width)
                       .arg(r.height));
        return;
    }

    // An opaque start is painted premultiplied: the painter's fast routes
    // work on that format only (others go pixel by pixel through a
    // conversion, in pieces handed to worker threads), and for opaque
    // pixels both formats hold the same bytes. The result is turned back
    // into plain ARGB below, so what follows sees the same image.
    const bool transparentStart = r.alpha && !r.colorKey;
    QImage image(r.width, r.height, transparentStart ? QImage::Format_ARGB32 : QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        addMessage(QStringLiteral("%1: not enough memory to draw the object as a picture").arg(View->Name()));
        return;
    }
    if (transparentStart)
        image.fill(Qt::transparent);
    else {
        const plat::TColor k = plat::ColorToRGB(r.alpha ? r.key : plat::clWhite);
        image.fill(QColor(k & 0xFF, (k >> 8) & 0xFF, (k >> 16) & 0xFF));
    }
    try {
        plat::TCanvas canvas(&image);
        if (picture && !ownScale)
            graphic->Draw(canvas, 0, 0, graphic->Width(), graphic->Height());
        else if (picture && r.alpha && !r.colorKey && !picture->Center)
            // The picture's own alpha: the view would flatten it onto white.
            // The placement below keeps the proportions.
            graphic->Draw(canvas, 0, 0, r.width, r.height);
        else
            View->Draw(&canvas, r.f, r.f, r.shift - I((L - dx) * r.f), -I((T - dy) * r.f));
    } catch (const plat::Exception& e) {
        // What was painted stays; the report learns why the rest is missing.
        addMessage(QStringLiteral("%1: %2").arg(View->Name(), e.message()));
    } catch (const std::exception& e) {
        addMessage(QStringLiteral("%1: %2").arg(View->Name(), QString::fromLocal8Bit(e.what())));
    }

    if (image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_ARGB32);

    int mask = 0;
    QByteArray alpha;
    if (r.alpha)
        alpha = alphaOf(image, r);
    const QByteArray jpeg = jpegOf(image, barcode ? Quality + 5 : Quality);
    // An opaque image is known again by its JPEG bytes themselves (shared,
    // not copied; compared by size first), which costs less than hashing
    // every image; no digest of 16 bytes equals a JPEG stream.
    QByteArray digest;
    if (r.alpha) {
        mask = writeSoftMask(s, alpha, r.width, r.height);
        digest = zd::md5(alpha + jpeg);
    } else {
        digest = jpeg;
    }
    const int index = writeColorImage(s, jpeg, digest, r.width, r.height, mask);
    if (std::find(s.pageImages.begin(), s.pageImages.end(), index) == s.pageImages.end())
        s.pageImages.push_back(index);

    long double w = rw, h = rh;
    if (picture && !picture->Center) {
        const long double pw = graphic->Width(), ph = graphic->Height();
        if (picture->KeepAspectRatio && picture->Stretched) {
            const long double ax = pw != 0 ? rw / pw : 0, ay = ph != 0 ? rh / ph : 0;
            if (ax < ay)
                h = ph * ax;
            else
                w = pw * ay;
        } else if (!picture->Stretched) {
            if (rw > pw)
                w = pw;
            if (rh > ph)
                h = ph;
        }
    }
    s.line("q");
    s.line(zd::pdfNum(w * 0.75L) + " 0 0 " + zd::pdfNum(h * 0.75L) + ' ' + zd::pdfNum(s.X(L - dx)) + ' ' +
           zd::pdfNum(s.Y(T - dy + h)) + " cm");
    s.line("/Im" + QByteArray::number(index) + " Do");
    s.line("Q");
}
