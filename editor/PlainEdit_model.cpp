// The editor model: creation, published properties, the reaction to its line
// store, the modified state and the word-wrap switch.

#include "PlainEdit_p.h"

#include "PlainEditHighlighter.h"
#include "PlainTextDrawer.h"

#include "Exceptions.h"

#include <algorithm>
#include <limits>

using namespace pe;
using plat::TColor;

PLAT_DEFINE_ENUM(TPlainSelectionMode, "smNormal", "smLine", "smColumn")
PLAT_DEFINE_ENUM(TPlainEditorOption, "eoAltSetsColumnMode", "eoAutoIndent", "eoAutoSizeMaxScrollWidth",
                 "eoDisableScrollArrows", "eoDragDropEditing", "eoDropFiles", "eoEnhanceHomeKey", "eoEnhanceEndKey",
                 "eoGroupUndo", "eoHalfPageScroll", "eoHideShowScrollbars", "eoKeepCaretX", "eoNoCaret",
                 "eoNoSelection", "eoRightMouseMovesCursor", "eoScrollByOneLess", "eoScrollHintFollows",
                 "eoScrollPastEof", "eoScrollPastEol", "eoShowScrollHint", "eoShowSpecialChars", "eoSmartTabDelete",
                 "eoSmartTabs", "eoSpecialLineDefaultFg", "eoTabIndent", "eoTabsToSpaces", "eoTrimTrailingSpaces")
PLAT_DEFINE_SET(TPlainEditorOptions, TPlainEditorOption)
PLAT_DEFINE_ENUM(TPlainEditCaretType, "ctVerticalLine", "ctHorizontalLine", "ctHalfBlock", "ctBlock")
PLAT_DEFINE_ENUM(TScrollHintFormat, "shfTopLineOnly", "shfTopToBottom")
PLAT_DEFINE_ENUM(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth")
namespace plat {
}

PLAT_DEFINE_CLASS(TCustomPlainEdit, c) { (void)c; }

PLAT_DEFINE_CLASS(TPlainEdit, c)
{
    using E = TPlainEdit;
    c.property<plat::ti::TColor>("ActiveLineColor", &E::ActiveLineColor, &E::SetActiveLineColor)
        .defaultValue(plat::clNone);
    c.property("BookMarkOptions", &E::BookMarkOptions, &E::SetBookMarkOptions);
    c.property("BorderStyle", &E::BorderStyle, &E::SetBorderStyle).defaultValue(bsSingle);
    c.property<plat::ti::TColor>("Color", &E::Color, &E::SetColor).defaultValue(plat::clWindow);
    c.property<plat::ti::TCursor>("Cursor", &E::Cursor, &E::SetCursor).defaultValue(plat::crIBeam);
    c.property("ExtraLineSpacing", &E::ExtraLineSpacing, &E::SetExtraLineSpacing).defaultValue(0);
    c.property("Font", &E::Font, &E::SetFont);
    c.property("Gutter", &E::Gutter, &E::SetGutter);
    c.property("HideSelection", &E::HideSelection, &E::SetHideSelection).defaultValue(false);
    c.property("InsertCaret", &E::InsertCaret, &E::SetInsertCaret).defaultValue(ctVerticalLine);
    c.property("InsertMode", &E::InsertMode, &E::SetInsertMode).defaultValue(true);
    c.property("Keystrokes", &E::Keystrokes, &E::SetKeystrokes).stored(false);
    c.property("MaxScrollWidth", &E::MaxScrollWidth, &E::SetMaxScrollWidth).defaultValue(1024);
    c.property("MaxUndo", &E::MaxUndo, &E::SetMaxUndo).defaultValue(1024);
    c.property("Options", &E::Options, &E::SetOptions).defaultValue(kPlainDefaultOptions);
    c.property("OverwriteCaret", &E::OverwriteCaret, &E::SetOverwriteCaret).defaultValue(ctBlock);
    c.property("ReadOnly", &E::ReadOnly, &E::SetReadOnlyProp).defaultValue(false);
    c.property("RightEdge", &E::RightEdge, &E::SetRightEdge).defaultValue(80);
    c.property<plat::ti::TColor>("RightEdgeColor", &E::RightEdgeColor, &E::SetRightEdgeColor)
        .defaultValue(plat::clSilver);
    c.property("ScrollBars", &E::ScrollBars, &E::SetScrollBars).defaultValue(ssBoth);
    c.property<plat::ti::TColor>("ScrollHintColor", &E::ScrollHintColor, &E::SetScrollHintColor)
        .defaultValue(plat::clInfoBk);
    c.property("ScrollHintFormat", &E::ScrollHintFormat, &E::SetScrollHintFormat).defaultValue(shfTopLineOnly);
    c.property("SearchEngine", &E::SearchEngine, &E::SetSearchEngine);
    c.property("SelectedColor", &E::SelectedColor, &E::SetSelectedColor);
    c.property("SelectionMode", &E::SelectionMode, &E::SetSelectionMode).defaultValue(smNormal);
    c.property("TabWidth", &E::TabWidth, &E::SetTabWidth).defaultValue(8);
    c.property("WantReturns", &E::WantReturns, &E::SetWantReturns).defaultValue(true);
    c.property("WantTabs", &E::WantTabs, &E::SetWantTabs).defaultValue(false);
    c.property("WordWrap", &E::WordWrap, &E::SetWordWrap).defaultValue(false);
    c.property("WordWrapGlyph", &E::WordWrapGlyph, &E::SetWordWrapGlyph);
}

IPlainEditView::~IPlainEditView() = default;

namespace pe {

QStringList splitPieces(const QString& text)
{
    QStringList pieces;
    const qsizetype n = text.size();
    // Room for every piece at once: a pasted text may have a million lines.
    pieces.reserve(text.count(QLatin1Char('\r')) + text.count(QLatin1Char('\n')) + 1);
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            pieces.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        ++i;
    }
    pieces.append(text.mid(start));
    return pieces;
}

int addClamped(int a, qint64 b) { return ClampToInt(qint64(a) + b); }

} // namespace pe

// ------------------------------------------------------------ creation

TCustomPlainEdit::TCustomPlainEdit(plat::TComponent* AOwner) : plat::TComponent(AOwner)
{
    m_lines = std::make_unique<TPlainEditStringList>();
    m_lines->OnChanging = [this](TPlainEditStringList*) { linesChanging(); };
    m_lines->OnChange = [this](TPlainEditStringList*) { LinesChanged(); };
    m_lines->OnCleared = [this](TPlainEditStringList*) { linesCleared(); };
    m_lines->OnDeleted = [this](TPlainEditStringList*, int index, int count) { linesDeleted(index, count); };
    m_lines->OnInserted = [this](TPlainEditStringList*, int index, int count) { linesInserted(index, count); };
    m_lines->OnReplaced = [this](TPlainEditStringList*, int index, int count) { linesPutted(index, count); };
    m_lines->SetTabWidth(m_tabWidth);

    m_dummyFont = std::make_unique<plat::TFont>();
    m_dummyFont->SetName(QStringLiteral("Courier New"));
    m_dummyFont->SetSize(10);
    m_dummyFont->SetCharset(plat::DEFAULT_CHARSET);

    m_undoList = std::make_unique<TPlainEditUndoList>();
    m_undoList->OnChangeRecorded = [this](TPlainEditUndoList* sender) { undoRedoAdded(sender); };
    m_redoList = std::make_unique<TPlainEditUndoList>();
    m_redoList->OnChangeRecorded = [this](TPlainEditUndoList* sender) { undoRedoAdded(sender); };

    m_selectedColor = std::make_unique<TPlainSelectedColor>();
    m_selectedColor->OnChange = plat::TNotifyEvent([this](plat::TObject*) { InvalidateSelection(); }, this, nullptr);
    m_bookMarkOptions = std::make_unique<TPlainBookMarkOpt>(this);
    m_bookMarkOptions->OnChange = plat::TNotifyEvent([this](plat::TObject*) { InvalidateGutter(); }, this, nullptr);
    m_gutter = std::make_unique<TPlainGutter>();
    m_gutter->OnChange = plat::TNotifyEvent([this](plat::TObject*) { GutterChanged(); }, this, nullptr);
    m_gutterExtent = m_gutter->Width();
    m_textLeft = m_gutterExtent + 2;
    m_wordWrapGlyph = std::make_unique<TPlainGlyph>(QStringLiteral("PlainEditWrapped"), plat::clLime);
    m_wordWrapGlyph->OnChange = plat::TNotifyEvent(
        [this](plat::TObject*) {
            if (!ComponentState().contains(plat::csLoading))
                InvalidateGutter();
        },
        this, nullptr);

    m_font = std::make_unique<plat::TFont>();
    m_textDrawer = std::make_unique<TheTextDrawer>(plat::TFontStyles{}, m_dummyFont.get());
    m_font->AssignFont(*m_dummyFont);
    m_font->SetOwnerListener([this](plat::TGraphicsObject*) { FontChanged(); });

    m_kbdHandler = std::make_unique<TPlainEditKbdHandler>();
    m_keystrokes = std::make_unique<TPlainEditKeyStrokes>(this);
    ResetKeystrokes();
    m_markList = std::make_unique<TPlainEditMarkList>(this);
    m_markList->OnChange = [this] { markListChanged(); };
    FontChanged();
}

TCustomPlainEdit::~TCustomPlainEdit()
{
    Destroying();
    if (m_highlighter) {
        m_highlighter->UnhookAttrChange(plat::TNotifyEvent([](plat::TObject*) {}, this, &m_highlighter));
        m_highlighter->RemoveFreeNotification(this);
        m_highlighter = nullptr;
    }
    if (m_searchEngine)
        m_searchEngine->RemoveFreeNotification(this);
    if (TPlainImageList* images = m_bookMarkOptions->BookmarkImages())
        images->RemoveFreeNotification(this);
    m_markList->OnChange = nullptr;
    m_markList->Clear();
    m_bookmarks.fill(nullptr);
    m_view = nullptr;
}

void TCustomPlainEdit::SetView(IPlainEditView* view)
{
    if (m_view == view)
        return;
    m_view = view;
    if (m_view) {
        if (m_options.contains(eoDropFiles))
            m_view->SetAcceptFiles(true);
        SizeOrFontChanged(true);
        UpdateScrollBars();
    }
}

void TCustomPlainEdit::Notification(plat::TComponent* AComponent, plat::TOperation Operation)
{
    plat::TComponent::Notification(AComponent, Operation);
    if (Operation != plat::opRemove)
        return;
    if (AComponent == m_searchEngine)
        m_searchEngine = nullptr;
    if (AComponent == m_highlighter) {
        m_highlighter = nullptr;
        if (!ComponentState().contains(plat::csDestroying)) {
            RecalcCellSize();
            SizeOrFontChanged(true);
            Invalidate();
        }
    }
    if (AComponent && AComponent == m_bookMarkOptions->BookmarkImages()) {
        m_bookMarkOptions->ImageListFreed();
        InvalidateGutter();
    }
}

QString TCustomPlainEdit::lineText(int line) const
{
    if (line < 1 || line > m_lines->Count())
        return {};
    return m_lines->Line(line - 1);
}

TPlainCharSet TCustomPlainEdit::WrapIdentifierChars() const
{
    if (m_highlighter)
        return m_highlighter->IdentifierCharacters();
    return TPlainCharSet({{33, 255}}, TPlainCharSet::OutsideLettersDigits);
}

// ------------------------------------------------------------ line store

void TCustomPlainEdit::linesChanging() { m_state.include(esLinesChanging); }

void TCustomPlainEdit::LinesChanged()
{
    m_state.exclude(esLinesChanging);
    // The selection collapses onto the caret after every change of the
    // lines, window or not, so that the records of an edit end where the
    // edit ended.
    {
        const TPlainSelectionMode mode = m_activeSelMode;
        SetSelAnchor(m_caretPos);
        m_activeSelMode = mode;
    }
    if (HandleAllocated()) {
        UpdateScrollBars();
        if (!m_pendingInvalidRect.IsEmpty())
            InvalidateRect(m_pendingInvalidRect, false);
        m_pendingInvalidRect = plat::TRect();
        if (m_gutter->ShowLineNumbers() && m_gutter->AutoSize())
            m_gutter->UpdateAutoDigits(m_lines->Count());
        if (!m_options.contains(eoScrollPastEof))
            SetTopRow(m_topRow);
    }
    m_pendingInvalidRect = plat::TRect();
}

void TCustomPlainEdit::linesCleared()
{
    if (m_wordWrap)
        m_wordWrap->Rewrap();
    m_undoList->Clear();
    m_redoList->Clear();
    m_pendingInvalidRect = plat::TRect();
    Invalidate();
    MoveCaretAndCollapse(TBufferCoord{1, 1});
    SetTopRow(1);
    SetLeftColumn(1);
    m_pendingStatus.include(scAll);
}

void TCustomPlainEdit::linesDeleted(int index, int count)
{
    if (m_wordWrap)
        m_wordWrap->NotifyLinesDeleted(index, count);
    InvalidateLines(index + 1, std::numeric_limits<int>::max());
    InvalidateGutterLines(index + 1, std::numeric_limits<int>::max());
}

void TCustomPlainEdit::linesInserted(int index, int count)
{
    if (m_wordWrap)
        m_wordWrap->NotifyLinesInserted(index, count);
    InvalidateLines(index + 1, std::numeric_limits<int>::max());
    InvalidateGutterLines(index + 1, std::numeric_limits<int>::max());
    if (m_options.contains(eoAutoSizeMaxScrollWidth)) {
        const int length = m_lines->ExpandedLength(index);
        if (length > m_maxScrollWidth)
            SetMaxScrollWidth(length);
    }
}

void TCustomPlainEdit::linesPutted(int index, int count)
{
    int last = index + 1;
    if (m_wordWrap) {
        if (m_wordWrap->NotifyLinesReplaced(index, count) != 0)
            last = std::numeric_limits<int>::max();
        InvalidateGutterLines(index + 1, last);
    }
    InvalidateLines(index + 1, last);
    if (m_options.contains(eoAutoSizeMaxScrollWidth)) {
        const int length = m_lines->ExpandedLength(index);
        if (length > m_maxScrollWidth)
            SetMaxScrollWidth(length);
    }
}

void TCustomPlainEdit::markListChanged() { InvalidateGutter(); }

// ------------------------------------------------------------ modified, undo notifications

void TCustomPlainEdit::SetModified(bool Value)
{
    if (Value == m_modified)
        return;
    m_modified = Value;
    if (!Value && m_options.contains(eoGroupUndo) && m_undoList->CanUndo())
        m_undoList->AddGroupBreak();
    m_undoList->SetCleanPoint(!Value);
    StatusChanged({scModified});
}

void TCustomPlainEdit::undoRedoAdded(TPlainEditUndoList* sender)
{
    SetModified(!m_undoList->CleanPoint());
    if (sender == m_undoList.get() && !m_undoList->InsideRedo() && m_undoList->LastReason() != urGroupBreak)
        m_redoList->Clear();
    if (sender->CompoundDepth() == 0)
        DoChange();
}

void TCustomPlainEdit::DoChange() { OnChange(this); }

void TCustomPlainEdit::LockUndoLists()
{
    m_undoList->Lock();
    m_redoList->Lock();
}

void TCustomPlainEdit::UnlockUndoLists()
{
    m_undoList->Unlock();
    m_redoList->Unlock();
}

void TCustomPlainEdit::ClearAll()
{
    m_lines->Clear();
    m_markList->Clear();
    m_bookmarks.fill(nullptr);
    m_undoList->Clear();
    m_redoList->Clear();
    SetModified(false);
}

// ------------------------------------------------------------ property writers

void TCustomPlainEdit::SetActiveLineColor(TColor Value)
{
    if (m_activeLineColor == Value)
        return;
    m_activeLineColor = Value;
    InvalidateLine(m_caretPos.Line);
}

void TCustomPlainEdit::SetBookMarkOptions(TPlainBookMarkOpt* Value)
{
    if (Value)
        m_bookMarkOptions->Assign(Value);
}

void TCustomPlainEdit::SetBorderStyle(TBorderStyle Value)
{
    if (m_borderStyle == Value)
        return;
    m_borderStyle = Value;
    if (m_view)
        m_view->RecreateWindow();
}

void TCustomPlainEdit::SetColor(TColor Value)
{
    if (m_color == Value)
        return;
    m_color = Value;
    Invalidate();
}

void TCustomPlainEdit::SetExtraLineSpacing(int Value)
{
    m_extraLineSpacing = Value;
    FontChanged();
}

void TCustomPlainEdit::SetGutter(TPlainGutter* Value)
{
    if (Value)
        m_gutter->Assign(Value);
}

void TCustomPlainEdit::SetHideSelection(bool Value)
{
    if (m_hideSelection == Value)
        return;
    m_hideSelection = Value;
    InvalidateSelection();
}

void TCustomPlainEdit::SetInsertCaret(TPlainEditCaretType Value)
{
    if (m_insertCaret == Value)
        return;
    m_insertCaret = Value;
    CreateCaretShape();
}

void TCustomPlainEdit::SetOverwriteCaret(TPlainEditCaretType Value)
{
    if (m_overwriteCaret == Value)
        return;
    m_overwriteCaret = Value;
    CreateCaretShape();
}

void TCustomPlainEdit::SetInsertMode(bool Value)
{
    if (m_insertMode == Value)
        return;
    m_insertMode = Value;
    if (!ComponentState().contains(plat::csDesigning))
        CreateCaretShape();
    StatusChanged({scInsertMode});
}

void TCustomPlainEdit::SetKeystrokes(TPlainEditKeyStrokes* Value)
{
    if (!Value)
        m_keystrokes->Clear();
    else
        m_keystrokes->Assign(Value);
}

void TCustomPlainEdit::ResetKeystrokes() { m_keystrokes->ResetDefaults(); }

void TCustomPlainEdit::SetLines(const plat::TStrings* Value)
{
    if (!Value || Value == m_lines.get())
        return;
    m_lines->Assign(*Value);
}

void TCustomPlainEdit::SetMaxScrollWidth(int Value)
{
    Value = std::clamp(Value, 1, std::numeric_limits<int>::max() - 1);
    if (m_maxScrollWidth == Value)
        return;
    m_maxScrollWidth = Value;
    if (m_options.contains(eoScrollPastEol))
        UpdateScrollBars();
}

void TCustomPlainEdit::SetMaxUndo(int Value)
{
    if (Value < 0)
        return;
    m_undoList->SetMaxActions(Value);
    m_redoList->SetMaxActions(Value);
}

void TCustomPlainEdit::SetOptions(TPlainEditorOptions Value)
{
    if (m_options == Value)
        return;
    const TPlainEditorOptions old = m_options;
    if (!old.contains(eoScrollPastEol))
        SetLeftColumn(m_leftColumn);
    if (!old.contains(eoScrollPastEof))
        SetTopRow(m_topRow);
    m_options = Value;
    MoveCaret(m_caretPos);
    if (Value.contains(eoScrollPastEol)) {
        const TBufferCoord first = SelFirst();
        const TBufferCoord last = SelLast();
        SetSelAnchor(first);
        SetSelHead(last);
    }
    if (old.contains(eoDropFiles) != Value.contains(eoDropFiles) && !ComponentState().contains(plat::csDesigning)
        && HandleAllocated())
        m_view->SetAcceptFiles(Value.contains(eoDropFiles));
    const bool special = Value.contains(eoShowSpecialChars);
    if (special != m_showSpecialChars) {
        m_showSpecialChars = special;
        Invalidate();
    }
    const TPlainEditorOptions scrollOptions{eoDisableScrollArrows, eoHideShowScrollbars, eoScrollPastEof,
                                            eoScrollPastEol};
    if (!((old * scrollOptions) == (Value * scrollOptions)))
        UpdateScrollBars();
}

void TCustomPlainEdit::SetReadOnly(bool Value)
{
    if (m_readOnly == Value)
        return;
    m_readOnly = Value;
    StatusChanged({scReadOnly});
}

void TCustomPlainEdit::SetRightEdge(int Value)
{
    if (m_rightEdge == Value)
        return;
    m_rightEdge = Value;
    Invalidate();
}

void TCustomPlainEdit::SetRightEdgeColor(TColor Value)
{
    if (m_rightEdgeColor == Value)
        return;
    m_rightEdgeColor = Value;
    if (HandleAllocated()) {
        const int x = ClampToInt(qint64(m_rightEdge) * m_cellWidth + m_textLeft);
        InvalidateRect(plat::TRect(x - 1, 0, x + 1, m_view->ClientHeight()), false);
    }
}

void TCustomPlainEdit::SetScrollBars(TScrollStyle Value)
{
    if (m_scrollBars == Value)
        return;
    m_scrollBars = Value;
    UpdateScrollBars();
    Invalidate();
}

void TCustomPlainEdit::SetSearchEngine(TPlainEditSearchCustom* Value)
{
    if (m_searchEngine == Value)
        return;
    if (m_searchEngine)
        m_searchEngine->RemoveFreeNotification(this);
    m_searchEngine = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TCustomPlainEdit::SetSelectedColor(TPlainSelectedColor* Value)
{
    if (Value)
        m_selectedColor->Assign(Value);
}

void TCustomPlainEdit::SetSelectionMode(TPlainSelectionMode Value)
{
    m_selectionMode = Value;
    SetActiveSelMode(Value);
}

void TCustomPlainEdit::SetTabWidth(int Value)
{
    Value = std::clamp(Value, 1, 256);
    if (m_tabWidth == Value)
        return;
    m_tabWidth = Value;
    m_lines->SetTabWidth(Value);
    Invalidate();
    if (m_wordWrap) {
        m_wordWrap->Rewrap();
        InvalidateGutter();
    }
}

void TCustomPlainEdit::SetWordWrapGlyph(TPlainGlyph* Value)
{
    if (Value)
        m_wordWrapGlyph->Assign(Value);
}

void TCustomPlainEdit::SetHighlighter(TPlainCustomHighlighter* Value)
{
    if (m_highlighter == Value)
        return;
    const plat::TNotifyEvent hook(
        [this](plat::TObject* sender) {
            RecalcCellSize();
            if (auto* h = dynamic_cast<TPlainCustomHighlighter*>(sender); h && m_highlighter && m_lines->Count() > 0) {
                m_lines->BeginUpdate();
                pe::Finally end([this] { m_lines->EndUpdate(); });
                m_highlighter->ResetRangeState();
                for (int i = 0; i < m_lines->Count(); ++i) {
                    m_highlighter->StartLine(m_lines->Line(i), i);
                    m_highlighter->SkipToLineEnd();
                    m_lines->SetRangeOf(i, m_highlighter->RangeState());
                }
            } else {
                Invalidate();
            }
            SizeOrFontChanged(true);
        },
        this, &m_highlighter);
    if (m_highlighter) {
        m_highlighter->UnhookAttrChange(hook);
        m_highlighter->RemoveFreeNotification(this);
    }
    if (Value) {
        Value->HookAttrChange(hook);
        Value->FreeNotification(this);
    }
    m_highlighter = Value;
    if (!ComponentState().contains(plat::csDestroying))
        hook(Value);
}

void TCustomPlainEdit::SetWordWrap(bool Value)
{
    if (WordWrap() == Value)
        return;
    Invalidate();
    const TDisplayPos caret = CaretDisplayPos();
    const bool caretInView = caret.Column >= m_leftColumn && caret.Column <= m_leftColumn + m_columnsInView
                             && caret.Row >= m_topRow && caret.Row <= m_topRow + m_visibleRows;
    const int topLine = RowToLine(m_topRow);
    if (Value) {
        m_wordWrap = std::make_unique<TPlainWordWrapPlugin>(this);
        m_leftColumn = 1;
        m_textLeft = m_gutterExtent + 2;
    } else {
        m_wordWrap.reset();
    }
    SetTopRow(LineToRow(topLine));
    UpdateScrollBars();
    if (m_options.contains(eoScrollPastEol)) {
        MoveCaret(m_caretPos);
        const TBufferCoord first = SelFirst();
        const TBufferCoord last = SelLast();
        SetSelAnchor(first);
        SetSelHead(last);
    }
    if (caretInView)
        EnsureCaretVisible();
}

TPlainReplaceAction TCustomPlainEdit::DoOnReplaceText(const QString& ASearch, const QString& AReplace, int Line,
                                                      int Column)
{
    TPlainReplaceAction action = raCancel;
    OnReplaceText(this, ASearch, AReplace, Line, Column, action);
    return action;
}

bool TCustomPlainEdit::DoOnSpecialLineColors(int Line, TColor& Foreground, TColor& Background)
{
    bool special = false;
    OnSpecialLineColors(this, Line, special, Foreground, Background);
    return special;
}
