#pragma once
// The platform's control classes over Qt widgets: TControl and TWinControl,
// the standard controls (labels, edits, memos, buttons, check boxes, radio
// buttons, lists, combo boxes, group boxes, panels, bevels, images, speed and
// bitmap buttons, masked edits, check lists, date pickers, scroll boxes) and
// the forms. Their published properties are reflected, so the serializer,
// the inspector and scripts reach them by name.
//
// A control owns its widget. The visual Parent is separate from the Owner:
// a windowed control frees the controls placed on it when it goes, as the
// platform does. Event handlers run under the application's guard, so no
// exception from a handler reaches the Qt event loop.

#include "ControlEvents.h"
#include "Controls.h"
#include "Graphics.h"
#include "Objects.h"
#include "StringList.h"
#include "TypeInfo.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QWidget;
class QEvent;
class QDialog;

namespace plat {

class TWinControl;
class TCustomForm;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
PLAT_DECLARE_ENUM(TAlignment)
using TLeftRight = TAlignment;
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
PLAT_DECLARE_ENUM(TCheckBoxState)
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
PLAT_DECLARE_ENUM(TScrollStyle)
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
PLAT_DECLARE_ENUM(TComboBoxStyle)
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
PLAT_DECLARE_ENUM(TEditCharCase)
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
PLAT_DECLARE_ENUM(TBevelCut)
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
PLAT_DECLARE_ENUM(TBevelShape)
enum TBevelStyle { bsLowered, bsRaised };
PLAT_DECLARE_ENUM(TBevelStyle)
enum TTextLayout { tlTop, tlCenter, tlBottom };
PLAT_DECLARE_ENUM(TTextLayout)
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
PLAT_DECLARE_ENUM(TButtonLayout)
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
PLAT_DECLARE_ENUM(TBitBtnKind)
enum TDateTimeKind { dtkDate, dtkTime };
PLAT_DECLARE_ENUM(TDateTimeKind)
enum TDTDateFormat { dfShort, dfLong };
PLAT_DECLARE_ENUM(TDTDateFormat)
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
PLAT_DECLARE_ENUM(TFormStyle)


// A string list that lives in a widget (a memo's lines, a list's items): a
// persistent object, so that controls publish it and the serializer writes
// its text.
class TControlStrings : public TPersistent, public TStrings {
    PLAT_CLASS(TControlStrings, TPersistent)
public:
    struct Storage {
        std::function<int()> count;
        std::function<QString(int)> get;
        std::function<void(int, const QString&)> set;
        std::function<void(int, const QString&)> insert;
        std::function<void(int)> remove;
        std::function<void()> clear;
    };
    explicit TControlStrings(Storage storage) : m_storage(std::move(storage)) {}

    int Count() const override;
    QString Strings(int index) const override;
    void SetStrings(int index, const QString& s) override;
    void* Objects(int index) const override;
    void SetObjects(int index, void* object) override;
    void Insert(int index, const QString& s) override;
    void Delete(int index) override;
    void Clear() override;
    using TStrings::Assign;
    void Assign(TPersistent* Source) override;

private:
    void check(int index, bool allowEnd = false) const;
    Storage m_storage;
    std::vector<void*> m_objects;
};

class TControl : public TComponent {
    PLAT_CLASS(TControl, TComponent)
public:
    ~TControl() override;

    QWidget* Widget() const { return m_widget; }
    // The control whose widget this is, or nullptr.
    static TControl* FromWidget(const QWidget* widget);

    TWinControl* Parent() const { return m_parent; }
    virtual void SetParent(TWinControl* Value);
    // Puts the widget on a widget of no control (a form of the designer).
    void SetParentWidget(QWidget* widget);

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int Value);
    void SetTop(int Value);
    void SetWidth(int Value);
    void SetHeight(int Value);
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);

    virtual QString Caption() const;
    virtual void SetCaption(const QString& Value);
    TColor Color() const { return m_color; }
    virtual void SetColor(TColor Value);
    TFont* Font() const { return m_font.get(); }
    void SetFont(TFont* Value);
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool Value);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool Value);
    bool Enabled() const;
    virtual void SetEnabled(bool Value);
    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool Value);
    QString Hint() const { return m_hint; }
    void SetHint(const QString& Value);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool Value);
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor Value);
    TAlign Align() const { return m_align; }
    void SetAlign(TAlign Value) { m_align = Value; }

    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    void Invalidate();
    void Repaint();
    // Whether the widget can be on screen now (it and its parents visible).
    bool Showing() const;
    // The form the control is on, or nullptr.
    TCustomForm* GetParentForm() const;

    // A caption that equals the name follows a rename (not while loading).
    void SetName(const QString& NewName) override;
    // Fires OnClick (buttons also pass their ModalResult to the form first).
    virtual void Click();
    // Does the platform style give this control's caption from its name?
    virtual bool CaptionFollowsName() const { return false; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;

    // Runs a handler under the application's guard.
    template <class F>
    void guarded(F&& f);

protected:
    // The widget is created by the descendant and owned from here on.
    TControl(TComponent* AOwner, QWidget* widget);
    // The widget's event, seen before the widget; true swallows it.
    virtual bool widgetEvent(QEvent* event);
    // Clicks come from the mouse on controls that are no buttons.
    virtual bool ClickFromMouse() const { return true; }
    virtual void applyFont();
    virtual void applyColor();

private:
    friend class TWinControl;
    friend class ControlEventFilter;
    QWidget* m_widget;
    TWinControl* m_parent = nullptr;
    std::unique_ptr<TFont> m_font;
    TColor m_color;
    bool m_parentFont = true;
    bool m_parentColor = false;
    bool m_visible = true;
    bool m_showHint = false;
    QString m_hint;
    TCursor m_cursor = crDefault;
    TAlign m_align = alNone;
    QObject* m_filter = nullptr;
    bool m_pressed = false;
};

class TWinControl : public TControl {
    PLAT_CLASS(TWinControl, TControl)
public:
    // Frees the controls placed on it, the last first.
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(m_controls.size()); }
    // Raises EListError "List index out of bounds (%d)" outside the range.
    TControl* Controls(int Index) const;
    bool ContainsControl(const TControl* Control) const;

    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    void SetFocus();
    bool Focused() const;
    bool CanFocus() const;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // The key handlers as the platform runs them (the form first with
    // KeyPreview); the key comes back changed, 0 when it was cancelled.
    virtual void DoKeyDown(quint16& Key, TShiftState Shift);
    virtual void DoKeyUp(quint16& Key, TShiftState Shift);
    virtual void DoKeyPress(QChar& Key);

protected:
    TWinControl(TComponent* AOwner, QWidget* widget);
    bool widgetEvent(QEvent* event) override;
    // The widget that takes the children (a scroll box's viewport).
    virtual QWidget* ClientWidget() const;

private:
    friend class TControl;
    std::vector<TControl*> m_controls;
    bool m_tabStop = true;
    bool m_resending = false;
};

class TCustomControl : public TWinControl {
    PLAT_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
};

class TGraphicControl : public TControl {
    PLAT_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);

protected:
    TGraphicControl(TComponent* AOwner, QWidget* widget) : TControl(AOwner, widget) {}
};

class TLabel : public TGraphicControl {
    PLAT_CLASS(TLabel, TGraphicControl)
public:
    explicit TLabel(TComponent* AOwner);
    QString Caption() const override;
    void SetCaption(const QString& Value) override;
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return m_layout; }
    void SetLayout(TTextLayout Value);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool Value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool Value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool Value);
    bool CaptionFollowsName() const override { return true; }
    // With AutoSize the label keeps the size of its text.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

private:
    void adjust();
    TAlignment m_alignment = taLeftJustify;
    TTextLayout m_layout = tlTop;
    bool m_autoSize = true;
    bool m_wordWrap = false;
    bool m_transparent = false;
};

class TCustomEdit : public TWinControl {
    PLAT_CLASS(TCustomEdit, TWinControl)
public:
    virtual QString Text() const = 0;
    virtual void SetText(const QString& Value) = 0;
    QString Caption() const override { return Text(); }
    void SetCaption(const QString& Value) override { SetText(Value); }
    int MaxLength() const { return m_maxLength; }
    virtual void SetMaxLength(int Value);
    bool ReadOnly() const { return m_readOnly; }
    virtual void SetReadOnly(bool Value);
    TEditCharCase CharCase() const { return m_charCase; }
    void SetCharCase(TEditCharCase Value);
    virtual void SelectAll() = 0;
    virtual void Clear() { SetText(QString()); }

    TNotifyEvent OnChange;

protected:
    TCustomEdit(TComponent* AOwner, QWidget* widget) : TWinControl(AOwner, widget) {}
    void Change();
    QString cased(const QString& s) const;
    bool m_inChange = false;

private:
    int m_maxLength = 0;
    bool m_readOnly = false;
    TEditCharCase m_charCase = ecNormal;
};

class TEdit : public TCustomEdit {
    PLAT_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner);
    QString Text() const override;
    void SetText(const QString& Value) override;
    void SetMaxLength(int Value) override;
    void SetReadOnly(bool Value) override;
    QChar PasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(QChar Value);
    void SelectAll() override;
    bool CaptionFollowsName() const override { return true; }

protected:
    TEdit(TComponent* AOwner, QWidget* widget);

private:
    void bind();
    QChar m_passwordChar;
};

// An edit whose text follows an edit mask by the runtime's own mask rules
// (MaskUtils), not Qt's input masks.
class TMaskEdit : public TEdit {
    PLAT_CLASS(TMaskEdit, TEdit)
public:
    explicit TMaskEdit(TComponent* AOwner);
    QString EditMask() const { return m_editMask; }
    void SetEditMask(const QString& Value);
    // The text as the mask lays it out.
    QString EditText() const { return TEdit::Text(); }
    // Without literals when the mask says they are not saved.
    QString Text() const override;
    void SetText(const QString& Value) override;

protected:
    bool widgetEvent(QEvent* event) override;

private:
    QString m_editMask;
};

class TMemo : public TCustomEdit {
    PLAT_CLASS(TMemo, TCustomEdit)
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;
    QString Text() const override;
    void SetText(const QString& Value) override;
    void SetMaxLength(int Value) override;
    void SetReadOnly(bool Value) override;
    TControlStrings* Lines() const { return m_lines.get(); }
    void SetLines(TControlStrings* Value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool Value);
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value) { m_alignment = Value; }
    bool WantReturns() const { return m_wantReturns; }
    void SetWantReturns(bool Value) { m_wantReturns = Value; }
    bool WantTabs() const { return m_wantTabs; }
    void SetWantTabs(bool Value);
    void SelectAll() override;

private:
    std::unique_ptr<TControlStrings> m_lines;
    bool m_wordWrap = true;
    TScrollStyle m_scrollBars = ssNone;
    TAlignment m_alignment = taLeftJustify;
    bool m_wantReturns = true;
    bool m_wantTabs = false;
};

class TButtonControl : public TWinControl {
    PLAT_CLASS(TButtonControl, TWinControl)
public:
    QString Caption() const override;
    void SetCaption(const QString& Value) override;
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool Value) { m_wordWrap = Value; }
    bool CaptionFollowsName() const override { return true; }

protected:
    TButtonControl(TComponent* AOwner, QWidget* widget);
    bool ClickFromMouse() const override { return false; }

private:
    bool m_wordWrap = false;
};

class TButton : public TButtonControl {
    PLAT_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);
    // The form's ModalResult becomes the button's, then OnClick.
    void Click() override;
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool Value) { m_cancel = Value; }
    bool Default() const { return m_default; }
    void SetDefault(bool Value);
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int Value) { m_modalResult = Value; }

protected:
    TButton(TComponent* AOwner, QWidget* widget);

private:
    bool m_cancel = false;
    bool m_default = false;
    int m_modalResult = 0;
};

class TBitBtn : public TButton {
    PLAT_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;
    TBitmap* Glyph() const { return m_glyph.get(); }
    void SetGlyph(TBitmap* Value);
    // A kind other than bkCustom gives its caption and modal result.
    TBitBtnKind Kind() const { return m_kind; }
    void SetKind(TBitBtnKind Value);
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout Value) { m_layout = Value; }
    int Margin() const { return m_margin; }
    void SetMargin(int Value) { m_margin = Value; }
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int Value) { m_numGlyphs = Value < 1 ? 1 : Value > 4 ? 4 : Value; }
    int Spacing() const { return m_spacing; }
    void SetSpacing(int Value) { m_spacing = Value; }

private:
    void glyphChanged();
    std::unique_ptr<TBitmap> m_glyph;
    TBitBtnKind m_kind = bkCustom;
    TButtonLayout m_layout = blGlyphLeft;
    int m_margin = -1;
    int m_numGlyphs = 1;
    int m_spacing = 4;
};

// The check box's states cycle unchecked, checked, then grayed when
// AllowGrayed, as the platform's do.
class TCheckBox : public TButtonControl {
    PLAT_CLASS(TCheckBox, TButtonControl)
public:
    explicit TCheckBox(TComponent* AOwner);
    TCheckBoxState State() const;
    void SetState(TCheckBoxState Value);
    bool Checked() const { return State() == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    bool AllowGrayed() const { return m_allowGrayed; }
    void SetAllowGrayed(bool Value) { m_allowGrayed = Value; }
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value);
    // The next state a click gives.
    TCheckBoxState NextState() const;

private:
    bool m_allowGrayed = false;
    TAlignment m_alignment = taRightJustify;
};

// Radio buttons on one parent form a group: checking one unchecks the
// others; a checked one can be unchecked by the program.
class TRadioButton : public TButtonControl {
    PLAT_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const;
    void SetChecked(bool Value);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value);

private:
    TAlignment m_alignment = taRightJustify;
};

class TCustomListBox : public TWinControl {
    PLAT_CLASS(TCustomListBox, TWinControl)
public:
    ~TCustomListBox() override;
    TControlStrings* Items() const { return m_items.get(); }
    void SetItems(TControlStrings* Value);
    int ItemIndex() const;
    void SetItemIndex(int Value);
    bool MultiSelect() const;
    void SetMultiSelect(bool Value);
    int SelCount() const;
    // Raise EListError "List index out of bounds (%d)" outside the items.
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool Value);
    void Clear();

protected:
    TCustomListBox(TComponent* AOwner, QWidget* widget);
    void checkIndex(int Index) const;
    std::unique_ptr<TControlStrings> m_items;
    bool m_sorted = false;
};

class TListBox : public TCustomListBox {
    PLAT_CLASS(TListBox, TCustomListBox)
public:
    explicit TListBox(TComponent* AOwner);

protected:
    TListBox(TComponent* AOwner, QWidget* widget) : TCustomListBox(AOwner, widget) {}
};

class TCheckListBox : public TListBox {
    PLAT_CLASS(TCheckListBox, TListBox)
public:
    explicit TCheckListBox(TComponent* AOwner);
    bool AllowGrayed() const { return m_allowGrayed; }
    void SetAllowGrayed(bool Value) { m_allowGrayed = Value; }
    // Raise EListError "List index out of bounds (%d)" outside the items.
    bool Checked(int Index) const { return State(Index) == cbChecked; }
    void SetChecked(int Index, bool Value) { SetState(Index, Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State(int Index) const;
    void SetState(int Index, TCheckBoxState Value);

    TNotifyEvent OnClickCheck;

private:
    bool m_allowGrayed = false;
};

class TCustomComboBox : public TWinControl {
    PLAT_CLASS(TCustomComboBox, TWinControl)
public:
    ~TCustomComboBox() override;
    TControlStrings* Items() const { return m_items.get(); }
    void SetItems(TControlStrings* Value);
    int ItemIndex() const;
    void SetItemIndex(int Value);
    QString Text() const;
    void SetText(const QString& Value);
    QString Caption() const override { return Text(); }
    void SetCaption(const QString& Value) override { SetText(Value); }
    TComboBoxStyle Style() const { return m_style; }
    void SetStyle(TComboBoxStyle Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool Value);
    int DropDownCount() const;
    void SetDropDownCount(int Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    TCustomComboBox(TComponent* AOwner, QWidget* widget);

private:
    std::unique_ptr<TControlStrings> m_items;
    TComboBoxStyle m_style = csDropDown;
    bool m_sorted = false;
    bool m_settingText = false;
};

class TComboBox : public TCustomComboBox {
    PLAT_CLASS(TComboBox, TCustomComboBox)
public:
    explicit TComboBox(TComponent* AOwner);
};

class TGroupBox : public TWinControl {
    PLAT_CLASS(TGroupBox, TWinControl)
public:
    explicit TGroupBox(TComponent* AOwner);
    QString Caption() const override;
    void SetCaption(const QString& Value) override;
    bool CaptionFollowsName() const override { return true; }
};

class TPanel : public TWinControl {
    PLAT_CLASS(TPanel, TWinControl)
public:
    explicit TPanel(TComponent* AOwner);
    QString Caption() const override;
    void SetCaption(const QString& Value) override;
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment Value);
    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int Value);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle Value) { m_borderStyle = Value; }
    bool CaptionFollowsName() const override { return true; }

private:
    void updateFrame();
    QString m_caption;
    TAlignment m_alignment = taCenter;
    TBevelCut m_bevelInner = bvNone;
    TBevelCut m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
    TBorderStyle m_borderStyle = bsNone;
};

class TBevel : public TGraphicControl {
    PLAT_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return m_shape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return m_style; }
    void SetStyle(TBevelStyle Value);

private:
    TBevelShape m_shape = bsBox;
    TBevelStyle m_style = bsLowered;
};

class TImage : public TGraphicControl {
    PLAT_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    TPicture* Picture() const { return m_picture.get(); }
    // Copies the picture.
    void SetPicture(TPicture* Value);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool Value);
    bool Center() const { return m_center; }
    void SetCenter(bool Value);
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool Value);

private:
    void pictureChanged();
    std::unique_ptr<TPicture> m_picture;
    bool m_autoSize = false;
    bool m_center = false;
    bool m_stretch = false;
};

// Speed buttons of one GroupIndex (not 0) on one parent act as a group: one
// is down at a time; AllowAllUp lets the down one come up again.
class TSpeedButton : public TGraphicControl {
    PLAT_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    QString Caption() const override;
    void SetCaption(const QString& Value) override;
    void Click() override;
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int Value);
    bool Down() const { return m_down; }
    void SetDown(bool Value);
    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool Value);
    bool Flat() const { return m_flat; }
    void SetFlat(bool Value);
    TBitmap* Glyph() const { return m_glyph.get(); }
    void SetGlyph(TBitmap* Value);
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout Value) { m_layout = Value; }
    int Margin() const { return m_margin; }
    void SetMargin(int Value) { m_margin = Value; }
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int Value) { m_numGlyphs = Value < 1 ? 1 : Value > 4 ? 4 : Value; }
    int Spacing() const { return m_spacing; }
    void SetSpacing(int Value) { m_spacing = Value; }
    bool CaptionFollowsName() const override { return false; }

protected:
    bool ClickFromMouse() const override { return false; }

private:
    std::vector<TSpeedButton*> groupMates() const;
    void showDown();
    std::unique_ptr<TBitmap> m_glyph;
    int m_groupIndex = 0;
    bool m_down = false;
    bool m_allowAllUp = false;
    bool m_flat = false;
    TButtonLayout m_layout = blGlyphLeft;
    int m_margin = -1;
    int m_numGlyphs = 1;
    int m_spacing = 4;
};

class TDateTimePicker : public TWinControl {
    PLAT_CLASS(TDateTimePicker, TWinControl)
public:
    explicit TDateTimePicker(TComponent* AOwner);
    // Whole days (TDate) and the fraction of a day (TTime).
    double Date() const;
    void SetDate(double Value);
    double Time() const;
    void SetTime(double Value);
    double DateTime() const;
    void SetDateTime(double Value);
    TDateTimeKind Kind() const { return m_kind; }
    void SetKind(TDateTimeKind Value);
    TDTDateFormat DateFormat() const { return m_dateFormat; }
    void SetDateFormat(TDTDateFormat Value);
    bool WeekNumbers() const { return m_weekNumbers; }
    void SetWeekNumbers(bool Value);

    TNotifyEvent OnChange;

private:
    void updateFormat();
    TDateTimeKind m_kind = dtkDate;
    TDTDateFormat m_dateFormat = dfShort;
    bool m_weekNumbers = false;
};

class TScrollingWinControl : public TWinControl {
    PLAT_CLASS(TScrollingWinControl, TWinControl)
protected:
    TScrollingWinControl(TComponent* AOwner, QWidget* widget) : TWinControl(AOwner, widget) {}
};

class TScrollBox : public TScrollingWinControl {
    PLAT_CLASS(TScrollBox, TScrollingWinControl)
public:
    explicit TScrollBox(TComponent* AOwner);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle Value);

protected:
    QWidget* ClientWidget() const override;

private:
    QWidget* m_client = nullptr;
    TBorderStyle m_borderStyle = bsSingle;
};

// A form over QDialog. ShowModal goes through the program's modal runner;
// Close and the window's close button ask OnCloseQuery, then OnClose.
class TCustomForm : public TScrollingWinControl {
    PLAT_CLASS(TCustomForm, TScrollingWinControl)
public:
    ~TCustomForm() override;

    QDialog* Dialog() const;
    QString Caption() const override;
    void SetCaption(const QString& Value) override;
    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition Value) { m_position = Value; }
    TWindowState WindowState() const { return m_windowState; }
    void SetWindowState(TWindowState Value);
    TFormStyle FormStyle() const { return m_formStyle; }
    void SetFormStyle(TFormStyle Value) { m_formStyle = Value; }
    bool KeyPreview() const { return m_keyPreview; }
    void SetKeyPreview(bool Value) { m_keyPreview = Value; }
    TWinControl* ActiveControl() const;
    void SetActiveControl(TWinControl* Value);

    // Shows the form modally; the result is its ModalResult (the runner's
    // answer when no button set one).
    int ShowModal();
    bool Modal() const { return m_modal; }
    int ModalResult() const { return m_modalResult; }
    // Inside ShowModal a value other than 0 ends the modal run once the
    // current event is done and OnCloseQuery agrees.
    void SetModalResult(int Value);
    // Asks OnCloseQuery; true when the form may close.
    virtual bool CloseQuery();
    // Modal: ModalResult := mrCancel. Otherwise OnCloseQuery, then OnClose
    // with caHide (caFree frees the form later, caNone keeps it).
    void Close();
    void Release();
    TCanvas* Canvas();

    TNotifyEvent OnActivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TNotifyEvent OnShow;

protected:
    explicit TCustomForm(TComponent* AOwner);
    bool widgetEvent(QEvent* event) override;
    // A window-close request (the close button, Alt+F4).
    bool closeRequest();
    void checkModalEnd();

private:
    friend class FormDialog;
    TFormBorderStyle m_borderStyle = fbsSizeable;
    TPosition m_position = poDesigned;
    TWindowState m_windowState = wsNormal;
    TFormStyle m_formStyle = fsNormal;
    bool m_keyPreview = false;
    bool m_modal = false;
    int m_modalResult = 0;
    bool m_checkQueued = false;
    std::unique_ptr<TCanvas> m_canvas;
};

class TForm : public TCustomForm {
    PLAT_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* AOwner);
};

// A control's scroll bar (a scroll box's); scripts know the class.
class TControlScrollBar : public TPersistent {
    PLAT_CLASS(TControlScrollBar, TPersistent)
};

class TDataModule : public TComponent {
    PLAT_CLASS(TDataModule, TComponent)
public:
    explicit TDataModule(TComponent* AOwner);
    ~TDataModule() override;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
};

// Registers the control classes with the class registry (idempotent).
void RegisterControlClasses();

template <class F>
void TControl::guarded(F&& f)
{
    extern bool guardControlHandler(const std::function<void()>& f);
    guardControlHandler(std::function<void()>(std::forward<F>(f)));
}

} // namespace plat
