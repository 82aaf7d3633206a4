#pragma once
// TzdBarcode: a linear barcode of one of 26 symbologies, measured and drawn
// with its human-readable text at 0, 90, 180 or 270 degrees.
//
// Callers set the published properties, call GetWidth to size their frame
// and DrawBarcode to paint; both encode again from Text, and an encode that
// rewrites Text (padding, check digits) gives the same Text when repeated.
// Bad input raises plat::Exception with the symbology's message.

#include "zdBarcod_symbol.h"

#include "Graphics.h"
#include "TypeInfo.h"

#include <functional>
#include <memory>
#include <vector>

namespace plat {
class TCanvas;
struct TRect;
} // namespace plat

PLAT_DECLARE_ENUM(TzdBarcodeType)
PLAT_DECLARE_ENUM(TzdCheckSumMethod)

class TzdBarcode : public plat::TComponent {
    PLAT_CLASS(TzdBarcode, plat::TComponent)
public:
    explicit TzdBarcode(plat::TComponent* AOwner = nullptr);
    ~TzdBarcode() override;

    // From another TzdBarcode: everything but the font. Other sources are ignored.
    void Assign(plat::TPersistent* Source) override;

    void MakeModuleWidths() { m_symbol.MakeModuleWidths(); }
    QString MakeModuleString() { return m_symbol.MakeModuleString(); }
    // The symbol width in picture units, quiet zones excluded (encodes).
    int GetWidth() { return m_symbol.GetWidth(); }
    QString ApplyCheckSum(const QString& S) const { return m_symbol.ApplyCheckSum(S); }
    void GetModuleInfo(QChar C, int& Width, zd::ModuleKind& Kind) const { m_symbol.GetModuleInfo(C, Width, Kind); }

    // Draws the symbol stretched into Rect; the text band lies below the bars
    // at 0 degrees and turns with them. ScaleX and ScaleY are the caller's
    // display factors; the recorded picture is resolution-free, so they
    // change nothing here.
    void DrawBarcode(plat::TCanvas& Canvas, const plat::TRect& Rect, bool ShowText, long double ScaleX,
                     long double ScaleY);

    // ---- published
    QString Text() const { return m_symbol.Text; }
    void SetText(const QString& Value) { m_symbol.Text = Value; }
    int Modul() const { return m_symbol.Modul; }
    void SetModul(int Value) { m_symbol.Modul = Value; }
    double Ratio() const { return m_symbol.Ratio; }
    void SetRatio(double Value) { m_symbol.Ratio = Value; }
    TzdBarcodeType Typ() const { return m_symbol.Typ; }
    void SetTyp(TzdBarcodeType Value) { m_symbol.Typ = Value; }
    bool Checksum() const { return m_symbol.Checksum; }
    void SetChecksum(bool Value) { m_symbol.Checksum = Value; }
    TzdCheckSumMethod CheckSumMethod() const { return m_symbol.CheckSumMethod; }
    void SetCheckSumMethod(TzdCheckSumMethod Value) { m_symbol.CheckSumMethod = Value; }
    double Angle() const { return m_angle; }
    void SetAngle(double Value) { m_angle = Value; }
    int Width() { return GetWidth(); }
    int Height() const { return m_height; }
    void SetHeight(int Value) { m_height = Value; }
    plat::TColor Color() const { return m_color; }
    void SetColor(plat::TColor Value) { m_color = Value; }
    plat::TColor ColorBar() const { return m_colorBar; }
    void SetColorBar(plat::TColor Value) { m_colorBar = Value; }
    plat::TFont* Font() const { return m_font.get(); }
    void SetFont(plat::TFont* Value);

    // ---- drawing state (not published)
    int LeftOffset() const { return m_left; }
    int TopOffset() const { return m_top; }
    const zd::ModuleWidths& ModuleWidths() const { return m_symbol.Widths(); }

private:
    struct Layout;
    void drawBars(plat::TCanvas& canvas, const QString& modules, int width) const;
    void drawText(plat::TCanvas& canvas, const Layout& layout) const;

    zd::LinearSymbol m_symbol;
    double m_angle = 0;
    int m_height = 0;
    plat::TColor m_color = plat::clWhite;
    plat::TColor m_colorBar = plat::clBlack;
    std::unique_ptr<plat::TFont> m_font;
    int m_left = 0;
    int m_top = 0;
};

namespace zd {

// One run of human-readable text: drawn at x, over a band from..to along
// the bars (picture units, 0 = left end of the bars).
struct TextPiece {
    QString text;
    int x;
    int from;
    int to;
};

// The pieces of the human-readable line of an encoded symbol of width w
// drawn with modules of modul units; textWidth measures a text in the
// drawing font.
std::vector<TextPiece> humanReadablePieces(TzdBarcodeType typ, const QString& text, const QString& ean8Digits,
                                           int w, int modul, const std::function<int(const QString&)>& textWidth);

// EAN-8, EAN-13, UPC-A and UPC-E print their digits beside and between the
// guard bars, which stand longer than the data bars.
bool hasGuardBarText(TzdBarcodeType typ);

} // namespace zd
