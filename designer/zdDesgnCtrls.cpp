#include "zdDesgnCtrls.h"

#include "Canvas.h"
#include "zdClass.h"
#include "zdUtils.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr long double kCharX = 9.6L;
constexpr long double kCharY = 17;

int rnd(long double v) { return int(std::nearbyint(v)); }

} // namespace

TzdRuler::TzdRuler(QWidget* Parent, bool Vertical) : QWidget(Parent), m_vertical(Vertical)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TzdRuler::SetOffset(int Value) { m_offset = Value; update(); }
void TzdRuler::SetScale(long double Value) { m_scale = Value; update(); }
void TzdRuler::SetStart(int Value) { m_start = Value; update(); }
void TzdRuler::SetUnits(TzdRulerUnits Value) { m_units = Value; update(); }
void TzdRuler::SetPosition(long double Value) { m_position = Value; update(); }
void TzdRuler::SetSize(int Value) { m_size = Value; update(); }

void TzdRuler::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    plat::TCanvas canvas;
    canvas.SetPainter(&painter);
    PaintTo(canvas);
    canvas.ReleaseDevice();
}

void TzdRuler::PaintTo(plat::TCanvas& Canvas)
{
    const int W = width(), H = height();
    Canvas.Brush().SetStyle(plat::bsSolid);
    Canvas.Brush().SetColor(plat::clBtnFace);
    Canvas.FillRect(plat::Rect(0, 0, W, H));
    const int extent = m_vertical ? H : W;
    const int E = m_size != 0 ? m_size + m_offset : extent;
    Canvas.Brush().SetColor(plat::clWindow);
    if (m_vertical)
        Canvas.FillRect(plat::Rect(3, m_offset, W - 5, E));
    else
        Canvas.FillRect(plat::Rect(m_offset, 3, E, H - 5));
    if (!(m_scale > 0) || !std::isfinite(double(m_scale)))
        return;

    Canvas.Font().SetName(QStringLiteral("Arial"));
    Canvas.Font().SetSize(7);
    Canvas.Font().SetOrientation(m_vertical ? 900 : 0);
    Canvas.Brush().SetStyle(plat::bsClear);
    Canvas.Pen().SetColor(plat::clBlack);
    Canvas.Pen().SetStyle(plat::psSolid);

    const long double c = m_vertical ? kCharY : kCharX;
    long double s = 1;
    int a = 10, m = 5;
    switch (m_units) {
    case ruCM:
        s = zd01cm * m_scale;
        break;
    case ruInches:
        s = zd01in * m_scale;
        break;
    case ruPixels:
        s = m_scale;
        a = 100;
        m = 50;
        break;
    case ruChars:
        s = c * m_scale / 10;
        break;
    }
    const bool pixels = m_units == ruPixels;
    const long double L = (m_size != 0 ? m_size : extent) + m_start;
    int widest = rnd(L / s) + m_start;
    if (!pixels)
        widest /= 10;
    const int w = Canvas.TextWidth(QString::number(widest));
    int o = m_offset - m_start;
    if (m_units == ruChars)
        o += rnd(c * m_scale * 0.5L);
    const long double as = a * s;
    int k = 1;
    if (w > 1.5L * as)
        k = 4;
    else if (w > 0.7L * as)
        k = 2;
    long double p = 0;
    for (int n = 0; n * s < L; ++n, p += s) {
        int len = 0;
        if (n != 0) {
            if (n % a == 0)
                len = 6;
            else if (n % m == 0)
                len = 4;
            else
                len = pixels ? 0 : 2;
        }
        if (len == 2 && as < 41)
            len = 0;
        if (len == 4 && as < 21)
            len = 0;
        const int at = rnd(p) + o;
        if (at < m_offset)
            continue;
        if (len == 6 && n % (k * a) == 0) {
            const QString label = QString::number(pixels ? n : n / 10);
            const int tw = Canvas.TextWidth(label);
            if (m_vertical)
                Canvas.TextOut(W - Canvas.TextHeight(label) - 6, at + tw / 2 + 1, label);
            else
                Canvas.TextOut(at - tw / 2, 4, label);
        } else if (len != 0) {
            const int from = (13 - len) / 2 + 3;
            if (m_vertical) {
                Canvas.MoveTo(from, at);
                Canvas.LineTo(from + len, at);
            } else {
                Canvas.MoveTo(at, from);
                Canvas.LineTo(at, from + len);
            }
        }
    }
    long double q = m_position * s;
    if (!pixels)
        q *= 10;
    if (o + q >= m_offset) {
        const int at = rnd(q) + o;
        if (m_vertical) {
            Canvas.MoveTo(3, at);
            Canvas.LineTo(16, at);
        } else {
            Canvas.MoveTo(at, 3);
            Canvas.LineTo(at, 16);
        }
    }
    Canvas.Font().SetOrientation(0);
}

TzdScrollBox::TzdScrollBox(QWidget* Parent) : QScrollArea(Parent)
{
    setObjectName(QStringLiteral("ScrollBox"));
    setBackgroundRole(QPalette::Dark);
    setWidgetResizable(false);
}

void TzdScrollBox::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    if (OnScroll)
        OnScroll();
}

void TzdScrollBox::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (OnScroll)
        OnScroll();
}
