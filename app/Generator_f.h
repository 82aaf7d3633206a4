#pragma once
// The code generator "Generátor kódů": appends a series of records whose
// codes are a prefix, a running number and a suffix.

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class THlavni;

namespace plat {
class TClientDataSet;
}

namespace zd {

class TUpDown;

// The settings of one series.
struct TNastaveniGeneratoru {
    QString Prefix;
    int VychoziHodnota = 1;
    bool x10 = false;
    bool DoplnovatNuly = true;
    int PocetZnaku = 1;
    QString Suffix;
    int PocetCyklu = 1;

    // The first number: ten times the value with "x 10".
    qint64 PrvniCislo() const { return x10 ? qint64(VychoziHodnota) * 10 : VychoziHodnota; }
};

inline constexpr int kMaxDelkaKodu = 50;

// Empty when the series can be generated; else the message that says why.
// Prefix, suffix and digit count must fit the code's limit; so must the
// longest code the series really writes.
QString KontrolaNastaveni(const TNastaveniGeneratoru& n);
// The codes of the series, in order.
QStringList RadaKodu(const TNastaveniGeneratoru& n);
// Appends one record per code, with the table's controls suspended. A
// failed post leaves no pending record; the codes posted before remain.
void ZapsatKody(plat::TClientDataSet& table, const QStringList& codes);

} // namespace zd

class TGenerator : public QDialog {
public:
    explicit TGenerator(THlavni* hlavni);
    ~TGenerator() override;

    QLineEdit* Ed_Prefix = nullptr;
    QLineEdit* Ed_VychoziHodnota = nullptr;
    zd::TUpDown* UpDown_VychoziHodnota = nullptr;
    QCheckBox* ChBox_x10 = nullptr;
    QCheckBox* ChB_DoplnovatNuly = nullptr;
    QLabel* La_PocetZnaku = nullptr;
    QLineEdit* Ed_PocetZnaku = nullptr;
    zd::TUpDown* UpDown_PocetZnaku = nullptr;
    QLineEdit* Ed_Suffix = nullptr;
    QLineEdit* Ed_PocetCyklu = nullptr;
    zd::TUpDown* UpDown_PocetCyklu = nullptr;
    QPushButton* Tl_Zapamatovat = nullptr;
    QPushButton* Tl_Obnovit = nullptr;
    QPushButton* Tl_Ukazka = nullptr;
    QPushButton* Tl_Spustit = nullptr;
    QPushButton* Tl_Storno = nullptr;

    void ChB_DoplnovatNulyClick();
    void Tl_SpustitClick();
    void Tl_UkazkaClick();
    void Tl_ZapamatovatClick();
    void Tl_ObnovitClick();

    // The settings as the controls show them; false (with the conversion
    // message shown) when a number edit holds no whole number.
    bool Nastaveni(zd::TNastaveniGeneratoru& n);

private:
    THlavni* m_hlavni;
};

// Akce_Generator.
void ShowGenerator(THlavni* hlavni);
