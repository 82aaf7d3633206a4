// The designer window's formatting toolbars through their real buttons:
// colour buttons with their pickers, rotation menu, style combo, highlight
// editor, frame style picker, the extra-tools toolbar of wizards; the field
// drop-down of data-bound memos on the workspace; the button images and the
// workspace's cursors.

#include "WindowFixture.h"

#include "Exceptions.h"
#include "zdClass_highlight.h"
#include "zdClass_shape.h"
#include "zdClass_style.h"
#include "zdDataSets.h"
#include "zdDesgnCtrls.h"
#include "zdDesignerImages.h"
#include "zdEditHighlight.h"
#include "zdRes.h"
#include "zdWorkspaceTools.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMouseEvent>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {

using windowtest::Window;

// A dataset whose connection is gone: listing its fields fails.
class BrokenDataSet : public TzdUserDataSet {
public:
    using TzdUserDataSet::TzdUserDataSet;
    void GetFieldList(plat::TStrings&) override { throw plat::Exception(QStringLiteral("Spojení přerušeno")); }
};

// The pointer moves over a widget without a button (the event as the
// widget gets it; offscreen, QTest sends no move without a button).
void hoverAt(QWidget* w, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

struct Format : Window {
    TzdMemoView* memo(const char* name, long double left, long double top, TzdComponent* parent = nullptr)
    {
        auto* m = new TzdMemoView(&report);
        m->SetParent(parent ? parent : model().CurrentPage);
        m->SetName(QString::fromLatin1(name));
        m->SetBounds(left, top, 120, 24);
        model().RebuildObjects();
        return m;
    }
    void select(std::vector<TzdComponent*> objects)
    {
        model().SetSelection(std::move(objects));
        form->syncFromModel();
    }
    // The press of a drop-down button's arrow.
    void pressArrow(const char* name)
    {
        auto* b = child<TzdDropDownButton>(name);
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton, {}, b->ArrowRect().center());
    }
    TzdColorSelector* openPicker() const
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = dynamic_cast<TzdColorSelector*>(w->findChild<QWidget*>(QStringLiteral("zdColorSelector")));
                p && w->isVisible())
                return p;
        return nullptr;
    }
};

// The arrow of each colour button opens the picker; the colour chosen goes
// to every selected memo, and a later click on the button's face applies
// it again to the next selection.
TEST_F(Format, ColourButtonsApplyThePickedColourAndRememberIt)
{
    open();
    TzdMemoView* a = memo("MemoA", 10, 10);
    TzdMemoView* b = memo("MemoB", 10, 60);
    struct Case {
        const char* button;
        int tag;
        int entry; // the picker's table entry
        plat::TColor expected;
        std::function<plat::TColor(TzdMemoView*)> read;
    };
    const Case cases[] = {
        {"FontColorB", 5, 11, 0x0000FF, [](TzdMemoView* m) { return m->Font()->Color(); }},
        {"FillColorB", 26, 12, 0x00FF00, [](TzdMemoView* m) { return m->Color(); }},
        {"FrameColorB", 27, 14, 0xFF0000, [](TzdMemoView* m) { return m->Frame()->Color(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        select({a});
        TzdPopupForm::LastPopupCloseTick = -1000000;
        pressArrow(c.button);
        TzdColorSelector* picker = openPicker();
        ASSERT_NE(picker, nullptr);
        const int row = c.entry / 8, column = c.entry % 8;
        picker->Choose(column * 18 + 10, row * 18 + 10);
        QApplication::processEvents();
        EXPECT_EQ(c.read(a), c.expected);
        EXPECT_EQ(form->LastColor(c.tag), c.expected);
        EXPECT_TRUE(model().Modified);

        select({b});
        QTest::mouseClick(child<QToolButton>(c.button), Qt::LeftButton, {}, QPoint(4, 4));
        EXPECT_EQ(c.read(b), c.expected);
    }
    // The click that closed a picker does not open the next one.
    TzdPopupForm::LastPopupCloseTick = TzdPopupForm::Tick();
    EXPECT_EQ(form->OpenColorSelector(5), nullptr);
}

TEST_F(Format, RotationMenuTurnsTheSelectedMemos)
{
    open();
    TzdMemoView* a = memo("MemoA", 10, 10);
    select({a});
    QMenu* menu = form->RotationPopup();
    ASSERT_EQ(menu->actions().size(), 5);
    EXPECT_EQ(child<QToolButton>("RotateB")->menu(), menu);
    EXPECT_EQ(menu->actions().at(2)->text(), zdGetResources()->GetText(QStringLiteral("2458")));
    menu->findChild<QAction*>(QStringLiteral("Rotation90"))->trigger();
    EXPECT_EQ(a->Rotation(), 90);
    menu->findChild<QAction*>(QStringLiteral("Rotation270"))->trigger();
    EXPECT_EQ(a->Rotation(), 270);
    EXPECT_TRUE(model().Modified);
}

// The style combo lists "no style" and the report's styles, shows the
// selected memo's style and sets it.
TEST_F(Format, StyleComboListsTheReportsStylesAndSetsOne)
{
    TzdStyleItem* item = report.Styles()->Add();
    item->SetName(QStringLiteral("Nadpis"));
    open();
    TzdMemoView* a = memo("MemoA", 10, 10);
    select({a});
    auto* combo = child<QComboBox>("StyleCB");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), zdGetResources()->GetText(QStringLiteral("dsNoStyle")));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("Nadpis"));
    EXPECT_TRUE(combo->isEnabled());
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    EXPECT_EQ(a->Style(), QStringLiteral("Nadpis"));
    EXPECT_EQ(combo->currentIndex(), 1);
    emit combo->activated(0);
    EXPECT_TRUE(a->Style().isEmpty());
    // The page itself has no text style: the combo is off.
    select({model().CurrentPage});
    EXPECT_FALSE(combo->isEnabled());
}

// The highlight editor edits the first selected memo; the other selected
// memos take a copy of its highlights. Cancel changes nothing.
TEST_F(Format, HighlightButtonEditsTheFirstMemoAndCopiesToTheOthers)
{
    open();
    TzdMemoView* a = memo("MemoA", 10, 10);
    TzdMemoView* b = memo("MemoB", 10, 60);
    select({a, b});
    int result = QDialog::Rejected;
    plat::ScopedModalRunner runner([&](QDialog& d) {
        auto* editor = dynamic_cast<TzdHighlightEditorForm*>(&d);
        EXPECT_NE(editor, nullptr);
        if (editor)
            editor->Model().Add(QStringLiteral("<Value> > 100"));
        return result;
    });
    QTest::mouseClick(child<QToolButton>("HighlightB"), Qt::LeftButton);
    EXPECT_FALSE(model().Modified);
    EXPECT_TRUE(a->Highlights()->Count() == 0 || a->Highlight()->Condition.isEmpty());

    result = QDialog::Accepted;
    QTest::mouseClick(child<QToolButton>("HighlightB"), Qt::LeftButton);
    EXPECT_TRUE(model().Modified);
    ASSERT_NE(a->Highlight(), nullptr);
    EXPECT_EQ(a->Highlight()->Condition, QStringLiteral("<Value> > 100"));
    ASSERT_NE(b->Highlight(), nullptr);
    EXPECT_EQ(b->Highlight()->Condition, QStringLiteral("<Value> > 100"));
}

TEST_F(Format, FrameStylePickerSetsTheFrameStyle)
{
    open();
    TzdMemoView* a = memo("MemoA", 10, 10);
    select({a});
    TzdPopupForm::LastPopupCloseTick = -1000000;
    QTest::mouseClick(child<QToolButton>("FrameStyleB"), Qt::LeftButton);
    TzdLineSelector* picker = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = dynamic_cast<TzdLineSelector*>(w->findChild<QWidget*>(QStringLiteral("zdLineSelector")));
            p && w->isVisible())
            picker = p;
    ASSERT_NE(picker, nullptr);
    picker->Choose(2 * 16 + 10); // the dotted row
    EXPECT_EQ(a->Frame()->Style(), fsDot);
    EXPECT_TRUE(model().Modified);
}

// ---------------------------------------------------------------- extra tools

int g_wizardRuns = 0;

class TTestToolbarWizard : public TzdCustomWizard {
    PLAT_CLASS(TTestToolbarWizard, TzdCustomWizard)
public:
    using TzdCustomWizard::TzdCustomWizard;
    QString GetWizardCaption() const override { return QStringLiteral("Zkušební průvodce"); }
    bool RunWizard() override
    {
        ++g_wizardRuns;
        return true;
    }
};

} // namespace

PLAT_DEFINE_CLASS(TTestToolbarWizard, c) { (void)c; }

namespace {

TEST_F(Window, ExtraToolsToolbarIsHiddenWithoutToolbarWizards)
{
    open();
    auto* extra = child<QToolBar>("ExtraToolsTB");
    EXPECT_FALSE(extra->isVisible());
    EXPECT_TRUE(extra->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly).empty() ||
                extra->property("buttons").toInt() == 0);
    EXPECT_FALSE(form->findChild<QAction*>(QStringLiteral("ExtraToolsTBCmd"))->isVisible());
}

TEST_F(Window, AToolbarWizardGetsAButtonThatRunsIt)
{
    TzdWizardCollection* wizards = zdGetWizardRegistry();
    wizards->Register(TTestToolbarWizard::StaticClass(), 0);
    wizards->GetItem(wizards->Count() - 1).IsToolbarWizard = true;
    struct Unregister {
        ~Unregister() { zdGetWizardRegistry()->Unregister(TTestToolbarWizard::StaticClass()); }
    } unregister;
    open();
    QAction* menuItem = form->findChild<QAction*>(QStringLiteral("ExtraToolsTBCmd"));
    ASSERT_NE(menuItem, nullptr);
    EXPECT_TRUE(menuItem->isVisible());
    auto* button = child<QToolButton>("Wizard_TTestToolbarWizard");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Zkušební průvodce"));
    EXPECT_EQ(button->size(), QSize(22, 22));
    const int before = g_wizardRuns;
    menuItem->trigger();
    EXPECT_TRUE(child<QToolBar>("ExtraToolsTB")->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(g_wizardRuns, before + 1);
    EXPECT_TRUE(model().Modified);
}

// ---------------------------------------------------------------- field drop-down

struct FieldList : Format {
    TzdMasterData* band = nullptr;
    TzdMemoView* bound = nullptr;

    // The page (opened first, so that the report has its pages before any
    // dataset) with a master data band on the dataset and a memo on it.
    void build(const std::function<TzdDataSet*()>& makeDataSet)
    {
        open();
        TzdDataSet* ds = makeDataSet();
        model().workspace().GridAlign = false;
        band = new TzdMasterData(&report);
        band->SetParent(model().CurrentPage);
        band->SetName(QStringLiteral("MasterData1"));
        band->SetBounds(0, 40, 600, 40);
        band->SetDataSet(ds);
        bound = memo("Memo1", 20, 0, band);
        model().workspace().ArrangeBands(true);
        form->syncFromModel();
    }
    TzdUserDataSet* dataset(const char* alias, const QStringList& fields)
    {
        auto* ds = new TzdUserDataSet(&report);
        ds->SetUserName(QString::fromLatin1(alias));
        for (const QString& f : fields)
            ds->Fields()->Add(f);
        report.DataSets()->AddDataSet(ds);
        return ds;
    }
    // The drop-down button's centre in workspace pixels.
    QPoint buttonCentre() const
    {
        int x = 0, y = 0;
        form->Model().workspace().FieldListButton(x, y);
        return QPoint(x + 8, y + 8);
    }
    // The pointer moves over the workspace (the event as the widget gets it).
    void hover(QPoint at) { hoverAt(form->Workspace(), at); }
    QPoint overMemo() const
    {
        const long double s = form->Model().Scale();
        return QPoint(int((bound->GetAbsLeft() + 10) * s), int((bound->GetAbsTop() + 10) * s));
    }
};

TEST_F(FieldList, TheDropDownListsTheBandsFieldsAndBindsTheMemo)
{
    TzdUserDataSet* ds = nullptr;
    build([&] {
        return ds = dataset("Zbozi", {QStringLiteral("Kod"), QStringLiteral("Nazev"), QStringLiteral("Cena")});
    });
    bound->SetDataSet(ds);
    bound->SetDataField(QStringLiteral("Nazev"));
    TDesignerWorkspace* ws = form->Workspace();
    hover(overMemo());
    ASSERT_EQ(model().workspace().FieldListMemo(), bound);
    QTest::mousePress(ws, Qt::LeftButton, {}, buttonCentre());
    QWidget* popup = ws->FieldListPopup();
    ASSERT_NE(popup, nullptr);
    auto* list = popup->findChild<QListWidget*>(QStringLiteral("FieldListBox"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("Cena"));
    EXPECT_EQ(list->currentRow(), 1) << "the memo's field is selected";
    EXPECT_EQ(popup->width(), 140);
    // The list ends at the memo's right edge, 18 pixels below its top.
    const QPoint at = ws->mapFromGlobal(popup->geometry().topLeft());
    EXPECT_EQ(at.x() + 140, int(std::lround(double(bound->GetAbsLeft() + bound->Width()))));
    EXPECT_EQ(at.y(), int(std::lround(double(bound->GetAbsTop()))) + 18);
    EXPECT_FALSE(model().workspace().Pressed);

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    EXPECT_EQ(bound->DataField(), QStringLiteral("Cena"));
    EXPECT_EQ(bound->DataSet(), ds);
    EXPECT_TRUE(model().Modified);
    QApplication::processEvents();
    EXPECT_TRUE(ws->FieldListPopup() == nullptr || !ws->FieldListPopup()->isVisible());
}

// A dataset that fails to list its fields offers no drop-down: no button,
// no list, no message.
TEST_F(FieldList, AFailingDatasetOffersNoList)
{
    build([&] {
        auto* broken = new BrokenDataSet(&report);
        broken->SetUserName(QStringLiteral("Rozbite"));
        report.DataSets()->AddDataSet(broken);
        return broken;
    });
    TDesignerWorkspace* ws = form->Workspace();
    hover(overMemo());
    EXPECT_EQ(model().workspace().FieldListMemo(), nullptr);
    const long double s = model().Scale();
    QTest::mousePress(ws, Qt::LeftButton, {},
                      QPoint(int((bound->GetAbsLeft() + bound->Width() - 8) * s), int((bound->GetAbsTop() + 8) * s)));
    QTest::mouseRelease(ws, Qt::LeftButton, {},
                        QPoint(int((bound->GetAbsLeft() + bound->Width() - 8) * s), int((bound->GetAbsTop() + 8) * s)));
    EXPECT_EQ(ws->FieldListPopup(), nullptr);
    EXPECT_TRUE(messageBoxes().isEmpty());
}

// The button goes with the "DropFields" option and with memos that left
// the page.
TEST_F(FieldList, NoButtonWithoutTheOptionOrAfterTheMemoIsDeleted)
{
    build([&] { return dataset("Zbozi", {QStringLiteral("Kod")}); });
    TDesignerWorkspace* ws = form->Workspace();
    hover(overMemo());
    ASSERT_EQ(model().workspace().FieldListMemo(), bound);
    select({bound});
    model().Delete();
    bound = nullptr;
    EXPECT_EQ(model().workspace().FieldListMemo(), nullptr);
    EXPECT_NO_THROW(ws->repaint());

    bound = memo("Memo2", 20, 0, band);
    form->DropFields = false;
    form->syncFromModel();
    hover(overMemo());
    EXPECT_EQ(model().workspace().FieldListMemo(), nullptr);
}

// ---------------------------------------------------------------- images and cursors

TEST_F(Window, EveryToolbarButtonHasAnImage)
{
    open();
    for (const char* bar : {"StandardTB", "TextTB", "FrameTB", "AlignTB", "ObjectsTB1"})
        for (QToolButton* b : child<QToolBar>(bar)->findChildren<QToolButton*>()) {
            if (b->objectName().isEmpty() || b->objectName().startsWith(u"qt_"))
                continue;
            EXPECT_FALSE(b->icon().isNull()) << bar << " " << qPrintable(b->objectName());
        }
}

TEST_F(Window, ToolsAndHandlesShowTheDesignersCursors)
{
    open();
    TDesignerWorkspace* ws = form->Workspace();
    auto same = [](const QCursor& c, zd::DesignerCursor expected) {
        return c.shape() == Qt::BitmapCursor &&
               c.pixmap().toImage() == zd::designerCursorPixmap(expected).toImage();
    };
    const std::pair<const char*, zd::DesignerCursor> tools[] = {
        {"HandToolB", zd::crHand}, {"ZoomToolB", zd::crZoom}, {"TextToolB", zd::crText},
        {"FormatToolB", zd::crFormatPainter}};
    for (const auto& [button, cursor] : tools) {
        QTest::mouseClick(child<QToolButton>(button), Qt::LeftButton);
        hoverAt(ws, QPoint(50, 50));
        EXPECT_TRUE(same(ws->cursor(), cursor)) << button;
    }
    QTest::mouseClick(child<QToolButton>("SelectToolB"), Qt::LeftButton);
    // The bottom-right handle of a selected memo.
    auto* m = new TzdMemoView(&report);
    m->SetParent(model().CurrentPage);
    m->SetBounds(40, 40, 100, 30);
    model().RebuildObjects();
    model().SetSelection({m});
    form->syncFromModel();
    const long double s = model().Scale();
    hoverAt(ws, QPoint(int(140 * s), int(70 * s)));
    EXPECT_TRUE(same(ws->cursor(), zd::crSizeNWSE));
    hoverAt(ws, QPoint(int(140 * s), int(55 * s)));
    EXPECT_TRUE(same(ws->cursor(), zd::crSizeWE));
    // The line pencil while a line is armed.
    form->ArmInsertion(TzdLineView::StaticClass(), 0);
    hoverAt(ws, QPoint(300, 300));
    EXPECT_TRUE(same(ws->cursor(), zd::crPencil));
}

} // namespace

namespace {

TEST_F(Format, FontButtonAppliesTheFontDialogsChoice)
{
    open();
    TzdMemoView* a = memo("MemoA", 10, 10);
    select({a});
    ui.AnswerFont([](plat::TFont& f) {
        f.SetName(QStringLiteral("Times New Roman"));
        f.SetSize(14);
    });
    QTest::mouseClick(child<QToolButton>("FontB"), Qt::LeftButton);
    EXPECT_EQ(a->Font()->Name(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(a->Font()->Size(), 14);
    EXPECT_TRUE(model().Modified);
}

// In a dot-matrix report the font button drops down the dot-matrix style
// menu, whose items set and clear the style bits; the frame look and the
// style combo are off.
TEST_F(Window, InADotMatrixReportTheFontButtonShowsTheDotMatrixMenu)
{
    report.DotMatrixReport = true;
    open();
    ASSERT_NE(dynamic_cast<TzdDMPPage*>(model().CurrentPage), nullptr);
    auto* m = new TzdDMPMemoView(&report);
    m->SetParent(model().CurrentPage);
    m->SetName(QStringLiteral("DMPMemo1"));
    m->SetBounds(10, 10, 96, 34);
    model().RebuildObjects();
    model().SetSelection({m});
    form->syncFromModel();
    for (const char* off : {"FrameColorB", "FrameStyleB", "FrameWidthCB", "StyleCB", "FontNameCB"})
        EXPECT_FALSE(child(off)->isEnabled()) << off;
    EXPECT_TRUE(child("FontB")->isEnabled());

    QTest::mouseClick(child<QToolButton>("FontB"), Qt::LeftButton);
    auto* menu = form->findChild<QMenu*>(QStringLiteral("DMPPopup"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    ASSERT_EQ(menu->actions().size(), 9);
    QAction* bold = menu->findChild<QAction*>(QStringLiteral("DMPItem34"));
    ASSERT_NE(bold, nullptr);
    EXPECT_FALSE(bold->isChecked());
    bold->trigger();
    EXPECT_TRUE(m->FontStyle().contains(fsxBold));
    bold->trigger();
    EXPECT_FALSE(m->FontStyle().contains(fsxBold));
    menu->close();
}

} // namespace
