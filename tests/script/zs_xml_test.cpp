#include "Exceptions.h"
#include "Streams.h"
#include "zs_xml.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include "zs_test_util.h"

#include <gtest/gtest.h>

namespace {

QString load(TzsXMLDocument& doc, const char* text)
{
    try {
        doc.LoadFromBytes(QByteArray(text));
        return {};
    } catch (const plat::Exception& e) {
        return e.message();
    }
}

} // namespace

TEST(ZsXml, PropRoundTripsAwkwardValues)
{
    const QStringList values = {
        QStringLiteral("plain"),
        QStringLiteral("say \"hi\" <b> & more"),
        QStringLiteral("line1\r\nline2\nline3\r"),
        QStringLiteral("& followed by a blank"),
        QStringLiteral("&#65; is not A"),
        QStringLiteral("&quot; stays an entity"),
        QStringLiteral("&amp;&lt;&gt;"),
        QStringLiteral("čeština ŽLUŤOUČKÝ"),
        QString(),
    };
    for (const QString& v : values) {
        TzsXMLItem item;
        item.Name = QStringLiteral("a");
        item.SetProp(QStringLiteral("value"), v);
        EXPECT_EQ(item.Prop(QStringLiteral("value")), v) << v.toStdString();

        // And through a saved and reloaded document.
        TzsXMLDocument doc;
        doc.Root()->Name = QStringLiteral("root");
        doc.Root()->SetProp(QStringLiteral("value"), v);
        TzsXMLDocument back;
        back.LoadFromBytes(doc.SaveToBytes());
        EXPECT_EQ(back.Root()->Prop(QStringLiteral("value")), v) << v.toStdString();
    }
}

TEST(ZsXml, OldTextWithBareAmpersandsAndEntitiesStillReads)
{
    TzsXMLItem item;
    item.Text = QStringLiteral("v=\"a&quot;b\" w=\"x & y\" z=\"&#65;&#13;&#10;\"");
    EXPECT_EQ(item.Prop(QStringLiteral("v")), QStringLiteral("a\"b"));
    EXPECT_EQ(item.Prop(QStringLiteral("w")), QStringLiteral("x & y"));
    EXPECT_EQ(item.Prop(QStringLiteral("z")), QStringLiteral("A\r\n"));
}

TEST(ZsXml, EscapeWritesDecimalReferences)
{
    EXPECT_EQ(zs::xmlEscape(QStringLiteral("\"<>&\r\n'")), QStringLiteral("&#34;&#60;&#62;&#38;&#13;&#10;'"));
    // A reference code of one byte is a code page 1250 byte.
    EXPECT_EQ(zs::xmlUnescape(QStringLiteral("&#232;&#138;")), QStringLiteral("čŠ"));
    // A reference without its ';' stays within the text.
    EXPECT_EQ(zs::xmlUnescape(QStringLiteral("a&#65")), QStringLiteral("a&#65"));
    EXPECT_THROW(zs::xmlUnescape(QStringLiteral("&#xz;")), plat::EConvertError);
}

TEST(ZsXml, AttributeNamesMatchWholeAndIgnoringCase)
{
    TzsXMLItem item;
    item.Text = QStringLiteral("text=\"1\" Name=\"n\"");
    EXPECT_EQ(item.Prop(QStringLiteral("TEXT")), QStringLiteral("1"));
    EXPECT_EQ(item.Prop(QStringLiteral("ext")), QString());
    EXPECT_EQ(item.Prop(QStringLiteral("name")), QStringLiteral("n"));
    EXPECT_EQ(item.Prop(QStringLiteral("missing")), QString());
}

TEST(ZsXml, SetPropReplacesInPlaceOrAppends)
{
    TzsXMLItem item;
    item.Text = QStringLiteral("a=\"1\" b=\"2\"");
    item.SetProp(QStringLiteral("A"), QStringLiteral("x"));
    EXPECT_EQ(item.Text, QStringLiteral("A=\"x\" b=\"2\""));
    item.SetProp(QStringLiteral("c"), QStringLiteral("3"));
    EXPECT_EQ(item.Text, QStringLiteral("A=\"x\" b=\"2\" c=\"3\""));
    TzsXMLItem empty;
    empty.SetProp(QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_EQ(empty.Text, QStringLiteral("k=\"v\""));
}

TEST(ZsXml, FindItemAddsMissingChild)
{
    TzsXMLItem root;
    root.Add()->Name = QStringLiteral("First");
    EXPECT_EQ(root.Find(QStringLiteral("first")), 0);
    EXPECT_EQ(root.Find(QStringLiteral("second")), -1);
    TzsXMLItem* second = root.FindItem(QStringLiteral("second"));
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(second->Name, QStringLiteral("second"));
    EXPECT_EQ(second->Count(), 0);
    EXPECT_EQ(root.FindItem(QStringLiteral("SECOND")), second);
}

TEST(ZsXml, AddItemMovesAndRefusesCycles)
{
    TzsXMLItem root;
    TzsXMLItem* a = root.Add();
    TzsXMLItem* b = root.Add();
    TzsXMLItem* c = a->Add();
    // A child added again becomes the last child.
    root.AddItem(a);
    ASSERT_EQ(root.Count(), 2);
    EXPECT_EQ(root.Items(0), b);
    EXPECT_EQ(root.Items(1), a);
    // Moving a subtree to another parent.
    b->AddItem(c);
    EXPECT_EQ(a->Count(), 0);
    EXPECT_EQ(c->Parent(), b);
    // An item into itself or into its own descendant would make a cycle.
    EXPECT_THROW(c->AddItem(&root), plat::EInvalidOperation);
    EXPECT_THROW(b->AddItem(b), plat::EInvalidOperation);
    EXPECT_EQ(c->Parent(), b);
    EXPECT_EQ(root.Count(), 2);
    root.InsertItem(0, a);
    EXPECT_EQ(root.Items(0), a);
    EXPECT_EQ(c->Root(), &root);
}

TEST(ZsXml, AssignCopiesSubtreeAndDestroyDetaches)
{
    TzsXMLItem source;
    source.Name = QStringLiteral("s");
    source.Data = 7;
    source.Add()->Add()->Name = QStringLiteral("deep");
    TzsXMLItem copy;
    copy.Add();
    copy.Assign(&source);
    EXPECT_EQ(copy.Name, QStringLiteral("s"));
    EXPECT_EQ(copy.Data, 7);
    ASSERT_EQ(copy.Count(), 1);
    EXPECT_EQ(copy.Items(0)->Items(0)->Name, QStringLiteral("deep"));
    delete copy.Items(0);
    EXPECT_EQ(copy.Count(), 0);
    copy.Assign(nullptr);
    EXPECT_FALSE(copy.HasItemList());
}

TEST(ZsXml, LoadingRules)
{
    struct Case {
        const char* text;
        const char* error; // "" when the load succeeds
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\"?><a><b/></A>", ""},
        {"<?xml version=\"1.0\"?><a><b/></c>", "Invalid file format"},
        {"<a/>", "Invalid file format"},
        {"", "Invalid file format"},
        {"<?xml?><a x=\"1<\"/>", "Invalid file format"},
        {"<?xml?><a><b", "Invalid file format"},
        {"<?xml?><a><b/>", ""},
        {"<?xml?><a><!-- c > -- <x> --><b/></a>", ""},
    };
    for (const Case& c : cases) {
        TzsXMLDocument doc;
        EXPECT_EQ(load(doc, c.text), QString::fromLatin1(c.error)) << c.text;
    }
}

TEST(ZsXml, CutOffDocumentAndCommentsLoad)
{
    TzsXMLDocument doc;
    ASSERT_EQ(load(doc, "<?xml version=\"1.0\"?>\r\n<a t=\"1\">\r\n<!-- skipped <b/> -->\r\n  <b/>"), QString());
    EXPECT_EQ(doc.Root()->Name, QStringLiteral("a"));
    EXPECT_EQ(doc.Root()->Prop(QStringLiteral("t")), QStringLiteral("1"));
    ASSERT_EQ(doc.Root()->Count(), 1);
    EXPECT_EQ(doc.Root()->Items(0)->Name, QStringLiteral("b"));
}

TEST(ZsXml, SaveFormsAndIndent)
{
    TzsXMLDocument doc;
    doc.Root()->Name = QStringLiteral("x");
    EXPECT_EQ(doc.SaveToBytes(), QByteArray("<?xml version=\"1.0\"?><x/>"));
    TzsXMLItem* child = doc.Root()->Add();
    child->Name = QStringLiteral("y");
    child->Text = QStringLiteral("a=\"1\"");
    doc.AutoIndent = true;
    EXPECT_EQ(doc.SaveToBytes(), QByteArray("<?xml version=\"1.0\"?>\r\n<x>\r\n  <y a=\"1\"/>\r\n</x>\r\n"));
}

TEST(ZsXml, StreamPositionEndsAfterRootElement)
{
    const QByteArray head("<?xml version=\"1.0\"?><a><b/></a>");
    plat::TMemoryStream stream(head + QByteArray("TRAILING DATA"));
    TzsXMLDocument doc;
    doc.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), head.size());
}

TEST(ZsXml, LargeDocumentReadsAcrossBlocks)
{
    TzsXMLDocument doc;
    doc.Root()->Name = QStringLiteral("list");
    for (int i = 0; i < 3000; ++i)
        doc.Root()->Add()->SetProp(QStringLiteral("n"), QString::number(i));
    for (int i = 0; i < 3000; ++i)
        doc.Root()->Items(i)->Name = QStringLiteral("item");
    plat::TMemoryStream stream(doc.SaveToBytes());
    TzsXMLDocument back;
    back.LoadFromStream(stream);
    ASSERT_EQ(back.Root()->Count(), 3000);
    EXPECT_EQ(back.Root()->Items(2999)->Prop(QStringLiteral("n")), QStringLiteral("2999"));
}

TEST(ZsXml, DeepNestingNeitherOverflowsNorLeaks)
{
    QByteArray text("<?xml version=\"1.0\"?>");
    const int depth = 200000;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    TzsXMLDocument doc;
    doc.LoadFromBytes(text);
    TzsXMLItem* p = doc.Root();
    int levels = 0;
    while (p->Count() > 0) {
        p = p->Items(0);
        ++levels;
    }
    EXPECT_EQ(levels, depth - 1);
    const QString written = zs::xmlWriteText(doc.Root(), false);
    EXPECT_TRUE(written.contains(QStringLiteral("<a><a/></a></a>")));
    EXPECT_EQ(written.count(QStringLiteral("</a>")), depth - 1);
}

TEST(ZsXml, FileRoundTripAndMissingFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("t.xml"));
    TzsXMLDocument doc;
    doc.Root()->Name = QStringLiteral("r");
    doc.Root()->SetProp(QStringLiteral("v"), QStringLiteral("ř & \"q\""));
    doc.SaveToFile(name);
    TzsXMLDocument back;
    back.LoadFromFile(name);
    EXPECT_EQ(back.Root()->Prop(QStringLiteral("v")), QStringLiteral("ř & \"q\""));
    EXPECT_THROW(back.LoadFromFile(dir.filePath(QStringLiteral("missing.xml"))), plat::EFOpenError);
}

TEST(ZsXml, PythonElementTreeReadsWhatWeWrite)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
        GTEST_SKIP() << "python3 is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("t.xml"));
    const QString value = QStringLiteral("a \"q\" <b> & c\r\nd &#65; &quot;");
    TzsXMLDocument doc;
    doc.AutoIndent = true;
    doc.Root()->Name = QStringLiteral("r");
    TzsXMLItem* child = doc.Root()->Add();
    child->Name = QStringLiteral("c");
    child->SetProp(QStringLiteral("v"), value);
    doc.SaveToFile(name);

    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"),
             {QStringLiteral("-c"),
              QStringLiteral("import sys,xml.etree.ElementTree as E;"
                             "sys.stdout.buffer.write(E.parse(sys.argv[1]).getroot()[0].get('v').encode('utf-8'))"),
              name});
    ASSERT_TRUE(py.waitForFinished(30000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(py.readAllStandardOutput()), value);
}
