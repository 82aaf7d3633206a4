#include "zdCodePage.h"

#include "Modal.h"
#include "Services.h"
#include "StringList.h"
#include "zdClass.h"
#include "zdClass_report.h"
#include "zdCodeCompletion.h"
#include "zdCodeUtils.h"
#include "zdDataTree.h"
#include "zdDesignerModel.h"
#include "zdEvaluate.h"
#include "zdRes.h"
#include "zdScriptDebugger.h"
#include "zdSyntaxMemo.h"
#include "zdWatches.h"
#include "zs_iinterpreter.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Script file dialogs per language: filter index and default extension.
struct LanguageFile {
    const char* language;
    int filterIndex;
    const char* extension;
};
constexpr LanguageFile kLanguageFiles[] = {
    {"PascalScript", 1, "pas"}, {"C++Script", 2, "cpp"}, {"JScript", 3, "js"}, {"BasicScript", 4, "vb"},
};
constexpr int kOtherLanguageFilter = 5;
// The largest height of the watch window's dock site.
constexpr int kDockSiteMaxHeight = 350;

QString resText(const char* Key) { return zdGetResources()->GetText(QString::fromLatin1(Key)); }

} // namespace

TzdCodePage::TzdCodePage(zd::DesignerModel& Model, QWidget* parent) : QWidget(parent), m_model(Model)
{
    setObjectName(QStringLiteral("CodePanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_toolbar = new QWidget(this);
    m_toolbar->setObjectName(QStringLiteral("CodeTB"));
    auto* bar = new QHBoxLayout(m_toolbar);
    bar->setContentsMargins(2, 2, 2, 2);
    m_langLabel = new QLabel(zdGetResText(2306), m_toolbar);
    m_langLabel->setObjectName(QStringLiteral("LangL"));
    bar->addWidget(m_langLabel);
    m_lang = new QComboBox(m_toolbar);
    m_lang->setObjectName(QStringLiteral("LangCB"));
    m_lang->addItems(zsGetLanguageNames());
    bar->addWidget(m_lang);
    layout->addWidget(m_toolbar);

    m_memo = new TzdSyntaxMemo(this);
    layout->addWidget(m_memo, 1);
    m_dockSite = new QWidget(this);
    m_dockSite->setObjectName(QStringLiteral("CodeDockSite"));
    m_dockSite->setMaximumHeight(kDockSiteMaxHeight);
    auto* dockLayout = new QVBoxLayout(m_dockSite);
    dockLayout->setContentsMargins(0, 0, 0, 0);
    m_watches = new TzdWatchForm(m_dockSite);
    m_watches->setWindowFlags(Qt::Widget);
    dockLayout->addWidget(m_watches);
    m_dockSite->hide();
    layout->addWidget(m_dockSite);

    m_debugger = std::make_unique<zd::ScriptDebugger>(m_model, m_memo->Model());
    zd::ScriptDebugger& d = *m_debugger;
    addButton("OpenScriptB", 2300, [this] { OpenScript(); });
    addButton("SaveScriptB", 2301, [this] { SaveScript(); });
    addButton("RunScriptB", 2302, [this] { m_debugger->Run(); });
    addButton("RunToCursorB", 2477, [this] { m_debugger->RunToCursor(); });
    addButton("StepScriptB", 2303, [this] { m_debugger->Step(); });
    addButton("StopScriptB", 2304, [this] { m_debugger->Stop(); });
    addButton("EvaluateB", 2305, [this] { Evaluate(); });
    addButton("BreakPointB", 2476, [this] { m_debugger->ToggleBreakpoint(); });
    bar->addStretch();

    d.OnShowCodePage = [this] {
        if (OnShowCodePage)
            OnShowCodePage();
        else
            m_model.SelectTab(0);
    };
    d.OnEnableWindow = [this](bool Enabled) {
        if (QWidget* w = window(); w && w != this)
            w->setEnabled(Enabled);
        if (Enabled) {
            m_memo->setFocus();
        }
    };
    d.OnStateChanged = [this] {
        UpdateControls();
        // Once the run is over the watches have nothing to show.
        if (!m_debugger->Running() && m_watches->ScriptPaused) {
            m_watches->ScriptPaused = false;
            m_watches->Refresh();
        }
    };
    d.OnRefreshWatches = [this] {
        m_watches->WatchScript = m_model.report()->Script();
        m_watches->ScriptPaused = m_debugger->Paused();
        m_watches->Refresh();
    };

    m_memo->OnCodeCompletion = [this](const QString& Prefix, std::vector<zd::CompletionItem>& Items) {
        Items = zd::ScriptCompletionList(m_model.report(), Prefix);
    };
    m_memo->OnChange = [this] {
        // Code edits set Modified directly: no undo snapshot of the report.
        m_model.Modified = true;
        UpdateControls();
        if (OnModified)
            OnModified();
    };
    m_memo->OnChangePos = [this] {
        if (OnStatusText) {
            const zd::MemoPos p = m_memo->Model().CaretPos();
            OnStatusText(QString::number(p.line) + QStringLiteral("; ") + QString::number(p.column));
        }
    };
    m_memo->installEventFilter(this);
    connect(m_lang, &QComboBox::activated, this, [this](int Index) { ChangeLanguage(m_lang->itemText(Index)); });
    LoadFromReport();
    UpdateControls();
}

TzdCodePage::~TzdCodePage()
{
    // The debugger ends a paused run before the editor it uses goes.
    m_debugger.reset();
}

QToolButton* TzdCodePage::addButton(const char* Name, int Hint, const std::function<void()>& Action)
{
    auto* b = new QToolButton(m_toolbar);
    b->setObjectName(QString::fromLatin1(Name));
    b->setToolTip(zdGetResText(Hint));
    b->setText(zdGetResText(Hint));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QToolButton::clicked, this, [Action] {
        try {
            Action();
        } catch (const std::exception& e) {
            plat::Services().MessageBox(QString::fromLocal8Bit(e.what()), resText("mbError"),
                                        plat::MB_OK | plat::MB_ICONERROR);
        }
    });
    static_cast<QHBoxLayout*>(m_toolbar->layout())->addWidget(b);
    return b;
}

void TzdCodePage::LoadFromReport()
{
    const zd::TStringList* text = m_model.report()->ScriptText();
    QStringList lines;
    for (int i = 0; i < text->Count(); ++i)
        lines.append(text->Strings(i));
    m_memo->SetLines(lines);
    FollowLanguage();
}

void TzdCodePage::SaveToReport()
{
    zd::TStringList* text = m_model.report()->ScriptText();
    text->Clear();
    for (const QString& line : m_memo->Lines())
        text->Add(line);
}

void TzdCodePage::FollowLanguage()
{
    const QString language = m_model.report()->GetScriptLanguage();
    m_memo->SetSyntaxLanguage(language);
    m_following = true;
    const int index = m_lang->findText(language, Qt::MatchFixedString);
    m_lang->setCurrentIndex(index);
    m_following = false;
    m_filterIndex = kOtherLanguageFilter;
    m_defaultExt.clear();
    for (const LanguageFile& f : kLanguageFiles) {
        if (language.compare(QLatin1String(f.language), Qt::CaseInsensitive) == 0) {
            m_filterIndex = f.filterIndex;
            m_defaultExt = QString::fromLatin1(f.extension);
        }
    }
}

void TzdCodePage::ChangeLanguage(const QString& Name)
{
    if (m_following)
        return;
    if (m_model.LockedByScriptRun(QStringLiteral("LangCB"))) {
        FollowLanguage();
        return;
    }
    const int answer = plat::Services().MessageBox(resText("dsClearScript"), resText("mbConfirm"),
                                                   plat::MB_YESNO | plat::MB_ICONQUESTION);
    if (answer != plat::IDYES) {
        FollowLanguage();
        return;
    }
    TzdReport* report = m_model.report();
    report->SetScriptLanguage(Name);
    plat::TStringList lines;
    DefaultCodeLines(lines, Name);
    QStringList list;
    for (int i = 0; i < lines.Count(); ++i)
        list.append(lines.Strings(i));
    m_memo->SetLines(list);
    FollowLanguage();
    SaveToReport();
    m_model.SetModifiedFlag(true);
    m_memo->setFocus();
}

void TzdCodePage::OpenScript()
{
    plat::FileDialogRequest request;
    request.kind = plat::FileDialogRequest::Open;
    request.filter = zdGetResText(2473);
    request.filterIndex = m_filterIndex;
    request.defaultExt = m_defaultExt;
    const plat::FileDialogResult result = plat::Services().FileDialog(request);
    if (!result.accepted)
        return;
    plat::TStringList lines;
    lines.LoadFromFile(result.FileName());
    QStringList list;
    for (int i = 0; i < lines.Count(); ++i)
        list.append(lines.Strings(i));
    m_memo->SetLines(list);
    SaveToReport();
    m_model.SetModifiedFlag(true);
}

void TzdCodePage::SaveScript()
{
    plat::FileDialogRequest request;
    request.kind = plat::FileDialogRequest::Save;
    request.filter = zdGetResText(2473);
    request.filterIndex = m_filterIndex;
    request.defaultExt = m_defaultExt;
    const plat::FileDialogResult result = plat::Services().FileDialog(request);
    if (!result.accepted)
        return;
    plat::TStringList lines;
    for (const QString& line : m_memo->Lines())
        lines.Add(line);
    lines.SaveToFile(result.FileName());
}

void TzdCodePage::Evaluate()
{
    TzdEvaluateForm form(this);
    // Only a paused run has values to show; otherwise the window says so.
    form.Script = m_debugger->Paused() ? m_model.report()->Script() : nullptr;
    const QString word = m_memo->Model().WordAtCaret();
    if (!word.isEmpty())
        form.ExpressionE()->setText(word);
    plat::ExecModal(form);
}

void TzdCodePage::InsertText(const QString& Text)
{
    // An insertion is an edit of its own: one Undo takes it back.
    m_memo->Model().UndoPending = true;
    m_memo->Model().ClearSelection();
    m_memo->Model().ReplaceSelection(Text);
    m_memo->setFocus();
}

void TzdCodePage::AttachDataTree(TzdDataTreeForm* Tree)
{
    // Only a node of the tree's own trees that has a text to give.
    const auto dropText = [Tree](QObject* Source) {
        QString text;
        if (!Tree || TzdDataTreeForm::FromDragSource(Source) != Tree)
            return text;
        try {
            text = Tree->InsertionText(-1);
        } catch (const std::exception&) {
            // A dataset that fails gives nothing to drop.
        }
        return text;
    };
    m_memo->OnDragOver = [dropText](QObject* Source) { return !dropText(Source).isEmpty(); };
    m_memo->OnDragDrop = [this, dropText](QObject* Source) { InsertText(dropText(Source)); };
}

void TzdCodePage::UpdateControls()
{
    const bool locked = m_model.LockedByScriptRun(QStringLiteral("LangCB"));
    m_lang->setEnabled(!locked);
}

bool TzdCodePage::commandKey(int Key, Qt::KeyboardModifiers Modifiers)
{
    const bool ctrl = Modifiers & Qt::ControlModifier;
    switch (Key) {
    case Qt::Key_F9:
        m_debugger->Run();
        return true;
    case Qt::Key_F7:
        if (ctrl)
            Evaluate();
        else
            m_debugger->Step();
        return true;
    case Qt::Key_F8:
        m_debugger->Step();
        return true;
    case Qt::Key_F4:
        m_debugger->RunToCursor();
        return true;
    case Qt::Key_F5:
        m_debugger->ToggleBreakpoint();
        return true;
    case Qt::Key_F2:
        if (!ctrl)
            return false;
        m_debugger->Stop();
        return true;
    default:
        return false;
    }
}

bool TzdCodePage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_memo && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        try {
            if (commandKey(key->key(), key->modifiers()))
                return true;
        } catch (const std::exception& e) {
            plat::Services().MessageBox(QString::fromLocal8Bit(e.what()), resText("mbError"),
                                        plat::MB_OK | plat::MB_ICONERROR);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
