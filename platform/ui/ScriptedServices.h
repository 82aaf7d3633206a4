#pragma once
// A test double of the user-interface services: answers come from a script
// queued beforehand, every call is recorded, and nothing ever waits.
//
//   plat::ScriptedServices ui;
//   plat::ScopedServices use(ui);
//   ui.AnswerMessage(plat::IDNO);
//   ui.AnswerFile({"/tmp/a.xml"});
//   ... run the code under test ...
//   EXPECT_EQ(ui.Calls()[0].text, "Uložit změny?");
//   EXPECT_TRUE(ui.Unexpected().isEmpty());
//
// A call without a queued answer of its kind gets the answer that pressing
// Enter or closing the window would give (the default button, or cancel)
// and is listed in Unexpected(); so is an answer that names a button the
// box does not have.

#include "Services.h"

#include <QMap>

#include <deque>
#include <functional>
#include <vector>

namespace plat {

struct ServiceCall {
    QString kind;      // "MessageBox", "MessageDlg", "OpenDialog", "SaveDialog", "FolderDialog",
                       // "ColorDialog", "FontDialog", "PrintDialog", "PrinterSetupDialog",
                       // "InputQuery", "ClipboardText", "SetClipboardText", "ClipboardData",
                       // "SetClipboardData", "ShellOpen", "Beep", "BusyCursor"
    QString caption;   // caption or title
    QString text;      // message, prompt, target or clipboard text
    unsigned flags = 0;    // MessageBox flags; MessageDlg: the type
    QStringList buttons;   // message boxes: the buttons shown ("Yes", "No", ...), the default first marked '*'
    QStringList details;   // dialogs: filter, filter index, initial dir, file name, default ext, options mask
    int result = 0;        // what the call returned (ID / modal result / 1 accepted, 0 cancelled)
    QString answer;        // text returned (file, folder, input, colour ...)
};

class ScriptedServices : public UiServices {
public:
    ScriptedServices();
    ~ScriptedServices() override;

    // --- the script (per kind of call, first in first out)
    void AnswerMessage(int result);               // MessageBox IDs or MessageDlg modal results
    void AnswerFile(const QStringList& files, int filterIndex = 0); // 0: keep the request's index
    void AnswerFolder(const QString& folder);
    void AnswerColor(TColor color);
    void AnswerFont(std::function<void(TFont&)> change);
    void AnswerPrint(std::function<void(PrintDialogRequest&)> change);
    void AnswerPrinterSetup(bool accepted);
    void AnswerInput(const QString& value);
    void AnswerShellOpen(bool success);
    // The next dialog of this kind ("OpenDialog", "InputQuery", ...) is cancelled.
    void Cancel(const QString& kind);

    // --- what happened
    const std::vector<ServiceCall>& Calls() const { return m_calls; }
    std::vector<ServiceCall> CallsOf(const QString& kind) const;
    QStringList Unexpected() const { return m_unexpected; }
    int PendingAnswers() const;
    void Reset();

    // --- the services
    int MessageBox(const QString& text, const QString& caption, unsigned flags) override;
    TModalResult MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                            std::optional<TMsgDlgBtn> defaultButton = std::nullopt,
                            const QString& caption = {}) override;
    FileDialogResult FileDialog(const FileDialogRequest& request) override;
    std::optional<QString> FolderDialog(const QString& title, const QString& initialDir) override;
    std::optional<TColor> ColorDialog(TColor initial, TColorDialogOptions options) override;
    bool FontDialog(TFont& font, TFontDialogOptions options) override;
    bool PrintDialog(PrintDialogRequest& request) override;
    bool PrinterSetupDialog() override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    QString ClipboardText() override;
    void SetClipboardText(const QString& text) override;
    bool ClipboardHasFormat(const QString& format) override;
    QByteArray ClipboardData(const QString& format) override;
    void SetClipboardData(const QString& format, const QByteArray& data, const QString& text = {}) override;
    bool ShellOpen(const QString& target, const QString& parameters = {}) override;
    void Beep() override;
    void SetBusyCursor(bool busy) override;
    bool BusyCursor() const { return m_busy; }

private:
    struct Answer {
        bool cancel = false;
        int code = 0;
        QStringList strings;
        TColor color = clNone;
        std::function<void(TFont&)> font;
        std::function<void(PrintDialogRequest&)> print;
    };
    bool take(const QString& kind, Answer& answer);
    ServiceCall& record(ServiceCall call);

    QMap<QString, std::deque<Answer>> m_answers;
    std::vector<ServiceCall> m_calls;
    QStringList m_unexpected;
    QString m_clipText;
    QMap<QString, QByteArray> m_clipData;
    bool m_busy = false;
};

} // namespace plat
