#include "zdBarcodeEditor.h"

#include "TypeInfo.h"
#include "zdBarcode2DView.h"
#include "zdBarcodeView.h"
#include "zdDsgnDialogs.h"
#include "zdRes.h"
#include "zdUtils.h"

#include "Exceptions.h"

#include <cmath>

namespace {
// The dialog lists the symbologies up to EAN128C.
constexpr int kListedTypes = 25;
} // namespace

bool TzdBarcodeEditor::Edit() { return zdDesignerDialogs().EditBarcode(Component()); }

bool TzdBarcodeEditor::HasEditor() { return true; }

void TzdBarcodeEditor::GetMenuItems()
{
    if (auto* barcode = dynamic_cast<TzdBarCodeView*>(Component())) {
        AddMenuItem(zd::menuText("bcCalcChecksum"), kCalcCheckSum, barcode->CalcCheckSum);
        AddMenuItem(zd::menuText("bcShowText"), kShowText, barcode->ShowText);
    }
    TzdViewEditor::GetMenuItems();
}

bool TzdBarcodeEditor::Execute(int Tag, bool Checked)
{
    bool changed = TzdViewEditor::Execute(Tag, Checked);
    if (Tag != kCalcCheckSum && Tag != kShowText)
        return changed;
    for (TzdComponent* obj : zd::modifiableSelection(*this, TzdBarCodeView::StaticClass())) {
        auto* barcode = static_cast<TzdBarCodeView*>(obj);
        if (Tag == kCalcCheckSum)
            barcode->CalcCheckSum = Checked;
        else
            barcode->ShowText = Checked;
        changed = true;
    }
    return changed;
}

TzdPropertyAttributes TzdBarcode2DPropertiesProperty::GetAttributes() { return {fpaSubProperties, fpaReadOnly}; }

void TzdBarcodeEditorValues::Load(const TzdBarCodeView& View)
{
    Types.clear();
    for (int i = 0; i < kListedTypes; ++i)
        Types << zdGetResources()->GetText(QString::fromLatin1(TBCdata[size_t(i)].Name));
    Expression = View.Expression;
    TypeIndex = View.BarType >= 0 && View.BarType < kListedTypes ? int(View.BarType) : -1;
    CalcCheckSum = View.CalcCheckSum;
    ShowText = View.ShowText;
    Zoom = zdFloatToDisplayStr(View.Zoom);
    Rotation = (View.Rotation == 90 || View.Rotation == 180 || View.Rotation == 270) ? View.Rotation : 0;
}

void TzdBarcodeEditorValues::Store(TzdBarCodeView& View) const
{
    // Every field is read before the object changes: a bad zoom leaves the
    // object as it was.
    const long double zoom = zdParseFloat(Zoom);
    if (!std::isfinite(double(zoom)))
        throw plat::EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(Zoom));
    View.Expression = Expression;
    if (TypeIndex >= 0 && TypeIndex < kListedTypes)
        View.BarType = static_cast<TzdBarcodeType>(TypeIndex);
    View.CalcCheckSum = CalcCheckSum;
    View.ShowText = ShowText;
    View.Rotation = (Rotation == 90 || Rotation == 180 || Rotation == 270) ? Rotation : 0;
    View.Zoom = zoom;
}

void zd::registerBarcodeEditors()
{
    zdGetComponentEditorRegistry()->Register(TzdBarCodeView::StaticClass(),
                                             zdNewComponentEditor<TzdBarcodeEditor>);
    zdGetPropertyEditorRegistry()->Register(TzdBarcode2DProperties::StaticClass()->ClassInfo(), nullptr, QString(),
                                            zdNewPropertyEditor<TzdBarcode2DPropertiesProperty>);
}
