#include "DialogTestUtil.h"

#include "zdEditors.h"

namespace dlgtest {

void startUnits()
{
    static const bool started = [] {
        zd::startReportUnit();
        zd::startDesignerEditorsUnit();
        return true;
    }();
    (void)started;
}

} // namespace dlgtest
