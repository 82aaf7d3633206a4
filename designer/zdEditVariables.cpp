#include "zdEditVariables.h"

#include "Modal.h"
#include "Services.h"
#include "StringList.h"
#include "IniFiles.h"
#include "zdClass_report.h"
#include "zdDataTree.h"
#include "zdDlgUtils.h"
#include "zdEditStrings.h"
#include "zdVariables.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// Tree nodes of categories carry this flag.
constexpr int kCategoryRole = Qt::UserRole + 1;
} // namespace

namespace zd {

namespace {

QStringList listOf(const plat::TStrings& List)
{
    QStringList out;
    for (int i = 0; i < List.Count(); ++i)
        out << List.Strings(i);
    return out;
}
} // namespace

VarEditModel::VarEditModel() : m_vars(std::make_unique<TzdVariables>()) {}
VarEditModel::~VarEditModel() = default;

void VarEditModel::Load(TzdReport* Report)
{
    m_vars->Clear();
    if (Report && Report->Variables())
        m_vars->Assign(Report->Variables());
}

void VarEditModel::Commit(TzdReport* Report)
{
    if (Report && Report->Variables())
        Report->Variables()->Assign(m_vars.get());
}

QStringList VarEditModel::Categories() const
{
    plat::TStringList list;
    m_vars->GetCategoryList(list);
    return listOf(list);
}

QStringList VarEditModel::VariablesOf(const QString& Category) const
{
    plat::TStringList list;
    m_vars->GetVariableList(Category, list);
    return listOf(list);
}

bool VarEditModel::RootHasChildren() const { return HasCategories() || !VariablesOf(QString()).isEmpty(); }

QString VarEditModel::UniqueName(const QString& Base) const
{
    for (int n = 1;; ++n) {
        const QString name = Base + QString::number(n);
        if (m_vars->IndexOf(name) < 0 && m_vars->IndexOf(u' ' + name) < 0)
            return name;
    }
}

QString VarEditModel::NewCategory()
{
    const QString name = UniqueName(QStringLiteral("New Category"));
    TzdVariable* v = m_vars->Add();
    v->SetName(u' ' + name);
    return name;
}

QString VarEditModel::CategoryOf(const QString& Variable) const
{
    const int index = m_vars->IndexOf(Variable);
    for (int i = index - 1; i >= 0; --i) {
        const QString& name = m_vars->GetItem(i)->Name();
        if (name.isEmpty())
            return {};
        if (name.startsWith(u' '))
            return name.mid(1);
    }
    return {};
}

QString VarEditModel::NewVariable(const QString& Selected, bool SelectedIsCategory, QString* Category)
{
    if (!RootHasChildren())
        return {};
    const QString name = UniqueName(QStringLiteral("New Variable"));
    if (!HasCategories()) {
        // No category: the new variable joins the uncategorised ones.
        const int end = VariablesOf(QString()).size();
        TzdVariable* v = end >= m_vars->Count() ? m_vars->Add() : m_vars->Insert(end);
        v->SetName(name);
        v->SetValue(plat::Variant(QString()));
        if (Category)
            Category->clear();
        return name;
    }
    QString category;
    if (SelectedIsCategory && !Selected.isEmpty())
        category = Selected;
    else if (!Selected.isEmpty() && m_vars->IndexOf(Selected) >= 0)
        category = CategoryOf(Selected);
    if (category.isEmpty())
        category = Categories().constLast();
    m_vars->AddVariable(category, name, plat::Variant(QString()));
    if (Category)
        *Category = category;
    return name;
}

int VarEditModel::indexOf(const QString& Name, bool IsCategory) const
{
    return m_vars->IndexOf(IsCategory ? u' ' + Name : Name);
}

bool VarEditModel::Rename(const QString& Old, const QString& New, bool IsCategory)
{
    const int index = indexOf(Old, IsCategory);
    if (index < 0 || New.isEmpty())
        return false;
    if (Old == New)
        return true;
    const int other = indexOf(New, IsCategory);
    if (other >= 0 && other != index)
        return false;
    m_vars->GetItem(index)->SetName(IsCategory ? u' ' + New : New);
    return true;
}

void VarEditModel::Delete(const QString& Name, bool IsCategory)
{
    if (IsCategory)
        m_vars->DeleteCategory(Name);
    else
        m_vars->DeleteVariable(Name);
}

bool VarEditModel::IsInherited(const QString& Name, bool IsCategory) const
{
    const int index = indexOf(Name, IsCategory);
    return index >= 0 && m_vars->GetItem(index)->IsInherited;
}

QString VarEditModel::ValueText(const QString& Name) const
{
    const int index = m_vars->IndexOf(Name);
    if (index < 0)
        return {};
    const plat::Variant& value = m_vars->GetItem(index)->Value();
    return value.isNull() || value.isEmpty() ? QString() : value.toString();
}

void VarEditModel::SetValue(const QString& Name, const QString& Text)
{
    if (m_vars->IndexOf(Name) >= 0)
        m_vars->SetVariables(Name, plat::Variant(Text));
}

QStringList VarEditModel::ListLines() const
{
    QStringList lines;
    for (int i = 0; i < m_vars->Count(); ++i) {
        const QString& name = m_vars->GetItem(i)->Name();
        lines << (name.startsWith(u' ') ? name.mid(1) : u' ' + name);
    }
    return lines;
}

void VarEditModel::ApplyList(const QStringList& Lines)
{
    TzdVariables result;
    for (const QString& line : Lines) {
        if (line.trimmed().isEmpty())
            continue;
        const QString name = line.startsWith(u' ') ? line.mid(1) : u' ' + line;
        const int old = m_vars->IndexOf(name);
        const plat::Variant value = old >= 0 ? m_vars->GetItem(old)->Value() : plat::Variant(QString());
        const int existing = result.IndexOf(name);
        TzdVariable* v = existing >= 0 ? result.GetItem(existing) : result.Add();
        v->SetName(name);
        v->SetValue(value);
    }
    m_vars->Assign(&result);
}

} // namespace zd

using zd::dlg::key;
using zd::dlg::res;

TzdVarEditorForm::TzdVarEditorForm(TzdReport* Report, QWidget* Parent) : QDialog(Parent), m_report(Report)
{
    setObjectName(QStringLiteral("TzdVarEditorForm"));
    setProperty("className", QStringLiteral("TzdVarEditorForm"));
    setWindowTitle(res(2900, "Upravit proměnné"));
    resize(532, 548);
    m_ancestor = Report && Report->IsAncestor();
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QToolBar(this);
    auto action = [bar](const char* name, const QString& hint) { return zd::dlg::toolAction(bar, name, hint); };
    m_newCategoryB = action("NewCategoryB", res(2901, "Kategorie"));
    m_newVarB = action("NewVarB", res(2902, "Proměnná"));
    m_editB = action("EditB", res(2903, "Upravit"));
    m_deleteB = action("DeleteB", res(2904, "Odstranit"));
    m_editListB = action("EditListB", res(2905, "Seznam"));
    m_loadB = action("LoadB", res(2906, "Načíst"));
    m_saveB = action("SaveB", res(2907, "Uložit"));
    QAction* cancelB = action("CancelB", res(2, "Zrušit"));
    QAction* okB = action("OkB", res(1, "OK"));
    layout->addWidget(bar);

    // The tree beside the data tree's panel, over the expression box.
    m_split1 = new QSplitter(Qt::Vertical, this);
    m_split1->setObjectName(QStringLiteral("Splitter1"));
    m_split2 = new QSplitter(Qt::Horizontal, m_split1);
    m_split2->setObjectName(QStringLiteral("Splitter2"));
    m_tree = new QTreeWidget(m_split2);
    m_tree->setObjectName(QStringLiteral("VarTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_tree->installEventFilter(this);
    auto* panel = new QWidget(m_split2);
    panel->setObjectName(QStringLiteral("Panel"));
    m_split1->setStretchFactor(0, 1);
    m_split2->setStretchFactor(0, 1);
    auto* exprPanel = new QWidget(m_split1);
    exprPanel->setObjectName(QStringLiteral("ExprPanel"));
    auto* el = new QVBoxLayout(exprPanel);
    el->setContentsMargins(0, 0, 0, 0);
    el->addWidget(new QLabel(u' ' + res(2908, " Výraz:"), exprPanel));
    m_expr = new QPlainTextEdit(exprPanel);
    m_expr->setObjectName(QStringLiteral("ExprMemo"));
    el->addWidget(m_expr);
    layout->addWidget(m_split1, 1);
    m_dataTree = zd::embedDataTree(panel, Report, m_expr);
    m_dataTree->SetHintHeight(64);

    connect(okB, &QAction::triggered, this, &QDialog::accept);
    connect(cancelB, &QAction::triggered, this, &QDialog::reject);
    connect(m_newCategoryB, &QAction::triggered, this, [this] { NewCategory(); });
    connect(m_newVarB, &QAction::triggered, this, [this] { NewVariable(); });
    connect(m_editB, &QAction::triggered, this, [this] {
        QTreeWidgetItem* node = m_tree->currentItem();
        if (node && node != m_root && m_editB->isEnabled())
            m_tree->editItem(node);
    });
    connect(m_deleteB, &QAction::triggered, this, [this] { DeleteNode(); });
    connect(m_editListB, &QAction::triggered, this, [this] { zd::dlg::guard([this] { EditList(); }); });
    const QString filter = res(2909, "Slovník (*.fd3)") + QStringLiteral("|*.fd3");
    connect(m_loadB, &QAction::triggered, this, [this, filter] {
        zd::dlg::guard([&] {
            plat::FileDialogRequest request;
            request.filter = filter;
            request.defaultExt = QStringLiteral("fd3");
            const auto result = plat::Services().FileDialog(request);
            if (!result.accepted)
                return;
            m_model.Vars().LoadFromFile(result.FileName());
            rebuild();
        });
    });
    connect(m_saveB, &QAction::triggered, this, [this, filter] {
        zd::dlg::guard([&] {
            SelectNode(QString());
            plat::FileDialogRequest request;
            request.kind = plat::FileDialogRequest::Save;
            request.filter = filter;
            request.defaultExt = QStringLiteral("fd3");
            request.options = {plat::ofOverwritePrompt};
            const auto result = plat::Services().FileDialog(request);
            if (result.accepted)
                m_model.Vars().SaveToFile(plat::ApplyDefaultExt(result.FileName(), request.defaultExt));
        });
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
        if (m_filling)
            return;
        commitValue(previous);
        m_expr->setPlainText(current && current != m_root && !isCategory(current)
                                 ? m_model.ValueText(current->text(0))
                                 : QString());
        m_expr->document()->setModified(false);
        updateButtons();
    });
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node) { labelEdited(node); });

    m_model.Load(Report);
    rebuild();
}

TzdVarEditorForm::~TzdVarEditorForm() = default;

bool TzdVarEditorForm::isCategory(QTreeWidgetItem* Node) const
{
    return Node && Node->data(0, kCategoryRole).toBool();
}

void TzdVarEditorForm::rebuild()
{
    m_filling = true;
    m_tree->clear();
    m_root = new QTreeWidgetItem(m_tree);
    const auto addNode = [](QTreeWidgetItem* parent, const QString& name, bool category) {
        auto* node = new QTreeWidgetItem(parent, QStringList{name});
        node->setData(0, kCategoryRole, category);
        node->setFlags(node->flags() | Qt::ItemIsEditable);
        return node;
    };
    const QStringList categories = m_model.Categories();
    for (const QString& category : categories) {
        QTreeWidgetItem* node = addNode(m_root, category, true);
        for (const QString& var : m_model.VariablesOf(category))
            addNode(node, var, false);
    }
    if (categories.isEmpty())
        for (const QString& var : m_model.VariablesOf(QString()))
            addNode(m_root, var, false);
    updateRootCaption();
    m_tree->expandAll();
    m_tree->setCurrentItem(m_root);
    m_expr->clear();
    m_expr->document()->setModified(false);
    m_filling = false;
    updateButtons();
}

void TzdVarEditorForm::updateRootCaption()
{
    m_root->setText(0, m_root->childCount() ? key("vaVar") : key("vaNoVar"));
}

void TzdVarEditorForm::updateButtons()
{
    m_loadB->setEnabled(!m_ancestor);
    m_editListB->setEnabled(!m_ancestor);
    QTreeWidgetItem* node = m_tree->currentItem();
    const bool named = node && node != m_root;
    const bool editable = named && !m_model.IsInherited(node->text(0), isCategory(node));
    m_editB->setEnabled(editable);
    m_deleteB->setEnabled(editable);
}

void TzdVarEditorForm::commitValue(QTreeWidgetItem* Node)
{
    if (!Node || Node == m_root || isCategory(Node) || !m_expr->document()->isModified())
        return;
    m_model.SetValue(Node->text(0), m_expr->toPlainText());
    m_expr->document()->setModified(false);
}

void TzdVarEditorForm::SelectNode(const QString& Name)
{
    QTreeWidgetItem* found = m_root;
    if (!Name.isEmpty()) {
        const auto matches = m_tree->findItems(Name, Qt::MatchExactly | Qt::MatchRecursive);
        if (!matches.isEmpty())
            found = matches.first();
    }
    m_tree->setCurrentItem(found);
}

void TzdVarEditorForm::NewCategory()
{
    const QString name = m_model.NewCategory();
    // The first category hides the uncategorised variables: rebuild.
    rebuild();
    SelectNode(name);
}

void TzdVarEditorForm::NewVariable()
{
    QTreeWidgetItem* node = m_tree->currentItem();
    const bool onNode = node && node != m_root;
    const QString name = m_model.NewVariable(onNode ? node->text(0) : QString(), isCategory(node));
    if (name.isEmpty())
        return;
    commitValue(node);
    rebuild();
    SelectNode(name);
}

void TzdVarEditorForm::DeleteNode()
{
    QTreeWidgetItem* node = m_tree->currentItem();
    if (!node || node == m_root || !m_deleteB->isEnabled())
        return;
    m_model.Delete(node->text(0), isCategory(node));
    rebuild();
}

void TzdVarEditorForm::EditList()
{
    TzdStringsEditorForm form(this);
    form.SetLines(m_model.ListLines());
    if (plat::ExecModal(form) != QDialog::Accepted)
        return;
    m_model.ApplyList(form.Lines());
    rebuild();
}

void TzdVarEditorForm::labelEdited(QTreeWidgetItem* Node)
{
    if (m_filling || !Node || Node == m_root)
        return;
    const bool category = isCategory(Node);
    // The old name is the one the model still has at this position.
    QString previous;
    if (category) {
        const QStringList cats = m_model.Categories();
        const int i = m_root->indexOfChild(Node);
        previous = cats.value(i);
    } else {
        QTreeWidgetItem* parent = Node->parent();
        const QStringList vars = m_model.VariablesOf(parent == m_root ? QString() : parent->text(0));
        previous = vars.value(parent->indexOfChild(Node));
    }
    const QString typed = Node->text(0);
    if (typed == previous)
        return;
    if (!m_editB->isEnabled() || !m_model.Rename(previous, typed, category)) {
        m_filling = true;
        Node->setText(0, previous);
        m_filling = false;
        if (m_editB->isEnabled())
            zd::dlg::showError(key("vaDupName"));
    }
}

namespace {
// The data tree's tab and scroll position at the last close, for the next one.
TzdDataTreeForm::ScrollState& lastVariablesTreeState()
{
    static TzdDataTreeForm::ScrollState state;
    return state;
}
constexpr int kDefaultExprHeight = 76;
constexpr int kDefaultTreePanelWidth = 400;
} // namespace

void TzdVarEditorForm::setVisible(bool Visible)
{
    // The place comes back before the window shows; the splitters once it
    // has its size.
    const bool showing = Visible && !isVisible() && !m_placing;
    int exprHeight = kDefaultExprHeight;
    int panelWidth = kDefaultTreePanelWidth;
    if (showing) {
        m_placing = true;
        zd::dlg::restoreDialogPlace(this, m_report, [&](plat::TCustomIniFile& Settings, const QString& Section) {
            exprHeight = Settings.ReadInteger(Section, QStringLiteral("Split1Pos"), kDefaultExprHeight);
            panelWidth = Settings.ReadInteger(Section, QStringLiteral("Split2Pos"), kDefaultTreePanelWidth);
        });
        m_placing = false;
    }
    QDialog::setVisible(Visible);
    if (!showing)
        return;
    // A damaged value leaves the default.
    if (exprHeight <= 0 || exprHeight > 10000)
        exprHeight = kDefaultExprHeight;
    if (panelWidth <= 0 || panelWidth > 10000)
        panelWidth = kDefaultTreePanelWidth;
    const int height = std::max(m_split1->height(), exprHeight + 1);
    m_split1->setSizes({height - exprHeight, exprHeight});
    const int width = std::max(m_split2->width(), panelWidth + 1);
    m_split2->setSizes({width - panelWidth, panelWidth});
    m_tree->setFocus();
    m_dataTree->SetScrollState(lastVariablesTreeState());
}

void TzdVarEditorForm::done(int Result)
{
    if (isVisible()) {
        zd::dlg::saveDialogPlace(this, m_report, [this](plat::TCustomIniFile& Settings, const QString& Section) {
            Settings.WriteInteger(Section, QStringLiteral("Split1Pos"), m_split1->sizes().value(1));
            Settings.WriteInteger(Section, QStringLiteral("Split2Pos"), m_split2->sizes().value(1));
        });
        lastVariablesTreeState() = m_dataTree->GetScrollState();
    }
    QDialog::done(Result);
}

void TzdVarEditorForm::accept()
{
    commitValue(m_tree->currentItem());
    m_model.Commit(m_report);
    QDialog::accept();
}

bool TzdVarEditorForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == m_tree && Event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(Event);
        switch (k->key()) {
        case Qt::Key_Insert:
            if (m_model.RootHasChildren())
                NewVariable();
            else
                NewCategory();
            return true;
        case Qt::Key_Delete:
            DeleteNode();
            return true;
        case Qt::Key_F2:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (k->modifiers().testFlag(Qt::ControlModifier)) {
                accept();
                return true;
            }
            m_editB->trigger();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}
