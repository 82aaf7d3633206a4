#pragma once
// The user-interface services that model code calls: message boxes, the
// common dialogs, input query, clipboard, shell open, beep and the busy
// cursor. Everything goes through one replaceable object, so that tests
// install a scripted double (ScriptedServices.h) and nothing ever waits on
// a real modal window; the program installs the Qt implementation
// (QtServices.h) at start-up.
//
// The codes are the platform's: message-box flags and IDOK..IDNO results,
// modal results mrNone..mrYesToAll, the "description|pattern|..." file
// filters with a 1-based filter index.

#include "Graphics.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace plat {

// ---------------------------------------------------------------- message boxes

// MessageBox flags: buttons (low nibble), icon, default button.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr unsigned MB_DEFBUTTON1 = 0x000;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;
inline constexpr unsigned MB_APPLMODAL = 0x0;
inline constexpr unsigned MB_TASKMODAL = 0x2000;
// Results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Modal results (a form's ModalResult, MessageDlg's answer).
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
PLAT_DECLARE_ENUM(TMsgDlgType)
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
PLAT_DECLARE_ENUM(TMsgDlgBtn)
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
PLAT_DECLARE_SET(TMsgDlgButtons)
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// The modal result a button gives.
TModalResult ModalResultOf(TMsgDlgBtn button);

// ---------------------------------------------------------------- common dialogs

enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
    ofEnableIncludeNotify, ofEnableSizing
};
PLAT_DECLARE_ENUM(TOpenOption)
using TOpenOptions = TSet<TOpenOption>;
PLAT_DECLARE_SET(TOpenOptions)

struct FileFilter {
    QString description;
    QStringList patterns; // "*.txt", "*.csv"
};
// "Text (*.txt)|*.txt|All|*.*;*" -> pairs; an odd last item is a description
// without patterns (matching everything).
std::vector<FileFilter> ParseFileFilter(const QString& filter);
// Appends defaultExt (without dot) when the name has no extension, as the
// platform's dialogs do; with ofExtensionDifferent reported by the caller.
QString ApplyDefaultExt(const QString& fileName, const QString& defaultExt);

struct FileDialogRequest {
    enum Kind { Open, Save };
    Kind kind = Open;
    QString title;
    QString filter;      // "description|pattern|..."
    int filterIndex = 1; // 1-based
    QString initialDir;
    QString fileName;
    QString defaultExt;
    TOpenOptions options;
};

struct FileDialogResult {
    bool accepted = false;
    QStringList files; // one unless ofAllowMultiSelect
    int filterIndex = 1;
    QString FileName() const { return files.value(0); }
};

enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
PLAT_DECLARE_ENUM(TColorDialogOption)
using TColorDialogOptions = TSet<TColorDialogOption>;
PLAT_DECLARE_SET(TColorDialogOptions)

enum TFontDialogOption {
    fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, fdNoOEMFonts,
    fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp, fdWysiwyg, fdLimitSize,
    fdScalableOnly, fdApplyButton
};
PLAT_DECLARE_ENUM(TFontDialogOption)
using TFontDialogOptions = TSet<TFontDialogOption>;
PLAT_DECLARE_SET(TFontDialogOptions)
enum TFontDialogDevice { fdScreen, fdPrinter, fdBoth };
PLAT_DECLARE_ENUM(TFontDialogDevice)

enum TPrintRange { prAllPages, prSelection, prPageNums };
PLAT_DECLARE_ENUM(TPrintRange)
enum TPrintDialogOption { poPrintToFile, poPageNums, poSelection, poWarning, poHelp, poDisablePrintToFile };
PLAT_DECLARE_ENUM(TPrintDialogOption)
using TPrintDialogOptions = TSet<TPrintDialogOption>;
PLAT_DECLARE_SET(TPrintDialogOptions)

struct PrintDialogRequest {
    int fromPage = 0, toPage = 0, minPage = 0, maxPage = 0;
    int copies = 1;
    bool collate = false;
    bool printToFile = false;
    TPrintRange printRange = prAllPages;
    TPrintDialogOptions options;
};

// ---------------------------------------------------------------- the services

class UiServices {
public:
    virtual ~UiServices();

    // The platform's MessageBox: returns IDOK..IDNO (IDCANCEL when closed).
    virtual int MessageBox(const QString& text, const QString& caption, unsigned flags) = 0;
    // MessageDlg: the icon of the type, one button per element, the default
    // button (when not given: OK, else Yes, else the first); returns the
    // modal result of the button pressed (mrCancel when closed).
    virtual TModalResult MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                                    std::optional<TMsgDlgBtn> defaultButton = std::nullopt,
                                    const QString& caption = {}) = 0;

    virtual FileDialogResult FileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> FolderDialog(const QString& title, const QString& initialDir) = 0;
    virtual std::optional<TColor> ColorDialog(TColor initial, TColorDialogOptions options) = 0;
    // Changes font when accepted.
    virtual bool FontDialog(TFont& font, TFontDialogOptions options) = 0;
    // Updates request when accepted.
    virtual bool PrintDialog(PrintDialogRequest& request) = 0;
    virtual bool PrinterSetupDialog() = 0;
    // Value is changed only when accepted.
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value) = 0;

    virtual QString ClipboardText() = 0;
    virtual void SetClipboardText(const QString& text) = 0;
    // Private formats by name (bytes as given); setting one also keeps the
    // text when text is not null.
    virtual bool ClipboardHasFormat(const QString& format) = 0;
    virtual QByteArray ClipboardData(const QString& format) = 0;
    virtual void SetClipboardData(const QString& format, const QByteArray& data, const QString& text = {}) = 0;

    // Opens a document or URL in its default program; true on success.
    virtual bool ShellOpen(const QString& target, const QString& parameters = {}) = 0;
    virtual void Beep() = 0;
    virtual void SetBusyCursor(bool busy) = 0;

    // The window that dialogs are modal to (null: the active window).
    void SetDialogParent(QWidget* parent) { m_parent = parent; }
    QWidget* DialogParent() const { return m_parent; }

private:
    QWidget* m_parent = nullptr;
};

// The services in use. Without one installed, the calls raise
// EInvalidOperation "No user interface services installed".
UiServices& Services();
bool HasServices();
// Installs services (not owned); returns the previous ones.
UiServices* SetServices(UiServices* services);

// Installs services for a scope and puts the previous ones back.
class ScopedServices {
public:
    explicit ScopedServices(UiServices& services) : m_previous(SetServices(&services)) {}
    ~ScopedServices() { SetServices(m_previous); }
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    UiServices* m_previous;
};

// The platform's convenience functions over the services.
void ShowMessage(const QString& text);
TModalResult MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue);
bool InputQuery(const QString& caption, const QString& prompt, QString& value);

} // namespace plat
