// The print dialog offscreen over the sandbox's printers: options into its
// controls and back, printer changes, cancelling, and one printed choice.
#include "CupsSandbox.h"
#include "Modal.h"
#include "ScriptedServices.h"
#include "SyntheticPages.h"
#include "zdPrintDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QTest>

using namespace plat;
using printtest::CapturedJob;
using printtest::SyntheticPages;

namespace {

template <typename W>
W* child(QWidget& form, const char* name)
{
    W* w = form.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

class PrintDialogTest : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        if (IsSkipped() || HasFailure())
            return;
        TzdPrinters* printers = zdPrinters();
        if (printers->IndexOf(QStringLiteral("ZdA4")) < 0)
            printers->FillPrinters();
        printers->SetPrinterIndex(printers->IndexOf(QStringLiteral("ZdA4")));
    }
    ScriptedServices ui;
    ScopedServices use{ui};
};

QStringList items(QComboBox* cb)
{
    QStringList list;
    for (int i = 0; i < cb->count(); ++i)
        list << cb->itemText(i);
    return list;
}

} // namespace

TEST_F(PrintDialogTest, OptionsBecomeControlsWhenShown)
{
    zd::PrintSettings o;
    o.Copies = 3;
    o.Collate = false;
    o.PageNumbers = QStringLiteral("2-4");
    o.PrintPages = ppEven;
    o.Reverse = true;
    o.PrintMode = pmScale;
    o.PrintOnSheet = DMPAPER_A5;
    TzdPrintDialog d(o, 0);
    d.DuplexMode = 2;
    d.FormShow();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Tisk"));
    EXPECT_EQ(child<QComboBox>(d, "PrintersCB")->currentText(), QStringLiteral("ZdA4"));
    EXPECT_EQ(child<QSpinBox>(d, "UpDown1")->value(), 3);
    EXPECT_FALSE(child<QCheckBox>(d, "CollateCB")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(d, "PageNumbersRB")->isChecked());
    EXPECT_EQ(child<QLineEdit>(d, "PageNumbersE")->text(), QStringLiteral("2-4"));
    EXPECT_EQ(child<QComboBox>(d, "PrintPagesCB")->currentText(), QStringLiteral("Sudé stránky"));
    EXPECT_EQ(child<QComboBox>(d, "OrderCB")->currentText(), QStringLiteral("Opačné (9-1)"));
    EXPECT_EQ(child<QComboBox>(d, "DuplexCB")->currentText(), QStringLiteral("po šířce"));
    EXPECT_EQ(child<QComboBox>(d, "PrintModeCB")->currentText(), QStringLiteral("Upravit měřítko"));
    QComboBox* paper = child<QComboBox>(d, "PagPageSizeCB");
    EXPECT_TRUE(paper->isEnabled());
    EXPECT_EQ(paper->currentText(), QStringLiteral("A5"));
    // The printer's papers without its own size, under the default item.
    EXPECT_EQ(items(paper), (QStringList{QStringLiteral("Výchozí"), QStringLiteral("Postcard"), QStringLiteral("A5"),
                                         QStringLiteral("A4"), QStringLiteral("Letter"), QStringLiteral("A3")}));
}

TEST_F(PrintDialogTest, ControlsBecomeOptionsOnOk)
{
    zd::PrintSettings o;
    TzdPrintDialog d(o, 0);
    d.FormShow();
    EXPECT_EQ(child<QComboBox>(d, "PagPageSizeCB")->currentText(), QStringLiteral("Výchozí"));
    EXPECT_FALSE(child<QComboBox>(d, "PagPageSizeCB")->isEnabled());
    child<QSpinBox>(d, "UpDown1")->setValue(4);
    child<QCheckBox>(d, "CollateCB")->setChecked(false);
    child<QLineEdit>(d, "PageNumbersE")->setText(QStringLiteral("1,3"));
    child<QRadioButton>(d, "PageNumbersRB")->setChecked(true);
    child<QComboBox>(d, "PrintPagesCB")->setCurrentIndex(ppOdd);
    child<QComboBox>(d, "OrderCB")->setCurrentIndex(1);
    child<QComboBox>(d, "DuplexCB")->setCurrentIndex(3);
    child<QComboBox>(d, "PrintModeCB")->setCurrentIndex(pmJoin);
    d.PrintModeCBClick();
    // Another mode than the default proposes A4.
    EXPECT_EQ(child<QComboBox>(d, "PagPageSizeCB")->currentText(), QStringLiteral("A4"));
    EXPECT_EQ(d.FormHide(1), 1);
    EXPECT_EQ(o.Copies, 4);
    EXPECT_FALSE(o.Collate);
    EXPECT_EQ(o.PageNumbers, QStringLiteral("1,3"));
    EXPECT_EQ(o.PrintPages, ppOdd);
    EXPECT_TRUE(o.Reverse);
    EXPECT_EQ(d.DuplexMode, 3);
    EXPECT_EQ(o.PrintMode, pmJoin);
    EXPECT_EQ(o.PrintOnSheet, DMPAPER_A4);
}

TEST_F(PrintDialogTest, TheDefaultSheetComesBackAsTheDefaultItem)
{
    zd::PrintSettings o;
    o.PrintMode = pmScale;
    o.PrintOnSheet = DMPAPER_USER;
    TzdPrintDialog d(o, 0);
    d.FormShow();
    EXPECT_EQ(child<QComboBox>(d, "PagPageSizeCB")->currentText(), QStringLiteral("Výchozí"));
    ASSERT_EQ(d.FormHide(1), 1);
    EXPECT_EQ(o.PrintOnSheet, DMPAPER_USER);
}

TEST_F(PrintDialogTest, EnteringThePageNumbersChoosesThem)
{
    zd::PrintSettings o;
    TzdPrintDialog d(o, 0);
    d.FormShow();
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_TRUE(child<QRadioButton>(d, "AllRB")->isChecked());
    QLineEdit* numbers = child<QLineEdit>(d, "PageNumbersE");
    numbers->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(child<QRadioButton>(d, "PageNumbersRB")->isChecked());
    QTest::keyClicks(numbers, QStringLiteral("3-"));
    EXPECT_EQ(d.FormHide(1), 1);
    EXPECT_EQ(o.PageNumbers, QStringLiteral("3-"));
    d.hide();
}

TEST_F(PrintDialogTest, CurrentPageIsTheShownOneOrTheFirstWithoutAPreview)
{
    for (int shown : {5, 0}) {
        zd::PrintSettings o;
        TzdPrintDialog d(o, shown);
        d.FormShow();
        child<QRadioButton>(d, "CurPageRB")->setChecked(true);
        // An emptied copies field counts as one copy.
        child<QSpinBox>(d, "UpDown1")->findChild<QLineEdit*>(QStringLiteral("CopiesE"))->clear();
        ASSERT_EQ(d.FormHide(1), 1);
        EXPECT_EQ(o.PageNumbers, shown ? QStringLiteral("5") : QStringLiteral("1"));
        EXPECT_EQ(o.Copies, 1);
        EXPECT_EQ(o.PrintOnSheet, DMPAPER_USER); // the default item
    }
}

TEST_F(PrintDialogTest, PrinterChangeKeepsAPaperTheNewPrinterHasAndResetsOneItLacks)
{
    zd::PrintSettings o;
    o.PrintMode = pmScale;
    for (const char* paperName : {"Letter", "A5"}) {
        o.PrintOnSheet = zdPrinters()->CurrentPrinter()->PaperNameToNumber(QString::fromLatin1(paperName));
        TzdPrintDialog d(o, 0);
        d.FormShow();
        QComboBox* printers = child<QComboBox>(d, "PrintersCB");
        QComboBox* paper = child<QComboBox>(d, "PagPageSizeCB");
        ASSERT_EQ(paper->currentText(), QString::fromLatin1(paperName));
        printers->setCurrentIndex(printers->findText(QStringLiteral("ZdLetter")));
        d.PrintersCBClick();
        EXPECT_EQ(zdPrinters()->CurrentPrinter()->Name(), QStringLiteral("ZdLetter"));
        EXPECT_EQ(items(paper), (QStringList{QStringLiteral("Výchozí"), QStringLiteral("Letter")}));
        EXPECT_EQ(paper->currentText(), QString::fromLatin1(paperName) == QLatin1String("Letter")
                                            ? QStringLiteral("Letter")
                                            : QStringLiteral("Výchozí"));
        // Cancel puts the printer of before the dialog back.
        EXPECT_EQ(d.FormHide(2), 2);
        EXPECT_EQ(zdPrinters()->CurrentPrinter()->Name(), QStringLiteral("ZdA4"));
    }
}

TEST_F(PrintDialogTest, DriverSidesBecomeTheDuplexChoice)
{
    struct {
        const char* printer;
        const char* sides;
        const char* expected;
    } cases[] = {{"ZdA4", "po délce", "po délce"}, {"ZdLetter", "jednostranně", "jednostranně"}};
    for (const auto& c : cases) {
        zdPrinters()->SetPrinterIndex(zdPrinters()->IndexOf(QString::fromLatin1(c.printer)));
        zd::PrintSettings o;
        TzdPrintDialog d(o, 0);
        d.FormShow();
        ScopedModalRunner runner([&c](QDialog& props) {
            auto* sides = props.findChild<QComboBox*>(QStringLiteral("DuplexCB"));
            sides->setCurrentIndex(sides->findText(QString::fromUtf8(c.sides)));
            return int(QDialog::Accepted);
        });
        d.PropButtonClick();
        EXPECT_EQ(child<QComboBox>(d, "DuplexCB")->currentText(), QString::fromUtf8(c.expected)) << c.printer;
        zdPrinters()->CurrentPrinter()->AbortDocument(); // the driver's choice lasts one document
    }
}

TEST_F(PrintDialogTest, OneRunOfChoicesGivesTheExpectedJob)
{
    SyntheticPages store(5);
    store.TitleText = QStringLiteral("dialog");
    store.Options.ShowDialog = true;
    ScopedModalRunner runner([](QDialog& d) {
        child<QLineEdit>(d, "PageNumbersE")->setText(QStringLiteral("2-5"));
        child<QRadioButton>(d, "PageNumbersRB")->setChecked(true);
        child<QComboBox>(d, "PrintPagesCB")->setCurrentIndex(ppEven);
        child<QComboBox>(d, "OrderCB")->setCurrentIndex(1);
        child<QSpinBox>(d, "UpDown1")->setValue(2);
        child<QCheckBox>(d, "CollateCB")->setChecked(false);
        child<QComboBox>(d, "DuplexCB")->setCurrentIndex(1);
        child<QPushButton>(d, "OkB")->click();
        return d.result();
    });
    ASSERT_TRUE(store.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].title, QStringLiteral("dialog"));
    EXPECT_EQ(jobs[0].copies, QStringLiteral("2"));
    EXPECT_TRUE(jobs[0].HasOption(QStringLiteral("Duplex=DuplexNoTumble"))) << jobs[0].options.toStdString();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("job.pdf"));
    {
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(jobs[0].data);
    }
    QByteArray text;
    printtest::Run(QStringLiteral("pdftotext '%1' -").arg(pdf), &text);
    EXPECT_EQ(QString::fromUtf8(text).simplified(), QStringLiteral("Strana 4 Strana 2"));
    // The choices lasted one job; the duplex choice stays.
    EXPECT_TRUE(store.Options.PageNumbers.isEmpty());
    EXPECT_EQ(store.Options.Copies, 1);
    EXPECT_EQ(store.Options.Duplex, dmVertical);
}

TEST_F(PrintDialogTest, PrintToFileWritesThePrnAndACancelledNameCancelsThePrint)
{
    QTemporaryDir dir;
    SyntheticPages store(2);
    store.Options.ShowDialog = true;
    ScopedModalRunner runner([](QDialog& d) {
        child<QCheckBox>(d, "FileCB")->setChecked(true);
        child<QPushButton>(d, "OkB")->click();
        return d.result();
    });
    ui.AnswerFile({dir.filePath(QStringLiteral("vystup.txt"))});
    ASSERT_TRUE(store.Print());
    const std::vector<ServiceCall> saves = ui.CallsOf(QStringLiteral("SaveDialog"));
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0].caption, QStringLiteral("Tisknout do souboru"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("vystup.prn"))));
    EXPECT_TRUE(zdPrinters()->CurrentPrinter()->FileName().isEmpty());

    ui.Cancel(QStringLiteral("SaveDialog"));
    store.Drawn.clear();
    EXPECT_FALSE(store.Print());
    EXPECT_TRUE(store.Drawn.empty());
    EXPECT_TRUE(zdPrinters()->CurrentPrinter()->FileName().isEmpty());
}

TEST_F(PrintDialogTest, EachPrintModeShowsItsOwnPictureBesideItsName)
{
    zd::PrintSettings o;
    TzdPrintDialog d(o, 0);
    QComboBox* modes = child<QComboBox>(d, "PrintModeCB");
    ASSERT_EQ(modes->count(), 4);
    QList<QImage> pictures;
    for (int i = 0; i < modes->count(); ++i) {
        const QImage picture = modes->itemData(i, Qt::DecorationRole).value<QImage>();
        EXPECT_EQ(picture.size(), QSize(64, 32)) << i;
        EXPECT_FALSE(pictures.contains(picture)) << i;
        pictures << picture;
    }
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 257, 34);
    option.palette = modes->palette();
    const QModelIndex index = modes->model()->index(2, 0);
    EXPECT_EQ(modes->itemDelegate()->sizeHint(option, index).height(), 34);
    // The picture lands at (2, 1) of the item.
    QImage item(257, 34, QImage::Format_ARGB32);
    item.fill(Qt::white);
    {
        QPainter p(&item);
        modes->itemDelegate()->paint(&p, option, index);
    }
    EXPECT_EQ(item.copy(2, 1, 64, 32).convertToFormat(QImage::Format_ARGB32),
              [&] {
                  QImage expected(64, 32, QImage::Format_ARGB32);
                  expected.fill(modes->palette().color(QPalette::Base));
                  QPainter p(&expected);
                  p.drawImage(0, 0, pictures[2]);
                  return expected;
              }());
}
