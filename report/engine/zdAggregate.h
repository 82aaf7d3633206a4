#pragma once
// Aggregates: the SUM, AVG, MIN, MAX and COUNT calls of the memos of
// footer-like bands, found before the run, fed by every printed row of
// their data band, handed to the memo when its band prints and restarted
// afterwards (unless they keep a running total).

#include "Variant.h"

#include <QString>

#include <memory>
#include <set>
#include <vector>

class TzdBand;
class TzdCustomMemoView;
class TzdEngine;
class TzdReport;
class TzdReportPage;

class TzdAggregateItem {
public:
    int Function = 4; // 0 SUM, 1 AVG, 2 MIN, 3 MAX, 4 COUNT
    TzdBand* DataBand = nullptr;
    TzdBand* DisplayBand = nullptr;
    bool InPageFooter = false;
    QString Expression;
    bool CountInvisible = false; // flag bit 0
    bool RunningTotal = false;   // flag bit 1
    QString CallText;
    QString HolderMemoName;
    plat::Variant Value = plat::Null();
    int Count = 0;
    plat::Variant PriorValue = plat::Null();
    int PriorCount = 0;
    bool KeepPending = false;
    plat::Variant TempValue = plat::Null();
    int TempCount = 0;
    // Per vertical column (1 to 1000), created on first use.
    std::vector<plat::Variant> ColumnValues;
    std::vector<int> ColumnCounts;
    int VColumnIndex = 0;

    void Restart(bool Force = false);
    plat::Variant Result() const;
};

class TzdAggregateList {
public:
    explicit TzdAggregateList(TzdReport* AReport, TzdEngine* AEngine);
    ~TzdAggregateList();

    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }
    TzdAggregateItem* Items(int Index) const { return m_items.at(size_t(Index)).get(); }

    // Finds the aggregate calls of a page's footer-like bands.
    void Collect(TzdReportPage* Page);
    void AddValues(TzdBand* DataBand, int VColumn);
    void TakeBackLast(TzdBand* DataBand);
    void RestartFor(TzdBand* DisplayBand);
    void RestartAll();
    void KeepOpen();
    void KeepClose();
    // A band's aggregates are collected from its memos; unknown functions
    // count. Raises on a flag text that is no integer.
    void ScanMemo(TzdCustomMemoView* Memo, TzdBand* DataBand);
    plat::Variant Evaluate(const QString& Name, const QString& Expression, TzdBand* Band, int Flags);

private:
    void collectDataBand(TzdBand* DataBand, bool VerticalOwner);
    void scanBandChain(TzdBand* Band, TzdBand* DataBand);
    void scanExpression(const QString& Text, TzdCustomMemoView* Memo, TzdBand* DataBand);
    void createItem(const QString& Name, const QStringList& Args, const QString& CallText,
                    TzdCustomMemoView* Memo, TzdBand* DataBand);
    void addValue(TzdAggregateItem& Item);

    TzdReport* const m_report;
    TzdEngine* const m_engine;
    std::vector<std::unique_ptr<TzdAggregateItem>> m_items;
    // Variables being scanned: one scan each, so a variable that names
    // itself (or a cycle) ends.
    std::set<QString> m_scannedVariables;
};

namespace zd {
// Combines V into Acc for a function (0 SUM, 1 AVG add; 2 MIN, 3 MAX
// compare; 4 COUNT nothing); a Null Acc takes V.
void aggregateCombine(int Function, plat::Variant& Acc, const plat::Variant& V, bool KeepCloseRule = false);
} // namespace zd
