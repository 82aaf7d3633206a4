#include "zdEditStrings.h"

#include "StringList.h"
#include "zdDlgUtils.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace zd {

QStringList linesOfText(const QString& Text)
{
    QString text = Text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    if (text.isEmpty())
        return {};
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.split(u'\n');
}

void applyStringsText(plat::TStrings& List, const QString& Text)
{
    const QStringList lines = linesOfText(Text);
    List.BeginUpdate();
    List.Clear();
    for (const QString& line : lines)
        List.Add(line);
    List.EndUpdate();
}

} // namespace zd

using zd::dlg::res;

TzdStringsEditorForm::TzdStringsEditorForm(QWidget* Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("TzdStringsEditorForm"));
    setWindowTitle(res(4800, "Položky"));
    resize(400, 300);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QToolBar(this);
    QAction* cancel = bar->addAction(res(2, "Zrušit"));
    cancel->setObjectName(QStringLiteral("CancelB"));
    cancel->setToolTip(res(2, "Zrušit"));
    QAction* ok = bar->addAction(res(1, "OK"));
    ok->setObjectName(QStringLiteral("OkB"));
    ok->setToolTip(res(1, "OK"));
    connect(cancel, &QAction::triggered, this, &QDialog::reject);
    connect(ok, &QAction::triggered, this, &QDialog::accept);
    layout->addWidget(bar);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo"));
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->installEventFilter(this);
    layout->addWidget(m_memo);
}

void TzdStringsEditorForm::SetLines(const QStringList& Lines) { m_memo->setPlainText(Lines.join(u'\n')); }

QStringList TzdStringsEditorForm::Lines() const { return zd::linesOfText(m_memo->toPlainText()); }

bool TzdStringsEditorForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == m_memo && Event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(Event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers().testFlag(Qt::ControlModifier)) {
            accept();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}
