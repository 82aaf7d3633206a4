#include "zdEditExpr.h"

#include "Modal.h"
#include "zdDataTree.h"
#include "zdDlgUtils.h"
#include "zdRes.h"

#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zd {

QString wrapExpression(const QString& Expression, const QString& Delimiters)
{
    QString expr = Expression;
    if (expr.size() >= 2 && expr.startsWith(u'<') && expr.endsWith(u'>') && expr.count(u'<') == 1)
        expr = expr.mid(1, expr.size() - 2);
    const int comma = Delimiters.indexOf(u',');
    QString open = comma < 0 ? QString() : Delimiters.left(comma);
    QString close = comma < 0 ? QString() : Delimiters.mid(comma + 1);
    if (open.isEmpty() || close.isEmpty()) {
        open = QStringLiteral("[");
        close = QStringLiteral("]");
    }
    return open + expr + close;
}

QString editExpressionDialog(QWidget* Parent, const QString& Expression, TzdReport* Report)
{
    TzdExprEditorForm form(Parent, Report);
    form.ExprMemo()->setText(Expression);
    if (plat::ExecModal(form) != QDialog::Accepted)
        return {};
    return form.ExprMemo()->text();
}

} // namespace zd

namespace {
// The tree's tab and scroll position at the last close, for the next one.
TzdDataTreeForm::ScrollState& lastTreeState()
{
    static TzdDataTreeForm::ScrollState state;
    return state;
}
} // namespace

using zd::dlg::res;

TzdExprEditorForm::TzdExprEditorForm(QWidget* Parent, TzdReport* Report) : QDialog(Parent), m_report(Report)
{
    setObjectName(QStringLiteral("TzdExprEditorForm"));
    setProperty("className", QStringLiteral("TzdExprEditorForm"));
    setWindowTitle(res(4400, "Editor výrazů"));
    resize(640, 546);
    auto* layout = new QVBoxLayout(this);
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("Panel"));
    layout->addWidget(m_panel, 1);
    auto* label = new QLabel(res(4401, "Výraz:"), this);
    label->setObjectName(QStringLiteral("ExprL"));
    layout->addWidget(label);
    // One line: a return confirms instead of breaking the expression.
    m_expr = new QLineEdit(this);
    m_expr->setObjectName(QStringLiteral("ExprMemo"));
    m_expr->setFont(QFont(QStringLiteral("Courier New"), 10));
    layout->addWidget(m_expr);
    layout->addWidget(zd::dlg::okCancelRow(this, QStringLiteral("OkB"), QStringLiteral("CancelB")));
    m_dataTree = zd::embedDataTree(m_panel, Report, m_expr);
    m_dataTree->SetHintHeight(60);
}

void TzdExprEditorForm::setVisible(bool Visible)
{
    // The place comes back before the window shows.
    const bool showing = Visible && !isVisible() && !m_placing;
    if (showing) {
        m_placing = true;
        zd::dlg::restoreDialogPlace(this, m_report);
        m_placing = false;
    }
    QDialog::setVisible(Visible);
    if (showing) {
        m_dataTree->SetScrollState(lastTreeState());
        m_expr->setFocus();
    }
}

void TzdExprEditorForm::done(int Result)
{
    if (isVisible()) {
        zd::dlg::saveDialogPlace(this, m_report);
        lastTreeState() = m_dataTree->GetScrollState();
    }
    QDialog::done(Result);
}

void TzdExprEditorForm::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdExprEditorForm"));
        return;
    }
    QDialog::keyPressEvent(Event);
}
