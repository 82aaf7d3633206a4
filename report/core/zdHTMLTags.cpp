#include "zdHTMLTags.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "zdWideStrings.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// What a tag does to the current format.
enum class TagAction { StyleOn, StyleOff, NoWrapOn, NoWrapOff, FontOff, Subscript, Superscript, ScriptOff };

struct SimpleTag {
    QLatin1StringView text;
    TagAction action;
    plat::TFontStyle style = plat::fsBold; // of StyleOn and StyleOff
};

// Every tag without a value, compared ignoring case.
constexpr SimpleTag kSimpleTags[] = {
    {QLatin1StringView("<b>"), TagAction::StyleOn, plat::fsBold},
    {QLatin1StringView("<i>"), TagAction::StyleOn, plat::fsItalic},
    {QLatin1StringView("<u>"), TagAction::StyleOn, plat::fsUnderline},
    {QLatin1StringView("</b>"), TagAction::StyleOff, plat::fsBold},
    {QLatin1StringView("</i>"), TagAction::StyleOff, plat::fsItalic},
    {QLatin1StringView("</u>"), TagAction::StyleOff, plat::fsUnderline},
    {QLatin1StringView("</strike>"), TagAction::StyleOff, plat::fsStrikeOut},
    {QLatin1StringView("</nowrap>"), TagAction::NoWrapOff},
    {QLatin1StringView("</font>"), TagAction::FontOff},
    {QLatin1StringView("</sub>"), TagAction::ScriptOff},
    {QLatin1StringView("</sup>"), TagAction::ScriptOff},
    {QLatin1StringView("<sub>"), TagAction::Subscript},
    {QLatin1StringView("<sup>"), TagAction::Superscript},
    {QLatin1StringView("<nowrap>"), TagAction::NoWrapOn},
    {QLatin1StringView("<strike>"), TagAction::StyleOn, plat::fsStrikeOut},
};

constexpr QLatin1StringView kFontColorTag("<font color=");
constexpr int kColorBits = 0xFFFFFF; // a '#' colour keeps its low 24 bits

bool textAt(const QString& text, qsizetype pos, QLatin1StringView tag)
{
    return QStringView(text).mid(pos, tag.size()).compare(tag, Qt::CaseInsensitive) == 0;
}

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// "RRGGBB" (any number of hexadecimal digits; only the last six count) as
// the platform's colour, blue in the high byte.
plat::TColor hexToColor(QStringView digits)
{
    quint32 value = 0;
    for (QChar c : digits) {
        const int d = hexDigit(c);
        if (d < 0)
            throw plat::EConvertError(QStringLiteral("'$%1' is not a valid integer value").arg(digits.toString()));
        value = ((value << 4) | quint32(d)) & kColorBits;
    }
    return plat::TColor(((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF));
}

int saturateTag(qint64 v)
{
    return int(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

// ---------------------------------------------------------------- records

bool TzdHTMLTag::SameFormatAs(const TzdHTMLTag& o) const
{
    return Style == o.Style && Color == o.Color && Size == o.Size && BaselineDrop == o.BaselineDrop
           && NoWrap == o.NoWrap;
}

TzdHTMLTag& TzdHTMLTags::Items(int index)
{
    if (index < 0 || index >= Count())
        throw plat::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_items[size_t(index)];
}

const TzdHTMLTag& TzdHTMLTags::Items(int index) const { return const_cast<TzdHTMLTags*>(this)->Items(index); }

// ---------------------------------------------------------------- list

void TzdHTMLTagsList::Init(plat::TColor color, int size, plat::TFontStyles style)
{
    DefaultColor = CurColor = color;
    DefaultSize = CurSize = size;
    DefaultStyle = CurStyle = style;
    CurDrop = 0;
    CurNoWrap = false;
    CurScriptPos = spBaseline;
    SourcePos = 1;
    m_lines.clear();
}

void TzdHTMLTagsList::NewLine()
{
    if (!m_lines.empty())
        m_lines.emplace_back();
}

TzdHTMLTags& TzdHTMLTagsList::GetLine(int index)
{
    if (index < 0 || index >= Count())
        throw plat::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_lines[size_t(index)];
}

const TzdHTMLTags& TzdHTMLTagsList::GetLine(int index) const { return const_cast<TzdHTMLTagsList*>(this)->GetLine(index); }

void TzdHTMLTagsList::DeleteFrom(int index)
{
    if (index >= 0 && index < Count())
        m_lines.resize(size_t(index));
}

const TzdHTMLTag* TzdHTMLTagsList::PrevTag() const
{
    if (m_lines.empty())
        return nullptr;
    const auto& last = m_lines.back().m_items;
    if (last.size() >= 2)
        return &last[last.size() - 2];
    if (m_lines.size() < 2 || m_lines[m_lines.size() - 2].m_items.empty())
        return nullptr;
    return &m_lines[m_lines.size() - 2].m_items.back();
}

qsizetype TzdHTMLTagsList::applyTag(const QString& text, qsizetype pos)
{
    for (const SimpleTag& tag : kSimpleTags) {
        if (!textAt(text, pos, tag.text))
            continue;
        switch (tag.action) {
        case TagAction::StyleOn: CurStyle.include(tag.style); break;
        case TagAction::StyleOff: CurStyle.exclude(tag.style); break;
        case TagAction::NoWrapOff: CurNoWrap = false; break;
        case TagAction::NoWrapOn: CurNoWrap = true; break;
        case TagAction::FontOff: CurColor = DefaultColor; break;
        case TagAction::ScriptOff:
            CurSize = DefaultSize;
            CurDrop = 0;
            CurScriptPos = spBaseline;
            break;
        case TagAction::Subscript:
        case TagAction::Superscript:
            CurSize = zd::reducedSize(DefaultSize);
            CurDrop = tag.action == TagAction::Subscript ? 1 : 0;
            CurScriptPos = tag.action == TagAction::Subscript ? spSubscript : spSuperscript;
            break;
        }
        return tag.text.size();
    }
    if (!textAt(text, pos, kFontColorTag))
        return 0;
    const qsizetype close = text.indexOf(QLatin1Char('>'), pos + kFontColorTag.size());
    if (close < 0)
        return 0;
    qsizetype from = pos + kFontColorTag.size();
    while (from < close && text[from] == QLatin1Char(' '))
        ++from;
    const QStringView value = QStringView(text).mid(from, close - from);
    if (value.size() > 3 && value.startsWith(QLatin1StringView("\"#")) && value.endsWith(QLatin1Char('"'))) {
        CurColor = hexToColor(value.mid(2, value.size() - 3));
    } else {
        plat::TColor named = 0;
        if (!plat::IdentToColor(QLatin1StringView("cl") + value.toString(), named))
            return 0;
        CurColor = named;
    }
    return close + 1 - pos;
}

TzdHTMLTag TzdHTMLTagsList::makeRecord(const TzdHTMLTag* previous) const
{
    TzdHTMLTag t;
    t.SourcePos = SourcePos;
    t.Size = CurSize;
    t.Style = CurStyle;
    t.Color = CurColor;
    t.BaselineDrop = CurDrop;
    t.NoWrap = CurNoWrap;
    t.ScriptPos = CurScriptPos;
    t.Reduced = CurSize != DefaultSize;
    if (!TagsEnabled)
        t.SameFormat = true;
    else if (previous)
        t.SameFormat = t.SameFormatAs(*previous);
    else
        t.SameFormat = t.Style == DefaultStyle && t.Color == DefaultColor && t.Size == DefaultSize;
    return t;
}

void TzdHTMLTagsList::ExpandTags(QString& text)
{
    if (m_lines.empty())
        m_lines.emplace_back();
    // The record before the first new one: the last of this group, or of
    // the group before it.
    const TzdHTMLTag* last = nullptr;
    if (!m_lines.back().m_items.empty())
        last = &m_lines.back().m_items.back();
    else if (m_lines.size() >= 2 && !m_lines[m_lines.size() - 2].m_items.empty())
        last = &m_lines[m_lines.size() - 2].m_items.back();
    TzdHTMLTag previous;
    bool hasPrevious = last != nullptr;
    if (last)
        previous = *last;

    auto& group = m_lines.back().m_items;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (TagsEnabled && text[i] == QLatin1Char('<')) {
            if (const qsizetype length = applyTag(text, i)) {
                SourcePos += int(length);
                i += length;
                continue;
            }
        }
        previous = makeRecord(hasPrevious ? &previous : nullptr);
        hasPrevious = true;
        group.push_back(previous);
        out += text[i];
        ++SourcePos;
        ++i;
    }
    if (out.isEmpty()) {
        // The blank stands for an empty paragraph; it takes no place in the
        // source, so the positions after it stay true.
        group.push_back(makeRecord(hasPrevious ? &previous : nullptr));
        out = QStringLiteral(" ");
    }
    text = out;
}

void TzdHTMLTagsList::Wrap(int count, bool addHyphen)
{
    if (m_lines.empty())
        return;
    count = std::max(0, count);
    const size_t kept = m_lines.size() - 1;
    bool split = false;
    if (m_lines[kept].m_items.size() > size_t(count)) {
        auto& items = m_lines[kept].m_items;
        TzdHTMLTags tail;
        tail.m_items.assign(items.begin() + count, items.end());
        items.resize(size_t(count));
        m_lines.push_back(std::move(tail));
        split = true;
    }
    auto& old = m_lines[kept].m_items;
    if (old.empty())
        return;
    if (addHyphen) {
        const TzdHTMLTag hyphen = old.back();
        old.push_back(hyphen);
    } else if (split && m_lines.back().m_items.front().SameFormat) {
        takeFormat(m_lines.back().m_items.front(), old.back());
    }
}

void TzdHTMLTagsList::WrapAll(const std::vector<Cut>& cuts)
{
    if (m_lines.empty() || cuts.empty())
        return;
    // The paragraph's records are cut from the front; moving the tail for
    // every line would make long paragraphs quadratic.
    std::vector<TzdHTMLTag> rest = std::move(m_lines.back().m_items);
    m_lines.pop_back();
    size_t pos = 0;
    size_t next = 0;
    for (; next < cuts.size(); ++next) {
        const size_t count = size_t(std::max(0, cuts[next].Count));
        if (rest.size() - pos <= count)
            break; // nothing beyond: no new group, as Wrap does
        TzdHTMLTags group;
        group.m_items.assign(rest.begin() + qsizetype(pos), rest.begin() + qsizetype(pos + count));
        pos += count;
        if (!group.m_items.empty()) {
            if (cuts[next].AddHyphen)
                group.m_items.push_back(group.m_items.back());
            else if (rest[pos].SameFormat)
                takeFormat(rest[pos], group.m_items.back());
        }
        m_lines.push_back(std::move(group));
    }
    TzdHTMLTags last;
    last.m_items.assign(rest.begin() + qsizetype(pos), rest.end());
    m_lines.push_back(std::move(last));
    for (; next < cuts.size(); ++next)
        Wrap(cuts[next].Count, cuts[next].AddHyphen);
}

void TzdHTMLTagsList::takeFormat(TzdHTMLTag& first, const TzdHTMLTag& previous)
{
    // A new line starts with an explicit format, but keeps its own place in
    // the source: the next part of a split text begins there.
    const int ownPos = first.SourcePos;
    first = previous;
    first.SourcePos = ownPos;
}

int TzdHTMLTagsList::FillCharWidths(std::vector<int>& widths, const QString& text, bool forceWide, bool cumulative,
                                    int addSpacing, int lineIndex, plat::TCanvas& canvas) const
{
    const QString measured = zd::charsetText(text, canvas.Font().Charset(), forceWide);
    const qsizetype n = measured.size();
    widths.assign(size_t(n), 0);
    const std::vector<TzdHTMLTag>* records =
        lineIndex >= 0 && lineIndex < Count() ? &m_lines[size_t(lineIndex)].m_items : nullptr;
    const auto record = [records](qsizetype i) -> const TzdHTMLTag* {
        if (!records || records->empty())
            return nullptr;
        return &(*records)[size_t(std::min<qsizetype>(i, qsizetype(records->size()) - 1))];
    };
    // Advances have no kerning, so each run of one style is measured alone.
    std::vector<int> advances;
    qint64 total = 0;
    for (qsizetype i = 0; i < n;) {
        const TzdHTMLTag* first = record(i);
        const plat::TFontStyles style = first ? first->Style : canvas.Font().Style();
        qsizetype j = i + 1;
        while (j < n && (record(j) ? record(j)->Style : style) == style)
            ++j;
        canvas.Font().SetStyle(style);
        canvas.GetCharWidths(measured.mid(i, j - i), advances);
        for (qsizetype k = i; k < j; ++k) {
            qint64 w = qint64(advances[size_t(k - i)]) + addSpacing;
            if (const TzdHTMLTag* r = record(k); r && r->Reduced)
                w = qint64(std::nearbyint(w / 1.5L));
            widths[size_t(k)] = saturateTag(w);
            total += w;
            if (cumulative)
                widths[size_t(k)] = saturateTag(total);
        }
        i = j;
    }
    return saturateTag(total);
}

// ---------------------------------------------------------------- helpers

namespace zd {

int reducedSize(int size) { return int(std::nearbyint(size / 1.5L)); }

QString charsetText(const QString& text, plat::TFontCharset charset, bool forceWide)
{
    if (forceWide || charset == plat::DEFAULT_CHARSET || text.isEmpty())
        return text;
    QString back;
    try {
        back = zdAnsiToWide(zdWideToAnsi(text, charset), charset);
    } catch (const plat::Exception&) {
        return text; // a character set without a code page shows the text as it is
    }
    if (back.size() == text.size())
        return back;
    // Some character changed its length on the way (a surrogate pair, a
    // double-byte sequence): convert character by character, padding.
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        QString one = zdAnsiToWide(zdWideToAnsi(text.mid(i, len), charset), charset);
        one = one.left(len);
        while (one.size() < len)
            one += QLatin1Char('?');
        out += one;
        i += len - 1;
    }
    return out;
}

} // namespace zd
