#include "zdChBox.h"

#include "Canvas.h"
#include "Variant.h"
#include "zdDataSets.h"
#include "zdDsgnIntf.h"
#include "zdRes.h"

#include <algorithm>

PLAT_DEFINE_ENUM(TzdCheckStyle, "csCross", "csCheck", "csLineCross", "csPlus")
PLAT_DEFINE_ENUM(TzdUncheckStyle, "usEmpty", "usCross", "usLineCross", "usMinus")

PLAT_DEFINE_CLASS(TzdCheckBoxView, c)
{
    zd::ViewProperties<TzdCheckBoxView> v{c};
    v.BrushStyle();
    c.property<plat::ti::TColor>("CheckColor", &TzdCheckBoxView::CheckColor);
    c.property("Checked", &TzdCheckBoxView::Checked).defaultValue(true);
    c.property("CheckStyle", &TzdCheckBoxView::CheckStyle);
    v.Color();
    v.Cursor();
    v.DataField();
    v.DataSet();
    v.DataSetName();
    c.property("Expression", &TzdCheckBoxView::Expression);
    v.FillType();
    v.Fill();
    v.Frame();
    v.TagStr();
    c.property("UncheckStyle", &TzdCheckBoxView::UncheckStyle).defaultValue(usEmpty);
    v.URL();
}

PLAT_DEFINE_CLASS(TzdCheckBoxObject, c) { (void)c; }

namespace {

constexpr int kPaletteImage = 24;
constexpr int kPlusInset = 3; // the plus and minus start 3 pixels in and end 2 before the edge
constexpr int kPlusEndInset = 2;

// A stroke of the drawn tick and cross: the quadrilateral around the
// segment (x0, y0)-(x1, y1), t pixels thick.
void stroke(plat::TCanvas& canvas, double x0, double y0, double x1, double y1, double t)
{
    const double dx = x1 - x0, dy = y1 - y0;
    const double length = std::max(1e-9, std::hypot(dx, dy));
    const double nx = -dy / length * t / 2, ny = dx / length * t / 2;
    auto px = [](double v) { return int(std::nearbyint(v)); };
    canvas.Polygon({{px(x0 + nx), px(y0 + ny)},
                    {px(x1 + nx), px(y1 + ny)},
                    {px(x1 - nx), px(y1 - ny)},
                    {px(x0 - nx), px(y0 - ny)}});
}

} // namespace

TzdCheckBoxView::TzdCheckBoxView(plat::TComponent* AOwner) : TzdView(AOwner)
{
    SetWidth(5 * zd01cm);
    SetHeight(5 * zd01cm);
}

TzdCheckBoxView::~TzdCheckBoxView() = default;

QString TzdCheckBoxView::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obChBox"));
}

void TzdCheckBoxView::GetData()
{
    TzdView::GetData();
    if (IsDataField()) {
        const plat::Variant value = DataSet()->GetValue(DataField());
        Checked = !plat::VarIsNull(value) && value.toBoolean();
    } else if (!Expression.isEmpty()) {
        if (zd::ReportDocument* doc = reportDocument())
            Checked = doc->Calc(Expression).toBoolean();
    }
}

TzdCheckBoxView::Symbol TzdCheckBoxView::symbol() const
{
    if (Checked) {
        switch (CheckStyle) {
        case csCross: return Symbol::Cross;
        case csCheck: return Symbol::Tick;
        case csLineCross: return Symbol::LineCross;
        case csPlus: return Symbol::Plus;
        }
        return Symbol::None;
    }
    switch (UncheckStyle) {
    case usEmpty: return Symbol::None;
    case usCross: return Symbol::Cross;
    case usLineCross: return Symbol::LineCross;
    case usMinus: return Symbol::Minus;
    }
    return Symbol::None;
}

void TzdCheckBoxView::drawGlyph(Symbol Kind)
{
    // The tick and the cross of the platform's symbol font are not
    // installed here (its stand-ins lack the cross): both are drawn, in a
    // square cell as high as the object, centred across it and clipped to it.
    plat::TCanvas& c = *DrawCanvas;
    const int s = std::max(1, std::min(PixWidth, PixHeight));
    const double x = PixX + (PixWidth - s) / 2, y = PixY;
    const double t = std::max(1.0, s / 7.0);
    c.SaveClip();
    c.IntersectClipRect(plat::TRect(PixX, PixY, PixX1, PixY1));
    c.Pen().SetCosmetic();
    c.Pen().SetStyle(plat::psSolid);
    c.Pen().SetWidth(1);
    c.Pen().SetColor(CheckColor);
    c.Brush().SetStyle(plat::bsSolid);
    c.Brush().SetColor(CheckColor);
    if (Kind == Symbol::Cross) {
        const double a = s * 0.2, b = s * 0.8;
        stroke(c, x + a, y + a, x + b, y + b, t);
        stroke(c, x + a, y + b, x + b, y + a, t);
    } else {
        stroke(c, x + s * 0.18, y + s * 0.55, x + s * 0.42, y + s * 0.8, t);
        stroke(c, x + s * 0.42, y + s * 0.8, x + s * 0.84, y + s * 0.2, t);
    }
    c.RestoreClip();
}

void TzdCheckBoxView::drawSymbol(Symbol Kind)
{
    plat::TCanvas& c = *DrawCanvas;
    c.Pen().SetCosmetic();
    c.Pen().SetStyle(plat::psSolid);
    c.Pen().SetWidth(1);
    c.Pen().SetColor(CheckColor);
    const int L = PixX, T = PixY, R = PixX1, B = PixY1;
    switch (Kind) {
    case Symbol::None: break;
    case Symbol::Cross:
    case Symbol::Tick: drawGlyph(Kind); break;
    case Symbol::LineCross:
        DrawThickLine(L, T, R, B, PixFrameWidth);
        DrawThickLine(L, B, R, T, PixFrameWidth);
        break;
    case Symbol::Plus:
        DrawThickLine(L + PixWidth / 2, T + kPlusInset, L + PixWidth / 2, B - kPlusEndInset, PixFrameWidth);
        [[fallthrough]];
    case Symbol::Minus:
        DrawThickLine(L + kPlusInset, T + PixHeight / 2, R - kPlusEndInset, T + PixHeight / 2, PixFrameWidth);
        break;
    }
}

void TzdCheckBoxView::Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                           long double OffsetY)
{
    BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (!DrawCanvas)
        return;
    DrawBackground();
    drawSymbol(symbol());
    DrawFrame();
}

namespace zd {

void startCheckBoxUnit()
{
    zdGetObjectRegistry()->RegisterObject(TzdCheckBoxView::StaticClass(), nullptr, QString(), QString(), 0,
                                          kPaletteImage);
    zdHideProperties(TzdCheckBoxView::StaticClass(), QStringLiteral("Color"));
}

void endCheckBoxUnit()
{
    zdGetObjectRegistry()->Unregister(TzdCheckBoxView::StaticClass());
}

} // namespace zd
