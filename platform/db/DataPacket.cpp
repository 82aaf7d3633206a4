#include "DataPacket.h"

#include "CodePage.h"
#include "Exceptions.h"

#include <QHash>

#include <algorithm>
#include <utility>

namespace plat {

namespace {

// ------------------------------------------------------------ field types

struct PacketTypeName {
    TFieldType type;
    const char* fieldtype;
    const char* subtype; // "" when none
};

// How each field type is named in the packet, the first match wins when
// writing; reading looks the pair up (subtype first), then the type alone.
constexpr PacketTypeName kPacketTypes[] = {
    {ftAutoInc, "i4", "Autoinc"},
    {ftString, "string", ""},
    {ftInteger, "i4", ""},
    {ftSmallint, "i2", ""},
    {ftSmallint, "i1", ""},
    {ftWord, "ui2", ""},
    {ftWord, "ui1", ""},
    {ftLargeint, "i8", ""},
    {ftLargeint, "ui4", ""},
    {ftBoolean, "boolean", ""},
    {ftCurrency, "r8", "Money"},
    {ftFloat, "r8", ""},
    {ftBCD, "fixed", ""},
    {ftBCD, "fixedFMT", ""},
    {ftDate, "date", ""},
    {ftTime, "time", ""},
    {ftDateTime, "dateTime", ""},
    {ftTimeStamp, "SQLdateTime", ""},
    {ftWideString, "string.uni", ""},
    {ftMemo, "bin.hex", "Text"},
    {ftMemo, "bin.hex", "WideText"},
    {ftBytes, "bin.hex", ""},
    {ftDataSet, "nested", ""},
    {ftUnknown, "IntArray", ""},
    {ftUnknown, "UIntArray", ""},
};

std::pair<QString, QString> packetTypeOf(const TFieldDef& def)
{
    if (!def.PacketType.isEmpty())
        return {def.PacketType, def.PacketSubtype};
    for (const auto& t : kPacketTypes)
        if (t.type == def.DataType)
            return {QString::fromLatin1(t.fieldtype), QString::fromLatin1(t.subtype)};
    return {QStringLiteral("string"), {}};
}

TFieldType fieldTypeOf(const QString& fieldtype, const QString& subtype)
{
    for (const auto& t : kPacketTypes)
        if (fieldtype == QLatin1String(t.fieldtype) && *t.subtype && subtype.compare(QLatin1String(t.subtype), Qt::CaseInsensitive) == 0)
            return t.type;
    for (const auto& t : kPacketTypes)
        if (fieldtype == QLatin1String(t.fieldtype) && !*t.subtype)
            return t.type;
    return ftUnknown;
}

// ------------------------------------------------------------ writing

void appendReference(QString& out, char32_t code)
{
    // Three digits at least, as the packet's own escapes are written.
    out += QStringLiteral("&#%1;").arg(static_cast<uint>(code), 3, 10, QLatin1Char('0'));
}

void appendAttribute(QString& out, const char* name, const QString& value)
{
    out += QLatin1Char(' ');
    out += QLatin1String(name);
    out += QLatin1String("=\"");
    out += EscapePacketText(value);
    out += QLatin1Char('"');
}

// ------------------------------------------------------------ reading

struct Element {
    QString name;
    std::vector<std::pair<QString, QString>> attributes;
    std::vector<Element> children;

    const QString* attribute(QLatin1String key) const
    {
        for (const auto& [k, v] : attributes)
            if (k.compare(key, Qt::CaseInsensitive) == 0)
                return &v;
        return nullptr;
    }
    const Element* child(QLatin1String key) const
    {
        for (const auto& c : children)
            if (c.name.compare(key, Qt::CaseInsensitive) == 0)
                return &c;
        return nullptr;
    }
};

constexpr int kIso88592 = 28592;

[[noreturn]] void fail(const QString& reason, qsizetype offset = -1)
{
    if (offset >= 0)
        throw EDBClient(QStringLiteral("Invalid data packet: %1 (character %2)").arg(reason).arg(offset + 1));
    throw EDBClient(QStringLiteral("Invalid data packet: %1").arg(reason));
}

// A small tolerant XML reader for the packet: elements and attributes only;
// text between elements is ignored.
class PacketReader {
public:
    explicit PacketReader(QString text) : m_s(std::move(text)) {}

    static bool isNameChar(QChar c)
    {
        return c.isLetterOrNumber() || c == u'_' || c == u':' || c == u'.' || c == u'-';
    }

    Element document()
    {
        if (m_s.startsWith(QChar(0xFEFF)))
            ++m_pos;
        skipMisc();
        if (!at(u'<'))
            fail(QStringLiteral("no root element"), m_pos);
        Element root = element(0);
        skipMisc();
        if (m_pos < m_s.size())
            fail(QStringLiteral("text after the root element"), m_pos);
        return root;
    }

private:
    static constexpr int kMaxDepth = 64;

    bool at(char16_t c) const { return m_pos < m_s.size() && m_s[m_pos] == QChar(c); }
    bool at(QLatin1String text) const { return QStringView(m_s).mid(m_pos).startsWith(text); }
    static bool isSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
    void skipSpace()
    {
        while (m_pos < m_s.size() && isSpace(m_s[m_pos]))
            ++m_pos;
    }
    void skipPast(QLatin1String end)
    {
        const qsizetype i = m_s.indexOf(end, m_pos);
        if (i < 0)
            fail(QStringLiteral("unterminated markup"), m_pos);
        m_pos = i + end.size();
    }
    // Declarations, processing instructions, comments, DOCTYPE, blanks.
    void skipMisc()
    {
        for (;;) {
            skipSpace();
            if (at(QLatin1String("<?")))
                skipPast(QLatin1String("?>"));
            else if (at(QLatin1String("<!--")))
                skipPast(QLatin1String("-->"));
            else if (at(QLatin1String("<!")))
                skipPast(QLatin1String(">"));
            else
                return;
        }
    }
    QString name()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_s.size() && isNameChar(m_s[m_pos]))
            ++m_pos;
        if (m_pos == start)
            fail(QStringLiteral("name expected"), m_pos);
        return m_s.mid(start, m_pos - start);
    }
    QString attributeValue()
    {
        if (!at(u'"') && !at(u'\''))
            fail(QStringLiteral("quoted value expected"), m_pos);
        const QChar quote = m_s[m_pos++];
        QString value;
        while (m_pos < m_s.size() && m_s[m_pos] != quote) {
            const QChar c = m_s[m_pos];
            if (c == u'&') {
                reference(value);
            } else if (c == u'<') {
                fail(QStringLiteral("'<' in a value"), m_pos);
            } else {
                value += c;
                ++m_pos;
            }
        }
        if (m_pos >= m_s.size())
            fail(QStringLiteral("unterminated value"), m_pos);
        ++m_pos;
        return value;
    }
    void reference(QString& out)
    {
        const qsizetype start = m_pos;
        const qsizetype end = m_s.indexOf(u';', m_pos);
        if (end < 0 || end - start > 12)
            fail(QStringLiteral("bad character reference"), start);
        const QStringView ref = QStringView(m_s).mid(start + 1, end - start - 1);
        m_pos = end + 1;
        if (ref == u"lt")
            out += u'<';
        else if (ref == u"gt")
            out += u'>';
        else if (ref == u"amp")
            out += u'&';
        else if (ref == u"apos")
            out += u'\'';
        else if (ref == u"quot")
            out += u'"';
        else if (ref.startsWith(u'#')) {
            bool ok = false;
            const uint code = (ref.size() > 1 && (ref[1] == u'x' || ref[1] == u'X')) ? ref.mid(2).toUInt(&ok, 16)
                                                                                       : ref.mid(1).toUInt(&ok, 10);
            if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                fail(QStringLiteral("bad character reference"), start);
            // Not QString::fromUcs4: it takes a leading U+FEFF for a byte-order
            // mark and drops it.
            if (QChar::requiresSurrogates(code)) {
                out += QChar(QChar::highSurrogate(code));
                out += QChar(QChar::lowSurrogate(code));
            } else {
                out += QChar(char16_t(code));
            }
        } else {
            fail(QStringLiteral("unknown entity"), start);
        }
    }
    Element element(int depth)
    {
        if (depth > kMaxDepth)
            fail(QStringLiteral("elements nested too deeply"), m_pos);
        ++m_pos; // '<'
        Element e;
        e.name = name();
        for (;;) {
            skipSpace();
            if (at(QLatin1String("/>"))) {
                m_pos += 2;
                return e;
            }
            if (at(u'>')) {
                ++m_pos;
                break;
            }
            QString key = name();
            skipSpace();
            if (!at(u'='))
                fail(QStringLiteral("'=' expected"), m_pos);
            ++m_pos;
            skipSpace();
            e.attributes.emplace_back(std::move(key), attributeValue());
        }
        for (;;) {
            const qsizetype lt = m_s.indexOf(u'<', m_pos);
            if (lt < 0)
                fail(QStringLiteral("missing end tag of ") + e.name, m_pos);
            m_pos = lt;
            if (at(QLatin1String("</"))) {
                m_pos += 2;
                const qsizetype where = m_pos;
                if (name() != e.name)
                    fail(QStringLiteral("end tag does not match ") + e.name, where);
                skipSpace();
                if (!at(u'>'))
                    fail(QStringLiteral("'>' expected"), m_pos);
                ++m_pos;
                return e;
            }
            if (at(QLatin1String("<!--")))
                skipPast(QLatin1String("-->"));
            else if (at(QLatin1String("<?")))
                skipPast(QLatin1String("?>"));
            else if (at(QLatin1String("<![CDATA[")))
                skipPast(QLatin1String("]]>"));
            else
                e.children.push_back(element(depth + 1));
        }
    }

    QString m_s;
    qsizetype m_pos = 0;
};

QString decodePacket(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    // The declaration is ASCII in every encoding a packet comes in.
    const qsizetype end = bytes.indexOf("?>");
    if (bytes.startsWith("<?xml") && end > 0) {
        const QByteArray decl = bytes.left(end).toLower();
        const qsizetype at = decl.indexOf("encoding=");
        if (at >= 0 && at + 10 < decl.size()) {
            const char quote = decl[at + 9];
            const qsizetype close = decl.indexOf(quote, at + 10);
            const QByteArray name = decl.mid(at + 10, close < 0 ? -1 : close - at - 10).trimmed();
            if (name == "utf-8" || name == "utf8")
                return QString::fromUtf8(bytes);
            if (name == "iso-8859-2" || name == "latin2")
                return codePageToUnicode(kIso88592, bytes);
        }
    }
    return cp1250ToUnicode(bytes);
}

bool isTrue(const QString* value)
{
    return value && value->trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

TFieldDef fieldDefOf(const Element& f)
{
    const QString* attrname = f.attribute(QLatin1String("attrname"));
    const QString* fieldtype = f.attribute(QLatin1String("fieldtype"));
    if (!attrname || attrname->isEmpty())
        fail(QStringLiteral("a FIELD without attrname"));
    // The name is written as an attribute name of every row: one that could
    // not be read back there would make the next saved file unreadable.
    if (!std::all_of(attrname->begin(), attrname->end(), PacketReader::isNameChar))
        fail(QStringLiteral("field name %1 is not a valid name").arg(*attrname));
    if (!fieldtype)
        fail(QStringLiteral("field %1 without fieldtype").arg(*attrname));
    TFieldDef def;
    def.Name = *attrname;
    def.PacketType = *fieldtype;
    if (const QString* s = f.attribute(QLatin1String("SUBTYPE")))
        def.PacketSubtype = *s;
    def.DataType = fieldTypeOf(def.PacketType, def.PacketSubtype);
    def.ReadOnly = isTrue(f.attribute(QLatin1String("readonly")));
    def.Required = isTrue(f.attribute(QLatin1String("required")));
    def.Hidden = isTrue(f.attribute(QLatin1String("hidden")));
    def.LinkField = isTrue(f.attribute(QLatin1String("linkfield")));
    if (const QString* w = f.attribute(QLatin1String("WIDTH")))
        def.Size = std::max(0, w->trimmed().toInt());
    if (const QString* d = f.attribute(QLatin1String("DECIMALS"))) {
        bool ok = false;
        const int n = d->trimmed().toInt(&ok);
        if (ok)
            def.Decimals = n;
    }
    return def;
}

// RowState bits of a change log.
constexpr int kRowDeleted = 2;
constexpr int kRowModified = 8;

} // namespace

QString EscapePacketText(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'<': out += QLatin1String("&lt;"); continue;
        case u'>': out += QLatin1String("&gt;"); continue;
        case u'&': out += QLatin1String("&amp;"); continue;
        case u'\'': out += QLatin1String("&apos;"); continue;
        case u'"': out += QLatin1String("&quot;"); continue;
        case u'\r': out += QLatin1String("&#013;"); continue;
        case u'\n': out += QLatin1String("&#010;"); continue;
        case u'\t': out += QLatin1String("&#009;"); continue;
        case u'\\': out += QLatin1String("&#092;"); continue;
        default: break;
        }
        if (c.unicode() == 0) {
            out += u'?'; // XML has no reference for it: "&#0;" would make the file unreadable
        } else if (c.unicode() < 0x20) {
            appendReference(out, c.unicode());
        } else if (c.unicode() < 0x80) {
            out += c;
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            appendReference(out, QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else if (c.isSurrogate()) {
            out += u'?'; // a lone half of a pair is no character at all
        } else if (isCp1250Representable(QStringView(&c, 1))) {
            out += c;
        } else {
            appendReference(out, c.unicode());
        }
    }
    return out;
}

QByteArray WriteDataPacket(const std::vector<TFieldDef>& defs, int rowCount,
                           const std::function<const QStringList&(int)>& rowAt, qint64 autoIncValue)
{
    QString out;
    out.reserve(600 + rowCount * 80);
    out += QLatin1String("<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>");
    bool hasAutoInc = false;
    for (const TFieldDef& def : defs) {
        const auto [fieldtype, subtype] = packetTypeOf(def);
        hasAutoInc |= def.DataType == ftAutoInc;
        out += QLatin1String("<FIELD");
        appendAttribute(out, "attrname", def.Name);
        appendAttribute(out, "fieldtype", fieldtype);
        if (def.ReadOnly)
            out += QLatin1String(" readonly=\"true\"");
        if (def.Required)
            out += QLatin1String(" required=\"true\"");
        if (def.Hidden)
            out += QLatin1String(" hidden=\"true\"");
        if (def.LinkField)
            out += QLatin1String(" linkfield=\"true\"");
        if (!subtype.isEmpty())
            appendAttribute(out, "SUBTYPE", subtype);
        if (def.Decimals >= 0)
            appendAttribute(out, "DECIMALS", QString::number(def.Decimals));
        if (def.Size > 0)
            appendAttribute(out, "WIDTH", QString::number(def.Size));
        out += QLatin1String("/>");
    }
    out += QLatin1String("</FIELDS><PARAMS");
    if (hasAutoInc)
        appendAttribute(out, "AUTOINCVALUE", QString::number(autoIncValue));
    out += QLatin1String("/></METADATA><ROWDATA>");
    for (int r = 0; r < rowCount; ++r) {
        const QStringList& values = rowAt(r);
        out += QLatin1String("<ROW");
        for (size_t f = 0; f < defs.size() && f < size_t(values.size()); ++f) {
            const QString& v = values[qsizetype(f)];
            if (v.isEmpty())
                continue;
            out += QLatin1Char(' ');
            out += EscapePacketText(defs[f].Name);
            out += QLatin1String("=\"");
            out += EscapePacketText(v);
            out += QLatin1Char('"');
        }
        out += QLatin1String("/>");
    }
    out += QLatin1String("</ROWDATA></DATAPACKET>");
    // Every character outside the code page is a reference by now.
    return unicodeToCp1250(out);
}

TDataPacket ReadDataPacket(const QByteArray& bytes)
{
    if (bytes.trimmed().isEmpty())
        fail(QStringLiteral("the file is empty"));
    const Element root = PacketReader(decodePacket(bytes)).document();
    if (root.name != QLatin1String("DATAPACKET"))
        fail(QStringLiteral("the root element is %1, not DATAPACKET").arg(root.name));
    const Element* metadata = root.child(QLatin1String("METADATA"));
    const Element* fields = metadata ? metadata->child(QLatin1String("FIELDS")) : nullptr;
    if (!fields)
        fail(QStringLiteral("no METADATA with FIELDS"));

    TDataPacket packet;
    QHash<QString, int> indexOfName; // case-folded field name -> index
    for (const Element& f : fields->children) {
        if (f.name.compare(QLatin1String("FIELD"), Qt::CaseInsensitive) != 0)
            continue;
        TFieldDef def = fieldDefOf(f);
        const QString key = foldCase(def.Name);
        if (indexOfName.contains(key))
            fail(QStringLiteral("field %1 is defined twice").arg(def.Name));
        indexOfName.insert(key, int(packet.defs.size()));
        packet.defs.push_back(std::move(def));
    }
    if (packet.defs.empty())
        fail(QStringLiteral("no fields"));

    int autoIncField = -1;
    for (size_t i = 0; i < packet.defs.size(); ++i)
        if (packet.defs[i].DataType == ftAutoInc && autoIncField < 0)
            autoIncField = int(i);

    qint64 stored = 0;
    bool hasStored = false;
    if (const Element* params = metadata->child(QLatin1String("PARAMS")))
        if (const QString* v = params->attribute(QLatin1String("AUTOINCVALUE")))
            stored = v->trimmed().toLongLong(&hasStored);

    const int fieldCount = int(packet.defs.size());
    if (const Element* rowdata = root.child(QLatin1String("ROWDATA"))) {
        packet.rows.reserve(rowdata->children.size());
        for (const Element& row : rowdata->children) {
            if (row.name.compare(QLatin1String("ROW"), Qt::CaseInsensitive) != 0)
                continue;
            int rowState = 0;
            QStringList values;
            for (int i = 0; i < fieldCount; ++i)
                values << QString();
            for (const auto& [key, value] : row.attributes) {
                if (key.compare(QLatin1String("RowState"), Qt::CaseInsensitive) == 0) {
                    rowState = value.trimmed().toInt();
                    continue;
                }
                const auto it = indexOfName.constFind(foldCase(key));
                if (it != indexOfName.cend())
                    values[*it] = value;
            }
            if (rowState & kRowDeleted)
                continue;
            if ((rowState & kRowModified) && !packet.rows.empty()) {
                // A change-log update holds the changed fields of the row before it.
                QStringList& original = packet.rows.back();
                for (int i = 0; i < fieldCount; ++i)
                    if (!values[i].isEmpty())
                        original[i] = values[i];
                continue;
            }
            packet.rows.push_back(std::move(values));
        }
    }

    // Numbering never reuses an id present in the file, whatever AUTOINCVALUE says.
    qint64 next = hasStored ? std::max<qint64>(stored, 1) : 1;
    if (autoIncField >= 0) {
        for (const QStringList& r : packet.rows) {
            const QString& v = r[autoIncField];
            if (v.isEmpty())
                continue;
            bool ok = false;
            const qint64 id = v.trimmed().toLongLong(&ok);
            if (!ok)
                fail(QStringLiteral("the value \"%1\" of field %2 is not a number").arg(v, packet.defs[autoIncField].Name));
            next = std::max(next, id + 1);
        }
        for (QStringList& r : packet.rows)
            if (r[autoIncField].isEmpty())
                r[autoIncField] = QString::number(next++);
            else
                r[autoIncField] = QString::number(r[autoIncField].trimmed().toLongLong());
    }
    packet.autoIncValue = next;
    return packet;
}

} // namespace plat
