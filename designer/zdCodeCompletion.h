#pragma once
// The designer's completion list for the code editor: the members of the
// object that a dotted name left of the caret names ("Memo1.Font."), or,
// for an empty name, the report's objects with their classes.

#include "zdSyntaxMemo.h"

#include <vector>

class TzdReport;

namespace zd {

// Members listed as the script engine knows them: a property, index
// property, procedure or function loses its leading word and gets its kind
// (1, 1, 2, 3); other members keep their text (kind 0). Sorted, without
// duplicates.
std::vector<CompletionItem> ScriptCompletionList(TzdReport* Report, const QString& Text);

} // namespace zd
