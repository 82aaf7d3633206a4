// The report template file: a whole template through save, an outside XML
// parser, load and save again; and the attribute rules one by one.

#include "zdModelFixture.h"
#include "zdToolRunner.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "FormatSettings.h"
#include "Streams.h"
#include "SysUtils.h"
#include "zdRes.h"
#include "zdXMLSerializer.h"
#include "../MutationTestUtil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace zdtest;

namespace {

const QString kMemoText = QString::fromUtf8("Příliš žluťoučký kůň\r\núpěl <ďábelské> ódy & \"citace\"");

struct Template {
    std::unique_ptr<TzdTestReport> report = std::make_unique<TzdTestReport>();
    TzdTestMemo* memo = nullptr;
    TzdTestMemo* plainMemo = nullptr;
    TzdUserDataSet* dataSet = nullptr;
};

// A template with nested font, frame and fill, string lists, memo text with
// Czech letters, references to a dataset that comes later in the file, a
// collection in custom data, variables and the report's custom data.
Template buildTemplate()
{
    registerTestClasses();
    Template t;
    TzdTestReport* r = t.report.get();
    r->ReportName = QString::fromUtf8("Štítky – čárové kódy");
    r->ScriptText()->SetText(QString::fromUtf8("begin\r\n  ShowMessage('Žluťoučký kůň');\r\nend.\r\n"));
    r->ReportVariables.SetVariables(QStringLiteral(" Ceník"), plat::Variant(QString()));
    r->ReportVariables.SetVariables(QStringLiteral("Cena"), plat::Variant(QStringLiteral("12,50")));
    r->ReportVariables.SetVariables(QString::fromUtf8("Název"), plat::Variant(QString::fromUtf8("kůň")));
    r->CustomData = QByteArrayLiteral("Id=\"7\"");

    auto* page = new TzdTestPage(r);
    page->SetName(QStringLiteral("Page1"));
    page->SetWidth(793.7013L);
    page->SetHeight(1122.5197L);
    page->Font()->SetName(QStringLiteral("Times New Roman"));
    page->Font()->SetSize(12);
    page->Font()->SetStyle({plat::fsBold});

    auto* band = new TzdTestBand(page);
    band->SetName(QStringLiteral("Band1"));
    band->SetBounds(0, 18.89765L, 718.1107L, 60);

    t.memo = new TzdTestMemo(band);
    TzdTestMemo* m = t.memo;
    m->SetName(QStringLiteral("Memo1"));
    m->SetBounds(10.5L, 4, 200.25L, 18.89765L);
    m->SetWideText(kMemoText + QStringLiteral("\r\n"));
    m->Frame()->Typ = {ftLeft, ftTop};
    m->Frame()->Width = 1.5L;
    m->Frame()->Color = plat::clRed;
    m->Fill()->BackColor = plat::clYellow;
    m->Fill()->Style = plat::bsClear;
    m->Hints()->SetText(QString::fromUtf8("první řádek\r\n\r\n\"třetí\" <řádek>\r\n"));
    m->Font()->SetName(QStringLiteral("Courier New"));
    m->Font()->SetStyle({plat::fsItalic, plat::fsUnderline});
    m->HAlign = thaCenter;
    m->SetRestrictions({rfDontMove});
    m->SetDescription(QString::fromUtf8("Popis s diakritikou: ěščřžýáíé"));
    auto* h1 = static_cast<TzdTestHighlight*>(m->Highlights()->Add());
    h1->Condition = QString::fromUtf8("Value > 0 and [Název] <> 'ů'");
    h1->Color = plat::clGreen;
    auto* h2 = static_cast<TzdTestHighlight*>(m->Highlights()->Add());
    h2->Condition = QStringLiteral("\"quoted\" & more");

    t.plainMemo = new TzdTestMemo(band);
    t.plainMemo->SetName(QStringLiteral("Memo2"));
    t.plainMemo->SetWideText(QStringLiteral("[Date]"));

    auto* dataPage = new TzdTestPage(r);
    dataPage->SetName(QStringLiteral("Data"));
    t.dataSet = new TzdUserDataSet(dataPage);
    t.dataSet->SetName(QStringLiteral("UserDS"));
    t.dataSet->Fields()->SetText(QStringLiteral("kod\r\npole1\r\n"));
    t.dataSet->SetLeft(60);
    t.dataSet->SetTop(20);
    t.dataSet->SetRangeEnd(reCount);
    t.dataSet->SetRangeEndCount(3);

    // Both references point forward: the dataset is written after them.
    m->SetDataSet(t.dataSet);
    r->SetDataSet(t.dataSet);
    return t;
}

QString writeTemp(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

TEST(XMLSerializer, TemplateRoundTripIsByteIdenticalAndWellFormed)
{
    Template t = buildTemplate();
    const QByteArray first = saveToBytes(t.report.get());
    ASSERT_TRUE(first.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));

    QTemporaryDir dir;
    const QString path = writeTemp(dir, QStringLiteral("template.zd3"), first);
    if (toolAvailable(QStringLiteral("xmllint"))) {
        const ToolResult lint = runTool(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path});
        EXPECT_EQ(lint.exitCode, 0) << lint.err.toStdString();
    }

    TzdTestReport loaded;
    loadFromBytes(&loaded, first);
    EXPECT_EQ(loaded.ErrorList.Count(), 0) << loaded.ErrorList.Text().toStdString();
    auto* memo = dynamic_cast<TzdTestMemo*>(loaded.FindObject(QStringLiteral("Memo1")));
    auto* dataSet = dynamic_cast<TzdUserDataSet*>(loaded.FindObject(QStringLiteral("UserDS")));
    ASSERT_NE(memo, nullptr);
    ASSERT_NE(dataSet, nullptr);
    EXPECT_EQ(memo->GetWideText(), kMemoText);
    EXPECT_EQ(memo->DataSet(), dataSet);
    EXPECT_EQ(loaded.DataSet(), dataSet);
    EXPECT_EQ(memo->Font()->Name(), QStringLiteral("Courier New"));
    EXPECT_FALSE(memo->ParentFont());
    EXPECT_EQ(memo->Frame()->Typ, (TTestFrameLines{ftLeft, ftTop}));
    EXPECT_EQ(memo->Fill()->Style, plat::bsClear);
    EXPECT_EQ(memo->Highlights()->Count(), 2);
    EXPECT_EQ(static_cast<TzdTestHighlight*>(memo->Highlights()->Items(0))->Condition,
              QString::fromUtf8("Value > 0 and [Název] <> 'ů'"));
    EXPECT_EQ(memo->Hints()->Count(), 3);
    EXPECT_EQ(dataSet->Left(), 60);
    EXPECT_EQ(dataSet->Top(), 20);
    EXPECT_EQ(dataSet->Fields()->Count(), 2);
    EXPECT_EQ(loaded.ReportVariables.Count(), 3);
    EXPECT_EQ(loaded.CustomData, QByteArrayLiteral("Id=\"7\""));
    EXPECT_EQ(loaded.ReportName, QString::fromUtf8("Štítky – čárové kódy"));
    auto* plain = dynamic_cast<TzdTestMemo*>(loaded.FindObject(QStringLiteral("Memo2")));
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(plain->ParentFont());
    EXPECT_EQ(plain->Font()->Name(), QStringLiteral("Times New Roman")); // the page's font

    const QByteArray second = saveToBytes(&loaded);
    EXPECT_EQ(second, first);
}

TEST(XMLSerializer, TemplateMatchesTheGoldenFile)
{
    Template t = buildTemplate();
    const QByteArray bytes = saveToBytes(t.report.get());
    const QString golden = QStringLiteral(SORVAMET_TEST_DATA "/model/template.zd3");
    if (qEnvironmentVariableIsSet("SORVAMET_UPDATE_GOLDEN")) {
        QFile out(golden);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    QFile in(golden);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << golden.toStdString();
    EXPECT_EQ(bytes.toStdString(), in.readAll().toStdString());
}

TEST(XMLSerializer, TemplateReadsBackInAnIndependentParser)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
        GTEST_SKIP() << "python3 missing";
    Template t = buildTemplate();
    QTemporaryDir dir;
    const QString path = writeTemp(dir, QStringLiteral("template.zd3"), saveToBytes(t.report.get()));
    const QByteArray script = R"(
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
memo = root.find('.//TzdTestMemo[@Name="Memo1"]')
sys.stdout.buffer.write((root.tag + '|' + memo.get('Text') + '|' + memo.get('Hints.Text') + '|' + memo.get('DataSet') + '|' + memo.get('Font.Name') + '|' + root.get('ReportName')).encode('utf-8'))
)";
    const ToolResult r = runTool(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(script), path});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList parts = QString::fromUtf8(r.out).split(u'|');
    ASSERT_EQ(parts.size(), 6);
    EXPECT_EQ(parts[0], QStringLiteral("TzdTestReport"));
    EXPECT_EQ(parts[1], kMemoText);
    EXPECT_EQ(parts[2], QString::fromUtf8("první řádek\r\n\r\n\"třetí\" <řádek>"));
    EXPECT_EQ(parts[3], QStringLiteral("UserDS"));
    EXPECT_EQ(parts[4], QStringLiteral("Courier New"));
    EXPECT_EQ(parts[5], QString::fromUtf8("Štítky – čárové kódy"));
}

TEST(XMLSerializer, DefaultsLeaveOutEmptyStringsAndDefaultOrdinals)
{
    registerTestClasses();
    TzdTestReport report;
    auto* memo = new TzdTestMemo(&report);
    memo->SetName(QStringLiteral("Memo1"));
    TzdXMLSerializer s(nullptr);
    const QByteArray text = s.PropertiesToText(memo, QByteArray(), nullptr);
    // Floats always; ordinals equal to their defaults, empty strings and the
    // font of an object that follows its parent's left out; every string
    // list and a text object's text always.
    EXPECT_EQ(text.toStdString(), std::string(" Left=\"0\" Top=\"0\" Width=\"0\" Height=\"0\" Frame.Width=\"1\" Hints.Text=\"\" Text=\"\""));
}

TEST(XMLSerializer, MemoTextDropsOneFinalLineBreakAndEscapes)
{
    TzdTestMemo memo(nullptr);
    TzdXMLSerializer s(nullptr);
    memo.SetWideText(QStringLiteral("AB\r\n"));
    EXPECT_TRUE(s.PropertiesToText(&memo, QByteArray(), nullptr).endsWith(" Text=\"AB\""));
    memo.SetWideText(QString::fromUtf8("a<č"));
    EXPECT_TRUE(s.PropertiesToText(&memo, QByteArray(), nullptr).endsWith(QByteArray(" Text=\"a&#60;") + QString::fromUtf8("č").toUtf8() + "\""));
}

TEST(XMLSerializer, FloatTextOfWholeNumbersIsTheGeneralFormat)
{
    // Whole numbers take a quicker road to their text; it must read as the
    // general format writes them, up to where that format turns to exponents.
    plat::TFormatSettings settings = plat::FormatSettings();
    settings.DecimalSeparator = u'.';
    const long double values[] = {0.0L, -0.0L, 1, -1, 20, 794, -1123, 65536, 123456789012345.0L,
                                  999999999999999.0L, -999999999999999.0L, 1e15L, 1e16L, 12.5L, -0.25L};
    for (long double v : values)
        EXPECT_EQ(zd::floatText(v), plat::FloatToStr(v, settings)) << double(v);
}

TEST(XMLSerializer, ReadingAttributeValues)
{
    struct Case {
        const char* text;
        long double left;
        int style;
        TTestHAlign align;
    };
    const Case cases[] = {
        {" Left=\"10,5\" Font.Style=\"3\" HAlign=\"haCenter\"", 10.5L, 3, thaCenter},
        {" Left=\"10.5\" HAlign=\"2\"", 10.5L, 0, thaCenter},
        {" Left=\" 1 0\" HAlign=\"haBlock\"", 10, 0, thaBlock},
        {"Left=\"7\" HAlign=\"haRight", 7, 0, thaLeft}, // value up to the last character but one: "haRigh"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TzdTestMemo memo(nullptr);
        TzdXMLSerializer s(nullptr);
        s.TextToProperties(QByteArray(c.text), &memo);
        EXPECT_EQ(memo.Left(), c.left);
        EXPECT_EQ(int(memo.Font()->Style().mask()), c.style);
        EXPECT_EQ(memo.HAlign, c.align);
    }
}

TEST(XMLSerializer, MissingFinalQuoteTakesValueUpToTheLastCharacterButOne)
{
    TzdTestMemo memo(nullptr);
    TzdXMLSerializer s(nullptr);
    s.TextToProperties(QByteArrayLiteral(" Description=\"abcd"), &memo);
    EXPECT_EQ(memo.Description(), QStringLiteral("abc"));
}

TEST(XMLSerializer, ABadValueIsCollectedAndReadingGoesOn)
{
    TzdTestMemo memo(nullptr);
    TzdXMLSerializer s(nullptr);
    s.TextToProperties(QByteArrayLiteral(" HAlign=\"haNowhere\" Left=\"x\" Top=\"5\" Unknown=\"1\" Big=\"9\""), &memo);
    EXPECT_EQ(s.Errors().Count(), 2);
    EXPECT_EQ(memo.Top(), 5);
    EXPECT_EQ(memo.Big, 0);
}

TEST(XMLSerializer, StringsAreUtf8AndCodePage1250StillReads)
{
    TzdTestMemo memo(nullptr);
    TzdXMLSerializer s(nullptr);
    memo.SetDescription(QString::fromUtf8("čeština"));
    const QByteArray written = s.PropertiesToText(&memo, QByteArray(), nullptr);
    EXPECT_TRUE(written.contains(QString::fromUtf8("čeština").toUtf8()));

    // A file made elsewhere with 8-bit text.
    TzdTestMemo other(nullptr);
    const QByteArray cp1250 = " Description=\"" + plat::unicodeToCp1250(QString::fromUtf8("žluťoučký")) + "\"";
    s.TextToProperties(cp1250, &other);
    EXPECT_EQ(other.Description(), QString::fromUtf8("žluťoučký"));
}

TEST(XMLSerializer, UnknownClassIsReportedOnceAndItsSubtreeSkipped)
{
    registerTestClasses();
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                           "<TzdTestReport>\n"
                           "  <TzdTestPage Name=\"Page1\">\n"
                           "    <TNoSuchView Name=\"X1\"><TzdTestMemo Name=\"Inner\"/></TNoSuchView>\n"
                           "    <TNoSuchView Name=\"X2\"/>\n"
                           "    <TzdTestMemo Name=\"Memo1\"/>\n"
                           "  </TzdTestPage>\n"
                           "</TzdTestReport>\n";
    TzdTestReport report;
    loadFromBytes(&report, xml);
    ASSERT_EQ(report.ErrorList.Count(), 1);
    EXPECT_EQ(report.ErrorList.Strings(0),
              zdGetResources()->GetText(QStringLiteral("xrCantFindClass")) + QStringLiteral(" TNoSuchView"));
    EXPECT_EQ(report.FindObject(QStringLiteral("Inner")), nullptr);
    EXPECT_NE(report.FindObject(QStringLiteral("Memo1")), nullptr);
}

TEST(XMLSerializer, ReadingAgainUpdatesObjectsOfTheSameName)
{
    registerTestClasses();
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                           "<TzdTestReport><TzdTestPage Name=\"Page1\"><TzdTestMemo Name=\"Memo1\" Left=\"5\"/>"
                           "</TzdTestPage></TzdTestReport>";
    TzdTestReport report;
    loadFromBytes(&report, xml);
    TzdComponent* page = report.FindObject(QStringLiteral("Page1"));
    ASSERT_NE(page, nullptr);
    page->SetLeft(1);
    TzdXMLSerializer s(nullptr);
    TzdXMLDocument doc;
    plat::TMemoryStream stream(QByteArray(xml).replace("\"5\"", "\"9\""));
    doc.LoadFromStream(stream);
    s.ReadRootComponent(&report, doc.Root());
    EXPECT_EQ(report.AllObjects().size(), 2u);
    EXPECT_EQ(report.FindObject(QStringLiteral("Memo1"))->Left(), 9);
}

TEST(XMLSerializer, UnresolvedReferenceGoesToTheErrorList)
{
    registerTestClasses();
    const QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                           "<TzdTestReport><TzdTestMemo Name=\"Memo1\" DataSet=\"Missing1\"/></TzdTestReport>";
    TzdTestReport report;
    loadFromBytes(&report, xml);
    ASSERT_EQ(report.ErrorList.Count(), 1);
    EXPECT_TRUE(report.ErrorList.Strings(0).contains(QStringLiteral("Missing1")));
    EXPECT_TRUE(report.ErrorList.Strings(0).contains(QStringLiteral("Memo1.DataSet")));
}

TEST(XMLSerializer, NilClearsAReference)
{
    TzdTestReport report;
    auto* ds = new TzdUserDataSet(&report);
    auto* memo = new TzdTestMemo(&report);
    memo->SetDataSet(ds);
    TzdXMLSerializer s(nullptr);
    s.Owner = &report;
    s.TextToProperties(QByteArrayLiteral(" DataSet=\"nil\""), memo);
    s.ResolveFixups();
    EXPECT_EQ(memo->DataSet(), nullptr);
    EXPECT_EQ(s.Errors().Count(), 0);
}

TEST(XMLSerializer, EachPropDataRecordReplaysFromAnEmptyStream)
{
    registerTestClasses();
    TzdTestReport report;
    auto* longer = new TzdTestMemo(&report);
    for (int i = 0; i < 3; ++i)
        static_cast<TzdTestHighlight*>(longer->Highlights()->Add())->Condition = QStringLiteral("a long condition %1").arg(i);
    auto* shorter = new TzdTestMemo(&report);
    static_cast<TzdTestHighlight*>(shorter->Highlights()->Add())->Condition = QStringLiteral("x");
    longer->StreamWriting = true;
    shorter->StreamWriting = true;
    TzdXMLSerializer writer(nullptr);
    writer.Owner = &report;
    const QByteArray a = writer.PropertiesToText(longer, QByteArray(), nullptr);
    const QByteArray b = writer.PropertiesToText(shorter, QByteArray(), nullptr);

    TzdTestMemo first(&report), second(&report);
    TzdXMLSerializer reader(nullptr);
    reader.Owner = &report;
    reader.TextToProperties(a, &first);
    reader.TextToProperties(b, &second);
    EXPECT_EQ(first.Highlights()->Count(), 3);
    ASSERT_EQ(second.Highlights()->Count(), 1);
    EXPECT_EQ(static_cast<TzdTestHighlight*>(second.Highlights()->Items(0))->Condition, QStringLiteral("x"));
}

TEST(XMLSerializer, InheritedObjectsAreWrittenAsInheritedWithTheirDifferences)
{
    registerTestClasses();
    TzdTestReport base;
    auto* baseMemo = new TzdTestMemo(&base);
    baseMemo->SetName(QStringLiteral("Memo1"));
    baseMemo->SetLeft(10);
    baseMemo->SetWideText(QStringLiteral("same"));

    TzdTestReport child;
    child.Ancestor = &base;
    auto* memo = new TzdTestMemo(&child);
    memo->SetName(QStringLiteral("Memo1"));
    memo->SetLeft(10);
    memo->SetTop(30);
    memo->SetWideText(QStringLiteral("same"));
    memo->SetAncestor(true);
    const QByteArray xml = saveToBytes(&child);
    EXPECT_TRUE(xml.contains("<inherited Name=\"Memo1\" Top=\"30\""));
    EXPECT_FALSE(xml.contains("Left="));
    EXPECT_FALSE(xml.contains("Text="));

    // Reading: the inherited element updates the existing object; an
    // inherited element without one is skipped.
    TzdTestReport target;
    auto* existing = new TzdTestMemo(&target);
    existing->SetName(QStringLiteral("Memo1"));
    loadFromBytes(&target, QByteArray(xml).replace("</TzdTestReport>", "<inherited Name=\"Gone\"/></TzdTestReport>"));
    EXPECT_EQ(target.AllObjects().size(), 0u) << "not inherited: cleared by the load";
}

TEST(XMLSerializer, ObjectFromTextAndElement)
{
    registerTestClasses();
    TzdTestReport report;
    auto* band = new TzdTestBand(&report);
    band->SetName(QStringLiteral("Band1"));
    TzdXMLSerializer s(nullptr);
    TzdComponent* obj = s.ReadObjectFromText(band, QByteArrayLiteral("TzdTestMemo Left=\"3\" Text=\"hi\""), false);
    ASSERT_NE(obj, nullptr);
    EXPECT_EQ(obj->Parent(), band);
    EXPECT_EQ(obj->Left(), 3);
    EXPECT_EQ(dynamic_cast<TzdTestMemo*>(obj)->GetWideText(), QStringLiteral("hi"));
    EXPECT_EQ(s.ReadObjectFromText(band, QByteArrayLiteral("   "), false), nullptr);
    EXPECT_THROW(s.ReadObjectFromText(band, QByteArrayLiteral("TNothing A=\"1\""), false), plat::EClassNotFound);

    plat::TMemoryStream out;
    TzdXMLSerializer w(&out);
    w.WriteObjectElement(obj);
    EXPECT_TRUE(out.bytes().startsWith("<TzdTestMemo Left=\"3\""));
    EXPECT_TRUE(out.bytes().endsWith(" Text=\"hi\"/>"));
}

TEST(XMLSerializer, FloatsUseAPointWhateverTheLocale)
{
    plat::TFormatSettings& settings = plat::FormatSettings();
    const QChar saved = settings.DecimalSeparator;
    settings.DecimalSeparator = u',';
    TzdTestMemo memo(nullptr);
    memo.SetLeft(439.65337L);
    TzdXMLSerializer s(nullptr);
    const QByteArray text = s.PropertiesToText(&memo, QByteArray(), nullptr);
    TzdTestMemo back(nullptr);
    s.TextToProperties(QByteArrayLiteral(" Left=\"10,5\" Top=\"2.25\""), &back);
    settings.DecimalSeparator = saved;
    EXPECT_TRUE(text.startsWith(" Left=\"439.65337\"")) << text.toStdString();
    EXPECT_EQ(back.Left(), 10.5L);
    EXPECT_EQ(back.Top(), 2.25L);
}

TEST(XMLSerializer, ReferenceNamesOfObjectsOutsideTheReport)
{
    TzdTestReport report;
    plat::TComponent form(nullptr);
    form.SetName(QStringLiteral("Form1"));
    auto* onForm = new TzdUserDataSet(&form);
    onForm->SetName(QStringLiteral("Table1"));
    auto* inReport = new TzdUserDataSet(&report);
    inReport->SetName(QStringLiteral("DS1"));
    EXPECT_EQ(zdGetFullName(&report, inReport), QStringLiteral("DS1"));
    EXPECT_EQ(zdGetFullName(&report, onForm), QStringLiteral("Form1.Table1"));
    EXPECT_EQ(zdGetFullName(&report, nullptr), QString());

    // The report itself belongs to the form: its components are found by
    // their bare names and by Form.Component.
    plat::TComponent host(nullptr);
    host.SetName(QStringLiteral("Host"));
    auto* hosted = new TzdTestReport(&host);
    auto* hostTable = new TzdUserDataSet(&host);
    hostTable->SetName(QStringLiteral("HostTable"));
    EXPECT_EQ(zdFindComponent(hosted, QStringLiteral("HostTable")), hostTable);
    EXPECT_EQ(zdFindComponent(hosted, QStringLiteral("Host.HostTable")), hostTable);
    EXPECT_EQ(zdFindComponent(hosted, QStringLiteral("Nothing")), nullptr);
}

TEST(XMLSerializer, DiffFullIsTheElementTextPlusTheBasicDifference)
{
    TzdTestMemo reference(nullptr), memo(nullptr);
    memo.SetLeft(5);
    memo.SetWideText(QStringLiteral("x"));
    const QString full = memo.DiffFull(&reference);
    EXPECT_TRUE(full.startsWith(QStringLiteral(" Left=\"5\" Top=\"0\""))) << full.toStdString();
    EXPECT_TRUE(full.endsWith(QStringLiteral(" Text=\"x\" l=\"5\""))) << full.toStdString();
    EXPECT_EQ(memo.DiffFull(nullptr), full.left(full.size() - 6));
}

// ---------------------------------------------------------------- damaged templates

TEST(XMLSerializer, MutatedTemplatesLoadOrRaiseNeverCrash)
{
    registerTestClasses();
    QFile golden(QStringLiteral(SORVAMET_TEST_DATA "/model/template.zd3"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const auto outcome = mutation::runMutations({golden.readAll()}, 1000, 1250, mutation::textTokens(),
                                                [](const QByteArray& b) {
                                                    TzdTestReport report;
                                                    loadFromBytes(&report, b);
                                                    plat::TMemoryStream out;
                                                    report.SaveToStream(out);
                                                });
    EXPECT_GT(outcome.accepted, 300);
}

// Damaged templates that once did harm, each the smallest that showed it.
TEST(XMLSerializer, DamagedTemplatesThatOnceDidHarm)
{
    registerTestClasses();
    struct Case {
        const char* name;
        QByteArray text;
    };
    const Case cases[] = {
        // A collection item's long string claiming 2 GB was allocated (and
        // zeroed) before reading; an allocation limit of the sanitizer shows it.
        {"collection item text longer than the data", " PropData=\"0A486967686C69676874730101" "0CFFFFFF7F20\""},
    };
    for (const Case& c : cases) {
        TzdTestMemo memo(nullptr);
        TzdXMLSerializer s(nullptr);
        s.TextToProperties(c.text + " Top=\"5\"", &memo);
        EXPECT_EQ(memo.Highlights()->Count(), 0) << c.name; // the damaged record ends its own replay
        EXPECT_EQ(memo.Top(), 5) << c.name;                  // and the element reads on
    }
}
