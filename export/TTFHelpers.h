#pragma once
// Shared by every part of the TrueType reader: big-endian reads that never
// leave the font data, table tags, table checksums and the reader's errors.
//
// Every count and offset of a font file comes from the file itself, so every
// read goes through Cursor or the Read* functions, which raise the format
// error instead of touching a byte outside the data.

#include <QByteArray>
#include <QString>

#include <cstdint>

// The texts of the reader's errors, raised as a plain plat::Exception.
namespace ttf {
inline constexpr char kFormatError[] = "TrueType font format error";
inline constexpr char kCollectionVersionError[] = "Unknown font collection version";
inline constexpr char kLocaFormatError[] = "Unsupported Index to Location format";
inline constexpr char kLocaValueError[] = "Unknown IndexToLoc value";
inline constexpr char kNoGlyphTable[] = "Glyph table not found";
inline constexpr char kAlignError[] = "Align error";
inline constexpr char kCmapByteEncoding[] = "TO DO: ByteEncoding cmap format not implemented";
inline constexpr char kCmapHighByte[] = "TO DO: HighByteMapping cmap format not implemented";
inline constexpr char kCmapTrimmed[] = "TO DO: TrimmedTable cmap format not implemented";
} // namespace ttf

class TTF_Helpers {
public:
    // Big-endian values at a byte offset of the data; raise the format error
    // when the value does not lie wholly inside it.
    static quint8 ReadByte(const QByteArray& data, qint64 offset);
    static quint16 ReadWord(const QByteArray& data, qint64 offset);
    static qint16 ReadSmallInt(const QByteArray& data, qint64 offset);
    static quint32 ReadLongWord(const QByteArray& data, qint64 offset);
    static qint32 ReadLongInt(const QByteArray& data, qint64 offset);
    // Overwrites a big-endian value that lies inside the data.
    static void WriteWord(QByteArray& data, qint64 offset, quint16 value);
    static void WriteLongWord(QByteArray& data, qint64 offset, quint32 value);
    static void AppendWord(QByteArray& data, quint16 value);
    static void AppendLongWord(QByteArray& data, quint32 value);

    // Raises the format error unless [offset, offset + length) lies inside the data.
    static void CheckRange(const QByteArray& data, qint64 offset, qint64 length);
    [[noreturn]] static void Raise(const char* text);
    [[noreturn]] static void RaiseFormatError();

    // A tag from its four characters, and back.
    static constexpr quint32 MakeTag(const char (&text)[5])
    {
        return quint32(quint8(text[0])) << 24 | quint32(quint8(text[1])) << 16 | quint32(quint8(text[2])) << 8 |
               quint32(quint8(text[3]));
    }
    static QString TagText(quint32 tag);

    // The sum modulo 2^32 of the big-endian 32-bit words of a range; a final
    // partial word counts with its missing low bytes as zero.
    static quint32 CheckSum(const QByteArray& data, qint64 offset, qint64 length);

    // Sequential big-endian reads inside one table. Strict by default: a read
    // past the table's end raises the format error. A lenient cursor gives
    // zero for fields past the end (tables whose later versions grew).
    class Cursor {
    public:
        Cursor(const QByteArray& data, qint64 offset, qint64 length, bool lenient = false);
        quint8 Byte();
        quint16 Word();
        qint16 SmallInt();
        quint32 LongWord();
        qint32 LongInt();
        quint64 LongLong();
        void Skip(qint64 count);
        qint64 Position() const { return m_pos; }
        qint64 Remaining() const { return m_end - m_pos; }

    private:
        bool take(qint64 count);

        const QByteArray& m_data;
        qint64 m_pos;
        qint64 m_end;
        bool m_lenient;
    };
};
