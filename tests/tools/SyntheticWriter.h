#pragma once
// Writes a synthetic report into a prepared-pages store the way the engine
// does: one template page with a data band holding a memo, a shape and a
// picture is registered as a source page, then each page gets rows of the
// band with changing text, positions and, now and then, a new picture.
// With a page header, every page starts with a title, its number and a
// Code 128 barcode of it ("Strana N"), for checks by a barcode reader.
//
// Shared by the store's tests, its benchmark and `zdreport --synthetic`.

#include "Graphics.h"
#include "zdBarcodeView.h"
#include "zdClass.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_picture.h"
#include "zdClass_report.h"
#include "zdClass_shape.h"
#include "zdPreviewPages.h"

#include <QBuffer>
#include <QColor>
#include <QImage>

#include <algorithm>
#include <memory>

namespace storetest {

// A small PNG whose colour depends on n.
inline QByteArray pngBytes(int n, int size = 12)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((n * 37) % 360, 200, 220));
    image.setPixel(n % size, (n / size) % size, qRgb(0, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The text of the barcode on page Page (1-based).
inline QString barcodeText(int Page)
{
    return QStringLiteral("Strana %1").arg(Page);
}

struct SyntheticWriter {
    TzdReport report;
    TzdReportPage* page = new TzdReportPage(&report);
    TzdPageHeader* header = nullptr;
    TzdBarCodeView* barcode = nullptr;
    TzdMemoView* title = nullptr;
    TzdMemoView* pageNumber = nullptr;
    TzdMasterData* band = new TzdMasterData(page);
    TzdMemoView* memo = new TzdMemoView(band);
    TzdShapeView* shape = new TzdShapeView(band);
    TzdPictureView* picture = new TzdPictureView(band);

    explicit SyntheticWriter(bool WithBarcodeHeader = false)
    {
        zd::startReportUnit();
        zd::startBarcodeViewUnit();
        page->SetName(QStringLiteral("Page1"));
        if (WithBarcodeHeader) {
            header = new TzdPageHeader(page);
            header->SetName(QStringLiteral("PageHeader1"));
            header->SetBounds(0, 0, 700, kHeaderHeight);
            barcode = new TzdBarCodeView(header);
            barcode->SetName(QStringLiteral("BarCode1"));
            barcode->BarType = bcCode128B;
            barcode->SetBounds(10, 4, 200, kHeaderHeight - 8);
            barcode->SetText(barcodeText(1));
            title = new TzdMemoView(header);
            title->SetName(QStringLiteral("Title1"));
            title->SetBounds(300, 4, 300, 20);
            title->SetText(QStringLiteral("Zkušební sestava"));
            pageNumber = new TzdMemoView(header);
            pageNumber->SetName(QStringLiteral("PageNumber1"));
            pageNumber->SetBounds(300, 28, 300, 20);
        }
        band->SetName(QStringLiteral("MasterData1"));
        band->SetBounds(0, 0, 700, 20);
        memo->SetName(QStringLiteral("Memo1"));
        memo->SetBounds(5, 2, 300, 16);
        shape->SetName(QStringLiteral("Shape1"));
        shape->SetBounds(320, 2, 40, 16);
        picture->SetName(QStringLiteral("Picture1"));
        picture->SetBounds(400, 1, 18, 18);
        picture->Picture()->LoadFromBytes(pngBytes(0));
    }

    // Pages × objects: each row adds the band and its three objects, as
    // does the page header, so the objects written per page are rounded
    // down to a multiple of 4. Returns the number of objects written.
    qint64 Write(TzdPreviewPages& pages, int pageCount, int objectsPerPage, int pictureEvery = 7)
    {
        pages.Initialize();
        pages.RegisterSourcePage(page);
        const int headerObjects = header ? 4 : 0;
        const int rows = std::max(1, (objectsPerPage - headerObjects) / 4);
        const long double firstRow = header ? kHeaderHeight : 20;
        qint64 written = 0;
        int n = 0;
        for (int p = 0; p < pageCount; ++p) {
            pages.PageAddMode = pamAppend;
            pages.AddPage(page);
            if (header) {
                barcode->SetText(barcodeText(p + 1));
                pageNumber->SetText(QStringLiteral("Strana %1 z %2").arg(p + 1).arg(pageCount));
                pages.AddObject(header);
                written += headerObjects;
            }
            for (int r = 0; r < rows; ++r, ++n) {
                band->SetTop(firstRow + r * 20);
                memo->SetText(QStringLiteral("Řádek %1 strany %2").arg(r + 1).arg(p + 1));
                shape->SetWidth(10 + (n % 50));
                if (n % pictureEvery == 0 && n > 0)
                    picture->Picture()->LoadFromBytes(pngBytes(n));
                if (picture->PictureChanged) {
                    pages.CachePicture(picture);
                    picture->PictureChanged = false;
                }
                pages.AddObject(band);
                written += 4;
            }
        }
        pages.FinishPreparing();
        return written;
    }

    static constexpr int kHeaderHeight = 60;
};

} // namespace storetest
