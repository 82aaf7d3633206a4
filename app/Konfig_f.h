#pragma once
// The settings dialog "Konfigurace" and the section "Nastaveni" of the
// settings file "Sorvamet.ini".

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class THlavni;

namespace zd {
class TUpDown;
}

class TKonfig : public QDialog {
public:
    explicit TKonfig(THlavni* hlavni);
    ~TKonfig() override;

    QLineEdit* Edit_MaxDelka = nullptr;
    zd::TUpDown* MaxDelka = nullptr;
    QCheckBox* ChB_PouzeCisla = nullptr;
    QLineEdit* Ed_kod = nullptr;
    QLineEdit* Ed_pole1 = nullptr;
    QLineEdit* Ed_pole2 = nullptr;
    QLineEdit* Ed_pole3 = nullptr;
    QLineEdit* Ed_pole4 = nullptr;
    QPushButton* Tl_Ok = nullptr;
    QPushButton* Tl_Storno = nullptr;

    void FormShow();
    // The exit check of the length edit; false (with the conversion message
    // shown) when its text is not a whole number.
    bool Edit_MaxDelkaExit();
    void Tl_OkClick();

protected:
    void showEvent(QShowEvent* event) override;
};

// The settings file "Sorvamet.ini" to read: the user's, or the one beside
// the program while the user has none yet.
QString SouborNastaveni(const THlavni& hlavni);
// The user's settings file, which every write goes to.
QString SouborNastaveniKZapisu(const THlavni& hlavni);
// Writes the section "Nastaveni" from the main window's live values.
void UlozitNastaveni(const THlavni& hlavni);
// Akce_Konfig: shows the dialog; when confirmed, the live values, the file
// and the grid's column titles take the new settings. True when confirmed.
bool ShowKonfig(THlavni* hlavni);
