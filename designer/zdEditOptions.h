#pragma once
// The designer's options dialog over the designer's settings as plain
// values. Every field is checked before any setting changes.

#include "Graphics.h"

#include <QDialog>
#include <QString>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace zd {

namespace dlg {
class ColorButton;
} // namespace dlg

// The settings the dialog edits, as the designer window keeps them.
struct DesignerOptions {
    int Units = 0; // 0 cm, 1 inches, 2 pixels, 3 characters
    long double Grid1 = 0.1L, Grid2 = 0.1L, Grid3 = 4, Grid4 = 4;
    int GridKind = 0; // 3 dialog page, 4 characters: no unit choice
    bool ShowGrid = true;
    bool GridAlign = true;
    bool EditAfterInsert = false;
    bool ShowBandCaptions = true;
    bool DropFields = true;
    bool ShowStartup = true;
    bool FreeBands = false;
    int BandsGap = 4;
    QString CodeFontName = QStringLiteral("Courier New");
    int CodeFontSize = 10;
    QString MemoFontName = QStringLiteral("Arial");
    int MemoFontSize = 10;
    bool UseObjectFont = true;
    plat::TColor WorkspaceColor = plat::clWindow;
    plat::TColor ToolsColor = plat::clBtnFace;
    bool GridLCD = false;
};

struct DesignerOptionsFields {
    int UnitButton = 0; // 0 cm, 1 inches, 2 pixels, -1 none pressed
    QString Grid1, Grid2, Grid3, Grid4;
    bool ShowGrid = true, GridAlign = true, EditAfterInsert = false, ShowBandCaptions = true, DropFields = true,
         ShowStartup = true, FreeBands = false;
    QString BandsGap;
    QString CodeFontName, CodeFontSize, MemoFontName, MemoFontSize;
    bool UseObjectFont = true;
    plat::TColor WorkspaceColor = plat::clWindow, ToolsColor = plat::clBtnFace;
    bool GridLCD = false;
};

// Units and grids are offered except on dialog pages and in characters.
bool unitsEditable(const DesignerOptions& Options);
DesignerOptionsFields optionsFieldsOf(const DesignerOptions& Options);
// Every number is parsed first; a bad one raises and changes nothing. A
// dialog grid of 0 or less keeps the old one; units and grids change only
// while they are editable.
void applyDesignerOptions(DesignerOptions& Options, const DesignerOptionsFields& Fields);

} // namespace zd

class TzdOptionsEditor : public QDialog {
public:
    TzdOptionsEditor(zd::DesignerOptions& Options, QWidget* Parent = nullptr);
    zd::DesignerOptionsFields Fields() const;
    // Resets the designer's settings to their defaults; the dialog then
    // closes with OK and writes nothing over them.
    std::function<void()> RestoreDefaults;
    bool DefaultsRestored() const { return m_restored; }

private:
    zd::DesignerOptions& m_options;
    bool m_restored = false;
    QRadioButton *m_cm, *m_inches, *m_pixels;
    QLineEdit *m_grid1, *m_grid2, *m_grid3, *m_grid4;
    QCheckBox *m_showGrid, *m_alignGrid, *m_editAfterIns, *m_freeBands, *m_bandsCaptions, *m_dropFields, *m_startup,
        *m_objectFont, *m_lcd;
    QLineEdit* m_gap;
    QComboBox *m_codeFont, *m_codeSize, *m_memoFont, *m_memoSize;
    zd::dlg::ColorButton *m_workspace, *m_tools;
};
