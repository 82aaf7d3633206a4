// The images of a PDF export are encoded on worker threads: the file is the
// same byte for byte with any number of them, a failed encoding fails the
// export as it does on the exporting thread, and nothing a worker does
// depends on the report's objects once they are written.
#include "PdfCheck.h"
#include "PdfExportFixture.h"
#include "../TestUtil.h"
#include "../../bench/LabelReport.h"

#include "zdExportPDF.h"
#include "zdExportPDF_p.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "zdClass_picture.h"
#include "zdClass_shape.h"
#include "zdPreviewPages.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace pdftest;

namespace pdf_threads_test {
namespace {

using benchlabels::startUnits;

void fixIdAndClock(TzdPDFExport& pdf)
{
    pdf.FileIDSource = [] { return QByteArray("0123456789abcdef0123456789abcdef"); };
    pdf.Clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); };
}

TzdPDFPageInfo a4()
{
    TzdPDFPageInfo p;
    p.Width = 794;
    p.Height = 1123;
    return p;
}

// Left half transparent, right half of the colour.
QImage halfTransparent(QColor right)
{
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < image.height(); ++y)
        for (int x = image.width() / 2; x < image.width(); ++x)
            image.setPixelColor(x, y, right);
    return image;
}

std::unique_ptr<TzdPictureView> pictureOf(const QImage& image, int left, int top, int w, int h)
{
    auto png = std::make_unique<plat::TPngImage>();
    png->EncodeFrom(image);
    auto v = std::make_unique<TzdPictureView>(nullptr);
    v->Picture()->SetGraphic(std::move(png));
    v->SetBounds(left, top, w, h);
    return v;
}

// Pages where images repeat (shared on a page), carry soft masks (shared by
// their alpha) and links come before, between and after them, so that
// every kind of object number waits for an image still being encoded.
struct MixedPages {
    std::vector<std::unique_ptr<TzdView>> owned;
    std::vector<std::vector<TzdView*>> pages;
    int links = 0;

    explicit MixedPages(int pageCount, int perPage = 18)
    {
        for (int p = 0; p < pageCount; ++p) {
            std::vector<TzdView*> page;
            for (int i = 0; i < perPage; ++i) {
                const int x = 20 + (i % 3) * 250, y = 20 + (i / 3) * 170;
                auto code = code128(QStringLiteral("ZD-%1").arg((p * 5 + i) % 7), x, y);
                if (i % 3 == 0) {
                    code->SetURL(QStringLiteral("https://example.cz/%1").arg(i));
                    ++links;
                }
                page.push_back(code.get());
                owned.push_back(std::move(code));
                if (i % 4 == 1) {
                    auto shape = std::make_unique<TzdShapeView>(nullptr);
                    shape->SetBounds(x, y + 80, 200, 20);
                    shape->SetURL(QStringLiteral("@%1").arg(p % 2 + 1));
                    ++links;
                    page.push_back(shape.get());
                    owned.push_back(std::move(shape));
                }
                if (i % 6 == 2) {
                    auto picture = pictureOf(halfTransparent(i % 12 == 2 ? Qt::blue : Qt::green), x, y + 110, 160, 40);
                    picture->SetTransparent(true);
                    picture->TransparentColor = plat::clNone;
                    picture->KeepAspectRatio = false;
                    picture->SetColor(plat::clNone);
                    page.push_back(picture.get());
                    owned.push_back(std::move(picture));
                }
            }
            pages.push_back(std::move(page));
        }
    }
};

QByteArray exportMixed(const MixedPages& m, int workers, const QString& file)
{
    TzdPDFExport pdf(nullptr);
    fixIdAndClock(pdf);
    pdf.Transparency = true;
    pdf.PreparedPageCount = int(m.pages.size());
    pdf.state().imageWorkers = workers;
    pdf.FileName = file;
    EXPECT_TRUE(pdf.StartExport());
    for (size_t k = 0; k < m.pages.size(); ++k) {
        pdf.OpenPageInfo(a4(), int(k));
        for (TzdView* v : m.pages[k])
            pdf.WriteObject(v);
        pdf.ClosePage(nullptr, int(k));
    }
    pdf.FinishExport();
    EXPECT_TRUE(pdf.Messages().isEmpty()) << pdf.Messages().join(u'\n').toStdString();
    return fileBytes(file);
}

QByteArray exportLabels(int labels, int workers, const QString& file)
{
    plat::TComponent host(nullptr);
    TzdReport report(&host);
    benchlabels::buildLabelReport(host, report, labels, false);
    EXPECT_TRUE(report.Prepare()) << report.ErrorList().join(u'\n').toStdString();
    TzdPDFExport pdf(nullptr);
    fixIdAndClock(pdf);
    pdf.ShowDialog = false;
    pdf.state().imageWorkers = workers;
    pdf.FileName = file;
    EXPECT_TRUE(report.ActivePreviewPages()->Export(&pdf));
    return fileBytes(file);
}

} // namespace

TEST(PdfImageThreads, MixedPagesAreTheSameFileWithAnyNumberOfWorkers)
{
    startUnits();
    QTemporaryDir dir;
    const MixedPages pages(4);
    const QByteArray serial = exportMixed(pages, 0, dir.filePath(QStringLiteral("serial.pdf")));
    ASSERT_FALSE(serial.isEmpty());
    EXPECT_EQ(serial.count("/Subtype /Link"), pages.links);
    EXPECT_GT(serial.count("/ColorSpace /DeviceGray/Matte"), 0);
    for (int workers : {1, 3}) {
        SCOPED_TRACE(workers);
        const QByteArray threaded = exportMixed(pages, workers, dir.filePath(QStringLiteral("threaded.pdf")));
        EXPECT_TRUE(threaded == serial) << "sizes " << threaded.size() << " and " << serial.size();
    }
    // Checked last: a thread sanitizer loses track of locks once a child
    // process has been started.
    if (haveTools())
        checkPdf(dir.filePath(QStringLiteral("serial.pdf")));
}

TEST(PdfImageThreads, PreparedLabelsAreTheSameFileWithAnyNumberOfWorkers)
{
    startUnits();
    QTemporaryDir dir;
    const QByteArray serial = exportLabels(300, 0, dir.filePath(QStringLiteral("serial.pdf")));
    ASSERT_GT(serial.count("/Type /Page\r\n"), 10);
    EXPECT_EQ(serial.count("/Filter /DCTDecode"), 300); // every label's code is another
    const QByteArray threaded = exportLabels(300, 2, dir.filePath(QStringLiteral("threaded.pdf")));
    EXPECT_TRUE(threaded == serial) << "sizes " << threaded.size() << " and " << serial.size();
    if (haveTools())
        checkPdf(dir.filePath(QStringLiteral("threaded.pdf")));
}

// libjpeg refuses images wider than 65,500 pixels; the failure comes back
// to the exporting thread with its class and message, fails the export
// once more at its end, and the previous file stays.
TEST(PdfImageThreads, AFailedEncodingFailsTheExportAndKeepsThePreviousFile)
{
    startUnits();
    std::vector<std::unique_ptr<TzdView>> views;
    for (int i = 0; i < 5; ++i)
        views.push_back(code128(QStringLiteral("A-%1").arg(i), 20, 20 + i * 70));
    QImage dot(4, 1, QImage::Format_RGB32);
    dot.fill(Qt::red);
    auto wide = pictureOf(dot, 0, 500, 70000, 1);
    wide->Center = true;
    wide->Frame()->Typ = {};
    views.push_back(std::move(wide));
    for (int i = 0; i < 5; ++i)
        views.push_back(code128(QStringLiteral("B-%1").arg(i), 400, 20 + i * 70));

    for (int workers : {0, 2}) {
        SCOPED_TRACE(workers);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("kept.pdf"));
        {
            QFile previous(file);
            ASSERT_TRUE(previous.open(QIODevice::WriteOnly));
            previous.write("previous");
        }
        TzdPDFExport pdf(nullptr);
        pdf.state().imageWorkers = workers;
        pdf.FileName = file;
        ASSERT_TRUE(pdf.StartExport());
        pdf.OpenPageInfo(a4(), 0);
        // As the engine does: the page is closed on every path.
        QString failure = pdfRaised([&] {
            for (auto& v : views)
                pdf.WriteObject(v.get());
        });
        const QString atPage = pdfRaised([&] { pdf.ClosePage(nullptr, 0); });
        if (failure.isEmpty())
            failure = atPage;
        const QString atEnd = pdfRaised([&] { pdf.FinishExport(); });
        EXPECT_TRUE(failure.startsWith(QStringLiteral("EInvalidGraphicOperation: JPEG error: ")))
            << failure.toStdString();
        EXPECT_TRUE(failure.contains(QStringLiteral("65500"))) << failure.toStdString();
        EXPECT_EQ(atEnd, failure);
        EXPECT_EQ(fileBytes(file), "previous");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.pdf")});
    }
}

// Workers get pixels only: the views may go as soon as they are written.
TEST(PdfImageThreads, ViewsMayGoAsSoonAsTheyAreWritten)
{
    startUnits();
    QTemporaryDir dir;
    const MixedPages reference(2);
    const QByteArray serial = exportMixed(reference, 0, dir.filePath(QStringLiteral("serial.pdf")));

    MixedPages pages(2);
    TzdPDFExport pdf(nullptr);
    fixIdAndClock(pdf);
    pdf.Transparency = true;
    pdf.PreparedPageCount = 2;
    pdf.state().imageWorkers = 3;
    pdf.FileName = dir.filePath(QStringLiteral("threaded.pdf"));
    ASSERT_TRUE(pdf.StartExport());
    size_t next = 0;
    for (int k = 0; k < 2; ++k) {
        pdf.OpenPageInfo(a4(), k);
        for (size_t i = 0; i < pages.pages[size_t(k)].size(); ++i, ++next) {
            pdf.WriteObject(pages.owned[next].get());
            pages.owned[next].reset();
        }
        pdf.ClosePage(nullptr, k);
    }
    pdf.FinishExport();
    EXPECT_TRUE(fileBytes(pdf.FileName) == serial);
}

// An export given up in the middle of a page (the filter destroyed, or a
// new export started) drops the queued images and leaves no file.
TEST(PdfImageThreads, AnExportGivenUpMidPageDropsItsImages)
{
    startUnits();
    QTemporaryDir dir;
    const MixedPages pages(1, 40);
    const QByteArray serial = exportMixed(pages, 0, dir.filePath(QStringLiteral("serial.pdf")));
    const QString file = dir.filePath(QStringLiteral("given-up.pdf"));
    {
        TzdPDFExport pdf(nullptr);
        pdf.Transparency = true;
        pdf.state().imageWorkers = 3;
        pdf.FileName = file;
        ASSERT_TRUE(pdf.StartExport());
        pdf.OpenPageInfo(a4(), 0);
        for (TzdView* v : pages.pages[0])
            pdf.WriteObject(v);
    }
    EXPECT_FALSE(QFile::exists(file));

    TzdPDFExport pdf(nullptr);
    fixIdAndClock(pdf);
    pdf.Transparency = true;
    pdf.PreparedPageCount = 1;
    pdf.state().imageWorkers = 3;
    pdf.FileName = file;
    ASSERT_TRUE(pdf.StartExport());
    pdf.OpenPageInfo(a4(), 0);
    for (TzdView* v : pages.pages[0])
        pdf.WriteObject(v);
    // Started again over the unfinished one: nothing of it is left over.
    ASSERT_TRUE(pdf.StartExport());
    pdf.OpenPageInfo(a4(), 0);
    for (TzdView* v : pages.pages[0])
        pdf.WriteObject(v);
    pdf.ClosePage(nullptr, 0);
    pdf.FinishExport();
    EXPECT_TRUE(fileBytes(file) == serial);
}

} // namespace pdf_threads_test
