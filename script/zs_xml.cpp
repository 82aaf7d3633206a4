#include "zs_xml.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "Streams.h"
#include "TypeInfo.h"

#include <QSaveFile>
#include <algorithm>
#include <array>

namespace {

constexpr int kBlockSize = 4096;
const char* const kInvalidFormat = "Invalid file format";

[[noreturn]] void raiseInvalidFormat()
{
    throw plat::Exception(QString::fromLatin1(kInvalidFormat));
}

const std::array<char16_t, 256>& cp1250Table()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const char byte = char(i);
            const QString s = plat::cp1250ToUnicode(QByteArrayView(&byte, 1));
            t[i] = s.isEmpty() ? char16_t(i) : char16_t(s.at(0).unicode());
        }
        return t;
    }();
    return table;
}

// A character code of a decimal reference: codes of one byte are code page
// 1250 bytes (the 8-bit world the references come from), larger ones name
// the Unicode character itself.
QChar charFromCode(qint64 code)
{
    if (code >= 0 && code < 256)
        return QChar(cp1250Table()[size_t(code)]);
    if (code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF))
        return QChar(u'?');
    return QChar(char16_t(code));
}

bool isBlank(QChar c) { return c.unicode() <= ' '; }

// Character sources for the one tag scanner: a stream read in blocks, or a
// string already in memory.
class StreamSource {
public:
    explicit StreamSource(plat::TStream& stream)
        : m_stream(stream), m_start(stream.Position()), m_size(stream.Size())
    {
    }
    // -1 at the end of the data.
    int next()
    {
        if (m_index >= m_fill) {
            const qint64 left = m_size - m_start - m_consumedBefore - m_fill;
            if (left <= 0)
                return -1;
            m_consumedBefore += m_fill;
            const qint64 want = std::min<qint64>(kBlockSize, left);
            m_fill = int(m_stream.Read(m_buffer.data(), want));
            m_index = 0;
            if (m_fill <= 0) {
                m_fill = 0;
                return -1;
            }
        }
        return cp1250Table()[uchar(m_buffer[size_t(m_index++)])];
    }
    void finish() { m_stream.Seek(m_start + m_consumedBefore + m_index, plat::soBeginning); }

private:
    plat::TStream& m_stream;
    qint64 m_start;
    qint64 m_size;
    qint64 m_consumedBefore = 0;
    std::array<char, kBlockSize> m_buffer{};
    int m_fill = 0;
    int m_index = 0;
};

class TextSource {
public:
    explicit TextSource(const QString& text) : m_text(text) {}
    int next() { return m_pos < m_text.size() ? m_text.at(m_pos++).unicode() : -1; }
    void finish() {}

private:
    const QString& m_text;
    qsizetype m_pos = 0;
};

struct Tag {
    QString name;
    QString text;
    bool end = false; // the data ended before a tag began
};

template <class Source>
class Scanner {
public:
    explicit Scanner(Source& source) : m_source(source) {}

    Tag readTag()
    {
        for (;;) {
            int c;
            do {
                c = m_source.next();
                if (c < 0)
                    return Tag{{}, {}, true};
            } while (c != '<');

            QString tag;
            bool comment = false;
            for (;;) {
                c = m_source.next();
                if (c < 0 || c == '<')
                    raiseInvalidFormat();
                if (c == '>')
                    break;
                tag.append(QChar(char16_t(c)));
                if (tag.size() == 3 && tag == QLatin1String("!--")) {
                    comment = true;
                    break;
                }
            }
            if (comment) {
                skipComment();
                continue;
            }
            return splitTag(tag);
        }
    }

    void readHeader()
    {
        const Tag header = readTag();
        if (!header.name.startsWith(QLatin1String("?xml")))
            raiseInvalidFormat();
    }

    // Iterative, so that deeply nested input cannot exhaust the stack.
    void readRoot(TzsXMLItem* root)
    {
        Tag tag = readTag();
        if (tag.end || tag.name.startsWith(u'/'))
            return;
        std::vector<TzsXMLItem*> open;
        if (fill(root, tag))
            open.push_back(root);
        while (!open.empty()) {
            tag = readTag();
            if (tag.end)
                return; // a cut-off document simply ends here
            TzsXMLItem* current = open.back();
            if (tag.name.startsWith(u'/')) {
                if (QStringView(tag.name).mid(1).compare(current->Name, Qt::CaseInsensitive) != 0)
                    raiseInvalidFormat();
                open.pop_back();
                continue;
            }
            TzsXMLItem* child = current->Add();
            if (fill(child, tag))
                open.push_back(child);
        }
    }

private:
    void skipComment()
    {
        int dashes = 0;
        for (;;) {
            const int c = m_source.next();
            if (c < 0)
                return;
            if (c == '-') {
                dashes = dashes == 2 ? 0 : dashes + 1;
            } else if (c == '>' && dashes == 2) {
                return;
            } else {
                dashes = 0;
            }
        }
    }

    static Tag splitTag(QString tag)
    {
        while (!tag.isEmpty() && isBlank(tag.back()))
            tag.chop(1);
        Tag result;
        qsizetype blank = 0;
        while (blank < tag.size() && !isBlank(tag.at(blank)))
            ++blank;
        result.name = tag.left(blank);
        if (blank < tag.size())
            result.text = tag.mid(blank + 1);
        return result;
    }

    // Sets the item from its tag; true when children follow.
    static bool fill(TzsXMLItem* item, Tag& tag)
    {
        bool empty = false;
        if (tag.name.endsWith(u'/')) {
            tag.name.chop(1);
            empty = true;
        }
        if (tag.text.endsWith(u'/')) {
            tag.text.chop(1);
            empty = true;
        }
        item->Name = tag.name;
        item->Text = tag.text;
        return !empty;
    }

    Source& m_source;
};

void appendItem(QString& out, const TzsXMLItem* item, int level, bool autoIndent, bool closing)
{
    if (autoIndent)
        out.append(QString(level * 2, u' '));
    if (closing) {
        out.append(QLatin1String("</")).append(item->Name).append(u'>');
    } else {
        out.append(u'<').append(item->Name);
        if (!item->Text.isEmpty()) {
            if (!item->Text.startsWith(u' '))
                out.append(u' ');
            out.append(item->Text);
        }
        out.append(item->Count() > 0 ? QLatin1String(">") : QLatin1String("/>"));
    }
    if (autoIndent)
        out.append(QLatin1String("\r\n"));
}

// Walks the tree without recursion; sink is called with each finished line.
template <class Sink>
void writeTree(const TzsXMLItem* root, bool autoIndent, Sink sink)
{
    struct Frame {
        const TzsXMLItem* item;
        int next;
    };
    std::vector<Frame> stack;
    QString line;
    auto put = [&](const TzsXMLItem* item, int level, bool closing) {
        line.clear();
        appendItem(line, item, level, autoIndent, closing);
        sink(line);
    };
    put(root, 0, false);
    if (root->Count() > 0)
        stack.push_back({root, 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        const int level = int(stack.size());
        if (top.next < top.item->Count()) {
            const TzsXMLItem* child = top.item->Items(top.next++);
            put(child, level, false);
            if (child->Count() > 0)
                stack.push_back({child, 0});
        } else {
            put(top.item, level - 1, true);
            stack.pop_back();
        }
    }
}

QString headerLine(bool autoIndent)
{
    QString h = QStringLiteral("<?xml version=\"1.0\"?>");
    if (autoIndent)
        h.append(QLatin1String("\r\n"));
    return h;
}

} // namespace

// ---------------------------------------------------------------- escaping

namespace zs {

QString xmlEscape(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\n':
        case '\r':
        case '"':
        case '<':
        case '>':
        case '&': // escaped too, so that "&#NN;" and "&quot;" in a value survive
            out.append(QLatin1String("&#")).append(QString::number(c.unicode())).append(u';');
            break;
        default:
            out.append(c);
        }
    }
    return out;
}

QString xmlUnescape(const QString& text)
{
    if (!text.contains(u'&'))
        return text;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == u'&' && i + 3 < n && text.at(i + 1) == u'#') {
            const qsizetype semi = text.indexOf(u';', i + 2);
            if (semi < 0) {
                // No terminator: keep the rest as it stands.
                out.append(QStringView(text).mid(i));
                break;
            }
            bool ok = false;
            const qint64 code = QStringView(text).mid(i + 2, semi - i - 2).toLongLong(&ok);
            if (!ok)
                throw plat::EConvertError(QStringLiteral("'%1' is not a valid integer value")
                                              .arg(text.mid(i + 2, semi - i - 2)));
            out.append(charFromCode(code));
            i = semi + 1;
        } else if (c == u'&' && QStringView(text).mid(i, 6) == QLatin1String("&quot;")) {
            out.append(u'"');
            i += 6;
        } else {
            out.append(c);
            ++i;
        }
    }
    return out;
}

void xmlParseText(const QString& text, TzsXMLItem* root)
{
    root->Clear();
    root->Name.clear();
    root->Text.clear();
    TextSource source(text);
    Scanner<TextSource> scanner(source);
    scanner.readHeader();
    scanner.readRoot(root);
}

QString xmlWriteText(const TzsXMLItem* root, bool autoIndent)
{
    QString out = headerLine(autoIndent);
    writeTree(root, autoIndent, [&](const QString& line) { out.append(line); });
    return out;
}

} // namespace zs

// ---------------------------------------------------------------- item

PLAT_DEFINE_CLASS(TzsXMLItem, c) {}
PLAT_DEFINE_CLASS(TzsXMLDocument, c) {}

TzsXMLItem::~TzsXMLItem()
{
    Clear();
    detachFromParent();
}

void TzsXMLItem::detachFromParent()
{
    if (!m_parent)
        return;
    auto& siblings = m_parent->m_items;
    const auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it != siblings.end())
        siblings.erase(it);
    m_parent = nullptr;
}

TzsXMLItem* TzsXMLItem::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw plat::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_items[size_t(index)];
}

void TzsXMLItem::Clear()
{
    // Children are detached first so that their destructors do not search
    // this list; an explicit stack keeps deep trees off the call stack.
    std::vector<TzsXMLItem*> pending;
    pending.swap(m_items);
    m_hasList = false;
    while (!pending.empty()) {
        TzsXMLItem* item = pending.back();
        pending.pop_back();
        for (TzsXMLItem* child : item->m_items)
            pending.push_back(child);
        item->m_items.clear();
        item->m_parent = nullptr;
        delete item;
    }
}

TzsXMLItem* TzsXMLItem::Add()
{
    auto* item = new TzsXMLItem;
    item->m_parent = this;
    m_items.push_back(item);
    m_hasList = true;
    return item;
}

void TzsXMLItem::AddItem(TzsXMLItem* item)
{
    if (!item)
        throw plat::EInvalidOperation(QStringLiteral("Item to add is missing"));
    for (const TzsXMLItem* p = this; p; p = p->m_parent) {
        if (p == item)
            throw plat::EInvalidOperation(QStringLiteral("An item cannot be added to itself or to its own descendant"));
    }
    m_items.push_back(item);
    m_hasList = true;
    if (item->m_parent) {
        auto& siblings = item->m_parent->m_items;
        const auto it = std::find(siblings.begin(), siblings.end(), item);
        if (it != siblings.end())
            siblings.erase(it);
    }
    item->m_parent = this;
}

void TzsXMLItem::InsertItem(int index, TzsXMLItem* item)
{
    AddItem(item);
    if (index < 0 || index >= Count())
        throw plat::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    m_items.pop_back();
    m_items.insert(m_items.begin() + index, item);
}

int TzsXMLItem::Find(const QString& name) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (plat::SameText(m_items[i]->Name, name))
            return int(i);
    }
    return -1;
}

TzsXMLItem* TzsXMLItem::FindItem(const QString& name)
{
    const int i = Find(name);
    if (i >= 0)
        return m_items[size_t(i)];
    TzsXMLItem* item = Add();
    item->Name = name;
    return item;
}

TzsXMLItem* TzsXMLItem::Root()
{
    TzsXMLItem* p = this;
    while (p->m_parent)
        p = p->m_parent;
    return p;
}

// Finds ` NAME="` in a blank followed by Text, ignoring case. Returns the
// index in Text where the name starts, -1 when absent; valueStart/valueEnd
// bound the value (valueEnd on the closing quote, or Text's end).
int TzsXMLItem::findAttribute(const QString& name, int* valueStart, int* valueEnd) const
{
    if (name.isEmpty())
        return -1;
    const QString needle = u' ' + name + QLatin1String("=\"");
    const QString hay = u' ' + Text;
    const qsizetype at = hay.indexOf(needle, 0, Qt::CaseInsensitive);
    if (at < 0)
        return -1;
    const qsizetype start = at + needle.size() - 1; // index in Text of the value
    qsizetype end = Text.indexOf(u'"', start);
    if (end < 0)
        end = Text.size();
    *valueStart = int(start);
    *valueEnd = int(end);
    return int(at);
}

QString TzsXMLItem::Prop(const QString& name) const
{
    int start = 0;
    int end = 0;
    if (findAttribute(name, &start, &end) < 0)
        return {};
    return zs::xmlUnescape(Text.mid(start, end - start));
}

void TzsXMLItem::SetProp(const QString& name, const QString& value)
{
    const QString pair = name + QLatin1String("=\"") + zs::xmlEscape(value) + u'"';
    int start = 0;
    int end = 0;
    const int at = findAttribute(name, &start, &end);
    if (at >= 0) {
        const int stop = std::min<int>(end + 1, int(Text.size()));
        Text.replace(at, stop - at, pair);
        return;
    }
    if (!Text.isEmpty() && !Text.endsWith(u' '))
        Text.append(u' ');
    Text.append(pair);
}

void TzsXMLItem::Assign(const TzsXMLItem* item)
{
    Clear();
    if (!item)
        return;
    if (item == this)
        return;
    Name = item->Name;
    Text = item->Text;
    Data = item->Data;
    // Copy the subtree level by level without recursion.
    std::vector<std::pair<const TzsXMLItem*, TzsXMLItem*>> pending{{item, this}};
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        for (const TzsXMLItem* child : from->m_items) {
            TzsXMLItem* copy = to->Add();
            copy->Name = child->Name;
            copy->Text = child->Text;
            copy->Data = child->Data;
            pending.emplace_back(child, copy);
        }
    }
}

std::unique_ptr<TzsXMLItem> TzsXMLItem::takeItem(int index)
{
    TzsXMLItem* item = Items(index);
    m_items.erase(m_items.begin() + index);
    item->m_parent = nullptr;
    return std::unique_ptr<TzsXMLItem>(item);
}

// ---------------------------------------------------------------- reader

struct TzsXMLReader::Impl {
    explicit Impl(plat::TStream& stream) : source(stream), scanner(source) {}
    StreamSource source;
    Scanner<StreamSource> scanner;
};

TzsXMLReader::TzsXMLReader(plat::TStream& stream) : d(std::make_unique<Impl>(stream)) {}

TzsXMLReader::~TzsXMLReader()
{
    try {
        d->source.finish();
    } catch (...) {
        // A stream that cannot seek keeps its position; nothing to undo.
    }
}

void TzsXMLReader::ReadHeader() { d->scanner.readHeader(); }

void TzsXMLReader::ReadRootItem(TzsXMLItem* item) { d->scanner.readRoot(item); }

// ---------------------------------------------------------------- writer

TzsXMLWriter::TzsXMLWriter(plat::TStream& stream) : m_stream(stream) {}

TzsXMLWriter::~TzsXMLWriter() = default;

void TzsXMLWriter::WriteHeader()
{
    m_buffer.append(headerLine(AutoIndent));
}

void TzsXMLWriter::writeLine(const QString& line)
{
    m_buffer.append(line);
    if (m_buffer.size() > kBlockSize)
        Flush();
}

void TzsXMLWriter::WriteRootItem(const TzsXMLItem* item)
{
    writeTree(item, AutoIndent, [&](const QString& line) { writeLine(line); });
}

void TzsXMLWriter::Flush()
{
    if (m_buffer.isEmpty())
        return;
    const QByteArray bytes = plat::unicodeToCp1250(m_buffer);
    m_buffer.clear();
    m_stream.WriteBuffer(bytes.constData(), bytes.size());
}

// ---------------------------------------------------------------- document

TzsXMLDocument::TzsXMLDocument() : m_root(std::make_unique<TzsXMLItem>()) {}

TzsXMLDocument::~TzsXMLDocument() = default;

void TzsXMLDocument::LoadFromStream(plat::TStream& stream)
{
    m_root->Clear();
    m_root->Name.clear();
    m_root->Text.clear();
    TzsXMLReader reader(stream);
    reader.ReadHeader();
    reader.ReadRootItem(m_root.get());
}

void TzsXMLDocument::SaveToStream(plat::TStream& stream) const
{
    TzsXMLWriter writer(stream);
    writer.AutoIndent = AutoIndent;
    writer.WriteHeader();
    writer.WriteRootItem(m_root.get());
    writer.Flush();
}

void TzsXMLDocument::LoadFromFile(const QString& fileName)
{
    plat::TFileStream stream(fileName, plat::fmOpenRead | plat::fmShareDenyWrite);
    LoadFromStream(stream);
}

void TzsXMLDocument::SaveToFile(const QString& fileName) const
{
    // Written whole to a temporary file and renamed over the old one, so a
    // failed save keeps the last good file.
    const QByteArray bytes = SaveToBytes();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw plat::EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
}

void TzsXMLDocument::LoadFromBytes(const QByteArray& bytes)
{
    plat::TMemoryStream stream(bytes);
    LoadFromStream(stream);
}

QByteArray TzsXMLDocument::SaveToBytes() const
{
    return plat::unicodeToCp1250(zs::xmlWriteText(m_root.get(), AutoIndent));
}

void TzsXMLDocument::LoadFromText(const QString& text)
{
    zs::xmlParseText(text, m_root.get());
}

QString TzsXMLDocument::SaveToText() const
{
    return zs::xmlWriteText(m_root.get(), AutoIndent);
}
