#pragma once
// Compression over zlib: a deflating write-only stream, inflating a zlib
// block in memory, whole-stream deflate, and gzip members whose MTIME field
// carries the Adler-32 of the data (standard gzip readers accept them).

#include "Exceptions.h"
#include "Streams.h"
#include "zdClass_services.h"

#include <QByteArray>
#include <functional>
#include <memory>

using EZLibError = plat::EZLibError;
using EZCompressionError = plat::EZCompressionError;
using EZDecompressionError = plat::EZDecompressionError;

enum TZCompressLevel { zlNone, zlQuick, zlDefault, zlBest };

class TCustomZStream : public plat::TStream {
public:
    // Fires each time a full output buffer has gone to the destination.
    std::function<void()> OnProgress;

protected:
    explicit TCustomZStream(plat::TStream& dest);
    plat::TStream& m_dest;
    qint64 m_destPos = 0; // where the next compressed bytes go
};

class TZCompressionStream : public TCustomZStream {
public:
    TZCompressionStream(plat::TStream& dest, TZCompressLevel level);
    // raw: deflate data without the zlib header and trailer (for gzip members).
    TZCompressionStream(plat::TStream& dest, TZCompressLevel level, bool raw);
    ~TZCompressionStream() override; // finishes quietly when Finish was not called

    qint64 Read(void* buffer, qint64 count) override;      // raises
    qint64 Write(const void* buffer, qint64 count) override;
    qint64 Seek(qint64 offset, plat::TSeekOrigin origin) override; // only (0, soCurrent)

    // Ends the deflate data and writes the rest; errors are raised here.
    void Finish();
    // The Adler-32 of everything written (valid after Finish).
    quint32 Adler() const;

private:
    void init(TZCompressLevel level, bool raw);
    void writeOut(qint64 count);

    struct State;
    std::unique_ptr<State> m_state;
    bool m_finished = false;
};

// Inflates a complete zlib block (header, deflate data, Adler-32).
void ZInflateBuffer(const void* inBuf, qint64 inSize, QByteArray& outBuf, qint64 outEstimate = 0);

void zdGZipCompress(plat::TStream& source, plat::TStream& dest, TZCompressLevel level,
                    const QByteArray& fileName = {});
// Reads one member from source's position; the member's CRC-32 and size are
// checked, and nothing reaches dest unless the member is sound.
void zdGZipDecompress(plat::TStream& source, plat::TStream& dest, QByteArray& fileName);
void zdDeflateStream(plat::TStream& source, plat::TStream& dest, TZCompressLevel level);
// The same zlib stream as zdDeflateStream gives for data, byte for byte, made
// without a stream pair: many small blocks (the pages of an export) reuse one
// compressor state per thread instead of building a new one each time.
QByteArray zdDeflateBytes(const QByteArray& data, TZCompressLevel level);

// The report library's compressor: templates go into members named "1.zd3"
// at best compression, prepared pages into "1.zp3" at zlib's default.
class TzdGZipCompressor : public TzdCustomCompressor {
    PLAT_CLASS(TzdGZipCompressor, TzdCustomCompressor)
public:
    explicit TzdGZipCompressor(plat::TComponent* AOwner);
    ~TzdGZipCompressor() override;

    // Source holds a gzip member when it starts with 1F 8B; a damaged member
    // raises EZDecompressionError and leaves the work stream empty.
    bool Decompress(plat::TStream& Source) override;
    void Compress(plat::TStream& Dest) override;
};

namespace zd {

// The work of the report library's gzip compressor: the plain data of a
// template (name "1.zd3", best compression) or of prepared pages ("1.zp3",
// default compression) into dest.
void gzipCompressWork(plat::TStream& work, plat::TStream& dest, bool isTemplate);
// When source holds a gzip member at its position, unpacks it into work and
// returns true; otherwise returns false and leaves source where it was.
// Either way work ends at position 0.
bool gzipDecompressToWork(plat::TStream& source, plat::TStream& work);

} // namespace zd
