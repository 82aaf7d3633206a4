#pragma once
// A designer stand-in for editor tests: it counts inspector refreshes that
// take effect, remembers where the code page was shown, and holds a
// selection. The inspector's suspension is a flag, as the designer's is.

#include "zdClass_services.h"

#include <QString>

namespace zdtest {

class TestDesigner : public TzdCustomDesigner {
public:
    explicit TestDesigner(zd::ReportDocument* Report = nullptr) : TzdCustomDesigner(nullptr, Report, false) {}

    void CodeLines() override {}
    QString EditExpression(const QString&) override { return ExpressionAnswer; }
    void LockDesigner() override {}
    void RebuildPageTabs(int) override {}
    void ReloadFromReport() override {}
    void RefreshDataTree() override {}
    void RepaintPage() override {}
    void RefreshInspector() override
    {
        if (!Suspended)
            ++Refreshes;
    }
    void SuspendInspector() override
    {
        Suspended = true;
        ++Suspends;
    }
    void ResumeInspector() override
    {
        Suspended = false;
        ++Resumes;
    }
    void ShowCodeAt(int Line, int Column, bool Focus) override
    {
        CodeLine = Line;
        CodeColumn = Column;
        CodeFocused = Focus;
        ++CodeShown;
    }
    void SelectPage(TzdComponent* Page) override
    {
        TzdCustomDesigner::SelectPage(Page);
        ++PagesSelected;
    }

    QString ExpressionAnswer;
    bool Suspended = false;
    int Suspends = 0;
    int Resumes = 0;
    int Refreshes = 0;
    int CodeLine = -1;
    int CodeColumn = -1;
    bool CodeFocused = false;
    int CodeShown = 0;
    int PagesSelected = 0;
};

} // namespace zdtest
