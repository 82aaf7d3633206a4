#pragma once
// List of untyped pointers with the platform's methods and errors.

#include <QtGlobal>
#include <functional>
#include <vector>

namespace plat {

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList {
public:
    using TListSortCompare = std::function<int(void*, void*)>;

    TList() = default;
    TList(const TList&) = default;
    TList& operator=(const TList&) = default;
    virtual ~TList();

    int Count() const { return static_cast<int>(m_items.size()); }
    // Growing fills with nullptr; shrinking drops the tail.
    void SetCount(int count);
    int Capacity() const { return m_capacity; }
    // Raises EListError "List capacity out of bounds (%d)" below Count.
    void SetCapacity(int capacity);

    // Index errors raise EListError "List index out of bounds (%d)".
    void* Items(int index) const;
    void SetItems(int index, void* item);
    void* operator[](int index) const { return Items(index); }

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    int Remove(void* item);       // first occurrence; -1 if absent
    void* Extract(void* item);    // removes without "deleted" notice; nullptr if absent
    void Clear();
    int IndexOf(void* item) const;
    void* First() const;
    void* Last() const;
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    void Pack();                  // drops the nullptr items
    void Sort(const TListSortCompare& compare);
    TList& Expand();
    void Assign(const TList& source);

    const std::vector<void*>& items() const { return m_items; }

protected:
    // Called after an item entered or before it left the list.
    virtual void Notify(void* item, TListNotification action);

private:
    void checkIndex(int index) const;
    void grow();

    std::vector<void*> m_items;
    int m_capacity = 0;
};

} // namespace plat
