#include "zdDesgnCtrls.h"

#include "Canvas.h"
#include "Services.h"
#include "zdClass.h"
#include "zdUtils.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionToolButton>

#include <algorithm>

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

void TzdRuler::mousePressEvent(QMouseEvent* event)
{
    m_dragging = event->button() == Qt::LeftButton;
    if (m_dragging)
        setCursor(m_vertical ? Qt::SplitHCursor : Qt::SplitVCursor);
}

void TzdRuler::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    unsetCursor();
    if (OnGuideDrop && !rect().contains(event->position().toPoint()))
        OnGuideDrop(this, event->globalPosition().toPoint());
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

// ---------------------------------------------------------------- popup form

qint64 TzdPopupForm::LastPopupCloseTick = -1000000;

qint64 TzdPopupForm::Tick()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

bool TzdPopupForm::ClosedWithin(int Ms) { return Tick() - LastPopupCloseTick < Ms; }

TzdPopupForm::TzdPopupForm(QWidget* Parent) : QWidget(Parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("zdPopupForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(11);
    setFont(f);
}

void TzdPopupForm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    LastPopupCloseTick = Tick();
    close();
}

// ---------------------------------------------------------------- colour table

namespace {

constexpr plat::TColor kInitialColors[zd::kColorTableSize] = {
    plat::clNone, 0x00FFFFFF, 0x00000000, 0x00000080, 0x00008000, 0x00008080, 0x00800000, 0x00800080,
    0x00808080, 0x00C0C0C0, 0x00808000, 0x000000FF, 0x0000FF00, 0x0000FFFF, 0x00FF0000, 0x00FF00FF,
    0x00CCCCCC, 0x00E4E4E4, 0x00FFFF00, 0x0000CCFF, 0x0000CC98, 0x0098FFFF, 0x00FFCC00, 0x00FF98CC,
    0x00D8D8D8, 0x00F0F0F0, 0x00FFFFDC, 0x00CAE4FF, 0x00CCFFCC, 0x00CCFFFF, 0x00FFF4CC, 0x00CC98FF,
    plat::clBtnFace, 0x0046DAFF, 0x009BEBFF, 0x0000A47B, 0x00FDBD97, 0x00FED3BA, 0x006ACFFF, 0x00FFF4CC,
    plat::clBtnFace, plat::clBtnFace, plat::clBtnFace, plat::clBtnFace,
    plat::clBtnFace, plat::clBtnFace, plat::clBtnFace, plat::clBtnFace};

constexpr int kFirstUserEntry = 38; // free entries above 37 take new colours
constexpr int kCell = 18;

} // namespace

plat::TColor* zd::ColorTable()
{
    static plat::TColor table[kColorTableSize] = {};
    static const bool filled = [] {
        std::copy(std::begin(kInitialColors), std::end(kInitialColors), table);
        return true;
    }();
    (void)filled;
    return table;
}

void zd::AddTableColor(plat::TColor Color)
{
    plat::TColor* t = ColorTable();
    if (std::find(t, t + kColorTableSize, Color) != t + kColorTableSize)
        return;
    for (int i = kFirstUserEntry; i < kColorTableSize; ++i)
        if (t[i] == plat::clBtnFace) {
            t[i] = Color;
            return;
        }
    for (int i = 40; i < kColorTableSize - 1; ++i)
        t[i] = t[i + 1];
    t[kColorTableSize - 1] = Color;
}

// ---------------------------------------------------------------- colour picker

TzdColorSelector::TzdColorSelector(QWidget* Owner) : QWidget(nullptr)
{
    setObjectName(QStringLiteral("zdColorSelector"));
    m_popup = new TzdPopupForm;
    setParent(m_popup);
    resize(155, 143);
    m_popup->resize(155, 143);
    if (Owner) {
        setProperty("tag", Owner->property("tag"));
        m_popup->move(Owner->mapToGlobal(QPoint(0, Owner->height() + 2)));
    }
    m_popup->show();
}

int TzdColorSelector::EntryAt(int X, int Y)
{
    const int row = (Y - 5) / kCell;
    if (Y - 5 < 0)
        return 0;
    if (row > 5)
        return -1;
    const int column = std::clamp((X - 5) / kCell, 0, 7);
    return row * 8 + column;
}

void TzdColorSelector::Choose(int X, int Y)
{
    const int entry = EntryAt(X, Y);
    if (entry < 0) {
        // The picker shrinks away while the colour dialog asks.
        m_popup->resize(m_popup->width(), 0);
        const std::optional<plat::TColor> c = plat::Services().ColorDialog(Color, {plat::cdFullOpen});
        if (!c)
            return;
        Color = *c;
        zd::AddTableColor(*c);
    } else {
        Color = zd::ColorTable()[entry];
    }
    update();
    if (OnColorChanged)
        OnColorChanged(this);
    m_popup->hide();
}

void TzdColorSelector::PaintTo(plat::TCanvas& Canvas)
{
    const int W = width(), H = height();
    Canvas.Pen().SetColor(plat::clBtnShadow);
    Canvas.Brush().SetStyle(plat::bsSolid);
    Canvas.Brush().SetColor(plat::clWindow);
    Canvas.Rectangle(0, 0, W, H);
    const plat::TColor* t = zd::ColorTable();
    Canvas.Pen().SetColor(0x808080);
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 8; ++j) {
            const int entry = i * 8 + j;
            Canvas.Brush().SetColor(entry == 0 ? plat::clWhite : t[entry]);
            Canvas.Rectangle(j * kCell + 8, i * kCell + 8, j * kCell + 20, i * kCell + 20);
        }
    Canvas.MoveTo(10, 10);
    Canvas.LineTo(18, 18);
    Canvas.MoveTo(17, 10);
    Canvas.LineTo(9, 18);
    Canvas.Brush().SetColor(plat::clBtnFace);
    Canvas.Rectangle(8, 116, W - 9, H - 9);
    Canvas.Brush().SetStyle(plat::bsClear);
    Canvas.TextOut((W - Canvas.TextWidth(OtherCaption)) / 2, 118, OtherCaption);
}

void TzdColorSelector::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    plat::TCanvas canvas;
    canvas.SetPainter(&painter);
    PaintTo(canvas);
    canvas.ReleaseDevice();
}

void TzdColorSelector::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    try {
        Choose(p.x(), p.y());
    } catch (const std::exception& e) {
        plat::Services().MessageBox(QString::fromUtf8(e.what()), QString(), plat::MB_OK | plat::MB_ICONERROR);
    }
}

// ---------------------------------------------------------------- line-style picker

namespace {
constexpr int kLineRow = 16;
constexpr int kLineStyles = 6;
} // namespace

TzdLineSelector::TzdLineSelector(QWidget* Owner) : QWidget(nullptr)
{
    setObjectName(QStringLiteral("zdLineSelector"));
    m_popup = new TzdPopupForm;
    setParent(m_popup);
    resize(98, 106);
    m_popup->resize(98, 106);
    if (Owner) {
        setProperty("tag", Owner->property("tag"));
        m_popup->move(Owner->mapToGlobal(QPoint(0, Owner->height() + 2)));
    }
    m_popup->show();
}

int TzdLineSelector::RowAt(int Y)
{
    int y = Y - 5;
    if (y < 0)
        y = Y + 10;
    return std::clamp(y / kLineRow, 0, kLineStyles - 1);
}

void TzdLineSelector::Choose(int Y)
{
    Style = RowAt(Y);
    update();
    if (OnStyleChanged)
        OnStyleChanged(this);
    m_popup->hide();
}

void TzdLineSelector::PaintTo(plat::TCanvas& Canvas)
{
    const int W = width(), H = height();
    Canvas.Pen().SetColor(plat::clBtnShadow);
    Canvas.Pen().SetStyle(plat::psSolid);
    Canvas.Brush().SetStyle(plat::bsSolid);
    Canvas.Brush().SetColor(plat::clWindow);
    Canvas.Rectangle(0, 0, W, H);
    Canvas.Pen().SetColor(plat::clBlack);
    Canvas.Brush().SetStyle(plat::bsClear);
    for (int i = 0; i < kLineStyles; ++i) {
        const int y = i * kLineRow + 12;
        auto line = [&](int at) {
            Canvas.MoveTo(7, at);
            Canvas.LineTo(W - 8, at);
        };
        if (i == kLineStyles - 1) {
            Canvas.Pen().SetStyle(plat::psSolid);
            line(y - 2);
            line(y + 2);
        } else {
            Canvas.Pen().SetStyle(static_cast<plat::TPenStyle>(i));
            line(y);
            line(y + 1);
        }
    }
    Canvas.Pen().SetStyle(plat::psSolid);
}

void TzdLineSelector::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    plat::TCanvas canvas;
    canvas.SetPainter(&painter);
    PaintTo(canvas);
    canvas.ReleaseDevice();
}

void TzdLineSelector::mouseReleaseEvent(QMouseEvent* event)
{
    try {
        Choose(event->position().toPoint().y());
    } catch (const std::exception& e) {
        plat::Services().MessageBox(QString::fromUtf8(e.what()), QString(), plat::MB_OK | plat::MB_ICONERROR);
    }
}

// ---------------------------------------------------------------- drop-down button

TzdDropDownButton::TzdDropDownButton(QWidget* Parent) : QToolButton(Parent)
{
    // The style draws the arrow part; no menu is attached to it.
    setPopupMode(QToolButton::MenuButtonPopup);
}

QRect TzdDropDownButton::ArrowRect() const
{
    QStyleOptionToolButton opt;
    initStyleOption(&opt);
    return style()->subControlRect(QStyle::CC_ToolButton, &opt, QStyle::SC_ToolButtonMenu, this);
}

void TzdDropDownButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && ArrowRect().contains(event->position().toPoint())) {
        event->accept();
        if (OnDropDown)
            OnDropDown();
        return;
    }
    QToolButton::mousePressEvent(event);
}
