#pragma once
// Windows metafiles (placeable WMF and EMF) translated into the records of
// our recording canvas, so they replay, scale and search like any picture.
//
// One small GDI state machine serves both formats: object table, saved
// states, mapping modes with window and viewport, the EMF world transform,
// clipping and paths. Records are translated into picture units (the
// picture's 96-dpi Width x Height); what our records cannot represent is
// dropped rather than guessed. Files come from users: every read is checked
// against its record and the file, and translation stops at the first
// damaged record, keeping what came before it.

#include "Metafile.h"

#include <QByteArray>

#include <vector>

namespace plat {

// The records are in units of 1/unitsPerPixel of a 96-dpi pixel: the
// picture's pixel size times unitsPerPixel is width x height.

// A placeable WMF (22-byte header, then the metafile); its box maps onto
// width x height.
std::vector<TMetafileRecord> TranslateWmf(const QByteArray& bytes, int width, int height, int unitsPerPixel = 1);
// An EMF; its frame (hundredths of a millimetre) maps onto width x height.
std::vector<TMetafileRecord> TranslateEmf(const QByteArray& bytes, int width, int height, int unitsPerPixel = 1);

} // namespace plat
