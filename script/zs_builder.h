#pragma once
// Second pass of a compile: the intermediate program becomes the script's
// own items (variables, constants, procedures) and its statement tree, with
// every name resolved and every type, argument count and left side checked.

class TzsILParser;
class TzsScript;
class TzsDesignator;
class TzsXMLItem;

namespace zs {

// Builds parser.IntermediateDocument into script. The first error becomes
// the script's compile error (message, position, unit); nothing is raised.
void BuildProgram(TzsILParser& parser, TzsScript& script);

// Late binding: builds the chain of a designator whose source was deferred,
// for the designator's own script, at its first execution. Raises the
// compile messages.
TzsDesignator* buildLateDesignator(const TzsXMLItem& source, TzsScript& script);

} // namespace zs
