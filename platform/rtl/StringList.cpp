#include "StringList.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "Files.h"
#include "Streams.h"

#include <algorithm>
#include <numeric>

namespace plat {
namespace {

const QString kStringListIndexError = QStringLiteral("List index out of bounds (%1)");
const QString kDuplicateError = QStringLiteral("String list does not allow duplicates");
const QString kSortedError = QStringLiteral("Operation not allowed on sorted list");

const QString kLineBreak = QStringLiteral("\r\n");

bool isBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= ' ';
}

// An item needs quotes when reading it back would split or unquote it.
bool needsQuotes(const QString& s, QChar delimiter, QChar quote)
{
    for (QChar c : s)
        if (c.unicode() <= ' ' || c == quote || c == delimiter)
            return true;
    return false;
}

QString quoted(const QString& s, QChar quote)
{
    QString result;
    result.reserve(s.size() + 2);
    result += quote;
    for (QChar c : s) {
        result += c;
        if (c == quote)
            result += quote;
    }
    result += quote;
    return result;
}

// Reads a quoted item starting at text[i] (the opening quote); doubled
// quotes stand for one. A missing closing quote takes the rest of the text.
QString extractQuoted(const QString& text, qsizetype& i, QChar quote)
{
    QString result;
    ++i;
    while (i < text.size()) {
        QChar c = text.at(i++);
        if (c == quote) {
            if (i < text.size() && text.at(i) == quote) {
                result += quote;
                ++i;
                continue;
            }
            break;
        }
        result += c;
    }
    return result;
}

} // namespace

// ---------------------------------------------------------------- TStrings

TStrings::~TStrings() = default;

void TStrings::Error(const QString& message, int data) const
{
    throw EStringListError(message.contains(QLatin1String("%1")) ? message.arg(data) : message);
}

void TStrings::checkIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        Error(kStringListIndexError, index);
}

void TStrings::SetStrings(int index, const QString& s)
{
    void* object = Objects(index);
    Delete(index);
    InsertObject(index, s, object);
}

void* TStrings::Objects(int) const
{
    return nullptr;
}

void TStrings::SetObjects(int, void*)
{
}

int TStrings::Add(const QString& s)
{
    int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const QString& s, void* object)
{
    int index = Add(s);
    SetObjects(index, object);
    return index;
}

void TStrings::InsertObject(int index, const QString& s, void* object)
{
    Insert(index, s);
    SetObjects(index, object);
}

void TStrings::AddStrings(const TStrings& strings)
{
    BeginUpdate();
    try {
        for (int i = 0; i < strings.Count(); ++i)
            AddObject(strings.Strings(i), strings.Objects(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::AddStrings(const QStringList& strings)
{
    BeginUpdate();
    try {
        for (const QString& s : strings)
            Add(s);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Assign(const TStrings& source)
{
    if (&source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        m_delimiter = source.m_delimiter;
        m_quoteChar = source.m_quoteChar;
        m_nameValueSeparator = source.m_nameValueSeparator;
        AddStrings(source);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TStrings::Equals(const TStrings& other) const
{
    if (Count() != other.Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (Strings(i) != other.Strings(i))
            return false;
    return true;
}

void TStrings::Exchange(int index1, int index2)
{
    checkIndex(index1, Count());
    checkIndex(index2, Count());
    BeginUpdate();
    try {
        QString s1 = Strings(index1);
        void* o1 = Objects(index1);
        SetStrings(index1, Strings(index2));
        SetObjects(index1, Objects(index2));
        SetStrings(index2, s1);
        SetObjects(index2, o1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    checkIndex(curIndex, Count());
    checkIndex(newIndex, Count());
    BeginUpdate();
    try {
        QString s = Strings(curIndex);
        void* object = Objects(curIndex);
        Delete(curIndex);
        InsertObject(newIndex, s, object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TStrings::IndexOf(const QString& s) const
{
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Strings(i), s) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const QString& name) const
{
    for (int i = 0; i < Count(); ++i) {
        const QString s = Strings(i);
        qsizetype p = s.indexOf(m_nameValueSeparator);
        if (p >= 0 && CompareStrings(s.left(p), name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(void* object) const
{
    for (int i = 0; i < Count(); ++i)
        if (Objects(i) == object)
            return i;
    return -1;
}

QString TStrings::Names(int index) const
{
    const QString s = Strings(index);
    qsizetype p = s.indexOf(m_nameValueSeparator);
    return p >= 0 ? s.left(p) : QString();
}

QString TStrings::Values(const QString& name) const
{
    int i = IndexOfName(name);
    return i >= 0 ? ValueFromIndex(i) : QString();
}

void TStrings::SetValues(const QString& name, const QString& value)
{
    int i = IndexOfName(name);
    if (value.isEmpty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    const QString line = name + m_nameValueSeparator + value;
    if (i < 0)
        Add(line);
    else
        SetStrings(i, line);
}

QString TStrings::ValueFromIndex(int index) const
{
    const QString s = Strings(index);
    qsizetype p = s.indexOf(m_nameValueSeparator);
    return p >= 0 ? s.mid(p + 1) : QString();
}

void TStrings::SetValueFromIndex(int index, const QString& value)
{
    if (value.isEmpty()) {
        Delete(index);
        return;
    }
    if (index < 0)
        index = Add(QString());
    SetStrings(index, Names(index) + m_nameValueSeparator + value);
}

QString TStrings::Text() const
{
    QString result;
    qsizetype size = 0;
    for (int i = 0; i < Count(); ++i)
        size += Strings(i).size() + 2;
    result.reserve(size);
    for (int i = 0; i < Count(); ++i) {
        result += Strings(i);
        result += kLineBreak;
    }
    return result;
}

void TStrings::SetText(const QString& text)
{
    BeginUpdate();
    try {
        Clear();
        // A line ends at CR, LF or CR LF; a final line end adds no empty line.
        // NUL is kept as a character: cutting the text there would lose data.
        qsizetype i = 0;
        const qsizetype n = text.size();
        while (i < n) {
            qsizetype start = i;
            while (i < n && text.at(i) != QLatin1Char('\r') && text.at(i) != QLatin1Char('\n'))
                ++i;
            Add(text.mid(start, i - start));
            if (i < n && text.at(i) == QLatin1Char('\r'))
                ++i;
            if (i < n && text.at(i) == QLatin1Char('\n'))
                ++i;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

QString TStrings::delimitedText(QChar delimiter, QChar quote) const
{
    // A single empty item must stay visible, or it would read back as none.
    if (Count() == 1 && Strings(0).isEmpty())
        return QString(2, quote);
    QString result;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0)
            result += delimiter;
        const QString s = Strings(i);
        result += needsQuotes(s, delimiter, quote) ? quoted(s, quote) : s;
    }
    return result;
}

void TStrings::setDelimitedText(const QString& text, QChar delimiter, QChar quote)
{
    BeginUpdate();
    try {
        Clear();
        const qsizetype n = text.size();
        qsizetype i = 0;
        auto skipBlanks = [&] {
            while (i < n && isBlank(text.at(i)))
                ++i;
        };
        skipBlanks();
        while (i < n) {
            QString item;
            if (text.at(i) == quote) {
                item = extractQuoted(text, i, quote);
            } else {
                qsizetype start = i;
                while (i < n && text.at(i).unicode() > ' ' && text.at(i) != delimiter)
                    ++i;
                // A control character below blank that is not a blank (NUL)
                // would stop the scan forever: take it into the item.
                if (i == start && i < n && text.at(i).unicode() == 0)
                    ++i;
                item = text.mid(start, i - start);
            }
            Add(item);
            skipBlanks();
            if (i < n && text.at(i) == delimiter) {
                if (i + 1 == n)
                    Add(QString());
                ++i;
                skipBlanks();
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

QString TStrings::CommaText() const
{
    return delimitedText(QLatin1Char(','), QLatin1Char('"'));
}

void TStrings::SetCommaText(const QString& text)
{
    setDelimitedText(text, QLatin1Char(','), QLatin1Char('"'));
}

QString TStrings::DelimitedText() const
{
    return delimitedText(m_delimiter, m_quoteChar);
}

void TStrings::SetDelimitedText(const QString& text)
{
    setDelimitedText(text, m_delimiter, m_quoteChar);
}

void TStrings::BeginUpdate()
{
    if (m_updateCount == 0)
        SetUpdateState(true);
    ++m_updateCount;
}

void TStrings::EndUpdate()
{
    if (m_updateCount <= 0)
        return;
    if (--m_updateCount == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool)
{
}

int TStrings::CompareStrings(const QString& a, const QString& b) const
{
    return AnsiCompareText(a, b);
}

void TStrings::LoadFromStream(TStream& stream)
{
    SetText(cp1250ToUnicode(stream.readAll()));
}

void TStrings::SaveToStream(TStream& stream) const
{
    stream.writeBytes(unicodeToCp1250(Text()));
}

void TStrings::LoadFromFile(const QString& fileName)
{
    SetText(cp1250ToUnicode(readFileBytes(fileName)));
}

void TStrings::SaveToFile(const QString& fileName) const
{
    writeFileAtomic(fileName, unicodeToCp1250(Text()));
}

QStringList TStrings::toStringList() const
{
    QStringList result;
    result.reserve(Count());
    for (int i = 0; i < Count(); ++i)
        result.append(Strings(i));
    return result;
}

void TStrings::setStringList(const QStringList& list)
{
    BeginUpdate();
    try {
        Clear();
        AddStrings(list);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ------------------------------------------------------------- TStringList

TStringList::TStringList(const QStringList& strings)
{
    for (const QString& s : strings)
        m_items.push_back({s, nullptr});
}

TStringList::~TStringList()
{
    // Owners of the lists hold their own handlers; no events while dying.
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange();
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging();
}

void TStringList::SetUpdateState(bool updating)
{
    // Called with the count at zero on both ends of the bracket.
    if (updating) {
        if (OnChanging)
            OnChanging();
    } else if (OnChange) {
        OnChange();
    }
}

QString TStringList::Strings(int index) const
{
    checkIndex(index, Count());
    return m_items[static_cast<size_t>(index)].string;
}

void TStringList::SetStrings(int index, const QString& s)
{
    if (m_sorted)
        Error(kSortedError, 0);
    checkIndex(index, Count());
    Changing();
    m_items[static_cast<size_t>(index)].string = s;
    Changed();
}

void* TStringList::Objects(int index) const
{
    checkIndex(index, Count());
    return m_items[static_cast<size_t>(index)].object;
}

void TStringList::SetObjects(int index, void* object)
{
    checkIndex(index, Count());
    Changing();
    m_items[static_cast<size_t>(index)].object = object;
    Changed();
}

int TStringList::Add(const QString& s)
{
    int index = Count();
    if (m_sorted && Find(s, index)) {
        switch (m_duplicates) {
        case dupIgnore:
            return index;
        case dupError:
            Error(kDuplicateError, 0);
        case dupAccept:
            break;
        }
    }
    insertItem(index, s, nullptr);
    return index;
}

void TStringList::Insert(int index, const QString& s)
{
    if (m_sorted)
        Error(kSortedError, 0);
    if (index < 0 || index > Count())
        Error(kStringListIndexError, index);
    insertItem(index, s, nullptr);
}

void TStringList::insertItem(int index, const QString& s, void* object)
{
    Changing();
    m_items.insert(m_items.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Delete(int index)
{
    checkIndex(index, Count());
    Changing();
    m_items.erase(m_items.begin() + index);
    Changed();
}

void TStringList::Clear()
{
    if (m_items.empty())
        return;
    Changing();
    m_items.clear();
    Changed();
}

void TStringList::Exchange(int index1, int index2)
{
    checkIndex(index1, Count());
    checkIndex(index2, Count());
    Changing();
    std::swap(m_items[static_cast<size_t>(index1)], m_items[static_cast<size_t>(index2)]);
    Changed();
}

void TStringList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    // Checked before anything moves, so a refused move loses no item.
    if (m_sorted)
        Error(kSortedError, 0);
    checkIndex(curIndex, Count());
    checkIndex(newIndex, Count());
    Changing();
    Item item = std::move(m_items[static_cast<size_t>(curIndex)]);
    m_items.erase(m_items.begin() + curIndex);
    m_items.insert(m_items.begin() + newIndex, std::move(item));
    Changed();
}

int TStringList::IndexOf(const QString& s) const
{
    if (!m_sorted)
        return TStrings::IndexOf(s);
    int index = 0;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(const QString& s, int& index) const
{
    int low = 0;
    int high = Count() - 1;
    bool found = false;
    while (low <= high) {
        int mid = low + (high - low) / 2;
        int c = CompareStrings(m_items[static_cast<size_t>(mid)].string, s);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0)
                found = true;
        }
    }
    index = low;
    return found;
}

void TStringList::Sort()
{
    CustomSort([](TStringList& list, int a, int b) {
        return list.CompareStrings(list.m_items[static_cast<size_t>(a)].string,
                                   list.m_items[static_cast<size_t>(b)].string);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& compare)
{
    if (m_items.size() < 2 || !compare)
        return;
    Changing();
    // The comparer sees indexes into the list as it stands, so sort a
    // permutation and apply it afterwards.
    std::vector<int> order(m_items.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(m_items.size());
    for (int i : order)
        sorted.push_back(std::move(m_items[static_cast<size_t>(i)]));
    m_items = std::move(sorted);
    Changed();
}

void TStringList::SetSorted(bool sorted)
{
    if (m_sorted == sorted)
        return;
    if (sorted)
        Sort();
    m_sorted = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive)
{
    if (m_caseSensitive == caseSensitive)
        return;
    m_caseSensitive = caseSensitive;
    if (m_sorted)
        Sort();
}

int TStringList::CompareStrings(const QString& a, const QString& b) const
{
    return m_caseSensitive ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

} // namespace plat
