#pragma once
// The built-in grammars, compiled in from resources/grammars/*.xml (generated
// from the rule notation beside them by gen_grammars.py).

#include <QString>
#include <utility>
#include <vector>

namespace zs {

extern const char kPascalScriptGrammar[];
extern const char kCppScriptGrammar[];
extern const char kBasicScriptGrammar[];
extern const char kJScriptGrammar[];

QString pascalScriptGrammar();
QString cppScriptGrammar();
QString basicScriptGrammar();
QString jScriptGrammar();

// Name and grammar text of each built-in language, in registration order.
std::vector<std::pair<QString, QString>> builtinLanguages();

} // namespace zs

// Register (again) one built-in language under its name.
void zsRegisterPascalScript();
void zsRegisterCppScript();
void zsRegisterBasicScript();
void zsRegisterJScript();
