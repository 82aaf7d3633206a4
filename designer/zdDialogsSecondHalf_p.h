#pragma once
// Small helpers shared by the editor dialogs' windows.

#include "Exceptions.h"
#include "zdRes.h"
#include "zdUtils.h"

#include <QString>

namespace zd::dialogs::detail {

template <class T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QString res(int id) { return zdGetResText(id); }
inline QString res(const char* key) { return zdGetResources()->GetText(QString::fromLatin1(key)); }

// Runs model code from a slot: a failure is shown as the library's error
// message and never leaves the slot. False when it failed.
template <class F>
bool guarded(F&& f)
{
    try {
        f();
        return true;
    } catch (const plat::Exception& e) {
        zdErrorMessage(e.message());
    } catch (const std::exception& e) {
        zdErrorMessage(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace zd::dialogs::detail
