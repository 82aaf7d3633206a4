#include "Streams.h"

#include "Exceptions.h"
#include "Files.h"

#include <QFile>

#include <algorithm>
#include <new>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {
namespace {

constexpr qint64 kCopyBufferSize = 64 * 1024;
// QByteArray's limit, kept well below the address space.
constexpr qint64 kMaxMemoryStreamSize = qint64(1) << 40;

QString systemReason(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

} // namespace

// ---------------------------------------------------------------- TStream

TStream::~TStream() = default;

qint64 TStream::Position()
{
    return Seek(0, soCurrent);
}

void TStream::SetPosition(qint64 position)
{
    Seek(position, soBeginning);
}

qint64 TStream::Size()
{
    qint64 position = Seek(0, soCurrent);
    qint64 size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::SetSize(qint64)
{
    // Streams that cannot change their size ignore the request, as the platform's do.
}

void TStream::ReadBuffer(void* buffer, qint64 count)
{
    if (count < 0 || (count != 0 && Read(buffer, count) != count))
        throw EReadError(QStringLiteral("Stream read error"));
}

void TStream::WriteBuffer(const void* buffer, qint64 count)
{
    if (count < 0 || (count != 0 && Write(buffer, count) != count))
        throw EWriteError(QStringLiteral("Stream write error"));
}

qint64 TStream::CopyFrom(TStream& source, qint64 count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    const qint64 total = count;
    QByteArray buffer(static_cast<qsizetype>(std::min(count, kCopyBufferSize)), Qt::Uninitialized);
    while (count > 0) {
        qint64 n = std::min(count, kCopyBufferSize);
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.constData(), n);
        count -= n;
    }
    return total;
}

QByteArray TStream::readAll()
{
    qint64 remaining = Size() - Position();
    if (remaining <= 0)
        return {};
    QByteArray bytes(static_cast<qsizetype>(remaining), Qt::Uninitialized);
    qint64 n = Read(bytes.data(), remaining);
    bytes.truncate(static_cast<qsizetype>(std::max<qint64>(n, 0)));
    return bytes;
}

void TStream::writeBytes(const QByteArray& bytes)
{
    WriteBuffer(bytes.constData(), bytes.size());
}

// ------------------------------------------------------ TCustomMemoryStream

qint64 TCustomMemoryStream::Read(void* buffer, qint64 count)
{
    if (count <= 0 || m_position >= m_data.size())
        return 0;
    qint64 n = std::min<qint64>(count, m_data.size() - m_position);
    std::memcpy(buffer, m_data.constData() + m_position, static_cast<size_t>(n));
    m_position += n;
    return n;
}

qint64 TCustomMemoryStream::Seek(qint64 offset, TSeekOrigin origin)
{
    qint64 base = origin == soBeginning ? 0 : origin == soCurrent ? m_position : m_data.size();
    // The platform lets the position pass the end (a later write fills the
    // gap with zeros) but never go below zero.
    m_position = std::max<qint64>(0, base + offset);
    return m_position;
}

void TCustomMemoryStream::SaveToStream(TStream& stream)
{
    stream.WriteBuffer(m_data.constData(), m_data.size());
}

void TCustomMemoryStream::SaveToFile(const QString& fileName)
{
    writeFileAtomic(fileName, m_data);
}

// ------------------------------------------------------------ TMemoryStream

// Grows the buffer, raising the platform's error instead of dying when the
// memory is not there.
void TMemoryStream::resizeData(qint64 size)
{
    if (size > kMaxMemoryStreamSize)
        throw EOutOfMemory(QStringLiteral("Out of memory while expanding memory stream"));
    try {
        m_data.resize(static_cast<qsizetype>(size), '\0');
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(QStringLiteral("Out of memory while expanding memory stream"));
    }
}

qint64 TMemoryStream::Write(const void* buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    qint64 end = m_position + count;
    if (end > m_data.size())
        resizeData(end);
    std::memcpy(m_data.data() + m_position, buffer, static_cast<size_t>(count));
    m_position = end;
    return count;
}

void TMemoryStream::SetSize(qint64 size)
{
    size = std::max<qint64>(size, 0);
    resizeData(size);
    m_position = std::min(m_position, size);
}

void TMemoryStream::Clear()
{
    m_data.clear();
    m_position = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    qint64 size = stream.Size();
    QByteArray data(static_cast<qsizetype>(size), Qt::Uninitialized);
    stream.ReadBuffer(data.data(), size);
    m_data = std::move(data);
    m_position = 0;
}

void TMemoryStream::LoadFromFile(const QString& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::setBytes(QByteArray data)
{
    m_data = std::move(data);
    m_position = 0;
}

// ------------------------------------------------------------ TStringStream

QByteArray TStringStream::ReadString(qint64 count)
{
    qint64 n = std::clamp<qint64>(m_data.size() - m_position, 0, std::max<qint64>(count, 0));
    QByteArray result = m_data.mid(static_cast<qsizetype>(m_position), static_cast<qsizetype>(n));
    m_position += n;
    return result;
}

void TStringStream::WriteString(const QByteArray& text)
{
    Write(text.constData(), text.size());
}

// -------------------------------------------------------------- TFileStream

TFileStream::TFileStream(const QString& fileName, quint16 mode)
    : m_fileName(fileName)
{
    const QByteArray path = QFile::encodeName(nativePath(fileName));
    const bool create = (mode & fmCreate) == fmCreate;
    int flags = O_CLOEXEC;
    int lockOp = 0;
    if (create) {
        flags |= O_RDWR | O_CREAT | O_TRUNC;
    } else {
        switch (mode & 3) {
        case fmOpenWrite: flags |= O_WRONLY; break;
        case fmOpenReadWrite: flags |= O_RDWR; break;
        default: flags |= O_RDONLY; break;
        }
        // Share modes become advisory locks: denying others' writes or all
        // access takes an exclusive or shared lock that a conflicting
        // TFileStream in any process of ours respects.
        switch (mode & 0xF0) {
        case fmShareExclusive: lockOp = LOCK_EX; break;
        case fmShareDenyWrite: lockOp = (mode & 3) == fmOpenRead ? LOCK_SH : LOCK_EX; break;
        case fmShareDenyRead: lockOp = LOCK_EX; break;
        default: break;
        }
    }
    m_fd = ::open(path.constData(), flags, 0666);
    if (m_fd >= 0) {
        struct stat st;
        if (::fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(m_fd);
            m_fd = -1;
            errno = EISDIR;
        }
    }
    if (m_fd < 0) {
        const QString reason = systemReason(errno);
        if (create)
            throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason));
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason));
    }
    if (lockOp && ::flock(m_fd, lockOp | LOCK_NB) != 0) {
        const QString reason = systemReason(errno == EWOULDBLOCK ? EBUSY : errno);
        ::close(m_fd);
        m_fd = -1;
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason));
    }
}

TFileStream::~TFileStream()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

qint64 TFileStream::Read(void* buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    qint64 done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t n = ::read(m_fd, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

qint64 TFileStream::Write(const void* buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    qint64 done = 0;
    const auto* p = static_cast<const char*>(buffer);
    while (done < count) {
        ssize_t n = ::write(m_fd, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

qint64 TFileStream::Seek(qint64 offset, TSeekOrigin origin)
{
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t result = ::lseek(m_fd, static_cast<off_t>(offset), whence);
    return result;
}

void TFileStream::SetSize(qint64 size)
{
    qint64 position = Position();
    if (::ftruncate(m_fd, static_cast<off_t>(std::max<qint64>(size, 0))) != 0)
        throw EWriteError(QStringLiteral("Stream write error"));
    if (position > size)
        Seek(size, soBeginning);
}

} // namespace plat
