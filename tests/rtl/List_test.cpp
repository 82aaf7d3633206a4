#include "List.h"
#include "Exceptions.h"

#include <gtest/gtest.h>

#include <vector>

using namespace plat;

namespace {

void* ptr(intptr_t n)
{
    return reinterpret_cast<void*>(n);
}

class RecordingList : public TList {
public:
    std::vector<std::pair<intptr_t, TListNotification>> log;

protected:
    void Notify(void* item, TListNotification action) override
    {
        log.emplace_back(reinterpret_cast<intptr_t>(item), action);
    }
};

template <typename F>
QString listErrorOf(F f)
{
    try {
        f();
    } catch (const EListError& e) {
        return e.message();
    }
    return QStringLiteral("<no EListError>");
}

} // namespace

TEST(List, AddInsertDeleteKeepOrder)
{
    TList list;
    list.Add(ptr(1));
    list.Add(ptr(3));
    list.Insert(1, ptr(2));
    list.Insert(3, ptr(4)); // at Count appends
    EXPECT_EQ(list.items(), (std::vector<void*>{ptr(1), ptr(2), ptr(3), ptr(4)}));
    list.Delete(0);
    EXPECT_EQ(list.First(), ptr(2));
    EXPECT_EQ(list.Last(), ptr(4));
    EXPECT_EQ(list.Remove(ptr(3)), 1);
    EXPECT_EQ(list.Remove(ptr(9)), -1);
    EXPECT_EQ(list.IndexOf(ptr(4)), 1);
}

TEST(List, IndexAndCapacityErrorsCarryThePlatformMessages)
{
    TList list;
    list.Add(ptr(1));
    EXPECT_EQ(listErrorOf([&] { list.Items(1); }), "List index out of bounds (1)");
    EXPECT_EQ(listErrorOf([&] { list.Items(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(listErrorOf([&] { list.Insert(3, nullptr); }), "List index out of bounds (3)");
    EXPECT_EQ(listErrorOf([&] { list.Delete(5); }), "List index out of bounds (5)");
    EXPECT_EQ(listErrorOf([&] { list.Exchange(0, 2); }), "List index out of bounds (2)");
    EXPECT_EQ(listErrorOf([&] { list.SetCapacity(0); }), "List capacity out of bounds (0)");
    EXPECT_EQ(listErrorOf([] { TList().First(); }), "List index out of bounds (0)");
    EXPECT_EQ(listErrorOf([] { TList().Last(); }), "List index out of bounds (-1)");
    EXPECT_EQ(list.Count(), 1);
}

TEST(List, CountGrowsWithNilsAndPackDropsThem)
{
    TList list;
    list.Add(ptr(1));
    list.SetCount(3);
    EXPECT_EQ(list.Items(2), nullptr);
    list.Add(ptr(2));
    list.Pack();
    EXPECT_EQ(list.items(), (std::vector<void*>{ptr(1), ptr(2)}));
    EXPECT_GE(list.Capacity(), list.Count());
}

TEST(List, MoveExchangeAndSort)
{
    TList list;
    for (intptr_t i : {5, 1, 4, 2, 3})
        list.Add(ptr(i));
    list.Move(0, 4);
    EXPECT_EQ(list.items(), (std::vector<void*>{ptr(1), ptr(4), ptr(2), ptr(3), ptr(5)}));
    list.Exchange(0, 1);
    EXPECT_EQ(list.First(), ptr(4));
    list.Sort([](void* a, void* b) {
        return static_cast<int>(reinterpret_cast<intptr_t>(a) - reinterpret_cast<intptr_t>(b));
    });
    EXPECT_EQ(list.items(), (std::vector<void*>{ptr(1), ptr(2), ptr(3), ptr(4), ptr(5)}));
}

TEST(List, NotificationsOnAddDeleteExtractButNotForNil)
{
    RecordingList list;
    list.Add(ptr(1));
    list.Add(nullptr);
    list.Add(ptr(2));
    EXPECT_EQ(list.Extract(ptr(2)), ptr(2));
    EXPECT_EQ(list.Extract(ptr(7)), nullptr);
    list.Clear();
    using L = std::vector<std::pair<intptr_t, TListNotification>>;
    EXPECT_EQ(list.log, (L{{1, lnAdded}, {2, lnAdded}, {2, lnExtracted}, {1, lnDeleted}}));
    EXPECT_EQ(list.Count(), 0);
}
