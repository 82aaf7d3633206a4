// Owners, names and notifications of components.

#include "Exceptions.h"
#include "ObjectsFixture.h"

#include <gtest/gtest.h>

#include <vector>

using namespace plat;
using namespace fixture;

namespace {

// Records its destruction and the notifications it receives.
class TProbe : public TComponent {
    PLAT_CLASS(TProbe, TComponent)
public:
    TProbe(TComponent* owner, QString label, std::vector<QString>* log) : TComponent(owner), label(std::move(label)), log(log) {}
    ~TProbe() override
    {
        if (log)
            log->push_back(QStringLiteral("free ") + label);
    }
    QString label;
    std::vector<QString>* log;
    std::vector<std::pair<TComponent*, TOperation>> notes;

protected:
    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        notes.emplace_back(c, op);
    }
};
PLAT_DEFINE_CLASS(TProbe, c) {}

void expectComponentError(const std::function<void()>& f, const QString& message)
{
    try {
        f();
        ADD_FAILURE() << "no exception";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.message(), message);
    }
}

} // namespace

TEST(Components, OwnerFreesItsComponentsLastFirst)
{
    std::vector<QString> log;
    auto* owner = new TProbe(nullptr, "owner", &log);
    new TProbe(owner, "a", &log);
    auto* b = new TProbe(owner, "b", &log);
    new TProbe(b, "b1", &log);
    new TProbe(owner, "c", &log);
    EXPECT_EQ(owner->ComponentCount(), 3);
    delete owner;
    const std::vector<QString> expected = {"free owner", "free c", "free b", "free b1", "free a"};
    EXPECT_EQ(log, expected);
}

TEST(Components, DeletingAComponentTakesItOutOfItsOwner)
{
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("A");
    delete a;
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
    EXPECT_EQ(owner.FindComponent(u"A"), nullptr);
    EXPECT_EQ(b->ComponentIndex(), 0);
    EXPECT_THROW(owner.Components(1), EListError);
}

TEST(Components, FreeNotificationClearsAReferenceAcrossOwners)
{
    TComponent ownerA(nullptr);
    TComponent ownerB(nullptr);
    auto* holder = new TTestObject(&ownerA);
    auto* target = new TTestObject(&ownerB);
    holder->SetLink(target);
    ASSERT_EQ(holder->Link(), target);
    delete target;
    EXPECT_EQ(holder->Link(), nullptr);
}

TEST(Components, FreeNotificationWorksBothWays)
{
    auto* a = new TTestObject(nullptr);
    auto* b = new TTestObject(nullptr);
    a->SetLink(b);
    b->SetLink(a);
    EXPECT_TRUE(a->ComponentState().contains(csFreeNotification));
    delete a; // b hears of it and drops its reference; a's link to b is dropped too
    EXPECT_EQ(b->Link(), nullptr);
    EXPECT_FALSE(b->ComponentState().contains(csFreeNotification));
    delete b;
}

TEST(Components, SiblingsHearOfInsertAndRemove)
{
    TComponent owner(nullptr);
    auto* watcher = new TProbe(&owner, "w", nullptr);
    auto* sibling = new TProbe(&owner, "s", nullptr);
    ASSERT_FALSE(watcher->notes.empty());
    EXPECT_EQ(watcher->notes.back(), std::make_pair(static_cast<TComponent*>(sibling), opInsert));
    const auto key = reinterpret_cast<quintptr>(sibling);
    delete sibling;
    EXPECT_EQ(reinterpret_cast<quintptr>(watcher->notes.back().first), key);
    EXPECT_EQ(watcher->notes.back().second, opRemove);
}

TEST(Components, SiblingReferenceIsClearedWhenOwnerFreesTheTarget)
{
    TComponent owner(nullptr);
    auto* holder = new TTestObject(&owner);
    auto* target = new TTestObject(&owner);
    holder->SetLink(target); // same owner: the owner's notification covers it
    delete target;
    EXPECT_EQ(holder->Link(), nullptr);
}

TEST(Components, NamesFollowThePlatformRules)
{
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Memo1");
    EXPECT_EQ(owner.FindComponent(u"MEMO1"), a);
    expectComponentError([&] { b->SetName("memo1"); }, "A component named memo1 already exists");
    EXPECT_EQ(b->Name(), "");
    for (const char* bad : {"1abc", "a b", "a-b", "Žluť", "a.b", " a"})
        expectComponentError([&] { b->SetName(QString::fromUtf8(bad)); },
                             QStringLiteral("Component name \"%1\" is not a valid identifier").arg(QString::fromUtf8(bad)));
    EXPECT_EQ(b->Name(), "");
    b->SetName("_Memo_2");
    EXPECT_EQ(b->Name(), "_Memo_2");
    a->SetName("memo1"); // a change of case of one's own name is allowed
    EXPECT_EQ(a->Name(), "memo1");
    EXPECT_EQ(owner.FindComponent(u"Memo1"), a);
    a->SetName("");
    b->SetName("");
    EXPECT_EQ(a->Name(), "");
    EXPECT_EQ(owner.FindComponent(u""), nullptr);
    // Unowned components are never compared.
    TComponent loose1(nullptr), loose2(nullptr);
    loose1.SetName("Same");
    loose2.SetName("Same");
    EXPECT_EQ(loose2.Name(), "Same");
}

TEST(Components, FindComponentOnALargeOwnerFollowsRenames)
{
    TComponent owner(nullptr);
    std::vector<TComponent*> all;
    for (int i = 0; i < 100; ++i) {
        auto* c = new TComponent(&owner);
        c->SetName(QStringLiteral("Item%1").arg(i));
        all.push_back(c);
    }
    EXPECT_EQ(owner.FindComponent(u"item57"), all[57]);
    all[57]->SetName("Renamed");
    EXPECT_EQ(owner.FindComponent(u"Item57"), nullptr);
    EXPECT_EQ(owner.FindComponent(u"RENAMED"), all[57]);
    expectComponentError([&] { all[3]->SetName("item4"); }, "A component named item4 already exists");
    delete all[4];
    all[3]->SetName("item4");
    EXPECT_EQ(owner.FindComponent(u"Item4"), all[3]);
}

TEST(Components, InsertingANamedComponentChecksTheNewOwner)
{
    TComponent first(nullptr), second(nullptr);
    auto* a = new TComponent(&first);
    a->SetName("X");
    auto* b = new TComponent(&second);
    b->SetName("x");
    expectComponentError([&] { second.InsertComponent(a); }, "A component named X already exists");
    EXPECT_EQ(a->Owner(), &first);
    first.RemoveComponent(a);
    EXPECT_EQ(a->Owner(), nullptr);
    EXPECT_EQ(first.ComponentCount(), 0);
    delete b;
    second.InsertComponent(a);
    EXPECT_EQ(a->Owner(), &second);
    EXPECT_EQ(second.FindComponent(u"x"), a);
}

TEST(Components, OwnershipCyclesAreRefused)
{
    TComponent top(nullptr);
    auto* middle = new TComponent(&top);
    auto* bottom = new TComponent(middle);
    expectComponentError([&] { bottom->InsertComponent(&top); }, "A component cannot own itself or its owner");
    expectComponentError([&] { middle->InsertComponent(middle); }, "A component cannot own itself or its owner");
    EXPECT_EQ(middle->Owner(), &top);
    EXPECT_EQ(top.Owner(), nullptr);
}

TEST(Components, StateFlagsReachOwnedComponents)
{
    TComponent owner(nullptr);
    auto* child = new TComponent(&owner);
    owner.SetDesigning(true);
    EXPECT_TRUE(child->ComponentState().contains(csDesigning));
    auto* later = new TComponent(&owner);
    EXPECT_TRUE(later->ComponentState().contains(csDesigning));
    owner.SetAncestor(true);
    EXPECT_TRUE(child->ComponentState().contains(csAncestor));
    owner.IncludeState({csLoading, csReading});
    EXPECT_TRUE(owner.ComponentState().contains(csReading));
    owner.ExcludeState({csReading});
    owner.Loaded();
    EXPECT_FALSE(owner.ComponentState().contains(csLoading));
    EXPECT_FALSE(owner.ComponentState().contains(csReading));
}

TEST(Components, ComponentIndexMovesWithinTheOwner)
{
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    auto* c = new TComponent(&owner);
    c->SetComponentIndex(0);
    EXPECT_EQ(owner.components(), (std::vector<TComponent*>{c, a, b}));
    a->SetComponentIndex(99);
    EXPECT_EQ(owner.components(), (std::vector<TComponent*>{c, b, a}));
}

TEST(Persistent, AssignWithoutCommonGroundRaisesConvertError)
{
    TTestSub sub;
    TTestSub other;
    other.SetSize(33);
    sub.Assign(&other);
    EXPECT_EQ(sub.Size(), 33);
    TComponent component(nullptr);
    try {
        sub.Assign(&component);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), "Cannot assign a TComponent to a TTestSub");
    }
    try {
        sub.Assign(nullptr);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), "Cannot assign a nil to a TTestSub");
    }
}
