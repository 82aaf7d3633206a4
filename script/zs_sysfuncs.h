#pragma once
// The built-in registration module: the base type names, True, False, nil
// and Null, the variant type codes, the text and array helpers, the
// exception variables of try statements and the 68 system functions in six
// categories. It is always the first module of zsRTTIModules, so every
// script that receives modules sees these names before any adapter's.

#include "zs_items.h"

#include <QString>

class TzsSysFunctions : public TzsRTTIModule {
public:
    explicit TzsSysFunctions(TzsScript* script);
};

// The categories under which the functions are registered and listed.
namespace zs {
inline constexpr const char* kCategoryConv = "ctConv";
inline constexpr const char* kCategoryFormat = "ctFormat";
inline constexpr const char* kCategoryDate = "ctDate";
inline constexpr const char* kCategoryString = "ctString";
inline constexpr const char* kCategoryMath = "ctMath";
inline constexpr const char* kCategoryOther = "ctOther";
} // namespace zs

// The module class as zsRTTIModules holds it (one identity per program).
TzsRTTIModuleClass zsSysFunctionsClass();
// Puts TzsSysFunctions at the front of zsRTTIModules unless it is there
// already; hosts call it once at start-up, before the first AddRTTI.
void zsRegisterSysFunctions();
