// The gradient object's script adapter: its pattern names and its class.

#include "zdGradient.h"

#include "zs_items.h"
#include "zs_script.h"

#include <algorithm>

namespace {

class TzdGradientRTTI : public TzsRTTIModule {
public:
    explicit TzdGradientRTTI(TzsScript* AScript) : TzsRTTIModule(AScript)
    {
        Script->AddEnum(QStringLiteral("TzdGradientStyle"),
                        QStringLiteral("gsHorizontal, gsVertical, gsElliptic, gsRectangle, gsVertCenter, gsHorizCenter"));
        Script->AddClass(TzdGradientView::StaticClass(), QStringLiteral("TzdView"));
    }
};

} // namespace

namespace zd {

void startGradientRTTIUnit()
{
    const TzsRTTIModuleClass module = zsModuleClass<TzdGradientRTTI>();
    const auto& list = zsRTTIModules();
    if (std::find(list.begin(), list.end(), module) == list.end())
        zsAddRTTIModule(module);
}

void endGradientRTTIUnit()
{
    zsRemoveRTTIModule(zsModuleClass<TzdGradientRTTI>());
}

} // namespace zd
