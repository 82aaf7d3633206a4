#include "zdPreview.h"

#include "Application.h"
#include "Canvas.h"
#include "Exceptions.h"
#include "Metafile.h"
#include "Services.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdPreviewForm.h"
#include "zdPreviewPageSettings.h"
#include "Modal.h"
#include "zdPreviewPages.h"
#include "zdPreviewTabs.h"
#include "zdRes.h"
#include "zdSearchForm.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The cursor the page areas show over the pages unless an object sets one.
constexpr plat::TCursor kPreviewHandCursor = 150;
constexpr int kThumbnailZoomPercent = 10;
constexpr long double kThumbnailZoom = kThumbnailZoomPercent / 100.0L;
// Pages drawn around the first one in view, before and after.
constexpr int kPagesBefore = 60;
constexpr int kPagesAfter = 340;
constexpr int kWheelStep = 20;
constexpr int kPageTopGap = 10;
constexpr int kMessagePanelWidth = 260;
constexpr int kMessagePanelHeight = 75;

int roundHalfEven(long double v)
{
    return int(std::nearbyint(double(v)));
}

int scrollBarExtent(const QWidget* w)
{
    return w->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w);
}

QRect qrect(const plat::TRect& r)
{
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

Qt::CursorShape shapeOf(plat::TCursor cursor)
{
    return cursor == kPreviewHandCursor ? Qt::OpenHandCursor : plat::CursorShape(cursor);
}

plat::TMouseButton buttonOf(Qt::MouseButton b)
{
    return b == Qt::RightButton ? plat::mbRight : b == Qt::MiddleButton ? plat::mbMiddle : plat::mbLeft;
}

plat::TShiftState shiftOf(Qt::KeyboardModifiers m, Qt::MouseButtons buttons)
{
    plat::TShiftState s;
    s.set(plat::ssShift, m & Qt::ShiftModifier);
    s.set(plat::ssCtrl, m & Qt::ControlModifier);
    s.set(plat::ssAlt, m & Qt::AltModifier);
    s.set(plat::ssLeft, buttons & Qt::LeftButton);
    s.set(plat::ssRight, buttons & Qt::RightButton);
    s.set(plat::ssMiddle, buttons & Qt::MiddleButton);
    return s;
}

} // namespace

zd::PreviewSearch& zd::previewSearch()
{
    static PreviewSearch search;
    return search;
}

bool zd::SearchMatches(const QString& run, const QString& text, bool caseSensitive)
{
    if (text.isEmpty())
        return false;
    if (caseSensitive)
        return run.contains(text);
    return run.toUpper().contains(text.toUpper());
}

// ---------------------------------------------------------------------------
// The report's seam

class TzdPreview::ServiceLink : public TzdCustomPreview {
public:
    explicit ServiceLink(TzdPreview* preview) : TzdCustomPreview(nullptr), m_preview(preview) {}
    void AttachReport(zd::ReportDocument* AReport, TzdCustomPreviewPages* Pages) override
    {
        m_preview->AttachReport(AReport ? AReport->Report() : nullptr, Pages);
    }
    void CloseTabsOf(TzdCustomPreviewPages* Pages) override { m_preview->CloseTabsOf(Pages); }
    void Lock() override { m_preview->Lock(); }
    void Unlock() override { m_preview->Unlock(); }
    void Reprepare() override { m_preview->Reprepare(); }
    void PrepareStarted(zd::ReportDocument*, TzdProgressType, int) override { m_preview->PrepareStarted(); }
    void PageAdded(zd::ReportDocument*, TzdProgressType, int Index) override { m_preview->PageAdded(Index); }
    void PrepareFinished(zd::ReportDocument*, TzdProgressType, int) override { m_preview->PrepareFinished(); }

private:
    TzdPreview* m_preview;
};

// ---------------------------------------------------------------------------
// A page area

TzdPreviewWorkspace::TzdPreviewWorkspace(TzdPreview* preview, bool thumbnail)
    : TzdScrollWin(preview), m_preview(preview), m_thumbnail(thumbnail)
{
    setObjectName(thumbnail ? QStringLiteral("Thumbnail") : QStringLiteral("Workspace"));
    SetSmallChange(8);
    SetLargeChange(300);
    SetColor(BackColor);
    m_zoom = thumbnail ? kThumbnailZoom : 1;
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::OpenHandCursor);
}

TzdPreviewWorkspace::~TzdPreviewWorkspace() = default;

void TzdPreviewWorkspace::FillPageList()
{
    m_pageList.Clear();
    if (!m_pages)
        return;
    const int count = m_pages->GetPageCount();
    for (int i = 0; i < count; ++i)
        m_pageList.AddPage(m_pages->GetPageSize(i), m_zoom);
}

void TzdPreviewWorkspace::CalcPages()
{
    m_pageList.CalcBounds(width() - scrollBarExtent(this) - zd::kAreaMargin);
    SetRanges();
}

void TzdPreviewWorkspace::SetRanges()
{
    const QSize ranges = m_pageList.Ranges();
    SetHorzPage(viewport()->width());
    SetVertPage(viewport()->height());
    SetHorzRange(ranges.width());
    SetVertRange(ranges.height());
    SetHorzPosition(HorzPosition());
    SetVertPosition(VertPosition());
}

plat::TRect TzdPreviewWorkspace::PageBounds(int index) const
{
    return m_pageList.GetPageBounds(index, viewport()->width(), m_rightToLeft, m_zoom);
}

int TzdPreviewWorkspace::PageAt(QPoint p) const
{
    return m_pageList.FindPage(p.y() + VertPosition(), p.x() + HorzPosition());
}

void TzdPreviewWorkspace::SetPageNo(int N, bool scroll)
{
    m_pageNo = N;
    if (scroll && !m_noScroll && N > 0 && N <= m_pageList.Count())
        SetVertPosition(PageBounds(N - 1).Top - kPageTopGap);
    viewport()->update();
}

void TzdPreviewWorkspace::PaintContent(QPainter& painter)
{
    const QRect all = viewport()->rect();
    if (m_locked || !m_pages || m_pageList.Count() == 0) {
        painter.fillRect(all, plat::ToQColor(BackColor));
        return;
    }
    paintPages(painter, all);
}

void TzdPreviewWorkspace::paintPages(QPainter& painter, const QRect& clip)
{
    const int hpos = HorzPosition(), vpos = VertPosition();
    const int first = std::max(0, m_pageList.FindPage(vpos) - kPagesBefore);
    const int last = std::min(m_pageList.Count() - 1, std::max(0, m_pageList.FindPage(vpos)) + kPagesAfter);
    std::vector<std::pair<int, QRect>> visible;
    QRegion background(clip);
    for (int i = first; i <= last; ++i) {
        const QRect r = qrect(PageBounds(i)).translated(-hpos, -vpos);
        if (r.intersects(clip)) {
            visible.emplace_back(i, r);
            background -= r;
        }
    }
    painter.save();
    painter.setClipRegion(background);
    painter.fillRect(clip, plat::ToQColor(BackColor));
    painter.restore();

    if (m_pageNo > 0 && m_pageNo <= m_pageList.Count()) {
        const QRect r = qrect(PageBounds(m_pageNo - 1)).translated(-hpos, -vpos);
        QRegion frame(r.adjusted(-3, -3, 3, 3));
        frame -= QRegion(r.adjusted(-1, -1, 1, 1));
        painter.save();
        painter.setClipRegion(frame);
        painter.fillRect(r.adjusted(-3, -3, 3, 3), plat::ToQColor(ActiveFrameColor));
        painter.restore();
    }

    const zd::PreviewSearch& search = zd::previewSearch();
    for (const auto& [index, r] : visible) {
        painter.save();
        painter.setPen(plat::ToQColor(FrameColor));
        painter.setBrush(Qt::white);
        painter.drawRect(r.left(), r.top(), r.width() - 1, r.height() - 2);
        {
            plat::TCanvas canvas;
            canvas.SetPainter(&painter);
            try {
                m_pages->DrawPage(index, &canvas, m_zoom, m_zoom, r.left(), r.top());
            } catch (const plat::Exception&) {
                // A page that cannot be rebuilt stays blank; painting goes on.
            }
        }
        painter.restore();
        // The found text is shown inverted in both areas, each on its own
        // search page.
        if (search.Highlight && index == FindPage) {
            const plat::TRect& h = search.HighlightRect;
            const QRect hr(r.left() + roundHalfEven(h.Left * m_zoom) - 1, r.top() + roundHalfEven(h.Top * m_zoom),
                           roundHalfEven((h.Right - h.Left) * m_zoom) + 2,
                           roundHalfEven((h.Bottom - h.Top) * m_zoom) + 1);
            painter.save();
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter.fillRect(hr, Qt::white);
            painter.restore();
        }
        if (m_thumbnail) {
            painter.save();
            QFont font(QStringLiteral("Arial"));
            font.setPointSize(8);
            painter.setFont(font);
            const QString text = QStringLiteral(" %1 ").arg(index + 1);
            const QRect tr = painter.fontMetrics().boundingRect(text).translated(r.left() + 1, r.top() + 1);
            const QRect box(r.left() + 1, r.top() + 1, tr.width(), painter.fontMetrics().height());
            painter.fillRect(box, plat::ToQColor(BackColor));
            painter.setPen(Qt::white);
            painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
            painter.restore();
        }
    }
}

void TzdPreviewWorkspace::HorzPositionChanged()
{
    const int dx = m_offsetX - HorzPosition();
    m_offsetX = HorzPosition();
    viewport()->scroll(dx, 0);
}

void TzdPreviewWorkspace::VertPositionChanged()
{
    const int dy = m_offsetY - VertPosition();
    m_offsetY = VertPosition();
    viewport()->scroll(0, dy);
    scrolled();
}

void TzdPreviewWorkspace::scrolled()
{
    if (m_thumbnail || m_pageList.Count() == 0)
        return;
    const int page = m_pageList.FindPage(VertPosition());
    const QScopedValueRollback guard(m_noScroll, true);
    m_preview->PageAreaChanged(this, page + 1);
}

void TzdPreviewWorkspace::resizeEvent(QResizeEvent* event)
{
    TzdScrollWin::resizeEvent(event);
    SetHorzPage(viewport()->width());
    SetVertPage(viewport()->height());
}

void TzdPreviewWorkspace::mousePressEvent(QMouseEvent* event)
{
    if (m_preview->OnMouseDown && !m_thumbnail)
        m_preview->OnMouseDown(event);
    setFocus();
    if (event->button() == Qt::LeftButton && m_pageList.Count() > 0 && !m_locked && !m_thumbnail) {
        m_handScrolling = true;
        m_lastPoint = event->position().toPoint();
    }
}

void TzdPreviewWorkspace::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (m_handScrolling) {
        const QPoint d = p - m_lastPoint;
        m_lastPoint = p;
        SetHorzPosition(HorzPosition() - d.x());
        SetVertPosition(VertPosition() - d.y());
        return;
    }
    if (!m_thumbnail)
        mouseOverPage(p, 2, Qt::NoButton, event->modifiers());
}

void TzdPreviewWorkspace::mouseOverPage(QPoint p, quint8 kind, Qt::MouseButton button, Qt::KeyboardModifiers mods)
{
    if (m_locked || !m_pages)
        return;
    plat::TCursor cursor = kPreviewHandCursor;
    const int page = PageAt(p);
    if (page >= 0) {
        const plat::TRect r = PageBounds(page);
        m_pages->HandleMouseAt(page, p.x(), p.y(), buttonOf(button), shiftOf(mods, button), m_zoom,
                               r.Left - HorzPosition(), r.Top - VertPosition(), cursor, kind);
    }
    viewport()->setCursor(shapeOf(cursor));
}

void TzdPreviewWorkspace::mouseReleaseEvent(QMouseEvent* event)
{
    plat::Application().Guard([&] {
        if (m_preview->OnClick && !m_thumbnail)
            m_preview->OnClick();
        m_handScrolling = false;
        QPoint p = event->position().toPoint();
        int page = PageAt(p);
        if (m_rightToLeft)
            page = m_pageList.FindPage(p.y() + VertPosition(), viewport()->width() - HorzPosition() - p.x());
        if (page >= 0) {
            const QScopedValueRollback guard(m_noScroll, !m_thumbnail);
            m_preview->SetPageNo(page + 1);
        }
        if (m_thumbnail)
            return;
        if (event->button() == Qt::RightButton) {
            // The context menu has the right button when there is one.
            TzdPreviewForm* window = m_preview->PreviewWindow();
            const bool pass = window ? window->contextMenuPolicy() != Qt::ActionsContextMenu && !window->RightMenu
                                     : m_preview->PopupMenu == nullptr;
            if (!pass)
                return;
        }
        mouseOverPage(p, 3, event->button(), event->modifiers());
        if (!m_lastClick.isValid() || m_lastClick.elapsed() > QApplication::doubleClickInterval()) {
            m_lastClick.start();
            mouseOverPage(p, 0, event->button(), event->modifiers());
        } else {
            m_lastClick.invalidate();
            mouseOverPage(p, 1, event->button(), event->modifiers());
        }
    });
}

void TzdPreviewWorkspace::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!m_thumbnail && m_preview->OnDblClick)
        m_preview->OnDblClick();
    mousePressEvent(event);
}

void TzdPreviewWorkspace::keyPressEvent(QKeyEvent* event)
{
    if (!m_preview->HandleKey(event->key(), event->modifiers()))
        TzdScrollWin::keyPressEvent(event);
}

void TzdPreviewWorkspace::wheelEvent(QWheelEvent* event)
{
    const QPoint d = event->angleDelta();
    const bool horizontal = d.y() == 0 && d.x() != 0;
    m_preview->WheelScroll(horizontal ? d.x() : d.y(), horizontal, event->modifiers() & Qt::ControlModifier);
    event->accept();
}

bool TzdPreviewWorkspace::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && !m_thumbnail) {
        if (m_preview->ShowHintNow())
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), m_preview->HintText(), viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return TzdScrollWin::viewportEvent(event);
}

// ---------------------------------------------------------------------------
// The control

TzdPreview::TzdPreview(QWidget* parent) : QWidget(parent), m_service(std::make_unique<ServiceLink>(this))
{
    setObjectName(QStringLiteral("Preview"));
    resize(100, 100);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_tabStrip = new QTabBar(this);
    m_tabStrip->setObjectName(QStringLiteral("TabStrip"));
    m_tabStrip->setFixedHeight(22);
    m_tabStrip->hide();
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("Splitter"));
    m_splitter->setHandleWidth(4);
    m_splitter->setChildrenCollapsible(false);
    m_outline = new QTreeWidget(m_splitter);
    m_outline->setObjectName(QStringLiteral("OutlineTree"));
    m_outline->setHeaderHidden(true);
    m_outline->setFrameShape(QFrame::NoFrame);
    m_outline->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* collapse = new QAction(zdGetResText(601), m_outline);
    collapse->setObjectName(QStringLiteral("CollapseAllMI"));
    connect(collapse, &QAction::triggered, this, [this] {
        m_outline->collapseAll();
        m_workspace->setFocus();
    });
    auto* expand = new QAction(zdGetResText(600), m_outline);
    expand->setObjectName(QStringLiteral("ExpandAllMI"));
    connect(expand, &QAction::triggered, this, [this] {
        m_outline->expandAll();
        if (m_outline->topLevelItemCount() > 0)
            m_outline->scrollToItem(m_outline->topLevelItem(0));
        m_workspace->setFocus();
    });
    m_outline->addActions({collapse, expand});
    connect(m_outline, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { outlineClicked(item); });
    m_thumbnail = new TzdPreviewWorkspace(this, true);
    m_splitter->addWidget(m_thumbnail);
    m_thumbnail->hide();
    m_workspace = new TzdPreviewWorkspace(this, false);
    m_splitter->addWidget(m_workspace);
    m_findForm = new TzdSearchForm(m_splitter);
    m_findForm->hide();
    m_findForm->OnToggle = [this] {
        plat::Application().Guard([this] { ToggleFind(); });
        m_workspace->setFocus();
    };
    connect(m_findForm->btnFind, &QPushButton::clicked, this, [this] { plat::Application().Guard([this] { Find(); }); });
    connect(m_findForm->trvFind, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { plat::Application().Guard([&] { ResultChosen(item); }); });
    m_splitter->setStretchFactor(2, 1);
    layout->addWidget(m_tabStrip);
    layout->addWidget(m_splitter, 1);
    connect(m_tabStrip, &QTabBar::tabBarClicked, this, [this](int i) { plat::Application().Guard([&] { tabClicked(i); }); });

    m_messagePanel = new QFrame(this);
    m_messagePanel->setObjectName(QStringLiteral("MessagePanel"));
    static_cast<QFrame*>(m_messagePanel)->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_messagePanel->setAutoFillBackground(true);
    m_messageLabel = new QLabel(m_messagePanel);
    m_messageLabel->setObjectName(QStringLiteral("MessageL"));
    m_messageLabel->setGeometry(4, 20, 255, 20);
    m_messageLabel->setAlignment(Qt::AlignCenter);
    m_messagePanel->hide();
    m_tabs = std::make_unique<TzdPreviewTabs>(this);
    layoutSides();
    m_workspace->setFocus();
}

void TzdPreview::ReleaseReportLink()
{
    TzdCustomPreview* service = m_service.get();
    if (!service->Report)
        return;
    TzdReport* report = service->Report->Report();
    if (report && report->Preview() == service)
        report->SetPreview(nullptr);
    service->Report = nullptr;
    service->ActivePreviewPages = nullptr;
    service->PreviewForm = nullptr;
}

TzdPreview::~TzdPreview()
{
    // Detaching: the report forgets the control, the first tab keeps its
    // own pages, the detail tabs go.
    ReleaseReportLink();
    m_detaching = true;
    if (m_pages)
        if (auto* store = dynamic_cast<TzdPreviewPages*>(m_pages))
            if (store->Link == this)
                store->Link = nullptr;
    m_tabs->DeleteAllButFirst();
    m_tabs->Clear();
}

plat::TColor TzdPreview::ActiveFrameColor() const { return m_workspace->ActiveFrameColor; }
plat::TColor TzdPreview::BackColor() const { return m_workspace->BackColor; }
plat::TColor TzdPreview::FrameColor() const { return m_workspace->FrameColor; }

void TzdPreview::SetActiveFrameColor(plat::TColor value)
{
    m_workspace->ActiveFrameColor = m_thumbnail->ActiveFrameColor = value;
    RepaintPreview();
}

void TzdPreview::SetBackColor(plat::TColor value)
{
    m_workspace->BackColor = m_thumbnail->BackColor = value;
    RepaintPreview();
}

void TzdPreview::SetFrameColor(plat::TColor value)
{
    m_workspace->FrameColor = m_thumbnail->FrameColor = value;
    RepaintPreview();
}

bool TzdPreview::OutlineVisible() const { return !m_outline->isHidden(); }
bool TzdPreview::ThumbnailVisible() const { return !m_thumbnail->isHidden(); }
bool TzdPreview::FindFmVisible() const { return !m_findForm->isHidden(); }

void TzdPreview::SetOutlineVisible(bool value)
{
    const bool changed = value != OutlineVisible();
    m_outline->setVisible(value);
    if (value)
        m_thumbnail->hide();
    layoutSides();
    if (changed)
        UpdatePages();
}

void TzdPreview::SetThumbnailVisible(bool value)
{
    const bool changed = value != ThumbnailVisible();
    m_thumbnail->setVisible(value);
    if (value) {
        m_outline->hide();
        m_thumbnail->SetRanges();
    }
    layoutSides();
    if (changed)
        UpdatePages();
}

void TzdPreview::SetFindFmVisible(bool value)
{
    if (value == FindFmVisible())
        return;
    m_findForm->setVisible(value);
    layoutSides();
    findPanelShown(value);
}

void TzdPreview::SetOutlineWidth(int value)
{
    m_outlineWidth = value;
    layoutSides();
}

void TzdPreview::layoutSides()
{
    // The outline and the thumbnails stand at the start, the find panel at
    // the end. In a control that reads right to left the splitter itself
    // lays them out from the right; the page area's own right-to-left flag
    // moves only the pages.
    m_splitter->insertWidget(0, m_outline);
    m_splitter->insertWidget(0, m_thumbnail);
    m_splitter->insertWidget(3, m_findForm);
    QList<int> sizes;
    for (int i = 0; i < m_splitter->count(); ++i) {
        QWidget* w = m_splitter->widget(i);
        sizes << (w == m_workspace ? std::max(1, width() - 2 * m_outlineWidth) : m_outlineWidth);
    }
    m_splitter->setSizes(sizes);
    if (m_window)
        m_window->SidePanelsChanged();
}

int TzdPreview::PageCount() const
{
    return m_pages ? m_pages->GetPageCount() : 0;
}

TzdPreviewButtons TzdPreview::Buttons() const
{
    if (m_report)
        return m_report->PreviewOptions()->Buttons;
    TzdPreviewOptions defaults;
    return defaults.Buttons;
}

void TzdPreview::SetPages(TzdCustomPreviewPages* Pages)
{
    if (m_pages && m_pages != Pages)
        if (auto* store = dynamic_cast<TzdPreviewPages*>(m_pages))
            if (store->Link == this)
                store->Link = nullptr;
    m_pages = Pages;
    if (auto* store = dynamic_cast<TzdPreviewPages*>(Pages))
        store->Link = this;
    m_findMetafile.reset();
    m_findPageCached = -1;
    m_workspace->SetPreviewPages(Pages);
    m_thumbnail->SetPreviewPages(Pages);
}

void TzdPreview::SetReportAndPages(TzdReport* Report, TzdCustomPreviewPages* Pages)
{
    m_report = Report;
    SetPages(Pages);
}

// --- the report's calls

bool TzdPreview::AttachReport(TzdReport* Report, TzdCustomPreviewPages* Pages)
{
    if (m_detaching)
        return false;
    if (m_attached && EachReportInTab) {
        QString name = Report && !Report->FileName.isEmpty() ? QFileInfo(Report->FileName).fileName() : QString();
        if (name.isEmpty() && Report)
            name = Report->ReportOptions()->Name;
        for (int i = 0; i < m_tabs->Count(); ++i)
            if (m_tabs->Item(i).Report == Report && m_tabs->Item(i).PreviewPages == Pages) {
                m_tabStrip->setCurrentIndex(i);
                m_tabs->SwitchTab(i);
                return false;
            }
        m_tabs->AddTab(Report, Pages, name, {}, false, name);
        return false;
    }
    m_report = Report;
    SetPages(Pages);
    ClearHighlight();
    m_workspace->FindPage = 0;
    zd::previewSearch().LastRecord = -1;
    m_found = false;
    if (m_attached) {
        if (m_tabs->Count() > 0) {
            m_tabs->Item(0).Report = Report;
            m_tabs->Item(0).PreviewPages = Pages;
            m_tabStrip->setCurrentIndex(0);
            m_tabs->SwitchTab(0);
        }
        return true;
    }
    if (Report) {
        TzdPreviewOptions* options = Report->PreviewOptions();
        m_zoomMode = options->ZoomMode;
        if (m_zoomMode == zmDefault)
            m_zoom = options->Zoom;
        QString name = Report->FileName.isEmpty() ? Report->ReportOptions()->Name
                                                  : QFileInfo(Report->FileName).fileName();
        m_tabs->AddTab(Report, Pages, name, {}, false, name);
        m_outlineWidth = options->OutlineWidth;
        SetOutlineVisible(options->OutlineVisible);
        SetThumbnailVisible(options->ThumbnailVisible);
    } else {
        m_tabs->AddTab(nullptr, Pages, {}, {}, false, {});
    }
    m_attached = true;
    UpdatePages();
    UpdateOutline();
    SetPageNo(1);
    return true;
}

int TzdPreview::CloseTabsOf(TzdCustomPreviewPages* Pages)
{
    const int left = m_tabs->CloseTabsOf(Pages);
    if (left == 0)
        m_attached = false;
    return left;
}

void TzdPreview::DetachReport()
{
    SetPages(nullptr);
    m_report = nullptr;
    m_tabs->Clear();
    m_attached = false;
    m_pageNo = 0;
    m_workspace->PageList().Clear();
    m_thumbnail->PageList().Clear();
    m_workspace->SetRanges();
    RepaintPreview();
}

void TzdPreview::Lock()
{
    m_locked = true;
    m_workspace->SetLocked(true);
    m_thumbnail->SetLocked(true);
}

void TzdPreview::Unlock()
{
    m_messagePanel->hide();
    m_locked = false;
    m_workspace->SetLocked(false);
    m_thumbnail->SetLocked(false);
    UpdatePages();
    RepaintPreview();
}

void TzdPreview::PrepareStarted()
{
    if (m_refreshing)
        return;
    ClearPages();
    m_toggledDrillNames.clear();
    m_running = true;
    updateWindowControls();
}

void TzdPreview::PageAdded(int PageIndex)
{
    if (m_refreshing) {
        if (OnPageChanged)
            OnPageChanged(this, m_pageNo);
        return;
    }
    const bool finalPass = !m_pages || !m_pages->Engine || m_pages->Engine->FinalPass;
    if (finalPass && PageIndex < 50 && m_pages) {
        m_workspace->PageList().AddPage(m_pages->GetPageSize(PageIndex), m_workspace->Zoom());
        m_workspace->CalcPages();
    }
    if (PageIndex == 0) {
        SetPageNo(1);
        if (finalPass)
            UpdatePages();
        if (m_window)
            m_window->SetCloseCaption(zdGetResources()->GetText(QStringLiteral("clCancel")));
        m_progressTimer.start();
    } else if (PageIndex == 1) {
        const qint64 ms = m_progressTimer.isValid() ? m_progressTimer.elapsed() : 0;
        m_progressInterval = ms < 5 ? 50 : ms < 10 ? 20 : 5;
        SetPageNo(1);
        if (finalPass)
            UpdatePages();
    } else if (PageIndex % m_progressInterval == 0) {
        if (OnPageChanged)
            OnPageChanged(this, m_pageNo);
        if (finalPass) {
            m_workspace->FillPageList();
            m_workspace->CalcPages();
        }
    }
    plat::Application().ProcessMessages();
}

void TzdPreview::PrepareFinished()
{
    if (m_refreshing)
        return;
    m_running = false;
    if (OnPageChanged)
        OnPageChanged(this, m_pageNo);
    UpdatePages();
    UpdateOutline();
    if (m_window) {
        m_window->SetCloseCaption(zdGetResources()->GetText(QStringLiteral("clClose")));
        m_window->SetMessage({}, false);
    }
    updateWindowControls();
}

// --- navigation

void TzdPreview::FirstPage() { SetPageNo(1); }
void TzdPreview::PriorPage() { SetPageNo(m_pageNo - 1); }
void TzdPreview::NextPage() { SetPageNo(m_pageNo + 1); }
void TzdPreview::LastPage() { SetPageNo(PageCount()); }

void TzdPreview::SetPageNo(int N)
{
    const int count = PageCount();
    if (N < 1)
        N = 1;
    if (N > count)
        N = count;
    m_pageNo = N;
    if (m_pages)
        m_pages->ShownPageNo = N;
    m_workspace->SetPageNo(N, true);
    m_thumbnail->SetPageNo(N, true);
    if (OnPageChanged)
        OnPageChanged(this, N);
}

void TzdPreview::PageAreaChanged(TzdPreviewWorkspace*, int page)
{
    if (m_locked)
        return;
    SetPageNo(m_pinnedPage > 0 ? m_pinnedPage : page);
}

void TzdPreview::ScrollToPosition(int Page, int Top)
{
    const int count = PageCount();
    Page = std::clamp(Page, 1, std::max(1, count));
    if (!m_pages || Page > count)
        return;
    const plat::TRect r = m_workspace->PageBounds(Page - 1);
    if (Top == 0) {
        m_workspace->SetVertPosition(r.Top - kPageTopGap);
        return;
    }
    TzdReportPage* page = m_pages->GetPage(Page - 1);
    if (!page)
        return;
    m_workspace->SetVertPosition(r.Top + roundHalfEven((page->TopMargin * zd01cm + Top) * m_zoom) - kPageTopGap);
}

void TzdPreview::WheelScroll(int Delta, bool Horizontal, bool ZoomKey)
{
    if (ZoomKey) {
        SetZoom(zd::WheelZoom(m_zoom, Delta));
        return;
    }
    const int step = -(Delta > 0 ? 1 : Delta < 0 ? -1 : 0) * kWheelStep;
    if (Horizontal)
        m_workspace->SetHorzPosition(m_workspace->HorzPosition() + step);
    else
        m_workspace->SetVertPosition(m_workspace->VertPosition() + step);
}

// --- zoom and layout

static std::vector<QSize> pageSizes(TzdCustomPreviewPages* pages)
{
    std::vector<QSize> sizes;
    const int count = pages ? pages->GetPageCount() : 0;
    sizes.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        sizes.push_back(pages->GetPageSize(i));
    return sizes;
}

void TzdPreview::SetZoom(long double Value)
{
    m_zoom = zd::ClampZoom(Value, zd::MaxZoom(pageSizes(m_pages)));
    m_zoomMode = zmDefault;
    UpdatePages();
}

void TzdPreview::SetZoomMode(TzdZoomMode Mode)
{
    m_zoomMode = Mode;
    UpdatePages();
}

void TzdPreview::UpdatePages()
{
    if (m_locked || !m_pages || PageCount() == 0)
        return;
    m_found = false;
    m_findMetafile.reset();
    m_findPageCached = -1;
    const QSize area = m_workspace->size();
    const int current = std::clamp(m_pageNo, 1, PageCount()) - 1;
    if (m_zoomMode == zmWholePage)
        m_zoom = zd::WholePageZoom(m_pages->GetPageSize(current), area, scrollBarExtent(this), PageCount());
    else if (m_zoomMode == zmPageWidth)
        m_zoom = zd::PageWidthZoom(m_pages->GetPageSize(current), area, scrollBarExtent(this));
    // The layout never leaves the painter's coordinates, whatever the mode.
    const std::vector<QSize> sizes = pageSizes(m_pages);
    m_zoom = std::min(m_zoom, zd::MaxZoom(sizes));
    m_workspace->SetZoom(m_zoom);
    m_thumbnail->SetZoom(kThumbnailZoom);
    m_workspace->FillPageList();
    m_workspace->CalcPages();
    if (!m_running) {
        m_thumbnail->FillPageList();
        m_thumbnail->CalcPages();
    }
    if (!m_refreshing) {
        m_workspace->viewport()->update();
        m_thumbnail->viewport()->update();
    }
    if (m_window)
        m_window->ShowZoom(m_zoom);
    if (m_zoomMode == zmWholePage)
        ScrollToPosition(m_pageNo, 0);
}

void TzdPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_messagePanel->isVisible())
        m_messagePanel->move((width() - kMessagePanelWidth) / 2, (height() - kMessagePanelHeight) / 3);
    if (PageCount() > 0)
        UpdatePages();
}

// --- outline

void TzdPreview::UpdateOutline()
{
    m_outline->clear();
    if (!m_pages)
        return;
    TzdCustomOutline* outline = m_pages->Outline();
    outline->LevelRoot();
    outlineNodes(nullptr);
    outline->LevelRoot();
    if (m_report && m_report->PreviewOptions()->OutlineExpand)
        m_outline->expandAll();
    if (m_outline->topLevelItemCount() > 0)
        m_outline->scrollToItem(m_outline->topLevelItem(0));
}

void TzdPreview::outlineNodes(QTreeWidgetItem* parent)
{
    TzdCustomOutline* outline = m_pages->Outline();
    const int count = outline->ItemCount();
    for (int i = 0; i < count; ++i) {
        QString text;
        int page = 0, top = 0;
        outline->ReadItem(i, text, page, top);
        auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_outline);
        node->setText(0, text);
        node->setData(0, Qt::UserRole, page + 1);
        node->setData(0, Qt::UserRole + 1, top);
        outline->LevelInto(i);
        outlineNodes(node);
        outline->LevelUp();
    }
}

void TzdPreview::outlineClicked(QTreeWidgetItem* item)
{
    plat::Application().Guard([&] {
        const int page = item->data(0, Qt::UserRole).toInt();
        ScrollToPosition(page, item->data(0, Qt::UserRole + 1).toInt());
        {
            const bool was = m_workspace->NoScroll();
            m_workspace->SetNoScroll(true);
            SetPageNo(page);
            m_workspace->SetNoScroll(was);
        }
        m_workspace->setFocus();
    });
}

// --- commands

bool TzdPreview::guarded(const std::function<void()>& body)
{
    // Printing and exporting let events run; the window must stay open
    // until they end.
    ++m_busy;
    try {
        body();
    } catch (...) {
        --m_busy;
        Unlock();
        throw;
    }
    --m_busy;
    Unlock();
    return true;
}

void TzdPreview::PrintPages()
{
    if (m_running || !m_pages || m_busy)
        return;
    m_pages->ShownPageNo = m_pageNo;
    guarded([&] { m_pages->Print(); });
}

void TzdPreview::ExportPages(TzdCustomExportFilter* Filter)
{
    if (m_running || !m_pages || !Filter || m_busy)
        return;
    m_pages->ShownPageNo = m_pageNo;
    guarded([&] { m_pages->Export(Filter); });
}

void TzdPreview::SaveToFile()
{
    if (m_running || !m_pages)
        return;
    plat::FileDialogRequest request;
    request.kind = plat::FileDialogRequest::Save;
    request.filter = zdGetResources()->GetText(QStringLiteral("clFP3files")) + QStringLiteral(" (*.zp3)|*.zp3");
    if (zdCompressorClass)
        request.filter += u'|' + zdGetResources()->GetText(QStringLiteral("clComprPreparedRepFilter"));
    request.defaultExt = QStringLiteral("zp3");
    request.options = plat::TOpenOptions{plat::ofNoChangeDir};
    const plat::FileDialogResult result = plat::Services().FileDialog(request);
    if (!result.accepted)
        return;
    RepaintPreview();
    if (m_report)
        m_report->ReportOptions()->Compressed = result.filterIndex == 2;
    QFileInfo info(result.FileName());
    SaveToFile(info.path() + u'/' + info.completeBaseName() + QStringLiteral(".zp3"));
}

void TzdPreview::SaveToFile(const QString& Name)
{
    if (m_running || !m_pages)
        return;
    Lock();
    ShowMessagePanel(zdGetResources()->GetText(QStringLiteral("clSaving")));
    guarded([&] { m_pages->SaveToFile(Name); });
}

void TzdPreview::LoadFromFile()
{
    if (m_running || !m_pages)
        return;
    plat::FileDialogRequest request;
    request.kind = plat::FileDialogRequest::Open;
    request.filter = zdGetResources()->GetText(QStringLiteral("clFP3files")) + QStringLiteral(" (*.zp3)|*.zp3");
    request.options = plat::TOpenOptions{plat::ofHideReadOnly, plat::ofNoChangeDir};
    const plat::FileDialogResult result = plat::Services().FileDialog(request);
    if (!result.accepted)
        return;
    RepaintPreview();
    LoadFromFile(result.FileName());
}

void TzdPreview::LoadFromFile(const QString& Name)
{
    if (m_running || !m_pages)
        return;
    Lock();
    ShowMessagePanel(zdGetResources()->GetText(QStringLiteral("clLoading")));
    auto after = [this] {
        m_locked = false;
        m_workspace->SetLocked(false);
        m_thumbnail->SetLocked(false);
        UpdatePages();
        SetPageNo(1);
        UpdateOutline();
    };
    try {
        guarded([&] { m_pages->LoadFromFile(Name, false); });
    } catch (...) {
        after();
        throw;
    }
    after();
}

void TzdPreview::InsertPage()
{
    if (m_running || !m_pages)
        return;
    m_pages->InsertEmptyPage(m_pageNo - 1);
    UpdatePages();
    SetPageNo(m_pageNo);
}

void TzdPreview::RemovePage()
{
    if (m_running || !m_pages)
        return;
    m_pages->DeletePage(m_pageNo - 1);
    if (m_pageNo >= PageCount())
        m_pageNo = PageCount();
    UpdatePages();
    SetPageNo(m_pageNo);
}

void TzdPreview::ClearPages()
{
    if (m_running || !m_pages)
        return;
    Lock();
    try {
        m_pages->Clear();
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
    m_workspace->PageList().Clear();
    m_thumbnail->PageList().Clear();
    UpdateOutline();
    SetPageNo(1);
    m_workspace->SetRanges();
    if (ThumbnailVisible())
        m_thumbnail->SetRanges();
    RepaintPreview();
}

void TzdPreview::CancelPrepare()
{
    if (m_report)
        m_report->SetTerminated(true);
}

void TzdPreview::ShowMessagePanel(const QString& Text)
{
    m_messagePanel->setGeometry((width() - kMessagePanelWidth) / 2, (height() - kMessagePanelHeight) / 3,
                                kMessagePanelWidth, kMessagePanelHeight);
    m_messageLabel->setText(Text);
    m_messagePanel->show();
    m_messagePanel->raise();
    m_messagePanel->repaint();
}

bool TzdPreview::HandleKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const TzdPreviewButtons buttons = Buttons();
    switch (zd::PreviewKeyOf(qtKey, ctrl)) {
    case zd::PreviewKey::ScrollUp:
        m_workspace->SetVertPosition(m_workspace->VertPosition() - zd::kKeyLineStep);
        return true;
    case zd::PreviewKey::ScrollDown:
        m_workspace->SetVertPosition(m_workspace->VertPosition() + zd::kKeyLineStep);
        return true;
    case zd::PreviewKey::ScrollLeft:
        m_workspace->SetHorzPosition(m_workspace->HorzPosition() - zd::kKeyLineStep);
        return true;
    case zd::PreviewKey::ScrollRight:
        m_workspace->SetHorzPosition(m_workspace->HorzPosition() + zd::kKeyLineStep);
        return true;
    case zd::PreviewKey::PageUp:
        m_workspace->SetVertPosition(m_workspace->VertPosition() - zd::kKeyPageStep);
        return true;
    case zd::PreviewKey::PageDown:
        m_workspace->SetVertPosition(m_workspace->VertPosition() + zd::kKeyPageStep);
        return true;
    case zd::PreviewKey::PriorPage:
        PriorPage();
        return true;
    case zd::PreviewKey::NextPage:
        NextPage();
        return true;
    case zd::PreviewKey::FirstPage:
        FirstPage();
        return true;
    case zd::PreviewKey::LastPage:
        LastPage();
        return true;
    case zd::PreviewKey::FindNext:
        if (buttons.contains(pbFind))
            plat::Application().Guard([this] { FindNext(); });
        return true;
    case zd::PreviewKey::Print:
        if (buttons.contains(pbPrint))
            plat::Application().Guard([this] { m_window ? m_window->PrintBClick() : PrintPages(); });
        return true;
    case zd::PreviewKey::Save:
        if (buttons.contains(pbSave))
            plat::Application().Guard([this] { SaveToFile(); });
        return true;
    case zd::PreviewKey::ToggleFind:
        if (buttons.contains(pbFind))
            plat::Application().Guard([this] { ToggleFind(); });
        return true;
    case zd::PreviewKey::Load:
        if (buttons.contains(pbLoad))
            plat::Application().Guard([this] { m_window ? m_window->OpenBClick() : LoadFromFile(); });
        return true;
    case zd::PreviewKey::None:
        break;
    }
    return false;
}

void TzdPreview::keyPressEvent(QKeyEvent* event)
{
    if (!HandleKey(event->key(), event->modifiers()))
        QWidget::keyPressEvent(event);
}

void TzdPreview::Reprepare()
{
    if (!m_report)
        return;
    const int hpos = m_workspace->HorzPosition(), vpos = m_workspace->VertPosition();
    const int oldPage = m_pageNo;
    Lock();
    m_refreshing = true;
    const long double zoom = m_zoom;
    const TzdZoomMode mode = m_zoomMode;
    auto restore = [&] {
        m_zoom = zoom;
        m_zoomMode = mode;
        m_locked = false;
        m_workspace->SetLocked(false);
        m_thumbnail->SetLocked(false);
        m_pageNo = std::min(oldPage, PageCount());
        UpdatePages();
        UpdateOutline();
        m_refreshing = false;
        SetPageNo(m_pageNo);
        m_workspace->SetHorzPosition(hpos);
        m_workspace->SetVertPosition(vpos);
        RepaintPreview();
    };
    try {
        const int tab = m_tabs->Current();
        if (m_tabs->Count() < 2 || tab == 0 || m_tabs->Item(tab).DetailPage.isEmpty()) {
            PrepareReport(m_report);
        } else {
            TzdPreviewTabItem& item = m_tabs->Item(tab);
            item.PreviewPages->Clear();
            auto* page = dynamic_cast<TzdReportPage*>(m_report->FindObject(item.DetailPage));
            const zd::PreviewReportHooks& hooks = zd::previewReportHooks();
            if (page && hooks.AttachPreviewPages && hooks.PrepareSinglePage) {
                hooks.AttachPreviewPages(m_report, item.PreviewPages);
                hooks.PrepareSinglePage(m_report, page);
            }
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void TzdPreview::updateWindowControls()
{
    if (m_window)
        m_window->UpdateControls();
}

void TzdPreview::ToggleFind()
{
    if (m_window)
        m_window->ToggleFindButton();
    else
        SetFindFmVisible(!FindFmVisible());
}

void TzdPreview::PageSettings()
{
    if (m_running || !m_pages || m_pageNo < 1)
        return;
    TzdReportPage* page = m_pages->GetPage(m_pageNo - 1);
    if (!page)
        return;
    runPageSettings(page);
}

bool TzdPreview::RTLPreview = false;

void TzdPreview::ShowTemplate()
{
    auto* pages = dynamic_cast<TzdPreviewPages*>(m_pages);
    if (m_running || !pages || pages->SourcePageCount() == 0 || !zdDesignerClass)
        return;
    // The designer frees and reloads pages freely (undo, delete page), so it
    // gets copies: the store's source pages must outlive it.
    TzdReport temporary;
    temporary.EngineOptions()->NewSilentMode = simSilent;
    for (int i = 0; i < pages->SourcePageCount(); ++i) {
        TzdReportPage* source = pages->SourcePage(i);
        auto* copy = static_cast<TzdComponent*>(source->ClassType()->CreateComponent(&temporary));
        copy->SetParent(&temporary);
        copy->AssignAll(source);
        // The page's own name is not part of its contents; a store that
        // holds pages of several reports may repeat a name.
        if (!source->Name().isEmpty() && !temporary.FindObject(source->Name()))
            copy->SetName(source->Name());
        else
            copy->CreateUniqueName();
    }
    temporary.Design(true, false);
}

void TzdPreview::EditCurrentPage()
{
    if (m_running || !m_pages || !EditPageHandler)
        return;
    // A failed edit is shown; the page stays as it was, since it is only
    // replaced once the edit succeeded.
    try {
        EditPageHandler(this);
    } catch (const plat::Exception& e) {
        Unlock();
        plat::Application().ShowException(e);
    }
}

// --- hints and status

void TzdPreview::SetHint(const QString& Hint) { m_hint = Hint; }

void TzdPreview::SetShowHint(bool Value)
{
    m_showHint = Value;
    if (!Value)
        QToolTip::hideText();
}

void TzdPreview::ActivateHint(QPoint ClientPoint, const QString& Hint)
{
    if (isVisible())
        QToolTip::showText(m_workspace->viewport()->mapToGlobal(ClientPoint), Hint, m_workspace->viewport());
}

void TzdPreview::RepaintPreview()
{
    m_workspace->viewport()->update();
    m_thumbnail->viewport()->update();
    update();
}

void TzdPreview::RepaintPages() { m_workspace->viewport()->update(); }

void TzdPreview::ShowProgressText(const QString& Text, bool SecondPanel)
{
    if (m_window)
        m_window->SetMessage(Text, SecondPanel);
}

// --- tabs

bool TzdPreview::HasTabNamed(const QString& Name) { return m_tabs->IndexOfName(Name) >= 0; }

void TzdPreview::SelectTabByName(const QString& Name)
{
    const int i = m_tabs->IndexOfName(Name);
    if (i < 0)
        return;
    m_tabStrip->setCurrentIndex(i);
    m_tabs->SwitchTab(i);
}

void TzdPreview::AddTab(TzdReport* Report, TzdCustomPreviewPages* Pages, const QString& Name,
                        const QString& DetailPage, bool OwnsPages, const QString& Caption)
{
    m_tabs->AddTab(Report, Pages, Name, DetailPage, OwnsPages, Caption);
}

bool TzdPreview::SeveralTabs() { return m_tabs->Count() > 1; }

void TzdPreview::tabClicked(int index)
{
    if (index < 0 || index >= m_tabs->Count())
        return;
    const QPoint p = m_tabStrip->mapFromGlobal(QCursor::pos());
    const QRect r = m_tabStrip->tabRect(index);
    if (index == m_tabs->Current() && m_tabs->OnCloseGlyph(index, p.x(), p.y(), r.left())) {
        m_tabs->CloseTab(index);
        return;
    }
    m_tabs->SwitchTab(index);
    zd::previewSearch().HighlightRect = plat::TRect();
    ScrollToHighlight();
}

// --- search

void TzdPreview::ClearHighlight()
{
    zd::previewSearch().Highlight = false;
    m_workspace->viewport()->update();
    m_thumbnail->viewport()->update();
}

void TzdPreview::findPanelShown(bool shown)
{
    if (shown) {
        zd::previewSearch().Text.clear();
        m_findForm->trvFind->clear();
    } else {
        ClearHighlight();
    }
}

void TzdPreview::Find()
{
    if (PageCount() == 0)
        return;
    zd::PreviewSearch& s = zd::previewSearch();
    const QString text = m_findForm->edtFind->text();
    const bool caseSensitive = m_findForm->chkCase->isChecked();
    const bool findAll = m_findForm->chkFindAll->isChecked();
    if (text == s.Text && caseSensitive == s.CaseSensitive && findAll == s.FindAll && findAll)
        return;
    const bool newText = text != s.Text || caseSensitive != s.CaseSensitive;
    s.Text = text;
    s.CaseSensitive = caseSensitive;
    s.FindAll = findAll;
    s.FromBeginning = m_findForm->chkBeg->isChecked();
    m_findForm->trvFind->clear();
    if (!findAll) {
        if (s.FromBeginning) {
            m_workspace->FindPage = 0;
            s.LastRecord = -1;
        } else if (m_workspace->FindPage != m_pageNo - 1 || newText) {
            m_workspace->FindPage = std::max(0, m_pageNo - 1);
            s.LastRecord = -1;
        }
        m_workspace->setFocus();
    } else {
        s.LastRecord = -1;
        m_found = false;
    }
    searchPages();
    if (findAll)
        m_findForm->trvFind->expandAll();
}

void TzdPreview::FindNext()
{
    if (m_found)
        searchPages();
}

void TzdPreview::searchPages()
{
    zd::PreviewSearch& s = zd::previewSearch();
    s.Highlight = false;
    m_findForm->trvFind->clear();
    if (s.FindAll) {
        m_workspace->FindPage = 0;
        s.LastRecord = -1;
    }
    const int count = PageCount();
    QTreeWidgetItem* pageNode = nullptr;
    for (int page = m_workspace->FindPage; page < count; ++page) {
        if (m_findPageCached != page || !m_findMetafile) {
            m_findMetafile = std::make_unique<plat::TMetafile>();
            {
                plat::TMetafileCanvas canvas(*m_findMetafile);
                m_pages->DrawPage(page, &canvas, 1, 1, 0, 0);
            }
            m_findPageCached = page;
        }
        pageNode = nullptr;
        for (const plat::TMetafileTextItem& item : m_findMetafile->TextItems()) {
            if (item.record <= s.LastRecord || !zd::SearchMatches(item.text, s.Text, s.CaseSensitive))
                continue;
            if (s.FindAll) {
                if (!pageNode) {
                    pageNode = new QTreeWidgetItem(m_findForm->trvFind);
                    pageNode->setText(0, zdGetResText(153) + u' ' + QString::number(page + 1));
                }
                auto* node = new QTreeWidgetItem(pageNode);
                node->setText(0, item.text);
                node->setData(0, Qt::UserRole, page);
                node->setData(0, Qt::UserRole + 1, QRect(QPoint(item.bounds.Left, item.bounds.Top),
                                                         QPoint(item.bounds.Right, item.bounds.Bottom)));
                continue;
            }
            s.Highlight = true;
            s.HighlightRect = item.bounds;
            s.LastRecord = item.record;
            m_workspace->FindPage = page;
            m_thumbnail->FindPage = page;
            m_thumbnail->viewport()->update();
            m_found = true;
            ScrollToHighlight();
            return;
        }
        s.LastRecord = -1;
        if (!s.FindAll && page + 1 < count)
            m_workspace->FindPage = page + 1;
    }
    if (!s.FindAll) {
        m_found = false;
        plat::Services().MessageBox(zdGetResources()->GetText(QStringLiteral("clStrNotFound")), {}, plat::MB_OK);
    }
}

void TzdPreview::ScrollToHighlight()
{
    const zd::PreviewSearch& s = zd::previewSearch();
    const int page = m_workspace->FindPage;
    if (page < 0 || page >= m_workspace->PageList().Count())
        return;
    const plat::TRect r = m_workspace->PageBounds(page);
    const int top = r.Top + roundHalfEven(s.HighlightRect.Top * m_zoom);
    const int bottom = r.Top + roundHalfEven(s.HighlightRect.Bottom * m_zoom);
    const int left = r.Left + roundHalfEven(s.HighlightRect.Left * m_zoom);
    const int right = r.Left + roundHalfEven(s.HighlightRect.Right * m_zoom);
    const int vpos = m_workspace->VertPosition(), hpos = m_workspace->HorzPosition();
    const int ch = m_workspace->viewport()->height(), cw = m_workspace->viewport()->width();
    if (top < vpos || bottom > vpos + ch)
        m_workspace->SetVertPosition(bottom - ch + 20);
    if (left < hpos || right > hpos + cw)
        m_workspace->SetHorzPosition(right - cw + 20);
    m_workspace->viewport()->update();
}

void TzdPreview::ResultChosen(QTreeWidgetItem* item)
{
    if (!item)
        return;
    if (item->data(0, Qt::UserRole).isValid()) {
        zd::PreviewSearch& s = zd::previewSearch();
        const QRect r = item->data(0, Qt::UserRole + 1).toRect();
        s.Highlight = true;
        s.HighlightRect = plat::TRect(r.left(), r.top(), r.right(), r.bottom());
        m_workspace->FindPage = item->data(0, Qt::UserRole).toInt();
        m_thumbnail->FindPage = m_workspace->FindPage;
        m_thumbnail->viewport()->update();
        SetPageNo(m_workspace->FindPage + 1);
        ScrollToHighlight();
        return;
    }
    const QString text = item->text(0);
    const qsizetype blank = text.indexOf(u' ');
    bool ok = false;
    const int page = text.mid(blank + 1).toInt(&ok);
    if (ok)
        SetPageNo(page);
}

void TzdPreview::runPageSettings(TzdReportPage* page)
{
    TzdPageSettingsForm form(this);
    form.Page = page;
    form.Report = m_report;
    if (plat::ExecModal(form) != QDialog::Accepted)
        return;
    if (form.ApplyToAll() && m_report) {
        // The template's pages take the edited page's settings; then the
        // report is built again.
        for (int i = 0; i < m_report->GetPageCount(); ++i) {
            auto* p = dynamic_cast<TzdReportPage*>(m_report->GetPageByIndex(i));
            if (!p)
                continue;
            p->SetOrientation(page->Orientation());
            p->SetPaperWidth(page->PaperWidth());
            p->SetPaperHeight(page->PaperHeight());
            p->SetPaperSize(page->PaperSize());
            p->SetPaperWidth(page->PaperWidth());
            p->SetPaperHeight(page->PaperHeight());
            p->LeftMargin = page->LeftMargin;
            p->TopMargin = page->TopMargin;
            p->RightMargin = page->RightMargin;
            p->BottomMargin = page->BottomMargin;
        }
        Reprepare();
        return;
    }
    Lock();
    try {
        m_pages->ReplacePage(m_pageNo - 1, page);
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
}

TzdCustomPreview* TzdPreview::Service() const
{
    return m_service.get();
}
