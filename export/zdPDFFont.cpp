#include "zdPDFFont.h"
#include "zdExportPDF_p.h"

#include "FontEngine.h"
#include "Graphics.h"
#include "zdTrueTypeCollection.h"
#include "zdTrueTypeFont.h"

#include <hb-ot.h>
#include <hb.h>
#include <unicode/ubidi.h>
#include <unicode/uscript.h>

#include <QStringList>

#include <cmath>
#include <map>

namespace {

// Fonts whose bold and italic are simulated: one PDF font per name.
const QStringList& specialFonts()
{
    static const QStringList names = {
        QStringLiteral("MS ????"), QStringLiteral("MS P????"),      QStringLiteral("MS ??"),
        QStringLiteral("MS P??"),  QStringLiteral("MS UI Gothic"), QStringLiteral("Arial Black"),
        QStringLiteral("Arial Unicode MS"),
    };
    return names;
}

constexpr int kMaxCMapBlock = 100; // entries per bfchar block
constexpr int kAsciiBlank = 32;
// A glyph of Arial Unicode MS that readers draw over its neighbours; only
// that font's glyph of this index is dropped.
constexpr quint16 kArialUnicodeStrayGlyph = 667;

QByteArray hex4(unsigned v)
{
    return QByteArray::number(v, 16).toUpper().rightJustified(4, '0');
}

int scaled(long double units, int upem)
{
    return int(std::nearbyint(units * 1000.0L / upem));
}

// scaled() for whole font units, in integers: the same half-to-even result
// (a quotient of integers is a tie only when it is one exactly), without a
// long double rounding for every glyph of every line.
int scaledUnits(qint32 units, int upem)
{
    const qint64 n = qint64(units) * 1000;
    const qint64 d = upem;
    qint64 q = n / d;
    qint64 r = n % d; // sign of n
    if (r < 0) {
        --q;
        r += d;
    }
    // n/d = q + r/d with 0 <= r < d
    if (2 * r > d || (2 * r == d && (q & 1)))
        ++q;
    return int(q);
}

// No character that could start a right-to-left run or a bidi control: the
// line is one left-to-right run and needs no bidi pass.
bool plainLeftToRight(const QString& text)
{
    constexpr char16_t kFirstRightToLeftBlock = 0x0590; // Hebrew; everything below is LTR or neutral
    for (QChar ch : text)
        if (ch.unicode() >= kFirstRightToLeftBlock)
            return false;
    return true;
}

} // namespace

namespace zd {

QByteArray pdfNameEscape(const QByteArray& Name)
{
    static const QByteArray delimiters = "()<>[]{}/%#";
    QByteArray out;
    for (char ch : Name) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x21 || b > 0x7E || delimiters.contains(ch))
            out += '#' + QByteArray::number(b, 16).toUpper().rightJustified(2, '0');
        else
            out += ch;
    }
    return out;
}

QByteArray pdfToUnicodeCMap(const QByteArray& CMapName, const std::vector<quint16>& Glyphs,
                            const std::vector<QString>& Texts)
{
    QByteArray out;
    auto line = [&](const QByteArray& l) { out += l + "\r\n"; };
    for (const char* l : {"/CIDInit /ProcSet findresource begin", "12 dict begin", "begincmap", "/CIDSystemInfo",
                          "<< /Registry (Adobe)", "/Ordering (UCS)", "/Supplement 0", ">> def"})
        line(l);
    line("/CMapName /" + CMapName + " def");
    line("/CMapType 2 def");
    line("1 begincodespacerange");
    line("<0000> <FFFF>");
    line("endcodespacerange");
    // Glyphs that share their cluster with an earlier one stand for no text.
    std::vector<size_t> mapped;
    for (size_t k = 0; k < Glyphs.size(); ++k)
        if (!Texts[k].isEmpty())
            mapped.push_back(k);
    for (size_t start = 0; start < mapped.size(); start += kMaxCMapBlock) {
        const size_t end = std::min(mapped.size(), start + kMaxCMapBlock);
        line(QByteArray::number(qsizetype(end - start)) + " beginbfchar");
        for (size_t i = start; i < end; ++i) {
            const size_t k = mapped[i];
            QByteArray dst;
            for (QChar ch : Texts[k])
                dst += hex4(ch.unicode());
            line("<" + hex4(Glyphs[k]) + "> <" + dst + ">");
        }
        line("endbfchar");
    }
    for (const char* l : {"endcmap", "CMapName currentdict /CMap defineresource pop", "end", "end"})
        line(l);
    return out;
}

} // namespace zd

struct TzdPDFFont::Shaper {
    QByteArray data;
    hb_blob_t* blob = nullptr;
    hb_face_t* face = nullptr;
    hb_font_t* font = nullptr;
    hb_buffer_t* buffer = nullptr; // reused by every line
    int upem = 1000;

    explicit Shaper(const plat::FontFace& f) : data(f.FileBytes())
    {
        blob = hb_blob_create(data.constData(), unsigned(data.size()), HB_MEMORY_MODE_READONLY, nullptr, nullptr);
        face = hb_face_create(blob, unsigned(f.FaceIndex()));
        font = hb_font_create(face);
        upem = int(hb_face_get_upem(face));
        hb_font_set_scale(font, upem, upem);
        buffer = hb_buffer_create();
    }
    ~Shaper()
    {
        hb_buffer_destroy(buffer);
        hb_font_destroy(font);
        hb_face_destroy(face);
        hb_blob_destroy(blob);
    }
    Shaper(const Shaper&) = delete;
    Shaper& operator=(const Shaper&) = delete;
};

TzdPDFFont::TzdPDFFont(const plat::TFont& Font)
    : m_name(Font.Name())
    , m_bold(Font.Style().contains(plat::fsBold))
    , m_italic(Font.Style().contains(plat::fsItalic))
    , m_underline(Font.Style().contains(plat::fsUnderline))
    , m_strikeOut(Font.Style().contains(plat::fsStrikeOut))
    , m_special(IsSpecialFont(Font.Name()))
    , m_face(&plat::FontEngine::Instance().Match(Font))
{
}

TzdPDFFont::~TzdPDFFont() = default;

bool TzdPDFFont::IsSpecialFont(const QString& Name)
{
    return specialFonts().contains(Name, Qt::CaseInsensitive);
}

bool TzdPDFFont::Matches(const plat::TFont& Font) const
{
    if (Font.Name() != m_name)
        return false;
    if (m_special)
        return true;
    const auto st = Font.Style();
    return st.contains(plat::fsBold) == m_bold && st.contains(plat::fsItalic) == m_italic &&
           st.contains(plat::fsUnderline) == m_underline && st.contains(plat::fsStrikeOut) == m_strikeOut;
}

QByteArray TzdPDFFont::PdfFontName() const
{
    QByteArray name = m_name.toUtf8();
    if (!m_special && (m_bold || m_italic)) {
        name += ',';
        if (m_bold)
            name += "Bold";
        if (m_italic)
            name += "Italic";
    }
    return zd::pdfNameEscape(name);
}

bool TzdPDFFont::MustEmbed(bool EmbeddedFonts) const
{
    // Glyph indices are those of the resolved face: a reader that finds
    // another font under the requested name would draw the wrong glyphs.
    return EmbeddedFonts || m_face->FamilyName().compare(m_name, Qt::CaseInsensitive) != 0;
}

namespace {

// Runs of one script inside a bidi run; Common and Inherited characters
// join the run they are in.
std::vector<std::pair<int, int>> scriptRuns(const QString& text, int start, int length)
{
    std::vector<std::pair<int, int>> runs;
    UScriptCode current = USCRIPT_COMMON;
    int runStart = start;
    int i = start;
    while (i < start + length) {
        char32_t cp = text[i].unicode();
        int units = 1;
        if (text[i].isHighSurrogate() && i + 1 < start + length && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
            units = 2;
        }
        UErrorCode err = U_ZERO_ERROR;
        const UScriptCode sc = uscript_getScript(UChar32(cp), &err);
        if (sc != USCRIPT_COMMON && sc != USCRIPT_INHERITED) {
            if (current != USCRIPT_COMMON && sc != current) {
                runs.emplace_back(runStart, i - runStart);
                runStart = i;
            }
            current = sc;
        }
        i += units;
    }
    if (i > runStart)
        runs.emplace_back(runStart, i - runStart);
    return runs;
}

struct VisualRun {
    int start, length;
    bool rtl;
};

std::vector<VisualRun> bidiRuns(const QString& text, bool rightToLeft)
{
    std::vector<VisualRun> runs;
    if (!rightToLeft && plainLeftToRight(text)) {
        runs.push_back({0, int(text.size()), false});
        return runs;
    }
    UErrorCode err = U_ZERO_ERROR;
    UBiDi* bidi = ubidi_openSized(int32_t(text.size()), 0, &err);
    ubidi_setPara(bidi, reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()),
                  rightToLeft ? 1 : 0, nullptr, &err);
    const int32_t count = U_SUCCESS(err) ? ubidi_countRuns(bidi, &err) : 0;
    for (int32_t r = 0; U_SUCCESS(err) && r < count; ++r) {
        int32_t start = 0, length = 0;
        const UBiDiDirection dir = ubidi_getVisualRun(bidi, r, &start, &length);
        runs.push_back({int(start), int(length), dir == UBIDI_RTL});
    }
    ubidi_close(bidi);
    if (!U_SUCCESS(err) || runs.empty())
        runs = {{0, int(text.size()), rightToLeft}};
    return runs;
}

} // namespace

TzdPDFShapedLine TzdPDFFont::ShapeLine(const QString& Text, bool RightToLeft)
{
    TzdPDFShapedLine result;
    if (Text.isEmpty())
        return result;
    if (!m_shaper)
        m_shaper = std::make_unique<Shaper>(*m_face);
    Shaper& sh = *m_shaper;
    // Kerning and optional ligatures off: widths as the memo layout measures them.
    static const hb_feature_t features[] = {
        {HB_TAG('k', 'e', 'r', 'n'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
        {HB_TAG('l', 'i', 'g', 'a'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
        {HB_TAG('c', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
    };
    std::vector<int> advances;
    std::vector<int> clusters;
    hb_buffer_t* buf = sh.buffer;
    for (const VisualRun& run : bidiRuns(Text, RightToLeft)) {
        auto pieces = scriptRuns(Text, run.start, run.length);
        if (run.rtl)
            std::reverse(pieces.begin(), pieces.end());
        for (const auto& [start, length] : pieces) {
            hb_buffer_clear_contents(buf);
            hb_buffer_add_utf16(buf, reinterpret_cast<const uint16_t*>(Text.utf16()), int(Text.size()),
                                unsigned(start), length);
            hb_buffer_set_direction(buf, run.rtl ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
            hb_buffer_guess_segment_properties(buf);
            hb_shape(sh.font, buf, features, std::size(features));
            unsigned n = 0;
            const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buf, &n);
            const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buf, &n);
            const size_t first = result.Glyphs.size();
            for (unsigned k = 0; k < n; ++k) {
                int adv = scaledUnits(pos[k].x_advance, sh.upem);
                const int off = scaledUnits(pos[k].x_offset, sh.upem);
                const bool mark =
                    hb_ot_layout_get_glyph_class(sh.face, info[k].codepoint) == HB_OT_LAYOUT_GLYPH_CLASS_MARK;
                if ((off > 0 && k > 0) || mark) {
                    // A mark sits on its base: the base takes the larger extent.
                    const size_t prev = k > 0 ? first + k - 1 : first + k;
                    if (prev < advances.size() && advances[prev] != -1)
                        advances[prev] = std::max(advances[prev], off + adv);
                    else if (prev == first + k)
                        adv = std::max(adv, off + adv);
                    if (k > 0)
                        adv = -1;
                }
                result.Glyphs.push_back(quint16(info[k].codepoint));
                advances.push_back(adv);
                clusters.push_back(int(info[k].cluster));
            }
        }
    }
    hb_buffer_clear_contents(buf);

    // The text of each cluster: from its first code unit to the next cluster's.
    std::vector<int> starts(clusters.begin(), clusters.end());
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    std::vector<bool> clusterMapped(size_t(Text.size()) + 1, false);
    std::vector<size_t> dropped;
    for (QChar ch : Text)
        if (ch.unicode() == kAsciiBlank)
            ++result.Blanks;
    for (size_t k = 0; k < result.Glyphs.size(); ++k) {
        const int c = clusters[k];
        if (advances[k] != -1)
            result.Total += advances[k];
        // The first glyph of a cluster stands for its text, the others for none.
        const bool firstOfCluster = !clusterMapped[size_t(c)];
        clusterMapped[size_t(c)] = true;
        auto clusterText = [&]() -> QString {
            if (!firstOfCluster)
                return {};
            const auto next = std::upper_bound(starts.begin(), starts.end(), c);
            const int end = next == starts.end() ? int(Text.size()) : *next;
            return Text.mid(c, end - c);
        };
        const quint16 g = result.Glyphs[k];
        if (g == kArialUnicodeStrayGlyph &&
            m_face->FamilyName().compare(QLatin1String("Arial Unicode MS"), Qt::CaseInsensitive) == 0) {
            dropped.push_back(k);
            continue;
        }
        if (m_glyphSlot.empty())
            m_glyphSlot.assign(size_t(kGlyphIds), -1);
        int& slot = m_glyphSlot[g];
        if (slot < 0) {
            slot = int(m_glyphs.size());
            m_glyphs.push_back(g);
            m_widths.push_back(advances[k]);
            m_texts.push_back(clusterText());
        } else if (firstOfCluster && m_texts[size_t(slot)].isEmpty()) {
            m_texts[size_t(slot)] = clusterText();
        }
    }
    for (auto k = dropped.rbegin(); k != dropped.rend(); ++k) {
        result.Glyphs.erase(result.Glyphs.begin() + qsizetype(*k));
        clusters.erase(clusters.begin() + qsizetype(*k));
    }
    result.Clusters = std::move(clusters);
    return result;
}

void TzdPDFFont::WriteFontObjects(TzdPDFExport::State& s)
{
    const QByteArray name = PdfFontName();
    const int upem = m_face->UnitsPerEm();
    auto units = [upem](long double v) { return QByteArray::number(scaled(v, upem)); };
    int ff = 0;
    if (MustEmbed(s.embedFonts)) {
        ff = s.allocate();
        s.header(ff);
        QByteArray program = m_face->FileBytes();
        TrueTypeCollection collection;
        collection.Load(program);
        // The very face the font engine resolved, written as a standalone font.
        if (TrueTypeFont* face = collection.Face(m_face->FaceIndex())) {
            program = collection.Reduce(face, QList<quint16>(m_glyphs.begin(), m_glyphs.end()));
            for (size_t k = 0; k < m_glyphs.size(); ++k)
                if (m_widths[k] != -1)
                    m_widths[k] = face->GlyphWidth(m_glyphs[k]).value_or(0);
        }
        s.streamObject(program, true, s.compressed);
    }
    const plat::FontFace::DesignMetrics& dm = m_face->Design();
    const int ascent = m_face->WinAscent(), descent = m_face->WinDescent();
    const int fd = s.allocate();
    s.header(fd);
    s.line("<<");
    s.line("/Type /FontDescriptor");
    s.line("/FontName /" + name);
    s.line("/Flags 32");
    s.line("/FontBBox [" + units(dm.xMin) + ' ' + units(dm.yMin) + ' ' + units(dm.xMax) + ' ' + units(dm.yMax) +
           " ]");
    s.line("/ItalicAngle " + QByteArray::number(qint64(std::nearbyint(dm.italicAngle))));
    s.line("/Ascent " + units(ascent));
    s.line("/Descent " + units(-descent));
    s.line("/Leading " + units(ascent + descent - upem));
    s.line("/CapHeight " + units(ascent + descent));
    const long double stem = dm.weightClass / 65.0L;
    s.line("/StemV " + QByteArray::number(qint64(std::nearbyint(stem * stem)) + 50));
    s.line("/AvgWidth " + units(m_face->AverageCharWidthUnits()));
    s.line("/MxWidth " + units(m_face->MaxAdvanceUnits()));
    s.line("/MissingWidth " + units(m_face->AverageCharWidthUnits()));
    if (ff)
        s.line("/FontFile2 " + zd::ref(ff));
    s.line(">>");
    s.line("endobj");

    const int cm = s.allocate();
    s.header(cm);
    QByteArray cmapName = name;
    cmapName.replace(',', '+');
    s.streamObject(zd::pdfToUnicodeCMap(cmapName, m_glyphs, m_texts), true, s.compressed);

    const int si = s.allocate();
    s.header(si);
    s.line("<<");
    s.line("/Registry " + s.literal("Adobe", si) + " /Ordering " + s.literal("Identity", si) + " /Supplement 0");
    s.line(">>");
    s.line("endobj");

    const int cf = s.allocate();
    s.header(cf);
    s.line("<<");
    s.line("/Type /Font");
    s.line("/Subtype /CIDFontType2");
    s.line("/BaseFont /" + name);
    s.line("/CIDToGIDMap /Identity");
    s.line("/CIDSystemInfo " + zd::ref(si));
    s.line("/FontDescriptor " + zd::ref(fd));
    s.put("/W [ ");
    for (size_t k = 0; k < m_glyphs.size(); ++k)
        s.put(QByteArray::number(m_glyphs[k]) + " [" + QByteArray::number(m_widths[k] == -1 ? 0 : m_widths[k]) +
              "] ");
    s.line("]");
    s.line(">>");
    s.line("endobj");

    s.place(ObjectNumber);
    s.header(ObjectNumber);
    s.line("<<");
    s.line("/Type /Font");
    s.line("/Subtype /Type0");
    s.line("/BaseFont /" + name);
    s.line("/Encoding /Identity-H");
    s.line("/DescendantFonts [" + zd::ref(cf) + "]");
    s.line("/ToUnicode " + zd::ref(cm));
    s.line(">>");
    s.line("endobj");
}
