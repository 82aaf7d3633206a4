#include "Canvas.h"
#include "Exceptions.h"
#include "FormatSettings.h"
#include "Streams.h"
#include "SyntheticWriter.h"
#include "zdPictureCache.h"
#include "zdXML.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <set>

#include <gtest/gtest.h>

using storetest::SyntheticWriter;

namespace {

QByteArray saved(TzdPreviewPages& pages)
{
    plat::TMemoryStream out;
    pages.SaveToStream(out);
    return out.bytes();
}

QImage render(TzdPreviewPages& pages, int index)
{
    const QSize size = pages.GetPageSize(index);
    QImage image(size.width() / 2, size.height() / 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    plat::TCanvas canvas(&image);
    EXPECT_TRUE(pages.DrawPage(index, &canvas, 0.5, 0.5, 0, 0));
    return image;
}

QStringList listDir(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

QString run(const QString& program, const QStringList& args, int* code = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (code)
        *code = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The same names as probing powers of two down from 10000 and scanning up,
// over the numbers taken by one prefix. The numbers still free are kept in a
// set, so the scan up is one look-up: a plain scan over thousands of names
// made this check quadratic.
class NaiveNames
{
public:
    explicit NaiveNames(int limit)
    {
        for (int i = 1; i <= limit; ++i)
            m_free.insert(m_free.end(), i);
    }
    bool taken(int n) const { return m_free.count(n) == 0; }
    void take(int n) { m_free.erase(n); }
    int unique() const
    {
        int n = 10000;
        while (n > 1 && !taken(n))
            n /= 2;
        const auto it = m_free.lower_bound(n);
        return it == m_free.end() ? -1 : *it;
    }

private:
    std::set<int> m_free;
};

} // namespace

TEST(Dictionary, UniqueNamesFollowTheProbes)
{
    TzdDictionary d;
    for (int i = 1; i <= 700; ++i)
        d.Add(QStringLiteral("m%1").arg(i), QString(), nullptr);
    EXPECT_EQ(d.CreateUniqueName(QStringLiteral("m")), QStringLiteral("m701"));
    TzdDictionary e;
    e.Add(QStringLiteral("m1"), QString(), nullptr);
    e.Add(QStringLiteral("m3"), QString(), nullptr);
    EXPECT_EQ(e.CreateUniqueName(QStringLiteral("m")), QStringLiteral("m2"));
    EXPECT_EQ(e.CreateUniqueName(QStringLiteral("b")), QStringLiteral("b1"));
}

TEST(Dictionary, ManyNamesOfOnePrefixMatchTheScan)
{
    // Beyond 10000 names the resumed search must give the same names as a
    // fresh scan, also after names were added out of order.
    TzdDictionary d;
    NaiveNames names(20000);
    for (int i = 0; i < 12000; ++i) {
        if (i % 3000 == 17) { // a stray name ahead of the run
            d.Add(QStringLiteral("m%1").arg(i + 40), QString(), nullptr);
            names.take(i + 40);
        }
        const int expected = names.unique();
        ASSERT_GT(expected, 0) << i;
        const QString got = d.AddUnique(QStringLiteral("m"), QString(), nullptr);
        ASSERT_EQ(got, QStringLiteral("m%1").arg(expected)) << i;
        names.take(expected);
    }
}

TEST(PictureCache, StoresEachPictureAndReadsItBack)
{
    SyntheticWriter w;
    TzdPictureCache cache;
    TzdPictureView a(nullptr), b(nullptr), empty(nullptr);
    a.Picture()->LoadFromBytes(storetest::pngBytes(1));
    b.Picture()->LoadFromBytes(storetest::pngBytes(1));
    cache.AddPicture(&a);
    cache.AddPicture(&b);
    cache.AddPicture(&empty);
    EXPECT_EQ(a.ImageIndex, 1);
    EXPECT_EQ(b.ImageIndex, 2); // contents are not compared
    EXPECT_EQ(empty.ImageIndex, 0);
    EXPECT_EQ(cache.Count(), 2);

    TzdXMLItem element;
    cache.SaveToXML(&element);
    ASSERT_EQ(element.Count(), 2);
    TzdPictureCache loaded;
    loaded.LoadFromXML(&element);
    for (int index : {1, 2}) {
        TzdPictureView v(nullptr);
        v.ImageIndex = index;
        loaded.GetPicture(&v);
        ASSERT_FALSE(v.Picture()->Empty());
        EXPECT_EQ(v.Picture()->Graphic()->SaveToBytes(), storetest::pngBytes(1));
    }
    for (int index : {0, -1, 3}) {
        TzdPictureView v(nullptr);
        v.Picture()->LoadFromBytes(storetest::pngBytes(2));
        v.ImageIndex = index;
        loaded.GetPicture(&v);
        EXPECT_TRUE(v.Picture()->Empty()) << index;
    }
}

TEST(PictureCache, CorruptPictureLeavesTheNextOneWhole)
{
    SyntheticWriter w;
    const QByteArray good = storetest::pngBytes(5);
    QByteArray corrupt = storetest::pngBytes(4);
    corrupt.truncate(30); // a PNG signature with a cut body
    TzdXMLItem element;
    for (const QByteArray& bytes : {corrupt, good}) {
        TzdXMLItem* item = element.Add();
        item->Name = "item";
        item->Text = "stream=\"" + bytes.toHex().toUpper() + "\"";
    }
    TzdPictureCache cache;
    cache.LoadFromXML(&element);
    TzdPictureView first(nullptr), second(nullptr);
    first.ImageIndex = 1;
    second.ImageIndex = 2;
    cache.GetPicture(&first);
    EXPECT_TRUE(first.Picture()->Empty());
    cache.GetPicture(&second);
    ASSERT_FALSE(second.Picture()->Empty());
    EXPECT_EQ(second.Picture()->Graphic()->SaveToBytes(), good);
    // A picture read alone sees only its own bytes.
    EXPECT_EQ(cache.ItemBytes(1), corrupt);
    EXPECT_EQ(cache.ItemBytes(2), good);
    TzdXMLItem again;
    cache.SaveToXML(&again);
    EXPECT_EQ(again.GetItem(1)->GetAttr("stream"), good.toHex().toUpper());
}

TEST(PictureCache, FileSegmentsAreRemovedOnClearAndFree)
{
    SyntheticWriter w;
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/a-rather-long-folder-name-for-the-temporary-files-of-the-picture-cache-XXXXXX"));
    ASSERT_TRUE(dir.path().size() > 64);
    {
        TzdPictureCache cache;
        cache.SetUseFileCache(true);
        cache.SetTempDir(dir.path());
        TzdPictureView v(nullptr);
        v.Picture()->LoadFromBytes(storetest::pngBytes(3));
        cache.AddPicture(&v);
        cache.SetUseFileCache(false); // no effect while a segment exists
        EXPECT_TRUE(cache.UseFileCache());
        ASSERT_EQ(listDir(dir.path()).size(), 1);
        EXPECT_TRUE(listDir(dir.path()).first().startsWith(QStringLiteral("zdPic")));
        TzdPictureView back(nullptr);
        back.ImageIndex = 1;
        cache.GetPicture(&back);
        EXPECT_FALSE(back.Picture()->Empty());
        cache.Clear();
        EXPECT_TRUE(listDir(dir.path()).isEmpty());
        cache.AddPicture(&v);
        EXPECT_EQ(listDir(dir.path()).size(), 1);
    }
    EXPECT_TRUE(listDir(dir.path()).isEmpty());
}

struct StoreFixture : ::testing::Test {
    SyntheticWriter w;
    TzdPreviewPages pages{&w.report};
};

TEST_F(StoreFixture, PagesRebuildFromDifferences)
{
    w.Write(pages, 3, 20);
    ASSERT_EQ(pages.GetPageCount(), 3);
    TzdReportPage* page = pages.GetPage(1);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->ChildCount(), 5);
    TzdComponent* band = page->Children()[2];
    EXPECT_EQ(band->Name(), QStringLiteral("MasterData1"));
    EXPECT_NEAR(double(band->Top()), 60, 1e-6);
    auto* memo = dynamic_cast<TzdMemoView*>(band->Children()[0]);
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Memo()->Text().trimmed(), QStringLiteral("Řádek 3 strany 2"));
    auto* pic = dynamic_cast<TzdPictureView*>(band->Children()[2]);
    ASSERT_NE(pic, nullptr);
    EXPECT_FALSE(pic->Picture()->Empty());
    EXPECT_EQ(pages.GetPageSize(0), QSize(int(std::lround(double(w.page->Width()))),
                                          int(std::lround(double(w.page->Height())))));
    EXPECT_EQ(pages.GetPageSize(3), QSize(0, 0));
}

TEST_F(StoreFixture, SaveLoadSaveIsByteIdenticalPlainAndCompressed)
{
    w.Write(pages, 6, 24);
    for (bool compressed : {false, true}) {
        w.report.ReportOptions()->Compressed = compressed;
        const QByteArray first = saved(pages);
        TzdPreviewPages loaded(&w.report);
        plat::TMemoryStream in(first);
        ASSERT_TRUE(loaded.LoadFromStream(in, false));
        EXPECT_EQ(loaded.GetPageCount(), 6);
        const QByteArray second = saved(loaded);
        // The gzip member's time field holds the data's Adler-32, not the
        // time of saving: compressed files compare whole too.
        EXPECT_EQ(first, second);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(render(pages, i), render(loaded, i)) << i;
        if (!compressed)
            EXPECT_TRUE(first.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
        else
            EXPECT_TRUE(first.startsWith("\x1f\x8b"));
    }
}

TEST_F(StoreFixture, MemoryAndPagedOutStoresAgree)
{
    // The same report kept in memory and paged out with a 1 MB limit and
    // one page in the cache: the same file and the same pixels.
    const int pageCount = 500, objects = 40;
    w.Write(pages, pageCount, objects);
    SyntheticWriter w2;
    w2.report.EngineOptions()->UseFileCache = true;
    w2.report.EngineOptions()->MaxMemSize = 1;
    w2.report.PreviewOptions()->PagesInCache = 1;
    w2.report.PreviewOptions()->PictureCacheInFile = true;
    TzdPreviewPages paged(&w2.report);
    w2.Write(paged, pageCount, objects);
    ASSERT_FALSE(paged.XMLDocument()->TempFileName().isEmpty()); // pages did go out
    EXPECT_EQ(saved(pages), saved(paged));
    for (int i : {0, 1, 2, 57, pageCount - 1})
        EXPECT_EQ(render(pages, i), render(paged, i)) << i;
    EXPECT_LE(paged.PagesInCacheCount(), 1);
}

TEST_F(StoreFixture, FilesPassXmllintAndGzipWithTheStoredName)
{
    w.Write(pages, 12, 16);
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.zp3"));
    const QString packed = dir.filePath(QStringLiteral("packed.zp3"));
    pages.SaveToFile(plain);
    w.report.ReportOptions()->Compressed = true;
    pages.SaveToFile(packed);
    int code = -1;
    run(QStringLiteral("xmllint"), {QStringLiteral("--noout"), plain}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(run(QStringLiteral("xmllint"),
                  {QStringLiteral("--xpath"), QStringLiteral("count(/preparedreport/previewpages/*)"), plain}),
              QStringLiteral("12"));
    run(QStringLiteral("gzip"), {QStringLiteral("-t"), packed}, &code);
    EXPECT_EQ(code, 0);
    QFile f(packed);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(64);
    EXPECT_EQ(quint8(head[3]) & 8, 8); // a stored name
    EXPECT_EQ(head.mid(10, 6), QByteArray("1.zp3\0", 6));
    TzdPreviewPages loaded(&w.report);
    EXPECT_TRUE(loaded.LoadFromFile(packed, false));
    EXPECT_EQ(loaded.GetPageCount(), 12);
    EXPECT_FALSE(loaded.LoadFromFile(dir.filePath(QStringLiteral("none.zp3")), false));
    EXPECT_THROW(loaded.LoadFromFile(dir.filePath(QStringLiteral("none.zp3")), true), plat::Exception);
}

TEST_F(StoreFixture, FailedSaveKeepsTheOldFile)
{
    QTemporaryDir dir;
    w.report.PreviewOptions()->PictureCacheInFile = true;
    w.report.EngineOptions()->TempDir = dir.path();
    w.Write(pages, 3, 16);
    const QString name = dir.filePath(QStringLiteral("out.zp3"));
    QFile old(name);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous contents");
    old.close();
    // The picture segment loses its bytes: the save fails half way.
    ASSERT_EQ(pages.PictureCache()->TempFileNames().size(), 1);
    QFile::resize(pages.PictureCache()->TempFileNames().first(), 0);
    EXPECT_THROW(pages.SaveToFile(name), plat::Exception);
    QFile check(name);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("previous contents"));
}

TEST_F(StoreFixture, CorruptPictureInAFileThenAGoodOneSurvivesResave)
{
    w.Write(pages, 2, 40, 3);
    const QByteArray file = saved(pages);
    // Damage the first cached picture's bytes in the file.
    const qsizetype at = file.indexOf("<item stream=\"");
    ASSERT_GE(at, 0);
    QByteArray damaged = file;
    const qsizetype body = at + 14 + 40; // past the PNG signature and header
    for (qsizetype i = body; i < body + 30; ++i)
        damaged[i] = '0';
    TzdPreviewPages loaded(&w.report);
    plat::TMemoryStream in(damaged);
    loaded.LoadFromStream(in, false);
    for (int i = 0; i < loaded.GetPageCount(); ++i)
        loaded.GetPage(i); // rebuilding reads every picture, the bad one too
    const QByteArray resaved = saved(loaded);
    EXPECT_EQ(resaved, damaged);
    TzdXMLItem goodItems, againItems;
    pages.PictureCache()->SaveToXML(&goodItems);
    loaded.PictureCache()->SaveToXML(&againItems);
    ASSERT_EQ(goodItems.Count(), againItems.Count());
    for (int i = 1; i < goodItems.Count(); ++i)
        EXPECT_EQ(goodItems.GetItem(i)->Text, againItems.GetItem(i)->Text) << i;
}

TEST_F(StoreFixture, BadDictionaryEntryFailsOnlyItsObjects)
{
    w.Write(pages, 1, 8);
    QByteArray file = saved(pages);
    // Point the memo's alias at a source page that does not exist and the
    // shape's at an object name that is not there.
    file.replace("name=\"Page0.Memo1\"", "name=\"Page7.Memo1\"");
    file.replace("name=\"Page0.Shape1\"", "name=\"Pagexyz\"");
    TzdPreviewPages loaded(&w.report);
    plat::TMemoryStream in(file);
    ASSERT_TRUE(loaded.LoadFromStream(in, false));
    TzdReportPage* page = loaded.GetPage(0);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->ChildCount(), 2);
    // The bands and the pictures are there; the broken ones are not.
    for (TzdComponent* band : page->Children()) {
        EXPECT_EQ(band->Name(), QStringLiteral("MasterData1"));
        ASSERT_EQ(band->ChildCount(), 1);
        EXPECT_NE(dynamic_cast<TzdPictureView*>(band->Children()[0]), nullptr);
    }
}

TEST_F(StoreFixture, CutAndPasteMovesObjectsWithADotWhateverTheLocale)
{
    w.Write(pages, 1, 12);
    plat::TFormatSettings saved = plat::FormatSettings();
    plat::FormatSettings().DecimalSeparator = u',';
    pages.CurPageIndex = 0;
    EXPECT_EQ(pages.CutObjectsFrom(1), 1);
    TzdXMLItem* page = pages.XMLDocument()->Root()->GetItem(pages.XMLDocument()->Root()->Find("previewpages"))->GetItem(0);
    EXPECT_EQ(page->Count(), 1);
    // A value written elsewhere with a comma is read as well.
    TzdXMLItem* cut = pages.XMLDocument()->Root()->GetItem(pages.XMLDocument()->Root()->Find("cutted"));
    cut->GetItem(0)->SetAttr("t", "40,5");
    pages.PasteCutObjects(10.25, 200.5);
    plat::FormatSettings() = saved;
    ASSERT_EQ(page->Count(), 3);
    EXPECT_EQ(page->GetItem(1)->GetAttr("l"), QByteArray("10.25"));
    EXPECT_EQ(page->GetItem(1)->GetAttr("t"), QByteArray("200.5"));
    EXPECT_EQ(page->GetItem(2)->GetAttr("t"), QByteArray("220"));
    EXPECT_EQ(pages.XMLDocument()->Root()->Find("cutted"), -1);
}

TEST_F(StoreFixture, TemporaryFilesGoOnClearAndFree)
{
    QTemporaryDir dir;
    const QStringList before = listDir(dir.path());
    auto store = [&](std::unique_ptr<TzdPreviewPages>& p) {
        w.report.EngineOptions()->UseFileCache = true;
        w.report.EngineOptions()->MaxMemSize = 0;
        w.report.EngineOptions()->TempDir = dir.path();
        w.report.PreviewOptions()->PictureCacheInFile = true;
        p = std::make_unique<TzdPreviewPages>(&w.report);
        w.Write(*p, 8, 20);
        p->GetPage(5);
        EXPECT_GE(listDir(dir.path()).size(), 2); // the pages' file and a picture file
    };
    std::unique_ptr<TzdPreviewPages> p;
    store(p);
    p->Clear();
    EXPECT_EQ(listDir(dir.path()), before);
    store(p);
    p.reset();
    EXPECT_EQ(listDir(dir.path()), before);
}

TEST_F(StoreFixture, LogicalPagesAnchorsAndEditing)
{
    w.Write(pages, 3, 4);
    pages.CurPageIndex = 2;
    EXPECT_EQ(pages.LogicalPageNumber(), 3);
    EXPECT_EQ(pages.LogicalPageTotal(), 0); // group not closed yet
    pages.CloseLogicalPageGroup();
    for (int i = 0; i < 3; ++i) {
        pages.CurPageIndex = i;
        EXPECT_EQ(pages.LogicalPageTotal(), 3);
    }
    pages.CurPageIndex = 1;
    pages.AddAnchor(QStringLiteral("Kotva"), 120.4);
    EXPECT_EQ(pages.GetAnchorPage(QStringLiteral("kotva")), 2);
    EXPECT_EQ(pages.GetAnchorPage(QStringLiteral("jiná")), 1);
    EXPECT_EQ(pages.LastAnchorIndex(), 0);
    pages.DeletePage(0);
    EXPECT_EQ(pages.GetPageCount(), 2);
    pages.DeletePage(0);
    pages.DeletePage(0); // the only page stays
    EXPECT_EQ(pages.GetPageCount(), 1);
    pages.InsertEmptyPage(0);
    EXPECT_EQ(pages.GetPageCount(), 2);
    EXPECT_EQ(pages.GetPage(0)->ChildCount(), 0);
}

TEST_F(StoreFixture, OutlineKeepsPagesAndStaysAtTheRoot)
{
    w.Write(pages, 2, 4);
    TzdCustomOutline* o = pages.Outline();
    pages.CurPageIndex = 1;
    o->LevelRoot();
    o->AddItem(QStringLiteral("Kapitola <1>"), 15);
    o->LevelUp();
    o->LevelUp(); // stays at the root
    EXPECT_EQ(o->ItemCount(), 1);
    QString text;
    int page = -1, top = -1;
    o->ReadItem(0, text, page, top);
    EXPECT_EQ(text, QStringLiteral("Kapitola <1>"));
    EXPECT_EQ(page, 1);
    EXPECT_EQ(top, 15);
    o->ShiftFollowingItems(nullptr, 10); // moves nothing
}
