#include "PlainEditWordWrap.h"

#include "Exceptions.h"

#include <algorithm>

namespace {

constexpr int kMaxRow = 255;

// Cell flags of a line being wrapped.
constexpr quint8 kCellBlank = 1; // a blank or a cell of a tab
constexpr quint8 kCellTab = 2;
constexpr quint8 kBreak = 4;

} // namespace

IPlainWrapHost::~IPlainWrapHost() = default;
IPlainEditBufferPlugin::~IPlainEditBufferPlugin() = default;

TPlainWordWrapPlugin::TPlainWordWrapPlugin(IPlainWrapHost* owner) : m_owner(owner)
{
    if (!owner)
        throw plat::EPlainEditError(QStringLiteral("TPlainWordWrapPlugin must be owned by TCustomPlainEdit"));
    takeDisplay();
    wrapAll();
}

TPlainWordWrapPlugin::~TPlainWordWrapPlugin() = default;

void TPlainWordWrapPlugin::takeDisplay()
{
    m_maxRowLength = std::clamp(m_owner->WrapCharsInWindow(), 0, kMaxRow);
    m_minRowLength = std::max(1, m_maxRowLength - m_maxRowLength / 3);
    m_breakChars = m_owner->WrapIdentifierChars().Complement();
}

void TPlainWordWrapPlugin::growLines(int needed)
{
    if (needed > m_lineCapacity) {
        // Whole blocks of 256, at least half as many again, so that a long
        // run of growth copies the table a bounded number of times.
        needed = std::max(needed, m_lineCapacity + m_lineCapacity / 2);
        m_lineCapacity = (needed / 256 + 1) * 256;
        m_lineRowEnds.reserve(size_t(m_lineCapacity));
    }
}

void TPlainWordWrapPlugin::growRows(int needed)
{
    if (needed > m_rowCapacity) {
        needed = std::max(needed, m_rowCapacity + m_rowCapacity / 2);
        m_rowCapacity = needed + 512 - needed % 512;
        m_rowLengths.reserve(size_t(m_rowCapacity));
    }
}

int TPlainWordWrapPlugin::LineRows(int index) const
{
    return m_lineRowEnds[size_t(index)] - rowsBefore(index);
}

int TPlainWordWrapPlugin::wrapLine(const QString& text, std::vector<quint8>& out) const
{
    const int width = std::max(1, m_owner->WrapTabWidth());
    const int length = TabExpandedLength(text, width);
    const int maxRow = m_maxRowLength;
    if (length <= maxRow) {
        out.push_back(quint8(length));
        return 1;
    }
    // One flag byte per cell of the expanded line.
    std::vector<quint8>& cells = m_scratch;
    cells.clear();
    cells.reserve(size_t(length));
    const int n = int(text.size());
    for (int i = 1; i <= n; ++i) {
        if (IsTrailChar(text, i))
            continue;
        const char32_t ch = CharAt(text, i);
        if (ch == U'\t') {
            const int cellsOfTab = width - int(cells.size()) % width;
            cells.insert(cells.end(), size_t(cellsOfTab), quint8(kCellBlank | kCellTab | kBreak));
        } else {
            cells.push_back(quint8((ch == U' ' ? kCellBlank : 0) | (m_breakChars.Contains(ch) ? kBreak : 0)));
        }
    }
    const int total = int(cells.size());
    int rows = 0;
    int p = 0;
    int e = p + maxRow;
    while (e < total) {
        int end = e;
        if (cells[size_t(e)] & kCellBlank) {
            while (end < total && (cells[size_t(end)] & kCellBlank))
                ++end;
        } else {
            for (int k = e - 1; k > p + m_minRowLength; --k) {
                if (cells[size_t(k)] & kBreak) {
                    end = k + 1;
                    break;
                }
            }
        }
        if (end - p > kMaxRow) {
            // Not inside an expanded tab, back to its stop; but a row keeps
            // at least one cell (a tab wider than a row must be split).
            end = p + kMaxRow;
            const int lower = std::max(p + (kMaxRow / width) * width, p + 1);
            while (end > lower && (cells[size_t(end)] & kCellTab))
                --end;
        }
        out.push_back(quint8(end - p));
        ++rows;
        p = end;
        e = p + maxRow;
    }
    if (p < total) {
        out.push_back(quint8(total - p));
        ++rows;
    }
    return rows;
}

void TPlainWordWrapPlugin::wrapAll()
{
    const int lines = m_owner->WrapLineCount();
    m_lineRowEnds.clear();
    m_rowLengths.clear();
    if (lines == 0 || m_maxRowLength == 0) {
        m_lineRowEnds.shrink_to_fit();
        m_rowLengths.shrink_to_fit();
        m_lineCapacity = 0;
        m_rowCapacity = 0;
        return;
    }
    growLines(lines);
    int rows = 0;
    for (int i = 0; i < lines; ++i) {
        const QString& text = m_owner->WrapLineText(i);
        // Room for the line's worst case first.
        const int length = TabExpandedLength(text, m_owner->WrapTabWidth());
        growRows(rows + (std::max(1, length) - 1) / m_minRowLength + 1);
        rows += wrapLine(text, m_rowLengths);
        m_lineRowEnds.push_back(rows);
    }
}

int TPlainWordWrapPlugin::rewrapLine(int index)
{
    std::vector<quint8> rows;
    wrapLine(m_owner->WrapLineText(index), rows);
    const int first = rowsBefore(index);
    const int oldCount = LineRows(index);
    const int diff = int(rows.size()) - oldCount;
    if (diff > 0) {
        growRows(int(m_rowLengths.size()) + diff);
        m_rowLengths.insert(m_rowLengths.begin() + first + oldCount, size_t(diff), 0);
    } else if (diff < 0) {
        m_rowLengths.erase(m_rowLengths.begin() + first + oldCount + diff, m_rowLengths.begin() + first + oldCount);
    }
    std::copy(rows.begin(), rows.end(), m_rowLengths.begin() + first);
    if (diff != 0) {
        for (size_t j = size_t(index); j < m_lineRowEnds.size(); ++j)
            m_lineRowEnds[j] += diff;
    }
    return diff;
}

int TPlainWordWrapPlugin::RowCount() const
{
    // Lines the plugin has not wrapped (no window width yet) take one row each.
    const int wrapped = m_lineRowEnds.empty() ? 0 : m_lineRowEnds.back();
    return wrapped + std::max(0, m_owner->WrapLineCount() - LineCount());
}

int TPlainWordWrapPlugin::RowLength(int row) const
{
    if (row < 1 || row > RowCount())
        throw plat::EListError(QStringLiteral("List index out of bounds (%1)").arg(row));
    const int wrapped = m_lineRowEnds.empty() ? 0 : m_lineRowEnds.back();
    if (row > wrapped) {
        const int line = LineCount() + row - wrapped - 1;
        return TabExpandedLength(m_owner->WrapLineText(line), m_owner->WrapTabWidth());
    }
    return m_rowLengths[size_t(row - 1)];
}

TDisplayPos TPlainWordWrapPlugin::BufferToDisplay(TBufferCoord pos) const
{
    const int wrapped = m_lineRowEnds.empty() ? 0 : m_lineRowEnds.back();
    if (pos.Line > LineCount())
        return TDisplayPos{pos.Char, wrapped + pos.Line - LineCount()};
    const int index = pos.Line - 1;
    const int first = rowsBefore(index);
    const int last = m_lineRowEnds[size_t(index)];
    qint64 sum = 0;
    for (int r = first; r < last; ++r) {
        const int length = m_rowLengths[size_t(r)];
        if (sum + length >= pos.Char)
            return TDisplayPos{ClampToInt(pos.Char - sum), r + 1};
        if (r + 1 < last)
            sum += length;
    }
    return TDisplayPos{ClampToInt(pos.Char - sum), last};
}

TBufferCoord TPlainWordWrapPlugin::DisplayToBuffer(TDisplayPos pos) const
{
    const int wrapped = m_lineRowEnds.empty() ? 0 : m_lineRowEnds.back();
    if (pos.Row > wrapped)
        return TBufferCoord{pos.Column, pos.Row + LineCount() - wrapped};
    const auto it = std::lower_bound(m_lineRowEnds.begin(), m_lineRowEnds.end(), pos.Row);
    const int index = int(it - m_lineRowEnds.begin());
    const int first = rowsBefore(index);
    const bool lastRow = pos.Row == *it;
    const int limit = lastRow ? m_maxRowLength + 1 : m_rowLengths[size_t(pos.Row - 1)] + 1;
    qint64 before = 0;
    for (int r = first; r < pos.Row - 1; ++r)
        before += m_rowLengths[size_t(r)];
    return TBufferCoord{ClampToInt(std::min(pos.Column, limit) + before), index + 1};
}

int TPlainWordWrapPlugin::NotifyLinesInserted(int index, int count)
{
    if (m_maxRowLength == 0)
        return 0;
    const int before = RowCount();
    if (index < 0 || count <= 0 || index > LineCount() || m_owner->WrapLineCount() != LineCount() + count) {
        wrapAll();
        return RowCount() - before;
    }
    std::vector<quint8> rows;
    std::vector<int> ends;
    ends.reserve(size_t(count));
    const int start = rowsBefore(index);
    for (int i = index; i < index + count; ++i) {
        wrapLine(m_owner->WrapLineText(i), rows);
        ends.push_back(start + int(rows.size()));
    }
    const int added = int(rows.size());
    growLines(LineCount() + count);
    growRows(int(m_rowLengths.size()) + added);
    m_rowLengths.insert(m_rowLengths.begin() + start, rows.begin(), rows.end());
    for (size_t j = size_t(index); j < m_lineRowEnds.size(); ++j)
        m_lineRowEnds[j] += added;
    m_lineRowEnds.insert(m_lineRowEnds.begin() + index, ends.begin(), ends.end());
    return added;
}

int TPlainWordWrapPlugin::NotifyLinesDeleted(int index, int count)
{
    if (m_maxRowLength == 0)
        return 0;
    const int before = RowCount();
    if (index < 0 || count < 1 || index + count > LineCount() || m_owner->WrapLineCount() != LineCount() - count) {
        wrapAll();
        return before - RowCount();
    }
    const int first = rowsBefore(index);
    const int last = m_lineRowEnds[size_t(index + count - 1)];
    const int removed = last - first;
    m_rowLengths.erase(m_rowLengths.begin() + first, m_rowLengths.begin() + last);
    m_lineRowEnds.erase(m_lineRowEnds.begin() + index, m_lineRowEnds.begin() + index + count);
    for (size_t j = size_t(index); j < m_lineRowEnds.size(); ++j)
        m_lineRowEnds[j] -= removed;
    return removed;
}

int TPlainWordWrapPlugin::NotifyLinesReplaced(int index, int count)
{
    if (m_maxRowLength == 0)
        return 0;
    const int before = RowCount();
    if (index < 0 || count < 1 || index + count > LineCount() || m_owner->WrapLineCount() != LineCount()) {
        wrapAll();
        return RowCount() - before;
    }
    int diff = 0;
    for (int i = index; i < index + count; ++i)
        diff += rewrapLine(i);
    return diff;
}

void TPlainWordWrapPlugin::NotifyDisplayChanged()
{
    if (std::clamp(m_owner->WrapCharsInWindow(), 0, kMaxRow) != m_maxRowLength)
        Rewrap();
}

void TPlainWordWrapPlugin::Rewrap()
{
    takeDisplay();
    wrapAll();
}
