#include "Papers.h"

#include <cstdlib>

namespace plat {

PLAT_DEFINE_ENUM(TPrinterOrientation, "poPortrait", "poLandscape")

bool LookupPaperSize(int number, long double& width, long double& height)
{
    const TPaperInfo* p = FindPaperInfo(number);
    if (!p)
        return false;
    width = p->Width / 10.0L;
    height = p->Height / 10.0L;
    return true;
}

int PaperNumberForSize(int width, int height)
{
    constexpr int kTolerance = 5; // tenths of a millimetre
    for (const TPaperInfo& p : PaperInfo)
        if (std::abs(p.Width - width) <= kTolerance && std::abs(p.Height - height) <= kTolerance)
            return p.Number;
    return 0;
}

} // namespace plat
