#pragma once
// Small helpers shared by the drawing tests.

#include "Canvas.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <cstdio>
#include <string>

namespace gfxtest {

inline QImage whiteImage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

inline QRgb rgbOf(plat::TColor c) { return plat::ToQColor(c).rgb(); }

inline bool isColor(const QImage& img, int x, int y, plat::TColor c)
{
    return (img.pixel(x, y) & 0xFFFFFF) == (rgbOf(c) & 0xFFFFFF);
}

// Bounding box of the pixels that differ from the background.
inline QRect inkBox(const QImage& img, QRgb background = 0xFFFFFFFF)
{
    int l = img.width(), t = img.height(), r = -1, b = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) {
                l = std::min(l, x);
                r = std::max(r, x);
                t = std::min(t, y);
                b = std::max(b, y);
            }
    return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

inline int countColor(const QImage& img, plat::TColor c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += isColor(img, x, y, c);
    return n;
}

// Runs a command and returns its standard output; exit status in *status.
inline std::string run(const std::string& cmd, int* status = nullptr)
{
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) {
        if (status)
            *status = -1;
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    const int rc = pclose(p);
    if (status)
        *status = rc;
    return out;
}

inline bool fileExists(const char* path)
{
    if (std::FILE* f = std::fopen(path, "rb")) {
        std::fclose(f);
        return true;
    }
    return false;
}

} // namespace gfxtest
