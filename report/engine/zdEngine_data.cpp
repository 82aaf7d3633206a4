// The data loop: the rows of a page's master bands and, nested, of their
// detail bands, with their headers, footers, filters, keep rules, columns
// and the drill path.

#include "zdEngine.h"

#include "zdAggregate.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDataSets.h"

namespace {

void forgetLastValues(TzdBand* Band)
{
    for (TzdComponent* c : Band->Children())
        if (auto* m = dynamic_cast<TzdCustomMemoView*>(c))
            m->PreviousText = plat::Null();
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
                    // Group headers and the group test come with the groups.
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
