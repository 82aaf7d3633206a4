#pragma once
// One entry of a font's table directory, in host byte order, and the base of
// the table classes that parse what the reducer needs.
//
// The font data is never changed: a table reads its source bytes from the
// data it was loaded from, and Write appends what the reduced font carries
// (a table the reduction rewrote gives its new bytes).

#include "TTFHelpers.h"

#include <memory>

class TrueTypeTable : public TTF_Helpers {
public:
    // From the 16-byte directory record at recordOffset of the data.
    TrueTypeTable(const QByteArray& data, qint64 recordOffset);
    TrueTypeTable(const TrueTypeTable& entry) = default;
    TrueTypeTable& operator=(const TrueTypeTable&) = delete;
    virtual ~TrueTypeTable();

    // Parses the table (the entry's range is known to lie inside the data).
    virtual void Load(const QByteArray& data);
    // Appends the table's bytes for the reduced font at the end of out
    // (unpadded) and returns their length; by default the source bytes.
    virtual qint64 Write(const QByteArray& data, QByteArray& out) const;

    quint32 Tag() const { return m_tag; }
    QString TagName() const { return TagText(m_tag); }
    quint32 StoredCheckSum() const { return m_checkSum; }
    qint64 Offset() const { return m_offset; }
    qint64 Length() const { return m_length; }
    // The checksum of the source bytes as a reader checks it.
    virtual quint32 ComputedCheckSum(const QByteArray& data) const;

private:
    quint32 m_tag;
    quint32 m_checkSum;
    qint64 m_offset;
    qint64 m_length;
};

// The typed table for a directory entry's tag, or a plain copy of the entry.
std::unique_ptr<TrueTypeTable> CreateTrueTypeTable(const TrueTypeTable& entry);
