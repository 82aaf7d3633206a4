#include "QtServices.h"

#include "Application.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTranslator>
#include <QUrl>

#include <memory>

namespace plat {

namespace {

// Boxes without a Cancel button cannot be dismissed with Escape or by
// closing the window: the user has to answer.
class NoEscapeFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            return true;
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

struct ButtonSpec {
    QMessageBox::StandardButton standard;
    const char* caption;
    int result;
    bool cancels;
};

QMessageBox::Icon iconOf(unsigned flags)
{
    switch (flags & 0xF0) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

const ButtonSpec kOk{QMessageBox::Ok, "OK", IDOK, false};
const ButtonSpec kCancel{QMessageBox::Cancel, "Storno", IDCANCEL, true};
const ButtonSpec kYes{QMessageBox::Yes, "Ano", IDYES, false};
const ButtonSpec kNo{QMessageBox::No, "Ne", IDNO, false};
const ButtonSpec kAbort{QMessageBox::Abort, "Přerušit", IDABORT, true};
const ButtonSpec kRetry{QMessageBox::Retry, "Opakovat", IDRETRY, false};
const ButtonSpec kIgnore{QMessageBox::Ignore, "Ignorovat", IDIGNORE, false};
const ButtonSpec kAll{QMessageBox::YesToAll, "Vše", mrAll, false};
const ButtonSpec kNoToAll{QMessageBox::NoToAll, "Ne všem", mrNoToAll, false};
const ButtonSpec kYesToAll{QMessageBox::YesToAll, "Ano všem", mrYesToAll, false};
const ButtonSpec kHelp{QMessageBox::Help, "Nápověda", mrNone, false};

// Shows the box; returns the result of the button pressed, or closeResult.
int runBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
           const std::vector<ButtonSpec>& specs, size_t defaultIndex, int closeResult)
{
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent ? parent : QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MessageBox"));
    std::vector<QAbstractButton*> buttons;
    QAbstractButton* escape = nullptr;
    for (const ButtonSpec& s : specs) {
        // Custom buttons so that two specs sharing a standard button stay apart.
        QMessageBox::ButtonRole role = s.cancels ? QMessageBox::RejectRole : QMessageBox::AcceptRole;
        if (s.standard == QMessageBox::Help)
            role = QMessageBox::HelpRole;
        QPushButton* b = box.addButton(QString::fromUtf8(s.caption), role);
        b->setObjectName(QString::fromUtf8(s.caption));
        buttons.push_back(b);
        if (s.result == IDCANCEL)
            escape = b;
    }
    if (defaultIndex < buttons.size())
        box.setDefaultButton(static_cast<QPushButton*>(buttons[defaultIndex]));
    NoEscapeFilter filter;
    if (escape) {
        box.setEscapeButton(escape);
    } else if (buttons.size() == 1) {
        box.setEscapeButton(buttons[0]);
    } else {
        box.installEventFilter(&filter);
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i] == clicked)
            return specs[i].result;
    return closeResult;
}

// True when the description ends with its patterns in parentheses, as
// "Data (*.xml)" does for "*.xml"; Qt then takes them from there (it splits
// them at blanks only).
bool endsWithPatterns(const QString& description, const QStringList& patterns)
{
    const QString d = description.trimmed();
    const qsizetype open = d.lastIndexOf(QLatin1Char('('));
    if (!d.endsWith(QLatin1Char(')')) || open < 0)
        return false;
    QStringList inside = d.mid(open + 1, d.size() - open - 2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList wanted = patterns;
    inside.sort();
    wanted.sort();
    return inside == wanted;
}

} // namespace

QtServices::QtServices() = default;
QtServices::~QtServices() = default;

int QtServices::MessageBox(const QString& text, const QString& caption, unsigned flags)
{
    std::vector<ButtonSpec> specs;
    switch (flags & 0xF) {
    case MB_OKCANCEL: specs = {kOk, kCancel}; break;
    case MB_ABORTRETRYIGNORE: specs = {kAbort, kRetry, kIgnore}; break;
    case MB_YESNOCANCEL: specs = {kYes, kNo, kCancel}; break;
    case MB_YESNO: specs = {kYes, kNo}; break;
    case MB_RETRYCANCEL: specs = {kRetry, kCancel}; break;
    default: specs = {kOk}; break;
    }
    for (auto& s : specs)
        if (s.result == IDABORT)
            s.cancels = false; // Abort is an answer here, Escape does nothing
    const size_t def = std::min<size_t>((flags >> 8) & 0xF, specs.size() - 1);
    const int closeResult = specs.size() == 1 ? specs[0].result : IDCANCEL;
    return runBox(DialogParent(), iconOf(flags), caption.isEmpty() ? Application().Title() : caption, text, specs,
                  def, closeResult);
}

TModalResult QtServices::MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                                    std::optional<TMsgDlgBtn> defaultButton, const QString& caption)
{
    static const ButtonSpec* const byButton[] = {&kYes,   &kNo,  &kOk,    &kCancel,   &kAbort,    &kRetry,
                                                 &kIgnore, &kAll, &kNoToAll, &kYesToAll, &kHelp};
    std::vector<ButtonSpec> specs;
    size_t def = 0;
    bool defFound = false;
    TMsgDlgBtn wanted = defaultButton && buttons.contains(*defaultButton)
                            ? *defaultButton
                            : (buttons.contains(mbOK) ? mbOK : (buttons.contains(mbYes) ? mbYes : mbRetry));
    for (int b = mbYes; b <= mbHelp; ++b) {
        if (!buttons.contains(TMsgDlgBtn(b)))
            continue;
        ButtonSpec s = *byButton[b];
        s.result = ModalResultOf(TMsgDlgBtn(b));
        s.cancels = b == mbCancel;
        if (b == wanted) {
            def = specs.size();
            defFound = true;
        }
        specs.push_back(s);
    }
    if (specs.empty())
        specs.push_back(kOk);
    if (!defFound)
        def = 0;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title = caption;
    switch (type) {
    case mtWarning: icon = QMessageBox::Warning; if (title.isEmpty()) title = QStringLiteral("Upozornění"); break;
    case mtError: icon = QMessageBox::Critical; if (title.isEmpty()) title = QStringLiteral("Chyba"); break;
    case mtInformation: icon = QMessageBox::Information; if (title.isEmpty()) title = QStringLiteral("Informace"); break;
    case mtConfirmation: icon = QMessageBox::Question; if (title.isEmpty()) title = QStringLiteral("Potvrzení"); break;
    case mtCustom: if (title.isEmpty()) title = Application().Title(); break;
    }
    return runBox(DialogParent(), icon, title, text, specs, def, mrCancel);
}

QStringList QtServices::NameFilters(const QString& filter)
{
    QStringList out;
    for (const FileFilter& f : ParseFileFilter(filter)) {
        if (endsWithPatterns(f.description, f.patterns))
            out << f.description.trimmed();
        else
            out << QStringLiteral("%1 (%2)").arg(f.description, f.patterns.join(QLatin1Char(' ')));
    }
    return out;
}

QTranslator* QtServices::InstallQtTranslation()
{
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Czech, QLocale::CzechRepublic), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator.release();
}

FileDialogResult QtServices::FileDialog(const FileDialogRequest& r)
{
    QFileDialog dlg(DialogParent() ? DialogParent() : QApplication::activeWindow(), r.title, r.initialDir);
    dlg.setObjectName(r.kind == FileDialogRequest::Open ? QStringLiteral("OpenDialog") : QStringLiteral("SaveDialog"));
    const QStringList filters = NameFilters(r.filter);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        dlg.selectNameFilter(filters.value(std::clamp(r.filterIndex, 1, int(filters.size())) - 1));
    }
    if (r.kind == FileDialogRequest::Save) {
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        if (!r.options.contains(ofOverwritePrompt))
            dlg.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(r.options.contains(ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                        : r.options.contains(ofFileMustExist) ? QFileDialog::ExistingFile
                                                              : QFileDialog::AnyFile);
    }
    if (!r.defaultExt.isEmpty())
        dlg.setDefaultSuffix(r.defaultExt.startsWith(QLatin1Char('.')) ? r.defaultExt.mid(1) : r.defaultExt);
    if (!r.fileName.isEmpty())
        dlg.selectFile(r.fileName);
    FileDialogResult result;
    result.filterIndex = r.filterIndex;
    if (dlg.exec() != QDialog::Accepted)
        return result;
    result.accepted = true;
    for (const QString& f : dlg.selectedFiles())
        result.files << ApplyDefaultExt(f, r.defaultExt);
    const qsizetype idx = filters.indexOf(dlg.selectedNameFilter());
    if (idx >= 0)
        result.filterIndex = int(idx) + 1;
    return result;
}

std::optional<QString> QtServices::FolderDialog(const QString& title, const QString& initialDir)
{
    const QString dir = QFileDialog::getExistingDirectory(
        DialogParent() ? DialogParent() : QApplication::activeWindow(), title, initialDir);
    if (dir.isEmpty())
        return std::nullopt;
    return dir;
}

std::optional<TColor> QtServices::ColorDialog(TColor initial, TColorDialogOptions)
{
    const QColor c = QColorDialog::getColor(ToQColor(initial == clNone ? clBlack : initial),
                                            DialogParent() ? DialogParent() : QApplication::activeWindow());
    if (!c.isValid())
        return std::nullopt;
    return RGB(c.red(), c.green(), c.blue());
}

bool QtServices::FontDialog(TFont& font, TFontDialogOptions options)
{
    QFont initial(font.Name());
    initial.setPointSize(std::max(1, font.Size()));
    initial.setBold(font.HasStyle(fsBold));
    initial.setItalic(font.HasStyle(fsItalic));
    initial.setUnderline(font.HasStyle(fsUnderline));
    initial.setStrikeOut(font.HasStyle(fsStrikeOut));
    QFontDialog::FontDialogOptions qopts;
    if (options.contains(fdFixedPitchOnly))
        qopts |= QFontDialog::MonospacedFonts;
    if (options.contains(fdScalableOnly) || options.contains(fdTrueTypeOnly))
        qopts |= QFontDialog::ScalableFonts;
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, DialogParent() ? DialogParent() : QApplication::activeWindow(),
                                              QString(), qopts);
    if (!ok)
        return false;
    font.SetName(chosen.family());
    font.SetSize(chosen.pointSize() > 0 ? chosen.pointSize() : font.Size());
    TFontStyles style;
    style.set(fsBold, chosen.bold());
    style.set(fsItalic, chosen.italic());
    style.set(fsUnderline, chosen.underline());
    style.set(fsStrikeOut, chosen.strikeOut());
    font.SetStyle(style);
    return true;
}

bool QtServices::PrintDialog(PrintDialogRequest& r)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setCopyCount(std::max(1, r.copies));
    printer.setCollateCopies(r.collate);
    if (r.maxPage > 0)
        printer.setFromTo(std::clamp(r.fromPage, r.minPage, r.maxPage), std::clamp(r.toPage, r.minPage, r.maxPage));
    QPrintDialog dlg(&printer, DialogParent() ? DialogParent() : QApplication::activeWindow());
    if (r.maxPage > 0)
        dlg.setMinMax(r.minPage, r.maxPage);
    QAbstractPrintDialog::PrintDialogOptions opts;
    if (r.options.contains(poPageNums))
        opts |= QAbstractPrintDialog::PrintPageRange;
    if (r.options.contains(poSelection))
        opts |= QAbstractPrintDialog::PrintSelection;
    if (r.options.contains(poPrintToFile) && !r.options.contains(poDisablePrintToFile))
        opts |= QAbstractPrintDialog::PrintToFile;
    opts |= QAbstractPrintDialog::PrintCollateCopies;
    dlg.setOptions(opts);
    dlg.setPrintRange(r.printRange == prPageNums  ? QAbstractPrintDialog::PageRange
                      : r.printRange == prSelection ? QAbstractPrintDialog::Selection
                                                    : QAbstractPrintDialog::AllPages);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    r.copies = printer.copyCount();
    r.collate = printer.collateCopies();
    r.fromPage = printer.fromPage();
    r.toPage = printer.toPage();
    r.printToFile = !printer.outputFileName().isEmpty();
    switch (dlg.printRange()) {
    case QAbstractPrintDialog::PageRange: r.printRange = prPageNums; break;
    case QAbstractPrintDialog::Selection: r.printRange = prSelection; break;
    default: r.printRange = prAllPages; break;
    }
    return true;
}

bool QtServices::PrinterSetupDialog()
{
    QPrinter printer(QPrinter::HighResolution);
    QPageSetupDialog dlg(&printer, DialogParent() ? DialogParent() : QApplication::activeWindow());
    return dlg.exec() == QDialog::Accepted;
}

bool QtServices::InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    QInputDialog dlg(DialogParent() ? DialogParent() : QApplication::activeWindow());
    dlg.setObjectName(QStringLiteral("InputQuery"));
    dlg.setWindowTitle(caption);
    dlg.setLabelText(prompt);
    dlg.setTextValue(value);
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Storno"));
    if (dlg.exec() != QDialog::Accepted)
        return false;
    value = dlg.textValue();
    return true;
}

QString QtServices::MimeTypeOf(const QString& format)
{
    return format.contains(QLatin1Char('/')) ? format : QStringLiteral("application/x-sorvamet-") + format;
}

QString QtServices::ClipboardText() { return QGuiApplication::clipboard()->text(); }

void QtServices::SetClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

bool QtServices::ClipboardHasFormat(const QString& format)
{
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    return m && m->hasFormat(MimeTypeOf(format));
}

QByteArray QtServices::ClipboardData(const QString& format)
{
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    return m ? m->data(MimeTypeOf(format)) : QByteArray();
}

void QtServices::SetClipboardData(const QString& format, const QByteArray& data, const QString& text)
{
    auto* m = new QMimeData;
    m->setData(MimeTypeOf(format), data);
    if (!text.isNull())
        m->setText(text);
    QGuiApplication::clipboard()->setMimeData(m);
}

bool QtServices::ShellOpen(const QString& target, const QString& parameters)
{
    const QFileInfo fi(target);
    // A local document that is not there cannot be opened, whatever the
    // desktop's launcher would say after the fact.
    if (QDir::isAbsolutePath(target) && !fi.exists())
        return false;
    if (!parameters.isEmpty() && fi.isFile() && fi.isExecutable())
        return QProcess::startDetached(fi.absoluteFilePath(), QProcess::splitCommand(parameters));
    const QUrl url = fi.exists() ? QUrl::fromLocalFile(fi.absoluteFilePath()) : QUrl::fromUserInput(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}

void QtServices::Beep() { QApplication::beep(); }

void QtServices::SetBusyCursor(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace plat
