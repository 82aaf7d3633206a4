#include "zdExportPDF_dialog.h"

#include "zdExportPDF.h"

#include "Modal.h"
#include "Services.h"
#include "SysUtils.h"
#include "zdClass_options.h"
#include "zdClass_report.h"
#include "zdPreview.h"
#include "zdRes.h"
#include "zdrcExports.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>

namespace {

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

QCheckBox* check(QWidget* parent, const char* name, const QString& text, int left, int top, int width = 200)
{
    return place(new QCheckBox(text, parent), name, left, top, width, 17);
}

QLineEdit* labelledEdit(QWidget* parent, const char* label, const char* edit, int text, int top)
{
    place(new QLabel(zdGetResText(text), parent), label, 12, top + 3, 90, 17);
    return place(new QLineEdit(parent), edit, 104, top, 260, 21);
}

} // namespace

TzdPDFExportDialog::TzdPDFExportDialog(QWidget* parent) : QDialog(parent)
{
    zd::startExportsResourcesUnit();
    setObjectName(QStringLiteral("zdPDFExportDialog"));
    setWindowTitle(zdGetResText(8700));
    setFixedSize(400, 346);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(11);
    setFont(f);

    PageControl1 = place(new QTabWidget(this), "PageControl1", 4, 4, 392, 304);
    ExportPage = new QWidget;
    ExportPage->setObjectName(QStringLiteral("ExportPage"));
    InfoPage = new QWidget;
    InfoPage->setObjectName(QStringLiteral("InfoPage"));
    SecurityPage = new QWidget;
    SecurityPage->setObjectName(QStringLiteral("SecurityPage"));
    ViewerPage = new QWidget;
    ViewerPage->setObjectName(QStringLiteral("ViewerPage"));
    PageControl1->addTab(ExportPage, zdGetResText(107));
    PageControl1->addTab(InfoPage, zdGetResText(8972));
    PageControl1->addTab(SecurityPage, zdGetResText(8962));
    PageControl1->addTab(ViewerPage, zdGetResText(8981));

    // Export: pages and settings.
    auto* range = group(ExportPage, "GroupPageRange", 7, 4, 4, 376, 112);
    AllRB = place(new QRadioButton(zdGetResText(3), range), "AllRB", 12, 18, 150, 17);
    AllRB->setChecked(true);
    CurPageRB = place(new QRadioButton(zdGetResText(4), range), "CurPageRB", 12, 38, 150, 17);
    PageNumbersRB = place(new QRadioButton(zdGetResText(5), range), "PageNumbersRB", 12, 58, 73, 17);
    PageNumbersE = place(new QLineEdit(range), "PageNumbersE", 88, 56, 276, 21);
    // Only digits, "," and "-" go in.
    PageNumbersE->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,-]*")), PageNumbersE));
    auto* descr = place(new QLabel(zdGetResText(9), range), "DescrL", 12, 80, 352, 28);
    descr->setWordWrap(true);
    auto* quality = group(ExportPage, "GroupQuality", 8, 4, 120, 376, 150);
    PDFACB = check(quality, "PDFACB", zdGetResText(8701), 12, 18);
    EmbeddedCB = check(quality, "EmbeddedCB", zdGetResText(8702), 12, 38);
    PrintOptCB = check(quality, "PrintOptCB", zdGetResText(8703), 12, 58);
    OutlineCB = check(quality, "OutlineCB", zdGetResText(8704), 12, 78);
    BackgrCB = check(quality, "BackgrCB", zdGetResText(8705), 12, 98);
    TransparentCB = check(quality, "TransparentCB", QStringLiteral("Transparency"), 200, 18, 160);
    place(new QLabel(QStringLiteral("JPEG Quality"), quality), "Label2", 200, 41, 90, 17);
    Quality = place(new QLineEdit(quality), "Quality", 296, 38, 64, 21);
    OpenCB = check(quality, "OpenCB", zdGetResText(8706), 12, 124, 300);

    // Information.
    auto* info = group(InfoPage, "DocInfoGB", 8971, 4, 4, 376, 176);
    TitleE = labelledEdit(info, "TitleL", "TitleE", 8973, 20);
    AuthorE = labelledEdit(info, "AuthorL", "AuthorE", 8974, 45);
    SubjectE = labelledEdit(info, "SubjectL", "SubjectE", 8975, 70);
    KeywordsE = labelledEdit(info, "KeywordsL", "KeywordsE", 8976, 95);
    CreatorE = labelledEdit(info, "CreatorL", "CreatorE", 8977, 120);
    ProducerE = labelledEdit(info, "ProducerL", "ProducerE", 8978, 145);

    // Security.
    auto* sec = group(SecurityPage, "SecGB", 8979, 4, 4, 376, 76);
    OwnPassE = labelledEdit(sec, "OwnPassL", "OwnPassE", 8964, 20);
    UserPassE = labelledEdit(sec, "UserPassL", "UserPassE", 8965, 45);
    OwnPassE->setEchoMode(QLineEdit::Password);
    UserPassE->setEchoMode(QLineEdit::Password);
    auto* perm = group(SecurityPage, "PermGB", 8980, 4, 84, 376, 100);
    PrintCB = check(perm, "PrintCB", zdGetResText(8966), 12, 18, 350);
    ModCB = check(perm, "ModCB", zdGetResText(8967), 12, 38, 350);
    CopyCB = check(perm, "CopyCB", zdGetResText(8968), 12, 58, 350);
    AnnotCB = check(perm, "AnnotCB", zdGetResText(8969), 12, 78, 350);

    // Viewer.
    auto* viewer = group(ViewerPage, "ViewerGB", 8982, 4, 4, 376, 140);
    HideToolbarCB = check(viewer, "HideToolbarCB", zdGetResText(8983), 12, 18, 350);
    HideMenubarCB = check(viewer, "HideMenubarCB", zdGetResText(8984), 12, 38, 350);
    HideWindowUICB = check(viewer, "HideWindowUICB", zdGetResText(8985), 12, 58, 350);
    FitWindowCB = check(viewer, "FitWindowCB", zdGetResText(8986), 12, 78, 350);
    CenterWindowCB = check(viewer, "CenterWindowCB", zdGetResText(8987), 12, 98, 350);
    PrintScalingCB = check(viewer, "PrintScalingCB", zdGetResText(8988), 12, 118, 350);

    auto* ok = place(new QPushButton(zdGetResText(1), this), "OkB", 236, 314, 75, 25);
    ok->setDefault(true);
    auto* cancel = place(new QPushButton(zdGetResText(2), this), "CancelB", 320, 314, 75, 25);

    if (layoutDirection() == Qt::RightToLeft)
        for (QWidget* w : findChildren<QWidget*>())
            if (QWidget* p = w->parentWidget(); p && !qobject_cast<QTabWidget*>(p))
                w->move(p->width() - w->x() - w->width(), w->y());

    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
    connect(PageNumbersE, &QLineEdit::textEdited, this, [this] { PageNumbersEChange(); });
    connect(PDFACB, &QCheckBox::toggled, this, [this] { updatePasswords(); });
}

TzdPDFExportDialog::~TzdPDFExportDialog() = default;

void TzdPDFExportDialog::PageNumbersEChange()
{
    PageNumbersRB->setChecked(true);
}

void TzdPDFExportDialog::updatePasswords()
{
    const bool enabled = !PDFACB->isChecked();
    OwnPassE->setEnabled(enabled);
    UserPassE->setEnabled(enabled);
}

void TzdPDFExportDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdPDFExportDialog"));
        return;
    }
    QDialog::keyPressEvent(event);
}

void TzdPDFExportDialog::Fill(const TzdPDFExport& e)
{
    OwnPassE->setText(e.OwnerPassword);
    UserPassE->setText(e.UserPassword);
    PrintCB->setChecked(e.ProtectionFlags().contains(ePrint));
    ModCB->setChecked(e.ProtectionFlags().contains(eModify));
    CopyCB->setChecked(e.ProtectionFlags().contains(eCopy));
    AnnotCB->setChecked(e.ProtectionFlags().contains(eAnnot));
    PDFACB->setChecked(e.PdfA);
    EmbeddedCB->setChecked(e.EmbeddedFonts);
    PrintOptCB->setChecked(e.PrintOptimized);
    OutlineCB->setChecked(e.Outline);
    OutlineCB->setEnabled(e.Outline);
    BackgrCB->setChecked(e.Background);
    TransparentCB->setChecked(e.Transparency);
    Quality->setText(QString::number(e.Quality));
    OpenCB->setChecked(e.OpenAfterExport);
    TitleE->setText(e.Title);
    AuthorE->setText(e.Author);
    SubjectE->setText(e.Subject);
    KeywordsE->setText(e.Keywords);
    CreatorE->setText(e.Creator);
    ProducerE->setText(e.Producer);
    HideToolbarCB->setChecked(e.HideToolbar);
    HideMenubarCB->setChecked(e.HideMenubar);
    HideWindowUICB->setChecked(e.HideWindowUI);
    FitWindowCB->setChecked(e.FitWindow);
    CenterWindowCB->setChecked(e.CenterWindow);
    PrintScalingCB->setChecked(e.PrintScaling);
    if (!e.PageNumbers.isEmpty()) {
        PageNumbersE->setText(e.PageNumbers);
        PageNumbersRB->setChecked(true);
    }
    updatePasswords();
}

void TzdPDFExportDialog::Apply(TzdPDFExport& e) const
{
    const int quality = plat::StrToInt(Quality->text()); // before anything changes
    e.OwnerPassword = OwnPassE->text();
    e.UserPassword = UserPassE->text();
    TzdPDFEncBits flags;
    if (PrintCB->isChecked())
        flags.include(ePrint);
    if (ModCB->isChecked())
        flags.include(eModify);
    if (CopyCB->isChecked())
        flags.include(eCopy);
    if (AnnotCB->isChecked())
        flags.include(eAnnot);
    e.SetProtectionFlags(flags);
    e.PageNumbers.clear();
    e.CurPage = false;
    if (CurPageRB->isChecked())
        e.CurPage = true;
    else if (PageNumbersRB->isChecked())
        e.PageNumbers = PageNumbersE->text();
    e.PdfA = PDFACB->isChecked();
    e.EmbeddedFonts = EmbeddedCB->isChecked();
    e.PrintOptimized = PrintOptCB->isChecked();
    e.Outline = OutlineCB->isChecked();
    e.Background = BackgrCB->isChecked();
    e.Transparency = TransparentCB->isChecked();
    e.Quality = quality;
    e.OpenAfterExport = OpenCB->isChecked();
    e.Title = TitleE->text();
    e.Author = AuthorE->text();
    e.Subject = SubjectE->text();
    e.Keywords = KeywordsE->text();
    e.Creator = CreatorE->text();
    e.Producer = ProducerE->text();
    e.HideToolbar = HideToolbarCB->isChecked();
    e.HideMenubar = HideMenubarCB->isChecked();
    e.HideWindowUI = HideWindowUICB->isChecked();
    e.FitWindow = FitWindowCB->isChecked();
    e.CenterWindow = CenterWindowCB->isChecked();
    e.PrintScaling = PrintScalingCB->isChecked();
}

// ---------------------------------------------------------------------------

int TzdPDFExport::ShowSettingsDialog()
{
    TzdReport* report = Report ? Report->Report() : nullptr;
    if (Title.isEmpty() && report)
        Title = report->ReportOptions()->Name;
    if (OutputStream)
        return 1;
    if (!report)
        Outline = true;
    else if (auto* preview = dynamic_cast<TzdPreview*>(report->Preview()))
        Outline = preview->OutlineVisible();
    else
        Outline = report->PreviewOptions()->OutlineVisible;

    TzdPDFExportDialog dialog;
    dialog.Fill(*this);
    const int shown = plat::ExecModal(dialog);
    if (shown != 1 && shown != QDialog::Accepted)
        return 2;
    dialog.Apply(*this);

    plat::FileDialogRequest request;
    request.kind = plat::FileDialogRequest::Save;
    request.filter = zdGetResText(8707);
    request.defaultExt = zdGetResText(8708);
    request.options = {plat::ofHideReadOnly, plat::ofNoChangeDir, plat::ofEnableSizing};
    if (OverwritePrompt)
        request.options.include(plat::ofOverwritePrompt);
    if (!FileName.isEmpty())
        request.fileName = FileName;
    else if (report && !report->FileName.isEmpty())
        request.fileName = QFileInfo(QString(report->FileName).replace(u'\\', u'/')).completeBaseName() +
                           request.defaultExt;
    if (!DefaultPath.isEmpty())
        request.initialDir = DefaultPath;
    const plat::FileDialogResult chosen = plat::Services().FileDialog(request);
    if (!chosen.accepted || chosen.FileName().isEmpty())
        return 2;
    FileName = chosen.FileName();
    return 1;
}
