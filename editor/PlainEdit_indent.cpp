// The editor model: Tab and Shift+Tab with the smart-tab rules, block
// indent and unindent, and case conversion.

#include "PlainEdit_p.h"

#include "CodePage.h"

#include <algorithm>

using namespace pe;

namespace {

bool isBlankOrTab(QChar c) { return c == kBlank || c == kTab; }

bool onlyBlanks(const QString& text, int before)
{
    for (int i = 0; i < std::min<qsizetype>(before, text.size()); ++i) {
        if (!isBlankOrTab(text.at(i)))
            return false;
    }
    return true;
}

} // namespace

QString TCustomPlainEdit::ToggleCaseText(const QString& text)
{
    QString result = text;
    for (QChar& c : result)
        c = plat::ansiUpperChar(c) == c ? plat::ansiLowerChar(c) : plat::ansiUpperChar(c);
    return result;
}

// ------------------------------------------------------------ Tab and Shift+Tab

void TCustomPlainEdit::DoTabKey()
{
    const bool spansLines = m_selAnchor.Line != m_selHead.Line && m_activeSelMode != smColumn;
    const bool coversCaretLine = SelAvail() && SelFirst().Char == 1 && SelLast().Char > lineLength(m_caretPos.Line);
    if (m_options.contains(eoTabIndent) && (spansLines || coversCaretLine)) {
        DoBlockIndent();
        if (coversCaretLine) {
            if (m_selAnchor.Char <= m_selHead.Char)
                m_selAnchor.Char = 1;
            else
                m_selHead.Char = 1;
            InvalidateSelection();
        }
        return;
    }
    // The distance to the next word start of the nearest longer line above.
    int d = 0;
    int usedLine = 0;
    int usedChar = 0;
    const int caretColumn = CaretDisplayColumn();
    if (m_options.contains(eoSmartTabs) && m_caretPos.Line > 1 && m_caretPos.Line <= m_lines->Count()) {
        for (int line = m_caretPos.Line - 1; line >= 1; --line) {
            const int c = DisplayToBuffer(TDisplayPos{caretColumn, LineToRow(line)}).Char;
            const QString text = lineText(line);
            if (text.size() < c)
                continue;
            int i = c;
            while (i <= text.size() && !isBlankOrTab(text.at(i - 1)))
                ++i;
            while (i <= text.size() && isBlankOrTab(text.at(i - 1)))
                ++i;
            d = i - c;
            usedLine = line;
            usedChar = i;
            break;
        }
    }
    Compound compound(*m_undoList);
    if (SelAvail()) {
        m_undoList->RecordChange(urDelete, m_selAnchor, m_selHead, removedText(), m_activeSelMode);
        ReplaceSelectionActive(QString());
    }
    const TBufferCoord start = m_caretPos;
    if (d == 0)
        d = m_options.contains(eoTabsToSpaces) ? m_tabWidth - (start.Char - 1) % m_tabWidth : m_tabWidth;
    const QString line = lineText(start.Line);
    const int column = CaretDisplayColumn();
    const int wordColumn = usedLine > 0 ? BufferToDisplay(TBufferCoord{usedChar, usedLine}).Column : 0;
    QString t;
    int c;
    if (m_options.contains(eoTabsToSpaces)) {
        t = QString(d, kBlank);
        c = start.Char + d;
    } else if (m_options.contains(eoTrimTrailingSpaces) && start.Char > line.size()) {
        const int distance =
            usedLine > 0 ? wordColumn - column : m_tabWidth - (column - 1) % m_tabWidth;
        c = start.Char + distance;
    } else {
        const bool blanksOnly = onlyBlanks(line, start.Char - 1);
        if (m_options.contains(eoSmartTabs) && usedLine > 0 && blanksOnly) {
            int n = wordColumn - column;
            const int stop = m_tabWidth - (column - 1) % m_tabWidth;
            if (n >= stop) {
                t += kTab;
                n -= stop;
                while (n >= m_tabWidth) {
                    t += kTab;
                    n -= m_tabWidth;
                }
            }
            t += QString(std::max(0, n), kBlank);
        } else {
            t = QString(kTab);
        }
        c = (blanksOnly && m_options.contains(eoTrimTrailingSpaces)) ? start.Char + TabExpandedLength(t, m_tabWidth)
                                                                      : start.Char + int(t.size());
    }
    if (!t.isEmpty()) {
        // A tab goes in at the caret, also in line mode.
        ReplaceSelectionRaw(m_activeSelMode == smLine ? smNormal : m_activeSelMode, t, true);
        if (m_activeSelMode != smColumn)
            m_undoList->RecordChange(urInsert, start, m_caretPos, QString(), smNormal);
    }
    HoldOption past(m_options, eoScrollPastEol, true);
    SetCaretColumn(c);
    EnsureCaretVisible();
}

void TCustomPlainEdit::DoShiftTabKey()
{
    const bool spansLines = m_selAnchor.Line != m_selHead.Line && m_activeSelMode != smColumn;
    const bool coversCaretLine = SelAvail() && SelFirst().Char == 1 && SelLast().Char > lineLength(m_caretPos.Line);
    if (m_options.contains(eoTabIndent) && (spansLines || coversCaretLine)) {
        DoBlockUnindent();
        return;
    }
    const TBufferCoord caret = m_caretPos;
    int x = caret.Char;
    if (m_options.contains(eoSmartTabs) && x > 1 && caret.Line > 1) {
        for (int line = caret.Line - 1; line >= 1; --line) {
            const QString text = lineText(line);
            if (text.size() < x - 1)
                continue;
            while (x > 1 && text.at(x - 2) == kBlank)
                --x;
            while (x > 1 && text.at(x - 2) != kBlank)
                --x;
            break;
        }
    }
    if (x == caret.Char) {
        const QString text = CaretLineText();
        const int s = m_tabWidth * ((caret.Char - 2) / m_tabWidth) + 1;
        const auto blankBefore = [&text](int i) { return i - 1 > text.size() || text.at(i - 2) == kBlank; };
        if (caret.Char > text.size() + 1) {
            x = s;
        } else if (x > 1 && text.at(x - 2) == kTab && s < x) {
            x = x - 1;
        } else {
            while (x > s && x > 1 && blankBefore(x))
                --x;
        }
    }
    if (x == caret.Char)
        return;
    SetSelAnchor(TBufferCoord{x, caret.Line});
    SetSelHead(caret);
    // The blanks before the caret, whatever selection mode is chosen.
    SetActiveSelMode(smNormal);
    const QString deleted = removedText();
    ReplaceSelectionActive(QString());
    m_undoList->RecordChange(urSilentDelete, TBufferCoord{x, caret.Line}, caret, deleted, smNormal);
    SetCaretColumn(x);
}

// ------------------------------------------------------------ block indent

void TCustomPlainEdit::DoBlockIndent()
{
    if (!SelAvail())
        return;
    const TBufferCoord first = SelFirst();
    const TBufferCoord last = SelLast();
    const TPlainSelectionMode oldMode = m_activeSelMode;
    const int endLine = last.Char == 1 ? last.Line - 1 : last.Line;
    const QString unit = m_options.contains(eoTabsToSpaces) ? QString(m_tabWidth, kBlank) : QString(kTab);
    const int unitLength = int(unit.size());
    const int newCaretChar = last.Char == 1 ? 1 : m_caretPos.Char + unitLength;
    QStringList lines;
    for (int line = first.Line; line <= endLine; ++line)
        lines.append(unit);
    const int caretLine = m_caretPos.Line;
    Compound compound(*m_undoList);
    Finally select([&] {
        SetCaretAndSel(TBufferCoord{newCaretChar, caretLine}, TBufferCoord{first.Char + unitLength, first.Line},
                       TBufferCoord{last.Char > 1 ? last.Char + unitLength : last.Char, last.Line});
        SetActiveSelMode(oldMode);
    });
    if (lines.isEmpty())
        return;
    const TBufferCoord p{oldMode == smColumn ? std::min(first.Char, last.Char) : 1, first.Line};
    // The first marker before the indentation, so that undo puts the old
    // selection back once the indentation is gone.
    m_undoList->RecordChange(urIndent, first, last, QString(), smColumn);
    InsertColumnBlock(p, p, lines.join(kCRLF), true);
    m_undoList->RecordChange(urIndent, TBufferCoord{first.Char + unitLength, first.Line},
                             TBufferCoord{last.Char + unitLength, last.Line}, QString(), smColumn);
}

void TCustomPlainEdit::DoBlockUnindent()
{
    if (!SelAvail())
        return;
    TBufferCoord first = SelFirst();
    TBufferCoord last = SelLast();
    const TPlainSelectionMode oldMode = m_activeSelMode;
    const bool column = oldMode == smColumn;
    const int x = column ? std::min(first.Char, last.Char) : 1;
    const int endLine = last.Char == 1 ? last.Line - 1 : last.Line;
    QStringList pieces;
    bool any = false;
    int caretChar = m_caretPos.Char;
    for (int line = first.Line; line <= endLine; ++line) {
        const QString text = lineText(line);
        int n = 0;
        if (x <= text.size()) {
            if (text.at(x - 1) == kTab) {
                n = 1;
            } else {
                while (n < m_tabWidth && x + n <= text.size() && text.at(x - 1 + n) == kBlank)
                    ++n;
                if (n < m_tabWidth && x + n <= text.size() && text.at(x - 1 + n) == kTab)
                    ++n;
            }
        }
        pieces.append(text.mid(x - 1, n));
        any = any || n > 0;
        if (line == m_caretPos.Line && caretChar != 1)
            caretChar = std::max(1, caretChar - n);
    }
    const TBufferCoord caret{caretChar, m_caretPos.Line};
    Finally select([&] {
        SetCaretAndSel(caret, first, last);
        SetActiveSelMode(oldMode);
    });
    if (!any)
        return;
    {
        Compound compound(*m_undoList);
        MoveCaret(TBufferCoord{m_caretPos.Char, first.Line});
        for (int i = 0; i < pieces.size(); ++i) {
            if (pieces[i].isEmpty())
                continue;
            QString text = lineText(first.Line + i);
            text.remove(x - 1, pieces[i].size());
            m_lines->SetStrings(first.Line + i - 1, text);
        }
        m_undoList->RecordChange(urUnindent, first, last, pieces.join(kCRLF), oldMode);
    }
    if (!column) {
        first.Char = std::max(1, first.Char - int(pieces.front().size()));
        if (endLine == last.Line)
            last.Char = std::max(1, last.Char - int(pieces.back().size()));
    }
}

// ------------------------------------------------------------ case

void TCustomPlainEdit::DoCaseChange(TPlainEditorCommand command)
{
    const bool wordCommand =
        command == ecUpperCase || command == ecLowerCase || command == ecToggleCase || command == ecTitleCase;
    const bool hadSelection = SelAvail();
    const TBufferCoord oldFirst = SelFirst();
    const TBufferCoord oldLast = SelLast();
    const TBufferCoord oldCaret = m_caretPos;
    Finally restore([&] {
        if (hadSelection || wordCommand)
            MoveCaretAndCollapse(oldCaret);
    });
    if (wordCommand) {
        SetSelWord();
        for (int tries = 0; tries < 2 && !SelAvail(); ++tries) {
            MoveCaret(PrevWordPos());
            SetSelWord();
        }
    } else if (!hadSelection) {
        if (m_caretPos.Char > lineLength(m_caretPos.Line)) {
            if (m_caretPos.Line < m_lines->Count())
                MoveCaret(TBufferCoord{1, m_caretPos.Line + 1});
            return;
        }
        MoveCaretHorizontally(1, true);
    }
    // A column block converts what deleting it removes (no padding).
    QString w = m_activeSelMode == smColumn ? removedText() : SelectedText();
    if (w.isEmpty())
        return;
    switch (command) {
    case ecUpperCase:
    case ecUpperCaseBlock:
        w = plat::AnsiUpperCase(w);
        break;
    case ecLowerCase:
    case ecLowerCaseBlock:
        w = plat::AnsiLowerCase(w);
        break;
    case ecToggleCase:
    case ecToggleCaseBlock:
        w = ToggleCaseText(w);
        break;
    case ecTitleCase:
        w = plat::AnsiUpperCase(w.left(1)) + plat::AnsiLowerCase(w.mid(1));
        break;
    default:
        return;
    }
    Compound compound(*m_undoList);
    if (hadSelection)
        m_undoList->RecordChange(urSelection, oldFirst, oldLast, QString(), m_activeSelMode);
    else
        m_undoList->RecordChange(urSelection, oldCaret, oldCaret, QString(), m_activeSelMode);
    m_undoList->RecordChange(urCaret, oldCaret, oldCaret, QString(), m_activeSelMode);
    ReplaceSelection(w);
}
