#include "zdBarcodeEditorForm.h"

#include "Canvas.h"
#include "Modal.h"
#include "Services.h"
#include "zdBarcod.h"
#include "zdBarcodeEditor.h"
#include "zdBarcodeView.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdDialogsSecondHalf.h"
#include "zdDialogsSecondHalf_p.h"
#include "zdDlgUtils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

using namespace zd::dialogs::detail;

namespace {
constexpr int kSampleWidth = 253;
constexpr int kSampleHeight = 233;
const QString kSampleText = QStringLiteral("12345678");
} // namespace

TzdBarcodeEditorForm::TzdBarcodeEditorForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdBarcodeEditorForm"));
    setWindowTitle(res(3500));
    auto* top = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    top->addLayout(left);

    CodeLbl = named(new QLabel(res(3501), this), "CodeLbl");
    CodeE = named(new QLineEdit(this), "CodeE");
    CodeExprB = named(new QToolButton(this), "CodeExprB");
    CodeExprB->setText(QStringLiteral("..."));
    auto* code = new QHBoxLayout;
    code->addWidget(CodeE, 1);
    code->addWidget(CodeExprB);
    left->addWidget(CodeLbl);
    left->addLayout(code);

    TypeLbl = named(new QLabel(res(3502), this), "TypeLbl");
    TypeCB = named(new QComboBox(this), "TypeCB");
    left->addWidget(TypeLbl);
    left->addWidget(TypeCB);

    OptionsLbl = named(new QGroupBox(res(3504), this), "OptionsLbl");
    auto* options = new QGridLayout(OptionsLbl);
    CalcCheckSumCB = named(new QCheckBox(res(3506), OptionsLbl), "CalcCheckSumCB");
    ViewTextCB = named(new QCheckBox(res(3507), OptionsLbl), "ViewTextCB");
    ZoomLbl = named(new QLabel(res(3503), OptionsLbl), "ZoomLbl");
    ZoomE = named(new QLineEdit(OptionsLbl), "ZoomE");
    UpDown1 = named(new QSpinBox(OptionsLbl), "UpDown1");
    UpDown1->setRange(0, 100);
    UpDown1->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    UpDown1->setFixedWidth(18 + UpDown1->sizeHint().height());
    options->addWidget(CalcCheckSumCB, 0, 0, 1, 3);
    options->addWidget(ViewTextCB, 1, 0, 1, 3);
    options->addWidget(ZoomLbl, 2, 0);
    options->addWidget(ZoomE, 2, 1);
    options->addWidget(UpDown1, 2, 2);
    left->addWidget(OptionsLbl);

    RotationLbl = named(new QGroupBox(res(3505), this), "RotationLbl");
    auto* rotation = new QHBoxLayout(RotationLbl);
    Rotation0RB = named(new QRadioButton(res(3508), RotationLbl), "Rotation0RB");
    Rotation90RB = named(new QRadioButton(res(3509), RotationLbl), "Rotation90RB");
    Rotation180RB = named(new QRadioButton(res(3510), RotationLbl), "Rotation180RB");
    Rotation270RB = named(new QRadioButton(res(3511), RotationLbl), "Rotation270RB");
    for (QRadioButton* rb : {Rotation0RB, Rotation90RB, Rotation180RB, Rotation270RB})
        rotation->addWidget(rb);
    Rotation0RB->setChecked(true);
    left->addWidget(RotationLbl);
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    top->addLayout(right);
    ExamplePB = named(new QLabel(this), "ExamplePB");
    ExamplePB->setFixedSize(kSampleWidth, kSampleHeight);
    right->addWidget(ExamplePB);
    right->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OkB"), QStringLiteral("CancelB")));
    OkB = findChild<QPushButton*>(QStringLiteral("OkB"));
    CancelB = findChild<QPushButton*>(QStringLiteral("CancelB"));
    connect(CodeExprB, &QToolButton::clicked, this, [this] { exprClicked(); });
    connect(UpDown1, &QSpinBox::valueChanged, this, [this](int v) {
        if (!m_filling)
            ZoomE->setText(QString::number(v));
    });
    connect(TypeCB, &QComboBox::currentIndexChanged, this, [this] { drawSample(); });
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{CalcCheckSumCB, ViewTextCB, Rotation0RB,
                                                                      Rotation90RB, Rotation180RB, Rotation270RB})
        connect(b, &QAbstractButton::toggled, this, [this] { drawSample(); });
}

void TzdBarcodeEditorForm::SetBarcode(TzdBarCodeView* Barcode)
{
    m_barcode = Barcode;
    TzdBarcodeEditorValues values;
    values.Load(*Barcode);
    m_filling = true;
    TypeCB->clear();
    TypeCB->addItems(values.Types);
    CodeE->setText(values.Expression);
    TypeCB->setCurrentIndex(values.TypeIndex);
    CalcCheckSumCB->setChecked(values.CalcCheckSum);
    ViewTextCB->setChecked(values.ShowText);
    ZoomE->setText(values.Zoom);
    UpDown1->setValue(int(Barcode->Zoom));
    switch (values.Rotation) {
    case 90: Rotation90RB->setChecked(true); break;
    case 180: Rotation180RB->setChecked(true); break;
    case 270: Rotation270RB->setChecked(true); break;
    default: Rotation0RB->setChecked(true); break;
    }
    m_filling = false;
    drawSample();
}

int TzdBarcodeEditorForm::rotation() const
{
    if (Rotation90RB->isChecked())
        return 90;
    if (Rotation180RB->isChecked())
        return 180;
    if (Rotation270RB->isChecked())
        return 270;
    return 0;
}

void TzdBarcodeEditorForm::drawSample()
{
    if (m_filling)
        return;
    m_sample = QImage(kSampleWidth, kSampleHeight, QImage::Format_RGB32);
    m_sample.fill(Qt::white);
    if (TypeCB->currentIndex() >= 0) {
        // A symbology that cannot encode the sample text just shows none.
        try {
            plat::TCanvas canvas(&m_sample);
            TzdBarcode encoder;
            encoder.SetTyp(static_cast<TzdBarcodeType>(TypeCB->currentIndex()));
            encoder.SetText(kSampleText);
            encoder.SetAngle(rotation());
            encoder.SetChecksum(CalcCheckSumCB->isChecked());
            encoder.DrawBarcode(canvas, plat::TRect(40, 20, kSampleWidth - 40, 200), ViewTextCB->isChecked(), 1, 1);
        } catch (const plat::Exception&) {
            m_sample.fill(Qt::white);
        }
    }
    ExamplePB->setPixmap(QPixmap::fromImage(m_sample));
}

void TzdBarcodeEditorForm::exprClicked()
{
    TzdReport* report = m_barcode ? m_barcode->GetReport() : nullptr;
    TzdCustomDesigner* designer = report ? report->Designer() : nullptr;
    if (!designer)
        return;
    guarded([&] {
        const QString s = designer->EditExpression(CodeE->text());
        if (!s.isEmpty())
            CodeE->setText(s);
    });
}

void TzdBarcodeEditorForm::done(int result)
{
    if (result == QDialog::Accepted && m_barcode) {
        TzdBarcodeEditorValues values;
        values.Load(*m_barcode);
        values.Expression = CodeE->text();
        values.TypeIndex = TypeCB->currentIndex();
        values.CalcCheckSum = CalcCheckSumCB->isChecked();
        values.ShowText = ViewTextCB->isChecked();
        values.Zoom = ZoomE->text();
        values.Rotation = rotation();
        if (!guarded([&] { values.Store(*m_barcode); })) {
            ZoomE->setFocus();
            return;
        }
    }
    QDialog::done(result);
}

void TzdBarcodeEditorForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdBarcodeEditorForm"));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool zd::dialogs::EditBarcode(TzdComponent* Barcode)
{
    auto* view = dynamic_cast<TzdBarCodeView*>(Barcode);
    if (!view)
        return false;
    TzdBarcodeEditorForm form(plat::HasServices() ? plat::Services().DialogParent() : nullptr);
    form.SetBarcode(view);
    return plat::ExecModal(form) == QDialog::Accepted;
}
