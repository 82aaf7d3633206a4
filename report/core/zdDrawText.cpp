#include "zdDrawText.h"

#include "Canvas.h"
#include "CodePage.h"
#include "zdHTMLTags.h"
#include "zdWideStrings.h"

#include <QRecursiveMutex>

#include <algorithm>
#include <cmath>
#include <limits>

PLAT_DEFINE_ENUM(TzdHAlign, "haLeft", "haRight", "haCenter", "haBlock")
PLAT_DEFINE_ENUM(TzdVAlign, "vaTop", "vaBottom", "vaCenter")

namespace {

constexpr int kDefPPI = 600; // the layout's resolution
constexpr int kScrPPI = 96;  // the report's geometry unit
constexpr long double kToLayout = static_cast<long double>(kDefPPI) / kScrPPI; // 6.25
constexpr int kPointsPerInch = 72;
constexpr long double kFitSlack = 1;   // the layout height plus one pixel is what lines may fill
constexpr int kBoldOverhang = 2;        // right-aligned bold or italic text keeps clear of the edge

// Half to even, saturated (absurd scales must not overflow). rint rounds as
// nearbyint does in the default rounding mode, without saving the
// floating-point environment on every call: drawing rounds a lot.
int roundTextInt(long double v)
{
    constexpr long double kLimit = std::numeric_limits<int>::max() / 2;
    if (std::isnan(v))
        return 0;
    return int(std::rint(std::clamp(v, -kLimit, kLimit)));
}

int saturate(qint64 v)
{
    return int(std::clamp<qint64>(v, std::numeric_limits<int>::min() / 2, std::numeric_limits<int>::max() / 2));
}

bool isBlank(QChar c) { return c.unicode() == 32 || c.unicode() == 160; }

struct LaidLine {
    QString text;   // without tags
    int flags = 0;  // kzdFirstLine | kzdLastLine
    int sourceStart = 1; // where the line's source begins in the plain text (1-based)
    int sourceEnd = 1;   // just after the line's last source character
    bool hyphen = false; // the layout ended the line with a hyphen
};

// Keeps a font's style over a scope: measuring changes it run by run.
class StyleKeeper {
public:
    explicit StyleKeeper(plat::TFont& font) : m_font(font), m_style(font.Style()) {}
    ~StyleKeeper() { m_font.SetStyle(m_style); }
    StyleKeeper(const StyleKeeper&) = delete;
    StyleKeeper& operator=(const StyleKeeper&) = delete;

private:
    plat::TFont& m_font;
    plat::TFontStyles m_style;
};

// Gives a target canvas back its font, background mode and spacing.
class CanvasKeeper {
public:
    explicit CanvasKeeper(plat::TCanvas& canvas)
        : m_canvas(canvas), m_ppi(canvas.Font().PixelsPerInch()), m_bkMode(canvas.BkMode()),
          m_charExtra(canvas.TextCharacterExtra())
    {
        m_font.SetPixelsPerInch(m_ppi); // so that the height is kept as it is
        m_font.AssignFont(canvas.Font());
    }
    ~CanvasKeeper()
    {
        m_canvas.Font().SetPixelsPerInch(m_ppi);
        m_canvas.Font().AssignFont(m_font);
        m_canvas.SetBkMode(m_bkMode);
        m_canvas.SetTextCharacterExtra(m_charExtra);
    }
    CanvasKeeper(const CanvasKeeper&) = delete;
    CanvasKeeper& operator=(const CanvasKeeper&) = delete;

private:
    plat::TCanvas& m_canvas;
    plat::TFont m_font;
    int m_ppi;
    int m_bkMode;
    int m_charExtra;
};

// Cosine and sine of a rotation, exact at the right angles.
struct Direction {
    long double cos = 1;
    long double sin = 0;
};

Direction direction(int rotation)
{
    switch (rotation) {
    case 0: return {1, 0};
    case 90: return {0, 1};
    case 180: return {-1, 0};
    case 270: return {0, -1};
    default: {
        const long double a = rotation * 3.14159265358979323846264338327950288L / 180;
        return {std::cos(a), std::sin(a)};
    }
    }
}

int normalizedRotation(int rotation) { return ((rotation % 360) + 360) % 360; }

// Adds Delta to the values so that their sum grows by exactly Delta,
// spread evenly.
void spreadCorrection(std::span<int> values, qint64 delta)
{
    const int n = int(values.size());
    if (n == 0 || delta == 0)
        return;
    const int step = delta < 0 ? -1 : 1;
    qint64 rest = delta;
    if (std::abs(delta) >= n) {
        const qint64 each = delta / n;
        for (int& v : values)
            v = saturate(qint64(v) + each);
        rest = delta - each * n;
    }
    zdSpreadIncrements(values, 0, n - 1, int(std::abs(rest)), step);
}

// ---------------------------------------------------------------- hyphenation

// The Russian letters the syllable rules look at, as code page 1251 bytes.
constexpr int kCyrillicCodePage = 1251;
constexpr uchar kVowels[] = {0xC0, 0xC5, 0xA8, 0xC8, 0xCE, 0xD3, 0xDB, 0xDD, 0xDE, 0xDF};
constexpr uchar kConsonants[] = {0xC1, 0xC2, 0xC3, 0xC4, 0xC6, 0xC7, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCF,
                                 0xD0, 0xD1, 0xD2, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDC, 0xDA};
constexpr uchar kSigns[] = {0xDC, 0xDA};
constexpr uchar kShortI = 0xC9;
constexpr int kShortestBrokenWord = 4;
// Characters that end the word a hyphenation looks at.
constexpr QLatin1StringView kWordEnds(" .,-;");

template <size_t N>
bool inSet(const uchar (&set)[N], uchar c)
{
    return std::find(std::begin(set), std::end(set), c) != std::end(set);
}

} // namespace

// ---------------------------------------------------------------- free helpers

void zdSpreadIncrements(std::span<int> values, int first, int last, int count, int step)
{
    first = std::max(first, 0);
    last = std::min(last, int(values.size()) - 1);
    if (count <= 0 || last < first)
        return;
    const int half = std::max(1, (last - first + 1) / 2);
    if (count == 1) {
        values[size_t(first + half - 1)] += step;
        return;
    }
    zdSpreadIncrements(values, first, first + half - 1, count / 2, step);
    zdSpreadIncrements(values, first + half, last, count - count / 2, step);
}

std::vector<int> zdSyllableBreaks(const QString& word)
{
    const int n = int(word.size());
    if (n < kShortestBrokenWord)
        return {};
    const QByteArray bytes = plat::unicodeToCodePage(kCyrillicCodePage, word);
    if (bytes.size() != n)
        return {};
    const auto at = [&bytes](int i) { return uchar(bytes[i]); };
    const auto vowel = [&](int i) { return inSet(kVowels, at(i)); };
    const auto consonant = [&](int i) { return inSet(kConsonants, at(i)); };
    // A part of one character never counts as holding a vowel.
    const auto partHasVowel = [&](int from, int to) {
        if (to - from < 2)
            return false;
        for (int i = from; i < to; ++i)
            if (vowel(i))
                return true;
        return false;
    };
    std::vector<int> breaks;
    for (int p = 1; p < n; ++p) {
        const int c = p - 1; // the character before the break
        const bool doubledBeforeVowel = p + 2 < n && at(p) == at(p + 1) && consonant(p) && vowel(p + 2);
        const bool propose = (consonant(c) && !vowel(p) && !inSet(kSigns, at(p)))
                             || (vowel(c) && at(p) != kShortI && !doubledBeforeVowel);
        if (propose && partHasVowel(0, p) && partHasVowel(p, n))
            breaks.push_back(p);
    }
    return breaks;
}

// ---------------------------------------------------------------- the layout

struct TzdDrawText::Impl {
    mutable plat::TCanvas measure; // its font is the measuring font, at 600 dpi
    TzdHTMLTagsList tags;
    std::vector<LaidLine> lines;
    QString plainText;
    TzdDrawTextOptions options;
    int fontSize = 0;
    plat::TRect layoutRect;
    plat::TRect textRect;
    long double scaleX = 1, scaleY = 1, printScale = 1;
    long double paragraphGap = 0, charSpacing = 0, lineSpacing = 0;
    bool useDefaultCharset = false;
    bool monochrome = false;
    std::vector<int> cumulative, widths600, widthsTarget, advances; // sized to each line

    int em() const { return std::abs(measure.Font().Height()); }
    long double lineHeight() const { return em() / kToLayout + lineSpacing; }
    int linesThatFit() const;

    void wrapParagraph(const QString& source, int width, int charSpacing600, int firstWidth);
    int breakWord(const QString& text, int from, int to) const;

    // Drawing.
    struct Target {
        plat::TCanvas& canvas;
        bool printer;
        int devX, devY;
        Direction dir;
        int charSpacing;    // device pixels
        int charSpacing600; // layout units
        unsigned textOptions;
    };
    int targetHeight(const Target& t, int size) const;
    void applyFormat(const Target& t, const TzdHTMLTag& record) const;
    void drawLine(Target& t, int index, TzdHAlign align, int width, int x, int y);
    void startPoint(int height, int& x, int& y, int& width, int& box, Direction& along) const;
};

int TzdDrawText::Impl::linesThatFit() const
{
    const int n = int(lines.size());
    const long double q = lineHeight();
    // Lines that take no height (spacing at or below minus their height) all fit.
    if (q <= 0)
        return n;
    const long double fit = std::trunc((layoutRect.Height() + kFitSlack) / q);
    return int(std::clamp<long double>(fit, 0, n));
}

TzdDrawText::TzdDrawText() : d(std::make_unique<Impl>()) {}
TzdDrawText::~TzdDrawText() = default;

TzdDrawText::Locker::Locker(TzdDrawText& layout) : m_layout(layout) { m_layout.Lock(); }
TzdDrawText::Locker::~Locker() { m_layout.Unlock(); }
void TzdDrawText::Lock() { zdDrawTextLock().lock(); }
void TzdDrawText::Unlock() { zdDrawTextLock().unlock(); }

void TzdDrawText::SetUseDefaultCharset(bool value) { d->useDefaultCharset = value; }
void TzdDrawText::SetMonochromeText(bool value) { d->monochrome = value; }

void TzdDrawText::SetFont(const plat::TFont& font)
{
    plat::TFont& f = d->measure.Font();
    f.SetName(font.Name());
    f.SetStyle(font.Style());
    f.SetCharset(font.Charset());
    f.SetColor(d->monochrome ? plat::clBlack : font.Color());
    d->fontSize = font.Size();
    f.SetHeight(-roundTextInt(d->fontSize * static_cast<long double>(kDefPPI) / kPointsPerInch));
}

void TzdDrawText::SetOptions(const TzdDrawTextOptions& options)
{
    d->options = options;
    d->options.Rotation = normalizedRotation(options.Rotation);
    d->tags.TagsEnabled = options.HTMLTags;
}

const TzdDrawTextOptions& TzdDrawText::Options() const { return d->options; }

void TzdDrawText::SetDimensions(const plat::TRect& layoutRect, const plat::TRect& textRect, long double scaleX,
                                long double scaleY, long double printScale)
{
    d->layoutRect = layoutRect;
    d->textRect = textRect;
    d->scaleX = scaleX;
    d->scaleY = scaleY;
    d->printScale = printScale;
}

void TzdDrawText::SetSpacings(long double paragraphGap, long double charSpacing, long double lineSpacing)
{
    d->paragraphGap = paragraphGap;
    d->charSpacing = charSpacing;
    d->lineSpacing = lineSpacing;
}

// ---------------------------------------------------------------- laying out

void TzdDrawText::SetText(const TzdWideStrings& source, bool firstParaBreak)
{
    d->plainText.clear();
    d->lines.clear();
    d->tags.Clear();
    if (source.Count() == 0)
        return;
    plat::TFont& font = d->measure.Font();
    StyleKeeper keepStyle(font);
    d->tags.Init(font.Color(), d->fontSize, font.Style());
    const int rotation = d->options.Rotation;
    const bool sideways = (rotation >= 90 && rotation < 180) || rotation >= 270;
    const long double w = sideways ? d->layoutRect.Height() : d->layoutRect.Width();
    const int width = roundTextInt(w * kToLayout);
    const int charSpacing = roundTextInt(d->charSpacing * kToLayout);
    const int firstWidth = roundTextInt((w - d->paragraphGap) * kToLayout);
    for (int i = 0; i < source.Count(); ++i) {
        const QString line = source.Get(i);
        d->plainText += line;
        d->plainText += QLatin1StringView("\r\n");
        const size_t before = d->lines.size();
        d->wrapParagraph(line, width, charSpacing, i == 0 && firstParaBreak ? width : firstWidth);
        if (d->lines.size() > before) {
            d->lines[before].flags |= kzdFirstLine;
            d->lines.back().flags |= kzdLastLine;
        }
    }
}

void TzdDrawText::Impl::wrapParagraph(const QString& source, int width, int charSpacing600, int firstWidth)
{
    tags.NewLine();
    const int paraStart = tags.SourcePos;
    const int paraEnd = paraStart + int(source.size());
    QString text = source;
    tags.ExpandTags(text);
    tags.SourcePos += 2; // the line break
    const int group = tags.Count() - 1;
    const int n = int(text.size());

    // Where each character came from, and whether it may break: the group
    // is split as lines are taken.
    std::vector<int> pos(static_cast<size_t>(n));
    std::vector<char> noWrap(static_cast<size_t>(n));
    {
        const TzdHTMLTags& records = tags.GetLine(group);
        for (int i = 0; i < n && i < records.Count(); ++i) {
            pos[size_t(i)] = records.Items(i).SourcePos;
            noWrap[size_t(i)] = records.Items(i).NoWrap;
        }
    }
    const auto addLine = [&](const QString& lineText, int start, int end, bool hyphen) {
        LaidLine line;
        line.text = lineText;
        line.sourceStart = start;
        line.sourceEnd = end;
        line.hyphen = hyphen;
        lines.push_back(std::move(line));
    };

    if (!options.WordWrap || n <= 1) {
        addLine(text, paraStart, paraEnd, false);
        return;
    }
    const int total =
        tags.FillCharWidths(cumulative, text, useDefaultCharset, true, charSpacing600, group, measure);
    if (total < firstWidth) {
        addLine(text, paraStart, paraEnd, false);
        return;
    }

    std::vector<TzdHTMLTagsList::Cut> cuts; // the records of each line, taken when all are known
    int lineStart = 0;
    int lastBreak = 0;
    qint64 offset = 0;
    qint64 limit = firstWidth;
    for (int i = 0; i < n;) {
        if (text[i].unicode() == 32 && !noWrap[size_t(i)])
            lastBreak = i;
        if (cumulative[size_t(i)] - offset <= limit) {
            ++i;
            continue;
        }
        QString lineText;
        int lastChar = 0; // the last character the line shows
        bool hyphen = false;
        if (lastBreak == lineStart) {
            // No blank to break at: cut the word.
            const int prefix = i == lineStart || !options.WordBreak ? 0 : breakWord(text, lineStart, i);
            if (i == lineStart) {
                lineText = text.mid(i, 1);
                lastBreak = i;
            } else if (prefix > 0) {
                lineText = text.mid(lineStart, prefix) + QLatin1Char('-');
                lastBreak = lineStart + prefix - 1;
                hyphen = true;
            } else {
                lineText = text.mid(lineStart, i - lineStart);
                lastBreak = i - 1;
            }
            lastChar = lastBreak;
        } else {
            const int prefix = options.WordBreak ? breakWord(text, lastBreak + 1, i) : 0;
            if (prefix > 0) {
                lastBreak += prefix;
                lineText = text.mid(lineStart, lastBreak + 1 - lineStart) + QLatin1Char('-');
                lastChar = lastBreak;
                hyphen = true;
            } else {
                lineText = text.mid(lineStart, lastBreak - lineStart);
                lastChar = lastBreak - 1; // the blank is dropped from both lines
            }
        }
        cuts.push_back({lastBreak - lineStart + 1, hyphen});
        addLine(lineText, lineStart == 0 ? paraStart : pos[size_t(lineStart)], pos[size_t(lastChar)] + 1, hyphen);
        offset = cumulative[size_t(lastBreak)];
        lineStart = lastBreak + 1;
        lastBreak = lineStart;
        limit = width;
        i = lineStart;
    }
    if (lineStart < n)
        addLine(text.mid(lineStart), lineStart == 0 ? paraStart : pos[size_t(lineStart)], paraEnd, false);
    tags.WrapAll(cuts);
}

int TzdDrawText::Impl::breakWord(const QString& text, int from, int to) const
{
    const int room = to - from;
    if (room <= 1)
        return 0;
    int end = to;
    while (end < text.size() && !kWordEnds.contains(text[end]))
        ++end;
    // Upper case character by character, so that positions stay.
    QString word = text.mid(from, end - from);
    for (QChar& c : word)
        c = c.toUpper();
    int best = 0;
    for (int p : zdSyllableBreaks(word))
        if (p < room)
            best = std::max(best, p);
    return best;
}

void TzdDrawText::ApplyParaBreaks(bool firstParaBreak, bool lastParaBreak)
{
    if (d->lines.empty())
        return;
    if (firstParaBreak)
        d->lines.front().flags &= ~kzdFirstLine;
    if (lastParaBreak)
        d->lines.back().flags &= ~kzdLastLine;
}

// ---------------------------------------------------------------- measuring

long double TzdDrawText::GetLineHeight() const { return d->lineHeight(); }

long double TzdDrawText::TextHeight() const
{
    if (d->lines.empty())
        return 0;
    const int em = d->em();
    long double h = d->lineHeight() * static_cast<long double>(d->lines.size());
    const int leading = d->measure.GetTextMetrics().tmHeight - em;
    if (leading > 0)
        h += leading / kToLayout;
    if (d->lineSpacing < 0)
        h -= d->lineSpacing;
    return h;
}

long double TzdDrawText::TextWidth()
{
    if (d->lines.empty())
        return 0;
    StyleKeeper keepStyle(d->measure.Font());
    // Each character carries the spacing the layout gave it.
    const qint64 spacing = roundTextInt(d->charSpacing * kToLayout);
    const qint64 indent = roundTextInt(d->paragraphGap * kToLayout);
    qint64 widest = 0;
    for (int i = 0; i < int(d->lines.size()); ++i) {
        const LaidLine& line = d->lines[size_t(i)];
        qint64 w = d->tags.FillCharWidths(d->widths600, line.text, d->useDefaultCharset, false, 0, i, d->measure);
        w += spacing * line.text.size();
        if (line.flags & kzdFirstLine)
            w += indent;
        widest = std::max(widest, w);
    }
    return widest / kToLayout;
}

long double TzdDrawText::GetUnusedHeight() const
{
    const long double room = d->layoutRect.Height() + kFitSlack;
    const long double q = d->lineHeight();
    if (q <= 0) // every line fits; what they leave free is below the text
        return std::max<long double>(room - std::max<long double>(TextHeight(), 0), 0.0001L);
    const long double whole = std::trunc(room / q);
    if (whole <= 0)
        return 0;
    const long double unused = room - q * whole;
    return unused == 0 ? 0.0001L : unused;
}

// ---------------------------------------------------------------- splitting

QString TzdDrawText::GetOutBoundsText(bool& paraBreak)
{
    paraBreak = false;
    const int n = int(d->lines.size());
    const int fit = d->linesThatFit();
    if (fit >= n)
        return {};
    const LaidLine& next = d->lines[size_t(fit)];
    QString rest = d->plainText.mid(next.sourceStart - 1);
    QString kept;
    if (fit > 0) {
        const LaidLine& last = d->lines[size_t(fit - 1)];
        paraBreak = !(last.flags & kzdLastLine);
        // Inside a paragraph the part ends with its last shown character (not
        // the blank it was broken at); between paragraphs it keeps the line
        // breaks, empty paragraphs included.
        kept = d->plainText.left((paraBreak ? last.sourceEnd : next.sourceStart) - 1);
        if (d->options.WordBreak && last.hyphen)
            kept += QLatin1Char('-');
    }
    if (paraBreak && rest.startsWith(QLatin1Char(' ')))
        rest.remove(0, 1);
    if (d->tags.TagsEnabled && fit < d->tags.Count() && d->tags.GetLine(fit).Count() > 0) {
        // The rest starts in the format it had here.
        const TzdHTMLTag& f = d->tags.GetLine(fit).Items(0);
        QString prefix;
        if (f.Style.contains(plat::fsBold))
            prefix.prepend(QLatin1StringView("<b>"));
        if (f.Style.contains(plat::fsItalic))
            prefix.prepend(QLatin1StringView("<i>"));
        if (f.Style.contains(plat::fsUnderline))
            prefix.prepend(QLatin1StringView("<u>"));
        if (f.ScriptPos == spSubscript)
            prefix.prepend(QLatin1StringView("<sub>"));
        else if (f.ScriptPos == spSuperscript)
            prefix.prepend(QLatin1StringView("<sup>"));
        const quint32 rgb = quint32(plat::ColorToRGB(f.Color));
        const quint32 hex = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
        prefix.prepend(QStringLiteral("<font color=\"#%1\">").arg(QString::number(hex, 16).toUpper(), 6, QLatin1Char('0')));
        rest.prepend(prefix);
    }
    d->lines.resize(size_t(fit));
    d->tags.DeleteFrom(fit);
    d->plainText = kept;
    return rest;
}

QString TzdDrawText::GetPlainText() const { return d->plainText; }

QString TzdDrawText::GetWrappedText() const
{
    QString out;
    for (size_t i = 0; i < d->lines.size(); ++i) {
        if (i > 0)
            out += QLatin1StringView("\r\n");
        out += d->lines[i].text;
    }
    return out;
}

QString TzdDrawText::StripTags(const QString& text)
{
    if (text.isEmpty())
        return text;
    const plat::TFont& font = d->measure.Font();
    d->tags.Init(font.Color(), d->fontSize, font.Style());
    QString stripped = text;
    d->tags.ExpandTags(stripped);
    return stripped;
}

int TzdDrawText::LineCount() const { return int(d->lines.size()); }

QString TzdDrawText::Line(int index) const
{
    return index >= 0 && index < LineCount() ? d->lines[size_t(index)].text : QString();
}

int TzdDrawText::LineFlags(int index) const
{
    return index >= 0 && index < LineCount() ? d->lines[size_t(index)].flags : 0;
}

TzdHTMLTagsList& TzdDrawText::HTMLTags() { return d->tags; }

// ---------------------------------------------------------------- drawing

int TzdDrawText::Impl::targetHeight(const Target& t, int size) const
{
    if (t.printer)
        return -roundTextInt(t.devY * static_cast<long double>(size) * printScale / kPointsPerInch);
    return -roundTextInt(size * scaleY * kScrPPI / kPointsPerInch);
}

void TzdDrawText::Impl::applyFormat(const Target& t, const TzdHTMLTag& record) const
{
    plat::TFont& font = t.canvas.Font();
    font.SetHeight(targetHeight(t, record.Size));
    font.SetStyle(record.Style);
    font.SetColor(monochrome ? plat::clBlack : record.Color);
}

void TzdDrawText::Impl::startPoint(int height, int& x, int& y, int& width, int& box, Direction& along) const
{
    const int l = textRect.Left, t = textRect.Top, r = textRect.Right, b = textRect.Bottom;
    const int rotation = options.Rotation;
    const Direction dir = direction(rotation);
    const long double c = std::abs(dir.cos), s = std::abs(dir.sin);
    const long double h = height;
    along = dir;
    // Oblique lines: the width whose slanted block of lines fits the box.
    const auto obliqueWidth = [&] { return roundTextInt((r - l - s * h) / c); };
    if (rotation == 0 || rotation == 180) {
        x = rotation == 0 ? l : r;
        y = rotation == 0 ? t : b;
        width = r - l;
        box = b - t;
    } else if (rotation == 90 || rotation == 270) {
        x = rotation == 90 ? l : r;
        y = rotation == 90 ? b : t;
        width = b - t;
        box = r - l;
    } else if (rotation < 90) {
        width = obliqueWidth();
        x = l;
        y = t + roundTextInt(s * width);
        box = b + height - y - roundTextInt(c * h);
        along = {1, 0};
    } else if (rotation < 180) {
        width = obliqueWidth();
        x = l + roundTextInt(c * width);
        y = b;
        box = b + height - t - roundTextInt(c * h + s * width);
        along = {-1, 0};
    } else if (rotation < 270) {
        width = obliqueWidth();
        x = r;
        y = b - roundTextInt(s * width);
        box = y + height - t - roundTextInt(c * h);
        along = {-1, 0};
    } else {
        width = obliqueWidth();
        x = l + roundTextInt(s * h);
        y = t;
        box = b + height - t - roundTextInt(s * width + c * h);
        along = {1, 0};
    }
}

void TzdDrawText::DrawText(plat::TCanvas& canvas, TzdHAlign hAlign, TzdVAlign vAlign)
{
    if (d->lines.empty() || d->tags.Count() == 0)
        return;
    CanvasKeeper keepCanvas(canvas);
    StyleKeeper keepStyle(d->measure.Font());
    const int rotation = d->options.Rotation;
    Impl::Target t{canvas,
                   canvas.IsPrinterCanvas(),
                   canvas.DeviceDPIX() > 0 ? canvas.DeviceDPIX() : kScrPPI,
                   canvas.DeviceDPIY() > 0 ? canvas.DeviceDPIY() : kScrPPI,
                   direction(rotation),
                   roundTextInt(d->charSpacing * d->scaleX),
                   roundTextInt(d->charSpacing * kToLayout),
                   (d->options.RTLReading ? plat::ETO_RTLREADING : 0u) | (d->options.Clipped ? plat::ETO_CLIPPED : 0u)};

    // The target font: the measuring font at the target's size, rotated.
    plat::TFont& font = canvas.Font();
    if (t.printer)
        font.SetPixelsPerInch(t.devY); // the height below is in printer pixels already
    font.AssignFont(d->measure.Font());
    if (d->monochrome)
        font.SetColor(plat::clBlack);
    const int baseHeight = d->targetHeight(t, d->fontSize);
    font.SetHeight(baseHeight);
    font.SetOrientation(rotation * 10);

    // The whole text's height as the 600-dpi layout has it, and the
    // correction that spreads the difference to the device's line heights.
    const int n = int(d->lines.size());
    const int c = std::abs(baseHeight);
    const int em = d->em();
    const int spacing = roundTextInt(d->lineSpacing * d->scaleY);
    int height = 0;
    if (t.printer) {
        const long double e = static_cast<long double>(kDefPPI) / t.devY / d->printScale;
        height = roundTextInt((d->lineSpacing * d->scaleY * e * n + static_cast<long double>(em) * n) / e);
    } else {
        height = roundTextInt((d->lineSpacing * kToLayout * n + static_cast<long double>(em) * n) / kToLayout * d->scaleY);
    }
    const qint64 correction = d->options.Wysiwyg ? qint64(height) - qint64(n) * (c + spacing) : 0;

    int x = 0, y = 0, width = 0, box = 0;
    Direction along;
    d->startPoint(height, x, y, width, box, along);
    int h = height;
    if (d->lineSpacing < 0 && vAlign != vaTop)
        h += std::abs(roundTextInt(2 * d->lineSpacing));
    const long double room = static_cast<long double>(box) - h;
    if (vAlign == vaBottom) {
        y += roundTextInt(along.cos * room);
        x += roundTextInt(along.sin * room);
    } else if (vAlign == vaCenter) {
        y += roundTextInt(along.cos * room / 2);
        x += roundTextInt(along.sin * room / 2);
    }

    std::vector<int> advances(size_t(std::max(0, n - 1)), c + spacing);
    spreadCorrection(advances, correction);

    canvas.SetBkMode(plat::TRANSPARENT);
    if (!d->options.Wysiwyg)
        canvas.SetTextCharacterExtra(t.charSpacing);
    const int indentPixels = roundTextInt(d->paragraphGap * d->scaleX);
    for (int i = 0; i < n; ++i) {
        const int flags = d->lines[size_t(i)].flags;
        const int indent = (flags & kzdFirstLine) && (hAlign == haLeft || hAlign == haBlock) ? indentPixels : 0;
        TzdHAlign align = hAlign;
        if (hAlign == haBlock && (flags & kzdLastLine))
            align = d->options.RTLReading ? haRight : haLeft;
        // The indent runs along the line, whatever its direction.
        d->drawLine(t, i, align, width - indent, x + roundTextInt(indent * t.dir.cos), y - roundTextInt(indent * t.dir.sin));
        if (i < n - 1) {
            y += roundTextInt(advances[size_t(i)] * t.dir.cos);
            x += roundTextInt(advances[size_t(i)] * t.dir.sin);
        }
    }
}

void TzdDrawText::Impl::drawLine(Target& t, int index, TzdHAlign align, int width, int x, int y)
{
    const LaidLine& line = lines[size_t(index)];
    const plat::TFontCharset charset = measure.Font().Charset();
    const QString text = zd::charsetText(line.text, charset, useDefaultCharset);
    const int length = int(text.size());
    if (length == 0 || index >= tags.Count() || tags.GetLine(index).Count() == 0)
        return;
    const TzdHTMLTags& records = tags.GetLine(index);
    const auto record = [&records](int i) -> const TzdHTMLTag& { return records.Items(std::min(i, records.Count() - 1)); };

    // The line's width as laid out at 600 dpi, in device pixels.
    const qint64 total600 =
        tags.FillCharWidths(widths600, line.text, useDefaultCharset, false, t.charSpacing600, index, measure);
    const long double layout600 = static_cast<long double>(total600 - t.charSpacing600);
    int laidOut = t.printer ? roundTextInt(layout600 * printScale / (static_cast<long double>(kDefPPI) / t.devX))
                            : roundTextInt(layout600 / kToLayout * scaleX);
    // The same characters on the device, in the base size.
    t.canvas.Font().SetHeight(targetHeight(t, fontSize));
    const qint64 measured =
        tags.FillCharWidths(widthsTarget, line.text, useDefaultCharset, false, t.charSpacing, index, t.canvas);
    if (!options.Wysiwyg)
        laidOut = saturate(measured - t.charSpacing);

    int blanks = 0;
    for (QChar ch : text)
        blanks += isBlank(ch);
    if (align == haBlock && blanks == 0)
        align = haLeft;

    const int room = width - laidOut;
    if (align == haRight) {
        const bool slanted = record(0).Style.contains(plat::fsBold) || record(0).Style.contains(plat::fsItalic);
        x += roundTextInt((room + 1) * t.dir.cos) - 1 - (slanted && options.Rotation == 0 ? kBoldOverhang : 0);
        y -= roundTextInt((room + 1) * t.dir.sin);
    } else if (align == haCenter) {
        x += roundTextInt(room / 2.0L * t.dir.cos);
        y -= roundTextInt(room / 2.0L * t.dir.sin);
    }

    // Make the device widths add up to the layout's: over every character,
    // or, justified, over the blanks up to the full width.
    if (align == haBlock) {
        const qint64 delta = qint64(std::abs(width)) + t.charSpacing - measured;
        const qint64 each = delta / blanks, extra = delta % blanks;
        qint64 given = 0;
        for (int i = 0; i < length; ++i) {
            if (!isBlank(text[i]))
                continue;
            qint64 add = each;
            if (given < std::abs(extra))
                add += extra < 0 ? -1 : 1;
            ++given;
            widthsTarget[size_t(i)] = saturate(widthsTarget[size_t(i)] + add);
        }
    } else {
        spreadCorrection(widthsTarget, qint64(laidOut) + t.charSpacing - measured);
    }

    // One text-out call per run of equally formatted characters.
    applyFormat(t, record(0));
    int drop = roundTextInt(record(0).BaselineDrop * static_cast<long double>(record(0).Size) * scaleY);
    const plat::TRect* clip = options.Clipped ? &textRect : nullptr;
    int runStart = 0;
    for (int j = 1; j <= length; ++j) {
        if (j < length && record(j).SameFormat)
            continue;
        const int count = j - runStart;
        t.canvas.ExtTextOut(x + roundTextInt(drop * t.dir.sin), y + roundTextInt(drop * t.dir.cos), t.textOptions, clip,
                            text.mid(runStart, count), options.Wysiwyg ? widthsTarget.data() + runStart : nullptr,
                            options.Wysiwyg ? count : 0);
        if (j == length)
            break;
        qint64 run = 0;
        for (int k = runStart; k < j; ++k)
            run += widthsTarget[size_t(k)];
        x += roundTextInt(run * t.dir.cos);
        y -= roundTextInt(run * t.dir.sin);
        applyFormat(t, record(j));
        drop = roundTextInt(record(j).BaselineDrop * static_cast<long double>(record(j).Size) * scaleY);
        runStart = j;
    }
}

// ---------------------------------------------------------------- shared instance

QRecursiveMutex& zdDrawTextLock()
{
    static QRecursiveMutex lock;
    return lock;
}

TzdDrawText& zdSharedDrawText()
{
    static TzdDrawText shared;
    return shared;
}
