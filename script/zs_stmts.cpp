#include "zs_stmts.h"

#include "Exceptions.h"
#include "Variant_fast.h"
#include "zs_dsgn.h"
#include "zs_expr.h"
#include "zs_script.h"

#include <typeinfo>

using plat::Variant;
using plat::VarOp;

// ---------------------------------------------------------------- block

TzsStatement::TzsStatement(TzsScript* script, const QString& sourcePos, const QString& unitName)
    : Script(script), SourcePos(sourcePos), UnitName(unitName)
{
}

void TzsStatement::Execute()
{
    runBlock();
}

void TzsStatement::ReportLine()
{
    Script->RunLine(UnitName, SourcePos);
}

bool TzsStatement::live() const
{
    return !Script->TerminateRequested;
}

void TzsStatement::runBlock()
{
    TzsScript* s = Script;
    s->ErrorPosition.clear();
    for (zs::Object* o : m_items) {
        if (s->TerminateRequested)
            break;
        auto* child = static_cast<TzsStatement*>(o);
        s->setCurrentPosition(&child->SourcePos);
        try {
            child->Execute();
        } catch (...) {
            if (s->ErrorPosition.isEmpty())
                s->ErrorPosition = s->CurrentPosition();
            throw;
        }
        if (s->BreakRequested || s->ContinueRequested || s->ExitRequested)
            break;
    }
}

bool TzsStatement::conditionHolds(TzsCustomExpression* condition)
{
    return plat::fast::toBoolean(static_cast<TzsExpression*>(condition)->Evaluate());
}

namespace {

// Loops leave on break, exit and termination alike.
bool leaveLoop(const TzsScript* s)
{
    return s->BreakRequested || s->ExitRequested || s->TerminateRequested;
}

} // namespace

// ---------------------------------------------------------------- assignments

TzsAssignmentStmt::~TzsAssignmentStmt()
{
    delete Designator;
    delete Expression;
}

void TzsAssignmentStmt::Resolve()
{
    DestItem = Designator->FormKind == TzsDesignator::PlainVariable ? Designator->Target : Designator;
    auto* expression = static_cast<TzsExpression*>(Expression);
    TzsCustomVariable* sole = expression->SoleOperand();
    // The root gives the expression's value without the expression's own call.
    SourceItem = sole ? sole : expression->RootNode;
    m_destText = typeid(*DestItem) == typeid(TzsStringVariable) ? static_cast<TzsStringVariable*>(DestItem) : nullptr;
    m_destValue = zs::StoredValue::of(DestItem);
    // Writing through a designator may run script code (an index, a call)
    // before it stores, so its source is read first, as a copy.
    if (DestItem != Designator)
        m_sourceValue = zs::StoredValue::of(SourceItem);
}

void TzsAssignmentStmt::Execute()
{
    ReportLine();
    if (!live())
        return;
    if (const Variant* value = m_sourceValue.get())
        DestItem->SetValue(*value);
    else
        DestItem->SetValue(SourceItem->GetValue());
}

TzsAssignOpStmt::TzsAssignOpStmt(TzsScript* script, const QString& sourcePos, const QString& unitName, int op)
    : TzsAssignmentStmt(script, sourcePos, unitName), m_op(op)
{
}

void TzsAssignOpStmt::Execute()
{
    ReportLine();
    if (!live())
        return;
    if (appendsText()) {
        appendText();
        return;
    }
    const Variant* stored = m_destValue.get();
    Variant value = stored ? *stored : DestItem->GetValue();
    if (const Variant* source = m_sourceValue.get())
        plat::VarOpInPlace(VarOp(m_op), value, *source);
    else
        plat::VarOpInPlace(VarOp(m_op), value, SourceItem->GetValue());
    DestItem->SetValue(value);
}

// s := s + e on a string variable that no host hook reads or guards.
bool TzsAssignOpStmt::appendsText() const
{
    return m_destText && m_op == int(VarOp::Add) && !m_destText->ReadOnly && !m_destText->OnGetVarValue;
}

// Appends to the variable's text where it lies, so that a loop building a
// text stays linear. The destination is read before the source, as always;
// the append happens in place only when evaluating the source left the text
// as it was (the same shared characters), else the general way joins.
void TzsAssignOpStmt::appendText()
{
    TzsStringVariable* variable = m_destText;
    QString before = variable->Text;
    const Variant piece = SourceItem->GetValue();
    const bool unchanged = before.constData() == variable->Text.constData() && before.size() == variable->Text.size();
    if (piece.isString() && unchanged) {
        before = QString(); // our share would make the append copy the text
        variable->Text.append(piece.rawString());
        return;
    }
    Variant value(std::move(before));
    plat::VarOpInPlace(VarOp::Add, value, piece);
    variable->SetValue(value);
}

TzsAssignPlusStmt::TzsAssignPlusStmt(TzsScript* s, const QString& p, const QString& u)
    : TzsAssignOpStmt(s, p, u, int(VarOp::Add))
{
}
TzsAssignMinusStmt::TzsAssignMinusStmt(TzsScript* s, const QString& p, const QString& u)
    : TzsAssignOpStmt(s, p, u, int(VarOp::Subtract))
{
}
TzsAssignMulStmt::TzsAssignMulStmt(TzsScript* s, const QString& p, const QString& u)
    : TzsAssignOpStmt(s, p, u, int(VarOp::Multiply))
{
}
TzsAssignDivStmt::TzsAssignDivStmt(TzsScript* s, const QString& p, const QString& u)
    : TzsAssignOpStmt(s, p, u, int(VarOp::Divide))
{
}

// ---------------------------------------------------------------- calls

TzsCallStmt::~TzsCallStmt()
{
    delete Designator;
}

void TzsCallStmt::Execute()
{
    ReportLine();
    if (!live())
        return;
    if (Modificator.isEmpty()) {
        Designator->ResultWanted = false;
        Designator->GetValue();
        return;
    }
    const Variant value = Designator->GetValue();
    const VarOp op = Modificator == QLatin1String("-") ? VarOp::Subtract : VarOp::Add;
    Designator->SetValue(plat::VarBinaryOp(op, value, Variant(1)));
}

// ---------------------------------------------------------------- conditions

TzsIfStmt::TzsIfStmt(TzsScript* script, const QString& sourcePos, const QString& unitName)
    : TzsStatement(script, sourcePos, unitName), ElseStmt(std::make_unique<TzsStatement>(script, sourcePos, unitName))
{
}

TzsIfStmt::~TzsIfStmt()
{
    delete Condition;
}

void TzsIfStmt::Execute()
{
    ReportLine();
    if (!live())
        return;
    if (conditionHolds(Condition))
        runBlock();
    else if (ElseStmt->Count())
        ElseStmt->Execute();
    else
        Script->ErrorPosition.clear(); // all that an empty block does
}

TzsCaseSelector::~TzsCaseSelector()
{
    delete SetExpression;
}

bool TzsCaseSelector::Matches(const Variant& value)
{
    return SetExpression->Contains(value);
}

TzsCaseStmt::TzsCaseStmt(TzsScript* script, const QString& sourcePos, const QString& unitName)
    : TzsStatement(script, sourcePos, unitName), ElseStmt(std::make_unique<TzsStatement>(script, sourcePos, unitName))
{
}

TzsCaseStmt::~TzsCaseStmt()
{
    delete Condition;
}

void TzsCaseStmt::Execute()
{
    const Variant value = Condition->GetValue();
    ReportLine();
    if (!live())
        return;
    bool matched = false;
    for (zs::Object* o : m_items) {
        auto* selector = static_cast<TzsCaseSelector*>(o);
        if (selector->Matches(value)) {
            selector->Execute();
            matched = true;
            break;
        }
    }
    if (!matched)
        ElseStmt->Execute();
    if (ConsumesBreak)
        Script->BreakRequested = false;
}

// ---------------------------------------------------------------- loops

TzsRepeatStmt::~TzsRepeatStmt()
{
    delete Condition;
}

void TzsRepeatStmt::Execute()
{
    ReportLine();
    if (!live())
        return;
    TzsScript* s = Script;
    for (;;) {
        runBlock();
        if (leaveLoop(s))
            break;
        s->ContinueRequested = false;
        const bool holds = conditionHolds(Condition);
        if (InverseCondition ? !holds : holds)
            break;
    }
    s->BreakRequested = false;
}

TzsWhileStmt::~TzsWhileStmt()
{
    delete Condition;
}

void TzsWhileStmt::Execute()
{
    ReportLine();
    if (!live())
        return;
    TzsScript* s = Script;
    while (conditionHolds(Condition)) {
        runBlock();
        if (leaveLoop(s))
            break;
        s->ContinueRequested = false;
    }
    s->BreakRequested = false;
}

TzsForStmt::~TzsForStmt()
{
    delete BeginValue;
    delete EndValue;
}

void TzsForStmt::Execute()
{
    int first = 0;
    int last = 0;
    try {
        first = BeginValue->GetValue().toInteger();
        last = EndValue->GetValue().toInteger();
    } catch (...) {
        ReportLine();
        throw;
    }
    ReportLine();
    if (!live())
        return;
    TzsScript* s = Script;
    // The count is fixed before the first iteration.
    const qint64 count = Down ? qint64(first) - last + 1 : qint64(last) - first + 1;
    const int step = Down ? -1 : 1;
    qint64 value = first;
    for (qint64 i = 0; i < count; ++i, value += step) {
        Variable->Value = Variant(int(value));
        runBlock();
        if (leaveLoop(s))
            break;
        s->ContinueRequested = false;
    }
    s->BreakRequested = false;
}

TzsVbForStmt::~TzsVbForStmt()
{
    delete BeginValue;
    delete EndValue;
    delete Step;
}

void TzsVbForStmt::Execute()
{
    Variant current = BeginValue->GetValue();
    const Variant last = EndValue->GetValue();
    const Variant step = Step ? Step->GetValue() : Variant(1);
    ReportLine();
    if (!live())
        return;
    TzsScript* s = Script;
    const bool down = plat::VarCmpLT(step, Variant(0));
    while (down ? !plat::VarCmpLT(current, last) : !plat::VarCmpGT(current, last)) {
        Variable->Value = current;
        runBlock();
        if (leaveLoop(s))
            break;
        s->ContinueRequested = false;
        current = plat::VarBinaryOp(VarOp::Add, current, step);
    }
    s->BreakRequested = false;
}

TzsCppForStmt::TzsCppForStmt(TzsScript* script, const QString& sourcePos, const QString& unitName)
    : TzsStatement(script, sourcePos, unitName),
      FirstStmt(std::make_unique<TzsStatement>(script, sourcePos, unitName)),
      SecondStmt(std::make_unique<TzsStatement>(script, sourcePos, unitName))
{
}

TzsCppForStmt::~TzsCppForStmt()
{
    delete Condition;
}

void TzsCppForStmt::Execute()
{
    ReportLine();
    if (!live())
        return;
    TzsScript* s = Script;
    FirstStmt->Execute();
    if (!live())
        return;
    for (;;) {
        if (Condition && !conditionHolds(Condition))
            break;
        runBlock();
        if (leaveLoop(s))
            break;
        s->ContinueRequested = false;
        SecondStmt->Execute();
    }
    s->BreakRequested = false;
}

// ---------------------------------------------------------------- try

TzsTryStmt::TzsTryStmt(TzsScript* script, const QString& sourcePos, const QString& unitName)
    : TzsStatement(script, sourcePos, unitName),
      ExceptStmt(std::make_unique<TzsStatement>(script, sourcePos, unitName))
{
}

void TzsTryStmt::Execute()
{
    ReportLine();
    if (!live())
        return;
    TzsScript* s = Script;
    if (IsExcept) {
        try {
            runBlock();
        } catch (const plat::Exception& e) {
            const QString className = QString::fromLatin1(e.className());
            const QString message = e.message();
            s->SetVariable(QStringLiteral("ExceptionClassName"), Variant(className));
            s->SetVariable(QStringLiteral("ExceptionMessage"), Variant(message));
            ExceptStmt->Execute();
        }
        return;
    }
    // The finally part always runs whole: break, continue and exit of the
    // protected part wait until it is done.
    auto runFinally = [this, s] {
        const bool exitFlag = s->ExitRequested;
        const bool breakFlag = s->BreakRequested;
        const bool continueFlag = s->ContinueRequested;
        s->ExitRequested = false;
        s->BreakRequested = false;
        s->ContinueRequested = false;
        ExceptStmt->Execute();
        s->ExitRequested = s->ExitRequested || exitFlag;
        s->BreakRequested = s->BreakRequested || breakFlag;
        s->ContinueRequested = s->ContinueRequested || continueFlag;
    };
    try {
        runBlock();
    } catch (...) {
        runFinally();
        throw;
    }
    runFinally();
}

// ---------------------------------------------------------------- jumps

void TzsBreakStmt::Execute()
{
    Script->BreakRequested = true;
}

void TzsContinueStmt::Execute()
{
    Script->ContinueRequested = true;
}

void TzsExitStmt::Execute()
{
    ReportLine();
    Script->ExitRequested = true;
}

// ---------------------------------------------------------------- with

TzsWithStmt::~TzsWithStmt()
{
    delete Designator;
}

void TzsWithStmt::Execute()
{
    Variable->SetValue(Designator->GetValue());
}
