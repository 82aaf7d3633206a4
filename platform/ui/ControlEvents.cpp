#include "ControlEvents.h"

namespace plat {

PLAT_DEFINE_ENUM(TCloseAction, "caNone", "caHide", "caFree", "caMinimize")

} // namespace plat
