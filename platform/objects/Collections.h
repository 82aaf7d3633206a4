#pragma once
// Collections: an owned, ordered list of items of one item class.
//
// A collection owns its items. Create items with Add() or Insert() (or
// Add<T>()): these construct the item of ItemClass and then notify the
// collection (Notify cnAdded, Added, Update). Constructing an item directly
// with a collection (`new TMyItem(coll)`) puts it into the collection too,
// but without those notifications, since the item is not complete while its
// base constructor runs. Deleting an item takes it out of its collection
// (its notification then sees a TCollectionItem: prefer Delete()).

#include "TypeInfo.h"

#include <vector>

namespace plat {

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
    PLAT_CLASS(TCollectionItem, TPersistent)
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return m_collection; }
    // Moves the item to another collection (or out of any with nullptr).
    void SetCollection(TCollection* Value);
    int Index() const; // -1 outside a collection
    // Moves the item within its collection.
    void SetIndex(int Value);
    int ID() const { return m_id; }
    // The text the designer shows; the class name by default.
    virtual QString GetDisplayName();
    virtual void SetDisplayName(const QString& Value);
    QString GetNamePath() override;
    TPersistent* GetOwner() override;

protected:
    // Tells the collection that this item changed (AllItems: every item).
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* m_collection = nullptr;
    int m_id = 0;
};

class TCollection : public TPersistent {
    PLAT_CLASS(TCollection, TPersistent)
public:
    // ItemClass must descend from TCollectionItem (EInvalidOperation
    // otherwise). A collection without owner has none.
    explicit TCollection(const TClass* ItemClass);
    TCollection(TPersistent* Owner, const TClass* ItemClass);
    ~TCollection() override;

    const TClass* ItemClass() const { return m_itemClass; }
    int Count() const { return static_cast<int>(m_items.size()); }
    // Raises EListError "List index out of bounds (%d)" outside the range.
    TCollectionItem* Items(int Index) const;
    TCollectionItem* GetItem(int Index) const { return Items(Index); }
    // Assigns Value to the item at Index (the item stays).
    void SetItem(int Index, TCollectionItem* Value);
    const std::vector<TCollectionItem*>& items() const { return m_items; }

    TCollectionItem* Add();
    template <class T>
    T* Add()
    {
        return static_cast<T*>(Add());
    }
    // Add, then move to Index (0..Count).
    TCollectionItem* Insert(int Index);
    // Frees the item at Index.
    void Delete(int Index);
    // Frees every item, the last first, inside one update.
    void Clear();
    TCollectionItem* FindItemID(int ID) const;

    // Clears and copies Source's items (Add + Assign each) inside one update.
    void Assign(TPersistent* Source) override;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }

    TPersistent* GetOwner() override { return m_owner; }
    QString GetNamePath() override;
    // The property name under which the owner shows this collection.
    void SetPropName(const QString& Name) { m_propName = Name; }
    const QString& PropName() const { return m_propName; }

protected:
    // After an item entered (cnAdded) or before it leaves.
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    virtual void Added(TCollectionItem* Item);
    virtual void Deleting(TCollectionItem* Item);
    // Item changed; nullptr means the whole collection. Not called while
    // updates are suspended; EndUpdate calls Update(nullptr) once.
    virtual void Update(TCollectionItem* Item);
    void Changed();

private:
    friend class TCollectionItem;
    void insertItem(TCollectionItem* Item);
    void removeItem(TCollectionItem* Item);
    void freeItem(TCollectionItem* Item);
    void itemChanged(TCollectionItem* Item);

    TPersistent* m_owner = nullptr;
    const TClass* m_itemClass;
    std::vector<TCollectionItem*> m_items;
    int m_nextId = 0;
    int m_updateCount = 0;
    QString m_propName;
};

} // namespace plat
