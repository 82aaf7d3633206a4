// The print loop over a synthetic five-page store, printed on the private
// scheduler's queues and checked on the captured jobs with poppler and PIL.
#include "CupsSandbox.h"
#include "ScriptedServices.h"
#include "SyntheticPages.h"

#include <cups/cups.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace plat;
using printtest::CapturedJob;
using printtest::SyntheticPages;
using printtest::paperOf;

namespace {

QString jobInfo(const QString& file)
{
    QByteArray out;
    printtest::Run(QStringLiteral("pdfinfo -f 1 -l 999 '%1'").arg(file), &out);
    return QString::fromUtf8(out);
}

int jobPageCount(const QString& info)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// "595 x 842" for every page, in order.
QStringList jobPageSizes(const QString& info)
{
    QStringList sizes;
    QRegularExpressionMatchIterator it =
        QRegularExpression(QStringLiteral("^Page\\s+\\d+ size:\\s+([0-9.]+) x ([0-9.]+) pts"),
                           QRegularExpression::MultilineOption)
            .globalMatch(info);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        sizes << QStringLiteral("%1 x %2").arg(qRound(m.captured(1).toDouble())).arg(qRound(m.captured(2).toDouble()));
    }
    return sizes;
}

// The text of each page, simplified; "" for an empty side.
QStringList jobTexts(const QString& file)
{
    QByteArray out;
    printtest::Run(QStringLiteral("pdftotext -enc UTF-8 '%1' -").arg(file), &out);
    QStringList pages = QString::fromUtf8(out).split(QChar(0x0c));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    for (QString& p : pages)
        p = p.simplified();
    return pages;
}

QString saveJob(const CapturedJob& job, const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("job-%1.pdf").arg(job.id));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(job.data);
    return path;
}

QString numbers(std::initializer_list<int> pages)
{
    QStringList texts;
    for (int p : pages)
        texts << QStringLiteral("Strana %1").arg(p);
    return texts.join(u'|');
}

// Every printer of the list comes from the sandbox's scheduler, ZdA4 current.
void useQueue(const char* name)
{
    TzdPrinters* printers = zdPrinters();
    if (printers->IndexOf(QStringLiteral("ZdA4")) < 0)
        printers->FillPrinters();
    printers->SetPrinterIndex(printers->IndexOf(QString::fromLatin1(name)));
}

// The test's store on ZdA4 without a dialog.
struct PrintCase {
    const char* name;
    int pages;
    QString pageNumbers;
    TzdPrintPages which;
    bool reverse;
    int copies;
    bool collate;
    QString expected; // pages of the captured document
    QString copiesArg; // the copies the backend got
};

class PrintLoop : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        if (IsSkipped() || HasFailure())
            return;
        useQueue("ZdA4");
    }
    ScriptedServices ui;
    ScopedServices use{ui};
};

} // namespace

TEST_F(PrintLoop, RangesOddEvenReverseAndCopiesGiveThePageSequence)
{
    const PrintCase cases[] = {
        {"all", 5, QString(), ppAll, false, 1, true, numbers({1, 2, 3, 4, 5}), QStringLiteral("1")},
        {"open range", 5, QStringLiteral("2-"), ppAll, false, 1, true, numbers({2, 3, 4, 5}), QStringLiteral("1")},
        {"list", 5, QStringLiteral("4, 1,3"), ppAll, false, 1, true, numbers({4, 1, 3}), QStringLiteral("1")},
        {"odd", 5, QString(), ppOdd, false, 1, true, numbers({1, 3, 5}), QStringLiteral("1")},
        {"even reversed", 5, QString(), ppEven, true, 1, true, numbers({4, 2}), QStringLiteral("1")},
        {"range reversed", 5, QStringLiteral("2-4"), ppAll, true, 1, true, numbers({4, 3, 2}), QStringLiteral("1")},
        {"collated", 3, QString(), ppAll, false, 2, true, numbers({1, 2, 3, 1, 2, 3}), QStringLiteral("1")},
        {"uncollated", 3, QString(), ppAll, false, 3, false, numbers({1, 2, 3}), QStringLiteral("3")},
        {"copies clamped", 1, QString(), ppAll, false, 5000, false, numbers({1}), QStringLiteral("1000")},
        {"no copies is one", 2, QString(), ppAll, false, 0, true, numbers({1, 2}), QStringLiteral("1")},
    };
    QTemporaryDir dir;
    for (const PrintCase& c : cases) {
        SCOPED_TRACE(c.name);
        SandboxTest::SetUp(); // empties the capture folders
        SyntheticPages store(c.pages);
        store.TitleText = QString::fromLatin1(c.name);
        store.Options.ShowDialog = false;
        store.Options.PageNumbers = c.pageNumbers;
        store.Options.PrintPages = c.which;
        store.Options.Reverse = c.reverse;
        store.Options.Copies = c.copies;
        store.Options.Collate = c.collate;
        ASSERT_TRUE(store.Print());
        const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
        ASSERT_EQ(jobs.size(), 1);
        EXPECT_EQ(jobs[0].title, QString::fromLatin1(c.name));
        EXPECT_EQ(jobs[0].copies, c.copiesArg);
        EXPECT_TRUE(jobs[0].HasOption(QStringLiteral("PageSize=A4"))) << jobs[0].options.toStdString();
        EXPECT_EQ(jobTexts(saveJob(jobs[0], dir)).join(u'|'), c.expected);
        // What the dialog or the caller chose lasts one job.
        EXPECT_EQ(store.Options.Copies, c.copies);
        EXPECT_EQ(store.PrintCopyNo, 0);
    }
}

TEST_F(PrintLoop, APageBeyondTheReportPrintsNothingAndSendsNoJob)
{
    SyntheticPages store(5);
    store.Options.ShowDialog = false;
    store.Options.PageNumbers = QStringLiteral("7");
    EXPECT_TRUE(store.Print());
    EXPECT_TRUE(store.Drawn.empty());
    // A later job is the only one the queue sees.
    SyntheticPages later(1);
    later.TitleText = QStringLiteral("later");
    later.Options.ShowDialog = false;
    ASSERT_TRUE(later.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].title, QStringLiteral("later"));
}

TEST_F(PrintLoop, TraysSidesAndPaperReachTheSchedulersOptions)
{
    SyntheticPages store(3);
    // The first page of a tray takes it; later pages of the same tray take
    // the other pages' tray.
    for (auto& p : store.Pages) {
        p.Bin = DMBIN_UPPER;
        p.BinOtherPages = DMBIN_LOWER;
        p.Duplex = dmVertical;
    }
    store.Pages[2] = paperOf(DMPAPER_A5);
    store.Pages[2].Bin = DMBIN_UPPER;
    store.Pages[2].BinOtherPages = DMBIN_LOWER;
    store.Pages[2].Duplex = dmHorizontal;
    store.Options.ShowDialog = false;
    ASSERT_TRUE(store.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 3);
    ASSERT_EQ(jobs.size(), 3);
    EXPECT_TRUE(jobs[0].HasOption(QStringLiteral("InputSlot=Upper"))) << jobs[0].options.toStdString();
    EXPECT_TRUE(jobs[0].HasOption(QStringLiteral("Duplex=DuplexNoTumble")));
    EXPECT_TRUE(jobs[0].HasOption(QStringLiteral("PageSize=A4")));
    EXPECT_TRUE(jobs[1].HasOption(QStringLiteral("InputSlot=Lower"))) << jobs[1].options.toStdString();
    EXPECT_TRUE(jobs[1].HasOption(QStringLiteral("Duplex=DuplexNoTumble")));
    EXPECT_TRUE(jobs[2].HasOption(QStringLiteral("InputSlot=Lower")));
    EXPECT_TRUE(jobs[2].HasOption(QStringLiteral("Duplex=DuplexTumble")));
    EXPECT_TRUE(jobs[2].HasOption(QStringLiteral("PageSize=A5"))) << jobs[2].options.toStdString();
    QTemporaryDir dir;
    EXPECT_EQ(jobPageSizes(jobInfo(saveJob(jobs[2], dir))), QStringList{QStringLiteral("420 x 595")});
}

TEST_F(PrintLoop, CollatedDuplexCopiesOfAnOddCountStartOnAFreshSheet)
{
    SyntheticPages store(3);
    store.Options.ShowDialog = false;
    store.Options.Copies = 2;
    store.Options.Collate = true;
    store.Options.Duplex = dmVertical;
    ASSERT_TRUE(store.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_TRUE(jobs[0].HasOption(QStringLiteral("Duplex=DuplexNoTumble")));
    QTemporaryDir dir;
    const QString pdf = saveJob(jobs[0], dir);
    // An empty side after the first copy; the last one needs none.
    EXPECT_EQ(jobPageCount(jobInfo(pdf)), 7);
    EXPECT_EQ(jobTexts(pdf).join(u'|'), numbers({1, 2, 3}) + QStringLiteral("||") + numbers({1, 2, 3}));
    // The dialog's duplex choice outlives the job.
    EXPECT_EQ(store.Options.Duplex, dmVertical);
}

// A sheet of the document rendered by poppler at dpi, in grey.
QImage renderSheet(const QString& pdf, int sheet, int dpi, const QTemporaryDir& dir)
{
    const QString png = dir.filePath(QStringLiteral("sheet%1").arg(sheet));
    printtest::Run(QStringLiteral("pdftoppm -r %1 -gray -png -f %2 -l %2 -singlefile '%3' '%4'")
                       .arg(dpi)
                       .arg(sheet)
                       .arg(pdf, png));
    return QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

int darkInColumn(const QImage& im, int x)
{
    int n = 0;
    for (int y = 0; y < im.height(); ++y)
        n += qGray(im.pixel(x, y)) < 128;
    return n;
}

// The square's box in millimetres: columns and rows with a long dark run,
// leaving out the vertical line, which is dark from edge to edge.
struct Box {
    double left = 0, top = 0, right = 0, bottom = 0;
};

Box squareOf(const QImage& im, int dpi)
{
    int l = -1, r = -1, t = -1, b = -1;
    for (int x = 0; x < im.width(); ++x) {
        const int n = darkInColumn(im, x);
        if (n > 40 && n < im.height() / 2) {
            l = l < 0 ? x : l;
            r = x + 1;
        }
    }
    for (int y = 0; y < im.height() && l >= 0; ++y) {
        int n = 0;
        for (int x = l; x < r; ++x)
            n += qGray(im.pixel(x, y)) < 128;
        if (n > (r - l) / 2) {
            t = t < 0 ? y : t;
            b = y + 1;
        }
    }
    const auto mm = [dpi](int px) { return px * 25.4 / dpi; };
    return {mm(l), mm(t), mm(r), mm(b)};
}

TEST_F(PrintLoop, ScaleFitsAnA5PageToAnA4Sheet)
{
    SyntheticPages store(1, paperOf(DMPAPER_A5));
    store.Options.ShowDialog = false;
    store.Options.PrintMode = pmScale;
    store.Options.PrintOnSheet = DMPAPER_A4;
    ASSERT_TRUE(store.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    QTemporaryDir dir;
    const QString pdf = saveJob(jobs[0], dir);
    EXPECT_EQ(jobPageSizes(jobInfo(pdf)), QStringList{QStringLiteral("595 x 842")});
    // Text objects scale their type by the smaller factor.
    EXPECT_NEAR(double(store.PrintScale), 297.0 / 210, 0.01);
    // The square of 20 mm at (20, 40) grows by 210/148 across and 297/210 down.
    const QImage sheet = renderSheet(pdf, 1, 100, dir);
    ASSERT_FALSE(sheet.isNull());
    const Box b = squareOf(sheet, 100);
    const double kx = 210.0 / 148, ky = 297.0 / 210;
    EXPECT_NEAR(b.left, 20 * kx, 0.6);
    EXPECT_NEAR(b.right, 40 * kx, 0.6);
    EXPECT_NEAR(b.top, 40 * ky, 0.6);
    EXPECT_NEAR(b.bottom, 60 * ky, 0.6);
    EXPECT_EQ(jobTexts(pdf).join(u'|'), numbers({1}));
}

TEST_F(PrintLoop, SplitPrintsAnA3PageOnTurnedA4SheetsWithTheLineAcrossEverySeam)
{
    SyntheticPages store(1, paperOf(DMPAPER_A3));
    store.Options.ShowDialog = false;
    store.Options.PrintMode = pmSplit;
    store.Options.PrintOnSheet = DMPAPER_A4;
    ASSERT_TRUE(store.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_TRUE(jobs[0].HasOption(QStringLiteral("PageSize=A4"))) << jobs[0].options.toStdString();
    QTemporaryDir dir;
    const QString pdf = saveJob(jobs[0], dir);
    // 420 mm of page on landscape sheets of 200 printable millimetres that
    // share 3 mm: three sheets, where portrait ones would take four.
    const QStringList sizes = jobPageSizes(jobInfo(pdf));
    EXPECT_EQ(sizes, QStringList(3, QStringLiteral("842 x 595")));
    EXPECT_EQ(jobTexts(pdf).value(0), numbers({1}));
    // The vertical line at 100 mm crosses both seams: it runs over the
    // whole printable height of the first two sheets and on the third to
    // the page's end (420 mm less two tiles of 200 mm that share 3 mm).
    for (int sheet = 1; sheet <= sizes.size(); ++sheet) {
        const QImage im = renderSheet(pdf, sheet, 50, dir);
        ASSERT_FALSE(im.isNull());
        int longest = 0;
        for (int x = 0; x < im.width(); ++x)
            longest = std::max(longest, darkInColumn(im, x));
        const double mm = longest * 25.4 / 50;
        if (sheet < 3)
            EXPECT_NEAR(mm, 200, 2) << "sheet " << sheet;
        else
            EXPECT_NEAR(mm, 420 - 2 * 197 + 0, 2) << "sheet " << sheet;
    }
}

TEST_F(PrintLoop, SplitTakesTheOtherPagesTrayAndSidesForLaterPages)
{
    SyntheticPages store(2, paperOf(DMPAPER_A3));
    for (auto& p : store.Pages) {
        p.Bin = DMBIN_UPPER;
        p.BinOtherPages = DMBIN_LOWER;
    }
    store.Pages[1].Duplex = dmHorizontal;
    store.Options.ShowDialog = false;
    store.Options.PrintMode = pmSplit;
    ASSERT_TRUE(store.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 2);
    ASSERT_EQ(jobs.size(), 2);
    EXPECT_TRUE(jobs[0].HasOption(QStringLiteral("InputSlot=Upper"))) << jobs[0].options.toStdString();
    EXPECT_TRUE(jobs[1].HasOption(QStringLiteral("InputSlot=Lower"))) << jobs[1].options.toStdString();
    EXPECT_TRUE(jobs[1].HasOption(QStringLiteral("Duplex=DuplexTumble"))) << jobs[1].options.toStdString();
    QTemporaryDir dir;
    EXPECT_EQ(jobPageSizes(jobInfo(saveJob(jobs[0], dir))), QStringList(3, QStringLiteral("842 x 595")));
    EXPECT_EQ(jobPageSizes(jobInfo(saveJob(jobs[1], dir))), QStringList(3, QStringLiteral("842 x 595")));
}

TEST_F(PrintLoop, SplitWithAnOverlapLargerThanTheSheetEnds)
{
    SyntheticPages store(1, paperOf(DMPAPER_A3));
    store.Options.ShowDialog = false;
    store.Options.PrintMode = pmSplit;
    store.Options.TileOverlap = 1000;
    ASSERT_TRUE(store.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    QTemporaryDir dir;
    EXPECT_LE(jobPageCount(jobInfo(saveJob(jobs[0], dir))), 9);
}

TEST_F(PrintLoop, JoinPutsTwoA5PagesOnEachLandscapeA4Sheet)
{
    SyntheticPages store(5, paperOf(DMPAPER_A5));
    store.Options.ShowDialog = false;
    store.Options.PrintMode = pmJoin;
    store.Options.PrintOnSheet = DMPAPER_A4;
    ASSERT_TRUE(store.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    QTemporaryDir dir;
    const QString pdf = saveJob(jobs[0], dir);
    EXPECT_EQ(jobPageSizes(jobInfo(pdf)), QStringList(3, QStringLiteral("842 x 595")));
    EXPECT_EQ(jobTexts(pdf), (QStringList{QStringLiteral("Strana 1 Strana 2"), QStringLiteral("Strana 3 Strana 4"),
                                           QStringLiteral("Strana 5")}));
}

TEST_F(PrintLoop, JoinedCollatedCopiesShowEveryPageCopiesTimesInOneDocument)
{
    SyntheticPages store(2, paperOf(DMPAPER_A5));
    store.Options.ShowDialog = false;
    store.Options.PrintMode = pmJoin;
    store.Options.Copies = 2;
    store.Options.Collate = true;
    ASSERT_TRUE(store.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    QTemporaryDir dir;
    EXPECT_EQ(jobTexts(saveJob(jobs[0], dir)),
              (QStringList{QStringLiteral("Strana 1 Strana 2"), QStringLiteral("Strana 1 Strana 2")}));
    EXPECT_EQ(store.PrintedCopies, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}, {0, 2}, {1, 2}}));
}

TEST_F(PrintLoop, StoppingAtPageTwoAbortsTheDocumentAndSendsNothing)
{
    SyntheticPages store(5);
    store.Options.ShowDialog = false;
    store.OnDraw = [&store](int index) {
        if (index == 1)
            store.SetTerminated(true);
    };
    EXPECT_FALSE(store.Print());
    EXPECT_EQ(store.Drawn, (std::vector<int>{0, 1}));
    SyntheticPages later(1);
    later.TitleText = QStringLiteral("later");
    later.Options.ShowDialog = false;
    ASSERT_TRUE(later.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].title, QStringLiteral("later"));
}

TEST_F(PrintLoop, APageWithoutASizeIsLeftOutWithAnError)
{
    SyntheticPages store(4);
    store.Pages[1].PaperWidth = 0;
    store.Pages[2].PaperHeight = std::numeric_limits<long double>::quiet_NaN();
    store.Options.ShowDialog = false;
    ASSERT_TRUE(store.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    QTemporaryDir dir;
    EXPECT_EQ(jobTexts(saveJob(jobs[0], dir)).join(u'|'), numbers({1, 4}));
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 2u);
}

TEST_F(PrintLoop, ThePreviewIsPausedAndResumedAroundTheJob)
{
    printtest::CountingPreview preview;
    SyntheticPages store(2);
    store.PreviewControl = &preview;
    store.Options.ShowDialog = false;
    ASSERT_TRUE(store.Print());
    EXPECT_EQ(preview.Locks, 1);
    EXPECT_EQ(preview.Unlocks, 1);
    EXPECT_EQ(preview.Refreshes, 2);
    EXPECT_EQ(store.BeforeEvents, 1);
    EXPECT_EQ(store.AfterEvents, 1);
    printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
}

TEST_F(PrintLoop, ARefusedQueueGivesTheErrorAndFalse)
{
    ASSERT_EQ(printtest::Run(QStringLiteral("cupsreject ZdLetter")), 0);
    useQueue("ZdLetter");
    SyntheticPages store(1, paperOf(DMPAPER_LETTER));
    store.Options.ShowDialog = false;
    const bool printed = store.Print();
    printtest::Run(QStringLiteral("cupsaccept ZdLetter"));
    EXPECT_FALSE(printed);
    ASSERT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
}

TEST_F(PrintLoop, AnInvalidPrinterPrintsNothingAndGivesFalse)
{
    const QString ppd = QStringLiteral(SORVAMET_SOURCE_DIR "/tests/tools/cups-sandbox/ZdA4.ppd");
    ASSERT_EQ(printtest::Run(QStringLiteral("lpadmin -p ZdGone -E -v file:/dev/null -P '%1'").arg(ppd)), 0);
    TzdPrinters* printers = zdPrinters();
    printers->FillPrinters();
    printtest::Run(QStringLiteral("lpadmin -x ZdGone"));
    printers->SetPrinterIndex(printers->IndexOf(QStringLiteral("ZdGone")));
    ASSERT_FALSE(printers->CurrentPrinter()->IsInitialized());
    SyntheticPages store(1);
    store.Options.ShowDialog = false;
    const bool printed = store.Print();
    printers->FillPrinters();
    printers->SetPrinterIndex(-1);
    EXPECT_FALSE(printed);
    const std::vector<ServiceCall> boxes = ui.CallsOf(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Printer selected is not valid"));
    EXPECT_EQ(store.AfterEvents, 1);
}

TEST_F(PrintLoop, ToAFileThenTheNextJobGoesToThePrinter)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("out.prn"));
    SyntheticPages store(2);
    store.Options.ShowDialog = false;
    // Nothing to print: the file name must not linger for the next job.
    store.Options.PageNumbers = QStringLiteral("9");
    store.Options.FileName = file;
    EXPECT_TRUE(store.Print());
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(zdPrinters()->CurrentPrinter()->FileName().isEmpty());

    store.Options.PageNumbers.clear();
    ASSERT_TRUE(store.Print());
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(jobTexts(file).join(u'|'), numbers({1, 2}));
    EXPECT_TRUE(zdPrinters()->CurrentPrinter()->FileName().isEmpty());

    SyntheticPages next(1);
    next.TitleText = QStringLiteral("next");
    next.Options.ShowDialog = false;
    const qint64 size = QFileInfo(file).size();
    ASSERT_TRUE(next.Print());
    const QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].title, QStringLiteral("next"));
    EXPECT_EQ(QFileInfo(file).size(), size);
}

TEST(PrintLoopRules, TileCountsTakeOneMoreTileForElevenMillimetres)
{
    struct {
        long double a, b;
        int tiles;
    } cases[] = {
        {420, 297, 2}, {297, 210, 2}, {297, 297, 1}, {308, 297, 2}, {307.9L, 297, 1},
        {420, 210, 2}, {420, 197, 3}, {0, 210, 1},   {210, 0, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zd::TileFit(c.a, c.b), c.tiles) << double(c.a) << " / " << double(c.b);
    EXPECT_EQ(zd::CellFit(297, 148), 2);
    EXPECT_EQ(zd::CellFit(210, 148), 1);
    EXPECT_EQ(zd::CellFit(210, 105), 2);
    EXPECT_EQ(zd::CellFit(100, 148), 1);
}

TEST(PrintLoopRules, NoInstalledPrinterGivesTheMessageAndFalse)
{
    // libcups pointed where no scheduler listens: the list holds the virtual printer alone.
    const QByteArray previous = cupsServer();
    cupsSetServer("/nonexistent/sorvamet-no-cups.sock");
    zdPrinters()->FillPrinters();
    zdPrinters()->SetPrinterIndex(-1);
    ScriptedServices ui;
    ScopedServices use(ui);
    SyntheticPages store(1);
    store.Options.ShowDialog = false;
    const bool printed = store.Print();
    const bool real = zdPrinters()->HasRealPrinters();
    cupsSetServer(previous.constData());
    zdPrinters()->FillPrinters();
    zdPrinters()->SetPrinterIndex(-1);
    EXPECT_FALSE(real);
    EXPECT_FALSE(printed);
    ASSERT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox"))[0].text,
              QStringLiteral("Na Vašem systému není nainstalována žádná tiskárna"));
}

TEST_F(PrintLoop, TheToolPrintsTheSyntheticPagesAndRawBytes)
{
    const QString tool = QStringLiteral(SORVAMET_BIN_DIR "/zdreport");
    if (!QFile::exists(tool))
        GTEST_SKIP() << "zdreport is not built";
    EXPECT_EQ(printtest::Run(tool + QStringLiteral(" --print ZdA4 --pages 2-3 --copies 2 --collate --reverse")), 0);
    QList<CapturedJob> jobs = printtest::WaitForJobs(QStringLiteral("ZdA4"), 1);
    ASSERT_EQ(jobs.size(), 1);
    QTemporaryDir dir;
    EXPECT_EQ(jobTexts(saveJob(jobs[0], dir)).join(u'|'), numbers({3, 2, 3, 2}));

    QByteArray bytes("\x1b@\x1b\x45", 4);
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    const QString raw = dir.filePath(QStringLiteral("matice.prn"));
    {
        QFile f(raw);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    EXPECT_EQ(printtest::Run(QStringLiteral("%1 --raw '%2' ZdLetter").arg(tool, raw)), 0);
    jobs = printtest::WaitForJobs(QStringLiteral("ZdLetter"), 1);
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs[0].type, QStringLiteral("application/vnd.cups-raw"));
    EXPECT_EQ(printtest::Run(QStringLiteral("cmp '%1' '%2'").arg(raw, jobs[0].dataFile)), 0);

    // Bad command lines and unknown printers.
    EXPECT_EQ(printtest::Run(tool + QStringLiteral(" --print ZdA4 --odd --even 2>/dev/null")), 2);
    EXPECT_EQ(printtest::Run(tool + QStringLiteral(" --print ZdA4 --mode sideways 2>/dev/null")), 2);
    EXPECT_EQ(printtest::Run(tool + QStringLiteral(" --print NoSuchQueue 2>/dev/null")), 1);
}

TEST_F(PrintLoop, APageListThatIsNoListRaisesBeforeAnythingIsPrinted)
{
    SyntheticPages store(3);
    store.Options.ShowDialog = false;
    store.Options.PageNumbers = QStringLiteral("1,x");
    store.Options.FileName = QStringLiteral("/nonexistent/never.prn");
    EXPECT_THROW(store.Print(), plat::EConvertError);
    EXPECT_TRUE(store.Drawn.empty());
    EXPECT_EQ(store.AfterEvents, 1);
    EXPECT_TRUE(zdPrinters()->CurrentPrinter()->FileName().isEmpty());
    EXPECT_EQ(store.Options.PageNumbers, QStringLiteral("1,x"));
}
