#include "Konfig_f.h"

#include "Application.h"
#include "DBGridModel.h"
#include "Dialogy.h"
#include "Files.h"
#include "Hlavni_f.h"
#include "IniFiles.h"
#include "Modal.h"
#include "Prvky.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kWidth = 424;
constexpr int kHeight = 355;
constexpr int kMaxDelkaMin = 1;
constexpr int kMaxDelkaMax = 50;
const char* const kSection = "Nastaveni";
const char* const kSettingsFile = "Sorvamet.ini";

QString u8(const char* s) { return QString::fromUtf8(s); }

} // namespace

TKonfig::TKonfig(THlavni* hlavni) : QDialog(hlavni)
{
    setObjectName(QStringLiteral("Konfig"));
    setWindowTitle(QStringLiteral("Konfigurace"));
    zd::PevnaVelikost(*this, kWidth, kHeight);

    auto* group = new QGroupBox(u8("Omezení vkládaného řetězce podle typu čárového kódu"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setGeometry(8, 8, kWidth - 16, 90);
    auto* maxLabel = new QLabel(u8("Max. délka"), group);
    maxLabel->setGeometry(16, 28, 70, 21);
    Edit_MaxDelka = new QLineEdit(group);
    Edit_MaxDelka->setObjectName(QStringLiteral("Edit_MaxDelka"));
    Edit_MaxDelka->setMaxLength(2);
    Edit_MaxDelka->setGeometry(90, 26, 40, 23);
    MaxDelka = new zd::TUpDown(Edit_MaxDelka, kMaxDelkaMin, kMaxDelkaMax, kMaxDelkaMin, group);
    MaxDelka->setObjectName(QStringLiteral("MaxDelka"));
    MaxDelka->setGeometry(130, 26, 17, 23);
    ChB_PouzeCisla = new QCheckBox(u8("Omezit vkládání znaků pouze na čísla"), group);
    ChB_PouzeCisla->setObjectName(QStringLiteral("ChB_PouzeCisla"));
    ChB_PouzeCisla->setGeometry(16, 58, kWidth - 48, 21);

    QLineEdit** edits[] = {&Ed_kod, &Ed_pole1, &Ed_pole2, &Ed_pole3, &Ed_pole4};
    const char* names[] = {"Ed_kod", "Ed_pole1", "Ed_pole2", "Ed_pole3", "Ed_pole4"};
    const char* labels[] = {"Popiska pole kod", "Popiska pole 1", "Popiska pole 2", "Popiska pole 3",
                            "Popiska pole 4"};
    const QString captions[] = {hlavni->Popiska_kod, hlavni->Popiska_pole1, hlavni->Popiska_pole2,
                                hlavni->Popiska_pole3, hlavni->Popiska_pole4};
    for (int i = 0; i < 5; ++i) {
        const int y = 112 + 38 * i;
        auto* label = new QLabel(u8(labels[i]), this);
        label->setObjectName(QStringLiteral("La_") + QString::fromLatin1(names[i]).mid(3));
        label->setGeometry(16, y, 120, 21);
        QLineEdit* edit = new QLineEdit(captions[i], this);
        edit->setObjectName(QString::fromLatin1(names[i]));
        edit->setGeometry(140, y, kWidth - 156, 23);
        *edits[i] = edit;
    }

    Tl_Ok = new QPushButton(QStringLiteral("Ok"), this);
    Tl_Ok->setObjectName(QStringLiteral("Tl_Ok"));
    Tl_Ok->setGeometry(kWidth - 180, kHeight - 40, 80, 27);
    Tl_Ok->setDefault(true);
    Tl_Storno = new QPushButton(QStringLiteral("Storno"), this);
    Tl_Storno->setObjectName(QStringLiteral("Tl_Storno"));
    Tl_Storno->setGeometry(kWidth - 92, kHeight - 40, 80, 27);
    // A click leaves the focus where it is, so the length edit's exit check
    // runs once, from the click.
    for (QPushButton* b : {Tl_Ok, Tl_Storno})
        b->setFocusPolicy(Qt::TabFocus);

    // FormCreate
    MaxDelka->SetPosition(hlavni->MaxDelka);
    ChB_PouzeCisla->setChecked(hlavni->PouzeCisla);

    auto enableOk = [this] { Tl_Ok->setEnabled(true); };
    connect(ChB_PouzeCisla, &QCheckBox::clicked, this, enableOk);
    for (QLineEdit* edit : {Ed_kod, Ed_pole1, Ed_pole2, Ed_pole3, Ed_pole4})
        connect(edit, &QLineEdit::textChanged, this, enableOk);
    MaxDelka->OnClick = enableOk;
    connect(Edit_MaxDelka, &QLineEdit::textChanged, this,
            [this](const QString& text) { Tl_Ok->setEnabled(!text.isEmpty()); });
    zd::JenCisliceATecka(Edit_MaxDelka);
    MaxDelka->OnExit = [this] { Edit_MaxDelkaExit(); };
    connect(Tl_Ok, &QPushButton::clicked, this, [this] { Tl_OkClick(); });
    connect(Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);
    zd::Vycentrovat(*this);
}

TKonfig::~TKonfig() = default;

void TKonfig::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TKonfig::FormShow() { Tl_Ok->setEnabled(false); }

bool TKonfig::Edit_MaxDelkaExit()
{
    return plat::Application().Guard([this] { MaxDelka->KontrolaVstupu(); });
}

void TKonfig::Tl_OkClick()
{
    // What the edit shows is what is stored.
    if (!Edit_MaxDelkaExit()) {
        Edit_MaxDelka->setFocus();
        return;
    }
    accept();
}

QString SouborNastaveni(const THlavni& hlavni)
{
    return plat::SettingsFileToRead(QString::fromLatin1(kSettingsFile), hlavni.AdresarProgramu);
}

QString SouborNastaveniKZapisu(const THlavni& hlavni)
{
    return plat::SettingsFileToWrite(QString::fromLatin1(kSettingsFile), hlavni.AdresarProgramu);
}

void UlozitNastaveni(const THlavni& hlavni)
{
    plat::TIniFile ini(SouborNastaveniKZapisu(hlavni));
    const QString section = QString::fromLatin1(kSection);
    ini.WriteInteger(section, QStringLiteral("MaxDelka"), hlavni.MaxDelka);
    ini.WriteBool(section, QStringLiteral("PouzeCisla"), hlavni.PouzeCisla);
    ini.WriteString(section, QStringLiteral("Popiska_kod"), hlavni.Popiska_kod);
    ini.WriteString(section, QStringLiteral("Popiska_pole1"), hlavni.Popiska_pole1);
    ini.WriteString(section, QStringLiteral("Popiska_pole2"), hlavni.Popiska_pole2);
    ini.WriteString(section, QStringLiteral("Popiska_pole3"), hlavni.Popiska_pole3);
    ini.WriteString(section, QStringLiteral("Popiska_pole4"), hlavni.Popiska_pole4);
}

bool ShowKonfig(THlavni* hlavni)
{
    {
        TKonfig dialog(hlavni);
        if (plat::ExecModal(dialog) != QDialog::Accepted)
            return false;
        hlavni->MaxDelka = dialog.MaxDelka->Position();
        hlavni->PouzeCisla = dialog.ChB_PouzeCisla->isChecked();
        hlavni->Popiska_kod = dialog.Ed_kod->text();
        hlavni->Popiska_pole1 = dialog.Ed_pole1->text();
        hlavni->Popiska_pole2 = dialog.Ed_pole2->text();
        hlavni->Popiska_pole3 = dialog.Ed_pole3->text();
        hlavni->Popiska_pole4 = dialog.Ed_pole4->text();
    }
    // The grid shows the new captions at once, even when the file cannot be written.
    hlavni->GridModel->SetColumnTitles({QString::fromUtf8("č."), hlavni->Popiska_kod, hlavni->Popiska_pole1,
                                        hlavni->Popiska_pole2, hlavni->Popiska_pole3, hlavni->Popiska_pole4});
    UlozitNastaveni(*hlavni);
    return true;
}
