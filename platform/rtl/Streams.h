#pragma once
// Byte streams with the platform's positions, modes and error messages.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

namespace plat {

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// File modes: one access mode or'ed with one share mode.
constexpr quint16 fmCreate = 0xFF00;
constexpr quint16 fmOpenRead = 0x0000;
constexpr quint16 fmOpenWrite = 0x0001;
constexpr quint16 fmOpenReadWrite = 0x0002;
constexpr quint16 fmShareCompat = 0x0000;
constexpr quint16 fmShareExclusive = 0x0010;
constexpr quint16 fmShareDenyWrite = 0x0020;
constexpr quint16 fmShareDenyRead = 0x0030;
constexpr quint16 fmShareDenyNone = 0x0040;

class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream();

    // Read and Write move at most count bytes and return how many moved.
    virtual qint64 Read(void* buffer, qint64 count) = 0;
    virtual qint64 Write(const void* buffer, qint64 count) = 0;
    virtual qint64 Seek(qint64 offset, TSeekOrigin origin) = 0;

    qint64 Position();
    void SetPosition(qint64 position);
    virtual qint64 Size();
    virtual void SetSize(qint64 size);

    // All or nothing: raise EReadError "Stream read error" /
    // EWriteError "Stream write error" when fewer bytes move.
    void ReadBuffer(void* buffer, qint64 count);
    void WriteBuffer(const void* buffer, qint64 count);
    // Copies count bytes from source's position; 0 copies the whole of
    // source from its start. Returns the number of bytes copied.
    qint64 CopyFrom(TStream& source, qint64 count);

    // Conveniences for our own code.
    QByteArray readAll();                 // from the position to the end
    void writeBytes(const QByteArray& bytes);
};

class TCustomMemoryStream : public TStream {
public:
    qint64 Read(void* buffer, qint64 count) override;
    qint64 Seek(qint64 offset, TSeekOrigin origin) override;
    qint64 Size() override { return m_data.size(); }

    const char* Memory() const { return m_data.constData(); }
    char* Memory() { return m_data.data(); }
    const QByteArray& bytes() const { return m_data; }

    void SaveToStream(TStream& stream);
    void SaveToFile(const QString& fileName); // atomic (QSaveFile)

protected:
    QByteArray m_data;
    qint64 m_position = 0;
};

class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(QByteArray data) { m_data = std::move(data); }

    qint64 Write(const void* buffer, qint64 count) override;
    void SetSize(qint64 size) override;
    void Clear();
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const QString& fileName);
    void setBytes(QByteArray data);

private:
    void resizeData(qint64 size);
};

class TFileStream : public TStream {
public:
    // Raises EFCreateError "Cannot create file \"%s\". %s" (fmCreate) or
    // EFOpenError "Cannot open file \"%s\". %s" with the system's reason.
    TFileStream(const QString& fileName, quint16 mode);
    ~TFileStream() override;

    qint64 Read(void* buffer, qint64 count) override;
    qint64 Write(const void* buffer, qint64 count) override;
    qint64 Seek(qint64 offset, TSeekOrigin origin) override;
    void SetSize(qint64 size) override;

    const QString& FileName() const { return m_fileName; }
    int Handle() const { return m_fd; }

private:
    QString m_fileName;
    int m_fd = -1;
};

class TStringStream : public TMemoryStream {
public:
    TStringStream() = default;
    explicit TStringStream(QByteArray data) : TMemoryStream(std::move(data)) {}
    // The whole content, independent of the position.
    QByteArray DataString() const { return m_data; }
    // Reads count bytes from the position; WriteString writes at the position.
    QByteArray ReadString(qint64 count);
    void WriteString(const QByteArray& text);
};

} // namespace plat
