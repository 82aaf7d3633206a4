#pragma once
// The filter dialog "Filtr": restricts the table's view to an id range or
// to the records whose chosen field contains a text.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class THlavni;

namespace zd {
class TRadioGroup;
}

class TFiltrZaznamu : public QDialog {
public:
    explicit TFiltrZaznamu(THlavni* hlavni);
    ~TFiltrZaznamu() override;

    zd::TRadioGroup* VybranePole = nullptr;
    QLabel* PopiskaVyrazu = nullptr;
    QLineEdit* PodminkaFiltru = nullptr;
    QLineEdit* Ed_RozsahOd = nullptr;
    QLineEdit* Ed_RozsahDo = nullptr;
    QPushButton* Tl_Filtr = nullptr;
    QPushButton* Tl_Storno = nullptr;

    void FormShow();
    void VybranePoleClick();
    void Tl_FiltrClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyFilter(const QString& condition);
    THlavni* m_hlavni;
    bool m_shown = false;
};

// Akce_Filtr.
void ShowFiltrZaznamu(THlavni* hlavni);
