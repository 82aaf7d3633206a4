#include "zdTabOrderEditor.h"

#include "Modal.h"
#include "Services.h"
#include "StdCtrls.h"
#include "zdClass_services.h"
#include "zdDialogControl.h"
#include "zdDialogsSecondHalf.h"
#include "zdDialogsSecondHalf_p.h"
#include "zdDlgUtils.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace zd::dialogs::detail;

namespace {
// Keeps the intermediate tab orders clear of the final ones.
constexpr int kTabOrderShift = 1000;

plat::TWinControl* windowed(TzdDialogControl* c) { return dynamic_cast<plat::TWinControl*>(c->Control()); }
} // namespace

TzdComponent* zd::taborder::parentFor(TzdCustomDesigner* Designer)
{
    if (!Designer)
        return nullptr;
    return Designer->Selection.empty() ? Designer->CurrentPage : Designer->Selection.front();
}

zd::taborder::Model::Model(TzdComponent* Parent) : m_parent(Parent)
{
    if (!Parent)
        return;
    for (TzdComponent* child : Parent->Children())
        if (auto* c = dynamic_cast<TzdDialogControl*>(child); c && windowed(c))
            m_items.push_back(c);
}

QStringList zd::taborder::Model::Captions() const
{
    QStringList list;
    for (TzdDialogControl* c : m_items)
        list << c->Name() + QStringLiteral(": ") + c->ClassName();
    return list;
}

bool zd::taborder::Model::MoveUp(int Index)
{
    if (Index <= 0 || Index >= int(m_items.size()))
        return false;
    std::swap(m_items[size_t(Index)], m_items[size_t(Index - 1)]);
    return true;
}

bool zd::taborder::Model::MoveDown(int Index)
{
    if (Index < 0 || Index + 1 >= int(m_items.size()))
        return false;
    std::swap(m_items[size_t(Index)], m_items[size_t(Index + 1)]);
    return true;
}

void zd::taborder::Model::Apply()
{
    if (!m_parent)
        return;
    std::vector<TzdComponent*> order = m_parent->Children();
    size_t next = 0;
    for (TzdComponent*& slot : order)
        if (std::find(m_items.begin(), m_items.end(), slot) != m_items.end())
            slot = m_items[next++];
    if (order != m_parent->Children()) {
        // Re-adding every child in turn rebuilds the list in the new order.
        for (TzdComponent* child : order) {
            child->SetParent(nullptr);
            child->SetParent(m_parent);
        }
    }
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < m_items.size(); ++i)
            if (plat::TWinControl* w = windowed(m_items[i]))
                w->SetTabOrder(int(i) + (pass == 0 ? kTabOrderShift : 0));
}

TzdTabOrderEditorForm::TzdTabOrderEditorForm(TzdComponent* Parent, QWidget* parent)
    : QDialog(parent), m_model(Parent)
{
    setObjectName(QStringLiteral("zdTabOrderEditorForm"));
    setWindowTitle(res(5400));
    auto* layout = new QVBoxLayout(this);
    Label1 = named(new QLabel(res(5401), this), "Label1");
    layout->addWidget(Label1);
    auto* row = new QHBoxLayout;
    ControlsLB = named(new QListWidget(this), "ControlsLB");
    row->addWidget(ControlsLB, 1);
    auto* moves = new QVBoxLayout;
    UpB = named(new QPushButton(res(5402), this), "UpB");
    DownB = named(new QPushButton(res(5403), this), "DownB");
    moves->addWidget(UpB);
    moves->addWidget(DownB);
    moves->addStretch(1);
    row->addLayout(moves);
    layout->addLayout(row);
    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OkB"), QStringLiteral("CancelB")));
    OkB = findChild<QPushButton*>(QStringLiteral("OkB"));
    CancelB = findChild<QPushButton*>(QStringLiteral("CancelB"));
    connect(UpB, &QPushButton::clicked, this, [this] { move(true); });
    connect(DownB, &QPushButton::clicked, this, [this] { move(false); });
    fill(0);
}

void TzdTabOrderEditorForm::fill(int Current)
{
    ControlsLB->clear();
    ControlsLB->addItems(m_model.Captions());
    if (ControlsLB->count() > 0)
        ControlsLB->setCurrentRow(std::clamp(Current, 0, ControlsLB->count() - 1));
}

void TzdTabOrderEditorForm::move(bool Up)
{
    const int index = ControlsLB->currentRow();
    if (Up ? m_model.MoveUp(index) : m_model.MoveDown(index))
        fill(Up ? index - 1 : index + 1);
}

void TzdTabOrderEditorForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdTabOrderEditorForm"));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool zd::dialogs::EditTabOrder(TzdCustomDesigner* Designer)
{
    TzdComponent* parent = zd::taborder::parentFor(Designer);
    if (!parent)
        return false;
    TzdTabOrderEditorForm form(parent, plat::HasServices() ? plat::Services().DialogParent() : nullptr);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return false;
    return guarded([&] { form.model().Apply(); });
}
