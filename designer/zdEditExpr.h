#pragma once
// The expression editor: one expression line under a data tree of the
// report's fields, variables and functions; a double click in the tree, or
// a node dropped on the line, inserts the node's text. editExpressionDialog
// is what the designer's EditExpression runs. The window keeps its place
// in the report's settings, and the tree its tab and scroll position for
// the rest of the run.

#include <QDialog>

class QLineEdit;
class QWidget;
class TzdDataTreeForm;
class TzdReport;

namespace zd {
// The expression as the text object's delimiters wrap it ("[,]": the part
// before the first comma opens, the rest closes). A result written as one
// <...> loses its angle brackets first. Delimiters without both parts wrap
// in the default "[" and "]" rather than leaving the expression bare.
QString wrapExpression(const QString& Expression, const QString& Delimiters);
// Opens the editor on Expression over Report's data (none: an empty
// tree); the edited text on OK, empty on Cancel.
QString editExpressionDialog(QWidget* Parent, const QString& Expression, TzdReport* Report = nullptr);
} // namespace zd

class TzdExprEditorForm : public QDialog {
public:
    explicit TzdExprEditorForm(QWidget* Parent = nullptr, TzdReport* Report = nullptr);
    QLineEdit* ExprMemo() const { return m_expr; }
    // The panel that hosts the data tree.
    QWidget* Panel() const { return m_panel; }
    TzdDataTreeForm* DataTree() const { return m_dataTree; }

    void done(int Result) override;
    void setVisible(bool Visible) override;

protected:
    void keyPressEvent(QKeyEvent* Event) override;

private:
    TzdReport* m_report;
    QLineEdit* m_expr;
    QWidget* m_panel;
    TzdDataTreeForm* m_dataTree;
    bool m_placing = false;
};
