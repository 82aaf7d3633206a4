#pragma once
// The script engine's own small XML model: grammars, intermediate programs
// and item trees. An element keeps its name, its raw attribute text (values
// still escaped) and its child elements; character data is not kept.

#include "Objects.h"

#include <QString>
#include <memory>
#include <vector>

namespace plat {
class TStream;
}

// Both classes are objects of the object model, so that scripts can hold
// them: an item's handle dies with the item.
class TzsXMLItem : public plat::TObject {
    PLAT_CLASS(TzsXMLItem, plat::TObject)
public:
    TzsXMLItem() = default;
    TzsXMLItem(const TzsXMLItem&) = delete;
    TzsXMLItem& operator=(const TzsXMLItem&) = delete;
    // Frees the children and leaves the parent's list.
    ~TzsXMLItem() override;

    int Data = 0;
    QString Name;
    // Raw attribute text: name="value" pairs separated by blanks, as read.
    QString Text;

    TzsXMLItem* Parent() const { return m_parent; }
    int Count() const { return int(m_items.size()); }
    // Child by index; raises EListError for an index out of range.
    TzsXMLItem* Items(int index) const;
    // True once the first child was added and until Clear.
    bool HasItemList() const { return m_hasList; }

    void Clear();
    TzsXMLItem* Add();
    // Moves item (with its subtree) to the end of this item's children.
    // Raises EInvalidOperation when item is this item or one of its ancestors.
    void AddItem(TzsXMLItem* item);
    void InsertItem(int index, TzsXMLItem* item);
    // Index of the first child named name (ignoring case), -1 if none.
    int Find(const QString& name) const;
    // That child, or a new child of that name appended.
    TzsXMLItem* FindItem(const QString& name);
    TzsXMLItem* Root();

    QString Prop(const QString& name) const;
    void SetProp(const QString& name, const QString& value);

    // Copies Name, Text, Data and the whole subtree; nullptr only clears.
    void Assign(const TzsXMLItem* item);

    // Our own: detaches child index from the list without freeing it.
    std::unique_ptr<TzsXMLItem> takeItem(int index);

private:
    void detachFromParent();
    int findAttribute(const QString& name, int* valueStart, int* valueEnd) const;

    TzsXMLItem* m_parent = nullptr;
    bool m_hasList = false;
    std::vector<TzsXMLItem*> m_items; // owned
};

class TzsXMLDocument : public plat::TObject {
    PLAT_CLASS(TzsXMLDocument, plat::TObject)
public:
    TzsXMLDocument();
    TzsXMLDocument(const TzsXMLDocument&) = delete;
    TzsXMLDocument& operator=(const TzsXMLDocument&) = delete;
    ~TzsXMLDocument() override;

    bool AutoIndent = false;
    TzsXMLItem* Root() const { return m_root.get(); }

    // Raise plat::Exception "Invalid file format" on malformed input; the
    // stream is left just after the last character read.
    void LoadFromStream(plat::TStream& stream);
    void SaveToStream(plat::TStream& stream) const;
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const;

    // Our own: the document as 8-bit text (code page 1250) and back.
    void LoadFromBytes(const QByteArray& bytes);
    QByteArray SaveToBytes() const;
    // Text with every character kept (no code page), for in-memory use.
    void LoadFromText(const QString& text);
    QString SaveToText() const;

private:
    std::unique_ptr<TzsXMLItem> m_root;
};

// Reads an element tree from a stream in blocks of 4,096 bytes; on
// destruction puts the stream just after the last character consumed.
class TzsXMLReader {
public:
    explicit TzsXMLReader(plat::TStream& stream);
    ~TzsXMLReader();
    TzsXMLReader(const TzsXMLReader&) = delete;
    TzsXMLReader& operator=(const TzsXMLReader&) = delete;

    void ReadHeader();
    void ReadRootItem(TzsXMLItem* item);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

class TzsXMLWriter {
public:
    explicit TzsXMLWriter(plat::TStream& stream);
    ~TzsXMLWriter();
    TzsXMLWriter(const TzsXMLWriter&) = delete;
    TzsXMLWriter& operator=(const TzsXMLWriter&) = delete;

    bool AutoIndent = false;
    void WriteHeader();
    void WriteRootItem(const TzsXMLItem* item);
    void Flush();

private:
    void writeLine(const QString& line);

    plat::TStream& m_stream;
    QString m_buffer;
};

namespace zs {

// Attribute value escaping: LF, CR, '"', '<', '>' and '&' become decimal
// character references. Unescaping decodes "&#NN;" and "&quot;" only.
QString xmlEscape(const QString& text);
QString xmlUnescape(const QString& text);

// Parses text (no code page involved) into an element tree, as the reader
// does; raises "Invalid file format" like it.
void xmlParseText(const QString& text, TzsXMLItem* root);
// The document text: header and root, indented with CR LF when autoIndent.
QString xmlWriteText(const TzsXMLItem* root, bool autoIndent);

} // namespace zs
