// The report's windows: ShowReport and ShowPrepared open the preview window
// (modelessly, or modally through the modal runner), the progress window
// shows the steps and its Cancel stops the report, and the preview
// prepares the report again.

#include "Modal.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdEngine.h"
#include "zdPreview.h"
#include "zdPreviewForm.h"
#include "zdProgress.h"
#include "zdReportWindows.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

zd::PreviewReportWindows* started()
{
    static zd::PreviewReportWindows* windows = [] {
        zd::startReportUnit();
        zd::startEngineUnit();
        return zd::startPreviewUnit();
    }();
    return windows;
}

// One page with a title of the page number.
struct OnePageReport {
    zd::PreviewReportWindows* windows = started();
    TzdReport report;
    OnePageReport()
    {
        auto* page = new TzdReportPage(&report);
        page->SetParent(&report);
        page->SetName(QStringLiteral("Page1"));
        page->SetPaperFormat(256, 100, 100);
        auto* title = new TzdReportTitle(page);
        title->SetParent(page);
        title->SetName(QStringLiteral("ReportTitle1"));
        title->SetBounds(0, 0, 300, 20);
        auto* memo = new TzdMemoView(title);
        memo->SetParent(title);
        memo->SetName(QStringLiteral("Memo1"));
        memo->SetBounds(0, 0, 200, 20);
        memo->SetText(QStringLiteral("Strana [Page#]"));
        report.EngineOptions()->NewSilentMode = simSilent;
        dynamic_cast<TzdEngine*>(report.Engine())->Clock = [] { return plat::TDateTime(45000); };
    }
};

TzdPreviewForm* openPreviewForm()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = dynamic_cast<TzdPreviewForm*>(w); form && form->isVisible())
            return form;
    return nullptr;
}

} // namespace

TEST(ReportWindows, ShowReportOpensAWindowThatFreesItselfAndTheReportForgetsIt)
{
    OnePageReport r;
    r.report.PreviewOptions()->Modal = false;
    r.report.ShowReport();
    TzdPreviewForm* form = openPreviewForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(r.report.PreviewWindow, form->WindowRef());
    EXPECT_EQ(r.report.Preview(), form->Preview()->Service());
    // The timer prepares inside the window's event loop.
    QTRY_COMPARE(form->Preview()->PageCount(), 1);
    EXPECT_FALSE(r.report.PrepareTimerEnabled());
    QPointer<TzdPreviewForm> watched(form);
    form->close();
    QTRY_VERIFY(watched.isNull());
    EXPECT_EQ(r.report.Preview(), nullptr);
    EXPECT_EQ(r.report.PreviewWindow, nullptr);
    // The report shows itself again in a new window.
    r.report.ShowReport();
    ASSERT_NE(openPreviewForm(), nullptr);
    delete openPreviewForm();
    EXPECT_EQ(r.report.Preview(), nullptr);
}

TEST(ReportWindows, AModalPreviewRunsThroughTheModalRunnerAndIsFreedAfterwards)
{
    OnePageReport r;
    r.report.OldStyleProgress = true;
    r.report.ShowProgress = false;
    int pagesShown = -1;
    QString shownText;
    {
        plat::ScopedModalRunner runner([&](QDialog& dialog) {
            auto* form = dialog.findChild<TzdPreviewForm*>();
            if (form) {
                pagesShown = form->Preview()->PageCount();
                form->SetMessage(QStringLiteral("zpráva"), false);
                shownText = form->PanelText(1);
            }
            return int(QDialog::Rejected);
        });
        r.report.ShowReport();
    }
    EXPECT_EQ(pagesShown, 1);
    EXPECT_EQ(shownText, QStringLiteral("zpráva"));
    EXPECT_EQ(r.report.PreviewWindow, nullptr);
    EXPECT_EQ(r.report.Preview(), nullptr);
    EXPECT_EQ(openPreviewForm(), nullptr);
}

TEST(ReportWindows, ProgressWindowShowsTheStepAndCancelStopsTheReport)
{
    OnePageReport r;
    r.report.OldStyleProgress = true;
    QString message;
    bool shownDuringRun = false;
    r.report.OnProgressStop = TzdProgressEvent(
        [&](TzdReport*, TzdProgressType, int) {
            if (TzdProgress* p = r.windows->Progress()) {
                shownDuringRun = p->isVisible();
                message = p->Message();
            }
        },
        nullptr, nullptr);
    ASSERT_TRUE(r.report.Prepare());
    EXPECT_TRUE(shownDuringRun);
    EXPECT_EQ(message, QStringLiteral("Příprava stránky 1"));
    EXPECT_EQ(r.windows->Progress(), nullptr);

    r.report.OnProgressStop = {};
    r.report.OnProgress = TzdProgressEvent(
        [&](TzdReport*, TzdProgressType, int) {
            if (TzdProgress* p = r.windows->Progress())
                p->CancelB->click();
        },
        nullptr, nullptr);
    r.report.Prepare();
    EXPECT_TRUE(r.report.Terminated);
    EXPECT_EQ(r.windows->Progress(), nullptr);
}

TEST(ReportWindows, ThePreviewPreparesItsReportAgain)
{
    OnePageReport r;
    r.report.PreviewOptions()->Modal = false;
    r.report.OldStyleProgress = true;
    r.report.ShowProgress = false;
    int runs = 0;
    r.report.OnBeginDoc = plat::TNotifyEvent([&](plat::TObject*) { ++runs; }, nullptr, nullptr);
    r.report.ShowReport();
    TzdPreviewForm* form = openPreviewForm();
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(runs, 1);
    form->Preview()->Reprepare();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(form->Preview()->PageCount(), 1);
    delete form;
    EXPECT_EQ(r.report.Preview(), nullptr);
}

TEST(ReportWindows, TheDuplicateNamesQuestionAnswersByTheFormsChoice)
{
    zd::PreviewReportWindows* windows = started();
    struct Case {
        bool accept;
        bool rename;
        int expected;
    };
    for (const Case c : {Case{true, false, 1}, Case{true, true, 2}, Case{false, true, 0}}) {
        plat::ScopedModalRunner runner([&](QDialog& dialog) {
            EXPECT_EQ(dialog.objectName(), QStringLiteral("zdInheritErrorForm"));
            if (c.rename)
                dialog.findChild<QRadioButton*>(QStringLiteral("RenameRB"))->setChecked(true);
            return int(c.accept ? QDialog::Accepted : QDialog::Rejected);
        });
        EXPECT_EQ(windows->AskInheritDuplicates(), c.expected) << c.accept << c.rename;
    }
}
