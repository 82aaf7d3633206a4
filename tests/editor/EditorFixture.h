#pragma once
// A recording window for the editor model, and small helpers of the tests.

#include "EditorDump.h"
#include "../TestUtil.h"
#include "PlainEditModel.h"
#include "PlainEditView.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

namespace edtest {

// A window of a fixed size that records what the model asks of it.
class FakeView : public IPlainEditView {
public:
    int width = 640;
    int height = 400;
    bool focused = true;
    bool captured = false;
    bool dragging = false;
    plat::TPoint cursor;
    plat::TShiftState keys;

    std::vector<plat::TRect> invalidated;
    int wholeInvalidations = 0;
    int updates = 0;
    std::vector<std::array<int, 2>> scrolls; // dx, dy
    std::array<TPlainScrollInfo, 2> info{};
    std::array<bool, 2> barVisible{true, true};
    std::array<std::array<bool, 2>, 2> arrows{};
    plat::TPoint caretPos;
    int caretWidth = 0;
    int caretHeight = 0;
    int caretsCreated = 0;
    bool caretVisible = false;
    bool timerRunning = false;
    plat::TCursor shownCursor = plat::crDefault;
    QString hintText;
    plat::TPoint hintAt;
    bool hintShown = false;
    int dragsBegun = 0;
    int focusRequests = 0;
    bool acceptFiles = false;

    int ClientWidth() const override { return width; }
    int ClientHeight() const override { return height; }
    bool Focused() const override { return focused; }
    void SetFocus() override { ++focusRequests; }
    void InvalidateRect(const plat::TRect& rect) override { invalidated.push_back(rect); }
    void Invalidate() override { ++wholeInvalidations; }
    void Update() override { ++updates; }
    void ScrollWindow(int dx, int dy, const plat::TRect&) override { scrolls.push_back({dx, dy}); }
    void CreateCaret(int w, int h) override
    {
        caretWidth = w;
        caretHeight = h;
        ++caretsCreated;
    }
    void DestroyCaret() override { caretVisible = false; }
    void SetCaretPos(int x, int y) override { caretPos = plat::TPoint{x, y}; }
    bool ShowCaret() override
    {
        caretVisible = true;
        return true;
    }
    bool HideCaret() override
    {
        caretVisible = false;
        return true;
    }
    void ShowScrollBar(TScrollBarKind kind, bool visible) override { barVisible[kind] = visible; }
    void SetScrollInfo(TScrollBarKind kind, const TPlainScrollInfo& i) override { info[kind] = i; }
    void EnableScrollArrows(TScrollBarKind kind, bool first, bool second) override { arrows[kind] = {first, second}; }
    void SetCursor(plat::TCursor c) override { shownCursor = c; }
    void SetCapture(bool c) override { captured = c; }
    bool MouseCaptured() const override { return captured; }
    plat::TPoint CursorPos() const override { return cursor; }
    void BeginDrag() override
    {
        ++dragsBegun;
        dragging = true;
    }
    bool Dragging() const override { return dragging; }
    void SetScrollTimer(bool running, int) override { timerRunning = running; }
    void SetAcceptFiles(bool accept) override { acceptFiles = accept; }
    plat::TShiftState KeyboardState() const override { return keys; }
    plat::TSize ScrollHintSize(const QString& text, int) const override { return plat::TSize{int(text.size()) * 7, 16}; }
    void ShowScrollHint(const QString& text, plat::TColor, plat::TPoint topLeft) override
    {
        hintText = text;
        hintAt = topLeft;
        hintShown = true;
    }
    void HideScrollHint() override { hintShown = false; }
};

// An editor with a text, without a window.
inline std::unique_ptr<TCustomPlainEdit> editorWith(const QStringList& lines)
{
    auto e = std::make_unique<TCustomPlainEdit>();
    e->Lines()->setStringList(lines);
    return e;
}

// Runs commands in order.
inline void run(TCustomPlainEdit& e, std::initializer_list<TPlainEditorCommand> commands)
{
    for (TPlainEditorCommand c : commands)
        e.CommandProcessor(c, QChar(0));
}

// Runs one command, with the character of ecChar.
inline void cmd(TCustomPlainEdit& e, TPlainEditorCommand c, QChar ch = QChar()) { e.CommandProcessor(c, ch); }

inline void type(TCustomPlainEdit& e, const QString& text)
{
    for (QChar c : text)
        e.CommandProcessor(ecChar, c);
}

inline QString reasons(const TPlainEditUndoList& list)
{
    QStringList out;
    for (int i = 0; i < list.ItemCount(); ++i)
        out << UndoReasonName(list.Item(i).Reason);
    return out.join(QLatin1Char(' '));
}

} // namespace edtest
