// The editor model: line marks and bookmarks, the memo's edit-control
// messages, and the key map streamed as differences from the defaults.

#include "PlainEdit_p.h"

#include "Handles.h"
#include "PropStream.h"
#include "Streams.h"

#include <algorithm>

using namespace pe;

namespace {
constexpr int kBookmarkCount = 10;
constexpr int kMarkSlotsPerLine = 16;
} // namespace

// ------------------------------------------------------------ marks

TPlainEditMark::TPlainEditMark(TCustomPlainEdit* AOwner) : m_ownerHandle(AOwner ? plat::ObjectToHandle(AOwner) : 0) {}

TPlainEditMark::~TPlainEditMark() = default;

TCustomPlainEdit* TPlainEditMark::GetOwnerEdit() const
{
    if (m_ownerHandle == 0 || !plat::IsLiveObjectHandle(m_ownerHandle)) {
        m_ownerHandle = 0;
        return nullptr;
    }
    auto* owner = dynamic_cast<TCustomPlainEdit*>(plat::HandleToObject(m_ownerHandle));
    if (!owner || !owner->MarkList()->Contains(this)) {
        m_ownerHandle = 0;
        return nullptr;
    }
    return owner;
}

void TPlainEditMark::repaintLine() const
{
    if (!m_visible)
        return;
    if (TCustomPlainEdit* owner = GetOwnerEdit())
        owner->InvalidateGutterLines(m_line, m_line);
}

void TPlainEditMark::SetMarkLine(int Value)
{
    if (m_visible) {
        if (TCustomPlainEdit* owner = GetOwnerEdit()) {
            if (m_line > 0)
                owner->InvalidateGutterLines(m_line, m_line);
            owner->InvalidateGutterLines(Value, Value);
        }
    }
    m_line = Value;
}

void TPlainEditMark::SetImageIndex(int Value)
{
    m_imageIndex = Value;
    repaintLine();
}

void TPlainEditMark::SetUseInternalImage(bool Value)
{
    m_internalImage = Value;
    repaintLine();
}

void TPlainEditMark::SetVisible(bool Value)
{
    if (m_visible == Value)
        return;
    m_visible = Value;
    if (TCustomPlainEdit* owner = GetOwnerEdit())
        owner->InvalidateGutterLines(m_line, m_line);
}

TPlainEditMarkList::~TPlainEditMarkList()
{
    OnChange = nullptr;
    Clear();
}

bool TPlainEditMarkList::Contains(const TPlainEditMark* Mark) const
{
    return std::find(m_items.begin(), m_items.end(), Mark) != m_items.end();
}

void TPlainEditMarkList::Add(TPlainEditMark* Mark)
{
    m_items.push_back(Mark);
    if (OnChange)
        OnChange();
}

void TPlainEditMarkList::Remove(TPlainEditMark* Mark)
{
    const auto it = std::find(m_items.begin(), m_items.end(), Mark);
    if (it == m_items.end())
        return;
    m_items.erase(it);
    if (OnChange)
        OnChange();
}

void TPlainEditMarkList::Delete(int Index)
{
    TPlainEditMark* mark = m_items[size_t(Index)];
    m_items.erase(m_items.begin() + Index);
    delete mark;
    if (OnChange)
        OnChange();
}

void TPlainEditMarkList::Clear()
{
    while (!m_items.empty())
        Delete(Count() - 1);
}

std::vector<TPlainEditMark*> TPlainEditMarkList::GetMarksForLine(int Line) const
{
    std::vector<TPlainEditMark*> marks;
    for (TPlainEditMark* mark : m_items) {
        if (mark->MarkLine() == Line) {
            marks.push_back(mark);
            if (int(marks.size()) == kMarkSlotsPerLine)
                break;
        }
    }
    return marks;
}

// ------------------------------------------------------------ bookmarks

TPlainEditMark* TCustomPlainEdit::Bookmarks(int Index) const
{
    return Index >= 0 && Index < kBookmarkCount ? m_bookmarks[size_t(Index)] : nullptr;
}

void TCustomPlainEdit::DoOnPlaceBookmark(TPlainEditMark*& Mark) { OnPlaceBookmark(this, Mark); }

void TCustomPlainEdit::DoOnClearBookmark(TPlainEditMark*& Mark) { OnClearBookmark(this, Mark); }

void TCustomPlainEdit::SetBookMark(int BookMark, int X, int Y)
{
    if (BookMark < 0 || BookMark >= kBookmarkCount || Y < 1 || Y > std::max(1, m_lines->Count()))
        return;
    auto* mark = new TPlainEditMark(this);
    mark->SetMarkLine(Y);
    mark->SetMarkChar(X);
    mark->SetImageIndex(BookMark);
    mark->SetBookmarkNumber(BookMark);
    mark->SetVisible(true);
    mark->SetUseInternalImage(m_bookMarkOptions->BookmarkImages() == nullptr);
    TPlainEditMark* placed = mark;
    try {
        DoOnPlaceBookmark(placed);
    } catch (...) {
        if (placed == mark)
            delete mark;
        throw;
    }
    if (!placed) {
        // The handler cancelled: the mark is its own now.
        return;
    }
    if (m_bookmarks[size_t(BookMark)])
        ClearBookMark(BookMark);
    m_bookmarks[size_t(BookMark)] = placed;
    m_markList->Add(placed);
}

void TCustomPlainEdit::ClearBookMark(int BookMark)
{
    if (BookMark < 0 || BookMark >= kBookmarkCount || !m_bookmarks[size_t(BookMark)])
        return;
    TPlainEditMark* mark = m_bookmarks[size_t(BookMark)];
    DoOnClearBookmark(mark);
    TPlainEditMark* stored = m_bookmarks[size_t(BookMark)];
    m_bookmarks[size_t(BookMark)] = nullptr;
    if (m_markList->Contains(stored)) {
        m_markList->Remove(stored);
        delete stored;
    }
}

void TCustomPlainEdit::GotoBookMark(int BookMark)
{
    TPlainEditMark* mark = Bookmarks(BookMark);
    if (!mark || mark->MarkLine() > m_lines->Count())
        return;
    PlaceCaret(TBufferCoord{mark->MarkChar(), mark->MarkLine()}, false);
    EnsureCaretVisibleEx(true);
    if (SelAvail())
        InvalidateSelection();
    m_selAnchor = m_selHead = m_caretPos;
}

bool TCustomPlainEdit::GetBookMark(int BookMark, int& X, int& Y) const
{
    const TPlainEditMark* mark = Bookmarks(BookMark);
    if (!mark)
        return false;
    X = mark->MarkChar();
    Y = mark->MarkLine();
    return true;
}

// ------------------------------------------------------------ memo messages

int TCustomPlainEdit::EmGetSel(int* start, int* end) const
{
    const int s = SelStartIndex();
    const int e = SelEndIndex();
    if (start)
        *start = s;
    if (end)
        *end = e;
    return int(quint32(e) * 65536u + (quint32(s) & 65535u));
}

void TCustomPlainEdit::EmSetSel(int start, int end)
{
    SetSelStartIndex(start);
    SetSelEndIndex(end);
}

QString TCustomPlainEdit::EmGetLine(int line, int bufferSize) const
{
    if (line < 0 || line >= m_lines->Count() || bufferSize <= 0)
        return {};
    return m_lines->Line(line).left(bufferSize);
}

void TCustomPlainEdit::EmReplaceSel(bool canUndo, const QString& text)
{
    if (ReadOnly())
        return;
    DoOnPaintTransient(ttBefore);
    Finally after([this] { DoOnPaintTransient(ttAfter); });
    {
        Compound compound(*m_undoList);
        // The records carry the mode in which the selection is deleted and
        // the text inserted.
        if (SelAvail() && canUndo)
            m_undoList->RecordChange(urDelete, m_selAnchor, m_selHead, removedText(), m_activeSelMode);
        const TBufferCoord start = orderForReplacement(m_activeSelMode);
        if (!canUndo)
            LockUndoLists();
        Finally unlock([this, canUndo] {
            if (!canUndo)
                UnlockUndoLists();
        });
        ReplaceSelectionActive(text);
        if (canUndo && !text.isEmpty() && m_activeSelMode != smColumn)
            m_undoList->RecordChange(urPaste, start, SelLast(), QString(), smNormal);
    }
    EnsureCaretVisible();
    StatusChanged({scSelection});
}

int TCustomPlainEdit::EmCanUndo() const { return !ReadOnly() && m_undoList->CanUndo() ? 1 : 0; }

int TCustomPlainEdit::EmUndo()
{
    const int result = EmCanUndo();
    Undo();
    return result;
}

int TCustomPlainEdit::EmCharFromPos(int x, int y) const
{
    TBufferCoord pos = DisplayToBuffer(PixelToDisplay(x, y));
    if (pos.Line <= m_lines->Count())
        pos.Char = std::min(pos.Char, lineLength(pos.Line) + 1);
    else
        pos.Char = 1;
    return int(quint32(pos.Line - 1) * 65536u + (quint32(pos.Char - 1) & 0xFFFFu));
}

// ------------------------------------------------------------ key-map streaming

std::unique_ptr<TPlainEditKeyStrokes> TCustomPlainEdit::baseKeystrokes(plat::TFiler& Filer) const
{
    auto base = std::make_unique<TPlainEditKeyStrokes>();
    if (auto* ancestor = dynamic_cast<TCustomPlainEdit*>(Filer.Ancestor()))
        base->Assign(ancestor->Keystrokes());
    else
        base->ResetDefaults();
    return base;
}

namespace {

QByteArray streamedForm(TPlainEditKeyStrokes& strokes)
{
    plat::TMemoryStream stream;
    plat::TWriter writer(stream);
    writer.WriteCollection(&strokes);
    return stream.bytes();
}

// Whether a key map has a binding with the same pair of short-cuts and command.
bool hasBinding(const TPlainEditKeyStrokes& strokes, const TPlainEditKeyStroke& binding)
{
    for (int i = 0; i < strokes.Count(); ++i) {
        const TPlainEditKeyStroke* s = strokes.Items(i);
        if (s->ShortCut() == binding.ShortCut() && s->ShortCut2() == binding.ShortCut2()
            && s->Command() == binding.Command())
            return true;
    }
    return false;
}

} // namespace

bool TCustomPlainEdit::keystrokesDiffer(plat::TFiler& Filer) const
{
    const std::unique_ptr<TPlainEditKeyStrokes> base = baseKeystrokes(Filer);
    return streamedForm(*base) != streamedForm(*m_keystrokes);
}

void TCustomPlainEdit::writeKeystrokes(plat::TWriter& Writer, bool removed)
{
    const std::unique_ptr<TPlainEditKeyStrokes> base = baseKeystrokes(Writer);
    TPlainEditKeyStrokes result;
    if (removed) {
        for (int i = 0; i < base->Count(); ++i) {
            if (!hasBinding(*m_keystrokes, *base->Items(i)))
                result.Add()->Assign(base->Items(i));
        }
    } else {
        for (int i = 0; i < m_keystrokes->Count(); ++i) {
            if (!hasBinding(*base, *m_keystrokes->Items(i)))
                result.Add()->Assign(m_keystrokes->Items(i));
        }
    }
    Writer.WriteCollection(&result);
}

void TCustomPlainEdit::readKeystrokes(plat::TReader& Reader, bool removed)
{
    if (Reader.NextValue() != plat::vaCollection) {
        Reader.SkipValue();
        return;
    }
    TPlainEditKeyStrokes stored;
    Reader.ReadCollection(&stored);
    for (int i = 0; i < stored.Count(); ++i) {
        const TPlainEditKeyStroke* binding = stored.Items(i);
        if (removed) {
            const int found = m_keystrokes->LookupShortCutPair(binding->ShortCut(), binding->ShortCut2());
            if (found >= 0 && m_keystrokes->Items(found)->Command() == binding->Command())
                m_keystrokes->Delete(found);
        } else {
            m_keystrokes->Add()->Assign(const_cast<TPlainEditKeyStroke*>(binding));
        }
    }
}

void TCustomPlainEdit::DefineProperties(plat::TFiler& Filer)
{
    plat::TComponent::DefineProperties(Filer);
    const bool differ = keystrokesDiffer(Filer);
    Filer.DefineProperty(
        QStringLiteral("RemovedKeystrokes"), [this](plat::TReader& r) { readKeystrokes(r, true); },
        [this](plat::TWriter& w) { writeKeystrokes(w, true); }, differ);
    Filer.DefineProperty(
        QStringLiteral("AddedKeystrokes"), [this](plat::TReader& r) { readKeystrokes(r, false); },
        [this](plat::TWriter& w) { writeKeystrokes(w, false); }, differ);
}
