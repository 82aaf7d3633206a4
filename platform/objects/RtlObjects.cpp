#include "RtlObjects.h"

#include "TypeInfo.h"

namespace plat::obj {

PLAT_DEFINE_CLASS(TStrings, c) {}
PLAT_DEFINE_CLASS(TStringList, c) {}
PLAT_DEFINE_CLASS(TList, c) {}
PLAT_DEFINE_CLASS(TStream, c) {}
PLAT_DEFINE_CLASS(TMemoryStream, c) {}
PLAT_DEFINE_CLASS(TFileStream, c) {}
PLAT_DEFINE_CLASS(TCustomIniFile, c) {}
PLAT_DEFINE_CLASS(TMemIniFile, c) {}
PLAT_DEFINE_CLASS(TIniFile, c) {}

void TStringList::Assign(TPersistent* Source)
{
    if (auto* list = dynamic_cast<::plat::TStrings*>(Source)) {
        ::plat::TStringList::Assign(*list);
        return;
    }
    obj::TStrings::Assign(Source);
}

} // namespace plat::obj
