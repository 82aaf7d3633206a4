#pragma once
// The designer's code editor: a grid of fixed character cells over the
// editor model (zdSyntaxMemoModel.h), coloured by the syntax of the script
// language, with a gutter for bookmarks, breakpoints and executable-line
// marks, the active line of a paused run, a message band and a completion
// list that its host fills.

#include "zdCtrls.h"
#include "zdSyntaxMemoModel.h"

#include <QFont>

#include <functional>
#include <memory>
#include <vector>

class QListWidget;

namespace zd {
// One entry of the completion list: its text and kind (0 var, 1 property,
// 2 procedure, 3 function).
struct CompletionItem {
    QString text;
    int kind = 0;
};
} // namespace zd

class TzdSyntaxMemo : public TzdScrollWin {
public:
    static constexpr int kGutterWidth = 30;

    explicit TzdSyntaxMemo(QWidget* parent = nullptr);
    ~TzdSyntaxMemo() override;

    zd::SyntaxMemoModel& Model() { return *m_model; }
    const zd::SyntaxMemoModel& Model() const { return *m_model; }

    QStringList Lines() const { return m_model->Lines(); }
    void SetLines(const QStringList& Lines) { m_model->SetLines(Lines); }
    void SetSyntaxLanguage(const QString& Name) { m_model->SetSyntaxLanguage(Name); }
    void SetActiveLine(int Line) { m_model->SetActiveLine(Line); }
    void SetMessageText(const QString& Text) { m_model->SetMessageText(Text); }
    bool ShowGutter() const { return m_gutter > 0; }
    void SetShowGutter(bool On);
    int GutterWidth() const { return m_gutter; }
    void SetEditorFont(const QFont& Font);
    QFont EditorFont() const { return m_font; }
    int CellWidth() const { return m_cellWidth; }
    int CellHeight() const { return m_cellHeight; }
    // The top-left pixel of a cell (1-based column and line) in the viewport.
    QPoint CellOrigin(int Column, int Line) const;
    void UpdateView();

    // Opens the completion list at the caret (Ctrl+Space); nothing without
    // a handler.
    void ShowCompletion();
    QListWidget* CompletionList() const { return m_completion; }
    // Inserts the chosen completion item and closes the list.
    void AcceptCompletion();

    std::function<void(const QString& Prefix, std::vector<zd::CompletionItem>& Items)> OnCodeCompletion;
    std::function<void()> OnChange;
    std::function<void()> OnChangePos;

    // Dragging over the text: the host says whether what Source drags may
    // be dropped here (the designer takes the data tree's nodes). While an
    // accepted drag moves over the text the caret follows it, so the drop
    // goes where the mouse is. The Qt drag events come through these two.
    std::function<bool(QObject* Source)> OnDragOver;
    std::function<void(QObject* Source)> OnDragDrop;
    bool DragOver(QObject* Source, QPoint At);
    void DragDrop(QObject* Source, QPoint At);

protected:
    bool event(QEvent* event) override;
    void PaintContent(QPainter& painter) override;
    void HorzPositionChanged() override;
    void VertPositionChanged() override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void measure();
    void updateBars();
    void updateCaret();
    zd::MemoPos cellAt(QPoint p) const;
    void paintLine(QPainter& p, int lineIndex, int y);
    void paintMarks(QPainter& p, int lineIndex, int y);

    std::unique_ptr<zd::SyntaxMemoModel> m_model;
    QFont m_font;
    int m_cellWidth = 8;
    int m_cellHeight = 16;
    int m_gutter = kGutterWidth;
    bool m_courier = false;
    bool m_pressedInGutter = false;
    bool m_dragging = false;
    bool m_hasFocus = false;
    QWidget* m_popup = nullptr;
    QListWidget* m_completion = nullptr;
    int m_composeStart = 0;
    int m_composeLength = 0;
};
