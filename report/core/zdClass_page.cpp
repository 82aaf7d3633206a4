#include "zdClass_page.h"

#include "Graphics.h"
#include "SysUtils.h"
#include "zdClass_band.h"
#include "zdClass_picture.h"
#include "zdDataSets.h"
#include "zdDialogControl.h"
#include "zdPrinterLink.h"
#include "zdRes.h"

#include <cmath>

PLAT_DEFINE_ENUM(TzdDuplexMode, "dmNone", "dmVertical", "dmHorizontal", "dmSimplex")

PLAT_DEFINE_CLASS(TzdPage, c)
{
    c.property("Font", &TzdComponent::Font, &TzdComponent::SetFont);
    c.property("Visible", &TzdComponent::Visible, &TzdComponent::SetVisible).defaultValue(true);
}

PLAT_DEFINE_CLASS(TzdReportPage, c)
{
    using P = TzdReportPage;
    c.property("Orientation", &P::Orientation, &P::SetOrientation).defaultValue(plat::poPortrait);
    c.property("PaperWidth", &P::PaperWidth, &P::SetPaperWidth);
    c.property("PaperHeight", &P::PaperHeight, &P::SetPaperHeight);
    c.property("PaperSize", &P::PaperSize, &P::SetPaperSize);
    c.property("LeftMargin", &P::LeftMargin);
    c.property("RightMargin", &P::RightMargin);
    c.property("TopMargin", &P::TopMargin);
    c.property("BottomMargin", &P::BottomMargin);
    c.property("MirrorMargins", &P::MirrorMargins).defaultValue(false);
    c.property("Columns", &P::Columns, &P::SetColumns).defaultValue(0);
    c.property("ColumnWidth", &P::ColumnWidth);
    c.property("ColumnPositions", &P::ColumnPositions, &P::SetColumnPositions);
    c.property("Bin", &P::Bin).defaultValue(plat::DMBIN_AUTO);
    c.property("BinOtherPages", &P::BinOtherPages).defaultValue(plat::DMBIN_AUTO);
    c.property("BackPicture", &P::BackPicture, &P::SetBackPicture);
    c.property("BackPictureVisible", &P::BackPictureVisible).defaultValue(true);
    c.property("BackPicturePrintable", &P::BackPicturePrintable).defaultValue(true);
    c.property("BackPictureStretched", &P::BackPictureStretched).defaultValue(true);
    c.property("PageCount", &P::PageCount, &P::SetPageCount).defaultValue(1);
    c.property<plat::ti::TColor>("Color", &P::Color, &P::SetColor).defaultValue(plat::clNone);
    c.property("DataSet", &P::DataSet, &P::SetDataSet);
    c.property("DataSetName", &P::DataSetName, &P::SetDataSetName);
    c.property("Duplex", &P::Duplex).defaultValue(dmNone);
    c.property("Frame", &P::Frame, &P::SetFrame);
    c.property("EndlessHeight", &P::EndlessHeight).defaultValue(false);
    c.property("EndlessWidth", &P::EndlessWidth).defaultValue(false);
    c.property("LargeDesignHeight", &P::LargeDesignHeight).defaultValue(false);
    c.property("OutlineText", &P::OutlineText);
    c.property("PrintIfEmpty", &P::PrintIfEmpty).defaultValue(true);
    c.property("PrintOnPreviousPage", &P::PrintOnPreviousPage).defaultValue(false);
    c.property("ShowTitleOnPreviousPage", &P::ShowTitleOnPreviousPage).defaultValue(true);
    c.property("ResetPageNumbers", &P::ResetPageNumbers).defaultValue(false);
    c.property("TitleBeforeHeader", &P::TitleBeforeHeader).defaultValue(true);
    c.property("HGuides", &P::HGuides, &P::SetHGuides);
    c.property("VGuides", &P::VGuides, &P::SetVGuides);
    c.property<TzdNotifyEvent>("OnAfterPrint", &P::OnAfterPrint);
    c.property<TzdNotifyEvent>("OnBeforePrint", &P::OnBeforePrint);
    c.property<TzdNotifyEvent>("OnManualBuild", &P::OnManualBuild);
}

PLAT_DEFINE_CLASS(TzdDialogPage, c)
{
    using P = TzdDialogPage;
    c.property("BorderStyle", &P::BorderStyle).defaultValue(plat::fbsSizeable);
    c.property("Caption", &P::Caption);
    c.property<plat::ti::TColor>("Color", &P::Color).defaultValue(plat::clBtnFace);
    c.property("Height", &TzdComponent::Height, &TzdComponent::SetHeight);
    c.property("ClientHeight", &P::ClientHeight, &P::SetClientHeight);
    c.property("Left", &TzdComponent::Left, &TzdComponent::SetLeft);
    c.property("Position", &P::Position).defaultValue(plat::poScreenCenter);
    c.property("Top", &TzdComponent::Top, &TzdComponent::SetTop);
    c.property("Width", &TzdComponent::Width, &TzdComponent::SetWidth);
    c.property("ClientWidth", &P::ClientWidth, &P::SetClientWidth);
    c.property("WindowState", &P::WindowState).defaultValue(plat::wsNormal);
    c.property<TzdNotifyEvent>("OnActivate", &P::OnActivate);
    c.property<TzdNotifyEvent>("OnClick", &P::OnClick);
    c.property<TzdNotifyEvent>("OnCloseQuery", &P::OnCloseQuery);
    c.property<TzdNotifyEvent>("OnDeactivate", &P::OnDeactivate);
    c.property<TzdNotifyEvent>("OnHide", &P::OnHide);
    c.property<TzdNotifyEvent>("OnKeyDown", &P::OnKeyDown);
    c.property<TzdNotifyEvent>("OnKeyPress", &P::OnKeyPress);
    c.property<TzdNotifyEvent>("OnKeyUp", &P::OnKeyUp);
    c.property<TzdNotifyEvent>("OnShow", &P::OnShow);
    c.property<TzdNotifyEvent>("OnResize", &P::OnResize);
}

PLAT_DEFINE_CLASS(TzdDataPage, c)
{
    c.property("Height", &TzdComponent::Height, &TzdComponent::SetHeight);
    c.property("Left", &TzdComponent::Left, &TzdComponent::SetLeft);
    c.property("Top", &TzdComponent::Top, &TzdComponent::SetTop);
    c.property("Width", &TzdComponent::Width, &TzdComponent::SetWidth);
}

TzdPage::TzdPage(plat::TComponent* AOwner) : TzdComponent(AOwner) {}
TzdPage::~TzdPage() = default;

// ---------------------------------------------------------------------------
// Report page

TzdReportPage::TzdReportPage(plat::TComponent* AOwner)
    : TzdPage(AOwner)
    , m_columnPositions(new zd::TStringList)
    , m_hGuides(new zd::TStringList)
    , m_vGuides(new zd::TStringList)
    , m_backgroundView(new TzdPictureView(nullptr))
{
    NameStem = QStringLiteral("Page");
    m_backgroundView->KeepAspectRatio = false;
    m_backgroundView->SetColor(plat::clNone);
    plat::LookupPaperSize(m_paperSize, m_paperWidth, m_paperHeight);
    SizeToPaper();
}

TzdReportPage::~TzdReportPage()
{
    if (EmbeddingSubreport) {
        TzdSubreport* sub = EmbeddingSubreport;
        EmbeddingSubreport = nullptr;
        sub->SetPage(nullptr);
    }
    // Any other subreport still naming this page (a second one set on it
    // later) lets go now, while this is still a report page to talk to.
    if (plat::TComponent* owner = Owner())
        for (int i = 0; i < owner->ComponentCount(); ++i)
            if (auto* sub = dynamic_cast<TzdSubreport*>(owner->Components(i)); sub && sub->Page() == this)
                sub->SetPage(nullptr);
    SetDataSet(nullptr);
    delete m_backgroundView;
    delete m_columnPositions;
    delete m_hGuides;
    delete m_vGuides;
}

QString TzdReportPage::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obRepPage"));
}

void TzdReportPage::SizeToPaper()
{
    SetWidth(std::nearbyint(m_paperWidth * zd01cm));
    SetHeight(std::nearbyint(m_paperHeight * zd01cm));
}

void TzdReportPage::SetPaperWidth(long double Value)
{
    m_paperWidth = zdRound8(Value);
    m_paperSize = plat::DMPAPER_USER;
    SizeToPaper();
}

void TzdReportPage::SetPaperHeight(long double Value)
{
    m_paperHeight = zdRound8(Value);
    m_paperSize = plat::DMPAPER_USER;
    SizeToPaper();
}

void TzdReportPage::SetPaperSize(int Value)
{
    m_paperSize = Value;
    if (Value >= plat::DMPAPER_USER)
        return;
    long double width = 0, height = 0;
    if (plat::LookupPaperSize(Value, width, height)) {
        if (m_orientation == plat::poLandscape)
            std::swap(width, height);
        m_paperWidth = width;
        m_paperHeight = height;
    }
    SizeToPaper();
}

void TzdReportPage::SetPaperFormat(int Size, long double Width, long double Height)
{
    m_paperSize = Size;
    m_paperWidth = zdRound8(Width);
    m_paperHeight = zdRound8(Height);
    SizeToPaper();
}

void TzdReportPage::ApplyPrinterDefaults()
{
    LeftMargin = RightMargin = TopMargin = BottomMargin = 10;
    const TzdPrinterDefaults d = zdCurrentPrinterDefaults();
    m_paperSize = d.Paper;
    m_paperWidth = d.PaperWidth;
    m_paperHeight = d.PaperHeight;
    m_orientation = d.Orientation;
    SizeToPaper();
}

void TzdReportPage::SetOrientation(plat::TPrinterOrientation Value)
{
    if (Value != m_orientation) {
        std::swap(m_paperWidth, m_paperHeight);
        const long double left = LeftMargin, right = RightMargin, top = TopMargin, bottom = BottomMargin;
        if (Value == plat::poLandscape) {
            LeftMargin = top;
            RightMargin = bottom;
            TopMargin = right;
            BottomMargin = left;
        } else {
            LeftMargin = bottom;
            RightMargin = top;
            TopMargin = left;
            BottomMargin = right;
        }
        SizeToPaper();
    }
    m_orientation = Value;
}

void TzdReportPage::SetColumns(int Value)
{
    m_columns = Value;
    m_columnPositions->Clear();
    if (Value <= 0)
        return;
    ColumnWidth = (m_paperWidth - LeftMargin - RightMargin) / Value;
    for (int i = 0; i < Value; ++i)
        m_columnPositions->Add(plat::FloatToStr(i * ColumnWidth));
}

void TzdReportPage::SetColumnPositions(zd::TStringList* Value)
{
    if (Value)
        m_columnPositions->Assign(*Value);
}

void TzdReportPage::SetHGuides(zd::TStringList* Value)
{
    if (Value)
        m_hGuides->Assign(*Value);
}

void TzdReportPage::SetVGuides(zd::TStringList* Value)
{
    if (Value)
        m_vGuides->Assign(*Value);
}

void TzdReportPage::RemoveAllGuides()
{
    m_hGuides->Clear();
    m_vGuides->Clear();
}

plat::TPicture* TzdReportPage::BackPicture() const
{
    return m_backgroundView->Picture();
}

void TzdReportPage::SetBackPicture(plat::TPicture* Value)
{
    m_backgroundView->SetPicture(Value);
}

plat::TColor TzdReportPage::Color() const
{
    return m_backgroundView->Color();
}

void TzdReportPage::SetColor(plat::TColor Value)
{
    m_backgroundView->SetColor(Value);
}

TzdFrame* TzdReportPage::Frame() const
{
    return m_backgroundView->Frame();
}

void TzdReportPage::SetFrame(TzdFrame* Value)
{
    m_backgroundView->SetFrame(Value);
}

void TzdReportPage::SetPageCount(int Value)
{
    if (Value > 0)
        m_pageCount = Value;
}

void TzdReportPage::SetDataSet(TzdDataSet* Value)
{
    linkDataSet(m_dataSet, Value);
    m_dataSetName = Value ? Value->UserName() : QString();
}

QString TzdReportPage::DataSetName() const
{
    return m_dataSet ? m_dataSet->UserName() : m_dataSetName;
}

void TzdReportPage::SetDataSetName(const QString& Value)
{
    m_dataSetName = Value;
    linkDataSet(m_dataSet, FindDataSet(m_dataSet, Value));
}

void TzdReportPage::Notification(plat::TComponent* AComponent, plat::TOperation Operation)
{
    TzdPage::Notification(AComponent, Operation);
    if (Operation == plat::opRemove && AComponent == m_dataSet)
        m_dataSet = nullptr;
}

void TzdReportPage::PaintBackPicture(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY,
                                     long double OffsetX, long double OffsetY)
{
    if (BackPictureStretched) {
        m_backgroundView->SetWidth((m_paperWidth - LeftMargin - RightMargin) * zd01cm);
        m_backgroundView->SetHeight((m_paperHeight - TopMargin - BottomMargin) * zd01cm);
    } else {
        m_backgroundView->SetWidth(BackPicture()->Width());
        m_backgroundView->SetHeight(BackPicture()->Height());
    }
    if (!BackPictureVisible || (DrawingForPrinter && !BackPicturePrintable))
        return;
    m_backgroundView->Draw(Canvas, ScaleX, ScaleY, OffsetX + ScaleX * LeftMargin * zd01cm,
                           OffsetY + ScaleY * TopMargin * zd01cm);
}

void TzdReportPage::AlignChildren()
{
    const long double printableWidth = (m_paperWidth - LeftMargin - RightMargin) * zd01cm;
    const long double printableHeight = (m_paperHeight - TopMargin - BottomMargin) * zd01cm;
    SetWidth(printableWidth);
    SetHeight(printableHeight);
    TzdPage::AlignChildren();
    for (TzdComponent* child : std::vector<TzdComponent*>(Children())) {
        auto* band = dynamic_cast<TzdBand*>(child);
        if (!band)
            continue;
        if (band->Vertical()) {
            band->SetHeight(printableHeight - band->Top());
        } else if (m_columns > 1 && !band->InheritsFrom(TzdNullBand::StaticClass()) &&
                   !band->InheritsFrom(TzdReportSummary::StaticClass()) &&
                   !band->InheritsFrom(TzdPageHeader::StaticClass()) &&
                   !band->InheritsFrom(TzdPageFooter::StaticClass()) &&
                   !band->InheritsFrom(TzdReportTitle::StaticClass()) &&
                   !band->InheritsFrom(TzdOverlay::StaticClass())) {
            band->SetWidth(ColumnWidth * zd01cm);
        } else {
            band->SetWidth(printableWidth - band->Left());
        }
        band->AlignChildren();
    }
    SizeToPaper();
}

TzdBand* TzdReportPage::FirstBandOfClass(const plat::TClass* BandClass) const
{
    for (TzdComponent* child : Children())
        if (child->InheritsFrom(BandClass))
            return dynamic_cast<TzdBand*>(child);
    return nullptr;
}

// ---------------------------------------------------------------------------
// Dialog page

TzdDialogPage::TzdDialogPage(plat::TComponent* AOwner) : TzdPage(AOwner)
{
    Font()->SetName(QStringLiteral("Tahoma"));
    Font()->SetSize(8);
}

TzdDialogPage::~TzdDialogPage()
{
    const QMutexLocker lock(&zdClassLock());
    for (TzdComponent* c : std::vector<TzdComponent*>(Children()))
        delete c;
    zd::freeDialogPageForm(m_form);
}

QString TzdDialogPage::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obDlgPage"));
}

void TzdDialogPage::SetClientWidth(long double Value)
{
    m_clientWidth = Value;
}

void TzdDialogPage::SetClientHeight(long double Value)
{
    m_clientHeight = Value;
}

// ---------------------------------------------------------------------------
// Data page

TzdDataPage::TzdDataPage(plat::TComponent* AOwner) : TzdPage(AOwner)
{
    SetWidth(1000);
    SetHeight(1000);
}

QString TzdDataPage::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obDataPage"));
}
