#pragma once
// zddesign --gui --dump-code FILE: the state of the designer window's code
// page, rewritten whenever it changes, for scripts that drive the window
// and wait for an outcome instead of sleeping.

class QString;
class QWidget;

namespace zddesign {

// Polls Window every 100 ms and replaces FILE (atomically) when the text
// changed. The lines:
//   tab N                       the page tab shown (0: the code page)
//   codewindow X Y W H          the editor's text area on the screen
//   cells W H gutter G top T left L
//   datatree TAB                the data tree's tab shown
//   datatab I X Y W H           its tabs
//   node X Y W H TEXT           the nodes of its tree that are in view
//   caret COLUMN LINE
//   line N TEXT                 the editor's lines
//   breakpoints L1 L2 ...
//   completion shown|hidden [X Y W H]
//   item TEXT                   one per entry of the completion list
void watchCodeState(QWidget* Window, const QString& FileName);

} // namespace zddesign
