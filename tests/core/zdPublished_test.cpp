// The published properties of each report class, in declaration order with
// their types and defaults, against a hand-written list. Later report
// classes add their sections to the list.

#include "zdClass.h"
#include "zdCollections.h"
#include "zdDataSets.h"
#include "zdReportComponent.h"
#include "zdVariables.h"
#include "zdChBox.h"
#include "zdClass_fill.h"
#include "zdClass_highlight.h"
#include "zdClass_memo.h"
#include "zdClass_picture.h"
#include "zdClass_services.h"
#include "zdClass_shape.h"
#include "zdClass_style.h"
#include "zdClass_view.h"
#include "zdGradient.h"
#include "zdBarcode2DView.h"
#include "zdBarcodeView.h"
#include "zdClass_band.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_report.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace {

QString defaultText(const plat::TPropInfo* prop)
{
    const plat::TTypeInfo* type = prop->PropType();
    if (type->Kind() == plat::tkEnumeration)
        return type->EnumName(prop->Default());
    if (type->Kind() == plat::tkSet)
        return type->SetToString(static_cast<quint32>(prop->Default()), true);
    return QString::number(prop->Default());
}

QString listing(const plat::TClass* cls)
{
    QString out = cls->ClassName() + u'\n';
    for (const plat::TPropInfo* prop : cls->Properties()) {
        out += QStringLiteral("  ") + prop->Name() + QStringLiteral(": ") + prop->PropType()->Name();
        if (prop->HasDefault())
            out += QStringLiteral(" = ") + defaultText(prop);
        if (!prop->IsStoredAlways())
            out += QStringLiteral(" (not stored)");
        out += u'\n';
    }
    return out;
}

} // namespace

TEST(PublishedProperties, ReportClassesMatchTheList)
{
    const plat::TClass* classes[] = {
        TzdComponent::StaticClass(),       TzdReportComponent::StaticClass(), TzdDialogComponent::StaticClass(),
        TzdDataSet::StaticClass(),         TzdUserDataSet::StaticClass(),     TzdCustomDBDataSet::StaticClass(),
        TzdCustomDatabase::StaticClass(),  TzdCollectionItem::StaticClass(),  TzdVariable::StaticClass(),
        TzdBrushFill::StaticClass(),       TzdGradientFill::StaticClass(),    TzdGlassFill::StaticClass(),
        TzdFrameLine::StaticClass(),       TzdFrame::StaticClass(),           TzdHyperlink::StaticClass(),
        TzdView::StaticClass(),            TzdStretcheable::StaticClass(),    TzdHighlight::StaticClass(),
        TzdFormat::StaticClass(),          TzdShapeView::StaticClass(),       TzdCustomLineView::StaticClass(),
        TzdLineView::StaticClass(),        TzdPictureView::StaticClass(),     TzdCheckBoxView::StaticClass(),
        TzdGradientView::StaticClass(),    TzdCustomEngine::StaticClass(),    TzdCustomExportFilter::StaticClass(),
        TzdCustomMemoView::StaticClass(),  TzdMemoView::StaticClass(),        TzdSysMemoView::StaticClass(),
        TzdStyleItem::StaticClass(),
        // Bands of every kind, the subreport and the pages.
        TzdFillGaps::StaticClass(),        TzdBand::StaticClass(),            TzdNullBand::StaticClass(),
        TzdReportTitle::StaticClass(),     TzdReportSummary::StaticClass(),   TzdPageHeader::StaticClass(),
        TzdPageFooter::StaticClass(),      TzdHeader::StaticClass(),          TzdFooter::StaticClass(),
        TzdDataBand::StaticClass(),        TzdMasterData::StaticClass(),      TzdDetailData::StaticClass(),
        TzdSubdetailData::StaticClass(),   TzdDataBand4::StaticClass(),       TzdDataBand5::StaticClass(),
        TzdDataBand6::StaticClass(),       TzdGroupHeader::StaticClass(),     TzdGroupFooter::StaticClass(),
        TzdChild::StaticClass(),           TzdColumnHeader::StaticClass(),    TzdColumnFooter::StaticClass(),
        TzdOverlay::StaticClass(),         TzdSubreport::StaticClass(),       TzdPage::StaticClass(),
        TzdReportPage::StaticClass(),      TzdDialogPage::StaticClass(),      TzdDataPage::StaticClass(),
        // The report, its options and its dataset list.
        TzdEngineOptions::StaticClass(),   TzdPreviewOptions::StaticClass(),  TzdPrintOptions::StaticClass(),
        TzdReportOptions::StaticClass(),   TzdDataSetItem::StaticClass(),     TzdReport::StaticClass(),
        // Barcode objects and their property classes.
        TzdBarCodeView::StaticClass(),     TzdBarcode2DView::StaticClass(),   TzdBarcode2DProperties::StaticClass(),
        TzdPDF417Properties::StaticClass(), TzdDataMatrixProperties::StaticClass(), TzdQRProperties::StaticClass(),
    };
    QString actual;
    for (const plat::TClass* cls : classes)
        actual += listing(cls);
    QFile golden(QStringLiteral(SORVAMET_TEST_DATA "/model/published.golden"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    EXPECT_EQ(actual.toStdString(), QString::fromUtf8(golden.readAll()).toStdString());
}
