#include "zdEditPageOptions.h"

#include "zdDesignerModel.h"

#include "Exceptions.h"
#include "Papers.h"
#include "StringList.h"
#include "zdClass.h"
#include "zdClass_band.h"
#include "zdClass_page.h"
#include "zdDlgUtils.h"
#include "zdPrinter.h"
#include "zdUtils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace zd {

namespace {

QString shown(long double Mm, TzdRulerUnits Units, bool Vertical)
{
    return zdFloatToDisplayStr(mmToUnits(Mm, Units, Vertical));
}

long double typed(const QString& Text, TzdRulerUnits Units, bool Vertical)
{
    return unitsToMm(zdParseFloat(Text), Units, Vertical);
}

QString paperName(TzdCustomPrinter* Printer, int Number)
{
    if (!Printer || Printer->PaperList().Count() == 0)
        return QString::number(Number);
    int index = Printer->IndexOfPaper(Number);
    if (index < 0)
        index = Printer->IndexOfPaper(plat::DMPAPER_USER);
    return Printer->PaperList().Strings(std::max(0, index));
}

QString binName(TzdCustomPrinter* Printer, int Number)
{
    if (!Printer || Printer->BinList().Count() == 0)
        return {};
    int index = Printer->IndexOfBin(Number);
    if (index < 0)
        index = Printer->IndexOfBin(plat::DMBIN_AUTO);
    return Printer->BinList().Strings(std::max(0, index));
}

int paperNumber(TzdCustomPrinter* Printer, const QString& Name)
{
    if (Printer && Printer->PaperList().Count() > 0)
        return Printer->PaperNameToNumber(Name);
    bool ok = false;
    const int n = Name.toInt(&ok);
    return ok ? n : plat::DMPAPER_USER;
}

int binNumber(TzdCustomPrinter* Printer, const QString& Name)
{
    return Printer && Printer->BinList().Count() > 0 ? Printer->BinNameToNumber(Name) : plat::DMBIN_AUTO;
}

// The checked values, in millimetres, ready to be written.
struct PageValues {
    int paper = 0;
    long double width = 0, height = 0;
    long double left = 0, top = 0, right = 0, bottom = 0;
    int bin = 0, binOther = 0;
    int columns = 1;
    long double columnWidth = 0;
    QStringList positions;
};

PageValues checkFields(const PageOptionsFields& F, TzdRulerUnits Units, TzdCustomPrinter* Printer)
{
    PageValues v;
    v.width = typed(F.Width, Units, false);
    v.height = typed(F.Height, Units, true);
    v.left = typed(F.MarginLeft, Units, false);
    v.top = typed(F.MarginTop, Units, true);
    v.right = typed(F.MarginRight, Units, false);
    v.bottom = typed(F.MarginBottom, Units, true);
    int columns = 0;
    QString error;
    if (!dlg::parseInteger(F.Columns, columns, &error))
        throw plat::EConvertError(error);
    v.columns = columns;
    v.columnWidth = typed(F.ColumnWidth, Units, false);
    for (const QString& line : F.ColumnPositions)
        if (!line.trimmed().isEmpty())
            v.positions << zdFloatToDisplayStr(typed(line, Units, false));
    v.paper = paperNumber(Printer, F.PaperName);
    v.bin = binNumber(Printer, F.Tray1);
    v.binOther = binNumber(Printer, F.Tray2);
    return v;
}

void writePage(TzdReportPage* Page, const PageOptionsFields& F, const PageValues& v)
{
    Page->SetOrientation(F.Landscape ? plat::poLandscape : plat::poPortrait);
    Page->SetPaperFormat(v.paper, v.width, v.height);
    Page->LeftMargin = v.left;
    Page->TopMargin = v.top;
    Page->RightMargin = v.right;
    Page->BottomMargin = v.bottom;
    Page->Bin = v.bin;
    Page->BinOtherPages = v.binOther;
    Page->SetColumns(v.columns);
    Page->ColumnWidth = v.columnWidth;
    zd::TStringList positions;
    for (const QString& p : v.positions)
        positions.Add(p);
    Page->SetColumnPositions(&positions);
    Page->PrintOnPreviousPage = F.PrintOnPreviousPage;
    Page->MirrorMargins = F.MirrorMargins;
    Page->EndlessWidth = F.EndlessWidth;
    Page->EndlessHeight = F.EndlessHeight;
    Page->LargeDesignHeight = F.LargeDesignHeight;
    Page->Duplex = TzdDuplexMode(std::clamp(F.Duplex, 0, int(dmSimplex)));
}

} // namespace

PageOptionsFields pageOptionsOf(TzdReportPage* Page, TzdRulerUnits Units, TzdCustomPrinter* Printer)
{
    PageOptionsFields f;
    f.PaperName = paperName(Printer, Page->PaperSize());
    f.Width = shown(Page->PaperWidth(), Units, false);
    f.Height = shown(Page->PaperHeight(), Units, true);
    f.Landscape = Page->Orientation() == plat::poLandscape;
    f.MarginLeft = shown(Page->LeftMargin, Units, false);
    f.MarginTop = shown(Page->TopMargin, Units, true);
    f.MarginRight = shown(Page->RightMargin, Units, false);
    f.MarginBottom = shown(Page->BottomMargin, Units, true);
    f.Tray1 = binName(Printer, Page->Bin);
    f.Tray2 = binName(Printer, Page->BinOtherPages);
    f.Columns = QString::number(Page->Columns());
    f.ColumnWidth = shown(Page->ColumnWidth, Units, false);
    for (int i = 0; i < Page->ColumnPositions()->Count(); ++i) {
        long double mm = 0;
        if (dlg::parseNumber(Page->ColumnPositions()->Strings(i), mm))
            f.ColumnPositions << shown(mm, Units, false);
    }
    f.PrintOnPreviousPage = Page->PrintOnPreviousPage;
    f.MirrorMargins = Page->MirrorMargins;
    f.LargeDesignHeight = Page->LargeDesignHeight;
    f.EndlessWidth = Page->EndlessWidth;
    f.EndlessHeight = Page->EndlessHeight;
    f.Duplex = Page->Duplex;
    return f;
}

void applyPageOptions(TzdReportPage* Page, const PageOptionsFields& Fields, TzdRulerUnits Units,
                      TzdCustomPrinter* Printer)
{
    const PageValues values = checkFields(Fields, Units, Printer);
    std::vector<TzdReportPage*> pages{Page};
    for (TzdComponent* obj : Page->AllObjects())
        if (auto* sub = dynamic_cast<TzdSubreport*>(obj); sub && sub->Page() && sub->Page() != Page)
            pages.push_back(sub->Page());
    for (TzdReportPage* p : pages)
        writePage(p, Fields, values);
}

void spreadColumns(PageOptionsFields& Fields, TzdRulerUnits Units)
{
    int n = 0;
    if (!dlg::parseInteger(Fields.Columns, n) || n <= 0)
        n = 1;
    const long double width = typed(Fields.Width, Units, false) - typed(Fields.MarginLeft, Units, false) -
                              typed(Fields.MarginRight, Units, false);
    const long double w = width / n;
    Fields.ColumnWidth = shown(w, Units, false);
    Fields.ColumnPositions.clear();
    for (int i = 0; i < n; ++i)
        Fields.ColumnPositions << shown(i * w, Units, false);
}

} // namespace zd

using zd::dlg::key;
using zd::dlg::res;

namespace {
QString unitText(TzdRulerUnits Units)
{
    switch (Units) {
    case ruInches:
        return key("uInch");
    case ruPixels:
        return key("uPix");
    case ruChars:
        return key("uChar");
    case ruCM:
    default:
        return key("uCm");
    }
}
} // namespace

TzdPageEditorForm::TzdPageEditorForm(TzdReportPage* Page, TzdRulerUnits Units, TzdCustomPrinter* Printer,
                                     QWidget* Parent)
    : QDialog(Parent), m_page(Page), m_units(Units), m_printer(Printer)
{
    setObjectName(QStringLiteral("TzdPageEditorForm"));
    setWindowTitle(res(2700, "Nastavení stránky"));
    resize(307, 410);
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    layout->addWidget(tabs, 1);
    const QString unit = unitText(Units);
    const auto edit = &zd::dlg::namedEdit;
    const auto check = &zd::dlg::namedCheck;

    auto* paper = new QWidget;
    paper->setObjectName(QStringLiteral("TabSheet1"));
    tabs->addTab(paper, res(2701, "Papír"));
    auto* pl = new QVBoxLayout(paper);
    auto* sizeGB = new QGroupBox(res(2704, "Velikost"), paper);
    auto* sl = new QFormLayout(sizeGB);
    m_size = new QComboBox(sizeGB);
    m_size->setObjectName(QStringLiteral("SizeCB"));
    m_size->setEditable(true);
    if (Printer)
        for (int i = 0; i < Printer->PaperList().Count(); ++i)
            m_size->addItem(Printer->PaperList().Strings(i));
    m_width = edit(sizeGB, "WidthE");
    m_height = edit(sizeGB, "HeightE");
    sl->addRow(m_size);
    sl->addRow(res(2702, "Šířka") + u' ' + unit, m_width);
    sl->addRow(res(2703, "Výška") + u' ' + unit, m_height);
    pl->addWidget(sizeGB);
    auto* orientGB = new QGroupBox(res(2705, "Orientace"), paper);
    auto* ol = new QHBoxLayout(orientGB);
    m_portrait = new QRadioButton(res(2714, "Na výšku"), orientGB);
    m_portrait->setObjectName(QStringLiteral("PortraitRB"));
    m_landscape = new QRadioButton(res(2715, "Na šířku"), orientGB);
    m_landscape->setObjectName(QStringLiteral("LandscapeRB"));
    ol->addWidget(m_portrait);
    ol->addWidget(m_landscape);
    pl->addWidget(orientGB);
    auto* marginGB = new QGroupBox(res(2710, "Okraje") + u' ' + unit, paper);
    auto* ml = new QFormLayout(marginGB);
    m_left = edit(marginGB, "MarginLeftE");
    m_top = edit(marginGB, "MarginTopE");
    m_right = edit(marginGB, "MarginRightE");
    m_bottom = edit(marginGB, "MarginBottomE");
    ml->addRow(res(2706, "Vlevo"), m_left);
    ml->addRow(res(2707, "Nahoře"), m_top);
    ml->addRow(res(2708, "Vpravo"), m_right);
    ml->addRow(res(2709, "Dole"), m_bottom);
    pl->addWidget(marginGB);
    auto* trayGB = new QGroupBox(res(2711, "Zdroj papíru"), paper);
    auto* tl = new QFormLayout(trayGB);
    m_tray1 = new QComboBox(trayGB);
    m_tray1->setObjectName(QStringLiteral("Tray1CB"));
    m_tray2 = new QComboBox(trayGB);
    m_tray2->setObjectName(QStringLiteral("Tray2CB"));
    if (Printer)
        for (int i = 0; i < Printer->BinList().Count(); ++i) {
            m_tray1->addItem(Printer->BinList().Strings(i));
            m_tray2->addItem(Printer->BinList().Strings(i));
        }
    tl->addRow(res(2712, "První stránka"), m_tray1);
    tl->addRow(res(2713, "Další stránky"), m_tray2);
    pl->addWidget(trayGB);

    auto* other = new QWidget;
    other->setObjectName(QStringLiteral("TabSheet3"));
    tabs->addTab(other, res(2716, "Další nastavení"));
    auto* xl = new QVBoxLayout(other);
    auto* colGB = new QGroupBox(res(2717, "Sloupce"), other);
    auto* cl = new QFormLayout(colGB);
    m_columns = new QSpinBox(colGB);
    m_columns->setObjectName(QStringLiteral("ColumnsNumberE"));
    m_columns->setRange(0, 1000);
    m_columnWidth = edit(colGB, "ColumnWidthE");
    m_positions = new QPlainTextEdit(colGB);
    m_positions->setObjectName(QStringLiteral("ColumnPositionsM"));
    cl->addRow(res(2718, "Počet"), m_columns);
    cl->addRow(res(2719, "Šířka") + u' ' + unit, m_columnWidth);
    cl->addRow(res(2720, "Pozice"), m_positions);
    xl->addWidget(colGB);
    auto* otherGB = new QGroupBox(res(2721, "Další"), other);
    auto* gl = new QVBoxLayout(otherGB);
    m_printOnPrev = check(otherGB, "PrintOnPrevCB", res(2723, "Tisknout na předchozí stránku"));
    m_mirror = check(otherGB, "MirrorMarginsCB", res(2724, "Zrcadlit okraje"));
    m_largeHeight = check(otherGB, "LargeHeightCB", res(2725, "Velká výška v módu úprav"));
    m_endlessWidth = check(otherGB, "EndlessWidthCB", res(2726, "Endless page width"));
    m_endlessHeight = check(otherGB, "EndlessHeightCB", res(2727, "Endless page height"));
    for (QCheckBox* c : {m_printOnPrev, m_mirror, m_largeHeight, m_endlessWidth, m_endlessHeight})
        gl->addWidget(c);
    m_duplex = new QComboBox(otherGB);
    m_duplex->setObjectName(QStringLiteral("DuplexCB"));
    for (const char* k : {"dupDefault", "dupVert", "dupHorz", "dupSimpl"})
        m_duplex->addItem(key(k));
    gl->addWidget(new QLabel(res(2722, "Duplex"), otherGB));
    gl->addWidget(m_duplex);
    xl->addWidget(otherGB);

    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OkB"), QStringLiteral("CancelB"), [this] {
        zd::applyPageOptions(m_page, Fields(), m_units, m_printer);
        return true;
    }));

    SetFields(zd::pageOptionsOf(Page, Units, Printer));
    connect(m_size, &QComboBox::activated, this, [this] { zd::dlg::guard([this] { paperChosen(); }); });
    connect(m_portrait, &QRadioButton::toggled, this, [this] { zd::dlg::guard([this] { orientationChanged(); }); });
    for (QLineEdit* e : {m_width, m_height})
        connect(e, &QLineEdit::textEdited, this, [this] {
            // A typed size is a size of one's own: the first paper.
            if (!m_filling && m_size->count() > 0)
                m_size->setCurrentIndex(0);
        });
    connect(m_columns, &QSpinBox::valueChanged, this, [this] {
        if (m_filling)
            return;
        zd::dlg::guard([this] {
            zd::PageOptionsFields f = Fields();
            zd::spreadColumns(f, m_units);
            SetFields(f);
        });
    });
}

TzdPageEditorForm::~TzdPageEditorForm() = default;

zd::PageOptionsFields TzdPageEditorForm::Fields() const
{
    zd::PageOptionsFields f;
    f.PaperName = m_size->currentText();
    f.Width = m_width->text();
    f.Height = m_height->text();
    f.Landscape = m_landscape->isChecked();
    f.MarginLeft = m_left->text();
    f.MarginTop = m_top->text();
    f.MarginRight = m_right->text();
    f.MarginBottom = m_bottom->text();
    f.Tray1 = m_tray1->currentText();
    f.Tray2 = m_tray2->currentText();
    f.Columns = QString::number(m_columns->value());
    f.ColumnWidth = m_columnWidth->text();
    f.ColumnPositions = m_positions->toPlainText().split(u'\n', Qt::SkipEmptyParts);
    f.PrintOnPreviousPage = m_printOnPrev->isChecked();
    f.MirrorMargins = m_mirror->isChecked();
    f.LargeDesignHeight = m_largeHeight->isChecked();
    f.EndlessWidth = m_endlessWidth->isChecked();
    f.EndlessHeight = m_endlessHeight->isChecked();
    f.Duplex = m_duplex->currentIndex();
    return f;
}

void TzdPageEditorForm::SetFields(const zd::PageOptionsFields& F)
{
    m_filling = true;
    m_size->setCurrentText(F.PaperName);
    m_width->setText(F.Width);
    m_height->setText(F.Height);
    (F.Landscape ? m_landscape : m_portrait)->setChecked(true);
    m_left->setText(F.MarginLeft);
    m_top->setText(F.MarginTop);
    m_right->setText(F.MarginRight);
    m_bottom->setText(F.MarginBottom);
    m_tray1->setCurrentText(F.Tray1);
    m_tray2->setCurrentText(F.Tray2);
    m_columns->setValue(F.Columns.toInt());
    m_columnWidth->setText(F.ColumnWidth);
    m_positions->setPlainText(F.ColumnPositions.join(u'\n'));
    m_printOnPrev->setChecked(F.PrintOnPreviousPage);
    m_mirror->setChecked(F.MirrorMargins);
    m_largeHeight->setChecked(F.LargeDesignHeight);
    m_endlessWidth->setChecked(F.EndlessWidth);
    m_endlessHeight->setChecked(F.EndlessHeight);
    m_duplex->setCurrentIndex(F.Duplex);
    m_filling = false;
}

void TzdPageEditorForm::paperChosen()
{
    if (m_filling || !m_printer)
        return;
    m_filling = true;
    const int number = m_printer->PaperNameToNumber(m_size->currentText());
    long double w = 0, h = 0;
    zd::dlg::parseNumber(m_width->text(), w);
    zd::dlg::parseNumber(m_height->text(), h);
    w = zd::unitsToMm(w, m_units, false);
    h = zd::unitsToMm(h, m_units, true);
    const auto orientation = m_landscape->isChecked() ? plat::poLandscape : plat::poPortrait;
    // A size of one's own goes to the printer turned, so that it turns with
    // each orientation change.
    if (number == plat::DMPAPER_USER)
        m_printer->SetViewParameters(number, h, w, orientation);
    else
        m_printer->SetViewParameters(number, w, h, orientation);
    m_width->setText(zdFloatToDisplayStr(zd::mmToUnits(m_printer->PaperWidth(), m_units, false)));
    m_height->setText(zdFloatToDisplayStr(zd::mmToUnits(m_printer->PaperHeight(), m_units, true)));
    m_filling = false;
}

void TzdPageEditorForm::orientationChanged()
{
    if (!m_filling)
        paperChosen();
}
