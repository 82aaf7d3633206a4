#include "Graphics.h"

#include "Canvas.h"
#include "CodePage.h"
#include "Exceptions.h"
#include "Metafile.h"
#include "PropStream.h"
#include "Streams.h"
#include "SysUtils.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QSaveFile>

#include <cstring>

#include <array>
#include <cmath>

namespace plat {

// ---------------------------------------------------------------- colours

namespace {

constexpr TColor kSystemFlag = TColor(0xFF000000);

// A classic light desktop scheme, by system colour index.
constexpr std::array<TColor, 31> kSystemColors = {
    RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
    RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
    RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
    RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255), RGB(240, 240, 240),
    RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
    RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
    RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234),
    RGB(215, 228, 242), RGB(0, 120, 215),   RGB(240, 240, 240),
};

} // namespace

const std::vector<TColorIdent>& ColorIdents()
{
    static const std::vector<TColorIdent> table = {
        {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
        {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
        {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
        {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
        {"clMoneyGreen", clMoneyGreen}, {"clSkyBlue", clSkyBlue}, {"clCream", clCream},
        {"clMedGray", clMedGray}, {"clActiveBorder", clActiveBorder}, {"clActiveCaption", clActiveCaption},
        {"clAppWorkSpace", clAppWorkSpace}, {"clBackground", clBackground}, {"clBtnFace", clBtnFace},
        {"clBtnHighlight", clBtnHighlight}, {"clBtnShadow", clBtnShadow}, {"clBtnText", clBtnText},
        {"clCaptionText", clCaptionText}, {"clDefault", clDefault},
        {"clGradientActiveCaption", clGradientActiveCaption},
        {"clGradientInactiveCaption", clGradientInactiveCaption}, {"clGrayText", clGrayText},
        {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText}, {"clHotLight", clHotLight},
        {"clInactiveBorder", clInactiveBorder}, {"clInactiveCaption", clInactiveCaption},
        {"clInactiveCaptionText", clInactiveCaptionText}, {"clInfoBk", clInfoBk}, {"clInfoText", clInfoText},
        {"clMenu", clMenu}, {"clMenuBar", clMenuBar}, {"clMenuHighlight", clMenuHighlight},
        {"clMenuText", clMenuText}, {"clNone", clNone}, {"clScrollBar", clScrollBar},
        {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight}, {"clWindow", clWindow},
        {"clWindowFrame", clWindowFrame}, {"clWindowText", clWindowText},
    };
    return table;
}

TColor ColorToRGB(TColor color)
{
    if ((color & kSystemFlag) == kSystemFlag) {
        const int index = color & 0xFF;
        return index < int(kSystemColors.size()) ? kSystemColors[size_t(index)] : clBlack;
    }
    return color;
}

QColor ToQColor(TColor color)
{
    if (color == clNone)
        return QColor(Qt::transparent);
    const TColor c = ColorToRGB(color);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor FromQColor(const QColor& color)
{
    if (color.alpha() == 0)
        return clNone;
    return RGB(color.red(), color.green(), color.blue());
}

bool ColorToIdent(TColor color, QString& ident)
{
    for (const auto& e : ColorIdents())
        if (e.value == color) {
            ident = QString::fromLatin1(e.name);
            return true;
        }
    return false;
}

bool IdentToColor(const QString& ident, TColor& color)
{
    for (const auto& e : ColorIdents())
        if (SameText(ident, QString::fromLatin1(e.name))) {
            color = e.value;
            return true;
        }
    return false;
}

QString ColorToString(TColor color)
{
    QString ident;
    if (ColorToIdent(color, ident))
        return ident;
    return QStringLiteral("$%1").arg(quint32(color), 8, 16, QLatin1Char('0')).toUpper();
}

TColor StringToColor(const QString& text)
{
    TColor c = 0;
    if (IdentToColor(text.trimmed(), c))
        return c;
    const QString t = text.trimmed();
    bool ok = false;
    qint64 v = 0;
    if (t.startsWith(QLatin1Char('$')))
        v = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    if (!ok || v < INT32_MIN || v > UINT32_MAX)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return TColor(quint32(v));
}

int CharsetToCodePage(TFontCharset charset)
{
    switch (charset) {
    case ANSI_CHARSET: case DEFAULT_CHARSET: return 1252;
    case SYMBOL_CHARSET: return 0;
    case EASTEUROPE_CHARSET: return 1250;
    case RUSSIAN_CHARSET: return 1251;
    case GREEK_CHARSET: return 1253;
    case TURKISH_CHARSET: return 1254;
    case 177: return 1255; // Hebrew
    case 178: return 1256; // Arabic
    case BALTIC_CHARSET: return 1257;
    case 163: return 1258; // Vietnamese
    case 222: return 874;  // Thai
    case 128: return 932;  // Shift-JIS
    case 134: return 936;  // GB2312
    case 129: return 949;  // Hangul
    case 136: return 950;  // Big5
    case OEM_CHARSET: return 437;
    default: return 1252;
    }
}

// ---------------------------------------------------------------- font, pen, brush

void TGraphicsObject::Changed()
{
    if (m_listener)
        m_listener(this);
    OnChange(this);
}

TFont::TFont() = default;
TFont::~TFont() = default;

void TFont::Assign(TPersistent* source)
{
    if (auto* f = dynamic_cast<TFont*>(source)) {
        AssignFont(*f);
        return;
    }
    TGraphicsObject::Assign(source);
}

void TFont::AssignFont(const TFont& s)
{
    if (&s == this)
        return;
    // The height travels through the point size when the resolutions differ,
    // so a screen font keeps its size on a printer.
    const int height = s.m_pixelsPerInch == m_pixelsPerInch ? s.m_height
                                                            : -MulDiv(s.Size(), m_pixelsPerInch, 72);
    if (m_name == s.m_name && m_height == height && m_color == s.m_color && m_style == s.m_style
        && m_charset == s.m_charset && m_pitch == s.m_pitch && m_orientation == s.m_orientation)
        return;
    m_name = s.m_name;
    m_height = height;
    m_color = s.m_color;
    m_style = s.m_style;
    m_charset = s.m_charset;
    m_pitch = s.m_pitch;
    m_orientation = s.m_orientation;
    Changed();
}

int TFont::Size() const { return -MulDiv(m_height, 72, m_pixelsPerInch); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, m_pixelsPerInch, 72)); }

#define PLAT_SETTER(Class, Setter, Type, member)                                                   \
    void Class::Setter(Type value)                                                                 \
    {                                                                                              \
        if (member == value)                                                                       \
            return;                                                                                \
        member = value;                                                                            \
        Changed();                                                                                 \
    }

PLAT_SETTER(TFont, SetName, const QString&, m_name)
PLAT_SETTER(TFont, SetHeight, int, m_height)
PLAT_SETTER(TFont, SetColor, TColor, m_color)
PLAT_SETTER(TFont, SetStyle, TFontStyles, m_style)
PLAT_SETTER(TFont, SetCharset, TFontCharset, m_charset)
PLAT_SETTER(TFont, SetPitch, TFontPitch, m_pitch)
PLAT_SETTER(TFont, SetOrientation, int, m_orientation)
PLAT_SETTER(TPen, SetColor, TColor, m_color)
PLAT_SETTER(TPen, SetWidth, int, m_width)
PLAT_SETTER(TPen, SetStyle, TPenStyle, m_style)
PLAT_SETTER(TPen, SetMode, TPenMode, m_mode)
PLAT_SETTER(TBrush, SetColor, TColor, m_color)
PLAT_SETTER(TBrush, SetStyle, TBrushStyle, m_style)
#undef PLAT_SETTER

void TFont::SetPixelsPerInch(int ppi)
{
    if (ppi > 0)
        m_pixelsPerInch = ppi;
}

bool TFont::SameAs(const TFont& o) const
{
    return SameText(m_name, o.m_name) && m_height == o.m_height && m_color == o.m_color && m_style == o.m_style
           && m_charset == o.m_charset && m_pitch == o.m_pitch && m_orientation == o.m_orientation;
}

TPen::TPen() = default;
TPen::~TPen() = default;

void TPen::Assign(TPersistent* source)
{
    if (auto* p = dynamic_cast<TPen*>(source)) {
        AssignPen(*p);
        return;
    }
    TGraphicsObject::Assign(source);
}

void TPen::AssignPen(const TPen& s)
{
    if (&s == this)
        return;
    m_color = s.m_color;
    m_width = s.m_width;
    m_style = s.m_style;
    m_mode = s.m_mode;
    m_geometric = s.m_geometric;
    m_endCap = s.m_endCap;
    m_userDash = s.m_userDash;
    Changed();
}

void TPen::SetGeometric(int width, TColor color, TPenEndCap cap, std::vector<int> userDash)
{
    m_geometric = true;
    m_width = width;
    m_color = color;
    m_endCap = cap;
    m_userDash = std::move(userDash);
    if (!m_userDash.empty())
        m_style = psSolid;
    Changed();
}

void TPen::SetCosmetic()
{
    if (!m_geometric)
        return;
    m_geometric = false;
    m_endCap = pecRound;
    m_userDash.clear();
    Changed();
}

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Assign(TPersistent* source)
{
    if (auto* b = dynamic_cast<TBrush*>(source)) {
        AssignBrush(*b);
        return;
    }
    TGraphicsObject::Assign(source);
}

void TBrush::AssignBrush(const TBrush& s)
{
    if (&s == this || (m_color == s.m_color && m_style == s.m_style))
        return;
    m_color = s.m_color;
    m_style = s.m_style;
    Changed();
}

// ---------------------------------------------------------------- TGraphic

TGraphic::~TGraphic() = default;

static QString cannotResize(const char* className)
{
    const std::string_view name(className);
    if (name == "TJPEGImage")
        return QStringLiteral("Cannot change the size of a JPEG image");
    if (name == "TIcon")
        return QStringLiteral("Cannot change the size of an icon");
    if (name == "TPngImage")
        return QStringLiteral("Cannot change the size of a PNG image");
    return QStringLiteral("Cannot change the size of a %1").arg(QString::fromLatin1(className));
}

void TGraphic::SetWidth(int) { throw EInvalidGraphicOperation(cannotResize(GraphicClassName())); }
void TGraphic::SetHeight(int) { throw EInvalidGraphicOperation(cannotResize(GraphicClassName())); }

void TGraphic::SetTransparent(bool transparent)
{
    if (m_transparent == transparent)
        return;
    m_transparent = transparent;
    Changed();
}

void TGraphic::Changed()
{
    if (m_onChange)
        m_onChange(this);
}

static QByteArray readWholeFile(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, f.errorString()));
    return f.readAll();
}

static void writeWholeFile(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly))
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, f.errorString()));
    if (f.write(bytes) != bytes.size() || !f.commit())
        throw EWriteError(QStringLiteral("Stream write error"));
}

void TGraphic::LoadFromFile(const QString& fileName) { LoadFromBytes(readWholeFile(fileName)); }
void TGraphic::SaveToFile(const QString& fileName) const { writeWholeFile(fileName, SaveToBytes()); }

void TGraphic::LoadFromStream(TStream& stream)
{
    const qint64 n = stream.Size() - stream.Position();
    QByteArray bytes(qsizetype(std::max<qint64>(0, n)), Qt::Uninitialized);
    if (n > 0)
        stream.ReadBuffer(bytes.data(), n);
    LoadFromBytes(bytes);
}

void TGraphic::SaveToStream(TStream& stream) const
{
    const QByteArray bytes = SaveToBytes();
    if (!bytes.isEmpty())
        stream.WriteBuffer(bytes.constData(), bytes.size());
}

// ---------------------------------------------------------------- TBitmap

TBitmap::TBitmap() = default;
TBitmap::TBitmap(int width, int height) { ensureImage(width, height); }
TBitmap::~TBitmap() = default;

void TBitmap::Assign(TPersistent* source)
{
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        if (g == this)
            return;
        releaseCanvas();
        if (auto* b = dynamic_cast<TBitmap*>(g)) {
            m_image = b->Image().copy();
            m_pixelFormat = b->m_pixelFormat;
            m_transparentMode = b->m_transparentMode;
            m_transparentColor = b->m_transparentColor;
            m_original = b->m_original;
        } else {
            m_image = g->ToImage().convertToFormat(QImage::Format_RGB32);
            m_original.clear();
        }
        SetTransparent(g->Transparent());
        Changed();
        return;
    }
    if (source == nullptr) {
        releaseCanvas();
        m_image = QImage();
        m_original.clear();
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

int TBitmap::Width() const { return m_image.width(); }
int TBitmap::Height() const { return m_image.height(); }
bool TBitmap::Empty() const { return m_image.isNull() || m_image.width() == 0 || m_image.height() == 0; }
void TBitmap::SetWidth(int width) { SetSize(width, Height()); }
void TBitmap::SetHeight(int height) { SetSize(Width(), height); }

void TBitmap::SetSize(int width, int height)
{
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == Width() && height == Height())
        return;
    ensureImage(width, height);
    modified();
}

void TBitmap::ensureImage(int width, int height)
{
    releaseCanvas();
    if (width <= 0 || height <= 0) {
        m_image = QImage();
        return;
    }
    // New area is white, as a fresh platform bitmap's canvas paints it.
    QImage img(width, height, m_pixelFormat == pf32bit ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (img.isNull())
        throw EOutOfResources(QStringLiteral("Out of system resources"));
    img.fill(Qt::white);
    if (!m_image.isNull()) {
        const int w = std::min(width, m_image.width());
        const int h = std::min(height, m_image.height());
        for (int y = 0; y < h; ++y)
            std::memcpy(img.scanLine(y), m_image.constScanLine(y), size_t(w) * 4);
    }
    m_image = img;
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (format == m_pixelFormat)
        return;
    releaseCanvas();
    m_pixelFormat = format;
    if (!m_image.isNull()) {
        if (format == pf1bit)
            m_image = m_image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither)
                          .convertToFormat(QImage::Format_RGB32);
        else if (format == pf32bit)
            m_image = m_image.convertToFormat(QImage::Format_ARGB32);
        else
            m_image = m_image.convertToFormat(QImage::Format_RGB32);
    }
    modified();
}

void TBitmap::SetMonochrome(bool mono) { SetPixelFormat(mono ? pf1bit : pfDevice); }

TColor TBitmap::TransparentColor() const
{
    if (m_transparentMode == tmFixed && m_transparentColor != clDefault)
        return m_transparentColor;
    if (Empty())
        return clDefault;
    const QImage& img = Image();
    return FromQColor(QColor(img.pixel(0, img.height() - 1)).toRgb()) & 0xFFFFFF;
}

void TBitmap::SetTransparentColor(TColor color)
{
    m_transparentColor = color;
    m_transparentMode = color == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode)
{
    if (mode == m_transparentMode)
        return;
    m_transparentMode = mode;
    if (mode == tmAuto)
        m_transparentColor = clDefault;
    else
        m_transparentColor = TransparentColor();
    Changed();
}

TCanvas& TBitmap::Canvas()
{
    if (!m_canvas)
        m_canvas = std::make_unique<TCanvas>(&m_image);
    // Drawing may change the pixels: the loaded bytes no longer describe them.
    m_original.clear();
    return *m_canvas;
}

const QImage& TBitmap::Image() const
{
    releaseCanvas();
    return m_image;
}

void TBitmap::SetImage(const QImage& image)
{
    releaseCanvas();
    m_image = image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32
                  ? image
                  : image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    m_original.clear();
    Changed();
}

void TBitmap::releaseCanvas() const
{
    if (m_canvas)
        m_canvas->ReleaseDevice();
}

void TBitmap::modified()
{
    m_original.clear();
    Changed();
}

namespace {

QImage decodeBmp(const QByteArray& bytes)
{
    QImage img;
    if (bytes.size() < 14 || !img.loadFromData(bytes, "BMP") || img.isNull())
        throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
    return img;
}

} // namespace

void TBitmap::LoadFromBytes(const QByteArray& bytes)
{
    QImage img = decodeBmp(bytes);
    releaseCanvas();
    switch (img.depth()) {
    case 1: m_pixelFormat = pf1bit; break;
    case 4: m_pixelFormat = pf4bit; break;
    case 8: m_pixelFormat = pf8bit; break;
    case 16: m_pixelFormat = pf16bit; break;
    case 24: m_pixelFormat = pf24bit; break;
    case 32: m_pixelFormat = img.hasAlphaChannel() ? pf32bit : pf24bit; break;
    default: m_pixelFormat = pfDevice;
    }
    // A 24-bit file reads back 24-bit only when the header says so.
    if (bytes.size() >= 30) {
        const int bitCount = quint8(bytes[28]) | (quint8(bytes[29]) << 8);
        if (bitCount == 24)
            m_pixelFormat = pf24bit;
        else if (bitCount == 32)
            m_pixelFormat = pf32bit;
    }
    m_image = img.convertToFormat(m_pixelFormat == pf32bit ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    m_original = bytes;
    Changed();
}

QByteArray TBitmap::SaveToBytes() const
{
    if (!m_original.isEmpty())
        return m_original;
    if (Empty())
        return {};
    QImage img = Image();
    switch (m_pixelFormat) {
    case pf1bit: img = img.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither); break;
    case pf4bit:
    case pf8bit: img = img.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither); break;
    case pf32bit: img = img.convertToFormat(QImage::Format_ARGB32); break;
    default: img = img.convertToFormat(QImage::Format_RGB888); break;
    }
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    if (!img.save(&buf, "BMP"))
        throw EInvalidGraphicOperation(QStringLiteral("Cannot write the bitmap"));
    return out;
}

void TBitmap::Draw(TCanvas& canvas, int x1, int y1, int x2, int y2) const
{
    if (Empty())
        return;
    if (Transparent())
        canvas.DrawTransparent(TRect(x1, y1, x2, y2), Image(), TransparentColor());
    else
        canvas.DrawImage(TRect(x1, y1, x2, y2), Image(), TRect(0, 0, Width(), Height()));
}

// ---------------------------------------------------------------- raster pictures

TRasterGraphic::~TRasterGraphic() = default;

void TRasterGraphic::Draw(TCanvas& canvas, int x1, int y1, int x2, int y2) const
{
    if (!Empty())
        canvas.DrawImage(TRect(x1, y1, x2, y2), m_image, TRect(0, 0, Width(), Height()));
}

void TRasterGraphic::Assign(TPersistent* source)
{
    if (auto* g = dynamic_cast<TRasterGraphic*>(source)) {
        if (g != this && std::string_view(g->GraphicClassName()) == GraphicClassName()) {
            m_image = g->m_image;
            m_bytes = g->m_bytes;
            SetTransparent(g->Transparent());
            Changed();
            return;
        }
    }
    TGraphic::Assign(source);
}

// ---------------------------------------------------------------- TPicture

GraphicKind DetectGraphicKind(const QByteArray& b)
{
    const auto u8 = [&](int i) { return quint8(b[i]); };
    const auto u16 = [&](int i) { return quint16(u8(i) | (u8(i + 1) << 8)); };
    const auto u32 = [&](int i) { return quint32(u16(i) | (quint32(u16(i + 2)) << 16)); };
    const int n = int(b.size());
    if (n >= 14 && u8(0) == 0x42 && u8(1) == 0x4D)
        return GraphicKind::Bitmap;
    if (n >= 2 && u8(0) == 0xFF && u8(1) == 0xD8)
        return GraphicKind::Jpeg;
    if (n >= 8 && b.startsWith(QByteArray::fromHex("89504E470D0A1A0A")))
        return GraphicKind::Png;
    if (n >= 22 && u32(0) == 0x9AC6CDD7u)
        return GraphicKind::Metafile;
    if (n >= 100 && u32(40) == 0x464D4520u)
        return GraphicKind::EnhMetafile;
    if (b.startsWith(TMetafile::Signature()))
        return GraphicKind::Recording;
    if (n >= 6 && u16(2) < 2)
        return GraphicKind::Icon;
    return GraphicKind::None;
}

std::unique_ptr<TGraphic> CreateGraphic(GraphicKind kind)
{
    switch (kind) {
    case GraphicKind::Bitmap: return std::make_unique<TBitmap>();
    case GraphicKind::Jpeg: return std::make_unique<TJPEGImage>();
    case GraphicKind::Png: return std::make_unique<TPngImage>();
    case GraphicKind::Metafile:
    case GraphicKind::EnhMetafile:
    case GraphicKind::Recording: return std::make_unique<TMetafile>();
    case GraphicKind::Icon: return std::make_unique<TIcon>();
    case GraphicKind::None: break;
    }
    return nullptr;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Assign(TPersistent* source)
{
    if (source == nullptr) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(source)) {
        if (p != this)
            SetGraphicCopy(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        SetGraphicCopy(g);
        return;
    }
    TPersistent::Assign(source);
}

namespace {

bool writesLengthFirst(const QByteArray& className)
{
    return className == "TBitmap" || className == "TJPEGImage";
}

void readPictureData(TPicture& picture, TStream& stream)
{
    QByteArray data(int(stream.Size() - stream.Position()), Qt::Uninitialized);
    stream.ReadBuffer(data.data(), data.size());
    if (data.isEmpty())
        return;
    const int nameLength = quint8(data[0]);
    if (nameLength + 1 > data.size())
        throw EInvalidGraphic(QStringLiteral("Unknown picture file format"));
    QByteArray bytes = data.mid(1 + nameLength);
    if (bytes.size() >= 4) {
        const quint32 length = quint8(bytes[0]) | (quint8(bytes[1]) << 8) | (quint8(bytes[2]) << 16)
            | (quint32(quint8(bytes[3])) << 24);
        // A length prefix reads as an icon header (its second word is 0);
        // it is taken off when the rest is a picture of its own.
        const GraphicKind whole = DetectGraphicKind(bytes);
        if (length == quint32(bytes.size() - 4) && (whole == GraphicKind::None || whole == GraphicKind::Icon)
            && DetectGraphicKind(bytes.mid(4)) != GraphicKind::None)
            bytes.remove(0, 4);
    }
    if (bytes.isEmpty()) {
        picture.Clear();
        return;
    }
    picture.LoadFromBytes(bytes);
}

void writePictureData(const TPicture& picture, TStream& stream)
{
    const TGraphic* graphic = picture.Graphic();
    const QByteArray name = QByteArray(graphic->GraphicClassName()).left(255);
    const QByteArray bytes = graphic->SaveToBytes();
    QByteArray data;
    data.append(char(name.size()));
    data.append(name);
    if (writesLengthFirst(name)) {
        const quint32 length = quint32(bytes.size());
        for (int i = 0; i < 4; ++i)
            data.append(char((length >> (8 * i)) & 0xFF));
    }
    data.append(bytes);
    stream.WriteBuffer(data.constData(), data.size());
}

} // namespace

void TPicture::DefineProperties(TFiler& filer)
{
    TPersistent::DefineProperties(filer);
    filer.DefineBinaryProperty(
        QStringLiteral("Data"), [this](TStream& stream) { readPictureData(*this, stream); },
        [this](TStream& stream) { writePictureData(*this, stream); }, !Empty());
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic)
{
    m_graphic = std::move(graphic);
    if (m_graphic)
        m_graphic->SetOnChange([this](TGraphic*) { changed(); });
    changed();
}

void TPicture::SetGraphicCopy(const TGraphic* graphic)
{
    if (!graphic) {
        SetGraphic(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> copy;
    if (auto* b = dynamic_cast<const TBitmap*>(graphic)) {
        auto nb = std::make_unique<TBitmap>();
        nb->Assign(const_cast<TBitmap*>(b));
        copy = std::move(nb);
    } else {
        // Through the bytes: the copy keeps the kind and the original file exactly.
        const QByteArray bytes = graphic->SaveToBytes();
        copy = CreateGraphic(DetectGraphicKind(bytes));
        if (!copy)
            throw EInvalidGraphic(QStringLiteral("Unknown picture file format"));
        copy->LoadFromBytes(bytes);
        if (auto* mf = dynamic_cast<TMetafile*>(copy.get())) {
            // An empty recording saves no size of its own.
            mf->SetWidth(graphic->Width());
            mf->SetHeight(graphic->Height());
        }
        copy->SetTransparent(graphic->Transparent());
    }
    SetGraphic(std::move(copy));
}

TBitmap& TPicture::Bitmap()
{
    if (auto* b = dynamic_cast<TBitmap*>(m_graphic.get()))
        return *b;
    auto bmp = std::make_unique<TBitmap>();
    if (m_graphic && !m_graphic->Empty())
        bmp->SetImage(m_graphic->ToImage().convertToFormat(QImage::Format_RGB32));
    TBitmap& ref = *bmp;
    SetGraphic(std::move(bmp));
    return ref;
}

void TPicture::LoadFromFile(const QString& fileName) { LoadFromBytes(readWholeFile(fileName)); }

void TPicture::LoadFromBytes(const QByteArray& bytes)
{
    auto graphic = CreateGraphic(DetectGraphicKind(bytes));
    if (!graphic)
        throw EInvalidGraphic(QStringLiteral("Unknown picture file format"));
    graphic->LoadFromBytes(bytes); // raises before the picture changes
    SetGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const QString& fileName) const
{
    if (m_graphic)
        m_graphic->SaveToFile(fileName);
}

void TPicture::changed()
{
    if (m_onChange)
        m_onChange(this);
}

} // namespace plat
