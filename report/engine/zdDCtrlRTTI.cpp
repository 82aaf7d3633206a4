// The dialog controls' script access: every class by name under
// TzdDialogControl (their published properties come with it), and the list
// members that are no published properties.

#include "Exceptions.h"
#include "StdCtrls.h"
#include "zdDCtrl.h"
#include "zs_items.h"
#include "zs_script.h"

namespace {

using plat::Variant;

QString S(const char* text)
{
    return QString::fromLatin1(text);
}

Variant listMember(plat::TObject* Instance, const plat::TClass*, const QString& Name, TzsMethodHelper* Caller)
{
    plat::TCustomListBox* list = nullptr;
    plat::TCheckListBox* checks = nullptr;
    if (auto* l = dynamic_cast<TzdListBoxControl*>(Instance))
        list = l->Ctl();
    else if (auto* c = dynamic_cast<TzdCheckListBoxControl*>(Instance))
        list = checks = c->Ctl();
    if (!list)
        return Variant(0);
    if (Name == QLatin1String("ITEMINDEX")) {
        return Variant(list->ItemIndex());
    }
    if (!checks)
        return Variant(0);
    // Indexes outside the list raise the list index error into the script.
    if (Name == QLatin1String("CHECKED.GET"))
        return Variant(checks->Checked(Caller->GetParam(0).toInteger()));
    if (Name == QLatin1String("CHECKED.SET")) {
        checks->SetChecked(Caller->GetParam(0).toInteger(), Caller->AssignedValue.toBoolean());
        return Variant(0);
    }
    if (Name == QLatin1String("STATE.GET"))
        return Variant(int(checks->State(Caller->GetParam(0).toInteger())));
    if (Name == QLatin1String("STATE.SET")) {
        const int state = Caller->AssignedValue.toInteger();
        if (state < plat::cbUnchecked || state > plat::cbGrayed)
            throw plat::ERangeError(QStringLiteral("Range check error"));
        checks->SetState(Caller->GetParam(0).toInteger(), static_cast<plat::TCheckBoxState>(state));
        return Variant(0);
    }
    return Variant(0);
}

class TzdDialogControlsRTTI : public TzsRTTIModule {
public:
    explicit TzdDialogControlsRTTI(TzsScript* AScript) : TzsRTTIModule(AScript)
    {
        if (!Script->FindClass(S("TzdDialogControl")))
            Script->AddClass(TzdDialogControl::StaticClass(), S("TzdReportComponent"));
        const plat::TClass* const classes[] = {
            TzdLabelControl::StaticClass(),      TzdEditControl::StaticClass(),
            TzdMemoControl::StaticClass(),       TzdButtonControl::StaticClass(),
            TzdCheckBoxControl::StaticClass(),   TzdRadioButtonControl::StaticClass(),
            TzdListBoxControl::StaticClass(),    TzdComboBoxControl::StaticClass(),
            TzdPanelControl::StaticClass(),      TzdGroupBoxControl::StaticClass(),
            TzdDateEditControl::StaticClass(),   TzdImageControl::StaticClass(),
            TzdBevelControl::StaticClass(),      TzdBitBtnControl::StaticClass(),
            TzdSpeedButtonControl::StaticClass(), TzdMaskEditControl::StaticClass(),
            TzdCheckListBoxControl::StaticClass()};
        for (const plat::TClass* cls : classes)
            Script->AddClass(cls, S("TzdDialogControl"));
        if (TzsClassVariable* list = Script->FindClass(S("TzdListBoxControl")))
            list->AddProperty(
                S("ItemIndex"), S("Integer"),
                [](plat::TObject* Instance, const plat::TClass* Cls, const QString& Name) {
                    return listMember(Instance, Cls, Name, nullptr);
                },
                [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                    if (auto* l = dynamic_cast<TzdListBoxControl*>(Instance))
                        l->Ctl()->SetItemIndex(Value.toInteger());
                });
        if (TzsClassVariable* checks = Script->FindClass(S("TzdCheckListBoxControl"))) {
            checks->AddIndexProperty(S("Checked"), S("Integer"), S("Boolean"), listMember);
            checks->AddIndexProperty(S("State"), S("Integer"), S("TCheckBoxState"), listMember);
            checks->AddProperty(
                S("ItemIndex"), S("Integer"),
                [](plat::TObject* Instance, const plat::TClass* Cls, const QString& Name) {
                    return listMember(Instance, Cls, Name, nullptr);
                },
                [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                    if (auto* l = dynamic_cast<TzdCheckListBoxControl*>(Instance))
                        l->Ctl()->SetItemIndex(Value.toInteger());
                });
        }
    }
};

} // namespace

void zdStartDialogControlsRTTI()
{
    zsAddRTTIModule(zsModuleClass<TzdDialogControlsRTTI>());
}

void zdEndDialogControlsRTTI()
{
    zsRemoveRTTIModule(zsModuleClass<TzdDialogControlsRTTI>());
}
