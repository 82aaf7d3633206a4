#pragma once
// The password dialog of a protected report file: the caller shows it
// modally and takes PasswordE's text after OK.

#include <QDialog>

class QLineEdit;

class TzdPasswordForm : public QDialog {
public:
    explicit TzdPasswordForm(QWidget* parent = nullptr);
    QLineEdit* PasswordE;
};
