#include "codestate.h"

#include "zdDesgnForm.h"
#include "zdSyntaxMemo.h"

#include <QFile>
#include <QListWidget>
#include <QSaveFile>
#include <QTabBar>
#include <QTextStream>
#include <QTimer>

namespace {

constexpr int kPollMs = 100;

QString rectText(const QWidget* W)
{
    const QPoint at = W->mapToGlobal(QPoint(0, 0));
    return QStringLiteral("%1 %2 %3 %4").arg(at.x()).arg(at.y()).arg(W->width()).arg(W->height());
}

QString codeState(QWidget* Window)
{
    QString text;
    QTextStream out(&text);
    if (auto* form = dynamic_cast<TzdDesignerForm*>(Window))
        out << "tab " << form->PageTabs()->currentIndex() << '\n';
    auto* memo = Window->findChild<TzdSyntaxMemo*>(QStringLiteral("CodeWindow"));
    if (!memo)
        return text;
    const zd::SyntaxMemoModel& m = memo->Model();
    if (memo->isVisible())
        out << "codewindow " << rectText(memo->viewport()) << '\n';
    out << "cells " << memo->CellWidth() << ' ' << memo->CellHeight() << " gutter " << memo->GutterWidth()
        << " top " << m.TopLine << " left " << m.LeftColumn << '\n';
    out << "caret " << m.CaretPos().column << ' ' << m.CaretPos().line << '\n';
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
