// The barcode editor dialog through its controls: it opens on the object's
// values with a readable sample, stores every field on OK, and a bad zoom
// keeps the dialog open with the object untouched.

#include "Dialogs2TestUtil.h"
#include "zdBarcodeEditorForm.h"
#include "zdDialogsSecondHalf.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>

using namespace dlg2;

namespace {

struct BarcodeDialog : Fixture {
    TzdBarCodeView* barcode = nullptr;
    BarcodeDialog()
    {
        addOrders();
        auto* band = add<TzdMasterData>(page, "MasterData1");
        barcode = add<TzdBarCodeView>(band, "Barcode1");
        barcode->BarType = bcCode128;
        barcode->Expression = QStringLiteral("<Orders.\"Name\">");
    }
};

TEST_F(BarcodeDialog, OpensOnTheObjectWithADecodableSample)
{
    TzdBarcodeEditorForm form;
    form.SetBarcode(barcode);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Editor čárového kódu"));
    EXPECT_EQ(form.TypeCB->currentText(), QStringLiteral("Code128"));
    EXPECT_EQ(form.TypeCB->count(), 25);
    EXPECT_EQ(form.CodeE->text(), QStringLiteral("<Orders.\"Name\">"));
    EXPECT_TRUE(form.Rotation0RB->isChecked());
    const QString zbar = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbar.isEmpty())
        GTEST_SKIP() << "zbarimg is not installed";
    const QString png = dir.filePath(QStringLiteral("sample.png"));
    ASSERT_TRUE(form.SampleImage().scaled(form.SampleImage().size() * 3).save(png));
    QProcess p;
    p.start(zbar, {QStringLiteral("--quiet"), QStringLiteral("--raw"), png});
    ASSERT_TRUE(p.waitForFinished());
    EXPECT_EQ(QString::fromLatin1(p.readAllStandardOutput()).trimmed(), QStringLiteral("12345678"));
}

TEST_F(BarcodeDialog, OkStoresEveryFieldInTheTemplate)
{
    Runner run([](QDialog& d) {
        child<QLineEdit>(d, "CodeE")->setText(QStringLiteral("123"));
        child<QComboBox>(d, "TypeCB")->setCurrentText(QStringLiteral("EAN13"));
        child<QCheckBox>(d, "CalcCheckSumCB")->setChecked(true);
        child<QCheckBox>(d, "ViewTextCB")->setChecked(false);
        child<QLineEdit>(d, "ZoomE")->setText(QStringLiteral(" 2,5 "));
        child<QRadioButton>(d, "Rotation90RB")->click();
        child<QPushButton>(d, "OkB")->click();
    });
    ASSERT_TRUE(zd::dialogs::EditBarcode(barcode));
    EXPECT_EQ(barcode->Expression, QStringLiteral("123"));
    EXPECT_EQ(barcode->BarType, bcCodeEAN13);
    EXPECT_TRUE(barcode->CalcCheckSum);
    EXPECT_FALSE(barcode->ShowText);
    EXPECT_EQ(double(barcode->Zoom), 2.5);
    EXPECT_EQ(barcode->Rotation, 90);
    const QByteArray xml = saved();
    EXPECT_TRUE(xml.contains("Rotation=\"90\"")) << xml.constData();
    EXPECT_TRUE(xml.contains("Zoom=\"2.5\"")) << xml.constData();
    EXPECT_TRUE(xml.contains("Expression=\"123\"")) << xml.constData();
}

TEST_F(BarcodeDialog, BadZoomKeepsTheDialogOpenAndTheObjectUnchanged)
{
    const QByteArray before = saved();
    bool stayedOpen = false;
    Runner run([&](QDialog& d) {
        child<QComboBox>(d, "TypeCB")->setCurrentText(QStringLiteral("EAN13"));
        child<QRadioButton>(d, "Rotation180RB")->click();
        child<QLineEdit>(d, "ZoomE")->setText(QStringLiteral("dva"));
        child<QPushButton>(d, "OkB")->click();
        stayedOpen = d.result() != QDialog::Accepted;
        child<QPushButton>(d, "CancelB")->click();
    });
    EXPECT_FALSE(zd::dialogs::EditBarcode(barcode));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages().size(), 1);
    EXPECT_EQ(saved(), before);
}

TEST_F(BarcodeDialog, CancelLeavesTheTemplateByteIdentical)
{
    const QByteArray before = saved();
    Runner run([](QDialog& d) {
        child<QLineEdit>(d, "CodeE")->setText(QStringLiteral("zmena"));
        child<QRadioButton>(d, "Rotation270RB")->click();
        child<QPushButton>(d, "CancelB")->click();
    });
    EXPECT_FALSE(zd::dialogs::EditBarcode(barcode));
    EXPECT_EQ(saved(), before);
}

} // namespace
