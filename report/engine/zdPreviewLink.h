#pragma once
// What the prepared pages' mouse handling asks of the preview that shows
// them and of that preview's report: page and tab navigation, hints, status
// texts, the report's mouse events and its drill-down state, and preparing
// detail reports. The preview control implements it and hands itself to the
// pages it shows (TzdPreviewPages::Link); tests put in a recording double.
//
// The report-side operations that need the report's engine and script
// (firing script handlers, preparing a report) go through the process-wide
// hooks below, which the report document fills once it can prepare; until
// then the views' own mouse operations run and nothing is prepared.

#include "Controls.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>

class TzdCustomPreviewPages;
class TzdHyperlink;
class TzdReport;
class TzdReportPage;
class TzdView;

namespace zd {

struct PreviewReportHooks {
    // Prepare(report, clearLastReport): true when pages were built.
    std::function<bool(TzdReport*, bool)> Prepare;
    // Builds one page of the report alone into the report's current pages.
    std::function<bool(TzdReport*, TzdReportPage*)> PrepareSinglePage;
    // Makes pages the report's current ones, linked with its engine.
    std::function<void(TzdReport*, TzdCustomPreviewPages*)> AttachPreviewPages;
    // The report's current prepared pages.
    std::function<TzdCustomPreviewPages*(TzdReport*)> ActivePreviewPages;
    // A new prepared-pages store for the report (owned by the caller).
    std::function<TzdCustomPreviewPages*(TzdReport*)> CreatePreviewPages;
    // The report's mouse events with their script handlers.
    std::function<void(TzdReport*, TzdView*, bool& Refresh)> FireMouseEnter;
    std::function<void(TzdReport*, TzdView*, bool& Refresh)> FireMouseLeave;
    std::function<void(TzdReport*, TzdView*, int X, int Y, plat::TMouseButton, plat::TShiftState, bool& Modified)>
        FireMouseUp;
    std::function<void(TzdReport*, TzdView*, plat::TMouseButton, plat::TShiftState, bool& Modified, bool DblClick)>
        FirePreviewClick;
    // The report's OnMouseOverObject; empty when not assigned.
    std::function<void(TzdReport*, TzdView*)> MouseOverObject;
    // The report's OnLoadDetailTemplate: true when it loaded the template.
    std::function<bool(TzdReport* NewReport, const QString& TemplateName, TzdHyperlink*)> LoadDetailTemplate;
};
PreviewReportHooks& previewReportHooks();

class PreviewLink {
public:
    virtual ~PreviewLink();

    // --- the preview
    virtual void SetPageNo(int PageNo) = 0;
    virtual void ScrollToPosition(int Page, int Top) = 0;
    virtual bool HasTabNamed(const QString& Name) = 0;
    virtual void SelectTabByName(const QString& Name) = 0;
    // A tab showing Report with Pages (its prepared pages).
    virtual void AddTab(TzdReport* Report, TzdCustomPreviewPages* Pages, const QString& Name,
                        const QString& DetailPage, bool OwnsPages, const QString& Caption) = 0;
    virtual bool SeveralTabs() = 0;
    virtual bool UseReportHints() = 0;
    virtual void SetHint(const QString& Hint) = 0;
    virtual void SetShowHint(bool Value) = 0;
    // Shows the hint window at that point of the page area.
    virtual void ActivateHint(QPoint ClientPoint, const QString& Hint) = 0;
    virtual void Reprepare() = 0;
    virtual void RepaintPreview() = 0;
    virtual void RepaintPages() = 0;

    // --- the report
    virtual TzdReport* Report() = 0;
    // A status text in panel 1 (panel 2 with SecondPanel), shown at once
    // and without letting input events run.
    virtual void ShowProgressText(const QString& Text, bool SecondPanel) = 0;
    virtual QStringList& ToggledDrillNames() = 0;
    // By default through the hooks, else the views' own operations.
    virtual void FireMouseEnter(TzdView* View, bool& Refresh);
    virtual void FireMouseLeave(TzdView* View, bool& Refresh);
    virtual void FireMouseUp(TzdView* View, int X, int Y, plat::TMouseButton Button, plat::TShiftState Shift,
                             bool& Modified);
    virtual void FirePreviewClick(TzdView* View, plat::TMouseButton Button, plat::TShiftState Shift,
                                  bool& Modified, bool DblClick);
    // False when the report has no OnMouseOverObject.
    virtual bool MouseOverObject(TzdView* View);
    // The report's (or the hooks') preparation of another report, or of
    // one page alone into a new store; see the hooks.
    virtual bool LoadDetailTemplate(TzdReport* NewReport, const QString& TemplateName, TzdHyperlink* Link);
    virtual bool PrepareReport(TzdReport* Report);
    virtual TzdCustomPreviewPages* PrepareDetailPage(TzdReport* Report, TzdReportPage* Page);
};

} // namespace zd
