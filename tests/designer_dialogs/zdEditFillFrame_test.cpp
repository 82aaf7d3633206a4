// The fill and frame editors: their models on plain values, and the windows
// driven offscreen through the dialogs service.

#include "DialogTestUtil.h"
#include "Exceptions.h"
#include "zdClass_fill.h"
#include "zdDesignerDialogsQt.h"
#include "zdEditFill.h"
#include "zdEditFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QToolButton>

namespace {

using dlgtest::child;
using dlgtest::driveDialog;

struct FillCase {
    TzdFillType kind;
    const char* className;
};

TEST(FillEditor, FieldsMakeAFillOfTheActiveTabsKind)
{
    for (const FillCase& c : {FillCase{ftBrush, "TzdBrushFill"}, FillCase{ftGradient, "TzdGradientFill"},
                              FillCase{ftGlass, "TzdGlassFill"}}) {
        zd::FillFields f;
        f.Kind = c.kind;
        f.BrushStyle = plat::bsCross;
        f.GradientStyle = gsElliptic;
        f.Blend = QStringLiteral("0,25");
        auto fill = zd::applyFillFields(f);
        ASSERT_TRUE(fill);
        EXPECT_EQ(fill->ClassType()->ClassName(), QString::fromLatin1(c.className));
        if (auto* glass = dynamic_cast<TzdGlassFill*>(fill.get()))
            EXPECT_DOUBLE_EQ(double(glass->Blend), 0.25);
        if (auto* brush = dynamic_cast<TzdBrushFill*>(fill.get()))
            EXPECT_EQ(brush->Style, plat::bsCross);
    }
}

TEST(FillEditor, ABlendThatIsNoNumberMakesNoFill)
{
    zd::FillFields f;
    f.Kind = ftBrush; // even on another tab the blend must be a number
    f.Blend = QStringLiteral("0.5x");
    EXPECT_THROW(zd::applyFillFields(f), plat::Exception);
}

struct FillDialog : dlgtest::ReportFixture {
    TzdQtDesignerDialogs dialogs;
};

TEST_F(FillDialog, AShapesFillOffersOnlyTheBrushAndReturnsABrush)
{
    TzdGradientFill gradient;
    std::unique_ptr<TzdCustomFill> result;
    bool brushOnly = false;
    auto run = driveDialog(
        [&](QDialog& d) {
            auto* pages = child<QTabWidget>(d, "PageControl");
            brushOnly = pages->isTabVisible(0) && !pages->isTabVisible(1) && !pages->isTabVisible(2);
        },
        QStringLiteral("OKB"));
    ASSERT_TRUE(dialogs.EditFill(&gradient, true, result));
    EXPECT_TRUE(brushOnly);
    EXPECT_NE(dynamic_cast<TzdBrushFill*>(result.get()), nullptr);
}

TEST_F(FillDialog, AGradientOpensOnItsTabAndTheBrushTabGivesTheWorkingBrush)
{
    TzdGradientFill gradient;
    gradient.StartColor = plat::clRed;
    std::unique_ptr<TzdCustomFill> result;
    int opened = -1;
    auto run = driveDialog(
        [&](QDialog& d) {
            auto* pages = child<QTabWidget>(d, "PageControl");
            opened = pages->currentIndex();
            EXPECT_FALSE(child<QWidget>(d, "PaintBox1")->grab().isNull());
            pages->setCurrentIndex(0);
        },
        QStringLiteral("OKB"));
    ASSERT_TRUE(dialogs.EditFill(&gradient, false, result));
    EXPECT_EQ(opened, 1);
    auto* brush = dynamic_cast<TzdBrushFill*>(result.get());
    ASSERT_NE(brush, nullptr);
    EXPECT_EQ(brush->Style, plat::bsSolid);
}

TEST_F(FillDialog, ATypedBlendIsKeptAndABadOneKeepsTheDialogOpen)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    TzdGlassFill glass;
    memo->SetFill(&glass);
    const QByteArray before = snapshot();
    std::unique_ptr<TzdCustomFill> result;
    bool stayedOpen = false;
    ui.AnswerMessage(plat::IDOK);
    auto run = driveDialog(
        [&](QDialog& d) {
            auto* blend = child<QLineEdit>(d, "GlassBlendE");
            blend->selectAll();
            QTest::keyClicks(blend, "0,7x");
            QTest::mouseClick(child<QAbstractButton>(d, "OKB"), Qt::LeftButton);
            stayedOpen = d.isVisible() && d.result() != QDialog::Accepted;
            QTest::keyClick(blend, Qt::Key_Backspace);
        },
        QStringLiteral("OKB"));
    ASSERT_TRUE(dialogs.EditFill(memo->Fill(), false, result));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(snapshot(), before); // the dialog works on its own copy
    memo->SetFill(result.get());
    EXPECT_DOUBLE_EQ(double(static_cast<TzdGlassFill*>(memo->Fill())->Blend), 0.7);
    EXPECT_TRUE(snapshot().contains("Fill.Blend=\"0.7\"")) << snapshot().toStdString();
}

TEST_F(FillDialog, CancelReturnsNoFill)
{
    TzdBrushFill brush;
    std::unique_ptr<TzdCustomFill> result;
    auto run = driveDialog(
        [](QDialog& d) { child<QComboBox>(d, "BrushStyleCB")->setCurrentIndex(3); }, QStringLiteral("CancelB"));
    EXPECT_FALSE(dialogs.EditFill(&brush, false, result));
    EXPECT_FALSE(result);
}

// ---------------------------------------------------------------- frame

TEST(FrameEditor, SwitchingOffASideDrawnOtherwiseRestylesIt)
{
    zd::FrameEditModel m;
    m.SetLineColor(plat::clRed);
    m.All();
    m.SetLineColor(plat::clBlue); // restyles the whole frame
    m.Frame().TopLine()->Color = plat::clRed;
    m.ToggleSide(ftTop, false);
    EXPECT_TRUE(m.HasSide(ftTop));
    EXPECT_EQ(m.Frame().TopLine()->Color, plat::clBlue);
    m.ToggleSide(ftTop, false);
    EXPECT_FALSE(m.HasSide(ftTop));
}

TEST(FrameEditor, AllAndNone)
{
    zd::FrameEditModel m;
    m.SetLineWidth(2);
    m.All();
    EXPECT_EQ(m.Frame().Typ, (TzdFrameTypes{ftLeft, ftRight, ftTop, ftBottom}));
    EXPECT_EQ(m.Frame().LeftLine()->Width, 2);
    m.None();
    EXPECT_TRUE(m.Frame().Typ.empty());
}

struct FrameDialog : dlgtest::ReportFixture {
    TzdQtDesignerDialogs dialogs;
};

TEST_F(FrameDialog, TypedWidthsWithCommaOrPointApplyToEverySide)
{
    for (const char* typed : {"2,5", "2.5"}) {
        TzdFrame frame;
        auto run = driveDialog(
            [&](QDialog& d) {
                QTest::mouseClick(child<QToolButton>(d, "FrameAllB"), Qt::LeftButton);
                auto* width = child<QComboBox>(d, "LineWidthCB");
                width->lineEdit()->selectAll();
                QTest::keyClicks(width->lineEdit(), typed);
            },
            QStringLiteral("OkB"));
        ASSERT_TRUE(dialogs.EditFrame(frame));
        for (TzdFrameType side : {ftLeft, ftRight, ftTop, ftBottom})
            EXPECT_DOUBLE_EQ(double(frame.Line(side)->Width), 2.5) << typed;
        EXPECT_EQ(frame.Typ, (TzdFrameTypes{ftLeft, ftRight, ftTop, ftBottom}));
    }
}

TEST_F(FrameDialog, ATypedWidthThatIsNoNumberKeepsThePreviousOneAndIsReportedOnLeaving)
{
    TzdFrame frame;
    frame.SetWidth(3);
    auto run = driveDialog(
        [&](QDialog& d) {
            auto* width = child<QComboBox>(d, "LineWidthCB");
            width->lineEdit()->setFocus();
            width->lineEdit()->selectAll();
            QTest::keyClicks(width->lineEdit(), "-"); // on the way to "-1"? no: stays invalid
            EXPECT_TRUE(ui.CallsOf(QStringLiteral("MessageBox")).empty()); // nothing while typing
            emit width->lineEdit()->editingFinished();
            EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
            EXPECT_EQ(width->currentText(), QStringLiteral("3"));
        },
        QStringLiteral("OkB"));
    ui.AnswerMessage(plat::IDOK);
    ASSERT_TRUE(dialogs.EditFrame(frame));
    EXPECT_EQ(frame.Width(), 3);
}

TEST_F(FrameDialog, UntickingShadowGreysItsControlsAndOkGivesTheFrameInTheTemplate)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    TzdFrame frame;
    frame.Assign(memo->Frame());
    bool greyed = false;
    auto run = driveDialog(
        [&](QDialog& d) {
            auto* shadow = child<QCheckBox>(d, "ShadowCB");
            shadow->setChecked(true);
            shadow->setChecked(false);
            greyed = !child<QComboBox>(d, "ShadowWidthCB")->isEnabled();
            EXPECT_FALSE(child<QWidget>(d, "FrameSample")->grab().isNull());
            QTest::mouseClick(child<QToolButton>(d, "FrameTopB"), Qt::LeftButton);
        },
        QStringLiteral("OkB"));
    ASSERT_TRUE(dialogs.EditFrame(frame));
    EXPECT_TRUE(greyed);
    memo->SetFrame(&frame);
    EXPECT_TRUE(snapshot().contains("Frame.Typ=\"4\"")) << snapshot().toStdString();
}

TEST_F(FrameDialog, CancelLeavesTheFrameAsItWas)
{
    TzdFrame frame;
    frame.Typ = {ftLeft};
    auto run = driveDialog([&](QDialog& d) { QTest::mouseClick(child<QToolButton>(d, "FrameAllB"), Qt::LeftButton); },
                           QStringLiteral("CancelB"));
    EXPECT_FALSE(dialogs.EditFrame(frame));
    EXPECT_EQ(frame.Typ, TzdFrameTypes{ftLeft});
}

} // namespace
