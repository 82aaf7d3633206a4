#pragma once
// The spreadsheet paste form "Vložení dat Excelu": tab-separated text from
// the clipboard becomes an editable grid whose rows are appended to the
// record table, column 1 as the code and columns 2 to 5 as the free fields.

#include <QDialog>
#include <QStringList>
#include <QTableWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class THlavni;
class TPlainMemo;

namespace zd {

// A string grid with one fixed row (the column titles) and one fixed column
// (the row numbers), addressed as Cells(column, row) with the fixed ones at
// 0. Columns are addressed by where they are shown, so moving a column
// moves its cells.
class TStringGrid : public QTableWidget {
public:
    explicit TStringGrid(QWidget* parent);

    int RowCount() const { return rowCount() + 1; }
    int ColCount() const { return columnCount() + 1; }
    void SetRowCount(int count);
    void SetColCount(int count);
    QString Cells(int column, int row) const;
    void SetCells(int column, int row, const QString& text);
    // The current row (1 while the grid has no current cell).
    int Row() const;
    void SetRow(int row);

private:
    QString m_corner;
};

// A pasted line's cells: blanks and control characters, tabs included, are
// trimmed from its ends, so empty first and last cells disappear and the
// values shift left; empty cells between tabs stay.
QStringList BunkyRadku(const QString& line);
// A column title for display: trimmed, without diacritics, A to Z lower
// case, blanks, slashes, backslashes, commas and full stops as '_'.
QString UpravitTitulek(const QString& title);

} // namespace zd

class TVlozeniDatExcel : public QDialog {
public:
    explicit TVlozeniDatExcel(THlavni* hlavni);
    ~TVlozeniDatExcel() override;

    QTabWidget* PageControl1 = nullptr;
    QPushButton* Tl_Vlozit = nullptr;
    QPushButton* Tl_Konverze = nullptr;
    QCheckBox* ChBox_JeZahlavi = nullptr;
    TPlainMemo* Memo1 = nullptr;
    QPushButton* Tl_Zacatek = nullptr;
    QPushButton* Tl_Vzad = nullptr;
    QPushButton* Tl_Vpred = nullptr;
    QPushButton* Tl_Konec = nullptr;
    QLabel* La_Pocitadlo = nullptr;
    QPushButton* Tl_PrenosDat = nullptr;
    zd::TStringGrid* Grid1 = nullptr;

    void Tl_VlozitClick();
    void Tl_KonverzeClick();
    void Tl_PrenosDatClick();
    void VymazatTabulku();
    void NaplnitTabulku(const QStringList& lines, bool header);
    void UpravitZahlavi();
    void AktualizovatPocitadlo();
    // The error text of a row, empty when the row can be transferred.
    QString KontrolaRadku(int row) const;

private:
    QWidget* createInputPage();
    QWidget* createTablePage();
    void connectHandlers();
    THlavni* m_hlavni;
    bool m_busy = false;
};

// Akce_VlozeniDatExcel.
void ShowVlozeniDatExcel(THlavni* hlavni);
