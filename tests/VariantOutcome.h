#pragma once
// The exact outcome of computing a Variant, for tests that hold two ways of
// computing the same value to one answer: the kind and the bits of the value,
// or the class and the message of the error raised.

#include "Exceptions.h"
#include "Variant.h"

#include <cstring>
#include <functional>
#include <string>

namespace varianttest {

inline std::string outcome(const std::function<plat::Variant()>& eval)
{
    plat::Variant v;
    try {
        v = eval();
    } catch (const plat::Exception& e) {
        return std::string("raised ") + e.className() + ": " + e.message().toStdString();
    }
    std::string text = plat::VarTypeAsText(v.type()).toStdString() + ' ';
    switch (v.type()) {
    case plat::varEmpty:
    case plat::varNull:
        break;
    case plat::varSingle:
    case plat::varDouble:
    case plat::varDate: {
        const double d = v.rawDouble();
        quint64 bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        text += std::to_string(d) + " bits " + std::to_string(bits);
        break;
    }
    case plat::varString:
    case plat::varOleStr:
        text += '"' + v.rawString().toStdString() + '"';
        break;
    default:
        text += std::to_string(v.rawInteger());
    }
    return text;
}

} // namespace varianttest
