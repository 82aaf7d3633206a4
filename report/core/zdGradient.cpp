#include "zdGradient.h"

#include "Canvas.h"
#include "zdDsgnIntf.h"
#include "zdRes.h"

PLAT_DEFINE_CLASS(TzdGradientView, c)
{
    c.property<plat::ti::TColor>("BeginColor", &TzdGradientView::BeginColor).defaultValue(plat::clWhite);
    c.property<plat::ti::TColor>("EndColor", &TzdGradientView::EndColor).defaultValue(plat::clGray);
    c.property("Style", &TzdGradientView::Style);
    zd::ViewProperties<TzdGradientView>{c}.Frame();
    c.property<plat::ti::TColor>("Color", &TzdView::Color, &TzdView::SetColor);
}

PLAT_DEFINE_CLASS(TzdGradientObject, c) { (void)c; }

namespace {
constexpr int kGradientPaletteImage = 50;
} // namespace

TzdGradientView::TzdGradientView(plat::TComponent* AOwner) : TzdView(AOwner) {}

TzdGradientView::~TzdGradientView() = default;

QString TzdGradientView::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obGrad"));
}

plat::TColor TzdGradientView::Color() const
{
    return zd::gradientMidColor(BeginColor, EndColor);
}

void TzdGradientView::Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                           long double OffsetY)
{
    BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (!DrawCanvas)
        return;
    zd::paintGradient(*DrawCanvas, PixX, PixY, PixX1, PixY1, BeginColor, EndColor, Style);
    DrawFrame();
}

namespace zd {

void startGradientUnit()
{
    zdGetObjectRegistry()->RegisterObject(TzdGradientView::StaticClass(), nullptr, QString(), QString(), 0,
                                          kGradientPaletteImage);
}

void endGradientUnit()
{
    zdGetObjectRegistry()->Unregister(TzdGradientView::StaticClass());
}

} // namespace zd
