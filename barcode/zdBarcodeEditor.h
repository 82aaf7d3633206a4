#pragma once
// The linear barcode's component editor (a double-click opens the barcode
// editor dialog; the context menu switches the checksum and the text), the
// values the barcode editor dialog shows and stores, and the inspector's
// editor of the 2D barcode's BarProperties.

#include "zdDsgnIntf_view.h"

class TzdBarCodeView;

class TzdBarcodeEditor : public TzdViewEditor {
public:
    using TzdViewEditor::TzdViewEditor;
    enum : int { kCalcCheckSum = 1, kShowText = 2 };
    bool Edit() override;
    bool HasEditor() override;
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

// BarProperties opens into the symbol's settings and cannot be typed over.
class TzdBarcode2DPropertiesProperty : public TzdClassProperty {
public:
    using TzdClassProperty::TzdClassProperty;
    TzdPropertyAttributes GetAttributes() override;
};

// What the barcode editor dialog edits, apart from its controls.
struct TzdBarcodeEditorValues {
    QString Expression;
    // The entries of the type list: the first 25 symbologies (GS1-128 has
    // none), through the library's texts.
    QStringList Types;
    int TypeIndex = -1; // -1: the object's type has no entry
    bool CalcCheckSum = false;
    bool ShowText = true;
    QString Zoom;
    int Rotation = 0;

    // FormShow: the object's values.
    void Load(const TzdBarCodeView& View);
    // FormHide after OK. A type without an entry keeps the object's type; a
    // zoom that is not a number raises the conversion error before anything
    // is stored, so the object stays as it was.
    void Store(TzdBarCodeView& View) const;
};

namespace zd {
// Registers the component editor and the BarProperties editor (the barcode
// unit's start-up).
void registerBarcodeEditors();
} // namespace zd
