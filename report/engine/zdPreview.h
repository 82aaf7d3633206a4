#pragma once
// The preview control and its page areas.
//
// TzdPreview shows a report's prepared pages: a main page area with the
// pages in rows at a zoom, a thumbnail strip, the outline as a tree, the
// find panel and the tabs of detail reports. The report talks to it through
// TzdCustomPreview (Service()); the preview window and the prepared pages'
// mouse handling call its commands directly. A page area draws only the
// pages in view, from the prepared pages' page cache, and scrolls by moving
// its window contents.
//
// The control never owns the report it shows; it owns the reports and
// stores of detail tabs it opened.

#include "zdCtrls.h"
#include "zdClass_options.h"
#include "zdPreviewLink.h"
#include "zdPreview_model.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QSplitter;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;
class TzdCustomExportFilter;
class TzdCustomPreview;
class TzdCustomPreviewPages;
class TzdPreview;
class TzdPreviewForm;
class TzdPreviewTabs;
class TzdReport;
class TzdReportPage;
class TzdSearchForm;

namespace plat {
class TMetafile;
}

class TzdPreviewWorkspace : public TzdScrollWin {
public:
    TzdPreviewWorkspace(TzdPreview* preview, bool thumbnail);
    ~TzdPreviewWorkspace() override;

    TzdPreview* Preview() const { return m_preview; }
    bool IsThumbnail() const { return m_thumbnail; }
    TzdCustomPreviewPages* PreviewPages() const { return m_pages; }
    void SetPreviewPages(TzdCustomPreviewPages* pages) { m_pages = pages; }
    long double Zoom() const { return m_zoom; }
    void SetZoom(long double zoom) { m_zoom = zoom; }
    zd::TzdPageList& PageList() { return m_pageList; }
    const zd::TzdPageList& PageList() const { return m_pageList; }
    bool Locked() const { return m_locked; }
    void SetLocked(bool value) { m_locked = value; }
    bool RightToLeft() const { return m_rightToLeft; }
    void SetRightToLeft(bool value) { m_rightToLeft = value; }
    int PageNo() const { return m_pageNo; }
    // Makes page N (1-based) current; scrolls it 10 pixels below the top
    // of the view unless scrolling is suppressed.
    void SetPageNo(int N, bool scroll);

    // Rebuilds the page list from the pages at the area's zoom.
    void FillPageList();
    // Lays the pages out for the area's width, sets the ranges and clamps.
    void CalcPages();
    void SetRanges();
    // The page's rectangle in the content (not moved by the scroll position).
    plat::TRect PageBounds(int index) const;
    // The page under a point of the window; -1 when none.
    int PageAt(QPoint p) const;

    plat::TColor ActiveFrameColor = 3983359;
    plat::TColor BackColor = 8421504;
    plat::TColor FrameColor = 6316128;
    // Index of the page the search highlight belongs to.
    int FindPage = 0;
    // While set, making a page current does not scroll this area.
    bool NoScroll() const { return m_noScroll; }
    void SetNoScroll(bool value) { m_noScroll = value; }

protected:
    void PaintContent(QPainter& painter) override;
    void HorzPositionChanged() override;
    void VertPositionChanged() override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void paintPages(QPainter& painter, const QRect& clip);
    void scrolled();
    void mouseOverPage(QPoint p, quint8 kind, Qt::MouseButton button, Qt::KeyboardModifiers mods);

    TzdPreview* m_preview;
    bool m_thumbnail;
    TzdCustomPreviewPages* m_pages = nullptr;
    long double m_zoom = 1;
    zd::TzdPageList m_pageList;
    int m_pageNo = 0;
    int m_offsetX = 0;
    int m_offsetY = 0;
    bool m_handScrolling = false;
    QPoint m_lastPoint;
    QElapsedTimer m_lastClick;
    bool m_locked = false;
    bool m_noScroll = false;
    bool m_rightToLeft = false;
};

class TzdPreview : public QWidget, public zd::PreviewLink {
public:
    explicit TzdPreview(QWidget* parent = nullptr);
    ~TzdPreview() override;

    // The seam through which the report talks to the control.
    TzdCustomPreview* Service() const;
    // The report that shows itself here (ShowPrepared, SetPreview) forgets
    // the control and its window.
    void ReleaseReportLink();

    // --- published properties
    plat::TColor ActiveFrameColor() const;
    void SetActiveFrameColor(plat::TColor value);
    plat::TColor BackColor() const;
    void SetBackColor(plat::TColor value);
    plat::TColor FrameColor() const;
    void SetFrameColor(plat::TColor value);
    bool EachReportInTab = false;
    bool OutlineVisible() const;
    void SetOutlineVisible(bool value);
    int OutlineWidth() const { return m_outlineWidth; }
    void SetOutlineWidth(int value);
    bool ThumbnailVisible() const;
    void SetThumbnailVisible(bool value);
    bool FindFmVisible() const;
    void SetFindFmVisible(bool value);
    bool UseReportHintsValue = true;
    std::function<void(TzdPreview*, int PageNo)> OnPageChanged;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(QMouseEvent*)> OnMouseDown;
    // Context menu of the control (the preview window's own menu counts too).
    QMenu* PopupMenu = nullptr;
    // Editing a prepared page needs the designer, which registers this.
    std::function<void(TzdPreview*)> EditPageHandler;

    // --- state
    TzdReport* ReportObject() const { return m_report; }
    TzdCustomPreviewPages* PreviewPages() const { return m_pages; }
    TzdPreviewForm* PreviewWindow() const { return m_window; }
    int PageNo() const { return m_pageNo; }
    int PageCount() const;
    long double Zoom() const { return m_zoom; }
    TzdZoomMode ZoomMode() const { return m_zoomMode; }
    bool Running() const { return m_running; }
    bool Locked() const { return m_locked; }
    bool Refreshing() const { return m_refreshing; }
    bool Attached() const { return m_attached; }
    bool Found() const { return m_found; }
    // Printing, exporting, saving or loading is under way: the window
    // cannot close then.
    bool Busy() const { return m_busy > 0; }
    TzdPreviewWorkspace* Workspace() const { return m_workspace; }
    TzdPreviewWorkspace* Thumbnail() const { return m_thumbnail; }
    QTreeWidget* OutlineTree() const { return m_outline; }
    TzdSearchForm* FindForm() const { return m_findForm; }
    QTabBar* TabStrip() const { return m_tabStrip; }
    TzdPreviewTabs* Tabs() const { return m_tabs.get(); }
    QLabel* MessagePanel() const { return m_messageLabel; }

    // --- the report's calls
    bool AttachReport(TzdReport* Report, TzdCustomPreviewPages* Pages);
    int CloseTabsOf(TzdCustomPreviewPages* Pages);
    void Lock();
    void Unlock();
    void PrepareStarted();
    void PageAdded(int PageIndex);
    void PrepareFinished();
    // The report is about to be freed: forget it and its pages.
    void DetachReport();

    // --- commands
    void FirstPage();
    void PriorPage();
    void NextPage();
    void LastPage();
    void SetPageNo(int N) override;
    void PrintPages();
    void ExportPages(TzdCustomExportFilter* Filter);
    void SaveToFile();
    void SaveToFile(const QString& Name);
    void LoadFromFile();
    void LoadFromFile(const QString& Name);
    void PageSettings();
    void EditCurrentPage();
    // Pages laid out from the right in every preview window: the host's
    // choice for its users, not a setting of report files.
    static bool RTLPreview;
    // The designer, modally, on copies of the prepared pages' source
    // pages in a report of its own; nothing the designer does reaches the
    // pages of the preview.
    void ShowTemplate();
    void InsertPage();
    void RemovePage();
    void ClearPages();
    void ToggleFind();
    void FindNext();
    void CancelPrepare();
    void ScrollToPosition(int Page, int Top) override;
    void WheelScroll(int Delta, bool Horizontal, bool ZoomKey);
    void SetZoom(long double Value);
    void SetZoomMode(TzdZoomMode Mode);
    void UpdatePages();
    void UpdateOutline();
    void Reprepare() override;
    // Keeps page N current while the zoom changes (-1: none).
    void PinPage(int N) { m_pinnedPage = N; }
    int PinnedPage() const { return m_pinnedPage; }
    void ShowMessagePanel(const QString& Text);
    // A key of the control's table; true when it did something.
    bool HandleKey(int qtKey, Qt::KeyboardModifiers modifiers);
    // The buttons of the report's preview options (all without a report).
    TzdPreviewButtons Buttons() const;

    // --- search (the find panel and F3)
    void Find();
    void ClearHighlight();
    void ScrollToHighlight();
    void ResultChosen(QTreeWidgetItem* item);

    // --- zd::PreviewLink
    bool HasTabNamed(const QString& Name) override;
    void SelectTabByName(const QString& Name) override;
    void AddTab(TzdReport* Report, TzdCustomPreviewPages* Pages, const QString& Name, const QString& DetailPage,
                bool OwnsPages, const QString& Caption) override;
    bool SeveralTabs() override;
    bool UseReportHints() override { return UseReportHintsValue; }
    void SetHint(const QString& Hint) override;
    void SetShowHint(bool Value) override;
    void ActivateHint(QPoint ClientPoint, const QString& Hint) override;
    void RepaintPreview() override;
    void RepaintPages() override;
    TzdReport* Report() override { return m_report; }
    void ShowProgressText(const QString& Text, bool SecondPanel) override;
    QStringList& ToggledDrillNames() override { return m_toggledDrillNames; }

    // Called by the preview window that holds the control.
    void SetPreviewWindow(TzdPreviewForm* window) { m_window = window; }
    // Used by the page areas.
    void PageAreaChanged(TzdPreviewWorkspace* area, int page);
    bool ShowHintNow() const { return m_showHint; }
    QString HintText() const { return m_hint; }
    // Hands the pages to both areas and links them to this control.
    void SetPages(TzdCustomPreviewPages* Pages);
    // Used by the tabs.
    void SetReportAndPages(TzdReport* Report, TzdCustomPreviewPages* Pages);
    void SetZoomValue(long double zoom) { m_zoom = zoom; }
    void SetZoomModeValue(TzdZoomMode mode) { m_zoomMode = mode; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class ServiceLink;
    friend class TzdPreviewWorkspace;
    void layoutSides();
    void outlineNodes(QTreeWidgetItem* parent);
    void outlineClicked(QTreeWidgetItem* item);
    void updateWindowControls();
    void showStatus(int page);
    void findPanelShown(bool shown);
    void searchPages();
    void runPageSettings(TzdReportPage* page);
    void tabClicked(int index);
    bool guarded(const std::function<void()>& body);

    std::unique_ptr<ServiceLink> m_service;
    TzdReport* m_report = nullptr;
    TzdCustomPreviewPages* m_pages = nullptr;
    TzdPreviewForm* m_window = nullptr;
    int m_pageNo = 0;
    long double m_zoom = 1;
    TzdZoomMode m_zoomMode = zmDefault;
    bool m_running = false;
    bool m_locked = false;
    bool m_refreshing = false;
    bool m_attached = false;
    bool m_detaching = false;
    bool m_found = false;
    int m_busy = 0;
    int m_pinnedPage = -1;
    int m_progressInterval = 50;
    QElapsedTimer m_progressTimer;
    int m_outlineWidth = 120;
    bool m_showHint = false;
    QString m_hint;
    QStringList m_toggledDrillNames;

    QTabBar* m_tabStrip;
    QSplitter* m_splitter;
    QTreeWidget* m_outline;
    TzdPreviewWorkspace* m_thumbnail;
    TzdPreviewWorkspace* m_workspace;
    TzdSearchForm* m_findForm;
    QWidget* m_messagePanel;
    QLabel* m_messageLabel;
    std::unique_ptr<TzdPreviewTabs> m_tabs;
    std::unique_ptr<plat::TMetafile> m_findMetafile;
    int m_findPageCached = -1;
};

// The search state shared by every preview of the process.
namespace zd {
struct PreviewSearch {
    QString Text;
    bool CaseSensitive = false;
    bool FindAll = false;
    bool FromBeginning = false;
    int LastRecord = -1;
    bool Highlight = false;
    plat::TRect HighlightRect; // page pixels at zoom 1
};
PreviewSearch& previewSearch();
// Whether a text run holds the search text: an empty search text matches
// nothing; without case sensitivity both are upper-cased (Unicode) first.
bool SearchMatches(const QString& run, const QString& text, bool caseSensitive);
} // namespace zd
