// Data Matrix ECC 200: encodations, sizes, Reed-Solomon and module placement.
#include "zdBarcodeDataMatrix.h"

#include "CodePage.h"
#include "Exceptions.h"

#include <algorithm>
#include <array>
#include <vector>

PLAT_DEFINE_ENUM(DatamatrixEncoding, "Auto", "Ascii", "C40", "Txt", "Base256", "X12", "Edifact")
PLAT_DEFINE_ENUM(DatamatrixSymbolSize, "AutoSize", "Size10x10", "Size12x12", "Size8x18", "Size14x14", "Size8x32",
                 "Size16x16", "Size12x26", "Size18x18", "Size20x20", "Size12x36", "Size22x22", "Size16x36",
                 "Size24x24", "Size26x26", "Size16x48", "Size32x32", "Size36x36", "Size40x40", "Size44x44",
                 "Size48x48", "Size52x52", "Size64x64", "Size72x72", "Size80x80", "Size88x88", "Size96x96",
                 "Size104x104", "Size120x120", "Size132x132", "Size144x144")

PLAT_DEFINE_CLASS(TzdBarcodeDataMatrix, c)
{
    c.property("SymbolSize", &TzdBarcodeDataMatrix::SymbolSize, &TzdBarcodeDataMatrix::SetSymbolSize)
        .defaultValue(DatamatrixSymbolSize::AutoSize);
    c.property("Encoding", &TzdBarcodeDataMatrix::Encoding, &TzdBarcodeDataMatrix::SetEncoding)
        .defaultValue(DatamatrixEncoding::Auto);
    c.property("CodePage", &TzdBarcodeDataMatrix::CodePage, &TzdBarcodeDataMatrix::SetCodePage);
    c.property("PixelSize", &TzdBarcodeDataMatrix::PixelSize, &TzdBarcodeDataMatrix::SetPixelSize);
}

namespace zd {
namespace {

// ECC 200 symbol attributes in order of data capacity.
constexpr DataMatrixSize kSizes[kDataMatrixSizeCount] = {
    {10, 10, 10, 10, 3, 3, 5},          {12, 12, 12, 12, 5, 5, 7},         {8, 18, 8, 18, 5, 5, 7},
    {14, 14, 14, 14, 8, 8, 10},         {8, 32, 8, 16, 10, 10, 11},        {16, 16, 16, 16, 12, 12, 12},
    {12, 26, 12, 26, 16, 16, 14},       {18, 18, 18, 18, 18, 18, 14},      {20, 20, 20, 20, 22, 22, 18},
    {12, 36, 12, 18, 22, 22, 18},       {22, 22, 22, 22, 30, 30, 20},      {16, 36, 16, 18, 32, 32, 24},
    {24, 24, 24, 24, 36, 36, 24},       {26, 26, 26, 26, 44, 44, 28},      {16, 48, 16, 24, 49, 49, 28},
    {32, 32, 16, 16, 62, 62, 36},       {36, 36, 18, 18, 86, 86, 42},      {40, 40, 20, 20, 114, 114, 48},
    {44, 44, 22, 22, 144, 144, 56},     {48, 48, 24, 24, 174, 174, 68},    {52, 52, 26, 26, 204, 102, 42},
    {64, 64, 16, 16, 280, 140, 56},     {72, 72, 18, 18, 368, 92, 36},     {80, 80, 20, 20, 456, 114, 48},
    {88, 88, 22, 22, 576, 144, 56},     {96, 96, 24, 24, 696, 174, 68},    {104, 104, 26, 26, 816, 136, 56},
    {120, 120, 20, 20, 1050, 175, 68},  {132, 132, 22, 22, 1304, 163, 62}, {144, 144, 24, 24, 1558, 156, 62},
};

// Codewords.
constexpr int kPad = 129;
constexpr int kLatchC40 = 230;
constexpr int kLatchBase256 = 231;
constexpr int kFNC1 = 232;
constexpr int kUpperShift = 235;
constexpr int kLatchX12 = 238;
constexpr int kLatchText = 239;
constexpr int kLatchEdifact = 240;
constexpr int kUnlatch = 254;
constexpr int kEdifactUnlatch = 31;
constexpr int kPrimitive = 0x12D;
constexpr int kGroupSeparator = 29;

bool isDigit(std::uint8_t b)
{
    return b >= '0' && b <= '9';
}

// ASCII codewords of bytes[from, to); digitPairs joins two digits into one.
void appendAscii(QByteArray& out, const QByteArray& bytes, qsizetype from, qsizetype to, bool digitPairs)
{
    for (qsizetype i = from; i < to; ++i) {
        const std::uint8_t b = std::uint8_t(bytes[i]);
        if (digitPairs && i + 1 < to && isDigit(b) && isDigit(std::uint8_t(bytes[i + 1]))) {
            out += char(130 + (b - '0') * 10 + (std::uint8_t(bytes[i + 1]) - '0'));
            ++i;
        } else if (b >= 128) {
            out += char(kUpperShift);
            out += char(b - 127);
        } else {
            out += char(b + 1);
        }
    }
}

std::optional<QByteArray> fitting(QByteArray out, int capacity)
{
    if (out.size() > capacity)
        return std::nullopt;
    return out;
}

std::optional<QByteArray> encodeAscii(const QByteArray& bytes, int capacity)
{
    QByteArray out;
    appendAscii(out, bytes, 0, bytes.size(), true);
    return fitting(out, capacity);
}

// C40 and Text values of one byte.
void textValues(std::uint8_t b, bool text, std::vector<int>& values)
{
    if (b >= 128) {
        values.push_back(1);
        values.push_back(30);
        b = std::uint8_t(b - 128);
    }
    const std::uint8_t upperFirst = text ? 'a' : 'A';
    const std::uint8_t upperThird = text ? 'A' : 'a';
    if (b == ' ') {
        values.push_back(3);
    } else if (isDigit(b)) {
        values.push_back(b - '0' + 4);
    } else if (b >= upperFirst && b < upperFirst + 26) {
        values.push_back(b - upperFirst + 14);
    } else if (b < 32) {
        values.push_back(0);
        values.push_back(b);
    } else if (b >= 33 && b <= 47) {
        values.push_back(1);
        values.push_back(b - 33);
    } else if (b >= 58 && b <= 64) {
        values.push_back(1);
        values.push_back(b - 58 + 15);
    } else if (b >= 91 && b <= 95) {
        values.push_back(1);
        values.push_back(b - 91 + 22);
    } else if (b == '`') {
        values.push_back(2);
        values.push_back(0);
    } else if (b >= upperThird && b < upperThird + 26) {
        values.push_back(2);
        values.push_back(b - upperThird + 1);
    } else { // { | } ~ DEL
        values.push_back(2);
        values.push_back(b - '{' + 27);
    }
}

void appendTriple(QByteArray& out, int a, int b, int c)
{
    const int v = 1600 * a + 40 * b + c + 1;
    out += char(v / 256);
    out += char(v % 256);
}

// C40 or Text for the longest prefix whose values fill whole triples, then
// the unlatch and the rest in ASCII.
std::optional<QByteArray> encodeTriples(const QByteArray& bytes, int capacity, bool text)
{
    std::vector<int> values;
    qsizetype prefix = 0;
    std::size_t prefixValues = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        textValues(std::uint8_t(bytes[i]), text, values);
        if (values.size() % 3 == 0) {
            prefix = i + 1;
            prefixValues = values.size();
        }
    }
    const int triples = int(prefixValues / 3);
    // A latch straight followed by its unlatch carries nothing (and some
    // readers stumble on it): plain ASCII then.
    if (triples == 0)
        return encodeAscii(bytes, capacity);
    if (capacity - 2 < 2 * triples)
        return std::nullopt;
    QByteArray out;
    out += char(text ? kLatchText : kLatchC40);
    for (int t = 0; t < triples; ++t)
        appendTriple(out, values[std::size_t(3 * t)], values[std::size_t(3 * t + 1)], values[std::size_t(3 * t + 2)]);
    out += char(kUnlatch);
    appendAscii(out, bytes, prefix, bytes.size(), true);
    return fitting(out, capacity);
}

std::uint8_t randomise255(int codeword, int position)
{
    return std::uint8_t((codeword + (149 * position) % 255 + 1) % 256);
}

std::optional<QByteArray> encodeBase256(const QByteArray& bytes, int capacity, int offset)
{
    const qsizetype n = bytes.size();
    if (n == 0)
        return QByteArray();
    if (n + (n < 250 ? 2 : 3) > capacity)
        return std::nullopt;
    std::vector<int> field;
    if (n < 250) {
        field.push_back(int(n));
    } else {
        field.push_back(int(249 + n / 250));
        field.push_back(int(n % 250));
    }
    for (char b : bytes)
        field.push_back(std::uint8_t(b));
    QByteArray out;
    out += char(kLatchBase256);
    for (std::size_t i = 0; i < field.size(); ++i)
        out += char(randomise255(field[i], offset + 2 + int(i)));
    return out;
}

int x12Value(std::uint8_t b)
{
    if (b == '\r')
        return 0;
    if (b == '*')
        return 1;
    if (b == '>')
        return 2;
    if (b == ' ')
        return 3;
    if (isDigit(b))
        return b - '0' + 4;
    if (b >= 'A' && b <= 'Z')
        return b - 'A' + 14;
    return -1;
}

std::optional<QByteArray> encodeX12(const QByteArray& bytes, int capacity)
{
    QByteArray out;
    bool inX12 = false;
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    while (i < n) {
        qsizetype run = 0;
        while (i + run < n && x12Value(std::uint8_t(bytes[i + run])) >= 0)
            ++run;
        const qsizetype keep = run >= 6 ? run / 3 * 3 : 0;
        if (keep > 0) {
            if (!inX12)
                out += char(kLatchX12);
            inX12 = true;
            for (qsizetype k = 0; k < keep; k += 3)
                appendTriple(out, x12Value(std::uint8_t(bytes[i + k])), x12Value(std::uint8_t(bytes[i + k + 1])),
                             x12Value(std::uint8_t(bytes[i + k + 2])));
            i += keep;
            continue;
        }
        // Not enough for X12: the run's characters and the next other one in ASCII.
        const qsizetype to = std::min(n, i + std::max<qsizetype>(run, 1));
        if (inX12)
            out += char(kUnlatch);
        inX12 = false;
        appendAscii(out, bytes, i, to, false);
        i = to;
    }
    if (inX12)
        out += char(kUnlatch);
    return fitting(out, capacity);
}

void flushEdifact(QByteArray& out, std::vector<int>& values)
{
    values.push_back(kEdifactUnlatch);
    unsigned bits = 0;
    int count = 0;
    for (int v : values) {
        bits = (bits << 6) | unsigned(v);
        count += 6;
        while (count >= 8) {
            out += char((bits >> (count - 8)) & 0xFF);
            count -= 8;
        }
    }
    if (count > 0)
        out += char((bits << (8 - count)) & 0xFF);
    values.clear();
}

int padCodeword(int position)
{
    if (position <= 0)
        return kPad;
    int v = kPad + (149 * position) % 253 + 1;
    return v > 254 ? v - 254 : v;
}

// Readers take EDIFACT in groups of three codewords and leave it for ASCII
// when fewer than three remain in the symbol; a short last group therefore
// gets the padding that completes it.
std::optional<QByteArray> encodeEdifact(const QByteArray& bytes, int capacity, int offset)
{
    QByteArray out;
    std::vector<int> values;
    bool inEdifact = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const std::uint8_t b = std::uint8_t(bytes[i]);
        if (b >= 32 && b <= 94) {
            if (!inEdifact)
                out += char(kLatchEdifact);
            inEdifact = true;
            values.push_back(b & 0x3F);
            continue;
        }
        if (inEdifact)
            flushEdifact(out, values);
        inEdifact = false;
        appendAscii(out, bytes, i, i + 1, false);
    }
    if (inEdifact) {
        const qsizetype lastGroup = out.size() + qsizetype(values.size() / 4) * 3;
        flushEdifact(out, values);
        for (bool first = true; out.size() - lastGroup < 3; first = false)
            out += char(first ? kPad : padCodeword(offset + int(out.size()) + 1));
    }
    return fitting(out, capacity);
}

// ------------------------------------------------------------ Reed-Solomon

struct GaloisField {
    std::array<int, 256> exp{};
    std::array<int, 256> log{};
    GaloisField()
    {
        int x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[std::size_t(i)] = x;
            log[std::size_t(x)] = i;
            x <<= 1;
            if (x & 0x100)
                x ^= kPrimitive;
        }
    }
    int multiply(int a, int b) const
    {
        if (a == 0 || b == 0)
            return 0;
        return exp[std::size_t((log[std::size_t(a)] + log[std::size_t(b)]) % 255)];
    }
};

const GaloisField& field()
{
    static const GaloisField gf;
    return gf;
}

// Error codewords of one block: generator with roots a^1 .. a^n.
std::vector<int> reedSolomon(const std::vector<int>& data, int n)
{
    const GaloisField& gf = field();
    std::vector<int> g{1};
    for (int i = 1; i <= n; ++i) {
        std::vector<int> next(g.size() + 1, 0);
        for (std::size_t j = 0; j < g.size(); ++j) {
            next[j] ^= g[j];
            next[j + 1] ^= gf.multiply(g[j], gf.exp[std::size_t(i)]);
        }
        g = std::move(next);
    }
    std::vector<int> rem(std::size_t(n), 0);
    for (int d : data) {
        const int factor = d ^ rem[0];
        std::rotate(rem.begin(), rem.begin() + 1, rem.end());
        rem.back() = 0;
        for (int i = 0; i < n; ++i)
            rem[std::size_t(i)] ^= gf.multiply(g[std::size_t(i + 1)], factor);
    }
    return rem;
}

// ---------------------------------------------------------------- placement

// The module placement of ECC 200 over the mapping matrix (data area):
// 0 light, 1 dark filler, 8 x codeword + bit (codewords from 1, bit 0 the
// most significant).
class Placement {
public:
    Placement(int rows, int columns) : m_rows(rows), m_cols(columns), m_cells(std::size_t(rows * columns), -1) {}

    std::vector<int> run()
    {
        int cw = 1, row = 4, col = 0;
        do {
            if (row == m_rows && col == 0)
                corner1(cw++);
            if (row == m_rows - 2 && col == 0 && m_cols % 4)
                corner2(cw++);
            if (row == m_rows - 2 && col == 0 && m_cols % 8 == 4)
                corner3(cw++);
            if (row == m_rows + 4 && col == 2 && m_cols % 8 == 0)
                corner4(cw++);
            do {
                if (row < m_rows && col >= 0 && cell(row, col) < 0)
                    utah(row, col, cw++);
                row -= 2;
                col += 2;
            } while (row >= 0 && col < m_cols);
            row += 1;
            col += 3;
            do {
                if (row >= 0 && col < m_cols && cell(row, col) < 0)
                    utah(row, col, cw++);
                row += 2;
                col -= 2;
            } while (row < m_rows && col >= 0);
            row += 3;
            col += 1;
        } while (row < m_rows || col < m_cols);
        // The fixed pattern of the lower right corner when it was not used.
        if (cell(m_rows - 1, m_cols - 1) < 0) {
            cell(m_rows - 1, m_cols - 1) = 1;
            cell(m_rows - 2, m_cols - 2) = 1;
        }
        for (int& c : m_cells)
            if (c < 0)
                c = 0;
        return m_cells;
    }

private:
    int& cell(int r, int c) { return m_cells[std::size_t(r * m_cols + c)]; }

    void module(int row, int col, int cw, int bit)
    {
        if (row < 0) {
            row += m_rows;
            col += 4 - ((m_rows + 4) % 8);
        }
        if (col < 0) {
            col += m_cols;
            row += 4 - ((m_cols + 4) % 8);
        }
        cell(row, col) = 8 * cw + bit;
    }
    void utah(int r, int c, int cw)
    {
        module(r - 2, c - 2, cw, 0);
        module(r - 2, c - 1, cw, 1);
        module(r - 1, c - 2, cw, 2);
        module(r - 1, c - 1, cw, 3);
        module(r - 1, c, cw, 4);
        module(r, c - 2, cw, 5);
        module(r, c - 1, cw, 6);
        module(r, c, cw, 7);
    }
    void corner1(int cw)
    {
        module(m_rows - 1, 0, cw, 0);
        module(m_rows - 1, 1, cw, 1);
        module(m_rows - 1, 2, cw, 2);
        module(0, m_cols - 2, cw, 3);
        module(0, m_cols - 1, cw, 4);
        module(1, m_cols - 1, cw, 5);
        module(2, m_cols - 1, cw, 6);
        module(3, m_cols - 1, cw, 7);
    }
    void corner2(int cw)
    {
        module(m_rows - 3, 0, cw, 0);
        module(m_rows - 2, 0, cw, 1);
        module(m_rows - 1, 0, cw, 2);
        module(0, m_cols - 4, cw, 3);
        module(0, m_cols - 3, cw, 4);
        module(0, m_cols - 2, cw, 5);
        module(0, m_cols - 1, cw, 6);
        module(1, m_cols - 1, cw, 7);
    }
    void corner3(int cw)
    {
        module(m_rows - 3, 0, cw, 0);
        module(m_rows - 2, 0, cw, 1);
        module(m_rows - 1, 0, cw, 2);
        module(0, m_cols - 2, cw, 3);
        module(0, m_cols - 1, cw, 4);
        module(1, m_cols - 1, cw, 5);
        module(2, m_cols - 1, cw, 6);
        module(3, m_cols - 1, cw, 7);
    }
    void corner4(int cw)
    {
        module(m_rows - 1, 0, cw, 0);
        module(m_rows - 1, m_cols - 1, cw, 1);
        module(0, m_cols - 3, cw, 2);
        module(0, m_cols - 2, cw, 3);
        module(0, m_cols - 1, cw, 4);
        module(1, m_cols - 3, cw, 5);
        module(1, m_cols - 2, cw, 6);
        module(1, m_cols - 1, cw, 7);
    }

    int m_rows;
    int m_cols;
    std::vector<int> m_cells;
};

QString tooBig()
{
    return QStringLiteral("The text is too big.");
}

// The shortest successful encodation; ties keep the earlier one.
std::optional<QByteArray> encodeAuto(const QByteArray& bytes, int capacity, int offset)
{
    static constexpr DatamatrixEncoding kOrder[] = {DatamatrixEncoding::Ascii, DatamatrixEncoding::Txt,
                                                    DatamatrixEncoding::C40,   DatamatrixEncoding::Base256,
                                                    DatamatrixEncoding::X12,   DatamatrixEncoding::Edifact};
    std::optional<QByteArray> best;
    for (DatamatrixEncoding e : kOrder) {
        std::optional<QByteArray> r = dataMatrixEncode(e, bytes, capacity, offset);
        if (r && (!best || r->size() < best->size()))
            best = std::move(r);
    }
    return best;
}

} // namespace

const DataMatrixSize& dataMatrixSize(int index)
{
    return kSizes[std::clamp(index, 0, kDataMatrixSizeCount - 1)];
}

std::optional<QByteArray> dataMatrixEncode(DatamatrixEncoding encoding, const QByteArray& bytes, int capacity,
                                           int offset)
{
    switch (encoding) {
    case DatamatrixEncoding::Auto:
        return encodeAuto(bytes, capacity, offset);
    case DatamatrixEncoding::Ascii:
        return encodeAscii(bytes, capacity);
    case DatamatrixEncoding::C40:
        return encodeTriples(bytes, capacity, false);
    case DatamatrixEncoding::Txt:
        return encodeTriples(bytes, capacity, true);
    case DatamatrixEncoding::Base256:
        return encodeBase256(bytes, capacity, offset);
    case DatamatrixEncoding::X12:
        return encodeX12(bytes, capacity);
    case DatamatrixEncoding::Edifact:
        return encodeEdifact(bytes, capacity, offset);
    }
    return std::nullopt;
}

} // namespace zd

namespace {

constexpr int kDefaultPixelSize = 4;
constexpr int kAnsiCodePage = 1250;

std::vector<int> paddedCodewords(const QByteArray& codewords, int dataCodewords)
{
    std::vector<int> out;
    out.reserve(std::size_t(dataCodewords));
    for (char c : codewords)
        out.push_back(std::uint8_t(c));
    if (int(out.size()) < dataCodewords)
        out.push_back(zd::kPad);
    while (int(out.size()) < dataCodewords) {
        const int p = int(out.size()) + 1;
        int v = zd::kPad + (149 * p) % 253 + 1;
        if (v > 254)
            v -= 254;
        out.push_back(v);
    }
    return out;
}

// Data codewords followed by the interleaved error codewords.
std::vector<int> withErrorCorrection(const std::vector<int>& data, const zd::DataMatrixSize& s)
{
    const int blocks = (s.dataCodewords + 2) / s.dataPerBlock;
    std::vector<int> all = data;
    all.resize(data.size() + std::size_t(blocks * s.errorPerBlock), 0);
    for (int b = 0; b < blocks; ++b) {
        std::vector<int> block;
        for (std::size_t i = std::size_t(b); i < data.size(); i += std::size_t(blocks))
            block.push_back(data[i]);
        const std::vector<int> ec = zd::reedSolomon(block, s.errorPerBlock);
        for (int k = 0; k < s.errorPerBlock; ++k)
            all[data.size() + std::size_t(b + k * blocks)] = ec[std::size_t(k)];
    }
    return all;
}

} // namespace

TzdBarcodeDataMatrix::TzdBarcodeDataMatrix() : m_codePage(kAnsiCodePage)
{
    SetPixelSize(kDefaultPixelSize);
    Generate();
}

TzdBarcodeDataMatrix::~TzdBarcodeDataMatrix() = default;

void TzdBarcodeDataMatrix::SetText(const QString& Value)
{
    if (Value == Text())
        return;
    TzdBarcode2DBase::SetText(Value);
    Generate();
}

void TzdBarcodeDataMatrix::Assign(TzdBarcode2DBase* Source)
{
    TzdBarcode2DBase::Assign(Source);
    if (auto* dm = dynamic_cast<TzdBarcodeDataMatrix*>(Source)) {
        m_symbolSize = dm->m_symbolSize;
        m_encoding = dm->m_encoding;
        m_codePage = dm->m_codePage;
    }
    // Rows, Columns and the image always describe the current text.
    Generate();
}

void TzdBarcodeDataMatrix::SetSymbolSize(DatamatrixSymbolSize Value)
{
    m_symbolSize = Value;
    Generate();
}

void TzdBarcodeDataMatrix::SetEncoding(DatamatrixEncoding Value)
{
    m_encoding = Value;
    Generate();
}

void TzdBarcodeDataMatrix::SetCodePage(int Value)
{
    m_codePage = Value;
    Generate();
}

void TzdBarcodeDataMatrix::SetPixelSize(int Value)
{
    SetPixelWidth(Value);
    SetPixelHeight(Value);
}

QByteArray TzdBarcodeDataMatrix::textBytes(bool& fnc1) const
{
    QByteArray bytes = plat::unicodeToCodePage(m_codePage == 0 ? kAnsiCodePage : m_codePage, Text());
    static const QByteArray kFNC1Escape("&1;");
    fnc1 = bytes.startsWith(kFNC1Escape);
    if (fnc1)
        bytes.remove(0, kFNC1Escape.size());
    bytes.replace(kFNC1Escape, QByteArray(1, char(zd::kGroupSeparator)));
    return bytes;
}

void TzdBarcodeDataMatrix::Generate()
{
    SetErrorText(QString());
    try {
        bool fnc1 = false;
        const QByteArray bytes = textBytes(fnc1);
        const int lead = fnc1 ? 1 : 0;
        const zd::DataMatrixSize& largest = zd::dataMatrixSize(zd::kDataMatrixSizeCount - 1);
        // The leading FNC1 takes a codeword of the capacity too.
        std::optional<QByteArray> encoded = zd::dataMatrixEncode(m_encoding, bytes, largest.dataCodewords - lead, lead);
        if (!encoded)
            throw plat::Exception(zd::tooBig());
        int index = 0;
        if (m_symbolSize != DatamatrixSymbolSize::AutoSize) {
            index = int(m_symbolSize) - 1;
            encoded = zd::dataMatrixEncode(m_encoding, bytes, zd::dataMatrixSize(index).dataCodewords - lead, lead);
            if (!encoded)
                throw plat::Exception(QLatin1Char(' ') + zd::tooBig());
        } else {
            const int length = int(encoded->size()) + lead;
            while (zd::dataMatrixSize(index).dataCodewords < length)
                ++index;
        }
        QByteArray codewords = fnc1 ? QByteArray(1, char(zd::kFNC1)) + *encoded : *encoded;
        const zd::DataMatrixSize& s = zd::dataMatrixSize(index);
        const std::vector<int> all = withErrorCorrection(paddedCodewords(codewords, s.dataCodewords), s);

        const int regionsDown = s.height / s.regionHeight, regionsAcross = s.width / s.regionWidth;
        const int dataH = s.regionHeight - 2, dataW = s.regionWidth - 2;
        const std::vector<int> placement = zd::Placement(regionsDown * dataH, regionsAcross * dataW).run();

        resetImage(s.height, s.width);
        for (int r = 0; r < s.height; ++r)
            for (int c = 0; c < s.width; ++c) {
                const int lr = r % s.regionHeight, lc = c % s.regionWidth;
                bool dark;
                if (lr == 0)
                    dark = lc % 2 == 0;
                else if (lr == s.regionHeight - 1 || lc == 0)
                    dark = true;
                else if (lc == s.regionWidth - 1)
                    dark = lr % 2 == 1;
                else {
                    const int mr = (r / s.regionHeight) * dataH + lr - 1;
                    const int mc = (c / s.regionWidth) * dataW + lc - 1;
                    const int p = placement[std::size_t(mr * regionsAcross * dataW + mc)];
                    dark = p == 1 || (p >= 8 && ((all[std::size_t(p / 8 - 1)] >> (7 - p % 8)) & 1));
                }
                if (dark)
                    setModule(r, c, true);
            }
        m_codewords = codewords;
    } catch (const plat::Exception& e) {
        SetErrorText(e.message());
    }
}
