#pragma once
// What a script can use, as a small tree in the script XML model, for the
// designer's tree of functions and classes and its code completion. The
// texts are display texts: they are written into the attribute text as they
// are, without escaping.

namespace plat {
class TClass;
}

class TzsScript;
class TzsXMLItem;

// Under Element: the groups "Functions" (one group per category),
// "Classes" (with their members), "Types" (enumerations), "Variables" and
// "Constants". With FunctionsOnly the other groups stay empty.
void zsBuildScriptTreeXML(TzsScript* Script, TzsXMLItem* Element, bool FunctionsOnly);
// One "item" per member of every registered class that is ClassRef or one
// of its ancestors, directly under Element.
void zsBuildClassMembersXML(TzsScript* Script, const plat::TClass* ClassRef, TzsXMLItem* Element);
