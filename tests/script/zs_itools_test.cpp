// The item tree that the designer shows: groups, texts and order.

#include "zs_itools.h"
#include "zs_runfixture.h"
#include "zs_script.h"
#include "zs_sysfuncs.h"
#include "zs_xml.h"

#include <gtest/gtest.h>

using plat::Variant;

namespace {

class ItemTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        zsRegisterSysFunctions();
        script.AddRTTI();
        zstest::registerDemoClasses(script, &owner);
        script.AddVariable(QStringLiteral("Total"), QStringLiteral("Integer"), Variant(5));
        script.AddConst(QStringLiteral("Limit"), QStringLiteral("Integer"), Variant(10));
    }

    static QStringList texts(const TzsXMLItem* group)
    {
        QStringList result;
        for (int i = 0; i < group->Count(); ++i)
            result << group->Items(i)->Prop(QStringLiteral("text"));
        return result;
    }

    static const TzsXMLItem* child(const TzsXMLItem* parent, const QString& name)
    {
        const int i = parent->Find(name);
        return i < 0 ? nullptr : parent->Items(i);
    }

    plat::TComponent owner{nullptr};
    TzsScript script{nullptr};
    TzsXMLDocument doc;
};

TEST_F(ItemTree, GroupsEverythingTheScriptCanUse)
{
    TzsXMLItem* root = doc.Root();
    zsBuildScriptTreeXML(&script, root, false);
    ASSERT_EQ(root->Count(), 5);
    const QStringList groups{QStringLiteral("Functions"), QStringLiteral("Classes"), QStringLiteral("Types"),
                             QStringLiteral("Variables"), QStringLiteral("Constants")};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(root->Items(i)->Name, groups[i]);
        EXPECT_EQ(root->Items(i)->Prop(QStringLiteral("text")), groups[i]);
    }

    const TzsXMLItem* functions = root->Items(0);
    ASSERT_EQ(functions->Count(), 6);
    int total = 0;
    for (int i = 0; i < functions->Count(); ++i) {
        const TzsXMLItem* category = functions->Items(i);
        EXPECT_EQ(category->Prop(QStringLiteral("text")), category->Name);
        for (int j = 0; j < category->Count(); ++j)
            EXPECT_EQ(category->Items(j)->Name, QStringLiteral("item"));
        total += category->Count();
    }
    EXPECT_EQ(total, 68);
    const TzsXMLItem* math = child(functions, QStringLiteral("ctMath"));
    ASSERT_NE(math, nullptr);
    EXPECT_EQ(math->Count(), 13);
    // In the order of the item table, which is by name.
    EXPECT_EQ(math->Items(0)->Prop(QStringLiteral("text")), QStringLiteral("function Abs(e: Extended): Extended"));
    EXPECT_EQ(math->Items(0)->Prop(QStringLiteral("description")), QStringLiteral("Abs"));

    const QStringList classes = texts(root->Items(1));
    EXPECT_EQ(classes, (QStringList{QStringLiteral("TComponent = class(TPersistent)"),
                                    QStringLiteral("TDemoItem = class(TComponent)"),
                                    QStringLiteral("TObject = class()"),
                                    QStringLiteral("TPersistent = class(TObject)")}));
    const QStringList demo = texts(root->Items(1)->Items(1));
    for (const char* member : {"property Caption: String", "property Count: Integer", "property Kind: TDemoKind",
                               "property Style: TDemoStyles", "property Child: TDemoItem",
                               "function Create(AOwner: TComponent): Constructor",
                               "function Sum(a, b: Integer): Integer", "procedure Grow(var n: Integer)",
                               "index property Items(p0: Integer): String",
                               "index property Values(p0: String): Integer", "property Area: Integer",
                               "event OnChange"})
        EXPECT_TRUE(demo.contains(QString::fromLatin1(member))) << member;

    EXPECT_EQ(texts(root->Items(2)), (QStringList{QStringLiteral("TDemoKind: (dkLarge,dkSmall)"),
                                                  QStringLiteral("TDemoStyles: (dsBold,dsItalic)")}));
    for (int i = 0; i < root->Items(2)->Count(); ++i)
        EXPECT_EQ(root->Items(2)->Items(i)->Name, QStringLiteral("item"));

    EXPECT_EQ(texts(root->Items(3)), (QStringList{QStringLiteral("ExceptionClassName: String"),
                                                  QStringLiteral("ExceptionMessage: String"),
                                                  QStringLiteral("Total: Integer")}));
    const QStringList constants = texts(root->Items(4));
    for (const char* c : {"Limit: Integer = 10", "True: Boolean = True", "nil: Variant = 0", "Null: Variant = ",
                          "varInt64: Integer = 20", "varByRef: Integer = 16384"})
        EXPECT_TRUE(constants.contains(QString::fromLatin1(c))) << c;
    EXPECT_FALSE(constants.contains(QStringLiteral("dkSmall: TDemoKind = 0")));
}

TEST_F(ItemTree, FunctionsOnlyLeavesTheOtherGroupsEmpty)
{
    zsBuildScriptTreeXML(&script, doc.Root(), true);
    ASSERT_EQ(doc.Root()->Count(), 5);
    EXPECT_EQ(doc.Root()->Items(0)->Count(), 6);
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(doc.Root()->Items(i)->Count(), 0) << i;
}

TEST_F(ItemTree, TextsAreWrittenWithoutEscaping)
{
    script.AddMethod(QStringLiteral("procedure Say(s: String = 'a\"b')"),
                     [](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper*) { return Variant(); },
                     QStringLiteral("ctOther"));
    zsBuildScriptTreeXML(&script, doc.Root(), true);
    const TzsXMLItem* other = child(doc.Root()->Items(0), QStringLiteral("ctOther"));
    ASSERT_NE(other, nullptr);
    const QStringList list = texts(other);
    EXPECT_TRUE(list.contains(QStringLiteral("procedure Say(s: String = 'a"))) << list.join(u'|').toStdString();
}

TEST_F(ItemTree, FunctionsWithoutCategoryAreListedUnderOther)
{
    script.AddMethod(QStringLiteral("procedure Print(s: Variant)"),
                     [](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper*) { return Variant(); });
    zsBuildScriptTreeXML(&script, doc.Root(), true);
    EXPECT_EQ(doc.Root()->Items(0)->Count(), 6);
    EXPECT_TRUE(texts(child(doc.Root()->Items(0), QStringLiteral("ctOther")))
                    .contains(QStringLiteral("procedure Print(s: Variant)")));
}

TEST_F(ItemTree, ClassMembersOfTheWholeChainOncePerRegisteredClass)
{
    TzsXMLItem* element = doc.Root();
    zsBuildClassMembersXML(&script, zstest::TDemoItem::StaticClass(), element);
    const QStringList members = texts(element);
    int expected = 0;
    for (const char* name : {"TComponent", "TDemoItem", "TObject", "TPersistent"})
        expected += script.FindClass(QString::fromLatin1(name))->GetMembersCount();
    EXPECT_EQ(members.size(), expected);
    EXPECT_EQ(members.count(QStringLiteral("procedure Free")), 1);
    EXPECT_EQ(members.count(QStringLiteral("event OnChange")), 1);
    // TComponent's members come first (class order is by name).
    const TzsClassVariable* component = script.FindClass(QStringLiteral("TComponent"));
    ASSERT_GT(component->GetMembersCount(), 0);
    EXPECT_EQ(members.first(), QStringLiteral("property ") + component->GetMember(0)->Name + QStringLiteral(": ") +
                                   component->GetMember(0)->GetTypeText());

    TzsXMLDocument other;
    zsBuildClassMembersXML(&script, plat::TObject::StaticClass(), other.Root());
    EXPECT_EQ(texts(other.Root()),
              (QStringList{QStringLiteral("procedure Free"), QStringLiteral("function ClassName: String")}));
}

} // namespace
