#pragma once
// The tabs of a preview: each shows a report (or one of its pages prepared
// alone) with its own prepared pages, page number, scroll position and
// zoom. The first tab is the attached report; detail tabs own what
// hyperlinks opened for them.

#include "zdClass_options.h"

#include <QString>

#include <memory>
#include <vector>

class TzdCustomPreviewPages;
class TzdPreview;
class TzdReport;

struct TzdPreviewTabItem {
    QString Name;
    QString DetailPage;
    TzdReport* Report = nullptr;
    TzdCustomPreviewPages* PreviewPages = nullptr;
    bool OwnsPages = false;
    int PageNo = 1;
    int HorzPosition = 0;
    int VertPosition = 0;
    long double Zoom = 1;
    TzdZoomMode ZoomMode = zmDefault;
    std::unique_ptr<TzdReport> OwnedReport;
    std::unique_ptr<TzdCustomPreviewPages> OwnedPages;
};

class TzdPreviewTabs {
public:
    explicit TzdPreviewTabs(TzdPreview* preview);
    ~TzdPreviewTabs();

    int Count() const { return int(m_items.size()); }
    TzdPreviewTabItem& Item(int i) { return *m_items[size_t(i)]; }
    int Current() const { return m_current; }

    void AddTab(TzdReport* Report, TzdCustomPreviewPages* Pages, const QString& Name, const QString& DetailPage,
                bool OwnsPages, const QString& Caption);
    int IndexOfName(const QString& Name) const;
    // Remembers the current tab's place and shows tab Index.
    void SwitchTab(int Index);
    // Closes a tab other than the first; its neighbour becomes current.
    void CloseTab(int Index);
    // Deletes every tab showing those pages; the remaining count.
    int CloseTabsOf(TzdCustomPreviewPages* Pages);
    // Keeps only the first tab.
    void DeleteAllButFirst();
    void Clear();
    // Whether a point of the strip lies on the selected tab's close glyph.
    bool OnCloseGlyph(int tabIndex, int x, int y, int tabLeft) const;

private:
    void saveCurrent();
    void deleteItem(int Index);

    TzdPreview* m_preview;
    std::vector<std::unique_ptr<TzdPreviewTabItem>> m_items;
    int m_current = 0;
};
