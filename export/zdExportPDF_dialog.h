#pragma once
// The PDF export's settings dialog: four tabs (export, information,
// security, viewer). It shows a filter's settings and writes them back
// only when confirmed.

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class TzdPDFExport;

class TzdPDFExportDialog : public QDialog {
public:
    explicit TzdPDFExportDialog(QWidget* parent = nullptr);
    ~TzdPDFExportDialog() override;

    // The controls from the filter's settings.
    void Fill(const TzdPDFExport& Export);
    // The controls into the filter's settings (Quality raises EConvertError
    // for a text that is no number).
    void Apply(TzdPDFExport& Export) const;

    // Typing a range chooses it.
    void PageNumbersEChange();

    QTabWidget* PageControl1;
    QWidget* ExportPage;
    QWidget* InfoPage;
    QWidget* SecurityPage;
    QWidget* ViewerPage;
    QRadioButton* AllRB;
    QRadioButton* CurPageRB;
    QRadioButton* PageNumbersRB;
    QLineEdit* PageNumbersE;
    QCheckBox* PDFACB;
    QCheckBox* EmbeddedCB;
    QCheckBox* PrintOptCB;
    QCheckBox* OutlineCB;
    QCheckBox* BackgrCB;
    QCheckBox* TransparentCB;
    QLineEdit* Quality;
    QCheckBox* OpenCB;
    QLineEdit* TitleE;
    QLineEdit* AuthorE;
    QLineEdit* SubjectE;
    QLineEdit* KeywordsE;
    QLineEdit* CreatorE;
    QLineEdit* ProducerE;
    QLineEdit* OwnPassE;
    QLineEdit* UserPassE;
    QCheckBox* PrintCB;
    QCheckBox* ModCB;
    QCheckBox* CopyCB;
    QCheckBox* AnnotCB;
    QCheckBox* HideToolbarCB;
    QCheckBox* HideMenubarCB;
    QCheckBox* HideWindowUICB;
    QCheckBox* FitWindowCB;
    QCheckBox* CenterWindowCB;
    QCheckBox* PrintScalingCB;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // PDF/A files are never encrypted: the passwords wait while it is checked.
    void updatePasswords();
};
