#include "ScriptedServices.h"

namespace plat {

namespace {

struct BoxButton {
    const char* name;
    int result;
};

// The buttons of a MessageBox by its button flags, in screen order.
std::vector<BoxButton> boxButtons(unsigned flags)
{
    switch (flags & 0xF) {
    case MB_OKCANCEL: return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{"Abort", IDABORT}, {"Retry", IDRETRY}, {"Ignore", IDIGNORE}};
    case MB_YESNOCANCEL: return {{"Yes", IDYES}, {"No", IDNO}, {"Cancel", IDCANCEL}};
    case MB_YESNO: return {{"Yes", IDYES}, {"No", IDNO}};
    case MB_RETRYCANCEL: return {{"Retry", IDRETRY}, {"Cancel", IDCANCEL}};
    default: return {{"OK", IDOK}};
    }
}

const char* dlgButtonName(TMsgDlgBtn b)
{
    static const char* const names[] = {"Yes", "No", "OK", "Cancel", "Abort", "Retry",
                                        "Ignore", "All", "NoToAll", "YesToAll", "Help"};
    return names[b];
}

QString optionsMask(quint32 mask) { return QStringLiteral("0x%1").arg(mask, 0, 16); }

} // namespace

ScriptedServices::ScriptedServices() = default;
ScriptedServices::~ScriptedServices() = default;

void ScriptedServices::AnswerMessage(int result)
{
    Answer a;
    a.code = result;
    m_answers[QStringLiteral("Message")].push_back(a);
}

void ScriptedServices::AnswerFile(const QStringList& files, int filterIndex)
{
    Answer a;
    a.strings = files;
    a.code = filterIndex;
    m_answers[QStringLiteral("File")].push_back(a);
}

void ScriptedServices::AnswerFolder(const QString& folder)
{
    Answer a;
    a.strings = {folder};
    m_answers[QStringLiteral("FolderDialog")].push_back(a);
}

void ScriptedServices::AnswerColor(TColor color)
{
    Answer a;
    a.color = color;
    m_answers[QStringLiteral("ColorDialog")].push_back(a);
}

void ScriptedServices::AnswerFont(std::function<void(TFont&)> change)
{
    Answer a;
    a.font = std::move(change);
    m_answers[QStringLiteral("FontDialog")].push_back(a);
}

void ScriptedServices::AnswerPrint(std::function<void(PrintDialogRequest&)> change)
{
    Answer a;
    a.print = std::move(change);
    m_answers[QStringLiteral("PrintDialog")].push_back(a);
}

void ScriptedServices::AnswerPrinterSetup(bool accepted)
{
    Answer a;
    a.cancel = !accepted;
    m_answers[QStringLiteral("PrinterSetupDialog")].push_back(a);
}

void ScriptedServices::AnswerInput(const QString& value)
{
    Answer a;
    a.strings = {value};
    m_answers[QStringLiteral("InputQuery")].push_back(a);
}

void ScriptedServices::AnswerShellOpen(bool success)
{
    Answer a;
    a.code = success ? 1 : 0;
    m_answers[QStringLiteral("ShellOpen")].push_back(a);
}

void ScriptedServices::Cancel(const QString& kind)
{
    Answer a;
    a.cancel = true;
    QString key = kind;
    if (kind == QLatin1String("OpenDialog") || kind == QLatin1String("SaveDialog"))
        key = QStringLiteral("File");
    else if (kind == QLatin1String("MessageBox") || kind == QLatin1String("MessageDlg"))
        key = QStringLiteral("Message");
    m_answers[key].push_back(a);
}

std::vector<ServiceCall> ScriptedServices::CallsOf(const QString& kind) const
{
    std::vector<ServiceCall> out;
    for (const auto& c : m_calls)
        if (c.kind == kind)
            out.push_back(c);
    return out;
}

int ScriptedServices::PendingAnswers() const
{
    int n = 0;
    for (const auto& q : m_answers)
        n += int(q.size());
    return n;
}

void ScriptedServices::Reset()
{
    m_answers.clear();
    m_calls.clear();
    m_unexpected.clear();
}

bool ScriptedServices::take(const QString& kind, Answer& answer)
{
    auto it = m_answers.find(kind);
    if (it == m_answers.end() || it->empty())
        return false;
    answer = it->front();
    it->pop_front();
    return true;
}

ServiceCall& ScriptedServices::record(ServiceCall call)
{
    m_calls.push_back(std::move(call));
    return m_calls.back();
}

int ScriptedServices::MessageBox(const QString& text, const QString& caption, unsigned flags)
{
    ServiceCall call{QStringLiteral("MessageBox"), caption, text, flags, {}, {}, 0, {}};
    const auto buttons = boxButtons(flags);
    const size_t def = std::min<size_t>((flags >> 8) & 0xF, buttons.size() - 1);
    for (size_t i = 0; i < buttons.size(); ++i)
        call.buttons << QString::fromLatin1(buttons[i].name) + (i == def ? QStringLiteral("*") : QString());
    Answer a;
    if (!take(QStringLiteral("Message"), a)) {
        m_unexpected << QStringLiteral("MessageBox without answer: %1").arg(text);
        call.result = buttons[def].result;
    } else if (a.cancel) {
        // Closing the box: Cancel where there is one, else the only OK.
        bool hasCancel = false;
        for (const auto& b : buttons)
            hasCancel |= b.result == IDCANCEL;
        call.result = hasCancel ? IDCANCEL : (buttons.size() == 1 ? IDOK : buttons[def].result);
        if (!hasCancel && buttons.size() > 1)
            m_unexpected << QStringLiteral("MessageBox cannot be closed: %1").arg(text);
    } else {
        bool valid = false;
        for (const auto& b : buttons)
            valid |= b.result == a.code;
        if (!valid)
            m_unexpected << QStringLiteral("MessageBox has no button for answer %1: %2").arg(a.code).arg(text);
        call.result = a.code;
    }
    return record(std::move(call)).result;
}

TModalResult ScriptedServices::MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                                          std::optional<TMsgDlgBtn> defaultButton, const QString& caption)
{
    ServiceCall call{QStringLiteral("MessageDlg"), caption, text, unsigned(type), {}, {}, 0, {}};
    TMsgDlgBtn def = mbOK;
    if (defaultButton && buttons.contains(*defaultButton))
        def = *defaultButton;
    else if (buttons.contains(mbOK))
        def = mbOK;
    else if (buttons.contains(mbYes))
        def = mbYes;
    else
        for (int b = mbYes; b <= mbHelp; ++b)
            if (buttons.contains(TMsgDlgBtn(b))) {
                def = TMsgDlgBtn(b);
                break;
            }
    for (int b = mbYes; b <= mbHelp; ++b)
        if (buttons.contains(TMsgDlgBtn(b)))
            call.buttons << QString::fromLatin1(dlgButtonName(TMsgDlgBtn(b)))
                                + (b == def ? QStringLiteral("*") : QString());
    Answer a;
    if (!take(QStringLiteral("Message"), a)) {
        m_unexpected << QStringLiteral("MessageDlg without answer: %1").arg(text);
        call.result = buttons.empty() ? mrOk : ModalResultOf(def);
    } else if (a.cancel) {
        call.result = mrCancel;
    } else {
        bool valid = false;
        for (int b = mbYes; b <= mbYesToAll; ++b)
            valid |= buttons.contains(TMsgDlgBtn(b)) && ModalResultOf(TMsgDlgBtn(b)) == a.code;
        if (!valid)
            m_unexpected << QStringLiteral("MessageDlg has no button for answer %1: %2").arg(a.code).arg(text);
        call.result = a.code;
    }
    return record(std::move(call)).result;
}

FileDialogResult ScriptedServices::FileDialog(const FileDialogRequest& r)
{
    ServiceCall call;
    call.kind = r.kind == FileDialogRequest::Open ? QStringLiteral("OpenDialog") : QStringLiteral("SaveDialog");
    call.caption = r.title;
    call.details = {r.filter, QString::number(r.filterIndex), r.initialDir, r.fileName, r.defaultExt,
                    optionsMask(r.options.mask())};
    FileDialogResult result;
    result.filterIndex = r.filterIndex;
    Answer a;
    if (!take(QStringLiteral("File"), a)) {
        m_unexpected << call.kind + QStringLiteral(" without answer");
    } else if (!a.cancel && !a.strings.isEmpty()) {
        result.accepted = true;
        for (const QString& f : a.strings)
            result.files << ApplyDefaultExt(f, r.defaultExt);
        if (!r.options.contains(ofAllowMultiSelect) && result.files.size() > 1) {
            m_unexpected << call.kind + QStringLiteral(" answered with several files without ofAllowMultiSelect");
            result.files = result.files.mid(0, 1);
        }
        if (a.code > 0)
            result.filterIndex = a.code;
    }
    call.result = result.accepted ? 1 : 0;
    call.answer = result.files.join(QLatin1Char('\n'));
    record(std::move(call));
    return result;
}

std::optional<QString> ScriptedServices::FolderDialog(const QString& title, const QString& initialDir)
{
    ServiceCall call{QStringLiteral("FolderDialog"), title, {}, 0, {}, {initialDir}, 0, {}};
    Answer a;
    std::optional<QString> result;
    if (!take(call.kind, a))
        m_unexpected << QStringLiteral("FolderDialog without answer");
    else if (!a.cancel)
        result = a.strings.value(0);
    call.result = result ? 1 : 0;
    call.answer = result.value_or(QString());
    record(std::move(call));
    return result;
}

std::optional<TColor> ScriptedServices::ColorDialog(TColor initial, TColorDialogOptions options)
{
    ServiceCall call{QStringLiteral("ColorDialog"), {}, ColorToString(initial), 0, {}, {optionsMask(options.mask())}, 0, {}};
    Answer a;
    std::optional<TColor> result;
    if (!take(call.kind, a))
        m_unexpected << QStringLiteral("ColorDialog without answer");
    else if (!a.cancel)
        result = a.color;
    call.result = result ? 1 : 0;
    call.answer = result ? ColorToString(*result) : QString();
    record(std::move(call));
    return result;
}

bool ScriptedServices::FontDialog(TFont& font, TFontDialogOptions options)
{
    ServiceCall call{QStringLiteral("FontDialog"), {}, font.Name(), 0, {}, {QString::number(font.Size()), optionsMask(options.mask())}, 0, {}};
    Answer a;
    bool accepted = false;
    if (!take(call.kind, a)) {
        m_unexpected << QStringLiteral("FontDialog without answer");
    } else if (!a.cancel) {
        accepted = true;
        if (a.font)
            a.font(font);
    }
    call.result = accepted;
    call.answer = accepted ? font.Name() : QString();
    record(std::move(call));
    return accepted;
}

bool ScriptedServices::PrintDialog(PrintDialogRequest& request)
{
    ServiceCall call{QStringLiteral("PrintDialog"), {}, {}, 0, {},
                     {QString::number(request.fromPage), QString::number(request.toPage),
                      QString::number(request.copies), optionsMask(request.options.mask())},
                     0, {}};
    Answer a;
    bool accepted = false;
    if (!take(call.kind, a)) {
        m_unexpected << QStringLiteral("PrintDialog without answer");
    } else if (!a.cancel) {
        accepted = true;
        if (a.print)
            a.print(request);
    }
    call.result = accepted;
    record(std::move(call));
    return accepted;
}

bool ScriptedServices::PrinterSetupDialog()
{
    ServiceCall call{QStringLiteral("PrinterSetupDialog"), {}, {}, 0, {}, {}, 0, {}};
    Answer a;
    bool accepted = false;
    if (!take(call.kind, a))
        m_unexpected << QStringLiteral("PrinterSetupDialog without answer");
    else
        accepted = !a.cancel;
    call.result = accepted;
    record(std::move(call));
    return accepted;
}

bool ScriptedServices::InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    ServiceCall call{QStringLiteral("InputQuery"), caption, prompt, 0, {}, {value}, 0, {}};
    Answer a;
    bool accepted = false;
    if (!take(call.kind, a)) {
        m_unexpected << QStringLiteral("InputQuery without answer: %1").arg(prompt);
    } else if (!a.cancel) {
        accepted = true;
        value = a.strings.value(0);
    }
    call.result = accepted;
    call.answer = accepted ? value : QString();
    record(std::move(call));
    return accepted;
}

QString ScriptedServices::ClipboardText()
{
    record({QStringLiteral("ClipboardText"), {}, m_clipText, 0, {}, {}, 0, m_clipText});
    return m_clipText;
}

void ScriptedServices::SetClipboardText(const QString& text)
{
    m_clipText = text;
    m_clipData.clear();
    record({QStringLiteral("SetClipboardText"), {}, text, 0, {}, {}, 0, {}});
}

bool ScriptedServices::ClipboardHasFormat(const QString& format) { return m_clipData.contains(format); }

QByteArray ScriptedServices::ClipboardData(const QString& format)
{
    record({QStringLiteral("ClipboardData"), format, {}, 0, {}, {}, 0, {}});
    return m_clipData.value(format);
}

void ScriptedServices::SetClipboardData(const QString& format, const QByteArray& data, const QString& text)
{
    m_clipData.clear();
    m_clipData.insert(format, data);
    m_clipText = text;
    record({QStringLiteral("SetClipboardData"), format, text, 0, {}, {QString::fromLatin1(data.toHex())}, 0, {}});
}

bool ScriptedServices::ShellOpen(const QString& target, const QString& parameters)
{
    ServiceCall call{QStringLiteral("ShellOpen"), {}, target, 0, {}, {parameters}, 1, {}};
    Answer a;
    if (take(call.kind, a))
        call.result = a.code;
    return record(std::move(call)).result != 0;
}

void ScriptedServices::Beep() { record({QStringLiteral("Beep"), {}, {}, 0, {}, {}, 0, {}}); }

void ScriptedServices::SetBusyCursor(bool busy)
{
    m_busy = busy;
    record({QStringLiteral("BusyCursor"), {}, {}, 0, {}, {}, busy ? 1 : 0, {}});
}

} // namespace plat
