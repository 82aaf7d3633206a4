#include "WinMetafile_p.h"

namespace plat::winmeta {

namespace {

enum EmfType : quint32 {
    EmrHeader = 1, EmrPolyBezier, EmrPolygon, EmrPolyline, EmrPolyBezierTo, EmrPolylineTo, EmrPolyPolyline,
    EmrPolyPolygon, EmrSetWindowExtEx, EmrSetWindowOrgEx, EmrSetViewportExtEx, EmrSetViewportOrgEx,
    EmrSetBrushOrgEx, EmrEof, EmrSetPixelV, EmrSetMapperFlags, EmrSetMapMode, EmrSetBkMode, EmrSetPolyFillMode,
    EmrSetRop2, EmrSetStretchBltMode, EmrSetTextAlign, EmrSetColorAdjustment, EmrSetTextColor, EmrSetBkColor,
    EmrOffsetClipRgn, EmrMoveToEx, EmrSetMetaRgn, EmrExcludeClipRect, EmrIntersectClipRect, EmrScaleViewportExtEx,
    EmrScaleWindowExtEx, EmrSaveDc, EmrRestoreDc, EmrSetWorldTransform, EmrModifyWorldTransform, EmrSelectObject,
    EmrCreatePen, EmrCreateBrushIndirect, EmrDeleteObject, EmrAngleArc, EmrEllipse, EmrRectangle, EmrRoundRect,
    EmrArc, EmrChord, EmrPie, EmrSelectPalette, EmrCreatePalette, EmrSetPaletteEntries, EmrResizePalette,
    EmrRealizePalette, EmrExtFloodFill, EmrLineTo, EmrArcTo, EmrPolyDraw, EmrSetArcDirection, EmrSetMiterLimit,
    EmrBeginPath, EmrEndPath, EmrCloseFigure, EmrFillPath, EmrStrokeAndFillPath, EmrStrokePath, EmrFlattenPath,
    EmrWidenPath, EmrSelectClipPath, EmrAbortPath,
    EmrGdiComment = 70, EmrFillRgn, EmrFrameRgn, EmrInvertRgn, EmrPaintRgn, EmrExtSelectClipRgn, EmrBitBlt,
    EmrStretchBlt, EmrMaskBlt, EmrPlgBlt, EmrSetDiBitsToDevice, EmrStretchDiBits, EmrExtCreateFontIndirectW,
    EmrExtTextOutA, EmrExtTextOutW, EmrPolyBezier16, EmrPolygon16, EmrPolyline16, EmrPolyBezierTo16,
    EmrPolylineTo16, EmrPolyPolyline16, EmrPolyPolygon16, EmrPolyDraw16, EmrCreateMonoBrush,
    EmrCreateDibPatternBrushPt, EmrExtCreatePen,
    EmrAlphaBlend = 114, EmrTransparentBlt = 116
};

QRectF readRectL(const Bytes& r, qint64 off)
{
    const double l = r.s32(off), t = r.s32(off + 4), rr = r.s32(off + 8), b = r.s32(off + 12);
    return QRectF(QPointF(l, t), QPointF(rr, b));
}

Xform readXform(const Bytes& r, qint64 off)
{
    return {r.f32(off), r.f32(off + 4), r.f32(off + 8), r.f32(off + 12), r.f32(off + 16), r.f32(off + 20)};
}

} // namespace

void Translator::runEmf(const QByteArray& bytes)
{
    const Bytes file(bytes.constData(), bytes.size());
    try {
        // The frame (hundredths of a millimetre on the reference device) is the picture.
        const QRectF bounds = readRectL(file, 8);
        const QRectF frame = readRectL(file, 24);
        if (file.has(80, 8)) {
            const double devW = file.s32(72), devH = file.s32(76), mmW = file.s32(80), mmH = file.s32(84);
            if (devW > 0 && devH > 0 && mmW > 0 && mmH > 0) {
                m_devPerMmX = devW / mmW;
                m_devPerMmY = devH / mmH;
            }
        }
        double fw = frame.width() * 0.01 * m_devPerMmX, fh = frame.height() * 0.01 * m_devPerMmY;
        double fl = frame.left() * 0.01 * m_devPerMmX, ft = frame.top() * 0.01 * m_devPerMmY;
        if (fw <= 0 || fh <= 0) {
            fl = bounds.left();
            ft = bounds.top();
            fw = bounds.width() + 1;
            fh = bounds.height() + 1;
        }
        if (fw <= 0 || fh <= 0)
            return;
        m_devToPic.m11 = m_out.Width() / fw;
        m_devToPic.m22 = m_out.Height() / fh;
        m_devToPic.dx = -fl * m_devToPic.m11;
        m_devToPic.dy = -ft * m_devToPic.m22;
        m_objects.resize(std::min<size_t>(file.u16(56), kMaxObjects));
    } catch (const Damaged&) {
        return;
    }
    qint64 pos = 0;
    while (file.has(pos, 8)) {
        const quint32 type = file.u32(pos), size = file.u32(pos + 4);
        if (size < 8 || size % 4 != 0 || !file.has(pos, size))
            break;
        if (type == EmrEof)
            break;
        if (pos > 0) {
            try {
                emfRecord(type, file.sub(pos, size));
            } catch (const Damaged&) {
                break;
            } catch (const Exception&) {
                break;
            }
        }
        pos += size;
    }
}

GdiObject* Translator::emfObject(quint32 index)
{
    return index < m_objects.size() && m_objects[index].kind != GdiObject::Free ? &m_objects[index] : nullptr;
}

void Translator::emfCreateObject(quint32 index, GdiObject o)
{
    if (index == 0 || index >= kMaxObjects)
        return;
    if (index >= m_objects.size())
        m_objects.resize(size_t(index) + 1);
    m_objects[index] = std::move(o);
}

std::vector<TRect> Translator::emfRegion(const Bytes& r, qint64 off, qint64 size) const
{
    // Region data: a 32-byte header, then its rectangles in device units.
    const Bytes data = r.sub(off, size);
    const quint32 headerSize = data.u32(0), count = data.u32(8);
    if (headerSize < 32)
        throw Damaged{};
    data.need(headerSize, qint64(count) * 16);
    std::vector<TRect> out;
    for (quint32 i = 0; i < count; ++i) {
        const QRectF rc = readRectL(data, headerSize + qint64(i) * 16);
        const TRect t = rectOf(m_devToPic.map(rc.topLeft()), m_devToPic.map(rc.bottomRight()));
        if (!t.IsEmpty())
            out.push_back(t);
    }
    return out;
}

bool Translator::emfStateRecord(quint32 type, const Bytes& r)
{
    switch (type) {
    case EmrSetWindowExtEx: m_st.winExt = QPointF(r.s32(8), r.s32(12)); break;
    case EmrSetWindowOrgEx: m_st.winOrg = QPointF(r.s32(8), r.s32(12)); break;
    case EmrSetViewportExtEx: m_st.vpExt = QPointF(r.s32(8), r.s32(12)); break;
    case EmrSetViewportOrgEx: m_st.vpOrg = QPointF(r.s32(8), r.s32(12)); break;
    case EmrScaleViewportExtEx: case EmrScaleWindowExtEx: {
        const double xn = r.s32(8), xd = r.s32(12), yn = r.s32(16), yd = r.s32(20);
        if (xd != 0 && yd != 0) {
            QPointF& ext = type == EmrScaleViewportExtEx ? m_st.vpExt : m_st.winExt;
            ext = QPointF(ext.x() * xn / xd, ext.y() * yn / yd);
        }
        break;
    }
    case EmrSetMapMode: {
        const quint32 m = r.u32(8);
        if (m >= kMmText && m <= kMmAnisotropic)
            m_st.mapMode = int(m);
        break;
    }
    case EmrSetBkMode: {
        const quint32 m = r.u32(8);
        if (m == TRANSPARENT || m == OPAQUE)
            m_st.bkMode = int(m);
        break;
    }
    case EmrSetPolyFillMode: m_st.fillMode = r.u32(8) == 2 ? fmWinding : fmAlternate; break;
    case EmrSetRop2: setRop2(r.u32(8)); break;
    case EmrSetTextAlign: m_st.textAlign = r.u32(8); break;
    case EmrSetTextColor: m_st.textColor = colorRef(r.u32(8)); break;
    case EmrSetBkColor: m_st.bkColor = colorRef(r.u32(8)); break;
    case EmrOffsetClipRgn: offsetClip(r.s32(8), r.s32(12)); break;
    case EmrExcludeClipRect: case EmrIntersectClipRect: {
        const QRectF rc = readRectL(r, 8);
        combineClip(regionOfRect(rc.left(), rc.top(), rc.right(), rc.bottom()),
                    type == EmrExcludeClipRect ? kRgnDiff : kRgnAnd);
        break;
    }
    case EmrSaveDc: saveDc(); break;
    case EmrRestoreDc: restoreDc(r.s32(8)); break;
    case EmrSetWorldTransform: m_st.world = readXform(r, 8); break;
    case EmrModifyWorldTransform: {
        const Xform x = readXform(r, 8);
        switch (r.u32(32)) {
        case 1: m_st.world = Xform{}; break;
        case 2: m_st.world = x.then(m_st.world); break;
        case 3: m_st.world = m_st.world.then(x); break;
        case 4: m_st.world = x; break;
        default: break;
        }
        break;
    }
    case EmrSetArcDirection: m_st.clockwise = r.u32(8) == 2; break;
    case EmrExtSelectClipRgn: {
        const quint32 cb = r.u32(8), mode = r.u32(12);
        if (cb == 0) {
            if (mode == kRgnCopy) {
                m_st.hasClip = false;
                m_st.clip = QRegion();
            }
            break;
        }
        QRegion region;
        for (const TRect& rc : emfRegion(r, 16, cb))
            region += rc.toQRect();
        combineClip(region, int(mode));
        break;
    }
    default: return false;
    }
    return true;
}

bool Translator::emfObjectRecord(quint32 type, const Bytes& r)
{
    switch (type) {
    case EmrSelectObject: {
        const quint32 ih = r.u32(8);
        if (ih & 0x80000000u)
            selectStock(ih & 0x7FFFFFFF);
        else if (GdiObject* o = emfObject(ih))
            selectObject(*o);
        break;
    }
    case EmrDeleteObject: {
        if (GdiObject* o = emfObject(r.u32(8)))
            *o = GdiObject{};
        break;
    }
    case EmrCreatePen: {
        GdiObject o;
        o.kind = GdiObject::Pen;
        o.pen.style = r.u32(12);
        o.pen.width = std::max(0, r.s32(16));
        o.pen.color = colorRef(r.u32(24));
        o.pen.geometric = o.pen.width > 1;
        emfCreateObject(r.u32(8), o);
        break;
    }
    case EmrExtCreatePen: {
        GdiObject o;
        o.kind = GdiObject::Pen;
        const quint32 style = r.u32(28), brushStyle = r.u32(36);
        o.pen.style = brushStyle == kBsNull ? kPsNull : style;
        o.pen.geometric = style & kPsGeometric;
        o.pen.width = o.pen.geometric ? double(r.u32(32)) : 0.0;
        o.pen.color = colorRef(r.u32(40));
        if (brushStyle == kBsDibPatternPt || brushStyle == kBsDibPattern || brushStyle == kBsPattern) {
            const quint32 offBmi = r.u32(12), cbBmi = r.u32(16), offBits = r.u32(20), cbBits = r.u32(24);
            if (cbBmi > 0 && r.has(offBmi, cbBmi) && r.has(offBits, cbBits))
                if (auto c = averageColor(decodeDib(r.sub(offBmi, cbBmi), r.sub(offBits, cbBits), 0).image))
                    o.pen.color = *c;
        }
        const quint32 n = r.u32(48);
        r.need(52, qint64(n) * 4);
        for (quint32 i = 0; i < n && i < 64; ++i)
            o.pen.dash.push_back(r.u32(52 + qint64(i) * 4));
        emfCreateObject(r.u32(8), o);
        break;
    }
    case EmrCreateBrushIndirect: {
        GdiObject o;
        o.kind = GdiObject::Brush;
        o.brush.style = r.u32(12);
        o.brush.color = colorRef(r.u32(16));
        o.brush.hatch = r.u32(20);
        if (o.brush.style != kBsNull && o.brush.style != kBsHatched)
            o.brush.style = kBsSolid;
        emfCreateObject(r.u32(8), o);
        break;
    }
    case EmrCreateMonoBrush: case EmrCreateDibPatternBrushPt: {
        GdiObject o;
        o.kind = GdiObject::Brush;
        const quint32 usage = r.u32(12), offBmi = r.u32(16), cbBmi = r.u32(20), offBits = r.u32(24),
                      cbBits = r.u32(28);
        const Dib dib = decodeDib(r.sub(offBmi, cbBmi), r.sub(offBits, cbBits), int(usage));
        // A pattern is shown as its average colour; an unreadable one draws nothing.
        if (auto c = averageColor(dib.image))
            o.brush.color = *c;
        else
            o.brush.style = kBsNull;
        emfCreateObject(r.u32(8), o);
        break;
    }
    case EmrExtCreateFontIndirectW: {
        GdiObject o;
        o.kind = GdiObject::Font;
        FontDef& f = o.font;
        f.height = r.s32(12);
        f.escapement = r.s32(20) % 3600;
        f.weight = r.s32(28);
        f.italic = r.u8(32);
        f.underline = r.u8(33);
        f.strike = r.u8(34);
        f.charset = r.u8(35);
        for (int i = 0; i < 32 && r.has(40 + 2 * i, 2); ++i) {
            const char16_t c = r.u16(40 + 2 * i);
            if (c == 0)
                break;
            f.face += QChar(c);
        }
        emfCreateObject(r.u32(8), o);
        break;
    }
    default: return false;
    }
    return true;
}

bool Translator::emfPathRecord(quint32 type, const Bytes& r)
{
    switch (type) {
    case EmrBeginPath:
        endPathUse();
        m_inPath = true;
        break;
    case EmrEndPath: m_inPath = false; break;
    case EmrCloseFigure:
        if (m_inPath && !m_path.empty())
            m_path.back().closed = true;
        break;
    case EmrFillPath: case EmrStrokeAndFillPath: case EmrStrokePath: {
        if (!m_inPath && m_pathValid) {
            std::vector<Figure> figs = std::move(m_path);
            if (type != EmrStrokePath)
                for (Figure& f : figs)
                    f.closed = true;
            emitFigures(figs, type != EmrStrokePath, type != EmrFillPath);
        }
        endPathUse();
        break;
    }
    case EmrWidenPath: m_pathValid = false; break; // a widened outline is not drawn
    case EmrSelectClipPath: {
        if (!m_inPath && m_pathValid) {
            std::vector<QPointF> all;
            for (const Figure& f : m_path) {
                all.insert(all.end(), f.pts.begin(), f.pts.end());
                if (!f.pts.empty())
                    all.push_back(f.pts.front());
                if (!m_path.front().pts.empty())
                    all.push_back(m_path.front().pts.front());
            }
            combineClip(regionOfPolygon(all, m_st.fillMode), int(r.u32(8)));
        }
        endPathUse();
        break;
    }
    case EmrAbortPath: endPathUse(); break;
    default: return false;
    }
    return true;
}

void Translator::emfRecord(quint32 type, const Bytes& r)
{
    if (emfStateRecord(type, r) || emfObjectRecord(type, r) || emfPathRecord(type, r))
        return;
    switch (type) {
    case EmrPolyBezier: case EmrPolygon: case EmrPolyline: case EmrPolyBezierTo: case EmrPolylineTo:
    case EmrPolyBezier16: case EmrPolygon16: case EmrPolyline16: case EmrPolyBezierTo16: case EmrPolylineTo16: {
        const bool small = type >= EmrPolyBezier16;
        const quint32 kind = small ? type - EmrPolyBezier16 + EmrPolyBezier : type;
        const std::vector<QPointF> p = readPoints(r, 28, r.u32(24), small);
        switch (kind) {
        case EmrPolyBezier: polyBezier(p, false); break;
        case EmrPolygon: polygon(p); break;
        case EmrPolyline: polyline(p); break;
        case EmrPolyBezierTo: polyBezier(p, true); break;
        default: polylineTo(p); break;
        }
        break;
    }
    case EmrPolyPolyline: case EmrPolyPolygon: case EmrPolyPolyline16: case EmrPolyPolygon16: {
        const bool small = type >= EmrPolyPolyline16;
        const quint32 n = r.u32(24), total = r.u32(28);
        r.need(32, qint64(n) * 4);
        const std::vector<QPointF> all = readPoints(r, 32 + qint64(n) * 4, total, small);
        std::vector<std::vector<QPointF>> rings;
        size_t at = 0;
        for (quint32 i = 0; i < n; ++i) {
            const quint32 c = r.u32(32 + qint64(i) * 4);
            if (c > all.size() - at)
                throw Damaged{};
            rings.emplace_back(all.begin() + qint64(at), all.begin() + qint64(at + c));
            at += c;
        }
        polyPoly(rings, type == EmrPolyPolygon || type == EmrPolyPolygon16);
        break;
    }
    case EmrSetPixelV: pixel(QPointF(r.s32(8), r.s32(12)), colorRef(r.u32(16))); break;
    case EmrMoveToEx: moveTo(QPointF(r.s32(8), r.s32(12))); break;
    case EmrAngleArc:
        angleArc(QPointF(r.s32(8), r.s32(12)), r.u32(16), r.f32(20), r.f32(24));
        break;
    case EmrEllipse: case EmrRectangle: {
        const QRectF rc = readRectL(r, 8);
        if (type == EmrEllipse)
            ellipse(rc.left(), rc.top(), rc.right(), rc.bottom());
        else
            rectangle(rc.left(), rc.top(), rc.right(), rc.bottom());
        break;
    }
    case EmrRoundRect: {
        const QRectF rc = readRectL(r, 8);
        roundRect(rc.left(), rc.top(), rc.right(), rc.bottom(), r.s32(24), r.s32(28));
        break;
    }
    case EmrArc: case EmrChord: case EmrPie: case EmrArcTo: {
        const QRectF rc = readRectL(r, 8);
        const ArcKind kind = type == EmrArc ? ArcKind::Arc : type == EmrChord ? ArcKind::Chord
                             : type == EmrPie ? ArcKind::Pie : ArcKind::ArcTo;
        arc(kind, rc.left(), rc.top(), rc.right(), rc.bottom(), QPointF(r.s32(24), r.s32(28)),
            QPointF(r.s32(32), r.s32(36)));
        break;
    }
    case EmrLineTo: lineTo(QPointF(r.s32(8), r.s32(12))); break;
    case EmrPolyDraw: case EmrPolyDraw16: {
        const bool small = type == EmrPolyDraw16;
        const quint32 n = r.u32(24);
        const std::vector<QPointF> p = readPoints(r, 28, n, small);
        const qint64 typesAt = 28 + qint64(n) * (small ? 4 : 8);
        const QByteArrayView t = r.view(typesAt, n);
        polyDraw(p, std::vector<quint8>(t.begin(), t.end()));
        break;
    }
    case EmrFillRgn: {
        const quint32 cb = r.u32(24), ih = r.u32(28);
        BrushDef brush = m_st.brush;
        if (ih & 0x80000000u) {
            const BrushDef saved = m_st.brush;
            selectStock(ih & 0x7FFFFFFF);
            brush = m_st.brush;
            m_st.brush = saved;
        } else if (GdiObject* o = emfObject(ih); o && o->kind == GdiObject::Brush) {
            brush = o->brush;
        } else {
            break;
        }
        fillRects(emfRegion(r, 32, cb), brush);
        break;
    }
    case EmrPaintRgn: fillRects(emfRegion(r, 28, r.u32(24)), m_st.brush); break;
    case EmrBitBlt: emfBlt(r, false); break;
    case EmrStretchBlt: emfBlt(r, true); break;
    case EmrAlphaBlend: emfBlt(r, true, Blt::Alpha); break;
    case EmrTransparentBlt: emfBlt(r, true, Blt::Transparent); break;
    case EmrStretchDiBits: {
        const qint32 xDest = r.s32(24), yDest = r.s32(28), xSrc = r.s32(32), ySrc = r.s32(36), cxSrc = r.s32(40),
                     cySrc = r.s32(44);
        const quint32 offBmi = r.u32(48), cbBmi = r.u32(52), offBits = r.u32(56), cbBits = r.u32(60),
                      usage = r.u32(64), rop = r.u32(68);
        const qint32 cxDest = r.s32(72), cyDest = r.s32(76);
        if (cbBmi == 0) {
            patBlt(xDest, yDest, cxDest, cyDest, rop);
            break;
        }
        const Dib dib = decodeDib(r.sub(offBmi, cbBmi), r.sub(offBits, cbBits), int(usage));
        image(dib, xSrc, ySrc, cxSrc, cySrc, xDest, yDest, cxDest, cyDest, rop, true);
        break;
    }
    case EmrSetDiBitsToDevice: {
        const qint32 xDest = r.s32(24), yDest = r.s32(28), xSrc = r.s32(32), ySrc = r.s32(36), cxSrc = r.s32(40),
                     cySrc = r.s32(44);
        const quint32 offBmi = r.u32(48), cbBmi = r.u32(52), offBits = r.u32(56), cbBits = r.u32(60),
                      usage = r.u32(64), startScan = r.u32(68), scans = r.u32(72);
        const Dib dib = decodeDib(r.sub(offBmi, cbBmi), r.sub(offBits, cbBits), int(usage), scans);
        // The bits hold scan lines startScan onwards, counted from the bottom.
        const double top = dib.bottomUp ? double(ySrc) - startScan : double(ySrc);
        image(dib, xSrc, top, cxSrc, cySrc, xDest, yDest, cxSrc, cySrc, kSrcCopy, true);
        break;
    }
    case EmrExtTextOutA: emfText(r, false); break;
    case EmrExtTextOutW: emfText(r, true); break;
    default: break; // comments (EMF+ included), palettes and the rest
    }
}

void Translator::emfBlt(const Bytes& r, bool stretch, Blt kind)
{
    // The word at 40 is the raster operation, the blend function or the
    // transparent colour.
    const qint32 xDest = r.s32(24), yDest = r.s32(28), cxDest = r.s32(32), cyDest = r.s32(36);
    const quint32 rop = r.u32(40);
    const qint32 xSrc = r.s32(44), ySrc = r.s32(48);
    const quint32 usage = r.u32(80), offBmi = r.u32(84), cbBmi = r.u32(88), offBits = r.u32(92), cbBits = r.u32(96);
    const qint32 cxSrc = stretch ? r.s32(100) : cxDest, cySrc = stretch ? r.s32(104) : cyDest;
    if (cbBmi == 0) {
        if (kind == Blt::Rop)
            patBlt(xDest, yDest, cxDest, cyDest, rop);
        return;
    }
    const bool perPixel = kind == Blt::Alpha && ((rop >> 24) & 1);
    Dib dib = decodeDib(r.sub(offBmi, cbBmi), r.sub(offBits, cbBits), int(usage), 0, perPixel);
    if (kind == Blt::Alpha)
        dib.image = withOpacity(dib.image, int((rop >> 16) & 0xFF));
    image(dib, xSrc, ySrc, cxSrc, cySrc, xDest, yDest, cxDest, cyDest, kind == Blt::Rop ? rop : kSrcCopy, false,
          kind == Blt::Transparent ? std::optional<TColor>(colorRef(rop)) : std::nullopt);
}

void Translator::emfText(const Bytes& r, bool wide)
{
    const QPointF ref(r.s32(36), r.s32(40));
    const quint32 n = r.u32(44), offString = r.u32(48), options = r.u32(52), offDx = r.u32(72);
    const QRectF rect = readRectL(r, 56);
    if (options & kEtoGlyphIndex)
        return; // glyph numbers of a font we do not have
    QString s;
    if (wide) {
        r.need(offString, qint64(n) * 2);
        s.reserve(qsizetype(n));
        for (quint32 i = 0; i < n; ++i)
            s += QChar(char16_t(r.u16(offString + qint64(i) * 2)));
    } else {
        s = decode8(r.view(offString, n), m_st.font);
    }
    std::vector<double> dx;
    if (offDx != 0 && n > 0) {
        const int step = (options & kEtoPdy) ? 2 : 1;
        r.need(offDx, qint64(n) * 4 * step);
        for (quint32 i = 0; i < n && dx.size() < size_t(s.size()); ++i)
            dx.push_back(r.s32(offDx + qint64(i) * 4 * step));
    }
    while (s.endsWith(QChar(0))) {
        s.chop(1);
        if (dx.size() > size_t(s.size()))
            dx.resize(size_t(s.size()));
    }
    text(ref, s, options, rect, dx);
}

} // namespace plat::winmeta
