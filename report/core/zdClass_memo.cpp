#include "zdClass_memo.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "FormatSettings.h"
#include "Graphics.h"
#include "PropStream.h"
#include "SysUtils.h"
#include "DateUtils.h"
#include "zdClass_highlight.h"
#include "zdClass_style.h"
#include "zdCollections.h"
#include "zdDataSets.h"
#include "zdRes.h"
#include "zdUtils.h"
#include "zdVariables.h"
#include "zdXML.h"
#include "zdXMLSerializer.h"

#include <QImage>

#include <cmath>

PLAT_DEFINE_CLASS(zd::TWideStrings, c) { (void)c; }

PLAT_DEFINE_CLASS(TzdCustomMemoView, c)
{
    zd::ViewProperties<TzdCustomMemoView> v{c};
    c.property("FirstParaBreak", &TzdCustomMemoView::FirstParaBreak).defaultValue(false);
    c.property("LastParaBreak", &TzdCustomMemoView::LastParaBreak).defaultValue(false);
    v.Cursor();
    v.TagStr();
    v.URL();
}

namespace {

using Memo = TzdCustomMemoView;

// The properties of text objects, each declared once; TzdMemoView and
// TzdSysMemoView publish the ones they show in their own order.
template <class C>
struct MemoProperties {
    plat::ClassBuilder<C>& c;
    zd::ViewProperties<C> v{c};
    void AutoWidth() { c.property("AutoWidth", &Memo::AutoWidth).defaultValue(false); }
    void AllowExpressions() { c.property("AllowExpressions", &Memo::AllowExpressions).defaultValue(true); }
    void AllowHTMLTags() { c.property("AllowHTMLTags", &Memo::AllowHTMLTags).defaultValue(false); }
    void CharSpacing() { c.property("CharSpacing", &Memo::CharSpacing).stored(&Memo::IsCharSpacingStored); }
    void Clipped() { c.property("Clipped", &Memo::Clipped).defaultValue(true); }
    void DisplayFormat()
    {
        c.property("DisplayFormat", &Memo::DisplayFormat, &Memo::SetDisplayFormat)
            .stored(&Memo::IsDisplayFormatStored);
    }
    void ExpressionDelimiters()
    {
        c.property("ExpressionDelimiters", &Memo::ExpressionDelimiters).stored(&Memo::IsDelimitersStored);
    }
    void FlowTo() { c.property("FlowTo", &Memo::FlowTo, &Memo::SetFlowTo); }
    void Font() { c.property("Font", &TzdComponent::Font, &TzdComponent::SetFont).stored(&TzdComponent::IsFontStored); }
    void GapX() { c.property("GapX", &Memo::GapX).stored(&Memo::IsGapXStored); }
    void GapY() { c.property("GapY", &Memo::GapY).stored(&Memo::IsGapYStored); }
    void HAlign() { c.property("HAlign", &Memo::HAlign).defaultValue(haLeft); }
    void HideZeros() { c.property("HideZeros", &Memo::HideZeros).defaultValue(false); }
    void Highlight()
    {
        c.property("Highlight", &Memo::Highlight, &Memo::SetHighlight).stored(&Memo::IsHighlightStored);
    }
    void LineSpacing() { c.property("LineSpacing", &Memo::LineSpacing).stored(&Memo::IsLineSpacingStored); }
    void MemoLines() { c.property("Memo", &Memo::Memo, &Memo::SetMemo); }
    void ParagraphGap() { c.property("ParagraphGap", &Memo::ParagraphGap).stored(&Memo::IsParagraphGapStored); }
    void ParentFont()
    {
        c.property("ParentFont", &TzdComponent::ParentFont, &TzdComponent::SetParentFont).defaultValue(true);
    }
    void Rotation() { c.property("Rotation", &Memo::Rotation, &Memo::SetRotation).defaultValue(0); }
    void RTLReading() { c.property("RTLReading", &Memo::RTLReading).defaultValue(false); }
    void Style() { c.property("Style", &Memo::Style, &Memo::SetStyle); }
    void SuppressRepeated() { c.property("SuppressRepeated", &Memo::SuppressRepeated).defaultValue(false); }
    void Underlines() { c.property("Underlines", &Memo::Underlines).defaultValue(false); }
    void UseDefaultCharset() { c.property("UseDefaultCharset", &Memo::UseDefaultCharset).defaultValue(false); }
    void WordBreak() { c.property("WordBreak", &Memo::WordBreak).defaultValue(false); }
    void WordWrap() { c.property("WordWrap", &Memo::WordWrap).defaultValue(true); }
    void Wysiwyg() { c.property("Wysiwyg", &Memo::Wysiwyg).defaultValue(true); }
    void VAlign() { c.property("VAlign", &Memo::VAlign).defaultValue(vaTop); }
};

constexpr int kAutoWidthBox = 10000;      // pixels: the box a text is laid out in to find its width

int roundInt(long double v)
{
    return zd::roundPixel(v);
}

plat::TRect toRect(const TzdExtRect& r)
{
    return plat::TRect(roundInt(r.Left), roundInt(r.Top), roundInt(r.Right), roundInt(r.Bottom));
}

// The same object in the ancestor template of an inheriting report.
TzdComponent* ancestorOf(TzdComponent* obj)
{
    zd::ReportDocument* doc = zd::reportDocumentOf(obj);
    return doc && !obj->Name().isEmpty() ? doc->FindAncestorObject(obj->Name()) : nullptr;
}

} // namespace

PLAT_DEFINE_CLASS(TzdMemoView, c)
{
    MemoProperties<TzdMemoView> m{c};
    m.AutoWidth();
    m.AllowExpressions();
    m.AllowHTMLTags();
    m.v.BrushStyle();
    m.v.Color();
    m.CharSpacing();
    m.Clipped();
    m.v.DataField();
    m.v.DataSet();
    m.v.DataSetName();
    m.DisplayFormat();
    m.ExpressionDelimiters();
    m.FlowTo();
    m.Font();
    m.v.Frame();
    m.v.FillType();
    m.v.Fill();
    m.GapX();
    m.GapY();
    m.HAlign();
    m.HideZeros();
    m.Highlight();
    m.LineSpacing();
    m.MemoLines();
    m.ParagraphGap();
    m.ParentFont();
    m.Rotation();
    m.RTLReading();
    m.Style();
    m.SuppressRepeated();
    m.Underlines();
    m.UseDefaultCharset();
    m.WordBreak();
    m.WordWrap();
    m.Wysiwyg();
    m.VAlign();
}

PLAT_DEFINE_CLASS(TzdSysMemoView, c)
{
    MemoProperties<TzdSysMemoView> m{c};
    m.AutoWidth();
    m.CharSpacing();
    m.v.Color();
    m.DisplayFormat();
    m.Font();
    m.v.Frame();
    m.v.FillType();
    m.v.Fill();
    m.GapX();
    m.GapY();
    m.HAlign();
    m.HideZeros();
    m.Highlight();
    m.MemoLines();
    m.ParentFont();
    m.Rotation();
    m.RTLReading();
    m.Style();
    m.SuppressRepeated();
    m.VAlign();
    m.WordWrap();
}

void zd::TWideStrings::Assign(plat::TPersistent* Source)
{
    if (auto* s = dynamic_cast<zd::TWideStrings*>(Source))
        TzdWideStrings::Assign(static_cast<const TzdWideStrings&>(*s));
    else
        plat::TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// Construction and properties

TzdCustomMemoView::TzdCustomMemoView(plat::TComponent* AOwner)
    : TzdStretcheable(AOwner)
    , m_memo(new zd::TWideStrings)
    , m_formats(new TzdFormatCollection)
    , m_highlights(new TzdHighlightCollection)
{
    TzdObjectStyle style = ObjectStyle();
    style.set(osFullAttributes, false);
    style.set(osNestedProperties, true);
    SetObjectStyle(style);
    SetParentFont(true);
}

TzdCustomMemoView::~TzdCustomMemoView()
{
    SetFlowTo(nullptr);
    delete m_memo;
    delete m_formats;
    delete m_highlights;
}

TzdMemoView::TzdMemoView(plat::TComponent* AOwner) : TzdCustomMemoView(AOwner) {}

TzdSysMemoView::TzdSysMemoView(plat::TComponent* AOwner) : TzdCustomMemoView(AOwner) {}

QString TzdCustomMemoView::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obText"));
}

QString TzdSysMemoView::ClassDisplayName() const
{
    return zdGetResources()->GetText(QStringLiteral("obSysText"));
}

void TzdCustomMemoView::Notification(plat::TComponent* AComponent, plat::TOperation Operation)
{
    TzdStretcheable::Notification(AComponent, Operation);
    if (Operation == plat::opRemove && AComponent == m_flowTo)
        m_flowTo = nullptr;
}

void TzdCustomMemoView::SetFlowTo(TzdCustomMemoView* Value)
{
    if (m_flowTo == Value)
        return;
    if (m_flowTo && m_flowTo != this)
        m_flowTo->RemoveFreeNotification(this);
    m_flowTo = Value;
    if (m_flowTo && m_flowTo != this)
        m_flowTo->FreeNotification(this);
}

void TzdCustomMemoView::SetMemo(zd::TWideStrings* Value)
{
    if (Value)
        m_memo->TzdWideStrings::Assign(static_cast<const TzdWideStrings&>(*Value));
}

QString TzdCustomMemoView::Text() const
{
    return m_memo->GetTextStr();
}

void TzdCustomMemoView::SetText(const QString& Value)
{
    m_memo->SetTextStr(Value);
}

QByteArray TzdCustomMemoView::AnsiText() const
{
    return zdWideToAnsi(Text(), Font()->Charset());
}

void TzdCustomMemoView::SetAnsiText(const QByteArray& Value)
{
    SetText(zdAnsiToWide(Value, Font()->Charset()));
}

QString TzdCustomMemoView::GetWideText() const
{
    return Text();
}

void TzdCustomMemoView::SetWideText(const QString& Text)
{
    SetText(Text);
}

TzdFormat* TzdCustomMemoView::DisplayFormat() const
{
    if (m_formats->Count() == 0)
        m_formats->Add();
    return m_formats->GetItem(0);
}

void TzdCustomMemoView::SetDisplayFormat(TzdFormat* Value)
{
    DisplayFormat()->Assign(Value);
}

TzdHighlight* TzdCustomMemoView::Highlight() const
{
    if (m_highlights->Count() == 0)
        m_highlights->Add();
    return m_highlights->GetItem(0);
}

void TzdCustomMemoView::SetHighlight(TzdHighlight* Value)
{
    Highlight()->Assign(Value);
}

bool TzdCustomMemoView::IsDisplayFormatStored() const
{
    return m_formats->Count() == 1;
}

bool TzdCustomMemoView::IsHighlightStored() const
{
    return m_highlights->Count() == 1 && !m_highlights->GetItem(0)->Condition.trimmed().isEmpty();
}

TzdDrawText& TzdCustomMemoView::TextLayout() const
{
    if (zd::ReportDocument* doc = zd::reportDocumentOf(this))
        if (TzdDrawText* own = doc->TextLayout())
            return *own;
    return zdSharedDrawText();
}

void TzdCustomMemoView::SetStyle(const QString& Name)
{
    m_style = Name;
    if (zd::ReportDocument* doc = reportDocument())
        if (TzdStyles* styles = doc->Styles())
            AssignStyleItem(styles->Find(Name));
}

// ---------------------------------------------------------------------------
// Nested items: more than one format or highlight

void TzdCustomMemoView::WriteNestedProperties(TzdXMLItem* Item)
{
    auto* ancestor = dynamic_cast<TzdCustomMemoView*>(ancestorOf(this));
    if (m_formats->Count() > 1)
        zdWriteCollectionXML(m_formats, QByteArrayLiteral("Formats"), Item, ancestor ? ancestor->m_formats : nullptr,
                             this);
    if (m_highlights->Count() > 1)
        zdWriteCollectionXML(m_highlights, QByteArrayLiteral("Highlights"), Item,
                             ancestor ? ancestor->m_highlights : nullptr, this);
}

bool TzdCustomMemoView::ReadNestedProperty(TzdXMLItem* Item)
{
    auto* ancestor = dynamic_cast<TzdCustomMemoView*>(ancestorOf(this));
    const QString name = QString::fromUtf8(Item->Name);
    if (name.compare(u"Formats", Qt::CaseInsensitive) == 0) {
        zdReadCollectionXML(m_formats, Item, this, ancestor ? ancestor->m_formats : nullptr);
        return true;
    }
    if (name.compare(u"Highlights", Qt::CaseInsensitive) == 0) {
        zdReadCollectionXML(m_highlights, Item, this, ancestor ? ancestor->m_highlights : nullptr);
        return true;
    }
    return false;
}

void TzdCustomMemoView::DefineProperties(plat::TFiler& Filer)
{
    TzdStretcheable::DefineProperties(Filer);
    Filer.DefineProperty(
        QStringLiteral("Formats"), [this](plat::TReader& r) { zdReadCollection(m_formats, r, this); },
        [this](plat::TWriter& w) { zdWriteCollection(m_formats, w, this); }, m_formats->Count() > 1);
    Filer.DefineProperty(
        QStringLiteral("Highlights"), [this](plat::TReader& r) { zdReadCollection(m_highlights, r, this); },
        [this](plat::TWriter& w) { zdWriteCollection(m_highlights, w, this); }, m_highlights->Count() > 1);
}

// ---------------------------------------------------------------------------
// Geometry and layout

long double TzdCustomMemoView::VerticalPadding() const
{
    const TzdFrame* f = Frame();
    long double result = 2 * GapY;
    if (f->Typ.contains(ftTop))
        result += (f->Width() - 1) / 2;
    if (f->Typ.contains(ftBottom))
        result += f->Width() / 2;
    if (f->DropShadow)
        result += f->ShadowWidth;
    return result;
}

long double TzdCustomMemoView::HorizontalPadding() const
{
    const TzdFrame* f = Frame();
    long double result = 2 * GapX;
    if (f->Typ.contains(ftLeft))
        result += (f->Width() - 1) / 2;
    if (f->Typ.contains(ftRight))
        result += f->Width() / 2;
    if (f->DropShadow)
        result += f->ShadowWidth;
    return result;
}

void TzdCustomMemoView::BeginDraw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY,
                                  long double OffsetX, long double OffsetY)
{
    TzdStretcheable::BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    const TzdFrame* f = Frame();
    const long double w = f->Width();
    long double width = Width(), height = Height();
    if (f->DropShadow) {
        width -= f->ShadowWidth;
        height -= f->ShadowWidth;
    }
    int x0 = PixX, y0 = PixY;
    int x1 = PixX + roundInt(ScaleX * width);
    int y1 = PixY + roundInt(ScaleY * height);
    if (f->Typ.contains(ftLeft))
        x0 += roundInt((ScaleX * w - 1) / 2);
    if (f->Typ.contains(ftRight))
        x1 -= roundInt(ScaleX * w / 2);
    if (f->Typ.contains(ftTop))
        y0 += roundInt((ScaleY * w - 1) / 2);
    if (f->Typ.contains(ftBottom))
        y1 -= roundInt(ScaleY * w / 2);
    const int gx = roundInt(ScaleX * GapX);
    const int gy = roundInt(ScaleY * GapY);
    TextRectangle = zdExtRect(x0 + gx, y0 + gy, x1 - gx + 1, y1 - gy + 1);
}

void TzdCustomMemoView::configureLayout(TzdDrawText& Layout)
{
    Layout.SetUseDefaultCharset(UseDefaultCharset);
    Layout.SetMonochromeText(false);
    Layout.SetFont(*Font());
    TzdDrawTextOptions o;
    o.WordWrap = WordWrap;
    o.HTMLTags = AllowHTMLTags;
    o.Rotation = m_rotation;
    o.Wysiwyg = Wysiwyg;
    o.Clipped = Clipped;
    o.WordBreak = WordBreak;
    o.RTLReading = RTLReading;
    Layout.SetOptions(o);
    Layout.SetSpacings(ParagraphGap, CharSpacing, LineSpacing);
}

void TzdCustomMemoView::applyAutoWidth(TzdDrawText& Layout)
{
    const plat::TRect box(0, 0, kAutoWidthBox, kAutoWidthBox);
    Layout.SetDimensions(box, box, 1, 1, 1);
    Layout.SetText(*m_memo);
    const long double newWidth = HorizontalPadding() + Layout.TextWidth();
    const long double oldWidth = Width();
    SetWidth(newWidth);
    if (HAlign == haRight)
        SetLeft(Left() + oldWidth - newWidth);
    else if (HAlign == haCenter)
        SetLeft(Left() + (oldWidth - newWidth) / 2);
    if (TzdComponent* parent = Parent())
        parent->AlignChildren();
}

void TzdCustomMemoView::PrepareTextLayout(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY,
                                          long double OffsetX, long double OffsetY)
{
    TzdDrawText& layout = TextLayout();
    configureLayout(layout);
    if (AutoWidth && !DesignMode)
        applyAutoWidth(layout);
    BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    const plat::TRect clip = toRect(TextRectangle);
    BeginDraw(Canvas, 1, 1, 0, 0);
    if (!DrawingForPrinter)
        OutputScale = 1;
    layout.SetDimensions(toRect(TextRectangle), clip, ScaleX, ScaleY, OutputScale);
    layout.SetText(*m_memo, FirstParaBreak);
    layout.ApplyParaBreaks(FirstParaBreak, LastParaBreak);
}

void TzdCustomMemoView::Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                             long double OffsetY)
{
    TzdDrawText& layout = TextLayout();
    layout.SetUseDefaultCharset(UseDefaultCharset);
    if (!DesignMode)
        FillDeferredTags();
    // While designing, a data-bound text shows its binding.
    QString kept;
    const bool showBinding = DesignMode && IsDataField();
    if (showBinding) {
        kept = Text();
        SetText(u'[' + DataSet()->UserName() + QStringLiteral(".\"") + DataField() + QStringLiteral("\"]"));
    }
    struct Restore {
        TzdCustomMemoView* self;
        bool active;
        QString text;
        ~Restore()
        {
            if (active)
                self->SetText(text);
        }
    } restore{this, showBinding, kept};

    TzdDrawText::Locker lock(layout);
    PrepareTextLayout(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    TzdStretcheable::Draw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    if (Underlines && m_rotation == 0)
        DrawLineRules();
    if (Canvas)
        layout.DrawText(*Canvas, HAlign, VAlign);
}

void TzdCustomMemoView::DrawLineRules()
{
    if (!DrawCanvas)
        return;
    plat::TCanvas& canvas = *DrawCanvas;
    canvas.Pen().SetColor(Frame()->Color());
    canvas.Pen().SetWidth(PixFrameWidth);
    canvas.Pen().SetStyle(plat::psSolid);
    canvas.Pen().SetMode(plat::pmCopy);
    const long double h = TextLayout().GetLineHeight() * DrawScaleY;
    if (!(h > 0))
        return; // lines without height would never reach the bottom
    long double y = (GapY - LineSpacing + 1) * DrawScaleY + h + PixY;
    while (y < PixY1) {
        canvas.MoveTo(PixX, roundInt(y));
        canvas.LineTo(PixX1, roundInt(y));
        y += h;
    }
}

long double TzdCustomMemoView::CalcHeight()
{
    TzdDrawText& layout = TextLayout();
    TzdDrawText::Locker lock(layout);
    configureLayout(layout);
    if (AutoWidth) {
        const plat::TRect box(0, 0, kAutoWidthBox, kAutoWidthBox);
        layout.SetDimensions(box, box, 1, 1, 1);
    } else {
        BeginDraw(nullptr, 1, 1, 0, 0);
        const plat::TRect r = toRect(TextRectangle);
        layout.SetDimensions(r, r, 1, 1, 1);
    }
    layout.SetText(*m_memo);
    return roundInt(VerticalPadding() + layout.TextHeight());
}

long double TzdCustomMemoView::CalcWidth()
{
    TzdDrawText& layout = TextLayout();
    TzdDrawText::Locker lock(layout);
    configureLayout(layout);
    const plat::TRect box(0, 0, kAutoWidthBox, kAutoWidthBox);
    layout.SetDimensions(box, box, 1, 1, 1);
    layout.SetText(*m_memo);
    return roundInt(HorizontalPadding() + layout.TextWidth());
}

void TzdCustomMemoView::InitPart()
{
    RemainingText = Text();
    FirstParaBreak = false;
    LastParaBreak = false;
}

long double TzdCustomMemoView::FitNextPart()
{
    TzdDrawText& layout = TextLayout();
    TzdDrawText::Locker lock(layout);
    SetText(RemainingText);
    PrepareTextLayout(nullptr, 1, 1, 0, 0);
    bool paraBreak = false;
    RemainingText = layout.GetOutBoundsText(paraBreak);
    SetText(layout.GetPlainText());
    LastParaBreak = paraBreak;
    // The layout reports a whole-line fit as a sliver of room, and no room
    // at all when not even the first line fits.
    const long double unused = layout.GetUnusedHeight();
    return unused != 0 ? 2 * GapY + unused : Height();
}

QString TzdCustomMemoView::GetWrappedText(bool WithWraps)
{
    TzdDrawText& layout = TextLayout();
    TzdDrawText::Locker lock(layout);
    QImage scratch(1, 1, QImage::Format_RGB32);
    plat::TCanvas canvas(&scratch);
    PrepareTextLayout(&canvas, 1, 1, 0, 0);
    return WithWraps ? layout.GetWrappedText() : layout.StripTags(Text());
}
