// The designer model's toolbar update (which formatting controls the
// selection allows, the status bar's object text), the reset of inherited
// objects, the preview command, the template list of the "New..." dialog
// and the registration of the designer in the report core.

#include "zdDesignerModel.h"

#include "Streams.h"
#include "TypeInfo.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdClass_shape.h"
#include "zdDMPClass.h"
#include "zdDataSets.h"
#include "zdDialogControl.h"
#include "zdUndo.h"
#include "zdVariables.h"
#include "zdXMLSerializer.h"
#include "zs_script.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>

namespace zd {

namespace {

bool published(const TzdComponent* Obj, const char16_t* Name)
{
    return Obj && plat::IsPublishedProp(Obj, QStringView(Name));
}

bool isDmpPage(const TzdComponent* Obj) { return dynamic_cast<const TzdDMPPage*>(Obj) != nullptr; }

bool isDmpObject(const TzdComponent* Obj)
{
    return dynamic_cast<const TzdDMPMemoView*>(Obj) || dynamic_cast<const TzdDMPLineView*>(Obj) ||
           dynamic_cast<const TzdDMPCommand*>(Obj) || isDmpPage(Obj);
}

bool isTextObject(const TzdComponent* Obj) { return dynamic_cast<const TzdCustomMemoView*>(Obj) != nullptr; }

// The controls that share one rule of the toolbar update.
enum class ControlRule { Font, FontButton, TextAlign, TextStyle, FrameSides, FrameLook, FillColor, FillEdit, Tools };

struct ControlEntry {
    const char16_t* name;
    ControlRule rule;
};

constexpr std::array kControls{
    ControlEntry{u"FontNameCB", ControlRule::Font},        ControlEntry{u"FontSizeCB", ControlRule::Font},
    ControlEntry{u"BoldB", ControlRule::Font},             ControlEntry{u"ItalicB", ControlRule::Font},
    ControlEntry{u"UnderlineB", ControlRule::Font},        ControlEntry{u"FontColorB", ControlRule::Font},
    ControlEntry{u"FontB", ControlRule::FontButton},       ControlEntry{u"TextAlignLeftB", ControlRule::TextAlign},
    ControlEntry{u"TextAlignCenterB", ControlRule::TextAlign}, ControlEntry{u"TextAlignRightB", ControlRule::TextAlign},
    ControlEntry{u"TextAlignBlockB", ControlRule::TextAlign},  ControlEntry{u"TextAlignTopB", ControlRule::TextAlign},
    ControlEntry{u"TextAlignMiddleB", ControlRule::TextAlign}, ControlEntry{u"TextAlignBottomB", ControlRule::TextAlign},
    ControlEntry{u"StyleCB", ControlRule::TextStyle},      ControlEntry{u"HighlightB", ControlRule::TextStyle},
    ControlEntry{u"RotateB", ControlRule::TextStyle},      ControlEntry{u"FrameTopB", ControlRule::FrameSides},
    ControlEntry{u"FrameBottomB", ControlRule::FrameSides}, ControlEntry{u"FrameLeftB", ControlRule::FrameSides},
    ControlEntry{u"FrameRightB", ControlRule::FrameSides}, ControlEntry{u"FrameAllB", ControlRule::FrameSides},
    ControlEntry{u"FrameNoB", ControlRule::FrameSides},    ControlEntry{u"FrameEditB", ControlRule::FrameSides},
    ControlEntry{u"FrameColorB", ControlRule::FrameLook},  ControlEntry{u"FrameStyleB", ControlRule::FrameLook},
    ControlEntry{u"FrameWidthCB", ControlRule::FrameLook}, ControlEntry{u"FillColorB", ControlRule::FillColor},
    ControlEntry{u"FillEditB", ControlRule::FillEdit},     ControlEntry{u"ScaleCB", ControlRule::Tools},
    ControlEntry{u"HandTool", ControlRule::Tools},         ControlEntry{u"ZoomTool", ControlRule::Tools},
    ControlEntry{u"TextTool", ControlRule::Tools},
};

// The script's error position "LINE:COLUMN" as numbers (1 when missing).
void splitPosition(const QString& Position, int& Line, int& Column)
{
    const QStringList parts = Position.split(u':');
    bool ok = false;
    Line = parts.value(0).trimmed().toInt(&ok);
    if (!ok || Line < 1)
        Line = 1;
    Column = parts.value(1).trimmed().toInt(&ok);
    if (!ok || Column < 1)
        Column = 1;
}

// The shown settings of a preview run, put back however the run ends.
class PreviewRunState {
public:
    explicit PreviewRunState(TzdReport* Report)
        : m_report(Report)
        , m_preview(Report->Preview())
        , m_modal(Report->PreviewOptions()->Modal)
        , m_mdiChild(Report->PreviewOptions()->MDIChild)
        , m_destroyForms(Report->EngineOptions()->DestroyForms)
        , m_variables(std::make_unique<TzdVariables>())
    {
        m_variables->Assign(Report->Variables());
    }
    ~PreviewRunState()
    {
        m_report->SetPreview(m_preview);
        m_report->PreviewOptions()->Modal = m_modal;
        m_report->PreviewOptions()->MDIChild = m_mdiChild;
        m_report->EngineOptions()->DestroyForms = m_destroyForms;
        m_report->Variables()->Assign(m_variables.get());
    }
    PreviewRunState(const PreviewRunState&) = delete;
    PreviewRunState& operator=(const PreviewRunState&) = delete;

private:
    TzdReport* m_report;
    TzdCustomPreview* m_preview;
    bool m_modal, m_mdiChild, m_destroyForms;
    std::unique_ptr<TzdVariables> m_variables;
};

} // namespace

// ---------------------------------------------------------------- toolbar update

bool DesignerModel::IsControlEnabled(const QString& ControlName) const
{
    const auto entry = std::find_if(kControls.begin(), kControls.end(),
                                    [&](const ControlEntry& e) { return ControlName == QStringView(e.name); });
    if (entry == kControls.end())
        return true;
    TzdComponent* it = Selection.empty() ? nullptr : Selection.front();
    const bool shown = CurrentPage != nullptr && it != nullptr;
    const bool several = Selection.size() > 1;
    const bool notDmp = !isDmpPage(CurrentPage);
    const bool font = published(it, u"Font") && !isDmpPage(it) && shown;
    const bool frame = published(it, u"Frame") && !isDmpPage(it) && shown;
    const bool text = isTextObject(it) && shown;
    switch (entry->rule) {
    case ControlRule::Font:
        return (font || several) && notDmp;
    case ControlRule::FontButton:
        return font || isDmpObject(it) || several;
    case ControlRule::TextAlign:
        return text || several;
    case ControlRule::TextStyle:
        return (text || several) && notDmp;
    case ControlRule::FrameSides:
        return (frame && !dynamic_cast<TzdCustomLineView*>(it) && !dynamic_cast<TzdShapeView*>(it)) || several;
    case ControlRule::FrameLook:
        return (frame || several) && notDmp;
    case ControlRule::FillColor:
        return published(it, u"Color") && !isDmpPage(it) && shown && notDmp;
    case ControlRule::FillEdit:
        return published(it, u"Fill");
    case ControlRule::Tools:
        return dynamic_cast<TzdReportPage*>(CurrentPage) != nullptr;
    }
    return true;
}

QString DesignerModel::StatusObjectText() const
{
    if (Selection.size() != 1 || !Selection.front())
        return {};
    TzdComponent* it = Selection.front();
    const QString name = it->Name();
    if (auto* view = dynamic_cast<TzdView*>(it); view && view->IsDataField())
        return name + QStringLiteral(": ") + view->DataSet()->UserName() + QStringLiteral(".\"") +
               view->DataField() + u'"';
    if (auto* memo = dynamic_cast<TzdCustomMemoView*>(it))
        return name + QStringLiteral(": ") + memo->Text().left(128);
    if (auto* band = dynamic_cast<TzdDataBand*>(it); band && band->DataSet())
        return name + QStringLiteral(": ") + band->DataSet()->UserName();
    if (auto* group = dynamic_cast<TzdGroupHeader*>(it))
        return name + QStringLiteral(": ") + group->Condition;
    return name;
}

QStringList DesignerModel::TabPopupActions()
{
    return {QStringLiteral("NewPageCmd"), QStringLiteral("NewDialogCmd"), QStringLiteral("DeletePageCmd"),
            QStringLiteral("PageSettingsCmd")};
}

plat::TColor DesignerModel::ShownWorkspaceColor() const { return m_shownColor; }

// ---------------------------------------------------------------- reset to the ancestor

bool DesignerModel::ResetToParentVisible() const
{
    return m_report->ParentTemplate() != nullptr || m_report->IsAncestor();
}

bool DesignerModel::ResetToParentEnabled() const
{
    return ResetToParentVisible() && !Selection.empty() && Selection.front() && Selection.front()->IsAncestor();
}

namespace {

// The ancestor's values written over the object (and its inherited
// children), as the inheritance merge copies them; the name stays.
bool resetFromAncestor(TzdReport* Report, TzdComponent* Obj, bool WithChildren)
{
    TzdComponent* ancestor = Report->FindAncestorObject(Obj->Name());
    if (!ancestor)
        return false;
    TzdXMLSerializer serializer(nullptr);
    serializer.SerializeDefaultValues = true;
    const QString name = Obj->Name();
    serializer.TextToProperties(serializer.PropertiesToText(ancestor, {}, nullptr), Obj);
    if (Obj->Name() != name)
        Obj->SetName(name);
    if (WithChildren)
        for (TzdComponent* child : std::vector<TzdComponent*>(Obj->Children()))
            if (child->IsAncestor())
                resetFromAncestor(Report, child, true);
    return true;
}

} // namespace

int DesignerModel::ResetToParent(bool WithChildren)
{
    if (!ResetToParentVisible())
        return 0;
    int count = 0;
    for (TzdComponent* obj : std::vector<TzdComponent*>(Selection))
        if (obj && obj->IsAncestor() && resetFromAncestor(m_report, obj, WithChildren))
            ++count;
    if (count > 0) {
        RefreshInspector();
        SetModifiedFlag(true);
    }
    return count;
}

// ---------------------------------------------------------------- preview

bool DesignerModel::Preview()
{
    if (!IsEnabled(QStringLiteral("PreviewCmd")))
        return false;
    if (!m_report->CompileScript()) {
        splitPosition(m_report->Script()->ErrorPosition, ErrorLine, ErrorColumn);
        Messages << m_report->Script()->ErrorMessage;
        SelectPage(nullptr);
        ShowCodeAt(ErrorLine, ErrorColumn, true);
        return false;
    }
    const bool codeShown = CurrentPage == nullptr;
    const int pageIndex = PageIndex();
    {
        PreviewRunState restore(m_report);
        m_undo->AddUndo(m_report);
        m_report->SetPreview(nullptr);
        m_report->PreviewOptions()->Modal = true;
        m_report->PreviewOptions()->MDIChild = false;
        m_report->EngineOptions()->DestroyForms = false;
        try {
            if (OnRunReport)
                OnRunReport(m_report);
            else
                m_report->ShowReport(true);
        } catch (...) {
            // The run's own errors were shown by the run; the template is
            // put back below either way.
        }
        // Whatever the run did to the template is undone.
        LockDesigner();
        m_undo->RestoreLast(m_report);
        m_report->Script()->ClearItems(reinterpret_cast<quintptr>(m_report));
    }
    if (codeShown) {
        RebuildPageTabs(-2);
        SelectPage(nullptr);
    } else {
        RebuildPageTabs(pageIndex);
    }
    return true;
}

// ---------------------------------------------------------------- templates

QStringList DesignerModel::TemplateList() const
{
    QStringList list;
    if (TzdDesigner* d = TzdDesigner::Current(); d && d->OnGetTemplateList) {
        d->OnGetTemplateList(list);
        return list;
    }
    QString folder = TemplateDir.trimmed();
    if (folder.isEmpty() || folder == u".")
        folder = TzdReport::ApplicationFolder();
    const QDir dir(folder);
    const QStringList files =
        dir.entryList({QStringLiteral("*.") + TemplatesExt}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& f : files)
        list << QFileInfo(dir.filePath(f)).absoluteFilePath();
    return list;
}

// ---------------------------------------------------------------- registration

void startDesignerUnit(TzdDesignerClass WindowClass)
{
    static const bool registered = [] {
        plat::RegisterClass(TzdDesigner::StaticClass());
        return true;
    }();
    (void)registered;
    if (WindowClass) {
        zdDesignerClass = WindowClass;
        return;
    }
    zdDesignerClass = [](plat::TComponent* AOwner, zd::ReportDocument* AReport,
                         bool IsPreviewDesigner) -> TzdCustomDesigner* {
        auto* report = AReport ? AReport->Report() : nullptr;
        if (!report)
            return nullptr;
        auto* designer = new DesignerModel(AOwner, report, IsPreviewDesigner);
        designer->ReloadFromReport();
        return designer;
    };
}

} // namespace zd
