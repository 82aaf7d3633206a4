#include "IniFiles.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "Files.h"
#include "Streams.h"
#include "StringList.h"
#include "SysUtils.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>

#include <cmath>
#include <sys/stat.h>
#include <vector>

namespace plat {

// ------------------------------------------------------------ text model

namespace detail {

// The file as lines, so that writing keeps everything it does not change.
class IniLines {
public:
    enum class Kind { Other, Section, Key };
    struct Line {
        Kind kind = Kind::Other;
        QString raw;   // the line as it is written
        QString name;  // section or key name, trimmed
        QString value; // key value, trimmed
    };

    void setText(const QString& text);
    QString text() const;
    void setLines(const QStringList& lines);
    QStringList lineTexts() const;
    void clear() { m_lines.clear(); }

    const QString* find(const QString& section, const QString& key) const;
    void write(const QString& section, const QString& key, const QString& value);
    QStringList keys(const QString& section) const;
    // "key=value" of each key, the first of a duplicated one.
    QStringList keyValues(const QString& section) const;
    QStringList sections() const;
    bool sectionExists(const QString& section) const;
    void eraseSection(const QString& section);
    void deleteKey(const QString& section, const QString& key);

private:
    std::vector<const Line*> keyLines(const QString& section) const;
    static Line parse(const QString& raw);
    static QString format(const Line& line);
    static Line keyLine(const QString& key, const QString& value);
    // Index one past the last line of the section whose header is at h.
    int sectionEnd(int h) const;

    std::vector<Line> m_lines;
};

IniLines::Line IniLines::parse(const QString& raw)
{
    Line line;
    line.raw = raw;
    const QString t = raw.trimmed();
    if (t.startsWith(QLatin1Char('['))) {
        qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = t.mid(1, close - 1).trimmed();
            return line;
        }
    }
    if (t.startsWith(QLatin1Char(';')))
        return line;
    qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq >= 0) {
        line.kind = Kind::Key;
        line.name = t.left(eq).trimmed();
        line.value = t.mid(eq + 1).trimmed();
    }
    return line;
}

QString IniLines::format(const Line& line)
{
    // Lines we did not change go out exactly as they came in.
    return line.raw;
}

IniLines::Line IniLines::keyLine(const QString& key, const QString& value)
{
    Line line;
    line.kind = Kind::Key;
    line.name = key;
    line.value = value;
    line.raw = key + QLatin1Char('=') + value;
    return line;
}

void IniLines::setText(const QString& text)
{
    TStringList list;
    list.SetText(text);
    setLines(list.toStringList());
}

void IniLines::setLines(const QStringList& lines)
{
    m_lines.clear();
    m_lines.reserve(static_cast<size_t>(lines.size()));
    for (const QString& raw : lines)
        m_lines.push_back(parse(raw));
}

QStringList IniLines::lineTexts() const
{
    QStringList result;
    result.reserve(static_cast<qsizetype>(m_lines.size()));
    for (const Line& line : m_lines)
        result.append(format(line));
    return result;
}

QString IniLines::text() const
{
    QString result;
    for (const Line& line : m_lines) {
        result += format(line);
        result += QLatin1String("\r\n");
    }
    return result;
}

int IniLines::sectionEnd(int h) const
{
    int i = h + 1;
    while (i < static_cast<int>(m_lines.size()) && m_lines[static_cast<size_t>(i)].kind != Kind::Section)
        ++i;
    return i;
}

const QString* IniLines::find(const QString& section, const QString& key) const
{
    // Several headers of one name act as one section; the first key wins.
    bool inSection = false;
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Section)
            inSection = SameText(line.name, section);
        else if (inSection && line.kind == Kind::Key && SameText(line.name, key))
            return &line.value;
    }
    return nullptr;
}

void IniLines::write(const QString& section, const QString& key, const QString& value)
{
    int firstHeader = -1;
    bool inSection = false;
    for (int i = 0; i < static_cast<int>(m_lines.size()); ++i) {
        Line& line = m_lines[static_cast<size_t>(i)];
        if (line.kind == Kind::Section) {
            inSection = SameText(line.name, section);
            if (inSection && firstHeader < 0)
                firstHeader = i;
        } else if (inSection && line.kind == Kind::Key && SameText(line.name, key)) {
            // The file's spelling of the key is kept.
            line = keyLine(line.name, value);
            return;
        }
    }
    const Line newLine = keyLine(key, value);
    if (firstHeader < 0) {
        if (!m_lines.empty() && !m_lines.back().raw.trimmed().isEmpty())
            m_lines.push_back(Line{});
        Line header;
        header.kind = Kind::Section;
        header.name = section;
        header.raw = QLatin1Char('[') + section + QLatin1Char(']');
        m_lines.push_back(header);
        m_lines.push_back(newLine);
        return;
    }
    // After the section's last key, so that blank lines and comments that
    // lead into the next section stay in front of it.
    int insertAt = firstHeader + 1;
    int end = sectionEnd(firstHeader);
    for (int i = firstHeader + 1; i < end; ++i)
        if (m_lines[static_cast<size_t>(i)].kind == Kind::Key)
            insertAt = i + 1;
    m_lines.insert(m_lines.begin() + insertAt, newLine);
}

// Duplicates are found through a set of folded names, so that a long
// section or a file of many sections reads in linear time.
std::vector<const IniLines::Line*> IniLines::keyLines(const QString& section) const
{
    std::vector<const Line*> result;
    QSet<QString> seen;
    bool inSection = false;
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Section) {
            inSection = SameText(line.name, section);
        } else if (inSection && line.kind == Kind::Key) {
            const qsizetype before = seen.size();
            seen.insert(foldCase(line.name));
            if (seen.size() != before)
                result.push_back(&line);
        }
    }
    return result;
}

QStringList IniLines::keys(const QString& section) const
{
    QStringList result;
    for (const Line* line : keyLines(section))
        result.append(line->name);
    return result;
}

QStringList IniLines::keyValues(const QString& section) const
{
    QStringList result;
    for (const Line* line : keyLines(section))
        result.append(line->name + QLatin1Char('=') + line->value);
    return result;
}

QStringList IniLines::sections() const
{
    QStringList result;
    QSet<QString> seen;
    for (const Line& line : m_lines) {
        if (line.kind != Kind::Section)
            continue;
        const qsizetype before = seen.size();
        seen.insert(foldCase(line.name));
        if (seen.size() != before)
            result.append(line.name);
    }
    return result;
}

bool IniLines::sectionExists(const QString& section) const
{
    return std::any_of(m_lines.begin(), m_lines.end(), [&](const Line& line) {
        return line.kind == Kind::Section && SameText(line.name, section);
    });
}

void IniLines::eraseSection(const QString& section)
{
    for (int i = static_cast<int>(m_lines.size()) - 1; i >= 0; --i) {
        const Line& line = m_lines[static_cast<size_t>(i)];
        if (line.kind == Kind::Section && SameText(line.name, section))
            m_lines.erase(m_lines.begin() + i, m_lines.begin() + sectionEnd(i));
    }
}

void IniLines::deleteKey(const QString& section, const QString& key)
{
    // Every copy of a duplicated key goes, or the next one would show through.
    bool inSection = false;
    std::vector<Line> kept;
    kept.reserve(m_lines.size());
    for (Line& line : m_lines) {
        if (line.kind == Kind::Section)
            inSection = SameText(line.name, section);
        else if (inSection && line.kind == Kind::Key && SameText(line.name, key))
            continue;
        kept.push_back(std::move(line));
    }
    m_lines = std::move(kept);
}

} // namespace detail

namespace {

// A value must stay on its line: line breaks become blanks.
QString oneLine(const QString& value)
{
    QString result = value;
    result.replace(QLatin1String("\r\n"), QLatin1String(" "));
    result.replace(QLatin1Char('\r'), QLatin1Char(' '));
    result.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return result.trimmed();
}

const QString kHexDigits = QStringLiteral("0123456789ABCDEF");

} // namespace

// ------------------------------------------------------------ TCustomIniFile

TCustomIniFile::TCustomIniFile(QString fileName)
    : m_fileName(std::move(fileName))
{
}

TCustomIniFile::~TCustomIniFile() = default;

bool TCustomIniFile::SectionExists(const QString& section)
{
    TStringList keys;
    ReadSection(section, keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const QString& section, const QString& ident)
{
    TStringList keys;
    ReadSection(section, keys);
    return keys.IndexOf(ident) >= 0;
}

bool TCustomIniFile::parseInteger(const QString& text, int& value)
{
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.at(0) == QLatin1Char('-');
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(QLatin1Char('$'))) {
        base = 16;
        t = t.mid(1);
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t = t.mid(2);
    }
    if (t.isEmpty())
        return false;
    qint64 magnitude = 0;
    for (QChar c : t) {
        int d = HexDigitValue(c);
        if (d < 0 || d >= base)
            return false;
        magnitude = magnitude * base + d;
        if (magnitude > 0xFFFFFFFFLL)
            return false;
    }
    if (base == 16) {
        // Hex names the 32 bits: $FFFFFFFF is -1.
        qint32 bits = static_cast<qint32>(static_cast<quint32>(magnitude));
        value = negative ? -bits : bits;
        return true;
    }
    qint64 signedValue = negative ? -magnitude : magnitude;
    if (signedValue < INT32_MIN || signedValue > INT32_MAX)
        return false;
    value = static_cast<int>(signedValue);
    return true;
}

bool TCustomIniFile::parseFloat(const QString& text, double& value)
{
    QString t = text.trimmed();
    t.remove(QLatin1Char(' '));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    if (t.isEmpty())
        return false;
    bool ok = false;
    double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

QString TCustomIniFile::floatText(double value)
{
    // Fifteen significant digits, the platform's float-to-text precision,
    // with its exponent form ("1E20", "1.5E-7").
    QString s = QString::number(value, 'g', 15);
    qsizetype e = s.indexOf(QLatin1Char('e'));
    if (e < 0)
        return s;
    QString mantissa = s.left(e);
    QString exponent = s.mid(e + 1);
    bool negative = exponent.startsWith(QLatin1Char('-'));
    if (exponent.startsWith(QLatin1Char('+')) || negative)
        exponent = exponent.mid(1);
    while (exponent.size() > 1 && exponent.startsWith(QLatin1Char('0')))
        exponent = exponent.mid(1);
    return mantissa + QLatin1Char('E') + (negative ? QStringLiteral("-") : QString()) + exponent;
}

int TCustomIniFile::ReadInteger(const QString& section, const QString& ident, int defaultValue)
{
    int value = 0;
    return parseInteger(ReadString(section, ident, QString()), value) ? value : defaultValue;
}

void TCustomIniFile::WriteInteger(const QString& section, const QString& ident, int value)
{
    WriteString(section, ident, QString::number(value));
}

bool TCustomIniFile::ReadBool(const QString& section, const QString& ident, bool defaultValue)
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const QString& section, const QString& ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

double TCustomIniFile::ReadFloat(const QString& section, const QString& ident, double defaultValue)
{
    double value = 0;
    return parseFloat(ReadString(section, ident, QString()), value) ? value : defaultValue;
}

void TCustomIniFile::WriteFloat(const QString& section, const QString& ident, double value)
{
    WriteString(section, ident, floatText(value));
}

int TCustomIniFile::ReadBinaryStream(const QString& section, const QString& ident, TStream& value)
{
    const QString text = ReadString(section, ident, QString());
    QByteArray bytes;
    bytes.reserve(text.size() / 2);
    for (qsizetype i = 0; i + 1 < text.size(); i += 2) {
        int hi = HexDigitValue(text.at(i));
        int lo = HexDigitValue(text.at(i + 1));
        if (hi < 0 || lo < 0)
            break;
        bytes.append(static_cast<char>(hi * 16 + lo));
    }
    if (!bytes.isEmpty()) {
        qint64 position = value.Position();
        value.WriteBuffer(bytes.constData(), bytes.size());
        value.SetPosition(position);
    }
    return static_cast<int>(bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const QString& section, const QString& ident, TStream& value)
{
    const QByteArray bytes = value.readAll();
    QString text;
    text.reserve(bytes.size() * 2);
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        text += kHexDigits.at(b >> 4);
        text += kHexDigits.at(b & 0xF);
    }
    WriteString(section, ident, text);
}

// ------------------------------------------------------------ TTextIniFile

TTextIniFile::TTextIniFile(QString fileName)
    : TCustomIniFile(std::move(fileName))
    , m_lines(std::make_unique<detail::IniLines>())
{
}

TTextIniFile::~TTextIniFile() = default;

QString TTextIniFile::ReadString(const QString& section, const QString& ident, const QString& defaultValue)
{
    beforeAccess();
    const QString* value = m_lines->find(section.trimmed(), ident.trimmed());
    return value ? *value : defaultValue;
}

void TTextIniFile::WriteString(const QString& section, const QString& ident, const QString& value)
{
    beforeAccess();
    m_lines->write(section.trimmed(), ident.trimmed(), oneLine(value));
    changed();
}

void TTextIniFile::ReadSection(const QString& section, TStrings& strings)
{
    beforeAccess();
    strings.setStringList(m_lines->keys(section.trimmed()));
}

void TTextIniFile::ReadSections(TStrings& strings)
{
    beforeAccess();
    strings.setStringList(m_lines->sections());
}

void TTextIniFile::ReadSectionValues(const QString& section, TStrings& strings)
{
    beforeAccess();
    strings.setStringList(m_lines->keyValues(section.trimmed()));
}

void TTextIniFile::EraseSection(const QString& section)
{
    beforeAccess();
    m_lines->eraseSection(section.trimmed());
    changed();
}

void TTextIniFile::DeleteKey(const QString& section, const QString& ident)
{
    beforeAccess();
    m_lines->deleteKey(section.trimmed(), ident.trimmed());
    changed();
}

bool TTextIniFile::SectionExists(const QString& section)
{
    beforeAccess();
    return m_lines->sectionExists(section.trimmed());
}

bool TTextIniFile::ValueExists(const QString& section, const QString& ident)
{
    beforeAccess();
    return m_lines->find(section.trimmed(), ident.trimmed()) != nullptr;
}

void TTextIniFile::GetStrings(TStrings& list)
{
    beforeAccess();
    list.setStringList(m_lines->lineTexts());
}

void TTextIniFile::SetStrings(const TStrings& list)
{
    m_lines->setLines(list.toStringList());
    changed();
}

void TTextIniFile::Clear()
{
    m_lines->clear();
    changed();
}

void TTextIniFile::loadFromDisk()
{
    QFile file(nativePath(FileName()));
    if (!file.open(QIODevice::ReadOnly)) {
        m_lines->clear();
        return;
    }
    m_lines->setText(decodeTextBytes(file.readAll()));
}

void TTextIniFile::saveToDisk()
{
    writeFileAtomic(FileName(), unicodeToCp1250(m_lines->text()));
}

// ------------------------------------------------------------ TMemIniFile

TMemIniFile::TMemIniFile(const QString& fileName)
    : TTextIniFile(fileName)
{
    if (!fileName.isEmpty())
        loadFromDisk();
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::UpdateFile()
{
    saveToDisk();
}

// ------------------------------------------------------------ TIniFile

TIniFile::TIniFile(const QString& fileName)
    : TTextIniFile(fileName)
{
    m_stamp = stampOf(fileName);
    loadFromDisk();
}

TIniFile::~TIniFile() = default;

TIniFile::DiskStamp TIniFile::stampOf(const QString& fileName)
{
    DiskStamp stamp;
    struct stat st;
    const QByteArray path = QFile::encodeName(nativePath(fileName));
    if (::stat(path.constData(), &st) == 0) {
        stamp.inode = static_cast<quint64>(st.st_ino);
        stamp.size = static_cast<qint64>(st.st_size);
        stamp.mtimeNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    }
    return stamp;
}

void TIniFile::beforeAccess()
{
    DiskStamp now = stampOf(FileName());
    if (now == m_stamp)
        return;
    m_stamp = now;
    loadFromDisk();
}

void TIniFile::changed()
{
    const QString path = nativePath(FileName());
    // A file that exists but cannot be read must not be replaced by what
    // little we know of it.
    bool unreadable = QFileInfo::exists(path) && !QFileInfo(path).isReadable();
    try {
        if (unreadable)
            throw EFCreateError(QString());
        saveToDisk();
    } catch (const Exception&) {
        // Memory follows the disk again: a failed write changes nothing.
        m_stamp = stampOf(FileName());
        loadFromDisk();
        throw EIniFileException(QStringLiteral("Unable to write to %1").arg(FileName()));
    }
    m_stamp = stampOf(FileName());
}

void TIniFile::UpdateFile()
{
    // Every write is on disk already.
}

} // namespace plat
