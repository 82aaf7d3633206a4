#pragma once
// One face of a TrueType font file or collection, and its reduction to the
// glyphs a document uses.
//
// The reduced font is a standalone font file (also for a face of a
// collection) with the same glyph count and glyph indices: every glyph that
// is neither used nor a component of a used glyph gets an empty outline, the
// outlines of the others stay byte for byte, and every other table is carried
// over (a few device-specific tables are left out). The font data itself is
// never changed, so faces that share tables stay intact.

#include "TTFHelpers.h"

#include <QList>

#include <memory>
#include <optional>
#include <vector>

class TrueTypeTable;
class FontHeaderClass;
class NameTableClass;
class MaximumProfileClass;
class HorizontalHeaderClass;
class HorizontalMetrixClass;
class IndexToLocationClass;
class GlyphTableClass;
class KerningTableClass;

class TrueTypeFont : public TTF_Helpers {
public:
    // The face whose offset table is at position of the data.
    TrueTypeFont(const QByteArray& data, qint64 position);
    ~TrueTypeFont();
    TrueTypeFont(const TrueTypeFont&) = delete;
    TrueTypeFont& operator=(const TrueTypeFont&) = delete;

    // Parses the offset table and the tables (once), then checks the table
    // checksums: mismatches are shown and passed over.
    void Load();
    bool IsLoaded() const { return m_loaded; }

    // The full name (name ID 4); empty when the face has none.
    QString FullName();

    // Adds the glyphs to the used ones and writes the font reduced to them.
    QByteArray Reduce(const QList<quint16>& usedGlyphs);
    // Width of a glyph that the last reduction kept, in 1/1000 em.
    std::optional<int> GlyphWidth(quint16 glyph) const;

    // The kerning of a glyph pair in font units ("kern" table; 0 without one).
    int KerningValue(quint16 left, quint16 right) const;

    qint64 Position() const { return m_position; }
    int CheckMode() const { return m_checkMode; }
    quint32 SfntVersion() const { return m_sfntVersion; }
    int NumTables() const { return m_numTables; }
    quint16 SearchRange() const { return m_searchRange; }
    quint16 EntrySelector() const { return m_entrySelector; }
    quint16 RangeShift() const { return m_rangeShift; }
    const std::vector<std::unique_ptr<TrueTypeTable>>& Tables() const { return m_tables; }
    TrueTypeTable* FindTable(quint32 tag) const;
    int GlyphCount() const { return m_glyphCount; }
    const std::vector<quint16>& UsedGlyphs() const { return m_usedGlyphs; }
    // In the order they were kept, with their widths (parallel lists).
    const std::vector<quint16>& KeptGlyphs() const { return m_keptGlyphs; }
    const std::vector<int>& KeptWidths() const { return m_keptWidths; }

    // Components nest at most this deep; deeper (or circular) is a format error.
    static constexpr int kMaxComponentDepth = 16;

private:
    struct GlyphSpan {
        qint64 offset = 0; // in "glyf"
        qint64 length = 0;
    };

    void readDirectory();
    void checkTablesApart() const;
    void loadTables();
    void checkGlyphLocations() const;
    void checkTableSums() const;
    GlyphSpan glyphSpan(int glyph) const;
    std::vector<quint16> components(int glyph) const;
    int width(int glyph) const;
    void keepGlyph(quint16 glyph, int depth);
    void reduceOutlines();
    QByteArray writeFont() const;

    QByteArray m_data;
    qint64 m_position;
    int m_checkMode = 2; // report checksum errors and go on
    bool m_loaded = false;

    quint32 m_sfntVersion = 0;
    int m_numTables = 0;
    quint16 m_searchRange = 0;
    quint16 m_entrySelector = 0;
    quint16 m_rangeShift = 0;
    std::vector<std::unique_ptr<TrueTypeTable>> m_tables;

    FontHeaderClass* m_head = nullptr;
    NameTableClass* m_name = nullptr;
    MaximumProfileClass* m_maxp = nullptr;
    HorizontalHeaderClass* m_hhea = nullptr;
    HorizontalMetrixClass* m_hmtx = nullptr;
    IndexToLocationClass* m_loca = nullptr;
    GlyphTableClass* m_glyf = nullptr;
    KerningTableClass* m_kern = nullptr;
    int m_glyphCount = 0;

    std::vector<quint16> m_usedGlyphs; // ascending, each once
    std::vector<quint16> m_keptGlyphs;
    std::vector<int> m_keptWidths;
    std::vector<int> m_widthOf; // per glyph: its kept width, -1 when not kept
};
