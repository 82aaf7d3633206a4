// Shapes, lines, pictures, check boxes and gradients: how they draw, what
// they store, and how they take their data.

#include "Canvas.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "Streams.h"
#include "TypeInfo.h"
#include "zdChBox.h"
#include "zdClass_fill.h"
#include "zdClass_highlight.h"
#include "zdClass_picture.h"
#include "zdClass_shape.h"
#include "zdDataSets.h"
#include "zdDsgnIntf.h"
#include "zdGradient.h"
#include "zdModelFixture.h"
#include "zdXMLSerializer.h"
#include "zs_script.h"

#include "../MutationTestUtil.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using zdtest::TzdTestReport;

namespace {

struct Drawing {
    QImage image;
    explicit Drawing(int w = 200, int h = 160) : image(w, h, QImage::Format_RGB32) { image.fill(Qt::white); }
    void draw(TzdReportComponent* obj, long double scale = 1)
    {
        plat::TCanvas canvas(&image);
        obj->Draw(&canvas, scale, scale, 0, 0);
    }
    bool is(int x, int y, QRgb rgb) const { return (image.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF); }
    bool white(int x, int y) const { return is(x, y, qRgb(255, 255, 255)); }
    // The box of the pixels that are not white.
    QRect ink() const
    {
        int l = image.width(), t = image.height(), r = -1, b = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!white(x, y)) {
                    l = std::min(l, x);
                    t = std::min(t, y);
                    r = std::max(r, x);
                    b = std::max(b, y);
                }
        return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
    }
};

QByteArray imageOf(int w, int h, QColor colour, const char* format)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray pngOf(int w, int h, QColor colour)
{
    return imageOf(w, h, colour, "PNG");
}

QByteArray bmpOf(int w, int h, QColor colour)
{
    return imageOf(w, h, colour, "BMP");
}

struct ObjectsFixture : ::testing::Test {
    ObjectsFixture() { zdtest::startReportLibrary(); }
    TzdTestReport report;
};

} // namespace

// ---------------------------------------------------------------------------
// Lines

TEST_F(ObjectsFixture, AStraightLineBecomesAFrameSideForGood)
{
    auto* line = new TzdLineView(&report);
    line->SetBounds(20, 10, 5, 100);
    Drawing d;
    d.draw(line);
    EXPECT_EQ(line->Width(), 0);
    EXPECT_EQ(line->Frame()->Typ, TzdFrameTypes{ftLeft});
    EXPECT_EQ(d.ink(), QRect(QPoint(20, 10), QPoint(20, 110)));

    auto* flat = new TzdLineView(&report);
    flat->SetBounds(10, 140, 100, 3);
    flat->Frame()->SetWidth(3);
    Drawing e;
    e.draw(flat);
    EXPECT_EQ(flat->Height(), 0);
    EXPECT_EQ(flat->Frame()->Typ, TzdFrameTypes{ftTop});
    EXPECT_EQ(e.ink(), QRect(QPoint(10, 139), QPoint(110, 141)));
}

TEST_F(ObjectsFixture, PaletteFlagsChooseTheLineKind)
{
    struct Case {
        quint16 flags;
        bool diagonal, start, end;
    };
    for (const Case& c : {Case{0, false, false, false}, Case{1, true, false, false}, Case{2, true, false, true},
                          Case{3, true, true, false}, Case{4, true, true, true}}) {
        auto* line = static_cast<TzdLineView*>(TzdComponent::DesignCreate(TzdLineView::StaticClass(), &report, c.flags));
        EXPECT_EQ(line->Diagonal, c.diagonal) << c.flags;
        EXPECT_EQ(line->ArrowStart, c.start) << c.flags;
        EXPECT_EQ(line->ArrowEnd, c.end) << c.flags;
        EXPECT_TRUE(line->DesignMode);
        EXPECT_EQ(line->ArrowLength, 20);
        EXPECT_EQ(line->ArrowWidth, 5);
    }
    auto* shape = static_cast<TzdShapeView*>(TzdComponent::DesignCreate(TzdShapeView::StaticClass(), &report, 4));
    EXPECT_EQ(shape->Shape, skDiamond);
}

TEST_F(ObjectsFixture, ArrowHeadsSitOnTheLineAtTheirLength)
{
    auto* line = new TzdLineView(&report);
    line->BeginDraw(nullptr, 1, 1, 0, 0);
    // Horizontal: the base 20 back from the tip, the wings 5 to each side.
    auto head = line->ArrowHead(100, 50, 0, 50);
    EXPECT_EQ(head[0], QPoint(100, 50));
    EXPECT_EQ(head[1], QPoint(80, 45));
    EXPECT_EQ(head[2], QPoint(80, 55));
    // Nearly vertical lines take the vertical rule, pointing either way.
    head = line->ArrowHead(50, 10, 53, 100);
    EXPECT_EQ(head[1], QPoint(45, 30));
    EXPECT_EQ(head[2], QPoint(55, 30));
    head = line->ArrowHead(50, 100, 50, 10);
    EXPECT_EQ(head[1], QPoint(45, 80));
    // A slanted line: the base lies on the line, 20 from the tip towards the other end.
    head = line->ArrowHead(0, 0, 60, 80);
    const QPointF base((head[1].x() + head[2].x()) / 2.0, (head[1].y() + head[2].y()) / 2.0);
    EXPECT_NEAR(std::hypot(base.x(), base.y()), 20, 1);
    EXPECT_GT(base.x(), 0);
    EXPECT_NEAR(std::hypot(head[1].x() - head[2].x(), head[1].y() - head[2].y()), 10, 1.5);
}

TEST_F(ObjectsFixture, ZeroLengthArrowsStayAtTheirTip)
{
    // The base point is where the line meets a circle of radius 0 around
    // the tip: rounding must not take its square root below zero.
    auto* line = new TzdLineView(&report);
    line->ArrowLength = 0;
    line->BeginDraw(nullptr, 1, 1, 0, 0);
    for (int ex = -300; ex <= 300; ex += 7) {
        for (int ey = -300; ey <= 300; ey += 11) {
            const int tx = 37, ty = 53;
            if (std::abs(tx - ex) <= 8)
                continue;
            const auto head = line->ArrowHead(tx, ty, ex, ey);
            for (const QPoint& p : head)
                ASSERT_LE(std::hypot(p.x() - tx, p.y() - ty), 5.8) << ex << "," << ey;
        }
    }
}

TEST_F(ObjectsFixture, SolidArrowsAreFilledInTheFrameColour)
{
    auto* line = new TzdLineView(&report);
    line->SetBounds(10, 50, 150, 0);
    line->ArrowEnd = true;
    line->ArrowSolid = true;
    line->Frame()->SetColor(plat::clBlue);
    Drawing d;
    d.draw(line);
    EXPECT_TRUE(d.is(155, 50, qRgb(0, 0, 255)));
    EXPECT_TRUE(d.is(145, 52, qRgb(0, 0, 255)));
    EXPECT_TRUE(d.white(145, 57));
}

// ---------------------------------------------------------------------------
// Shapes

TEST_F(ObjectsFixture, RoundedCornersFollowCurveOrAQuarterOfTheShorterSide)
{
    auto cornerStart = [&](int curve) {
        auto* shape = new TzdShapeView(&report);
        shape->Shape = skRoundRectangle;
        shape->Curve = curve;
        shape->SetBounds(10, 10, 100, 60);
        Drawing d;
        d.draw(shape);
        int x = 10;
        while (x < 110 && d.white(x, 10))
            ++x;
        delete shape;
        return x - 10;
    };
    // The top row meets the corner's arc (radius half the corner size) this far in.
    const auto arcStart = [](double corner) {
        const double r = corner / 2;
        return r - std::sqrt(r * r - (r - 0.5) * (r - 0.5));
    };
    EXPECT_NEAR(cornerStart(2), arcStart(20), 1.2); // 20 x 20 corners
    EXPECT_NEAR(cornerStart(0), arcStart(15), 1.2); // 15 x 15 corners
    EXPECT_NEAR(cornerStart(3), arcStart(30), 1.2);
}

TEST_F(ObjectsFixture, DoubleOutlinesAreInsetByTwiceTheWidthAndLeaveTheGeometry)
{
    auto* shape = new TzdShapeView(&report);
    shape->SetBounds(10, 20, 100, 60);
    shape->Frame()->SetStyle(fsDouble);
    Drawing d;
    d.draw(shape);
    EXPECT_TRUE(d.is(60, 20, qRgb(0, 0, 0)));
    EXPECT_TRUE(d.white(60, 21));
    EXPECT_TRUE(d.is(60, 22, qRgb(0, 0, 0)));
    EXPECT_TRUE(d.is(12, 50, qRgb(0, 0, 0)));
    EXPECT_TRUE(d.is(108, 50, qRgb(0, 0, 0)));
    EXPECT_EQ(d.ink(), QRect(QPoint(10, 20), QPoint(110, 80)));
    EXPECT_EQ(shape->Left(), 10);
    EXPECT_EQ(shape->Width(), 100);
    EXPECT_EQ(shape->Frame()->Style(), fsDouble);
}

TEST_F(ObjectsFixture, EveryFrameStyleHasADrawablePenStyle)
{
    for (int style = fsSolid; style <= fsSquare; ++style) {
        const plat::TPenStyle pen = zd::penStyleOf(static_cast<TzdFrameStyle>(style));
        EXPECT_GE(pen, plat::psSolid) << style;
        EXPECT_LE(pen, plat::psDashDotDot) << style;
        // A diagonal line and an ellipse outline show in every style.
        auto* line = new TzdLineView(&report);
        line->Diagonal = true;
        line->SetBounds(10, 10, 100, 80);
        line->Frame()->SetStyle(static_cast<TzdFrameStyle>(style));
        auto* ellipse = new TzdShapeView(&report);
        ellipse->Shape = skEllipse;
        ellipse->SetBounds(120, 10, 60, 60);
        ellipse->Frame()->SetStyle(static_cast<TzdFrameStyle>(style));
        Drawing d;
        d.draw(line);
        EXPECT_FALSE(d.ink().isNull()) << "line, style " << style;
        Drawing e;
        e.draw(ellipse);
        EXPECT_FALSE(e.ink().isNull()) << "ellipse, style " << style;
    }
}

TEST_F(ObjectsFixture, GradientFilledShapesPaintInsideTheirOutline)
{
    auto* shape = new TzdShapeView(&report);
    shape->Shape = skEllipse;
    shape->SetBounds(10, 10, 100, 100);
    shape->SetFillType(ftGradient);
    auto* fill = static_cast<TzdGradientFill*>(shape->Fill());
    fill->StartColor = plat::clRed;
    fill->EndColor = plat::clRed;
    Drawing d;
    d.draw(shape);
    EXPECT_TRUE(d.is(60, 60, qRgb(255, 0, 0)));
    EXPECT_TRUE(d.white(14, 14)); // outside the ellipse, inside the box
    EXPECT_TRUE(d.is(60, 10, qRgb(0, 0, 0)));
}

// ---------------------------------------------------------------------------
// Fills stored in files

TEST_F(ObjectsFixture, AGlassFillSetToWhiteReadsBackWhite)
{
    auto* shape = new TzdShapeView(&report);
    shape->SetName(QStringLiteral("Shape1"));
    shape->SetFillType(ftGlass);
    auto* glass = static_cast<TzdGlassFill*>(shape->Fill());
    EXPECT_EQ(glass->Color, plat::clGray);
    glass->Color = plat::clWhite;
    const QByteArray saved = zdtest::saveToBytes(shape, false);
    EXPECT_TRUE(saved.contains("Fill.Color=\"16777215\"")) << saved.constData();
    auto* loaded = new TzdShapeView(&report);
    zdtest::loadFromBytes(loaded, saved);
    ASSERT_EQ(loaded->FillType(), ftGlass);
    EXPECT_EQ(static_cast<TzdGlassFill*>(loaded->Fill())->Color, plat::clWhite);
    // The colour it starts with is the one not written.
    glass->Color = plat::clGray;
    EXPECT_FALSE(zdtest::saveToBytes(shape, false).contains("Fill.Color"));
}

TEST_F(ObjectsFixture, AFrameWritesOnlyLinesThatDepartFromIt)
{
    auto* shape = new TzdShapeView(&report);
    shape->Frame()->SetWidth(2);
    shape->Frame()->TopLine()->Width = 3;
    const QByteArray saved = zdtest::saveToBytes(shape, false);
    EXPECT_TRUE(saved.contains(" Frame.Width=\"2\" Frame.TopLine.Width=\"3\"")) << saved.constData();
    EXPECT_FALSE(saved.contains("LeftLine"));
    auto* loaded = new TzdShapeView(&report);
    zdtest::loadFromBytes(loaded, saved);
    EXPECT_EQ(loaded->Frame()->LeftLine()->Width, 2);
    EXPECT_EQ(loaded->Frame()->TopLine()->Width, 3);
}

TEST(Fills, MiddleColourAndEmptyBrush)
{
    TzdGradientFill gradient;
    EXPECT_EQ(zdGradientMidColor(&gradient), plat::RGB(128, 128, 128));
    TzdGlassFill glass;
    glass.Color = plat::clBlue;
    EXPECT_EQ(glass.LightColor(), plat::RGB(128, 128, 255));
    EXPECT_EQ(zdGetFillType(&glass), ftGlass);
    std::unique_ptr<TzdCustomFill> made(zdCreateFill(ftGradient));
    EXPECT_EQ(zdGetFillType(made.get()), ftGradient);
    // A brush fill without colour in its solid style paints nothing.
    TzdBrushFill brush;
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        plat::TCanvas canvas(&image);
        brush.Draw(&canvas, 0, 0, 20, 20, 1, 1);
    }
    EXPECT_EQ(image.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
    // Gradients blend the raw colour bytes; glass resolves system colours.
    EXPECT_EQ(zd::gradientStep(plat::clBtnFace, plat::clBlack, 0, 255), plat::RGB(15, 0, 0));
    glass.Color = plat::clBtnFace;
    glass.Blend = 0;
    EXPECT_EQ(glass.LightColor(), plat::ColorToRGB(plat::clBtnFace));
    glass.Color = plat::clBlue;
    // Assign copies from the same kind only.
    TzdBrushFill other;
    other.BackColor = plat::clRed;
    glass.Assign(&other);
    EXPECT_EQ(glass.Color, plat::clBlue);
}

TEST(Frames, AnEmptyFrameDrawsOnlyItsShadow)
{
    TzdFrame frame;
    frame.DropShadow = true;
    frame.ShadowColor = plat::clRed;
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        plat::TCanvas canvas(&image);
        frame.Draw(&canvas, 10, 10, 50, 40, 1, 1);
    }
    // The shadow: 4 wide, right of and below the rectangle, offset by 4.
    int red = 0, other = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const QRgb p = image.pixel(x, y) & 0xFFFFFF;
            red += p == 0xFF0000;
            other += p != 0xFF0000 && p != 0xFFFFFF;
        }
    EXPECT_EQ(other, 0);
    EXPECT_EQ(red, 4 * (40 - 14) + 4 * 40);
    EXPECT_EQ(image.pixel(50, 14) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(14, 40) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(53, 43) & 0xFFFFFF, 0xFF0000u);
}

// ---------------------------------------------------------------------------
// Highlights

TEST(Highlights, ANewHighlightWritesFontAndFillTypeOnly)
{
    TzdHighlightCollection highlights;
    auto* h = static_cast<TzdHighlight*>(highlights.Add());
    TzdXMLSerializer serializer(nullptr);
    const QByteArray text = serializer.PropertiesToText(h, QByteArray(), nullptr);
    EXPECT_TRUE(text.contains("Font.Name=\"Arial\"")) << text.constData();
    EXPECT_TRUE(text.contains("Font.Color=\"255\""));
    EXPECT_TRUE(text.contains("FillType=\"ftBrush\""));
    for (const char* absent : {"Active", " Color", "ApplyFont", "ApplyFill", "ApplyFrame", "Visible", "Condition"})
        EXPECT_FALSE(text.contains(absent)) << absent << " in " << text.constData();
}

TEST(Highlights, CopyingTakesTheFillKindAndKeepsActive)
{
    TzdHighlightCollection highlights;
    auto* source = static_cast<TzdHighlight*>(highlights.Add());
    auto* target = static_cast<TzdHighlight*>(highlights.Add());
    source->SetFillType(ftGradient);
    static_cast<TzdGradientFill*>(source->Fill())->StartColor = plat::clRed;
    source->Condition = QStringLiteral("Value > 0");
    source->Active = true;
    source->ApplyFrame = true;
    target->Assign(source);
    ASSERT_EQ(target->FillType(), ftGradient);
    EXPECT_EQ(static_cast<TzdGradientFill*>(target->Fill())->StartColor, plat::clRed);
    EXPECT_EQ(target->Condition, QStringLiteral("Value > 0"));
    EXPECT_TRUE(target->ApplyFrame);
    EXPECT_FALSE(target->Active);
    target->SetFillType(ftGlass);
    target->SetColor(plat::clRed);
    EXPECT_EQ(target->Color(), plat::clNone);
    TzdFormatCollection formats;
    auto* f = static_cast<TzdFormat*>(formats.Add());
    f->Kind = fkNumeric;
    f->FormatStr = QStringLiteral("%2.2f");
    auto* g = static_cast<TzdFormat*>(formats.Add());
    g->Assign(f);
    EXPECT_EQ(g->Kind, fkNumeric);
    EXPECT_EQ(g->FormatStr, QStringLiteral("%2.2f"));
}

// ---------------------------------------------------------------------------
// Pictures

TEST_F(ObjectsFixture, PicturesKeepTheirAspectAndMoveToTheCentre)
{
    auto* picture = new TzdPictureView(&report);
    picture->SetBounds(0, 0, 100, 100);
    picture->Picture()->LoadFromBytes(pngOf(200, 100, Qt::red));
    Drawing d;
    d.draw(picture);
    EXPECT_EQ(d.ink(), QRect(0, 0, 100, 50));
    picture->Center = true;
    Drawing e;
    e.draw(picture);
    EXPECT_EQ(e.ink(), QRect(0, 25, 100, 50));
    // Natural size, centred and clipped to the object.
    picture->Stretched = false;
    picture->SetBounds(0, 0, 100, 60);
    Drawing f;
    f.draw(picture);
    EXPECT_EQ(f.ink(), QRect(0, 0, 100, 60));
    picture->SetBounds(0, 0, 300, 160);
    Drawing g(400, 200);
    g.draw(picture);
    EXPECT_EQ(g.ink(), QRect(50, 30, 200, 100));
}

TEST_F(ObjectsFixture, TransparentPicturesLetTheirColourThrough)
{
    auto* picture = new TzdPictureView(&report);
    picture->SetBounds(0, 0, 40, 40);
    picture->SetColor(plat::clYellow);
    picture->Picture()->LoadFromBytes(pngOf(40, 40, Qt::white));
    picture->SetTransparent(true);
    Drawing d;
    d.draw(picture);
    EXPECT_TRUE(d.is(20, 20, qRgb(255, 255, 0)));
    picture->SetTransparent(false);
    Drawing e;
    e.draw(picture);
    EXPECT_TRUE(e.white(20, 20));
}

TEST_F(ObjectsFixture, BlobsAreRecognisedByTheirBytes)
{
    auto* picture = new TzdPictureView(&report);
    const QByteArray bmp = bmpOf(3, 2, Qt::blue);
    auto header = [](quint32 length) {
        QByteArray h("\x01\x00\x00\x01", 4);
        for (int i = 0; i < 4; ++i)
            h.append(char((length >> (8 * i)) & 0xFF));
        return h;
    };
    plat::TMemoryStream good(header(quint32(bmp.size())) + bmp);
    EXPECT_EQ(picture->LoadGraphicFromStream(good, true), 0);
    EXPECT_EQ(picture->Picture()->Width(), 3);
    EXPECT_EQ(QString::fromLatin1(picture->Picture()->Graphic()->GraphicClassName()), QStringLiteral("TBitmap"));
    // The same bytes with a wrong length are read from the first byte: nothing.
    plat::TMemoryStream wrong(header(quint32(bmp.size() + 1)) + bmp);
    EXPECT_EQ(picture->LoadGraphicFromStream(wrong, true), TzdPictureView::kInvalidArgument);
    EXPECT_TRUE(picture->Picture()->Empty());
    plat::TMemoryStream empty;
    EXPECT_EQ(picture->LoadGraphicFromStream(empty, true), TzdPictureView::kInvalidArgument);
    // From the current position.
    plat::TMemoryStream later(QByteArray("xyz") + pngOf(5, 4, Qt::green));
    later.SetPosition(3);
    EXPECT_EQ(picture->LoadGraphicFromStream(later, false), 0);
    EXPECT_EQ(picture->Picture()->Height(), 4);
}

TEST_F(ObjectsFixture, AFileLinkLoadsOrEmptiesThePicture)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("logo7.png"));
    QFile file(png);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pngOf(8, 6, Qt::green));
    file.close();
    auto* picture = new TzdPictureView(&report);
    picture->FileLink = dir.path() + QStringLiteral("/logo[3+4].png");
    picture->GetData();
    EXPECT_EQ(picture->Picture()->Width(), 8);
    EXPECT_EQ(picture->FileLink, dir.path() + QStringLiteral("/logo[3+4].png"));
    picture->FileLink = dir.filePath(QStringLiteral("missing.png"));
    picture->GetData();
    EXPECT_TRUE(picture->Picture()->Empty());
}

TEST_F(ObjectsFixture, AutoSizeTakesThePicturesSize)
{
    auto* picture = new TzdPictureView(&report);
    picture->SetAutoSize(true);
    picture->Picture()->LoadFromBytes(pngOf(30, 20, Qt::red));
    EXPECT_EQ(picture->Width(), 30);
    EXPECT_EQ(picture->Height(), 20);
    EXPECT_TRUE(picture->PictureChanged);
}

TEST_F(ObjectsFixture, PicturesTravelInTheTemplate)
{
    for (const QByteArray& bytes : {pngOf(7, 5, Qt::red), bmpOf(4, 3, Qt::blue)}) {
        auto* picture = new TzdPictureView(&report);
        picture->Picture()->LoadFromBytes(bytes);
        const QByteArray saved = zdtest::saveToBytes(picture, false);
        EXPECT_TRUE(saved.contains("Picture.PropData=")) << saved.left(200).constData();
        auto* loaded = new TzdPictureView(&report);
        zdtest::loadFromBytes(loaded, saved);
        ASSERT_FALSE(loaded->Picture()->Empty());
        EXPECT_EQ(loaded->Picture()->Graphic()->SaveToBytes(), picture->Picture()->Graphic()->SaveToBytes());
        // Kept by index instead: the picture is left out.
        picture->PictureStored = false;
        picture->ImageIndexStored = true;
        picture->ImageIndex = 3;
        const QByteArray byIndex = zdtest::saveToBytes(picture, false);
        EXPECT_FALSE(byIndex.contains("Picture.PropData"));
        EXPECT_TRUE(byIndex.contains("ImageIndex=\"3\""));
    }
}

TEST_F(ObjectsFixture, ThePictureDifferenceAlwaysHoldsItsIndex)
{
    auto* reference = new TzdPictureView(&report);
    auto* picture = new TzdPictureView(&report);
    EXPECT_EQ(picture->DiffAttributes(reference), QStringLiteral(" ImageIndex=\"0\""));
    picture->SetTransparent(true);
    picture->TransparentColor = plat::clRed;
    EXPECT_EQ(picture->DiffAttributes(reference),
              QStringLiteral(" ImageIndex=\"0\" Transparent=\"1\" TransparentColor=\"255\""));
}

// ---------------------------------------------------------------------------
// Check boxes and gradients

TEST_F(ObjectsFixture, CheckBoxesTakeTheirStateFromFieldExpressionOrThemselves)
{
    auto* box = new TzdCheckBoxView(&report);
    EXPECT_NEAR(double(box->Width()), 18.89765, 1e-9);
    EXPECT_NEAR(double(box->Height()), 18.89765, 1e-9);
    box->Checked = false;
    box->GetData();
    EXPECT_FALSE(box->Checked); // neither field nor expression

    box->Expression = QStringLiteral("2 > 1");
    box->GetData();
    EXPECT_TRUE(box->Checked);

    auto* ds = new TzdUserDataSet(&report);
    ds->SetUserName(QStringLiteral("Data"));
    plat::Variant value = plat::Variant::null();
    ds->OnGetValue = TzdGetValueEvent([&](const QString&, plat::Variant& v) { v = value; }, nullptr, nullptr);
    box->SetDataSet(ds);
    box->SetDataField(QStringLiteral("flag"));
    box->GetData();
    EXPECT_FALSE(box->Checked); // Null
    value = plat::Variant(1);
    box->GetData();
    EXPECT_TRUE(box->Checked);
    value = plat::Variant(0);
    box->GetData();
    EXPECT_FALSE(box->Checked);
}

TEST_F(ObjectsFixture, AnUncheckedEmptyBoxShowsOnlyBackgroundAndFrame)
{
    auto* box = new TzdCheckBoxView(&report);
    box->SetBounds(10, 10, 40, 40);
    box->Checked = false;
    box->SetColor(plat::clYellow);
    box->Frame()->Typ = TzdFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    Drawing d;
    d.draw(box);
    for (int y = 11; y < 50; ++y)
        for (int x = 11; x < 50; ++x)
            ASSERT_TRUE(d.is(x, y, qRgb(255, 255, 0))) << x << "," << y;
    EXPECT_TRUE(d.is(10, 30, qRgb(0, 0, 0)));
}

TEST_F(ObjectsFixture, CrossAndTickAreDrawnInTheCheckColour)
{
    // The platform's symbol font is not installed (its stand-ins lack the
    // cross): the cross and the tick are drawn in a cell as high as the box.
    const QRgb red = qRgb(255, 0, 0);
    auto* box = new TzdCheckBoxView(&report);
    box->SetBounds(10, 10, 40, 40);
    box->CheckColor = plat::clRed;
    Drawing cross;
    cross.draw(box);
    for (QPoint p : {QPoint(30, 30), QPoint(21, 21), QPoint(39, 21), QPoint(21, 39), QPoint(39, 39)})
        EXPECT_TRUE(cross.is(p.x(), p.y(), red)) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(30, 13), QPoint(13, 30), QPoint(47, 30), QPoint(30, 47)})
        EXPECT_TRUE(cross.white(p.x(), p.y())) << p.x() << "," << p.y();
    int left = 0, right = 0;
    for (int y = 10; y < 50; ++y)
        for (int x = 10; x < 50; ++x)
            if (cross.is(x, y, red))
                ++(x < 30 ? left : right);
    EXPECT_NEAR(left, right, 15); // as wide on both sides
    EXPECT_TRUE(QRect(10, 10, 40, 40).contains(cross.ink()));

    box->CheckStyle = csCheck;
    Drawing tick;
    tick.draw(box);
    EXPECT_TRUE(tick.is(35, 30, red));
    EXPECT_TRUE(tick.is(22, 37, red));
    EXPECT_TRUE(tick.white(14, 14));
    EXPECT_TRUE(tick.white(40, 42));

    // Lines: the crossed lines and the plus and minus.
    box->CheckStyle = csLineCross;
    Drawing lines;
    lines.draw(box);
    EXPECT_TRUE(lines.is(10, 10, red));
    EXPECT_TRUE(lines.is(30, 30, red));
    box->CheckStyle = csPlus;
    Drawing plus;
    plus.draw(box);
    EXPECT_TRUE(plus.is(13, 30, red));
    EXPECT_TRUE(plus.is(30, 13, red));
    EXPECT_TRUE(plus.white(12, 30));
    box->Checked = false;
    box->UncheckStyle = usMinus;
    Drawing minus;
    minus.draw(box);
    EXPECT_TRUE(minus.is(13, 30, red));
    EXPECT_TRUE(minus.white(30, 13));
}

TEST_F(ObjectsFixture, GradientObjectsPaintTheirPatternNotTheirColour)
{
    auto* gradient = new TzdGradientView(&report);
    gradient->SetBounds(0, 0, 256, 4);
    gradient->BeginColor = plat::clBlack;
    gradient->EndColor = plat::clWhite;
    gradient->SetColor(plat::clRed); // the brush colour, never painted
    EXPECT_EQ(gradient->Color(), plat::RGB(127, 127, 127));
    gradient->BeginColor = plat::clWhite;
    gradient->EndColor = plat::clBlack;
    EXPECT_EQ(gradient->Color(), plat::RGB(128, 128, 128));
    gradient->BeginColor = plat::clBlack;
    gradient->EndColor = plat::clWhite;
    Drawing d(300, 10);
    d.draw(gradient);
    for (int x = 0; x < 256; ++x)
        ASSERT_TRUE(d.is(x, 2, qRgb(x, x, x))) << x;
    // The middle colour is written to files; a new one writes its two colours only when changed.
    const QByteArray saved = zdtest::saveToBytes(gradient, false);
    EXPECT_TRUE(saved.contains("Color=\"8355711\"")) << saved.constData();
}

TEST_F(ObjectsFixture, CheckBoxAndGradientUnitsRegisterTheirClassesAndScriptNames)
{
    bool box = false, gradient = false;
    TzdObjectCollection* objects = zdGetObjectRegistry();
    for (int i = 0; i < objects->Count(); ++i) {
        const TzdObjectItem& item = objects->GetItem(i);
        if (item.ClassRef == TzdCheckBoxView::StaticClass())
            box = item.ImageIndex == 24;
        if (item.ClassRef == TzdGradientView::StaticClass())
            gradient = item.ImageIndex == 50;
    }
    EXPECT_TRUE(box);
    EXPECT_TRUE(gradient);
    EXPECT_EQ(plat::GetClass(u"TzdCheckBoxView"), TzdCheckBoxView::StaticClass());
    const int hidden = zdGetPropertyEditorRegistry()->GetEditorIndex(
        plat::typeInfoOf<plat::ti::TColor>(), new TzdCheckBoxView(&report), QStringLiteral("Color"));
    ASSERT_GE(hidden, 0);
    EXPECT_EQ(zdGetPropertyEditorRegistry()->GetItem(hidden).EditorClass, nullptr);

    TzsScript script;
    script.AddRTTI();
    script.Lines.SetText(QStringLiteral("begin end."));
    ASSERT_TRUE(script.Compile());
    EXPECT_EQ(script.Evaluate(QStringLiteral("csLineCross")).toInteger(), 2);
    EXPECT_EQ(script.Evaluate(QStringLiteral("usMinus")).toInteger(), 3);
    EXPECT_EQ(script.Evaluate(QStringLiteral("gsHorizCenter")).toInteger(), 5);
    EXPECT_NE(script.FindClass(QStringLiteral("TzdCheckBoxView")), nullptr);
    EXPECT_NE(script.FindClass(QStringLiteral("TzdGradientView")), nullptr);
}

// ---------------------------------------------------------------------------
// Damaged templates

TEST_F(ObjectsFixture, DamagedObjectsLoadAndDrawOrAreRefused)
{
    // A template with one object of each kind, pictures included.
    {
        auto* shape = new TzdShapeView(&report);
        shape->SetName(QStringLiteral("Shape1"));
        shape->SetBounds(2, 3, 40, 30);
        shape->SetFillType(ftGlass);
        auto* line = new TzdLineView(&report);
        line->SetName(QStringLiteral("Line1"));
        line->SetBounds(5, 5, 60, 0);
        line->ArrowEnd = true;
        auto* png = new TzdPictureView(&report);
        png->SetName(QStringLiteral("Png1"));
        png->SetBounds(0, 0, 30, 20);
        png->Picture()->LoadFromBytes(pngOf(3, 2, Qt::red));
        auto* bmp = new TzdPictureView(&report);
        bmp->SetName(QStringLiteral("Bmp1"));
        bmp->SetBounds(0, 0, 30, 20);
        bmp->Picture()->LoadFromBytes(bmpOf(2, 2, Qt::blue));
        auto* box = new TzdCheckBoxView(&report);
        box->SetName(QStringLiteral("Check1"));
        auto* gradient = new TzdGradientView(&report);
        gradient->SetName(QStringLiteral("Gradient1"));
        gradient->SetBounds(0, 0, 50, 10);
        gradient->Style = gsElliptic;
    }
    zdtest::registerTestClasses();
    const QByteArray fixture = zdtest::saveToBytes(&report);
    const auto outcome = mutation::runMutations({fixture}, 250, 1944, mutation::textTokens(), [](const QByteArray& b) {
        TzdTestReport loaded;
        zdtest::loadFromBytes(&loaded, b);
        QImage image(64, 64, QImage::Format_RGB32);
        plat::TCanvas canvas(&image);
        for (TzdComponent* obj : loaded.AllObjects())
            if (auto* printable = dynamic_cast<TzdReportComponent*>(obj))
                printable->Draw(&canvas, 1, 1, 0, 0);
    });
    EXPECT_GT(outcome.accepted, 100);
}
