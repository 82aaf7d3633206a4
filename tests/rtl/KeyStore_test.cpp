#include "KeyStore.h"
#include "Exceptions.h"
#include "StringList.h"
#include "../MutationTestUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plat;

namespace {

// Both hives in a fresh temporary folder, restored afterwards.
class KeyStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        KeyStore::setHiveFolders(m_dir.filePath("user"), m_dir.filePath("machine"));
    }
    void TearDown() override { KeyStore::resetHiveFolders(); }

    void writeMachineHive(const QByteArray& text)
    {
        QDir().mkpath(m_dir.filePath("machine"));
        QFile f(KeyStore::hiveFile(KeyScope::Machine));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    QTemporaryDir m_dir;
};

QStringList names(TStrings& list)
{
    return list.toStringList();
}

} // namespace

TEST_F(KeyStoreTest, HiveFilesLiveInTheXdgFoldersByDefault)
{
    KeyStore::resetHiveFolders();
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/x/config");
    EXPECT_EQ(KeyStore::hiveFile(KeyScope::User), "/x/config/sorvamet/registry.ini");
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(KeyStore::hiveFile(KeyScope::User), QDir::homePath() + "/.config/sorvamet/registry.ini");
    EXPECT_EQ(KeyStore::hiveFile(KeyScope::Machine), "/etc/xdg/sorvamet/registry.ini");
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

TEST_F(KeyStoreTest, UserValuesPersistUnderBackslashKeys)
{
    {
        KeyStore store;
        EXPECT_FALSE(store.OpenKey("\\Software\\Rure Viroraz\\Connections", false));
        ASSERT_TRUE(store.OpenKey("\\Software\\Rure Viroraz\\Connections", true));
        store.WriteString("Sklad", "Provider=x;Data Source=y");
        store.WriteInteger("Count", 3);
        store.WriteBool("On", true);
    }
    KeyStore store;
    ASSERT_TRUE(store.OpenKeyReadOnly("\\software\\rure viroraz\\connections\\"));
    EXPECT_EQ(store.CurrentPath(), "software\\rure viroraz\\connections");
    EXPECT_EQ(store.ReadString("SKLAD"), "Provider=x;Data Source=y");
    EXPECT_EQ(store.ReadInteger("Count"), 3);
    EXPECT_TRUE(store.ReadBool("On"));
    EXPECT_EQ(store.ReadString("Missing"), "");
    EXPECT_FALSE(store.ValueExists("Missing"));
    QFile f(KeyStore::hiveFile(KeyScope::User));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("[Software\\Rure Viroraz\\Connections]\r\nSklad="));
}

TEST_F(KeyStoreTest, MachineHiveIsReadOnly)
{
    writeMachineHive("[Software\\Rure Viroraz\\Connections]\nSklad=machine\n");
    KeyStore machine(KeyScope::Machine);
    EXPECT_TRUE(machine.ReadOnly());
    EXPECT_FALSE(machine.OpenKey("\\Software\\New", true));
    ASSERT_TRUE(machine.OpenKey("\\Software\\Rure Viroraz\\Connections", false));
    EXPECT_EQ(machine.ReadString("Sklad"), "machine");
    try {
        machine.WriteString("Sklad", "changed");
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.message(), "Failed to set data for 'Sklad'");
    }
    EXPECT_THROW(machine.DeleteValue("Sklad"), ERegistryException);
    EXPECT_THROW(machine.DeleteKey("\\Software"), ERegistryException);
    EXPECT_EQ(KeyStore(KeyScope::Machine).ReadString("Sklad"), "");
}

TEST_F(KeyStoreTest, ReadOnlyOpenRefusesWrites)
{
    KeyStore store;
    ASSERT_TRUE(store.OpenKey("\\Software\\A", true));
    store.WriteString("v", "1");
    ASSERT_TRUE(store.OpenKeyReadOnly("\\Software\\A"));
    EXPECT_THROW(store.WriteString("v", "2"), ERegistryException);
    EXPECT_EQ(store.ReadString("v"), "1");
}

TEST_F(KeyStoreTest, RelativeKeysSubkeysAndRecursiveDelete)
{
    KeyStore store;
    ASSERT_TRUE(store.OpenKey("\\Software\\Rure Viroraz", true));
    ASSERT_TRUE(store.OpenKey("Designer", true)); // relative to the open key
    store.WriteString("Left", "10");
    ASSERT_TRUE(store.OpenKey("\\Software\\Rure Viroraz\\Preview\\Window", true));
    store.WriteString("Top", "5");
    ASSERT_TRUE(store.OpenKey("\\Software\\Rure Viroraz", false)); // exists through its subkeys
    TStringList keys;
    store.GetKeyNames(keys);
    EXPECT_EQ(names(keys), (QStringList{"Designer", "Preview"}));
    EXPECT_TRUE(store.KeyExists("preview\\window"));
    EXPECT_FALSE(store.KeyExists("\\Software\\Rure"));  // a prefix of a name is not a key
    EXPECT_TRUE(store.DeleteKey("Preview"));
    EXPECT_FALSE(store.KeyExists("Preview\\Window"));
    EXPECT_FALSE(store.DeleteKey("Preview"));
    EXPECT_TRUE(store.KeyExists("Designer"));
    ASSERT_TRUE(store.OpenKey("Designer", false));
    TStringList values;
    store.GetValueNames(values);
    EXPECT_EQ(names(values), QStringList{"Left"});
    EXPECT_TRUE(store.DeleteValue("left"));
    EXPECT_FALSE(store.DeleteValue("left"));
}

TEST_F(KeyStoreTest, RegistryIniFileMapsSectionsToSubkeys)
{
    {
        TRegistryIniFile ini("\\Software\\Rure Viroraz");
        ini.WriteInteger("Preview", "Zoom", 100);
        ini.WriteBool("Preview", "Outline", true);
        ini.WriteString("Designer", "Language", "Czech");
        EXPECT_EQ(ini.FileName(), "\\Software\\Rure Viroraz");
    }
    TRegistryIniFile ini("\\Software\\Rure Viroraz");
    EXPECT_EQ(ini.ReadInteger("preview", "zoom", 0), 100);
    EXPECT_TRUE(ini.ReadBool("Preview", "Outline", false));
    EXPECT_EQ(ini.ReadString("Designer", "Missing", "def"), "def");
    EXPECT_EQ(ini.ReadString("Nothing", "Missing", "def"), "def");
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(names(sections), (QStringList{"Preview", "Designer"}));
    TStringList values;
    ini.ReadSectionValues("Preview", values);
    EXPECT_EQ(names(values), (QStringList{"Zoom=100", "Outline=1"}));
    EXPECT_TRUE(ini.ValueExists("Preview", "Zoom"));
    ini.DeleteKey("Preview", "Zoom");
    EXPECT_FALSE(ini.ValueExists("Preview", "Zoom"));
    ini.EraseSection("Designer");
    EXPECT_FALSE(ini.SectionExists("Designer"));
    EXPECT_TRUE(ini.SectionExists("Preview"));
    // The key store sees the same values.
    KeyStore store;
    ASSERT_TRUE(store.OpenKey("\\Software\\Rure Viroraz\\Preview", false));
    EXPECT_EQ(store.ReadString("Outline"), "1");
}

// ---------------------------------------------------------------- damaged hive

namespace {

void readHive(const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(KeyStore::hiveFile(KeyScope::User)).path());
    {
        QFile f(KeyStore::hiveFile(KeyScope::User));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    KeyStore ks;
    const QString base = QStringLiteral("\\Software\\Rure Viroraz");
    if (ks.OpenKeyReadOnly(base)) {
        TStringList keys;
        ks.GetKeyNames(keys);
        for (const QString& key : keys.toStringList()) {
            KeyStore sub;
            if (!sub.OpenKeyReadOnly(base + u'\\' + key))
                continue;
            TStringList values;
            sub.GetValueNames(values);
            for (const QString& name : values.toStringList()) {
                (void)sub.ReadString(name);
                (void)sub.ReadInteger(name, 0);
                (void)sub.ReadBool(name, false);
            }
        }
    }
    TRegistryIniFile settings(base);
    TStringList sections;
    settings.ReadSections(sections);
    for (const QString& section : sections.toStringList()) {
        TStringList values;
        settings.ReadSectionValues(section, values);
    }
    KeyStore writer;
    if (writer.OpenKey(base + QStringLiteral("\\Robust"), true)) {
        writer.WriteInteger(QStringLiteral("Pocet"), 7);
        KeyStore reader;
        if (!reader.OpenKeyReadOnly(base + QStringLiteral("\\Robust")) || reader.ReadInteger(QStringLiteral("Pocet")) != 7)
            ADD_FAILURE() << "a written value did not read back from " << bytes.toHex().constData();
    }
}

} // namespace

TEST_F(KeyStoreTest, MutatedHiveReadsWithoutHarm)
{
    const QByteArray hive = "[Software\\Rure Viroraz\\Connections]\r\nCount=2\r\nName0=Sklad\r\nName1=\xE8\xE1rov\xE9\r\n"
                            "[Software\\Rure Viroraz\\Sorvamet\\Okno]\r\nLeft=-20\r\nMax=1\r\n"
                            "[software\\rure viroraz\\connections]\r\nDup=1\r\n";
    const auto outcome = mutation::runMutations({hive}, 1000, 4242, mutation::textTokens(), readHive);
    EXPECT_GT(outcome.accepted, 1000);
}
