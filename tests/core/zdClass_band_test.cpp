// Bands and pages: the kind table, dot-matrix snapping, child chains,
// columns, and the paper of report pages.

#include "Exceptions.h"
#include "SysUtils.h"
#include "zdClass_band.h"
#include "zdClass_fill.h"
#include "zdClass_memo.h"
#include "zdClass_shape.h"
#include "zdClass_page.h"
#include "zdDataSets.h"
#include "zdModelFixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace zdtest {
// A page of the dot-matrix kind, as the export layer defines it.
class TzdDMPPage : public TzdReportPage {
    PLAT_CLASS(TzdDMPPage, TzdReportPage)
public:
    explicit TzdDMPPage(plat::TComponent* AOwner) : TzdReportPage(AOwner) {}
};
} // namespace zdtest

PLAT_DEFINE_CLASS(zdtest::TzdDMPPage, c) {}

namespace {

TEST(ReportPage, NewPageIsA4Portrait)
{
    TzdReportPage page(nullptr);
    EXPECT_EQ(page.PaperSize(), 9);
    EXPECT_EQ(page.Orientation(), plat::poPortrait);
    EXPECT_DOUBLE_EQ(double(page.PaperWidth()), 210.0);
    EXPECT_DOUBLE_EQ(double(page.PaperHeight()), 297.0);
    EXPECT_EQ(double(page.Width()), 794.0);   // Round(210 x 3.77953)
    EXPECT_EQ(double(page.Height()), 1123.0); // Round(297 x 3.77953)
    EXPECT_EQ(page.Bin, 7);
    EXPECT_EQ(page.PageCount(), 1);
    EXPECT_EQ(page.Color(), plat::clNone);
}

TEST(ReportPage, OwnWidthMakesCustomSize)
{
    TzdReportPage page(nullptr);
    page.SetPaperWidth(100);
    EXPECT_EQ(page.PaperSize(), 256);
    EXPECT_EQ(double(page.Width()), 378.0);
    // 256 keeps the paper and the pixels as they are.
    page.SetPaperSize(256);
    EXPECT_DOUBLE_EQ(double(page.PaperWidth()), 100.0);
    EXPECT_EQ(double(page.Width()), 378.0);
    // A table paper in landscape comes turned.
    page.SetOrientation(plat::poLandscape);
    page.SetPaperSize(11); // A5
    EXPECT_DOUBLE_EQ(double(page.PaperWidth()), 210.0);
    EXPECT_DOUBLE_EQ(double(page.PaperHeight()), 148.0);
}

TEST(ReportPage, LandscapeTurnsTheMarginsAndBack)
{
    TzdReportPage page(nullptr);
    page.LeftMargin = 10;
    page.RightMargin = 20;
    page.TopMargin = 30;
    page.BottomMargin = 40;
    page.SetOrientation(plat::poLandscape);
    EXPECT_EQ(double(page.LeftMargin), 30.0);
    EXPECT_EQ(double(page.RightMargin), 40.0);
    EXPECT_EQ(double(page.TopMargin), 20.0);
    EXPECT_EQ(double(page.BottomMargin), 10.0);
    EXPECT_DOUBLE_EQ(double(page.PaperWidth()), 297.0);
    EXPECT_EQ(double(page.Width()), 1123.0);
    page.SetOrientation(plat::poPortrait);
    EXPECT_EQ(double(page.LeftMargin), 10.0);
    EXPECT_EQ(double(page.RightMargin), 20.0);
    EXPECT_EQ(double(page.TopMargin), 30.0);
    EXPECT_EQ(double(page.BottomMargin), 40.0);
    EXPECT_DOUBLE_EQ(double(page.PaperWidth()), 210.0);
}

TEST(ReportPage, ThreeColumnsSpreadThePrintableWidth)
{
    TzdReportPage page(nullptr);
    page.LeftMargin = 10;
    page.RightMargin = 10;
    page.SetColumns(3);
    EXPECT_NEAR(double(page.ColumnWidth), 63.3333333, 1e-6);
    ASSERT_EQ(page.ColumnPositions()->Count(), 3);
    EXPECT_EQ(page.ColumnPositions()->Strings(0), QStringLiteral("0"));
    EXPECT_NEAR(plat::StrToFloat(page.ColumnPositions()->Strings(1)), 63.3333333, 1e-6);
    EXPECT_NEAR(plat::StrToFloat(page.ColumnPositions()->Strings(2)), 126.6666667, 1e-6);
    page.SetPageCount(0);
    EXPECT_EQ(page.PageCount(), 1);
}

TEST(ReportPage, AlignChildrenSizesBandsToColumnsAndGivesTheSheetBack)
{
    TzdReportPage page(nullptr);
    page.LeftMargin = page.RightMargin = 10;
    page.SetColumns(2);
    auto* title = new TzdReportTitle(nullptr);
    auto* data = new TzdMasterData(nullptr);
    title->SetParent(&page);
    data->SetParent(&page);
    data->SetLeft(0);
    page.AlignChildren();
    EXPECT_NEAR(double(title->Width()), 190 * 3.77953, 1e-6);
    EXPECT_NEAR(double(data->Width()), 95 * 3.77953, 1e-6);
    EXPECT_EQ(double(page.Width()), 794.0);
}

// The kind table: index and name of every kind, in order.
TEST(Bands, KindIndexAndNameOfEveryKind)
{
    const struct {
        const char* cls;
        int index;
        const char* kind;
    } cases[] = {
        {"TzdReportTitle", 0, "ReportTitle"},   {"TzdReportSummary", 1, "ReportSummary"},
        {"TzdPageHeader", 2, "PageHeader"},     {"TzdPageFooter", 3, "PageFooter"},
        {"TzdHeader", 4, "Header"},             {"TzdFooter", 5, "Footer"},
        {"TzdMasterData", 6, "MasterData"},     {"TzdDetailData", 7, "DetailData"},
        {"TzdSubdetailData", 8, "SubdetailData"}, {"TzdDataBand4", 9, "DataBand4"},
        {"TzdDataBand5", 10, "DataBand5"},      {"TzdDataBand6", 11, "DataBand6"},
        {"TzdGroupHeader", 12, "GroupHeader"},  {"TzdGroupFooter", 13, "GroupFooter"},
        {"TzdChild", 14, "Child"},              {"TzdColumnHeader", 15, "ColumnHeader"},
        {"TzdColumnFooter", 16, "ColumnFooter"}, {"TzdOverlay", 17, "Overlay"},
        {"TzdNullBand", 0, "Null"},             {"TzdDataBand", 0, "Data"},
    };
    zdtest::startReportLibrary();
    for (const auto& c : cases) {
        const plat::TClass* cls = plat::GetClass(QString::fromLatin1(c.cls));
        if (!cls) // TzdDataBand itself is not created from files
            cls = TzdDataBand::StaticClass();
        std::unique_ptr<TzdBand> band(dynamic_cast<TzdBand*>(cls->CreateComponent(nullptr)));
        ASSERT_TRUE(band) << c.cls;
        EXPECT_EQ(band->GetKindIndex(), c.index) << c.cls;
        EXPECT_EQ(band->GetKindName(), QString::fromLatin1(c.kind)) << c.cls;
    }
}

TEST(Bands, SnapToCharacterCellsOnDotMatrixPages)
{
    zdtest::TzdDMPPage dmp(nullptr);
    TzdReportPage plain(nullptr);
    auto* snapped = new TzdMasterData(nullptr);
    auto* free = new TzdMasterData(nullptr);
    snapped->SetParent(&dmp);
    free->SetParent(&plain);
    for (TzdBand* b : {snapped, free}) {
        b->SetTop(20);
        b->SetHeight(30);
        b->SetLeft(20);
    }
    EXPECT_EQ(double(snapped->Top()), 17.0);
    EXPECT_EQ(double(snapped->Height()), 34.0);
    EXPECT_NEAR(double(snapped->Left()), 19.2, 1e-9);
    EXPECT_EQ(double(free->Top()), 20.0);
    EXPECT_EQ(double(free->Height()), 30.0);
    EXPECT_EQ(double(free->Left()), 20.0);
}

TEST(Bands, ChildChainsRefuseCircles)
{
    TzdChild a(nullptr), b(nullptr), c(nullptr);
    EXPECT_THROW(a.SetChild(&a), plat::Exception);
    EXPECT_EQ(a.Child(), nullptr);
    a.SetChild(&b);
    b.SetChild(&c);
    try {
        c.SetChild(&a);
        FAIL() << "no error";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Circular child reference is not allowed"));
    }
    EXPECT_EQ(c.Child(), nullptr);
    EXPECT_EQ(a.Child(), &b);
    a.SetChild(nullptr);
    EXPECT_EQ(a.Child(), nullptr);
}

TEST(Bands, FreedChildIsForgotten)
{
    TzdChild a(nullptr);
    auto* b = new TzdChild(nullptr);
    a.SetChild(b);
    delete b;
    EXPECT_EQ(a.Child(), nullptr);
}

TEST(Bands, ColumnPastTheLastActsAsTheFirst)
{
    TzdMasterData band(nullptr);
    band.Columns = 2;
    band.ColumnWidth = 100;
    band.ColumnGap = 10;
    band.MoveToColumn(2);
    EXPECT_EQ(double(band.Left()), 110.0);
    band.SavedColumnPos = 5;
    band.MoveToColumn(3);
    EXPECT_EQ(band.CurrentColumn, 1);
    EXPECT_EQ(double(band.Left()), 0.0);
    EXPECT_EQ(double(band.SavedColumnPos), 0.0);
}

TEST(Bands, RowCountDrivesTheOwnRowSource)
{
    TzdMasterData band(nullptr);
    band.SetRowCount(5);
    TzdUserDataSet* rows = band.RowSource();
    int n = 0;
    rows->Initialize();
    for (rows->First(); !rows->Eof() && n < 100; rows->Next())
        ++n;
    EXPECT_EQ(n, 5);
}

TEST(Bands, DrillNameIsEscapedInPreparedPages)
{
    TzdGroupHeader band(nullptr);
    TzdGroupHeader reference(nullptr);
    band.DrillDown = true;
    band.DrillName = QStringLiteral("a\"<b>&");
    const QString diff = band.DiffAttributes(&reference);
    EXPECT_TRUE(diff.contains(QStringLiteral("DrillName=\"a&#34;&#60;b&#62;&#38;\""))) << diff.toStdString();
    band.DrillDown = false;
    EXPECT_FALSE(band.DiffAttributes(&reference).contains(QStringLiteral("DrillName")));
}

TEST(Bands, NoFillObjectForAnEmptyFill)
{
    TzdMasterData band(nullptr);
    band.MakeFillObject();
    EXPECT_EQ(band.FillObject(), nullptr);
}

TEST(Bands, FillObjectIsAHiddenTextObjectUnderTheOthers)
{
    zdtest::startReportLibrary();
    TzdMasterData band(nullptr);
    band.SetWidth(300);
    band.SetHeight(40);
    auto* shape = new TzdShapeView(nullptr);
    shape->SetParent(&band);
    band.Frame()->Typ = TzdFrameTypes{ftBottom};
    band.MakeFillObject();
    auto* fill = dynamic_cast<TzdMemoView*>(band.FillObject());
    ASSERT_TRUE(fill);
    ASSERT_EQ(band.Children().size(), 2u);
    EXPECT_EQ(band.Children().front(), fill);
    EXPECT_EQ(fill->Align(), baHidden);
    EXPECT_TRUE(fill->Frame()->Typ.contains(ftBottom));
    EXPECT_EQ(double(fill->Left()), 0.0);
    EXPECT_EQ(double(fill->Top()), 0.0);
    EXPECT_EQ(double(fill->Width()), 300.0);
    EXPECT_EQ(double(fill->Height()), 40.0);

    // Made again: the same object takes the band's new fill and gaps.
    band.SetFillType(ftGradient);
    auto* gradient = dynamic_cast<TzdGradientFill*>(band.Fill());
    ASSERT_TRUE(gradient);
    gradient->StartColor = plat::clRed;
    band.FillGap()->Left = 5;
    band.FillGap()->Top = 3;
    band.FillGap()->Right = 7;
    band.FillGap()->Bottom = 2;
    band.MakeFillObject();
    EXPECT_EQ(band.FillObject(), fill);
    EXPECT_EQ(band.Children().size(), 2u);
    auto* copied = dynamic_cast<TzdGradientFill*>(fill->Fill());
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->StartColor, plat::clRed);
    EXPECT_EQ(double(fill->Left()), 5.0);
    EXPECT_EQ(double(fill->Top()), 3.0);
    EXPECT_EQ(double(fill->Width()), 288.0);
    EXPECT_EQ(double(fill->Height()), 35.0);

    band.FreeFillObject();
    EXPECT_EQ(band.FillObject(), nullptr);
    ASSERT_EQ(band.Children().size(), 1u);
    EXPECT_EQ(band.Children().front(), shape);
}

TEST(Bands, NullBandHasNoFillObject)
{
    zdtest::startReportLibrary();
    TzdNullBand band(nullptr);
    band.Frame()->Typ = TzdFrameTypes{ftTop};
    band.MakeFillObject();
    EXPECT_EQ(band.FillObject(), nullptr);
}

TEST(Subreport, PagePointsBackToItsSubreport)
{
    TzdReportPage page(nullptr);
    {
        TzdSubreport sub(nullptr);
        sub.SetPage(&page);
        EXPECT_TRUE(page.BelongsToSubreport());
        EXPECT_EQ(page.EmbeddingSubreport, &sub);
        EXPECT_EQ(sub.Color(), plat::clSilver);
        EXPECT_EQ(sub.Font()->Name(), QStringLiteral("Tahoma"));
    }
    EXPECT_FALSE(page.BelongsToSubreport());
}

} // namespace
