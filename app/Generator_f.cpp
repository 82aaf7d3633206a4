#include "Generator_f.h"

#include "Application.h"
#include "ClientDataSet.h"
#include "Dialogy.h"
#include "Hlavni_f.h"
#include "IniFiles.h"
#include "Konfig_f.h"
#include "Modal.h"
#include "Prvky.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kWidth = 412;
constexpr int kHeight = 385;
// The check box's mark and the group's margins.
constexpr int kCheckBoxRoom = 72;
const char* const kSection = "Generator";

QString u8(const char* s) { return QString::fromUtf8(s); }

int digitsOf(qint64 n) { return int(QString::number(n).size()); }

// The number of a code: padded with zeros on the left to the digit count.
QString cisloKodu(qint64 n, const zd::TNastaveniGeneratoru& s)
{
    const QString digits = QString::number(n);
    return s.DoplnovatNuly ? DoplnitNulami(digits, std::max(s.PocetZnaku, int(digits.size())), 2) : digits;
}

} // namespace

namespace zd {

QString KontrolaNastaveni(const TNastaveniGeneratoru& n)
{
    const QString tooLong = u8("Počet znaků podle aktuálního nastavení překračuje limit 50 znaků!");
    // The digit count counts whether or not the numbers are filled with zeros.
    if (n.Prefix.size() + n.Suffix.size() + n.PocetZnaku > kMaxDelkaKodu)
        return tooLong;
    const qint64 last = n.PrvniCislo() + std::max(n.PocetCyklu, 1) - 1;
    if (n.DoplnovatNuly) {
        qint64 limit = 1;
        for (int i = 0; i < n.PocetZnaku; ++i)
            limit *= 10;
        if (last > limit - 1)
            return u8("Nastavený počet znaků generované části kódu neumožňuje provést požadovaný počet cyklů!");
    } else if (n.Prefix.size() + n.Suffix.size() + digitsOf(last) > kMaxDelkaKodu) {
        // Without zero filling a number may have more digits than the count;
        // a code cut to the limit would lose its suffix and repeat others.
        return tooLong;
    }
    return {};
}

QStringList RadaKodu(const TNastaveniGeneratoru& n)
{
    QStringList codes;
    codes.reserve(std::max(n.PocetCyklu, 0));
    qint64 number = n.PrvniCislo();
    for (int i = 0; i < n.PocetCyklu; ++i, ++number)
        codes << n.Prefix + cisloKodu(number, n) + n.Suffix;
    return codes;
}

void ZapsatKody(plat::TClientDataSet& table, const QStringList& codes)
{
    plat::THourglass hourglass;
    plat::TControlsSuspended suspended(table);
    plat::TField& kod = table.FieldByName(QStringLiteral("kod"));
    try {
        for (const QString& code : codes) {
            table.Append();
            kod.SetAsString(code.left(kMaxDelkaKodu));
            table.Post();
        }
    } catch (...) {
        table.Cancel();
        throw;
    }
}

} // namespace zd

TGenerator::TGenerator(THlavni* hlavni) : QDialog(hlavni), m_hlavni(hlavni)
{
    setObjectName(QStringLiteral("Generator"));
    setWindowTitle(u8("Generátor kódů"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    // Where the font is wider than the one the layout was made for, the
    // dialog widens so that no caption is cut.
    const QString fillCaption = u8("Doplňovat nulami generovanou část kódu do zadaného počtu znaků");
    const int width = std::max(kWidth, QFontMetrics(font()).horizontalAdvance(fillCaption) + kCheckBoxRoom);
    zd::PevnaVelikost(*this, width, kHeight);

    auto* prefixGroup = new QGroupBox(u8("Pevná část před kódem (prefix)"), this);
    prefixGroup->setGeometry(8, 8, width - 16, 56);
    Ed_Prefix = new QLineEdit(prefixGroup);
    Ed_Prefix->setObjectName(QStringLiteral("Ed_Prefix"));
    Ed_Prefix->setGeometry(12, 22, width - 40, 23);

    auto* numberGroup = new QGroupBox(u8("Generovaná část kódu"), this);
    numberGroup->setGeometry(8, 70, width - 16, 150);
    auto* startLabel = new QLabel(u8("Generování zahájit od čísla"), numberGroup);
    startLabel->setGeometry(12, 24, 200, 21);
    Ed_VychoziHodnota = new QLineEdit(numberGroup);
    Ed_VychoziHodnota->setObjectName(QStringLiteral("Ed_VychoziHodnota"));
    Ed_VychoziHodnota->setMaxLength(5);
    Ed_VychoziHodnota->setGeometry(220, 22, 60, 23);
    UpDown_VychoziHodnota = new zd::TUpDown(Ed_VychoziHodnota, 0, 30000, 1, numberGroup);
    UpDown_VychoziHodnota->setObjectName(QStringLiteral("UpDown_VychoziHodnota"));
    UpDown_VychoziHodnota->setGeometry(280, 22, 17, 23);
    ChBox_x10 = new QCheckBox(QStringLiteral("x 10"), numberGroup);
    ChBox_x10->setObjectName(QStringLiteral("ChBox_x10"));
    ChBox_x10->setGeometry(310, 22, 70, 23);
    ChB_DoplnovatNuly = new QCheckBox(fillCaption, numberGroup);
    ChB_DoplnovatNuly->setObjectName(QStringLiteral("ChB_DoplnovatNuly"));
    ChB_DoplnovatNuly->setGeometry(12, 56, width - 40, 21);
    La_PocetZnaku = new QLabel(u8("Počet znaků generované části kódu"), numberGroup);
    La_PocetZnaku->setObjectName(QStringLiteral("La_PocetZnaku"));
    La_PocetZnaku->setGeometry(12, 90, 200, 21);
    Ed_PocetZnaku = new QLineEdit(numberGroup);
    Ed_PocetZnaku->setObjectName(QStringLiteral("Ed_PocetZnaku"));
    Ed_PocetZnaku->setMaxLength(1);
    Ed_PocetZnaku->setGeometry(220, 88, 40, 23);
    UpDown_PocetZnaku = new zd::TUpDown(Ed_PocetZnaku, 1, 9, 1, numberGroup);
    UpDown_PocetZnaku->setObjectName(QStringLiteral("UpDown_PocetZnaku"));
    UpDown_PocetZnaku->setGeometry(260, 88, 17, 23);

    auto* suffixGroup = new QGroupBox(u8("Pevná část za kódem (suffix)"), this);
    suffixGroup->setGeometry(8, 226, width - 16, 56);
    Ed_Suffix = new QLineEdit(suffixGroup);
    Ed_Suffix->setObjectName(QStringLiteral("Ed_Suffix"));
    Ed_Suffix->setGeometry(12, 22, width - 40, 23);

    auto* cyclesLabel = new QLabel(u8("Počet cyklů (max 30000)"), this);
    cyclesLabel->setGeometry(20, 294, 200, 21);
    Ed_PocetCyklu = new QLineEdit(this);
    Ed_PocetCyklu->setObjectName(QStringLiteral("Ed_PocetCyklu"));
    Ed_PocetCyklu->setMaxLength(5);
    Ed_PocetCyklu->setGeometry(228, 292, 60, 23);
    UpDown_PocetCyklu = new zd::TUpDown(Ed_PocetCyklu, 1, 30000, 1, this);
    UpDown_PocetCyklu->setObjectName(QStringLiteral("UpDown_PocetCyklu"));
    UpDown_PocetCyklu->setGeometry(288, 292, 17, 23);

    struct ButtonDef {
        QPushButton* TGenerator::*member;
        const char* name;
        const char* caption;
        void (TGenerator::*click)();
    };
    const ButtonDef buttons[] = {
        {&TGenerator::Tl_Zapamatovat, "Tl_Zapamatovat", "Zapamatovat", &TGenerator::Tl_ZapamatovatClick},
        {&TGenerator::Tl_Obnovit, "Tl_Obnovit", "Obnovit", &TGenerator::Tl_ObnovitClick},
        {&TGenerator::Tl_Ukazka, "Tl_Ukazka", "Ukázka", &TGenerator::Tl_UkazkaClick},
        {&TGenerator::Tl_Spustit, "Tl_Spustit", "Spustit", &TGenerator::Tl_SpustitClick},
        {&TGenerator::Tl_Storno, "Tl_Storno", "Storno", nullptr},
    };
    constexpr int kGap = 6;
    const int buttonWidth = (width - 16 - kGap * (int(std::size(buttons)) - 1)) / int(std::size(buttons));
    int x = 8;
    for (const ButtonDef& def : buttons) {
        auto* b = new QPushButton(u8(def.caption), this);
        b->setObjectName(QString::fromLatin1(def.name));
        b->setGeometry(x, kHeight - 40, buttonWidth, 27);
        // The number edits keep the focus, so their check runs once, from the click.
        b->setFocusPolicy(Qt::TabFocus);
        // No button is the default: Enter in an edit must not remember,
        // generate or close by surprise.
        b->setAutoDefault(false);
        x += buttonWidth + kGap;
        if (def.click) {
            const auto click = def.click;
            connect(b, &QPushButton::clicked, this, [this, click] { plat::Application().Guard([&] { (this->*click)(); }); });
        } else {
            connect(b, &QPushButton::clicked, this, &QDialog::reject);
        }
        this->*def.member = b;
    }

    connect(ChB_DoplnovatNuly, &QCheckBox::toggled, this, [this] { ChB_DoplnovatNulyClick(); });
    for (QLineEdit* e : {Ed_VychoziHodnota, Ed_PocetZnaku, Ed_PocetCyklu})
        zd::JenCisliceATecka(e);
    // Leaving a number edit makes it show the value that will be used.
    for (zd::TUpDown* u : {UpDown_VychoziHodnota, UpDown_PocetZnaku, UpDown_PocetCyklu})
        u->OnExit = [u] { plat::Application().Guard([u] { u->KontrolaVstupu(); }); };

    // FormCreate
    ChB_DoplnovatNuly->setChecked(true);
    ChB_DoplnovatNulyClick();
    zd::Vycentrovat(*this);
}

TGenerator::~TGenerator() = default;

void TGenerator::ChB_DoplnovatNulyClick()
{
    const bool on = ChB_DoplnovatNuly->isChecked();
    La_PocetZnaku->setEnabled(on);
    Ed_PocetZnaku->setEnabled(on);
    UpDown_PocetZnaku->setEnabled(on);
}

bool TGenerator::Nastaveni(zd::TNastaveniGeneratoru& n)
{
    for (zd::TUpDown* u : {UpDown_VychoziHodnota, UpDown_PocetZnaku, UpDown_PocetCyklu})
        if (!plat::Application().Guard([u] { u->KontrolaVstupu(); })) {
            u->Associate()->setFocus();
            return false;
        }
    n.Prefix = Ed_Prefix->text();
    n.VychoziHodnota = UpDown_VychoziHodnota->Position();
    n.x10 = ChBox_x10->isChecked();
    n.DoplnovatNuly = ChB_DoplnovatNuly->isChecked();
    n.PocetZnaku = UpDown_PocetZnaku->Position();
    n.Suffix = Ed_Suffix->text();
    n.PocetCyklu = UpDown_PocetCyklu->Position();
    return true;
}

void TGenerator::Tl_SpustitClick()
{
    zd::TNastaveniGeneratoru n;
    if (!Nastaveni(n))
        return;
    if (const QString message = zd::KontrolaNastaveni(n); !message.isEmpty()) {
        ZpravaInfo(message);
        return;
    }
    const QStringList codes = zd::RadaKodu(n);
    try {
        zd::ZapsatKody(*m_hlavni->ClientDataSet1, codes);
    } catch (...) {
        m_hlavni->Akce_UlozitSoubor->setEnabled(true);
        throw;
    }
    m_hlavni->Akce_UlozitSoubor->setEnabled(true);
}

void TGenerator::Tl_UkazkaClick()
{
    zd::TNastaveniGeneratoru n;
    if (!Nastaveni(n))
        return;
    if (const QString message = zd::KontrolaNastaveni(n); !message.isEmpty()) {
        ZpravaInfo(message);
        return;
    }
    TextoveOkno(u8("Ukázka kódů"), zd::RadaKodu(n).join(QStringLiteral("\r\n")), true);
}

void TGenerator::Tl_ZapamatovatClick()
{
    zd::TNastaveniGeneratoru n;
    if (!Nastaveni(n))
        return;
    plat::TIniFile ini(SouborNastaveniKZapisu(*m_hlavni));
    const QString s = QString::fromLatin1(kSection);
    ini.WriteString(s, QStringLiteral("Prefix"), n.Prefix);
    ini.WriteInteger(s, QStringLiteral("VychoziHodnota"), n.VychoziHodnota);
    ini.WriteBool(s, QStringLiteral("VychoziHodnota_x10"), n.x10);
    ini.WriteBool(s, QStringLiteral("DoplnovatNuly"), n.DoplnovatNuly);
    ini.WriteInteger(s, QStringLiteral("PocetZnaku"), n.PocetZnaku);
    ini.WriteString(s, QStringLiteral("Suffix"), n.Suffix);
    ini.WriteInteger(s, QStringLiteral("PocetCyklu"), n.PocetCyklu);
}

void TGenerator::Tl_ObnovitClick()
{
    plat::TIniFile ini(SouborNastaveni(*m_hlavni));
    const QString s = QString::fromLatin1(kSection);
    Ed_Prefix->setText(ini.ReadString(s, QStringLiteral("Prefix"), {}));
    UpDown_VychoziHodnota->SetPosition(ini.ReadInteger(s, QStringLiteral("VychoziHodnota"), 1));
    ChBox_x10->setChecked(ini.ReadBool(s, QStringLiteral("VychoziHodnota_x10"), false));
    ChB_DoplnovatNuly->setChecked(ini.ReadBool(s, QStringLiteral("DoplnovatNuly"), true));
    UpDown_PocetZnaku->SetPosition(ini.ReadInteger(s, QStringLiteral("PocetZnaku"), 5));
    Ed_Suffix->setText(ini.ReadString(s, QStringLiteral("Suffix"), {}));
    UpDown_PocetCyklu->SetPosition(ini.ReadInteger(s, QStringLiteral("PocetCyklu"), 5));
    ChB_DoplnovatNulyClick();
}

void ShowGenerator(THlavni* hlavni)
{
    TGenerator dialog(hlavni);
    plat::ExecModal(dialog);
}
