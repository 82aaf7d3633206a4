#pragma once
// Reading drawn pixels back as platform colours.

#include "Graphics.h"

#include <QColor>
#include <QImage>

// The colour of one pixel, without its alpha.
inline plat::TColor colorAt(const QImage& image, int x, int y)
{
    return plat::FromQColor(QColor(image.pixel(x, y))) & 0xFFFFFF;
}
