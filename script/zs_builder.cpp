#include "zs_builder.h"

#include "Exceptions.h"
#include "Handles.h"
#include "Objects.h"
#include "zs_automation.h"
#include "zs_dsgn.h"
#include "zs_expr.h"
#include "zs_iilparser.h"
#include "zs_iinterpreter.h"
#include "zs_proto.h"
#include "zs_script.h"
#include "zs_stmts.h"
#include "zs_xml.h"

#include <atomic>
#include <memory>
#include <vector>

using plat::Variant;
using zs::Msg;

namespace zs {
namespace {

// More elements than this in one declared array is a compile error rather
// than an allocation that takes the machine down.
constexpr qint64 kMaxArrayElements = 16 * 1024 * 1024;

enum class DesignatorKind { Plain, New, Delete };

QString lower(const QString& s)
{
    return s.toLower();
}

[[noreturn]] void fail(Msg id)
{
    throw plat::Exception(zs::message(id));
}

// Messages that end in a blank take the name in single quotes.
[[noreturn]] void failNamed(Msg id, const QString& name)
{
    throw plat::Exception(zs::message(id) + u'\'' + name + u'\'');
}

class Builder {
public:
    Builder(TzsScript& main, TzsILParser* parser, bool runtime)
        : m_main(main), m_parser(parser), m_runtime(runtime)
    {
        if (parser) {
            DeclarationsRequired = parser->DeclarationsRequired;
            const QString lang = parser->LanguageName;
            m_switchConsumesBreak = lang.compare(QLatin1String("C++Script"), Qt::CaseInsensitive) == 0 ||
                                    lang.compare(QLatin1String("JScript"), Qt::CaseInsensitive) == 0;
        }
    }

    void buildProgram(TzsXMLItem* root)
    {
        ActiveWiths.clear();
        m_rootTypes = nullptr;
        for (int i = 0; i < root->Count(); ++i)
            if (lower(root->Items(i)->Name) == QLatin1String("types"))
                m_rootTypes = root->Items(i);
        buildItems(root, &m_main);
    }

    TzsDesignator* createDesignator(const TzsXMLItem* d, TzsScript* s, DesignatorKind kind);

    QString ElementPosition;
    QString CurrentUnit;
    bool DeclarationsRequired = true;

private:
    // ---- helpers
    static QString text(const TzsXMLItem* e) { return e->Prop(QStringLiteral("text")); }
    static QString name(const TzsXMLItem* e) { return lower(e->Name); }
    void enter(const TzsXMLItem* e)
    {
        const QString pos = e->Prop(QStringLiteral("pos"));
        if (!pos.isEmpty())
            ElementPosition = pos;
    }
    static TzsXMLItem* child(const TzsXMLItem* e, int i)
    {
        if (i < 0 || i >= e->Count())
            throw plat::Exception(QStringLiteral("Invalid intermediate program: '%1' lacks a part").arg(e->Name));
        return e->Items(i);
    }
    static int findChild(const TzsXMLItem* e, const char* n)
    {
        for (int i = 0; i < e->Count(); ++i)
            if (name(e->Items(i)) == QLatin1String(n))
                return i;
        return -1;
    }

    void checkRedeclared(TzsScript* s, const QString& n)
    {
        if (s->FindLocal(n))
            failNamed(Msg::SIdRedeclared, n);
    }
    TzsClassVariable* classLookup(const QString& n)
    {
        TzsClassVariable* c = m_main.FindClass(n);
        if (!c)
            failNamed(Msg::SUnknownType, n);
        return c;
    }
    void typeCheck(TzsCustomVariable* variable, TzsCustomVariable* expression)
    {
        if (!zsAssignCompatible(variable, expression, &m_main))
            throw plat::Exception(zs::message(Msg::SIncompatibleTypes) + QStringLiteral(": '") +
                                  variable->GetTypeText() + QStringLiteral("', '") + expression->GetTypeText() +
                                  u'\'');
    }
    TzsCustomVariable* lookupVariable(const QString& n, TzsScript* s)
    {
        if (TzsCustomVariable* item = s->Find(n))
            return item;
        if (DeclarationsRequired)
            failNamed(Msg::SIdUndeclared, n);
        auto* v = new TzsVariable(n, fvtVariant, QStringLiteral("Variant"));
        v->Value = plat::Null();
        m_main.Add(n, v);
        return v;
    }
    QString resolveAlias(const QString& typeName) const
    {
        for (const TzsXMLItem* types : {findTypes(CurrentProgramElement), m_rootTypes}) {
            if (!types)
                continue;
            for (int i = 0; i < types->Count(); ++i)
                if (types->Items(i)->Name.compare(typeName, Qt::CaseInsensitive) == 0)
                    return types->Items(i)->Prop(QStringLiteral("type"));
        }
        return typeName;
    }
    static const TzsXMLItem* findTypes(const TzsXMLItem* e)
    {
        if (!e)
            return nullptr;
        const int i = findChild(e, "types");
        return i < 0 ? nullptr : e->Items(i);
    }
    // The kind of a type name written in the program; typeName becomes the
    // name after aliases.
    TzsVarType typeOf(QString& typeName)
    {
        typeName = resolveAlias(typeName);
        if (TzsCustomVariable* item = m_main.Find(typeName))
            return item->Kind;
        TzsVarType kind = fvtClass;
        if (builtinTypeKind(typeName, &kind))
            return kind;
        classLookup(typeName);
        return fvtClass;
    }

    // ---- declarations
    void buildItems(TzsXMLItem* e, TzsScript* s);
    void declareProcedures(TzsXMLItem* e, TzsScript* s);
    void buildParameters(TzsXMLItem* e, TzsProcVariable* proc);
    TzsCustomVariable* createVariable(TzsXMLItem* v, TzsScript* s, bool byRef, bool asParam, TzsStatement* list,
                                      const QString& varName);

    // ---- statements
    void buildStatement(TzsXMLItem* e, TzsScript* s, TzsStatement* list);
    void buildChildren(const TzsXMLItem* e, TzsScript* s, TzsStatement* list, int from = 0, int to = -1)
    {
        if (to < 0)
            to = e->Count();
        for (int i = from; i < to; ++i)
            buildStatement(e->Items(i), s, list);
    }
    void buildAssign(TzsXMLItem* e, TzsScript* s, TzsStatement* list);
    void buildWith(TzsXMLItem* e, TzsScript* s, TzsStatement* list);
    void buildUses(TzsXMLItem* e, TzsScript* s);
    TzsCustomVariable* loopVariable(const TzsXMLItem* e, TzsScript* s);
    void append(TzsStatement* list, std::unique_ptr<TzsStatement> stmt, const QString& pos)
    {
        list->Add(stmt.release());
        m_main.AddCodeLine(CurrentUnit, pos);
    }

    // ---- expressions
    TzsExpression* createExpression(const TzsXMLItem* x, TzsScript* s);
    void feed(TzsExpression* e, const TzsXMLItem* x, TzsScript* s);
    TzsSetExpression* createSet(const TzsXMLItem* x, TzsScript* s);
    QString sourceBetween(const QString& from, const QString& to) const;

    // ---- designators
    enum class WithResult { NotFound, Found, LateBound };
    WithResult withLookup(const QString& n, const TzsXMLItem* d, TzsScript* s, TzsDesignator* dsgn,
                          const QString& pos);
    Variant valueNow(TzsDesignator* dsgn) const;
    TzsCustomVariable* helperItem(const char* n, TzsScript* s);
    void checkArguments(TzsDesignator* dsgn);
    TzsDesignator* deferred(std::unique_ptr<TzsDesignator> dsgn, const TzsXMLItem* source);

    TzsScript& m_main;
    TzsILParser* m_parser;
    bool m_runtime;
    bool m_switchConsumesBreak = false;
    TzsXMLItem* CurrentProgramElement = nullptr;
    const TzsXMLItem* m_rootTypes = nullptr;
    std::vector<std::pair<QString, TzsWithStmt*>> ActiveWiths;
};

std::atomic<int> g_withCounter{0};

// ---------------------------------------------------------------- declarations

void Builder::buildItems(TzsXMLItem* e, TzsScript* s)
{
    TzsXMLItem* saved = CurrentProgramElement;
    CurrentProgramElement = e;
    declareProcedures(e, s);
    for (int i = 0; i < e->Count(); ++i)
        buildStatement(e->Items(i), s, s->MainBlock());
    CurrentProgramElement = saved;
}

void Builder::declareProcedures(TzsXMLItem* e, TzsScript* s)
{
    for (int i = 0; i < e->Count(); ++i) {
        TzsXMLItem* c = e->Items(i);
        const QString n = name(c);
        if (n == QLatin1String("compoundstmt")) {
            declareProcedures(c, s);
            continue;
        }
        const bool isProcedure = n == QLatin1String("procedure");
        if (!isProcedure && n != QLatin1String("function"))
            continue;
        enter(c);
        QString procName;
        QString typeName;
        TzsVarType kind = fvtInt;
        bool isFunction = false;
        if (isProcedure) {
            procName = text(child(c, 0));
        } else {
            const int nameAt = findChild(c, "name");
            procName = text(child(c, nameAt));
            const int typeAt = findChild(c, "type");
            if (typeAt >= 0) {
                const QString written = text(c->Items(typeAt));
                typeName = written;
                enter(c->Items(typeAt));
                kind = typeOf(typeName);
                isFunction = written.compare(QLatin1String("void"), Qt::CaseInsensitive) != 0;
            } else {
                kind = fvtVariant;
                isFunction = true;
            }
            enter(c);
        }
        checkRedeclared(s, procName);
        auto* proc = new TzsProcVariable(procName, kind, typeName, s, isFunction);
        proc->SourcePos = ElementPosition;
        proc->UnitName = CurrentUnit;
        s->Add(procName, proc);
        for (int j = 0; j < c->Count(); ++j)
            if (name(c->Items(j)) == QLatin1String("parameters"))
                buildParameters(c->Items(j), proc);
    }
}

void Builder::buildParameters(TzsXMLItem* e, TzsProcVariable* proc)
{
    bool byRef = false;
    for (int i = 0; i < e->Count(); ++i) {
        TzsXMLItem* c = e->Items(i);
        enter(c);
        const QString n = name(c);
        if (n == QLatin1String("varparams")) {
            byRef = true;
            continue;
        }
        if (n != QLatin1String("var"))
            continue;
        bool nextByRef = false;
        for (int j = 0; j < c->Count(); ++j) {
            TzsXMLItem* v = c->Items(j);
            const QString vn = name(v);
            if (vn == QLatin1String("varparam")) {
                nextByRef = true;
                continue;
            }
            if (vn != QLatin1String("ident"))
                continue;
            const QString paramName = text(v);
            enter(v);
            checkRedeclared(proc->LocalProgram, paramName);
            TzsCustomVariable* item =
                createVariable(c, proc->LocalProgram, byRef || nextByRef, true, nullptr, paramName);
            auto* param = static_cast<TzsParamItem*>(item);
            param->DefaultValue = param->Value;
            proc->Add(param);
            proc->LocalProgram->Add(paramName, param);
            nextByRef = false;
        }
        byRef = false;
    }
}

TzsCustomVariable* Builder::createVariable(TzsXMLItem* v, TzsScript* s, bool byRef, bool asParam,
                                           TzsStatement* list, const QString& varName)
{
    const QString entryPos = ElementPosition;
    const int typeAt = findChild(v, "type");
    QString typeName = typeAt >= 0 ? text(v->Items(typeAt)) : QStringLiteral("Variant");
    if (typeAt >= 0)
        enter(v->Items(typeAt));
    TzsVarType kind = typeOf(typeName);
    const bool namesFirst = typeAt > 0;

    Variant initial;
    switch (kind) {
    case fvtBool: initial = Variant(false); break;
    case fvtChar:
    case fvtString: initial = Variant(QString()); break;
    case fvtInt:
    case fvtFloat:
    case fvtClass:
    case fvtInt64: initial = Variant(0); break;
    default: initial = plat::Null();
    }

    int nameAt = -1;
    for (int i = 0; i < v->Count(); ++i)
        if (name(v->Items(i)) == QLatin1String("ident") && text(v->Items(i)).compare(varName, Qt::CaseInsensitive) == 0) {
            nameAt = i;
            break;
        }
    int end = v->Count();
    if (!namesFirst && nameAt >= 0)
        for (int i = nameAt + 1; i < v->Count(); ++i)
            if (name(v->Items(i)) == QLatin1String("ident")) {
                end = i;
                break;
            }

    TzsArrayHelper* helper = nullptr;
    const TzsXMLItem* init = nullptr;
    const QString elementType = typeName;
    const TzsVarType elementKind = kind;
    for (int i = nameAt + 1; i < end; ++i) {
        const TzsXMLItem* c = v->Items(i);
        const QString n = name(c);
        if (n == QLatin1String("init")) {
            init = c;
        } else if (n == QLatin1String("array")) {
            enter(c);
            std::vector<plat::TVarArrayBound> bounds;
            qint64 elements = 1;
            for (int j = 0; j < c->Count(); ++j) {
                const TzsXMLItem* dim = c->Items(j);
                if (name(dim) != QLatin1String("dim"))
                    continue;
                enter(dim);
                std::vector<int> values;
                for (int k = 0; k < dim->Count(); ++k) {
                    if (name(dim->Items(k)) != QLatin1String("expr"))
                        continue;
                    std::unique_ptr<TzsExpression> x(createExpression(dim->Items(k), s));
                    values.push_back(x->GetValue().toInteger());
                }
                plat::TVarArrayBound b;
                if (values.size() == 1) {
                    b.LowBound = 0;
                    b.HighBound = values[0] - 1;
                } else if (values.size() >= 2) {
                    b.LowBound = values[0];
                    b.HighBound = values[1];
                }
                const qint64 size = qint64(b.HighBound) - b.LowBound + 1;
                if (size < 0)
                    throw plat::Exception(QStringLiteral("Invalid array bounds %1..%2").arg(b.LowBound).arg(b.HighBound));
                elements *= size;
                if (elements > kMaxArrayElements)
                    throw plat::Exception(
                        QStringLiteral("Array too large: more than %1 elements").arg(kMaxArrayElements));
                bounds.push_back(b);
            }
            if (bounds.empty())
                bounds.push_back(plat::TVarArrayBound{0, 0});
            if (bounds.size() > 3)
                throw plat::Exception(QStringLiteral("An array has at most 3 dimensions"));
            helper = new TzsArrayHelper(QString(), elementKind, elementType, int(bounds.size()));
            s->Add(QString(), helper);
            kind = fvtArray;
            initial = plat::VarArrayCreate(bounds, plat::varVariant);
        }
    }

    if (init && !list) {
        enter(init);
        std::unique_ptr<TzsExpression> x(createExpression(child(init, 0), s));
        TzsVariable probe(varName, kind, typeName);
        typeCheck(&probe, x.get());
        initial = x->GetValue();
    }

    std::unique_ptr<TzsCustomVariable> item;
    if (asParam)
        item = std::make_unique<TzsParamItem>(varName, kind, typeName, init != nullptr, byRef);
    else if (kind == fvtChar || kind == fvtString)
        item = std::make_unique<TzsStringVariable>(varName, kind, typeName);
    else
        item = std::make_unique<TzsVariable>(varName, kind, typeName);
    if (auto* sv = dynamic_cast<TzsStringVariable*>(item.get()))
        sv->Text = plat::VarToStr(initial);
    else
        item->Value = initial;
    item->Target = helper;
    item->SourcePos = entryPos;
    item->UnitName = CurrentUnit;
    item->OnGetVarValue = m_main.OnGetVarValue;

    if (init && list) {
        const QString pos = v->Prop(QStringLiteral("pos"));
        auto d = std::make_unique<TzsVariableDesignator>(s);
        d->AddItem(item.get(), pos);
        d->Finish();
        enter(init);
        std::unique_ptr<TzsExpression> x(createExpression(child(init, 0), s));
        typeCheck(item.get(), x.get());
        auto stmt = std::make_unique<TzsAssignmentStmt>(s, pos, CurrentUnit);
        stmt->Designator = d.release();
        stmt->Expression = x.release();
        stmt->Resolve();
        append(list, std::move(stmt), pos);
    }
    return item.release();
}

// ---------------------------------------------------------------- statements

TzsCustomVariable* Builder::loopVariable(const TzsXMLItem* e, TzsScript* s)
{
    const TzsXMLItem* identItem = child(e, 0);
    enter(identItem);
    TzsCustomVariable* item = lookupVariable(text(identItem), s);
    auto* var = dynamic_cast<TzsVariable*>(item);
    if (!var || var->ReadOnly ||
        !(var->Kind == fvtInt || var->Kind == fvtFloat || var->Kind == fvtVariant || var->Kind == fvtInt64))
        fail(Msg::SForError);
    return var;
}

void Builder::buildStatement(TzsXMLItem* e, TzsScript* s, TzsStatement* list)
{
    const QString n = name(e);
    enter(e);
    const QString pos = e->Prop(QStringLiteral("pos"));
    if (n == QLatin1String("assignstmt")) {
        buildAssign(e, s, list);
    } else if (n == QLatin1String("callstmt")) {
        auto stmt = std::make_unique<TzsCallStmt>(s, pos, CurrentUnit);
        stmt->Designator = createDesignator(child(e, 0), s, DesignatorKind::Plain);
        if (e->Count() > 1 && name(e->Items(1)) == QLatin1String("modificator")) {
            stmt->Modificator = text(e->Items(1));
            if (stmt->Designator->ReadOnly) {
                ElementPosition = pos;
                fail(Msg::SLeftCantAssigned);
            }
        }
        append(list, std::move(stmt), pos);
    } else if (n == QLatin1String("ifstmt")) {
        auto stmt = std::make_unique<TzsIfStmt>(s, pos, CurrentUnit);
        stmt->Condition = createExpression(child(e, 0), s);
        for (int i = 1; i < e->Count(); ++i) {
            TzsXMLItem* c = e->Items(i);
            if (name(c) == QLatin1String("thenstmt"))
                buildChildren(c, s, stmt.get());
            else if (name(c) == QLatin1String("elsestmt"))
                buildChildren(c, s, stmt->ElseStmt.get());
        }
        append(list, std::move(stmt), pos);
    } else if (n == QLatin1String("casestmt")) {
        auto stmt = std::make_unique<TzsCaseStmt>(s, pos, CurrentUnit);
        stmt->ConsumesBreak = m_switchConsumesBreak;
        stmt->Condition = createExpression(child(e, 0), s);
        for (int i = 1; i < e->Count(); ++i) {
            TzsXMLItem* c = e->Items(i);
            if (name(c) == QLatin1String("caseselector")) {
                if (c->Count() < 1)
                    continue;
                enter(c);
                // A branch with an empty statement still owns its values:
                // they do nothing rather than fall through to the else branch.
                auto selector = std::make_unique<TzsCaseSelector>(s, c->Prop(QStringLiteral("pos")), CurrentUnit);
                selector->SetExpression = createSet(c->Items(0), s);
                if (c->Count() > 1)
                    buildStatement(c->Items(1), s, selector.get());
                stmt->Add(selector.release());
            } else if (i == e->Count() - 1) {
                buildStatement(c, s, stmt->ElseStmt.get());
            }
        }
        append(list, std::move(stmt), pos);
    } else if (n == QLatin1String("forstmt")) {
        auto stmt = std::make_unique<TzsForStmt>(s, pos, CurrentUnit);
        stmt->Variable = loopVariable(e, s);
        stmt->BeginValue = createExpression(child(e, 1), s);
        typeCheck(stmt->Variable, stmt->BeginValue);
        int at = 2;
        if (name(child(e, at)) == QLatin1String("downto")) {
            stmt->Down = true;
            ++at;
        }
        stmt->EndValue = createExpression(child(e, at), s);
        typeCheck(stmt->Variable, stmt->EndValue);
        buildChildren(e, s, stmt.get(), at + 1);
        append(list, std::move(stmt), pos);
    } else if (n == QLatin1String("vbforstmt")) {
        auto stmt = std::make_unique<TzsVbForStmt>(s, pos, CurrentUnit);
        stmt->Variable = loopVariable(e, s);
        stmt->BeginValue = createExpression(child(e, 1), s);
        typeCheck(stmt->Variable, stmt->BeginValue);
        stmt->EndValue = createExpression(child(e, 2), s);
        typeCheck(stmt->Variable, stmt->EndValue);
        int at = 3;
        if (e->Count() > at && name(e->Items(at)) == QLatin1String("expr")) {
            stmt->Step = createExpression(e->Items(at), s);
            typeCheck(stmt->Variable, stmt->Step);
            ++at;
        }
        buildChildren(e, s, stmt.get(), at);
        append(list, std::move(stmt), pos);
    } else if (n == QLatin1String("cppforstmt")) {
        auto stmt = std::make_unique<TzsCppForStmt>(s, pos, CurrentUnit);
        buildStatement(child(e, 0), s, stmt->FirstStmt.get());
        stmt->Condition = createExpression(child(e, 1), s);
        buildStatement(child(e, 2), s, stmt->SecondStmt.get());
        buildChildren(e, s, stmt.get(), 3);
        append(list, std::move(stmt), pos);
    } else if (n == QLatin1String("whilestmt")) {
        auto stmt = std::make_unique<TzsWhileStmt>(s, pos, CurrentUnit);
        stmt->Condition = createExpression(child(e, 0), s);
        buildChildren(e, s, stmt.get(), 1);
        append(list, std::move(stmt), pos);
    } else if (n == QLatin1String("repeatstmt")) {
        auto stmt = std::make_unique<TzsRepeatStmt>(s, pos, CurrentUnit);
        int conditionAt = e->Count() - 1;
        if (conditionAt >= 0 && name(e->Items(conditionAt)) == QLatin1String("inverse")) {
            stmt->InverseCondition = true;
            --conditionAt;
        }
        buildChildren(e, s, stmt.get(), 0, std::max(conditionAt, 0));
        stmt->Condition = createExpression(child(e, conditionAt), s);
        append(list, std::move(stmt), pos);
    } else if (n == QLatin1String("trystmt")) {
        auto stmt = std::make_unique<TzsTryStmt>(s, pos, CurrentUnit);
        for (int i = 0; i < e->Count(); ++i) {
            TzsXMLItem* c = e->Items(i);
            const QString cn = name(c);
            if (cn == QLatin1String("exceptstmt")) {
                stmt->IsExcept = true;
                buildChildren(c, s, stmt->ExceptStmt.get());
            } else if (cn == QLatin1String("finallystmt")) {
                buildChildren(c, s, stmt->ExceptStmt.get());
            } else {
                buildStatement(c, s, stmt.get());
            }
        }
        append(list, std::move(stmt), pos);
    } else if (n == QLatin1String("break")) {
        append(list, std::make_unique<TzsBreakStmt>(s, pos, CurrentUnit), pos);
    } else if (n == QLatin1String("continue")) {
        append(list, std::make_unique<TzsContinueStmt>(s, pos, CurrentUnit), pos);
    } else if (n == QLatin1String("exit")) {
        append(list, std::make_unique<TzsExitStmt>(s, pos, CurrentUnit), pos);
    } else if (n == QLatin1String("return")) {
        if (e->Count() > 0) {
            TzsCustomVariable* result = lookupVariable(QStringLiteral("Result"), s);
            auto d = std::make_unique<TzsDesignator>(s);
            d->AddItem(result, pos);
            d->Finish();
            if (TzsDesignator* fast = d->makeFastPath())
                d.reset(fast);
            if (d->ReadOnly)
                fail(Msg::SLeftCantAssigned);
            std::unique_ptr<TzsExpression> x(createExpression(child(e, 0), s));
            typeCheck(d.get(), x.get());
            auto stmt = std::make_unique<TzsAssignmentStmt>(s, pos, CurrentUnit);
            stmt->Designator = d.release();
            stmt->Expression = x.release();
            stmt->Resolve();
            append(list, std::move(stmt), pos);
        }
        append(list, std::make_unique<TzsExitStmt>(s, pos, CurrentUnit), pos);
    } else if (n == QLatin1String("with")) {
        buildWith(e, s, list);
    } else if (n == QLatin1String("delete")) {
        auto stmt = std::make_unique<TzsCallStmt>(s, pos, CurrentUnit);
        stmt->Designator = createDesignator(child(e, 0), s, DesignatorKind::Delete);
        append(list, std::move(stmt), pos);
    } else if (n == QLatin1String("compoundstmt")) {
        buildChildren(e, s, list);
    } else if (n == QLatin1String("uses")) {
        buildUses(e, s);
    } else if (n == QLatin1String("var")) {
        for (int i = 0; i < e->Count(); ++i) {
            TzsXMLItem* c = e->Items(i);
            if (name(c) != QLatin1String("ident"))
                continue;
            const QString varName = text(c);
            enter(c);
            checkRedeclared(s, varName);
            TzsCustomVariable* item = createVariable(e, s, false, false, list, varName);
            s->Add(varName, item);
        }
    } else if (n == QLatin1String("const")) {
        const QString constName = text(child(e, 0));
        enter(e->Items(0));
        checkRedeclared(s, constName);
        std::unique_ptr<TzsExpression> x(createExpression(child(e, 1), s));
        auto c = std::make_unique<TzsVariable>(constName, x->Kind, x->DeclaredType);
        c->Value = x->GetValue();
        c->ReadOnly = true;
        c->SourcePos = ElementPosition;
        c->UnitName = CurrentUnit;
        s->Add(constName, c.release());
    } else if (n == QLatin1String("procedure") || n == QLatin1String("function")) {
        const TzsXMLItem* nameItem = n == QLatin1String("procedure") ? child(e, 0) : child(e, findChild(e, "name"));
        auto* proc = dynamic_cast<TzsProcVariable*>(lookupVariable(text(nameItem), s));
        if (!proc)
            failNamed(Msg::SIdRedeclared, text(nameItem));
        buildItems(e, proc->LocalProgram);
    }
    // name, type, parameters, empty, types and anything else: nothing to build.
}

void Builder::buildAssign(TzsXMLItem* e, TzsScript* s, TzsStatement* list)
{
    const QString pos = e->Prop(QStringLiteral("pos"));
    std::unique_ptr<TzsDesignator> d(createDesignator(child(e, 0), s, DesignatorKind::Plain));
    QString op = QStringLiteral(" ");
    int exprAt = 1;
    if (name(child(e, 1)) == QLatin1String("modificator")) {
        op = text(e->Items(1));
        exprAt = 2;
    }
    if (d->ReadOnly) {
        ElementPosition = pos;
        fail(Msg::SLeftCantAssigned);
    }
    std::unique_ptr<TzsExpression> x(createExpression(child(e, exprAt), s));
    enter(e->Items(exprAt));
    typeCheck(d.get(), x.get());
    if (op == QLatin1String(" "))
        op = x->RewriteInPlace(d.get());
    std::unique_ptr<TzsAssignmentStmt> stmt;
    if (op == QLatin1String("*"))
        stmt = std::make_unique<TzsAssignMulStmt>(s, pos, CurrentUnit);
    else if (op == QLatin1String("+"))
        stmt = std::make_unique<TzsAssignPlusStmt>(s, pos, CurrentUnit);
    else if (op == QLatin1String("-"))
        stmt = std::make_unique<TzsAssignMinusStmt>(s, pos, CurrentUnit);
    else if (op == QLatin1String("/"))
        stmt = std::make_unique<TzsAssignDivStmt>(s, pos, CurrentUnit);
    else
        stmt = std::make_unique<TzsAssignmentStmt>(s, pos, CurrentUnit);
    stmt->Designator = d.release();
    stmt->Expression = x.release();
    stmt->Resolve();
    append(list, std::move(stmt), pos);
}

void Builder::buildWith(TzsXMLItem* e, TzsScript* s, TzsStatement* list)
{
    const int n = e->Count();
    // An empty body leaves no element after the subjects.
    const bool hasBody = n > 0 && name(e->Items(n - 1)) != QLatin1String("dsgn");
    const int subjects = hasBody ? n - 1 : n;
    size_t pushed = 0;
    for (int i = 0; i < subjects; ++i) {
        TzsXMLItem* c = e->Items(i);
        enter(c);
        std::unique_ptr<TzsDesignator> d(createDesignator(c, s, DesignatorKind::Plain));
        if (d->Kind != fvtClass && d->Kind != fvtVariant)
            fail(Msg::SClassRequired);
        const QString hiddenName = QStringLiteral("_WithList_%1").arg(++g_withCounter);
        auto* hidden = new TzsVariable(hiddenName, d->Kind, d->DeclaredType);
        s->Add(hiddenName, hidden);
        const QString pos = c->Prop(QStringLiteral("pos"));
        auto stmt = std::make_unique<TzsWithStmt>(s, pos, CurrentUnit);
        stmt->Designator = d.release();
        stmt->Variable = hidden;
        ActiveWiths.emplace_back(hiddenName, stmt.get());
        ++pushed;
        append(list, std::move(stmt), pos);
    }
    try {
        if (hasBody)
            buildStatement(e->Items(n - 1), s, list);
    } catch (...) {
        ActiveWiths.resize(ActiveWiths.size() - pushed);
        throw;
    }
    ActiveWiths.resize(ActiveWiths.size() - pushed);
}

void Builder::buildUses(TzsXMLItem* e, TzsScript* s)
{
    const QString savedUnit = CurrentUnit;
    CurrentUnit = e->Prop(QStringLiteral("unit"));
    QString ilText;
    if (m_main.OnGetILUnit)
        m_main.OnGetILUnit(&m_main, CurrentUnit, ilText);
    if (!ilText.isEmpty()) {
        TzsXMLDocument doc;
        doc.LoadFromText(ilText);
        buildItems(doc.Root(), s);
    } else {
        for (int i = 0; i < e->Count(); ++i)
            buildItems(e->Items(i), s);
    }
    CurrentUnit = savedUnit;
}

// ---------------------------------------------------------------- expressions

QString Builder::sourceBetween(const QString& from, const QString& to) const
{
    if (!m_parser || from.isEmpty() || to.isEmpty() || !CurrentUnit.isEmpty())
        return {};
    const QPoint a = zsPosToPoint(from);
    const QPoint b = zsPosToPoint(to);
    const TzsParser& lex = m_parser->Lexer;
    const int start = lex.PositionOfPoint(a.x(), a.y());
    const int end = lex.PositionOfPoint(b.x(), b.y());
    if (start < 1 || end < start)
        return {};
    return lex.SourceText.mid(start - 1, end - start).trimmed();
}

TzsExpression* Builder::createExpression(const TzsXMLItem* x, TzsScript* s)
{
    enter(x);
    auto e = std::make_unique<TzsExpression>(&m_main);
    feed(e.get(), x, s);
    e->Source = sourceBetween(x->Prop(QStringLiteral("pos")), x->Prop(QStringLiteral("pos1")));
    const QString errorPos = e->Complete();
    if (!errorPos.isEmpty()) {
        ElementPosition = errorPos;
        fail(Msg::SIncompatibleTypes);
    }
    e->SourcePos = x->Prop(QStringLiteral("pos"));
    return e.release();
}

void Builder::feed(TzsExpression* e, const TzsXMLItem* x, TzsScript* s)
{
    const int n = x->Count();
    for (int i = 0; i < n; ++i) {
        const TzsXMLItem* c = x->Items(i);
        enter(c);
        e->CurrentSourcePos = ElementPosition;
        const QString cn = name(c);
        if (cn == QLatin1String("op")) {
            const QString op = lower(text(c));
            if (op != QLatin1String(")") && i == n - 1)
                continue;
            e->AppendOperator(op);
        } else if (cn == QLatin1String("number") || cn == QLatin1String("string")) {
            e->AppendConstant(zsLiteralToValue(text(c)));
        } else if (cn == QLatin1String("dsgn")) {
            e->AppendDesignator(createDesignator(c, s, DesignatorKind::Plain));
        } else if (cn == QLatin1String("set")) {
            e->AppendSet(createSet(c, s));
        } else if (cn == QLatin1String("new")) {
            e->AppendDesignator(createDesignator(child(c, 0), s, DesignatorKind::New));
        } else if (cn == QLatin1String("expr")) {
            feed(e, c, s);
        }
    }
}

TzsSetExpression* Builder::createSet(const TzsXMLItem* x, TzsScript* s)
{
    auto set = std::make_unique<TzsSetExpression>();
    for (int i = 0; i < x->Count(); ++i) {
        const TzsXMLItem* c = x->Items(i);
        if (name(c) == QLatin1String("expr"))
            set->Add(createExpression(c, s));
        else if (name(c) == QLatin1String("range"))
            set->Add(nullptr);
    }
    return set.release();
}

// ---------------------------------------------------------------- designators

Builder::WithResult Builder::withLookup(const QString& n, const TzsXMLItem* d, TzsScript* s, TzsDesignator* dsgn,
                                        const QString& pos)
{
    for (auto it = ActiveWiths.rbegin(); it != ActiveWiths.rend(); ++it) {
        TzsCustomVariable* hidden = it->second->Variable;
        if (s->FindLocal(it->first) != hidden)
            continue;
        if (hidden->Kind == fvtVariant) {
            if (s->Find(n))
                return WithResult::NotFound;
            dsgn->AddItem(hidden, pos);
            auto source = std::make_unique<TzsXMLItem>();
            source->Assign(d);
            auto* node = new TzsXMLItem;
            node->Name = QStringLiteral("node");
            node->SetProp(QStringLiteral("text"), it->first);
            node->SetProp(QStringLiteral("pos"), pos);
            source->InsertItem(0, node);
            dsgn->Finish();
            dsgn->FormKind = TzsDesignator::General;
            dsgn->Target = nullptr;
            dsgn->Kind = fvtVariant;
            dsgn->ReadOnly = false;
            dsgn->DeferredSource = std::move(source);
            return WithResult::LateBound;
        }
        TzsClassVariable* cls = classLookup(hidden->DeclaredType);
        if (TzsCustomHelper* member = cls->Find(n)) {
            dsgn->AddItem(hidden, pos);
            dsgn->AddItem(member, pos);
            return WithResult::Found;
        }
    }
    return WithResult::NotFound;
}

// The value of a one-step chain of a plain variable, read at compile time;
// Null for anything whose reading could run code.
Variant Builder::valueNow(TzsDesignator* dsgn) const
{
    if (dsgn->Count() != 1)
        return plat::Null();
    TzsCustomVariable* ref = dsgn->GetItem(0)->Ref;
    if (dynamic_cast<TzsVariable*>(ref) || dynamic_cast<TzsParamItem*>(ref))
        return ref->GetValue();
    return plat::Null();
}

TzsCustomVariable* Builder::helperItem(const char* n, TzsScript* s)
{
    const QString helperName = QLatin1String(n);
    if (TzsCustomVariable* item = s->Find(helperName))
        return item;
    // A host without the system module still gets indexing of texts and arrays.
    TzsCustomVariable* helper = helperName == QLatin1String("__StringHelper")
                                    ? static_cast<TzsCustomVariable*>(new TzsStringHelper(helperName))
                                    : new TzsArrayHelper(helperName, fvtVariant, QStringLiteral("Variant"), 3, 1);
    TzsScript* root = &m_main;
    while (root->Parent)
        root = root->Parent;
    root->Add(helperName, helper);
    return helper;
}

TzsDesignator* Builder::deferred(std::unique_ptr<TzsDesignator> dsgn, const TzsXMLItem* source)
{
    dsgn->Finish();
    dsgn->FormKind = TzsDesignator::General;
    dsgn->Target = nullptr;
    dsgn->Kind = fvtVariant;
    dsgn->DeclaredType.clear();
    dsgn->ReadOnly = false;
    auto copy = std::make_unique<TzsXMLItem>();
    copy->Assign(source);
    dsgn->DeferredSource = std::move(copy);
    return dsgn.release();
}

TzsDesignator* Builder::createDesignator(const TzsXMLItem* d, TzsScript* s, DesignatorKind kind)
{
    enter(d);
    auto dsgn = std::make_unique<TzsDesignator>(s);
    const int n = d->Count();
    bool pendingIndexedMember = false;
    for (int i = 0; i < n; ++i) {
        const TzsXMLItem* c = d->Items(i);
        enter(c);
        const QString cn = name(c);
        const QString pos = ElementPosition;
        if (cn == QLatin1String("expr")) {
            TzsDesignatorItem* last = dsgn->LastItem();
            if (!last)
                fail(Msg::SVarRequired);
            last->Add(createExpression(c, s));
            continue;
        }
        if (cn == QLatin1String("addr")) {
            if (n != 2)
                fail(Msg::SVarRequired);
            auto* sv = new TzsStringVariable(QString(), fvtString, QStringLiteral("String"));
            sv->Text = text(d->Items(1));
            sv->ReadOnly = true;
            s->Add(QString(), sv);
            auto addr = std::make_unique<TzsDesignator>(s);
            addr->AddItem(sv, pos);
            addr->Finish();
            if (TzsDesignator* fast = addr->makeFastPath())
                return fast;
            return addr.release();
        }
        if (cn != QLatin1String("node"))
            continue;
        const QString t = text(c);
        if (dsgn->Count() == 0) {
            const WithResult r = withLookup(t, d, s, dsgn.get(), pos);
            if (r == WithResult::LateBound)
                return dsgn.release();
            if (r == WithResult::NotFound)
                dsgn->AddItem(lookupVariable(t, s), pos);
            if (kind == DesignatorKind::New) {
                auto* cls = dynamic_cast<TzsClassVariable*>(dsgn->LastItem()->Ref);
                if (!cls)
                    fail(Msg::SClassRequired);
                TzsCustomHelper* ctor = cls->Find(QStringLiteral("Create"));
                if (!ctor)
                    failNamed(Msg::SIdUndeclared, QStringLiteral("Create"));
                dsgn->AddItem(ctor, pos);
            }
            continue;
        }
        TzsDesignatorItem* previous = dsgn->LastItem();
        TzsCustomVariable* pref = previous->Ref;
        if (auto* mh = dynamic_cast<TzsMethodHelper*>(pref); mh && mh->IndexMethod && !pendingIndexedMember &&
                                                              !previous->DefaultAccess) {
            // An indexed property written as a member: the index follows.
            pendingIndexedMember = true;
            previous->DefaultAccess = true;
            if (t != QLatin1String("[")) {
                ElementPosition = previous->SourcePos;
                fail(Msg::SIndexRequired);
            }
            continue;
        }
        pendingIndexedMember = false;
        TzsVarType pk = pref->Kind;
        QString ptype = pref->DeclaredType;
        if (pk == fvtVariant) {
            const Variant v = valueNow(dsgn.get());
            if (v.isNull() || v.isEmpty()) {
                if (m_runtime)
                    throw plat::EAccessViolation(QStringLiteral("Invalid object reference"));
                return deferred(std::move(dsgn), d);
            }
            if (v.isString()) {
                pk = fvtString;
            } else if (v.type() == plat::varDispatch || v.type() == plat::varUnknown) {
                // The rest of the chain is bound by name when it runs.
                for (int j = i; j < n; ++j) {
                    const TzsXMLItem* a = d->Items(j);
                    enter(a);
                    if (name(a) == QLatin1String("expr")) {
                        TzsDesignatorItem* last = dsgn->LastItem();
                        if (!dynamic_cast<TzsOLEHelper*>(last->Ref))
                            fail(Msg::SVarRequired);
                        last->Add(createExpression(a, s));
                        last->Ref->Add(new TzsParamItem(QString(), fvtVariant, QStringLiteral("Variant"), false, false));
                    } else if (name(a) == QLatin1String("node") && text(a) != QLatin1String("[")) {
                        auto* helper = new TzsOLEHelper(text(a));
                        s->Add(QString(), helper);
                        dsgn->AddItem(helper, ElementPosition);
                    }
                }
                dsgn->Finish();
                checkArguments(dsgn.get());
                return dsgn.release();
            } else if (v.isArray()) {
                if (t != QLatin1String("["))
                    fail(Msg::SIndexRequired);
                dsgn->AddItem(helperItem("__ArrayHelper", s), pos);
                continue;
            } else {
                plat::TObject* obj = zs::objectOf(v);
                if (!obj)
                    throw plat::EAccessViolation(QStringLiteral("Invalid object reference"));
                ptype = obj->ClassName();
                pk = fvtClass;
            }
        }
        switch (pk) {
        case fvtString:
            if (t != QLatin1String("["))
                fail(Msg::SStringError);
            dsgn->AddItem(helperItem("__StringHelper", s), pos);
            break;
        case fvtClass: {
            TzsClassVariable* cls = classLookup(ptype);
            if (t == QLatin1String("[")) {
                TzsCustomHelper* def = nullptr;
                for (TzsClassVariable* k = cls; k && !def; k = k->Ancestor.isEmpty() ? nullptr : m_main.FindClass(k->Ancestor))
                    def = k->DefaultProperty;
                if (!def)
                    throw plat::Exception(zs::message(Msg::SClassError, ptype));
                dsgn->AddItem(def, pos)->DefaultAccess = true;
                break;
            }
            if (TzsCustomHelper* member = cls->Find(t)) {
                dsgn->AddItem(member, pos);
                break;
            }
            const Variant v = valueNow(dsgn.get());
            const bool nothing = v.isNull() || v.isEmpty() || (VarIsOrdinal(v) && v.rawInteger() == 0);
            if (nothing && !m_runtime && !m_main.Running && s->LateClassBinding) {
                while (dsgn->Count() > 1)
                    delete dsgn->Extract(dsgn->Count() - 1);
                return deferred(std::move(dsgn), d);
            }
            plat::TObject* actual = nothing ? nullptr : zs::objectOf(v);
            // The object's own class may have the member its declared class lacks.
            if (TzsClassVariable* own = actual ? m_main.FindClass(actual->ClassName()) : nullptr) {
                if (TzsCustomHelper* member = own->Find(t)) {
                    dsgn->AddItem(member, pos);
                    break;
                }
            }
            auto* owner = dynamic_cast<plat::TComponent*>(actual);
            plat::TComponent* comp = owner ? owner->FindComponent(t) : nullptr;
            if (!comp)
                failNamed(Msg::SIdUndeclared, t);
            auto* item = new TzsCustomVariable(comp->Name(), fvtClass, comp->ClassName());
            item->Value = plat::ObjectToVariant(comp);
            item->ReadOnly = true;
            s->Add(QString(), item);
            dsgn->AddItem(item, pos);
            break;
        }
        case fvtArray:
            // Declared arrays have their own helper; array parameters and
            // results use the general one.
            dsgn->AddItem(pref->Target ? pref->Target : helperItem("__ArrayHelper", s), pos);
            break;
        default:
            fail(Msg::SArrayRequired);
        }
    }
    if (!dsgn->Count())
        fail(Msg::SVarRequired);
    if (kind == DesignatorKind::Delete) {
        const TzsVarType k = dsgn->LastItem()->Ref->Kind;
        if (k != fvtClass && k != fvtVariant && k != fvtConstructor)
            fail(Msg::SClassRequired);
        TzsClassVariable* tobject = m_main.FindClass(QStringLiteral("TObject"));
        TzsCustomHelper* freeMember = tobject ? tobject->Find(QStringLiteral("Free")) : nullptr;
        if (!freeMember)
            failNamed(Msg::SIdUndeclared, QStringLiteral("Free"));
        dsgn->AddItem(freeMember, ElementPosition);
    }
    dsgn->Finish();
    checkArguments(dsgn.get());
    if (TzsDesignator* fast = dsgn->makeFastPath())
        return fast;
    return dsgn.release();
}

void Builder::checkArguments(TzsDesignator* dsgn)
{
    for (int i = 0; i < dsgn->Count(); ++i) {
        TzsDesignatorItem* item = dsgn->GetItem(i);
        TzsCustomVariable* ref = item->Ref;
        if (dynamic_cast<TzsDesignator*>(ref))
            continue;
        ElementPosition = item->SourcePos;
        const int given = item->Count();
        if (given < ref->GetRequiredCount())
            fail(Msg::SNotEnoughParams);
        if (given > ref->ParamCount())
            fail(Msg::STooManyParams);
        for (int j = given; j < ref->ParamCount(); ++j) {
            auto x = std::make_unique<TzsExpression>(&m_main);
            x->AppendConstant(ref->GetParam(j)->DefaultValue);
            x->Complete();
            item->Add(x.release());
        }
        for (int j = 0; j < given; ++j) {
            TzsCustomExpression* arg = item->GetArg(j);
            if (!arg->SourcePos.isEmpty())
                ElementPosition = arg->SourcePos;
            typeCheck(ref->GetParam(j), arg);
            // A var parameter's result must have somewhere to go.
            if (ref->GetParam(j)->IsVar && arg->ReadOnly)
                fail(Msg::SVarRequired);
        }
        item->prepare();
    }
}

} // namespace

void BuildProgram(TzsILParser& parser, TzsScript& script)
{
    Builder builder(script, &parser, false);
    script.ErrorUnitName.clear();
    try {
        builder.buildProgram(parser.IntermediateDocument->Root());
        script.ErrorPosition.clear();
    } catch (const plat::Exception& e) {
        script.ErrorMessage = e.message().isEmpty() ? QString::fromLatin1(e.className()) : e.message();
        script.ErrorPosition = builder.ElementPosition;
        script.ErrorUnitName = builder.CurrentUnit;
    }
}

TzsDesignator* buildLateDesignator(const TzsXMLItem& source, TzsScript& script)
{
    Builder builder(script, nullptr, true);
    return builder.createDesignator(&source, &script, DesignatorKind::Plain);
}

} // namespace zs
