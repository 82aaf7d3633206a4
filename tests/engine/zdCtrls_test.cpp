#include "zdCtrls.h"

#include "EngineTestUtil.h"
#include "FontEngine.h"
#include "Graphics.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <limits>

namespace {

// A scroll window that counts its position notices.
class CountingScrollWin : public TzdScrollWin {
public:
    using TzdScrollWin::TzdScrollWin;
    int horzChanges = 0;
    int vertChanges = 0;

protected:
    void HorzPositionChanged() override { ++horzChanges; }
    void VertPositionChanged() override { ++vertChanges; }
};

QColor pixelAt(QWidget& w, int x, int y)
{
    return w.grab().toImage().pixelColor(x, y);
}

QColor resolved(plat::TColor c)
{
    return plat::ToQColor(plat::ColorToRGB(c));
}

// A TrueType family the font engine lists, for the font combo's tests.
QString someTrueTypeFamily(int skip = 0)
{
    for (const plat::FontFamilyInfo& info : plat::FontEngine::Instance().FamilyInfos())
        if ((info.fontType & plat::TRUETYPE_FONTTYPE) && skip-- == 0)
            return info.name;
    return {};
}

// Clicks row `row` of an open combo list, as the user picks an item.
void clickListRow(QComboBox& combo, int row)
{
    QAbstractItemView* view = combo.view();
    const QRect r = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
}

struct ComboFixture : ::testing::Test {
    void SetUp() override
    {
        host.resize(400, 300);
        host.move(0, 0);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }
    QWidget host;
};

} // namespace

// ------------------------------------------------------------ TzdScrollWin

TEST(ScrollWin, APageLargerThanTheRangeKeepsPositionsAtZeroWithAnEmptyBar)
{
    CountingScrollWin win;
    win.SetHorzRange(50);
    win.SetHorzPage(200);
    win.SetHorzPosition(10);
    EXPECT_EQ(win.HorzPosition(), 0);
    EXPECT_EQ(win.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(win.horzChanges, 0);
}

TEST(ScrollWin, OnlyARealChangeNotifiesAndTheBarFollows)
{
    CountingScrollWin win;
    win.SetVertRange(1000);
    win.SetVertPage(100);
    win.SetVertPosition(250);
    win.SetVertPosition(250);
    EXPECT_EQ(win.vertChanges, 1);
    EXPECT_EQ(win.verticalScrollBar()->value(), 250);
    EXPECT_EQ(win.verticalScrollBar()->maximum(), 900);
    EXPECT_EQ(win.verticalScrollBar()->pageStep(), 100);
    // A smaller range takes the position back within it, with a notice.
    win.SetVertRange(300);
    EXPECT_EQ(win.VertPosition(), 200);
    EXPECT_EQ(win.vertChanges, 2);
}

TEST(ScrollWin, BarCommandsUseTheWindowsStepsAndBottomStopsAtRangeLessPage)
{
    CountingScrollWin win;
    win.SetSmallChange(8);
    win.SetLargeChange(300);
    win.SetVertRange(5000);
    win.SetVertPage(400);
    win.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(win.VertPosition(), 300); // the large change, not the page
    win.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(win.VertPosition(), 308);
    win.verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(win.VertPosition(), 4600);
    win.WMVScroll(zd::ScrollCode::Top);
    EXPECT_EQ(win.VertPosition(), 0);
    win.WMVScroll(zd::ScrollCode::Bottom);
    EXPECT_EQ(win.VertPosition(), 4600);
    win.WMVScroll(zd::ScrollCode::EndScroll);
    EXPECT_EQ(win.VertPosition(), 4600);
    win.verticalScrollBar()->setSliderPosition(1234); // dragging the thumb
    EXPECT_EQ(win.VertPosition(), 1234);
}

TEST(ScrollWin, ExtremeRangesAndStepsDoNotOverflow)
{
    constexpr int kMax = std::numeric_limits<int>::max();
    CountingScrollWin win;
    win.SetLargeChange(kMax);
    win.SetSmallChange(kMax);
    win.SetHorzRange(kMax);
    win.SetHorzPage(std::numeric_limits<int>::min());
    win.SetHorzPosition(kMax);
    EXPECT_EQ(win.HorzPosition(), kMax);
    win.WMHScroll(zd::ScrollCode::PageDown);
    win.WMHScroll(zd::ScrollCode::LineDown);
    EXPECT_EQ(win.HorzPosition(), kMax);
    win.WMHScroll(zd::ScrollCode::PageUp);
    EXPECT_EQ(win.HorzPosition(), 0);
    win.WMHScroll(zd::ScrollCode::PageUp);
    EXPECT_EQ(win.HorzPosition(), 0);
}

TEST(ScrollWin, TheWheelIsLeftToTheWindowsUser)
{
    CountingScrollWin win;
    win.SetVertRange(1000);
    win.SetVertPage(100);
    win.resize(200, 200);
    QWheelEvent wheel(QPointF(10, 10), win.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(win.viewport(), &wheel);
    EXPECT_FALSE(wheel.isAccepted()); // so it goes on to the parent
    EXPECT_EQ(win.VertPosition(), 0);
}

TEST(ScrollWin, PaintsItsColourAndWantsEveryKey)
{
    CountingScrollWin win;
    win.SetBorderStyle(plat::bsNone);
    win.SetColor(plat::clRed);
    win.resize(60, 40);
    EXPECT_EQ(pixelAt(win, 30, 20), QColor(Qt::red));
    EXPECT_EQ(win.frameShape(), QFrame::NoFrame);
    win.SetBorderStyle(plat::bsSingle);
    EXPECT_NE(win.frameShape(), QFrame::NoFrame);

    QWidget parent;
    auto* first = new CountingScrollWin(&parent);
    auto* next = new QPushButton(&parent);
    parent.show();
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_FALSE(next->hasFocus());
}

// ------------------------------------------------------------ TzdComboBox

TEST_F(ComboFixture, TheListIsAsWideAsTheBoxOrItsListWidth)
{
    auto* combo = new TzdComboBox(&host);
    combo->setObjectName("ZoomCB");
    for (const char* text : {"25%", "50%", "75%", "100%"})
        combo->AddItem(text);
    combo->setGeometry(10, 10, 49, 21);
    combo->showPopup();
    QWidget* list = combo->view()->window();
    ASSERT_NE(list, &host);
    EXPECT_EQ(list->width(), 49);
    EXPECT_EQ(list->height(), combo->ItemHeight() * 4 + 2);
    EXPECT_EQ(combo->ButtonState(), zd::ComboButtonState::Pressed);
    combo->hidePopup();
    EXPECT_FALSE(combo->ListOpen());

    combo->SetListWidth(100);
    combo->SetDropDownCount(2);
    combo->showPopup();
    EXPECT_EQ(combo->view()->window()->width(), 100);
    EXPECT_EQ(combo->view()->window()->height(), combo->ItemHeight() * 2 + 2);
    combo->hidePopup();
}

TEST_F(ComboFixture, TheListOpensUpwardsNearTheScreensBottom)
{
    const QRect screen = host.screen()->geometry();
    auto* combo = new TzdComboBox(&host);
    for (int i = 0; i < 8; ++i)
        combo->AddItem(QString::number(i));
    host.move(0, screen.height() - 60);
    combo->setGeometry(0, 10, 100, 21);
    combo->showPopup();
    EXPECT_TRUE(combo->ListOpensUpwards());
    EXPECT_EQ(combo->view()->window()->geometry().bottom() + 1, combo->mapToGlobal(QPoint(0, 0)).y());
    combo->hidePopup();
    host.move(0, 0);
    combo->showPopup();
    EXPECT_FALSE(combo->ListOpensUpwards());
    EXPECT_EQ(combo->view()->window()->y(), combo->mapToGlobal(QPoint(0, 21)).y());
    combo->hidePopup();
}

TEST_F(ComboFixture, BorderAndButtonShowNormalHotAndPressed)
{
    auto* combo = new TzdComboBox(&host);
    combo->AddItem("a");
    combo->setGeometry(10, 10, 100, 21);
    const zd::ComboLook look = zd::comboLook(100, 21, 0);
    const QPoint inButton(look.button.Left + 1, look.button.Top + 2);

    EXPECT_EQ(combo->ButtonState(), zd::ComboButtonState::Normal);
    EXPECT_EQ(pixelAt(*combo, 0, 0), resolved(plat::clBtnFace));
    EXPECT_EQ(pixelAt(*combo, inButton.x(), inButton.y()), resolved(plat::clBtnFace));
    EXPECT_EQ(combo->lineEdit()->geometry(), look.edit.toQRect());

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(15, 15));
    QApplication::sendEvent(combo, &enter);
    EXPECT_EQ(combo->ButtonState(), zd::ComboButtonState::Hot);
    EXPECT_EQ(pixelAt(*combo, 0, 0), resolved(plat::clHighlight));
    EXPECT_EQ(pixelAt(*combo, inButton.x(), inButton.y()),
              plat::ToQColor(zdBlendColors(plat::clHighlight, plat::clWindow, 30)));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(combo, &leave);
    EXPECT_EQ(combo->ButtonState(), zd::ComboButtonState::Normal);

    combo->showPopup();
    EXPECT_EQ(pixelAt(*combo, inButton.x(), inButton.y()),
              plat::ToQColor(zdBlendColors(plat::clHighlight, plat::clWindow, 50)));
    combo->hidePopup();

    combo->setEnabled(false);
    EXPECT_EQ(pixelAt(*combo, 0, 0), resolved(plat::clBtnShadow));
    EXPECT_EQ(pixelAt(*combo, 1, 10), resolved(plat::clBtnFace));
}

TEST_F(ComboFixture, PickingAnItemClicksAndTypingKeepsTheItemsSpelling)
{
    auto* combo = new TzdComboBox(&host);
    combo->setGeometry(10, 10, 120, 21);
    for (const char* text : {"Arial", "Tahoma", "Verdana"})
        combo->AddItem(text);
    int clicks = 0;
    int drops = 0;
    combo->OnClick = [&] { ++clicks; };
    combo->OnDropDown = [&] { ++drops; };
    combo->showPopup();
    clickListRow(*combo, 1);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(combo->Text(), "Tahoma");

    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), "TAHOMA");
    EXPECT_EQ(combo->Text(), "Tahoma");
    EXPECT_EQ(combo->lineEdit()->cursorPosition(), 6);
    QTest::keyClicks(combo->lineEdit(), "x");
    EXPECT_EQ(combo->Text(), "Tahomax");

    combo->SetReadOnly(true);
    EXPECT_TRUE(combo->lineEdit()->isReadOnly());
}

TEST(ComboBox, SortedKeepsItemsInOrderIgnoringCase)
{
    TzdComboBox combo;
    combo.AddItem("b");
    combo.AddItem("C");
    combo.AddItem("a");
    combo.SetSorted(true);
    combo.AddItem("B2");
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    EXPECT_EQ(items, (QStringList{"a", "b", "B2", "C"}));
}

// ------------------------------------------------------------ TzdFontComboBox

TEST_F(ComboFixture, FontListMarksTrueTypeFontsAndRemembersTheChoice)
{
    const QString first = someTrueTypeFamily(0);
    const QString second = someTrueTypeFamily(1);
    ASSERT_FALSE(second.isEmpty()) << "needs two TrueType families installed";
    enginetest::TempSettings file;

    auto* combo = new TzdFontComboBox(&host);
    combo->setObjectName("FontNameCB");
    combo->setGeometry(10, 10, 150, 21);
    combo->SetMRUSettings(file.Open());
    EXPECT_EQ(combo->MRULast(), -1);
    EXPECT_EQ(combo->currentIndex(), 0);
    const int at = combo->findText(second);
    ASSERT_GT(at, 0);
    EXPECT_TRUE(combo->FontType(at) & plat::TRUETYPE_FONTTYPE);
    EXPECT_EQ(combo->itemData(at).toInt(), combo->FontType(at));

    int ownClicks = 0;
    combo->OnClick = [&] { ++ownClicks; };
    combo->showPopup();
    EXPECT_TRUE(combo->Preview()->isVisible());
    clickListRow(*combo, at);
    EXPECT_FALSE(combo->Preview()->isVisible());
    EXPECT_EQ(ownClicks, 1);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(combo->itemText(0), second);
    EXPECT_EQ(combo->Text(), second);
    EXPECT_EQ(combo->MRULast(), 0);
    combo->MRUSettings()->UpdateFile();

    // A new combo on the same settings shows it on top.
    auto* again = new TzdFontComboBox(&host);
    again->SetMRUSettings(file.Open());
    EXPECT_EQ(again->MRULast(), 0);
    EXPECT_EQ(again->itemText(0), second);
    EXPECT_GT(again->findText(second, Qt::MatchFixedString), -1);
    (void)first;
}

TEST_F(ComboFixture, OnlyAChoiceFromTheOpenListReordersTheFonts)
{
    auto* combo = new TzdFontComboBox(&host);
    combo->setGeometry(10, 10, 150, 21);
    ASSERT_GT(combo->count(), 3);
    const QString third = combo->itemText(3);
    combo->setFocus();
    combo->setCurrentIndex(2);
    QTest::keyClick(combo, Qt::Key_Down); // moves the selection, the list stays closed
    EXPECT_EQ(combo->currentIndex(), 3);
    EXPECT_EQ(combo->MRULast(), -1);
    combo->showPopup();
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    EXPECT_EQ(combo->MRULast(), -1);
    EXPECT_EQ(combo->itemText(3), third);
}

TEST_F(ComboFixture, SampleWindowSitsBesideTheBoxAndItemsFitTheGlyph)
{
    auto* combo = new TzdFontComboBox(&host);
    combo->setGeometry(10, 10, 150, 21);
    combo->showPopup();
    const QPoint corner = combo->mapToGlobal(QPoint(150, 21));
    EXPECT_EQ(combo->Preview()->pos(), QPoint(corner.x() + 1, corner.y()));
    EXPECT_EQ(combo->Preview()->size(), QSize(200, 50));
    EXPECT_EQ(combo->Preview()->Panel()->text(), combo->itemText(0));
    combo->hidePopup();

    QFont tiny = combo->font();
    tiny.setPixelSize(6);
    combo->setFont(tiny);
    EXPECT_EQ(combo->ItemHeight(), TzdFontComboBox::TrueTypeGlyph().height() + 1);
    QFont big = combo->font();
    big.setPixelSize(30);
    combo->setFont(big);
    EXPECT_EQ(combo->ItemHeight(), zd::fontTextHeight(big));
}

TEST(FontComboBox, AnEmptyKeyStoresTheDefaultKey)
{
    TzdFontComboBox combo;
    combo.SetMRURegKey("\\Software\\X");
    EXPECT_EQ(combo.MRURegKey(), "\\Software\\X");
    combo.SetMRURegKey("");
    EXPECT_EQ(combo.MRURegKey(), "\\Software\\Rure Viroraz\\MRUFont");
    EXPECT_TRUE(combo.ShowMRU());
}

// ------------------------------------------------------------ TzdComboEdit

TEST(ComboEdit, TheButtonFocusesTheEditThenFires)
{
    QDialog dialog;
    auto* edit = new TzdComboEdit(&dialog);
    edit->setObjectName("ExprE");
    auto* other = new QPushButton(&dialog);
    other->move(0, 40);
    edit->resize(150, 21);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    other->setFocus();
    bool focusedFirst = false;
    edit->OnButtonClick = [&] { focusedFirst = edit->hasFocus(); };
    QTest::mouseClick(edit->Button(), Qt::LeftButton);
    EXPECT_TRUE(focusedFirst);
    EXPECT_EQ(edit->Button()->parentWidget()->geometry(), QRect(150 - 21 + 2, 2, 17, 17));

    edit->SetButtonEnabled(false);
    EXPECT_FALSE(edit->Button()->isEnabled());
    edit->SetButtonEnabled(true);
    edit->setEnabled(false);
    EXPECT_FALSE(edit->Button()->isEnabled());
    edit->setEnabled(true);
    EXPECT_TRUE(edit->Button()->isEnabled());
    edit->SetButtonHint("Upravit");
    EXPECT_EQ(edit->Button()->toolTip(), "Upravit");
}

TEST(ComboEdit, EnterAndEscapeReachTheDialogsButtons)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QDialog dialog;
        auto* edit = new TzdComboEdit(&dialog);
        auto* ok = new QPushButton("OK", &dialog);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        dialog.show();
        edit->setFocus();
        QTest::keyClick(edit, key);
        EXPECT_EQ(dialog.result(), key == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_FALSE(dialog.isVisible());
    }
}
