#pragma once
// The drawing surface with the platform's integer rules, over QPainter.
//
// Rules kept from the platform, because layouts and pixel tests depend on them:
// - rectangles (FillRect, Rectangle, Ellipse, ...) exclude their right and
//   bottom edge; a one-pixel outline lies on the first and last included
//   row and column;
// - LineTo draws from the pen position up to, not including, the end point,
//   and the end point becomes the pen position;
// - cosmetic pens of width 0 or 1 with a style dash 18/6, dot 3/3,
//   dash-dot 9/6/3/6 and dash-dot-dot 9/3/3/3/3/3 pixels; styled pens wider
//   than one pixel draw solid; the gaps take the background colour unless
//   the background mode is transparent;
// - a pen w pixels wide on a horizontal or vertical line covers w rows (or
//   columns) from w div 2 before the line; square caps reach as far past
//   both end points, flat caps stop before the end point (see
//   axisAlignedWideLine);
// - hatch brushes are 8 x 8 patterns aligned to the device origin;
// - a solid brush makes the background mode opaque in the brush colour
//   (text cells are filled), any other brush makes it transparent;
//   SetBkMode overrides that until the brush changes;
// - fonts are selected by pixel height (negative = em height) with
//   escapement in tenths of a degree, rotating about the top-left of the
//   character cell (or the point TextAlign names);
// - antialiasing is off.
// Text is measured by the font engine (advances without kerning at the
// canvas's resolution) and drawn glyph by glyph at those advances, so what
// is drawn is exactly as wide as what was measured.

#include "Graphics.h"

#include <QPoint>
#include <QRect>
#include <QRegion>

#include <memory>
#include <vector>

class QColor;
class QPainter;
class QPaintDevice;

namespace plat {

class FontFace;

// The platform's rectangle: right and bottom exclusive.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool operator==(const TRect&) const = default;
    QRect toQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect fromQRect(const QRect& r) { return TRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }
};
inline constexpr TRect Rect(int l, int t, int r, int b) { return TRect(l, t, r, b); }
inline constexpr TRect Bounds(int l, int t, int w, int h) { return TRect(l, t, l + w, t + h); }

struct TPoint {
    int X = 0, Y = 0;
    constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0, cy = 0;
    constexpr bool operator==(const TSize&) const = default;
};

// Text metrics of the selected font in device pixels.
struct TTextMetric {
    int tmHeight = 0;          // ascent + descent
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0; // tmHeight - em height
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = 400;
    bool tmItalic = false;
    TFontCharset tmCharSet = DEFAULT_CHARSET;
};

// Outline metrics of the selected font in device pixels (the platform's
// outline text metrics): the font box with y growing upward, typographic
// ascent (positive) and descent (negative), italic angle in tenths of a
// degree.
struct TOutlineTextMetric {
    TTextMetric otmTextMetrics;
    int otmEMSquare = 0; // font units per em
    TRect otmrcFontBox;  // Left = x min, Top = y max, Right = x max, Bottom = y min (y up)
    int otmAscent = 0;
    int otmDescent = 0;
    int otmLineGap = 0;
    int otmsCapEmHeight = 0;
    int otmsXHeight = 0;
    int otmItalicAngle = 0;
    int otmsUnderscoreSize = 0;
    int otmsUnderscorePosition = 0; // negative: below the baseline
    int otmsStrikeoutSize = 0;
    int otmsStrikeoutPosition = 0;
    QString otmpFamilyName;
    QString otmpFaceName;
};

// ExtTextOut options.
inline constexpr unsigned ETO_OPAQUE = 2;
inline constexpr unsigned ETO_CLIPPED = 4;
inline constexpr unsigned ETO_RTLREADING = 0x80;
// Text alignment flags (SetTextAlign).
inline constexpr unsigned TA_LEFT = 0;
inline constexpr unsigned TA_RIGHT = 2;
inline constexpr unsigned TA_CENTER = 6;
inline constexpr unsigned TA_TOP = 0;
inline constexpr unsigned TA_BOTTOM = 8;
inline constexpr unsigned TA_BASELINE = 24;
inline constexpr unsigned TA_UPDATECP = 1;
// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
// Copy modes for Draw / StretchDraw / CopyRect.
enum TCopyMode { cmSrcCopy, cmSrcPaint, cmSrcAnd, cmSrcInvert, cmMergePaint, cmBlackness, cmWhiteness, cmDstInvert };
// Stretch modes: BLACKONWHITE keeps black pixels of one-bit pictures,
// COLORONCOLOR takes the nearest pixel, HALFTONE averages.
inline constexpr int BLACKONWHITE = 1;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;
// Polygon fill modes.
enum TFillMode { fmAlternate, fmWinding };

class TCanvas : public TPersistent {
    PLAT_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    // Draws on an image owned elsewhere; the image must outlive the canvas
    // (or ReleaseDevice must be called before the image changes).
    explicit TCanvas(QImage* image);
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // --- device
    void SetImage(QImage* image);
    // Any paint device (widget during a paint event, PDF writer, printer):
    // the canvas opens its own painter on it.
    void SetDevice(QPaintDevice* device);
    // Borrow a painter that is already active (e.g. in a paintEvent).
    void SetPainter(QPainter* painter);
    // Ends the canvas's own painter so the device can be used elsewhere;
    // the next drawing call opens it again (clip and state are re-applied).
    void ReleaseDevice();
    bool HandleAllocated() const;
    QImage* Image() const { return m_image; }
    QPaintDevice* Device() const;

    virtual bool IsPrinterCanvas() const { return false; }
    virtual bool IsMetafileCanvas() const { return false; }
    // Device resolution (LOGPIXELSX / LOGPIXELSY); 96 for images by default.
    int DeviceDPIX() const;
    int DeviceDPIY() const;
    void SetDeviceDPI(int x, int y); // overrides what the device reports

    // --- drawing objects
    TFont& Font() { return m_font; }
    TPen& Pen() { return m_pen; }
    TBrush& Brush() { return m_brush; }
    const TFont& Font() const { return m_font; }
    const TPen& Pen() const { return m_pen; }
    const TBrush& Brush() const { return m_brush; }
    void SetFont(const TFont& font) { m_font.AssignFont(font); }
    void SetPen(const TPen& pen) { m_pen.AssignPen(pen); }
    void SetBrush(const TBrush& brush) { m_brush.AssignBrush(brush); }

    TPoint PenPos() const { return m_penPos; }
    void SetPenPos(TPoint p) { m_penPos = p; }
    TCopyMode CopyMode() const { return m_copyMode; }
    void SetCopyMode(TCopyMode mode) { m_copyMode = mode; }
    int BkMode() const { return m_bkMode; }
    void SetBkMode(int mode) { m_bkMode = mode; }
    TColor BkColor() const { return m_bkColor; }
    void SetBkColor(TColor color) { m_bkColor = color; }
    unsigned TextAlign() const { return m_textAlign; }
    void SetTextAlign(unsigned flags) { m_textAlign = flags; }
    int TextCharacterExtra() const { return m_charExtra; }
    void SetTextCharacterExtra(int extra) { m_charExtra = extra; }
    TFillMode PolyFillMode() const { return m_fillMode; }
    void SetPolyFillMode(TFillMode mode) { m_fillMode = mode; }
    int StretchBltMode() const { return m_stretchMode; }
    void SetStretchBltMode(int mode) { m_stretchMode = mode; }

    // --- geometry
    virtual void MoveTo(int x, int y);
    virtual void LineTo(int x, int y);
    virtual void FillRect(const TRect& rect);
    virtual void FrameRect(const TRect& rect);
    virtual void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    virtual void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    virtual void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // Counter-clockwise from the ray to (x3, y3) to the ray to (x4, y4).
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    virtual void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    virtual void Polygon(const std::vector<TPoint>& points);
    virtual void Polyline(const std::vector<TPoint>& points);
    // Fills the 4-connected area of the colour at (x, y) (fsSurface) or up to
    // the border colour (fsBorder) with the brush; image canvases only.
    enum TFillStyle { fsSurface, fsBorder };
    virtual void FloodFill(int x, int y, TColor color, TFillStyle style);

    // --- pictures
    virtual void Draw(int x, int y, const TGraphic& graphic);
    virtual void StretchDraw(const TRect& rect, const TGraphic& graphic);
    // Copies a rectangle of another canvas's image (image canvases only as
    // source) stretched into dest, with CopyMode.
    virtual void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    // Draws the image stretched into dest with CopyMode (the primitive that
    // graphics draw through).
    virtual void DrawImage(const TRect& dest, const QImage& image, const TRect& sourceRect);
    // Draws the image stretched into dest; pixels of transparentColor keep
    // the background.
    virtual void DrawTransparent(const TRect& dest, const QImage& image, TColor transparentColor);

    // --- pixels (image canvases; -1 outside the image or on other devices)
    TColor Pixel(int x, int y);
    TColor Pixels(int x, int y) { return Pixel(x, y); }
    virtual void SetPixel(int x, int y, TColor color);

    // --- text
    virtual void TextOut(int x, int y, const QString& text);
    virtual void TextRect(const TRect& rect, int x, int y, const QString& text);
    // dx: advance of each character in pixels (may be null or shorter).
    virtual void ExtTextOut(int x, int y, unsigned options, const TRect* rect, const QString& text,
                            const int* dx = nullptr, int dxCount = 0);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);
    TSize TextExtent(const QString& text);
    // Cumulative advances of each character (GetTextExtentExPoint), with
    // TextCharacterExtra included; returns the total.
    int GetTextExtents(const QString& text, std::vector<int>& cumulative);
    // Advance of each character (no kerning).
    int GetCharWidths(const QString& text, std::vector<int>& widths);
    TTextMetric GetTextMetrics();
    TOutlineTextMetric GetOutlineTextMetrics();
    // The face the current font resolves to (never null).
    const FontFace& CurrentFace();

    // --- clipping (device coordinates)
    TRect ClipRect() const;       // the clip box; the whole device when unclipped
    bool HasClip() const { return m_hasClip; }
    QRegion ClipRegion() const { return m_clip; }
    virtual void SetClipRegion(const QRegion& region);
    virtual void RemoveClip();
    virtual void IntersectClipRect(const TRect& rect);
    virtual void ExcludeClipRect(const TRect& rect);
    // Intersects the clip with any region (a shape's outline: see the
    // region helpers below).
    virtual void IntersectClipRegion(const QRegion& region);
    // Stack of clip states (the platform's save / restore of the clip region).
    virtual void SaveClip();
    virtual void RestoreClip();
    // A whole-state save / restore (clip, pen position, modes, objects).
    int SaveDC();
    void RestoreDC(int savedIndex); // -1: the last saved

    // Text drawn as the font's glyphs rather than their outlines, so that a
    // PDF keeps it as text; the outlines stay for styles the font file lacks.
    bool GlyphText() const { return m_glyphText; }
    void SetGlyphText(bool on) { m_glyphText = on; }

    // Begin/end of a drawing batch (the platform's Lock/Unlock).
    void Lock() { ++m_lockCount; }
    void Unlock() { if (m_lockCount > 0) --m_lockCount; }
    int LockCount() const { return m_lockCount; }

protected:
    // The painter for the device, opened on demand with the clip applied;
    // raises EInvalidOperation "Canvas does not allow drawing" without one.
    QPainter& painter();
    void applyPen(QPainter& p);
    void applyBrush(QPainter& p);
    bool brushVisible() const;
    bool penVisible() const;
    bool bkOpaque() const;
    // Rasterises a one-pixel line from a to b (b excluded) with the pen style.
    void cosmeticLine(QPainter& p, TPoint a, TPoint b);
    // A geometric or wide pen on a horizontal or vertical line: the w x w pen
    // square lies w div 2 before the line's coordinate across the line; along
    // it square caps add the same square at both ends (both end points
    // drawn), flat caps cover from the start up to the end (end excluded) and
    // round caps add a w-wide circle at each end. User dash patterns run from
    // the start, each dash capped the same way (a zero-length dash with round
    // caps is a round dot). False for other lines (the painter draws them).
    bool axisAlignedWideLine(QPainter& p, TPoint a, TPoint b);
    void drawTextRun(int x, int y, unsigned options, const TRect* rect, const QString& text,
                     const int* dx, int dxCount);
    // Called before text is measured or drawn (a printer canvas adjusts its font).
    virtual void syncFont() {}
    void drawTextLines(QPainter& p, const FontFace& face, double k, double ox, double baseline, int total);
    bool drawGlyphRun(QPainter& p, const FontFace& face, double em, const QString& text, const std::vector<int>& adv,
                      double ox, double baseline, const QColor& color);
    // Sets the clip state without going through the virtual operations.
    void setClip(bool has, const QRegion& region);

    TFont m_font;
    TPen m_pen;
    TBrush m_brush;

private:
    struct SavedState;
    void fontChanged();
    void brushChanged();

    QImage* m_image = nullptr;
    QPaintDevice* m_device = nullptr;
    QPainter* m_borrowed = nullptr;
    std::unique_ptr<QPainter> m_own;
    int m_dpiX = 0, m_dpiY = 0;
    TPoint m_penPos;
    TCopyMode m_copyMode = cmSrcCopy;
    int m_bkMode = OPAQUE;
    TColor m_bkColor = clWhite;
    unsigned m_textAlign = TA_LEFT | TA_TOP;
    int m_charExtra = 0;
    TFillMode m_fillMode = fmAlternate;
    int m_stretchMode = COLORONCOLOR;
    bool m_glyphText = false;
    bool m_hasClip = false;
    QRegion m_clip;
    std::vector<std::pair<bool, QRegion>> m_clipStack;
    std::vector<std::unique_ptr<SavedState>> m_saved;
    int m_lockCount = 0;
    int m_dashPhase = 0; // carried across connected LineTo calls
    const FontFace* m_face = nullptr;
    int m_faceKey = -1;
};

// Regions of shapes, with the same pixel coverage rules as the filled shapes.
QRegion EllipseRegion(const TRect& rect);
QRegion RoundRectRegion(const TRect& rect, int cornerWidth, int cornerHeight);
QRegion PolygonRegion(const std::vector<TPoint>& points, TFillMode mode = fmAlternate);

// The screen's resolution (the platform's Screen.PixelsPerInch): the primary
// screen's logical resolution when a GUI application runs, else 96.
// Tests and the headless tools may fix it.
int ScreenPixelsPerInch();
void SetScreenPixelsPerInch(int ppi); // 0: follow the screen again
// Text outlines filled from the per-thread cache of glyph coverage (on by
// default; the pixels are the same either way). Off empties this thread's cache.
void SetGlyphCoverageCache(bool on);

// A canvas over a printer's page device. Fonts follow the printer's
// vertical resolution: when the font's PixelsPerInch differs from it, the
// font is given the printer's resolution and its point size again. Text is
// drawn as glyphs (GlyphText), so printed documents keep it as text.
class TPrinterCanvas : public TCanvas {
    PLAT_CLASS(TPrinterCanvas, TCanvas)
public:
    TPrinterCanvas();
    ~TPrinterCanvas() override;
    bool IsPrinterCanvas() const override { return true; }
protected:
    void syncFont() override;
};

} // namespace plat
