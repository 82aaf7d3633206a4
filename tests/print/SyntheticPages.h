#pragma once
// A prepared-pages store of synthetic pages for the print and export loops:
// page N says "Strana N" at 10 mm from its corner, has a black square of
// 20 mm at (20 mm, 40 mm) and a vertical line at 100 mm over its whole
// height. Each page's paper, bins and sides are set by the test. It stands
// in for the store the engine fills, through the same service base.

#include "Canvas.h"
#include "Exceptions.h"
#include "zdClass_services.h"
#include "zdPrintPages.h"
#include "zdPrinter.h"

#include <QSize>

#include "NullReportStore.h"

#include <cmath>
#include <functional>
#include <vector>

namespace printtest {


// Counts the pauses of the preview's drawing.
class CountingPreview : public TzdCustomPreview {
public:
    CountingPreview() : TzdCustomPreview(nullptr) {}
    void AttachReport(zd::ReportDocument*, TzdCustomPreviewPages*) override {}
    void CloseTabsOf(TzdCustomPreviewPages*) override {}
    void Lock() override { ++Locks; }
    void Unlock() override { ++Unlocks; }
    void Reprepare() override { ++Refreshes; }
    void PrepareStarted(zd::ReportDocument*, TzdProgressType, int) override {}
    void PageAdded(zd::ReportDocument*, TzdProgressType, int) override {}
    void PrepareFinished(zd::ReportDocument*, TzdProgressType, int) override {}
    int Locks = 0, Unlocks = 0, Refreshes = 0;
};

class SyntheticPages : public zdtest::NullPreviewPages, public zd::PrintSource {
public:
    explicit SyntheticPages(int count = 5, const zd::PrintPageInfo& paper = {}, zd::ReportDocument* report = nullptr)
        : NullPreviewPages(report), Pages(size_t(count), paper)
    {
    }

    // --- the store
    int GetPageCount() override { return int(Pages.size()); }
    QSize GetPageSize(int Index) override
    {
        if (Index < 0 || Index >= GetPageCount())
            return {};
        const zd::PrintPageInfo& p = Pages[size_t(Index)];
        return QSize(int(std::nearbyint(p.PaperWidth * 96 / 25.4L)), int(std::nearbyint(p.PaperHeight * 96 / 25.4L)));
    }
    void Clear() override { Pages.clear(); }
    int LogicalPageTotal() override { return GetPageCount(); }
    bool DrawPage(int Index, plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                  long double OffsetY) override
    {
        if (Index < 0 || Index >= GetPageCount() || !Canvas)
            return false;
        Drawn.push_back(Index);
        if (OnDraw)
            OnDraw(Index);
        const zd::PrintPageInfo& p = Pages[size_t(Index)];
        const auto x = [&](long double mm) { return int(std::nearbyint(OffsetX + mm * 96 / 25.4L * ScaleX)); };
        const auto y = [&](long double mm) { return int(std::nearbyint(OffsetY + mm * 96 / 25.4L * ScaleY)); };
        int dpi = 96;
        if (auto* pc = dynamic_cast<TzdPrinterCanvas*>(Canvas); pc && pc->Printer())
            dpi = pc->Printer()->DPI().Y;
        Canvas->Brush().SetStyle(plat::bsClear);
        Canvas->Font().SetName(QStringLiteral("Arial"));
        Canvas->Font().SetSize(std::max(1, int(std::nearbyint(20 * ScaleY * 96 / dpi))));
        Canvas->TextOut(x(10), y(10), QStringLiteral("Strana %1").arg(Index + 1));
        Canvas->Brush().SetStyle(plat::bsSolid);
        Canvas->Brush().SetColor(plat::clBlack);
        Canvas->FillRect(plat::Rect(x(20), y(40), x(40), y(60)));
        Canvas->Pen().SetColor(plat::clBlack);
        Canvas->Pen().SetWidth(std::max(1, int(std::nearbyint(ScaleX * 2))));
        Canvas->MoveTo(x(100), y(0));
        Canvas->LineTo(x(100), y(p.PaperHeight));
        return true;
    }
    bool Print() override { return zd::PrintPreparedPages(*this, Options); }
    bool Export(TzdCustomExportFilter* Filter) override { return zd::ExportPreparedPages(*this, Filter); }

    // --- what printing asks
    int PageCount() override { return GetPageCount(); }
    zd::PrintPageInfo PreparePage(int Index) override
    {
        Prepared.push_back(Index);
        return Pages.at(size_t(Index));
    }
    TzdReportPage* Page(int Index) override { return GetPage(Index); }
    void ClearPageCache() override {}
    void ExportPageObjects(TzdCustomExportFilter* Filter, int Index) override
    {
        if (OnExportPage)
            OnExportPage(Filter, Index);
    }
    bool Terminated() override { return m_terminated; }
    void SetTerminated(bool Value) override { m_terminated = Value; }
    QString Title() override { return TitleText; }
    TzdCustomPreview* Preview() override { return PreviewControl; }
    int PreviewPageNo() override { return PreviewControl ? TzdCustomPreviewPages::ShownPageNo : 0; }
    void BeforePrintReport() override { ++BeforeEvents; }
    void AfterPrintReport() override { ++AfterEvents; }
    void PrintPage(int Index, int CopyNo) override { PrintedCopies.push_back({Index, CopyNo}); }

    std::vector<zd::PrintPageInfo> Pages;
    zd::PrintSettings Options;
    QString TitleText = QStringLiteral("Synteticka");
    TzdCustomPreview* PreviewControl = nullptr;
    std::function<void(int)> OnDraw;
    std::function<void(TzdCustomExportFilter*, int)> OnExportPage;
    std::vector<int> Drawn, Prepared;
    std::vector<std::pair<int, int>> PrintedCopies;
    int BeforeEvents = 0, AfterEvents = 0;

private:
    bool m_terminated = false;
};

// Paper of the table in the given orientation.
inline zd::PrintPageInfo paperOf(int number, plat::TPrinterOrientation orientation = plat::poPortrait)
{
    zd::PrintPageInfo info;
    long double w = 0, h = 0;
    zdLookupPaperSize(number, w, h);
    if (orientation == plat::poLandscape)
        std::swap(w, h);
    info.Paper = number;
    info.PaperWidth = w;
    info.PaperHeight = h;
    info.Orientation = orientation;
    return info;
}

} // namespace printtest
