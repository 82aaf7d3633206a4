#include "zdTrueTypeFont.h"

#include "zdFontHeaderClass.h"
#include "zdGlyphTableClass.h"
#include "zdHorizontalHeaderClass.h"
#include "zdHorizontalMetrixClass.h"
#include "zdIndexToLocationClass.h"
#include "zdKerningTableClass.h"
#include "zdMaximumProfileClass.h"
#include "zdNameTableClass.h"
#include "zdTrueTypeTable.h"

#include "Services.h"

#include <QStringList>

#include <algorithm>
#include <bit>
#include <set>

namespace {

constexpr quint32 kTrueTypeVersion = 0x00010000;
constexpr quint32 kOpenTypeVersion = TTF_Helpers::MakeTag("OTTO");
constexpr int kOffsetTableSize = 12;
constexpr int kDirectoryRecordSize = 16;

// Bitmaps and device metrics: not of use in an embedded outline font.
constexpr quint32 kLeftOutTables[] = {
    TTF_Helpers::MakeTag("EBLC"), TTF_Helpers::MakeTag("EBDT"), TTF_Helpers::MakeTag("hdmx"),
    TTF_Helpers::MakeTag("VDMX"), TTF_Helpers::MakeTag("DSIG"),
};

// Flags of a composite glyph's component records.
constexpr quint16 kArg1And2AreWords = 0x0001;
constexpr quint16 kWeHaveAScale = 0x0008;
constexpr quint16 kMoreComponents = 0x0020;
constexpr quint16 kWeHaveAnXAndYScale = 0x0040;
constexpr quint16 kWeHaveATwoByTwo = 0x0080;
constexpr int kGlyphHeaderSize = 10;

bool leftOut(quint32 tag)
{
    return std::find(std::begin(kLeftOutTables), std::end(kLeftOutTables), tag) != std::end(kLeftOutTables);
}

template <class T>
T* typed(const std::vector<std::unique_ptr<TrueTypeTable>>& tables, const char (&tag)[5])
{
    for (const auto& t : tables)
        if (t->Tag() == TTF_Helpers::MakeTag(tag))
            return static_cast<T*>(t.get());
    return nullptr;
}

} // namespace

TrueTypeFont::TrueTypeFont(const QByteArray& data, qint64 position) : m_data(data), m_position(position) {}

TrueTypeFont::~TrueTypeFont() = default;

TrueTypeTable* TrueTypeFont::FindTable(quint32 tag) const
{
    for (const auto& t : m_tables)
        if (t->Tag() == tag)
            return t.get();
    return nullptr;
}

// ---------------------------------------------------------------- loading

void TrueTypeFont::Load()
{
    if (m_loaded)
        return;
    readDirectory();
    checkTablesApart();
    loadTables();
    checkGlyphLocations();
    checkTableSums();
    m_loaded = true;
}

void TrueTypeFont::readDirectory()
{
    // A load that failed before leaves nothing half-made behind.
    m_head = nullptr;
    m_name = nullptr;
    m_maxp = nullptr;
    m_hhea = nullptr;
    m_hmtx = nullptr;
    m_loca = nullptr;
    m_glyf = nullptr;
    m_kern = nullptr;
    m_glyphCount = 0;
    m_tables.clear();

    Cursor c(m_data, m_position, kOffsetTableSize);
    m_sfntVersion = c.LongWord();
    // The versions a font file may start with (a face of a collection too).
    if (m_sfntVersion != kTrueTypeVersion && m_sfntVersion != kOpenTypeVersion)
        RaiseFormatError();
    const quint16 numTables = c.Word();
    m_searchRange = c.Word();
    m_entrySelector = c.Word();
    m_rangeShift = c.Word();
    CheckRange(m_data, m_position + kOffsetTableSize, qint64(numTables) * kDirectoryRecordSize);

    std::set<quint32> tags;
    for (int i = 0; i < numTables; ++i) {
        const TrueTypeTable entry(m_data, m_position + kOffsetTableSize + qint64(i) * kDirectoryRecordSize);
        if (leftOut(entry.Tag()))
            continue;
        CheckRange(m_data, entry.Offset(), entry.Length());
        if (!tags.insert(entry.Tag()).second)
            RaiseFormatError();
        m_tables.push_back(CreateTrueTypeTable(entry));
    }
    m_numTables = int(m_tables.size());
}

// Each table is carried over separately, so tables may not share bytes (the
// reduced font could otherwise grow far beyond the source).
void TrueTypeFont::checkTablesApart() const
{
    std::vector<const TrueTypeTable*> byOffset;
    for (const auto& t : m_tables)
        if (t->Length() > 0)
            byOffset.push_back(t.get());
    std::sort(byOffset.begin(), byOffset.end(), [](auto* a, auto* b) { return a->Offset() < b->Offset(); });
    for (size_t i = 1; i < byOffset.size(); ++i)
        if (byOffset[i]->Offset() < byOffset[i - 1]->Offset() + byOffset[i - 1]->Length())
            RaiseFormatError();
}

void TrueTypeFont::loadTables()
{
    m_head = typed<FontHeaderClass>(m_tables, "head");
    m_name = typed<NameTableClass>(m_tables, "name");
    m_maxp = typed<MaximumProfileClass>(m_tables, "maxp");
    m_hhea = typed<HorizontalHeaderClass>(m_tables, "hhea");
    m_hmtx = typed<HorizontalMetrixClass>(m_tables, "hmtx");
    m_loca = typed<IndexToLocationClass>(m_tables, "loca");
    m_glyf = typed<GlyphTableClass>(m_tables, "glyf");
    m_kern = typed<KerningTableClass>(m_tables, "kern");

    // The tables that others depend on first, whatever the directory order.
    for (TrueTypeTable* t : std::initializer_list<TrueTypeTable*>{m_head, m_hhea, m_maxp})
        if (t)
            t->Load(m_data);
    if (m_loca) {
        if (!m_head)
            RaiseFormatError();
        m_loca->SetFormat(m_head->indexToLocFormat);
    }
    if (m_hmtx)
        m_hmtx->SetMetricCount(m_hhea ? m_hhea->numberOfHMetrics : 0);
    for (const auto& t : m_tables)
        if (t.get() != m_head && t.get() != m_hhea && t.get() != m_maxp)
            t->Load(m_data);

    m_glyphCount = m_maxp ? m_maxp->numGlyphs : m_loca ? std::max(0, int(m_loca->offsets.size()) - 1) : 0;
}

// Every glyph's outline lies inside "glyf", in ascending order; so the kept
// outlines together are never larger than the table.
void TrueTypeFont::checkGlyphLocations() const
{
    if (!m_loca)
        return;
    const std::vector<quint32>& o = m_loca->offsets;
    if (o.size() < size_t(m_glyphCount) + 1)
        RaiseFormatError();
    if (!m_glyf)
        return;
    for (int g = 0; g < m_glyphCount; ++g)
        if (o[g + 1] < o[g])
            RaiseFormatError();
    if (o[m_glyphCount] > m_glyf->Length())
        RaiseFormatError();
}

// A mismatch is shown and passed over: the font may still be usable, and
// the reduced font gets sums of its own.
void TrueTypeFont::checkTableSums() const
{
    QStringList errors;
    for (const auto& t : m_tables) {
        const quint32 computed = t->ComputedCheckSum(m_data);
        if (computed != t->StoredCheckSum())
            errors << QStringLiteral("Table ID \"%1\" checksum error.%2 %3")
                          .arg(t->TagName())
                          .arg(computed)
                          .arg(t->StoredCheckSum());
    }
    // One box per face, however many tables are damaged.
    if (!errors.isEmpty() && plat::HasServices())
        plat::Services().MessageBox(errors.join(u'\n'), QStringLiteral("Font table checksum error"), plat::MB_YESNO);
}

QString TrueTypeFont::FullName()
{
    Load();
    return m_name ? m_name->Name(m_data, NameTableClass::kFullName) : QString();
}

int TrueTypeFont::KerningValue(quint16 left, quint16 right) const
{
    return m_loaded && m_kern ? m_kern->PairValue(m_data, left, right) : 0;
}

// ---------------------------------------------------------------- glyphs

TrueTypeFont::GlyphSpan TrueTypeFont::glyphSpan(int glyph) const
{
    const std::vector<quint32>& o = m_loca->offsets;
    return {qint64(o[glyph]), qint64(o[glyph + 1]) - qint64(o[glyph])};
}

std::vector<quint16> TrueTypeFont::components(int glyph) const
{
    std::vector<quint16> result;
    const GlyphSpan span = glyphSpan(glyph);
    if (span.length == 0)
        return result;
    const qint64 start = m_glyf->Offset() + span.offset;
    Cursor c(m_data, start, span.length);
    if (c.SmallInt() >= 0) // number of contours: a simple glyph
        return result;
    c.Skip(kGlyphHeaderSize - 2);
    quint16 flags;
    do {
        flags = c.Word();
        const quint16 component = c.Word();
        if (component >= m_glyphCount)
            RaiseFormatError();
        result.push_back(component);
        c.Skip(flags & kArg1And2AreWords ? 4 : 2);
        if (flags & kWeHaveAScale)
            c.Skip(2);
        else if (flags & kWeHaveAnXAndYScale)
            c.Skip(4);
        else if (flags & kWeHaveATwoByTwo)
            c.Skip(8);
    } while (flags & kMoreComponents);
    return result;
}

int TrueTypeFont::width(int glyph) const
{
    return m_hmtx->Advance(glyph) * 1000 / m_head->unitsPerEm;
}

// Components before the glyph that uses them, each glyph once.
void TrueTypeFont::keepGlyph(quint16 glyph, int depth)
{
    if (depth > kMaxComponentDepth)
        RaiseFormatError();
    for (const quint16 c : components(glyph))
        if (m_widthOf[c] < 0)
            keepGlyph(c, depth + 1);
    if (m_widthOf[glyph] < 0) {
        const int w = width(glyph);
        m_widthOf[glyph] = w;
        m_keptGlyphs.push_back(glyph);
        m_keptWidths.push_back(w);
    }
}

std::optional<int> TrueTypeFont::GlyphWidth(quint16 glyph) const
{
    if (glyph < m_widthOf.size() && m_widthOf[glyph] >= 0)
        return m_widthOf[glyph];
    return std::nullopt;
}

// ---------------------------------------------------------------- reduction

QByteArray TrueTypeFont::Reduce(const QList<quint16>& usedGlyphs)
{
    Load();
    // A face with PostScript outlines has no TrueType glyph table to reduce.
    if (!m_glyf || m_sfntVersion != kTrueTypeVersion)
        Raise(ttf::kNoGlyphTable);
    if (!m_head || !m_loca || !m_hmtx)
        RaiseFormatError();

    // Glyphs the font does not have cannot be kept.
    for (const quint16 g : usedGlyphs)
        if (g < m_glyphCount)
            m_usedGlyphs.push_back(g);
    std::sort(m_usedGlyphs.begin(), m_usedGlyphs.end());
    m_usedGlyphs.erase(std::unique(m_usedGlyphs.begin(), m_usedGlyphs.end()), m_usedGlyphs.end());

    m_keptGlyphs.clear();
    m_keptWidths.clear();
    m_widthOf.assign(m_glyphCount, -1);
    try {
        for (const quint16 g : m_usedGlyphs)
            keepGlyph(g, 0);
        // Font checkers refuse an empty outline table: when no kept glyph has
        // an outline (only blanks were used), .notdef keeps its own.
        const bool noOutline = std::none_of(m_keptGlyphs.begin(), m_keptGlyphs.end(),
                                            [this](quint16 g) { return glyphSpan(g).length > 0; });
        if (noOutline && m_glyphCount > 0)
            keepGlyph(0, 0);
    } catch (...) {
        m_keptGlyphs.clear();
        m_keptWidths.clear();
        m_widthOf.clear();
        throw;
    }
    reduceOutlines();
    return writeFont();
}

// The kept outlines in glyph order; every other glyph becomes empty.
void TrueTypeFont::reduceOutlines()
{
    QByteArray glyphs;
    std::vector<quint32>& offsets = m_loca->newOffsets;
    offsets.assign(m_loca->offsets.size(), 0);
    quint32 length = 0;
    for (int g = 0; g < m_glyphCount; ++g) {
        offsets[g] = length;
        if (m_widthOf[g] < 0)
            continue;
        const GlyphSpan span = glyphSpan(g);
        glyphs.append(m_data.constData() + m_glyf->Offset() + span.offset, span.length);
        length += quint32(span.length);
    }
    std::fill(offsets.begin() + m_glyphCount, offsets.end(), length);
    m_glyf->newData = glyphs.isNull() ? QByteArray("") : glyphs;
}

QByteArray TrueTypeFont::writeFont() const
{
    // Tables in the order they had in the source; the directory sorted by tag.
    std::vector<const TrueTypeTable*> order;
    for (const auto& t : m_tables)
        order.push_back(t.get());
    std::stable_sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->Offset() < b->Offset(); });

    struct Record {
        quint32 tag, checkSum, offset, length;
    };
    std::vector<Record> records;
    const int n = int(order.size());
    QByteArray out(kOffsetTableSize + qint64(n) * kDirectoryRecordSize, '\0');
    qint64 headAt = -1;
    for (const TrueTypeTable* t : order) {
        const qint64 at = out.size();
        if (at % 4 != 0)
            Raise(ttf::kAlignError);
        const qint64 length = t->Write(m_data, out);
        out.append((4 - out.size() % 4) % 4, '\0');
        if (t == m_head)
            headAt = at;
        records.push_back({t->Tag(), CheckSum(out, at, length), quint32(at), quint32(length)});
    }
    std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) { return a.tag < b.tag; });

    // The binary-search fields follow the new table count.
    const int entrySelector = n > 0 ? std::bit_width(unsigned(n)) - 1 : 0;
    const int searchRange = (1 << entrySelector) * kDirectoryRecordSize;
    WriteLongWord(out, 0, m_sfntVersion);
    WriteWord(out, 4, quint16(n));
    WriteWord(out, 6, quint16(searchRange));
    WriteWord(out, 8, quint16(entrySelector));
    WriteWord(out, 10, quint16(n * kDirectoryRecordSize - searchRange));
    qint64 at = kOffsetTableSize;
    for (const Record& r : records) {
        WriteLongWord(out, at, r.tag);
        WriteLongWord(out, at + 4, r.checkSum);
        WriteLongWord(out, at + 8, r.offset);
        WriteLongWord(out, at + 12, r.length);
        at += kDirectoryRecordSize;
    }
    if (headAt >= 0)
        WriteLongWord(out, headAt + FontHeaderClass::kCheckSumAdjustmentOffset,
                      FontHeaderClass::kCheckSumMagic - CheckSum(out, 0, out.size()));
    return out;
}
