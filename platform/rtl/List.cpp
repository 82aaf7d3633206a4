#include "List.h"

#include "Exceptions.h"

#include <algorithm>

namespace plat {
namespace {

[[noreturn]] void listError(const char* format, int data)
{
    throw EListError(QString::fromLatin1(format).arg(data));
}

constexpr const char* kIndexError = "List index out of bounds (%1)";
constexpr const char* kCapacityError = "List capacity out of bounds (%1)";
// The largest list the platform allows (its pointer array limit).
constexpr int kMaxListSize = 0x7FFFFFFF / 16;

} // namespace

TList::~TList() = default;

void TList::checkIndex(int index) const
{
    if (index < 0 || index >= Count())
        listError(kIndexError, index);
}

void TList::grow()
{
    // The platform's growth steps: 4, 8, 16, then a quarter more.
    int delta = m_capacity > 64 ? m_capacity / 4 : m_capacity > 8 ? 16 : 4;
    SetCapacity(m_capacity + delta);
}

void TList::SetCapacity(int capacity)
{
    if (capacity < Count() || capacity > kMaxListSize)
        listError(kCapacityError, capacity);
    m_capacity = capacity;
    m_items.reserve(static_cast<size_t>(capacity));
}

void TList::SetCount(int count)
{
    if (count < 0 || count > kMaxListSize)
        listError("List count out of bounds (%1)", count);
    if (count > m_capacity)
        SetCapacity(count);
    if (count > Count()) {
        m_items.resize(static_cast<size_t>(count), nullptr);
    } else {
        for (int i = Count() - 1; i >= count; --i)
            Delete(i);
    }
}

void* TList::Items(int index) const
{
    checkIndex(index);
    return m_items[static_cast<size_t>(index)];
}

void TList::SetItems(int index, void* item)
{
    checkIndex(index);
    void*& slot = m_items[static_cast<size_t>(index)];
    if (slot == item)
        return;
    void* old = slot;
    slot = item;
    if (old)
        Notify(old, lnDeleted);
    if (item)
        Notify(item, lnAdded);
}

int TList::Add(void* item)
{
    int index = Count();
    Insert(index, item);
    return index;
}

void TList::Insert(int index, void* item)
{
    if (index < 0 || index > Count())
        listError(kIndexError, index);
    if (Count() == m_capacity)
        grow();
    m_items.insert(m_items.begin() + index, item);
    if (item)
        Notify(item, lnAdded);
}

void TList::Delete(int index)
{
    checkIndex(index);
    void* item = m_items[static_cast<size_t>(index)];
    m_items.erase(m_items.begin() + index);
    if (item)
        Notify(item, lnDeleted);
}

int TList::Remove(void* item)
{
    int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
    return index;
}

void* TList::Extract(void* item)
{
    int index = IndexOf(item);
    if (index < 0)
        return nullptr;
    m_items.erase(m_items.begin() + index);
    Notify(item, lnExtracted);
    return item;
}

void TList::Clear()
{
    SetCount(0);
    SetCapacity(0);
}

int TList::IndexOf(void* item) const
{
    auto it = std::find(m_items.begin(), m_items.end(), item);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

void* TList::First() const
{
    return Items(0);
}

void* TList::Last() const
{
    return Items(Count() - 1);
}

void TList::Exchange(int index1, int index2)
{
    checkIndex(index1);
    checkIndex(index2);
    std::swap(m_items[static_cast<size_t>(index1)], m_items[static_cast<size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    checkIndex(curIndex);
    checkIndex(newIndex);
    void* item = m_items[static_cast<size_t>(curIndex)];
    m_items.erase(m_items.begin() + curIndex);
    m_items.insert(m_items.begin() + newIndex, item);
}

void TList::Pack()
{
    for (int i = Count() - 1; i >= 0; --i)
        if (!m_items[static_cast<size_t>(i)])
            m_items.erase(m_items.begin() + i);
}

void TList::Sort(const TListSortCompare& compare)
{
    if (!compare || Count() < 2)
        return;
    std::stable_sort(m_items.begin(), m_items.end(),
                     [&](void* a, void* b) { return compare(a, b) < 0; });
}

TList& TList::Expand()
{
    if (Count() == m_capacity)
        grow();
    return *this;
}

void TList::Assign(const TList& source)
{
    if (&source == this)
        return;
    Clear();
    SetCapacity(source.m_capacity);
    for (void* item : source.m_items)
        Add(item);
}

void TList::Notify(void*, TListNotification)
{
}

} // namespace plat
