#pragma once
// Small routines the editor shares: limits, tab expansion and tab columns,
// scanning for characters of a set, surrogate pairs, the character-type
// classes of a word selection and the gradient fill.
//
// Character sets are sets of 8-bit codes, as the editor's rules are written
// for code page 1250; a character of the text takes the code it has in that
// code page, and a character the code page lacks takes its Unicode class
// (letters, digits and marks, or nothing), as the set says.

#include "PlainEditTypes.h"

#include <QString>
#include <QStringView>

#include <bitset>
#include <initializer_list>
#include <utility>

namespace plat {
class TCanvas;
struct TRect;
} // namespace plat

// max(Low, min(V, High)); Low wins when Low > High.
int ClampInt(int V, int Low, int High);
// A 64-bit value limited to the 32-bit range (positions near the limits).
int ClampToInt(qint64 V);
TBufferCoord EarlierCoord(TBufferCoord A, TBufferCoord B);

// Number of characters before the first tab; false when there is none.
bool FindFirstTab(QStringView text, int& before);
bool IsPowerOfTwo(int n);

// Expands tabs: every tab advances to the next multiple of the width and is
// written as tab characters (blanks for width 1). hasTabs tells whether a
// tab was found; text without one comes back unchanged.
using TExpandTabsProc = QString (*)(const QString& text, int tabWidth, bool& hasTabs);
QString ExpandTabsWidth1(const QString& text, int tabWidth, bool& hasTabs);
QString ExpandTabsPow2(const QString& text, int tabWidth, bool& hasTabs);
QString ExpandTabsModulo(const QString& text, int tabWidth, bool& hasTabs);
TExpandTabsProc ChooseTabExpander(int width);
// Cells the text takes with tabs expanded (a surrogate pair is one cell).
int TabExpandedLength(QStringView text, int width);
// The display column of character Index (1-based): 1 for Index <= 1; tabs
// advance to the next stop, characters past the text's end one column each.
int CharIndexToColumn(int Index, int width, QStringView text);

// 8-bit character sets with the rule for characters outside code page 1250.
class TPlainCharSet {
public:
    enum Outside : quint8 { OutsideNone, OutsideLettersDigits, OutsideWhiteSpace };
    constexpr TPlainCharSet() = default;
    explicit TPlainCharSet(Outside outside) : m_outside(outside) {}
    TPlainCharSet(std::initializer_list<std::pair<int, int>> ranges, Outside outside = OutsideNone);

    void Include(int code) { m_bits.set(static_cast<size_t>(code & 0xFF)); }
    void Exclude(int code) { m_bits.reset(static_cast<size_t>(code & 0xFF)); }
    bool HasCode(int code) const { return code >= 0 && code < 256 && m_bits.test(static_cast<size_t>(code)); }
    bool Contains(char32_t ch) const;
    bool Contains(QChar ch) const { return Contains(char32_t(ch.unicode())); }
    Outside OutsideRule() const { return m_outside; }
    void SetOutsideRule(Outside rule) { m_outside = rule; }
    // The set of codes 0..255 not in this one (the outside rule inverted
    // between letters and white space).
    TPlainCharSet Complement() const;
    TPlainCharSet Minus(const TPlainCharSet& other) const;
    bool operator==(const TPlainCharSet&) const = default;

private:
    std::bitset<256> m_bits;
    Outside m_outside = OutsideNone;
};

// The code page 1250 byte of a character, -1 when the code page lacks it.
int Cp1250Code(char32_t ch);

// Surrogate pairs stand in for the double-byte characters of the original
// rules: the first unit is the lead, the second the trail (1-based indexes).
bool IsTrailChar(QStringView text, int index);
bool IsLeadChar(QStringView text, int index);
// The character (code point) at a 1-based index; a pair read from its lead.
char32_t CharAt(QStringView text, int index);

// First index >= Start (1-based) of a character in the set, 0 when none or
// Start is outside 1..length; a Start on a trail begins after its pair.
int ScanForCharInSet(QStringView text, int Start, const TPlainCharSet& set);
// Last index <= Start of a character in the set, 0 when none.
int ReverseScanForCharInSet(QStringView text, int Start, const TPlainCharSet& set);
// Index of the first lead at or after Start (after the pair when Start is a
// trail), 0 when none.
int ScanForLeadByte(QStringView text, int Start);
// Index of the last lead at or before Start, 0 when none.
int ReverseScanForLeadByte(QStringView text, int Start);
// 0-based index of the first NUL, LF or CR at or after p (the length when none).
int FindLineEnd(QStringView text, int p);

// Character-type words of a word selection (bits of the platform's
// CT_CTYPE3 classification) and the class they give.
inline constexpr quint16 C3_NONSPACING = 0x0001;
inline constexpr quint16 C3_DIACRITIC = 0x0002;
inline constexpr quint16 C3_VOWELMARK = 0x0004;
inline constexpr quint16 C3_SYMBOL = 0x0008;
inline constexpr quint16 C3_KATAKANA = 0x0010;
inline constexpr quint16 C3_HIRAGANA = 0x0020;
inline constexpr quint16 C3_HALFWIDTH = 0x0040;
inline constexpr quint16 C3_FULLWIDTH = 0x0080;
inline constexpr quint16 C3_IDEOGRAPH = 0x0100;
inline constexpr quint16 C3_KASHIDA = 0x0200;
inline constexpr quint16 C3_LEXICAL = 0x0400;
inline constexpr quint16 C3_ALPHA = 0x8000;
int CharClassOfType3(quint16 type);
// The type word of a character, from its Unicode properties.
quint16 CharType3(char32_t ch);

// Fills Rect in Steps bands (clamped to 2..256) from one colour to the other.
void FillGradient(plat::TCanvas& Canvas, qint32 From, qint32 To, bool Horizontal, const plat::TRect& Rect, int Steps);
