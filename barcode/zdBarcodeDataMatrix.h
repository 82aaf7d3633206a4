#pragma once
// TzdBarcodeDataMatrix: the Data Matrix (ECC 200) symbol. The text becomes
// bytes in the symbol's code page, codewords by one of six encodations (or
// the shortest of them), the smallest size that holds them (or a fixed
// one), then padding, Reed-Solomon blocks and the module placement with the
// finder and clock patterns of every data region. A failure keeps the
// previous image and its message in ErrorText.

#include "zdBarcode2DBase.h"

#include "TypeInfo.h"

#include <QByteArray>

#include <optional>

enum class DatamatrixEncoding { Auto, Ascii, C40, Txt, Base256, X12, Edifact };
PLAT_DECLARE_ENUM(DatamatrixEncoding)

enum class DatamatrixSymbolSize {
    AutoSize,
    Size10x10, Size12x12, Size8x18, Size14x14, Size8x32, Size16x16, Size12x26, Size18x18, Size20x20, Size12x36,
    Size22x22, Size16x36, Size24x24, Size26x26, Size16x48, Size32x32, Size36x36, Size40x40, Size44x44, Size48x48,
    Size52x52, Size64x64, Size72x72, Size80x80, Size88x88, Size96x96, Size104x104, Size120x120, Size132x132,
    Size144x144
};
PLAT_DECLARE_ENUM(DatamatrixSymbolSize)

namespace zd {

// One row of the ECC 200 size table; regions include their finder and
// clock modules.
struct DataMatrixSize {
    int height;
    int width;
    int regionHeight;
    int regionWidth;
    int dataCodewords;
    int dataPerBlock;
    int errorPerBlock;
};
inline constexpr int kDataMatrixSizeCount = 30;
const DataMatrixSize& dataMatrixSize(int index); // 0..29, in table order

// The codewords of one encodation for at most `capacity` codewords, or
// nothing when they do not fit. `offset` is the number of codewords before
// them in the symbol (the Base256 randomising counts from the stream's start).
std::optional<QByteArray> dataMatrixEncode(DatamatrixEncoding encoding, const QByteArray& bytes, int capacity,
                                           int offset = 0);

} // namespace zd

class TzdBarcodeDataMatrix : public TzdBarcode2DBase {
    PLAT_CLASS(TzdBarcodeDataMatrix, TzdBarcode2DBase)
public:
    TzdBarcodeDataMatrix();
    ~TzdBarcodeDataMatrix() override;

    void SetText(const QString& Value) override;
    // The base's settings, then size, encoding and code page of another
    // Data Matrix symbol; the symbol is encoded again from the copied text.
    void Assign(TzdBarcode2DBase* Source) override;

    // ---- published
    DatamatrixSymbolSize SymbolSize() const { return m_symbolSize; }
    void SetSymbolSize(DatamatrixSymbolSize Value);
    DatamatrixEncoding Encoding() const { return m_encoding; }
    void SetEncoding(DatamatrixEncoding Value);
    int CodePage() const { return m_codePage; }
    void SetCodePage(int Value);
    int PixelSize() const { return PixelWidth(); }
    void SetPixelSize(int Value);

    // The data codewords of the last good encode, before padding.
    const QByteArray& Codewords() const { return m_codewords; }

    void Generate();

private:
    QByteArray textBytes(bool& fnc1) const;

    DatamatrixSymbolSize m_symbolSize = DatamatrixSymbolSize::AutoSize;
    DatamatrixEncoding m_encoding = DatamatrixEncoding::Auto;
    int m_codePage;
    QByteArray m_codewords;
};
