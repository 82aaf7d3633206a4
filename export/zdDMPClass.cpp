#include "zdDMPClass.h"

#include "Exceptions.h"
#include "SysUtils.h"
#include "TypeInfo.h"
#include "zdDataSets.h"
#include "zdDsgnIntf.h"
#include "zdClass_highlight.h"
#include "zdRes.h"

#include <cmath>

PLAT_DEFINE_ENUM(TzdDMPFontStyle, "fsxBold", "fsxItalic", "fsxUnderline", "fsxSuperScript", "fsxSubScript",
                 "fsxCondensed", "fsxWide", "fsx12cpi", "fsx15cpi")
PLAT_DEFINE_SET(TzdDMPFontStyles, TzdDMPFontStyle)

PLAT_DEFINE_CLASS(TzdDMPPage, c)
{
    c.property("FontStyle", &TzdDMPPage::FontStyle, &TzdDMPPage::SetFontStyle);
}

PLAT_DEFINE_CLASS(TzdDMPMemoView, c)
{
    using M = TzdDMPMemoView;
    c.property("AutoWidth", &M::AutoWidth).defaultValue(false);
    c.property("AllowExpressions", &M::AllowExpressions).defaultValue(true);
    zd::ViewProperties<M> v{c};
    v.DataField();
    v.DataSet();
    v.DataSetName();
    c.property("DisplayFormat", &M::DisplayFormat, &M::SetDisplayFormat).stored(&M::IsDisplayFormatStored);
    c.property("ExpressionDelimiters", &M::ExpressionDelimiters);
    c.property("FlowTo", &M::FlowTo, &M::SetFlowTo);
    c.property("FontStyle", &M::FontStyle, &M::SetFontStyle).stored(&M::IsFontStyleStored);
    v.Frame();
    c.property("HAlign", &M::HAlign).defaultValue(haLeft);
    c.property("HideZeros", &M::HideZeros).defaultValue(false);
    c.property("Memo", &M::Memo, &M::SetMemo);
    c.property("ParentFont", &TzdComponent::ParentFont, &TzdComponent::SetParentFont).defaultValue(true);
    c.property("RTLReading", &M::RTLReading).defaultValue(false);
    c.property("SuppressRepeated", &M::SuppressRepeated).defaultValue(false);
    c.property("WordWrap", &M::WordWrap).defaultValue(true);
    c.property("TruncOutboundText", &M::TruncOutboundText).defaultValue(true);
    c.property("VAlign", &M::VAlign).defaultValue(vaTop);
}

PLAT_DEFINE_CLASS(TzdDMPLineView, c)
{
    using L = TzdDMPLineView;
    c.property("FontStyle", &L::FontStyle, &L::SetFontStyle).stored(&L::IsFontStyleStored);
    c.property("ParentFont", &TzdComponent::ParentFont, &TzdComponent::SetParentFont).defaultValue(true);
}

PLAT_DEFINE_CLASS(TzdDMPCommand, c)
{
    c.property("Command", &TzdDMPCommand::Command);
}

namespace {

constexpr long double kCellX = zd1CharX;
constexpr long double kCellY = zd1CharY;
constexpr long double kPixelsPerMM = 3.77953L;

long double roundTo(long double x, long double cell) { return std::nearbyint(x / cell) * cell; }
long double truncTo(long double x, long double cell) { return std::trunc(x / cell) * cell; }

TzdDMPPage* dmpPageOf(const TzdComponent* Obj)
{
    return dynamic_cast<TzdDMPPage*>(Obj->GetPage());
}

} // namespace

namespace zd {

QByteArray DecodeDMPCommand(const QString& Text)
{
    QByteArray result;
    if (Text.startsWith(QLatin1Char('#'))) {
        const QString s = Text + QLatin1Char('#');
        QString number;
        for (qsizetype i = 1; i < s.size(); ++i) {
            if (s[i] == QLatin1Char('#')) {
                result.append(char(plat::StrToInt(number) & 0xFF));
                number.clear();
            } else {
                number += s[i];
            }
        }
        return result;
    }
    for (qsizetype i = 0; i + 1 < Text.size(); i += 2)
        result.append(char(plat::StrToInt(QStringLiteral("$") + Text.mid(i, 2)) & 0xFF));
    return result;
}

void ApplyDMPFont(plat::TFont* Font, TzdDMPFontStyles Style)
{
    Font->SetName(QStringLiteral("Courier New"));
    Font->SetSize(12);
    plat::TFontStyles fs;
    if (Style.contains(fsxBold))
        fs.include(plat::fsBold);
    if (Style.contains(fsxItalic))
        fs.include(plat::fsItalic);
    if (Style.contains(fsxUnderline))
        fs.include(plat::fsUnderline);
    Font->SetStyle(fs);
}

void startDotMatrixUnit()
{
    // Templates create the classes by element name.
    plat::RegisterClasses({TzdDMPPage::StaticClass(), TzdDMPMemoView::StaticClass(), TzdDMPLineView::StaticClass(),
                           TzdDMPCommand::StaticClass()});
    zd::registerScriptClass(TzdDMPCommand::StaticClass(), QStringLiteral("TzdView"));
    zd::registerScriptClass(TzdDMPMemoView::StaticClass(), QStringLiteral("TzdCustomMemoView"));
    zd::registerScriptClass(TzdDMPLineView::StaticClass(), QStringLiteral("TzdCustomLineView"));
    zd::registerScriptClass(TzdDMPPage::StaticClass(), QStringLiteral("TzdReportPage"));
    TzdObjectCollection* registry = zdGetObjectRegistry();
    const TzdPageKinds dotMatrix{fpkDotMatrixPage};
    registry->Unregister(TzdDMPMemoView::StaticClass());
    registry->Unregister(TzdDMPLineView::StaticClass());
    registry->Unregister(TzdDMPCommand::StaticClass());
    registry->RegisterObject(TzdDMPMemoView::StaticClass(), nullptr, QString(), QString(), 0, 2, dotMatrix);
    registry->RegisterObject(TzdDMPLineView::StaticClass(), nullptr, QString(), QString(), 0, 5, dotMatrix);
    registry->RegisterObject(TzdDMPCommand::StaticClass(), nullptr, QString(), QString(), 0, 21, dotMatrix);
}

void endDotMatrixUnit()
{
    TzdObjectCollection* registry = zdGetObjectRegistry();
    registry->Unregister(TzdDMPMemoView::StaticClass());
    registry->Unregister(TzdDMPLineView::StaticClass());
    registry->Unregister(TzdDMPCommand::StaticClass());
}

} // namespace zd

// ---------------------------------------------------------------------------

TzdDMPPage::TzdDMPPage(plat::TComponent* AOwner) : TzdReportPage(AOwner) { applyFont(); }

void TzdDMPPage::applyFont()
{
    m_applying = true;
    zd::ApplyDMPFont(Font(), m_fontStyle);
    m_applying = false;
}

void TzdDMPPage::FontChanged()
{
    if (!m_applying)
        TzdReportPage::FontChanged();
}

void TzdDMPPage::SetFontStyle(TzdDMPFontStyles Value)
{
    m_fontStyle = Value;
    applyFont();
    for (TzdComponent* obj : std::vector<TzdComponent*>(AllObjects()))
        if (obj->ParentFont())
            obj->SetParentFont(true);
}

void TzdDMPPage::SetPaperWidth(long double Value)
{
    TzdReportPage::SetPaperWidth(Value);
    SetPaperFormat(PaperSize(), roundTo(PaperWidth() * kPixelsPerMM, kCellX) / kPixelsPerMM, PaperHeight());
}

void TzdDMPPage::SetPaperHeight(long double Value)
{
    TzdReportPage::SetPaperHeight(Value);
    SetPaperFormat(PaperSize(), PaperWidth(), roundTo(PaperHeight() * kPixelsPerMM, kCellY) / kPixelsPerMM);
}

void TzdDMPPage::SetPaperSize(int Value)
{
    TzdReportPage::SetPaperSize(Value);
    SetPaperFormat(PaperSize(), roundTo(PaperWidth() * kPixelsPerMM, kCellX) / kPixelsPerMM,
                   roundTo(PaperHeight() * kPixelsPerMM, kCellY) / kPixelsPerMM);
}

void TzdDMPPage::ApplyPrinterDefaults()
{
    TzdReportPage::ApplyPrinterDefaults();
    LeftMargin = RightMargin = kCellX / kPixelsPerMM;
    TopMargin = BottomMargin = kCellY / kPixelsPerMM;
    SetPaperFormat(PaperSize(), truncTo(PaperWidth() * kPixelsPerMM, kCellX) / kPixelsPerMM,
                   truncTo(PaperHeight() * kPixelsPerMM, kCellY) / kPixelsPerMM);
}

// ---------------------------------------------------------------------------

TzdDMPMemoView::TzdDMPMemoView(plat::TComponent* AOwner) : TzdCustomMemoView(AOwner)
{
    m_applying = true;
    zd::ApplyDMPFont(Font(), m_fontStyle);
    m_applying = false;
    CharSpacing = 0;
    LineSpacing = 1;
    GapX = 0;
    GapY = 0;
}

QString TzdDMPMemoView::ClassDisplayName() const { return zdGetResources()->GetText(QStringLiteral("obDMPText")); }

void TzdDMPMemoView::FontChanged()
{
    if (!m_applying)
        TzdCustomMemoView::FontChanged();
}

void TzdDMPMemoView::SetLeft(long double Value)
{
    TzdCustomMemoView::SetLeft(Align() == baRight ? truncTo(Value, kCellX) : roundTo(Value, kCellX));
}

void TzdDMPMemoView::SetTop(long double Value) { TzdCustomMemoView::SetTop(roundTo(Value, kCellY)); }
void TzdDMPMemoView::SetWidth(long double Value) { TzdCustomMemoView::SetWidth(roundTo(Value, kCellX)); }
void TzdDMPMemoView::SetHeight(long double Value) { TzdCustomMemoView::SetHeight(roundTo(Value, kCellY)); }

void TzdDMPMemoView::SetFontStyle(TzdDMPFontStyles Value)
{
    m_fontStyle = Value;
    TzdCustomMemoView::SetParentFont(false);
    m_applying = true;
    zd::ApplyDMPFont(Font(), m_fontStyle);
    m_applying = false;
}

void TzdDMPMemoView::SetParentFont(bool Value)
{
    TzdCustomMemoView::SetParentFont(Value);
    if (Value)
        if (TzdDMPPage* page = dmpPageOf(this)) {
            m_fontStyle = page->FontStyle();
            m_applying = true;
            zd::ApplyDMPFont(Font(), m_fontStyle);
            m_applying = false;
        }
}

void TzdDMPMemoView::DrawFrame()
{
    // Frame lines run through the neighbouring cells, where the printer
    // draws its frame characters.
    const int x = PixX, y = PixY, x1 = PixX1, y1 = PixY1;
    PixX = int(std::nearbyint((GetAbsLeft() - kCellX / 2) * DrawScaleX + DrawOffsetX));
    PixX1 = int(std::nearbyint((GetAbsLeft() + Width() + kCellX / 2) * DrawScaleX + DrawOffsetX));
    PixY = int(std::nearbyint((GetAbsTop() - kCellY / 2) * DrawScaleY + DrawOffsetY));
    PixY1 = int(std::nearbyint((GetAbsTop() + Height() + kCellY / 2) * DrawScaleY + DrawOffsetY));
    TzdCustomMemoView::DrawFrame();
    PixX = x, PixY = y, PixX1 = x1, PixY1 = y1;
}

long double TzdDMPMemoView::CalcHeight() { return roundTo(TzdCustomMemoView::CalcHeight(), kCellY); }
long double TzdDMPMemoView::CalcWidth() { return roundTo(TzdCustomMemoView::CalcWidth(), kCellX); }

QString TzdDMPMemoView::TruncatedText() const
{
    QString result;
    const int rows = int(std::nearbyint(Height() / kCellY));
    const int columns = int(std::nearbyint(Width() / kCellX));
    for (int i = 0; i < rows && i < Memo()->Count(); ++i)
        result += Memo()->Get(i).left(columns) + QStringLiteral("\r\n");
    return result;
}

// ---------------------------------------------------------------------------

TzdDMPLineView::TzdDMPLineView(plat::TComponent* AOwner) : TzdCustomLineView(AOwner) {}

QString TzdDMPLineView::ClassDisplayName() const { return zdGetResources()->GetText(QStringLiteral("obDMPLine")); }

void TzdDMPLineView::SetLeft(long double Value)
{
    long double x;
    if (Value < 0)
        x = truncTo(Value, kCellX) - kCellX / 2;
    else if (Align() == baRight)
        x = roundTo(Value, kCellX) - kCellX / 2;
    else
        x = truncTo(Value, kCellX) + kCellX / 2;
    TzdCustomLineView::SetLeft(x);
}

void TzdDMPLineView::SetTop(long double Value) { TzdCustomLineView::SetTop(truncTo(Value, kCellY) + kCellY / 2); }

void TzdDMPLineView::SetWidth(long double Value)
{
    TzdCustomLineView::SetWidth(Align() == baWidth ? truncTo(Value, kCellX) : roundTo(Value, kCellX));
}

void TzdDMPLineView::SetFontStyle(TzdDMPFontStyles Value)
{
    m_fontStyle = Value;
    TzdCustomLineView::SetParentFont(false);
}

void TzdDMPLineView::SetParentFont(bool Value)
{
    TzdCustomLineView::SetParentFont(Value);
    if (Value)
        if (TzdDMPPage* page = dmpPageOf(this))
            m_fontStyle = page->FontStyle();
}

// ---------------------------------------------------------------------------

TzdDMPCommand::TzdDMPCommand(plat::TComponent* AOwner) : TzdView(AOwner) {}

QString TzdDMPCommand::ClassDisplayName() const { return zdGetResources()->GetText(QStringLiteral("obDMPCmd")); }

void TzdDMPCommand::SetLeft(long double Value) { TzdView::SetLeft(roundTo(Value, kCellX)); }
void TzdDMPCommand::SetTop(long double Value) { TzdView::SetTop(roundTo(Value, kCellY)); }
