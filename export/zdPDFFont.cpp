#include "zdPDFFont.h"
#include "zdExportPDF_p.h"

#include "Graphics.h"

TzdPDFFont::TzdPDFFont(const plat::TFont&) {}
TzdPDFFont::~TzdPDFFont() = default;
void TzdPDFFont::WriteFontObjects(TzdPDFExport::State&) {}
struct TzdPDFFont::Shaper {};
