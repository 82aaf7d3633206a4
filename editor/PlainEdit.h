#pragma once
// The plain-text editor as a window: a scroll area that is the model's view.
// It paints the gutter, the text in fixed cells, the selection, the special
// characters, the right edge and the caret, and forwards keys, the mouse,
// the wheel, the input method and drag and drop to the model. No exception
// from the model leaves an event handler.

#include "PlainEditModel.h"

#include <QAbstractScrollArea>
#include <QFont>

#include <memory>
#include <utility>

class QMimeData;
class QPainter;
class QRegion;
class QTimer;

class TPlainMemo;

// The memo's lines, the way a string list shows them.
class TPlainMemoLines {
public:
    int Count() const;
    // Raises EStringListError "List index out of bounds (%d)" outside 0..Count-1.
    QString Strings(int index) const;
    void Delete(int index);
    void Clear();
    QString Text() const;
    void SetText(const QString& text);

private:
    friend class TPlainMemo;
    explicit TPlainMemoLines(TPlainMemo& memo) : m_memo(memo) {}
    TPlainMemo& m_memo;
};

class TPlainMemo : public QAbstractScrollArea, private IPlainEditView {
public:
    explicit TPlainMemo(QWidget* parent = nullptr);
    ~TPlainMemo() override;

    // The editor model behind the window.
    TPlainEdit& Edit() { return *m_edit; }
    const TPlainEdit& Edit() const { return *m_edit; }

    TPlainMemoLines& Lines() { return m_lines; }
    const TPlainMemoLines& Lines() const { return m_lines; }
    QString Text() const;
    void SetText(const QString& text);
    void Clear();
    // Keeps only the lines for which keep is true, in one change that
    // leaves no undo history behind (the old records would not fit).
    void KeepLines(const std::function<bool(const QString&)>& keep);

    TPlainEditorOptions Options() const { return m_edit->Options(); }
    void SetOptions(TPlainEditorOptions options);
    int TabWidth() const { return m_edit->TabWidth(); }
    void SetTabWidth(int width);

    // Font of the text: setFont. The gutter has its own.
    QFont GutterFont() const { return m_gutterFont; }
    void SetGutterFont(const QFont& font);
    bool ShowLineNumbers() const;
    void SetShowLineNumbers(bool on);
    int GutterWidth() const;

    // The widget that takes the keys (for focus and for tests).
    QWidget* Editor() const;

    // Paints the part rect of the client area (viewport coordinates).
    void PaintArea(QPainter& painter, const QRect& rect);
    // The client area painted into an image (without the caret).
    QImage Render();

    bool CaretVisibleNow() const { return m_caretShown && m_caretOn; }
    QString PreeditText() const { return m_preedit; }
    // What dragging the selection carries: the text, and for a memo of
    // this program the source, so that the block moves through the model.
    std::unique_ptr<QMimeData> DragData() const;
    QRect CaretRect() const { return m_caretRect; }
    // Whether the arrow at the start and the one at the end of a scroll bar
    // take clicks (the model disables them at the ends of the range).
    std::pair<bool, bool> ScrollArrows(TScrollBarKind kind) const;

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class TPlainMemoLines;
    template <class F>
    void guarded(F&& f);
    void paintRows(QPainter& painter, const QRegion& region, bool withCaret);
    void paintPreedit(QPainter& painter);
    QRect preeditRect() const;
    void fontToModel();

    // IPlainEditView
    bool HandleAllocated() const override { return true; }
    bool IsVisible() const override { return true; }
    int ClientWidth() const override;
    int ClientHeight() const override;
    bool Focused() const override;
    void SetFocus() override;
    void InvalidateRect(const plat::TRect& rect) override;
    void Invalidate() override;
    void Update() override;
    void ScrollWindow(int dx, int dy, const plat::TRect& clip) override;
    void RecreateWindow() override;
    void SetAcceptFiles(bool accept) override { m_acceptFiles = accept; }
    void CreateCaret(int width, int height) override;
    void DestroyCaret() override;
    void SetCaretPos(int x, int y) override;
    bool ShowCaret() override;
    bool HideCaret() override;
    void ShowScrollBar(TScrollBarKind kind, bool visible) override;
    void SetScrollInfo(TScrollBarKind kind, const TPlainScrollInfo& info) override;
    void EnableScrollArrows(TScrollBarKind kind, bool first, bool second) override;
    void SetCursor(plat::TCursor cursor) override;
    void SetCapture(bool captured) override;
    bool MouseCaptured() const override { return m_captured; }
    plat::TPoint CursorPos() const override;
    void BeginDrag() override;
    bool Dragging() const override { return m_dragging; }
    void SetScrollTimer(bool running, int intervalMs) override;
    plat::TShiftState KeyboardState() const override;
    plat::TSize ScrollHintSize(const QString& text, int maxWidth) const override;
    void ShowScrollHint(const QString& text, plat::TColor color, plat::TPoint topLeft) override;
    void HideScrollHint() override;
    int WheelScrollLines() const override;

    TPlainMemoLines m_lines{*this};
    std::unique_ptr<TPlainEdit> m_edit;
    QFont m_gutterFont;
    QTimer* m_blink = nullptr;
    QTimer* m_scrollTimer = nullptr;
    QRect m_caretRect;
    QString m_preedit; // the input method's composition, not yet text
    int m_preeditCursor = 0;
    bool m_caretShown = false;
    bool m_caretOn = true;
    bool m_captured = false;
    bool m_dragging = false;
    bool m_settingScroll = false;
    bool m_acceptFiles = false;
};
