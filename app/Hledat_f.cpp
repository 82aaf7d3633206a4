#include "Hledat_f.h"

#include "Application.h"
#include "Dialogy.h"
#include "Hlavni_f.h"
#include "Modal.h"
#include "Prvky.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kWidth = 384;
constexpr int kHeight = 182;

QString u8(const char* s) { return QString::fromUtf8(s); }

} // namespace

THledat::THledat(THlavni* hlavni) : QDialog(hlavni), m_hlavni(hlavni)
{
    setObjectName(QStringLiteral("Hledat"));
    setWindowTitle(QStringLiteral("Hledat"));
    zd::PevnaVelikost(*this, kWidth, kHeight);

    VybranePole = new zd::TRadioGroup(u8("Výběr pole"), this);
    VybranePole->setObjectName(QStringLiteral("VybranePole"));
    VybranePole->move(8, 4);
    VybranePole->setFixedWidth(150);
    VybranePole->SetItems(zd::PolozkyPoli());

    auto* label = new QLabel(u8("Hledaný výraz"), this);
    label->setGeometry(170, 8, 200, 21);
    Hledany = new QLineEdit(this);
    Hledany->setObjectName(QStringLiteral("Hledany"));
    Hledany->setGeometry(170, 30, 204, 23);
    Celevyrazy = new QCheckBox(u8("Pouze celé výrazy"), this);
    Celevyrazy->setObjectName(QStringLiteral("Celevyrazy"));
    Celevyrazy->setGeometry(170, 60, 204, 21);

    Tl_HledatVyraz = new QPushButton(QStringLiteral("Hledat"), this);
    Tl_HledatVyraz->setObjectName(QStringLiteral("Tl_HledatVyraz"));
    Tl_HledatVyraz->setDefault(true);
    Tl_HledatVyraz->setGeometry(170, kHeight - 40, 64, 27);
    Tl_Zpet = new QPushButton(u8("Zpět"), this);
    Tl_Zpet->setObjectName(QStringLiteral("Tl_Zpet"));
    Tl_Zpet->setGeometry(240, kHeight - 40, 64, 27);
    Tl_Storno = new QPushButton(QStringLiteral("Storno"), this);
    Tl_Storno->setObjectName(QStringLiteral("Tl_Storno"));
    Tl_Storno->setGeometry(310, kHeight - 40, 64, 27);

    // FormCreate
    Tl_HledatVyraz->setEnabled(false);
    m_zalozka = hlavni->ClientDataSet1->GetBookmark();

    VybranePole->OnClick = [this] { Hledany->setFocus(); };
    connect(Hledany, &QLineEdit::textChanged, this, [this] { Tl_HledatVyraz->setEnabled(true); });
    connect(Tl_HledatVyraz, &QPushButton::clicked, this,
            [this] { plat::Application().Guard([this] { Tl_HledatVyrazClick(); }); });
    connect(Tl_Zpet, &QPushButton::clicked, this, [this] { plat::Application().Guard([this] { Tl_ZpetClick(); }); });
    connect(Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);
    zd::Vycentrovat(*this);
}

// FormCloseQuery: the remembered record is released with the dialog.
THledat::~THledat() { m_hlavni->ClientDataSet1->FreeBookmark(m_zalozka); }

void THledat::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void THledat::FormShow() { VybranePole->SetItemIndex(0); }

void THledat::Tl_HledatVyrazClick()
{
    const QString text = Hledany->text();
    if (text.isEmpty()) {
        ZpravaInfo(u8("Není zadaný hledaný výraz ..."));
        return;
    }
    m_hlavni->HledanePole = m_hlavni->NazevPole(std::max(VybranePole->ItemIndex(), 0));
    m_hlavni->HledanyVyraz = text;
    m_hlavni->CeleVyrazy = Celevyrazy->isChecked();
    m_hlavni->AktualizovatAkce();
    if (!m_hlavni->NajitZaznam(m_hlavni->HledanePole, text, m_hlavni->CeleVyrazy))
        ZpravaInfo(u8("Hledaný výraz: ") + text + u8(" nebyl nalezen."));
}

void THledat::Tl_ZpetClick()
{
    plat::TClientDataSet& table = *m_hlavni->ClientDataSet1;
    // The record may have gone meanwhile (or the view may be empty): then
    // there is nothing to return to.
    if (table.BookmarkValid(m_zalozka))
        table.GotoBookmark(m_zalozka);
}

void ShowHledat(THlavni* hlavni)
{
    THledat dialog(hlavni);
    plat::ExecModal(dialog);
}
