// PDF417: segmentation, compaction, error correction, layout and rows.
#include "zdBarcodePDF417.h"

#include "CodePage.h"
#include "Exceptions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

PLAT_DEFINE_ENUM(PDF417ErrorCorrection, "AutoCorr", "Level0", "Level1", "Level2", "Level3", "Level4", "Level5",
                 "Level6", "Level7", "Level8")
PLAT_DEFINE_ENUM(PDF417CompactionMode, "AutoCompaction", "TextComp", "Numeric", "Binary")

PLAT_DEFINE_CLASS(TzdBarcodePDF417, c)
{
    c.property("AspectRatio", &TzdBarcodePDF417::AspectRatio, &TzdBarcodePDF417::SetAspectRatio);
    c.property("Columns", &TzdBarcodePDF417::DataColumns, &TzdBarcodePDF417::SetDataColumns).defaultValue(0);
    c.property("Rows", &TzdBarcodePDF417::DataRows, &TzdBarcodePDF417::SetDataRows).defaultValue(0);
    c.property("ErrorCorrection", &TzdBarcodePDF417::ErrorCorrection, &TzdBarcodePDF417::SetErrorCorrection)
        .defaultValue(PDF417ErrorCorrection::AutoCorr);
    c.property("CodePage", &TzdBarcodePDF417::CodePage, &TzdBarcodePDF417::SetCodePage);
    c.property("CompactionMode", &TzdBarcodePDF417::CompactionMode, &TzdBarcodePDF417::SetCompactionMode)
        .defaultValue(PDF417CompactionMode::AutoCompaction);
    c.property("PixelWidth", &TzdBarcodePDF417::PixelWidth, &TzdBarcodePDF417::SetPixelWidth);
    c.property("PixelHeight", &TzdBarcodePDF417::PixelHeight, &TzdBarcodePDF417::SetPixelHeight);
}

namespace zd {
namespace {

constexpr int kModulus = 929;
constexpr int kMaxCodewords = 928;
constexpr int kMaxDataCodewords = 926;
constexpr int kMaxBytes = 5421;
constexpr int kTextLatch = 900;
constexpr int kByteLatch = 901;
constexpr int kNumericLatch = 902;
constexpr int kByteShift = 913;
constexpr int kByteLatch6 = 924;
constexpr int kStartPattern = 0b11111111010101000;   // 17 modules
constexpr int kStopPattern = 0b111111101000101001;   // 18 modules
constexpr int kMaxColumns = 30;
constexpr int kMinRows = 3;
constexpr int kMaxRows = 90;

QString tooBig()
{
    return QStringLiteral("The text is too big.");
}

bool isTextByte(std::uint8_t b)
{
    return (b >= 32 && b <= 126) || b == 9 || b == 10 || b == 13;
}

bool isDigitByte(std::uint8_t b)
{
    return b >= '0' && b <= '9';
}

std::uint8_t at(const QByteArray& bytes, int i)
{
    return std::uint8_t(bytes[i]);
}

// ---------------------------------------------------------- segmentation

void splitTextAndBytes(const QByteArray& bytes, int from, int to, TSegmentList& list)
{
    int start = from;
    for (int i = from + 1; i <= to; ++i)
        if (i == to || isTextByte(at(bytes, i)) != isTextByte(at(bytes, start))) {
            list.Add(isTextByte(at(bytes, start)) ? 'T' : 'B', start, i);
            start = i;
        }
}

bool is(Segment* s, char kind)
{
    return s && s->kind == kind;
}

// One pass of the three merge rules; true when something merged.
bool mergeOnce(TSegmentList& list)
{
    for (int k = 0; k < list.Count(); ++k) {
        Segment* v = list.Get(k);
        Segment* vp = list.Get(k - 1);
        Segment* vn = list.Get(k + 1);
        if (is(v, 'B') && v->length() == 1 && is(vp, 'T') && is(vn, 'T') && vp->length() + vn->length() > 2) {
            vp->end = vn->end;
            list.Delete(k + 1);
            list.Delete(k);
            return true;
        }
    }
    for (int k = 0; k < list.Count(); ++k) {
        Segment* v = list.Get(k);
        if (!is(v, 'T') || v->length() < 5)
            continue;
        Segment* vp = list.Get(k - 1);
        if ((is(vp, 'B') && vp->length() == 1) || is(vp, 'T')) {
            v->start = vp->start;
            list.Delete(k - 1);
            return true;
        }
        Segment* vn = list.Get(k + 1);
        if ((is(vn, 'B') && vn->length() == 1) || is(vn, 'T')) {
            v->end = vn->end;
            list.Delete(k + 1);
            return true;
        }
    }
    for (int k = 0; k < list.Count(); ++k) {
        Segment* v = list.Get(k);
        if (!is(v, 'B'))
            continue;
        Segment* vp = list.Get(k - 1);
        if ((is(vp, 'T') && vp->length() < 5) || is(vp, 'B')) {
            v->start = vp->start;
            list.Delete(k - 1);
            return true;
        }
        Segment* vn = list.Get(k + 1);
        if ((is(vn, 'T') && vn->length() < 5) || is(vn, 'B')) {
            v->end = vn->end;
            list.Delete(k + 1);
            return true;
        }
    }
    return false;
}

// --------------------------------------------------------------- compaction

// Text compaction submodes and their tables.
enum Submode { Alpha = 1, Lower = 2, Mixed = 4, Punct = 8 };
constexpr int kLL = 27, kAS = 27, kML = 28, kPS = 29, kPL = 25, kAL = 28, kPAL = 29;
const char kMixedChars[] = "0123456789&\r\t,:#-.$/+%*=^";
const char kPunctChars[] = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";

// Submodes that hold the byte (bit set) and its value there (low byte).
int textTypeAndValue(const QByteArray& bytes, int end, int i)
{
    if (i >= end)
        return 0;
    const char c = char(at(bytes, i));
    if (c >= 'A' && c <= 'Z')
        return (Alpha << 8) | (c - 'A');
    if (c >= 'a' && c <= 'z')
        return (Lower << 8) | (c - 'a');
    if (c == ' ')
        return ((Alpha | Lower | Mixed) << 8) | 26;
    int type = 0, value = 0;
    if (const char* p = std::strchr(kMixedChars, c); p && c) {
        type |= Mixed;
        value = int(p - kMixedChars);
    }
    if (const char* p = std::strchr(kPunctChars, c); p && c) {
        if (!type)
            value = int(p - kPunctChars);
        type |= Punct;
    }
    return (type << 8) | value;
}

int punctValue(char c)
{
    return int(std::strchr(kPunctChars, c) - kPunctChars);
}

void flushValues(std::vector<int>& values, std::vector<int>& out)
{
    if (values.size() % 2)
        values.push_back(kPS);
    for (std::size_t i = 0; i < values.size(); i += 2)
        out.push_back(30 * values[i] + values[i + 1]);
    values.clear();
}

void textCompaction(const QByteArray& bytes, int start, int end, std::vector<int>& out)
{
    std::vector<int> values;
    int submode = Alpha;
    for (int k = start; k < end; ++k) {
        const int v = textTypeAndValue(bytes, end, k);
        const int type = v >> 8, value = v & 0xFF;
        if (type == 0) { // not in any submode: shift to byte
            flushValues(values, out);
            out.push_back(kByteShift);
            out.push_back(at(bytes, k));
            continue;
        }
        if (type & submode) {
            values.push_back(submode == Punct ? punctValue(char(at(bytes, k))) : value);
            continue;
        }
        const int next2 = textTypeAndValue(bytes, end, k + 1) & textTypeAndValue(bytes, end, k + 2);
        const bool punctAhead = ((next2 >> 8) & Punct) != 0 && (type & Punct);
        auto latchTo = [&](int latch, int to) {
            values.push_back(latch);
            submode = to;
            values.push_back(value);
        };
        // Punctuation: latch when more follows (from Alpha and Lower by way
        // of Mixed), otherwise shift for this one character.
        auto punctuation = [&](bool viaMixed) {
            if (punctAhead) {
                if (viaMixed)
                    values.push_back(kML);
                values.push_back(kPL);
                submode = Punct;
            } else {
                values.push_back(kPS);
            }
            values.push_back(punctValue(char(at(bytes, k))));
        };
        switch (submode) {
        case Alpha:
            if (type & Lower)
                latchTo(kLL, Lower);
            else if (type & Mixed)
                latchTo(kML, Mixed);
            else
                punctuation(true);
            break;
        case Lower:
            if (type & Alpha) {
                if (((next2 >> 8) & Alpha) != 0) {
                    values.push_back(kML);
                    values.push_back(kAL);
                    submode = Alpha;
                } else {
                    values.push_back(kAS);
                }
                values.push_back(value);
            } else if (type & Mixed) {
                latchTo(kML, Mixed);
            } else {
                punctuation(true);
            }
            break;
        case Mixed:
            if (type & Lower)
                latchTo(kLL, Lower);
            else if (type & Alpha)
                latchTo(kAL, Alpha);
            else
                punctuation(false);
            break;
        default: // Punct: back to Alpha and try again
            values.push_back(kPAL);
            submode = Alpha;
            --k;
            break;
        }
    }
    flushValues(values, out);
}

void byteCompaction(const QByteArray& bytes, int start, int end, std::vector<int>& out)
{
    int k = start;
    for (; k + 6 <= end; k += 6) {
        std::uint64_t v = 0;
        for (int j = 0; j < 6; ++j)
            v = (v << 8) | at(bytes, k + j);
        int group[5];
        for (int j = 4; j >= 0; --j) {
            group[j] = int(v % 900);
            v /= 900;
        }
        out.insert(out.end(), group, group + 5);
    }
    for (; k < end; ++k)
        out.push_back(at(bytes, k));
}

// Groups of up to 44 digits, each read as "1" + digits, in base 900.
void numericCompaction(const QByteArray& bytes, int start, int end, std::vector<int>& out)
{
    for (int k = start; k < end; k += 44) {
        const int n = std::min(44, end - k);
        std::vector<int> digits{1};
        for (int j = 0; j < n; ++j)
            digits.push_back(at(bytes, k + j) - '0');
        std::vector<int> group;
        while (!(digits.size() == 1 && digits[0] == 0) && !digits.empty()) {
            std::vector<int> quotient;
            int rem = 0;
            for (int d : digits) {
                rem = rem * 10 + d;
                const int q = rem / 900;
                rem %= 900;
                if (!quotient.empty() || q)
                    quotient.push_back(q);
            }
            group.push_back(rem);
            digits = quotient.empty() ? std::vector<int>{0} : quotient;
        }
        out.insert(out.end(), group.rbegin(), group.rend());
    }
}

int maxLevelFitting(int room)
{
    int level = -1;
    while (level < 8 && (2 << (level + 1)) <= room)
        ++level;
    return std::max(level, 0);
}

} // namespace

TSegmentList pdf417Segments(const QByteArray& bytes, PDF417CompactionMode mode)
{
    TSegmentList list;
    const int n = int(bytes.size());
    switch (mode) {
    case PDF417CompactionMode::TextComp:
        list.Add('T', 0, n);
        return list;
    case PDF417CompactionMode::Numeric:
        list.Add('N', 0, n);
        return list;
    case PDF417CompactionMode::Binary:
        list.Add('B', 0, n);
        return list;
    case PDF417CompactionMode::AutoCompaction:
        break;
    }
    int last = 0;
    for (int k = 0; k < n;) {
        int run = 0;
        while (k + run < n && isDigitByte(at(bytes, k + run)))
            ++run;
        if (run >= 13) {
            if (last < k)
                splitTextAndBytes(bytes, last, k, list);
            list.Add('N', k, k + run);
            last = k + run;
        }
        k += std::max(run, 1);
    }
    if (last < n)
        splitTextAndBytes(bytes, last, n, list);
    while (mergeOnce(list)) {
    }
    if (list.Count() == 1) {
        Segment* s = list.Get(0);
        bool digits = s->kind == 'T' && s->length() > 7;
        for (int i = s->start; digits && i < s->end; ++i)
            digits = isDigitByte(at(bytes, i));
        if (digits)
            s->kind = 'N';
    }
    return list;
}

std::vector<int> pdf417Compact(const QByteArray& bytes, TSegmentList& segments)
{
    std::vector<int> out{0};
    for (int k = 0; k < segments.Count(); ++k) {
        const Segment& s = *segments.Get(k);
        switch (s.kind) {
        case 'B':
            out.push_back(s.length() % 6 == 0 ? kByteLatch6 : kByteLatch);
            byteCompaction(bytes, s.start, s.end, out);
            break;
        case 'N':
            out.push_back(kNumericLatch);
            numericCompaction(bytes, s.start, s.end, out);
            break;
        default:
            if (k != 0)
                out.push_back(kTextLatch);
            textCompaction(bytes, s.start, s.end, out);
            break;
        }
        if (int(out.size()) > kMaxDataCodewords)
            throw plat::Exception(tooBig());
    }
    return out;
}

std::vector<int> pdf417Coefficients(int level)
{
    const int k = 2 << level;
    // g(x) = prod (x - 3^i), i = 1..k; coefficients low to high, leading 1 dropped.
    std::vector<int> g{1};
    int power = 1;
    for (int i = 1; i <= k; ++i) {
        power = power * 3 % kModulus;
        std::vector<int> next(g.size() + 1, 0);
        for (std::size_t j = 0; j < g.size(); ++j) {
            next[j + 1] = (next[j + 1] + g[j]) % kModulus;
            next[j] = (next[j] + (kModulus - power) * g[j]) % kModulus;
        }
        g = std::move(next);
    }
    g.pop_back();
    return g;
}

std::vector<int> pdf417ErrorCodewords(const std::vector<int>& data, int level)
{
    const std::vector<int> a = pdf417Coefficients(level);
    const int k = int(a.size());
    std::vector<int> e(std::size_t(k), 0);
    for (int d : data) {
        const int t1 = (d + e[std::size_t(k - 1)]) % kModulus;
        for (int j = k - 1; j >= 1; --j)
            e[std::size_t(j)] = (e[std::size_t(j - 1)] + kModulus - t1 * a[std::size_t(j)] % kModulus) % kModulus;
        e[0] = (kModulus - t1 * a[0] % kModulus) % kModulus;
    }
    std::vector<int> out;
    for (int j = k - 1; j >= 0; --j)
        out.push_back(e[std::size_t(j)] ? kModulus - e[std::size_t(j)] : 0);
    return out;
}

// Each row tells the symbol's rows, columns and level, one of the three in
// each indicator, in the order the row's cluster sets.
int pdf417RowIndicator(int row, int rows, int columns, int level, bool right)
{
    const int base = 30 * (row / 3);
    const int rowsPart = (rows - 1) / 3;
    const int levelPart = 3 * level + (rows - 1) % 3;
    const int columnsPart = columns - 1;
    switch (row % 3) {
    case 0:
        return base + (right ? columnsPart : rowsPart);
    case 1:
        return base + (right ? rowsPart : levelPart);
    default:
        return base + (right ? levelPart : columnsPart);
    }
}

} // namespace zd

namespace {
constexpr int kAnsiCodePage = 1250;
constexpr int kDefaultPixelWidth = 2;
constexpr int kDefaultPixelHeight = 8;
} // namespace

TzdBarcodePDF417::TzdBarcodePDF417() : m_codePage(kAnsiCodePage)
{
    SetPixelWidth(kDefaultPixelWidth);
    SetPixelHeight(kDefaultPixelHeight);
    Generate();
}

TzdBarcodePDF417::~TzdBarcodePDF417() = default;

void TzdBarcodePDF417::SetText(const QString& Value)
{
    if (Value == Text())
        return;
    TzdBarcode2DBase::SetText(Value);
    Generate();
}

void TzdBarcodePDF417::Assign(TzdBarcode2DBase* Source)
{
    TzdBarcode2DBase::Assign(Source);
    if (auto* p = dynamic_cast<TzdBarcodePDF417*>(Source)) {
        SetAspectRatio(p->AspectRatio());
        SetDataColumns(p->DataColumns());
        SetDataRows(p->DataRows());
        SetErrorCorrection(p->ErrorCorrection());
        SetCodePage(p->CodePage());
        SetCompactionMode(p->CompactionMode());
    }
    // The copied text is shown even when no setting changed.
    Generate();
}

#define ZD_PDF417_SETTER(Name, Type, field)      \
    void TzdBarcodePDF417::Set##Name(Type Value) \
    {                                            \
        if (Value == field)                      \
            return;                              \
        field = Value;                           \
        Generate();                              \
    }
ZD_PDF417_SETTER(AspectRatio, long double, m_aspectRatio)
ZD_PDF417_SETTER(DataColumns, int, m_columns)
ZD_PDF417_SETTER(DataRows, int, m_rows)
ZD_PDF417_SETTER(ErrorCorrection, PDF417ErrorCorrection, m_errorCorrection)
ZD_PDF417_SETTER(CodePage, int, m_codePage)
ZD_PDF417_SETTER(CompactionMode, PDF417CompactionMode, m_compactionMode)
#undef ZD_PDF417_SETTER

void TzdBarcodePDF417::Generate()
{
    SetErrorText(QString());
    try {
        const QByteArray bytes = plat::unicodeToCodePage(m_codePage == 0 ? kAnsiCodePage : m_codePage, Text());
        if (bytes.isEmpty())
            throw plat::Exception(QStringLiteral("Text cannot be null."));
        if (bytes.size() >= zd::kMaxBytes)
            throw plat::Exception(zd::tooBig());
        zd::TSegmentList segments = zd::pdf417Segments(bytes, m_compactionMode);
        if (m_compactionMode == PDF417CompactionMode::Numeric) {
            // Numeric compaction carries digits only.
            for (char b : bytes)
                if (!zd::isDigitByte(std::uint8_t(b)))
                    throw plat::Exception(QStringLiteral("Numeric compaction needs digits only."));
        }
        layout(zd::pdf417Compact(bytes, segments));
    } catch (const plat::Exception& e) {
        SetErrorText(e.message());
    }
}

void TzdBarcodePDF417::layout(std::vector<int> codewords)
{
    const int n = int(codewords.size());
    int level;
    switch (m_errorCorrection) {
    case PDF417ErrorCorrection::AutoCorr:
        level = n <= 40 ? 2 : n <= 160 ? 3 : n <= 320 ? 4 : 5;
        break;
    default:
        level = int(m_errorCorrection) - 1;
        break;
    }
    level = std::min(level, zd::maxLevelFitting(zd::kMaxCodewords - n));
    int e = 2 << level;

    int columns = std::clamp(m_columns, 1, zd::kMaxColumns);
    int rows = std::clamp(m_rows, zd::kMinRows, zd::kMaxRows);
    auto fallback = [&] {
        if (columns < 22) {
            columns = 16;
            rows = 58;
        } else {
            columns = 29;
            rows = 32;
        }
    };
    if (m_columns == 0 || m_rows == 0) {
        m_aspectRatio = std::clamp(m_aspectRatio, 0.001L, 1000.0L);
        const long double r = PixelWidth() == 0 ? 3.0L : static_cast<long double>(PixelHeight()) / PixelWidth();
        const long double A = m_aspectRatio;
        const long double b = A * 73 - 4;
        const long double c = (std::sqrt(b * b + A * 68 * (e + n) * r) - b) / (A * 34);
        columns = std::clamp(int(std::trunc(c + 0.5L)), 1, zd::kMaxColumns);
        rows = std::max((e + n - 1) / columns + 1, zd::kMinRows);
        if (rows > zd::kMaxRows) {
            rows = zd::kMaxRows;
            columns = (e + n - 1) / zd::kMaxRows + 1;
        }
    } else {
        if (columns * rows > zd::kMaxCodewords)
            fallback();
        if (columns * rows < e + n) {
            columns = (e + n - 1) / rows + 1;
            if (columns > zd::kMaxColumns) {
                columns = zd::kMaxColumns;
                rows = (e + n - 1) / zd::kMaxColumns + 1;
            }
        }
    }
    if (columns * rows > zd::kMaxCodewords)
        fallback();
    level = zd::maxLevelFitting(columns * rows - n);
    e = 2 << level;

    while (int(codewords.size()) < columns * rows - e)
        codewords.push_back(zd::kTextLatch);
    codewords[0] = int(codewords.size());
    const std::vector<int> ec = zd::pdf417ErrorCodewords(codewords, level);
    codewords.insert(codewords.end(), ec.begin(), ec.end());

    m_codewords = codewords;
    m_layoutColumns = columns;
    m_layoutRows = rows;
    m_errorLevel = level;
    m_dataCount = n;

    const int width = 17 * columns + 69;
    resetImage(rows, width);
    for (int k = 0; k < rows; ++k) {
        int x = 0;
        auto put = [&](int pattern, int modules) {
            for (int m = modules - 1; m >= 0; --m, ++x)
                if ((pattern >> m) & 1)
                    setModule(k, x, true);
        };
        const int cluster = k % 3;
        put(zd::kStartPattern, 17);
        put(zd::pdf417Pattern(cluster, zd::pdf417RowIndicator(k, rows, columns, level, false)), 17);
        for (int c = 0; c < columns; ++c)
            put(zd::pdf417Pattern(cluster, codewords[std::size_t(k * columns + c)]), 17);
        put(zd::pdf417Pattern(cluster, zd::pdf417RowIndicator(k, rows, columns, level, true)), 17);
        put(zd::kStopPattern, 18);
    }
}
