#pragma once
// Edit masks: "mask;save-literals;blank" with the mask characters
// ! > < \ L l A a C c 0 9 # : / _ of the platform's masked edit.

#include <QString>

namespace plat {

// Lays out `value` by the edit mask, as the masked edit would display it
// (or, when the mask says literals are not saved, as its saved text is
// expanded for display).
QString FormatMaskText(const QString& editMask, const QString& value);

} // namespace plat
