// The editor model: the selected text and its replacement in the three
// selection modes, character indexes, line writes and marks that follow
// their lines.
//
// Every change of text passes through here, and so does every undo record
// of a change, so that undoing any edit restores the text exactly: blanks
// that an insertion adds beyond a line's end are recorded as such, a column
// block is recorded as the characters it removed, and a line that a column
// insertion adds is recorded as the line break it inserted.

#include "PlainEdit_p.h"

#include <algorithm>

using namespace pe;

namespace {

// The characters [left, right) of a column block on one line; an end inside
// a surrogate pair moves after it.
std::pair<int, int> columnSpan(QStringView text, int left, int right)
{
    return {IsTrailChar(text, left) ? left + 1 : left, IsTrailChar(text, right) ? right + 1 : right};
}

} // namespace

// ------------------------------------------------------------ selected text

QString TCustomPlainEdit::SelectedText() const
{
    if (!SelAvail())
        return {};
    const TBufferCoord first = SelFirst();
    const TBufferCoord last = SelLast();
    switch (m_activeSelMode) {
    case smNormal: {
        if (first.Line == last.Line)
            return lineText(first.Line).mid(first.Char - 1, last.Char - first.Char);
        qsizetype size = 0;
        for (int line = first.Line; line <= last.Line; ++line)
            size += lineLength(line) + 2;
        QString result;
        result.reserve(size);
        result += lineText(first.Line).mid(first.Char - 1);
        for (int line = first.Line + 1; line < last.Line; ++line) {
            result += kCRLF;
            result += lineText(line);
        }
        result += kCRLF;
        result += lineText(last.Line).left(last.Char - 1);
        return result;
    }
    case smLine: {
        QString result;
        for (int line = first.Line; line <= last.Line; ++line) {
            if (line > first.Line)
                result += kCRLF;
            result += lineText(line);
        }
        if (last.Line < m_lines->Count())
            result += kCRLF;
        return result;
    }
    case smColumn:
        break;
    }
    const TDisplayPos a = BufferToDisplay(first);
    const TDisplayPos b = BufferToDisplay(last);
    const int left = std::min(a.Column, b.Column);
    const int right = std::max(a.Column, b.Column);
    QString result;
    for (int row = a.Row; row <= b.Row; ++row) {
        const TBufferCoord l = DisplayToBuffer(TDisplayPos{left, row});
        const TBufferCoord r = DisplayToBuffer(TDisplayPos{right, row});
        const int width = std::max(0, r.Char - l.Char);
        QString piece = lineText(l.Line).mid(l.Char - 1, width);
        if (piece.size() < width && !m_options.contains(eoTrimTrailingSpaces))
            piece += QString(width - piece.size(), kBlank);
        if (row > a.Row)
            result += kCRLF;
        result += piece;
    }
    return result;
}

// What deleting the selection in the active mode removes; in column mode
// the characters of every line without padding, so that inserting the text
// back at the block's corner restores the lines exactly.
QString TCustomPlainEdit::removedText() const
{
    if (m_activeSelMode != smColumn || !SelAvail())
        return SelectedText();
    const TBufferCoord first = SelFirst();
    const TBufferCoord last = SelLast();
    const int left = std::min(first.Char, last.Char);
    const int right = std::max(first.Char, last.Char);
    QString result;
    for (int line = first.Line; line <= last.Line; ++line) {
        const QString text = lineText(line);
        const auto [l, r] = columnSpan(text, left, right);
        if (line > first.Line)
            result += kCRLF;
        if (l <= text.size())
            result += text.mid(l - 1, r - l);
    }
    return result;
}

// ------------------------------------------------------------ replacing

void TCustomPlainEdit::ReplaceSelection(const QString& v)
{
    Compound compound(*m_undoList);
    if (SelAvail()) {
        m_undoList->RecordChange(urDelete, m_selAnchor, m_selHead, removedText(), m_activeSelMode);
    } else {
        SetActiveSelMode(m_selectionMode);
    }
    const TBufferCoord start = orderForReplacement(m_activeSelMode);
    ReplaceSelectionActive(v);
    if (!v.isEmpty() && m_activeSelMode != smColumn) {
        // A line-mode insertion is the same text inserted at the line's start.
        m_undoList->RecordChange(urInsert, start, SelLast(), QString(),
                                 m_activeSelMode == smLine ? smNormal : m_activeSelMode);
    }
}

// Where replacing the selection puts its text: the block's top-left corner
// in column mode, the start of the first line in line mode, the selection's
// start in normal mode or the caret without a selection; a line insertion
// goes in at the start of its line.
TBufferCoord TCustomPlainEdit::replacementStart(TPlainSelectionMode insertMode) const
{
    TBufferCoord start = m_caretPos;
    if (SelAvail()) {
        const TBufferCoord first = SelFirst();
        const TBufferCoord last = SelLast();
        switch (m_activeSelMode) {
        case smNormal:
            start = first;
            break;
        case smLine:
            start = TBufferCoord{1, first.Line};
            break;
        case smColumn:
            start = TBufferCoord{std::min(first.Char, last.Char), first.Line};
            break;
        }
    }
    if (insertMode == smLine)
        start.Char = 1;
    return start;
}

// Orders the selection's ends for a replacement (nothing selected: the text
// goes in at the caret) and answers where the new text will start.
TBufferCoord TCustomPlainEdit::orderForReplacement(TPlainSelectionMode insertMode)
{
    if (!SelAvail())
        m_selAnchor = m_selHead = m_caretPos;
    const TBufferCoord start = replacementStart(insertMode);
    const TBufferCoord first = SelFirst();
    const TBufferCoord last = SelLast();
    m_selAnchor = first;
    m_selHead = last;
    return start;
}

void TCustomPlainEdit::ClearSelection()
{
    if (SelAvail())
        ReplaceSelection(QString());
}

void TCustomPlainEdit::ReplaceSelectionRaw(TPlainSelectionMode mode, const QString& v, bool record)
{
    replaceSelectionAt(mode, v, record, 0);
}

// columnChar: where a column insertion starts when no column block is
// deleted (0: at the caret); the start is taken per line, so a line on which
// it falls inside a surrogate pair starts after the pair.
void TCustomPlainEdit::replaceSelectionAt(TPlainSelectionMode mode, const QString& v, bool record, int columnChar)
{
    // Cut before the selection goes: the pieces of a large text are then
    // allocated before a large deletion frees its lines, not among them.
    const QStringList pieces = v.isEmpty() ? QStringList() : splitPieces(v);
    UpdateLock lock(*this);
    {
        m_lines->BeginUpdate();
        Finally endLines([this] { m_lines->EndUpdate(); });
        // Both options trim the line a normal deletion joins.
        const bool trimJoined = m_options.contains(eoScrollPastEol) && m_options.contains(eoTrimTrailingSpaces);
        // The text goes in where the selection was, also beyond a line's end
        // (a column block may lie there): the blanks it needs are added.
        HoldOption past(m_options, eoScrollPastEol, true);
        const TBufferCoord first = SelFirst();
        const TBufferCoord last = SelLast();
        if (SelAvail()) {
            deleteSelection(first, last, m_activeSelMode, trimJoined);
            // The insertion point: the block's top-left corner in column
            // mode, the start of the first line in line mode.
            if (m_activeSelMode == smColumn) {
                columnChar = std::min(first.Char, last.Char);
                MoveCaret(TBufferCoord{columnChar, first.Line});
            } else if (m_activeSelMode == smLine) {
                MoveCaret(TBufferCoord{1, first.Line});
            } else {
                MoveCaret(first);
            }
        }
        if (!v.isEmpty())
            insertText(mode, pieces, record, columnChar > 0 ? columnChar : m_caretPos.Char);
        if (m_caretPos.Line < 1)
            MoveCaret(TBufferCoord{m_caretPos.Char, 1});
    }
    // Back within the limits the options set.
    MoveCaret(m_caretPos);
}

void TCustomPlainEdit::deleteSelection(TBufferCoord first, TBufferCoord last, TPlainSelectionMode mode,
                                       bool trimJoined)
{
    const int count = m_lines->Count();
    switch (mode) {
    case smNormal: {
        if (count > 0) {
            QString joined = lineText(first.Line).left(first.Char - 1) + lineText(last.Line).mid(last.Char - 1);
            m_lines->DeleteLines(first.Line, last.Line - first.Line);
            if (trimJoined)
                joined = TrimTrailingBlanks(joined);
            m_lines->SetStrings(first.Line - 1, joined);
        }
        MoveCaret(first);
        AdjustMarksForDeletion(first.Line, last.Line - first.Line);
        break;
    }
    case smLine: {
        if (count > 0) {
            if (last.Line >= count) {
                m_lines->SetStrings(count - 1, QString());
                m_lines->DeleteLines(first.Line - 1, count - first.Line);
            } else {
                m_lines->DeleteLines(first.Line - 1, last.Line - first.Line + 1);
            }
        }
        MoveCaret(TBufferCoord{1, first.Line});
        AdjustMarksForDeletion(first.Line, last.Line - first.Line + 1);
        break;
    }
    case smColumn: {
        const int left = std::min(first.Char, last.Char);
        const int right = std::max(first.Char, last.Char);
        for (int line = first.Line; line <= std::min(last.Line, count); ++line) {
            QString text = lineText(line);
            const auto [l, r] = columnSpan(text, left, right);
            if (l <= text.size()) {
                text.remove(l - 1, std::min<qsizetype>(r, text.size() + 1) - l);
                StoreLine(line - 1, text);
            }
        }
        MoveCaret(TBufferCoord{left, first.Line});
        break;
    }
    }
}

void TCustomPlainEdit::padLine(int line, int chars, bool record)
{
    const QString text = lineText(line);
    if (text.size() >= chars)
        return;
    if (record)
        m_undoList->RecordChange(urWhiteSpaceAdd, TBufferCoord{chars + 1, line}, TBufferCoord{int(text.size()) + 1, line},
                                 QString(), smNormal);
    m_lines->SetStrings(line - 1, text + QString(chars - text.size(), kBlank));
}

int TCustomPlainEdit::insertText(TPlainSelectionMode mode, const QStringList& pieces, bool record, int columnChar)
{
    const TBufferCoord start = m_caretPos;
    int added = 0;
    switch (mode) {
    case smNormal:
        added = insertNormal(pieces, record);
        if (added > 0)
            AdjustMarksForInsertion(start.Char > 1 ? start.Line + 1 : start.Line, added);
        break;
    case smLine:
        added = insertLines(pieces);
        if (added > 0)
            AdjustMarksForInsertion(start.Line, added);
        break;
    case smColumn:
        added = insertColumn(pieces, record, columnChar);
        if (added > 0)
            AdjustMarksForInsertion(start.Line, added);
        break;
    }
    MoveCaret(m_caretPos);
    return added;
}

int TCustomPlainEdit::insertNormal(const QStringList& pieces, bool record)
{
    if (m_lines->Count() == 0)
        m_lines->Add(QString());
    const TBufferCoord caret = m_caretPos;
    const int line = std::clamp(caret.Line, 1, m_lines->Count());
    if (caret.Char - 1 > lineLength(line))
        padLine(line, caret.Char - 1, record);
    const QString current = lineText(line);
    const QString left = current.left(caret.Char - 1);
    const QString right = current.mid(caret.Char - 1);
    const int breaks = int(pieces.size()) - 1;
    QString lastWritten;
    QString lastPiece;
    if (breaks == 0) {
        lastWritten = left + pieces.front() + right;
        lastPiece = lastWritten;
        StoreLine(line - 1, lastWritten);
    } else {
        StoreLine(line - 1, left + pieces.front());
        m_lines->InsertLines(line, breaks);
        for (int i = 1; i <= breaks; ++i) {
            QString s = pieces[i];
            if (i == breaks) {
                lastPiece = s;
                s += right;
                lastWritten = s;
            }
            StoreLine(line - 1 + i, s);
        }
    }
    int newChar;
    if (!m_options.contains(eoTrimTrailingSpaces))
        newChar = int(lastWritten.size() - right.size()) + 1;
    else if (!right.isEmpty())
        newChar = int(TrimTrailingBlanks(lastWritten).size() - TrimTrailingBlanks(right).size()) + 1;
    else
        newChar = TabExpandedLength(lastPiece, m_tabWidth) + 1;
    m_caretPos = TBufferCoord{newChar, line + breaks};
    return breaks;
}

int TCustomPlainEdit::insertLines(const QStringList& pieces)
{
    const int count = int(pieces.size()) - 1;
    int line = std::max(1, m_caretPos.Line);
    if (count > 0) {
        const int index = std::min(line - 1, m_lines->Count());
        m_lines->InsertLines(index, count);
        for (int i = 0; i < count; ++i)
            StoreLine(index + i, pieces[i]);
        line = index + 1 + count;
    }
    const QString& last = pieces.back();
    if (line <= m_lines->Count()) {
        QString s = last + lineText(line);
        if (m_options.contains(eoTrimTrailingSpaces))
            s = TrimTrailingBlanks(s);
        m_lines->SetStrings(line - 1, s);
    } else {
        line = m_lines->Count() + 1;
        m_lines->Add(m_options.contains(eoTrimTrailingSpaces) ? TrimTrailingBlanks(last) : last);
    }
    m_caretPos = TBufferCoord{int(last.size()) + 1, line};
    return count;
}

int TCustomPlainEdit::insertColumn(const QStringList& pieces, bool record, int columnChar)
{
    const TBufferCoord start{columnChar, m_caretPos.Line};
    int added = 0;
    int lastLength = 0;
    int lastColumn = start.Char;
    int lastLine = start.Line;
    for (int i = 0; i < pieces.size(); ++i) {
        const QString& piece = pieces[i];
        const int line = start.Line + i;
        if (piece.isEmpty())
            continue;
        while (m_lines->Count() < line) {
            const int above = m_lines->Count();
            if (above == 0) {
                m_lines->Add(QString());
                continue;
            }
            if (record)
                m_undoList->RecordChange(urInsert, TBufferCoord{lineLength(above) + 1, above},
                                         TBufferCoord{1, above + 1}, QString(), smNormal);
            m_lines->Add(QString());
            ++added;
        }
        padLine(line, start.Char - 1, record);
        QString s = lineText(line);
        int column = start.Char;
        if (IsTrailChar(s, column))
            ++column;
        s.insert(column - 1, piece);
        StoreLine(line - 1, s);
        if (record)
            m_undoList->RecordChange(urPaste, TBufferCoord{column, line},
                                     TBufferCoord{column + int(piece.size()), line}, QString(), smColumn);
        lastLength = int(piece.size());
        lastColumn = column;
        lastLine = line;
    }
    m_caretPos = TBufferCoord{lastColumn + lastLength, lastLine};
    return added;
}

void TCustomPlainEdit::InsertColumnBlock(TBufferCoord start, TBufferCoord end, const QString& v, bool record)
{
    SetCaretAndSel(start, start, end);
    SetActiveSelMode(smColumn);
    replaceSelectionAt(smColumn, v, record, start.Char);
    StatusChanged({scSelection});
}

// ------------------------------------------------------------ character indexes

int TCustomPlainEdit::PosToCharIndex(TBufferCoord p) const
{
    const int line = std::min(p.Line, m_lines->Count());
    qint64 index = 0;
    for (int i = 1; i < line; ++i)
        index += lineLength(i) + 2;
    return ClampToInt(index + p.Char - 1);
}

TBufferCoord TCustomPlainEdit::CharIndexToPos(int index) const
{
    qint64 start = 0;
    const int count = m_lines->Count();
    for (int line = 1; line <= count; ++line) {
        const qint64 span = lineLength(line) + 2;
        if (index < start + span)
            return TBufferCoord{ClampToInt(index - start + 1), line};
        start += span;
    }
    return TBufferCoord{1, count + 1};
}

int TCustomPlainEdit::SelStartIndex() const { return PosToCharIndex(SelAvail() ? SelFirst() : m_caretPos); }

void TCustomPlainEdit::SetSelStartIndex(int v)
{
    MoveCaret(CharIndexToPos(v));
    SetSelAnchor(m_caretPos);
}

int TCustomPlainEdit::SelEndIndex() const { return PosToCharIndex(SelAvail() ? SelLast() : m_caretPos); }

void TCustomPlainEdit::SetSelEndIndex(int v) { SetSelHead(CharIndexToPos(v)); }

// ------------------------------------------------------------ lines

QString TCustomPlainEdit::CaretLineText() const { return lineText(m_caretPos.Line); }

void TCustomPlainEdit::SetCaretLineText(const QString& Value)
{
    const int line = std::max(1, m_caretPos.Line);
    if (line <= m_lines->Count())
        m_lines->SetStrings(line - 1, Value);
    else if (line == m_lines->Count() + 1)
        m_lines->Add(Value);
}

void TCustomPlainEdit::StoreLine(int index, const QString& s)
{
    m_lines->SetStrings(index, m_options.contains(eoTrimTrailingSpaces) ? TrimTrailingBlanks(s) : s);
}

QString TCustomPlainEdit::TrimTrailingBlanks(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && (s.at(n - 1) == kBlank || s.at(n - 1) == kTab))
        --n;
    return n == s.size() ? s : s.left(n);
}

void TCustomPlainEdit::AdjustMarksForDeletion(int firstLine, int count)
{
    if (count <= 0)
        return;
    for (int i = 0; i < m_markList->Count(); ++i) {
        TPlainEditMark* mark = m_markList->Items(i);
        const int line = mark->MarkLine();
        if (line >= firstLine + count)
            mark->SetMarkLine(line - count);
        else if (line > firstLine)
            mark->SetMarkLine(firstLine);
    }
}

void TCustomPlainEdit::AdjustMarksForInsertion(int firstLine, int count)
{
    if (count <= 0)
        return;
    for (int i = 0; i < m_markList->Count(); ++i) {
        TPlainEditMark* mark = m_markList->Items(i);
        if (mark->MarkLine() >= firstLine)
            mark->SetMarkLine(mark->MarkLine() + count);
    }
}
