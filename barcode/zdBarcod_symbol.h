#pragma once
// The linear symbologies as pure code: text in, module string out.
//
// A module string has one character per bar or gap, left to right, start and
// stop patterns included, quiet zones excluded:
//   '0'..'3'  gap of width w0..w3
//   '5'..'8'  full-height bar of width w0..w3
//   'A'..'D'  short bar (lower two fifths of the height) of width w0..w3
// TzdBarcode (zdBarcod.h) owns one LinearSymbol and adds the component, the
// published properties and the drawing on top of it.

#include <QString>

#include <array>

enum TzdBarcodeType : int {
    bcCode_2_5_interleaved,
    bcCode_2_5_industrial,
    bcCode_2_5_matrix,
    bcCode39,
    bcCode39Extended,
    bcCode128,
    bcCode128A,
    bcCode128B,
    bcCode128C,
    bcCode93,
    bcCode93Extended,
    bcCodeMSI,
    bcCodePostNet,
    bcCodeCodabar,
    bcCodeEAN8,
    bcCodeEAN13,
    bcCodeUPC_A,
    bcCodeUPC_E0,
    bcCodeUPC_E1,
    bcCodeUPC_Supp2,
    bcCodeUPC_Supp5,
    bcCodeEAN128,
    bcCodeEAN128A,
    bcCodeEAN128B,
    bcCodeEAN128C,
    bcGS1Code128,
};
inline constexpr int kBarcodeTypeCount = 26;

enum TzdCheckSumMethod : int { csmNone, csmModulo10 };

struct TzdBCdata {
    const char* Name;
    bool Num; // numeric only
};

// One row per TzdBarcodeType, in ordinal order.
inline constexpr std::array<TzdBCdata, kBarcodeTypeCount> TBCdata{{
    {"2_5_interleaved", true},
    {"2_5_industrial", true},
    {"2_5_matrix", true},
    {"Code39", false},
    {"Code39 Extended", false},
    {"Code128", false},
    {"Code128A", false},
    {"Code128B", false},
    {"Code128C", true},
    {"Code93", false},
    {"Code93 Extended", false},
    {"MSI", true},
    {"PostNet", true},
    {"Codebar", false},
    {"EAN8", true},
    {"EAN13", true},
    {"UPC_A", true},
    {"UPC_E0", true},
    {"UPC_E1", true},
    {"UPC Supp2", true},
    {"UPC Supp5", true},
    {"EAN128", false},
    {"EAN128A", false},
    {"EAN128B", false},
    {"EAN128C", true},
    {"GS1Code128", false},
}};

// The value names of TzdBarcodeType ("bcCodeEAN13", ...), in ordinal order.
extern const std::array<const char*, kBarcodeTypeCount> TzdBarcodeTypeNames;

namespace zd {

enum class ModuleKind { Gap, Bar, ShortBar };

// w0..w3 in picture units.
using ModuleWidths = std::array<int, 4>;

inline constexpr const char* kBarcodeClassName = "TzdBarcode";

bool isCode128Family(TzdBarcodeType typ);
// Types whose elements are whole multiples of the module (widths 1..4 × Modul).
bool hasFixedModuleWidths(TzdBarcodeType typ);

class LinearSymbol {
public:
    // What shapes the bars (published through TzdBarcode).
    QString Text;
    int Modul = 1;
    double Ratio = 2.0;
    TzdBarcodeType Typ = bcCodeEAN13;
    bool Checksum = false;
    TzdCheckSumMethod CheckSumMethod = csmModulo10;

    // Clamps Ratio per symbology (storing the clamped value) and computes w0..w3.
    void MakeModuleWidths();
    // Checks the text and returns the module string; may rewrite Text.
    QString MakeModuleString();
    // Encodes and returns the symbol width in picture units.
    int GetWidth();
    // Sum of the widths of a module string at the current module widths.
    int ModulesWidth(const QString& modules) const;
    // Raises "TzdBarcode: internal Error" for a character outside the alphabet.
    void GetModuleInfo(QChar c, int& width, ModuleKind& kind) const;
    // S unchanged for csmNone, S + its modulo-10 check digit for csmModulo10.
    QString ApplyCheckSum(const QString& s) const;

    const ModuleWidths& Widths() const { return m_w; }
    // The eight digits of the last EAN-8 symbol encoded (its human-readable line).
    const QString& Ean8Digits() const { return m_ean8Digits; }

private:
    QString encode2of5Interleaved();
    QString encode2of5Industrial();
    QString encode2of5Matrix();
    QString encodeCode39(const QString& text);
    QString encodeCode39Extended();
    QString encodeCode93(const QString& text, const QString& shownText);
    QString encodeCode93Extended();
    QString encodeMSI();
    QString encodePostNet();
    QString encodeCodabar();
    QString encodeEAN8();
    QString encodeEAN13();
    QString encodeUPCA();
    QString encodeUPCE();
    QString encodeSupp5();
    QString encodeSupp2();
    QString EncodeCode128();

    ModuleWidths m_w{1, 2, 3, 4};
    QString m_ean8Digits;
};

// The modulo-10 check digit of a digit string (rightmost digit weight 3).
// Raises the platform's integer-conversion error for a non-digit.
int modulo10(QStringView digits);

// Width digits '1'..'4' to module characters: odd positions bars, even gaps.
QString WidthsToModules(QStringView widths);

// ---------------------------------------------------------------- Code 128

enum class Code128Set { None, A, B, C };

// Positions are 0-based here.
QString Code128NextToken(const QString& t, qsizetype& pos, Code128Set set);
QString Code128StripEscapes(const QString& t, bool dropFnc);
QString Code128AutoEncode(const QString& t);
QString Code128NextRun(const QString& t, qsizetype& pos, Code128Set& set);
QString GS1ToCode128(const QString& t);
QString GS1ParseElement(const QString& t, qsizetype& pos);
// The human-readable line of the Code 128 family: Text without its escapes.
QString Code128HumanText(const QString& text);

} // namespace zd
