#include "zdWizardModel.h"

#include "Exceptions.h"
#include "Services.h"
#include "StringList.h"
#include "Streams.h"
#include "SysUtils.h"
#include "zdClass_band.h"
#include "zdClass_fill.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zdClass_style.h"
#include "zdDMPClass.h"
#include "zdDataSets.h"
#include "zdDesignerModel.h"
#include "zdRes.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace zd {

namespace {

QString resText(const char* Key) { return zdGetResources()->GetText(QString::fromLatin1(Key)); }

constexpr long double kMm = zd01cm;
// The vertical step between bands the wizard places, in pixels.
constexpr long double kBandStep = 30;
// Group footers start here and climb by kBandStep; the page footer sits here.
constexpr long double kFooterTop = 1000;
// A column may end this far beyond the printable width and stay on the row.
constexpr long double kRowSlack = 1;

template <class T>
T* addWizardChild(TzdComponent* Parent, TzdReport* Report, const QString& Name = {})
{
    auto* obj = new T(Report);
    obj->SetParent(Parent);
    if (Name.isEmpty())
        obj->CreateUniqueName();
    else
        obj->SetName(Name);
    return obj;
}

// The designer's defaults for a new report, as the New command applies them.
void applyNewReportDefaults(TzdReport* Report, TzdReportPage* Page)
{
    Page->ApplyPrinterDefaults();
    if (TzdDesigner* d = TzdDesigner::Current()) {
        Report->SetScriptLanguage(d->DefaultScriptLanguage);
        Page->LeftMargin = d->DefaultLeftMargin;
        Page->BottomMargin = d->DefaultBottomMargin;
        Page->RightMargin = d->DefaultRightMargin;
        Page->TopMargin = d->DefaultTopMargin;
        Page->SetPaperSize(d->DefaultPaperSize);
        Page->SetOrientation(d->DefaultOrientation);
    }
}

// Clears the report and gives it a data page and "Page1" (a dot-matrix page
// when asked). The designer must be locked.
TzdReportPage* emptyReport(DesignerModel& Designer, bool DotMatrixPage)
{
    TzdReport* report = Designer.report();
    // The pages go with the old tree.
    Designer.CurrentPage = nullptr;
    report->Clear();
    report->FileName.clear();
    addWizardChild<TzdDataPage>(report, report, QStringLiteral("Data"));
    if (DotMatrixPage)
        return addWizardChild<TzdDMPPage>(report, report, QStringLiteral("Page1"));
    return addWizardChild<TzdReportPage>(report, report, QStringLiteral("Page1"));
}

// Reloads the designer from its report when it goes out of scope, also
// when a step raised: the designer never stays locked.
struct ReloadOnExit {
    DesignerModel& designer;
    ~ReloadOnExit() { designer.ReloadFromReport(); }
};

std::unique_ptr<plat::TMemoryStream> keepReport(TzdReport* Report)
{
    auto stream = std::make_unique<plat::TMemoryStream>();
    Report->SaveToStream(*stream);
    return stream;
}

// Puts a kept report back; the designer reloads from it.
void restoreReport(DesignerModel& Designer, plat::TMemoryStream& Kept, const QString& FileName, bool Modified)
{
    TzdReport* report = Designer.report();
    Designer.LockDesigner();
    {
        ReloadOnExit reload{Designer};
        Designer.CurrentPage = nullptr;
        report->Clear();
        Kept.SetPosition(0);
        report->LoadFromStream(Kept);
        report->FileName = FileName;
    }
    Designer.SetModifiedFlag(Modified);
}

// Removes the entries at Rows (any order, duplicates and stray rows
// ignored) from From and appends them, in list order, to To. Returns the
// lowest row taken; -1 when none.
int moveRows(QStringList& From, QStringList& To, std::vector<int> Rows)
{
    std::sort(Rows.begin(), Rows.end());
    Rows.erase(std::unique(Rows.begin(), Rows.end()), Rows.end());
    Rows.erase(std::remove_if(Rows.begin(), Rows.end(), [&](int r) { return r < 0 || r >= From.size(); }),
               Rows.end());
    if (Rows.empty())
        return -1;
    for (int r : Rows)
        To << From.at(r);
    for (auto it = Rows.rbegin(); it != Rows.rend(); ++it)
        From.removeAt(*it);
    return Rows.front();
}

// The row to select in a list after entries were taken from First on.
int rowAfterTaking(const QStringList& List, int First)
{
    if (List.isEmpty() || First < 0)
        return List.isEmpty() ? -1 : 0;
    return std::min<int>(First, int(List.size()) - 1);
}

int swapRows(QStringList& List, int Row, int Delta)
{
    const int other = Row + Delta;
    if (Row < 0 || Row >= List.size() || other < 0 || other >= List.size())
        return Row;
    List.swapItemsAt(Row, other);
    // Up leaves the selection at its place, Down follows the moved entry.
    return Delta > 0 ? other : Row;
}

} // namespace

// ---------------------------------------------------------------- fitting

ColumnFit fitColumns(const std::vector<long double>& Header, const std::vector<long double>& Data,
                     long double Width, bool FitToWidth)
{
    ColumnFit fit;
    fit.Header = Header;
    fit.Data = Data;
    const size_t n = std::min(Header.size(), Data.size());
    fit.Header.resize(n);
    fit.Data.resize(n);
    fit.Column.resize(n);
    long double sumC = 0, sumH = 0, excess = 0;
    for (size_t i = 0; i < n; ++i) {
        const long double h = Header[i], d = Data[i];
        if (d < h) {
            fit.Column[i] = h;
        } else {
            fit.Column[i] = d;
            excess += d - h;
        }
        sumC += fit.Column[i];
        sumH += h;
        fit.MaxHeader = std::max(fit.MaxHeader, h);
    }
    // No printable width or nothing to share: the natural widths stay.
    if (!FitToWidth || n == 0 || Width <= 0 || sumC <= Width)
        return fit;
    if (sumH > Width) {
        for (size_t i = 0; i < n; ++i)
            fit.Column[i] = fit.Header[i] * Width / sumH;
    } else if (excess > 0) {
        const long double overflow = sumC - Width;
        for (size_t i = 0; i < n; ++i)
            if (fit.Data[i] > fit.Header[i])
                fit.Column[i] -= (fit.Data[i] - fit.Header[i]) / excess * overflow;
    }
    return fit;
}

// ---------------------------------------------------------------- style sheet

QByteArray builtInWizardStyleSheet()
{
    // Colours are the platform's numbers (blue-green-red); 536870911 is no
    // colour. Font style 1 is bold; frame kind 8 the bottom, 4 the top side.
    static const char* const kSheet = R"(<?xml version="1.0" encoding="utf-8"?>
<stylesheet>
<style Name="ZazaDuzudi">
<item Name="Title" Color="8421504" Font.Color="16777215" Font.Height="-16" Font.Style="1"/>
<item Name="Header" Color="536870911" Font.Color="128" Font.Style="1"/>
<item Name="Group header" Color="16053492" Font.Color="128" Font.Style="1"/>
<item Name="Data" Color="536870911"/>
<item Name="Group footer" Color="536870911" Font.Style="1"/>
<item Name="Header line" Color="536870911" Frame.Typ="8" Frame.Width="2"/>
</style>
<style Name="Standard">
<item Name="Title" Color="536870911" Font.Height="-16" Font.Style="1"/>
<item Name="Header" Color="536870911" Font.Style="1"/>
<item Name="Group header" Color="536870911" Frame.Typ="8"/>
<item Name="Data" Color="536870911"/>
<item Name="Group footer" Color="536870911" Frame.Typ="4"/>
<item Name="Header line" Color="536870911" Frame.Typ="8" Frame.Width="2"/>
</style>
<style Name="Soft gray">
<item Name="Title" Color="14211288" Font.Height="-16" Font.Style="1"/>
<item Name="Header" Color="15790320" Font.Style="1"/>
<item Name="Group header" Color="15790320" Font.Style="1"/>
<item Name="Data" Color="536870911" Font.Style="0"/>
<item Name="Group footer" Color="536870911" Frame.Typ="4"/>
<item Name="Header line" Color="536870911" Frame.Width="2"/>
</style>
<style Name="Corporate">
<item Name="Title" Color="0" Font.Color="16777215" Font.Height="-16" Font.Style="1"/>
<item Name="Header" Color="0" Font.Color="16777215" Font.Style="1"/>
<item Name="Group header" Color="52479" Font.Style="1"/>
<item Name="Data" Color="536870911"/>
<item Name="Group footer" Color="536870911" Font.Style="1"/>
<item Name="Header line" Color="536870911" Frame.Width="2"/>
</style>
</stylesheet>
)";
    return QByteArray(kSheet);
}

void loadWizardStyleSheet(TzdStyleSheet& Sheet, const QString& Folder)
{
    const QString file = QDir(Folder).filePath(QStringLiteral("wizstyle.xml"));
    if (QFileInfo::exists(file)) {
        try {
            Sheet.LoadFromFile(file);
        } catch (const std::exception&) {
            Sheet.Clear();
        }
        // A sheet without any set would leave nothing to choose.
        if (Sheet.Count() > 0)
            return;
    }
    plat::TMemoryStream stream;
    const QByteArray xml = builtInWizardStyleSheet();
    stream.Write(xml.constData(), xml.size());
    stream.SetPosition(0);
    Sheet.LoadFromStream(stream);
}

// ---------------------------------------------------------------- the model

WizardModel::WizardModel(DesignerModel& Designer, bool DotMatrix)
    : m_designer(Designer)
    , m_dotMatrix(DotMatrix)
    , m_styleSheet(std::make_unique<TzdStyleSheet>())
{
    loadWizardStyleSheet(*m_styleSheet, TzdReport::ApplicationFolder());
}

WizardModel::~WizardModel()
{
    // A wizard that ends without Finish or Cancel gives the report back too.
    try {
        Cancel();
    } catch (const std::exception&) {
        // Nothing more can be done while the wizard goes away.
    }
}

TzdReport* WizardModel::Report() const { return m_designer.report(); }

bool WizardModel::Start()
{
    if (m_started)
        return true;
    if (!m_designer.ConfirmDiscard())
        return false;
    TzdReport* report = Report();
    m_kept = keepReport(report);
    m_keptFileName = report->FileName;
    m_keptModified = m_designer.Modified;
    m_started = true;
    m_designer.LockDesigner();
    {
        ReloadOnExit reload{m_designer};
        applyNewReportDefaults(report, emptyReport(m_designer, m_dotMatrix));
    }
    // The datasets the report may use, database ones only, by user name.
    QStringList names;
    std::vector<TzdDataSet*> objects;
    report->ListAvailableDatasets(names, objects);
    m_dataSets.clear();
    for (TzdDataSet* ds : objects)
        if (dynamic_cast<TzdCustomDBDataSet*>(ds))
            m_dataSets.push_back(ds);
    std::stable_sort(m_dataSets.begin(), m_dataSets.end(), [](TzdDataSet* a, TzdDataSet* b) {
        return QString::compare(a->UserName(), b->UserName(), Qt::CaseInsensitive) < 0;
    });
    SelectDataSet(m_dataSets.empty() ? -1 : 0);
    return true;
}

void WizardModel::Cancel()
{
    if (!m_started || !m_kept)
        return;
    restoreReport(m_designer, *m_kept, m_keptFileName, m_keptModified);
    m_kept.reset();
    m_started = false;
}

void WizardModel::Finish()
{
    if (!m_started)
        throw plat::Exception(QStringLiteral("The wizard has not started"));
    build();
    m_finished = true;
    m_kept.reset();
    m_started = false;
}

QStringList WizardModel::DataSetNames() const
{
    QStringList names;
    for (TzdDataSet* ds : m_dataSets)
        names << ds->UserName();
    return names;
}

TzdDataSet* WizardModel::DataSet() const
{
    if (m_dataSetIndex < 0 || m_dataSetIndex >= int(m_dataSets.size()))
        return nullptr;
    return m_dataSets[size_t(m_dataSetIndex)];
}

void WizardModel::SelectDataSet(int Index)
{
    m_dataSetIndex = Index >= 0 && Index < int(m_dataSets.size()) ? Index : -1;
    Fields.clear();
    Selected.clear();
    if (TzdDataSet* ds = DataSet()) {
        plat::TStringList list;
        ds->GetFieldList(list);
        for (int i = 0; i < list.Count(); ++i)
            Fields << list.Strings(i);
    }
    fieldsChanged();
}

bool WizardModel::SelectDataSet(const QString& UserName)
{
    const int index = DataSetNames().indexOf(UserName);
    if (index < 0)
        return false;
    SelectDataSet(index);
    return true;
}

void WizardModel::fieldsChanged()
{
    Available = Selected;
    Groups.clear();
}

int WizardModel::AddFields(std::vector<int> Rows)
{
    const int first = moveRows(Fields, Selected, std::move(Rows));
    if (first >= 0)
        fieldsChanged();
    return rowAfterTaking(Fields, first);
}

int WizardModel::RemoveFields(std::vector<int> Rows)
{
    const int first = moveRows(Selected, Fields, std::move(Rows));
    if (first >= 0)
        fieldsChanged();
    return rowAfterTaking(Selected, first);
}

void WizardModel::AddAllFields()
{
    SelectDataSet(m_dataSetIndex);
    Selected = Fields;
    Fields.clear();
    fieldsChanged();
}

void WizardModel::RemoveAllFields()
{
    SelectDataSet(m_dataSetIndex);
}

int WizardModel::MoveField(int Row, int Delta)
{
    const int row = swapRows(Selected, Row, Delta);
    fieldsChanged();
    return row;
}

int WizardModel::AddGroup(int AvailableRow)
{
    const int first = moveRows(Available, Groups, {AvailableRow});
    return rowAfterTaking(Available, first);
}

int WizardModel::RemoveGroup(int GroupRow)
{
    const int first = moveRows(Groups, Available, {GroupRow});
    return rowAfterTaking(Groups, first);
}

int WizardModel::MoveGroup(int Row, int Delta) { return swapRows(Groups, Row, Delta); }

QStringList WizardModel::StyleNames() const
{
    plat::TStringList list;
    m_styleSheet->GetList(list);
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << list.Strings(i);
    return names;
}

void WizardModel::build()
{
    m_designer.LockDesigner();
    ReloadOnExit reload{m_designer};
    buildReport();
}

// ---------------------------------------------------------------- building

namespace {

struct Builder {
    TzdReport* report;
    TzdReportPage* page;
    TzdDataSet* dataSet;
    bool dotMatrix;
    long double width = 0; // the printable width W, never below 0
    long double y = 0;     // the top of the next band

    template <class B>
    B* band(long double Top, long double Height)
    {
        auto* b = addWizardChild<B>(page, report);
        b->SetBounds(0, Top, width, Height);
        return b;
    }

    TzdCustomMemoView* memo(TzdComponent* Parent, long double Left, long double Top, long double Width,
                            long double Height)
    {
        TzdCustomMemoView* m = dotMatrix ? static_cast<TzdCustomMemoView*>(addWizardChild<TzdDMPMemoView>(Parent, report))
                                         : addWizardChild<TzdMemoView>(Parent, report);
        m->SetBounds(Left, Top, Width, Height);
        return m;
    }

    TzdCustomMemoView* dataMemo(TzdComponent* Parent, const QString& Field, long double Left, long double Top,
                                long double Width, long double Height)
    {
        TzdCustomMemoView* m = memo(Parent, Left, Top, Width, Height);
        m->SetDataSet(dataSet);
        m->SetDataField(Field);
        m->SetStyle(QStringLiteral("Data"));
        return m;
    }
};

std::unique_ptr<TzdCustomMemoView> scratchMemo(bool DotMatrix, TzdStyles* Styles, const char* Style)
{
    std::unique_ptr<TzdCustomMemoView> m;
    if (DotMatrix)
        m = std::make_unique<TzdDMPMemoView>(nullptr);
    else
        m = std::make_unique<TzdMemoView>(nullptr);
    if (!DotMatrix && Styles)
        if (TzdStyleItem* item = Styles->Find(QString::fromLatin1(Style)))
            m->AssignStyleItem(item);
    return m;
}

long double measure(TzdCustomMemoView& Memo, const QString& Text)
{
    Memo.SetText(Text);
    return Memo.CalcWidth();
}

} // namespace

void WizardModel::buildReport()
{
    TzdReport* report = Report();
    TzdDataSet* ds = DataSet();
    TzdStyles* styles = !m_dotMatrix && StyleIndex >= 0 && StyleIndex < m_styleSheet->Count()
                            ? m_styleSheet->Items(StyleIndex)
                            : nullptr;

    // 1. The report
    report->FileName.clear();
    report->DotMatrixReport = m_dotMatrix;
    report->DataSets()->Clear();
    if (ds)
        report->DataSets()->AddDataSet(ds);

    // 2. The page
    auto* page = report->GetPageCount() > 1 ? dynamic_cast<TzdReportPage*>(report->GetPageByIndex(1)) : nullptr;
    if (!page)
        throw plat::Exception(QStringLiteral("The report has no page to build on"));
    if (Landscape)
        page->SetOrientation(plat::poLandscape);
    Builder b{report, page, ds, m_dotMatrix};
    b.width = std::max<long double>(0, (page->PaperWidth() - page->LeftMargin - page->RightMargin) * 96 / 25.4L);
    const long double w = b.width;

    // 3. Column widths
    const QStringList fields = ds ? Available : QStringList();
    {
        std::unique_ptr<TzdCustomMemoView> header = scratchMemo(m_dotMatrix, styles, "Header");
        std::unique_ptr<TzdCustomMemoView> data = scratchMemo(m_dotMatrix, styles, "Data");
        std::vector<long double> h, d;
        for (const QString& f : fields) {
            h.push_back(measure(*header, f));
            d.push_back(measure(*data, QString(std::max(0, ds->GetDisplayWidth(f)), u'0')));
        }
        m_fit = fitColumns(h, d, w, FitWidth);
    }
    const std::vector<long double>& c = m_fit.Column;

    // 4. Title
    {
        auto* title = b.band<TzdReportTitle>(0, 7 * kMm);
        TzdCustomMemoView* m = b.memo(title, 0, 0, w, 6 * kMm);
        m->SetAlign(baWidth);
        m->HAlign = haCenter;
        m->VAlign = vaCenter;
        m->SetText(QStringLiteral("Report"));
        m->SetStyle(QStringLiteral("Title"));
        b.y = kBandStep;
    }

    // 5. Page header with the column captions
    if (!Columnar) {
        auto* header = b.band<TzdPageHeader>(b.y, 7 * kMm);
        TzdCustomMemoView* line = b.memo(header, 0, 0, w, 0);
        line->SetStyle(QStringLiteral("Header line"));
        long double x = 0, row = 0;
        for (int i = 0; i < fields.size(); ++i) {
            if (x + c[size_t(i)] > w + kRowSlack) {
                x = 0;
                row += 6 * kMm;
            }
            TzdCustomMemoView* m = b.memo(header, x, row, c[size_t(i)], 6 * kMm);
            m->SetText(fields[i]);
            m->SetStyle(QStringLiteral("Header"));
            x += c[size_t(i)];
        }
        header->SetHeight(row + 6 * kMm);
        if (m_dotMatrix)
            delete line;
        else
            line->SetHeight(header->Height());
        b.y += header->Height();
    }

    // 6. Group headers, the first outermost
    for (const QString& g : Groups) {
        auto* gh = b.band<TzdGroupHeader>(b.y, 7 * kMm);
        gh->Condition = (ds ? ds->UserName() : QString()) + QStringLiteral(".\"") + g + u'"';
        b.y += kBandStep;
        TzdCustomMemoView* m = b.dataMemo(gh, g, 0, 0, w, 6 * kMm);
        m->SetAlign(baWidth);
        m->VAlign = vaCenter;
        m->SetStyle(QStringLiteral("Group header"));
    }

    // 7. Master data
    {
        auto* master = b.band<TzdMasterData>(b.y, 5 * kMm);
        master->SetDataSet(ds);
        b.y += kBandStep;
        long double x = 0, row = 0;
        for (int i = 0; i < fields.size(); ++i) {
            const QString& f = fields[i];
            if (Columnar) {
                TzdCustomMemoView* caption = b.memo(master, 0, row, m_fit.MaxHeader, 5 * kMm);
                caption->SetText(f);
                caption->SetStyle(QStringLiteral("Header"));
                b.dataMemo(master, f, m_fit.MaxHeader + 5 * kMm, row, m_fit.Data[size_t(i)], 5 * kMm);
                row += 5 * kMm;
                continue;
            }
            if (x + c[size_t(i)] > w + kRowSlack) {
                x = 0;
                row += 5 * kMm;
            }
            b.dataMemo(master, f, x, row, c[size_t(i)], 5 * kMm);
            x += c[size_t(i)];
        }
        master->SetHeight(row + 5 * kMm);
        b.y += master->Height();
    }

    // 8. Group footers
    for (int i = 0; i < Groups.size(); ++i)
        b.band<TzdGroupFooter>(kFooterTop - kBandStep * i, 0);

    // 9. Page footer
    {
        auto* footer = b.band<TzdPageFooter>(kFooterTop, 7 * kMm);
        TzdCustomMemoView* rule = b.memo(footer, 0, 0, w, 0);
        rule->SetAlign(baWidth);
        rule->Frame()->Typ = TzdFrameTypes{ftTop};
        rule->Frame()->SetWidth(2);
        TzdCustomMemoView* date = b.memo(footer, 0, 1, 0, 6 * kMm);
        date->AutoWidth = true;
        date->SetText(QStringLiteral("[Date] [Time]"));
        TzdCustomMemoView* pageNo = b.memo(footer, 100, 1, 2 * zd1cm, 6 * kMm);
        pageNo->SetAlign(baRight);
        pageNo->HAlign = haRight;
        pageNo->SetText(QStringLiteral("Page [Page#]"));
    }

    // 10. The style set
    if (styles) {
        report->SetStyles(styles);
        report->Styles()->Apply();
    }
}

// ---------------------------------------------------------------- commands

bool makeEmptyWizardReport(DesignerModel& Designer, bool DotMatrix)
{
    if (!Designer.ConfirmDiscard())
        return false;
    Designer.LockDesigner();
    ReloadOnExit reload{Designer};
    TzdReport* report = Designer.report();
    // Cleared first: Clear resets the dot-matrix switch.
    TzdReportPage* page = emptyReport(Designer, DotMatrix);
    report->DotMatrixReport = DotMatrix;
    page->ApplyPrinterDefaults();
    return true;
}

bool runWizardClass(DesignerModel& Designer, const plat::TClass* WizardClass)
{
    if (!WizardClass || !WizardClass->InheritsFrom(TzdCustomWizard::StaticClass()))
        return false;
    // Whatever a wizard does to the report, one that does not accept leaves
    // the previous report as it was.
    TzdReport* report = Designer.report();
    const std::unique_ptr<plat::TMemoryStream> kept = keepReport(report);
    const QString keptName = report->FileName;
    const bool keptModified = Designer.Modified;
    bool accepted = false;
    try {
        std::unique_ptr<plat::TComponent> instance(WizardClass->CreateComponent(&Designer));
        auto* wizard = dynamic_cast<TzdCustomWizard*>(instance.get());
        accepted = wizard && wizard->RunWizard();
    } catch (...) {
        restoreReport(Designer, *kept, keptName, keptModified);
        throw;
    }
    if (!accepted) {
        restoreReport(Designer, *kept, keptName, keptModified);
        return false;
    }
    Designer.SetModifiedFlag(true);
    return true;
}

bool newReportFromTemplate(DesignerModel& Designer, const QString& Template, bool Inherit)
{
    if (Template.isEmpty() || !Designer.ConfirmDiscard())
        return false;
    TzdReport* report = Designer.report();
    const std::unique_ptr<plat::TMemoryStream> kept = keepReport(report);
    const QString keptName = report->FileName;
    const bool keptModified = Designer.Modified;
    QString error;
    Designer.LockDesigner();
    {
        ReloadOnExit reload{Designer};
        Designer.CurrentPage = nullptr;
        try {
            report->Clear();
            if (!report->OnLoadTemplate && !QFileInfo::exists(Template)) {
                error = resText("dsCantLoad");
            } else if (Inherit) {
                report->SetParentReport(QDir(TzdReport::ApplicationFolder()).relativeFilePath(Template));
            } else if (report->OnLoadTemplate) {
                report->OnLoadTemplate(report, Template);
            } else if (!report->LoadFromFile(Template)) {
                error = resText("dsCantLoad");
            }
            // A template the reader could not take whole is no new report.
            if (error.isEmpty() && !report->ErrorList().isEmpty())
                error = resText("dsCantLoad");
        } catch (const std::exception& e) {
            error = resText("dsCantLoad") + u'\n' + QString::fromUtf8(e.what());
        }
        report->FileName.clear();
    }
    if (!error.isEmpty()) {
        // A template that cannot be read costs the user nothing.
        restoreReport(Designer, *kept, keptName, keptModified);
        Designer.Messages << error;
        plat::Services().MessageBox(error, resText("mbError"), plat::MB_OK | plat::MB_ICONERROR);
        return false;
    }
    return true;
}

} // namespace zd
