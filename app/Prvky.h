#pragma once
// Small controls the application's dialogs share: the digits-only key
// filter of number edits, the up-down control joined to its edit, and the
// radio group of field names.

#include <QGroupBox>
#include <QString>
#include <QValidator>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class QLineEdit;
class QRadioButton;
class QToolButton;

namespace zd {

// The edit takes only backspace, the full stop and the digits 0 to 9 of the
// characters typed; any other character sounds the beep and is dropped.
// Keys that type nothing (arrows, Delete, shortcuts) pass.
void JenCisliceATecka(QLineEdit* edit);

// The rules of a code the user puts into an edit: at most maxLength
// characters and, with digitsOnly, only the digits 0 to 9 and the full stop.
// They hold for whatever the user enters, typed, pasted or dropped: refused
// characters are dropped with the beep, and what does not fit is cut off.
// Text that the program shows (a stored record) is shown as it is.
class TPravidlaKodu : public QValidator {
public:
    // Installs itself on the edit, which it leaves without a length limit of
    // its own.
    TPravidlaKodu(QLineEdit* edit, int maxLength, bool digitsOnly);

    // Shows a stored text unchanged, outside the rules for what is entered.
    void NastavitText(const QString& text);
    // True when the text keeps the rules.
    bool Plati(const QString& text) const;

    State validate(QString& input, int& pos) const override;

private:
    QString allowed(const QString& text) const;
    QLineEdit* m_edit;
    int m_maxLength;
    bool m_digitsOnly;
    QString m_shown; // the edit's text before the change being validated
};

// An up-down control joined to an edit. Its position follows the edit's
// number while that number is valid and in range; the arrows (and the
// arrow keys in the edit) step the position and write it to the edit.
// When the edit is left, KontrolaVstupu makes the edit and the position
// agree, so the value used is always the value shown.
class TUpDown : public QWidget {
public:
    TUpDown(QLineEdit* associate, int min, int max, int position, QWidget* parent);
    ~TUpDown() override;

    QLineEdit* Associate() const { return m_edit; }
    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Position() const { return m_position; }
    // Clamps to the range and writes the edit.
    void SetPosition(int position);
    // One step as a click on an arrow: within the range; fires OnClick.
    void Click(bool up);

    // The exit check: an empty text becomes the minimum, a number outside the
    // range its nearest end; the position takes the number. A text that is
    // not a whole number raises EConvertError "'%s' is not a valid integer
    // value" and leaves the position as it was.
    void KontrolaVstupu();

    // A change through the arrows.
    std::function<void()> OnClick;
    // The edit lost the focus (the dialog runs its exit check from here).
    std::function<void()> OnExit;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void editChanged(const QString& text);
    QLineEdit* m_edit;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_min;
    int m_max;
    int m_position;
    bool m_writing = false;
};

// The radio group "Výběr pole": one item per field; ItemIndex -1 when none.
class TRadioGroup : public QGroupBox {
public:
    TRadioGroup(const QString& caption, QWidget* parent);
    void SetItems(const QStringList& items);
    QStringList Items() const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    // A click on an item (also when the selection is set in code).
    std::function<void()> OnClick;

private:
    std::vector<QRadioButton*> m_buttons;
};

// The field names of the table with the captions of "kod" and "pole1" to
// "pole4" in their place; "id" stays.
QStringList PolozkyPoli();

// Centres a window on the primary screen.
void Vycentrovat(QWidget& window);

// The client area of a fixed dialog border.
void PevnaVelikost(QWidget& window, int width, int height);

} // namespace zd
