#include "Metafile.h"

#include "Exceptions.h"
#include "FontEngine.h"
#include "WinMetafile.h"

#include <QBuffer>
#include <QDataStream>

#include <algorithm>
#include <cmath>

namespace plat {

namespace {

constexpr quint32 kFormatVersion = 2; // 2 adds the units per pixel
constexpr int kMaxRecords = 10'000'000;
constexpr int kMaxInts = 100'000'000;
// Font heights and angles, pen widths and character spacing beyond this are damage.
constexpr qint64 kMaxExtent = 1'000'000;

// Replays at absurd scales stay within integers (the canvas clips far
// coordinates anyway); a float beyond int has no conversion.
int toInt(double v)
{
    constexpr double kLimit = 1 << 28; // differences of two still fit
    return std::isnan(v) ? 0 : int(std::nearbyint(std::clamp(v, -kLimit, kLimit)));
}

int scaleCoord(int v, double s, double o) { return toInt(v * s + o); }

int scaleLength(int v, double s)
{
    if (v == 0)
        return 0;
    const int r = toInt(v * s);
    return r == 0 ? (v > 0 ? 1 : -1) : r;
}

// A record made in picture pixels, in units k times finer. Cosmetic pens
// (widths 0 and 1) stay one device pixel.
void scaleRecord(TMetafileRecord& r, int k)
{
    for (int& v : r.pts)
        v *= k;
    for (int& v : r.dx)
        v *= k;
    for (int& v : r.penDash)
        v *= k;
    if (r.penWidth > 1 || r.penGeometric)
        r.penWidth *= k;
    r.fontHeight *= k;
    r.charExtra *= k;
    r.bounds = TRect(r.bounds.Left * k, r.bounds.Top * k, r.bounds.Right * k, r.bounds.Bottom * k);
}

TRect boundsOf(const std::vector<int>& pts, size_t from = 0)
{
    if (pts.size() < from + 2)
        return {};
    int l = pts[from], t = pts[from + 1], r = l, b = t;
    for (size_t i = from; i + 1 < pts.size(); i += 2) {
        l = std::min(l, pts[i]);
        r = std::max(r, pts[i]);
        t = std::min(t, pts[i + 1]);
        b = std::max(b, pts[i + 1]);
    }
    return TRect(l, t, r + 1, b + 1);
}

TRect unite(const TRect& a, const TRect& b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return TRect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom));
}

} // namespace

// ---------------------------------------------------------------- TMetafile

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

const QByteArray& TMetafile::Signature()
{
    static const QByteArray sig("SRVMETA1");
    return sig;
}

void TMetafile::Assign(TPersistent* source)
{
    if (auto* m = dynamic_cast<TMetafile*>(source)) {
        if (m == this)
            return;
        m_records = m->m_records;
        m_width = m->m_width;
        m_height = m->m_height;
        m_foreign = m->m_foreign;
        m_enhanced = m->m_enhanced;
        m_unitsPerPixel = m->m_unitsPerPixel;
        Changed();
        return;
    }
    if (source == nullptr) {
        Clear();
        return;
    }
    TGraphic::Assign(source);
}

void TMetafile::Clear()
{
    m_records.clear();
    m_foreign.clear();
    m_width = m_height = 0;
    m_unitsPerPixel = 1;
    Changed();
}

void TMetafile::SetWidth(int width)
{
    m_width = std::max(0, width);
    Changed();
}

void TMetafile::SetHeight(int height)
{
    m_height = std::max(0, height);
    Changed();
}

void TMetafile::AddRecord(TMetafileRecord record)
{
    if (m_unitsPerPixel != 1)
        scaleRecord(record, m_unitsPerPixel);
    m_foreign.clear();
    m_records.push_back(std::move(record));
}

std::vector<TMetafileTextItem> TMetafile::TextItems() const
{
    std::vector<TMetafileTextItem> out;
    for (size_t i = 0; i < m_records.size(); ++i)
        if (m_records[i].op == MetaOp::Text)
            out.push_back({int(i), m_records[i].text, m_records[i].bounds});
    if (m_unitsPerPixel != 1) {
        // In picture pixels, covering every unit the text covers.
        const int k = m_unitsPerPixel;
        // In 64 bits: bounds come from the file and may sit at the end of the integers.
        const auto down = [k](qint64 v) { return int(v >= 0 ? v / k : -((-v + k - 1) / k)); };
        const auto up = [&](qint64 v) { return -down(-v); };
        for (TMetafileTextItem& item : out)
            item.bounds = TRect(down(item.bounds.Left), down(item.bounds.Top), up(item.bounds.Right), up(item.bounds.Bottom));
    }
    return out;
}

TMetafilePlayer::TMetafilePlayer(TCanvas& canvas, double sx, double sy, double ox, double oy)
    : m_canvas(canvas), m_sx(sx), m_sy(sy), m_ox(ox), m_oy(oy)
{
    m_saved = canvas.SaveDC();
    canvas.SaveClip();
    m_baseClip = canvas.ClipRegion();
    m_baseHasClip = canvas.HasClip();
}

TMetafilePlayer::~TMetafilePlayer()
{
    if (m_finished)
        return;
    // Unwinding from a failed record: the canvas gets its state back all the same.
    try {
        restore();
    } catch (...) {
    }
}

void TMetafilePlayer::Finish()
{
    m_finished = true;
    restore();
}

void TMetafilePlayer::restore()
{
    while (m_clipDepth-- > 0)
        m_canvas.RestoreClip();
    m_canvas.RestoreClip();
    m_canvas.RestoreDC(m_saved);
}

void TMetafilePlayer::Play(const TMetafileRecord& r)
{
    const double sx = m_sx, sy = m_sy, ox = m_ox, oy = m_oy;
    const double sw = (std::abs(sx) + std::abs(sy)) / 2;
    auto X = [&](int v) { return scaleCoord(v, sx, ox); };
    auto Y = [&](int v) { return scaleCoord(v, sy, oy); };
    TFont font;
    font.SetName(r.fontName);
    font.SetHeight(int(std::clamp<qint64>(scaleLength(r.fontHeight, std::abs(sy)), -kMaxExtent, kMaxExtent)));
    font.SetColor(r.fontColor);
    font.SetStyle(r.fontStyle);
    font.SetCharset(r.fontCharset);
    font.SetOrientation(r.fontOrientation);
    font.SetPixelsPerInch(m_canvas.Font().PixelsPerInch());
    m_canvas.SetFont(font);
    TPen& pen = m_canvas.Pen();
    if (r.penGeometric) {
        std::vector<int> dash;
        for (int d : r.penDash)
            dash.push_back(scaleLength(d, sw));
        pen.SetGeometric(scaleLength(r.penWidth, sw), r.penColor, r.penCap, dash);
    } else {
        pen.SetCosmetic();
        pen.SetColor(r.penColor);
        pen.SetWidth(r.penWidth <= 1 ? r.penWidth : scaleLength(r.penWidth, sw));
    }
    pen.SetStyle(r.penStyle);
    pen.SetMode(r.penMode);
    m_canvas.Brush().SetColor(r.brushColor);
    m_canvas.Brush().SetStyle(r.brushStyle);
    m_canvas.SetBkMode(r.bkMode);
    m_canvas.SetBkColor(r.bkColor);
    m_canvas.SetTextAlign(r.textAlign & ~TA_UPDATECP);
    m_canvas.SetTextCharacterExtra(scaleLength(r.charExtra, std::abs(sx)));
    m_canvas.SetCopyMode(r.copyMode);
    m_canvas.SetPolyFillMode(r.fillMode);
    const auto& p = r.pts;
    auto rectAt = [&](size_t i) { return TRect(X(p[i]), Y(p[i + 1]), X(p[i + 2]), Y(p[i + 3])); };
    switch (r.op) {
    case MetaOp::LineTo:
        if (p.size() >= 4) {
            m_canvas.MoveTo(X(p[0]), Y(p[1]));
            m_canvas.LineTo(X(p[2]), Y(p[3]));
        }
        break;
    case MetaOp::FillRect: if (p.size() >= 4) m_canvas.FillRect(rectAt(0)); break;
    case MetaOp::FrameRect: if (p.size() >= 4) m_canvas.FrameRect(rectAt(0)); break;
    case MetaOp::Rectangle: if (p.size() >= 4) m_canvas.Rectangle(rectAt(0)); break;
    case MetaOp::Ellipse: if (p.size() >= 4) m_canvas.Ellipse(rectAt(0)); break;
    case MetaOp::RoundRect:
        if (p.size() >= 6)
            m_canvas.RoundRect(X(p[0]), Y(p[1]), X(p[2]), Y(p[3]), scaleLength(p[4], std::abs(sx)),
                             scaleLength(p[5], std::abs(sy)));
        break;
    case MetaOp::Arc:
    case MetaOp::Pie:
        if (p.size() >= 8) {
            if (r.op == MetaOp::Arc)
                m_canvas.Arc(X(p[0]), Y(p[1]), X(p[2]), Y(p[3]), X(p[4]), Y(p[5]), X(p[6]), Y(p[7]));
            else
                m_canvas.Pie(X(p[0]), Y(p[1]), X(p[2]), Y(p[3]), X(p[4]), Y(p[5]), X(p[6]), Y(p[7]));
        }
        break;
    case MetaOp::Polygon:
    case MetaOp::Polyline: {
        std::vector<TPoint> pts;
        for (size_t i = 0; i + 1 < p.size(); i += 2)
            pts.push_back({X(p[i]), Y(p[i + 1])});
        if (r.op == MetaOp::Polygon)
            m_canvas.Polygon(pts);
        else
            m_canvas.Polyline(pts);
        break;
    }
    case MetaOp::Image:
        if (p.size() >= 8)
            // The source is in image pixels, unscaled; bounded like the rest.
            m_canvas.DrawImage(rectAt(0), r.image, TRect(toInt(p[4]), toInt(p[5]), toInt(p[6]), toInt(p[7])));
        break;
    case MetaOp::TransparentImage:
        if (p.size() >= 4)
            m_canvas.DrawTransparent(rectAt(0), r.image, r.color);
        break;
    case MetaOp::Pixel:
        if (p.size() >= 2) {
            // A pixel grows into the cell it covers at larger scales.
            if (std::abs(sx) <= 1 && std::abs(sy) <= 1) {
                m_canvas.SetPixel(X(p[0]), Y(p[1]), r.color);
            } else {
                m_canvas.Brush().SetColor(r.color);
                m_canvas.Brush().SetStyle(bsSolid);
                m_canvas.FillRect(TRect(X(p[0]), Y(p[1]), X(p[0] + 1), Y(p[1] + 1)));
            }
        }
        break;
    case MetaOp::FloodFill:
        if (p.size() >= 2)
            m_canvas.FloodFill(X(p[0]), Y(p[1]), r.color, TCanvas::TFillStyle(r.options & 1));
        break;
    case MetaOp::Text: {
        if (p.size() < 2)
            break;
        const bool hasRect = p.size() >= 6;
        TRect rc = hasRect ? rectAt(2) : TRect();
        std::vector<int> dx;
        // Extra spacing goes through the positions too: summed per
        // character by the canvas it could leave the integers.
        if (sx != 1.0 || !r.dx.empty() || r.charExtra != 0) {
            // Scale the cumulative positions, so rounding never adds up.
            std::vector<int> src = r.dx;
            if (src.size() < size_t(r.text.size())) {
                TCanvas measure;
                TFont f;
                f.SetName(r.fontName);
                f.SetHeight(r.fontHeight);
                f.SetStyle(r.fontStyle);
                f.SetCharset(r.fontCharset);
                measure.SetFont(f);
                measure.SetTextCharacterExtra(r.charExtra);
                std::vector<int> w;
                measure.GetCharWidths(r.text, w);
                for (size_t i = src.size(); i < w.size(); ++i)
                    src.push_back(w[i] + (r.text[qsizetype(i)].isLowSurrogate() ? 0 : r.charExtra));
            }
            dx.resize(src.size());
            long long cum = 0;
            int prev = 0;
            for (size_t i = 0; i < src.size(); ++i) {
                cum += src[i];
                const int pos = toInt(cum * sx);
                dx[i] = pos - prev;
                prev = pos;
            }
        }
        m_canvas.ExtTextOut(X(p[0]), Y(p[1]), r.options, hasRect ? &rc : nullptr, r.text,
                          dx.empty() ? nullptr : dx.data(), int(dx.size()));
        break;
    }
    case MetaOp::IntersectClip: if (p.size() >= 4) m_canvas.IntersectClipRect(rectAt(0)); break;
    case MetaOp::ExcludeClip: if (p.size() >= 4) m_canvas.ExcludeClipRect(rectAt(0)); break;
    case MetaOp::IntersectRegion: {
        QRegion region;
        for (size_t i = 0; i + 3 < p.size(); i += 4)
            region += rectAt(i).toQRect();
        m_canvas.IntersectClipRegion(region);
        break;
    }
    case MetaOp::SaveClip:
        m_canvas.SaveClip();
        ++m_clipDepth;
        break;
    case MetaOp::RestoreClip:
        if (m_clipDepth > 0) {
            m_canvas.RestoreClip();
            --m_clipDepth;
        }
        break;
    case MetaOp::RemoveClip:
    case MetaOp::SetClip: {
        // The picture never draws outside the clip it was played into.
        QRegion region;
        for (size_t i = 0; i + 3 < p.size(); i += 4)
            region += rectAt(i).toQRect();
        if (r.op == MetaOp::SetClip) {
            m_canvas.SetClipRegion(m_baseHasClip ? region.intersected(m_baseClip) : region);
        } else if (m_baseHasClip) {
            m_canvas.SetClipRegion(m_baseClip);
        } else {
            m_canvas.RemoveClip();
        }
        break;
    }
    }
}

void TMetafile::Play(TCanvas& canvas, double sx, double sy, double ox, double oy) const
{
    TMetafilePlayer player(canvas, sx, sy, ox, oy);
    for (const TMetafileRecord& r : m_records)
        player.Play(r);
    player.Finish();
}

void TMetafile::Draw(TCanvas& canvas, int x1, int y1, int x2, int y2) const
{
    if (m_records.empty() || m_width <= 0 || m_height <= 0)
        return;
    Play(canvas, (double(x2) - x1) / (double(m_width) * m_unitsPerPixel),
         (double(y2) - y1) / (double(m_height) * m_unitsPerPixel), x1, y1);
}

QImage TMetafile::ToImage() const
{
    if (m_width <= 0 || m_height <= 0)
        return {};
    QImage img(m_width, m_height, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        TCanvas c(&img);
        Play(c, 1.0 / m_unitsPerPixel, 1.0 / m_unitsPerPixel, 0, 0);
    }
    return img;
}

// ---------------------------------------------------------------- file form

static QDataStream& operator<<(QDataStream& s, const std::vector<int>& v)
{
    s << quint32(v.size());
    for (int x : v)
        s << qint32(x);
    return s;
}

static void readInts(QDataStream& s, std::vector<int>& v)
{
    quint32 n = 0;
    s >> n;
    if (s.status() != QDataStream::Ok || n > quint32(kMaxInts) || qint64(n) * 4 > s.device()->bytesAvailable())
        throw EInvalidGraphic(QStringLiteral("Metafile is not valid"));
    v.resize(n);
    for (quint32 i = 0; i < n; ++i) {
        qint32 x = 0;
        s >> x;
        v[i] = x;
    }
}

QByteArray TMetafile::SaveToBytes() const
{
    if (!m_foreign.isEmpty())
        return m_foreign;
    QByteArray out = Signature();
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly | QIODevice::Append);
    QDataStream s(&buf);
    s.setVersion(QDataStream::Qt_6_0);
    s << kFormatVersion << qint32(m_width) << qint32(m_height) << qint32(m_unitsPerPixel) << quint32(m_records.size());
    for (const TMetafileRecord& r : m_records) {
        s << quint8(r.op) << r.pts << r.text << r.dx << quint32(r.options) << qint32(r.color);
        QByteArray png;
        if (!r.image.isNull()) {
            TPngImage enc;
            enc.EncodeFrom(r.image);
            png = enc.SaveToBytes();
        }
        s << png;
        s << r.fontName << qint32(r.fontHeight) << qint32(r.fontColor) << quint32(r.fontStyle.mask())
          << quint8(r.fontCharset) << qint32(r.fontOrientation);
        s << qint32(r.penColor) << qint32(r.penWidth) << quint8(r.penStyle) << quint8(r.penMode)
          << bool(r.penGeometric) << quint8(r.penCap) << r.penDash;
        s << qint32(r.brushColor) << quint8(r.brushStyle) << qint32(r.bkMode) << qint32(r.bkColor)
          << quint32(r.textAlign) << qint32(r.charExtra) << quint8(r.copyMode) << quint8(r.fillMode);
        s << qint32(r.bounds.Left) << qint32(r.bounds.Top) << qint32(r.bounds.Right) << qint32(r.bounds.Bottom);
    }
    return out;
}

void TMetafile::LoadFromBytes(const QByteArray& bytes)
{
    const auto u16 = [&](int i) { return int(quint8(bytes[i]) | (quint8(bytes[i + 1]) << 8)); };
    const auto s16 = [&](int i) { return int(qint16(u16(i))); };
    const auto s32 = [&](int i) { return qint32(quint32(u16(i)) | (quint32(u16(i + 2)) << 16)); };
    const GraphicKind kind = DetectGraphicKind(bytes);
    if (kind == GraphicKind::Metafile) {
        // Placeable header: bounding box in logical units and units per inch.
        const int inch = u16(14);
        const int w = s16(10) - s16(6), h = s16(12) - s16(8);
        if (inch <= 0 || w <= 0 || h <= 0)
            throw EInvalidGraphic(QStringLiteral("Metafile is not valid"));
        m_records.clear();
        m_foreign = bytes;
        m_enhanced = false;
        m_width = int(std::lround(w * 96.0 / inch));
        m_height = int(std::lround(h * 96.0 / inch));
        translate(false);
        Changed();
        return;
    }
    if (kind == GraphicKind::EnhMetafile) {
        // Frame in hundredths of a millimetre.
        const qint64 w = qint64(s32(32)) - s32(24), h = qint64(s32(36)) - s32(28);
        if (w <= 0 || h <= 0)
            throw EInvalidGraphic(QStringLiteral("Metafile is not valid"));
        m_records.clear();
        m_foreign = bytes;
        m_enhanced = true;
        m_width = int(std::lround(w * 96.0 / 2540));
        m_height = int(std::lround(h * 96.0 / 2540));
        translate(true);
        Changed();
        return;
    }
    if (kind != GraphicKind::Recording)
        throw EInvalidGraphic(QStringLiteral("Metafile is not valid"));

    QByteArray copy = bytes;
    QBuffer buf(&copy);
    buf.open(QIODevice::ReadOnly);
    buf.seek(Signature().size());
    QDataStream s(&buf);
    s.setVersion(QDataStream::Qt_6_0);
    quint32 version = 0, count = 0;
    qint32 w = 0, h = 0, units = 1;
    s >> version >> w >> h;
    if (version >= 2)
        s >> units;
    s >> count;
    if (s.status() != QDataStream::Ok || version < 1 || version > kFormatVersion || w < 0 || h < 0 || units < 1
        || units > 1024 || count > quint32(kMaxRecords))
        throw EInvalidGraphic(QStringLiteral("Metafile is not valid"));
    std::vector<TMetafileRecord> records;
    records.reserve(std::min<quint32>(count, 100000));
    for (quint32 i = 0; i < count; ++i) {
        TMetafileRecord r;
        quint8 op = 0, charset = 0, penStyle = 0, penMode = 0, cap = 0, brushStyle = 0, copyMode = 0, fillMode = 0;
        quint32 options = 0, style = 0, align = 0;
        qint32 color = 0, fh = 0, fc = 0, fo = 0, pc = 0, pw = 0, bc = 0, bm = 0, bk = 0, ce = 0;
        qint32 l = 0, t = 0, rr = 0, b = 0;
        bool geometric = false;
        QByteArray png;
        s >> op;
        readInts(s, r.pts);
        s >> r.text;
        readInts(s, r.dx);
        s >> options >> color >> png;
        s >> r.fontName >> fh >> fc >> style >> charset >> fo;
        s >> pc >> pw >> penStyle >> penMode >> geometric >> cap;
        readInts(s, r.penDash);
        s >> bc >> brushStyle >> bm >> bk >> align >> ce >> copyMode >> fillMode;
        s >> l >> t >> rr >> b;
        if (s.status() != QDataStream::Ok || op > quint8(MetaOp::IntersectRegion) || penStyle > psInsideFrame
            || penMode > pmNotXor || cap > pecFlat || brushStyle > bsDiagCross || copyMode > cmDstInvert
            || fillMode > fmWinding || std::abs(qint64(fh)) > kMaxExtent || pw < 0 || pw > kMaxExtent
            || std::abs(qint64(ce)) > kMaxExtent || std::abs(qint64(fo)) > kMaxExtent)
            throw EInvalidGraphic(QStringLiteral("Metafile is not valid"));
        r.op = MetaOp(op);
        r.options = options;
        r.color = color;
        if (!png.isEmpty()) {
            TPngImage dec;
            dec.LoadFromBytes(png);
            r.image = dec.ToImage();
        }
        r.fontHeight = fh;
        r.fontColor = fc;
        r.fontStyle = TFontStyles::fromMask(style & 0xF);
        r.fontCharset = charset;
        r.fontOrientation = fo;
        r.penColor = pc;
        r.penWidth = pw;
        r.penStyle = TPenStyle(penStyle);
        r.penMode = TPenMode(penMode);
        r.penGeometric = geometric;
        r.penCap = TPenEndCap(cap);
        r.brushColor = bc;
        r.brushStyle = TBrushStyle(brushStyle);
        r.bkMode = bm;
        r.bkColor = bk;
        r.textAlign = align;
        r.charExtra = ce;
        r.copyMode = TCopyMode(copyMode);
        r.fillMode = TFillMode(fillMode);
        r.bounds = TRect(l, t, rr, b);
        records.push_back(std::move(r));
    }
    m_records = std::move(records);
    m_foreign.clear();
    m_width = w;
    m_height = h;
    m_unitsPerPixel = units;
    Changed();
}

void TMetafile::translate(bool enhanced)
{
    m_records.clear();
    m_unitsPerPixel = 1;
    if (m_width <= 0 || m_height <= 0)
        return;
    const qint64 longest = std::max(m_width, m_height);
    const int k = longest * kWindowsUnitsPerPixel <= (1 << 22) ? kWindowsUnitsPerPixel : 1;
    m_records = enhanced ? TranslateEmf(m_foreign, m_width * k, m_height * k, k)
                         : TranslateWmf(m_foreign, m_width * k, m_height * k, k);
    m_unitsPerPixel = k;
}

// ---------------------------------------------------------------- recording canvas

TMetafileCanvas::TMetafileCanvas(TMetafile& metafile, int referenceDPI) : m_metafile(metafile)
{
    SetDeviceDPI(referenceDPI, referenceDPI);
    m_font.SetPixelsPerInch(referenceDPI);
}

TMetafileCanvas::TMetafileCanvas(TMetafile& metafile, TMetafilePlayer& player, int referenceDPI)
    : TMetafileCanvas(metafile, referenceDPI)
{
    m_player = &player;
}

TMetafileCanvas::~TMetafileCanvas()
{
    if (m_any && (m_metafile.Width() == 0 || m_metafile.Height() == 0)) {
        if (m_metafile.Width() == 0)
            m_metafile.SetWidth(std::max(0, m_extent.Right));
        if (m_metafile.Height() == 0)
            m_metafile.SetHeight(std::max(0, m_extent.Bottom));
    }
}

TMetafileRecord TMetafileCanvas::makeRecord(MetaOp op) const
{
    TMetafileRecord r;
    r.op = op;
    r.fontName = m_font.Name();
    r.fontHeight = m_font.Height();
    r.fontColor = m_font.Color();
    r.fontStyle = m_font.Style();
    r.fontCharset = m_font.Charset();
    r.fontOrientation = m_font.Orientation();
    r.penColor = m_pen.Color();
    r.penWidth = m_pen.Width();
    r.penStyle = m_pen.Style();
    r.penMode = m_pen.Mode();
    r.penGeometric = m_pen.Geometric();
    r.penCap = m_pen.EndCap();
    r.penDash = m_pen.UserDash();
    r.brushColor = m_brush.Color();
    r.brushStyle = m_brush.Style();
    r.bkMode = BkMode();
    r.bkColor = BkColor();
    r.textAlign = TextAlign();
    r.charExtra = TextCharacterExtra();
    r.copyMode = CopyMode();
    r.fillMode = PolyFillMode();
    return r;
}

void TMetafileCanvas::add(TMetafileRecord record)
{
    const bool drawing = record.op != MetaOp::IntersectClip && record.op != MetaOp::ExcludeClip
                         && record.op != MetaOp::SaveClip && record.op != MetaOp::RestoreClip
                         && record.op != MetaOp::RemoveClip && record.op != MetaOp::SetClip
                         && record.op != MetaOp::IntersectRegion;
    if (drawing && !record.bounds.IsEmpty()) {
        m_extent = unite(m_extent, record.bounds);
        m_any = true;
    }
    if (m_player)
        m_player->Play(record);
    else
        m_metafile.AddRecord(std::move(record));
}

void TMetafileCanvas::LineTo(int x, int y)
{
    auto r = makeRecord(MetaOp::LineTo);
    r.pts = {PenPos().X, PenPos().Y, x, y};
    r.bounds = boundsOf(r.pts);
    SetPenPos({x, y});
    add(std::move(r));
}

#define PLAT_RECORD_RECT(Method, Op)                                                               \
    void TMetafileCanvas::Method(const TRect& rc)                                                  \
    {                                                                                              \
        auto r = makeRecord(MetaOp::Op);                                                           \
        r.pts = {rc.Left, rc.Top, rc.Right, rc.Bottom};                                            \
        r.bounds = rc;                                                                             \
        add(std::move(r));                                                                         \
    }
PLAT_RECORD_RECT(FillRect, FillRect)
PLAT_RECORD_RECT(FrameRect, FrameRect)
#undef PLAT_RECORD_RECT

void TMetafileCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    auto r = makeRecord(MetaOp::Rectangle);
    r.pts = {x1, y1, x2, y2};
    r.bounds = TRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    add(std::move(r));
}

void TMetafileCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    auto r = makeRecord(MetaOp::Ellipse);
    r.pts = {x1, y1, x2, y2};
    r.bounds = TRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    add(std::move(r));
}

void TMetafileCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    auto r = makeRecord(MetaOp::RoundRect);
    r.pts = {x1, y1, x2, y2, x3, y3};
    r.bounds = TRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    add(std::move(r));
}

void TMetafileCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    auto r = makeRecord(MetaOp::Arc);
    r.pts = {x1, y1, x2, y2, x3, y3, x4, y4};
    r.bounds = TRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    add(std::move(r));
}

void TMetafileCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    auto r = makeRecord(MetaOp::Pie);
    r.pts = {x1, y1, x2, y2, x3, y3, x4, y4};
    r.bounds = TRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    add(std::move(r));
}

void TMetafileCanvas::Polygon(const std::vector<TPoint>& points)
{
    auto r = makeRecord(MetaOp::Polygon);
    for (const auto& p : points)
        r.pts.insert(r.pts.end(), {p.X, p.Y});
    r.bounds = boundsOf(r.pts);
    add(std::move(r));
}

void TMetafileCanvas::Polyline(const std::vector<TPoint>& points)
{
    auto r = makeRecord(MetaOp::Polyline);
    for (const auto& p : points)
        r.pts.insert(r.pts.end(), {p.X, p.Y});
    r.bounds = boundsOf(r.pts);
    add(std::move(r));
}

void TMetafileCanvas::FloodFill(int x, int y, TColor color, TFillStyle style)
{
    auto r = makeRecord(MetaOp::FloodFill);
    r.pts = {x, y};
    r.color = color;
    r.options = unsigned(style);
    add(std::move(r));
}

void TMetafileCanvas::DrawImage(const TRect& dest, const QImage& image, const TRect& src)
{
    auto r = makeRecord(MetaOp::Image);
    r.pts = {dest.Left, dest.Top, dest.Right, dest.Bottom, src.Left, src.Top, src.Right, src.Bottom};
    r.image = image;
    r.bounds = TRect(std::min(dest.Left, dest.Right), std::min(dest.Top, dest.Bottom),
                     std::max(dest.Left, dest.Right), std::max(dest.Top, dest.Bottom));
    add(std::move(r));
}

void TMetafileCanvas::DrawTransparent(const TRect& dest, const QImage& image, TColor transparentColor)
{
    auto r = makeRecord(MetaOp::TransparentImage);
    r.pts = {dest.Left, dest.Top, dest.Right, dest.Bottom};
    r.image = image;
    r.color = transparentColor;
    r.bounds = dest;
    add(std::move(r));
}

void TMetafileCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect)
{
    if (!source.Image() || source.Image()->isNull())
        throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
    const QImage part = source.Image()->copy(sourceRect.toQRect());
    DrawImage(dest, part, TRect(0, 0, part.width(), part.height()));
}

void TMetafileCanvas::SetPixel(int x, int y, TColor color)
{
    auto r = makeRecord(MetaOp::Pixel);
    r.pts = {x, y};
    r.color = color;
    r.bounds = TRect(x, y, x + 1, y + 1);
    add(std::move(r));
}

void TMetafileCanvas::ExtTextOut(int x, int y, unsigned options, const TRect* rect, const QString& text,
                                 const int* dx, int dxCount)
{
    auto r = makeRecord(MetaOp::Text);
    if (TextAlign() & TA_UPDATECP) {
        x = PenPos().X;
        y = PenPos().Y;
        r.textAlign &= ~TA_UPDATECP;
    }
    r.pts = {x, y};
    if (rect)
        r.pts.insert(r.pts.end(), {rect->Left, rect->Top, rect->Right, rect->Bottom});
    r.text = text;
    if (dx && dxCount > 0)
        r.dx.assign(dx, dx + std::min<qsizetype>(dxCount, text.size()));
    r.options = options;

    // Bounds: the character cell box around the reference point, rotated.
    std::vector<int> widths;
    GetCharWidths(text, widths);
    int total = 0;
    for (size_t i = 0; i < widths.size(); ++i)
        total += i < r.dx.size() ? r.dx[i] : widths[i] + (text[qsizetype(i)].isLowSurrogate() ? 0 : TextCharacterExtra());
    const TTextMetric tm = GetTextMetrics();
    double left = 0, top = 0;
    const unsigned align = TextAlign();
    if ((align & TA_CENTER) == TA_CENTER)
        left = -total / 2.0;
    else if (align & TA_RIGHT)
        left = -total;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top = -tm.tmAscent;
    else if (align & TA_BOTTOM)
        top = -tm.tmHeight;
    const double a = m_font.Orientation() * M_PI / 1800.0;
    const double c = std::cos(a), s = std::sin(a);
    double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
    for (auto [px, py] : {std::pair{left, top}, {left + total, top}, {left, top + tm.tmHeight},
                          {left + total, top + tm.tmHeight}}) {
        const double rx = x + px * c + py * s;
        const double ry = y - px * s + py * c;
        minX = std::min(minX, rx);
        maxX = std::max(maxX, rx);
        minY = std::min(minY, ry);
        maxY = std::max(maxY, ry);
    }
    r.bounds = TRect(int(std::floor(minX)), int(std::floor(minY)), int(std::ceil(maxX)), int(std::ceil(maxY)));
    if (rect && (options & ETO_CLIPPED)) {
        r.bounds = TRect(std::max(r.bounds.Left, rect->Left), std::max(r.bounds.Top, rect->Top),
                         std::min(r.bounds.Right, rect->Right), std::min(r.bounds.Bottom, rect->Bottom));
    }
    if (TextAlign() & TA_UPDATECP)
        SetPenPos({x + int(std::lround(total * c)), y - int(std::lround(total * s))});
    add(std::move(r));
}

void TMetafileCanvas::SetClipRegion(const QRegion& region)
{
    auto r = makeRecord(MetaOp::SetClip);
    for (const QRect& q : region)
        r.pts.insert(r.pts.end(), {q.left(), q.top(), q.left() + q.width(), q.top() + q.height()});
    add(std::move(r));
    setClip(true, region);
}

void TMetafileCanvas::RemoveClip()
{
    add(makeRecord(MetaOp::RemoveClip));
    setClip(false, {});
}

void TMetafileCanvas::IntersectClipRect(const TRect& rect)
{
    auto r = makeRecord(MetaOp::IntersectClip);
    r.pts = {rect.Left, rect.Top, rect.Right, rect.Bottom};
    add(std::move(r));
    // Kept locally too, so ClipRect answers what the picture's author set.
    const QRegion q(rect.IsEmpty() ? QRect() : rect.toQRect());
    setClip(true, HasClip() ? ClipRegion().intersected(q) : q);
}

void TMetafileCanvas::IntersectClipRegion(const QRegion& region)
{
    auto r = makeRecord(MetaOp::IntersectRegion);
    for (const QRect& q : region)
        r.pts.insert(r.pts.end(), {q.left(), q.top(), q.left() + q.width(), q.top() + q.height()});
    add(std::move(r));
    setClip(true, HasClip() ? ClipRegion().intersected(region) : region);
}

void TMetafileCanvas::ExcludeClipRect(const TRect& rect)
{
    auto r = makeRecord(MetaOp::ExcludeClip);
    r.pts = {rect.Left, rect.Top, rect.Right, rect.Bottom};
    add(std::move(r));
}

void TMetafileCanvas::SaveClip()
{
    add(makeRecord(MetaOp::SaveClip));
    TCanvas::SaveClip();
}

void TMetafileCanvas::RestoreClip()
{
    add(makeRecord(MetaOp::RestoreClip));
    TCanvas::RestoreClip();
}

} // namespace plat
