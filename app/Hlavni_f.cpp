#include "Hlavni_f.h"

#include "Application.h"
#include "ClientDataSet.h"
#include "CodePage.h"
#include "DBGridModel.h"
#include "Dialogy.h"
#include "Exceptions.h"
#include "Files.h"
#include "FiltrZaznamu_f.h"
#include "Generator_f.h"
#include "Hledat_f.h"
#include "Sestavy_f.h"
#include "ImportDat.h"
#include "IniFiles.h"
#include "Konfig_f.h"
#include "NovyEdit_f.h"
#include "Obrazky.h"
#include "Services.h"
#include "SysUtils.h"
#include "VlozeniDatExcel_f.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

THlavni* Hlavni = nullptr;

namespace {

// Addresses of the help links (ours to choose).
constexpr const char* kHomePage = "https://www.sorvamet.cz/";
constexpr const char* kOnlineHelp = "https://www.sorvamet.cz/napoveda/";
constexpr const char* kReportManual = "https://www.sorvamet.cz/napoveda/tiskovy-modul/";

constexpr const char* kBuildDate = "2021-07-10";
constexpr const char* kReportModule = "ZD02  ZD02 2018-06-06";

constexpr int kClientWidth = 734;
constexpr int kClientHeight = 521;
constexpr int kColumnWidths[] = {40, 150, 140, 120, 120, 120};

const char* const kDataFilter = "Databáze pro čárové kódy (*.xml)|*.xml";
const char* const kOpenFilter = "Databáze čárových kódů (*.xml)|*.xml";

QString u8(const char* s) { return QString::fromUtf8(s); }

struct ActionDef {
    QAction* THlavni::*member;
    const char* name;
    const char* category;
    const char* caption;
    const char* hint; // nullptr: none
    const char* shortcut;
    QStyle::StandardPixmap icon;
    void (THlavni::*execute)();
};

// The actions of the program: name, menu, caption, hint, shortcut, image, handler.
const ActionDef kActions[] = {
    {&THlavni::Akce_Novy, "Akce_Novy", "Soubor", "Nový soubor", "Vytvořit nový soubor", "Ctrl+N",
     QStyle::SP_FileIcon, &THlavni::Akce_NovyExecute},
    {&THlavni::Akce_Otevrit, "Akce_Otevrit", "Soubor", "Otevřít soubor", "Otevřít soubor", "Ctrl+O",
     QStyle::SP_DialogOpenButton, &THlavni::Akce_OtevritExecute},
    {&THlavni::Akce_UlozitSoubor, "Akce_UlozitSoubor", "Soubor", "Uložit soubor", "Uložit soubor", "Ctrl+S",
     QStyle::SP_DialogSaveButton, &THlavni::Akce_UlozitSouborExecute},
    {&THlavni::Akce_UlozitJako, "Akce_UlozitJako", "Soubor", "Uložit jako...", "Uložit soubor jako...",
     "Ctrl+Shift+S", QStyle::SP_DriveFDIcon, &THlavni::Akce_UlozitJakoExecute},
    {&THlavni::Akce_ImportDat, "Akce_ImportDat", "Soubor", "Import databáze", "Import databáze", "",
     QStyle::SP_ArrowDown, &THlavni::Akce_ImportDatExecute},
    {&THlavni::Akce_VlozeniDatExcel, "Akce_VlozeniDatExcel", "Soubor", "Vložení dat MS Excel",
     "Vložení dat MS Excel", "", QStyle::SP_FileDialogListView, &THlavni::Akce_VlozeniDatExcelExecute},
    {&THlavni::Akce_Zavrit, "Akce_Zavrit", "Soubor", "Zavřít soubor", "Zavřít soubor", "Ctrl+W",
     QStyle::SP_DialogCloseButton, &THlavni::Akce_ZavritExecute},
    {&THlavni::Akce_Sestavy, "Akce_Sestavy", "Soubor", "Tisk", "Tisk", "Ctrl+P", QStyle::SP_ComputerIcon,
     &THlavni::Akce_SestavyExecute},
    {&THlavni::Akce_Konec, "Akce_Konec", "Soubor", "Konec", "Ukončení programu", "Ctrl+Q",
     QStyle::SP_TitleBarCloseButton, &THlavni::Akce_KonecExecute},
    {&THlavni::Akce_Kopirovat, "Akce_Kopirovat", "Upravy", "Kopírovat kód", "Kopírovat kód", "Ctrl+C",
     QStyle::SP_FileDialogContentsView, &THlavni::Akce_KopirovatExecute},
    {&THlavni::Akce_KopirovatZaznam, "Akce_KopirovatZaznam", "Upravy", "Kopírovat text záznamu",
     "Kopírovat text celého záznamu do schránky", "Ctrl+Shift+C", QStyle::SP_FileDialogDetailedView,
     &THlavni::Akce_KopirovatZaznamExecute},
    {&THlavni::Akce_HledatZaznam, "Akce_HledatZaznam", "Upravy", "Hledat", "Hledat", "Ctrl+F",
     QStyle::SP_FileDialogInfoView, &THlavni::Akce_HledatZaznamExecute},
    {&THlavni::Akce_HledatZaznamDalsi, "Akce_HledatZaznamDalsi", "Upravy", "Hledat další", "Hledat další", "F3",
     QStyle::SP_FileDialogToParent, &THlavni::Akce_HledatZaznamDalsiExecute},
    {&THlavni::Akce_PrejitNaZaznam, "Akce_PrejitNaZaznam", "Upravy", "Přejít na záznam ...",
     "Přejít na záznam ...", "Ctrl+G", QStyle::SP_ArrowRight, &THlavni::Akce_PrejitNaZaznamExecute},
    {&THlavni::Akce_Filtr, "Akce_Filtr", "Data", "Filtr", "Filtr", "", QStyle::SP_FileDialogListView,
     &THlavni::Akce_FiltrExecute},
    {&THlavni::Akce_ZrusitFiltr, "Akce_ZrusitFiltr", "Data", "Zrušit filtr", "Zrušit filtr", "",
     QStyle::SP_DialogResetButton, &THlavni::Akce_ZrusitFiltrExecute},
    {&THlavni::Akce_NovyZaznam, "Akce_NovyZaznam", "Data", "Nový záznam", "Nový záznam", "Ins",
     QStyle::SP_FileDialogNewFolder, &THlavni::Akce_NovyZaznamExecute},
    {&THlavni::Akce_EditZaznamu, "Akce_EditZaznamu", "Data", "Editovat záznam", "Editovat záznam", "Shift+Ins",
     QStyle::SP_FileDialogStart, &THlavni::Akce_EditZaznamuExecute},
    {&THlavni::Akce_OdstranitZaznam, "Akce_OdstranitZaznam", "Data", "Odstranit záznam", "Odstranit záznam",
     "Shift+Del", QStyle::SP_TrashIcon, &THlavni::Akce_OdstranitZaznamExecute},
    {&THlavni::Akce_Generator, "Akce_Generator", "Data", "Generování kódů", "Generování kódů", "",
     QStyle::SP_BrowserReload, &THlavni::Akce_GeneratorExecute},
    {&THlavni::Akce_PrvniZaznam, "Akce_PrvniZaznam", "Data", "První záznam", "První záznam", "",
     QStyle::SP_MediaSkipBackward, &THlavni::Akce_PrvniZaznamExecute},
    {&THlavni::Akce_PredchazejiciZaznam, "Akce_PredchazejiciZaznam", "Data", "Předcházející záznam",
     "Předcházející záznam", "", QStyle::SP_MediaSeekBackward, &THlavni::Akce_PredchazejiciZaznamExecute},
    {&THlavni::Akce_NasledujiciZaznam, "Akce_NasledujiciZaznam", "Data", "Následující záznam",
     "Následující záznam", "", QStyle::SP_MediaSeekForward, &THlavni::Akce_NasledujiciZaznamExecute},
    {&THlavni::Akce_PosledniZaznam, "Akce_PosledniZaznam", "Data", "Poslední záznam", "Poslední záznam", "",
     QStyle::SP_MediaSkipForward, &THlavni::Akce_PosledniZaznamExecute},
    {&THlavni::Akce_Konfig, "Akce_Konfig", "Nastroje", "Konfigurace", "Konfigurace", "",
     QStyle::SP_FileDialogDetailedView, &THlavni::Akce_KonfigExecute},
    {&THlavni::Akce_Domu, "Akce_Domu", "Napoveda", "Sorvamet Pro - domovská stránka",
     "Sorvamet Pro - domovská stránka", "", QStyle::SP_DirHomeIcon, &THlavni::Akce_DomuExecute},
    {&THlavni::Akce_Napoveda, "Akce_Napoveda", "Napoveda", "Nápověda (on-line)", "Nápověda", "F1",
     QStyle::SP_DialogHelpButton, &THlavni::Akce_NapovedaExecute},
    {&THlavni::Akce_FR, "Akce_FR", "Napoveda", "Dokumentace k tiskovému modulu  (on-line)", nullptr, "",
     QStyle::SP_FileLinkIcon, &THlavni::Akce_FRExecute},
    {&THlavni::Akce_OProgramu, "Akce_OProgramu", "Napoveda", "O programu", "O programu", "",
     QStyle::SP_MessageBoxInformation, &THlavni::Akce_OProgramuExecute},
};

struct MenuDef {
    const char* name;
    const char* title;
    const char* items; // action names, '-' a separator, blank-separated
};

const MenuDef kMenus[] = {
    {"HMenu_Soubor", "&Soubor",
     "Akce_Novy Akce_Otevrit - Akce_UlozitSoubor Akce_UlozitJako Akce_ImportDat Akce_VlozeniDatExcel - "
     "Akce_Zavrit - Akce_Sestavy - Akce_Konec"},
    {"HMenu_Upravy", "Ú&pravy",
     "Akce_Kopirovat Akce_KopirovatZaznam - Akce_HledatZaznam Akce_HledatZaznamDalsi Akce_PrejitNaZaznam"},
    {"HMenu_Data", "&Data",
     "Akce_Filtr Akce_ZrusitFiltr - Akce_NovyZaznam Akce_EditZaznamu Akce_OdstranitZaznam - Akce_Generator - "
     "Akce_PrvniZaznam Akce_PredchazejiciZaznam Akce_NasledujiciZaznam Akce_PosledniZaznam"},
    {"HMenu_Nastroje", "&Nástroje", "Akce_Konfig"},
    {"HMenu_Napoveda", "Nápo&věda", "Akce_Domu Akce_Napoveda Akce_FR - Akce_OProgramu"},
};

const char* const kToolBar =
    "Akce_Konec - Akce_Novy Akce_Otevrit Akce_UlozitSoubor Akce_Zavrit - Akce_Sestavy - Akce_Kopirovat "
    "Akce_HledatZaznam - Akce_Filtr Akce_ZrusitFiltr - Akce_NovyZaznam Akce_EditZaznamu Akce_OdstranitZaznam - "
    "Akce_Generator - Akce_PrvniZaznam Akce_PredchazejiciZaznam Akce_NasledujiciZaznam Akce_PosledniZaznam - "
    "Akce_Konfig - Akce_Napoveda";

// "A - B": the id range of a filter.
bool rozsahId(const QString& text, qint64& from, qint64& to)
{
    const qsizetype dash = text.indexOf(QLatin1String(" - "));
    if (dash < 0)
        return false;
    bool okFrom = false, okTo = false;
    from = text.left(dash).trimmed().toLongLong(&okFrom);
    to = text.mid(dash + 3).trimmed().toLongLong(&okTo);
    return okFrom && okTo;
}

} // namespace

// ------------------------------------------------------------ creation

THlavni::THlavni(const QString& programFolder, QWidget* parent) : QMainWindow(parent)
{
    Hlavni = this;
    setObjectName(QStringLiteral("Hlavni"));
    setWindowTitle(QStringLiteral("Sorvamet Pro"));

    ClientDataSet1 = new plat::TClientDataSet(nullptr);
    ClientDataSet1->SetName(QStringLiteral("ClientDataSet1"));
    ClientDataSet1->OnFilterRecord =
        plat::TFilterRecordEvent::bind<&THlavni::ClientDataSet1FilterRecord>(this);

    createActions();
    createMenu();
    createToolBar();
    createGrid(); // the grid's link comes first, so it has its rows before the handlers run
    createStatusPanel();

    DataSource1 = new plat::TDataSource(nullptr);
    DataSource1->SetName(QStringLiteral("DataSource1"));
    DataSource1->OnDataChange = plat::TDataChangeEvent::bind<&THlavni::DataSource1DataChange>(this);
    DataSource1->OnUpdateData = plat::TNotifyEvent::bind<&THlavni::DataSource1UpdateData>(this);
    DataSource1->SetDataSet(ClientDataSet1);

    if (plat::HasServices())
        plat::Services().SetDialogParent(this);

    // FormCreate
    AdresarProgramu = plat::IncludeTrailingPathDelimiter(
        programFolder.isEmpty() ? plat::Application().ProgramFolder() : programFolder);
    readSettings();
    AktualizovatAkce();

    const int menuHeight = menuBar()->sizeHint().height();
    setMinimumSize(kClientWidth, kClientHeight + menuHeight);
    resize(kClientWidth, kClientHeight + menuHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

THlavni::~THlavni()
{
    // The table goes with the window; unsaved data is written back on the way.
    plat::Application().Guard([this] { ClientDataSet1->Close(); });
    ClientDataSet1->CloseWithoutWriteBack();
    delete DataSource1;
    DBGrid1->setModel(nullptr);
    delete GridModel;
    delete ClientDataSet1;
    if (plat::HasServices() && plat::Services().DialogParent() == this)
        plat::Services().SetDialogParent(nullptr);
    if (Hlavni == this)
        Hlavni = nullptr;
}

void THlavni::createActions()
{
    for (const ActionDef& def : kActions) {
        QIcon icon = zd::ObrazekAkce(QString::fromLatin1(def.name));
        if (icon.isNull())
            icon = style()->standardIcon(def.icon);
        auto* action = new QAction(icon, u8(def.caption), this);
        action->setObjectName(QString::fromLatin1(def.name));
        action->setProperty("category", QString::fromLatin1(def.category));
        if (def.hint) {
            action->setToolTip(u8(def.hint));
            action->setProperty("hint", u8(def.hint));
        }
        if (*def.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(def.shortcut)));
        action->setShortcutContext(Qt::WindowShortcut);
        const auto execute = def.execute;
        connect(action, &QAction::triggered, this,
                [this, execute] { plat::Application().Guard([this, execute] { (this->*execute)(); }); });
        this->*def.member = action;
        addAction(action);
    }
}

void THlavni::createMenu()
{
    for (const MenuDef& def : kMenus) {
        QMenu* menu = menuBar()->addMenu(u8(def.title));
        menu->setObjectName(QString::fromLatin1(def.name));
        for (const QString& item : QString::fromLatin1(def.items).split(u' ', Qt::SkipEmptyParts)) {
            if (item == QLatin1String("-"))
                menu->addSeparator();
            else
                menu->addAction(findChild<QAction*>(item, Qt::FindDirectChildrenOnly));
        }
    }
}

void THlavni::createToolBar()
{
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFixedHeight(30);
    ToolBar1->setIconSize(QSize(16, 16));
    for (const QString& item : QString::fromLatin1(kToolBar).split(u' ', Qt::SkipEmptyParts)) {
        if (item == QLatin1String("-"))
            ToolBar1->addSeparator();
        else
            ToolBar1->addAction(findChild<QAction*>(item, Qt::FindDirectChildrenOnly));
    }
}

void THlavni::createGrid()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    DBGrid1 = new QTableView(central);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    GridModel = new plat::TDBGridModel(ClientDataSet1);
    // While the model follows the table, the grid moves its current row on
    // its own; that must not move the table. Connected before the view's
    // selection model, so the flag is up before that model reacts.
    auto hold = [this] { m_syncing = true; };
    auto release = [this] { m_syncing = false; };
    connect(GridModel, &QAbstractItemModel::rowsAboutToBeRemoved, this, hold);
    connect(GridModel, &QAbstractItemModel::rowsRemoved, this, release);
    connect(GridModel, &QAbstractItemModel::rowsAboutToBeInserted, this, hold);
    connect(GridModel, &QAbstractItemModel::rowsInserted, this, release);
    connect(GridModel, &QAbstractItemModel::modelAboutToBeReset, this, hold);
    connect(GridModel, &QAbstractItemModel::modelReset, this, release);
    DBGrid1->setModel(GridModel);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setShowGrid(true);
    DBGrid1->setTabKeyNavigation(true);
    DBGrid1->setAlternatingRowColors(false);
    DBGrid1->verticalHeader()->setDefaultSectionSize(20);
    DBGrid1->verticalHeader()->setFixedWidth(14);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    layout->addWidget(DBGrid1, 1);

    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    gridRowChanged(current.row());
            });
    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { DBGrid1DblClick(); });
    setCentralWidget(central);
}

void THlavni::createStatusPanel()
{
    SpodniNastrojPanel = new QFrame(centralWidget());
    SpodniNastrojPanel->setObjectName(QStringLiteral("SpodniNastrojPanel"));
    SpodniNastrojPanel->setFixedHeight(23);
    auto* layout = new QHBoxLayout(SpodniNastrojPanel);
    layout->setContentsMargins(4, 1, 4, 1);
    layout->setSpacing(6);

    auto sunken = [this](const char* name, const QString& text, const char* hint, int width) {
        auto* label = new QLabel(text, SpodniNastrojPanel);
        label->setObjectName(QString::fromLatin1(name));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        if (hint)
            label->setToolTip(u8(hint));
        if (width > 0)
            label->setMinimumWidth(width);
        return label;
    };
    layout->addWidget(new QLabel(u8("Záznam :"), SpodniNastrojPanel));
    CisloZaznamu = sunken("CisloZaznamu", QStringLiteral("0"), "Pozice aktuálního záznamu", 90);
    layout->addWidget(CisloZaznamu);
    ParametrFiltru = sunken("ParametrFiltru", u8("Filtr : není zadán"), "Parametr filtru", 170);
    layout->addWidget(ParametrFiltru);
    layout->addWidget(new QLabel(u8("Soubor :"), SpodniNastrojPanel));
    OtevrenySoubor = sunken("OtevrenySoubor", NeniOtevren(), nullptr, 0);
    layout->addWidget(OtevrenySoubor, 1);
    static_cast<QVBoxLayout*>(centralWidget()->layout())->addWidget(SpodniNastrojPanel);
}

void THlavni::readSettings()
{
    plat::TIniFile ini(SouborNastaveni(*this));
    const QString section = QStringLiteral("Nastaveni");
    MaxDelka = ini.ReadInteger(section, QStringLiteral("MaxDelka"), 8);
    PouzeCisla = ini.ReadBool(section, QStringLiteral("PouzeCisla"), true);
    Popiska_kod = ini.ReadString(section, QStringLiteral("Popiska_kod"), u8("Kód"));
    Popiska_pole1 = ini.ReadString(section, QStringLiteral("Popiska_pole1"), QStringLiteral("Pole 1"));
    Popiska_pole2 = ini.ReadString(section, QStringLiteral("Popiska_pole2"), QStringLiteral("Pole 2"));
    Popiska_pole3 = ini.ReadString(section, QStringLiteral("Popiska_pole3"), QStringLiteral("Pole 3"));
    Popiska_pole4 = ini.ReadString(section, QStringLiteral("Popiska_pole4"), QStringLiteral("Pole 4"));
}

QString THlavni::NeniOtevren() { return QString::fromUtf8("není otevřen"); }

// ------------------------------------------------------------ state of the actions

void THlavni::AktualizovatAkce()
{
    const bool open = ClientDataSet1->Active();
    Akce_Novy->setEnabled(!open);
    Akce_Otevrit->setEnabled(!open);
    if (!open)
        Akce_UlozitSoubor->setEnabled(false);
    for (QAction* a : {Akce_UlozitJako, Akce_ImportDat, Akce_VlozeniDatExcel, Akce_Zavrit, Akce_Sestavy,
                       Akce_Kopirovat, Akce_KopirovatZaznam, Akce_HledatZaznam, Akce_PrejitNaZaznam,
                       Akce_Generator, Akce_Filtr, Akce_ZrusitFiltr, Akce_NovyZaznam})
        a->setEnabled(open);
    Akce_HledatZaznamDalsi->setEnabled(open && !HledanyVyraz.isEmpty());
    const int n = ClientDataSet1->RecordCount();
    const int p = ClientDataSet1->RecNo();
    Akce_EditZaznamu->setEnabled(open && n > 0);
    Akce_OdstranitZaznam->setEnabled(Akce_EditZaznamu->isEnabled());
    Akce_PrvniZaznam->setEnabled(open && p > 1);
    Akce_PredchazejiciZaznam->setEnabled(open && p > 1);
    Akce_PosledniZaznam->setEnabled(open && p >= 0 && p < n);
    Akce_NasledujiciZaznam->setEnabled(open && p >= 0 && p < n);
}

// ------------------------------------------------------------ table events

void THlavni::DataSource1DataChange(plat::TObject*, plat::TField*)
{
    CisloZaznamu->setText(QStringLiteral("%1 z %2").arg(ClientDataSet1->RecNo()).arg(ClientDataSet1->RecordCount()));
    AktualizovatAkce();
    syncGridToTable();
}

void THlavni::DataSource1UpdateData(plat::TObject*) { Akce_UlozitSoubor->setEnabled(true); }

void THlavni::ClientDataSet1FilterRecord(plat::TClientDataSet* DataSet, bool& Accept)
{
    if (FiltrPole != 0) {
        if (FiltrPole >= DataSet->FieldCount())
            return;
        Accept = plat::AnsiLowerCase(DataSet->Fields(FiltrPole).AsString()).contains(plat::AnsiLowerCase(FiltrVyraz));
        return;
    }
    qint64 from = 0, to = 0;
    bool ok = false;
    const qint64 id = DataSet->Fields(0).AsString().toLongLong(&ok);
    Accept = ok && rozsahId(FiltrVyraz, from, to) && from <= id && id <= to;
}

void THlavni::DBGrid1DblClick()
{
    if (Akce_EditZaznamu->isEnabled())
        Akce_EditZaznamu->trigger();
}

void THlavni::syncGridToTable()
{
    if (m_syncing)
        return;
    const int row = ClientDataSet1->RecNo() - 1;
    const QModelIndex current = DBGrid1->currentIndex();
    if (row < 0 || row >= GridModel->rowCount() || (current.isValid() && current.row() == row))
        return;
    m_syncing = true;
    DBGrid1->setCurrentIndex(GridModel->index(row, std::max(current.column(), 0)));
    DBGrid1->scrollTo(DBGrid1->currentIndex());
    m_syncing = false;
}

void THlavni::gridRowChanged(int row)
{
    if (m_syncing || !ClientDataSet1->Active() || ClientDataSet1->State() != plat::dsBrowse)
        return;
    if (row + 1 == ClientDataSet1->RecNo() || row >= ClientDataSet1->RecordCount())
        return;
    m_syncing = true;
    plat::Application().Guard([&] { ClientDataSet1->SetRecNo(row + 1); });
    m_syncing = false;
    DataSource1DataChange(nullptr, nullptr);
}

// ------------------------------------------------------------ files

void THlavni::NastavitSirkyPoli()
{
    for (int i = 0; i < int(std::size(kColumnWidths)) && i < GridModel->columnCount(); ++i)
        DBGrid1->setColumnWidth(i, kColumnWidths[i]);
}

void THlavni::applyColumnTitles()
{
    GridModel->SetColumnTitles(
        {QString::fromUtf8("č."), Popiska_kod, Popiska_pole1, Popiska_pole2, Popiska_pole3, Popiska_pole4});
}

void THlavni::closeTable()
{
    // A failed write-back raises and leaves the table open: nothing is lost.
    ClientDataSet1->Close();
}

void THlavni::OtevritSoubor(const QString& path)
{
    closeTable();
    ClientDataSet1->SetFileName(path);
    try {
        ClientDataSet1->Open();
    } catch (...) {
        // Nothing is open now, whatever was shown before.
        OtevrenySoubor->setText(NeniOtevren());
        AktualizovatAkce();
        throw;
    }
    NastavitSirkyPoli();
    applyColumnTitles();
    OtevrenySoubor->setText(path);
    AktualizovatAkce();
    Akce_UlozitSoubor->setEnabled(false);
}

void THlavni::Akce_NovyExecute()
{
    plat::FileDialogRequest request;
    request.kind = plat::FileDialogRequest::Save;
    request.title = u8("Nový soubor");
    request.filter = u8(kDataFilter);
    const plat::FileDialogResult answer = plat::Services().FileDialog(request);
    if (!answer.accepted || answer.FileName().isEmpty())
        return;
    QString path = answer.FileName();
    const QString ext = plat::ExtractFileExt(path);
    if (ext.isEmpty())
        path += QStringLiteral(".xml");
    else if (ext != QLatin1String(".xml")) {
        ZpravaInfo(u8("Chybně zadané jméno souboru."));
        return;
    }
    if (plat::FileExists(path) &&
        Dotaz(u8("Varování"), u8("Soubor s tímto jménem na určené cestě již existuje. Chcete ho opravdu přepsat?"),
              2) != plat::IDYES)
        return;

    // Close first, so that an open table is written back to its own file.
    closeTable();
    ClientDataSet1->SetFileName(path);
    ClientDataSet1->FieldDefs() = plat::TClientDataSet::RecordTableDefs();
    ClientDataSet1->CreateDataSet();
    try {
        ClientDataSet1->SaveToFile(path);
    } catch (...) {
        ClientDataSet1->CloseWithoutWriteBack();
        OtevrenySoubor->setText(NeniOtevren());
        AktualizovatAkce();
        throw;
    }
    OtevritSoubor(path);
}

void THlavni::Akce_OtevritExecute()
{
    plat::FileDialogRequest request;
    request.kind = plat::FileDialogRequest::Open;
    request.title = u8("Otevřít soubor");
    request.filter = u8(kOpenFilter);
    request.options = plat::TOpenOptions{plat::ofPathMustExist, plat::ofFileMustExist};
    const plat::FileDialogResult answer = plat::Services().FileDialog(request);
    if (!answer.accepted || answer.FileName().isEmpty())
        return;
    OtevritSoubor(answer.FileName());
}

void THlavni::Akce_UlozitSouborExecute()
{
    const QString path = OtevrenySoubor->text();
    if (ClientDataSet1->Active() && plat::FileExists(path)) {
        ClientDataSet1->SaveToFile(path);
        Akce_UlozitSoubor->setEnabled(false);
    } else {
        ZpravaInfo(u8("Soubor \"") + path + u8("\" se nepodařilo uložit!"));
    }
}

void THlavni::Akce_UlozitJakoExecute()
{
    plat::FileDialogRequest request;
    request.kind = plat::FileDialogRequest::Save;
    request.title = u8("Uložit jako ...");
    request.filter = u8(kDataFilter);
    request.fileName = plat::ExtractFileName(ClientDataSet1->FileName());
    request.options = plat::TOpenOptions{plat::ofPathMustExist, plat::ofOverwritePrompt};
    const plat::FileDialogResult answer = plat::Services().FileDialog(request);
    if (!answer.accepted || answer.FileName().isEmpty())
        return;
    const QString path = answer.FileName();
    if (plat::FileExists(path) &&
        Dotaz(u8("Uložit jako ..."), u8("Soubor \"") + path + u8("\" již existuje.\r\nChcete jej přepsat?"), 2) !=
            plat::IDYES)
        return;
    ClientDataSet1->SaveToFile(path);
}

void THlavni::Akce_ZavritExecute()
{
    closeTable();
    OtevrenySoubor->setText(NeniOtevren());
    AktualizovatAkce();
}

void THlavni::Akce_KonecExecute() { close(); }

void THlavni::closeEvent(QCloseEvent* event)
{
    const bool written = plat::Application().Guard([this] { closeTable(); });
    if (!written) {
        if (Dotaz(u8("Konec"), u8("Data se nepodařilo uložit. Chcete program přesto ukončit?"), 2) != plat::IDYES) {
            event->ignore();
            return;
        }
        ClientDataSet1->CloseWithoutWriteBack();
    }
    event->accept();
}

// ------------------------------------------------------------ records

QString THlavni::NazevPole(int index) const
{
    if (!ClientDataSet1->Active() || index < 0 || index >= ClientDataSet1->FieldCount())
        return {};
    return ClientDataSet1->Fields(index).FieldName();
}

void THlavni::Akce_KopirovatExecute()
{
    const QString code = ClientDataSet1->IsEmpty() ? QString() : ClientDataSet1->FieldByName(QStringLiteral("kod")).AsString();
    plat::Services().SetClipboardText(code);
}

void THlavni::Akce_KopirovatZaznamExecute()
{
    auto value = [this](const char* name) {
        return ClientDataSet1->FieldByName(QString::fromLatin1(name)).AsString();
    };
    plat::Services().SetClipboardText(QStringLiteral("ID: ") + value("id") + QStringLiteral("\r\nKod: ") +
                                      value("kod") + QStringLiteral("\r\nPole 1: ") + value("pole1"));
}

bool THlavni::NajitZaznam(const QString& fieldName, const QString& text, bool wholeValues)
{
    plat::THourglass hourglass;
    plat::TControlsSuspended suspended(*ClientDataSet1);
    const QString needle = plat::AnsiLowerCase(text);
    plat::TField& field = ClientDataSet1->FieldByName(fieldName);
    ClientDataSet1->Next();
    while (!ClientDataSet1->Eof()) {
        const QString value = plat::AnsiLowerCase(field.AsString());
        if (wholeValues ? value == needle : value.contains(needle))
            return true;
        ClientDataSet1->Next();
    }
    return false;
}

void THlavni::Akce_HledatZaznamDalsiExecute()
{
    if (!NajitZaznam(HledanePole, HledanyVyraz, CeleVyrazy))
        ZpravaInfo(u8("Hledaný výraz: ") + HledanyVyraz + u8(" nebyl nalezen."));
}

void THlavni::Akce_PrejitNaZaznamExecute()
{
    const int p = ClientDataSet1->RecNo();
    const int n = ClientDataSet1->RecordCount();
    QString answer = QString::number(p);
    if (!plat::Services().InputQuery(u8("Přejít na záznam ..."),
                                     u8("Zadejte pořadí záznamu od 1 do ") + QString::number(n) + QStringLiteral("  :"),
                                     answer))
        return;
    if (answer.isEmpty()) {
        ZpravaInfo(u8("Nebyla zadaná žádná hodnota"));
        return;
    }
    if (!JenCislice(answer)) {
        ZpravaInfo(u8("Zadali jste neplatnou hodnotu"));
        return;
    }
    const int k = plat::StrToInt(answer); // a number too large raises the platform's conversion error
    if (k == p)
        return;
    if (k >= 1 && k <= n)
        ClientDataSet1->SetRecNo(k);
    else
        ZpravaInfo(u8("Zadali jste hodnotu mimo povolený rozsah"));
}

void THlavni::Akce_ZrusitFiltrExecute()
{
    plat::THourglass hourglass;
    ClientDataSet1->SetFiltered(false);
    ParametrFiltru->setText(u8("Filtr : není zadán"));
}

void THlavni::Akce_EditZaznamuExecute()
{
    if (ClientDataSet1->RecordCount() > 0)
        ShowNovyEdit(this, TNovyEdit::EditaceZaznamu());
}

void THlavni::Akce_OdstranitZaznamExecute()
{
    if (ClientDataSet1->RecordCount() == 0)
        return;
    if (Dotaz(u8("Mazání záznamu"), u8("Opravdu chcete odstranit aktuální záznam?"), 2) != plat::IDYES)
        return;
    ClientDataSet1->Delete();
    // A delete is a change to save like any other.
    Akce_UlozitSoubor->setEnabled(true);
}

void THlavni::Akce_PrvniZaznamExecute() { ClientDataSet1->First(); }
void THlavni::Akce_PredchazejiciZaznamExecute() { ClientDataSet1->Prior(); }
void THlavni::Akce_NasledujiciZaznamExecute() { ClientDataSet1->Next(); }
void THlavni::Akce_PosledniZaznamExecute() { ClientDataSet1->Last(); }

void THlavni::Akce_DomuExecute() { zd::OtevritStranku(QString::fromLatin1(kHomePage)); }
void THlavni::Akce_NapovedaExecute() { zd::OtevritStranku(QString::fromLatin1(kOnlineHelp)); }
void THlavni::Akce_FRExecute() { zd::OtevritStranku(QString::fromLatin1(kReportManual)); }

void THlavni::Akce_OProgramuExecute()
{
    OknoOProgramu(VerzeProgramu(), QString::fromLatin1(kBuildDate), QString::fromLatin1(kReportModule));
}

void THlavni::NeniKDispozici() { ZpravaInfo(u8("Tato funkce zatím není k dispozici.")); }

// ------------------------------------------------------------ dialogs

void THlavni::Akce_ImportDatExecute() { ShowImportDat(this); }
void THlavni::Akce_VlozeniDatExcelExecute() { ShowVlozeniDatExcel(this); }
void THlavni::Akce_HledatZaznamExecute() { ShowHledat(this); }
void THlavni::Akce_SestavyExecute() { ShowSestavy(this); }
void THlavni::Akce_FiltrExecute() { ShowFiltrZaznamu(this); }
void THlavni::Akce_NovyZaznamExecute() { ShowNovyEdit(this, TNovyEdit::NovyZaznam()); }
void THlavni::Akce_GeneratorExecute() { ShowGenerator(this); }
void THlavni::Akce_KonfigExecute() { ShowKonfig(this); }
