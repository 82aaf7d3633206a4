#pragma once
// The text object editor: the text in a wide memo, with the highlight
// editor (and, when the host gives one, the display-format editor) on tabs
// of their own. The text is edited as it is stored (UTF-16): no character
// is lost on the way in or out. The window keeps its place and the word
// wrap choice in the settings of the object's report.

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QTabWidget;
class TUnicodeMemo;
class TzdCustomMemoView;
class TzdFormatEditorForm;
class TzdHighlightEditorForm;
class TzdReport;

class TzdMemoEditorForm : public QDialog {
public:
    explicit TzdMemoEditorForm(QWidget* Parent = nullptr);
    ~TzdMemoEditorForm() override;

    // The object and the text to edit; loads both into the tabs.
    void SetMemo(TzdCustomMemoView* Memo, const QString& Text);
    // The edited text, taken when the dialog closes.
    const QString& EditedText() const { return m_editedText; }
    TUnicodeMemo* Memo() const { return m_memo; }
    TzdHighlightEditorForm* HighlightEditor() const { return m_highlight; }

    // The expression prompt (the designer's expression editor by default).
    std::function<QString(const QString&)> EditExpression;
    // The aggregate prompt; the button is hidden while none is given.
    std::function<std::optional<QString>()> EditAggregate;
    // Inserts an expression at the caret, wrapped in the object's
    // delimiters; an empty result inserts nothing.
    void InsertExpression();
    void SetWordWrap(bool Value);

    void done(int Result) override;
    void setVisible(bool Visible) override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    TzdReport* report() const;
    QString editExpression(const QString& Expression);

    TzdCustomMemoView* m_object = nullptr;
    QString m_editedText;
    QTabWidget* m_pages;
    TUnicodeMemo* m_memo;
    QAction* m_aggregate;
    QAction* m_wordWrap;
    TzdHighlightEditorForm* m_highlight;
    std::unique_ptr<TzdFormatEditorForm> m_format;
    bool m_placing = false;
};
