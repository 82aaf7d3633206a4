#pragma once
// The designer dialogs service over the Qt dialog windows. The designer
// installs one when it starts (TzdScopedDesignerDialogs); every dialog is
// run through the modal runner, so tests answer it offscreen.

#include "zdClass_services.h"
#include "zdDsgnDialogs.h"

#include <functional>

class QWidget;

class TzdQtDesignerDialogs : public TzdDesignerDialogs {
public:
    explicit TzdQtDesignerDialogs(QWidget* Parent = nullptr);

    // The designer's unit for the page dialog.
    TzdRulerUnits Units = ruCM;
    // The designer's expression editor; the expression dialog when empty.
    std::function<QString(const QString&)> EditExpression;

    bool EditMemoText(TzdComponent* Memo, QString& Text) override;
    bool EditStrings(plat::TStrings& Lines) override;
    bool EditFrame(TzdFrame& Frame) override;
    bool EditFill(const TzdCustomFill* Fill, bool ShapeMode, std::unique_ptr<TzdCustomFill>& Result) override;
    bool EditPicture(plat::TPicture& Picture) override;
    bool EditHyperlink(TzdView* View, TzdHyperlink& Result) override;
    bool EditDisplayFormat(TzdCustomMemoView* Memo, TzdFormatCollection& Result) override;
    bool EditSysMemo(TzdComponent* Memo, QString& Text) override;
    bool EditPage(TzdComponent* Page) override;
    bool EditDataBand(TzdComponent* Band) override;
    bool EditGroupHeader(TzdComponent* Band) override;
    bool EditBarcode(TzdComponent* Barcode) override;

private:
    QWidget* m_parent;
};
