// JPEG through libjpeg, PNG through libpng, icons (PNG or DIB entries).

#include "Exceptions.h"
#include "Graphics.h"

#include <QBuffer>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include "JpegCodec.h"

#include <jpeglib.h>
#include <jerror.h>
#include <png.h>

namespace plat {

namespace {

// A header can claim any size; the pixels of a picture we accept stay within
// the limit Qt's own image reader keeps (BMP and icon colour parts go there).
constexpr qint64 kMaxPictureBytes = 256LL * 1024 * 1024;

bool plausibleSize(quint32 width, quint32 height)
{
    return width > 0 && height > 0 && width <= 65535 && height <= 65535
           && qint64(width) * qint64(height) * 4 <= kMaxPictureBytes;
}

// ---------------------------------------------------------------- JPEG

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
};

void jpegErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void jpegSilence(j_common_ptr, int) {}

// A picture cut short decodes as grey: report it as damaged instead.
void jpegWarning(j_common_ptr cinfo, int level)
{
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        err->truncated = true;
}

// Kept free of C++ objects with destructors between setjmp and longjmp.
bool decodeJpegInto(const QByteArray& bytes, QImage* out, char* message)
{
    jpeg_decompress_struct cinfo;
    JpegError jerr;
    cinfo.err = jpeg_std_error(&jerr.mgr);
    jerr.mgr.error_exit = jpegErrorExit;
    jerr.mgr.emit_message = jpegWarning;
    jerr.message[0] = 0;
    jerr.truncated = false;
    if (setjmp(jerr.jump)) {
        std::memcpy(message, jerr.message, sizeof jerr.message);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()), (unsigned long)bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    // Before decompressing: a progressive picture buffers all of itself at the start.
    if (!plausibleSize(cinfo.image_width, cinfo.image_height)) {
        std::strcpy(message, "picture too large");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width == 0 || cinfo.output_height == 0 || cinfo.output_width > 65535
        || cinfo.output_height > 65535) {
        std::strcpy(message, "bad size");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    *out = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB32);
    if (out->isNull()) {
        std::strcpy(message, "picture too large");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // Allocated by libjpeg, so that an error's longjmp leaks nothing.
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * JDIMENSION(cinfo.output_components), 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        unsigned char* rp = row[0];
        jpeg_read_scanlines(&cinfo, row, 1);
        auto* dst = reinterpret_cast<QRgb*>(out->scanLine(y));
        for (unsigned x = 0; x < cinfo.output_width; ++x) {
            if (cmyk) {
                // Adobe writes inverted CMYK.
                const int c = rp[x * 4], m = rp[x * 4 + 1], yy = rp[x * 4 + 2], k = rp[x * 4 + 3];
                dst[x] = qRgb(c * k / 255, m * k / 255, yy * k / 255);
            } else {
                dst[x] = qRgb(rp[x * 3], rp[x * 3 + 1], rp[x * 3 + 2]);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (jerr.truncated) {
        std::strcpy(message, "Premature end of JPEG file");
        return false;
    }
    return true;
}

bool encodeJpegInto(const QImage& image, int quality, unsigned char** buffer, unsigned long* size, char* message)
{
    jpeg_compress_struct cinfo;
    JpegError jerr;
    cinfo.err = jpeg_std_error(&jerr.mgr);
    jerr.mgr.error_exit = jpegErrorExit;
    jerr.mgr.emit_message = jpegSilence;
    if (setjmp(jerr.jump)) {
        std::memcpy(message, jerr.message, sizeof jerr.message);
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, buffer, size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    // The image's own 32-bit pixels go in as they lie in memory; the
    // library skips the fourth byte.
    cinfo.input_components = 4;
    cinfo.in_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

// ---------------------------------------------------------------- PNG

QImage decodePng(const QByteArray& bytes)
{
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, bytes.constData(), size_t(bytes.size()))) {
        const QString msg = QString::fromLatin1(img.message);
        png_image_free(&img);
        throw EInvalidGraphic(QStringLiteral("PNG image is not valid: %1").arg(msg));
    }
    if (!plausibleSize(img.width, img.height)) {
        png_image_free(&img);
        throw EInvalidGraphic(QStringLiteral("PNG image is not valid: picture too large"));
    }
    img.format = PNG_FORMAT_BGRA; // the memory order of QImage::Format_ARGB32 on little-endian machines
    QImage out(int(img.width), int(img.height), QImage::Format_ARGB32);
    if (out.isNull()) {
        png_image_free(&img);
        throw EInvalidGraphic(QStringLiteral("PNG image is not valid: picture too large"));
    }
    if (!png_image_finish_read(&img, nullptr, out.bits(), png_int_32(out.bytesPerLine()), nullptr)) {
        const QString msg = QString::fromLatin1(img.message);
        png_image_free(&img);
        throw EInvalidGraphic(QStringLiteral("PNG image is not valid: %1").arg(msg));
    }
    return out;
}

QByteArray encodePng(const QImage& image)
{
    const QImage src = image.convertToFormat(QImage::Format_ARGB32);
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = png_uint_32(src.width());
    img.height = png_uint_32(src.height());
    img.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&img, nullptr, &size, 0, src.constBits(), png_int_32(src.bytesPerLine()),
                                   nullptr))
        throw EInvalidGraphicOperation(QStringLiteral("Cannot write the PNG image"));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (!png_image_write_to_memory(&img, out.data(), &size, 0, src.constBits(), png_int_32(src.bytesPerLine()),
                                   nullptr))
        throw EInvalidGraphicOperation(QStringLiteral("Cannot write the PNG image"));
    out.resize(qsizetype(size));
    return out;
}

// ---------------------------------------------------------------- icon

quint16 le16(const QByteArray& b, qsizetype i) { return quint16(quint8(b[i]) | (quint8(b[i + 1]) << 8)); }
quint32 le32(const QByteArray& b, qsizetype i) { return quint32(le16(b, i)) | (quint32(le16(b, i + 2)) << 16); }

void put16(QByteArray& b, qsizetype i, quint32 v)
{
    b[i] = char(v & 0xFF);
    b[i + 1] = char((v >> 8) & 0xFF);
}
void put32(QByteArray& b, qsizetype i, quint32 v)
{
    put16(b, i, v & 0xFFFF);
    put16(b, i + 2, v >> 16);
}

// An icon entry's DIB: colour bitmap of height/2 rows followed by a 1-bit
// AND mask. Qt's BMP reader decodes the colour part once given a file header.
QImage decodeIconDib(const QByteArray& dib)
{
    if (dib.size() < 40)
        throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
    const quint32 headerSize = le32(dib, 0);
    const int width = int(le32(dib, 4));
    const int height2 = int(le32(dib, 8));
    const int bitCount = le16(dib, 14);
    quint32 colorsUsed = le32(dib, 32);
    if (headerSize < 40 || headerSize > quint32(dib.size()) || width <= 0 || width > 1024 || height2 <= 0
        || height2 > 2048)
        throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
    const int height = height2 / 2;
    if (bitCount <= 8 && (colorsUsed == 0 || colorsUsed > (1u << bitCount)))
        colorsUsed = 1u << bitCount;
    const quint32 paletteBytes = bitCount <= 8 ? colorsUsed * 4 : 0;
    QByteArray dibCopy = dib;
    put32(dibCopy, 8, quint32(height));
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, quint32(14 + dibCopy.size()));
    put32(file, 10, 14 + headerSize + paletteBytes);
    file += dibCopy;
    QImage color;
    if (!color.loadFromData(file, "BMP") || color.isNull())
        throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
    QImage out = color.convertToFormat(QImage::Format_ARGB32);
    if (bitCount == 32) {
        // 32-bit entries carry alpha; an all-zero alpha means the mask decides.
        bool anyAlpha = false;
        for (int y = 0; y < height && !anyAlpha; ++y)
            for (int x = 0; x < width; ++x)
                if (qAlpha(reinterpret_cast<const QRgb*>(out.constScanLine(y))[x]) != 0) {
                    anyAlpha = true;
                    break;
                }
        if (anyAlpha)
            return out;
        out = color.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32);
    }
    const qsizetype colorStride = ((qsizetype(width) * bitCount + 31) / 32) * 4;
    const qsizetype maskOffset = headerSize + paletteBytes + colorStride * height;
    const qsizetype maskStride = ((width + 31) / 32) * 4;
    if (maskOffset + maskStride * height <= dib.size()) {
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const quint8*>(dib.constData() + maskOffset + maskStride * (height - 1 - y));
            auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < width; ++x)
                if (row[x / 8] & (0x80 >> (x % 8)))
                    dst[x] = qRgba(0, 0, 0, 0);
        }
    }
    return out;
}

QImage decodeIcon(const QByteArray& bytes)
{
    if (bytes.size() < 6 || le16(bytes, 0) != 0 || (le16(bytes, 2) != 1 && le16(bytes, 2) != 2))
        throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
    const int count = le16(bytes, 4);
    if (count <= 0 || 6 + qsizetype(count) * 16 > bytes.size())
        throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
    // The largest entry, and at equal size the one with the most colours.
    int best = -1;
    int bestArea = -1, bestBits = -1;
    for (int i = 0; i < count; ++i) {
        const qsizetype e = 6 + qsizetype(i) * 16;
        int w = quint8(bytes[e]) ? quint8(bytes[e]) : 256;
        int h = quint8(bytes[e + 1]) ? quint8(bytes[e + 1]) : 256;
        int bits = le16(bytes, e + 6);
        if (w * h > bestArea || (w * h == bestArea && bits > bestBits)) {
            best = i;
            bestArea = w * h;
            bestBits = bits;
        }
    }
    const qsizetype e = 6 + qsizetype(best) * 16;
    const quint32 size = le32(bytes, e + 8);
    const quint32 offset = le32(bytes, e + 12);
    if (offset >= quint32(bytes.size()) || size > quint32(bytes.size()) - offset || size < 8)
        throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
    const QByteArray data = bytes.mid(offset, size);
    if (data.startsWith(QByteArray::fromHex("89504E470D0A1A0A")))
        return decodePng(data);
    return decodeIconDib(data);
}

} // namespace

void TJPEGImage::LoadFromBytes(const QByteArray& bytes)
{
    QImage img;
    char message[JMSG_LENGTH_MAX] = {};
    if (bytes.size() < 4 || !decodeJpegInto(bytes, &img, message))
        throw EInvalidGraphic(QStringLiteral("JPEG error: %1").arg(QString::fromLatin1(message)));
    m_image = img;
    m_bytes = bytes;
    Changed();
}

QByteArray EncodeJpeg(const QImage& image, int quality)
{
    const QImage src = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    const bool ok = !src.isNull() && encodeJpegInto(src, std::clamp(quality, 0, 100), &buffer, &size, message);
    QByteArray bytes = ok ? QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size)) : QByteArray();
    std::free(buffer);
    if (!ok)
        throw EInvalidGraphicOperation(QStringLiteral("JPEG error: %1").arg(QString::fromLatin1(message)));
    return bytes;
}

void TJPEGImage::CompressFrom(const QImage& image, int quality)
{
    LoadFromBytes(EncodeJpeg(image, quality));
}

void TPngImage::LoadFromBytes(const QByteArray& bytes)
{
    QImage img = decodePng(bytes);
    m_image = img;
    m_bytes = bytes;
    Changed();
}

void TPngImage::EncodeFrom(const QImage& image)
{
    if (image.isNull())
        throw EInvalidGraphicOperation(QStringLiteral("Cannot write an empty PNG image"));
    LoadFromBytes(encodePng(image));
}

void TIcon::LoadFromBytes(const QByteArray& bytes)
{
    QImage img = decodeIcon(bytes);
    m_image = img;
    m_bytes = bytes;
    SetTransparent(true);
    Changed();
}

} // namespace plat
