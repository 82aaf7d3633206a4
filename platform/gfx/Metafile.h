#pragma once
// The recording canvas: a TMetafile is an exact list of drawing operations
// (each with the pen, brush, font and modes it was made with) that replays
// at any scale onto any canvas and can be searched for its text.
//
// A TMetafile loaded from a Windows metafile (placeable WMF or EMF) keeps its
// bytes and its size for saving and embedding, and draws the records
// translated from it (WinMetafile.h). Those records are in units finer than
// the picture's 96-dpi pixels (UnitsPerPixel), so that a picture printed at
// a printer's resolution keeps its curves and positions.

#include "Canvas.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>
#include <vector>

namespace plat {

enum class MetaOp : std::uint8_t {
    LineTo, FillRect, FrameRect, Rectangle, RoundRect, Ellipse, Arc, Pie,
    Polygon, Polyline, Image, TransparentImage, Pixel, Text,
    IntersectClip, ExcludeClip, SaveClip, RestoreClip, RemoveClip, SetClip, FloodFill, IntersectRegion
};

struct TMetafileRecord {
    MetaOp op = MetaOp::FillRect;
    std::vector<int> pts;       // coordinates (x, y pairs / rectangle / arc points)
    QString text;
    std::vector<int> dx;        // text advances as given
    unsigned options = 0;       // text options / fill style
    TColor color = clNone;      // pixel / transparent / flood colour
    QImage image;
    // state at the time of the operation
    QString fontName;
    int fontHeight = 0;
    TColor fontColor = clBlack;
    TFontStyles fontStyle;
    TFontCharset fontCharset = DEFAULT_CHARSET;
    int fontOrientation = 0;
    TColor penColor = clBlack;
    int penWidth = 1;
    TPenStyle penStyle = psSolid;
    TPenMode penMode = pmCopy;
    bool penGeometric = false;
    TPenEndCap penCap = pecRound;
    std::vector<int> penDash;
    TColor brushColor = clWhite;
    TBrushStyle brushStyle = bsSolid;
    int bkMode = OPAQUE;
    TColor bkColor = clWhite;
    unsigned textAlign = 0;
    int charExtra = 0;
    TCopyMode copyMode = cmSrcCopy;
    TFillMode fillMode = fmAlternate;
    TRect bounds;               // what the record covers, in picture units
};

struct TMetafileTextItem {
    int record = 0;             // index of the record
    QString text;
    TRect bounds;
};

// Replays records one by one onto a canvas, scaled by (sx, sy) and moved by
// (ox, oy), as TMetafile::Play does for a whole list: the canvas's state and
// clip are saved first and given back by Finish (or on unwinding).
class TMetafilePlayer {
public:
    TMetafilePlayer(TCanvas& canvas, double sx, double sy, double ox, double oy);
    ~TMetafilePlayer();
    TMetafilePlayer(const TMetafilePlayer&) = delete;
    TMetafilePlayer& operator=(const TMetafilePlayer&) = delete;
    void Play(const TMetafileRecord& record);
    void Finish();

private:
    void restore();
    TCanvas& m_canvas;
    double m_sx, m_sy, m_ox, m_oy;
    int m_saved = 0;
    QRegion m_baseClip;
    bool m_baseHasClip = false;
    int m_clipDepth = 0;
    bool m_finished = false;
};

class TMetafile : public TGraphic {
    PLAT_CLASS(TMetafile, TGraphic)
public:
    TMetafile();
    ~TMetafile() override;
    void Assign(TPersistent* source) override;

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Empty() const override { return m_records.empty() && m_foreign.isEmpty(); }
    void Clear();

    const std::vector<TMetafileRecord>& Records() const { return m_records; }
    int RecordCount() const { return int(m_records.size()); }
    void AddRecord(TMetafileRecord record);
    std::vector<TMetafileTextItem> TextItems() const;

    // Record coordinates per picture pixel: 1 for our own recordings.
    int UnitsPerPixel() const { return m_unitsPerPixel; }
    static constexpr int kWindowsUnitsPerPixel = 8;

    // Replays every record scaled by (sx, sy) and moved by (ox, oy); the
    // scale is of record units.
    void Play(TCanvas& canvas, double sx, double sy, double ox, double oy) const;
    // Replays stretched into dest (the picture's Width x Height onto it).
    void Draw(TCanvas& canvas, int x1, int y1, int x2, int y2) const override;
    QImage ToImage() const override;

    // Own format: the record list. Loading also accepts WMF / EMF bytes.
    void LoadFromBytes(const QByteArray& bytes) override;
    QByteArray SaveToBytes() const override;
    const char* GraphicClassName() const override { return "TMetafile"; }
    bool IsForeign() const { return !m_foreign.isEmpty(); }
    bool Enhanced() const { return m_enhanced; }

    static const QByteArray& Signature(); // first bytes of the own format

private:
    // Records from the kept Windows metafile bytes.
    void translate(bool enhanced);

    std::vector<TMetafileRecord> m_records;
    int m_width = 0;
    int m_height = 0;
    QByteArray m_foreign;
    bool m_enhanced = true;
    int m_unitsPerPixel = 1;
};

// Records into a metafile. The reference resolution is 96 pixels per inch
// (the screen) unless given. When the canvas is destroyed the metafile's
// size becomes the extent drawn when it had none set.
class TMetafileCanvas : public TCanvas {
    PLAT_CLASS(TMetafileCanvas, TCanvas)
public:
    explicit TMetafileCanvas(TMetafile& metafile, int referenceDPI = 96);
    // Each record goes straight to player instead of into the metafile
    // (whose size the drawing may still read): the pixels of drawing the
    // finished recording, without keeping it.
    TMetafileCanvas(TMetafile& metafile, TMetafilePlayer& player, int referenceDPI = 96);
    ~TMetafileCanvas() override;
    bool IsMetafileCanvas() const override { return true; }
    TMetafile& Metafile() { return m_metafile; }

    void LineTo(int x, int y) override;
    void FillRect(const TRect& rect) override;
    void FrameRect(const TRect& rect) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Polygon(const std::vector<TPoint>& points) override;
    void Polyline(const std::vector<TPoint>& points) override;
    void FloodFill(int x, int y, TColor color, TFillStyle style) override;
    void DrawImage(const TRect& dest, const QImage& image, const TRect& sourceRect) override;
    void DrawTransparent(const TRect& dest, const QImage& image, TColor transparentColor) override;
    void SetPixel(int x, int y, TColor color) override;
    void ExtTextOut(int x, int y, unsigned options, const TRect* rect, const QString& text,
                    const int* dx = nullptr, int dxCount = 0) override;
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) override;

    void SetClipRegion(const QRegion& region) override;
    void RemoveClip() override;
    void IntersectClipRect(const TRect& rect) override;
    void ExcludeClipRect(const TRect& rect) override;
    void IntersectClipRegion(const QRegion& region) override;
    void SaveClip() override;
    void RestoreClip() override;

private:
    TMetafileRecord makeRecord(MetaOp op) const;
    void add(TMetafileRecord record);
    TMetafile& m_metafile;
    TMetafilePlayer* m_player = nullptr;
    TRect m_extent;
    bool m_any = false;
};

} // namespace plat
