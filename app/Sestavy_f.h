#pragma once
// The report list "Generátor sestav": the templates of the folder "Ses"
// beside the program, printed, previewed or designed over the record table.
// While open it owns everything printing needs: the report document, the
// table adapter over the record table, the export filters, the compressor
// and the crypter.

#include <QDialog>

#include <vector>

class QAction;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TzdCrypt;
class TzdDBDataset;
class TzdDotMatrixExport;
class TzdGZipCompressor;
class TzdPDFExport;
class TzdReport;
class THlavni;

namespace plat {
class TClientDataSet;
class TComponent;
} // namespace plat

struct TVlastnostPredlohy {
    int Cislo = 0;     // 1-based order of finding; the tree node's absolute index
    QString Soubor;    // file name without folder
    QString Nazev;     // report name read from the file
};

class TSestavyZazaDuzudi : public QDialog {
public:
    // Table: the record table the templates print; AdresarProgramu: the
    // program's folder with a trailing separator.
    TSestavyZazaDuzudi(plat::TClientDataSet* Table, const QString& AdresarProgramu, QWidget* parent = nullptr);
    ~TSestavyZazaDuzudi() override;

    // The report name of a template file: the text after
    // ReportOptions.Name=" up to the next quote, bytes read as code page
    // 1250 without unescaping; empty when there is none.
    static QString NazevSestavy(const QString& Path);

    void NacistSeznam();
    void SeznamSestavChange();
    void Akce_TiskExecute();
    void Akce_NahledExecute();
    void Akce_EditaceExecute();

    const std::vector<TVlastnostPredlohy>& Predlohy() const { return m_predlohy; }
    QString SlozkaSestav() const;

    QTreeWidget* SeznamSestav = nullptr;
    QLabel* La_Nazev = nullptr;
    QLabel* La_Autor = nullptr;
    QLabel* La_Soubor = nullptr;
    QLabel* La_Popis = nullptr;
    QPushButton* Tl_Tisk = nullptr;
    QPushButton* Tl_Nahled = nullptr;
    QPushButton* Tl_Editace = nullptr;
    QPushButton* Tl_Konec = nullptr;
    QAction* Akce_Tisk = nullptr;
    QAction* Akce_Nahled = nullptr;
    QAction* Akce_Editace = nullptr;
    QAction* Akce_Storno = nullptr;

    TzdReport* zdReport1 = nullptr;
    TzdDBDataset* zdDBDataset1 = nullptr;
    TzdPDFExport* zdPDFExport1 = nullptr;
    TzdDotMatrixExport* zdDotMatrixExport1 = nullptr;
    TzdGZipCompressor* zdGZipCompressor1 = nullptr;
    TzdCrypt* zdCrypt1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createComponents(plat::TClientDataSet* Table);
    void vycistit();
    bool vybrano();
    void povolit(bool Value);

    QString m_adresarProgramu;
    std::vector<TVlastnostPredlohy> m_predlohy;
    // Owns the report components, as the form owns them.
    plat::TComponent* m_vlastnik = nullptr;
};

// Akce_Sestavy: the list over the main window's record table, shown
// modally while the table's controls are suspended.
void ShowSestavy(THlavni* Hlavni);
