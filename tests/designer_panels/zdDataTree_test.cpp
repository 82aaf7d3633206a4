// The data tree: its tabs and nodes, the insertion texts of its nodes, a
// dataset that fails while listing its fields, and inserting memos by
// dropping its nodes onto the design workspace.

#include "PanelsTestUtil.h"
#include "Exceptions.h"
#include "StringList.h"
#include "zdDataDrop.h"
#include "zdDataTree.h"
#include "zdVariables.h"

#include <QCheckBox>
#include <QLabel>

namespace {

using paneltest::clickNode;

// A dataset whose connection is gone: every question about its fields fails.
class BrokenDataSet : public TzdUserDataSet {
public:
    using TzdUserDataSet::TzdUserDataSet;
    void GetFieldList(plat::TStrings&) override { throw plat::Exception(QStringLiteral("Spojení přerušeno")); }
    int GetDisplayWidth(const QString&) override { throw plat::Exception(QStringLiteral("Spojení přerušeno")); }
};

struct DataTree : paneltest::Fixture {
    std::unique_ptr<TzdDataTreeForm> form;

    void open(bool hosted = true)
    {
        form = std::make_unique<TzdDataTreeForm>();
        form->SetReport(&report);
        form->Hosted = hosted;
        form->ShowCheckBoxes(hosted);
        form->resize(300, 500);
        form->show();
        form->UpdateItems();
        d->workspace().GridAlign = false;
    }
    QTreeWidget* tree(int tab = TzdDataTreeForm::tabData) const { return form->Tree(tab); }
    QTreeWidgetItem* datasetNode(int i) const { return tree()->topLevelItem(0)->child(i); }
    QCheckBox* check(const char* name) const { return form->findChild<QCheckBox*>(QString::fromLatin1(name)); }
    // Drags the selected nodes to (x, y) of the workspace and drops them there.
    void dropAt(int x, int y)
    {
        ASSERT_TRUE(zd::dataDragOver(*d, *form, x, y));
        zd::dataDrop(*d, *form, x, y);
    }
    std::vector<TzdMemoView*> memosOn(TzdComponent* parent) const
    {
        std::vector<TzdMemoView*> out;
        for (TzdComponent* c : parent->Children())
            if (auto* m = dynamic_cast<TzdMemoView*>(c))
                out.push_back(m);
        return out;
    }
};

TEST_F(DataTree, AReportWithoutDatasetsShowsTheNoDataMessage)
{
    open();
    EXPECT_EQ(form->objectName(), QStringLiteral("DataTreeForm"));
    auto* noData = form->findChild<QWidget*>(QStringLiteral("NoDataPn"));
    ASSERT_NE(noData, nullptr);
    EXPECT_TRUE(noData->isVisible());
    EXPECT_TRUE(form->findChild<QLabel*>(QStringLiteral("NoDataL"))->text().contains(QStringLiteral("\n\n")));
    EXPECT_TRUE(form->IsDataTab());
    EXPECT_EQ(form->InsertionText(-1), QString());
    EXPECT_EQ(form->SelectedCount(), 0);
}

TEST_F(DataTree, FieldsGiveTheirInsertionTexts)
{
    dataset("zdDBDataset1", {QStringLiteral("kod"), QStringLiteral("nazev")});
    dataset("Prazdny", {});
    open();
    ASSERT_EQ(tree()->topLevelItemCount(), 1);
    ASSERT_EQ(tree()->topLevelItem(0)->childCount(), 2);
    QTreeWidgetItem* ds = datasetNode(0);
    EXPECT_EQ(ds->text(0), QStringLiteral("zdDBDataset1"));
    ASSERT_EQ(ds->childCount(), 2);
    clickNode(tree(), ds->child(0));
    EXPECT_EQ(form->InsertionText(-1), QStringLiteral("<zdDBDataset1.\"kod\">"));
    EXPECT_EQ(form->SelectedDatasetAlias(), QString());
    clickNode(tree(), ds);
    EXPECT_EQ(form->InsertionText(-1), QString());
    EXPECT_EQ(form->SelectedDatasetAlias(), QStringLiteral("zdDBDataset1"));
    // A dataset without fields has no children: it reads like a field.
    clickNode(tree(), datasetNode(1));
    EXPECT_EQ(form->InsertionText(-1), QStringLiteral("<Prazdny.\"Prazdny\">"));
}

TEST_F(DataTree, ADatasetThatFailsListsNoFieldsAndRaisesNothing)
{
    auto* broken = new BrokenDataSet(&report);
    broken->SetUserName(QStringLiteral("Vadny"));
    report.DataSets()->AddDataSet(broken);
    dataset("Dobry", {QStringLiteral("a")});
    EXPECT_TRUE(zd::fieldListOf(broken).isEmpty());
    ASSERT_NO_THROW(open());
    ASSERT_EQ(tree()->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(datasetNode(0)->childCount(), 0);
    EXPECT_EQ(datasetNode(1)->childCount(), 1);
    // Its memos get the usual width: 10 characters of 8 units.
    EXPECT_EQ(zd::dropMemoWidth(&report, QStringLiteral("<Vadny.\"x\">"), 8), 80);
    EXPECT_EQ(boxes(), 0);
}

TEST_F(DataTree, CollapsedDatasetsStayCollapsedByNameForTheNextWindow)
{
    dataset("Zbozi", {QStringLiteral("a")});
    dataset("Zbozi2", {QStringLiteral("a")});
    dataset("Sklad", {QStringLiteral("a")});
    open();
    datasetNode(0)->setExpanded(false);
    EXPECT_EQ(form->CollapsedState(), QStringLiteral("Zbozi,"));
    form.reset(); // a hosted tree leaves its state to the next one
    EXPECT_EQ(TzdDataTreeForm::CollapsedDatasets(), QStringLiteral("Zbozi,"));
    open();
    EXPECT_FALSE(datasetNode(0)->isExpanded());
    EXPECT_TRUE(datasetNode(1)->isExpanded());
    EXPECT_TRUE(datasetNode(2)->isExpanded());
    TzdDataTreeForm::CollapsedDatasets().clear();
}

TEST_F(DataTree, SortingRebuildsTheDataTabAtOnce)
{
    dataset("Zbozi", {QStringLiteral("b"), QStringLiteral("a")});
    dataset("Adresy", {QStringLiteral("x")});
    open();
    EXPECT_EQ(datasetNode(0)->text(0), QStringLiteral("Zbozi"));
    EXPECT_EQ(datasetNode(0)->child(0)->text(0), QStringLiteral("b"));
    check("SortCB")->click();
    EXPECT_EQ(datasetNode(0)->text(0), QStringLiteral("Adresy"));
    EXPECT_EQ(datasetNode(1)->child(0)->text(0), QStringLiteral("a"));
    check("SortCB")->click();
    EXPECT_EQ(datasetNode(0)->text(0), QStringLiteral("Zbozi"));
}

TEST_F(DataTree, VariablesAndSystemVariablesGiveBracketedNames)
{
    report.Variables()->Add()->SetName(QStringLiteral(" Firma")); // the category's heading
    report.Variables()->AddVariable(QStringLiteral("Firma"), QStringLiteral("Nazev"), plat::Variant(QStringLiteral("'x'")));
    open();
    form->SetActiveTab(TzdDataTreeForm::tabVariables);
    QTreeWidget* t = tree(TzdDataTreeForm::tabVariables);
    QTreeWidgetItem* root = t->topLevelItem(0);
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("Firma"));
    QTreeWidgetItem* system = root->child(1);
    ASSERT_EQ(system->childCount(), 9);
    EXPECT_EQ(system->child(3)->text(0), QStringLiteral("Page#"));
    clickNode(t, system->child(3));
    EXPECT_EQ(form->InsertionText(-1), QStringLiteral("<Page#>"));
    EXPECT_EQ(form->SelectedCount(), 1);
    EXPECT_EQ(form->SelectedDataset(-1), nullptr);
    clickNode(t, root->child(0));
    EXPECT_EQ(form->InsertionText(-1), QString());
}

TEST_F(DataTree, FunctionNodesGiveACallWithItsCommas)
{
    open();
    struct Case {
        const char* node;
        const char* text;
    };
    const Case cases[] = {
        {"IntToStr(i: Integer): String", "IntToStr()"},
        {"Copy(s: String; from, count: Integer): String", "Copy(,,)"},
        {"F(): Integer", "F()"},
        {"Date: TDateTime", "Date"},
    };
    form->SetActiveTab(TzdDataTreeForm::tabFunctions);
    QTreeWidget* t = tree(TzdDataTreeForm::tabFunctions);
    ASSERT_GT(t->topLevelItemCount(), 0);
    // The real functions tab lists the script's functions by category.
    QTreeWidgetItem* root = t->topLevelItem(0);
    ASSERT_GT(root->childCount(), 0);
    for (const Case& c : cases)
        EXPECT_EQ(TzdDataTreeForm::FunctionInsertionText(QString::fromUtf8(c.node)), QString::fromUtf8(c.text))
            << c.node;
}

TEST_F(DataTree, DroppingAFieldInsertsABoundMemo)
{
    TzdUserDataSet* ds = dataset("Zbozi", {QStringLiteral("kod"), QStringLiteral("nazev")});
    open();
    clickNode(tree(), datasetNode(0)->child(1));
    dropAt(208, 108);
    ASSERT_EQ(d->Selection.size(), 1u);
    auto* memo = dynamic_cast<TzdMemoView*>(d->Selection.front());
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Parent(), page());
    EXPECT_EQ(memo->DataSet(), ds);
    EXPECT_EQ(memo->DataField(), QStringLiteral("nazev"));
    EXPECT_EQ(memo->Name(), QStringLiteral("Zbozinazev"));
    EXPECT_EQ(memo->Width(), zd::dropMemoWidth(&report, QStringLiteral("<Zbozi.\"nazev\">"), d->workspace().GridStepX));
    EXPECT_EQ(memo->Left(), 200); // the outline sits 8 pixels up and left of the pointer
    EXPECT_TRUE(d->Modified);
    EXPECT_EQ(d->workspace().InsertionState, 0);
    EXPECT_NE(std::find(d->PageObjects.begin(), d->PageObjects.end(), memo), d->PageObjects.end());
}

TEST_F(DataTree, DroppingADatasetWithTwoFieldsMakesOneBandOfMemosWithCaptionsAbove)
{
    TzdUserDataSet* ds = dataset("Zbozi", {QStringLiteral("kod"), QStringLiteral("nazev")});
    open();
    check("InsCaptionCB")->setChecked(true);
    d->workspace().FreeBands = true; // the band stays where it was dropped
    QTreeWidgetItem* dsNode = datasetNode(0);
    clickNode(tree(), dsNode->child(0));
    clickNode(tree(), dsNode->child(1), Qt::ControlModifier);
    clickNode(tree(), dsNode, Qt::ControlModifier);
    ASSERT_EQ(form->SelectedCount(), 3);
    dropAt(108, 108);
    std::vector<TzdDataBand*> bands;
    for (TzdComponent* c : page()->Children())
        if (auto* b = dynamic_cast<TzdDataBand*>(c))
            bands.push_back(b);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_TRUE(dynamic_cast<TzdMasterData*>(bands[0]));
    EXPECT_EQ(bands[0]->DataSet(), ds);
    const auto fields = memosOn(bands[0]);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0]->Align(), baLeft);
    EXPECT_LT(fields[0]->Left(), fields[1]->Left());
    const auto captions = memosOn(page());
    ASSERT_EQ(captions.size(), 2u);
    for (TzdMemoView* c : captions)
        EXPECT_LT(c->Top() + c->Height(), bands[0]->Top() + 0.001);
    EXPECT_EQ(captions[0]->Text().trimmed(), QStringLiteral("kod"));
    EXPECT_EQ(d->Selection.size(), 4u);
}

TEST_F(DataTree, DroppingASystemVariableMakesAnExpressionMemo)
{
    open();
    form->SetActiveTab(TzdDataTreeForm::tabVariables);
    QTreeWidget* t = tree(TzdDataTreeForm::tabVariables);
    clickNode(t, t->topLevelItem(0)->child(0)->child(3));
    dropAt(108, 108);
    ASSERT_EQ(d->Selection.size(), 1u);
    auto* memo = dynamic_cast<TzdMemoView*>(d->Selection.front());
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Text().trimmed(), QStringLiteral("[Page#]"));
    EXPECT_EQ(memo->Name(), QStringLiteral("Memo1"));
}

TEST_F(DataTree, BothCheckBoxesOffCreatesNothing)
{
    dataset("Zbozi", {QStringLiteral("kod")});
    open();
    check("InsFieldCB")->setChecked(false);
    clickNode(tree(), datasetNode(0)->child(0));
    const size_t before = page()->Children().size();
    zd::dataDragOver(*d, *form, 100, 100);
    zd::dataDrop(*d, *form, 100, 100);
    EXPECT_EQ(page()->Children().size(), before);
}

TEST_F(DataTree, MemoNamesComeFromTheInsertionText)
{
    struct Case {
        const char* text;
        const char* name;
    };
    const Case cases[] = {
        {"<zdDBDataset1.\"kod\">", "zdDBDataset1kod"},
        {"<Page#>", "Memo"},
        {"IntToStr()", "IntToStr"},
        {"<1x>", "Memo"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zd::dropMemoName(QString::fromUtf8(c.text)), QString::fromUtf8(c.name)) << c.text;
}

} // namespace

namespace {

TEST_F(DataTree, ADotMatrixPageGetsDotMatrixMemos)
{
    TzdUserDataSet* ds = dataset("Zbozi", {QStringLiteral("kod")});
    auto* dmp = add<TzdDMPPage>(&report, "Page2");
    d->RebuildPageTabs(report.GetPageCount() - 1);
    ASSERT_EQ(d->CurrentPage, dmp);
    open();
    clickNode(tree(), datasetNode(0)->child(0));
    dropAt(108, 108);
    ASSERT_EQ(d->Selection.size(), 1u);
    auto* memo = dynamic_cast<TzdDMPMemoView*>(d->Selection.front());
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->DataSet(), ds);
    EXPECT_EQ(memo->Parent(), dmp);
}

} // namespace
