// QR Code encoder: modes, codewords, Reed-Solomon, module placement and mask choice.
#include "zdQRCodeGenerator.h"

#include "CodePage.h"
#include "Exceptions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

PLAT_DEFINE_ENUM(TQRCodeEncoding, "qrAuto", "qrNumeric", "qrAlphanumeric", "qrISO88591", "qrUTF8NoBOM", "qrUTF8BOM",
                 "qrShift_JIS")
PLAT_DEFINE_ENUM(TQRErrorLevels, "ecL", "ecM", "ecQ", "ecH")

namespace zd {

QString qrTextTooBigMessage()
{
    return QStringLiteral("The text is too big.");
}

namespace {

// Error-correction blocks of one version and level: error codewords per
// block, then count1 blocks of data1 data codewords and count2 of data2.
struct ECBlocks {
    int ecPerBlock;
    int count1;
    int data1;
    int count2;
    int data2;
};

// Per version 1-40, levels L, M, Q, H.
constexpr ECBlocks kECBlocks[40][4] = {
    {{7, 1, 19, 0, 0}, {10, 1, 16, 0, 0}, {13, 1, 13, 0, 0}, {17, 1, 9, 0, 0}}, // 1 (26 codewords)
    {{10, 1, 34, 0, 0}, {16, 1, 28, 0, 0}, {22, 1, 22, 0, 0}, {28, 1, 16, 0, 0}}, // 2 (44 codewords)
    {{15, 1, 55, 0, 0}, {26, 1, 44, 0, 0}, {18, 2, 17, 0, 0}, {22, 2, 13, 0, 0}}, // 3 (70 codewords)
    {{20, 1, 80, 0, 0}, {18, 2, 32, 0, 0}, {26, 2, 24, 0, 0}, {16, 4, 9, 0, 0}}, // 4 (100 codewords)
    {{26, 1, 108, 0, 0}, {24, 2, 43, 0, 0}, {18, 2, 15, 2, 16}, {22, 2, 11, 2, 12}}, // 5 (134 codewords)
    {{18, 2, 68, 0, 0}, {16, 4, 27, 0, 0}, {24, 4, 19, 0, 0}, {28, 4, 15, 0, 0}}, // 6 (172 codewords)
    {{20, 2, 78, 0, 0}, {18, 4, 31, 0, 0}, {18, 2, 14, 4, 15}, {26, 4, 13, 1, 14}}, // 7 (196 codewords)
    {{24, 2, 97, 0, 0}, {22, 2, 38, 2, 39}, {22, 4, 18, 2, 19}, {26, 4, 14, 2, 15}}, // 8 (242 codewords)
    {{30, 2, 116, 0, 0}, {22, 3, 36, 2, 37}, {20, 4, 16, 4, 17}, {24, 4, 12, 4, 13}}, // 9 (292 codewords)
    {{18, 2, 68, 2, 69}, {26, 4, 43, 1, 44}, {24, 6, 19, 2, 20}, {28, 6, 15, 2, 16}}, // 10 (346 codewords)
    {{20, 4, 81, 0, 0}, {30, 1, 50, 4, 51}, {28, 4, 22, 4, 23}, {24, 3, 12, 8, 13}}, // 11 (404 codewords)
    {{24, 2, 92, 2, 93}, {22, 6, 36, 2, 37}, {26, 4, 20, 6, 21}, {28, 7, 14, 4, 15}}, // 12 (466 codewords)
    {{26, 4, 107, 0, 0}, {22, 8, 37, 1, 38}, {24, 8, 20, 4, 21}, {22, 12, 11, 4, 12}}, // 13 (532 codewords)
    {{30, 3, 115, 1, 116}, {24, 4, 40, 5, 41}, {20, 11, 16, 5, 17}, {24, 11, 12, 5, 13}}, // 14 (581 codewords)
    {{22, 5, 87, 1, 88}, {24, 5, 41, 5, 42}, {30, 5, 24, 7, 25}, {24, 11, 12, 7, 13}}, // 15 (655 codewords)
    {{24, 5, 98, 1, 99}, {28, 7, 45, 3, 46}, {24, 15, 19, 2, 20}, {30, 3, 15, 13, 16}}, // 16 (733 codewords)
    {{28, 1, 107, 5, 108}, {28, 10, 46, 1, 47}, {28, 1, 22, 15, 23}, {28, 2, 14, 17, 15}}, // 17 (815 codewords)
    {{30, 5, 120, 1, 121}, {26, 9, 43, 4, 44}, {28, 17, 22, 1, 23}, {28, 2, 14, 19, 15}}, // 18 (901 codewords)
    {{28, 3, 113, 4, 114}, {26, 3, 44, 11, 45}, {26, 17, 21, 4, 22}, {26, 9, 13, 16, 14}}, // 19 (991 codewords)
    {{28, 3, 107, 5, 108}, {26, 3, 41, 13, 42}, {30, 15, 24, 5, 25}, {28, 15, 15, 10, 16}}, // 20 (1085 codewords)
    {{28, 4, 116, 4, 117}, {26, 17, 42, 0, 0}, {28, 17, 22, 6, 23}, {30, 19, 16, 6, 17}}, // 21 (1156 codewords)
    {{28, 2, 111, 7, 112}, {28, 17, 46, 0, 0}, {30, 7, 24, 16, 25}, {24, 34, 13, 0, 0}}, // 22 (1258 codewords)
    {{30, 4, 121, 5, 122}, {28, 4, 47, 14, 48}, {30, 11, 24, 14, 25}, {30, 16, 15, 14, 16}}, // 23 (1364 codewords)
    {{30, 6, 117, 4, 118}, {28, 6, 45, 14, 46}, {30, 11, 24, 16, 25}, {30, 30, 16, 2, 17}}, // 24 (1474 codewords)
    {{26, 8, 106, 4, 107}, {28, 8, 47, 13, 48}, {30, 7, 24, 22, 25}, {30, 22, 15, 13, 16}}, // 25 (1588 codewords)
    {{28, 10, 114, 2, 115}, {28, 19, 46, 4, 47}, {28, 28, 22, 6, 23}, {30, 33, 16, 4, 17}}, // 26 (1706 codewords)
    {{30, 8, 122, 4, 123}, {28, 22, 45, 3, 46}, {30, 8, 23, 26, 24}, {30, 12, 15, 28, 16}}, // 27 (1828 codewords)
    {{30, 3, 117, 10, 118}, {28, 3, 45, 23, 46}, {30, 4, 24, 31, 25}, {30, 11, 15, 31, 16}}, // 28 (1921 codewords)
    {{30, 7, 116, 7, 117}, {28, 21, 45, 7, 46}, {30, 1, 23, 37, 24}, {30, 19, 15, 26, 16}}, // 29 (2051 codewords)
    {{30, 5, 115, 10, 116}, {28, 19, 47, 10, 48}, {30, 15, 24, 25, 25}, {30, 23, 15, 25, 16}}, // 30 (2185 codewords)
    {{30, 13, 115, 3, 116}, {28, 2, 46, 29, 47}, {30, 42, 24, 1, 25}, {30, 23, 15, 28, 16}}, // 31 (2323 codewords)
    {{30, 17, 115, 0, 0}, {28, 10, 46, 23, 47}, {30, 10, 24, 35, 25}, {30, 19, 15, 35, 16}}, // 32 (2465 codewords)
    {{30, 17, 115, 1, 116}, {28, 14, 46, 21, 47}, {30, 29, 24, 19, 25}, {30, 11, 15, 46, 16}}, // 33 (2611 codewords)
    {{30, 13, 115, 6, 116}, {28, 14, 46, 23, 47}, {30, 44, 24, 7, 25}, {30, 59, 16, 1, 17}}, // 34 (2761 codewords)
    {{30, 12, 121, 7, 122}, {28, 12, 47, 26, 48}, {30, 39, 24, 14, 25}, {30, 22, 15, 41, 16}}, // 35 (2876 codewords)
    {{30, 6, 121, 14, 122}, {28, 6, 47, 34, 48}, {30, 46, 24, 10, 25}, {30, 2, 15, 64, 16}}, // 36 (3034 codewords)
    {{30, 17, 122, 4, 123}, {28, 29, 46, 14, 47}, {30, 49, 24, 10, 25}, {30, 24, 15, 46, 16}}, // 37 (3196 codewords)
    {{30, 4, 122, 18, 123}, {28, 13, 46, 32, 47}, {30, 48, 24, 14, 25}, {30, 42, 15, 32, 16}}, // 38 (3362 codewords)
    {{30, 20, 117, 4, 118}, {28, 40, 47, 7, 48}, {30, 43, 24, 22, 25}, {30, 10, 15, 67, 16}}, // 39 (3532 codewords)
    {{30, 19, 118, 6, 119}, {28, 18, 47, 31, 48}, {30, 34, 24, 34, 25}, {30, 20, 15, 61, 16}}, // 40 (3706 codewords)
};

// Alignment-pattern centre coordinates per version (0 ends a list).
constexpr std::array<int, 7> kAlignmentCentres[40] = {
    {}, {6, 18}, {6, 22}, {6, 26}, {6, 30}, {6, 34},
    {6, 22, 38}, {6, 24, 42}, {6, 26, 46}, {6, 28, 50}, {6, 30, 54}, {6, 32, 58}, {6, 34, 62},
    {6, 26, 46, 66}, {6, 26, 48, 70}, {6, 26, 50, 74}, {6, 30, 54, 78}, {6, 30, 56, 82}, {6, 30, 58, 86},
    {6, 34, 62, 90},
    {6, 28, 50, 72, 94}, {6, 26, 50, 74, 98}, {6, 30, 54, 78, 102}, {6, 28, 54, 80, 106},
    {6, 32, 58, 84, 110}, {6, 30, 58, 86, 114}, {6, 34, 62, 90, 118},
    {6, 26, 50, 74, 98, 122}, {6, 30, 54, 78, 102, 126}, {6, 26, 52, 78, 104, 130},
    {6, 30, 56, 82, 108, 134}, {6, 34, 60, 86, 112, 138}, {6, 30, 58, 86, 114, 142},
    {6, 34, 62, 90, 118, 146},
    {6, 30, 54, 78, 102, 126, 150}, {6, 24, 50, 76, 102, 128, 154}, {6, 28, 54, 80, 106, 132, 158},
    {6, 32, 58, 84, 110, 136, 162}, {6, 26, 54, 82, 110, 138, 166}, {6, 30, 58, 86, 114, 142, 170},
};

constexpr int kFormatLevelBits[4] = {1, 0, 3, 2}; // L, M, Q, H
constexpr int kFormatGenerator = 0x537;
constexpr int kFormatMask = 0x5412;
constexpr int kVersionGenerator = 0x1F25;
constexpr int kPrimitive = 0x11D;
constexpr int kPadCodewords[2] = {0xEC, 0x11};

// Mode indicators.
constexpr int kModeNumeric = 0x1;
constexpr int kModeAlphanumeric = 0x2;
constexpr int kModeByte = 0x4;
constexpr int kModeECI = 0x7;
constexpr int kModeKanji = 0x8;

enum class Mode { Numeric, Alphanumeric, Byte, Kanji };

// Character-count widths for versions 1-9, 10-26 and 27-40.
constexpr int kCountWidths[4][3] = {{10, 12, 14}, {9, 11, 13}, {8, 16, 16}, {8, 10, 12}};

int countClass(int version)
{
    return version <= 9 ? 0 : version <= 26 ? 1 : 2;
}

int countWidth(Mode mode, int version)
{
    return kCountWidths[static_cast<int>(mode)][countClass(version)];
}

// The designators of ISO/IEC 18004's ECI table with their code pages.
struct ECIEntry {
    int designator;
    int codePage;
};
constexpr ECIEntry kECITable[] = {
    {3, 28591},  {4, 28592},  {5, 28593},  {6, 28594},  {7, 28595},  {8, 28596},  {9, 28597},
    {10, 28598}, {11, 28599}, {12, 28600}, {13, 874},   {15, 28603}, {16, 28604}, {17, 28605},
    {18, 28606}, {20, 932},   {21, 1250},  {22, 1251},  {23, 1252},  {24, 1256},  {25, 1200},
    {26, 65001}, {27, 20127}, {28, 950},   {29, 936},   {30, 949},
};
constexpr int kDefaultDesignator = 3;
constexpr int kUtf16Designator = 25;
constexpr int kCodePageUtf16BE = 1201;
constexpr int kCodePageShiftJIS = 932;

int alphanumericValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'Z')
        return u - 'A' + 10;
    static constexpr char16_t kSpecials[] = u" $%*+-./:";
    for (int i = 0; kSpecials[i]; ++i)
        if (kSpecials[i] == u)
            return 36 + i;
    return -1;
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

class BitBuffer {
public:
    void append(unsigned value, int count)
    {
        for (int i = count - 1; i >= 0; --i)
            m_bits.push_back(std::uint8_t((value >> i) & 1U));
    }
    int size() const { return int(m_bits.size()); }
    QByteArray toBytes() const
    {
        QByteArray out((size() + 7) / 8, '\0');
        for (int i = 0; i < size(); ++i)
            if (m_bits[std::size_t(i)])
                out[i / 8] = char(std::uint8_t(out[i / 8]) | (0x80 >> (i % 8)));
        return out;
    }

private:
    std::vector<std::uint8_t> m_bits;
};

// ------------------------------------------------------------------ planning

struct ECISegment {
    int designator;
    QByteArray bytes;
};

// What goes into the data bits, independent of the version.
struct Plan {
    bool eci = false;
    Mode mode = Mode::Byte;
    TQRCodeEncoding encoding = qrAuto;
    QString text;       // numeric and alphanumeric
    QByteArray bytes;   // byte mode
    QByteArray kanji;   // Shift JIS pairs of Kanji mode
    std::vector<ECISegment> segments;
};

bool isECIEscape(const QString& text, qsizetype at)
{
    return at + 7 <= text.size() && text.mid(at, 4) == QLatin1String("&ECI") && text[at + 6] == u';';
}

bool hasECIEscape(const QString& text)
{
    for (qsizetype i = 0; i + 7 <= text.size(); ++i)
        if (isECIEscape(text, i))
            return true;
    return false;
}

QByteArray bytesForDesignator(int designator, const QString& run)
{
    // Designator 25 is UTF-16 in big-endian order, as readers expect it.
    const int codePage = designator == kUtf16Designator ? kCodePageUtf16BE : qrCodePageOfECIDesignator(designator);
    return plat::unicodeToCodePage(codePage, run);
}

std::vector<ECISegment> eciSegments(const QString& text, int codePage)
{
    std::vector<ECISegment> segments;
    int designator = qrECIDesignatorOfCodePage(codePage);
    QString run;
    auto flush = [&] {
        if (!run.isEmpty())
            segments.push_back({designator, bytesForDesignator(designator, run)});
        run.clear();
    };
    for (qsizetype i = 0; i < text.size();) {
        if (isECIEscape(text, i)) {
            flush();
            bool ok = false;
            const int value = text.mid(i + 4, 2).toInt(&ok);
            designator = ok && value >= 0 ? value : kDefaultDesignator;
            i += 7;
        } else {
            run += text[i++];
        }
    }
    flush();
    return segments;
}

bool isKanjiLead(std::uint8_t b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEB);
}

Plan planShiftJIS(const QString& text)
{
    Plan plan;
    plan.encoding = qrShift_JIS;
    const QByteArray sjis = plat::unicodeToCodePage(kCodePageShiftJIS, text);
    bool kanji = sjis.size() % 2 == 0;
    for (qsizetype i = 0; kanji && i < sjis.size(); i += 2)
        kanji = isKanjiLead(std::uint8_t(sjis[i]));
    if (kanji) {
        plan.mode = Mode::Kanji;
        plan.kanji = sjis;
    } else {
        plan.mode = Mode::Byte;
        plan.bytes = sjis;
    }
    return plan;
}

QString keepOnly(const QString& text, bool (*keep)(QChar))
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (keep(c))
            out += c;
    return out;
}

bool isAlphanumeric(QChar c)
{
    return alphanumericValue(c) >= 0;
}

bool isLatin1(QChar c)
{
    return c.unicode() < 256;
}

QByteArray latin1Bytes(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text)
        if (isLatin1(c))
            out += char(c.unicode() & 0xFF);
    return out;
}

Plan planByte(const QString& text, TQRCodeEncoding encoding)
{
    Plan plan;
    plan.mode = Mode::Byte;
    plan.encoding = encoding;
    if (encoding == qrISO88591)
        plan.bytes = latin1Bytes(text);
    else if (encoding == qrUTF8BOM)
        plan.bytes = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    else
        plan.bytes = text.toUtf8();
    return plan;
}

Plan planFor(const QString& text, TQRCodeEncoding encoding, int codePage)
{
    switch (encoding) {
    case qrShift_JIS:
        return planShiftJIS(text);
    case qrNumeric: {
        Plan plan;
        plan.mode = Mode::Numeric;
        plan.encoding = qrNumeric;
        plan.text = keepOnly(text, isDigit);
        return plan;
    }
    case qrAlphanumeric: {
        Plan plan;
        plan.mode = Mode::Alphanumeric;
        plan.encoding = qrAlphanumeric;
        plan.text = keepOnly(text, isAlphanumeric);
        return plan;
    }
    case qrISO88591:
    case qrUTF8NoBOM:
    case qrUTF8BOM:
        return planByte(text, encoding);
    case qrAuto:
        break;
    }
    if (codePage != 0 || hasECIEscape(text)) {
        Plan plan;
        plan.eci = true;
        plan.encoding = qrAuto;
        plan.segments = eciSegments(text, codePage);
        return plan;
    }
    if (!text.isEmpty() && std::all_of(text.begin(), text.end(), isDigit))
        return planFor(text, qrNumeric, codePage);
    if (!text.isEmpty() && std::all_of(text.begin(), text.end(), isAlphanumeric))
        return planFor(text, qrAlphanumeric, codePage);
    if (std::all_of(text.begin(), text.end(), isLatin1) && !text.isEmpty())
        return planByte(text, qrISO88591);
    return planByte(text, qrUTF8NoBOM);
}

// ----------------------------------------------------------------- data bits

void appendNumeric(BitBuffer& bits, const QString& digits)
{
    qsizetype i = 0;
    for (; i + 3 <= digits.size(); i += 3)
        bits.append(unsigned(digits.mid(i, 3).toInt()), 10);
    if (digits.size() - i == 2)
        bits.append(unsigned(digits.mid(i, 2).toInt()), 7);
    else if (digits.size() - i == 1)
        bits.append(unsigned(digits.mid(i, 1).toInt()), 4);
}

void appendAlphanumeric(BitBuffer& bits, const QString& text)
{
    qsizetype i = 0;
    for (; i + 2 <= text.size(); i += 2)
        bits.append(unsigned(45 * alphanumericValue(text[i]) + alphanumericValue(text[i + 1])), 11);
    if (i < text.size())
        bits.append(unsigned(alphanumericValue(text[i])), 6);
}

// Kanji values of the Shift JIS pairs up to the first pair outside the two
// Kanji ranges.
std::vector<unsigned> kanjiValues(const QByteArray& sjis)
{
    std::vector<unsigned> values;
    for (qsizetype i = 0; i + 1 < sjis.size(); i += 2) {
        const unsigned c = (unsigned(std::uint8_t(sjis[i])) << 8) | std::uint8_t(sjis[i + 1]);
        unsigned v;
        if (c >= 0x8140 && c <= 0x9FFC)
            v = c - 0x8140;
        else if (c >= 0xE040 && c <= 0xEBBF)
            v = c - 0xC140;
        else
            break;
        values.push_back((v >> 8) * 0xC0 + (v & 0xFF));
    }
    return values;
}

void appendBytes(BitBuffer& bits, const QByteArray& bytes)
{
    for (char b : bytes)
        bits.append(std::uint8_t(b), 8);
}

// Mode indicators, counts and data for a symbol of the given version.
BitBuffer payloadBits(const Plan& plan, int version)
{
    BitBuffer bits;
    if (plan.eci) {
        const int width = countWidth(Mode::Byte, version);
        for (const ECISegment& s : plan.segments) {
            bits.append(kModeECI, 4);
            bits.append(unsigned(s.designator) & 0xFF, 8);
            bits.append(kModeByte, 4);
            bits.append(unsigned(s.bytes.size()), width);
            appendBytes(bits, s.bytes);
        }
        return bits;
    }
    const int width = countWidth(plan.mode, version);
    switch (plan.mode) {
    case Mode::Numeric:
        bits.append(kModeNumeric, 4);
        bits.append(unsigned(plan.text.size()), width);
        appendNumeric(bits, plan.text);
        break;
    case Mode::Alphanumeric:
        bits.append(kModeAlphanumeric, 4);
        bits.append(unsigned(plan.text.size()), width);
        appendAlphanumeric(bits, plan.text);
        break;
    case Mode::Byte:
        bits.append(kModeByte, 4);
        bits.append(unsigned(plan.bytes.size()), width);
        appendBytes(bits, plan.bytes);
        break;
    case Mode::Kanji: {
        const std::vector<unsigned> values = kanjiValues(plan.kanji);
        bits.append(kModeKanji, 4);
        bits.append(unsigned(values.size()), width);
        for (unsigned v : values)
            bits.append(v, 13);
        break;
    }
    }
    return bits;
}

// Counts wider than their field cannot be written in any version.
bool countsFit(const Plan& plan, int version)
{
    auto fits = [&](Mode mode, qsizetype count) { return count < (qsizetype(1) << countWidth(mode, version)); };
    if (plan.eci)
        return std::all_of(plan.segments.begin(), plan.segments.end(),
                           [&](const ECISegment& s) { return fits(Mode::Byte, s.bytes.size()); });
    switch (plan.mode) {
    case Mode::Numeric:
    case Mode::Alphanumeric:
        return fits(plan.mode, plan.text.size());
    case Mode::Byte:
        return fits(plan.mode, plan.bytes.size());
    case Mode::Kanji:
        return fits(plan.mode, plan.kanji.size() / 2);
    }
    return false;
}

int dataCodewordCount(int version, TQRErrorLevels level)
{
    const ECBlocks& b = kECBlocks[version - 1][level];
    return b.count1 * b.data1 + b.count2 * b.data2;
}

int smallestVersion(int bitCount, TQRErrorLevels level)
{
    const int bytes = (bitCount + 7) / 8;
    for (int v = 1; v <= 40; ++v)
        if (dataCodewordCount(v, level) >= bytes)
            return v;
    return 0;
}

// The smallest version whose capacity holds the bits written with that
// version's own count widths. Counts grow with the version class, so the
// search only moves forward.
int chooseVersion(const Plan& plan, TQRErrorLevels level)
{
    int version = 1;
    for (;;) {
        const int found = countsFit(plan, version) ? smallestVersion(payloadBits(plan, version).size(), level) : 0;
        if (found == 0) {
            if (countClass(version) == 2)
                throw plat::Exception(qrTextTooBigMessage());
            version = countClass(version) == 0 ? 10 : 27;
            continue;
        }
        if (countClass(found) == countClass(version))
            return found;
        version = found;
    }
}

QByteArray padToCapacity(BitBuffer bits, int capacityBytes)
{
    const int capacityBits = capacityBytes * 8;
    bits.append(0, std::min(4, capacityBits - bits.size()));
    if (bits.size() % 8)
        bits.append(0, 8 - bits.size() % 8);
    QByteArray data = bits.toBytes();
    for (int i = 0; data.size() < capacityBytes; ++i)
        data += char(kPadCodewords[i % 2]);
    return data;
}

// ------------------------------------------------------------ Reed-Solomon

struct GaloisField {
    std::array<std::uint8_t, 512> exp{};
    std::array<int, 256> log{};
    GaloisField()
    {
        int x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[std::size_t(i)] = std::uint8_t(x);
            log[std::size_t(x)] = i;
            x <<= 1;
            if (x & 0x100)
                x ^= kPrimitive;
        }
        for (int i = 255; i < 512; ++i)
            exp[std::size_t(i)] = exp[std::size_t(i - 255)];
    }
    std::uint8_t multiply(std::uint8_t a, std::uint8_t b) const
    {
        if (a == 0 || b == 0)
            return 0;
        return exp[std::size_t(log[a] + log[b])];
    }
};

const GaloisField& field()
{
    static const GaloisField gf;
    return gf;
}

// Coefficients of prod (x - a^i), i < degree, highest power first (leading 1 dropped).
const std::vector<std::uint8_t>& generatorPolynomial(int degree)
{
    static std::array<std::vector<std::uint8_t>, 70> cache;
    std::vector<std::uint8_t>& g = cache[std::size_t(degree)];
    if (g.empty()) {
        const GaloisField& gf = field();
        std::vector<std::uint8_t> poly{1};
        for (int i = 0; i < degree; ++i) {
            std::vector<std::uint8_t> next(poly.size() + 1, 0);
            for (std::size_t j = 0; j < poly.size(); ++j) {
                next[j] ^= poly[j];
                next[j + 1] ^= gf.multiply(poly[j], gf.exp[std::size_t(i)]);
            }
            poly = std::move(next);
        }
        g.assign(poly.begin() + 1, poly.end());
    }
    return g;
}

QByteArray interleave(const QByteArray& data, int version, TQRErrorLevels level)
{
    const ECBlocks& b = kECBlocks[version - 1][level];
    std::vector<QByteArray> dataBlocks;
    std::vector<QByteArray> ecBlocks;
    int offset = 0;
    for (int i = 0; i < b.count1 + b.count2; ++i) {
        const int length = i < b.count1 ? b.data1 : b.data2;
        dataBlocks.push_back(data.mid(offset, length));
        ecBlocks.push_back(qrReedSolomon(dataBlocks.back(), b.ecPerBlock));
        offset += length;
    }
    QByteArray out;
    out.reserve(data.size() + b.ecPerBlock * int(dataBlocks.size()));
    const int longest = std::max(b.data1, b.data2);
    for (int i = 0; i < longest; ++i)
        for (const QByteArray& block : dataBlocks)
            if (i < block.size())
                out += block[i];
    for (int i = 0; i < b.ecPerBlock; ++i)
        for (const QByteArray& block : ecBlocks)
            out += block[i];
    return out;
}

// ------------------------------------------------------------------ matrix

// Row-major working grid: modules and which of them are function patterns.
struct Grid {
    int size;
    std::vector<std::uint8_t> dark;
    std::vector<std::uint8_t> function;
    explicit Grid(int n) : size(n), dark(std::size_t(n * n), 0), function(std::size_t(n * n), 0) {}
    std::size_t at(int x, int y) const { return std::size_t(y * size + x); }
    void setFunction(int x, int y, bool isDark)
    {
        dark[at(x, y)] = isDark;
        function[at(x, y)] = 1;
    }
};

void drawFinder(Grid& g, int cx, int cy)
{
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx) {
            const int x = cx + dx, y = cy + dy;
            if (x < 0 || y < 0 || x >= g.size || y >= g.size)
                continue;
            const int ring = std::max(std::abs(dx), std::abs(dy));
            g.setFunction(x, y, ring != 2 && ring != 4);
        }
}

void drawAlignment(Grid& g, int cx, int cy)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            g.setFunction(cx + dx, cy + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
}

int formatBits(TQRErrorLevels level, int mask)
{
    const int data = (kFormatLevelBits[level] << 3) | mask;
    int rem = data;
    for (int i = 0; i < 10; ++i)
        rem = (rem << 1) ^ ((rem >> 9) * kFormatGenerator);
    return ((data << 10) | (rem & 0x3FF)) ^ kFormatMask;
}

void drawFormat(Grid& g, TQRErrorLevels level, int mask)
{
    const int bits = formatBits(level, mask);
    auto bit = [&](int i) { return ((bits >> i) & 1) != 0; };
    const int n = g.size;
    for (int i = 0; i <= 5; ++i)
        g.setFunction(8, i, bit(i));
    g.setFunction(8, 7, bit(6));
    g.setFunction(8, 8, bit(7));
    g.setFunction(7, 8, bit(8));
    for (int i = 9; i < 15; ++i)
        g.setFunction(14 - i, 8, bit(i));
    for (int i = 0; i < 8; ++i)
        g.setFunction(n - 1 - i, 8, bit(i));
    for (int i = 8; i < 15; ++i)
        g.setFunction(8, n - 15 + i, bit(i));
    g.setFunction(8, n - 8, true); // the dark module
}

void drawVersion(Grid& g, int version)
{
    if (version < 7)
        return;
    int rem = version;
    for (int i = 0; i < 12; ++i)
        rem = (rem << 1) ^ ((rem >> 11) * kVersionGenerator);
    const int bits = (version << 12) | (rem & 0xFFF);
    for (int i = 0; i < 18; ++i) {
        const bool b = ((bits >> i) & 1) != 0;
        const int a = g.size - 11 + i % 3, c = i / 3;
        g.setFunction(a, c, b);
        g.setFunction(c, a, b);
    }
}

Grid functionPatterns(int version, TQRErrorLevels level)
{
    Grid g(version * 4 + 17);
    const int n = g.size;
    for (int i = 0; i < n; ++i) {
        g.setFunction(6, i, i % 2 == 0);
        g.setFunction(i, 6, i % 2 == 0);
    }
    drawFinder(g, 3, 3);
    drawFinder(g, n - 4, 3);
    drawFinder(g, 3, n - 4);
    const std::array<int, 7>& centres = kAlignmentCentres[version - 1];
    const int count = int(std::count_if(centres.begin(), centres.end(), [](int c) { return c != 0; }));
    for (int i = 0; i < count; ++i)
        for (int j = 0; j < count; ++j) {
            const bool onFinder = (i == 0 && j == 0) || (i == 0 && j == count - 1) || (i == count - 1 && j == 0);
            if (!onFinder)
                drawAlignment(g, centres[std::size_t(i)], centres[std::size_t(j)]);
        }
    drawFormat(g, level, 0); // reserves the format areas
    drawVersion(g, version);
    return g;
}

void placeCodewords(Grid& g, const QByteArray& codewords)
{
    const int n = g.size;
    const int totalBits = int(codewords.size()) * 8;
    int i = 0;
    for (int right = n - 1; right >= 1; right -= 2) {
        if (right == 6)
            right = 5; // skip the vertical timing column
        const bool upward = ((right + 1) & 2) == 0;
        for (int vert = 0; vert < n; ++vert)
            for (int j = 0; j < 2; ++j) {
                const int x = right - j;
                const int y = upward ? n - 1 - vert : vert;
                if (g.function[g.at(x, y)] || i >= totalBits)
                    continue;
                g.dark[g.at(x, y)] = (std::uint8_t(codewords[i >> 3]) >> (7 - (i & 7))) & 1;
                ++i;
            }
    }
}

bool maskCondition(int mask, int x, int y)
{
    switch (mask) {
    case 0: return (x + y) % 2 == 0;
    case 1: return y % 2 == 0;
    case 2: return x % 3 == 0;
    case 3: return (x + y) % 3 == 0;
    case 4: return (x / 3 + y / 2) % 2 == 0;
    case 5: return x * y % 2 + x * y % 3 == 0;
    case 6: return (x * y % 2 + x * y % 3) % 2 == 0;
    default: return ((x + y) % 2 + x * y % 3) % 2 == 0;
    }
}

Grid applyMask(const Grid& base, TQRErrorLevels level, int mask)
{
    Grid g = base;
    for (int y = 0; y < g.size; ++y)
        for (int x = 0; x < g.size; ++x)
            g.dark[g.at(x, y)] ^= std::uint8_t(!g.function[g.at(x, y)] & maskCondition(mask, x, y));
    drawFormat(g, level, mask);
    return g;
}

// Rule 1 (runs of five or more) and rule 3 (1011101 with four light
// modules before or after; outside the symbol counts as light) on one line.
int linePenalty(const std::uint8_t* line, int n)
{
    // Without branches on module colours (they are random): run is the length
    // of the run ending here; a run scores 3 on reaching five, then 1 more
    // for every further module.
    int result = 0;
    int run = 1;
    for (int b = 1; b < n; ++b) {
        const int same = line[b] == line[b - 1];
        run = same * run + 1;
        result += 3 * (run == 5) + (run > 5);
    }
    // 11-module windows over the line padded with four light modules on
    // each side: windows[s] covers padded modules s .. s + 10.
    constexpr unsigned kLightBefore = 0b00001011101, kLightAfter = 0b10111010000;
    std::array<std::uint16_t, 4 * 40 + 17 + 8> windows; // n + 8 padded modules at most
    unsigned w = 0;
    for (int p = 0; p < n + 8; ++p) {
        const unsigned bit = p >= 4 && p < n + 4 ? line[p - 4] : 0;
        w = ((w << 1) | bit) & 0x7FF;
        if (p >= 10)
            windows[std::size_t(p - 10)] = std::uint16_t(w);
    }
    for (int b = 0; b + 6 < n; ++b)
        if (windows[std::size_t(b)] == kLightBefore || windows[std::size_t(b + 4)] == kLightAfter)
            result += 40;
    return result;
}

// Penalty of a row-major grid of 0/1 modules.
int penalty(const std::vector<std::uint8_t>& m, int n)
{
    std::vector<std::uint8_t> columns(m.size());
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            columns[std::size_t(x * n + y)] = m[std::size_t(y * n + x)];
    int result = 0;
    for (int a = 0; a < n; ++a) {
        result += linePenalty(m.data() + std::size_t(a * n), n);
        result += linePenalty(columns.data() + std::size_t(a * n), n);
    }
    // Rule 2: 2 x 2 blocks of one colour.
    for (int y = 0; y + 1 < n; ++y) {
        const std::uint8_t* r0 = m.data() + std::size_t(y * n);
        const std::uint8_t* r1 = r0 + n;
        for (int x = 0; x + 1 < n; ++x) {
            const int v = r0[x] + r0[x + 1] + r1[x] + r1[x + 1];
            result += 3 * ((v == 0) | (v == 4));
        }
    }
    // Rule 4: balance of dark and light, 0 or 1.
    const long dark = std::count(m.begin(), m.end(), std::uint8_t(1));
    const double share = double(dark) * 100.0 / double(m.size());
    result += int(std::nearbyint(std::fabs(share - 50.0) / 50.0));
    return result;
}

T2DBooleanArray toArray(const Grid& g)
{
    T2DBooleanArray out(g.size);
    for (int y = 0; y < g.size; ++y)
        for (int x = 0; x < g.size; ++x)
            out.Set(x, y, g.dark[g.at(x, y)] != 0);
    return out;
}

} // namespace

QRCodewords encodeQRCodewords(const QString& text, TQRCodeEncoding encoding, TQRErrorLevels level, int codePage)
{
    const Plan plan = planFor(text, encoding, codePage);
    QRCodewords result;
    result.level = level;
    result.mode = plan.eci ? qrAuto : plan.encoding;
    result.kanji = !plan.eci && plan.mode == Mode::Kanji;
    result.eci = plan.eci;
    result.version = chooseVersion(plan, level);
    result.data = padToCapacity(payloadBits(plan, result.version), dataCodewordCount(result.version, level));
    result.interleaved = interleave(result.data, result.version, level);
    return result;
}

QByteArray qrReedSolomon(const QByteArray& data, int ecCount)
{
    const GaloisField& gf = field();
    const std::vector<std::uint8_t>& g = generatorPolynomial(ecCount);
    std::vector<std::uint8_t> rem(std::size_t(ecCount), 0);
    for (char d : data) {
        const std::uint8_t factor = std::uint8_t(d) ^ rem[0];
        std::rotate(rem.begin(), rem.begin() + 1, rem.end());
        rem.back() = 0;
        for (std::size_t i = 0; i < rem.size(); ++i)
            rem[i] ^= gf.multiply(g[i], factor);
    }
    return QByteArray(reinterpret_cast<const char*>(rem.data()), qsizetype(rem.size()));
}

T2DBooleanArray buildQRMatrix(const QRCodewords& codewords, int mask, int* chosenMask)
{
    Grid base = functionPatterns(codewords.version, codewords.level);
    placeCodewords(base, codewords.interleaved);
    if (mask < 0 || mask > 7) {
        int best = -1;
        for (int m = 0; m < 8; ++m) {
            const Grid g = applyMask(base, codewords.level, m);
            const int p = penalty(g.dark, g.size);
            if (best < 0 || p < best) {
                best = p;
                mask = m;
            }
        }
    }
    if (chosenMask)
        *chosenMask = mask;
    return toArray(applyMask(base, codewords.level, mask));
}

int qrMaskPenalty(const T2DBooleanArray& matrix)
{
    const int n = matrix.Size();
    std::vector<std::uint8_t> m(std::size_t(n * n));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            m[std::size_t(y * n + x)] = matrix.At(x, y);
    return penalty(m, n);
}

int qrECIDesignatorOfCodePage(int codePage)
{
    if (codePage == kCodePageUtf16BE)
        return kUtf16Designator;
    for (const ECIEntry& e : kECITable)
        if (e.codePage == codePage)
            return e.designator;
    return kDefaultDesignator;
}

int qrCodePageOfECIDesignator(int designator)
{
    for (const ECIEntry& e : kECITable)
        if (e.designator == designator)
            return e.codePage;
    return 0;
}

} // namespace zd

std::optional<T2DBooleanArray> zdGenerateQRMatrix(const QString& text, TQRCodeEncoding encoding, TQRErrorLevels level,
                                                  int codePage, QString* errorText)
{
    if (errorText)
        errorText->clear();
    try {
        return zd::buildQRMatrix(zd::encodeQRCodewords(text, encoding, level, codePage));
    } catch (const plat::Exception& e) {
        if (errorText)
            *errorText = e.message();
        return std::nullopt;
    }
}

// ------------------------------------------------------------ TQRCodeGenerator

void TQRCodeGenerator::SetData(const QString& value)
{
    if (value == m_data)
        return;
    m_data = value;
    Update();
}

void TQRCodeGenerator::SetEncoding(TQRCodeEncoding value)
{
    if (value == m_encoding)
        return;
    m_encoding = value;
    Update();
}

void TQRCodeGenerator::SetErrorCorrectionLevel(TQRErrorLevels value)
{
    m_level = value;
    Update();
}

void TQRCodeGenerator::SetQuietZone(int value)
{
    if (value == m_quietZone || value < 0 || value > 100)
        return;
    m_quietZone = value;
    Update();
}

void TQRCodeGenerator::SetCodePage(int value)
{
    if (value == m_codePage)
        return;
    m_codePage = value;
    Update();
}

bool TQRCodeGenerator::IsBlack(int row, int column) const
{
    if (!m_matrix)
        return false;
    const int r = row - m_quietZone, c = column - m_quietZone;
    const int n = m_matrix->Size();
    if (r < 0 || c < 0 || r >= n || c >= n)
        return false;
    return m_matrix->At(c, r);
}

void TQRCodeGenerator::Update()
{
    m_matrix = zdGenerateQRMatrix(m_data, m_encoding, m_level, m_codePage, &m_errorText);
    const int size = (m_matrix ? m_matrix->Size() : 0) + 2 * m_quietZone;
    m_rows = size;
    m_columns = size;
}
