#pragma once
// The code page of the designer window: the script toolbar (language
// choice, script files, Run, Run to Cursor, Step, Stop, Evaluate, Toggle
// Breakpoint), the code editor, and a dock site for the watch window below
// it. The page owns the debugger of the designer it edits for; the window
// takes the page as one widget.

#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QToolButton;
class TzdDataTreeForm;
class TzdSyntaxMemo;
class TzdWatchForm;

namespace zd {
class DesignerModel;
class ScriptDebugger;
} // namespace zd

class TzdCodePage : public QWidget {
public:
    explicit TzdCodePage(zd::DesignerModel& Model, QWidget* parent = nullptr);
    ~TzdCodePage() override;

    TzdSyntaxMemo* CodeWindow() const { return m_memo; }
    zd::ScriptDebugger& Debugger() const { return *m_debugger; }
    TzdWatchForm* WatchForm() const { return m_watches; }
    QComboBox* LangCB() const { return m_lang; }

    // The report's script and language into the editor (after loading or
    // a new report).
    void LoadFromReport();
    // The editor's lines into the report's script.
    void SaveToReport();
    // The editor's syntax, the combo and the script file dialogs follow
    // the report's language.
    void FollowLanguage();
    // The language chosen in the combo, after the question "dsClearScript".
    void ChangeLanguage(const QString& Name);
    void OpenScript();
    void SaveScript();
    void Evaluate();
    // Text from the data tree: inserted at the caret, and the editor takes
    // the focus.
    void InsertText(const QString& Text);
    // Nodes of Tree's trees may be dragged into the editor; each drops its
    // insertion text where the mouse lets go. Tree outlives the page.
    void AttachDataTree(TzdDataTreeForm* Tree);
    // Enables the toolbar's controls by the designer's state.
    void UpdateControls();

    // The dialogs' filter index and default extension of the language.
    int ScriptFilterIndex() const { return m_filterIndex; }
    QString ScriptDefaultExt() const { return m_defaultExt; }

    // The window shows the code page (default: the designer model's tab 0).
    std::function<void()> OnShowCodePage;
    // The code was edited (the designer's Modified is set by then).
    std::function<void()> OnModified;
    // Status panel 1: "LINE; COLUMN".
    std::function<void(const QString& Text)> OnStatusText;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* addButton(const char* Name, int Hint, const std::function<void()>& Action);
    // The command keys of the code page; true when one was handled.
    bool commandKey(int Key, Qt::KeyboardModifiers Modifiers);

    zd::DesignerModel& m_model;
    QWidget* m_toolbar;
    QLabel* m_langLabel;
    QComboBox* m_lang;
    TzdSyntaxMemo* m_memo;
    QWidget* m_dockSite;
    TzdWatchForm* m_watches;
    std::unique_ptr<zd::ScriptDebugger> m_debugger;
    int m_filterIndex = 1;
    QString m_defaultExt = QStringLiteral("pas");
    bool m_following = false;
};
