#pragma once
// Dialog controls: report objects that wrap a control of the platform and
// keep it in step with their own geometry, font, caption, colour, hint, tab
// stop and visibility, place it on the dialog page's form and forward its
// click, key and mouse events to named procedures of the report's script.
//
// A control with no dialog page sits on a hidden parent form, so that it
// always has a platform parent.

#include "zdReportComponent.h"

namespace plat {
class TControl;
class TForm;
} // namespace plat

PLAT_ALIAS_TYPE(TzdKeyEvent, QString)
PLAT_ALIAS_TYPE(TzdKeyPressEvent, QString)

class TzdDialogControl : public TzdReportComponent {
    PLAT_CLASS(TzdDialogControl, TzdReportComponent)
public:
    explicit TzdDialogControl(plat::TComponent* AOwner);
    ~TzdDialogControl() override;

    plat::TControl* Control() const { return m_control; }
    // Descendants call it from their constructors with the control they
    // create (owned from then on).
    void InitControl(plat::TControl* Control);

    // The control painted at the object's place (the designer's view).
    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;

    QString Caption() const;
    void SetCaption(const QString& Value);
    plat::TColor Color() const;
    void SetColor(plat::TColor Value);
    bool Enabled() const;
    void SetEnabled(bool Value);
    QString Hint() const;
    void SetHint(const QString& Value);
    bool ShowHint() const;
    void SetShowHint(bool Value);
    // True for a control that is not windowed; writing it is then ignored.
    bool TabStop() const;
    void SetTabStop(bool Value);

    void SetLeft(long double Value) override;
    void SetTop(long double Value) override;
    void SetWidth(long double Value) override;
    void SetHeight(long double Value) override;
    void SetVisible(bool Value) override;
    void SetParentFont(bool Value) override;
    void SetParent(TzdComponent* Value) override;
    void SetName(const QString& NewName) override;

    QString OnClick, OnDblClick, OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove,
        OnMouseUp;

protected:
    void FontChanged() override;
    // Runs the named handler with the object as its argument (forced, so it
    // runs outside a report run too); nothing without a report.
    void runHandler(const QString& Handler);

private:
    void placeControl();
    plat::TControl* m_control = nullptr;
};

// The hidden form of the process that holds controls without a dialog page
// (made on the first call).
plat::TForm* zdParentForm();
// Detaches the form's controls, the first first, and frees the form.
void zdFreeParentForm();

namespace zd {
// How a dialog page makes its form; the engine layer installs the dialog
// form's class. Without one the page makes a plain form.
using DialogFormFactory = plat::TForm* (*)();
void SetDialogFormFactory(DialogFormFactory Factory);
DialogFormFactory GetDialogFormFactory();
// Frees a dialog page's form (the page's destructor).
void freeDialogPageForm(plat::TForm* Form);
} // namespace zd
