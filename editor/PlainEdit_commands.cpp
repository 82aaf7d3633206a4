// The editor model: the command pipeline, the executor, caret movement and
// the editing commands on characters and lines.

#include "PlainEdit_p.h"

#include <algorithm>
#include <limits>

using namespace pe;

namespace {

bool isSelectionMove(TPlainEditorCommand command) { return command >= ecSelLeft && command <= ecSelGotoXY; }

// A character typing may insert: no control characters, no lone half of a pair.
bool isTypable(QChar ch)
{
    const ushort code = ch.unicode();
    return code >= 32 && code != 127 && !(code >= 0x80 && code <= 0x9F) && !ch.isSurrogate();
}

} // namespace

// ------------------------------------------------------------ pipeline

void TCustomPlainEdit::CommandProcessor(TPlainEditorCommand Command, QChar AChar, const TPlainCommandData& Data)
{
    DoOnProcessCommand(Command, AChar, Data);
    if (Command != ecNone && Command < ecUserFirst)
        ExecuteCommand(Command, AChar, Data);
    DoOnCommandProcessed(Command, AChar, Data);
}

void TCustomPlainEdit::DoOnProcessCommand(TPlainEditorCommand& Command, QChar& AChar, const TPlainCommandData& Data)
{
    if (Command >= ecUserFirst)
        OnProcessUserCommand(this, Command, AChar, Data);
    else
        OnProcessCommand(this, Command, AChar, Data);
}

void TCustomPlainEdit::DoOnCommandProcessed(TPlainEditorCommand Command, QChar AChar, const TPlainCommandData& Data)
{
    OnCommandProcessed(this, Command, AChar, Data);
}

void TCustomPlainEdit::ExecuteCommand(TPlainEditorCommand Command, QChar AChar, const TPlainCommandData& Data)
{
    UpdateLock lock(*this);
    const bool writable = !ReadOnly();
    switch (Command) {
    case ecSelWord:
        SetSelWord();
        return;
    case ecSelectAll:
        SelectAll();
        return;
    case ecCopy:
        CopyToClipboard();
        return;
    case ecScrollUp:
    case ecScrollDown: {
        const int row = CaretDisplayRow();
        if (row < m_topRow || row >= qint64(m_topRow) + m_visibleRows) {
            EnsureCaretVisible();
            return;
        }
        if (Command == ecScrollUp) {
            SetTopRow(m_topRow - 1);
            const int lastVisible = ClampToInt(qint64(m_topRow) + m_visibleRows - 1);
            if (row > lastVisible)
                MoveCaretVertically(lastVisible - row, false);
        } else {
            SetTopRow(m_topRow + 1);
            if (row < m_topRow)
                MoveCaretVertically(m_topRow - row, false);
        }
        EnsureCaretVisible();
        if (m_view)
            m_view->Update();
        return;
    }
    case ecScrollLeft:
    case ecScrollRight:
        SetLeftColumn(m_leftColumn + (Command == ecScrollLeft ? -1 : 1));
        if (m_view)
            m_view->Update();
        return;
    case ecInsertMode:
        SetInsertMode(true);
        return;
    case ecOverwriteMode:
        SetInsertMode(false);
        return;
    case ecToggleMode:
        SetInsertMode(!m_insertMode);
        return;
    case ecNormalSelect:
        SetSelectionMode(smNormal);
        return;
    case ecColumnSelect:
        SetSelectionMode(smColumn);
        return;
    case ecLineSelect:
        SetSelectionMode(smLine);
        return;
    case ecMatchBracket:
        FindMatchingBracket();
        return;
    case ecContextHelp:
        if (OnContextHelp)
            OnContextHelp(this, WordAtCaret());
        return;
    case ecUndo:
        Undo();
        return;
    case ecRedo:
        Redo();
        return;
    default:
        break;
    }
    if (Command >= ecGotoMarker0 && Command <= ecGotoMarker9) {
        if (m_bookMarkOptions->EnableKeys())
            GotoBookMark(Command - ecGotoMarker0);
        return;
    }
    if (Command >= ecSetMarker0 && Command <= ecSetMarker9) {
        if (m_bookMarkOptions->EnableKeys())
            setMarkerCommand(Command - ecSetMarker0, Data);
        return;
    }
    if ((Command >= ecLeft && Command <= ecGotoXY) || isSelectionMove(Command)) {
        executeMovement(Command, Data);
        return;
    }
    if (!writable)
        return;
    switch (Command) {
    case ecDeleteLastChar:
        deleteLastChar();
        break;
    case ecDeleteChar:
        deleteChar();
        break;
    case ecDeleteWord:
    case ecDeleteEOL:
        deleteWordOrEol(Command);
        break;
    case ecDeleteLastWord:
    case ecDeleteBOL:
        deleteLastWordOrBol(Command);
        break;
    case ecDeleteLine:
        deleteLine();
        break;
    case ecClearAll:
        ClearAll();
        break;
    case ecLineBreak:
    case ecInsertLine:
        lineBreak(Command);
        break;
    case ecChar:
        typeChar(AChar);
        break;
    case ecImeStr:
        if (const QString* s = std::get_if<QString>(&Data))
            imeString(*s);
        break;
    case ecCut:
        if (SelAvail())
            CutToClipboard();
        break;
    case ecPaste:
        PasteFromClipboard();
        break;
    case ecBlockIndent:
        DoBlockIndent();
        break;
    case ecBlockUnindent:
        DoBlockUnindent();
        break;
    case ecTab:
        DoTabKey();
        break;
    case ecShiftTab:
        DoShiftTabKey();
        break;
    case ecUpperCase:
    case ecLowerCase:
    case ecToggleCase:
    case ecTitleCase:
    case ecUpperCaseBlock:
    case ecLowerCaseBlock:
    case ecToggleCaseBlock:
        DoCaseChange(Command);
        break;
    default:
        break;
    }
}

void TCustomPlainEdit::executeMovement(TPlainEditorCommand command, const TPlainCommandData& data)
{
    const bool extend = isSelectionMove(command);
    const TPlainEditorCommand move = extend ? TPlainEditorCommand(command - ecSelection) : command;
    const auto repaint = [this] {
        if (m_view)
            m_view->Update();
    };
    switch (move) {
    case ecLeft:
        MoveCaretHorizontally(-1, extend);
        break;
    case ecRight:
        MoveCaretHorizontally(1, extend);
        break;
    case ecUp:
        MoveCaretVertically(-1, extend);
        repaint();
        break;
    case ecDown:
        MoveCaretVertically(1, extend);
        repaint();
        break;
    case ecWordLeft:
        MoveCaretExtending(m_caretPos, PrevWordPos(), extend);
        break;
    case ecWordRight:
        MoveCaretExtending(m_caretPos, NextWordPos(), extend);
        break;
    case ecLineStart:
        GoLineStart(extend);
        break;
    case ecLineEnd:
        GoLineEnd(extend);
        break;
    case ecPageUp:
    case ecPageDown: {
        int n = m_visibleRows;
        if (m_options.contains(eoHalfPageScroll))
            n >>= 1;
        if (m_options.contains(eoScrollByOneLess))
            --n;
        if (move == ecPageUp)
            n = -n;
        SetTopRow(addClamped(m_topRow, n));
        MoveCaretVertically(n, extend);
        repaint();
        break;
    }
    case ecPageLeft:
        MoveCaretHorizontally(-m_columnsInView, extend);
        break;
    case ecPageRight:
        MoveCaretHorizontally(m_columnsInView, extend);
        break;
    case ecPageTop:
    case ecPageBottom: {
        const int row = move == ecPageTop ? m_topRow : addClamped(m_topRow, qint64(m_visibleRows) - 1);
        MoveCaretExtending(m_caretPos, DisplayToBuffer(TDisplayPos{CaretDisplayColumn(), row}), extend);
        repaint();
        break;
    }
    case ecEditorTop:
        MoveCaretExtending(m_caretPos, TBufferCoord{1, 1}, extend);
        repaint();
        break;
    case ecEditorBottom: {
        const int count = m_lines->Count();
        MoveCaretExtending(m_caretPos, count == 0 ? TBufferCoord{1, 0} : TBufferCoord{lineLength(count) + 1, count},
                           extend);
        repaint();
        break;
    }
    case ecGotoXY:
        if (const TBufferCoord* p = std::get_if<TBufferCoord>(&data)) {
            MoveCaretExtending(m_caretPos, *p, extend);
            repaint();
        }
        break;
    default:
        break;
    }
}

void TCustomPlainEdit::setMarkerCommand(int number, const TPlainCommandData& data)
{
    TBufferCoord p = m_caretPos;
    if (const TBufferCoord* given = std::get_if<TBufferCoord>(&data))
        p = *given;
    if (TPlainEditMark* mark = Bookmarks(number)) {
        const bool otherLine = mark->MarkLine() != p.Line;
        ClearBookMark(number);
        if (otherLine)
            SetBookMark(number, p.Char, p.Line);
    } else {
        SetBookMark(number, p.Char, p.Line);
    }
}

// ------------------------------------------------------------ caret movement

// Where a selection grows from: its anchor, or the caret when it has none
// (a collapsed selection left behind by a caret move); a column block of no
// width still keeps its anchor.
TBufferCoord TCustomPlainEdit::extendFrom() const { return m_selAnchor != m_selHead ? m_selAnchor : m_caretPos; }

void TCustomPlainEdit::MoveCaretExtending(TBufferCoord from, TBufferCoord to, bool extend)
{
    if (m_options.contains(eoGroupUndo) && m_undoList->CanUndo())
        m_undoList->AddGroupBreak();
    UpdateLock lock(*this);
    if (extend) {
        if (!SelAvail())
            SetSelAnchor(from);
        SetSelHead(to);
    } else {
        SetSelAnchor(to);
    }
    MoveCaret(to);
}

void TCustomPlainEdit::MoveCaretHorizontally(int dx, bool extend)
{
    if (m_wordWrap) {
        const TDisplayPos d = BufferToDisplay(m_caretPos);
        if (dx <= 0 && m_caretPos.Char > 1 && d.Column == 1 && !m_caretAtRowEnd) {
            m_caretAtRowEnd = true;
            RememberCaretColumn();
            if (m_columnsInView > 0 && CaretDisplayColumn() > m_columnsInView + 1)
                SetCaretDisplayPos(TDisplayPos{m_columnsInView + 1, CaretDisplayRow()});
            else
                PositionCaret();
            return;
        }
        if (dx > 0 && m_caretAtRowEnd) {
            m_caretAtRowEnd = false;
            RememberCaretColumn();
            PositionCaret();
            return;
        }
    }
    const QString line = CaretLineText();
    const bool pastEol = m_options.contains(eoScrollPastEol);
    TBufferCoord target = m_caretPos;
    if (!pastEol && dx < 0 && m_caretPos.Char <= 1 && m_caretPos.Line > 1) {
        target = TBufferCoord{lineLength(m_caretPos.Line - 1) + 1, m_caretPos.Line - 1};
    } else if (!pastEol && dx > 0 && m_caretPos.Char > line.size() && m_caretPos.Line < m_lines->Count()) {
        target = TBufferCoord{1, m_caretPos.Line + 1};
    } else {
        qint64 c = std::max<qint64>(1, qint64(m_caretPos.Char) + dx);
        if (dx > 0 && !pastEol)
            c = std::min<qint64>(c, line.size() + 1);
        target.Char = ClampToInt(c);
        if (IsTrailChar(line, target.Char))
            target.Char += dx > 0 ? 1 : -1;
    }
    MoveCaretExtending(extendFrom(), target, extend);
    if (m_wordWrap && dx > 0 && m_caretPos.Char <= lineLength(m_caretPos.Line)) {
        const TDisplayPos d = BufferToDisplay(m_caretPos);
        if (d.Column == 1 && d.Row != LineToRow(m_caretPos.Line)) {
            m_caretAtRowEnd = true;
            RememberCaretColumn();
        } else if (m_columnsInView > 0 && d.Column > m_columnsInView + 1) {
            SetCaretDisplayPos(TDisplayPos{1, d.Row + 1});
        }
    }
}

void TCustomPlainEdit::MoveCaretVertically(int dy, bool extend)
{
    const TDisplayPos p = CaretDisplayPos();
    qint64 row = qint64(p.Row) + dy;
    if (dy > 0 && row > RowCount())
        row = std::max(1, RowCount());
    if (row < 1)
        row = 1;
    int column = p.Column;
    if (row != p.Row && m_options.contains(eoKeepCaretX))
        column = m_lastCaretColumn;
    TBufferCoord target = DisplayToBuffer(TDisplayPos{column, int(row)});
    if (row != p.Row) {
        const QString text = lineText(target.Line);
        if (m_trailByteStep && !m_options.contains(eoKeepCaretX))
            ++target.Char;
        if (IsTrailChar(text, target.Char)) {
            --target.Char;
            m_trailByteStep = true;
        }
    }
    const int saved = m_lastCaretColumn;
    {
        UpdateLock lock(*this);
        MoveCaretExtending(extendFrom(), target, extend);
        if (m_wordWrap) {
            const TDisplayPos shown = BufferToDisplay(target);
            m_caretAtRowEnd = shown.Column == 1 && shown.Row != row;
        }
    }
    m_lastCaretColumn = saved;
}

void TCustomPlainEdit::GoLineStart(bool extend)
{
    int target = 1;
    if (m_options.contains(eoEnhanceHomeKey) && (!m_wordWrap || CaretDisplayRow() == LineToRow(m_caretPos.Line))) {
        const QString line = CaretLineText();
        int end = int(line.size());
        if (m_wordWrap) {
            const int row = CaretDisplayRow();
            end = std::min(end, DisplayToBuffer(TDisplayPos{wrapRowLength(row) + 1, row}).Char - 1);
        }
        int first = 1;
        while (first <= end && (line.at(first - 1) == kBlank || line.at(first - 1) == kTab))
            ++first;
        target = (first >= m_caretPos.Char && m_caretPos.Char != 1) ? 1 : first;
    }
    if (m_wordWrap) {
        const TBufferCoord start = DisplayToBuffer(TDisplayPos{1, CaretDisplayRow()});
        target = std::max(target, start.Char);
        MoveCaretExtending(m_caretPos, TBufferCoord{target, m_caretPos.Line}, extend);
        return;
    }
    MoveCaretExtending(m_caretPos, TBufferCoord{target, m_caretPos.Line}, extend);
}

void TCustomPlainEdit::GoLineEnd(bool extend)
{
    const QString line = CaretLineText();
    int target = int(line.size()) + 1;
    const bool lastRow = !m_wordWrap || CaretDisplayRow() == LineToRow(m_caretPos.Line + 1) - 1
                         || m_caretPos.Line >= m_lines->Count();
    bool enhanced = false;
    if (m_options.contains(eoEnhanceEndKey) && lastRow) {
        int floor = 0;
        if (m_wordWrap)
            floor = DisplayToBuffer(TDisplayPos{1, CaretDisplayRow()}).Char - 1;
        int last = int(line.size());
        while (last > floor && (line.at(last - 1) == kBlank || line.at(last - 1) == kTab))
            --last;
        target = m_caretPos.Char == last + 1 ? int(line.size()) + 1 : last + 1;
        enhanced = true;
    }
    if (!m_wordWrap) {
        MoveCaretExtending(m_caretPos, TBufferCoord{target, m_caretPos.Line}, extend);
        return;
    }
    const int row = CaretDisplayRow();
    int column = enhanced ? BufferToDisplay(TBufferCoord{target, m_caretPos.Line}).Column
                          : wrapRowLength(row) + 1;
    if (m_columnsInView > 0)
        column = std::min(column, m_columnsInView + 1);
    const TDisplayPos d{column, row};
    MoveCaretExtending(m_caretPos, DisplayToBuffer(d), extend);
    SetCaretDisplayPos(d);
}

// ------------------------------------------------------------ text helpers

int TCustomPlainEdit::LeadingBlankCount(const QString& text, bool expandTabs) const
{
    if (text.isEmpty() || !m_options.contains(eoAutoIndent))
        return 0;
    int count = 0;
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (code < 1 || code > 32)
            break;
        count += (c == kTab && expandTabs) ? m_tabWidth : 1;
    }
    return count;
}

QString TCustomPlainEdit::IndentString(int n, bool allowTabs) const
{
    n = std::max(0, n);
    if (allowTabs && !m_options.contains(eoTabsToSpaces) && n >= m_tabWidth)
        return QString(n / m_tabWidth, kTab) + QString(n % m_tabWidth, kBlank);
    return QString(n, kBlank);
}

void TCustomPlainEdit::DeleteSelectionForCommand()
{
    const TBufferCoord anchor = m_selAnchor;
    const TBufferCoord head = m_selHead;
    const TPlainSelectionMode mode = m_activeSelMode;
    const QString text = removedText();
    ReplaceSelectionActive(QString());
    m_undoList->RecordChange(anchor < head ? urDelete : urDeleteAfterCursor, anchor, head, text, mode);
}

// The indentation of the nearest line above whose count is below s1 (0
// when no line above is less indented or when it equals s1).
int TCustomPlainEdit::smartPreviousIndent(int s1, bool expandTabs) const
{
    for (int line = m_caretPos.Line - 1; line >= 1; --line) {
        const int s2 = LeadingBlankCount(lineText(line), expandTabs);
        if (s2 < s1)
            return s2;
    }
    return 0;
}

// ------------------------------------------------------------ deletions

void TCustomPlainEdit::deleteLastChar()
{
    DoOnPaintTransientEx(ttBefore, true);
    Finally after([this] { DoOnPaintTransientEx(ttAfter, true); });
    if (SelAvail()) {
        DeleteSelectionForCommand();
        return;
    }
    const QString line = CaretLineText();
    const int length = int(line.size());
    const TBufferCoord old = m_caretPos;
    QString deleted;
    if (old.Char > length + 1) {
        int target = old.Char - 1;
        if (m_options.contains(eoSmartTabDelete))
            target = length > 0 ? length + 1
                                : smartPreviousIndent(old.Char - 1, m_options.contains(eoTrimTrailingSpaces)) + 1;
        SetCaretColumn(target);
        RememberCaretColumn();
    } else if (old.Char == 1) {
        if (old.Line == 1)
            return;
        const QString previous = lineText(old.Line - 1);
        MoveCaret(TBufferCoord{int(previous.size()) + 1, old.Line - 1});
        m_lines->Delete(old.Line - 1);
        AdjustMarksForDeletion(old.Line - 1, 1);
        const QString appended = m_options.contains(eoTrimTrailingSpaces) ? TrimTrailingBlanks(line) : line;
        StoreLine(old.Line - 2, previous + appended);
        deleted = kCRLF;
    } else if (LeadingBlankCount(line, false) == old.Char - 1 && line.at(old.Char - 2).unicode() <= 32) {
        int count;
        if (m_options.contains(eoSmartTabDelete)) {
            const int s1 = old.Char - 1;
            count = s1 - smartPreviousIndent(s1, false);
        } else {
            const int column = CaretDisplayColumn();
            int n = (column - 1) % m_tabWidth;
            if (n == 0)
                n = m_tabWidth;
            // Characters before the caret within its last n cells; a tab
            // counts as one and ends the count.
            const QString expanded = m_lines->ExpandedText(old.Line - 1);
            count = 0;
            for (int cell = column - 1; cell > column - 1 - n && cell >= 1; --cell) {
                ++count;
                if (cell - 1 < expanded.size() && expanded.at(cell - 1) == kTab)
                    break;
            }
        }
        count = std::clamp(count, 0, old.Char - 1);
        deleted = line.mid(old.Char - 1 - count, count);
        QString s = line;
        s.remove(old.Char - 1 - count, count);
        StoreLine(old.Line - 1, s);
        MoveCaret(TBufferCoord{old.Char - count, old.Line});
        RememberCaretColumn();
    } else {
        const int n = IsTrailChar(line, old.Char - 1) ? 2 : 1;
        const int at = old.Char - n;
        deleted = line.mid(at - 1, n);
        QString s = line;
        s.remove(at - 1, n);
        MoveCaret(TBufferCoord{at, old.Line});
        StoreLine(old.Line - 1, s);
        if (m_options.contains(eoTrimTrailingSpaces) && line.contains(kTab)) {
            const QString written = lineText(old.Line);
            if (written.size() < s.size()) {
                const int before = CharIndexToColumn(old.Char, m_tabWidth, line);
                const int after = CharIndexToColumn(m_caretPos.Char, m_tabWidth, written);
                HoldOption past(m_options, eoScrollPastEol, true);
                MoveCaret(TBufferCoord{m_caretPos.Char + before - after, old.Line});
            }
        }
    }
    if (m_caretPos != old)
        m_undoList->RecordChange(urSilentDelete, m_caretPos, old, deleted, smNormal);
    EnsureCaretVisible();
}

void TCustomPlainEdit::deleteChar()
{
    if (SelAvail()) {
        DeleteSelectionForCommand();
        return;
    }
    RememberCaretColumn();
    const TBufferCoord caret = m_caretPos;
    const QString line = CaretLineText();
    if (caret.Char > line.size()) {
        if (caret.Line >= m_lines->Count())
            return;
        Compound compound(*m_undoList);
        padLine(caret.Line, caret.Char - 1, true);
        const QString joined = lineText(caret.Line) + lineText(caret.Line + 1);
        m_lines->Delete(caret.Line);
        AdjustMarksForDeletion(caret.Line, 1);
        StoreLine(caret.Line - 1, joined);
        m_undoList->RecordChange(urSilentDeleteAfterCursor, caret, TBufferCoord{1, caret.Line + 1}, kCRLF, smNormal);
        return;
    }
    const int n = IsLeadChar(line, caret.Char) ? 2 : 1;
    const QString deleted = line.mid(caret.Char - 1, n);
    QString s = line;
    s.remove(caret.Char - 1, n);
    StoreLine(caret.Line - 1, s);
    m_undoList->RecordChange(urSilentDeleteAfterCursor, caret, TBufferCoord{caret.Char + n, caret.Line}, deleted,
                             smNormal);
}

void TCustomPlainEdit::deleteWordOrEol(TPlainEditorCommand command)
{
    const TBufferCoord caret = m_caretPos;
    const int count = m_lines->Count();
    if (count == 0)
        return;
    TBufferCoord end{lineLength(caret.Line) + 1, caret.Line};
    if (command == ecDeleteWord) {
        end = WordEnd();
        if (end < caret || (end == caret && caret.Line < count)) {
            if (end.Char > lineLength(end.Line))
                end = TBufferCoord{1, end.Line + 1};
            else if (lineText(end.Line).at(end.Char - 1) != kBlank)
                ++end.Char;
        }
        if (end.Line > count)
            end = TBufferCoord{lineLength(count) + 1, count};
        const QString text = lineText(end.Line);
        while (end.Char <= text.size() && text.at(end.Char - 1) == kBlank)
            ++end.Char;
    }
    Compound compound(*m_undoList);
    // Beyond the line's end only a following line can be joined; the blanks
    // up to the caret then become part of the line.
    if (caret.Char > lineLength(caret.Line) + 1) {
        if (end.Line <= caret.Line)
            return;
        padLine(caret.Line, caret.Char - 1, true);
    }
    if (!(caret < end))
        return;
    SetSelAnchor(caret);
    SetSelHead(end);
    SetActiveSelMode(smNormal);
    const QString deleted = SelectedText();
    ReplaceSelectionActive(QString());
    m_undoList->RecordChange(urSilentDeleteAfterCursor, caret, end, deleted, smNormal);
    MoveCaret(caret);
}

void TCustomPlainEdit::deleteLastWordOrBol(TPlainEditorCommand command)
{
    const TBufferCoord start = command == ecDeleteLastWord ? PrevWordPos() : TBufferCoord{1, m_caretPos.Line};
    if (start == m_caretPos)
        return;
    const TBufferCoord old = m_caretPos;
    SetSelAnchor(old);
    SetSelHead(start);
    SetActiveSelMode(smNormal);
    const QString deleted = SelectedText();
    ReplaceSelectionActive(QString());
    m_undoList->RecordChange(urSilentDelete, start, old, deleted, smNormal);
    MoveCaret(start);
}

void TCustomPlainEdit::deleteLine()
{
    const int count = m_lines->Count();
    const int line = m_caretPos.Line;
    if (count == 0 || (line >= count && lineText(line).isEmpty()))
        return;
    SetSelAnchor(m_caretPos);
    const QString text = lineText(line);
    if (line >= count) {
        m_lines->SetStrings(line - 1, QString());
        m_undoList->RecordChange(urSilentDeleteAfterCursor, TBufferCoord{1, line},
                                 TBufferCoord{int(text.size()) + 1, line}, text, smNormal);
    } else {
        m_lines->Delete(line - 1);
        m_undoList->RecordChange(urSilentDeleteAfterCursor, TBufferCoord{1, line}, TBufferCoord{1, line + 1},
                                 text + kCRLF, smNormal);
        AdjustMarksForDeletion(line - 1, 1);
    }
    MoveCaret(TBufferCoord{1, line});
}

// ------------------------------------------------------------ line breaks

void TCustomPlainEdit::lineBreak(TPlainEditorCommand command)
{
    const bool breakLine = command == ecLineBreak;
    Compound compound(*m_undoList);
    if (SelAvail()) {
        const TBufferCoord anchor = m_selAnchor;
        const TBufferCoord head = m_selHead;
        const TPlainSelectionMode mode = m_activeSelMode;
        const QString text = removedText();
        ReplaceSelectionActive(QString());
        m_undoList->RecordChange(urDelete, anchor, head, text, mode);
    }
    if (m_lines->Count() == 0)
        m_lines->Add(QString());
    const TBufferCoord caret = m_caretPos;
    const QString line = CaretLineText();
    // A redo runs the command again; the end's character tells which one.
    const TBufferCoord breakEnd = breakLine ? caret : TBufferCoord{0, caret.Line};
    int inserted; // the line number the new line takes
    if (line.isEmpty()) {
        int n = 0;
        for (int l = caret.Line; l >= 1 && m_options.contains(eoAutoIndent); --l) {
            if (!lineText(l).isEmpty()) {
                n = LeadingBlankCount(lineText(l), true);
                break;
            }
        }
        m_lines->Insert(caret.Line - 1, QString());
        inserted = caret.Line;
        m_undoList->RecordChange(urLineBreak, caret, breakEnd, QString(), smNormal);
        if (breakLine)
            MoveCaret(TBufferCoord{n + 1, caret.Line + 1});
    } else if (caret.Char > line.size()) {
        const int n = LeadingBlankCount(line, false);
        m_lines->Insert(caret.Line, breakLine && n > 0 ? line.left(n) : QString());
        inserted = caret.Line + 1;
        if (breakLine)
            MoveCaret(TBufferCoord{n + 1, caret.Line + 1});
        m_undoList->RecordChange(urLineBreak, caret, breakEnd, QString(), smNormal);
    } else if (caret.Char == 1) {
        m_lines->Insert(caret.Line - 1, QString());
        inserted = caret.Line;
        m_undoList->RecordChange(urLineBreak, caret, breakEnd, line, smNormal);
        if (breakLine)
            MoveCaret(TBufferCoord{1, caret.Line + 1});
    } else {
        const QString left = line.left(caret.Char - 1);
        const QString right = line.mid(caret.Char - 1);
        const QString indent = IndentString(LeadingBlankCount(left, true), true);
        m_lines->Insert(caret.Line, indent + right);
        inserted = caret.Line + 1;
        StoreLine(caret.Line - 1, left);
        m_undoList->RecordChange(urLineBreak, caret, breakEnd, right, smNormal);
        if (breakLine)
            MoveCaret(TBufferCoord{int(indent.size()) + 1, caret.Line + 1});
    }
    AdjustMarksForInsertion(inserted, 1);
    SetSelAnchor(m_caretPos);
    SetSelHead(m_caretPos);
    EnsureCaretVisible();
    RememberCaretColumn();
}

// ------------------------------------------------------------ typing

void TCustomPlainEdit::horizontalStepAfterTyping()
{
    if (m_columnsInView > 0 && qint64(m_caretPos.Char) >= qint64(m_leftColumn) + m_columnsInView)
        SetLeftColumn(addClamped(m_leftColumn, std::min(m_columnsInView - 1, 25)));
}

// Typed text over a selection: the selection goes in its mode and the text
// comes in that mode; a column insertion records its own pieces.
void TCustomPlainEdit::typeOverSelection(const QString& s)
{
    Compound compound(*m_undoList);
    const TPlainSelectionMode mode = m_activeSelMode;
    const QString text = removedText();
    const TBufferCoord start = replacementStart(mode);
    m_undoList->RecordChange(urDelete, m_selAnchor, m_selHead, text, mode);
    ReplaceSelectionActive(s);
    if (mode != smColumn)
        m_undoList->RecordChange(urInsert, start, SelLast(), QString(), smNormal);
}

void TCustomPlainEdit::typeChar(QChar ch)
{
    if (!isTypable(ch))
        return;
    if (SelAvail()) {
        typeOverSelection(QString(ch));
        return;
    }
    const TBufferCoord caret = m_caretPos;
    if (m_insertMode && !m_wordWrap && !m_options.contains(eoAutoSizeMaxScrollWidth) && caret.Char > m_maxScrollWidth)
        return;
    if (m_lines->Count() == 0)
        m_lines->Add(QString());
    const int lineNo = std::max(1, caret.Line);
    const QString line = lineText(lineNo);
    const int length = int(line.size());
    Compound compound(*m_undoList);
    HoldOption past(m_options, eoScrollPastEol, true);
    // The padding up to the caret; on an empty line an indentation, which
    // may hold tabs, so the character goes in after it.
    QString padded = line;
    if (length < caret.Char - 1) {
        const QString pad = length == 0 ? IndentString(caret.Char - 1, true) : QString(caret.Char - 1 - length, kBlank);
        m_undoList->RecordChange(urWhiteSpaceAdd, TBufferCoord{length + int(pad.size()) + 1, lineNo},
                                 TBufferCoord{length + 1, lineNo}, QString(), smNormal);
        padded += pad;
    }
    const int at = std::min(caret.Char, int(padded.size()) + 1);
    if (m_insertMode || at > padded.size()) {
        QString s = padded;
        s.insert(at - 1, ch);
        int newChar = at + 1;
        if (m_options.contains(eoTrimTrailingSpaces) && ch == kBlank && TrimTrailingBlanks(line).isEmpty())
            newChar = TabExpandedLength(s, m_tabWidth) + 1;
        StoreLine(lineNo - 1, s);
        m_undoList->RecordChange(urInsert, TBufferCoord{at, lineNo}, TBufferCoord{at + 1, lineNo}, QString(),
                                 smNormal);
        MoveCaret(TBufferCoord{newChar, lineNo});
    } else {
        const int n = IsLeadChar(padded, at) ? 2 : 1;
        const QString replaced = padded.mid(at - 1, n);
        QString s = padded;
        s.replace(at - 1, n, n == 2 ? QString(ch) + kBlank : QString(ch));
        StoreLine(lineNo - 1, s);
        m_undoList->RecordChange(urInsert, TBufferCoord{at, lineNo}, TBufferCoord{at + n, lineNo}, replaced,
                                 smNormal);
        MoveCaret(TBufferCoord{at + 1, lineNo});
    }
    horizontalStepAfterTyping();
}

void TCustomPlainEdit::imeString(const QString& s)
{
    if (s.isEmpty())
        return;
    if (SelAvail()) {
        typeOverSelection(s);
        InvalidateGutter();
        return;
    }
    if (m_lines->Count() == 0)
        m_lines->Add(QString());
    const TBufferCoord caret = m_caretPos;
    const int lineNo = std::max(1, caret.Line);
    Compound compound(*m_undoList);
    HoldOption past(m_options, eoScrollPastEol, true);
    QString line = lineText(lineNo);
    if (line.size() < caret.Char - 1) {
        const int pad = caret.Char - 1 - int(line.size());
        m_undoList->RecordChange(urWhiteSpaceAdd, TBufferCoord{int(line.size()) + pad + 1, lineNo},
                                 TBufferCoord{int(line.size()) + 1, lineNo}, QString(), smNormal);
        line += QString(pad, kBlank);
    }
    QString replaced;
    if (!m_insertMode) {
        int n = int(s.size());
        if (IsTrailChar(line, caret.Char + n))
            ++n;
        replaced = line.mid(caret.Char - 1, n);
        line.remove(caret.Char - 1, n);
    }
    line.insert(caret.Char - 1, s);
    StoreLine(lineNo - 1, line);
    const TBufferCoord end{caret.Char + int(s.size()), lineNo};
    m_undoList->RecordChange(urInsert, caret, end, replaced, smNormal);
    MoveCaret(end);
    horizontalStepAfterTyping();
}
