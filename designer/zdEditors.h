#pragma once
// The designer's component and property editors of the report objects, and
// their registration with the palette, the editor registries and the list of
// properties the inspector hides. Dialogs are asked for through the
// designer-dialogs service (zdDsgnDialogs.h).

#include "zdClass_services.h"
#include "zdDsgnIntf_view.h"

// ---------------------------------------------------------------- component editors

class TzdCustomMemoEditor : public TzdViewEditor {
public:
    using TzdViewEditor::TzdViewEditor;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

class TzdMemoEditor : public TzdCustomMemoEditor {
public:
    using TzdCustomMemoEditor::TzdCustomMemoEditor;
    bool Edit() override;
    bool HasEditor() override;
};

class TzdSysMemoEditor : public TzdCustomMemoEditor {
public:
    using TzdCustomMemoEditor::TzdCustomMemoEditor;
    bool Edit() override;
    bool HasEditor() override;
};

class TzdLineEditor : public TzdViewEditor {
public:
    using TzdViewEditor::TzdViewEditor;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

class TzdPictureEditor : public TzdViewEditor {
public:
    using TzdViewEditor::TzdViewEditor;
    bool Edit() override;
    bool HasEditor() override;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

class TzdPageEditor : public TzdComponentEditor {
public:
    using TzdComponentEditor::TzdComponentEditor;
    bool Edit() override;
    bool HasEditor() override;
};

class TzdBandEditor : public TzdComponentEditor {
public:
    using TzdComponentEditor::TzdComponentEditor;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;

protected:
    // A band menu is offered for a selection of at most one object.
    bool menuOffered() const;
    bool vertical() const;
    // Sets the first selected band's property of the tag; false when the
    // band may not be modified.
    bool setOwnTag(int Tag, bool Checked, const std::pair<int, const char*>* Tags, int Count);
};

class TzdDataBandEditor : public TzdBandEditor {
public:
    using TzdBandEditor::TzdBandEditor;
    bool Edit() override;
    bool HasEditor() override;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

class TzdHeaderEditor : public TzdBandEditor {
public:
    using TzdBandEditor::TzdBandEditor;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

class TzdPageHeaderEditor : public TzdBandEditor {
public:
    using TzdBandEditor::TzdBandEditor;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

class TzdPageFooterEditor : public TzdComponentEditor {
public:
    using TzdComponentEditor::TzdComponentEditor;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

class TzdGroupHeaderEditor : public TzdBandEditor {
public:
    using TzdBandEditor::TzdBandEditor;
    bool Edit() override;
    bool HasEditor() override;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

class TzdColumnHeaderEditor : public TzdBandEditor {
public:
    using TzdBandEditor::TzdBandEditor;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

class TzdColumnFooterEditor : public TzdBandEditor {
public:
    using TzdBandEditor::TzdBandEditor;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

class TzdOverlayEditor : public TzdBandEditor {
public:
    using TzdBandEditor::TzdBandEditor;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

class TzdDialogControlEditor : public TzdComponentEditor {
public:
    using TzdComponentEditor::TzdComponentEditor;
    bool Edit() override;
    bool HasEditor() override;
};

class TzdSubreportEditor : public TzdComponentEditor {
public:
    using TzdComponentEditor::TzdComponentEditor;
    bool Edit() override;
    bool HasEditor() override;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

// ---------------------------------------------------------------- property editors

class TzdMemoProperty : public TzdClassProperty {
public:
    using TzdClassProperty::TzdClassProperty;
    TzdPropertyAttributes GetAttributes() override;
    bool Edit() override;
};

class TzdFrameProperty : public TzdClassProperty {
public:
    using TzdClassProperty::TzdClassProperty;
    TzdPropertyAttributes GetAttributes() override;
    bool Edit() override;
};

class TzdFillProperty : public TzdClassProperty {
public:
    using TzdClassProperty::TzdClassProperty;
    TzdPropertyAttributes GetAttributes() override;
    bool Edit() override;
};

class TzdPictureProperty : public TzdClassProperty {
public:
    using TzdClassProperty::TzdClassProperty;
    TzdPropertyAttributes GetAttributes() override;
    bool Edit() override;
    QString GetValue() override;
};

class TzdBitmapProperty : public TzdClassProperty {
public:
    using TzdClassProperty::TzdClassProperty;
    TzdPropertyAttributes GetAttributes() override;
    bool Edit() override;
    QString GetValue() override;
};

class TzdStringsProperty : public TzdClassProperty {
public:
    using TzdClassProperty::TzdClassProperty;
    TzdPropertyAttributes GetAttributes() override;
    bool Edit() override;
};

class TzdDataSetProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void GetValues() override;
    void SetValue(const QString& Value) override;
};

class TzdDataFieldProperty : public TzdPropertyEditor {
public:
    using TzdPropertyEditor::TzdPropertyEditor;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void GetValues() override;
    void SetValue(const QString& Value) override;
};

class TzdEventProperty : public TzdStringProperty {
public:
    using TzdStringProperty::TzdStringProperty;
    TzdPropertyAttributes GetAttributes() override;
    bool Edit() override;
    void GetValues() override;
};

class TzdDisplayFormatProperty : public TzdStringProperty {
public:
    using TzdStringProperty::TzdStringProperty;
    TzdPropertyAttributes GetAttributes() override;
    bool Edit() override;
    QString GetValue() override;
};

class TzdPrinterProperty : public TzdStringProperty {
public:
    using TzdStringProperty::TzdStringProperty;
    TzdPropertyAttributes GetAttributes() override;
    void GetValues() override;
};

class TzdStyleProperty : public TzdStringProperty {
public:
    using TzdStringProperty::TzdStringProperty;
    TzdPropertyAttributes GetAttributes() override;
    void GetValues() override;
};

class TzdLocSizeXProperty : public TzdFloatProperty {
public:
    using TzdFloatProperty::TzdFloatProperty;
    QString GetValue() override;
    void SetValue(const QString& Value) override;

protected:
    // Shown value from the stored one, and back.
    virtual long double toShown(long double Stored, TzdRulerUnits Units) const;
    virtual long double toStored(long double Shown, TzdRulerUnits Units) const;
    long double CharSize = 9.6L;
};

class TzdLocSizeYProperty : public TzdLocSizeXProperty {
public:
    explicit TzdLocSizeYProperty(TzdCustomDesigner* Designer) : TzdLocSizeXProperty(Designer) { CharSize = 17; }
};

class TzdPaperXProperty : public TzdLocSizeXProperty {
public:
    using TzdLocSizeXProperty::TzdLocSizeXProperty;

protected:
    long double toShown(long double Stored, TzdRulerUnits Units) const override;
    long double toStored(long double Shown, TzdRulerUnits Units) const override;
};

class TzdPaperYProperty : public TzdPaperXProperty {
public:
    explicit TzdPaperYProperty(TzdCustomDesigner* Designer) : TzdPaperXProperty(Designer) { CharSize = 17; }
};

class TzdBrushProperty : public TzdEnumProperty {
public:
    using TzdEnumProperty::TzdEnumProperty;
    TzdPropertyAttributes GetAttributes() override;
    void DrawListItem(plat::TCanvas& Canvas, int Index, const QRect& Rect, TzdOwnerDrawState State) override;
    void DrawValue(plat::TCanvas& Canvas, const QRect& Rect) override;
};

class TzdFrameStyleProperty : public TzdEnumProperty {
public:
    using TzdEnumProperty::TzdEnumProperty;
    TzdPropertyAttributes GetAttributes() override;
    int GetExtraListWidth() override;
    void DrawListItem(plat::TCanvas& Canvas, int Index, const QRect& Rect, TzdOwnerDrawState State) override;
    void DrawValue(plat::TCanvas& Canvas, const QRect& Rect) override;
};

class TzdBooleanProperty : public TzdEnumProperty {
public:
    using TzdEnumProperty::TzdEnumProperty;
    TzdPropertyAttributes GetAttributes() override;
    void DrawListItem(plat::TCanvas& Canvas, int Index, const QRect& Rect, TzdOwnerDrawState State) override;
    void DrawValue(plat::TCanvas& Canvas, const QRect& Rect) override;
};

class TzdPaperProperty : public TzdIntegerProperty {
public:
    using TzdIntegerProperty::TzdIntegerProperty;
    TzdPropertyAttributes GetAttributes() override;
    QString GetValue() override;
    void GetValues() override;
    void SetValue(const QString& Value) override;
};

namespace zd {
// The text of a length shown in the designer: whole numbers plain, others
// with two decimals and the locale's separator.
QString designerLengthText(long double Value);
// The designer's editors' start-up: palette, editors, hidden properties,
// code templates (once).
void startDesignerEditorsUnit();
} // namespace zd
