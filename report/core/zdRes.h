#pragma once
// The report library's store of localisable texts and its help.
//
// Every user-interface text of the report library is fetched by key
// ("clErrors") or by number (zdGetResText(1)). The built-in Czech tables are
// loaded when the store is first asked for; a language file (".zdc") loaded
// later overrides texts by key and adds new keys.

#include "zdWideStrings.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

class QObject;

namespace plat {
class TObject;
class TStream;
} // namespace plat

class TzdResources {
public:
    TzdResources(); // an empty store; scans the language files beside the program

    // The text of a key, or the key itself when unknown; one leading '!' is
    // dropped. Texts stay wide: the platform shows them as they are.
    QString GetText(const QString& key) const;
    // 8-bit text, converted with CodePage (0: code page 1250).
    void SetText(const QString& key, const QByteArray& text);
    void SetWideText(const QString& key, const QString& text);

    void LoadFromStream(plat::TStream& stream);
    void LoadFromFile(const QString& fileName); // a missing file is ignored
    void LoadFromString(const QByteArray& xml);

    // Hands the seventeen compiler messages of the script engine their texts.
    void LocalizeScriptMessages();

    // Opens the help at the topic of the sender's class; without a sender, or
    // for a class without a topic, at the contents.
    void ShowHelp(const plat::TObject* sender = nullptr);
    void ShowHelpForClass(const QString& className);
    void ScanLanguageFiles();

    int CodePage() const { return m_codePage; }
    const QStringList& Languages() const { return m_languages; }
    int Count() const { return m_values.Count(); }
    QString HelpFile = QStringLiteral("ZDUser.chm");

private:
    QHash<QString, int> m_names; // folded key -> index into m_values
    TzdWideStrings m_values;
    int m_codePage = 0;
    QStringList m_languages;
};

// The process-wide store, created with the built-in tables on first use.
TzdResources* zdGetResources();
QString zdGetResText(int id);

// Opens a page of the compiled help ("<folder>/ZDUser.chm::/Page.htm") as the
// local HTML page "<folder>/ZDUser/Page.htm" ("index.htm" without a topic)
// through the shell service. False when there are no user-interface services
// or the page could not be opened.
bool zdHtmlHelp(QObject* window, const QString& path);

namespace zd {

// The help page of a window class ("Text_object.htm"), empty when none.
QString helpTopicPage(const QString& className);

// The built-in string tables compiled into the program.
struct BuiltinStringTable {
    const char* name;
    const unsigned char* data;
    unsigned long size;
};
extern const BuiltinStringTable kBuiltinStringTables[];
extern const int kBuiltinStringTableCount;

} // namespace zd
