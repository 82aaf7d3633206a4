#pragma once
// The report template file at the level of elements and attributes: a tree
// of report objects to XML items and back, through the objects' published
// properties. One element per object, one attribute per stored property,
// nested objects as dotted names, string lists as Prop.Text, text objects'
// text as Text, custom binary data as PropData (hexadecimal property
// records). All text is written as UTF-8; text that is not valid UTF-8 is
// read as code page 1250, so files written elsewhere still load.

#include "StringList.h"
#include "Streams.h"
#include "zdClass.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace plat {
class TPersistent;
class TPropInfo;
class TReader;
} // namespace plat

class TzdXMLItem;

struct TzdFixupItem {
    plat::TPersistent* Obj = nullptr;
    const plat::TPropInfo* Property = nullptr;
    QString Value; // the referenced object's name
};

class TzdXMLSerializer {
public:
    // The stream may be nullptr for in-memory use (attribute texts only).
    explicit TzdXMLSerializer(plat::TStream* Stream);
    ~TzdXMLSerializer();
    TzdXMLSerializer(const TzdXMLSerializer&) = delete;
    TzdXMLSerializer& operator=(const TzdXMLSerializer&) = delete;

    // Without Item: a document of its own, indented, saved to the stream.
    void WriteRootComponent(TzdComponent* Root, bool SaveChildren = true, TzdXMLItem* Item = nullptr,
                            bool IgnoreAncestry = false);
    // Without Item: a document loaded from the stream.
    void ReadRootComponent(TzdComponent* Root, TzdXMLItem* Item = nullptr);

    // The attribute text of one object (each pair preceded by a blank).
    QByteArray PropertiesToText(plat::TPersistent* Obj, const QByteArray& Prefix, plat::TPersistent* Ancestor);
    void TextToProperties(const QByteArray& Text, plat::TPersistent* Obj);
    // Class name and attribute text: an element without its brackets.
    QByteArray GetObjectText(plat::TPersistent* Obj);
    void WriteObjectElement(plat::TPersistent* Obj);
    TzdComponent* ReadObjectFromText(TzdComponent* Owner, const QByteArray& Text, bool DontFixup);
    void ReadPersistent(TzdComponent* Root, plat::TPersistent* Obj, const QByteArray& Text);

    void AddFixup(plat::TPersistent* Obj, const plat::TPropInfo* Property, const QString& Name);
    void ResolveFixups();
    void ClearFixups();
    void CopyFixups(std::vector<TzdFixupItem>& List) const;
    const std::vector<TzdFixupItem>& Fixups() const { return m_fixups; }

    // Problems met while reading: sorted, duplicates ignored.
    plat::TStringList& Errors() { return m_errors; }
    const plat::TStringList& Errors() const { return m_errors; }

    TzdComponent* Owner = nullptr;
    bool OldFormat = true;
    bool SerializeDefaultValues = false;
    bool HandleNestedProperties = false;
    bool AncestorOnly = false;
    std::function<TzdComponent*(const QString& Name)> OnGetAncestor;
    zd::CustomDataHandler OnGetCustomData;
    zd::CustomDataHandler OnSaveCustomData;

private:
    void writeObject(TzdComponent* Obj, TzdXMLItem* Item, bool IsRoot, bool SaveChildren, bool IgnoreAncestry);
    void readObject(TzdXMLItem* Item, TzdComponent* Root, TzdComponent* ParentObj,
                    std::vector<TzdComponent*>& ReadList);
    void appendProperty(QByteArray& out, plat::TPersistent* obj, const plat::TPropInfo* prop,
                        const QByteArray& prefix, plat::TPersistent* ancestor);
    QByteArray customData(plat::TPersistent* obj);
    void setProperty(plat::TPersistent* obj, const QByteArray& name, const QByteArray& value);
    void replayPropData(plat::TPersistent* obj, const QByteArray& hex);

    plat::TStream* m_stream;
    plat::TStringList m_errors;
    std::vector<TzdFixupItem> m_fixups;
    plat::TMemoryStream m_replay;
    std::unique_ptr<plat::TReader> m_reader;
};

namespace zd {
// 8-bit text from a file: UTF-8 when it is valid UTF-8, else code page 1250.
QString decodeFileText(const QByteArray& bytes);
// The text of a float in files and difference texts ('.' as separator).
QString floatText(long double value);
} // namespace zd
