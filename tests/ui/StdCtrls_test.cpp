#include "Exceptions.h"
#include "Modal.h"
#include "ScriptedServices.h"
#include "StdCtrls.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace plat;

namespace {

// A shown form to put controls on; tests type and click on real widgets.
struct FormFixture : ::testing::Test {
    TForm form{nullptr};
    void SetUp() override
    {
        form.SetBounds(0, 0, 400, 300);
        form.Dialog()->show();
        QApplication::processEvents();
    }
    template <class C>
    C* make(int left = 10, int top = 10, TWinControl* parent = nullptr)
    {
        auto* c = new C(&form);
        c->SetParent(parent ? parent : &form);
        c->SetBounds(left, top, 100, 22);
        return c;
    }
};

using StdControls = FormFixture;

TEST_F(StdControls, CheckBoxClicksCycleThroughGrayedOnlyWhenAllowed)
{
    auto* box = make<TCheckBox>();
    int clicks = 0;
    box->OnClick = TNotifyEvent([&](TObject*) { ++clicks; }, nullptr, nullptr);
    struct Case {
        bool allowGrayed;
        std::vector<TCheckBoxState> states;
    };
    for (const Case& c : {Case{false, {cbChecked, cbUnchecked, cbChecked}},
                          Case{true, {cbChecked, cbGrayed, cbUnchecked, cbChecked}}}) {
        box->SetAllowGrayed(c.allowGrayed);
        box->SetState(cbUnchecked);
        for (TCheckBoxState expected : c.states) {
            QTest::mouseClick(box->Widget(), Qt::LeftButton, {}, QPoint(6, box->Height() / 2));
            EXPECT_EQ(box->State(), expected) << "AllowGrayed " << c.allowGrayed;
        }
    }
    EXPECT_GT(clicks, 0);
    // Grayed set by the program even without AllowGrayed, as the platform allows.
    box->SetAllowGrayed(false);
    box->SetState(cbGrayed);
    EXPECT_EQ(box->State(), cbGrayed);
    EXPECT_FALSE(box->Checked());
}

TEST_F(StdControls, RadioButtonsGroupByParentAndTheProgramMayUncheck)
{
    auto* panel = make<TPanel>(200, 10);
    panel->SetBounds(200, 10, 150, 150);
    auto* a = make<TRadioButton>(10, 10);
    auto* b = make<TRadioButton>(10, 40);
    auto* other = make<TRadioButton>(5, 5, panel);
    other->SetChecked(true);
    a->SetChecked(true);
    QTest::mouseClick(b->Widget(), Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(other->Checked()) << "a radio button on another parent is another group";
    b->SetChecked(false);
    EXPECT_FALSE(b->Checked());
    EXPECT_FALSE(a->Checked());
}

TEST_F(StdControls, SpeedButtonsOfOneGroupIndexKeepOneDown)
{
    auto* a = make<TSpeedButton>(10, 10);
    auto* b = make<TSpeedButton>(40, 10);
    auto* loose = make<TSpeedButton>(70, 10);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    loose->SetGroupIndex(2);
    loose->SetDown(true);
    QTest::mouseClick(a->Widget(), Qt::LeftButton);
    EXPECT_TRUE(a->Down());
    QTest::mouseClick(b->Widget(), Qt::LeftButton);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(loose->Down());
    QTest::mouseClick(b->Widget(), Qt::LeftButton);
    EXPECT_TRUE(b->Down()) << "without AllowAllUp the down button stays down";
    b->SetAllowAllUp(true);
    QTest::mouseClick(b->Widget(), Qt::LeftButton);
    EXPECT_FALSE(b->Down());
    EXPECT_FALSE(a->Down());
    auto* ungrouped = make<TSpeedButton>(100, 10);
    ungrouped->SetDown(true);
    EXPECT_FALSE(ungrouped->Down()) << "a button of group 0 never stays down";
}

TEST_F(StdControls, KeyPressHandlerSwallowsOrReplacesTheKey)
{
    auto* edit = make<TEdit>();
    edit->OnKeyPress = TKeyPressEvent(
        [](TObject*, QChar& key) {
            if (key == QLatin1Char('x'))
                key = QChar();
            else if (key == QLatin1Char('a'))
                key = QLatin1Char('b');
        },
        nullptr, nullptr);
    edit->SetFocus();
    QTest::keyClicks(edit->Widget(), QStringLiteral("xaxc"));
    EXPECT_EQ(edit->Text(), QStringLiteral("bc"));
}

TEST_F(StdControls, KeyDownHandlerSettingKeyToZeroCancelsTheKey)
{
    auto* memo = make<TMemo>();
    std::vector<quint16> seen;
    memo->OnKeyDown = TKeyEvent(
        [&](TObject*, quint16& key, TShiftState) {
            seen.push_back(key);
            if (key == 'Q')
                key = 0;
        },
        nullptr, nullptr);
    QTest::keyClicks(memo->Widget(), QStringLiteral("pqr"));
    EXPECT_EQ(memo->Lines()->Text(), QStringLiteral("pr\r\n"));
    EXPECT_EQ(seen, (std::vector<quint16>{'P', 'Q', 'R'}));
}

TEST_F(StdControls, FormKeyPreviewSeesKeysFirst)
{
    auto* edit = make<TEdit>();
    form.SetKeyPreview(true);
    form.OnKeyPress = TKeyPressEvent([](TObject*, QChar& key) { key = key.toUpper(); }, nullptr, nullptr);
    QTest::keyClicks(edit->Widget(), QStringLiteral("ab"));
    EXPECT_EQ(edit->Text(), QStringLiteral("AB"));
}

TEST_F(StdControls, MaskedEditFollowsTheRuntimeMaskRules)
{
    auto* edit = make<TMaskEdit>();
    edit->SetEditMask(QStringLiteral("00/00;1;_"));
    EXPECT_EQ(edit->EditText(), QStringLiteral("__/__"));
    edit->SetFocus();
    static_cast<QLineEdit*>(edit->Widget())->setCursorPosition(0);
    QTest::keyClicks(edit->Widget(), QStringLiteral("1x234"));
    EXPECT_EQ(edit->EditText(), QStringLiteral("12/34")) << "a letter does not fit a digit place";
    EXPECT_EQ(edit->Text(), QStringLiteral("12/34"));
    edit->SetEditMask(QStringLiteral("00/00;0;_"));
    edit->SetText(QStringLiteral("56"));
    EXPECT_EQ(edit->EditText(), QStringLiteral("56/__"));
    EXPECT_EQ(edit->Text(), QStringLiteral("56  ")) << "literals are not saved with ;0";
    QTest::keyClick(edit->Widget(), Qt::Key_Backspace);
    EXPECT_EQ(edit->EditText(), QStringLiteral("56/__"));
}

TEST_F(StdControls, ListBoxIndexedMembersCheckTheirIndex)
{
    auto* list = make<TListBox>();
    list->Items()->SetText(QStringLiteral("a\r\nb\r\nc"));
    list->SetMultiSelect(true);
    list->SetSelected(0, true);
    list->SetSelected(2, true);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_TRUE(list->Selected(2));
    for (int bad : {-1, 3, 1000})
        try {
            list->Selected(bad);
            ADD_FAILURE() << bad;
        } catch (const EListError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("List index out of bounds (%1)").arg(bad));
        }
    EXPECT_THROW(list->SetSelected(3, true), EListError);

    auto* checks = make<TCheckListBox>(10, 100);
    checks->Items()->Add(QStringLiteral("one"));
    checks->SetState(0, cbGrayed);
    EXPECT_EQ(checks->State(0), cbGrayed);
    EXPECT_FALSE(checks->Checked(0));
    EXPECT_THROW(checks->SetChecked(1, true), EListError);
    EXPECT_THROW(checks->State(-1), EListError);
}

TEST_F(StdControls, ComboBoxTextItemIndexAndStyle)
{
    auto* combo = make<TComboBox>();
    int changes = 0;
    combo->OnChange = TNotifyEvent([&](TObject*) { ++changes; }, nullptr, nullptr);
    combo->Items()->SetText(QStringLiteral("Praha\r\nBrno"));
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(changes, 0) << "filling the list is no change of the text";
    combo->SetText(QStringLiteral("Brno"));
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->SetText(QStringLiteral("Ostrava"));
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), QStringLiteral("Ostrava"));
    combo->SetStyle(csDropDownList);
    combo->SetItemIndex(0);
    EXPECT_EQ(combo->Text(), QStringLiteral("Praha"));
    combo->SetItemIndex(7);
    EXPECT_EQ(combo->ItemIndex(), -1);
    QTest::keyClicks(combo->Widget(), QStringLiteral("B"));
    EXPECT_EQ(combo->Text(), QStringLiteral("Brno"));
    EXPECT_EQ(changes, 1);
}

TEST_F(StdControls, RenamingFollowsTheCaptionOnlyWhileTheyAgree)
{
    auto* button = make<TButton>();
    button->SetName(QStringLiteral("Button1"));
    EXPECT_EQ(button->Caption(), QStringLiteral("Button1"));
    button->SetName(QStringLiteral("OkB"));
    EXPECT_EQ(button->Caption(), QStringLiteral("OkB"));
    button->SetCaption(QStringLiteral("OK"));
    button->SetName(QStringLiteral("Ok2"));
    EXPECT_EQ(button->Caption(), QStringLiteral("OK"));
    auto* list = make<TListBox>();
    list->SetName(QStringLiteral("List1"));
    EXPECT_TRUE(list->Caption().isEmpty());
}

TEST_F(StdControls, PublishedPropertiesReachTheWidgets)
{
    auto* memo = make<TMemo>();
    SetPropValue(memo, u"Text", Variant(QStringLiteral("a\r\nb")));
    EXPECT_EQ(memo->Lines()->Count(), 2);
    SetPropValue(memo, u"WordWrap", Variant(false));
    EXPECT_EQ(static_cast<QPlainTextEdit*>(memo->Widget())->lineWrapMode(), QPlainTextEdit::NoWrap);
    SetPropValue(memo, u"Left", Variant(33));
    EXPECT_EQ(memo->Widget()->x(), 33);
    auto* box = make<TCheckBox>();
    SetPropValue(box, u"State", Variant(QStringLiteral("cbChecked")));
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(GetPropValue(box, u"Alignment").toString(), QStringLiteral("taRightJustify"));
    const TPropInfo* state = GetPropInfo(box, u"State");
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->PropType()->Name(), QStringLiteral("TCheckBoxState"));
}

TEST_F(StdControls, AnExceptionFromAHandlerIsReportedNotPassedToTheEventLoop)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    auto* button = make<TButton>();
    button->OnClick = TNotifyEvent([](TObject*) { throw EConvertError(QStringLiteral("bad value")); }, nullptr,
                                   nullptr);
    QTest::mouseClick(button->Widget(), Qt::LeftButton);
    ASSERT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox"))[0].text, QStringLiteral("bad value."));
}

TEST_F(StdControls, FreeingAWindowedControlFreesTheControlsOnIt)
{
    auto* panel = make<TPanel>();
    auto* inner = make<TEdit>(0, 0, panel);
    inner->SetName(QStringLiteral("Inner"));
    ASSERT_EQ(form.FindComponent(u"Inner"), inner);
    delete panel;
    EXPECT_EQ(form.FindComponent(u"Inner"), nullptr);
    EXPECT_EQ(form.ControlCount(), 0);
}

// ---------------------------------------------------------------- forms

TEST(Forms, CloseQueryFalseKeepsTheFormOpen)
{
    TForm form(nullptr);
    bool allow = false;
    int closes = 0;
    form.OnCloseQuery = TCloseQueryEvent([&](TObject*, bool& canClose) { canClose = allow; }, nullptr, nullptr);
    form.OnClose = TCloseEvent([&](TObject*, TCloseAction&) { ++closes; }, nullptr, nullptr);
    form.Dialog()->show();
    form.Close();
    EXPECT_TRUE(form.Dialog()->isVisible());
    EXPECT_FALSE(form.Dialog()->close()) << "the window's close button asks too";
    EXPECT_TRUE(form.Dialog()->isVisible());
    EXPECT_EQ(closes, 0);
    allow = true;
    form.Close();
    EXPECT_FALSE(form.Dialog()->isVisible());
    EXPECT_EQ(closes, 1);
}

TEST(Forms, ModalButtonsEndTheRunWithTheirResultUnlessCloseQueryRefuses)
{
    TForm form(nullptr);
    auto* ok = new TButton(&form);
    ok->SetParent(&form);
    ok->SetModalResult(mrOk);
    ok->SetBounds(10, 10, 75, 25);
    auto* cancel = new TButton(&form);
    cancel->SetParent(&form);
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    cancel->SetBounds(100, 10, 75, 25);
    int queries = 0;
    form.OnCloseQuery = TCloseQueryEvent([&](TObject*, bool& canClose) { canClose = ++queries > 1; }, nullptr,
                                         nullptr);
    // The real modal loop: the first OK is refused, the second one ends it.
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(ok->Widget(), Qt::LeftButton);
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(form.Dialog()->isVisible());
            EXPECT_EQ(form.ModalResult(), 0);
            QTest::mouseClick(ok->Widget(), Qt::LeftButton);
        });
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(queries, 2);
    // Escape presses the Cancel button.
    QTimer::singleShot(0, [&] { QTest::keyClick(form.Dialog(), Qt::Key_Escape); });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_FALSE(form.Dialog()->isVisible());
}

TEST(Forms, ShowModalGoesThroughTheModalRunner)
{
    TForm form(nullptr);
    ScopedModalRunner runner([](QDialog&) { return mrNo; });
    EXPECT_EQ(form.ShowModal(), mrNo);
    EXPECT_FALSE(form.Modal());
}

} // namespace
