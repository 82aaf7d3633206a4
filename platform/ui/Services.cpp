#include "Services.h"

#include "Application.h"
#include "Exceptions.h"

namespace plat {

PLAT_DEFINE_ENUM(TMsgDlgType, "mtWarning", "mtError", "mtInformation", "mtConfirmation", "mtCustom")
PLAT_DEFINE_ENUM(TMsgDlgBtn, "mbYes", "mbNo", "mbOK", "mbCancel", "mbAbort", "mbRetry", "mbIgnore", "mbAll",
                 "mbNoToAll", "mbYesToAll", "mbHelp")
PLAT_DEFINE_SET(TMsgDlgButtons, TMsgDlgBtn)
PLAT_DEFINE_ENUM(TOpenOption, "ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofShowHelp",
                 "ofNoValidate", "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist", "ofFileMustExist",
                 "ofCreatePrompt", "ofShareAware", "ofNoReadOnlyReturn", "ofNoTestFileCreate", "ofNoNetworkButton",
                 "ofNoLongNames", "ofOldStyleDialog", "ofNoDereferenceLinks", "ofEnableIncludeNotify",
                 "ofEnableSizing")
PLAT_DEFINE_SET(TOpenOptions, TOpenOption)
PLAT_DEFINE_ENUM(TColorDialogOption, "cdFullOpen", "cdPreventFullOpen", "cdShowHelp", "cdSolidColor", "cdAnyColor")
PLAT_DEFINE_SET(TColorDialogOptions, TColorDialogOption)
PLAT_DEFINE_ENUM(TFontDialogOption, "fdAnsiOnly", "fdTrueTypeOnly", "fdEffects", "fdFixedPitchOnly",
                 "fdForceFontExist", "fdNoFaceSel", "fdNoOEMFonts", "fdNoSimulations", "fdNoSizeSel",
                 "fdNoStyleSel", "fdNoVectorFonts", "fdShowHelp", "fdWysiwyg", "fdLimitSize", "fdScalableOnly",
                 "fdApplyButton")
PLAT_DEFINE_SET(TFontDialogOptions, TFontDialogOption)
PLAT_DEFINE_ENUM(TFontDialogDevice, "fdScreen", "fdPrinter", "fdBoth")
PLAT_DEFINE_ENUM(TPrintRange, "prAllPages", "prSelection", "prPageNums")
PLAT_DEFINE_ENUM(TPrintDialogOption, "poPrintToFile", "poPageNums", "poSelection", "poWarning", "poHelp",
                 "poDisablePrintToFile")
PLAT_DEFINE_SET(TPrintDialogOptions, TPrintDialogOption)

UiServices::~UiServices() = default;

TModalResult ModalResultOf(TMsgDlgBtn button)
{
    switch (button) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return mrNoToAll;
    case mbYesToAll: return mrYesToAll;
    case mbHelp: return mrNone;
    }
    return mrNone;
}

std::vector<FileFilter> ParseFileFilter(const QString& filter)
{
    std::vector<FileFilter> out;
    if (filter.isEmpty())
        return out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        FileFilter f;
        f.description = parts[i];
        if (i + 1 < parts.size()) {
            for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
                f.patterns << p.trimmed();
        }
        if (f.patterns.isEmpty())
            f.patterns << QStringLiteral("*");
        out.push_back(f);
    }
    return out;
}

QString ApplyDefaultExt(const QString& fileName, const QString& defaultExt)
{
    if (fileName.isEmpty() || defaultExt.isEmpty())
        return fileName;
    const qsizetype slash = std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot > slash)
        return fileName;
    QString ext = defaultExt;
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    return fileName + QLatin1Char('.') + ext;
}

namespace {
UiServices* g_services = nullptr;
}

UiServices& Services()
{
    if (!g_services)
        throw EInvalidOperation(QStringLiteral("No user interface services installed"));
    return *g_services;
}

bool HasServices() { return g_services != nullptr; }

UiServices* SetServices(UiServices* services)
{
    UiServices* previous = g_services;
    g_services = services;
    return previous;
}

void ShowMessage(const QString& text)
{
    Services().MessageBox(text, Application().Title(), MB_OK);
}

TModalResult MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons, int)
{
    return Services().MessageDlg(text, type, buttons);
}

QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue)
{
    QString value = defaultValue;
    return Services().InputQuery(caption, prompt, value) ? value : defaultValue;
}

bool InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    return Services().InputQuery(caption, prompt, value);
}

} // namespace plat
