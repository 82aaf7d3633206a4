#include "zdWideStrings.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "PropStream.h"
#include "Streams.h"
#include "StringList.h"
#include "zdUtils.h"

#include <QLocale>

namespace {

// Font character sets and the code pages the platform gives them.
constexpr int kDefaultCharset = 1;
constexpr int kMacCharset = 77;
constexpr int kOemCharset = 255;
constexpr int kCodePageMac = 2;
constexpr int kCodePageOem = 1;
constexpr int kCodePageSymbol = 42;
constexpr int kSystemAnsiCodePage = 1250;
// The Czech system's OEM and Macintosh code pages.
constexpr int kSystemOemCodePage = 852;
constexpr int kSystemMacCodePage = 10029;
constexpr QChar kLineSeparator = QChar(0x2028);

struct CharsetCodePage {
    int charset;
    int codePage;
};
constexpr CharsetCodePage kCharsetCodePages[] = {
    {0, 1252},   {2, kCodePageSymbol}, {128, 932}, {129, 949},  {130, 1361}, {134, 936},
    {136, 950},  {161, 1253},          {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256},
    {186, 1257}, {204, 1251},          {222, 874},  {238, 1250},
};

struct CharsetLcid {
    int charset;
    int lcid;
};
constexpr CharsetLcid kCharsetLcids[] = {
    {128, 1041}, {129, 1042}, {130, 2066}, {134, 2052},  {136, 3076}, {161, 1032}, {162, 1055},
    {163, 1066}, {177, 1037}, {178, 13313}, {186, 1061}, {204, 1049}, {222, 1054}, {238, 1029},
};

constexpr int kLcidCzech = 1029;
constexpr int kLcidEnglishUS = 1033;

int threadLocaleId()
{
    return QLocale().language() == QLocale::Czech ? kLcidCzech : kLcidEnglishUS;
}

[[noreturn]] void raiseOutOfBounds()
{
    throw plat::Exception(QStringLiteral("Wide String Out of Bounds"));
}

// Code page numbers the platform reserves for "the system's OEM / Mac page".
int effectiveCodePage(int codePage)
{
    switch (codePage) {
    case kCodePageOem:
        return kSystemOemCodePage;
    case kCodePageMac:
        return kSystemMacCodePage;
    default:
        return codePage;
    }
}

} // namespace

int TzdWideStrings::Add(const QString& s)
{
    m_items.push_back(TWString{s, nullptr});
    return Count() - 1;
}

int TzdWideStrings::AddObject(const QString& s, void* object)
{
    const int index = Add(s);
    m_items.back().object = object;
    return index;
}

void TzdWideStrings::AddStrings(const TzdWideStrings& list)
{
    if (&list == this) {
        const TzdWideStrings copy(list);
        AddStrings(copy);
        return;
    }
    for (const TWString& item : list.m_items)
        AddObject(item.text, item.object);
}

QString TzdWideStrings::Get(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return m_items[static_cast<size_t>(index)].text;
}

void* TzdWideStrings::GetObject(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_items[static_cast<size_t>(index)].object;
}

void TzdWideStrings::PutObject(int index, void* object)
{
    if (index >= 0 && index < Count())
        m_items[static_cast<size_t>(index)].object = object;
}

void TzdWideStrings::Put(int index, const QString& s)
{
    if (index >= 0 && index < Count())
        m_items[static_cast<size_t>(index)].text = s;
    else if (index == Count())
        Add(s);
    else
        raiseOutOfBounds();
}

void TzdWideStrings::Insert(int index, const QString& s)
{
    // Insert replaces the line at index, as this list always has.
    Put(index, s);
}

void TzdWideStrings::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw plat::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    m_items.erase(m_items.begin() + index);
}

int TzdWideStrings::IndexOf(const QString& s) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].text == s)
            return static_cast<int>(i);
    return -1;
}

void TzdWideStrings::Clear()
{
    m_items.clear();
}

QString TzdWideStrings::GetTextStr() const
{
    QString text;
    for (const TWString& item : m_items) {
        text += item.text;
        text += QStringLiteral("\r\n");
    }
    return text;
}

void TzdWideStrings::SetTextStr(const QString& text)
{
    Clear();
    const qsizetype len = text.size();
    qsizetype i = 0;
    while (i < len && text[i] != QChar(0)) {
        const qsizetype start = i;
        while (i < len && text[i] != QChar(0) && text[i] != u'\r' && text[i] != u'\n' && text[i] != kLineSeparator)
            ++i;
        Add(text.mid(start, i - start));
        if (i < len && text[i] == u'\r')
            ++i;
        if (i < len && text[i] == u'\n')
            ++i;
        if (i < len && text[i] == kLineSeparator)
            ++i;
    }
}

void TzdWideStrings::Assign(const TzdWideStrings& source)
{
    if (&source == this)
        return;
    m_items = source.m_items;
}

void TzdWideStrings::Assign(const plat::TStrings& source)
{
    Clear();
    for (int i = 0; i < source.Count(); ++i)
        AddObject(source.Strings(i), source.Objects(i));
}

void TzdWideStrings::AssignTo(TzdWideStrings& dest) const
{
    dest.Assign(*this);
}

void TzdWideStrings::AssignTo(plat::TStrings& dest) const
{
    // 8-bit lists hold what code page 1250 can: other characters become '?'.
    dest.BeginUpdate();
    try {
        dest.Clear();
        for (const TWString& item : m_items)
            dest.AddObject(plat::cp1250ToUnicode(plat::unicodeToCp1250(item.text)), item.object);
    } catch (...) {
        dest.EndUpdate();
        throw;
    }
    dest.EndUpdate();
}

bool TzdWideStrings::Equals(const TzdWideStrings& other) const
{
    if (Count() != other.Count())
        return false;
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].text != other.m_items[i].text)
            return false;
    return true;
}

void TzdWideStrings::LoadFromStream(plat::TStream& stream)
{
    const qint64 start = stream.Position();
    const qint64 count = stream.Size() - start;
    if (count > 2) {
        unsigned char bom[2] = {0, 0};
        stream.ReadBuffer(bom, 2);
        if (bom[0] == 0xFF && bom[1] == 0xFE) {
            QByteArray bytes = stream.readAll();
            // An odd last byte is no character: it is dropped.
            bytes.truncate(bytes.size() & ~qsizetype(1));
            SetTextStr(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2));
            return;
        }
        stream.SetPosition(start);
    }
    SetTextStr(plat::cp1250ToUnicode(stream.readAll()));
}

void TzdWideStrings::LoadFromFile(const QString& fileName)
{
    plat::TFileStream stream(fileName, plat::fmOpenRead | plat::fmShareDenyWrite);
    LoadFromStream(stream);
}

void TzdWideStrings::SaveToStream(plat::TStream& stream) const
{
    const QString text = GetTextStr();
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        bytes[2 * i] = static_cast<char>(u & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(u >> 8);
    }
    stream.WriteBuffer(bytes.constData(), bytes.size());
}

void TzdWideStrings::SaveToFile(const QString& fileName) const
{
    zd::writeFileAtomically(fileName, [this](plat::TStream& stream) { SaveToStream(stream); });
}

void TzdWideStrings::DefineProperties(plat::TFiler& filer, const TzdWideStrings* ancestor)
{
    filer.DefineProperty(
        QStringLiteral("UTF8"),
        [this](plat::TReader& reader) {
            QList<QByteArray> lines;
            reader.ReadListBegin();
            while (!reader.EndOfList()) {
                const plat::TValueType kind = reader.NextValue();
                const QString item = reader.ReadString();
                // 8-bit items carry the UTF-8 bytes; code page 1250 gives
                // every byte back unchanged.
                lines.append(kind == plat::vaString || kind == plat::vaLString ? plat::unicodeToCp1250(item)
                                                                               : item.toUtf8());
            }
            reader.ReadListEnd();
            ReadUTF8(lines);
        },
        [this](plat::TWriter& writer) {
            writer.WriteListBegin();
            for (const QByteArray& line : WriteUTF8())
                writer.WriteString(plat::cp1250ToUnicode(line));
            writer.WriteListEnd();
        },
        ShouldWriteUTF8(ancestor));
    filer.DefineProperty(
        QStringLiteral("Strings"),
        [this](plat::TReader& reader) {
            Clear();
            reader.ReadListBegin();
            while (!reader.EndOfList())
                Add(reader.ReadString()); // 8-bit items come in code page 1250
            reader.ReadListEnd();
        },
        nullptr, false);
}

bool TzdWideStrings::ShouldWriteUTF8(const TzdWideStrings* ancestor) const
{
    if (ancestor)
        return !Equals(*ancestor);
    return Count() > 0;
}

QList<QByteArray> TzdWideStrings::WriteUTF8() const
{
    QList<QByteArray> lines;
    lines.reserve(Count());
    for (const TWString& item : m_items)
        lines.append(item.text.toUtf8());
    return lines;
}

void TzdWideStrings::ReadUTF8(const QList<QByteArray>& lines)
{
    Clear();
    for (const QByteArray& line : lines)
        Add(QString::fromUtf8(line));
}

// ---------------------------------------------------------------------------

int zdCharsetToCodePage(int charset)
{
    switch (charset) {
    case kDefaultCharset:
        return kSystemAnsiCodePage;
    case kMacCharset:
        return kCodePageMac;
    case kOemCharset:
        return kCodePageOem;
    default:
        break;
    }
    for (const CharsetCodePage& entry : kCharsetCodePages)
        if (entry.charset == charset)
            return entry.codePage;
    throw plat::EOSError(QStringLiteral("System Error.  Code: 87.\r\nThe parameter is incorrect"));
}

QString zdAnsiToWide(const QByteArray& s, int charset, int codePage)
{
    const int cp = effectiveCodePage(codePage == 0 ? zdCharsetToCodePage(charset) : codePage);
    if (cp == kCodePageSymbol) {
        // Symbol fonts map their bytes into the private-use area.
        QString w;
        w.reserve(s.size());
        for (char c : s)
            w += QChar(0xF000 + static_cast<unsigned char>(c));
        return w;
    }
    return plat::codePageToUnicode(cp, s);
}

QByteArray zdWideToAnsi(const QString& w, int charset, int codePage)
{
    const int cp = effectiveCodePage(codePage == 0 ? zdCharsetToCodePage(charset) : codePage);
    if (cp == kCodePageSymbol) {
        QByteArray s;
        s.reserve(w.size());
        for (QChar c : w) {
            const ushort u = c.unicode();
            s += static_cast<char>(u >= 0xF000 && u <= 0xF0FF ? u - 0xF000 : (u < 0x100 ? u : '?'));
        }
        return s;
    }
    return plat::unicodeToCodePage(cp, w);
}

int zdCharsetToLCID(int charset)
{
    for (const CharsetLcid& entry : kCharsetLcids)
        if (entry.charset == charset)
            return entry.lcid;
    return threadLocaleId();
}

void zdWideStringsLoadUTF16(TzdWideStrings& list, plat::TStream& stream)
{
    QByteArray bytes = stream.readAll();
    bytes.truncate(bytes.size() & ~qsizetype(1));
    list.SetTextStr(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2));
}
