#include "zdNameTableClass.h"

void NameTableClass::Load(const QByteArray& data)
{
    Cursor c(data, Offset(), Length());
    format = c.Word();
    count = c.Word();
    stringOffset = c.Word();
    c.Skip(qint64(count) * kRecordSize);
    if (stringOffset > Length())
        RaiseFormatError();
}

QString NameTableClass::Name(const QByteArray& data, int nameId) const
{
    Cursor c(data, Offset() + kHeaderSize, qint64(count) * kRecordSize);
    for (int i = 0; i < count; ++i) {
        const quint16 platform = c.Word();
        const quint16 encoding = c.Word();
        c.Skip(2); // language
        const quint16 id = c.Word();
        const quint16 length = c.Word();
        const quint16 offset = c.Word();
        if (!((platform == 3 && encoding == 1) || platform == 0) || (id & 0xFF) != nameId)
            continue;
        const qint64 start = qint64(stringOffset) + offset;
        if (start + length > Length())
            RaiseFormatError();
        Cursor text(data, Offset() + start, length);
        QString name(length / 2, Qt::Uninitialized);
        for (QChar& ch : name)
            ch = QChar(text.Word());
        return name;
    }
    return {};
}
