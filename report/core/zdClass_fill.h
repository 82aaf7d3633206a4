#pragma once
// How report objects paint their background (fills) and their edges
// (frames). A fill is one of three kinds: a solid or hatched brush, a
// two-colour gradient, or a "glass" effect. A frame says which sides get a
// line, in which colour, style and width, and whether a drop shadow is cast.
//
// Fills and frames draw in device pixels on the rectangle their view
// computed; widths are scaled by the view's scale. Colours are the
// platform's: system colours are resolved where a brush or pen is made from
// them, except by the gradient, which blends the raw colour bytes.

#include "Graphics.h"
#include "Objects.h"
#include "TypeInfo.h"

#include <QString>

namespace plat {
class TCanvas;
} // namespace plat

enum TzdFillType { ftBrush, ftGradient, ftGlass };
PLAT_DECLARE_ENUM(TzdFillType)
enum TzdGradientStyle { gsHorizontal, gsVertical, gsElliptic, gsRectangle, gsVertCenter, gsHorizCenter };
PLAT_DECLARE_ENUM(TzdGradientStyle)
enum TzdGlassFillOrientation { foVertical, foHorizontal, foVerticalMirror, foHorizontalMirror };
PLAT_DECLARE_ENUM(TzdGlassFillOrientation)
enum TzdFrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble, fsAltDot, fsSquare };
PLAT_DECLARE_ENUM(TzdFrameStyle)
enum TzdFrameType { ftLeft, ftRight, ftTop, ftBottom };
using TzdFrameTypes = plat::TSet<TzdFrameType>;
PLAT_DECLARE_ENUM(TzdFrameType)
PLAT_DECLARE_SET(TzdFrameTypes)

class TzdCustomFill : public plat::TPersistent {
    PLAT_CLASS(TzdCustomFill, plat::TPersistent)
public:
    // Paints over the pixel rectangle (X, Y)-(X1, Y1), right and bottom
    // excluded unless a kind says otherwise.
    virtual void Draw(plat::TCanvas* Canvas, int X, int Y, int X1, int Y1, long double ScaleX,
                      long double ScaleY) = 0;
    // ` Prefix.Name="value"` for each property that differs from Reference
    // (all of them when Reference is of another kind).
    virtual QString DiffAttributes(TzdCustomFill* Reference, const QString& Prefix) = 0;

protected:
    TzdCustomFill() = default;
};

class TzdBrushFill : public TzdCustomFill {
    PLAT_CLASS(TzdBrushFill, TzdCustomFill)
public:
    TzdBrushFill() = default;
    void Assign(plat::TPersistent* Source) override;
    void Draw(plat::TCanvas* Canvas, int X, int Y, int X1, int Y1, long double ScaleX, long double ScaleY) override;
    QString DiffAttributes(TzdCustomFill* Reference, const QString& Prefix) override;

    plat::TColor BackColor = plat::clNone;
    plat::TColor ForeColor = plat::clBlack;
    plat::TBrushStyle Style = plat::bsSolid;
};

class TzdGradientFill : public TzdCustomFill {
    PLAT_CLASS(TzdGradientFill, TzdCustomFill)
public:
    TzdGradientFill() = default;
    void Assign(plat::TPersistent* Source) override;
    void Draw(plat::TCanvas* Canvas, int X, int Y, int X1, int Y1, long double ScaleX, long double ScaleY) override;
    QString DiffAttributes(TzdCustomFill* Reference, const QString& Prefix) override;

    plat::TColor StartColor = plat::clWhite;
    plat::TColor EndColor = plat::clBlack;
    TzdGradientStyle GradientStyle = gsHorizontal;
};

class TzdGlassFill : public TzdCustomFill {
    PLAT_CLASS(TzdGlassFill, TzdCustomFill)
public:
    TzdGlassFill() = default;
    void Assign(plat::TPersistent* Source) override;
    void Draw(plat::TCanvas* Canvas, int X, int Y, int X1, int Y1, long double ScaleX, long double ScaleY) override;
    QString DiffAttributes(TzdCustomFill* Reference, const QString& Prefix) override;

    // The colour a new glass fill starts with is also the one not written
    // to files, so every colour the user sets survives a save.
    static constexpr plat::TColor kDefaultColor = plat::clGray;
    plat::TColor Color = kDefaultColor;
    long double Blend = 0.5L;
    bool Hatch = false;
    TzdGlassFillOrientation Orientation = foHorizontal;

    // Color (system colours resolved) lightened towards white by Blend.
    plat::TColor LightColor() const;
    // The hatch lines: LightColor less 6 in each channel.
    plat::TColor HatchColor() const;
};

class TzdFrame;

// One side of a frame. Its values are written only where they differ from
// the frame's, which sets all four sides when its own value is set.
class TzdFrameLine : public plat::TPersistent {
    PLAT_CLASS(TzdFrameLine, plat::TPersistent)
public:
    explicit TzdFrameLine(TzdFrame* Frame = nullptr) : m_frame(Frame) {}
    void Assign(plat::TPersistent* Source) override;
    TzdFrame* Frame() const { return m_frame; }

    plat::TColor Color = plat::clBlack;
    TzdFrameStyle Style = fsSolid;
    long double Width = 1;

    bool IsColorStored() const;
    bool IsStyleStored() const;
    bool IsWidthStored() const;

    QString DiffAttributes(TzdFrameLine* Reference, const QString& Prefix, bool FrameWidthChanged,
                           bool FrameStyleChanged, bool FrameColorChanged);

private:
    TzdFrame* m_frame;
};

class TzdFrame : public plat::TPersistent {
    PLAT_CLASS(TzdFrame, plat::TPersistent)
public:
    TzdFrame();
    ~TzdFrame() override;
    TzdFrame(const TzdFrame&) = delete;
    TzdFrame& operator=(const TzdFrame&) = delete;
    void Assign(plat::TPersistent* Source) override;

    plat::TColor Color() const { return m_color; }
    void SetColor(plat::TColor Value);
    TzdFrameStyle Style() const { return m_style; }
    void SetStyle(TzdFrameStyle Value);
    long double Width() const { return m_width; }
    void SetWidth(long double Value);
    bool DropShadow = false;
    plat::TColor ShadowColor = plat::clBlack;
    long double ShadowWidth = 4;
    TzdFrameTypes Typ;

    TzdFrameLine* LeftLine() const { return m_left; }
    TzdFrameLine* TopLine() const { return m_top; }
    TzdFrameLine* RightLine() const { return m_right; }
    TzdFrameLine* BottomLine() const { return m_bottom; }
    void SetLeftLine(TzdFrameLine* Value) { m_left->Assign(Value); }
    void SetTopLine(TzdFrameLine* Value) { m_top->Assign(Value); }
    void SetRightLine(TzdFrameLine* Value) { m_right->Assign(Value); }
    void SetBottomLine(TzdFrameLine* Value) { m_bottom->Assign(Value); }
    // The side's line: ftLeft LeftLine, ftRight RightLine, ...
    TzdFrameLine* Line(TzdFrameType Side) const;

    // The drop shadow and the framed sides around the pixel rectangle.
    void Draw(plat::TCanvas* Canvas, int X, int Y, int X1, int Y1, long double ScaleX, long double ScaleY);
    QString DiffAttributes(TzdFrame* Reference);

private:
    void drawSide(plat::TCanvas* Canvas, TzdFrameType Side, int X, int Y, int X1, int Y1, long double ScaleX);

    plat::TColor m_color = plat::clBlack;
    TzdFrameStyle m_style = fsSolid;
    long double m_width = 1;
    TzdFrameLine* m_left;
    TzdFrameLine* m_top;
    TzdFrameLine* m_right;
    TzdFrameLine* m_bottom;
};

// A new fill of that kind with its initial values (the caller owns it).
TzdCustomFill* zdCreateFill(TzdFillType Kind);
TzdFillType zdGetFillType(const TzdCustomFill* Fill);

namespace zd {
// The rules of an object that owns a fill (views, highlights, styles):
// the fill is replaced by a new one with its initial values when the kind
// changes (true then); setting a fill first takes its kind, then copies it.
bool setFillKind(TzdCustomFill*& Fill, TzdFillType Kind);
void setFill(TzdCustomFill*& Fill, TzdCustomFill* Value);
// A brush fill's background colour (clNone for other fills); writing it
// changes brush fills only.
plat::TColor brushBackColor(const TzdCustomFill* Fill);
void setBrushBackColor(TzdCustomFill* Fill, plat::TColor Value);
} // namespace zd
// Start + MulDiv(127, End - Start, 255) per channel of the raw colour values.
plat::TColor zdGradientMidColor(const TzdGradientFill* Fill);

namespace zd {

// The colour of step i of n between two colours: Start + MulDiv(i, d, n) per
// channel of the raw bytes (system colours are not resolved); n = 0 gives
// Start.
plat::TColor gradientStep(plat::TColor Start, plat::TColor End, int i, int n);
plat::TColor gradientMidColor(plat::TColor Start, plat::TColor End);
// Paints one of the six gradient patterns over (X, Y)-(X1, Y1).
void paintGradient(plat::TCanvas& Canvas, int X, int Y, int X1, int Y1, plat::TColor Start, plat::TColor End,
                   TzdGradientStyle Style);
// Width parallel one-pixel lines with the canvas's pen (a width 0 counts as
// 1), offset from -(Width div 2) across the line's minor direction.
void drawThickLine(plat::TCanvas& Canvas, int X, int Y, int X1, int Y1, int Width);
// The pen style a frame style draws its one-pixel lines with; every frame
// style maps to a pen style that exists.
plat::TPenStyle penStyleOf(TzdFrameStyle Style);
// Round to the nearest integer, halves to even (non-finite values give 0).
int roundPixel(long double Value);

} // namespace zd
