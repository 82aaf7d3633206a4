#include "zdClass_fill.h"

#include "Canvas.h"
#include "SysUtils.h"
#include "zdClass.h"
#include "zdXMLSerializer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

PLAT_DEFINE_ENUM(TzdFillType, "ftBrush", "ftGradient", "ftGlass")
PLAT_DEFINE_ENUM(TzdGradientStyle, "gsHorizontal", "gsVertical", "gsElliptic", "gsRectangle", "gsVertCenter",
                 "gsHorizCenter")
PLAT_DEFINE_ENUM(TzdGlassFillOrientation, "foVertical", "foHorizontal", "foVerticalMirror", "foHorizontalMirror")
PLAT_DEFINE_ENUM(TzdFrameStyle, "fsSolid", "fsDash", "fsDot", "fsDashDot", "fsDashDotDot", "fsDouble", "fsAltDot",
                 "fsSquare")
PLAT_DEFINE_ENUM(TzdFrameType, "ftLeft", "ftRight", "ftTop", "ftBottom")
PLAT_DEFINE_SET(TzdFrameTypes, TzdFrameType)

PLAT_DEFINE_CLASS(TzdCustomFill, c) { (void)c; }

PLAT_DEFINE_CLASS(TzdBrushFill, c)
{
    c.property<plat::ti::TColor>("BackColor", &TzdBrushFill::BackColor).defaultValue(plat::clNone);
    c.property<plat::ti::TColor>("ForeColor", &TzdBrushFill::ForeColor).defaultValue(plat::clBlack);
    c.property("Style", &TzdBrushFill::Style).defaultValue(plat::bsSolid);
}

PLAT_DEFINE_CLASS(TzdGradientFill, c)
{
    c.property<plat::ti::TColor>("StartColor", &TzdGradientFill::StartColor).defaultValue(plat::clWhite);
    c.property<plat::ti::TColor>("EndColor", &TzdGradientFill::EndColor).defaultValue(plat::clBlack);
    c.property("GradientStyle", &TzdGradientFill::GradientStyle);
}

PLAT_DEFINE_CLASS(TzdGlassFill, c)
{
    c.property<plat::ti::TColor>("Color", &TzdGlassFill::Color).defaultValue(TzdGlassFill::kDefaultColor);
    c.property("Blend", &TzdGlassFill::Blend);
    c.property("Hatch", &TzdGlassFill::Hatch).defaultValue(false);
    c.property("Orientation", &TzdGlassFill::Orientation).defaultValue(foHorizontal);
}

PLAT_DEFINE_CLASS(TzdFrameLine, c)
{
    c.property<plat::ti::TColor>("Color", &TzdFrameLine::Color).stored(&TzdFrameLine::IsColorStored);
    c.property("Style", &TzdFrameLine::Style).stored(&TzdFrameLine::IsStyleStored);
    c.property("Width", &TzdFrameLine::Width).stored(&TzdFrameLine::IsWidthStored);
}

PLAT_DEFINE_CLASS(TzdFrame, c)
{
    c.property<plat::ti::TColor>("Color", &TzdFrame::Color, &TzdFrame::SetColor).defaultValue(plat::clBlack);
    c.property("DropShadow", &TzdFrame::DropShadow).defaultValue(false);
    c.property<plat::ti::TColor>("ShadowColor", &TzdFrame::ShadowColor).defaultValue(plat::clBlack);
    c.property("ShadowWidth", &TzdFrame::ShadowWidth).stored([](const TzdFrame& f) { return f.ShadowWidth != 4; });
    c.property("Style", &TzdFrame::Style, &TzdFrame::SetStyle).defaultValue(fsSolid);
    c.property("Typ", &TzdFrame::Typ).defaultValue(TzdFrameTypes{});
    c.property("Width", &TzdFrame::Width, &TzdFrame::SetWidth).stored([](const TzdFrame& f) {
        return f.Width() != 1;
    });
    c.property("LeftLine", &TzdFrame::LeftLine, &TzdFrame::SetLeftLine);
    c.property("TopLine", &TzdFrame::TopLine, &TzdFrame::SetTopLine);
    c.property("RightLine", &TzdFrame::RightLine, &TzdFrame::SetRightLine);
    c.property("BottomLine", &TzdFrame::BottomLine, &TzdFrame::SetBottomLine);
}

namespace {

constexpr int kGradientSteps = 255;    // horizontal, vertical and rectangle patterns
constexpr int kEllipseSteps = 155;     // elliptic pattern
constexpr plat::TColor kHatchDarken = 0x060606;

int channel(plat::TColor color, int shift)
{
    return (color >> shift) & 0xFF;
}

int clampChannel(long double value)
{
    if (!(value >= 0)) // also NaN
        return 0;
    return value > 255 ? 255 : static_cast<int>(value);
}

QString colorText(plat::TColor color)
{
    return QString::number(color);
}

// The canvas's pen and brush as they were, put back when the painting ends.
class PenBrushScope {
public:
    explicit PenBrushScope(plat::TCanvas& canvas) : m_canvas(canvas)
    {
        m_pen.AssignPen(canvas.Pen());
        m_brush.AssignBrush(canvas.Brush());
    }
    ~PenBrushScope()
    {
        m_canvas.Pen().AssignPen(m_pen);
        m_canvas.Brush().AssignBrush(m_brush);
    }
    PenBrushScope(const PenBrushScope&) = delete;
    PenBrushScope& operator=(const PenBrushScope&) = delete;

private:
    plat::TCanvas& m_canvas;
    plat::TPen m_pen;
    plat::TBrush m_brush;
};

void fillSolid(plat::TCanvas& canvas, const plat::TRect& rect, plat::TColor color)
{
    canvas.Brush().SetStyle(plat::bsSolid);
    canvas.Brush().SetColor(color);
    canvas.FillRect(rect);
}

// A hatch pattern laid over the rectangle with the gaps left as they are.
void layHatch(plat::TCanvas& canvas, const plat::TRect& rect, plat::TBrushStyle style, plat::TColor color)
{
    canvas.Brush().SetColor(color);
    canvas.Brush().SetStyle(style);
    canvas.SetBkMode(plat::TRANSPARENT);
    canvas.FillRect(rect);
}

int truncated(long double value)
{
    return static_cast<int>(std::clamp<long double>(value, -(1 << 28), 1 << 28));
}

void paintElliptic(plat::TCanvas& canvas, int X, int Y, int X1, int Y1, plat::TColor start, plat::TColor end)
{
    const long double W = X1 - X, H = Y1 - Y;
    canvas.SaveClip();
    canvas.IntersectClipRect(plat::TRect(X, Y, X1, Y1));
    canvas.Pen().SetStyle(plat::psClear);
    long double left = X - W / 4, top = Y - H / 4, right = X + W + W / 4, bottom = Y + H + H / 4;
    const long double cx = (W / 4 + W / 2) / kEllipseSteps, cy = (H / 4 + H / 2) / kEllipseSteps;
    canvas.Brush().SetStyle(plat::bsSolid);
    for (int i = 0; i <= kEllipseSteps; ++i) {
        left += cx;
        right -= cx;
        top += cy;
        bottom -= cy;
        canvas.Brush().SetColor(zd::gradientStep(start, end, i, kEllipseSteps));
        canvas.Ellipse(truncated(left), truncated(top), truncated(right), truncated(bottom));
    }
    canvas.RestoreClip();
}

void paintRectangles(plat::TCanvas& canvas, int X, int Y, int X1, int Y1, plat::TColor start, plat::TColor end)
{
    const long double W = X1 - X, H = Y1 - Y;
    canvas.Pen().SetStyle(plat::psClear);
    long double left = X, top = Y, right = X1, bottom = Y1;
    const long double sx = W / 2 / kGradientSteps, sy = H / 2 / kGradientSteps;
    canvas.Brush().SetStyle(plat::bsSolid);
    for (int i = 0; i <= kGradientSteps; ++i) {
        left += sx;
        right -= sx;
        top += sy;
        bottom -= sy;
        canvas.Brush().SetColor(zd::gradientStep(start, end, i, kGradientSteps));
        canvas.Rectangle(truncated(left), truncated(top), truncated(right), truncated(bottom));
    }
    canvas.Pen().SetStyle(plat::psSolid);
}

} // namespace

// ---------------------------------------------------------------------------
// Shared helpers

namespace zd {

int roundPixel(long double Value)
{
    if (!std::isfinite(Value))
        return 0;
    return static_cast<int>(std::nearbyint(std::clamp<long double>(Value, -(1 << 28), 1 << 28)));
}

plat::TColor gradientStep(plat::TColor Start, plat::TColor End, int i, int n)
{
    int rgb[3];
    for (int k = 0; k < 3; ++k) {
        const int s = channel(Start, 8 * k);
        // A pattern with no steps (a rectangle under 2 pixels) keeps the start colour.
        const int offset = n == 0 ? 0 : plat::MulDiv(i, channel(End, 8 * k) - s, n);
        rgb[k] = (s + offset) & 0xFF;
    }
    return plat::RGB(rgb[0], rgb[1], rgb[2]);
}

plat::TColor gradientMidColor(plat::TColor Start, plat::TColor End)
{
    return gradientStep(Start, End, 127, kGradientSteps);
}

void paintGradient(plat::TCanvas& Canvas, int X, int Y, int X1, int Y1, plat::TColor Start, plat::TColor End,
                   TzdGradientStyle Style)
{
    PenBrushScope keep(Canvas);
    const int W = X1 - X, H = Y1 - Y;
    switch (Style) {
    case gsHorizontal:
        for (int i = 0; i <= kGradientSteps; ++i)
            fillSolid(Canvas,
                      plat::TRect(X + plat::MulDiv(i, W, 256), Y, X + plat::MulDiv(i + 1, W, 256), Y1),
                      gradientStep(Start, End, i, kGradientSteps));
        break;
    case gsVertical:
        for (int i = 0; i <= kGradientSteps; ++i)
            fillSolid(Canvas,
                      plat::TRect(X, Y + plat::MulDiv(i, H, 256), X1, Y + plat::MulDiv(i + 1, H, 256)),
                      gradientStep(Start, End, i, kGradientSteps));
        break;
    case gsElliptic:
        paintElliptic(Canvas, X, Y, X1, Y1, Start, End);
        break;
    case gsRectangle:
        paintRectangles(Canvas, X, Y, X1, Y1, Start, End);
        break;
    case gsVertCenter: {
        const int n = H / 2;
        for (int i = 0; i <= n; ++i) {
            const plat::TColor color = gradientStep(Start, End, i, n);
            fillSolid(Canvas, plat::TRect(X, Y + i, X1, Y + i + 1), color);
            fillSolid(Canvas, plat::TRect(X, Y + H - i - 1, X1, Y + H - i), color);
        }
        break;
    }
    case gsHorizCenter: {
        const int n = W / 2;
        for (int i = 0; i <= n; ++i) {
            const plat::TColor color = gradientStep(Start, End, i, n);
            fillSolid(Canvas, plat::TRect(X + i, Y, X + i + 1, Y1), color);
            fillSolid(Canvas, plat::TRect(X + W - i - 1, Y, X + W - i, Y1), color);
        }
        break;
    }
    }
}

void drawThickLine(plat::TCanvas& Canvas, int X, int Y, int X1, int Y1, int Width)
{
    const int w = Width == 0 ? 1 : Width;
    const bool horizontal = std::abs(qint64(Y1) - Y) < std::abs(qint64(X1) - X);
    for (int k = 0; k < w; ++k) {
        const int o = k - w / 2;
        if (horizontal) {
            Canvas.MoveTo(X, Y + o);
            Canvas.LineTo(X1, Y1 + o);
        } else {
            Canvas.MoveTo(X + o, Y);
            Canvas.LineTo(X1 + o, Y1);
        }
    }
}

plat::TPenStyle penStyleOf(TzdFrameStyle Style)
{
    switch (Style) {
    case fsSolid: return plat::psSolid;
    case fsDash: return plat::psDash;
    case fsDot: return plat::psDot;
    case fsDashDot: return plat::psDashDot;
    case fsDashDotDot: return plat::psDashDotDot;
    case fsDouble: return plat::psSolid;
    // Dotted and square sides draw with patterns of their own; where a plain
    // pen stands in for them (shape outlines), they are dotted.
    case fsAltDot: return plat::psDot;
    case fsSquare: return plat::psDot;
    }
    return plat::psSolid;
}

} // namespace zd

// ---------------------------------------------------------------------------
// Fills

TzdCustomFill* zdCreateFill(TzdFillType Kind)
{
    switch (Kind) {
    case ftGradient: return new TzdGradientFill;
    case ftGlass: return new TzdGlassFill;
    case ftBrush: break;
    }
    return new TzdBrushFill;
}

TzdFillType zdGetFillType(const TzdCustomFill* Fill)
{
    if (dynamic_cast<const TzdGradientFill*>(Fill))
        return ftGradient;
    if (dynamic_cast<const TzdGlassFill*>(Fill))
        return ftGlass;
    return ftBrush;
}

namespace zd {

bool setFillKind(TzdCustomFill*& Fill, TzdFillType Kind)
{
    if (Fill && Kind == zdGetFillType(Fill))
        return false;
    delete Fill;
    Fill = zdCreateFill(Kind);
    return true;
}

void setFill(TzdCustomFill*& Fill, TzdCustomFill* Value)
{
    if (!Value)
        return;
    setFillKind(Fill, zdGetFillType(Value));
    Fill->Assign(Value);
}

plat::TColor brushBackColor(const TzdCustomFill* Fill)
{
    if (auto* brush = dynamic_cast<const TzdBrushFill*>(Fill))
        return brush->BackColor;
    return plat::clNone;
}

void setBrushBackColor(TzdCustomFill* Fill, plat::TColor Value)
{
    if (auto* brush = dynamic_cast<TzdBrushFill*>(Fill))
        brush->BackColor = Value;
}

} // namespace zd

plat::TColor zdGradientMidColor(const TzdGradientFill* Fill)
{
    return Fill ? zd::gradientMidColor(Fill->StartColor, Fill->EndColor) : plat::clNone;
}

void TzdBrushFill::Assign(plat::TPersistent* Source)
{
    if (auto* s = dynamic_cast<TzdBrushFill*>(Source)) {
        BackColor = s->BackColor;
        ForeColor = s->ForeColor;
        Style = s->Style;
    }
}

void TzdBrushFill::Draw(plat::TCanvas* Canvas, int X, int Y, int X1, int Y1, long double, long double)
{
    if (!Canvas)
        return;
    PenBrushScope keep(*Canvas);
    if (BackColor != plat::clNone)
        fillSolid(*Canvas, plat::TRect(X, Y, X1, Y1), BackColor);
    if (Style >= plat::bsHorizontal && Style <= plat::bsDiagCross)
        layHatch(*Canvas, plat::TRect(X, Y, X1 + 1, Y1 + 1), Style, plat::ColorToRGB(ForeColor));
}

QString TzdBrushFill::DiffAttributes(TzdCustomFill* Reference, const QString& Prefix)
{
    auto* ref = dynamic_cast<TzdBrushFill*>(Reference);
    QString out;
    const QString p = Prefix + u'.';
    if (!ref || BackColor != ref->BackColor)
        zd::appendDiffItem(out, p + QStringLiteral("BackColor"), colorText(BackColor));
    if (!ref || ForeColor != ref->ForeColor)
        zd::appendDiffItem(out, p + QStringLiteral("ForeColor"), colorText(ForeColor));
    if (!ref || Style != ref->Style)
        zd::appendDiffItem(out, p + QStringLiteral("Style"), QString::number(Style));
    return out;
}

void TzdGradientFill::Assign(plat::TPersistent* Source)
{
    if (auto* s = dynamic_cast<TzdGradientFill*>(Source)) {
        StartColor = s->StartColor;
        EndColor = s->EndColor;
        GradientStyle = s->GradientStyle;
    }
}

void TzdGradientFill::Draw(plat::TCanvas* Canvas, int X, int Y, int X1, int Y1, long double, long double)
{
    if (Canvas)
        zd::paintGradient(*Canvas, X, Y, X1, Y1, StartColor, EndColor, GradientStyle);
}

QString TzdGradientFill::DiffAttributes(TzdCustomFill* Reference, const QString& Prefix)
{
    auto* ref = dynamic_cast<TzdGradientFill*>(Reference);
    QString out;
    const QString p = Prefix + u'.';
    if (!ref || StartColor != ref->StartColor)
        zd::appendDiffItem(out, p + QStringLiteral("StartColor"), colorText(StartColor));
    if (!ref || EndColor != ref->EndColor)
        zd::appendDiffItem(out, p + QStringLiteral("EndColor"), colorText(EndColor));
    if (!ref || GradientStyle != ref->GradientStyle)
        zd::appendDiffItem(out, p + QStringLiteral("GradientStyle"), QString::number(GradientStyle));
    return out;
}

void TzdGlassFill::Assign(plat::TPersistent* Source)
{
    if (auto* s = dynamic_cast<TzdGlassFill*>(Source)) {
        Color = s->Color;
        Blend = s->Blend;
        Hatch = s->Hatch;
        Orientation = s->Orientation;
    }
}

plat::TColor TzdGlassFill::LightColor() const
{
    const plat::TColor base = plat::ColorToRGB(Color);
    int rgb[3];
    for (int k = 0; k < 3; ++k) {
        const int v = channel(base, 8 * k);
        const long double lift = (255 - v) * Blend;
        rgb[k] = clampChannel(v + (std::isfinite(lift) ? std::nearbyint(lift) : 0));
    }
    return plat::RGB(rgb[0], rgb[1], rgb[2]);
}

plat::TColor TzdGlassFill::HatchColor() const
{
    // Each channel darkens on its own: a channel below 6 stops at 0 instead
    // of borrowing from the next one.
    const plat::TColor light = LightColor();
    int rgb[3];
    for (int k = 0; k < 3; ++k)
        rgb[k] = std::max(0, channel(light, 8 * k) - channel(kHatchDarken, 8 * k));
    return plat::RGB(rgb[0], rgb[1], rgb[2]);
}

void TzdGlassFill::Draw(plat::TCanvas* Canvas, int X, int Y, int X1, int Y1, long double, long double)
{
    if (!Canvas || Color == plat::clNone)
        return;
    PenBrushScope keep(*Canvas);
    fillSolid(*Canvas, plat::TRect(X, Y, X1, Y1), Color);
    plat::TRect half(X, Y, X1, Y1);
    switch (Orientation) {
    case foVertical: half.Right = X1 - (X1 - X) / 2; break;
    case foHorizontal: half.Bottom = Y1 - (Y1 - Y) / 2; break;
    case foVerticalMirror: half.Left = X + (X1 - X) / 2; break;
    case foHorizontalMirror: half.Top = Y + (Y1 - Y) / 2; break;
    }
    fillSolid(*Canvas, half, LightColor());
    if (Hatch)
        layHatch(*Canvas, plat::TRect(X, Y, X1 + 1, Y1 + 1), plat::bsBDiagonal, HatchColor());
}

QString TzdGlassFill::DiffAttributes(TzdCustomFill* Reference, const QString& Prefix)
{
    auto* ref = dynamic_cast<TzdGlassFill*>(Reference);
    QString out;
    const QString p = Prefix + u'.';
    if (!ref || Color != ref->Color)
        zd::appendDiffItem(out, p + QStringLiteral("Color"), colorText(Color));
    if (!ref || Blend != ref->Blend)
        zd::appendDiffItem(out, p + QStringLiteral("Blend"), zd::floatText(Blend));
    if (!ref || Hatch != ref->Hatch)
        zd::appendDiffItem(out, p + QStringLiteral("Hatch"), zd::diffBool(Hatch));
    if (!ref || Orientation != ref->Orientation)
        zd::appendDiffItem(out, p + QStringLiteral("Orientation"), QString::number(Orientation));
    return out;
}

// ---------------------------------------------------------------------------
// Frame lines

void TzdFrameLine::Assign(plat::TPersistent* Source)
{
    if (auto* s = dynamic_cast<TzdFrameLine*>(Source)) {
        Color = s->Color;
        Style = s->Style;
        Width = s->Width;
    }
}

bool TzdFrameLine::IsColorStored() const
{
    return !m_frame || Color != m_frame->Color();
}

bool TzdFrameLine::IsStyleStored() const
{
    return !m_frame || Style != m_frame->Style();
}

bool TzdFrameLine::IsWidthStored() const
{
    return !m_frame || Width != m_frame->Width();
}

QString TzdFrameLine::DiffAttributes(TzdFrameLine* Reference, const QString& Prefix, bool FrameWidthChanged,
                                     bool FrameStyleChanged, bool FrameColorChanged)
{
    QString out;
    if (!Reference || !m_frame)
        return out;
    const QString p = Prefix + u'.';
    // Where the frame's own value changed, its item already set every line:
    // a line is written only where it departs from its frame.
    const bool colorDiffers = FrameColorChanged ? Color != m_frame->Color() : Color != Reference->Color;
    if (colorDiffers)
        zd::appendDiffItem(out, p + QStringLiteral("Color"), colorText(Color));
    const bool styleDiffers = FrameStyleChanged ? Style != m_frame->Style() : Style != Reference->Style;
    if (styleDiffers)
        zd::appendDiffItem(out, p + QStringLiteral("Style"), QString::number(Style));
    const long double against = FrameWidthChanged ? m_frame->Width() : Reference->Width;
    if (std::fabs(Width - against) > 0.0001L)
        zd::appendDiffItem(out, p + QStringLiteral("Width"), zd::floatText(Width));
    return out;
}

// ---------------------------------------------------------------------------
// Frames

TzdFrame::TzdFrame()
    : m_left(new TzdFrameLine(this))
    , m_top(new TzdFrameLine(this))
    , m_right(new TzdFrameLine(this))
    , m_bottom(new TzdFrameLine(this))
{
}

TzdFrame::~TzdFrame()
{
    delete m_left;
    delete m_top;
    delete m_right;
    delete m_bottom;
}

void TzdFrame::Assign(plat::TPersistent* Source)
{
    auto* s = dynamic_cast<TzdFrame*>(Source);
    if (!s)
        return;
    m_color = s->m_color;
    DropShadow = s->DropShadow;
    ShadowColor = s->ShadowColor;
    ShadowWidth = s->ShadowWidth;
    m_style = s->m_style;
    Typ = s->Typ;
    m_width = s->m_width;
    m_left->Assign(s->m_left);
    m_top->Assign(s->m_top);
    m_right->Assign(s->m_right);
    m_bottom->Assign(s->m_bottom);
}

void TzdFrame::SetColor(plat::TColor Value)
{
    m_color = Value;
    for (TzdFrameLine* line : {m_left, m_top, m_right, m_bottom})
        line->Color = Value;
}

void TzdFrame::SetStyle(TzdFrameStyle Value)
{
    m_style = Value;
    for (TzdFrameLine* line : {m_left, m_top, m_right, m_bottom})
        line->Style = Value;
}

void TzdFrame::SetWidth(long double Value)
{
    m_width = Value;
    for (TzdFrameLine* line : {m_left, m_top, m_right, m_bottom})
        line->Width = Value;
}

TzdFrameLine* TzdFrame::Line(TzdFrameType Side) const
{
    switch (Side) {
    case ftLeft: return m_left;
    case ftRight: return m_right;
    case ftTop: return m_top;
    case ftBottom: return m_bottom;
    }
    return m_left;
}

QString TzdFrame::DiffAttributes(TzdFrame* Reference)
{
    QString out;
    if (!Reference)
        return out;
    if (m_color != Reference->m_color)
        zd::appendDiffItem(out, QStringLiteral("Frame.Color"), colorText(m_color));
    if (DropShadow != Reference->DropShadow)
        zd::appendDiffItem(out, QStringLiteral("Frame.DropShadow"), zd::diffBool(DropShadow));
    if (ShadowColor != Reference->ShadowColor)
        zd::appendDiffItem(out, QStringLiteral("Frame.ShadowColor"), colorText(ShadowColor));
    if (std::fabs(ShadowWidth - Reference->ShadowWidth) > 0.0001L)
        zd::appendDiffItem(out, QStringLiteral("Frame.ShadowWidth"), zd::floatText(ShadowWidth));
    if (m_style != Reference->m_style)
        zd::appendDiffItem(out, QStringLiteral("Frame.Style"), QString::number(m_style));
    if (Typ != Reference->Typ)
        zd::appendDiffItem(out, QStringLiteral("Frame.Typ"), QString::number(Typ.mask()));
    const bool widthChanged = std::fabs(m_width - Reference->m_width) > 0.0001L;
    if (widthChanged)
        zd::appendDiffItem(out, QStringLiteral("Frame.Width"), zd::floatText(m_width));
    const bool styleChanged = m_style != Reference->m_style;
    const bool colorChanged = m_color != Reference->m_color;
    out += m_left->DiffAttributes(Reference->m_left, QStringLiteral("Frame.LeftLine"), widthChanged, styleChanged,
                                  colorChanged);
    out += m_top->DiffAttributes(Reference->m_top, QStringLiteral("Frame.TopLine"), widthChanged, styleChanged,
                                 colorChanged);
    out += m_right->DiffAttributes(Reference->m_right, QStringLiteral("Frame.RightLine"), widthChanged, styleChanged,
                                   colorChanged);
    out += m_bottom->DiffAttributes(Reference->m_bottom, QStringLiteral("Frame.BottomLine"), widthChanged,
                                    styleChanged, colorChanged);
    return out;
}

namespace {

struct Segment {
    int x0, y0, x1, y1;
    bool vertical() const { return x0 == x1; }
};

// One stroke of a solid or double side: a square-capped pen w wide.
void solidStroke(plat::TCanvas& canvas, plat::TColor color, int w, const Segment& s)
{
    canvas.Pen().SetGeometric(w, color, plat::pecSquare);
    canvas.MoveTo(s.x0, s.y0);
    canvas.LineTo(s.x1, s.y1);
}

// The two strokes of a double side, w apart on each side of the segment;
// the outer one reaches over framed neighbours, the inner one stops short
// of them.
void doubleStrokes(plat::TCanvas& canvas, plat::TColor color, int w, TzdFrameType side, const Segment& s,
                   bool startFramed, bool endFramed)
{
    const int g1 = startFramed ? w : 0;
    const int g2 = endFramed ? w : 0;
    const int outward = (side == ftLeft || side == ftTop) ? -w : w;
    for (int sign : {1, -1}) { // outer, then inner
        const int shift = sign * outward;
        const int grow1 = sign * g1, grow2 = sign * g2;
        Segment stroke = s;
        if (s.vertical()) {
            stroke.x0 = stroke.x1 = s.x0 + shift;
            stroke.y0 = s.y0 - grow1;
            stroke.y1 = s.y1 + grow2;
        } else {
            stroke.y0 = stroke.y1 = s.y0 + shift;
            stroke.x0 = s.x0 - grow1;
            stroke.x1 = s.x1 + grow2;
        }
        solidStroke(canvas, color, w, stroke);
    }
}

} // namespace

void TzdFrame::drawSide(plat::TCanvas* Canvas, TzdFrameType Side, int X, int Y, int X1, int Y1, long double ScaleX)
{
    const TzdFrameLine* line = Line(Side);
    const int w = zd::roundPixel(line->Width * ScaleX);
    const bool solidPen = line->Style == fsSolid || line->Style == fsDouble;
    plat::TPen& pen = Canvas->Pen();
    pen.SetCosmetic();
    pen.SetColor(line->Color);
    pen.SetStyle(solidPen ? plat::psSolid : zd::penStyleOf(line->Style));
    pen.SetWidth(solidPen ? w : 1);
    const int penWidth = pen.Width();
    const int a = (penWidth == 2 && m_style != fsSolid) ? 1 : 0;
    const int b = (penWidth == 1 && m_style != fsSolid) ? 1 : 0;

    Segment s{};
    TzdFrameType startNeighbour = ftTop, endNeighbour = ftBottom;
    switch (Side) {
    case ftLeft: s = {X, Y - a, X, Y1}; break;
    case ftRight: s = {X1, Y, X1, Y1}; break;
    case ftTop:
        s = {X, Y, X1, Y};
        startNeighbour = ftLeft;
        endNeighbour = ftRight;
        break;
    case ftBottom:
        s = {X, Y1, X1 + b, Y1};
        startNeighbour = ftLeft;
        endNeighbour = ftRight;
        break;
    }
    const bool startFramed = Typ.contains(startNeighbour);
    const bool endFramed = Typ.contains(endNeighbour);

    switch (line->Style) {
    case fsSolid:
    case fsDouble: {
        // An end with no framed neighbour is pulled in by half the width, so
        // the square cap ends flush with the object's edge.
        const int half = w / 2;
        int& from = s.vertical() ? s.y0 : s.x0;
        int& to = s.vertical() ? s.y1 : s.x1;
        if (!startFramed)
            from += half;
        if (!endFramed)
            to -= half;
        if (line->Style == fsSolid)
            solidStroke(*Canvas, line->Color, w, s);
        else
            doubleStrokes(*Canvas, line->Color, w, Side, s, startFramed, endFramed);
        break;
    }
    case fsAltDot:
    case fsSquare: {
        const int pw = std::max(1, w);
        if (pw <= 1)
            pen.SetGeometric(pw, line->Color, plat::pecFlat, {1, 1});
        else if (line->Style == fsSquare)
            pen.SetGeometric(pw, line->Color, plat::pecFlat, {pw, pw});
        else
            pen.SetGeometric(pw, line->Color, plat::pecRound, {0, 2 * pw});
        Canvas->MoveTo(s.x0, s.y0);
        Canvas->LineTo(s.x1, s.y1);
        break;
    }
    case fsDash:
    case fsDot:
    case fsDashDot:
    case fsDashDotDot:
        zd::drawThickLine(*Canvas, s.x0, s.y0, s.x1, s.y1, w);
        break;
    }
}

void TzdFrame::Draw(plat::TCanvas* Canvas, int X, int Y, int X1, int Y1, long double ScaleX, long double ScaleY)
{
    if (!Canvas)
        return;
    plat::TPen& pen = Canvas->Pen();
    if (DropShadow) {
        pen.SetCosmetic();
        pen.SetStyle(plat::psSolid);
        pen.SetWidth(1);
        pen.SetColor(ShadowColor);
        const int s = zd::roundPixel(ShadowWidth * ScaleX);
        zd::drawThickLine(*Canvas, X1 + s / 2, Y + s, X1 + s / 2, Y1, s);
        const int t = zd::roundPixel(ShadowWidth * ScaleY);
        zd::drawThickLine(*Canvas, X + t, Y1 + t / 2, X1 + t, Y1 + t / 2, t);
    }
    if (Typ.mask() == 0 || m_color == plat::clNone || m_width == 0)
        return;
    Canvas->Brush().SetStyle(m_style == fsSolid ? plat::bsSolid : plat::bsClear);
    for (TzdFrameType side : {ftLeft, ftRight, ftTop, ftBottom})
        if (Typ.contains(side))
            drawSide(Canvas, side, X, Y, X1, Y1, ScaleX);
    pen.SetCosmetic();
}
