#include "zdDMPExportDialog.h"

#include "Modal.h"
#include "Services.h"
#include "zdDMPExport.h"
#include "zdPrinter.h"
#include "zdRes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

namespace {

constexpr int kMaxCopies = 9999;

template <typename W>
W* place(W* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QGroupBox* group(QWidget* parent, const char* name, int text, int left, int top, int width, int height)
{
    return place(new QGroupBox(zdGetResText(text), parent), name, left, top, width, height);
}

} // namespace

TzdDMPExportDialog::TzdDMPExportDialog(TzdDotMatrixExport& Export, int ReportCopies, QWidget* parent)
    : QDialog(parent), m_export(Export), m_reportCopies(ReportCopies)
{
    setObjectName(QStringLiteral("zdDMPExportDialog"));
    setWindowTitle(zdGetResText(500));
    setFixedSize(481, 276);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(11);
    setFont(f);

    auto* printerL = group(this, "PrinterL", 501, 4, 4, 473, 49);
    PrinterCB = place(new QComboBox(printerL), "PrinterCB", 12, 18, 449, 22);
    PrinterCB->setIconSize(QSize(18, 16));

    auto* pagesL = group(this, "PagesL", 502, 4, 56, 233, 129);
    AllRB = place(new QRadioButton(zdGetResText(3), pagesL), "AllRB", 12, 18, 150, 17);
    AllRB->setChecked(true);
    CurPageRB = place(new QRadioButton(zdGetResText(4), pagesL), "CurPageRB", 12, 38, 150, 17);
    PageNumbersRB = place(new QRadioButton(zdGetResText(5), pagesL), "PageNumbersRB", 12, 58, 73, 17);
    RangeE = place(new QLineEdit(pagesL), "RangeE", 88, 56, 133, 21);
    auto* descr = place(new QLabel(zdGetResText(9), pagesL), "DescrL", 12, 82, 213, 41);
    descr->setWordWrap(true);

    auto* copiesL = group(this, "CopiesL", 503, 244, 56, 233, 57);
    auto* copiesNL = place(new QLabel(zdGetResText(504), copiesL), "CopiesNL", 12, 22, 105, 17);
    CopiesUD = place(new QSpinBox(copiesL), "CopiesUD", 120, 18, 101, 21);
    CopiesUD->setRange(1, kMaxCopies);
    if (auto* edit = CopiesUD->findChild<QLineEdit*>()) {
        edit->setObjectName(QStringLiteral("CopiesE"));
        edit->setMaxLength(5);
    }
    copiesNL->setBuddy(CopiesUD);

    auto* escL = group(this, "EscL", 506, 244, 116, 233, 69);
    EscCB = place(new QComboBox(escL), "EscCB", 12, 22, 209, 21);

    auto* optionsL = group(this, "OptionsL", 505, 4, 188, 473, 53);
    SaveToFileCB = place(new QCheckBox(zdGetResText(507), optionsL), "SaveToFileCB", 12, 16, 225, 17);
    PageBreaksCB = place(new QCheckBox(zdGetResText(6), optionsL), "PageBreaksCB", 244, 16, 221, 17);
    OemCB = place(new QCheckBox(zdGetResText(508), optionsL), "OemCB", 12, 32, 225, 17);
    PseudoCB = place(new QCheckBox(zdGetResText(509), optionsL), "PseudoCB", 244, 32, 221, 17);

    auto* ok = place(new QPushButton(zdGetResText(1), this), "OK", 318, 246, 75, 25);
    ok->setDefault(true);
    auto* cancel = place(new QPushButton(zdGetResText(2), this), "Cancel", 402, 246, 75, 25);

    if (layoutDirection() == Qt::RightToLeft)
        for (QWidget* w : findChildren<QWidget*>())
            if (QWidget* p = w->parentWidget())
                w->move(p->width() - w->x() - w->width(), w->y());

    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
    connect(PrinterCB, &QComboBox::activated, this, [this] { PrinterCBClick(); });
    RangeE->installEventFilter(this);
}

TzdDMPExportDialog::~TzdDMPExportDialog() = default;

bool TzdDMPExportDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Entering the range chooses it.
    if (watched == RangeE && event->type() == QEvent::FocusIn)
        PageNumbersRB->setChecked(true);
    return QDialog::eventFilter(watched, event);
}

void TzdDMPExportDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdDMPExportDialog"));
        return;
    }
    QDialog::keyPressEvent(event);
}

int TzdDMPExportDialog::Execute()
{
    FormShow();
    const int shown = plat::ExecModal(*this);
    return FormHide(shown == 1 || shown == QDialog::Accepted ? 1 : 2);
}

void TzdDMPExportDialog::FormShow()
{
    TzdPrinters* printers = zdPrinters();
    const QImage printerImage = zdGetResources()->GetPreviewButtonImages().value(2);
    PrinterCB->clear();
    for (const QString& name : printers->Printers())
        PrinterCB->addItem(QIcon(QPixmap::fromImage(printerImage)), name);
    m_savedPrinter = printers->ActivePrinterIndex();
    PrinterCB->setCurrentIndex(m_savedPrinter);

    EscCB->clear();
    const TzdDMPrinters* definitions = zd::DMPrinters();
    for (int i = 0; i < definitions->Count(); ++i)
        EscCB->addItem(definitions->Items(i)->Name);
    EscCB->setCurrentIndex(m_export.EscModel >= 0 && m_export.EscModel < EscCB->count() ? m_export.EscModel : 0);

    SaveToFileCB->setChecked(m_export.SaveToFile);
    PageBreaksCB->setChecked(m_export.PageBreaks);
    OemCB->setChecked(m_export.OEMConvert);
    PseudoCB->setChecked(m_export.GraphicFrames);
    CopiesUD->setValue(std::clamp(m_reportCopies, 1, kMaxCopies));
    RangeE->setText(m_export.PageNumbers);
    if (m_export.CurPage)
        CurPageRB->setChecked(true);
    else if (!m_export.PageNumbers.isEmpty())
        PageNumbersRB->setChecked(true);
    else
        AllRB->setChecked(true);
}

void TzdDMPExportDialog::PrinterCBClick()
{
    if (PrinterCB->currentIndex() >= 0)
        zdPrinters()->SetActivePrinterIndex(PrinterCB->currentIndex());
}

int TzdDMPExportDialog::FormHide(int ModalResult)
{
    if (ModalResult != 1) {
        if (m_savedPrinter >= 0)
            zdPrinters()->SetActivePrinterIndex(m_savedPrinter);
        return ModalResult;
    }
    m_export.SaveToFile = SaveToFileCB->isChecked();
    if (m_export.SaveToFile) {
        plat::FileDialogRequest request;
        request.kind = plat::FileDialogRequest::Save;
        request.filter = zdGetResText(510);
        request.defaultExt = QStringLiteral("prn");
        request.fileName = m_export.FileName;
        const plat::FileDialogResult chosen = plat::Services().FileDialog(request);
        if (!chosen.accepted || chosen.FileName().isEmpty()) {
            // The printer chosen here was for this export only.
            if (m_savedPrinter >= 0)
                zdPrinters()->SetActivePrinterIndex(m_savedPrinter);
            return 2;
        }
        m_export.FileName = chosen.FileName();
    }
    m_export.CurPage = CurPageRB->isChecked();
    if (PageNumbersRB->isChecked())
        m_export.PageNumbers = RangeE->text();
    else
        m_export.PageNumbers.clear();
    const QLineEdit* copies = CopiesUD->findChild<QLineEdit*>();
    const QString copiesText = copies ? copies->text().trimmed() : QString();
    m_export.SetCopies(copiesText.isEmpty() ? 1 : copiesText.toInt());
    m_export.PageBreaks = PageBreaksCB->isChecked();
    m_export.OEMConvert = OemCB->isChecked();
    m_export.GraphicFrames = PseudoCB->isChecked();
    m_export.EscModel = std::max(0, EscCB->currentIndex());
    return 1;
}
