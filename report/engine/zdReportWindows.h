#pragma once
// The report's windows that live in this layer: the progress window, the
// preview window shown by ShowPrepared and the question about duplicate
// names when a report inherits. startPreviewUnit installs them; tests and
// tools that stay headless do not call it.

#include "zdClass_services.h"

#include <functional>
#include <memory>

class TzdPreviewForm;
class TzdProgress;

namespace zd {

class PreviewReportWindows : public TzdReportWindows {
public:
    PreviewReportWindows();
    ~PreviewReportWindows() override;

    void OpenProgress(zd::ReportDocument* Report) override;
    void SetProgressMessage(const QString& Text) override;
    bool ProgressCancelled() override;
    void CloseProgress() override;

    plat::TComponent* CreatePreviewWindow(zd::ReportDocument* Report, TzdCustomPreviewPages* Pages,
                                          TzdCustomPreview*& Control) override;
    void ShowPreviewWindow(plat::TComponent* Window, bool Modal, bool Maximized, bool MDIChild) override;
    void ClosePreviewWindow(plat::TComponent* Window) override;
    void SetPreviewMessage(plat::TComponent* Window, const QString& Text, bool SecondPanel) override;

    void ShowDesigner(TzdCustomDesigner* Designer, bool Modal, bool MDIChild) override;
    int AskInheritDuplicates() override;

    // The designer's window belongs to the designer layer, which sets this.
    std::function<void(TzdCustomDesigner*, bool Modal, bool MDIChild)> DesignerShower;

    TzdProgress* Progress() const { return m_progress.get(); }
    // The preview window behind a window reference of the report.
    static TzdPreviewForm* FormOf(plat::TComponent* Window);

private:
    std::unique_ptr<TzdProgress> m_progress;
};

// Installs the windows above (once) and returns them.
PreviewReportWindows* startPreviewUnit();

} // namespace zd
