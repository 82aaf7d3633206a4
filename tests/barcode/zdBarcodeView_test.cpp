// The barcode objects of report pages: defaults, sizing, alignment,
// rotation, failures shown in red, and the property classes.

#include "Canvas.h"
#include "Variant.h"
#include "zdBarcode2DView.h"
#include "zdBarcodeView.h"
#include "zdClass.h"
#include "zdDataSets.h"
#include "zdDsgnIntf.h"
#include "zs_script.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

void startUnits()
{
    static const bool started = [] {
        zd::startReportUnit();
        zd::startBarcodeViewRTTIUnit();
        zd::startBarcodeViewUnit();
        return true;
    }();
    (void)started;
}

// A dataset whose every field is Null.
class NullDataSet : public TzdUserDataSet {
public:
    NullDataSet() : TzdUserDataSet(nullptr) {}
    plat::Variant GetValue(const QString&) override { return plat::Null(); }
};

int redPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80)
                ++n;
        }
    return n;
}

QImage drawn(TzdView& view, long double scale = 1)
{
    view.GetRealBounds();
    QImage image(int(view.Width() * scale) + 40, int(view.Height() * scale) + 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    plat::TCanvas canvas(&image);
    view.Draw(&canvas, scale, scale, 10 - view.Left() * scale, 10 - view.Top() * scale);
    return image;
}

TEST(BarCodeView, NewObjectDefaults)
{
    startUnits();
    TzdBarCodeView view(nullptr);
    EXPECT_EQ(view.BarType, bcCode39);
    EXPECT_EQ(view.Text(), QStringLiteral("12345678"));
    EXPECT_EQ(double(view.WideBarRatio), 2.0);
    EXPECT_EQ(double(view.Zoom), 1.0);
    EXPECT_TRUE(view.ShowText);
    EXPECT_FALSE(view.TestLine);
    view.Font()->SetSize(12);
    EXPECT_EQ(view.Font()->Size(), 9);
}

TEST(BarCodeView, ZoomThatIsNoSaneNumberDrawsAsOne)
{
    startUnits();
    TzdBarCodeView one(nullptr);
    one.GetRealBounds();
    for (long double zoom : {0.0L, std::numeric_limits<long double>::quiet_NaN(),
                             std::numeric_limits<long double>::infinity(), -3.0L}) {
        TzdBarCodeView view(nullptr);
        view.Zoom = zoom;
        view.GetRealBounds();
        EXPECT_EQ(double(view.Zoom), 1.0);
        EXPECT_EQ(double(view.Width()), double(one.Width()));
    }
}

TEST(BarCodeView, EanAndUpcLeaveRoomForTheirDigits)
{
    startUnits();
    TzdBarCodeView ean(nullptr), upc(nullptr);
    ean.BarType = bcCodeEAN13;
    ean.SetText(QStringLiteral("123456789012"));
    upc.BarType = bcCodeUPC_A;
    upc.SetText(QStringLiteral("12345678901"));
    ean.GetRealBounds();
    upc.GetRealBounds();
    EXPECT_EQ(double(ean.Width()), double(ean.Barcode()->GetWidth() + 8));
    EXPECT_EQ(double(upc.Width()), double(upc.Barcode()->GetWidth() + 17));
    const TzdExtRect r = upc.GetRealBounds();
    EXPECT_EQ(double(r.Left), double(upc.Left() - 8));
    EXPECT_EQ(double(r.Right), double(upc.Left() + upc.Width() + 8));
}

TEST(BarCodeView, RightAlignedKeepsItsRightEdge)
{
    startUnits();
    TzdBarCodeView view(nullptr);
    view.HAlign = haRight;
    view.SetLeft(300);
    view.GetRealBounds();
    const long double right = view.Left() + view.Width();
    view.SetText(QStringLiteral("123456789012345"));
    view.GetRealBounds();
    EXPECT_NEAR(double(view.Left() + view.Width()), double(right), 1e-9);
    EXPECT_LT(double(view.Left()), 300.0);
}

TEST(BarCodeView, RotatedObjectSetsItsHeight)
{
    startUnits();
    TzdBarCodeView view(nullptr);
    view.SetWidth(33);
    view.Rotation = 90;
    view.GetRealBounds();
    EXPECT_EQ(double(view.Width()), 33.0);
    EXPECT_EQ(double(view.Height()), double(view.Barcode()->GetWidth()));
}

TEST(BarCodeView, LettersInANumericCodeShowTheErrorInRed)
{
    startUnits();
    TzdBarCodeView view(nullptr);
    view.BarType = bcCodeEAN8;
    view.SetText(QStringLiteral("ABCDEFG"));
    view.SetHeight(60);
    const QImage image = drawn(view, 2);
    EXPECT_FALSE(view.ErrorText().isEmpty());
    EXPECT_GT(redPixels(image), 10);
}

TEST(BarCodeView, NullFieldDrawsTheMessageInsteadOfAborting)
{
    startUnits();
    NullDataSet data;
    data.SetUserName(QStringLiteral("Records"));
    for (int kind = 0; kind < 2; ++kind) {
        std::unique_ptr<TzdView> view;
        if (kind == 0)
            view = std::make_unique<TzdBarCodeView>(nullptr);
        else
            view = std::make_unique<TzdBarcode2DView>(nullptr);
        view->SetDataSet(&data);
        view->SetDataField(QStringLiteral("kod"));
        view->SetHeight(60);
        view->SetWidth(100);
        EXPECT_NO_THROW(view->GetData());
        const QImage image = drawn(*view, 2);
        EXPECT_GT(redPixels(image), 10) << kind;
    }
}

TEST(Barcode2DView, NewObjectIsAPdf417ThatStretches)
{
    startUnits();
    TzdBarcode2DView view(nullptr);
    EXPECT_EQ(view.BarType(), bcCodePDF417);
    EXPECT_EQ(view.StretchMode(), smActualHeight);
    EXPECT_TRUE(dynamic_cast<TzdPDF417Properties*>(view.BarProperties()));
    view.SetText(QStringLiteral("jiný text"));
    view.SetBarType(bcCodeQR);
    EXPECT_TRUE(dynamic_cast<TzdQRProperties*>(view.BarProperties()));
    EXPECT_EQ(view.Text(), TzdBarcode2DBase::DefaultText());
}

TEST(Barcode2DView, RotationSnapsToQuarterTurns)
{
    const struct {
        long double in;
        int out;
    } cases[] = {{0, 0}, {44, 0}, {45, 90}, {100, 90}, {135, 90}, {136, 180}, {224, 180}, {225, 270},
                 {315, 270}, {316, 0}, {350, 0}, {-10, 0}, {1e30L, 0},
                 {std::numeric_limits<long double>::quiet_NaN(), 0}};
    for (const auto& c : cases)
        EXPECT_EQ(zd::snapRotation(c.in), c.out) << double(c.in);
    startUnits();
    TzdBarcode2DView view(nullptr);
    view.SetRotation(100);
    view.GetRealBounds();
    EXPECT_EQ(view.Rotation(), 90);
}

TEST(Barcode2DView, ZoomScalesTheSymbolButNotAnUnscaledTextBand)
{
    startUnits();
    TzdBarcode2DView view(nullptr);
    view.SetBarType(bcCodeQR);
    view.SetShowText(true);
    view.SetFontScaled(false);
    view.GetRealBounds();
    const long double h1 = view.Height();
    const long double band = view.Symbol()->GetTextHeight();
    view.SetZoom(2);
    view.GetRealBounds();
    EXPECT_NEAR(double(view.Height()), double(2 * (h1 - band) + band), 1e-9);
}

TEST(Barcode2DView, PixelSizeBelowTwoIsTwo)
{
    startUnits();
    TzdBarcode2DView view(nullptr);
    view.SetBarType(bcCodeDataMatrix);
    auto* dm = static_cast<TzdDataMatrixProperties*>(view.BarProperties());
    dm->SetPixelSize(1);
    EXPECT_EQ(dm->PixelSize(), 2);
    view.SetBarType(bcCodeQR);
    auto* qr = static_cast<TzdQRProperties*>(view.BarProperties());
    qr->SetPixelSize(1);
    EXPECT_EQ(qr->PixelSize(), 2);
}

TEST(Barcode2DView, CopiedPropertiesStayWithTheirOwnSymbol)
{
    startUnits();
    TzdBarcode2DView a(nullptr), b(nullptr);
    auto* pa = static_cast<TzdPDF417Properties*>(a.BarProperties());
    auto* pb = static_cast<TzdPDF417Properties*>(b.BarProperties());
    pa->SetColumns(5);
    pa->SetPixelWidth(3);
    pa->SetErrorCorrection(PDF417ErrorCorrection::Level4);
    b.SetBarProperties(pa);
    EXPECT_EQ(pb->Columns(), 5);
    EXPECT_EQ(pb->PixelWidth(), 3);
    EXPECT_EQ(pb->ErrorCorrection(), PDF417ErrorCorrection::Level4);
    pb->SetColumns(7);
    EXPECT_EQ(pa->Columns(), 5);

    TzdBarcode2DView q1(nullptr), q2(nullptr);
    q1.SetBarType(bcCodeQR);
    q2.SetBarType(bcCodeQR);
    static_cast<TzdQRProperties*>(q1.BarProperties())->SetPixelSize(6);
    static_cast<TzdQRProperties*>(q1.BarProperties())->SetErrorLevels(ecH);
    q2.SetBarProperties(q1.BarProperties());
    EXPECT_EQ(static_cast<TzdQRProperties*>(q2.BarProperties())->ErrorLevels(), ecH);
    EXPECT_NE(static_cast<TzdQRProperties*>(q2.BarProperties())->PixelSize(), 6);
}

TEST(BarcodeViews, PaletteHasTheBarcodeCategoryAndEntries)
{
    startUnits();
    TzdObjectCollection* objects = zdGetObjectRegistry();
    int linear = 0, twoD = 0;
    bool category = false;
    for (int i = 0; i < objects->Count(); ++i) {
        const TzdObjectItem& item = objects->GetItem(i);
        if (!item.ClassRef && item.CategoryName == QStringLiteral("Barcode"))
            category = true;
        if (item.ClassRef == TzdBarCodeView::StaticClass())
            ++linear;
        if (item.ClassRef == TzdBarcode2DView::StaticClass())
            ++twoD;
    }
    EXPECT_TRUE(category);
    EXPECT_EQ(linear, 25);
    EXPECT_EQ(twoD, 3);
    std::unique_ptr<TzdComponent> made(
        TzdComponent::DesignCreate(TzdBarCodeView::StaticClass(), nullptr, quint16(bcCodeEAN13)));
    EXPECT_EQ(static_cast<TzdBarCodeView*>(made.get())->BarType, bcCodeEAN13);
}

TEST(BarcodeViews, ScriptsSeeTheTypesButNotGs1)
{
    startUnits();
    TzsScript script;
    script.AddRTTI();
    EXPECT_EQ(script.Evaluate(QStringLiteral("bcCodeEAN128C")).toInt64(), 24);
    EXPECT_FALSE(script.EvaluateFailed);
    script.Evaluate(QStringLiteral("bcGS1Code128"));
    EXPECT_TRUE(script.EvaluateFailed);
    EXPECT_EQ(script.Evaluate(QStringLiteral("bcCodeQR")).toInt64(), 2);
    EXPECT_EQ(script.Evaluate(QStringLiteral("Size144x144")).toInt64(), 30);
}

} // namespace
