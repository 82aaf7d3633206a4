// Object and class handles inside Variants.

#include "Exceptions.h"
#include "Handles.h"
#include "ObjectsFixture.h"

#include <gtest/gtest.h>

using namespace plat;
using namespace fixture;

namespace {
void expectInvalidReference(const std::function<void()>& f)
{
    try {
        f();
        ADD_FAILURE() << "no exception";
    } catch (const EAccessViolation& e) {
        EXPECT_EQ(e.message(), "Invalid object reference");
    }
}
} // namespace

TEST(Handles, AnObjectKeepsItsHandle)
{
    TTestObject o(nullptr);
    const quint32 h = ObjectToHandle(&o);
    EXPECT_GE(h, 0x10000u);
    EXPECT_EQ(ObjectToHandle(&o), h);
    EXPECT_EQ(HandleToObject(h), &o);
    EXPECT_EQ(HandleToObjectAs<TTestObject>(h), &o);
    EXPECT_EQ(ObjectToHandle(nullptr), 0u);
    EXPECT_EQ(HandleToObject(0), nullptr);
}

TEST(Handles, AFreedObjectsHandleIsDeadAndNeverReused)
{
    auto* o = new TTestObject(nullptr);
    const quint32 h = ObjectToHandle(o);
    const Variant v = ObjectToVariant(o);
    delete o;
    EXPECT_FALSE(IsLiveObjectHandle(h));
    expectInvalidReference([&] { HandleToObject(h); });
    expectInvalidReference([&] { VariantToObject(v); });
    // New objects (possibly at the same address) get new handles.
    for (int i = 0; i < 100; ++i) {
        TTestObject fresh(nullptr);
        EXPECT_NE(ObjectToHandle(&fresh), h);
    }
}

TEST(Handles, NumbersThatWereNeverHandlesRaise)
{
    for (quint32 n : {1u, 2u, 65535u, 0x7FFFFFF0u, 0xFFFFFFFFu})
        expectInvalidReference([&] { HandleToObject(n); });
    expectInvalidReference([] { VariantToObject(Variant(123456789)); });
    expectInvalidReference([] { VariantToObject(Variant(5000000000LL)); });
    EXPECT_EQ(VariantToObject(Variant()), nullptr);
    EXPECT_EQ(VariantToObject(Variant::null()), nullptr);
    EXPECT_EQ(VariantToObject(Variant(0)), nullptr);
}

TEST(Handles, ClassesTravelTheSameWay)
{
    const quint32 h = ClassToHandle(TTestObject::StaticClass());
    EXPECT_EQ(ClassToHandle(TTestObject::StaticClass()), h);
    EXPECT_EQ(HandleToClass(h), TTestObject::StaticClass());
    EXPECT_TRUE(IsClassHandle(h));
    EXPECT_EQ(VariantToClass(ClassToVariant(TCollection::StaticClass())), TCollection::StaticClass());
    // A class handle is no object handle and the other way round.
    expectInvalidReference([&] { HandleToObject(h); });
    TTestObject o(nullptr);
    expectInvalidReference([&] { HandleToClass(ObjectToHandle(&o)); });
}

TEST(Handles, TypedLookupRefusesAnotherClass)
{
    TTestSub sub;
    const quint32 h = ObjectToHandle(&sub);
    try {
        HandleToObjectAs<TComponent>(h);
        ADD_FAILURE();
    } catch (const EInvalidCast& e) {
        EXPECT_EQ(e.message(), "Invalid class typecast");
    }
}
