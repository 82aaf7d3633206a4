#pragma once
// The component editor every report view shares: the context-menu commands
// "mvShift", "mvShiftOver", "mvVisible", "mvPrintable" and the hyperlink
// command, applied to every selected view the user may modify. The memo,
// line, picture and barcode editors build on it.

#include "zdDsgnIntf_prop.h"

class TzdViewEditor : public TzdComponentEditor {
public:
    using TzdComponentEditor::TzdComponentEditor;
    enum : int { kHyperlink = 50, kShift = 51, kShiftOver = 52, kVisible = 53, kPrintable = 54 };
    void GetMenuItems() override;
    bool Execute(int Tag, bool Checked) override;
};

namespace zd {
// The selected objects of class Cls whose restrictions allow changes.
std::vector<TzdComponent*> modifiableSelection(const TzdComponentEditor& Editor, const plat::TClass* Cls);
// A Boolean published property of Obj.
bool boolProperty(const TzdComponent* Obj, const char* Name);
void setBoolProperty(TzdComponent* Obj, const char* Name, bool Value);
// The caption of a menu item: the library's text of Key.
QString menuText(const char* Key);
} // namespace zd
