#pragma once
// The expression editor: one expression line under the place of the data
// tree. editExpressionDialog is what the designer's EditExpression runs.

#include <QDialog>

class QLineEdit;
class QWidget;

namespace zd {
// The expression as the text object's delimiters wrap it ("[,]": the part
// before the first comma opens, the rest closes). A result written as one
// <...> loses its angle brackets first. Delimiters without both parts wrap
// in the default "[" and "]" rather than leaving the expression bare.
QString wrapExpression(const QString& Expression, const QString& Delimiters);
// Opens the editor on Expression; the edited text on OK, empty on Cancel.
QString editExpressionDialog(QWidget* Parent, const QString& Expression);
} // namespace zd

class TzdExprEditorForm : public QDialog {
public:
    explicit TzdExprEditorForm(QWidget* Parent = nullptr);
    QLineEdit* ExprMemo() const { return m_expr; }
    // The panel that hosts the data tree.
    QWidget* Panel() const { return m_panel; }

private:
    QLineEdit* m_expr;
    QWidget* m_panel;
};
