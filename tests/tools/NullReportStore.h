#pragma once
// Test doubles of a report's prepared-pages store and its outline that do
// nothing: tests derive from them and override only what they watch.

#include "zdClass_services.h"

namespace zdtest {

class NullOutline : public TzdCustomOutline {
public:
    using TzdCustomOutline::TzdCustomOutline;
    int ItemCount() override { return 0; }
    void AddItem(const QString&, int) override {}
    void LevelInto(int) override {}
    void LevelRoot() override {}
    void LevelUp() override {}
    void ReadItem(int, QString&, int&, int&) override {}
    void ShiftFollowingItems(TzdXMLItem*, int) override {}
    TzdXMLItem* LastItem() override { return nullptr; }
};

class NullPreviewPages : public TzdCustomPreviewPages {
public:
    explicit NullPreviewPages(zd::ReportDocument* AReport) : TzdCustomPreviewPages(AReport, new NullOutline(this)) {}
    int GetPageCount() override { return 0; }
    TzdReportPage* GetPage(int) override { return nullptr; }
    QSize GetPageSize(int) override { return {}; }
    void Clear() override {}
    void Initialize() override {}
    void AddObject(TzdComponent*) override {}
    void AddPage(TzdReportPage*) override {}
    void RegisterSourcePage(TzdReportPage*) override {}
    void AddSourceObject(TzdComponent*) override {}
    void RememberPassStart() override {}
    void DiscardPassPages() override {}
    int CutObjectsFrom(int) override { return 0; }
    void FinishPreparing() override {}
    void NextLogicalPage() override {}
    void CloseLogicalPageGroup() override {}
    void PasteCutObjects(long double, long double) override {}
    void MoveAnchorsDown(int, long double) override {}
    void CachePicture(TzdPictureView*) override {}
    bool BandOnCurrentPage(TzdBand*) override { return false; }
    int CurrentPosition() override { return 0; }
    int LastAnchorIndex() override { return -1; }
    long double ContentBottom(long double) override { return 0; }
    int LogicalPageNumber() override { return 1; }
    int LogicalPageTotal() override { return 1; }
    void InsertEmptyPage(int) override {}
    void DeletePage(int) override {}
    void ReplacePage(int, TzdReportPage*) override {}
    bool DrawPage(int, plat::TCanvas*, long double, long double, long double, long double) override { return false; }
    void HandleMouseAt(int, int, int, plat::TMouseButton, plat::TShiftState, long double, long double, long double,
                       plat::TCursor&, quint8) override
    {
    }
    void AppendPagesOf(zd::ReportDocument*) override {}
    bool LoadFromStream(plat::TStream&, bool) override { return false; }
    void SaveToStream(plat::TStream&) override {}
    bool LoadFromFile(const QString&, bool) override { return false; }
    void SaveToFile(const QString&) override {}
    bool Print() override { return false; }
    bool Export(TzdCustomExportFilter*) override { return false; }
};

} // namespace zdtest
