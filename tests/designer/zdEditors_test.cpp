// The designer's component and property editors of the report objects:
// context menus and their commands on a selection, dialogs through a
// scripted double, units of positions and sizes, event handlers created in
// the script, and the rows the inspector shows for the report classes.

#include "../DesignerTestUnits.h"
#include "../core/zdDesignerDouble.h"
#include "Canvas.h"
#include "CodePage.h"
#include "Exceptions.h"
#include "FormatSettings.h"
#include "Graphics.h"
#include "StringList.h"
#include "TypeInfo.h"
#include "zdBarcode2DView.h"
#include "zdBarcodeEditor.h"
#include "zdBarcodeView.h"
#include "zdClass_band.h"
#include "zdClass_fill.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_picture.h"
#include "zdClass_report.h"
#include "zdClass_shape.h"
#include "zdDataSets.h"
#include "zdCodeUtils.h"
#include "zdDMPClass.h"
#include "zdDsgnDialogs.h"
#include "zdEditors.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// Answers every dialog with Accept, after letting the test change what the
// dialog was given.
class ScriptedDialogs : public TzdDesignerDialogs {
public:
    bool Accept = true;
    QStringList Calls;
    QString Text;
    std::function<void(TzdFrame&)> Frame;
    std::function<std::unique_ptr<TzdCustomFill>()> Fill;
    bool LastShapeMode = false;

    bool EditMemoText(TzdComponent*, QString& text) override { return answer("MemoText", text); }
    bool EditStrings(plat::TStrings& lines) override
    {
        if (Accept)
            lines.Add(Text);
        return log("Strings");
    }
    bool EditFrame(TzdFrame& frame) override
    {
        if (Accept && Frame)
            Frame(frame);
        return log("Frame");
    }
    bool EditFill(const TzdCustomFill*, bool shapeMode, std::unique_ptr<TzdCustomFill>& result) override
    {
        LastShapeMode = shapeMode;
        if (Accept && Fill)
            result = Fill();
        return log("Fill");
    }
    bool EditPicture(plat::TPicture&) override { return log("Picture"); }
    bool EditHyperlink(TzdView*, TzdHyperlink& result) override
    {
        if (Accept)
            result.Value = Text;
        return log("Hyperlink");
    }
    bool EditDisplayFormat(TzdCustomMemoView*, TzdFormatCollection&) override { return log("DisplayFormat"); }
    bool EditSysMemo(TzdComponent*, QString& text) override { return answer("SysMemo", text); }
    bool EditPage(TzdComponent*) override { return log("Page"); }
    bool EditDataBand(TzdComponent*) override { return log("DataBand"); }
    bool EditGroupHeader(TzdComponent*) override { return log("GroupHeader"); }
    bool EditBarcode(TzdComponent*) override { return log("Barcode"); }

private:
    bool log(const char* name)
    {
        Calls << QString::fromLatin1(name);
        return Accept;
    }
    bool answer(const char* name, QString& text)
    {
        if (Accept)
            text = Text;
        return log(name);
    }
};

void startUnits()
{
    testunits::startDesignerUnits();
}

struct Designer : ::testing::Test {
    TzdReport report;
    TzdReportPage* page;
    std::unique_ptr<zdtest::TestDesigner> designer;
    ScriptedDialogs dialogs;
    TzdScopedDesignerDialogs useDialogs{dialogs};
    TzdMenu menu;

    Designer()
    {
        startUnits();
        page = new TzdReportPage(&report);
        page->SetParent(&report);
        page->SetName(QStringLiteral("Page1"));
        designer = std::make_unique<zdtest::TestDesigner>(&report);
    }

    template <class T>
    T* add(TzdComponent* parent, const char* name)
    {
        auto* obj = new T(&report);
        obj->SetParent(parent);
        obj->SetName(QString::fromLatin1(name));
        return obj;
    }
    void select(std::vector<TzdComponent*> objects) { designer->Selection = std::move(objects); }
    // The editor the registry gives the first selected object.
    std::unique_ptr<TzdComponentEditor> editorOf(TzdComponent* obj)
    {
        menu.Clear();
        return std::unique_ptr<TzdComponentEditor>(
            zdGetComponentEditorRegistry()->GetComponentEditor(obj, designer.get(), &menu));
    }
    QStringList menuOf(TzdComponent* obj)
    {
        auto editor = editorOf(obj);
        editor->GetMenuItems();
        QStringList tags;
        for (int i = 0; i < menu.Count(); ++i)
            tags << QString::number(menu.Item(i).Tag) + (menu.Item(i).Checked ? "*" : "");
        return tags;
    }
    bool run(TzdComponent* first, int tag, bool on) { return editorOf(first)->Execute(tag, on); }
    std::unique_ptr<TzdPropertyList> listOf(std::vector<plat::TObject*> objects)
    {
        return zdCreatePropertyList(objects, designer.get());
    }
};

// ---------------------------------------------------------------- menus

TEST_F(Designer, MemoMenuHoldsMemoThenViewCommands)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    memo->WordWrap = true;
    select({memo});
    EXPECT_EQ(menuOf(memo).join(u' '), QStringLiteral("1 50 2 -1 3 4* 5 6 7* 8 -1 40 41 51* 52 53* 54*"));
    EXPECT_EQ(menu.Item(0).Caption, QStringLiteral("Formát zobrazení..."));
    auto* dmp = add<TzdDMPMemoView>(page, "DMPMemo1");
    select({dmp});
    EXPECT_FALSE(menuOf(dmp).contains(QStringLiteral("8")));
}

TEST_F(Designer, MemoCommandsReachOnlyMemosViewCommandsEveryView)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    auto* line = add<TzdLineView>(page, "Line1");
    memo->WordWrap = true;
    select({memo, line});
    EXPECT_TRUE(run(memo, 4, false));
    EXPECT_FALSE(memo->WordWrap);
    EXPECT_TRUE(run(memo, 53, false));
    EXPECT_FALSE(memo->Visible());
    EXPECT_FALSE(line->Visible());
}

TEST_F(Designer, StretchCommandsOfMemos)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    select({memo});
    memo->SetStretchMode(smMaxHeight);
    run(memo, 40, true);
    EXPECT_EQ(memo->StretchMode(), smActualHeight);
    run(memo, 41, false);
    EXPECT_EQ(memo->StretchMode(), smDontStretch);
}

TEST_F(Designer, ProtectedObjectsAreSkipped)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    memo->SetRestrictions({rfDontModify});
    select({memo});
    memo->HideZeros = false;
    EXPECT_FALSE(run(memo, 6, true));
    EXPECT_FALSE(memo->HideZeros);
}

TEST_F(Designer, BarcodeMenuTogglesUnprotectedBarcodesOnly)
{
    auto* a = add<TzdBarCodeView>(page, "Barcode1");
    auto* b = add<TzdBarCodeView>(page, "Barcode2");
    auto* c = add<TzdBarCodeView>(page, "Barcode3");
    b->SetRestrictions({rfDontModify});
    for (auto* bc : {a, b, c})
        bc->CalcCheckSum = false;
    select({a, b, c});
    EXPECT_EQ(menuOf(a).join(u' '), QStringLiteral("1 2* 51* 52 53* 54*"));
    EXPECT_EQ(menu.Item(0).Caption, QStringLiteral("Vypočítat kontrolní součet"));
    EXPECT_TRUE(run(a, TzdBarcodeEditor::kCalcCheckSum, true));
    EXPECT_TRUE(a->CalcCheckSum);
    EXPECT_FALSE(b->CalcCheckSum);
    EXPECT_TRUE(c->CalcCheckSum);
    auto editor = editorOf(a);
    EXPECT_TRUE(editor->HasEditor());
    EXPECT_TRUE(editor->Edit());
    EXPECT_EQ(dialogs.Calls.last(), QStringLiteral("Barcode"));
}

TEST_F(Designer, HyperlinkCommandCopiesTheLinkOrStopsOnCancel)
{
    auto* a = add<TzdMemoView>(page, "Memo1");
    auto* b = add<TzdMemoView>(page, "Memo2");
    select({a, b});
    dialogs.Text = QStringLiteral("https://example.org");
    EXPECT_TRUE(run(a, TzdViewEditor::kHyperlink, true));
    EXPECT_EQ(b->Hyperlink()->Value, QStringLiteral("https://example.org"));
    dialogs.Accept = false;
    dialogs.Text = QStringLiteral("other");
    EXPECT_FALSE(editorOf(a)->Execute(TzdViewEditor::kHyperlink, true) && false);
    EXPECT_EQ(b->Hyperlink()->Value, QStringLiteral("https://example.org"));
}

TEST_F(Designer, BandMenusFollowKindAndSelection)
{
    auto* header = add<TzdPageHeader>(page, "PageHeader1");
    auto* footer = add<TzdFooter>(page, "Footer1");
    auto* data = add<TzdDataBand>(page, "MasterData1");
    select({header});
    EXPECT_EQ(menuOf(header).join(u' ').remove(u'*'), QStringLiteral("10 13 0"));
    select({footer});
    EXPECT_EQ(menuOf(footer).join(u' ').remove(u'*'), QStringLiteral("10 11 12 13"));
    select({header, footer});
    EXPECT_TRUE(menuOf(header).isEmpty());
    data->SetVertical(true);
    select({data});
    EXPECT_EQ(menuOf(data).join(u' ').remove(u'*'), QStringLiteral("13 14 0 1"));
}

TEST_F(Designer, ResetPageNumbersAlsoStartsANewPage)
{
    auto* group = add<TzdGroupHeader>(page, "GroupHeader1");
    select({group});
    EXPECT_TRUE(run(group, 3, true));
    EXPECT_TRUE(zd::boolProperty(group, "ResetPageNumbers"));
    EXPECT_TRUE(zd::boolProperty(group, "StartNewPage"));
    EXPECT_TRUE(run(group, 3, false));
    EXPECT_TRUE(zd::boolProperty(group, "StartNewPage"));
    group->SetRestrictions({rfDontModify});
    EXPECT_FALSE(run(group, 2, true));
    EXPECT_FALSE(zd::boolProperty(group, "DrillDown"));
}

TEST_F(Designer, SubreportPageOpensNoDialogAndSubreportSwitchesToIt)
{
    auto* band = add<TzdDataBand>(page, "MasterData1");
    auto* subreport = add<TzdSubreport>(band, "Subreport1");
    auto* subPage = add<TzdReportPage>(&report, "Page2");
    subreport->SetPage(subPage);
    auto pageEditor = editorOf(subreport->Page());
    EXPECT_FALSE(pageEditor->Edit());
    EXPECT_FALSE(dialogs.Calls.contains(QStringLiteral("Page")));
    EXPECT_TRUE(editorOf(page)->Edit());
    EXPECT_EQ(dialogs.Calls.last(), QStringLiteral("Page"));
    EXPECT_FALSE(editorOf(subreport)->Edit());
    EXPECT_EQ(designer->CurrentPage, subreport->Page());
}

TEST_F(Designer, MemoEditorReplacesTextAndClearsDataField)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    memo->SetDataField(QStringLiteral("Kod"));
    select({memo});
    dialogs.Text = QStringLiteral("Nový text");
    EXPECT_TRUE(editorOf(memo)->Edit());
    EXPECT_EQ(memo->Text().trimmed(), QStringLiteral("Nový text"));
    EXPECT_TRUE(memo->DataField().isEmpty());
    dialogs.Accept = false;
    EXPECT_FALSE(editorOf(memo)->Edit());
    EXPECT_EQ(memo->Text().trimmed(), QStringLiteral("Nový text"));
}

// ---------------------------------------------------------------- units

TEST_F(Designer, PositionsAndSizesInTheDesignersUnits)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    auto list = listOf({memo});
    TzdPropertyEditor& width = *list->Find(QStringLiteral("Width"))->Editor;
    ASSERT_NE(dynamic_cast<TzdLocSizeXProperty*>(&width), nullptr);
    const QChar sep = plat::FormatSettings().DecimalSeparator;
    designer->Units = ruChars;
    memo->SetWidth(96);
    EXPECT_EQ(width.GetValue(), QStringLiteral("10"));
    memo->SetWidth(100);
    EXPECT_EQ(width.GetValue(), QStringLiteral("10") + sep + QStringLiteral("42"));
    designer->Units = ruCM;
    for (const char* typed : {"2,5", "2.5"}) {
        width.SetValue(QString::fromLatin1(typed));
        EXPECT_NEAR(double(memo->Width()), 2.5 * 96 / 2.54, 1e-6) << typed;
    }
    designer->Units = ruInches;
    EXPECT_EQ(width.GetValue(), QStringLiteral("0") + sep + QStringLiteral("98"));
    designer->Units = ruPixels;
    width.SetValue(QStringLiteral("120"));
    EXPECT_EQ(width.GetValue(), QStringLiteral("120"));
    EXPECT_THROW(width.SetValue(QStringLiteral("abc")), plat::Exception);
    TzdPropertyEditor& height = *list->Find(QStringLiteral("Height"))->Editor;
    designer->Units = ruChars;
    memo->SetHeight(34);
    EXPECT_EQ(height.GetValue(), QStringLiteral("2")); // a character row is 17 pixels
}

TEST_F(Designer, PaperSizesInTheDesignersUnits)
{
    auto list = listOf({page});
    TzdPropertyItem* item = list->Find(QStringLiteral("PaperWidth"));
    ASSERT_NE(item, nullptr);
    ASSERT_NE(dynamic_cast<TzdPaperXProperty*>(item->Editor.get()), nullptr);
    designer->Units = ruCM;
    item->Editor->SetValue(QStringLiteral("21"));
    EXPECT_NEAR(double(page->PaperWidth()), 210, 1e-6);
    EXPECT_EQ(item->Editor->GetValue(), QStringLiteral("21"));
    designer->Units = ruInches;
    item->Editor->SetValue(QStringLiteral("10"));
    EXPECT_NEAR(double(page->PaperWidth()), 254, 1e-6);
}

// The issue's own case: Font.Style and Left typed once for two memos.
TEST_F(Designer, TwoMemosTakeFontStyleAndLeftWithOneRefresh)
{
    auto* a = add<TzdMemoView>(page, "Memo1");
    auto* b = add<TzdMemoView>(page, "Memo2");
    designer->Units = ruCM;
    auto list = listOf({a, b});
    TzdPropertyItem* left = list->Find(QStringLiteral("Left"));
    ASSERT_NE(left, nullptr);
    left->Editor->SetValue(QStringLiteral("2,5"));
    designer->RefreshInspector();
    EXPECT_NEAR(double(a->Left()), 2.5 * 96 / 2.54, 1e-6);
    EXPECT_NEAR(double(b->Left()), 2.5 * 96 / 2.54, 1e-6);
    EXPECT_EQ(designer->Refreshes, 1);
    TzdPropertyList* style = list->Find(QStringLiteral("Font"))->SubProperty->Find(QStringLiteral("Style"))
                                 ->SubProperty.get();
    style->Find(QStringLiteral("fsItalic"))->Editor->SetValue(QStringLiteral("True"));
    designer->RefreshInspector();
    EXPECT_TRUE(a->Font()->HasStyle(plat::fsItalic));
    EXPECT_TRUE(b->Font()->HasStyle(plat::fsItalic));
    EXPECT_EQ(designer->Refreshes, 2);
    EXPECT_FALSE(designer->Suspended);
}

// ---------------------------------------------------------------- property rows

TEST_F(Designer, RowsOfAMemoUseTheDesignersEditors)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    auto list = listOf({memo});
    struct Row {
        const char* name;
        bool (*is)(TzdPropertyEditor*);
    };
    const Row rows[] = {
        {"Frame", [](TzdPropertyEditor* e) { return dynamic_cast<TzdFrameProperty*>(e) != nullptr; }},
        {"Fill", [](TzdPropertyEditor* e) { return dynamic_cast<TzdFillProperty*>(e) != nullptr; }},
        {"Memo", [](TzdPropertyEditor* e) { return dynamic_cast<TzdMemoProperty*>(e) != nullptr; }},
        {"DataSet", [](TzdPropertyEditor* e) { return dynamic_cast<TzdDataSetProperty*>(e) != nullptr; }},
        {"DataField", [](TzdPropertyEditor* e) { return dynamic_cast<TzdDataFieldProperty*>(e) != nullptr; }},
        {"OnBeforePrint", [](TzdPropertyEditor* e) { return dynamic_cast<TzdEventProperty*>(e) != nullptr; }},
        {"WordWrap", [](TzdPropertyEditor* e) { return dynamic_cast<TzdBooleanProperty*>(e) != nullptr; }},
        {"DisplayFormat", [](TzdPropertyEditor* e) { return dynamic_cast<TzdDisplayFormatProperty*>(e) != nullptr; }},
        {"Style", [](TzdPropertyEditor* e) { return dynamic_cast<TzdStyleProperty*>(e) != nullptr; }},
        {"Left", [](TzdPropertyEditor* e) { return dynamic_cast<TzdLocSizeXProperty*>(e) != nullptr; }},
        {"Top", [](TzdPropertyEditor* e) { return dynamic_cast<TzdLocSizeYProperty*>(e) != nullptr; }},
    };
    for (const Row& row : rows) {
        TzdPropertyItem* item = list->Find(QString::fromLatin1(row.name));
        ASSERT_NE(item, nullptr) << row.name;
        EXPECT_TRUE(row.is(item->Editor.get())) << row.name;
    }
    for (const char* hidden : {"FirstParaBreak", "LastParaBreak", "GroupIndex", "DataSetName", "URL", "BrushStyle"})
        EXPECT_EQ(list->Find(QString::fromLatin1(hidden)), nullptr) << hidden;
    TzdPropertyItem* font = list->Find(QStringLiteral("Font"));
    EXPECT_EQ(font->SubProperty->Find(QStringLiteral("Height")), nullptr);
    EXPECT_EQ(font->SubProperty->Find(QStringLiteral("Pitch")), nullptr);
    TzdPropertyItem* frame = list->Find(QStringLiteral("Frame"));
    TzdPropertyItem* style = frame->SubProperty->Find(QStringLiteral("Style"));
    ASSERT_NE(dynamic_cast<TzdFrameStyleProperty*>(style->Editor.get()), nullptr);
    EXPECT_EQ(style->Editor->GetExtraListWidth(), 36);
    EXPECT_EQ(style->Editor->GetAttributes(), (TzdPropertyAttributes{fpaValueList, fpaMultiSelect, fpaOwnerDraw}));
    TzdPropertyEditor& wrap = *list->Find(QStringLiteral("WordWrap"))->Editor;
    wrap.GetValues();
    EXPECT_EQ(wrap.Values().Count(), 2);
    EXPECT_EQ(list->Find(QStringLiteral("Frame"))->Editor->GetValue(), QStringLiteral("(TzdFrame)"));
}

TEST_F(Designer, PictureRowShowsItsGraphic)
{
    auto* picture = add<TzdPictureView>(page, "Picture1");
    auto list = listOf({picture});
    TzdPropertyItem* row = list->Find(QStringLiteral("Picture"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Editor->GetValue(), QStringLiteral("(nepřiřazeno)"));
    picture->Picture()->Bitmap().SetSize(2, 2);
    EXPECT_EQ(row->Editor->GetValue(), QStringLiteral("TBitmap (Obrázek)"));
    EXPECT_EQ(list->Find(QStringLiteral("ImageIndex")), nullptr);
}

TEST_F(Designer, BarcodeRowsAndBarPropertiesSubRows)
{
    auto* linear = add<TzdBarCodeView>(page, "Barcode1");
    auto list = listOf({linear});
    TzdPropertyItem* type = list->Find(QStringLiteral("BarType"));
    ASSERT_NE(type, nullptr);
    type->Editor->GetValues();
    EXPECT_EQ(type->Editor->Values().Count(), 26);
    type->Editor->SetValue(QStringLiteral("bcCode128"));
    EXPECT_EQ(linear->BarType, bcCode128);
    auto* twoD = add<TzdBarcode2DView>(page, "Barcode2");
    auto list2 = listOf({twoD});
    TzdPropertyItem* props = list2->Find(QStringLiteral("BarProperties"));
    ASSERT_NE(props, nullptr);
    ASSERT_NE(dynamic_cast<TzdBarcode2DPropertiesProperty*>(props->Editor.get()), nullptr);
    EXPECT_EQ(props->Editor->GetAttributes(), (TzdPropertyAttributes{fpaSubProperties, fpaReadOnly}));
    ASSERT_NE(props->SubProperty, nullptr);
    EXPECT_GT(props->SubProperty->Count(), 0);
    EXPECT_EQ(list2->Find(QStringLiteral("StretchMode")), nullptr);
}

TEST_F(Designer, FrameDialogReachesEverySelectedObject)
{
    auto* a = add<TzdMemoView>(page, "Memo1");
    auto* b = add<TzdMemoView>(page, "Memo2");
    auto list = listOf({a, b});
    dialogs.Frame = [](TzdFrame& frame) { frame.SetWidth(3); };
    EXPECT_TRUE(list->Find(QStringLiteral("Frame"))->Editor->Edit());
    EXPECT_EQ(double(a->Frame()->Width()), 3.0);
    EXPECT_EQ(double(b->Frame()->Width()), 3.0);
    dialogs.Accept = false;
    dialogs.Frame = [](TzdFrame& frame) { frame.SetWidth(7); };
    EXPECT_FALSE(list->Find(QStringLiteral("Frame"))->Editor->Edit());
    EXPECT_EQ(double(b->Frame()->Width()), 3.0);
}

TEST_F(Designer, FillDialogWritesTheChosenFillToEveryObject)
{
    auto* shape = add<TzdShapeView>(page, "Shape1");
    auto* other = add<TzdShapeView>(page, "Shape2");
    auto list = listOf({shape, other});
    dialogs.Fill = [] { return std::make_unique<TzdGradientFill>(); };
    EXPECT_TRUE(list->Find(QStringLiteral("Fill"))->Editor->Edit());
    EXPECT_TRUE(dialogs.LastShapeMode);
    EXPECT_EQ(shape->FillType(), ftGradient);
    EXPECT_EQ(other->FillType(), ftGradient);
}

// ---------------------------------------------------------------- events

TEST_F(Designer, EventEditCreatesThenFindsTheHandler)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    DefaultCodeLines(*report.ScriptText(), QStringLiteral("PascalScript"));
    auto list = listOf({memo});
    TzdPropertyEditor& event = *list->Find(QStringLiteral("OnBeforePrint"))->Editor;
    EXPECT_TRUE(event.Edit());
    EXPECT_EQ(event.GetValue(), QStringLiteral("Memo1OnBeforePrint"));
    EXPECT_EQ(report.ScriptText()->Strings(0), QStringLiteral("procedure Memo1OnBeforePrint(Sender: TzdComponent);"));
    EXPECT_EQ(designer->CodeLine, 3);
    EXPECT_EQ(designer->CodeColumn, 3);
    EXPECT_TRUE(designer->CodeFocused);
    const int lines = report.ScriptText()->Count();
    EXPECT_FALSE(event.Edit()); // the second time it jumps to the handler
    EXPECT_EQ(report.ScriptText()->Count(), lines);
    EXPECT_EQ(designer->CodeLine, 3);
    EXPECT_EQ(designer->CodeColumn, 1);
    event.GetValues();
    ASSERT_EQ(event.Values().Count(), 1);
    EXPECT_EQ(event.Values().Strings(0), QStringLiteral("Memo1OnBeforePrint"));
}

TEST_F(Designer, EventEditWithoutAMainBlockRaisesAndEmptiesTheProperty)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    report.ScriptText()->Clear();
    report.ScriptText()->Add(QStringLiteral("x := 1;"));
    auto list = listOf({memo});
    TzdPropertyEditor& event = *list->Find(QStringLiteral("OnBeforePrint"))->Editor;
    try {
        event.Edit();
        ADD_FAILURE() << "no exception";
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Nelze nalézt hlavní proceduru"));
    }
    EXPECT_TRUE(event.GetValue().isEmpty());
    designer->Restrictions = {drDontEditReportScript};
    EXPECT_FALSE(event.Edit());
    EXPECT_EQ(report.ScriptText()->Count(), 1);
}

TEST_F(Designer, BarcodeDialogKeepsATypeWithoutAnEntry)
{
    auto* barcode = add<TzdBarCodeView>(page, "Barcode1");
    barcode->BarType = bcGS1Code128;
    TzdBarcodeEditorValues values;
    values.Load(*barcode);
    EXPECT_EQ(values.Types.size(), 25);
    EXPECT_EQ(values.Types.front(), QStringLiteral("2_5_interleaved"));
    EXPECT_EQ(values.Types.back(), QStringLiteral("EAN128C"));
    EXPECT_EQ(values.TypeIndex, -1);
    values.Zoom = QStringLiteral(" 2,5 ");
    values.Rotation = 90;
    values.Store(*barcode);
    EXPECT_EQ(barcode->BarType, bcGS1Code128);
    EXPECT_EQ(double(barcode->Zoom), 2.5);
    EXPECT_EQ(barcode->Rotation, 90);
    values.TypeIndex = int(bcCode128);
    values.Zoom = QStringLiteral("x");
    EXPECT_THROW(values.Store(*barcode), plat::Exception);
    EXPECT_EQ(barcode->BarType, bcGS1Code128);
    EXPECT_EQ(double(barcode->Zoom), 2.5);
}

} // namespace

namespace {

TEST_F(Designer, ChoosingADatasetRewritesABoundMemo)
{
    auto* dataset = new TzdUserDataSet(&report);
    dataset->SetUserName(QStringLiteral("Zaznamy"));
    dataset->Fields()->Add(QStringLiteral("Kod"));
    report.DataSets()->AddDataSet(dataset);
    auto* memo = add<TzdMemoView>(page, "Memo1");
    auto list = listOf({memo});
    TzdPropertyEditor& field = *list->Find(QStringLiteral("DataField"))->Editor;
    TzdPropertyEditor& data = *list->Find(QStringLiteral("DataSet"))->Editor;
    EXPECT_EQ(data.GetValue(), QStringLiteral("(nepřiřazeno)"));
    field.SetValue(QStringLiteral("Kod")); // the field first, the dataset later
    data.GetValues();
    ASSERT_EQ(data.Values().Count(), 1);
    EXPECT_EQ(data.Values().Strings(0), QStringLiteral("Zaznamy"));
    data.SetValue(QStringLiteral("Zaznamy"));
    EXPECT_EQ(data.GetValue(), QStringLiteral("Zaznamy"));
    EXPECT_EQ(memo->Text().trimmed(), QStringLiteral("[Zaznamy.\"Kod\"]"));
    field.GetValues();
    EXPECT_EQ(field.Values().Count(), 1);
    EXPECT_THROW(data.SetValue(QStringLiteral("Nic")), plat::Exception);
    EXPECT_EQ(memo->DataSet(), dataset);
    data.SetValue(QString());
    EXPECT_EQ(memo->DataSet(), nullptr);
}

TEST_F(Designer, DialogControlDoubleClickCreatesOneClickHandler)
{
    auto* dialog = add<TzdDialogPage>(&report, "DialogPage1");
    DefaultCodeLines(*report.ScriptText(), QStringLiteral("PascalScript"));
    TzdDialogControlEditor editor(dialog, designer.get(), &menu);
    EXPECT_TRUE(editor.HasEditor());
    EXPECT_TRUE(editor.Edit());
    EXPECT_EQ(plat::GetStrProp(dialog, u"OnClick"), QStringLiteral("DialogPage1OnClick"));
    const int lines = report.ScriptText()->Count();
    EXPECT_EQ(designer->CodeLine, 3);
    EXPECT_TRUE(editor.Edit());
    EXPECT_EQ(report.ScriptText()->Count(), lines);
    EXPECT_EQ(designer->CodeLine, 3);
}

TEST_F(Designer, StringListDialogCopiesBackOnlyOnOk)
{
    auto* dataset = new TzdUserDataSet(&report);
    auto list = listOf({dataset});
    TzdPropertyItem* fields = list->Find(QStringLiteral("Fields"));
    ASSERT_NE(fields, nullptr);
    ASSERT_NE(dynamic_cast<TzdStringsProperty*>(fields->Editor.get()), nullptr);
    dialogs.Text = QStringLiteral("Cislo");
    EXPECT_TRUE(fields->Editor->Edit());
    EXPECT_EQ(dataset->Fields()->Count(), 1);
    dialogs.Accept = false;
    EXPECT_FALSE(fields->Editor->Edit());
    EXPECT_EQ(dataset->Fields()->Count(), 1);
}

} // namespace

namespace {

// Owner-drawn samples: the colour swatch of a colour row and the tick of a
// Boolean row, read back from the pixels.
TEST_F(Designer, OwnerDrawnValuesShowTheirSample)
{
    auto* memo = add<TzdMemoView>(page, "Memo1");
    auto list = listOf({memo});
    TzdPropertyEditor& colour = *list->Find(QStringLiteral("Color"))->Editor;
    colour.SetValue(QStringLiteral("clRed"));
    QImage image(120, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        plat::TCanvas canvas(&image);
        colour.ItemHeight = 16;
        colour.DrawValue(canvas, QRect(0, 0, 120, 16));
    }
    EXPECT_EQ(QColor(image.pixel(5, 6)), QColor(Qt::red)); // inside the swatch
    EXPECT_EQ(QColor(image.pixel(60, 2)), QColor(Qt::white));
    TzdPropertyEditor& wrap = *list->Find(QStringLiteral("WordWrap"))->Editor;
    memo->WordWrap = true;
    QImage ticked(40, 16, QImage::Format_RGB32);
    ticked.fill(Qt::white);
    {
        plat::TCanvas canvas(&ticked);
        wrap.DrawValue(canvas, QRect(0, 0, 40, 16));
    }
    int black = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 1; x < 10; ++x)
            black += QColor(ticked.pixel(x, y)) == QColor(Qt::black) && y > 2 && y < 11 ? 1 : 0;
    EXPECT_GT(black, 5);
}

} // namespace
