#include "zdXML.h"

#include "CodePage.h"
#include "DateUtils.h"
#include "Files.h"
#include "FormatSettings.h"
#include "Streams.h"
#include "SysUtils.h"
#include "Variant.h"
#include "zdUtils.h"

#include <algorithm>
#include <cstring>

namespace {

const char kInvalidFormat[] = "Invalid file format";
const QByteArray kUnloadMarkerName = QByteArrayLiteral("ld");
// Guards the recursive reader against a hostile nesting depth.
constexpr int kMaxDepth = 1000;

[[noreturn]] void raiseInvalidXml()
{
    throw TzdInvalidXMLException(QString::fromLatin1(kInvalidFormat));
}

[[noreturn]] void raiseListIndex(int index)
{
    throw plat::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

bool isAscii(QByteArrayView text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Names are compared ignoring case by the one rule for names; ASCII names
// (the usual case) need no decoding.
bool sameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() == b.size() && qstrnicmp(a.data(), a.size(), b.data(), b.size()) == 0)
        return true;
    if (isAscii(a) && isAscii(b))
        return false;
    return plat::SameText(QString::fromUtf8(a), QString::fromUtf8(b));
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// One name="value" pair of an attribute text; valueEnd is the closing quote.
struct AttrSpan {
    qsizetype nameStart = 0;
    qsizetype nameEnd = 0;
    qsizetype valueStart = 0;
    qsizetype valueEnd = 0;
};

// Attribute texts are parsed pair by pair rather than searched, so that a
// value holding ` name="` can never be taken for an attribute. Parsing stops
// at the first malformed pair.
bool nextAttr(const QByteArray& text, qsizetype& pos, AttrSpan& span)
{
    const qsizetype len = text.size();
    while (pos < len && isBlank(text[pos]))
        ++pos;
    if (pos >= len)
        return false;
    span.nameStart = pos;
    while (pos < len && text[pos] != '=' && text[pos] != '"' && !isBlank(text[pos]))
        ++pos;
    span.nameEnd = pos;
    while (pos < len && isBlank(text[pos]))
        ++pos;
    if (pos >= len || text[pos] != '=' || span.nameEnd == span.nameStart)
        return false;
    ++pos;
    while (pos < len && isBlank(text[pos]))
        ++pos;
    if (pos >= len || text[pos] != '"')
        return false;
    span.valueStart = pos + 1;
    const qsizetype close = text.indexOf('"', span.valueStart);
    if (close < 0)
        return false;
    span.valueEnd = close;
    pos = close + 1;
    return true;
}

bool findAttr(const QByteArray& text, QByteArrayView name, AttrSpan& span)
{
    qsizetype pos = 0;
    while (nextAttr(text, pos, span)) {
        if (sameName(QByteArrayView(text).sliced(span.nameStart, span.nameEnd - span.nameStart), name))
            return true;
    }
    return false;
}

// Removes the paging marker ld="0" (with the blank before it) from an
// attribute text; true when it was there.
// A damaged file may repeat the marker: all go, or a document read whole
// would write one back and page that item out when read again.
bool removeUnloadMarker(QByteArray& text)
{
    bool removed = false;
    AttrSpan span;
    while (findAttr(text, kUnloadMarkerName, span)
           && QByteArrayView(text).sliced(span.valueStart, span.valueEnd - span.valueStart) == "0") {
        qsizetype from = span.nameStart;
        if (from > 0 && text[from - 1] == ' ')
            --from;
        text.remove(from, span.valueEnd + 1 - from);
        removed = true;
    }
    return removed;
}

bool escaped(char c)
{
    switch (c) {
    case '\0': case '\n': case '\r': case '"': case '&': case '<': case '>':
        return true;
    default:
        return false;
    }
}

// XML allows no other control character, raw or as a reference: each is
// written as a reference to a private-use code point of plane 15 that the
// reader turns back into the byte. Those code points written as such stay
// raw UTF-8, so only the reference form is read back as a control byte.
constexpr int kControlBase = 0xF0000;

bool controlByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b > 0 && b < 0x20 && b != '\t' && b != '\n' && b != '\r';
}

void appendUtf8(QByteArray& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// What a decimal reference stands for: a number up to 255 is that byte
// (stored files escape single bytes so); a higher one is the character of
// that code point in UTF-8, the encoding of the file; the escaped control
// bytes come back; a number that is no character gives U+FFFD.
void appendReference(QByteArray& out, int n)
{
    if (n < 0) {
        out += static_cast<char>(static_cast<unsigned char>(((n % 256) + 256) % 256));
    } else if (n < 256) {
        out += static_cast<char>(n);
    } else if (n > kControlBase && n < kControlBase + 0x20 && controlByte(static_cast<char>(n - kControlBase))) {
        out += static_cast<char>(n - kControlBase);
    } else if (n > 0x10FFFF || (n >= 0xD800 && n <= 0xDFFF)) {
        appendUtf8(out, 0xFFFD);
    } else {
        appendUtf8(out, static_cast<char32_t>(n));
    }
}

// A decimal character reference as the platform's integer conversion reads
// it: an optional sign and decimal digits, within 32 bits.
int parseReference(QByteArrayView digits)
{
    qint64 value = 0;
    qsizetype i = 0;
    bool negative = false;
    if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) {
        negative = digits[i] == '-';
        ++i;
    }
    const bool valid = i < digits.size() && [&] {
        for (qsizetype k = i; k < digits.size(); ++k) {
            if (digits[k] < '0' || digits[k] > '9')
                return false;
            value = value * 10 + (digits[k] - '0');
            if (value > 0x80000000LL)
                return false;
        }
        return negative || value <= 0x7FFFFFFFLL;
    }();
    if (!valid)
        throw plat::EConvertError(QStringLiteral("'%1' is not a valid integer value")
                                      .arg(QString::fromLatin1(digits.data(), digits.size())));
    return static_cast<int>(negative ? -value : value);
}

} // namespace

// ---------------------------------------------------------------------------
// Escaping

QByteArray zdXMLEscape(const QByteArray& text)
{
    qsizetype extra = 0;
    for (char c : text)
        if (escaped(c))
            extra += 5;
        else if (controlByte(c))
            extra += 10;
    if (extra == 0)
        return text;
    // Every ampersand is escaped, so a literal "&quot;" survives a round trip,
    // and NUL has the one form "&#0;" whatever the length of the text.
    QByteArray out;
    out.reserve(text.size() + extra);
    for (char c : text) {
        if (escaped(c)) {
            out += "&#";
            out += QByteArray::number(static_cast<unsigned char>(c));
            out += ';';
        } else if (controlByte(c)) {
            out += "&#";
            out += QByteArray::number(kControlBase + static_cast<unsigned char>(c));
            out += ';';
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray zdXMLUnescape(const QByteArray& text)
{
    qsizetype amp = text.indexOf('&');
    if (amp < 0)
        return text;
    QByteArray out;
    out.reserve(text.size());
    out.append(text.constData(), amp);
    const qsizetype len = text.size();
    qsizetype i = amp;
    while (i < len) {
        const char c = text[i];
        if (c != '&') {
            out += c;
            ++i;
            continue;
        }
        const QByteArrayView rest = QByteArrayView(text).sliced(i + 1);
        if (rest.startsWith('#')) {
            // At least one character belongs to the number; a reference with
            // no semicolon after it stays as it is.
            const qsizetype semi = rest.size() > 2 ? text.indexOf(';', i + 3) : -1;
            if (semi >= 0) {
                const int n = parseReference(QByteArrayView(text).sliced(i + 2, semi - i - 2));
                appendReference(out, n);
                i = semi + 1;
                continue;
            }
        } else if (rest.startsWith("quot;")) {
            out += '"';
            i += 6;
            continue;
        } else if (rest.startsWith("amp;")) {
            out += '&';
            i += 5;
            continue;
        } else if (rest.startsWith("lt;")) {
            out += '<';
            i += 4;
            continue;
        } else if (rest.startsWith("gt;")) {
            out += '>';
            i += 4;
            continue;
        }
        out += '&';
        ++i;
    }
    return out;
}

namespace {

// Files carry floats with a decimal point whatever the locale, so that a file
// written under one locale reads under another.
QByteArray fileFloatText(long double value)
{
    plat::TFormatSettings settings = plat::FormatSettings();
    settings.DecimalSeparator = u'.';
    return plat::FloatToStr(value, settings).toUtf8();
}

} // namespace

QByteArray zdValueToXML(const plat::Variant& value)
{
    switch (value.type()) {
    // Every integer kind is written: writing only some of them (and 64-bit
    // values as nothing) lost values from the difference texts.
    case plat::varSmallint:
    case plat::varInteger:
    case plat::varShortInt:
    case plat::varByte:
    case plat::varWord:
    case plat::varLongWord:
    case plat::varInt64:
        return QByteArray::number(value.toInt64());
    case plat::varSingle:
    case plat::varDouble:
        return fileFloatText(value.toDouble());
    case plat::varCurrency:
        return fileFloatText(static_cast<long double>(value.toCurrencyScaled()) / 10000.0L);
    case plat::varDate:
        return plat::DateToStr(value.toDate()).toUtf8();
    case plat::varString:
    case plat::varOleStr:
        return zdXMLEscape(value.toString().toUtf8());
    case plat::varBoolean:
        return value.toBoolean() ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
    default:
        return {};
    }
}

// ---------------------------------------------------------------------------
// Items

TzdXMLItem::TzdXMLItem() = default;

TzdXMLItem::~TzdXMLItem()
{
    Clear();
    if (m_parent)
        m_parent->detachChild(this);
}

void TzdXMLItem::detachChild(TzdXMLItem* item)
{
    auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it != m_items.end())
        m_items.erase(it);
}

void TzdXMLItem::Clear()
{
    std::vector<TzdXMLItem*> items;
    items.swap(m_items);
    for (TzdXMLItem* child : items) {
        child->m_parent = nullptr;
        delete child;
    }
    if (Unloadable)
        Loaded = false;
}

TzdXMLItem* TzdXMLItem::Add()
{
    auto* item = new TzdXMLItem;
    item->m_parent = this;
    m_items.push_back(item);
    return item;
}

void TzdXMLItem::AddItem(TzdXMLItem* item)
{
    m_items.push_back(item);
    if (item->m_parent)
        item->m_parent->detachChild(item); // first occurrence: moves within one list
    item->m_parent = this;
}

void TzdXMLItem::InsertItem(int index, TzdXMLItem* item)
{
    AddItem(item);
    if (index < 0 || index >= GetCount())
        raiseListIndex(index);
    m_items.pop_back();
    m_items.insert(m_items.begin() + index, item);
}

TzdXMLItem* TzdXMLItem::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        raiseListIndex(index);
    return m_items[static_cast<size_t>(index)];
}

int TzdXMLItem::IndexOf(const TzdXMLItem* item) const
{
    auto it = std::find(m_items.begin(), m_items.end(), item);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

int TzdXMLItem::Find(const QByteArray& name) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (sameName(m_items[i]->Name, name))
            return static_cast<int>(i);
    return -1;
}

TzdXMLItem* TzdXMLItem::FindOrAdd(const QByteArray& name)
{
    const int i = Find(name);
    if (i >= 0)
        return m_items[static_cast<size_t>(i)];
    TzdXMLItem* item = Add();
    item->Name = name;
    return item;
}

QByteArray TzdXMLItem::GetAttr(const QByteArray& name) const
{
    AttrSpan span;
    if (!findAttr(Text, name, span))
        return {};
    return zdXMLUnescape(Text.mid(span.valueStart, span.valueEnd - span.valueStart));
}

void TzdXMLItem::SetAttr(const QByteArray& name, const QByteArray& value)
{
    QByteArray pair = name + "=\"" + zdXMLEscape(value) + '"';
    AttrSpan span;
    if (findAttr(Text, name, span)) {
        Text.replace(span.nameStart, span.valueEnd + 1 - span.nameStart, pair);
        return;
    }
    if (!Text.isEmpty() && Text.back() != ' ')
        Text += ' ';
    Text += pair;
}

bool TzdXMLItem::AttrExists(const QByteArray& name) const
{
    AttrSpan span;
    return findAttr(Text, name, span);
}

qint64 TzdXMLItem::GetStreamPos() const
{
    return (static_cast<qint64>(m_streamPosHi) << 32) | static_cast<qint64>(m_streamPosLo);
}

void TzdXMLItem::SetStreamPos(qint64 position)
{
    m_streamPosHi = static_cast<quint8>(position >> 32);
    m_streamPosLo = static_cast<quint32>(position & 0xFFFFFFFFLL);
}

// ---------------------------------------------------------------------------
// Reader

TzdXMLReader::TzdXMLReader(plat::TStream& stream)
    : m_stream(stream)
{
    m_position = stream.Position();
    m_size = stream.Size();
}

TzdXMLReader::~TzdXMLReader()
{
    try {
        m_stream.SetPosition(m_position);
    } catch (...) {
        // A stream that cannot seek any more has nothing left to restore.
    }
}

void TzdXMLReader::SetPosition(qint64 position)
{
    m_position = position;
    m_stream.SetPosition(position);
    m_bufferFill = 0;
    m_bufferIndex = 0;
}

bool TzdXMLReader::refill()
{
    if (m_position >= m_size)
        return false;
    const qint64 want = std::min<qint64>(kBufferSize, m_size - m_position);
    const qint64 got = m_stream.Read(m_buffer, want);
    if (got <= 0)
        return false;
    m_bufferFill = static_cast<int>(got);
    m_bufferIndex = 0;
    return true;
}

bool TzdXMLReader::nextByte(char& c)
{
    if (m_bufferIndex >= m_bufferFill && !refill())
        return false;
    c = m_buffer[m_bufferIndex++];
    ++m_position;
    return true;
}

void TzdXMLReader::consume(int count)
{
    m_bufferIndex += count;
    m_position += count;
}

bool TzdXMLReader::skipToTagStart()
{
    for (;;) {
        if (m_bufferIndex >= m_bufferFill && !refill())
            return false;
        const char* from = m_buffer + m_bufferIndex;
        const int left = m_bufferFill - m_bufferIndex;
        const auto* lt = static_cast<const char*>(std::memchr(from, '<', static_cast<size_t>(left)));
        if (lt) {
            consume(static_cast<int>(lt - from) + 1);
            return true;
        }
        consume(left);
    }
}

// Drops a comment's characters; it ends at a '>' met while the dash count
// stands at two. False when the data ends inside it.
bool TzdXMLReader::skipComment()
{
    int dashes = 0;
    char c = 0;
    while (nextByte(c)) {
        if (c == '>' && dashes == 2)
            return true;
        if (c == '-')
            dashes = dashes == 2 ? 0 : dashes + 1;
        else
            dashes = 0;
    }
    return false;
}

void TzdXMLReader::ReadTag(QByteArray& name, QByteArray& attributeText)
{
    name.clear();
    attributeText.clear();
    QByteArray& tag = m_tag;
    for (;;) {
        if (!skipToTagStart())
            return; // end of the data outside a tag
        tag.clear();
        bool closed = false;
        // The first three characters decide whether this is a comment.
        while (tag.size() < 3) {
            char c = 0;
            if (!nextByte(c))
                raiseInvalidXml();
            if (c == '>') {
                closed = true;
                break;
            }
            if (c == '<')
                raiseInvalidXml();
            tag += c;
        }
        if (!closed && tag == "!--") {
            if (!skipComment())
                return;
            continue;
        }
        while (!closed) {
            if (m_bufferIndex >= m_bufferFill && !refill())
                raiseInvalidXml(); // the data ends inside a tag
            const char* from = m_buffer + m_bufferIndex;
            const int left = m_bufferFill - m_bufferIndex;
            const auto* gt = static_cast<const char*>(std::memchr(from, '>', static_cast<size_t>(left)));
            const int span = gt ? static_cast<int>(gt - from) : left;
            if (std::memchr(from, '<', static_cast<size_t>(span)))
                raiseInvalidXml();
            tag.append(from, span);
            consume(gt ? span + 1 : span);
            closed = gt != nullptr;
        }
        break;
    }

    if (tag.endsWith(' '))
        tag.chop(1);
    const qsizetype blank = tag.indexOf(' ');
    if (blank < 0) {
        name = tag;
    } else {
        name = tag.left(blank);
        attributeText = tag.mid(blank + 1);
    }
}

void TzdXMLReader::ReadHeader()
{
    QByteArray name;
    QByteArray attrs;
    ReadTag(name, attrs);
    if (!name.startsWith("?xml"))
        raiseInvalidXml();
    const QByteArray key = QByteArrayLiteral("version=\"");
    const qsizetype at = attrs.indexOf(key);
    const QByteArray version = at >= 0 ? attrs.mid(at + key.size(), 3) : QByteArray();
    m_oldFormat = version == "1.0" && !attrs.contains("standalone=");
}

bool TzdXMLReader::ReadItem(TzdXMLItem* item, bool readAll)
{
    QByteArray closing;
    return readElement(item, readAll, item, closing, 0);
}

bool TzdXMLReader::readElement(TzdXMLItem* item, bool readAll, TzdXMLItem* target,
                               QByteArray& lastName, int depth)
{
    if (depth > kMaxDepth)
        raiseInvalidXml();
    const qint64 start = m_position;
    QByteArray name;
    QByteArray attrs;
    ReadTag(name, attrs);
    lastName = name;
    // Reading an unloaded item back keeps its own name and attributes.
    const bool keepOwn = item == target && !item->Name.isEmpty() && !item->Loaded;
    if (name.isEmpty() || name.startsWith('/'))
        return true;

    bool hasChildren = true;
    if (name.endsWith('/')) {
        name.chop(1);
        hasChildren = false;
    } else if (attrs.endsWith('/')) {
        attrs.chop(1);
        hasChildren = false;
    }
    if (!keepOwn) {
        item->Name = name;
        item->Text = attrs;
    }
    if (!hasChildren)
        return false;

    QByteArray childLast;
    for (;;) {
        auto child = std::make_unique<TzdXMLItem>();
        if (readElement(child.get(), readAll, target, childLast, depth + 1))
            break; // the closing tag's item is dropped
        item->AddItem(child.release());
    }
    // Data that ends inside an open element is a damaged file, not a short one.
    if (childLast.isEmpty())
        raiseInvalidXml();
    if (!sameName(QByteArrayView(childLast).sliced(1), name))
        raiseInvalidXml();

    if (!keepOwn && removeUnloadMarker(item->Text) && !readAll) {
        item->Unloadable = true;
        item->Clear();
        item->SetStreamPos(start);
    }
    return false;
}

// ---------------------------------------------------------------------------
// Writer

namespace {
constexpr int kWriterFlushSize = 4096;
}

TzdXMLWriter::TzdXMLWriter(plat::TStream& stream)
    : m_stream(stream)
{
    m_buffer.reserve(2 * kWriterFlushSize);
}

TzdXMLWriter::~TzdXMLWriter() = default;

void TzdXMLWriter::WriteLn(const QByteArray& text)
{
    m_buffer += text;
    if (AutoIndent)
        m_buffer += "\r\n";
    if (m_buffer.size() > kWriterFlushSize)
        Flush();
}

void TzdXMLWriter::Flush()
{
    if (m_buffer.isEmpty())
        return;
    m_stream.WriteBuffer(m_buffer.constData(), m_buffer.size());
    m_buffer.resize(0); // keeps the capacity
}

void TzdXMLWriter::WriteHeader()
{
    WriteLn(QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
}

void TzdXMLWriter::WriteItem(TzdXMLItem* item)
{
    writeItem(item, 0);
    Flush();
}

void TzdXMLWriter::writeItem(TzdXMLItem* item, int level)
{
    const bool readBack = item->Unloadable && !item->Loaded && TempStream;
    if (readBack) {
        // The temporary stream may be our own destination: keep its position.
        Flush();
        const qint64 keep = TempStream->Position();
        {
            TzdXMLReader reader(*TempStream);
            reader.SetPosition(item->GetStreamPos());
            if (reader.ReadItem(item, true))
                raiseInvalidXml(); // the stored position holds no element
        }
        TempStream->SetPosition(keep);
        item->Loaded = true;
    }
    // Children read back go again once written, also when writing fails.
    struct ClearAfterWriting {
        TzdXMLItem* item;
        ~ClearAfterWriting()
        {
            if (item)
                item->Clear();
        }
    } clearAfter{readBack ? item : nullptr};

    // Lines are built in the output buffer itself: no copy per item.
    const int indent = AutoIndent ? level : 0;
    m_buffer.append(indent, ' ');
    m_buffer += '<';
    m_buffer += item->Name;
    if (!item->Text.isEmpty()) {
        if (!item->Text.startsWith(' '))
            m_buffer += ' ';
        m_buffer += item->Text;
    }
    if (item->Unloadable)
        m_buffer += " ld=\"0\"";
    const bool hasChildren = item->GetCount() > 0;
    if (hasChildren) {
        m_buffer += '>';
    } else if (!item->Value.isEmpty()) {
        m_buffer += '>';
        m_buffer += item->Value;
        m_buffer += "</";
        m_buffer += item->Name;
        m_buffer += '>';
    } else {
        m_buffer += "/>";
    }
    WriteLn({});

    if (hasChildren) {
        for (int i = 0; i < item->GetCount(); ++i)
            writeItem(item->GetItem(i), level + 2);
        m_buffer.append(indent, ' ');
        m_buffer += "</";
        m_buffer += item->Name;
        m_buffer += '>';
        WriteLn({});
    }
}

// ---------------------------------------------------------------------------
// Document

TzdXMLDocument::TzdXMLDocument()
    : m_root(std::make_unique<TzdXMLItem>())
{
}

TzdXMLDocument::~TzdXMLDocument()
{
    DeleteTempFile();
}

void TzdXMLDocument::Clear()
{
    m_root->Clear();
    DeleteTempFile();
}

void TzdXMLDocument::LoadFromStream(plat::TStream& stream)
{
    DeleteTempFile();
    m_root->Clear();
    m_root->Name.clear();
    m_root->Text.clear();
    m_root->Value.clear();
    m_root->SetStreamPos(0);
    TzdXMLReader reader(stream);
    reader.ReadHeader();
    OldVersion = reader.OldFormat();
    reader.ReadItem(m_root.get(), true);
}

void TzdXMLDocument::LoadFromStream(std::unique_ptr<plat::TStream> stream, bool allowPartLoad)
{
    if (!allowPartLoad) {
        LoadFromStream(*stream);
        return;
    }
    DeleteTempFile();
    m_root->Clear();
    m_root->Name.clear();
    m_root->Text.clear();
    m_root->Value.clear();
    m_root->SetStreamPos(0);
    m_tempStream = std::move(stream);
    TzdXMLReader reader(*m_tempStream);
    reader.ReadHeader();
    OldVersion = reader.OldFormat();
    reader.ReadItem(m_root.get(), false);
}

void TzdXMLDocument::LoadFromFile(const QString& fileName)
{
    LoadFromStream(std::make_unique<plat::TFileStream>(fileName, plat::fmOpenRead | plat::fmShareDenyWrite),
                   true);
}

void TzdXMLDocument::SaveToStream(plat::TStream& stream)
{
    TzdXMLWriter writer(stream);
    writer.AutoIndent = AutoIndent;
    writer.TempStream = m_tempStream.get();
    writer.WriteHeader();
    writer.WriteItem(m_root.get());
}

void TzdXMLDocument::SaveToFile(const QString& fileName)
{
    zd::writeFileAtomically(fileName, [this](plat::TStream& stream) { SaveToStream(stream); });
}

void TzdXMLDocument::CreateTempFile()
{
    if (m_ownTempFile)
        return;
    const QString folder = !TempDir.isEmpty() && plat::DirectoryExists(TempDir) ? TempDir : QString();
    const QString name = plat::GetTempFileName(QStringLiteral("fr"), folder);
    auto file = std::make_unique<plat::TFileStream>(name, plat::fmOpenReadWrite);
    // Items still unloaded from a partially loaded stream keep their
    // positions: the new file starts as a copy of that stream.
    if (m_tempStream) {
        m_tempStream->SetPosition(0);
        file->CopyFrom(*m_tempStream, m_tempStream->Size());
    }
    m_tempStream = std::move(file);
    m_tempFileName = name;
    m_ownTempFile = true;
}

void TzdXMLDocument::DeleteTempFile()
{
    m_tempStream.reset();
    if (m_ownTempFile)
        plat::DeleteFile(m_tempFileName);
    m_ownTempFile = false;
    m_tempFileName.clear();
}

void TzdXMLDocument::UnloadItem(TzdXMLItem* item)
{
    if (!item->Loaded || !item->Unloadable)
        return;
    CreateTempFile();
    const qint64 position = m_tempStream->Size();
    m_tempStream->Seek(0, plat::soEnd);
    TzdXMLWriter writer(*m_tempStream);
    writer.TempStream = m_tempStream.get();
    writer.WriteItem(item);
    item->SetStreamPos(position);
    item->Clear();
}

void TzdXMLDocument::LoadItem(TzdXMLItem* item)
{
    if (!item->Unloadable || item->Loaded || !m_tempStream)
        return;
    {
        TzdXMLReader reader(*m_tempStream);
        reader.SetPosition(item->GetStreamPos());
        if (reader.ReadItem(item, true))
            raiseInvalidXml();
    }
    item->Loaded = true;
}
