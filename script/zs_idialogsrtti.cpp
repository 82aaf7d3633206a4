// The dialogs module: the common dialog classes, their option types and the
// functions MessageDlg, InputBox and InputQuery.

#include "zs_iclassesrtti.h"

#include "Dialogs.h"
#include "zs_iadapter.h"

using plat::Variant;
using L = QLatin1String;

namespace {

QString S(const char* text)
{
    return QString::fromLatin1(text);
}

struct SetType {
    const char* type;
    bool set;
    const char* names;
};

const SetType kTypes[] = {
    {"TOpenOptions", true,
     "ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, "
     "ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, "
     "ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, "
     "ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing"},
    {"TFileEditStyle", false, "fsEdit, fsComboBox"},
    {"TColorDialogOptions", true, "cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor"},
    {"TFontDialogOptions", true,
     "fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, fdNoOEMFonts, "
     "fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp, fdWysiwyg, fdLimitSize, "
     "fdScalableOnly, fdApplyButton"},
    {"TFontDialogDevice", false, "fdScreen, fdPrinter, fdBoth"},
    {"TPrintRange", false, "prAllPages, prSelection, prPageNums"},
    {"TPrintDialogOptions", true,
     "poPrintToFile, poPageNums, poSelection, poWarning, poHelp, poDisablePrintToFile"},
    {"TMsgDlgType", false, "mtWarning, mtError, mtInformation, mtConfirmation, mtCustom"},
    {"TMsgDlgButtons", true,
     "mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp"},
};

constexpr int kMsgDlgTypeCount = plat::mtCustom + 1;
constexpr quint32 kMsgDlgButtonsMask = (1u << (plat::mbHelp + 1)) - 1;

Variant functions(const QString& n, TzsMethodHelper* c)
{
    if (n == L("MESSAGEDLG")) {
        const int type = zs::param(c, 1).toInteger();
        if (type < 0 || type >= kMsgDlgTypeCount)
            throw plat::ERangeError(QStringLiteral("Value must be between 0 and %1").arg(kMsgDlgTypeCount - 1));
        const auto buttons = plat::TMsgDlgButtons::fromMask(zs::setBits(zs::param(c, 2)) & kMsgDlgButtonsMask);
        return Variant(plat::MessageDlg(zs::paramText(c, 0), plat::TMsgDlgType(type), buttons,
                                        zs::param(c, 3).toInteger()));
    }
    if (n == L("INPUTBOX"))
        return Variant(plat::InputBox(zs::paramText(c, 0), zs::paramText(c, 1), zs::paramText(c, 2)));
    if (n == L("INPUTQUERY")) {
        QString value = zs::paramText(c, 2);
        const bool accepted = plat::InputQuery(zs::paramText(c, 0), zs::paramText(c, 1), value);
        c->SetParam(2, Variant(value));
        return Variant(accepted);
    }
    return Variant(0);
}

class TzsDialogsRTTI : public TzsRTTIModule {
public:
    explicit TzsDialogsRTTI(TzsScript* AScript) : TzsRTTIModule(AScript)
    {
        for (const SetType& t : kTypes) {
            if (t.set)
                Script->AddEnumSet(S(t.type), S(t.names));
            else
                Script->AddEnum(S(t.type), S(t.names));
        }
        if (TzsClassVariable* c = Script->AddClass(plat::TCommonDialog::StaticClass(), S("TComponent")))
            c->AddMethod(S("function Execute: Boolean"),
                         [](plat::TObject* i, const plat::TClass*, const QString&, TzsMethodHelper*) {
                             return Variant(zs::instanceAs<plat::TCommonDialog>(i)->Execute());
                         });
        for (const plat::TClass* cls :
             {plat::TOpenDialog::StaticClass(), plat::TSaveDialog::StaticClass(), plat::TColorDialog::StaticClass(),
              plat::TFontDialog::StaticClass(), plat::TPrintDialog::StaticClass(),
              plat::TPrinterSetupDialog::StaticClass()})
            Script->AddClass(cls, S("TCommonDialog"));
        const auto call = [](plat::TObject*, const plat::TClass*, const QString& n, TzsMethodHelper* c) {
            return functions(n, c);
        };
        Script->AddMethod(
            S("function MessageDlg(Msg: string; DlgType: TMsgDlgType; Buttons: TMsgDlgButtons; HelpCtx: Longint): Integer"),
            call, S("ctOther"));
        Script->AddMethod(S("function InputBox(ACaption, APrompt, ADefault: string): string"), call, S("ctOther"));
        Script->AddMethod(S("function InputQuery(ACaption, APrompt: string; var Value: string): Boolean"), call,
                          S("ctOther"));
    }
};

} // namespace

void zsStartDialogsRTTI()
{
    zsAddRTTIModule(zsModuleClass<TzsDialogsRTTI>());
}

void zsEndDialogsRTTI()
{
    zsRemoveRTTIModule(zsModuleClass<TzsDialogsRTTI>());
}
