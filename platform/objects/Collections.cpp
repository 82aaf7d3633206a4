#include "Collections.h"

#include "Exceptions.h"

#include <algorithm>

namespace plat {

// ---------------------------------------------------------------------------
// TCollectionItem

PLAT_DEFINE_CLASS(TCollectionItem, c) {}

TCollectionItem::TCollectionItem(TCollection* Collection)
{
    if (Collection)
        Collection->insertItem(this);
}

TCollectionItem::~TCollectionItem()
{
    if (m_collection)
        m_collection->removeItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (Value == m_collection)
        return;
    if (m_collection)
        m_collection->removeItem(this);
    if (Value) {
        Value->insertItem(this);
        Value->Notify(this, cnAdded);
        Value->Added(this);
        Value->Changed();
    }
}

int TCollectionItem::Index() const
{
    if (!m_collection)
        return -1;
    const auto& items = m_collection->m_items;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    const int current = Index();
    if (current < 0 || Value < 0 || Value == current)
        return;
    auto& items = m_collection->m_items;
    Value = std::min(Value, static_cast<int>(items.size()) - 1);
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

QString TCollectionItem::GetDisplayName()
{
    return ClassName();
}

void TCollectionItem::SetDisplayName(const QString&)
{
    Changed(false);
}

QString TCollectionItem::GetNamePath()
{
    if (!m_collection)
        return ClassName();
    return QStringLiteral("%1[%2]").arg(m_collection->GetNamePath()).arg(Index());
}

TPersistent* TCollectionItem::GetOwner()
{
    return m_collection;
}

void TCollectionItem::Changed(bool AllItems)
{
    if (m_collection)
        m_collection->itemChanged(AllItems ? nullptr : this);
}

// ---------------------------------------------------------------------------
// TCollection

PLAT_DEFINE_CLASS(TCollection, c) {}

TCollection::TCollection(const TClass* ItemClass) : TCollection(nullptr, ItemClass) {}

TCollection::TCollection(TPersistent* Owner, const TClass* ItemClass) : m_owner(Owner), m_itemClass(ItemClass)
{
    if (!ItemClass || !ItemClass->InheritsFrom(TCollectionItem::StaticClass()))
        throw EInvalidOperation(QStringLiteral("Invalid collection item class"));
}

TCollection::~TCollection()
{
    // Items leave without notifications: the collection is going away.
    m_updateCount = 1;
    while (!m_items.empty()) {
        TCollectionItem* item = m_items.back();
        m_items.pop_back();
        item->m_collection = nullptr;
        delete item;
    }
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return m_items[static_cast<size_t>(Index)];
}

void TCollection::SetItem(int Index, TCollectionItem* Value)
{
    Items(Index)->Assign(Value);
}

TCollectionItem* TCollection::Add()
{
    TCollectionItem* item = m_itemClass->CreateItem(this);
    // The item is complete now: the notifications may look at its class.
    Notify(item, cnAdded);
    Added(item);
    Changed();
    return item;
}

TCollectionItem* TCollection::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index)
{
    TCollectionItem* item = Items(Index);
    Notify(item, cnDeleting);
    Deleting(item);
    freeItem(item);
}

void TCollection::Clear()
{
    if (m_items.empty())
        return;
    BeginUpdate();
    try {
        while (!m_items.empty())
            freeItem(m_items.back());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* item : m_items)
        if (item->m_id == ID)
            return item;
    return nullptr;
}

void TCollection::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TCollection*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : source->m_items)
            Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::BeginUpdate()
{
    ++m_updateCount;
}

void TCollection::EndUpdate()
{
    if (m_updateCount > 0)
        --m_updateCount;
    Changed();
}

QString TCollection::GetNamePath()
{
    TPersistent* owner = GetOwner();
    if (!owner)
        return ClassName();
    const QString path = owner->GetNamePath();
    if (path.isEmpty() || m_propName.isEmpty())
        return path.isEmpty() ? ClassName() : path;
    return path + u'.' + m_propName;
}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}
void TCollection::Added(TCollectionItem*) {}
void TCollection::Deleting(TCollectionItem*) {}
void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed()
{
    if (m_updateCount == 0)
        Update(nullptr);
}

void TCollection::itemChanged(TCollectionItem* Item)
{
    if (m_updateCount == 0)
        Update(Item);
}

void TCollection::freeItem(TCollectionItem* Item)
{
    // Out of the list while the item is still complete, so that Notify sees
    // its real class; then it goes without further notice.
    removeItem(Item);
    delete Item;
}

void TCollection::insertItem(TCollectionItem* Item)
{
    m_items.push_back(Item);
    Item->m_collection = this;
    Item->m_id = m_nextId++;
}

void TCollection::removeItem(TCollectionItem* Item)
{
    Notify(Item, cnExtracting);
    auto it = std::find(m_items.begin(), m_items.end(), Item);
    if (it != m_items.end())
        m_items.erase(it);
    Item->m_collection = nullptr;
    Changed();
}

} // namespace plat
