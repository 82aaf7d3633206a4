// The store's operations around the engine's writing: source copies,
// appending another report's pages, partial loading, progress, exporting
// and what text objects receive while they draw.

#include "Canvas.h"
#include "Streams.h"
#include "SyntheticWriter.h"
#include "zdClass_options.h"
#include "zdXML.h"

#include <QImage>

#include <gtest/gtest.h>

using storetest::SyntheticWriter;

namespace {

QImage drawnPage(TzdPreviewPages& pages, int index)
{
    const QSize size = pages.GetPageSize(index);
    QImage image(size.width() / 2, size.height() / 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    plat::TCanvas canvas(&image);
    EXPECT_TRUE(pages.DrawPage(index, &canvas, 0.5, 0.5, 0, 0));
    return image;
}

QByteArray savedBytes(TzdPreviewPages& pages)
{
    plat::TMemoryStream out;
    pages.SaveToStream(out);
    return out.bytes();
}

TzdXMLItem* storeChild(TzdPreviewPages& pages, const char* name)
{
    TzdXMLItem* root = pages.XMLDocument()->Root();
    const int i = root->Find(name);
    return i < 0 ? nullptr : root->GetItem(i);
}

// A report whose active prepared pages are a given store, as the report
// will answer once it owns one.
class ReportWithPages : public TzdReport {
public:
    TzdCustomPreviewPages* Pages = nullptr;
    TzdCustomPreviewPages* ActivePreviewPages() override { return Pages; }
};

class ExportRecorder : public TzdCustomExportFilter {
public:
    ExportRecorder() : TzdCustomExportFilter(nullptr)
    {
        ShowDialog = false;
        ShowProgress = false;
    }
    void OpenPage(TzdReportPage*, int Index) override { Log << QStringLiteral("open %1").arg(Index); }
    void WriteObject(TzdComponent* Obj) override { Log << Obj->Name(); }
    QStringList Log;
};

class ProgressStore : public TzdPreviewPages {
public:
    using TzdPreviewPages::TzdPreviewPages;
    void ProgressStarted(TzdProgressType Type) override { Log << QStringLiteral("start %1").arg(int(Type)); }
    void ProgressStep(TzdProgressType Type, int Index) override { Log << QStringLiteral("%1:%2").arg(int(Type)).arg(Index); }
    void ProgressFinished(TzdProgressType Type) override { Log << QStringLiteral("end %1").arg(int(Type)); }
    QStringList Log;
};

} // namespace

TEST(StoreOps, SourceCopiesKeepTheGeometryOfTheirTemplates)
{
    SyntheticWriter w(true);
    TzdPreviewPages pages(&w.report);
    pages.Initialize();
    pages.RegisterSourcePage(w.page);
    ASSERT_EQ(pages.Dictionary().Count(), 8);
    for (const auto& [alias, sourceName] : pages.Dictionary().Entries()) {
        TzdComponent* copy = pages.Dictionary().GetObject(alias);
        ASSERT_NE(copy, nullptr) << qPrintable(alias);
        TzdComponent* original = w.page->FindObject(copy->Name());
        ASSERT_NE(original, nullptr) << qPrintable(sourceName);
        EXPECT_EQ(original->DictionaryAlias, alias);
        EXPECT_EQ(double(copy->Left()), double(original->Left())) << qPrintable(sourceName);
        EXPECT_EQ(double(copy->Top()), double(original->Top())) << qPrintable(sourceName);
        EXPECT_EQ(double(copy->Width()), double(original->Width())) << qPrintable(sourceName);
        EXPECT_EQ(double(copy->Height()), double(original->Height())) << qPrintable(sourceName);
        EXPECT_EQ(copy->Parent()->Name(), original->Parent()->Name()) << qPrintable(sourceName);
    }
}

TEST(StoreOps, AppendedPagesDrawAsTheirsWithAnchorsAndOutlineMoved)
{
    SyntheticWriter a, b(true);
    TzdPreviewPages ours(&a.report);
    a.Write(ours, 2, 8);
    ReportWithPages other;
    TzdPreviewPages theirs(&b.report);
    other.Pages = &theirs;
    b.Write(theirs, 3, 12);
    theirs.CurPageIndex = 1;
    theirs.AddAnchor(QStringLiteral("Druhá"), 30);
    TzdCustomOutline* o = theirs.Outline();
    o->LevelRoot();
    o->AddItem(QStringLiteral("Kapitola"), 10);
    theirs.CurPageIndex = 2;
    o->AddItem(QStringLiteral("Oddíl"), 20);
    theirs.CurPageIndex = 2;
    const long double bottom = theirs.ContentBottom(0);

    ours.AppendPagesOf(&other);
    ASSERT_EQ(ours.GetPageCount(), 5);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(drawnPage(ours, 2 + i), drawnPage(theirs, i)) << i;
    EXPECT_EQ(ours.GetAnchorPage(QStringLiteral("druhá")), 4);
    TzdCustomOutline* mine = ours.Outline();
    mine->LevelRoot();
    ASSERT_EQ(mine->ItemCount(), 1);
    QString text;
    int page = -1, top = -1;
    mine->ReadItem(0, text, page, top);
    EXPECT_EQ(text, QStringLiteral("Kapitola"));
    EXPECT_EQ(page, 3);
    mine->LevelInto(0);
    ASSERT_EQ(mine->ItemCount(), 1);
    mine->ReadItem(0, text, page, top);
    EXPECT_EQ(page, 4);
    EXPECT_EQ(top, 20);
    EXPECT_EQ(theirs.CurPageIndex, -1);
    // The engine goes on below their content on their last page.
    EXPECT_EQ(ours.CurPageIndex, 4);
    EXPECT_EQ(double(ours.ContentBottom(0)), double(bottom));
    TzdXMLItem* last = storeChild(ours, "previewpages")->GetItem(4);
    EXPECT_EQ(last->Name, QByteArray("TzdReportPage"));
    EXPECT_FALSE(last->Unloadable);
    EXPECT_GT(double(bottom), 0);
    // Appended pages survive a save and a load.
    const QByteArray file = savedBytes(ours);
    TzdPreviewPages loaded(&a.report);
    plat::TMemoryStream in(file);
    ASSERT_TRUE(loaded.LoadFromStream(in, false));
    EXPECT_EQ(drawnPage(loaded, 4), drawnPage(theirs, 2));
    EXPECT_EQ(savedBytes(loaded), file);
}

TEST(StoreOps, PartialLoadingReadsPagesWhenNeededAndSavesTheSame)
{
    SyntheticWriter w;
    TzdPreviewPages pages(&w.report);
    w.Write(pages, 8, 20);
    const QByteArray file = savedBytes(pages);
    TzdPreviewPages partial(&w.report);
    plat::TMemoryStream in(file);
    ASSERT_TRUE(partial.LoadFromStream(in, true));
    TzdXMLItem* list = storeChild(partial, "previewpages");
    ASSERT_EQ(list->Count(), 8);
    EXPECT_TRUE(list->GetItem(0)->Loaded);
    EXPECT_FALSE(list->GetItem(5)->Loaded); // still on the stream
    EXPECT_EQ(drawnPage(partial, 5), drawnPage(pages, 5));
    EXPECT_EQ(savedBytes(partial), file);
    // A compressed stream is read whole.
    w.report.ReportOptions()->Compressed = true;
    const QByteArray packed = savedBytes(pages);
    TzdPreviewPages whole(&w.report);
    plat::TMemoryStream packedIn(packed);
    ASSERT_TRUE(whole.LoadFromStream(packedIn, true));
    EXPECT_EQ(whole.GetPageCount(), 8);
    EXPECT_EQ(drawnPage(whole, 7), drawnPage(pages, 7));
}

TEST(StoreOps, ARunReportsItsProgressPageByPage)
{
    SyntheticWriter w;
    ProgressStore pages(&w.report);
    w.Write(pages, 3, 4);
    EXPECT_EQ(pages.Log, (QStringList{QStringLiteral("start 0"), QStringLiteral("0:1"), QStringLiteral("0:2"),
                                      QStringLiteral("0:3"), QStringLiteral("end 0")}));
}

TEST(StoreOps, ExportSendsTheBackgroundThenEachBandAndItsObjects)
{
    SyntheticWriter w(true);
    TzdPreviewPages pages(&w.report);
    w.Write(pages, 2, 12); // a header and two rows per page
    ExportRecorder filter;
    ASSERT_TRUE(pages.Export(&filter));
    const QStringList page = {QStringLiteral("_pagebackground"), QStringLiteral("PageHeader1"),
                              QStringLiteral("BarCode1"),        QStringLiteral("Title1"),
                              QStringLiteral("PageNumber1"),     QStringLiteral("MasterData1"),
                              QStringLiteral("Memo1"),           QStringLiteral("Shape1"),
                              QStringLiteral("Picture1"),        QStringLiteral("MasterData1"),
                              QStringLiteral("Memo1"),           QStringLiteral("Shape1"),
                              QStringLiteral("Picture1")};
    EXPECT_EQ(filter.Log, QStringList{QStringLiteral("open 0")} + page + QStringList{QStringLiteral("open 1")} + page);

    // Repeated page headers left out, only the objects of data bands, and
    // nothing that is not to be exported.
    ExportRecorder data;
    data.SuppressPageHeadersFooters = true;
    data.DataOnly = true;
    filter.Log.clear();
    filter.SuppressPageHeadersFooters = true;
    pages.GetPage(1);
    ASSERT_TRUE(pages.Export(&filter));
    EXPECT_EQ(filter.Log.count(QStringLiteral("BarCode1")), 1);
    ASSERT_TRUE(pages.Export(&data));
    EXPECT_EQ(data.Log.count(QStringLiteral("MasterData1")), 0);
    EXPECT_EQ(data.Log.count(QStringLiteral("Memo1")), 4);
    EXPECT_EQ(data.Log.count(QStringLiteral("BarCode1")), 0);
}

TEST(StoreOps, TextObjectsGetThePageCountAndCopyWhileDrawing)
{
    SyntheticWriter w;
    TzdPreviewPages pages(&w.report);
    w.Write(pages, 4, 8);
    zd::PrintSource& source = pages;
    source.PrintCopyNo = 3;
    drawnPage(pages, 1);
    TzdReportPage* page = pages.GetPage(1); // the page just drawn, from the cache
    auto* memo = dynamic_cast<TzdCustomMemoView*>(page->FindObject(QStringLiteral("Memo1")));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->CopyNo, 3);
    EXPECT_EQ(memo->PageTotal, 4);
}
