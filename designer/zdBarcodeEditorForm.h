#pragma once
// The barcode editor dialog: the expression, symbology, checksum, text,
// zoom and rotation of a linear barcode object, with a sample of the chosen
// symbology. The fields are read and written through
// TzdBarcodeEditorValues, which checks every field before the object
// changes; a bad field keeps the dialog open.

#include <QDialog>
#include <QImage>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;
class TzdBarCodeView;

class TzdBarcodeEditorForm : public QDialog {
public:
    explicit TzdBarcodeEditorForm(QWidget* parent = nullptr);

    // Fills the controls from the object (FormShow).
    void SetBarcode(TzdBarCodeView* Barcode);
    // The sample as last drawn.
    const QImage& SampleImage() const { return m_sample; }

    QLabel *CodeLbl, *TypeLbl, *ZoomLbl;
    QLineEdit* CodeE;
    QToolButton* CodeExprB;
    QComboBox* TypeCB;
    QGroupBox *OptionsLbl, *RotationLbl;
    QCheckBox *CalcCheckSumCB, *ViewTextCB;
    QLineEdit* ZoomE;
    QSpinBox* UpDown1;
    QRadioButton *Rotation0RB, *Rotation90RB, *Rotation180RB, *Rotation270RB;
    QLabel* ExamplePB;
    QPushButton *OkB, *CancelB;

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int rotation() const;
    void drawSample();
    void exprClicked();

    TzdBarCodeView* m_barcode = nullptr;
    QImage m_sample;
    bool m_filling = false;
};
