// The report wizards: column fitting, the list report built over the
// record table and prepared by the engine, the wizard form driven through
// its controls, and the new-report commands, which never lose the report
// being edited (the save question first, a cancelled wizard leaves the
// report byte for byte as it was).

#include "ClientDataSet.h"
#include "Modal.h"
#include "ScriptedServices.h"
#include "Services.h"
#include "Streams.h"
#include "StringList.h"
#include "zdBarcodeView.h"
#include "zdClass_band.h"
#include "zdClass_fill.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_style.h"
#include "zdDBSet.h"
#include "zdDMPClass.h"
#include "zdDMPWizard.h"
#include "zdDesignerModel.h"
#include "zdDsgnIntf.h"
#include "zdEditors.h"
#include "zdEngine.h"
#include "zdPreviewPages.h"
#include "zdStdWizard.h"
#include "zdWizardModel.h"
#include "zdreport_prepare.h"
#include "zdreport_template.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void startUnits()
{
    static const bool started = [] {
        zdtool::startLibrary();
        zd::startEngineUnit();
        zd::startDotMatrixUnit();
        zd::startDesignerEditorsUnit();
        zd::startWizardsUnit();
        return true;
    }();
    (void)started;
}

const QString kRecords = QStringLiteral(SORVAMET_SOURCE_DIR "/tests/report_engine/data/records100.xml");

// The designer over a report, with the program's record table offered as
// "zdDBDataset1", as the report list sets it up.
struct Wizards : ::testing::Test {
    // The units start before the report exists: it makes its engine then.
    struct Start {
        Start() { startUnits(); }
    } start;
    plat::ScriptedServices ui;
    plat::ScopedServices useUi{ui};
    plat::TComponent host{nullptr};
    plat::TClientDataSet* table = nullptr;
    TzdDBDataset* records = nullptr;
    // Datasets live beside the report, as the program's record table does.
    TzdReport report{&host};
    std::unique_ptr<zd::DesignerModel> d;
    QTemporaryDir dir;

    Wizards()
    {
        startUnits();
        table = new plat::TClientDataSet(&host);
        table->SetFileName(kRecords);
        table->Open();
        records = new TzdDBDataset(&host);
        records->SetName(QStringLiteral("zdDBDataset1"));
        records->SetUserName(QStringLiteral("zdDBDataset1"));
        records->SetCloseDataSource(false);
        records->SetDataSet(table);
        d = std::make_unique<zd::DesignerModel>(nullptr, &report);
        d->ReloadFromReport();
    }

    QString path(const char* Name) const { return dir.filePath(QString::fromLatin1(Name)); }

    std::string saved()
    {
        plat::TMemoryStream s;
        report.SaveToStream(s);
        return s.bytes().toStdString();
    }

    // A report of the user's own, modified and with a file name.
    void userReport()
    {
        auto* page = dynamic_cast<TzdReportPage*>(report.GetPageByIndex(1));
        ASSERT_NE(page, nullptr);
        auto* band = new TzdMasterData(&report);
        band->SetParent(page);
        band->SetName(QStringLiteral("Zaznamy"));
        band->SetBounds(0, 100, 500, 30);
        band->SetDataSet(records);
        auto* memo = new TzdMemoView(&report);
        memo->SetParent(band);
        memo->SetName(QStringLiteral("Kod"));
        memo->SetBounds(10, 2, 200, 20);
        memo->SetText(QStringLiteral("[zdDBDataset1.\"kod\"] – Čáslav ✓"));
        report.DataSets()->AddDataSet(records);
        report.FileName = path("vlastni.zd3");
        // As the designer shows it, then edited.
        d->ReloadFromReport();
        d->SetModifiedFlag(true);
    }

    bool prepare(QStringList* Errors = nullptr)
    {
        return zdtool::prepare(report, QStringLiteral("2024-05-06T07:08:09"), Errors);
    }
    QString dump() { return zdtool::dumpPages(*zdtool::storeOf(report)); }
};

TzdComponent* find(TzdReport& Report, const QString& Name) { return Report.FindObject(Name); }

template <class T>
std::vector<T*> objectsOf(TzdReport& Report)
{
    std::vector<T*> out;
    for (TzdComponent* c : Report.AllObjects())
        if (auto* t = dynamic_cast<T*>(c))
            out.push_back(t);
    return out;
}

// ---------------------------------------------------------------- fitting

struct FitCase {
    const char* name;
    std::vector<long double> header, data;
    long double width;
    bool fit;
    std::vector<long double> expected;
};

TEST(WizardFit, ColumnsFollowTheirCaptionsAndDataAndFitThePage)
{
    const FitCase cases[] = {
        // The overflow comes from the fields whose data is wider than their caption.
        {"excess shared", {60, 60, 60}, {40, 200, 300}, 400, true, {60, 200 - 140.0L / 380 * 160, 300 - 240.0L / 380 * 160}},
        {"captions scaled", {300, 200, 100}, {10, 10, 10}, 400, true, {200, 400.0L / 3, 200.0L / 3}},
        {"fits already", {50, 50}, {20, 80}, 400, true, {50, 80}},
        {"fitting off", {60, 60, 60}, {40, 200, 300}, 400, false, {60, 200, 300}},
        // Margins that take the whole paper leave nothing to fit to.
        {"no printable width", {60, 60}, {40, 200}, 0, true, {60, 200}},
        {"negative printable width", {60, 60}, {40, 200}, -50, true, {60, 200}},
        {"nothing chosen", {}, {}, 400, true, {}},
        {"nothing measured", {0, 0}, {0, 0}, 0, true, {0, 0}},
        {"empty captions", {0, 0}, {300, 300}, 400, true, {200, 200}},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const zd::ColumnFit fit = zd::fitColumns(c.header, c.data, c.width, c.fit);
        ASSERT_EQ(fit.Column.size(), c.expected.size());
        long double sum = 0;
        for (size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_NEAR(double(fit.Column[i]), double(c.expected[i]), 0.0001) << i;
            EXPECT_TRUE(std::isfinite(double(fit.Column[i])));
            sum += fit.Column[i];
        }
        if (c.fit && c.width > 0 && !c.expected.empty() && c.expected != c.data && std::string(c.name) != "fits already") {
            EXPECT_NEAR(double(sum), double(c.width), 0.0001);
        }
    }
}

// ---------------------------------------------------------------- choices

TEST_F(Wizards, FieldListsFollowTheWizardPages)
{
    zd::WizardModel m(*d, false);
    ASSERT_TRUE(m.Start());
    EXPECT_EQ(m.DataSetNames(), QStringList{QStringLiteral("zdDBDataset1")});
    EXPECT_EQ(m.DataSetIndex(), 0);
    const QStringList all{"id", "kod", "pole1", "pole2", "pole3", "pole4"};
    EXPECT_EQ(m.Fields, all);

    // Add moves the selected fields in list order and selects the next one.
    EXPECT_EQ(m.AddFields({2, 1}), 1);
    EXPECT_EQ(m.Selected, (QStringList{"kod", "pole1"}));
    EXPECT_EQ(m.Fields, (QStringList{"id", "pole2", "pole3", "pole4"}));
    // At the end of the list the previous entry is selected.
    EXPECT_EQ(m.AddFields({3}), 2);
    EXPECT_EQ(m.Available, (QStringList{"kod", "pole1", "pole4"}));

    EXPECT_EQ(m.AddGroup(1), 1);
    EXPECT_EQ(m.Groups, QStringList{"pole1"});
    EXPECT_EQ(m.Available, (QStringList{"kod", "pole4"}));
    // Reordering the chosen fields empties the groups.
    EXPECT_EQ(m.MoveField(2, -1), 2);
    EXPECT_EQ(m.Selected, (QStringList{"kod", "pole4", "pole1"}));
    EXPECT_TRUE(m.Groups.isEmpty());
    EXPECT_EQ(m.MoveField(0, 1), 1);
    EXPECT_EQ(m.Selected, (QStringList{"pole4", "kod", "pole1"}));

    m.AddAllFields();
    EXPECT_EQ(m.Selected, all);
    EXPECT_TRUE(m.Fields.isEmpty());
    m.RemoveAllFields();
    EXPECT_EQ(m.Fields, all);
    EXPECT_TRUE(m.Selected.isEmpty());
    // Stray rows are ignored.
    EXPECT_EQ(m.AddFields({-1, 99}), 0);
    EXPECT_TRUE(m.Selected.isEmpty());
    m.Cancel();
}

// ---------------------------------------------------------------- building

TEST_F(Wizards, ListReportOverTheRecordTablePreparesToItsPages)
{
    zd::WizardModel m(*d, false);
    ASSERT_TRUE(m.Start());
    m.AddFields({1, 2, 3});
    m.AddGroup(1); // pole1
    m.StyleIndex = m.StyleNames().indexOf(QStringLiteral("Standard"));
    ASSERT_GE(m.StyleIndex, 0);
    m.Finish();
    EXPECT_FALSE(d->Modified);

    // The bands in their order, the data bound to the record table.
    auto* page = dynamic_cast<TzdReportPage*>(report.GetPageByIndex(1));
    ASSERT_NE(page, nullptr);
    QStringList bands;
    for (TzdComponent* c : page->Children())
        bands << c->ClassName() + u' ' + c->Name();
    EXPECT_EQ(bands, (QStringList{"TzdReportTitle ReportTitle1", "TzdPageHeader PageHeader1",
                                  "TzdGroupHeader GroupHeader1", "TzdMasterData MasterData1",
                                  "TzdGroupFooter GroupFooter1", "TzdPageFooter PageFooter1"}));
    auto* group = dynamic_cast<TzdGroupHeader*>(find(report, QStringLiteral("GroupHeader1")));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->Condition, QStringLiteral("zdDBDataset1.\"pole1\""));
    auto* master = dynamic_cast<TzdMasterData*>(find(report, QStringLiteral("MasterData1")));
    ASSERT_NE(master, nullptr);
    EXPECT_EQ(master->DataSet(), records);
    ASSERT_EQ(report.DataSets()->Count(), 1);
    EXPECT_EQ(report.DataSets()->GetItem(0)->DataSet(), records);
    // Two fields in the data band, fitted within the printable width.
    const long double w = (page->PaperWidth() - page->LeftMargin - page->RightMargin) * 96 / 25.4L;
    long double right = 0;
    QStringList dataFields;
    for (TzdComponent* c : master->Children()) {
        auto* memo = dynamic_cast<TzdMemoView*>(c);
        ASSERT_NE(memo, nullptr);
        EXPECT_EQ(memo->Style(), QStringLiteral("Data"));
        dataFields << memo->DataField();
        right = std::max(right, memo->Left() + memo->Width());
    }
    EXPECT_EQ(dataFields, (QStringList{"kod", "pole2"}));
    EXPECT_LE(double(right), double(w) + 0.001);
    ASSERT_EQ(report.Styles()->Count(), 6);
    EXPECT_EQ(report.Styles()->Find(QStringLiteral("Title"))->Color(), plat::clNone);

    QStringList errors;
    ASSERT_TRUE(prepare(&errors)) << errors.join(u'\n').toStdString();
    const QString pages = dump();
    // Every record in table order, each group headed by its store.
    int at = 0;
    table->First();
    int count = 0;
    while (!table->Eof()) {
        const QString kod = table->FieldByName(QStringLiteral("kod")).AsString();
        const int found = pages.indexOf(u'"' + kod + u'"', at);
        ASSERT_GE(found, 0) << kod.toStdString();
        at = found;
        ++count;
        table->Next();
    }
    EXPECT_EQ(count, 100);
    EXPECT_TRUE(pages.contains(QStringLiteral("\"Sklad Čáslav\"")));
    const int pageCount = zdtool::storeOf(report)->GetPageCount();
    EXPECT_EQ(pageCount, 3);
    for (int p = 1; p <= pageCount; ++p)
        EXPECT_TRUE(pages.contains(QStringLiteral("\"Page %1\"").arg(p))) << p;
}

TEST_F(Wizards, SavedWizardReportPreparesTheSameFromTheShell)
{
    const QString tool = QStringLiteral(SORVAMET_BIN_DIR "/zdreport");
    if (!QFile::exists(tool))
        GTEST_SKIP() << "zdreport is not built";
    zd::WizardModel m(*d, false);
    ASSERT_TRUE(m.Start());
    m.AddAllFields();
    m.Landscape = true;
    m.Finish();
    ASSERT_TRUE(prepare());
    const QString here = dump();
    report.SaveToFile(path("wizard.zd3"));

    QProcess p;
    p.start(tool, {QStringLiteral("prepare"), path("wizard.zd3"), QStringLiteral("--data"), kRecords,
                   QStringLiteral("--clock"), QStringLiteral("2024-05-06T07:08:09"), QStringLiteral("--dump"),
                   QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    // The tool ends its dump with the number of pages.
    const QString shell = QString::fromUtf8(p.readAllStandardOutput());
    const int pages = zdtool::storeOf(report)->GetPageCount();
    EXPECT_EQ(shell.toStdString(), (here + QStringLiteral("pages: %1\n").arg(pages)).toStdString());
    EXPECT_TRUE(here.startsWith(QStringLiteral("page 1")));
    EXPECT_TRUE(here.contains(QStringLiteral("\"8597648724587\"")));
}

TEST_F(Wizards, ColumnarDotMatrixReportHasNoCaptionsRowNorStyle)
{
    zd::WizardModel m(*d, true);
    ASSERT_TRUE(m.Start());
    m.AddFields({1, 2});
    m.Columnar = true;
    m.Finish();
    EXPECT_TRUE(report.DotMatrixReport);
    EXPECT_NE(dynamic_cast<TzdDMPPage*>(report.GetPageByIndex(1)), nullptr);
    EXPECT_TRUE(objectsOf<TzdPageHeader>(report).empty());
    EXPECT_TRUE(objectsOf<TzdMemoView>(report).empty());
    EXPECT_EQ(report.Styles()->Count(), 0);
    auto* master = objectsOf<TzdMasterData>(report).at(0);
    // Caption and data per field, one row each.
    ASSERT_EQ(master->Children().size(), 4u);
    auto* caption = dynamic_cast<TzdDMPMemoView*>(master->Children()[0]);
    auto* data = dynamic_cast<TzdDMPMemoView*>(master->Children()[1]);
    ASSERT_TRUE(caption && data);
    EXPECT_EQ(caption->Text().trimmed(), QStringLiteral("kod"));
    EXPECT_EQ(data->DataField(), QStringLiteral("kod"));
    EXPECT_GT(data->Left(), caption->Left());
    EXPECT_GT(master->Children()[2]->Top(), caption->Top());
    ASSERT_TRUE(prepare());
    EXPECT_TRUE(dump().contains(QStringLiteral("\"8597648724587\"")));
}

TEST_F(Wizards, MarginsTakingTheWholePaperOrNoFieldsBuildWithoutFitting)
{
    TzdDesigner component(nullptr);
    component.DefaultLeftMargin = 150;
    component.DefaultRightMargin = 150;
    for (bool withFields : {true, false}) {
        SCOPED_TRACE(withFields);
        zd::WizardModel m(*d, false);
        ASSERT_TRUE(m.Start());
        if (withFields)
            m.AddAllFields();
        m.Finish();
        for (long double c : m.LastFit().Column)
            EXPECT_TRUE(std::isfinite(double(c)) && c > 0);
        auto* title = objectsOf<TzdReportTitle>(report).at(0);
        EXPECT_EQ(title->Width(), 0);
        EXPECT_EQ(objectsOf<TzdMasterData>(report).size(), 1u);
        EXPECT_EQ(objectsOf<TzdPageFooter>(report).size(), 1u);
        EXPECT_NO_THROW(prepare());
    }
}

TEST_F(Wizards, WithoutDatasetOnlyTheFrameOfTheReportIsBuilt)
{
    records->SetDataSet(nullptr);
    delete records;
    records = nullptr;
    zd::WizardModel m(*d, false);
    ASSERT_TRUE(m.Start());
    EXPECT_TRUE(m.DataSetNames().isEmpty());
    EXPECT_TRUE(m.Fields.isEmpty());
    m.Finish();
    auto* master = objectsOf<TzdMasterData>(report).at(0);
    EXPECT_EQ(master->DataSet(), nullptr);
    EXPECT_TRUE(master->Children().empty());
    EXPECT_EQ(report.DataSets()->Count(), 0);
    EXPECT_EQ(objectsOf<TzdPageHeader>(report).size(), 1u);
}

// ---------------------------------------------------------------- the form

// Runs Action on the wizard form when it is shown and returns what it ends with.
plat::ModalRunner driveForm(std::function<void(TzdStdWizardForm&)> Action, bool* Shown = nullptr)
{
    return [Action, Shown](QDialog& Dialog) {
        auto* form = dynamic_cast<TzdStdWizardForm*>(&Dialog);
        if (!form)
            return int(QDialog::Rejected);
        if (Shown)
            *Shown = true;
        form->show();
        Action(*form);
        form->hide();
        return form->result();
    };
}

template <class T>
T* named(QWidget& Form, const char* Name)
{
    T* w = Form.findChild<T*>(QString::fromLatin1(Name));
    EXPECT_NE(w, nullptr) << Name;
    return w;
}

TEST_F(Wizards, FormBuildsTheReportFromWhatIsClicked)
{
    bool shown = false;
    plat::ScopedModalRunner runner(driveForm(
        [](TzdStdWizardForm& f) {
            auto* pages = named<QTabWidget>(f, "Pages");
            EXPECT_EQ(pages->count(), 5);
            EXPECT_FALSE(named<QPushButton>(f, "BackB")->isEnabled());
            EXPECT_EQ(named<QComboBox>(f, "DatasetsCB")->currentText(), QStringLiteral("zdDBDataset1"));
            named<QPushButton>(f, "NextB")->click();
            auto* fields = named<QListWidget>(f, "FieldsLB");
            fields->clearSelection();
            fields->item(1)->setSelected(true); // kod
            fields->item(2)->setSelected(true); // pole1
            named<QPushButton>(f, "AddFieldB")->click();
            EXPECT_EQ(named<QListWidget>(f, "SelectedFieldsLB")->count(), 2);
            named<QPushButton>(f, "NextB")->click();
            auto* available = named<QListWidget>(f, "AvailableFieldsLB");
            available->setCurrentRow(1);
            named<QPushButton>(f, "AddGroupB")->click();
            EXPECT_EQ(named<QListWidget>(f, "GroupsLB")->count(), 1);
            named<QPushButton>(f, "NextB")->click();
            named<QRadioButton>(f, "LandscapeRB")->click();
            named<QCheckBox>(f, "FitWidthCB")->click();
            named<QPushButton>(f, "NextB")->click();
            EXPECT_FALSE(named<QPushButton>(f, "NextB")->isEnabled());
            // The previews draw the samples; another style set shows another look.
            EXPECT_FALSE(named<QWidget>(f, "LayoutPB")->grab().isNull());
            const QImage first = named<QWidget>(f, "StylePB")->grab().toImage();
            named<QListWidget>(f, "StyleLB")->setCurrentRow(3);
            EXPECT_NE(named<QWidget>(f, "StylePB")->grab().toImage(), first);
            named<QPushButton>(f, "FinishB")->click();
        },
        &shown));
    EXPECT_TRUE(zd::runWizardClass(*d, TzdStdWizard::StaticClass()));
    EXPECT_TRUE(shown);
    EXPECT_TRUE(d->Modified);
    auto* page = dynamic_cast<TzdReportPage*>(report.GetPageByIndex(1));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Orientation(), plat::poLandscape);
    // The "Corporate" set: a black title.
    ASSERT_EQ(report.Styles()->Count(), 6);
    EXPECT_EQ(report.Styles()->Find(QStringLiteral("Title"))->Color(), 0);
    auto* group = objectsOf<TzdGroupHeader>(report).at(0);
    EXPECT_EQ(group->Condition, QStringLiteral("zdDBDataset1.\"pole1\""));
    auto* master = objectsOf<TzdMasterData>(report).at(0);
    ASSERT_EQ(master->Children().size(), 1u);
    EXPECT_EQ(dynamic_cast<TzdView*>(master->Children()[0])->DataField(), QStringLiteral("kod"));
    EXPECT_TRUE(ui.Unexpected().isEmpty()) << ui.Unexpected().join(u'\n').toStdString();
}

TEST_F(Wizards, DotMatrixFormHasNoStylePage)
{
    plat::ScopedModalRunner runner(driveForm([](TzdStdWizardForm& f) {
        auto* pages = named<QTabWidget>(f, "Pages");
        EXPECT_EQ(pages->count(), 4);
        EXPECT_EQ(pages->indexOf(f.StyleTab), -1);
        pages->setCurrentIndex(3);
        EXPECT_FALSE(named<QPushButton>(f, "NextB")->isEnabled());
        named<QPushButton>(f, "AddAllFieldsB")->click();
        named<QPushButton>(f, "FinishB")->click();
    }));
    EXPECT_TRUE(zd::runWizardClass(*d, TzdDotMatrixWizard::StaticClass()));
    EXPECT_TRUE(report.DotMatrixReport);
    EXPECT_FALSE(objectsOf<TzdDMPMemoView>(report).empty());
}

// ---------------------------------------------------------------- keeping the report

TEST_F(Wizards, CancelledWizardLeavesTheReportByteIdentical)
{
    userReport();
    report.SaveToFile(path("before.zd3"));
    const std::string before = saved();
    ui.AnswerMessage(plat::IDNO); // do not save, go on
    plat::ScopedModalRunner runner(driveForm([](TzdStdWizardForm& f) {
        named<QPushButton>(f, "AddAllFieldsB")->click();
        f.reject();
    }));
    EXPECT_FALSE(zd::runWizardClass(*d, TzdStdWizard::StaticClass()));
    report.SaveToFile(path("after.zd3"));
    QFile a(path("before.zd3")), b(path("after.zd3"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll().toStdString(), b.readAll().toStdString());
    EXPECT_EQ(saved(), before);
    EXPECT_EQ(report.FileName, path("vlastni.zd3"));
    EXPECT_TRUE(d->Modified);
    EXPECT_NE(find(report, QStringLiteral("Zaznamy")), nullptr);
    EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
}

TEST_F(Wizards, ModifiedReportIsAskedAboutFirst)
{
    struct Case {
        const char* name;
        const plat::TClass* wizard;
    };
    const Case cases[] = {{"standard", TzdStdWizard::StaticClass()},
                          {"dot-matrix", TzdDotMatrixWizard::StaticClass()},
                          {"empty", TzdStdEmptyWizard::StaticClass()},
                          {"empty dot-matrix", TzdDMPEmptyWizard::StaticClass()}};
    userReport();
    const std::string before = saved();
    bool shown = false;
    plat::ScopedModalRunner runner(driveForm([](TzdStdWizardForm&) {}, &shown));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.Reset();
        ui.AnswerMessage(plat::IDCANCEL);
        EXPECT_FALSE(zd::runWizardClass(*d, c.wizard));
        EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 1u);
        EXPECT_EQ(saved(), before);
        EXPECT_TRUE(d->Modified);
    }
    EXPECT_FALSE(shown);
    ui.Reset();
    ui.AnswerMessage(plat::IDCANCEL);
    EXPECT_FALSE(zd::newReportFromTemplate(*d, path("any.zd3"), false));
    EXPECT_EQ(saved(), before);
}

TEST_F(Wizards, EmptyWizardsGiveAnEmptyReportOfTheirKind)
{
    for (bool dotMatrix : {false, true}) {
        SCOPED_TRACE(dotMatrix);
        userReport();
        ui.AnswerMessage(plat::IDNO);
        EXPECT_TRUE(zd::runWizardClass(
            *d, dotMatrix ? TzdDMPEmptyWizard::StaticClass() : TzdStdEmptyWizard::StaticClass()));
        EXPECT_EQ(report.DotMatrixReport, dotMatrix);
        EXPECT_TRUE(report.FileName.isEmpty());
        ASSERT_EQ(report.GetPageCount(), 2);
        EXPECT_NE(dynamic_cast<TzdDataPage*>(report.GetPageByIndex(0)), nullptr);
        TzdComponent* page = report.GetPageByIndex(1);
        EXPECT_EQ(page->Name(), QStringLiteral("Page1"));
        EXPECT_EQ(dynamic_cast<TzdDMPPage*>(page) != nullptr, dotMatrix);
        EXPECT_TRUE(page->Children().empty());
        EXPECT_TRUE(d->Modified);
    }
}

TEST_F(Wizards, RegistryListsTheFourWizardsInOrder)
{
    TzdWizardCollection* w = zdGetWizardRegistry();
    QStringList captions;
    for (int i = 0; i < w->Count(); ++i) {
        std::unique_ptr<plat::TComponent> wizard(w->GetItem(i).ClassRef->CreateComponent(d.get()));
        captions << dynamic_cast<TzdCustomWizard*>(wizard.get())->GetWizardCaption();
    }
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Standardní průvodce reportem"),
                                     QStringLiteral("Standardní report"),
                                     QStringLiteral("Průvodce reportem pro jehl. tisk."),
                                     QStringLiteral("Report pro jehl. tisk.")}));
}

// ---------------------------------------------------------------- templates

TEST_F(Wizards, TemplateBecomesTheNewUnnamedReport)
{
    userReport();
    report.SaveToFile(path("sablona.zd3"));
    const std::string templateBytes = saved();
    // Something else is being edited meanwhile.
    ui.AnswerMessage(plat::IDNO);
    ASSERT_TRUE(zd::makeEmptyWizardReport(*d, false));
    d->SetModifiedFlag(true);
    ui.AnswerMessage(plat::IDNO);
    ASSERT_TRUE(zd::newReportFromTemplate(*d, path("sablona.zd3"), false));
    EXPECT_TRUE(report.FileName.isEmpty());
    EXPECT_NE(find(report, QStringLiteral("Kod")), nullptr);
    EXPECT_EQ(saved(), templateBytes);
    EXPECT_FALSE(d->Modified);
}

TEST_F(Wizards, InheritedTemplateIsNamedRelativeToTheProgram)
{
    QStringList asked;
    report.OnLoadTemplate = TzdLoadTemplateEvent(
        [&asked](TzdReport* Report, const QString& Name) {
            asked << Name;
            auto* page = new TzdReportPage(Report);
            page->SetParent(Report);
            page->SetName(QStringLiteral("ZeSablony"));
        },
        &asked, nullptr);
    const QString folder = TzdReport::ApplicationFolder();
    ASSERT_TRUE(zd::newReportFromTemplate(*d, folder + QStringLiteral("sablony/faktura.zd3"), true));
    EXPECT_EQ(report.ParentReport(), QStringLiteral("sablony/faktura.zd3"));
    EXPECT_EQ(asked, QStringList{QStringLiteral("sablony/faktura.zd3")});
    EXPECT_NE(find(report, QStringLiteral("ZeSablony")), nullptr);
    EXPECT_TRUE(report.FileName.isEmpty());
    report.OnLoadTemplate = {};
}

TEST_F(Wizards, TemplateThatCannotBeReadKeepsTheReport)
{
    userReport();
    const std::string before = saved();
    // A missing file, and a folder where a file is expected.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("slozka")));
    for (const QString& name : {path("chybi.zd3"), path("slozka")}) {
        SCOPED_TRACE(name.toStdString());
        ui.Reset();
        ui.AnswerMessage(plat::IDNO);
        ui.AnswerMessage(plat::IDOK);
        EXPECT_FALSE(zd::newReportFromTemplate(*d, name, false));
        EXPECT_EQ(saved(), before);
        EXPECT_EQ(report.FileName, path("vlastni.zd3"));
        EXPECT_TRUE(d->Modified);
        EXPECT_EQ(ui.CallsOf(QStringLiteral("MessageBox")).size(), 2u);
    }
}

TEST_F(Wizards, TemplateHandlerOfTheReportLoadsTheTemplate)
{
    QString asked;
    report.OnLoadTemplate = TzdLoadTemplateEvent(
        [&asked](TzdReport* Report, const QString& Name) {
            asked = Name;
            auto* page = new TzdReportPage(Report);
            page->SetParent(Report);
            page->SetName(QStringLiteral("ZHandleru"));
        },
        &asked, nullptr);
    ASSERT_TRUE(zd::newReportFromTemplate(*d, path("x.zd3"), false));
    EXPECT_EQ(asked, path("x.zd3"));
    EXPECT_NE(find(report, QStringLiteral("ZHandleru")), nullptr);
    report.OnLoadTemplate = {};
}

} // namespace

namespace {

// ---------------------------------------------------------------- style sheet

TEST(WizardStyles, SheetBesideTheProgramWinsUnlessItHasNoSet)
{
    startUnits();
    QTemporaryDir folder;
    TzdStyleSheet sheet;
    zd::loadWizardStyleSheet(sheet, folder.path());
    plat::TStringList names;
    sheet.GetList(names);
    ASSERT_EQ(names.Count(), 4);
    EXPECT_EQ(names.Strings(0), QStringLiteral("ZazaDuzudi"));
    EXPECT_EQ(names.Strings(3), QStringLiteral("Corporate"));
    TzdStyles* soft = sheet.Find(QStringLiteral("Soft gray"));
    ASSERT_NE(soft, nullptr);
    ASSERT_EQ(soft->Count(), 6);
    EXPECT_EQ(soft->Find(QStringLiteral("Title"))->Color(), 14211288);
    EXPECT_EQ(soft->Find(QStringLiteral("Header line"))->Frame()->Width(), 2);

    struct Case {
        const char* name;
        QByteArray xml;
        int sets;
    };
    const Case cases[] = {
        {"own set", "<?xml version=\"1.0\"?><stylesheet><style Name=\"Moje\"><item Name=\"Data\"/></style></stylesheet>", 1},
        {"no set", "<?xml version=\"1.0\"?><stylesheet/>", 4},
        {"damaged", "<?xml version=\"1.0\"?><stylesheet><style Name=\"", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile f(QDir(folder.path()).filePath(QStringLiteral("wizstyle.xml")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.xml);
        f.close();
        TzdStyleSheet s;
        zd::loadWizardStyleSheet(s, folder.path());
        EXPECT_EQ(s.Count(), c.sets);
    }
}

TEST(WizardStyles, BuiltInSheetIsWellFormedXml)
{
    const QString xmllint = QStringLiteral("/usr/bin/xmllint");
    if (!QFile::exists(xmllint))
        GTEST_SKIP() << "xmllint is not installed";
    QProcess p;
    p.start(xmllint, {QStringLiteral("--noout"), QStringLiteral("-")});
    p.write(zd::builtInWizardStyleSheet());
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

} // namespace
