#pragma once
// Soft word wrap: every line is cut into rows that fit the window, and the
// conversions between text positions and screen positions go through the
// plugin. Rows are measured in cells of the tab-expanded line.

#include "PlainEditMiscProcs.h"
#include "PlainEditTypes.h"

#include <QString>

#include <vector>

// What the plugin needs of its editor.
class IPlainWrapHost {
public:
    virtual ~IPlainWrapHost();
    virtual int WrapLineCount() const = 0;
    virtual const QString& WrapLineText(int index) const = 0; // 0-based
    virtual int WrapTabWidth() const = 0;
    // The window's width in characters (0 before the window exists).
    virtual int WrapCharsInWindow() const = 0;
    virtual TPlainCharSet WrapIdentifierChars() const = 0;
};

class IPlainEditBufferPlugin {
public:
    virtual ~IPlainEditBufferPlugin();
    virtual TDisplayPos BufferToDisplay(TBufferCoord pos) const = 0;
    virtual TBufferCoord DisplayToBuffer(TDisplayPos pos) const = 0;
    virtual int RowCount() const = 0;
    virtual int RowLength(int row) const = 0;
    virtual int NotifyLinesInserted(int index, int count) = 0;
    virtual int NotifyLinesDeleted(int index, int count) = 0;
    virtual int NotifyLinesReplaced(int index, int count) = 0;
    virtual void NotifyDisplayChanged() = 0;
    virtual void Rewrap() = 0;
};

class TPlainWordWrapPlugin final : public IPlainEditBufferPlugin {
public:
    // Raises EPlainEditError "TPlainWordWrapPlugin must be owned by
    // TCustomPlainEdit" without an owner.
    explicit TPlainWordWrapPlugin(IPlainWrapHost* owner);
    ~TPlainWordWrapPlugin() override;

    // Columns are cells within the line (BufferToDisplay) or row.
    TDisplayPos BufferToDisplay(TBufferCoord pos) const override;
    TBufferCoord DisplayToBuffer(TDisplayPos pos) const override;
    int RowCount() const override;
    // Raises EListError "List index out of bounds (%d)" outside 1..RowCount.
    int RowLength(int row) const override;
    // Without a window width these do nothing and answer 0; a change that
    // does not fit the wrapped lines wraps everything again.
    int NotifyLinesInserted(int index, int count) override;
    int NotifyLinesDeleted(int index, int count) override;
    int NotifyLinesReplaced(int index, int count) override;
    void NotifyDisplayChanged() override;
    void Rewrap() override;

    int MaxRowLength() const { return m_maxRowLength; }
    int MinRowLength() const { return m_minRowLength; }
    int LineCount() const { return int(m_lineRowEnds.size()); }
    // The rows of a 0-based wrapped line, first and count.
    int LineFirstRow(int index) const { return index == 0 ? 1 : m_lineRowEnds[size_t(index - 1)] + 1; }
    int LineRows(int index) const;
    int LineCapacity() const { return m_lineCapacity; }
    int RowCapacity() const { return m_rowCapacity; }

private:
    void takeDisplay();
    void wrapAll();
    // Appends the rows of a line to out; answers their number.
    int wrapLine(const QString& text, std::vector<quint8>& out) const;
    int rewrapLine(int index);
    void growLines(int needed);
    void growRows(int needed);
    int rowsBefore(int line) const { return line == 0 ? 0 : m_lineRowEnds[size_t(line - 1)]; }

    IPlainWrapHost* m_owner;
    std::vector<int> m_lineRowEnds;
    std::vector<quint8> m_rowLengths;
    int m_lineCapacity = 0;
    int m_rowCapacity = 0;
    int m_maxRowLength = 0;
    int m_minRowLength = 1;
    TPlainCharSet m_breakChars;
    mutable std::vector<quint8> m_scratch;
};
