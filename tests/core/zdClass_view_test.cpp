// Views: pixel geometry, background under the frame, hyperlinks, the data
// step with expressions run by the real script engine, and difference texts.

#include "Canvas.h"
#include "Exceptions.h"
#include "Handles.h"
#include "Variant.h"
#include "zdClass_fill.h"
#include "zdClass_highlight.h"
#include "zdClass_picture.h"
#include "zdClass_shape.h"
#include "zdClass_view.h"
#include "zdChBox.h"
#include "zdGradient.h"
#include "zdModelFixture.h"
#include "zdXMLSerializer.h"
#include "zs_script.h"

#include <QImage>

#include <gtest/gtest.h>

#include <random>

using zdtest::TzdTestBand;
using zdtest::TzdTestReport;

namespace {

struct ViewFixture : ::testing::Test {
    TzdTestReport report;
    TzdTestBand* band = new TzdTestBand(&report);
    TzdShapeView* view = new TzdShapeView(band);

    ViewFixture()
    {
        zdtest::startReportLibrary();
        band->SetName(QStringLiteral("Band1"));
        band->SetBounds(0, 100, 700, 80);
        view->SetName(QStringLiteral("Shape1"));
        view->SetBounds(10, 20, 100, 50);
    }
};

QRect inkOf(const QImage& image, QRgb colour)
{
    int l = image.width(), t = image.height(), r = -1, b = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) {
                l = std::min(l, x);
                t = std::min(t, y);
                r = std::max(r, x);
                b = std::max(b, y);
            }
    return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

} // namespace

TEST_F(ViewFixture, BeginDrawTurnsGeometryIntoPixelEdges)
{
    view->BeginDraw(nullptr, 1, 1, 0, 0);
    EXPECT_EQ(view->PixX, 10);
    EXPECT_EQ(view->PixY, 120);
    EXPECT_EQ(view->PixX1, 110);
    EXPECT_EQ(view->PixY1, 170);
    EXPECT_EQ(view->PixWidth, 100);
    EXPECT_EQ(view->PixHeight, 50);
    view->Frame()->DropShadow = true; // the shadow is drawn inside the object
    view->BeginDraw(nullptr, 1, 1, 0, 0);
    EXPECT_EQ(view->PixX1, 106);
    EXPECT_EQ(view->PixY1, 166);
    // Halves go to the even neighbour.
    view->Frame()->DropShadow = false;
    view->SetLeft(0.5);
    view->Frame()->SetWidth(1.25);
    view->BeginDraw(nullptr, 2, 2, 0, 0);
    EXPECT_EQ(view->PixX, 1);
    EXPECT_EQ(view->PixFrameWidth, 2);
    view->BeginDraw(nullptr, 1, 1, 0, 0);
    EXPECT_EQ(view->PixX, 0);
}

TEST_F(ViewFixture, BackgroundReachesUnderTheRightAndBottomOfAOnePixelFrame)
{
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    view->SetColor(plat::clRed);
    view->Frame()->Typ = TzdFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    view->Frame()->SetColor(plat::clNone); // the frame itself stays invisible
    {
        plat::TCanvas canvas(&image);
        view->BeginDraw(&canvas, 1, 1, 0, 0);
        view->DrawBackground();
    }
    EXPECT_EQ(inkOf(image, qRgb(255, 0, 0)), QRect(QPoint(10, 120), QPoint(110, 170)));
}

TEST_F(ViewFixture, UrlSetsTheHyperlink)
{
    view->SetURL(QStringLiteral("@5"));
    EXPECT_EQ(view->Hyperlink()->Kind, hkPageNumber);
    EXPECT_EQ(view->Hyperlink()->Value, QStringLiteral("5"));
    view->SetURL(QStringLiteral("#top"));
    EXPECT_EQ(view->Hyperlink()->Kind, hkAnchor);
    EXPECT_EQ(view->Hyperlink()->Value, QStringLiteral("top"));
    view->SetURL(QString());
    EXPECT_EQ(view->Hyperlink()->Kind, hkAnchor);
    view->SetURL(QStringLiteral("https://example.org/a?b=1"));
    EXPECT_EQ(view->Hyperlink()->Kind, hkURL);
    EXPECT_EQ(view->Hyperlink()->Value, QStringLiteral("https://example.org/a?b=1"));
    EXPECT_TRUE(view->URL().isEmpty());
}

TEST_F(ViewFixture, ColorAndBrushStyleFollowTheFillKind)
{
    view->SetColor(plat::clRed);
    EXPECT_EQ(view->Color(), plat::clRed);
    EXPECT_EQ(view->BrushStyle(), plat::bsSolid);
    view->SetFillType(ftGradient);
    auto* gradient = static_cast<TzdGradientFill*>(view->Fill());
    gradient->StartColor = plat::clWhite;
    gradient->EndColor = plat::clBlack;
    EXPECT_EQ(view->Color(), plat::RGB(128, 128, 128));
    EXPECT_EQ(view->BrushStyle(), plat::bsClear);
    view->SetFillType(ftGlass);
    view->SetColor(plat::clRed);
    EXPECT_EQ(view->Color(), plat::clNone);
    EXPECT_EQ(static_cast<TzdGlassFill*>(view->Fill())->Color, plat::clGray);
    // A fill of another kind turns the view's fill into that kind first.
    TzdBrushFill brush;
    brush.BackColor = plat::clBlue;
    view->SetFill(&brush);
    EXPECT_EQ(view->FillType(), ftBrush);
    EXPECT_EQ(view->Color(), plat::clBlue);
}

TEST_F(ViewFixture, PrintableIsThePrintVisibility)
{
    view->SetPrintable(false);
    EXPECT_EQ(view->Visibility(), (TzdVisibilityTypes{vsPreview, vsExport}));
    view->SetPrintable(true);
    EXPECT_TRUE(view->Printable());
}

TEST_F(ViewFixture, TagExpressionsHoldTheirValuesWhilePrinting)
{
    view->SetTagStr(QStringLiteral("Total: [2+3] of ['x' + 'y'] [unclosed"));
    view->BeforePrint();
    view->GetData();
    EXPECT_EQ(view->TagStr(), QStringLiteral("Total: 5 of xy [unclosed"));
    view->AfterPrint();
    EXPECT_EQ(view->TagStr(), QStringLiteral("Total: 5 of ['x' + 'y'] [unclosed").replace(u'5', QStringLiteral("[2+3]")));
}

TEST_F(ViewFixture, SelfIsTheViewBeingPrinted)
{
    view->BeforePrint();
    EXPECT_EQ(report.Calc(QStringLiteral("Self.Name")).toString(), QStringLiteral("Shape1"));
}

TEST_F(ViewFixture, AFailingExpressionLeavesTheObjectAsItWas)
{
    view->SetTagStr(QStringLiteral("[1 + 1]"));
    view->Hyperlink()->Value = QStringLiteral("[NoSuchName]");
    report.EvaluatedObjectName = QStringLiteral("Shape1");
    view->BeforePrint();
    EXPECT_THROW(view->GetData(), plat::Exception);
    EXPECT_EQ(view->TagStr(), QStringLiteral("[1 + 1]"));
    EXPECT_EQ(view->Hyperlink()->Value, QStringLiteral("[NoSuchName]"));
    ASSERT_EQ(report.ErrorList.Count(), 1);
    EXPECT_TRUE(report.ErrorList.Strings(0).startsWith(QStringLiteral("Shape1: ")));
}

TEST_F(ViewFixture, HyperlinkValuesExpandPartByPart)
{
    view->Hyperlink()->Value = QStringLiteral("a[1+1];b[2*3];c");
    view->GetData();
    EXPECT_EQ(view->Hyperlink()->Value, QStringLiteral("a2;b6;c"));
    view->Hyperlink()->Kind = hkURL;
    view->Hyperlink()->Expression = QStringLiteral("10 div 2|'x'");
    view->Hyperlink()->ValuesSeparator = QStringLiteral("|");
    view->GetData();
    EXPECT_EQ(view->Hyperlink()->Value, QStringLiteral("5|x"));
}

TEST(ViewHyperlink, DetailValuesBecomeLiteralsOfTheReportsLanguage)
{
    // Each value must read back as itself in the report's own language.
    const QString tricky = QString::fromUtf8("O'Neil \"Bob\" C:\\dir\\ Žluťoučký\r\nnext");
    for (const char* language : {"PascalScript", "C++Script", "BasicScript", "JScript"}) {
        TzdTestReport report;
        report.Language = QString::fromLatin1(language);
        auto* view = new TzdShapeView(&report);
        view->SetName(QStringLiteral("Shape1"));
        report.Script().AddVariable(QStringLiteral("Tricky"), QStringLiteral("String"), plat::Variant(tricky));
        view->Hyperlink()->Kind = hkDetailPage;
        view->Hyperlink()->Expression = QStringLiteral("Tricky");
        view->GetData();
        const QString literal = view->Hyperlink()->Value;
        EXPECT_EQ(report.Calc(literal).toString(), tricky) << language << ": " << literal.toStdString();
        view->Hyperlink()->Kind = hkURL;
        view->GetData();
        EXPECT_EQ(view->Hyperlink()->Value, tricky) << language;
    }
    EXPECT_EQ(zd::scriptStringLiteral(QStringLiteral("O'Neil"), QStringLiteral("PascalScript")),
              QStringLiteral("'O''Neil'"));
    EXPECT_EQ(zd::scriptStringLiteral(QStringLiteral("a\"b"), QStringLiteral("BasicScript")),
              QStringLiteral("\"a\"\"b\""));
    EXPECT_EQ(zd::scriptStringLiteral(QStringLiteral("a\\\"b"), QStringLiteral("JScript")),
              QStringLiteral("\"a\\\\\\\"b\""));
}

TEST(ViewHyperlink, AssignVariablesTakesTheLastValueForExtraNames)
{
    TzdTestReport report;
    for (const char* name : {"A", "B", "C", "Single"})
        report.ReportVariables.SetVariables(QString::fromLatin1(name), plat::Variant(QString()));
    TzdHyperlink link;
    link.ReportVariable = QStringLiteral("a;B;c;Missing");
    link.Value = QStringLiteral("1;2");
    link.AssignVariables(&report);
    EXPECT_EQ(report.ReportVariables.GetVariables(QStringLiteral("A")).toString(), QStringLiteral("1"));
    EXPECT_EQ(report.ReportVariables.GetVariables(QStringLiteral("B")).toString(), QStringLiteral("2"));
    EXPECT_EQ(report.ReportVariables.GetVariables(QStringLiteral("C")).toString(), QStringLiteral("2"));
    EXPECT_EQ(report.ReportVariables.IndexOf(QStringLiteral("Missing")), -1);
    link.ReportVariable = QStringLiteral("Single");
    link.Value = QStringLiteral("x;y");
    link.AssignVariables(&report);
    EXPECT_EQ(report.ReportVariables.GetVariables(QStringLiteral("Single")).toString(), QStringLiteral("x;y"));
}

TEST(ViewDataSet, AFreedDataSetIsDropped)
{
    TzdTestReport report;
    auto* view = new TzdPictureView(&report);
    auto* ds = new TzdUserDataSet(&report);
    ds->SetUserName(QStringLiteral("Items"));
    view->SetDataSet(ds);
    view->SetDataField(QStringLiteral("photo"));
    EXPECT_EQ(view->DataSetName(), QStringLiteral("Items"));
    EXPECT_TRUE(view->IsDataField());
    delete ds;
    EXPECT_EQ(view->DataSet(), nullptr);
    EXPECT_FALSE(view->IsDataField());
    EXPECT_EQ(view->DataSetName(), QStringLiteral("Items"));
}

// ---------------------------------------------------------------------------
// Difference texts

namespace {

// Sets a random selection of the properties the difference text carries.
void changeRandomly(TzdView* v, std::mt19937& rng)
{
    auto chance = [&] { return std::uniform_int_distribution<int>(0, 3)(rng) == 0; };
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    auto colour = [&] { return plat::TColor(std::uniform_int_distribution<int>(0, 0xFFFFFF)(rng)); };
    auto real = [&] { return pick(4000) / 8.0L; };
    if (chance()) v->SetLeft(real());
    if (chance()) v->SetTop(real());
    if (chance()) v->SetWidth(real());
    if (chance()) v->SetHeight(real());
    if (chance()) v->SetVisible(!v->Visible());
    if (chance()) v->SetTag(pick(1000));
    if (chance()) v->SetAlign(static_cast<TzdAlign>(pick(8)));
    if (chance()) v->SetCursor(plat::TCursor(pick(40) - 22));
    if (chance()) v->SetVisibility(TzdVisibilityTypes::fromMask(quint32(pick(8))));
    if (chance()) v->SetTagStr(pick(2) ? QStringLiteral("<\"tag\" & 'x'>") : QString::fromUtf8("čárka"));
    TzdFrame* f = v->Frame();
    if (chance()) f->SetColor(colour());
    if (chance()) f->DropShadow = !f->DropShadow;
    if (chance()) f->ShadowColor = colour();
    if (chance()) f->ShadowWidth = real();
    if (chance()) f->SetStyle(static_cast<TzdFrameStyle>(pick(8)));
    if (chance()) f->Typ = TzdFrameTypes::fromMask(quint32(pick(16)));
    if (chance()) f->SetWidth(pick(40) / 4.0L);
    for (TzdFrameType side : {ftLeft, ftRight, ftTop, ftBottom}) {
        TzdFrameLine* line = f->Line(side);
        if (chance()) line->Color = colour();
        if (chance()) line->Style = static_cast<TzdFrameStyle>(pick(8));
        if (chance()) line->Width = pick(40) / 4.0L;
    }
    if (chance()) v->SetFillType(static_cast<TzdFillType>(pick(3)));
    if (auto* brush = dynamic_cast<TzdBrushFill*>(v->Fill())) {
        if (chance()) brush->BackColor = colour();
        if (chance()) brush->ForeColor = colour();
        if (chance()) brush->Style = static_cast<plat::TBrushStyle>(pick(8));
    } else if (auto* gradient = dynamic_cast<TzdGradientFill*>(v->Fill())) {
        if (chance()) gradient->StartColor = colour();
        if (chance()) gradient->EndColor = colour();
        if (chance()) gradient->GradientStyle = static_cast<TzdGradientStyle>(pick(6));
    } else if (auto* glass = dynamic_cast<TzdGlassFill*>(v->Fill())) {
        if (chance()) glass->Color = colour();
        if (chance()) glass->Blend = pick(100) / 64.0L;
        if (chance()) glass->Hatch = !glass->Hatch;
        if (chance()) glass->Orientation = static_cast<TzdGlassFillOrientation>(pick(4));
    }
    TzdHyperlink* h = v->Hyperlink();
    if (chance()) h->Kind = static_cast<TzdHyperlinkKind>(pick(6));
    if (chance()) h->DetailReport = QStringLiteral("d&<%1>.zd3").arg(pick(9));
    if (chance()) h->DetailPage = QStringLiteral("Page%1").arg(pick(9));
    if (chance()) h->ReportVariable = QStringLiteral("A;B");
    if (chance()) h->TabCaption = QString::fromUtf8("Záložka \"%1\"").arg(pick(9));
    if (chance()) h->Value = QStringLiteral("v%1;w").arg(pick(9));
    if (chance()) h->ValuesSeparator = QStringLiteral("|");
    if (auto* shape = dynamic_cast<TzdShapeView*>(v); shape && chance())
        shape->Shape = static_cast<TzdShapeKind>(pick(7));
    if (auto* picture = dynamic_cast<TzdPictureView*>(v)) {
        if (chance()) picture->ImageIndex = pick(50);
        if (chance()) picture->SetTransparent(true);
        if (chance()) picture->TransparentColor = colour();
    }
}

template <class C>
void expectDifferencesRebuild(std::mt19937& rng)
{
    zdtest::startReportLibrary();
    TzdTestReport report;
    auto* reference = new C(&report);
    reference->SetName(QStringLiteral("Reference"));
    changeRandomly(reference, rng);
    auto* changed = new C(&report);
    changed->Assign(reference);
    changeRandomly(changed, rng);
    const QString diff = changed->DiffAttributes(reference);

    auto* rebuilt = new C(&report);
    rebuilt->Assign(reference);
    TzdXMLSerializer serializer(nullptr);
    serializer.Owner = &report;
    serializer.TextToProperties(diff.toUtf8(), rebuilt);
    EXPECT_EQ(serializer.GetObjectText(rebuilt).toStdString(), serializer.GetObjectText(changed).toStdString())
        << C::StaticClass()->ClassName().toStdString() << " diff:" << diff.toStdString();
}

} // namespace

TEST(ViewDifferences, ADifferenceTextAppliedToTheReferenceRebuildsTheObject)
{
    std::mt19937 rng(20240519);
    for (int i = 0; i < 150; ++i) {
        expectDifferencesRebuild<TzdShapeView>(rng);
        expectDifferencesRebuild<TzdPictureView>(rng);
        expectDifferencesRebuild<TzdCheckBoxView>(rng);
        expectDifferencesRebuild<TzdGradientView>(rng);
        expectDifferencesRebuild<TzdLineView>(rng);
    }
}

TEST(ViewDifferences, FrameItemsStandForTheirLines)
{
    TzdFrame reference, frame;
    frame.SetColor(plat::clRed);
    EXPECT_EQ(frame.DiffAttributes(&reference), QStringLiteral(" Frame.Color=\"255\""));
    frame.SetWidth(2);
    frame.LeftLine()->Width = 3;
    EXPECT_EQ(frame.DiffAttributes(&reference),
              QStringLiteral(" Frame.Color=\"255\" Frame.Width=\"2\" Frame.LeftLine.Width=\"3\""));
    // In the file, the frame writes its width once and the odd line its own.
    TzdXMLSerializer serializer(nullptr);
    EXPECT_EQ(serializer.PropertiesToText(&frame, QByteArray(), nullptr),
              QByteArray(" Color=\"255\" Width=\"2\" LeftLine.Width=\"3\""));
}

TEST(ViewDifferences, ViewItemsComeInTheirOrder)
{
    TzdTestReport report;
    auto* reference = new TzdShapeView(&report);
    auto* view = new TzdShapeView(&report);
    view->SetLeft(5);
    view->SetAlign(baClient);
    view->Frame()->Typ = TzdFrameTypes{ftLeft, ftBottom};
    view->SetCursor(-21);
    view->SetVisibility(TzdVisibilityTypes{vsPreview});
    view->SetTagStr(QStringLiteral("a<b"));
    view->SetFillType(ftGlass);
    view->Hyperlink()->Value = QStringLiteral("x");
    view->Hyperlink()->Expression = QStringLiteral("never written");
    view->Shape = skEllipse;
    EXPECT_EQ(view->DiffAttributes(reference),
              QStringLiteral(" l=\"5\" Align=\"6\" Frame.Typ=\"9\" Cursor=\"-21\" Visibility=\"1\" TagStr=\"a&#60;b\""
                             " FillType=\"2\" Fill.Color=\"8421504\" Fill.Blend=\"0.5\" Fill.Hatch=\"0\""
                             " Fill.Orientation=\"1\" Hyperlink.Value=\"x\" Shape=\"2\""));
}
