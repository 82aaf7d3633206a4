#include "zs_iinterpreter.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "StringList.h"
#include "zs_grammars.h"
#include "zs_ibasic.h"
#include "zs_icpp.h"
#include "zs_ijs.h"
#include "zs_ipascal.h"

#include <QMutex>
#include <QMutexLocker>
#include <array>
#include <utility>
#include <vector>

namespace {

struct LanguageEntry {
    QString name;
    QString grammar;
};

struct LanguageList {
    QMutex mutex;
    std::vector<LanguageEntry> entries;
};

LanguageList& languages()
{
    static LanguageList* list = [] {
        auto* l = new LanguageList;
        for (auto& [name, grammar] : zs::builtinLanguages())
            l->entries.push_back({name, grammar});
        return l;
    }();
    return *list;
}

struct MessageDefault {
    const char* key;
    const char* text;
};

constexpr std::array<MessageDefault, zs::kMessageCount> kMessageDefaults{{
    {"SLangNotFound", "Language '%s' not found"},
    {"SInvalidLanguage", "Invalid language definition"},
    {"SIdRedeclared", "Identifier redeclared: "},
    {"SUnknownType", "Unknown type: "},
    {"SIncompatibleTypes", "Incompatible types"},
    {"SIdUndeclared", "Undeclared identifier: "},
    {"SClassRequired", "Class type required"},
    {"SIndexRequired", "Index required"},
    {"SStringError", "Strings doesn't have properties or methods"},
    {"SClassError", "Class %s does not have a default property"},
    {"SArrayRequired", "Array type required"},
    {"SVarRequired", "Variable required"},
    {"SNotEnoughParams", "Not enough actual parameters"},
    {"STooManyParams", "Too many actual parameters"},
    {"SLeftCantAssigned", "Left side cannot be assigned to"},
    {"SForError", "For loop variable must be numeric variable"},
    {"SEventError", "Event handler must be a procedure"},
}};

struct Messages {
    QMutex mutex;
    std::array<QString, zs::kMessageCount> texts;
    Messages() { reset(); }
    void reset()
    {
        for (int i = 0; i < zs::kMessageCount; ++i)
            texts[size_t(i)] = QString::fromLatin1(kMessageDefaults[size_t(i)].text);
    }
};

Messages& messages()
{
    static Messages* m = new Messages;
    return *m;
}

int messageIndex(const QString& key)
{
    for (int i = 0; i < zs::kMessageCount; ++i) {
        if (plat::SameText(key, QString::fromLatin1(kMessageDefaults[size_t(i)].key)))
            return i;
    }
    return -1;
}

} // namespace

// ---------------------------------------------------------------- languages

void zsRegisterLanguage(const QString& name, const QString& grammar)
{
    LanguageList& list = languages();
    QMutexLocker lock(&list.mutex);
    for (LanguageEntry& e : list.entries) {
        if (plat::SameText(e.name, name)) {
            e.grammar = grammar;
            return;
        }
    }
    list.entries.push_back({name, grammar});
}

QString zsGetLanguage(const QString& name)
{
    LanguageList& list = languages();
    {
        QMutexLocker lock(&list.mutex);
        for (const LanguageEntry& e : list.entries) {
            if (plat::SameText(e.name, name))
                return e.grammar;
        }
    }
    throw plat::Exception(zs::message(zs::Msg::SLangNotFound, name));
}

QStringList zsGetLanguageNames()
{
    LanguageList& list = languages();
    QMutexLocker lock(&list.mutex);
    QStringList names;
    for (const LanguageEntry& e : list.entries) {
        if (!e.name.startsWith(u'@'))
            names.append(e.name);
    }
    return names;
}

void zsGetLanguageList(plat::TStrings& list)
{
    const QStringList names = zsGetLanguageNames();
    list.Clear();
    for (const QString& n : names)
        list.Add(n);
}

// ---------------------------------------------------------------- messages

namespace zs {

std::vector<std::pair<QString, QString>> builtinLanguages()
{
    return {
        {QStringLiteral("JScript"), jScriptGrammar()},
        {QStringLiteral("BasicScript"), basicScriptGrammar()},
        {QStringLiteral("C++Script"), cppScriptGrammar()},
        {QStringLiteral("PascalScript"), pascalScriptGrammar()},
    };
}

QString message(Msg id)
{
    Messages& m = messages();
    QMutexLocker lock(&m.mutex);
    return m.texts[size_t(id)];
}

QString message(Msg id, const QString& arg)
{
    QString text = message(id);
    text.replace(QLatin1String("%s"), arg);
    return text;
}

CompileHost::~CompileHost() = default;

bool CompileHost::getUnitText(const QString& unitName, QString& unitText)
{
    if (!OnGetUnit)
        return false;
    OnGetUnit(unitName, unitText);
    return true;
}

} // namespace zs

QString zsGetMessage(const QString& key)
{
    const int i = messageIndex(key);
    return i < 0 ? QString() : zs::message(zs::Msg(i));
}

bool zsSetMessage(const QString& key, const QString& text)
{
    const int i = messageIndex(key);
    if (i < 0)
        return false;
    Messages& m = messages();
    QMutexLocker lock(&m.mutex);
    m.texts[size_t(i)] = text;
    return true;
}

QStringList zsMessageKeys()
{
    QStringList keys;
    for (const MessageDefault& d : kMessageDefaults)
        keys.append(QString::fromLatin1(d.key));
    return keys;
}

void zsResetMessages()
{
    Messages& m = messages();
    QMutexLocker lock(&m.mutex);
    m.reset();
}
