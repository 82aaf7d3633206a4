#pragma once
// The find panel the preview docks at its right edge: the text, three
// options and the Find button above the tree of results of "find all".

#include <QWidget>

#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class TzdSearchForm : public QWidget {
public:
    explicit TzdSearchForm(QWidget* parent = nullptr);

    QLabel* lblFind;
    QLineEdit* edtFind;
    QGroupBox* gbSearch;
    QCheckBox* chkBeg;
    QCheckBox* chkCase;
    QCheckBox* chkFindAll;
    QPushButton* btnFind;
    QTreeWidget* trvFind;

    // Ctrl+F inside the panel: the owner hides it.
    std::function<void()> OnToggle;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void findAllClicked();
};
