#include "PlainEditMiscProcs.h"

#include "Canvas.h"
#include "CodePage.h"
#include "SysUtils.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace {

constexpr QChar kTabChar = QLatin1Char('\t');
constexpr QChar kBlankChar = QLatin1Char(' ');

// Cells of tabs and characters from cell position p (0-based) on.
template <class NextStop>
QString expandTabs(const QString& text, int tabWidth, bool& hasTabs, QChar fill, NextStop nextStop)
{
    int before = 0;
    hasTabs = FindFirstTab(text, before);
    if (!hasTabs)
        return text;
    QString result;
    result.reserve(text.size() + tabWidth * 4);
    qint64 p = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == kTabChar) {
            const qint64 next = nextStop(p, tabWidth);
            result.append(QString(qsizetype(next - p), fill));
            p = next;
        } else {
            result.append(c);
            if (!(c.isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()))
                ++p;
        }
    }
    return result;
}

std::array<qint16, 65536> buildCp1250Table()
{
    std::array<qint16, 65536> table;
    table.fill(-1);
    QByteArray bytes(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        bytes[b] = char(b);
    const QString chars = plat::cp1250ToUnicode(bytes);
    for (int b = 0; b < 256 && b < chars.size(); ++b) {
        if (table[chars.at(b).unicode()] < 0)
            table[chars.at(b).unicode()] = qint16(b);
    }
    return table;
}

bool isOutsideLetterOrDigit(char32_t ch)
{
    if (ch == U'_')
        return true;
    switch (QChar::category(ch)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
        return true;
    default:
        return false;
    }
}

} // namespace

int ClampInt(int V, int Low, int High) { return std::max(Low, std::min(V, High)); }

int ClampToInt(qint64 V)
{
    return int(std::clamp<qint64>(V, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

TBufferCoord EarlierCoord(TBufferCoord A, TBufferCoord B) { return B < A ? B : A; }

bool FindFirstTab(QStringView text, int& before)
{
    const qsizetype i = text.indexOf(kTabChar);
    before = i < 0 ? 0 : int(i);
    return i >= 0;
}

bool IsPowerOfTwo(int n)
{
    for (int p = 2; p <= 65536; p *= 2) {
        if (n == p)
            return true;
    }
    return false;
}

QString ExpandTabsWidth1(const QString& text, int, bool& hasTabs)
{
    int before = 0;
    hasTabs = FindFirstTab(text, before);
    if (!hasTabs)
        return text;
    QString result = text;
    result.replace(kTabChar, kBlankChar);
    return result;
}

QString ExpandTabsPow2(const QString& text, int tabWidth, bool& hasTabs)
{
    const qint64 mask = tabWidth - 1;
    return expandTabs(text, tabWidth, hasTabs, kTabChar, [mask](qint64 p, int w) { return (p + w) & ~mask; });
}

QString ExpandTabsModulo(const QString& text, int tabWidth, bool& hasTabs)
{
    return expandTabs(text, tabWidth, hasTabs, kTabChar, [](qint64 p, int w) { return p + w - p % w; });
}

TExpandTabsProc ChooseTabExpander(int width)
{
    if (width <= 1)
        return ExpandTabsWidth1;
    if (IsPowerOfTwo(width))
        return ExpandTabsPow2;
    return ExpandTabsModulo;
}

int TabExpandedLength(QStringView text, int width)
{
    const int w = std::max(1, width);
    qint64 p = 0;
    const qsizetype n = text.size();
    const QChar* d = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = d[i];
        if (c == kTabChar)
            p += w - p % w;
        else if (!(c.isLowSurrogate() && i > 0 && d[i - 1].isHighSurrogate()))
            ++p;
    }
    return ClampToInt(p);
}

int CharIndexToColumn(int Index, int width, QStringView text)
{
    if (Index <= 1)
        return 1;
    const int w = std::max(1, width);
    qint64 p = 0;
    const qsizetype inText = std::min<qsizetype>(Index - 1, text.size());
    for (qsizetype i = 0; i < inText; ++i) {
        const QChar c = text.at(i);
        if (c == kTabChar)
            p += w - p % w;
        else if (!(c.isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()))
            ++p;
    }
    p += (Index - 1) - inText;
    return ClampToInt(p + 1);
}

// ------------------------------------------------------------------ sets

TPlainCharSet::TPlainCharSet(std::initializer_list<std::pair<int, int>> ranges, Outside outside) : m_outside(outside)
{
    for (const auto& [low, high] : ranges) {
        for (int c = low; c <= high; ++c)
            Include(c);
    }
}

int Cp1250Code(char32_t ch)
{
    static const std::array<qint16, 65536> table = buildCp1250Table();
    return ch < 65536 ? table[ch] : -1;
}

bool TPlainCharSet::Contains(char32_t ch) const
{
    const int code = Cp1250Code(ch);
    if (code >= 0)
        return m_bits.test(size_t(code));
    switch (m_outside) {
    case OutsideLettersDigits:
        return isOutsideLetterOrDigit(ch);
    case OutsideWhiteSpace:
        return !isOutsideLetterOrDigit(ch);
    case OutsideNone:
        break;
    }
    return false;
}

TPlainCharSet TPlainCharSet::Complement() const
{
    TPlainCharSet result;
    result.m_bits = ~m_bits;
    result.m_outside = m_outside == OutsideLettersDigits ? OutsideWhiteSpace
                       : m_outside == OutsideWhiteSpace  ? OutsideLettersDigits
                                                         : OutsideNone;
    return result;
}

TPlainCharSet TPlainCharSet::Minus(const TPlainCharSet& other) const
{
    TPlainCharSet result = *this;
    result.m_bits &= ~other.m_bits;
    if (other.m_outside == m_outside)
        result.m_outside = OutsideNone;
    return result;
}

// ------------------------------------------------------------------ pairs and scans

bool IsTrailChar(QStringView text, int index)
{
    return index >= 2 && index <= text.size() && text.at(index - 1).isLowSurrogate()
           && text.at(index - 2).isHighSurrogate();
}

bool IsLeadChar(QStringView text, int index)
{
    return index >= 1 && index < text.size() && text.at(index - 1).isHighSurrogate()
           && text.at(index).isLowSurrogate();
}

char32_t CharAt(QStringView text, int index)
{
    if (index < 1 || index > text.size())
        return 0;
    if (IsLeadChar(text, index))
        return QChar::surrogateToUcs4(text.at(index - 1), text.at(index));
    return text.at(index - 1).unicode();
}

int ScanForCharInSet(QStringView text, int Start, const TPlainCharSet& set)
{
    const int n = int(text.size());
    if (Start < 1 || Start > n)
        return 0;
    int i = Start;
    if (IsTrailChar(text, i))
        ++i;
    while (i <= n) {
        if (set.Contains(CharAt(text, i)))
            return i;
        i += IsLeadChar(text, i) ? 2 : 1;
    }
    return 0;
}

int ReverseScanForCharInSet(QStringView text, int Start, const TPlainCharSet& set)
{
    int i = std::min(Start, int(text.size()));
    while (i >= 1) {
        if (IsTrailChar(text, i))
            --i;
        if (set.Contains(CharAt(text, i)))
            return i;
        --i;
    }
    return 0;
}

int ScanForLeadByte(QStringView text, int Start)
{
    const int n = int(text.size());
    int i = std::max(1, Start);
    if (IsTrailChar(text, i))
        ++i;
    for (; i <= n; ++i) {
        if (IsLeadChar(text, i))
            return i;
    }
    return 0;
}

int ReverseScanForLeadByte(QStringView text, int Start)
{
    for (int i = std::min(Start, int(text.size())); i >= 1; --i) {
        if (IsLeadChar(text, i))
            return i;
    }
    return 0;
}

int FindLineEnd(QStringView text, int p)
{
    const int n = int(text.size());
    int i = std::max(0, p);
    while (i < n) {
        const QChar c = text.at(i);
        if (c.unicode() == 0 || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            break;
        ++i;
    }
    return i;
}

// ------------------------------------------------------------------ character types

int CharClassOfType3(quint16 type)
{
    if (type == C3_SYMBOL)
        return 9;
    if (type & C3_HALFWIDTH) {
        if (type == C3_HALFWIDTH || type == (C3_HALFWIDTH | C3_ALPHA))
            return 1;
        if (type & (C3_SYMBOL | C3_LEXICAL))
            return 2;
        if (type & C3_KATAKANA)
            return 3;
        return 0;
    }
    if (type == C3_FULLWIDTH || type == (C3_FULLWIDTH | C3_ALPHA))
        return 4;
    if (type & (C3_SYMBOL | C3_LEXICAL))
        return 5;
    if (type & C3_KATAKANA)
        return 6;
    if (type & C3_HIRAGANA)
        return 7;
    if (type & C3_IDEOGRAPH)
        return 8;
    return 0;
}

quint16 CharType3(char32_t ch)
{
    if (ch == 0)
        return 0;
    // Hiragana, katakana and ideographs are full-width letters; everything
    // else of the grid is half width.
    if (ch >= 0x3040 && ch <= 0x309F)
        return C3_HIRAGANA | C3_FULLWIDTH | C3_ALPHA;
    if ((ch >= 0x30A0 && ch <= 0x30FF) || (ch >= 0x31F0 && ch <= 0x31FF))
        return C3_KATAKANA | C3_FULLWIDTH | C3_ALPHA;
    if ((ch >= 0xFF66 && ch <= 0xFF9F))
        return C3_KATAKANA | C3_HALFWIDTH | C3_ALPHA;
    if ((ch >= 0x3400 && ch <= 0x4DBF) || (ch >= 0x4E00 && ch <= 0x9FFF) || (ch >= 0xF900 && ch <= 0xFAFF)
        || (ch >= 0x20000 && ch <= 0x3FFFF))
        return C3_IDEOGRAPH | C3_FULLWIDTH | C3_ALPHA;
    const quint16 width = (ch >= 0xFF01 && ch <= 0xFF60) || (ch >= 0x3000 && ch <= 0x303F) ? C3_FULLWIDTH
                                                                                          : C3_HALFWIDTH;
    switch (QChar::category(ch)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_Enclosing:
        return C3_NONSPACING | C3_DIACRITIC;
    case QChar::Mark_SpacingCombining:
        return C3_DIACRITIC;
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
        return width | C3_ALPHA;
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
    case QChar::Separator_Space:
        return width;
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return ch == U'\t' ? width : 0;
    default:
        return width | C3_SYMBOL;
    }
}

// ------------------------------------------------------------------ gradient

void FillGradient(plat::TCanvas& Canvas, qint32 From, qint32 To, bool Horizontal, const plat::TRect& Rect, int Steps)
{
    const int steps = ClampInt(Steps, 2, 256);
    const plat::TColor from = plat::ColorToRGB(From);
    const plat::TColor to = plat::ColorToRGB(To);
    const auto component = [](plat::TColor c, int shift) { return (c >> shift) & 0xFF; };
    const int size = Horizontal ? Rect.Width() : Rect.Height();
    Canvas.Brush().SetStyle(plat::bsSolid);
    for (int i = 0; i < steps; ++i) {
        const int start = plat::MulDiv(i, size, steps);
        const int end = plat::MulDiv(i + 1, size, steps);
        int rgb[3];
        for (int k = 0; k < 3; ++k) {
            const int a = component(from, 8 * k);
            const int b = component(to, 8 * k);
            rgb[k] = a + plat::MulDiv(i, b - a, steps - 1);
        }
        Canvas.Brush().SetColor(plat::RGB(rgb[0], rgb[1], rgb[2]));
        const plat::TRect band = Horizontal ? plat::TRect(Rect.Left + start, Rect.Top, Rect.Left + end, Rect.Bottom)
                                            : plat::TRect(Rect.Left, Rect.Top + start, Rect.Right, Rect.Top + end);
        Canvas.FillRect(band);
    }
}
