#include "Canvas.h"

#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

using namespace plat;

namespace {

// A control that paints itself through the platform canvas.
class Swatch : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        TCanvas canvas;
        canvas.SetPainter(&p);
        canvas.Brush().SetColor(clBtnFace);
        canvas.FillRect(Rect(0, 0, width(), height()));
        canvas.Pen().SetColor(clBtnShadow);
        canvas.Brush().SetColor(clRed);
        canvas.Rectangle(4, 4, 24, height() - 5);
    }
};

} // namespace

TEST(WidgetCanvas, PaintEventDrawsThroughTheCanvas)
{
    Swatch w;
    w.resize(40, 20);
    w.show();
    const QImage img = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(img.width(), 40);
    EXPECT_EQ(img.pixel(1, 1) & 0xFFFFFF, ToQColor(clBtnFace).rgb() & 0xFFFFFF);
    EXPECT_EQ(img.pixel(4, 4) & 0xFFFFFF, ToQColor(clBtnShadow).rgb() & 0xFFFFFF);
    EXPECT_EQ(img.pixel(23, 14) & 0xFFFFFF, ToQColor(clBtnShadow).rgb() & 0xFFFFFF);
    EXPECT_EQ(img.pixel(10, 10) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(img.pixel(24, 10) & 0xFFFFFF, ToQColor(clBtnFace).rgb() & 0xFFFFFF);
}

TEST(WidgetCanvas, ScreenResolutionFollowsTheScreenUnlessFixed)
{
    EXPECT_GT(ScreenPixelsPerInch(), 0);
    SetScreenPixelsPerInch(120);
    EXPECT_EQ(ScreenPixelsPerInch(), 120);
    SetScreenPixelsPerInch(0);
    EXPECT_NE(ScreenPixelsPerInch(), 0);
}
