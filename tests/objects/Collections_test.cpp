// Collections and their items.

#include "Exceptions.h"
#include "ObjectsFixture.h"

#include <gtest/gtest.h>

using namespace plat;
using namespace fixture;

namespace {
// Names each added item after its class, as the report's collections do;
// the class name is only right once the item is complete.
class TNamingCollection : public TCollection {
    PLAT_CLASS(TNamingCollection, TCollection)
public:
    TNamingCollection() : TCollection(TTestItem::StaticClass()) {}
    QStringList log;
    int updates = 0;

protected:
    void Notify(TCollectionItem* item, TCollectionNotification action) override
    {
        static const char* names[] = {"added", "extracting", "deleting"};
        log << QStringLiteral("%1 %2").arg(QString::fromLatin1(names[action]), item->ClassName());
        if (action == cnAdded)
            static_cast<TTestItem*>(item)->SetLabel(item->ClassName() + QString::number(Count()));
    }
    void Update(TCollectionItem*) override { ++updates; }
};
PLAT_DEFINE_CLASS(TNamingCollection, c) {}

QStringList labels(const TCollection& c)
{
    QStringList out;
    for (TCollectionItem* item : c.items())
        out << static_cast<TTestItem*>(item)->Label();
    return out;
}
} // namespace

TEST(Collections, AddSeesTheCompleteItem)
{
    TNamingCollection c;
    c.Add();
    c.Add<TTestItem>();
    EXPECT_EQ(labels(c), (QStringList{"TTestItem1", "TTestItem2"}));
    EXPECT_EQ(c.log, (QStringList{"added TTestItem", "added TTestItem"}));
    EXPECT_EQ(c.Items(1)->Collection(), &c);
    EXPECT_EQ(c.Items(1)->Index(), 1);
}

TEST(Collections, InsertDeleteAndMove)
{
    TNamingCollection c;
    for (int i = 0; i < 3; ++i)
        c.Add();
    auto* inserted = static_cast<TTestItem*>(c.Insert(1));
    inserted->SetLabel("new");
    EXPECT_EQ(labels(c), (QStringList{"TTestItem1", "new", "TTestItem2", "TTestItem3"}));
    c.log.clear();
    c.Delete(0);
    EXPECT_EQ(c.log, (QStringList{"deleting TTestItem", "extracting TTestItem"}));
    EXPECT_EQ(labels(c), (QStringList{"new", "TTestItem2", "TTestItem3"}));
    c.Items(2)->SetIndex(0);
    EXPECT_EQ(labels(c), (QStringList{"TTestItem3", "new", "TTestItem2"}));
    delete c.Items(1);
    EXPECT_EQ(c.Count(), 2);
    EXPECT_THROW(c.Items(2), EListError);
    EXPECT_THROW(c.Insert(5), EListError);
    EXPECT_THROW(c.Delete(-1), EListError);
}

TEST(Collections, IdsAreUniqueAndFound)
{
    TCollection c(TTestItem::StaticClass());
    auto* a = c.Add();
    auto* b = c.Add();
    c.Delete(0);
    auto* d = c.Add();
    EXPECT_NE(a, nullptr);
    EXPECT_EQ(b->ID(), 1);
    EXPECT_EQ(d->ID(), 2);
    EXPECT_EQ(c.FindItemID(2), d);
    EXPECT_EQ(c.FindItemID(0), nullptr);
}

TEST(Collections, AssignCopiesTheItemsInOneUpdate)
{
    TCollection source(TTestItem::StaticClass());
    for (const char* label : {"x", "y"}) {
        auto* item = source.Add<TTestItem>();
        item->SetLabel(label);
        item->SetWeight(7);
    }
    TNamingCollection target;
    target.Add();
    target.updates = 0;
    target.Assign(&source);
    EXPECT_EQ(labels(target), (QStringList{"x", "y"}));
    EXPECT_EQ(static_cast<TTestItem*>(target.Items(1))->Weight(), 7);
    EXPECT_EQ(target.updates, 1);
    target.Clear();
    EXPECT_EQ(target.Count(), 0);
}

TEST(Collections, ItemsMoveBetweenCollections)
{
    TCollection a(TTestItem::StaticClass());
    TCollection b(TTestItem::StaticClass());
    TCollectionItem* item = a.Add();
    item->SetCollection(&b);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(b.Count(), 1);
    EXPECT_EQ(item->Collection(), &b);
    item->SetCollection(nullptr);
    EXPECT_EQ(b.Count(), 0);
    EXPECT_EQ(item->Index(), -1);
    delete item;
}

TEST(Collections, ItemClassMustBeACollectionItem)
{
    EXPECT_THROW((void)TCollection(TTestSub::StaticClass()), EInvalidOperation);
    TTestObject owner(nullptr);
    owner.SetName("Owner1");
    owner.Items()->SetPropName("Items");
    TCollectionItem* item = owner.Items()->Add();
    EXPECT_EQ(item->GetNamePath(), "Owner1.Items[0]");
    EXPECT_EQ(owner.Items()->GetOwner(), &owner);
}
