#pragma once
// The gradient object: one of the six gradient patterns of fills between
// two colours. It paints no fill of its own.

#include "zdClass_view.h"

class TzdGradientView : public TzdView {
    PLAT_CLASS(TzdGradientView, TzdView)
public:
    explicit TzdGradientView(plat::TComponent* AOwner);
    ~TzdGradientView() override;

    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;
    QString ClassDisplayName() const override;
    // The middle colour between BeginColor and EndColor; writing sets the
    // brush fill's colour, which the gradient object does not paint.
    plat::TColor Color() const override;

    plat::TColor BeginColor = plat::clWhite;
    plat::TColor EndColor = plat::clGray;
    TzdGradientStyle Style = gsHorizontal;
};

class TzdGradientObject : public plat::TComponent {
    PLAT_CLASS(TzdGradientObject, plat::TComponent)
public:
    explicit TzdGradientObject(plat::TComponent* AOwner) : plat::TComponent(AOwner) {}
};

namespace zd {
// The object unit: the palette entry (and class table); the end takes it
// out again.
void startGradientUnit();
void endGradientUnit();
// The script adapter unit: its module in the script module list.
void startGradientRTTIUnit();
void endGradientRTTIUnit();
} // namespace zd
