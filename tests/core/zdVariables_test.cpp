// Collections with inherited names, their XML form, and report variables
// with categories and their file.

#include "zdModelFixture.h"
#include "zdToolRunner.h"

#include "Exceptions.h"
#include "StringList.h"
#include "Streams.h"
#include "zdXMLSerializer.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zdtest;

namespace {

QStringList names(const plat::TStrings& list)
{
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out += list.Strings(i);
    return out;
}

QStringList entryNames(const TzdVariables& vars)
{
    QStringList out;
    for (int i = 0; i < vars.Count(); ++i)
        out += vars.GetItem(i)->Name();
    return out;
}

// heading A, x, heading B, y
void fillAB(TzdVariables& vars)
{
    for (const char* name : {" A", "x", " B", "y"})
        vars.SetVariables(QString::fromLatin1(name), plat::Variant(QStringLiteral("v")));
}

} // namespace

// --- collections ---------------------------------------------------------------

TEST(Collection, ItemsGetTheFirstFreeInheritedName)
{
    TzdCollection c(TzdCollectionItem::StaticClass());
    for (int i = 0; i < 3; ++i)
        c.Add();
    auto name = [&c](int i) { return static_cast<TzdCollectionItem*>(c.Items(i))->GetInheritedName(); };
    EXPECT_EQ(name(0), QStringLiteral("TzdCollectionItem1"));
    EXPECT_EQ(name(2), QStringLiteral("TzdCollectionItem3"));
    c.Delete(1);
    c.Add();
    EXPECT_EQ(name(2), QStringLiteral("TzdCollectionItem2"));
    EXPECT_EQ(c.FindByName(QStringLiteral("TzdCollectionItem3")), c.Items(1));
    EXPECT_EQ(c.FindByName(QStringLiteral("tzdcollectionitem3")), nullptr); // case-sensitive
}

TEST(Collection, XmlWithoutAncestorHasNoInheritedNames)
{
    TzdVariables vars;
    vars.SetVariables(QStringLiteral("a"), plat::Variant(1));
    TzdXMLItem root;
    zdWriteCollectionXML(&vars, QByteArrayLiteral("Variables"), &root, nullptr, nullptr);
    ASSERT_EQ(root.Count(), 1);
    EXPECT_EQ(root.GetItem(0)->Name, QByteArrayLiteral("Variables"));
    EXPECT_EQ(root.GetItem(0)->GetItem(0)->Text, QByteArrayLiteral(" Name=\"a\" Value=\"1\""));
}

TEST(Collection, InheritedItemsCarryOnlyTheirDifferencesAndUpdateOnRead)
{
    TzdVariables ancestor;
    ancestor.SetVariables(QStringLiteral("same"), plat::Variant(QStringLiteral("1")));
    ancestor.SetVariables(QStringLiteral("changed"), plat::Variant(QStringLiteral("1")));
    TzdVariables vars;
    vars.SetVariables(QStringLiteral("same"), plat::Variant(QStringLiteral("1")));
    vars.SetVariables(QStringLiteral("changed"), plat::Variant(QStringLiteral("2")));
    vars.SetVariables(QStringLiteral("new"), plat::Variant(QStringLiteral("3")));
    TzdXMLItem root;
    zdWriteCollectionXML(&vars, QByteArrayLiteral("Variables"), &root, &ancestor, nullptr);
    TzdXMLItem* node = root.GetItem(0);
    ASSERT_EQ(node->Count(), 3);
    EXPECT_EQ(node->GetItem(0)->Text, QByteArrayLiteral(" InheritedName=\"same\""));
    EXPECT_EQ(node->GetItem(1)->Text, QByteArrayLiteral(" InheritedName=\"changed\" Value=\"2\""));
    EXPECT_EQ(node->GetItem(2)->Text, QByteArrayLiteral(" Name=\"new\" Value=\"3\""));

    // Reading into an inherited report that already holds the ancestor's items.
    TzdTestReport report;
    report.SetAncestor(true);
    report.ReportVariables.Assign(&ancestor);
    zdReadCollectionXML(&report.ReportVariables, node, &report, &ancestor);
    EXPECT_EQ(entryNames(report.ReportVariables), (QStringList{"same", "changed", "new"}));
    EXPECT_TRUE(report.ReportVariables.GetItem(1)->IsInherited);
    EXPECT_EQ(report.ReportVariables.GetVariables(QStringLiteral("changed")).toString(), QStringLiteral("2"));
}

// --- variables -------------------------------------------------------------------

TEST(Variables, CategoriesAndTheirVariables)
{
    TzdVariables vars;
    fillAB(vars);
    plat::TStringList list;
    vars.GetCategoryList(list);
    EXPECT_EQ(names(list), (QStringList{"A", "B"}));
    struct Case {
        const char* category;
        QStringList expected;
    };
    const Case cases[] = {{"A", {"x"}}, {"b", {"y"}}, {"", {}}, {"Z", {}}};
    for (const Case& c : cases) {
        vars.GetVariableList(QString::fromLatin1(c.category), list);
        EXPECT_EQ(names(list), c.expected) << c.category;
    }
}

TEST(Variables, AddVariableInsertsAtTheEndOfItsCategoryOrOnlySetsTheValue)
{
    TzdVariables vars;
    fillAB(vars);
    vars.AddVariable(QStringLiteral("A"), QStringLiteral("z"), plat::Variant(1));
    EXPECT_EQ(entryNames(vars), (QStringList{" A", "x", "z", " B", "y"}));
    vars.AddVariable(QStringLiteral("B"), QStringLiteral("X"), plat::Variant(2));
    EXPECT_EQ(entryNames(vars), (QStringList{" A", "x", "z", " B", "y"}));
    EXPECT_EQ(vars.GetVariables(QStringLiteral("x")).toInt64(), 2);
    vars.AddVariable(QStringLiteral("none"), QStringLiteral("q"), plat::Variant(3));
    EXPECT_EQ(vars.Count(), 5);
    vars.AddVariable(QStringLiteral("B"), QStringLiteral("last"), plat::Variant(4));
    EXPECT_EQ(entryNames(vars).last(), QStringLiteral("last"));
}

TEST(Variables, WritingAnUnknownNameAppendsAtTheVeryEnd)
{
    TzdVariables vars;
    fillAB(vars);
    vars.SetVariables(QStringLiteral("new"), plat::Variant(5));
    EXPECT_EQ(entryNames(vars), (QStringList{" A", "x", " B", "y", "new"}));
    EXPECT_TRUE(vars.GetVariables(QStringLiteral("absent")).isNull());
    EXPECT_EQ(vars.IndexOf(QStringLiteral("A")), -1);
    EXPECT_EQ(vars.IndexOf(QStringLiteral(" a")), 0);
}

TEST(Variables, DeleteCategoryAndVariable)
{
    TzdVariables vars;
    fillAB(vars);
    vars.DeleteCategory(QStringLiteral("A"));
    EXPECT_EQ(entryNames(vars), (QStringList{" B", "y"}));
    vars.DeleteCategory(QStringLiteral("nothing"));
    vars.DeleteVariable(QStringLiteral("Y"));
    vars.DeleteVariable(QStringLiteral("nothing"));
    EXPECT_EQ(entryNames(vars), (QStringList{" B"}));
}

TEST(Variables, FileRoundTripKeepsOrderAndGivesTextBack)
{
    TzdVariables vars;
    fillAB(vars);
    vars.SetVariables(QString::fromUtf8("Částka"), plat::Variant(12.5));
    vars.SetVariables(QStringLiteral("quote"), plat::Variant(QStringLiteral("a \"b\" <c>")));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vars.xml"));
    vars.SaveToFile(path);
    if (toolAvailable(QStringLiteral("xmllint"))) {
        const ToolResult lint = runTool(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path});
        EXPECT_EQ(lint.exitCode, 0) << lint.err.toStdString();
    }
    TzdVariables loaded;
    loaded.LoadFromFile(path);
    EXPECT_EQ(entryNames(loaded), entryNames(vars));
    const plat::Variant amount = loaded.GetVariables(QString::fromUtf8("Částka"));
    EXPECT_EQ(amount.type(), plat::varString);
    EXPECT_EQ(amount.toString(), QStringLiteral("12.5"));
    EXPECT_EQ(loaded.GetVariables(QStringLiteral("quote")).toString(), QStringLiteral("a \"b\" <c>"));
}

TEST(Variables, AnotherRootLoadsEmptyAndAMissingFileRaises)
{
    TzdVariables vars;
    fillAB(vars);
    plat::TMemoryStream other(QByteArrayLiteral("<?xml version=\"1.0\"?><styles><item Name=\"a\"/></styles>"));
    vars.LoadFromStream(other);
    EXPECT_EQ(vars.Count(), 0);
    EXPECT_THROW(vars.LoadFromFile(QStringLiteral("/nonexistent/folder/vars.xml")), plat::EFOpenError);
}

TEST(Variables, AssignCopiesOnlyFromAVariable)
{
    TzdVariables vars;
    TzdVariable* a = vars.Add();
    TzdVariable* b = vars.Add();
    a->SetName(QStringLiteral("a"));
    a->SetValue(plat::Variant(1));
    a->IsInherited = true;
    b->Assign(a);
    EXPECT_EQ(b->Name(), QStringLiteral("a"));
    EXPECT_TRUE(b->IsInherited);
    EXPECT_EQ(b->GetInheritedName(), QStringLiteral("a"));
    zd::TStringList other;
    EXPECT_NO_THROW(b->Assign(&other));
}

TEST(Variables, ArrayByVariantName)
{
    TzdArray array;
    array.SetVariables(plat::Variant(5), plat::Variant(QStringLiteral("five")));
    array.SetVariables(plat::Variant(QStringLiteral("k")), plat::Variant(1));
    array.SetVariables(plat::Variant(QStringLiteral("K")), plat::Variant(2));
    EXPECT_EQ(array.Count(), 2);
    EXPECT_EQ(array.IndexOf(plat::Variant(QStringLiteral("5"))), 0);
    EXPECT_EQ(array.GetVariables(plat::Variant(QStringLiteral("k"))).toInt64(), 2);
    EXPECT_TRUE(array.GetVariables(plat::Variant(QStringLiteral("z"))).isNull());
}

TEST(Collection, PropDataFormsReadBack)
{
    // The serializer's form (owner being written) and the platform's
    // collection form (any other writer) both read back.
    for (bool serializerForm : {true, false}) {
        SCOPED_TRACE(serializerForm);
        TzdTestMemo owner(nullptr);
        TzdVariables vars;
        vars.SetVariables(QString::fromUtf8("Příjmení"), plat::Variant(QString::fromUtf8("Dvořák")));
        vars.SetVariables(QStringLiteral("b"), plat::Variant(QStringLiteral("2")));
        owner.StreamWriting = serializerForm;
        plat::TMemoryStream stream;
        {
            plat::TWriter writer(stream);
            zdWriteCollection(&vars, writer, &owner);
        }
        owner.StreamWriting = false;
        EXPECT_EQ(stream.bytes().at(0), serializerForm ? char(plat::vaList) : char(plat::vaCollection));
        stream.SetPosition(0);
        TzdVariables read;
        read.SetVariables(QStringLiteral("stale"), plat::Variant(1));
        plat::TReader reader(stream);
        zdReadCollection(&read, reader, &owner);
        EXPECT_EQ(entryNames(read), entryNames(vars));
        EXPECT_EQ(plat::VarToStr(read.GetVariables(QString::fromUtf8("Příjmení"))), QString::fromUtf8("Dvořák"));
    }
}
