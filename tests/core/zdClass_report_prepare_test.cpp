// Preparing a report: the script set-up, expressions and their cache, the
// value of names, the macro functions, progress, and showing and designing
// through the service bases, driven by a small engine that walks the memos
// and calls Calc as the real one does.

#include "Exceptions.h"
#include "Handles.h"
#include "Streams.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdDataSets.h"
#include "zdModelFixture.h"
#include "zdPrinterLink.h"
#include "zdVariables.h"
#include "zs_iinterpreter.h"
#include "zs_script.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "NullReportStore.h"

#include <functional>

namespace {

// A store that counts what the report asks of it.
class RecordingPages : public zdtest::NullPreviewPages {
public:
    using NullPreviewPages::NullPreviewPages;
    void Clear() override { ++Clears; }
    int LastAnchorIndex() override { return 0; }
    int LogicalPageNumber() override { return LogicalPage; }
    int LogicalPageTotal() override { return LogicalTotal; }
    bool Print() override { return ++Prints > 0; }

    int Clears = 0;
    int Prints = 0;
    int LogicalPage = 0;
    int LogicalTotal = 0;
};

struct Aggregate {
    QString Name, Expression;
    TzdBand* Band;
    int Flags;
};

// Walks the memos of the report's pages, evaluating each as the engine
// does, and records their texts.
class WalkingEngine : public TzdCustomEngine {
public:
    using TzdCustomEngine::TzdCustomEngine;
    void CompletePage() override {}
    void NewColumn() override {}
    void NewPage() override {}
    void ShowBand(TzdBand*) override {}
    void ShowBandOfClass(const plat::TClass*) override {}
    long double PageHeadersHeight() override { return 0; }
    long double PageFootersHeight() override { return 0; }
    long double FreeSpace() override { return 0; }
    plat::Variant EvaluateAggregate(const QString& Name, const QString& Expression, TzdBand* Band,
                                    int Flags) override
    {
        Aggregates.push_back({Name, Expression, Band, Flags});
        return plat::Variant(42);
    }
    bool Run(bool RunDialogs, bool, TzdPage* Page) override
    {
        ++Runs;
        RunDialogsSeen = RunDialogs;
        PageSeen = Page;
        SecondScriptCallAtStart = SecondScriptCall;
        BuildRunning = true;
        struct Stop {
            bool& flag;
            ~Stop() { flag = false; }
        } stop{BuildRunning};
        Texts.clear();
        TzdReport* report = Report->Report();
        for (TzdComponent* obj : std::vector<TzdComponent*>(report->AllObjects())) {
            auto* memo = dynamic_cast<TzdCustomMemoView*>(obj);
            if (!memo)
                continue;
            report->EvaluatedObjectName = memo->Name();
            memo->GetData();
            Texts << memo->Text().trimmed();
        }
        SecondScriptCall = true; // what a run leaves behind
        if (DuringRun)
            DuringRun();
        return Result;
    }

    int Runs = 0;
    bool RunDialogsSeen = false;
    TzdPage* PageSeen = nullptr;
    bool SecondScriptCallAtStart = false;
    bool Result = true;
    QStringList Texts;
    std::vector<Aggregate> Aggregates;
    std::function<void()> DuringRun;
};

TzdCustomEngine* makeEngine(zd::ReportDocument* r)
{
    return new WalkingEngine(r);
}

TzdCustomPreviewPages* makePages(zd::ReportDocument* r)
{
    return new RecordingPages(r);
}

// The windows of the layers above, recorded.
class RecordingWindows : public TzdReportWindows {
public:
    void OpenProgress(zd::ReportDocument*) override { Log << QStringLiteral("progress open"); }
    void SetProgressMessage(const QString& Text) override { Log << Text; }
    bool ProgressCancelled() override { return Cancel; }
    void CloseProgress() override { Log << QStringLiteral("progress close"); }
    plat::TComponent* CreatePreviewWindow(zd::ReportDocument*, TzdCustomPreviewPages* Pages,
                                          TzdCustomPreview*& Control) override
    {
        Log << QStringLiteral("preview created");
        PagesShown = Pages;
        Control = nullptr;
        Window = std::make_unique<plat::TComponent>(nullptr);
        return Window.get();
    }
    void ShowPreviewWindow(plat::TComponent*, bool Modal, bool, bool) override
    {
        Log << (Modal ? QStringLiteral("preview modal") : QStringLiteral("preview shown"));
    }
    void ClosePreviewWindow(plat::TComponent*) override { Log << QStringLiteral("preview closed"); }
    void SetPreviewMessage(plat::TComponent*, const QString& Text, bool) override { Log << Text; }
    void ShowDesigner(TzdCustomDesigner*, bool Modal, bool) override
    {
        Log << (Modal ? QStringLiteral("designer modal") : QStringLiteral("designer shown"));
    }
    int AskInheritDuplicates() override { return InheritAnswer; }

    QStringList Log;
    bool Cancel = false;
    int InheritAnswer = 0;
    TzdCustomPreviewPages* PagesShown = nullptr;
    std::unique_ptr<plat::TComponent> Window;
};

class StubDesigner : public TzdCustomDesigner {
public:
    using TzdCustomDesigner::TzdCustomDesigner;
    void CodeLines() override {}
    QString EditExpression(const QString& Expr) override { return Expr; }
    void LockDesigner() override {}
    void RebuildPageTabs(int) override {}
    void ReloadFromReport() override {}
    void RefreshDataTree() override {}
    void RepaintPage() override {}
    void RefreshInspector() override {}
    void SuspendInspector() override {}
    void ResumeInspector() override {}
};

// Field values and field types as a test gives them.
class TableDataSet : public TzdDataSet {
public:
    explicit TableDataSet(plat::TComponent* AOwner) : TzdDataSet(AOwner) {}
    TzdFieldType GetFieldType(const QString& FieldName) override { return Types.value(FieldName, fftNumeric); }
    plat::Variant GetValue(const QString& FieldName) override { return Values.value(FieldName, plat::Null()); }
    QMap<QString, TzdFieldType> Types;
    QMap<QString, plat::Variant> Values;
};

struct PrepareFixture : ::testing::Test {
    PrepareFixture()
    {
        zdtest::startReportLibrary();
        zdCreateEngine = makeEngine;
        zdCreatePreviewPages = makePages;
        previousWindows = zdSetReportWindows(&windows);
        report = std::make_unique<TzdReport>();
        report->EngineOptions()->NewSilentMode = simSilent;
        page = new TzdReportPage(report.get());
        page->SetName(QStringLiteral("Page1"));
        band = new TzdMasterData(page);
        band->SetName(QStringLiteral("MasterData1"));
    }
    ~PrepareFixture() override
    {
        report.reset();
        zdCreateEngine = nullptr;
        zdCreatePreviewPages = nullptr;
        zdSetReportWindows(previousWindows);
    }

    TzdMemoView* addMemo(const QString& name, const QString& text)
    {
        auto* memo = new TzdMemoView(band);
        memo->SetName(name);
        memo->SetBounds(10, 10, 200, 20);
        memo->SetText(text);
        return memo;
    }
    WalkingEngine* engine() const { return static_cast<WalkingEngine*>(report->Engine()); }
    RecordingPages* pages() const { return static_cast<RecordingPages*>(report->ActivePreviewPages()); }
    void setScript(const QString& text) { report->ScriptText()->SetText(text); }
    plat::Variant calc(const QString& expr) { return report->Calc(expr); }

    RecordingWindows windows;
    TzdReportWindows* previousWindows = nullptr;
    std::unique_ptr<TzdReport> report;
    TzdReportPage* page = nullptr;
    TzdBand* band = nullptr;
};

TEST(ReportCreation, HooksMakeTheEngineAndTheStoreAndLinkThemBothWays)
{
    zdtest::startReportLibrary();
    {
        TzdReport plain;
        EXPECT_EQ(plain.Engine(), nullptr);
        EXPECT_EQ(plain.ActivePreviewPages(), nullptr);
        plain.EngineOptions()->NewSilentMode = simSilent;
        EXPECT_FALSE(plain.Prepare()); // nothing builds pages
        EXPECT_TRUE(plain.ErrorList().isEmpty());
    }
    zdCreateEngine = makeEngine;
    zdCreatePreviewPages = makePages;
    {
        TzdReport linked;
        ASSERT_NE(linked.Engine(), nullptr);
        ASSERT_NE(linked.ActivePreviewPages(), nullptr);
        EXPECT_EQ(linked.Engine()->ActivePreviewPages, linked.ActivePreviewPages());
        EXPECT_EQ(linked.ActivePreviewPages()->Engine, linked.Engine());
        RecordingPages other(&linked);
        linked.AttachPreviewPages(&other);
        EXPECT_EQ(linked.ActivePreviewPages(), &other);
        EXPECT_EQ(linked.Engine()->ActivePreviewPages, &other);
        EXPECT_EQ(other.Engine, linked.Engine());
        linked.AttachPreviewPages(nullptr);
    }
    zdCreateEngine = nullptr;
    zdCreatePreviewPages = nullptr;
}

TEST_F(PrepareFixture, PrepareRunsTheHostEventsTheScriptAndTheEngineInOrder)
{
    QStringList order;
    report->OnBeginDoc = plat::TNotifyEvent([&](plat::TObject*) { order << QStringLiteral("begin"); }, nullptr, nullptr);
    report->OnAfterScriptCompile =
        plat::TNotifyEvent([&](plat::TObject*) { order << QStringLiteral("compiled"); }, nullptr, nullptr);
    report->OnEndDoc = plat::TNotifyEvent([&](plat::TObject*) { order << QStringLiteral("end"); }, nullptr, nullptr);
    setScript(QStringLiteral("begin\n  Set('Counter', 5);\nend."));
    addMemo(QStringLiteral("Memo1"), QStringLiteral("[Counter]x"));

    ASSERT_TRUE(report->Prepare());
    EXPECT_EQ(order, (QStringList{QStringLiteral("begin"), QStringLiteral("compiled"), QStringLiteral("end")}));
    EXPECT_EQ(engine()->Runs, 1);
    EXPECT_TRUE(engine()->RunDialogsSeen);
    EXPECT_EQ(engine()->PageSeen, nullptr);
    EXPECT_EQ(engine()->Texts, QStringList{QStringLiteral("5x")});
    EXPECT_EQ(pages()->Clears, 1);
    EXPECT_TRUE(report->Prepare(false));
    EXPECT_EQ(pages()->Clears, 1);
}

TEST_F(PrepareFixture, TheTemplateIsPutBackAfterTheRunAndTheErrorsSurvive)
{
    addMemo(QStringLiteral("Memo1"), QStringLiteral("x"));
    report->ReportOptions()->Password = QStringLiteral("tajne");
    report->PrintOptions()->SplicingLine = 7;
    engine()->DuringRun = [this] {
        auto* memo = static_cast<TzdComponent*>(report->FindObject(QStringLiteral("Memo1")));
        memo->SetLeft(500);
        report->PrintOptions()->SplicingLine = 1;
        report->AddErrors({QStringLiteral("from the run")});
    };
    EXPECT_FALSE(report->Prepare());
    auto* memo = static_cast<TzdComponent*>(report->FindObject(QStringLiteral("Memo1")));
    ASSERT_NE(memo, nullptr);
    EXPECT_DOUBLE_EQ(double(memo->Left()), 10.0);
    EXPECT_EQ(report->ErrorList(), QStringList{QStringLiteral("from the run")});
    EXPECT_EQ(report->ReportOptions()->Password, QStringLiteral("tajne"));
    EXPECT_EQ(report->PrintOptions()->SplicingLine, 7);
    EXPECT_FALSE(report->ReloadingTemplate);
}

TEST_F(PrepareFixture, AMissingDatasetStopsBeforeTheScriptRuns)
{
    report->DataSets()->Add();
    static_cast<TzdDataSetItem*>(report->DataSets()->Items(0))->SetDataSetName(QStringLiteral("Zbozi"));
    bool began = false;
    report->OnBeginDoc = plat::TNotifyEvent([&](plat::TObject*) { began = true; }, nullptr, nullptr);
    report->EngineOptions()->NewSilentMode = simReThrow;
    try {
        report->Prepare();
        FAIL() << "the errors are raised in this mode";
    } catch (const plat::Exception& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Nastala(y) následující chyba(y):\r\n")));
        EXPECT_TRUE(e.message().contains(QStringLiteral("Dataset \"Zbozi\" neexistuje")));
    }
    EXPECT_FALSE(began);
    EXPECT_EQ(engine()->Runs, 0);
}

TEST_F(PrepareFixture, ExpressionsAreCachedByTheirExactText)
{
    addMemo(QStringLiteral("Memo1"), QStringLiteral("['Ano']"));
    addMemo(QStringLiteral("Memo2"), QStringLiteral("['ANO']"));
    addMemo(QStringLiteral("Memo3"), QStringLiteral("['Ano']"));
    ASSERT_TRUE(report->Prepare());
    EXPECT_EQ(engine()->Texts, (QStringList{QStringLiteral("Ano"), QStringLiteral("ANO"), QStringLiteral("Ano")}));
    EXPECT_EQ(report->ExprCache()->Count(), 2);
    EXPECT_EQ(report->ExprCache()->FunctionName(QStringLiteral("'Ano'")), QStringLiteral("zd3f0"));
    EXPECT_EQ(report->ExprCache()->FunctionName(QStringLiteral("'ANO'")), QStringLiteral("zd3f1"));
    // A new script set-up starts an empty cache.
    ASSERT_TRUE(report->CompileScript());
    EXPECT_EQ(report->ExprCache()->Count(), 0);
}

TEST_F(PrepareFixture, ExpressionsSeeTheScriptsFunctionsInEachLanguage)
{
    struct Case {
        const char* language;
        const char* script;
        const char* expression;
    };
    const Case cases[] = {
        {"PascalScript", "function Twice(x: Integer): Integer;\nbegin\n  Result := x * 2;\nend;\n\nbegin\nend.",
         "Twice(21)"},
        {"C++Script", "int Twice(int x)\n{\n  return x * 2;\n}\n\n{\n}", "Twice(21)"},
        {"BasicScript", "function Twice(x)\n  return x * 2\nend function", "Twice(21)"},
        {"JScript", "function Twice(x)\n{\n  return x * 2;\n}", "Twice(21)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        report->SetScriptLanguage(QString::fromLatin1(c.language));
        setScript(QString::fromLatin1(c.script));
        ASSERT_TRUE(report->CompileScript()) << report->ErrorList().join(u'\n').toStdString();
        EXPECT_EQ(calc(QString::fromLatin1(c.expression)).toInteger(), 42);
    }
}

TEST_F(PrepareFixture, AFailingExpressionNamesTheObjectEntersTheListOnceAndRaises)
{
    ASSERT_TRUE(report->CompileScript());
    report->EvaluatedObjectName = QStringLiteral("Memo7");
    try {
        calc(QStringLiteral("1 +"));
        FAIL();
    } catch (const plat::Exception& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Memo7: Chyba ve výrazu '1 +': "))) << e.message().toStdString();
        EXPECT_EQ(report->ErrorList(), QStringList{e.message()});
    }
    // A report script's Calc raises its own text and adds nothing.
    report->EvaluatedObjectName.clear();
    const QStringList before = report->ErrorList();
    try {
        report->Calc(QStringLiteral("2 *"), TzdReport::ReportScriptCall);
        FAIL();
    } catch (const plat::Exception& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Error in Calc expression:Chyba ve výrazu '2 *': ")));
    }
    EXPECT_EQ(report->ErrorList(), before);
}

TEST_F(PrepareFixture, DivisionByZeroIsIgnoredOnlyWhenTheOptionSaysSo)
{
    ASSERT_TRUE(report->CompileScript());
    EXPECT_THROW(calc(QStringLiteral("1 / 0")), plat::Exception);
    report->EngineOptions()->IgnoreDevByZero = true;
    EXPECT_NO_THROW(calc(QStringLiteral("1 / 0")));
}

TEST_F(PrepareFixture, ALanguageWithoutAnExpressionFormGivesACompileError)
{
    zsRegisterLanguage(QStringLiteral("PascalScriptCopy"), zsGetLanguage(QStringLiteral("PascalScript")));
    report->SetScriptLanguage(QStringLiteral("PascalScriptCopy"));
    ASSERT_TRUE(report->CompileScript()) << report->ErrorList().join(u'\n').toStdString();
    try {
        calc(QStringLiteral("1 + 2"));
        FAIL() << "no wrapper function exists for this language";
    } catch (const plat::Exception& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Chyba ve výrazu '1 + 2': "))) << e.message().toStdString();
    }
    EXPECT_EQ(report->ExprCache()->Count(), 0);
}

TEST_F(PrepareFixture, AVariableCycleIsOneErrorNamingTheVariable)
{
    report->Variables()->SetVariables(QStringLiteral("Self1"), plat::Variant(QStringLiteral("<Self1> + 1")));
    report->Variables()->SetVariables(QStringLiteral("A"), plat::Variant(QStringLiteral("<B> + 1")));
    report->Variables()->SetVariables(QStringLiteral("B"), plat::Variant(QStringLiteral("<A> + 1")));
    ASSERT_TRUE(report->CompileScript());
    for (const char* name : {"Self1", "A"}) {
        SCOPED_TRACE(name);
        report->AddErrors({}); // keeps the list
        const int before = int(report->ErrorList().size());
        try {
            calc(QString::fromLatin1(name));
            FAIL();
        } catch (const plat::Exception& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("\"") + QString::fromLatin1(name) + u'"'))
                << e.message().toStdString();
        }
        EXPECT_EQ(int(report->ErrorList().size()), before + 1) << report->ErrorList().join(u'\n').toStdString();
    }
}

TEST_F(PrepareFixture, VariablesHoldExpressionsOrPlainTexts)
{
    report->Variables()->SetVariables(QStringLiteral("Sum"), plat::Variant(QStringLiteral("2+3")));
    report->Variables()->SetVariables(QStringLiteral("Lines"), plat::Variant(QStringLiteral("a\r\nb")));
    report->Variables()->SetVariables(QStringLiteral("Number"), plat::Variant(7));
    ASSERT_TRUE(report->CompileScript());
    EXPECT_EQ(calc(QStringLiteral("Sum")).toInteger(), 5);
    EXPECT_EQ(calc(QStringLiteral("<sum> * 2")).toInteger(), 10); // names ignore case
    EXPECT_EQ(calc(QStringLiteral("Lines")).toString(), QStringLiteral("a\r\nb"));
    EXPECT_EQ(calc(QStringLiteral("Number")).toInteger(), 7);
}

TEST_F(PrepareFixture, SystemVariablesComeFromTheEngineAndTheStore)
{
    engine()->CurLine = 3;
    engine()->CurLineThrough = 17;
    engine()->TotalPages = 9;
    engine()->StartDate = 45000;
    pages()->CurPageIndex = 4;
    pages()->LogicalPage = 2;
    pages()->LogicalTotal = 6;
    zdGlobalVariables()->SetVariables(QStringLiteral("CopyName0"), plat::Variant(QStringLiteral("Kopie")));
    struct Case {
        const char* name;
        plat::Variant value;
    };
    const Case cases[] = {{"Line", plat::Variant(3)},        {"LINE#", plat::Variant(17)},
                          {"TotalPages#", plat::Variant(9)}, {"Page#", plat::Variant(5)},
                          {"Page", plat::Variant(2)},        {"TotalPages", plat::Variant(6)},
                          {"CopyName#", plat::Variant(QStringLiteral("Kopie"))}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::Variant v;
        ASSERT_TRUE(report->ResolveName(QString::fromLatin1(c.name), v));
        EXPECT_EQ(v.toString(), c.value.toString());
    }
    plat::Variant date;
    ASSERT_TRUE(report->ResolveName(QStringLiteral("Date"), date));
    EXPECT_DOUBLE_EQ(date.toDouble(), 45000.0);
    zdGlobalVariables()->Clear();
}

TEST_F(PrepareFixture, FieldsResolveAndNullsConvertByFieldType)
{
    auto* ds = new TableDataSet(report.get());
    ds->SetUserName(QStringLiteral("Zbozi"));
    ds->Types = {{QStringLiteral("Nazev"), fftString}, {QStringLiteral("Skladem"), fftBoolean},
                 {QStringLiteral("Cena"), fftNumeric}, {QStringLiteral("Kus"), fftNumeric}};
    ds->Values = {{QStringLiteral("Kus"), plat::Variant(12)}};
    report->DataSets()->AddDataSet(ds);
    plat::Variant v;
    ASSERT_TRUE(report->ResolveName(QStringLiteral("Zbozi.\"Kus\""), v));
    EXPECT_EQ(v.toInteger(), 12);
    ASSERT_TRUE(report->ResolveName(QStringLiteral("zbozi.\"Nazev\""), v));
    EXPECT_TRUE(v.isString());
    EXPECT_EQ(v.toString(), QString());
    ASSERT_TRUE(report->ResolveName(QStringLiteral("Zbozi.\"Skladem\""), v));
    EXPECT_EQ(v.type(), plat::varBoolean);
    EXPECT_FALSE(v.toBoolean());
    ASSERT_TRUE(report->ResolveName(QStringLiteral("Zbozi.\"Cena\""), v));
    EXPECT_EQ(v.toInteger(), 0);
    report->EngineOptions()->ConvertNulls = false;
    ASSERT_TRUE(report->ResolveName(QStringLiteral("Zbozi.\"Nazev\""), v));
    EXPECT_TRUE(v.isNull());
    EXPECT_FALSE(report->ResolveName(QStringLiteral("Jine.\"Nazev\""), v));
    EXPECT_EQ(report->AliasOfDataset(ds), QStringLiteral("Zbozi"));
    EXPECT_EQ(report->AliasOfDataset(nullptr), QString());
}

TEST_F(PrepareFixture, TheHostAnswersBeforeVariables)
{
    report->Variables()->SetVariables(QStringLiteral("Who"), plat::Variant(QStringLiteral("'variable'")));
    report->OnGetValue = TzdGetValueEvent(
        [](const QString& name, plat::Variant& v) {
            if (name == QLatin1String("Who"))
                v = plat::Variant(QStringLiteral("host"));
        },
        nullptr, nullptr);
    plat::Variant v;
    ASSERT_TRUE(report->ResolveName(QStringLiteral("Who"), v));
    EXPECT_EQ(v.toString(), QStringLiteral("host"));
}

TEST_F(PrepareFixture, MacroFunctionsReachTheEngineWithTheirArgumentTexts)
{
    addMemo(QStringLiteral("Memo1"), QStringLiteral("[SUM(<Zbozi.\"Cena\"> * 2)]"));
    addMemo(QStringLiteral("Memo2"), QStringLiteral("[MAX(<Line>, MasterData1, 1 + 1)]"));
    addMemo(QStringLiteral("Memo3"), QStringLiteral("[COUNT(MasterData1)]"));
    addMemo(QStringLiteral("Memo4"), QStringLiteral("[IIF(1 > 0, 'ano', 'ne')]|[IIF(1 < 0, 'ano', 'ne')]"));
    ASSERT_TRUE(report->Prepare()) << report->ErrorList().join(u'\n').toStdString();
    EXPECT_EQ(engine()->Texts,
              (QStringList{QStringLiteral("42"), QStringLiteral("42"), QStringLiteral("42"), QStringLiteral("ano|ne")}));
    ASSERT_EQ(engine()->Aggregates.size(), 3u);
    const Aggregate& sum = engine()->Aggregates[0];
    EXPECT_EQ(sum.Name, QStringLiteral("SUM"));
    EXPECT_EQ(sum.Expression, QStringLiteral("<Zbozi.\"Cena\"> * 2"));
    EXPECT_EQ(sum.Band, nullptr);
    EXPECT_EQ(sum.Flags, 0);
    const Aggregate& max = engine()->Aggregates[1];
    EXPECT_EQ(max.Name, QStringLiteral("MAX"));
    EXPECT_EQ(max.Expression, QStringLiteral("<Line>"));
    EXPECT_EQ(max.Band, band);
    EXPECT_EQ(max.Flags, 2);
    const Aggregate& count = engine()->Aggregates[2];
    EXPECT_EQ(count.Name, QStringLiteral("COUNT"));
    EXPECT_EQ(count.Expression, QString());
    EXPECT_EQ(count.Band, band);
}

TEST_F(PrepareFixture, GetOfAnAggregateAndOfAnUnknownName)
{
    setScript(QStringLiteral("begin\n  Set('Total', Get('SUM(1)'));\n  Set('Nic', Get('Neznamy'));\nend."));
    ASSERT_TRUE(report->CompileScript());
    report->Script()->Execute();
    EXPECT_EQ(report->Variables()->GetVariables(QStringLiteral("Total")).toInteger(), 42);
    EXPECT_TRUE(report->Variables()->GetVariables(QStringLiteral("Nic")).isNull());
    EXPECT_EQ(report->ErrorList(), QStringList{QStringLiteral("Neznámá proměnná nebo datové pole: Neznamy")});
}

TEST_F(PrepareFixture, ProgressReachesTheHostAndTheProgressWindow)
{
    QStringList host;
    const auto record = [&](const char* what) {
        return TzdProgressEvent(
            [&host, what](TzdReport*, TzdProgressType t, int n) {
                host << QStringLiteral("%1 %2 %3").arg(QLatin1String(what)).arg(int(t)).arg(n);
            },
            nullptr, nullptr);
    };
    report->OnProgressStart = record("start");
    report->OnProgress = record("step");
    report->OnProgressStop = record("stop");

    // A preparation reports to the preview, not to a window.
    report->BeginProgress(ptRunning);
    report->StepProgress(ptRunning, 1);
    report->EndProgress(ptRunning);
    EXPECT_TRUE(windows.Log.isEmpty());

    report->OldStyleProgress = true;
    report->BeginProgress(ptRunning);
    report->StepProgress(ptRunning, 3);
    engine()->FinalPass = true;
    report->StepProgress(ptRunning, 4);
    report->EndProgress(ptRunning);
    report->BeginProgress(ptPrinting);
    report->StepProgress(ptPrinting, 2);
    windows.Cancel = true;
    report->StepProgress(ptExporting, 5);
    EXPECT_TRUE(report->Terminated);
    report->EndProgress(ptPrinting);
    EXPECT_EQ(windows.Log, (QStringList{QStringLiteral("progress open"), QStringLiteral("První průchod: strana 3"),
                                        QStringLiteral("Příprava stránky 4"), QStringLiteral("progress close"),
                                        QStringLiteral("progress open"), QStringLiteral("Tisk stránky 2"),
                                        QStringLiteral("Export stránky 5"), QStringLiteral("progress close")}));
    EXPECT_EQ(host.size(), 11);
    EXPECT_EQ(host.first(), QStringLiteral("start 0 0"));

    // Thread-safe mode: nothing at all.
    host.clear();
    windows.Log.clear();
    report->EngineOptions()->ThreadSafeMode = true;
    report->BeginProgress(ptPrinting);
    report->StepProgress(ptPrinting, 1);
    report->EndProgress(ptPrinting);
    EXPECT_TRUE(host.isEmpty());
    EXPECT_TRUE(windows.Log.isEmpty());
}

TEST_F(PrepareFixture, NothingReentersWhileTheEngineRuns)
{
    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("other.zd3"));
    {
        TzdReport saved;
        new TzdReportPage(&saved);
        saved.SaveToFile(other);
    }
    zdDesignerClass = [](plat::TComponent* o, zd::ReportDocument* r, bool p) -> TzdCustomDesigner* {
        return new StubDesigner(o, r, p);
    };
    addMemo(QStringLiteral("Memo1"), QStringLiteral("x"));
    bool inner = true;
    bool loaded = true;
    engine()->DuringRun = [&] {
        inner = report->Prepare();
        loaded = report->LoadFromFile(other);
        report->ShowReport();
        report->Design(true);
    };
    ASSERT_TRUE(report->Prepare());
    EXPECT_FALSE(inner);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(engine()->Runs, 1);
    EXPECT_NE(report->FindObject(QStringLiteral("Memo1")), nullptr);
    EXPECT_TRUE(windows.Log.isEmpty());
    zdDesignerClass = nullptr;
}

TEST_F(PrepareFixture, EachRunStartsWithTheFlagsOfAFreshRun)
{
    addMemo(QStringLiteral("Memo1"), QStringLiteral("x"));
    ASSERT_TRUE(report->Prepare());
    EXPECT_FALSE(engine()->SecondScriptCallAtStart);
    ASSERT_TRUE(engine()->SecondScriptCall);
    report->Terminated = true;
    ASSERT_TRUE(report->Prepare());
    EXPECT_FALSE(engine()->SecondScriptCallAtStart);
    EXPECT_EQ(engine()->Runs, 2);
}

TEST_F(PrepareFixture, ATerminatingScriptSkipsTheEngine)
{
    setScript(QStringLiteral("begin\n  Report.Terminated := True;\nend."));
    report->SetTerminated(true);
    EXPECT_TRUE(report->Terminated);
    // The script's own stop needs the report adapter; the flag set before
    // the run is reset by Prepare.
    setScript(QStringLiteral("begin\nend."));
    EXPECT_TRUE(report->Prepare());
    EXPECT_EQ(engine()->Runs, 1);
}

TEST_F(PrepareFixture, ShowReportPreparesIntoAShownPreview)
{
    bool previewFired = false;
    report->OnPreview = plat::TNotifyEvent([&](plat::TObject*) { previewFired = true; }, nullptr, nullptr);
    report->PreviewOptions()->Modal = false;
    report->ShowReport();
    EXPECT_TRUE(previewFired);
    EXPECT_EQ(engine()->Runs, 1);
    EXPECT_EQ(windows.PagesShown, report->ActivePreviewPages());
    EXPECT_EQ(windows.Log, (QStringList{QStringLiteral("preview created"), QStringLiteral("preview shown")}));
    EXPECT_FALSE(report->PrepareTimerEnabled());

    // Old-style progress prepares first and shows only a good result.
    windows.Log.clear();
    report->OldStyleProgress = true;
    engine()->Result = false;
    report->ShowReport();
    EXPECT_EQ(engine()->Runs, 2);
    EXPECT_FALSE(windows.Log.contains(QStringLiteral("preview created")));
    engine()->Result = true;
    report->PreviewOptions()->Modal = true;
    report->ShowReport();
    EXPECT_TRUE(windows.Log.contains(QStringLiteral("preview modal")));
    EXPECT_EQ(report->PreviewWindow, nullptr);
}

TEST_F(PrepareFixture, PrintPrintsTheStoreAndSinglePagesRunTheEngineForOnePage)
{
    EXPECT_TRUE(report->PrintPrepared());
    EXPECT_EQ(pages()->Prints, 1);
    EXPECT_TRUE(report->PrepareSinglePage(page));
    EXPECT_EQ(engine()->PageSeen, page);
    EXPECT_FALSE(engine()->RunDialogsSeen);
}

TEST_F(PrepareFixture, DesignOpensTheRegisteredDesignerOnce)
{
    report->Design(true); // no designer class: nothing
    EXPECT_TRUE(windows.Log.isEmpty());
    zdDesignerClass = [](plat::TComponent* o, zd::ReportDocument* r, bool p) -> TzdCustomDesigner* {
        return new StubDesigner(o, r, p);
    };
    report->Modified = true;
    report->Design(true);
    EXPECT_FALSE(report->Modified);
    EXPECT_EQ(report->OpenDesigner, nullptr);
    report->Design(false);
    ASSERT_NE(report->OpenDesigner, nullptr);
    EXPECT_FALSE(report->OpenDesigner->IsPreviewDesigner);
    report->Design(false); // one is open
    EXPECT_EQ(windows.Log, (QStringList{QStringLiteral("designer modal"), QStringLiteral("designer shown")}));
    delete report->OpenDesigner;
    report->OpenDesigner = nullptr;
    zdDesignerClass = nullptr;
}

TEST_F(PrepareFixture, ScriptEventsRunWhileTheEngineRunsOrWhenForced)
{
    TzdMemoView* memo = addMemo(QStringLiteral("Memo1"), QStringLiteral("x"));
    memo->OnBeforePrint = QStringLiteral("Memo1OnBeforePrint");
    memo->OnMouseUp = QStringLiteral("Memo1OnMouseUp");
    setScript(QStringLiteral("procedure Memo1OnBeforePrint(Sender: TObject);\nbegin\n  Set('Seen', 1);\nend;\n\n"
                             "procedure Memo1OnMouseUp(Sender: TObject; X, Y: Integer; Button, Shift: Integer;"
                             " var Modified: Boolean);\nbegin\n  X := 99;\n  Modified := True;\nend;\n\nbegin\nend."));
    ASSERT_TRUE(report->CompileScript()) << report->ErrorList().join(u'\n').toStdString();
    report->FireBeforePrint(memo);
    EXPECT_EQ(report->Variables()->IndexOf(QStringLiteral("Seen")), -1);
    engine()->BuildRunning = true;
    report->FireBeforePrint(memo);
    engine()->BuildRunning = false;
    EXPECT_EQ(report->Variables()->GetVariables(QStringLiteral("Seen")).toInteger(), 1);

    bool modified = false;
    report->FireMouseUp(memo, 5, 6, plat::mbLeft, {}, modified);
    EXPECT_TRUE(modified);
}

} // namespace

namespace {

TEST_F(PrepareFixture, ObjectsOfTheScriptResolveToThemselves)
{
    ASSERT_TRUE(report->CompileScript());
    plat::Variant v;
    ASSERT_TRUE(report->ResolveName(QStringLiteral("MasterData1"), v));
    EXPECT_EQ(plat::VariantToObject(v), band);
    EXPECT_EQ(plat::VariantToObject(calc(QStringLiteral("Page1"))), page);
}

} // namespace

namespace {

TEST_F(PrepareFixture, ScriptsReachTheReportObjectsAndTheTemplateIsPutBack)
{
    addMemo(QStringLiteral("Memo1"), QStringLiteral("stored"));
    addMemo(QStringLiteral("Memo2"), QStringLiteral("[<Cm> * 10000] [<Day>].[<Year>]"));
    setScript(QStringLiteral("begin\n"
                             "  Memo1.Text := 'from script ' + IntToStr(Report.Calc('20 + 1') * 2);\n"
                             "  Set('Cm', zd1cm);\n"
                             "  Set('Day', DayOf(EncodeDate(2021, 7, 10)));\n"
                             "  Set('Year', YearOf(EncodeDate(2021, 7, 10)));\n"
                             "end."));
    ASSERT_TRUE(report->Prepare()) << report->ErrorList().join(u'\n').toStdString();
    EXPECT_EQ(engine()->Texts,
              (QStringList{QStringLiteral("from script 42"), QStringLiteral("377953 10.2021")}));
    auto* memo = dynamic_cast<TzdMemoView*>(report->FindObject(QStringLiteral("Memo1")));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Text().trimmed(), QStringLiteral("stored"));
    // What the script set is gone with the run.
    EXPECT_EQ(report->Variables()->IndexOf(QStringLiteral("Cm")), -1);
}

TEST_F(PrepareFixture, AScriptThatStopsTheReportSkipsTheEngine)
{
    setScript(QStringLiteral("begin\n  Engine.StopReport;\nend."));
    EXPECT_FALSE(report->Prepare());
    EXPECT_EQ(engine()->Runs, 0);
    EXPECT_TRUE(report->Terminated);
    setScript(QStringLiteral("begin\n  Report.Terminated := True;\nend."));
    EXPECT_FALSE(report->Prepare());
    EXPECT_EQ(engine()->Runs, 0);
}

} // namespace
