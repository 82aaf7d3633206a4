#pragma once
// The evaluate window: an expression evaluated in the paused script, and,
// in watch mode, the editor of a watch's expression. The value text rule is
// shared with the watch window.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TzsScript;

namespace zd {
// The text of an expression's value in Script: True or False for a
// Boolean, a string between single quotes, Null for a null value, else the
// platform's text of the value. An expression that does not compile or run
// gives its error message instead; this never raises.
QString FormatWatchValue(TzsScript* Script, const QString& Expression);
} // namespace zd

class TzdEvaluateForm : public QDialog {
public:
    explicit TzdEvaluateForm(QWidget* parent = nullptr);
    ~TzdEvaluateForm() override;

    // The script the expression runs in; nullptr when no run is paused.
    TzsScript* Script = nullptr;
    bool IsWatchMode = false;

    QLineEdit* ExpressionE() const { return m_expression; }
    QPlainTextEdit* ResultM() const { return m_result; }
    // Evaluates the expression into the result memo (Enter).
    void Evaluate();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_label1;
    QLineEdit* m_expression;
    QLabel* m_label2;
    QPlainTextEdit* m_result;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
