#include "CodePage.h"

#include "Exceptions.h"

#include <QMutex>
#include <QStringDecoder>
#include <QMutexLocker>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <utility>

namespace plat {
namespace {

constexpr char16_t kMicroSign = 0x00B5;

// Code points of the bytes 0x80..0xFF of code page 1250. The five bytes the
// code page leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98) map to the code
// points of the same number, so that every byte survives a round trip.
constexpr std::array<char16_t, 128> kCp1250High = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

struct ReverseEntry {
    char16_t codePoint;
    unsigned char byte;
};

// The table above inverted and sorted by code point, for binary search.
constexpr std::array<ReverseEntry, 128> makeReverseTable()
{
    std::array<ReverseEntry, 128> table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = {kCp1250High[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(table.begin(), table.end(),
              [](const ReverseEntry& a, const ReverseEntry& b) { return a.codePoint < b.codePoint; });
    return table;
}
constexpr std::array<ReverseEntry, 128> kCp1250Reverse = makeReverseTable();

// Returns the byte of c, or -1 when code page 1250 has no byte for it.
int cp1250Byte(char16_t c)
{
    if (c < 0x80)
        return c;
    auto it = std::lower_bound(kCp1250Reverse.begin(), kCp1250Reverse.end(), c,
                               [](const ReverseEntry& e, char16_t v) { return e.codePoint < v; });
    if (it != kCp1250Reverse.end() && it->codePoint == c)
        return it->byte;
    return -1;
}

struct CodePageName {
    int codePage;
    const char* name;
};

// Windows code page numbers and glibc's iconv names for them. CP_OEMCP (1)
// and CP_MACCP (2) resolve to the Czech system's OEM and Macintosh code
// pages; CP_ACP (0) and CP_THREAD_ACP (3) to code page 1250.
constexpr CodePageName kCodePageNames[] = {
    {437, "CP437"},         {737, "CP737"},          {775, "CP775"},
    {850, "CP850"},         {852, "CP852"},          {855, "CP855"},
    {857, "CP857"},         {862, "CP862"},          {864, "CP864"},
    {866, "CP866"},         {869, "CP869"},          {874, "CP874"},
    {932, "CP932"},         {936, "CP936"},          {949, "CP949"},
    {950, "CP950"},         {1200, "UTF-16LE"},      {1201, "UTF-16BE"},
    {1250, "CP1250"},       {1251, "CP1251"},        {1252, "CP1252"},
    {1253, "CP1253"},       {1254, "CP1254"},        {1255, "CP1255"},
    {1256, "CP1256"},       {1257, "CP1257"},        {1258, "CP1258"},
    {1361, "JOHAB"},        {10000, "MACINTOSH"},    {10007, "MAC-CYRILLIC"},
    {10029, "MAC-CENTRALEUROPE"},                    {20866, "KOI8-R"},
    {21866, "KOI8-U"},      {28591, "ISO-8859-1"},   {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"},  {28594, "ISO-8859-4"},   {28595, "ISO-8859-5"},
    {28596, "ISO-8859-6"},  {28597, "ISO-8859-7"},   {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"},  {28600, "ISO-8859-10"},  {28601, "ISO-8859-11"},
    {28603, "ISO-8859-13"}, {28604, "ISO-8859-14"},  {28605, "ISO-8859-15"},
    {28606, "ISO-8859-16"}, {20127, "ASCII"},        {65001, "UTF-8"},
};

constexpr int kCpAcp = 0;
constexpr int kCpOemCp = 1;
constexpr int kCpMacCp = 2;
constexpr int kCpThreadAcp = 3;
constexpr int kCzechOemCodePage = 852;
constexpr int kCzechMacCodePage = 10029;

int resolveCodePage(int codePage)
{
    switch (codePage) {
    case kCpAcp:
    case kCpThreadAcp:
        return kCodePage1250;
    case kCpOemCp:
        return kCzechOemCodePage;
    case kCpMacCp:
        return kCzechMacCodePage;
    default:
        return codePage;
    }
}

[[noreturn]] void unknownCodePage(int codePage)
{
    throw EConvertError(QStringLiteral("Unknown code page %1").arg(codePage));
}

QByteArray requireName(int codePage)
{
    QByteArray name = codePageName(codePage);
    if (name.isEmpty())
        unknownCodePage(codePage);
    return name;
}

// Bytes to skip over one input character that iconv refused: one byte of
// 8-bit input, one UTF-16 unit or a whole surrogate pair of UTF-16LE input.
size_t refusedLength(const char* in, size_t inLeft, bool utf16Input)
{
    if (!utf16Input)
        return 1;
    if (inLeft < 2)
        return inLeft;
    auto unit = [&](size_t at) {
        return static_cast<char16_t>(static_cast<unsigned char>(in[at]) |
                                     (static_cast<unsigned char>(in[at + 1]) << 8));
    };
    if (inLeft >= 4 && QChar::isHighSurrogate(unit(0)) && QChar::isLowSurrogate(unit(2)))
        return 4;
    return 2;
}

// One iconv conversion; an input character that cannot be converted is
// replaced by `replacement` (already in the target encoding) and skipped.
QByteArray convert(const char* to, const char* from, QByteArrayView input,
                   QByteArrayView replacement, bool utf16Input)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw EConvertError(QStringLiteral("No conversion from %1 to %2")
                                .arg(QLatin1String(from), QLatin1String(to)));
    QByteArray out;
    out.reserve(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = static_cast<size_t>(input.size());
    char buffer[4096];
    while (true) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = inLeft ? iconv(cd, &in, &inLeft, &outPtr, &outLeft)
                           : iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        int err = errno;
        out.append(buffer, outPtr - buffer);
        if (rc != static_cast<size_t>(-1)) {
            if (inLeft == 0) {
                // Flush shift state, then done.
                outPtr = buffer;
                outLeft = sizeof buffer;
                iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
                out.append(buffer, outPtr - buffer);
                break;
            }
            continue;
        }
        if (err == E2BIG)
            continue;
        // EILSEQ, or EINVAL (incomplete sequence at the end).
        out.append(replacement.data(), replacement.size());
        size_t skip = refusedLength(in, inLeft, utf16Input);
        in += skip;
        inLeft -= skip;
        if (inLeft == 0 && err == EINVAL)
            break;
    }
    iconv_close(cd);
    return out;
}

char32_t upperCodePoint(char32_t c)
{
    if (c == kMicroSign)
        return c;
    return QChar::toUpper(c);
}

char32_t lowerCodePoint(char32_t c)
{
    return QChar::toLower(c);
}

template <typename Map>
QString mapCodePoints(QStringView text, Map map)
{
    QString result;
    result.reserve(text.size());
    const char16_t* p = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = p[i];
        if (c < 0x80) {
            // ASCII fast path.
            if (char16_t m = static_cast<char16_t>(map(c)); m < 0x80) {
                result.append(QChar(m));
                continue;
            }
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            char32_t cp = QChar::surrogateToUcs4(c, p[i + 1]);
            ++i;
            char32_t m = map(cp);
            char16_t pair[2];
            if (QChar::requiresSurrogates(m)) {
                pair[0] = QChar::highSurrogate(m);
                pair[1] = QChar::lowSurrogate(m);
                result.append(reinterpret_cast<const QChar*>(pair), 2);
            } else {
                result.append(QChar(static_cast<char16_t>(m)));
            }
            continue;
        }
        char32_t m = map(c);
        if (QChar::requiresSurrogates(m))
            m = c; // a simple mapping never leaves the BMP here, but keep length safe
        result.append(QChar(static_cast<char16_t>(m)));
    }
    return result;
}

// Reads the next code point of s at i and advances i.
char32_t nextCodePoint(QStringView s, qsizetype& i)
{
    char16_t c = s.utf16()[i++];
    if (QChar::isHighSurrogate(c) && i < s.size() && QChar::isLowSurrogate(s.utf16()[i]))
        return QChar::surrogateToUcs4(c, s.utf16()[i++]);
    return c;
}

char32_t foldCodePoint(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    return QChar::toCaseFolded(c);
}

template <typename Map>
int compareMapped(QStringView a, QStringView b, Map map)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        char32_t x = map(nextCodePoint(a, i));
        char32_t y = map(nextCodePoint(b, j));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

} // namespace

namespace {

// Eight bytes at a time: a large file is checked at memory speed.
bool isAscii(QByteArrayView bytes)
{
    const char* p = bytes.data();
    const qsizetype n = bytes.size();
    constexpr quint64 kHighBits = 0x8080808080808080ULL;
    qsizetype i = 0;
    for (; i + 64 <= n; i += 64) {
        quint64 any = 0;
        for (int k = 0; k < 64; k += 8) {
            quint64 word;
            std::memcpy(&word, p + i + k, 8);
            any |= word;
        }
        if (any & kHighBits)
            return false;
    }
    for (; i < n; ++i) {
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

TextFileEncoding detectTextEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return TextFileEncoding::Utf8Bom;
    if (!isAscii(bytes) && bytes.isValidUtf8())
        return TextFileEncoding::Utf8;
    return TextFileEncoding::Cp1250;
}

QString decodeTextBytes(QByteArrayView bytes, TextFileEncoding* encoding)
{
    const TextFileEncoding e = detectTextEncoding(bytes);
    if (encoding)
        *encoding = e;
    switch (e) {
    case TextFileEncoding::Utf8Bom:
        return QString::fromUtf8(bytes.sliced(3));
    case TextFileEncoding::Utf8:
        return QString::fromUtf8(bytes);
    case TextFileEncoding::Cp1250:
        break;
    }
    return cp1250ToUnicode(bytes);
}

QByteArray encodeTextBytes(QStringView text, TextFileEncoding encoding)
{
    switch (encoding) {
    case TextFileEncoding::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case TextFileEncoding::Utf8:
        return text.toUtf8();
    case TextFileEncoding::Cp1250:
        break;
    }
    return unicodeToCp1250(text);
}

QString cp1250ToUnicode(QByteArrayView bytes)
{
    QString result(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        unsigned char b = in[i];
        out[i] = b < 0x80 ? b : kCp1250High[b - 0x80];
    }
    return result;
}

QByteArray unicodeToCp1250(QStringView text)
{
    QByteArray result(text.size(), Qt::Uninitialized);
    char* out = result.data();
    qsizetype n = 0;
    const char16_t* p = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character: one '?'.
        if (QChar::isHighSurrogate(p[i]) && i + 1 < text.size() && QChar::isLowSurrogate(p[i + 1]))
            ++i;
        int b = cp1250Byte(p[i]);
        out[n++] = b < 0 ? '?' : static_cast<char>(b);
    }
    result.truncate(n);
    return result;
}

bool isCp1250Representable(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return cp1250Byte(c.unicode()) >= 0; });
}

QByteArray codePageName(int codePage)
{
    codePage = resolveCodePage(codePage);
    for (const auto& entry : kCodePageNames)
        if (entry.codePage == codePage)
            return QByteArray(entry.name);
    return {};
}

QString codePageToUnicode(int codePage, QByteArrayView bytes)
{
    codePage = resolveCodePage(codePage);
    if (codePage == kCodePage1250)
        return cp1250ToUnicode(bytes);
    if (codePage == kCodePageUtf8)
        return QString::fromUtf8(bytes);
    QByteArray name = requireName(codePage);
    static constexpr char16_t kQuestion = u'?';
    QByteArray utf16 = convert("UTF-16LE", name.constData(), bytes,
                               QByteArrayView(reinterpret_cast<const char*>(&kQuestion), 2), false);
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

QByteArray unicodeToCodePage(int codePage, QStringView text)
{
    codePage = resolveCodePage(codePage);
    if (codePage == kCodePage1250)
        return unicodeToCp1250(text);
    if (codePage == kCodePageUtf8)
        return text.toUtf8();
    QByteArray name = requireName(codePage);
    QByteArrayView input(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    // UTF-16 targets take the replacement as a UTF-16 unit.
    QByteArray replacement = "?";
    if (codePage == 1200)
        replacement = QByteArray("?\0", 2);
    else if (codePage == 1201)
        replacement = QByteArray("\0?", 2);
    return convert(name.constData(), "UTF-16LE", input, replacement, true);
}

QChar ansiUpperChar(QChar c)
{
    return QChar(static_cast<char16_t>(upperCodePoint(c.unicode())));
}

QChar ansiLowerChar(QChar c)
{
    return QChar(static_cast<char16_t>(lowerCodePoint(c.unicode())));
}

QString AnsiUpperCase(QStringView text)
{
    return mapCodePoints(text, upperCodePoint);
}

QString AnsiLowerCase(QStringView text)
{
    return mapCodePoints(text, lowerCodePoint);
}

QString foldCase(QStringView text)
{
    return mapCodePoints(text, foldCodePoint);
}

bool SameText(QStringView a, QStringView b)
{
    // Simple folding keeps every character in its plane, so lengths match.
    if (a.size() != b.size())
        return false;
    return compareMapped(a, b, foldCodePoint) == 0;
}

bool AnsiSameText(QStringView a, QStringView b)
{
    return SameText(a, b);
}

int CompareText(QStringView a, QStringView b)
{
    return compareMapped(a, b, foldCodePoint);
}

int AnsiCompareText(QStringView a, QStringView b)
{
    return compareMapped(a, b, foldCodePoint);
}

int CompareStr(QStringView a, QStringView b)
{
    return compareMapped(a, b, [](char32_t c) { return c; });
}

int AnsiCompareStr(QStringView a, QStringView b)
{
    return CompareStr(a, b);
}

} // namespace plat
