#include "zdDesignerDialogsQt.h"

#include "Modal.h"
#include "StringList.h"
#include "zdClass_fill.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDialogsSecondHalf.h"
#include "zdEditFill.h"
#include "zdEditFrame.h"
#include "zdEditMemo.h"
#include "zdEditPageOptions.h"
#include "zdEditStrings.h"
#include "zdPrinter.h"
#include "zdSysMemoEditor.h"

TzdQtDesignerDialogs::TzdQtDesignerDialogs(QWidget* Parent) : m_parent(Parent) {}

bool TzdQtDesignerDialogs::EditMemoText(TzdComponent* Memo, QString& Text)
{
    TzdMemoEditorForm form(m_parent);
    form.EditExpression = EditExpression;
    form.EditAggregate = [Memo]() -> std::optional<QString> {
        QString text;
        if (zd::dialogs::InsertAggregate(Memo, text))
            return text;
        return std::nullopt;
    };
    form.SetMemo(dynamic_cast<TzdCustomMemoView*>(Memo), Text);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return false;
    Text = form.EditedText();
    return true;
}

bool TzdQtDesignerDialogs::EditStrings(plat::TStrings& Lines)
{
    TzdStringsEditorForm form(m_parent);
    QStringList lines;
    for (int i = 0; i < Lines.Count(); ++i)
        lines << Lines.Strings(i);
    form.SetLines(lines);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return false;
    zd::applyStringsText(Lines, form.Lines().join(u'\n'));
    return true;
}

bool TzdQtDesignerDialogs::EditFrame(TzdFrame& Frame)
{
    TzdFrameEditorForm form(m_parent);
    form.SetFrame(&Frame);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return false;
    Frame.Assign(form.GetFrame());
    return true;
}

bool TzdQtDesignerDialogs::EditFill(const TzdCustomFill* Fill, bool ShapeMode, std::unique_ptr<TzdCustomFill>& Result)
{
    TzdFillEditorForm form(m_parent);
    form.SetSimpleFill(ShapeMode);
    form.SetFill(Fill);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return false;
    TzdCustomFill* chosen = form.GetFill();
    Result.reset(zdCreateFill(zdGetFillType(chosen)));
    Result->Assign(chosen);
    return true;
}

bool TzdQtDesignerDialogs::EditPage(TzdComponent* Page)
{
    auto* page = dynamic_cast<TzdReportPage*>(Page);
    if (!page)
        return false;
    if (auto* report = dynamic_cast<TzdReport*>(page->GetReportComponent()))
        report->ApplyPrinterOption();
    TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
    TzdPageEditorForm form(page, Units, printer, m_parent);
    return plat::ExecModal(form) == QDialog::Accepted;
}

// The dialogs below open their own windows.
bool TzdQtDesignerDialogs::EditPicture(plat::TPicture& Picture) { return zd::dialogs::EditPicture(Picture); }
bool TzdQtDesignerDialogs::EditHyperlink(TzdView* View, TzdHyperlink& Result)
{
    return zd::dialogs::EditHyperlink(View, Result);
}
bool TzdQtDesignerDialogs::EditDisplayFormat(TzdCustomMemoView* Memo, TzdFormatCollection& Result)
{
    return zd::dialogs::EditDisplayFormat(Memo, Result);
}
bool TzdQtDesignerDialogs::EditSysMemo(TzdComponent* Memo, QString& Text) { return zd::dialogs::EditSysMemo(Memo, Text); }
bool TzdQtDesignerDialogs::EditDataBand(TzdComponent* Band) { return zd::dialogs::EditDataBand(Band); }
bool TzdQtDesignerDialogs::EditGroupHeader(TzdComponent* Band) { return zd::dialogs::EditGroupHeader(Band); }
bool TzdQtDesignerDialogs::EditBarcode(TzdComponent* Barcode) { return zd::dialogs::EditBarcode(Barcode); }
