#include "zdDataDrop.h"

#include "StringList.h"
#include "TypeInfo.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDataSets.h"
#include "zdDesignerModel.h"
#include "zdFormatting.h"

#include <cmath>
#include <map>

namespace zd {

DataDropSource::~DataDropSource() = default;

namespace {

constexpr int kUnknownDisplayWidth = 10;  // characters
constexpr int kMaxDisplayWidth = 50;      // characters
constexpr long double kCharWidth = 8;     // page units per character
constexpr int kOutlineOffset = 8;         // the outline sits this far up and left of the pointer

// The insertion text without its first and last characters ("<" and ">").
QString innerText(const QString& Text) { return Text.size() >= 2 ? Text.mid(1, Text.size() - 2) : QString(); }

const plat::TClass* memoClassFor(TzdComponent* Page)
{
    if (Page && Page->ClassType()->InheritsFrom(QStringView(u"TzdDMPPage")))
        if (const plat::TClass* dmp = plat::GetClass(QStringLiteral("TzdDMPMemoView")))
            return dmp;
    return TzdMemoView::StaticClass();
}

TzdCustomMemoView* newMemo(DesignerModel& Designer, const plat::TClass* Cls)
{
    auto* memo = dynamic_cast<TzdCustomMemoView*>(TzdComponent::DesignCreate(Cls, Designer.report(), 0));
    memo->DesignMode = true;
    return memo;
}

// Gives the memo its name: Base itself when free, else Base with a number.
void nameMemo(TzdReport* Report, TzdComponent* Memo, QString Base)
{
    bool numbered = Base == QLatin1String("Memo") || Report->FindObject(Base) != nullptr;
    if (Report->GetDataset(Base)) {
        Base = QStringLiteral("Memo");
        numbered = true;
    }
    if (numbered) {
        Memo->NameStem = Base;
        Memo->CreateUniqueName();
        Memo->NameStem.clear();
    } else {
        Memo->SetName(Base);
    }
}

void place(DesignerModel& Designer, TzdCustomMemoView* Memo, std::vector<TzdComponent*>& Selected)
{
    Designer.sampleFormat().ApplyTo(Memo);
    Designer.PageObjects.push_back(Memo);
    Selected.push_back(Memo);
}

} // namespace

QStringList fieldListOf(TzdDataSet* DataSet)
{
    if (!DataSet)
        return {};
    try {
        plat::TStringList list;
        DataSet->GetFieldList(list);
        QStringList out;
        for (int i = 0; i < list.Count(); ++i)
            out << list.Strings(i);
        return out;
    } catch (...) {
        return {};
    }
}

long double dropMemoWidth(TzdReport* Report, const QString& InsertionText, long double GridStepX)
{
    int chars = kUnknownDisplayWidth;
    TzdDataSet* ds = nullptr;
    QString field;
    try {
        Report->SplitDatasetField(innerText(InsertionText), ds, field);
        if (ds && !field.isEmpty())
            chars = ds->GetDisplayWidth(field);
    } catch (...) {
        // A dataset that cannot tell its field's width gets the usual one.
        chars = kUnknownDisplayWidth;
    }
    chars = std::min(chars, kMaxDisplayWidth);
    const long double width = chars * kCharWidth;
    if (GridStepX <= 0)
        return width;
    return std::nearbyint(width / GridStepX) * GridStepX;
}

QString dropMemoName(const QString& InsertionText)
{
    QString name;
    for (qsizetype i = 0; i < InsertionText.size(); ++i) {
        const QChar c = InsertionText.at(i);
        if (c.isLetter() || c == u'_' || (i > 0 && c.isDigit()))
            name += c;
    }
    if (name.size() * 3 < InsertionText.size() * 2 || name.isEmpty() || name.front().isDigit())
        return QStringLiteral("Memo");
    return name;
}

bool dataDragOver(DesignerModel& Designer, DataDropSource& Source, int X, int Y)
{
    WorkspaceTools& ws = Designer.workspace();
    if (!dynamic_cast<TzdReportPage*>(Designer.CurrentPage) || !TzdDesigner::Allowed(drDontInsertObject))
        return false;
    const QString text = Source.InsertionText(-1);
    if (text.isEmpty() && Source.SelectedDatasetAlias().isEmpty())
        return false;
    if (ws.InsertionState == 0 && (Source.InsertField() || Source.InsertCaption() || !Source.IsDataTab())) {
        long double w = 0, h = 0;
        Designer.DefaultObjectSize(w, h);
        w = dropMemoWidth(Designer.report(), text, ws.GridStepX);
        ws.SetInsertion(memoClassFor(Designer.CurrentPage), 0, w, h);
    }
    ws.InsertionState = 2;
    ws.MouseMove(X - kOutlineOffset, Y - kOutlineOffset, {});
    return true;
}

void dataDrop(DesignerModel& Designer, DataDropSource& Source, int X, int Y)
{
    WorkspaceTools& ws = Designer.workspace();
    TzdReport* report = Designer.report();
    TzdComponent* page = Designer.CurrentPage;
    const bool dataTab = Source.IsDataTab();
    const bool withField = !dataTab || Source.InsertField();
    const bool withCaption = dataTab && Source.InsertCaption();
    if (page && (withField || withCaption) && ws.Insertion.ObjectClass) {
        std::vector<TzdComponent*> selected;
        const int count = Source.SelectedCount();
        // First pass: a data band for every selected dataset node.
        std::map<TzdDataSet*, TzdDataBand*> bands;
        std::vector<TzdDataBand*> bandOrder;
        for (int i = 0; i < count; ++i) {
            TzdDataSet* ds = Source.SelectedDataset(i);
            if (!Source.InsertionText(i).isEmpty() || !ds || bands.count(ds))
                continue;
            bool detail = false;
            try {
                detail = ds->HasMaster();
            } catch (...) {
                detail = false;
            }
            const plat::TClass* cls = detail ? TzdDetailData::StaticClass() : TzdMasterData::StaticClass();
            auto* band = static_cast<TzdDataBand*>(TzdComponent::DesignCreate(cls, report, 0));
            band->SetParent(page);
            band->CreateUniqueName();
            band->SetDataSet(ds);
            bands[ds] = band;
            bandOrder.push_back(band);
        }
        // Second pass: the memos, row after row across the page.
        const plat::TClass* memoClass = ws.Insertion.ObjectClass;
        const long double w = ws.DefaultWidth, h = ws.DefaultHeight;
        const long double pageWidth = page->Width();
        const long double startX = ws.Insertion.Bounds.Left;
        long double x = startX, row = ws.Insertion.Bounds.Top;
        for (int i = 0; i < count; ++i) {
            const QString text = Source.InsertionText(i);
            if (text.isEmpty())
                continue;
            TzdDataSet* ds = nullptr;
            QString field;
            report->SplitDatasetField(innerText(text), ds, field);
            if (x + w > pageWidth) {
                x = startX;
                row += withCaption ? 2 * h : h;
            }
            TzdCustomMemoView* last = nullptr;
            if (withField) {
                TzdCustomMemoView* memo = newMemo(Designer, memoClass);
                nameMemo(report, memo, dropMemoName(text));
                if (ds || !field.isEmpty()) {
                    memo->SetDataSet(ds);
                    memo->SetDataField(field);
                } else {
                    memo->SetText(QStringLiteral("[") + (text.startsWith(u'<') ? innerText(text) : text) +
                                  QStringLiteral("]"));
                }
                auto band = ds ? bands.find(ds) : bands.end();
                if (band != bands.end()) {
                    // Captions keep the row above the band.
                    band->second->SetBounds(0, withCaption ? row + h : row, pageWidth, h);
                    memo->SetParent(band->second);
                    memo->SetBounds(pageWidth, 0, w, h);
                    memo->SetAlign(baLeft);
                    band->second->AlignChildren();
                } else {
                    memo->SetParent(page);
                    memo->SetBounds(x, withCaption ? row + h : row, w, h);
                }
                place(Designer, memo, selected);
                last = memo;
            }
            if (withCaption) {
                TzdCustomMemoView* caption = newMemo(Designer, memoClass);
                caption->SetParent(page);
                caption->CreateUniqueName();
                caption->SetText(field);
                caption->SetBounds(x, row, w, h);
                place(Designer, caption, selected);
                last = caption;
            }
            x += w;
            if (TzdDesigner* d = TzdDesigner::Current(); d && d->OnInsertObject && last)
                d->OnInsertObject(last);
        }
        for (TzdDataBand* band : bandOrder) {
            if (band->Children().empty()) {
                delete band;
                continue;
            }
            Designer.PageObjects.insert(Designer.PageObjects.begin(), band);
            WorkspaceEngine::FitBandToObjects(band);
        }
        Designer.SetSelection(std::move(selected));
    }
    ws.SetInsertion(nullptr, 0, 0, 0);
    Designer.SetModifiedFlag(true);
    ws.MouseUp(plat::mbLeft, {}, X, Y);
    ws.NotifySelectionChanged();
}

} // namespace zd
