#pragma once
// The inside of the Windows metafile translator, shared by its files: checked
// little-endian reads, geometry, DIB decoding, the GDI state and the
// translator itself. The EMF and WMF readers each live in a file of their own.

#include "WinMetafile.h"

#include "Exceptions.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace plat::winmeta {

// ---------------------------------------------------------------- limits and constants

inline constexpr qint64 kMaxPixels = qint64(1) << 24;  // largest DIB decoded
inline constexpr int kMaxDimension = 1 << 16;
inline constexpr double kMaxCoord = double(1 << 22);   // picture units; beyond is damage
inline constexpr int kMaxExtent = 1 << 22;             // of the clip's notion of everywhere
inline constexpr int kMaxLength = 1 << 12;             // pen widths and font heights, picture units
inline constexpr size_t kMaxObjects = 1 << 16;
inline constexpr size_t kMaxSavedStates = 1 << 16;
inline constexpr int kMaxRecordsOut = 1'000'000;       // translation stops there
inline constexpr size_t kMaxPathPoints = 1 << 20;
inline constexpr int kDefaultFontHeight = -16;         // picture pixels, for a font height of 0
inline constexpr int kCurveSegments = 64;              // per full ellipse

enum MapMode { kMmText = 1, kMmLoMetric, kMmHiMetric, kMmLoEnglish, kMmHiEnglish, kMmTwips, kMmIsotropic, kMmAnisotropic };

inline constexpr unsigned kPsStyleMask = 0xF, kPsNull = 5, kPsUserStyle = 7, kPsAlternate = 8;
inline constexpr unsigned kPsEndCapMask = 0xF00, kPsEndCapSquare = 0x100, kPsEndCapFlat = 0x200;
inline constexpr unsigned kPsGeometric = 0x10000;

inline constexpr unsigned kBsSolid = 0, kBsNull = 1, kBsHatched = 2, kBsPattern = 3, kBsDibPattern = 5, kBsDibPatternPt = 6;

inline constexpr quint32 kSrcCopy = 0x00CC0020, kSrcPaint = 0x00EE0086, kSrcAnd = 0x008800C6, kSrcInvert = 0x00660046,
                  kMergePaint = 0x00BB0226, kBlackness = 0x00000042, kWhiteness = 0x00FF0062,
                  kPatCopy = 0x00F00021, kNotSrcCopy = 0x00330008;

enum RegionMode { kRgnAnd = 1, kRgnOr, kRgnXor, kRgnDiff, kRgnCopy };

inline constexpr unsigned kEtoGlyphIndex = 0x10, kEtoPdy = 0x2000;
inline constexpr int kDibPalColors = 1;

// Thrown inside the translator when a read leaves its record: translation
// stops there and keeps what it made.
struct Damaged {};

// Little-endian reads, each checked against the bytes it may see.
class Bytes {
public:
    Bytes() = default;
    Bytes(const char* data, qint64 size) : m_p(data), m_n(size) {}
    explicit Bytes(QByteArrayView v) : m_p(v.data()), m_n(v.size()) {}
    qint64 size() const { return m_n; }
    bool has(qint64 off, qint64 len) const { return off >= 0 && len >= 0 && off <= m_n && len <= m_n - off; }
    void need(qint64 off, qint64 len) const
    {
        if (!has(off, len))
            throw Damaged{};
    }
    quint8 u8(qint64 o) const
    {
        need(o, 1);
        return quint8(m_p[o]);
    }
    quint16 u16(qint64 o) const
    {
        need(o, 2);
        return quint16(quint8(m_p[o]) | (quint8(m_p[o + 1]) << 8));
    }
    qint16 s16(qint64 o) const { return qint16(u16(o)); }
    quint32 u32(qint64 o) const
    {
        need(o, 4);
        return quint32(quint8(m_p[o])) | (quint32(quint8(m_p[o + 1])) << 8) | (quint32(quint8(m_p[o + 2])) << 16)
               | (quint32(quint8(m_p[o + 3])) << 24);
    }
    qint32 s32(qint64 o) const { return qint32(u32(o)); }
    float f32(qint64 o) const
    {
        const quint32 v = u32(o);
        float f;
        std::memcpy(&f, &v, sizeof f);
        return std::isfinite(f) ? f : 0.0f;
    }
    QByteArrayView view(qint64 o, qint64 len) const
    {
        need(o, len);
        return QByteArrayView(m_p + o, len);
    }
    Bytes sub(qint64 o, qint64 len) const
    {
        need(o, len);
        return Bytes(m_p + o, len);
    }
    const char* data() const { return m_p; }

private:
    const char* m_p = nullptr;
    qint64 m_n = 0;
};

inline TColor colorRef(quint32 v) { return TColor(v & 0xFFFFFF); }

// ---------------------------------------------------------------- geometry

// An affine map as the platform writes it: x' = x*m11 + y*m21 + dx.
struct Xform {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

    QPointF map(double x, double y) const { return {x * m11 + y * m21 + dx, x * m12 + y * m22 + dy}; }
    QPointF map(QPointF p) const { return map(p.x(), p.y()); }
    // This map, then b.
    Xform then(const Xform& b) const
    {
        return {m11 * b.m11 + m12 * b.m21, m11 * b.m12 + m12 * b.m22, m21 * b.m11 + m22 * b.m21,
                m21 * b.m12 + m22 * b.m22, dx * b.m11 + dy * b.m21 + b.dx, dx * b.m12 + dy * b.m22 + b.dy};
    }
    double eps() const { return 1e-9 * (std::abs(m11) + std::abs(m12) + std::abs(m21) + std::abs(m22)); }
    bool axisAligned() const { return std::abs(m12) <= eps() && std::abs(m21) <= eps(); }
    // Rectangles stay rectangles (axis-aligned, or with the axes swapped).
    bool rectilinear() const { return axisAligned() || (std::abs(m11) <= eps() && std::abs(m22) <= eps()); }
    double det() const { return m11 * m22 - m12 * m21; }
    double scaleX() const { return std::hypot(m11, m12); }
    double scaleY() const { return std::hypot(m21, m22); }
};

// A coordinate within reach; damaged transforms can make infinities and NaNs.
inline double bounded(double v) { return std::isnan(v) ? 0.0 : std::clamp(v, -kMaxCoord, kMaxCoord); }

inline int px(double v) { return int(std::lround(bounded(v))); }

inline TPoint pt(QPointF p) { return {px(p.x()), px(p.y())}; }

std::vector<TPoint> pts(const std::vector<QPointF>& in);
TRect rectOf(QPointF a, QPointF b);
void appendBezier(std::vector<QPointF>& out, QPointF p0, QPointF c1, QPointF c2, QPointF p3);
std::vector<QPointF> arcPoints(double l, double t, double r, double b, QPointF s, QPointF e, bool clockwise);
std::vector<QPointF> roundRectPoints(double l, double t, double r, double b, double w, double h);
// Points of 16-bit (small) or 32-bit coordinates.
std::vector<QPointF> readPoints(const Bytes& r, qint64 off, qint64 count, bool small);

// ---------------------------------------------------------------- DIBs

struct Dib {
    QImage image;
    bool bottomUp = true;
};

// Layout of a DIB header: sizes and where the colour table and masks are.
struct DibLayout {
    bool core = false;
    qint64 width = 0, height = 0;
    int bpp = 0;
    quint32 compression = 0;
    quint32 masks[3] = {0, 0, 0};
    qint64 tableOffset = 0;
    qint64 colors = 0;
    int entrySize = 4;
    qint64 infoSize() const { return tableOffset + colors * entrySize; }
};

std::optional<DibLayout> dibLayout(const Bytes& b, int usage);
Dib decodeDib(const Bytes& info, const Bytes& bits, int usage, qint64 rows = 0, bool alpha = false);
Dib decodePackedDib(const Bytes& packed, int usage);
QImage withOpacity(const QImage& img, int opacity);
std::optional<TColor> averageColor(const QImage& img);
std::optional<TCopyMode> copyModeOf(quint32 rop);

// ---------------------------------------------------------------- GDI state

struct PenDef {
    unsigned style = 0;
    double width = 0; // logical units; 0: one pixel
    TColor color = clBlack;
    bool geometric = false;
    std::vector<double> dash;
};

struct BrushDef {
    unsigned style = kBsSolid;
    TColor color = clWhite;
    unsigned hatch = 0;
};

struct FontDef {
    double height = 0; // logical units; 0: the default size
    int escapement = 0;
    int weight = 400;
    bool italic = false, underline = false, strike = false;
    quint8 charset = DEFAULT_CHARSET;
    QString face;
};

struct GdiObject {
    enum Kind { Free, Pen, Brush, Font, Region, Other } kind = Free;
    PenDef pen;
    BrushDef brush;
    FontDef font;
    std::vector<QRectF> region; // logical units, corners as given
};

struct DcState {
    int mapMode = kMmText;
    QPointF winOrg, winExt{1, 1}, vpOrg, vpExt{1, 1};
    Xform world;
    TColor textColor = clBlack, bkColor = clWhite;
    int bkMode = OPAQUE;
    unsigned textAlign = 0;
    double charExtra = 0; // logical units
    TFillMode fillMode = fmAlternate;
    TPenMode rop2 = pmCopy;
    QPointF cur; // current position, logical
    bool clockwise = false;
    PenDef pen;
    BrushDef brush;
    FontDef font;
    bool hasClip = false;
    QRegion clip; // picture units
};

struct Figure {
    std::vector<QPointF> pts; // picture units
    bool closed = false;
};

QString decode8(QByteArrayView bytes, const FontDef& f);
QString fontFace8(QByteArrayView bytes, quint8 charset);

// ---------------------------------------------------------------- translator

class Translator {
public:
    Translator(int width, int height, int unit) : m_canvas(sized(m_out, width, height)), m_unit(std::max(1, unit))
    {
        // Room around the picture for what "no clip" means; bounded so that
        // scaled replays stay far from integer limits.
        const int w = std::min(width, kMaxExtent), h = std::min(height, kMaxExtent);
        const int margin = std::min(std::max(w, h) * 4 + 64, kMaxExtent);
        m_everything = QRect(-margin, -margin, w + 2 * margin, h + 2 * margin);
    }

    void runWmf(const QByteArray& bytes);
    void runEmf(const QByteArray& bytes);
    std::vector<TMetafileRecord> records() const { return m_out.Records(); }

private:
    static TMetafile& sized(TMetafile& m, int w, int h)
    {
        m.SetWidth(std::max(1, w));
        m.SetHeight(std::max(1, h));
        return m;
    }

    // --- mapping
    Xform pageXform() const;
    Xform total() const { return m_st.world.then(pageXform()).then(m_devToPic); }
    QPointF map(QPointF p) const { return total().map(p); }
    std::vector<QPointF> mapAll(const std::vector<QPointF>& in) const;

    // --- state
    void saveDc();
    void restoreDc(int n);
    void setRop2(quint32 mode);
    void applyDrawState(const Xform& t);
    void flushClip();
    void combineClip(const QRegion& region, int mode);
    void offsetClip(double dx, double dy);
    QRegion regionOfRect(double l, double t, double r, double b) const;
    QRegion regionOfPolygon(const std::vector<QPointF>& picturePts, TFillMode mode) const;
    void selectObject(const GdiObject& o);
    bool selectStock(quint32 n);
    void checkBudget() const
    {
        if (m_out.RecordCount() > kMaxRecordsOut)
            throw Damaged{};
    }

    // --- drawing in logical units
    void moveTo(QPointF p);
    void lineTo(QPointF p);
    void polyline(const std::vector<QPointF>& p);
    void polylineTo(const std::vector<QPointF>& p);
    void polygon(const std::vector<QPointF>& p);
    void polyPoly(const std::vector<std::vector<QPointF>>& rings, bool closed);
    void polyBezier(const std::vector<QPointF>& p, bool fromCurrent);
    void polyDraw(const std::vector<QPointF>& p, const std::vector<quint8>& types);
    void rectangle(double l, double t, double r, double b);
    void roundRect(double l, double t, double r, double b, double w, double h);
    void ellipse(double l, double t, double r, double b);
    enum class ArcKind { Arc, ArcTo, Chord, Pie };
    void arc(ArcKind kind, double l, double t, double r, double b, QPointF s, QPointF e);
    void angleArc(QPointF c, double radius, double start, double sweep);
    void pixel(QPointF p, TColor c);
    void text(QPointF ref, const QString& s, unsigned options, std::optional<QRectF> rect, std::vector<double> dx);
    void image(const Dib& dib, double sx, double sy, double sw, double sh, double x, double y, double w, double h,
               quint32 rop, bool sourceFromBottom, std::optional<TColor> transparent = std::nullopt);
    void patBlt(double x, double y, double w, double h, quint32 rop);
    void fillRects(const std::vector<TRect>& rects, const BrushDef& brush);

    // --- output in picture units
    void emitPolygon(const std::vector<QPointF>& p);
    void emitPolyline(const std::vector<QPointF>& p);
    void emitFigures(const std::vector<Figure>& figs, bool fill, bool stroke);

    // --- paths
    void pathAdd(std::vector<QPointF> p, bool closed);
    void pathExtend(const std::vector<QPointF>& p);
    void endPathUse();

    // --- formats
    void emfRecord(quint32 type, const Bytes& r);
    bool emfStateRecord(quint32 type, const Bytes& r);
    bool emfObjectRecord(quint32 type, const Bytes& r);
    bool emfPathRecord(quint32 type, const Bytes& r);
    void emfText(const Bytes& r, bool wide);
    enum class Blt { Rop, Alpha, Transparent };
    void emfBlt(const Bytes& r, bool stretch, Blt kind = Blt::Rop);
    void emfCreateObject(quint32 index, GdiObject o);
    GdiObject* emfObject(quint32 index);
    std::vector<TRect> emfRegion(const Bytes& r, qint64 off, qint64 size) const;
    void wmfRecord(quint16 func, const Bytes& r);
    bool wmfStateRecord(quint16 func, const Bytes& r);
    bool wmfObjectRecord(quint16 func, const Bytes& r);
    void wmfCreateObject(GdiObject o);
    GdiObject* wmfObject(int index);
    GdiObject wmfRegion(const Bytes& r) const;
    std::vector<TRect> regionRects(const GdiObject& o) const;

    TMetafile m_out;
    TMetafileCanvas m_canvas;
    int m_unit; // record units per picture pixel
    QRect m_everything;
    Xform m_devToPic;
    double m_devPerMmX = 96 / 25.4, m_devPerMmY = 96 / 25.4;
    DcState m_st;
    std::vector<DcState> m_saved;
    std::vector<GdiObject> m_objects;
    bool m_inPath = false;
    bool m_pathValid = true;
    std::vector<Figure> m_path;
    size_t m_pathPoints = 0;
    bool m_emittedHasClip = false;
    QRegion m_emittedClip;
};

} // namespace plat::winmeta
