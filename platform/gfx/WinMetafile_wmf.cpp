#include "WinMetafile_p.h"

namespace plat::winmeta {

namespace {

enum WmfFunc : quint16 {
    WmfEof = 0x0000, WmfSetBkColor = 0x0201, WmfSetBkMode = 0x0102, WmfSetMapMode = 0x0103, WmfSetRop2 = 0x0104,
    WmfSetPolyFillMode = 0x0106, WmfSetTextAlign = 0x012E, WmfSetTextColor = 0x0209, WmfSetWindowOrg = 0x020B,
    WmfSetWindowExt = 0x020C, WmfSetViewportOrg = 0x020D, WmfSetViewportExt = 0x020E, WmfOffsetWindowOrg = 0x020F,
    WmfOffsetViewportOrg = 0x0211, WmfScaleWindowExt = 0x0410, WmfScaleViewportExt = 0x0412, WmfLineTo = 0x0213,
    WmfMoveTo = 0x0214, WmfExcludeClipRect = 0x0415, WmfIntersectClipRect = 0x0416, WmfArc = 0x0817,
    WmfEllipse = 0x0418, WmfPie = 0x081A, WmfRectangle = 0x041B, WmfRoundRect = 0x061C, WmfPatBlt = 0x061D,
    WmfSaveDc = 0x001E, WmfSetPixel = 0x041F, WmfTextOut = 0x0521, WmfPolygon = 0x0324, WmfPolyline = 0x0325,
    WmfRestoreDc = 0x0127, WmfFillRegion = 0x0228, WmfPaintRegion = 0x012B, WmfSelectClipRegion = 0x012C,
    WmfSelectObject = 0x012D, WmfChord = 0x0830, WmfExtTextOut = 0x0A32, WmfSetDibToDev = 0x0D33,
    WmfPolyPolygon = 0x0538, WmfDibBitBlt = 0x0940, WmfDibStretchBlt = 0x0B41, WmfDibCreatePatternBrush = 0x0142,
    WmfStretchDib = 0x0F43, WmfDeleteObject = 0x01F0, WmfCreatePalette = 0x00F7, WmfCreatePatternBrush = 0x01F9,
    WmfCreatePenIndirect = 0x02FA, WmfCreateFontIndirect = 0x02FB, WmfCreateBrushIndirect = 0x02FC,
    WmfCreateRegion = 0x06FF, WmfOffsetClipRgn = 0x0220, WmfSetTextCharExtra = 0x0108
};

// The i-th 16-bit parameter; WMF stores most parameters last to first.
double wmfParam(const Bytes& r, int i) { return r.s16(6 + 2 * i); }

// A rectangle stored as bottom, right, top, left from parameter first on.
QRectF wmfBox(const Bytes& r, int first)
{
    return QRectF(QPointF(wmfParam(r, first + 3), wmfParam(r, first + 2)),
                  QPointF(wmfParam(r, first + 1), wmfParam(r, first)));
}

} // namespace

void Translator::runWmf(const QByteArray& bytes)
{
    const Bytes file(bytes.constData(), bytes.size());
    try {
        // The placeable box, in the metafile's units, is the picture.
        const double left = file.s16(6), top = file.s16(8), right = file.s16(10), bottom = file.s16(12);
        const double inch = file.u16(14);
        if (right <= left || bottom <= top || inch <= 0)
            return;
        m_devPerMmX = m_devPerMmY = inch / 25.4;
        m_devToPic.m11 = m_out.Width() / (right - left);
        m_devToPic.m22 = m_out.Height() / (bottom - top);
        m_devToPic.dx = -left * m_devToPic.m11;
        m_devToPic.dy = -top * m_devToPic.m22;
        // As a program plays a placeable file: the window maps onto the box.
        m_st.mapMode = kMmAnisotropic;
        m_st.winOrg = m_st.vpOrg = QPointF(left, top);
        m_st.winExt = m_st.vpExt = QPointF(right - left, bottom - top);
        const quint16 kind = file.u16(22), headerWords = file.u16(24);
        if ((kind != 1 && kind != 2) || headerWords != 9)
            return;
    } catch (const Damaged&) {
        return;
    }
    qint64 pos = 22 + 18;
    while (file.has(pos, 6)) {
        const qint64 size = qint64(file.u32(pos)) * 2;
        const quint16 func = file.u16(pos + 4);
        if (size < 6 || !file.has(pos, size) || func == WmfEof)
            break;
        try {
            wmfRecord(func, file.sub(pos, size));
        } catch (const Damaged&) {
            break;
        } catch (const Exception&) {
            break;
        }
        pos += size;
    }
}

void Translator::wmfCreateObject(GdiObject o)
{
    // A new object takes the lowest free slot.
    for (GdiObject& slot : m_objects)
        if (slot.kind == GdiObject::Free) {
            slot = std::move(o);
            return;
        }
    if (m_objects.size() < kMaxObjects)
        m_objects.push_back(std::move(o));
}

GdiObject* Translator::wmfObject(int index)
{
    return index >= 0 && size_t(index) < m_objects.size() && m_objects[size_t(index)].kind != GdiObject::Free
               ? &m_objects[size_t(index)]
               : nullptr;
}

GdiObject Translator::wmfRegion(const Bytes& r) const
{
    // Scans of rectangles in logical units; what cannot be read is left out.
    GdiObject o;
    o.kind = GdiObject::Region;
    try {
        const int scans = r.s16(16);
        qint64 at = 28;
        for (int i = 0; i < scans; ++i) {
            const int count = r.u16(at);
            const double top = r.s16(at + 2), bottom = r.s16(at + 4);
            for (int k = 0; k + 1 < count; k += 2) {
                const double l = r.s16(at + 6 + 2 * k), rr = r.s16(at + 8 + 2 * k);
                o.region.push_back(QRectF(QPointF(l, top), QPointF(rr, bottom)));
            }
            at += 8 + 2 * qint64(count);
        }
    } catch (const Damaged&) {
    }
    return o;
}

std::vector<TRect> Translator::regionRects(const GdiObject& o) const
{
    const Xform t = total();
    std::vector<TRect> out;
    if (!t.rectilinear())
        return out;
    for (const QRectF& r : o.region) {
        const TRect rc = rectOf(t.map(r.topLeft()), t.map(r.bottomRight()));
        if (!rc.IsEmpty())
            out.push_back(rc);
    }
    return out;
}

bool Translator::wmfStateRecord(quint16 func, const Bytes& r)
{
    const auto w = [&](int i) { return wmfParam(r, i); };
    switch (func) {
    case WmfSetBkColor: m_st.bkColor = colorRef(r.u32(6)); break;
    case WmfSetTextColor: m_st.textColor = colorRef(r.u32(6)); break;
    case WmfSetBkMode: {
        const int m = r.u16(6);
        if (m == TRANSPARENT || m == OPAQUE)
            m_st.bkMode = m;
        break;
    }
    case WmfSetMapMode: {
        const int m = r.u16(6);
        if (m >= kMmText && m <= kMmAnisotropic)
            m_st.mapMode = m;
        break;
    }
    case WmfSetRop2: setRop2(r.u16(6)); break;
    case WmfSetPolyFillMode: m_st.fillMode = r.u16(6) == 2 ? fmWinding : fmAlternate; break;
    case WmfSetTextAlign: m_st.textAlign = r.u16(6); break;
    case WmfSetTextCharExtra: m_st.charExtra = w(0); break;
    case WmfSetWindowOrg: m_st.winOrg = QPointF(w(1), w(0)); break;
    case WmfSetWindowExt: m_st.winExt = QPointF(w(1), w(0)); break;
    case WmfSetViewportOrg: m_st.vpOrg = QPointF(w(1), w(0)); break;
    case WmfSetViewportExt: m_st.vpExt = QPointF(w(1), w(0)); break;
    case WmfOffsetWindowOrg: m_st.winOrg += QPointF(w(1), w(0)); break;
    case WmfOffsetViewportOrg: m_st.vpOrg += QPointF(w(1), w(0)); break;
    case WmfScaleWindowExt: case WmfScaleViewportExt: {
        const double yd = w(0), yn = w(1), xd = w(2), xn = w(3);
        if (xd != 0 && yd != 0) {
            QPointF& ext = func == WmfScaleViewportExt ? m_st.vpExt : m_st.winExt;
            ext = QPointF(ext.x() * xn / xd, ext.y() * yn / yd);
        }
        break;
    }
    case WmfOffsetClipRgn: offsetClip(w(1), w(0)); break;
    case WmfExcludeClipRect: case WmfIntersectClipRect: {
        const QRectF rc = wmfBox(r, 0);
        combineClip(regionOfRect(rc.left(), rc.top(), rc.right(), rc.bottom()),
                    func == WmfExcludeClipRect ? kRgnDiff : kRgnAnd);
        break;
    }
    case WmfSaveDc: saveDc(); break;
    case WmfRestoreDc: restoreDc(int(w(0))); break;
    case WmfSelectClipRegion: {
        GdiObject* o = wmfObject(r.u16(6));
        if (!o || o->kind != GdiObject::Region)
            break;
        QRegion region;
        for (const TRect& rc : regionRects(*o))
            region += rc.toQRect();
        if (o->region.empty()) {
            m_st.hasClip = false;
            m_st.clip = QRegion();
        } else {
            combineClip(region, kRgnCopy);
        }
        break;
    }
    default: return false;
    }
    return true;
}

bool Translator::wmfObjectRecord(quint16 func, const Bytes& r)
{
    switch (func) {
    case WmfSelectObject: {
        if (GdiObject* o = wmfObject(r.u16(6)))
            selectObject(*o);
        break;
    }
    case WmfDeleteObject: {
        if (GdiObject* o = wmfObject(r.u16(6)))
            *o = GdiObject{};
        break;
    }
    case WmfCreatePenIndirect: {
        GdiObject o;
        o.kind = GdiObject::Pen;
        o.pen.style = r.u16(6);
        o.pen.width = std::max<int>(0, r.s16(8));
        o.pen.color = colorRef(r.u32(12));
        o.pen.geometric = o.pen.width > 1;
        wmfCreateObject(o);
        break;
    }
    case WmfCreateBrushIndirect: {
        GdiObject o;
        o.kind = GdiObject::Brush;
        o.brush.style = r.u16(6);
        o.brush.color = colorRef(r.u32(8));
        o.brush.hatch = r.has(12, 2) ? r.u16(12) : 0;
        if (o.brush.style != kBsNull && o.brush.style != kBsHatched)
            o.brush.style = kBsSolid;
        wmfCreateObject(o);
        break;
    }
    case WmfDibCreatePatternBrush: {
        GdiObject o;
        o.kind = GdiObject::Brush;
        const int style = r.u16(6), usage = r.u16(8);
        std::optional<TColor> c;
        if (style != kBsPattern) // a device-dependent bitmap is not read
            c = averageColor(decodePackedDib(r.sub(10, r.size() - 10), usage).image);
        if (c)
            o.brush.color = *c;
        else
            o.brush.style = kBsNull;
        wmfCreateObject(o);
        break;
    }
    case WmfCreateFontIndirect: {
        GdiObject o;
        o.kind = GdiObject::Font;
        FontDef& f = o.font;
        f.height = r.s16(6);
        f.escapement = r.s16(10) % 3600;
        f.weight = r.s16(14);
        f.italic = r.u8(16);
        f.underline = r.u8(17);
        f.strike = r.u8(18);
        f.charset = r.u8(19);
        const qint64 faceLen = std::clamp<qint64>(r.size() - 24, 0, 32);
        f.face = fontFace8(r.view(24, faceLen), f.charset);
        wmfCreateObject(o);
        break;
    }
    case WmfCreateRegion: wmfCreateObject(wmfRegion(r)); break;
    case WmfCreatePalette: case WmfCreatePatternBrush: {
        // They take a slot; a bitmap pattern brush draws nothing.
        GdiObject o;
        o.kind = func == WmfCreatePalette ? GdiObject::Other : GdiObject::Brush;
        o.brush.style = kBsNull;
        wmfCreateObject(o);
        break;
    }
    default: return false;
    }
    return true;
}

void Translator::wmfRecord(quint16 func, const Bytes& r)
{
    const auto w = [&](int i) { return wmfParam(r, i); };
    if (wmfStateRecord(func, r) || wmfObjectRecord(func, r))
        return;
    switch (func) {
    case WmfMoveTo: moveTo(QPointF(w(1), w(0))); break;
    case WmfLineTo: lineTo(QPointF(w(1), w(0))); break;
    case WmfArc: case WmfPie: case WmfChord: {
        const QRectF rc = wmfBox(r, 4);
        const ArcKind kind = func == WmfArc ? ArcKind::Arc : func == WmfPie ? ArcKind::Pie : ArcKind::Chord;
        arc(kind, rc.left(), rc.top(), rc.right(), rc.bottom(), QPointF(w(3), w(2)), QPointF(w(1), w(0)));
        break;
    }
    case WmfEllipse: case WmfRectangle: {
        const QRectF rc = wmfBox(r, 0);
        if (func == WmfEllipse)
            ellipse(rc.left(), rc.top(), rc.right(), rc.bottom());
        else
            rectangle(rc.left(), rc.top(), rc.right(), rc.bottom());
        break;
    }
    case WmfRoundRect: {
        const QRectF rc = wmfBox(r, 2);
        roundRect(rc.left(), rc.top(), rc.right(), rc.bottom(), w(1), w(0));
        break;
    }
    case WmfPatBlt: patBlt(w(5), w(4), w(3), w(2), r.u32(6)); break;
    case WmfSetPixel: pixel(QPointF(w(3), w(2)), colorRef(r.u32(6))); break;
    case WmfTextOut: {
        const int n = r.u16(6);
        const QByteArrayView s = r.view(8, n);
        const qint64 at = 8 + ((n + 1) & ~1);
        text(QPointF(r.s16(at + 2), r.s16(at)), decode8(s, m_st.font), 0, std::nullopt, {});
        break;
    }
    case WmfExtTextOut: {
        const QPointF ref(w(1), w(0));
        const int n = r.u16(10);
        const unsigned options = r.u16(12);
        qint64 at = 14;
        std::optional<QRectF> rc;
        if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
            rc = QRectF(QPointF(r.s16(14), r.s16(16)), QPointF(r.s16(18), r.s16(20)));
            at += 8;
        }
        const QString s = decode8(r.view(at, n), m_st.font);
        at += (n + 1) & ~1;
        std::vector<double> dx;
        if (r.has(at, qint64(n) * 2) && s.size() == n)
            for (int i = 0; i < n; ++i)
                dx.push_back(r.s16(at + 2 * i));
        text(ref, s, options, rc, dx);
        break;
    }
    case WmfPolygon: case WmfPolyline: {
        const std::vector<QPointF> p = readPoints(r, 8, r.u16(6), true);
        if (func == WmfPolygon)
            polygon(p);
        else
            polyline(p);
        break;
    }
    case WmfPolyPolygon: {
        const int n = r.u16(6);
        r.need(8, qint64(n) * 2);
        qint64 at = 8 + qint64(n) * 2;
        std::vector<std::vector<QPointF>> rings;
        for (int i = 0; i < n; ++i) {
            const int c = r.u16(8 + 2 * i);
            rings.push_back(readPoints(r, at, c, true));
            at += qint64(c) * 4;
        }
        polyPoly(rings, true);
        break;
    }
    case WmfFillRegion: case WmfPaintRegion: {
        GdiObject* o = wmfObject(r.u16(6));
        if (!o || o->kind != GdiObject::Region)
            break;
        BrushDef brush = m_st.brush;
        if (func == WmfFillRegion) {
            GdiObject* b = wmfObject(r.u16(8));
            if (!b || b->kind != GdiObject::Brush)
                break;
            brush = b->brush;
        }
        fillRects(regionRects(*o), brush);
        break;
    }
    case WmfStretchDib: {
        const quint32 rop = r.u32(6);
        const int usage = r.u16(10);
        const Dib dib = decodePackedDib(r.sub(28, r.size() - 28), usage);
        image(dib, w(6), w(5), w(4), w(3), w(10), w(9), w(8), w(7), rop, true);
        break;
    }
    case WmfDibStretchBlt: {
        const quint32 rop = r.u32(6);
        const bool withBitmap = r.size() != qint64((func >> 8) + 3) * 2;
        if (!withBitmap) {
            patBlt(w(10), w(9), w(8), w(7), rop);
            break;
        }
        const Dib dib = decodePackedDib(r.sub(26, r.size() - 26), 0);
        image(dib, w(5), w(4), w(3), w(2), w(9), w(8), w(7), w(6), rop, false);
        break;
    }
    case WmfDibBitBlt: {
        const quint32 rop = r.u32(6);
        const bool withBitmap = r.size() != qint64((func >> 8) + 3) * 2;
        if (!withBitmap) {
            patBlt(w(8), w(7), w(6), w(5), rop);
            break;
        }
        const Dib dib = decodePackedDib(r.sub(22, r.size() - 22), 0);
        image(dib, w(3), w(2), w(5), w(4), w(7), w(6), w(5), w(4), rop, false);
        break;
    }
    case WmfSetDibToDev: {
        const int usage = r.u16(6), scans = r.u16(8), startScan = r.u16(10);
        const Bytes packed = r.sub(24, r.size() - 24);
        Dib dib;
        if (const std::optional<DibLayout> d = dibLayout(packed, usage)) {
            const qint64 at = d->infoSize();
            dib = decodeDib(packed, packed.sub(at, packed.size() - at), usage, scans);
        }
        const double ySrc = w(3), xSrc = w(4), h = w(5), wd = w(6);
        image(dib, xSrc, dib.bottomUp ? ySrc - startScan : ySrc, wd, h, w(8), w(7), wd, h, kSrcCopy, true);
        break;
    }
    default: break; // escapes, palettes and the rest
    }
}

} // namespace plat::winmeta
