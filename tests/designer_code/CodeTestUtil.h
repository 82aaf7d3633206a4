#pragma once
// A report with one memo whose OnBeforePrint handler is a PascalScript
// procedure, its designer model and code page, for the code page and
// debugger tests.

#include "Modal.h"
#include "ScriptedServices.h"
#include "zdBarcodeView.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdCodePage.h"
#include "zdDesignerModel.h"
#include "zdEngine.h"
#include "zdDMPClass.h"
#include "zdEditors.h"
#include "zdReportWindows.h"

#include <QStringList>

#include <memory>

namespace codetest {

inline void startUnits()
{
    static const bool started = [] {
        zd::startReportUnit();
        zd::startEngineUnit();
        zd::startPreviewUnit();
        zd::startBarcodeViewRTTIUnit();
        zd::startBarcodeViewUnit();
        zd::startDotMatrixUnit();
        zd::startDesignerEditorsUnit();
        return true;
    }();
    (void)started;
}

// Line numbers of the script below.
inline constexpr int kHandlerFirstLine = 4; // X := X + 1;
inline constexpr int kHandlerSecondLine = 5; // Memo1.Text := ...
inline constexpr int kMainLine = 9;         // X := 41;

inline QStringList sampleScript()
{
    return {
        QStringLiteral("var X: Integer;"),
        QStringLiteral("procedure Memo1OnBeforePrint(Sender: TzdComponent);"),
        QStringLiteral("begin"),
        QStringLiteral("  X := X + 1;"),
        QStringLiteral("  Memo1.Text := IntToStr(X);"),
        QStringLiteral("end;"),
        QString(),
        QStringLiteral("begin"),
        QStringLiteral("  X := 41;"),
        QStringLiteral("end."),
    };
}

// Started before any report of a fixture is made: a report takes its
// engine when it is created.
struct UnitsStarted {
    UnitsStarted() { startUnits(); }
};

struct CodeFixture {
    UnitsStarted units;
    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    TzdReport report;
    std::unique_ptr<zd::DesignerModel> model;
    std::unique_ptr<TzdCodePage> page;

    CodeFixture()
    {
        auto* page1 = new TzdReportPage(&report);
        page1->SetParent(&report);
        page1->SetName(QStringLiteral("Page1"));
        page1->SetPaperFormat(256, 100, 100);
        auto* title = new TzdReportTitle(page1);
        title->SetParent(page1);
        title->SetName(QStringLiteral("ReportTitle1"));
        title->SetBounds(0, 0, 300, 20);
        auto* memo = new TzdMemoView(title);
        memo->SetParent(title);
        memo->SetName(QStringLiteral("Memo1"));
        memo->SetBounds(0, 0, 200, 20);
        memo->OnBeforePrint = QStringLiteral("Memo1OnBeforePrint");
        report.EngineOptions()->NewSilentMode = simSilent;
        report.ShowProgress = false;
        report.SetScriptLanguage(QStringLiteral("PascalScript"));
        report.ScriptText()->Clear();
        for (const QString& line : sampleScript())
            report.ScriptText()->Add(line);
        model = std::make_unique<zd::DesignerModel>(nullptr, &report, false);
        model->ReloadFromReport();
        page = std::make_unique<TzdCodePage>(*model);
        page->resize(600, 400);
    }
};

} // namespace codetest
