#include "WinMetafile_p.h"

#include "CodePage.h"
#include "Exceptions.h"

#include <QLineF>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace plat::winmeta {


std::vector<TPoint> pts(const std::vector<QPointF>& in)
{
    std::vector<TPoint> out;
    out.reserve(in.size());
    for (const QPointF& p : in)
        out.push_back(pt(p));
    return out;
}

TRect rectOf(QPointF a, QPointF b)
{
    const int x1 = px(a.x()), y1 = px(a.y()), x2 = px(b.x()), y2 = px(b.y());
    return TRect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

void appendBezier(std::vector<QPointF>& out, QPointF p0, QPointF c1, QPointF c2, QPointF p3)
{
    const double len = QLineF(p0, c1).length() + QLineF(c1, c2).length() + QLineF(c2, p3).length();
    // Clamped as a double: a damaged file's points may lie so far apart (or
    // be NaN) that the count does not fit an int.
    const double steps = std::floor(len / 3) + 1;
    const int n = steps < 64 ? std::max(2, int(steps)) : 64;
    for (int i = 1; i <= n; ++i) {
        const double t = double(i) / n, u = 1 - t;
        out.push_back(p0 * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + p3 * (t * t * t));
    }
}

// Points of an elliptic arc inside the box (l, t, r, b), from the ray through
// s to the ray through e, counter-clockwise as seen with y growing downward
// unless clockwise; a full ellipse when the rays coincide.
std::vector<QPointF> arcPoints(double l, double t, double r, double b, QPointF s, QPointF e, bool clockwise)
{
    const double cx = (l + r) / 2, cy = (t + b) / 2, a = std::abs(r - l) / 2, bb = std::abs(b - t) / 2;
    if (a <= 0 || bb <= 0)
        return {};
    const double ts = std::atan2(-(s.y() - cy) / bb, (s.x() - cx) / a);
    const double te = std::atan2(-(e.y() - cy) / bb, (e.x() - cx) / a);
    double sweep = clockwise ? ts - te : te - ts;
    while (sweep <= 1e-12)
        sweep += 2 * M_PI;
    const int n = std::max(4, int(kCurveSegments * sweep / (2 * M_PI)));
    std::vector<QPointF> out;
    out.reserve(size_t(n) + 1);
    for (int i = 0; i <= n; ++i) {
        const double th = ts + (clockwise ? -sweep : sweep) * i / n;
        out.push_back({cx + a * std::cos(th), cy - bb * std::sin(th)});
    }
    return out;
}

std::vector<QPointF> roundRectPoints(double l, double t, double r, double b, double w, double h)
{
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    const double rx = std::min(std::abs(w) / 2, (r - l) / 2), ry = std::min(std::abs(h) / 2, (b - t) / 2);
    std::vector<QPointF> out;
    const struct {
        double cx, cy, from;
    } corners[] = {{r - rx, t + ry, 0}, {l + rx, t + ry, M_PI / 2}, {l + rx, b - ry, M_PI}, {r - rx, b - ry, 1.5 * M_PI}};
    constexpr int kSteps = kCurveSegments / 4;
    for (const auto& c : corners)
        for (int i = 0; i <= kSteps; ++i) {
            const double th = c.from + (M_PI / 2) * i / kSteps;
            out.push_back({c.cx + rx * std::cos(th), c.cy - ry * std::sin(th)});
        }
    return out;
}

std::vector<QPointF> readPoints(const Bytes& r, qint64 off, qint64 count, bool small)
{
    const int size = small ? 4 : 8;
    r.need(off, count * size);
    std::vector<QPointF> out;
    out.reserve(size_t(count));
    for (qint64 i = 0; i < count; ++i) {
        const qint64 o = off + i * size;
        out.push_back(small ? QPointF(r.s16(o), r.s16(o + 2)) : QPointF(r.s32(o), r.s32(o + 4)));
    }
    return out;
}

int codePageOf(const FontDef& f)
{
    // The program's ANSI code page stands for the default set, as do the
    // legacy "CE" faces that carried Central European text.
    if (f.charset == DEFAULT_CHARSET || f.face.endsWith(QLatin1String(" CE"), Qt::CaseInsensitive))
        return kCodePage1250;
    return CharsetToCodePage(f.charset);
}

QString decode8(QByteArrayView bytes, const FontDef& f)
{
    const int cp = codePageOf(f);
    if (cp == 0)
        return QString::fromLatin1(bytes);
    try {
        return codePageToUnicode(cp, bytes);
    } catch (const Exception&) {
        return cp1250ToUnicode(bytes);
    }
}

QString fontFace8(QByteArrayView bytes, quint8 charset)
{
    const qsizetype end = bytes.indexOf('\0');
    FontDef f;
    f.charset = charset;
    return decode8(end < 0 ? bytes : bytes.first(end), f);
}

// ---------------------------------------------------------------- mapping

Xform Translator::pageXform() const
{
    double sx = 1, sy = 1;
    const auto metric = [&](double mm) {
        sx = mm * m_devPerMmX;
        sy = -mm * m_devPerMmY;
    };
    switch (m_st.mapMode) {
    case kMmLoMetric: metric(0.1); break;
    case kMmHiMetric: metric(0.01); break;
    case kMmLoEnglish: metric(0.254); break;
    case kMmHiEnglish: metric(0.0254); break;
    case kMmTwips: metric(25.4 / 1440); break;
    case kMmIsotropic:
    case kMmAnisotropic: {
        const double wx = m_st.winExt.x() == 0 ? 1 : m_st.winExt.x();
        const double wy = m_st.winExt.y() == 0 ? 1 : m_st.winExt.y();
        sx = m_st.vpExt.x() / wx;
        sy = m_st.vpExt.y() / wy;
        if (m_st.mapMode == kMmIsotropic) {
            // The smaller scale wins, keeping each axis's direction.
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
        break;
    }
    default: break;
    }
    Xform x;
    x.m11 = sx;
    x.m22 = sy;
    x.dx = m_st.vpOrg.x() - m_st.winOrg.x() * sx;
    x.dy = m_st.vpOrg.y() - m_st.winOrg.y() * sy;
    return x;
}

std::vector<QPointF> Translator::mapAll(const std::vector<QPointF>& in) const
{
    const Xform t = total();
    std::vector<QPointF> out;
    out.reserve(in.size());
    for (const QPointF& p : in)
        out.push_back(t.map(p));
    return out;
}

// ---------------------------------------------------------------- state

void Translator::saveDc()
{
    if (m_saved.size() < kMaxSavedStates)
        m_saved.push_back(m_st);
}

void Translator::restoreDc(int n)
{
    // Negative: relative to the last save; positive: the n-th save still kept.
    const qint64 depth = qint64(m_saved.size());
    const qint64 target = n < 0 ? depth + n : qint64(n) - 1;
    if (n == 0 || target < 0 || target >= depth)
        return;
    m_st = m_saved[size_t(target)];
    m_saved.resize(size_t(target));
}

void Translator::setRop2(quint32 mode)
{
    // R2_BLACK (1) .. R2_WHITE (16).
    static constexpr TPenMode kModes[] = {pmBlack, pmNotMerge, pmMaskNotPen, pmNotCopy, pmMaskPenNot, pmNot,
                                          pmXor, pmNotMask, pmMask, pmNotXor, pmNop, pmMergeNotPen, pmCopy,
                                          pmMergePenNot, pmMerge, pmWhite};
    if (mode >= 1 && mode <= 16)
        m_st.rop2 = kModes[mode - 1];
}

void Translator::flushClip()
{
    if (m_st.hasClip == m_emittedHasClip && (!m_st.hasClip || m_st.clip == m_emittedClip))
        return;
    if (m_st.hasClip)
        m_canvas.SetClipRegion(m_st.clip);
    else
        m_canvas.RemoveClip();
    m_emittedHasClip = m_st.hasClip;
    m_emittedClip = m_st.clip;
}

void Translator::combineClip(const QRegion& region, int mode)
{
    const QRegion cur = m_st.hasClip ? m_st.clip : QRegion(m_everything);
    QRegion next;
    switch (mode) {
    case kRgnAnd: next = cur.intersected(region); break;
    case kRgnOr: next = cur.united(region); break;
    case kRgnXor: next = cur.xored(region); break;
    case kRgnDiff: next = cur.subtracted(region); break;
    case kRgnCopy: next = region; break;
    default: return;
    }
    m_st.hasClip = true;
    m_st.clip = next;
}

void Translator::offsetClip(double dx, double dy)
{
    if (!m_st.hasClip)
        return;
    const Xform t = total();
    const QPointF d = t.map(dx, dy) - t.map(0, 0);
    m_st.clip = m_st.clip.translated(px(d.x()), px(d.y())).intersected(m_everything);
}

QRegion Translator::regionOfPolygon(const std::vector<QPointF>& p, TFillMode mode) const
{
    // Scan lines through pixel centres, with the fill rule; rows repeating
    // the one above extend it. Limited to where a clip can matter.
    constexpr qint64 kMaxWork = 50'000'000;
    if (p.size() < 3)
        return {};
    struct Edge {
        double x0, y0, x1, y1;
        int dir;
    };
    std::vector<Edge> edges;
    double top = kMaxCoord, bottom = -kMaxCoord;
    for (size_t i = 0; i < p.size(); ++i) {
        const QPointF a(bounded(p[i].x()), bounded(p[i].y()));
        const QPointF b(bounded(p[(i + 1) % p.size()].x()), bounded(p[(i + 1) % p.size()].y()));
        top = std::min(top, a.y());
        bottom = std::max(bottom, a.y());
        if (a.y() != b.y())
            edges.push_back(a.y() < b.y() ? Edge{a.x(), a.y(), b.x(), b.y(), 1} : Edge{b.x(), b.y(), a.x(), a.y(), -1});
    }
    const int y0 = std::max(int(std::floor(top)), m_everything.top());
    const int y1 = std::min(int(std::ceil(bottom)), m_everything.bottom() + 1);
    if (y1 <= y0 || edges.empty())
        return {};
    if (qint64(y1 - y0) * qint64(edges.size()) > kMaxWork) {
        const QRect box(QPoint(px(std::min_element(p.begin(), p.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); })->x()), y0),
                        QPoint(px(std::max_element(p.begin(), p.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); })->x()), y1 - 1));
        return QRegion(box).intersected(m_everything); // too large to trace: its box
    }
    std::vector<QRect> rects;
    std::vector<std::pair<int, int>> spans, previous;
    size_t previousAt = 0;
    std::vector<std::pair<double, int>> cross;
    for (int y = y0; y < y1; ++y) {
        const double yc = y + 0.5;
        cross.clear();
        for (const Edge& e : edges)
            if (e.y0 <= yc && yc < e.y1)
                cross.push_back({e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
        std::sort(cross.begin(), cross.end());
        spans.clear();
        int winding = 0;
        for (size_t i = 0; i + 1 < cross.size(); ++i) {
            winding += mode == fmWinding ? cross[i].second : (winding == 0 ? 1 : -1);
            if (winding == 0)
                continue;
            const int l = std::max(int(std::ceil(cross[i].first - 0.5)), m_everything.left());
            const int r = std::min(int(std::ceil(cross[i + 1].first - 0.5)), m_everything.right() + 1);
            if (r <= l)
                continue;
            if (!spans.empty() && spans.back().second >= l)
                spans.back().second = std::max(spans.back().second, r);
            else
                spans.push_back({l, r});
        }
        if (!spans.empty() && spans == previous && previousAt + spans.size() == rects.size()
            && rects.back().bottom() == y - 1) {
            for (size_t i = previousAt; i < rects.size(); ++i)
                rects[i].setBottom(y);
            continue;
        }
        previousAt = rects.size();
        for (const auto& [l, r] : spans)
            rects.push_back(QRect(l, y, r - l, 1));
        previous = spans;
    }
    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), int(rects.size()));
    return region;
}

QRegion Translator::regionOfRect(double l, double t, double r, double b) const
{
    const Xform x = total();
    if (x.rectilinear()) {
        const TRect rc = rectOf(x.map(l, t), x.map(r, b));
        return rc.IsEmpty() ? QRegion() : QRegion(rc.toQRect()).intersected(m_everything);
    }
    return regionOfPolygon({x.map(l, t), x.map(r, t), x.map(r, b), x.map(l, b)}, fmAlternate);
}

void Translator::applyDrawState(const Xform& t)
{
    flushClip();
    checkBudget();
    const int maxLen = std::min(std::max(m_out.Width(), m_out.Height()) * 4 + 16, kMaxLength * m_unit);

    // Pen: widths are logical units along x; zero or cosmetic is one pixel.
    const PenDef& pd = m_st.pen;
    const unsigned style = pd.style & kPsStyleMask;
    const double sx = t.scaleX();
    int width = 1;
    if (pd.width > 0)
        width = std::clamp(px(pd.width * sx), 1, maxLen);
    static constexpr TPenStyle kStyles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame};
    TPenStyle ps = style < 7 ? kStyles[style] : style == kPsAlternate ? psDot : psSolid;
    TPen& pen = m_canvas.Pen();
    std::vector<int> dash;
    if (pd.geometric && style == kPsUserStyle)
        for (double d : pd.dash)
            dash.push_back(std::clamp(px(d * sx), 1, maxLen));
    if (pd.geometric && (width > 1 || !dash.empty())) {
        const unsigned cap = pd.style & kPsEndCapMask;
        pen.SetGeometric(width, pd.color, cap == kPsEndCapFlat ? pecFlat : cap == kPsEndCapSquare ? pecSquare : pecRound,
                         dash);
    } else {
        pen.SetCosmetic();
        pen.SetColor(pd.color);
        pen.SetWidth(width);
    }
    pen.SetStyle(ps);
    pen.SetMode(m_st.rop2);

    const BrushDef& bd = m_st.brush;
    TBrush& brush = m_canvas.Brush();
    brush.SetColor(bd.color);
    if (bd.style == kBsNull)
        brush.SetStyle(bsClear);
    else if (bd.style == kBsHatched && bd.hatch <= 5)
        brush.SetStyle(TBrushStyle(bsHorizontal + int(bd.hatch)));
    else
        brush.SetStyle(bsSolid);

    // After the brush, which would otherwise set the background itself.
    m_canvas.SetBkMode(m_st.bkMode);
    m_canvas.SetBkColor(m_st.bkColor);
    m_canvas.SetTextAlign(m_st.textAlign & (TA_CENTER | TA_BASELINE));
    m_canvas.SetTextCharacterExtra(std::clamp(px(m_st.charExtra * sx), -maxLen, maxLen));
    m_canvas.SetPolyFillMode(m_st.fillMode);
    m_canvas.SetCopyMode(cmSrcCopy);

    const FontDef& fd = m_st.font;
    TFont& font = m_canvas.Font();
    font.SetName(fd.face.isEmpty() ? QStringLiteral("Arial") : fd.face);
    int height = kDefaultFontHeight * m_unit;
    if (fd.height != 0) {
        height = std::clamp(px(std::abs(fd.height) * t.scaleY()), 1, maxLen);
        if (fd.height < 0)
            height = -height;
    }
    font.SetHeight(height);
    font.SetColor(m_st.textColor);
    TFontStyles fs;
    fs.set(fsBold, fd.weight >= 600).set(fsItalic, fd.italic).set(fsUnderline, fd.underline).set(fsStrikeOut, fd.strike);
    font.SetStyle(fs);
    font.SetCharset(fd.charset);
    // A rotating transform turns the text with it.
    int angle = 0;
    if (!t.rectilinear())
        angle = int(std::lround(std::atan2(-t.m12, t.m11) * 1800 / M_PI));
    font.SetOrientation(((fd.escapement + angle) % 3600 + 3600) % 3600);
}

void Translator::selectObject(const GdiObject& o)
{
    switch (o.kind) {
    case GdiObject::Pen: m_st.pen = o.pen; break;
    case GdiObject::Brush: m_st.brush = o.brush; break;
    case GdiObject::Font: m_st.font = o.font; break;
    default: break;
    }
}

bool Translator::selectStock(quint32 n)
{
    static constexpr TColor kBrushes[] = {clWhite, RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80), RGB(0x40, 0x40, 0x40),
                                          clBlack};
    if (n <= 4) {
        m_st.brush = BrushDef{kBsSolid, kBrushes[n], 0};
    } else if (n == 5) {
        m_st.brush = BrushDef{kBsNull, clWhite, 0};
    } else if (n == 6 || n == 7 || n == 19) {
        m_st.pen = PenDef{};
        m_st.pen.color = n == 6 ? clWhite : clBlack;
    } else if (n == 8) {
        m_st.pen = PenDef{};
        m_st.pen.style = kPsNull;
    } else if ((n >= 10 && n <= 14) || n == 16 || n == 17) {
        m_st.font = FontDef{};
    } else if (n == 18) {
        m_st.brush = BrushDef{};
    } else {
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- paths

void Translator::pathAdd(std::vector<QPointF> p, bool closed)
{
    if (p.empty())
        return;
    m_pathPoints += p.size();
    if (m_pathPoints > kMaxPathPoints) {
        m_pathValid = false;
        return;
    }
    m_path.push_back({std::move(p), closed});
}

void Translator::pathExtend(const std::vector<QPointF>& p)
{
    if (m_path.empty() || m_path.back().closed)
        pathAdd({map(m_st.cur)}, false);
    m_pathPoints += p.size();
    if (m_pathPoints > kMaxPathPoints || m_path.empty()) {
        m_pathValid = false;
        return;
    }
    auto& f = m_path.back().pts;
    f.insert(f.end(), p.begin(), p.end());
}

void Translator::endPathUse()
{
    m_path.clear();
    m_pathPoints = 0;
    m_pathValid = true;
    m_inPath = false;
}

// ---------------------------------------------------------------- emitting

void Translator::emitPolygon(const std::vector<QPointF>& p)
{
    if (p.size() < 2)
        return;
    applyDrawState(total());
    m_canvas.Polygon(pts(p));
}

void Translator::emitPolyline(const std::vector<QPointF>& p)
{
    if (p.size() < 2)
        return;
    applyDrawState(total());
    m_canvas.Polyline(pts(p));
}

void Translator::emitFigures(const std::vector<Figure>& figs, bool fill, bool stroke)
{
    std::vector<const Figure*> rings;
    for (const Figure& f : figs)
        if (!f.pts.empty())
            rings.push_back(&f);
    if (rings.empty())
        return;
    applyDrawState(total());
    if (fill) {
        // One polygon for all figures: each is reached from the first figure's
        // start and left the same way, so the bridges enclose nothing.
        std::vector<TPoint> all;
        const TPoint origin = pt(rings.front()->pts.front());
        for (const Figure* f : rings) {
            const TPoint start = pt(f->pts.front());
            for (const QPointF& q : f->pts)
                all.push_back(pt(q));
            all.push_back(start);
            all.push_back(origin);
        }
        const TPenStyle saved = m_canvas.Pen().Style();
        if (stroke && rings.size() == 1 && rings.front()->closed) {
            m_canvas.Polygon(pts(rings.front()->pts));
            return;
        }
        m_canvas.Pen().SetStyle(psClear);
        m_canvas.Polygon(all);
        m_canvas.Pen().SetStyle(saved);
    }
    if (stroke) {
        for (const Figure* f : rings) {
            std::vector<TPoint> line = pts(f->pts);
            if (f->closed || fill)
                line.push_back(line.front());
            if (line.size() >= 2)
                m_canvas.Polyline(line);
        }
    }
}

// ---------------------------------------------------------------- drawing

void Translator::moveTo(QPointF p)
{
    m_st.cur = p;
    if (m_inPath)
        pathAdd({map(p)}, false);
}

void Translator::lineTo(QPointF p)
{
    if (m_inPath) {
        pathExtend({map(p)});
    } else {
        const Xform t = total();
        applyDrawState(t);
        const TPoint a = pt(t.map(m_st.cur)), b = pt(t.map(p));
        m_canvas.MoveTo(a.X, a.Y);
        m_canvas.LineTo(b.X, b.Y);
    }
    m_st.cur = p;
}

void Translator::polyline(const std::vector<QPointF>& p)
{
    if (p.empty())
        return;
    if (m_inPath)
        pathAdd(mapAll(p), false);
    else
        emitPolyline(mapAll(p));
}

void Translator::polylineTo(const std::vector<QPointF>& p)
{
    if (p.empty())
        return;
    if (m_inPath) {
        pathExtend(mapAll(p));
    } else {
        std::vector<QPointF> all{m_st.cur};
        all.insert(all.end(), p.begin(), p.end());
        emitPolyline(mapAll(all));
    }
    m_st.cur = p.back();
}

void Translator::polygon(const std::vector<QPointF>& p)
{
    if (p.empty())
        return;
    if (m_inPath)
        pathAdd(mapAll(p), true);
    else
        emitPolygon(mapAll(p));
}

void Translator::polyPoly(const std::vector<std::vector<QPointF>>& rings, bool closed)
{
    std::vector<Figure> figs;
    for (const auto& r : rings)
        if (!r.empty())
            figs.push_back({mapAll(r), closed});
    if (m_inPath) {
        for (Figure& f : figs)
            pathAdd(std::move(f.pts), closed);
        return;
    }
    if (closed) {
        emitFigures(figs, true, true);
    } else {
        for (const Figure& f : figs)
            emitPolyline(f.pts);
    }
}

void Translator::polyBezier(const std::vector<QPointF>& p, bool fromCurrent)
{
    std::vector<QPointF> ctl;
    if (fromCurrent)
        ctl.push_back(m_st.cur);
    ctl.insert(ctl.end(), p.begin(), p.end());
    if (ctl.size() < 4)
        return;
    const std::vector<QPointF> m = mapAll(ctl);
    std::vector<QPointF> flat{m[0]};
    size_t i = 1;
    for (; i + 2 < m.size(); i += 3)
        appendBezier(flat, m[i - 1], m[i], m[i + 1], m[i + 2]);
    if (fromCurrent)
        m_st.cur = ctl[i - 1];
    if (m_inPath) {
        if (fromCurrent)
            pathExtend(std::vector<QPointF>(flat.begin() + 1, flat.end()));
        else
            pathAdd(flat, false);
    } else {
        emitPolyline(flat);
    }
}

void Translator::polyDraw(const std::vector<QPointF>& p, const std::vector<quint8>& types)
{
    // Figures in the order given: move, line, Bezier (three points), close.
    std::vector<Figure> figs;
    QPointF cur = m_st.cur;
    const Xform t = total();
    figs.push_back({{t.map(cur)}, false});
    for (size_t i = 0; i < p.size(); ++i) {
        const quint8 kind = types[i] & 6;
        if (kind == 6) {
            figs.push_back({{t.map(p[i])}, false});
            cur = p[i];
        } else if (kind == 2) {
            figs.back().pts.push_back(t.map(p[i]));
            cur = p[i];
        } else if (kind == 4 && i + 2 < p.size()) {
            appendBezier(figs.back().pts, t.map(cur), t.map(p[i]), t.map(p[i + 1]), t.map(p[i + 2]));
            i += 2;
            cur = p[i];
        } else {
            break;
        }
        if (types[i] & 1) {
            figs.back().closed = true;
            figs.push_back({{t.map(cur)}, false});
        }
    }
    m_st.cur = cur;
    if (m_inPath) {
        for (Figure& f : figs)
            if (f.pts.size() > 1)
                pathAdd(std::move(f.pts), f.closed);
        return;
    }
    for (const Figure& f : figs) {
        std::vector<QPointF> line = f.pts;
        if (f.closed)
            line.push_back(line.front());
        emitPolyline(line);
    }
}

void Translator::rectangle(double l, double t, double r, double b)
{
    const Xform x = total();
    if (!m_inPath && x.rectilinear()) {
        applyDrawState(x);
        const TRect rc = rectOf(x.map(l, t), x.map(r, b));
        m_canvas.Rectangle(rc.Left, rc.Top, rc.Right, rc.Bottom);
        return;
    }
    polygon({{l, t}, {r, t}, {r, b}, {l, b}});
}

void Translator::roundRect(double l, double t, double r, double b, double w, double h)
{
    const Xform x = total();
    if (!m_inPath && x.axisAligned()) {
        applyDrawState(x);
        const TRect rc = rectOf(x.map(l, t), x.map(r, b));
        m_canvas.RoundRect(rc.Left, rc.Top, rc.Right, rc.Bottom, px(std::abs(w * x.m11)), px(std::abs(h * x.m22)));
        return;
    }
    polygon(roundRectPoints(l, t, r, b, w, h));
}

void Translator::ellipse(double l, double t, double r, double b)
{
    const Xform x = total();
    if (!m_inPath && x.rectilinear()) {
        applyDrawState(x);
        const TRect rc = rectOf(x.map(l, t), x.map(r, b));
        m_canvas.Ellipse(rc.Left, rc.Top, rc.Right, rc.Bottom);
        return;
    }
    const QPointF c((l + r) / 2, (t + b) / 2);
    std::vector<QPointF> p = arcPoints(l, t, r, b, c + QPointF(1, 0), c + QPointF(1, 0), false);
    if (!p.empty())
        p.pop_back();
    polygon(p);
}

void Translator::arc(ArcKind kind, double l, double t, double r, double b, QPointF s, QPointF e)
{
    const Xform x = total();
    if (!m_inPath && x.rectilinear() && (kind == ArcKind::Arc || kind == ArcKind::Pie)) {
        // Device space, counter-clockwise unless the direction says otherwise.
        applyDrawState(x);
        const TRect rc = rectOf(x.map(l, t), x.map(r, b));
        TPoint a = pt(x.map(s)), z = pt(x.map(e));
        if (m_st.clockwise)
            std::swap(a, z);
        if (kind == ArcKind::Arc)
            m_canvas.Arc(rc.Left, rc.Top, rc.Right, rc.Bottom, a.X, a.Y, z.X, z.Y);
        else
            m_canvas.Pie(rc.Left, rc.Top, rc.Right, rc.Bottom, a.X, a.Y, z.X, z.Y);
        return;
    }
    // The direction holds in device space: a mirroring map reverses it here.
    std::vector<QPointF> p = arcPoints(l, t, r, b, s, e, m_st.clockwise != (x.det() < 0));
    if (p.empty())
        return;
    switch (kind) {
    case ArcKind::Arc: polyline(p); break;
    case ArcKind::ArcTo: polylineTo(p); break;
    case ArcKind::Chord: polygon(p); break;
    case ArcKind::Pie:
        p.insert(p.begin(), QPointF((l + r) / 2, (t + b) / 2));
        polygon(p);
        break;
    }
}

void Translator::angleArc(QPointF c, double radius, double start, double sweep)
{
    const double a0 = start * M_PI / 180, sw = std::clamp(sweep, -3600.0, 3600.0) * M_PI / 180;
    const int n = std::clamp(int(std::abs(sw) / (2 * M_PI) * kCurveSegments) + 1, 2, 10 * kCurveSegments);
    std::vector<QPointF> p;
    for (int i = 0; i <= n; ++i) {
        const double th = a0 + sw * i / n;
        p.push_back({c.x() + radius * std::cos(th), c.y() - radius * std::sin(th)});
    }
    polylineTo(p);
}

void Translator::pixel(QPointF p, TColor c)
{
    if (m_inPath)
        return;
    const Xform t = total();
    applyDrawState(t);
    const TPoint q = pt(t.map(p));
    m_canvas.SetPixel(q.X, q.Y, c);
}

void Translator::text(QPointF ref, const QString& s, unsigned options, std::optional<QRectF> rect,
                      std::vector<double> dx)
{
    if (m_inPath)
        return;
    const Xform t = total();
    const bool updateCp = m_st.textAlign & TA_UPDATECP;
    if (updateCp)
        ref = m_st.cur;
    const TPoint p = pt(t.map(ref));
    TRect rc;
    bool hasRect = false;
    if (rect && (options & (ETO_OPAQUE | ETO_CLIPPED)) && t.rectilinear()) {
        rc = rectOf(t.map(rect->left(), rect->top()), t.map(rect->right(), rect->bottom()));
        hasRect = true;
    }
    const unsigned opts = hasRect ? options & (ETO_OPAQUE | ETO_CLIPPED) : 0;
    // Cumulative positions, so that rounding never adds up along the line.
    const double sx = t.scaleX();
    std::vector<int> adv;
    double cum = 0;
    int prev = 0;
    for (double d : dx) {
        cum += d;
        const int pos = px(cum * sx);
        adv.push_back(pos - prev);
        prev = pos;
    }
    applyDrawState(t);
    if (s.isEmpty()) {
        if (hasRect && (opts & ETO_OPAQUE)) {
            m_canvas.Brush().SetColor(m_st.bkColor);
            m_canvas.Brush().SetStyle(bsSolid);
            m_canvas.FillRect(rc);
        }
        return;
    }
    m_canvas.ExtTextOut(p.X, p.Y, opts, hasRect ? &rc : nullptr, s, adv.empty() ? nullptr : adv.data(),
                        int(adv.size()));
    if (updateCp && sx > 0) {
        const double width = adv.empty() ? m_canvas.TextWidth(s) : prev;
        m_st.cur += QPointF(width / sx, 0);
    }
}

void Translator::image(const Dib& dib, double sx, double sy, double sw, double sh, double x, double y, double w,
                       double h, quint32 rop, bool sourceFromBottom, std::optional<TColor> transparent)
{
    const std::optional<TCopyMode> mode = copyModeOf(rop);
    if (m_inPath || dib.image.isNull() || !mode)
        return;
    const Xform t = total();
    if (!t.axisAligned())
        return; // a turned picture has no record to hold it
    const QPointF a = t.map(x, y), b = t.map(x + w, y + h);
    int l = px(a.x()), r = px(b.x()), top = px(a.y()), bottom = px(b.y());
    bool mirrorX = r < l, mirrorY = bottom < top;
    if (mirrorX)
        std::swap(l, r);
    if (mirrorY)
        std::swap(top, bottom);
    if (l == r || top == bottom)
        return;
    const QImage& img = dib.image;
    // Source rectangle in the picture's rows from the top; the whole picture
    // when it does not lie inside.
    double sl = sx, st = sy, sr = sx + sw, sb = sy + sh;
    if (sr < sl) {
        std::swap(sl, sr);
        mirrorX = !mirrorX;
    }
    if (sb < st) {
        std::swap(st, sb);
        mirrorY = !mirrorY;
    }
    if (sourceFromBottom && dib.bottomUp) {
        const double flippedTop = img.height() - sb;
        sb = img.height() - st;
        st = flippedTop;
    }
    QRect src = img.rect();
    if (sl >= 0 && st >= 0 && sr <= img.width() && sb <= img.height()) {
        const int l0 = int(std::lround(sl)), t0 = int(std::lround(st));
        const int w0 = int(std::lround(sr)) - l0, h0 = int(std::lround(sb)) - t0;
        if (w0 > 0 && h0 > 0)
            src = QRect(l0, t0, w0, h0);
    }
    QImage part = src == img.rect() ? img : img.copy(src);
    if (mirrorX || mirrorY)
        part = part.mirrored(mirrorX, mirrorY);
    if (rop == kNotSrcCopy)
        part.invertPixels();
    applyDrawState(t);
    if (transparent) {
        m_canvas.DrawTransparent(TRect(l, top, r, bottom), part, *transparent);
        return;
    }
    m_canvas.SetCopyMode(*mode);
    m_canvas.DrawImage(TRect(l, top, r, bottom), part, TRect(0, 0, part.width(), part.height()));
    m_canvas.SetCopyMode(cmSrcCopy);
}

void Translator::patBlt(double x, double y, double w, double h, quint32 rop)
{
    if (m_inPath)
        return;
    const Xform t = total();
    if (!t.rectilinear())
        return;
    BrushDef brush = m_st.brush;
    if (rop == kBlackness || rop == kWhiteness)
        brush = BrushDef{kBsSolid, rop == kBlackness ? clBlack : clWhite, 0};
    else if (rop != kPatCopy)
        return; // raster operations with the destination are not drawn
    fillRects({rectOf(t.map(x, y), t.map(x + w, y + h))}, brush);
}

void Translator::fillRects(const std::vector<TRect>& rects, const BrushDef& brush)
{
    if (m_inPath || rects.empty())
        return;
    const BrushDef saved = m_st.brush;
    m_st.brush = brush;
    applyDrawState(total());
    m_st.brush = saved;
    if (brush.style == kBsNull)
        return;
    for (const TRect& r : rects)
        m_canvas.FillRect(r);
}

} // namespace plat::winmeta

namespace plat {

std::vector<TMetafileRecord> TranslateWmf(const QByteArray& bytes, int width, int height, int unitsPerPixel)
{
    winmeta::Translator t(width, height, unitsPerPixel);
    t.runWmf(bytes);
    return t.records();
}

std::vector<TMetafileRecord> TranslateEmf(const QByteArray& bytes, int width, int height, int unitsPerPixel)
{
    winmeta::Translator t(width, height, unitsPerPixel);
    t.runEmf(bytes);
    return t.records();
}

} // namespace plat
