#pragma once
// The print dialog: printer, pages, copies, odd or even pages, order,
// duplex and print mode of one print. It selects the printer in the
// process-wide list at once (a cancelled dialog puts the old one back) and
// writes the other choices into the print options when confirmed.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace zd {
struct PrintSettings;
}

class TzdPrintDialog : public QDialog {
public:
    // ShownPageNo: the page the preview shows (0 without a preview).
    TzdPrintDialog(zd::PrintSettings& Options, int ShownPageNo, QWidget* parent = nullptr);
    ~TzdPrintDialog() override;

    // Shows the dialog modally; 1 when confirmed (the options then hold the
    // choices and the printer may have an output file), else 2.
    int Execute();

    int DuplexMode = 0;       // 0 default, 1 vertical, 2 horizontal, 3 simplex
    int SavedPrinterIndex = -1;

    // The steps of the form, public for its tests.
    void FormShow();
    int FormHide(int ModalResult);
    void PrintersCBClick();
    void PrintModeCBClick();
    void PropButtonClick();

protected:
    // F1 opens the library's help for the dialog.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int paperPosition(int paper) const;
    void fillPapers();
    void writeOptions();

    zd::PrintSettings& m_options;
    int m_shownPageNo;

    QComboBox* PrintersCB;
    QLabel* WhereL1;
    QCheckBox* FileCB;
    QRadioButton* AllRB;
    QRadioButton* CurPageRB;
    QRadioButton* PageNumbersRB;
    QLineEdit* PageNumbersE;
    QSpinBox* UpDown1; // its edit is CopiesE
    QCheckBox* CollateCB;
    QWidget* CopiesPB;
    QComboBox* PrintPagesCB;
    QComboBox* OrderCB;
    QComboBox* DuplexCB;
    QComboBox* PrintModeCB;
    QComboBox* PagPageSizeCB;
};
