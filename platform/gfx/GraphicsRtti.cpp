// Published properties of the drawing classes and their registration.

#include "Canvas.h"
#include "Graphics.h"
#include "Metafile.h"

namespace plat {

PLAT_DEFINE_ENUM(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut")
PLAT_DEFINE_SET(TFontStyles, TFontStyle)
PLAT_DEFINE_ENUM(TFontPitch, "fpDefault", "fpVariable", "fpFixed")
PLAT_DEFINE_ENUM(TPenStyle, "psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame")
PLAT_DEFINE_ENUM(TPenMode, "pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                 "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask",
                 "pmXor", "pmNotXor")
PLAT_DEFINE_ENUM(TBrushStyle, "bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal",
                 "bsCross", "bsDiagCross")

PLAT_DEFINE_CLASS(TGraphicsObject, c) { (void)c; }

// Height is what a font stores; Size follows from it and is not stored.
PLAT_DEFINE_CLASS(TFont, c)
{
    c.property<ti::TFontCharset>("Charset", &TFont::Charset, &TFont::SetCharset).defaultValue(DEFAULT_CHARSET);
    c.property<ti::TColor>("Color", &TFont::Color, &TFont::SetColor);
    c.property("Height", &TFont::Height, &TFont::SetHeight);
    c.property<ti::TFontName>("Name", &TFont::Name, &TFont::SetName);
    c.property("Pitch", &TFont::Pitch, &TFont::SetPitch).defaultValue(fpDefault);
    c.property("Size", &TFont::Size, &TFont::SetSize).stored(false);
    c.property("Style", &TFont::Style, &TFont::SetStyle);
}

PLAT_DEFINE_CLASS(TPen, c)
{
    c.property<ti::TColor>("Color", &TPen::Color, &TPen::SetColor).defaultValue(clBlack);
    c.property("Mode", &TPen::Mode, &TPen::SetMode).defaultValue(pmCopy);
    c.property("Style", &TPen::Style, &TPen::SetStyle).defaultValue(psSolid);
    c.property("Width", &TPen::Width, &TPen::SetWidth).defaultValue(1);
}

PLAT_DEFINE_CLASS(TBrush, c)
{
    c.property<ti::TColor>("Color", &TBrush::Color, &TBrush::SetColor).defaultValue(clWhite);
    c.property("Style", &TBrush::Style, &TBrush::SetStyle).defaultValue(bsSolid);
}

PLAT_DEFINE_CLASS(TGraphic, c) { (void)c; }
PLAT_DEFINE_CLASS(TBitmap, c) { (void)c; }
PLAT_DEFINE_CLASS(TRasterGraphic, c) { (void)c; }
PLAT_DEFINE_CLASS(TJPEGImage, c) { (void)c; }
PLAT_DEFINE_CLASS(TPngImage, c) { (void)c; }
PLAT_DEFINE_CLASS(TIcon, c) { (void)c; }
PLAT_DEFINE_CLASS(TPicture, c) { (void)c; }
PLAT_DEFINE_CLASS(TMetafile, c) { (void)c; }
PLAT_DEFINE_CLASS(TCanvas, c) { (void)c; }
PLAT_DEFINE_CLASS(TPrinterCanvas, c) { (void)c; }
PLAT_DEFINE_CLASS(TMetafileCanvas, c) { (void)c; }

void RegisterGraphicsClasses()
{
    RegisterClasses({TFont::StaticClass(), TPen::StaticClass(), TBrush::StaticClass(), TGraphic::StaticClass(),
                     TBitmap::StaticClass(), TJPEGImage::StaticClass(), TPngImage::StaticClass(),
                     TIcon::StaticClass(), TPicture::StaticClass(), TMetafile::StaticClass(),
                     TCanvas::StaticClass()});
}

} // namespace plat
