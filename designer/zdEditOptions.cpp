#include "zdEditOptions.h"

#include "Exceptions.h"
#include "zdDlgUtils.h"
#include "zdUtils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zd {

namespace {
int integerField(const QString& Text)
{
    int value = 0;
    QString error;
    if (!dlg::parseInteger(Text, value, &error))
        throw plat::EConvertError(error);
    return value;
}
} // namespace

bool unitsEditable(const DesignerOptions& Options) { return Options.GridKind != 3 && Options.GridKind != 4; }

DesignerOptionsFields optionsFieldsOf(const DesignerOptions& o)
{
    DesignerOptionsFields f;
    f.UnitButton = o.Units >= 0 && o.Units <= 2 ? o.Units : -1;
    f.Grid1 = zdFloatToDisplayStr(o.Grid1);
    f.Grid2 = zdFloatToDisplayStr(o.Grid2);
    f.Grid3 = zdFloatToDisplayStr(o.Grid3);
    f.Grid4 = zdFloatToDisplayStr(o.Grid4);
    f.ShowGrid = o.ShowGrid;
    f.GridAlign = o.GridAlign;
    f.EditAfterInsert = o.EditAfterInsert;
    f.ShowBandCaptions = o.ShowBandCaptions;
    f.DropFields = o.DropFields;
    f.ShowStartup = o.ShowStartup;
    f.FreeBands = o.FreeBands;
    f.BandsGap = QString::number(o.BandsGap);
    f.CodeFontName = o.CodeFontName;
    f.CodeFontSize = QString::number(o.CodeFontSize);
    f.MemoFontName = o.MemoFontName;
    f.MemoFontSize = QString::number(o.MemoFontSize);
    f.UseObjectFont = o.UseObjectFont;
    f.WorkspaceColor = o.WorkspaceColor;
    f.ToolsColor = o.ToolsColor;
    f.GridLCD = o.GridLCD;
    return f;
}

void applyDesignerOptions(DesignerOptions& o, const DesignerOptionsFields& f)
{
    const bool units = unitsEditable(o);
    const long double grid4 = zdParseFloat(f.Grid4);
    long double grid1 = o.Grid1, grid2 = o.Grid2, grid3 = o.Grid3;
    if (units) {
        grid1 = zdParseFloat(f.Grid1);
        grid2 = zdParseFloat(f.Grid2);
        grid3 = zdParseFloat(f.Grid3);
    }
    const int gap = integerField(f.BandsGap);
    const int codeSize = integerField(f.CodeFontSize);
    const int memoSize = integerField(f.MemoFontSize);

    if (grid4 > 0)
        o.Grid4 = grid4;
    if (units) {
        // The grids keep their old values where a zero or less is typed, as
        // their setters do.
        if (grid1 > 0)
            o.Grid1 = grid1;
        if (grid2 > 0)
            o.Grid2 = grid2;
        if (grid3 > 0)
            o.Grid3 = grid3;
        o.Units = f.UnitButton == 0 ? 0 : f.UnitButton == 1 ? 1 : 2;
    }
    o.ShowGrid = f.ShowGrid;
    o.GridAlign = f.GridAlign;
    o.EditAfterInsert = f.EditAfterInsert;
    o.ShowBandCaptions = f.ShowBandCaptions;
    o.DropFields = f.DropFields;
    o.ShowStartup = f.ShowStartup;
    o.FreeBands = f.FreeBands;
    o.BandsGap = gap;
    o.CodeFontName = f.CodeFontName;
    o.CodeFontSize = codeSize;
    o.MemoFontName = f.MemoFontName;
    o.MemoFontSize = memoSize;
    o.UseObjectFont = f.UseObjectFont;
    o.WorkspaceColor = f.WorkspaceColor;
    o.ToolsColor = f.ToolsColor;
    o.GridLCD = f.GridLCD;
}

} // namespace zd

using zd::dlg::res;

TzdOptionsEditor::TzdOptionsEditor(zd::DesignerOptions& Options, QWidget* Parent) : QDialog(Parent), m_options(Options)
{
    setObjectName(QStringLiteral("TzdOptionsEditor"));
    setWindowTitle(res(3000, "Nastavení Návrháře"));
    auto* layout = new QVBoxLayout(this);
    const auto edit = &zd::dlg::namedEdit;
    const auto check = &zd::dlg::namedCheck;
    auto combo = [](QWidget* parent, const char* name) {
        auto* c = new QComboBox(parent);
        c->setObjectName(QString::fromLatin1(name));
        c->setEditable(true);
        return c;
    };

    auto* grid = new QGroupBox(res(3001, "Mřížka"), this);
    grid->setObjectName(QStringLiteral("Label1"));
    auto* gl = new QGridLayout(grid);
    m_cm = new QRadioButton(res(3018, "Centimetry:"), grid);
    m_cm->setObjectName(QStringLiteral("CMRB"));
    m_inches = new QRadioButton(res(3019, "Palce:"), grid);
    m_inches->setObjectName(QStringLiteral("InchesRB"));
    m_pixels = new QRadioButton(res(3020, "Pixely:"), grid);
    m_pixels->setObjectName(QStringLiteral("PixelsRB"));
    m_grid1 = edit(grid, "CME");
    m_grid2 = edit(grid, "InchesE");
    m_grid3 = edit(grid, "PixelsE");
    m_grid4 = edit(grid, "DialogFormE");
    gl->addWidget(new QLabel(res(3002, "Typ"), grid), 0, 0);
    gl->addWidget(new QLabel(res(3003, "Velikost"), grid), 0, 1);
    gl->addWidget(m_cm, 1, 0);
    gl->addWidget(m_grid1, 1, 1);
    gl->addWidget(new QLabel(res(3013, "cm"), grid), 1, 2);
    gl->addWidget(m_inches, 2, 0);
    gl->addWidget(m_grid2, 2, 1);
    gl->addWidget(new QLabel(res(3014, "in"), grid), 2, 2);
    gl->addWidget(m_pixels, 3, 0);
    gl->addWidget(m_grid3, 3, 1);
    gl->addWidget(new QLabel(res(3015, "pt"), grid), 3, 2);
    gl->addWidget(new QLabel(res(3004, "Formulář dialogu:"), grid), 4, 0);
    gl->addWidget(m_grid4, 4, 1);
    gl->addWidget(new QLabel(res(3016, "pt"), grid), 4, 2);
    m_showGrid = check(grid, "ShowGridCB", res(3021, "Zobrazit mřížku"));
    m_alignGrid = check(grid, "AlignGridCB", res(3022, "Zarovnat do mřížky"));
    gl->addWidget(m_showGrid, 5, 0, 1, 3);
    gl->addWidget(m_alignGrid, 6, 0, 1, 3);
    layout->addWidget(grid);

    auto* fonts = new QGroupBox(res(3006, "Písma"), this);
    fonts->setObjectName(QStringLiteral("Label6"));
    auto* fl = new QGridLayout(fonts);
    m_codeFont = combo(fonts, "CodeWindowFontCB");
    m_codeSize = combo(fonts, "CodeWindowSizeCB");
    m_memoFont = combo(fonts, "MemoEditorFontCB");
    m_memoSize = combo(fonts, "MemoEditorSizeCB");
    const QStringList families = QFontDatabase::families();
    m_codeFont->addItems(families);
    m_memoFont->addItems(families);
    for (QComboBox* c : {m_codeSize, m_memoSize})
        c->addItems(QStringList{"8", "9", "10", "11", "12", "14"});
    fl->addWidget(new QLabel(res(3007, "Okno kódu"), fonts), 0, 0);
    fl->addWidget(m_codeFont, 0, 1);
    fl->addWidget(new QLabel(res(3009, "Velikost"), fonts), 0, 2);
    fl->addWidget(m_codeSize, 0, 3);
    fl->addWidget(new QLabel(res(3008, "Editor memo"), fonts), 1, 0);
    fl->addWidget(m_memoFont, 1, 1);
    fl->addWidget(new QLabel(res(3010, "Velikost"), fonts), 1, 2);
    fl->addWidget(m_memoSize, 1, 3);
    m_objectFont = check(fonts, "ObjectFontCB", res(3024, "Použít nastavení písma objektu"));
    fl->addWidget(m_objectFont, 2, 0, 1, 4);
    layout->addWidget(fonts);

    auto* colors = new QGroupBox(res(3011, "Barvy"), this);
    colors->setObjectName(QStringLiteral("Label11"));
    auto* cl = new QGridLayout(colors);
    m_workspace = new zd::dlg::ColorButton(colors);
    m_workspace->setObjectName(QStringLiteral("WorkspaceB"));
    m_tools = new zd::dlg::ColorButton(colors);
    m_tools->setObjectName(QStringLiteral("ToolB"));
    cl->addWidget(new QLabel(res(3025, "Pracovní plocha"), colors), 0, 0);
    cl->addWidget(m_workspace, 0, 1);
    cl->addWidget(new QLabel(res(3026, "Okna nástrojů"), colors), 1, 0);
    cl->addWidget(m_tools, 1, 1);
    m_lcd = check(colors, "LCDCB", res(3027, "Barva mřížky LCD"));
    cl->addWidget(m_lcd, 2, 0, 1, 2);
    layout->addWidget(colors);

    auto* other = new QGroupBox(res(3005, "Další"), this);
    other->setObjectName(QStringLiteral("Label5"));
    auto* ol = new QGridLayout(other);
    m_editAfterIns = check(other, "EditAfterInsCB", res(3023, "Po vložení zobrazit editor"));
    m_freeBands = check(other, "FreeBandsCB", res(3028, "Volné umísťování pruhů"));
    m_gap = edit(other, "GapE");
    m_bandsCaptions = check(other, "BandsCaptionsCB", res(3032, "Zobrazit názvy pruhů"));
    m_dropFields = check(other, "DropFieldsCB", res(3029, "Zobrazit vysunovací seznam polí"));
    m_startup = check(other, "StartupCB", res(3030, "Zobrazit uvítací obrazovku"));
    ol->addWidget(m_editAfterIns, 0, 0, 1, 3);
    ol->addWidget(m_freeBands, 1, 0, 1, 3);
    ol->addWidget(new QLabel(res(3012, "Prostor mezi pruhy:"), other), 2, 0);
    ol->addWidget(m_gap, 2, 1);
    ol->addWidget(new QLabel(res(3017, "pt"), other), 2, 2);
    ol->addWidget(m_bandsCaptions, 3, 0, 1, 3);
    ol->addWidget(m_dropFields, 4, 0, 1, 3);
    ol->addWidget(m_startup, 5, 0, 1, 3);
    layout->addWidget(other);

    auto* restore = new QPushButton(res(3031, "Obnovit základní"), this);
    restore->setObjectName(QStringLiteral("RestoreDefaultsB"));
    layout->addWidget(restore);
    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OkB"), QStringLiteral("CancelB"), [this] {
        zd::applyDesignerOptions(m_options, Fields());
        return true;
    }));
    connect(restore, &QPushButton::clicked, this, [this] {
        zd::dlg::guard([this] {
            if (RestoreDefaults)
                RestoreDefaults();
            // The restored defaults win over what the dialog still shows.
            m_restored = true;
            QDialog::accept();
        });
    });

    // Fill the fields.
    const zd::DesignerOptionsFields f = zd::optionsFieldsOf(Options);
    const bool units = zd::unitsEditable(Options);
    for (QWidget* w : std::initializer_list<QWidget*>{m_cm, m_inches, m_pixels, m_grid1, m_grid2, m_grid3})
        w->setEnabled(units);
    if (f.UnitButton >= 0)
        (f.UnitButton == 0 ? m_cm : f.UnitButton == 1 ? m_inches : m_pixels)->setChecked(true);
    m_grid1->setText(f.Grid1);
    m_grid2->setText(f.Grid2);
    m_grid3->setText(f.Grid3);
    m_grid4->setText(f.Grid4);
    m_showGrid->setChecked(f.ShowGrid);
    m_alignGrid->setChecked(f.GridAlign);
    m_editAfterIns->setChecked(f.EditAfterInsert);
    m_freeBands->setChecked(f.FreeBands);
    m_bandsCaptions->setChecked(f.ShowBandCaptions);
    m_dropFields->setChecked(f.DropFields);
    m_startup->setChecked(f.ShowStartup);
    m_gap->setText(f.BandsGap);
    m_codeFont->setCurrentText(f.CodeFontName);
    m_codeSize->setCurrentText(f.CodeFontSize);
    m_memoFont->setCurrentText(f.MemoFontName);
    m_memoSize->setCurrentText(f.MemoFontSize);
    m_objectFont->setChecked(f.UseObjectFont);
    m_workspace->setColor(f.WorkspaceColor);
    m_tools->setColor(f.ToolsColor);
    m_lcd->setChecked(f.GridLCD);
}

zd::DesignerOptionsFields TzdOptionsEditor::Fields() const
{
    zd::DesignerOptionsFields f;
    f.UnitButton = m_cm->isChecked() ? 0 : m_inches->isChecked() ? 1 : m_pixels->isChecked() ? 2 : -1;
    f.Grid1 = m_grid1->text();
    f.Grid2 = m_grid2->text();
    f.Grid3 = m_grid3->text();
    f.Grid4 = m_grid4->text();
    f.ShowGrid = m_showGrid->isChecked();
    f.GridAlign = m_alignGrid->isChecked();
    f.EditAfterInsert = m_editAfterIns->isChecked();
    f.ShowBandCaptions = m_bandsCaptions->isChecked();
    f.DropFields = m_dropFields->isChecked();
    f.ShowStartup = m_startup->isChecked();
    f.FreeBands = m_freeBands->isChecked();
    f.BandsGap = m_gap->text();
    f.CodeFontName = m_codeFont->currentText();
    f.CodeFontSize = m_codeSize->currentText();
    f.MemoFontName = m_memoFont->currentText();
    f.MemoFontSize = m_memoSize->currentText();
    f.UseObjectFont = m_objectFont->isChecked();
    f.WorkspaceColor = m_workspace->color();
    f.ToolsColor = m_tools->color();
    f.GridLCD = m_lcd->isChecked();
    return f;
}
