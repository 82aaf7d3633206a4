#include "zdReportTree.h"

#include "Controls.h"
#include "Graphics.h"
#include "TypeInfo.h"
#include "zdClass_band.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDesignerModel.h"
#include "zdDsgnIntf.h"
#include "zdReportComponent.h"
#include "zdRes.h"
#include "zdUndo.h"
#include "zdUtils.h"

#include <QContextMenuEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kObjectRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;

// Palette images of the fixed nodes.
constexpr int kReportImage = 34;
constexpr int kReportPageImage = 35;
constexpr int kDialogPageImage = 36;
constexpr int kDataPageImage = 37;
constexpr int kBandImage = 40;

constexpr int kDefaultWidth = 179;
constexpr int kDefaultHeight = 323;
constexpr int kIndent = 19;

// Bands a page holds at most once.
constexpr const char16_t* kSingleBands[] = {u"TzdReportTitle",  u"TzdReportSummary", u"TzdPageHeader",
                                             u"TzdPageFooter",   u"TzdColumnHeader",  u"TzdColumnFooter"};

bool isDialogComponent(TzdComponent* Obj) { return dynamic_cast<TzdDialogComponent*>(Obj) != nullptr; }

bool isMovable(TzdComponent* Obj)
{
    return dynamic_cast<TzdReportComponent*>(Obj) != nullptr && !isDialogComponent(Obj);
}

bool isWithin(TzdComponent* Obj, TzdComponent* Ancestor)
{
    for (TzdComponent* p = Obj; p; p = p->Parent())
        if (p == Ancestor)
            return true;
    return false;
}

QString refusal(TzdComponent* Obj, const QString& Why) { return Obj->Name() + QStringLiteral(": ") + Why; }

} // namespace

// ---------------------------------------------------------------- the rules

QString zd::treeMoveRefusal(TzdComponent* Obj, TzdComponent* Target)
{
    if (!Obj || !Target)
        return QStringLiteral("nelze přesunout");
    if (dynamic_cast<TzdReport*>(Obj) || dynamic_cast<TzdPage*>(Obj))
        return refusal(Obj, QStringLiteral("stránku ani report nelze přesunout"));
    if (!isMovable(Obj))
        return refusal(Obj, QStringLiteral("tento objekt nelze přesunout"));
    if (Obj->IsAncestor())
        return refusal(Obj, QStringLiteral("zděděný objekt nelze přesunout"));
    auto* targetBand = dynamic_cast<TzdBand*>(Target);
    auto* targetPage = dynamic_cast<TzdReportPage*>(Target);
    if (!targetBand && !targetPage)
        return refusal(Obj, QStringLiteral("objekty lze přesunout jen do pruhu nebo na stránku reportu"));
    if (isWithin(Target, Obj))
        return refusal(Obj, QStringLiteral("objekt nelze přesunout sám do sebe"));
    TzdComponent* page = targetPage ? Target : Target->GetPage();
    if (!dynamic_cast<TzdReportPage*>(page))
        return refusal(Obj, QStringLiteral("nelze přesunout mimo stránku reportu"));
    if (dynamic_cast<TzdBand*>(Obj)) {
        if (targetBand)
            return refusal(Obj, QStringLiteral("pruh nelze vložit do pruhu"));
        for (const char16_t* single : kSingleBands)
            if (Obj->ClassName() == QStringView(single))
                for (TzdComponent* c : page->Children())
                    if (c != Obj && c->ClassName() == Obj->ClassName())
                        return refusal(Obj, QStringLiteral("stránka už tento pruh má"));
    }
    if (const QString why = zd::placementRefusal(Obj->ClassType(), page); !why.isEmpty())
        return refusal(Obj, why);
    return {};
}

int zd::reportTreeImageIndex(TzdComponent* Obj)
{
    if (dynamic_cast<TzdReport*>(Obj))
        return kReportImage;
    if (dynamic_cast<TzdDataPage*>(Obj))
        return kDataPageImage;
    if (dynamic_cast<TzdDialogPage*>(Obj))
        return kDialogPageImage;
    if (dynamic_cast<TzdPage*>(Obj))
        return kReportPageImage;
    if (dynamic_cast<TzdBand*>(Obj))
        return kBandImage;
    const TzdObjectCollection* registry = zdGetObjectRegistry();
    for (int i = 0; i < registry->Count(); ++i)
        if (registry->GetItem(i).ClassRef == Obj->ClassType())
            return registry->GetItem(i).ImageIndex;
    return -1;
}

// ---------------------------------------------------------------- the tree control

namespace zd {

class ReportTreeView : public QTreeWidget {
public:
    explicit ReportTreeView(TzdReportTreeForm* Form) : QTreeWidget(Form), m_form(Form) {}

protected:
    void dragEnterEvent(QDragEnterEvent* E) override
    {
        if (E->source() == this)
            E->acceptProposedAction();
        else
            E->ignore();
    }
    void dragMoveEvent(QDragMoveEvent* E) override
    {
        QTreeWidgetItem* node = itemAt(E->position().toPoint());
        if (E->source() == this && m_form->CanDropOn(node))
            E->acceptProposedAction();
        else
            E->ignore();
    }
    void dropEvent(QDropEvent* E) override
    {
        // The tree is rebuilt from the report afterwards; Qt moves no item.
        QTreeWidgetItem* node = itemAt(E->position().toPoint());
        E->setDropAction(Qt::IgnoreAction);
        E->accept();
        if (E->source() == this)
            m_form->DropOn(node);
    }
    void keyPressEvent(QKeyEvent* E) override
    {
        if (E->key() == Qt::Key_Delete) {
            m_form->DeleteSelection();
            return;
        }
        QTreeWidget::keyPressEvent(E);
    }
    void contextMenuEvent(QContextMenuEvent* E) override { m_form->ContextMenuAt(E->globalPos()); }

private:
    TzdReportTreeForm* m_form;
};

} // namespace zd

// ---------------------------------------------------------------- the window

TzdReportTreeForm::TzdReportTreeForm(zd::DesignerModel* Designer, QWidget* Parent)
    : QWidget(Parent), m_designer(Designer), m_tree(new zd::ReportTreeView(this))
{
    setObjectName(QStringLiteral("ReportTreeForm"));
    const QString caption = zdGetResText(2200);
    setWindowTitle(caption == QLatin1String("2200") ? QStringLiteral("Strom Reportu") : caption);
    resize(kDefaultWidth, kDefaultHeight);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(11);
    setFont(f);
    m_tree->setObjectName(QStringLiteral("Tree"));
    m_tree->setHeaderHidden(true);
    m_tree->setFrameShape(QFrame::NoFrame);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setRootIsDecorated(false);
    m_tree->setIndentation(kIndent);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->setDragEnabled(true);
    m_tree->setAcceptDrops(true);
    m_tree->setDropIndicatorShown(true);
    m_tree->setDragDropMode(QAbstractItemView::InternalMove);
    m_tree->setDefaultDropAction(Qt::MoveAction);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);
    QObject::connect(m_tree, &QTreeWidget::itemSelectionChanged, this, [this] { treeSelectionChanged(); });
    if (TzdDesigner* d = TzdDesigner::Current(); d && d->RTLLanguage)
        setLayoutDirection(Qt::RightToLeft);
    UpdateItems();
}

TzdReportTreeForm::~TzdReportTreeForm() = default;

void TzdReportTreeForm::addNode(TzdComponent* Obj, QTreeWidgetItem* Parent)
{
    auto* node = Parent ? new QTreeWidgetItem(Parent) : new QTreeWidgetItem(m_tree);
    node->setText(0, dynamic_cast<TzdReport*>(Obj) ? QStringLiteral("Report") : Obj->Name());
    node->setData(0, kObjectRole, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(Obj)));
    const int image = zd::reportTreeImageIndex(Obj);
    node->setData(0, kImageRole, image);
    const zd::ImageList& images = zdGetResources()->GetObjectButtonImages();
    if (image >= 0 && image < images.size())
        node->setIcon(0, QIcon(QPixmap::fromImage(images.at(image))));
    // Only bands and report pages take drops.
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (dynamic_cast<TzdBand*>(Obj) || dynamic_cast<TzdReportPage*>(Obj))
        flags |= Qt::ItemIsDropEnabled;
    node->setFlags(flags);
    m_objects.push_back(Obj);
    m_nodes.push_back(node);
    const bool dataPage = dynamic_cast<TzdDataPage*>(Obj) != nullptr;
    for (TzdComponent* child : Obj->Children())
        if (!dataPage || isDialogComponent(child))
            addNode(child, node);
}

void TzdReportTreeForm::UpdateItems()
{
    m_updating = true;
    m_tree->setUpdatesEnabled(false);
    m_tree->clear();
    m_objects.clear();
    m_nodes.clear();
    if (TzdReport* report = m_designer ? m_designer->report() : nullptr) {
        auto* root = new QTreeWidgetItem(m_tree);
        root->setText(0, QStringLiteral("Report"));
        root->setData(0, kObjectRole, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(report)));
        root->setData(0, kImageRole, kReportImage);
        root->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_objects.push_back(report);
        m_nodes.push_back(root);
        const bool hideDataPages = !TzdDesigner::Allowed(drDontEditInternalDatasets);
        for (TzdComponent* child : report->Children())
            if (!hideDataPages || !dynamic_cast<TzdDataPage*>(child))
                addNode(child, root);
    }
    m_tree->expandAll();
    m_tree->setUpdatesEnabled(true);
    m_updating = false;
    SelectDesignerSelection();
}

void TzdReportTreeForm::SetTreeColor(int Color)
{
    QPalette p = m_tree->palette();
    p.setColor(QPalette::Base, plat::ToQColor(Color));
    m_tree->setPalette(p);
    UpdateItems();
}

QTreeWidgetItem* TzdReportTreeForm::NodeOf(TzdComponent* Obj) const
{
    const auto it = std::find(m_objects.begin(), m_objects.end(), Obj);
    return it == m_objects.end() ? nullptr : m_nodes[size_t(it - m_objects.begin())];
}

TzdComponent* TzdReportTreeForm::ObjectOf(const QTreeWidgetItem* Node) const
{
    const auto it = std::find(m_nodes.begin(), m_nodes.end(), Node);
    return it == m_nodes.end() ? nullptr : m_objects[size_t(it - m_nodes.begin())];
}

void TzdReportTreeForm::SelectDesignerSelection()
{
    if (!m_designer || m_designer->Selection.empty())
        return;
    m_updating = true;
    m_tree->clearSelection();
    QTreeWidgetItem* last = nullptr;
    for (TzdComponent* obj : m_designer->Selection)
        if (QTreeWidgetItem* node = NodeOf(obj)) {
            node->setSelected(true);
            last = node;
        }
    if (last) {
        m_tree->setCurrentItem(last, 0, QItemSelectionModel::NoUpdate);
        m_tree->scrollToItem(last, QAbstractItemView::PositionAtTop);
    }
    m_updating = false;
}

std::vector<TzdComponent*> TzdReportTreeForm::selectedObjects() const
{
    std::vector<TzdComponent*> out;
    for (QTreeWidgetItem* node : m_tree->selectedItems())
        if (TzdComponent* obj = ObjectOf(node))
            out.push_back(obj);
    return out;
}

void TzdReportTreeForm::treeSelectionChanged()
{
    if (m_updating || !m_designer)
        return;
    try {
        if (!ObjectOf(m_tree->currentItem()) && m_tree->selectedItems().isEmpty()) {
            m_designer->SetSelection({});
            return;
        }
        std::vector<TzdComponent*> objects = selectedObjects();
        if (objects.empty())
            if (TzdComponent* focused = ObjectOf(m_tree->currentItem()))
                objects.push_back(focused);
        m_designer->Selection = std::move(objects);
        if (OnSelectionChange)
            OnSelectionChange();
    } catch (const std::exception& e) {
        zdErrorMessage(QString::fromUtf8(e.what()));
    }
}

bool TzdReportTreeForm::CanDropOn(const QTreeWidgetItem* Node) const
{
    TzdComponent* target = ObjectOf(Node);
    return dynamic_cast<TzdBand*>(target) || dynamic_cast<TzdReportPage*>(target);
}

bool TzdReportTreeForm::DropOn(QTreeWidgetItem* Node)
{
    Refusals.clear();
    if (!m_designer || !CanDropOn(Node))
        return false;
    TzdComponent* target = ObjectOf(Node);
    bool moved = false;
    auto move = [&](TzdComponent* obj) {
        if (obj == target || obj->Parent() == target)
            return;
        if (const QString why = zd::treeMoveRefusal(obj, target); !why.isEmpty()) {
            Refusals << why;
            return;
        }
        obj->SetParent(target);
        moved = true;
    };
    try {
        const std::vector<TzdComponent*> dragged = selectedObjects();
        for (TzdComponent* obj : dragged) {
            if (dynamic_cast<TzdBand*>(obj) && obj != target) {
                // A band hands over its objects, not itself.
                const std::vector<TzdComponent*> children = obj->Children();
                for (TzdComponent* child : children)
                    if (isMovable(child))
                        move(child);
            } else if (isMovable(obj) || dynamic_cast<TzdPage*>(obj) || dynamic_cast<TzdReport*>(obj)) {
                move(obj);
            }
        }
        if (moved) {
            // Objects that left the shown page leave its lists too.
            std::vector<TzdComponent*> keep = m_designer->Selection;
            m_designer->RebuildObjects();
            const auto& shown = m_designer->PageObjects;
            std::erase_if(keep, [&](TzdComponent* c) { return std::find(shown.begin(), shown.end(), c) == shown.end(); });
            m_designer->SetSelection(std::move(keep));
        }
        UpdateItems();
        if (OnSelectionChange)
            OnSelectionChange();
        if (moved)
            m_designer->SetModifiedFlag(true);
        if (!Refusals.isEmpty())
            zdErrorMessage(Refusals.join(u'\n'));
    } catch (const std::exception& e) {
        zdErrorMessage(QString::fromUtf8(e.what()));
    }
    return moved;
}

void TzdReportTreeForm::DeleteSelection()
{
    if (!m_designer)
        return;
    try {
        m_designer->Delete();
        UpdateItems();
        if (OnSelectionChange)
            OnSelectionChange();
    } catch (const std::exception& e) {
        zdErrorMessage(QString::fromUtf8(e.what()));
    }
}

void TzdReportTreeForm::ContextMenuAt(const QPoint& Global)
{
    if (!m_popup || !m_designer)
        return;
    for (TzdComponent* obj : selectedObjects())
        if (obj == m_designer->report())
            return;
    m_popup->popup(Global);
}
