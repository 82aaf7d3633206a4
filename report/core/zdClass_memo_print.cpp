// Text objects while they print: data, expressions, formats, highlights,
// styles, deferred page tags and the difference texts of prepared pages.

#include "zdClass_memo.h"

#include "DateUtils.h"
#include "Exceptions.h"
#include "FormatSettings.h"
#include "Graphics.h"
#include "SysUtils.h"
#include "zdClass_highlight.h"
#include "zdClass_style.h"
#include "zdDataSets.h"
#include "zdVariables.h"
#include "zdXML.h"
#include "zdXMLSerializer.h"

namespace {

const QString kTotalPagesTag = QStringLiteral("[TOTALPAGES#]");
const QString kCopyNameTag = QStringLiteral("[COPYNAME#]");
constexpr int kMaxCloseDelimiter = 255; // characters of the closing delimiter that count
constexpr int kMaxFormatString = 255;   // characters of an inline format such as "#n%2.2f"

// Replaces every occurrence of Tag (letter case ignored) by Value; true when
// something changed. The search goes on after each inserted text.
bool replaceTag(QString& text, const QString& tag, const QString& value)
{
    bool changed = false;
    qsizetype from = 0;
    while ((from = text.indexOf(tag, from, Qt::CaseInsensitive)) >= 0) {
        text.replace(from, tag.size(), value);
        from += value.size();
        changed = true;
    }
    return changed;
}

bool equalsTrue(const plat::Variant& value)
{
    try {
        return !value.isNull() && !value.isEmpty() && plat::VarCmpEQ(value, plat::Variant(true));
    } catch (const plat::Exception&) {
        return false;
    }
}

// An inline format: " #n%2.2f" and the like.
void readInlineFormat(const QString& spec, TzdFormat& format)
{
    QString rest = spec;
    const QChar kind = spec.isEmpty() ? QChar() : spec.at(0).toLower();
    if (kind == u'b') {
        format.Kind = fkBoolean;
    } else if (kind == u'd' || kind == u't') {
        format.Kind = fkDateTime;
    } else if (kind == u'n') {
        format.Kind = fkNumeric;
        for (QChar& c : rest)
            if (c == u',' || c == u'-' || c == u'.') {
                format.DecimalSeparator = QString(c);
                c = u'.';
            }
    } else {
        format.Kind = fkText;
    }
    format.FormatStr = rest.mid(1, kMaxFormatString);
}

} // namespace

// ---------------------------------------------------------------------------
// Values and formats

bool TzdCustomMemoView::isZero(const plat::Variant& Value) const
{
    if (Value.isNull() || plat::VarIsStr(Value))
        return false;
    try {
        return plat::VarCmpEQ(Value, plat::Variant(0));
    } catch (const plat::Exception&) {
        return false;
    }
}

QString TzdCustomMemoView::numberText(const plat::Variant& Value, const TzdFormat& Format) const
{
    const QString& pattern = Format.FormatStr;
    QString result;
    if (pattern.contains(u'#') || pattern.startsWith(u'0'))
        result = plat::FormatFloat(pattern, Value.toDouble());
    else if (pattern.contains(u'd', Qt::CaseInsensitive) || pattern.contains(u'u', Qt::CaseInsensitive))
        result = plat::Format(pattern, {plat::FormatArg(qint64(Value.toInteger()))});
    else
        result = plat::Format(pattern, {plat::FormatArg(static_cast<long double>(Value.toDouble()))});

    const plat::TFormatSettings& locale = plat::FormatSettings();
    qsizetype decimalAt = -1;
    const bool ownDecimal = Format.DecimalSeparator.size() == 1 && Format.DecimalSeparator[0] != locale.DecimalSeparator;
    if (ownDecimal)
        decimalAt = result.lastIndexOf(locale.DecimalSeparator);
    if (Format.ThousandSeparator.size() == 1 && Format.ThousandSeparator[0] != locale.ThousandSeparator)
        result.replace(locale.ThousandSeparator, Format.ThousandSeparator[0]);
    if (ownDecimal && decimalAt >= 0)
        result[decimalAt] = Format.DecimalSeparator[0];
    return result;
}

QString TzdCustomMemoView::FormatValue(const plat::Variant& Value, TzdFormat* Format)
{
    if (Value.isNull())
        return QString();
    const TzdFormat& format = Format ? *Format : *DisplayFormat();
    try {
        switch (format.Kind) {
        case fkText:
            break;
        case fkNumeric:
            return numberText(Value, format);
        case fkDateTime:
            return plat::FormatDateTime(format.FormatStr, plat::VarToDateTime(Value));
        case fkBoolean: {
            const qsizetype comma = format.FormatStr.indexOf(u',');
            const QString falseText = comma < 0 ? format.FormatStr : format.FormatStr.left(comma);
            const QString trueText = comma < 0 ? QString() : format.FormatStr.mid(comma + 1);
            return equalsTrue(Value) ? trueText : falseText;
        }
        }
    } catch (const plat::Exception&) {
        // A value the format cannot take prints as it is.
    }
    try {
        return plat::VarToStr(Value);
    } catch (const plat::Exception&) {
        return QString();
    }
}

QString TzdCustomMemoView::EvaluateBracketExpression(const QString& Text, TzdFormat* Format)
{
    QString expression = Text;
    TzdFormat* format = Format;
    std::unique_ptr<TzdFormat> inlineFormat;
    const qsizetype mark = Text.indexOf(QStringLiteral(" #"));
    if (mark >= 0) {
        const QString spec = Text.mid(mark + 2);
        if (!spec.contains(u')')) {
            expression = Text.left(mark);
            inlineFormat = std::make_unique<TzdFormat>(nullptr);
            readInlineFormat(spec, *inlineFormat);
            format = inlineFormat.get();
        }
    }
    if (expression.compare(u"TOTALPAGES#", Qt::CaseInsensitive) == 0) {
        CurrentValue = QStringLiteral("[TotalPages#]");
    } else if (expression.compare(u"COPYNAME#", Qt::CaseInsensitive) == 0) {
        CurrentValue = QStringLiteral("[CopyName#]");
    } else {
        zd::ReportDocument* doc = reportDocument();
        if (!doc)
            throw plat::Exception(QStringLiteral("The object belongs to no report: %1").arg(Name()));
        CurrentValue = doc->Calc(expression);
    }
    if (HideZeros && isZero(CurrentValue))
        return QString();
    return FormatValue(CurrentValue, format);
}

// ---------------------------------------------------------------------------
// Printing

void TzdCustomMemoView::BeforePrint()
{
    TzdStretcheable::BeforePrint();
    if (!IsDataField())
        SavedText = Text();
}

void TzdCustomMemoView::fieldData()
{
    TzdDataSet* ds = DataSet();
    const QString field = DataField();
    if (ds->IsBlobField(field)) {
        ds->AssignBlobTo(field, static_cast<TzdWideStrings*>(m_memo));
        return;
    }
    CurrentValue = ds->GetValue(field);
    QString text = DisplayFormat()->Kind != fkText ? FormatValue(CurrentValue, nullptr) : ds->GetDisplayText(field);
    if (HideZeros && isZero(CurrentValue))
        text.clear();
    SetText(text);
}

void TzdCustomMemoView::expandExpressions()
{
    const QString& delimiters = ExpressionDelimiters;
    const qsizetype comma = delimiters.indexOf(u',');
    const QString open = comma < 0 ? delimiters : delimiters.left(comma);
    const QString close = comma < 0 ? QString() : delimiters.mid(comma + 1, kMaxCloseDelimiter);
    // An empty delimiter is found everywhere: no expressions then.
    if (open.isEmpty() || close.isEmpty())
        return;
    QString text = Text();
    if (!text.contains(open))
        return;
    int p = 1; // 1-based, as the bracket extraction counts
    int formatIndex = 0;
    const auto opensAt = [&](int at) { return at >= 1 && at <= text.size() && QStringView(text).sliced(at - 1).startsWith(open); };
    while (p <= text.size()) {
        while (p < text.size() && !opensAt(p))
            ++p;
        if (!opensAt(p))
            break;
        int start = p, end = p;
        const QString inner = zdExtractBracketedW(text, open, close, start, end);
        const QString value = EvaluateBracketExpression(inner, m_formats->GetItem(formatIndex));
        text.remove(p - 1, end - p + 1);
        text.insert(p - 1, value);
        p += int(value.size());
        if (formatIndex < m_formats->Count() - 1)
            ++formatIndex;
    }
    SetText(text);
}

void TzdCustomMemoView::GetData()
{
    TzdStretcheable::GetData();
    if (m_formats->Count() == 0)
        m_formats->Add();
    if (IsDataField())
        fieldData();
    else if (AllowExpressions)
        expandExpressions();

    zd::ReportDocument* doc = reportDocument();
    if (doc)
        doc->SetLocalValue(CurrentValue);

    for (int i = 0; i < m_highlights->Count(); ++i) {
        TzdHighlight* h = m_highlights->GetItem(i);
        if (h->Condition.trimmed().isEmpty())
            continue;
        if (!doc)
            throw plat::Exception(QStringLiteral("The object belongs to no report: %1").arg(Name()));
        if (equalsTrue(doc->Calc(h->Condition))) {
            SaveAppearance();
            AssignHighlight(h);
            h->Active = true;
            break;
        }
    }

    if (SuppressRepeated) {
        const QString text = Text();
        if (plat::VarIsStr(PreviousText) && PreviousText.toString() == text)
            SetText(QString());
        else
            PreviousText = text;
    }

    // A text that flows into itself would overwrite the part that fits.
    if (FlowTo() && FlowTo() != this) {
        InitPart();
        FitNextPart();
        FlowTo()->SetText(RemainingText);
        FlowTo()->AllowExpressions = false;
    }
}

void TzdCustomMemoView::AfterPrint()
{
    if (!IsDataField())
        SetText(SavedText);
    if (m_appearance)
        RestoreAppearance();
    TzdStretcheable::AfterPrint();
}

QString TzdCustomMemoView::GetComponentText()
{
    QString text = Text();
    if (AllowExpressions) {
        const qsizetype at = text.indexOf(QStringLiteral("[TOTALPAGES]"), 0, Qt::CaseInsensitive);
        if (at >= 0)
            text.replace(at, 12, QString::number(PageTotal));
    }
    return text;
}

void TzdCustomMemoView::FillDeferredTags()
{
    if (!AllowExpressions)
        return;
    QString text = Text();
    if (!text.contains(u'['))
        return;
    bool changed = replaceTag(text, kTotalPagesTag, QString::number(PageTotal));
    QString copyName;
    if (TzdVariables* globals = zdGlobalVariables()) {
        const int index = globals->IndexOf(QStringLiteral("CopyName"));
        if (index >= 0)
            copyName = plat::VarToStr(globals->GetItem(index)->Value()) + QString::number(CopyNo);
    }
    changed = replaceTag(text, kCopyNameTag, copyName) || changed;
    if (changed)
        SetText(text);
}

void TzdCustomMemoView::ForgetLastValue()
{
    PreviousText = QString();
}

// ---------------------------------------------------------------------------
// Appearance: highlights and styles

void TzdCustomMemoView::SaveAppearance()
{
    auto saved = std::make_unique<Appearance>();
    saved->fill.reset(zdCreateFill(FillType()));
    saved->fill->Assign(Fill());
    saved->font.Assign(Font());
    saved->frame.Assign(Frame());
    saved->visible = Visible();
    m_appearance = std::move(saved);
}

void TzdCustomMemoView::RestoreAppearance()
{
    if (!m_appearance)
        return;
    std::unique_ptr<Appearance> saved = std::move(m_appearance);
    SetFill(saved->fill.get());
    SetFont(&saved->font);
    SetFrame(&saved->frame);
    SetVisible(saved->visible);
    for (int i = 0; i < m_highlights->Count(); ++i)
        m_highlights->GetItem(i)->Active = false;
}

void TzdCustomMemoView::AssignStyleItem(TzdStyleItem* Item)
{
    if (!Item)
        return;
    if (Item->ApplyFill)
        SetFill(Item->Fill());
    if (Item->ApplyFont)
        SetFont(Item->Font());
    if (Item->ApplyFrame)
        SetFrame(Item->Frame());
}

void TzdCustomMemoView::AssignHighlight(TzdHighlight* Highlight)
{
    if (!Highlight)
        return;
    if (Highlight->ApplyFont)
        SetFont(Highlight->Font());
    if (Highlight->ApplyFill)
        SetFill(Highlight->Fill());
    if (Highlight->ApplyFrame)
        SetFrame(Highlight->Frame());
    SetVisible(Highlight->Visible);
}

void TzdCustomMemoView::ShowActiveHighlight()
{
    if (m_highlights->Count() > 0 && m_highlights->GetItem(0)->Active)
        AssignHighlight(m_highlights->GetItem(0));
}

// ---------------------------------------------------------------------------
// Difference texts

QString TzdCustomMemoView::DiffAttributes(TzdComponent* Reference)
{
    QString out = TzdStretcheable::DiffAttributes(Reference);
    auto* ref = dynamic_cast<TzdCustomMemoView*>(Reference);
    if (!ref)
        return out;
    const auto boolItem = [&](const char* name, bool value, bool other) {
        if (value != other)
            zd::appendDiffItem(out, QLatin1String(name), zd::diffBool(value));
    };
    const auto floatItem = [&](const char* name, long double value, long double other) {
        if (zdFloatDiff(value, other))
            zd::appendDiffItem(out, QLatin1String(name), zd::floatText(value));
    };
    boolItem("AutoWidth", AutoWidth, ref->AutoWidth);
    floatItem("CharSpacing", CharSpacing, ref->CharSpacing);
    floatItem("GapX", GapX, ref->GapX);
    floatItem("GapY", GapY, ref->GapY);
    if (HAlign != ref->HAlign)
        zd::appendDiffItem(out, QStringLiteral("HAlign"), QString::number(HAlign));
    floatItem("LineSpacing", LineSpacing, ref->LineSpacing);
    boolItem("UseDefaultCharset", UseDefaultCharset, ref->UseDefaultCharset);

    QString text = Text();
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    zd::appendDiffItem(out, QStringLiteral("u"), zd::diffEscaped(text));
    if (!Hint().isEmpty())
        zd::appendDiffItem(out, QStringLiteral("Hint"), zd::diffEscaped(Hint()));

    floatItem("ParagraphGap", ParagraphGap, ref->ParagraphGap);
    if (m_rotation != ref->m_rotation)
        zd::appendDiffItem(out, QStringLiteral("Rotation"), QString::number(m_rotation));
    boolItem("RTLReading", RTLReading, ref->RTLReading);
    boolItem("Underlines", Underlines, ref->Underlines);
    if (VAlign != ref->VAlign)
        zd::appendDiffItem(out, QStringLiteral("VAlign"), QString::number(VAlign));
    boolItem("WordWrap", WordWrap, ref->WordWrap);
    if (m_formats->Count() == 1) {
        const TzdFormat* f = m_formats->GetItem(0);
        const TzdFormat* r = ref->DisplayFormat();
        if (f->Kind != r->Kind)
            zd::appendDiffItem(out, QStringLiteral("DisplayFormat.Kind"), QString::number(f->Kind));
        if (f->DecimalSeparator != r->DecimalSeparator)
            zd::appendDiffItem(out, QStringLiteral("DisplayFormat.DecimalSeparator"),
                               zd::diffEscaped(f->DecimalSeparator));
        if (f->ThousandSeparator != r->ThousandSeparator)
            zd::appendDiffItem(out, QStringLiteral("DisplayFormat.ThousandSeparator"),
                               zd::diffEscaped(f->ThousandSeparator));
        if (f->FormatStr != r->FormatStr)
            zd::appendDiffItem(out, QStringLiteral("DisplayFormat.FormatStr"), zd::diffEscaped(f->FormatStr));
    }
    if (FirstParaBreak)
        zd::appendDiffItem(out, QStringLiteral("FirstParaBreak"), QStringLiteral("1"));
    if (LastParaBreak)
        zd::appendDiffItem(out, QStringLiteral("LastParaBreak"), QStringLiteral("1"));
    // The next part continues the paragraph this one ended in.
    FirstParaBreak = LastParaBreak;
    LastParaBreak = false;
    return out;
}
