#pragma once
// The main window: the record table in a read-only grid, every command of
// the program as an action in the menu (and the frequent ones on the
// toolbar), the status panel, and the state the dialogs share.

#include <QMainWindow>
#include <QString>

class QAction;
class QLabel;
class QTableView;
class QToolBar;
class QWidget;

namespace plat {
class TClientDataSet;
class TDataSource;
class TDBGridModel;
class TField;
class TObject;
} // namespace plat

class THlavni : public QMainWindow {
public:
    // FormCreate. programFolder: the program's own folder when empty; the
    // settings are read from beside it while the user has no settings file.
    explicit THlavni(const QString& programFolder = {}, QWidget* parent = nullptr);
    ~THlavni() override;

    // --- shared state
    QString AdresarProgramu;
    int MaxDelka = 8;
    bool PouzeCisla = true;
    QString Popiska_kod, Popiska_pole1, Popiska_pole2, Popiska_pole3, Popiska_pole4;
    QString HledanePole;
    QString HledanyVyraz;
    bool CeleVyrazy = false;
    qint16 FiltrPole = 0;
    QString FiltrVyraz;

    // --- components
    plat::TClientDataSet* ClientDataSet1 = nullptr;
    plat::TDataSource* DataSource1 = nullptr;
    plat::TDBGridModel* GridModel = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QWidget* SpodniNastrojPanel = nullptr;
    QLabel* CisloZaznamu = nullptr;
    QLabel* ParametrFiltru = nullptr;
    QLabel* OtevrenySoubor = nullptr;

    // --- actions
    QAction* Akce_Novy = nullptr;
    QAction* Akce_Otevrit = nullptr;
    QAction* Akce_UlozitSoubor = nullptr;
    QAction* Akce_UlozitJako = nullptr;
    QAction* Akce_ImportDat = nullptr;
    QAction* Akce_VlozeniDatExcel = nullptr;
    QAction* Akce_Zavrit = nullptr;
    QAction* Akce_Sestavy = nullptr;
    QAction* Akce_Konec = nullptr;
    QAction* Akce_Kopirovat = nullptr;
    QAction* Akce_KopirovatZaznam = nullptr;
    QAction* Akce_HledatZaznam = nullptr;
    QAction* Akce_HledatZaznamDalsi = nullptr;
    QAction* Akce_PrejitNaZaznam = nullptr;
    QAction* Akce_Filtr = nullptr;
    QAction* Akce_ZrusitFiltr = nullptr;
    QAction* Akce_NovyZaznam = nullptr;
    QAction* Akce_EditZaznamu = nullptr;
    QAction* Akce_OdstranitZaznam = nullptr;
    QAction* Akce_Generator = nullptr;
    QAction* Akce_PrvniZaznam = nullptr;
    QAction* Akce_PredchazejiciZaznam = nullptr;
    QAction* Akce_NasledujiciZaznam = nullptr;
    QAction* Akce_PosledniZaznam = nullptr;
    QAction* Akce_Konfig = nullptr;
    QAction* Akce_Domu = nullptr;
    QAction* Akce_Napoveda = nullptr;
    QAction* Akce_FR = nullptr;
    QAction* Akce_OProgramu = nullptr;

    // --- operations the dialogs use
    void AktualizovatAkce();
    void OtevritSoubor(const QString& path);
    bool NajitZaznam(const QString& fieldName, const QString& text, bool wholeValues);
    QString NazevPole(int index) const;
    void NastavitSirkyPoli();

    // The text shown in the status panel while no file is open.
    static QString NeniOtevren();

    // --- action handlers
    void Akce_NovyExecute();
    void Akce_OtevritExecute();
    void Akce_UlozitSouborExecute();
    void Akce_UlozitJakoExecute();
    void Akce_ZavritExecute();
    void Akce_KonecExecute();
    void Akce_KopirovatExecute();
    void Akce_KopirovatZaznamExecute();
    void Akce_HledatZaznamDalsiExecute();
    void Akce_PrejitNaZaznamExecute();
    void Akce_ZrusitFiltrExecute();
    void Akce_EditZaznamuExecute();
    void Akce_OdstranitZaznamExecute();
    void Akce_PrvniZaznamExecute();
    void Akce_PredchazejiciZaznamExecute();
    void Akce_NasledujiciZaznamExecute();
    void Akce_PosledniZaznamExecute();
    void Akce_DomuExecute();
    void Akce_NapovedaExecute();
    void Akce_FRExecute();
    void Akce_OProgramuExecute();
    void Akce_ImportDatExecute();
    void Akce_VlozeniDatExcelExecute();
    void Akce_HledatZaznamExecute();
    void Akce_SestavyExecute();
    void Akce_FiltrExecute();
    void Akce_NovyZaznamExecute();
    void Akce_GeneratorExecute();
    void Akce_KonfigExecute();
    // Commands whose dialogs are not part of the program yet.
    void NeniKDispozici();

    // --- table events
    void DataSource1DataChange(plat::TObject* Sender, plat::TField* Field);
    void DataSource1UpdateData(plat::TObject* Sender);
    void ClientDataSet1FilterRecord(plat::TClientDataSet* DataSet, bool& Accept);
    void DBGrid1DblClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createMenu();
    void createToolBar();
    void createGrid();
    void createStatusPanel();
    void readSettings();
    void applyColumnTitles();
    void syncGridToTable();
    void gridRowChanged(int row);
    // Closes the open table, writing it back; a failed write raises and
    // leaves the table open.
    void closeTable();

    bool m_syncing = false;
};

// The one main window of the program.
extern THlavni* Hlavni;
