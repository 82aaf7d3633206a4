#include "PreviewTestUtil.h"

#include "ScriptedServices.h"
#include "zdClass_band.h"
#include "zdClass_report.h"
#include "zdPreviewLink.h"
#include "zdXML.h"

#include <gtest/gtest.h>

using previewtest::SyntheticPages;
using previewtest::addMemo;
using previewtest::blankPage;

namespace {

// Records what the mouse handling asks of the preview and the report.
struct RecordingLink : zd::PreviewLink {
    QStringList log;
    QStringList drill;
    QString panel1, panel2, hint;
    bool showHint = false;
    int pageNo = 0;
    std::pair<int, int> scrolled{0, 0};
    QStringList tabs;
    TzdReport* report = nullptr;
    std::function<void()> duringStatus;
    bool reprepared = false;

    void SetPageNo(int N) override { pageNo = N; }
    void ScrollToPosition(int Page, int Top) override { scrolled = {Page, Top}; }
    bool HasTabNamed(const QString& Name) override { return tabs.contains(Name); }
    void SelectTabByName(const QString& Name) override { log << QStringLiteral("select ") + Name; }
    void AddTab(TzdReport*, TzdCustomPreviewPages*, const QString& Name, const QString&, bool,
                const QString&) override
    {
        tabs << Name;
    }
    bool SeveralTabs() override { return tabs.size() > 1; }
    bool UseReportHints() override { return true; }
    void SetHint(const QString& Hint) override { hint = Hint; }
    void SetShowHint(bool Value) override { showHint = Value; }
    void ActivateHint(QPoint, const QString&) override {}
    void Reprepare() override { reprepared = true; }
    void RepaintPreview() override {}
    void RepaintPages() override {}
    TzdReport* Report() override { return report; }
    void ShowProgressText(const QString& Text, bool SecondPanel) override
    {
        (SecondPanel ? panel2 : panel1) = Text;
        if (duringStatus)
            duringStatus();
    }
    QStringList& ToggledDrillNames() override { return drill; }
    void FireMouseEnter(TzdView* View, bool&) override { log << QStringLiteral("enter ") + View->Name(); }
    void FireMouseLeave(TzdView* View, bool&) override { log << QStringLiteral("leave ") + View->Name(); }
    void FireMouseUp(TzdView* View, int, int, plat::TMouseButton, plat::TShiftState, bool&) override
    {
        log << QStringLiteral("up ") + View->Name();
    }
    void FirePreviewClick(TzdView* View, plat::TMouseButton, plat::TShiftState, bool&, bool Dbl) override
    {
        log << (Dbl ? QStringLiteral("dblclick ") : QStringLiteral("click ")) + View->Name();
    }
};

// A store whose page 0 holds: A (10,10 100x20), B (200,10 100x20), C over
// B's right half (250,10 100x20), and a drill-down group header at y 100
// holding D.
struct MouseFixture {
    SyntheticPages data{2};
    RecordingLink link;
    plat::ScriptedServices ui;
    plat::ScopedServices use{ui};
    MouseFixture(const std::function<void(TzdReportPage*)>& more = {})
    {
        auto page = blankPage();
        addMemo(page.get(), QStringLiteral("A"), 10, 10, 100, 20);
        addMemo(page.get(), QStringLiteral("B"), 200, 10, 100, 20);
        addMemo(page.get(), QStringLiteral("C"), 250, 10, 100, 20);
        auto* header = new TzdGroupHeader(page.get());
        header->SetName(QStringLiteral("GroupHeader1"));
        header->SetParent(page.get());
        header->SetBounds(0, 100, 700, 40);
        header->DrillDown = true;
        header->DrillName = QStringLiteral("g1");
        addMemo(header, QStringLiteral("D"), 20, 5, 100, 20);
        if (more)
            more(page.get());
        data.pages.ReplacePage(0, page.get());
        data.pages.Link = &link;
        link.report = &data.writer.report;
    }
    plat::TCursor at(int x, int y, quint8 kind = 2, plat::TMouseButton button = plat::mbLeft, int pageNo = 0)
    {
        plat::TCursor cursor = 150;
        data.pages.HandleMouseAt(pageNo, x, y, button, {}, 1, 0, 0, cursor, kind);
        return cursor;
    }
};

} // namespace

TEST(PreviewMouse, EnterAndLeaveFollowThePointer)
{
    MouseFixture f;
    f.at(20, 15);
    f.at(30, 15);  // still over A: nothing
    f.at(220, 15); // A -> B
    f.at(260, 15); // C lies over B: C gets the events
    f.at(500, 500);
    f.at(501, 500); // empty space again: nothing
    EXPECT_EQ(f.link.log, (QStringList{QStringLiteral("enter A"), QStringLiteral("leave A"),
                                       QStringLiteral("enter B"), QStringLiteral("leave B"),
                                       QStringLiteral("enter C"), QStringLiteral("leave C")}));
}

TEST(PreviewMouse, ReleaseAndClickKinds)
{
    MouseFixture f;
    f.at(20, 15, 3);
    f.at(20, 15, 0);
    f.at(20, 15, 1);
    EXPECT_EQ(f.link.log, (QStringList{QStringLiteral("enter A"), QStringLiteral("up A"), QStringLiteral("click A"),
                                       QStringLiteral("dblclick A")}));
}

TEST(PreviewMouse, EdgesOfTheHitTest)
{
    MouseFixture f;
    f.at(10, 10); // left and top edges are inside
    f.at(110, 15); // right edge is outside
    EXPECT_EQ(f.link.log, (QStringList{QStringLiteral("enter A"), QStringLiteral("leave A")}));
}

TEST(PreviewMouse, HyperlinksByKind)
{
    struct Case {
        TzdHyperlinkKind kind;
        const char* value;
        plat::TCursor ownCursor;
        plat::TCursor cursor;      // after a move
        const char* opened;        // shell-opened target, or empty
        int pageNo;
        std::pair<int, int> scrolled;
    };
    const Case cases[] = {
        {hkURL, "https://example.com/a?b=1", plat::crDefault, plat::crHandPoint, "https://example.com/a?b=1", 0, {0, 0}},
        {hkURL, "mailto:x@example.com", plat::crCross, plat::crCross, "mailto:x@example.com", 0, {0, 0}},
        // Never a program or a local file.
        {hkURL, "file:///bin/sh", plat::crDefault, plat::crHandPoint, "", 0, {0, 0}},
        {hkURL, "calc.exe", plat::crDefault, plat::crHandPoint, "", 0, {0, 0}},
        {hkURL, "http://a b", plat::crDefault, plat::crHandPoint, "", 0, {0, 0}},
        {hkPageNumber, "2", plat::crDefault, plat::crHandPoint, "", 2, {0, 0}},
        {hkAnchor, "Kotva", plat::crDefault, plat::crHandPoint, "", 0, {2, 35}},
        {hkAnchor, "missing", plat::crDefault, plat::crHandPoint, "", 0, {0, 0}},
        {hkCustom, "x", plat::crDefault, plat::crHandPoint, "", 0, {0, 0}},
    };
    for (const Case& c : cases) {
        MouseFixture f([&](TzdReportPage* page) {
            TzdMemoView* link = addMemo(page, QStringLiteral("L"), 10, 200, 100, 20);
            link->Hyperlink()->Kind = c.kind;
            link->Hyperlink()->Value = QString::fromUtf8(c.value);
            link->SetCursor(c.ownCursor);
        });
        f.data.pages.CurPageIndex = 1;
        f.data.pages.AddAnchor(QStringLiteral("kotva"), 35);
        const QString value = QString::fromUtf8(c.value);
        EXPECT_EQ(f.at(20, 205), c.cursor) << c.value;
        EXPECT_EQ(f.link.panel1, value) << c.value;
        f.at(20, 205, 0);
        const auto opened = f.ui.CallsOf(QStringLiteral("ShellOpen"));
        if (*c.opened) {
            ASSERT_EQ(opened.size(), 1u) << c.value;
            EXPECT_EQ(opened[0].text, QString::fromUtf8(c.opened));
        } else {
            EXPECT_TRUE(opened.empty()) << c.value;
        }
        EXPECT_EQ(f.link.pageNo, c.pageNo) << c.value;
        EXPECT_EQ(f.link.scrolled, c.scrolled) << c.value;
    }
}

TEST(PreviewMouse, PageNumberThatIsNoNumberRaises)
{
    MouseFixture f([](TzdReportPage* page) {
        TzdMemoView* link = addMemo(page, QStringLiteral("L"), 10, 200, 100, 20);
        link->Hyperlink()->Kind = hkPageNumber;
        link->Hyperlink()->Value = QStringLiteral("dva");
    });
    f.at(20, 205);
    EXPECT_THROW(f.at(20, 205, 0), plat::EConvertError);
    // The guard is released: the next call runs.
    f.at(500, 500);
    EXPECT_EQ(f.link.log.last(), QStringLiteral("leave L"));
}

TEST(PreviewMouse, DetailTabAlreadyOpenIsSelected)
{
    MouseFixture f([](TzdReportPage* page) {
        TzdMemoView* link = addMemo(page, QStringLiteral("L"), 10, 200, 100, 20);
        link->Hyperlink()->Kind = hkDetailReport;
        link->Hyperlink()->Value = QStringLiteral("detail");
        link->Hyperlink()->DetailReport = QStringLiteral("/nonexistent/detail.zd3");
    });
    f.at(20, 205, 0); // no such template: nothing opens
    EXPECT_TRUE(f.link.tabs.isEmpty());
    f.link.tabs << QStringLiteral("first") << QStringLiteral("detail");
    f.at(20, 205, 0);
    EXPECT_EQ(f.link.log.last(), QStringLiteral("select detail"));
}

TEST(PreviewMouse, HintsGoToTheStatusAndTheHintWindow)
{
    MouseFixture f([](TzdReportPage* page) {
        TzdMemoView* memo = addMemo(page, QStringLiteral("H"), 10, 200, 100, 20);
        memo->SetHint(QStringLiteral("Krátká|Dlouhá nápověda"));
        memo->SetShowHint(true);
    });
    f.at(20, 205);
    EXPECT_EQ(f.link.hint, QStringLiteral("Krátká"));
    EXPECT_EQ(f.link.panel2, QStringLiteral("Dlouhá nápověda"));
    EXPECT_TRUE(f.link.showHint);
    f.at(500, 500);
    EXPECT_FALSE(f.link.showHint);
    EXPECT_TRUE(f.link.panel2.isEmpty());
}

TEST(PreviewMouse, DrillDownHeaderTogglesOnLeftClickOnly)
{
    MouseFixture f;
    // On an object of the header and on empty band space alike.
    EXPECT_EQ(f.at(30, 110), plat::crHandPoint);
    EXPECT_EQ(f.at(400, 130), plat::crHandPoint);
    f.at(400, 130, 0, plat::mbRight);
    f.at(400, 130, 1);
    EXPECT_TRUE(f.link.drill.isEmpty());
    EXPECT_FALSE(f.link.reprepared);
    f.at(400, 130, 0);
    EXPECT_EQ(f.link.drill, QStringList{QStringLiteral("g1")});
    EXPECT_TRUE(f.link.reprepared);
    f.at(30, 110, 0);
    EXPECT_TRUE(f.link.drill.isEmpty());
}

TEST(PreviewMouse, MirrorMarginsOnOddPages)
{
    MouseFixture f([](TzdReportPage* page) {
        page->LeftMargin = 10;
        page->RightMargin = 30;
        page->MirrorMargins = true;
    });
    f.data.pages.ReplacePage(1, f.data.pages.GetPage(0));
    const int left = int(std::nearbyint(double(10 * zd01cm)));
    const int right = int(std::nearbyint(double(30 * zd01cm)));
    f.at(left + 20, 15, 2, plat::mbLeft, 0);
    f.at(right + 20, 15, 2, plat::mbLeft, 1);
    EXPECT_EQ(f.link.log, (QStringList{QStringLiteral("enter A"), QStringLiteral("leave A"),
                                       QStringLiteral("enter A")}));
}

TEST(PreviewMouse, OutOfRangeOrRunningDoesNothing)
{
    MouseFixture f;
    f.at(20, 15, 2, plat::mbLeft, -1);
    f.at(20, 15, 2, plat::mbLeft, 5);
    EXPECT_TRUE(f.link.log.isEmpty());
}

TEST(PreviewMouse, ANestedCallDuringAStatusTextIsIgnored)
{
    MouseFixture f([](TzdReportPage* page) {
        TzdMemoView* link = addMemo(page, QStringLiteral("L"), 10, 200, 100, 20);
        link->Hyperlink()->Value = QStringLiteral("https://example.com");
    });
    int nested = 0;
    f.link.duringStatus = [&] {
        // What a pumped event would do: another mouse call over object A.
        ++nested;
        f.at(20, 15, 0);
    };
    f.at(20, 205);
    EXPECT_GT(nested, 0);
    EXPECT_EQ(f.link.log, QStringList{QStringLiteral("enter L")});
}
