// The printer list and printers against the private scheduler, and the
// virtual printer without any server.
#include "CupsSandbox.h"
#include "ScriptedServices.h"
#include "zdPrinter.h"
#include "zdPrinterLink.h"

#include <cups/cups.h>

#include <QDialog>
#include <QComboBox>

#include "Modal.h"

using namespace plat;

namespace {

// The paper list as (name, number) pairs.
std::vector<std::pair<QString, int>> papers(const TzdCustomPrinter& p)
{
    std::vector<std::pair<QString, int>> list;
    for (int i = 0; i < p.PaperList().Count(); ++i)
        list.emplace_back(p.PaperList().Strings(i), p.PaperNumber(i));
    return list;
}

std::vector<std::pair<QString, int>> bins(const TzdCustomPrinter& p)
{
    std::vector<std::pair<QString, int>> list;
    for (int i = 0; i < p.BinList().Count(); ++i)
        list.emplace_back(p.BinList().Strings(i), p.BinNumber(i));
    return list;
}

// libcups pointed at a socket where no scheduler listens, for one test.
class NoServer {
public:
    NoServer() : m_previous(QString::fromUtf8(cupsServer()))
    {
        cupsSetServer("/nonexistent/sorvamet-no-cups.sock");
    }
    ~NoServer() { cupsSetServer(m_previous.toUtf8().constData()); }

private:
    QString m_previous;
};

} // namespace

TEST(VirtualPrinter, IsTheOnlyPrinterWithoutAServer)
{
    NoServer none;
    TzdPrinters list;
    EXPECT_FALSE(list.HasRealPrinters());
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Printers(), QStringList{QStringLiteral("Virtuální")});
    EXPECT_EQ(list.ActivePrinterIndex(), 0);
    TzdCustomPrinter* p = list.CurrentPrinter();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->IsInitialized());
    EXPECT_EQ(p->Port(), QString());
    EXPECT_EQ(p->DPI(), (TPoint{600, 600}));
    // The custom size first, then the 66 table papers.
    ASSERT_EQ(p->PaperList().Count(), 67);
    EXPECT_EQ(p->PaperList().Strings(0), QStringLiteral("Vlastní"));
    EXPECT_EQ(p->PaperNumber(0), DMPAPER_USER);
    EXPECT_EQ(p->PaperNumber(9), 9);
    EXPECT_EQ(p->PaperNumber(48), 50);
    EXPECT_EQ(bins(*p), (std::vector<std::pair<QString, int>>{{QStringLiteral("Předvolená"), DMBIN_AUTO}}));
    EXPECT_EQ(p->DefaultPaper(), DMPAPER_A4);
    EXPECT_EQ(p->DefaultPaperWidth(), 210);
    EXPECT_EQ(p->DefaultPaperHeight(), 297);
    EXPECT_EQ(p->DefaultOrientation(), poPortrait);
    EXPECT_EQ(p->PaperWidth(), 210);
    EXPECT_EQ(p->LeftMargin(), 5);
    EXPECT_EQ(p->BottomMargin(), 5);
    EXPECT_EQ(p->Bin(), -1);
    EXPECT_EQ(p->Duplex(), -1);
    // Documents print nothing and succeed.
    p->SetFileName(QStringLiteral("/tmp/never-written.prn"));
    EXPECT_TRUE(p->BeginDocument());
    p->BeginPage();
    p->EndPage();
    EXPECT_TRUE(p->EndDocument());
    EXPECT_EQ(p->FileName(), QString());
}

TEST(VirtualPrinter, PapersComeFromTheTableAndOwnSizesAreKept)
{
    TzdVirtualPrinter p(QStringLiteral("v"), QString());
    p.Initialize();
    p.SetViewParameters(11, 0, 0, poLandscape); // A5
    EXPECT_EQ(p.Paper(), 11);
    EXPECT_EQ(p.PaperWidth(), 210);
    EXPECT_EQ(p.PaperHeight(), 148);
    EXPECT_EQ(p.Orientation(), poLandscape);
    p.SetViewParameters(DMPAPER_USER, 100, 50, poPortrait);
    EXPECT_EQ(p.Paper(), DMPAPER_USER);
    EXPECT_EQ(p.PaperWidth(), 100);
    EXPECT_EQ(p.PaperHeight(), 50);
    p.SetViewParameters(48, 120, 80, poPortrait); // not in the table: its own size
    EXPECT_EQ(p.Paper(), DMPAPER_USER);
    EXPECT_EQ(p.PaperWidth(), 120);
    // No size at all never leaves an empty page.
    p.SetViewParameters(DMPAPER_USER, 0, -3, poPortrait);
    EXPECT_EQ(p.PaperWidth(), 210);
    EXPECT_EQ(p.PaperHeight(), 297);
    p.SetPrintParameters(9, poPortrait, 2, 1, 15, 0, 0);
    EXPECT_EQ(p.Bin(), 15);
    EXPECT_EQ(p.PaperHeight(), 297);
}

TEST_F(SandboxTest, QueuesBecomePrintersWithTheDefaultOneCurrent)
{
    TzdPrinters list;
    EXPECT_TRUE(list.HasRealPrinters());
    EXPECT_EQ(list.Printers(), (QStringList{QStringLiteral("ZdA4"), QStringLiteral("ZdLetter")}));
    EXPECT_EQ(list.GetDefaultPrinter(), QStringLiteral("ZdA4"));
    EXPECT_EQ(list.ActivePrinterIndex(), 0);
    EXPECT_EQ(list.IndexOf(QStringLiteral("zdletter")), 1);
    EXPECT_EQ(list.IndexOf(QStringLiteral("none")), -1);
    EXPECT_EQ(list.Items(-1), nullptr);
    EXPECT_EQ(list.Items(2), nullptr);
    list.SetPrinterIndex(1);
    EXPECT_EQ(list.CurrentPrinter()->Name(), QStringLiteral("ZdLetter"));
    EXPECT_TRUE(list.CurrentPrinter()->IsInitialized());
    list.SetPrinterIndex(-1);
    EXPECT_EQ(list.ActivePrinterIndex(), 0);
}

TEST_F(SandboxTest, PapersTraysDuplexAndResolutionComeFromTheQueue)
{
    TzdPrinter a4(QStringLiteral("ZdA4"), QString());
    a4.Initialize();
    ASSERT_TRUE(a4.IsInitialized());
    // Numbered by size from the paper table, in the printer's order.
    EXPECT_EQ(papers(a4), (std::vector<std::pair<QString, int>>{{QStringLiteral("Vlastní"), 256},
                                                                 {QStringLiteral("Postcard"), 43},
                                                                 {QStringLiteral("A5"), 11},
                                                                 {QStringLiteral("A4"), 9},
                                                                 {QStringLiteral("Letter"), 1},
                                                                 {QStringLiteral("A3"), 8}}));
    EXPECT_EQ(bins(a4), (std::vector<std::pair<QString, int>>{{QStringLiteral("Předvolená"), DMBIN_AUTO},
                                                               {QStringLiteral("Top"), DMBIN_UPPER},
                                                               {QStringLiteral("Bottom"), DMBIN_LOWER},
                                                               {QStringLiteral("Manual"), DMBIN_MANUAL}}));
    EXPECT_EQ(a4.DefaultPaper(), DMPAPER_A4);
    EXPECT_EQ(a4.Paper(), DMPAPER_A4);
    EXPECT_EQ(a4.DefaultPaperWidth(), 210);
    EXPECT_EQ(a4.DefaultPaperHeight(), 297);
    EXPECT_EQ(a4.DefaultBin(), DMBIN_AUTO);
    EXPECT_EQ(a4.DefaultDuplex(), DMDUP_SIMPLEX);
    EXPECT_TRUE(a4.CanDuplex());
    EXPECT_EQ(a4.DPI(), (TPoint{600, 600}));
    // The queue's margins: 5 mm at the sides, 4 mm on top, 6 mm below.
    EXPECT_EQ(a4.LeftMargin(), 5);
    EXPECT_EQ(a4.RightMargin(), 5);
    EXPECT_EQ(a4.TopMargin(), 4);
    EXPECT_EQ(a4.BottomMargin(), 6);
    EXPECT_EQ(a4.PaperNameToNumber(QStringLiteral("a5")), 11);
    EXPECT_EQ(a4.PaperNameToNumber(QStringLiteral("B5")), DMPAPER_USER);
    EXPECT_EQ(a4.BinNameToNumber(QStringLiteral("Bottom")), DMBIN_LOWER);
    EXPECT_EQ(a4.BinNameToNumber(QStringLiteral("Tray 9")), DMBIN_AUTO);

    TzdPrinter letter(QStringLiteral("ZdLetter"), QString());
    letter.Initialize();
    ASSERT_TRUE(letter.IsInitialized());
    EXPECT_EQ(papers(letter), (std::vector<std::pair<QString, int>>{{QStringLiteral("Vlastní"), 256},
                                                                     {QStringLiteral("Letter"), 1}}));
    // Trays without a platform number of their own are numbered from 257.
    EXPECT_EQ(bins(letter), (std::vector<std::pair<QString, int>>{{QStringLiteral("Předvolená"), DMBIN_AUTO},
                                                                   {QStringLiteral("Tray 1"), 257},
                                                                   {QStringLiteral("Tray 2"), 258}}));
    // The queue names no default tray: its own applies when none is asked for.
    EXPECT_EQ(letter.DefaultBin(), DMBIN_AUTO);
    EXPECT_EQ(letter.DefaultDuplex(), DMDUP_HORIZONTAL);
    EXPECT_EQ(letter.PaperWidth(), 216); // 215.9 mm in whole millimetres
    EXPECT_EQ(letter.LeftMargin(), 6);   // a quarter inch
}

TEST_F(SandboxTest, ViewParametersSetPaperAndOrientation)
{
    TzdPrinter a4(QStringLiteral("ZdA4"), QString());
    a4.Initialize();
    a4.SetViewParameters(8, 0, 0, poLandscape); // A3
    EXPECT_EQ(a4.Paper(), 8);
    EXPECT_EQ(a4.PaperWidth(), 420);
    EXPECT_EQ(a4.PaperHeight(), 297);
    EXPECT_EQ(a4.Orientation(), poLandscape);
    // Turned a quarter: the portrait left margin is on top.
    EXPECT_EQ(a4.TopMargin(), 5);
    EXPECT_EQ(a4.LeftMargin(), 6);
    // A paper the printer lacks becomes a size of one's own on A4.
    a4.SetViewParameters(13, 182, 257, poPortrait);
    EXPECT_EQ(a4.Paper(), DMPAPER_USER);
    EXPECT_EQ(a4.DevMode().Paper, DMPAPER_A4);
    EXPECT_EQ(a4.PaperWidth(), 182);
    EXPECT_EQ(a4.PaperHeight(), 257);
    EXPECT_EQ(a4.LeftMargin(), 5);

    // Without A4 the first listed paper is the base, and the size is kept.
    TzdPrinter letter(QStringLiteral("ZdLetter"), QString());
    letter.Initialize();
    letter.SetViewParameters(DMPAPER_USER, 100, 150, poPortrait);
    EXPECT_EQ(letter.Paper(), DMPAPER_USER);
    EXPECT_EQ(letter.DevMode().Paper, DMPAPER_LETTER);
    EXPECT_EQ(letter.PaperWidth(), 100);
    EXPECT_EQ(letter.PaperHeight(), 150);
}

TEST_F(SandboxTest, PrintParametersFillTheDeviceMode)
{
    TzdPrinter a4(QStringLiteral("ZdA4"), QString());
    a4.Initialize();
    // A landscape page of its own size is held portrait, in tenths of a millimetre.
    a4.SetPrintParameters(DMPAPER_USER, poLandscape, 2, 0, DMBIN_AUTO, 200, 300);
    EXPECT_EQ(a4.DevMode().Paper, DMPAPER_USER);
    EXPECT_EQ(a4.DevMode().PaperLength, 3000);
    EXPECT_EQ(a4.DevMode().PaperWidth, 2000);
    EXPECT_EQ(a4.DevMode().Orientation, poLandscape);
    EXPECT_EQ(a4.DevMode().Copies, 2);
    EXPECT_FALSE(a4.DevMode().Collate);
    EXPECT_EQ(a4.PaperWidth(), 300);
    EXPECT_EQ(a4.PaperHeight(), 200);
    EXPECT_EQ(a4.Orientation(), poLandscape);
    // Page duplex 1..3 (vertical, horizontal, one-sided) -> the platform's
    // 2, 3, 1; 0 -> the printer's default.
    struct Case {
        int duplex, expected;
    } cases[] = {{1, DMDUP_VERTICAL}, {2, DMDUP_HORIZONTAL}, {3, DMDUP_SIMPLEX}, {0, DMDUP_SIMPLEX}};
    for (const Case& c : cases) {
        a4.SetPrintParameters(DMPAPER_A4, poPortrait, 1, c.duplex, DMBIN_LOWER, 0, 0);
        EXPECT_EQ(a4.DevMode().Duplex, c.expected) << c.duplex;
        EXPECT_EQ(a4.DevMode().DefaultSource, DMBIN_LOWER);
        EXPECT_EQ(a4.DevMode().PaperLength, 0);
    }
    // The automatic bin is the printer's default one.
    a4.SetPrintParameters(DMPAPER_A4, poPortrait, 1, 0, DMBIN_AUTO, 0, 0);
    EXPECT_EQ(a4.DevMode().DefaultSource, DMBIN_AUTO);
    // Copies below one print once; a size of nothing gives the base paper's.
    a4.SetPrintParameters(DMPAPER_USER, poPortrait, 0, 0, DMBIN_AUTO, 0, 0);
    EXPECT_EQ(a4.DevMode().Copies, 1);
    EXPECT_EQ(a4.DevMode().PaperWidth, 2100);
    EXPECT_EQ(a4.DevMode().PaperLength, 2970);
}

TEST_F(SandboxTest, PropertiesDialogChoosesTrayAndSidesForTheNextDocument)
{
    TzdPrinter a4(QStringLiteral("ZdA4"), QString());
    a4.Initialize();
    {
        ScopedModalRunner runner([](QDialog& d) {
            auto* bin = d.findChild<QComboBox*>(QStringLiteral("BinCB"));
            auto* sides = d.findChild<QComboBox*>(QStringLiteral("DuplexCB"));
            EXPECT_TRUE(bin && sides);
            if (!bin || !sides)
                return int(QDialog::Rejected);
            EXPECT_EQ(bin->currentText(), QStringLiteral("Předvolená"));
            EXPECT_EQ(sides->currentText(), QStringLiteral("jednostranně"));
            bin->setCurrentIndex(bin->findText(QStringLiteral("Bottom")));
            sides->setCurrentIndex(sides->findText(QStringLiteral("po délce")));
            return int(QDialog::Accepted);
        });
        EXPECT_TRUE(a4.ShowPropertiesDialog());
    }
    EXPECT_EQ(a4.Bin(), DMBIN_LOWER);
    EXPECT_EQ(a4.DefaultBin(), DMBIN_LOWER);
    EXPECT_EQ(a4.Duplex(), DMDUP_VERTICAL);
    // The chosen tray and sides win over what the pages ask for.
    a4.SetPrintParameters(DMPAPER_A4, poPortrait, 1, 3, DMBIN_AUTO, 0, 0);
    EXPECT_EQ(a4.DevMode().DefaultSource, DMBIN_LOWER);
    EXPECT_EQ(a4.DevMode().Duplex, DMDUP_VERTICAL);
    // ... until the next document ends.
    EXPECT_TRUE(a4.EndDocument());
    EXPECT_EQ(a4.Bin(), -1);
    EXPECT_EQ(a4.Duplex(), -1);

    ScopedModalRunner cancel([](QDialog&) { return int(QDialog::Rejected); });
    EXPECT_FALSE(a4.ShowPropertiesDialog());
    EXPECT_EQ(a4.Bin(), -1);
}

TEST_F(SandboxTest, UnknownQueueStaysUninitialisedAndPrintsNothing)
{
    ScriptedServices ui;
    ScopedServices use(ui);
    TzdPrinter p(QStringLiteral("NoSuchQueue"), QString());
    p.Initialize();
    EXPECT_FALSE(p.IsInitialized());
    EXPECT_FALSE(p.BeginDocument());
    EXPECT_FALSE(p.Printing());
    EXPECT_FALSE(p.BeginRawDocument());
    ASSERT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 2u);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox"))[0].text, QStringLiteral("Printer selected is not valid"));
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox"))[0].caption, QStringLiteral("Chyba"));
}

TEST_F(SandboxTest, ReportPagesReachTheCurrentPrinterThroughTheLink)
{
    ASSERT_NE(zdPrinterLink(), nullptr);
    const TzdPrinterDefaults defaults = zdCurrentPrinterDefaults();
    EXPECT_EQ(defaults.Paper, DMPAPER_A4);
    EXPECT_EQ(defaults.PaperWidth, 210);
    EXPECT_EQ(defaults.PaperHeight, 297);
    EXPECT_EQ(defaults.Orientation, poPortrait);
    EXPECT_EQ(zdPrinterLink()->IndexOf(QStringLiteral("ZDLETTER")), 1);
}
