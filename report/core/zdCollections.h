#pragma once
// Collections whose items carry an inherited name, unique in the
// collection, by which an item of an inherited report finds its counterpart
// in the ancestor report; and the two stored forms of such collections:
// nested XML items, and records inside an object's PropData.

#include "Collections.h"

#include <QString>

namespace plat {
class TReader;
class TWriter;
} // namespace plat

class TzdComponent;
class TzdXMLItem;

class TzdCollectionItem : public plat::TCollectionItem {
    PLAT_CLASS(TzdCollectionItem, plat::TCollectionItem)
public:
    explicit TzdCollectionItem(plat::TCollection* Collection);

    virtual QString GetInheritedName() const;
    virtual void SetInheritedName(const QString& Value);

    // Set when the item was matched by inherited name while an inherited
    // report was read.
    bool IsInherited = false;

private:
    QString m_inheritedName;
};

class TzdCollection : public plat::TCollection {
    PLAT_CLASS(TzdCollection, plat::TCollection)
public:
    explicit TzdCollection(const plat::TClass* ItemClass);
    TzdCollection(plat::TPersistent* Owner, const plat::TClass* ItemClass);

    // The first item with exactly that inherited name (case-sensitive).
    virtual TzdCollectionItem* FindByName(const QString& Name) const;

protected:
    // A new item gets the first free inherited name: its class name and 1, 2, ...
    void Added(plat::TCollectionItem* Item) override;
};

void zdWriteCollectionXML(plat::TCollection* Collection, const QByteArray& Name, TzdXMLItem* ParentItem,
                          plat::TCollection* AncestorCollection, TzdComponent* Owner);
void zdReadCollectionXML(plat::TCollection* Collection, TzdXMLItem* Item, TzdComponent* Owner,
                         plat::TCollection* AncestorCollection);
void zdWriteCollection(plat::TCollection* Collection, plat::TWriter& Writer, TzdComponent* Owner);
void zdReadCollection(plat::TCollection* Collection, plat::TReader& Reader, TzdComponent* Owner);
