#pragma once
// The 2D barcode object: a PDF417, Data Matrix or QR Code symbol on a
// report page, sized to the symbol. Its text, zoom, rotation and text
// options are the symbol's; the settings of each kind are reached through
// a properties object bound to the symbol.

#include "zdBarcodePDF417.h"
#include "zdBarcodeDataMatrix.h"
#include "zdBarcodeQR.h"
#include "zdClass_view.h"
#include "zdDrawText.h"

enum TzdBarcode2DType { bcCodePDF417, bcCodeDataMatrix, bcCodeQR };
PLAT_DECLARE_ENUM(TzdBarcode2DType)

class TzdBarcode2DProperties : public plat::TPersistent {
    PLAT_CLASS(TzdBarcode2DProperties, plat::TPersistent)
public:
    TzdBarcode2DProperties() = default;
    void SetSymbol(TzdBarcode2DBase* Symbol) { m_symbol = Symbol; }

protected:
    TzdBarcode2DBase* m_symbol = nullptr;
};

class TzdPDF417Properties : public TzdBarcode2DProperties {
    PLAT_CLASS(TzdPDF417Properties, TzdBarcode2DProperties)
public:
    TzdPDF417Properties() = default;
    void Assign(plat::TPersistent* Source) override;

    long double AspectRatio() const { return symbol()->AspectRatio(); }
    void SetAspectRatio(long double Value) { symbol()->SetAspectRatio(Value); }
    int Columns() const { return symbol()->DataColumns(); }
    void SetColumns(int Value) { symbol()->SetDataColumns(Value); }
    int Rows() const { return symbol()->DataRows(); }
    void SetRows(int Value) { symbol()->SetDataRows(Value); }
    PDF417ErrorCorrection ErrorCorrection() const { return symbol()->ErrorCorrection(); }
    void SetErrorCorrection(PDF417ErrorCorrection Value) { symbol()->SetErrorCorrection(Value); }
    int CodePage() const { return symbol()->CodePage(); }
    void SetCodePage(int Value) { symbol()->SetCodePage(Value); }
    PDF417CompactionMode CompactionMode() const { return symbol()->CompactionMode(); }
    void SetCompactionMode(PDF417CompactionMode Value) { symbol()->SetCompactionMode(Value); }
    int PixelWidth() const { return symbol()->PixelWidth(); }
    void SetPixelWidth(int Value) { symbol()->SetPixelWidth(Value); }
    int PixelHeight() const { return symbol()->PixelHeight(); }
    void SetPixelHeight(int Value) { symbol()->SetPixelHeight(Value); }

private:
    TzdBarcodePDF417* symbol() const { return static_cast<TzdBarcodePDF417*>(m_symbol); }
};

class TzdDataMatrixProperties : public TzdBarcode2DProperties {
    PLAT_CLASS(TzdDataMatrixProperties, TzdBarcode2DProperties)
public:
    TzdDataMatrixProperties() = default;
    void Assign(plat::TPersistent* Source) override;

    int CodePage() const { return symbol()->CodePage(); }
    void SetCodePage(int Value) { symbol()->SetCodePage(Value); }
    int PixelSize() const { return symbol()->PixelSize(); }
    void SetPixelSize(int Value) { symbol()->SetPixelSize(std::max(Value, 2)); }
    DatamatrixSymbolSize SymbolSize() const { return symbol()->SymbolSize(); }
    void SetSymbolSize(DatamatrixSymbolSize Value) { symbol()->SetSymbolSize(Value); }
    DatamatrixEncoding Encoding() const { return symbol()->Encoding(); }
    void SetEncoding(DatamatrixEncoding Value) { symbol()->SetEncoding(Value); }

private:
    TzdBarcodeDataMatrix* symbol() const { return static_cast<TzdBarcodeDataMatrix*>(m_symbol); }
};

class TzdQRProperties : public TzdBarcode2DProperties {
    PLAT_CLASS(TzdQRProperties, TzdBarcode2DProperties)
public:
    TzdQRProperties() = default;
    void Assign(plat::TPersistent* Source) override;

    TQRCodeEncoding Encoding() const { return symbol()->Encoding(); }
    void SetEncoding(TQRCodeEncoding Value) { symbol()->SetEncoding(Value); }
    int QuietZone() const { return symbol()->ModuleQuietZone(); }
    void SetQuietZone(int Value) { symbol()->SetModuleQuietZone(Value); }
    TQRErrorLevels ErrorLevels() const { return symbol()->ErrorLevels(); }
    void SetErrorLevels(TQRErrorLevels Value) { symbol()->SetErrorLevels(Value); }
    int PixelSize() const { return symbol()->PixelSize(); }
    void SetPixelSize(int Value) { symbol()->SetPixelSize(std::max(Value, 2)); }
    int CodePage() const { return symbol()->Codepage(); }
    void SetCodePage(int Value) { symbol()->SetCodepage(Value); }

private:
    TzdBarcodeQR* symbol() const { return static_cast<TzdBarcodeQR*>(m_symbol); }
};

class TzdBarcode2DView : public TzdStretcheable {
    PLAT_CLASS(TzdBarcode2DView, TzdStretcheable)
public:
    explicit TzdBarcode2DView(plat::TComponent* AOwner);
    ~TzdBarcode2DView() override;

    QString ClassDisplayName() const override;
    void ApplyDesignFlags(quint16 Flags) override;
    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;
    void GetData() override;
    TzdExtRect GetRealBounds() override;
    long double CalcHeight() override;
    long double FitNextPart() override;

    TzdBarcode2DType BarType() const { return m_barType; }
    // A new symbol of the kind with its own defaults, and its properties.
    void SetBarType(TzdBarcode2DType Value);
    TzdBarcode2DProperties* BarProperties() const { return m_properties.get(); }
    void SetBarProperties(TzdBarcode2DProperties* Value);
    TzdBarcode2DBase* Symbol() const { return m_symbol.get(); }

    int Rotation() const { return m_symbol->Rotation(); }
    void SetRotation(int Value) { m_symbol->SetRotation(Value); }
    bool ShowText() const { return m_symbol->ShowText(); }
    void SetShowText(bool Value) { m_symbol->SetShowText(Value); }
    QString Text() const { return m_symbol->Text(); }
    void SetText(const QString& Value) { m_symbol->SetText(Value); }
    long double Zoom() const { return m_symbol->Zoom(); }
    void SetZoom(long double Value) { m_symbol->SetZoom(Value); }
    bool FontScaled() const { return m_symbol->FontScaled(); }
    void SetFontScaled(bool Value) { m_symbol->SetFontScaled(Value); }
    QString ErrorText() const { return m_symbol->ErrorText(); }
    void SetErrorText(const QString& Value) { m_symbol->SetErrorText(Value); }
    int QuietZone() const { return m_symbol->QuietZone(); }
    void SetQuietZone(int Value) { m_symbol->SetQuietZone(Value); }

    QString Expression;
    TzdHAlign HAlign = haLeft;

private:
    std::unique_ptr<TzdBarcode2DBase> m_symbol;
    std::unique_ptr<TzdBarcode2DProperties> m_properties;
    TzdBarcode2DType m_barType = bcCodePDF417;
    QString m_dataError;
};

namespace zd {
// A rotation snapped to 0, 90, 180 or 270.
int snapRotation(long double Rotation);
} // namespace zd
