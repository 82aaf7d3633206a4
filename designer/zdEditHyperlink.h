#pragma once
// The hyperlink dialog: what a click on a view in the preview does (open an
// address, go to a page or an anchor, build a detail report or page, or a
// custom action). The fields of each kind live on their own panel; OK
// stores the chosen kind's fields and leaves the others as they were.

#include "zdClass_view.h"

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
class TzdReport;

namespace zd::hyperlink {

// What the dialog's fields hold when OK is pressed.
struct Fields {
    TzdHyperlinkKind Kind = hkURL;
    QString Value;
    QString Expression;
    QString DetailReport;   // report kind
    QString DetailPage;     // report page kind
    QString ReportVariable; // report and report page kinds
    bool ModifyAppearance = false;
};

// The report's variable names that are not category headings.
QStringList variableNames(TzdReport* Report);
// The variables of a report file; empty when the file cannot be loaded.
QStringList reportFileVariables(const QString& FileName);
// The report's report pages other than CurrentPage.
QStringList pageNames(TzdReport* Report, const TzdComponent* CurrentPage);
// OK: the chosen kind's fields into Result; a detail page is hidden (it
// prints only as the target of a click); with ModifyAppearance the view
// gets the hand cursor and a text object a navy underlined font.
void apply(TzdView* View, TzdHyperlink& Result, const Fields& F);

} // namespace zd::hyperlink

class TzdHyperlinkEditorForm : public QDialog {
public:
    explicit TzdHyperlinkEditorForm(QWidget* parent = nullptr);

    // Fills the dialog from the view's hyperlink (FormShow).
    void SetView(TzdView* View, const TzdHyperlink& Hyperlink);
    zd::hyperlink::Fields fields() const;

    QGroupBox* KindGB;
    QRadioButton *UrlRB, *PageNumberRB, *AnchorRB, *ReportRB, *ReportPageRB, *CustomRB;
    QGroupBox* PropertiesGB;
    QLabel *Hint1L, *Hint2L;
    QWidget *UrlP, *PageNumberP, *AnchorP, *ReportP, *ReportPageP, *CustomP;
    QLineEdit *UrlE, *UrlExprE, *PageNumberE, *PageNumberExprE, *AnchorE, *AnchorExprE;
    QLineEdit *ReportNameE, *ReportValueE, *ReportExprE;
    QToolButton* ReportNameB;
    QComboBox *ReportParamCB, *ReportPageCB, *ReportPageParamCB;
    QLineEdit *ReportPageValueE, *ReportPageExprE, *CustomE, *CustomExprE;
    QCheckBox* ModifyAppearanceCB;
    QPushButton *OKB, *CancelB;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TzdHyperlinkKind kind() const;
    void updateControls();
    void chooseReportFile();
    QWidget* exprField(QWidget* panel, QLineEdit* edit);

    TzdView* m_view = nullptr;
};
