#pragma once
// First pass of a compile: a language grammar interpreted over the source
// text with backtracking, writing what it recognises as the intermediate
// program (an XML tree whose vocabulary comes from the grammar's node and add
// attributes), or recording a message with its line:col.

#include "zs_iparser.h"
#include "zs_xml.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace zs {
class CompileHost;
struct CompiledGrammar;
class Matcher;
}

class TzsILParser {
public:
    explicit TzsILParser(zs::CompileHost* script);
    ~TzsILParser();
    TzsILParser(const TzsILParser&) = delete;
    TzsILParser& operator=(const TzsILParser&) = delete;

    // line:col of the intermediate element being turned into objects.
    QString ElementPosition;
    // The selected grammar, shared by every parser of that grammar text.
    const TzsXMLDocument* GrammarDocument() const;
    std::unique_ptr<TzsXMLDocument> IntermediateDocument;
    QString LanguageName;
    bool DeclarationsRequired = true;
    TzsParser Lexer;
    zs::CompileHost* Script;
    TzsXMLItem* CurrentProgramElement = nullptr;
    const TzsXMLItem* GrammarRoot = nullptr;
    QString CurrentUnit;
    QStringList IncludedUnits;

    // Raises SLangNotFound for an unregistered name.
    void LoadLanguage(const QString& name);
    // True when the text compiled; otherwise the script's ErrorMessage and
    // ErrorPosition say why. Raises SInvalidLanguage for a grammar that refers
    // to a missing rule, and EFOpenError for a unit file that cannot be read.
    bool BuildIntermediate(const QString& text);

private:
    friend class zs::Matcher;
    std::shared_ptr<const zs::CompiledGrammar> m_grammar;
    bool m_strictEnd = false;
};

namespace zs {

// Deepest grammar recursion a compile may reach; deeper input (thousands of
// nested brackets) is a compile error rather than a stack overflow.
constexpr int kMaxMatchDepth = 2000;
// Message of that error.
QString nestingTooDeepMessage();

// Checks a grammar document: every reference names a rule and every err names
// a message. Returns the problems found, one text each.
QStringList checkGrammar(const QString& grammarText);

} // namespace zs
