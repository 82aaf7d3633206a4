// Lines, shapes, check boxes and frames as content-stream operators.
#include "PdfCheck.h"
#include "../TestUtil.h"

#include "zdExportPDF.h"
#include "zdExportPDF_p.h"

#include "zdChBox.h"
#include "zdClass_fill.h"
#include "zdClass_shape.h"
#include "zdClass_view.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace pdftest;

namespace {

// The content stream of one page holding the objects (uncompressed), after
// the file passed the checkers.
QByteArray pageContent(const std::vector<TzdView*>& objects)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("draw.pdf"));
    TzdPDFExport pdf(nullptr);
    pdf.Compressed = false;
    pdf.FileName = file;
    EXPECT_TRUE(pdf.StartExport());
    TzdPDFPageInfo page;
    page.Width = 794;
    page.Height = 1123;
    pdf.OpenPageInfo(page, 0);
    for (TzdView* v : objects)
        pdf.WriteObject(v);
    pdf.ClosePage(nullptr, 0);
    pdf.FinishExport();
    if (haveTools())
        checkPdf(file);
    const QByteArray bytes = fileBytes(file);
    const qsizetype start = bytes.indexOf("stream\r\n") + 8;
    return bytes.mid(start, bytes.indexOf("\nendstream") - start);
}

template <class T>
std::unique_ptr<T> object(long double l, long double t, long double w, long double h)
{
    auto v = std::make_unique<T>(nullptr);
    v->SetBounds(l, t, w, h);
    return v;
}

} // namespace

TEST(PdfDrawing, EllipseHasOneMoveAndFourCurves)
{
    auto e = object<TzdShapeView>(10, 10, 100, 60);
    e->Shape = skEllipse;
    const QByteArray c = pageContent({e.get()});
    EXPECT_EQ(c.count(" m\r\n"), 1);
    EXPECT_EQ(c.count(" c\r\n"), 4);
    EXPECT_TRUE(c.endsWith("S\r\n")); // no fill colour: stroke only
}

TEST(PdfDrawing, RectangleWithFillIsStrokedAndFilled)
{
    auto r = object<TzdShapeView>(0, 0, 100, 40);
    r->SetColor(plat::clRed);
    const QByteArray c = pageContent({r.get()});
    // Frame colour black, width 1 px = 0.75 pt, red fill, box from the bottom left.
    EXPECT_EQ(c, "[] 0 d\r\n0 0 0 RG\r\n0.75 w\r\n1.00 0.00 0.00 rg\r\n0.00 812.25 \r\n75.00 30.00 re\r\nB\r\n");
}

TEST(PdfDrawing, DashPatternsFollowTheFrameStyle)
{
    EXPECT_EQ(zd::pdfDashPattern(fsDash, 2), "[12.00 ] 0 d");
    EXPECT_EQ(zd::pdfDashPattern(fsDot, 1), "[2.00 6.00 ] 0 d");
    EXPECT_EQ(zd::pdfDashPattern(fsDashDot, 1), "[6.00 6.00 2.00 6.00 ] 0 d");
    EXPECT_EQ(zd::pdfDashPattern(fsDashDotDot, 1), "[6.00 6.00 2.00 6.00 2.00 6.00 ] 0 d");
    for (TzdFrameStyle s : {fsSolid, fsDouble, fsAltDot, fsSquare})
        EXPECT_EQ(zd::pdfDashPattern(s, 3), "[] 0 d");
}

TEST(PdfDrawing, DoubleDiagonalLineDrawsOnlyItsDashPattern)
{
    auto line = object<TzdLineView>(10, 10, 50, 50);
    line->Frame()->SetStyle(fsDouble);
    EXPECT_EQ(pageContent({line.get()}), "[] 0 d\r\n");
    auto flat = object<TzdLineView>(10, 10, 50, 0);
    flat->Frame()->SetStyle(fsDouble);
    EXPECT_EQ(pageContent({flat.get()}).count(" m\r\n"), 2);
}

TEST(PdfDrawing, ArrowHeadsAtBothEnds)
{
    auto line = object<TzdLineView>(10, 10, 100, 0);
    line->ArrowStart = true;
    line->ArrowEnd = true;
    line->ArrowSolid = true;
    const QByteArray c = pageContent({line.get()});
    EXPECT_EQ(c.count("\r\nb\r\n"), 2);
    // The start head: base 15 pt right of the tip (20 px), wings 3.75 pt off the line.
    EXPECT_TRUE(c.contains("22.50 831.00 m\r\n7.50 834.75 l\r\n22.50 838.50 l\r\n1 j\r\n0 0 0 rg\r\nb")) << c.toStdString();
}

TEST(PdfDrawing, UncheckedEmptyCheckBoxWritesNoPath)
{
    auto box = object<TzdCheckBoxView>(10, 10, 20, 20);
    box->Checked = false;
    box->UncheckStyle = usEmpty;
    EXPECT_EQ(pageContent({box.get()}), "[] 0 d\r\n0 0 0 RG\r\n1.50 w 1.00 1.00 1.00 rg\r\nS\r\nS\r\n");
}

TEST(PdfDrawing, CheckedCrossAndFramedCheckBox)
{
    auto box = object<TzdCheckBoxView>(10, 10, 20, 20);
    box->Frame()->Typ = TzdFrameTypes{ftTop, ftLeft};
    box->Frame()->TopLine()->Style = fsDouble;
    const QByteArray c = pageContent({box.get()});
    EXPECT_TRUE(c.contains(" w 2 J ")) << c.toStdString();
    // Top twice (double), left once.
    EXPECT_EQ(c.count(" l\r\nS\r\n"), 3);
}

TEST(PdfDrawing, InvisibleInExportIsLeftOut)
{
    auto r = object<TzdShapeView>(0, 0, 100, 40);
    r->SetVisibility(TzdVisibilityTypes{vsPreview, vsPrint});
    EXPECT_EQ(pageContent({r.get()}), QByteArray());
}

TEST(PdfDrawing, AllShapesTogetherMakeASoundFile)
{
    std::vector<std::unique_ptr<TzdView>> keep;
    std::vector<TzdView*> views;
    int y = 10;
    for (TzdShapeKind k : {skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2}) {
        auto s = object<TzdShapeView>(10, y, 80, 40);
        s->Shape = k;
        s->SetColor(plat::clYellow);
        s->Frame()->SetStyle(fsDashDot);
        views.push_back(s.get());
        keep.push_back(std::move(s));
        y += 50;
    }
    for (TzdCheckStyle cs : {csCross, csCheck, csLineCross, csPlus}) {
        auto b = object<TzdCheckBoxView>(200, y, 20, 20);
        b->CheckStyle = cs;
        views.push_back(b.get());
        keep.push_back(std::move(b));
        y += 30;
    }
    const QByteArray c = pageContent(views);
    EXPECT_FALSE(c.isEmpty());
}
