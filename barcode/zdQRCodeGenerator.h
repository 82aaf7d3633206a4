#pragma once
// QR Code encoding (versions 1-40, levels L/M/Q/H, masks 0-7): text to the
// module matrix, and TQRCodeGenerator, which keeps the last matrix for the
// QR symbol.
//
// The encoder chooses the mode from the text (numeric, alphanumeric, byte
// in ISO-8859-1 or UTF-8, Kanji through Shift JIS, ECI segments when a code
// page is set or the text holds "&ECInn;" escapes), the smallest version
// that holds the data, and the mask with the lowest penalty.

#include "TypeInfo.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

enum TQRCodeEncoding { qrAuto, qrNumeric, qrAlphanumeric, qrISO88591, qrUTF8NoBOM, qrUTF8BOM, qrShift_JIS };
PLAT_DECLARE_ENUM(TQRCodeEncoding)
// Format bits of the levels: L 1, M 0, Q 3, H 2.
enum TQRErrorLevels { ecL, ecM, ecQ, ecH };
PLAT_DECLARE_ENUM(TQRErrorLevels)

// A square module matrix, indexed by column then row; true is dark.
class T2DBooleanArray {
public:
    explicit T2DBooleanArray(int size = 0) : m_size(size), m_cells(std::size_t(size) * std::size_t(size), 0) {}
    int Size() const { return m_size; }
    bool At(int column, int row) const { return m_cells[index(column, row)] != 0; }
    void Set(int column, int row, bool dark) { m_cells[index(column, row)] = dark ? 1 : 0; }
    bool operator==(const T2DBooleanArray&) const = default;

private:
    std::size_t index(int column, int row) const { return std::size_t(column) * std::size_t(m_size) + std::size_t(row); }
    int m_size;
    std::vector<std::uint8_t> m_cells;
};

namespace zd {

QString qrTextTooBigMessage(); // "The text is too big."

// The codewords of one encode, before module placement.
struct QRCodewords {
    int version = 0;               // 1..40
    TQRErrorLevels level = ecL;
    TQRCodeEncoding mode = qrAuto; // the encoding used (Auto resolved)
    bool kanji = false;            // Shift JIS text carried in Kanji mode
    bool eci = false;              // ECI segments
    QByteArray data;               // data codewords, padded to the capacity
    QByteArray interleaved;        // data and error codewords in transmission order
};

// Raises plat::Exception qrTextTooBigMessage() when no version holds the text.
QRCodewords encodeQRCodewords(const QString& text, TQRCodeEncoding encoding, TQRErrorLevels level, int codePage);
// The symbol of the codewords with the given mask (0..7), or with the mask
// of the lowest penalty when mask is -1; chosenMask receives it.
T2DBooleanArray buildQRMatrix(const QRCodewords& codewords, int mask = -1, int* chosenMask = nullptr);
// The sum of the four penalty rules of a finished symbol.
int qrMaskPenalty(const T2DBooleanArray& matrix);
// Reed-Solomon over GF(256) (0x11D, generator base 0): ecCount error codewords.
QByteArray qrReedSolomon(const QByteArray& data, int ecCount);

// ECI designators and code pages, both directions: a code page outside the
// table gives designator 3, a designator outside it code page 0.
int qrECIDesignatorOfCodePage(int codePage);
int qrCodePageOfECIDesignator(int designator);

} // namespace zd

// Runs the encoder; std::nullopt when it produced no matrix (the text fits
// no version), with the reason in *errorText when that is given.
std::optional<T2DBooleanArray> zdGenerateQRMatrix(const QString& text, TQRCodeEncoding encoding,
                                                  TQRErrorLevels level, int codePage, QString* errorText = nullptr);

// Keeps the settings and the last matrix; re-encodes on accepted changes.
class TQRCodeGenerator {
public:
    TQRCodeGenerator() { Update(); }

    QString Data() const { return m_data; }
    void SetData(const QString& value);
    TQRCodeEncoding Encoding() const { return m_encoding; }
    void SetEncoding(TQRCodeEncoding value);
    TQRErrorLevels ErrorCorrectionLevel() const { return m_level; }
    void SetErrorCorrectionLevel(TQRErrorLevels value); // always re-encodes
    int QuietZone() const { return m_quietZone; }
    void SetQuietZone(int value); // values outside 0..100 are ignored
    int CodePage() const { return m_codePage; }
    void SetCodePage(int value);

    // Symbol size plus twice the quiet zone (only the quiet zone when the
    // text gave no matrix).
    int Rows() const { return m_rows; }
    int Columns() const { return m_columns; }
    // Dark module at (row, column); false in the quiet zone and outside.
    bool IsBlack(int row, int column) const;
    // Why the last encode gave no matrix; empty after a good one.
    QString ErrorText() const { return m_errorText; }
    const std::optional<T2DBooleanArray>& Matrix() const { return m_matrix; }

    void Update();

private:
    QString m_data;
    TQRCodeEncoding m_encoding = qrAuto;
    TQRErrorLevels m_level = ecL;
    int m_quietZone = 4;
    int m_codePage = 0;
    std::optional<T2DBooleanArray> m_matrix;
    int m_rows = 0;
    int m_columns = 0;
    QString m_errorText;
};
