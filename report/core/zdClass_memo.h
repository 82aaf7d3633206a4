#pragma once
// Text objects: a rectangle of wide text lines laid out by TzdDrawText. The
// text may hold [expressions] that printing replaces by their formatted
// values, or the object may show a dataset field; highlights and named
// styles change its font, fill and frame; it can size its width to the text,
// grow with it, split across pages or hand what does not fit to another
// text object (FlowTo).
//
// Printing keeps the template as it was: BeforePrint saves the text,
// GetData replaces it (and may apply a highlight), AfterPrint gives both
// back. Every use of the layout holds its lock, released on failure too.

#include "zdClass_view.h"
#include "zdDrawText.h"
#include "zdWideStrings.h"

#include "Variant.h"

#include <memory>

class TzdFormat;
class TzdFormatCollection;
class TzdHighlight;
class TzdHighlightCollection;
class TzdStyleItem;

namespace zd {

// The text lines as a persistent object, so that text objects can publish
// them (the serializer stores the text itself as the Text attribute).
class TWideStrings : public plat::TPersistent, public TzdWideStrings {
    PLAT_CLASS(TWideStrings, plat::TPersistent)
public:
    TWideStrings() = default;
    using TzdWideStrings::Assign;
    void Assign(plat::TPersistent* Source) override;
};

} // namespace zd

class TzdCustomMemoView : public TzdStretcheable, public zd::TextObject {
    PLAT_CLASS(TzdCustomMemoView, TzdStretcheable)
public:
    explicit TzdCustomMemoView(plat::TComponent* AOwner);
    ~TzdCustomMemoView() override;

    // --- report object operations
    QString ClassDisplayName() const override;
    QString DiffAttributes(TzdComponent* Reference) override;
    void WriteNestedProperties(TzdXMLItem* Item) override;
    bool ReadNestedProperty(TzdXMLItem* Item) override;
    // The same collections in the binary form (attribute texts of prepared
    // pages, form resources).
    void DefineProperties(plat::TFiler& Filer) override;
    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;
    void BeforePrint() override;
    void GetData() override;
    void AfterPrint() override;
    // The text; the first "[TOTALPAGES]" replaced by PageTotal.
    QString GetComponentText() override;
    void BeginDraw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                   long double OffsetY) override;
    long double CalcHeight() override;
    long double FitNextPart() override;
    void InitPart() override;
    virtual long double CalcWidth();

    // --- helpers of the above, used by the engine and the designer too
    // Callers hold the layout lock.
    void PrepareTextLayout(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                           long double OffsetY);
    long double VerticalPadding() const;
    long double HorizontalPadding() const;
    void DrawLineRules();
    QString EvaluateBracketExpression(const QString& Text, TzdFormat* Format);
    // Format nullptr: DisplayFormat.
    QString FormatValue(const plat::Variant& Value, TzdFormat* Format);
    void SaveAppearance();
    void RestoreAppearance();
    void AssignStyleItem(TzdStyleItem* Item);
    void AssignHighlight(TzdHighlight* Highlight);
    void ShowActiveHighlight();
    void ForgetLastValue();
    void FillDeferredTags();
    QString GetWrappedText(bool WithWraps);
    void SetStyle(const QString& Name);
    // The layout this object uses: its report's, else the process-wide one.
    TzdDrawText& TextLayout() const;

    // --- text
    zd::TWideStrings* Memo() const { return m_memo; }
    void SetMemo(zd::TWideStrings* Value);
    // The lines joined, each followed by CR LF; setting splits at line breaks.
    QString Text() const;
    void SetText(const QString& Value);
    // The same in the code page of the font's character set.
    QByteArray AnsiText() const;
    void SetAnsiText(const QByteArray& Value);
    QString GetWideText() const override;
    void SetWideText(const QString& Text) override;

    // --- properties
    bool AutoWidth = false;
    bool AllowExpressions = true;
    bool AllowHTMLTags = false;
    long double CharSpacing = 0;
    bool Clipped = true;
    QString ExpressionDelimiters = QStringLiteral("[,]");
    long double GapX = 2;
    long double GapY = 1;
    TzdHAlign HAlign = haLeft;
    bool HideZeros = false;
    long double LineSpacing = 2;
    long double ParagraphGap = 0;
    bool RTLReading = false;
    bool SuppressRepeated = false;
    bool Underlines = false;
    bool UseDefaultCharset = false;
    bool WordBreak = false;
    bool WordWrap = true;
    bool Wysiwyg = true;
    TzdVAlign VAlign = vaTop;
    bool FirstParaBreak = false;
    bool LastParaBreak = false;

    int Rotation() const { return m_rotation; }
    // Keeps the value modulo 360 (the sign of the value stays).
    void SetRotation(int Value) { m_rotation = Value % 360; }
    const QString& Style() const { return m_style; }
    TzdCustomMemoView* FlowTo() const { return m_flowTo; }
    void SetFlowTo(TzdCustomMemoView* Value);
    TzdFormatCollection* Formats() const { return m_formats; }
    TzdHighlightCollection* Highlights() const { return m_highlights; }
    // The first format and highlight, created on first read.
    TzdFormat* DisplayFormat() const;
    void SetDisplayFormat(TzdFormat* Value);
    TzdHighlight* Highlight() const;
    void SetHighlight(TzdHighlight* Value);
    bool IsDisplayFormatStored() const;
    bool IsHighlightStored() const;
    bool IsCharSpacingStored() const { return CharSpacing != 0; }
    bool IsDelimitersStored() const { return ExpressionDelimiters != u"[,]"; }
    bool IsGapXStored() const { return GapX != 2; }
    bool IsGapYStored() const { return GapY != 1; }
    bool IsLineSpacingStored() const { return LineSpacing != 2; }
    bool IsParagraphGapStored() const { return ParagraphGap != 0; }

    // --- run-time state
    plat::Variant CurrentValue;
    plat::Variant PreviousText = plat::Null();
    QString SavedText;
    QString RemainingText;
    TzdExtRect TextRectangle; // pixels, as Left, Top, Right, Bottom
    long double OutputScale = 1;
    int PageTotal = 0;
    int CopyNo = 0;
    bool HighlightApplied() const { return m_appearance != nullptr; }

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    // What a highlight replaced, given back by RestoreAppearance.
    struct Appearance {
        std::unique_ptr<TzdCustomFill> fill;
        plat::TFont font;
        TzdFrame frame;
        bool visible = true;
    };
    void configureLayout(TzdDrawText& Layout);
    void applyAutoWidth(TzdDrawText& Layout);
    void expandExpressions();
    void fieldData();
    QString numberText(const plat::Variant& Value, const TzdFormat& Format) const;
    bool isZero(const plat::Variant& Value) const;

    zd::TWideStrings* m_memo;
    TzdFormatCollection* m_formats;
    TzdHighlightCollection* m_highlights;
    TzdCustomMemoView* m_flowTo = nullptr;
    int m_rotation = 0;
    QString m_style;
    std::unique_ptr<Appearance> m_appearance;
};

class TzdMemoView : public TzdCustomMemoView {
    PLAT_CLASS(TzdMemoView, TzdCustomMemoView)
public:
    explicit TzdMemoView(plat::TComponent* AOwner);
};

class TzdSysMemoView : public TzdCustomMemoView {
    PLAT_CLASS(TzdSysMemoView, TzdCustomMemoView)
public:
    explicit TzdSysMemoView(plat::TComponent* AOwner);
    QString ClassDisplayName() const override;
};
