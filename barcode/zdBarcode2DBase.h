#pragma once
// TzdBarcode2DBase: the one-bit module image of a 2D symbol (QR Code, Data
// Matrix, PDF417) with the settings the three share, measured and drawn at
// 0, 90, 180 or 270 degrees with an optional human-readable line.
//
// Descendants encode in their constructor and whenever the text or one of
// their settings changes; they set Rows, Columns and the image together and
// keep the failure of the last encode in ErrorText (empty after a good one).
// Modules are always black on white, whatever Color and ColorBar say.

#include "Graphics.h"
#include "Objects.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace plat {
class TCanvas;
}

class TzdBarcode2DBase : public plat::TObject {
    PLAT_CLASS(TzdBarcode2DBase, plat::TObject)
public:
    TzdBarcode2DBase();
    ~TzdBarcode2DBase() override;

    virtual void SetShowText(bool Value);
    virtual void SetRotation(int Value);
    virtual void SetText(const QString& Value);
    virtual void SetZoom(long double Value);
    virtual void SetFontScaled(bool Value);
    virtual void SetFont(const plat::TFont* Value);
    virtual void SetColor(plat::TColor Value);
    virtual void SetColorBar(plat::TColor Value);
    virtual void SetErrorText(const QString& Value);
    // Pixels at scale 1, quiet zone on both sides included; the height
    // includes the text line when it is shown.
    virtual int GetWidth();
    virtual int GetHeight();
    // Copies the settings (text, rotation, zoom, module size, font, colours,
    // error text, quiet zone), not the image.
    virtual void Assign(TzdBarcode2DBase* Source);
    // h + h div 4, h the absolute height of Font in pixels.
    virtual int GetTextHeight();
    // Draws at (X, Y) in device pixels with the caller's scales; Zoom
    // multiplies them. On a printer canvas the text is sized by the printer's
    // resolution alone.
    virtual void Draw(plat::TCanvas& Canvas, int X, long double ScaleX, long double ScaleY, int Y);

    // Rows rows of (Columns + 7) div 8 bytes; the leftmost module of a row
    // is the high bit of its first byte; a set bit is dark.
    const std::vector<std::uint8_t>& Image() const { return m_image; }
    int Rows() const { return m_rows; }
    int Columns() const { return m_columns; }
    int BytesPerRow() const { return (m_columns + 7) / 8; }
    bool IsDark(int row, int column) const;

    int PixelWidth() const { return m_pixelWidth; }
    void SetPixelWidth(int Value) { m_pixelWidth = Value; }
    int PixelHeight() const { return m_pixelHeight; }
    void SetPixelHeight(int Value) { m_pixelHeight = Value; }
    bool ShowText() const { return m_showText; }
    int Rotation() const { return m_rotation; }
    QString Text() const { return m_text; }
    long double Zoom() const { return m_zoom; }
    bool FontScaled() const { return m_fontScaled; }
    plat::TFont* Font() const { return m_font.get(); }
    plat::TColor Color() const { return m_color; }
    plat::TColor ColorBar() const { return m_colorBar; }
    QString ErrorText() const { return m_errorText; }
    // Blank margin in pixels at scale 1 on each side (set directly, no encode).
    int QuietZone() const { return m_quietZone; }
    void SetQuietZone(int Value) { m_quietZone = Value; }

    static QString DefaultText() { return QStringLiteral("12345678"); }

protected:
    // Replaces the symbol: rows x columns modules, all light.
    void resetImage(int rows, int columns);
    void setModule(int row, int column, bool dark);
    void storeText(const QString& Value) { m_text = Value; }

private:
    struct Geometry;
    int drawTextLine(plat::TCanvas& canvas, const Geometry& g, long double scaleY);
    void drawModules(plat::TCanvas& canvas, const Geometry& g, int shiftX, int shiftY);
    void drawThroughBitmap(plat::TCanvas& canvas, int X, int Y, long double sx, long double sy, int qx, int qy, int T);

    std::vector<std::uint8_t> m_image;
    int m_rows = 0;
    int m_columns = 0;
    int m_pixelWidth = 2;
    int m_pixelHeight = 2;
    bool m_showText = true;
    int m_rotation = 0;
    QString m_text = DefaultText();
    long double m_zoom = 1;
    bool m_fontScaled = true;
    std::unique_ptr<plat::TFont> m_font;
    plat::TColor m_color = plat::clWhite;
    plat::TColor m_colorBar = plat::clBlack;
    QString m_errorText;
    int m_quietZone = 0;
};
