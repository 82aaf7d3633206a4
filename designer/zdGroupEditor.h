#pragma once
// The group dialog: a group header's break condition (a dataset field or an
// expression) and its group options.

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TzdGroupHeader;
class TzdReport;

namespace zd::group {

struct Fields {
    bool ByField = true;
    QString DataSet; // alias
    QString Field;
    QString Expression;
    bool KeepTogether = false;
    bool StartNewPage = false;
    bool Outline = false;
    bool DrillDown = false;
    bool ResetPageNumbers = false;
};

// The report's datasets by alias, all kinds.
QStringList datasets(TzdReport* Report);
// The fields of the report's dataset of that alias; none for an unknown one.
QStringList fields(TzdReport* Report, const QString& Alias);
// What the dialog shows for the header.
Fields load(TzdGroupHeader* Header);
// OK: the condition from the field or the expression, the options, and the
// outline text (the condition when ticked, else empty).
void apply(TzdGroupHeader* Header, const Fields& F);

} // namespace zd::group

class TzdGroupEditorForm : public QDialog {
public:
    explicit TzdGroupEditorForm(QWidget* parent = nullptr);

    void SetHeader(TzdGroupHeader* Header);
    zd::group::Fields fields() const;

    QLabel *BreakOnL, *OptionsL;
    QRadioButton *DataFieldRB, *ExpressionRB;
    QComboBox *DataSetCB, *DataFieldCB;
    QLineEdit* ExpressionE;
    QToolButton* ExpressionB;
    QCheckBox *KeepGroupTogetherCB, *StartNewPageCB, *OutlineCB, *DrillCB, *ResetCB;
    QPushButton *OKB, *CancelB;

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateControls();
    void loadFields();

    TzdGroupHeader* m_header = nullptr;
};
