#include "zdClass_shape.h"

#include "Canvas.h"
#include "zdRes.h"

#include <QRegion>

#include <algorithm>
#include <cmath>

PLAT_DEFINE_ENUM(TzdShapeKind, "skRectangle", "skRoundRectangle", "skEllipse", "skTriangle", "skDiamond",
                 "skDiagonal1", "skDiagonal2")

PLAT_DEFINE_CLASS(TzdShapeView, c)
{
    zd::ViewProperties<TzdShapeView> v{c};
    v.Color();
    v.Cursor();
    c.property("Curve", &TzdShapeView::Curve).defaultValue(0);
    v.FillType();
    v.Fill();
    v.Frame();
    c.property("Shape", &TzdShapeView::Shape).defaultValue(skRectangle);
    v.TagStr();
    v.URL();
}

PLAT_DEFINE_CLASS(TzdCustomLineView, c)
{
    c.property<plat::ti::TColor>("Color", &TzdView::Color, &TzdView::SetColor).defaultValue(plat::clNone);
    zd::ViewProperties<TzdCustomLineView>{c}.TagStr();
}

PLAT_DEFINE_CLASS(TzdLineView, c)
{
    c.property("ArrowEnd", &TzdLineView::ArrowEnd).defaultValue(false);
    c.property("ArrowLength", &TzdLineView::ArrowLength).defaultValue(20);
    c.property("ArrowSolid", &TzdLineView::ArrowSolid).defaultValue(false);
    c.property("ArrowStart", &TzdLineView::ArrowStart).defaultValue(false);
    c.property("ArrowWidth", &TzdLineView::ArrowWidth).defaultValue(5);
    zd::ViewProperties<TzdLineView>{c}.Frame();
    c.property("Diagonal", &TzdLineView::Diagonal).defaultValue(false);
}

namespace {

constexpr int kCurveStep = 10;         // pixels per Curve unit at scale 1
constexpr long double kSteepLimit = 8; // lines closer to vertical take the vertical arrow rule

// Geometry set for one drawing and put back afterwards, also when the
// drawing fails.
class GeometryScope {
public:
    explicit GeometryScope(TzdView& view)
        : m_view(view)
        , m_left(view.Left())
        , m_top(view.Top())
        , m_width(view.Width())
        , m_height(view.Height())
        , m_style(view.Frame()->Style())
    {
    }
    ~GeometryScope()
    {
        m_view.Frame()->SetStyle(m_style);
        m_view.SetLeft(m_left);
        m_view.SetTop(m_top);
        m_view.SetWidth(m_width);
        m_view.SetHeight(m_height);
    }
    GeometryScope(const GeometryScope&) = delete;
    GeometryScope& operator=(const GeometryScope&) = delete;

private:
    TzdView& m_view;
    long double m_left, m_top, m_width, m_height;
    TzdFrameStyle m_style;
};

} // namespace

// ---------------------------------------------------------------------------
// Shapes

TzdShapeView::TzdShapeView(plat::TComponent* AOwner) : TzdView(AOwner)
{
    SetObjectStyle(ObjectStyle() - TzdObjectStyle{osFullAttributes});
}

TzdShapeView::~TzdShapeView() = default;

QString TzdShapeView::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obShape"));
}

void TzdShapeView::ApplyDesignFlags(quint16 Flags)
{
    if (Flags <= skDiagonal2)
        Shape = static_cast<TzdShapeKind>(Flags);
}

QString TzdShapeView::DiffAttributes(TzdComponent* Reference)
{
    QString out = TzdView::DiffAttributes(Reference);
    if (auto* ref = dynamic_cast<TzdShapeView*>(Reference); ref && Shape != ref->Shape)
        zd::appendDiffItem(out, QStringLiteral("Shape"), QString::number(Shape));
    return out;
}

bool TzdShapeView::closedShape() const
{
    return Shape != skDiagonal1 && Shape != skDiagonal2;
}

int TzdShapeView::cornerSize() const
{
    if (Curve == 0)
        return std::min(PixWidth, PixHeight) / 4;
    return zd::roundPixel(Curve * DrawScaleX * kCurveStep);
}

void TzdShapeView::drawShape()
{
    plat::TCanvas& c = *DrawCanvas;
    const int X = PixX, Y = PixY, X1 = PixX1, Y1 = PixY1, W = PixWidth, H = PixHeight;
    switch (Shape) {
    case skRectangle: c.Rectangle(X, Y, X1 + 1, Y1 + 1); break;
    case skRoundRectangle: {
        const int r = cornerSize();
        c.RoundRect(X, Y, X1 + 1, Y1 + 1, r, r);
        break;
    }
    case skEllipse: c.Ellipse(X, Y, X1 + 1, Y1 + 1); break;
    case skTriangle: c.Polygon({{X1, Y1}, {X, Y1}, {X + W / 2, Y}}); break;
    case skDiamond: c.Polygon({{X + W / 2, Y}, {X1, Y + H / 2}, {X + W / 2, Y1}, {X, Y + H / 2}}); break;
    case skDiagonal1: DrawThickLine(X, Y1, X1, Y, PixFrameWidth); break;
    case skDiagonal2: DrawThickLine(X, Y, X1, Y1, PixFrameWidth); break;
    }
}

void TzdShapeView::fillShape()
{
    plat::TCanvas& c = *DrawCanvas;
    if (closedShape() && !dynamic_cast<TzdBrushFill*>(Fill())) {
        // Gradient and glass fills are painted inside the outline.
        const int X = PixX, Y = PixY, X1 = PixX1, Y1 = PixY1, W = PixWidth, H = PixHeight;
        const plat::TRect bounds(X, Y, X1 + 1, Y1 + 1);
        QRegion outline;
        switch (Shape) {
        case skRoundRectangle: outline = plat::RoundRectRegion(bounds, cornerSize(), cornerSize()); break;
        case skEllipse: outline = plat::EllipseRegion(bounds); break;
        case skTriangle: outline = plat::PolygonRegion({{X1, Y1}, {X, Y1}, {X + W / 2, Y}}); break;
        case skDiamond:
            outline = plat::PolygonRegion({{X + W / 2, Y}, {X1, Y + H / 2}, {X + W / 2, Y1}, {X, Y + H / 2}});
            break;
        default: outline = QRegion(bounds.toQRect()); break;
        }
        c.SaveClip();
        c.IntersectClipRegion(outline);
        DrawBackground();
        c.Brush().SetStyle(plat::bsClear);
        c.RestoreClip();
    }
    drawShape();
}

void TzdShapeView::paintShape()
{
    plat::TCanvas& c = *DrawCanvas;
    TzdFrame* frame = Frame();
    plat::TPen& pen = c.Pen();
    pen.SetCosmetic();
    pen.SetColor(frame->Color());
    pen.SetWidth(PixFrameWidth);
    pen.SetStyle(frame->Color() == plat::clNone ? plat::psClear : zd::penStyleOf(frame->Style()));
    c.Brush().SetStyle(plat::bsSolid);
    c.SetBkMode(plat::OPAQUE);
    const plat::TColor color = Color();
    if (BrushStyle() != plat::bsSolid) {
        if (color != plat::clNone) {
            c.Brush().SetStyle(plat::bsSolid);
            c.Brush().SetColor(color);
            fillShape();
        }
        c.Brush().SetColor(frame->Color());
        c.Brush().SetStyle(BrushStyle());
    } else if (color == plat::clNone) {
        c.Brush().SetStyle(plat::bsClear);
    } else {
        c.Brush().SetColor(color);
    }
    fillShape();
}

void TzdShapeView::Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                        long double OffsetY)
{
    if (Frame()->Style() != fsDouble) {
        BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
        if (DrawCanvas)
            paintShape();
        return;
    }
    // A double outline: the outer one, then one inset by twice the frame
    // width (more for the pointed shapes).
    GeometryScope keep(*this);
    Frame()->SetStyle(fsSolid);
    BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (!DrawCanvas)
        return;
    paintShape();
    const long double fw = Frame()->Width();
    switch (Shape) {
    case skRectangle:
    case skRoundRectangle:
    case skEllipse:
        SetLeft(Left() + 2 * fw);
        SetTop(Top() + 2 * fw);
        SetWidth(Width() - 4 * fw);
        SetHeight(Height() - 4 * fw);
        break;
    case skTriangle:
        SetLeft(Left() + 4 * fw);
        SetTop(Top() + 4 * fw);
        SetWidth(Width() - 8 * fw);
        SetHeight(Height() - 6 * fw);
        break;
    case skDiamond:
        SetLeft(Left() + 3 * fw);
        SetTop(Top() + 3 * fw);
        SetWidth(Width() - 6 * fw);
        SetHeight(Height() - 6 * fw);
        break;
    case skDiagonal1:
    case skDiagonal2:
        SetLeft(Left() + 2 * fw);
        break;
    }
    BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    paintShape();
}

// ---------------------------------------------------------------------------
// Lines

TzdCustomLineView::TzdCustomLineView(plat::TComponent* AOwner) : TzdStretcheable(AOwner)
{
    SetObjectStyle(ObjectStyle() - TzdObjectStyle{osFullAttributes});
}

TzdCustomLineView::~TzdCustomLineView() = default;

std::array<QPoint, 3> TzdCustomLineView::ArrowHead(int TipX, int TipY, int EndX, int EndY) const
{
    const long double L = ArrowLength * DrawScaleX;
    const long double A = ArrowWidth * DrawScaleX;
    const long double Tx = TipX, Ty = TipY, Ex = EndX, Ey = EndY;
    long double Bx, By, W1x, W1y, W2x, W2y;
    if (std::fabs(Tx - Ex) > kSteepLimit) {
        // The base lies where the line meets the circle of radius L about
        // the tip, on the side of the other end.
        const long double k = (Ty - Ey) / (Tx - Ex);
        const long double m = (Tx * Ey - Ty * Ex) / (Tx - Ex);
        const long double a = 1 + k * k;
        const long double t = 2 * (k * (m - Ty) - Tx);
        const long double c = Tx * Tx + Ty * Ty - L * L + m * m - 2 * m * Ty;
        // Exactly 0 for a zero length; rounding may take it just below.
        const long double root = std::sqrt(std::max<long double>(0, t * t - 4 * a * c));
        Bx = (root - t) / (2 * a);
        if ((Tx < Bx && Ex < Bx) || (Tx > Bx && Ex > Bx))
            Bx = (-root - t) / (2 * a);
        By = m + k * Bx;
        if (Ty != Ey) {
            const long double theta = std::atan(k);
            W1x = Bx + A * std::sin(theta);
            W1y = By - A * std::cos(theta);
            W2x = Bx - A * std::sin(theta);
            W2y = By + A * std::cos(theta);
        } else {
            W1x = W2x = Bx;
            W1y = By - A;
            W2y = By + A;
        }
    } else {
        Bx = Tx;
        By = Ty - L;
        if ((Ty < By && Ey < By) || (Ty > By && Ey > By))
            By = Ty + L;
        W1x = Bx - A;
        W2x = Bx + A;
        W1y = W2y = By;
    }
    return {QPoint(TipX, TipY), QPoint(zd::roundPixel(W1x), zd::roundPixel(W1y)),
            QPoint(zd::roundPixel(W2x), zd::roundPixel(W2y))};
}

void TzdCustomLineView::drawArrow(int TipX, int TipY, int EndX, int EndY)
{
    plat::TCanvas& c = *DrawCanvas;
    const std::array<QPoint, 3> p = ArrowHead(TipX, TipY, EndX, EndY);
    const plat::TColor color = Frame()->Color();
    plat::TPen& pen = c.Pen();
    pen.SetCosmetic();
    pen.SetStyle(plat::psSolid);
    pen.SetColor(color);
    if (ArrowSolid) {
        pen.SetWidth(1);
        c.Brush().SetStyle(plat::bsSolid);
        c.Brush().SetColor(color);
        c.Polygon({{p[0].x(), p[0].y()}, {p[1].x(), p[1].y()}, {p[2].x(), p[2].y()}});
    } else {
        pen.SetWidth(zd::roundPixel(Frame()->Width() * DrawScaleX));
        c.Polyline({{p[1].x(), p[1].y()}, {p[0].x(), p[0].y()}, {p[2].x(), p[2].y()}});
    }
}

void TzdCustomLineView::drawArrows()
{
    if (ArrowStart)
        drawArrow(PixX, PixY, PixX1, PixY1);
    if (ArrowEnd)
        drawArrow(PixX1, PixY1, PixX, PixY);
}

void TzdCustomLineView::paintDiagonal()
{
    TzdFrame* frame = Frame();
    if (frame->Color() == plat::clNone || frame->Width() == 0)
        return;
    plat::TCanvas& c = *DrawCanvas;
    if (m_color == plat::clNone) {
        c.Brush().SetStyle(plat::bsClear);
    } else {
        c.Brush().SetStyle(plat::bsSolid);
        c.Brush().SetColor(m_color);
    }
    plat::TPen& pen = c.Pen();
    pen.SetCosmetic();
    pen.SetColor(frame->Color());
    pen.SetWidth(1);
    pen.SetStyle(zd::penStyleOf(frame->Style()));
    DrawThickLine(PixX, PixY, PixX1, PixY1, PixFrameWidth);
    drawArrows();
}

void TzdCustomLineView::Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                             long double OffsetY)
{
    if (!Diagonal) {
        if (Width() <= Height()) {
            SetWidth(0);
            Frame()->Typ = TzdFrameTypes{ftLeft};
        } else {
            SetHeight(0);
            Frame()->Typ = TzdFrameTypes{ftTop};
        }
    }
    BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (!DrawCanvas)
        return;
    if (Diagonal) {
        paintDiagonal();
        return;
    }
    DrawFrame();
    drawArrows();
}

TzdLineView::TzdLineView(plat::TComponent* AOwner) : TzdCustomLineView(AOwner)
{
    ArrowWidth = 5;
    ArrowLength = 20;
}

QString TzdLineView::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obLine"));
}

void TzdLineView::ApplyDesignFlags(quint16 Flags)
{
    Diagonal = Flags != 0;
    ArrowEnd = Flags == 2 || Flags == 4;
    ArrowStart = Flags == 3 || Flags == 4;
}
