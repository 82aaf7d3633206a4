#pragma once
// The formatting toolbars as a model: one command for every tagged control
// (the tag says what changes), the sample format that new text objects take
// from the one formatted last, and the texts of the status bar.

#include "Graphics.h"
#include "zdClass_fill.h"

#include <QString>

#include <memory>

class TzdCustomMemoView;
class TzdMemoView;

// The look new text objects inherit: a hidden memo of its own.
class TSampleFormat {
public:
    TSampleFormat();
    ~TSampleFormat();
    TSampleFormat(const TSampleFormat&) = delete;
    TSampleFormat& operator=(const TSampleFormat&) = delete;

    void ApplyTo(TzdCustomMemoView* Memo);
    void TakeFrom(TzdCustomMemoView* Memo);
    TzdMemoView* Sample() const { return m_sample.get(); }

private:
    std::unique_ptr<TzdMemoView> m_sample;
};

namespace zd {

// What the control of a tag holds when it is clicked.
struct FormatValues {
    QString FontName;       // 0: the font combo's text
    QString FontSize;       // 1: the size combo's text
    bool Down = false;      // 2-4, 20-23: the button's state
    plat::TColor Color = 0; // 5, 26, 27: the colour being applied
    TzdFrameStyle FrameStyle = fsSolid; // 28
    QString FrameWidth;     // 29: the width combo's text
    int Rotation = 0;       // 30
    QString Style;          // 33: empty for the first item ("no style")
    bool Ticked = false;    // 34-42: the dot-matrix menu item's tick
    TzdFrame* Frame = nullptr;      // 32: the edited frame
    TzdCustomFill* Fill = nullptr;  // 44: the edited fill
    plat::TFont* Font = nullptr;    // 43: the chosen font
};

// The status bar's position text of a rectangle in pixels, in the units
// (0 cm, 1 in, 2 px, 3 chars): "X; Y", and with the size "X; Y  W; H".
QString statusPositionText(double Left, double Top, int Units);
QString statusSizeText(double Width, double Height, int Units);

} // namespace zd
