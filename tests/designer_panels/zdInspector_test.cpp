// The object inspector: the common properties of a selection, editing them
// through the editing line, sub-properties, the events tab, descriptions,
// the drop-down list and a failing commit.

#include "PanelsTestUtil.h"
#include "Exceptions.h"
#include "zdInspector.h"
#include "zdRes.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTabBar>

#include <functional>

namespace {

// Dialogs that run a hook while a message box is up (the box taking the
// focus from the inspector, say).
class HookedServices : public plat::ScriptedServices {
public:
    std::function<void()> DuringBox;
    int MessageBox(const QString& text, const QString& caption, unsigned flags) override
    {
        if (DuringBox)
            DuringBox();
        return plat::ScriptedServices::MessageBox(text, caption, flags);
    }
};

struct Inspector : paneltest::Fixture {
    HookedServices hooked;
    plat::ScopedServices useHooked{hooked};
    TzdMasterData* band = nullptr;
    TzdMemoView* memo1 = nullptr;
    TzdMemoView* memo2 = nullptr;
    std::unique_ptr<TzdObjectInspector> insp;
    int modified = 0;

    Inspector()
    {
        d->SetUnits(ruPixels);
        band = add<TzdMasterData>(page(), "MasterData1", 20);
        memo1 = add<TzdMemoView>(band, "Memo1", 2);
        memo2 = add<TzdMemoView>(band, "Memo2", 4);
        d->RebuildObjects();
        insp = std::make_unique<TzdObjectInspector>(d.get());
        insp->OnModify = [this] { ++modified; };
        insp->resize(260, 600);
        insp->show();
        insp->UpdateObjectsList(d->PageObjects);
    }
    void select(std::vector<TzdComponent*> objects)
    {
        d->Selection = objects;
        insp->SetSelectedObjects(objects);
    }
    QLineEdit* edit() const { return insp->findChild<QLineEdit*>(QStringLiteral("Edit1")); }
    QWidget* grid() const { return insp->findChild<QWidget*>(QStringLiteral("PB")); }
    // Types Text over the current row's value.
    void type(const QString& text)
    {
        edit()->setFocus();
        edit()->selectAll();
        QTest::keyClicks(edit(), text);
    }
    void clickRow(int row, int x = -1)
    {
        const int y = row * insp->RowHeight() + insp->RowHeight() / 2;
        QTest::mouseClick(grid(), Qt::LeftButton, Qt::NoModifier, QPoint(x < 0 ? 20 : x, y));
    }
    int boxes() const { return int(hooked.CallsOf(QStringLiteral("MessageBox")).size()); }
};

TEST_F(Inspector, RefusesAnOwnerThatIsNotADesigner)
{
    plat::TComponent notADesigner(nullptr);
    try {
        TzdObjectInspector wrong(&notADesigner);
        FAIL() << "created";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("The Owner of the object inspector should be TzdCustomDesigner"));
    }
}

TEST_F(Inspector, ListsOnlyTheCommonPropertiesOfASelection)
{
    EXPECT_EQ(insp->objectName(), QStringLiteral("ObjectInspector"));
    select({memo1, memo2});
    EXPECT_GE(insp->FindRow(QStringLiteral("DataField")), 0);
    select({memo1, memo2, band});
    EXPECT_GE(insp->FindRow(QStringLiteral("Left")), 0);
    EXPECT_GE(insp->FindRow(QStringLiteral("Height")), 0);
    EXPECT_EQ(insp->FindRow(QStringLiteral("DataField")), -1);
    EXPECT_EQ(insp->FindRow(QStringLiteral("Memo")), -1);
    // Events are on their own tab.
    EXPECT_EQ(insp->FindRow(QStringLiteral("OnBeforePrint")), -1);
    auto* combo = insp->findChild<QComboBox*>(QStringLiteral("ObjectsCB"));
    EXPECT_EQ(combo->currentIndex(), -1);
    select({memo2});
    EXPECT_EQ(combo->currentText(), QStringLiteral("Memo2: TzdMemoView"));
}

TEST_F(Inspector, TypingAValueChangesEverySelectedObject)
{
    select({memo1, memo2});
    insp->SetItemIndex(insp->FindRow(QStringLiteral("Left")));
    ASSERT_TRUE(edit()->isVisible());
    type(QStringLiteral("50"));
    QTest::keyClick(edit(), Qt::Key_Return);
    EXPECT_EQ(memo1->Left(), 50);
    EXPECT_EQ(memo2->Left(), 50);
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(edit()->text(), QStringLiteral("50"));
}

TEST_F(Inspector, ClickingAnotherRowCommitsTheTypedTextFirst)
{
    select({memo1});
    const int left = insp->FindRow(QStringLiteral("Left"));
    const int top = insp->FindRow(QStringLiteral("Top"));
    insp->SetItemIndex(left);
    type(QStringLiteral("44"));
    clickRow(top);
    EXPECT_EQ(memo1->Left(), 44);
    EXPECT_EQ(insp->ItemIndex(), top);
    EXPECT_EQ(edit()->text(), insp->RowValue(top));
}

TEST_F(Inspector, ANameChangeShowsInTheObjectsList)
{
    select({memo1});
    insp->SetItemIndex(insp->FindRow(QStringLiteral("Name")));
    type(QStringLiteral("Cena"));
    QTest::keyClick(edit(), Qt::Key_Return);
    EXPECT_EQ(memo1->Name(), QStringLiteral("Cena"));
    EXPECT_EQ(insp->findChild<QComboBox*>(QStringLiteral("ObjectsCB"))->currentText(),
              QStringLiteral("Cena: TzdMemoView"));
}

TEST_F(Inspector, ARejectedValueShowsOneMessageAndPutsTheValueBack)
{
    select({memo1});
    insp->SetItemIndex(insp->FindRow(QStringLiteral("Left")));
    const QString shown = edit()->text();
    // The box takes the focus away, which asks for a commit again.
    hooked.DuringBox = [this] { insp->FocusLost(); };
    type(QStringLiteral("abc"));
    insp->FocusLost();
    EXPECT_EQ(boxes(), 1);
    EXPECT_EQ(edit()->text(), shown);
    EXPECT_FALSE(edit()->isModified());
    EXPECT_EQ(memo1->Left(), 10);
    EXPECT_EQ(modified, 0);
    insp->FocusLost();
    EXPECT_EQ(boxes(), 1);
}

TEST_F(Inspector, AnotherObjectKeepsTheCurrentPropertyByName)
{
    select({memo1});
    insp->SetItemIndex(insp->FindRow(QStringLiteral("Top")));
    select({band});
    EXPECT_EQ(insp->RowName(insp->ItemIndex()), QStringLiteral("Top"));
    insp->SetItemIndex(insp->FindRow(QStringLiteral("DataSet")));
    select({memo1});
    ASSERT_GE(insp->FindRow(QStringLiteral("DataSet")), 0);
    insp->SetItemIndex(insp->FindRow(QStringLiteral("DataField")));
    select({band});
    ASSERT_EQ(insp->FindRow(QStringLiteral("DataField")), -1);
    EXPECT_EQ(insp->ItemIndex(), 0);
}

TEST_F(Inspector, AnEmptySelectionShowsNoEditingControls)
{
    select({});
    EXPECT_EQ(insp->RowCount(), 0);
    EXPECT_EQ(insp->ItemIndex(), -1);
    EXPECT_FALSE(edit()->isVisible());
    EXPECT_FALSE(insp->findChild<QWidget*>(QStringLiteral("EditPanel"))->isVisible());
    EXPECT_FALSE(insp->findChild<QWidget*>(QStringLiteral("ComboPanel"))->isVisible());
    QTest::keyClick(edit(), Qt::Key_Down);
    EXPECT_EQ(insp->ItemIndex(), -1);
}

TEST_F(Inspector, SubPropertiesUnfoldUnderTheirRow)
{
    select({memo1});
    const int font = insp->FindRow(QStringLiteral("Font"));
    ASSERT_GE(font, 0);
    const int rows = insp->RowCount();
    insp->ToggleExpanded(font);
    ASSERT_GT(insp->RowCount(), rows);
    EXPECT_EQ(insp->RowLevel(font + 1), 1);
    insp->SetItemIndex(font + 1);
    // A double click on the row folds it again.
    insp->SetItemIndex(font);
    const int y = font * insp->RowHeight() + 2;
    QTest::mouseDClick(grid(), Qt::LeftButton, Qt::NoModifier, QPoint(60, y));
    EXPECT_EQ(insp->RowCount(), rows);
}

TEST_F(Inspector, EventsHaveTheirOwnTabExceptOnPreparedPages)
{
    select({memo1});
    insp->SetActiveTab(1);
    EXPECT_GE(insp->FindRow(QStringLiteral("OnBeforePrint")), 0);
    EXPECT_EQ(insp->FindRow(QStringLiteral("Left")), -1);
    insp->SetActiveTab(0);
    EXPECT_GE(insp->FindRow(QStringLiteral("Left")), 0);

    zd::DesignerModel prepared(nullptr, &report, true);
    TzdObjectInspector preparedInsp(&prepared);
    preparedInsp.SetSelectedObjects({memo1});
    preparedInsp.SetActiveTab(1);
    EXPECT_EQ(preparedInsp.ActiveTab(), 0);
    EXPECT_GE(preparedInsp.FindRow(QStringLiteral("Left")), 0);
}

TEST_F(Inspector, DescriptionsPreferTheClassSpecificKey)
{
    select({memo1});
    insp->SetItemIndex(insp->FindRow(QStringLiteral("Name")));
    EXPECT_EQ(insp->Description(), zdGetResources()->GetText(QStringLiteral("propName")));
    EXPECT_EQ(insp->findChild<QLabel*>(QStringLiteral("PropL"))->text(), QStringLiteral("Name"));
    const int font = insp->FindRow(QStringLiteral("Font"));
    insp->ToggleExpanded(font);
    int color = -1;
    for (int i = font + 1; i < insp->RowCount() && insp->RowLevel(i) == 1; ++i)
        if (insp->RowName(i) == QLatin1String("Color"))
            color = i;
    ASSERT_GT(color, font);
    insp->SetItemIndex(color);
    EXPECT_EQ(insp->Description(), QStringLiteral("Barva textu"));
    insp->SetItemIndex(insp->FindRow(QStringLiteral("Color")));
    EXPECT_EQ(insp->Description(), zdGetResources()->GetText(QStringLiteral("propColor")));
    EXPECT_NE(insp->Description(), QStringLiteral("Barva textu"));
}

TEST_F(Inspector, TheDropDownShowsEightRowsAndScrollsBeyond)
{
    select({memo1});
    insp->SetItemIndex(insp->FindRow(QStringLiteral("Align")));
    ASSERT_TRUE(insp->RowAttributes(insp->ItemIndex()).contains(fpaValueList));
    QListWidget* list = insp->ShowDropDown();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 8);
    EXPECT_EQ(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(list->height(), 8 * insp->RowHeight() + 2);
    const auto left = list->findItems(QStringLiteral("baLeft"), Qt::MatchExactly);
    ASSERT_EQ(left.size(), 1);
    insp->DropDownChosen(list->row(left.front()));
    EXPECT_EQ(memo1->Align(), baLeft);
    EXPECT_EQ(modified, 1);

    insp->SetItemIndex(insp->FindRow(QStringLiteral("Color")));
    list = insp->ShowDropDown();
    ASSERT_NE(list, nullptr);
    ASSERT_GT(list->count(), 8);
    EXPECT_EQ(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(list->height(), 8 * insp->RowHeight() + 2);
    insp->CloseDropDown();
}

TEST_F(Inspector, ABooleanTogglesWithAClickBesideTheSplitter)
{
    select({memo1});
    const int row = insp->FindRow(QStringLiteral("Visible"));
    ASSERT_GE(row, 0);
    ASSERT_TRUE(memo1->Visible());
    clickRow(row, insp->DividerOffset() + 5);
    EXPECT_FALSE(memo1->Visible());
    EXPECT_EQ(modified, 1);
}

TEST_F(Inspector, ChoosingAnObjectInTheListSelectsIt)
{
    int changes = 0;
    insp->OnSelectionChange = [&] { ++changes; };
    select({memo1});
    auto* combo = insp->findChild<QComboBox*>(QStringLiteral("ObjectsCB"));
    const int at = combo->findText(QStringLiteral("Memo2: TzdMemoView"));
    ASSERT_GE(at, 0);
    insp->ObjectChosen(at);
    EXPECT_EQ(d->Selection, (std::vector<TzdComponent*>{memo2}));
    EXPECT_EQ(changes, 1);
    EXPECT_GE(insp->FindRow(QStringLiteral("DataField")), 0);
}

} // namespace

namespace {

TEST_F(Inspector, AnObjectFreedUnderTheInspectorPaintsWithoutRaising)
{
    select({memo2});
    delete memo2;
    memo2 = nullptr;
    // Painting and typing on the stale rows show messages, nothing escapes.
    EXPECT_NO_THROW(grid()->grab());
    EXPECT_NO_THROW(QTest::keyClick(edit(), Qt::Key_Down));
    insp->SetSelectedObjects({memo1});
    EXPECT_GE(insp->FindRow(QStringLiteral("Left")), 0);
}

} // namespace
