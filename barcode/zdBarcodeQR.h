#pragma once
// TzdBarcodeQR: the QR Code symbol. Its generator encodes the text with the
// symbol's encoding, level, code page and quiet zone (in modules); the
// matrix, quiet zone included, becomes the base's module image after every
// change. A text that fits no version leaves only the quiet zone and the
// message in ErrorText.

#include "zdBarcode2DBase.h"
#include "zdQRCodeGenerator.h"

class TzdBarcodeQR : public TzdBarcode2DBase {
    PLAT_CLASS(TzdBarcodeQR, TzdBarcode2DBase)
public:
    TzdBarcodeQR();
    ~TzdBarcodeQR() override;

    void SetText(const QString& Value) override;
    // The base's settings, then encoding, quiet zone and level of another
    // QR symbol (not the code page); the symbol shows the copied text.
    void Assign(TzdBarcode2DBase* Source) override;

    // ---- published
    TQRCodeEncoding Encoding() const { return m_generator.Encoding(); }
    void SetEncoding(TQRCodeEncoding Value);
    // The generator's quiet zone in modules (published as "QuietZone").
    int ModuleQuietZone() const { return m_generator.QuietZone(); }
    void SetModuleQuietZone(int Value);
    TQRErrorLevels ErrorLevels() const { return m_generator.ErrorCorrectionLevel(); }
    void SetErrorLevels(TQRErrorLevels Value);
    int PixelSize() const { return PixelWidth(); }
    void SetPixelSize(int Value);
    int Codepage() const { return m_generator.CodePage(); }
    void SetCodepage(int Value);

    const TQRCodeGenerator& Generator() const { return m_generator; }
    void UpdateImage();

private:
    TQRCodeGenerator m_generator;
};
