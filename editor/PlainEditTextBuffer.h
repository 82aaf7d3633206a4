#pragma once
// The editor's line store and its undo lists.
//
// TPlainEditStringList keeps one record per line (the text, a caller's
// object it never frees, the highlighter's line-end state, the cached
// tab-expanded length and flags), detects and keeps the line-break
// convention of a loaded file, and tells its owner about every structural
// change through its events. TPlainEditUndoList is a bounded stack of
// recorded changes with compound grouping and a clean point. The control
// owns one store and two undo lists and drives them.

#include "PlainEditMiscProcs.h"
#include "PlainEditTypes.h"

#include "CodePage.h"
#include "StringList.h"
#include "TypeInfo.h"

#include <QByteArray>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

enum TPlainLineBreakFormat : quint8 { lbfCRLF, lbfLF, lbfCR };

// Flags of a line record.
enum TPlainStringFlag : quint8 { sfTabsPresent = 1, sfTabsAbsent = 2, sfExpansionStale = 4 };

struct TPlainEditStringRec {
    QString Text;
    void* Data = nullptr;
    qintptr Range = -1;
    int ExpandedLength = -1;
    quint8 Flags = sfExpansionStale;
};

class TPlainEditStringList : public plat::TStrings {
public:
    using TNotify = std::function<void(TPlainEditStringList* Sender)>;
    using TIndexEvent = std::function<void(TPlainEditStringList* Sender, int Index, int Count)>;

    TPlainEditStringList();
    ~TPlainEditStringList() override;

    // TStrings. Strings and Objects give nothing outside 0..Count-1; writes
    // outside it raise EPlainEditStringList "Invalid stringlist index %d".
    int Count() const override { return int(m_lines.size()); }
    QString Strings(int index) const override;
    void SetStrings(int index, const QString& s) override;
    void* Objects(int index) const override;
    void SetObjects(int index, void* object) override;
    int Add(const QString& s) override;
    void Insert(int index, const QString& s) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    using plat::TStrings::AddStrings;
    void AddStrings(const plat::TStrings& strings);
    // The lines joined by CR LF, without a break after the last.
    QString Text() const override;
    // The platform's rule: breaks at CR, LF or CR LF; a final break adds no line.
    void SetText(const QString& text) override;
    // Bytes in code page 1250, or UTF-8 when the file was UTF-8 (see Encoding).
    void LoadFromStream(plat::TStream& stream) override;
    void SaveToStream(plat::TStream& stream) const override;
    void LoadFromFile(const QString& fileName) override;
    // Written to a temporary file and renamed over the old one.
    void SaveToFile(const QString& fileName) const override;

    // A direct reference to a line's text (valid until the next change).
    const QString& Line(int index) const { return m_lines[size_t(index)].Text; }

    int Capacity() const { return m_capacity; }
    // Raises EListError "Stringlist capacity cannot be smaller than count".
    void SetCapacity(int capacity);

    TPlainLineBreakFormat LineBreakFormat() const { return m_lineBreakFormat; }
    void SetLineBreakFormat(TPlainLineBreakFormat format) { m_lineBreakFormat = format; }
    bool AppendLineBreakAtEnd() const { return m_appendLineBreakAtEnd; }
    void SetAppendLineBreakAtEnd(bool value) { m_appendLineBreakAtEnd = value; }
    // The encoding of the file last loaded; a save keeps it, and text that
    // code page 1250 cannot hold is saved as UTF-8 rather than lost.
    plat::TextFileEncoding Encoding() const { return m_encoding; }
    void SetEncoding(plat::TextFileEncoding encoding) { m_encoding = encoding; }
    // The bytes a save writes.
    QByteArray SaveBytes() const;

    int TabWidth() const { return m_tabWidth; }
    void SetTabWidth(int value);
    QString ExpandedText(int index) const;
    // In cells: a tab runs to the next stop, a surrogate pair is one cell.
    int ExpandedLength(int index) const;
    int LongestExpandedLength() const;
    qintptr RangeOf(int index) const;
    void SetRangeOf(int index, qintptr range);
    quint8 FlagsOf(int index) const;

    void DeleteLines(int index, int count);
    void InsertLines(int index, int count);

    TNotify OnChange;
    TNotify OnChanging;
    TNotify OnCleared;
    TIndexEvent OnDeleted;
    TIndexEvent OnInserted;
    TIndexEvent OnReplaced;

protected:
    void SetUpdateState(bool updating) override;

private:
    [[noreturn]] void listIndexError(int index) const;
    void growFor(int extra);
    void insertRecords(int index, std::vector<TPlainEditStringRec>&& records);
    void loadBytes(QByteArrayView bytes);
    void expand(int index) const;

    // Mutable for the expansion caches that readers fill.
    mutable std::vector<TPlainEditStringRec> m_lines;
    int m_capacity = 0;
    TPlainLineBreakFormat m_lineBreakFormat = lbfCRLF;
    bool m_appendLineBreakAtEnd = false;
    plat::TextFileEncoding m_encoding = plat::TextFileEncoding::Cp1250;
    TExpandTabsProc m_expandTabs = nullptr;
    mutable int m_longestIndex = -1;
    int m_tabWidth = 0;
};

// ---------------------------------------------------------------- undo

enum TPlainUndoReason : quint8 {
    urInsert,
    urPaste,
    urDragDropInsert,
    urDeleteAfterCursor,
    urDelete,
    urLineBreak,
    urIndent,
    urUnindent,
    urSilentDelete,
    urSilentDeleteAfterCursor,
    urBracket1Begin,
    urBracket1End,
    urPasteBegin,
    urPasteEnd,
    urBracket2Begin,
    urBracket2End,
    urBracket3Begin,
    urBracket3End,
    urCaret,
    urSelection,
    urNothing,
    urGroupBreak,
    urDeleteAll,
    urWhiteSpaceAdd
};
// "urInsert" ... "urWhiteSpaceAdd".
QString UndoReasonName(TPlainUndoReason reason);

class TPlainEditUndoItem : public plat::TPersistent {
    PLAT_CLASS(TPlainEditUndoItem, plat::TPersistent)
public:
    TPlainEditUndoItem() = default;
    void Assign(plat::TPersistent* Source) override;

    TPlainUndoReason Reason = urNothing;
    TPlainSelectionMode SelectionMode = smNormal;
    TBufferCoord StartPos;
    TBufferCoord EndPos;
    QString ChangeText;
    qint32 ChangeNumber = 0;
};

class TPlainEditUndoList : public plat::TPersistent {
    PLAT_CLASS(TPlainEditUndoList, plat::TPersistent)
public:
    using TNotify = std::function<void(TPlainEditUndoList* Sender)>;

    TPlainEditUndoList();
    ~TPlainEditUndoList() override;
    void Assign(plat::TPersistent* Source) override;

    void RecordChange(TPlainUndoReason Reason, TBufferCoord StartPos, TBufferCoord EndPos, const QString& ChangeText,
                      TPlainSelectionMode SelectionMode);
    void PushChange(std::unique_ptr<TPlainEditUndoItem> item);
    std::unique_ptr<TPlainEditUndoItem> PopChange();
    TPlainEditUndoItem* PeekChange() const;
    bool CanUndo() const { return !m_items.empty(); }
    int ItemCount() const { return int(m_items.size()); }
    // The items, oldest first.
    const TPlainEditUndoItem& Item(int index) const { return *m_items[size_t(index)]; }

    void BeginCompound();
    void EndCompound();
    TPlainUndoReason LastReason() const;
    void AddGroupBreak();
    void Lock() { ++m_lockCount; }
    void Unlock();
    bool Locked() const { return m_lockCount > 0; }
    void Clear();

    int MaxActions() const { return m_maxActions; }
    void SetMaxActions(int value);
    bool CleanPoint() const;
    void SetCleanPoint(bool value);

    qint32 CompoundNumber() const { return m_compoundNumber; }
    void SetCompoundNumber(qint32 value) { m_compoundNumber = value; }
    int CompoundDepth() const { return m_compoundDepth; }
    bool HistoryTruncated() const { return m_historyTruncated; }
    qint32 NextChangeNumber() const { return m_nextChangeNumber; }
    void SetNextChangeNumber(qint32 value) { m_nextChangeNumber = value > 0 ? value : 1; }
    qint32 CleanChangeNumber() const { return m_cleanChangeNumber; }
    bool InsideRedo() const { return m_insideRedo; }
    void SetInsideRedo(bool value) { m_insideRedo = value; }

    TNotify OnChangeRecorded;

private:
    void trimToLimit();
    void advanceChangeNumber();

    qint32 m_compoundNumber = 0;
    int m_compoundDepth = 0;
    bool m_historyTruncated = false;
    std::deque<std::unique_ptr<TPlainEditUndoItem>> m_items;
    int m_lockCount = 0;
    int m_maxActions = 1024;
    qint32 m_nextChangeNumber = 1;
    qint32 m_cleanChangeNumber = 0;
    bool m_trimmedSinceClean = false;
    bool m_insideRedo = false;
};

// ---------------------------------------------------------------- file writer

// Buffered writing of lines with a line-break convention. The file is
// written to a temporary file that Commit renames over the old one; a
// writer destroyed without Commit leaves the old file as it was.
class TPlainEditFiler {
public:
    static constexpr int kBufferSize = 16384;
    virtual ~TPlainEditFiler();
    TPlainEditFiler(const TPlainEditFiler&) = delete;
    TPlainEditFiler& operator=(const TPlainEditFiler&) = delete;

    TPlainLineBreakFormat LineBreakFormat() const { return m_format; }
    void SetLineBreakFormat(TPlainLineBreakFormat format) { m_format = format; }
    virtual void FlushBuffer() {}

protected:
    TPlainEditFiler() = default;
    QByteArray m_buffer;
    int m_fill = 0;
    TPlainLineBreakFormat m_format = lbfLF;
};

class TPlainEditFileWriter : public TPlainEditFiler {
public:
    // Raises EFCreateError "Cannot create file \"%s\". %s".
    TPlainEditFileWriter(const QString& fileName, plat::TextFileEncoding encoding);
    ~TPlainEditFileWriter() override;

    void EmitText(const QString& S);
    void WriteLineText(const QString& S);
    void FlushBuffer() override;
    // Flushes and puts the file in place; raises EFCreateError on failure.
    void Commit();
    int BufferSize() const { return int(m_buffer.size()); }

private:
    void emitBytes(const QByteArray& bytes, const char* lineBreak);
    struct Impl;
    std::unique_ptr<Impl> d;
    plat::TextFileEncoding m_encoding;
};
