#pragma once
// The record dialog: a new record ("Nový záznam") or the current one
// ("Editace aktuálního záznamu"); the caption carries the mode. "OK" stores
// and keeps the dialog open; the toolbar stores the record shown and moves.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QToolButton;
class THlavni;

namespace zd {
class TPravidlaKodu;
}

class TNovyEdit : public QDialog {
public:
    static const QString& NovyZaznam();        // "Nový záznam"
    static const QString& EditaceZaznamu();    // "Editace aktuálního záznamu"

    // caption: the mode, as the main window's command sets it.
    TNovyEdit(THlavni* hlavni, const QString& caption);
    ~TNovyEdit() override;

    QLabel* Popiska_ID = nullptr;
    QLabel* Pole_ID = nullptr;
    QLabel* Popiska_kod = nullptr;
    QLineEdit* Ed_kod = nullptr;
    QLabel* La_Info = nullptr;
    QLabel* Popiska_pole1 = nullptr;
    QLabel* Popiska_pole2 = nullptr;
    QLabel* Popiska_pole3 = nullptr;
    QLabel* Popiska_pole4 = nullptr;
    QLineEdit* Ed_pole1 = nullptr;
    QLineEdit* Ed_pole2 = nullptr;
    QLineEdit* Ed_pole3 = nullptr;
    QLineEdit* Ed_pole4 = nullptr;
    QLabel* Pocitadlo = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* TB_PrvniZaznam = nullptr;
    QToolButton* TB_PredchazejiciZaznam = nullptr;
    QToolButton* TB_NasledujiciZaznam = nullptr;
    QToolButton* TB_PosledniZaznam = nullptr;
    QToolButton* TB_NovyZaznam = nullptr;
    QPushButton* Tl_OK = nullptr;
    QPushButton* Tl_Storno = nullptr;
    // The code's length and character rules, on Ed_kod.
    zd::TPravidlaKodu* PravidlaKodu = nullptr;

    bool NovyRezim() const;
    void FormShow();
    void NacistZaznam();
    // Stores the typed record; false when the code breaks its rules (the
    // user is told and nothing is stored).
    bool UlozitZaznam();
    void Tl_OKClick();
    void TB_PrvniZaznamClick();
    void TB_PredchazejiciZaznamClick();
    void TB_NasledujiciZaznamClick();
    void TB_PosledniZaznamClick();
    void TB_NovyZaznamClick();
    // The dialog's own keys; true when the key was used.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void navigate(QAction* action);
    THlavni* m_hlavni;
    bool m_shown = false;
};

// Akce_NovyZaznam / Akce_EditZaznamu: the dialog with that caption, modal.
void ShowNovyEdit(THlavni* hlavni, const QString& caption);
