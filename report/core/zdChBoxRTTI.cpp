// The check box's script adapter: its enumerations and its class.

#include "zdChBox.h"

#include "zs_items.h"
#include "zs_script.h"

namespace {

class TzdCheckBoxRTTI : public TzsRTTIModule {
public:
    explicit TzdCheckBoxRTTI(TzsScript* AScript) : TzsRTTIModule(AScript)
    {
        Script->AddEnum(QStringLiteral("TzdCheckStyle"), QStringLiteral("csCross, csCheck, csLineCross, csPlus"));
        Script->AddEnum(QStringLiteral("TzdUncheckStyle"), QStringLiteral("usEmpty, usCross, usLineCross, usMinus"));
        Script->AddClass(TzdCheckBoxView::StaticClass(), QStringLiteral("TzdView"));
    }
};

} // namespace

namespace zd {

void startCheckBoxRTTIUnit()
{
    zsAddRTTIModule(zsModuleClass<TzdCheckBoxRTTI>());
}

void endCheckBoxRTTIUnit()
{
    zsRemoveRTTIModule(zsModuleClass<TzdCheckBoxRTTI>());
}

} // namespace zd
