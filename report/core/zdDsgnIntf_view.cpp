#include "zdDsgnIntf_view.h"

#include "TypeInfo.h"
#include "zdClass_view.h"
#include "zdDsgnDialogs.h"
#include "zdRes.h"

std::vector<TzdComponent*> zd::modifiableSelection(const TzdComponentEditor& Editor, const plat::TClass* Cls)
{
    std::vector<TzdComponent*> result;
    for (TzdComponent* obj : Editor.Selection())
        if (obj && Cls->IsInstance(obj) && !obj->Restrictions().contains(rfDontModify))
            result.push_back(obj);
    return result;
}

bool zd::boolProperty(const TzdComponent* Obj, const char* Name)
{
    return plat::GetOrdProp(Obj, QString::fromLatin1(Name)) != 0;
}

void zd::setBoolProperty(TzdComponent* Obj, const char* Name, bool Value)
{
    plat::SetOrdProp(Obj, QString::fromLatin1(Name), Value ? 1 : 0);
}

QString zd::menuText(const char* Key) { return zdGetResources()->GetText(QString::fromLatin1(Key)); }

void TzdViewEditor::GetMenuItems()
{
    auto* view = dynamic_cast<TzdView*>(Component());
    if (!view)
        return;
    AddMenuItem(zd::menuText("mvShift"), kShift, view->ShiftMode() == smAlways);
    AddMenuItem(zd::menuText("mvShiftOver"), kShiftOver, view->ShiftMode() == smWhenOverlapped);
    AddMenuItem(zd::menuText("mvVisible"), kVisible, view->Visible());
    AddMenuItem(zd::menuText("mvPrintable"), kPrintable, view->Printable());
}

bool TzdViewEditor::Execute(int Tag, bool Checked)
{
    if (Tag < kHyperlink || Tag > kPrintable)
        return false;
    TzdHyperlink hyperlink;
    if (Tag == kHyperlink) {
        auto* view = dynamic_cast<TzdView*>(Component());
        if (!view)
            return false;
        hyperlink.Assign(view->Hyperlink());
        if (!zdDesignerDialogs().EditHyperlink(view, hyperlink))
            return false;
    }
    bool changed = false;
    for (TzdComponent* obj : zd::modifiableSelection(*this, TzdView::StaticClass())) {
        auto* view = static_cast<TzdView*>(obj);
        switch (Tag) {
        case kHyperlink:
            view->SetHyperlink(&hyperlink);
            break;
        case kShift:
            view->SetShiftMode(Checked ? smAlways : smDontShift);
            break;
        case kShiftOver:
            view->SetShiftMode(Checked ? smWhenOverlapped : smDontShift);
            break;
        case kVisible:
            view->SetVisible(Checked);
            break;
        case kPrintable:
            view->SetPrintable(Checked);
            break;
        }
        changed = true;
    }
    return changed;
}
