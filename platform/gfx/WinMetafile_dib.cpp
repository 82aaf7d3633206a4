#include "WinMetafile_p.h"

#include "Exceptions.h"
#include "Graphics.h"

#include <bit>

namespace plat::winmeta {

namespace {

struct Channel {
    quint32 mask = 0;
    int shift = 0;
    int bits = 0;
    explicit Channel(quint32 m = 0) : mask(m)
    {
        if (mask) {
            shift = std::countr_zero(mask);
            bits = 32 - std::countl_zero(mask) - shift;
        }
    }
    int get(quint32 v) const
    {
        if (!mask)
            return 0;
        const quint32 c = (v & mask) >> shift;
        if (bits >= 8)
            return int(c >> (bits - 8));
        return int(c * 255 / ((1u << bits) - 1));
    }
};

QImage decodeEmbedded(QByteArrayView bits, bool jpeg)
{
    try {
        QImage img;
        if (jpeg) {
            TJPEGImage j;
            j.LoadFromBytes(bits.toByteArray());
            img = j.ToImage();
        } else {
            TPngImage p;
            p.LoadFromBytes(bits.toByteArray());
            img = p.ToImage();
        }
        if (img.isNull() || qint64(img.width()) * img.height() > kMaxPixels)
            return {};
        return img.convertToFormat(QImage::Format_RGB32);
    } catch (const Exception&) {
        return {};
    }
}

} // namespace

std::optional<DibLayout> dibLayout(const Bytes& b, int usage)
{
    DibLayout d;
    const quint32 hs = b.u32(0);
    quint32 clrUsed = 0;
    if (hs == 12) {
        d.core = true;
        d.width = b.u16(4);
        d.height = b.s16(6);
        d.bpp = b.u16(10);
        d.entrySize = 3;
    } else if (hs >= 40 && hs <= 1024) {
        d.width = b.s32(4);
        d.height = b.s32(8);
        d.bpp = b.u16(14);
        d.compression = b.u32(16);
        clrUsed = b.u32(32);
    } else {
        return std::nullopt;
    }
    d.tableOffset = hs;
    if (d.compression == 3 || d.compression == 6) { // bit fields
        const qint64 at = hs >= 52 ? 40 : hs;
        for (int i = 0; i < 3; ++i)
            d.masks[i] = b.u32(at + 4 * i);
        if (hs < 52)
            d.tableOffset = hs + (d.compression == 6 ? 16 : 12);
    }
    if (usage == kDibPalColors)
        d.entrySize = 2;
    if (d.bpp <= 8 && d.bpp > 0)
        d.colors = clrUsed != 0 && clrUsed < (1u << d.bpp) ? clrUsed : (1u << d.bpp);
    else
        d.colors = std::min<quint32>(clrUsed, 1u << 16);
    if (d.width <= 0 || d.height == 0 || d.width > kMaxDimension || std::abs(d.height) > kMaxDimension
        || d.width * std::abs(d.height) > kMaxPixels)
        return std::nullopt;
    return d;
}

std::vector<QRgb> dibPalette(const Bytes& info, const DibLayout& d)
{
    std::vector<QRgb> palette;
    info.need(d.tableOffset, d.colors * d.entrySize);
    for (qint64 i = 0; i < d.colors; ++i) {
        const qint64 o = d.tableOffset + i * d.entrySize;
        palette.push_back(qRgb(info.u8(o + 2), info.u8(o + 1), info.u8(o)));
    }
    return palette;
}

// Run-length encoded 8- or 4-bit rows, bottom row first; pixels the runs
// skip keep the first colour.
QImage decodeRle(const DibLayout& d, const Bytes& bits, const std::vector<QRgb>& palette)
{
    const int w = int(d.width), h = int(std::abs(d.height));
    QImage img(w, h, QImage::Format_RGB32);
    if (img.isNull())
        return {};
    img.fill(palette.empty() ? qRgb(0, 0, 0) : palette[0]);
    const bool four = d.compression == 2;
    const auto color = [&](int i) { return i < int(palette.size()) ? palette[size_t(i)] : qRgb(0, 0, 0); };
    const auto put = [&](qint64 x, qint64 y, int i) {
        if (x >= 0 && x < w && y >= 0 && y < h)
            reinterpret_cast<QRgb*>(img.scanLine(int(h - 1 - y)))[x] = color(i);
    };
    qint64 x = 0, y = 0, at = 0;
    while (bits.has(at, 2) && y < h) {
        const int count = bits.u8(at), value = bits.u8(at + 1);
        at += 2;
        if (count > 0) {
            for (int k = 0; k < count && x + k < w; ++k)
                put(x + k, y, four ? ((k & 1) ? value & 0xF : value >> 4) : value);
            x += count;
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            x += bits.u8(at);
            y += bits.u8(at + 1);
            at += 2;
        } else {
            const qint64 bytes = four ? (value + 1) / 2 : value;
            bits.need(at, bytes);
            for (int k = 0; k < value; ++k) {
                const int b = bits.u8(at + (four ? k / 2 : k));
                put(x + k, y, four ? ((k & 1) ? b & 0xF : b >> 4) : b);
            }
            x += value;
            at += (bytes + 1) & ~qint64(1);
        }
    }
    return img;
}

// A DIB from its header (with colour table) and its bits; rows limits the
// scan lines present (0: all). With alpha, 32-bit pixels keep their
// (premultiplied) alpha. A null image when it cannot be read.
Dib decodeDib(const Bytes& info, const Bytes& bits, int usage, qint64 rows, bool alpha)
{
    try {
        const std::optional<DibLayout> d = dibLayout(info, usage);
        if (!d)
            return {};
        if (d->compression == 4 || d->compression == 5)
            return {decodeEmbedded(bits.view(0, bits.size()), d->compression == 4), false};
        if (d->bpp <= 8 && usage == kDibPalColors)
            return {}; // indices into a palette we do not have
        if ((d->compression == 1 && d->bpp == 8) || (d->compression == 2 && d->bpp == 4))
            return {decodeRle(*d, bits, dibPalette(info, *d)), true};
        const bool fields = d->compression == 3 || d->compression == 6;
        if (!(d->compression == 0 || (fields && (d->bpp == 16 || d->bpp == 32))))
            return {};
        if (d->bpp != 1 && d->bpp != 4 && d->bpp != 8 && d->bpp != 16 && d->bpp != 24 && d->bpp != 32)
            return {};
        const std::vector<QRgb> palette = d->bpp <= 8 ? dibPalette(info, *d) : std::vector<QRgb>();
        const qint64 stride = ((d->width * d->bpp + 31) / 32) * 4;
        const qint64 total = std::abs(d->height);
        const qint64 n = rows > 0 ? std::min(rows, total) : total;
        bits.need(0, stride * n);
        const bool withAlpha = alpha && d->bpp == 32 && d->compression == 0;
        QImage img(int(d->width), int(n), withAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        if (img.isNull())
            return {};
        const bool bottomUp = d->height > 0;
        // Without bit fields: 5-5-5 in 16 bits, 8-8-8 in 32.
        const bool wide = d->bpp == 32;
        const Channel cr(fields ? d->masks[0] : wide ? 0xFF0000 : 0x7C00);
        const Channel cg(fields ? d->masks[1] : wide ? 0xFF00 : 0x03E0);
        const Channel cb(fields ? d->masks[2] : wide ? 0xFF : 0x001F);
        const auto* src = reinterpret_cast<const quint8*>(bits.data());
        const auto index = [&](qint64 i) { return i < qint64(palette.size()) ? palette[size_t(i)] : qRgb(0, 0, 0); };
        for (qint64 row = 0; row < n; ++row) {
            const quint8* s = src + row * stride;
            auto* out = reinterpret_cast<QRgb*>(img.scanLine(int(bottomUp ? n - 1 - row : row)));
            for (qint64 x = 0; x < d->width; ++x) {
                switch (d->bpp) {
                case 1: out[x] = index((s[x >> 3] >> (7 - (x & 7))) & 1); break;
                case 4: out[x] = index((s[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF); break;
                case 8: out[x] = index(s[x]); break;
                case 16: {
                    const quint32 v = quint32(s[2 * x] | (s[2 * x + 1] << 8));
                    out[x] = qRgb(cr.get(v), cg.get(v), cb.get(v));
                    break;
                }
                case 24: out[x] = qRgb(s[3 * x + 2], s[3 * x + 1], s[3 * x]); break;
                default: {
                    const quint32 v = quint32(s[4 * x]) | (quint32(s[4 * x + 1]) << 8) | (quint32(s[4 * x + 2]) << 16)
                                      | (quint32(s[4 * x + 3]) << 24);
                    if (withAlpha) {
                        // Premultiplied: no channel may exceed its alpha.
                        const int a = s[4 * x + 3];
                        out[x] = qRgba(std::min(a, cr.get(v)), std::min(a, cg.get(v)), std::min(a, cb.get(v)), a);
                    } else {
                        out[x] = qRgb(cr.get(v), cg.get(v), cb.get(v));
                    }
                    break;
                }
                }
            }
        }
        return {img, bottomUp};
    } catch (const Damaged&) {
        return {};
    }
}

// The picture drawn at a constant opacity (0..255) on top of its own alpha.
QImage withOpacity(const QImage& img, int opacity)
{
    if (img.isNull() || opacity >= 255)
        return img;
    QImage out = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        auto* p = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            p[x] = qRgba(qRed(p[x]) * opacity / 255, qGreen(p[x]) * opacity / 255, qBlue(p[x]) * opacity / 255,
                         qAlpha(p[x]) * opacity / 255);
    }
    return out;
}

// A packed DIB (header, colour table, bits in one block), as WMF stores it.
Dib decodePackedDib(const Bytes& packed, int usage)
{
    try {
        const std::optional<DibLayout> d = dibLayout(packed, usage);
        if (!d)
            return {};
        const qint64 at = d->infoSize();
        return decodeDib(packed, packed.sub(at, packed.size() - at), usage);
    } catch (const Damaged&) {
        return {};
    }
}

std::optional<TColor> averageColor(const QImage& img)
{
    if (img.isNull())
        return std::nullopt;
    const int stepX = std::max(1, img.width() / 64), stepY = std::max(1, img.height() / 64);
    qint64 r = 0, g = 0, b = 0, n = 0;
    for (int y = 0; y < img.height(); y += stepY)
        for (int x = 0; x < img.width(); x += stepX) {
            const QRgb c = img.pixel(x, y);
            r += qRed(c);
            g += qGreen(c);
            b += qBlue(c);
            ++n;
        }
    return RGB(int(r / n), int(g / n), int(b / n));
}

std::optional<TCopyMode> copyModeOf(quint32 rop)
{
    switch (rop) {
    case kSrcCopy: case kNotSrcCopy: return cmSrcCopy;
    case kSrcPaint: return cmSrcPaint;
    case kSrcAnd: return cmSrcAnd;
    case kSrcInvert: return cmSrcInvert;
    case kMergePaint: return cmMergePaint;
    default: return std::nullopt;
    }
}

} // namespace plat::winmeta
