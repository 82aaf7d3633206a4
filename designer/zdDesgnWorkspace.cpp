#include "zdDesgnWorkspace.h"

#include "Canvas.h"
#include "Controls.h"
#include "Services.h"
#include "zdClass.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_shape.h"
#include "zdDesgnCtrls.h"
#include "zdDesignerImages.h"
#include "zdReportComponent.h"
#include "zdDesignerModel.h"
#include "zdRes.h"
#include "zdUtils.h"
#include "zdWorkspaceTools.h"

#include <QIcon>
#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>

#include <cmath>

namespace {

constexpr plat::TColor kGuideColor = 0xFFCC00;
constexpr plat::TColor kColumnLineColor = 0xC0C0C0;
constexpr plat::TColor kBandFrameColor = 0x808080;
constexpr plat::TColor kDataBandCaptionColor = 0x30A7E0;
constexpr plat::TColor kVerticalDataBandCaptionColor = 0xEEBB00;
constexpr plat::TColor kEventFlagColor = 0x0000FF;
constexpr long double kPixelsPerMm = 96 / 25.4L;

QString workspaceResText(const QString& Key) { return zdGetResources()->GetText(Key); }

int px(long double v) { return int(std::nearbyint(v)); }

// Guides kept as texts in the page; a text that is no number is skipped.
std::vector<long double> guideValues(zd::TStringList* List)
{
    std::vector<long double> values;
    if (!List)
        return values;
    for (int i = 0; i < List->Count(); ++i) {
        try {
            const long double v = zdParseFloat(List->Strings(i));
            if (std::isfinite(double(v)))
                values.push_back(v);
        } catch (const std::exception&) {
        }
    }
    return values;
}

plat::TMouseButton buttonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::RightButton:
        return plat::mbRight;
    case Qt::MiddleButton:
        return plat::mbMiddle;
    default:
        return plat::mbLeft;
    }
}

plat::TShiftState shiftOf(const QMouseEvent* e)
{
    return plat::ShiftStateFromQt(e->modifiers(), e->buttons());
}

QScrollArea* scrollAreaOf(QWidget* w)
{
    for (QWidget* p = w ? w->parentWidget() : nullptr; p; p = p->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(p))
            return area;
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------- TMarginsPanel

TMarginsPanel::TMarginsPanel(TDesignerWorkspace* Workspace, QWidget* Parent) : QWidget(Parent), m_workspace(Workspace)
{
    setObjectName(QStringLiteral("MarginsPanel"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TMarginsPanel::PaintTo(plat::TCanvas& Canvas)
{
    const int w = width(), h = height();
    Canvas.Pen().SetColor(0x505050);
    Canvas.Pen().SetStyle(plat::psSolid);
    Canvas.Brush().SetColor(m_workspace->PageColor);
    Canvas.Brush().SetStyle(plat::bsSolid);
    Canvas.Rectangle(0, 0, w, h);
    Canvas.MoveTo(w - 1, 0);
    Canvas.LineTo(w - 1, h - 1);
    Canvas.LineTo(-1, h - 1);
    Canvas.SetPixel(w - 1, 0, 0x808080);
    Canvas.SetPixel(0, h - 1, 0x808080);
    if (!Printable.isEmpty()) {
        Canvas.Pen().SetColor(kColumnLineColor);
        Canvas.Pen().SetStyle(plat::psDot);
        Canvas.Brush().SetStyle(plat::bsClear);
        Canvas.Rectangle(Printable.left() - 1, Printable.top() - 1, Printable.right() + 2, Printable.bottom() + 2);
    }
}

void TMarginsPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    plat::TCanvas canvas;
    canvas.SetPainter(&painter);
    try {
        PaintTo(canvas);
    } catch (const std::exception&) {
    }
    canvas.ReleaseDevice();
}

QMouseEvent TMarginsPanel::translated(QMouseEvent* event) const
{
    const QPointF p = event->position() - QPointF(m_workspace->pos());
    return QMouseEvent(event->type(), p, event->globalPosition(), event->button(), event->buttons(),
                       event->modifiers());
}

void TMarginsPanel::mousePressEvent(QMouseEvent* event)
{
    QMouseEvent e = translated(event);
    m_workspace->mouseDown(&e);
}

void TMarginsPanel::mouseMoveEvent(QMouseEvent* event)
{
    QMouseEvent e = translated(event);
    m_workspace->mouseMove(&e);
}

void TMarginsPanel::mouseReleaseEvent(QMouseEvent* event)
{
    QMouseEvent e = translated(event);
    m_workspace->mouseUp(&e);
}

// ---------------------------------------------------------------- TInplaceMemo

TInplaceMemo::TInplaceMemo(TDesignerWorkspace* Workspace) : QPlainTextEdit(Workspace), m_workspace(Workspace)
{
    setObjectName(QStringLiteral("InplaceMemo"));
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    hide();
    connect(this, &QPlainTextEdit::textChanged, this, [this] { grow(); });
}

void TInplaceMemo::grow()
{
    if (!isVisible())
        return;
    const QFontMetrics fm(font());
    const int lineHeight = fm.height();
    const int lines = document()->blockCount();
    const int needed = lines * (lineHeight + 3) + 4;
    int w = width(), h = height();
    if (needed > h + lineHeight)
        h = needed;
    int widest = 0;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        widest = std::max(widest, fm.horizontalAdvance(b.text()));
    if (widest + 6 > w)
        w = widest + 6;
    // The editor grows, never shrinks.
    if (w != width() || h != height())
        resize(w, h);
}

void TInplaceMemo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        m_workspace->EndEdit(false);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TInplaceMemo::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    // A popup of the editor itself (its context menu) keeps the edit open.
    if (event->reason() != Qt::PopupFocusReason && isVisible())
        m_workspace->EndEdit(true);
}

// ---------------------------------------------------------------- TDesignerWorkspace

TDesignerWorkspace::TDesignerWorkspace(zd::DesignerModel& Model, QWidget* Parent)
    : QWidget(Parent), m_model(Model)
{
    setObjectName(QStringLiteral("Workspace"));
    m_margins = new TMarginsPanel(this, Parent);
    m_margins->lower();
    m_inplace = new TInplaceMemo(this);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_margins->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
}

TDesignerWorkspace::~TDesignerWorkspace() = default;

zd::WorkspaceTools& TDesignerWorkspace::Engine() const { return m_model.workspace(); }

template <class F> void TDesignerWorkspace::guarded(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        Engine().Pressed = false;
        Engine().Mode = zd::wmIdle;
        plat::Services().MessageBox(QString::fromUtf8(e.what()), workspaceResText(QStringLiteral("mbError")),
                                    plat::MB_OK | plat::MB_ICONERROR);
    }
    afterEvent();
}

void TDesignerWorkspace::afterEvent()
{
    update();
    updateCursor();
    if (OnAfterChange)
        OnAfterChange();
}

QSize TDesignerWorkspace::PaperSize() const
{
    TzdComponent* page = m_model.CurrentPage;
    const long double scale = Engine().Scale;
    if (auto* rp = dynamic_cast<TzdReportPage*>(page)) {
        const long double w = std::nearbyint(rp->PaperWidth() * kPixelsPerMm);
        long double h = std::nearbyint(rp->PaperHeight() * kPixelsPerMm);
        if (rp->LargeDesignHeight)
            h *= 8;
        return QSize(px(w * scale), px(h * scale));
    }
    if (page)
        return QSize(px(page->Width() * scale), px(page->Height() * scale));
    return QSize();
}

void TDesignerWorkspace::LayoutPage(QPoint Origin)
{
    TzdComponent* page = m_model.CurrentPage;
    const long double scale = Engine().Scale;
    const QSize paper = PaperSize();
    int l = 0, t = 0, r = 0, b = 0;
    if (auto* rp = dynamic_cast<TzdReportPage*>(page)) {
        l = px(rp->LeftMargin * kPixelsPerMm);
        t = px(rp->TopMargin * kPixelsPerMm);
        r = px(rp->RightMargin * kPixelsPerMm);
        b = px(rp->BottomMargin * kPixelsPerMm);
        PageColor = plat::clWhite;
    }
    m_margins->setGeometry(Origin.x(), Origin.y(), std::max(paper.width(), 1), std::max(paper.height(), 1));
    const int wl = px(l * scale), wt = px(t * scale);
    const int ww = std::max(1, paper.width() - px((l + r - 1) * scale));
    const int wh = std::max(1, paper.height() - px((t + b - 1) * scale));
    m_margins->Printable = page && dynamic_cast<TzdReportPage*>(page) ? QRect(wl, wt, ww, wh) : QRect();
    setGeometry(Origin.x() + wl, Origin.y() + wt, ww, wh);
    Engine().ClientWidth = ww;
    Engine().ClientHeight = wh;
    m_margins->update();
    update();
}

// ---------------------------------------------------------------- painting

void TDesignerWorkspace::paintEvent(QPaintEvent* event)
{
    // Double-buffered: the clip rectangle is drawn off screen and copied.
    const QRect clip = event->rect();
    QImage buffer(clip.size(), QImage::Format_RGB32);
    {
        QPainter bp(&buffer);
        bp.translate(-clip.left(), -clip.top());
        plat::TCanvas canvas;
        canvas.SetPainter(&bp);
        PaintTo(canvas, clip);
        canvas.ReleaseDevice();
    }
    QPainter painter(this);
    painter.drawImage(clip.topLeft(), buffer);
}

void TDesignerWorkspace::PaintTo(plat::TCanvas& Canvas, const QRect& Clip)
{
    try {
        Canvas.Brush().SetStyle(plat::bsSolid);
        Canvas.Brush().SetColor(PageColor);
        Canvas.FillRect(plat::TRect::fromQRect(Clip));
        if (ShowGrid)
            paintGrid(Canvas, Clip);
        if (Engine().Locked() || !m_model.CurrentPage)
            return;
        if (auto* rp = dynamic_cast<TzdReportPage*>(m_model.CurrentPage)) {
            const long double s = Engine().Scale;
            rp->PaintBackPicture(&Canvas, s, s, -rp->LeftMargin * kPixelsPerMm * s,
                                 -rp->TopMargin * kPixelsPerMm * s);
        }
        paintGuides(Canvas);
        paintObjects(Canvas);
        if (Engine().Pressed && Engine().Mode == zd::wmRubberBand)
            paintRubberBand(Canvas);
    } catch (const std::exception& e) {
        Canvas.Brush().SetStyle(plat::bsSolid);
        Canvas.Brush().SetColor(plat::clWhite);
        Canvas.Font().SetName(QStringLiteral("Tahoma"));
        Canvas.Font().SetHeight(-11);
        Canvas.Font().SetColor(0x0000FF);
        Canvas.TextOut(4, 4, QString::fromUtf8(e.what()));
    }
}

void TDesignerWorkspace::paintGrid(plat::TCanvas& Canvas, const QRect& Clip)
{
    const zd::WorkspaceTools& ws = Engine();
    const long double scale = ws.Scale;
    const int kind = ws.GridKind();
    if (kind == zd::gkCentimetres || kind == zd::gkInches) {
        const long double step = (kind == zd::gkCentimetres ? zd01cm : zd01in) * scale;
        if (step <= 0)
            return;
        const plat::TColor base = GridLCD ? 0xE2E2E2 : 0xE8E8E8;
        const int limit = std::max(width(), height());
        Canvas.Pen().SetStyle(plat::psSolid);
        for (int k = 0; k * step <= limit; ++k) {
            if (kind == zd::gkCentimetres && k % 5 != 0)
                continue;
            Canvas.Pen().SetColor(k % 10 == 0 ? base : base + 0x101010);
            const int p = px(k * step);
            if (p >= Clip.left() && p <= Clip.right() + 1) {
                Canvas.MoveTo(p, Clip.top());
                Canvas.LineTo(p, Clip.bottom() + 1);
            }
            if (p >= Clip.top() && p <= Clip.bottom() + 1) {
                Canvas.MoveTo(Clip.left(), p);
                Canvas.LineTo(Clip.right() + 1, p);
            }
        }
        return;
    }
    const long double sx = ws.GridStepX * scale, sy = ws.GridStepY * scale;
    if (!(sx > 2 && sy > 2))
        return;
    const plat::TColor dot = kind == zd::gkDialog ? plat::clBlack : 0x808080;
    const int firstX = int(std::floor(Clip.left() / sx)), firstY = int(std::floor(Clip.top() / sy));
    for (int j = std::max(0, firstY); j * sy <= Clip.bottom(); ++j)
        for (int i = std::max(0, firstX); i * sx <= Clip.right(); ++i)
            Canvas.SetPixel(px(i * sx), px(j * sy), dot);
}

void TDesignerWorkspace::paintGuides(plat::TCanvas& Canvas)
{
    auto* rp = dynamic_cast<TzdReportPage*>(m_model.CurrentPage);
    if (!rp)
        return;
    const long double s = Engine().Scale;
    Canvas.Pen().SetWidth(1);
    Canvas.Pen().SetStyle(plat::psSolid);
    if (rp->Columns() > 1 && rp->ColumnPositions()) {
        Canvas.Pen().SetColor(kColumnLineColor);
        for (long double v : guideValues(rp->ColumnPositions())) {
            const int x = px(v * zd01cm * s);
            if (x == 0)
                continue;
            Canvas.MoveTo(x, 0);
            Canvas.LineTo(x, height());
        }
    }
    if (!Engine().ShowGuides)
        return;
    Canvas.Pen().SetColor(kGuideColor);
    for (long double y : guideValues(rp->HGuides())) {
        Canvas.MoveTo(0, px(y * s));
        Canvas.LineTo(width(), px(y * s));
    }
    for (long double x : guideValues(rp->VGuides())) {
        Canvas.MoveTo(px(x * s), 0);
        Canvas.LineTo(px(x * s), height());
    }
}

void TDesignerWorkspace::paintBand(plat::TCanvas& Canvas, TzdBand* Band)
{
    const long double s = Engine().Scale;
    const long double cap = Engine().BandCaptionHeight();
    const bool data = dynamic_cast<TzdDataBand*>(Band) != nullptr;
    Canvas.Pen().SetColor(kBandFrameColor);
    Canvas.Pen().SetStyle(plat::psSolid);
    Canvas.Brush().SetStyle(plat::bsClear);
    const QString kind = workspaceResText(Band->GetKindName());
    if (!Band->Vertical()) {
        const int l = px(Band->Left() * s), t = px((Band->Top() - cap) * s);
        const int r = px((Band->Left() + Band->Width()) * s), b = px((Band->Top() + Band->Height()) * s);
        Canvas.Rectangle(l, t, r, b);
        if (cap <= 0)
            return;
        Canvas.Brush().SetStyle(plat::bsSolid);
        Canvas.Brush().SetColor(data ? kDataBandCaptionColor : plat::clBtnFace);
        Canvas.FillRect(plat::Rect(l + 1, t + 1, r - 1, px(Band->Top() * s)));
        Canvas.Brush().SetStyle(plat::bsClear);
        Canvas.Font().SetName(QStringLiteral("Tahoma"));
        Canvas.Font().SetSize(std::max(1, px(8 * s)));
        Canvas.Font().SetColor(plat::clBlack);
        Canvas.Font().SetStyle({plat::fsBold});
        Canvas.TextOut(l + 6, t + 2, kind);
        const int x = l + 6 + Canvas.TextWidth(kind);
        Canvas.Font().SetStyle({});
        Canvas.TextOut(x, t + 2, QStringLiteral(": ") + Band->Name());
        QString right;
        if (auto* db = dynamic_cast<TzdDataBand*>(Band)) {
            if (db->DataSet())
                right = m_model.report()->AliasOfDataset(db->DataSet());
        }
        if (!right.isEmpty())
            Canvas.TextOut(r - 3 - Canvas.TextWidth(right), t + 2, right);
        return;
    }
    const int l = px((Band->Left() - cap) * s), t = px(Band->Top() * s);
    const int r = px((Band->Left() + Band->Width()) * s), b = px((Band->Top() + Band->Height()) * s);
    Canvas.Rectangle(l, t, r, b);
    if (cap <= 0)
        return;
    Canvas.Brush().SetStyle(plat::bsSolid);
    Canvas.Brush().SetColor(data ? kVerticalDataBandCaptionColor : plat::clBtnFace);
    Canvas.FillRect(plat::Rect(l + 1, t + 1, px(Band->Left() * s), b - 1));
    Canvas.Brush().SetStyle(plat::bsClear);
    Canvas.Font().SetName(QStringLiteral("Tahoma"));
    Canvas.Font().SetSize(std::max(1, px(8 * s)));
    Canvas.Font().SetColor(plat::clBlack);
    Canvas.Font().SetOrientation(900);
    const QString text = kind + QStringLiteral(": ") + Band->Name();
    Canvas.TextOut(l + 2, t + 4 + Canvas.TextWidth(text), text);
    Canvas.Font().SetOrientation(0);
}

void TDesignerWorkspace::paintObjects(plat::TCanvas& Canvas)
{
    const long double s = Engine().Scale;
    if (auto* rp = dynamic_cast<TzdReportPage*>(m_model.CurrentPage))
        rp->AlignChildren();
    const bool dataPage = dynamic_cast<TzdDataPage*>(m_model.CurrentPage) != nullptr;
    for (TzdComponent* c : m_model.PageObjects) {
        if (c == m_model.CurrentPage || c == m_model.report())
            continue;
        if (auto* band = dynamic_cast<TzdBand*>(c)) {
            paintBand(Canvas, band);
            band->Draw(&Canvas, s, s, 0, 0);
            continue;
        }
        if (auto* rc = dynamic_cast<TzdReportComponent*>(c))
            rc->Draw(&Canvas, s, s, 0, 0);
        auto* view = dynamic_cast<TzdView*>(c);
        if (!ShowCorners || dataPage || !view || dynamic_cast<TzdLineView*>(c))
            continue;
        if (view->Frame() && view->Frame()->Typ.mask() == 0xF)
            continue;
        const int l = px(c->GetAbsLeft() * s), t = px(c->GetAbsTop() * s);
        const int r = px((c->GetAbsLeft() + c->Width()) * s), b = px((c->GetAbsTop() + c->Height()) * s);
        const int v3 = px(3 * s), v4 = px(4 * s);
        Canvas.Pen().SetColor(plat::clBlack);
        Canvas.Pen().SetStyle(plat::psSolid);
        Canvas.Pen().SetWidth(1);
        auto stroke = [&](int x1, int y1, int x2, int y2) {
            Canvas.MoveTo(x1, y1);
            Canvas.LineTo(x2, y2);
        };
        stroke(l, t, l, t + v3);
        stroke(l, t, l + v4, t);
        stroke(r, t, r, t + v4);
        stroke(r, t, r - v3, t);
        stroke(l, b, l, b - v3);
        stroke(l, b, l + v4, b);
        stroke(r, b, r, b - v4);
        stroke(r, b, r - v3, b);
    }
    // Alignment lines of the step just taken.
    Canvas.Pen().SetColor(kGuideColor);
    for (const zd::GuideLine& g : Engine().AlignmentLines) {
        Canvas.MoveTo(px(g.X1 * s), px(g.Y1 * s));
        Canvas.LineTo(px(g.X2 * s), px(g.Y2 * s));
    }
    if (!Engine().Pressed)
        paintHandles(Canvas);
    paintFieldButton(Canvas);
}

// The drop-down button of the data-bound memo under the pointer: a button
// face with a black triangle pointing down.
void TDesignerWorkspace::paintFieldButton(plat::TCanvas& Canvas)
{
    if (!DropFields || !Engine().FieldListMemo())
        return;
    int x = 0, y = 0;
    Engine().FieldListButton(x, y);
    Canvas.Pen().SetStyle(plat::psSolid);
    Canvas.Pen().SetMode(plat::pmCopy);
    Canvas.Pen().SetColor(plat::clBtnShadow);
    Canvas.Brush().SetStyle(plat::bsSolid);
    Canvas.Brush().SetColor(plat::clBtnFace);
    Canvas.Rectangle(x, y, x + 16, y + 16);
    Canvas.Pen().SetColor(plat::clBlack);
    Canvas.Brush().SetColor(plat::clBlack);
    Canvas.Polygon({{x + 4, y + 6}, {x + 7, y + 9}, {x + 10, y + 6}});
}

void TDesignerWorkspace::paintHandles(plat::TCanvas& Canvas)
{
    const zd::WorkspaceTools& ws = Engine();
    if (ws.SelectedCount() == 0)
        return;
    const long double s = ws.Scale;
    const int n = s < 0.7L ? 3 : (s <= 1.7L ? 5 : 7);
    Canvas.Pen().SetStyle(plat::psSolid);
    Canvas.Pen().SetWidth(1);
    Canvas.Pen().SetMode(plat::pmXor);
    Canvas.Pen().SetColor(plat::clWhite);
    TzdComponent* bottomRight = ws.BottomRightObject();
    const bool several = m_model.Selection.size() > 1;
    auto handle = [&](long double x, long double y, bool special) {
        if (special)
            Canvas.Pen().SetColor(0x808000);
        const int cx = px(x * s), cy = px(y * s);
        for (int i = 0; i < n; ++i) {
            Canvas.MoveTo(cx - n / 2, cy - n / 2 + i);
            Canvas.LineTo(cx - n / 2 + n, cy - n / 2 + i);
        }
        if (special)
            Canvas.Pen().SetColor(plat::clWhite);
    };
    for (TzdComponent* c : m_model.Selection) {
        if (c == m_model.CurrentPage || c == m_model.report())
            continue;
        const long double l = c->GetAbsLeft(), t = c->GetAbsTop();
        const long double r = l + c->Width(), b = t + c->Height();
        const bool line = dynamic_cast<TzdLineView*>(c) != nullptr;
        handle(l, t, false);
        handle(r, b, several && c == bottomRight);
        if (!line) {
            handle(r, t, false);
            handle(l, b, false);
        }
        if (!several && !line) {
            handle((l + r) / 2, t, false);
            handle((l + r) / 2, b, false);
            handle(l, (t + b) / 2, false);
            handle(r, (t + b) / 2, false);
        }
    }
    Canvas.Pen().SetMode(plat::pmCopy);
}

void TDesignerWorkspace::paintRubberBand(plat::TCanvas& Canvas)
{
    const TzdExtRect& r = Engine().RubberBand;
    Canvas.Pen().SetColor(plat::clBlack);
    Canvas.Pen().SetStyle(plat::psDot);
    Canvas.Brush().SetStyle(plat::bsClear);
    Canvas.Rectangle(px(std::min(r.Left, r.Right)), px(std::min(r.Top, r.Bottom)), px(std::max(r.Left, r.Right)) + 1,
                     px(std::max(r.Top, r.Bottom)) + 1);
    Canvas.Pen().SetStyle(plat::psSolid);
}

// ---------------------------------------------------------------- mouse and keys

// The cursor of the tool or of the handle under the pointer; the tools,
// the handles and the line pencil have the designer's own cursors.
QCursor TDesignerWorkspace::CurrentCursor() const
{
    const zd::WorkspaceTools& ws = Engine();
    using zd::designerCursor;
    if (ws.InsertionState) {
        const plat::TClass* cls = ws.Insertion.ObjectClass;
        if (cls && cls->InheritsFrom(TzdCustomLineView::StaticClass()))
            return designerCursor(zd::crPencil);
        return QCursor(Qt::CrossCursor);
    }
    switch (ws.ToolMode) {
    case zd::tmHand:
        return designerCursor(ws.Pressed ? zd::crHandGrab : zd::crHand);
    case zd::tmZoom:
        return designerCursor(zd::crZoom);
    case zd::tmText:
        return designerCursor(zd::crText);
    case zd::tmFormatPainter:
        return designerCursor(zd::crFormatPainter);
    default:
        break;
    }
    if (ws.Mode == zd::wmSize || ws.Mode == zd::wmGroupScale) {
        switch (ws.Mode == zd::wmGroupScale ? 2 : ws.Handle) {
        case 1:
        case 2:
            return designerCursor(zd::crSizeNWSE);
        case 3:
        case 4:
            return designerCursor(zd::crSizeNESW);
        case 5:
        case 6:
            return designerCursor(zd::crSizeWE);
        case 7:
        case 8:
            return designerCursor(zd::crSizeNS);
        case 9:
        case 10:
            return QCursor(Qt::CrossCursor);
        default:
            break;
        }
    }
    if (ws.Mode == zd::wmBandEdge || ws.Mode == zd::wmGuide)
        return designerCursor(ws.CursorVerticalSplit() ? zd::crSplitV : zd::crSplitH);
    if (ws.Mode == zd::wmInplaceEdit)
        return designerCursor(zd::crText);
    return QCursor(Qt::ArrowCursor);
}

void TDesignerWorkspace::updateCursor()
{
    const QCursor c = CurrentCursor();
    setCursor(c);
    m_margins->setCursor(c);
}

void TDesignerWorkspace::ShowFieldList()
{
    zd::WorkspaceTools& ws = Engine();
    TzdMemoView* memo = ws.FieldListMemo();
    if (!memo)
        return;
    const QStringList fields = ws.FieldListItems();
    if (fields.isEmpty())
        return;
    if (m_fieldPopup)
        m_fieldPopup->close();
    constexpr int kListWidth = 140, kListHeight = 162, kBelowTop = 18;
    const long double s = ws.Scale;
    const int right = px((memo->GetAbsLeft() + memo->Width()) * s);
    const int left = std::max(0, right - kListWidth);
    const int top = px(memo->GetAbsTop() * s) + kBelowTop;
    auto* popup = new TzdPopupForm(this);
    popup->setObjectName(QStringLiteral("FieldListPopup"));
    auto* layout = new QVBoxLayout(popup);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* list = new QListWidget(popup);
    list->setObjectName(QStringLiteral("FieldListBox"));
    list->setFrameShape(QFrame::NoFrame);
    list->setIconSize(QSize(16, 16));
    const QIcon fieldIcon = zd::designerIcon(zd::imgField);
    for (const QString& f : fields) {
        auto* item = new QListWidgetItem(fieldIcon, f, list);
        item->setSizeHint(QSize(kListWidth - 4, 16));
    }
    const QList<QListWidgetItem*> current = list->findItems(memo->DataField(), Qt::MatchExactly);
    if (!current.isEmpty())
        list->setCurrentItem(current.front());
    layout->addWidget(list);
    auto choose = [this, popup](QListWidgetItem* item) {
        if (!item)
            return;
        const QString field = item->text();
        popup->close();
        guarded([&] { Engine().ChooseField(field); });
    };
    connect(list, &QListWidget::itemClicked, popup, choose);
    connect(list, &QListWidget::itemActivated, popup, choose);
    popup->setGeometry(QRect(mapToGlobal(QPoint(left, top)), QSize(kListWidth, kListHeight)));
    m_fieldPopup = popup;
    popup->show();
    list->setFocus();
}

void TDesignerWorkspace::mouseDown(QMouseEvent* event)
{
    if (Editing())
        EndEdit(true);
    setFocus(Qt::MouseFocusReason);
    const QPoint p = event->position().toPoint();
    {
        zd::WorkspaceTools& ws = Engine();
        ws.DropFields = DropFields;
        if (event->button() == Qt::LeftButton && ws.ToolMode == zd::tmSelect && !ws.Pressed &&
            ws.OnFieldListButton(p.x(), p.y())) {
            ws.Mode = zd::wmIdle;
            try {
                ShowFieldList();
            } catch (const std::exception& e) {
                plat::Services().MessageBox(QString::fromUtf8(e.what()), workspaceResText(QStringLiteral("mbError")),
                                            plat::MB_OK | plat::MB_ICONERROR);
            }
            return;
        }
    }
    m_pressPos = p;
    m_handPos = event->globalPosition().toPoint();
    zd::WorkspaceTools& ws = Engine();
    m_textPressed = ws.ToolMode == zd::tmText && event->button() == Qt::LeftButton;
    guarded([&] { ws.MouseDown(buttonOf(event->button()), shiftOf(event), p.x(), p.y()); });
}

void TDesignerWorkspace::mouseMove(QMouseEvent* event)
{
    zd::WorkspaceTools& ws = Engine();
    const QPoint p = event->position().toPoint();
    if (ws.ToolMode == zd::tmHand && ws.Pressed) {
        if (QScrollArea* area = scrollAreaOf(this)) {
            const QPoint g = event->globalPosition().toPoint();
            const QPoint d = g - m_handPos;
            area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->value() - d.x());
            area->verticalScrollBar()->setValue(area->verticalScrollBar()->value() - d.y());
            m_handPos = g;
        }
        return;
    }
    ws.DropFields = DropFields;
    guarded([&] { ws.MouseMove(p.x(), p.y(), shiftOf(event)); });
    if (OnBounds && !ws.Pressed && ws.SelectedCount() == 0)
        OnBounds(p.x() / ws.Scale, p.y() / ws.Scale, 0, 0);
}

void TDesignerWorkspace::mouseUp(QMouseEvent* event)
{
    zd::WorkspaceTools& ws = Engine();
    const QPoint p = event->position().toPoint();
    const bool inplaceClick = ws.Mode == zd::wmInplaceEdit;
    if (m_textPressed) {
        m_textPressed = false;
        textToolRelease(event);
        return;
    }
    guarded([&] {
        ws.MouseUp(buttonOf(event->button()), shiftOf(event), p.x(), p.y());
        if (inplaceClick && ws.SelectedCount() == 1)
            if (auto* memo = dynamic_cast<TzdMemoView*>(m_model.Selection.front()))
                BeginEdit(memo);
    });
    if (event->button() == Qt::RightButton && contextMenuPolicy() == Qt::CustomContextMenu)
        emit customContextMenuRequested(p);
}

// The text tool: a dragged rectangle inserts a memo, a click edits the memo
// under it, both in place.
void TDesignerWorkspace::textToolRelease(QMouseEvent* event)
{
    zd::WorkspaceTools& ws = Engine();
    const TzdExtRect band = ws.RubberBand;
    const QPoint p = event->position().toPoint();
    guarded([&] {
        ws.MouseUp(buttonOf(event->button()), shiftOf(event), p.x(), p.y());
        const long double s = ws.Scale;
        long double l = std::min(band.Left, band.Right), t = std::min(band.Top, band.Bottom);
        long double w = std::fabs(band.Right - band.Left), h = std::fabs(band.Bottom - band.Top);
        TzdMemoView* memo = nullptr;
        if (w >= 5 && h >= 5) {
            const plat::TClass* cls = TzdMemoView::StaticClass();
            if (TzdComponent* c = m_model.InsertObject(cls, 0, {zdRound8(l / s), zdRound8(t / s),
                                                                 zdRound8(w / s), zdRound8(h / s)}))
                memo = dynamic_cast<TzdMemoView*>(c);
            ws.ArrangeBands(true);
        } else {
            for (TzdComponent* c : m_model.PageObjects)
                if (auto* m = dynamic_cast<TzdMemoView*>(c); m && ws.Hits(m, p.x() / s, p.y() / s))
                    memo = m;
        }
        if (memo) {
            m_model.SetSelection({memo});
            ws.NotifySelectionChanged();
            BeginEdit(memo);
        }
    });
}

void TDesignerWorkspace::mousePressEvent(QMouseEvent* event) { mouseDown(event); }
void TDesignerWorkspace::mouseMoveEvent(QMouseEvent* event) { mouseMove(event); }
void TDesignerWorkspace::mouseReleaseEvent(QMouseEvent* event) { mouseUp(event); }

void TDesignerWorkspace::mouseDoubleClickEvent(QMouseEvent*)
{
    if (Engine().ToolMode != zd::tmSelect)
        return;
    guarded([&] { Engine().DoubleClick(); });
}

void TDesignerWorkspace::keyPressEvent(QKeyEvent* event)
{
    const int key = plat::VirtualKeyFromQt(event->key(), event->modifiers());
    if (!key) {
        QWidget::keyPressEvent(event);
        return;
    }
    guarded([&] { Engine().KeyDown(key, plat::ShiftStateFromQt(event->modifiers())); });
}

void TDesignerWorkspace::keyReleaseEvent(QKeyEvent* event)
{
    const int key = plat::VirtualKeyFromQt(event->key(), event->modifiers());
    if (key)
        guarded([&] { Engine().KeyUp(key, plat::ShiftStateFromQt(event->modifiers())); });
}

void TDesignerWorkspace::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        guarded([&] { m_model.WheelZoom(event->angleDelta().y() > 0 ? 1 : -1); });
        LayoutPage(m_margins->pos());
        event->accept();
        return;
    }
    if (QScrollArea* area = scrollAreaOf(this)) {
        QScrollBar* bar = area->verticalScrollBar();
        bar->setValue(bar->value() + (event->angleDelta().y() > 0 ? -16 : 16));
        event->accept();
    }
}

void TDesignerWorkspace::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    try {
        Engine().MouseLeave();
    } catch (const std::exception&) {
    }
    update();
}

void TDesignerWorkspace::dragEnterEvent(QDragEnterEvent* event)
{
    if (OnDropOutside && dynamic_cast<TzdReportPage*>(m_model.CurrentPage))
        event->acceptProposedAction();
}

void TDesignerWorkspace::dropEvent(QDropEvent* event)
{
    if (OnDropOutside)
        guarded([&] {
            if (OnDropOutside(event))
                event->acceptProposedAction();
        });
}

// ---------------------------------------------------------------- in-place editing

bool TDesignerWorkspace::Editing() const { return m_inplace->isVisible(); }

void TDesignerWorkspace::BeginEdit(TzdMemoView* View)
{
    if (!View)
        return;
    const long double s = Engine().Scale;
    QString text = View->Text();
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    else if (text.endsWith(u'\n'))
        text.chop(1);
    m_inplace->View = View;
    m_inplace->setPlainText(text);
    m_inplace->document()->setModified(false);
    QFont f(View->Font()->Name());
    f.setPixelSize(std::max(1, px(std::abs(View->Font()->Height()) * s)));
    m_inplace->setFont(f);
    QPalette pal = m_inplace->palette();
    const plat::TColor color = View->Color();
    pal.setColor(QPalette::Base, color == plat::clNone ? QColor(Qt::white) : plat::ToQColor(color));
    m_inplace->setPalette(pal);
    m_inplace->setGeometry(px(View->GetAbsLeft() * s), px(View->GetAbsTop() * s), px(View->Width() * s) + 1,
                           px(View->Height() * s) + 1);
    m_inplace->StartSize = m_inplace->size();
    m_inplace->show();
    m_inplace->setFocus();
    m_inplace->selectAll();
}

void TDesignerWorkspace::EndEdit(bool Keep)
{
    if (!Editing())
        return;
    TzdMemoView* view = m_inplace->View;
    m_inplace->View = nullptr;
    // Hidden first: the focus change that follows must not end it again.
    m_inplace->hide();
    bool changed = false;
    if (Keep && view) {
        const long double s = Engine().Scale;
        if (m_inplace->document()->isModified()) {
            view->SetText(m_inplace->toPlainText());
            changed = true;
        }
        if (m_inplace->width() != m_inplace->StartSize.width()) {
            view->SetWidth((m_inplace->width() + 5) / s);
            changed = true;
        }
        if (m_inplace->height() != m_inplace->StartSize.height()) {
            view->SetHeight((m_inplace->height() + 5) / s);
            changed = true;
        }
    }
    if (changed) {
        Engine().PendingChange = true;
        guarded([&] { Engine().NotifyModified(); });
    }
    update();
    setFocus();
}
