// Documents and raw jobs through the private scheduler, checked on what its
// capture backend received.
#include "CupsSandbox.h"
#include "Exceptions.h"
#include "ScriptedServices.h"
#include "zdPrinter.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace plat;

namespace {

QString pdfInfo(const QString& file)
{
    QByteArray out;
    printtest::Run(QStringLiteral("pdfinfo -f 1 -l 99 '%1'").arg(file), &out);
    return QString::fromUtf8(out);
}

int pageCount(const QString& info)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"),
                                                         QRegularExpression::MultilineOption)
                                          .match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// "Page    2 size: 595 x 842 pts (A4)" -> "595 x 842" (the PDF writer gives
// page boxes in whole points)
QString pageSize(const QString& info, int page)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Page\\s+%1 size:\\s+([0-9.]+ x [0-9.]+) pts").arg(page),
                           QRegularExpression::MultilineOption)
            .match(info);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString pageText(const QString& file, int page)
{
    QByteArray out;
    printtest::Run(QStringLiteral("pdftotext -enc UTF-8 -f %1 -l %1 '%2' -").arg(page).arg(file), &out);
    return QString::fromUtf8(out).simplified();
}

QString saveData(const printtest::CapturedJob& job, const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("job-%1.pdf").arg(job.id));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(job.data);
    return path;
}

// Draws "Strana N" at 10 mm from the paper's corner, as the print loop
// places a page: at minus the unprintable margins.
void drawPage(TzdCustomPrinter& p, int n)
{
    TzdPrinterCanvas& c = *p.Canvas();
    const int dpi = p.DPI().X;
    const auto px = [dpi](long double mm) { return int(std::nearbyint(mm * dpi / 25.4L)); };
    const int ox = -px(p.LeftMargin()), oy = -px(p.TopMargin());
    c.Brush().SetStyle(bsClear);
    c.Font().SetName(QStringLiteral("Arial"));
    c.Font().SetSize(20);
    c.TextOut(ox + px(10), oy + px(10), QStringLiteral("Strana %1 žluťoučká").arg(n));
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clBlack);
    c.FillRect(Bounds(ox + px(10), oy + px(30), px(20), px(20)));
}

TzdPrinter* printerOf(TzdPrinters& list, const char* name)
{
    return static_cast<TzdPrinter*>(list.Items(list.IndexOf(QString::fromLatin1(name))));
}

} // namespace

TEST_F(SandboxTest, ThreePagesArriveAsOnePdfWithTheirTextAndSize)
{
    TzdPrinters list;
    TzdPrinter* p = printerOf(list, "ZdA4");
    list.SetPrinterIndex(list.IndexOf(QStringLiteral("ZdA4")));
    p->SetTitle(QStringLiteral("Štítky"));
    ASSERT_TRUE(p->BeginDocument());
    EXPECT_TRUE(p->Printing());
    for (int n = 1; n <= 3; ++n) {
        p->SetPrintParameters(DMPAPER_A4, n == 3 ? poLandscape : poPortrait, 1, 0, DMBIN_AUTO, 0, 0);
        p->BeginPage();
        drawPage(*p, n);
        p->EndPage();
    }
    ASSERT_TRUE(p->EndDocument());
    EXPECT_FALSE(p->Printing());

    const QList<printtest::CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    const printtest::CapturedJob& job = jobs[0];
    EXPECT_EQ(job.type, QStringLiteral("application/pdf"));
    EXPECT_EQ(job.title, QStringLiteral("Štítky"));
    EXPECT_EQ(job.copies, QStringLiteral("1"));
    EXPECT_TRUE(job.HasOption(QStringLiteral("PageSize=A4"))) << job.options.toStdString();
    QTemporaryDir dir;
    const QString pdf = saveData(job, dir);
    const QString info = pdfInfo(pdf);
    EXPECT_EQ(pageCount(info), 3) << info.toStdString();
    EXPECT_EQ(pageSize(info, 1), QStringLiteral("595 x 842"));
    EXPECT_EQ(pageSize(info, 2), QStringLiteral("595 x 842"));
    EXPECT_EQ(pageSize(info, 3), QStringLiteral("842 x 595"));
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(pageText(pdf, n), QStringLiteral("Strana %1 žluťoučká").arg(n));
    EXPECT_EQ(printtest::Run(QStringLiteral("qpdf --check '%1' >/dev/null 2>&1").arg(pdf)), 0);
}

// The page's origin lands on the paper's corner: the black square drawn at
// 10 mm from the corner is there on the rendered page.
TEST_F(SandboxTest, PageOriginIsThePapersCorner)
{
    TzdPrinters list;
    TzdPrinter* p = printerOf(list, "ZdA4");
    list.SetPrinterIndex(0);
    ASSERT_TRUE(p->BeginDocument());
    p->SetPrintParameters(11, poPortrait, 1, 0, DMBIN_AUTO, 0, 0);
    p->BeginPage();
    drawPage(*p, 1);
    p->EndPage();
    ASSERT_TRUE(p->EndDocument());
    const QList<printtest::CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    QTemporaryDir dir;
    const QString pdf = saveData(jobs[0], dir);
    EXPECT_TRUE(jobs[0].HasOption(QStringLiteral("PageSize=A5")));
    // 254 dpi: one pixel is a tenth of a millimetre.
    ASSERT_EQ(printtest::Run(QStringLiteral("pdftoppm -r 254 -png -singlefile '%1' '%2'")
                                 .arg(pdf, dir.filePath(QStringLiteral("page")))),
              0);
    QImage img(dir.filePath(QStringLiteral("page.png")));
    ASSERT_NEAR(img.width(), 1480, 2); // the page box is in whole points
    auto dark = [&](int x, int y) { return qGray(img.pixel(x, y)) < 80; };
    EXPECT_TRUE(dark(105, 305));
    EXPECT_TRUE(dark(295, 495));
    EXPECT_FALSE(dark(95, 305));
    EXPECT_FALSE(dark(105, 295));
    EXPECT_FALSE(dark(305, 400));
}

TEST_F(SandboxTest, TrayDuplexAndCopiesChangesStartNewJobsOfTheSameTitle)
{
    TzdPrinters list;
    TzdPrinter* p = printerOf(list, "ZdA4");
    list.SetPrinterIndex(0);
    p->SetTitle(QStringLiteral("Mix"));
    ASSERT_TRUE(p->BeginDocument());
    struct PageCase {
        int bin, duplex, copies;
    } pages[] = {
        {DMBIN_UPPER, 1, 1}, {DMBIN_UPPER, 1, 1}, // one job of two pages
        {DMBIN_LOWER, 1, 1},                      // another tray
        {DMBIN_LOWER, 2, 1},                      // other sides
        {DMBIN_LOWER, 2, 3},                      // more copies
    };
    int n = 0;
    for (const PageCase& c : pages) {
        p->SetPrintParameters(DMPAPER_A4, poPortrait, c.copies, c.duplex, c.bin, 0, 0);
        p->BeginPage();
        drawPage(*p, ++n);
        p->EndPage();
    }
    ASSERT_TRUE(p->EndDocument());
    const QList<printtest::CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 4);
    ASSERT_EQ(jobs.size(), 4);
    for (const printtest::CapturedJob& j : jobs)
        EXPECT_EQ(j.title, QStringLiteral("Mix"));
    EXPECT_TRUE(jobs[0].HasOption(QStringLiteral("InputSlot=Upper"))) << jobs[0].options.toStdString();
    EXPECT_TRUE(jobs[0].HasOption(QStringLiteral("Duplex=DuplexNoTumble"))) << jobs[0].options.toStdString();
    EXPECT_TRUE(jobs[1].HasOption(QStringLiteral("InputSlot=Lower")));
    EXPECT_TRUE(jobs[1].HasOption(QStringLiteral("Duplex=DuplexNoTumble")));
    EXPECT_TRUE(jobs[2].HasOption(QStringLiteral("InputSlot=Lower")));
    EXPECT_TRUE(jobs[2].HasOption(QStringLiteral("Duplex=DuplexTumble")));
    EXPECT_EQ(jobs[2].copies, QStringLiteral("1"));
    EXPECT_EQ(jobs[3].copies, QStringLiteral("3"));
    EXPECT_TRUE(jobs[3].HasOption(QStringLiteral("multiple-document-handling=separate-documents-uncollated-copies")));
    QTemporaryDir dir;
    const int expectedPages[] = {2, 1, 1, 1};
    int first = 1;
    for (int i = 0; i < 4; ++i) {
        const QString pdf = saveData(jobs[i], dir);
        EXPECT_EQ(pageCount(pdfInfo(pdf)), expectedPages[i]);
        EXPECT_EQ(pageText(pdf, 1), QStringLiteral("Strana %1 žluťoučká").arg(first));
        first += expectedPages[i];
    }
}

TEST_F(SandboxTest, RawBytesArriveUnchanged)
{
    TzdPrinters list;
    TzdPrinter* p = printerOf(list, "ZdLetter");
    list.SetPrinterIndex(1);
    // Every byte value, with printer escape sequences and a form feed.
    QByteArray bytes("\x1b@\x1b\x45tučně\x1b\x46\r\n", 14);
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    bytes.append("\x1b" "E" "\x0c" "\x00\x00\xff", 6);
    p->SetTitle(QStringLiteral("Matice"));
    ASSERT_TRUE(p->BeginRawDocument());
    for (qsizetype i = 0; i < bytes.size(); i += 100) // sent in pieces, as the export sends its file
        p->WriteRawData(bytes.mid(i, 100));
    ASSERT_TRUE(p->EndRawDocument());
    const QList<printtest::CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdLetter"), 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].type, QStringLiteral("application/vnd.cups-raw"));
    EXPECT_EQ(jobs[0].title, QStringLiteral("Matice"));
    QTemporaryDir dir;
    const QString expected = dir.filePath(QStringLiteral("expected.prn"));
    QFile f(expected);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    EXPECT_EQ(printtest::Run(QStringLiteral("cmp '%1' '%2'").arg(expected, jobs[0].dataFile)), 0);
}

TEST_F(SandboxTest, RefusedQueueGivesTheErrorAndFalse)
{
    ASSERT_EQ(printtest::Run(QStringLiteral("cupsreject -r 'paper jam' ZdLetter")), 0);
    ScriptedServices ui;
    ScopedServices use(ui);
    TzdPrinters list;
    TzdPrinter* p = printerOf(list, "ZdLetter");
    list.SetPrinterIndex(1);
    p->SetFileName(QString());
    ASSERT_TRUE(p->BeginDocument());
    p->BeginPage();
    drawPage(*p, 1);
    p->EndPage();
    EXPECT_FALSE(p->EndDocument());
    EXPECT_FALSE(p->Printing());
    const auto boxes = ui.CallsOf(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("ZdLetter: "))) << boxes[0].text.toStdString();
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Chyba"));
    // Raw jobs too.
    ASSERT_TRUE(p->BeginRawDocument());
    p->WriteRawData("x");
    EXPECT_FALSE(p->EndRawDocument());
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 2u);
    ASSERT_EQ(printtest::Run(QStringLiteral("cupsaccept ZdLetter")), 0);
}

TEST_F(SandboxTest, AbortLeavesNoJob)
{
    TzdPrinters list;
    TzdPrinter* p = printerOf(list, "ZdA4");
    list.SetPrinterIndex(0);
    p->SetTitle(QStringLiteral("Přerušeno"));
    p->SetFileName(QStringLiteral("/tmp/sorvamet-never.prn"));
    ASSERT_TRUE(p->BeginDocument());
    for (int n = 1; n <= 2; ++n) {
        p->SetPrintParameters(DMPAPER_A4, poPortrait, 1, n, DMBIN_AUTO, 0, 0); // two jobs' worth
        p->BeginPage();
        drawPage(*p, n);
        p->EndPage();
    }
    p->AbortDocument();
    EXPECT_FALSE(p->Printing());
    EXPECT_EQ(p->FileName(), QString());
    EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/sorvamet-never.prn")));
    // A job sent afterwards is the first and only one the queue sees.
    p->SetTitle(QStringLiteral("Po přerušení"));
    ASSERT_TRUE(p->BeginRawDocument());
    p->WriteRawData("after");
    ASSERT_TRUE(p->EndRawDocument());
    const QList<printtest::CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].title, QStringLiteral("Po přerušení"));
    EXPECT_EQ(jobs[0].data, QByteArray("after"));
}

TEST_F(SandboxTest, PrintToFileWritesThePdfAtomicallyAndOnlyOnce)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("tisk.prn"));
    {
        QFile old(out);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier printout");
    }
    TzdPrinters list;
    TzdPrinter* p = printerOf(list, "ZdA4");
    list.SetPrinterIndex(0);
    p->SetFileName(out);
    ASSERT_TRUE(p->BeginDocument());
    for (int n = 1; n <= 2; ++n) {
        // A tray change would start another job; a file holds them all.
        p->SetPrintParameters(DMPAPER_A4, poPortrait, 1, 0, n == 1 ? DMBIN_UPPER : DMBIN_LOWER, 0, 0);
        p->BeginPage();
        drawPage(*p, n);
        p->EndPage();
        // Nothing shows before the document ends.
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("earlier printout"));
    }
    ASSERT_TRUE(p->EndDocument());
    EXPECT_EQ(p->FileName(), QString()); // the next document goes to the printer again
    const QString info = pdfInfo(out);
    EXPECT_EQ(pageCount(info), 2) << info.toStdString();
    EXPECT_EQ(pageText(out, 2), QStringLiteral("Strana 2 žluťoučká"));

    // A file that cannot be written: the error, false, and the old file stays.
    ScriptedServices ui;
    ScopedServices use(ui);
    p->SetFileName(dir.filePath(QStringLiteral("missing/folder/tisk.prn")));
    bool began = false;
    try {
        began = p->BeginDocument();
        p->BeginPage();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("missing/folder"))) << e.message().toStdString();
    }
    EXPECT_TRUE(began);
    p->AbortDocument();
    EXPECT_EQ(p->FileName(), QString());

    // And nothing of it reached the queue: the next raw job is the first.
    ASSERT_TRUE(p->BeginRawDocument());
    p->WriteRawData("sentinel");
    ASSERT_TRUE(p->EndRawDocument());
    const QList<printtest::CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].data, QByteArray("sentinel"));
}
