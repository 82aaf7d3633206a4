#pragma once
// Shared by the runtime's tests: the two fixed format settings and the text
// of the conversion error an action raises.

#include "Exceptions.h"
#include "FormatSettings.h"
#include "../TestUtil.h"

namespace {

const plat::TFormatSettings kEn = plat::TFormatSettings::english();
const plat::TFormatSettings kCs = plat::TFormatSettings::czech();

template <typename F>
QString errorOf(F&& f)
{
    try {
        f();
    } catch (const plat::EConvertError& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace
