#include "FiltrZaznamu_f.h"

#include "Application.h"
#include "ClientDataSet.h"
#include "Dialogy.h"
#include "Hlavni_f.h"
#include "Modal.h"
#include "Prvky.h"
#include "SysUtils.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kWidth = 384;
constexpr int kHeight = 182;

QString u8(const char* s) { return QString::fromUtf8(s); }

} // namespace

TFiltrZaznamu::TFiltrZaznamu(THlavni* hlavni) : QDialog(hlavni), m_hlavni(hlavni)
{
    setObjectName(QStringLiteral("FiltrZaznamu"));
    setWindowTitle(QStringLiteral("Filtr"));
    zd::PevnaVelikost(*this, kWidth, kHeight);

    PopiskaVyrazu = new QLabel(this);
    PopiskaVyrazu->setObjectName(QStringLiteral("PopiskaVyrazu"));
    PopiskaVyrazu->setGeometry(170, 8, 204, 21);
    PodminkaFiltru = new QLineEdit(this);
    PodminkaFiltru->setObjectName(QStringLiteral("PodminkaFiltru"));
    PodminkaFiltru->setGeometry(170, 30, 204, 23);
    Ed_RozsahOd = new QLineEdit(QStringLiteral("1"), this);
    Ed_RozsahOd->setObjectName(QStringLiteral("Ed_RozsahOd"));
    Ed_RozsahDo = new QLineEdit(this);
    Ed_RozsahDo->setObjectName(QStringLiteral("Ed_RozsahDo"));
    Tl_Filtr = new QPushButton(QStringLiteral("Filtr"), this);
    Tl_Filtr->setObjectName(QStringLiteral("Tl_Filtr"));
    Tl_Filtr->setDefault(true);
    Tl_Filtr->setGeometry(230, kHeight - 40, 70, 27);
    Tl_Storno = new QPushButton(QStringLiteral("Storno"), this);
    Tl_Storno->setObjectName(QStringLiteral("Tl_Storno"));
    Tl_Storno->setGeometry(306, kHeight - 40, 70, 27);

    // FormCreate 1: the id of the view's last record is the range's end.
    {
        plat::TClientDataSet& table = *hlavni->ClientDataSet1;
        plat::TControlsSuspended suspended(table);
        const plat::TBookmark here = table.GetBookmark();
        if (table.RecordCount() > 0) {
            table.Last();
            Ed_RozsahDo->setText(table.FieldByName(QStringLiteral("id")).AsString());
            if (table.BookmarkValid(here))
                table.GotoBookmark(here);
        }
    }

    // FormCreate 2, 3
    VybranePole = new zd::TRadioGroup(u8("Výběr pole"), this);
    VybranePole->setObjectName(QStringLiteral("VybranePole"));
    VybranePole->move(8, 4);
    VybranePole->setFixedWidth(150);
    VybranePole->SetItems(zd::PolozkyPoli());
    const QRect line = PodminkaFiltru->geometry();
    const int half = (line.width() - 16) / 2;
    Ed_RozsahOd->setGeometry(line.x(), line.y(), half, line.height());
    Ed_RozsahDo->setGeometry(line.right() + 1 - half, line.y(), half, line.height());
    Ed_RozsahOd->hide();
    Ed_RozsahDo->hide();
    Tl_Filtr->setEnabled(false);

    VybranePole->OnClick = [this] { VybranePoleClick(); };
    zd::JenCisliceATecka(Ed_RozsahOd);
    zd::JenCisliceATecka(Ed_RozsahDo);
    for (QLineEdit* e : {PodminkaFiltru, Ed_RozsahOd, Ed_RozsahDo})
        connect(e, &QLineEdit::textChanged, this, [this] { Tl_Filtr->setEnabled(true); });
    connect(Tl_Filtr, &QPushButton::clicked, this, [this] { plat::Application().Guard([this] { Tl_FiltrClick(); }); });
    connect(Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);
    zd::Vycentrovat(*this);
}

TFiltrZaznamu::~TFiltrZaznamu() = default;

void TFiltrZaznamu::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFiltrZaznamu::FormShow() { VybranePole->SetItemIndex(1); }

void TFiltrZaznamu::VybranePoleClick()
{
    const bool range = VybranePole->ItemIndex() == 0;
    PopiskaVyrazu->setText(range ? u8("Rozsah čísla Id (od - do)") : u8("Výraz podmínky"));
    PodminkaFiltru->setVisible(!range);
    Ed_RozsahOd->setVisible(range);
    Ed_RozsahDo->setVisible(range);
    (range ? Ed_RozsahOd : PodminkaFiltru)->setFocus();
}

void TFiltrZaznamu::Tl_FiltrClick()
{
    if (VybranePole->ItemIndex() != 0) {
        const QString condition = PodminkaFiltru->text().trimmed();
        PodminkaFiltru->setText(condition);
        if (condition.isEmpty()) {
            ZpravaInfo(u8("Není zadán výraz podmínky."));
            PodminkaFiltru->setFocus();
            return;
        }
        applyFilter(condition);
        return;
    }
    const QString od = Ed_RozsahOd->text();
    const QString doText = Ed_RozsahDo->text();
    const QString wrong = u8("Rozsah hodnot pro pole Id je chybně zadaný.") + QStringLiteral("\r\n");
    if (od == doText) {
        ZpravaInfo(wrong + u8("(obě hodnoty jsou stejné)"));
        return;
    }
    // Not whole numbers: the platform's conversion message, the filter unchanged.
    if (plat::StrToInt(doText) < plat::StrToInt(od)) {
        ZpravaInfo(wrong + u8("(počáteční hodnota je vyšší než konečná)"));
        return;
    }
    applyFilter(od + QStringLiteral(" - ") + doText);
}

void TFiltrZaznamu::applyFilter(const QString& condition)
{
    {
        plat::THourglass hourglass;
        plat::TClientDataSet& table = *m_hlavni->ClientDataSet1;
        m_hlavni->FiltrVyraz = condition;
        m_hlavni->FiltrPole = qint16(std::max(VybranePole->ItemIndex(), 0));
        if (table.Filtered())
            table.Refresh();
        else
            table.SetFiltered(true);
        m_hlavni->ParametrFiltru->setText(QStringLiteral("Filtr : ") + m_hlavni->FiltrVyraz);
    }
    accept();
}

void ShowFiltrZaznamu(THlavni* hlavni)
{
    TFiltrZaznamu dialog(hlavni);
    plat::ExecModal(dialog);
}
