#include "zdPreviewTabs.h"

#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdPreview.h"
#include "zdRes.h"

#include <QPainter>
#include <QTabBar>

namespace {
// The close glyph of a tab: x from the tab's left + 8 to + 18, y 6 to 18.
constexpr int kGlyphLeft = 8;
constexpr int kGlyphRight = 18;
constexpr int kGlyphTop = 6;
constexpr int kGlyphBottom = 18;
constexpr int kCloseImage = 17;
} // namespace

TzdPreviewTabs::TzdPreviewTabs(TzdPreview* preview) : m_preview(preview) {}

TzdPreviewTabs::~TzdPreviewTabs() = default;

void TzdPreviewTabs::AddTab(TzdReport* Report, TzdCustomPreviewPages* Pages, const QString& Name,
                            const QString& DetailPage, bool OwnsPages, const QString& Caption)
{
    auto item = std::make_unique<TzdPreviewTabItem>();
    item->Name = Name;
    item->DetailPage = DetailPage;
    item->Report = Report;
    item->PreviewPages = Pages;
    item->OwnsPages = OwnsPages;
    item->Zoom = m_preview->Zoom();
    item->ZoomMode = m_preview->ZoomMode();
    if (OwnsPages) {
        // A detail report is the tab's own, with the pages it keeps; a
        // detail page of the shown report brings only its own pages.
        if (Report && Report != m_preview->ReportObject() && (m_items.empty() || Report != m_items[0]->Report))
            item->OwnedReport.reset(Report);
        else
            item->OwnedPages.reset(Pages);
    }
    m_items.push_back(std::move(item));
    QTabBar* strip = m_preview->TabStrip();
    QIcon close;
    const zd::ImageList& images = zdGetResources()->GetPreviewButtonImages();
    if (m_items.size() > 1 && images.size() > kCloseImage) {
        QPixmap glyph(16, 16);
        glyph.fill(Qt::transparent);
        QPainter p(&glyph);
        p.drawImage(0, 1, images[kCloseImage]);
        close = QIcon(glyph);
    }
    const int index = strip->addTab(close, Caption.isEmpty() ? Name : Caption);
    strip->setVisible(m_items.size() > 1);
    strip->setCurrentIndex(index);
    SwitchTab(index);
}

int TzdPreviewTabs::IndexOfName(const QString& Name) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->Name == Name)
            return int(i);
    return -1;
}

void TzdPreviewTabs::saveCurrent()
{
    if (m_current < 0 || m_current >= Count())
        return;
    TzdPreviewTabItem& item = *m_items[size_t(m_current)];
    item.Zoom = m_preview->Zoom();
    item.ZoomMode = m_preview->ZoomMode();
    item.HorzPosition = m_preview->Workspace()->HorzPosition();
    item.VertPosition = m_preview->Workspace()->VertPosition();
    item.PageNo = m_preview->PageNo();
}

void TzdPreviewTabs::SwitchTab(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    if (Index != m_current)
        saveCurrent();
    m_current = Index;
    TzdPreviewTabItem& item = *m_items[size_t(Index)];
    const zd::PreviewReportHooks& hooks = zd::previewReportHooks();
    if (item.Report && hooks.AttachPreviewPages)
        hooks.AttachPreviewPages(item.Report, item.PreviewPages);
    m_preview->SetReportAndPages(item.Report, item.PreviewPages);
    m_preview->SetZoomModeValue(item.ZoomMode);
    m_preview->SetZoomValue(item.Zoom);
    m_preview->UpdatePages();
    const int count = m_preview->PageCount();
    m_preview->SetPageNo(item.PageNo == 0 && count > 0 ? 1 : item.PageNo);
    m_preview->Workspace()->SetVertPosition(item.VertPosition);
    m_preview->Workspace()->SetHorzPosition(item.HorzPosition);
    m_preview->UpdateOutline();
}

bool TzdPreviewTabs::OnCloseGlyph(int tabIndex, int x, int y, int tabLeft) const
{
    if (tabIndex <= 0)
        return false;
    return x >= tabLeft + kGlyphLeft && x <= tabLeft + kGlyphRight && y >= kGlyphTop && y <= kGlyphBottom;
}

void TzdPreviewTabs::deleteItem(int Index)
{
    m_items.erase(m_items.begin() + Index);
    m_preview->TabStrip()->removeTab(Index);
}

void TzdPreviewTabs::CloseTab(int Index)
{
    if (Index <= 0 || Index >= Count())
        return;
    const int next = Index - 1;
    m_current = -1; // the closing tab keeps nothing
    deleteItem(Index);
    m_preview->TabStrip()->setCurrentIndex(next);
    SwitchTab(next);
    m_preview->TabStrip()->setVisible(Count() > 1);
}

int TzdPreviewTabs::CloseTabsOf(TzdCustomPreviewPages* Pages)
{
    for (int i = Count() - 1; i >= 0; --i)
        if (m_items[size_t(i)]->PreviewPages == Pages) {
            if (i == m_current)
                m_current = -1;
            // The report frees these pages itself.
            m_items[size_t(i)]->OwnedPages.release();
            deleteItem(i);
        }
    m_preview->TabStrip()->setVisible(Count() > 1);
    if (m_current < 0 && Count() > 0)
        SwitchTab(0);
    return Count();
}

void TzdPreviewTabs::DeleteAllButFirst()
{
    while (Count() > 1)
        deleteItem(Count() - 1);
    m_current = Count() > 0 ? 0 : -1;
    m_preview->TabStrip()->setVisible(false);
}

void TzdPreviewTabs::Clear()
{
    while (Count() > 0)
        deleteItem(Count() - 1);
    m_current = 0;
}
