#include "zdZLib.h"

#include "TypeInfo.h"

#include <zlib.h>

#include <array>
#include <cstring>

namespace {

constexpr int kOutBufferSize = 65536;
constexpr unsigned char kGzipId1 = 0x1F;
constexpr unsigned char kGzipId2 = 0x8B;
constexpr unsigned char kGzipDeflate = 8;
constexpr unsigned char kFlagHeaderCrc = 0x02;
constexpr unsigned char kFlagExtra = 0x04;
constexpr unsigned char kFlagName = 0x08;
constexpr unsigned char kFlagComment = 0x10;
constexpr unsigned char kFlagReserved = 0xE0;
constexpr int kGzipHeaderSize = 10;
constexpr int kGzipTrailerSize = 8;
constexpr int kZlibWindowBits = 15;
constexpr qint64 kMaxOneShot = qint64(1) << 30; // bytes deflated in one call of zdDeflateBytes

const char kInvalidOperation[] = "Invalid ZStream operation!";

int zlibLevel(TZCompressLevel level)
{
    static constexpr int kLevels[] = {Z_NO_COMPRESSION, Z_BEST_SPEED, Z_DEFAULT_COMPRESSION,
                                      Z_BEST_COMPRESSION};
    return kLevels[level];
}

QString zlibMessage(int code)
{
    return QString::fromLatin1(zError(code));
}

int checkCompress(int code)
{
    if (code < 0)
        throw EZCompressionError(zlibMessage(code));
    return code;
}

[[noreturn]] void raiseDecompress(int code)
{
    throw EZDecompressionError(zlibMessage(code));
}

void putLE32(unsigned char* p, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

quint32 getLE32(const unsigned char* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// Inflates input until the end of the deflate stream. The buffer grows by
// the input size rounded up to 256 bytes, then is cut to size. consumed
// receives the number of input bytes that belonged to the stream.
QByteArray inflateAll(const unsigned char* in, qint64 inSize, qint64 estimate, int windowBits,
                      qint64* consumed)
{
    const qint64 step = std::max<qint64>(256, (inSize + 255) / 256 * 256);
    QByteArray out;
    out.resize(estimate > 0 ? estimate : step);

    z_stream strm{};
    int code = inflateInit2(&strm, windowBits);
    if (code != Z_OK)
        raiseDecompress(code);
    qint64 inLeft = inSize;
    const unsigned char* next = in;
    qint64 produced = 0;
    for (;;) {
        const uInt chunkIn = static_cast<uInt>(std::min<qint64>(inLeft, 1 << 30));
        strm.next_in = const_cast<Bytef*>(next);
        strm.avail_in = chunkIn;
        const uInt chunkOut = static_cast<uInt>(std::min<qint64>(out.size() - produced, 1 << 30));
        strm.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        strm.avail_out = chunkOut;
        code = inflate(&strm, Z_NO_FLUSH);
        next += chunkIn - strm.avail_in;
        inLeft -= chunkIn - strm.avail_in;
        produced += chunkOut - strm.avail_out;
        if (code == Z_STREAM_END)
            break;
        if (code < 0 || code == Z_NEED_DICT) {
            inflateEnd(&strm);
            raiseDecompress(code == Z_NEED_DICT ? Z_NEED_DICT : code);
        }
        if (strm.avail_out == 0)
            out.resize(out.size() + step);
        else if (inLeft == 0) {
            // Input is spent before the end of the stream: truncated data.
            inflateEnd(&strm);
            raiseDecompress(Z_BUF_ERROR);
        }
    }
    inflateEnd(&strm);
    out.resize(produced);
    if (consumed)
        *consumed = inSize - inLeft;
    return out;
}

} // namespace

// ---------------------------------------------------------------------------
// Compression stream

struct TZCompressionStream::State {
    z_stream strm{};
    std::array<unsigned char, kOutBufferSize> buffer{};
    uLong adler = 1;
    qint64 totalIn = 0;
};

TCustomZStream::TCustomZStream(plat::TStream& dest)
    : m_dest(dest)
    , m_destPos(dest.Position())
{
}

TZCompressionStream::TZCompressionStream(plat::TStream& dest, TZCompressLevel level)
    : TCustomZStream(dest)
{
    init(level, false);
}

TZCompressionStream::TZCompressionStream(plat::TStream& dest, TZCompressLevel level, bool raw)
    : TCustomZStream(dest)
{
    init(level, raw);
}

void TZCompressionStream::init(TZCompressLevel level, bool raw)
{
    m_state = std::make_unique<State>();
    z_stream& s = m_state->strm;
    checkCompress(deflateInit2(&s, zlibLevel(level), Z_DEFLATED, raw ? -kZlibWindowBits : kZlibWindowBits, 8,
                               Z_DEFAULT_STRATEGY));
    s.next_out = m_state->buffer.data();
    s.avail_out = kOutBufferSize;
}

TZCompressionStream::~TZCompressionStream()
{
    if (m_finished)
        return;
    try {
        Finish();
    } catch (...) {
        // A destructor cannot report; callers who care call Finish.
    }
}

void TZCompressionStream::writeOut(qint64 count)
{
    if (m_dest.Position() != m_destPos)
        m_dest.SetPosition(m_destPos);
    m_dest.WriteBuffer(m_state->buffer.data(), count);
    m_destPos = m_dest.Position();
    m_state->strm.next_out = m_state->buffer.data();
    m_state->strm.avail_out = kOutBufferSize;
}

qint64 TZCompressionStream::Read(void*, qint64)
{
    throw EZCompressionError(QString::fromLatin1(kInvalidOperation));
}

qint64 TZCompressionStream::Write(const void* buffer, qint64 count)
{
    if (m_finished || count <= 0)
        return 0;
    z_stream& s = m_state->strm;
    const auto* in = static_cast<const Bytef*>(buffer);
    qint64 left = count;
    while (left > 0) {
        const uInt chunk = static_cast<uInt>(std::min<qint64>(left, 1 << 30));
        m_state->adler = adler32(m_state->adler, in, chunk);
        s.next_in = const_cast<Bytef*>(in);
        s.avail_in = chunk;
        while (s.avail_in > 0) {
            checkCompress(deflate(&s, Z_NO_FLUSH));
            if (s.avail_out == 0) {
                writeOut(kOutBufferSize);
                if (OnProgress)
                    OnProgress();
            }
        }
        in += chunk;
        left -= chunk;
    }
    m_state->totalIn += count;
    return count;
}

qint64 TZCompressionStream::Seek(qint64 offset, plat::TSeekOrigin origin)
{
    if (offset == 0 && origin == plat::soCurrent)
        return m_state->totalIn;
    throw EZCompressionError(QString::fromLatin1(kInvalidOperation));
}

void TZCompressionStream::Finish()
{
    if (m_finished)
        return;
    m_finished = true;
    z_stream& s = m_state->strm;
    try {
        s.next_in = nullptr;
        s.avail_in = 0;
        for (;;) {
            const int code = checkCompress(deflate(&s, Z_FINISH));
            if (s.avail_out == 0)
                writeOut(kOutBufferSize);
            if (code == Z_STREAM_END)
                break;
        }
        if (s.avail_out < static_cast<uInt>(kOutBufferSize))
            writeOut(kOutBufferSize - s.avail_out);
    } catch (...) {
        deflateEnd(&s);
        throw;
    }
    deflateEnd(&s);
}

quint32 TZCompressionStream::Adler() const
{
    return static_cast<quint32>(m_state->adler);
}

// ---------------------------------------------------------------------------

void ZInflateBuffer(const void* inBuf, qint64 inSize, QByteArray& outBuf, qint64 outEstimate)
{
    outBuf = inflateAll(static_cast<const unsigned char*>(inBuf), inSize, outEstimate, kZlibWindowBits, nullptr);
}

void zdDeflateStream(plat::TStream& source, plat::TStream& dest, TZCompressLevel level)
{
    TZCompressionStream z(dest, level);
    source.SetPosition(0);
    QByteArray chunk(kOutBufferSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.Read(chunk.data(), chunk.size());
        if (got <= 0)
            break;
        z.Write(chunk.constData(), got);
    }
    z.Finish();
}

namespace {

// A compressor kept for the thread's life and reset between blocks: setting
// one up costs a window, hash tables and their clearing, which outweighs
// deflating a page of content.
class ReusedDeflater {
public:
    ReusedDeflater() = default;
    ReusedDeflater(const ReusedDeflater&) = delete;
    ReusedDeflater& operator=(const ReusedDeflater&) = delete;
    ~ReusedDeflater()
    {
        if (m_ready)
            deflateEnd(&m_strm);
    }

    // A stream reset to its start for level.
    z_stream& ready(int level)
    {
        if (m_ready && m_level == level && deflateReset(&m_strm) == Z_OK)
            return m_strm;
        if (m_ready)
            deflateEnd(&m_strm);
        m_ready = false;
        m_strm = z_stream{};
        checkCompress(deflateInit2(&m_strm, level, Z_DEFLATED, kZlibWindowBits, 8, Z_DEFAULT_STRATEGY));
        m_ready = true;
        m_level = level;
        return m_strm;
    }
    // After a failure the state is rebuilt on the next use.
    void discard()
    {
        if (m_ready)
            deflateEnd(&m_strm);
        m_ready = false;
    }

private:
    z_stream m_strm{};
    int m_level = 0;
    bool m_ready = false;
};

} // namespace

QByteArray zdDeflateBytes(const QByteArray& data, TZCompressLevel level)
{
    // Stored blocks are cut to the output buffer's size, and very large
    // data would overrun zlib's counters: both go the stream's way.
    if (level == zlNone || data.size() > kMaxOneShot) {
        plat::TMemoryStream source(data);
        plat::TMemoryStream dest;
        zdDeflateStream(source, dest, level);
        return dest.bytes();
    }
    thread_local ReusedDeflater deflater;
    z_stream& s = deflater.ready(zlibLevel(level));
    QByteArray out(qsizetype(deflateBound(&s, uLong(data.size()))), Qt::Uninitialized);
    const auto* in = reinterpret_cast<const Bytef*>(data.constData());
    qint64 left = data.size();
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = uInt(out.size());
    try {
        // Fed in the pieces zdDeflateStream reads, so that the bytes agree.
        while (left > 0) {
            const uInt chunk = uInt(std::min<qint64>(left, kOutBufferSize));
            s.next_in = const_cast<Bytef*>(in);
            s.avail_in = chunk;
            while (s.avail_in > 0) {
                checkCompress(deflate(&s, Z_NO_FLUSH));
                if (s.avail_out == 0 && s.avail_in > 0)
                    throw EZCompressionError(zlibMessage(Z_BUF_ERROR));
            }
            in += chunk;
            left -= chunk;
        }
        s.next_in = nullptr;
        s.avail_in = 0;
        if (checkCompress(deflate(&s, Z_FINISH)) != Z_STREAM_END)
            throw EZCompressionError(zlibMessage(Z_BUF_ERROR));
    } catch (...) {
        deflater.discard();
        throw;
    }
    out.truncate(out.size() - qsizetype(s.avail_out));
    return out;
}

void zdGZipCompress(plat::TStream& source, plat::TStream& dest, TZCompressLevel level, const QByteArray& fileName)
{
    const QByteArray name = fileName.isEmpty() ? QByteArrayLiteral("1") : fileName;
    const qint64 start = dest.Position();
    unsigned char header[kGzipHeaderSize] = {kGzipId1, kGzipId2, kGzipDeflate, kFlagName, 0, 0, 0, 0, 0, 0};
    dest.WriteBuffer(header, sizeof header);
    dest.WriteBuffer(name.constData(), name.size() + 1); // with its NUL

    // One pass over the source: CRC-32 for the trailer, Adler-32 for MTIME.
    uLong crc = crc32(0L, Z_NULL, 0);
    qint64 size = 0;
    TZCompressionStream z(dest, level, true);
    source.SetPosition(0);
    QByteArray chunk(kOutBufferSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.Read(chunk.data(), chunk.size());
        if (got <= 0)
            break;
        crc = crc32(crc, reinterpret_cast<const Bytef*>(chunk.constData()), static_cast<uInt>(got));
        size += got;
        z.Write(chunk.constData(), got);
    }
    z.Finish();
    const qint64 end = dest.Position();

    const quint32 adler = z.Adler();
    const unsigned char mtime[4] = {static_cast<unsigned char>(adler >> 24), static_cast<unsigned char>(adler >> 16),
                                    static_cast<unsigned char>(adler >> 8), static_cast<unsigned char>(adler)};
    dest.SetPosition(start + 4);
    dest.WriteBuffer(mtime, 4);

    unsigned char trailer[kGzipTrailerSize];
    putLE32(trailer, static_cast<quint32>(crc));
    putLE32(trailer + 4, static_cast<quint32>(size));
    dest.SetPosition(end);
    dest.WriteBuffer(trailer, sizeof trailer);
}

namespace {

// Reads the member's header from data at pos (the whole header, with its
// optional fields) and leaves pos on the deflate data.
void parseGzipHeader(const QByteArray& data, qsizetype& pos, QByteArray& fileName)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData());
    const qsizetype len = data.size();
    auto need = [&](qsizetype n) {
        if (pos + n > len)
            raiseDecompress(Z_DATA_ERROR);
    };
    auto readZeroTerminated = [&]() {
        const qsizetype nul = data.indexOf('\0', pos);
        if (nul < 0)
            raiseDecompress(Z_DATA_ERROR);
        QByteArray text = data.mid(pos, nul - pos);
        pos = nul + 1;
        return text;
    };
    const qsizetype start = pos;
    need(kGzipHeaderSize);
    if (p[pos] != kGzipId1 || p[pos + 1] != kGzipId2 || p[pos + 2] != kGzipDeflate)
        raiseDecompress(Z_DATA_ERROR);
    const unsigned char flags = p[pos + 3];
    if (flags & kFlagReserved)
        raiseDecompress(Z_DATA_ERROR);
    pos += kGzipHeaderSize;
    if (flags & kFlagExtra) {
        need(2);
        const qsizetype extra = p[pos] | p[pos + 1] << 8;
        pos += 2;
        need(extra);
        pos += extra;
    }
    if (flags & kFlagName)
        fileName = readZeroTerminated();
    if (flags & kFlagComment)
        readZeroTerminated();
    if (flags & kFlagHeaderCrc) {
        need(2);
        const quint32 crc = static_cast<quint32>(crc32(0L, p + start, static_cast<uInt>(pos - start)));
        if ((p[pos] | p[pos + 1] << 8) != static_cast<int>(crc & 0xFFFF))
            raiseDecompress(Z_DATA_ERROR);
        pos += 2;
    }
}

} // namespace

void zdGZipDecompress(plat::TStream& source, plat::TStream& dest, QByteArray& fileName)
{
    const qint64 start = source.Position();
    const QByteArray data = source.readAll();
    fileName.clear();
    qsizetype pos = 0;
    parseGzipHeader(data, pos, fileName);

    qint64 consumed = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData());
    const QByteArray plain = inflateAll(p + pos, data.size() - pos, 0, -kZlibWindowBits, &consumed);
    pos += consumed;
    // The trailer proves the data sound: a flipped byte that still inflates
    // is caught here.
    if (pos + kGzipTrailerSize > data.size())
        raiseDecompress(Z_DATA_ERROR);
    const quint32 crc = static_cast<quint32>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(plain.constData()), static_cast<uInt>(plain.size())));
    if (getLE32(p + pos) != crc || getLE32(p + pos + 4) != static_cast<quint32>(plain.size()))
        raiseDecompress(Z_DATA_ERROR);
    pos += kGzipTrailerSize;

    dest.WriteBuffer(plain.constData(), plain.size());
    source.SetPosition(start + pos);
}

namespace zd {

void gzipCompressWork(plat::TStream& work, plat::TStream& dest, bool isTemplate)
{
    if (isTemplate)
        zdGZipCompress(work, dest, zlBest, QByteArrayLiteral("1.zd3"));
    else
        zdGZipCompress(work, dest, zlDefault, QByteArrayLiteral("1.zp3"));
}

bool gzipDecompressToWork(plat::TStream& source, plat::TStream& work)
{
    const qint64 start = source.Position();
    unsigned char magic[2] = {0, 0};
    const qint64 got = source.Read(magic, 2);
    source.SetPosition(start);
    bool packed = false;
    if (got == 2 && magic[0] == kGzipId1 && magic[1] == kGzipId2) {
        QByteArray name;
        zdGZipDecompress(source, work, name);
        packed = true;
    }
    work.SetPosition(0);
    return packed;
}

} // namespace zd

// ---------------------------------------------------------------------------
// Compressor component

PLAT_DEFINE_CLASS(TzdGZipCompressor, c) {}

TzdGZipCompressor::TzdGZipCompressor(plat::TComponent* AOwner)
    : TzdCustomCompressor(AOwner, StaticClass())
{
}

TzdGZipCompressor::~TzdGZipCompressor() = default;

bool TzdGZipCompressor::Decompress(plat::TStream& Source)
{
    return zd::gzipDecompressToWork(Source, WorkStream());
}

void TzdGZipCompressor::Compress(plat::TStream& Dest)
{
    zd::gzipCompressWork(WorkStream(), Dest, IsTemplate);
}
