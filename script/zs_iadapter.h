#pragma once
// What the adapter modules share: reading a call's parameters, resolving an
// instance or an object parameter through its handle with a class check,
// and the record of the objects scripts created, which alone (with
// components) a script may free.

#include "Exceptions.h"
#include "Handles.h"
#include "Objects.h"
#include "Variant.h"
#include "zs_items.h"
#include "zs_script.h"

#include <QString>

namespace zs {

inline plat::Variant param(TzsMethodHelper* caller, int index)
{
    return caller->GetParam(index);
}
inline QString paramText(TzsMethodHelper* caller, int index)
{
    return plat::VarToStr(caller->GetParam(index));
}

[[noreturn]] void raiseNilInstance();

// A set argument: an integer of element bits, or a set constructor's array
// of element values (each an element's bit), or'ed together.
quint32 setBits(const plat::Variant& value);

// The instance as T: nil raises "Invalid object reference", another class
// raises EInvalidCast "Invalid class typecast".
template <class T>
T* instanceAs(plat::TObject* instance)
{
    if (!instance)
        raiseNilInstance();
    T* typed = dynamic_cast<T*>(instance);
    if (!typed)
        plat::detail::raiseInvalidTypecast();
    return typed;
}

// An object parameter as T, checked the same way; nil raises.
template <class T>
T* objectParam(TzsMethodHelper* caller, int index)
{
    return instanceAs<T>(objectOf(caller->GetParam(index)));
}

// An object parameter that may be nil (nullptr then); another class raises.
template <class T>
T* optionalObjectParam(TzsMethodHelper* caller, int index)
{
    plat::TObject* obj = objectOf(caller->GetParam(index));
    return obj ? instanceAs<T>(obj) : nullptr;
}

// Records obj as created by a script and returns it as a value. Objects a
// script creates and does not free are freed when the script's modules go.
plat::Variant adoptScriptObject(TzsScript* script, plat::TObject* obj);
// Frees obj when a script created it or it is a component; an object that
// belongs to another (a font of a control, the lines of a memo, an XML
// child) raises EInvalidOperation instead.
void freeScriptObject(plat::TObject* obj);
bool isScriptObject(const plat::TObject* obj);
// obj now belongs to a host owner: the script neither frees it nor may.
void releaseScriptObject(const plat::TObject* obj);

// Registers "Name: Type" constants of one type from a table.
struct IntConst {
    const char* name;
    qint64 value;
};
void addIntConsts(TzsScript* script, const IntConst* first, const IntConst* last, const char* typeName = "Integer");

} // namespace zs
