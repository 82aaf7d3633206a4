#pragma once
// The page settings dialog of the preview: paper size, orientation and
// margins of one prepared page, for that page or for every page of the
// report. Sizes show in the designer's display unit (centimetres or
// inches) and are stored in millimetres; a field left as shown keeps the
// page's exact value. Choosing a paper sets the shared printer's view
// paper, which Cancel puts back.

#include "Papers.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TzdReport;
class TzdReportPage;

class TzdPageSettingsForm : public QDialog {
public:
    explicit TzdPageSettingsForm(QWidget* parent = nullptr);
    ~TzdPageSettingsForm() override;

    TzdReportPage* Page = nullptr;
    TzdReport* Report = nullptr;
    // 1: inches; 0, 2 and 3: centimetres. Read from the report's settings
    // when the dialog is shown, unless set before (>= 0).
    int Units = -1;
    bool ApplyToAll() const;

    QGroupBox* SizeL;
    QLabel *WidthL, *HeightL, *UnitL1, *UnitL2;
    QLineEdit *WidthE, *HeightE;
    QComboBox* SizeCB;
    QGroupBox* OrientationL;
    QRadioButton *PortraitRB, *LandscapeRB;
    QLabel *PortraitImg, *LandscapeImg;
    QGroupBox* MarginsL;
    QLabel *LeftL, *TopL, *RightL, *BottomL, *UnitL3, *UnitL4, *UnitL5, *UnitL6;
    QLineEdit *MarginLeftE, *MarginTopE, *MarginRightE, *MarginBottomE;
    QGroupBox* OtherL;
    QRadioButton *ApplyToCurRB, *ApplyToAllRB;
    QPushButton *OKB, *CancelB;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Shown;
    void fill();
    void orientationClicked();
    void paperChanged();
    void sizeTyped();
    // The field's value in millimetres: the exact value shown when the text
    // is unchanged, else the typed text converted; nothing when unreadable.
    bool valueOf(QLineEdit* edit, long double& mm) const;
    void showValue(QLineEdit* edit, long double mm);
    QString unitText(long double mm) const;

    std::unique_ptr<Shown> m_shown;
    bool m_updating = false;
    bool m_printerSaved = false;
    int m_savedPaper = 0;
    long double m_savedWidth = 0, m_savedHeight = 0;
    plat::TPrinterOrientation m_savedOrientation = plat::poPortrait;
};

// The designer's find (and replace) dialog. The last text searched for is
// shared by every instance for the whole run.
class QCheckBox;
class QWidget;

class TzdSearchDialog : public QDialog {
public:
    explicit TzdSearchDialog(QWidget* parent = nullptr);

    QWidget* Panel2;
    QLabel* TextL;
    QLineEdit* TextE;
    QWidget* ReplacePanel;
    QLabel* ReplaceL;
    QLineEdit* ReplaceE;
    QWidget* Panel3;
    QGroupBox* SearchL;
    QCheckBox* TopCB;
    QCheckBox* CaseCB;
    QPushButton* OkB;
    QPushButton* CancelB;

    static QString& LastText();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
