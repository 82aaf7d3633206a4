#pragma once
// The prepared pages of a report: one XML tree in which every page refers to
// a source page (a copy of a template page) and keeps each printed object
// only as the attributes in which it differs from its source object. Pages
// are rebuilt on demand into a small cache of owned page objects; a page
// handed out stays valid until the next call into the store. Older pages
// can be paged out to the document's temporary file.

#include "zdClass_services.h"
#include "zdPrintPages.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

class TzdPictureCache;
class TzdPreviewPages;
class TzdXMLDocument;
class TzdXMLItem;
class TzdView;

namespace zd {
class PreviewLink;
}

class TzdOutline : public TzdCustomOutline {
    PLAT_CLASS(TzdOutline, TzdCustomOutline)
public:
    explicit TzdOutline(TzdCustomPreviewPages* PreviewPages);
    int ItemCount() override;
    void AddItem(const QString& Text, int Top) override;
    void LevelInto(int Index) override;
    void LevelRoot() override;
    void LevelUp() override;
    void ReadItem(int Index, QString& Text, int& Page, int& Top) override;
    void ShiftFollowingItems(TzdXMLItem* From, int NewTop) override;
    // The same, adding PageDelta to the page numbers (0 for a block that
    // moved to another column of its page).
    void ShiftItemsAfter(TzdXMLItem* From, int NewTop, int PageDelta);
    TzdXMLItem* LastItem() override;

private:
    TzdXMLItem* root();
};

// Alias → source name ("Page" + source page index + "." + object name) →
// source object.
class TzdDictionary {
public:
    void Clear();
    void Add(const QString& Alias, const QString& SourceName, TzdComponent* Object);
    QString AddUnique(const QString& Prefix, const QString& SourceName, TzdComponent* Object);
    // Prefix + the first free number at or above the highest power-of-two
    // probe below 10000 that is taken.
    QString CreateUniqueName(const QString& Prefix) const;
    TzdComponent* GetObject(const QString& Alias) const;
    QString GetSourceName(const QString& Alias) const;
    bool Contains(const QString& Alias) const;
    int Count() const { return int(m_aliases.size()); }
    // Aliases in sorted order, with their source names.
    std::vector<std::pair<QString, QString>> Entries() const;
    void ForgetObject(TzdComponent* Object);

private:
    struct Entry {
        QString Alias;
        QString SourceName;
        TzdComponent* Object;
    };
    std::map<QString, Entry> m_aliases; // by case-folded alias
    mutable std::map<QString, int> m_nextFree;
};

class TzdPreviewPages : public TzdCustomPreviewPages, public zd::PrintSource {
public:
    explicit TzdPreviewPages(zd::ReportDocument* AReport);
    ~TzdPreviewPages() override;

    int GetPageCount() override;
    TzdReportPage* GetPage(int Index) override;
    QSize GetPageSize(int Index) override;
    void Clear() override;
    void Initialize() override;
    void AddObject(TzdComponent* Obj) override;
    void AddPage(TzdReportPage* Page) override;
    void RegisterSourcePage(TzdReportPage* Page) override;
    void AddSourceObject(TzdComponent* Obj) override;
    void RememberPassStart() override;
    void DiscardPassPages() override;
    int CutObjectsFrom(int Position) override;
    void FinishPreparing() override;
    void NextLogicalPage() override;
    void CloseLogicalPageGroup() override;
    void PasteCutObjects(long double X, long double Y) override;
    void MoveAnchorsDown(int FromIndex, long double NewTop) override;
    void CachePicture(TzdPictureView* Picture) override;
    bool BandOnCurrentPage(TzdBand* Band) override;
    int CurrentPosition() override;
    int LastAnchorIndex() override;
    long double ContentBottom(long double X) override;
    int LogicalPageNumber() override;
    int LogicalPageTotal() override;
    void InsertEmptyPage(int Index) override;
    void DeletePage(int Index) override;
    void ReplacePage(int Index, TzdReportPage* Page) override;
    bool DrawPage(int Index, plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                  long double OffsetY) override;
    // The mouse over page PageNo (zdPreviewPages_mouse.cpp).
    void HandleMouseAt(int PageNo, int X, int Y, plat::TMouseButton Button, plat::TShiftState Shift,
                       long double Scale, long double OffsetX, long double OffsetY, plat::TCursor& Cursor,
                       quint8 Kind) override;
    // Source's prepared pages (those of its active store) follow these,
    // written in full, with their anchors and outline.
    void AppendPagesOf(zd::ReportDocument* Source) override;
    bool LoadFromStream(plat::TStream& Stream, bool AllowPartialLoading) override;
    void SaveToStream(plat::TStream& Stream) override;
    bool LoadFromFile(const QString& FileName, bool ExceptionIfNotFound) override;
    // Written beside the file and renamed over it: a failed save keeps the old file.
    void SaveToFile(const QString& FileName) override;
    // With the report's print options; the dialog's duplex choice stays.
    bool Print() override;
    bool Export(TzdCustomExportFilter* Filter) override;

    // The anchors after FromIndex moved to NewTop, their pages by PageDelta.
    void MoveAnchorsDown(int FromIndex, long double NewTop, int PageDelta);
    // The column number ("c") and column X ("cp") of the current page, for a
    // page that continues on it; absent values leave the arguments as they
    // are. Written when above 0 / not 0, or always with Force.
    void ReadColumnState(int& Column, long double& X);
    void WriteColumnState(int Column, long double X, bool Force);
    // The source page of Template, and every page made from it, gets the
    // size of an endless page (pixels).
    void SetEndlessPageSize(TzdReportPage* Template, long double Height, long double Width);

    void AddAnchor(const QString& Text, long double Top) override;
    int GetAnchorPage(const QString& Text) override;

    // --- PrintSource
    int PageCount() override { return GetPageCount(); }
    zd::PrintPageInfo PreparePage(int Index) override;
    TzdReportPage* Page(int Index) override { return GetPage(Index); }
    void ClearPageCache() override { clearPageCache(); }
    bool Terminated() override;
    void SetTerminated(bool Value) override;
    QString Title() override;
    bool ThreadSafe() override;
    // Into the report's error list, shown by its error mode.
    void ReportErrors(const QStringList& Errors) override;
    TzdCustomPreview* Preview() override;
    int PreviewPageNo() override;
    void ProgressStarted(TzdProgressType Type) override;
    void ProgressStep(TzdProgressType Type, int Progress) override;
    void ProgressFinished(TzdProgressType Type) override;
    void BeforePrintReport() override;
    void AfterPrintReport() override;
    void PrintPage(int Index, int CopyNo) override;

    zd::ReportDocument* Document() override { return Report; }

    TzdXMLDocument* XMLDocument() const { return m_doc.get(); }
    TzdPictureCache* PictureCache() const { return m_pictures.get(); }
    TzdDictionary& Dictionary() { return m_dictionary; }
    int SourcePageCount() const { return int(m_sourcePages.size()); }
    TzdReportPage* SourcePage(int Index) const;
    int PagesInCacheCount() const { return int(m_cache.size()); }
    // Settings of a store without a report (and the report's otherwise).
    bool UseFileCache = false;
    int MaxMemSize = 10; // megabytes
    int PagesInCache = 50;
    QString TempDir;
    bool Compressed = false;
    bool PictureCacheInFile = false;
    QString ReportName;

    // PrintScale and PrintCopyNo (of zd::PrintSource) reach the text
    // objects as they draw.

    // The preview showing the pages (set by it), for the mouse handling.
    zd::PreviewLink* Link = nullptr;
    // The object the pointer was last over, on the current rebuilt page.
    TzdView* HoverObject = nullptr;

private:
    // After the document is read: the source pages, the dictionary and the
    // pictures.
    void readStructure();
    TzdXMLItem* rootChild(const QByteArray& Name);
    TzdXMLItem* pageItem(int Index);
    void clearPageCache();
    void dropCacheEntry(size_t i);
    void buildObjects(TzdComponent* Parent, TzdXMLItem* Item, TzdComponent* Owner);
    void writeObject(TzdComponent* Obj, TzdXMLItem* Parent, bool Whole);
    void registerCopy(TzdComponent* Original, TzdComponent* Copy, int SourceIndex);
    TzdComponent* sourceOf(TzdXMLItem* Item);
    void settingsFromReport();
    void freeSourcePages();

    std::unique_ptr<TzdXMLDocument> m_doc;
    std::unique_ptr<TzdPictureCache> m_pictures;
    TzdDictionary m_dictionary;
    std::vector<std::unique_ptr<TzdReportPage>> m_sourcePages;
    std::unordered_map<TzdComponent*, QByteArray> m_baseText; // source object → its stored text
    std::vector<TzdComponent*> m_templates;                    // template page of each source page
    struct CacheEntry {
        int Index;
        std::unique_ptr<TzdReportPage> Page;
    };
    std::vector<CacheEntry> m_cache; // most recently built first
    TzdXMLItem* m_pageList = nullptr;
    int m_passStartPage = -1;
    int m_passStartObjects = 0;
    int m_passStartOutline = 0;
    int m_logicalCounter = 0;
    qint64 m_pendingXMLSize = 0;
    long double m_appendedContentBottom = 0;
    bool m_inMouse = false; // a mouse call is running
};

namespace zd {
// Reads a float written with either '.' or ',' as decimal separator.
long double readFloat(const QByteArray& Text, long double Default = 0);
} // namespace zd
