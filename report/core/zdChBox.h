#pragma once
// The check-box object: a tick, a cross, a plus or a minus by a Boolean
// that comes from a dataset field, an expression, or its own Checked.

#include "zdClass_view.h"

enum TzdCheckStyle { csCross, csCheck, csLineCross, csPlus };
PLAT_DECLARE_ENUM(TzdCheckStyle)
enum TzdUncheckStyle { usEmpty, usCross, usLineCross, usMinus };
PLAT_DECLARE_ENUM(TzdUncheckStyle)

class TzdCheckBoxView : public TzdView {
    PLAT_CLASS(TzdCheckBoxView, TzdView)
public:
    explicit TzdCheckBoxView(plat::TComponent* AOwner);
    ~TzdCheckBoxView() override;

    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;
    // The field's value (Null is unchecked), else the expression's, else
    // Checked as set.
    void GetData() override;
    QString ClassDisplayName() const override;

    plat::TColor CheckColor = plat::clBlack;
    bool Checked = true;
    TzdCheckStyle CheckStyle = csCross;
    TzdUncheckStyle UncheckStyle = usEmpty;
    QString Expression;

private:
    enum class Symbol { None, Cross, Tick, LineCross, Plus, Minus };
    Symbol symbol() const;
    void drawSymbol(Symbol Kind);
    void drawGlyph(Symbol Kind);
};

// A component without state that a form holds to bring the check box in.
class TzdCheckBoxObject : public plat::TComponent {
    PLAT_CLASS(TzdCheckBoxObject, plat::TComponent)
public:
    explicit TzdCheckBoxObject(plat::TComponent* AOwner) : plat::TComponent(AOwner) {}
};

namespace zd {
// The object unit: the palette entry (and class table); the end takes it
// out again.
void startCheckBoxUnit();
void endCheckBoxUnit();
// The script adapter unit: its module in the script module list.
void startCheckBoxRTTIUnit();
void endCheckBoxRTTIUnit();
} // namespace zd
