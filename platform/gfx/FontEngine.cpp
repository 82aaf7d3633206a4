#include "FontEngine.h"

#include "Exceptions.h"

#include <QFile>
#include <QHash>
#include <QPainterPath>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>
#include <unordered_map>

namespace plat {

namespace {

// Fonts that the Wine package carries (Tahoma among them) are not in the
// system's font configuration; the engine adds them for itself.
constexpr const char* kExtraFontDirs[] = {"/usr/share/wine/fonts"};

constexpr double kDefaultEmPixels = 12.0; // a font height of 0 asks for the default size

int roundHalfUp(double v) { return int(std::floor(v + 0.5)); }

const char* langForCharset(TFontCharset cs)
{
    switch (cs) {
    case EASTEUROPE_CHARSET: return "cs";
    case RUSSIAN_CHARSET: return "ru";
    case GREEK_CHARSET: return "el";
    case TURKISH_CHARSET: return "tr";
    case BALTIC_CHARSET: return "lt";
    default: return nullptr;
    }
}

struct OutlineSink {
    QPainterPath* path;
    static int moveTo(const FT_Vector* to, void* user)
    {
        auto* s = static_cast<OutlineSink*>(user);
        s->path->closeSubpath();
        s->path->moveTo(to->x, -to->y);
        return 0;
    }
    static int lineTo(const FT_Vector* to, void* user)
    {
        static_cast<OutlineSink*>(user)->path->lineTo(to->x, -to->y);
        return 0;
    }
    static int conicTo(const FT_Vector* c, const FT_Vector* to, void* user)
    {
        static_cast<OutlineSink*>(user)->path->quadTo(c->x, -c->y, to->x, -to->y);
        return 0;
    }
    static int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
    {
        static_cast<OutlineSink*>(user)->path->cubicTo(c1->x, -c1->y, c2->x, -c2->y, to->x, -to->y);
        return 0;
    }
};

} // namespace

struct FontFace::Impl {
    FT_Face face = nullptr;
    QString path;
    int index = 0;
    bool syntheticBold = false;
    bool syntheticItalic = false;
    int upem = 1000;
    int winAscent = 0;
    int winDescent = 0;
    int externalLeading = 0;
    int avgWidth = 0;
    int maxAdvance = 0;
    int ulPos = 0, ulThick = 0, soPos = 0, soThick = 0;
    bool symbol = false;
    FontFace::DesignMetrics design;
    mutable std::unordered_map<char32_t, unsigned> glyphs;
    mutable std::unordered_map<unsigned, int> advances;
    mutable std::unordered_map<unsigned, QPainterPath> paths;
    // Advance in font units of each BMP character, -1 until looked up.
    mutable std::vector<int> bmpAdvance;
    mutable std::mutex mutex;
};

FontFace::FontFace() : d(std::make_unique<Impl>()) {}
FontFace::~FontFace()
{
    if (d->face)
        FT_Done_Face(d->face);
}

QString FontFace::FamilyName() const { return QString::fromUtf8(d->face->family_name); }
QString FontFace::StyleName() const { return QString::fromUtf8(d->face->style_name ? d->face->style_name : ""); }
QString FontFace::FilePath() const { return d->path; }
int FontFace::FaceIndex() const { return d->index; }
bool FontFace::IsBold() const { return (d->face->style_flags & FT_STYLE_FLAG_BOLD) != 0; }
bool FontFace::IsItalic() const { return (d->face->style_flags & FT_STYLE_FLAG_ITALIC) != 0; }
bool FontFace::IsFixedPitch() const { return FT_IS_FIXED_WIDTH(d->face); }
bool FontFace::IsSymbol() const { return d->symbol; }
bool FontFace::SyntheticBold() const { return d->syntheticBold; }
bool FontFace::SyntheticItalic() const { return d->syntheticItalic; }
int FontFace::UnitsPerEm() const { return d->upem; }
int FontFace::WinAscent() const { return d->winAscent; }
int FontFace::WinDescent() const { return d->winDescent; }
int FontFace::ExternalLeadingUnits() const { return d->externalLeading; }
int FontFace::AverageCharWidthUnits() const { return d->avgWidth; }
int FontFace::MaxAdvanceUnits() const { return d->maxAdvance; }
const FontFace::DesignMetrics& FontFace::Design() const { return d->design; }
int FontFace::UnderlinePositionUnits() const { return d->ulPos; }
int FontFace::UnderlineThicknessUnits() const { return d->ulThick; }
int FontFace::StrikeoutPositionUnits() const { return d->soPos; }
int FontFace::StrikeoutThicknessUnits() const { return d->soThick; }

unsigned FontFace::GlyphIndex(char32_t ch) const
{
    std::lock_guard lock(d->mutex);
    auto it = d->glyphs.find(ch);
    if (it != d->glyphs.end())
        return it->second;
    unsigned g = FT_Get_Char_Index(d->face, ch);
    // Symbol fonts map their characters into the private area at 0xF000.
    if (g == 0 && d->symbol && ch < 0x100)
        g = FT_Get_Char_Index(d->face, 0xF000 + ch);
    d->glyphs.emplace(ch, g);
    return g;
}

int FontFace::AdvanceUnits(unsigned glyph) const
{
    std::lock_guard lock(d->mutex);
    auto it = d->advances.find(glyph);
    if (it != d->advances.end())
        return it->second;
    FT_Fixed adv = 0;
    if (FT_Get_Advance(d->face, glyph, FT_LOAD_NO_SCALE, &adv) != 0)
        adv = 0;
    d->advances.emplace(glyph, int(adv));
    return int(adv);
}

double FontFace::EmPixels(int fontHeight) const
{
    if (fontHeight < 0)
        return -fontHeight;
    if (fontHeight == 0)
        return kDefaultEmPixels;
    return double(fontHeight) * d->upem / std::max(1, d->winAscent + d->winDescent);
}

int FontFace::CharAdvance(char32_t ch, double emPixels) const
{
    return roundHalfUp(AdvanceUnits(GlyphIndex(ch)) * emPixels / d->upem);
}

int FontFace::CharAdvances(const QString& text, double emPixels, std::vector<int>& out) const
{
    out.assign(size_t(text.size()), 0);
    const double k = emPixels / d->upem;
    qint64 total = 0; // huge fonts over long texts saturate rather than wrap
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        int units = 0;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            units = AdvanceUnits(GlyphIndex(QChar::surrogateToUcs4(c, text[i + 1])));
            out[size_t(i)] = roundHalfUp(units * k);
            total += out[size_t(i)];
            ++i;
            continue;
        }
        {
            std::lock_guard lock(d->mutex);
            if (d->bmpAdvance.empty())
                d->bmpAdvance.assign(0x10000, -1);
            units = d->bmpAdvance[c.unicode()];
        }
        if (units < 0) {
            units = AdvanceUnits(GlyphIndex(c.unicode()));
            std::lock_guard lock(d->mutex);
            d->bmpAdvance[c.unicode()] = units;
        }
        out[size_t(i)] = roundHalfUp(units * k);
        total += out[size_t(i)];
    }
    return int(std::min<qint64>(total, std::numeric_limits<int>::max()));
}

int FontFace::Ascent(double emPixels) const { return roundHalfUp(d->winAscent * emPixels / d->upem); }
int FontFace::Descent(double emPixels) const { return roundHalfUp(d->winDescent * emPixels / d->upem); }

QByteArray FontFace::FileBytes() const
{
    QFile f(d->path);
    if (!f.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\".").arg(d->path));
    return f.readAll();
}

const QPainterPath& FontFace::GlyphPath(unsigned glyph) const
{
    std::lock_guard lock(d->mutex);
    auto it = d->paths.find(glyph);
    if (it != d->paths.end())
        return it->second;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (FT_Load_Glyph(d->face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0
        && d->face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        OutlineSink sink{&path};
        FT_Outline_Funcs funcs{};
        funcs.move_to = &OutlineSink::moveTo;
        funcs.line_to = &OutlineSink::lineTo;
        funcs.conic_to = &OutlineSink::conicTo;
        funcs.cubic_to = &OutlineSink::cubicTo;
        FT_Outline_Decompose(&d->face->glyph->outline, &funcs, &sink);
        path.closeSubpath();
    }
    return d->paths.emplace(glyph, std::move(path)).first->second;
}

// ---------------------------------------------------------------- engine

struct FontEngine::Impl {
    FT_Library library = nullptr;
    FcConfig* config = nullptr;
    std::map<std::pair<QString, int>, std::unique_ptr<FontFace>> faces;
    QHash<QString, const FontFace*> byRequest;
    std::mutex mutex;

    FontFace* load(const QString& path, int index, bool wantBold, bool wantItalic)
    {
        auto key = std::make_pair(path + (wantBold ? "|b" : "") + (wantItalic ? "|i" : ""), index);
        auto it = faces.find(key);
        if (it != faces.end())
            return it->second.get();
        FT_Face face = nullptr;
        if (FT_New_Face(library, QFile::encodeName(path).constData(), index, &face) != 0)
            return nullptr;
        std::unique_ptr<FontFace> f(new FontFace());
        auto& d = *f->d;
        d.face = face;
        d.path = path;
        d.index = index;
        d.upem = face->units_per_EM ? face->units_per_EM : 1000;
        d.syntheticBold = wantBold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
        d.syntheticItalic = wantItalic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
        auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
        if (os2 && os2->version != 0xFFFF && (os2->usWinAscent || os2->usWinDescent)) {
            d.winAscent = os2->usWinAscent;
            d.winDescent = os2->usWinDescent;
            d.avgWidth = os2->xAvgCharWidth;
            d.soPos = -os2->yStrikeoutPosition;
            d.soThick = os2->yStrikeoutSize;
            // The platform's external leading: the line gap beyond the Windows cell.
            if (hhea)
                d.externalLeading = std::max(0, int(hhea->Ascender) - int(hhea->Descender) + int(hhea->Line_Gap)
                                                    - (d.winAscent + d.winDescent));
        } else {
            d.winAscent = face->ascender;
            d.winDescent = -face->descender;
            d.soPos = -d.winAscent / 3;
            d.soThick = d.upem / 20;
        }
        if (d.avgWidth <= 0)
            d.avgWidth = d.upem / 2;
        d.maxAdvance = hhea ? hhea->advance_Width_Max : face->max_advance_width;
        if (post) {
            d.ulPos = -post->underlinePosition;
            d.ulThick = post->underlineThickness;
        }
        if (d.ulThick <= 0)
            d.ulThick = std::max(1, d.upem / 20);
        auto& g = d.design;
        g.xMin = int(face->bbox.xMin);
        g.yMin = int(face->bbox.yMin);
        g.xMax = int(face->bbox.xMax);
        g.yMax = int(face->bbox.yMax);
        if (os2 && os2->version != 0xFFFF) {
            g.typoAscender = os2->sTypoAscender;
            g.typoDescender = os2->sTypoDescender;
            g.typoLineGap = os2->sTypoLineGap;
            g.weightClass = os2->usWeightClass;
            if (os2->version >= 2) {
                g.capHeight = os2->sCapHeight;
                g.xHeight = os2->sxHeight;
            }
        } else {
            g.typoAscender = face->ascender;
            g.typoDescender = face->descender;
        }
        if (g.capHeight == 0)
            g.capHeight = g.typoAscender;
        if (post)
            g.italicAngle = post->italicAngle / 65536.0;
        if (const char* ps = FT_Get_Postscript_Name(face))
            g.postScriptName = QString::fromLatin1(ps);
        if (d.soThick <= 0)
            d.soThick = d.ulThick;
        if (face->charmap == nullptr || FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) {
            if (FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0)
                d.symbol = true;
        }
        FontFace* raw = f.get();
        faces.emplace(key, std::move(f));
        return raw;
    }
};

FontEngine::FontEngine() : d(std::make_unique<Impl>())
{
    if (FT_Init_FreeType(&d->library) != 0)
        throw EOutOfResources(QStringLiteral("Cannot initialise the font library"));
    d->config = FcInitLoadConfigAndFonts();
    for (const char* dir : kExtraFontDirs)
        FcConfigAppFontAddDir(d->config, reinterpret_cast<const FcChar8*>(dir));
}

FontEngine::~FontEngine()
{
    d->faces.clear();
    if (d->config)
        FcConfigDestroy(d->config);
    if (d->library)
        FT_Done_FreeType(d->library);
}

FontEngine& FontEngine::Instance()
{
    static FontEngine engine;
    return engine;
}

const FontFace& FontEngine::Match(const TFont& font)
{
    FontRequest r;
    r.family = font.Name();
    r.bold = font.HasStyle(fsBold);
    r.italic = font.HasStyle(fsItalic);
    r.charset = font.Charset();
    r.pitch = font.Pitch();
    return Match(r);
}

const FontFace& FontEngine::Match(const FontRequest& request)
{
    std::lock_guard lock(d->mutex);
    const QString key = request.family.toCaseFolded() + QChar(0) + QChar(request.bold ? 'b' : '-')
                        + QChar(request.italic ? 'i' : '-') + QChar(int(request.charset) + 32)
                        + QChar(int(request.pitch) + 48);
    if (auto it = d->byRequest.constFind(key); it != d->byRequest.constEnd())
        return **it;

    FcPattern* pat = FcPatternCreate();
    QByteArray fam = request.family.trimmed().toUtf8();
    if (!fam.isEmpty())
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(fam.constData()));
    FcPatternAddInteger(pat, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (request.pitch == fpFixed)
        FcPatternAddInteger(pat, FC_SPACING, FC_MONO);
    if (const char* lang = langForCharset(request.charset))
        FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>(lang));
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(d->config, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(d->config, pat, &result);
    FcPatternDestroy(pat);

    FontFace* face = nullptr;
    if (match) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            face = d->load(QString::fromUtf8(reinterpret_cast<const char*>(file)), index, request.bold,
                           request.italic);
        }
        FcPatternDestroy(match);
    }
    if (!face)
        throw EInvalidGraphicOperation(QStringLiteral("No fonts installed"));
    d->byRequest.insert(key, face);
    return *face;
}

QString FontEngine::ResolveFamily(const QString& family)
{
    FontRequest r;
    r.family = family;
    return Match(r).FamilyName();
}

QStringList FontEngine::Families()
{
    std::lock_guard lock(d->mutex);
    QStringList out;
    FcPattern* pat = FcPatternCreate();
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(d->config, pat, os);
    if (set) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* fam = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &fam) == FcResultMatch)
                out << QString::fromUtf8(reinterpret_cast<const char*>(fam));
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(os);
    FcPatternDestroy(pat);
    out.removeDuplicates();
    out.sort(Qt::CaseInsensitive);
    return out;
}

std::vector<FontFamilyInfo> FontEngine::FamilyInfos()
{
    std::lock_guard lock(d->mutex);
    std::map<QString, FontFamilyInfo> byFolded; // sorted ignoring case, one entry a family
    std::map<QString, bool> scalable;
    FcPattern* pat = FcPatternCreate();
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, FC_FONTFORMAT, FC_SCALABLE, nullptr);
    FcFontSet* set = FcFontList(d->config, pat, os);
    if (set) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* fam = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &fam) != FcResultMatch)
                continue;
            const QString name = QString::fromUtf8(reinterpret_cast<const char*>(fam));
            const QString key = name.toCaseFolded();
            FontFamilyInfo& info = byFolded[key];
            if (info.name.isEmpty())
                info.name = name;
            FcChar8* format = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FONTFORMAT, 0, &format) == FcResultMatch
                && qstrcmp(reinterpret_cast<const char*>(format), "TrueType") == 0)
                info.fontType |= TRUETYPE_FONTTYPE;
            FcBool isScalable = FcTrue;
            FcPatternGetBool(set->fonts[i], FC_SCALABLE, 0, &isScalable);
            scalable[key] = scalable[key] || isScalable;
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(os);
    FcPatternDestroy(pat);
    std::vector<FontFamilyInfo> out;
    out.reserve(byFolded.size());
    for (auto& [key, info] : byFolded) {
        if (!scalable[key])
            info.fontType |= RASTER_FONTTYPE;
        out.push_back(std::move(info));
    }
    return out;
}

} // namespace plat
