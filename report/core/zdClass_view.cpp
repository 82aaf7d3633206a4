#include "zdClass_view.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "StringList.h"
#include "Variant.h"
#include "zdDataSets.h"
#include "zdClass_services.h"
#include "zdUtils.h"
#include "zdVariables.h"
#include "zdXMLSerializer.h"

#include <cmath>

PLAT_DEFINE_ENUM(TzdAlign, "baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom", "baClient", "baHidden")
PLAT_DEFINE_ENUM(TzdShiftMode, "smDontShift", "smAlways", "smWhenOverlapped")
PLAT_DEFINE_ENUM(TzdStretchMode, "smDontStretch", "smActualHeight", "smMaxHeight")
PLAT_DEFINE_ENUM(TzdVisibilityType, "vsPreview", "vsExport", "vsPrint")
PLAT_DEFINE_SET(TzdVisibilityTypes, TzdVisibilityType)
PLAT_DEFINE_ENUM(TzdHyperlinkKind, "hkURL", "hkAnchor", "hkPageNumber", "hkDetailReport", "hkDetailPage", "hkCustom")

PLAT_DEFINE_CLASS(TzdHyperlink, c)
{
    c.property("Kind", &TzdHyperlink::Kind).defaultValue(hkURL);
    c.property("DetailReport", &TzdHyperlink::DetailReport);
    c.property("DetailPage", &TzdHyperlink::DetailPage);
    c.property("Expression", &TzdHyperlink::Expression);
    c.property("ReportVariable", &TzdHyperlink::ReportVariable);
    c.property("TabCaption", &TzdHyperlink::TabCaption);
    c.property("Value", &TzdHyperlink::Value);
    c.property("ValuesSeparator", &TzdHyperlink::ValuesSeparator).stored([](const TzdHyperlink& h) {
        return h.ValuesSeparator != u";";
    });
}

PLAT_DEFINE_CLASS(TzdView, c)
{
    c.property("Align", &TzdView::Align, &TzdView::SetAlign).defaultValue(baNone);
    c.property("Printable", &TzdView::Printable, &TzdView::SetPrintable).defaultValue(true).stored(false);
    c.property("ShiftMode", &TzdView::ShiftMode, &TzdView::SetShiftMode).defaultValue(smAlways);
    c.property("Left", &TzdComponent::Left, &TzdComponent::SetLeft);
    c.property("Top", &TzdComponent::Top, &TzdComponent::SetTop);
    c.property("Width", &TzdComponent::Width, &TzdComponent::SetWidth);
    c.property("Height", &TzdComponent::Height, &TzdComponent::SetHeight);
    c.property("GroupIndex", &TzdComponent::GroupIndex, &TzdComponent::SetGroupIndex).defaultValue(0);
    c.property("Restrictions", &TzdComponent::Restrictions, &TzdComponent::SetRestrictions)
        .defaultValue(TzdRestrictions{});
    c.property("Visible", &TzdComponent::Visible, &TzdComponent::SetVisible).defaultValue(true);
    c.property<TzdNotifyEvent>("OnAfterData", &TzdReportComponent::OnAfterData);
    c.property<TzdNotifyEvent>("OnAfterPrint", &TzdReportComponent::OnAfterPrint);
    c.property<TzdNotifyEvent>("OnBeforePrint", &TzdReportComponent::OnBeforePrint);
    c.property<TzdMouseEnterViewEvent>("OnMouseEnter", &TzdView::OnMouseEnter);
    c.property<TzdMouseLeaveViewEvent>("OnMouseLeave", &TzdView::OnMouseLeave);
    c.property<TzdMouseEvent>("OnMouseDown", &TzdView::OnMouseDown);
    c.property<TzdMouseMoveEvent>("OnMouseMove", &TzdView::OnMouseMove);
    c.property<TzdMouseEvent>("OnMouseUp", &TzdView::OnMouseUp);
    c.property<TzdPreviewClickEvent>("OnPreviewClick", &TzdReportComponent::OnPreviewClick);
    c.property<TzdPreviewClickEvent>("OnPreviewDblClick", &TzdReportComponent::OnPreviewDblClick);
    c.property("Hyperlink", &TzdView::Hyperlink, &TzdView::SetHyperlink);
    c.property("Hint", &TzdView::Hint, &TzdView::SetHint);
    c.property("ShowHint", &TzdView::ShowHint, &TzdView::SetShowHint).defaultValue(false);
    c.property("Visibility", &TzdView::Visibility, &TzdView::SetVisibility)
        .defaultValue(TzdVisibilityTypes{vsPreview, vsExport, vsPrint});
}

PLAT_DEFINE_CLASS(TzdStretcheable, c)
{
    c.property("StretchMode", &TzdStretcheable::StretchMode, &TzdStretcheable::SetStretchMode)
        .defaultValue(smDontStretch);
}

namespace {

constexpr int kMaxLinkValueLength = 255; // what a page-number or anchor URL keeps

// Splits a value at the separator (zdSplitValues: a text without the
// separator gives no parts).
QStringList splitValues(const QString& text, QChar separator)
{
    QStringList parts;
    if (separator.isNull())
        return parts;
    plat::TStringList list;
    zdSplitValues(list, text, separator);
    for (int i = 0; i < list.Count(); ++i)
        parts += list.Strings(i);
    return parts;
}

QString joined(const QStringList& parts, QChar separator)
{
    return parts.join(separator);
}

} // namespace

// ---------------------------------------------------------------------------
// Script literals

namespace zd {

QString scriptStringLiteral(const QString& Text, const QString& Language)
{
    const auto is = [&](const char* name) { return Language.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
    const auto isControl = [](QChar c) { return c.unicode() < 32 && c != u'\t'; };
    QString out;
    if (is("PascalScript")) {
        // 'it''s'#13#10'next'
        bool open = false;
        for (QChar c : Text) {
            if (isControl(c)) {
                if (open)
                    out += u'\'';
                open = false;
                out += u'#' + QString::number(c.unicode());
                continue;
            }
            if (!open)
                out += u'\'';
            open = true;
            out += c;
            if (c == u'\'')
                out += c;
        }
        if (open || out.isEmpty())
            out += open ? QStringLiteral("'") : QStringLiteral("''");
        return out;
    }
    if (is("BasicScript")) {
        // "say ""hi""" + Chr(13) + "next"
        QString current;
        QStringList pieces;
        bool pending = true;
        for (QChar c : Text) {
            if (isControl(c)) {
                if (!current.isEmpty() || pending)
                    pieces += u'"' + current + u'"';
                current.clear();
                pending = false;
                pieces += QStringLiteral("Chr(%1)").arg(c.unicode());
                continue;
            }
            current += c;
            if (c == u'"')
                current += c;
        }
        if (!current.isEmpty() || pieces.isEmpty())
            pieces += u'"' + current + u'"';
        return pieces.join(QStringLiteral(" + "));
    }
    // C++Script, JScript and any other language with C-style strings.
    out += u'"';
    for (QChar c : Text) {
        if (c == u'\\' || c == u'"') {
            out += u'\\';
            out += c;
        } else if (c == u'\r') {
            out += QStringLiteral("\\r");
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (isControl(c)) {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
        } else {
            out += c;
        }
    }
    out += u'"';
    return out;
}

} // namespace zd

// ---------------------------------------------------------------------------
// Hyperlink

void TzdHyperlink::Assign(plat::TPersistent* Source)
{
    auto* s = dynamic_cast<TzdHyperlink*>(Source);
    if (!s)
        return;
    Kind = s->Kind;
    DetailReport = s->DetailReport;
    DetailPage = s->DetailPage;
    Expression = s->Expression;
    ReportVariable = s->ReportVariable;
    Value = s->Value;
    ValuesSeparator = s->ValuesSeparator;
    TabCaption = s->TabCaption;
}

QChar TzdHyperlink::Separator() const
{
    return ValuesSeparator.isEmpty() ? QChar() : ValuesSeparator.at(0);
}

QString TzdHyperlink::DiffAttributes(TzdHyperlink* Reference, const QString& Prefix)
{
    QString out;
    if (!Reference)
        return out;
    const QString p = Prefix + u'.';
    if (Kind != Reference->Kind)
        zd::appendDiffItem(out, p + QStringLiteral("Kind"), QString::number(Kind));
    const std::pair<const char*, QString TzdHyperlink::*> texts[] = {
        {"DetailReport", &TzdHyperlink::DetailReport}, {"DetailPage", &TzdHyperlink::DetailPage},
        {"ReportVariable", &TzdHyperlink::ReportVariable}, {"TabCaption", &TzdHyperlink::TabCaption},
        {"Value", &TzdHyperlink::Value},   {"ValuesSeparator", &TzdHyperlink::ValuesSeparator},
    };
    for (const auto& [name, field] : texts)
        if (this->*field != Reference->*field)
            zd::appendDiffItem(out, p + QLatin1String(name), zd::diffEscaped(this->*field));
    return out;
}

void TzdHyperlink::AssignVariables(zd::ReportDocument* Report)
{
    TzdVariables* variables = Report ? Report->Variables() : nullptr;
    if (!variables)
        return;
    const QChar separator = Separator();
    QStringList names;
    QStringList values;
    if (!separator.isNull() && ReportVariable.contains(separator)) {
        names = splitValues(ReportVariable, separator);
        values = splitValues(Value, separator);
    } else {
        names += ReportVariable;
    }
    QString last = Value; // names beyond the last value take the last one used
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names.size() > 1 && i < values.size())
            last = values[i];
        const int index = variables->IndexOf(names[i]);
        if (index >= 0)
            variables->GetItem(index)->SetValue(plat::Variant(last));
    }
}

// ---------------------------------------------------------------------------
// View: construction and properties

TzdView::TzdView(plat::TComponent* AOwner)
    : TzdReportComponent(AOwner)
    , m_frame(new TzdFrame)
    , m_hyperlink(new TzdHyperlink)
    , m_fill(new TzdBrushFill)
{
    SetObjectStyle(ObjectStyle() + TzdObjectStyle{osFullAttributes});
}

TzdView::~TzdView()
{
    SetDataSet(nullptr);
    delete m_frame;
    delete m_hyperlink;
    delete m_fill;
}

zd::ReportDocument* TzdView::reportDocument() const
{
    return zd::reportDocumentOf(this);
}

void TzdView::Notification(plat::TComponent* AComponent, plat::TOperation Operation)
{
    TzdReportComponent::Notification(AComponent, Operation);
    if (Operation == plat::opRemove && AComponent == m_dataSet)
        m_dataSet = nullptr;
}

void TzdView::SetDataSet(TzdDataSet* Value)
{
    linkDataSet(m_dataSet, Value);
    m_dataSetName = Value ? Value->UserName() : QString();
}

QString TzdView::DataSetName() const
{
    return m_dataSet ? m_dataSet->UserName() : m_dataSetName;
}

void TzdView::SetDataSetName(const QString& Value)
{
    m_dataSetName = Value;
    linkDataSet(m_dataSet, FindDataSet(m_dataSet, Value));
}

bool TzdView::IsDataField() const
{
    return m_dataSet && !m_dataField.isEmpty();
}

void TzdView::SetFrame(TzdFrame* Value)
{
    m_frame->Assign(Value);
}

void TzdView::SetHyperlink(TzdHyperlink* Value)
{
    m_hyperlink->Assign(Value);
}

void TzdView::SetURL(const QString& Value)
{
    if (Value.isEmpty())
        return;
    if (Value.startsWith(u'@')) {
        m_hyperlink->Kind = hkPageNumber;
        m_hyperlink->Value = Value.mid(1, kMaxLinkValueLength);
    } else if (Value.startsWith(u'#')) {
        m_hyperlink->Kind = hkAnchor;
        m_hyperlink->Value = Value.mid(1, kMaxLinkValueLength);
    } else {
        m_hyperlink->Kind = hkURL;
        m_hyperlink->Value = Value;
    }
}

TzdFillType TzdView::FillType() const
{
    return zdGetFillType(m_fill);
}

void TzdView::SetFillType(TzdFillType Value)
{
    if (!zd::setFillKind(m_fill, Value))
        return;
    if (DesignMode)
        if (zd::ReportDocument* doc = reportDocument())
            if (TzdCustomDesigner* designer = doc->Designer())
                designer->RefreshInspector();
}

void TzdView::SetFill(TzdCustomFill* Value)
{
    if (!Value)
        return;
    SetFillType(zdGetFillType(Value));
    m_fill->Assign(Value);
}

plat::TColor TzdView::Color() const
{
    if (auto* gradient = dynamic_cast<TzdGradientFill*>(m_fill))
        return zdGradientMidColor(gradient);
    return zd::brushBackColor(m_fill);
}

void TzdView::SetColor(plat::TColor Value)
{
    zd::setBrushBackColor(m_fill, Value);
}

plat::TBrushStyle TzdView::BrushStyle() const
{
    if (auto* brush = dynamic_cast<TzdBrushFill*>(m_fill))
        return brush->Style;
    return plat::bsClear;
}

void TzdView::SetBrushStyle(plat::TBrushStyle Value)
{
    if (auto* brush = dynamic_cast<TzdBrushFill*>(m_fill))
        brush->Style = Value;
}

// ---------------------------------------------------------------------------
// View: drawing

void TzdView::BeginDraw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                        long double OffsetY)
{
    DrawCanvas = Canvas;
    DrawScaleX = ScaleX;
    DrawScaleY = ScaleY;
    DrawOffsetX = OffsetX;
    DrawOffsetY = OffsetY;
    const long double left = GetAbsLeft();
    const long double top = GetAbsTop();
    PixX = zd::roundPixel(OffsetX + ScaleX * left);
    PixY = zd::roundPixel(OffsetY + ScaleY * top);
    PixX1 = zd::roundPixel(OffsetX + ScaleX * (left + Width()));
    PixY1 = zd::roundPixel(OffsetY + ScaleY * (top + Height()));
    if (m_frame->DropShadow) {
        // The shadow is drawn inside the object's rectangle.
        PixX1 -= zd::roundPixel(ScaleX * m_frame->ShadowWidth);
        PixY1 -= zd::roundPixel(ScaleY * m_frame->ShadowWidth);
    }
    PixWidth = PixX1 - PixX;
    PixHeight = PixY1 - PixY;
    PixFrameWidth = zd::roundPixel(ScaleX * m_frame->Width());
}

void TzdView::DrawBackground()
{
    if (!DrawCanvas)
        return;
    // The fill reaches under the framed sides' lines.
    const long double wx = m_frame->Width() * DrawScaleX;
    const long double wy = m_frame->Width() * DrawScaleY;
    int x = PixX, y = PixY, x1 = PixX1, y1 = PixY1;
    if (m_frame->Typ.contains(ftLeft))
        x -= zd::roundPixel(wx / 2);
    if (m_frame->Typ.contains(ftRight))
        x1 += zd::roundPixel(wx / 2) + zd::roundPixel(wx) % 2;
    if (m_frame->Typ.contains(ftTop))
        y -= zd::roundPixel(wy / 2);
    if (m_frame->Typ.contains(ftBottom))
        y1 += zd::roundPixel(wy / 2) + zd::roundPixel(wy) % 2;
    m_fill->Draw(DrawCanvas, x, y, x1, y1, DrawScaleX, DrawScaleY);
}

void TzdView::DrawFrame()
{
    m_frame->Draw(DrawCanvas, PixX, PixY, PixX1, PixY1, DrawScaleX, DrawScaleY);
}

void TzdView::Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                   long double OffsetY)
{
    BeginDraw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    DrawBackground();
    DrawFrame();
}

void TzdView::DrawThickLine(int X, int Y, int X1, int Y1, int Width)
{
    if (DrawCanvas)
        zd::drawThickLine(*DrawCanvas, X, Y, X1, Y1, Width);
}

void TzdView::PreviewMouseEvent(int, int, plat::TMouseButton, plat::TShiftState, bool&) {}
void TzdView::SpareMouseHandler(int, int, plat::TMouseButton, plat::TShiftState, bool&) {}
void TzdView::MouseEnter(TzdView*, bool&) {}
void TzdView::MouseLeave(TzdView*, bool&) {}
void TzdView::PreviewClick(TzdView*, bool, bool&, bool&) {}

// ---------------------------------------------------------------------------
// View: printing

void TzdView::ExpandExpressions(QString& Text)
{
    static const QString kOpen = QStringLiteral("[");
    static const QString kClose = QStringLiteral("]");
    zd::ReportDocument* doc = reportDocument();
    int i = 1; // 1-based, as the bracket extraction counts
    while (i <= Text.size()) {
        while (i < Text.size() && Text[i - 1] != u'[')
            ++i;
        if (Text[i - 1] != u'[')
            return;
        int start = i, end = i;
        const QString inner = zdExtractBracketed(Text, kOpen, kClose, start, end);
        // An opening bracket without its closing one ends the expansion.
        if (start != i || end != start + int(inner.size()) + 1)
            return;
        if (!doc)
            throw plat::Exception(QStringLiteral("The object belongs to no report: %1").arg(Name()));
        const QString value = plat::VarToStr(doc->Calc(inner));
        Text.remove(start - 1, end - start + 1);
        Text.insert(start - 1, value);
        i = start + int(value.size());
    }
}

void TzdView::BeforePrint()
{
    TzdReportComponent::BeforePrint();
    m_savedTagStr = m_tagStr;
    m_savedHyperlinkValue = m_hyperlink->Value;
    if (zd::ReportDocument* doc = reportDocument())
        doc->SetSelfValue(this);
}

void TzdView::GetData()
{
    TzdReportComponent::GetData();
    QString tag = m_tagStr;
    if (tag.contains(u'['))
        ExpandExpressions(tag);

    QString value = m_hyperlink->Value;
    const QChar separator = m_hyperlink->Separator();
    if (value.contains(u'[')) {
        QStringList parts = splitValues(value, separator);
        if (parts.isEmpty()) {
            ExpandExpressions(value);
        } else {
            for (QString& part : parts)
                ExpandExpressions(part);
            value = joined(parts, separator);
        }
    }
    if (!m_hyperlink->Expression.isEmpty()) {
        zd::ReportDocument* doc = reportDocument();
        if (!doc)
            throw plat::Exception(QStringLiteral("The object belongs to no report: %1").arg(Name()));
        QStringList parts = splitValues(m_hyperlink->Expression, separator);
        if (parts.isEmpty())
            parts += m_hyperlink->Expression;
        for (QString& part : parts) {
            const plat::Variant result = doc->Calc(part);
            if (m_hyperlink->Kind != hkURL && plat::VarIsStr(result))
                part = zd::scriptStringLiteral(plat::VarToStr(result), doc->ScriptLanguage());
            else
                part = plat::VarToStr(result);
        }
        value = joined(parts, separator);
    }
    m_tagStr = tag;
    m_hyperlink->Value = value;
}

void TzdView::AfterPrint()
{
    TzdReportComponent::AfterPrint();
    m_tagStr = m_savedTagStr;
    m_hyperlink->Value = m_savedHyperlinkValue;
}

QString TzdView::DiffAttributes(TzdComponent* Reference)
{
    QString out = DiffBasic(Reference);
    auto* ref = dynamic_cast<TzdView*>(Reference);
    if (!ref)
        return out;
    if (m_align != ref->m_align)
        zd::appendDiffItem(out, QStringLiteral("Align"), QString::number(m_align));
    out += m_frame->DiffAttributes(ref->m_frame);
    if (m_cursor != ref->m_cursor)
        zd::appendDiffItem(out, QStringLiteral("Cursor"), QString::number(m_cursor));
    if (m_visibility != ref->m_visibility)
        zd::appendDiffItem(out, QStringLiteral("Visibility"), QString::number(m_visibility.mask()));
    if (m_tagStr != ref->m_tagStr)
        zd::appendDiffItem(out, QStringLiteral("TagStr"), zd::diffEscaped(m_tagStr));
    if (FillType() != ref->FillType())
        zd::appendDiffItem(out, QStringLiteral("FillType"), QString::number(FillType()));
    out += m_fill->DiffAttributes(ref->m_fill, QStringLiteral("Fill"));
    out += m_hyperlink->DiffAttributes(ref->m_hyperlink, QStringLiteral("Hyperlink"));
    return out;
}

// ---------------------------------------------------------------------------
// Stretcheable

TzdStretcheable::TzdStretcheable(plat::TComponent* AOwner) : TzdView(AOwner) {}

TzdStretcheable::~TzdStretcheable() = default;

long double TzdStretcheable::CalcHeight()
{
    return Height();
}

long double TzdStretcheable::FitNextPart()
{
    return 0;
}

void TzdStretcheable::InitPart() {}

bool TzdStretcheable::HasNextPart(long double FreeSpace)
{
    return Top() + SplitHeight > FreeSpace;
}
