// The registries of object classes, component and property editors, export
// filters and wizards.

#include "zdModelFixture.h"

#include "zdDsgnIntf.h"

#include <gtest/gtest.h>

using namespace zdtest;

namespace zdtest {

class TRegBase : public TzdComponent {
    PLAT_CLASS(TRegBase, TzdComponent)
public:
    explicit TRegBase(plat::TComponent* AOwner) : TzdComponent(AOwner) {}
    int Left = 0;
    QString Caption;
};
class TRegDerived : public TRegBase {
    PLAT_CLASS(TRegDerived, TRegBase)
public:
    explicit TRegDerived(plat::TComponent* AOwner) : TRegBase(AOwner) {}
};
class TRegFurther : public TRegDerived {
    PLAT_CLASS(TRegFurther, TRegDerived)
public:
    explicit TRegFurther(plat::TComponent* AOwner) : TRegDerived(AOwner) {}
};
class TRegOther : public TzdComponent {
    PLAT_CLASS(TRegOther, TzdComponent)
public:
    explicit TRegOther(plat::TComponent* AOwner) : TzdComponent(AOwner) {}
};

PLAT_ALIAS_TYPE(TzdNotifyEventProbe, QString)

} // namespace zdtest

PLAT_DEFINE_CLASS(zdtest::TRegBase, c)
{
    c.property("Left", &zdtest::TRegBase::Left);
    c.property("Caption", &zdtest::TRegBase::Caption);
}
PLAT_DEFINE_CLASS(zdtest::TRegDerived, c) {}
PLAT_DEFINE_CLASS(zdtest::TRegFurther, c) {}
PLAT_DEFINE_CLASS(zdtest::TRegOther, c) {}

namespace {

// Editor "classes" for the tests: distinct constructors that hand back a
// recognisable marker instead of a real editor.
int g_lastEditor = 0;
TzdComponentEditor* editorA(TzdComponent*, TzdCustomDesigner*, TzdMenu*)
{
    g_lastEditor = 1;
    return nullptr;
}
TzdComponentEditor* editorB(TzdComponent*, TzdCustomDesigner*, TzdMenu*)
{
    g_lastEditor = 2;
    return nullptr;
}
TzdPropertyEditor* propA(TzdCustomDesigner*) { return nullptr; }
TzdPropertyEditor* propB(TzdCustomDesigner*) { return nullptr; }
TzdPropertyEditor* propC(TzdCustomDesigner*) { return nullptr; }

PLAT_ALIAS_TYPE(TzdColorProbe, qint32)
PLAT_ALIAS_TYPE(TzdEventMiddleEvent, QString)
PLAT_ALIAS_TYPE(TzdMouseEvent2, QString)

} // namespace

TEST(ObjectRegistry, DuplicatesByClassAndFlags)
{
    TzdObjectCollection reg;
    reg.RegisterObject(TRegBase::StaticClass(), nullptr, QStringLiteral("h1"), QString(), 0, 5);
    reg.RegisterObject(TRegBase::StaticClass(), nullptr, QStringLiteral("h2"), QString(), 0, 6);
    reg.RegisterObject(TRegBase::StaticClass(), nullptr, QStringLiteral("h3"), QString(), 1, 7);
    reg.RegisterObject(TRegBase::StaticClass(), nullptr, QStringLiteral("h4"), QString(), 2, 8);
    ASSERT_EQ(reg.Count(), 3);
    EXPECT_EQ(reg[0].ButtonHint, QStringLiteral("h1"));
    EXPECT_EQ(reg[0].ImageIndex, 5);
    EXPECT_EQ(plat::GetClass(u"TRegBase"), TRegBase::StaticClass());
    reg.AddCategory(QStringLiteral("Cat"), nullptr, QString());
    reg.AddCategory(QStringLiteral("Cat"), nullptr, QString());
    EXPECT_EQ(reg.Count(), 5);
    EXPECT_EQ(reg[4].ClassRef, nullptr);
    EXPECT_TRUE(reg[4].Pages.empty());
    reg.Unregister(TRegBase::StaticClass());
    EXPECT_EQ(reg.Count(), 2);
    reg.Unregister(TRegOther::StaticClass());
    EXPECT_EQ(reg.Count(), 2);
}

TEST(ObjectRegistry, DefaultPageKinds)
{
    struct Case {
        const plat::TClass* cls;
        TzdPageKinds pages;
        TzdPageKinds expected;
    };
    const Case cases[] = {
        {TzdUserDataSet::StaticClass(), {}, {fpkDataPage}},
        {TzdCustomDatabase::StaticClass(), {}, {fpkDataPage}},
        {TzdDialogComponent::StaticClass(), {}, {fpkDialogPage}},
        {TzdTestMemo::StaticClass(), {}, {fpkReportPage}},
        {TRegOther::StaticClass(), {fpkDotMatrixPage, fpkReportPage}, {fpkDotMatrixPage, fpkReportPage}},
    };
    for (const Case& c : cases) {
        TzdObjectCollection reg;
        reg.RegisterObject(c.cls, nullptr, QString(), QString(), 0, -1, c.pages);
        EXPECT_EQ(reg[0].Pages.mask(), c.expected.mask()) << c.cls->ClassName().toStdString();
    }
}

TEST(ComponentEditorRegistry, ExactClassFirstElseTheLaterAncestor)
{
    TzdComponentEditorCollection reg;
    reg.Register(TRegBase::StaticClass(), editorA);
    reg.Register(TRegDerived::StaticClass(), editorB);
    TRegFurther further(nullptr);
    reg.GetComponentEditor(&further, nullptr, nullptr);
    EXPECT_EQ(g_lastEditor, 2);

    TzdComponentEditorCollection reversed;
    reversed.Register(TRegDerived::StaticClass(), editorB);
    reversed.Register(TRegBase::StaticClass(), editorA);
    reversed.GetComponentEditor(&further, nullptr, nullptr);
    EXPECT_EQ(g_lastEditor, 1);

    reversed.Register(TRegFurther::StaticClass(), editorB);
    reversed.Register(TRegFurther::StaticClass(), editorA);
    EXPECT_EQ(reversed.FindEditorIndex(TRegFurther::StaticClass()), 2);
    TRegOther other(nullptr);
    g_lastEditor = 0;
    EXPECT_EQ(reversed.GetComponentEditor(&other, nullptr, nullptr), nullptr);
    EXPECT_EQ(g_lastEditor, 0);
}

TEST(PropertyEditorRegistry, EventTypes)
{
    TzdPropertyEditorCollection reg;
    TRegBase obj(nullptr);
    EXPECT_EQ(reg.GetEditorIndex(::TzdNotifyEvent::typeInfo(), &obj, QStringLiteral("OnClick")), -1);
    reg.Register(nullptr, nullptr, QString(), propA);
    reg.RegisterEventEditor(propB);
    EXPECT_EQ(reg.EventEditorIndex(), 1);
    EXPECT_EQ(reg.GetEditorIndex(::TzdNotifyEvent::typeInfo(), &obj, QStringLiteral("OnClick")), 1);
    EXPECT_EQ(reg.GetEditorIndex(::TzdPreviewClickEvent::typeInfo(), &obj, QStringLiteral("X")), 1);
    // TzdNotifyEventProbe: the first "event" does not end the name.
    EXPECT_EQ(reg.GetEditorIndex(TzdNotifyEventProbe::typeInfo(), &obj, QStringLiteral("OnClick")), -1);
    EXPECT_EQ(reg.GetEditorIndex(TzdMouseEvent2::typeInfo(), &obj, QStringLiteral("OnClick")), -1);
    EXPECT_EQ(reg.GetEditorIndex(TzdEventMiddleEvent::typeInfo(), &obj, QStringLiteral("OnX")), -1);
    EXPECT_EQ(reg.GetEditorIndex(plat::TNotifyEvent::typeInfo(), &obj, QStringLiteral("OnClick")), -1);
}

TEST(PropertyEditorRegistry, NameMatchesBeatTypeMatches)
{
    const plat::TTypeInfo* color = TzdColorProbe::typeInfo();
    const plat::TTypeInfo* integer = plat::typeInfoOf<int>();
    TRegFurther obj(nullptr);
    TzdPropertyEditorCollection reg;
    reg.Register(color, nullptr, QString(), propA);             // 0 type only
    reg.Register(color, nullptr, QString(), propB);             // 1 type only, later
    reg.Register(color, nullptr, QStringLiteral("Fill"), propC); // 2 type and name
    reg.Register(nullptr, TRegBase::StaticClass(), QStringLiteral("left"), propB); // 3 class and name
    EXPECT_EQ(reg.GetEditorIndex(color, &obj, QStringLiteral("Border")), 0); // the earliest type-only
    EXPECT_EQ(reg.GetEditorIndex(color, &obj, QStringLiteral("FILL")), 2);
    EXPECT_EQ(reg.GetEditorIndex(integer, &obj, QStringLiteral("Left")), 3); // any type
    EXPECT_EQ(reg.GetEditorIndex(integer, &obj, QStringLiteral("Top")), -1);
    TRegOther other(nullptr);
    EXPECT_EQ(reg.GetEditorIndex(integer, &other, QStringLiteral("Left")), -1);
    EXPECT_EQ(reg.GetEditorIndex(color, &obj, QString()), 0); // empty names never match a class
}

TEST(PropertyEditorRegistry, HidePropertiesOnAClassAndItsDescendants)
{
    const int before = zdGetPropertyEditorRegistry()->Count();
    zdHideProperties(TRegDerived::StaticClass(), QStringLiteral("Left;Caption"));
    TzdPropertyEditorCollection* reg = zdGetPropertyEditorRegistry();
    ASSERT_EQ(reg->Count(), before + 2);
    TRegFurther further(nullptr);
    TRegBase base(nullptr);
    for (const char* name : {"Left", "Caption"}) {
        const int index = reg->GetEditorIndex(plat::typeInfoOf<int>(), &further, QString::fromLatin1(name));
        ASSERT_GE(index, 0) << name;
        EXPECT_EQ(reg->GetItem(index).EditorClass, nullptr);
        EXPECT_LT(reg->GetEditorIndex(plat::typeInfoOf<int>(), &base, QString::fromLatin1(name)), before) << name;
    }
}

TEST(ExportFilterRegistry, IgnoresNilAndDuplicates)
{
    TzdExportFilterCollection reg;
    int a = 0, b = 0;
    auto* fa = reinterpret_cast<TzdCustomExportFilter*>(&a);
    auto* fb = reinterpret_cast<TzdCustomExportFilter*>(&b);
    reg.Register(nullptr);
    reg.Register(fa);
    reg.Register(fb);
    reg.Register(fa);
    ASSERT_EQ(reg.Count(), 2);
    EXPECT_EQ(reg.GetItem(1).Filter, fb);
    reg.Unregister(fa);
    ASSERT_EQ(reg.Count(), 1);
    EXPECT_EQ(reg.GetItem(0).Filter, fb);
}

TEST(WizardRegistry, KeepsTheFirstImageIndex)
{
    TzdWizardCollection reg;
    reg.Register(TRegBase::StaticClass(), 3);
    reg.Register(TRegBase::StaticClass(), 9);
    reg.Register(TRegOther::StaticClass(), -1);
    ASSERT_EQ(reg.Count(), 2);
    EXPECT_EQ(reg.GetItem(0).ImageIndex, 3);
    EXPECT_FALSE(reg.GetItem(0).IsToolbarWizard);
    EXPECT_EQ(reg.GetItem(0).ButtonImageIndex, 0);
    reg.Unregister(TRegBase::StaticClass());
    EXPECT_EQ(reg.Count(), 1);
}

TEST(Registries, AccessorsReturnOneInstance)
{
    EXPECT_EQ(zdGetObjectRegistry(), zdGetObjectRegistry());
    EXPECT_EQ(zdGetWizardRegistry(), zdGetWizardRegistry());
    EXPECT_EQ(zdGetExportFilterRegistry(), zdGetExportFilterRegistry());
    EXPECT_EQ(zdGetComponentEditorRegistry(), zdGetComponentEditorRegistry());
}
