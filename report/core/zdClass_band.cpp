#include "zdClass_band.h"

#include "Exceptions.h"
#include "Canvas.h"
#include "Graphics.h"
#include "zdClass_page.h"
#include "zdClass_services.h"
#include "zdDataSets.h"
#include "zdRes.h"

#include <cmath>
#include <unordered_set>

PLAT_DEFINE_CLASS(TzdFillGaps, c)
{
    c.property("Top", &TzdFillGaps::Top);
    c.property("Left", &TzdFillGaps::Left);
    c.property("Bottom", &TzdFillGaps::Bottom);
    c.property("Right", &TzdFillGaps::Right);
}

namespace {

template <class C>
void bandCommon(plat::ClassBuilder<C>& c)
{
    c.property("FillType", &TzdBand::FillType, &TzdBand::SetFillType);
    c.property("Fill", &TzdBand::Fill, &TzdBand::SetFill);
    c.property("FillGap", &TzdBand::FillGap, &TzdBand::SetFillGap);
    c.property("Frame", &TzdBand::Frame, &TzdBand::SetFrame);
    c.property("Font", &TzdComponent::Font, &TzdComponent::SetFont).stored(&TzdComponent::IsFontStored);
    c.property("Height", &TzdComponent::Height, &TzdComponent::SetHeight);
    c.property("Left", &TzdComponent::Left, &TzdComponent::SetLeft);
    c.property("ParentFont", &TzdComponent::ParentFont, &TzdComponent::SetParentFont).defaultValue(true);
    c.property("Restrictions", &TzdComponent::Restrictions, &TzdComponent::SetRestrictions)
        .defaultValue(TzdRestrictions{});
    c.property("Top", &TzdComponent::Top, &TzdComponent::SetTop);
    c.property("Vertical", &TzdBand::Vertical, &TzdBand::SetVertical).defaultValue(false);
    c.property("Visible", &TzdComponent::Visible, &TzdComponent::SetVisible).defaultValue(true);
    c.property("Width", &TzdComponent::Width, &TzdComponent::SetWidth);
    c.template property<TzdNotifyEvent>("OnAfterCalcHeight", &TzdBand::OnAfterCalcHeight);
    c.template property<TzdNotifyEvent>("OnAfterPrint", &TzdReportComponent::OnAfterPrint);
    c.template property<TzdNotifyEvent>("OnBeforePrint", &TzdReportComponent::OnBeforePrint);
}

// The published Boolean flags of the bands, each declared once.
template <class C>
struct BandFlags {
    plat::ClassBuilder<C>& c;
    void AllowSplit() { c.property("AllowSplit", &TzdBand::AllowSplit).defaultValue(false); }
    void Child() { c.property("Child", &TzdBand::Child, &TzdBand::SetChild); }
    void KeepChild() { c.property("KeepChild", &TzdBand::KeepChild).defaultValue(false); }
    void PrintChildIfInvisible()
    {
        c.property("PrintChildIfInvisible", &TzdBand::PrintChildIfInvisible).defaultValue(false);
    }
    void StartNewPage() { c.property("StartNewPage", &TzdBand::StartNewPage).defaultValue(false); }
    void Stretched() { c.property("Stretched", &TzdBand::Stretched).defaultValue(false); }
    // The set of report titles and summaries, children and footers.
    void TitleSet(bool startNewPage)
    {
        AllowSplit();
        Child();
        KeepChild();
        PrintChildIfInvisible();
        if (startNewPage)
            StartNewPage();
        Stretched();
    }
};

template <class C>
void dataBandSet(plat::ClassBuilder<C>& c)
{
    BandFlags<C> f{c};
    f.AllowSplit();
    f.Child();
    c.property("Columns", &TzdDataBand::Columns).defaultValue(0);
    c.property("ColumnWidth", &TzdDataBand::ColumnWidth);
    c.property("ColumnGap", &TzdDataBand::ColumnGap);
    c.property("DataSet", &TzdDataBand::DataSet, &TzdDataBand::SetDataSet);
    c.property("DataSetName", &TzdDataBand::DataSetName, &TzdDataBand::SetDataSetName);
    c.property("FooterAfterEach", &TzdDataBand::FooterAfterEach).defaultValue(false);
    c.property("Filter", &TzdDataBand::Filter);
    f.KeepChild();
    c.property("KeepFooter", &TzdDataBand::KeepFooter).defaultValue(false);
    c.property("KeepHeader", &TzdDataBand::KeepHeader).defaultValue(false);
    c.property("KeepTogether", &TzdDataBand::KeepTogether).defaultValue(false);
    c.property("OutlineText", &TzdDataBand::OutlineText);
    f.PrintChildIfInvisible();
    c.property("PrintIfDetailEmpty", &TzdDataBand::PrintIfDetailEmpty).defaultValue(false);
    c.property("RowCount", &TzdDataBand::RowCount, &TzdDataBand::SetRowCount);
    f.StartNewPage();
    f.Stretched();
    c.template property<TzdNotifyEvent>("OnMasterDetail", &TzdDataBand::OnMasterDetail);
}

} // namespace

PLAT_DEFINE_CLASS(TzdBand, c)
{
    bandCommon(c);
}
PLAT_DEFINE_CLASS(TzdNullBand, c) {}
PLAT_DEFINE_CLASS(TzdReportTitle, c)
{
    BandFlags<TzdReportTitle>{c}.TitleSet(true);
}
PLAT_DEFINE_CLASS(TzdReportSummary, c)
{
    BandFlags<TzdReportSummary>{c}.TitleSet(true);
}
PLAT_DEFINE_CLASS(TzdPageHeader, c)
{
    BandFlags<TzdPageHeader> f{c};
    f.Child();
    f.PrintChildIfInvisible();
    c.property("PrintOnFirstPage", &TzdPageHeader::PrintOnFirstPage).defaultValue(true);
    f.Stretched();
}
PLAT_DEFINE_CLASS(TzdPageFooter, c)
{
    c.property("PrintOnFirstPage", &TzdPageFooter::PrintOnFirstPage).defaultValue(true);
    c.property("PrintOnLastPage", &TzdPageFooter::PrintOnLastPage).defaultValue(true);
}
PLAT_DEFINE_CLASS(TzdHeader, c)
{
    BandFlags<TzdHeader> f{c};
    f.AllowSplit();
    f.Child();
    f.KeepChild();
    f.PrintChildIfInvisible();
    c.property("ReprintOnNewPage", &TzdHeader::ReprintOnNewPage).defaultValue(false);
    f.StartNewPage();
    f.Stretched();
}
PLAT_DEFINE_CLASS(TzdFooter, c)
{
    BandFlags<TzdFooter>{c}.TitleSet(false);
}
PLAT_DEFINE_CLASS(TzdDataBand, c)
{
    dataBandSet(c);
}
PLAT_DEFINE_CLASS(TzdMasterData, c) {}
PLAT_DEFINE_CLASS(TzdDetailData, c) {}
PLAT_DEFINE_CLASS(TzdSubdetailData, c) {}
PLAT_DEFINE_CLASS(TzdDataBand4, c) {}
PLAT_DEFINE_CLASS(TzdDataBand5, c) {}
PLAT_DEFINE_CLASS(TzdDataBand6, c) {}
PLAT_DEFINE_CLASS(TzdGroupHeader, c)
{
    BandFlags<TzdGroupHeader> f{c};
    f.AllowSplit();
    f.Child();
    c.property("Condition", &TzdGroupHeader::Condition);
    c.property("DrillDown", &TzdGroupHeader::DrillDown).defaultValue(false);
    c.property("ExpandDrillDown", &TzdGroupHeader::ExpandDrillDown).defaultValue(false);
    f.KeepChild();
    c.property("KeepTogether", &TzdGroupHeader::KeepTogether).defaultValue(false);
    c.property("ReprintOnNewPage", &TzdGroupHeader::ReprintOnNewPage).defaultValue(false);
    c.property("OutlineText", &TzdGroupHeader::OutlineText);
    f.PrintChildIfInvisible();
    c.property("ResetPageNumbers", &TzdGroupHeader::ResetPageNumbers).defaultValue(false);
    c.property("ShowFooterIfDrillDown", &TzdGroupHeader::ShowFooterIfDrillDown).defaultValue(false);
    c.property("ShowChildIfDrillDown", &TzdGroupHeader::ShowChildIfDrillDown).defaultValue(false);
    f.StartNewPage();
    f.Stretched();
    c.property("DrillName", &TzdGroupHeader::DrillName);
}
PLAT_DEFINE_CLASS(TzdGroupFooter, c)
{
    BandFlags<TzdGroupFooter> f{c};
    f.AllowSplit();
    f.Child();
    c.property("HideIfSingleDataRecord", &TzdGroupFooter::HideIfSingleDataRecord).defaultValue(false);
    f.KeepChild();
    f.PrintChildIfInvisible();
    f.Stretched();
}
PLAT_DEFINE_CLASS(TzdChild, c)
{
    BandFlags<TzdChild>{c}.TitleSet(true);
}
PLAT_DEFINE_CLASS(TzdColumnHeader, c)
{
    BandFlags<TzdColumnHeader> f{c};
    f.Child();
    f.Stretched();
}
PLAT_DEFINE_CLASS(TzdColumnFooter, c) {}
PLAT_DEFINE_CLASS(TzdOverlay, c)
{
    c.property("PrintOnTop", &TzdOverlay::PrintOnTop).defaultValue(false);
}

PLAT_DEFINE_CLASS(TzdSubreport, c)
{
    c.property("Page", &TzdSubreport::Page, &TzdSubreport::SetPage);
    c.property("PrintOnParent", &TzdSubreport::PrintOnParent).defaultValue(false);
}

void TzdFillGaps::Assign(plat::TPersistent* Source)
{
    if (auto* src = dynamic_cast<TzdFillGaps*>(Source)) {
        Top = src->Top;
        Left = src->Left;
        Bottom = src->Bottom;
        Right = src->Right;
        return;
    }
    plat::TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// TzdBand

TzdBand::TzdBand(plat::TComponent* AOwner)
    : TzdReportComponent(AOwner)
    , m_fill(new TzdBrushFill)
    , m_fillGap(new TzdFillGaps)
    , m_frame(new TzdFrame)
{
}

TzdBand::~TzdBand()
{
    SetChild(nullptr);
    delete m_fill;
    delete m_fillGap;
    delete m_frame;
}

QString TzdBand::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obBand"));
}

void TzdBand::Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                   long double OffsetY)
{
    if (!DesignMode || !Canvas)
        return;
    const long double left = GetAbsLeft();
    const long double top = GetAbsTop();
    m_fill->Draw(Canvas, zd::roundPixel(left * ScaleX + OffsetX), zd::roundPixel(top * ScaleY + OffsetY),
                 zd::roundPixel((left + Width()) * ScaleX + OffsetX),
                 zd::roundPixel((top + Height()) * ScaleY + OffsetY), ScaleX, ScaleY);
}

bool TzdBand::onDotMatrixPage() const
{
    return Parent() && Parent()->InheritsFrom(u"TzdDMPPage");
}

void TzdBand::SetLeft(long double Value)
{
    if (onDotMatrixPage())
        Value = std::nearbyint(Value / zd1CharX) * zd1CharX;
    TzdReportComponent::SetLeft(Value);
}

void TzdBand::SetTop(long double Value)
{
    if (onDotMatrixPage())
        Value = std::nearbyint(Value / zd1CharY) * zd1CharY;
    TzdReportComponent::SetTop(Value);
}

void TzdBand::SetHeight(long double Value)
{
    if (onDotMatrixPage())
        Value = std::nearbyint(Value / zd1CharY) * zd1CharY;
    TzdReportComponent::SetHeight(Value);
}

QString TzdBand::GetKindName() const
{
    QString name = ClassName();
    const qsizetype tzd = name.indexOf(QStringLiteral("Tzd"));
    if (tzd >= 0)
        name.remove(tzd, 3);
    // The numbered data bands keep it: "DataBand4" is their resource key.
    if (name.endsWith(QStringLiteral("Band")))
        name.chop(4);
    return name;
}

namespace zd {

const plat::TClass* const* bandKindTable(int& Count)
{
    static const plat::TClass* const table[] = {
        TzdReportTitle::StaticClass(),   TzdReportSummary::StaticClass(), TzdPageHeader::StaticClass(),
        TzdPageFooter::StaticClass(),    TzdHeader::StaticClass(),        TzdFooter::StaticClass(),
        TzdMasterData::StaticClass(),    TzdDetailData::StaticClass(),    TzdSubdetailData::StaticClass(),
        TzdDataBand4::StaticClass(),     TzdDataBand5::StaticClass(),     TzdDataBand6::StaticClass(),
        TzdGroupHeader::StaticClass(),   TzdGroupFooter::StaticClass(),   TzdChild::StaticClass(),
        TzdColumnHeader::StaticClass(),  TzdColumnFooter::StaticClass(),  TzdOverlay::StaticClass(),
    };
    Count = static_cast<int>(std::size(table));
    return table;
}

} // namespace zd

int TzdBand::GetKindIndex() const
{
    int count = 0;
    const plat::TClass* const* table = zd::bandKindTable(count);
    int result = 0;
    for (int i = 0; i < count; ++i)
        if (InheritsFrom(table[i]))
            result = i;
    return result;
}

TzdFillType TzdBand::FillType() const
{
    return zdGetFillType(m_fill);
}

void TzdBand::SetFillType(TzdFillType Value)
{
    if (!zd::setFillKind(m_fill, Value))
        return;
    if (zd::ReportDocument* doc = zd::reportDocumentOf(this))
        if (TzdCustomDesigner* designer = doc->Designer())
            designer->RefreshInspector();
}

void TzdBand::SetFill(TzdCustomFill* Value)
{
    if (!Value)
        return;
    SetFillType(zdGetFillType(Value));
    m_fill->Assign(Value);
}

void TzdBand::SetChild(TzdBand* Value)
{
    if (Value) {
        // A damaged file may hold a chain that loops without this band: the
        // walk stops at the first band met twice.
        std::unordered_set<const TzdBand*> visited;
        for (const TzdBand* b = Value; b; b = b->m_child) {
            if (b == this || !visited.insert(b).second)
                throw plat::Exception(zdGetResources()->GetText(QStringLiteral("clCirRefNotAllow")));
        }
    }
    if (m_child == Value)
        return;
    if (m_child)
        m_child->RemoveFreeNotification(this);
    m_child = Value;
    if (m_child)
        m_child->FreeNotification(this);
}

void TzdBand::Notification(plat::TComponent* AComponent, plat::TOperation Operation)
{
    TzdReportComponent::Notification(AComponent, Operation);
    if (Operation != plat::opRemove)
        return;
    if (AComponent == m_child)
        m_child = nullptr;
    if (AComponent == m_fillObject)
        m_fillObject = nullptr;
}

namespace {

bool isInitialBrush(const TzdCustomFill* fill)
{
    auto* brush = dynamic_cast<const TzdBrushFill*>(fill);
    return brush && brush->BackColor == plat::clNone && brush->ForeColor == plat::clBlack &&
           brush->Style == plat::bsSolid;
}

} // namespace

void TzdBand::MakeFillObject()
{
    if (InheritsFrom(u"TzdNullBand"))
        return;
    if (isInitialBrush(m_fill) && m_frame->Typ.empty())
        return;
    if (!m_fillObject) {
        // The fill object is a text object; until the text objects are
        // linked in, a band prints its fill and frame without one.
        const plat::TClass* memoClass = plat::GetClass(QStringLiteral("TzdMemoView"));
        if (!memoClass)
            return;
        auto* view = dynamic_cast<TzdView*>(memoClass->CreateComponent(Owner()));
        if (!view)
            return;
        m_fillObject = view;
        m_fillObject->FreeNotification(this);
    }
    TzdView* fill = m_fillObject;
    fill->SetAlign(baHidden);
    fill->SetParent(this);
    fill->SetFill(m_fill);
    fill->SetFrame(m_frame);
    // Each gap takes room from its own side.
    fill->SetLeft(m_fillGap->Left);
    fill->SetTop(m_fillGap->Top);
    fill->SetWidth(Width() - m_fillGap->Left - m_fillGap->Right);
    fill->SetHeight(Height() - m_fillGap->Top - m_fillGap->Bottom);
    if (Children().front() != fill) {
        fill->SetParent(nullptr);
        std::vector<TzdComponent*> rest(Children());
        for (TzdComponent* c : rest)
            c->SetParent(nullptr);
        fill->SetParent(this);
        for (TzdComponent* c : rest)
            c->SetParent(this);
    }
}

void TzdBand::FreeFillObject()
{
    delete m_fillObject;
    m_fillObject = nullptr;
}

// ---------------------------------------------------------------------------
// Data bands

TzdDataBand::TzdDataBand(plat::TComponent* AOwner)
    : TzdBand(AOwner)
    , m_rowSource(new TzdUserDataSet(nullptr))
{
    m_rowSource->SetRangeEnd(reCount);
}

TzdDataBand::~TzdDataBand()
{
    SetDataSet(nullptr);
    delete m_rowSource;
}

QString TzdDataBand::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obDataBand"));
}

void TzdDataBand::SetDataSet(TzdDataSet* Value)
{
    linkDataSet(m_dataSet, Value);
    m_dataSetName = Value ? Value->UserName() : QString();
}

QString TzdDataBand::DataSetName() const
{
    return m_dataSet ? m_dataSet->UserName() : m_dataSetName;
}

void TzdDataBand::SetDataSetName(const QString& Value)
{
    m_dataSetName = Value;
    linkDataSet(m_dataSet, FindDataSet(m_dataSet, Value));
}

void TzdDataBand::Notification(plat::TComponent* AComponent, plat::TOperation Operation)
{
    TzdBand::Notification(AComponent, Operation);
    if (Operation == plat::opRemove && AComponent == m_dataSet)
        m_dataSet = nullptr;
}

void TzdDataBand::SetRowCount(int Value)
{
    m_rowCount = Value;
    m_rowSource->SetRangeEndCount(Value);
}

void TzdDataBand::MoveToColumn(int N)
{
    if (N > Columns)
        N = 1;
    CurrentColumn = N;
    if (N == 1)
        SavedColumnPos = 0;
    // Past the setter: columns are no design move.
    TzdComponent::SetLeft((N - 1) * (ColumnWidth + ColumnGap));
}

// ---------------------------------------------------------------------------
// Group header

QString TzdGroupHeader::DiffAttributes(TzdComponent* Reference)
{
    QString out = TzdBand::DiffAttributes(Reference);
    if (DrillDown)
        zd::appendDiffItem(out, QStringLiteral("DrillName"), zd::diffEscaped(DrillName));
    return out;
}

// ---------------------------------------------------------------------------
// Subreport

TzdSubreport::TzdSubreport(plat::TComponent* AOwner) : TzdView(AOwner)
{
    SetObjectStyle(ObjectStyle() - TzdObjectStyle{osPreviewCopy});
    Frame()->Typ = TzdFrameTypes{ftLeft, ftRight, ftTop, ftBottom};
    Font()->SetName(QStringLiteral("Tahoma"));
    Font()->SetSize(8);
    SetColor(plat::clSilver);
}

TzdSubreport::~TzdSubreport()
{
    SetPage(nullptr);
}

QString TzdSubreport::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obSubRep"));
}

void TzdSubreport::SetPage(TzdReportPage* Value)
{
    if (m_page == Value)
        return;
    if (m_page) {
        m_page->EmbeddingSubreport = nullptr;
        m_page->RemoveFreeNotification(this);
    }
    m_page = Value;
    if (m_page) {
        m_page->EmbeddingSubreport = this;
        m_page->FreeNotification(this);
    }
}

void TzdSubreport::Notification(plat::TComponent* AComponent, plat::TOperation Operation)
{
    TzdView::Notification(AComponent, Operation);
    if (Operation == plat::opRemove && AComponent == m_page)
        m_page = nullptr;
}

void TzdSubreport::Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                        long double OffsetY)
{
    TzdView::Draw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (!Canvas)
        return;
    Canvas->SetFont(*Font());
    Canvas->TextOut(PixX + 2, PixY + 2, Name());
}
