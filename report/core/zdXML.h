#pragma once
// The report library's XML document model.
//
// A tree of items, each with a tag name and its attributes kept as one piece
// of attribute text. The model works on 8-bit text (callers encode UTF-8
// themselves). Children of items marked Unloadable can be paged out to a
// temporary file and read back on demand, so that very large prepared
// reports need not stay in memory.

#include "Exceptions.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace plat {
class TStream;
class Variant;
} // namespace plat

using TzdInvalidXMLException = plat::TzdInvalidXMLException;

class TzdXMLItem {
public:
    TzdXMLItem();
    ~TzdXMLItem(); // frees the children and leaves the parent's list
    TzdXMLItem(const TzdXMLItem&) = delete;
    TzdXMLItem& operator=(const TzdXMLItem&) = delete;

    void Clear();
    TzdXMLItem* Add();
    void AddItem(TzdXMLItem* item);
    void InsertItem(int index, TzdXMLItem* item);
    TzdXMLItem* GetItem(int index) const; // raises EListError outside the list
    TzdXMLItem* operator[](int index) const { return GetItem(index); }
    int GetCount() const { return static_cast<int>(m_items.size()); }
    int Count() const { return GetCount(); }
    int IndexOf(const TzdXMLItem* item) const;
    int Find(const QByteArray& name) const;
    TzdXMLItem* FindOrAdd(const QByteArray& name);

    QByteArray GetAttr(const QByteArray& name) const;
    void SetAttr(const QByteArray& name, const QByteArray& value);
    bool AttrExists(const QByteArray& name) const;

    qint64 GetStreamPos() const;
    void SetStreamPos(qint64 position);

    TzdXMLItem* Parent() const { return m_parent; }

    QByteArray Name;
    QByteArray Text;   // attribute text: name="value" pairs, values escaped
    QByteArray Value;  // written between the tags of a childless item
    bool Loaded = true;
    bool Unloadable = false;

private:
    void detachChild(TzdXMLItem* item);

    TzdXMLItem* m_parent = nullptr;
    std::vector<TzdXMLItem*> m_items;
    quint8 m_streamPosHi = 0;
    quint32 m_streamPosLo = 0;
};

class TzdXMLReader {
public:
    explicit TzdXMLReader(plat::TStream& stream);
    ~TzdXMLReader(); // leaves the stream just behind the last byte consumed
    TzdXMLReader(const TzdXMLReader&) = delete;
    TzdXMLReader& operator=(const TzdXMLReader&) = delete;

    void ReadHeader();
    // An empty name means the data ended outside a tag.
    void ReadTag(QByteArray& name, QByteArray& attributeText);
    // Returns true when the tag read was a closing tag or the end of the data.
    bool ReadItem(TzdXMLItem* item, bool readAll);
    void SetPosition(qint64 position);

    bool OldFormat() const { return m_oldFormat; }
    qint64 Position() const { return m_position; }

private:
    bool refill();
    bool nextByte(char& c);
    void consume(int count);
    bool skipToTagStart();
    bool skipComment();
    bool readElement(TzdXMLItem* item, bool readAll, TzdXMLItem* target, QByteArray& lastName, int depth);

    plat::TStream& m_stream;
    static constexpr int kBufferSize = 4096;
    char m_buffer[kBufferSize];
    int m_bufferFill = 0;
    int m_bufferIndex = 0;
    qint64 m_position = 0;
    qint64 m_size = 0;
    bool m_oldFormat = false;
    QByteArray m_tag;
};

class TzdXMLWriter {
public:
    explicit TzdXMLWriter(plat::TStream& stream);
    ~TzdXMLWriter();
    TzdXMLWriter(const TzdXMLWriter&) = delete;
    TzdXMLWriter& operator=(const TzdXMLWriter&) = delete;

    void WriteHeader();
    void WriteItem(TzdXMLItem* item);
    void WriteLn(const QByteArray& text);
    void Flush();

    bool AutoIndent = false;
    // Where unloaded items are read back from while they are written.
    plat::TStream* TempStream = nullptr;

private:
    void writeItem(TzdXMLItem* item, int level);

    plat::TStream& m_stream;
    QByteArray m_buffer;
};

class TzdXMLDocument {
public:
    TzdXMLDocument();
    ~TzdXMLDocument();
    TzdXMLDocument(const TzdXMLDocument&) = delete;
    TzdXMLDocument& operator=(const TzdXMLDocument&) = delete;

    void Clear();
    // Reads everything; the caller keeps the stream.
    void LoadFromStream(plat::TStream& stream);
    // With allowPartLoad the document keeps the stream and reads the children
    // of items marked ld="0" back from it on demand.
    void LoadFromStream(std::unique_ptr<plat::TStream> stream, bool allowPartLoad);
    void LoadFromFile(const QString& fileName);
    void SaveToStream(plat::TStream& stream);
    // Writes through a temporary file renamed over fileName.
    void SaveToFile(const QString& fileName);

    void UnloadItem(TzdXMLItem* item);
    void LoadItem(TzdXMLItem* item);
    void CreateTempFile();
    void DeleteTempFile();

    TzdXMLItem* Root() const { return m_root.get(); }
    plat::TStream* TempStream() const { return m_tempStream.get(); }
    QString TempFileName() const { return m_tempFileName; }

    bool AutoIndent = false;
    QString TempDir;
    bool OldVersion = true;

private:
    std::unique_ptr<TzdXMLItem> m_root;
    std::unique_ptr<plat::TStream> m_tempStream;
    QString m_tempFileName;
    bool m_ownTempFile = false;
};

QByteArray zdXMLEscape(const QByteArray& text);
QByteArray zdXMLUnescape(const QByteArray& text);
QByteArray zdValueToXML(const plat::Variant& value);
