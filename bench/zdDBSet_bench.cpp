// The same 10,000-record listing prepared over the record table through the
// table adapter and over a user dataset that hands out the same values from
// memory: the adapter's own cost is the difference.

#include "ClientDataSet.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDBSet.h"
#include "zdDataSets.h"
#include "zdEngine.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kRecords = 10000;

QString codeOf(int i) { return QStringLiteral("SVM%1").arg(i + 1, 8, 10, QChar(u'0')); }
QString textOf(int i) { return QStringLiteral("Výrobek číslo %1").arg(i + 1); }

void startUnits()
{
    static const bool started = [] {
        zd::startReportUnit();
        zd::startEngineUnit();
        return true;
    }();
    (void)started;
}

// A page of listing rows: the code and one text of each record.
void listing(TzdReport& Report, TzdDataSet* Data)
{
    Report.EngineOptions()->NewSilentMode = simSilent;
    Report.DataSets()->AddDataSet(Data);
    auto* page = new TzdReportPage(&Report);
    page->SetParent(&Report);
    page->SetName(QStringLiteral("Page1"));
    page->SetPaperFormat(9, 210, 297);
    auto* band = new TzdMasterData(page);
    band->SetParent(page);
    band->SetName(QStringLiteral("MasterData1"));
    band->SetBounds(0, 20, 700, 20);
    band->SetDataSet(Data);
    const char* fields[] = {"kod", "pole1"};
    for (int i = 0; i < 2; ++i) {
        auto* memo = new TzdMemoView(band);
        memo->SetParent(band);
        memo->SetName(QStringLiteral("Memo%1").arg(i + 1));
        memo->SetBounds(10 + i * 300, 0, 280, 18);
        memo->SetDataSet(Data);
        memo->SetDataField(QString::fromLatin1(fields[i]));
    }
}

void run(benchmark::State& state, TzdReport& Report)
{
    if (!Report.Prepare())
        state.SkipWithError(Report.ErrorList().join(u'\n').toUtf8().constData());
    state.counters["pages"] = Report.ActivePreviewPages()->GetPageCount();
}

void overTableAdapter(benchmark::State& state)
{
    startUnits();
    plat::TComponent host(nullptr);
    auto* table = new plat::TClientDataSet(&host);
    table->FieldDefs() = plat::TClientDataSet::RecordTableDefs();
    table->CreateDataSet();
    for (int i = 0; i < kRecords; ++i) {
        table->Append();
        table->FieldByName(QStringLiteral("kod")).SetAsString(codeOf(i));
        table->FieldByName(QStringLiteral("pole1")).SetAsString(textOf(i));
        table->Post();
    }
    auto* adapter = new TzdDBDataset(&host);
    adapter->SetName(QStringLiteral("zdDBDataset1"));
    adapter->SetDataSet(table);
    TzdReport report(&host);
    listing(report, adapter);
    for (auto _ : state)
        run(state, report);
    state.counters["records/s"] = benchmark::Counter(double(kRecords), benchmark::Counter::kIsIterationInvariantRate);
}

void overUserDataset(benchmark::State& state)
{
    startUnits();
    plat::TComponent host(nullptr);
    std::vector<QString> codes, texts;
    for (int i = 0; i < kRecords; ++i) {
        codes.push_back(codeOf(i));
        texts.push_back(textOf(i));
    }
    auto* data = new TzdUserDataSet(&host);
    data->SetName(QStringLiteral("Data1"));
    data->Fields()->SetText(QStringLiteral("kod\npole1"));
    data->OnCheckEOF = TzdCheckEOFEvent([data](plat::TObject*, bool& Eof) { Eof = data->RecNo >= kRecords; },
                                        data, nullptr);
    data->OnGetValue = TzdGetValueEvent(
        [&, data](const QString& Name, plat::Variant& Value) {
            Value = Name == u"kod" ? codes[size_t(data->RecNo)] : texts[size_t(data->RecNo)];
        },
        data, nullptr);
    TzdReport report(&host);
    listing(report, data);
    for (auto _ : state)
        run(state, report);
    state.counters["records/s"] = benchmark::Counter(double(kRecords), benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK(overTableAdapter)->Unit(benchmark::kMillisecond);
BENCHMARK(overUserDataset)->Unit(benchmark::kMillisecond);
