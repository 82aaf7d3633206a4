// The gradient object's script adapter: its pattern names and its class.

#include "zdGradient.h"

#include "zs_items.h"
#include "zs_script.h"

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
    zsAddRTTIModule(zsModuleClass<TzdGradientRTTI>());
}

void endGradientRTTIUnit()
{
    zsRemoveRTTIModule(zsModuleClass<TzdGradientRTTI>());
}

} // namespace zd
