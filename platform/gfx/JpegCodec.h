#pragma once
// Encoding JPEG bytes without keeping a picture (the PDF export's images).

#include <QByteArray>

class QImage;

namespace plat {

// JPEG bytes of an image (libjpeg, quality 0..100; the alpha of ARGB32
// pixels is ignored). Raises EInvalidGraphicOperation when encoding fails.
QByteArray EncodeJpeg(const QImage& image, int quality);

} // namespace plat
