#pragma once
// One font engine for measuring and drawing text: fontconfig finds the file,
// FreeType reads its tables. Advances are the font's horizontal metrics
// scaled linearly to the pixel em size and rounded (no hinting, no kerning),
// so the same text measures the same on every device and at every scale.
// Ascent and descent come from the OS/2 table's Windows metrics, as the
// platform's text metrics do.
//
// Faces are cached for the life of the process; references stay valid.

#include "Graphics.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class QPainterPath;

namespace plat {

struct FontRequest {
    QString family;
    bool bold = false;
    bool italic = false;
    TFontCharset charset = DEFAULT_CHARSET;
    TFontPitch pitch = fpDefault;
};

class FontFace {
public:
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    QString FamilyName() const;
    QString StyleName() const;
    QString FilePath() const;
    int FaceIndex() const;
    bool IsBold() const;
    bool IsItalic() const;
    bool IsFixedPitch() const;
    bool IsSymbol() const; // symbol character map only
    // The requested style the file lacks, drawn synthetically.
    bool SyntheticBold() const;
    bool SyntheticItalic() const;

    int UnitsPerEm() const;
    int WinAscent() const;  // font units (OS/2 usWinAscent; hhea ascender without OS/2)
    int WinDescent() const; // font units, positive
    int ExternalLeadingUnits() const;
    int AverageCharWidthUnits() const;
    int MaxAdvanceUnits() const;

    // Design values in font units (head, OS/2 typographic, post tables).
    struct DesignMetrics {
        int xMin = 0, yMin = 0, xMax = 0, yMax = 0; // font box, y up
        int typoAscender = 0, typoDescender = 0, typoLineGap = 0;
        int capHeight = 0, xHeight = 0;
        double italicAngle = 0; // degrees, negative leaning right
        int weightClass = 400;
        QString postScriptName;
    };
    const DesignMetrics& Design() const;

    // Glyph of a character (0 = missing) and its advance in font units.
    unsigned GlyphIndex(char32_t ch) const;
    int AdvanceUnits(unsigned glyph) const;

    // Pixel em size for a platform font height (negative: em height;
    // positive: cell height = ascent + descent).
    double EmPixels(int fontHeight) const;
    // Advance of a character in pixels at an em size, rounded half up.
    int CharAdvance(char32_t ch, double emPixels) const;
    // Advances of every UTF-16 unit of text (a surrogate pair's advance on
    // its first unit, 0 on the second); returns the total.
    int CharAdvances(const QString& text, double emPixels, std::vector<int>& out) const;
    int Ascent(double emPixels) const;
    int Descent(double emPixels) const;

    // The whole font file, for embedding.
    QByteArray FileBytes() const;
    // Outline of a glyph in font units, y growing downward from the
    // baseline (cached); drawn by scaling it to the em size.
    const QPainterPath& GlyphPath(unsigned glyph) const;
    // Underline and strike-out lines in font units below (+) / above (-) the baseline.
    int UnderlinePositionUnits() const;
    int UnderlineThicknessUnits() const;
    int StrikeoutPositionUnits() const;
    int StrikeoutThicknessUnits() const;

private:
    friend class FontEngine;
    FontFace();
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The platform's font-type bits of an installed family, as font lists show them.
inline constexpr int RASTER_FONTTYPE = 1;
inline constexpr int DEVICE_FONTTYPE = 2;
inline constexpr int TRUETYPE_FONTTYPE = 4;

struct FontFamilyInfo {
    QString name;
    int fontType = 0; // TRUETYPE_FONTTYPE, RASTER_FONTTYPE or 0 (other outline formats)
};

class FontEngine {
public:
    static FontEngine& Instance();

    // The best installed face; never fails while any font is installed
    // (raises EInvalidGraphicOperation "No fonts installed" otherwise).
    const FontFace& Match(const FontRequest& request);
    const FontFace& Match(const TFont& font);
    // The family fontconfig resolves a name to (e.g. "Arial" -> "Liberation Sans").
    QString ResolveFamily(const QString& family);
    // Families installed (sorted, unique), for font lists.
    QStringList Families();
    // The same families with their font types: TrueType when any face of the
    // family is a TrueType file, raster when none of its faces scales.
    std::vector<FontFamilyInfo> FamilyInfos();

private:
    FontEngine();
    ~FontEngine();
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace plat
