// The report tree: its nodes, selecting objects through it, moving objects
// by dropping nodes onto a band or a page, and the moves it refuses.

#include "PanelsTestUtil.h"
#include "zdDCtrl.h"
#include "zdReportTree.h"

#include <QMenu>

namespace {

using paneltest::clickNode;

struct ReportTree : paneltest::Fixture {
    TzdMasterData* band1 = nullptr;
    TzdMasterData* band2 = nullptr;
    TzdMemoView* memo1 = nullptr;
    TzdMemoView* memo2 = nullptr;
    std::unique_ptr<TzdReportTreeForm> form;
    int changes = 0;

    ReportTree()
    {
        band1 = add<TzdMasterData>(page(), "MasterData1", 20);
        band2 = add<TzdMasterData>(page(), "MasterData2", 100);
        memo1 = add<TzdMemoView>(band1, "Memo1", 2);
        memo2 = add<TzdMemoView>(band1, "Memo2", 4);
        memo1->SetLeft(33);
        d->RebuildObjects();
        form = std::make_unique<TzdReportTreeForm>(d.get());
        form->OnSelectionChange = [this] { ++changes; };
        form->resize(200, 600);
        form->show();
    }
    QTreeWidget* tree() const { return form->findChild<QTreeWidget*>(QStringLiteral("Tree")); }
    QTreeWidgetItem* node(TzdComponent* obj) const { return form->NodeOf(obj); }
    // Selects the nodes of the objects as a Ctrl-click series.
    void pick(std::initializer_list<TzdComponent*> objects)
    {
        bool first = true;
        for (TzdComponent* obj : objects) {
            clickNode(tree(), node(obj), first ? Qt::NoModifier : Qt::ControlModifier);
            first = false;
        }
    }
};

TEST_F(ReportTree, ShowsTheReportsObjectsUnderTheirParents)
{
    ASSERT_EQ(form->objectName(), QStringLiteral("ReportTreeForm"));
    ASSERT_EQ(tree()->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree()->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("Report"));
    EXPECT_EQ(form->ObjectOf(root), &report);
    ASSERT_NE(node(memo2), nullptr);
    EXPECT_EQ(node(memo2)->parent(), node(band1));
    EXPECT_EQ(node(band1)->parent(), node(page()));
    EXPECT_TRUE(node(band1)->isExpanded());
    EXPECT_EQ(zd::reportTreeImageIndex(&report), 34);
    EXPECT_EQ(zd::reportTreeImageIndex(page()), 35);
    EXPECT_EQ(zd::reportTreeImageIndex(band1), 40);
}

TEST_F(ReportTree, ClickingNodesSelectsTheirObjectsInTheDesigner)
{
    pick({memo2});
    EXPECT_EQ(d->Selection, (std::vector<TzdComponent*>{memo2}));
    EXPECT_EQ(changes, 1);
    pick({memo2, memo1});
    ASSERT_EQ(d->Selection.size(), 2u);
    EXPECT_GE(changes, 2);
    const int before = changes;
    EXPECT_TRUE(std::count(d->Selection.begin(), d->Selection.end(), memo1));
    // The designer's selection shows back in the tree without an echo.
    d->SetSelection({band2});
    form->SelectDesignerSelection();
    EXPECT_EQ(tree()->selectedItems(), QList<QTreeWidgetItem*>{node(band2)});
    EXPECT_EQ(changes, before);
}

TEST_F(ReportTree, TheReportsNodeSelectsTheReportAndOpensNoMenu)
{
    QMenu menu;
    menu.addAction(QStringLiteral("x"));
    form->SetPopupMenu(&menu);
    pick({memo1});
    form->ContextMenuAt(QPoint(10, 10));
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
    clickNode(tree(), tree()->topLevelItem(0));
    EXPECT_EQ(d->Selection, (std::vector<TzdComponent*>{&report}));
    form->ContextMenuAt(QPoint(10, 10));
    EXPECT_FALSE(menu.isVisible());
}

TEST_F(ReportTree, DroppingAnObjectOnABandMovesItThere)
{
    pick({memo1});
    ASSERT_TRUE(form->CanDropOn(node(band2)));
    EXPECT_TRUE(form->DropOn(node(band2)));
    EXPECT_EQ(memo1->Parent(), band2);
    EXPECT_EQ(memo1->Left(), 33); // relative to the new parent now
    EXPECT_TRUE(d->Modified);
    EXPECT_EQ(node(memo1)->parent(), node(band2));
    EXPECT_EQ(boxes(), 0);
}

TEST_F(ReportTree, DroppingABandOnABandMovesItsObjectsNotTheBand)
{
    pick({band1});
    EXPECT_TRUE(form->DropOn(node(band2)));
    EXPECT_EQ(band1->Parent(), page());
    EXPECT_TRUE(band1->Children().empty());
    EXPECT_EQ(memo1->Parent(), band2);
    EXPECT_EQ(memo2->Parent(), band2);
}

TEST_F(ReportTree, DropsOnlyOntoBandsAndReportPages)
{
    EXPECT_FALSE(form->CanDropOn(node(memo2)));
    EXPECT_FALSE(form->CanDropOn(tree()->topLevelItem(0)));
    EXPECT_TRUE(form->CanDropOn(node(page())));
    pick({memo1});
    EXPECT_FALSE(form->DropOn(node(memo2)));
    EXPECT_EQ(memo1->Parent(), band1);
}

TEST_F(ReportTree, APageDraggedIntoABandStaysWhereItIsWithOneMessage)
{
    pick({page()});
    EXPECT_FALSE(form->DropOn(node(band2)));
    EXPECT_EQ(page()->Parent(), &report);
    EXPECT_EQ(boxes(), 1);
    EXPECT_FALSE(d->Modified);
    EXPECT_EQ(node(page())->parent(), tree()->topLevelItem(0));
}

TEST_F(ReportTree, IllegalMovesAreRefusedAsPasteRefusesThem)
{
    auto* header = add<TzdPageHeader>(page(), "PageHeader1");
    auto* page2 = add<TzdReportPage>(&report, "Page2");
    auto* header2 = add<TzdPageHeader>(page2, "PageHeader2");
    auto* inherited = add<TzdMemoView>(band1, "Zdedeny");
    inherited->FromAncestor = true;
    auto* dmpPage = add<TzdDMPPage>(&report, "Page3");
    auto* dmpBand = add<TzdMasterData>(dmpPage, "MasterData3");
    auto* dmpMemo = add<TzdDMPMemoView>(dmpBand, "DMPMemo1");
    auto* dialog = add<TzdDialogPage>(&report, "DialogPage1");
    auto* label = add<TzdLabelControl>(dialog, "Label1");
    TzdComponent* dataPage = report.FindObject(QStringLiteral("Data"));
    ASSERT_NE(dataPage, nullptr);
    struct Case {
        const char* what;
        TzdComponent* obj;
        TzdComponent* target;
        bool allowed;
    };
    const Case cases[] = {
        {"memo into another band", memo1, band2, true},
        {"band onto another page", band2, page2, true},
        {"memo straight onto a page", memo1, page2, true},
        {"page into a band", page(), band2, false},
        {"the report onto a page", &report, page(), false},
        {"the data page onto a page", dataPage, page(), false},
        {"an inherited object", inherited, band2, false},
        {"a band into a band", band1, band2, false},
        {"a band into its own child", band1, memo1, false},
        {"a second page header", header, page2, false},
        {"a page header onto its own page", header2, page2, true},
        {"a memo onto a memo", memo1, memo2, false},
        {"a dot-matrix memo onto a report page", dmpMemo, band2, false},
        {"a report memo onto a dot-matrix band", memo1, dmpBand, false},
        {"a dialog control onto a report page", label, page(), false},
        {"a memo onto a dialog page", memo1, dialog, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zd::treeMoveRefusal(c.obj, c.target).isEmpty(), c.allowed) << c.what;
}

TEST_F(ReportTree, DeleteInTheTreeDeletesTheSelection)
{
    pick({memo2});
    QTest::keyClick(tree(), Qt::Key_Delete);
    EXPECT_EQ(report.FindObject(QStringLiteral("Memo2")), nullptr);
    EXPECT_EQ(form->NodeOf(memo1)->parent(), form->NodeOf(band1));
    EXPECT_EQ(band1->ChildCount(), 1);
}

} // namespace
