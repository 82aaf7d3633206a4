#pragma once
// The editor control as a model without a window.
//
// TCustomPlainEdit carries every operation of the multi-line plain-text
// editor: the line store with its undo and redo lists, the caret and the
// selection in normal, line and column modes, the commands and the key map,
// soft word wrap, marks and bookmarks, the clipboard, the edit-control
// messages, metrics and scrolling. It talks to its window only through an
// IPlainEditView (PlainEditView.h); a widget implements the view and
// forwards its input here. Without a view it behaves as a control whose
// window does not exist yet.
//
// Positions outside the text are never an error: every setter limits them.
// The model owns its line store, undo lists, gutter, option objects, marks
// and key map; it never frees the highlighter, the search engine or the
// bookmark image list, and forgets them when they are freed.

#include "PlainEditKbdHandler.h"
#include "PlainEditKeyCmds.h"
#include "PlainEditMiscClasses.h"
#include "PlainEditTextBuffer.h"
#include "PlainEditTypes.h"
#include "PlainEditView.h"
#include "PlainEditWordWrap.h"

#include "Canvas.h"
#include "Controls.h"
#include "Graphics.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <variant>

class TCustomPlainEdit;
class TPlainCustomHighlighter;
class TheTextDrawer;
namespace plat {
class TFiler;
class TReader;
class TStrings;
class TWriter;
} // namespace plat

PLAT_DECLARE_ENUM(TPlainSelectionMode)

enum TPlainEditorOption {
    eoAltSetsColumnMode,
    eoAutoIndent,
    eoAutoSizeMaxScrollWidth,
    eoDisableScrollArrows,
    eoDragDropEditing,
    eoDropFiles,
    eoEnhanceHomeKey,
    eoEnhanceEndKey,
    eoGroupUndo,
    eoHalfPageScroll,
    eoHideShowScrollbars,
    eoKeepCaretX,
    eoNoCaret,
    eoNoSelection,
    eoRightMouseMovesCursor,
    eoScrollByOneLess,
    eoScrollHintFollows,
    eoScrollPastEof,
    eoScrollPastEol,
    eoShowScrollHint,
    eoShowSpecialChars,
    eoSmartTabDelete,
    eoSmartTabs,
    eoSpecialLineDefaultFg,
    eoTabIndent,
    eoTabsToSpaces,
    eoTrimTrailingSpaces
};
PLAT_DECLARE_ENUM(TPlainEditorOption)
using TPlainEditorOptions = plat::TSet<TPlainEditorOption>;
PLAT_DECLARE_SET(TPlainEditorOptions)
inline constexpr TPlainEditorOptions kPlainDefaultOptions{eoAutoIndent,    eoDragDropEditing, eoEnhanceEndKey,
                                                          eoGroupUndo,     eoScrollPastEol,   eoShowScrollHint,
                                                          eoSmartTabDelete, eoSmartTabs,      eoTabsToSpaces};

enum TPlainEditCaretType { ctVerticalLine, ctHorizontalLine, ctHalfBlock, ctBlock };
PLAT_DECLARE_ENUM(TPlainEditCaretType)
enum TScrollHintFormat { shfTopLineOnly, shfTopToBottom };
PLAT_DECLARE_ENUM(TScrollHintFormat)
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
PLAT_DECLARE_ENUM(TScrollStyle)
// The platform's border style, with the type information streaming needs.
using plat::TBorderStyle;
using plat::bsNone;
using plat::bsSingle;
enum TPlainStatusChange { scAll, scCaretX, scCaretY, scLeftChar, scTopLine, scInsertMode, scModified, scSelection, scReadOnly };
using TPlainStatusChanges = plat::TSet<TPlainStatusChange>;
enum TTransientType { ttBefore, ttAfter };
enum TPlainReplaceAction { raCancel, raSkip, raReplace, raReplaceAll };
enum TPlainDragState { dsDragEnter, dsDragLeave, dsDragMove };

// EditorState flags.
enum TPlainEditorStateFlag {
    esCaretDirty,
    esScrollBarsDirty,
    esLinesChanging,
    esSkipNextChar,
    esCaretShown,
    esDoubleClicked,
    esGutterClickPending,
    esDragPending,
    esGutterDragging
};
using TPlainEditorState = plat::TSet<TPlainEditorStateFlag>;

// Scroll codes of the scroll messages (the left/right codes share the numbers).
inline constexpr int SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2,
                     SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5,
                     SB_TOP = 6, SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
// Dialog codes a key-handling window answers.
inline constexpr int DLGC_WANTARROWS = 0x0001, DLGC_WANTTAB = 0x0002, DLGC_WANTALLKEYS = 0x0004,
                     DLGC_WANTCHARS = 0x0080;

// The clipboard format of a copied block: its selection mode, the text, 0.
inline const QString kPlainEditClipboardFormat = QStringLiteral("PlainEdit Control Block Type");

// What a command carries besides its character: a position (go-to, set
// marker), a number, or the text of the input method.
using TPlainCommandData = std::variant<std::monostate, TBufferCoord, int, QString>;

// ---------------------------------------------------------------- marks

class TPlainEditMark {
public:
    explicit TPlainEditMark(TCustomPlainEdit* AOwner);
    virtual ~TPlainEditMark();
    TPlainEditMark(const TPlainEditMark&) = delete;
    TPlainEditMark& operator=(const TPlainEditMark&) = delete;

    int MarkLine() const { return m_line; }
    virtual void SetMarkLine(int Value);
    int MarkChar() const { return m_char; }
    virtual void SetMarkChar(int Value) { m_char = Value; }
    int ImageIndex() const { return m_imageIndex; }
    virtual void SetImageIndex(int Value);
    bool Visible() const { return m_visible; }
    void SetVisible(bool Value);
    bool UseInternalImage() const { return m_internalImage; }
    void SetUseInternalImage(bool Value);
    int BookmarkNumber() const { return m_bookmarkNumber; }
    void SetBookmarkNumber(int Value) { m_bookmarkNumber = Value; }
    bool IsBookmark() const { return m_bookmarkNumber >= 0; }
    // The owner while it is alive and still lists the mark; none otherwise
    // (the reference is weak: a freed control is never touched).
    virtual TCustomPlainEdit* GetOwnerEdit() const;

private:
    void repaintLine() const;
    int m_line = 0;
    int m_char = 0;
    int m_imageIndex = 0;
    mutable quint32 m_ownerHandle = 0;
    bool m_visible = false;
    bool m_internalImage = false;
    int m_bookmarkNumber = -1;
};

class TPlainEditMarkList {
public:
    explicit TPlainEditMarkList(TCustomPlainEdit* AOwner) : m_owner(AOwner) {}
    ~TPlainEditMarkList();
    TPlainEditMarkList(const TPlainEditMarkList&) = delete;
    TPlainEditMarkList& operator=(const TPlainEditMarkList&) = delete;

    int Count() const { return int(m_items.size()); }
    TPlainEditMark* Items(int Index) const { return m_items[size_t(Index)]; }
    bool Contains(const TPlainEditMark* Mark) const;
    void Add(TPlainEditMark* Mark);
    // Takes the mark out without freeing it.
    void Remove(TPlainEditMark* Mark);
    // Frees the mark at Index.
    void Delete(int Index);
    void Clear();
    // Up to 16 marks of the line, in list order.
    std::vector<TPlainEditMark*> GetMarksForLine(int Line) const;

    std::function<void()> OnChange;

private:
    TCustomPlainEdit* m_owner;
    std::vector<TPlainEditMark*> m_items;
};

// ---------------------------------------------------------------- events

using TPlaceMarkEvent = plat::TEvent<void(plat::TObject* Sender, TPlainEditMark*& Mark)>;
using TProcessCommandEvent = plat::TEvent<void(plat::TObject* Sender, TPlainEditorCommand& Command, QChar& AChar,
                                               const TPlainCommandData& Data)>;
using TContextHelpEvent = plat::TEvent<void(plat::TObject* Sender, const QString& Word)>;
using TDropFilesEvent = plat::TEvent<void(plat::TObject* Sender, int X, int Y, const QStringList& AFiles)>;
using TGutterClickEvent = plat::TEvent<void(plat::TObject* Sender, plat::TMouseButton Button, int X, int Y, int Line,
                                            TPlainEditMark* Mark)>;
using TGutterGetTextEvent = plat::TEvent<void(plat::TObject* Sender, int aLine, QString& aText)>;
using TGutterPaintEvent = plat::TEvent<void(plat::TObject* Sender, int aLine, int X, int Y)>;
using TMouseCursorEvent = TPlainMouseCursorEvent;
using TPaintEvent = plat::TEvent<void(plat::TObject* Sender, plat::TCanvas* ACanvas)>;
using TPaintTransient = plat::TEvent<void(plat::TObject* Sender, plat::TCanvas* Canvas, TTransientType TransientType)>;
using TReplaceTextEvent = plat::TEvent<void(plat::TObject* Sender, const QString& ASearch, const QString& AReplace,
                                            int Line, int Column, TPlainReplaceAction& Action)>;
using TScrollEvent = plat::TEvent<void(plat::TObject* Sender, TScrollBarKind ScrollBar)>;
using TSpecialLineColorsEvent =
    plat::TEvent<void(plat::TObject* Sender, int Line, bool& Special, plat::TColor& FG, plat::TColor& BG)>;
using TStatusChangeEvent = plat::TEvent<void(plat::TObject* Sender, TPlainStatusChanges Changes)>;

// ---------------------------------------------------------------- the control

class TCustomPlainEdit : public plat::TComponent, public IPlainWrapHost {
    PLAT_CLASS(TCustomPlainEdit, plat::TComponent)
public:
    explicit TCustomPlainEdit(plat::TComponent* AOwner = nullptr);
    ~TCustomPlainEdit() override;

    // The window; none (nullptr) until the widget attaches, and again when
    // it goes. Not owned.
    IPlainEditView* View() const { return m_view; }
    void SetView(IPlainEditView* view);
    bool HandleAllocated() const { return m_view && m_view->HandleAllocated(); }

    // ---------------------------------------------------------- published properties
    plat::TColor ActiveLineColor() const { return m_activeLineColor; }
    void SetActiveLineColor(plat::TColor Value);
    TPlainBookMarkOpt* BookMarkOptions() const { return m_bookMarkOptions.get(); }
    void SetBookMarkOptions(TPlainBookMarkOpt* Value);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    plat::TColor Color() const { return m_color; }
    void SetColor(plat::TColor Value);
    plat::TCursor Cursor() const { return m_cursor; }
    void SetCursor(plat::TCursor Value) { m_cursor = Value; }
    int ExtraLineSpacing() const { return m_extraLineSpacing; }
    void SetExtraLineSpacing(int Value);
    plat::TFont* Font() const { return m_font.get(); }
    // A proportional font is replaced by the same font with the fixed pitch.
    void SetFont(plat::TFont* Value);
    TPlainGutter* Gutter() const { return m_gutter.get(); }
    void SetGutter(TPlainGutter* Value);
    bool HideSelection() const { return m_hideSelection; }
    void SetHideSelection(bool Value);
    TPlainCustomHighlighter* Highlighter() const { return m_highlighter; }
    void SetHighlighter(TPlainCustomHighlighter* Value);
    TPlainEditCaretType InsertCaret() const { return m_insertCaret; }
    void SetInsertCaret(TPlainEditCaretType Value);
    TPlainEditCaretType OverwriteCaret() const { return m_overwriteCaret; }
    void SetOverwriteCaret(TPlainEditCaretType Value);
    bool InsertMode() const { return m_insertMode; }
    void SetInsertMode(bool Value);
    TPlainEditKeyStrokes* Keystrokes() const { return m_keystrokes.get(); }
    void SetKeystrokes(TPlainEditKeyStrokes* Value);
    TPlainEditStringList* Lines() const { return m_lines.get(); }
    void SetLines(const plat::TStrings* Value);
    int MaxScrollWidth() const { return m_maxScrollWidth; }
    void SetMaxScrollWidth(int Value);
    int MaxUndo() const { return m_undoList->MaxActions(); }
    void SetMaxUndo(int Value);
    TPlainEditorOptions Options() const { return m_options; }
    void SetOptions(TPlainEditorOptions Value);
    bool ReadOnly() const { return GetReadOnly(); }
    void SetReadOnlyProp(bool Value) { SetReadOnly(Value); }
    int RightEdge() const { return m_rightEdge; }
    void SetRightEdge(int Value);
    plat::TColor RightEdgeColor() const { return m_rightEdgeColor; }
    void SetRightEdgeColor(plat::TColor Value);
    TScrollStyle ScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle Value);
    plat::TColor ScrollHintColor() const { return m_scrollHintColor; }
    void SetScrollHintColor(plat::TColor Value) { m_scrollHintColor = Value; }
    TScrollHintFormat ScrollHintFormat() const { return m_scrollHintFormat; }
    void SetScrollHintFormat(TScrollHintFormat Value) { m_scrollHintFormat = Value; }
    TPlainEditSearchCustom* SearchEngine() const { return m_searchEngine; }
    void SetSearchEngine(TPlainEditSearchCustom* Value);
    TPlainSelectedColor* SelectedColor() const { return m_selectedColor.get(); }
    void SetSelectedColor(TPlainSelectedColor* Value);
    TPlainSelectionMode SelectionMode() const { return m_selectionMode; }
    void SetSelectionMode(TPlainSelectionMode Value);
    int TabWidth() const { return m_tabWidth; }
    void SetTabWidth(int Value);
    bool WantReturns() const { return m_wantReturns; }
    void SetWantReturns(bool Value) { m_wantReturns = Value; }
    bool WantTabs() const { return m_wantTabs; }
    void SetWantTabs(bool Value) { m_wantTabs = Value; }
    bool WordWrap() const { return m_wordWrap != nullptr; }
    void SetWordWrap(bool Value);
    TPlainGlyph* WordWrapGlyph() const { return m_wordWrapGlyph.get(); }
    void SetWordWrapGlyph(TPlainGlyph* Value);

    // Events.
    plat::TNotifyEvent OnChange;
    TPlaceMarkEvent OnClearBookmark;
    TPlaceMarkEvent OnPlaceBookmark;
    TProcessCommandEvent OnCommandProcessed;
    TProcessCommandEvent OnProcessCommand;
    TProcessCommandEvent OnProcessUserCommand;
    TContextHelpEvent OnContextHelp;
    TDropFilesEvent OnDropFiles;
    TGutterClickEvent OnGutterClick;
    TGutterGetTextEvent OnGutterGetText;
    TGutterPaintEvent OnGutterPaint;
    TMouseCursorEvent OnMouseCursor;
    TPaintEvent OnPaint;
    TPaintTransient OnPaintTransient;
    TReplaceTextEvent OnReplaceText;
    TScrollEvent OnScroll;
    TSpecialLineColorsEvent OnSpecialLineColors;
    TStatusChangeEvent OnStatusChange;
    // The platform's own input events, run before the editor's handling.
    TPlainKeyEvent OnKeyDown;
    TPlainKeyEvent OnKeyUp;
    TPlainKeyPressEvent OnKeyPress;
    TPlainMouseEvent OnMouseDown;
    TPlainMouseEvent OnMouseUp;
    plat::TNotifyEvent OnDblClick;
    // A popup menu takes the right button's release.
    bool PopupMenuAssigned = false;

    // ---------------------------------------------------------- state
    TBufferCoord CaretPos() const { return m_caretPos; }
    TBufferCoord SelAnchor() const { return m_selAnchor; }
    TBufferCoord SelHead() const { return m_selHead; }
    TPlainSelectionMode ActiveSelMode() const { return m_activeSelMode; }
    int LastCaretColumn() const { return m_lastCaretColumn; }
    bool CaretAtRowEnd() const { return m_caretAtRowEnd; }
    int TopRow() const { return m_topRow; }
    int LeftColumn() const { return m_leftColumn; }
    int VisibleRows() const { return m_visibleRows; }
    int ColumnsInView() const { return m_columnsInView; }
    int CellWidth() const { return m_cellWidth; }
    int RowHeight() const { return m_rowHeight; }
    int GutterExtent() const { return m_gutterExtent; }
    int TextLeft() const { return m_textLeft; }
    int PaintLockDepth() const { return m_paintLockDepth; }
    TPlainEditorState EditorState() const { return m_state; }
    TPlainStatusChanges PendingStatus() const { return m_pendingStatus; }
    plat::TRect PendingInvalidRect() const { return m_pendingInvalidRect; }
    TPlainEditMark* Bookmarks(int Index) const;
    TPlainEditMarkList* MarkList() const { return m_markList.get(); }
    TPlainEditUndoList* UndoList() const { return m_undoList.get(); }
    TPlainEditUndoList* RedoList() const { return m_redoList.get(); }
    IPlainEditBufferPlugin* WordWrapPlugin() const { return m_wordWrap.get(); }
    bool ShowSpecialChars() const { return m_showSpecialChars; }
    plat::TPoint CaretShapeOffset() const { return m_caretShapeOffset; }
    int ImePending() const { return m_imePending; }
    TPlainEditKbdHandler* KbdHandler() const { return m_kbdHandler.get(); }
    TheTextDrawer* TextDrawer() const { return m_textDrawer.get(); }
    int LineCount() const { return m_lines->Count(); }

    // ---------------------------------------------------------- coordinates
    TDisplayPos BufferToDisplay(TBufferCoord p) const;
    TBufferCoord DisplayToBuffer(TDisplayPos d) const;
    int RowCount() const;
    int LineToRow(int line) const;
    int RowToLine(int row) const;
    TDisplayPos PixelToDisplay(int x, int y) const;
    TDisplayPos PixelToDisplayRounded(int x, int y) const;
    plat::TPoint DisplayToPixel(TDisplayPos d) const;
    void MoveCaretToPixel(int x, int y);

    // ---------------------------------------------------------- caret
    virtual void MoveCaret(TBufferCoord pos);
    virtual void MoveCaretAndCollapse(TBufferCoord pos);
    virtual void PlaceCaret(TBufferCoord pos, bool ensureVisible);
    void SetCaretColumn(int c);
    void SetCaretLine(int l);
    TDisplayPos CaretDisplayPos() const;
    int CaretDisplayColumn() const { return CaretDisplayPos().Column; }
    int CaretDisplayRow() const { return CaretDisplayPos().Row; }
    void RememberCaretColumn();
    void SetCaretDisplayPos(TDisplayPos d);

    // ---------------------------------------------------------- selection
    void SetSelAnchor(TBufferCoord p);
    void SetSelHead(TBufferCoord p);
    TBufferCoord SelFirst() const;
    TBufferCoord SelLast() const;
    bool SelAvail() const;
    bool PointInSelection(TBufferCoord p) const;
    void SetActiveSelMode(TPlainSelectionMode m);
    void SetCaretAndSel(TBufferCoord caret, TBufferCoord anchor, TBufferCoord head);
    void SelectAll();

    // ---------------------------------------------------------- text
    QString Text() const { return m_lines->Text(); }
    void SetText(const QString& Value) { m_lines->SetText(Value); }
    void ClearAll();
    QString SelectedText() const;
    void ReplaceSelection(const QString& v);
    void ClearSelection();
    void ReplaceSelectionRaw(TPlainSelectionMode mode, const QString& v, bool record);
    void ReplaceSelectionActive(const QString& v) { ReplaceSelectionRaw(m_activeSelMode, v, true); }
    void InsertColumnBlock(TBufferCoord start, TBufferCoord end, const QString& v, bool record);
    int PosToCharIndex(TBufferCoord p) const;
    TBufferCoord CharIndexToPos(int index) const;
    int SelStartIndex() const;
    void SetSelStartIndex(int v);
    int SelEndIndex() const;
    void SetSelEndIndex(int v);
    QString CaretLineText() const;
    void SetCaretLineText(const QString& Value);
    void StoreLine(int index, const QString& s);
    static QString TrimTrailingBlanks(const QString& s);
    void AdjustMarksForDeletion(int firstLine, int count);
    void AdjustMarksForInsertion(int firstLine, int count);

    // ---------------------------------------------------------- update lock, status, invalidation
    void BeginUpdate() { ++m_paintLockDepth; }
    void EndUpdate();
    void StatusChanged(TPlainStatusChanges changes);
    virtual void InvalidateRect(const plat::TRect& rect, bool erase = false);
    void InvalidateLine(int line);
    void InvalidateLines(int first, int last);
    void InvalidateGutterLines(int first, int last);
    void InvalidateGutter() { InvalidateGutterLines(-1, -1); }
    void InvalidateSelection();
    void Invalidate();
    void LockUndoLists();
    void UnlockUndoLists();
    bool Modified() const { return m_modified; }
    void SetModified(bool Value);
    bool UndoAvailable() const;
    void Undo();
    void Redo();
    bool CanPaste() const;
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    // ---------------------------------------------------------- commands
    virtual void CommandProcessor(TPlainEditorCommand Command, QChar AChar, const TPlainCommandData& Data = {});
    virtual void ExecuteCommand(TPlainEditorCommand Command, QChar AChar, const TPlainCommandData& Data);
    void MoveCaretHorizontally(int dx, bool extend);
    void MoveCaretVertically(int dy, bool extend);
    void MoveCaretExtending(TBufferCoord from, TBufferCoord to, bool extend);
    void GoLineStart(bool extend);
    void GoLineEnd(bool extend);
    int LeadingBlankCount(const QString& text, bool expandTabs) const;
    QString IndentString(int n, bool allowTabs) const;
    void DeleteSelectionForCommand();
    virtual void ResetKeystrokes();

    // Indentation and case.
    void DoTabKey();
    void DoShiftTabKey();
    void DoBlockIndent();
    void DoBlockUnindent();
    void DoCaseChange(TPlainEditorCommand command);
    static QString ToggleCaseText(const QString& text);

    // Words and brackets.
    virtual TBufferCoord NextWordPosEx(TBufferCoord p) const;
    virtual TBufferCoord WordStartEx(TBufferCoord p) const;
    virtual TBufferCoord WordEndEx(TBufferCoord p) const;
    virtual TBufferCoord PrevWordPosEx(TBufferCoord p) const;
    TBufferCoord NextWordPos() const { return NextWordPosEx(m_caretPos); }
    TBufferCoord WordStart() const { return WordStartEx(m_caretPos); }
    TBufferCoord WordEnd() const { return WordEndEx(m_caretPos); }
    TBufferCoord PrevWordPos() const { return PrevWordPosEx(m_caretPos); }
    void SetWordBlock(TBufferCoord p);
    void SetSelWord() { SetWordBlock(m_caretPos); }
    QString WordAtCaret();
    virtual TBufferCoord GetMatchingBracketEx(TBufferCoord p) const;
    TBufferCoord GetMatchingBracket() const { return GetMatchingBracketEx(m_caretPos); }
    void FindMatchingBracket();
    // Identifier characters (the highlighter's or the defaults), the
    // word-break characters, and the identifier set of word moves.
    TPlainCharSet IdentChars() const;
    TPlainCharSet WordBreakChars() const;
    TPlainCharSet WordMoveIdentChars() const;

    // Bookmarks.
    void SetBookMark(int BookMark, int X, int Y);
    void ClearBookMark(int BookMark);
    void GotoBookMark(int BookMark);
    bool GetBookMark(int BookMark, int& X, int& Y) const;

    // ---------------------------------------------------------- metrics and scrolling
    void FontChanged();
    void RecalcCellSize();
    void SizeOrFontChanged(bool fontChanged);
    void GutterChanged();
    void SetGutterExtent(int w);
    void SetLeftColumn(int c);
    void SetTopRow(int r);
    void EnsureCaretVisible() { EnsureCaretVisibleEx(false); }
    void EnsureCaretVisibleEx(bool forceToMiddle);
    void UpdateScrollBars();
    void CreateCaretShape();
    void PositionCaret();
    void ShowEditorCaret();
    void HideEditorCaret();
    void Resized(); // the window's size changed
    void HScroll(int code, int pos);
    void VScroll(int code, int pos);
    void MouseWheel(int delta, plat::TShiftState shift);
    // What the scroll bars were last told.
    TPlainScrollInfo ScrollInfo(TScrollBarKind kind) const { return m_scrollInfo[kind]; }
    QString ScrollHintText() const;

    // ---------------------------------------------------------- painting
    // Paints the canvas's clip rectangle of the client area: the gutter,
    // the text rows, then OnPaint and the transient painting.
    void Paint(plat::TCanvas& Canvas);
    virtual void PaintGutter(const plat::TRect& AClip, int FirstRow, int LastRow);
    // LastCol is the column after the last one the clip touches.
    virtual void PaintTextLines(const plat::TRect& AClip, int FirstRow, int LastRow, int FirstCol, int LastCol);
    virtual void DoOnPaint();
    // The canvas being painted on; none outside Paint.
    plat::TCanvas* PaintCanvas() const { return m_paintCanvas; }
    // The background of a row of text (the caret line's with ActiveLineColor).
    plat::TColor editorBackground(bool caretLine) const;
    // Kept by the painting code (PlainEdit_paint.cpp).
    struct RowPainter;
    struct PaintRun;

    // ---------------------------------------------------------- input
    void KeyDown(quint16& Key, plat::TShiftState Shift);
    void KeyUp(quint16& Key, plat::TShiftState Shift);
    void KeyPress(QChar& Key);
    TPlainEditorCommand TranslateKey(quint16 Key, plat::TShiftState Shift);
    // The input method's result string; followingChars characters that
    // the platform still sends as key presses for it are dropped.
    void ImeComposition(const QString& result, int followingChars = 0);
    void MouseDown(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y);
    void MouseMove(plat::TShiftState Shift, int X, int Y);
    void MouseUp(plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y);
    void DblClick();
    void ComputeAutoScroll(int X, int Y);
    void ScrollTimerTick();
    plat::TPoint AutoScrollDelta() const { return m_autoScrollDelta; }
    // The cursor for a client point (and the view is told).
    plat::TCursor UpdateMouseCursor(int X, int Y);
    virtual void DoOnGutterClick(plat::TMouseButton Button, int X, int Y);
    // Drag and drop of text between editors (the same one may be both).
    bool DragOver(TCustomPlainEdit* Source, int X, int Y, TPlainDragState State, plat::TShiftState Shift,
                  plat::TCursor& DragCursor);
    void DragDrop(TCustomPlainEdit* Source, int X, int Y, plat::TShiftState Shift);
    void DragCanceled();
    void DropFiles(const QStringList& Files, int X, int Y);
    void FocusEnter();
    void FocusExit();

    // Window messages.
    int DlgCode() const;
    QString WmGetText(int bufferSize) const;
    int WmGetTextLength() const;
    bool WmSetText(const QString& text);
    void WmCut();
    void WmCopy();
    void WmPaste();
    void WmClear();
    void WmUndo();
    void WmCaptureChanged();

    // Memo messages; positions are character indexes (CR LF counts two).
    int EmGetSel(int* start = nullptr, int* end = nullptr) const;
    void EmSetSel(int start, int end);
    int EmGetModify() const { return m_modified ? 1 : 0; }
    void EmSetModify(bool value) { SetModified(value); }
    int EmGetLineCount() const { return LineCount(); }
    // At most bufferSize characters of a 0-based line.
    QString EmGetLine(int line, int bufferSize) const;
    QString EmGetSelText() const { return SelectedText(); }
    void EmReplaceSel(bool canUndo, const QString& text);
    int EmCanUndo() const;
    int EmUndo();
    int EmGetFirstVisibleLine() const { return m_topRow - 1; }
    int EmCharFromPos(int x, int y) const;

    // Key-map streaming: "RemovedKeystrokes" and "AddedKeystrokes".
    void DefineProperties(plat::TFiler& Filer) override;

    // ---------------------------------------------------------- IPlainWrapHost
    int WrapLineCount() const override { return m_lines->Count(); }
    const QString& WrapLineText(int index) const override { return m_lines->Line(index); }
    int WrapTabWidth() const override { return m_tabWidth; }
    int WrapCharsInWindow() const override { return m_columnsInView; }
    TPlainCharSet WrapIdentifierChars() const override;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;
    virtual void DoChange();
    virtual bool GetReadOnly() const { return m_readOnly; }
    virtual void SetReadOnly(bool Value);
    virtual void LinesChanged();
    virtual void DoOnClearBookmark(TPlainEditMark*& Mark);
    virtual void DoOnCommandProcessed(TPlainEditorCommand Command, QChar AChar, const TPlainCommandData& Data);
    virtual void DoOnPaintTransientEx(TTransientType Type, bool Lock);
    virtual void DoOnPaintTransient(TTransientType Type) { DoOnPaintTransientEx(Type, false); }
    virtual void DoOnPlaceBookmark(TPlainEditMark*& Mark);
    virtual void DoOnProcessCommand(TPlainEditorCommand& Command, QChar& AChar, const TPlainCommandData& Data);
    virtual TPlainReplaceAction DoOnReplaceText(const QString& ASearch, const QString& AReplace, int Line, int Column);
    virtual bool DoOnSpecialLineColors(int Line, plat::TColor& Foreground, plat::TColor& Background);
    virtual void DoOnStatusChange(TPlainStatusChanges Changes);

private:
    friend class TPlainEditMark;
    // Line store reactions.
    void linesChanging();
    void linesCleared();
    void linesDeleted(int index, int count);
    void linesInserted(int index, int count);
    void linesPutted(int index, int count);
    void undoRedoAdded(TPlainEditUndoList* sender);
    void markListChanged();
    void gutterOptionChanged();
    // Editing commands.
    void deleteLastChar();
    void deleteChar();
    void deleteWordOrEol(TPlainEditorCommand command);
    void deleteLastWordOrBol(TPlainEditorCommand command);
    void deleteLine();
    void lineBreak(TPlainEditorCommand command);
    void typeChar(QChar ch);
    void imeString(const QString& s);
    void executeMovement(TPlainEditorCommand command, const TPlainCommandData& data);
    void setMarkerCommand(int number, const TPlainCommandData& data);
    int smartPreviousIndent(int caretChar, bool expandTabs) const;
    void horizontalStepAfterTyping();
    void typeOverSelection(const QString& s);
    TBufferCoord orderForReplacement(TPlainSelectionMode insertMode);
    TBufferCoord extendFrom() const;
    // Replaying undo records.
    using ReplayFn = void (TCustomPlainEdit::*)(const TPlainEditUndoItem&);
    void undoItem(const TPlainEditUndoItem& item);
    void redoItem(const TPlainEditUndoItem& item);
    void replayItem(TPlainEditUndoList& from, ReplayFn replay);
    void moveGroupBreak(TPlainEditUndoList& from, TPlainEditUndoList& to);
    void replayStep(TPlainEditUndoList& from, TPlainEditUndoList& to, ReplayFn replay, bool pair,
                    TPlainUndoReason pairEnd);
    // Text primitives.
    void deleteSelection(TBufferCoord first, TBufferCoord last, TPlainSelectionMode mode, bool trimJoined);
    void replaceSelectionAt(TPlainSelectionMode mode, const QString& v, bool record, int columnChar);
    // The text cut into pieces at its line breaks (pe::splitPieces).
    int insertText(TPlainSelectionMode mode, const QStringList& pieces, bool record, int columnChar);
    int insertNormal(const QStringList& pieces, bool record);
    int insertLines(const QStringList& pieces);
    int insertColumn(const QStringList& pieces, bool record, int columnChar);
    QString removedText() const;
    // The length of a wrapped row; 0 outside the rows.
    int wrapRowLength(int row) const;
    TBufferCoord replacementStart(TPlainSelectionMode insertMode) const;
    // Pads a line with blanks to chars characters, recording the blanks.
    void padLine(int line, int chars, bool record);
    QString lineText(int line) const; // 1-based; empty outside the store
    int lineLength(int line) const { return int(lineText(line).size()); }
    TBufferCoord limitSelEnd(TBufferCoord p) const;
    // Clipboard.
    void publishText(const QString& text);
    // Painting.
    void paintMarks(int firstLine, int lastLine);
    int paintLine(RowPainter& p, int line, int row, int lastRow);
    void highlightRuns(std::vector<PaintRun>& runs, int line, const QString& text, qint64 rowStart, int firstCol,
                       int lastCol, plat::TColor specialFg, plat::TColor bg);
    // Pixel helpers.
    plat::TRect textRect() const;
    void showScrollHint();
    void publishScrollBar(TScrollBarKind kind, bool visible, const TPlainScrollInfo& info);
    void readKeystrokes(plat::TReader& Reader, bool removed);
    void writeKeystrokes(plat::TWriter& Writer, bool removed);
    bool keystrokesDiffer(plat::TFiler& Filer) const;
    std::unique_ptr<TPlainEditKeyStrokes> baseKeystrokes(plat::TFiler& Filer) const;

    IPlainEditView* m_view = nullptr;

    std::unique_ptr<TPlainEditStringList> m_lines;
    std::unique_ptr<TPlainEditUndoList> m_undoList;
    std::unique_ptr<TPlainEditUndoList> m_redoList;
    std::unique_ptr<plat::TFont> m_font;
    std::unique_ptr<plat::TFont> m_dummyFont;
    std::unique_ptr<TPlainSelectedColor> m_selectedColor;
    std::unique_ptr<TPlainBookMarkOpt> m_bookMarkOptions;
    std::unique_ptr<TPlainGutter> m_gutter;
    std::unique_ptr<TPlainGlyph> m_wordWrapGlyph;
    std::unique_ptr<TheTextDrawer> m_textDrawer;
    std::unique_ptr<TPlainEditKbdHandler> m_kbdHandler;
    std::unique_ptr<TPlainEditKeyStrokes> m_keystrokes;
    std::unique_ptr<TPlainEditMarkList> m_markList;
    std::unique_ptr<TPlainWordWrapPlugin> m_wordWrap;
    std::array<TPlainEditMark*, 10> m_bookmarks{};
    std::unique_ptr<TPlainInternalImage> m_internalImage; // the bookmark pictures, made on first use
    plat::TCanvas* m_paintCanvas = nullptr;
    TPlainCustomHighlighter* m_highlighter = nullptr;
    TPlainEditSearchCustom* m_searchEngine = nullptr;

    // Published values.
    plat::TColor m_activeLineColor = plat::clNone;
    TBorderStyle m_borderStyle = bsSingle;
    plat::TColor m_color = plat::clWindow;
    plat::TCursor m_cursor = plat::crIBeam;
    int m_extraLineSpacing = 0;
    bool m_hideSelection = false;
    TPlainEditCaretType m_insertCaret = ctVerticalLine;
    TPlainEditCaretType m_overwriteCaret = ctBlock;
    bool m_insertMode = true;
    int m_maxScrollWidth = 1024;
    TPlainEditorOptions m_options = kPlainDefaultOptions;
    bool m_readOnly = false;
    int m_rightEdge = 80;
    plat::TColor m_rightEdgeColor = plat::clSilver;
    TScrollStyle m_scrollBars = ssBoth;
    plat::TColor m_scrollHintColor = plat::clInfoBk;
    TScrollHintFormat m_scrollHintFormat = shfTopLineOnly;
    TPlainSelectionMode m_selectionMode = smNormal;
    int m_tabWidth = 8;
    bool m_wantReturns = true;
    bool m_wantTabs = false;

    // Internal state.
    TBufferCoord m_caretPos{1, 1};
    TBufferCoord m_selAnchor{1, 1};
    TBufferCoord m_selHead{1, 1};
    TPlainSelectionMode m_activeSelMode = smNormal;
    int m_lastCaretColumn = 1;
    bool m_trailByteStep = false;
    mutable bool m_caretAtRowEnd = false;
    int m_topRow = 1;
    int m_leftColumn = 1;
    int m_visibleRows = 0;
    int m_columnsInView = 0;
    int m_cellWidth = 1;
    int m_rowHeight = 1;
    int m_gutterExtent = 0;
    int m_textLeft = 2;
    int m_paintLockDepth = 0;
    TPlainEditorState m_state;
    TPlainStatusChanges m_pendingStatus;
    plat::TRect m_pendingInvalidRect;
    bool m_modified = false;
    bool m_showSpecialChars = false;
    plat::TPoint m_caretShapeOffset;
    int m_imePending = 0;
    plat::TPoint m_pressPoint;
    plat::TPoint m_autoScrollDelta;
    int m_wheelRemainder = 0;
    int m_transientDepth = 0;
    quint16 m_lastKey = 0;
    plat::TShiftState m_lastShift;
    bool m_replaying = false; // an undo or redo record is being replayed
    std::array<TPlainScrollInfo, 2> m_scrollInfo{};
};

// Publishes the properties; the class the program places.
class TPlainEdit : public TCustomPlainEdit {
    PLAT_CLASS(TPlainEdit, TCustomPlainEdit)
public:
    explicit TPlainEdit(plat::TComponent* AOwner = nullptr) : TCustomPlainEdit(AOwner) {}
};
