#pragma once
// The dot-matrix export's settings: printer, printer commands, copies, pages
// and the export's options. Choosing a printer makes it the current one at
// once; anything but OK puts the one current at opening back.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class TzdDotMatrixExport;

class TzdDMPExportDialog : public QDialog {
public:
    // ReportCopies: the copies of the report's print options.
    TzdDMPExportDialog(TzdDotMatrixExport& Export, int ReportCopies, QWidget* parent = nullptr);
    ~TzdDMPExportDialog() override;

    // Fills, shows modally and applies: 1 when confirmed, else 2.
    int Execute();

    // The steps of the form, public for its tests.
    void FormShow();
    // Writes the choices into the export on 1; the save dialog's Cancel
    // turns 1 into 2.
    int FormHide(int ModalResult);
    void PrinterCBClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TzdDotMatrixExport& m_export;
    int m_reportCopies;
    int m_savedPrinter = -1;

    QComboBox* PrinterCB;
    QComboBox* EscCB;
    QSpinBox* CopiesUD; // its edit is CopiesE
    QRadioButton* AllRB;
    QRadioButton* CurPageRB;
    QRadioButton* PageNumbersRB;
    QLineEdit* RangeE;
    QCheckBox* SaveToFileCB;
    QCheckBox* PageBreaksCB;
    QCheckBox* OemCB;
    QCheckBox* PseudoCB;
};
