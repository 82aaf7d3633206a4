#pragma once
// Barcode objects on report pages: TzdBarCodeView draws a linear code with
// its own encoder, sized to the code; TzdBarcode2DView (zdBarcode2DView.h)
// a PDF417, Data Matrix or QR Code symbol. Their text comes from a data
// field, else an expression, else their own Text.
//
// Failures never leave Draw: an encoding error, or a data field that gives
// no text, shows its message in red instead of the code.

#include "zdBarcod.h"
#include "zdClass_view.h"
#include "zdDrawText.h"

#include <memory>

class TzdBarCodeView : public TzdView {
    PLAT_CLASS(TzdBarCodeView, TzdView)
public:
    explicit TzdBarCodeView(plat::TComponent* AOwner);
    ~TzdBarCodeView() override;

    QString ClassDisplayName() const override;
    // The palette's flags are the symbology.
    void ApplyDesignFlags(quint16 Flags) override;
    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;
    void GetData() override;
    TzdExtRect GetRealBounds() override;

    const QString& Text() const { return m_text; }
    // Right- and centre-aligned objects are measured again at once.
    void SetText(const QString& Value);
    TzdBarcode* Barcode() const { return m_barcode.get(); }
    // The message shown instead of the code after the last drawing.
    const QString& ErrorText() const { return m_errorText; }

    TzdBarcodeType BarType = bcCode39;
    bool CalcCheckSum = false;
    QString Expression;
    TzdHAlign HAlign = haLeft;
    int Rotation = 0;
    bool ShowText = true;
    bool TestLine = false;
    long double WideBarRatio = 2.0L;
    long double Zoom = 1.0L;

protected:
    void FontChanged() override;

private:
    void measure(int& extraLeft, int& extraRight);

    std::unique_ptr<TzdBarcode> m_barcode;
    QString m_text = QStringLiteral("12345678");
    QString m_errorText;
    QString m_dataError;
};

namespace zd {
// The extra module units EAN and UPC print outside their bars.
void barcodeTextExtras(TzdBarcodeType Type, int& Left, int& Right);
// A failure message in red Arial of ScaleY x 8 points, wrapped in the box.
void drawBarcodeError(plat::TCanvas& Canvas, const QString& Message, int X, int Y, int X1, int Y1,
                      long double ScaleY);
// The value of a data field or expression as barcode text; false (and the
// message) when the value gives none, such as Null.
bool barcodeTextOf(const plat::Variant& Value, QString& Text, QString& Message);

void startBarcodeViewUnit();
void endBarcodeViewUnit();
void startBarcodeViewRTTIUnit();
void endBarcodeViewRTTIUnit();
} // namespace zd
