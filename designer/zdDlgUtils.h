#pragma once
// Small pieces the designer's editor dialogs share: their resource texts,
// number fields that keep the last good value while the user types, colour
// buttons over the colour dialog service, and the guard that keeps model
// errors inside a slot.

#include "Graphics.h"

#include <QPushButton>
#include <QString>

#include <functional>

namespace plat {
class TCanvas;
} // namespace plat

class QAction;
class QCheckBox;
class QLineEdit;
class QComboBox;
class QDialog;
class QToolBar;
class TzdReport;

namespace plat {
class TCustomIniFile;
} // namespace plat

namespace zd::dlg {

// A numbered text of the designer's string table, or Fallback when the
// table has none.
QString res(int Id, const char* Fallback = "");
// A keyed text of the string tables.
QString key(const char* Key);

// Parses a number typed with comma or point; false (and the parser's
// message in Error) when the text is no number.
bool parseNumber(const QString& Text, long double& Value, QString* Error = nullptr);
bool parseInteger(const QString& Text, int& Value, QString* Error = nullptr);

// Shows an error message box through the user-interface services.
void showError(const QString& Message);

// Runs Handler and shows any error it raises; false when one was shown.
bool guard(const std::function<void()>& Handler);

// Binds a number field: every edit that parses calls Apply with the value;
// an edit that does not keeps the previous value silently. On leaving the
// field a text that is no number is reported and the last good text comes
// back.
void bindNumberEdit(QLineEdit* Edit, std::function<void(long double)> Apply);
void bindNumberCombo(QComboBox* Combo, std::function<void(long double)> Apply);

// A button showing a colour; a click opens the colour dialog service.
class ColorButton : public QPushButton {
public:
    explicit ColorButton(QWidget* Parent = nullptr);
    plat::TColor color() const { return m_color; }
    void setColor(plat::TColor Value);
    // Opens the colour dialog; true when a colour was chosen.
    bool choose();
    std::function<void(plat::TColor)> OnColorChanged;

private:
    plat::TColor m_color = plat::clBlack;
};

// A live sample: Paint draws on a canvas of the box's size.
class SampleBox : public QWidget {
public:
    explicit SampleBox(QWidget* Parent = nullptr);
    std::function<void(plat::TCanvas& Canvas, int Width, int Height)> Paint;

protected:
    void paintEvent(QPaintEvent* Event) override;
};

// A line edit and a check box named for the tests and scripts that find them.
QLineEdit* namedEdit(QWidget* Parent, const char* Name);
QCheckBox* namedCheck(QWidget* Parent, const char* Name, const QString& Caption);

// A row with OK and Cancel buttons named OkName and CancelName, right
// aligned; OK runs Accept first and the dialog stays open when it returns
// false (or raises: the error is shown).
QWidget* okCancelRow(QDialog* Dialog, const QString& OkName, const QString& CancelName,
                     std::function<bool()> Accept = {});

// A tool bar button named Name whose text and hint are Hint.
QAction* toolAction(QToolBar* Bar, const char* Name, const QString& Hint);

// The place of a dialog window in the report library's settings (the
// section "Form5." + the dialog's class name of Report's settings store).
// Restore writes "Visible" true first, then puts the window where it was
// last left; Extra reads or writes the dialog's own keys of the section.
// A store that cannot be opened, read or written is passed over: the
// dialog works on without it.
using SettingsAccess = std::function<void(plat::TCustomIniFile& Settings, const QString& Section)>;
void restoreDialogPlace(QWidget* Dialog, TzdReport* Report, const SettingsAccess& Extra = {});
void saveDialogPlace(QWidget* Dialog, TzdReport* Report, const SettingsAccess& Extra = {});

} // namespace zd::dlg
