#pragma once
// The string list editor: a plain memo, one item per line.

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

namespace plat {
class TStrings;
} // namespace plat

namespace zd {
// The lines of an edited text (a trailing line break adds no empty item).
QStringList linesOfText(const QString& Text);
// Replaces List's items with the text's lines.
void applyStringsText(plat::TStrings& List, const QString& Text);
} // namespace zd

class TzdStringsEditorForm : public QDialog {
public:
    explicit TzdStringsEditorForm(QWidget* Parent = nullptr);
    QPlainTextEdit* Memo() const { return m_memo; }
    void SetLines(const QStringList& Lines);
    QStringList Lines() const;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QPlainTextEdit* m_memo;
};
