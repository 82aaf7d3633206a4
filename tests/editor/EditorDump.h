#pragma once
// The editor's text with its caret and selection marked, one line a row:
// '|' the caret, '[' and ']' the ends of a normal or column selection, "> "
// before every line of a line selection, '·' a position beyond a line's end
// that a mark needs. Shared by the tests and tests/tools/plainedit.

#include "PlainEditModel.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <map>

namespace edtest {

inline QString dumpEditor(const TCustomPlainEdit& e)
{
    const int count = e.LineCount();
    const TBufferCoord caret = e.CaretPos();
    const bool sel = e.SelAvail();
    const TBufferCoord first = e.SelFirst();
    const TBufferCoord last = e.SelLast();
    const TPlainSelectionMode mode = e.ActiveSelMode();
    QStringList out;
    for (int line = 1; line <= std::max(1, count); ++line) {
        QString text = line <= count ? e.Lines()->Strings(line - 1) : QString();
        // Marks by character index; the later ones go in first.
        std::multimap<int, QString, std::greater<int>> marks;
        if (caret.Line == line)
            marks.emplace(caret.Char, QStringLiteral("|"));
        if (sel && mode == smNormal) {
            if (first.Line == line)
                marks.emplace(first.Char, QStringLiteral("["));
            if (last.Line == line)
                marks.emplace(last.Char, QStringLiteral("]"));
        } else if (sel && mode == smColumn && line >= first.Line && line <= last.Line) {
            marks.emplace(std::min(first.Char, last.Char), QStringLiteral("["));
            marks.emplace(std::max(first.Char, last.Char), QStringLiteral("]"));
        }
        int furthest = 0;
        for (const auto& [at, mark] : marks)
            furthest = std::max(furthest, at);
        if (furthest - 1 > text.size())
            text += QString(furthest - 1 - text.size(), QChar(0x00B7));
        // Same position: '[' before '|' before ']'.
        std::map<int, QString> joined;
        for (const auto& [at, mark] : marks) {
            QString& s = joined[at];
            if (mark == QLatin1String("["))
                s.prepend(mark);
            else if (mark == QLatin1String("]"))
                s.append(mark);
            else
                s.insert(s.startsWith(QLatin1Char('[')) ? 1 : 0, mark);
        }
        for (auto it = joined.rbegin(); it != joined.rend(); ++it)
            text.insert(it->first - 1, it->second);
        if (sel && mode == smLine && line >= first.Line && line <= last.Line)
            text.prepend(QStringLiteral("> "));
        out << text;
    }
    return out.join(QLatin1Char('\n'));
}

// The lines joined by '\n' (no marks).
inline QString editorLines(const TCustomPlainEdit& e) { return e.Lines()->toStringList().join(QLatin1Char('\n')); }

} // namespace edtest
