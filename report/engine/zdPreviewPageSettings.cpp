#include "zdPreviewPageSettings.h"

#include "Exceptions.h"
#include "IniFiles.h"
#include "Services.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdPrinter.h"
#include "zdRes.h"
#include "zdUtils.h"

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
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include <cmath>

#include <map>

namespace {

constexpr int kUserPaper = 256; // DMPAPER_USER
constexpr long double kMMPerInch = 25.4L;
constexpr long double kMMPerCm = 10;

template <class T>
T* named(T* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace

struct TzdPageSettingsForm::Shown {
    std::map<QLineEdit*, std::pair<QString, long double>> values; // text shown, exact millimetres
};

TzdPageSettingsForm::TzdPageSettingsForm(QWidget* parent) : QDialog(parent), m_shown(std::make_unique<Shown>())
{
    setObjectName(QStringLiteral("zdPageSettingsForm"));
    setWindowTitle(zdGetResText(400));
    auto* layout = new QVBoxLayout(this);

    SizeL = named(new QGroupBox(zdGetResText(403), this), "SizeL");
    auto* size = new QGridLayout(SizeL);
    SizeCB = named(new QComboBox(SizeL), "SizeCB");
    WidthL = named(new QLabel(zdGetResText(401), SizeL), "WidthL");
    HeightL = named(new QLabel(zdGetResText(402), SizeL), "HeightL");
    WidthE = named(new QLineEdit(SizeL), "WidthE");
    HeightE = named(new QLineEdit(SizeL), "HeightE");
    UnitL1 = named(new QLabel(SizeL), "UnitL1");
    UnitL2 = named(new QLabel(SizeL), "UnitL2");
    size->addWidget(SizeCB, 0, 0, 1, 3);
    size->addWidget(WidthL, 1, 0);
    size->addWidget(WidthE, 1, 1);
    size->addWidget(UnitL1, 1, 2);
    size->addWidget(HeightL, 2, 0);
    size->addWidget(HeightE, 2, 1);
    size->addWidget(UnitL2, 2, 2);
    layout->addWidget(SizeL);

    OrientationL = named(new QGroupBox(zdGetResText(404), this), "OrientationL");
    auto* orientation = new QHBoxLayout(OrientationL);
    PortraitRB = named(new QRadioButton(zdGetResText(410), OrientationL), "PortraitRB");
    LandscapeRB = named(new QRadioButton(zdGetResText(411), OrientationL), "LandscapeRB");
    PortraitRB->setChecked(true);
    PortraitImg = named(new QLabel(QStringLiteral("▯"), OrientationL), "PortraitImg");
    LandscapeImg = named(new QLabel(QStringLiteral("▭"), OrientationL), "LandscapeImg");
    orientation->addWidget(PortraitRB);
    orientation->addWidget(LandscapeRB);
    orientation->addWidget(PortraitImg);
    orientation->addWidget(LandscapeImg);
    layout->addWidget(OrientationL);

    MarginsL = named(new QGroupBox(zdGetResText(409), this), "MarginsL");
    auto* margins = new QGridLayout(MarginsL);
    LeftL = named(new QLabel(zdGetResText(405), MarginsL), "LeftL");
    TopL = named(new QLabel(zdGetResText(406), MarginsL), "TopL");
    RightL = named(new QLabel(zdGetResText(407), MarginsL), "RightL");
    BottomL = named(new QLabel(zdGetResText(408), MarginsL), "BottomL");
    MarginLeftE = named(new QLineEdit(MarginsL), "MarginLeftE");
    MarginTopE = named(new QLineEdit(MarginsL), "MarginTopE");
    MarginRightE = named(new QLineEdit(MarginsL), "MarginRightE");
    MarginBottomE = named(new QLineEdit(MarginsL), "MarginBottomE");
    UnitL3 = named(new QLabel(MarginsL), "UnitL3");
    UnitL4 = named(new QLabel(MarginsL), "UnitL4");
    UnitL5 = named(new QLabel(MarginsL), "UnitL5");
    UnitL6 = named(new QLabel(MarginsL), "UnitL6");
    QLabel* labels[] = {LeftL, TopL, RightL, BottomL};
    QLineEdit* edits[] = {MarginLeftE, MarginTopE, MarginRightE, MarginBottomE};
    QLabel* units[] = {UnitL3, UnitL4, UnitL5, UnitL6};
    for (int i = 0; i < 4; ++i) {
        margins->addWidget(labels[i], i / 2, (i % 2) * 3);
        margins->addWidget(edits[i], i / 2, (i % 2) * 3 + 1);
        margins->addWidget(units[i], i / 2, (i % 2) * 3 + 2);
    }
    layout->addWidget(MarginsL);

    OtherL = named(new QGroupBox(zdGetResText(412), this), "OtherL");
    auto* other = new QVBoxLayout(OtherL);
    ApplyToCurRB = named(new QRadioButton(zdGetResText(413), OtherL), "ApplyToCurRB");
    ApplyToAllRB = named(new QRadioButton(zdGetResText(414), OtherL), "ApplyToAllRB");
    ApplyToCurRB->setChecked(true);
    other->addWidget(ApplyToCurRB);
    other->addWidget(ApplyToAllRB);
    layout->addWidget(OtherL);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    OKB = named(new QPushButton(zdGetResText(1), this), "OKB");
    OKB->setDefault(true);
    CancelB = named(new QPushButton(zdGetResText(2), this), "CancelB");
    buttons->addWidget(OKB);
    buttons->addWidget(CancelB);
    layout->addLayout(buttons);
    connect(OKB, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QPushButton::clicked, this, &QDialog::reject);
    connect(PortraitRB, &QRadioButton::clicked, this, [this] { orientationClicked(); });
    connect(LandscapeRB, &QRadioButton::clicked, this, [this] { orientationClicked(); });
    connect(SizeCB, &QComboBox::currentIndexChanged, this, [this] { paperChanged(); });
    connect(WidthE, &QLineEdit::textEdited, this, [this] { sizeTyped(); });
    connect(HeightE, &QLineEdit::textEdited, this, [this] { sizeTyped(); });
}

TzdPageSettingsForm::~TzdPageSettingsForm() = default;

bool TzdPageSettingsForm::ApplyToAll() const
{
    return ApplyToAllRB->isChecked();
}

QString TzdPageSettingsForm::unitText(long double mm) const
{
    return zdFloatToDisplayStr(Units == 1 ? mm / kMMPerInch : mm / kMMPerCm);
}

void TzdPageSettingsForm::showValue(QLineEdit* edit, long double mm)
{
    const QString text = unitText(mm);
    edit->setText(text);
    m_shown->values[edit] = {text, mm};
}

bool TzdPageSettingsForm::valueOf(QLineEdit* edit, long double& mm) const
{
    auto it = m_shown->values.find(edit);
    if (it != m_shown->values.end() && it->second.first == edit->text()) {
        mm = it->second.second;
        return true;
    }
    try {
        const long double v = zdParseFloat(edit->text());
        mm = Units == 1 ? v * kMMPerInch : v * kMMPerCm;
        return std::isfinite(double(mm));
    } catch (const plat::Exception&) {
        return false;
    }
}

void TzdPageSettingsForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    fill();
}

void TzdPageSettingsForm::fill()
{
    if (!Page)
        return;
    const QScopedValueRollback guard(m_updating, true);
    if (Units < 0) {
        Units = 0;
        if (Report)
            if (auto settings = Report->OpenSettingsFile())
                Units = settings->ReadInteger(QStringLiteral("Form5.TzdDesignerForm"), QStringLiteral("Units"), 0);
    }
    const QString unit = zdGetResources()->GetText(Units == 1 ? QStringLiteral("uInch") : QStringLiteral("uCm"));
    for (QLabel* l : {UnitL1, UnitL2, UnitL3, UnitL4, UnitL5, UnitL6})
        l->setText(unit);
    SizeCB->clear();
    TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
    if (printer) {
        m_printerSaved = true;
        m_savedPaper = printer->Paper();
        m_savedWidth = printer->PaperWidth();
        m_savedHeight = printer->PaperHeight();
        m_savedOrientation = printer->Orientation();
        for (int i = 0; i < printer->PaperList().Count(); ++i)
            SizeCB->addItem(printer->PaperList().Strings(i));
        int index = printer->IndexOfPaper(Page->PaperSize());
        if (index < 0)
            index = printer->IndexOfPaper(kUserPaper);
        SizeCB->setCurrentIndex(index);
    }
    showValue(WidthE, Page->PaperWidth());
    showValue(HeightE, Page->PaperHeight());
    showValue(MarginLeftE, Page->LeftMargin);
    showValue(MarginTopE, Page->TopMargin);
    showValue(MarginRightE, Page->RightMargin);
    showValue(MarginBottomE, Page->BottomMargin);
    (Page->Orientation() == plat::poLandscape ? LandscapeRB : PortraitRB)->setChecked(true);
    orientationClicked();
}

void TzdPageSettingsForm::orientationClicked()
{
    PortraitImg->setVisible(PortraitRB->isChecked());
    LandscapeImg->setVisible(LandscapeRB->isChecked());
    paperChanged();
}

void TzdPageSettingsForm::paperChanged()
{
    TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
    if (!printer || m_updating)
        return;
    const QScopedValueRollback guard(m_updating, true);
    const int number = printer->PaperNameToNumber(SizeCB->currentText());
    long double w = 0, h = 0;
    if (!valueOf(WidthE, w) || !valueOf(HeightE, h))
        return;
    const auto orientation = LandscapeRB->isChecked() ? plat::poLandscape : plat::poPortrait;
    // A size of the user's own is passed turned; the printer keeps it.
    if (number == kUserPaper)
        printer->SetViewParameters(number, h, w, orientation);
    else
        printer->SetViewParameters(number, w, h, orientation);
    showValue(WidthE, printer->PaperWidth());
    showValue(HeightE, printer->PaperHeight());
}

void TzdPageSettingsForm::sizeTyped()
{
    if (m_updating)
        return;
    const QScopedValueRollback guard(m_updating, true);
    SizeCB->setCurrentIndex(0);
}

void TzdPageSettingsForm::done(int result)
{
    if (result == QDialog::Accepted && Page) {
        long double w = 0, h = 0, m[4] = {0, 0, 0, 0};
        QLineEdit* margins[] = {MarginLeftE, MarginTopE, MarginRightE, MarginBottomE};
        bool ok = valueOf(WidthE, w) && valueOf(HeightE, h) && w > 0 && h > 0;
        for (int i = 0; i < 4 && ok; ++i)
            ok = valueOf(margins[i], m[i]) && m[i] >= 0;
        if (!ok) {
            // Nothing changes until the sizes are usable.
            plat::Services().MessageBox(zdGetResources()->GetText(QStringLiteral("clInvalidPageSize")),
                                        zdGetResources()->GetText(QStringLiteral("mbError")),
                                        plat::MB_OK | plat::MB_ICONERROR);
            return;
        }
        TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
        Page->SetOrientation(LandscapeRB->isChecked() ? plat::poLandscape : plat::poPortrait);
        Page->SetPaperWidth(w);
        Page->SetPaperHeight(h);
        if (printer)
            Page->SetPaperSize(printer->PaperNameToNumber(SizeCB->currentText()));
        // A listed paper brings its own sizes; a kept field keeps the page's.
        Page->SetPaperWidth(w);
        Page->SetPaperHeight(h);
        Page->LeftMargin = m[0];
        Page->TopMargin = m[1];
        Page->RightMargin = m[2];
        Page->BottomMargin = m[3];
        if (ApplyToCurRB->isChecked())
            Page->AlignChildren();
    } else if (m_printerSaved) {
        if (TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter())
            printer->SetViewParameters(m_savedPaper, m_savedWidth, m_savedHeight, m_savedOrientation);
    }
    QDialog::done(result);
}

void TzdPageSettingsForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdPageSettingsForm"));
        return;
    }
    QDialog::keyPressEvent(event);
}

// ---------------------------------------------------------------------------
// The find dialog

QString& TzdSearchDialog::LastText()
{
    static QString text;
    return text;
}

TzdSearchDialog::TzdSearchDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdSearchDialog"));
    setWindowTitle(zdGetResText(300));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Panel2 = named(new QWidget(this), "Panel2");
    auto* p2 = new QHBoxLayout(Panel2);
    TextL = named(new QLabel(zdGetResText(301), Panel2), "TextL");
    TextE = named(new QLineEdit(Panel2), "TextE");
    p2->addWidget(TextL);
    p2->addWidget(TextE, 1);
    ReplacePanel = named(new QWidget(this), "ReplacePanel");
    auto* rp = new QHBoxLayout(ReplacePanel);
    ReplaceL = named(new QLabel(zdGetResText(303), ReplacePanel), "ReplaceL");
    ReplaceE = named(new QLineEdit(ReplacePanel), "ReplaceE");
    rp->addWidget(ReplaceL);
    rp->addWidget(ReplaceE, 1);
    ReplacePanel->hide();
    Panel3 = named(new QWidget(this), "Panel3");
    auto* p3 = new QHBoxLayout(Panel3);
    SearchL = named(new QGroupBox(zdGetResText(302), Panel3), "SearchL");
    auto* options = new QVBoxLayout(SearchL);
    TopCB = named(new QCheckBox(zdGetResText(304), SearchL), "TopCB");
    CaseCB = named(new QCheckBox(zdGetResText(305), SearchL), "CaseCB");
    options->addWidget(TopCB);
    options->addWidget(CaseCB);
    auto* buttons = new QVBoxLayout;
    OkB = named(new QPushButton(zdGetResText(1), Panel3), "OkB");
    OkB->setDefault(true);
    CancelB = named(new QPushButton(zdGetResText(2), Panel3), "CancelB");
    buttons->addWidget(OkB);
    buttons->addWidget(CancelB);
    buttons->addStretch(1);
    p3->addWidget(SearchL, 1);
    p3->addLayout(buttons);
    layout->addWidget(Panel2);
    layout->addWidget(ReplacePanel);
    layout->addWidget(Panel3);
    connect(OkB, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QPushButton::clicked, this, &QDialog::reject);
}

void TzdSearchDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    TextE->setText(LastText());
    TextE->setFocus();
    TextE->selectAll();
}

void TzdSearchDialog::done(int result)
{
    if (result == QDialog::Accepted)
        LastText() = TextE->text();
    QDialog::done(result);
}

void TzdSearchDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdSearchDialog"));
        return;
    }
    QDialog::keyPressEvent(event);
}
