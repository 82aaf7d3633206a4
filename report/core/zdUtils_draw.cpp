// Display scaling, image strips and the bitmap drawing of picture objects.

#include "zdUtils.h"

#include "Canvas.h"
#include "Graphics.h"
#include "Metafile.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include <array>
#include <cmath>

namespace {

constexpr long double kScaleTolerance = 0.0001L;
constexpr long double kReferenceDPI = 96.0L;
constexpr int kLightenBase = 150;

// Greys of the disabled look, indexed by (r + g + b) div 3.
const std::array<uchar, 256>& lightenTable()
{
    static const std::array<uchar, 256> table = [] {
        std::array<uchar, 256> t{};
        for (int average = 0; average < 256; ++average)
            t[average] = static_cast<uchar>(
                std::min(255, static_cast<int>(std::nearbyint(average / 3.0)) + kLightenBase));
        return t;
    }();
    return table;
}

QImage lightened(const QImage& source)
{
    QImage image = source.convertToFormat(source.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const auto& table = lightenTable();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = row[x];
            const int grey = table[(qRed(p) + qGreen(p) + qBlue(p)) / 3];
            row[x] = qRgba(grey, grey, grey, qAlpha(p));
        }
    }
    return image;
}

QRgb keyOf(plat::TColor color)
{
    return plat::ToQColor(color).rgb() & RGB_MASK;
}

// Clears the alpha of every pixel of image where mask has the key colour.
void applyMask(QImage& image, const QImage& mask, QRgb key)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* maskRow = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((maskRow[x] & RGB_MASK) == key)
                row[x] = 0;
    }
}

// One tile of the strip; what lies below the strip takes the filler colour.
QImage cutTile(const QImage& strip, int left, int top, int width, int height, QRgb filler)
{
    QImage tile(width, height, QImage::Format_ARGB32);
    tile.fill(QColor::fromRgb(filler));
    const int rows = std::min(height, strip.height() - top);
    for (int y = 0; y < rows; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(strip.constScanLine(top + y)) + left;
        auto* to = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < width; ++x)
            to[x] = from[x] | ~RGB_MASK; // strips are opaque: a 32-bit file's alpha bytes do not count
    }
    return tile;
}

// Stretch mode set for one drawing and put back afterwards.
class StretchModeScope {
public:
    StretchModeScope(plat::TCanvas& canvas, int mode)
        : m_canvas(canvas)
        , m_saved(canvas.StretchBltMode())
    {
        canvas.SetStretchBltMode(mode);
    }
    ~StretchModeScope() { m_canvas.SetStretchBltMode(m_saved); }
    StretchModeScope(const StretchModeScope&) = delete;
    StretchModeScope& operator=(const StretchModeScope&) = delete;

private:
    plat::TCanvas& m_canvas;
    int m_saved;
};

// The picture drawn at its own size onto a bitmap, over the see-through
// colour when there is one (white otherwise, as a fresh bitmap is).
void renderToBuffer(const plat::TGraphic& graphic, plat::TColor transparentColor, bool printing,
                    plat::TBitmap& buffer)
{
    buffer.SetPixelFormat(printing ? plat::pf32bit : plat::pf24bit);
    buffer.SetSize(graphic.Width(), graphic.Height());
    plat::TCanvas& canvas = buffer.Canvas();
    if (transparentColor != plat::clNone) {
        canvas.Brush().SetColor(transparentColor);
        canvas.FillRect(plat::TRect(0, 0, graphic.Width(), graphic.Height()));
    }
    canvas.Draw(0, 0, graphic);
}

} // namespace

namespace zd {

std::optional<DisplayMode> currentDisplayMode()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return std::nullopt;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    const QRect geometry = screen->geometry();
    const qreal ratio = screen->devicePixelRatio();
    DisplayMode mode;
    mode.screenWidth = geometry.width();
    mode.screenHeight = geometry.height();
    mode.modeWidth = static_cast<int>(std::lround(geometry.width() * ratio));
    mode.modeHeight = static_cast<int>(std::lround(geometry.height() * ratio));
    return mode;
}

void displayScale(int dpiX, int dpiY, const std::optional<DisplayMode>& mode, long double& scaleX,
                  long double& scaleY)
{
    scaleX = dpiX / kReferenceDPI;
    scaleY = dpiY / kReferenceDPI;
    const bool atReference = std::fabs(scaleX - 1) < kScaleTolerance || std::fabs(scaleY - 1) < kScaleTolerance;
    // A mode of zero size tells nothing; dividing by it would not be sound.
    if (atReference && mode && mode->modeWidth > 0 && mode->modeHeight > 0) {
        scaleX = static_cast<long double>(mode->screenWidth) / mode->modeWidth;
        scaleY = static_cast<long double>(mode->screenHeight) / mode->modeHeight;
    }
}

} // namespace zd

void zdGetDisplayScale(plat::TCanvas& dc, bool ignoreDisplayMode, long double& scaleX, long double& scaleY)
{
    zd::displayScale(dc.DeviceDPIX(), dc.DeviceDPIY(),
                     ignoreDisplayMode ? std::nullopt : zd::currentDisplayMode(), scaleX, scaleY);
}

void zdLightenBitmap(plat::TBitmap& bitmap)
{
    if (!bitmap.Empty())
        bitmap.SetImage(lightened(bitmap.Image()));
}

void zdSplitImageStrip(const plat::TBitmap& strip, int width, int height, zd::ImageList* disabledList,
                       zd::ImageList& list)
{
    if (strip.Empty() || width <= 0 || height <= 0)
        return;
    QImage image = strip.Image();
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    const bool fixedKey = strip.TransparentMode() == plat::tmFixed;
    const QRgb filler = keyOf(strip.TransparentColor());
    const int columns = image.width() / width;
    for (int top = 0; top < image.height(); top += height) {
        for (int column = 0; column < columns; ++column) {
            const QImage tile = cutTile(image, column * width, top, width, height, filler);
            // As a bitmap of its own: the fixed colour, else its bottom-left pixel.
            const QRgb key = fixedKey ? filler : tile.pixel(0, height - 1) & RGB_MASK;
            QImage normal = tile;
            applyMask(normal, tile, key);
            list.append(normal);
            if (disabledList) {
                QImage disabled = lightened(tile);
                applyMask(disabled, tile, key);
                disabledList->append(disabled);
            }
        }
    }
}

void zdDrawMaskedBitmap(plat::TCanvas& canvas, int x, int y, const plat::TBitmap* bitmap)
{
    if (!bitmap || bitmap->Empty())
        return;
    canvas.DrawTransparent(plat::Bounds(x, y, bitmap->Width(), bitmap->Height()), bitmap->Image(),
                           bitmap->TransparentColor());
}

void zdDrawBitmapTransparent(plat::TCanvas& canvas, const plat::TRect& rect, const plat::TBitmap& bitmap,
                             bool /*useDIB*/, plat::TColor transparentColor)
{
    if (bitmap.Empty())
        return;
    StretchModeScope mode(canvas, bitmap.Monochrome() ? plat::BLACKONWHITE : plat::HALFTONE);
    canvas.DrawTransparent(rect, bitmap.Image(), transparentColor);
}

void zdPaintGraphic(plat::TCanvas& canvas, const plat::TRect& rect, plat::TGraphic* graphic,
                    plat::TColor transparentColor, bool transparent, bool highQuality, bool printing)
{
    canvas.Brush().SetColor(plat::clWhite);
    if (!graphic || graphic->Empty())
        return;
    const bool isMetafile = dynamic_cast<plat::TMetafile*>(graphic) != nullptr;
    auto* bitmap = dynamic_cast<plat::TBitmap*>(graphic);
    const bool seeThrough = transparent && transparentColor != plat::clNone;

    if (!isMetafile && (printing || (transparent && !bitmap) || highQuality)) {
        if (graphic->Width() <= 0 || graphic->Height() <= 0)
            return;
        plat::TBitmap buffer;
        renderToBuffer(*graphic, transparentColor, printing, buffer);
        if (seeThrough) {
            zdDrawBitmapTransparent(canvas, rect, buffer, printing, transparentColor);
        } else {
            StretchModeScope mode(canvas, plat::HALFTONE);
            canvas.StretchDraw(rect, buffer);
        }
        return;
    }

    if (graphic->Transparent() != transparent)
        graphic->SetTransparent(transparent);
    if (bitmap && transparent)
        zdDrawBitmapTransparent(canvas, rect, *bitmap, false,
                                transparentColor != plat::clNone ? transparentColor : bitmap->TransparentColor());
    else
        canvas.StretchDraw(rect, *graphic);
}
