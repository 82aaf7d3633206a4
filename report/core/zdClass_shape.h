#pragma once
// Shapes (rectangle, rounded rectangle, ellipse, triangle, diamond and two
// diagonals) and lines (horizontal, vertical or diagonal, with optional
// arrow heads). Both draw with their frame's colour, style and width.

#include "zdClass_view.h"

#include <QPoint>

#include <array>

enum TzdShapeKind { skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2 };
PLAT_DECLARE_ENUM(TzdShapeKind)

class TzdShapeView : public TzdView {
    PLAT_CLASS(TzdShapeView, TzdView)
public:
    explicit TzdShapeView(plat::TComponent* AOwner);
    ~TzdShapeView() override;

    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;
    QString DiffAttributes(TzdComponent* Reference) override;
    QString ClassDisplayName() const override;
    // The palette's Flags word is the shape kind.
    void ApplyDesignFlags(quint16 Flags) override;

    // Corner size of a rounded rectangle in steps of ten pixels at scale 1;
    // 0 takes a quarter of the shorter side.
    int Curve = 0;
    TzdShapeKind Shape = skRectangle;

private:
    void paintShape();
    void fillShape();
    void drawShape();
    bool closedShape() const;
    int cornerSize() const;
};

class TzdCustomLineView : public TzdStretcheable {
    PLAT_CLASS(TzdCustomLineView, TzdStretcheable)
public:
    explicit TzdCustomLineView(plat::TComponent* AOwner);
    ~TzdCustomLineView() override;

    // A line that is not diagonal is made straight for good first: a
    // vertical line becomes the left side of its frame, a horizontal one the
    // top side.
    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;
    // The line's own colour (the brush of solid arrow heads on diagonals).
    plat::TColor Color() const override { return m_color; }
    void SetColor(plat::TColor Value) override { m_color = Value; }

    bool Diagonal = false;
    bool ArrowEnd = false;
    int ArrowLength = 20;
    bool ArrowSolid = false;
    bool ArrowStart = false;
    int ArrowWidth = 5;

    // The three corners of an arrow head with its tip at (TipX, TipY)
    // pointing away from (EndX, EndY), at the current drawing scale: tip,
    // first wing, second wing.
    std::array<QPoint, 3> ArrowHead(int TipX, int TipY, int EndX, int EndY) const;

private:
    void paintDiagonal();
    void drawArrows();
    void drawArrow(int TipX, int TipY, int EndX, int EndY);

    plat::TColor m_color = plat::clNone;
};

class TzdLineView : public TzdCustomLineView {
    PLAT_CLASS(TzdLineView, TzdCustomLineView)
public:
    explicit TzdLineView(plat::TComponent* AOwner);
    QString ClassDisplayName() const override;
    // Flags: 0 a straight line, any other value a diagonal; 2 an arrow at
    // the end, 3 at the start, 4 at both ends.
    void ApplyDesignFlags(quint16 Flags) override;
};
