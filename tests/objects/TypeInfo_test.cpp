// Published properties: typed and Variant access by name, order, defaults,
// stored rules, type identity, enumeration and set names, events, registry.

#include "Exceptions.h"
#include "Handles.h"
#include "ObjectsFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace plat;
using namespace fixture;

namespace {

QStringList names(const std::vector<const TPropInfo*>& props)
{
    QStringList out;
    for (const TPropInfo* p : props)
        out << p->Name();
    return out;
}

template <class E>
void expectRaises(const std::function<void()>& f, const char* className, const QString& message)
{
    try {
        f();
        ADD_FAILURE() << "no exception, expected " << className;
    } catch (const Exception& e) {
        EXPECT_STREQ(e.className(), className);
        EXPECT_EQ(e.message(), message);
    }
}

} // namespace

TEST(TypeInfo, DeclarationOrderPutsAncestorsFirst)
{
    const QStringList expected = {"Name",     "Tag",         "IntValue",      "ByteValue", "BigValue",  "CharValue",
                                  "WideCharValue", "Flag",   "Kind",          "Options",   "Color",     "When",
                                  "Ratio",    "SingleValue", "ExtValue",      "Money",     "Text",      "Wide",
                                  "Caption",  "Value",       "Sub",           "Link",      "EdgeLeft",  "EdgeTop",
                                  "ReadOnlyValue", "Items",  "OnChange"};
    EXPECT_EQ(names(GetPropList(TTestObject::StaticClass())), expected);
}

TEST(TypeInfo, SortedOrderIsCaseInsensitiveByName)
{
    const QStringList sorted = names(GetPropList(TTestObject::StaticClass(), tkAny, true));
    QStringList expected = names(GetPropList(TTestObject::StaticClass()));
    std::sort(expected.begin(), expected.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(sorted, expected);
    EXPECT_EQ(sorted.first(), "BigValue");
}

TEST(TypeInfo, FilterByKindsLeavesOutMethods)
{
    const QStringList props = names(GetPropList(TTestObject::StaticClass(), tkProperties));
    EXPECT_FALSE(props.contains("OnChange"));
    EXPECT_EQ(names(GetPropList(TTestObject::StaticClass(), tkMethods)), QStringList{"OnChange"});
}

TEST(TypeInfo, RedeclaredPropertyKeepsItsPlaceWithNewDefault)
{
    const auto props = GetPropList(TTestDerived::StaticClass());
    const QStringList list = names(props);
    EXPECT_EQ(list.indexOf("Flag"), names(GetPropList(TTestObject::StaticClass())).indexOf("Flag"));
    EXPECT_EQ(list.count("Flag"), 1);
    EXPECT_EQ(list.last(), "Extra");
    EXPECT_TRUE(GetPropInfo(TTestObject::StaticClass(), u"Flag")->HasDefault());
    EXPECT_EQ(GetPropInfo(TTestObject::StaticClass(), u"Flag")->Default(), 1);
    EXPECT_EQ(GetPropInfo(TTestDerived::StaticClass(), u"Flag")->Default(), 0);
}

TEST(TypeInfo, LookupIgnoresLetterCase)
{
    TTestObject o(nullptr);
    const TPropInfo* p = GetPropInfo(&o, u"intvalue");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Name(), "IntValue");
    EXPECT_EQ(GetPropInfo(&o, u"INTVALUE"), p);
    EXPECT_EQ(GetPropInfo(&o, u"IntValu"), nullptr);
    EXPECT_EQ(GetPropInfo(&o, u""), nullptr);
    for (const TPropInfo* each : TTestObject::StaticClass()->Properties())
        EXPECT_EQ(GetPropInfo(&o, each->Name().toUpper()), each) << each->Name().toStdString();
}

TEST(TypeInfo, TypedAccessRoundTripsEveryKindByName)
{
    TTestObject o(nullptr);
    SetOrdProp(&o, u"IntValue", -123456);
    EXPECT_EQ(GetOrdProp(&o, u"IntValue"), -123456);
    EXPECT_EQ(o.IntValue(), -123456);
    SetOrdProp(&o, u"ByteValue", 255);
    EXPECT_EQ(o.ByteValue(), 255);
    SetOrdProp(&o, u"BigValue", 1LL << 40);
    EXPECT_EQ(GetInt64Prop(&o, GetPropInfo(&o, u"BigValue")), 1LL << 40);
    SetOrdProp(&o, u"CharValue", 'z');
    EXPECT_EQ(o.CharValue(), 'z');
    SetOrdProp(&o, u"WideCharValue", 0x0158);
    EXPECT_EQ(o.WideCharValue(), QChar(0x0158));
    SetOrdProp(&o, u"Flag", 0);
    EXPECT_FALSE(o.Flag());
    SetEnumProp(&o, u"Kind", u"TKDFANCY");
    EXPECT_EQ(o.Kind(), tkdFancy);
    EXPECT_EQ(GetEnumProp(&o, u"Kind"), "tkdFancy");
    SetSetProp(&o, u"Options", u"[toBold, toUnder]");
    EXPECT_EQ(o.Options(), (TTestOptions{toBold, toUnder}));
    EXPECT_EQ(GetSetProp(&o, u"Options"), "toBold,toUnder");
    EXPECT_EQ(GetSetProp(&o, u"Options", true), "[toBold,toUnder]");
    SetOrdProp(&o, u"Color", 0xFF00000F); // a system colour given unsigned
    EXPECT_EQ(o.Color(), qint32(0xFF00000F));
    SetFloatProp(&o, u"Ratio", 0.1L);
    EXPECT_DOUBLE_EQ(o.Ratio(), 0.1);
    SetFloatProp(&o, u"ExtValue", 1.0L / 3.0L);
    EXPECT_EQ(GetFloatProp(&o, u"ExtValue"), 1.0L / 3.0L);
    SetFloatProp(&o, u"SingleValue", 1.5L);
    EXPECT_EQ(o.SingleValue(), 1.5f);
    SetStrProp(&o, u"Text", QStringLiteral("Žluťoučký"));
    EXPECT_EQ(GetStrProp(&o, u"Text"), QStringLiteral("Žluťoučký"));
    SetStrProp(&o, u"Wide", QStringLiteral("Ωμέγα"));
    EXPECT_EQ(o.Wide(), QStringLiteral("Ωμέγα"));
    SetVariantProp(&o, GetPropInfo(&o, u"Value"), Variant(7.25));
    EXPECT_EQ(GetVariantProp(&o, GetPropInfo(&o, u"Value")).toDouble(), 7.25);
    TTestObject other(nullptr);
    SetObjectProp(&o, u"Link", &other);
    EXPECT_EQ(GetObjectProp(&o, u"Link"), &other);
    SetObjectProp(&o, u"Link", nullptr);
    EXPECT_EQ(o.Link(), nullptr);
    EXPECT_EQ(GetObjectProp(&o, u"Sub"), o.Sub());
}

TEST(TypeInfo, IndexedPropertiesPassTheirIndex)
{
    TTestObject o(nullptr);
    SetFloatProp(&o, u"EdgeLeft", 3);
    SetFloatProp(&o, u"EdgeTop", 4);
    EXPECT_EQ(o.Edge(0), 3);
    EXPECT_EQ(o.Edge(1), 4);
    EXPECT_EQ(GetPropInfo(&o, u"EdgeTop")->Index(), 1);
    EXPECT_EQ(GetPropInfo(&o, u"Ratio")->Index(), kNoIndex);
}

TEST(TypeInfo, VariantAccessRoundTripsEveryKind)
{
    TTestObject o(nullptr);
    TTestObject other(nullptr);
    struct Case {
        const char16_t* name;
        Variant in;
        TVarType outType;
        QString outText;
    };
    const Case cases[] = {
        {u"IntValue", Variant(-7), varInteger, "-7"},
        {u"ByteValue", Variant(200), varInteger, "200"},
        {u"BigValue", Variant(5000000000LL), varInt64, "5000000000"},
        {u"CharValue", Variant(QStringLiteral("q")), varInteger, QString::number(int('q'))},
        {u"WideCharValue", Variant(QStringLiteral("Ř")), varInteger, QString::number(0x0158)},
        {u"Flag", Variant(false), varBoolean, "False"},
        {u"Kind", Variant(QStringLiteral("tkdOdd")), varString, "tkdOdd"},
        {u"Kind", Variant(1), varString, "tkdFancy"},
        {u"Options", Variant(QStringLiteral("toItalic")), varString, "toItalic"},
        {u"Options", Variant(5), varString, "toBold,toUnder"},
        {u"Color", Variant(255), varInteger, "255"},
        {u"Ratio", Variant(2.5), varDouble, "2.5"},
        {u"Text", Variant(QStringLiteral("abc")), varString, "abc"},
        {u"Wide", Variant(QStringLiteral("wide")), varOleStr, "wide"},
        {u"Value", Variant(QStringLiteral("any")), varString, "any"},
    };
    for (const Case& c : cases) {
        SetPropValue(&o, c.name, c.in);
        const Variant out = GetPropValue(&o, c.name);
        EXPECT_EQ(out.type(), c.outType) << QString::fromUtf16(c.name).toStdString();
        EXPECT_EQ(VarToStr(out), c.outText) << QString::fromUtf16(c.name).toStdString();
    }
    EXPECT_EQ(GetPropValue(&o, u"Options", false).toInteger(), 5);
    EXPECT_EQ(GetPropValue(&o, u"Kind", false).toInteger(), 1);
    SetPropValue(&o, u"When", Variant::fromDate(45000.5));
    EXPECT_EQ(GetPropValue(&o, u"When").type(), varDate);
    SetPropValue(&o, u"Money", Variant(12.3456));
    EXPECT_EQ(GetPropValue(&o, u"Money").type(), varCurrency);
    SetPropValue(&o, u"Flag", Variant(-1)); // a script's True
    EXPECT_TRUE(o.Flag());
    SetPropValue(&o, u"Link", ObjectToVariant(&other));
    EXPECT_EQ(o.Link(), &other);
    EXPECT_EQ(VariantToObject(GetPropValue(&o, u"Link")), &other);
    SetPropValue(&o, u"Link", Variant(0));
    EXPECT_EQ(o.Link(), nullptr);
    EXPECT_TRUE(GetPropValue(&o, u"OnChange").isNull());
}

TEST(TypeInfo, DefaultsAndStoredRulesAnswerAsDeclared)
{
    TTestObject o(nullptr);
    const TClass* cls = TTestObject::StaticClass();
    EXPECT_FALSE(cls->FindProperty(u"IntValue")->HasDefault());
    EXPECT_TRUE(cls->FindProperty(u"Kind")->HasDefault());
    EXPECT_EQ(cls->FindProperty(u"Kind")->Default(), tkdPlain);
    EXPECT_EQ(cls->FindProperty(u"CharValue")->Default(), 'A');
    EXPECT_TRUE(cls->FindProperty(u"Tag")->HasDefault());
    EXPECT_FALSE(IsStoredProp(&o, cls->FindProperty(u"Name")));
    EXPECT_TRUE(IsStoredProp(&o, cls->FindProperty(u"Text")));
    o.SetCaption("plain");
    EXPECT_TRUE(IsStoredProp(&o, cls->FindProperty(u"Caption")));
    o.SetCaption("#hidden");
    EXPECT_FALSE(IsStoredProp(&o, cls->FindProperty(u"Caption")));
}

TEST(TypeInfo, AliasTypesHaveTheirOwnDescriptors)
{
    const TPropInfo* color = GetPropInfo(TTestObject::StaticClass(), u"Color");
    const TPropInfo* integer = GetPropInfo(TTestObject::StaticClass(), u"IntValue");
    EXPECT_NE(color->PropType(), integer->PropType());
    EXPECT_EQ(color->PropType(), ti::TColor::typeInfo());
    EXPECT_EQ(color->PropType()->Name(), "TColor");
    EXPECT_EQ(color->Kind(), tkInteger);
    EXPECT_EQ(color->PropType()->AliasOf(), integer->PropType());
    EXPECT_EQ(integer->PropType()->Name(), "Integer");
    EXPECT_EQ(GetPropInfo(TTestObject::StaticClass(), u"When")->PropType()->Name(), "TDateTime");
    EXPECT_NE(ti::TDateTime::typeInfo(), typeInfoOf<double>());
    EXPECT_EQ(GetPropInfo(TTestObject::StaticClass(), u"Name")->PropType(), ti::TComponentName::typeInfo());
    EXPECT_EQ(GetPropInfo(TTestObject::StaticClass(), u"Caption")->PropType()->Name(), "TTestCaption");
    EXPECT_EQ(GetPropInfo(TTestObject::StaticClass(), u"Wide")->Kind(), tkWString);
    EXPECT_EQ(GetPropInfo(TTestObject::StaticClass(), u"Text")->Kind(), tkLString);
    EXPECT_EQ(GetPropInfo(TTestObject::StaticClass(), u"Money")->PropType()->FloatType(), ftCurr);
    EXPECT_EQ(ti::TFontCharset::typeInfo()->MaxValue(), 255);
    EXPECT_EQ(ti::TCursor::typeInfo()->MinValue(), -32768);
}

TEST(TypeInfo, DescriptorsTellKindRangeAndDeclaredClass)
{
    const TClass* cls = TTestObject::StaticClass();
    EXPECT_EQ(cls->FindProperty(u"ByteValue")->PropType()->OrdType(), otUByte);
    EXPECT_EQ(cls->FindProperty(u"CharValue")->Kind(), tkChar);
    EXPECT_EQ(cls->FindProperty(u"WideCharValue")->Kind(), tkWChar);
    EXPECT_EQ(cls->FindProperty(u"BigValue")->Kind(), tkInt64);
    EXPECT_EQ(cls->FindProperty(u"Flag")->Kind(), tkEnumeration);
    EXPECT_TRUE(cls->FindProperty(u"Flag")->PropType()->IsBoolean());
    EXPECT_EQ(cls->FindProperty(u"Flag")->PropType()->Name(), "Boolean");
    EXPECT_EQ(cls->FindProperty(u"Sub")->PropType()->ClassType(), TTestSub::StaticClass());
    EXPECT_EQ(cls->FindProperty(u"Sub")->PropType()->Name(), "TTestSub");
    EXPECT_EQ(cls->FindProperty(u"Link")->PropType()->ClassType(), TTestObject::StaticClass());
    EXPECT_EQ(cls->FindProperty(u"Items")->PropType()->ClassType(), TCollection::StaticClass());
    const TTypeInfo* event = cls->FindProperty(u"OnChange")->PropType();
    EXPECT_EQ(event->Kind(), tkMethod);
    EXPECT_EQ(event->Name(), "TNotifyEvent");
    EXPECT_EQ(event->MethodSignature(), "void(TObject* Sender)");
    EXPECT_EQ(cls->FindProperty(u"Value")->Kind(), tkVariant);
    EXPECT_EQ(cls->FindProperty(u"ExtValue")->PropType()->FloatType(), ftExtended);
}

TEST(TypeInfo, EnumerationAndSetNamesConvertBothWays)
{
    const TTypeInfo* kind = typeInfoOf<TTestKind>();
    EXPECT_EQ(kind->Name(), "TTestKind");
    EXPECT_EQ(kind->EnumCount(), 3);
    EXPECT_EQ(kind->MinValue(), 0);
    EXPECT_EQ(kind->MaxValue(), 2);
    EXPECT_EQ(kind->EnumName(2), "tkdOdd");
    EXPECT_EQ(kind->EnumName(3), "");
    EXPECT_EQ(kind->EnumName(-1), "");
    EXPECT_EQ(kind->EnumValue(u"TKDodd"), 2);
    EXPECT_EQ(kind->EnumValue(u"nothing"), -1);

    const TTypeInfo* options = typeInfoOf<TTestOptions>();
    EXPECT_EQ(options->Kind(), tkSet);
    EXPECT_EQ(options->CompType(), typeInfoOf<TTestOption>());
    EXPECT_EQ(options->SetMask(), 7u);
    EXPECT_EQ(options->SetToString(0b101), "toBold,toUnder");
    EXPECT_EQ(options->SetToString(0, true), "[]");
    EXPECT_EQ(options->StringToSet(u" [ toUnder , toBold ] "), 0b101u);
    EXPECT_EQ(options->StringToSet(u"[]"), 0u);
    expectRaises<EPropertyConvertError>([&] { options->StringToSet(u"[toBold,toFat]"); }, "EPropertyConvertError",
                                        "Invalid property element: toFat");
}

TEST(TypeInfo, ErrorsCarryThePlatformClassAndText)
{
    TTestObject o(nullptr);
    expectRaises<EPropertyError>([&] { GetOrdProp(&o, u"Missing"); }, "EPropertyError",
                                 "Property Missing does not exist");
    expectRaises<EPropertyConvertError>([&] { GetOrdProp(&o, u"Text"); }, "EPropertyConvertError",
                                        "Invalid property type: String");
    expectRaises<EPropertyConvertError>([&] { SetStrProp(&o, u"Ratio", "x"); }, "EPropertyConvertError",
                                        "Invalid property type: Double");
    expectRaises<EPropertyError>([&] { SetOrdProp(&o, u"ReadOnlyValue", 1); }, "EPropertyError",
                                 "Property ReadOnlyValue is read-only");
    EXPECT_EQ(GetOrdProp(&o, u"ReadOnlyValue"), 42);
    expectRaises<ERangeError>([&] { SetOrdProp(&o, u"Kind", 3); }, "ERangeError", "Value must be between 0 and 2");
    expectRaises<ERangeError>([&] { SetOrdProp(&o, u"ByteValue", 256); }, "ERangeError",
                              "Value must be between 0 and 255");
    expectRaises<ERangeError>([&] { SetOrdProp(&o, u"Options", 8); }, "ERangeError", "Value must be between 0 and 7");
    expectRaises<EPropertyConvertError>([&] { SetEnumProp(&o, u"Kind", u"tkdNone"); }, "EPropertyConvertError",
                                        "Invalid property element: tkdNone");
    expectRaises<EAccessViolation>([&] { GetOrdProp(nullptr, u"IntValue"); }, "EAccessViolation",
                                   "Invalid object reference");
    TTestSub sub;
    expectRaises<EPropertyError>([&] { SetOrdProp(&sub, GetPropInfo(&o, u"IntValue"), 1); }, "EPropertyError",
                                 "Invalid property");
    // A component of another class is refused by a class property.
    TComponent plain(nullptr);
    expectRaises<EPropertyConvertError>([&] { SetObjectProp(&o, u"Link", &plain); }, "EPropertyConvertError",
                                        "Invalid property value");
    expectRaises<EOverflow>([&] { SetFloatProp(&o, u"SingleValue", 1e300L); }, "EOverflow",
                            "Floating point overflow");
    expectRaises<EOverflow>([&] { SetFloatProp(&o, u"Ratio", 1e4000L); }, "EOverflow", "Floating point overflow");
    SetFloatProp(&o, u"SingleValue", std::numeric_limits<long double>::infinity());
    EXPECT_TRUE(std::isinf(o.SingleValue()));
    EXPECT_EQ(o.IntValue(), 0);
    EXPECT_EQ(o.Kind(), tkdPlain);
}

// ---------------------------------------------------------------------------
// Events

namespace {
struct Receiver : TObject {
    int calls = 0;
    TObject* lastSender = nullptr;
    void Handle(TObject* sender)
    {
        ++calls;
        lastSender = sender;
    }
    void Other(TObject*) { calls += 100; }
};
PLAT_EVENT_TYPE(TIntEvent, int(int Value))
} // namespace

TEST(Events, BoundMethodsCallAndCompareByIdentity)
{
    Receiver r1, r2;
    TTestObject o(nullptr);
    EXPECT_FALSE(o.OnChange);
    o.OnChange(&o); // unassigned: nothing happens
    o.OnChange = TNotifyEvent::bind<&Receiver::Handle>(&r1);
    ASSERT_TRUE(o.OnChange);
    o.OnChange(&o);
    EXPECT_EQ(r1.calls, 1);
    EXPECT_EQ(r1.lastSender, &o);
    EXPECT_TRUE(o.OnChange == TNotifyEvent(TNotifyEvent::bind<&Receiver::Handle>(&r1)));
    EXPECT_FALSE(o.OnChange == TNotifyEvent(TNotifyEvent::bind<&Receiver::Handle>(&r2)));
    EXPECT_FALSE(o.OnChange == TNotifyEvent(TNotifyEvent::bind<&Receiver::Other>(&r1)));
    EXPECT_EQ(o.OnChange.Data(), &r1);
    o.OnChange.Clear();
    EXPECT_FALSE(o.OnChange);
    EXPECT_TRUE(o.OnChange == TNotifyEvent());
}

TEST(Events, SetByPropertyNameAndCleared)
{
    Receiver r;
    TTestObject o(nullptr);
    SetMethodProp(&o, u"OnChange", TNotifyEvent::bind<&Receiver::Handle>(&r).toMethod());
    o.OnChange(&o);
    EXPECT_EQ(r.calls, 1);
    const TMethod m = GetMethodProp(&o, u"OnChange");
    EXPECT_TRUE(m.IsAssigned());
    EXPECT_EQ(m.Data(), &r);
    EXPECT_TRUE(m == TNotifyEvent::bind<&Receiver::Handle>(&r).toMethod());
    SetMethodProp(&o, u"OnChange", TMethod());
    EXPECT_FALSE(o.OnChange);
    EXPECT_FALSE(GetMethodProp(&o, u"OnChange").IsAssigned());
}

TEST(Events, MethodOfAnotherSignatureIsRefused)
{
    TTestObject o(nullptr);
    TIntEvent twice([](int v) { return 2 * v; }, nullptr, nullptr);
    EXPECT_EQ(twice(21), 42);
    expectRaises<EPropertyConvertError>([&] { SetMethodProp(&o, u"OnChange", twice.toMethod()); },
                                        "EPropertyConvertError", "Invalid property type: TNotifyEvent");
    EXPECT_FALSE(o.OnChange);
    EXPECT_EQ(TIntEvent()(5), 0);
}

// ---------------------------------------------------------------------------
// Classes and the registry

TEST(Classes, ClassIdentityAndInheritance)
{
    TTestDerived d(nullptr);
    EXPECT_EQ(d.ClassName(), "TTestDerived");
    EXPECT_EQ(d.ClassType()->ClassParent(), TTestObject::StaticClass());
    EXPECT_TRUE(d.InheritsFrom(TComponent::StaticClass()));
    EXPECT_TRUE(d.InheritsFrom(u"tpersistent"));
    EXPECT_FALSE(d.InheritsFrom(TCollection::StaticClass()));
    EXPECT_TRUE(TObject::StaticClass()->IsInstance(&d));
    EXPECT_EQ(TObject::StaticClass()->ClassParent(), nullptr);
    EXPECT_EQ(TPersistent::StaticClass()->PropCount(), 0);
    EXPECT_EQ(TComponent::StaticClass()->PropCount(), 2);
}

TEST(Classes, RegistryFindsAndCreatesByName)
{
    RegisterClasses({TTestObject::StaticClass(), TTestDerived::StaticClass()});
    RegisterClass(TTestObject::StaticClass()); // again: ignored
    EXPECT_EQ(GetClass(u"ttestderived"), TTestDerived::StaticClass());
    EXPECT_EQ(GetClass(u"TNoSuchClass"), nullptr);
    expectRaises<EClassNotFound>([] { FindClass(u"TNoSuchClass"); }, "EClassNotFound", "Class TNoSuchClass not found");

    TComponent owner(nullptr);
    TComponent* made = CreateComponentByName(u"TTestDerived", &owner);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->ClassName(), "TTestDerived");
    EXPECT_EQ(made->Owner(), &owner);
    EXPECT_EQ(owner.ComponentCount(), 1);
    // A plain persistent class is made without owner; a collection class not at all.
    TObject* sub = TTestSub::StaticClass()->CreateInstance();
    EXPECT_EQ(sub->ClassName(), "TTestSub");
    delete sub;
    expectRaises<EAbstractError>([] { TCollection::StaticClass()->CreateInstance(); }, "EAbstractError",
                                 "Cannot create an instance of TCollection");
    expectRaises<EAbstractError>([&] { TTestSub::StaticClass()->CreateComponent(&owner); }, "EAbstractError",
                                 "Cannot create an instance of TTestSub");
    UnRegisterClass(TTestDerived::StaticClass());
    EXPECT_EQ(GetClass(u"TTestDerived"), nullptr);
}

namespace other {
class TTestObject : public plat::TComponent {
    PLAT_CLASS(TTestObject, plat::TComponent)
public:
    explicit TTestObject(plat::TComponent* owner) : plat::TComponent(owner) {}
};
PLAT_DEFINE_CLASS(TTestObject, c) {}
} // namespace other

TEST(Classes, AnotherClassOfTheSameNameIsRefused)
{
    RegisterClass(fixture::TTestObject::StaticClass());
    EXPECT_EQ(other::TTestObject::StaticClass()->ClassName(), "TTestObject");
    expectRaises<EFilerError>([] { RegisterClass(other::TTestObject::StaticClass()); }, "EFilerError",
                              "A class named TTestObject already exists");
    EXPECT_EQ(GetClass(u"TTestObject"), fixture::TTestObject::StaticClass());
}
