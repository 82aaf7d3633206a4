#pragma once
// Shared helpers of the engine: the parser of the prototypes with which
// hosts register functions and methods, literal texts to values, the kind of
// a type name, and line:col texts to points.

#include "zs_items.h"

#include <QPoint>
#include <QString>
#include <memory>
#include <vector>

namespace plat {
class FormatArg;
}

// "function Find(const Name: String): Integer" as an item: its name, result
// type, macro flag, and one TzsParamItem per parameter in its list.
std::unique_ptr<TzsCustomVariable> zsParsePrototype(const QString& prototype, TzsScript* script);
// A literal as the lexer returns it: 'text', a decimal or $hex integer
// (Int64 above the Integer range) or a float with '.' whatever the locale.
plat::Variant zsLiteralToValue(const QString& text);
// The kind of the visible item of that name; fvtClass when there is none.
TzsVarType zsTypeOfName(const QString& typeName, TzsScript* script);
// "12:5" gives (5, 12); "" gives (0, 0).
QPoint zsPosToPoint(const QString& text);

// The arguments of the platform's Format for the elements of a variant
// array (a single value counts as one element): integers, floats (Single,
// Double, Currency, Date), texts (8-bit texts cut to 255 characters),
// Booleans and Int64 by the element's kind; anything else is the integer 0.
// The arguments own their texts, so nothing needs freeing afterwards.
std::vector<plat::FormatArg> zsValuesToArgs(const plat::Variant& values);
// A Format argument as a value.
plat::Variant zsArgToValue(const plat::FormatArg& arg);

namespace zs {
// The kind of a base type name (Integer, String, Variant ...), for scripts
// whose host registered no type items; false for other names.
bool builtinTypeKind(const QString& name, TzsVarType* kind);
} // namespace zs
