// Report objects as content-stream operators: hyperlinks, lines, shapes,
// check boxes and the frames of objects.

#include "zdExportPDF.h"
#include "zdExportPDF_p.h"

#include "Exceptions.h"
#include "SysUtils.h"
#include "zdChBox.h"
#include "zdClass.h"
#include "zdClass_fill.h"
#include "zdClass_memo.h"
#include "zdClass_shape.h"
#include "zdClass_view.h"

#include <cmath>

using zd::pdfNum;

namespace zd {

QByteArray pdfDashPattern(int style, long double width)
{
    const QByteArray a = pdfNum(width * 6) + ' ';
    const QByteArray b = pdfNum(width * 2) + ' ';
    switch (style) {
    case fsDash: return "[" + a + "] 0 d";
    case fsDot: return "[" + b + a + "] 0 d";
    case fsDashDot: return "[" + a + a + b + a + "] 0 d";
    case fsDashDotDot: return "[" + a + a + b + a + b + a + "] 0 d";
    default: return "[] 0 d";
    }
}

} // namespace zd

namespace {

using State = TzdPDFExport::State;

// Geometry of one object, computed once.
struct Box {
    long double L, T, W, H;
    long double left, top, right, bottom, width, height;
};

Box boxOf(const State& s, TzdView* v)
{
    Box b;
    b.L = v->GetAbsLeft();
    b.T = v->GetAbsTop();
    b.W = v->Width();
    b.H = v->Height();
    b.left = s.X(b.L);
    b.top = s.Y(b.T);
    b.right = s.X(b.L + b.W);
    b.bottom = s.Y(b.T + b.H);
    b.width = b.W * 0.75L;
    b.height = b.H * 0.75L;
    return b;
}

QByteArray pt(const State& s, long double x, long double y)
{
    return pdfNum(s.X(x)) + ' ' + pdfNum(s.Y(y));
}

// A URI as a PDF string: literal when plain printable ASCII with balanced
// parentheses, else UTF-16 hex; backslashes doubled either way. Bytes gets
// the string's bytes before any escaping, for encrypted files.
QByteArray uriString(const QString& uri, QByteArray& bytes)
{
    bool plain = true;
    int depth = 0;
    for (QChar ch : uri) {
        const ushort u = ch.unicode();
        if (u < 32 || u > 126) {
            plain = false;
            break;
        }
        if (u == '(')
            ++depth;
        else if (u == ')' && --depth < 0) {
            plain = false;
            break;
        }
    }
    if (depth != 0)
        plain = false;
    QByteArray out;
    if (plain) {
        bytes = uri.toLatin1();
        out = '(' + bytes + ')';
    } else {
        bytes.clear();
        out = "<";
        for (QChar ch : uri) {
            out += QByteArray::number(ch.unicode(), 16).toUpper().rightJustified(4, '0');
            bytes += char(ch.unicode() >> 8);
            bytes += char(ch.unicode() & 0xFF);
        }
        out += '>';
    }
    out.replace("\\", "\\\\");
    return out;
}

void addAnnot(State& s, const Box& b, TzdPDFAnnot annot)
{
    annot.Rect = pdfNum(b.left) + ' ' + pdfNum(b.bottom) + ' ' + pdfNum(b.right) + ' ' + pdfNum(b.top);
    s.addAnnot(std::move(annot));
}

void uriLink(State& s, const Box& b, const QString& uri)
{
    TzdPDFAnnot a;
    a.Hyperlink = uriString(uri, a.HyperlinkBytes);
    addAnnot(s, b, std::move(a));
}

void pageLink(State& s, const Box& b, int pageIndex, long double topPixels)
{
    TzdPDFAnnot a;
    a.TargetPageIndex = pageIndex;
    a.TargetTop = int(std::nearbyint(s.Y(topPixels)));
    addAnnot(s, b, std::move(a));
}

} // namespace

void zdPDFHyperlink(State& s, TzdView* v, int pageCount)
{
    const Box b = boxOf(s, v);
    TzdHyperlink* h = v->Hyperlink();
    if (h && !h->Value.isEmpty()) {
        switch (h->Kind) {
        case hkURL: uriLink(s, b, h->Value); break;
        case hkPageNumber: {
            int page = plat::StrToInt(h->Value);
            if (pageCount >= 0)
                page = std::min(page, pageCount);
            pageLink(s, b, page - 1, 0);
            break;
        }
        default: break; // anchors need the prepared pages' anchor list
        }
        return;
    }
    const QString& url = v->URL();
    if (url.isEmpty() || url.startsWith(u'#'))
        return;
    if (url.startsWith(u'@'))
        pageLink(s, b, plat::StrToInt(url.mid(1)) - 1, 0);
    else
        uriLink(s, b, url);
}

namespace {

QByteArray segment(const State& s, long double x1, long double y1, long double x2, long double y2)
{
    return pt(s, x1, y1) + " m\r\n" + pt(s, x2, y2) + " l\r\nS\r\n";
}

void lineGroup(State& s, TzdFrameLine* side, long double x1, long double y1, long double x2, long double y2)
{
    s.put(s.colorText(side->Color) + " RG\r\n");
    s.line(zd::pdfDashPattern(side->Style, side->Width));
    s.put(pdfNum(side->Width * 0.75L) + " w\r\n");
    s.put(segment(s, x1, y1, x2, y2));
}

long double g(long double w)
{
    return w > 1 ? w : 0;
}

} // namespace

// The frame of a text or rasterised object.
void zdPDFDrawFrameLines(State& s, TzdView* v)
{
    TzdFrame* f = v->Frame();
    if (f->Typ.empty() || f->Color() == plat::clNone)
        return;
    const long double L = v->GetAbsLeft(), T = v->GetAbsTop(), W = v->Width(), H = v->Height();
    const long double lw = f->LeftLine()->Width, rw = f->RightLine()->Width, tw = f->TopLine()->Width,
                      bw = f->BottomLine()->Width;
    const long double hl = g(lw) / 2, hr = g(rw) / 2, ht = g(tw) / 2, hb = g(bw) / 2;
    const bool shadow = f->DropShadow;
    const long double sw = shadow ? f->ShadowWidth : 0;
    const long double Rr = L + W - sw, Bb = T + H - sw;
    const long double xo = shadow ? L + W - hr - sw : L + W + hr;
    const long double yo = shadow ? T + H - hb - sw : T + H + hb;
    const long double xi = shadow ? L + W - 1.5L * g(rw) - sw - 2 : L + W - hr - 2;
    const long double yi = shadow ? T + H - 1.5L * g(bw) - sw - 2 : T + H - hb - 2;
    const long double xe = shadow ? L + W - sw : L + W + g(rw);
    const long double xj = shadow ? L + W - g(rw) - sw - 2 : L + W - 2;
    const bool hasL = f->Typ.contains(ftLeft), hasR = f->Typ.contains(ftRight), hasT = f->Typ.contains(ftTop),
               hasB = f->Typ.contains(ftBottom);
    const long double vFrom = hasT ? T + ht + 2 : T - ht;
    const long double vTo = hasB ? yi : yo;
    const long double hFrom = hasL ? L + 2 : L - g(lw);
    const long double hTo = hasR ? xj : xe;
    for (TzdFrameType side : {ftLeft, ftRight, ftTop, ftBottom}) {
        if (!f->Typ.contains(side))
            continue;
        TzdFrameLine* l = f->Line(side);
        if (l->Style != fsDouble) {
            switch (side) {
            case ftLeft: lineGroup(s, l, L, T, L, Bb); break;
            case ftRight: lineGroup(s, l, Rr, T, Rr, Bb); break;
            case ftTop: lineGroup(s, l, L - hl, T, Rr + hr, T); break;
            case ftBottom: lineGroup(s, l, L - hl, Bb, Rr + hr, Bb); break;
            }
            continue;
        }
        switch (side) {
        case ftLeft:
            lineGroup(s, l, L - hl, T - ht, L - hl, yo);
            lineGroup(s, l, L + hl + 2, vFrom, L + hl + 2, vTo);
            break;
        case ftRight:
            lineGroup(s, l, xo, T - ht, xo, yo);
            lineGroup(s, l, xi, vFrom, xi, vTo);
            break;
        case ftTop:
            lineGroup(s, l, L - g(lw), T - ht, xe, T - ht);
            lineGroup(s, l, hFrom, T + ht + 2, hTo, T + ht + 2);
            break;
        case ftBottom:
            lineGroup(s, l, L - g(lw), yo, xe, yo);
            lineGroup(s, l, hFrom, yi, hTo, yi);
            break;
        }
    }
}

namespace {

void arrowHead(State& s, TzdCustomLineView* v, long double Px, long double Py, long double Qx, long double Qy)
{
    TzdFrame* f = v->Frame();
    const long double a = v->ArrowLength * 0.75L, b = v->ArrowWidth * 0.75L;
    long double Bx, By, w1x, w1y, w2x, w2y;
    if (std::fabs(Px - Qx) > 1e-9L) {
        const long double k = (Py - Qy) / (Px - Qx);
        const long double dx = a / std::sqrt(1 + k * k);
        Bx = (Qx > Px) ? Px + dx : Px - dx;
        By = Py + k * (Bx - Px);
        if (std::fabs(Py - Qy) > 1e-9L) {
            const long double th = std::atan(k);
            w1x = Bx + b * std::sin(th);
            w1y = By - b * std::cos(th);
            w2x = Bx - b * std::sin(th);
            w2y = By + b * std::cos(th);
        } else {
            w1x = w2x = Bx;
            w1y = By - b;
            w2y = By + b;
        }
    } else {
        Bx = Px;
        By = Py - a;
        const long double lo = std::min(Py, Qy), hi = std::max(Py, Qy);
        if (By < lo || By > hi)
            By = Py + a;
        w1x = Bx - b;
        w2x = Bx + b;
        w1y = w2y = By;
    }
    s.line(zd::pdfDashPattern(f->Style(), f->Width()));
    s.line(pdfNum(w1x) + ' ' + pdfNum(w1y) + " m\r\n" + pdfNum(Px) + ' ' + pdfNum(Py) + " l\r\n" + pdfNum(w2x) +
           ' ' + pdfNum(w2y) + " l");
    if (v->ArrowSolid)
        s.line("1 j\r\n" + s.colorText(f->Color()) + " rg\r\nb");
    else
        s.line("S");
}

void drawLine(State& s, TzdCustomLineView* v, const Box& b)
{
    TzdFrame* f = v->Frame();
    const QByteArray c = s.colorText(f->Color());
    const QByteArray w = pdfNum(f->Width() * 0.75L);
    s.line(zd::pdfDashPattern(f->Style(), f->Width()));
    auto one = [&](long double x1, long double y1, long double x2, long double y2) {
        s.put(c + " RG\r\n" + w + " w\r\n" + pdfNum(x1) + ' ' + pdfNum(y1) + " m\r\n" + pdfNum(x2) + ' ' +
               pdfNum(y2) + " l\r\nS\r\n");
    };
    if (f->Style() == fsDouble) {
        if (b.H == 0) {
            one(b.left, s.Y(b.T + 1), b.right, s.Y(b.T + 1));
            one(b.left, s.Y(b.T - 1), b.right, s.Y(b.T - 1));
        } else if (b.W == 0) {
            one(s.X(b.L + 1), b.top, s.X(b.L + 1), b.bottom);
            one(s.X(b.L - 1), b.top, s.X(b.L - 1), b.bottom);
        }
    } else {
        one(b.left, b.top, b.right, b.bottom);
    }
    if (v->ArrowStart)
        arrowHead(s, v, b.left, b.top, b.right, b.bottom);
    if (v->ArrowEnd)
        arrowHead(s, v, b.right, b.bottom, b.left, b.top);
}

QByteArray closeOp(TzdView* v)
{
    return v->Color() == plat::clNone ? "S" : "B";
}

void drawRoundRect(State& s, TzdShapeView* v, const Box& b, const QByteArray& c, const QByteArray& w,
                   const QByteArray& f)
{
    const long double r = v->Curve == 0 ? 7.48L : v->Curve * 3.74L;
    const long double q = r / 2;
    const long double L = b.L, T = b.T, R = b.L + b.W, B = b.T + b.H;
    s.line(c + " RG");
    s.line(w + " w");
    s.line(f + " rg");
    s.line(pt(s, L + r, B) + " m");
    s.line(pt(s, R - r, B) + " l");
    s.line(pt(s, R - q, B) + ' ' + pt(s, R, B - q) + ' ' + pt(s, R, B - r) + " c");
    s.line(pt(s, R, T + r) + " l");
    s.line(pt(s, R, T + q) + ' ' + pt(s, R - q, T) + ' ' + pt(s, R - r, T) + " c");
    s.line(pt(s, L + r, T) + " l");
    s.line(pt(s, L + q, T) + ' ' + pt(s, L, T + q) + ' ' + pt(s, L, T + r) + " c");
    s.line(pt(s, L, B - r) + " l");
    s.line(pt(s, L, B - q) + ' ' + pt(s, L + q, B) + ' ' + pt(s, L + r, B) + " c");
    s.line(closeOp(v));
}

void drawShape(State& s, TzdShapeView* v, const Box& b)
{
    TzdFrame* fr = v->Frame();
    const QByteArray c = s.colorText(fr->Color());
    const QByteArray w = pdfNum(fr->Width() * 0.75L);
    const QByteArray f = s.colorText(v->Color());
    const long double L = b.L, T = b.T, W = b.W, H = b.H;
    s.line(zd::pdfDashPattern(fr->Style(), fr->Width()));
    const QByteArray colours = c + " RG\r\n" + w + " w\r\n" + f + " rg";
    switch (v->Shape) {
    case skRectangle:
        s.put(c + " RG\r\n" + w + " w\r\n" + f + " rg\r\n" + pdfNum(b.left) + ' ' + pdfNum(b.bottom) + " \r\n" +
               pdfNum(b.width) + ' ' + pdfNum(b.height) + " re\r\n");
        s.put(closeOp(v) + "\r\n");
        break;
    case skRoundRectangle: drawRoundRect(s, v, b, c, w, f); break;
    case skDiagonal1:
        s.put(c + " RG\r\n" + w + " w\r\n");
        s.put(segment(s, L, T + H, L + W, T));
        break;
    case skDiagonal2:
        s.put(c + " RG\r\n" + w + " w\r\n");
        s.put(segment(s, L, T, L + W, T + H));
        break;
    case skDiamond:
        s.line(colours);
        s.line(pt(s, L + W / 2, T) + " m " + pt(s, L + W, T + H / 2) + " l " + pt(s, L + W / 2, T + H) + " l " +
               pt(s, L, T + H / 2) + " l " + pt(s, L + W / 2, T) + " l");
        s.line(closeOp(v));
        break;
    case skTriangle:
        s.line(colours);
        s.line(pt(s, L + W / 2, T) + " m " + pt(s, L + W, T + H) + " l " + pt(s, L, T + H) + " l " +
               pt(s, L + W / 2, T) + " l");
        s.line(closeOp(v));
        break;
    case skEllipse: {
        const long double h = W / 2, vv = H / 2;
        constexpr long double k1 = 1.5522847498L, k0 = 0.4477152502L;
        s.line(colours);
        s.line(pt(s, L + 2 * h, T + vv) + " m");
        s.line(pt(s, L + 2 * h, T + vv * k1) + ' ' + pt(s, L + h * k1, T + 2 * vv) + ' ' + pt(s, L + h, T + 2 * vv) +
               " c");
        s.line(pt(s, L + h * k0, T + 2 * vv) + ' ' + pt(s, L, T + vv * k1) + ' ' + pt(s, L, T + vv) + " c");
        s.line(pt(s, L, T + vv * k0) + ' ' + pt(s, L + h * k0, T) + ' ' + pt(s, L + h, T) + " c");
        s.line(pt(s, L + h * k1, T) + ' ' + pt(s, L + 2 * h, T + vv * k0) + ' ' + pt(s, L + 2 * h, T + vv) + " c");
        s.line(closeOp(v));
        break;
    }
    }
}

void drawCheckBox(State& s, TzdCheckBoxView* v, const Box& b)
{
    TzdFrame* fr = v->Frame();
    const long double L = b.L, T = b.T, W = b.W, H = b.H;
    const long double d = std::min(W, H) / 2;
    const long double fw = fr->Width() * 0.75L;
    const QByteArray cc = s.colorText(v->CheckColor);
    const QByteArray f = s.colorText(v->Color());
    s.line("[] 0 d");
    s.line(cc + " RG\r\n" + pdfNum(2 * fw) + " w " + f + " rg");
    enum { None, Cross, Check, LineCross, Plus, Minus } kind = None;
    if (v->Checked) {
        switch (v->CheckStyle) {
        case csCross: kind = Cross; break;
        case csCheck: kind = Check; break;
        case csLineCross: kind = LineCross; break;
        case csPlus: kind = Plus; break;
        }
    } else {
        switch (v->UncheckStyle) {
        case usEmpty: kind = None; break;
        case usCross: kind = Cross; break;
        case usLineCross: kind = LineCross; break;
        case usMinus: kind = Minus; break;
        }
    }
    const long double mx = (W - d) / 2, my = (H - d) / 2;
    switch (kind) {
    case None: break;
    case Cross:
        s.line(pdfNum(6 * fw) + " w 2 J " + pt(s, L + mx, T + my) + " m " + pt(s, L + W - mx, T + H - my) + " l " +
               pt(s, L + W - mx, T + my) + " m " + pt(s, L + mx, T + H - my) + " l ");
        break;
    case Check:
        s.line(pdfNum(fw * H / 10) + " w 2 J " + pt(s, L + mx, T + H / 2) + " m " +
               pt(s, L + mx + d / 3, T + H - my) + " l " + pt(s, L + mx + d, T + my - d / 4) + " l ");
        break;
    case LineCross:
        s.line(pt(s, L, T) + " m " + pt(s, L + W, T + H) + " l " + pt(s, L + W, T) + " m " + pt(s, L, T + H) +
               " l ");
        break;
    case Plus:
        s.line(pt(s, L + 4, T + H / 2) + " m " + pt(s, L + W - 4, T + H / 2) + " l " + pt(s, L + W / 2, T + 4) +
               " m " + pt(s, L + W / 2, T + H - 4) + " l ");
        break;
    case Minus: s.line(pt(s, L + 4, T + H / 2) + " m " + pt(s, L + W - 4, T + H / 2) + " l "); break;
    }
    s.put(closeOp(v) + "\r\n");
    for (TzdFrameType side : {ftTop, ftRight, ftBottom, ftLeft}) {
        if (!fr->Typ.contains(side))
            continue;
        TzdFrameLine* l = fr->Line(side);
        auto seg = [&](long double e) {
            switch (side) {
            case ftTop: lineGroup(s, l, L - e, T - e, L + W + e, T - e); break;
            case ftRight: lineGroup(s, l, L + W + e, T - e, L + W + e, T + H + e); break;
            case ftBottom: lineGroup(s, l, L - e, T + H + e, L + W + e, T + H + e); break;
            case ftLeft: lineGroup(s, l, L - e, T - e, L - e, T + H + e); break;
            }
        };
        seg(0);
        if (l->Style == fsDouble)
            seg(l->Width + 2);
    }
    s.put(closeOp(v) + "\r\n");
}

} // namespace

void TzdPDFExport::exportObject(TzdView* View)
{
    State& s = *d;
    const Box b = boxOf(s, View);
    const int pageCount = preparedPageCount();
    zdPDFHyperlink(s, View, pageCount);
    auto* memo = dynamic_cast<TzdCustomMemoView*>(View);
    if (memo && IsPlainText(memo)) {
        plat::TFont highlightFont;
        writeText(TextParamsOf(memo, highlightFont));
    } else if (auto* line = dynamic_cast<TzdCustomLineView*>(View))
        drawLine(s, line, b);
    else if (auto* shape = dynamic_cast<TzdShapeView*>(View))
        drawShape(s, shape, b);
    else if (auto* box = dynamic_cast<TzdCheckBoxView*>(View))
        drawCheckBox(s, box, b);
    else if ((View->Name() != QLatin1String("_pagebackground") || Background) && b.W > 0 && b.H > 0)
        rasterObject(View);
}

int TzdPDFExport::preparedPageCount() const
{
    if (PreparedPageCount < 0 && Report && Report->ActivePreviewPages())
        return Report->ActivePreviewPages()->GetPageCount();
    return PreparedPageCount;
}
