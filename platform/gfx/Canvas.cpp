#include "Canvas.h"

#include "Exceptions.h"
#include "FontEngine.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QRawFont>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

namespace plat {

namespace {

constexpr int kHatchSize = 8;

// Dash lengths of the cosmetic pen styles (pixels on, off, ...).
const std::vector<int>& dashPattern(TPenStyle style)
{
    static const std::vector<int> none;
    static const std::vector<int> dash = {18, 6};
    static const std::vector<int> dot = {3, 3};
    static const std::vector<int> dashDot = {9, 6, 3, 6};
    static const std::vector<int> dashDotDot = {9, 3, 3, 3, 3, 3};
    switch (style) {
    case psDash: return dash;
    case psDot: return dot;
    case psDashDot: return dashDot;
    case psDashDotDot: return dashDotDot;
    default: return none;
    }
}

bool hatchBit(TBrushStyle style, int x, int y)
{
    const int hx = x & (kHatchSize - 1), hy = y & (kHatchSize - 1);
    switch (style) {
    case bsHorizontal: return hy == 0;
    case bsVertical: return hx == 0;
    case bsFDiagonal: return ((hx - hy) & (kHatchSize - 1)) == 0;
    case bsBDiagonal: return ((hx + hy) & (kHatchSize - 1)) == kHatchSize - 1;
    case bsCross: return hx == 0 || hy == 0;
    case bsDiagCross: return ((hx - hy) & (kHatchSize - 1)) == 0 || ((hx + hy) & (kHatchSize - 1)) == kHatchSize - 1;
    default: return false;
    }
}

QPainter::CompositionMode penComposition(TPenMode mode)
{
    switch (mode) {
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotMask: return QPainter::RasterOp_NotSourceAndDestination; // nearest available
    case pmNotMerge: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case pmMergePenNot: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

QPainter::CompositionMode copyComposition(TCopyMode mode)
{
    switch (mode) {
    case cmSrcPaint: return QPainter::RasterOp_SourceOrDestination;
    case cmSrcAnd: return QPainter::RasterOp_SourceAndDestination;
    case cmSrcInvert: return QPainter::RasterOp_SourceXorDestination;
    case cmMergePaint: return QPainter::RasterOp_NotSourceOrDestination;
    case cmDstInvert: return QPainter::RasterOp_NotDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

TRect normalized(int x1, int y1, int x2, int y2)
{
    return TRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

} // namespace

struct TCanvas::SavedState {
    TFont font;
    TPen pen;
    TBrush brush;
    TPoint penPos;
    TCopyMode copyMode;
    int bkMode;
    TColor bkColor;
    unsigned textAlign;
    int charExtra;
    TFillMode fillMode;
    int stretchMode;
    bool hasClip;
    QRegion clip;
};

TCanvas::TCanvas()
{
    m_font.SetOwnerListener([this](TGraphicsObject*) { fontChanged(); });
    m_brush.SetOwnerListener([this](TGraphicsObject*) { brushChanged(); });
}

TCanvas::TCanvas(QImage* image) : TCanvas() { m_image = image; }

TCanvas::~TCanvas()
{
    if (m_own && m_own->isActive())
        m_own->end();
}

void TCanvas::SetImage(QImage* image)
{
    ReleaseDevice();
    m_image = image;
    m_device = nullptr;
    m_borrowed = nullptr;
}

void TCanvas::SetDevice(QPaintDevice* device)
{
    ReleaseDevice();
    m_image = nullptr;
    m_device = device;
    m_borrowed = nullptr;
}

void TCanvas::SetPainter(QPainter* painter)
{
    ReleaseDevice();
    m_image = nullptr;
    m_device = nullptr;
    m_borrowed = painter;
    if (m_borrowed) {
        m_borrowed->setRenderHint(QPainter::Antialiasing, false);
        if (m_hasClip)
            m_borrowed->setClipRegion(m_clip);
    }
}

void TCanvas::ReleaseDevice()
{
    if (m_own && m_own->isActive())
        m_own->end();
}

bool TCanvas::HandleAllocated() const
{
    return m_borrowed || (m_own && m_own->isActive());
}

QPaintDevice* TCanvas::Device() const
{
    if (m_borrowed)
        return m_borrowed->device();
    if (m_image)
        return m_image;
    return m_device;
}

int TCanvas::DeviceDPIX() const
{
    if (m_dpiX > 0)
        return m_dpiX;
    if (m_image && !m_image->isNull())
        return std::max(1, int(std::lround(m_image->dotsPerMeterX() * 0.0254)));
    if (QPaintDevice* d = Device())
        return d->logicalDpiX();
    return 96;
}

int TCanvas::DeviceDPIY() const
{
    if (m_dpiY > 0)
        return m_dpiY;
    if (m_image && !m_image->isNull())
        return std::max(1, int(std::lround(m_image->dotsPerMeterY() * 0.0254)));
    if (QPaintDevice* d = Device())
        return d->logicalDpiY();
    return 96;
}

void TCanvas::SetDeviceDPI(int x, int y)
{
    m_dpiX = x;
    m_dpiY = y;
}

QPainter& TCanvas::painter()
{
    if (m_borrowed)
        return *m_borrowed;
    if (!m_own)
        m_own = std::make_unique<QPainter>();
    if (!m_own->isActive()) {
        QPaintDevice* dev = m_image ? static_cast<QPaintDevice*>(m_image) : m_device;
        if (!dev || (m_image && m_image->isNull()) || !m_own->begin(dev))
            throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
        m_own->setRenderHint(QPainter::Antialiasing, false);
        if (m_hasClip)
            m_own->setClipRegion(m_clip);
    }
    return *m_own;
}

void TCanvas::fontChanged() { m_face = nullptr; }

void TCanvas::brushChanged()
{
    if (m_brush.Style() == bsSolid) {
        m_bkMode = OPAQUE;
        m_bkColor = m_brush.Color();
    } else {
        m_bkMode = TRANSPARENT;
    }
}

bool TCanvas::brushVisible() const { return m_brush.Style() != bsClear && m_brush.Color() != clNone; }
bool TCanvas::penVisible() const { return m_pen.Style() != psClear && m_pen.Color() != clNone && m_pen.Mode() != pmNop; }
bool TCanvas::bkOpaque() const { return m_bkMode == OPAQUE && m_bkColor != clNone; }

void TCanvas::applyBrush(QPainter& p)
{
    if (!brushVisible()) {
        p.setBrush(Qt::NoBrush);
        return;
    }
    const QColor color = ToQColor(m_brush.Color());
    if (m_brush.Style() == bsSolid) {
        p.setBrush(color);
        return;
    }
    QImage tile(kHatchSize, kHatchSize, QImage::Format_ARGB32);
    const QRgb bk = bkOpaque() ? ToQColor(m_bkColor).rgba() : qRgba(0, 0, 0, 0);
    for (int y = 0; y < kHatchSize; ++y)
        for (int x = 0; x < kHatchSize; ++x)
            tile.setPixel(x, y, hatchBit(m_brush.Style(), x, y) ? color.rgba() : bk);
    QBrush brush(tile);
    p.setBrush(brush);
    p.setBrushOrigin(0, 0);
}

void TCanvas::applyPen(QPainter& p)
{
    if (!penVisible()) {
        p.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQColor(m_pen.Color()));
    const int w = std::max(1, m_pen.Width());
    pen.setWidth(w);
    pen.setJoinStyle(m_pen.Geometric() ? Qt::MiterJoin : Qt::RoundJoin);
    switch (m_pen.EndCap()) {
    case pecRound: pen.setCapStyle(m_pen.Geometric() || w > 1 ? Qt::RoundCap : Qt::FlatCap); break;
    case pecSquare: pen.setCapStyle(Qt::SquareCap); break;
    case pecFlat: pen.setCapStyle(Qt::FlatCap); break;
    }
    if (w == 1)
        pen.setCapStyle(Qt::FlatCap);
    QList<qreal> dashes;
    if (!m_pen.UserDash().empty()) {
        for (int v : m_pen.UserDash())
            dashes << std::max<qreal>(v, 0.0001) / w;
    } else if (w <= 1) {
        for (int v : dashPattern(m_pen.Style()))
            dashes << v;
    }
    if (!dashes.isEmpty()) {
        if (dashes.size() % 2)
            dashes << dashes.back();
        pen.setDashPattern(dashes);
    }
    p.setPen(pen);
    p.setBackgroundMode(bkOpaque() ? Qt::OpaqueMode : Qt::TransparentMode);
    p.setBackground(ToQColor(m_bkColor));
    p.setCompositionMode(penComposition(m_pen.Mode()));
}

// ---------------------------------------------------------------- lines

void TCanvas::cosmeticLine(QPainter& p, TPoint a, TPoint b)
{
    // One pixel per step along the major axis from a towards b; b itself is
    // not drawn. The minor coordinate is the rounded exact one, so a line
    // clipped to the device gives the same pixels as the whole line, and a
    // line millions of pixels long costs only what is visible.
    const long long dx = std::llabs(qint64(b.X) - a.X), dy = std::llabs(qint64(b.Y) - a.Y);
    const long long steps = std::max(dx, dy);
    const int phase0 = m_dashPhase;
    m_dashPhase = int((phase0 + steps) % 0x40000000);
    if (steps == 0)
        return;
    const bool xMajor = dx >= dy;
    const int sMaj = xMajor ? (b.X > a.X ? 1 : -1) : (b.Y > a.Y ? 1 : -1);
    const int sMin = xMajor ? (b.Y > a.Y ? 1 : -1) : (b.X > a.X ? 1 : -1);
    const long long dMin = xMajor ? dy : dx;
    const long long aMaj = xMajor ? a.X : a.Y, aMin = xMajor ? a.Y : a.X;
    QRect area(0, 0, 0, 0);
    if (QPaintDevice* dev = Device())
        area = QRect(0, 0, dev->width(), dev->height());
    if (m_borrowed && m_borrowed->transform().isScaling())
        area = m_borrowed->transform().inverted().mapRect(area);
    if (m_hasClip)
        area &= m_clip.boundingRect();
    if (area.isEmpty())
        return;
    const long long lo = xMajor ? area.left() : area.top(), hi = xMajor ? area.right() : area.bottom();
    long long iFrom = 0, iTo = steps - 1;
    if (sMaj > 0) {
        iFrom = std::max(iFrom, lo - aMaj);
        iTo = std::min(iTo, hi - aMaj);
    } else {
        iFrom = std::max(iFrom, aMaj - hi);
        iTo = std::min(iTo, aMaj - lo);
    }
    if (iFrom > iTo)
        return;
    const auto& pattern = dashPattern(m_pen.Style());
    int period = 0;
    for (int v : pattern)
        period += v;
    QPolygon on, off;
    on.reserve(int(std::min<long long>(iTo - iFrom + 1, 1 << 20)));
    for (long long i = iFrom; i <= iTo; ++i) {
        const long long major = aMaj + i * sMaj;
        const long long minor = aMin + sMin * ((2 * i * dMin + steps) / (2 * steps));
        bool lit = true;
        if (period > 0) {
            int pos = int((phase0 + i) % period);
            for (size_t k = 0; k < pattern.size(); ++k) {
                if (pos < pattern[k]) {
                    lit = (k % 2) == 0;
                    break;
                }
                pos -= pattern[k];
            }
        }
        const QPoint pt = xMajor ? QPoint(int(major), int(minor)) : QPoint(int(minor), int(major));
        (lit ? on : off) << pt;
    }
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setCompositionMode(penComposition(m_pen.Mode()));
    QPen pen(ToQColor(m_pen.Color()), 1);
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    if (!on.isEmpty())
        p.drawPoints(on);
    if (!off.isEmpty() && bkOpaque()) {
        pen.setColor(ToQColor(m_bkColor));
        p.setPen(pen);
        p.drawPoints(off);
    }
    p.restore();
}

void TCanvas::MoveTo(int x, int y)
{
    m_penPos = {x, y};
    m_dashPhase = 0;
}

bool TCanvas::axisAlignedWideLine(QPainter& p, TPoint a, TPoint b)
{
    const bool vertical = a.X == b.X;
    if (!vertical && a.Y != b.Y)
        return false;
    const std::vector<int>& dash = m_pen.UserDash();
    const TPenEndCap cap = m_pen.EndCap();
    // Round-capped solid lines keep their rounded ends from the painter.
    if (dash.empty() && cap == pecRound && (m_pen.Geometric() || m_pen.Width() > 1))
        return false;
    const int w = std::max(1, m_pen.Width());
    const int lo = w / 2;
    // The pen is a w x w square placed lo before the line's coordinate.
    const int minor = (vertical ? a.X : a.Y) - lo;
    const long long start = vertical ? a.Y : a.X;
    const long long end = vertical ? b.Y : b.X;
    const int dir = end >= start ? 1 : -1;
    const long long length = std::llabs(end - start);

    QRegion area;
    auto addMajor = [&](long long from, long long to) { // [from, to) in major units, normalised
        if (to <= from)
            return;
        const int f = int(std::clamp<long long>(from, INT_MIN / 2, INT_MAX / 2));
        const int t = int(std::clamp<long long>(to, INT_MIN / 2, INT_MAX / 2));
        area += vertical ? QRect(minor, f, w, t - f) : QRect(f, minor, t - f, w);
    };
    auto addRun = [&](long long offA, long long offB) { // a dash from offA to offB along the line
        const long long p0 = start + dir * offA, p1 = start + dir * offB;
        const long long from = std::min(p0, p1), to = std::max(p0, p1);
        switch (cap) {
        case pecFlat:
            addMajor(from, to);
            break;
        case pecSquare:
            addMajor(from - lo, to - lo + w);
            break;
        case pecRound: {
            addMajor(from, to);
            for (long long c : {from, to}) {
                const int cc = int(std::clamp<long long>(c, INT_MIN / 2, INT_MAX / 2)) - lo;
                area += vertical ? EllipseRegion(TRect(minor, cc, minor + w, cc + w))
                                 : EllipseRegion(TRect(cc, minor, cc + w, minor + w));
            }
            break;
        }
        }
    };
    std::vector<int> pattern;
    for (int v : dash)
        pattern.push_back(std::max(0, v));
    if (pattern.size() % 2)
        pattern.push_back(pattern.back()); // an odd pattern repeats its last value as a gap
    long long period = 0;
    for (int v : pattern)
        period += v;
    if (period == 0) {
        addRun(0, length);
    } else {
        // Only the dashes that can reach the visible part are made, so a
        // dashed line millions of pixels long costs what is visible.
        QRect visible(0, 0, 0, 0);
        if (QPaintDevice* dev = Device())
            visible = QRect(0, 0, dev->width(), dev->height());
        if (m_borrowed && m_borrowed->transform().isScaling())
            visible = m_borrowed->transform().inverted().mapRect(visible);
        if (m_hasClip)
            visible &= m_clip.boundingRect();
        const long long vLo = vertical ? visible.top() : visible.left();
        const long long vHi = vertical ? visible.bottom() : visible.right();
        const long long offLo = std::max(0LL, std::min(dir * (vLo - start), dir * (vHi - start)) - w - 1);
        const long long offHi = std::min(length, std::max(dir * (vLo - start), dir * (vHi - start)) + w + 1);
        for (long long base = offLo - offLo % period; base <= offHi; base += period) {
            long long pos = base;
            for (size_t k = 0; k < pattern.size(); ++k) {
                if (k % 2 == 0 && (pos < length || (length == 0 && pos == 0)))
                    addRun(pos, std::min(pos + pattern[k], length));
                pos += pattern[k];
            }
        }
    }
    if (m_hasClip)
        area &= m_clip;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(ToQColor(m_pen.Color()));
    p.setCompositionMode(penComposition(m_pen.Mode()));
    for (const QRect& r : area)
        p.drawRect(r);
    p.restore();
    return true;
}

void TCanvas::LineTo(int x, int y)
{
    const TPoint from = m_penPos;
    m_penPos = {x, y};
    if (!penVisible())
        return;
    QPainter& p = painter();
    if (m_pen.Width() <= 1 && !m_pen.Geometric()) {
        cosmeticLine(p, from, {x, y});
        return;
    }
    if (axisAlignedWideLine(p, from, {x, y}))
        return;
    p.save();
    applyPen(p);
    p.drawLine(QPoint(from.X, from.Y), QPoint(x, y));
    p.restore();
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.size() < 2)
        return;
    const TPoint saved = m_penPos;
    if (m_pen.Width() <= 1 && !m_pen.Geometric()) {
        MoveTo(points[0].X, points[0].Y);
        for (size_t i = 1; i < points.size(); ++i)
            TCanvas::LineTo(points[i].X, points[i].Y);
    } else if (penVisible()) {
        QPainter& p = painter();
        p.save();
        applyPen(p);
        QPolygon poly;
        for (const auto& pt : points)
            poly << QPoint(pt.X, pt.Y);
        p.drawPolyline(poly);
        p.restore();
    }
    m_penPos = saved; // Polyline leaves the pen position alone
}

// ---------------------------------------------------------------- areas

namespace {

// An opaque colour over whole pixels of a 32-bit image replaces them, cut
// to the image: the painter's rectangle fill, written straight into the
// image (a barcode is a hundred such fills, where the painter's own way
// through its span machinery costs more than the pixels).
bool fillOpaqueRect(QPainter& p, const TRect& r, const QColor& color)
{
    if (color.alpha() != 255 || p.viewTransformEnabled() || !p.device() || p.device()->devType() != QInternal::Image)
        return false;
    auto* image = static_cast<QImage*>(p.device());
    const QImage::Format format = image->format();
    if ((format != QImage::Format_ARGB32_Premultiplied && format != QImage::Format_RGB32
         && format != QImage::Format_ARGB32)
        || !image->isDetached() || image->devicePixelRatio() != 1.0)
        return false;
    const int left = std::max(r.Left, 0), right = std::min(r.Right, image->width());
    const int top = std::max(r.Top, 0), bottom = std::min(r.Bottom, image->height());
    if (left >= right || top >= bottom)
        return true;
    const QRgb value = color.rgba();
    const qsizetype stride = image->bytesPerLine();
    uchar* row = image->bits() + top * stride + left * qsizetype(sizeof(QRgb));
    const int width = right - left;
    // Bars are a few pixels wide and many rows tall: narrow rows are stored
    // one by one, without a general fill's set-up for each row.
    switch (width) {
    case 1:
        for (int y = top; y < bottom; ++y, row += stride)
            reinterpret_cast<QRgb*>(row)[0] = value;
        break;
    case 2:
        for (int y = top; y < bottom; ++y, row += stride) {
            auto* p = reinterpret_cast<QRgb*>(row);
            p[0] = p[1] = value;
        }
        break;
    case 3:
        for (int y = top; y < bottom; ++y, row += stride) {
            auto* p = reinterpret_cast<QRgb*>(row);
            p[0] = p[1] = p[2] = value;
        }
        break;
    case 4:
        for (int y = top; y < bottom; ++y, row += stride) {
            auto* p = reinterpret_cast<QRgb*>(row);
            p[0] = p[1] = p[2] = p[3] = value;
        }
        break;
    default:
        for (int y = top; y < bottom; ++y, row += stride)
            std::fill_n(reinterpret_cast<QRgb*>(row), width, value);
    }
    return true;
}

} // namespace

void TCanvas::FillRect(const TRect& r)
{
    if (r.IsEmpty() || !brushVisible())
        return;
    QPainter& p = painter();
    // A solid fill on an unclipped image in the painter's usual state: the
    // painter's own rectangle fill gives the same whole pixels, without
    // saving and restoring its state for every bar of a barcode. (Under a
    // clip region that is not one rectangle that fill ignores the clip.)
    if (m_image && !m_hasClip && !p.hasClipping() && m_brush.Style() == bsSolid
        && p.compositionMode() == QPainter::CompositionMode_SourceOver
        && p.opacity() == 1.0 && p.transform().type() == QTransform::TxNone) {
        const QColor color = ToQColor(m_brush.Color());
        if (!fillOpaqueRect(p, r, color))
            p.fillRect(r.toQRect(), color);
        return;
    }
    p.save();
    p.setPen(Qt::NoPen);
    applyBrush(p);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawRect(r.toQRect());
    p.restore();
}

void TCanvas::FrameRect(const TRect& r)
{
    // One-pixel frame in the brush colour (the platform's FrameRect).
    if (r.IsEmpty() || !brushVisible())
        return;
    QPainter& p = painter();
    p.save();
    p.setPen(Qt::NoPen);
    applyBrush(p);
    p.drawRect(QRect(r.Left, r.Top, r.Width(), 1));
    p.drawRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1));
    p.drawRect(QRect(r.Left, r.Top, 1, r.Height()));
    p.drawRect(QRect(r.Right - 1, r.Top, 1, r.Height()));
    p.restore();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    const TRect r = normalized(x1, y1, x2, y2);
    if (r.IsEmpty())
        return;
    QPainter& p = painter();
    if (!penVisible()) {
        // Without a pen the platform fills one pixel less on the right and bottom.
        if (brushVisible() && r.Width() > 1 && r.Height() > 1) {
            TRect inner(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
            FillRect(inner);
        }
        return;
    }
    const int w = std::max(1, m_pen.Width());
    if (w == 1 && !m_pen.Geometric()) {
        if (brushVisible() && r.Width() > 2 && r.Height() > 2)
            FillRect(TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1));
        const TPoint saved = m_penPos;
        m_dashPhase = 0;
        const std::array<TPoint, 5> corners = {TPoint{r.Left, r.Top}, TPoint{r.Right - 1, r.Top},
                                               TPoint{r.Right - 1, r.Bottom - 1}, TPoint{r.Left, r.Bottom - 1},
                                               TPoint{r.Left, r.Top}};
        if (r.Width() == 1 || r.Height() == 1) {
            cosmeticLine(p, corners[0], {r.Right - (r.Height() == 1 ? 0 : 1), r.Bottom - (r.Width() == 1 ? 0 : 1)});
        } else {
            for (int i = 0; i < 4; ++i)
                cosmeticLine(p, corners[size_t(i)], corners[size_t(i) + 1]);
        }
        m_penPos = saved;
        return;
    }
    // Wide pen: centred on the outline, or inside it for psInsideFrame.
    QRectF path(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1);
    if (m_pen.Style() == psInsideFrame)
        path.adjust(w / 2.0 - 0.5, w / 2.0 - 0.5, -(w / 2.0 - 0.5), -(w / 2.0 - 0.5));
    if (brushVisible())
        FillRect(r);
    p.save();
    applyPen(p);
    QPen pen = p.pen();
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(path);
    p.restore();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    const TRect r = normalized(x1, y1, x2, y2);
    if (r.IsEmpty())
        return;
    QPainter& p = painter();
    p.save();
    applyPen(p);
    applyBrush(p);
    const QRectF rf(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
    p.drawRoundedRect(rf, std::abs(x3) / 2.0, std::abs(y3) / 2.0);
    p.restore();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    const TRect r = normalized(x1, y1, x2, y2);
    if (r.IsEmpty())
        return;
    QPainter& p = painter();
    p.save();
    applyPen(p);
    applyBrush(p);
    if (!penVisible() && brushVisible()) {
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
    } else {
        p.drawEllipse(QRectF(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
    }
    p.restore();
}

static void arcAngles(const TRect& r, int x3, int y3, int x4, int y4, double& start, double& span)
{
    const double cx = (r.Left + r.Right) / 2.0, cy = (r.Top + r.Bottom) / 2.0;
    // Qt angles are counter-clockwise with y up, as the platform's arcs.
    const double a1 = std::atan2(-(y3 - cy), x3 - cx) * 180.0 / M_PI;
    const double a2 = std::atan2(-(y4 - cy), x4 - cx) * 180.0 / M_PI;
    start = a1;
    span = a2 - a1;
    if (span <= 0)
        span += 360.0;
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const TRect r = normalized(x1, y1, x2, y2);
    if (r.IsEmpty() || !penVisible())
        return;
    double start = 0, span = 0;
    arcAngles(r, x3, y3, x4, y4, start, span);
    QPainter& p = painter();
    p.save();
    applyPen(p);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(r.Left, r.Top, r.Width() - 1, r.Height() - 1), int(std::lround(start * 16)),
              int(std::lround(span * 16)));
    p.restore();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    const TRect r = normalized(x1, y1, x2, y2);
    if (r.IsEmpty())
        return;
    double start = 0, span = 0;
    arcAngles(r, x3, y3, x4, y4, start, span);
    QPainter& p = painter();
    p.save();
    applyPen(p);
    applyBrush(p);
    p.drawPie(QRectF(r.Left, r.Top, r.Width() - 1, r.Height() - 1), int(std::lround(start * 16)),
              int(std::lround(span * 16)));
    p.restore();
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    if (points.size() < 2)
        return;
    QPolygon poly;
    for (const auto& pt : points)
        poly << QPoint(pt.X, pt.Y);
    QPainter& p = painter();
    const Qt::FillRule rule = m_fillMode == fmWinding ? Qt::WindingFill : Qt::OddEvenFill;
    if (brushVisible()) {
        p.save();
        p.setPen(Qt::NoPen);
        applyBrush(p);
        p.drawPolygon(poly, rule);
        p.restore();
    }
    if (!penVisible())
        return;
    if (m_pen.Width() <= 1 && !m_pen.Geometric()) {
        const TPoint saved = m_penPos;
        m_dashPhase = 0;
        for (size_t i = 0; i < points.size(); ++i)
            cosmeticLine(p, points[i], points[(i + 1) % points.size()]);
        m_penPos = saved;
        return;
    }
    p.save();
    applyPen(p);
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(poly, rule);
    p.restore();
}

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style)
{
    if (!m_image || m_image->isNull() || !m_image->rect().contains(x, y) || !brushVisible())
        return;
    const QImage& img = *m_image;
    const QRgb target = ToQColor(color).rgb() & 0xFFFFFF;
    const int w = img.width(), h = img.height();
    auto matches = [&](int px, int py) {
        const QRgb c = img.pixel(px, py) & 0xFFFFFF;
        return style == fsSurface ? c == target : c != target;
    };
    if (!matches(x, y))
        return;
    std::vector<quint8> seen(size_t(w) * size_t(h), 0);
    std::vector<QRect> spans;
    std::vector<QPoint> stack{{x, y}};
    while (!stack.empty()) {
        QPoint pt = stack.back();
        stack.pop_back();
        int lx = pt.x(), rx = pt.x();
        const int py = pt.y();
        if (seen[size_t(py) * size_t(w) + size_t(lx)] || !matches(lx, py))
            continue;
        while (lx > 0 && !seen[size_t(py) * size_t(w) + size_t(lx - 1)] && matches(lx - 1, py))
            --lx;
        while (rx < w - 1 && !seen[size_t(py) * size_t(w) + size_t(rx + 1)] && matches(rx + 1, py))
            ++rx;
        for (int i = lx; i <= rx; ++i)
            seen[size_t(py) * size_t(w) + size_t(i)] = 1;
        spans.emplace_back(lx, py, rx - lx + 1, 1);
        for (int ny : {py - 1, py + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            for (int i = lx; i <= rx; ++i)
                if (!seen[size_t(ny) * size_t(w) + size_t(i)] && matches(i, ny))
                    stack.emplace_back(i, ny);
        }
    }
    QPainter& p = painter();
    p.save();
    p.setPen(Qt::NoPen);
    applyBrush(p);
    for (const QRect& s : spans)
        p.drawRect(s);
    p.restore();
}

// ---------------------------------------------------------------- pictures

void TCanvas::Draw(int x, int y, const TGraphic& graphic)
{
    if (!graphic.Empty())
        graphic.Draw(*this, x, y, x + graphic.Width(), y + graphic.Height());
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic& graphic)
{
    if (!graphic.Empty())
        graphic.Draw(*this, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TCanvas::DrawImage(const TRect& dest, const QImage& image, const TRect& src)
{
    if (image.isNull() || dest.Width() == 0 || dest.Height() == 0)
        return;
    QPainter& p = painter();
    p.save();
    p.setCompositionMode(copyComposition(m_copyMode));
    p.setRenderHint(QPainter::SmoothPixmapTransform, m_stretchMode == HALFTONE);
    QRect d = dest.toQRect();
    // A negative width or height mirrors the picture, as a stretch blit does.
    QImage source = image;
    if (d.width() < 0 || d.height() < 0) {
        source = image.copy(src.toQRect()).mirrored(d.width() < 0, d.height() < 0);
        d = d.normalized();
        p.drawImage(d, source);
    } else if (m_copyMode == cmBlackness || m_copyMode == cmWhiteness) {
        p.fillRect(d, m_copyMode == cmBlackness ? Qt::black : Qt::white);
    } else {
        p.drawImage(d, image, src.toQRect());
    }
    p.restore();
}

void TCanvas::DrawTransparent(const TRect& dest, const QImage& image, TColor transparentColor)
{
    if (image.isNull())
        return;
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    if (transparentColor != clNone) {
        const QRgb key = ToQColor(transparentColor).rgb() & 0xFFFFFF;
        for (int y = 0; y < masked.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(masked.scanLine(y));
            for (int x = 0; x < masked.width(); ++x)
                if ((row[x] & 0xFFFFFF) == key)
                    row[x] = 0;
        }
    }
    const TCopyMode saved = m_copyMode;
    m_copyMode = cmSrcCopy;
    DrawImage(dest, masked, TRect(0, 0, masked.width(), masked.height()));
    m_copyMode = saved;
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect)
{
    if (!source.m_image || source.m_image->isNull())
        throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
    const QImage part = source.m_image->copy(sourceRect.toQRect());
    DrawImage(dest, part, TRect(0, 0, part.width(), part.height()));
}

// ---------------------------------------------------------------- pixels

TColor TCanvas::Pixel(int x, int y)
{
    if (!m_image || !m_image->rect().contains(x, y) || (m_hasClip && !m_clip.contains(QPoint(x, y))))
        return -1;
    const QRgb c = m_image->pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    if (color == clNone)
        return;
    QPainter& p = painter();
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(QRect(x, y, 1, 1), ToQColor(color));
    p.restore();
}

// ---------------------------------------------------------------- text

const FontFace& TCanvas::CurrentFace()
{
    syncFont();
    if (!m_face)
        m_face = &FontEngine::Instance().Match(m_font);
    return *m_face;
}

int TCanvas::GetCharWidths(const QString& text, std::vector<int>& widths)
{
    const FontFace& face = CurrentFace();
    return face.CharAdvances(text, face.EmPixels(m_font.Height()), widths);
}

int TCanvas::GetTextExtents(const QString& text, std::vector<int>& cumulative)
{
    std::vector<int> widths;
    GetCharWidths(text, widths);
    cumulative.resize(widths.size());
    int sum = 0;
    for (size_t i = 0; i < widths.size(); ++i) {
        sum += widths[i] + m_charExtra;
        cumulative[i] = sum;
    }
    return sum;
}

int TCanvas::TextWidth(const QString& text)
{
    std::vector<int> widths;
    return GetCharWidths(text, widths) + m_charExtra * int(text.size());
}

int TCanvas::TextHeight(const QString&) { return GetTextMetrics().tmHeight; }

TSize TCanvas::TextExtent(const QString& text) { return {TextWidth(text), TextHeight(text)}; }

TTextMetric TCanvas::GetTextMetrics()
{
    const FontFace& face = CurrentFace();
    const double em = face.EmPixels(m_font.Height());
    const double k = em / face.UnitsPerEm();
    TTextMetric m;
    m.tmAscent = face.Ascent(em);
    m.tmDescent = face.Descent(em);
    m.tmHeight = m.tmAscent + m.tmDescent;
    m.tmInternalLeading = m.tmHeight - int(std::lround(em));
    m.tmExternalLeading = int(std::lround(face.ExternalLeadingUnits() * k));
    m.tmAveCharWidth = int(std::lround(face.AverageCharWidthUnits() * k));
    m.tmMaxCharWidth = int(std::lround(face.MaxAdvanceUnits() * k));
    m.tmWeight = m_font.HasStyle(fsBold) ? 700 : 400;
    m.tmItalic = m_font.HasStyle(fsItalic);
    m.tmCharSet = m_font.Charset();
    return m;
}

TOutlineTextMetric TCanvas::GetOutlineTextMetrics()
{
    const FontFace& face = CurrentFace();
    const double em = face.EmPixels(m_font.Height());
    const double k = em / face.UnitsPerEm();
    const auto scaled = [k](double v) { return int(std::lround(v * k)); };
    const FontFace::DesignMetrics& g = face.Design();
    TOutlineTextMetric m;
    m.otmTextMetrics = GetTextMetrics();
    m.otmEMSquare = face.UnitsPerEm();
    m.otmrcFontBox = TRect(scaled(g.xMin), scaled(g.yMax), scaled(g.xMax), scaled(g.yMin));
    m.otmAscent = scaled(g.typoAscender);
    m.otmDescent = scaled(g.typoDescender);
    m.otmLineGap = scaled(g.typoLineGap);
    m.otmsCapEmHeight = scaled(g.capHeight);
    m.otmsXHeight = scaled(g.xHeight);
    m.otmItalicAngle = int(std::lround(g.italicAngle * 10));
    m.otmsUnderscoreSize = scaled(face.UnderlineThicknessUnits());
    m.otmsUnderscorePosition = -scaled(face.UnderlinePositionUnits());
    m.otmsStrikeoutSize = scaled(face.StrikeoutThicknessUnits());
    m.otmsStrikeoutPosition = -scaled(face.StrikeoutPositionUnits());
    m.otmpFamilyName = face.FamilyName();
    m.otmpFaceName = face.FamilyName() + (face.StyleName().isEmpty() || face.StyleName() == QLatin1String("Regular")
                                              ? QString()
                                              : QLatin1Char(' ') + face.StyleName());
    return m;
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    ExtTextOut(x, y, 0, nullptr, text);
    if (!(m_textAlign & TA_UPDATECP))
        m_penPos = {x + TextWidth(text), y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const QString& text)
{
    ExtTextOut(x, y, ETO_CLIPPED | (bkOpaque() ? ETO_OPAQUE : 0u), &rect, text);
}

void TCanvas::ExtTextOut(int x, int y, unsigned options, const TRect* rect, const QString& text, const int* dx,
                         int dxCount)
{
    drawTextRun(x, y, options, rect, text, dx, dxCount);
}

namespace {

// Calls f(character, pen position) for each character of text that leaves a
// mark, a surrogate pair as one; control characters only advance.
template <class F>
void forEachCharacter(const QString& text, const std::vector<int>& adv, double ox, F&& f)
{
    double pen = ox;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ch = text[i].unicode();
        const double start = pen;
        pen += adv[size_t(i)];
        if (text[i].isLowSurrogate())
            continue;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
        if (ch >= 0x20)
            f(ch, start);
    }
}

// True when the glyphs may be filled one by one with the very pixels of
// one fill of them all: on an image, when no two glyphs touch a common
// pixel cell. The rasteriser's coverage of a cell then comes from one glyph
// alone (a closed outline wholly left of a cell adds nothing to it), and
// each small fill stays within the rasteriser's cell pool, where a whole
// line of glyphs makes it render the line again band by band.
constexpr double kGridSlack = 1.0 / 32;

bool separateGlyphCells(const QPainter& p, const std::vector<QPainterPath>& glyphs)
{
    if (glyphs.size() < 2 || !p.paintEngine() || p.paintEngine()->type() != QPaintEngine::Raster)
        return false;
    struct Cells {
        double left, top, right, bottom;
    };
    std::vector<Cells> cells;
    cells.reserve(glyphs.size());
    const QTransform device = p.deviceTransform();
    for (const QPainterPath& g : glyphs) {
        const QRectF r = device.mapRect(g.controlPointRect());
        // The cells the outline may enter, with room for the rasteriser's
        // rounding to its fixed-point grid (an edge on a cell's border is in it).
        cells.push_back({std::floor(r.left() - kGridSlack), std::floor(r.top() - kGridSlack),
                         std::floor(r.right() + kGridSlack), std::floor(r.bottom() + kGridSlack)});
    }
    for (size_t i = 0; i < cells.size(); ++i)
        for (size_t j = i + 1; j < cells.size(); ++j) {
            const Cells& a = cells[i];
            const Cells& b = cells[j];
            if (a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom)
                return false;
        }
    return true;
}

// Glyph coverage, kept per thread: a glyph filled alone at a given device
// position gives the rasteriser's coverage of each pixel, which depends only
// on the outline as the painter maps it (the glyph, its transform and the
// painter's, all exact) and not on what lies beneath. Barcode texts repeat
// the same digits at the same places picture after picture, so their
// outlines are flattened and rasterised once, and the fill is then the
// blend the painter does with each coverage value: an opaque solid colour
// replaces the pixel under full coverage and is otherwise mixed in as
// colour * c + pixel * (255 - c), in the painter's rounding.
bool g_glyphCoverageCache = true;

struct GlyphCoverageKey {
    const FontFace* face = nullptr;
    unsigned glyph = 0;
    std::array<double, 18> m{}; // the glyph's transform, then the painter's device transform

    bool operator==(const GlyphCoverageKey& o) const { return face == o.face && glyph == o.glyph && m == o.m; }
};

struct GlyphCoverageHash {
    size_t operator()(const GlyphCoverageKey& k) const
    {
        size_t h = std::hash<const void*>()(k.face) ^ (size_t(k.glyph) * 0x9E3779B97F4A7C15ull);
        for (double v : k.m)
            h = (h ^ std::hash<double>()(v)) * 0x100000001B3ull;
        return h;
    }
};

struct GlyphCoverage {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uchar> alpha;            // rows of width coverage values
    std::vector<std::pair<int, int>> runs; // per row: the covered columns [first, last)
};

struct GlyphCoverageCache {
    static constexpr size_t kMaxEntries = 4096;
    static constexpr int kMaxScratchPixels = 4 << 20;
    std::unordered_map<GlyphCoverageKey, GlyphCoverage, GlyphCoverageHash> entries;
    QImage scratch; // transparent outside the glyph being rasterised
};

GlyphCoverageCache& glyphCoverageCache()
{
    thread_local GlyphCoverageCache cache;
    return cache;
}

void putTransform(double* out, const QTransform& t)
{
    const double v[9] = {t.m11(), t.m12(), t.m13(), t.m21(), t.m22(), t.m23(), t.m31(), t.m32(), t.m33()};
    std::copy(std::begin(v), std::end(v), out);
}

// The painter's multiplication of a 32-bit pixel by a / 255, channel by channel.
inline uint byteMul(uint x, uint a)
{
    quint64 t = ((quint64(x) | (quint64(x) << 24)) & 0x00FF00FF00FF00FFull) * a;
    t = (t + ((t >> 8) & 0x00FF00FF00FF00FFull) + 0x0080008000800080ull) >> 8;
    t &= 0x00FF00FF00FF00FFull;
    return uint(t) | uint(t >> 24);
}

// Rasterises the glyph as the painter would fill it on its own device: the
// same transform on an image from the device's origin, no clip.
bool rasteriseCoverage(GlyphCoverageCache& cache, const QPainterPath& glyph, const QTransform& device,
                       const QRect& box, GlyphCoverage& out)
{
    const int needW = box.right() + 1, needH = box.bottom() + 1;
    if (qint64(needW) * needH > GlyphCoverageCache::kMaxScratchPixels)
        return false;
    if (cache.scratch.width() < needW || cache.scratch.height() < needH) {
        cache.scratch = QImage(std::max(needW, cache.scratch.width()), std::max(needH, cache.scratch.height()),
                               QImage::Format_ARGB32_Premultiplied);
        if (cache.scratch.isNull())
            return false;
        cache.scratch.fill(0);
    }
    {
        QPainter sp(&cache.scratch);
        sp.setRenderHint(QPainter::Antialiasing, true);
        sp.setPen(Qt::NoPen);
        sp.setBrush(QColor(Qt::white));
        sp.setWorldTransform(device);
        sp.drawPath(glyph);
    }
    out.left = box.left();
    out.top = box.top();
    out.width = box.width();
    out.height = box.height();
    out.alpha.resize(size_t(out.width) * size_t(out.height));
    out.runs.assign(size_t(out.height), {0, 0});
    uchar* a = out.alpha.data();
    for (int y = box.top(); y <= box.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(cache.scratch.scanLine(y)) + box.left();
        std::pair<int, int>& run = out.runs[size_t(y - box.top())];
        run = {out.width, 0};
        for (int x = 0; x < out.width; ++x) {
            *a++ = uchar(qAlpha(row[x]));
            if (qAlpha(row[x]) != 0)
                run = {std::min(run.first, x), x + 1};
            row[x] = 0;
        }
        if (run.second == 0)
            run.first = 0;
    }
    return true;
}

void blendCoverage(QImage& image, const GlyphCoverage& c, QRgb color)
{
    const qsizetype stride = image.bytesPerLine();
    uchar* line = image.bits() + c.top * stride;
    for (int y = 0; y < c.height; ++y, line += stride) {
        const auto [first, last] = c.runs[size_t(y)];
        const uchar* a = c.alpha.data() + size_t(y) * size_t(c.width);
        auto* row = reinterpret_cast<QRgb*>(line) + c.left;
        for (int x = first; x < last; ++x) {
            const uint cov = a[x];
            if (cov == 255)
                row[x] = color;
            else if (cov != 0)
                row[x] = byteMul(color, cov) + byteMul(row[x], 255 - cov);
        }
    }
}

// Fills one glyph from the coverage cache; false where the painter must
// fill it itself (an outline reaching the device's edges, which the
// rasteriser clips there).
bool fillGlyphFromCache(QImage& image, const FontFace& face, unsigned index, const QTransform& glyphTransform,
                        const QPainterPath& glyph, const QTransform& device, QRgb color)
{
    const QRectF r = device.mapRect(glyph.controlPointRect());
    if (!(r.left() >= 2 && r.top() >= 2 && r.right() < image.width() - 3 && r.bottom() < image.height() - 3))
        return false;
    // The cells the outline may enter, with a margin for the rasteriser's rounding.
    const QRect box(QPoint(int(std::floor(r.left())) - 1, int(std::floor(r.top())) - 1),
                    QPoint(int(std::floor(r.right())) + 1, int(std::floor(r.bottom())) + 1));
    GlyphCoverageCache& cache = glyphCoverageCache();
    GlyphCoverageKey key;
    key.face = &face;
    key.glyph = index;
    putTransform(key.m.data(), glyphTransform);
    putTransform(key.m.data() + 9, device);
    auto it = cache.entries.find(key);
    if (it == cache.entries.end()) {
        GlyphCoverage c;
        if (!rasteriseCoverage(cache, glyph, device, box, c))
            return false;
        if (cache.entries.size() >= GlyphCoverageCache::kMaxEntries)
            cache.entries.clear();
        it = cache.entries.emplace(key, std::move(c)).first;
    }
    blendCoverage(image, it->second, color);
    return true;
}

// The device the glyphs may be filled on from the cache: an opaque or
// premultiplied 32-bit image under a plain solid fill, unclipped.
QImage* coverageTarget(QPainter& p, const QColor& color)
{
    if (!g_glyphCoverageCache || !p.paintEngine() || p.paintEngine()->type() != QPaintEngine::Raster
        || !p.device() || p.device()->devType() != QInternal::Image || p.hasClipping()
        || p.compositionMode() != QPainter::CompositionMode_SourceOver || p.opacity() != 1.0 || color.alpha() != 255)
        return nullptr;
    auto* image = static_cast<QImage*>(p.device());
    // Written in place: the painter's own buffer, shared with no copy.
    if ((image->format() != QImage::Format_ARGB32_Premultiplied && image->format() != QImage::Format_RGB32)
        || !image->isDetached())
        return nullptr;
    return image;
}

} // namespace

void SetGlyphCoverageCache(bool on)
{
    g_glyphCoverageCache = on;
    glyphCoverageCache().entries.clear();
}

void TCanvas::drawTextRun(int x, int y, unsigned options, const TRect* rect, const QString& text, const int* dx,
                          int dxCount)
{
    QPainter& p = painter();
    const FontFace& face = CurrentFace();
    const double em = face.EmPixels(m_font.Height());
    const double k = em / face.UnitsPerEm();
    const int ascent = face.Ascent(em), descent = face.Descent(em);

    // Advances: given ones where present, otherwise the font's plus the extra spacing.
    std::vector<int> adv;
    GetCharWidths(text, adv);
    for (size_t i = 0; i < adv.size(); ++i) {
        if (dx && int(i) < dxCount)
            adv[i] = dx[i];
        else if (!text[qsizetype(i)].isLowSurrogate())
            adv[i] += m_charExtra;
    }
    int total = 0;
    for (int a : adv)
        total += a;

    if (m_textAlign & TA_UPDATECP) {
        x = m_penPos.X;
        y = m_penPos.Y;
    }
    // Reference point -> left end of the baseline, in the rotated frame.
    double ox = 0;
    if ((m_textAlign & TA_CENTER) == TA_CENTER)
        ox = -total / 2.0;
    else if (m_textAlign & TA_RIGHT)
        ox = -total;
    double baseline = ascent;
    if ((m_textAlign & TA_BASELINE) == TA_BASELINE)
        baseline = 0;
    else if (m_textAlign & TA_BOTTOM)
        baseline = -descent;
    if (m_textAlign & TA_UPDATECP)
        m_penPos = {x + int(std::lround(total * std::cos(m_font.Orientation() * M_PI / 1800.0))),
                    y - int(std::lround(total * std::sin(m_font.Orientation() * M_PI / 1800.0)))};

    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (rect && (options & ETO_OPAQUE))
        p.fillRect(rect->toQRect(), ToQColor(m_bkColor));
    if (rect && (options & ETO_CLIPPED)) {
        if (p.hasClipping())
            p.setClipRect(rect->toQRect(), Qt::IntersectClip);
        else
            p.setClipRect(rect->toQRect());
    }
    p.translate(x, y);
    if (m_font.Orientation() != 0)
        p.rotate(-m_font.Orientation() / 10.0);

    if (!(options & ETO_OPAQUE) && bkOpaque() && !text.isEmpty())
        p.fillRect(QRectF(ox, baseline - ascent, total, ascent + descent), ToQColor(m_bkColor));

    const QColor color = ToQColor(m_font.Color());
    if (m_glyphText && drawGlyphRun(p, face, em, text, adv, ox, baseline, color)) {
        drawTextLines(p, face, k, ox, baseline, total);
        p.restore();
        return;
    }

    std::vector<QPainterPath> glyphs;
    std::vector<std::pair<unsigned, QTransform>> placed; // glyph index and transform of each
    forEachCharacter(text, adv, ox, [&](char32_t ch, double start) {
        if (ch == ' ' || ch == 0xA0)
            return;
        const unsigned index = face.GlyphIndex(ch);
        const QPainterPath& g = face.GlyphPath(index);
        if (g.isEmpty())
            return;
        QTransform t;
        t.translate(start, baseline);
        if (face.SyntheticItalic())
            t.shear(-0.2, 0);
        t.scale(k, k);
        glyphs.push_back(t.map(g));
        glyphs.back().setFillRule(Qt::WindingFill);
        placed.emplace_back(index, t);
    });
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(face.SyntheticBold() ? QPen(color, std::max(1.0, em / 32.0)) : QPen(Qt::NoPen));
    p.setBrush(color);
    if (!face.SyntheticBold() && separateGlyphCells(p, glyphs)) {
        QImage* target = coverageTarget(p, color);
        const QTransform device = p.deviceTransform();
        const QRgb rgb = color.rgb();
        for (size_t i = 0; i < glyphs.size(); ++i)
            if (!target || !fillGlyphFromCache(*target, face, placed[i].first, placed[i].second, glyphs[i], device, rgb))
                p.drawPath(glyphs[i]);
    } else {
        QPainterPath all;
        all.setFillRule(Qt::WindingFill);
        for (const QPainterPath& g : glyphs)
            all.addPath(g);
        p.drawPath(all);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    drawTextLines(p, face, k, ox, baseline, total);
    p.restore();
}

void TCanvas::drawTextLines(QPainter& p, const FontFace& face, double k, double ox, double baseline, int total)
{
    if (!m_font.HasStyle(fsUnderline) && !m_font.HasStyle(fsStrikeOut))
        return;
    p.setPen(Qt::NoPen);
    p.setBrush(ToQColor(m_font.Color()));
    if (m_font.HasStyle(fsUnderline)) {
        const double th = std::max(1.0, std::round(face.UnderlineThicknessUnits() * k));
        const double pos = std::round(face.UnderlinePositionUnits() * k);
        p.drawRect(QRectF(ox, baseline + pos, total, th));
    }
    if (m_font.HasStyle(fsStrikeOut)) {
        const double th = std::max(1.0, std::round(face.StrikeoutThicknessUnits() * k));
        const double pos = std::round(face.StrikeoutPositionUnits() * k);
        p.drawRect(QRectF(ox, baseline + pos, total, th));
    }
}

namespace {

// The raw font of a face, loaded once through the GUI font database (a font
// loaded from bytes has no file name, and PDF output embeds only fonts it
// can name); pixel sizes are set on copies. Invalid when the database gives
// another file than the face's, told by differing glyphs.
// The fonts belong to the GUI application: they go before it does.
std::unordered_map<const FontFace*, QRawFont> g_rawFonts;
std::unordered_map<QString, QStringList> g_rawFontFamilies;

void clearRawFonts()
{
    g_rawFonts.clear();
    g_rawFontFamilies.clear();
}

const QRawFont& rawFontOf(const FontFace& face)
{
    auto& cache = g_rawFonts;
    auto& families = g_rawFontFamilies;
    auto it = cache.find(&face);
    if (it != cache.end())
        return it->second;
    if (cache.empty())
        qAddPostRoutine(clearRawFonts);
    const QString path = face.FilePath();
    auto fam = families.find(path);
    if (fam == families.end())
        fam = families.emplace(path, QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(path)))
                  .first;
    QRawFont raw;
    if (!fam->second.isEmpty()) {
        QFont font(fam->second.front());
        font.setStyleName(face.StyleName());
        font.setBold(face.IsBold());
        font.setItalic(face.IsItalic());
        font.setPixelSize(12);
        raw = QRawFont::fromFont(font);
        const QString probe = QStringLiteral("Aa0");
        const QList<quint32> glyphs = raw.isValid() ? raw.glyphIndexesForString(probe) : QList<quint32>();
        for (qsizetype i = 0; i < probe.size(); ++i)
            if (glyphs.value(i) != face.GlyphIndex(probe[i].unicode()) || raw.unitsPerEm() != face.UnitsPerEm())
                raw = QRawFont();
    }
    return cache.emplace(&face, raw).first->second;
}

} // namespace

bool TCanvas::drawGlyphRun(QPainter& p, const FontFace& face, double em, const QString& text,
                           const std::vector<int>& adv, double ox, double baseline, const QColor& color)
{
    // Styles the file lacks and faces inside collections keep the outlines,
    // and so does everything without a GUI application (no raw fonts then).
    if (face.SyntheticBold() || face.SyntheticItalic() || face.FaceIndex() != 0 || !QGuiApplication::instance())
        return false;
    QRawFont raw = rawFontOf(face);
    if (!raw.isValid())
        return false;
    raw.setPixelSize(em);
    QList<quint32> indexes;
    QList<QPointF> positions;
    forEachCharacter(text, adv, ox, [&](char32_t ch, double start) {
        indexes.append(face.GlyphIndex(ch));
        positions.append(QPointF(start, baseline));
    });
    if (!indexes.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes(indexes);
        run.setPositions(positions);
        p.setPen(color);
        p.drawGlyphRun(QPointF(0, 0), run);
    }
    return true;
}

// ---------------------------------------------------------------- clipping

TRect TCanvas::ClipRect() const
{
    if (m_hasClip)
        return TRect::fromQRect(m_clip.boundingRect());
    if (m_image)
        return TRect(0, 0, m_image->width(), m_image->height());
    if (QPaintDevice* d = Device())
        return TRect(0, 0, d->width(), d->height());
    return TRect(0, 0, 0, 0);
}

void TCanvas::setClip(bool has, const QRegion& region)
{
    m_hasClip = has;
    m_clip = has ? region : QRegion();
    QPainter* p = m_borrowed ? m_borrowed : m_own.get();
    if (!p || !p->isActive())
        return;
    if (m_hasClip)
        p->setClipRegion(m_clip);
    else
        p->setClipping(false);
}

void TCanvas::SetClipRegion(const QRegion& region) { setClip(true, region); }
void TCanvas::RemoveClip() { setClip(false, {}); }

void TCanvas::IntersectClipRect(const TRect& rect)
{
    const QRegion r(rect.IsEmpty() ? QRect() : rect.toQRect());
    setClip(true, m_hasClip ? m_clip.intersected(r) : r);
}

void TCanvas::IntersectClipRegion(const QRegion& region)
{
    setClip(true, m_hasClip ? m_clip.intersected(region) : region);
}

QRegion EllipseRegion(const TRect& rect)
{
    const TRect r = normalized(rect.Left, rect.Top, rect.Right, rect.Bottom);
    return r.IsEmpty() ? QRegion() : QRegion(r.toQRect(), QRegion::Ellipse);
}

QRegion RoundRectRegion(const TRect& rect, int cornerWidth, int cornerHeight)
{
    const TRect r = normalized(rect.Left, rect.Top, rect.Right, rect.Bottom);
    if (r.IsEmpty())
        return {};
    QPainterPath path;
    path.addRoundedRect(QRectF(r.toQRect()), std::abs(cornerWidth) / 2.0, std::abs(cornerHeight) / 2.0);
    return QRegion(path.toFillPolygon().toPolygon());
}

QRegion PolygonRegion(const std::vector<TPoint>& points, TFillMode mode)
{
    QPolygon poly;
    for (const auto& p : points)
        poly << QPoint(p.X, p.Y);
    return QRegion(poly, mode == fmWinding ? Qt::WindingFill : Qt::OddEvenFill);
}

void TCanvas::ExcludeClipRect(const TRect& rect)
{
    const QRegion base = m_hasClip ? m_clip : QRegion(ClipRect().toQRect());
    setClip(true, base.subtracted(QRegion(rect.toQRect())));
}

void TCanvas::SaveClip() { m_clipStack.emplace_back(m_hasClip, m_clip); }

void TCanvas::RestoreClip()
{
    if (m_clipStack.empty())
        return;
    auto [has, clip] = m_clipStack.back();
    m_clipStack.pop_back();
    setClip(has, clip);
}

int TCanvas::SaveDC()
{
    auto s = std::make_unique<SavedState>();
    s->font.AssignFont(m_font);
    s->pen.AssignPen(m_pen);
    s->brush.AssignBrush(m_brush);
    s->penPos = m_penPos;
    s->copyMode = m_copyMode;
    s->bkMode = m_bkMode;
    s->bkColor = m_bkColor;
    s->textAlign = m_textAlign;
    s->charExtra = m_charExtra;
    s->fillMode = m_fillMode;
    s->stretchMode = m_stretchMode;
    s->hasClip = m_hasClip;
    s->clip = m_clip;
    m_saved.push_back(std::move(s));
    return int(m_saved.size());
}

void TCanvas::RestoreDC(int savedIndex)
{
    if (m_saved.empty())
        return;
    const size_t target = savedIndex < 0 ? m_saved.size() : size_t(savedIndex);
    if (target == 0 || target > m_saved.size())
        return;
    std::unique_ptr<SavedState> s = std::move(m_saved[target - 1]);
    m_saved.resize(target - 1);
    m_font.AssignFont(s->font);
    m_pen.AssignPen(s->pen);
    m_brush.AssignBrush(s->brush);
    m_penPos = s->penPos;
    m_copyMode = s->copyMode;
    m_bkMode = s->bkMode;
    m_bkColor = s->bkColor;
    m_textAlign = s->textAlign;
    m_charExtra = s->charExtra;
    m_fillMode = s->fillMode;
    m_stretchMode = s->stretchMode;
    setClip(s->hasClip, s->clip);
}

// ---------------------------------------------------------------- screen

namespace {
int g_screenPPI = 0;
}

int ScreenPixelsPerInch()
{
    if (g_screenPPI > 0)
        return g_screenPPI;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return std::max(1, int(std::lround(screen->logicalDotsPerInch())));
    return 96;
}

void SetScreenPixelsPerInch(int ppi) { g_screenPPI = std::max(0, ppi); }

// ---------------------------------------------------------------- printer canvas

TPrinterCanvas::TPrinterCanvas() { SetGlyphText(true); }
TPrinterCanvas::~TPrinterCanvas() = default;

void TPrinterCanvas::syncFont()
{
    const int dpi = DeviceDPIY();
    if (m_font.PixelsPerInch() == dpi)
        return;
    const int size = m_font.Size();
    m_font.SetPixelsPerInch(dpi);
    m_font.SetSize(size);
}

} // namespace plat
