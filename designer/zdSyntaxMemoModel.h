#pragma once
// The code editor without its window: the lines, caret, selection, snapshot
// undo, bookmarks, breakpoints, executable-line marks, the active line and
// the colour map that the syntax of the script language (or SQL) gives each
// character. TzdSyntaxMemo draws this model and forwards keys and clicks to
// it; tests drive it directly.
//
// Columns and lines are 1-based. The view's part (first visible line and
// column, and how many fit) is kept here too, so that caret moves, paging
// and scrolling follow one rule whether a window shows the text or not.

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TzsParser;

namespace zd {

// Colour codes of the colour map.
enum SyntaxColour : char16_t {
    scText = 1,
    scComment = 3,
    scKeyword = 4,
    scString = 5,
    scNumber = 6,
};

struct MemoPos {
    int column = 1;
    int line = 1;
    friend bool operator==(const MemoPos&, const MemoPos&) = default;
};

class SyntaxMemoModel {
public:
    // The caret never goes past this column; it is also the width the
    // horizontal scroll bar covers.
    static constexpr int kMaxColumns = 1024;
    static constexpr int kUndoLimit = 32;
    static constexpr int kBookmarkCount = 10;

    SyntaxMemoModel();
    ~SyntaxMemoModel();
    SyntaxMemoModel(const SyntaxMemoModel&) = delete;
    SyntaxMemoModel& operator=(const SyntaxMemoModel&) = delete;

    // --- text; writing it resets caret, scroll, selection, undo and colours
    const QStringList& Lines() const { return m_lines; }
    void SetLines(const QStringList& Lines);
    // The lines joined by CR LF.
    QString Text() const;
    void SetText(const QString& Text);
    int LineCount() const { return int(m_lines.size()); }
    QString Line(int Line) const;

    // --- caret and selection
    MemoPos CaretPos() const { return m_caret; }
    void SetCaretPos(int Column, int Line);
    // 1-based offset of the caret in Text().
    int CaretOffset() const;
    bool HasSelection() const { return m_anchor.column != 0; }
    MemoPos SelStart() const;
    MemoPos SelEnd() const;
    void SetSelection(MemoPos Anchor, MemoPos Caret);
    void ClearSelection() { m_anchor = {0, 0}; }
    QString SelText() const;
    void ReplaceSelection(const QString& S);
    void SelectAll();
    void SelectWordAtCaret();
    QString WordAtCaret() const;
    // Mouse: the caret to the cell; Extend keeps the anchor (Shift or drag).
    void ClickAt(MemoPos Cell, bool Extend);

    // --- commands
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    int UndoCount() const { return int(m_undo.size()); }
    bool UndoPending = true;
    bool FindText(const QString& Text, bool MatchCase, int& Position);
    // Key-down with Qt key codes; true when handled. A Ctrl+Space request
    // is passed on through OnCompletionKey.
    bool KeyDown(int Key, bool Shift, bool Ctrl, bool Alt = false);
    // A typed character.
    void KeyPress(QChar Ch, bool Ctrl = false, bool RightAlt = false);
    // The dotted name left of the caret, for completion.
    QString CompletionPrefix() const;
    // Inserts a chosen completion item (its leading name; "()" with the
    // caret between when the item text goes on with "(").
    void InsertCompletion(const QString& ItemText);

    // --- marks
    int BookmarkAt(int LineIndex) const;
    int Bookmark(int N) const { return N >= 0 && N < kBookmarkCount ? m_bookmarks[size_t(N)] : -1; }
    void SetBookmark(int LineIndex, int N);
    void ClearBookmark(int N);
    void GotoBookmark(int N);
    void AddBreakpoint(int Line, const QString& Condition);
    void ToggleBreakpoint(int Line, const QString& Condition);
    void DeleteBreakpoint(int Line);
    bool IsBreakpoint(int Line) const;
    QString BreakpointCondition(int Line) const;
    void DeleteF4Breakpoints();
    bool HasBreakpoints() const { return !m_breakpoints.empty(); }
    std::vector<int> BreakpointLines() const;
    bool ExecutableLine(int Line) const;
    void SetExecutableLine(int Line, bool Value);
    void ClearExecutableLines();
    // Marks on lines at or after From (1-based) move by Delta.
    void ShiftMarks(int From, int Delta);
    int ActiveLine() const { return m_activeLine; }
    void SetActiveLine(int Line);
    QString MessageText() const { return m_message; }
    void SetMessageText(const QString& Text);

    // --- syntax
    QString SyntaxLanguage() const { return m_language; }
    void SetSyntaxLanguage(const QString& Name);
    QStringList Keywords() const;
    // Extends the colour map down to LastLine (0-based index).
    void UpdateSyntax(int LastLine);
    void InvalidateSyntax(int Line);
    // The colour code of every character of a line (0-based index), after
    // UpdateSyntax; characters not yet coloured count as text.
    std::vector<SyntaxColour> LineColours(int LineIndex);
    int ColouredLineCount() const { return int(m_map.size()); }

    // --- the view
    int TopLine = 0;   // first visible line offset (0-based)
    int LeftColumn = 0; // first visible column offset (0-based)
    int VisibleLines = 0;
    int VisibleColumns = 0;
    void SetView(int Columns, int Lines);
    void ScrollTo(int Column, int Line);

    bool Modified = false;
    std::function<void()> OnChange;
    std::function<void()> OnChangePos;
    std::function<void()> OnRepaint;
    std::function<void()> OnCompletionKey;

private:
    struct Snapshot {
        MemoPos caret;
        QStringList lines;
    };
    void resetAfterWrite();
    void changed(int TopLine);
    void caretMoved();
    void repaint();
    void saveUndo();
    void writeLines(const QStringList& Lines);
    int trimmedLength(int Line) const;
    int firstNonBlank(int Line) const;
    void moveCaret(int Column, int Line);
    void wordLeft();
    void wordRight();
    void splitLine();
    void backspace(bool Ctrl);
    void deleteKey(bool Ctrl);
    void deleteCaretLine();
    void shiftBlock(bool Indent);
    void pageUp();
    void pageDown();
    void removeRange(MemoPos From, MemoPos To);
    bool isWordChar(QChar C) const;
    void colourText(QString& Map, const QString& Text, int Start);

    QStringList m_lines;
    std::vector<char> m_exec;
    MemoPos m_caret;
    MemoPos m_anchor{0, 0};
    std::vector<Snapshot> m_undo;
    std::array<int, kBookmarkCount> m_bookmarks;
    std::vector<std::pair<QString, int>> m_breakpoints;
    int m_activeLine = -1;
    QString m_message;
    QString m_language;
    QStringList m_map;
    std::unique_ptr<TzsParser> m_parser;
};

} // namespace zd
