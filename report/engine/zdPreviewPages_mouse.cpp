// The mouse over a prepared page: which object is under the pointer, the
// report's enter, leave, click and release events, hints, cursors, status
// texts, hyperlinks and drill-down groups.

#include "zdPreviewPages.h"

#include "Exceptions.h"
#include "Services.h"
#include "SysUtils.h"
#include "zdClass_band.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_view.h"
#include "zdPreviewLink.h"
#include "zdXML.h"

#include <QScopedValueRollback>
#include <QUrl>

#include <cmath>

namespace {

int roundHalfEven(long double v)
{
    return int(std::nearbyint(double(v)));
}

bool pointInView(const TzdComponent* c, int X, int Y, long double Scale, long double OffsetX, long double OffsetY)
{
    const int ox = roundHalfEven(OffsetX), oy = roundHalfEven(OffsetY);
    const int l = roundHalfEven(c->GetAbsLeft() * Scale) + ox;
    const int t = roundHalfEven(c->GetAbsTop() * Scale) + oy;
    const int r = roundHalfEven((c->GetAbsLeft() + c->Width()) * Scale) + ox;
    const int b = roundHalfEven((c->GetAbsTop() + c->Height()) * Scale) + oy;
    return X >= l && X < r && Y >= t && Y < b;
}

TzdGroupHeader* drillHeader(TzdComponent* c)
{
    auto* header = dynamic_cast<TzdGroupHeader*>(c);
    return header && header->DrillDown ? header : nullptr;
}

// The short and long parts of a hint, separated by '|'.
QString shortHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

QString longHint(const QString& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

// Only web pages and mail are opened; anything else could start a program.
bool openableURL(const QString& value)
{
    const QUrl url(value.trimmed(), QUrl::StrictMode);
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == u"http" || scheme == u"https" || scheme == u"mailto";
}

} // namespace

// ---------------------------------------------------------------------------
// Default report-side operations of the link

zd::PreviewReportHooks& zd::previewReportHooks()
{
    static PreviewReportHooks hooks;
    return hooks;
}

zd::PreviewLink::~PreviewLink() = default;

void zd::PreviewLink::FireMouseEnter(TzdView* View, bool& Refresh)
{
    if (previewReportHooks().FireMouseEnter)
        previewReportHooks().FireMouseEnter(Report(), View, Refresh);
    else
        View->MouseEnter(View, Refresh);
}

void zd::PreviewLink::FireMouseLeave(TzdView* View, bool& Refresh)
{
    if (previewReportHooks().FireMouseLeave)
        previewReportHooks().FireMouseLeave(Report(), View, Refresh);
    else
        View->MouseLeave(View, Refresh);
}

void zd::PreviewLink::FireMouseUp(TzdView* View, int X, int Y, plat::TMouseButton Button, plat::TShiftState Shift,
                                  bool& Modified)
{
    if (previewReportHooks().FireMouseUp)
        previewReportHooks().FireMouseUp(Report(), View, X, Y, Button, Shift, Modified);
}

void zd::PreviewLink::FirePreviewClick(TzdView* View, plat::TMouseButton Button, plat::TShiftState Shift,
                                       bool& Modified, bool DblClick)
{
    if (previewReportHooks().FirePreviewClick)
        previewReportHooks().FirePreviewClick(Report(), View, Button, Shift, Modified, DblClick);
}

bool zd::PreviewLink::MouseOverObject(TzdView* View)
{
    if (!previewReportHooks().MouseOverObject)
        return false;
    previewReportHooks().MouseOverObject(Report(), View);
    return true;
}

bool zd::PreviewLink::LoadDetailTemplate(TzdReport* NewReport, const QString& TemplateName, TzdHyperlink* Link)
{
    if (previewReportHooks().LoadDetailTemplate && previewReportHooks().LoadDetailTemplate(NewReport, TemplateName, Link))
        return true;
    // The report showing the link may load its detail templates itself.
    if (TzdReport* owner = Report(); owner && owner->OnLoadDetailTemplate
                                     && owner->OnLoadDetailTemplate(NewReport, TemplateName, Link))
        return true;
    return NewReport->LoadFromFile(TemplateName, false);
}

bool zd::PreviewLink::PrepareReport(TzdReport* Report)
{
    return previewReportHooks().Prepare && previewReportHooks().Prepare(Report, true);
}

TzdCustomPreviewPages* zd::PreviewLink::PrepareDetailPage(TzdReport* Report, TzdReportPage* Page)
{
    const PreviewReportHooks& hooks = previewReportHooks();
    if (!hooks.CreatePreviewPages || !hooks.AttachPreviewPages || !hooks.PrepareSinglePage)
        return nullptr;
    TzdCustomPreviewPages* pages = hooks.CreatePreviewPages(Report);
    hooks.AttachPreviewPages(Report, pages);
    // The page is built away from the preview, which shows it in a tab.
    Report->SetPreview(nullptr);
    hooks.PrepareSinglePage(Report, Page);
    return pages;
}

// ---------------------------------------------------------------------------
// The store's mouse handling

namespace {

struct MouseVisit {
    TzdPreviewPages& pages;
    zd::PreviewLink& link;
    int PageNo;
    int X, Y;
    plat::TMouseButton Button;
    plat::TShiftState Shift;
    long double Scale, OffsetX, OffsetY;
    plat::TCursor& Cursor;
    quint8 Kind;
    bool Refresh = false;
    bool Found = false;
    bool Modified = false;
    TzdGroupHeader* DrillHeader = nullptr;
};

// The last anchor of that name; nullptr when there is none.
TzdXMLItem* findAnchor(TzdPreviewPages& pages, const QString& name)
{
    TzdXMLItem* root = pages.XMLDocument()->Root();
    const int i = root->Find("anchors");
    if (i < 0)
        return nullptr;
    TzdXMLItem* anchors = root->GetItem(i);
    for (int k = anchors->Count() - 1; k >= 0; --k) {
        TzdXMLItem* item = anchors->GetItem(k);
        if (QString::fromUtf8(zdXMLUnescape(item->GetAttr("text"))).compare(name, Qt::CaseInsensitive) == 0)
            return item;
    }
    return nullptr;
}

void followDetailReport(MouseVisit& v, TzdHyperlink* link)
{
    if (v.link.HasTabNamed(link->Value)) {
        v.link.SelectTabByName(link->Value);
        return;
    }
    auto report = std::make_unique<TzdReport>(nullptr);
    if (TzdReport* owner = v.link.Report())
        report->OnLoadTemplate = owner->OnLoadTemplate;
    if (!v.link.LoadDetailTemplate(report.get(), link->DetailReport, link))
        return;
    link->AssignVariables(report.get());
    if (!v.link.PrepareReport(report.get()))
        return;
    const zd::PreviewReportHooks& hooks = zd::previewReportHooks();
    TzdCustomPreviewPages* pages = hooks.ActivePreviewPages ? hooks.ActivePreviewPages(report.get()) : nullptr;
    if (!pages)
        return;
    v.link.AddTab(report.release(), pages, link->Value, {}, true, link->TabCaption);
    v.pages.HoverObject = nullptr;
}

void followDetailPage(MouseVisit& v, TzdHyperlink* link)
{
    if (v.link.HasTabNamed(link->Value)) {
        v.link.SelectTabByName(link->Value);
        return;
    }
    TzdReport* report = v.link.Report();
    if (!report)
        return;
    TzdComponent* object = report->FindObject(link->DetailPage);
    if (!object)
        return;
    auto* page = dynamic_cast<TzdReportPage*>(object);
    if (!page)
        throw plat::EInvalidCast(QStringLiteral("Invalid class typecast"));
    link->AssignVariables(report);
    TzdCustomPreviewPages* pages = v.link.PrepareDetailPage(report, page);
    if (!pages)
        return;
    v.link.AddTab(report, pages, link->Value, link->DetailPage, true, link->TabCaption);
    v.pages.HoverObject = nullptr;
}

void followHyperlink(MouseVisit& v, TzdView* view)
{
    TzdHyperlink* link = view->Hyperlink();
    switch (link->Kind) {
    case hkURL:
        if (!link->Value.isEmpty() && openableURL(link->Value))
            plat::Services().ShellOpen(link->Value.trimmed());
        break;
    case hkAnchor:
        if (!link->Value.isEmpty()) {
            TzdXMLItem* anchor = findAnchor(v.pages, link->Value);
            if (anchor)
                v.link.ScrollToPosition(plat::StrToInt(QString::fromUtf8(anchor->GetAttr("page"))) + 1,
                                        plat::StrToInt(QString::fromUtf8(anchor->GetAttr("top"))));
        }
        break;
    case hkPageNumber:
        if (!link->Value.isEmpty())
            v.link.SetPageNo(plat::StrToInt(link->Value));
        break;
    case hkDetailReport:
        followDetailReport(v, link);
        break;
    case hkDetailPage:
        followDetailPage(v, link);
        break;
    case hkCustom:
        break;
    }
}

// The object under the pointer; true ends the visit.
void handleObject(MouseVisit& v, TzdView* O)
{
    TzdPreviewPages& pages = v.pages;
    zd::PreviewLink& link = v.link;
    v.Found = true;
    if (pages.HoverObject && pages.HoverObject != O)
        link.FireMouseLeave(pages.HoverObject, v.Refresh);
    if (O != pages.HoverObject) {
        link.FireMouseEnter(O, v.Refresh);
        pages.HoverObject = O;
    }
    if (TzdGroupHeader* header = drillHeader(O->Parent()))
        v.DrillHeader = header;
    if (O->Cursor() != plat::crDefault)
        v.Cursor = O->Cursor();
    if (!O->Hyperlink()->Value.isEmpty()) {
        link.ShowProgressText(O->Hyperlink()->Value, false);
        if (O->Cursor() == plat::crDefault)
            v.Cursor = plat::crHandPoint;
    }
    if (!O->Hint().isEmpty() && O->ShowHint() && link.UseReportHints()) {
        link.ShowProgressText(longHint(O->Hint()), true);
        link.SetHint(shortHint(O->Hint()));
        link.SetShowHint(true);
        link.ActivateHint(QPoint(v.X, v.Y + (link.SeveralTabs() ? 22 : 0)), shortHint(O->Hint()));
    }
    O->PreviewMouseEvent(v.X, v.Y, v.Button, v.Shift, v.Refresh);
    if (v.Kind == 3)
        link.FireMouseUp(O, v.X, v.Y, v.Button, v.Shift, v.Refresh);
    if (v.Kind == 0 || v.Kind == 1) {
        const bool dbl = v.Kind == 1;
        link.FirePreviewClick(O, v.Button, v.Shift, v.Modified, dbl);
        if (pages.HoverObject)
            O->PreviewClick(O, dbl, v.Refresh, v.Refresh);
    }
    if (v.Kind == 2 || v.Kind == 3 || v.DrillHeader || !pages.HoverObject) {
        link.MouseOverObject(O);
        return;
    }
    // O belongs to the cached page: keep its hyperlink before following
    // it, since following may rebuild pages.
    followHyperlink(v, O);
    if (v.Modified) {
        // The page the click changed, fetched again: following a link may
        // have rebuilt the cache.
        if (TzdReportPage* page = pages.GetPage(v.PageNo))
            pages.ReplacePage(v.PageNo, page);
        link.RepaintPreview();
        pages.HoverObject = nullptr;
    }
}

} // namespace

void TzdPreviewPages::HandleMouseAt(int PageNo, int X, int Y, plat::TMouseButton Button, plat::TShiftState Shift,
                                    long double Scale, long double OffsetX, long double OffsetY,
                                    plat::TCursor& Cursor, quint8 Kind)
{
    // A status text or an event handler may let input run: a mouse call
    // arriving meanwhile is dropped, so no call frees the page under another.
    if (m_inMouse || !Link)
        return;
    if (PageNo < 0 || PageNo >= GetPageCount() || (Engine && Engine->BuildRunning))
        return;
    const QScopedValueRollback busy(m_inMouse, true);
    TzdReportPage* page = GetPage(PageNo);
    if (!page)
        return;
    const long double margin = page->MirrorMargins && PageNo % 2 == 1 ? page->RightMargin : page->LeftMargin;
    OffsetX += margin * zd01cm * Scale;
    OffsetY += page->TopMargin * zd01cm * Scale;
    Link->ShowProgressText({}, false);
    Link->ShowProgressText({}, true);
    page = GetPage(PageNo);
    if (!page)
        return;

    MouseVisit v{*this, *Link, PageNo, X, Y, Button, Shift, Scale, OffsetX, OffsetY, Cursor, Kind};
    const std::vector<TzdComponent*> objects = page->AllObjects();
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        TzdComponent* O = *it;
        const bool inside = pointInView(O, X, Y, Scale, OffsetX, OffsetY);
        if (TzdGroupHeader* header = drillHeader(O); header && inside)
            v.DrillHeader = header;
        auto* view = dynamic_cast<TzdView*>(O);
        if (!view || !inside) {
            if (view && view->ShowHint() && Link->UseReportHints())
                Link->SetShowHint(false);
            continue;
        }
        handleObject(v, view);
        break;
    }
    if (!v.Found && HoverObject) {
        Link->FireMouseLeave(HoverObject, v.Refresh);
        HoverObject = nullptr;
    }
    if (v.Refresh)
        Link->RepaintPages();
    if (v.DrillHeader) {
        Cursor = plat::crHandPoint;
        if (Kind == 0 && Button == plat::mbLeft) {
            QStringList& names = Link->ToggledDrillNames();
            const QString name = v.DrillHeader->DrillName;
            if (names.contains(name))
                names.removeAll(name);
            else
                names.append(name);
            HoverObject = nullptr;
            Link->Reprepare();
        }
    }
}
