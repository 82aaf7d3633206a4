#include "Exceptions.h"
#include "GfxTestUtil.h"
#include "Metafile.h"
#include "WinMetafile.h"

#include "../MutationTestUtil.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstring>
#include <functional>

using namespace plat;
using namespace Qt::StringLiterals;
using gfxtest::countColor;
using gfxtest::inkBox;
using gfxtest::isColor;
using gfxtest::whiteImage;

namespace {

// ---------------------------------------------------------------- byte builders

struct Buf {
    QByteArray b;
    Buf& u8(int v)
    {
        b += char(v & 0xFF);
        return *this;
    }
    Buf& u16(int v) { return u8(v).u8(v >> 8); }
    Buf& u32(quint32 v) { return u16(int(v & 0xFFFF)).u16(int(v >> 16)); }
    Buf& f32(float f)
    {
        quint32 v;
        std::memcpy(&v, &f, 4);
        return u32(v);
    }
    Buf& raw(const QByteArray& bytes)
    {
        b += bytes;
        return *this;
    }
    Buf& pad(int align)
    {
        while (b.size() % align)
            b += '\0';
        return *this;
    }
};

// A DIB header (BITMAPINFOHEADER) with its colour table or masks.
QByteArray dibHeader(int w, int h, int bpp, quint32 compression, const std::vector<quint32>& table)
{
    Buf d;
    d.u32(40).u32(quint32(w)).u32(quint32(h)).u16(1).u16(bpp).u32(compression).u32(0).u32(0).u32(0);
    d.u32(bpp <= 8 ? quint32(table.size()) : 0).u32(0);
    for (quint32 c : table)
        d.u32(c);
    return d.b;
}

// RGBQUAD of a COLORREF.
quint32 quad(TColor c) { return quint32(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF)); }

enum : quint32 {
    EmrPolygon = 3, EmrPolyline = 4, EmrSetWindowExt = 9, EmrSetWindowOrg = 10, EmrSetViewportExt = 11,
    EmrSetViewportOrg = 12, EmrEof = 14, EmrSetPixelV = 15, EmrSetMapMode = 17, EmrSetBkMode = 18,
    EmrSetPolyFillMode = 19, EmrSetTextColor = 24, EmrMoveTo = 27, EmrExcludeClip = 29, EmrIntersectClip = 30,
    EmrSaveDc = 33, EmrRestoreDc = 34, EmrSetWorldTransform = 35, EmrSelectObject = 37, EmrCreatePen = 38,
    EmrCreateBrush = 39, EmrDeleteObject = 40, EmrAngleArc = 41, EmrEllipse = 42, EmrRectangle = 43,
    EmrRoundRect = 44, EmrArc = 45, EmrChord = 46, EmrPie = 47, EmrLineTo = 54, EmrBeginPath = 59, EmrEndPath = 60,
    EmrCloseFigure = 61, EmrFillPath = 62, EmrStrokePath = 64, EmrSelectClipPath = 67, EmrGdiComment = 70, EmrExtSelectClipRgn = 75,
    EmrStretchDiBits = 81, EmrFont = 82, EmrTextW = 84, EmrPolyBezier16 = 85, EmrPolygon16 = 86,
    EmrPolyBezierTo16 = 88, EmrPolyPolygon16 = 91, EmrFillRgn = 71, EmrPaintRgn = 74, EmrBitBlt = 76,
    EmrStretchBlt = 77, EmrSetDiBitsToDevice = 80, EmrTextA = 83, EmrDibPatternBrush = 94, EmrAlphaBlend = 114,
    EmrTransparentBlt = 116
};
constexpr quint32 kNullPen = 0x80000008, kNullBrush = 0x80000005;

// An EMF on a 96-dpi reference device (960 pixels to 254 mm), w x h pixels.
class Emf {
public:
    explicit Emf(int w = 96, int h = 96) : m_w(w), m_h(h) {}

    Emf& rec(quint32 type, const Buf& params = {})
    {
        Buf r;
        Buf p = params;
        p.pad(4);
        r.u32(type).u32(quint32(8 + p.b.size())).raw(p.b);
        m_records += r.b;
        ++m_count;
        return *this;
    }
    // Bytes as they stand, for damaged records.
    Emf& raw(const QByteArray& bytes)
    {
        m_records += bytes;
        ++m_count;
        return *this;
    }
    Emf& value(quint32 type, quint32 v) { return rec(type, Buf().u32(v)); }
    Emf& pair(quint32 type, int x, int y) { return rec(type, Buf().u32(quint32(x)).u32(quint32(y))); }
    Emf& box(quint32 type, int l, int t, int r, int b) { return rec(type, rectL(l, t, r, b)); }
    Emf& brush(quint32 ih, TColor c, quint32 style = 0, quint32 hatch = 0)
    {
        return rec(EmrCreateBrush, Buf().u32(ih).u32(style).u32(quint32(c)).u32(hatch));
    }
    Emf& pen(quint32 ih, TColor c, int width = 0, quint32 style = 0)
    {
        return rec(EmrCreatePen, Buf().u32(ih).u32(style).u32(quint32(width)).u32(0).u32(quint32(c)));
    }
    Emf& select(quint32 ih) { return value(EmrSelectObject, ih); }
    // A solid brush of that colour and no pen, selected.
    Emf& fill(TColor c, quint32 ih = 1) { return brush(ih, c).select(ih).select(kNullPen); }
    Emf& world(float m11, float m12, float m21, float m22, float dx, float dy)
    {
        return rec(EmrSetWorldTransform, Buf().f32(m11).f32(m12).f32(m21).f32(m22).f32(dx).f32(dy));
    }
    Emf& poly16(quint32 type, const std::vector<QPoint>& pts)
    {
        Buf p = rectL(0, 0, 0, 0);
        p.u32(quint32(pts.size()));
        for (const QPoint& q : pts)
            p.u16(q.x()).u16(q.y());
        return rec(type, p);
    }
    Emf& polyPoly16(const std::vector<std::vector<QPoint>>& rings)
    {
        Buf p = rectL(0, 0, 0, 0);
        quint32 total = 0;
        for (const auto& r : rings)
            total += quint32(r.size());
        p.u32(quint32(rings.size())).u32(total);
        for (const auto& r : rings)
            p.u32(quint32(r.size()));
        for (const auto& r : rings)
            for (const QPoint& q : r)
                p.u16(q.x()).u16(q.y());
        return rec(EmrPolyPolygon16, p);
    }
    Emf& font(quint32 ih, int height, const QString& face, int escapement = 0, int charset = 1)
    {
        Buf p;
        p.u32(ih).u32(quint32(height)).u32(0).u32(quint32(escapement)).u32(quint32(escapement)).u32(400);
        p.u8(0).u8(0).u8(0).u8(charset).u8(0).u8(0).u8(0).u8(0);
        for (int i = 0; i < 32; ++i)
            p.u16(i < face.size() ? face[i].unicode() : 0);
        return rec(EmrFont, p);
    }
    Emf& textW(int x, int y, const QString& s, const std::vector<int>& dx = {}, quint32 options = 0,
               QRect rect = {})
    {
        QByteArray units;
        for (QChar c : s)
            units += Buf().u16(c.unicode()).b;
        return text(EmrTextW, x, y, units, int(s.size()), dx, options, rect);
    }
    Emf& text(quint32 type, int x, int y, const QByteArray& string, int chars, const std::vector<int>& dx = {},
              quint32 options = 0, QRect rect = {})
    {
        constexpr int kStringAt = 76;
        const int dxAt = kStringAt + int((string.size() + 3) / 4 * 4);
        Buf p = rectL(0, 0, 0, 0);
        p.u32(1).f32(1).f32(1).u32(quint32(x)).u32(quint32(y)).u32(quint32(chars)).u32(kStringAt).u32(options);
        p.raw(rectL(rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()).b);
        p.u32(dx.empty() ? 0 : quint32(dxAt)).raw(string).pad(4);
        for (int d : dx)
            p.u32(quint32(d));
        return rec(type, p);
    }
    // StretchDIBits of a DIB (header with table, bits) into the destination.
    Emf& stretchDib(QRect dest, QRect src, const QByteArray& info, const QByteArray& bits)
    {
        constexpr int kInfoAt = 80;
        Buf p = rectL(0, 0, 0, 0);
        p.u32(quint32(dest.x())).u32(quint32(dest.y())).u32(quint32(src.x())).u32(quint32(src.y()));
        p.u32(quint32(src.width())).u32(quint32(src.height()));
        p.u32(kInfoAt).u32(quint32(info.size())).u32(quint32(kInfoAt + info.size())).u32(quint32(bits.size()));
        p.u32(0).u32(0x00CC0020).u32(quint32(dest.width())).u32(quint32(dest.height()));
        p.raw(info).raw(bits);
        return rec(EmrStretchDiBits, p);
    }

    // BitBlt (no source size), StretchBlt, AlphaBlend or TransparentBlt: word40
    // is the raster operation, blend function or transparent colour.
    Emf& blt(quint32 type, QRect dest, QRect src, quint32 word40, const QByteArray& info, const QByteArray& bits)
    {
        const bool sized = type != EmrBitBlt;
        const int infoAt = sized ? 108 : 100;
        Buf p = rectL(0, 0, 0, 0);
        p.u32(quint32(dest.x())).u32(quint32(dest.y())).u32(quint32(dest.width())).u32(quint32(dest.height()));
        p.u32(word40).u32(quint32(src.x())).u32(quint32(src.y())).f32(1).f32(0).f32(0).f32(1).f32(0).f32(0);
        p.u32(0).u32(0).u32(quint32(infoAt)).u32(quint32(info.size())).u32(quint32(infoAt + info.size()));
        p.u32(quint32(bits.size()));
        if (sized)
            p.u32(quint32(src.width())).u32(quint32(src.height()));
        return rec(type, p.raw(info).raw(bits));
    }
    Emf& dibToDevice(QPoint dest, QRect src, const QByteArray& info, const QByteArray& bits)
    {
        constexpr int kInfoAt = 76;
        Buf p = rectL(0, 0, 0, 0);
        p.u32(quint32(dest.x())).u32(quint32(dest.y())).u32(quint32(src.x())).u32(quint32(src.y()));
        p.u32(quint32(src.width())).u32(quint32(src.height())).u32(kInfoAt).u32(quint32(info.size()));
        p.u32(quint32(kInfoAt + info.size())).u32(quint32(bits.size())).u32(0).u32(0).u32(quint32(src.height()));
        return rec(EmrSetDiBitsToDevice, p.raw(info).raw(bits));
    }
    Emf& patternBrush(quint32 ih, const QByteArray& info, const QByteArray& bits)
    {
        Buf p;
        p.u32(ih).u32(0).u32(32).u32(quint32(info.size())).u32(quint32(32 + info.size())).u32(quint32(bits.size()));
        return rec(EmrDibPatternBrush, p.raw(info).raw(bits));
    }
    // Region data of rectangles in device units.
    static QByteArray region(const std::vector<QRect>& rects)
    {
        Buf p;
        p.u32(32).u32(1).u32(quint32(rects.size())).u32(quint32(rects.size() * 16)).raw(rectL(0, 0, 96, 96).b);
        for (const QRect& r : rects)
            p.raw(rectL(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()).b);
        return p.b;
    }

    QByteArray bytes() const
    {
        Buf h;
        const QByteArray eof = Buf().u32(EmrEof).u32(20).u32(0).u32(16).u32(20).b;
        h.u32(1).u32(88).raw(rectL(0, 0, m_w - 1, m_h - 1).b).raw(rectL(0, 0, m_w * 2540 / 96, m_h * 2540 / 96).b);
        h.u32(0x464D4520).u32(0x10000).u32(quint32(88 + m_records.size() + eof.size())).u32(quint32(m_count + 2));
        h.u16(16).u16(0).u32(0).u32(0).u32(0).u32(960).u32(960).u32(254).u32(254);
        return h.b + m_records + eof;
    }

    static Buf rectL(int l, int t, int r, int b)
    {
        return Buf().u32(quint32(l)).u32(quint32(t)).u32(quint32(r)).u32(quint32(b));
    }

private:
    int m_w, m_h;
    QByteArray m_records;
    int m_count = 0;
};

enum : int {
    WmfSetBkMode = 0x0102, WmfSetMapMode = 0x0103, WmfSetPolyFillMode = 0x0106, WmfSetWindowOrg = 0x020B,
    WmfSetWindowExt = 0x020C, WmfSetViewportOrg = 0x020D, WmfSetViewportExt = 0x020E, WmfLineTo = 0x0213,
    WmfMoveTo = 0x0214, WmfExcludeClip = 0x0415, WmfIntersectClip = 0x0416, WmfArc = 0x0817, WmfEllipse = 0x0418,
    WmfPie = 0x081A, WmfRectangle = 0x041B, WmfRoundRect = 0x061C, WmfPatBlt = 0x061D, WmfSaveDc = 0x001E,
    WmfSetPixel = 0x041F, WmfTextOut = 0x0521, WmfPolygon = 0x0324, WmfPolyline = 0x0325, WmfRestoreDc = 0x0127,
    WmfSelectObject = 0x012D, WmfChord = 0x0830, WmfExtTextOut = 0x0A32, WmfPolyPolygon = 0x0538,
    WmfStretchDib = 0x0F43, WmfDeleteObject = 0x01F0, WmfCreatePen = 0x02FA, WmfCreateFont = 0x02FB,
    WmfCreateBrush = 0x02FC, WmfEscape = 0x0626, WmfDibBitBlt = 0x0940, WmfDibStretchBlt = 0x0B41,
    WmfSetDibToDev = 0x0D33, WmfDibPatternBrush = 0x0142, WmfCreateRegion = 0x06FF, WmfFillRegion = 0x0228,
    WmfPaintRegion = 0x012B, WmfSelectClipRegion = 0x012C
};

// A placeable WMF; the box (0, 0)-(w, h) at 96 units per inch unless given.
class Wmf {
public:
    Wmf(int right = 96, int bottom = 96, int inch = 96) : m_r(right), m_b(bottom), m_inch(inch) {}

    Wmf& rec(int func, const Buf& params = {})
    {
        Buf p = params;
        p.pad(2);
        Buf r;
        r.u32(quint32(3 + p.b.size() / 2)).u16(func).raw(p.b);
        m_records += r.b;
        return *this;
    }
    Wmf& raw(const QByteArray& bytes)
    {
        m_records += bytes;
        return *this;
    }
    // Parameters in the order the record stores them.
    Wmf& words(int func, std::initializer_list<int> ws)
    {
        Buf p;
        for (int w : ws)
            p.u16(w);
        return rec(func, p);
    }
    Wmf& box(int func, int l, int t, int r, int b) { return words(func, {b, r, t, l}); }
    Wmf& brush(TColor c, int style = 0, int hatch = 0) { return rec(WmfCreateBrush, Buf().u16(style).u32(quint32(c)).u16(hatch)); }
    Wmf& pen(TColor c, int width = 0, int style = 0)
    {
        return rec(WmfCreatePen, Buf().u16(style).u16(width).u16(0).u32(quint32(c)));
    }
    Wmf& select(int i) { return words(WmfSelectObject, {i}); }
    Wmf& font(int height, int charset, const QByteArray& face)
    {
        Buf p;
        p.u16(height).u16(0).u16(0).u16(0).u16(400).u8(0).u8(0).u8(0).u8(charset).u8(0).u8(0).u8(0).u8(0);
        p.raw(face.left(31)).raw(QByteArray(32 - std::min<int>(31, int(face.size())), '\0'));
        return rec(WmfCreateFont, p);
    }
    Wmf& textOut(int x, int y, const QByteArray& s)
    {
        return rec(WmfTextOut, Buf().u16(int(s.size())).raw(s).pad(2).u16(y).u16(x));
    }
    Wmf& stretchDib(QRect dest, QRect src, const QByteArray& packedDib)
    {
        Buf p;
        p.u32(0x00CC0020).u16(0).u16(src.height()).u16(src.width()).u16(src.y()).u16(src.x());
        p.u16(dest.height()).u16(dest.width()).u16(dest.y()).u16(dest.x()).raw(packedDib);
        return rec(WmfStretchDib, p);
    }

    QByteArray bytes() const
    {
        Buf p;
        p.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(m_r).u16(m_b).u16(m_inch).u32(0);
        quint16 sum = 0;
        for (int i = 0; i < 20; i += 2)
            sum ^= quint16(quint8(p.b[i]) | (quint8(p.b[i + 1]) << 8));
        p.u16(sum);
        const QByteArray eof = Buf().u32(3).u16(0).b;
        const int words = int(18 + m_records.size() + eof.size()) / 2;
        p.u16(1).u16(9).u16(0x0300).u32(quint32(words)).u16(8).u32(64).u16(0);
        return p.b + m_records + eof;
    }

private:
    int m_r, m_b, m_inch;
    QByteArray m_records;
};

std::unique_ptr<TMetafile> load(const QByteArray& bytes)
{
    auto mf = std::make_unique<TMetafile>();
    mf->LoadFromBytes(bytes);
    return mf;
}

QImage render(const QByteArray& bytes) { return load(bytes)->ToImage(); }

// The pixel is the colour, or (for text) any ink at all.
void expectColors(const QImage& img, const std::vector<std::pair<QPoint, TColor>>& probes, const char* name)
{
    for (const auto& [p, c] : probes)
        EXPECT_TRUE(isColor(img, p.x(), p.y(), c))
            << name << " at " << p.x() << "," << p.y() << ": " << std::hex << img.pixel(p);
}

} // namespace

// ---------------------------------------------------------------- mapping

TEST(WinMetafile, MappedRectangleLandsWhereTheMappingPutsIt)
{
    // Every case draws a red square that should cover picture pixels 24..71.
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"wmf window onto the box",
         Wmf().words(WmfSetMapMode, {8}).words(WmfSetWindowOrg, {0, 0}).words(WmfSetWindowExt, {200, 200})
             .brush(clRed).select(0).pen(clRed).select(1).box(WmfRectangle, 50, 50, 150, 150).bytes()},
        {"wmf window origin moved",
         Wmf().words(WmfSetWindowOrg, {-100, -100}).words(WmfSetWindowExt, {96, 96})
             .brush(clRed).select(0).pen(clRed).select(1).box(WmfRectangle, -76, -76, -28, -28).bytes()},
        {"wmf box in twips",
         Wmf(1440, 1440, 1440).brush(clRed).select(0).pen(clRed).select(1).box(WmfRectangle, 360, 360, 1080, 1080)
             .bytes()},
        {"emf text mode",
         Emf().brush(1, clRed).select(1).pen(2, clRed).select(2).box(EmrRectangle, 24, 24, 72, 72).bytes()},
        {"emf anisotropic",
         Emf().value(EmrSetMapMode, 8).pair(EmrSetWindowExt, 200, 400).pair(EmrSetViewportExt, 96, 192)
             .brush(1, clRed).select(1).pen(2, clRed).select(2).box(EmrRectangle, 50, 50, 150, 150).bytes()},
        {"emf himetric, y up",
         Emf().value(EmrSetMapMode, 3).brush(1, clRed).select(1).pen(2, clRed).select(2)
             .box(EmrRectangle, 635, -635, 1905, -1905).bytes()},
        {"emf viewport origin",
         Emf().pair(EmrSetViewportOrg, 10, 10).brush(1, clRed).select(1).pen(2, clRed).select(2)
             .box(EmrRectangle, 14, 14, 62, 62).bytes()},
        {"emf world, scale left of a translation",
         Emf().world(1, 0, 0, 1, 20, 20).rec(EmrSetWorldTransform + 1, Buf().f32(2).f32(0).f32(0).f32(2).f32(0).f32(0).u32(2))
             .brush(1, clRed).select(1).pen(2, clRed).select(2).box(EmrRectangle, 2, 2, 26, 26).bytes()},
        {"emf world, scale right of a translation",
         Emf().world(1, 0, 0, 1, 10, 10).rec(EmrSetWorldTransform + 1, Buf().f32(2).f32(0).f32(0).f32(2).f32(0).f32(0).u32(3))
             .brush(1, clRed).select(1).pen(2, clRed).select(2).box(EmrRectangle, 2, 2, 26, 26).bytes()},
        {"emf viewport extent scaled",
         Emf().value(EmrSetMapMode, 8).pair(EmrSetWindowExt, 200, 200).pair(EmrSetViewportExt, 48, 48)
             .rec(31, Buf().u32(2).u32(1).u32(2).u32(1))
             .brush(1, clRed).select(1).pen(2, clRed).select(2).box(EmrRectangle, 50, 50, 150, 150).bytes()},
        {"emf isotropic takes the smaller scale",
         Emf().value(EmrSetMapMode, 7).pair(EmrSetWindowExt, 200, 100).pair(EmrSetViewportExt, 96, 96)
             .brush(1, clRed).select(1).pen(2, clRed).select(2).box(EmrRectangle, 50, 50, 150, 150).bytes()},
        {"wmf window extent scaled",
         Wmf().words(WmfSetWindowExt, {100, 100}).words(0x0410, {1, 2, 1, 2})
             .brush(clRed).select(0).pen(clRed).select(1).box(WmfRectangle, 50, 50, 150, 150).bytes()},
        {"wmf window origin offset",
         Wmf().words(WmfSetWindowExt, {96, 96}).words(0x020F, {-10, -10})
             .brush(clRed).select(0).pen(clRed).select(1).box(WmfRectangle, 14, 14, 62, 62).bytes()},
        {"emf world translation",
         Emf().world(1, 0, 0, 1, 20, 20).brush(1, clRed).select(1).pen(2, clRed).select(2)
             .box(EmrRectangle, 4, 4, 52, 52).bytes()},
    };
    for (const Case& c : cases) {
        const auto mf = load(c.bytes);
        ASSERT_EQ(mf->Width(), 96) << c.name;
        const QImage img = mf->ToImage();
        EXPECT_EQ(inkBox(img), QRect(QPoint(24, 24), QPoint(71, 71))) << c.name;
        EXPECT_EQ(countColor(img, clRed), 48 * 48) << c.name;
    }
}

TEST(WinMetafile, WorldRotationTurnsTheRectangleIntoADiamond)
{
    const float c = float(std::sqrt(0.5));
    const QImage img = render(Emf().world(c, c, -c, c, 48, 48).fill(clRed).box(EmrRectangle, -20, -20, 20, 20).bytes());
    expectColors(img, {{{48, 48}, clRed}, {{48, 22}, clRed}, {{22, 48}, clRed}, {{74, 48}, clRed},
                       {{32, 32}, clWhite}, {{64, 64}, clWhite}},
                 "diamond");
    // The rotated ellipse and text follow too: a turned ellipse is a polygon.
    const QImage e = render(Emf().world(c, c, -c, c, 48, 48).fill(clBlue).box(EmrEllipse, -40, -10, 40, 10).bytes());
    expectColors(e, {{{48, 48}, clBlue}, {{70, 70}, clBlue}, {{26, 26}, clBlue}, {{70, 26}, clWhite}}, "ellipse");
}

// ---------------------------------------------------------------- objects and state

TEST(WinMetafile, WmfDeletedSlotIsReusedByTheNextObject)
{
    // Slots: 0 red brush, 1 blue pen; 0 is deleted, so the green brush takes
    // 0 and the yellow one 2.
    const QByteArray wmf = Wmf()
                               .brush(clRed)
                               .pen(clBlue)
                               .words(WmfDeleteObject, {0})
                               .brush(clGreen)
                               .brush(clYellow)
                               .select(0)
                               .select(1)
                               .box(WmfRectangle, 10, 10, 50, 50)
                               .select(2)
                               .box(WmfRectangle, 60, 60, 90, 90)
                               .bytes();
    const QImage img = render(wmf);
    expectColors(img, {{{30, 30}, clGreen}, {{10, 30}, clBlue}, {{49, 49}, clBlue}, {{75, 75}, clYellow},
                       {{60, 75}, clBlue}, {{55, 55}, clWhite}},
                 "slots");
    EXPECT_EQ(countColor(img, clRed), 0);
}

TEST(WinMetafile, EmfObjectReplacedInItsIndexAndStockObjects)
{
    const QByteArray emf = Emf()
                               .brush(1, clRed)
                               .select(1)
                               .value(EmrDeleteObject, 1)
                               .brush(1, clGreen)
                               .select(1)
                               .select(kNullPen)
                               .box(EmrRectangle, 10, 10, 40, 40)
                               .select(0x80000004) // black brush
                               .box(EmrRectangle, 50, 50, 80, 80)
                               .select(kNullBrush)
                               .select(0x80000007) // black pen
                               .box(EmrRectangle, 10, 50, 40, 80)
                               .bytes();
    const QImage img = render(emf);
    expectColors(img, {{{20, 20}, clGreen}, {{60, 60}, clBlack}, {{10, 60}, clBlack}, {{25, 65}, clWhite}},
                 "objects");

    // A geometric pen six units wide with flat ends, from ExtCreatePen.
    Buf pen;
    pen.u32(3).u32(0).u32(0).u32(0).u32(0).u32(0x10000 | 0x200).u32(6).u32(0).u32(quint32(clBlue)).u32(0).u32(0);
    const QImage wide = render(Emf().rec(95, pen).select(3).pair(EmrMoveTo, 20, 48).pair(EmrLineTo, 76, 48).bytes());
    EXPECT_EQ(inkBox(wide), QRect(20, 45, 56, 6));
}

TEST(WinMetafile, RestoreDcBringsBackMappingAndClip)
{
    // Inside the save: viewport moved to (50, 50) and clip to 10 x 10 there.
    const QByteArray emf = Emf()
                               .fill(clRed)
                               .rec(EmrSaveDc)
                               .pair(EmrSetViewportOrg, 50, 50)
                               .box(EmrIntersectClip, 0, 0, 10, 10)
                               .brush(2, clBlue)
                               .select(2)
                               .box(EmrRectangle, 0, 0, 40, 40)
                               .value(EmrRestoreDc, quint32(-1))
                               .box(EmrRectangle, 0, 0, 20, 20)
                               .bytes();
    const QImage img = render(emf);
    expectColors(img, {{{55, 55}, clBlue}, {{65, 65}, clWhite}, {{5, 5}, clRed}, {{18, 18}, clRed}}, "emf");
    EXPECT_EQ(countColor(img, clBlue), 100);

    // WMF with an absolute restore to the first save, past a second one.
    const QByteArray wmf = Wmf()
                               .brush(clRed)
                               .select(0)
                               .words(WmfSaveDc, {})
                               .box(WmfIntersectClip, 0, 0, 10, 10)
                               .words(WmfSaveDc, {})
                               .words(WmfSetWindowOrg, {-50, -50})
                               .words(WmfRestoreDc, {1})
                               .box(WmfRectangle, 0, 0, 40, 40)
                               .bytes();
    const QImage w = render(wmf);
    expectColors(w, {{{30, 30}, clRed}, {{5, 5}, clRed}}, "wmf");
}

TEST(WinMetafile, ExcludedClipLeavesAHoleInTheFill)
{
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"emf", Emf().box(EmrExcludeClip, 40, 40, 56, 56).fill(clRed).box(EmrRectangle, 20, 20, 76, 76).bytes()},
        {"wmf", Wmf().box(WmfExcludeClip, 40, 40, 56, 56).brush(clRed).select(0).pen(clRed).select(1)
                    .box(WmfRectangle, 20, 20, 76, 76).bytes()},
    };
    for (const Case& c : cases) {
        const QImage img = render(c.bytes);
        expectColors(img, {{{48, 48}, clWhite}, {{40, 40}, clWhite}, {{39, 39}, clRed}, {{56, 56}, clRed},
                           {{25, 70}, clRed}},
                     c.name);
    }
    // A clip region reset by a copy of no region: drawn again in full.
    const QImage reset = render(Emf()
                                    .box(EmrIntersectClip, 0, 0, 10, 10)
                                    .rec(EmrExtSelectClipRgn, Buf().u32(0).u32(5))
                                    .fill(clRed)
                                    .box(EmrRectangle, 20, 20, 30, 30)
                                    .bytes());
    EXPECT_TRUE(isColor(reset, 25, 25, clRed));
}

TEST(WinMetafile, ClipShapesFollowTheTransformAndPaths)
{
    const float c = float(std::sqrt(0.5));
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    // Each leaves a diamond or disc around the centre visible, the corners not.
    const Case cases[] = {
        {"turned clip rectangle", Emf().world(c, c, -c, c, 48, 48).box(EmrIntersectClip, -25, -25, 25, 25)
                                      .rec(EmrSetWorldTransform + 1, Buf().f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).u32(1))
                                      .fill(clRed).box(EmrRectangle, 0, 0, 96, 96).bytes()},
        {"clip path", Emf().rec(EmrBeginPath).box(EmrEllipse, 13, 13, 83, 83).rec(EmrEndPath)
                          .value(EmrSelectClipPath, 5).fill(clRed).box(EmrRectangle, 0, 0, 96, 96).bytes()},
    };
    for (const Case& k : cases) {
        const QImage img = render(k.bytes);
        expectColors(img, {{{48, 48}, clRed}, {{48, 16}, clRed}, {{16, 48}, clRed}, {{18, 18}, clWhite},
                           {{78, 78}, clWhite}, {{5, 90}, clWhite}},
                     k.name);
    }
}

TEST(WinMetafile, PolygonFillModes)
{
    // A pentagram: its centre is inside twice.
    std::vector<QPoint> star;
    for (int i = 0; i < 5; ++i) {
        const double a = M_PI / 2 + i * 4 * M_PI / 5;
        star.push_back(QPoint(int(std::lround(48 + 40 * std::cos(a))), int(std::lround(48 - 40 * std::sin(a)))));
    }
    struct Case {
        const char* name;
        QByteArray bytes;
        TColor centre;
    };
    Wmf wmfAlt, wmfWind;
    for (auto [w, mode] : {std::pair{&wmfAlt, 1}, {&wmfWind, 2}}) {
        Buf p;
        p.u16(5);
        for (const QPoint& q : star)
            p.u16(q.x()).u16(q.y());
        w->words(WmfSetPolyFillMode, {mode}).brush(clRed).select(0).pen(clRed).select(1).rec(WmfPolygon, p);
    }
    const Case cases[] = {
        {"emf alternate", Emf().value(EmrSetPolyFillMode, 1).fill(clRed).poly16(EmrPolygon16, star).bytes(), clWhite},
        {"emf winding", Emf().value(EmrSetPolyFillMode, 2).fill(clRed).poly16(EmrPolygon16, star).bytes(), clRed},
        {"wmf alternate", wmfAlt.bytes(), clWhite},
        {"wmf winding", wmfWind.bytes(), clRed},
    };
    for (const Case& c : cases) {
        const QImage img = render(c.bytes);
        expectColors(img, {{{48, 48}, c.centre}, {{48, 16}, clRed}, {{5, 90}, clWhite}}, c.name);
    }
}

TEST(WinMetafile, PolyPolygonHasHolesAndNoBridges)
{
    const QImage img = render(Emf()
                                  .fill(clRed)
                                  .polyPoly16({{{10, 10}, {86, 10}, {86, 86}, {10, 86}},
                                               {{30, 30}, {66, 30}, {66, 66}, {30, 66}}})
                                  .bytes());
    expectColors(img, {{{20, 20}, clRed}, {{48, 48}, clWhite}, {{20, 48}, clRed}, {{25, 25}, clRed}}, "rings");
    EXPECT_GT(countColor(img, clRed), 76 * 76 - 36 * 36 - 200);
}

TEST(WinMetafile, PathIsFilledOnlyWhenAsked)
{
    const QByteArray emf = Emf()
                               .brush(1, clRed)
                               .select(1)
                               .pen(2, clBlack)
                               .select(2)
                               .rec(EmrBeginPath)
                               .pair(EmrMoveTo, 10, 80)
                               .pair(EmrLineTo, 48, 10)
                               .poly16(EmrPolyBezierTo16, {{60, 30}, {80, 50}, {86, 80}})
                               .rec(EmrCloseFigure)
                               .rec(EmrEndPath)
                               .rec(EmrFillPath, Emf::rectL(0, 0, 0, 0))
                               .bytes();
    const QImage img = render(emf);
    expectColors(img, {{{48, 60}, clRed}, {{48, 20}, clRed}, {{10, 10}, clWhite}, {{90, 90}, clWhite}}, "fill");
    EXPECT_EQ(countColor(img, clBlack), 0); // neither building nor filling strokes

    const QImage stroked = render(Emf()
                                      .rec(EmrBeginPath)
                                      .box(EmrRectangle, 20, 20, 70, 70)
                                      .rec(EmrEndPath)
                                      .rec(EmrStrokePath, Emf::rectL(0, 0, 0, 0))
                                      .bytes());
    expectColors(stroked, {{{20, 40}, clBlack}, {{45, 45}, clWhite}}, "stroke");
}

// ---------------------------------------------------------------- shapes

TEST(WinMetafile, EveryShapeDrawsInsideItsBox)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QRect box; // ink must be inside and reach near its edges
    };
    const Buf arc = Emf::rectL(20, 20, 76, 76).u32(76).u32(48).u32(20).u32(48);
    const auto emf = [] { return Emf().pen(1, clBlue).select(1).brush(2, clRed).select(2); };
    const auto wmf = [] { return Wmf().pen(clBlue).select(0).brush(clRed).select(1); };
    Buf line;
    line.u16(3).u16(20).u16(20).u16(76).u16(40).u16(30).u16(76);
    Buf polyPoly;
    polyPoly.u16(2).u16(3).u16(3).u16(20).u16(20).u16(40).u16(20).u16(20).u16(40).u16(60).u16(60).u16(76).u16(60)
        .u16(60).u16(76);
    const Case cases[] = {
        {"emf ellipse", emf().box(EmrEllipse, 20, 20, 76, 76).bytes(), QRect(20, 20, 56, 56)},
        {"emf round rect", emf().rec(EmrRoundRect, Emf::rectL(20, 20, 76, 76).u32(20).u32(20)).bytes(),
         QRect(20, 20, 56, 56)},
        {"emf arc", emf().rec(EmrArc, arc).bytes(), QRect(20, 20, 56, 29)},
        {"emf chord", emf().rec(EmrChord, arc).bytes(), QRect(20, 20, 56, 29)},
        {"emf pie", emf().rec(EmrPie, arc).bytes(), QRect(20, 20, 56, 29)},
        {"emf angle arc",
         emf().pair(EmrMoveTo, 76, 48).rec(EmrAngleArc, Buf().u32(48).u32(48).u32(28).f32(0).f32(180)).bytes(),
         QRect(20, 20, 57, 29)},
        {"emf bezier", emf().poly16(EmrPolyBezier16, {{20, 76}, {20, 20}, {76, 20}, {76, 76}}).bytes(),
         QRect(20, 34, 57, 43)},
        {"emf polyline", emf().rec(EmrPolyline, Emf::rectL(0, 0, 0, 0).u32(3).u32(20).u32(20).u32(76).u32(40).u32(30)
                                                     .u32(76)).bytes(),
         QRect(20, 20, 57, 57)},
        {"emf pixel", emf().rec(EmrSetPixelV, Buf().u32(33).u32(44).u32(clBlue)).bytes(), QRect(33, 44, 1, 1)},
        {"wmf ellipse", wmf().box(WmfEllipse, 20, 20, 76, 76).bytes(), QRect(20, 20, 56, 56)},
        {"wmf round rect", wmf().words(WmfRoundRect, {20, 20, 76, 76, 20, 20}).bytes(), QRect(20, 20, 56, 56)},
        {"wmf arc", wmf().words(WmfArc, {48, 20, 48, 76, 76, 76, 20, 20}).bytes(), QRect(20, 20, 56, 29)},
        {"wmf chord", wmf().words(WmfChord, {48, 20, 48, 76, 76, 76, 20, 20}).bytes(), QRect(20, 20, 56, 29)},
        {"wmf pie", wmf().words(WmfPie, {48, 20, 48, 76, 76, 76, 20, 20}).bytes(), QRect(20, 20, 56, 29)},
        {"wmf polyline", wmf().rec(WmfPolyline, line).bytes(), QRect(20, 20, 57, 57)},
        {"wmf polypolygon", wmf().rec(WmfPolyPolygon, polyPoly).bytes(), QRect(20, 20, 57, 57)},
        {"wmf line", wmf().words(WmfMoveTo, {20, 20}).words(WmfLineTo, {20, 77}).bytes(), QRect(20, 20, 57, 1)},
        {"wmf pixel", wmf().rec(WmfSetPixel, Buf().u32(clBlue).u16(44).u16(33)).bytes(), QRect(33, 44, 1, 1)},
        {"wmf patblt", wmf().rec(WmfPatBlt, Buf().u32(0x00F00021).u16(10).u16(20).u16(30).u16(40)).bytes(),
         QRect(40, 30, 20, 10)},
    };
    for (const Case& c : cases) {
        const QImage img = render(c.bytes);
        const QRect ink = inkBox(img);
        ASSERT_FALSE(ink.isNull()) << c.name;
        EXPECT_TRUE(c.box.adjusted(-1, -1, 1, 1).contains(ink)) << c.name << " ink " << ink.x() << "," << ink.y()
                                                                 << " " << ink.width() << "x" << ink.height();
        EXPECT_GE(ink.width(), c.box.width() - 3) << c.name;
        EXPECT_GE(ink.height(), c.box.height() - 3) << c.name;
    }
}

// ---------------------------------------------------------------- pictures

TEST(WinMetafile, DibsAreStretchedIntoPlace)
{
    // Each DIB is 2 x 2: red, green on top; blue, yellow below.
    const std::vector<quint32> palette = {quad(clRed), quad(clGreen), quad(clBlue), quad(clYellow)};
    Buf rgb24; // bottom-up: the lower row first
    rgb24.u8(0xFF).u8(0).u8(0).u8(0).u8(0xFF).u8(0xFF).u8(0).u8(0);
    rgb24.u8(0).u8(0).u8(0xFF).u8(0).u8(0x80).u8(0).u8(0).u8(0);
    const QByteArray info24 = dibHeader(2, 2, 24, 0, {});
    Buf rgb32; // top-down, bit fields
    for (TColor c : {clRed, clGreen, clBlue, clYellow})
        rgb32.u32(quad(c));
    Buf rgb16; // 5-5-5, bottom-up
    rgb16.u16(0x001F).u16(0x7FE0);
    rgb16.u16(0x7C00).u16(0x0200);
    const QByteArray idx8 = Buf().u8(0).u8(1).u8(0).u8(0).u8(2).u8(3).u8(0).u8(0).b;      // top-down
    const QByteArray idx4 = Buf().u8(0x23).u8(0).u8(0).u8(0).u8(0x01).u8(0).u8(0).u8(0).b; // bottom-up
    // Run-length rows, bottom first: runs of one pixel, end of line, end of picture.
    const QByteArray rle8 = Buf().u8(1).u8(2).u8(1).u8(3).u8(0).u8(0).u8(1).u8(0).u8(1).u8(1).u8(0).u8(1).b;
    QByteArray rle8Info = dibHeader(2, 2, 8, 1, palette);
    const QByteArray packed8 = dibHeader(2, -2, 8, 0, palette) + idx8;
    QImage quads(2, 2, QImage::Format_RGB32);
    quads.setPixel(0, 0, qRgb(255, 0, 0));
    quads.setPixel(1, 0, qRgb(0, 128, 0));
    quads.setPixel(0, 1, qRgb(0, 0, 255));
    quads.setPixel(1, 1, qRgb(255, 255, 0));
    TPngImage png;
    png.EncodeFrom(quads);
    const QRect dest(16, 16, 64, 64), src(0, 0, 2, 2), unit(1, 1, 2, 2), small(16, 16, 32, 32);
    const TColor green16 = RGB(0, 0x83, 0); // 5-bit green 0x10
    // Logical units of 16 pixels, for the records that do not stretch.
    const auto emf16 = [] { return Emf().value(EmrSetMapMode, 8).pair(EmrSetWindowExt, 6, 6).pair(EmrSetViewportExt, 96, 96); };
    const auto wmf16 = [] { return Wmf().words(WmfSetWindowExt, {6, 6}); };
    Buf dibBitBlt;
    dibBitBlt.u32(0x00CC0020).u16(0).u16(0).u16(2).u16(2).u16(1).u16(1).raw(packed8);
    Buf dibStretchBlt;
    dibStretchBlt.u32(0x00CC0020).u16(2).u16(2).u16(0).u16(0).u16(64).u16(64).u16(16).u16(16).raw(packed8);
    Buf setDibToDev;
    setDibToDev.u16(0).u16(2).u16(0).u16(0).u16(0).u16(2).u16(2).u16(1).u16(1).raw(packed8);
    struct Case {
        const char* name;
        QByteArray bytes;
        QRect dest;
        TColor topRight;
    };
    const Case cases[] = {
        {"emf 24-bit", Emf().stretchDib(dest, src, info24, rgb24.b).bytes(), dest, clGreen},
        {"emf 32-bit fields",
         Emf().stretchDib(dest, src, dibHeader(2, -2, 32, 3, {0xFF0000, 0xFF00, 0xFF}), rgb32.b).bytes(), dest, clGreen},
        {"emf 16-bit", Emf().stretchDib(dest, src, dibHeader(2, 2, 16, 0, {}), rgb16.b).bytes(), dest, green16},
        {"emf 8-bit run lengths", Emf().stretchDib(dest, src, rle8Info, rle8).bytes(), dest, clGreen},
        {"emf png", Emf().stretchDib(dest, src, dibHeader(2, 2, 0, 5, {}), png.SaveToBytes()).bytes(), dest, clGreen},
        {"emf stretch blt", Emf().blt(EmrStretchBlt, dest, src, 0x00CC0020, info24, rgb24.b).bytes(), dest, clGreen},
        {"emf bit blt", emf16().blt(EmrBitBlt, unit, src, 0x00CC0020, info24, rgb24.b).bytes(), small, clGreen},
        {"emf dib to device", emf16().dibToDevice({1, 1}, src, info24, rgb24.b).bytes(), small, clGreen},
        {"wmf 8-bit palette", Wmf().stretchDib(dest, src, packed8).bytes(), dest, clGreen},
        {"wmf 4-bit palette", Wmf().stretchDib(dest, src, dibHeader(2, 2, 4, 0, palette) + idx4).bytes(), dest, clGreen},
        {"wmf dib stretch blt", Wmf().rec(WmfDibStretchBlt, dibStretchBlt).bytes(), dest, clGreen},
        {"wmf dib bit blt", wmf16().rec(WmfDibBitBlt, dibBitBlt).bytes(), small, clGreen},
        {"wmf dib to device", wmf16().rec(WmfSetDibToDev, setDibToDev).bytes(), small, clGreen},
    };
    for (const Case& c : cases) {
        const QImage img = render(c.bytes);
        const QRect& d = c.dest;
        expectColors(img, {{d.topLeft() + QPoint(2, 2), clRed}, {d.topRight() + QPoint(-2, 2), c.topRight},
                           {d.bottomLeft() + QPoint(2, -2), clBlue}, {d.bottomRight() - QPoint(2, 2), clYellow},
                           {d.topLeft() - QPoint(1, 1), clWhite}, {d.bottomRight() + QPoint(1, 1), clWhite}},
                     c.name);
        EXPECT_EQ(inkBox(img), d) << c.name;
    }
}

TEST(WinMetafile, RunLengthDibsInAbsoluteMode)
{
    // Three pixels red, green, blue given one by one; stretched into thirds.
    const std::vector<quint32> palette = {quad(clRed), quad(clGreen), quad(clBlue)};
    const struct {
        int bpp;
        quint32 compression;
        QByteArray bits;
    } cases[] = {
        {8, 1, QByteArray::fromHex("0003000102000001")},
        {4, 2, QByteArray::fromHex("000301200001")},
    };
    for (const auto& c : cases) {
        const QImage img = render(
            Emf().stretchDib(QRect(0, 0, 96, 32), QRect(0, 0, 3, 1), dibHeader(3, 1, c.bpp, c.compression, palette), c.bits)
                .bytes());
        expectColors(img, {{{16, 16}, clRed}, {{48, 16}, clGreen}, {{80, 16}, clBlue}, {{48, 40}, clWhite}},
                     c.bpp == 8 ? "rle8" : "rle4");
    }
}

TEST(WinMetafile, AlphaAndTransparentBlits)
{
    const QRect dest(16, 16, 64, 64), one(0, 0, 1, 1);
    const QByteArray halfRed = Buf().u8(0).u8(0).u8(0x80).u8(0x80).b; // premultiplied
    const QByteArray red24 = Buf().u8(0).u8(0).u8(0xFF).u8(0).b;
    // 2 x 1: red, then green as the transparent colour.
    const QByteArray redGreen = Buf().u8(0).u8(0).u8(0xFF).u8(0).u8(0x80).u8(0).u8(0).u8(0).b;
    struct Case {
        const char* name;
        QByteArray bytes;
        QPoint probe;
        QRgb expected;
    };
    const Case cases[] = {
        {"per-pixel alpha", Emf().blt(EmrAlphaBlend, dest, one, 0x01FF0000, dibHeader(1, 1, 32, 0, {}), halfRed).bytes(),
         {48, 48}, qRgb(0xFF, 0x7F, 0x7F)},
        {"constant alpha", Emf().blt(EmrAlphaBlend, dest, one, 0x00800000, dibHeader(1, 1, 24, 0, {}), red24).bytes(),
         {48, 48}, qRgb(0xFF, 0x7F, 0x7F)},
        {"transparent colour kept", Emf().blt(EmrTransparentBlt, dest, QRect(0, 0, 2, 1), quint32(clGreen),
                                              dibHeader(2, 1, 24, 0, {}), redGreen).bytes(),
         {70, 48}, qRgb(0xFF, 0xFF, 0xFF)},
        {"transparent blit draws the rest", Emf().blt(EmrTransparentBlt, dest, QRect(0, 0, 2, 1), quint32(clGreen),
                                                      dibHeader(2, 1, 24, 0, {}), redGreen).bytes(),
         {20, 48}, qRgb(0xFF, 0, 0)},
    };
    for (const Case& c : cases) {
        const QRgb got = render(c.bytes).pixel(c.probe) & 0xFFFFFF;
        EXPECT_LE(std::abs(qRed(got) - qRed(c.expected)) + std::abs(qGreen(got) - qGreen(c.expected))
                      + std::abs(qBlue(got) - qBlue(c.expected)),
                  6)
            << c.name << ": " << std::hex << got;
    }
}

TEST(WinMetafile, PatternBrushesFillWithTheirAverageColour)
{
    // Red and blue alternating: purple on average.
    const QByteArray info = dibHeader(2, 2, 8, 0, {quad(clRed), quad(clBlue)});
    const QByteArray bits = Buf().u8(0).u8(1).u8(0).u8(0).u8(1).u8(0).u8(0).u8(0).b;
    Buf wmfBrush;
    wmfBrush.u16(5).u16(0).raw(info + bits);
    for (const QByteArray& bytes :
         {Emf().patternBrush(1, info, bits).select(1).select(kNullPen).box(EmrRectangle, 10, 10, 50, 50).bytes(),
          Wmf().rec(WmfDibPatternBrush, wmfBrush).select(0).box(WmfRectangle, 10, 10, 50, 50).bytes()}) {
        const QRgb c = render(bytes).pixel(30, 30);
        EXPECT_NEAR(qRed(c), 0x7F, 1);
        EXPECT_EQ(qGreen(c), 0);
        EXPECT_NEAR(qBlue(c), 0x7F, 1);
    }
}

TEST(WinMetafile, RegionsFillAndClip)
{
    const QByteArray rgn = Emf::region({QRect(10, 10, 20, 20), QRect(50, 50, 20, 20)});
    Buf wmfRegion; // one scan from y 10 to 30 with spans 10..30 and 50..70
    wmfRegion.u16(0).u16(6).u32(0).u16(34).u16(1).u16(4).u16(10).u16(10).u16(70).u16(30);
    wmfRegion.u16(4).u16(10).u16(30).u16(10).u16(30).u16(50).u16(70).u16(4);
    struct Case {
        const char* name;
        QByteArray bytes;
        std::vector<std::pair<QPoint, TColor>> probes;
    };
    const Case cases[] = {
        {"emf fill region", Emf().brush(1, clRed).rec(EmrFillRgn, Emf::rectL(0, 0, 0, 0).u32(quint32(rgn.size())).u32(1)
                                                               .raw(rgn)).bytes(),
         {{{15, 15}, clRed}, {{60, 60}, clRed}, {{40, 40}, clWhite}}},
        {"emf paint region", Emf().fill(clBlue).rec(EmrPaintRgn, Emf::rectL(0, 0, 0, 0).u32(quint32(rgn.size()))
                                                               .raw(rgn)).bytes(),
         {{{15, 15}, clBlue}, {{60, 60}, clBlue}, {{40, 40}, clWhite}}},
        {"emf clip region", Emf().rec(EmrExtSelectClipRgn, Buf().u32(quint32(rgn.size())).u32(5).raw(rgn)).fill(clRed)
                                .box(EmrRectangle, 0, 0, 96, 96).bytes(),
         {{{15, 15}, clRed}, {{60, 60}, clRed}, {{40, 40}, clWhite}, {{5, 5}, clWhite}}},
        {"wmf fill region", Wmf().rec(WmfCreateRegion, wmfRegion).brush(clRed).words(WmfFillRegion, {0, 1}).bytes(),
         {{{15, 15}, clRed}, {{60, 15}, clRed}, {{40, 15}, clWhite}, {{15, 40}, clWhite}}},
        {"wmf clip region", Wmf().rec(WmfCreateRegion, wmfRegion).words(WmfSelectClipRegion, {0}).brush(clRed)
                                .select(1).box(WmfRectangle, 0, 0, 96, 96).bytes(),
         {{{15, 15}, clRed}, {{60, 15}, clRed}, {{40, 15}, clWhite}, {{15, 40}, clWhite}}},
    };
    for (const Case& c : cases)
        expectColors(render(c.bytes), c.probes, c.name);
}

// ---------------------------------------------------------------- text

TEST(WinMetafile, EmfTextIsDrawnAndFound)
{
    const QByteArray emf = Emf(192, 96)
                               .font(1, -20, QStringLiteral("Arial"))
                               .select(1)
                               .value(EmrSetTextColor, clBlue)
                               .value(EmrSetBkMode, 1)
                               .textW(10, 30, QStringLiteral("Cena 12 Kč"), {12, 12, 12, 12, 12, 12, 12, 12, 12, 12})
                               .bytes();
    const auto mf = load(emf);
    const auto items = mf->TextItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, QStringLiteral("Cena 12 Kč"));
    EXPECT_EQ(items[0].bounds.Left, 10);
    EXPECT_EQ(items[0].bounds.Top, 30);
    EXPECT_EQ(items[0].bounds.Width(), 120); // the advances given
    const QImage img = mf->ToImage();
    const QRect ink = inkBox(img);
    EXPECT_GT(countColor(img, clBlue), 50);
    EXPECT_GE(ink.left(), 10);
    EXPECT_LE(ink.right(), 130);
    EXPECT_GE(ink.top(), 30);
    EXPECT_LE(ink.bottom(), 30 + 24);
}

TEST(WinMetafile, EmfAnsiTextAndOpaqueRectangles)
{
    const QByteArray czech = QByteArray::fromHex("da686ff8"); // "Úhoř" in code page 1250, as iconv writes it
    const auto mf = load(Emf(192, 96)
                             .font(1, -20, QStringLiteral("Arial"), 0, 238)
                             .select(1)
                             .rec(25, Buf().u32(quint32(clYellow))) // background colour
                             .text(EmrTextA, 10, 10, czech, int(czech.size()), {}, ETO_OPAQUE, QRect(5, 5, 100, 30))
                             .bytes());
    const auto items = mf->TextItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, QStringLiteral("Úhoř"));
    const QImage img = mf->ToImage();
    expectColors(img, {{{6, 6}, clYellow}, {{103, 33}, clYellow}, {{106, 10}, clWhite}, {{6, 36}, clWhite}}, "opaque");
    EXPECT_GT(countColor(img, clBlack), 30);
}

TEST(WinMetafile, WmfTextIsDecodedByTheFontCharset)
{
    // Bytes as iconv writes "Příliš žluťoučký kůň" in code page 1250.
    const QByteArray czech = QByteArray::fromHex("50f8ed6c699a209e6c759d6f75e86bfd206bf9f2");
    const QString expected = QStringLiteral("Příliš žluťoučký kůň");
    struct Case {
        const char* name;
        QByteArray bytes;
        QString text;
    };
    Buf ext; // ExtTextOut with a clipping rectangle and advances
    ext.u16(40).u16(5).u16(int(czech.size())).u16(4).u16(0).u16(0).u16(192).u16(96).raw(czech).pad(2);
    for (int i = 0; i < czech.size(); ++i)
        ext.u16(9);
    const Case cases[] = {
        {"east europe", Wmf(192, 96).font(-16, 238, "Arial").select(0).textOut(5, 40, czech).bytes(), expected},
        {"default set", Wmf(192, 96).font(-16, 1, "Arial").select(0).textOut(5, 40, czech).bytes(), expected},
        {"legacy CE face", Wmf(192, 96).font(-16, 0, "Arial CE").select(0).textOut(5, 40, czech).bytes(), expected},
        {"western set", Wmf(192, 96).font(-16, 0, "Arial").select(0).textOut(5, 40, QByteArray("\xE8", 1)).bytes(),
         QStringLiteral("è")},
        {"ext text out", Wmf(192, 96).font(-16, 238, "Arial").select(0).rec(WmfExtTextOut, ext).bytes(), expected},
    };
    for (const Case& c : cases) {
        const auto mf = load(c.bytes);
        const auto items = mf->TextItems();
        ASSERT_EQ(items.size(), 1u) << c.name;
        EXPECT_EQ(items[0].text, c.text) << c.name;
        EXPECT_EQ(mf->Records()[size_t(items[0].record)].fontName.left(5), QStringLiteral("Arial")) << c.name;
        EXPECT_FALSE(inkBox(mf->ToImage()).isNull()) << c.name;
    }
    const auto ext0 = load(cases[4].bytes)->TextItems();
    EXPECT_EQ(ext0[0].bounds.Left, 5);
    EXPECT_EQ(ext0[0].bounds.Right, 5 + 9 * int(czech.size()));

    // Extra spacing between characters widens the text by it per character.
    const auto plain = load(Wmf(192, 96).font(-16, 238, "Arial").select(0).textOut(5, 40, "abc").bytes())->TextItems();
    const auto spaced = load(Wmf(192, 96).font(-16, 238, "Arial").select(0).words(0x0108, {10})
                                 .textOut(5, 40, "abc").bytes())->TextItems();
    ASSERT_EQ(spaced.size(), 1u);
    EXPECT_EQ(spaced[0].bounds.Width(), plain[0].bounds.Width() + 30);
}

// ---------------------------------------------------------------- file handling

TEST(WinMetafile, BytesAreKeptAndThePictureCopiesAndScales)
{
    const QByteArray emf = Emf().fill(clRed).box(EmrRectangle, 24, 24, 48, 48).bytes();
    const auto mf = load(emf);
    EXPECT_TRUE(mf->Enhanced());
    EXPECT_EQ(mf->SaveToBytes(), emf);
    TMetafile copy;
    copy.Assign(mf.get());
    EXPECT_EQ(copy.SaveToBytes(), emf);
    EXPECT_EQ(copy.ToImage(), mf->ToImage());
    QImage big = whiteImage(192, 192);
    {
        TCanvas c(&big);
        c.StretchDraw(Rect(0, 0, 192, 192), copy);
    }
    EXPECT_EQ(inkBox(big), QRect(48, 48, 47, 47)); // a null pen leaves one pixel off

    const QByteArray wmf = Wmf().brush(clRed).select(0).box(WmfRectangle, 10, 10, 20, 20).bytes();
    TPicture pic;
    pic.LoadFromBytes(wmf);
    ASSERT_NE(dynamic_cast<TMetafile*>(pic.Graphic()), nullptr);
    EXPECT_EQ(pic.Graphic()->SaveToBytes(), wmf);
    EXPECT_TRUE(isColor(pic.Graphic()->ToImage(), 15, 15, clRed));
}

TEST(WinMetafile, EmfPlusCommentsAndEscapesAreSkipped)
{
    const QByteArray plus = Buf().u32(16).u32(0x2B464D45).u32(0x4001).u32(28).b; // "EMF+" and a header record
    const QImage img = render(Emf().rec(EmrGdiComment, Buf().u32(quint32(plus.size())).raw(plus))
                                  .fill(clRed)
                                  .box(EmrRectangle, 10, 10, 20, 20)
                                  .bytes());
    EXPECT_TRUE(isColor(img, 15, 15, clRed));
    const QImage w = render(Wmf().words(WmfEscape, {15, 4, 0x1234, 0x5678}).brush(clRed).select(0)
                                .box(WmfRectangle, 10, 10, 20, 20).bytes());
    EXPECT_TRUE(isColor(w, 15, 15, clRed));
}

// ---------------------------------------------------------------- damaged files

namespace {

// A red square, then the damage, then a blue one.
QByteArray emfAround(const std::function<void(Emf&)>& damage)
{
    Emf e;
    e.fill(clRed).box(EmrRectangle, 10, 10, 30, 30);
    damage(e);
    e.brush(2, clBlue).select(2).box(EmrRectangle, 50, 50, 70, 70);
    return e.bytes();
}

QByteArray wmfAround(const std::function<void(Wmf&)>& damage)
{
    Wmf w;
    w.brush(clRed).select(0).box(WmfRectangle, 10, 10, 30, 30);
    damage(w);
    w.brush(clBlue).select(1).box(WmfRectangle, 50, 50, 70, 70);
    return w.bytes();
}

} // namespace

TEST(WinMetafile, DamageStopsTranslationAndKeepsWhatCameBefore)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        bool blueDrawn; // damage that only drops its own record
    };
    const QByteArray absurdDib = dibHeader(1'000'000, 1'000'000, 24, 0, {});
    const QByteArray dibTooFewBits = dibHeader(64, 64, 24, 0, {});
    const Case cases[] = {
        {"emf zero-size record", emfAround([](Emf& e) { e.raw(Buf().u32(EmrRectangle).u32(0).b); }), false},
        {"emf size not a multiple of four",
         emfAround([](Emf& e) { e.raw(Buf().u32(EmrRectangle).u32(26).raw(Emf::rectL(0, 0, 9, 9).b).u16(0).b); }),
         false},
        {"emf size beyond the end",
         emfAround([](Emf& e) { e.raw(Buf().u32(EmrRectangle).u32(4000).raw(Emf::rectL(0, 0, 9, 9).b).b); }), false},
        {"emf polygon count lies", emfAround([](Emf& e) {
             e.rec(EmrPolygon16, Emf::rectL(0, 0, 0, 0).u32(0x40000000).u16(1).u16(1));
         }), false},
        {"emf polypolygon counts exceed points", emfAround([](Emf& e) {
             e.rec(EmrPolyPolygon16, Emf::rectL(0, 0, 0, 0).u32(1).u32(1).u32(1000).u16(1).u16(1));
         }), false},
        {"emf text longer than its record", emfAround([](Emf& e) {
             e.rec(EmrTextW, Emf::rectL(0, 0, 0, 0).u32(1).f32(1).f32(1).u32(0).u32(0).u32(100000).u32(76).u32(0)
                                 .raw(Emf::rectL(0, 0, 0, 0).b).u32(0));
         }), false},
        {"emf absurd dib", emfAround([&](Emf& e) { e.stretchDib(QRect(0, 0, 90, 90), QRect(0, 0, 2, 2), absurdDib, {}); }),
         true},
        {"emf dib with too few bits", emfAround([&](Emf& e) {
             e.stretchDib(QRect(0, 0, 90, 90), QRect(0, 0, 64, 64), dibTooFewBits, QByteArray(100, '\x7F'));
         }), true},
        {"emf dib offsets outside", emfAround([](Emf& e) {
             e.rec(EmrStretchDiBits, Emf::rectL(0, 0, 0, 0).u32(0).u32(0).u32(0).u32(0).u32(2).u32(2).u32(0x7FFFFFF0)
                                         .u32(40).u32(80).u32(16).u32(0).u32(0x00CC0020).u32(90).u32(90));
         }), false},
        {"emf restore without save, huge object index", emfAround([](Emf& e) {
             e.value(EmrRestoreDc, quint32(-5)).value(EmrRestoreDc, 7).select(0x7FFFFFFF).brush(0xFFFFFF, clBlack);
         }), true},
        {"wmf record size zero", wmfAround([](Wmf& w) { w.raw(Buf().u32(0).u16(WmfRectangle).b); }), false},
        {"wmf record size beyond the end",
         wmfAround([](Wmf& w) { w.raw(Buf().u32(0xFFFF).u16(WmfRectangle).u16(1).u16(1).u16(1).u16(1).b); }), false},
        {"wmf polygon count lies", wmfAround([](Wmf& w) { w.rec(WmfPolygon, Buf().u16(30000).u16(1).u16(1)); }), false},
        {"wmf polypolygon count lies",
         wmfAround([](Wmf& w) { w.rec(WmfPolyPolygon, Buf().u16(2).u16(3).u16(900).u16(1).u16(1)); }), false},
        {"wmf text longer than its record", wmfAround([](Wmf& w) { w.rec(WmfTextOut, Buf().u16(5000).u16(0x4141)); }),
         false},
        {"wmf absurd dib", wmfAround([&](Wmf& w) { w.stretchDib(QRect(0, 0, 90, 90), QRect(0, 0, 2, 2), absurdDib); }),
         true},
        {"wmf select and delete of missing objects",
         wmfAround([](Wmf& w) { w.select(999).words(WmfDeleteObject, {77}).words(WmfRestoreDc, {-3}); }), true},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TMetafile> mf;
        ASSERT_NO_THROW(mf = load(c.bytes)) << c.name;
        EXPECT_EQ(mf->SaveToBytes(), c.bytes) << c.name;
        const QImage img = mf->ToImage();
        EXPECT_TRUE(isColor(img, 20, 20, clRed)) << c.name;
        EXPECT_EQ(isColor(img, 60, 60, clBlue), c.blueDrawn) << c.name;
    }
}

TEST(WinMetafile, TruncatedFilesDrawWhatTheyHold)
{
    for (const QByteArray& whole : {emfAround([](Emf&) {}), wmfAround([](Wmf&) {})}) {
        // Shorter files are refused by the picture kind checks, as before.
        const bool enhanced = whole.startsWith(QByteArray::fromHex("01000000"));
        for (qsizetype cut = enhanced ? 100 : 22; cut < whole.size(); ++cut) {
            std::unique_ptr<TMetafile> mf;
            ASSERT_NO_THROW(mf = load(whole.left(cut))) << cut;
            const QImage img = mf->ToImage();
            // The red square is there once its record is whole; blue never before red.
            if (isColor(img, 60, 60, clBlue)) {
                EXPECT_TRUE(isColor(img, 20, 20, clRed)) << cut;
            }
        }
        EXPECT_TRUE(isColor(load(whole)->ToImage(), 60, 60, clBlue));
    }
}

TEST(WinMetafile, MutatedFilesNeverCrash)
{
    std::vector<QByteArray> fixtures;
    const float c = float(std::sqrt(0.5));
    fixtures.push_back(Emf()
                           .world(c, c, -c, c, 48, 0)
                           .fill(clRed)
                           .box(EmrEllipse, 0, 0, 40, 20)
                           .rec(EmrSaveDc)
                           .box(EmrIntersectClip, 0, 0, 50, 50)
                           .value(EmrSetMapMode, 8)
                           .pair(EmrSetWindowExt, 10, 10)
                           .pair(EmrSetViewportExt, 96, 96)
                           .poly16(EmrPolygon16, {{1, 1}, {9, 2}, {5, 9}})
                           .value(EmrRestoreDc, quint32(-1))
                           .rec(EmrBeginPath)
                           .poly16(EmrPolyBezier16, {{0, 0}, {10, 50}, {50, 10}, {90, 90}})
                           .rec(EmrEndPath)
                           .rec(EmrFillPath, Emf::rectL(0, 0, 0, 0))
                           .font(3, -12, QStringLiteral("Arial"), 450)
                           .select(3)
                           .textW(5, 5, QStringLiteral("ab"), {7, 7})
                           .stretchDib(QRect(10, 10, 20, 20), QRect(0, 0, 2, 2), dibHeader(2, 2, 8, 0, {quad(clRed)}),
                                       QByteArray(8, '\0'))
                           .bytes());
    fixtures.push_back(Wmf()
                           .words(WmfSetMapMode, {8})
                           .words(WmfSetWindowExt, {50, 50})
                           .brush(clRed)
                           .pen(clBlue, 2)
                           .select(0)
                           .select(1)
                           .words(WmfPie, {0, 10, 10, 0, 40, 40, 5, 5})
                           .words(WmfSaveDc, {})
                           .box(WmfIntersectClip, 0, 0, 30, 30)
                           .font(-10, 238, "Arial")
                           .select(2)
                           .textOut(3, 3, QByteArray("\xE8\x9E", 2))
                           .words(WmfRestoreDc, {-1})
                           .stretchDib(QRect(5, 5, 20, 20), QRect(0, 0, 2, 2),
                                       dibHeader(2, 2, 24, 0, {}) + QByteArray(16, '\x40'))
                           .words(WmfDeleteObject, {0})
                           .bytes());
    // Pictures, regions and paths, where most counts and offsets live.
    const std::vector<quint32> palette = {quad(clRed), quad(clGreen), quad(clBlue)};
    const QByteArray rgn = Emf::region({QRect(10, 10, 20, 20), QRect(50, 50, 20, 20)});
    fixtures.push_back(Emf()
                           .stretchDib(QRect(0, 0, 96, 32), QRect(0, 0, 3, 1), dibHeader(3, 1, 8, 1, palette),
                                       QByteArray::fromHex("0003000102000001"))
                           .blt(EmrAlphaBlend, QRect(0, 40, 20, 20), QRect(0, 0, 1, 1), 0x01FF0000,
                                dibHeader(1, 1, 32, 0, {}), QByteArray::fromHex("00008080"))
                           .blt(EmrTransparentBlt, QRect(30, 40, 20, 20), QRect(0, 0, 1, 1), 0,
                                dibHeader(1, 1, 24, 0, {}), QByteArray::fromHex("0000ff00"))
                           .dibToDevice({60, 60}, QRect(0, 0, 2, 1), dibHeader(2, 1, 4, 2, palette),
                                        QByteArray::fromHex("02120001"))
                           .patternBrush(1, dibHeader(1, 1, 24, 0, {}), QByteArray::fromHex("ff000000"))
                           .rec(EmrFillRgn, Emf::rectL(0, 0, 0, 0).u32(quint32(rgn.size())).u32(1).raw(rgn))
                           .rec(EmrExtSelectClipRgn, Buf().u32(quint32(rgn.size())).u32(1).raw(rgn))
                           .polyPoly16({{{1, 1}, {80, 1}, {40, 80}}, {{10, 10}, {20, 10}, {15, 20}}})
                           .rec(EmrBeginPath)
                           .rec(EmrPie, Emf::rectL(0, 0, 90, 90).u32(90).u32(45).u32(0).u32(45))
                           .rec(EmrEndPath)
                           .rec(EmrStrokePath, Emf::rectL(0, 0, 0, 0))
                           .text(EmrTextA, 3, 3, "xyz", 3, {5, 5, 5}, ETO_OPAQUE | ETO_CLIPPED, QRect(0, 0, 50, 20))
                           .bytes());
    Buf wmfRegion;
    wmfRegion.u16(0).u16(6).u32(0).u16(34).u16(1).u16(4).u16(10).u16(10).u16(70).u16(30);
    wmfRegion.u16(4).u16(10).u16(30).u16(10).u16(30).u16(50).u16(70).u16(4);
    fixtures.push_back(Wmf()
                           .rec(WmfCreateRegion, wmfRegion)
                           .brush(clRed)
                           .words(WmfFillRegion, {0, 1})
                           .words(WmfSelectClipRegion, {0})
                           .rec(WmfDibPatternBrush, Buf().u16(5).u16(0).raw(dibHeader(1, 1, 24, 0, {}) + QByteArray::fromHex("0000ff00")))
                           .select(2)
                           .words(WmfPolyPolygon, {2, 3, 3, 1, 1, 50, 1, 25, 50, 5, 5, 10, 5, 7, 10})
                           .rec(WmfDibBitBlt, Buf().u32(0x00CC0020).u16(0).u16(0).u16(1).u16(2).u16(1).u16(1)
                                                  .raw(dibHeader(2, 1, 1, 0, {quad(clBlack), quad(clWhite)}) + QByteArray::fromHex("80000000")))
                           .bytes());
    const auto outcome = mutation::runMutations(fixtures, 1000, 20261210, mutation::binaryTokens(),
                                                [](const QByteArray& bytes) {
        TMetafile mf;
        mf.LoadFromBytes(bytes); // the header checks still refuse what is no metafile
        // What loaded draws without any complaint.
        try {
            QImage small = whiteImage(64, 64);
            {
                TCanvas canvas(&small);
                mf.Draw(canvas, 0, 0, 64, 64);
            }
            if (qint64(mf.Width()) * mf.Height() <= 400 * 400)
                (void)mf.ToImage();
            (void)mf.TextItems();
        } catch (const Exception& e) {
            ADD_FAILURE() << "drawing raised " << qPrintable(e.message()) << " for " << bytes.toHex().constData();
        }
    });
    EXPECT_GT(outcome.accepted, 2000);
}

// ---------------------------------------------------------------- print resolution

// Logical units of a tenth of a pixel: a square from 10.5 to 50.5 pixels.
QByteArray tenthsSquare()
{
    return Emf()
        .value(EmrSetMapMode, 8)
        .pair(EmrSetWindowExt, 960, 960)
        .pair(EmrSetViewportExt, 96, 96)
        .fill(clRed)
        .box(EmrRectangle, 105, 105, 505, 505)
        .bytes();
}

TEST(WinMetafile, PrintedLargerItKeepsPositionsFinerThanItsPixels)
{
    const auto mf = load(tenthsSquare());
    EXPECT_EQ(mf->Width(), 96);
    for (int scale : {1, 8}) {
        QImage img = whiteImage(96 * scale, 96 * scale);
        {
            TCanvas c(&img);
            mf->Draw(c, 0, 0, img.width(), img.height());
        }
        const QRect box = inkBox(img);
        if (scale == 8) {
            // 10.5 and 50.5 pixels, not 10 or 11; without a pen the fill
            // leaves one device pixel off at the right.
            EXPECT_EQ(box.left(), 84);
            EXPECT_EQ(box.right() + 1, 404 - 1);
        } else {
            EXPECT_NEAR(box.left(), 10.5, 0.5);
            EXPECT_NEAR(box.right() + 1, 50.5 - 1, 0.5);
        }
    }
}

TEST(WinMetafile, DrawingOntoALoadedPictureKeepsBothAndSavesAsARecordList)
{
    auto mf = load(tenthsSquare());
    const QImage before = mf->ToImage();
    {
        TMetafileCanvas mc(*mf);
        mc.Brush().SetColor(clBlue);
        mc.FillRect(Rect(60, 60, 80, 80));
    }
    EXPECT_EQ(mf->Width(), 96);
    const QImage after = mf->ToImage();
    EXPECT_TRUE(isColor(after, 30, 30, clRed));
    EXPECT_TRUE(isColor(after, 60, 60, clBlue));
    EXPECT_TRUE(isColor(after, 79, 79, clBlue));
    EXPECT_TRUE(isColor(after, 80, 80, clWhite));
    EXPECT_EQ(after.copy(0, 0, 55, 55), before.copy(0, 0, 55, 55));

    const QByteArray saved = mf->SaveToBytes();
    EXPECT_EQ(DetectGraphicKind(saved), GraphicKind::Recording);
    TMetafile loaded;
    loaded.LoadFromBytes(saved);
    EXPECT_EQ(loaded.UnitsPerPixel(), mf->UnitsPerPixel());
    EXPECT_EQ(loaded.ToImage(), after);
}

// ---------------------------------------------------------------- files from another program

// data/drawing.svg as an office suite's export filter wrote it to EMF and to
// WMF: a framed red rectangle, a blue ellipse, a green triangle, a magenta
// line and a line of Czech text. Its exports are cropped to what is drawn,
// so the picture starts a few pixels before the rectangle's frame.
TEST(WinMetafile, ADrawingExportedByAnotherProgram)
{
    for (const char* name : {"drawing.emf", "drawing.wmf"}) {
        SCOPED_TRACE(name);
        QFile file(QStringLiteral(SORVAMET_TEST_DATA "/") + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const auto mf = load(bytes);
        EXPECT_NEAR(mf->Width(), 372, 2);
        EXPECT_NEAR(mf->Height(), 272, 2);
        const QImage img = mf->ToImage();
        EXPECT_TRUE(isColor(img, 82, 52, clRed));
        EXPECT_TRUE(isColor(img, 5, 52, clBlack)); // the rectangle's frame
        EXPECT_TRUE(isColor(img, 282, 52, clBlue));
        EXPECT_TRUE(isColor(img, 102, 222, TColor(0x00AA00)));
        EXPECT_TRUE(isColor(img, 322, 237, clFuchsia));
        EXPECT_TRUE(isColor(img, 240, 120, clWhite));
        const auto items = mf->TextItems();
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].text, u"Příliš žluťoučký"_s);
        EXPECT_NEAR(items[0].bounds.Left, 193, 4);
        EXPECT_EQ(mf->SaveToBytes(), bytes);
    }
}

// data/rich.svg exported to EMF the same way: a gradient, a dashed Bézier
// curve, rotated text, an embedded bitmap (blue over yellow, 120 x 90) and
// a triangle with a hole.
TEST(WinMetafile, ARicherDrawingExportedByAnotherProgram)
{
    QFile file(QStringLiteral(SORVAMET_TEST_DATA "/rich.emf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto mf = load(file.readAll());
    const QImage img = mf->ToImage();
    const auto boxOf = [&](QRgb rgb) {
        QImage mask = whiteImage(img.width(), img.height());
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF))
                    mask.setPixel(x, y, 0);
        return inkBox(mask);
    };
    const QRect blue = boxOf(qRgb(0, 128, 255)), yellow = boxOf(qRgb(255, 200, 0));
    EXPECT_NEAR(blue.width(), 120, 2);
    EXPECT_NEAR(blue.height() + yellow.height(), 90, 2);
    EXPECT_EQ(blue.left(), yellow.left());
    EXPECT_EQ(blue.bottom() + 1, yellow.top());
    // The gradient runs from red on the left to blue on the right.
    const QColor left = img.pixelColor(4, 20), right = img.pixelColor(170, 20);
    EXPECT_GT(left.red(), 200);
    EXPECT_LT(left.blue(), 50);
    EXPECT_GT(right.blue(), 200);
    EXPECT_LT(right.red(), 50);
    const auto items = mf->TextItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, u"Otočený text"_s);
    EXPECT_GT(countColor(img, TColor(0x000080)), 100); // the dark red text, drawn
}
