// The data loop: the rows of a page's master bands and, nested, of their
// detail bands, with their headers, footers, filters, keep rules, columns,
// groups and the drill path.

#include "zdEngine.h"

#include "zdAggregate.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDataSets.h"

#include <algorithm>

namespace {

void forgetLastValues(TzdBand* Band)
{
    for (TzdComponent* c : Band->Children())
        if (auto* m = dynamic_cast<TzdCustomMemoView*>(c))
            m->PreviousText = plat::Null();
}

// The group headers of a data band, outermost first: its first group
// header holds itself and every nested one.
const std::vector<TzdBand*>& groupLevels(TzdDataBand* Band)
{
    return Band->GroupBand->SubBands;
}

} // namespace

bool TzdEngine::filterPasses(TzdDataBand* Band)
{
    const QString filter = Band->Filter.trimmed();
    if (filter.isEmpty())
        return true;
    setActive(Band->Name());
    return plat::VarSameValue(report()->Calc(filter), plat::Variant(true));
}

void TzdEngine::DataLoop(const std::vector<TzdBand*>& Bands)
{
    processMessages();
    if (terminated())
        return;
    int rowStart = 0;
    int columnRowStart = 0;
    long double rowTop = CurY;
    for (TzdBand* band : Bands) {
        if (terminated())
            break;
        auto* R = dynamic_cast<TzdDataBand*>(band);
        if (!R || !R->DataSet())
            continue;
        TzdDataSet* ds = R->DataSet();
        ds->First();
        R->LineN = R->LineThrough = 1;
        R->MoveToColumn(1);
        forgetLastValues(R);
        bool first = true;
        bool headerBlock = false;
        int blockPosition = 0;
        long double blockTop = 0;
        bool printed = false;
        const bool keepHeader = R->KeepHeader && R->HeaderBand;
        while (!ds->Eof()) {
            if (headerBlock && keepHeader) {
                KeepClose(R);
                headerBlock = false;
            }
            if (filterPasses(R) && bandHasData(R)) {
                if (first) {
                    if (keepHeader) {
                        if (PageStartClean)
                            PageStartClean = !TitlePrinted;
                        KeepHeaderMode = !PageStartClean;
                        if (R->Columns > 1 && R->CurrentColumn == 1) {
                            blockPosition = store()->CurrentPosition();
                            blockTop = CurY;
                        }
                        KeepOpen(R);
                        headerBlock = true;
                    }
                    AddReprintHeader(R->HeaderBand);
                    ShowBand(R->HeaderBand);
                    if (R->KeepTogether && !headerBlock)
                        KeepOpen(R);
                } else if (!R->GroupBand && R->KeepTogether && !headerBlock) {
                    KeepOpen(R);
                }
                if (R->GroupBand) {
                    if (first)
                        groupHeaders(R, 0, true);
                    else
                        groupCheck(R, rowTop, columnRowStart);
                }
                if (R->KeepFooter)
                    rowStart = store()->CurrentPosition();
                if (R->Columns > 1 && R->CurrentColumn == 1)
                    columnRowStart = store()->CurrentPosition();
                rowTop = CurY;
                CurLine = R->LineN;
                CurLineThrough = R->LineThrough;
                ShowBand(R);
                KeepHeaderMode = false;
                for (TzdComponent* c : NotifyList)
                    c->NotifyDataRow(R);
                if (first && keepHeader && (!R->KeepFooter || !R->FooterBand)) {
                    KeepClose(R);
                    headerBlock = false;
                }
                first = false;
                printed = true;
                m_drillPath.emplace_back(R->Name(), R->LineThrough);
                ++R->LineN;
                ++R->LineThrough;
                ColumnStep(R, columnRowStart, blockTop, rowTop, blockPosition);
                BandOutline(R);
                DataLoop(R->SubBands);
                m_drillPath.pop_back();
                BandOutlineEnd(R);
                PageStartClean = false;
                if (R->FooterAfterEach) {
                    if (R->KeepFooter) {
                        KeepOpen(R, rowStart);
                        KeepFooterMode = true;
                        ShowBand(R->FooterBand);
                        KeepClose(R);
                        KeepFooterMode = false;
                    } else {
                        ShowBand(R->FooterBand);
                    }
                }
            }
            if (!R->GroupBand && R->KeepTogether && !headerBlock)
                KeepClose(R);
            ds->Next();
            if ((R->RowCount() != 0 && R->LineN > R->RowCount()) || terminated())
                break;
        }
        R->MoveToColumn(R->Columns);
        ColumnStep(R, columnRowStart, blockTop, rowTop, blockPosition);
        if (!R->Visible() && R->Columns > 1 && R->SavedColumnPos > CurY)
            CurY = R->SavedColumnPos;
        if (printed) {
            if (R->GroupBand)
                groupFooters(R, 0);
            if (KeepActive)
                RemoveReprintHeader(R->HeaderBand);
            if (!R->FooterAfterEach) {
                if (R->KeepFooter && !headerBlock)
                    KeepOpen(R, rowStart);
                KeepFooterMode = true;
                try {
                    ShowBand(R->FooterBand);
                } catch (...) {
                    KeepFooterMode = false;
                    throw;
                }
                if (R->KeepFooter)
                    KeepClose(R);
                KeepFooterMode = false;
            }
            RemoveReprintHeader(R->HeaderBand);
            if (R->GroupBand && R->KeepTogether)
                KeepClose(R);
        }
        if (terminated())
            break;
        PageStartClean = false;
    }
}

// --- groups

void TzdEngine::addVReprint(TzdBand* Band)
{
    if (Band->Vertical()) {
        if (auto* g = dynamic_cast<TzdGroupHeader*>(Band); g && g->ReprintOnNewPage)
            VReprintBands.push_back(Band);
        else if (auto* h = dynamic_cast<TzdHeader*>(Band); h && h->ReprintOnNewPage)
            VReprintBands.push_back(Band);
    } else {
        AddReprintHeader(Band);
    }
}

void TzdEngine::removeVReprint(TzdBand* Band)
{
    if (!Band)
        return;
    if (Band->Vertical())
        VReprintBands.erase(std::remove(VReprintBands.begin(), VReprintBands.end(), Band), VReprintBands.end());
    else
        RemoveReprintHeader(Band);
}

void TzdEngine::groupHeaders(TzdDataBand* Band, int Level, bool Initial)
{
    const std::vector<TzdBand*>& levels = groupLevels(Band);
    for (size_t i = size_t(Level); i < levels.size(); ++i) {
        TzdBand* h = levels[i];
        if (Initial) {
            h->LineN = h->LineThrough = 1;
            forgetLastValues(h);
        } else {
            ++h->LineN;
            // The next level runs through this loop too and so restarts at 1.
            if (i + 1 < levels.size())
                levels[i + 1]->LineN = 0;
            ++h->LineThrough;
        }
    }
    Band->MoveToColumn(1);
    drillState(Band);
    for (size_t i = size_t(Level); i < levels.size(); ++i) {
        auto* h = static_cast<TzdGroupHeader*>(levels[i]);
        CurLine = h->LineN;
        CurLineThrough = h->LineThrough;
        setActive(h->Name());
        m_groupValues[h] = report()->Calc(h->Condition);
        if (h->KeepTogether)
            KeepOpen(h);
        ShowBand(h);
        BandOutline(h);
        addVReprint(h);
    }
}

void TzdEngine::groupCheck(TzdDataBand* Band, long double RowTop, int ColumnStart)
{
    drillState(Band);
    const std::vector<TzdBand*>& levels = groupLevels(Band);
    for (size_t i = 0; i < levels.size(); ++i) {
        auto* h = static_cast<TzdGroupHeader*>(levels[i]);
        setActive(h->Name());
        if (plat::VarSameValue(report()->Calc(h->Condition), m_groupValues[h]))
            continue;
        // The footers of the finished group see its last record.
        Band->MoveToColumn(Band->Columns);
        TzdDataSet* ds = Band->DataSet();
        bool movedBack = true;
        try {
            ds->Prior();
        } catch (...) {
            // A dataset that cannot go back: the footers see the new group's
            // first record.
            movedBack = false;
        }
        int noCut = 0;
        ColumnStep(Band, ColumnStart, 0, RowTop, noCut);
        groupFooters(Band, int(i));
        if (movedBack)
            ds->Next();
        groupHeaders(Band, int(i), false);
        Band->LineN = 1;
        forgetLastValues(Band);
        return;
    }
}

void TzdEngine::groupFooters(TzdDataBand* Band, int Level)
{
    const std::vector<TzdBand*>& levels = groupLevels(Band);
    for (int i = int(levels.size()) - 1; i >= Level; --i) {
        auto* h = static_cast<TzdGroupHeader*>(levels[size_t(i)]);
        if (TzdBand* footer = h->FooterBand) {
            auto* gf = dynamic_cast<TzdGroupFooter*>(footer);
            // The per-group row number is past the group's last row: below 3
            // the group had one record.
            if (gf && gf->HideIfSingleDataRecord && Band->LineN < 3)
                m_aggregates->RestartFor(footer);
            else
                ShowBand(footer);
        }
        BandOutlineEnd(h);
        removeVReprint(h);
        if (h->KeepTogether)
            KeepClose(h);
    }
}

void TzdEngine::drillState(TzdDataBand* Band)
{
    const std::vector<TzdBand*>& levels = groupLevels(Band);
    auto* outer = static_cast<TzdGroupHeader*>(levels.front());
    for (size_t i = 0; i < levels.size(); ++i) {
        auto* h = static_cast<TzdGroupHeader*>(levels[i]);
        if (!h->DrillDown)
            continue;
        QString name;
        for (const auto& [band, row] : m_drillPath)
            name += band + u'.' + QString::number(row) + u'.';
        name += h->Name() + u'.' + QString::number(h->LineThrough);
        h->DrillName = name;
        bool expanded = report()->ToggledDrillNames.contains(name);
        if (h->ExpandDrillDown)
            expanded = !expanded;
        if (!outer->ShowChildIfDrillDown && h->Child())
            h->Child()->SetVisible(expanded);
        for (size_t j = i + 1; j < levels.size(); ++j) {
            levels[j]->SetVisible(expanded);
            if (levels[j]->FooterBand)
                levels[j]->FooterBand->SetVisible(expanded);
        }
        Band->SetVisible(expanded);
        if (!h->ShowFooterIfDrillDown && h->FooterBand)
            h->FooterBand->SetVisible(expanded);
        if (!expanded)
            return;
    }
}
