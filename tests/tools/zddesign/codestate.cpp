#include "codestate.h"

#include "zdDataTree.h"
#include "zdDesgnForm.h"
#include "zdSyntaxMemo.h"

#include <QFile>
#include <QListWidget>
#include <QSaveFile>
#include <QTabBar>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

constexpr int kPollMs = 100;

// The widget of class T (a class without its own meta-object, so found by
// its C++ type).
template <class T>
T* findWidget(QWidget* Window)
{
    for (QWidget* w : Window->findChildren<QWidget*>())
        if (auto* t = dynamic_cast<T*>(w))
            return t;
    return nullptr;
}

QString rectText(const QWidget* W)
{
    const QPoint at = W->mapToGlobal(QPoint(0, 0));
    return QStringLiteral("%1 %2 %3 %4").arg(at.x()).arg(at.y()).arg(W->width()).arg(W->height());
}

QString rectText(const QWidget* W, QRect R)
{
    const QPoint at = W->mapToGlobal(R.topLeft());
    return QStringLiteral("%1 %2 %3 %4").arg(at.x()).arg(at.y()).arg(R.width()).arg(R.height());
}

// The data tree's tabs and the nodes of its shown tree that are in view.
void dataTreeState(QWidget* Window, QTextStream& out)
{
    auto* form = findWidget<TzdDataTreeForm>(Window);
    if (!form || !form->isVisible())
        return;
    out << "datatree " << form->ActiveTab() << '\n';
    if (auto* tabs = form->findChild<QTabBar*>())
        for (int i = 0; i < tabs->count(); ++i)
            out << "datatab " << i << ' ' << rectText(tabs, tabs->tabRect(i)) << '\n';
    QTreeWidget* tree = form->Tree(form->ActiveTab());
    if (!tree || !tree->isVisible())
        return;
    QWidget* view = tree->viewport();
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const QRect r = tree->visualItemRect(*it);
        if (r.isValid() && view->rect().contains(r.center()))
            out << "node " << rectText(view, r) << ' ' << (*it)->text(0) << '\n';
    }
}

QString codeState(QWidget* Window)
{
    QString text;
    QTextStream out(&text);
    if (auto* form = dynamic_cast<TzdDesignerForm*>(Window))
        out << "tab " << form->PageTabs()->currentIndex() << '\n';
    dataTreeState(Window, out);
    auto* memo = findWidget<TzdSyntaxMemo>(Window);
    if (!memo)
        return text;
    const zd::SyntaxMemoModel& m = memo->Model();
    if (memo->isVisible())
        out << "codewindow " << rectText(memo->viewport()) << '\n';
    out << "cells " << memo->CellWidth() << ' ' << memo->CellHeight() << " gutter " << memo->GutterWidth()
        << " top " << m.TopLine << " left " << m.LeftColumn << '\n';
    out << "caret " << m.CaretPos().column << ' ' << m.CaretPos().line << '\n';
    for (int i = 1; i <= m.LineCount(); ++i)
        out << "line " << i << ' ' << m.Line(i) << '\n';
    out << "breakpoints";
    for (int line : m.BreakpointLines())
        out << ' ' << line;
    out << '\n';
    QListWidget* list = memo->CompletionList();
    const bool shown = list && list->window()->isVisible();
    out << "completion " << (shown ? "shown " + rectText(list->window()) : QStringLiteral("hidden")) << '\n';
    if (shown)
        for (int i = 0; i < list->count(); ++i)
            out << "item " << list->item(i)->text() << '\n';
    return text;
}

} // namespace

namespace zddesign {

void watchCodeState(QWidget* Window, const QString& FileName)
{
    auto* timer = new QTimer(Window);
    auto last = std::make_shared<QString>();
    QObject::connect(timer, &QTimer::timeout, Window, [Window, FileName, last] {
        const QString state = codeState(Window);
        if (state == *last)
            return;
        QSaveFile file(FileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
            return;
        file.write(state.toUtf8());
        if (file.commit())
            *last = state;
    });
    timer->start(kPollMs);
}

} // namespace zddesign
