#pragma once
// Asks what to do when a report and the report it inherits from hold
// objects of the same names: delete the duplicates (the choice at start)
// or rename them. The report reads DeleteRB after OK.

#include <QDialog>

class QRadioButton;

class TzdInheritErrorForm : public QDialog {
public:
    explicit TzdInheritErrorForm(QWidget* parent = nullptr);
    QRadioButton* DeleteRB;
    QRadioButton* RenameRB;
};
