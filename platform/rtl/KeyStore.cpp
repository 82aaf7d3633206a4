#include "KeyStore.h"

#include "Exceptions.h"
#include "Files.h"
#include "StringList.h"
#include "CodePage.h"

#include <QMutex>
#include <QMutexLocker>

namespace plat {
namespace {

const QString kHiveFileName = QStringLiteral("registry.ini");
const QString kMachineFolder = QStringLiteral("/etc/xdg/sorvamet/");
const QChar kKeyDelimiter = QLatin1Char('\\');

QMutex g_folderMutex;
QString g_userFolderOverride;
QString g_machineFolderOverride;


[[noreturn]] void writeFailed(const QString& name)
{
    throw ERegistryException(QStringLiteral("Failed to set data for '%1'").arg(name));
}

bool isUnder(const QString& section, const QString& key)
{
    if (key.isEmpty())
        return !section.isEmpty();
    return section.size() > key.size() && section.at(key.size()) == kKeyDelimiter &&
           SameText(QStringView(section).left(key.size()), key);
}

} // namespace

// ------------------------------------------------------------------ KeyStore

QString KeyStore::hiveFile(KeyScope scope)
{
    QMutexLocker lock(&g_folderMutex);
    if (scope == KeyScope::User) {
        QString folder = g_userFolderOverride.isEmpty() ? UserConfigFolder() : g_userFolderOverride;
        return IncludeTrailingPathDelimiter(folder) + kHiveFileName;
    }
    QString folder = g_machineFolderOverride.isEmpty() ? kMachineFolder : g_machineFolderOverride;
    return IncludeTrailingPathDelimiter(folder) + kHiveFileName;
}

void KeyStore::setHiveFolders(const QString& userFolder, const QString& machineFolder)
{
    QMutexLocker lock(&g_folderMutex);
    g_userFolderOverride = userFolder;
    g_machineFolderOverride = machineFolder;
}

void KeyStore::resetHiveFolders()
{
    setHiveFolders(QString(), QString());
}

KeyStore::KeyStore(KeyScope scope)
    : m_scope(scope)
    , m_ini(std::make_unique<TIniFile>(hiveFile(scope)))
{
}

KeyStore::~KeyStore() = default;

QString KeyStore::sectionOf(const QString& path)
{
    const QStringList parts = path.split(kKeyDelimiter, Qt::SkipEmptyParts);
    QStringList trimmed;
    for (const QString& part : parts) {
        QString t = part.trimmed();
        if (!t.isEmpty())
            trimmed.append(t);
    }
    return trimmed.join(kKeyDelimiter);
}

QString KeyStore::resolve(const QString& key) const
{
    if (key.startsWith(kKeyDelimiter) || m_current.isEmpty())
        return sectionOf(key);
    return sectionOf(m_current + kKeyDelimiter + key);
}

bool KeyStore::KeyExists(const QString& key)
{
    const QString section = resolve(key);
    if (section.isEmpty() || m_ini->SectionExists(section))
        return true;
    TStringList sections;
    m_ini->ReadSections(sections);
    for (int i = 0; i < sections.Count(); ++i)
        if (isUnder(sections.Strings(i), section))
            return true;
    return false;
}

bool KeyStore::OpenKey(const QString& key, bool canCreate)
{
    const QString section = resolve(key);
    if (!KeyExists(key)) {
        // A created key takes shape in the file with its first value.
        if (!canCreate || ReadOnly())
            return false;
    }
    m_current = section;
    m_open = true;
    m_openReadOnly = false;
    return true;
}

bool KeyStore::OpenKeyReadOnly(const QString& key)
{
    if (!KeyExists(key))
        return false;
    m_current = resolve(key);
    m_open = true;
    m_openReadOnly = true;
    return true;
}

void KeyStore::CloseKey()
{
    m_current.clear();
    m_open = false;
    m_openReadOnly = false;
}

bool KeyStore::ValueExists(const QString& name)
{
    return m_ini->ValueExists(m_current, name);
}

QString KeyStore::ReadString(const QString& name)
{
    return m_ini->ReadString(m_current, name, QString());
}

int KeyStore::ReadInteger(const QString& name, int defaultValue)
{
    return m_ini->ReadInteger(m_current, name, defaultValue);
}

bool KeyStore::ReadBool(const QString& name, bool defaultValue)
{
    return m_ini->ReadBool(m_current, name, defaultValue);
}

void KeyStore::checkWritable(const QString& name) const
{
    if (ReadOnly() || m_openReadOnly)
        writeFailed(name);
}

void KeyStore::WriteString(const QString& name, const QString& value)
{
    checkWritable(name);
    ForceDirectories(ExtractFilePath(m_ini->FileName()));
    try {
        m_ini->WriteString(m_current, name, value);
    } catch (const Exception&) {
        writeFailed(name);
    }
}

void KeyStore::WriteInteger(const QString& name, int value)
{
    WriteString(name, QString::number(value));
}

void KeyStore::WriteBool(const QString& name, bool value)
{
    WriteString(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool KeyStore::DeleteValue(const QString& name)
{
    checkWritable(name);
    if (!m_ini->ValueExists(m_current, name))
        return false;
    try {
        m_ini->DeleteKey(m_current, name);
    } catch (const Exception&) {
        writeFailed(name);
    }
    return true;
}

bool KeyStore::DeleteKey(const QString& key)
{
    const QString section = resolve(key);
    checkWritable(section);
    if (section.isEmpty() || !KeyExists(key))
        return false;
    TStringList sections;
    m_ini->ReadSections(sections);
    try {
        for (int i = 0; i < sections.Count(); ++i) {
            const QString s = sections.Strings(i);
            if (SameText(s, section) || isUnder(s, section))
                m_ini->EraseSection(s);
        }
    } catch (const Exception&) {
        writeFailed(section);
    }
    return true;
}

void KeyStore::ReplaceValues(const QString& key, const std::vector<std::pair<QString, QString>>& values)
{
    const QString section = sectionOf(key);
    if (ReadOnly() || section.isEmpty())
        writeFailed(section);
    try {
        ForceDirectories(ExtractFilePath(m_ini->FileName()));
        TMemIniFile ini(m_ini->FileName());
        ini.EraseSection(section);
        for (const auto& [name, value] : values)
            ini.WriteString(section, name, value);
        ini.UpdateFile();
    } catch (const Exception&) {
        writeFailed(section);
    }
}

void KeyStore::GetValueNames(TStrings& names)
{
    m_ini->ReadSection(m_current, names);
}

void KeyStore::GetKeyNames(TStrings& names)
{
    TStringList sections;
    m_ini->ReadSections(sections);
    QStringList result;
    for (int i = 0; i < sections.Count(); ++i) {
        const QString s = sections.Strings(i);
        if (!isUnder(s, m_current))
            continue;
        QString rest = m_current.isEmpty() ? s : s.mid(m_current.size() + 1);
        QString child = rest.section(kKeyDelimiter, 0, 0);
        bool seen = std::any_of(result.cbegin(), result.cend(),
                                [&](const QString& k) { return SameText(k, child); });
        if (!seen)
            result.append(child);
    }
    names.setStringList(result);
}

// --------------------------------------------------------- TRegistryIniFile

TRegistryIniFile::TRegistryIniFile(const QString& key, KeyScope scope)
    : TCustomIniFile(key)
    , m_store(scope)
    , m_root(KeyStore::sectionOf(key))
{
}

TRegistryIniFile::~TRegistryIniFile() = default;

QString TRegistryIniFile::keyOf(const QString& section) const
{
    return kKeyDelimiter + KeyStore::sectionOf(m_root + kKeyDelimiter + section);
}

QString TRegistryIniFile::ReadString(const QString& section, const QString& ident, const QString& defaultValue)
{
    if (!m_store.OpenKeyReadOnly(keyOf(section)) || !m_store.ValueExists(ident))
        return defaultValue;
    return m_store.ReadString(ident);
}

void TRegistryIniFile::WriteString(const QString& section, const QString& ident, const QString& value)
{
    if (!m_store.OpenKey(keyOf(section), true))
        writeFailed(ident);
    m_store.WriteString(ident, value);
}

void TRegistryIniFile::ReadSection(const QString& section, TStrings& strings)
{
    if (!m_store.OpenKeyReadOnly(keyOf(section))) {
        strings.Clear();
        return;
    }
    m_store.GetValueNames(strings);
}

void TRegistryIniFile::ReadSections(TStrings& strings)
{
    if (!m_store.OpenKeyReadOnly(kKeyDelimiter + m_root)) {
        strings.Clear();
        return;
    }
    m_store.GetKeyNames(strings);
}

void TRegistryIniFile::ReadSectionValues(const QString& section, TStrings& strings)
{
    TStringList names;
    ReadSection(section, names);
    QStringList lines;
    for (int i = 0; i < names.Count(); ++i)
        lines.append(names.Strings(i) + QLatin1Char('=') + m_store.ReadString(names.Strings(i)));
    strings.setStringList(lines);
}

void TRegistryIniFile::EraseSection(const QString& section)
{
    m_store.CloseKey();
    if (m_store.ReadOnly())
        writeFailed(section);
    m_store.DeleteKey(keyOf(section));
}

void TRegistryIniFile::DeleteKey(const QString& section, const QString& ident)
{
    if (m_store.OpenKey(keyOf(section), false))
        m_store.DeleteValue(ident);
}

bool TRegistryIniFile::SectionExists(const QString& section)
{
    m_store.CloseKey();
    return m_store.KeyExists(keyOf(section));
}

bool TRegistryIniFile::ValueExists(const QString& section, const QString& ident)
{
    return m_store.OpenKeyReadOnly(keyOf(section)) && m_store.ValueExists(ident);
}

} // namespace plat
