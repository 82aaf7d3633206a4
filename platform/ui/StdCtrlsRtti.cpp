// Published properties of the control classes, in the platform's order.

#include "StdCtrls.h"

namespace plat {

PLAT_DEFINE_CLASS(TControlStrings, c) { (void)c; }

PLAT_DEFINE_CLASS(TControl, c)
{
    using C = TControl;
    c.property("Left", &C::Left, &C::SetLeft);
    c.property("Top", &C::Top, &C::SetTop);
    c.property("Width", &C::Width, &C::SetWidth);
    c.property("Height", &C::Height, &C::SetHeight);
    c.property("Align", &C::Align, &C::SetAlign).defaultValue(alNone);
    c.property("Caption", &C::Caption, &C::SetCaption);
    c.property<ti::TColor>("Color", &C::Color, &C::SetColor).stored([](const C& o) { return !o.ParentColor(); });
    c.property<ti::TCursor>("Cursor", &C::Cursor, &C::SetCursor).defaultValue(crDefault);
    c.property("Enabled", &C::Enabled, &C::SetEnabled).defaultValue(true);
    c.property("Font", &C::Font, &C::SetFont).stored([](const C& o) { return !o.ParentFont(); });
    c.property("Hint", &C::Hint, &C::SetHint);
    c.property("ParentColor", &C::ParentColor, &C::SetParentColor).defaultValue(false);
    c.property("ParentFont", &C::ParentFont, &C::SetParentFont).defaultValue(true);
    c.property("ShowHint", &C::ShowHint, &C::SetShowHint).defaultValue(false);
    c.property("Visible", &C::Visible, &C::SetVisible).defaultValue(true);
    c.property("OnCanResize", &C::OnCanResize);
    c.property("OnClick", &C::OnClick);
    c.property("OnDblClick", &C::OnDblClick);
    c.property("OnMouseDown", &C::OnMouseDown);
    c.property("OnMouseMove", &C::OnMouseMove);
    c.property("OnMouseUp", &C::OnMouseUp);
    c.property("OnResize", &C::OnResize);
}

PLAT_DEFINE_CLASS(TWinControl, c)
{
    using C = TWinControl;
    c.property("TabOrder", &C::TabOrder, &C::SetTabOrder).stored(false);
    c.property("TabStop", &C::TabStop, &C::SetTabStop).defaultValue(true);
    c.property("OnEnter", &C::OnEnter);
    c.property("OnExit", &C::OnExit);
    c.property("OnKeyDown", &C::OnKeyDown);
    c.property("OnKeyPress", &C::OnKeyPress);
    c.property("OnKeyUp", &C::OnKeyUp);
}

PLAT_DEFINE_CLASS(TCustomControl, c) { (void)c; }
PLAT_DEFINE_CLASS(TGraphicControl, c) { (void)c; }

PLAT_DEFINE_CLASS(TLabel, c)
{
    using C = TLabel;
    c.property("Alignment", &C::Alignment, &C::SetAlignment).defaultValue(taLeftJustify);
    c.property("AutoSize", &C::AutoSize, &C::SetAutoSize).defaultValue(true);
    c.property("Layout", &C::Layout, &C::SetLayout).defaultValue(tlTop);
    c.property("Transparent", &C::Transparent, &C::SetTransparent).defaultValue(false);
    c.property("WordWrap", &C::WordWrap, &C::SetWordWrap).defaultValue(false);
}

PLAT_DEFINE_CLASS(TCustomEdit, c)
{
    using C = TCustomEdit;
    c.property("CharCase", &C::CharCase, &C::SetCharCase).defaultValue(ecNormal);
    c.property("MaxLength", &C::MaxLength, &C::SetMaxLength).defaultValue(0);
    c.property("ReadOnly", &C::ReadOnly, &C::SetReadOnly).defaultValue(false);
    c.property("Text", &C::Text, &C::SetText);
    c.property("OnChange", &C::OnChange);
}

PLAT_DEFINE_CLASS(TEdit, c)
{
    c.property("PasswordChar", &TEdit::PasswordChar, &TEdit::SetPasswordChar).defaultValue(QChar());
}

PLAT_DEFINE_CLASS(TMaskEdit, c)
{
    c.property("EditMask", &TMaskEdit::EditMask, &TMaskEdit::SetEditMask);
}

PLAT_DEFINE_CLASS(TMemo, c)
{
    using C = TMemo;
    c.property("Alignment", &C::Alignment, &C::SetAlignment).defaultValue(taLeftJustify);
    c.property("Lines", &C::Lines, &C::SetLines);
    c.property("ScrollBars", &C::ScrollBars, &C::SetScrollBars).defaultValue(ssNone);
    c.property("WantReturns", &C::WantReturns, &C::SetWantReturns).defaultValue(true);
    c.property("WantTabs", &C::WantTabs, &C::SetWantTabs).defaultValue(false);
    c.property("WordWrap", &C::WordWrap, &C::SetWordWrap).defaultValue(true);
}

PLAT_DEFINE_CLASS(TButtonControl, c)
{
    c.property("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap).defaultValue(false);
}

PLAT_DEFINE_CLASS(TButton, c)
{
    using C = TButton;
    c.property("Cancel", &C::Cancel, &C::SetCancel).defaultValue(false);
    c.property("Default", &C::Default, &C::SetDefault).defaultValue(false);
    c.property<ti::TModalResult>("ModalResult", &C::ModalResult, &C::SetModalResult).defaultValue(0);
}

PLAT_DEFINE_CLASS(TBitBtn, c)
{
    using C = TBitBtn;
    c.property("Glyph", &C::Glyph, &C::SetGlyph);
    c.property("Kind", &C::Kind, &C::SetKind).defaultValue(bkCustom);
    c.property("Layout", &C::Layout, &C::SetLayout).defaultValue(blGlyphLeft);
    c.property("Margin", &C::Margin, &C::SetMargin).defaultValue(-1);
    c.property("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs).defaultValue(1);
    c.property("Spacing", &C::Spacing, &C::SetSpacing).defaultValue(4);
}

PLAT_DEFINE_CLASS(TCheckBox, c)
{
    using C = TCheckBox;
    c.property("Alignment", &C::Alignment, &C::SetAlignment).defaultValue(taRightJustify);
    c.property("AllowGrayed", &C::AllowGrayed, &C::SetAllowGrayed).defaultValue(false);
    c.property("Checked", &C::Checked, &C::SetChecked).stored(false);
    c.property("State", &C::State, &C::SetState).defaultValue(cbUnchecked);
}

PLAT_DEFINE_CLASS(TRadioButton, c)
{
    using C = TRadioButton;
    c.property("Alignment", &C::Alignment, &C::SetAlignment).defaultValue(taRightJustify);
    c.property("Checked", &C::Checked, &C::SetChecked).defaultValue(false);
}

PLAT_DEFINE_CLASS(TCustomListBox, c)
{
    using C = TCustomListBox;
    c.property("ItemIndex", &C::ItemIndex, &C::SetItemIndex).stored(false);
    c.property("Items", &C::Items, &C::SetItems);
    c.property("MultiSelect", &C::MultiSelect, &C::SetMultiSelect).defaultValue(false);
    c.property("Sorted", &C::Sorted, &C::SetSorted).defaultValue(false);
}

PLAT_DEFINE_CLASS(TListBox, c) { (void)c; }

PLAT_DEFINE_CLASS(TCheckListBox, c)
{
    c.property("AllowGrayed", &TCheckListBox::AllowGrayed, &TCheckListBox::SetAllowGrayed).defaultValue(false);
    c.property("OnClickCheck", &TCheckListBox::OnClickCheck);
}

PLAT_DEFINE_CLASS(TCustomComboBox, c)
{
    using C = TCustomComboBox;
    c.property("DropDownCount", &C::DropDownCount, &C::SetDropDownCount).defaultValue(8);
    c.property("ItemIndex", &C::ItemIndex, &C::SetItemIndex).defaultValue(-1);
    c.property("Items", &C::Items, &C::SetItems);
    c.property("Sorted", &C::Sorted, &C::SetSorted).defaultValue(false);
    c.property("Style", &C::Style, &C::SetStyle).defaultValue(csDropDown);
    c.property("Text", &C::Text, &C::SetText);
    c.property("OnChange", &C::OnChange);
    c.property("OnCloseUp", &C::OnCloseUp);
    c.property("OnDropDown", &C::OnDropDown);
}

PLAT_DEFINE_CLASS(TComboBox, c) { (void)c; }
PLAT_DEFINE_CLASS(TGroupBox, c) { (void)c; }

PLAT_DEFINE_CLASS(TPanel, c)
{
    using C = TPanel;
    c.property("Alignment", &C::Alignment, &C::SetAlignment).defaultValue(taCenter);
    c.property("BevelInner", &C::BevelInner, &C::SetBevelInner).defaultValue(bvNone);
    c.property("BevelOuter", &C::BevelOuter, &C::SetBevelOuter).defaultValue(bvRaised);
    c.property("BevelWidth", &C::BevelWidth, &C::SetBevelWidth).defaultValue(1);
    c.property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).defaultValue(bsNone);
}

PLAT_DEFINE_CLASS(TBevel, c)
{
    c.property("Shape", &TBevel::Shape, &TBevel::SetShape).defaultValue(bsBox);
    c.property("Style", &TBevel::Style, &TBevel::SetStyle).defaultValue(bsLowered);
}

PLAT_DEFINE_CLASS(TImage, c)
{
    using C = TImage;
    c.property("AutoSize", &C::AutoSize, &C::SetAutoSize).defaultValue(false);
    c.property("Center", &C::Center, &C::SetCenter).defaultValue(false);
    c.property("Picture", &C::Picture, &C::SetPicture);
    c.property("Stretch", &C::Stretch, &C::SetStretch).defaultValue(false);
}

PLAT_DEFINE_CLASS(TSpeedButton, c)
{
    using C = TSpeedButton;
    c.property("AllowAllUp", &C::AllowAllUp, &C::SetAllowAllUp).defaultValue(false);
    c.property("GroupIndex", &C::GroupIndex, &C::SetGroupIndex).defaultValue(0);
    c.property("Down", &C::Down, &C::SetDown).defaultValue(false);
    c.property("Flat", &C::Flat, &C::SetFlat).defaultValue(false);
    c.property("Glyph", &C::Glyph, &C::SetGlyph);
    c.property("Layout", &C::Layout, &C::SetLayout).defaultValue(blGlyphLeft);
    c.property("Margin", &C::Margin, &C::SetMargin).defaultValue(-1);
    c.property("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs).defaultValue(1);
    c.property("Spacing", &C::Spacing, &C::SetSpacing).defaultValue(4);
}

PLAT_DEFINE_CLASS(TDateTimePicker, c)
{
    using C = TDateTimePicker;
    c.property<ti::TDate>("Date", &C::Date, &C::SetDate);
    c.property("DateFormat", &C::DateFormat, &C::SetDateFormat).defaultValue(dfShort);
    c.property("Kind", &C::Kind, &C::SetKind).defaultValue(dtkDate);
    c.property<ti::TTime>("Time", &C::Time, &C::SetTime);
    c.property("WeekNumbers", &C::WeekNumbers, &C::SetWeekNumbers).defaultValue(false);
    c.property("OnChange", &C::OnChange);
}

PLAT_DEFINE_CLASS(TScrollingWinControl, c) { (void)c; }

PLAT_DEFINE_CLASS(TScrollBox, c)
{
    c.property("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle).defaultValue(bsSingle);
}

PLAT_DEFINE_CLASS(TCustomForm, c)
{
    using C = TCustomForm;
    c.property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).defaultValue(fbsSizeable);
    c.property("ClientHeight", &C::ClientHeight, &C::SetClientHeight);
    c.property("ClientWidth", &C::ClientWidth, &C::SetClientWidth);
    c.property("FormStyle", &C::FormStyle, &C::SetFormStyle).defaultValue(fsNormal);
    c.property("KeyPreview", &C::KeyPreview, &C::SetKeyPreview).defaultValue(false);
    c.property("Position", &C::Position, &C::SetPosition).defaultValue(poDesigned);
    c.property("WindowState", &C::WindowState, &C::SetWindowState).defaultValue(wsNormal);
    c.property("OnActivate", &C::OnActivate);
    c.property("OnClose", &C::OnClose);
    c.property("OnCloseQuery", &C::OnCloseQuery);
    c.property("OnCreate", &C::OnCreate);
    c.property("OnDeactivate", &C::OnDeactivate);
    c.property("OnDestroy", &C::OnDestroy);
    c.property("OnHide", &C::OnHide);
    c.property("OnPaint", &C::OnPaint);
    c.property("OnShow", &C::OnShow);
}

PLAT_DEFINE_CLASS(TForm, c) { (void)c; }

PLAT_DEFINE_CLASS(TControlScrollBar, c) { (void)c; }

PLAT_DEFINE_CLASS(TDataModule, c)
{
    c.property("OnCreate", &TDataModule::OnCreate);
    c.property("OnDestroy", &TDataModule::OnDestroy);
}

void RegisterControlClasses()
{
    for (const TClass* cls :
         {TLabel::StaticClass(), TEdit::StaticClass(), TMaskEdit::StaticClass(), TMemo::StaticClass(),
          TButton::StaticClass(), TBitBtn::StaticClass(), TCheckBox::StaticClass(), TRadioButton::StaticClass(),
          TListBox::StaticClass(), TCheckListBox::StaticClass(), TComboBox::StaticClass(), TGroupBox::StaticClass(),
          TPanel::StaticClass(), TBevel::StaticClass(), TImage::StaticClass(), TSpeedButton::StaticClass(),
          TDateTimePicker::StaticClass(), TScrollBox::StaticClass(), TForm::StaticClass(),
          TDataModule::StaticClass(), TCustomControl::StaticClass(), TGraphicControl::StaticClass()})
        RegisterClass(cls);
}

} // namespace plat
