#include "TTFHelpers.h"

#include "Exceptions.h"

#include <QtEndian>

namespace {

const uchar* at(const QByteArray& data, qint64 offset)
{
    return reinterpret_cast<const uchar*>(data.constData()) + offset;
}

} // namespace

void TTF_Helpers::CheckRange(const QByteArray& data, qint64 offset, qint64 length)
{
    if (offset < 0 || length < 0 || offset > data.size() || length > data.size() - offset)
        RaiseFormatError();
}

void TTF_Helpers::Raise(const char* text)
{
    throw plat::Exception(QString::fromLatin1(text));
}

void TTF_Helpers::RaiseFormatError()
{
    Raise(ttf::kFormatError);
}

quint8 TTF_Helpers::ReadByte(const QByteArray& data, qint64 offset)
{
    CheckRange(data, offset, 1);
    return *at(data, offset);
}

quint16 TTF_Helpers::ReadWord(const QByteArray& data, qint64 offset)
{
    CheckRange(data, offset, 2);
    return qFromBigEndian<quint16>(at(data, offset));
}

qint16 TTF_Helpers::ReadSmallInt(const QByteArray& data, qint64 offset)
{
    return qint16(ReadWord(data, offset));
}

quint32 TTF_Helpers::ReadLongWord(const QByteArray& data, qint64 offset)
{
    CheckRange(data, offset, 4);
    return qFromBigEndian<quint32>(at(data, offset));
}

qint32 TTF_Helpers::ReadLongInt(const QByteArray& data, qint64 offset)
{
    return qint32(ReadLongWord(data, offset));
}

void TTF_Helpers::WriteWord(QByteArray& data, qint64 offset, quint16 value)
{
    CheckRange(data, offset, 2);
    qToBigEndian(value, data.data() + offset);
}

void TTF_Helpers::WriteLongWord(QByteArray& data, qint64 offset, quint32 value)
{
    CheckRange(data, offset, 4);
    qToBigEndian(value, data.data() + offset);
}

void TTF_Helpers::AppendWord(QByteArray& data, quint16 value)
{
    char b[2];
    qToBigEndian(value, b);
    data.append(b, 2);
}

void TTF_Helpers::AppendLongWord(QByteArray& data, quint32 value)
{
    char b[4];
    qToBigEndian(value, b);
    data.append(b, 4);
}

QString TTF_Helpers::TagText(quint32 tag)
{
    const char text[4] = {char(tag >> 24), char(tag >> 16), char(tag >> 8), char(tag)};
    return QString::fromLatin1(text, 4);
}

quint32 TTF_Helpers::CheckSum(const QByteArray& data, qint64 offset, qint64 length)
{
    CheckRange(data, offset, length);
    const uchar* p = at(data, offset);
    quint32 sum = 0;
    qint64 i = 0;
    for (; i + 4 <= length; i += 4)
        sum += qFromBigEndian<quint32>(p + i);
    if (i < length) {
        quint32 last = 0;
        for (int shift = 24; i < length; ++i, shift -= 8)
            last |= quint32(p[i]) << shift;
        sum += last;
    }
    return sum;
}

TTF_Helpers::Cursor::Cursor(const QByteArray& data, qint64 offset, qint64 length, bool lenient)
    : m_data(data), m_pos(offset), m_end(offset + length), m_lenient(lenient)
{
    CheckRange(data, offset, length);
}

bool TTF_Helpers::Cursor::take(qint64 count)
{
    if (count <= m_end - m_pos) {
        m_pos += count;
        return true;
    }
    if (!m_lenient)
        RaiseFormatError();
    m_pos = m_end;
    return false;
}

quint8 TTF_Helpers::Cursor::Byte()
{
    return take(1) ? *at(m_data, m_pos - 1) : 0;
}

quint16 TTF_Helpers::Cursor::Word()
{
    return take(2) ? qFromBigEndian<quint16>(at(m_data, m_pos - 2)) : 0;
}

qint16 TTF_Helpers::Cursor::SmallInt()
{
    return qint16(Word());
}

quint32 TTF_Helpers::Cursor::LongWord()
{
    return take(4) ? qFromBigEndian<quint32>(at(m_data, m_pos - 4)) : 0;
}

qint32 TTF_Helpers::Cursor::LongInt()
{
    return qint32(LongWord());
}

quint64 TTF_Helpers::Cursor::LongLong()
{
    return take(8) ? qFromBigEndian<quint64>(at(m_data, m_pos - 8)) : 0;
}

void TTF_Helpers::Cursor::Skip(qint64 count)
{
    take(count);
}
