#pragma once
// The printable layer above the component base (TzdReportComponent) and the
// non-visual objects of data and dialog pages (TzdDialogComponent), as far
// as datasets stand on them.
//
// Report objects hold no code: their event properties hold the names of
// script procedures of the report. The event types below are therefore
// string types with names of their own (the designer gives them the event
// editor).

#include "zdClass.h"

#include <vector>

namespace plat {
class TCanvas;
class TFiler;
} // namespace plat

PLAT_ALIAS_TYPE(TzdNotifyEvent, QString)
PLAT_ALIAS_TYPE(TzdMouseEvent, QString)
PLAT_ALIAS_TYPE(TzdMouseMoveEvent, QString)
PLAT_ALIAS_TYPE(TzdPreviewClickEvent, QString)
PLAT_ALIAS_TYPE(TzdMouseEnterViewEvent, QString)
PLAT_ALIAS_TYPE(TzdMouseLeaveViewEvent, QString)

class TzdReportComponent : public TzdComponent {
    PLAT_CLASS(TzdReportComponent, TzdComponent)
public:
    explicit TzdReportComponent(plat::TComponent* AOwner);
    ~TzdReportComponent() override;

    virtual void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
                      long double OffsetY) = 0;
    virtual void BeforePrint();
    virtual void GetData();
    virtual void AfterPrint();
    virtual QString GetComponentText();
    virtual TzdExtRect GetRealBounds();

    QString OnAfterData;
    QString OnAfterPrint;
    QString OnBeforePrint;
    QString OnPreviewClick;
    QString OnPreviewDblClick;
    // Objects the engine moves down when this one grows (not owned).
    std::vector<TzdComponent*> ShiftChildren;
    long double ShiftAmount = 0;
    int ShiftKind = 0;
};

class TzdDialogComponent : public TzdReportComponent {
    PLAT_CLASS(TzdDialogComponent, TzdReportComponent)
public:
    explicit TzdDialogComponent(plat::TComponent* AOwner);
    ~TzdDialogComponent() override;

    // The designer's icon: a 28 x 28 button with the object's name below.
    void Draw(plat::TCanvas* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
              long double OffsetY) override;
    // pLeft and pTop (the rounded position) while the object is in a report.
    void DefineProperties(plat::TFiler& Filer) override;

    // The wrapped platform component, when a descendant makes one.
    plat::TComponent* Component = nullptr;
};
