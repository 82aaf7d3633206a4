#pragma once
// The user-interface services over Qt widgets: QMessageBox with the
// platform's buttons (Czech captions), QFileDialog with the platform's
// filters, the colour, font, print and page dialogs, QInputDialog, the
// clipboard and QDesktopServices. Needs a QApplication.

#include "Services.h"

class QTranslator;

namespace plat {

class QtServices : public UiServices {
public:
    QtServices();
    ~QtServices() override;

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

    // The MIME type a private clipboard format travels under.
    static QString MimeTypeOf(const QString& format);
    // Qt name filters of a platform filter: the description followed by its
    // patterns in parentheses, unless the description already ends with them
    // ("Text|*.txt" -> "Text (*.txt)"; "Text (*.txt)|*.txt" stays as it is).
    static QStringList NameFilters(const QString& filter);

    // Qt's own texts (standard buttons, the file dialogs' labels) in Czech:
    // installs Qt's translation "qtbase_cs" from Qt's translations folder.
    // Returns the translator (owned by the application), or null when the
    // translation is not installed.
    static QTranslator* InstallQtTranslation();
};

} // namespace plat
