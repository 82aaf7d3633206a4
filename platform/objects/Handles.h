#pragma once
// Object and class references inside Variants.
//
// Object and class references never travel as addresses. Each object gets a
// 32-bit handle the first time it enters a Variant; the handle is weak: the
// object's destructor marks it dead, and any later use raises EAccessViolation
// "Invalid object reference", as does a number that was never a handle.
// Handles are never reused. Classes get handles from the same numbering, so
// a value tells an object from a class. Handles start above 65535, so that
// the small integers scripts use as flags and stamps are never handles.
// One process-wide table; the model runs on the user-interface thread.

#include "Variant.h"

#include <QtGlobal>

namespace plat {

class TObject;
class TClass;

// 0 for nil.
quint32 ObjectToHandle(const TObject* obj);
// nullptr for 0; raises for a dead, unknown or class handle.
TObject* HandleToObject(quint32 handle);
// The object as T; raises EInvalidCast "Invalid class typecast" when it is
// of another class.
template <class T>
T* HandleToObjectAs(quint32 handle);

quint32 ClassToHandle(const TClass* cls);
// nullptr for 0; raises for anything that is not a class handle.
const TClass* HandleToClass(quint32 handle);

bool IsLiveObjectHandle(quint32 handle) noexcept;
bool IsClassHandle(quint32 handle) noexcept;

// Handles in Variants are Integer values (the 32 bits of the handle).
Variant ObjectToVariant(const TObject* obj);
// Empty, Null and 0 give nullptr; other values must be live object handles.
TObject* VariantToObject(const Variant& value);
Variant ClassToVariant(const TClass* cls);
const TClass* VariantToClass(const Variant& value);

namespace detail {
[[noreturn]] void raiseInvalidTypecast();
} // namespace detail

template <class T>
T* HandleToObjectAs(quint32 handle)
{
    TObject* obj = HandleToObject(handle);
    if (!obj)
        return nullptr;
    T* typed = dynamic_cast<T*>(obj);
    if (!typed)
        detail::raiseInvalidTypecast();
    return typed;
}

} // namespace plat

namespace plat {
// The table's access to an object's handle slot (internal).
struct HandleTable {
    static void release(TObject& obj) noexcept;
    static quint32 handleOf(const TObject& obj) noexcept;
    static quint32 acquire(TObject& obj);
};
} // namespace plat
