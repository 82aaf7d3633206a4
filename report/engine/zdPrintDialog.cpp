#include "zdPrintDialog.h"

#include "Modal.h"
#include "Services.h"
#include "zdPrintPages.h"
#include "zdPrinter.h"
#include "zdRes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr int kMaxCopies = 1000;

QString resText(const char* key) { return zdGetResources()->GetText(QString::fromLatin1(key)); }

template <typename W>
W* place(W* widget, const char* name, int left, int top, int width = -1, int height = -1)
{
    widget->setObjectName(QString::fromLatin1(name));
    if (width < 0)
        widget->move(left, top);
    else
        widget->setGeometry(left, top, width, height);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* l = place(new QLabel(text, parent), name, left, top);
    l->adjustSize();
    return l;
}

QComboBox* list(QWidget* parent, const char* name, std::initializer_list<const char*> keys, int left, int top,
                int width, int height)
{
    auto* cb = place(new QComboBox(parent), name, left, top, width, height);
    for (const char* key : keys)
        cb->addItem(resText(key));
    cb->setCurrentIndex(0);
    return cb;
}

// Three sheets of two copies, collated (1 2 3, 1 2 3) or not (1 1, 2 2, 3 3).
class CopiesPicture : public QWidget {
public:
    CopiesPicture(QWidget* parent, const QCheckBox* collate) : QWidget(parent), m_collate(collate) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        // Collated: whole sets 1 2 3, 1 2 3; else each page twice in turn.
        const int collated[] = {1, 2, 3, 1, 2, 3}, uncollated[] = {1, 1, 2, 2, 3, 3};
        const int* numbers = m_collate->isChecked() ? collated : uncollated;
        for (int i = 0; i < 6; ++i) {
            const QRect r((i / 3) * 46 + (i % 3) * 8, (i % 3) * 6 + 4, 22, 28);
            p.fillRect(r, Qt::white);
            p.drawRect(r);
            p.drawText(r, Qt::AlignCenter, QString::number(numbers[i]));
        }
    }

private:
    const QCheckBox* m_collate;
};

constexpr int kModeItemHeight = 34;
constexpr QSize kModePicture(64, 32);

// A sheet outline with pages drawn into it, for the pictures of the modes.
void sheet(QPainter& p, const QRect& r)
{
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(r);
}

void page(QPainter& p, const QRect& r)
{
    p.setPen(QColor(0, 0, 128));
    p.setBrush(QColor(200, 220, 255));
    p.drawRect(r);
    // Lines of text on the page.
    for (int y = r.top() + 3; y < r.bottom() - 1; y += 3)
        p.drawLine(r.left() + 2, y, r.right() - 2, y);
}

// The picture of each print mode: the page as designed on its sheet, a
// large page over two sheets, two small pages on one sheet, a small page
// grown to the sheet.
QImage printModePicture(int mode)
{
    QImage image(kModePicture, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    switch (mode) {
    case pmSplit:
        page(p, QRect(4, 2, 40, 27));
        sheet(p, QRect(46, 2, 14, 20));
        sheet(p, QRect(46, 10, 14, 20));
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawLine(24, 2, 24, 29);
        break;
    case pmJoin:
        page(p, QRect(4, 8, 10, 14));
        page(p, QRect(16, 8, 10, 14));
        sheet(p, QRect(34, 6, 26, 19));
        page(p, QRect(36, 8, 10, 14));
        page(p, QRect(48, 8, 10, 14));
        break;
    case pmScale:
        page(p, QRect(4, 12, 12, 16));
        sheet(p, QRect(38, 2, 20, 28));
        page(p, QRect(40, 4, 16, 24));
        break;
    default:
        sheet(p, QRect(20, 2, 20, 28));
        page(p, QRect(22, 4, 16, 24));
        break;
    }
    return image;
}

// Each print mode as its picture beside its name.
class PrintModeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width() + kModePicture.width(), kModeItemHeight);
    }
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        p->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        p->drawImage(option.rect.left() + 2, option.rect.top() + 1, index.data(Qt::DecorationRole).value<QImage>());
        p->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        p->drawText(QRect(option.rect.left() + 74, option.rect.top(), option.rect.width() - 74, option.rect.height()),
                    Qt::AlignVCenter | Qt::AlignLeft, index.data(Qt::DisplayRole).toString());
    }
};

} // namespace

TzdPrintDialog::TzdPrintDialog(zd::PrintSettings& Options, int ShownPageNo, QWidget* parent)
    : QDialog(parent), m_options(Options), m_shownPageNo(ShownPageNo)
{
    setObjectName(QStringLiteral("zdPrintDialog"));
    setWindowTitle(zdGetResText(200));
    setFixedSize(557, 333);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(11);
    setFont(f);

    auto* printerGroup = place(new QGroupBox(zdGetResText(201), this), "Label12", 4, 4, 549, 73);
    label(printerGroup, "NameL", zdGetResText(212), 8, 20);
    PrintersCB = place(new QComboBox(printerGroup), "PrintersCB", 60, 16, 329, 22);
    auto* prop = place(new QPushButton(zdGetResText(209), printerGroup), "PropButton", 444, 16, 95, 22);
    label(printerGroup, "WhereL", zdGetResText(208), 8, 48);
    WhereL1 = label(printerGroup, "WhereL1", QString(), 60, 48);
    FileCB = place(new QCheckBox(zdGetResText(210), printerGroup), "FileCB", 408, 48, 129, 17);

    auto* pagesGroup = place(new QGroupBox(zdGetResText(202), this), "Label1", 4, 80, 261, 117);
    AllRB = place(new QRadioButton(zdGetResText(3), pagesGroup), "AllRB", 8, 20, 125, 17);
    AllRB->setChecked(true);
    CurPageRB = place(new QRadioButton(zdGetResText(4), pagesGroup), "CurPageRB", 8, 40, 125, 17);
    PageNumbersRB = place(new QRadioButton(zdGetResText(5), pagesGroup), "PageNumbersRB", 8, 60, 77, 17);
    PageNumbersE = place(new QLineEdit(pagesGroup), "PageNumbersE", 84, 58, 165, 21);
    auto* descr = place(new QLabel(zdGetResText(9), pagesGroup), "DescrL", 8, 82, 249, 29);
    descr->setWordWrap(true);

    auto* copiesGroup = place(new QGroupBox(zdGetResText(205), this), "Label2", 272, 80, 281, 117);
    auto* copiesL = label(copiesGroup, "CopiesL", zdGetResText(203), 12, 20);
    UpDown1 = place(new QSpinBox(copiesGroup), "UpDown1", 140, 16, 129, 21);
    UpDown1->setRange(1, kMaxCopies);
    UpDown1->setValue(1);
    if (auto* edit = UpDown1->findChild<QLineEdit*>())
        edit->setObjectName(QStringLiteral("CopiesE"));
    copiesL->setBuddy(UpDown1);
    CollateCB = place(new QCheckBox(zdGetResText(204), copiesGroup), "CollateCB", 140, 58, 133, 17);
    CollateCB->setChecked(true);
    CopiesPB = place(new CopiesPicture(copiesGroup, CollateCB), "CopiesPB", 12, 48, 92, 53);

    auto* otherGroup = place(new QGroupBox(zdGetResText(207), this), "OtherGB", 4, 200, 261, 97);
    label(otherGroup, "PrintL", zdGetResText(206), 8, 20);
    PrintPagesCB = list(otherGroup, "PrintPagesCB", {"ppAll", "ppOdd", "ppEven"}, 84, 16, 165, 21);
    label(otherGroup, "OrderL", zdGetResText(211), 8, 44);
    OrderCB = list(otherGroup, "OrderCB", {"poDirect", "poReverse"}, 84, 40, 165, 21);
    label(otherGroup, "DuplexL", zdGetResText(216), 8, 68);
    DuplexCB = list(otherGroup, "DuplexCB", {"dupDefault", "dupVert", "dupHorz", "dupSimpl"}, 84, 64, 165, 21);

    auto* scaleGroup = place(new QGroupBox(zdGetResText(213), this), "ScaleGB", 272, 200, 281, 97);
    PrintModeCB = list(scaleGroup, "PrintModeCB", {"pmDefault", "pmSplit", "pmJoin", "pmScale"}, 12, 16, 257, 40);
    PrintModeCB->setItemDelegate(new PrintModeDelegate(PrintModeCB));
    PrintModeCB->setIconSize(kModePicture);
    for (int mode = 0; mode < PrintModeCB->count(); ++mode)
        PrintModeCB->setItemData(mode, printModePicture(mode), Qt::DecorationRole);
    label(scaleGroup, "PagSizeL", zdGetResText(214), 12, 68);
    PagPageSizeCB = place(new QComboBox(scaleGroup), "PagPageSizeCB", 140, 64, 129, 21);

    auto* ok = place(new QPushButton(zdGetResText(1), this), "OkB", 398, 304, 75, 25);
    ok->setDefault(true);
    auto* cancel = place(new QPushButton(zdGetResText(2), this), "CancelB", 478, 304, 75, 25);

    QWidget* const order[] = {ok,      cancel,    PrintersCB,    prop,        FileCB,       AllRB,
                              CurPageRB, PageNumbersRB, PageNumbersE, UpDown1, CollateCB, PagPageSizeCB,
                              PrintModeCB, PrintPagesCB, DuplexCB, OrderCB};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    TzdPrinters* printers = zdPrinters();
    // Each printer beside the preview's printer picture.
    const QImage printerImage = zdGetResources()->GetPreviewButtonImages().value(2);
    for (const QString& name : printers->Printers())
        PrintersCB->addItem(QIcon(QPixmap::fromImage(printerImage)), name);
    PrintersCB->setCurrentIndex(printers->ActivePrinterIndex());
    PrintersCBClick();
    SavedPrinterIndex = printers->ActivePrinterIndex();

    if (layoutDirection() == Qt::RightToLeft)
        for (QWidget* w : findChildren<QWidget*>())
            if (QWidget* parent = w->parentWidget())
                w->move(parent->width() - w->x() - w->width(), w->y());

    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
    connect(prop, &QPushButton::clicked, this, [this] { PropButtonClick(); });
    connect(PrintersCB, &QComboBox::activated, this, [this] { PrintersCBClick(); });
    connect(PrintModeCB, &QComboBox::activated, this, [this] { PrintModeCBClick(); });
    connect(CollateCB, &QCheckBox::toggled, CopiesPB, qOverload<>(&QWidget::update));
    PageNumbersE->installEventFilter(this);
    connect(PageNumbersRB, &QRadioButton::clicked, this, [this] {
        if (isVisible())
            PageNumbersE->setFocus();
    });
}

TzdPrintDialog::~TzdPrintDialog() = default;

bool TzdPrintDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Entering the page numbers chooses them.
    if (watched == PageNumbersE && event->type() == QEvent::FocusIn)
        PageNumbersRB->setChecked(true);
    return QDialog::eventFilter(watched, event);
}

void TzdPrintDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdPrintDialog"));
        return;
    }
    QDialog::keyPressEvent(event);
}

int TzdPrintDialog::Execute()
{
    FormShow();
    const int shown = plat::ExecModal(*this);
    return FormHide(shown == 1 || shown == QDialog::Accepted ? 1 : 2);
}

void TzdPrintDialog::FormShow()
{
    UpDown1->setValue(std::clamp(m_options.Copies, 1, kMaxCopies));
    CollateCB->setChecked(m_options.Collate);
    PageNumbersE->setText(m_options.PageNumbers);
    if (!m_options.PageNumbers.isEmpty())
        PageNumbersRB->setChecked(true);
    PrintPagesCB->setCurrentIndex(std::clamp(int(m_options.PrintPages), 0, 2));
    OrderCB->setCurrentIndex(m_options.Reverse ? 1 : 0);
    PrintModeCB->setCurrentIndex(std::clamp(int(m_options.PrintMode), 0, 3));
    DuplexCB->setCurrentIndex(std::clamp(DuplexMode, 0, 3));
    PrintModeCBClick();
    if (m_options.PrintMode != pmDefault)
        PagPageSizeCB->setCurrentIndex(paperPosition(m_options.PrintOnSheet));
}

int TzdPrintDialog::paperPosition(int paper) const
{
    const TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
    // The default item stands for the printer's own size, which is what it
    // gives back on OK: it must show as itself, not as the first paper.
    if (!printer || paper == plat::DMPAPER_USER)
        return 0;
    const int i = printer->IndexOfPaper(paper);
    return printer->IndexOfPaper(plat::DMPAPER_USER) < i ? i : i + 1;
}

void TzdPrintDialog::fillPapers()
{
    PagPageSizeCB->clear();
    PagPageSizeCB->addItem(resText("pgDefault"));
    if (const TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter())
        for (int i = 0; i < printer->PaperList().Count(); ++i)
            if (printer->PaperNumber(i) != plat::DMPAPER_USER)
                PagPageSizeCB->addItem(printer->PaperList().Strings(i));
}

void TzdPrintDialog::PrintersCBClick()
{
    TzdPrinters* printers = zdPrinters();
    int paper = -1;
    if (PagPageSizeCB->currentIndex() > 0)
        if (const TzdCustomPrinter* old = printers->CurrentPrinter())
            paper = old->PaperNameToNumber(PagPageSizeCB->currentText());
    printers->SetActivePrinterIndex(PrintersCB->currentIndex());
    const TzdCustomPrinter* printer = printers->CurrentPrinter();
    WhereL1->setText(printer ? printer->Port() : QString());
    WhereL1->adjustSize();
    const bool enabled = PagPageSizeCB->isEnabled();
    fillPapers();
    PagPageSizeCB->setEnabled(enabled);
    if (paper == -1 || !printer || printer->IndexOfPaper(paper) < 0)
        PagPageSizeCB->setCurrentIndex(0);
    else
        PagPageSizeCB->setCurrentIndex(paperPosition(paper));
}

void TzdPrintDialog::PrintModeCBClick()
{
    if (PrintModeCB->currentIndex() <= 0) {
        PagPageSizeCB->setCurrentIndex(0);
        PagPageSizeCB->setEnabled(false);
        return;
    }
    PagPageSizeCB->setEnabled(true);
    if (PagPageSizeCB->currentIndex() == 0) {
        const TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
        PagPageSizeCB->setCurrentIndex(printer ? printer->IndexOfPaper(plat::DMPAPER_A4) : -1);
    }
}

void TzdPrintDialog::PropButtonClick()
{
    TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
    if (!printer || !printer->ShowPropertiesDialog())
        return;
    const int d = printer->Duplex();
    const int item = d == 1 ? 3 : d - 1;
    if (item > 0) {
        DuplexMode = item;
        DuplexCB->setCurrentIndex(item);
    }
}

int TzdPrintDialog::FormHide(int ModalResult)
{
    TzdPrinters* printers = zdPrinters();
    TzdCustomPrinter* printer = printers->CurrentPrinter();
    if (ModalResult == 1) {
        if (printer)
            printer->SetFileName({});
        if (FileCB->isChecked()) {
            plat::FileDialogRequest request;
            request.kind = plat::FileDialogRequest::Save;
            request.title = zdGetResText(507);
            request.filter = zdGetResText(510);
            const plat::FileDialogResult chosen = plat::Services().FileDialog(request);
            if (chosen.accepted && !chosen.FileName().isEmpty()) {
                const QFileInfo info(chosen.FileName());
                const QString base = info.suffix().isEmpty()
                                         ? chosen.FileName()
                                         : chosen.FileName().left(chosen.FileName().size() - info.suffix().size() - 1);
                if (printer)
                    printer->SetFileName(base + QStringLiteral(".prn"));
            } else {
                ModalResult = 2;
            }
        }
    } else {
        printers->SetActivePrinterIndex(SavedPrinterIndex);
    }
    if (ModalResult != 1)
        return ModalResult;
    writeOptions();
    return 1;
}

void TzdPrintDialog::writeOptions()
{
    const QLineEdit* copies = UpDown1->findChild<QLineEdit*>();
    const QString copiesText = copies ? copies->text().trimmed() : QString();
    m_options.Copies = copiesText.isEmpty() ? 1 : std::clamp(copiesText.toInt(), 1, kMaxCopies);
    m_options.Collate = CollateCB->isChecked();
    if (AllRB->isChecked())
        m_options.PageNumbers.clear();
    else if (CurPageRB->isChecked())
        // Without a preview there is no page shown: the first one is meant.
        m_options.PageNumbers = QString::number(std::max(1, m_shownPageNo));
    else
        m_options.PageNumbers = PageNumbersE->text();
    m_options.PrintPages = TzdPrintPages(std::max(0, PrintPagesCB->currentIndex()));
    DuplexMode = std::max(0, DuplexCB->currentIndex());
    m_options.Reverse = OrderCB->currentIndex() == 1;
    m_options.PrintMode = TzdPrintMode(std::max(0, PrintModeCB->currentIndex()));
    const TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
    m_options.PrintOnSheet = printer ? printer->PaperNameToNumber(PagPageSizeCB->currentIndex() > 0
                                                                      ? PagPageSizeCB->currentText()
                                                                      : QString())
                                     : plat::DMPAPER_USER;
}
