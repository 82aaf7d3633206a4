#include "PlainEditTextBuffer.h"

#include "Exceptions.h"
#include "Files.h"
#include "Streams.h"

#include <QSaveFile>

#include <algorithm>
#include <limits>

namespace {

constexpr QChar kCR = QLatin1Char('\r');
constexpr QChar kLF = QLatin1Char('\n');
const QString kLineBreakCRLF = QStringLiteral("\r\n");

// BeginUpdate/EndUpdate on every path, as the store's notifications may raise.
class UpdateScope {
public:
    explicit UpdateScope(plat::TStrings& list) : m_list(list) { m_list.BeginUpdate(); }
    ~UpdateScope() { m_list.EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    plat::TStrings& m_list;
};

const char* lineBreakBytes(TPlainLineBreakFormat format)
{
    switch (format) {
    case lbfLF:
        return "\n";
    case lbfCR:
        return "\r";
    case lbfCRLF:
        break;
    }
    return "\r\n";
}

QString lineBreakText(TPlainLineBreakFormat format) { return QString::fromLatin1(lineBreakBytes(format)); }

struct LineCut {
    std::vector<TPlainEditStringRec> records;
    bool sawCR = false;
    bool sawLF = false;
};

// Lines end at CR LF, a lone CR or a lone LF (LF CR ends one line and starts
// an empty one); a final break adds an empty line when asked to. The lines
// are counted first so that their records are made in place.
template <class Ch, class MakeText>
LineCut cutLines(const Ch* d, qsizetype n, bool lastBreakAddsLine, MakeText makeText)
{
    const Ch cr = Ch('\r');
    const Ch lf = Ch('\n');
    LineCut cut;
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (d[i] == lf) {
            cut.sawLF = true;
            ++breaks;
        } else if (d[i] == cr) {
            cut.sawCR = true;
            ++breaks;
        }
    }
    std::vector<TPlainEditStringRec>& records = cut.records;
    records.reserve(size_t(breaks) + 1);
    qsizetype i = 0;
    while (i < n) {
        const qsizetype start = i;
        while (i < n && d[i] != cr && d[i] != lf)
            ++i;
        TPlainEditStringRec rec;
        rec.Text = makeText(d + start, i - start);
        records.push_back(std::move(rec));
        if (i < n && d[i] == cr)
            ++i;
        if (i < n && d[i] == lf)
            ++i;
    }
    if (lastBreakAddsLine && n > 0 && (d[n - 1] == cr || d[n - 1] == lf))
        records.emplace_back();
    return cut;
}

} // namespace

// ------------------------------------------------------------ string list

TPlainEditStringList::TPlainEditStringList() { SetTabWidth(8); }

TPlainEditStringList::~TPlainEditStringList() = default;

void TPlainEditStringList::listIndexError(int index) const
{
    throw plat::EPlainEditStringList(QStringLiteral("Invalid stringlist index %1").arg(index));
}

QString TPlainEditStringList::Strings(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return m_lines[size_t(index)].Text;
}

void* TPlainEditStringList::Objects(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_lines[size_t(index)].Data;
}

void TPlainEditStringList::SetStrings(int index, const QString& s)
{
    if (index == Count()) {
        Add(s);
        return;
    }
    if (index < 0 || index >= Count())
        listIndexError(index);
    UpdateScope update(*this);
    TPlainEditStringRec& rec = m_lines[size_t(index)];
    // The longest line stays known when the new text cannot change the answer.
    if (m_longestIndex >= 0) {
        const int longest = m_lines[size_t(m_longestIndex)].ExpandedLength;
        const int length = TabExpandedLength(s, m_tabWidth);
        if (index == m_longestIndex ? length < longest : length > longest)
            m_longestIndex = length > longest ? index : -1;
    }
    rec.Flags = sfExpansionStale;
    rec.Text = s;
    if (m_longestIndex == index)
        expand(index);
    if (OnReplaced)
        OnReplaced(this, index, 1);
}

void TPlainEditStringList::SetObjects(int index, void* object)
{
    if (index < 0 || index >= Count())
        listIndexError(index);
    UpdateScope update(*this);
    m_lines[size_t(index)].Data = object;
}

int TPlainEditStringList::Add(const QString& s)
{
    const int index = Count();
    Insert(index, s);
    return index;
}

void TPlainEditStringList::Insert(int index, const QString& s)
{
    if (index < 0 || index > Count())
        listIndexError(index);
    UpdateScope update(*this);
    if (Count() >= m_capacity)
        growFor(1);
    if (m_longestIndex >= 0) {
        const int longest = m_lines[size_t(m_longestIndex)].ExpandedLength;
        if (TabExpandedLength(s, m_tabWidth) > longest)
            m_longestIndex = -1;
        else if (m_longestIndex >= index)
            ++m_longestIndex;
    }
    TPlainEditStringRec rec;
    rec.Text = s;
    m_lines.insert(m_lines.begin() + index, std::move(rec));
    if (OnInserted)
        OnInserted(this, index, 1);
}

void TPlainEditStringList::growFor(int extra)
{
    // Steps of 16 while small, then a quarter.
    while (m_capacity < Count() + extra) {
        const int step = m_capacity <= 64 ? 16 : m_capacity / 4;
        m_capacity = m_capacity > std::numeric_limits<int>::max() - step ? std::numeric_limits<int>::max()
                                                                          : m_capacity + step;
    }
    m_lines.reserve(size_t(m_capacity));
}

void TPlainEditStringList::insertRecords(int index, std::vector<TPlainEditStringRec>&& records)
{
    if (records.empty())
        return;
    const int n = int(records.size());
    if (Count() + n > m_capacity)
        m_capacity = (Count() + n + 15) / 16 * 16;
    m_longestIndex = -1;
    if (m_lines.empty()) {
        m_lines = std::move(records); // a whole new text: no records to move
    } else {
        m_lines.reserve(size_t(m_capacity));
        m_lines.insert(m_lines.begin() + index, std::make_move_iterator(records.begin()),
                       std::make_move_iterator(records.end()));
    }
    if (OnInserted)
        OnInserted(this, index, n);
}

void TPlainEditStringList::AddStrings(const plat::TStrings& strings)
{
    const int n = strings.Count();
    if (n == 0)
        return;
    UpdateScope update(*this);
    std::vector<TPlainEditStringRec> records(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        records[size_t(i)].Text = strings.Strings(i);
        records[size_t(i)].Data = strings.Objects(i);
    }
    insertRecords(Count(), std::move(records));
}

void TPlainEditStringList::Delete(int index)
{
    if (index < 0 || index >= Count())
        listIndexError(index);
    UpdateScope update(*this);
    m_lines.erase(m_lines.begin() + index);
    if (m_longestIndex == index)
        m_longestIndex = -1;
    else if (m_longestIndex > index)
        --m_longestIndex;
    if (OnDeleted)
        OnDeleted(this, index, 1);
}

void TPlainEditStringList::Clear()
{
    if (Count() > 0) {
        UpdateScope update(*this);
        m_lines.clear();
        m_lines.shrink_to_fit();
        m_capacity = 0;
        m_longestIndex = -1;
        if (OnCleared)
            OnCleared(this);
    }
    m_longestIndex = -1;
}

void TPlainEditStringList::Exchange(int index1, int index2)
{
    if (index1 < 0 || index1 >= Count())
        listIndexError(index1);
    if (index2 < 0 || index2 >= Count())
        listIndexError(index2);
    UpdateScope update(*this);
    std::swap(m_lines[size_t(index1)], m_lines[size_t(index2)]);
    if (m_longestIndex == index1)
        m_longestIndex = index2;
    else if (m_longestIndex == index2)
        m_longestIndex = index1;
}

void TPlainEditStringList::SetCapacity(int capacity)
{
    if (capacity < Count())
        throw plat::EListError(QStringLiteral("Stringlist capacity cannot be smaller than count"));
    m_capacity = capacity;
    m_lines.reserve(size_t(capacity));
}

void TPlainEditStringList::SetUpdateState(bool updating)
{
    if (updating) {
        if (OnChanging)
            OnChanging(this);
    } else if (OnChange) {
        OnChange(this);
    }
}

QString TPlainEditStringList::Text() const
{
    qsizetype size = 0;
    for (const TPlainEditStringRec& rec : m_lines)
        size += rec.Text.size() + 2;
    QString result;
    result.reserve(size);
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (i > 0)
            result += kLineBreakCRLF;
        result += m_lines[i].Text;
    }
    return result;
}

void TPlainEditStringList::SetText(const QString& text)
{
    // The new lines are made before the old ones go: allocating them among
    // a million just-freed blocks costs the allocator twice the time.
    LineCut cut = cutLines(text.constData(), text.size(), false,
                           [](const QChar* p, qsizetype n) { return QString(p, n); });
    UpdateScope update(*this);
    Clear();
    insertRecords(0, std::move(cut.records));
}

void TPlainEditStringList::LoadFromStream(plat::TStream& stream)
{
    stream.SetPosition(0);
    loadBytes(stream.readAll());
}

// The lines are cut from the bytes and decoded one by one: a large file
// never exists as one decoded string.
void TPlainEditStringList::loadBytes(QByteArrayView bytes)
{
    const plat::TextFileEncoding encoding = plat::detectTextEncoding(bytes);
    QByteArrayView data = bytes;
    if (encoding == plat::TextFileEncoding::Utf8Bom)
        data = data.sliced(3);
    const bool utf8 = encoding != plat::TextFileEncoding::Cp1250;
    // As in SetText, the new lines before the old ones go.
    LineCut cut = cutLines(data.data(), data.size(), !m_appendLineBreakAtEnd, [utf8](const char* p, qsizetype n) {
        return utf8 ? QString::fromUtf8(p, n) : plat::cp1250ToUnicode(QByteArrayView(p, n));
    });
    UpdateScope update(*this);
    Clear();
    m_encoding = encoding;
    insertRecords(0, std::move(cut.records));
    m_lineBreakFormat = cut.sawCR && !cut.sawLF ? lbfCR : cut.sawLF && !cut.sawCR ? lbfLF : lbfCRLF;
}

QByteArray TPlainEditStringList::SaveBytes() const
{
    if (m_lines.empty())
        return {};
    QString text;
    const QString lineBreak = lineBreakText(m_lineBreakFormat);
    qsizetype size = 0;
    for (const TPlainEditStringRec& rec : m_lines)
        size += rec.Text.size() + lineBreak.size();
    text.reserve(size);
    for (size_t i = 0; i < m_lines.size(); ++i) {
        text += m_lines[i].Text;
        if (i + 1 < m_lines.size() || m_appendLineBreakAtEnd)
            text += lineBreak;
    }
    plat::TextFileEncoding encoding = m_encoding;
    if (encoding == plat::TextFileEncoding::Cp1250 && !plat::isCp1250Representable(text))
        encoding = plat::TextFileEncoding::Utf8;
    return plat::encodeTextBytes(text, encoding);
}

void TPlainEditStringList::SaveToStream(plat::TStream& stream) const { stream.writeBytes(SaveBytes()); }

void TPlainEditStringList::LoadFromFile(const QString& fileName)
{
    plat::readFileView(fileName, [this](QByteArrayView bytes) { loadBytes(bytes); });
}

void TPlainEditStringList::SaveToFile(const QString& fileName) const
{
    plat::TextFileEncoding encoding = m_encoding;
    if (encoding == plat::TextFileEncoding::Cp1250) {
        const bool representable = std::all_of(m_lines.begin(), m_lines.end(), [](const TPlainEditStringRec& rec) {
            return plat::isCp1250Representable(rec.Text);
        });
        if (!representable)
            encoding = plat::TextFileEncoding::Utf8;
    }
    TPlainEditFileWriter writer(fileName, encoding);
    writer.SetLineBreakFormat(m_lineBreakFormat);
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (i + 1 < m_lines.size() || m_appendLineBreakAtEnd)
            writer.WriteLineText(m_lines[i].Text);
        else
            writer.EmitText(m_lines[i].Text);
    }
    writer.Commit();
}

void TPlainEditStringList::SetTabWidth(int value)
{
    if (value == m_tabWidth)
        return;
    m_tabWidth = value;
    m_expandTabs = ChooseTabExpander(value);
    m_longestIndex = -1;
    for (TPlainEditStringRec& rec : m_lines) {
        rec.ExpandedLength = -1;
        rec.Flags = quint8((rec.Flags & ~sfTabsAbsent) | sfExpansionStale);
    }
}

void TPlainEditStringList::expand(int index) const
{
    TPlainEditStringRec& rec = m_lines[size_t(index)];
    if (rec.Text.isEmpty()) {
        rec.ExpandedLength = 0;
        rec.Flags = sfTabsAbsent;
        return;
    }
    int before = 0;
    const bool hasTabs = FindFirstTab(rec.Text, before);
    rec.ExpandedLength = TabExpandedLength(rec.Text, m_tabWidth <= 1 ? 1 : m_tabWidth);
    rec.Flags = hasTabs ? sfTabsPresent : sfTabsAbsent;
}

QString TPlainEditStringList::ExpandedText(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    TPlainEditStringRec& rec = m_lines[size_t(index)];
    if (rec.Flags & sfTabsAbsent)
        return rec.Text;
    expand(index);
    if (rec.Flags & sfTabsAbsent)
        return rec.Text;
    bool hasTabs = false;
    return m_expandTabs(rec.Text, m_tabWidth, hasTabs);
}

int TPlainEditStringList::ExpandedLength(int index) const
{
    if (index < 0 || index >= Count())
        return 0;
    if (m_lines[size_t(index)].Flags & sfExpansionStale)
        expand(index);
    return m_lines[size_t(index)].ExpandedLength;
}

int TPlainEditStringList::LongestExpandedLength() const
{
    if (m_longestIndex < 0) {
        int best = 0;
        const int n = Count();
        for (int i = 0; i < n; ++i) {
            TPlainEditStringRec& rec = m_lines[size_t(i)];
            if (rec.Flags & sfExpansionStale)
                expand(i);
            if (rec.ExpandedLength > best) {
                best = rec.ExpandedLength;
                m_longestIndex = i;
            }
        }
    }
    return m_longestIndex < 0 ? 0 : m_lines[size_t(m_longestIndex)].ExpandedLength;
}

qintptr TPlainEditStringList::RangeOf(int index) const
{
    if (index < 0 || index >= Count())
        return 0;
    return m_lines[size_t(index)].Range;
}

void TPlainEditStringList::SetRangeOf(int index, qintptr range)
{
    if (index < 0 || index >= Count())
        listIndexError(index);
    UpdateScope update(*this);
    m_lines[size_t(index)].Range = range;
}

quint8 TPlainEditStringList::FlagsOf(int index) const
{
    if (index < 0 || index >= Count())
        return 0;
    return m_lines[size_t(index)].Flags;
}

void TPlainEditStringList::DeleteLines(int index, int count)
{
    if (count <= 0)
        return;
    if (index < 0 || index > Count())
        listIndexError(index);
    count = std::min(count, Count() - index);
    if (count <= 0)
        return;
    UpdateScope update(*this);
    m_lines.erase(m_lines.begin() + index, m_lines.begin() + index + count);
    if (m_longestIndex >= index + count)
        m_longestIndex -= count;
    else if (m_longestIndex >= index)
        m_longestIndex = -1;
    if (OnDeleted)
        OnDeleted(this, index, count);
}

void TPlainEditStringList::InsertLines(int index, int count)
{
    if (index < 0 || index > Count())
        listIndexError(index);
    if (count <= 0)
        return;
    UpdateScope update(*this);
    m_capacity = Count() + count;
    m_lines.insert(m_lines.begin() + index, size_t(count), TPlainEditStringRec{});
    if (m_longestIndex >= index)
        m_longestIndex += count;
    if (OnInserted)
        OnInserted(this, index, count);
}

// ------------------------------------------------------------ undo item

PLAT_DEFINE_CLASS(TPlainEditUndoItem, c) { (void)c; }

QString UndoReasonName(TPlainUndoReason reason)
{
    static const char* const names[] = {
        "urInsert",         "urPaste",          "urDragDropInsert",
        "urDeleteAfterCursor", "urDelete",      "urLineBreak",
        "urIndent",         "urUnindent",       "urSilentDelete",
        "urSilentDeleteAfterCursor", "urBracket1Begin", "urBracket1End",
        "urPasteBegin",     "urPasteEnd",       "urBracket2Begin",
        "urBracket2End",    "urBracket3Begin",  "urBracket3End",
        "urCaret",          "urSelection",      "urNothing",
        "urGroupBreak",     "urDeleteAll",      "urWhiteSpaceAdd",
    };
    return reason <= urWhiteSpaceAdd ? QString::fromLatin1(names[reason]) : QString::number(int(reason));
}

void TPlainEditUndoItem::Assign(plat::TPersistent* Source)
{
    if (auto* item = dynamic_cast<TPlainEditUndoItem*>(Source)) {
        Reason = item->Reason;
        SelectionMode = item->SelectionMode;
        StartPos = item->StartPos;
        EndPos = item->EndPos;
        ChangeText = item->ChangeText;
        ChangeNumber = item->ChangeNumber;
        return;
    }
    TPersistent::Assign(Source);
}

// ------------------------------------------------------------ undo list

PLAT_DEFINE_CLASS(TPlainEditUndoList, c) { (void)c; }

TPlainEditUndoList::TPlainEditUndoList() = default;
TPlainEditUndoList::~TPlainEditUndoList() = default;

void TPlainEditUndoList::advanceChangeNumber()
{
    // Numbers stay positive: 0 means none and -1 marks a lost clean point.
    m_nextChangeNumber = m_nextChangeNumber >= std::numeric_limits<qint32>::max() ? 1 : m_nextChangeNumber + 1;
}

void TPlainEditUndoList::RecordChange(TPlainUndoReason Reason, TBufferCoord StartPos, TBufferCoord EndPos,
                                      const QString& ChangeText, TPlainSelectionMode SelectionMode)
{
    if (m_lockCount != 0)
        return;
    auto item = std::make_unique<TPlainEditUndoItem>();
    item->Reason = Reason;
    item->SelectionMode = SelectionMode;
    item->StartPos = StartPos;
    item->EndPos = EndPos;
    item->ChangeText = ChangeText;
    if (m_compoundNumber != 0) {
        item->ChangeNumber = m_compoundNumber;
    } else {
        item->ChangeNumber = m_nextChangeNumber;
        if (m_compoundDepth == 0)
            advanceChangeNumber();
    }
    PushChange(std::move(item));
}

void TPlainEditUndoList::PushChange(std::unique_ptr<TPlainEditUndoItem> item)
{
    if (!item)
        return;
    // Read before trimming: a limit of 0 frees the item at once.
    const bool groupBreak = item->Reason == urGroupBreak;
    m_items.push_back(std::move(item));
    trimToLimit();
    if (!groupBreak && OnChangeRecorded)
        OnChangeRecorded(this);
}

std::unique_ptr<TPlainEditUndoItem> TPlainEditUndoList::PopChange()
{
    if (m_items.empty())
        return nullptr;
    std::unique_ptr<TPlainEditUndoItem> item = std::move(m_items.back());
    m_items.pop_back();
    return item;
}

TPlainEditUndoItem* TPlainEditUndoList::PeekChange() const { return m_items.empty() ? nullptr : m_items.back().get(); }

void TPlainEditUndoList::BeginCompound()
{
    ++m_compoundDepth;
    m_compoundNumber = m_nextChangeNumber;
}

void TPlainEditUndoList::EndCompound()
{
    if (m_compoundDepth <= 0)
        return;
    if (--m_compoundDepth == 0) {
        const qint32 number = m_compoundNumber;
        m_compoundNumber = 0;
        advanceChangeNumber();
        if (!m_items.empty() && m_items.back()->ChangeNumber == number && OnChangeRecorded)
            OnChangeRecorded(this);
    }
}

TPlainUndoReason TPlainEditUndoList::LastReason() const { return m_items.empty() ? urNothing : m_items.back()->Reason; }

void TPlainEditUndoList::AddGroupBreak()
{
    if (LastReason() != urGroupBreak)
        RecordChange(urGroupBreak, TBufferCoord{}, TBufferCoord{}, QString(), smNormal);
}

void TPlainEditUndoList::Unlock()
{
    if (m_lockCount > 0)
        --m_lockCount;
}

void TPlainEditUndoList::Clear()
{
    m_items.clear();
    m_historyTruncated = false;
    m_trimmedSinceClean = false;
}

void TPlainEditUndoList::SetMaxActions(int value)
{
    value = std::max(0, value);
    if (value == m_maxActions)
        return;
    m_maxActions = value;
    trimToLimit();
}

void TPlainEditUndoList::trimToLimit()
{
    if (int(m_items.size()) <= m_maxActions)
        return;
    m_historyTruncated = true;
    m_trimmedSinceClean = true;
    while (int(m_items.size()) > m_maxActions)
        m_items.pop_front();
}

bool TPlainEditUndoList::CleanPoint() const
{
    // Changes that went over the limit after the point leave an empty list
    // that is not at it.
    if (m_items.empty())
        return m_cleanChangeNumber == 0 && !m_trimmedSinceClean;
    return m_items.back()->ChangeNumber == m_cleanChangeNumber;
}

void TPlainEditUndoList::SetCleanPoint(bool value)
{
    if (value) {
        m_cleanChangeNumber = m_items.empty() ? 0 : m_items.back()->ChangeNumber;
        m_trimmedSinceClean = false;
    }
    else if (CleanPoint())
        m_cleanChangeNumber = -1;
}

void TPlainEditUndoList::Assign(plat::TPersistent* Source)
{
    auto* list = dynamic_cast<TPlainEditUndoList*>(Source);
    if (!list) {
        TPersistent::Assign(Source);
        return;
    }
    if (list == this)
        return;
    Clear();
    for (const auto& item : list->m_items) {
        auto copy = std::make_unique<TPlainEditUndoItem>();
        copy->Assign(item.get());
        m_items.push_back(std::move(copy));
    }
    m_compoundNumber = list->m_compoundNumber;
    m_compoundDepth = list->m_compoundDepth;
    m_historyTruncated = list->m_historyTruncated;
    m_lockCount = list->m_lockCount;
    m_maxActions = list->m_maxActions;
    m_nextChangeNumber = list->m_nextChangeNumber;
    m_insideRedo = list->m_insideRedo;
}

// ------------------------------------------------------------ file writer

TPlainEditFiler::~TPlainEditFiler() = default;

struct TPlainEditFileWriter::Impl {
    QSaveFile file;
    bool committed = false;
};

TPlainEditFileWriter::TPlainEditFileWriter(const QString& fileName, plat::TextFileEncoding encoding)
    : d(std::make_unique<Impl>()), m_encoding(encoding)
{
    d->file.setFileName(fileName);
    if (!d->file.open(QIODevice::WriteOnly))
        throw plat::EFCreateError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(plat::ExpandFileName(fileName), d->file.errorString()));
    m_buffer.resize(kBufferSize);
    if (encoding == plat::TextFileEncoding::Utf8Bom) {
        emitBytes(QByteArray("\xEF\xBB\xBF"), nullptr);
        m_encoding = plat::TextFileEncoding::Utf8;
    }
}

TPlainEditFileWriter::~TPlainEditFileWriter()
{
    // Without Commit the temporary file is dropped and the old file stays.
    if (!d->committed)
        d->file.cancelWriting();
}

void TPlainEditFileWriter::emitBytes(const QByteArray& bytes, const char* lineBreak)
{
    const int breakLength = lineBreak ? int(qstrlen(lineBreak)) : 0;
    const qsizetype needed = bytes.size() + breakLength;
    if (m_fill + needed > m_buffer.size()) {
        FlushBuffer();
        if (needed > m_buffer.size())
            m_buffer.resize(needed);
    }
    std::copy(bytes.begin(), bytes.end(), m_buffer.begin() + m_fill);
    m_fill += int(bytes.size());
    if (lineBreak) {
        std::copy(lineBreak, lineBreak + breakLength, m_buffer.begin() + m_fill);
        m_fill += breakLength;
    }
}

void TPlainEditFileWriter::EmitText(const QString& S) { emitBytes(plat::encodeTextBytes(S, m_encoding), nullptr); }

void TPlainEditFileWriter::WriteLineText(const QString& S)
{
    emitBytes(plat::encodeTextBytes(S, m_encoding), lineBreakBytes(m_format));
}

void TPlainEditFileWriter::FlushBuffer()
{
    if (m_fill > 0 && d->file.write(m_buffer.constData(), m_fill) != m_fill)
        throw plat::EWriteError(QStringLiteral("Stream write error"));
    m_fill = 0;
}

void TPlainEditFileWriter::Commit()
{
    FlushBuffer();
    if (!d->file.commit())
        throw plat::EFCreateError(QStringLiteral("Cannot create file \"%1\". %2")
                                      .arg(plat::ExpandFileName(d->file.fileName()), d->file.errorString()));
    d->committed = true;
}
