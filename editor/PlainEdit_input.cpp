// The editor model: keys, the input method, the mouse, dragging text,
// dropped files, the focus, the window messages and the clipboard.

#include "PlainEdit_p.h"

#include "Exceptions.h"
#include "Services.h"

#include <QStringEncoder>

#include <algorithm>
#include <cstdlib>

using namespace pe;
using plat::TShiftState;

namespace {

constexpr int kScrollTimerInterval = 100;
constexpr int kMaxMarksPerLine = 16;

// The block of the editor's own clipboard format: the selection mode, the
// text in UTF-8 (so that nothing is lost), and a terminating zero.
QByteArray clipboardBlock(TPlainSelectionMode mode, const QString& text)
{
    // Encoded straight into the block: a large selection is not copied again.
    QStringEncoder utf8(QStringEncoder::Utf8);
    QByteArray block(utf8.requiredSpace(text.size()) + 2, Qt::Uninitialized);
    block[0] = char(mode);
    char* end = utf8.appendToBuffer(block.data() + 1, text);
    *end++ = '\0';
    block.truncate(end - block.constData());
    return block;
}

// A block from the clipboard, trusted only as far as it is well formed: a
// mode 0..2 and the text up to its zero or the end.
bool parseClipboardBlock(const QByteArray& block, TPlainSelectionMode& mode, QString& text)
{
    if (block.isEmpty() || quint8(block.at(0)) > smColumn)
        return false;
    mode = TPlainSelectionMode(quint8(block.at(0)));
    QByteArrayView bytes = QByteArrayView(block).sliced(1);
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes = bytes.first(zero);
    text = QString::fromUtf8(bytes);
    return true;
}

} // namespace

// ------------------------------------------------------------ keys

TPlainEditorCommand TCustomPlainEdit::TranslateKey(quint16 Key, TShiftState Shift)
{
    int i = m_keystrokes->LookupKeyPair(m_lastKey, m_lastShift, Key, Shift);
    if (i < 0)
        i = m_keystrokes->LookupKey(Key, Shift);
    const TPlainEditorCommand command = i >= 0 ? m_keystrokes->Items(i)->Command() : ecNone;
    if (command == ecNone && Key >= 30 && Key <= 145) {
        m_lastKey = Key;
        m_lastShift = Shift;
    } else {
        m_lastKey = 0;
        m_lastShift = TShiftState();
    }
    return command;
}

void TCustomPlainEdit::KeyDown(quint16& Key, TShiftState Shift)
{
    OnKeyDown(this, Key, Shift);
    if (Key == 0)
        return;
    m_kbdHandler->FireKeyDown(this, Key, Shift);
    if (Key == 0)
        return;
    const TPlainEditorCommand command = TranslateKey(Key, Shift);
    if (command != ecNone) {
        Key = 0;
        m_state.include(esSkipNextChar);
        CommandProcessor(command, QChar(0));
    } else {
        m_state.exclude(esSkipNextChar);
    }
}

void TCustomPlainEdit::KeyUp(quint16& Key, TShiftState Shift)
{
    OnKeyUp(this, Key, Shift);
    m_kbdHandler->FireKeyUp(this, Key, Shift);
}

void TCustomPlainEdit::KeyPress(QChar& Key)
{
    if (m_imePending > 0) {
        --m_imePending;
        return;
    }
    if (m_state.contains(esSkipNextChar)) {
        m_state.exclude(esSkipNextChar);
        return;
    }
    OnKeyPress(this, Key);
    m_kbdHandler->FireKeyPress(this, Key);
    if (Key.unicode() != 0)
        CommandProcessor(ecChar, Key);
}

void TCustomPlainEdit::ImeComposition(const QString& result, int followingChars)
{
    m_imePending = std::max(0, followingChars);
    CommandProcessor(ecImeStr, QChar(0), result);
}

// ------------------------------------------------------------ mouse

void TCustomPlainEdit::MouseDown(plat::TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TBufferCoord anchor = m_selAnchor;
    const TBufferCoord head = m_selHead;
    const bool hadSelection = SelAvail();
    if (Button == plat::mbLeft && hadSelection)
        m_pressPoint = plat::TPoint{X, Y};
    OnMouseDown(this, Button, Shift, X, Y);
    if (Button == plat::mbLeft && Shift.contains(plat::ssDouble))
        return;
    m_kbdHandler->FireMouseDown(this, Button, Shift, X, Y);
    if (Button == plat::mbRight) {
        if (!m_options.contains(eoRightMouseMovesCursor))
            return;
        if (PointInSelection(DisplayToBuffer(PixelToDisplay(X, Y))))
            return;
        InvalidateSelection();
        m_selHead = m_selAnchor;
    }
    if (Button == plat::mbLeft || Button == plat::mbRight)
        MoveCaretToPixel(X, Y);
    bool dragPossible = false;
    if (Button == plat::mbLeft) {
        m_selAnchor = anchor;
        m_selHead = head;
        if (m_view)
            m_view->SetCapture(true);
        m_state.exclude(esDragPending);
        if (hadSelection && m_options.contains(eoDragDropEditing) && X >= m_gutterExtent + 2
            && m_selectionMode == smNormal && PointInSelection(DisplayToBuffer(PixelToDisplay(X, Y)))) {
            m_state.include(esDragPending);
            dragPossible = true;
        }
    }
    if (!dragPossible && !m_state.contains(esDoubleClicked)) {
        if (Shift.contains(plat::ssShift)) {
            SetSelHead(m_caretPos);
        } else {
            if (m_options.contains(eoAltSetsColumnMode) && m_activeSelMode != smLine)
                SetSelectionMode(Shift.contains(plat::ssAlt) ? smColumn : smNormal);
            SetSelAnchor(m_caretPos);
        }
    }
    if (X < m_gutterExtent) {
        m_state.include(esGutterClickPending);
        if (Button == plat::mbRight)
            DoOnGutterClick(Button, X, Y);
    }
    if (m_view)
        m_view->SetFocus();
}

void TCustomPlainEdit::MouseMove(TShiftState Shift, int X, int Y)
{
    const bool captured = m_view && m_view->MouseCaptured();
    if (captured && m_state.contains(esDragPending)) {
        const int threshold = m_view->DragThreshold();
        if (std::abs(X - m_pressPoint.X) >= threshold || std::abs(Y - m_pressPoint.Y) >= threshold) {
            m_state.exclude(esDragPending);
            m_view->BeginDrag();
        }
        return;
    }
    if (!captured || !Shift.contains(plat::ssLeft))
        return;
    ComputeAutoScroll(X, Y);
    TDisplayPos p = PixelToDisplayRounded(X, Y);
    p.Row = std::clamp(p.Row, 1, std::max(1, RowCount()));
    if (m_autoScrollDelta.X != 0)
        p.Column = CaretDisplayColumn();
    if (m_autoScrollDelta.Y != 0)
        p.Row = CaretDisplayRow();
    MoveCaret(DisplayToBuffer(p));
    SetSelHead(m_caretPos);
    if (m_state.contains(esGutterClickPending) && m_caretPos.Line != m_selAnchor.Line)
        m_state.include(esGutterDragging);
}

void TCustomPlainEdit::ComputeAutoScroll(int X, int Y)
{
    const bool active = m_view && (m_view->MouseCaptured() || m_view->Dragging());
    m_autoScrollDelta = plat::TPoint{};
    if (active) {
        plat::TRect r(m_gutterExtent, 0, ClampToInt(m_gutterExtent + qint64(m_columnsInView) * m_cellWidth),
                      ClampToInt(qint64(m_visibleRows) * m_rowHeight));
        if (m_borderStyle == bsNone)
            r = plat::TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
        if (X < r.Left)
            m_autoScrollDelta.X = (X - r.Left) / m_cellWidth - 1;
        else if (X >= r.Right)
            m_autoScrollDelta.X = (X - r.Right) / m_cellWidth + 1;
        if (Y < r.Top)
            m_autoScrollDelta.Y = (Y - r.Top) / m_rowHeight - 1;
        else if (Y >= r.Bottom)
            m_autoScrollDelta.Y = (Y - r.Bottom) / m_rowHeight + 1;
    }
    if (m_view)
        m_view->SetScrollTimer(m_autoScrollDelta.X != 0 || m_autoScrollDelta.Y != 0, kScrollTimerInterval);
}

void TCustomPlainEdit::ScrollTimerTick()
{
    if (!m_view)
        return;
    const plat::TPoint cursor = m_view->CursorPos();
    TDisplayPos p = PixelToDisplay(cursor.X, cursor.Y);
    p.Row = std::clamp(p.Row, 1, std::max(1, RowCount()));
    if (m_autoScrollDelta.X != 0) {
        SetLeftColumn(addClamped(m_leftColumn, m_autoScrollDelta.X));
        p.Column = m_leftColumn;
        if (m_autoScrollDelta.X > 0)
            p.Column = addClamped(p.Column, m_columnsInView);
    }
    if (m_autoScrollDelta.Y != 0) {
        const qint64 step = m_view->KeyboardState().contains(plat::ssShift)
                                ? qint64(m_autoScrollDelta.Y) * m_visibleRows
                                : m_autoScrollDelta.Y;
        SetTopRow(addClamped(m_topRow, step));
        p.Row = m_topRow;
        if (m_autoScrollDelta.Y > 0)
            p.Row = addClamped(p.Row, qint64(m_visibleRows) - 1);
        p.Row = std::clamp(p.Row, 1, std::max(1, RowCount()));
    }
    const TBufferCoord target = DisplayToBuffer(p);
    if (target != m_caretPos) {
        UpdateLock lock(*this);
        MoveCaret(target);
        if (m_view->MouseCaptured())
            SetSelHead(m_caretPos);
    }
    ComputeAutoScroll(cursor.X, cursor.Y);
}

void TCustomPlainEdit::MouseUp(plat::TMouseButton Button, TShiftState Shift, int X, int Y)
{
    OnMouseUp(this, Button, Shift, X, Y);
    m_kbdHandler->FireMouseUp(this, Button, Shift, X, Y);
    if (m_view)
        m_view->SetScrollTimer(false, kScrollTimerInterval);
    m_autoScrollDelta = plat::TPoint{};
    const TShiftState buttons = Shift * TShiftState{plat::ssLeft, plat::ssRight, plat::ssMiddle};
    if (Button == plat::mbRight && PopupMenuAssigned && (buttons.empty() || buttons == TShiftState{plat::ssRight}))
        return;
    if (m_view)
        m_view->SetCapture(false);
    if (m_state.contains(esGutterClickPending) && X < m_gutterExtent && Button != plat::mbRight) {
        DoOnGutterClick(Button, X, Y);
    } else if (m_state.contains(esDragPending) && !m_state.contains(esDoubleClicked)) {
        MoveCaretToPixel(X, Y);
        if (!Shift.contains(plat::ssShift))
            SetSelAnchor(m_caretPos);
        SetSelHead(m_caretPos);
        m_state.exclude(esDragPending);
    }
    m_state.exclude(esDoubleClicked);
    m_state.exclude(esGutterClickPending);
    m_state.exclude(esGutterDragging);
}

void TCustomPlainEdit::DblClick()
{
    const plat::TPoint cursor = m_view ? m_view->CursorPos() : plat::TPoint{};
    if (cursor.X < m_gutterExtent + 2) {
        OnDblClick(this);
        return;
    }
    if (!m_options.contains(eoNoSelection))
        SetSelWord();
    OnDblClick(this);
    m_state.include(esDoubleClicked);
    if (m_view)
        m_view->SetCapture(false);
}

void TCustomPlainEdit::DoOnGutterClick(plat::TMouseButton Button, int X, int Y)
{
    if (!OnGutterClick)
        return;
    const int line = PixelToDisplay(X, Y).Row;
    if (line > m_lines->Count())
        return;
    std::vector<TPlainEditMark*> marks = m_markList->GetMarksForLine(line);
    if (marks.size() > size_t(kMaxMarksPerLine))
        marks.resize(size_t(kMaxMarksPerLine));
    TPlainEditMark* clicked = nullptr;
    int offset = 0;
    for (TPlainEditMark* mark : marks) {
        offset += m_bookMarkOptions->Xoffset();
        if (X < offset) {
            clicked = mark;
            break;
        }
    }
    OnGutterClick(this, Button, X, Y, line, clicked);
}

plat::TCursor TCustomPlainEdit::UpdateMouseCursor(int X, int Y)
{
    const TBufferCoord pos = DisplayToBuffer(PixelToDisplay(X, Y));
    plat::TCursor cursor = m_cursor;
    if (X < m_gutterExtent)
        cursor = m_gutter->Cursor();
    else if (m_options.contains(eoDragDropEditing) && !(m_view && m_view->MouseCaptured()) && PointInSelection(pos))
        cursor = plat::crArrow;
    OnMouseCursor(this, pos, cursor);
    m_kbdHandler->FireMouseCursor(this, pos, cursor);
    if (m_view)
        m_view->SetCursor(cursor);
    return cursor;
}

// ------------------------------------------------------------ drag and drop

bool TCustomPlainEdit::DragOver(TCustomPlainEdit* Source, int X, int Y, TPlainDragState State, TShiftState Shift,
                                plat::TCursor& DragCursor)
{
    if (!Source || ReadOnly())
        return false;
    DragCursor = Shift.contains(plat::ssCtrl) ? plat::crMultiDrag : plat::crDrag;
    if (Source != this) {
        MoveCaretToPixel(X, Y);
        return true;
    }
    if (State == dsDragLeave) {
        MoveCaretToPixel(m_pressPoint.X, m_pressPoint.Y);
        return true;
    }
    TDisplayPos p = PixelToDisplayRounded(X, Y);
    p.Column = std::clamp(p.Column, m_leftColumn, std::max(m_leftColumn, m_leftColumn + m_columnsInView - 1));
    p.Row = std::clamp(p.Row, m_topRow, std::max(m_topRow, m_topRow + m_visibleRows - 1));
    MoveCaret(DisplayToBuffer(p));
    ComputeAutoScroll(X, Y);
    return true;
}

void TCustomPlainEdit::DragCanceled()
{
    if (m_view)
        m_view->SetScrollTimer(false, kScrollTimerInterval);
    m_autoScrollDelta = plat::TPoint{};
}

void TCustomPlainEdit::DragDrop(TCustomPlainEdit* Source, int X, int Y, TShiftState Shift)
{
    // Only a normal selection can be dragged (a press starts a drag only in
    // normal mode); the text goes in as normal text.
    if (ReadOnly() || !Source || !Source->SelAvail() || Source->ActiveSelMode() != smNormal)
        return;
    UpdateLock lock(*this);
    MoveCaretToPixel(X, Y);
    TBufferCoord drop = m_caretPos;
    const bool same = Source == this;
    const bool copy = Shift.contains(plat::ssCtrl);
    const bool move = same ? !copy : Shift.contains(plat::ssShift);
    const TBufferCoord first = Source->SelFirst();
    const TBufferCoord last = Source->SelLast();
    const bool after = drop > last || (copy && drop == last);
    if (same && !after && !(drop < first || (copy && drop == first)))
        return;
    Compound compound(*m_undoList);
    const QString text = Source->SelectedText();
    if (same && move) {
        ReplaceSelection(QString());
        if (after) {
            // The removed text shifted what followed it on its last line.
            if (drop.Line == last.Line)
                drop.Char -= last.Char - first.Char;
            drop.Line -= last.Line - first.Line;
        }
    } else if (move) {
        Source->ReplaceSelection(QString());
    }
    HoldOption past(m_options, eoScrollPastEol, true);
    MoveCaret(drop);
    drop = m_caretPos;
    SetSelAnchor(drop);
    if (drop.Char - 1 > lineLength(drop.Line) && drop.Line <= m_lines->Count())
        padLine(drop.Line, drop.Char - 1, true);
    SetActiveSelMode(smNormal);
    LockUndoLists();
    {
        Finally unlock([this] { UnlockUndoLists(); });
        ReplaceSelectionRaw(smNormal, text, false);
    }
    m_undoList->RecordChange(same ? urDragDropInsert : urInsert, drop, SelLast(), SelectedText(), smNormal);
    SetSelHead(m_caretPos);
    CommandProcessor(ecSelGotoXY, QChar(0), drop);
}

void TCustomPlainEdit::DropFiles(const QStringList& Files, int X, int Y) { OnDropFiles(this, X, Y, Files); }

// ------------------------------------------------------------ focus

void TCustomPlainEdit::FocusEnter()
{
    CommandProcessor(ecFocusEnter, QChar(0));
    CreateCaretShape();
    if (m_hideSelection && SelAvail())
        InvalidateSelection();
}

void TCustomPlainEdit::FocusExit()
{
    CommandProcessor(ecFocusExit, QChar(0));
    if (!(m_view && m_view->Focused())) {
        HideEditorCaret();
        if (m_view)
            m_view->DestroyCaret();
        m_state.exclude(esCaretShown);
    }
    if (m_hideSelection && SelAvail())
        InvalidateSelection();
}

// ------------------------------------------------------------ window messages

int TCustomPlainEdit::DlgCode() const
{
    int code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (m_wantTabs)
        code |= DLGC_WANTTAB;
    if (m_wantReturns)
        code |= DLGC_WANTALLKEYS;
    return code;
}

QString TCustomPlainEdit::WmGetText(int bufferSize) const
{
    if (bufferSize <= 0)
        return {};
    return Text().left(bufferSize - 1);
}

int TCustomPlainEdit::WmGetTextLength() const { return int(Text().size()); }

bool TCustomPlainEdit::WmSetText(const QString& text)
{
    SetText(text);
    return true;
}

void TCustomPlainEdit::WmCut()
{
    if (!ReadOnly())
        CutToClipboard();
}

void TCustomPlainEdit::WmCopy() { CopyToClipboard(); }

void TCustomPlainEdit::WmPaste()
{
    if (!ReadOnly())
        PasteFromClipboard();
}

void TCustomPlainEdit::WmClear()
{
    if (!ReadOnly())
        ReplaceSelection(QString());
}

void TCustomPlainEdit::WmUndo() { Undo(); }

void TCustomPlainEdit::WmCaptureChanged() { DragCanceled(); }

// ------------------------------------------------------------ clipboard

void TCustomPlainEdit::publishText(const QString& text)
{
    if (text.isEmpty())
        return;
    try {
        plat::Services().SetClipboardData(kPlainEditClipboardFormat, clipboardBlock(m_activeSelMode, text), text);
    } catch (const plat::Exception&) {
        throw plat::EPlainEditError(QStringLiteral("Clipboard copy operation failed"));
    }
}

void TCustomPlainEdit::CopyToClipboard()
{
    if (!SelAvail())
        return;
    QString text;
    if (m_activeSelMode == smColumn && m_options.contains(eoTrimTrailingSpaces)) {
        HoldOption untrimmed(m_options, eoTrimTrailingSpaces, false);
        text = SelectedText();
    } else {
        text = SelectedText();
    }
    publishText(text);
}

void TCustomPlainEdit::CutToClipboard()
{
    if (ReadOnly() || !SelAvail())
        return;
    Compound compound(*m_undoList);
    publishText(SelectedText());
    ReplaceSelection(QString());
}

bool TCustomPlainEdit::CanPaste() const
{
    if (ReadOnly() || !plat::HasServices())
        return false;
    return plat::Services().ClipboardHasFormat(kPlainEditClipboardFormat) || !plat::Services().ClipboardText().isEmpty();
}

void TCustomPlainEdit::PasteFromClipboard()
{
    if (!CanPaste())
        return;
    DoOnPaintTransient(ttBefore);
    Finally after([this] { DoOnPaintTransient(ttAfter); });
    {
        Compound compound(*m_undoList);
        bool begun = false;
        Finally end([this, &begun] {
            if (begun)
                m_undoList->RecordChange(urPasteEnd, SelFirst(), SelLast(), QString(), smNormal);
        });
        TPlainSelectionMode mode = smNormal;
        QString text;
        const bool own = plat::Services().ClipboardHasFormat(kPlainEditClipboardFormat)
                         && parseClipboardBlock(plat::Services().ClipboardData(kPlainEditClipboardFormat), mode, text);
        if (!own)
            text = plat::Services().ClipboardText();
        if (text.isEmpty())
            return;
        m_undoList->RecordChange(urPasteBegin, SelFirst(), SelLast(), QString(), smNormal);
        begun = true;
        const bool hadSelection = SelAvail();
        if (hadSelection) {
            m_undoList->RecordChange(urDelete, m_selAnchor, m_selHead, removedText(), m_activeSelMode);
        } else if (!own) {
            SetActiveSelMode(m_selectionMode);
        }
        const TBufferCoord start = orderForReplacement(own ? mode : m_activeSelMode);
        if (own) {
            ReplaceSelectionRaw(mode, text, true);
            const TBufferCoord endPos = SelLast();
            if (mode == smNormal) {
                m_undoList->RecordChange(urPaste, start, endPos, QString(), smNormal);
            } else if (mode == smLine) {
                if (m_caretPos.Char == 1)
                    m_undoList->RecordChange(urPaste, TBufferCoord{1, start.Line},
                                             TBufferCoord{std::max(2, m_columnsInView), endPos.Line - 1}, QString(),
                                             smLine);
                else
                    m_undoList->RecordChange(urPaste, TBufferCoord{1, start.Line}, endPos, QString(), smNormal);
            }
        } else {
            const TPlainSelectionMode active = m_activeSelMode;
            ReplaceSelectionActive(text);
            if (active != smColumn)
                m_undoList->RecordChange(urPaste, start, SelLast(), QString(), smNormal);
        }
    }
    if (m_options.contains(eoHideShowScrollbars)) {
        const int depth = m_paintLockDepth;
        m_paintLockDepth = 0;
        Finally relock([this, depth] { m_paintLockDepth = depth; });
        UpdateScrollBars();
    }
    EnsureCaretVisible();
    StatusChanged({scSelection});
}
