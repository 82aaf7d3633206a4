// The script adapter of the platform's controls and forms: modal results,
// cursors, border styles, key codes, the types and enumerations of the
// controls, the control and form classes with the events scripts may handle,
// and the application object.

#include "zs_iformsrtti.h"

#include "Application.h"
#include "Canvas.h"
#include "Handles.h"
#include "StdCtrls.h"
#include "zs_ievents.h"
#include "zs_items.h"
#include "zs_script.h"

#include <QDialog>

namespace {

using plat::Variant;

QString S(const char* text)
{
    return QString::fromLatin1(text);
}

template <class T>
T* as(plat::TObject* Instance)
{
    return dynamic_cast<T*>(Instance);
}

class TFunctions : public TzsRTTIModule {
public:
    explicit TFunctions(TzsScript* AScript) : TzsRTTIModule(AScript)
    {
        addConstants();
        addTypes();
        addClasses();
        Script->AddObject(S("Application"), &plat::Application());
    }

private:
    void ints(std::initializer_list<std::pair<const char*, int>> list)
    {
        for (const auto& [name, value] : list)
            Script->AddConst(S(name), S("Integer"), Variant(value));
    }

    void addConstants()
    {
        ints({{"mrNone", 0}, {"mrOk", 1}, {"mrCancel", 2}, {"mrAbort", 3}, {"mrRetry", 4}, {"mrIgnore", 5},
              {"mrYes", 6}, {"mrNo", 7}, {"mrAll", 8}, {"mrNoToAll", 9}, {"mrYesToAll", 10}});
        ints({{"crDefault", 0},     {"crNone", -1},      {"crArrow", -2},     {"crCross", -3},
              {"crIBeam", -4},      {"crSize", -22},     {"crSizeNESW", -6},  {"crSizeNS", -7},
              {"crSizeNWSE", -8},   {"crSizeWE", -9},    {"crUpArrow", -10},  {"crHourGlass", -11},
              {"crDrag", -12},      {"crNoDrop", -13},   {"crHSplit", -14},   {"crVSplit", -15},
              {"crMultiDrag", -16}, {"crSQLWait", -17},  {"crNo", -18},       {"crAppStart", -19},
              {"crHelp", -20},      {"crHandPoint", -21}, {"crSizeAll", -22}});
        ints({{"bsNone", 0}, {"bsSingle", 1}, {"bsSizeable", 2}, {"bsDialog", 3}, {"bsToolWindow", 4},
              {"bsSizeToolWin", 5}});
        for (const plat::TKeyIdent& k : plat::VirtualKeyIdents())
            Script->AddConst(k.name, S("Integer"), Variant(k.value));
    }

    void addTypes()
    {
        for (const char* name : {"TFormBorderStyle", "TBorderStyle", "TAlignment", "TLeftRight"})
            Script->AddType(S(name), fvtInt);
        ints({{"taLeftJustify", 0}, {"taRightJustify", 1}, {"taCenter", 2}});
        Script->AddEnumSet(S("TShiftState"), S("ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble"));
        Script->AddEnum(S("TAlign"), S("alNone, alTop, alBottom, alLeft, alRight, alClient"));
        Script->AddEnum(S("TMouseButton"), S("mbLeft, mbRight, mbMiddle"));
        Script->AddEnumSet(S("TAnchors"), S("akLeft, akTop, akRight, akBottom"));
        Script->AddEnum(S("TBevelCut"), S("bvNone, bvLowered, bvRaised, bvSpace"));
        Script->AddEnum(S("TTextLayout"), S("tlTop, tlCenter, tlBottom"));
        Script->AddEnum(S("TEditCharCase"), S("ecNormal, ecUpperCase, ecLowerCase"));
        Script->AddEnum(S("TScrollStyle"), S("ssNone, ssHorizontal, ssVertical, ssBoth"));
        Script->AddEnum(S("TComboBoxStyle"),
                        S("csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable"));
        Script->AddEnum(S("TCheckBoxState"), S("cbUnchecked, cbChecked, cbGrayed"));
        Script->AddEnum(S("TListBoxStyle"), S("lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable"));
        Script->AddEnum(S("TWindowState"), S("wsNormal, wsMinimized, wsMaximized"));
        Script->AddEnum(S("TFormStyle"), S("fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop"));
        Script->AddEnumSet(S("TBorderIcons"), S("biSystemMenu, biMinimize, biMaximize, biHelp"));
        Script->AddEnum(S("TPosition"),
                        S("poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, "
                          "poDesktopCenter"));
        Script->AddEnum(S("TCloseAction"), S("caNone, caHide, caFree, caMinimize"));
    }

    TzsClassVariable* add(const plat::TClass* cls, const char* ancestor)
    {
        TzsClassVariable* c = Script->AddClass(cls, S(ancestor));
        return c ? c : Script->FindClass(cls->ClassName());
    }

    static Variant control(plat::TObject* Instance, const plat::TClass*, const QString& Name, TzsMethodHelper* Caller)
    {
        auto* c = as<plat::TControl>(Instance);
        if (!c)
            return Variant(0);
        if (Name == QLatin1String("HIDE"))
            c->Hide();
        else if (Name == QLatin1String("SHOW"))
            c->Show();
        else if (Name == QLatin1String("SETBOUNDS"))
            c->SetBounds(Caller->GetParam(0).toInteger(), Caller->GetParam(1).toInteger(), Caller->GetParam(2).toInteger(),
                         Caller->GetParam(3).toInteger());
        else if (auto* w = as<plat::TWinControl>(Instance); w && Name == QLatin1String("SETFOCUS"))
            w->SetFocus();
        else if (Name == QLatin1String("INVALIDATE"))
            c->Invalidate();
        return Variant(0);
    }

    static Variant form(plat::TObject* Instance, const plat::TClass*, const QString& Name, TzsMethodHelper*)
    {
        auto* f = as<plat::TCustomForm>(Instance);
        if (!f)
            return Variant(0);
        if (Name == QLatin1String("CLOSE"))
            f->Close();
        else if (Name == QLatin1String("HIDE"))
            f->Hide();
        else if (Name == QLatin1String("SHOW"))
            f->Dialog()->show(), f->Show();
        else if (Name == QLatin1String("SHOWMODAL"))
            return Variant(f->ShowModal());
        return Variant(0);
    }

    static Variant application(plat::TObject* Instance, const plat::TClass*, const QString& Name, TzsMethodHelper*)
    {
        auto* a = as<plat::TApplication>(Instance);
        if (!a)
            return Variant(0);
        if (Name == QLatin1String("MINIMIZE"))
            a->Minimize();
        else if (Name == QLatin1String("PROCESSMESSAGES"))
            a->ProcessMessages();
        else if (Name == QLatin1String("RESTORE"))
            a->Restore();
        return Variant(0);
    }

    void notify(TzsClassVariable* c, std::initializer_list<const char*> names)
    {
        for (const char* n : names)
            c->AddEvent(S(n), zsEventClass<TzsNotifyEvent>());
    }

    void addClasses()
    {
        // The base classes, when no module before gave them.
        Script->AddClass(plat::TObject::StaticClass(), QString());
        Script->AddClass(plat::TPersistent::StaticClass(), S("TObject"));
        Script->AddClass(plat::TComponent::StaticClass(), S("TPersistent"));
        TzsClassVariable* c = add(plat::TControl::StaticClass(), "TComponent");
        c->AddProperty(
            S("Parent"), S("TWinControl"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) -> Variant {
                auto* ctl = as<plat::TControl>(Instance);
                return ctl ? plat::ObjectToVariant(ctl->Parent()) : Variant(0);
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                if (auto* ctl = as<plat::TControl>(Instance))
                    ctl->SetParent(dynamic_cast<plat::TWinControl*>(zs::objectOf(Value)));
            });
        c->AddMethod(S("procedure Hide"), control);
        c->AddMethod(S("procedure Show"), control);
        c->AddMethod(S("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Integer)"), control);
        c->AddEvent(S("OnCanResize"), zsEventClass<TzsCanResizeEvent>());
        notify(c, {"OnClick", "OnDblClick"});
        c->AddEvent(S("OnMouseDown"), zsEventClass<TzsMouseEvent>());
        c->AddEvent(S("OnMouseMove"), zsEventClass<TzsMouseMoveEvent>());
        c->AddEvent(S("OnMouseUp"), zsEventClass<TzsMouseEvent>());
        notify(c, {"OnResize"});

        c = add(plat::TWinControl::StaticClass(), "TControl");
        c->AddMethod(S("procedure SetFocus"), control);
        c->AddMethod(S("procedure Invalidate"), control);
        notify(c, {"OnEnter", "OnExit"});
        c->AddEvent(S("OnKeyDown"), zsEventClass<TzsKeyEvent>());
        c->AddEvent(S("OnKeyUp"), zsEventClass<TzsKeyEvent>());
        c->AddEvent(S("OnKeyPress"), zsEventClass<TzsKeyPressEvent>());

        add(plat::TCustomControl::StaticClass(), "TWinControl");
        add(plat::TGraphicControl::StaticClass(), "TControl");
        add(plat::TGroupBox::StaticClass(), "TWinControl");
        add(plat::TLabel::StaticClass(), "TControl");
        add(plat::TEdit::StaticClass(), "TWinControl");
        add(plat::TMemo::StaticClass(), "TWinControl");

        c = add(plat::TCustomComboBox::StaticClass(), "TWinControl");
        c->AddProperty(
            S("DroppedDown"), S("Boolean"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) -> Variant {
                auto* b = as<plat::TCustomComboBox>(Instance);
                return Variant(b && b->DroppedDown());
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                if (auto* b = as<plat::TCustomComboBox>(Instance))
                    b->SetDroppedDown(Value.toBoolean());
            });
        c->AddProperty(
            S("ItemIndex"), S("Integer"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) -> Variant {
                auto* b = as<plat::TCustomComboBox>(Instance);
                return Variant(b ? b->ItemIndex() : -1);
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                if (auto* b = as<plat::TCustomComboBox>(Instance))
                    b->SetItemIndex(Value.toInteger());
            });
        notify(c, {"OnChange", "OnDropDown", "OnCloseUp"});
        add(plat::TComboBox::StaticClass(), "TCustomComboBox");
        add(plat::TButton::StaticClass(), "TWinControl");
        add(plat::TCheckBox::StaticClass(), "TWinControl");
        add(plat::TRadioButton::StaticClass(), "TWinControl");

        c = add(plat::TCustomListBox::StaticClass(), "TWinControl");
        c->AddProperty(
            S("ItemIndex"), S("Integer"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) -> Variant {
                auto* l = as<plat::TCustomListBox>(Instance);
                return Variant(l ? l->ItemIndex() : -1);
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                if (auto* l = as<plat::TCustomListBox>(Instance))
                    l->SetItemIndex(Value.toInteger());
            });
        c->AddProperty(S("SelCount"), S("Integer"),
                       [](plat::TObject* Instance, const plat::TClass*, const QString&) -> Variant {
                           auto* l = as<plat::TCustomListBox>(Instance);
                           return Variant(l ? l->SelCount() : 0);
                       });
        c->AddIndexProperty(S("Selected"), S("Integer"), S("Boolean"),
                            [](plat::TObject* Instance, const plat::TClass*, const QString& Name,
                               TzsMethodHelper* Caller) -> Variant {
                                auto* l = as<plat::TCustomListBox>(Instance);
                                if (!l)
                                    return Variant(0);
                                // An index outside the list raises the list index error.
                                if (Name == QLatin1String("SELECTED.GET"))
                                    return Variant(l->Selected(Caller->GetParam(0).toInteger()));
                                l->SetSelected(Caller->GetParam(0).toInteger(), Caller->AssignedValue.toBoolean());
                                return Variant(0);
                            });
        add(plat::TListBox::StaticClass(), "TCustomListBox");
        add(plat::TControlScrollBar::StaticClass(), "TPersistent");
        add(plat::TScrollingWinControl::StaticClass(), "TWinControl");
        add(plat::TScrollBox::StaticClass(), "TScrollingWinControl");

        c = add(plat::TCustomForm::StaticClass(), "TScrollingWinControl");
        c->AddMethod(S("procedure Close"), form);
        c->AddMethod(S("procedure Hide"), form);
        c->AddMethod(S("procedure Show"), form);
        c->AddMethod(S("function ShowModal: Integer"), form);
        notify(c, {"OnActivate"});
        c->AddEvent(S("OnClose"), zsEventClass<TzsCloseEvent>());
        c->AddEvent(S("OnCloseQuery"), zsEventClass<TzsCloseQueryEvent>());
        notify(c, {"OnCreate", "OnDestroy", "OnDeactivate", "OnHide", "OnPaint", "OnShow"});
        c->AddProperty(S("Canvas"), S("TCanvas"),
                       [](plat::TObject* Instance, const plat::TClass*, const QString&) -> Variant {
                           auto* f = as<plat::TCustomForm>(Instance);
                           return f ? plat::ObjectToVariant(f->Canvas()) : Variant(0);
                       });
        c->AddProperty(
            S("ModalResult"), S("Integer"),
            [](plat::TObject* Instance, const plat::TClass*, const QString&) -> Variant {
                auto* f = as<plat::TCustomForm>(Instance);
                return Variant(f ? f->ModalResult() : 0);
            },
            [](plat::TObject* Instance, const plat::TClass*, const QString&, const Variant& Value) {
                if (auto* f = as<plat::TCustomForm>(Instance))
                    f->SetModalResult(Value.toInteger());
            });
        add(plat::TForm::StaticClass(), "TCustomForm");
        add(plat::TDataModule::StaticClass(), "TComponent");

        c = add(plat::TApplication::StaticClass(), "TComponent");
        c->AddMethod(S("procedure Minimize"), application);
        c->AddMethod(S("procedure ProcessMessages"), application);
        c->AddMethod(S("procedure Restore"), application);
        c->AddProperty(S("ExeName"), S("String"),
                       [](plat::TObject* Instance, const plat::TClass*, const QString&) -> Variant {
                           auto* a = as<plat::TApplication>(Instance);
                           return Variant(a ? a->ExeName() : QString());
                       });
    }
};

} // namespace

void zsStartFormsRTTI()
{
    plat::RegisterControlClasses();
    zsAddRTTIModule(zsModuleClass<TFunctions>());
}

void zsEndFormsRTTI()
{
    zsRemoveRTTIModule(zsModuleClass<TFunctions>());
}
