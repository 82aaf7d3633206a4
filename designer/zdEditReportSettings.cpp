#include "zdEditReportSettings.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "Services.h"
#include "StringList.h"
#include "zdClass_options.h"
#include "zdClass_report.h"
#include "zdDesignerModel.h"
#include "zdDialogsSecondHalf.h"
#include "zdDlgUtils.h"
#include "zdDsgnIntf.h"
#include "zdPrinter.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zd {

ReportSettingsFields reportSettingsOf(TzdReport* Report, const QStringList& Printers)
{
    ReportSettingsFields f;
    f.Printers = QStringList{dlg::key("prDefault")} + Printers;
    const QString printer = Report->PrintOptions()->Printer;
    f.PrinterIndex = f.Printers.indexOf(printer);
    f.Copies = QString::number(Report->PrintOptions()->Copies);
    f.Collate = Report->PrintOptions()->Collate;
    f.DoublePass = Report->EngineOptions()->DoublePass;
    f.PrintIfEmpty = Report->EngineOptions()->PrintIfEmpty;
    TzdReportOptions* o = Report->ReportOptions();
    f.Password = o->Password;
    f.Name = o->Name;
    f.Author = o->Author;
    for (int i = 0; i < o->Description()->Count(); ++i)
        f.Description << o->Description()->Strings(i);
    f.Picture = std::make_shared<plat::TPicture>();
    f.Picture->Assign(o->Picture());
    f.VersionMajor = o->VersionMajor;
    f.VersionMinor = o->VersionMinor;
    f.VersionRelease = o->VersionRelease;
    f.VersionBuild = o->VersionBuild;
    return f;
}

namespace {
void changeInheritance(TzdReport* Report, const ReportSettingsFields& F, TzdCustomDesigner* Designer)
{
    if (F.Inherit == icDontChange)
        return;
    if (Designer)
        Designer->LockDesigner();
    try {
        if (F.Inherit == icDetach) {
            Report->SetParentReport(QString());
        } else if (!F.Template.isEmpty()) {
            Report->SetParentReport(QString());
            Report->InheritTemplateFile(F.Template, 0);
        }
    } catch (const plat::Exception& e) {
        dlg::showError(e.message());
    }
    if (Designer)
        Designer->ReloadFromReport();
}
} // namespace

void applyReportSettings(TzdReport* Report, const ReportSettingsFields& F, TzdCustomDesigner* Designer)
{
    int copies = 0;
    QString error;
    if (!dlg::parseInteger(F.Copies, copies, &error))
        throw plat::EConvertError(error);

    if (F.PrinterIndex >= 0 && F.PrinterIndex < F.Printers.size()) {
        Report->PrintOptions()->Printer = F.Printers.at(F.PrinterIndex);
        Report->ApplyPrinterOption();
    }
    Report->PrintOptions()->Collate = F.Collate;
    Report->PrintOptions()->Copies = copies;
    Report->EngineOptions()->DoublePass = F.DoublePass;
    Report->EngineOptions()->PrintIfEmpty = F.PrintIfEmpty;
    Report->ReportOptions()->Password = F.Password;
    changeInheritance(Report, F, Designer);
    TzdReportOptions* o = Report->ReportOptions();
    o->Name = F.Name;
    o->Author = F.Author;
    zd::TStringList description;
    for (const QString& line : F.Description)
        description.Add(line);
    o->SetDescription(&description);
    if (F.Picture)
        o->Picture()->Assign(F.Picture.get());
    o->VersionMajor = F.VersionMajor;
    o->VersionMinor = F.VersionMinor;
    o->VersionRelease = F.VersionRelease;
    o->VersionBuild = F.VersionBuild;
}

QStringList templateFiles(const QString& Folder, const QString& Extension)
{
    if (Folder.isEmpty())
        return {};
    QDir dir(Folder);
    QStringList files;
    const QString ext = Extension.startsWith(u'.') ? Extension.mid(1) : Extension;
    for (const QFileInfo& info : dir.entryInfoList(QStringList{QStringLiteral("*.") + ext}, QDir::Files, QDir::Name))
        files << info.absoluteFilePath();
    return files;
}

} // namespace zd

using zd::dlg::key;
using zd::dlg::res;

TzdReportEditorForm::TzdReportEditorForm(TzdReport* Report, TzdCustomDesigner* Designer, QWidget* Parent)
    : QDialog(Parent), m_report(Report), m_designer(Designer)
{
    setObjectName(QStringLiteral("TzdReportEditorForm"));
    setWindowTitle(res(4700, "Nastavení Reportu"));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    layout->addWidget(tabs, 1);
    const auto edit = &zd::dlg::namedEdit;
    const auto check = &zd::dlg::namedCheck;

    auto* general = new QWidget;
    general->setObjectName(QStringLiteral("GeneralTS"));
    tabs->addTab(general, res(4701, "Všeobecné"));
    auto* gl = new QVBoxLayout(general);
    auto* printerGB = new QGroupBox(res(4702, "Nastavení tiskárny"), general);
    printerGB->setObjectName(QStringLiteral("ReportSettingsL"));
    auto* pl = new QFormLayout(printerGB);
    m_printerList = new QListWidget(printerGB);
    m_printerList->setObjectName(QStringLiteral("PrintersLB"));
    m_copies = edit(printerGB, "CopiesE");
    m_collate = check(printerGB, "CollateCB", res(4706, "Seřadit kopie"));
    pl->addRow(m_printerList);
    pl->addRow(res(4703, "Kopií"), m_copies);
    pl->addRow(m_collate);
    gl->addWidget(printerGB);
    auto* generalGB = new QGroupBox(res(4704, "Všeobecné"), general);
    generalGB->setObjectName(QStringLiteral("GeneralL"));
    auto* ol = new QFormLayout(generalGB);
    m_doublePass = check(generalGB, "DoublePassCB", res(4707, "Dvojí průchod"));
    m_printIfEmpty = check(generalGB, "PrintIfEmptyCB", res(4708, "Tisknout i prázdné"));
    m_password = edit(generalGB, "PasswordE");
    m_password->setEchoMode(QLineEdit::Password);
    ol->addRow(m_doublePass);
    ol->addRow(m_printIfEmpty);
    ol->addRow(res(4705, "Heslo"), m_password);
    gl->addWidget(generalGB);

    auto* inherit = new QWidget;
    inherit->setObjectName(QStringLiteral("InheritTS"));
    tabs->addTab(inherit, res(4728, "Inheritance"));
    auto* il = new QVBoxLayout(inherit);
    auto* state = new QLabel(inherit);
    state->setObjectName(QStringLiteral("InheritStateL"));
    state->setText(Report->ParentReport().trimmed().isEmpty()
                       ? key("riNotInherited")
                       : key("riInherited").replace(QStringLiteral("%s"), Report->ParentReport()));
    il->addWidget(state);
    il->addWidget(new QLabel(res(4724, "Select the option:"), inherit));
    m_dontChange = new QRadioButton(res(4725, "Don't change"), inherit);
    m_dontChange->setObjectName(QStringLiteral("DontChangeRB"));
    m_detach = new QRadioButton(res(4726, "Detach the base report"), inherit);
    m_detach->setObjectName(QStringLiteral("DetachRB"));
    m_detach->setEnabled(!Report->ParentReport().trimmed().isEmpty());
    m_inherit = new QRadioButton(res(4727, "Inherit from base report:"), inherit);
    m_inherit->setObjectName(QStringLiteral("InheritRB"));
    m_dontChange->setChecked(true);
    il->addWidget(m_dontChange);
    il->addWidget(m_detach);
    il->addWidget(m_inherit);
    m_templateList = new QListWidget(inherit);
    m_templateList->setObjectName(QStringLiteral("InheritLV"));
    il->addWidget(m_templateList, 1);
    il->addWidget(new QLabel(res(4729, "Templates path :"), inherit));
    auto* pathRow = new QHBoxLayout;
    m_path = edit(inherit, "PathE");
    auto* browse = new QPushButton(QStringLiteral("..."), inherit);
    browse->setObjectName(QStringLiteral("BrowseB"));
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(browse);
    il->addLayout(pathRow);

    auto* description = new QWidget;
    description->setObjectName(QStringLiteral("DescriptionTS"));
    tabs->addTab(description, res(4709, "Popis"));
    auto* dl = new QVBoxLayout(description);
    auto* descGB = new QGroupBox(res(4720, "Popis"), description);
    descGB->setObjectName(QStringLiteral("DescriptionL"));
    auto* fl = new QFormLayout(descGB);
    m_name = edit(descGB, "NameE");
    m_description = new QPlainTextEdit(descGB);
    m_description->setObjectName(QStringLiteral("DescriptionE"));
    m_author = edit(descGB, "AuthorE");
    fl->addRow(res(4710, "Název"), m_name);
    fl->addRow(res(4711, "Popis"), m_description);
    auto* pictureRow = new QHBoxLayout;
    m_pictureImg = new QLabel(descGB);
    m_pictureImg->setObjectName(QStringLiteral("PictureImg"));
    m_pictureImg->setFixedSize(64, 64);
    m_pictureImg->setFrameShape(QFrame::StyledPanel);
    m_pictureImg->setAlignment(Qt::AlignCenter);
    auto* pictureB = new QPushButton(res(4722, "Procházet..."), descGB);
    pictureB->setObjectName(QStringLiteral("PictureB"));
    pictureRow->addWidget(m_pictureImg);
    pictureRow->addWidget(pictureB, 0, Qt::AlignBottom);
    pictureRow->addStretch(1);
    fl->addRow(res(4712, "Obrázek"), pictureRow);
    fl->addRow(res(4713, "Autor"), m_author);
    dl->addWidget(descGB);
    auto* versionGB = new QGroupBox(res(4721, "Verze"), description);
    versionGB->setObjectName(QStringLiteral("VersionL"));
    auto* vl = new QFormLayout(versionGB);
    m_major = edit(versionGB, "MajorE");
    m_minor = edit(versionGB, "MinorE");
    m_release = edit(versionGB, "ReleaseE");
    m_build = edit(versionGB, "BuildE");
    vl->addRow(res(4714, "Major"), m_major);
    vl->addRow(res(4715, "Minor"), m_minor);
    vl->addRow(res(4716, "Vydání"), m_release);
    vl->addRow(res(4717, "Sestav."), m_build);
    dl->addWidget(versionGB);

    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OkB"), QStringLiteral("CancelB"), [this] {
        zd::applyReportSettings(m_report, Fields(), m_designer);
        return true;
    }));

    // Fill the fields.
    const zd::ReportSettingsFields f = zd::reportSettingsOf(Report, zdPrinters()->Printers());
    m_printers = f.Printers;
    m_printerList->addItems(f.Printers);
    m_printerList->setCurrentRow(f.PrinterIndex);
    m_copies->setText(f.Copies);
    m_collate->setChecked(f.Collate);
    m_doublePass->setChecked(f.DoublePass);
    m_printIfEmpty->setChecked(f.PrintIfEmpty);
    m_password->setText(f.Password);
    m_name->setText(f.Name);
    m_author->setText(f.Author);
    m_description->setPlainText(f.Description.join(u'\n'));
    m_picture = f.Picture;
    showPicture();
    m_major->setText(f.VersionMajor);
    m_minor->setText(f.VersionMinor);
    m_release->setText(f.VersionRelease);
    m_build->setText(f.VersionBuild);
    if (TzdDesigner* d = TzdDesigner::Current())
        SetTemplateFolder(d->TemplateDir);

    connect(pictureB, &QPushButton::clicked, this, [this] { zd::dlg::guard([this] { EditPicture(); }); });
    connect(browse, &QPushButton::clicked, this, [this] {
        zd::dlg::guard([this] {
            if (const auto folder = plat::Services().FolderDialog(QStringLiteral("Select folder"), m_path->text()))
                SetTemplateFolder(*folder);
        });
    });
    connect(m_path, &QLineEdit::returnPressed, this, [this] {
        if (QDir(m_path->text()).exists())
            SetTemplateFolder(m_path->text());
    });
}

TzdReportEditorForm::~TzdReportEditorForm() = default;

void TzdReportEditorForm::SetTemplateFolder(const QString& Folder)
{
    m_path->setText(Folder);
    if (TzdDesigner* d = TzdDesigner::Current())
        d->TemplateDir = Folder;
    const QString ext = TzdDesigner::Current() ? TzdDesigner::Current()->TemplatesExt : QStringLiteral("zd3");
    m_templates = zd::templateFiles(Folder, ext);
    m_templateList->clear();
    for (const QString& file : m_templates)
        m_templateList->addItem(QFileInfo(file).fileName());
}

void TzdReportEditorForm::EditPicture()
{
    // The dialog works on its own copy: a damaged file or a Cancel leaves
    // the shown picture as it was.
    if (zd::dialogs::EditPicture(*m_picture))
        showPicture();
}

void TzdReportEditorForm::showPicture()
{
    if (!m_picture || m_picture->Empty()) {
        m_pictureImg->setPixmap(QPixmap());
        return;
    }
    QImage image = m_picture->Graphic()->ToImage();
    // Larger than the box: shrunk into it.
    if (image.width() > m_pictureImg->width() || image.height() > m_pictureImg->height())
        image = image.scaled(m_pictureImg->size(), Qt::IgnoreAspectRatio);
    m_pictureImg->setPixmap(QPixmap::fromImage(image));
}

zd::ReportSettingsFields TzdReportEditorForm::Fields() const
{
    zd::ReportSettingsFields f;
    f.Printers = m_printers;
    f.PrinterIndex = m_printerList->currentRow();
    f.Copies = m_copies->text();
    f.Collate = m_collate->isChecked();
    f.DoublePass = m_doublePass->isChecked();
    f.PrintIfEmpty = m_printIfEmpty->isChecked();
    f.Password = m_password->text();
    f.Inherit = m_detach->isChecked() ? zd::icDetach : m_inherit->isChecked() ? zd::icInherit : zd::icDontChange;
    f.Template = m_templates.value(m_templateList->currentRow());
    f.Name = m_name->text();
    f.Author = m_author->text();
    f.Picture = m_picture;
    f.Description = m_description->toPlainText().split(u'\n');
    if (f.Description == QStringList{QString()})
        f.Description.clear();
    f.VersionMajor = m_major->text();
    f.VersionMinor = m_minor->text();
    f.VersionRelease = m_release->text();
    f.VersionBuild = m_build->text();
    return f;
}
