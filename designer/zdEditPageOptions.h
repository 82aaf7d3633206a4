#pragma once
// Page options: paper, orientation, margins, trays, columns and the page
// switches of the designer's current page. Lengths are shown in the
// designer's unit and stored in millimetres. applyPageOptions checks every
// field before it writes anything.

#include "zdClass_services.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class TzdCustomPrinter;
class TzdReportPage;

namespace zd {

struct PageOptionsFields {
    QString PaperName;
    QString Width, Height;
    bool Landscape = false;
    QString MarginLeft, MarginTop, MarginRight, MarginBottom;
    QString Tray1, Tray2;
    QString Columns = QStringLiteral("1");
    QString ColumnWidth;
    QStringList ColumnPositions;
    bool PrintOnPreviousPage = false;
    bool MirrorMargins = false;
    bool LargeDesignHeight = false;
    bool EndlessWidth = false;
    bool EndlessHeight = false;
    int Duplex = 0;
};

// The fields showing Page; Printer (may be null) names the paper and bins.
PageOptionsFields pageOptionsOf(TzdReportPage* Page, TzdRulerUnits Units, TzdCustomPrinter* Printer);
// Writes the fields to Page and to the page of every subreport on it.
// Every number is parsed first: a bad one raises the parser's error and
// leaves the pages untouched.
void applyPageOptions(TzdReportPage* Page, const PageOptionsFields& Fields, TzdRulerUnits Units,
                      TzdCustomPrinter* Printer);
// The column width and positions (in the unit) of Count columns across the
// typed paper width less the margins.
void spreadColumns(PageOptionsFields& Fields, TzdRulerUnits Units);

} // namespace zd

class TzdPageEditorForm : public QDialog {
public:
    TzdPageEditorForm(TzdReportPage* Page, TzdRulerUnits Units, TzdCustomPrinter* Printer, QWidget* Parent = nullptr);
    ~TzdPageEditorForm() override;
    zd::PageOptionsFields Fields() const;
    void SetFields(const zd::PageOptionsFields& Fields);

private:
    void paperChosen();
    void orientationChanged();

    TzdReportPage* m_page;
    TzdRulerUnits m_units;
    TzdCustomPrinter* m_printer;
    bool m_filling = false;
    QComboBox* m_size;
    QLineEdit *m_width, *m_height;
    QRadioButton *m_portrait, *m_landscape;
    QLineEdit *m_left, *m_top, *m_right, *m_bottom;
    QComboBox *m_tray1, *m_tray2;
    QSpinBox* m_columns;
    QLineEdit* m_columnWidth;
    QPlainTextEdit* m_positions;
    QCheckBox *m_printOnPrev, *m_mirror, *m_largeHeight, *m_endlessWidth, *m_endlessHeight;
    QComboBox* m_duplex;
};
