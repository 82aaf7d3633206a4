// Dot-matrix objects, printer definitions and the export's byte stream.

#include "Exceptions.h"
#include "IniFiles.h"
#include "zdClass_report.h"
#include "zdDsgnIntf.h"
#include "ScriptedServices.h"
#include "Streams.h"
#include "zdClass_fill.h"
#include "zdDMPExport.h"
#include "zdPrinter.h"
#include "zdPreviewPages.h"
#include "zdDMPClass.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <memory>

namespace {

QByteArray hex(const char* h) { return QByteArray::fromHex(h); }

QByteArray dataFile(const char* name)
{
    QFile f(QStringLiteral(SORVAMET_TEST_DATA "/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A dot-matrix page of Cols x Rows cells with its export writing to memory.
struct Fixture {
    explicit Fixture(int cols = 20, int rows = 5)
    {
        page = std::make_unique<TzdDMPPage>(nullptr);
        page->SetWidth(cols * zd1CharX);
        page->SetHeight(rows * zd1CharY);
        exp = std::make_unique<TzdDotMatrixExport>(nullptr);
        auto out = std::make_unique<plat::TMemoryStream>();
        stream = out.get();
        exp->OutputStream = std::move(out);
    }
    TzdDMPMemoView* memo(int col, int row, int cols, int rows, const QString& text)
    {
        auto* m = new TzdDMPMemoView(page.get());
        m->SetParent(page.get());
        m->WordWrap = false;
        m->SetBounds(col * zd1CharX, row * zd1CharY, cols * zd1CharX, rows * zd1CharY);
        m->SetText(text);
        return m;
    }
    QByteArray run()
    {
        EXPECT_TRUE(exp->StartExport());
        exp->OpenPage(page.get(), 0);
        for (TzdComponent* obj : std::vector<TzdComponent*>(page->AllObjects()))
            exp->WriteObject(obj);
        exp->ClosePage(page.get(), 0);
        exp->FinishExport();
        return QByteArray(static_cast<plat::TMemoryStream*>(stream)->Memory(), int(stream->Size()));
    }
    std::unique_ptr<TzdDMPPage> page;
    std::unique_ptr<TzdDotMatrixExport> exp;
    plat::TStream* stream = nullptr;
};

TEST(DMPCommand, DecodingTable)
{
    const struct {
        const char* text;
        const char* bytes;
    } cases[] = {{"#27#64", "1b40"}, {"1B40", "1b40"}, {"#27", "1b"}, {"1B4", "1b"}, {"#283", "1b"},
                 {"#27#$41", "1b41"}, {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(zd::DecodeDMPCommand(QString::fromLatin1(c.text)), hex(c.bytes)) << c.text;
    for (const char* bad : {"#27#", "1G", "#x"})
        EXPECT_THROW(zd::DecodeDMPCommand(QString::fromLatin1(bad)), plat::EConvertError) << bad;
}

TEST(DMPObjects, SettersSnapToTheGrid)
{
    TzdDMPMemoView memo(nullptr);
    const struct {
        long double x;
        TzdAlign align;
        long double left;
    } memoLeft[] = {{14, baNone, 9.6L}, {14, baRight, 9.6L}, {15, baNone, 19.2L}, {15, baRight, 9.6L}};
    for (const auto& c : memoLeft) {
        memo.SetAlign(c.align);
        memo.SetLeft(c.x);
        EXPECT_NEAR(double(memo.Left()), double(c.left), 1e-9) << double(c.x);
    }
    memo.SetTop(26);
    memo.SetWidth(30);
    memo.SetHeight(25);
    EXPECT_NEAR(double(memo.Top()), 34, 1e-9);
    EXPECT_NEAR(double(memo.Width()), 28.8, 1e-9);
    EXPECT_NEAR(double(memo.Height()), 17, 1e-9);
    EXPECT_EQ(memo.Font()->Name(), QStringLiteral("Courier New"));

    TzdDMPLineView line(nullptr);
    line.SetLeft(0);
    EXPECT_NEAR(double(line.Left()), 4.8, 1e-9);
    line.SetLeft(-1);
    EXPECT_NEAR(double(line.Left()), -4.8, 1e-9);
    line.SetTop(20);
    EXPECT_NEAR(double(line.Top()), 25.5, 1e-9);

    TzdDMPCommand cmd(nullptr);
    cmd.SetLeft(5);
    cmd.SetTop(9);
    EXPECT_NEAR(double(cmd.Left()), 9.6, 1e-9);
    EXPECT_NEAR(double(cmd.Top()), 17, 1e-9);
}

TEST(DMPObjects, PageRoundsPaperToWholeColumnsAndFontStyleReachesObjects)
{
    TzdDMPPage page(nullptr);
    page.SetPaperWidth(210);
    EXPECT_NEAR(double(page.PaperWidth()), 796.8 / 3.77953, 1e-6);
    auto* memo = new TzdDMPMemoView(&page);
    memo->SetParent(&page);
    memo->SetParentFont(true);
    page.SetFontStyle({fsxBold, fsxWide});
    EXPECT_TRUE(memo->ParentFont());
    EXPECT_EQ(memo->FontStyle(), (TzdDMPFontStyles{fsxBold, fsxWide}));
    EXPECT_TRUE(memo->Font()->HasStyle(plat::fsBold));
    EXPECT_FALSE(memo->Font()->HasStyle(plat::fsItalic));
    memo->SetFontStyle({fsxItalic});
    EXPECT_FALSE(memo->ParentFont());
}

// A prepared dot-matrix page keeps its kind and its font style through a
// prepared report file, so its objects print with the page's style.
TEST(DMPObjects, PageFontStyleSurvivesThePreparedReportFile)
{
    zd::startDotMatrixUnit();
    TzdReport report;
    auto* page = new TzdDMPPage(&report);
    page->SetParent(&report);
    page->SetName(QStringLiteral("Page1"));
    page->SetFontStyle({fsxBold, fsxWide});
    QByteArray bytes;
    {
        TzdPreviewPages pages(&report);
        pages.Initialize();
        pages.RegisterSourcePage(page);
        pages.PageAddMode = pamAppend;
        pages.AddPage(page);
        pages.FinishPreparing();
        plat::TMemoryStream stream;
        pages.SaveToStream(stream);
        bytes = stream.bytes();
    }
    TzdReport other;
    TzdPreviewPages loaded(&other);
    plat::TMemoryStream in;
    in.WriteBuffer(bytes.constData(), bytes.size());
    in.SetPosition(0);
    ASSERT_TRUE(loaded.LoadFromStream(in, false));
    auto* back = dynamic_cast<TzdDMPPage*>(loaded.GetPage(0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->FontStyle(), (TzdDMPFontStyles{fsxBold, fsxWide}));
}

TEST(DMPPrinters, BuiltInXmlIsExactAndInheritsByPosition)
{
    EXPECT_EQ(zd::BuiltInDMPrintersXML(), dataFile("dmp-printers-builtin.xml"));
    TzdDMPrinters list;
    list.LoadFromXML(zd::BuiltInDMPrintersXML());
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Items(0)->Name, QStringLiteral("None"));
    EXPECT_TRUE(list.Items(0)->BoldOn.isEmpty());
    EXPECT_EQ(list.Items(1)->FormFeed, hex("0c"));
    EXPECT_EQ(list.Items(2)->FormFeed, hex("0c"));
    EXPECT_EQ(list.Items(2)->SuperscriptOn, QByteArray("\x1b&a-.5R"));
    const TzdDMPrinter* ibm = list.Items(3);
    EXPECT_EQ(ibm->Name, QStringLiteral("IBM Generic"));
    EXPECT_TRUE(ibm->Reset.isEmpty());
    EXPECT_EQ(ibm->BoldOn, hex("1b45"));
    EXPECT_EQ(ibm->WideOn, hex("1b5701"));
    EXPECT_EQ(ibm->cpi12On, hex("1b3a"));
    EXPECT_EQ(ibm->cpi15Off, hex("12"));
    EXPECT_EQ(list.Items(4), nullptr);
}

TEST(DMPPrinters, InheritanceGivesEveryCommandOfTheBuiltInTable)
{
    using Field = QByteArray TzdDMPrinter::*;
    static constexpr Field kFields[] = {
        &TzdDMPrinter::Reset,        &TzdDMPrinter::FormFeed,      &TzdDMPrinter::Landscape,
        &TzdDMPrinter::Portrait,     &TzdDMPrinter::BoldOn,        &TzdDMPrinter::BoldOff,
        &TzdDMPrinter::ItalicOn,     &TzdDMPrinter::ItalicOff,     &TzdDMPrinter::UnderlineOn,
        &TzdDMPrinter::UnderlineOff, &TzdDMPrinter::SuperscriptOn, &TzdDMPrinter::SuperscriptOff,
        &TzdDMPrinter::SubscriptOn,  &TzdDMPrinter::SubscriptOff,  &TzdDMPrinter::CondensedOn,
        &TzdDMPrinter::CondensedOff, &TzdDMPrinter::WideOn,        &TzdDMPrinter::WideOff,
        &TzdDMPrinter::cpi12On,      &TzdDMPrinter::cpi12Off,      &TzdDMPrinter::cpi15On,
        &TzdDMPrinter::cpi15Off};
    // Every field after inheritance, in hex, in the order above.
    struct Expected {
        const char* name;
        std::array<const char*, 22> fields;
    };
    const Expected table[] = {
        {"None", {"", "0c", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""}},
        {"Epson Generic",
         {"1b40", "0c", "", "", "1b45", "1b46", "1b34", "1b35", "1b2d01", "1b2d00", "1b5301", "1b54", "1b5300",
          "1b54", "0f", "12", "1b5701", "1b5700", "1b4d", "1b50", "1b67", "1b50"}},
        {"HP Generic",
         {"1b45", "0c", "1b266c314f", "1b266c304f", "1b28733342", "1b28733042", "1b28733153", "1b28733053",
          "1b26643144", "1b266440", "1b26612d2e3552", "1b26612b2e3552", "1b26612b2e3552", "1b26612d2e3552",
          "1b2873313648", "1b2873313048", "1b28733548", "1b2873313048", "1b266b313048", "1b266b313248", "", ""}},
        {"IBM Generic",
         {"", "0c", "", "", "1b45", "1b46", "1b34", "1b35", "1b2d01", "1b2d00", "1b5301", "1b54", "1b5300", "1b54",
          "0f", "12", "1b5701", "1b5700", "1b3a", "12", "1b67", "12"}},
    };
    TzdDMPrinters list;
    list.LoadFromXML(zd::BuiltInDMPrintersXML());
    ASSERT_EQ(list.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        const TzdDMPrinter* p = list.Items(i);
        EXPECT_EQ(p->Name, QString::fromLatin1(table[i].name));
        for (size_t f = 0; f < std::size(kFields); ++f)
            EXPECT_EQ(p->*kFields[f], hex(table[i].fields[f])) << table[i].name << " field " << f;
    }
}

TEST(DMPPrinters, PrintersFileReplacesOrKeepsTheBuiltIns)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("printers.xml"));
    const auto load = [&](const QByteArray& content, TzdDMPrinters& list) {
        QFile f(file);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(content);
        f.close();
        plat::ScriptedServices ui;
        plat::ScopedServices scope(ui);
        list.LoadDefault(file);
        bool shown = false;
        for (const plat::ServiceCall& call : ui.Calls())
            shown = shown || call.text.contains(QStringLiteral("Error in file printers.xml"));
        return shown;
    };
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
    TzdDMPrinters list;
    EXPECT_FALSE(load(head + "<printers><printer Name=\"Mine\" FormFeed=\"0C0C\"/></printers>", list));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0)->FormFeed, hex("0c0c"));
    // Failing at the first entry: the message, and the built-ins stay.
    EXPECT_TRUE(load(head + "<printers><printer Name=\"X\" Inherit=\"3\"/></printers>", list));
    EXPECT_EQ(list.Count(), 4);
    // Failing later keeps what was read.
    EXPECT_TRUE(load(head + "<printers><printer Name=\"A\"/><printer Name=\"B\" BoldOn=\"ZZ\"/></printers>", list));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0)->Name, QStringLiteral("A"));
    // A file with no definition keeps the built-ins.
    EXPECT_FALSE(load(head + "<printers></printers>", list));
    EXPECT_EQ(list.Count(), 4);
}

TEST(DMPExport, TextFramesAndEpsonStylesGolden)
{
    Fixture f(12, 5);
    f.exp->EscModel = 1;
    f.exp->OEMConvert = false;
    TzdDMPMemoView* m = f.memo(1, 1, 4, 1, QStringLiteral("Ab"));
    m->Frame()->Typ = TzdFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    f.memo(7, 1, 3, 1, QStringLiteral("X"))->SetFontStyle({fsxBold});
    EXPECT_EQ(f.run(), dataFile("dmp-frames-epson.prn"));
}

TEST(DMPExport, GraphicFramesDecodeToBoxCharacters)
{
    Fixture f(8, 4);
    f.exp->GraphicFrames = true;
    f.memo(1, 1, 2, 1, QString())->Frame()->Typ = TzdFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    QByteArray out = f.run();
    out.replace("\x0c", "");
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("CP437"), QStringLiteral("-t"),
                                          QStringLiteral("UTF-8")});
    iconv.write(out);
    iconv.closeWriteChannel();
    ASSERT_TRUE(iconv.waitForFinished());
    EXPECT_EQ(QString::fromUtf8(iconv.readAllStandardOutput()),
              QStringLiteral("┌──┐\r\n│  │\r\n└──┘\r\n"));
}

TEST(DMPExport, CustomFrameSetDrawsCornersByTheirBits)
{
    struct Case {
        const char* set;
        QByteArray expected;
    };
    // Index 6 (right and down) is the top left corner, 12 the top right, 3
    // the bottom left, 9 the bottom right; 5 and 10 the sides.
    const Case cases[] = {
        {"abcdefghijklmno", QByteArray("fjjl\r\ne  e\r\ncjji\r\n\x0c")},
        // Not exactly 15 characters: the text set.
        {"abcdefghijklmn", QByteArray("+--+\r\n|  |\r\n+--+\r\n\x0c")},
    };
    for (const Case& c : cases) {
        Fixture f(8, 4);
        f.exp->CustomFrameSet = QString::fromLatin1(c.set);
        f.memo(1, 1, 2, 1, QString())->Frame()->Typ = TzdFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
        EXPECT_EQ(f.run(), c.expected) << c.set;
    }
}

TEST(DMPExport, AnEscModelOutsideTheListWritesAsTheNonePrinter)
{
    for (int model : {-1, 4, 1000}) {
        Fixture f(6, 2);
        f.exp->EscModel = model;
        f.memo(0, 0, 2, 1, QStringLiteral("ab"))->SetFontStyle({fsxBold});
        EXPECT_EQ(f.run(), QByteArray("ab\r\n\x0c")) << model;
        EXPECT_EQ(f.exp->EscModel, 0);
    }
}

TEST(DMPExport, AlignmentsCustomFramesAndNonePrinter)
{
    Fixture f(12, 6);
    f.exp->CustomFrameSet = QStringLiteral("abcdefghijklmno");
    f.memo(0, 0, 6, 1, QStringLiteral("R"))->HAlign = haRight;
    f.memo(0, 1, 6, 1, QStringLiteral("C"))->HAlign = haCenter;
    TzdDMPMemoView* v = f.memo(0, 2, 6, 3, QStringLiteral("V"));
    v->VAlign = vaCenter;
    auto* line = new TzdDMPLineView(f.page.get());
    line->SetParent(f.page.get());
    line->SetBounds(8 * zd1CharX, 5 * zd1CharY, 2 * zd1CharX, 0);
    EXPECT_EQ(f.run(), dataFile("dmp-align-none.prn"));
}

TEST(DMPExport, StylesCarryAcrossRowsWithHpCommands)
{
    Fixture f(6, 3);
    f.exp->EscModel = 2;
    f.memo(5, 0, 2, 2, QStringLiteral("ab\r\ncd"))->SetFontStyle({fsxBold, fsxItalic});
    f.page->SetOrientation(plat::poLandscape);
    f.page->SetWidth(6 * zd1CharX);
    f.page->SetHeight(3 * zd1CharY);
    EXPECT_EQ(f.run(), dataFile("dmp-styles-hp.prn"));
}

TEST(DMPExport, OverLongMemoLineRunsOnToTheRowsEnd)
{
    Fixture f(10, 3);
    f.exp->EscModel = 1;
    // Runs on in the page's style; the cells it covers keep their own.
    TzdDMPMemoView* runs = f.memo(2, 0, 4, 1, QStringLiteral("ABCDEFGHIJKLMNOP"));
    runs->TruncOutboundText = false;
    runs->SetFontStyle({fsxBold});
    // Cut to its box.
    TzdDMPMemoView* cut = f.memo(2, 1, 4, 1, QStringLiteral("ABCDEFGHIJKLMNOP"));
    cut->TruncOutboundText = true;
    cut->SetFontStyle({fsxBold});
    // Wrapped text is written whole too, line by line.
    TzdDMPMemoView* wrapped = f.memo(8, 2, 1, 1, QStringLiteral("WXYZ"));
    wrapped->TruncOutboundText = false;
    EXPECT_EQ(f.run(), dataFile("dmp-overlong-epson.prn"));
}

TEST(DMPExport, CommandBelowEveryMemoAndLineIsNotWritten)
{
    // Only memos and lines extend the rows written out.
    Fixture f(5, 4);
    f.memo(0, 0, 2, 1, QStringLiteral("ab"));
    auto* cmd = new TzdDMPCommand(f.page.get());
    cmd->SetParent(f.page.get());
    cmd->SetTop(3 * zd1CharY);
    cmd->Command = QStringLiteral("41");
    EXPECT_EQ(f.run(), QByteArray("ab\r\n\x0c"));
}

TEST(DMPExport, CzechTextInCodePage852)
{
    // The built-in Czech texts choose code page 852.
    Fixture f(20, 2);
    f.memo(0, 0, 20, 1, QStringLiteral("Příliš\u00a0žluťoučký"));
    QByteArray out = f.run();
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("CP852"), QStringLiteral("-t"),
                                          QStringLiteral("UTF-8")});
    iconv.write(out);
    iconv.closeWriteChannel();
    ASSERT_TRUE(iconv.waitForFinished());
    EXPECT_EQ(QString::fromUtf8(iconv.readAllStandardOutput()), QStringLiteral("Příliš žluťoučký\r\n\x0c"));
}

TEST(DMPExport, SettingsFileChoosesTheCodePage)
{
    QTemporaryDir dir;
    const struct {
        const char* setting; // nullptr: none in the file
        const char* bytes;
    } cases[] = {{nullptr, "fd"}, {"437", "3f"}, {"1250", "f8"}, {"9999", "fd"}, {"abc", "fd"}};
    for (const auto& c : cases) {
        TzdReport report;
        report.IniFile = dir.filePath(QStringLiteral("ZazaDuzudi.ini"));
        QFile::remove(report.IniFile);
        if (c.setting)
            plat::TIniFile(report.IniFile)
                .WriteString(QStringLiteral("DMP"), QStringLiteral("OEMCodePage"), QString::fromLatin1(c.setting));
        Fixture f(4, 1);
        f.exp->Report = &report;
        f.memo(0, 0, 1, 1, QStringLiteral("ř"));
        EXPECT_EQ(f.run(), hex(c.bytes) + "\r\n\x0c") << (c.setting ? c.setting : "none");
        f.exp.reset();
    }
}

TEST(DMPExport, OnTranslateChangesEveryTextBeforeTheBuffer)
{
    Fixture f(10, 2);
    f.memo(0, 0, 4, 1, QStringLiteral("ab"));
    auto* cmd = new TzdDMPCommand(f.page.get());
    cmd->SetParent(f.page.get());
    cmd->SetLeft(6 * zd1CharX);
    cmd->Command = QStringLiteral("#120#121");
    QStringList seen;
    f.exp->OnTranslate = [&seen](TzdDotMatrixExport*, QString& text) {
        seen << text;
        text = text.toUpper();
    };
    // The memo's text padded to its width, then the command's bytes.
    EXPECT_EQ(f.run(), QByteArray("AB    XY\r\n\x0c"));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("ab  "), QStringLiteral("xy")}));
}

TEST(DMPExport, InTheExportFilterRegistryWhileItLives)
{
    const auto registered = [](TzdCustomExportFilter* f) {
        TzdExportFilterCollection* r = zdGetExportFilterRegistry();
        for (int i = 0; i < r->Count(); ++i)
            if (r->GetItem(i).Filter == f)
                return true;
        return false;
    };
    auto exp = std::make_unique<TzdDotMatrixExport>(nullptr);
    TzdCustomExportFilter* filter = exp.get();
    EXPECT_TRUE(registered(filter));
    exp.reset();
    EXPECT_FALSE(registered(filter));
}

TEST(DMPExport, CommandEndingInBlankIsNotTrimmed)
{
    TzdDMPrinters* list = zd::DMPrinters();
    list->LoadFromXML("<?xml version=\"1.0\" encoding=\"utf-8\"?><printers><printer Name=\"T\" BoldOn=\"1B20\""
                      " BoldOff=\"1C\"/></printers>");
    Fixture f(6, 2);
    f.memo(4, 0, 3, 1, QString())->SetFontStyle({fsxBold});
    const QByteArray out = f.run();
    list->LoadFromXML(zd::BuiltInDMPrintersXML());
    EXPECT_EQ(out, QByteArray("    \x1b\x20\x1c\r\n"));
}

TEST(DMPExport, CopiesClampAndTheSharedReference)
{
    TzdDotMatrixExport a(nullptr);
    a.SetCopies(0);
    EXPECT_EQ(a.Copies(), 1);
    a.SetCopies(20000);
    EXPECT_EQ(a.Copies(), 9999);
    {
        auto b = std::make_unique<TzdDotMatrixExport>(nullptr);
        EXPECT_EQ(zd::DotMatrixExport(), b.get());
        auto c = std::make_unique<TzdDotMatrixExport>(nullptr);
        b.reset();
        EXPECT_EQ(zd::DotMatrixExport(), c.get());
    }
    EXPECT_EQ(zd::DotMatrixExport(), nullptr);
}

TEST(DMPExport, NoPrinterShowsMessageAndRemovesTheTemporaryFile)
{
    if (zdPrinters()->HasRealPrinters())
        GTEST_SKIP() << "a printer is installed";
    TzdDMPPage page(nullptr);
    page.SetWidth(96);
    page.SetHeight(34);
    TzdDotMatrixExport exp(nullptr);
    plat::ScriptedServices ui;
    plat::ScopedServices scope(ui);
    ASSERT_TRUE(exp.StartExport());
    const QString temp = exp.FileName;
    EXPECT_TRUE(QFile::exists(temp));
    exp.OpenPage(&page, 0);
    exp.ClosePage(&page, 0);
    // Said once, by the message: the export fails quietly.
    EXPECT_THROW(exp.FinishExport(), plat::EAbort);
    EXPECT_FALSE(QFile::exists(temp));
    ASSERT_EQ(ui.Calls().size(), 1u);
    EXPECT_EQ(ui.Calls()[0].text, QStringLiteral("Na Vašem systému není nainstalována žádná tiskárna"));
}

} // namespace

#include "zdClass_band.h"
#include "zdClass_report.h"

namespace {

TEST(DMPObjects, TemplateRoundTrip)
{
    zd::startReportUnit();
    zd::startDotMatrixUnit();
    TzdReport report;
    report.DotMatrixReport = true;
    auto* page = new TzdDMPPage(&report);
    page->SetParent(&report);
    page->SetName(QStringLiteral("Page1"));
    page->SetFontStyle({fsxCondensed});
    auto* memo = new TzdDMPMemoView(page);
    memo->SetParent(page);
    memo->SetName(QStringLiteral("Memo1"));
    memo->SetBounds(19.2L, 34, 48, 17);
    memo->SetText(QStringLiteral("Text"));
    memo->SetFontStyle({fsxBold, fsx12cpi});
    auto* cmd = new TzdDMPCommand(page);
    cmd->SetParent(page);
    cmd->SetName(QStringLiteral("Cmd1"));
    cmd->Command = QStringLiteral("#27#64");
    plat::TMemoryStream stream;
    report.SaveToStream(stream);
    stream.SetPosition(0);

    TzdReport loaded;
    loaded.LoadFromStream(stream);
    auto* page2 = dynamic_cast<TzdDMPPage*>(loaded.FindObject(QStringLiteral("Page1")));
    auto* memo2 = dynamic_cast<TzdDMPMemoView*>(loaded.FindObject(QStringLiteral("Memo1")));
    auto* cmd2 = dynamic_cast<TzdDMPCommand*>(loaded.FindObject(QStringLiteral("Cmd1")));
    ASSERT_TRUE(page2 && memo2 && cmd2);
    EXPECT_EQ(page2->FontStyle(), TzdDMPFontStyles{fsxCondensed});
    EXPECT_EQ(memo2->FontStyle(), (TzdDMPFontStyles{fsxBold, fsx12cpi}));
    EXPECT_FALSE(memo2->ParentFont());
    EXPECT_NEAR(double(memo2->Left()), 19.2, 1e-9);
    EXPECT_EQ(memo2->Text().trimmed(), QStringLiteral("Text"));
    EXPECT_EQ(cmd2->Command, QStringLiteral("#27#64"));
}

} // namespace
