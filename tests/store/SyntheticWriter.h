#pragma once
// Writes a synthetic report into a prepared-pages store the way the engine
// does: one template page with a data band holding a memo, a shape and a
// picture is registered as a source page, then each page gets rows of the
// band with changing text, positions and, now and then, a new picture.

#include "Graphics.h"
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

struct SyntheticWriter {
    TzdReport report;
    TzdReportPage* page = new TzdReportPage(&report);
    TzdMasterData* band = new TzdMasterData(page);
    TzdMemoView* memo = new TzdMemoView(band);
    TzdShapeView* shape = new TzdShapeView(band);
    TzdPictureView* picture = new TzdPictureView(band);

    SyntheticWriter()
    {
        zd::startReportUnit();
        page->SetName(QStringLiteral("Page1"));
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

    // Pages × objects: each row adds the band and its three objects, so
    // objects per page are rounded down to a multiple of 4.
    void Write(TzdPreviewPages& pages, int pageCount, int objectsPerPage, int pictureEvery = 7)
    {
        pages.Initialize();
        pages.RegisterSourcePage(page);
        const int rows = std::max(1, objectsPerPage / 4);
        int n = 0;
        for (int p = 0; p < pageCount; ++p) {
            pages.PageAddMode = pamAppend;
            pages.AddPage(page);
            for (int r = 0; r < rows; ++r, ++n) {
                band->SetTop(20 + r * 20);
                memo->SetText(QStringLiteral("Řádek %1 strany %2").arg(r + 1).arg(p + 1));
                shape->SetWidth(10 + (n % 50));
                if (n % pictureEvery == 0 && n > 0)
                    picture->Picture()->LoadFromBytes(pngBytes(n));
                if (picture->PictureChanged) {
                    pages.CachePicture(picture);
                    picture->PictureChanged = false;
                }
                pages.AddObject(band);
            }
        }
        pages.FinishPreparing();
    }
};

} // namespace storetest
