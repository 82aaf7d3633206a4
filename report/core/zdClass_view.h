#pragma once
// Visual report objects: TzdView (a rectangle on a band or page with a
// frame, a fill, a hyperlink, an alignment, a shift mode, a visibility per
// output and an optional dataset binding) and TzdStretcheable (a view that
// can grow with its content and be split across pages).
//
// Drawing goes one way for every view kind: BeginDraw turns the object's
// geometry at a scale and offset into integer pixel edges (PixX, PixY,
// PixX1, PixY1, ...), then the background, the content and the frame are
// painted from them.
//
// Printing: the engine calls BeforePrint, GetData and AfterPrint around each
// printed object. GetData evaluates [expressions] in TagStr and in the
// hyperlink through the report; AfterPrint restores what GetData changed.

#include "Controls.h"
#include "Graphics.h"
#include "zdClass_fill.h"
#include "zdReportComponent.h"

namespace plat {
class TCanvas;
} // namespace plat

enum TzdAlign { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient, baHidden };
PLAT_DECLARE_ENUM(TzdAlign)
enum TzdShiftMode { smDontShift, smAlways, smWhenOverlapped };
PLAT_DECLARE_ENUM(TzdShiftMode)
enum TzdStretchMode { smDontStretch, smActualHeight, smMaxHeight };
PLAT_DECLARE_ENUM(TzdStretchMode)
enum TzdVisibilityType { vsPreview, vsExport, vsPrint };
using TzdVisibilityTypes = plat::TSet<TzdVisibilityType>;
PLAT_DECLARE_ENUM(TzdVisibilityType)
PLAT_DECLARE_SET(TzdVisibilityTypes)
enum TzdHyperlinkKind { hkURL, hkAnchor, hkPageNumber, hkDetailReport, hkDetailPage, hkCustom };
PLAT_DECLARE_ENUM(TzdHyperlinkKind)

namespace zd {
class ReportDocument;
} // namespace zd

class TzdHyperlink : public plat::TPersistent {
    PLAT_CLASS(TzdHyperlink, plat::TPersistent)
public:
    TzdHyperlink() = default;
    void Assign(plat::TPersistent* Source) override;

    TzdHyperlinkKind Kind = hkURL;
    QString DetailReport;
    QString DetailPage;
    QString Expression;
    QString ReportVariable;
    QString Value;
    QString ValuesSeparator = QStringLiteral(";");
    QString TabCaption;

    // ` Prefix.Name="value"` for Kind, DetailReport, DetailPage,
    // ReportVariable, TabCaption, Value and ValuesSeparator where they differ
    // (Expression never: its result is in Value).
    QString DiffAttributes(TzdHyperlink* Reference, const QString& Prefix);
    // Sets the report variables named by ReportVariable from Value (a detail
    // link being followed); names that are no variable of the report are
    // skipped.
    void AssignVariables(zd::ReportDocument* Report);
    // The first character of ValuesSeparator; a null character when empty.
    QChar Separator() const;
};

class TzdView : public TzdReportComponent {
    PLAT_CLASS(TzdView, TzdReportComponent)
public:
    explicit TzdView(plat::TComponent* AOwner);
    ~TzdView() override;

    // --- drawing
    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;
    virtual void BeginDraw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                           long double OffsetY);
    virtual void DrawBackground();
    virtual void DrawFrame();
    // Width parallel one-pixel lines with the canvas's current pen.
    void DrawThickLine(int X, int Y, int X1, int Y1, int Width);

    // --- preview mouse handling (empty here; kinds that react override)
    virtual void PreviewMouseEvent(int X, int Y, plat::TMouseButton Button, plat::TShiftState Shift,
                                   bool& Refresh);
    virtual void SpareMouseHandler(int X, int Y, plat::TMouseButton Button, plat::TShiftState Shift,
                                   bool& Refresh);
    virtual void MouseEnter(TzdView* Sender, bool& Refresh);
    virtual void MouseLeave(TzdView* Sender, bool& Refresh);
    virtual void PreviewClick(TzdView* Sender, bool DoubleClick, bool& Modified, bool& Refresh);

    // --- printing
    void BeforePrint() override;
    // TagStr and the hyperlink's value with their [expressions] evaluated.
    // Everything is built first, so a failing expression leaves the object
    // as it was.
    void GetData() override;
    void AfterPrint() override;
    QString DiffAttributes(TzdComponent* Reference) override;
    // Replaces each [expression] of Text by its value (the report's Calc).
    void ExpandExpressions(QString& Text);

    // --- properties
    TzdAlign Align() const { return m_align; }
    void SetAlign(TzdAlign Value) { m_align = Value; }
    plat::TCursor Cursor() const { return m_cursor; }
    void SetCursor(plat::TCursor Value) { m_cursor = Value; }
    const QString& DataField() const { return m_dataField; }
    void SetDataField(const QString& Value) { m_dataField = Value; }
    TzdDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TzdDataSet* Value);
    QString DataSetName() const;
    void SetDataSetName(const QString& Value);
    bool IsDataField() const;
    TzdFrame* Frame() const { return m_frame; }
    void SetFrame(TzdFrame* Value);
    TzdShiftMode ShiftMode() const { return m_shiftMode; }
    void SetShiftMode(TzdShiftMode Value) { m_shiftMode = Value; }
    const QString& TagStr() const { return m_tagStr; }
    void SetTagStr(const QString& Value) { m_tagStr = Value; }
    const QString& Hint() const { return m_hint; }
    void SetHint(const QString& Value) { m_hint = Value; }
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool Value) { m_showHint = Value; }
    // Nothing fills the URL field: reading gives the empty text. Writing
    // sets the hyperlink ("@5" a page number, "#top" an anchor, else a URL).
    const QString& URL() const { return m_url; }
    void SetURL(const QString& Value);
    TzdHyperlink* Hyperlink() const { return m_hyperlink; }
    void SetHyperlink(TzdHyperlink* Value);
    TzdCustomFill* Fill() const { return m_fill; }
    void SetFill(TzdCustomFill* Value);
    TzdFillType FillType() const;
    void SetFillType(TzdFillType Value);
    TzdVisibilityTypes Visibility() const { return m_visibility; }
    void SetVisibility(TzdVisibilityTypes Value) { m_visibility = Value; }
    bool Printable() const { return m_visibility.contains(vsPrint); }
    void SetPrintable(bool Value) { m_visibility.set(vsPrint, Value); }
    // The brush fill's background colour, a gradient's middle colour, or
    // clNone for a glass fill; writing sets a brush fill's background only.
    virtual plat::TColor Color() const;
    virtual void SetColor(plat::TColor Value);
    // The brush fill's style; bsClear for other fills.
    plat::TBrushStyle BrushStyle() const;
    void SetBrushStyle(plat::TBrushStyle Value);

    bool SkipBackground = false;
    QString OnMouseEnter;
    QString OnMouseLeave;
    QString OnMouseDown;
    QString OnMouseUp;
    QString OnMouseMove;

    // --- drawing state, valid from BeginDraw to the next BeginDraw
    int PixX = 0, PixY = 0, PixX1 = 0, PixY1 = 0;
    int PixWidth = 0, PixHeight = 0, PixFrameWidth = 0;
    long double DrawScaleX = 1, DrawScaleY = 1, DrawOffsetX = 0, DrawOffsetY = 0;
    plat::TCanvas* DrawCanvas = nullptr;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    // The report the object belongs to; nullptr outside a report.
    zd::ReportDocument* reportDocument() const;

private:
    TzdAlign m_align = baNone;
    plat::TCursor m_cursor = 0;
    QString m_dataField;
    TzdDataSet* m_dataSet = nullptr;
    QString m_dataSetName;
    TzdFrame* m_frame;
    TzdShiftMode m_shiftMode = smAlways;
    QString m_tagStr;
    QString m_savedTagStr;
    QString m_savedHyperlinkValue;
    QString m_hint;
    bool m_showHint = false;
    QString m_url;
    TzdHyperlink* m_hyperlink;
    TzdCustomFill* m_fill;
    TzdVisibilityTypes m_visibility{vsPreview, vsExport, vsPrint};
};

class TzdStretcheable : public TzdView {
    PLAT_CLASS(TzdStretcheable, TzdView)
public:
    explicit TzdStretcheable(plat::TComponent* AOwner);
    ~TzdStretcheable() override;

    // The height the content needs (the current Height here).
    virtual long double CalcHeight();
    // Fills the current height with the next part of the content; what is
    // left over (0 here).
    virtual long double FitNextPart();
    virtual void InitPart();
    // True when Top + the height still to be split exceeds FreeSpace.
    virtual bool HasNextPart(long double FreeSpace);

    TzdStretchMode StretchMode() const { return m_stretchMode; }
    void SetStretchMode(TzdStretchMode Value) { m_stretchMode = Value; }
    // The height still to be split, kept by the engine while it splits.
    long double SplitHeight = 0;

private:
    TzdStretchMode m_stretchMode = smDontStretch;
};

namespace zd {

// Text as a string literal of a script language: PascalScript in single
// quotes with quotes doubled and control characters as #n; BasicScript in
// double quotes with quotes doubled and control characters joined in as
// Chr(n); C++Script and JScript in double quotes with backslashes, quotes
// and control characters escaped by a backslash.
QString scriptStringLiteral(const QString& Text, const QString& Language);

// The properties that descendants of TzdView publish as they need them,
// each declared once with its type, default and stored rule.
template <class C>
struct ViewProperties {
    plat::ClassBuilder<C>& c;
    void Cursor() { c.template property<plat::ti::TCursor>("Cursor", &TzdView::Cursor, &TzdView::SetCursor).defaultValue(0); }
    void DataField() { c.property("DataField", &TzdView::DataField, &TzdView::SetDataField); }
    void DataSet() { c.property("DataSet", &TzdView::DataSet, &TzdView::SetDataSet); }
    void DataSetName() { c.property("DataSetName", &TzdView::DataSetName, &TzdView::SetDataSetName); }
    void Frame() { c.property("Frame", &TzdView::Frame, &TzdView::SetFrame); }
    void FillType() { c.property("FillType", &TzdView::FillType, &TzdView::SetFillType); }
    void Fill() { c.property("Fill", &TzdView::Fill, &TzdView::SetFill); }
    void TagStr() { c.property("TagStr", &TzdView::TagStr, &TzdView::SetTagStr); }
    void URL() { c.property("URL", &TzdView::URL, &TzdView::SetURL).stored(false); }
    void Color() { c.template property<plat::ti::TColor>("Color", &TzdView::Color, &TzdView::SetColor).stored(false); }
    void BrushStyle() { c.property("BrushStyle", &TzdView::BrushStyle, &TzdView::SetBrushStyle).stored(false); }
};

} // namespace zd
