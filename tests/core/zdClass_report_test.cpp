// The report document: its options, loading and saving templates (plain,
// compressed, encrypted, with a password, inheriting), and what a failed
// load or save leaves behind.

#include "Exceptions.h"
#include "IniFiles.h"
#include "KeyStore.h"
#include "ScriptedServices.h"
#include "Streams.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdClass_shape.h"
#include "zdClass_style.h"
#include "zdCrypt.h"
#include "zdDrawText.h"
#include "zdDataSets.h"
#include "zdModelFixture.h"
#include "zdToolRunner.h"
#include "zdVariables.h"
#include "Graphics.h"
#include "zdZLib.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace zdtest {
// A crypter whose encryption fails after the file has been opened.
class FailingCrypter : public TzdCustomCrypter {
    PLAT_CLASS(FailingCrypter, TzdCustomCrypter)
public:
    explicit FailingCrypter(plat::TComponent* AOwner) : TzdCustomCrypter(AOwner, StaticClass()) {}
    bool Decrypt(plat::TStream&, const QString&) override { return false; }
    void Encrypt(plat::TStream& Dest, const QString&) override
    {
        Dest.WriteBuffer("partial", 7);
        throw plat::EWriteError(QStringLiteral("Stream write error"));
    }
};
} // namespace zdtest

PLAT_DEFINE_CLASS(zdtest::FailingCrypter, c) {}

namespace {

QByteArray bytesOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Which of the registered compressor and crypter classes a case runs with.
class ServiceClasses {
public:
    ServiceClasses(bool compressor, bool crypter)
        : m_compressorClass(zdCompressorClass)
        , m_crypterClass(zdCrypterClass)
    {
        if (compressor)
            m_compressor = std::make_unique<TzdGZipCompressor>(nullptr);
        else
            zdCompressorClass = nullptr;
        if (crypter) {
            TzdCrypt make(nullptr);
            zdCrypterClass = TzdCrypt::StaticClass();
        } else {
            zdCrypterClass = nullptr;
        }
    }
    ~ServiceClasses()
    {
        m_compressor.reset();
        zdCompressorClass = m_compressorClass;
        zdCrypterClass = m_crypterClass;
    }

private:
    const plat::TClass* m_compressorClass;
    const plat::TClass* m_crypterClass;
    std::unique_ptr<TzdGZipCompressor> m_compressor;
};

// A report with a page, bands of a few kinds, a shape, a variable and
// options set.
void fillReport(TzdReport& report)
{
    auto* page = new TzdReportPage(&report);
    page->SetParent(&report);
    page->SetName(QStringLiteral("Page1"));
    page->LeftMargin = 10;
    page->SetOrientation(plat::poLandscape);
    page->SetColumns(2);
    auto* title = new TzdReportTitle(&report);
    title->SetParent(page);
    title->SetName(QStringLiteral("ReportTitle1"));
    title->SetHeight(40);
    auto* data = new TzdMasterData(&report);
    data->SetParent(page);
    data->SetName(QStringLiteral("MasterData1"));
    data->SetTop(60);
    data->SetHeight(30);
    data->SetRowCount(3);
    auto* child = new TzdChild(&report);
    child->SetParent(page);
    child->SetName(QStringLiteral("Child1"));
    child->SetTop(100);
    data->SetChild(child);
    auto* shape = new TzdShapeView(&report);
    shape->SetParent(data);
    shape->SetName(QStringLiteral("Shape1"));
    shape->SetBounds(10, 2, 100, 20);
    auto* group = new TzdGroupHeader(&report);
    group->SetParent(page);
    group->SetName(QStringLiteral("GroupHeader1"));
    group->Condition = QStringLiteral("<kod> & \"x\"");
    report.ReportOptions()->Name = QStringLiteral("Štítky – zkouška");
    report.ReportOptions()->Author = QStringLiteral("Ján");
    report.EngineOptions()->DoublePass = true;
    TzdVariable* variable = report.Variables()->Add();
    variable->SetName(QStringLiteral("Sleva"));
    variable->SetValue(plat::Variant(QStringLiteral("5 %")));
}

struct RoundTrip {
    QByteArray second;
    QByteArray third;
};

RoundTrip roundTrip(const QString& first, const QString& folder)
{
    RoundTrip r;
    const QString second = folder + QStringLiteral("/second.zd3");
    const QString third = folder + QStringLiteral("/third.zd3");
    TzdReport a;
    a.EngineOptions()->NewSilentMode = simReThrow;
    EXPECT_TRUE(a.LoadFromFile(first));
    EXPECT_TRUE(a.ErrorList().isEmpty()) << a.ErrorList().join(u'\n').toStdString();
    a.SaveToFile(second);
    TzdReport b;
    b.EngineOptions()->NewSilentMode = simReThrow;
    EXPECT_TRUE(b.LoadFromFile(second));
    b.SaveToFile(third);
    r.second = bytesOf(second);
    r.third = bytesOf(third);
    return r;
}

class ReportFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        zdtest::startReportLibrary();
        zd::setPasswordPrompt(nullptr);
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    plat::ScriptedServices ui;
    plat::ScopedServices uiScope{ui};
};

TEST_F(ReportFiles, LoadSaveLoadSaveIsByteIdentical)
{
    const struct {
        const char* name;
        bool compressed;
        bool crypter;
        const char* password;
    } cases[] = {
        {"plain", false, false, ""},
        {"compressed", true, false, ""},
        {"encrypted", false, true, "tajné"},
        {"scrambled", false, false, "heslo123"},
        {"compressed-encrypted", true, true, "x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ServiceClasses classes(true, c.crypter);
        const QString folder = path(QString::fromLatin1(c.name));
        QDir().mkpath(folder);
        const QString first = folder + QStringLiteral("/first.zd3");
        {
            TzdReport report;
            fillReport(report);
            report.ReportOptions()->Compressed = c.compressed;
            report.ReportOptions()->Password = QString::fromUtf8(c.password);
            report.SaveToFile(first);
            EXPECT_EQ(report.ReportOptions()->Password, QString::fromUtf8(c.password));
        }
        const bool asks = *c.password != 0;
        for (int i = 0; i < 2 && asks; ++i)
            ui.AnswerInput(QString::fromUtf8(c.password));
        const RoundTrip r = roundTrip(first, folder);
        EXPECT_FALSE(r.second.isEmpty());
        EXPECT_EQ(r.second, r.third);
        EXPECT_EQ(ui.PendingAnswers(), 0);
        const QString second = folder + QStringLiteral("/second.zd3");
        if (!c.compressed && !c.crypter && zdtest::toolAvailable(QStringLiteral("xmllint"))) {
            const zdtest::ToolResult lint = zdtest::runTool(QStringLiteral("xmllint"), {QStringLiteral("--noout"), second});
            EXPECT_EQ(lint.exitCode, 0) << lint.err.toStdString();
        }
        if (c.compressed) {
            EXPECT_EQ(zdtest::runTool(QStringLiteral("gzip"), {QStringLiteral("-t"), second}).exitCode, 0);
            const zdtest::ToolResult list = zdtest::runTool(QStringLiteral("gzip"), {QStringLiteral("-lN"), second});
            EXPECT_TRUE(list.out.contains("1.zd3")) << list.out.toStdString();
        }
        if (c.crypter && !c.compressed)
            EXPECT_TRUE(r.second.startsWith("rij"));
        if (QByteArray(c.name) == "scrambled") {
            EXPECT_FALSE(r.second.contains("heslo123"));
            EXPECT_TRUE(r.second.contains("ReportOptions.Password=\"^[ibe'()\""));
        }
        if (!c.compressed && !c.crypter)
            EXPECT_TRUE(r.second.contains("Condition=\"&#60;kod&#62; &#38; &#34;x&#34;\""));
    }
}

TEST_F(ReportFiles, LoadedTemplateKeepsItsObjectsAndOptions)
{
    ServiceClasses classes(true, false);
    {
        TzdReport report;
        fillReport(report);
        report.SaveToFile(path(QStringLiteral("t.zd3")));
    }
    TzdReport report;
    report.PreviewOptions()->Modal = false;         // the host's value
    report.PreviewOptions()->OutlineVisible = true; // a template value: the file wins
    ASSERT_TRUE(report.LoadFromFile(path(QStringLiteral("t.zd3"))));
    EXPECT_FALSE(report.PreviewOptions()->Modal);
    EXPECT_FALSE(report.PreviewOptions()->OutlineVisible);
    EXPECT_TRUE(report.EngineOptions()->DoublePass);
    EXPECT_EQ(report.ReportOptions()->Name, QStringLiteral("Štítky – zkouška"));
    EXPECT_EQ(report.GetPageByIndex(0)->Name(), QStringLiteral("Data"));
    auto* page = dynamic_cast<TzdReportPage*>(report.FindObject(QStringLiteral("Page1")));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->Orientation(), plat::poLandscape);
    EXPECT_EQ(page->Columns(), 2);
    auto* data = dynamic_cast<TzdMasterData*>(report.FindObject(QStringLiteral("MasterData1")));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->Child(), report.FindObject(QStringLiteral("Child1")));
    EXPECT_EQ(data->RowCount(), 3);
    EXPECT_EQ(report.Variables()->Count(), 1);
    EXPECT_EQ(report.Version(), QStringLiteral("5.6.18"));
}

TEST_F(ReportFiles, MissingFileLeavesAnEmptyReport)
{
    TzdReport report;
    fillReport(report);
    EXPECT_FALSE(report.LoadFromFile(path(QStringLiteral("none.zd3"))));
    EXPECT_EQ(report.GetPageCount(), 0);
    EXPECT_TRUE(report.FileName.isEmpty());
    EXPECT_THROW(report.LoadFromFile(path(QStringLiteral("none.zd3")), true), plat::Exception);
}

// A damaged child chain that loops in the file ends the load, not the
// program.
TEST_F(ReportFiles, LoopingChildChainInAFileLoadsWithAnError)
{
    QFile f(path(QStringLiteral("loop.zd3")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<TzdReport>\n"
            "<TzdReportPage Name=\"Page1\">\n"
            "<TzdChild Name=\"B\" Child=\"C\"/>\n<TzdChild Name=\"C\" Child=\"B\"/>\n"
            "</TzdReportPage>\n</TzdReport>\n");
    f.close();
    TzdReport report;
    report.EngineOptions()->NewSilentMode = simSilent;
    ASSERT_TRUE(report.LoadFromFile(f.fileName()));
    ASSERT_EQ(report.ErrorList().size(), 1);
    EXPECT_TRUE(report.ErrorList()[0].contains(QStringLiteral("Circular child reference")));
    auto* b = dynamic_cast<TzdBand*>(report.FindObject(QStringLiteral("B")));
    auto* c = dynamic_cast<TzdBand*>(report.FindObject(QStringLiteral("C")));
    ASSERT_TRUE(b && c);
    EXPECT_FALSE(b->Child() == c && c->Child() == b);
}

TEST_F(ReportFiles, PasswordIsScrambledWithoutACrypter)
{
    EXPECT_EQ(zd::scramblePassword(QStringLiteral("abc")), QStringLiteral("WXY"));
    EXPECT_EQ(zd::unscramblePassword(zd::scramblePassword(QStringLiteral("Žluť 1"))), QStringLiteral("Žluť 1"));
}

TEST_F(ReportFiles, WrongPasswordClearsTheReportBeforeItRaises)
{
    ServiceClasses classes(true, false);
    {
        TzdReport report;
        fillReport(report);
        report.ReportOptions()->Password = QStringLiteral("right");
        report.SaveToFile(path(QStringLiteral("p.zd3")));
    }
    TzdReport report;
    report.EngineOptions()->NewSilentMode = simReThrow;
    ui.AnswerInput(QStringLiteral("wrong"));
    EXPECT_THROW(report.LoadFromFile(path(QStringLiteral("p.zd3"))), plat::Exception);
    EXPECT_EQ(report.GetPageCount(), 0);
    EXPECT_TRUE(report.ReportOptions()->Name.isEmpty());
    EXPECT_TRUE(report.ReportOptions()->Password.isEmpty());

    // Under message boxes the refusal is shown and the report is empty.
    TzdReport shown;
    ui.AnswerInput(QStringLiteral("wrong"));
    ui.AnswerMessage(1);
    EXPECT_TRUE(shown.LoadFromFile(path(QStringLiteral("p.zd3"))));
    EXPECT_EQ(shown.GetPageCount(), 0);
    EXPECT_TRUE(shown.ErrorList().contains(QStringLiteral("Invalid password")));
}

TEST_F(ReportFiles, FailedSaveKeepsTheOldFileAndThePlainPassword)
{
    ServiceClasses classes(true, false);
    const QString folder = path(QStringLiteral("ro"));
    QDir().mkpath(folder);
    const QString file = folder + QStringLiteral("/t.zd3");
    TzdReport report;
    fillReport(report);
    report.SaveToFile(file);
    const QByteArray before = bytesOf(file);
    report.ReportOptions()->Password = QStringLiteral("heslo");
    report.ReportOptions()->Name = QStringLiteral("changed");

    // A stream that fails part way.
    class FailingStream : public plat::TMemoryStream {
    public:
        qint64 Write(const void* buffer, qint64 count) override
        {
            if (Size() + count > 100)
                throw plat::EWriteError(QStringLiteral("Stream write error"));
            return plat::TMemoryStream::Write(buffer, count);
        }
    } failing;
    EXPECT_THROW(report.SaveToStream(failing), plat::Exception);
    EXPECT_EQ(report.ReportOptions()->Password, QStringLiteral("heslo"));

    // A folder that cannot be written (not for the superuser, who can).
    if (geteuid() != 0) {
        ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);
        EXPECT_THROW(report.SaveToFile(file), plat::Exception);
        chmod(QFile::encodeName(folder).constData(), 0755);
        EXPECT_EQ(bytesOf(file), before);
        EXPECT_EQ(report.ReportOptions()->Password, QStringLiteral("heslo"));
    }
    // A crypter that fails half way through the file.
    {
        const plat::TClass* previous = zdCrypterClass;
        zdCrypterClass = zdtest::FailingCrypter::StaticClass();
        EXPECT_THROW(report.SaveToFile(file), plat::Exception);
        zdCrypterClass = previous;
        EXPECT_EQ(bytesOf(file), before);
        EXPECT_EQ(report.ReportOptions()->Password, QStringLiteral("heslo"));
    }
    // A file name that cannot be created (a folder of that name).
    QDir().mkpath(folder + QStringLiteral("/blocked.zd3"));
    EXPECT_THROW(report.SaveToFile(folder + QStringLiteral("/blocked.zd3")), plat::Exception);
    EXPECT_EQ(report.ReportOptions()->Password, QStringLiteral("heslo"));
    EXPECT_EQ(bytesOf(file), before);
}

// --- inheritance

class Inheritance : public ReportFiles {
protected:
    void writeParent(const QString& file, const QString& parentName = {})
    {
        TzdReport report;
        fillReport(report);
        if (!parentName.isEmpty())
            report.SetParentReport(parentName);
        report.SaveToFile(file);
    }
    void writeTemplate(const QString& file, const QString& parentName)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<TzdReport ParentReport=\"" +
                parentName.toUtf8() + "\">\n<TzdDataPage Name=\"Data\"/>\n</TzdReport>\n");
    }
};

TEST_F(Inheritance, ChildTemplateRoundTripsAndWritesOnlyItsDifferences)
{
    ServiceClasses classes(true, false);
    writeParent(path(QStringLiteral("base.zd3")));
    {
        TzdReport child;
        child.FileName = path(QStringLiteral("child.zd3"));
        child.SetParentReport(QStringLiteral("base.zd3"));
        ASSERT_TRUE(child.ParentTemplate());
        auto* shape = dynamic_cast<TzdShapeView*>(child.FindObject(QStringLiteral("Shape1")));
        ASSERT_TRUE(shape);
        EXPECT_TRUE(shape->IsAncestor());
        shape->SetWidth(150);
        auto* extra = new TzdShapeView(&child);
        extra->SetParent(child.FindObject(QStringLiteral("ReportTitle1")));
        extra->SetName(QStringLiteral("Own1"));
        child.SaveToFile(path(QStringLiteral("child.zd3")));
    }
    const QByteArray saved = bytesOf(path(QStringLiteral("child.zd3")));
    EXPECT_TRUE(saved.contains("ParentReport=\"base.zd3\""));
    EXPECT_TRUE(saved.contains("<inherited Name=\"Shape1\""));
    EXPECT_TRUE(saved.contains("<TzdShapeView Name=\"Own1\""));
    const RoundTrip r = roundTrip(path(QStringLiteral("child.zd3")), dir.path());
    EXPECT_EQ(r.second, r.third);
    TzdReport loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path(QStringLiteral("child.zd3"))));
    EXPECT_EQ(double(loaded.FindObject(QStringLiteral("Shape1"))->Width()), 150.0);
    EXPECT_TRUE(loaded.FindObject(QStringLiteral("Own1")));
    EXPECT_EQ(loaded.ParentReport(), QStringLiteral("base.zd3"));
}

TEST_F(Inheritance, SelfParentAndCyclesGiveOneErrorAndNoCrash)
{
    writeTemplate(path(QStringLiteral("self.zd3")), QStringLiteral("self.zd3"));
    writeTemplate(path(QStringLiteral("a.zd3")), QStringLiteral("b.zd3"));
    writeTemplate(path(QStringLiteral("b.zd3")), QStringLiteral("a.zd3"));
    for (const char* name : {"self.zd3", "a.zd3"}) {
        SCOPED_TRACE(name);
        TzdReport report;
        report.EngineOptions()->NewSilentMode = simSilent;
        ASSERT_TRUE(report.LoadFromFile(path(QString::fromLatin1(name))));
        ASSERT_EQ(report.ErrorList().size(), 1) << report.ErrorList().join(u'\n').toStdString();
        EXPECT_TRUE(report.ErrorList()[0].contains(QStringLiteral("Circular")));
    }
    TzdReport self;
    self.EngineOptions()->NewSilentMode = simSilent;
    self.LoadFromFile(path(QStringLiteral("self.zd3")));
    EXPECT_EQ(self.ParentTemplate(), nullptr);
}

TEST_F(Inheritance, WindowsNamesOfParentsResolveAndStayAsWritten)
{
    QDir().mkpath(path(QStringLiteral("sub")));
    writeParent(path(QStringLiteral("base.zd3")));
    writeTemplate(path(QStringLiteral("sub/child.zd3")), QStringLiteral("..\\base.zd3"));
    writeTemplate(path(QStringLiteral("drive.zd3")), QStringLiteral("C:\\Sablony\\base.zd3"));
    for (const char* name : {"sub/child.zd3", "drive.zd3"}) {
        SCOPED_TRACE(name);
        TzdReport report;
        report.EngineOptions()->NewSilentMode = simSilent;
        ASSERT_TRUE(report.LoadFromFile(path(QString::fromLatin1(name))));
        EXPECT_TRUE(report.ErrorList().isEmpty()) << report.ErrorList().join(u'\n').toStdString();
        EXPECT_TRUE(report.FindObject(QStringLiteral("Shape1")));
        report.SaveToFile(path(QStringLiteral("out.zd3")));
        EXPECT_TRUE(bytesOf(path(QStringLiteral("out.zd3"))).contains(
            "ParentReport=\"" + report.ParentReport().toUtf8() + '"'));
    }
    EXPECT_EQ(zd::windowsRelativePath(QStringLiteral("C:\\x\\base.zd3"), QStringLiteral("C:\\x\\sub\\child.zd3")),
              QStringLiteral("..\\base.zd3"));
    EXPECT_EQ(zd::windowsRelativePath(QStringLiteral("D:\\x\\base.zd3"), QStringLiteral("C:\\x\\child.zd3")),
              QStringLiteral("D:\\x\\base.zd3"));
}

// --- options

TEST(ReportOptions, SilentModeIsAViewOfTheNewMode)
{
    TzdEngineOptions o;
    o.NewSilentMode = simReThrow;
    EXPECT_FALSE(o.SilentMode());
    o.SetSilentMode(false);
    EXPECT_EQ(o.NewSilentMode, simMessageBoxes);
    o.SetSilentMode(true);
    EXPECT_EQ(o.NewSilentMode, simSilent);
}

TEST(ReportOptions, ClearGivesTheTemplateValuesBack)
{
    zdtest::startReportLibrary();
    TzdReport report;
    report.PrintOptions()->Printer = QStringLiteral("HP");
    report.PrintOptions()->Copies = 3;
    report.ReportOptions()->Password = QStringLiteral("x");
    report.ReportOptions()->AcceptedPassword = QStringLiteral("x");
    report.PreviewOptions()->Modal = false;
    report.Clear();
    EXPECT_EQ(report.PrintOptions()->Printer, QStringLiteral("Předvolená"));
    EXPECT_EQ(report.PrintOptions()->Copies, 1);
    EXPECT_TRUE(report.ReportOptions()->Password.isEmpty());
    EXPECT_TRUE(report.ReportOptions()->AcceptedPassword.isEmpty());
    EXPECT_FALSE(report.PreviewOptions()->Modal);
    EXPECT_EQ(report.ScriptText()->Text(), QStringLiteral("begin\r\n\r\nend.\r\n"));
    EXPECT_EQ(report.SystemVariableNames().size(), 9);
}

TEST(ReportOptions, AssignIgnoresOtherClasses)
{
    TzdPrintOptions a, b;
    b.Copies = 4;
    b.Duplex = dmVertical;
    a.Assign(&b);
    EXPECT_EQ(a.Copies, 4);
    EXPECT_EQ(a.Duplex, dmNone);
    TzdEngineOptions e;
    a.Assign(&e); // nothing happens
    EXPECT_EQ(a.Copies, 4);
}

TEST(ReportOptions, AskPasswordSkipsAcceptedPasswords)
{
    zdtest::startReportLibrary();
    zd::setPasswordPrompt(nullptr);
    plat::ScriptedServices ui;
    plat::ScopedServices scope(ui);
    TzdReport report;
    EXPECT_TRUE(report.ReportOptions()->AskPassword());
    report.ReportOptions()->Password = QStringLiteral("a");
    report.ReportOptions()->AcceptedPassword = QStringLiteral("a");
    EXPECT_TRUE(report.ReportOptions()->AskPassword());
    EXPECT_TRUE(ui.Calls().empty());
    report.ReportOptions()->AcceptedPassword.clear();
    report.EngineOptions()->NewSilentMode = simSilent;
    ui.Cancel(QStringLiteral("InputQuery"));
    EXPECT_FALSE(report.ReportOptions()->AskPassword());
    EXPECT_EQ(report.ErrorList().last(), QStringLiteral("Invalid password"));
    ui.AnswerInput(QStringLiteral("a"));
    EXPECT_TRUE(report.ReportOptions()->AskPassword());
    EXPECT_EQ(report.ReportOptions()->AcceptedPassword, QStringLiteral("a"));
}

TEST(ReportDataSets, FindByNameIgnoresCaseAndSkipsEmptyItems)
{
    zdtest::startReportLibrary();
    TzdReport report;
    TzdUserDataSet orders(nullptr);
    orders.SetUserName(QStringLiteral("Orders"));
    report.DataSets()->Add();
    report.DataSets()->AddDataSet(&orders);
    EXPECT_EQ(report.DataSets()->FindByName(QStringLiteral("orders")), report.DataSets()->GetItem(1));
    TzdDataSetItem* item = report.DataSets()->GetItem(1);
    item->SetDataSetName(QStringLiteral("NoSuchDataSet"));
    EXPECT_EQ(item->DataSet(), &orders);
    item->SetDataSetName(QString());
    EXPECT_EQ(item->DataSet(), nullptr);
    report.DataSets()->InitializeAll(); // skips items without a dataset
}

} // namespace

namespace {

TEST_F(ReportFiles, TemplateWithoutADataPageGetsOneWithTheDialogComponents)
{
    QFile f(path(QStringLiteral("nodata.zd3")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<TzdReport Version=\"4.0\">\n"
            "<TzdReportPage Name=\"Page1\">\n"
            "<TzdUserDataSet Name=\"A\" UserName=\"A\"/>\n<TzdUserDataSet Name=\"B\" UserName=\"B\"/>\n"
            "</TzdReportPage>\n<TzdReportPage Name=\"Data\"/>\n</TzdReport>\n");
    f.close();
    plat::RegisterClass(TzdUserDataSet::StaticClass());
    TzdReport report;
    report.EngineOptions()->NewSilentMode = simSilent;
    ASSERT_TRUE(report.LoadFromFile(f.fileName()));
    EXPECT_EQ(report.Version(), QStringLiteral("5.6.18"));
    TzdComponent* first = report.GetPageByIndex(0);
    QString pages;
    for (TzdComponent* c : report.Children())
        pages += c->ClassName() + u' ' + c->Name() + u';';
    ASSERT_TRUE(first->InheritsFrom(TzdDataPage::StaticClass()))
        << pages.toStdString() << report.ErrorList().join(u'\n').toStdString();
    EXPECT_EQ(first->Name(), QStringLiteral("DataPage1")); // "Data" is taken
    TzdComponent* a = report.FindObject(QStringLiteral("A"));
    TzdComponent* b = report.FindObject(QStringLiteral("B"));
    QString all;
    for (TzdComponent* c : report.AllObjects())
        all += c->ClassName() + u' ' + c->Name() + u';';
    ASSERT_TRUE(a && b) << all.toStdString() << report.ErrorList().join(u'\n').toStdString();
    EXPECT_EQ(a->Parent(), first);
    EXPECT_EQ(double(a->Left()), 60.0);
    EXPECT_EQ(double(b->Left()), 124.0);
    EXPECT_EQ(double(b->Top()), 20.0);
}

TEST_F(ReportFiles, SettingsFileFollowsIniFile)
{
    plat::KeyStore::setHiveFolders(path(QStringLiteral("user")), path(QStringLiteral("machine")));
    TzdReport report;
    report.OpenSettingsFile()->WriteString(QStringLiteral("Preview"), QStringLiteral("Zoom"), QStringLiteral("2"));
    EXPECT_EQ(report.OpenSettingsFile()->ReadString(QStringLiteral("Preview"), QStringLiteral("Zoom"), {}),
              QStringLiteral("2"));
    plat::KeyStore::resetHiveFolders();
    report.IniFile = path(QStringLiteral("zd.ini"));
    report.OpenSettingsFile()->WriteString(QStringLiteral("Preview"), QStringLiteral("Zoom"), QStringLiteral("3"));
    EXPECT_TRUE(QFile::exists(report.IniFile));
    EXPECT_TRUE(TzdReport::ApplicationFolder().endsWith(u'/'));
}

} // namespace

// --- styles

namespace {
// Two styles, and a memo on the first page's title that takes one of them.
void addStyles(TzdReport& report)
{
    TzdStyleItem* head = report.Styles()->Add();
    head->SetName(QStringLiteral("Nadpis – velký"));
    head->Font()->SetHeight(-24);
    head->SetColor(0x00FF00);
    TzdStyleItem* note = report.Styles()->Add();
    note->SetName(QStringLiteral("Poznámka"));
    note->ApplyFill = false;
    auto* memo = new TzdMemoView(&report);
    memo->SetParent(report.FindObject(QStringLiteral("ReportTitle1")));
    memo->SetName(QStringLiteral("Memo1"));
    memo->SetStyle(QStringLiteral("nadpis – VELKÝ"));
}
} // namespace

TEST_F(ReportFiles, StylesRoundTripWithTheTemplate)
{
    ServiceClasses classes(true, false);
    const QString first = path(QStringLiteral("styles.zd3"));
    {
        TzdReport report;
        fillReport(report);
        addStyles(report);
        auto* memo = dynamic_cast<TzdMemoView*>(report.FindObject(QStringLiteral("Memo1")));
        ASSERT_TRUE(memo);
        EXPECT_EQ(memo->Font()->Height(), -24);
        report.SaveToFile(first);
    }
    const QByteArray saved = bytesOf(first);
    EXPECT_TRUE(saved.contains("<Styles>")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("Poznámka")) << saved.toStdString();
    const RoundTrip r = roundTrip(first, dir.path());
    EXPECT_EQ(r.second, r.third);
    if (zdtest::toolAvailable(QStringLiteral("xmllint"))) {
        const zdtest::ToolResult lint =
            zdtest::runTool(QStringLiteral("xmllint"), {QStringLiteral("--noout"), first});
        EXPECT_EQ(lint.exitCode, 0) << lint.err.toStdString();
    }

    TzdReport loaded;
    ASSERT_TRUE(loaded.LoadFromFile(first));
    ASSERT_EQ(loaded.Styles()->Count(), 2);
    EXPECT_EQ(loaded.Styles()->Items(0)->Name(), QStringLiteral("Nadpis – velký"));
    EXPECT_EQ(loaded.Styles()->Items(0)->Font()->Height(), -24);
    EXPECT_EQ(loaded.Styles()->Items(0)->Color(), 0x00FF00);
    EXPECT_FALSE(loaded.Styles()->Items(1)->ApplyFill);
    auto* memo = dynamic_cast<TzdMemoView*>(loaded.FindObject(QStringLiteral("Memo1")));
    ASSERT_TRUE(memo);
    EXPECT_EQ(memo->Style(), QStringLiteral("nadpis – VELKÝ"));
    EXPECT_EQ(memo->Font()->Height(), -24);

    // Clearing empties the set; a copy goes in through SetStyles.
    TzdStyles copy;
    copy.Assign(loaded.Styles());
    loaded.Clear();
    EXPECT_EQ(loaded.Styles()->Count(), 0);
    loaded.SetStyles(&copy);
    EXPECT_EQ(loaded.Styles()->Count(), 2);
    EXPECT_EQ(loaded.Styles()->Report(), &loaded);
    loaded.SetStyles(nullptr);
    EXPECT_EQ(loaded.Styles()->Count(), 0);
}

TEST_F(ReportFiles, ReportWithoutStylesWritesNoStylesItem)
{
    ServiceClasses classes(true, false);
    TzdReport report;
    fillReport(report);
    report.SaveToFile(path(QStringLiteral("plain.zd3")));
    EXPECT_FALSE(bytesOf(path(QStringLiteral("plain.zd3"))).contains("<Styles"));
}

TEST_F(ReportFiles, TextObjectsOfAReportUseItsOwnLayout)
{
    TzdReport report;
    TzdReport other;
    ASSERT_TRUE(report.TextLayout());
    EXPECT_NE(report.TextLayout(), &zdSharedDrawText());
    EXPECT_NE(report.TextLayout(), other.TextLayout());
}

TEST_F(Inheritance, InheritedStylesWriteOnlyTheirDifferences)
{
    ServiceClasses classes(true, false);
    {
        TzdReport base;
        fillReport(base);
        addStyles(base);
        base.SaveToFile(path(QStringLiteral("base.zd3")));
    }
    {
        TzdReport child;
        child.FileName = path(QStringLiteral("child.zd3"));
        child.SetParentReport(QStringLiteral("base.zd3"));
        ASSERT_EQ(child.Styles()->Count(), 2);
        EXPECT_TRUE(child.Styles()->Items(0)->IsInherited);
        child.Styles()->Items(1)->Font()->SetHeight(-30);
        child.Styles()->Add()->SetName(QStringLiteral("Vlastní"));
        child.SaveToFile(path(QStringLiteral("child.zd3")));
    }
    const QByteArray saved = bytesOf(path(QStringLiteral("child.zd3")));
    EXPECT_TRUE(saved.contains(QStringLiteral("InheritedName=\"Poznámka\"").toUtf8())) << saved.toStdString();
    EXPECT_FALSE(saved.contains("Font.Height=\"-24\"")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("Vlastní"));
    TzdReport loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path(QStringLiteral("child.zd3"))));
    ASSERT_EQ(loaded.Styles()->Count(), 3);
    EXPECT_EQ(loaded.Styles()->Find(QStringLiteral("Poznámka"))->Font()->Height(), -30);
    EXPECT_EQ(loaded.Styles()->Find(QStringLiteral("Nadpis – velký"))->Font()->Height(), -24);
    const RoundTrip r = roundTrip(path(QStringLiteral("child.zd3")), dir.path());
    EXPECT_EQ(r.second, r.third);
}

// --- characters XML has no plain form for

TEST_F(ReportFiles, WideReferencesAndControlCharactersSurviveAResave)
{
    const QString first = path(QStringLiteral("chars.zd3"));
    {
        QFile f(first);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // As older files have them: a reference above 255 and a raw control byte.
        f.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<TzdReport>\n<TzdDataPage Name=\"Data\"/>\n"
                "<TzdReportPage Name=\"Page1\">\n<TzdMemoView Name=\"Memo1\" Text=\"a &#8211; b\x01" "c\x1b\"/>\n"
                "</TzdReportPage>\n</TzdReport>\n");
    }
    // The memo gives its lines back each with a line break.
    const QString expected = QStringLiteral("a \u2013 b\u0001c\u001b\r\n");
    TzdReport report;
    report.EngineOptions()->NewSilentMode = simReThrow;
    ASSERT_TRUE(report.LoadFromFile(first));
    auto* memo = dynamic_cast<TzdMemoView*>(report.FindObject(QStringLiteral("Memo1")));
    ASSERT_TRUE(memo);
    EXPECT_EQ(memo->GetWideText(), expected);
    const QString second = path(QStringLiteral("second.zd3"));
    report.SaveToFile(second);
    if (zdtest::toolAvailable(QStringLiteral("xmllint"))) {
        const zdtest::ToolResult lint =
            zdtest::runTool(QStringLiteral("xmllint"), {QStringLiteral("--noout"), second});
        EXPECT_EQ(lint.exitCode, 0) << lint.err.toStdString();
    }
    const RoundTrip r = roundTrip(second, dir.path());
    EXPECT_EQ(r.second, r.third);
    EXPECT_EQ(r.second, bytesOf(second));
    TzdReport back;
    ASSERT_TRUE(back.LoadFromFile(second));
    memo = dynamic_cast<TzdMemoView*>(back.FindObject(QStringLiteral("Memo1")));
    ASSERT_TRUE(memo);
    EXPECT_EQ(memo->GetWideText(), expected);
}

TEST_F(ReportFiles, TemplateWithAUserDataSetLoads)
{
    EXPECT_TRUE(plat::GetClass(QStringLiteral("TzdUserDataSet")));
    const QString file = path(QStringLiteral("userds.zd3"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<TzdReport>\n<TzdDataPage Name=\"Data\">\n"
                "<TzdUserDataSet Name=\"Zbozi\" UserName=\"Zboží\" RangeEnd=\"reCount\" RangeEndCount=\"4\"/>\n"
                "</TzdDataPage>\n</TzdReport>\n");
    }
    TzdReport report;
    report.EngineOptions()->NewSilentMode = simReThrow;
    ASSERT_NO_THROW(report.LoadFromFile(file));
    EXPECT_TRUE(report.ErrorList().isEmpty()) << report.ErrorList().join(u'\n').toStdString();
    auto* ds = dynamic_cast<TzdUserDataSet*>(report.FindObject(QStringLiteral("Zbozi")));
    ASSERT_TRUE(ds);
    EXPECT_EQ(ds->UserName(), QStringLiteral("Zboží"));
    EXPECT_EQ(ds->RangeEnd(), reCount);
    EXPECT_EQ(ds->RangeEndCount(), 4);
}

namespace {

// Answers the duplicate-names question as the test says.
class AnsweringWindows : public TzdReportWindows {
public:
    void OpenProgress(zd::ReportDocument*) override {}
    void SetProgressMessage(const QString&) override {}
    bool ProgressCancelled() override { return false; }
    void CloseProgress() override {}
    plat::TComponent* CreatePreviewWindow(zd::ReportDocument*, TzdCustomPreviewPages*, TzdCustomPreview*&) override
    {
        return nullptr;
    }
    void ShowPreviewWindow(plat::TComponent*, bool, bool, bool) override {}
    void ClosePreviewWindow(plat::TComponent*) override {}
    void SetPreviewMessage(plat::TComponent*, const QString&, bool) override {}
    void ShowDesigner(TzdCustomDesigner*, bool, bool) override {}
    int AskInheritDuplicates() override
    {
        ++Asked;
        return Answer;
    }
    int Answer = 0;
    int Asked = 0;
};

// A report of its own: a title of the parent's name (a duplicate), a
// summary band of its own with a shape, a variable of the parent's name and
// one of its own.
void fillOwnReport(TzdReport& report)
{
    auto* page = new TzdReportPage(&report);
    page->SetParent(&report);
    page->SetName(QStringLiteral("Page1"));
    auto* title = new TzdReportTitle(&report);
    title->SetParent(page);
    title->SetName(QStringLiteral("ReportTitle1"));
    title->SetHeight(99);
    auto* summary = new TzdReportSummary(&report);
    summary->SetParent(page);
    summary->SetName(QStringLiteral("MyBand"));
    summary->SetTop(200);
    summary->SetHeight(25);
    auto* shape = new TzdShapeView(&report);
    shape->SetParent(summary);
    shape->SetName(QStringLiteral("Own1"));
    shape->SetBounds(5, 5, 50, 10);
    for (const char* name : {"Sleva", "Vlastni"}) {
        TzdVariable* v = report.Variables()->Add();
        v->SetName(QString::fromLatin1(name));
        v->SetValue(plat::Variant(QStringLiteral("own")));
    }
    report.ScriptText()->SetText(QStringLiteral("begin\n  // own\nend."));
}

} // namespace

TEST_F(Inheritance, InheritingAFileMergesTheReportOverItsParent)
{
    writeParent(path(QStringLiteral("base.zd3")));
    AnsweringWindows windows;
    TzdReportWindows* previous = zdSetReportWindows(&windows);
    struct Case {
        int mode;
        int answer;
        bool inherits;
        bool renamed;
    };
    for (const Case c : {Case{1, 0, true, false}, Case{2, 0, true, true}, Case{0, 2, true, true},
                         Case{0, 1, true, false}, Case{0, 0, false, false}}) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " answer " << c.answer);
        windows.Answer = c.answer;
        windows.Asked = 0;
        TzdReport report;
        report.EngineOptions()->NewSilentMode = simSilent;
        report.FileName = path(QStringLiteral("own.zd3"));
        fillOwnReport(report);
        EXPECT_EQ(report.InheritTemplateFile(path(QStringLiteral("base.zd3")), c.mode), c.inherits);
        EXPECT_EQ(windows.Asked, c.mode == 0 ? 1 : 0);
        auto* title = report.FindObject(QStringLiteral("ReportTitle1"));
        ASSERT_NE(title, nullptr);
        if (!c.inherits) {
            // Cancelled: the report is as it was.
            EXPECT_EQ(report.ParentTemplate(), nullptr);
            EXPECT_EQ(double(title->Height()), 99.0);
            EXPECT_EQ(report.ScriptText()->Text(), QStringLiteral("begin\r\n  // own\r\nend.\r\n"));
            continue;
        }
        ASSERT_NE(report.ParentTemplate(), nullptr);
        EXPECT_EQ(report.ParentReport(), QStringLiteral("base.zd3"));
        EXPECT_TRUE(title->IsAncestor());
        EXPECT_EQ(double(title->Height()), 40.0);
        // The report's own band and shape are kept, on the parent's page.
        auto* own = report.FindObject(QStringLiteral("Own1"));
        ASSERT_NE(own, nullptr);
        EXPECT_EQ(own->Parent()->Name(), QStringLiteral("MyBand"));
        EXPECT_EQ(own->Parent()->Parent(), report.FindObject(QStringLiteral("Page1")));
        EXPECT_EQ(double(own->Width()), 50.0);
        int titles = 0;
        for (TzdComponent* o : report.AllObjects())
            if (dynamic_cast<TzdReportTitle*>(o)) {
                ++titles;
                if (o != title)
                    EXPECT_EQ(double(o->Height()), 99.0);
            }
        EXPECT_EQ(titles, c.renamed ? 2 : 1);
        EXPECT_EQ(report.Variables()->IndexOf(QStringLiteral("Sleva_renamed")) >= 0, c.renamed);
        EXPECT_GE(report.Variables()->IndexOf(QStringLiteral("Vlastni")), 0);
        const QString sleva = plat::VarToStr(
            report.Variables()->GetItem(report.Variables()->IndexOf(QStringLiteral("Sleva")))->Value());
        EXPECT_EQ(sleva, QStringLiteral("5 %"));
        // The report's script, then the parent's inside a comment.
        const QStringList script = report.ScriptText()->Text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(u'\n');
        EXPECT_EQ(script.value(0), QStringLiteral("begin"));
        const qsizetype mark = script.indexOf(QStringLiteral("**********Script from parent report**********"));
        ASSERT_GT(mark, 0);
        EXPECT_EQ(script.value(mark - 1), QStringLiteral("{"));
        EXPECT_TRUE(script.mid(mark).contains(QStringLiteral("}")));
    }
    zdSetReportWindows(previous);
}

TEST_F(Inheritance, InheritingTheReportsOwnFileChangesNothing)
{
    TzdReport report;
    fillOwnReport(report);
    report.FileName = path(QStringLiteral("own.zd3"));
    EXPECT_FALSE(report.InheritTemplateFile(path(QStringLiteral("own.zd3")), 1));
    EXPECT_EQ(report.ParentTemplate(), nullptr);
    EXPECT_EQ(double(report.FindObject(QStringLiteral("ReportTitle1"))->Height()), 99.0);
}
