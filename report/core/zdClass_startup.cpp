// What the report unit does when the program starts and when it ends.
// Starting twice does no harm.

#include "zdClass.h"
#include "zdDialogControl.h"
#include "zs_iclassesrtti.h"

#include "Controls.h"
#include "TypeInfo.h"
#include "zdClass_band.h"
#include "zdClass_fill.h"
#include "zdClass_highlight.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_picture.h"
#include "zdClass_shape.h"
#include "zdClass_style.h"
#include "zdDataSets.h"
#include "zdDsgnIntf_prop.h"
#include "zdRes.h"
#include "zdVariables.h"
#include "zs_iclassesrtti.h"
#include "zs_sysfuncs.h"

namespace {

// The report's own cursors (script constants crHand, crZoom, crFormat).
// The program carries no cursor images: each takes the nearest standard shape.
struct OwnCursor {
    plat::TCursor id;
    Qt::CursorShape shape;
};
constexpr OwnCursor kCursors[] = {
    {150, Qt::PointingHandCursor}, // zdHAND
    {151, Qt::CrossCursor},        // zdZOOM
    {152, Qt::IBeamCursor},        // zdFORMAT
};

void registerPagesAndBands()
{
    int count = 0;
    const plat::TClass* const* kinds = zd::bandKindTable(count);
    for (int i = 0; i < count; ++i)
        plat::RegisterClass(kinds[i]);
    for (const plat::TClass* cls :
         {TzdNullBand::StaticClass(), TzdSubreport::StaticClass(), TzdReportPage::StaticClass(),
          TzdDialogPage::StaticClass(), TzdDataPage::StaticClass(), TzdReport::StaticClass()})
        plat::RegisterClass(cls);
}

} // namespace

namespace zd {

void startReportUnit()
{
    zdClassLock();
    zdGlobalDataSets();
    zdGlobalVariables();
    for (const OwnCursor& cursor : kCursors)
        plat::SetCursorShape(cursor.id, cursor.shape);
    // The classes templates create by element name, in registration order.
    const plat::TClass* const classes[] = {
        TzdCustomMemoView::StaticClass(), TzdFrame::StaticClass(),      TzdHighlight::StaticClass(),
        TzdLineView::StaticClass(),       TzdMemoView::StaticClass(),   TzdPictureView::StaticClass(),
        TzdShapeView::StaticClass(),      TzdSysMemoView::StaticClass(), TzdStyleItem::StaticClass(),
        TzdCustomLineView::StaticClass(), TzdUserDataSet::StaticClass(),
    };
    for (const plat::TClass* cls : classes)
        plat::RegisterClass(cls);
    registerPagesAndBands();
    // Report scripts and expressions see the system functions first.
    zsRegisterSysFunctions();
    // The platform's modules, controls and forms included, come before the
    // report's classes.
    zsStartPlatformModules();
    startReportRTTIUnit();
    zdGetResources()->LocalizeScriptMessages();
    registerStandardPropertyEditors();
}

void endReportUnit()
{
    endReportRTTIUnit();
    zsEndPlatformModules();
    zdFreeParentForm();
    zdGlobalVariables()->Clear();
    for (const OwnCursor& cursor : kCursors)
        plat::RemoveCursor(cursor.id);
}

} // namespace zd
