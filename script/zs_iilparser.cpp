#include "zs_iilparser.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "StringList.h"
#include "zs_iinterpreter.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <deque>
#include <vector>

namespace zs {

// ---------------------------------------------------------------- compiled grammar
//
// The grammar document is turned once into a tree of plain nodes with their
// attributes decoded and references resolved; matching then touches no XML.

enum class Kind : quint8 {
    RuleDef,
    Sequence,
    Switch,
    OptSwitch,
    Loop,
    OptLoop,
    Optional,
    Char,
    Keyword,
    Ident,
    Number,
    String,
    FrString,
    Eol,
    Ref,
};

struct GNode {
    Kind kind = Kind::Sequence;
    bool skipBlanks = true; // char: blanks and comments may precede it
    bool loopSkip = false;  // loop: discard a message after a full repetition
    bool term = false;
    bool nodeUses = false;
    bool nodeExpr = false;
    bool hasErr = false;
    QString text; // lower case; on a loop, the separator
    QString node; // lower case
    QString add;
    QString addText; // escaped, empty when not given
    QString errMessage;
    QString name; // element name as written (rule name, reference name)
    const GNode* rule = nullptr;
    std::vector<const GNode*> children;
};

struct CompiledGrammar {
    std::unique_ptr<TzsXMLDocument> doc;
    std::deque<GNode> nodes;
    const GNode* program = nullptr;
    std::vector<std::pair<QString, QString>> settings; // lower-case name, text
    QStringList keywords;
    const TzsXMLItem* types = nullptr;
    QStringList problems;
};

namespace {

constexpr int kMaxGrammarDepth = 200;
// Backstop for builds with large frames (sanitizers): the recursion of one
// compile, units included, stays within this much of the thread's stack.
constexpr std::ptrdiff_t kMaxStackBytes = 4 * 1024 * 1024;

// The frame address where the outermost compile on this thread started.
thread_local const char* tStackBase = nullptr;

std::ptrdiff_t stackUsed()
{
    const char* here = static_cast<const char*>(__builtin_frame_address(0));
    return tStackBase && tStackBase > here ? tStackBase - here : 0;
}
constexpr int kMaxCachedGrammars = 32;

Kind kindOf(const QString& lowerName)
{
    static const QHash<QString, Kind> kinds{
        {QStringLiteral("sequence"), Kind::Sequence},
        {QStringLiteral("switch"), Kind::Switch},
        {QStringLiteral("optionalswitch"), Kind::OptSwitch},
        {QStringLiteral("loop"), Kind::Loop},
        {QStringLiteral("optionalloop"), Kind::OptLoop},
        {QStringLiteral("optional"), Kind::Optional},
        {QStringLiteral("char"), Kind::Char},
        {QStringLiteral("keyword"), Kind::Keyword},
        {QStringLiteral("ident"), Kind::Ident},
        {QStringLiteral("number"), Kind::Number},
        {QStringLiteral("string"), Kind::String},
        {QStringLiteral("frstring"), Kind::FrString},
        {QStringLiteral("eol"), Kind::Eol},
    };
    return kinds.value(lowerName, Kind::Ref);
}

class GrammarCompiler {
public:
    explicit GrammarCompiler(CompiledGrammar& g) : m_g(g) {}

    void compile()
    {
        const TzsXMLItem* root = m_g.doc->Root();
        const TzsXMLItem* parser = nullptr;
        std::vector<const TzsXMLItem*> rules;
        for (int i = 0; i < root->Count(); ++i) {
            const TzsXMLItem* child = root->Items(i);
            const QString lower = child->Name.toLower();
            if (lower == QLatin1String("parser")) {
                if (!parser)
                    parser = child;
            } else if (lower == QLatin1String("types")) {
                if (!m_g.types)
                    m_g.types = child;
            } else {
                rules.push_back(child);
            }
        }
        if (parser)
            readParser(parser);
        QHash<QString, GNode*> table;
        std::vector<std::pair<GNode*, const TzsXMLItem*>> defs;
        for (const TzsXMLItem* item : rules) {
            GNode& n = m_g.nodes.emplace_back();
            n.kind = Kind::RuleDef;
            n.name = item->Name;
            n.node = item->Prop(QStringLiteral("node")).toLower();
            n.nodeUses = n.node == QLatin1String("uses");
            n.nodeExpr = n.node == QLatin1String("expr");
            const QString key = item->Name.toCaseFolded();
            if (!table.contains(key))
                table.insert(key, &n);
            defs.emplace_back(&n, item);
        }
        for (auto& [node, item] : defs)
            node->children = compileChildren(item, 1);
        for (GNode& n : m_g.nodes) {
            if (n.kind != Kind::Ref)
                continue;
            n.rule = table.value(n.name.toCaseFolded(), nullptr);
            if (!n.rule)
                m_g.problems.append(QStringLiteral("Rule '%1' is not defined").arg(n.name));
        }
        m_g.program = table.value(QStringLiteral("program"), nullptr);
    }

private:
    void readParser(const TzsXMLItem* parser)
    {
        for (int i = 0; i < parser->Count(); ++i) {
            const TzsXMLItem* child = parser->Items(i);
            const QString lower = child->Name.toLower();
            if (lower == QLatin1String("keywords")) {
                for (int k = 0; k < child->Count(); ++k)
                    m_g.keywords.append(child->Items(k)->Name);
            } else if (lower == QLatin1String("errors")) {
                for (int k = 0; k < child->Count(); ++k) {
                    const TzsXMLItem* e = child->Items(k);
                    const QString key = e->Name.toCaseFolded();
                    if (!m_errors.contains(key))
                        m_errors.insert(key, e->Prop(QStringLiteral("text")));
                }
            } else {
                m_g.settings.emplace_back(lower, child->Prop(QStringLiteral("text")));
            }
        }
    }

    std::vector<const GNode*> compileChildren(const TzsXMLItem* item, int depth)
    {
        std::vector<const GNode*> children;
        for (int i = 0; i < item->Count(); ++i)
            children.push_back(compileElement(item->Items(i), depth + 1));
        return children;
    }

    const GNode* compileElement(const TzsXMLItem* item, int depth)
    {
        if (depth > kMaxGrammarDepth)
            throw plat::Exception(message(Msg::SInvalidLanguage));
        GNode& n = m_g.nodes.emplace_back();
        n.name = item->Name;
        n.kind = kindOf(item->Name.toLower());
        n.text = item->Prop(QStringLiteral("text")).toLower();
        n.node = item->Prop(QStringLiteral("node")).toLower();
        n.nodeUses = n.node == QLatin1String("uses");
        n.nodeExpr = n.node == QLatin1String("expr");
        n.add = item->Prop(QStringLiteral("add"));
        const QString addText = item->Prop(QStringLiteral("addtext"));
        n.addText = addText.isEmpty() ? QString() : xmlEscape(addText);
        const QString err = item->Prop(QStringLiteral("err"));
        if (!err.isEmpty()) {
            n.hasErr = true;
            const auto it = m_errors.constFind(err.toCaseFolded());
            if (it == m_errors.constEnd())
                m_g.problems.append(QStringLiteral("Message '%1' is not defined").arg(err));
            else
                n.errMessage = it.value();
        }
        const QString skip = item->Prop(QStringLiteral("skip"));
        n.skipBlanks = skip != QLatin1String("0");
        n.loopSkip = skip == QLatin1String("1");
        n.term = item->Prop(QStringLiteral("term")) == QLatin1String("1");
        n.children = compileChildren(item, depth);
        return &n;
    }

    CompiledGrammar& m_g;
    QHash<QString, QString> m_errors;
};

std::shared_ptr<const CompiledGrammar> compileGrammar(const QString& text)
{
    auto g = std::make_shared<CompiledGrammar>();
    g->doc = std::make_unique<TzsXMLDocument>();
    g->doc->LoadFromText(text);
    GrammarCompiler(*g).compile();
    return g;
}

std::shared_ptr<const CompiledGrammar> grammarFor(const QString& text)
{
    static QMutex mutex;
    static auto* cache = new QHash<QString, std::shared_ptr<const CompiledGrammar>>;
    {
        QMutexLocker lock(&mutex);
        const auto it = cache->constFind(text);
        if (it != cache->constEnd())
            return it.value();
    }
    auto g = compileGrammar(text);
    QMutexLocker lock(&mutex);
    if (cache->size() >= kMaxCachedGrammars)
        cache->clear();
    cache->insert(text, g);
    return g;
}

QString readUnitFile(const CompileHost* host, const QString& unitName)
{
    QString name = unitName;
    name.replace(u'\\', u'/');
    QString path = name;
    if (host) {
        for (QString dir : host->IncludeDirs) {
            dir.replace(u'\\', u'/');
            if (!dir.isEmpty() && !dir.endsWith(u'/'))
                dir.append(u'/');
            path = dir + name;
            if (QFileInfo(path).isFile())
                break;
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw plat::EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    // As a list of lines, each followed by a line break, whatever the file's
    // own line ends.
    plat::TStringList lines;
    lines.SetText(plat::cp1250ToUnicode(file.readAll()));
    return lines.Text();
}

} // namespace

QString nestingTooDeepMessage() { return QStringLiteral("Nesting too deep"); }

QStringList checkGrammar(const QString& grammarText)
{
    auto g = compileGrammar(grammarText);
    QStringList problems = g->problems;
    if (!g->program)
        problems.append(QStringLiteral("Rule 'program' is not defined"));
    return problems;
}

// ---------------------------------------------------------------- matcher

// One line of the intermediate program. Positions stay lexer positions until
// the document is built: most lines are dropped again while backtracking.
struct OutLine {
    enum Type : quint8 { Start, End, Empty, Tree };
    enum Attrs : quint8 { NoAttrs, Pos, PosPos1, TextPos, Unit };
    Type type = Empty;
    Attrs attrs = NoAttrs;
    int pos = 0;
    int pos1 = 0;
    QString name;
    QString value; // escaped text of an add element, or the unit name
    std::unique_ptr<TzsXMLItem> tree;
};

class Matcher {
public:
    explicit Matcher(TzsILParser& parser)
        : m_parser(parser), m_lex(parser.Lexer), m_grammar(*parser.m_grammar)
    {
    }

    // Returns the outcome; message and position describe a failure.
    bool run(QString& message, QString& position);
    void buildDocument(TzsXMLItem* root);

private:
    struct DepthGuard {
        explicit DepthGuard(int& d) : depth(d) { ++depth; }
        ~DepthGuard() { --depth; }
        int& depth;
    };

    bool match(const GNode* e);
    bool matchLoop(const GNode* e, int p0, int l0);
    [[gnu::noinline]] void restore(int p0, int l0);
    bool matchTail(const GNode* e, int p0, int l0);
    // Kept out of line: only match, matchLoop and matchTail sit on the
    // recursion path, so their frames stay small.
    [[gnu::noinline]] void recordError(const GNode* e, int p0);
    [[gnu::noinline]] void writeReportExpression(const QString& token);
    [[gnu::noinline]] void writeAdd(const GNode* e, const QString& token);
    [[gnu::noinline]] void failFatalDepth();
    void discardMessage();
    void setFatal(const QString& message, const QString& position);
    bool viewEquals(QStringView token, const QString& text) const;
    int startPosition(int p0);
    [[gnu::noinline]] void wrapNode(const GNode* e, int p0, int l0);
    void processUses(int l0);
    int includeUnit(const QString& unitName, int at);
    void appendLine(OutLine::Type type, const QString& name, OutLine::Attrs attrs = OutLine::NoAttrs, int pos = 0,
                    const QString& value = {});
    QString attributes(const OutLine& line) const;
    void checkEnd(QString& message, QString& position);

    TzsILParser& m_parser;
    TzsParser& m_lex;
    const CompiledGrammar& m_grammar;

    std::vector<OutLine> m_out;
    int m_depth = 0;

    QString m_message;
    int m_errorPos = 0;
    QString m_errorXY;
    bool m_terminator = false;
    QString m_discardedMessage;
    int m_discardedPos = 0;
    QString m_discardedXY;

    bool m_fatal = false;
    QString m_fatalMessage;
    QString m_fatalXY;
};

bool Matcher::viewEquals(QStringView token, const QString& text) const
{
    return m_lex.CaseSensitive ? token == text : token.compare(text, Qt::CaseInsensitive) == 0;
}

void Matcher::appendLine(OutLine::Type type, const QString& name, OutLine::Attrs attrs, int pos, const QString& value)
{
    OutLine line;
    line.type = type;
    line.attrs = attrs;
    line.pos = pos;
    line.name = name;
    line.value = value;
    m_out.push_back(std::move(line));
}

QString Matcher::attributes(const OutLine& line) const
{
    const auto xy = [&](int p) { return m_lex.PositionToXY(p); };
    switch (line.attrs) {
    case OutLine::Pos:
        return QLatin1String("pos=\"") + xy(line.pos) + u'"';
    case OutLine::PosPos1:
        return QLatin1String("pos=\"") + xy(line.pos) + QLatin1String("\" pos1=\"") + xy(line.pos1) + u'"';
    case OutLine::TextPos:
        return QLatin1String("text=\"") + line.value + QLatin1String("\" pos=\"") + xy(line.pos) + u'"';
    case OutLine::Unit:
        return QLatin1String("unit=\"") + line.value + u'"';
    case OutLine::NoAttrs:
        break;
    }
    return {};
}

void Matcher::setFatal(const QString& message, const QString& position)
{
    if (m_fatal)
        return;
    m_fatal = true;
    m_fatalMessage = message;
    m_fatalXY = position;
}

int Matcher::startPosition(int p0)
{
    const int current = m_lex.CurrentPos;
    const int token = m_lex.TokenStart;
    m_lex.SetPosition(p0);
    m_lex.SkipSpaces();
    const int start = m_lex.CurrentPos;
    m_lex.CurrentPos = current;
    m_lex.TokenStart = token;
    return start;
}

void Matcher::recordError(const GNode* e, int p0)
{
    if (!e->hasErr || !m_message.isEmpty() || e->errMessage.isEmpty())
        return;
    m_message = e->errMessage;
    m_lex.SetPosition(p0);
    m_lex.SkipSpaces();
    m_errorPos = m_lex.CurrentPos;
    m_errorXY = m_lex.GetXYPosition();
    m_terminator = e->term;
}

void Matcher::failFatalDepth()
{
    setFatal(nestingTooDeepMessage(), m_lex.GetXYPosition());
}

void Matcher::discardMessage()
{
    if (!m_message.isEmpty()) {
        m_discardedMessage = m_message;
        m_discardedPos = m_errorPos;
        m_discardedXY = m_errorXY;
    }
    m_message.clear();
}

// Whatever an element wrote describes the tokens it consumed: when the
// position goes back, its lines go too (a failed first alternative would
// otherwise leave a stray copy of what the next alternative writes again).
void Matcher::restore(int p0, int l0)
{
    m_lex.SetPosition(p0);
    if (int(m_out.size()) > l0)
        m_out.erase(m_out.begin() + l0, m_out.end());
}

bool Matcher::match(const GNode* e)
{
    if (m_fatal)
        return false;
    if (m_depth >= kMaxMatchDepth || stackUsed() > kMaxStackBytes) {
        failFatalDepth();
        return false;
    }
    DepthGuard guard(m_depth);
    const int p0 = m_lex.CurrentPos;
    const int l0 = int(m_out.size());
    switch (e->kind) {
    case Kind::Switch:
    case Kind::OptSwitch:
        for (const GNode* child : e->children) {
            if (match(child))
                return true;
            if (m_fatal)
                return false;
        }
        if (e->kind == Kind::OptSwitch)
            return true;
        recordError(e, p0);
        return false;
    case Kind::Loop:
    case Kind::OptLoop:
        return matchLoop(e, p0, l0);
    case Kind::Optional:
        for (const GNode* child : e->children) {
            if (!match(child)) {
                restore(p0, l0);
                break;
            }
        }
        return !m_fatal;
    default:
        return matchTail(e, p0, l0);
    }
}

bool Matcher::matchLoop(const GNode* e, int p0, int l0)
{
    int count = 0;
    int r = m_lex.CurrentPos;
    bool ok = true;
    for (;;) {
        ++count;
        const int s = m_lex.CurrentPos;
        ok = true;
        for (const GNode* child : e->children) {
            if (!match(child)) {
                ok = false;
                break;
            }
        }
        if (m_fatal)
            return false;
        r = m_lex.CurrentPos;
        if (ok && !e->text.isEmpty()) {
            m_lex.SkipSpaces();
            const int at = m_lex.CurrentPos;
            if (m_lex.scanChar() == 0 || m_lex.view(at, 1) != e->text) {
                m_lex.SetPosition(r);
                break;
            }
        }
        if (m_lex.CurrentPos == s || !ok)
            break;
    }
    bool result = ok;
    if (count > 1) {
        result = true;
        m_lex.SetPosition(r);
        if (e->loopSkip || m_terminator)
            discardMessage();
    }
    if (!result && e->kind == Kind::OptLoop) {
        restore(p0, l0);
        result = true;
    }
    return result;
}

bool Matcher::matchTail(const GNode* e, int p0, int l0)
{
    bool ok = true;
    // Words and characters are compared in place; their text is taken only
    // when an add element needs it.
    int start = 0;
    int length = -1;
    QString token;
    switch (e->kind) {
    case Kind::RuleDef:
    case Kind::Sequence:
        break;
    case Kind::Ref:
        if (!e->rule)
            throw plat::Exception(message(Msg::SInvalidLanguage));
        ok = match(e->rule);
        if (m_fatal)
            return false;
        break;
    case Kind::Eol:
        ok = m_lex.GetEOL();
        break;
    case Kind::Char:
        if (e->skipBlanks)
            m_lex.SkipSpaces();
        start = m_lex.CurrentPos;
        length = m_lex.scanChar();
        break;
    case Kind::Keyword:
        length = m_lex.scanWord();
        start = m_lex.CurrentPos - length;
        break;
    case Kind::Ident:
        length = m_lex.scanWord();
        start = m_lex.CurrentPos - length;
        if (length > 0 && m_lex.isKeyWord(m_lex.view(start, length)))
            length = 0;
        break;
    case Kind::Number:
        token = m_lex.GetNumber();
        ok = !token.isEmpty() && (e->text.isEmpty() || viewEquals(token, e->text));
        break;
    case Kind::String:
        token = m_lex.GetString();
        ok = !token.isEmpty() && (e->text.isEmpty() || viewEquals(token, e->text));
        break;
    case Kind::FrString:
        token = m_lex.GetZDString();
        if (!token.isEmpty())
            writeReportExpression(token);
        ok = !token.isEmpty() && (e->text.isEmpty() || viewEquals(token, e->text));
        break;
    default:
        break;
    }
    if (length >= 0) {
        ok = length > 0 && (e->text.isEmpty() || viewEquals(m_lex.view(start, length), e->text));
        if (ok && !e->add.isEmpty())
            token = m_lex.view(start, length).toString();
    }

    if (!ok) {
        recordError(e, p0);
        restore(p0, l0);
        return false;
    }

    if (e->kind != Kind::RuleDef && !e->node.isEmpty())
        wrapNode(e, p0, l0);
    if (!e->add.isEmpty())
        writeAdd(e, token);
    for (const GNode* child : e->children) {
        if (!match(child)) {
            ok = false;
            break;
        }
    }
    if (m_fatal)
        return false;
    if (!ok) {
        restore(p0, l0);
        return false;
    }
    if (e->kind == Kind::RuleDef && !e->node.isEmpty())
        wrapNode(e, p0, l0);
    return true;
}

// Wraps the lines written since l0 in the element's node, or includes the
// units they name when the node is uses.
// A bracketed report expression is a call of Get with its text.
void Matcher::writeReportExpression(const QString& token)
{
    const int pos = m_lex.CurrentPos;
    appendLine(OutLine::Start, QStringLiteral("dsgn"), OutLine::Pos, pos);
    appendLine(OutLine::Empty, QStringLiteral("node"), OutLine::TextPos, pos, QStringLiteral("Get"));
    appendLine(OutLine::Start, QStringLiteral("expr"), OutLine::Pos, pos);
    appendLine(OutLine::Empty, QStringLiteral("string"), OutLine::TextPos, pos, u'\'' + xmlEscape(token) + u'\'');
    appendLine(OutLine::End, QStringLiteral("expr"));
    appendLine(OutLine::End, QStringLiteral("dsgn"));
}

void Matcher::writeAdd(const GNode* e, const QString& token)
{
    appendLine(OutLine::Empty, e->add, OutLine::TextPos, m_lex.CurrentPos, e->addText.isEmpty() ? xmlEscape(token) : e->addText);
}

void Matcher::wrapNode(const GNode* e, int p0, int l0)
{
    if (e->nodeUses) {
        processUses(l0);
        return;
    }
    OutLine start;
    start.type = OutLine::Start;
    start.name = e->node;
    start.pos = startPosition(p0);
    start.attrs = OutLine::Pos;
    if (e->nodeExpr) {
        start.attrs = OutLine::PosPos1;
        start.pos1 = m_lex.CurrentPos;
    }
    m_out.insert(m_out.begin() + l0, std::move(start));
    appendLine(OutLine::End, e->node);
}

void Matcher::processUses(int l0)
{
    QStringList names;
    for (size_t i = size_t(l0); i < m_out.size(); ++i) {
        const OutLine& line = m_out[i];
        if (line.type == OutLine::Empty && line.value.size() >= 2)
            names.append(line.value.mid(1, line.value.size() - 2));
    }
    m_out.erase(m_out.begin() + l0, m_out.end());
    int at = l0;
    for (qsizetype i = names.size() - 1; i >= 0 && !m_fatal; --i)
        at = includeUnit(names[i], at);
}

int Matcher::includeUnit(const QString& unitName, int at)
{
    for (const QString& u : m_parser.IncludedUnits) {
        if (plat::SameText(u, unitName))
            return at;
    }
    m_parser.IncludedUnits.append(unitName);

    CompileHost* host = m_parser.Script;
    QString text;
    if (!host || !host->getUnitText(unitName, text))
        text = readUnitFile(host, unitName);

    std::unique_ptr<TzsXMLItem> tree;
    if (!text.isEmpty()) {
        TzsILParser nested(host);
        nested.CurrentUnit = unitName;
        nested.LoadLanguage(m_parser.LanguageName);
        nested.IncludedUnits = m_parser.IncludedUnits;
        if (nested.BuildIntermediate(text)) {
            m_parser.IncludedUnits = nested.IncludedUnits;
            tree = std::make_unique<TzsXMLItem>();
            tree->Assign(nested.IntermediateDocument->Root());
        } else if (host) {
            if (host->ErrorUnitName.isEmpty())
                host->ErrorUnitName = unitName;
            // An error inside a unit ends the compile: no enclosing loop may
            // discard it.
            if (!host->ErrorMessage.isEmpty())
                setFatal(host->ErrorMessage, host->ErrorPosition);
        }
    }

    std::vector<OutLine> lines;
    OutLine start;
    start.type = OutLine::Start;
    start.name = QStringLiteral("uses");
    start.attrs = OutLine::Unit;
    start.value = xmlEscape(unitName);
    lines.push_back(std::move(start));
    if (tree) {
        OutLine body;
        body.type = OutLine::Tree;
        body.tree = std::move(tree);
        lines.push_back(std::move(body));
    }
    OutLine end;
    end.type = OutLine::End;
    end.name = QStringLiteral("uses");
    lines.push_back(std::move(end));
    const int count = int(lines.size());
    m_out.insert(m_out.begin() + at, std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
    return at + count;
}

// BasicScript and JScript programs are loops of statements that end
// silently where no statement begins; whatever follows would be lost, so
// it is an error.
void Matcher::checkEnd(QString& message, QString& position)
{
    const bool skipEol = m_lex.SkipEOL;
    m_lex.SkipEOL = true;
    m_lex.UnterminatedComment = 0;
    m_lex.SkipSpaces();
    m_lex.SkipEOL = skipEol;
    const bool rest = m_lex.CurrentPos <= m_lex.TextLength;
    if (!rest && m_lex.UnterminatedComment == 0)
        return;
    const int stop = rest ? m_lex.CurrentPos : m_lex.UnterminatedComment;
    if (!m_discardedMessage.isEmpty() && m_discardedPos >= stop) {
        message = m_discardedMessage;
        position = m_discardedXY;
    } else {
        message = QStringLiteral("Statement expected");
        position = m_lex.PositionToXY(stop);
    }
}

bool Matcher::run(QString& message, QString& position)
{
    bool ok = m_grammar.program ? match(m_grammar.program) : true;
    message.clear();
    position.clear();
    if (m_fatal) {
        message = m_fatalMessage;
        position = m_fatalXY;
        return false;
    }
    if (!m_message.isEmpty()) {
        message = m_message;
        position = m_errorXY;
        return false;
    }
    if (m_parser.m_strictEnd) {
        checkEnd(message, position);
        if (!message.isEmpty())
            return false;
        // Nothing but blanks and comments: an empty program, nothing lost.
        if (!ok)
            m_out.clear();
        return true;
    }
    // A failure without a message counts as compiled by the script: what
    // it gets is the empty program, never half of one.
    if (!ok)
        m_out.clear();
    return ok;
}

void Matcher::buildDocument(TzsXMLItem* root)
{
    root->Clear();
    root->Name = QStringLiteral("program");
    root->Text.clear();
    std::vector<TzsXMLItem*> stack{root};
    for (OutLine& line : m_out) {
        switch (line.type) {
        case OutLine::Start: {
            TzsXMLItem* item = stack.back()->Add();
            item->Name = line.name;
            item->Text = attributes(line);
            stack.push_back(item);
            break;
        }
        case OutLine::End:
            if (stack.size() > 1)
                stack.pop_back();
            break;
        case OutLine::Empty: {
            TzsXMLItem* item = stack.back()->Add();
            item->Name = line.name;
            item->Text = attributes(line);
            break;
        }
        case OutLine::Tree:
            stack.back()->AddItem(line.tree.release());
            break;
        }
    }
    if (m_grammar.types)
        root->Add()->Assign(m_grammar.types);
}

} // namespace zs

// ---------------------------------------------------------------- TzsILParser

TzsILParser::TzsILParser(zs::CompileHost* script)
    : IntermediateDocument(std::make_unique<TzsXMLDocument>()), Script(script)
{
}

TzsILParser::~TzsILParser() = default;

const TzsXMLDocument* TzsILParser::GrammarDocument() const
{
    return m_grammar ? m_grammar->doc.get() : nullptr;
}

void TzsILParser::LoadLanguage(const QString& name)
{
    Lexer.Clear();
    Lexer.CaseSensitive = false;
    Lexer.CommentLine2.clear();
    DeclarationsRequired = true;
    LanguageName = name;
    m_grammar = zs::grammarFor(zsGetLanguage(name));
    GrammarRoot = m_grammar->doc->Root();
    for (const QString& word : m_grammar->keywords)
        Lexer.AddKeyword(word);
    for (const auto& [key, value] : m_grammar->settings) {
        if (key == QLatin1String("commentline1"))
            Lexer.CommentLine1 = value;
        else if (key == QLatin1String("commentline2"))
            Lexer.CommentLine2 = value;
        else if (key == QLatin1String("commentblock1"))
            Lexer.SetCommentBlock1(value);
        else if (key == QLatin1String("commentblock2"))
            Lexer.SetCommentBlock2(value);
        else if (key == QLatin1String("stringquotes"))
            Lexer.StringQuotes = value;
        else if (key == QLatin1String("hexsequence"))
            Lexer.HexSequence = value;
        else if (key == QLatin1String("identchars"))
            Lexer.SetIdentChars(value);
        else if (key == QLatin1String("specstrchar") && value == QLatin1String("1"))
            Lexer.SpecStrChar = true;
        else if (key == QLatin1String("declarevars") && value == QLatin1String("0"))
            DeclarationsRequired = false;
        else if (key == QLatin1String("skipeol") && value == QLatin1String("0"))
            Lexer.SkipEOL = false;
        else if (key == QLatin1String("skipchar"))
            Lexer.SkipChar = value;
        else if (key == QLatin1String("casesensitive") && value == QLatin1String("1"))
            Lexer.CaseSensitive = true;
    }
    if (Script && Script->AllowExtendedChars) {
        for (int i = 128; i < 256; ++i)
            Lexer.IdentifierChars.set(size_t(i));
    }
    m_strictEnd = plat::SameText(name, u"BasicScript") || plat::SameText(name, u"JScript");
}

bool TzsILParser::BuildIntermediate(const QString& text)
{
    // A new compile starts without the unit name of an earlier failure.
    if (CurrentUnit.isEmpty() && Script)
        Script->ErrorUnitName.clear();
    Lexer.SetText(text);
    int start = 1;
    if (text.startsWith(u'#') && QStringView(text).mid(1, 8).compare(QLatin1String("language"), Qt::CaseInsensitive) == 0) {
        qsizetype end = 9;
        while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n')
            ++end;
        LoadLanguage(text.mid(9, end - 9).trimmed());
        // The line may end in CR LF or in a bare LF.
        if (end < text.size() && text.at(end) == u'\r')
            ++end;
        if (end < text.size() && text.at(end) == u'\n')
            ++end;
        start = int(end) + 1;
    }
    if (!m_grammar)
        LoadLanguage(LanguageName);
    Lexer.SetPosition(start);

    // The outermost compile on this thread marks where its stack began.
    struct StackBase {
        bool outer = zs::tStackBase == nullptr;
        StackBase()
        {
            if (outer)
                zs::tStackBase = static_cast<const char*>(__builtin_frame_address(0));
        }
        ~StackBase()
        {
            if (outer)
                zs::tStackBase = nullptr;
        }
    } stackBase;
    zs::Matcher matcher(*this);
    QString message;
    QString position;
    const bool ok = matcher.run(message, position);
    if (ok || message.isEmpty())
        matcher.buildDocument(IntermediateDocument->Root());
    if (Script) {
        Script->ErrorMessage = ok ? QString() : message;
        Script->ErrorPosition = ok ? QString() : position;
    }
    return ok;
}
