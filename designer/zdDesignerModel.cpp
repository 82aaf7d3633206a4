#include "zdDesignerModel.h"

#include "DateUtils.h"
#include "Exceptions.h"
#include "Services.h"
#include "StringList.h"
#include "SysUtils.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_picture.h"
#include "zdClass_report.h"
#include "zdDMPClass.h"
#include "zdDialogControl.h"
#include "zdFormatting.h"
#include "zdPictureCache.h"
#include "zdRes.h"
#include "zdUndo.h"
#include "zdUtils.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <map>

// ---------------------------------------------------------------- designer component

namespace {
TzdDesigner* g_current = nullptr;

QString modelResText(const char* Key) { return zdGetResources()->GetText(QString::fromLatin1(Key)); }
} // namespace

PLAT_DEFINE_CLASS(TzdDesigner, c)
{
    using D = TzdDesigner;
    c.property("CloseQuery", &D::CloseQuery).defaultValue(true);
    c.property("DefaultScriptLanguage", &D::DefaultScriptLanguage);
    c.property("DefaultLeftMargin", &D::DefaultLeftMargin);
    c.property("DefaultRightMargin", &D::DefaultRightMargin);
    c.property("DefaultTopMargin", &D::DefaultTopMargin);
    c.property("DefaultBottomMargin", &D::DefaultBottomMargin);
    c.property("DefaultPaperSize", &D::DefaultPaperSize).defaultValue(9);
    c.property("Gradient", &D::Gradient).defaultValue(false);
    c.property("OpenDir", &D::OpenDir);
    c.property("SaveDir", &D::SaveDir);
    c.property("TemplatesExt", &D::TemplatesExt);
    c.property("TemplateDir", &D::TemplateDir);
    c.property("Standalone", &D::Standalone).defaultValue(false);
    c.property("Restrictions", &D::Restrictions);
    c.property("RTLLanguage", &D::RTLLanguage).defaultValue(false);
    c.property("MemoParentFont", &D::MemoParentFont).defaultValue(false);
}

TzdDesigner::TzdDesigner(plat::TComponent* AOwner) : plat::TComponent(AOwner), m_defaultFont(new plat::TFont)
{
    m_defaultFont->SetName(QStringLiteral("Arial"));
    m_defaultFont->SetSize(10);
    g_current = this;
}

TzdDesigner::~TzdDesigner()
{
    if (g_current == this)
        g_current = nullptr;
}

TzdDesigner* TzdDesigner::Current() { return g_current; }
void TzdDesigner::SetCurrent(TzdDesigner* Value) { g_current = Value; }

bool TzdDesigner::Allowed(TzdDesignerRestriction R) { return !g_current || !g_current->Restrictions.contains(R); }

void TzdDesigner::SetDefaultFont(plat::TFont* Value) { m_defaultFont->Assign(Value); }

namespace zd {

namespace {

bool isDataPage(TzdComponent* Obj) { return dynamic_cast<TzdDataPage*>(Obj) != nullptr; }
bool isDmpPage(TzdComponent* Obj) { return dynamic_cast<TzdDMPPage*>(Obj) != nullptr; }
bool isPage(TzdComponent* Obj) { return dynamic_cast<TzdPage*>(Obj) != nullptr; }

template <class T>
T* addChild(TzdComponent* Parent, TzdReport* Report, const QString& Name)
{
    auto* obj = new T(Report);
    obj->SetParent(Parent);
    if (Name.isEmpty())
        obj->CreateUniqueName();
    else
        obj->SetName(Name);
    return obj;
}

// Puts Obj first among its parent's children, the others keeping their order.
void sendToBack(TzdComponent* Obj)
{
    TzdComponent* parent = Obj->Parent();
    for (TzdComponent* c : std::vector<TzdComponent*>(parent->Children()))
        if (c != Obj) {
            c->SetParent(nullptr);
            c->SetParent(parent);
        }
}

long double roundToSteps(long double Value, long double Step)
{
    return Step > 0 ? std::nearbyint(Value / Step) * Step : Value;
}

// The zoom list runs from 25 %; a smaller scale only makes rulers and the
// grid loop over ever more marks.
constexpr long double kMinScale = 0.25L;
constexpr long double kMaxScale = 20;

} // namespace

DesignerModel::DesignerModel(plat::TComponent* AOwner, TzdReport* AReport, bool AIsPreviewDesigner)
    : TzdCustomDesigner(AOwner, AReport, AIsPreviewDesigner)
    , m_report(AReport)
    , m_workspace(std::make_unique<WorkspaceTools>(PageObjects, Selection))
    , m_pictureCache(std::make_unique<TzdPictureCache>())
    , m_undo(std::make_unique<TzdUndoBuffer>())
    , m_clipboard(std::make_unique<TzdClipboard>(this))
    , m_sample(std::make_unique<TSampleFormat>())
{
    m_undo->PictureCache = m_pictureCache.get();
    m_clipboard->PictureCache = m_pictureCache.get();
    if (TzdDesigner* d = TzdDesigner::Current()) {
        TemplatesExt = d->TemplatesExt.startsWith(u'.') ? d->TemplatesExt.mid(1) : d->TemplatesExt;
        if (TemplatesExt.isEmpty())
            TemplatesExt = QStringLiteral("zd3");
        TemplateDir = d->TemplateDir;
    }
    if (IsPreviewDesigner) {
        m_setAside = TzdDesigner::Current();
        m_ownComponent = new TzdDesigner(nullptr);
        m_ownComponent->Restrictions = TzdDesignerRestrictions::fromMask(
            kPreviewDesignerRestrictions | (m_setAside ? m_setAside->Restrictions.mask() : 0));
    }
    if (TzdDesigner* d = TzdDesigner::Current())
        Restrictions = d->Restrictions;
    m_workspace->OnInsertRequest = [this](const InsertRequest& r) { onInsertRequest(r); };
    m_workspace->OnModify = [this] { SetModifiedFlag(true); };
    m_workspace->OnSelectionChange = [this] { SelectionChanged(); };
    m_workspace->OnZoom = [this](long double Value) { SetScale(Value); };
    SetUnits(UserUnits);
}

DesignerModel::~DesignerModel()
{
    if (m_ownComponent) {
        delete m_ownComponent;
        TzdDesigner::SetCurrent(m_setAside);
    }
}

void DesignerModel::showError(const QString& Text)
{
    Messages << Text;
    plat::Services().MessageBox(Text, modelResText("mbError"), plat::MB_OK | plat::MB_ICONERROR);
}

// ---------------------------------------------------------------- the abstract designer

void DesignerModel::SetModifiedFlag(bool Value)
{
    TzdCustomDesigner::SetModifiedFlag(Value);
    TzdComponent* target = m_report;
    if (IsPreviewDesigner && CurrentPage)
        target = CurrentPage;
    m_undo->AddUndo(target);
    m_undo->ClearRedo();
}

void DesignerModel::LockDesigner()
{
    PageObjects.clear();
    Selection.clear();
    m_workspace->Lock();
    m_workspace->Page = nullptr;
}

void DesignerModel::RebuildPageTabs(int Index)
{
    const int count = m_report->GetPageCount();
    TzdComponent* page = nullptr;
    if (Index == -1) {
        page = nullptr;
    } else if (Index == -2) {
        for (int i = 0; i < count && !page; ++i)
            if (!isDataPage(m_report->GetPageByIndex(i)))
                page = m_report->GetPageByIndex(i);
    } else if (Index >= 0 && Index < count) {
        page = m_report->GetPageByIndex(Index);
    } else if (count > 0) {
        page = m_report->GetPageByIndex(0);
    }
    SelectPage(page);
}

QStringList DesignerModel::TabCaptions() const
{
    QStringList tabs{QStringLiteral("Code")};
    for (int i = 0; i < m_report->GetPageCount(); ++i) {
        TzdComponent* p = m_report->GetPageByIndex(i);
        auto* rp = dynamic_cast<TzdReportPage*>(p);
        if (rp && rp->EmbeddingSubreport)
            tabs << rp->EmbeddingSubreport->Name();
        else if (isDataPage(p))
            tabs << modelResText("dsData");
        else if (!p->Name().isEmpty())
            tabs << p->Name();
        else
            tabs << modelResText("dsPage") + QString::number(i + 1);
    }
    return tabs;
}

int DesignerModel::PageIndex() const
{
    for (int i = 0; i < m_report->GetPageCount(); ++i)
        if (m_report->GetPageByIndex(i) == CurrentPage)
            return i;
    return -1;
}

bool DesignerModel::SelectTab(int Tab)
{
    if (IsPreviewDesigner)
        return false;
    if (Tab == 0 && !TzdDesigner::Allowed(drDontEditReportScript))
        Tab = 1;
    if (Tab == 1 && !TzdDesigner::Allowed(drDontEditInternalDatasets))
        Tab = 2;
    if (Tab > m_report->GetPageCount())
        return false;
    SelectPage(Tab == 0 ? nullptr : m_report->GetPageByIndex(Tab - 1));
    return true;
}

bool DesignerModel::MoveTab(int From, int Target)
{
    if (From < 2 || Target < 2 || From == Target || From > m_report->GetPageCount() ||
        Target > m_report->GetPageCount() || From != m_currentTab)
        return false;
    TzdComponent* moved = m_report->GetPageByIndex(From - 1);
    std::vector<TzdComponent*> pages(m_report->Children());
    pages.erase(pages.begin() + (From - 1));
    pages.insert(pages.begin() + (Target - 1), moved);
    LockDesigner();
    for (TzdComponent* p : pages) {
        p->SetParent(nullptr);
        p->SetParent(m_report);
    }
    SelectPage(moved);
    SetModifiedFlag(true);
    return true;
}

void DesignerModel::applyUnitsToWorkspace()
{
    WorkspaceEngine& ws = *m_workspace;
    if (dynamic_cast<TzdDialogPage*>(CurrentPage)) {
        ws.SetGridKind(gkDialog);
        ws.GridStepX = ws.GridStepY = Grid4;
        return;
    }
    switch (Units) {
    case ruCM:
        ws.SetGridKind(gkCentimetres);
        ws.GridStepX = ws.GridStepY = Grid1 * zd1cm;
        break;
    case ruInches:
        ws.SetGridKind(gkInches);
        ws.GridStepX = ws.GridStepY = Grid2 * zd1in;
        break;
    case ruPixels:
        ws.SetGridKind(gkPixels);
        ws.GridStepX = ws.GridStepY = Grid3;
        break;
    case ruChars:
        ws.SetGridKind(gkChars);
        ws.GridStepX = zd1CharX;
        ws.GridStepY = zd1CharY;
        break;
    }
}

void DesignerModel::SetUnits(TzdRulerUnits Value)
{
    Units = Value;
    applyUnitsToWorkspace();
}

void DesignerModel::SetGrid(int Index, long double Value)
{
    if (Value <= 0)
        return;
    long double* grids[] = {&Grid1, &Grid2, &Grid3, &Grid4};
    if (Index >= 1 && Index <= 4)
        *grids[Index - 1] = Value;
    applyUnitsToWorkspace();
}

void DesignerModel::SelectPage(TzdComponent* Page)
{
    TzdCustomDesigner::SelectPage(Page);
    const int index = PageIndex();
    m_currentTab = Page ? index + 1 : 0;
    m_workspace->Unlock();
    m_workspace->Page = Page;
    if (!Page) {
        PageObjects.clear();
        Selection.clear();
        return;
    }
    if (isDmpPage(Page))
        Units = ruChars;
    else if (dynamic_cast<TzdReportPage*>(Page))
        Units = UserUnits;
    else
        Units = ruPixels;
    if (!isPage(Page))
        m_report->AddErrors({QStringLiteral("Page object is not page")});
    auto* dialogPage = dynamic_cast<TzdDialogPage*>(Page);
    m_shownColor = dialogPage ? dialogPage->Color : WorkspaceColor;
    applyUnitsToWorkspace();
    m_workspace->Scale = dynamic_cast<TzdReportPage*>(Page) ? m_scale : 1;
    RebuildObjects();
    layoutPage();
}

void DesignerModel::layoutPage()
{
    auto* rp = dynamic_cast<TzdReportPage*>(CurrentPage);
    if (!rp)
        return;
    const long double width = std::nearbyint(rp->PaperWidth() * 96 / 25.4L);
    m_workspace->ClientWidth = int(width * m_scale);
    m_workspace->ArrangeBands(true);
}

void DesignerModel::RebuildObjects()
{
    PageObjects.clear();
    Selection.clear();
    if (!CurrentPage)
        return;
    for (TzdComponent* c : CurrentPage->AllObjects())
        PageObjects.push_back(c);
    PageObjects.push_back(m_report);
    PageObjects.push_back(CurrentPage);
    std::stable_partition(PageObjects.begin(), PageObjects.end(),
                          [](TzdComponent* c) { return dynamic_cast<TzdBand*>(c) != nullptr; });
    Selection.push_back(CurrentPage);
}

void DesignerModel::SetSelection(std::vector<TzdComponent*> Objects)
{
    if (Objects.empty() && CurrentPage)
        Objects.push_back(CurrentPage);
    Selection = std::move(Objects);
}

void DesignerModel::SelectionChanged() {}

void DesignerModel::makeEmptyReport(bool DefaultsFromComponent)
{
    addChild<TzdDataPage>(m_report, m_report, QStringLiteral("Data"));
    TzdReportPage* page = m_report->DotMatrixReport && !DefaultsFromComponent
                              ? addChild<TzdDMPPage>(m_report, m_report, QStringLiteral("Page1"))
                              : addChild<TzdReportPage>(m_report, m_report, QStringLiteral("Page1"));
    page->ApplyPrinterDefaults();
}

void DesignerModel::ReloadFromReport()
{
    if (m_report->GetPageCount() == 0)
        makeEmptyReport(false);
    if (!IsPreviewDesigner)
        m_report->EnsureDataPage();
    RebuildPageTabs(-2);
    AddRecentFile(m_report->FileName);
    m_pictureCache->Clear();
    for (TzdComponent* c : m_report->AllObjects())
        if (auto* p = dynamic_cast<TzdPictureView*>(c))
            m_pictureCache->AddPicture(p);
    m_undo->ClearUndo();
    SetModifiedFlag(false);
}

QString DesignerModel::Title() const
{
    if (m_report->FileName.isEmpty())
        return QStringLiteral("Untitled.") + TemplatesExt;
    QString name = m_report->FileName;
    name.replace(u'\\', u'/');
    return QFileInfo(name).fileName();
}

TzdPageKind DesignerModel::ShownPageKind() const
{
    if (isDmpPage(CurrentPage))
        return fpkDotMatrixPage;
    if (dynamic_cast<TzdDialogPage*>(CurrentPage))
        return fpkDialogPage;
    if (isDataPage(CurrentPage))
        return fpkDataPage;
    return fpkReportPage;
}

// ---------------------------------------------------------------- units and zoom

long double mmToUnits(long double Mm, TzdRulerUnits Units, bool Vertical)
{
    switch (Units) {
    case ruCM:
        return Mm / 10;
    case ruInches:
        return Mm / 25.4L;
    case ruPixels:
        return Mm * 96 / 25.4L;
    case ruChars:
        return std::nearbyint(Mm * zd01cm / (Vertical ? zd1CharY : zd1CharX));
    }
    return Mm;
}

long double unitsToMm(long double Value, TzdRulerUnits Units, bool Vertical)
{
    switch (Units) {
    case ruCM:
        return Value * 10;
    case ruInches:
        return Value * 25.4L;
    case ruPixels:
        return Value / 96 * 25.4L;
    case ruChars:
        return std::nearbyint(Value) * (Vertical ? zd1CharY : zd1CharX) / zd01cm;
    }
    return Value;
}

long double DesignerModel::MmToUnits(long double Mm, bool Vertical) const { return mmToUnits(Mm, Units, Vertical); }

long double DesignerModel::UnitsToMm(long double Value, bool Vertical) const { return unitsToMm(Value, Units, Vertical); }

void DesignerModel::DefaultObjectSize(long double& Width, long double& Height) const
{
    switch (Units) {
    case ruCM:
        Width = 2.5L * zd1cm;
        Height = 0.5L * zd1cm;
        break;
    case ruInches:
        Width = zd1in;
        Height = 0.2L * zd1in;
        break;
    case ruPixels:
        Width = 80;
        Height = 16;
        break;
    case ruChars:
        Width = 10 * zd1CharX;
        Height = zd1CharY;
        break;
    }
}

long double DesignerModel::BandSize() const
{
    switch (Units) {
    case ruCM:
        return zd01cm * 6;
    case ruInches:
        return zd01in * 3;
    case ruPixels:
        return 20;
    case ruChars:
        return zd1CharY;
    }
    return 20;
}

void DesignerModel::SetScale(long double Value)
{
    if (Value == 0)
        Value = 1;
    m_scale = std::clamp(Value, kMinScale, kMaxScale);
    if (dynamic_cast<TzdReportPage*>(CurrentPage))
        m_workspace->Scale = m_scale;
    layoutPage();
}

bool DesignerModel::ApplyZoomText(const QString& Text)
{
    QString s = Text;
    const qsizetype pct = s.indexOf(u'%');
    if (pct >= 0)
        s[pct] = u' ';
    s.remove(u' ');
    if (s.isEmpty())
        return false;
    long double value;
    try {
        value = zdParseFloat(s);
    } catch (const std::exception&) {
        return false;
    }
    SetScale(value / 100);
    return true;
}

void DesignerModel::WheelZoom(int Direction)
{
    long double s = m_scale + (Direction > 0 ? 0.05L : -0.05L);
    if (s < 0.3L)
        s = 0.3L;
    SetScale(s);
}

// ---------------------------------------------------------------- enable rules

bool DesignerModel::LockedByScriptRun(const QString& Name) const
{
    if (!ScriptRunning)
        return false;
    // Code editing, Evaluate, the watches, Run, Step and Stop stay; Cut and
    // Delete stay only on the code page, where they edit the code.
    static const QStringList kLocked = {
        QStringLiteral("OpenCmd"),         QStringLiteral("NewReportCmd"),   QStringLiteral("NewItemCmd"),
        QStringLiteral("UndoCmd"),         QStringLiteral("RedoCmd"),        QStringLiteral("DeletePageCmd"),
        QStringLiteral("PageSettingsCmd"), QStringLiteral("ReportDataCmd"),  QStringLiteral("VariablesCmd"),
        QStringLiteral("LangCB"),          QStringLiteral("LanguageMenu"),   QStringLiteral("OpenRecentCmd"),
        QStringLiteral("NewPageCmd"),      QStringLiteral("NewDialogCmd"),   QStringLiteral("ReportOptionsCmd"),
        QStringLiteral("ReportStylesCmd"),
    };
    if (kLocked.contains(Name))
        return true;
    return CurrentPage && (Name == u"DeleteCmd" || Name == u"CutCmd" || Name == u"PasteCmd");
}

bool DesignerModel::IsEnabled(const QString& Name) const
{
    if (LockedByScriptRun(Name))
        return false;
    TzdComponent* first = Selection.empty() ? nullptr : Selection.front();
    const bool pageShown = CurrentPage != nullptr;
    const bool notPageSelected = pageShown && first && first != CurrentPage;
    if (Name == u"UndoCmd")
        return m_undo->UndoCount() > 1;
    if (Name == u"RedoCmd")
        return m_undo->RedoCount() > 0 && pageShown;
    if (Name == u"CutCmd" || Name == u"CopyCmd")
        return !pageShown || notPageSelected;
    if (Name == u"PasteCmd")
        return !pageShown || m_clipboard->HasData();
    if (Name == u"DeleteCmd" || Name == u"BringToFrontCmd" || Name == u"SendToBackCmd" || Name == u"SetToGridCmd")
        return notPageSelected;
    if (Name == u"GroupCmd" || Name == u"UngroupCmd")
        return notPageSelected && first != m_report;
    if (Name == u"EditCmd")
        return pageShown && Selection.size() == 1;
    if (Name == u"SelectAllCmd")
        return !pageShown || CurrentPage->ChildCount() > 0;
    if (Name == u"SelectAllOfTypeCmd")
        return Selection.size() == 1 && first && !isPage(first) && first != m_report;
    if (Name == u"SaveCmd")
        return Modified && TzdDesigner::Allowed(drDontSaveReport);
    if (Name == u"DeletePageCmd") {
        return m_report->GetPageCount() >= 3 && pageShown && !isDataPage(CurrentPage) &&
               TzdDesigner::Allowed(drDontDeletePage) && !CurrentPage->IsAncestor();
    }
    if (Name == u"PageSettingsCmd")
        return dynamic_cast<TzdReportPage*>(CurrentPage) && TzdDesigner::Allowed(drDontChangePageOptions);
    if (Name == u"NewReportCmd" || Name == u"NewItemCmd")
        return TzdDesigner::Allowed(drDontCreateReport);
    if (Name == u"NewPageCmd" || Name == u"NewDialogCmd")
        return TzdDesigner::Allowed(drDontCreatePage);
    if (Name == u"SaveAsCmd")
        return TzdDesigner::Allowed(drDontSaveReport);
    if (Name == u"OpenCmd")
        return TzdDesigner::Allowed(drDontLoadReport);
    if (Name == u"ReportOptionsCmd" || Name == u"ReportStylesCmd")
        return TzdDesigner::Allowed(drDontChangeReportOptions);
    if (Name == u"ReportDataCmd")
        return TzdDesigner::Allowed(drDontEditReportData);
    if (Name == u"VariablesCmd")
        return TzdDesigner::Allowed(drDontEditVariables);
    if (Name == u"PreviewCmd")
        return TzdDesigner::Allowed(drDontPreviewReport);
    return true;
}

// ---------------------------------------------------------------- file commands

bool DesignerModel::ConfirmDiscard()
{
    if (!Modified)
        return true;
    const QString text = IsPreviewDesigner ? modelResText("dsSavePreviewChanges")
                                           : modelResText("dsSaveChangesTo") + u' ' + Title() + u'?';
    const int answer = plat::Services().MessageBox(text, modelResText("mbConfirm"),
                                                   plat::MB_YESNOCANCEL | plat::MB_ICONQUESTION);
    if (answer == plat::IDNO)
        return true;
    // A save that failed or was cancelled is no save: the report stays.
    if (answer == plat::IDYES)
        return Save(false);
    return false;
}

bool DesignerModel::NewReport()
{
    if (LockedByScriptRun(QStringLiteral("NewReportCmd")))
        return false;
    if (!TzdDesigner::Allowed(drDontCreateReport) || !ConfirmDiscard())
        return false;
    m_workspace->SetInsertion(nullptr, 0, 0, 0);
    LockDesigner();
    m_report->Clear();
    // The pages went with the old tree.
    CurrentPage = nullptr;
    m_report->FileName.clear();
    addChild<TzdDataPage>(m_report, m_report, QStringLiteral("Data"));
    auto* page = addChild<TzdReportPage>(m_report, m_report, QStringLiteral("Page1"));
    if (TzdDesigner* d = TzdDesigner::Current()) {
        m_report->SetScriptLanguage(d->DefaultScriptLanguage);
        page->ApplyPrinterDefaults();
        page->LeftMargin = d->DefaultLeftMargin;
        page->BottomMargin = d->DefaultBottomMargin;
        page->RightMargin = d->DefaultRightMargin;
        page->TopMargin = d->DefaultTopMargin;
        page->SetPaperSize(d->DefaultPaperSize);
        page->SetOrientation(d->DefaultOrientation);
    } else {
        m_report->SetScriptLanguage(QStringLiteral("PascalScript"));
        page->ApplyPrinterDefaults();
    }
    Units = UserUnits;
    applyUnitsToWorkspace();
    const long double c = m_workspace->BandCaptionHeight();
    const long double h = BandSize();
    auto* title = addChild<TzdReportTitle>(page, m_report, QStringLiteral("ReportTitle1"));
    title->SetTop(c);
    title->SetHeight(h);
    auto* master = addChild<TzdMasterData>(page, m_report, QStringLiteral("MasterData1"));
    master->SetTop(2 * c + 2 * h);
    master->SetHeight(h);
    auto* footer = addChild<TzdPageFooter>(page, m_report, QStringLiteral("PageFooter1"));
    footer->SetTop(3 * c + 4 * h);
    footer->SetHeight(h);
    auto* memo = addChild<TzdMemoView>(footer, m_report, QStringLiteral("Memo1"));
    memo->SetBounds((page->PaperWidth() - page->LeftMargin - page->RightMargin - 20) * zd01cm, 0, 2 * zd1cm,
                    5 * zd01cm);
    memo->HAlign = haRight;
    memo->SetText(QStringLiteral("[Page#]"));
    RebuildPageTabs(-2);
    SetModifiedFlag(false);
    return true;
}

bool DesignerModel::NewPage()
{
    if (LockedByScriptRun(QStringLiteral("NewPageCmd")))
        return false;
    if (!TzdDesigner::Allowed(drDontCreatePage))
        return false;
    LockDesigner();
    TzdReportPage* page = m_report->DotMatrixReport ? addChild<TzdDMPPage>(m_report, m_report, {})
                                                    : addChild<TzdReportPage>(m_report, m_report, {});
    page->ApplyPrinterDefaults();
    RebuildPageTabs(m_report->GetPageCount() - 1);
    SetModifiedFlag(true);
    return true;
}

bool DesignerModel::NewDialog()
{
    if (LockedByScriptRun(QStringLiteral("NewDialogCmd")))
        return false;
    if (!TzdDesigner::Allowed(drDontCreatePage))
        return false;
    LockDesigner();
    auto* page = addChild<TzdDialogPage>(m_report, m_report, {});
    page->SetBounds(265, 150, 300, 200);
    if (TzdDesigner* d = TzdDesigner::Current())
        page->SetFont(d->DefaultFont());
    RebuildPageTabs(m_report->GetPageCount() - 1);
    SetModifiedFlag(true);
    return true;
}

bool DesignerModel::DeletePage()
{
    if (!IsEnabled(QStringLiteral("DeletePageCmd")))
        return false;
    TzdComponent* page = CurrentPage;
    LockDesigner();
    if (auto* rp = dynamic_cast<TzdReportPage*>(page); rp && rp->EmbeddingSubreport)
        delete rp->EmbeddingSubreport;
    delete page;
    RebuildPageTabs(-2);
    SetModifiedFlag(true);
    return true;
}

void DesignerModel::AddRecentFile(const QString& FileName)
{
    if (FileName.isEmpty())
        return;
    RecentFiles.removeAll(FileName);
    RecentFiles.append(FileName);
    while (RecentFiles.size() > 8)
        RecentFiles.removeFirst();
}

bool DesignerModel::Open(const QString& FileName)
{
    if (LockedByScriptRun(QStringLiteral("OpenCmd")))
        return false;
    if (!TzdDesigner::Allowed(drDontLoadReport))
        return false;
    TzdEngineOptions* options = m_report->EngineOptions();
    const TzdSilentMode savedMode = options->NewSilentMode;
    options->NewSilentMode = simMessageBoxes;
    struct Restore {
        TzdEngineOptions* options;
        TzdSilentMode mode;
        ~Restore() { options->NewSilentMode = mode; }
    } restore{options, savedMode};
    TzdDesigner* d = TzdDesigner::Current();
    QString name = FileName;
    if (name.isEmpty()) {
        if (d && d->OnLoadReport) {
            LockDesigner();
            if (d->OnLoadReport(m_report))
                ReloadFromReport();
            else
                RebuildPageTabs(-2);
            return true;
        }
        plat::FileDialogRequest req;
        req.kind = plat::FileDialogRequest::Open;
        req.filter = modelResText("2471");
        req.initialDir = d ? d->OpenDir : QString();
        const plat::FileDialogResult result = plat::Services().FileDialog(req);
        if (!result.accepted)
            return false;
        name = result.FileName();
    }
    if (!ConfirmDiscard())
        return false;
    LockDesigner();
    if (!FileName.isEmpty() && d && d->OnLoadRecentReport) {
        if (d->OnLoadRecentReport(m_report, name))
            ReloadFromReport();
        else
            RebuildPageTabs(-2);
        return true;
    }
    bool loaded = false;
    // Loading replaces the pages, the current one too.
    CurrentPage = nullptr;
    try {
        loaded = m_report->LoadFromFile(name);
    } catch (const std::exception& e) {
        Messages << QString::fromUtf8(e.what());
    }
    if (!loaded) {
        showError(modelResText("dsCantLoad"));
        m_report->Clear();
        m_report->FileName.clear();
        makeEmptyReport(true);
    }
    ReloadFromReport();
    return loaded;
}

bool DesignerModel::Save(bool SaveAs)
{
    if (!TzdDesigner::Allowed(drDontSaveReport))
        return false;
    plat::TStrings* script = m_report->ScriptText();
    for (int i = 0; i < script->Count(); ++i) {
        QString line = script->Strings(i);
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
        script->SetStrings(i, line);
    }
    // A save that does not happen leaves the report as it was.
    const plat::TDateTime previousChange = m_report->ReportOptions()->LastChange;
    m_report->ReportOptions()->LastChange = plat::Now();
    auto notSaved = [&] {
        m_report->ReportOptions()->LastChange = previousChange;
        return false;
    };
    TzdDesigner* d = TzdDesigner::Current();
    if (d && d->OnSaveReport) {
        // The host decides; false means nothing was saved.
        if (!d->OnSaveReport(m_report, SaveAs))
            return notSaved();
        AddRecentFile(m_report->FileName);
        SetModifiedFlag(false);
        return true;
    }
    const QString previousName = m_report->FileName;
    const bool previousCompressed = m_report->ReportOptions()->Compressed;
    if (SaveAs || m_report->FileName.isEmpty()) {
        plat::FileDialogRequest req;
        req.kind = plat::FileDialogRequest::Save;
        req.defaultExt = TemplatesExt;
        req.filter = modelResText("dsRepFilter");
        if (zdCompressorClass)
            req.filter += u'|' + modelResText("dsComprRepFilter");
        req.filterIndex = m_report->ReportOptions()->Compressed && zdCompressorClass ? 2 : 1;
        req.initialDir = d ? d->SaveDir : QString();
        req.options = {plat::ofOverwritePrompt};
        const plat::FileDialogResult result = plat::Services().FileDialog(req);
        if (!result.accepted)
            return notSaved();
        m_report->ReportOptions()->Compressed = result.filterIndex == 2;
        m_report->FileName = result.FileName();
    }
    try {
        m_report->SaveToFile(m_report->FileName);
    } catch (const std::exception& e) {
        // The report keeps its old name and stays modified.
        m_report->FileName = previousName;
        m_report->ReportOptions()->Compressed = previousCompressed;
        showError(QString::fromUtf8(e.what()));
        return notSaved();
    }
    AddRecentFile(m_report->FileName);
    SetModifiedFlag(false);
    return true;
}

bool DesignerModel::CloseQuery()
{
    TzdDesigner* d = TzdDesigner::Current();
    if ((d && !d->CloseQuery) || !Modified || !TzdDesigner::Allowed(drDontSaveReport))
        return true;
    const QString text = IsPreviewDesigner ? modelResText("dsSavePreviewChanges")
                                           : modelResText("dsSaveChangesTo") + u' ' + Title() + u'?';
    const int answer = plat::Services().MessageBox(text, modelResText("mbConfirm"),
                                                   plat::MB_YESNOCANCEL | plat::MB_ICONQUESTION);
    if (answer == plat::IDCANCEL)
        return false;
    if (IsPreviewDesigner) {
        if (answer == plat::IDNO)
            Modified = false;
        return true;
    }
    if (answer == plat::IDYES && !Save(false))
        return false;
    // The report learns from this flag whether the designer changed it.
    Modified = answer != plat::IDNO;
    return true;
}

// ---------------------------------------------------------------- undo, clipboard, delete

void DesignerModel::Undo()
{
    if (LockedByScriptRun(QStringLiteral("UndoCmd")))
        return;
    if (!CurrentPage || m_undo->UndoCount() < 2)
        return;
    const int index = PageIndex();
    LockDesigner();
    if (!IsPreviewDesigner) {
        m_undo->AddRedo(m_report);
        m_undo->GetUndo(m_report);
        RebuildPageTabs(index);
        return;
    }
    TzdComponent* old = CurrentPage;
    const QString name = old->Name();
    auto* page = static_cast<TzdComponent*>(old->ClassType()->CreateComponent(nullptr));
    m_undo->AddRedo(old);
    delete old;
    m_undo->GetUndo(page);
    // A snapshot does not carry the page's own name.
    page->SetName(name);
    page->SetParent(m_report);
    RebuildPageTabs(m_report->GetPageCount() - 1);
}

void DesignerModel::Redo()
{
    if (LockedByScriptRun(QStringLiteral("RedoCmd")))
        return;
    if (!CurrentPage || m_undo->RedoCount() == 0)
        return;
    const int index = PageIndex();
    LockDesigner();
    if (!IsPreviewDesigner) {
        m_undo->GetRedo(m_report);
        m_undo->AddUndo(m_report);
        RebuildPageTabs(index);
        return;
    }
    TzdComponent* old = CurrentPage;
    auto* page = static_cast<TzdComponent*>(old->ClassType()->CreateComponent(nullptr));
    m_undo->GetRedo(page);
    page->SetName(old->Name());
    m_undo->AddUndo(page);
    delete old;
    page->SetParent(m_report);
    RebuildPageTabs(m_report->GetPageCount() - 1);
}

void DesignerModel::Copy()
{
    if (CurrentPage)
        m_clipboard->Copy();
}

void DesignerModel::Cut()
{
    if (LockedByScriptRun(QStringLiteral("CutCmd")))
        return;
    if (!CurrentPage || !IsEnabled(QStringLiteral("CutCmd")))
        return;
    m_clipboard->Copy();
    Delete();
}

void DesignerModel::Paste()
{
    if (LockedByScriptRun(QStringLiteral("PasteCmd")))
        return;
    if (!CurrentPage)
        return;
    m_clipboard->Paste();
    if (!m_clipboard->Refusals.isEmpty())
        showError(m_clipboard->Refusals.join(u'\n'));
    TzdComponent* first = Selection.empty() ? nullptr : Selection.front();
    if (!first || first == CurrentPage)
        return;
    if (TzdDesigner* d = TzdDesigner::Current(); d && d->OnInsertObject)
        d->OnInsertObject(first);
    m_workspace->ArrangeBands(true);
    SetModifiedFlag(true);
}

void DesignerModel::Delete()
{
    if (LockedByScriptRun(QStringLiteral("DeleteCmd")))
        return;
    if (!IsEnabled(QStringLiteral("DeleteCmd")))
        return;
    try {
        m_workspace->DeleteSelected();
    } catch (const std::exception& e) {
        showError(QString::fromUtf8(e.what()));
    }
}

// ---------------------------------------------------------------- selection commands

void DesignerModel::SelectAll()
{
    if (!CurrentPage)
        return;
    TzdComponent* container = CurrentPage;
    if (Selection.size() == 1 && Selection.front() != CurrentPage) {
        TzdComponent* only = Selection.front();
        if (dynamic_cast<TzdBand*>(only))
            container = only;
        else if (only->Parent() && dynamic_cast<TzdBand*>(only->Parent()))
            container = only->Parent();
    }
    if (container->ChildCount() > 0)
        SetSelection(container->Children());
}

void DesignerModel::SelectSameType(bool OnPage)
{
    if (!CurrentPage || !IsEnabled(QStringLiteral("SelectAllOfTypeCmd")))
        return;
    TzdComponent* only = Selection.front();
    const plat::TClass* cls = only->ClassType();
    TzdComponent* container = OnPage ? CurrentPage : only->Parent();
    std::vector<TzdComponent*> sel;
    for (TzdComponent* c : container->AllObjects())
        if (c->ClassType() == cls)
            sel.push_back(c);
    SetSelection(std::move(sel));
}

void DesignerModel::BringToFront()
{
    if (!IsEnabled(QStringLiteral("BringToFrontCmd")))
        return;
    for (TzdComponent* c : std::vector<TzdComponent*>(Selection))
        if (dynamic_cast<TzdReportComponent*>(c) && c->Parent() && !c->Restrictions().contains(rfDontMove)) {
            TzdComponent* p = c->Parent();
            c->SetParent(nullptr);
            c->SetParent(p);
        }
    const std::vector<TzdComponent*> sel = Selection;
    RebuildObjects();
    SetSelection(sel);
    SetModifiedFlag(true);
}

void DesignerModel::SendToBack()
{
    if (!IsEnabled(QStringLiteral("SendToBackCmd")))
        return;
    for (TzdComponent* c : std::vector<TzdComponent*>(Selection))
        if (dynamic_cast<TzdReportComponent*>(c) && c->Parent() && !c->Restrictions().contains(rfDontMove))
            sendToBack(c);
    const std::vector<TzdComponent*> sel = Selection;
    RebuildObjects();
    SetSelection(sel);
    SetModifiedFlag(true);
}

void DesignerModel::Group()
{
    if (IsEnabled(QStringLiteral("GroupCmd")))
        m_workspace->GroupSelection();
}

void DesignerModel::Ungroup()
{
    if (IsEnabled(QStringLiteral("UngroupCmd")))
        m_workspace->UngroupSelection();
}

void DesignerModel::DeleteGuides()
{
    auto* rp = dynamic_cast<TzdReportPage*>(CurrentPage);
    if (!rp)
        return;
    rp->RemoveAllGuides();
    SetModifiedFlag(true);
}

// ---------------------------------------------------------------- alignment palette

void DesignerModel::Align(AlignCommand Command)
{
    const std::vector<TzdComponent*> sel = Selection;
    const int count = m_workspace->SelectedCount();
    if (count == 0)
        return;
    TzdComponent* ref = sel.front();
    auto movable = [](TzdComponent* c) { return !c->Restrictions().contains(rfDontMove); };
    auto sizable = [](TzdComponent* c) { return !c->Restrictions().contains(rfDontSize); };
    const bool pair = Command <= acBottoms || Command == acSameWidth || Command == acSameHeight;
    if (pair && count < 2)
        return;
    switch (Command) {
    case acLefts:
    case acRights:
    case acHorzCenters:
    case acVertCenters:
        for (TzdComponent* c : sel) {
            if (!movable(c))
                continue;
            if (Command == acLefts)
                c->SetLeft(ref->Left());
            else if (Command == acRights)
                c->SetLeft(ref->Left() + ref->Width() - c->Width());
            else if (Command == acHorzCenters)
                c->SetLeft(ref->Left() + ref->Width() / 2 - c->Width() / 2);
            else
                c->SetTop(ref->Top() + ref->Height() / 2 - c->Height() / 2);
        }
        break;
    case acTops:
    case acBottoms: {
        const long double refTop = ref->GetAbsTop();
        const long double extra = Command == acBottoms ? ref->Height() : 0;
        for (TzdComponent* c : sel) {
            if (!movable(c))
                continue;
            const long double own = Command == acBottoms ? c->Height() : 0;
            if (!zdFloatDiff(c->Top(), c->GetAbsTop()))
                c->SetTop(refTop + extra - own);
            else
                c->SetTop(refTop - c->GetAbsTop() + c->Top() + extra - own);
        }
        break;
    }
    case acSpaceHorz:
    case acSpaceVert: {
        if (count < 3)
            return;
        const bool horz = Command == acSpaceHorz;
        std::vector<std::pair<QString, TzdComponent*>> order;
        for (TzdComponent* c : sel)
            order.emplace_back(
                QStringLiteral("%1").arg(qint64(std::nearbyint(horz ? c->Left() : c->Top())), 4, 10, QChar(u'0')),
                c);
        std::stable_sort(order.begin(), order.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        auto pos = [&](TzdComponent* c) { return horz ? c->Left() : c->Top(); };
        const long double step = (pos(order.back().second) - pos(order.front().second)) / (order.size() - 1);
        for (size_t i = 1; i + 1 < order.size(); ++i) {
            TzdComponent* c = order[i].second;
            if (!movable(c))
                continue;
            const long double p = pos(order[i - 1].second) + step;
            horz ? c->SetLeft(p) : c->SetTop(p);
        }
        break;
    }
    case acCenterHorz:
    case acCenterVert:
        for (TzdComponent* c : sel) {
            if (!dynamic_cast<TzdView*>(c) || !movable(c))
                continue;
            auto* band = dynamic_cast<TzdBand*>(c->Parent());
            if (Command == acCenterHorz)
                c->SetLeft(((band ? band->Width() : m_workspace->ClientWidth / m_scale) - c->Width()) / 2);
            else
                c->SetTop(((band ? band->Height() : m_workspace->ClientHeight / m_scale) - c->Height()) / 2);
        }
        break;
    case acSameWidth:
    case acSameHeight:
        for (TzdComponent* c : sel)
            if (sizable(c))
                Command == acSameWidth ? c->SetWidth(ref->Width()) : c->SetHeight(ref->Height());
        break;
    }
    SetModifiedFlag(true);
}

void DesignerModel::SetToGrid()
{
    if (!IsEnabled(QStringLiteral("SetToGridCmd")))
        return;
    const long double sx = m_workspace->GridStepX, sy = m_workspace->GridStepY;
    bool changed = false;
    for (TzdComponent* c : Selection) {
        if (c->Restrictions().contains(rfDontModify))
            continue;
        long double w = roundToSteps(c->Width(), sx), h = roundToSteps(c->Height(), sy);
        if (w == 0)
            w = sx;
        if (h == 0)
            h = sy;
        c->SetBounds(roundToSteps(c->Left(), sx), roundToSteps(c->Top(), sy), w, h);
        changed = true;
    }
    if (changed)
        SetModifiedFlag(true);
}

// ---------------------------------------------------------------- insertion

void DesignerModel::onInsertRequest(const InsertRequest& Request)
{
    InsertObject(Request.ObjectClass, Request.Flags, Request.Bounds);
}

TzdComponent* DesignerModel::InsertObject(const plat::TClass* Class, quint16 Flags, const ExtBounds& Bounds)
{
    if (!TzdDesigner::Allowed(drDontInsertObject) || Bounds.Top < 0) {
        m_workspace->SetInsertion(nullptr, 0, 0, 0);
        return nullptr;
    }
    if (!Class || !CurrentPage || (Bounds.Width == 0 && Bounds.Height == 0))
        return nullptr;
    const bool subreport = Class->InheritsFrom(QStringView(u"TzdSubreport"));
    // A subreport needs a new page of its own; where new pages are
    // forbidden it cannot be made.
    if (subreport && !TzdDesigner::Allowed(drDontCreatePage)) {
        m_workspace->SetInsertion(nullptr, 0, 0, 0);
        showError(QStringLiteral("Podřízený report nelze vložit: nové stránky nejsou dovoleny"));
        return nullptr;
    }
    if (const QString why = placementRefusal(Class, CurrentPage); !why.isEmpty()) {
        m_workspace->SetInsertion(nullptr, 0, 0, 0);
        showError(why);
        return nullptr;
    }
    TzdComponent* obj = TzdComponent::DesignCreate(Class, m_report, Flags);
    obj->SetParent(CurrentPage);
    obj->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width, Bounds.Height);
    obj->CreateUniqueName();
    if (!Class->InheritsFrom(QStringView(u"TzdCustomLineView")))
        m_workspace->SetInsertion(nullptr, 0, 0, 0);
    if (auto* memo = dynamic_cast<TzdCustomMemoView*>(obj)) {
        m_sample->ApplyTo(memo);
        if (isDataPage(CurrentPage))
            memo->Wysiwyg = false;
    }
    bool contained = false;
    for (TzdComponent* c : PageObjects)
        if (c != obj && c->ObjectStyle().contains(osContainer)) {
            const long double l = c->GetAbsLeft(), t = c->GetAbsTop();
            if (Bounds.Left >= l && Bounds.Top >= t && Bounds.Left + Bounds.Width <= l + c->Width() &&
                Bounds.Top + Bounds.Height <= t + c->Height()) {
                contained = c->ContainerAdd(obj);
                break;
            }
        }
    if (!contained)
        PageObjects.push_back(obj);
    SetSelection({obj});
    if (TzdDesigner* d = TzdDesigner::Current(); d && d->OnInsertObject)
        d->OnInsertObject(obj);
    m_workspace->ArrangeBands(true);
    if (subreport) {
        auto* shown = dynamic_cast<TzdReportPage*>(CurrentPage);
        NewPage();
        auto* page = dynamic_cast<TzdReportPage*>(m_report->GetPageByIndex(m_report->GetPageCount() - 1));
        static_cast<TzdSubreport*>(obj)->SetPage(page);
        if (shown && page) {
            page->SetOrientation(shown->Orientation());
            page->SetPaperFormat(shown->PaperSize(), shown->PaperWidth(), shown->PaperHeight());
            page->LeftMargin = shown->LeftMargin;
            page->RightMargin = shown->RightMargin;
            page->TopMargin = shown->TopMargin;
            page->BottomMargin = shown->BottomMargin;
            page->Bin = shown->Bin;
            page->BinOtherPages = shown->BinOtherPages;
            page->SetColumns(shown->Columns());
            page->ColumnWidth = shown->ColumnWidth;
            page->SetColumnPositions(shown->ColumnPositions());
            page->PrintOnPreviousPage = shown->PrintOnPreviousPage;
            page->MirrorMargins = shown->MirrorMargins;
            page->EndlessWidth = shown->EndlessWidth;
            page->EndlessHeight = shown->EndlessHeight;
            page->LargeDesignHeight = shown->LargeDesignHeight;
            page->Duplex = shown->Duplex;
        }
        SetModifiedFlag(true);
        RebuildPageTabs(m_report->GetPageCount() - 1);
        return obj;
    }
    SetModifiedFlag(true);
    return obj;
}

bool DesignerModel::BandMenuItemEnabled(int Tag) const
{
    static const char16_t* kSingle[] = {u"TzdReportTitle",  u"TzdReportSummary", u"TzdPageHeader",
                                        u"TzdPageFooter",   nullptr,             nullptr,
                                        nullptr,            nullptr,             nullptr,
                                        nullptr,            nullptr,             nullptr,
                                        nullptr,            nullptr,             nullptr,
                                        u"TzdColumnHeader", u"TzdColumnFooter"};
    const int kind = Tag % 100;
    if (!CurrentPage || kind < 0 || kind > 16 || !kSingle[kind])
        return CurrentPage != nullptr;
    for (TzdComponent* c : CurrentPage->Children())
        if (c->ClassName() == QStringView(kSingle[kind]))
            return false;
    return true;
}

TzdBand* DesignerModel::InsertBand(int Tag)
{
    int count = 0;
    const plat::TClass* const* table = bandKindTable(count);
    const int kind = Tag % 100;
    if (!CurrentPage || kind < 0 || kind >= count || !table[kind] || !BandMenuItemEnabled(Tag))
        return nullptr;
    auto* band = static_cast<TzdBand*>(table[kind]->CreateComponent(m_report));
    band->SetParent(CurrentPage);
    band->CreateUniqueName();
    const long double b = BandSize();
    if (Tag > 99) {
        band->SetVertical(true);
        band->SetLeft(b);
        band->SetWidth(b);
    } else {
        long double top = 10000;
        if (m_workspace->FreeBands) {
            long double lowest = 0;
            for (TzdComponent* c : CurrentPage->Children())
                if (auto* o = dynamic_cast<TzdBand*>(c); o && o != band && !o->Vertical())
                    lowest = std::max(lowest, o->Top() + o->Height());
            const long double step = m_workspace->GridStepY > 0 ? m_workspace->GridStepY : 1;
            top = zdRound8(std::nearbyint((lowest + m_workspace->BandCaptionHeight() + 4) / step) * step);
        }
        band->SetTop(top);
        band->SetHeight(b);
    }
    PageObjects.insert(PageObjects.begin(), band);
    SetSelection({band});
    m_workspace->ArrangeBands(true);
    SetModifiedFlag(true);
    return band;
}

// ---------------------------------------------------------------- formatting

namespace {

TzdFrame* frameOf(TzdComponent* Obj)
{
    if (auto* v = dynamic_cast<TzdView*>(Obj))
        return v->Frame();
    if (auto* p = dynamic_cast<TzdReportPage*>(Obj))
        return p->Frame();
    return nullptr;
}

bool setDmpStyle(TzdComponent* Obj, TzdDMPFontStyle Bit, bool Set)
{
    auto apply = [&](auto* o) {
        TzdDMPFontStyles s = o->FontStyle();
        s.set(Bit, Set);
        o->SetFontStyle(s);
        return true;
    };
    if (auto* m = dynamic_cast<TzdDMPMemoView*>(Obj))
        return apply(m);
    if (auto* l = dynamic_cast<TzdDMPLineView*>(Obj))
        return apply(l);
    if (auto* p = dynamic_cast<TzdDMPPage*>(Obj))
        return apply(p);
    return false;
}

// One object changed by a tag; false when the tag does not apply to it.
bool formatObject(TzdComponent* Obj, int Tag, const FormatValues& V, WorkspaceEngine& Ws)
{
    auto* memo = dynamic_cast<TzdCustomMemoView*>(Obj);
    auto* view = dynamic_cast<TzdView*>(Obj);
    TzdFrame* frame = frameOf(Obj);
    plat::TFont* font = Obj->Font();
    switch (Tag) {
    case 0:
        font->SetName(V.FontName);
        return true;
    case 1: {
        bool ok = false;
        const int size = V.FontSize.trimmed().toInt(&ok);
        if (ok)
            font->SetSize(size);
        return ok;
    }
    case 2:
    case 3:
    case 4: {
        plat::TFontStyles st = font->Style();
        st.set(Tag == 2 ? plat::fsBold : Tag == 3 ? plat::fsItalic : plat::fsUnderline, V.Down);
        font->SetStyle(st);
        return true;
    }
    case 5:
        font->SetColor(V.Color);
        return true;
    case 7:
    case 8:
    case 9:
    case 10:
        if (!memo)
            return false;
        memo->HAlign = Tag == 7 ? haLeft : Tag == 8 ? haCenter : Tag == 9 ? haRight : haBlock;
        return true;
    case 11:
    case 12:
    case 13:
        if (!memo)
            return false;
        memo->VAlign = Tag == 11 ? vaTop : Tag == 12 ? vaCenter : vaBottom;
        return true;
    case 20:
    case 21:
    case 22:
    case 23: {
        if (!frame)
            return false;
        static constexpr TzdFrameType kSide[] = {ftTop, ftBottom, ftLeft, ftRight};
        frame->Typ.set(kSide[Tag - 20], V.Down);
        return true;
    }
    case 24:
    case 25:
        if (!frame)
            return false;
        frame->Typ = Tag == 24 ? TzdFrameTypes{ftLeft, ftRight, ftTop, ftBottom} : TzdFrameTypes{};
        return true;
    case 26:
        if (view) {
            view->SetFillType(ftBrush);
            view->SetColor(V.Color);
        } else if (auto* rp = dynamic_cast<TzdReportPage*>(Obj)) {
            rp->SetColor(V.Color);
        } else if (auto* dp = dynamic_cast<TzdDialogPage*>(Obj)) {
            dp->Color = V.Color;
        } else if (auto* control = dynamic_cast<TzdDialogControl*>(Obj)) {
            control->SetColor(V.Color);
        } else {
            return false;
        }
        return true;
    case 27:
        if (!frame)
            return false;
        frame->SetColor(V.Color);
        return true;
    case 28:
        if (!frame)
            return false;
        frame->SetStyle(V.FrameStyle);
        return true;
    case 29:
        if (!frame)
            return false;
        try {
            frame->SetWidth(zdParseFloat(V.FrameWidth));
        } catch (const std::exception&) {
            return false;
        }
        return true;
    case 30:
        if (!memo)
            return false;
        memo->SetRotation(V.Rotation);
        return true;
    case 31: {
        const long double sx = Ws.GridStepX, sy = Ws.GridStepY;
        auto steps = [](long double v, long double step) { return step > 0 ? std::nearbyint(v / step) * step : v; };
        long double w = steps(Obj->Width(), sx), h = steps(Obj->Height(), sy);
        Obj->SetBounds(steps(Obj->Left(), sx), steps(Obj->Top(), sy), w == 0 ? sx : w, h == 0 ? sy : h);
        return true;
    }
    case 32:
        if (!V.Frame || !frame)
            return false;
        frame->Assign(V.Frame);
        return true;
    case 33:
        if (!memo)
            return false;
        memo->SetStyle(V.Style);
        return true;
    case 43:
        if (!V.Font)
            return false;
        Obj->SetFont(V.Font);
        return true;
    case 44:
        if (!V.Fill || !view)
            return false;
        view->SetFill(V.Fill);
        return true;
    default:
        if (Tag >= 34 && Tag <= 42)
            return setDmpStyle(Obj, static_cast<TzdDMPFontStyle>(Tag - 34), !V.Ticked);
        return false;
    }
}

bool clearsStyle(int Tag)
{
    return (Tag >= 0 && Tag <= 5) || (Tag >= 20 && Tag <= 29) || Tag == 32 || Tag == 44;
}

} // namespace

bool DesignerModel::Format(int Tag, const FormatValues& Values)
{
    bool changed = false;
    for (TzdComponent* c : std::vector<TzdComponent*>(Selection)) {
        if (c->Restrictions().contains(rfDontModify) || c == m_report)
            continue;
        if (!formatObject(c, Tag, Values, *m_workspace))
            continue;
        changed = true;
        if (auto* memo = dynamic_cast<TzdCustomMemoView*>(c)) {
            if (clearsStyle(Tag))
                memo->SetStyle(QString());
            m_sample->TakeFrom(memo);
        }
    }
    // The workspace shows a dialog page in the page's own colour.
    if (changed && Tag == 26)
        if (auto* dp = dynamic_cast<TzdDialogPage*>(CurrentPage))
            m_shownColor = dp->Color;
    if (changed)
        SetModifiedFlag(true);
    return changed;
}

TzdBand* DesignerModel::AddChildBand()
{
    auto* band = Selection.empty() ? nullptr : dynamic_cast<TzdBand*>(Selection.front());
    if (!band || dynamic_cast<TzdColumnFooter*>(band) || dynamic_cast<TzdOverlay*>(band))
        return nullptr;
    TzdBand* oldChild = band->Child();
    TzdBand* child = InsertBand(14);
    if (!child)
        return nullptr;
    band->SetChild(nullptr);
    child->SetChild(oldChild);
    band->SetChild(child);
    m_workspace->ArrangeBands(true);
    SetModifiedFlag(true);
    return child;
}

// ---------------------------------------------------------------- find and replace

bool DesignerModel::Find(const QString& Text, bool CaseSensitive, bool Replace, const QString& ReplaceWith)
{
    m_find = {};
    m_find.text = Text;
    m_find.caseSensitive = CaseSensitive;
    m_find.replace = Replace;
    m_find.replaceWith = ReplaceWith;
    m_find.started = true;
    return FindNext();
}

bool DesignerModel::FindNext()
{
    if (!m_find.started || !CurrentPage || m_find.text.isEmpty())
        return false;
    const Qt::CaseSensitivity cs = m_find.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    bool found = false;
    while (m_find.index < PageObjects.size()) {
        auto* memo = dynamic_cast<TzdCustomMemoView*>(PageObjects[m_find.index++]);
        if (!memo || !memo->Text().contains(m_find.text, cs))
            continue;
        found = true;
        SetSelection({memo});
        if (!m_find.replace)
            return true;
        int answer = plat::mrAll;
        if (!m_find.all)
            answer = plat::Services().MessageDlg(plat::Format(modelResText("dsReplace"), {m_find.text}),
                                                 plat::mtConfirmation,
                                                 {plat::mbYes, plat::mbNo, plat::mbCancel, plat::mbAll});
        if (answer == plat::mrYes || answer == plat::mrAll) {
            memo->SetText(memo->Text().replace(m_find.text, m_find.replaceWith, cs));
            SetModifiedFlag(true);
        }
        if (answer != plat::mrAll)
            return true;
        m_find.all = true;
    }
    if (!found) {
        const QString text = plat::Format(modelResText("dsTextNotFound"), {m_find.text});
        Messages << text;
        plat::Services().MessageBox(text, modelResText("mbInfo"), plat::MB_OK | plat::MB_ICONINFORMATION);
    }
    return found;
}

} // namespace zd
