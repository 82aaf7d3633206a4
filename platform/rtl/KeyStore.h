#pragma once
// Registry values on a platform without a registry.
//
// Each hive is an ini file: the user hive (HKEY_CURRENT_USER) is
// "registry.ini" in the XDG config folder's "sorvamet" folder
// ($XDG_CONFIG_HOME or ~/.config), the machine hive (HKEY_LOCAL_MACHINE)
// the same name under /etc/xdg/sorvamet/ and read-only. A key is a
// backslash path ("\Software\Rure Viroraz\Connections") kept as the section of
// that path without the leading backslash; values are the section's keys.
// Key names compare without regard to case.

#include "IniFiles.h"

#include <QString>
#include <memory>
#include <utility>
#include <vector>

namespace plat {

class TStrings;

enum class KeyScope { User, Machine };

class KeyStore {
public:
    // The ini file behind a hive. Tests point both at a temporary folder.
    static QString hiveFile(KeyScope scope);
    static void setHiveFolders(const QString& userFolder, const QString& machineFolder);
    static void resetHiveFolders();

    explicit KeyStore(KeyScope scope = KeyScope::User);
    ~KeyStore();
    KeyStore(const KeyStore&) = delete;
    KeyStore& operator=(const KeyStore&) = delete;

    KeyScope Scope() const { return m_scope; }
    bool ReadOnly() const { return m_scope == KeyScope::Machine; }

    // A key not beginning with '\' is relative to the open key. OpenKey with
    // canCreate creates a missing key (user hive only); false when the key
    // is missing and cannot or may not be created.
    bool OpenKey(const QString& key, bool canCreate);
    bool OpenKeyReadOnly(const QString& key);
    void CloseKey();
    // The open key as "Software\..." ("" for the root).
    const QString& CurrentPath() const { return m_current; }
    bool HasCurrentKey() const { return m_open; }

    bool KeyExists(const QString& key);
    bool ValueExists(const QString& name);
    // A missing value reads as "" / the default.
    QString ReadString(const QString& name);
    int ReadInteger(const QString& name, int defaultValue = 0);
    bool ReadBool(const QString& name, bool defaultValue = false);
    // Writes raise ERegistryException "Failed to set data for '%s'" in the
    // machine hive, on a read-only open key or with no key open.
    void WriteString(const QString& name, const QString& value);
    void WriteInteger(const QString& name, int value);
    void WriteBool(const QString& name, bool value);
    bool DeleteValue(const QString& name);
    // Deletes the key with its subkeys; false if it did not exist.
    bool DeleteKey(const QString& key);
    void GetValueNames(TStrings& names);
    // Direct subkeys of the open key.
    void GetKeyNames(TStrings& names);
    // Replaces every value of the key (a full path) by Values, in one atomic
    // save of the hive: the old values stay when the save fails. Subkeys are
    // kept. Raises ERegistryException in the machine hive or when the hive
    // cannot be written.
    void ReplaceValues(const QString& key, const std::vector<std::pair<QString, QString>>& values);

    // Normalised section name of a key path.
    static QString sectionOf(const QString& path);

private:
    QString resolve(const QString& key) const;
    void checkWritable(const QString& name) const;

    KeyScope m_scope;
    std::unique_ptr<TIniFile> m_ini;
    QString m_current;
    bool m_open = false;
    bool m_openReadOnly = false;
};

// An ini-file interface over a key of the user hive: section S of the file
// is the subkey key + "\" + S. This is the settings object for names that
// begin with "\Software\".
class TRegistryIniFile : public TCustomIniFile {
public:
    explicit TRegistryIniFile(const QString& key, KeyScope scope = KeyScope::User);
    ~TRegistryIniFile() override;

    QString ReadString(const QString& section, const QString& ident, const QString& defaultValue) override;
    void WriteString(const QString& section, const QString& ident, const QString& value) override;
    void ReadSection(const QString& section, TStrings& strings) override;
    void ReadSections(TStrings& strings) override;
    void ReadSectionValues(const QString& section, TStrings& strings) override;
    void EraseSection(const QString& section) override;
    void DeleteKey(const QString& section, const QString& ident) override;
    void UpdateFile() override {}
    bool SectionExists(const QString& section) override;
    bool ValueExists(const QString& section, const QString& ident) override;

private:
    QString keyOf(const QString& section) const;
    KeyStore m_store;
    QString m_root;
};

} // namespace plat
