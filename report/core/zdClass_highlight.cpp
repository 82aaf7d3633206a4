#include "zdClass_highlight.h"

#include "Graphics.h"
#include "zdClass.h"

PLAT_DEFINE_ENUM(TzdFormatKind, "fkText", "fkNumeric", "fkDateTime", "fkBoolean")

PLAT_DEFINE_CLASS(TzdHighlight, c)
{
    c.property("Active", &TzdHighlight::Active).defaultValue(false).stored(false);
    c.property("ApplyFont", &TzdHighlight::ApplyFont).defaultValue(true);
    c.property("ApplyFill", &TzdHighlight::ApplyFill).defaultValue(true);
    c.property("ApplyFrame", &TzdHighlight::ApplyFrame).defaultValue(false);
    c.property("Font", &TzdHighlight::Font, &TzdHighlight::SetFont);
    c.property<plat::ti::TColor>("Color", &TzdHighlight::Color, &TzdHighlight::SetColor).stored(false);
    c.property("Condition", &TzdHighlight::Condition);
    c.property("FillType", &TzdHighlight::FillType, &TzdHighlight::SetFillType);
    c.property("Fill", &TzdHighlight::Fill, &TzdHighlight::SetFill);
    c.property("Frame", &TzdHighlight::Frame, &TzdHighlight::SetFrame);
    c.property("Visible", &TzdHighlight::Visible).defaultValue(true);
}

PLAT_DEFINE_CLASS(TzdHighlightCollection, c) { (void)c; }

PLAT_DEFINE_CLASS(TzdFormat, c)
{
    c.property("DecimalSeparator", &TzdFormat::DecimalSeparator);
    c.property("ThousandSeparator", &TzdFormat::ThousandSeparator);
    c.property("FormatStr", &TzdFormat::FormatStr);
    c.property("Kind", &TzdFormat::Kind).defaultValue(fkText);
}

PLAT_DEFINE_CLASS(TzdFormatCollection, c) { (void)c; }

namespace {
constexpr int kHighlightFontSize = 10;
} // namespace

TzdHighlight::TzdHighlight(plat::TCollection* Collection)
    : TzdCollectionItem(Collection)
    , m_font(new plat::TFont)
    , m_fill(new TzdBrushFill)
    , m_frame(new TzdFrame)
{
    m_font->SetName(QStringLiteral("Arial"));
    m_font->SetPixelsPerInch(96);
    m_font->SetSize(kHighlightFontSize);
    m_font->SetColor(plat::clRed);
    m_font->SetCharset(zd::kDefaultCharset);
}

TzdHighlight::~TzdHighlight()
{
    delete m_font;
    delete m_fill;
    delete m_frame;
}

void TzdHighlight::Assign(plat::TPersistent* Source)
{
    auto* s = dynamic_cast<TzdHighlight*>(Source);
    if (!s)
        return;
    ApplyFont = s->ApplyFont;
    ApplyFill = s->ApplyFill;
    ApplyFrame = s->ApplyFrame;
    SetFont(s->m_font);
    SetFill(s->m_fill);
    SetFrame(s->m_frame);
    Condition = s->Condition;
    Visible = s->Visible;
}

void TzdHighlight::SetFont(plat::TFont* Value)
{
    if (Value)
        m_font->Assign(Value);
}

void TzdHighlight::SetFrame(TzdFrame* Value)
{
    m_frame->Assign(Value);
}

TzdFillType TzdHighlight::FillType() const
{
    return zdGetFillType(m_fill);
}

void TzdHighlight::SetFillType(TzdFillType Value)
{
    zd::setFillKind(m_fill, Value);
}

void TzdHighlight::SetFill(TzdCustomFill* Value)
{
    zd::setFill(m_fill, Value);
}

plat::TColor TzdHighlight::Color() const
{
    return zd::brushBackColor(m_fill);
}

void TzdHighlight::SetColor(plat::TColor Value)
{
    zd::setBrushBackColor(m_fill, Value);
}

TzdHighlightCollection::TzdHighlightCollection() : TzdCollection(TzdHighlight::StaticClass()) {}

TzdHighlight* TzdHighlightCollection::GetItem(int Index) const
{
    return static_cast<TzdHighlight*>(Items(Index));
}

TzdFormat::TzdFormat(plat::TCollection* Collection) : TzdCollectionItem(Collection) {}

void TzdFormat::Assign(plat::TPersistent* Source)
{
    auto* s = dynamic_cast<TzdFormat*>(Source);
    if (!s)
        return;
    DecimalSeparator = s->DecimalSeparator;
    ThousandSeparator = s->ThousandSeparator;
    FormatStr = s->FormatStr;
    Kind = s->Kind;
}

TzdFormatCollection::TzdFormatCollection() : TzdCollection(TzdFormat::StaticClass()) {}

TzdFormat* TzdFormatCollection::GetItem(int Index) const
{
    return static_cast<TzdFormat*>(Items(Index));
}
