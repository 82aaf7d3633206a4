#pragma once
// One font of a PDF export: a Type0 font over a CIDFontType2 descendant
// addressed by glyph index, with a ToUnicode map, a width array and, when
// embedding, the TrueType program reduced to the used glyphs.
//
// Lines are shaped with HarfBuzz on the very face the font engine resolved
// for the report font (bidi levels from ICU first), with kerning and
// optional ligatures off so that widths agree with the memo layout.

#include "zdExportPDF.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace plat {
class FontFace;
class TFont;
} // namespace plat

// One shaped line in visual order.
struct TzdPDFShapedLine {
    std::vector<quint16> Glyphs;
    // For each glyph, the index of its cluster's first code unit in the text.
    std::vector<int> Clusters;
    qint64 Total = 0; // sum of advances, 1/1000 em
    int Blanks = 0;
};

class TzdPDFFont {
public:
    explicit TzdPDFFont(const plat::TFont& Font);
    ~TzdPDFFont();
    TzdPDFFont(const TzdPDFFont&) = delete;
    TzdPDFFont& operator=(const TzdPDFFont&) = delete;

    bool Matches(const plat::TFont& Font) const;
    TzdPDFShapedLine ShapeLine(const QString& Text, bool RightToLeft);
    QByteArray PdfFontName() const;
    // True when the font program must go into the file: asked for, or the
    // face the font engine resolved is not the font the report names.
    bool MustEmbed(bool EmbeddedFonts) const;
    void WriteFontObjects(TzdPDFExport::State& s);
    static bool IsSpecialFont(const QString& Name);

    QByteArray ResourceName;
    int ObjectNumber = 0;
    bool Numbered = false;

    // Used glyphs in order of first use, with widths (-1: a mark placed on
    // its base) and the text each stands for.
    const std::vector<quint16>& Glyphs() const { return m_glyphs; }
    const std::vector<int>& Widths() const { return m_widths; }
    const std::vector<QString>& Texts() const { return m_texts; }
    const plat::FontFace& Face() const { return *m_face; }

private:
    struct Shaper;
    QString m_name;
    bool m_bold = false, m_italic = false, m_underline = false, m_strikeOut = false;
    bool m_special = false;
    const plat::FontFace* m_face = nullptr;
    std::unique_ptr<Shaper> m_shaper;
    std::vector<quint16> m_glyphs;
    std::vector<int> m_widths;
    std::vector<QString> m_texts;
    // Glyph id -> its place in m_glyphs (-1: not used yet); made on first use.
    static constexpr int kGlyphIds = 65536;
    std::vector<int> m_glyphSlot;
};

namespace zd {
// A font name as a PDF name: delimiters, '#', blanks and bytes outside
// 0x21..0x7E escaped as #xx.
QByteArray pdfNameEscape(const QByteArray& Name);
// The lines of a ToUnicode map, at most 100 entries per block.
QByteArray pdfToUnicodeCMap(const QByteArray& CMapName, const std::vector<quint16>& Glyphs,
                            const std::vector<QString>& Texts);
} // namespace zd
