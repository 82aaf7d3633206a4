#include "Sestavy_f.h"

#include "Application.h"
#include "ClientDataSet.h"
#include "CodePage.h"
#include "Dialogy.h"
#include "Exceptions.h"
#include "Files.h"
#include "Hlavni_f.h"
#include "Modal.h"
#include "Printers.h"
#include "Prvky.h"
#include "zdClass_options.h"
#include "zdClass_report.h"
#include "zdCrypt.h"
#include "zdDBSet.h"
#include "zdDMPExport.h"
#include "zdExportPDF.h"
#include "zdZLib.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int kWidth = 560;
constexpr int kHeight = 378;
constexpr char kNameMark[] = "ReportOptions.Name=\"";

QString u8(const char* s) { return QString::fromUtf8(s); }

QLabel* popisek(QWidget* parent, const QString& text, int x, int y, int w, bool bold)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 18);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QLabel* hodnota(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, w, h);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QPushButton* tlacitko(QWidget* parent, const char* name, const QString& caption, int x, int y)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(x, y, 100, 27);
    return b;
}

} // namespace

TSestavyZazaDuzudi::TSestavyZazaDuzudi(plat::TClientDataSet* Table, const QString& AdresarProgramu, QWidget* parent)
    : QDialog(parent), m_adresarProgramu(AdresarProgramu)
{
    setObjectName(QStringLiteral("SestavyZazaDuzudi"));
    setWindowTitle(u8("Generátor sestav"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    zd::PevnaVelikost(*this, kWidth, kHeight);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setAutoFillBackground(true);
    createControls();
    createComponents(Table);

    // FormCreate
    QDir().mkpath(SlozkaSestav());
    povolit(false);
    zdDBDataset1->SetDataSet(Table);
    zdReport1->IniFile = plat::SettingsFileToWrite(QStringLiteral("ZazaDuzudi.ini"), m_adresarProgramu);
    NacistSeznam();
}

TSestavyZazaDuzudi::~TSestavyZazaDuzudi()
{
    // The report goes before the datasets and filters it refers to.
    delete zdReport1;
    zdReport1 = nullptr;
    delete m_vlastnik;
}

void TSestavyZazaDuzudi::createControls()
{
    popisek(this, QStringLiteral("Seznam sestav"), 8, 8, 200, false);
    SeznamSestav = new QTreeWidget(this);
    SeznamSestav->setObjectName(QStringLiteral("SeznamSestav"));
    SeznamSestav->setGeometry(8, 28, 260, kHeight - 36);
    SeznamSestav->setHeaderHidden(true);
    SeznamSestav->setRootIsDecorated(false);
    SeznamSestav->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The selection stays visible when the tree loses the focus.
    QPalette tp = SeznamSestav->palette();
    tp.setColor(QPalette::Inactive, QPalette::Highlight, tp.color(QPalette::Active, QPalette::Highlight));
    tp.setColor(QPalette::Inactive, QPalette::HighlightedText, tp.color(QPalette::Active, QPalette::HighlightedText));
    SeznamSestav->setPalette(tp);
    connect(SeznamSestav, &QTreeWidget::currentItemChanged, this,
            [this] { plat::Application().Guard([this] { SeznamSestavChange(); }); });

    const int x = 280, w = kWidth - x - 8;
    popisek(this, u8("Název sestavy:"), x, 8, w, true);
    La_Nazev = hodnota(this, "La_Nazev", x, 26, w, 18);
    popisek(this, u8("Autor sestavy:"), x, 52, w, true);
    La_Autor = hodnota(this, "La_Autor", x, 70, w, 18);
    popisek(this, u8("Jméno souboru:"), x, 96, w, true);
    La_Soubor = hodnota(this, "La_Soubor", x, 114, w, 18);
    popisek(this, u8("Popis sestavy:"), x, 140, w, true);
    La_Popis = hodnota(this, "La_Popis", x, 158, w, 140);
    La_Popis->setWordWrap(true);

    Tl_Tisk = tlacitko(this, "Tl_Tisk", QStringLiteral("Tisk"), x, kHeight - 70);
    Tl_Nahled = tlacitko(this, "Tl_Nahled", u8("Náhled"), x + 110, kHeight - 70);
    Tl_Editace = tlacitko(this, "Tl_Editace", QStringLiteral("Editace"), x, kHeight - 36);
    Tl_Konec = tlacitko(this, "Tl_Konec", QStringLiteral("Storno"), x + 110, kHeight - 36);

    auto akce = [this](const char* name, const QString& caption, QPushButton* button, void (TSestavyZazaDuzudi::*run)()) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, run] { plat::Application().Guard([this, run] { (this->*run)(); }); });
        connect(button, &QPushButton::clicked, a, &QAction::trigger);
        connect(a, &QAction::changed, button, [a, button] { button->setEnabled(a->isEnabled()); });
        addAction(a);
        return a;
    };
    Akce_Tisk = akce("Akce_Tisk", QStringLiteral("Tisk"), Tl_Tisk, &TSestavyZazaDuzudi::Akce_TiskExecute);
    Akce_Nahled = akce("Akce_Nahled", u8("Náhled"), Tl_Nahled, &TSestavyZazaDuzudi::Akce_NahledExecute);
    Akce_Editace = akce("Akce_Editace", QStringLiteral("Editace"), Tl_Editace, &TSestavyZazaDuzudi::Akce_EditaceExecute);
    Akce_Storno = new QAction(QStringLiteral("Storno"), this);
    Akce_Storno->setObjectName(QStringLiteral("Akce_Storno"));
    connect(Akce_Storno, &QAction::triggered, this, &QDialog::reject);
    connect(Tl_Konec, &QPushButton::clicked, Akce_Storno, &QAction::trigger);
    addAction(Akce_Storno);
}

void TSestavyZazaDuzudi::createComponents(plat::TClientDataSet* Table)
{
    m_vlastnik = new plat::TComponent(nullptr);
    zdDBDataset1 = new TzdDBDataset(m_vlastnik);
    zdDBDataset1->SetName(QStringLiteral("zdDBDataset1"));
    zdDBDataset1->SetUserName(QStringLiteral("zdDBDataset1"));
    zdDBDataset1->SetCloseDataSource(false);
    zdDBDataset1->BCDToCurrency = false;
    zdDBDataset1->SetDataSet(Table);
    zdGZipCompressor1 = new TzdGZipCompressor(m_vlastnik);
    zdCrypt1 = new TzdCrypt(m_vlastnik);
    zdPDFExport1 = new TzdPDFExport(m_vlastnik);
    zdPDFExport1->UseFileCache = true;
    zdPDFExport1->ShowProgress = true;
    zdPDFExport1->OverwritePrompt = false;
    zdPDFExport1->Author = QStringLiteral("ZazaDuzudi");
    zdPDFExport1->Subject = QStringLiteral("ZazaDuzudi PDF export");
    zdPDFExport1->Creator = QStringLiteral("Sorvamet");
    zdDotMatrixExport1 = new TzdDotMatrixExport(m_vlastnik);
    zdDotMatrixExport1->UseFileCache = true;
    zdDotMatrixExport1->ShowProgress = true;

    // Owned beside the adapter: templates name it, and their references
    // are found among the report's owner's components.
    zdReport1 = new TzdReport(m_vlastnik);
    zdReport1->SetName(QStringLiteral("zdReport1"));
    zdReport1->SetDataSet(zdDBDataset1);
    zdReport1->DataSets()->AddDataSet(zdDBDataset1);
    zdReport1->SetScriptLanguage(QStringLiteral("PascalScript"));
    zdReport1->ScriptText()->SetText(QStringLiteral("begin\n\nend."));
    zdReport1->PreviewOptions()->Buttons = {pbPrint,  pbLoad,      pbSave,  pbZoom,      pbFind,
                                            pbOutline, pbPageSetup, pbTools, pbNavigator, pbExportQuick};
    zdReport1->PreviewOptions()->Zoom = 1;
    zdReport1->PrintOptions()->Printer = u8("Předvolená");
}

QString TSestavyZazaDuzudi::SlozkaSestav() const
{
    return m_adresarProgramu + QStringLiteral("Ses/");
}

QString TSestavyZazaDuzudi::NazevSestavy(const QString& Path)
{
    QFile f(Path);
    if (!f.open(QIODevice::ReadOnly))
        throw plat::Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(Path, f.errorString()));
    const QByteArray bytes = f.readAll();
    const QByteArray mark(kNameMark);
    const qsizetype at = bytes.indexOf(mark);
    if (at < 0)
        return {};
    const qsizetype from = at + mark.size();
    const qsizetype end = bytes.indexOf('"', from);
    return plat::cp1250ToUnicode(bytes.mid(from, end < 0 ? -1 : end - from));
}

void TSestavyZazaDuzudi::NacistSeznam()
{
    SeznamSestav->clear();
    m_predlohy.clear();
    // Sorted by the case-folded name, so that every listing numbers the
    // templates alike; the extension matched in any case.
    QDir dir(SlozkaSestav());
    QFileInfoList files = dir.entryInfoList({QStringLiteral("*.zd3")}, QDir::Files | QDir::Readable,
                                            QDir::NoSort);
    files.erase(std::remove_if(files.begin(), files.end(),
                               [](const QFileInfo& fi) {
                                   return fi.isHidden() || !fi.isFile() || fi.suffix().toCaseFolded() != u"zd3";
                               }),
                files.end());
    std::stable_sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.fileName().toCaseFolded() < b.fileName().toCaseFolded();
    });
    for (const QFileInfo& fi : files) {
        TVlastnostPredlohy p;
        p.Cislo = int(m_predlohy.size()) + 1;
        p.Soubor = fi.fileName();
        try {
            p.Nazev = NazevSestavy(fi.filePath());
        } catch (...) {
            // An unreadable template is listed without a name.
        }
        m_predlohy.push_back(p);
        plat::Application().ProcessMessages();
    }
    if (m_predlohy.empty())
        return;
    auto* skupina = new QTreeWidgetItem(SeznamSestav, {u8("Základní sestavy")});
    QFont bold = skupina->font(0);
    bold.setBold(true);
    skupina->setFont(0, bold);
    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    for (const TVlastnostPredlohy& p : m_predlohy) {
        auto* item = new QTreeWidgetItem(skupina, {p.Nazev});
        item->setIcon(0, icon);
    }
    skupina->setExpanded(true);
    SeznamSestav->setCurrentItem(skupina->child(0));
}

void TSestavyZazaDuzudi::povolit(bool Value)
{
    for (QAction* a : {Akce_Tisk, Akce_Nahled, Akce_Editace})
        a->setEnabled(Value);
}

void TSestavyZazaDuzudi::vycistit()
{
    zdReport1->LoadFromFile(QString());
    for (QLabel* l : {La_Nazev, La_Autor, La_Soubor, La_Popis})
        l->clear();
    povolit(false);
}

void TSestavyZazaDuzudi::SeznamSestavChange()
{
    QTreeWidgetItem* item = SeznamSestav->currentItem();
    if (!item || !item->parent()) {
        vycistit();
        return;
    }
    const int cislo = item->parent()->indexOfChild(item) + 1;
    const auto it = std::find_if(m_predlohy.begin(), m_predlohy.end(),
                                 [cislo](const TVlastnostPredlohy& p) { return p.Cislo == cislo; });
    if (it == m_predlohy.end() || !QFileInfo::exists(SlozkaSestav() + it->Soubor)) {
        vycistit();
        return;
    }
    zdReport1->LoadFromFile(SlozkaSestav() + it->Soubor);
    TzdReportOptions* o = zdReport1->ReportOptions();
    La_Nazev->setText(o->Name);
    La_Autor->setText(o->Author);
    La_Soubor->setText(plat::ExtractFileName(zdReport1->FileName));
    QString popis;
    for (int i = 0; i < o->Description()->Count(); ++i)
        popis += o->Description()->Strings(i) + u'\n';
    La_Popis->setText(popis);
    povolit(true);
}

bool TSestavyZazaDuzudi::vybrano()
{
    QTreeWidgetItem* item = SeznamSestav->currentItem();
    if (item && item->parent())
        return true;
    ZpravaInfo(u8("Není vybrána žádná sestava"));
    return false;
}

void TSestavyZazaDuzudi::Akce_TiskExecute()
{
    if (!vybrano())
        return;
    // A cancelled or failed preparation prints nothing.
    if (zdReport1->Prepare(true) && !zdReport1->Terminated)
        zdReport1->PrintPrepared();
}

void TSestavyZazaDuzudi::Akce_NahledExecute()
{
    if (vybrano())
        zdReport1->ShowReport(true);
}

void TSestavyZazaDuzudi::Akce_EditaceExecute()
{
    if (!vybrano())
        return;
    if (!zdDesignerClass) {
        ZpravaInfo(u8("Tato funkce zatím není k dispozici."));
        return;
    }
    zdReport1->Design(true, false);
}

void TSestavyZazaDuzudi::closeEvent(QCloseEvent* event)
{
    m_predlohy.clear();
    QDialog::closeEvent(event);
}

void ShowSestavy(THlavni* Hlavni)
{
    if (plat::ListPrinters().empty()) {
        ZpravaInfo(u8("V systému Windows není nainstalovaná žádná tiskárna."));
        return;
    }
    TSestavyZazaDuzudi dialog(Hlavni->ClientDataSet1, Hlavni->AdresarProgramu, Hlavni);
    plat::TControlsSuspended suspended(*Hlavni->ClientDataSet1);
    plat::ExecModal(dialog);
}
