#pragma once
// Colours, fonts, pens, brushes and pictures of the drawing layer.
//
// TColor is the platform's 32-bit colour: red in the low byte, then green,
// then blue; clNone (0x1FFFFFFF) and clDefault (0x20000000) are markers, and
// values with the high byte 0xFF name system colours by index (low byte).
// TFont, TPen and TBrush are persistent objects with change notification;
// a canvas listens to its own three and re-selects them when they change.
// Pictures (TGraphic descendants) keep the bytes they were loaded from, so
// saving writes back exactly what was read.

#include <QHashFunctions> // before Objects.h: its maps hash QString

#include "Objects.h"
#include "TypeInfo.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace plat {

class TCanvas;
class TStream;

using TColor = std::int32_t;

// The platform's colour identifier table, in its order (also used by the
// colour-name conversions and by scripts).
inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clMaroon = 0x00000080;
inline constexpr TColor clGreen = 0x00008000;
inline constexpr TColor clOlive = 0x00008080;
inline constexpr TColor clNavy = 0x00800000;
inline constexpr TColor clPurple = 0x00800080;
inline constexpr TColor clTeal = 0x00808000;
inline constexpr TColor clGray = 0x00808080;
inline constexpr TColor clSilver = 0x00C0C0C0;
inline constexpr TColor clRed = 0x000000FF;
inline constexpr TColor clLime = 0x0000FF00;
inline constexpr TColor clYellow = 0x0000FFFF;
inline constexpr TColor clBlue = 0x00FF0000;
inline constexpr TColor clFuchsia = 0x00FF00FF;
inline constexpr TColor clAqua = 0x00FFFF00;
inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor clMoneyGreen = 0x00C0DCC0;
inline constexpr TColor clSkyBlue = 0x00F0CAA6;
inline constexpr TColor clCream = 0x00F0FBFF;
inline constexpr TColor clMedGray = 0x00A4A0A0;
inline constexpr TColor clLtGray = clSilver;
inline constexpr TColor clDkGray = clGray;
inline constexpr TColor clScrollBar = TColor(0xFF000000);
inline constexpr TColor clBackground = TColor(0xFF000001);
inline constexpr TColor clActiveCaption = TColor(0xFF000002);
inline constexpr TColor clInactiveCaption = TColor(0xFF000003);
inline constexpr TColor clMenu = TColor(0xFF000004);
inline constexpr TColor clWindow = TColor(0xFF000005);
inline constexpr TColor clWindowFrame = TColor(0xFF000006);
inline constexpr TColor clMenuText = TColor(0xFF000007);
inline constexpr TColor clWindowText = TColor(0xFF000008);
inline constexpr TColor clCaptionText = TColor(0xFF000009);
inline constexpr TColor clActiveBorder = TColor(0xFF00000A);
inline constexpr TColor clInactiveBorder = TColor(0xFF00000B);
inline constexpr TColor clAppWorkSpace = TColor(0xFF00000C);
inline constexpr TColor clHighlight = TColor(0xFF00000D);
inline constexpr TColor clHighlightText = TColor(0xFF00000E);
inline constexpr TColor clBtnFace = TColor(0xFF00000F);
inline constexpr TColor clBtnShadow = TColor(0xFF000010);
inline constexpr TColor clGrayText = TColor(0xFF000011);
inline constexpr TColor clBtnText = TColor(0xFF000012);
inline constexpr TColor clInactiveCaptionText = TColor(0xFF000013);
inline constexpr TColor clBtnHighlight = TColor(0xFF000014);
inline constexpr TColor cl3DDkShadow = TColor(0xFF000015);
inline constexpr TColor cl3DLight = TColor(0xFF000016);
inline constexpr TColor clInfoText = TColor(0xFF000017);
inline constexpr TColor clInfoBk = TColor(0xFF000018);
inline constexpr TColor clHotLight = TColor(0xFF00001A);
inline constexpr TColor clGradientActiveCaption = TColor(0xFF00001B);
inline constexpr TColor clGradientInactiveCaption = TColor(0xFF00001C);
inline constexpr TColor clMenuHighlight = TColor(0xFF00001D);
inline constexpr TColor clMenuBar = TColor(0xFF00001E);
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

struct TColorIdent {
    const char* name;
    TColor value;
};
// The 52 identifiers in the platform's table order (clBlack .. clWindowText).
const std::vector<TColorIdent>& ColorIdents();

// System colour values with the high byte set resolve to fixed RGB values
// (a classic light desktop scheme), so drawing is reproducible headless.
TColor ColorToRGB(TColor color);
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);
inline constexpr TColor RGB(int r, int g, int b) { return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16)); }

// "clRed" for table colours, otherwise "$00BBGGRR" (8 upper-case hex digits).
QString ColorToString(TColor color);
// Accepts identifiers (case-insensitive) and numbers ("$..", "0x..", decimal);
// raises EConvertError for anything else.
TColor StringToColor(const QString& text);
bool IdentToColor(const QString& ident, TColor& color);
bool ColorToIdent(TColor color, QString& ident);

enum TFontStyle { fsBold = 0, fsItalic = 1, fsUnderline = 2, fsStrikeOut = 3 };
using TFontStyles = TSet<TFontStyle>;
PLAT_DECLARE_ENUM(TFontStyle)
PLAT_DECLARE_SET(TFontStyles)
enum TFontPitch { fpDefault, fpVariable, fpFixed };
PLAT_DECLARE_ENUM(TFontPitch)
using TFontCharset = std::uint8_t;
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;
inline constexpr TFontCharset SYMBOL_CHARSET = 2;
inline constexpr TFontCharset EASTEUROPE_CHARSET = 238;
inline constexpr TFontCharset RUSSIAN_CHARSET = 204;
inline constexpr TFontCharset GREEK_CHARSET = 161;
inline constexpr TFontCharset TURKISH_CHARSET = 162;
inline constexpr TFontCharset BALTIC_CHARSET = 186;
inline constexpr TFontCharset OEM_CHARSET = 255;
// Code page of a font character set (1252 for ANSI/DEFAULT, 1250 for
// EASTEUROPE, ...), 0 when the set has none (symbol fonts).
int CharsetToCodePage(TFontCharset charset);

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
PLAT_DECLARE_ENUM(TPenStyle)
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
PLAT_DECLARE_ENUM(TPenMode)
// Geometric pen extras (not published): end caps and a user dash pattern.
enum TPenEndCap { pecRound, pecSquare, pecFlat };
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
PLAT_DECLARE_ENUM(TBrushStyle)

// Base of TFont, TPen and TBrush: change notification. OnChange is the
// public event; the owner listener is how a canvas (or any owner) follows
// its own objects without taking the event from the user.
class TGraphicsObject : public TPersistent {
    PLAT_CLASS(TGraphicsObject, TPersistent)
public:
    using OwnerListener = std::function<void(TGraphicsObject* sender)>;
    void SetOwnerListener(OwnerListener listener) { m_listener = std::move(listener); }

    TNotifyEvent OnChange;

protected:
    TGraphicsObject() = default;
    void Changed();

private:
    OwnerListener m_listener;
};

class TFont : public TGraphicsObject {
    PLAT_CLASS(TFont, TGraphicsObject)
public:
    TFont();
    ~TFont() override;
    void Assign(TPersistent* source) override;
    void AssignFont(const TFont& source);

    QString Name() const { return m_name; }
    void SetName(const QString& name);
    // Points; derived from Height at PixelsPerInch (Height negative: em height).
    int Size() const;
    void SetSize(int points);
    // Pixels: negative = character (em) height, positive = cell height.
    int Height() const { return m_height; }
    void SetHeight(int height);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles style);
    bool HasStyle(TFontStyle s) const { return m_style.contains(s); }
    TFontCharset Charset() const { return m_charset; }
    void SetCharset(TFontCharset charset);
    TFontPitch Pitch() const { return m_pitch; }
    void SetPitch(TFontPitch pitch);
    // Resolution that Size converts through (96 on screen; a printer canvas
    // sets the printer's). Changing it keeps Height, as the platform does.
    int PixelsPerInch() const { return m_pixelsPerInch; }
    void SetPixelsPerInch(int ppi);
    // Escapement and orientation in tenths of a degree, counter-clockwise.
    int Orientation() const { return m_orientation; }
    void SetOrientation(int tenths);

    bool SameAs(const TFont& other) const;


private:
    QString m_name = QStringLiteral("Tahoma");
    int m_height = -11; // 8 points at 96 dpi
    TColor m_color = clWindowText;
    TFontStyles m_style;
    TFontCharset m_charset = DEFAULT_CHARSET;
    TFontPitch m_pitch = fpDefault;
    int m_pixelsPerInch = 96;
    int m_orientation = 0;
};

class TPen : public TGraphicsObject {
    PLAT_CLASS(TPen, TGraphicsObject)
public:
    TPen();
    ~TPen() override;
    void Assign(TPersistent* source) override;
    void AssignPen(const TPen& source);

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    int Width() const { return m_width; }
    void SetWidth(int width);
    TPenStyle Style() const { return m_style; }
    void SetStyle(TPenStyle style);
    TPenMode Mode() const { return m_mode; }
    void SetMode(TPenMode mode);

    // Geometric pen: caps apply to pens wider than one pixel or with a user
    // dash pattern (lengths in pixels, on/off alternating, starting with on).
    bool Geometric() const { return m_geometric; }
    TPenEndCap EndCap() const { return m_endCap; }
    const std::vector<int>& UserDash() const { return m_userDash; }
    void SetGeometric(int width, TColor color, TPenEndCap cap, std::vector<int> userDash = {});
    void SetCosmetic(); // back to a plain pen (keeps colour, width, style)


private:
    TColor m_color = clBlack;
    int m_width = 1;
    TPenStyle m_style = psSolid;
    TPenMode m_mode = pmCopy;
    bool m_geometric = false;
    TPenEndCap m_endCap = pecRound;
    std::vector<int> m_userDash;
};

class TBrush : public TGraphicsObject {
    PLAT_CLASS(TBrush, TGraphicsObject)
public:
    TBrush();
    ~TBrush() override;
    void Assign(TPersistent* source) override;
    void AssignBrush(const TBrush& source);

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return m_style; }
    void SetStyle(TBrushStyle style);


private:
    TColor m_color = clWhite;
    TBrushStyle m_style = bsSolid;
};

// ---------------------------------------------------------------- pictures

class TGraphic : public TPersistent {
    PLAT_CLASS(TGraphic, TPersistent)
public:
    ~TGraphic() override;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int width);   // raises EInvalidGraphicOperation where unsupported
    virtual void SetHeight(int height);
    virtual bool Empty() const = 0;
    bool Transparent() const { return m_transparent; }
    virtual void SetTransparent(bool transparent);

    // Raises EInvalidGraphic when the bytes are not a picture of this kind.
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const; // atomic (temporary file renamed)
    void LoadFromStream(TStream& stream);           // reads to the end of the stream
    void SaveToStream(TStream& stream) const;
    virtual void LoadFromBytes(const QByteArray& bytes) = 0;
    // The bytes loaded, or the graphic encoded in its own format when it was
    // made or changed in memory.
    virtual QByteArray SaveToBytes() const = 0;

    // Draws stretched into (x1, y1)-(x2, y2), right and bottom exclusive.
    virtual void Draw(TCanvas& canvas, int x1, int y1, int x2, int y2) const = 0;
    // Rendered at its own size (a metafile replays onto a white image).
    virtual QImage ToImage() const = 0;
    virtual const char* GraphicClassName() const = 0;

    void SetOnChange(std::function<void(TGraphic*)> handler) { m_onChange = std::move(handler); }

protected:
    void Changed();

private:
    bool m_transparent = false;
    std::function<void(TGraphic*)> m_onChange;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
    PLAT_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    void Assign(TPersistent* source) override;

    int Width() const override;
    int Height() const override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    void SetSize(int width, int height);
    bool Empty() const override;

    TPixelFormat PixelFormat() const { return m_pixelFormat; }
    void SetPixelFormat(TPixelFormat format);
    bool Monochrome() const { return m_pixelFormat == pf1bit; }
    void SetMonochrome(bool mono);

    // tmAuto: the bottom-left pixel's colour; tmFixed: the colour set.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return m_transparentMode; }
    void SetTransparentMode(TTransparentMode mode);

    TCanvas& Canvas();      // draws on the bitmap's image
    const QImage& Image() const; // ends the canvas's drawing first
    void SetImage(const QImage& image);

    void LoadFromBytes(const QByteArray& bytes) override; // BMP
    QByteArray SaveToBytes() const override;              // BMP
    void Draw(TCanvas& canvas, int x1, int y1, int x2, int y2) const override;
    QImage ToImage() const override { return Image(); }
    const char* GraphicClassName() const override { return "TBitmap"; }

private:
    void ensureImage(int width, int height);
    void releaseCanvas() const;
    void modified();

    mutable QImage m_image;
    std::unique_ptr<TCanvas> m_canvas;
    TPixelFormat m_pixelFormat = pfDevice;
    TTransparentMode m_transparentMode = tmAuto;
    TColor m_transparentColor = clDefault;
    QByteArray m_original; // bytes loaded, dropped when drawn on or resized
};

// Raster pictures that keep their file bytes: JPEG (libjpeg), PNG (libpng), icon.
class TRasterGraphic : public TGraphic {
    PLAT_CLASS(TRasterGraphic, TGraphic)
public:
    ~TRasterGraphic() override;
    int Width() const override { return m_image.width(); }
    int Height() const override { return m_image.height(); }
    bool Empty() const override { return m_image.isNull(); }
    QByteArray SaveToBytes() const override { return m_bytes; }
    void Draw(TCanvas& canvas, int x1, int y1, int x2, int y2) const override;
    QImage ToImage() const override { return m_image; }
    void Assign(TPersistent* source) override;

protected:
    QImage m_image;
    QByteArray m_bytes;
};

class TJPEGImage : public TRasterGraphic {
    PLAT_CLASS(TJPEGImage, TRasterGraphic)
public:
    void LoadFromBytes(const QByteArray& bytes) override;
    const char* GraphicClassName() const override { return "TJPEGImage"; }
    // Encodes an image (libjpeg, quality 0..100) and keeps those bytes.
    void CompressFrom(const QImage& image, int quality = 90);
};

class TPngImage : public TRasterGraphic {
    PLAT_CLASS(TPngImage, TRasterGraphic)
public:
    void LoadFromBytes(const QByteArray& bytes) override;
    const char* GraphicClassName() const override { return "TPngImage"; }
    void EncodeFrom(const QImage& image);
};

class TIcon : public TRasterGraphic {
    PLAT_CLASS(TIcon, TRasterGraphic)
public:
    void LoadFromBytes(const QByteArray& bytes) override;
    const char* GraphicClassName() const override { return "TIcon"; }
};

// Picture kinds recognised by content, in the order they are tested.
enum class GraphicKind { None, Bitmap, Jpeg, Png, Metafile, EnhMetafile, Icon, Recording };
GraphicKind DetectGraphicKind(const QByteArray& bytes);
// A new, empty graphic of that kind (nullptr for None).
std::unique_ptr<TGraphic> CreateGraphic(GraphicKind kind);

class TPicture : public TPersistent {
    PLAT_CLASS(TPicture, TPersistent)
public:
    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* source) override;
    // "Data": the graphic's class name as a short string, then its bytes
    // (a bitmap's and a JPEG's after their 32-bit length, as the platform
    // writes them). Reading accepts either form and tells the kind by the
    // bytes.
    void DefineProperties(TFiler& filer) override;

    TGraphic* Graphic() const { return m_graphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    void SetGraphicCopy(const TGraphic* graphic); // copies through Assign
    // Makes the picture hold a bitmap (converting what it holds) and returns it.
    TBitmap& Bitmap();
    int Width() const { return m_graphic ? m_graphic->Width() : 0; }
    int Height() const { return m_graphic ? m_graphic->Height() : 0; }
    bool Empty() const { return !m_graphic || m_graphic->Empty(); }
    void Clear() { SetGraphic(nullptr); }

    // Loads by content; raises EInvalidGraphic for unknown or damaged bytes
    // (the picture keeps what it held before).
    void LoadFromFile(const QString& fileName);
    void LoadFromBytes(const QByteArray& bytes);
    void SaveToFile(const QString& fileName) const;

    void SetOnChange(std::function<void(TPicture*)> handler) { m_onChange = std::move(handler); }

private:
    void changed();
    std::unique_ptr<TGraphic> m_graphic;
    std::function<void(TPicture*)> m_onChange;
};

// Registers TFont, TPen, TBrush, TGraphic, TBitmap, TPicture, TMetafile with
// the class registry (idempotent).
void RegisterGraphicsClasses();

} // namespace plat
