#pragma once
// The search dialog "Hledat": finds the next record whose chosen field
// holds (or equals) a text and remembers the search for "Hledat další".

#include "ClientDataSet.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class THlavni;

namespace zd {
class TRadioGroup;
}

class THledat : public QDialog {
public:
    explicit THledat(THlavni* hlavni);
    ~THledat() override;

    zd::TRadioGroup* VybranePole = nullptr;
    QLineEdit* Hledany = nullptr;
    QCheckBox* Celevyrazy = nullptr;
    QPushButton* Tl_HledatVyraz = nullptr;
    QPushButton* Tl_Zpet = nullptr;
    QPushButton* Tl_Storno = nullptr;

    void FormShow();
    void Tl_HledatVyrazClick();
    void Tl_ZpetClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    THlavni* m_hlavni;
    plat::TBookmark m_zalozka = 0;
    bool m_shown = false;
};

// Akce_HledatZaznam.
void ShowHledat(THlavni* hlavni);
