#pragma once
// The seventeen dialog controls that report dialog pages hold, each a report
// object that owns one platform control and forwards its published
// properties to it; the window behind a dialog page; their palette
// registration and their extra script members.

#include "zdDialogControl.h"

namespace plat {
class TLabel;
class TCustomEdit;
class TEdit;
class TMemo;
class TMaskEdit;
class TButton;
class TBitBtn;
class TCheckBox;
class TRadioButton;
class TListBox;
class TCheckListBox;
class TComboBox;
class TPanel;
class TGroupBox;
class TDateTimePicker;
class TImage;
class TBevel;
class TSpeedButton;
class TForm;
} // namespace plat

// The window of a dialog page: it refuses every close request by itself
// (the page answers them while it runs the window), and tells its owner
// when the user ends moving or resizing it.
plat::TForm* zdCreateDialogForm();
// Sets the end-of-move-or-resize notification of a dialog form.
void zdSetDialogFormMoved(plat::TForm* Form, std::function<void()> Notification);

#define ZD_DIALOG_CONTROL(Class, Platform)                                                                   \
    class Class : public TzdDialogControl {                                                                  \
        PLAT_CLASS(Class, TzdDialogControl)                                                                   \
    public:                                                                                                  \
        explicit Class(plat::TComponent* AOwner);                                                            \
        QString ClassDisplayName() const override;                                                           \
        Platform* Ctl() const { return m_ctl; }                                                              \
                                                                                                             \
    private:                                                                                                 \
        Platform* m_ctl = nullptr;                                                                           \
    };

// The edit-like controls map MaxLength, ReadOnly, Text and the change event.
class TzdCustomEditControl : public TzdDialogControl {
    PLAT_CLASS(TzdCustomEditControl, TzdDialogControl)
public:
    explicit TzdCustomEditControl(plat::TComponent* AOwner);
    plat::TCustomEdit* EditCtl() const { return m_edit; }
    QString OnChange;

protected:
    void initEdit(plat::TCustomEdit* Edit);

private:
    plat::TCustomEdit* m_edit = nullptr;
};

#define ZD_EDIT_CONTROL(Class, Platform)                                                                     \
    class Class : public TzdCustomEditControl {                                                              \
        PLAT_CLASS(Class, TzdCustomEditControl)                                                               \
    public:                                                                                                  \
        explicit Class(plat::TComponent* AOwner);                                                            \
        QString ClassDisplayName() const override;                                                           \
        Platform* Ctl() const { return m_ctl; }                                                              \
                                                                                                             \
    private:                                                                                                 \
        Platform* m_ctl = nullptr;                                                                           \
    };

ZD_EDIT_CONTROL(TzdEditControl, plat::TEdit)
ZD_EDIT_CONTROL(TzdMemoControl, plat::TMemo)
ZD_EDIT_CONTROL(TzdMaskEditControl, plat::TMaskEdit)
ZD_DIALOG_CONTROL(TzdButtonControl, plat::TButton)
ZD_DIALOG_CONTROL(TzdCheckBoxControl, plat::TCheckBox)
ZD_DIALOG_CONTROL(TzdRadioButtonControl, plat::TRadioButton)
ZD_DIALOG_CONTROL(TzdListBoxControl, plat::TListBox)
ZD_DIALOG_CONTROL(TzdPanelControl, plat::TPanel)
ZD_DIALOG_CONTROL(TzdGroupBoxControl, plat::TGroupBox)
ZD_DIALOG_CONTROL(TzdImageControl, plat::TImage)
ZD_DIALOG_CONTROL(TzdBevelControl, plat::TBevel)
ZD_DIALOG_CONTROL(TzdBitBtnControl, plat::TBitBtn)
ZD_DIALOG_CONTROL(TzdCheckListBoxControl, plat::TCheckListBox)

class TzdLabelControl : public TzdDialogControl {
    PLAT_CLASS(TzdLabelControl, TzdDialogControl)
public:
    explicit TzdLabelControl(plat::TComponent* AOwner);
    QString ClassDisplayName() const override;
    plat::TLabel* Ctl() const { return m_label; }
    // With AutoSize the object takes the label's size; without, the label
    // takes the object's.
    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;
    void BeforePrint() override;

private:
    void followSize();
    plat::TLabel* m_label;
};

class TzdComboBoxControl : public TzdDialogControl {
    PLAT_CLASS(TzdComboBoxControl, TzdDialogControl)
public:
    explicit TzdComboBoxControl(plat::TComponent* AOwner);
    QString ClassDisplayName() const override;
    plat::TComboBox* Ctl() const { return m_combo; }
    QString OnChange;

private:
    plat::TComboBox* m_combo;
};

class TzdDateEditControl : public TzdDialogControl {
    PLAT_CLASS(TzdDateEditControl, TzdDialogControl)
public:
    explicit TzdDateEditControl(plat::TComponent* AOwner);
    QString ClassDisplayName() const override;
    plat::TDateTimePicker* Ctl() const { return m_picker; }
    QString OnChange;

private:
    plat::TDateTimePicker* m_picker;
};

class TzdSpeedButtonControl : public TzdDialogControl {
    PLAT_CLASS(TzdSpeedButtonControl, TzdDialogControl)
public:
    explicit TzdSpeedButtonControl(plat::TComponent* AOwner);
    QString ClassDisplayName() const override;
    plat::TSpeedButton* Ctl() const { return m_button; }
    // The group index goes to the button too.
    int GroupIndex() const;
    void SetGroupIndex(int Value);

private:
    plat::TSpeedButton* m_button;
};

// A marker component without behaviour; the report list owns one.
class TzdDialogControls : public plat::TComponent {
    PLAT_CLASS(TzdDialogControls, plat::TComponent)
public:
    explicit TzdDialogControls(plat::TComponent* AOwner) : plat::TComponent(AOwner) {}
};

namespace zd {
// Registers the dialog controls (class registry, object palette, script
// module) and the dialog page's window; the end takes them out again.
void startDialogControlsUnit();
void endDialogControlsUnit();
} // namespace zd
