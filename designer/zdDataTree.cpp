#include "zdDataTree.h"

#include "Graphics.h"
#include "StringList.h"
#include "zdClass_report.h"
#include "zdDataSets.h"
#include "zdRes.h"
#include "zdUtils.h"
#include "zdVariables.h"
#include "zs_itools.h"
#include "zs_script.h"
#include "zs_xml.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Designer images of the nodes.
constexpr int kDataRootImage = 53;
constexpr int kDatasetImage = 72;
constexpr int kNumericFieldImage = 104;
constexpr int kStringFieldImage = 102;
constexpr int kBooleanFieldImage = 107;
constexpr int kOtherFieldImage = 54;
constexpr int kGroupImage = 66;
constexpr int kVariableImage = 80;
constexpr int kFunctionImage = 52;
constexpr int kClassImage = 78;
constexpr int kPropertyImage = 73;
constexpr int kEventImage = 79;
constexpr int kMethodImage = 74;

constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kDefaultWidth = 327;
constexpr int kDefaultHeight = 427;
constexpr int kIndent = 19;
constexpr int kCheckPanelHeight = 53;
constexpr int kHintPanelHeight = 96;

const char* const kSystemVariables[] = {"Date",       "Time",        "Page", "Page#",    "TotalPages",
                                        "TotalPages#", "Line", "Line#", "CopyName#"};

const char* const kPlaceholder = "more...";

QString res(const char* Key) { return zdGetResources()->GetText(QString::fromLatin1(Key)); }

// A numbered text, or the built-in one where the string table has none.
QString resNumber(int Id, const char* Fallback)
{
    const QString text = zdGetResText(Id);
    return text == QString::number(Id) ? QString::fromUtf8(Fallback) : text;
}

QTreeWidgetItem* newNode(QTreeWidgetItem* Parent, QTreeWidget* Tree, const QString& Text, int Image)
{
    auto* node = Parent ? new QTreeWidgetItem(Parent) : new QTreeWidgetItem(Tree);
    node->setText(0, Text);
    node->setData(0, kImageRole, Image);
    const zd::ImageList& images = zdGetResources()->GetDesignerButtonImages();
    if (Image >= 0 && Image < images.size())
        node->setIcon(0, QIcon(QPixmap::fromImage(images.at(Image))));
    return node;
}

// Nodes with children are bold (the classes tree bolds its top node only).
void boldParents(QTreeWidgetItem* Node)
{
    for (int i = 0; i < Node->childCount(); ++i)
        boldParents(Node->child(i));
    QFont f = Node->font(0);
    f.setBold(Node->childCount() > 0);
    Node->setFont(0, f);
}

int fieldImage(TzdDataSet* DataSet, const QString& Field)
{
    try {
        switch (DataSet->GetFieldType(Field)) {
        case fftNumeric: return kNumericFieldImage;
        case fftString: return kStringFieldImage;
        case fftBoolean: return kBooleanFieldImage;
        }
    } catch (...) {
    }
    return kOtherFieldImage;
}

QStringList stringsOf(const plat::TStrings& List)
{
    QStringList out;
    for (int i = 0; i < List.Count(); ++i)
        out << List.Strings(i);
    return out;
}

QTreeWidget* makeTree(QWidget* Parent, const char* Name)
{
    auto* tree = new QTreeWidget(Parent);
    tree->setObjectName(QString::fromLatin1(Name));
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(false);
    tree->setIndentation(kIndent);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setDragEnabled(true);
    tree->setDragDropMode(QAbstractItemView::DragOnly);
    tree->setFrameShape(QFrame::StyledPanel);
    return tree;
}

// Runs an event's work; what it raises is shown, never passed to the event loop.
template <class F>
void guarded(F&& Work)
{
    try {
        Work();
    } catch (const std::exception& e) {
        zdErrorMessage(QString::fromUtf8(e.what()));
    }
}

// The no-data message reports double clicks like the trees do.
class NoDataLabel : public QLabel {
public:
    NoDataLabel(QWidget* Parent, std::function<void()> OnDouble) : QLabel(Parent), m_onDouble(std::move(OnDouble)) {}

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override { guarded(m_onDouble); }

private:
    std::function<void()> m_onDouble;
};

} // namespace

// ---------------------------------------------------------------- construction

TzdDataTreeForm::TzdDataTreeForm(QWidget* Parent) : QWidget(Parent)
{
    setObjectName(QStringLiteral("DataTreeForm"));
    setWindowTitle(resNumber(2100, "Strom dat"));
    resize(kDefaultWidth, kDefaultHeight);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(11);
    setFont(f);

    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("TabSet"));
    m_tabs->addTab(resNumber(2101, "Data"));
    m_tabs->addTab(resNumber(2102, "Proměnné"));
    m_tabs->addTab(resNumber(2103, "Funkce"));
    m_tabs->addTab(resNumber(2106, "Třídy"));
    m_tabs->setExpanding(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs);

    static const char* const kPanels[] = {"DataPn", "VariablesPn", "FunctionsPn", "ClassesPn"};
    static const char* const kTrees[] = {"DataTree", "VariablesTree", "FunctionsTree", "ClassesTree"};
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QWidget(this);
        m_panels[i]->setObjectName(QString::fromLatin1(kPanels[i]));
        auto* pl = new QVBoxLayout(m_panels[i]);
        pl->setContentsMargins(0, 0, 0, 0);
        pl->setSpacing(0);
        m_trees[i] = makeTree(m_panels[i], kTrees[i]);
        layout->addWidget(m_panels[i], 1);
    }

    // Data panel: the tree (or the no-data message) and the check boxes.
    auto* dataLayout = static_cast<QVBoxLayout*>(m_panels[tabData]->layout());
    m_trees[tabData]->setSelectionMode(QAbstractItemView::SingleSelection);
    dataLayout->addWidget(m_trees[tabData], 1);
    m_noDataPn = new QWidget(m_panels[tabData]);
    m_noDataPn->setObjectName(QStringLiteral("NoDataPn"));
    m_noDataPn->setAutoFillBackground(true);
    m_noDataPn->setBackgroundRole(QPalette::Base);
    auto* nl = new QVBoxLayout(m_noDataPn);
    m_noDataL = new NoDataLabel(m_noDataPn, [this] {
        if (OnDblClick)
            OnDblClick();
    });
    m_noDataL->setObjectName(QStringLiteral("NoDataL"));
    m_noDataL->setAlignment(Qt::AlignCenter);
    m_noDataL->setWordWrap(true);
    nl->addWidget(m_noDataL);
    m_noDataPn->hide();
    dataLayout->addWidget(m_noDataPn, 1);
    m_cbPanel = new QWidget(m_panels[tabData]);
    m_cbPanel->setObjectName(QStringLiteral("CBPanel"));
    m_cbPanel->setFixedHeight(kCheckPanelHeight);
    auto* cl = new QVBoxLayout(m_cbPanel);
    cl->setContentsMargins(4, 0, 4, 0);
    cl->setSpacing(0);
    m_insField = new QCheckBox(resNumber(2104, "Vytvořit pole"), m_cbPanel);
    m_insField->setObjectName(QStringLiteral("InsFieldCB"));
    m_insField->setChecked(true);
    m_insCaption = new QCheckBox(resNumber(2105, "Vytvořit nadpis"), m_cbPanel);
    m_insCaption->setObjectName(QStringLiteral("InsCaptionCB"));
    m_sort = new QCheckBox(resNumber(6004, "Sort by Name"), m_cbPanel);
    m_sort->setObjectName(QStringLiteral("SortCB"));
    cl->addWidget(m_insField);
    cl->addWidget(m_insCaption);
    cl->addWidget(m_sort);
    m_cbPanel->hide();
    dataLayout->addWidget(m_cbPanel);

    static_cast<QVBoxLayout*>(m_panels[tabVariables]->layout())->addWidget(m_trees[tabVariables]);
    static_cast<QVBoxLayout*>(m_panels[tabClasses]->layout())->addWidget(m_trees[tabClasses]);

    // Functions panel: the tree over the hint panel.
    auto* splitter = new QSplitter(Qt::Vertical, m_panels[tabFunctions]);
    splitter->addWidget(m_trees[tabFunctions]);
    auto* hint = new QWidget(splitter);
    hint->setObjectName(QStringLiteral("HintPanel"));
    auto* hl = new QVBoxLayout(hint);
    hl->setContentsMargins(0, 0, 0, 0);
    hl->setSpacing(0);
    m_functionName = new QLabel(hint);
    m_functionName->setObjectName(QStringLiteral("FunctionNameL"));
    m_functionName->setWordWrap(true);
    QFont bold = m_functionName->font();
    bold.setBold(true);
    m_functionName->setFont(bold);
    m_functionName->setAutoFillBackground(true);
    m_functionName->setBackgroundRole(QPalette::ToolTipBase);
    m_functionDesc = new QLabel(hint);
    m_functionDesc->setObjectName(QStringLiteral("FunctionDescL"));
    m_functionDesc->setWordWrap(true);
    m_functionDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_functionDesc->setAutoFillBackground(true);
    m_functionDesc->setBackgroundRole(QPalette::Base);
    hl->addWidget(m_functionName);
    hl->addWidget(m_functionDesc, 1);
    splitter->addWidget(hint);
    splitter->setSizes({kDefaultHeight - kHintPanelHeight, kHintPanelHeight});
    static_cast<QVBoxLayout*>(m_panels[tabFunctions]->layout())->addWidget(splitter);

    QObject::connect(m_tabs, &QTabBar::currentChanged, this, [this](int i) { guarded([&] { tabChanged(i); }); });
    QObject::connect(m_sort, &QCheckBox::toggled, this, [this] { guarded([&] { UpdateData(); }); });
    QObject::connect(m_trees[tabFunctions], &QTreeWidget::currentItemChanged, this,
                     [this] { guarded([&] { functionSelected(); }); });
    QObject::connect(m_trees[tabClasses], &QTreeWidget::itemExpanded, this,
                     [this](QTreeWidgetItem* n) { guarded([&] { classExpanded(n); }); });
    for (QTreeWidget* tree : m_trees)
        QObject::connect(tree, &QTreeWidget::itemDoubleClicked, this, [this] {
            guarded([&] {
                if (OnDblClick)
                    OnDblClick();
            });
        });
    tabChanged(tabData);
}

TzdDataTreeForm::~TzdDataTreeForm()
{
    if (Hosted)
        CollapsedDatasets() = CollapsedState();
}

QString& TzdDataTreeForm::CollapsedDatasets()
{
    static QString collapsed;
    return collapsed;
}

TzdDataTreeForm* TzdDataTreeForm::FromDragSource(QObject* Source)
{
    for (QObject* o = Source; o; o = o->parent())
        if (auto* form = dynamic_cast<TzdDataTreeForm*>(o))
            return form;
    return nullptr;
}

QTreeWidget* TzdDataTreeForm::Tree(int TabIndex) const
{
    return TabIndex >= 0 && TabIndex < 4 ? m_trees[TabIndex] : nullptr;
}

void TzdDataTreeForm::ShowCheckBoxes(bool Value) { m_cbPanel->setVisible(Value); }

// ---------------------------------------------------------------- filling

void TzdDataTreeForm::UpdateItems()
{
    UpdateData();
    UpdateVariables();
    m_firstFill = false;
}

QString TzdDataTreeForm::CollapsedState() const
{
    QString state;
    QTreeWidget* tree = m_trees[tabData];
    if (tree->topLevelItemCount() == 0)
        return state;
    QTreeWidgetItem* root = tree->topLevelItem(0);
    for (int i = 0; i < root->childCount(); ++i)
        if (!root->child(i)->isExpanded())
            state += root->child(i)->text(0) + u',';
    return state;
}

void TzdDataTreeForm::UpdateData()
{
    applySelectionMode();
    QTreeWidget* tree = m_trees[tabData];
    struct Entry {
        TzdDataSet* ds;
        QString alias;
        QStringList fields;
    };
    std::vector<Entry> entries;
    if (m_report) {
        QStringList names;
        std::vector<TzdDataSet*> objects;
        m_report->ListReportDatasets(names, objects, false);
        for (TzdDataSet* ds : objects) {
            QStringList fields = zd::fieldListOf(ds);
            if (m_sort->isChecked())
                fields.sort(Qt::CaseInsensitive);
            entries.push_back({ds, m_report->AliasOfDataset(ds), fields});
        }
        if (m_sort->isChecked())
            std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
                return QString::compare(a.alias, b.alias, Qt::CaseInsensitive) < 0;
            });
    }
    const QString collapsed = m_firstFill ? CollapsedDatasets() : CollapsedState();

    tree->setUpdatesEnabled(false);
    tree->clear();
    m_datasets.clear();
    if (entries.empty()) {
        m_noDataL->setText(res("dtNoData") + QStringLiteral("\n\n") + res("dtNoData1"));
        m_noDataPn->show();
        tree->hide();
    } else {
        m_noDataPn->hide();
        tree->show();
        QTreeWidgetItem* root = newNode(nullptr, tree, res("dtData"), kDataRootImage);
        for (const Entry& e : entries) {
            QTreeWidgetItem* dsNode = newNode(root, tree, e.alias, kDatasetImage);
            m_datasets[dsNode] = e.ds;
            for (const QString& field : e.fields) {
                QTreeWidgetItem* fieldNode = newNode(dsNode, tree, field, fieldImage(e.ds, field));
                m_datasets[fieldNode] = e.ds;
            }
        }
        boldParents(root);
        root->setExpanded(true);
        for (int i = 0; i < root->childCount(); ++i)
            root->child(i)->setExpanded(!collapsed.contains(root->child(i)->text(0) + u','));
    }
    tree->setUpdatesEnabled(true);
}

void TzdDataTreeForm::UpdateVariables()
{
    QTreeWidget* tree = m_trees[tabVariables];
    tree->clear();
    QTreeWidgetItem* root = newNode(nullptr, tree, res("dtVar"), kGroupImage);
    if (TzdVariables* vars = m_report ? m_report->Variables() : nullptr) {
        plat::TStringList categories;
        vars->GetCategoryList(categories);
        auto addVariables = [&](const QString& category, QTreeWidgetItem* parent) {
            plat::TStringList list;
            vars->GetVariableList(category, list);
            for (const QString& name : stringsOf(list))
                newNode(parent, tree, name, kVariableImage);
        };
        if (categories.Count() == 0)
            addVariables(QString(), root);
        for (const QString& category : stringsOf(categories))
            addVariables(category, newNode(root, tree, category, kGroupImage));
    }
    QTreeWidgetItem* system = newNode(root, tree, res("dtSysVar"), kGroupImage);
    for (const char* name : kSystemVariables)
        newNode(system, tree, QString::fromLatin1(name), kVariableImage);
    boldParents(root);
    tree->expandAll();
    tree->scrollToItem(root);
}

void TzdDataTreeForm::ensureCodeTree()
{
    if (m_codeTree)
        return;
    m_codeTree = std::make_unique<TzsXMLItem>();
    if (!m_report || !m_report->Script())
        return;
    try {
        m_report->Script()->AddRTTI();
        zsBuildScriptTreeXML(m_report->Script(), m_codeTree.get(), false);
    } catch (...) {
        // A script that cannot list itself leaves the tabs empty.
    }
}

void TzdDataTreeForm::addFunctions(TzsXMLItem* Item, QTreeWidgetItem* Parent)
{
    QTreeWidget* tree = m_trees[tabFunctions];
    for (int i = 0; i < Item->Count(); ++i) {
        TzsXMLItem* child = Item->Items(i);
        const QString text = child->Prop(QStringLiteral("text"));
        if (child->Count() > 0) {
            const QString caption = zdGetResources()->GetText(text);
            if (caption.compare(QLatin1String("hidden"), Qt::CaseInsensitive) == 0 ||
                text.compare(QLatin1String("hidden"), Qt::CaseInsensitive) == 0)
                continue;
            addFunctions(child, newNode(Parent, tree, caption, kGroupImage));
        } else {
            const qsizetype blank = text.indexOf(u' ');
            const QString shown = blank < 0 ? text : text.mid(blank + 1);
            if (shown.compare(QLatin1String("hidden"), Qt::CaseInsensitive) == 0)
                continue;
            m_codeItems[newNode(Parent, tree, shown, kFunctionImage)] = child;
        }
    }
}

void TzdDataTreeForm::UpdateFunctions()
{
    ensureCodeTree();
    QTreeWidget* tree = m_trees[tabFunctions];
    tree->clear();
    m_functionsBuilt = true;
    QTreeWidgetItem* root = newNode(nullptr, tree, res("dtFunc"), kGroupImage);
    const int at = m_codeTree->Find(QStringLiteral("Functions"));
    if (at >= 0)
        addFunctions(m_codeTree->Items(at), root);
    boldParents(root);
    tree->expandAll();
    tree->scrollToTop();
}

void TzdDataTreeForm::UpdateClasses()
{
    ensureCodeTree();
    QTreeWidget* tree = m_trees[tabClasses];
    tree->clear();
    m_classesBuilt = true;
    QTreeWidgetItem* root = newNode(nullptr, tree, resNumber(2106, "Třídy"), kGroupImage);
    QFont bold = root->font(0);
    bold.setBold(true);
    root->setFont(0, bold);
    const int at = m_codeTree->Find(QStringLiteral("Classes"));
    if (at >= 0) {
        TzsXMLItem* classes = m_codeTree->Items(at);
        for (int i = 0; i < classes->Count(); ++i) {
            TzsXMLItem* cls = classes->Items(i);
            QTreeWidgetItem* node = newNode(root, tree, cls->Prop(QStringLiteral("text")), kClassImage);
            m_codeItems[node] = cls;
            newNode(node, tree, QString::fromLatin1(kPlaceholder), -1);
        }
    }
    root->setExpanded(true);
}

void TzdDataTreeForm::classExpanded(QTreeWidgetItem* Node)
{
    const auto it = m_codeItems.find(Node);
    if (it == m_codeItems.end() || Node->parent() == nullptr)
        return;
    TzsXMLItem* cls = it->second;
    // Members are listed once; the node then forgets its item.
    m_codeItems.erase(it);
    qDeleteAll(Node->takeChildren());
    QTreeWidget* tree = m_trees[tabClasses];
    for (int i = 0; i < cls->Count(); ++i) {
        const QString text = cls->Items(i)->Prop(QStringLiteral("text"));
        const int image = text.startsWith(QLatin1String("property ")) ? kPropertyImage
                          : text.startsWith(QLatin1String("event ")) ? kEventImage
                                                                       : kMethodImage;
        newNode(Node, tree, text, image);
    }
}

void TzdDataTreeForm::functionSelected()
{
    QTreeWidgetItem* node = m_trees[tabFunctions]->currentItem();
    const auto it = node ? m_codeItems.find(node) : m_codeItems.end();
    if (it == m_codeItems.end()) {
        m_functionName->clear();
        m_functionDesc->clear();
        return;
    }
    m_functionName->setText(it->second->Prop(QStringLiteral("text")));
    m_functionDesc->setText(zdGetResources()->GetText(it->second->Prop(QStringLiteral("description"))));
}

// ---------------------------------------------------------------- tabs

void TzdDataTreeForm::applySelectionMode()
{
    m_trees[tabData]->setSelectionMode(Hosted && IsDataTab() ? QAbstractItemView::ExtendedSelection
                                                             : QAbstractItemView::SingleSelection);
}

void TzdDataTreeForm::tabChanged(int Index)
{
    for (int i = 0; i < 4; ++i)
        m_panels[i]->setVisible(i == Index);
    applySelectionMode();
    if (Index == tabFunctions && !m_functionsBuilt)
        UpdateFunctions();
    else if (Index == tabClasses && !m_classesBuilt)
        UpdateClasses();
}

void TzdDataTreeForm::SetActiveTab(int Index)
{
    if (Index < 0 || Index >= 4)
        return;
    if (m_tabs->currentIndex() == Index)
        tabChanged(Index);
    else
        m_tabs->setCurrentIndex(Index);
}

int TzdDataTreeForm::ActiveTab() const { return m_tabs->currentIndex(); }

bool TzdDataTreeForm::IsDataTab() { return m_tabs->currentIndex() == tabData; }

TzdDataTreeForm::ScrollState TzdDataTreeForm::GetScrollState() const
{
    const int tab = m_tabs->currentIndex();
    return {tab, m_trees[tab]->verticalScrollBar()->value()};
}

void TzdDataTreeForm::SetScrollState(const ScrollState& State)
{
    SetActiveTab(State.Tab);
    if (QTreeWidget* tree = Tree(State.Tab))
        tree->verticalScrollBar()->setValue(State.TopIndex);
}

void TzdDataTreeForm::SetHintHeight(int Height)
{
    auto* splitter = m_panels[tabFunctions]->findChild<QSplitter*>();
    if (!splitter || Height < 0)
        return;
    const QList<int> sizes = splitter->sizes();
    const int total = std::max(sizes.value(0) + sizes.value(1), Height + 1);
    splitter->setSizes({total - Height, Height});
}

void TzdDataTreeForm::SetTreesColor(int Color)
{
    for (QTreeWidget* tree : m_trees) {
        QPalette p = tree->palette();
        p.setColor(QPalette::Base, plat::ToQColor(Color));
        tree->setPalette(p);
    }
}

void TzdDataTreeForm::MoveInto(QWidget* Panel)
{
    if (!Panel)
        return;
    auto* layout = Panel->layout() ? qobject_cast<QVBoxLayout*>(Panel->layout()) : new QVBoxLayout(Panel);
    if (!layout)
        return;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    for (QWidget* panel : m_panels)
        layout->addWidget(panel, 1);
}

void TzdDataTreeForm::SelectDatasetOfSelection(const std::vector<TzdComponent*>& Selection)
{
    if (!IsDataTab())
        return;
    QTreeWidget* tree = m_trees[tabData];
    tree->clearSelection();
    if (Selection.size() != 1)
        return;
    for (const auto& [node, ds] : m_datasets)
        if (static_cast<TzdComponent*>(ds) == Selection.front() && node->parent() &&
            node->parent()->parent() == nullptr) {
            auto* n = const_cast<QTreeWidgetItem*>(node);
            tree->setCurrentItem(n);
            n->setSelected(true);
            return;
        }
}

// ---------------------------------------------------------------- the selected nodes

std::vector<QTreeWidgetItem*> TzdDataTreeForm::selectedNodes() const
{
    const QList<QTreeWidgetItem*> items = m_trees[m_tabs->currentIndex()]->selectedItems();
    return {items.begin(), items.end()};
}

QTreeWidgetItem* TzdDataTreeForm::nodeAt(int Index) const
{
    QTreeWidget* tree = m_trees[m_tabs->currentIndex()];
    if (m_tabs->currentIndex() == tabData) {
        const std::vector<QTreeWidgetItem*> selected = selectedNodes();
        if (Index >= 0 && Index < int(selected.size()))
            return selected[size_t(Index)];
    }
    return tree->currentItem();
}

int TzdDataTreeForm::SelectedCount()
{
    if (IsDataTab())
        return int(selectedNodes().size());
    return m_trees[m_tabs->currentIndex()]->currentItem() ? 1 : 0;
}

TzdDataSet* TzdDataTreeForm::SelectedDataset(int Index)
{
    if (!IsDataTab())
        return nullptr;
    const auto it = m_datasets.find(nodeAt(Index));
    return it == m_datasets.end() ? nullptr : it->second;
}

QString TzdDataTreeForm::SelectedDatasetAlias()
{
    if (!IsDataTab() || !m_report)
        return {};
    QTreeWidgetItem* node = m_trees[tabData]->currentItem();
    const auto it = m_datasets.find(node);
    if (it == m_datasets.end() || !node->parent() || node->parent()->parent())
        return {};
    return m_report->AliasOfDataset(it->second);
}

QString TzdDataTreeForm::InsertionText(int Index)
{
    QTreeWidgetItem* node = nodeAt(Index);
    if (!node || node->childCount() > 0)
        return {};
    const QString text = node->text(0);
    switch (m_tabs->currentIndex()) {
    case tabData: {
        const auto it = m_datasets.find(node);
        if (it == m_datasets.end() || !m_report)
            return {};
        return u'<' + m_report->AliasOfDataset(it->second) + QStringLiteral(".\"") + text + QStringLiteral("\">");
    }
    case tabVariables:
        return u'<' + text + u'>';
    case tabFunctions:
        return m_codeItems.count(node) ? FunctionInsertionText(text) : QString();
    default:
        return {};
    }
}

QString TzdDataTreeForm::FunctionInsertionText(const QString& NodeText)
{
    const qsizetype paren = NodeText.indexOf(u'(');
    if (paren >= 0) {
        const int slotCount = 1 + int(NodeText.count(u',') + NodeText.count(u';'));
        return NodeText.left(paren + 1) + QString(slotCount - 1, u',') + u')';
    }
    const qsizetype colon = NodeText.indexOf(u':');
    return colon < 0 ? NodeText : NodeText.left(colon);
}

bool TzdDataTreeForm::InsertField() { return m_insField->isChecked(); }

bool TzdDataTreeForm::InsertCaption() { return m_insCaption->isChecked(); }

// ---------------------------------------------------------------- embedded in an editor

namespace {

// Takes the data tree's drags on the editor's text box.
class DataTreeDropTarget : public QObject {
public:
    DataTreeDropTarget(TzdDataTreeForm* Tree, QWidget* Target) : QObject(Target), m_tree(Tree), m_target(Target) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        switch (Event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(Event);
            if (!m_tree || !zd::acceptsDataTreeDrag(*m_tree, drag->source()))
                return false;
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(Event);
            if (!m_tree || !zd::acceptsDataTreeDrag(*m_tree, drop->source()))
                return false;
            guarded([&] { zd::insertDataTreeText(*m_tree, m_target); });
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            return true;
        }
        default:
            return QObject::eventFilter(Watched, Event);
        }
    }

private:
    QPointer<TzdDataTreeForm> m_tree;
    QWidget* m_target;
};

} // namespace

bool zd::acceptsDataTreeDrag(TzdDataTreeForm& Tree, QObject* Source)
{
    return Source && TzdDataTreeForm::FromDragSource(Source) == &Tree && Tree.SelectedCount() > 0 &&
           !Tree.InsertionText(0).isEmpty();
}

bool zd::insertDataTreeText(TzdDataTreeForm& Tree, QWidget* Target)
{
    const QString text = Tree.SelectedCount() > 0 ? Tree.InsertionText(0) : QString();
    if (text.isEmpty() || !Target)
        return false;
    if (auto* line = qobject_cast<QLineEdit*>(Target))
        line->insert(text);
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(Target))
        memo->insertPlainText(text);
    else
        return false;
    Target->setFocus();
    return true;
}

TzdDataTreeForm* zd::embedDataTree(QWidget* Panel, TzdReport* Report, QWidget* Target)
{
    auto* tree = new TzdDataTreeForm(Panel);
    tree->SetReport(Report);
    if (!Panel->layout()) {
        auto* layout = new QVBoxLayout(Panel);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    Panel->layout()->addWidget(tree);
    tree->OnDblClick = [tree, Target] { zd::insertDataTreeText(*tree, Target); };
    auto* filter = new DataTreeDropTarget(tree, Target);
    Target->setAcceptDrops(true);
    Target->installEventFilter(filter);
    if (auto* memo = qobject_cast<QPlainTextEdit*>(Target))
        memo->viewport()->installEventFilter(filter);
    guarded([&] { tree->UpdateItems(); });
    return tree;
}
