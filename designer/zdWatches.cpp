#include "zdWatches.h"

#include "Modal.h"
#include "Services.h"
#include "zdEvaluate.h"
#include "zdRes.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* toolButton(QWidget* parent, const char* name, const QString& hint)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setText(hint);
    b->setAutoRaise(true);
    return b;
}

} // namespace

TzdWatchForm::TzdWatchForm(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("zdWatchForm"));
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(8);
    setFont(f);
    resize(411, 166);
    setWindowTitle(zdGetResText(5900));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar"));
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    m_add = toolButton(bar, "AddB", zdGetResText(5901));
    m_delete = toolButton(bar, "DeleteB", zdGetResText(5902));
    m_edit = toolButton(bar, "EditB", zdGetResText(5903));
    m_copy = toolButton(bar, "CopyB", QStringLiteral("Copy Watch"));
    for (QToolButton* b : {m_add, m_delete, m_edit, m_copy})
        barLayout->addWidget(b);
    barLayout->addStretch();
    layout->addWidget(bar);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("WatchLB"));
    m_list->setFrameShape(QFrame::StyledPanel);
    m_list->installEventFilter(this);
    layout->addWidget(m_list);
    connect(m_add, &QToolButton::clicked, this, [this] { AddWatch(); });
    connect(m_delete, &QToolButton::clicked, this, [this] { DeleteWatch(); });
    connect(m_edit, &QToolButton::clicked, this, [this] { EditWatch(); });
    connect(m_copy, &QToolButton::clicked, this, [this] { CopyWatch(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { EditWatch(); });
    connect(m_list, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { itemChanged(item); });
    if (layoutDirection() == Qt::RightToLeft)
        setLayoutDirection(Qt::RightToLeft);
}

TzdWatchForm::~TzdWatchForm() = default;

void TzdWatchForm::Refresh()
{
    const int current = m_list->currentRow();
    m_refreshing = true;
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    for (const auto& [expression, enabled] : Watches) {
        QString text = expression;
        if (!enabled)
            text += QStringLiteral(": disabled");
        else
            text += QStringLiteral(": ") +
                    zd::FormatWatchValue(ScriptPaused ? WatchScript : nullptr, expression);
        auto* item = new QListWidgetItem(text, m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(enabled ? Qt::Checked : Qt::Unchecked);
    }
    if (current >= 0 && current < m_list->count())
        m_list->setCurrentRow(current);
    m_list->setUpdatesEnabled(true);
    m_refreshing = false;
}

bool TzdWatchForm::editExpression(QString& Expression)
{
    TzdEvaluateForm dialog(parentWidget());
    dialog.IsWatchMode = true;
    dialog.ExpressionE()->setText(Expression);
    if (plat::ExecModal(dialog) != QDialog::Accepted)
        return false;
    Expression = dialog.ExpressionE()->text();
    return true;
}

void TzdWatchForm::AddWatch()
{
    QString expression;
    if (!editExpression(expression))
        return;
    Watches.emplace_back(expression, true);
    Refresh();
}

void TzdWatchForm::EditWatch()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= int(Watches.size()))
        return;
    QString expression = Watches[size_t(row)].first;
    if (!editExpression(expression))
        return;
    Watches[size_t(row)].first = expression;
    Refresh();
}

void TzdWatchForm::DeleteWatch()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= int(Watches.size()))
        return;
    Watches.erase(Watches.begin() + row);
    Refresh();
}

void TzdWatchForm::CopyWatch()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    const QString text = item->text();
    const qsizetype colon = text.indexOf(u':');
    const QString value = colon < 0 ? QString() : text.mid(colon + 2);
    if (!value.isEmpty())
        plat::Services().SetClipboardText(value);
}

void TzdWatchForm::itemChanged(QListWidgetItem* Item)
{
    if (m_refreshing)
        return;
    const int row = m_list->row(Item);
    if (row < 0 || row >= int(Watches.size()))
        return;
    const bool enabled = Item->checkState() == Qt::Checked;
    if (Watches[size_t(row)].second == enabled)
        return;
    Watches[size_t(row)].second = enabled;
    m_list->setCurrentRow(row);
    // Rebuilding the list frees the item this signal came with: later.
    QMetaObject::invokeMethod(this, [this] { Refresh(); }, Qt::QueuedConnection);
}

void TzdWatchForm::closeEvent(QCloseEvent* event)
{
    // The designer hides the window; it is never closed by the user.
    event->ignore();
    hide();
}

bool TzdWatchForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_C && (key->modifiers() & Qt::ControlModifier)) {
            CopyWatch();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
