#include "zdSyntaxMemoModel.h"

#include "Services.h"
#include "zs_iinterpreter.h"
#include "zs_iparser.h"

#include <QXmlStreamReader>
#include <Qt>

#include <algorithm>

namespace zd {

namespace {

// The keywords of the SQL syntax, in the order the list has always had.
constexpr const char* kSqlKeywords =
    "active,after,all,alter,and,any,as,asc,ascending,at,auto,base_name,before,begin,between,by,cache,call,"
    "cast,check,column,commit,committed,computed,conditional,constraint,containing,count,create,current,"
    "cursor,database,debug,declare,default,delete,desc,descending,distinct,do,domain,drop,else,end,"
    "entry_point,escape,exception,execute,exists,exit,external,extract,filter,for,foreign,from,full,"
    "function,generator,grant,group,having,if,in,inactive,index,inner,insert,into,is,isolation,join,key,"
    "left,level,like,merge,names,no,not,null,of,on,only,or,order,outer,parameter,password,plan,position,"
    "primary,privileges,procedure,protected,read,retain,returns,revoke,right,rollback,schema,select,set,"
    "shadow,shared,snapshot,some,suspend,table,then,to,transaction,trigger,uncommitted,union,unique,update,"
    "user,using,values,view,wait,when,where,while,with,work";

constexpr int kTabWidth = 8;
constexpr int kIndentStep = 2;
const QString kCRLF = QStringLiteral("\r\n");

bool lessPos(MemoPos a, MemoPos b)
{
    return a.line != b.line ? a.line < b.line : a.column < b.column;
}

QString rtrim(const QString& s)
{
    int n = int(s.size());
    while (n > 0 && s.at(n - 1).unicode() <= ' ')
        --n;
    return s.left(n);
}

} // namespace

SyntaxMemoModel::SyntaxMemoModel() : m_parser(std::make_unique<TzsParser>())
{
    m_bookmarks.fill(-1);
    m_lines.append(QString());
    m_exec.assign(1, 0);
    m_parser->AutoSkip = false;
    m_parser->TrackLines = false;
}

SyntaxMemoModel::~SyntaxMemoModel() = default;

// ---------------------------------------------------------------- text

void SyntaxMemoModel::SetLines(const QStringList& Lines)
{
    m_lines = Lines;
    resetAfterWrite();
}

QString SyntaxMemoModel::Text() const { return m_lines.join(kCRLF); }

void SyntaxMemoModel::SetText(const QString& Text)
{
    QString t = Text;
    t.replace(kCRLF, QStringLiteral("\n"));
    QStringList lines = t.split(u'\n');
    // A final line end ends the last line; it opens no new one.
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    SetLines(lines);
}

QString SyntaxMemoModel::Line(int Line) const
{
    return Line >= 1 && Line <= LineCount() ? m_lines.at(Line - 1) : QString();
}

void SyntaxMemoModel::resetAfterWrite()
{
    if (m_lines.isEmpty())
        m_lines.append(QString());
    m_exec.assign(size_t(m_lines.size()), 0);
    m_map.clear();
    m_undo.clear();
    m_caret = {1, 1};
    m_anchor = {0, 0};
    TopLine = 0;
    LeftColumn = 0;
    caretMoved();
    repaint();
}

// Internal edits keep caret, undo and colours; the executable marks belong
// to the text that was compiled and do not survive a change of it.
void SyntaxMemoModel::writeLines(const QStringList& Lines)
{
    m_lines = Lines;
    if (m_lines.isEmpty())
        m_lines.append(QString());
    m_exec.assign(size_t(m_lines.size()), 0);
}

void SyntaxMemoModel::changed(int Top)
{
    Modified = true;
    InvalidateSyntax(Top);
    if (OnChange)
        OnChange();
}

void SyntaxMemoModel::caretMoved()
{
    if (OnChangePos)
        OnChangePos();
}

void SyntaxMemoModel::repaint()
{
    if (OnRepaint)
        OnRepaint();
}

int SyntaxMemoModel::trimmedLength(int Line) const { return int(rtrim(this->Line(Line)).size()); }

int SyntaxMemoModel::firstNonBlank(int Line) const
{
    const QString s = this->Line(Line);
    for (int i = 0; i < s.size(); ++i)
        if (s.at(i) != u' ')
            return i + 1;
    return 0;
}

// ---------------------------------------------------------------- caret and view

void SyntaxMemoModel::SetView(int Columns, int Lines)
{
    VisibleColumns = std::max(0, Columns);
    VisibleLines = std::max(0, Lines);
}

void SyntaxMemoModel::ScrollTo(int Column, int Line)
{
    LeftColumn = std::clamp(Column, 0, kMaxColumns);
    TopLine = std::clamp(Line, 0, LineCount());
    caretMoved();
    repaint();
}

void SyntaxMemoModel::SetCaretPos(int Column, int Line)
{
    if (!m_message.isEmpty()) {
        m_message.clear();
        repaint();
    }
    Column = std::max(1, std::min(Column, kMaxColumns));
    Line = std::max(1, std::min(Line, LineCount()));
    m_caret = {Column, Line};
    if (VisibleColumns > 0 && VisibleLines > 0) {
        if (TopLine >= LineCount())
            TopLine = LineCount() - 1;
        if (Column > LeftColumn + VisibleColumns) {
            LeftColumn += Column - LeftColumn - VisibleColumns;
        } else if (Column > LeftColumn) {
            if (Line > TopLine + VisibleLines)
                TopLine += Line - TopLine - VisibleLines;
            else if (Line <= TopLine)
                TopLine = Line - 1;
        } else {
            LeftColumn = Column - 1;
        }
    }
    caretMoved();
}

void SyntaxMemoModel::moveCaret(int Column, int Line) { SetCaretPos(Column, Line); }

int SyntaxMemoModel::CaretOffset() const
{
    int offset = 0;
    for (int i = 1; i < m_caret.line; ++i)
        offset += int(m_lines.at(i - 1).size()) + 2;
    return offset + m_caret.column;
}

MemoPos SyntaxMemoModel::SelStart() const
{
    if (!HasSelection())
        return m_caret;
    return lessPos(m_anchor, m_caret) ? m_anchor : m_caret;
}

MemoPos SyntaxMemoModel::SelEnd() const
{
    if (!HasSelection())
        return m_caret;
    return lessPos(m_anchor, m_caret) ? m_caret : m_anchor;
}

void SyntaxMemoModel::SetSelection(MemoPos Anchor, MemoPos Caret)
{
    m_anchor = Anchor;
    SetCaretPos(Caret.column, Caret.line);
    repaint();
}

void SyntaxMemoModel::ClickAt(MemoPos Cell, bool Extend)
{
    const MemoPos before = m_caret;
    SetCaretPos(Cell.column, Cell.line);
    if (Extend) {
        if (!HasSelection())
            m_anchor = before;
    } else {
        m_anchor = {0, 0};
    }
    repaint();
}

QString SyntaxMemoModel::SelText() const
{
    if (!HasSelection())
        return {};
    MemoPos from = SelStart();
    MemoPos to = SelEnd();
    if (from.column > trimmedLength(from.line) + 1 && from.line < LineCount())
        from = {1, from.line + 1};
    if (lessPos(to, from) || from == to)
        return {};
    if (from.line == to.line)
        return Line(from.line).mid(from.column - 1, to.column - from.column);
    QString s = Line(from.line).mid(from.column - 1);
    for (int l = from.line + 1; l < to.line; ++l)
        s += kCRLF + Line(l);
    s += kCRLF + Line(to.line).left(to.column - 1);
    return s;
}

// Removes [From, To) without a snapshot or notification; the start line is
// padded to the start column, the end column cut to the end line's trimmed
// length.
void SyntaxMemoModel::removeRange(MemoPos From, MemoPos To)
{
    QStringList lines = m_lines;
    QString& first = lines[From.line - 1];
    if (first.size() < From.column - 1)
        first += QString(From.column - 1 - first.size(), u' ');
    int endColumn = std::min(To.column, trimmedLength(To.line) + 1);
    if (To.line == From.line)
        endColumn = std::max(endColumn, From.column);
    const QString tail = lines.at(To.line - 1).mid(endColumn - 1);
    first = first.left(From.column - 1) + tail;
    for (int l = To.line; l > From.line; --l)
        lines.removeAt(From.line);
    writeLines(lines);
}

void SyntaxMemoModel::ReplaceSelection(const QString& S)
{
    saveUndo();
    const MemoPos from = SelStart();
    const MemoPos to = SelEnd();
    const int oldCaretLine = m_caret.line;
    removeRange(from, to);
    QString text = S;
    text.replace(kCRLF, QStringLiteral("\n"));
    const QStringList pieces = text.split(u'\n');
    QStringList lines = m_lines;
    const QString line = lines.at(from.line - 1);
    const QString head = line.left(from.column - 1);
    const QString tail = line.mid(from.column - 1);
    lines[from.line - 1] = head + pieces.first();
    for (int i = 1; i < pieces.size(); ++i)
        lines.insert(from.line - 1 + i, pieces.at(i));
    const int lastLine = from.line + int(pieces.size()) - 1;
    const int caretColumn = int(lines.at(lastLine - 1).size()) + 1;
    lines[lastLine - 1] += tail;
    writeLines(lines);
    m_anchor = {0, 0};
    SetCaretPos(caretColumn, lastLine);
    const int delta = m_caret.line - oldCaretLine;
    if (delta)
        ShiftMarks(std::min(oldCaretLine, from.line) + 1, delta);
    changed(std::min(from.line, oldCaretLine));
    repaint();
}

void SyntaxMemoModel::SelectAll()
{
    m_anchor = {1, 1};
    SetCaretPos(trimmedLength(LineCount()) + 1, LineCount());
    repaint();
}

bool SyntaxMemoModel::isWordChar(QChar C) const
{
    const char16_t u = C.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' ||
           (u >= 192 && u <= 255) || C.isLetter();
}

void SyntaxMemoModel::wordLeft()
{
    int line = m_caret.line;
    int column = std::min(m_caret.column, trimmedLength(line) + 1);
    const QString s = Line(line);
    while (column > 1 && !isWordChar(s.at(column - 2)))
        --column;
    while (column > 1 && isWordChar(s.at(column - 2)))
        --column;
    moveCaret(column, line);
}

void SyntaxMemoModel::wordRight()
{
    int line = m_caret.line;
    int column = m_caret.column;
    if (column > trimmedLength(line) && line < LineCount()) {
        ++line;
        column = 1;
    }
    const QString s = Line(line);
    const int end = int(s.size());
    while (column <= end && isWordChar(s.at(column - 1)))
        ++column;
    while (column <= end && !isWordChar(s.at(column - 1)))
        ++column;
    if (column > end)
        column = trimmedLength(line) + 1;
    moveCaret(column, line);
}

void SyntaxMemoModel::SelectWordAtCaret()
{
    const QString s = Line(m_caret.line);
    int column = m_caret.column;
    while (column > 1 && column - 2 < s.size() && isWordChar(s.at(column - 2)))
        --column;
    int end = column;
    while (end <= s.size() && isWordChar(s.at(end - 1)))
        ++end;
    m_anchor = {column, m_caret.line};
    SetCaretPos(end, m_caret.line);
    repaint();
}

QString SyntaxMemoModel::WordAtCaret() const
{
    const QString s = Line(m_caret.line);
    int column = std::min(m_caret.column, int(s.size()) + 1);
    while (column > 1 && isWordChar(s.at(column - 2)))
        --column;
    int end = column;
    while (end <= s.size() && isWordChar(s.at(end - 1)))
        ++end;
    return s.mid(column - 1, end - column);
}

// ---------------------------------------------------------------- clipboard and undo

void SyntaxMemoModel::CopyToClipboard()
{
    const QString s = SelText();
    if (!s.isEmpty())
        plat::Services().SetClipboardText(s);
}

void SyntaxMemoModel::CutToClipboard()
{
    if (!HasSelection())
        return;
    CopyToClipboard();
    ReplaceSelection(QString());
}

void SyntaxMemoModel::PasteFromClipboard() { ReplaceSelection(plat::Services().ClipboardText()); }

void SyntaxMemoModel::saveUndo()
{
    if (!UndoPending)
        return;
    m_undo.push_back({m_caret, m_lines});
    if (int(m_undo.size()) > kUndoLimit)
        m_undo.erase(m_undo.begin());
    UndoPending = false;
}

void SyntaxMemoModel::Undo()
{
    UndoPending = true;
    if (m_undo.empty())
        return;
    Snapshot s = std::move(m_undo.back());
    m_undo.pop_back();
    writeLines(s.lines);
    m_anchor = {0, 0};
    SetCaretPos(s.caret.column, s.caret.line);
    changed(1);
    repaint();
}

bool SyntaxMemoModel::FindText(const QString& Text, bool MatchCase, int& Position)
{
    // A text of one line has never been searched; kept so.
    if (LineCount() < 2)
        return false;
    if (Position < 1)
        Position = 1;
    QString all = this->Text();
    QString what = Text;
    if (!MatchCase) {
        all = all.toUpper();
        what = what.toUpper();
    }
    const qsizetype hit = all.indexOf(what, Position - 1);
    if (hit < 0 || what.isEmpty())
        return false;
    // The offset back to line and column.
    int line = 1;
    qsizetype lineStart = 0;
    for (;;) {
        const qsizetype len = m_lines.at(line - 1).size();
        if (hit <= lineStart + len || line == LineCount())
            break;
        lineStart += len + 2;
        ++line;
    }
    const int column = int(hit - lineStart) + 1;
    m_anchor = {column, line};
    SetCaretPos(column + int(what.size()), line);
    // The caret sits at the hit's start, the selection's end after it.
    const MemoPos end = m_caret;
    m_caret = {column, line};
    m_anchor = end;
    Position = int(hit) + int(what.size()) + 1;
    caretMoved();
    repaint();
    return true;
}

// ---------------------------------------------------------------- keys

void SyntaxMemoModel::splitLine()
{
    const int line = m_caret.line;
    const int column = m_caret.column;
    QStringList lines = m_lines;
    const QString s = lines.at(line - 1);
    // The whole tail moves to the new line, however long the line is.
    const QString head = s.left(column - 1);
    const QString tail = s.mid(column - 1);
    lines[line - 1] = head;
    lines.insert(line, tail);
    writeLines(lines);
    ShiftMarks(column == 1 ? line : line + 1, 1);
    m_anchor = {0, 0};
    SetCaretPos(1, line + 1);
    int indent = firstNonBlank(line);
    if (indent == 0)
        indent = column;
    changed(line);
    if (indent > 1)
        ReplaceSelection(QString(indent - 1, u' '));
    repaint();
}

void SyntaxMemoModel::backspace(bool Ctrl)
{
    if (Ctrl && !HasSelection())
        SelectWordAtCaret();
    if (HasSelection()) {
        ReplaceSelection(QString());
        return;
    }
    const int line = m_caret.line;
    const int column = m_caret.column;
    if (column > 1) {
        const int first = firstNonBlank(line);
        if (first == 0 || column == first) {
            // Unindent to the indentation of the nearest less indented line
            // above.
            int target = column - 1;
            for (int l = line - 1; l >= 1; --l) {
                const int f = firstNonBlank(l);
                if (f > 0 && f < column) {
                    target = f;
                    break;
                }
            }
            m_anchor = {target, line};
        } else {
            m_anchor = {column - 1, line};
        }
        ReplaceSelection(QString());
        return;
    }
    if (line == 1)
        return;
    saveUndo();
    QStringList lines = m_lines;
    const QString prev = rtrim(lines.at(line - 2));
    lines[line - 2] = prev + lines.at(line - 1);
    lines.removeAt(line - 1);
    writeLines(lines);
    ShiftMarks(line + 1, -1);
    m_anchor = {0, 0};
    SetCaretPos(int(prev.size()) + 1, line - 1);
    changed(line - 1);
    repaint();
}

void SyntaxMemoModel::deleteKey(bool Ctrl)
{
    if (Ctrl && !HasSelection())
        SelectWordAtCaret();
    if (HasSelection()) {
        ReplaceSelection(QString());
        return;
    }
    const int line = m_caret.line;
    const int column = m_caret.column;
    QStringList lines = m_lines;
    QString s = lines.at(line - 1);
    if (column <= s.size()) {
        saveUndo();
        s.remove(column - 1, 1);
        lines[line - 1] = s;
    } else {
        if (line >= LineCount())
            return;
        saveUndo();
        s += QString(column - 1 - s.size(), u' ');
        lines[line - 1] = s + rtrim(lines.at(line));
        lines.removeAt(line);
        ShiftMarks(line + 1, -1);
    }
    writeLines(lines);
    changed(line);
    repaint();
}

void SyntaxMemoModel::deleteCaretLine()
{
    saveUndo();
    const int line = m_caret.line;
    QStringList lines = m_lines;
    if (line == LineCount()) {
        lines[line - 1].clear();
        writeLines(lines);
        m_anchor = {0, 0};
        SetCaretPos(1, line);
    } else {
        lines.removeAt(line - 1);
        writeLines(lines);
        DeleteBreakpoint(line);
        for (int n = 0; n < kBookmarkCount; ++n)
            if (m_bookmarks[size_t(n)] == line - 1)
                m_bookmarks[size_t(n)] = -1;
        ShiftMarks(line + 1, -1);
        m_anchor = {0, 0};
        SetCaretPos(m_caret.column, line);
    }
    changed(line);
    repaint();
}

void SyntaxMemoModel::shiftBlock(bool Indent)
{
    if (!HasSelection())
        return;
    saveUndo();
    const MemoPos from = SelStart();
    const MemoPos to = SelEnd();
    const int last = to.column == 1 && to.line > from.line ? to.line - 1 : to.line;
    QStringList lines = m_lines;
    if (Indent) {
        for (int l = from.line; l <= last; ++l)
            lines[l - 1].prepend(QString(kIndentStep, u' '));
    } else {
        int smallest = kMaxColumns + 1;
        for (int l = from.line; l <= last; ++l)
            if (const int f = firstNonBlank(l); f > 0)
                smallest = std::min(smallest, f);
        const int n = smallest > kMaxColumns ? 0 : std::min(kIndentStep, smallest - 1);
        for (int l = from.line; l <= last; ++l)
            if (firstNonBlank(l) > 0)
                lines[l - 1].remove(0, n);
    }
    writeLines(lines);
    changed(from.line);
    repaint();
}

void SyntaxMemoModel::pageUp()
{
    const int v = VisibleLines;
    int& t = TopLine;
    int line = m_caret.line;
    if (v < t) {
        t = t - v + 1;
        line -= v - 1;
    } else if (t < 1) {
        line = 1;
    } else {
        line -= t;
        t = 0;
    }
    SetCaretPos(m_caret.column, line);
    repaint();
}

void SyntaxMemoModel::pageDown()
{
    const int v = VisibleLines;
    int line = m_caret.line;
    if (TopLine + v < LineCount()) {
        TopLine += v - 1;
        line += v - 1;
    } else {
        TopLine = LineCount();
        line = LineCount();
    }
    SetCaretPos(m_caret.column, line);
    repaint();
}

bool SyntaxMemoModel::KeyDown(int Key, bool Shift, bool Ctrl, bool Alt)
{
    const MemoPos before = m_caret;
    bool navigation = false;
    switch (Key) {
    case Qt::Key_Left:
        if (Ctrl)
            wordLeft();
        else
            moveCaret(m_caret.column - 1, m_caret.line);
        navigation = true;
        break;
    case Qt::Key_Right:
        if (Ctrl)
            wordRight();
        else
            moveCaret(m_caret.column + 1, m_caret.line);
        navigation = true;
        break;
    case Qt::Key_Up:
        moveCaret(m_caret.column, m_caret.line - 1);
        navigation = true;
        break;
    case Qt::Key_Down:
        moveCaret(m_caret.column, m_caret.line + 1);
        navigation = true;
        break;
    case Qt::Key_Home:
        if (Ctrl)
            moveCaret(1, 1);
        else
            moveCaret(1, m_caret.line);
        navigation = true;
        break;
    case Qt::Key_End:
        if (Ctrl)
            moveCaret(trimmedLength(LineCount()) + 1, LineCount());
        else
            moveCaret(trimmedLength(m_caret.line) + 1, m_caret.line);
        navigation = true;
        break;
    case Qt::Key_PageUp:
        pageUp();
        navigation = true;
        break;
    case Qt::Key_PageDown:
        pageDown();
        navigation = true;
        break;
    case Qt::Key_Backspace:
        backspace(Ctrl);
        UndoPending = true;
        return true;
    case Qt::Key_Delete:
        if (Shift)
            CutToClipboard();
        else
            deleteKey(Ctrl);
        UndoPending = true;
        return true;
    case Qt::Key_Tab:
        ReplaceSelection(QString(kTabWidth - (m_caret.column % kTabWidth), u' '));
        UndoPending = true;
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (Shift || Ctrl || Alt)
            return false;
        splitLine();
        UndoPending = true;
        return true;
    case Qt::Key_Insert:
        if (Ctrl)
            CopyToClipboard();
        else if (Shift)
            PasteFromClipboard();
        UndoPending = true;
        return true;
    default:
        break;
    }
    if (navigation) {
        UndoPending = true;
        if (Shift) {
            if (!HasSelection())
                m_anchor = before;
        } else {
            m_anchor = {0, 0};
        }
        repaint();
        return true;
    }
    if (!Ctrl)
        return false;
    if (Key >= Qt::Key_0 && Key <= Qt::Key_9) {
        const int n = Key - Qt::Key_0;
        if (!Shift) {
            GotoBookmark(n);
        } else {
            const int held = BookmarkAt(m_caret.line - 1);
            if (held < 0)
                SetBookmark(m_caret.line - 1, n);
            else if (held == n)
                ClearBookmark(n);
        }
        return true;
    }
    switch (Key) {
    case Qt::Key_A:
        SelectAll();
        return true;
    case Qt::Key_C:
        CopyToClipboard();
        return true;
    case Qt::Key_V:
        PasteFromClipboard();
        return true;
    case Qt::Key_X:
        CutToClipboard();
        return true;
    case Qt::Key_Z:
        Undo();
        return true;
    case Qt::Key_I:
        shiftBlock(true);
        return true;
    case Qt::Key_U:
        shiftBlock(false);
        return true;
    case Qt::Key_Y:
        deleteCaretLine();
        return true;
    case Qt::Key_Space:
        if (OnCompletionKey)
            OnCompletionKey();
        return true;
    default:
        return false;
    }
}

void SyntaxMemoModel::KeyPress(QChar Ch, bool Ctrl, bool RightAlt)
{
    const bool ctrlOnly = Ctrl && !RightAlt;
    if (Ch.unicode() > ' ') {
        if (Ch.unicode() == 127 && ctrlOnly)
            return;
    } else if (Ch.unicode() == ' ') {
        if (ctrlOnly)
            return;
    } else {
        return;
    }
    ReplaceSelection(QString(Ch));
    // A run of typing shares one snapshot.
    UndoPending = false;
}

QString SyntaxMemoModel::CompletionPrefix() const
{
    const QString s = Line(m_caret.line).left(m_caret.column - 1).trimmed();
    int i = int(s.size());
    int depth = 0;
    QChar quote;
    while (i > 0) {
        const QChar c = s.at(i - 1);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            --i;
            continue;
        }
        if (depth > 0 && (c == u'\'' || c == u'"')) {
            quote = c;
            --i;
            continue;
        }
        if (c == u')' || c == u']') {
            ++depth;
        } else if (c == u'(' || c == u'[') {
            if (depth == 0)
                break;
            --depth;
        } else if (depth == 0 && !(isWordChar(c) || c == u'.')) {
            break;
        }
        --i;
    }
    return s.mid(i);
}

void SyntaxMemoModel::InsertCompletion(const QString& ItemText)
{
    int n = 0;
    if (!ItemText.isEmpty()) {
        n = 1;
        while (n < ItemText.size() && isWordChar(ItemText.at(n)))
            ++n;
    }
    const QString name = ItemText.left(n);
    const bool call = ItemText.mid(n).startsWith(u'(');
    ReplaceSelection(call ? name + QStringLiteral("()") : name);
    if (call)
        SetCaretPos(m_caret.column - 1, m_caret.line);
}

// ---------------------------------------------------------------- marks

int SyntaxMemoModel::BookmarkAt(int LineIndex) const
{
    for (int n = 0; n < kBookmarkCount; ++n)
        if (m_bookmarks[size_t(n)] == LineIndex)
            return n;
    return -1;
}

void SyntaxMemoModel::SetBookmark(int LineIndex, int N)
{
    if (N < 0 || N >= kBookmarkCount)
        return;
    m_bookmarks[size_t(N)] = LineIndex;
    repaint();
}

void SyntaxMemoModel::ClearBookmark(int N)
{
    if (N < 0 || N >= kBookmarkCount)
        return;
    m_bookmarks[size_t(N)] = -1;
    repaint();
}

void SyntaxMemoModel::GotoBookmark(int N)
{
    const int index = Bookmark(N);
    if (index >= 0)
        SetCaretPos(1, index + 1);
    repaint();
}

void SyntaxMemoModel::AddBreakpoint(int Line, const QString& Condition)
{
    DeleteBreakpoint(Line);
    m_breakpoints.emplace_back(Condition, Line);
    repaint();
}

void SyntaxMemoModel::ToggleBreakpoint(int Line, const QString& Condition)
{
    if (IsBreakpoint(Line))
        DeleteBreakpoint(Line);
    else
        AddBreakpoint(Line, Condition);
}

void SyntaxMemoModel::DeleteBreakpoint(int Line)
{
    std::erase_if(m_breakpoints, [Line](const auto& b) { return b.second == Line; });
    repaint();
}

bool SyntaxMemoModel::IsBreakpoint(int Line) const
{
    return std::any_of(m_breakpoints.begin(), m_breakpoints.end(), [Line](const auto& b) { return b.second == Line; });
}

QString SyntaxMemoModel::BreakpointCondition(int Line) const
{
    for (const auto& b : m_breakpoints)
        if (b.second == Line)
            return b.first;
    return {};
}

void SyntaxMemoModel::DeleteF4Breakpoints()
{
    std::erase_if(m_breakpoints, [](const auto& b) { return b.first == u"F4"; });
    repaint();
}

std::vector<int> SyntaxMemoModel::BreakpointLines() const
{
    std::vector<int> lines;
    for (const auto& b : m_breakpoints)
        lines.push_back(b.second);
    std::sort(lines.begin(), lines.end());
    return lines;
}

bool SyntaxMemoModel::ExecutableLine(int Line) const
{
    return Line >= 1 && Line <= int(m_exec.size()) && m_exec[size_t(Line - 1)];
}

void SyntaxMemoModel::SetExecutableLine(int Line, bool Value)
{
    if (Line >= 1 && Line <= int(m_exec.size()))
        m_exec[size_t(Line - 1)] = Value ? 1 : 0;
}

void SyntaxMemoModel::ClearExecutableLines()
{
    std::fill(m_exec.begin(), m_exec.end(), 0);
    repaint();
}

void SyntaxMemoModel::ShiftMarks(int From, int Delta)
{
    if (Delta == 0)
        return;
    for (int& b : m_bookmarks)
        if (b >= 0 && b + 1 >= From)
            b = std::max(0, b + Delta);
    for (auto& b : m_breakpoints)
        if (b.second >= From)
            b.second = std::max(1, b.second + Delta);
}

void SyntaxMemoModel::SetActiveLine(int Line)
{
    m_activeLine = Line;
    repaint();
}

void SyntaxMemoModel::SetMessageText(const QString& Text)
{
    m_message = Text;
    repaint();
}

// ---------------------------------------------------------------- syntax

void SyntaxMemoModel::SetSyntaxLanguage(const QString& Name)
{
    m_language = Name;
    TzsParser& p = *m_parser;
    p.Clear();
    p.AutoSkip = false;
    p.TrackLines = false;
    // Clear() brings back the parser's own rules; the colouring starts from
    // an empty keyword list whatever the language.
    if (Name.compare(QLatin1String("SQL"), Qt::CaseInsensitive) == 0) {
        for (const QString& w : QString::fromLatin1(kSqlKeywords).split(u','))
            p.AddKeyword(w);
        p.CommentLine1 = QStringLiteral("--");
        p.CommentLine2.clear();
        p.SetCommentBlock1(QStringLiteral("/*,*/"));
        p.SetCommentBlock2(QString());
        p.StringQuotes = QStringLiteral("\"");
        p.HexSequence = QStringLiteral("0x");
    } else if (zsGetLanguageNames().contains(Name, Qt::CaseInsensitive)) {
        QXmlStreamReader xml(zsGetLanguage(Name));
        int depth = 0;
        int parserDepth = -1;
        bool inKeywords = false;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                ++depth;
                const QString name = xml.name().toString();
                if (parserDepth < 0 && name == u"parser") {
                    parserDepth = depth;
                } else if (parserDepth > 0 && depth == parserDepth + 1) {
                    const QString lower = name.toLower();
                    const QString text = xml.attributes().value(QLatin1String("text")).toString();
                    inKeywords = lower == u"keywords";
                    if (lower == u"identchars")
                        p.SetIdentChars(text);
                    else if (lower == u"commentline1")
                        p.CommentLine1 = text;
                    else if (lower == u"commentline2")
                        p.CommentLine2 = text;
                    else if (lower == u"commentblock1")
                        p.SetCommentBlock1(text);
                    else if (lower == u"commentblock2")
                        p.SetCommentBlock2(text);
                    else if (lower == u"stringquotes")
                        p.StringQuotes = text;
                    else if (lower == u"hexsequence")
                        p.HexSequence = text;
                } else if (inKeywords && depth == parserDepth + 2) {
                    p.AddKeyword(name);
                }
            } else if (token == QXmlStreamReader::EndElement) {
                if (depth == parserDepth + 1)
                    inKeywords = false;
                if (depth == parserDepth)
                    parserDepth = -2; // only the first parser element counts
                --depth;
            }
        }
    }
    m_map.clear();
    repaint();
}

QStringList SyntaxMemoModel::Keywords() const { return m_parser->Keywords(); }

void SyntaxMemoModel::InvalidateSyntax(int Line)
{
    const int keep = std::max(Line - 2, 0);
    while (m_map.size() > keep)
        m_map.removeLast();
    repaint();
}

void SyntaxMemoModel::UpdateSyntax(int LastLine)
{
    LastLine = std::min(LastLine, LineCount() - 1);
    if (m_map.size() > LastLine)
        return;
    const int coloured = int(m_map.size());
    for (int i = coloured; i <= LastLine; ++i)
        m_map.append(m_lines.at(i));
    QString map = m_map.join(kCRLF);
    const QString text = m_lines.mid(0, LastLine + 1).join(kCRLF);
    // Resume at the start of the last run of plain text coloured so far.
    int start = 1;
    const qsizetype last = map.lastIndexOf(QChar(char16_t(scText)));
    if (last >= 0) {
        qsizetype first = last;
        while (first > 0 && map.at(first - 1) == QChar(char16_t(scText)))
            --first;
        start = first == 0 ? 2 : int(first) + 1;
    }
    colourText(map, text, start);
    const QStringList lines = map.split(kCRLF);
    for (int i = 0; i < m_map.size() && i < lines.size(); ++i)
        m_map[i] = lines.at(i);
}

void SyntaxMemoModel::colourText(QString& Map, const QString& Text, int Start)
{
    TzsParser& p = *m_parser;
    p.SetText(Text);
    p.SetPosition(Start);
    const auto paint = [&Map](int from, int to, SyntaxColour code) {
        for (int i = from; i < to && i <= Map.size(); ++i)
            if (Map.at(i - 1).unicode() >= 32)
                Map[i - 1] = QChar(char16_t(code));
    };
    while (p.CurrentPos <= p.TextLength) {
        const int before = p.CurrentPos;
        p.SkipSpaces();
        paint(before, p.CurrentPos, scComment);
        if (p.CurrentPos > p.TextLength)
            break;
        const int tokenStart = p.CurrentPos;
        if (const int length = p.scanWord(); length > 0) {
            const bool keyword = p.isKeyWord(p.view(tokenStart, length));
            paint(tokenStart, p.CurrentPos, keyword ? scKeyword : scText);
            continue;
        }
        p.SetPosition(tokenStart);
        if (!p.GetNumber().isEmpty()) {
            paint(tokenStart, p.CurrentPos, scNumber);
            continue;
        }
        p.SetPosition(tokenStart);
        if (!p.GetString().isEmpty()) {
            paint(tokenStart, p.CurrentPos, scString);
            continue;
        }
        p.SetPosition(tokenStart + 1);
        paint(tokenStart, tokenStart + 1, scText);
    }
}

std::vector<SyntaxColour> SyntaxMemoModel::LineColours(int LineIndex)
{
    std::vector<SyntaxColour> colours;
    const QString line = Line(LineIndex + 1);
    colours.assign(size_t(line.size()), scText);
    if (LineIndex >= m_map.size())
        return colours;
    const QString& map = m_map.at(LineIndex);
    for (int i = 0; i < line.size() && i < map.size(); ++i) {
        const char16_t c = map.at(i).unicode();
        if (c == scComment || c == scKeyword || c == scString || c == scNumber)
            colours[size_t(i)] = SyntaxColour(c);
    }
    return colours;
}

} // namespace zd
