#include "zdXML.h"

#include "DateUtils.h"
#include "Files.h"
#include "FormatSettings.h"
#include "Streams.h"
#include "Variant.h"
#include "zdToolRunner.h"
#include "../MutationTestUtil.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray save(TzdXMLDocument& doc)
{
    plat::TMemoryStream stream;
    doc.SaveToStream(stream);
    return stream.bytes();
}

void loadAll(TzdXMLDocument& doc, const QByteArray& bytes)
{
    plat::TMemoryStream stream(bytes);
    doc.LoadFromStream(stream);
}

void loadPart(TzdXMLDocument& doc, const QByteArray& bytes)
{
    doc.LoadFromStream(std::make_unique<plat::TMemoryStream>(bytes), true);
}

// The tree as text, for comparing documents.
QByteArray dump(const TzdXMLItem* item, int level = 0)
{
    QByteArray out = QByteArray(level, ' ') + item->Name + " [" + item->Text + "]\n";
    for (int i = 0; i < item->Count(); ++i)
        out += dump(item->GetItem(i), level + 1);
    return out;
}

const QByteArray kHeader = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>");

} // namespace

// --- escaping ---------------------------------------------------------------

TEST(zdXMLEscape, ReplacesTheSevenCharactersByDecimalReferences)
{
    struct Case {
        QByteArray in;
        QByteArray out;
    } cases[] = {
        {"a&b", "a&#38;b"},
        {"\"<>", "&#34;&#60;&#62;"},
        {"line\r\nnext", "line&#13;&#10;next"},
        {QByteArray("a\0b", 3), "a&#0;b"},
        // The same NUL in a long text has the same single form.
        {QByteArray("0123456789012345678901234567890123456789\0", 41),
         "0123456789012345678901234567890123456789&#0;"},
        // Every ampersand is escaped, so a literal "&quot;" survives.
        {"say &quot;hi&quot;", "say &#38;quot;hi&#38;quot;"},
        {"tab\tand \xc3\xa9", "tab\tand \xc3\xa9"},
        // Other control bytes have no XML form of their own.
        {"a\x01" "b\x1f\x0b", "a&#983041;b&#983071;&#983051;"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zdXMLEscape(c.in), c.out) << c.in.toStdString();
}

TEST(zdXMLUnescape, DecodesReferencesAndNamedEntities)
{
    struct Case {
        QByteArray in;
        QByteArray out;
    } cases[] = {
        {"&#65;&lt;x&gt;", "A<x>"},
        {"&#321;", "\xc5\x81"},   // above 255: the character, in UTF-8
        {"&#8211;", "\xe2\x80\x93"},
        {"&#128512;", "\xf0\x9f\x98\x80"},
        {"&#200;", "\xc8"},        // up to 255: that byte
        {"&#983041;", "\x01"},     // an escaped control byte
        {"&#983049;", "\xf3\xb0\x80\x89"}, // tab is no escaped control byte
        {"&#55296;&#1114112;", "\xef\xbf\xbd\xef\xbf\xbd"}, // no character
        {"&#-191;", "A"},
        {"&quot;&amp;", "\"&"},
        {"&foo; & x", "&foo; & x"}, // other ampersands stay
        {"&#38;#65;", "&#65;"},    // a replacement is not scanned again
        {"tail &#12", "tail &#12"}, // no semicolon: stays as it is
        {"&#0;", QByteArray(1, '\0')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zdXMLUnescape(c.in), c.out) << c.in.toStdString();
}

TEST(zdXMLUnescape, NonDecimalReferenceIsAConversionError)
{
    EXPECT_THROW(zdXMLUnescape("&#x41;"), plat::EConvertError);
    EXPECT_THROW(zdXMLUnescape("&#99999999999;"), plat::EConvertError);
}

TEST(zdXMLEscape, EveryByteRoundTripsThroughAnAttribute)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    for (const QByteArray& value : {all, all.left(20), QByteArray("&quot;&amp;&#65;")}) {
        TzdXMLDocument doc;
        doc.Root()->Name = "root";
        doc.Root()->SetAttr("v", value);
        TzdXMLDocument back;
        loadAll(back, save(doc));
        EXPECT_EQ(back.Root()->GetAttr("v"), value);
    }
}

TEST(zdXMLEscape, ControlBytesAndWideCharactersGiveWellFormedXml)
{
    if (!zdtest::toolAvailable(QStringLiteral("xmllint")))
        GTEST_SKIP() << "xmllint is not installed";
    QByteArray value = QStringLiteral("Pomlčka – ").toUtf8();
    for (int b = 1; b < 32; ++b)
        value += static_cast<char>(b);
    TzdXMLDocument doc;
    doc.Root()->Name = "root";
    doc.Root()->SetAttr("v", value);
    const QByteArray bytes = save(doc);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("c.xml"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const zdtest::ToolResult lint = zdtest::runTool(QStringLiteral("xmllint"), {QStringLiteral("--noout"), file});
    EXPECT_EQ(lint.exitCode, 0) << lint.err.toStdString();
    TzdXMLDocument back;
    loadAll(back, bytes);
    EXPECT_EQ(back.Root()->GetAttr("v"), value);
}

// --- attributes -------------------------------------------------------------

TEST(zdXMLItem, SetAttrReplacesInPlaceOrAppends)
{
    TzdXMLItem item;
    item.Text = "a=\"1\" b=\"2\"";
    item.SetAttr("B", "3");
    EXPECT_EQ(item.Text, "a=\"1\" B=\"3\"");
    EXPECT_EQ(item.GetAttr("a"), "1");
    EXPECT_EQ(item.GetAttr("A"), "1");
    EXPECT_TRUE(item.AttrExists("b"));
    EXPECT_FALSE(item.AttrExists("c"));
    EXPECT_EQ(item.GetAttr("c"), "");

    TzdXMLItem empty;
    empty.SetAttr("B", "3");
    EXPECT_EQ(empty.Text, "B=\"3\"");
    empty.SetAttr("c", "<&>");
    EXPECT_EQ(empty.Text, "B=\"3\" c=\"&#60;&#38;&#62;\"");
}

TEST(zdXMLItem, ValueHoldingAnotherAttributesNameIsNotTakenForIt)
{
    TzdXMLItem item;
    item.SetAttr("title", "a b=");
    item.SetAttr("b", "2");
    EXPECT_EQ(item.GetAttr("b"), "2");
    item.SetAttr("b", "3");
    EXPECT_EQ(item.GetAttr("title"), "a b=");
    EXPECT_EQ(item.GetAttr("b"), "3");
    EXPECT_EQ(item.Text, "title=\"a b=\" b=\"3\"");
}

TEST(zdXMLItem, StreamPosKeepsFortyBits)
{
    TzdXMLItem item;
    for (qint64 pos : {qint64(0), qint64(3000000000LL), (qint64(1) << 40) - 1}) {
        item.SetStreamPos(pos);
        EXPECT_EQ(item.GetStreamPos(), pos);
    }
}

TEST(zdXMLItem, AddItemMovesAndFindIgnoresCase)
{
    TzdXMLItem root;
    TzdXMLItem* a = root.Add();
    a->Name = "a";
    TzdXMLItem* b = root.Add();
    b->Name = "Beta";
    root.AddItem(a); // adding to its own parent moves it to the end
    EXPECT_EQ(root.IndexOf(a), 1);
    EXPECT_EQ(root.Find("BETA"), 0);
    EXPECT_EQ(root.FindOrAdd("gamma")->Name, "gamma");
    EXPECT_EQ(root.Count(), 3);

    TzdXMLItem other;
    other.InsertItem(0, b);
    EXPECT_EQ(b->Parent(), &other);
    EXPECT_EQ(root.Count(), 2);
    delete a; // a freed item leaves its parent's list
    EXPECT_EQ(root.Count(), 1);
    EXPECT_THROW(root.GetItem(5), plat::EListError);
}

// --- reading ----------------------------------------------------------------

TEST(zdXMLReader, ChildlessFormsAndCaseInsensitiveEndTags)
{
    for (const char* body : {"<a x=\"1\"/>", "<a/>", "<a />"}) {
        TzdXMLDocument doc;
        loadAll(doc, kHeader + body);
        EXPECT_EQ(doc.Root()->Name, "a") << body;
        EXPECT_EQ(doc.Root()->Count(), 0) << body;
    }
    TzdXMLDocument doc;
    loadAll(doc, kHeader + "<a><b/></A>");
    ASSERT_EQ(doc.Root()->Count(), 1);
    EXPECT_EQ(doc.Root()->GetItem(0)->Name, "b");
}

TEST(zdXMLReader, BrokenDocumentsAreInvalidFileFormat)
{
    const QByteArray cases[] = {
        kHeader + "<a><b/></c>",        // end tag of another element
        kHeader + "<a><b/>",            // data ends inside open elements
        kHeader + "<a><b x=\"1\"",      // data ends inside a tag
        kHeader + "<a <b/></a>",        // '<' inside a tag
        "<root/>",                      // no header
    };
    for (const QByteArray& xml : cases) {
        TzdXMLDocument doc;
        try {
            loadAll(doc, xml);
            ADD_FAILURE() << "accepted: " << xml.toStdString();
        } catch (const TzdInvalidXMLException& e) {
            EXPECT_EQ(e.message(), "Invalid file format");
            EXPECT_STREQ(e.className(), "TzdInvalidXMLException");
        }
    }
}

TEST(zdXMLReader, TextBetweenTagsCommentsAndByteOrderMarkAreSkipped)
{
    TzdXMLDocument doc;
    loadAll(doc, "\xEF\xBB\xBF" + kHeader + "<!-- a > b --><a>hello<!-- -- ---><!-- x -----><b/></a>");
    EXPECT_EQ(doc.Root()->Name, "a");
    EXPECT_EQ(doc.Root()->Value, "");
    // "--->" does not end a comment, "----->" does: <b/> follows it.
    ASSERT_EQ(doc.Root()->Count(), 1);
    EXPECT_EQ(doc.Root()->GetItem(0)->Name, "b");
}

TEST(zdXMLReader, HeaderSetsOldVersion)
{
    TzdXMLDocument doc;
    loadAll(doc, "<?xml version=\"1.0\" standalone=\"yes\"?><a/>");
    EXPECT_FALSE(doc.OldVersion);
    loadAll(doc, kHeader + "<a/>");
    EXPECT_TRUE(doc.OldVersion);
    loadAll(doc, "<?xml version=\"1.1\" encoding=\"utf-8\"?><a/>");
    EXPECT_FALSE(doc.OldVersion);
}

TEST(zdXMLReader, FreeingTheReaderLeavesTheStreamBehindTheLastTag)
{
    plat::TMemoryStream stream(QByteArray("<a x=\"1\"/>tail"));
    {
        TzdXMLReader reader(stream);
        QByteArray name;
        QByteArray attrs;
        reader.ReadTag(name, attrs);
        EXPECT_EQ(name, "a");
        EXPECT_EQ(attrs, "x=\"1\"/");
    }
    EXPECT_EQ(stream.Position(), 10);
}

TEST(zdXMLReader, HostileNestingIsRefusedNotACrash)
{
    QByteArray xml = kHeader;
    for (int i = 0; i < 20000; ++i)
        xml += "<a>";
    TzdXMLDocument doc;
    EXPECT_THROW(loadAll(doc, xml), TzdInvalidXMLException);
}

// --- writing ----------------------------------------------------------------

TEST(zdXMLWriter, AutoIndentPutsEachTagOnItsOwnLine)
{
    TzdXMLDocument doc;
    doc.Root()->Name = "root";
    doc.Root()->Add()->Name = "child";
    doc.AutoIndent = true;
    EXPECT_EQ(save(doc), kHeader + "\r\n<root>\r\n  <child/>\r\n</root>\r\n");
    doc.AutoIndent = false;
    EXPECT_EQ(save(doc), kHeader + "<root><child/></root>");
}

TEST(zdXMLWriter, ValueIsWrittenBetweenTheTags)
{
    TzdXMLDocument doc;
    doc.Root()->Name = "r";
    doc.Root()->Text = " a=\"1\"";
    doc.Root()->Value = "v";
    EXPECT_EQ(save(doc), kHeader + "<r a=\"1\">v</r>");
}

// Control characters other than tab, LF and CR (NUL included, written as
// "&#0;") are outside XML 1.0: our reader takes them back, other parsers do
// not, so this check uses printable values.
TEST(zdXMLWriter, OutputPassesXmllintAndReadsBackEqual)
{
    if (!zdtest::toolAvailable("xmllint"))
        GTEST_SKIP() << "xmllint is not installed";
    TzdXMLDocument doc;
    doc.Root()->Name = "TzdReport";
    doc.Root()->SetAttr("Name", "Tisk \xc5\xa1t\xc3\xadtk\xc5\xaf <\"&quot;\">");
    for (int i = 0; i < 50; ++i) {
        TzdXMLItem* page = doc.Root()->Add();
        page->Name = "TzdReportPage";
        page->SetAttr("Name", "Page" + QByteArray::number(i));
        TzdXMLItem* memo = page->Add();
        memo->Name = "TzdMemoView";
        memo->SetAttr("Text", QByteArray("line\r\nline2\t\xc3\xa9&amp;"));
    }
    for (bool indent : {false, true}) {
        doc.AutoIndent = indent;
        const QByteArray bytes = save(doc);
        const auto lint = zdtest::runTool("xmllint", {"--noout", "-"}, bytes);
        EXPECT_EQ(lint.exitCode, 0) << lint.err.toStdString();
        TzdXMLDocument back;
        loadAll(back, bytes);
        EXPECT_EQ(dump(back.Root()), dump(doc.Root()));
        EXPECT_EQ(back.Root()->GetItem(7)->GetItem(0)->GetAttr("Text"),
                  QByteArray("line\r\nline2\t\xc3\xa9&amp;"));
    }
}

TEST(zdXMLWriter, SecondParserSeesTheSameValues)
{
    if (!QFile::exists("/usr/bin/python3"))
        GTEST_SKIP() << "python3 is not installed";
    TzdXMLDocument doc;
    doc.Root()->Name = "r";
    const QByteArray value = "a<b>&c\"d&quot;\r\n\xc4\x8d";
    doc.Root()->SetAttr("v", value);
    const auto py = zdtest::runTool(
        "/usr/bin/python3",
        {"-c", "import sys,xml.etree.ElementTree as E; sys.stdout.buffer.write(E.fromstring(sys.stdin.buffer.read()).get('v').encode('utf-8'))"},
        save(doc));
    ASSERT_EQ(py.exitCode, 0) << py.err.toStdString();
    EXPECT_EQ(py.out, value);
}

// --- paging -----------------------------------------------------------------

TEST(zdXMLDocument, UnloadableItemCarriesItsMarkerAndLoadsBack)
{
    TzdXMLDocument doc;
    doc.Root()->Name = "pages";
    TzdXMLItem* page = doc.Root()->Add();
    page->Name = "page";
    page->Text = " a=\"1\"";
    page->Unloadable = true;
    page->Add()->Name = "obj";
    const QByteArray bytes = save(doc);
    EXPECT_EQ(bytes, kHeader + "<pages><page a=\"1\" ld=\"0\"><obj/></page></pages>");

    TzdXMLDocument back;
    loadPart(back, bytes);
    TzdXMLItem* loaded = back.Root()->GetItem(0);
    EXPECT_TRUE(loaded->Unloadable);
    EXPECT_FALSE(loaded->Loaded);
    EXPECT_EQ(loaded->Text, "a=\"1\"");
    EXPECT_EQ(loaded->Count(), 0);
    back.LoadItem(loaded);
    EXPECT_TRUE(loaded->Loaded);
    ASSERT_EQ(loaded->Count(), 1);
    EXPECT_EQ(loaded->GetItem(0)->Name, "obj");
    EXPECT_EQ(loaded->Text, "a=\"1\"");
    // Saving writes the unloaded children too.
    loaded->Clear();
    EXPECT_FALSE(loaded->Loaded);
    EXPECT_EQ(save(back), bytes);

    TzdXMLDocument full;
    loadAll(full, bytes);
    EXPECT_TRUE(full.Root()->GetItem(0)->Loaded);
    EXPECT_EQ(full.Root()->GetItem(0)->Count(), 1);
}

TEST(zdXMLDocument, PagingOutAndBackKeepsTheDocument)
{
    QTemporaryDir dir;
    TzdXMLDocument doc;
    doc.TempDir = dir.path();
    doc.Root()->Name = "preparedreport";
    std::vector<TzdXMLItem*> pages;
    for (int p = 0; p < 40; ++p) {
        TzdXMLItem* page = doc.Root()->Add();
        page->Name = "page";
        page->SetAttr("n", QByteArray::number(p));
        page->Unloadable = true;
        for (int o = 0; o < 30; ++o) {
            TzdXMLItem* obj = page->Add();
            obj->Name = "m";
            obj->SetAttr("t", "text " + QByteArray::number(p * 100 + o) + " <&>");
        }
        pages.push_back(page);
    }
    const QByteArray before = save(doc);
    for (TzdXMLItem* page : pages)
        doc.UnloadItem(page);
    EXPECT_EQ(pages[3]->Count(), 0);
    ASSERT_FALSE(doc.TempFileName().isEmpty());
    EXPECT_TRUE(doc.TempFileName().startsWith(dir.path()));
    EXPECT_EQ(save(doc), before); // written from the temporary file
    EXPECT_EQ(pages[3]->Count(), 0);
    doc.LoadItem(pages[3]);
    ASSERT_EQ(pages[3]->Count(), 30);
    EXPECT_EQ(pages[3]->GetItem(29)->GetAttr("t"), "text 329 <&>");

    const QString temp = doc.TempFileName();
    doc.Clear();
    EXPECT_FALSE(QFile::exists(temp));
}

TEST(zdXMLDocument, PagingOutAfterAPartialLoadKeepsBothStores)
{
    TzdXMLDocument source;
    source.Root()->Name = "r";
    for (int p = 0; p < 3; ++p) {
        TzdXMLItem* page = source.Root()->Add();
        page->Name = "page";
        page->SetAttr("n", QByteArray::number(p));
        page->Unloadable = true;
        page->Add()->Name = "c" + QByteArray::number(p);
    }
    const QByteArray bytes = save(source);

    TzdXMLDocument doc;
    loadPart(doc, bytes);
    TzdXMLItem* first = doc.Root()->GetItem(0);
    TzdXMLItem* second = doc.Root()->GetItem(1);
    doc.LoadItem(second);
    second->Add()->Name = "added";
    doc.UnloadItem(second); // creates the document's own temporary file
    doc.LoadItem(first);    // still found at its old position
    ASSERT_EQ(first->Count(), 1);
    EXPECT_EQ(first->GetItem(0)->Name, "c0");
    doc.LoadItem(second);
    ASSERT_EQ(second->Count(), 2);
    EXPECT_EQ(second->GetItem(1)->Name, "added");
}

TEST(zdXMLDocument, LoadFromFileKeepsTheFileForPagingAndSaveToFileIsAtomic)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("doc.xml");
    TzdXMLDocument doc;
    doc.Root()->Name = "r";
    TzdXMLItem* page = doc.Root()->Add();
    page->Name = "page";
    page->Unloadable = true;
    page->Add()->Name = "x";
    doc.SaveToFile(name);

    TzdXMLDocument back;
    back.LoadFromFile(name);
    TzdXMLItem* loaded = back.Root()->GetItem(0);
    EXPECT_FALSE(loaded->Loaded);
    // Saving over the file it reads from works: the new file replaces it.
    back.SaveToFile(name);
    back.LoadItem(loaded);
    EXPECT_EQ(loaded->Count(), 1);
    const QByteArray good = plat::readFileBytes(name);

    // A save that fails half-way leaves the last good file.
    TzdXMLDocument broken;
    broken.Root()->Name = "r";
    broken.LoadFromFile(name);
    TzdXMLItem* bad = broken.Root()->GetItem(0);
    bad->SetStreamPos(good.size() - 4); // at the root's end tag: no element there
    EXPECT_THROW(broken.SaveToFile(name), plat::Exception);
    EXPECT_EQ(plat::readFileBytes(name), good);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

// --- values -----------------------------------------------------------------

TEST(zdValueToXML, VariantKindsAsAttributeText)
{
    plat::TFormatSettings keep = plat::FormatSettings();
    plat::FormatSettings().DecimalSeparator = u',';
    plat::FormatSettings().ShortDateFormat = QStringLiteral("d.M.yyyy");
    plat::FormatSettings().DateSeparator = u'.';
    EXPECT_EQ(zdValueToXML(plat::Variant(42)), "42");
    EXPECT_EQ(zdValueToXML(plat::Variant(1.5)), "1.5"); // files use a point whatever the locale
    EXPECT_EQ(zdValueToXML(plat::Variant::fromCurrencyScaled(12345)), "1.2345");
    EXPECT_EQ(zdValueToXML(plat::Variant(true)), "1");
    EXPECT_EQ(zdValueToXML(plat::Variant(false)), "0");
    EXPECT_EQ(zdValueToXML(plat::Variant(QStringLiteral("a\"<\xe9"))), "a&#34;&#60;\xc3\xa9");
    EXPECT_EQ(zdValueToXML(plat::Variant::fromDate(plat::EncodeDate(2024, 3, 9) + 0.5)), "9.3.2024");
    EXPECT_EQ(zdValueToXML(plat::Variant(qint64(1) << 40)), "1099511627776");
    EXPECT_EQ(zdValueToXML(plat::Variant()), "");
    EXPECT_EQ(zdValueToXML(plat::Null()), "");
    plat::FormatSettings() = keep;
}

TEST(zdXMLReader, RandomDamageLoadsOrIsRefusedNeverCrashes)
{
    TzdXMLDocument doc;
    doc.Root()->Name = "r";
    for (int i = 0; i < 20; ++i) {
        TzdXMLItem* page = doc.Root()->Add();
        page->Name = "page";
        page->Unloadable = i % 2 == 0;
        page->SetAttr("v", "x&#" + QByteArray::number(i) + "<>\"");
        page->Add()->Name = "m";
    }
    const QByteArray good = save(doc);
    QRandomGenerator rng(1234);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bad = good;
        for (int k = 0, n = 1 + rng.bounded(4); k < n; ++k) {
            static const char kNasty[] = "<>/&#;\"= !-x0";
            bad[rng.bounded(bad.size())] = kNasty[rng.bounded(int(sizeof kNasty - 1))];
        }
        if (rng.bounded(4) == 0)
            bad.truncate(rng.bounded(bad.size()));
        TzdXMLDocument back;
        try {
            loadPart(back, bad);
            for (int i = 0; i < back.Root()->Count(); ++i)
                back.LoadItem(back.Root()->GetItem(i));
            save(back);
        } catch (const TzdInvalidXMLException&) {
        } catch (const plat::EConvertError&) {
        }
    }
}

// --- damaged documents --------------------------------------------------------

namespace {

void unescapeAll(const TzdXMLItem* item)
{
    (void)zdXMLUnescape(item->Text);
    (void)zdXMLUnescape(item->Value);
    for (int i = 0; i < item->Count(); ++i)
        unescapeAll(item->GetItem(i));
}

// The tree with blanks around attribute texts left out: the reader keeps
// them as they come, the writer puts one blank before the text.
QByteArray shape(const TzdXMLItem* item, int level = 0)
{
    QByteArray out = QByteArray(level, ' ') + item->Name + " [" + item->Text.trimmed() + "]\n";
    for (int i = 0; i < item->Count(); ++i)
        out += shape(item->GetItem(i), level + 1);
    return out;
}

// Whole and paged loading; what loads must save and load again to the same tree.
void loadEveryWay(const QByteArray& bytes)
{
    TzdXMLDocument whole;
    loadAll(whole, bytes);
    const QByteArray tree = shape(whole.Root());
    TzdXMLDocument again;
    loadAll(again, save(whole));
    const QByteArray back = shape(again.Root());
    if (back != tree) {
        const QList<QByteArray> a = tree.split('\n'), b = back.split('\n');
        qsizetype i = 0;
        while (i < a.size() && i < b.size() && a[i] == b[i])
            ++i;
        ADD_FAILURE() << "saved document reads back different: " << a.value(i).constData() << " | "
                      << b.value(i).constData() << ", from " << bytes.toHex().constData();
    }
    TzdXMLDocument paged;
    loadPart(paged, bytes);
    for (int i = 0; i < paged.Root()->Count(); ++i)
        paged.LoadItem(paged.Root()->GetItem(i));
    (void)save(paged);
    unescapeAll(whole.Root());
}

} // namespace

TEST(zdXMLReader, MutatedDocumentsLoadOrRaiseTheirOwnErrors)
{
    QFile templateFile(QStringLiteral(SORVAMET_TEST_DATA "/model/template.zd3"));
    ASSERT_TRUE(templateFile.open(QIODevice::ReadOnly));
    TzdXMLDocument pagedDoc;
    pagedDoc.Root()->Name = "pages";
    for (int i = 0; i < 3; ++i) {
        TzdXMLItem* page = pagedDoc.Root()->Add();
        page->Name = "page";
        page->Unloadable = true;
        page->SetAttr("n", "&#" + QByteArray::number(i) + "<\"x\">");
        page->Add()->Name = "obj";
    }
    const std::vector<QByteArray> fixtures = {
        templateFile.readAll(), save(pagedDoc),
        "<?xml version=\"1.0\"?>\n<!-- c --><a x=\"&lt;&amp;&#65;\" y='1'><b>t&#10;</b><c/></a>"};
    const auto outcome = mutation::runMutations(fixtures, 1500, 77, mutation::textTokens(), loadEveryWay);
    EXPECT_GT(outcome.accepted, 500);
    EXPECT_GT(outcome.refused, 500);
}

// Damaged documents that once did harm, each the smallest that showed it.
TEST(zdXMLReader, DamagedDocumentsThatOnceDidHarm)
{
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        // Read whole, only the first of two paging markers went; the second
        // was saved and paged the item out on the next reading.
        {"repeated paging marker", "<a><b ld=\"0\" ld=\"0\"><c/></b></a>"},
    };
    for (const Case& c : cases) {
        TzdXMLDocument whole;
        loadAll(whole, kHeader + c.bytes);
        TzdXMLDocument again;
        loadAll(again, save(whole));
        EXPECT_EQ(dump(again.Root()), dump(whole.Root())) << c.name;
        EXPECT_EQ(save(again), save(whole)) << c.name;
    }
}
