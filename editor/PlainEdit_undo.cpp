// The editor model: undo and redo replay.
//
// One step undoes the records of one change number, a run of like records
// with eoGroupUndo, or a bracketed pair. Replaying an insertion also notes
// where the text it puts back ends, so that redoing replaces exactly that
// text (an overwrite is redone as an overwrite).

#include "PlainEdit_p.h"

#include <algorithm>

using namespace pe;

namespace {

bool isEndMarker(TPlainUndoReason r)
{
    return r == urBracket1End || r == urPasteEnd || r == urBracket2End || r == urBracket3End;
}

bool isBeginMarker(TPlainUndoReason r)
{
    return r == urBracket1Begin || r == urPasteBegin || r == urBracket2Begin || r == urBracket3Begin;
}

// The other marker of a pair (10/11, 12/13, 14/15, 16/17).
TPlainUndoReason partnerOf(TPlainUndoReason r) { return TPlainUndoReason(isEndMarker(r) ? r - 1 : r + 1); }


} // namespace

bool TCustomPlainEdit::UndoAvailable() const { return !ReadOnly() && m_undoList->CanUndo(); }

void TCustomPlainEdit::moveGroupBreak(TPlainEditUndoList& from, TPlainEditUndoList& to)
{
    const std::unique_ptr<TPlainEditUndoItem> item = from.PopChange();
    const qint32 saved = to.CompoundNumber();
    Finally restore([&to, saved] { to.SetCompoundNumber(saved); });
    to.SetCompoundNumber(item->ChangeNumber);
    to.AddGroupBreak();
}

// Replays the records of one step from one list, whose replay moves them to
// the other: the newest record's change number, a run of like records with
// eoGroupUndo (not indents), or a bracketed pair up to its other marker.
// Takes the newest record from the list and replays it. The record's mode
// governs the selection ends it sets, whatever mode the user has chosen
// since; painting waits, the caret may stand past line ends and no scroll
// width limits it while the record is replayed.
void TCustomPlainEdit::replayItem(TPlainEditUndoList& from, ReplayFn replay)
{
    const std::unique_ptr<TPlainEditUndoItem> item = from.PopChange();
    if (!item)
        return;
    const TPlainSelectionMode chosen = m_selectionMode;
    m_selectionMode = item->SelectionMode;
    Finally keepChoice([this, chosen] { m_selectionMode = chosen; });
    SetActiveSelMode(item->SelectionMode);
    UpdateLock lock(*this);
    HoldOption past(m_options, eoScrollPastEol, true);
    const bool replaying = m_replaying;
    m_replaying = true;
    Finally replayed([this, replaying] { m_replaying = replaying; });
    (this->*replay)(*item);
}

void TCustomPlainEdit::replayStep(TPlainEditUndoList& from, TPlainEditUndoList& to, ReplayFn replay, bool pair,
                                  TPlainUndoReason pairEnd)
{
    const qint32 number = from.PeekChange()->ChangeNumber;
    const qint32 saved = to.CompoundNumber();
    Finally restore([&to, saved] { to.SetCompoundNumber(saved); });
    while (from.CanUndo()) {
        // Set again for every record: a replayed command opens a compound of its own.
        to.SetCompoundNumber(number);
        const TPlainUndoReason done = from.PeekChange()->Reason;
        replayItem(from, replay);
        const TPlainEditUndoItem* next = from.PeekChange();
        if (!next)
            break;
        if (pair) {
            if (next->Reason == pairEnd)
                break;
            continue;
        }
        const bool sameStep = next->ChangeNumber == number
                              || (m_options.contains(eoGroupUndo) && next->Reason == done && done != urIndent
                                  && done != urUnindent);
        if (!sameStep)
            break;
    }
    if (pair && from.LastReason() == pairEnd)
        replayItem(from, replay);
}

void TCustomPlainEdit::Undo()
{
    if (ReadOnly())
        return;
    if (m_undoList->LastReason() == urGroupBreak)
        moveGroupBreak(*m_undoList, *m_redoList);
    if (!m_undoList->CanUndo())
        return;
    const bool pair = isEndMarker(m_undoList->LastReason());
    // The markers of a pair are dropped; group breaks keep its records from
    // merging with like neighbours when they are redone and undone again.
    if (pair && m_redoList->CanUndo())
        m_redoList->AddGroupBreak();
    replayStep(*m_undoList, *m_redoList, &TCustomPlainEdit::undoItem, pair, partnerOf(m_undoList->LastReason()));
    if (pair) {
        if (m_undoList->CanUndo())
            m_undoList->AddGroupBreak();
        SetModified(!m_undoList->CleanPoint());
    }
}

void TCustomPlainEdit::Redo()
{
    if (ReadOnly() || !m_redoList->CanUndo())
        return;
    const bool pair = isBeginMarker(m_redoList->LastReason());
    replayStep(*m_redoList, *m_undoList, &TCustomPlainEdit::redoItem, pair, partnerOf(m_redoList->LastReason()));
    if (pair)
        SetModified(!m_undoList->CleanPoint());
    if (m_redoList->LastReason() == urGroupBreak) {
        moveGroupBreak(*m_redoList, *m_undoList);
        SetModified(!m_undoList->CleanPoint());
    }
}

void TCustomPlainEdit::undoItem(const TPlainEditUndoItem& item)
{
    const TPlainUndoReason reason = item.Reason;
    const TBufferCoord start = item.StartPos;
    const TBufferCoord end = item.EndPos;
    const TPlainSelectionMode mode = item.SelectionMode;
    const QString& text = item.ChangeText;
    switch (reason) {
    case urInsert:
    case urPaste:
    case urDragDropInsert: {
        SetCaretAndSel(start, start, end);
        const QString inserted = removedText();
        ReplaceSelectionRaw(mode, text, false);
        // Where the text put back ends: a redo replaces it again.
        const TBufferCoord restored = text.isEmpty() ? start : m_caretPos;
        m_redoList->RecordChange(reason, start, restored, inserted, mode);
        MoveCaret(start);
        break;
    }
    case urDelete:
    case urSilentDelete:
    case urDeleteAfterCursor:
    case urSilentDeleteAfterCursor:
    case urDeleteAll: {
        TBufferCoord p = EarlierCoord(start, end);
        if (mode == smColumn)
            p = TBufferCoord{std::min(start.Char, end.Char), std::min(start.Line, end.Line)};
        const bool afterCursor = reason == urDeleteAfterCursor || reason == urSilentDeleteAfterCursor;
        if (afterCursor && p.Line > m_lines->Count() && m_lines->Count() > 0) {
            MoveCaret(TBufferCoord{1, m_lines->Count()});
            m_lines->Add(QString());
        }
        MoveCaretAndCollapse(p);
        replaceSelectionAt(mode, text, false, p.Char);
        const TBufferCoord target = afterCursor ? start : end;
        if (reason == urSilentDelete || reason == urSilentDeleteAfterCursor)
            MoveCaret(target);
        else
            SetCaretAndSel(target, start, end);
        m_redoList->RecordChange(reason, start, end, QString(), mode);
        if (reason == urDeleteAll) {
            MoveCaret(TBufferCoord{1, 1});
            m_selHead = TBufferCoord{1, 1};
        }
        EnsureCaretVisible();
        break;
    }
    case urLineBreak: {
        MoveCaret(start);
        m_redoList->RecordChange(reason, start, end, QString(), mode);
        const int line = m_caretPos.Line;
        QString s = lineText(line);
        // Blanks that storing the broken line trimmed come back before the
        // text it lost; a break made beyond the line's end took none.
        if (!text.isEmpty() && s.size() < m_caretPos.Char - 1 && LeadingBlankCount(text, false) == 0)
            s += QString(m_caretPos.Char - 1 - s.size(), kBlank);
        StoreLine(line - 1, s + text);
        if (end.Line < m_lines->Count())
            m_lines->Delete(end.Line);
        AdjustMarksForDeletion(line + 1, 1);
        break;
    }
    case urIndent:
        m_redoList->RecordChange(reason, start, end, text, mode);
        SetCaretAndSel(end, start, end);
        break;
    case urUnindent: {
        m_redoList->RecordChange(reason, start, end, text, mode);
        const int x = mode == smColumn ? std::min(start.Char, end.Char) : 1;
        InsertColumnBlock(TBufferCoord{x, start.Line}, TBufferCoord{x, end.Line}, text, false);
        SetCaretAndSel(start, start, end);
        break;
    }
    case urCaret:
        m_redoList->RecordChange(reason, m_caretPos, m_caretPos, QString(), m_activeSelMode);
        MoveCaret(start);
        break;
    case urSelection:
        m_redoList->RecordChange(reason, SelFirst(), SelLast(), QString(), m_activeSelMode);
        SetCaretAndSel(m_caretPos, start, end);
        break;
    case urWhiteSpaceAdd: {
        SetCaretAndSel(start, start, end);
        const QString blanks = SelectedText();
        m_redoList->RecordChange(reason, start, end, blanks, mode);
        ReplaceSelectionRaw(mode, text, true);
        MoveCaret(start);
        break;
    }
    default:
        break;
    }
}

void TCustomPlainEdit::redoItem(const TPlainEditUndoItem& item)
{
    m_undoList->SetInsideRedo(true);
    Finally outside([this] { m_undoList->SetInsideRedo(false); });
    const TPlainUndoReason reason = item.Reason;
    const TBufferCoord start = item.StartPos;
    const TBufferCoord end = item.EndPos;
    const TPlainSelectionMode mode = item.SelectionMode;
    const QString& text = item.ChangeText;
    switch (reason) {
    case urInsert:
    case urPaste:
    case urDragDropInsert: {
        // end marks the text the undo put back, which the insertion replaces.
        SetCaretAndSel(start, start, end);
        const QString replaced = SelAvail() ? removedText() : QString();
        ReplaceSelectionRaw(mode, text, false);
        const TBufferCoord after = m_caretPos;
        m_undoList->RecordChange(reason, start, after, replaced, mode);
        MoveCaret(after);
        if (reason == urDragDropInsert)
            SetCaretAndSel(start, start, after);
        break;
    }
    case urDelete:
    case urSilentDelete:
    case urDeleteAfterCursor:
    case urSilentDeleteAfterCursor: {
        SetCaretAndSel(start, start, end);
        m_undoList->RecordChange(reason, start, end, removedText(), mode);
        ReplaceSelectionRaw(mode, text, false);
        MoveCaret(EarlierCoord(start, end));
        break;
    }
    case urLineBreak:
        SetCaretAndSel(start, start, start);
        // A break of ecInsertLine is recorded with the end's character 0.
        CommandProcessor(end.Char == 0 ? ecInsertLine : ecLineBreak, QLatin1Char('\r'));
        break;
    case urIndent:
        m_undoList->RecordChange(reason, start, end, text, mode);
        SetCaretAndSel(end, start, end);
        break;
    case urUnindent: {
        m_undoList->RecordChange(reason, start, end, text, mode);
        MoveCaret(TBufferCoord{m_caretPos.Char, start.Line});
        const int x = mode == smColumn ? std::min(start.Char, end.Char) : 1;
        const QStringList pieces = splitPieces(text);
        int line = start.Line;
        for (const QString& piece : pieces) {
            if (!piece.isEmpty() && line <= m_lines->Count()) {
                QString s = lineText(line);
                s.remove(x - 1, piece.size());
                m_lines->SetStrings(line - 1, s);
            }
            ++line;
        }
        if (mode == smColumn) {
            SetCaretAndSel(start, start, end);
        } else {
            const TBufferCoord p{start.Char - m_tabWidth, start.Line};
            SetCaretAndSel(p, p, TBufferCoord{end.Char - int(pieces.back().size()), end.Line});
        }
        break;
    }
    case urCaret:
        m_undoList->RecordChange(reason, m_caretPos, m_caretPos, QString(), m_activeSelMode);
        MoveCaret(start);
        break;
    case urSelection:
        m_undoList->RecordChange(reason, SelFirst(), SelLast(), QString(), m_activeSelMode);
        SetCaretAndSel(m_caretPos, start, end);
        break;
    case urWhiteSpaceAdd:
        m_undoList->RecordChange(reason, start, end, QString(), mode);
        SetCaretAndSel(end, end, end);
        ReplaceSelectionRaw(mode, text, true);
        MoveCaret(start);
        break;
    default:
        break;
    }
}
