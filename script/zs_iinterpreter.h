#pragma once
// The script engine's front door: the language registry, the compiler's
// message texts, and what the front end needs of the script it compiles.

#include <QString>
#include <QStringList>
#include <functional>

namespace plat {
class TStrings;
}

// ---------------------------------------------------------------- languages
//
// One process-wide list of grammars by name (names ignore case). The four
// built-in languages are registered when the list is first used, in the
// order JScript, BasicScript, C++Script, PascalScript.

// Adds the entry, or replaces the grammar of an entry of the same name.
void zsRegisterLanguage(const QString& name, const QString& grammar);
// The grammar text; raises plat::Exception with SLangNotFound for an unknown name.
QString zsGetLanguage(const QString& name);
// Fills list with the registered names in registration order, leaving out
// names that begin with "@".
void zsGetLanguageList(plat::TStrings& list);
QStringList zsGetLanguageNames();

// ---------------------------------------------------------------- messages
//
// Seventeen process-wide texts, English by default; the report library's
// resources replace them by key with the texts of the current language.
// Texts ending in a blank are followed by a name in single quotes.

namespace zs {
enum class Msg {
    SLangNotFound,
    SInvalidLanguage,
    SIdRedeclared,
    SUnknownType,
    SIncompatibleTypes,
    SIdUndeclared,
    SClassRequired,
    SIndexRequired,
    SStringError,
    SClassError,
    SArrayRequired,
    SVarRequired,
    SNotEnoughParams,
    STooManyParams,
    SLeftCantAssigned,
    SForError,
    SEventError,
};
constexpr int kMessageCount = int(Msg::SEventError) + 1;

QString message(Msg id);
// The text with each "%s" replaced by arg, in order.
QString message(Msg id, const QString& arg);
} // namespace zs

// By key ("SLangNotFound", ...): "" for an unknown key.
QString zsGetMessage(const QString& key);
// False for an unknown key (nothing is changed).
bool zsSetMessage(const QString& key, const QString& text);
QStringList zsMessageKeys();
// Back to the English defaults.
void zsResetMessages();

// ---------------------------------------------------------------- compile host

namespace zs {

// The parts of a script that a compile reads and writes. TzsScript is one;
// tools and tests may use this class as it stands.
class CompileHost {
public:
    virtual ~CompileHost();

    // Result of the last compile: message, line:col and the unit it is in.
    QString ErrorMessage;
    QString ErrorPosition;
    QString ErrorUnitName;
    // Folders searched, in order, for the source of a used unit.
    QStringList IncludeDirs{QString()};
    // Characters 128 to 255 (code page 1250) may form identifiers.
    bool AllowExtendedChars = false;
    // A unit's source text from the host, when assigned.
    std::function<void(const QString& unitName, QString& unitText)> OnGetUnit;

    // True when the host supplied the unit (text then holds its source).
    virtual bool getUnitText(const QString& unitName, QString& unitText);
};

} // namespace zs
