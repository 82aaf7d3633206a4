#pragma once
// The system text dialog: the text of a system text object is a system
// variable, an aggregate over a data band, or plain text. In aggregate-only
// mode (the memo editor's "insert aggregate") only the aggregate part is
// shown. Text stays wide throughout.

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class QWidget;
class TzdComponent;
class TzdReport;

namespace zd::sysmemo {

enum Choice { chVariable, chAggregate, chText };

struct Fields {
    Choice Kind = chVariable;
    QString Variable;
    QString Function = QStringLiteral("SUM");
    QString Band;
    QString DataSet; // alias
    QString Field;
    QString Expression;
    bool CountInvisible = false;
    bool RunningTotal = false;
    QString Text;
};

// The six system variable texts.
QStringList variableTexts();
QStringList functions();
// The names of the data bands among the page's objects.
QStringList dataBands(const TzdComponent* Page);
// The alias of a band's dataset when the band has one that is not a user
// dataset; empty otherwise.
QString bandDataSet(TzdReport* Report, const QString& BandName);
// The aggregate as SUM(<Orders."Amount">,MasterData1,2).
QString aggregateText(const Fields& F);
// The dialog's result: the variable, the bracketed aggregate or the text.
QString result(const Fields& F);
// What the dialog opens on for the working text (its last line break
// already dropped).
Fields initial(const QString& Text);

} // namespace zd::sysmemo

class TzdSysMemoEditorForm : public QDialog {
public:
    explicit TzdSysMemoEditorForm(QWidget* parent = nullptr);

    // Context: any object of the report (the memo); the page gives the bands.
    void Setup(TzdComponent* Context, const QString& Text, bool AggregateOnly);
    zd::sysmemo::Fields fields() const;
    QString Result() const { return zd::sysmemo::result(fields()); }

    QGroupBox *GroupBox1, *GroupBox2;
    QRadioButton *SysVariableRB, *AggregateRB, *TextRB;
    QComboBox* SysVariableCB;
    QWidget* AggregatePanel;
    QLabel *DataBandL, *DataSetL, *DataFieldL, *FunctionL, *ExpressionL, *SampleL;
    QComboBox *DataBandCB, *DataSetCB, *DataFieldCB, *FunctionCB;
    QLineEdit* ExpressionE;
    QToolButton* ExpressionB;
    QCheckBox *CountInvisibleCB, *RunningTotalCB;
    QLineEdit* TextE;
    QPushButton *OKB, *CancelB;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void loadFields();
    void refreshSample();

    TzdComponent* m_context = nullptr;
    bool m_filling = false;
};

namespace zd::dialogs {
// The aggregate-only mode for the memo editor: on OK Text is the bracketed
// aggregate to insert at the caret.
bool InsertAggregate(TzdComponent* Memo, QString& Text);
} // namespace zd::dialogs
