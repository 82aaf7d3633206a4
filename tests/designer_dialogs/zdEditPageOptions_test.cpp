// Page options: fields in the designer's unit, every number checked before
// anything is written, the subreports' pages changed alike.

#include "DialogTestUtil.h"
#include "Exceptions.h"
#include "StringList.h"
#include "zdClass_band.h"
#include "zdDesignerDialogsQt.h"
#include "zdEditPageOptions.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace {

using dlgtest::child;
using dlgtest::driveDialog;

struct PageOptions : dlgtest::ReportFixture {
    PageOptions()
    {
        page->SetPaperFormat(plat::DMPAPER_USER, 210, 297);
        page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
    }
};

TEST_F(PageOptions, FieldsShowTheUnitAndOkWritesMillimetres)
{
    zd::PageOptionsFields f = zd::pageOptionsOf(page, ruCM, nullptr);
    EXPECT_EQ(f.Width, QStringLiteral("21"));
    EXPECT_EQ(f.MarginLeft, QStringLiteral("1"));
    f.MarginLeft = QStringLiteral("2,5");
    f.MarginBottom = QStringLiteral("1.5");
    f.Duplex = 2;
    f.MirrorMargins = true;
    zd::applyPageOptions(page, f, ruCM, nullptr);
    EXPECT_DOUBLE_EQ(double(page->LeftMargin), 25);
    EXPECT_DOUBLE_EQ(double(page->BottomMargin), 15);
    EXPECT_EQ(page->Duplex, dmHorizontal);
    EXPECT_TRUE(page->MirrorMargins);
    const QByteArray xml = snapshot();
    EXPECT_TRUE(xml.contains("LeftMargin=\"25\"")) << xml.toStdString();
}

TEST_F(PageOptions, ANumberThatDoesNotParseLeavesThePageUntouched)
{
    const QByteArray before = snapshot();
    using Field = QString zd::PageOptionsFields::*;
    for (Field field : {&zd::PageOptionsFields::Width, &zd::PageOptionsFields::Height,
                        &zd::PageOptionsFields::MarginLeft, &zd::PageOptionsFields::MarginTop,
                        &zd::PageOptionsFields::MarginRight, &zd::PageOptionsFields::MarginBottom,
                        &zd::PageOptionsFields::Columns, &zd::PageOptionsFields::ColumnWidth}) {
        zd::PageOptionsFields f = zd::pageOptionsOf(page, ruCM, nullptr);
        f.Landscape = true; // would be written first
        f.MarginLeft = QStringLiteral("3");
        f.*field = QStringLiteral("1x");
        EXPECT_THROW(zd::applyPageOptions(page, f, ruCM, nullptr), plat::Exception);
        EXPECT_EQ(snapshot(), before);
    }
    zd::PageOptionsFields f = zd::pageOptionsOf(page, ruCM, nullptr);
    f.ColumnPositions = QStringList{QStringLiteral("0"), QStringLiteral("a")};
    EXPECT_THROW(zd::applyPageOptions(page, f, ruCM, nullptr), plat::Exception);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(PageOptions, ThreeColumnsSpreadOverThePrintableWidth)
{
    zd::PageOptionsFields f = zd::pageOptionsOf(page, ruCM, nullptr);
    f.Columns = QStringLiteral("3");
    zd::spreadColumns(f, ruCM);
    EXPECT_EQ(f.ColumnWidth, QStringLiteral("6.33"));
    EXPECT_EQ(f.ColumnPositions, (QStringList{"0", "6.33", "12.67"}));
}

TEST_F(PageOptions, CharacterUnitsShowWholeMargins)
{
    page->LeftMargin = 13;
    const zd::PageOptionsFields f = zd::pageOptionsOf(page, ruChars, nullptr);
    EXPECT_EQ(f.MarginLeft, QStringLiteral("5")); // 13 mm = 5.12 characters of 9.6 pixels
    EXPECT_FALSE(f.MarginTop.contains(u'.'));
}

TEST_F(PageOptions, ASubreportsPageChangesAlike)
{
    auto* second = new TzdReportPage(&report);
    second->SetParent(&report);
    second->SetName(QStringLiteral("Page2"));
    auto* band = add<TzdBand>(page, "Band1");
    auto* sub = add<TzdSubreport>(band, "Subreport1");
    sub->SetPage(second);
    zd::PageOptionsFields f = zd::pageOptionsOf(page, ruCM, nullptr);
    f.MarginTop = QStringLiteral("4");
    zd::applyPageOptions(page, f, ruCM, nullptr);
    EXPECT_DOUBLE_EQ(double(second->TopMargin), 40);
}

struct PageDialog : PageOptions {
    TzdQtDesignerDialogs dialogs;
};

TEST_F(PageDialog, OkWritesTheTypedMarginsIntoTheTemplate)
{
    auto run = driveDialog(
        [](QDialog& d) {
            auto* left = child<QLineEdit>(d, "MarginLeftE");
            left->selectAll();
            QTest::keyClicks(left, "3,5");
        },
        QStringLiteral("OkB"));
    ASSERT_TRUE(dialogs.EditPage(page));
    EXPECT_DOUBLE_EQ(double(page->LeftMargin), 35);
    EXPECT_TRUE(snapshot().contains("LeftMargin=\"35\""));
}

TEST_F(PageDialog, CancelLeavesTheTemplateByteIdentical)
{
    const QByteArray before = snapshot();
    auto run = driveDialog(
        [](QDialog& d) {
            child<QLineEdit>(d, "MarginLeftE")->setText(QStringLiteral("7"));
            child<QRadioButton>(d, "LandscapeRB")->setChecked(true);
            child<QSpinBox>(d, "ColumnsNumberE")->setValue(3);
        },
        QStringLiteral("CancelB"));
    EXPECT_FALSE(dialogs.EditPage(page));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(PageDialog, ABadNumberKeepsTheDialogOpenAndChangesNothing)
{
    const QByteArray before = snapshot();
    ui.AnswerMessage(plat::IDOK);
    bool stayedOpen = false;
    auto run = driveDialog(
        [&](QDialog& d) {
            child<QRadioButton>(d, "LandscapeRB")->setChecked(true);
            child<QLineEdit>(d, "MarginTopE")->setText(QStringLiteral("abc"));
            QTest::mouseClick(child<QAbstractButton>(d, "OkB"), Qt::LeftButton);
            stayedOpen = d.result() != QDialog::Accepted;
            EXPECT_EQ(snapshot(), before);
        },
        QStringLiteral("CancelB"));
    EXPECT_FALSE(dialogs.EditPage(page));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(snapshot(), before);
}

} // namespace
