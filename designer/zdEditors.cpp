// Component and property editors of the report objects in the designer.

#include "zdEditors.h"

#include "Canvas.h"
#include "CodePage.h"
#include "Exceptions.h"
#include "FormatSettings.h"
#include "Graphics.h"
#include "StringList.h"
#include "SysUtils.h"
#include "TypeInfo.h"
#include "zdClass_band.h"
#include "zdClass_fill.h"
#include "zdClass_highlight.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_picture.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdClass_shape.h"
#include "zdClass_style.h"
#include "zdCodeUtils.h"
#include "zdDMPClass.h"
#include "zdDataSets.h"
#include "zdDsgnDialogs.h"
#include "zdPrinter.h"
#include "zdRes.h"
#include "zdUtils.h"

#include <QScreen>
#include <QGuiApplication>

namespace {

using Tags = std::pair<int, const char*>;

constexpr int kSeparator = -1;
constexpr plat::TColor kGrayPen = 0x808080;

// Band kinds by TzdBand's kind index.
constexpr int kPageHeader = 2;
constexpr int kPageFooter = 3;
constexpr int kFooter = 5;
constexpr int kGroupFooter = 13;
constexpr int kColumnHeader = 15;
constexpr int kColumnFooter = 16;

bool inKinds(int kind, std::initializer_list<int> kinds)
{
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

QString text(const char* key) { return zd::menuText(key); }

void separator(TzdComponentEditor& e) { e.AddMenuItem(QStringLiteral("-"), kSeparator, false); }

// A toggle item ticked by a Boolean property of the edited object.
void toggle(TzdComponentEditor& e, const char* key, int tag, const char* property)
{
    e.AddMenuItem(text(key), tag, zd::boolProperty(e.Component(), property));
}

const char* propertyOfTag(int tag, const Tags* tags, int count)
{
    for (int i = 0; i < count; ++i)
        if (tags[i].first == tag)
            return tags[i].second;
    return nullptr;
}

bool hasProperty(const TzdComponent* obj, const char* name)
{
    return plat::GetPropInfo(obj, QString::fromLatin1(name)) != nullptr;
}

TzdReport* reportOf(const plat::TObject* obj)
{
    auto* component = dynamic_cast<const TzdComponent*>(obj);
    return component ? component->GetReport() : nullptr;
}

// The memo's text as a data reference: [alias."field"].
void rewriteBoundMemo(TzdPropertyEditor& e)
{
    auto* memo = dynamic_cast<TzdCustomMemoView*>(e.GetComponent());
    if (!memo || !memo->IsDataField() || !memo->DataSet())
        return;
    memo->SetText(QStringLiteral("[") + memo->DataSet()->UserName() + QStringLiteral(".\"") + memo->DataField() +
                  QStringLiteral("\"]"));
}

// Finds or creates a handler named Name for an event of type EventType in
// the designer's script; the 1-based body line, or -1 when there is no place.
int handlerLine(TzdCustomDesigner* designer, const QString& name, const QString& eventType)
{
    plat::TStrings* code = designer ? designer->ScriptLines() : nullptr;
    if (!code)
        return -1;
    const QString language = designer->Report ? designer->Report->ScriptLanguage() : QStringLiteral("PascalScript");
    const int found = FindEventHandler(*code, language, name);
    if (found >= 0)
        return found + 3;
    return InsertEventHandler(*code, language, eventType, name);
}

} // namespace

// ===========================================================================
// Component editors

void TzdCustomMemoEditor::GetMenuItems()
{
    auto* memo = dynamic_cast<TzdCustomMemoView*>(Component());
    if (memo) {
        AddMenuItem(text("mvFormat"), 1, false);
        AddMenuItem(text("mvHyperlink"), kHyperlink, false);
        AddMenuItem(text("mvClear"), 2, false);
        separator(*this);
        toggle(*this, "mvAutoWidth", 3, "AutoWidth");
        toggle(*this, "mvWWrap", 4, "WordWrap");
        toggle(*this, "mvSuppress", 5, "SuppressRepeated");
        toggle(*this, "mvHideZ", 6, "HideZeros");
        toggle(*this, "mvExpr", 7, "AllowExpressions");
        if (!dynamic_cast<TzdDMPMemoView*>(memo))
            toggle(*this, "mvHTML", 8, "AllowHTMLTags");
        separator(*this);
        AddMenuItem(text("mvStretch"), 40, memo->StretchMode() == smActualHeight);
        AddMenuItem(text("mvStretchToMax"), 41, memo->StretchMode() == smMaxHeight);
    }
    TzdViewEditor::GetMenuItems();
}

bool TzdCustomMemoEditor::Execute(int Tag, bool Checked)
{
    const bool base = TzdViewEditor::Execute(Tag, Checked);
    TzdFormatCollection formats;
    if (Tag == 1) {
        auto* memo = dynamic_cast<TzdCustomMemoView*>(Component());
        if (!memo)
            return base;
        formats.Assign(memo->Formats());
        if (!zdDesignerDialogs().EditDisplayFormat(memo, formats))
            return base;
    }
    static constexpr Tags kBools[] = {{3, "AutoWidth"}, {4, "WordWrap"}, {5, "SuppressRepeated"},
                                      {6, "HideZeros"}, {7, "AllowExpressions"}, {8, "AllowHTMLTags"}};
    bool visited = false;
    for (TzdComponent* obj : zd::modifiableSelection(*this, TzdCustomMemoView::StaticClass())) {
        auto* memo = static_cast<TzdCustomMemoView*>(obj);
        visited = true;
        if (Tag == 1)
            memo->Formats()->Assign(&formats);
        else if (Tag == 2)
            memo->Memo()->Clear();
        else if (Tag == 40)
            memo->SetStretchMode(Checked ? smActualHeight : smDontStretch);
        else if (Tag == 41)
            memo->SetStretchMode(Checked ? smMaxHeight : smDontStretch);
        else if (const char* prop = propertyOfTag(Tag, kBools, int(std::size(kBools))); prop && hasProperty(memo, prop))
            zd::setBoolProperty(memo, prop, Checked);
    }
    return base || visited;
}

bool TzdMemoEditor::HasEditor() { return true; }

bool TzdMemoEditor::Edit()
{
    auto* memo = dynamic_cast<TzdCustomMemoView*>(Component());
    if (!memo)
        return false;
    QString edited = memo->Text();
    if (!zdDesignerDialogs().EditMemoText(memo, edited))
        return false;
    memo->SetText(edited);
    memo->SetDataField(QString());
    return true;
}

bool TzdSysMemoEditor::HasEditor() { return true; }

bool TzdSysMemoEditor::Edit()
{
    auto* memo = dynamic_cast<TzdCustomMemoView*>(Component());
    if (!memo)
        return false;
    QString lines;
    for (int i = 0; i < memo->Memo()->Count(); ++i)
        lines += memo->Memo()->Get(i) + QStringLiteral("\r\n");
    // Wide all the way: characters outside the code page survive.
    QString edited = lines;
    if (!zdDesignerDialogs().EditSysMemo(memo, edited))
        return false;
    memo->SetText(edited);
    return true;
}

void TzdLineEditor::GetMenuItems()
{
    auto* line = dynamic_cast<TzdCustomLineView*>(Component());
    if (line) {
        if (auto* plain = dynamic_cast<TzdLineView*>(line))
            AddMenuItem(text("lvDiagonal"), 0, plain->Diagonal);
        AddMenuItem(text("mvStretch"), 1, line->StretchMode() == smMaxHeight);
    }
    TzdViewEditor::GetMenuItems();
}

bool TzdLineEditor::Execute(int Tag, bool Checked)
{
    const bool base = TzdViewEditor::Execute(Tag, Checked);
    bool visited = false;
    for (TzdComponent* obj : zd::modifiableSelection(*this, TzdCustomLineView::StaticClass())) {
        auto* line = static_cast<TzdCustomLineView*>(obj);
        visited = true;
        if (Tag == 0 && hasProperty(line, "Diagonal"))
            zd::setBoolProperty(line, "Diagonal", Checked);
        else if (Tag == 1)
            line->SetStretchMode(Checked ? smMaxHeight : smDontStretch);
    }
    return base || visited;
}

namespace {
constexpr Tags kPictureTags[] = {{0, "AutoSize"}, {1, "Stretched"}, {2, "Center"}, {3, "KeepAspectRatio"}};
} // namespace

bool TzdPictureEditor::HasEditor() { return true; }

bool TzdPictureEditor::Edit()
{
    auto* view = dynamic_cast<TzdPictureView*>(Component());
    if (!view)
        return false;
    plat::TPicture copy;
    copy.Assign(view->Picture());
    if (!zdDesignerDialogs().EditPicture(copy))
        return false;
    view->Picture()->Assign(&copy);
    return true;
}

void TzdPictureEditor::GetMenuItems()
{
    if (dynamic_cast<TzdPictureView*>(Component())) {
        toggle(*this, "pvAutoSize", 0, "AutoSize");
        toggle(*this, "mvStretch", 1, "Stretched");
        toggle(*this, "pvCenter", 2, "Center");
        toggle(*this, "pvAspect", 3, "KeepAspectRatio");
        separator(*this);
    }
    TzdViewEditor::GetMenuItems();
}

bool TzdPictureEditor::Execute(int Tag, bool Checked)
{
    const bool base = TzdViewEditor::Execute(Tag, Checked);
    bool visited = false;
    for (TzdComponent* obj : zd::modifiableSelection(*this, TzdPictureView::StaticClass())) {
        visited = true;
        if (const char* prop = propertyOfTag(Tag, kPictureTags, int(std::size(kPictureTags))))
            zd::setBoolProperty(obj, prop, Checked);
    }
    return base || visited;
}

bool TzdPageEditor::HasEditor() { return true; }

bool TzdPageEditor::Edit()
{
    auto* page = dynamic_cast<TzdReportPage*>(Component());
    if (!page)
        return false;
    // The page of a subreport object takes its settings from its parent page.
    if (TzdComponent* report = page->GetReportComponent())
        for (TzdComponent* obj : report->AllObjects())
            if (auto* subreport = dynamic_cast<TzdSubreport*>(obj); subreport && subreport->Page() == page)
                return false;
    return zdDesignerDialogs().EditPage(page);
}

// --- bands

namespace {
constexpr Tags kBandTags[] = {
    {10, "Stretched"}, {11, "AllowSplit"}, {12, "KeepChild"}, {13, "PrintChildIfInvisible"}, {14, "StartNewPage"}};
constexpr Tags kDataBandTags[] = {
    {0, "PrintIfDetailEmpty"}, {1, "FooterAfterEach"}, {2, "KeepTogether"}, {3, "KeepFooter"}, {4, "KeepHeader"}};
constexpr Tags kHeaderTags[] = {{0, "ReprintOnNewPage"}};
constexpr Tags kPageHeaderTags[] = {{0, "PrintOnFirstPage"}};
constexpr Tags kPageFooterTags[] = {{0, "PrintOnFirstPage"}, {1, "PrintOnLastPage"}};
constexpr Tags kGroupTags[] = {{0, "KeepTogether"}, {1, "ReprintOnNewPage"}, {2, "DrillDown"}, {3, "ResetPageNumbers"}};
constexpr Tags kColumnHeaderTags[] = {{10, "Stretched"}};
constexpr Tags kSubreportTags[] = {{0, "PrintOnParent"}};

// Sets the tag's property on the first selected object: false when it may
// not be modified, else true for any tag.
bool setFirst(TzdComponentEditor& e, int tag, bool checked, const Tags* tags, int count)
{
    TzdComponent* obj = e.Component();
    if (!obj || obj->Restrictions().contains(rfDontModify))
        return false;
    if (const char* prop = propertyOfTag(tag, tags, count))
        zd::setBoolProperty(obj, prop, checked);
    return true;
}
} // namespace

bool TzdBandEditor::menuOffered() const
{
    return Selection().size() <= 1 && dynamic_cast<TzdBand*>(Component());
}

bool TzdBandEditor::vertical() const
{
    auto* band = dynamic_cast<TzdBand*>(Component());
    return band && zd::boolProperty(band, "Vertical");
}

bool TzdBandEditor::setOwnTag(int Tag, bool Checked, const Tags* TagList, int Count)
{
    return setFirst(*this, Tag, Checked, TagList, Count);
}

void TzdBandEditor::GetMenuItems()
{
    if (!menuOffered())
        return;
    const int kind = static_cast<TzdBand*>(Component())->GetKindIndex();
    const bool across = !vertical();
    if (across)
        toggle(*this, "mvStretch", 10, "Stretched");
    if (across && !inKinds(kind, {kPageHeader, kPageFooter, kColumnHeader, kColumnFooter}))
        toggle(*this, "bvSplit", 11, "AllowSplit");
    if (across && !inKinds(kind, {kPageHeader, kColumnHeader}))
        toggle(*this, "bvKeepChild", 12, "KeepChild");
    toggle(*this, "bvPrintChild", 13, "PrintChildIfInvisible");
    if (!inKinds(kind, {kPageHeader, kPageFooter, kFooter, kGroupFooter, kColumnHeader, kColumnFooter}))
        toggle(*this, "bvStartPage", 14, "StartNewPage");
}

bool TzdBandEditor::Execute(int Tag, bool Checked)
{
    return setOwnTag(Tag, Checked, kBandTags, int(std::size(kBandTags)));
}

bool TzdDataBandEditor::HasEditor() { return true; }
bool TzdDataBandEditor::Edit() { return zdDesignerDialogs().EditDataBand(Component()); }

void TzdDataBandEditor::GetMenuItems()
{
    TzdBandEditor::GetMenuItems();
    if (!menuOffered())
        return;
    toggle(*this, "bvPrintIfEmpty", 0, "PrintIfDetailEmpty");
    toggle(*this, "bvFooterAfterEach", 1, "FooterAfterEach");
    if (!vertical()) {
        toggle(*this, "bvKeepDetail", 2, "KeepTogether");
        toggle(*this, "bvKeepFooter", 3, "KeepFooter");
        toggle(*this, "bvKeepHeader", 4, "KeepHeader");
    }
}

bool TzdDataBandEditor::Execute(int Tag, bool Checked)
{
    const bool base = TzdBandEditor::Execute(Tag, Checked);
    if (!base)
        return base;
    return setOwnTag(Tag, Checked, kDataBandTags, int(std::size(kDataBandTags)));
}

void TzdHeaderEditor::GetMenuItems()
{
    TzdBandEditor::GetMenuItems();
    if (menuOffered())
        toggle(*this, "bvReprint", 0, "ReprintOnNewPage");
}

bool TzdHeaderEditor::Execute(int Tag, bool Checked)
{
    return TzdBandEditor::Execute(Tag, Checked) && setOwnTag(Tag, Checked, kHeaderTags, 1);
}

void TzdPageHeaderEditor::GetMenuItems()
{
    TzdBandEditor::GetMenuItems();
    if (menuOffered())
        toggle(*this, "bvOnFirst", 0, "PrintOnFirstPage");
}

bool TzdPageHeaderEditor::Execute(int Tag, bool Checked)
{
    return TzdBandEditor::Execute(Tag, Checked) && setOwnTag(Tag, Checked, kPageHeaderTags, 1);
}

void TzdPageFooterEditor::GetMenuItems()
{
    if (!dynamic_cast<TzdBand*>(Component()))
        return;
    toggle(*this, "bvOnFirst", 0, "PrintOnFirstPage");
    toggle(*this, "bvOnLast", 1, "PrintOnLastPage");
}

bool TzdPageFooterEditor::Execute(int Tag, bool Checked)
{
    return setFirst(*this, Tag, Checked, kPageFooterTags, int(std::size(kPageFooterTags)));
}

bool TzdGroupHeaderEditor::HasEditor() { return true; }
bool TzdGroupHeaderEditor::Edit() { return zdDesignerDialogs().EditGroupHeader(Component()); }

void TzdGroupHeaderEditor::GetMenuItems()
{
    TzdBandEditor::GetMenuItems();
    if (!menuOffered())
        return;
    toggle(*this, "bvKeepGroup", 0, "KeepTogether");
    toggle(*this, "bvReprint", 1, "ReprintOnNewPage");
    toggle(*this, "bvDrillDown", 2, "DrillDown");
    toggle(*this, "bvResetPageNo", 3, "ResetPageNumbers");
}

bool TzdGroupHeaderEditor::Execute(int Tag, bool Checked)
{
    if (!TzdBandEditor::Execute(Tag, Checked))
        return false;
    setOwnTag(Tag, Checked, kGroupTags, int(std::size(kGroupTags)));
    if (Tag == 3 && Checked)
        zd::setBoolProperty(Component(), "StartNewPage", true);
    return true;
}

void TzdColumnHeaderEditor::GetMenuItems()
{
    if (menuOffered())
        toggle(*this, "mvStretch", 10, "Stretched");
}

bool TzdColumnHeaderEditor::Execute(int Tag, bool Checked)
{
    return setOwnTag(Tag, Checked, kColumnHeaderTags, 1);
}

void TzdColumnFooterEditor::GetMenuItems() {}
bool TzdColumnFooterEditor::Execute(int, bool) { return false; }
void TzdOverlayEditor::GetMenuItems() {}
bool TzdOverlayEditor::Execute(int, bool) { return false; }

bool TzdDialogControlEditor::HasEditor() { return true; }

bool TzdDialogControlEditor::Edit()
{
    TzdComponent* control = Component();
    TzdCustomDesigner* designer = Designer();
    if (!control || !plat::GetPropInfo(control, u"OnClick"))
        return false;
    QString name = plat::GetStrProp(control, u"OnClick");
    if (name.isEmpty()) {
        name = control->Name() + QStringLiteral("OnClick");
        plat::SetStrProp(control, u"OnClick", name);
    }
    const int line = handlerLine(designer, name, QStringLiteral("TzdNotifyEvent"));
    if (designer) {
        designer->SelectPage(nullptr);
        // Without a place for the handler the caret goes to the first line.
        designer->ShowCodeAt(line < 0 ? 1 : line, 3, true);
    }
    return true;
}

bool TzdSubreportEditor::HasEditor() { return true; }

bool TzdSubreportEditor::Edit()
{
    auto* subreport = dynamic_cast<TzdSubreport*>(Component());
    if (subreport && subreport->Page())
        if (TzdCustomDesigner* designer = Designer())
            designer->SelectPage(subreport->Page());
    return false;
}

void TzdSubreportEditor::GetMenuItems()
{
    if (dynamic_cast<TzdSubreport*>(Component()))
        toggle(*this, "srParent", 0, "PrintOnParent");
}

bool TzdSubreportEditor::Execute(int Tag, bool Checked)
{
    return setFirst(*this, Tag, Checked, kSubreportTags, 1);
}

// ===========================================================================
// Property editors

TzdPropertyAttributes TzdMemoProperty::GetAttributes() { return {fpaDialog, fpaReadOnly}; }

bool TzdMemoProperty::Edit()
{
    auto* memo = dynamic_cast<TzdCustomMemoView*>(GetComponent());
    if (!memo)
        return false;
    QString edited = memo->Text();
    if (!zdDesignerDialogs().EditMemoText(memo, edited))
        return false;
    memo->SetText(edited);
    return true;
}

TzdPropertyAttributes TzdFrameProperty::GetAttributes() { return {fpaDialog, fpaMultiSelect, fpaReadOnly}; }

bool TzdFrameProperty::Edit()
{
    TzdFrame frame;
    if (auto* current = dynamic_cast<TzdFrame*>(GetObjectValue()))
        frame.Assign(current);
    if (!zdDesignerDialogs().EditFrame(frame))
        return false;
    // Every edited object takes the frame, not only the first.
    SetObjectValue(&frame);
    return true;
}

TzdPropertyAttributes TzdFillProperty::GetAttributes() { return {fpaDialog, fpaMultiSelect, fpaReadOnly}; }

bool TzdFillProperty::Edit()
{
    const auto* current = dynamic_cast<TzdCustomFill*>(GetObjectValue());
    const bool shapeMode = dynamic_cast<TzdShapeView*>(GetComponent()) != nullptr;
    std::unique_ptr<TzdCustomFill> chosen;
    if (!zdDesignerDialogs().EditFill(current, shapeMode, chosen) || !chosen)
        return false;
    SetObjectValue(chosen.get());
    return true;
}

TzdPropertyAttributes TzdPictureProperty::GetAttributes() { return {fpaDialog, fpaReadOnly}; }

bool TzdPictureProperty::Edit()
{
    auto* picture = dynamic_cast<plat::TPicture*>(GetObjectValue());
    if (!picture)
        return false;
    plat::TPicture copy;
    copy.Assign(picture);
    if (!zdDesignerDialogs().EditPicture(copy))
        return false;
    picture->Assign(&copy);
    return true;
}

QString TzdPictureProperty::GetValue()
{
    auto* picture = dynamic_cast<plat::TPicture*>(GetObjectValue());
    if (!picture || !picture->Graphic())
        return text("prNotAssigned");
    return picture->Graphic()->ClassType()->ClassName() + u' ' + text("prPict");
}

TzdPropertyAttributes TzdBitmapProperty::GetAttributes() { return {fpaDialog, fpaReadOnly}; }

bool TzdBitmapProperty::Edit()
{
    auto* bitmap = dynamic_cast<plat::TBitmap*>(GetObjectValue());
    if (!bitmap)
        return false;
    plat::TPicture copy;
    copy.Bitmap().Assign(bitmap);
    if (!zdDesignerDialogs().EditPicture(copy))
        return false;
    bitmap->Assign(&copy.Bitmap());
    return true;
}

QString TzdBitmapProperty::GetValue() { return text("prPict"); }

TzdPropertyAttributes TzdStringsProperty::GetAttributes() { return {fpaDialog, fpaReadOnly}; }

bool TzdStringsProperty::Edit()
{
    auto* lines = dynamic_cast<plat::TStrings*>(GetObjectValue());
    if (!lines)
        return false;
    plat::TStringList copy;
    copy.Assign(*lines);
    if (!zdDesignerDialogs().EditStrings(copy))
        return false;
    lines->Assign(copy);
    return true;
}

TzdPropertyAttributes TzdDataSetProperty::GetAttributes() { return {fpaValueList, fpaMultiSelect}; }

QString TzdDataSetProperty::GetValue()
{
    auto* dataset = dynamic_cast<TzdDataSet*>(GetObjectValue());
    if (!dataset || !reportOf(GetComponent()))
        return text("prNotAssigned");
    return dataset->UserName();
}

void TzdDataSetProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    TzdReport* report = reportOf(GetComponent());
    if (!report)
        return;
    auto* own = dynamic_cast<TzdDataSet*>(GetComponent());
    TzdReportDataSets* list = report->DataSets();
    for (int i = 0; i < list->Count(); ++i) {
        TzdDataSet* dataset = list->GetItem(i)->DataSet();
        if (dataset && dataset != own)
            AddValue(dataset->UserName());
    }
}

void TzdDataSetProperty::SetValue(const QString& Value)
{
    TzdDataSet* dataset = nullptr;
    if (!Value.isEmpty()) {
        TzdReport* report = reportOf(GetComponent());
        dataset = report ? report->FindReportDataSet(Value) : nullptr;
        if (!dataset)
            zdRaiseInvalidProperty();
    }
    SetObjectValue(dataset);
    rewriteBoundMemo(*this);
}

TzdPropertyAttributes TzdDataFieldProperty::GetAttributes() { return {fpaValueList, fpaMultiSelect}; }

QString TzdDataFieldProperty::GetValue() { return GetStringValue(); }

void TzdDataFieldProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    auto* view = dynamic_cast<TzdView*>(GetComponent());
    if (view && view->DataSet())
        view->DataSet()->GetFieldList(Values());
}

void TzdDataFieldProperty::SetValue(const QString& Value)
{
    SetStringValue(Value);
    rewriteBoundMemo(*this);
}

TzdPropertyAttributes TzdEventProperty::GetAttributes() { return {fpaValueList, fpaMultiSelect}; }

void TzdEventProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    TzdCustomDesigner* designer = Designer();
    plat::TStrings* code = designer ? designer->ScriptLines() : nullptr;
    if (!code || !designer->Report)
        return;
    plat::TStringList names;
    ListEventHandlers(*code, designer->Report->ScriptLanguage(), GetPropInfo()->PropType()->Name(), names);
    for (int i = 0; i < names.Count(); ++i)
        AddValue(names.Strings(i));
}

bool TzdEventProperty::Edit()
{
    TzdCustomDesigner* designer = Designer();
    if (!designer || designer->Restrictions.contains(drDontEditReportScript))
        return false;
    plat::TStrings* code = designer->ScriptLines();
    const QString language = designer->Report ? designer->Report->ScriptLanguage() : QStringLiteral("PascalScript");
    const QString current = GetStringValue();
    if (!current.isEmpty()) {
        const int found = code ? FindEventHandler(*code, language, current) : -1;
        designer->SelectPage(nullptr);
        designer->ShowCodeAt(found + 3, 1, false);
        return false;
    }
    auto* obj = dynamic_cast<plat::TComponent*>(GetComponent());
    QString name = (obj ? obj->Name() : QString()) + GetName();
    SetStringValue(name);
    if (auto* zdObj = GetZdComponent(); zdObj && zdObj->IsAncestor()) {
        name += QStringLiteral("_inherited");
        SetStringValue(name);
    }
    const int line = handlerLine(designer, name, GetPropInfo()->PropType()->Name());
    if (line < 0) {
        SetStringValue(QString());
        throw plat::Exception(text("dsCantFindProc"));
    }
    designer->SelectPage(nullptr);
    designer->ShowCodeAt(line, 3, true);
    return true;
}

TzdPropertyAttributes TzdDisplayFormatProperty::GetAttributes() { return {fpaDialog, fpaMultiSelect, fpaReadOnly}; }

QString TzdDisplayFormatProperty::GetValue()
{
    const plat::TTypeKind kind = GetPropInfo()->Kind();
    if (kind == plat::tkString || kind == plat::tkLString || kind == plat::tkWString)
        return GetStringValue();
    return QString();
}

bool TzdDisplayFormatProperty::Edit()
{
    auto* memo = dynamic_cast<TzdCustomMemoView*>(GetComponent());
    if (!memo)
        return false;
    TzdFormatCollection formats;
    formats.Assign(memo->Formats());
    if (!zdDesignerDialogs().EditDisplayFormat(memo, formats))
        return false;
    for (int i = 0; i < ObjectCount(); ++i)
        if (auto* each = dynamic_cast<TzdCustomMemoView*>(GetObject(i));
            each && !each->Restrictions().contains(rfDontModify))
            each->Formats()->Assign(&formats);
    return true;
}

TzdPropertyAttributes TzdPrinterProperty::GetAttributes() { return {fpaValueList}; }

void TzdPrinterProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    AddValue(text("prDefault"));
    for (const QString& printer : zdPrinters()->Printers())
        AddValue(printer);
}

TzdPropertyAttributes TzdStyleProperty::GetAttributes() { return {fpaValueList, fpaMultiSelect}; }

void TzdStyleProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    TzdReport* report = reportOf(GetComponent());
    if (report && report->Styles())
        report->Styles()->GetList(Values());
}

// --- units

namespace {
TzdRulerUnits unitsOf(const TzdPropertyEditor& e)
{
    TzdCustomDesigner* designer = e.Designer();
    return designer ? designer->Units : ruPixels;
}
constexpr long double kPixelsPerInch = 96.0L;
constexpr long double kMmPerInch = 25.4L;
} // namespace

QString zd::designerLengthText(long double Value)
{
    if (Value == std::trunc(Value))
        return plat::FloatToStr(Value);
    QString text = QString::number(static_cast<double>(Value), 'f', 2);
    text.replace(u'.', plat::FormatSettings().DecimalSeparator);
    return text;
}

long double TzdLocSizeXProperty::toShown(long double v, TzdRulerUnits Units) const
{
    switch (Units) {
    case ruCM:
        return v / kPixelsPerInch * 2.54L;
    case ruInches:
        return v / kPixelsPerInch;
    case ruChars:
        return v / CharSize;
    default:
        return v;
    }
}

long double TzdLocSizeXProperty::toStored(long double v, TzdRulerUnits Units) const
{
    switch (Units) {
    case ruCM:
        return v * kPixelsPerInch / 2.54L;
    case ruInches:
        return v * kPixelsPerInch;
    case ruChars:
        return v * CharSize;
    default:
        return v;
    }
}

long double TzdPaperXProperty::toShown(long double m, TzdRulerUnits Units) const
{
    switch (Units) {
    case ruCM:
        return m / 10;
    case ruInches:
        return m / kMmPerInch;
    case ruChars:
        return m * kPixelsPerInch / kMmPerInch / CharSize;
    default:
        return m * kPixelsPerInch / kMmPerInch;
    }
}

long double TzdPaperXProperty::toStored(long double v, TzdRulerUnits Units) const
{
    switch (Units) {
    case ruCM:
        return v * 10;
    case ruInches:
        return v * kMmPerInch;
    case ruChars:
        return v * kMmPerInch / kPixelsPerInch * CharSize;
    default:
        return v * kMmPerInch / kPixelsPerInch;
    }
}

QString TzdLocSizeXProperty::GetValue() { return zd::designerLengthText(toShown(GetFloatValue(), unitsOf(*this))); }

void TzdLocSizeXProperty::SetValue(const QString& Value)
{
    SetFloatValue(toStored(zdParseFloat(Value), unitsOf(*this)));
}

// --- owner-drawn enumerations

namespace {
int heightOf(const QRect& r) { return r.bottom() + 1 - r.top(); }
int bottomOf(const QRect& r) { return r.bottom() + 1; }

// The platform pen style of a frame style; the alternate-dot and square
// styles have none of their own and draw dotted.
plat::TPenStyle penOfFrameStyle(int style)
{
    switch (style) {
    case fsSolid:
        return plat::psSolid;
    case fsDash:
        return plat::psDash;
    case fsDot:
    case fsAltDot:
    case fsSquare:
        return plat::psDot;
    case fsDashDot:
        return plat::psDashDot;
    case fsDashDotDot:
        return plat::psDashDotDot;
    default:
        return plat::psClear; // the double style
    }
}

void frameSample(plat::TCanvas& c, int boxLeft, int boxTop, int boxRight, int boxBottom, int lineLeft, int style)
{
    c.Brush().SetColor(plat::clWhite);
    c.Pen().SetColor(kGrayPen);
    c.Pen().SetStyle(plat::psSolid);
    c.Rectangle(boxLeft, boxTop, boxRight, boxBottom);
    const int middle = (boxTop + boxBottom) / 2;
    const plat::TPenStyle pen = penOfFrameStyle(style);
    c.Pen().SetColor(plat::clBlack);
    c.Pen().SetStyle(pen == plat::psClear ? plat::psSolid : pen);
    const int rows[2] = {pen == plat::psClear ? middle - 1 : middle, pen == plat::psClear ? middle + 1 : middle + 1};
    for (int y : rows) {
        c.MoveTo(lineLeft, y);
        c.LineTo(lineLeft + 32, y);
    }
    c.Pen().SetStyle(plat::psSolid);
}

void tick(plat::TCanvas& c, int x, int y, int ax, int ay, int bx, int by, int cx, int cy)
{
    c.Pen().SetColor(plat::clBlack);
    for (int k = 0; k < 3; ++k) {
        c.MoveTo(x + ax, y + ay + k);
        c.LineTo(x + bx, y + by + k);
        c.LineTo(x + cx, y + cy + k);
    }
}
} // namespace

TzdPropertyAttributes TzdBrushProperty::GetAttributes() { return {fpaValueList, fpaMultiSelect, fpaOwnerDraw}; }

void TzdBrushProperty::DrawListItem(plat::TCanvas& Canvas, int Index, const QRect& Rect, TzdOwnerDrawState State)
{
    TzdPropertyEditor::DrawListItem(Canvas, Index, Rect, State);
    const int style = GetPropInfo()->PropType()->EnumValue(Values().Strings(Index));
    Canvas.Brush().SetColor(plat::clBlack);
    Canvas.Brush().SetStyle(static_cast<plat::TBrushStyle>(std::max(style, 0)));
    Canvas.Rectangle(Rect.left() + 2, Rect.top() + 2, Rect.left() + heightOf(Rect) - 2, bottomOf(Rect) - 2);
    Canvas.Brush().SetStyle(plat::bsSolid);
}

void TzdBrushProperty::DrawValue(plat::TCanvas& Canvas, const QRect& Rect)
{
    TzdPropertyEditor::DrawValue(Canvas, Rect);
    Canvas.Brush().SetColor(plat::clBlack);
    Canvas.Brush().SetStyle(static_cast<plat::TBrushStyle>(GetOrdinalValue()));
    Canvas.Rectangle(Rect.left(), Rect.top() + 1, Rect.left() + heightOf(Rect) - 5, bottomOf(Rect) - 4);
    Canvas.Brush().SetStyle(plat::bsSolid);
}

TzdPropertyAttributes TzdFrameStyleProperty::GetAttributes() { return {fpaValueList, fpaMultiSelect, fpaOwnerDraw}; }

int TzdFrameStyleProperty::GetExtraListWidth() { return 36; }

void TzdFrameStyleProperty::DrawListItem(plat::TCanvas& Canvas, int Index, const QRect& Rect, TzdOwnerDrawState)
{
    Canvas.FillRect(plat::TRect{Rect.left(), Rect.top(), Rect.right() + 1, bottomOf(Rect)});
    Canvas.TextOut(Rect.left() + 40, Rect.top() + 1, Values().Strings(Index));
    const int style = GetPropInfo()->PropType()->EnumValue(Values().Strings(Index));
    frameSample(Canvas, Rect.left() + 2, Rect.top() + 2, Rect.left() + 36, bottomOf(Rect) - 2, Rect.left() + 3, style);
}

void TzdFrameStyleProperty::DrawValue(plat::TCanvas& Canvas, const QRect& Rect)
{
    Canvas.TextOut(Rect.left() + 38, Rect.top(), GetValue());
    frameSample(Canvas, Rect.left(), Rect.top() + 1, Rect.left() + 34, bottomOf(Rect) - 4, Rect.left() + 1,
                static_cast<int>(GetOrdinalValue()));
}

TzdPropertyAttributes TzdBooleanProperty::GetAttributes() { return {fpaValueList, fpaMultiSelect, fpaOwnerDraw}; }

void TzdBooleanProperty::DrawListItem(plat::TCanvas& Canvas, int Index, const QRect& Rect, TzdOwnerDrawState State)
{
    TzdPropertyEditor::DrawListItem(Canvas, Index, Rect, State);
    Canvas.Brush().SetColor(plat::clWindow);
    Canvas.Rectangle(Rect.left() + 2, Rect.top() + 2, Rect.left() + heightOf(Rect) - 2, bottomOf(Rect) - 2);
    if (plat::SameText(Values().Strings(Index), u"True")) {
        const bool hiDpi = qGuiApp && qGuiApp->primaryScreen() && qGuiApp->primaryScreen()->logicalDotsPerInch() > 96;
        const int shift = hiDpi ? 2 : 0;
        tick(Canvas, Rect.left() + shift, Rect.top() + shift, 5, 6, 7, 8, 12, 3);
    }
}

void TzdBooleanProperty::DrawValue(plat::TCanvas& Canvas, const QRect& Rect)
{
    Canvas.Brush().SetColor(plat::clWindow);
    Canvas.Rectangle(Rect.left(), Rect.top() + 1, Rect.left() + heightOf(Rect) - 5, bottomOf(Rect) - 4);
    if (GetOrdinalValue() != 0)
        tick(Canvas, Rect.left(), Rect.top(), 2, 5, 4, 7, 9, 2);
}

// --- paper

TzdPropertyAttributes TzdPaperProperty::GetAttributes() { return {fpaValueList}; }

namespace {
constexpr int kUserPaper = 256;
}

QString TzdPaperProperty::GetValue()
{
    TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
    if (!printer)
        return QString::number(GetOrdinalValue());
    int index = printer->IndexOfPaper(static_cast<int>(GetOrdinalValue()));
    if (index < 0)
        index = printer->IndexOfPaper(kUserPaper);
    return index >= 0 ? printer->PaperList().Strings(index) : QString();
}

void TzdPaperProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    if (TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter())
        for (int i = 0; i < printer->PaperList().Count(); ++i)
            AddValue(printer->PaperList().Strings(i));
}

void TzdPaperProperty::SetValue(const QString& Value)
{
    TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
    if (!printer)
        zdRaiseInvalidProperty();
    SetOrdinalValue(printer->PaperNameToNumber(Value));
}

// ===========================================================================
// Start-up registrations

namespace {

void registerPalette()
{
    TzdObjectCollection* palette = zdGetObjectRegistry();
    const TzdPageKinds dataAndReport{fpkDataPage, fpkReportPage};
    const QString draw = QStringLiteral("Draw");
    palette->RegisterObject(TzdMemoView::StaticClass(), nullptr, QString(), QString(), 0, 2, dataAndReport);
    palette->RegisterObject(TzdPictureView::StaticClass(), nullptr, QString(), QString(), 0, 3);
    palette->RegisterObject(TzdSubreport::StaticClass(), nullptr, QString(), QString(), 0, 4,
                            {fpkReportPage, fpkDotMatrixPage});
    palette->RegisterObject(TzdSysMemoView::StaticClass(), nullptr, QString(), QString(), 0, 32);
    palette->AddCategory(draw, nullptr, QStringLiteral("obCatDraw"), 6);
    palette->AddCategory(QStringLiteral("Other"), nullptr, QStringLiteral("obCatOther"), 66);
    palette->RegisterObject(TzdLineView::StaticClass(), nullptr, QString(), draw, 0, 5, dataAndReport);
    constexpr int kLineImages[] = {7, 63, 64, 65};
    for (quint16 i = 0; i < 4; ++i)
        palette->RegisterObject(TzdLineView::StaticClass(), nullptr, QStringLiteral("obDiagLine"), draw, i + 1,
                                kLineImages[i]);
    constexpr std::pair<const char*, int> kShapes[] = {
        {"obRect", 8}, {"obRoundRect", 9}, {"obEllipse", 10}, {"obTrian", 11}, {"obDiamond", 31}};
    for (quint16 i = 0; i < 5; ++i)
        palette->RegisterObject(TzdShapeView::StaticClass(), nullptr, QString::fromLatin1(kShapes[i].first), draw,
                                i, kShapes[i].second);
}

void registerComponentEditors()
{
    TzdComponentEditorCollection* editors = zdGetComponentEditorRegistry();
    const std::pair<const plat::TClass*, TzdComponentEditorClass> table[] = {
        {TzdReportPage::StaticClass(), zdNewComponentEditor<TzdPageEditor>},
        {TzdView::StaticClass(), zdNewComponentEditor<TzdViewEditor>},
        {TzdMemoView::StaticClass(), zdNewComponentEditor<TzdMemoEditor>},
        {TzdSysMemoView::StaticClass(), zdNewComponentEditor<TzdSysMemoEditor>},
        {TzdDMPMemoView::StaticClass(), zdNewComponentEditor<TzdMemoEditor>},
        {TzdLineView::StaticClass(), zdNewComponentEditor<TzdLineEditor>},
        {TzdDMPLineView::StaticClass(), zdNewComponentEditor<TzdLineEditor>},
        {TzdPictureView::StaticClass(), zdNewComponentEditor<TzdPictureEditor>},
        {TzdBand::StaticClass(), zdNewComponentEditor<TzdBandEditor>},
        {TzdDataBand::StaticClass(), zdNewComponentEditor<TzdDataBandEditor>},
        {TzdHeader::StaticClass(), zdNewComponentEditor<TzdHeaderEditor>},
        {TzdPageHeader::StaticClass(), zdNewComponentEditor<TzdPageHeaderEditor>},
        {TzdPageFooter::StaticClass(), zdNewComponentEditor<TzdPageFooterEditor>},
        {TzdGroupHeader::StaticClass(), zdNewComponentEditor<TzdGroupHeaderEditor>},
        {TzdColumnHeader::StaticClass(), zdNewComponentEditor<TzdColumnHeaderEditor>},
        {TzdColumnFooter::StaticClass(), zdNewComponentEditor<TzdColumnFooterEditor>},
        {TzdOverlay::StaticClass(), zdNewComponentEditor<TzdOverlayEditor>},
        // The dialog controls register their class when their unit starts.
        {plat::GetClass(u"TzdDialogControl"), zdNewComponentEditor<TzdDialogControlEditor>},
        {TzdSubreport::StaticClass(), zdNewComponentEditor<TzdSubreportEditor>},
    };
    for (const auto& [cls, editor] : table)
        if (cls)
            editors->Register(cls, editor);
}

void registerPropertyEditors()
{
    TzdPropertyEditorCollection* r = zdGetPropertyEditorRegistry();
    const plat::TTypeInfo* extended = plat::typeInfoOf<long double>();
    const plat::TTypeInfo* integer = plat::typeInfoOf<qint32>();
    const plat::TTypeInfo* string = plat::typeInfoOf<QString>();
    const plat::TClass* component = TzdComponent::StaticClass();
    const plat::TClass* page = TzdReportPage::StaticClass();
    const auto locX = zdNewPropertyEditor<TzdLocSizeXProperty>;
    const auto locY = zdNewPropertyEditor<TzdLocSizeYProperty>;
    const auto paperX = zdNewPropertyEditor<TzdPaperXProperty>;
    const auto paperY = zdNewPropertyEditor<TzdPaperYProperty>;
    const auto reg = [r](const plat::TTypeInfo* type, const plat::TClass* cls, const char* name,
                         TzdPropertyEditorClass editor) { r->Register(type, cls, QString::fromLatin1(name), editor); };
    reg(extended, component, "Left", locX);
    reg(extended, component, "Top", locY);
    reg(extended, component, "Width", locX);
    reg(extended, component, "Height", locY);
    reg(extended, page, "PaperWidth", paperX);
    reg(extended, page, "PaperHeight", paperY);
    reg(extended, page, "LeftMargin", paperX);
    reg(extended, page, "RightMargin", paperX);
    reg(extended, page, "TopMargin", paperY);
    reg(extended, page, "BottomMargin", paperY);
    reg(integer, page, "PaperSize", zdNewPropertyEditor<TzdPaperProperty>);
    r->RegisterEventEditor(zdNewPropertyEditor<TzdEventProperty>);
    reg(plat::typeInfoOf<bool>(), nullptr, "", zdNewPropertyEditor<TzdBooleanProperty>);
    reg(TzdFrame::StaticClass()->ClassInfo(), nullptr, "", zdNewPropertyEditor<TzdFrameProperty>);
    reg(TzdCustomFill::StaticClass()->ClassInfo(), nullptr, "", zdNewPropertyEditor<TzdFillProperty>);
    reg(plat::TPicture::StaticClass()->ClassInfo(), nullptr, "", zdNewPropertyEditor<TzdPictureProperty>);
    reg(plat::TBitmap::StaticClass()->ClassInfo(), nullptr, "", zdNewPropertyEditor<TzdBitmapProperty>);
    reg(TzdDataSet::StaticClass()->ClassInfo(), nullptr, "", zdNewPropertyEditor<TzdDataSetProperty>);
    reg(string, TzdView::StaticClass(), "DataField", zdNewPropertyEditor<TzdDataFieldProperty>);
    reg(zd::TStringList::StaticClass()->ClassInfo(), nullptr, "", zdNewPropertyEditor<TzdStringsProperty>);
    reg(zd::TWideStrings::StaticClass()->ClassInfo(), TzdCustomMemoView::StaticClass(), "Memo",
        zdNewPropertyEditor<TzdMemoProperty>);
    reg(plat::typeInfoOf<plat::TBrushStyle>(), nullptr, "", zdNewPropertyEditor<TzdBrushProperty>);
    reg(plat::typeInfoOf<TzdFrameStyle>(), nullptr, "", zdNewPropertyEditor<TzdFrameStyleProperty>);
    reg(string, TzdMemoView::StaticClass(), "DisplayFormat", zdNewPropertyEditor<TzdDisplayFormatProperty>);
    reg(string, TzdDMPMemoView::StaticClass(), "DisplayFormat", zdNewPropertyEditor<TzdDisplayFormatProperty>);
    reg(string, TzdMemoView::StaticClass(), "Style", zdNewPropertyEditor<TzdStyleProperty>);
    reg(extended, TzdDataBand::StaticClass(), "ColumnWidth", locX);
    reg(extended, TzdDataBand::StaticClass(), "ColumnGap", locX);
    reg(string, TzdPrintOptions::StaticClass(), "Printer", zdNewPropertyEditor<TzdPrinterProperty>);
    reg(integer, TzdPrintOptions::StaticClass(), "PrintOnSheet", zdNewPropertyEditor<TzdPaperProperty>);
    reg(extended, nullptr, "NextCrossGap", locX);
    reg(extended, nullptr, "AddWidth", locX);
    reg(extended, nullptr, "AddHeight", locY);
}

void hideProperties()
{
    const std::pair<const plat::TClass*, const char*> table[] = {
        {TzdReport::StaticClass(), "DefaultLanguage;IniFile;Name;Preview;ScriptLanguage;ScriptText;Tag;Variables;"
                                   "DataSetName;DotMatrixReport;OldStyleProgress;ShowProgress;StoreInDFM;ParentReport"},
        {TzdEngineOptions::StaticClass(), "NewSilentMode;MaxMemSize;PrintIfEmpty;SilentMode;TempDir;UseFileCache"},
        {TzdPreviewOptions::StaticClass(),
         "AllowEdit;Buttons;DoubleBuffered;Maximized;MDIChild;Modal;ShowCaptions;Zoom;ZoomMode"},
        {TzdReportOptions::StaticClass(), "CreateDate;LastChange;Compressed;Password"},
        {TzdReportPage::StaticClass(), "Bin;BinOtherPages;ColumnWidth;ColumnPositions;DataSetName;HGuides;VGuides"},
        {TzdDMPPage::StaticClass(), "BackPicture;Color;Font;Frame"},
        {TzdReportComponent::StaticClass(), "GroupIndex"},
        {TzdView::StaticClass(), "DataSetName;BrushStyle;URL"},
        {TzdBand::StaticClass(), "Vertical"},
        {TzdDataBand::StaticClass(), "DataSetName"},
        {TzdGroupHeader::StaticClass(), "DrillName"},
        {plat::TFont::StaticClass(), "Height;Pitch"},
        {TzdHighlight::StaticClass(), "Active"},
        {TzdPictureView::StaticClass(), "ImageIndex"},
        {TzdSubreport::StaticClass(), "Page"},
        {TzdDataPage::StaticClass(), "Left;Tag;Top;Visible"},
        {TzdCustomMemoView::StaticClass(), "FirstParaBreak;LastParaBreak"},
    };
    for (const auto& [cls, names] : table)
        zdHideProperties(cls, QString::fromLatin1(names));
}

} // namespace

void zd::startDesignerEditorsUnit()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    registerPalette();
    registerComponentEditors();
    registerPropertyEditors();
    hideProperties();
    RegisterCodeTemplates();
}
