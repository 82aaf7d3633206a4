// The QR Code symbol over TQRCodeGenerator.
#include "zdBarcodeQR.h"

#include "TypeInfo.h"

PLAT_DEFINE_CLASS(TzdBarcodeQR, c)
{
    c.property("Encoding", &TzdBarcodeQR::Encoding, &TzdBarcodeQR::SetEncoding).defaultValue(qrAuto);
    c.property("QuietZone", &TzdBarcodeQR::ModuleQuietZone, &TzdBarcodeQR::SetModuleQuietZone);
    c.property("ErrorLevels", &TzdBarcodeQR::ErrorLevels, &TzdBarcodeQR::SetErrorLevels).defaultValue(ecL);
    c.property("PixelSize", &TzdBarcodeQR::PixelSize, &TzdBarcodeQR::SetPixelSize);
    c.property("Codepage", &TzdBarcodeQR::Codepage, &TzdBarcodeQR::SetCodepage).defaultValue(0);
}

namespace {
constexpr int kDefaultPixelSize = 4;
}

TzdBarcodeQR::TzdBarcodeQR()
{
    m_generator.SetData(Text());
    SetPixelSize(kDefaultPixelSize);
    m_generator.SetQuietZone(0);
    UpdateImage();
}

TzdBarcodeQR::~TzdBarcodeQR() = default;

void TzdBarcodeQR::SetText(const QString& Value)
{
    TzdBarcode2DBase::SetText(Value);
    m_generator.SetData(Text());
    UpdateImage();
}

void TzdBarcodeQR::Assign(TzdBarcode2DBase* Source)
{
    TzdBarcode2DBase::Assign(Source);
    if (auto* qr = dynamic_cast<TzdBarcodeQR*>(Source)) {
        SetEncoding(qr->Encoding());
        SetModuleQuietZone(qr->ModuleQuietZone());
        SetErrorLevels(qr->ErrorLevels());
    }
    // The image follows the copied text at once, not at the next SetText.
    m_generator.SetData(Text());
    UpdateImage();
}

void TzdBarcodeQR::SetEncoding(TQRCodeEncoding Value)
{
    m_generator.SetEncoding(Value);
    UpdateImage();
}

void TzdBarcodeQR::SetModuleQuietZone(int Value)
{
    m_generator.SetQuietZone(Value);
    UpdateImage();
}

void TzdBarcodeQR::SetErrorLevels(TQRErrorLevels Value)
{
    m_generator.SetErrorCorrectionLevel(Value);
    UpdateImage();
}

void TzdBarcodeQR::SetPixelSize(int Value)
{
    SetPixelWidth(Value);
    SetPixelHeight(Value);
}

void TzdBarcodeQR::SetCodepage(int Value)
{
    m_generator.SetCodePage(Value);
    UpdateImage();
}

void TzdBarcodeQR::UpdateImage()
{
    const int rows = m_generator.Rows(), columns = m_generator.Columns();
    resetImage(rows, columns);
    for (int r = 0; r < rows; ++r)
        for (int col = 0; col < columns; ++col)
            if (m_generator.IsBlack(r, col))
                setModule(r, col, true);
    SetErrorText(m_generator.ErrorText());
}
