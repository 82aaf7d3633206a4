// The designer window's tool windows (object inspector, data tree, report
// tree), its code page and the commands that open the editor dialogs.

#include "zdDesgnForm.h"

#include "Modal.h"
#include "Services.h"
#include "StringList.h"
#include "zdAbout.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdCodePage.h"
#include "zdDataDrop.h"
#include "zdDataTree.h"
#include "zdDesgnWorkspace.h"
#include "zdDesignerDialogsQt.h"
#include "zdDesignerModel.h"
#include "zdDialogsSecondHalf.h"
#include "zdDsgnDialogs.h"
#include "zdEditExpr.h"
#include "zdEditOptions.h"
#include "zdEditReportSettings.h"
#include "zdEditStyle.h"
#include "zdEditVariables.h"
#include "zdInspector.h"
#include "zdNewItem.h"
#include "zdRes.h"
#include "zdReportComponent.h"
#include "zdReportTree.h"
#include "zdScriptDebugger.h"
#include "zdSyntaxMemo.h"

#include <QAction>
#include <QDialog>
#include <QDropEvent>
#include <QShortcut>
#include <QTreeWidget>
#include <QMenu>
#include <QToolBar>

void TzdDesignerForm::attachTools()
{
    // Every editor dialog opened while this window lives is a window of ours.
    m_dialogs = std::make_unique<TzdQtDesignerDialogs>(this);
    m_dialogs->Units = m_model->UserUnits;
    m_dialogs->EditExpression = [this](const QString& Expr) {
        return zd::editExpressionDialog(this, Expr, m_model->report());
    };
    // The dialogs that ask the designer for an expression get the same editor.
    m_model->ExpressionEditor = m_dialogs->EditExpression;
    m_dialogsScope = std::make_unique<TzdScopedDesignerDialogs>(*m_dialogs);

    m_inspector = new TzdObjectInspector(m_model);
    m_inspector->setObjectName(QStringLiteral("ObjectInspector"));
    m_inspector->OnModify = [this] {
        m_model->SetModifiedFlag(true);
        m_workspace->update();
    };
    m_inspector->OnSelectionChange = [this] {
        if (m_reportTree)
            m_reportTree->SelectDesignerSelection();
        m_workspace->update();
    };
    setToolWindow(QStringLiteral("ObjectInspector"), m_inspector);

    m_dataTree = new TzdDataTreeForm;
    m_dataTree->setObjectName(QStringLiteral("DataTreeForm"));
    m_dataTree->SetReport(m_model->report());
    m_dataTree->Hosted = true;
    m_dataTree->ShowCheckBoxes(true);
    setToolWindow(QStringLiteral("DataTreeForm"), m_dataTree);

    m_reportTree = new TzdReportTreeForm(m_model);
    m_reportTree->setObjectName(QStringLiteral("ReportTreeForm"));
    m_reportTree->SetPopupMenu(m_pagePopup);
    m_reportTree->OnSelectionChange = [this] { syncFromModel(); };
    setToolWindow(QStringLiteral("ReportTreeForm"), m_reportTree);

    // Fields dragged from the data tree become memos where they are dropped.
    m_workspace->OnDropOutside = [this](QDropEvent* Event) {
        TzdDataTreeForm* source = TzdDataTreeForm::FromDragSource(Event->source());
        if (!source)
            return false;
        const QPoint at = Event->position().toPoint();
        if (!zd::dataDragOver(*m_model, *source, at.x(), at.y()))
            return false;
        zd::dataDrop(*m_model, *source, at.x(), at.y());
        syncFromModel();
        return true;
    };

    m_codePage = new TzdCodePage(*m_model);
    m_codePage->setObjectName(QStringLiteral("CodePage"));
    m_codePage->OnShowCodePage = [this] {
        m_model->SelectTab(0);
        syncFromModel();
    };
    m_codePage->OnModified = [this] { updateToolbars(); };
    m_codePage->OnStatusText = [this](const QString& Text) { m_statusPos->setText(Text); };
    m_codePage->Debugger().Preview = [this] {
        commitCode();
        m_model->Preview();
    };
    // The code page brings its own language choice.
    if (auto* codeTB = m_codePanel->findChild<QToolBar*>(QStringLiteral("CodeTB")))
        codeTB->hide();
    setCodeEditor(m_codePage);
    m_codePage->LoadFromReport();
    attachCodeKeys();

    // Commands that put another report in place: the tools show it.
    for (const char* name : {"NewReportCmd", "OpenCmd", "NewItemCmd"})
        connect(m_actions[QString::fromLatin1(name)], &QAction::triggered, this, [this] { reportChanged(); });

    RefreshListeners.push_back([this] { refreshTools(); });
    attachDialogCommands();
    reportChanged();
}

void TzdDesignerForm::attachCodeKeys()
{
    const auto key = [this](const char* Sequence, std::function<void()> Command) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(Sequence)), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, Command] { runCommand(Command); });
    };
    key("Ctrl+E", [this] {
        m_codePage->Debugger().OnShowCodePage();
        m_codePage->CodeWindow()->setFocus();
    });
    key("F9", [this] { m_codePage->Debugger().Run(); });
    key("Ctrl+F2", [this] { m_codePage->Debugger().Stop(); });
    // On the code page the edit commands are the editor's own (the
    // designer's leave the code page alone).
    const auto editorCommand = [this](const char* Action, void (zd::SyntaxMemoModel::*Command)()) {
        connect(m_actions[QString::fromLatin1(Action)], &QAction::triggered, this, [this, Command] {
            if (m_model->CurrentTab() == 0)
                runCommand([this, Command] { (m_codePage->CodeWindow()->Model().*Command)(); });
        });
    };
    editorCommand("UndoCmd", &zd::SyntaxMemoModel::Undo);
    editorCommand("CutCmd", &zd::SyntaxMemoModel::CutToClipboard);
    editorCommand("CopyCmd", &zd::SyntaxMemoModel::CopyToClipboard);
    editorCommand("PasteCmd", &zd::SyntaxMemoModel::PasteFromClipboard);
    editorCommand("SelectAllCmd", &zd::SyntaxMemoModel::SelectAll);

    m_codePage->AttachDataTree(m_dataTree);
    m_dataTree->OnDblClick = [this] {
        if (m_model->CurrentTab() == 0) {
            const QString text = m_dataTree->InsertionText(-1);
            if (!text.isEmpty())
                m_codePage->InsertText(text);
            return;
        }
        TzdReport* report = m_model->report();
        if (m_dataTree->Tree(TzdDataTreeForm::tabData)->topLevelItemCount() == 0 && report &&
            report->DataSets()->Count() == 0)
            runCommand([this] { reportDataCmd(); });
    };
}

void TzdDesignerForm::helpCmd()
{
    // The code page, a dialog page and a selected dialog component have
    // pages of their own; everything else is the designer's page.
    QString topic = QStringLiteral("TzdDesignerForm");
    TzdComponent* page = m_model->CurrentPage;
    if (m_model->CurrentTab() == 0 || !page)
        topic = QStringLiteral("TzdSyntaxMemo");
    else if (dynamic_cast<TzdDialogPage*>(page))
        topic = QStringLiteral("TzdDialogPage");
    else if (!m_model->Selection.empty() && dynamic_cast<TzdDialogComponent*>(m_model->Selection.front()))
        topic = QStringLiteral("TzdDialogComponent");
    zdGetResources()->ShowHelpForClass(topic);
}

void TzdDesignerForm::attachDialogCommands()
{
    auto add = [this](const char* Name, const char* CaptionKey, void (TzdDesignerForm::*Handler)()) {
        auto* a = new QAction(this);
        a->setObjectName(QString::fromLatin1(Name));
        a->setProperty("captionKey", QString::fromLatin1(CaptionKey));
        connect(a, &QAction::triggered, this, [this, Handler] { runCommand([this, Handler] { (this->*Handler)(); }); });
        addAction(a);
        m_actions[QString::fromLatin1(Name)] = a;
        return a;
    };
    QAction* tabOrder = add("TabOrderCmd", "2404", &TzdDesignerForm::tabOrderCmd);
    m_pagePopup->addAction(tabOrder);
    QAction* connections = add("ConnectionsCmd", "2474", &TzdDesignerForm::connectionsCmd);
    m_menus["View"]->addAction(connections);
    // Tab order only on dialog pages; connections only in the standalone designer.
    const auto showFitting = [this, tabOrder, connections] {
        tabOrder->setVisible(m_model->CurrentPage && m_model->ShownPageKind() == fpkDialogPage);
        TzdDesigner* designer = TzdDesigner::Current();
        connections->setVisible(designer && designer->Standalone);
    };
    connect(m_pagePopup, &QMenu::aboutToShow, this, showFitting);
    connect(m_menus["View"], &QMenu::aboutToShow, this, showFitting);
    RefreshListeners.push_back(showFitting);
    showFitting();
}

void TzdDesignerForm::refreshTools()
{
    if (m_inspector) {
        m_inspector->UpdateObjectsList(m_model->PageObjects);
        m_inspector->SetSelectedObjects(m_model->Selection);
    }
    if (m_reportTree)
        m_reportTree->SelectDesignerSelection();
    if (m_codePage)
        m_codePage->UpdateControls();
}

void TzdDesignerForm::reportChanged()
{
    if (m_codePage)
        m_codePage->LoadFromReport();
    if (m_dataTree)
        m_dataTree->UpdateItems();
    if (m_reportTree)
        m_reportTree->UpdateItems();
    refreshTools();
}

// ---------------------------------------------------------------- commands

void TzdDesignerForm::previewCmd()
{
    if (m_codePage && m_codePage->Debugger().Paused()) {
        m_codePage->Debugger().Run();
        return;
    }
    commitCode();
    m_model->Preview();
}

void TzdDesignerForm::newItemCmd()
{
    TzdNewItemForm form(*m_model, this);
    if (plat::ExecModal(form) == QDialog::Accepted)
        form.Perform();
}

void TzdDesignerForm::pageSettingsCmd()
{
    if (!m_model->IsEnabled(QStringLiteral("PageSettingsCmd")) || !m_model->CurrentPage)
        return;
    m_dialogs->Units = m_model->UserUnits;
    if (!zdDesignerDialogs().EditPage(m_model->CurrentPage))
        return;
    m_model->SetModifiedFlag(true);
    m_model->ReloadFromReport();
}

void TzdDesignerForm::reportDataCmd()
{
    if (!m_model->IsEnabled(QStringLiteral("ReportDataCmd")))
        return;
    if (!zd::dialogs::EditReportData(m_model->report()))
        return;
    m_model->SetModifiedFlag(true);
    if (m_dataTree)
        m_dataTree->UpdateItems();
}

void TzdDesignerForm::variablesCmd()
{
    if (!m_model->IsEnabled(QStringLiteral("VariablesCmd")))
        return;
    TzdVarEditorForm form(m_model->report(), this);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return;
    m_model->SetModifiedFlag(true);
    if (m_dataTree)
        m_dataTree->UpdateItems();
}

void TzdDesignerForm::reportStylesCmd()
{
    if (!m_model->IsEnabled(QStringLiteral("ReportStylesCmd")))
        return;
    TzdStyleEditorForm form(m_model->report(), this);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return;
    m_model->SetModifiedFlag(true);
    m_workspace->update();
}

void TzdDesignerForm::reportOptionsCmd()
{
    if (!m_model->IsEnabled(QStringLiteral("ReportOptionsCmd")))
        return;
    TzdReportEditorForm form(m_model->report(), m_model, this);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return;
    m_model->SetModifiedFlag(true);
    m_model->ReloadFromReport();
}

void TzdDesignerForm::optionsCmd()
{
    zd::DesignerOptions o;
    o.Units = int(m_model->UserUnits);
    o.Grid1 = m_model->Grid1;
    o.Grid2 = m_model->Grid2;
    o.Grid3 = m_model->Grid3;
    o.Grid4 = m_model->Grid4;
    o.ShowGrid = m_showGrid;
    o.GridAlign = GridAlign();
    o.EditAfterInsert = m_model->EditAfterInsert;
    o.ShowBandCaptions = ShowBandCaptions;
    o.DropFields = DropFields;
    o.ShowStartup = ShowStartup;
    o.FreeBands = FreeBands;
    o.BandsGap = BandsGap;
    o.CodeFontName = ScriptFontName;
    o.CodeFontSize = ScriptFontSize;
    o.MemoFontName = MemoFontName;
    o.MemoFontSize = MemoFontSize;
    o.UseObjectFont = UseObjectFont;
    o.WorkspaceColor = WorkspaceColor;
    o.ToolsColor = ToolsColor;
    o.GridLCD = GridLCD;
    TzdOptionsEditor form(o, this);
    form.RestoreDefaults = [this] { ReadSettings(true); };
    if (plat::ExecModal(form) != QDialog::Accepted)
        return;
    if (o.Units != int(m_model->UserUnits)) {
        m_model->UserUnits = TzdRulerUnits(o.Units);
        m_model->SetUnits(m_model->UserUnits);
    }
    m_model->SetGrid(1, o.Grid1);
    m_model->SetGrid(2, o.Grid2);
    m_model->SetGrid(3, o.Grid3);
    m_model->SetGrid(4, o.Grid4);
    m_model->EditAfterInsert = o.EditAfterInsert;
    SetShowGrid(o.ShowGrid);
    SetGridAlign(o.GridAlign);
    ShowBandCaptions = o.ShowBandCaptions;
    DropFields = o.DropFields;
    ShowStartup = o.ShowStartup;
    FreeBands = o.FreeBands;
    BandsGap = o.BandsGap;
    ScriptFontName = o.CodeFontName;
    ScriptFontSize = o.CodeFontSize;
    MemoFontName = o.MemoFontName;
    MemoFontSize = o.MemoFontSize;
    UseObjectFont = o.UseObjectFont;
    WorkspaceColor = o.WorkspaceColor;
    ToolsColor = o.ToolsColor;
    GridLCD = o.GridLCD;
    m_workspace->update();
}

void TzdDesignerForm::tabOrderCmd()
{
    if (!m_model->CurrentPage || m_model->ShownPageKind() != fpkDialogPage)
        return;
    if (zd::dialogs::EditTabOrder(m_model))
        m_model->SetModifiedFlag(true);
    // The object lists follow the new (or restored) child order either way.
    m_model->RebuildObjects();
}

void TzdDesignerForm::connectionsCmd()
{
    TzdDesigner* designer = TzdDesigner::Current();
    if (!designer || !designer->Standalone)
        return;
    zd::dialogs::EditConnections(m_model->report());
}

void TzdDesignerForm::aboutCmd()
{
    TzdAboutForm form(this);
    plat::ExecModal(form);
}
