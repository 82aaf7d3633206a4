#pragma once
// What a procedure looks like in each script language and which parameters
// each report event passes: the designer starts new scripts with it, lists
// the handlers that fit an event, finds a handler and inserts an empty one.
// Line indexes are 0-based; -1 means none.

#include <QString>

namespace plat {
class TStrings;
} // namespace plat

// Stores the language templates and the events' parameter lists among the
// report library's texts (keyed by language and event type name).
void RegisterCodeTemplates();
// A value of the language's template ("proc", "begin", "end", "lastend",
// "openquote", "closequote"); empty when absent.
QString TemplateValue(const QString& Language, const QString& Name);
// The event type's parameter list in the language; empty when unknown.
QString EventParameterList(const QString& EventType, const QString& Language);
// The names of the procedures of Code whose parameter list fits the event.
void ListEventHandlers(const plat::TStrings& Code, const QString& Language, const QString& EventType,
                       plat::TStrings& List);
// The header line of the procedure Name outside block comments.
int FindEventHandler(const plat::TStrings& Code, const QString& Language, const QString& Name);
// The line before which a new handler goes (the main block's begin).
int FindMainBlock(const plat::TStrings& Code, const QString& Language);
// Inserts an empty handler; the 1-based number of its empty body line.
int InsertEventHandler(plat::TStrings& Code, const QString& Language, const QString& EventType,
                       const QString& Name);
// The lines of a new script: begin, an empty line, lastend (none when the
// language has no main block).
void DefaultCodeLines(plat::TStrings& List, const QString& Language);
