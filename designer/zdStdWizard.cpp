#include "zdStdWizard.h"

#include "Canvas.h"
#include "Graphics.h"
#include "Modal.h"
#include "Services.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_style.h"
#include "zdDMPWizard.h"
#include "zdDesignerModel.h"
#include "zdDsgnIntf.h"
#include "zdRes.h"
#include "zdWizardModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zd {

// A paint box that shows the text objects of a sample report.
class WizardPreview : public QWidget {
public:
    explicit WizardPreview(QWidget* Parent) : QWidget(Parent) { setFixedSize(360, 240); }
    TzdReport* Sample = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Base));
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        if (!Sample)
            return;
        plat::TCanvas canvas;
        canvas.SetPainter(&painter);
        try {
            for (TzdComponent* obj : Sample->AllObjects())
                if (auto* memo = dynamic_cast<TzdCustomMemoView*>(obj))
                    memo->Draw(&canvas, 1, 1, 10, 10);
        } catch (const std::exception&) {
            // A sample that cannot be drawn leaves the box empty.
        }
    }
};

} // namespace zd

namespace {

QString wizardText(const char* Key) { return zdGetResources()->GetText(QString::fromLatin1(Key)); }

constexpr long double kRowHeight = 18.90L;
constexpr long double kCaptionHeight = 22.68L;

TzdCustomMemoView* sampleMemo(TzdReportPage* Page, long double Left, long double Top, long double Width,
                              long double Height, const QString& Text, const QString& Style)
{
    auto* m = new TzdMemoView(Page->GetReportComponent());
    m->SetParent(Page);
    m->CreateUniqueName();
    m->SetBounds(Left, Top, Width, Height);
    m->SetText(Text);
    m->SetStyle(Style);
    return m;
}

TzdReportPage* samplePage(TzdReport& Report)
{
    auto* page = new TzdReportPage(&Report);
    page->SetParent(&Report);
    page->SetName(QStringLiteral("Page1"));
    return page;
}

// Sample records of the previews: company, address, phone, fax.
struct SampleRecord {
    const char16_t* company;
    const char16_t* address;
    const char16_t* phone;
    const char16_t* fax;
};
constexpr SampleRecord kSamples[] = {
    {u"Kovárna Lipník s.r.o.", u"Nádražní 12, Lipník", u"581 773 210", u"581 773 211"},
    {u"Pekárna U Mlýna", u"Mlýnská 4, Hranice", u"581 601 455", u"581 601 456"},
    {u"Truhlářství Novák", u"Dlouhá 87, Přerov", u"581 209 318", u"581 209 319"},
    {u"Zahradnictví Jasmín", u"Polní 3, Olomouc", u"585 412 007", u"585 412 008"},
    {u"Autodílna Vrba", u"Lesní 21, Prostějov", u"582 330 641", u"582 330 642"},
    {u"Papírnictví Tuš", u"Husova 15, Kroměříž", u"573 335 980", u"573 335 981"},
};

QString q(const char16_t* s) { return QString::fromUtf16(s); }

void titleSample(TzdReportPage* Page)
{
    TzdCustomMemoView* title =
        sampleMemo(Page, 0, 0, 338.11L, kCaptionHeight, QStringLiteral("Report"), QStringLiteral("Title"));
    title->HAlign = haCenter;
    title->VAlign = vaCenter;
}

void tabularSample(TzdReport& Report)
{
    TzdReportPage* page = samplePage(Report);
    titleSample(page);
    const QString header = QStringLiteral("Header"), data = QStringLiteral("Data");
    sampleMemo(page, 0, 26.46L, 151.18L, kCaptionHeight, QStringLiteral("Company"), header);
    sampleMemo(page, 151.18L, 26.46L, 139.84L, kCaptionHeight, QStringLiteral("Address"), header);
    long double top = 26.46L + kCaptionHeight;
    for (const SampleRecord& r : kSamples) {
        sampleMemo(page, 0, top, 151.18L, kRowHeight, q(r.company), data);
        sampleMemo(page, 151.18L, top, 139.84L, kRowHeight, q(r.address), data);
        top += kRowHeight;
    }
}

void columnarSample(TzdReport& Report)
{
    TzdReportPage* page = samplePage(Report);
    titleSample(page);
    const QString header = QStringLiteral("Header"), data = QStringLiteral("Data");
    long double top = 26.46L;
    for (int i = 0; i < 2; ++i) {
        const SampleRecord& r = kSamples[i];
        const std::pair<const char*, QString> rows[] = {
            {"Company", q(r.company)}, {"Address", q(r.address)}, {"Phone", q(r.phone)}, {"FAX", q(r.fax)}};
        for (size_t k = 0; k < std::size(rows); ++k) {
            sampleMemo(page, 0, top, 64, kRowHeight, QString::fromLatin1(rows[k].first), header);
            sampleMemo(page, 82.90L, top, k < 2 ? 225 : 114, kRowHeight, rows[k].second, data);
            top += kRowHeight;
        }
        top += kRowHeight / 2;
    }
}

// Every style the wizard gives, over a few rows of sample data.
void styleSample(TzdReport& Report)
{
    TzdReportPage* page = samplePage(Report);
    titleSample(page);
    long double top = 26.46L;
    sampleMemo(page, 0, top, 291.02L, kCaptionHeight, QString(), QStringLiteral("Header line"));
    sampleMemo(page, 0, top, 151.18L, kCaptionHeight, QStringLiteral("Company"), QStringLiteral("Header"));
    sampleMemo(page, 151.18L, top, 139.84L, kCaptionHeight, QStringLiteral("Address"), QStringLiteral("Header"));
    top += kCaptionHeight + 4;
    sampleMemo(page, 0, top, 291.02L, kRowHeight, QStringLiteral("Group"), QStringLiteral("Group header"));
    top += kRowHeight;
    for (int i = 0; i < 3; ++i) {
        sampleMemo(page, 0, top, 151.18L, kRowHeight, q(kSamples[i].company), QStringLiteral("Data"));
        sampleMemo(page, 151.18L, top, 139.84L, kRowHeight, q(kSamples[i].address), QStringLiteral("Data"));
        top += kRowHeight;
    }
    sampleMemo(page, 0, top, 291.02L, kRowHeight, QString(), QStringLiteral("Group footer"));
}

void applyStyleSet(TzdReport& Report, TzdStyles* Set)
{
    Report.SetStyles(Set);
    Report.Styles()->Apply();
}

QListWidget* listBox(const char* Name, QWidget* Parent, bool Multi)
{
    auto* l = new QListWidget(Parent);
    l->setObjectName(QString::fromLatin1(Name));
    if (Multi)
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return l;
}

QPushButton* button(const char* Name, const QString& Caption, QWidget* Parent)
{
    auto* b = new QPushButton(Caption, Parent);
    b->setObjectName(QString::fromLatin1(Name));
    b->setAutoDefault(false);
    return b;
}

QLabel* label(const char* Name, const QString& Caption, QWidget* Parent)
{
    auto* l = new QLabel(Caption, Parent);
    l->setObjectName(QString::fromLatin1(Name));
    return l;
}

void fillList(QListWidget* List, const QStringList& Items, int Current)
{
    const QSignalBlocker block(List);
    List->clear();
    List->addItems(Items);
    if (Current >= 0 && Current < List->count()) {
        List->setCurrentRow(Current);
        List->item(Current)->setSelected(true);
    }
}

std::vector<int> selectedRows(QListWidget* List)
{
    std::vector<int> rows;
    for (int i = 0; i < List->count(); ++i)
        if (List->item(i)->isSelected())
            rows.push_back(i);
    if (rows.empty() && List->currentRow() >= 0)
        rows.push_back(List->currentRow());
    return rows;
}

} // namespace

TzdStdWizardForm::TzdStdWizardForm(zd::WizardModel& Model, QWidget* Parent)
    : QDialog(Parent)
    , m_model(Model)
    , m_layoutSample(std::make_unique<TzdReport>(nullptr))
    , m_styleSample(std::make_unique<TzdReport>(nullptr))
{
    setObjectName(QStringLiteral("TzdStdWizardForm"));
    setWindowTitle(wizardText("5600"));
    resize(443, 317);
    if (QApplication::isRightToLeft())
        setLayoutDirection(Qt::RightToLeft);
    buildControls();

    const QStringList datasets = m_model.DataSetNames();
    {
        const QSignalBlocker block(DatasetsCB);
        DatasetsCB->addItems(datasets);
        DatasetsCB->setCurrentIndex(m_model.DataSetIndex());
    }
    showFields(m_model.Fields.isEmpty() ? -1 : 0, -1);
    showGroups(-1, -1);

    styleSample(*m_styleSample);
    StylePB->Sample = m_styleSample.get();
    fillList(StyleLB, m_model.StyleNames(), m_model.StyleNames().isEmpty() ? -1 : 0);
    styleChanged();
    layoutChanged();
    if (m_model.DotMatrix())
        Pages->removeTab(Pages->indexOf(StyleTab));
    connectControls();
    updateNavigation();
}

TzdStdWizardForm::~TzdStdWizardForm() = default;

void TzdStdWizardForm::buildControls()
{
    auto* top = new QVBoxLayout(this);
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    top->addWidget(Pages);

    auto tab = [this](const char* Name, const char* Caption, const char* StepName, const char* Step) {
        auto* w = new QWidget(Pages);
        w->setObjectName(QString::fromLatin1(Name));
        Pages->addTab(w, wizardText(Caption));
        auto* layout = new QVBoxLayout(w);
        layout->addWidget(label(StepName, wizardText(Step), w));
        return w;
    };
    DataTab = tab("DataTab", "5601", "Step1L", "5606");
    FieldsTab = tab("FieldsTab", "5602", "Step2L", "5607");
    GroupsTab = tab("GroupsTab", "5603", "Step3L", "5608");
    LayoutTab = tab("LayoutTab", "5604", "Step4L", "5609");
    StyleTab = tab("StyleTab", "5605", "Step5L", "5610");

    // Data
    {
        auto* layout = static_cast<QVBoxLayout*>(DataTab->layout());
        DatasetsCB = new QComboBox(DataTab);
        DatasetsCB->setObjectName(QStringLiteral("DatasetsCB"));
        layout->addWidget(DatasetsCB);
        auto* row = new QHBoxLayout;
        NewTableB = button("NewTableB", wizardText("5630"), DataTab);
        NewQueryB = button("NewQueryB", wizardText("5631"), DataTab);
        row->addWidget(NewTableB);
        row->addWidget(NewQueryB);
        row->addStretch();
        layout->addLayout(row);
        layout->addStretch();
    }
    // Fields
    {
        auto* grid = new QGridLayout;
        static_cast<QVBoxLayout*>(FieldsTab->layout())->addLayout(grid);
        grid->addWidget(label("FieldsL", wizardText("5618"), FieldsTab), 0, 0);
        grid->addWidget(label("SelectedFieldsL", wizardText("5617"), FieldsTab), 0, 2);
        FieldsLB = listBox("FieldsLB", FieldsTab, true);
        SelectedFieldsLB = listBox("SelectedFieldsLB", FieldsTab, true);
        grid->addWidget(FieldsLB, 1, 0);
        grid->addWidget(SelectedFieldsLB, 1, 2);
        auto* buttons = new QVBoxLayout;
        AddFieldB = button("AddFieldB", wizardText("5611"), FieldsTab);
        AddAllFieldsB = button("AddAllFieldsB", wizardText("5612"), FieldsTab);
        RemoveFieldB = button("RemoveFieldB", wizardText("5613"), FieldsTab);
        RemoveAllFieldsB = button("RemoveAllFieldsB", wizardText("5614"), FieldsTab);
        for (QPushButton* b : {AddFieldB, AddAllFieldsB, RemoveFieldB, RemoveAllFieldsB})
            buttons->addWidget(b);
        buttons->addStretch();
        grid->addLayout(buttons, 1, 1);
        auto* updown = new QVBoxLayout;
        FieldUpB = button("FieldUpB", QStringLiteral("\u25b2"), FieldsTab);
        FieldDownB = button("FieldDownB", QStringLiteral("\u25bc"), FieldsTab);
        updown->addWidget(FieldUpB);
        updown->addWidget(FieldDownB);
        updown->addStretch();
        grid->addLayout(updown, 1, 3);
    }
    // Groups
    {
        auto* grid = new QGridLayout;
        static_cast<QVBoxLayout*>(GroupsTab->layout())->addLayout(grid);
        grid->addWidget(label("AvailableFieldsL", wizardText("5618"), GroupsTab), 0, 0);
        grid->addWidget(label("GroupsL", wizardText("5619"), GroupsTab), 0, 2);
        AvailableFieldsLB = listBox("AvailableFieldsLB", GroupsTab, false);
        GroupsLB = listBox("GroupsLB", GroupsTab, false);
        grid->addWidget(AvailableFieldsLB, 1, 0);
        grid->addWidget(GroupsLB, 1, 2);
        auto* buttons = new QVBoxLayout;
        AddGroupB = button("AddGroupB", wizardText("5615"), GroupsTab);
        RemoveGroupB = button("RemoveGroupB", wizardText("5616"), GroupsTab);
        buttons->addWidget(AddGroupB);
        buttons->addWidget(RemoveGroupB);
        buttons->addStretch();
        grid->addLayout(buttons, 1, 1);
        auto* updown = new QVBoxLayout;
        GroupUpB = button("GroupUpB", QStringLiteral("\u25b2"), GroupsTab);
        GroupDownB = button("GroupDownB", QStringLiteral("\u25bc"), GroupsTab);
        updown->addWidget(GroupUpB);
        updown->addWidget(GroupDownB);
        updown->addStretch();
        grid->addLayout(updown, 1, 3);
    }
    // Layout
    {
        auto* row = new QHBoxLayout;
        static_cast<QVBoxLayout*>(LayoutTab->layout())->addLayout(row);
        auto* left = new QVBoxLayout;
        auto* orientation = new QGroupBox(wizardText("5620"), LayoutTab);
        orientation->setObjectName(QStringLiteral("OrientationL"));
        auto* ol = new QGridLayout(orientation);
        PortraitRB = new QRadioButton(wizardText("5622"), orientation);
        PortraitRB->setObjectName(QStringLiteral("PortraitRB"));
        LandscapeRB = new QRadioButton(wizardText("5623"), orientation);
        LandscapeRB->setObjectName(QStringLiteral("LandscapeRB"));
        PortraitImage = label("PortraitImage", QStringLiteral("\u25af"), orientation);
        LandscapeImage = label("LandscapeImage", QStringLiteral("\u25ad"), orientation);
        ol->addWidget(PortraitRB, 0, 0);
        ol->addWidget(LandscapeRB, 1, 0);
        ol->addWidget(PortraitImage, 0, 1, 2, 1);
        ol->addWidget(LandscapeImage, 0, 1, 2, 1);
        left->addWidget(orientation);
        auto* layoutGroup = new QGroupBox(wizardText("5621"), LayoutTab);
        layoutGroup->setObjectName(QStringLiteral("LayoutL"));
        auto* ll = new QVBoxLayout(layoutGroup);
        TabularRB = new QRadioButton(wizardText("5624"), layoutGroup);
        TabularRB->setObjectName(QStringLiteral("TabularRB"));
        ColumnarRB = new QRadioButton(wizardText("5625"), layoutGroup);
        ColumnarRB->setObjectName(QStringLiteral("ColumnarRB"));
        ll->addWidget(TabularRB);
        ll->addWidget(ColumnarRB);
        left->addWidget(layoutGroup);
        FitWidthCB = new QCheckBox(wizardText("5626"), LayoutTab);
        FitWidthCB->setObjectName(QStringLiteral("FitWidthCB"));
        left->addWidget(FitWidthCB);
        left->addStretch();
        row->addLayout(left);
        auto* scroll = new QScrollArea(LayoutTab);
        scroll->setBackgroundRole(QPalette::Mid);
        LayoutPB = new zd::WizardPreview(scroll);
        LayoutPB->setObjectName(QStringLiteral("LayoutPB"));
        scroll->setWidget(LayoutPB);
        row->addWidget(scroll, 1);
        PortraitRB->setChecked(!m_model.Landscape);
        LandscapeRB->setChecked(m_model.Landscape);
        PortraitImage->setVisible(!m_model.Landscape);
        LandscapeImage->setVisible(m_model.Landscape);
        TabularRB->setChecked(!m_model.Columnar);
        ColumnarRB->setChecked(m_model.Columnar);
        FitWidthCB->setChecked(m_model.FitWidth);
    }
    // Style
    {
        auto* row = new QHBoxLayout;
        static_cast<QVBoxLayout*>(StyleTab->layout())->addLayout(row);
        StyleLB = listBox("StyleLB", StyleTab, false);
        row->addWidget(StyleLB);
        auto* scroll = new QScrollArea(StyleTab);
        scroll->setBackgroundRole(QPalette::Mid);
        StylePB = new zd::WizardPreview(scroll);
        StylePB->setObjectName(QStringLiteral("StylePB"));
        scroll->setWidget(StylePB);
        row->addWidget(scroll, 1);
    }
    // Navigation
    auto* nav = new QHBoxLayout;
    nav->addStretch();
    BackB = button("BackB", wizardText("5627"), this);
    NextB = button("NextB", wizardText("5628"), this);
    FinishB = button("FinishB", wizardText("5629"), this);
    nav->addWidget(BackB);
    nav->addWidget(NextB);
    nav->addWidget(FinishB);
    top->addLayout(nav);
}

template <class F>
void TzdStdWizardForm::guarded(F&& Action)
{
    try {
        Action();
    } catch (const std::exception& e) {
        plat::Services().MessageBox(QString::fromUtf8(e.what()), wizardText("mbError"), plat::MB_OK | plat::MB_ICONERROR);
    }
}

void TzdStdWizardForm::connectControls()
{
    connect(DatasetsCB, &QComboBox::currentIndexChanged, this, [this](int Index) {
        guarded([&] {
            m_model.SelectDataSet(Index);
            showFields(m_model.Fields.isEmpty() ? -1 : 0, -1);
        });
    });
    connect(AddFieldB, &QPushButton::clicked, this, [this] {
        const int row = m_model.AddFields(selectedRows(FieldsLB));
        showFields(row, SelectedFieldsLB->currentRow());
    });
    connect(RemoveFieldB, &QPushButton::clicked, this, [this] {
        const int row = m_model.RemoveFields(selectedRows(SelectedFieldsLB));
        showFields(FieldsLB->currentRow(), row);
    });
    connect(AddAllFieldsB, &QPushButton::clicked, this, [this] {
        guarded([&] {
            m_model.AddAllFields();
            showFields(-1, m_model.Selected.isEmpty() ? -1 : 0);
        });
    });
    connect(RemoveAllFieldsB, &QPushButton::clicked, this, [this] {
        guarded([&] {
            m_model.RemoveAllFields();
            showFields(m_model.Fields.isEmpty() ? -1 : 0, -1);
        });
    });
    connect(FieldUpB, &QPushButton::clicked, this, [this] {
        showFields(FieldsLB->currentRow(), m_model.MoveField(SelectedFieldsLB->currentRow(), -1));
    });
    connect(FieldDownB, &QPushButton::clicked, this, [this] {
        showFields(FieldsLB->currentRow(), m_model.MoveField(SelectedFieldsLB->currentRow(), 1));
    });
    connect(AddGroupB, &QPushButton::clicked, this, [this] {
        const int row = m_model.AddGroup(AvailableFieldsLB->currentRow());
        showGroups(row, int(m_model.Groups.size()) - 1);
    });
    connect(RemoveGroupB, &QPushButton::clicked, this, [this] {
        const int row = m_model.RemoveGroup(GroupsLB->currentRow());
        showGroups(AvailableFieldsLB->currentRow(), row);
    });
    connect(GroupUpB, &QPushButton::clicked, this, [this] {
        showGroups(AvailableFieldsLB->currentRow(), m_model.MoveGroup(GroupsLB->currentRow(), -1));
    });
    connect(GroupDownB, &QPushButton::clicked, this, [this] {
        showGroups(AvailableFieldsLB->currentRow(), m_model.MoveGroup(GroupsLB->currentRow(), 1));
    });
    connect(PortraitRB, &QRadioButton::toggled, this, [this](bool On) {
        m_model.Landscape = !On;
        PortraitImage->setVisible(On);
        LandscapeImage->setVisible(!On);
    });
    connect(TabularRB, &QRadioButton::toggled, this, [this](bool On) {
        m_model.Columnar = !On;
        guarded([&] { layoutChanged(); });
    });
    connect(FitWidthCB, &QCheckBox::toggled, this, [this](bool On) { m_model.FitWidth = On; });
    connect(StyleLB, &QListWidget::currentRowChanged, this, [this](int Row) {
        m_model.StyleIndex = Row;
        guarded([&] { styleChanged(); });
    });
    connect(Pages, &QTabWidget::currentChanged, this, [this](int) {
        if (Pages->currentWidget() == GroupsTab && AvailableFieldsLB->count() > 0)
            AvailableFieldsLB->setCurrentRow(0);
        updateNavigation();
    });
    connect(NextB, &QPushButton::clicked, this, [this] { Pages->setCurrentIndex(Pages->currentIndex() + 1); });
    connect(BackB, &QPushButton::clicked, this, [this] { Pages->setCurrentIndex(Pages->currentIndex() - 1); });
    connect(FinishB, &QPushButton::clicked, this, [this] { finish(); });
    // The other wizards these buttons would start are not part of this
    // program; without them the buttons do nothing.
    connect(NewTableB, &QPushButton::clicked, this, [] {});
    connect(NewQueryB, &QPushButton::clicked, this, [] {});
}

void TzdStdWizardForm::showFields(int FieldsRow, int SelectedRow)
{
    fillList(FieldsLB, m_model.Fields, FieldsRow);
    fillList(SelectedFieldsLB, m_model.Selected, SelectedRow);
    showGroups(-1, -1);
}

void TzdStdWizardForm::showGroups(int AvailableRow, int GroupsRow)
{
    fillList(AvailableFieldsLB, m_model.Available, AvailableRow);
    fillList(GroupsLB, m_model.Groups, GroupsRow);
}

void TzdStdWizardForm::updateNavigation()
{
    BackB->setEnabled(Pages->currentIndex() > 0);
    NextB->setEnabled(Pages->currentIndex() < Pages->count() - 1);
}

void TzdStdWizardForm::layoutChanged()
{
    m_layoutSample->Clear();
    if (m_model.Columnar)
        columnarSample(*m_layoutSample);
    else
        tabularSample(*m_layoutSample);
    if (m_model.StyleSheet().Count() > 0)
        applyStyleSet(*m_layoutSample, m_model.StyleSheet().Items(0));
    LayoutPB->Sample = m_layoutSample.get();
    LayoutPB->update();
}

void TzdStdWizardForm::styleChanged()
{
    const int index = m_model.StyleIndex;
    if (index >= 0 && index < m_model.StyleSheet().Count())
        applyStyleSet(*m_styleSample, m_model.StyleSheet().Items(index));
    StylePB->update();
}

void TzdStdWizardForm::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_F1) {
        guarded([] { zdGetResources()->ShowHelpForClass(QStringLiteral("TzdStdWizardForm")); });
        return;
    }
    QDialog::keyPressEvent(Event);
}

void TzdStdWizardForm::finish()
{
    try {
        m_model.Finish();
        accept();
    } catch (const std::exception& e) {
        // Nothing half-built is left: the wizard ends as cancelled.
        plat::Services().MessageBox(QString::fromUtf8(e.what()), wizardText("mbError"), plat::MB_OK | plat::MB_ICONERROR);
        reject();
    }
}

// ---------------------------------------------------------------- the wizards

bool zdRunStdWizardForm(TzdCustomWizard& Wizard, bool DotMatrix)
{
    auto* designer = dynamic_cast<zd::DesignerModel*>(Wizard.OwnerDesigner);
    if (!designer)
        return false;
    zd::WizardModel model(*designer, DotMatrix);
    if (!model.Start())
        return false;
    int result = QDialog::Rejected;
    try {
        TzdStdWizardForm form(model);
        result = plat::ExecModal(form);
    } catch (...) {
        model.Cancel();
        throw;
    }
    if (result == QDialog::Accepted && model.Finished())
        return true;
    model.Cancel();
    return false;
}

PLAT_DEFINE_CLASS(TzdStdWizard, c) { (void)c; }
PLAT_DEFINE_CLASS(TzdStdEmptyWizard, c) { (void)c; }

QString TzdStdWizard::GetWizardCaption() const { return wizardText("wzStd"); }

bool TzdStdWizard::RunWizard() { return zdRunStdWizardForm(*this, false); }

QString TzdStdEmptyWizard::GetWizardCaption() const { return wizardText("wzStdEmpty"); }

bool TzdStdEmptyWizard::RunWizard()
{
    auto* designer = dynamic_cast<zd::DesignerModel*>(OwnerDesigner);
    return designer && zd::makeEmptyWizardReport(*designer, false);
}

void zd::startWizardsUnit()
{
    // Starting again registers nothing twice.
    endWizardsUnit();
    TzdWizardCollection* wizards = zdGetWizardRegistry();
    wizards->Register(TzdStdWizard::StaticClass(), 1);
    wizards->Register(TzdStdEmptyWizard::StaticClass(), 0);
    wizards->Register(TzdDotMatrixWizard::StaticClass(), 1);
    wizards->Register(TzdDMPEmptyWizard::StaticClass(), 0);
}

void zd::endWizardsUnit()
{
    TzdWizardCollection* wizards = zdGetWizardRegistry();
    wizards->Unregister(TzdStdWizard::StaticClass());
    wizards->Unregister(TzdStdEmptyWizard::StaticClass());
    wizards->Unregister(TzdDotMatrixWizard::StaticClass());
    wizards->Unregister(TzdDMPEmptyWizard::StaticClass());
}
