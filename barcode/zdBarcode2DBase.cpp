// The 2D symbol base: module image, measure, and drawing at four rotations.
#include "zdBarcode2DBase.h"

#include "Canvas.h"
#include "TypeInfo.h"

#include <algorithm>
#include <cmath>

PLAT_DEFINE_CLASS(TzdBarcode2DBase, c) {}

namespace {

constexpr int kDefaultFontSize = 9;
constexpr plat::TColor kDark = plat::clBlack;
constexpr plat::TColor kLight = plat::clWhite;

int roundInt(long double v)
{
    return int(std::nearbyint(v));
}

bool isRightAngle(int rotation)
{
    return rotation == 0 || rotation == 90 || rotation == 180 || rotation == 270;
}

plat::TRect normalized(int x1, int y1, int x2, int y2)
{
    return plat::TRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

} // namespace

// Where the modules go: origin, scales, the symbol's drawn size W x H and
// the text band's height T.
struct TzdBarcode2DBase::Geometry {
    int X = 0;
    int Y = 0;
    long double sx = 1;
    long double sy = 1;
    int W = 0;
    int H = 0;
    int T = 0;
};

TzdBarcode2DBase::TzdBarcode2DBase() : m_font(std::make_unique<plat::TFont>())
{
    m_font->SetName(QStringLiteral("Arial"));
    m_font->SetSize(kDefaultFontSize);
}

TzdBarcode2DBase::~TzdBarcode2DBase() = default;

void TzdBarcode2DBase::SetShowText(bool Value) { m_showText = Value; }
void TzdBarcode2DBase::SetRotation(int Value) { m_rotation = Value; }

void TzdBarcode2DBase::SetText(const QString& Value)
{
    if (Value != m_text)
        m_text = Value;
}

void TzdBarcode2DBase::SetZoom(long double Value) { m_zoom = Value; }
void TzdBarcode2DBase::SetFontScaled(bool Value) { m_fontScaled = Value; }

void TzdBarcode2DBase::SetFont(const plat::TFont* Value)
{
    if (Value)
        m_font->AssignFont(*Value);
}

void TzdBarcode2DBase::SetColor(plat::TColor Value) { m_color = Value; }
void TzdBarcode2DBase::SetColorBar(plat::TColor Value) { m_colorBar = Value; }
void TzdBarcode2DBase::SetErrorText(const QString& Value) { m_errorText = Value; }

int TzdBarcode2DBase::GetWidth()
{
    return m_columns * m_pixelWidth + 2 * m_quietZone;
}

int TzdBarcode2DBase::GetHeight()
{
    return m_rows * m_pixelHeight + 2 * m_quietZone + (m_showText ? GetTextHeight() : 0);
}

void TzdBarcode2DBase::Assign(TzdBarcode2DBase* Source)
{
    if (!Source || Source == this)
        return;
    m_showText = Source->m_showText;
    m_rotation = Source->m_rotation;
    m_text = Source->m_text;
    m_zoom = Source->m_zoom;
    m_pixelWidth = Source->m_pixelWidth;
    m_pixelHeight = Source->m_pixelHeight;
    m_fontScaled = Source->m_fontScaled;
    m_font->AssignFont(*Source->m_font);
    m_color = Source->m_color;
    m_colorBar = Source->m_colorBar;
    m_errorText = Source->m_errorText;
    m_quietZone = Source->m_quietZone;
}

int TzdBarcode2DBase::GetTextHeight()
{
    const int h = std::abs(m_font->Height());
    return h + h / 4;
}

bool TzdBarcode2DBase::IsDark(int row, int column) const
{
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return false;
    const std::size_t at = std::size_t(row) * std::size_t(BytesPerRow()) + std::size_t(column / 8);
    return at < m_image.size() && (m_image[at] & (0x80 >> (column % 8))) != 0;
}

void TzdBarcode2DBase::resetImage(int rows, int columns)
{
    m_rows = std::max(rows, 0);
    m_columns = std::max(columns, 0);
    m_image.assign(std::size_t(m_rows) * std::size_t(BytesPerRow()), 0);
}

void TzdBarcode2DBase::setModule(int row, int column, bool dark)
{
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return;
    std::uint8_t& b = m_image[std::size_t(row) * std::size_t(BytesPerRow()) + std::size_t(column / 8)];
    const std::uint8_t bit = std::uint8_t(0x80 >> (column % 8));
    b = dark ? std::uint8_t(b | bit) : std::uint8_t(b & ~bit);
}

// Writes the human-readable line in its band and returns the band's height.
int TzdBarcode2DBase::drawTextLine(plat::TCanvas& canvas, const Geometry& g, long double scaleY)
{
    plat::TFont& font = canvas.Font();
    font.AssignFont(*m_font);
    const long double f = canvas.IsPrinterCanvas() ? 1.0L : scaleY;
    long double p = std::nearbyint(static_cast<long double>(m_font->Size()) * canvas.DeviceDPIY() / 72.0L);
    if (m_fontScaled)
        p *= m_zoom;
    // The canvas resolution first, so that the height below is kept as given.
    font.SetPixelsPerInch(canvas.DeviceDPIY());
    font.SetOrientation(m_rotation * 10);
    font.SetHeight(-roundInt(f * p));

    canvas.Brush().SetColor(m_color);
    canvas.SetBkMode(plat::TRANSPARENT);
    canvas.SetBkColor(m_color);
    const int tw = canvas.TextWidth(m_text) / 2;
    const int h = std::abs(font.Height());
    const int T = h + h / 4;
    const int c = std::max(0, g.W / 2 - tw);
    const int X = g.X, Y = g.Y, W = g.W, H = g.H;
    plat::TRect band;
    plat::TPoint at;
    switch (m_rotation) {
    case 0:
        band = plat::TRect(X, Y + H, X + W, Y + H + T);
        at = {X + c, Y + H};
        break;
    case 90:
        band = plat::TRect(X + H, Y, X + H + T, Y + W);
        at = {X + H, Y + W - c};
        break;
    case 180:
        band = plat::TRect(X, Y, X + W, Y + T);
        at = {X + W - c, Y + T};
        break;
    default: // 270
        band = plat::TRect(X, Y, X + T, Y + W);
        at = {X + T, Y + c};
        break;
    }
    canvas.ExtTextOut(at.X, at.Y, plat::ETO_CLIPPED | plat::ETO_OPAQUE, &band, m_text);
    // The rotated font is gone after the line; the canvas keeps Font.
    font.AssignFont(*m_font);
    return T;
}

// Fills every module, merging runs of one colour along a row (the same
// pixels as module by module, since neighbours share their rounded edge).
void TzdBarcode2DBase::drawModules(plat::TCanvas& canvas, const Geometry& g, int shiftX, int shiftY)
{
    const long double pw = m_pixelWidth, ph = m_pixelHeight;
    const long double X = g.X, Y = g.Y, W = g.W, H = g.H, T = g.T;
    canvas.Brush().SetStyle(plat::bsSolid);
    for (int j = 0; j < m_rows; ++j) {
        for (int i = 0; i < m_columns;) {
            const bool dark = IsDark(j, i);
            int k = i + 1;
            while (k < m_columns && IsDark(j, k) == dark)
                ++k;
            long double x1, y1, x2, y2;
            switch (m_rotation) {
            case 0:
                x1 = X + pw * i * g.sx, x2 = X + pw * k * g.sx;
                y1 = Y + ph * j * g.sy, y2 = Y + ph * (j + 1) * g.sy;
                break;
            case 90:
                x1 = X + ph * j * g.sx, x2 = X + ph * (j + 1) * g.sx;
                y1 = Y + W - pw * i * g.sy, y2 = Y + W - pw * k * g.sy;
                break;
            case 180:
                x1 = X + W - pw * i * g.sx, x2 = X + W - pw * k * g.sx;
                y1 = Y + T + H - ph * j * g.sy, y2 = Y + T + H - ph * (j + 1) * g.sy;
                break;
            default: // 270
                x1 = X + T + H - ph * j * g.sx, x2 = X + T + H - ph * (j + 1) * g.sx;
                y1 = Y + pw * i * g.sy, y2 = Y + pw * k * g.sy;
                break;
            }
            canvas.Brush().SetColor(dark ? kDark : kLight);
            plat::TRect r = normalized(roundInt(x1), roundInt(y1), roundInt(x2), roundInt(y2));
            r = plat::TRect(r.Left + shiftX, r.Top + shiftY, r.Right + shiftX, r.Bottom + shiftY);
            canvas.FillRect(r);
            i = k;
        }
    }
}

// Below scale 1 the modules are drawn at scale 1 and shrunk as one picture,
// so that no module vanishes in rounding.
void TzdBarcode2DBase::drawThroughBitmap(plat::TCanvas& canvas, int X, int Y, long double sx, long double sy, int qx,
                                         int qy, int T)
{
    const bool turned = m_rotation == 90 || m_rotation == 270;
    const int w1 = m_columns * m_pixelWidth, h1 = m_rows * m_pixelHeight;
    if (w1 <= 0 || h1 <= 0)
        return;
    plat::TBitmap bitmap(turned ? h1 : w1, turned ? w1 : h1);
    Geometry g;
    g.W = w1;
    g.H = h1;
    drawModules(bitmap.Canvas(), g, 0, 0);
    const int left = X + qx + (m_rotation == 270 ? T : 0);
    const int top = Y + qy + (m_rotation == 180 ? T : 0);
    const int w = roundInt(w1 * sx), h = roundInt(h1 * sy);
    canvas.StretchDraw(turned ? plat::Bounds(left, top, roundInt(h1 * sy), roundInt(w1 * sx)) : plat::Bounds(left, top, w, h),
                       bitmap);
}

void TzdBarcode2DBase::Draw(plat::TCanvas& Canvas, int X, long double ScaleX, long double ScaleY, int Y)
{
    // Any other angle has no band and modules of no size: nothing shows.
    if (!isRightAngle(m_rotation))
        return;
    Geometry g;
    g.X = X;
    g.Y = Y;
    g.sx = ScaleX * m_zoom;
    g.sy = ScaleY * m_zoom;
    g.W = roundInt(m_columns * m_pixelWidth * g.sx);
    g.H = roundInt(m_rows * m_pixelHeight * g.sy);
    const int qx = roundInt(m_quietZone * g.sx), qy = roundInt(m_quietZone * g.sy);
    if (m_showText) {
        Geometry shifted = g;
        shifted.X += qx;
        shifted.Y += qy;
        g.T = drawTextLine(Canvas, shifted, ScaleY);
    }
    if (g.sx < 1 || g.sy < 1) {
        drawThroughBitmap(Canvas, X, Y, g.sx, g.sy, qx, qy, g.T);
        return;
    }
    drawModules(Canvas, g, qx, qy);
}
