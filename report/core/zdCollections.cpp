#include "zdCollections.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "PropStream.h"
#include "Streams.h"
#include "TypeInfo.h"
#include "zdClass.h"
#include "zdXML.h"
#include "zdXMLSerializer.h"

#include <QSet>
#include <QtEndian>

#include <memory>

PLAT_DEFINE_CLASS(TzdCollectionItem, c)
{
    c.property("InheritedName", &TzdCollectionItem::GetInheritedName, &TzdCollectionItem::SetInheritedName)
        .stored(false);
}

PLAT_DEFINE_CLASS(TzdCollection, c) {}

TzdCollectionItem::TzdCollectionItem(plat::TCollection* Collection) : plat::TCollectionItem(Collection) {}

QString TzdCollectionItem::GetInheritedName() const
{
    return m_inheritedName;
}

void TzdCollectionItem::SetInheritedName(const QString& Value)
{
    m_inheritedName = Value;
}

TzdCollection::TzdCollection(const plat::TClass* ItemClass) : plat::TCollection(ItemClass) {}

TzdCollection::TzdCollection(plat::TPersistent* Owner, const plat::TClass* ItemClass)
    : plat::TCollection(Owner, ItemClass)
{
}

TzdCollectionItem* TzdCollection::FindByName(const QString& Name) const
{
    for (plat::TCollectionItem* item : items())
        if (auto* zdItem = dynamic_cast<TzdCollectionItem*>(item); zdItem && zdItem->GetInheritedName() == Name)
            return zdItem;
    return nullptr;
}

void TzdCollection::Added(plat::TCollectionItem* Item)
{
    plat::TCollection::Added(Item);
    auto* added = dynamic_cast<TzdCollectionItem*>(Item);
    if (!added)
        return;
    QSet<QString> names;
    for (plat::TCollectionItem* item : items())
        if (auto* zdItem = dynamic_cast<TzdCollectionItem*>(item))
            names.insert(zdItem->GetInheritedName());
    const QString stem = Item->ClassName();
    for (int n = 1;; ++n) {
        const QString candidate = stem + QString::number(n);
        if (!names.contains(candidate)) {
            added->SetInheritedName(candidate);
            return;
        }
    }
}

namespace {

// The serializer of the owner's report while it loads or saves itself, or
// one made for the call with the report as its owner.
class SerializerFor {
public:
    explicit SerializerFor(TzdComponent* owner)
    {
        zd::ReportDocument* doc = owner ? zd::reportDocumentOf(owner) : nullptr;
        m_serializer = doc ? doc->CurrentSerializer() : nullptr;
        if (!m_serializer) {
            m_own = std::make_unique<TzdXMLSerializer>(nullptr);
            m_own->Owner = doc ? doc->ReportComponent() : owner;
            m_serializer = m_own.get();
        }
    }
    TzdXMLSerializer* operator->() const { return m_serializer; }
    TzdXMLSerializer& get() const { return *m_serializer; }
    bool ownsSerializer() const { return m_own != nullptr; }

private:
    std::unique_ptr<TzdXMLSerializer> m_own;
    TzdXMLSerializer* m_serializer = nullptr;
};

// Old collection records stored bytes above 127 as the byte 1 followed by
// the byte less 128.
QString decodeHighBytes(const QString& text)
{
    const QByteArray bytes = plat::unicodeToCp1250(text);
    if (!bytes.contains('\x01'))
        return text;
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\x01' && i + 1 < bytes.size()) {
            out += static_cast<char>(static_cast<unsigned char>(bytes[i + 1]) + 128);
            ++i;
        } else {
            out += bytes[i];
        }
    }
    return plat::cp1250ToUnicode(out);
}

void decodeItemStrings(plat::TCollection* collection)
{
    for (plat::TCollectionItem* item : collection->items()) {
        for (const plat::TPropInfo* prop : item->ClassType()->Properties()) {
            if (!prop->IsWritable())
                continue;
            const plat::TTypeKind kind = prop->Kind();
            if (kind == plat::tkString || kind == plat::tkLString || kind == plat::tkWString) {
                plat::SetStrProp(item, prop, decodeHighBytes(plat::GetStrProp(item, prop)));
            } else if (kind == plat::tkVariant) {
                const plat::Variant v = plat::GetVariantProp(item, prop);
                if (v.type() == plat::varString || v.type() == plat::varOleStr)
                    plat::SetVariantProp(item, prop, plat::Variant(decodeHighBytes(v.toString())));
            }
        }
    }
}

QByteArray readLongString(plat::TReader& reader)
{
    if (reader.NextValue() != plat::vaLString)
        return reader.ReadString().toUtf8();
    reader.ReadValue();
    quint32 length = 0;
    reader.Read(&length, 4);
    length = qFromLittleEndian(length);
    // A length beyond the data is a damaged record, not a reason to allocate gigabytes.
    plat::TStream& stream = reader.Stream();
    if (qint64(length) > stream.Size() - stream.Position())
        throw plat::EReadError(QStringLiteral("Stream read error"));
    QByteArray bytes(static_cast<qsizetype>(length), '\0');
    reader.Read(bytes.data(), bytes.size());
    return bytes;
}

} // namespace

void zdWriteCollectionXML(plat::TCollection* Collection, const QByteArray& Name, TzdXMLItem* ParentItem,
                          plat::TCollection* AncestorCollection, TzdComponent* Owner)
{
    if (!Collection || !ParentItem)
        return;
    SerializerFor serializer(Owner);
    TzdXMLItem* node = ParentItem->Add();
    node->Name = Name;
    auto* zdAncestors = dynamic_cast<TzdCollection*>(AncestorCollection);
    const bool inheriting = dynamic_cast<TzdCollection*>(Collection) && zdAncestors;
    for (plat::TCollectionItem* item : Collection->items()) {
        TzdXMLItem* child = node->Add();
        child->Name = QByteArrayLiteral("item");
        QByteArray text;
        plat::TPersistent* ancestor = nullptr;
        if (inheriting) {
            if (auto* zdItem = dynamic_cast<TzdCollectionItem*>(item)) {
                const QString inheritedName = zdItem->GetInheritedName();
                if (TzdCollectionItem* found = zdAncestors->FindByName(inheritedName)) {
                    ancestor = found;
                    text = " InheritedName=\"" + zdXMLEscape(inheritedName.toUtf8()) + '"';
                }
            }
        }
        text += serializer->PropertiesToText(item, QByteArray(), ancestor);
        child->Text = text;
    }
}

void zdReadCollectionXML(plat::TCollection* Collection, TzdXMLItem* Item, TzdComponent* Owner,
                         plat::TCollection* AncestorCollection)
{
    if (!Collection || !Item)
        return;
    SerializerFor serializer(Owner);
    auto* zdCollection = dynamic_cast<TzdCollection*>(Collection);
    const bool merging = Owner && Owner->IsAncestor() && zdCollection && AncestorCollection;
    for (int i = 0; i < Item->Count(); ++i) {
        TzdXMLItem* child = Item->GetItem(i);
        if (merging) {
            const QString inheritedName = zd::decodeFileText(child->GetAttr(QByteArrayLiteral("InheritedName")));
            if (!inheritedName.isEmpty()) {
                if (TzdCollectionItem* found = zdCollection->FindByName(inheritedName)) {
                    serializer->TextToProperties(child->Text, found);
                    found->IsInherited = true;
                }
                continue;
            }
        }
        serializer->TextToProperties(child->Text, Collection->Add());
    }
    if (serializer.ownsSerializer())
        serializer->ResolveFixups();
}

void zdWriteCollection(plat::TCollection* Collection, plat::TWriter& Writer, TzdComponent* Owner)
{
    if (!Owner || !Owner->StreamWriting) {
        Writer.WriteCollection(Collection);
        return;
    }
    SerializerFor serializer(Owner);
    Writer.WriteListBegin();
    if (Collection) {
        for (plat::TCollectionItem* item : Collection->items()) {
            Writer.WriteListBegin();
            const QByteArray text = serializer->PropertiesToText(item, QByteArray(), nullptr);
            Writer.WriteValue(plat::vaLString);
            const quint32 length = qToLittleEndian(static_cast<quint32>(text.size()));
            Writer.Write(&length, 4);
            Writer.Write(text.constData(), text.size());
            Writer.WriteListEnd();
        }
    }
    Writer.WriteListEnd();
}

void zdReadCollection(plat::TCollection* Collection, plat::TReader& Reader, TzdComponent* Owner)
{
    if (Reader.NextValue() == plat::vaCollection) {
        Reader.ReadCollection(Collection);
        decodeItemStrings(Collection);
        return;
    }
    SerializerFor serializer(Owner);
    Collection->Clear();
    Reader.ReadListBegin();
    while (!Reader.EndOfList()) {
        Reader.ReadListBegin();
        const QByteArray text = readLongString(Reader);
        plat::TCollectionItem* item = Collection->Add();
        if (serializer.ownsSerializer())
            serializer->ReadPersistent(serializer->Owner, item, text);
        else
            serializer->TextToProperties(text, item);
        Reader.ReadListEnd();
    }
    Reader.ReadListEnd();
}
