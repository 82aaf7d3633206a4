#include "zs_expr.h"

#include "Exceptions.h"
#include "Handles.h"
#include "Objects.h"
#include "TypeInfo.h"
#include "Variant_fast.h"
#include "zs_dsgn.h"
#include "zs_script.h"

#include <typeinfo>

using plat::Variant;
using plat::VarOp;

// ---------------------------------------------------------------- nodes

TzsExpressionNode::~TzsExpressionNode()
{
    delete LeftNode;
    delete RightNode;
}

void TzsExpressionNode::setLeft(TzsExpressionNode* node)
{
    LeftNode = node;
    if (node)
        node->ParentNode = this;
}

void TzsExpressionNode::setRight(TzsExpressionNode* node)
{
    RightNode = node;
    if (node)
        node->ParentNode = this;
}

namespace {

TzsVarType kindOfValue(const Variant& v)
{
    switch (v.type()) {
    case plat::varBoolean: return fvtBool;
    case plat::varSingle:
    case plat::varDouble:
    case plat::varCurrency: return fvtFloat;
    case plat::varString:
    case plat::varOleStr: return fvtString;
    default: return fvtInt;
    }
}

} // namespace

TzsOperandNode::TzsOperandNode(const Variant& value)
{
    Value = value;
    Kind = kindOfValue(value);
}

namespace {

// A parameter named alone: reading the designator only reads the parameter.
TzsParamItem* soleParameter(TzsDesignator* designator)
{
    if (designator->FormKind != TzsDesignator::General || designator->DeferredSource || designator->Count() != 1 ||
        designator->GetItem(0)->Count() != 0)
        return nullptr;
    return dynamic_cast<TzsParamItem*>(designator->GetItem(0)->Ref);
}

} // namespace

TzsDesignatorNode::TzsDesignatorNode(TzsDesignator* designator) : Designator(designator)
{
    ReadItem = designator->FormKind == TzsDesignator::PlainVariable ? designator->Target : designator;
    if (TzsParamItem* parameter = soleParameter(designator))
        ReadItem = parameter;
    Kind = designator->Kind;
    DeclaredType = designator->DeclaredType;
}

TzsDesignatorNode::~TzsDesignatorNode()
{
    delete Designator;
}

Variant TzsDesignatorNode::GetValue()
{
    return ReadItem->GetValue();
}

TzsSetNode::TzsSetNode(TzsSetExpression* set) : SetExpression(set)
{
    Kind = fvtVariant;
}

TzsSetNode::~TzsSetNode()
{
    delete SetExpression;
}

Variant TzsSetNode::GetValue()
{
    return SetExpression->GetValue();
}

namespace {

// The variant operation of an operator that combines its two operand values;
// false for the operators that work otherwise.
bool binaryOperation(int op, VarOp& result)
{
    switch (op) {
    case zs::opGreat: result = VarOp::CmpGT; return true;
    case zs::opLess: result = VarOp::CmpLT; return true;
    case zs::opLessEq: result = VarOp::CmpLE; return true;
    case zs::opGreatEq: result = VarOp::CmpGE; return true;
    case zs::opNonEq: result = VarOp::CmpNE; return true;
    case zs::opEq: result = VarOp::CmpEQ; return true;
    case zs::opPlus: result = VarOp::Add; return true;
    case zs::opMinus: result = VarOp::Subtract; return true;
    case zs::opOr: result = VarOp::Or; return true;
    case zs::opXor: result = VarOp::Xor; return true;
    case zs::opMul: result = VarOp::Multiply; return true;
    case zs::opDivFloat: result = VarOp::Divide; return true;
    case zs::opDivInt: result = VarOp::IntDivide; return true;
    case zs::opMod: result = VarOp::Modulus; return true;
    case zs::opAnd: result = VarOp::And; return true;
    case zs::opShl: result = VarOp::ShiftLeft; return true;
    case zs::opShr: result = VarOp::ShiftRight; return true;
    default: return false;
    }
}

} // namespace

TzsOperatorNode::TzsOperatorNode(int op, int priority, bool strCat) : Op(op), m_priority(priority), m_strCat(strCat)
{
    m_binary = !strCat && binaryOperation(op, m_varOp);
    if (m_binary)
        m_apply = plat::fast::binaryOpFunction(m_varOp);
}

namespace {

// An array value tested for "in": an element equal to the value, or an
// element, a Null and a third element forming a range.
bool arrayContains(const Variant& array, const Variant& value)
{
    if (!array.isArray())
        return false;
    const int low = plat::VarArrayLowBound(array, 1);
    const int high = plat::VarArrayHighBound(array, 1);
    for (int i = low; i <= high; ++i) {
        const Variant e = plat::VarArrayGet(array, {i});
        if (i + 2 <= high && plat::VarArrayGet(array, {i + 1}).isNull()) {
            if (plat::VarCmpGE(value, e) && plat::VarCmpLE(value, plat::VarArrayGet(array, {i + 2})))
                return true;
            i += 2;
            continue;
        }
        if (plat::VarCmpEQ(value, e))
            return true;
    }
    return false;
}

Variant rightValue(TzsExpressionNode* node)
{
    return node ? node->GetValue() : plat::Null();
}

} // namespace

zs::StoredValue zs::StoredValue::of(TzsCustomVariable* item)
{
    StoredValue stored;
    if (!item)
        return stored;
    const std::type_info& type = typeid(*item);
    if (type == typeid(TzsOperandNode) || type == typeid(TzsParamItem)) {
        stored.item = item;
    } else if (type == typeid(TzsVariable)) {
        stored.item = item;
        stored.hookable = true;
    }
    return stored;
}

namespace {

TzsCustomVariable* operandItem(TzsExpressionNode* node)
{
    auto* dn = dynamic_cast<TzsDesignatorNode*>(node);
    return dn ? dn->ReadItem : node;
}

} // namespace

void TzsOperatorNode::prepareOperands()
{
    m_left = zs::StoredValue::of(operandItem(LeftNode));
    m_right = zs::StoredValue::of(operandItem(RightNode));
}

Variant TzsOperatorNode::GetValue()
{
    if (!isPlainBinary())
        return evaluateOther();
    // The left operand is read in place only when reading the right one
    // cannot change it (the right is read in place too).
    const Variant* right = m_right.get();
    if (const Variant* left = right ? m_left.get() : nullptr)
        return m_apply(*left, *right);
    const Variant left = LeftNode->GetValue();
    if (right)
        return m_apply(left, *right);
    return m_apply(left, rightValue(RightNode));
}

Variant TzsOperatorNode::evaluateOther()
{
    switch (Op) {
    case zs::opNone:
        return LeftNode ? LeftNode->GetValue() : plat::Null();
    case zs::opNot: {
        const Variant value = LeftNode->GetValue();
        Variant result;
        return plat::fast::tryNot(value, result) ? result : plat::VarNot(value);
    }
    case zs::opUnMinus: {
        const Variant value = LeftNode->GetValue();
        Variant result;
        return plat::fast::tryNeg(value, result) ? result : plat::VarNeg(value);
    }
    case zs::opOr:
    case zs::opAnd: {
        // Short-circuit (the plain forms are binary): the left value decides.
        const bool left = plat::fast::toBoolean(LeftNode->GetValue());
        if (Op == zs::opOr ? left : !left)
            return Variant(left);
        return rightValue(RightNode);
    }
    case zs::opIn:
        if (auto* set = dynamic_cast<TzsSetNode*>(RightNode))
            return Variant(set->SetExpression->Contains(LeftNode->GetValue()));
        {
            const Variant left = LeftNode->GetValue();
            return Variant(arrayContains(rightValue(RightNode), left));
        }
    case zs::opIs: {
        plat::TObject* obj = zs::objectOf(LeftNode->GetValue());
        const Variant right = rightValue(RightNode);
        const plat::TClass* cls = plat::VariantToClass(right);
        return Variant(obj != nullptr && cls != nullptr && obj->InheritsFrom(cls));
    }
    case zs::opPlus: {
        // Concatenation always joins texts, whatever the operands hold.
        const Variant left = LeftNode->GetValue();
        const Variant right = rightValue(RightNode);
        return Variant(plat::VarToStr(left) + plat::VarToStr(right));
    }
    default:
        return LeftNode->GetValue();
    }
}

// ---------------------------------------------------------------- expression

TzsExpression::TzsExpression(TzsScript* script) : Script(script)
{
    RootNode = new TNoneNode;
    CurrentNode = RootNode;
}

TzsExpression::~TzsExpression()
{
    delete RootNode;
}

namespace {
// Deeper trees would recurse deeper than the stack allows while they are
// typed, evaluated and freed.
constexpr int kMaxExpressionNodes = 10000;

void checkNodeCount(int count)
{
    if (count > kMaxExpressionNodes)
        throw plat::Exception(QStringLiteral("Expression too complex"));
}
} // namespace

void TzsExpression::appendOperand(TzsExpressionNode* node)
{
    checkNodeCount(m_nodeCount + 1);
    node->SourcePos = CurrentSourcePos;
    if (!CurrentNode->LeftNode) {
        CurrentNode->setLeft(node);
    } else if (!CurrentNode->RightNode) {
        CurrentNode->setRight(node);
    } else {
        delete node;
        throw plat::Exception(QStringLiteral("Operator expected"));
    }
    CurrentNode = node;
    ++m_nodeCount;
}

void TzsExpression::AppendConstant(const Variant& value)
{
    appendOperand(new TzsOperandNode(value));
}

void TzsExpression::AppendDesignator(TzsDesignator* designator)
{
    appendOperand(new TzsDesignatorNode(designator));
}

void TzsExpression::AppendSet(TzsSetExpression* set)
{
    appendOperand(new TzsSetNode(set));
}

namespace {

TzsOperatorNode* createOperator(const QString& text)
{
    const QString t = text.toUpper();
    if (t == QLatin1String(" ")) return new TNoneNode;
    if (t == QLatin1String(">")) return new TGreatNode;
    if (t == QLatin1String("<")) return new TLessNode;
    if (t == QLatin1String("<=")) return new TLessEqNode;
    if (t == QLatin1String(">=")) return new TGreatEqNode;
    if (t == QLatin1String("<>")) return new TNonEqNode;
    if (t == QLatin1String("=")) return new TEqNode;
    if (t == QLatin1String("+")) return new TPlusNode;
    if (t == QLatin1String("STRCAT")) return new TStrCatNode;
    if (t == QLatin1String("-")) return new TMinusNode;
    if (t == QLatin1String("OR")) return new TOrNode;
    if (t == QLatin1String("XOR")) return new TXorNode;
    if (t == QLatin1String("*")) return new TMulNode;
    if (t == QLatin1String("/")) return new TDivFloatNode;
    if (t == QLatin1String("DIV")) return new TDivIntNode;
    if (t == QLatin1String("MOD")) return new TModNode;
    if (t == QLatin1String("AND")) return new TAndNode;
    if (t == QLatin1String("SHL")) return new TShlNode;
    if (t == QLatin1String("SHR")) return new TShrNode;
    if (t == QLatin1String("(")) return new TLeftBracketNode;
    if (t == QLatin1String(")")) return new TRightBracketNode;
    if (t == QLatin1String("NOT")) return new TNotNode;
    if (t == QLatin1String("UNMINUS")) return new TUnMinusNode;
    if (t == QLatin1String("IN")) return new TInNode;
    if (t == QLatin1String("IS")) return new TIsNode;
    throw plat::Exception(QStringLiteral("Unknown operator '%1'").arg(text));
}

bool isLeftBracket(const TzsExpressionNode* node)
{
    auto* op = dynamic_cast<const TzsOperatorNode*>(node);
    return op && op->Op == zs::opLeftBracket;
}

void replaceChild(TzsExpressionNode* parent, TzsExpressionNode* oldChild, TzsExpressionNode* newChild)
{
    if (parent->LeftNode == oldChild)
        parent->setLeft(newChild);
    else
        parent->setRight(newChild);
}

} // namespace

void TzsExpression::AppendOperator(const QString& text)
{
    const QString lower = text.toLower();
    if (lower == QLatin1String(")")) {
        TzsExpressionNode* n = CurrentNode;
        while (n && n->Priority() <= 5)
            n = n->ParentNode;
        if (!n || !isLeftBracket(n))
            throw plat::Exception(QStringLiteral("'(' expected"));
        TzsExpressionNode* inner = n->LeftNode;
        n->LeftNode = nullptr;
        replaceChild(n->ParentNode, n, inner);
        delete n;
        --m_nodeCount;
        CurrentNode = inner ? inner : RootNode;
        return;
    }
    TzsOperatorNode* node = createOperator(text);
    node->Script = Script;
    if (lower == QLatin1String("(") || lower == QLatin1String("unminus") || lower == QLatin1String("not")) {
        appendOperand(node);
        return;
    }
    node->SourcePos = CurrentSourcePos;
    if (m_nodeCount + 1 > kMaxExpressionNodes) {
        delete node;
        checkNodeCount(m_nodeCount + 1);
    }
    ++m_nodeCount;
    auto attachTo = [&](TzsExpressionNode* parent) {
        if (!parent->LeftNode)
            parent->setLeft(node);
        else
            parent->setRight(node);
        CurrentNode = node;
    };
    if (m_nodeCount == 2) {
        attachTo(CurrentNode);
        return;
    }
    TzsExpressionNode* candidate = nullptr;
    TzsExpressionNode* climb = CurrentNode;
    if (!isLeftBracket(CurrentNode)) {
        candidate = CurrentNode;
        climb = CurrentNode->ParentNode;
    }
    while (climb && node->Priority() >= climb->Priority()) {
        candidate = climb;
        climb = climb->ParentNode;
    }
    if (!climb) {
        delete node;
        throw plat::Exception(QStringLiteral("Invalid expression"));
    }
    if (!candidate) {
        attachTo(climb);
        return;
    }
    replaceChild(climb, candidate, node);
    node->setLeft(candidate);
    CurrentNode = node;
}

namespace {

bool isComparison(int op)
{
    return op >= zs::opGreat && op <= zs::opEq;
}

bool boolOperatorAllowed(const TzsOperatorNode* n)
{
    return n->Op == zs::opNonEq || n->Op == zs::opEq || n->Op == zs::opOr || n->Op == zs::opXor ||
           n->Op == zs::opAnd || n->Op == zs::opNot;
}

} // namespace

void TzsExpression::typeNode(TzsExpressionNode* node, QString& errorPos)
{
    auto* op = dynamic_cast<TzsOperatorNode*>(node);
    if (!op)
        return;
    if (op->LeftNode)
        typeNode(op->LeftNode, errorPos);
    if (op->RightNode)
        typeNode(op->RightNode, errorPos);
    const TzsVarType t1 = op->LeftNode ? op->LeftNode->Kind : fvtVariant;
    const QString n1 = op->LeftNode ? op->LeftNode->DeclaredType : QString();
    const TzsVarType t2 = op->RightNode ? op->RightNode->Kind : fvtVariant;
    const QString n2 = op->RightNode ? op->RightNode->DeclaredType : QString();
    if (t1 == fvtBool && t2 == fvtBool)
        op->ShortCircuit = true;

    bool fits = false;
    if (op->Op == zs::opIs && t1 == fvtClass && t2 == fvtClass) {
        fits = true;
    } else if (zsTypesCompatible(t1, n1, t2, n2, Script)) {
        switch (t1) {
        case fvtBool: fits = boolOperatorAllowed(op); break;
        case fvtChar:
        case fvtString: fits = isComparison(op->Op) || op->Op == zs::opPlus || op->Op == zs::opIn; break;
        case fvtClass:
        case fvtArray: fits = op->Op == zs::opNonEq || op->Op == zs::opEq; break;
        default: fits = true;
        }
    }

    TzsVarType result = t1;
    QString resultName = n1;
    const bool int1 = t1 == fvtInt || t1 == fvtInt64;
    const bool int2 = t2 == fvtInt || t2 == fvtInt64;
    if ((int1 && t2 == fvtFloat) || (t1 == fvtFloat && int2) || (int1 && int2 && op->Op == zs::opDivFloat)) {
        result = fvtFloat;
        resultName.clear();
    }
    if (isComparison(op->Op) || op->Op == zs::opIn || op->Op == zs::opIs) {
        result = fvtBool;
        resultName.clear();
    }
    op->Kind = result;
    op->DeclaredType = resultName;
    if (!fits && errorPos.isEmpty())
        errorPos = op->SourcePos;
}

namespace {

// A literal operand, neither a designator nor a set.
bool isConstant(const TzsExpressionNode* node)
{
    return node && typeid(*node) == typeid(TzsOperandNode);
}

} // namespace

// An operator over constants only is evaluated once, here; the constant it
// becomes keeps the operator's type and position. One that raises (1 div 0)
// stays, so that its error comes when, and only if, the script reaches it.
TzsExpressionNode* TzsExpression::foldConstants(TzsExpressionNode* node)
{
    auto* op = dynamic_cast<TzsOperatorNode*>(node);
    if (!op)
        return node;
    if (op->LeftNode)
        op->setLeft(foldConstants(op->LeftNode));
    if (op->RightNode)
        op->setRight(foldConstants(op->RightNode));
    if (op->Op == zs::opIs || !isConstant(op->LeftNode) || (op->RightNode && !isConstant(op->RightNode)))
        return node;
    Variant value;
    try {
        value = op->GetValue();
    } catch (const plat::Exception&) {
        return node;
    }
    auto* folded = new TzsOperandNode(value);
    folded->Kind = op->Kind;
    folded->DeclaredType = op->DeclaredType;
    folded->SourcePos = op->SourcePos;
    delete op;
    return folded;
}

void TzsExpression::prepareOperators(TzsExpressionNode* node)
{
    auto* op = dynamic_cast<TzsOperatorNode*>(node);
    if (!op)
        return;
    prepareOperators(op->LeftNode);
    prepareOperators(op->RightNode);
    op->prepareOperands();
}

QString TzsExpression::Complete()
{
    // The lone None root goes; its child is the tree.
    TzsExpressionNode* root = RootNode;
    TzsExpressionNode* tree = root->LeftNode;
    root->LeftNode = nullptr;
    if (auto* op = dynamic_cast<TzsOperatorNode*>(root); op && op->Op == zs::opNone && root->RightNode == nullptr) {
        delete root;
        RootNode = tree ? tree : new TzsOperandNode(plat::Null());
    } else {
        root->LeftNode = tree;
    }
    RootNode->ParentNode = nullptr;
    QString errorPos;
    typeNode(RootNode, errorPos);
    if (errorPos.isEmpty()) {
        RootNode = foldConstants(RootNode);
        RootNode->ParentNode = nullptr;
    }
    prepareOperators(RootNode);
    CurrentNode = RootNode;
    Kind = RootNode->Kind;
    DeclaredType = RootNode->DeclaredType;
    auto* dn = dynamic_cast<TzsDesignatorNode*>(RootNode);
    ReadOnly = !dn || dn->Designator->ReadOnly;
    return errorPos;
}

namespace {

bool refersTo(TzsExpressionNode* node, TzsCustomVariable* variable)
{
    auto* dn = dynamic_cast<TzsDesignatorNode*>(node);
    return dn && dn->Designator->FormKind == TzsDesignator::PlainVariable && dn->Designator->Target == variable;
}

QString opText(int op)
{
    switch (op) {
    case zs::opPlus: return QStringLiteral("+");
    case zs::opMinus: return QStringLiteral("-");
    case zs::opMul: return QStringLiteral("*");
    default: return QStringLiteral("/");
    }
}

} // namespace

QString TzsExpression::RewriteInPlace(TzsDesignator* target)
{
    const QString none = QStringLiteral(" ");
    if (!target || target->FormKind != TzsDesignator::PlainVariable)
        return none;
    auto* root = dynamic_cast<TzsOperatorNode*>(RootNode);
    // Concatenation is never rewritten: it joins texts, the in-place forms add.
    if (!root || root->isStrCat() ||
        !(root->Op == zs::opPlus || root->Op == zs::opMinus || root->Op == zs::opMul || root->Op == zs::opDivFloat))
        return none;
    TzsCustomVariable* variable = target->Target;
    if (root->RightNode && refersTo(root->LeftNode, variable)) {
        TzsExpressionNode* keep = root->RightNode;
        root->RightNode = nullptr;
        const QString result = opText(root->Op);
        delete root;
        RootNode = keep;
        keep->ParentNode = nullptr;
        return result;
    }
    if ((root->Op == zs::opPlus || root->Op == zs::opMul) && root->LeftNode && refersTo(root->RightNode, variable) &&
        variable->Kind != fvtString && variable->Kind != fvtVariant) {
        TzsExpressionNode* keep = root->LeftNode;
        root->LeftNode = nullptr;
        const QString result = opText(root->Op);
        delete root;
        RootNode = keep;
        keep->ParentNode = nullptr;
        return result;
    }
    return none;
}

TzsCustomVariable* TzsExpression::SoleOperand() const
{
    if (auto* dn = dynamic_cast<TzsDesignatorNode*>(RootNode))
        return dn->ReadItem;
    if (dynamic_cast<TzsOperandNode*>(RootNode))
        return RootNode;
    return nullptr;
}

Variant TzsExpression::GetValue()
{
    return RootNode->GetValue();
}

void TzsExpression::SetValue(const Variant& value)
{
    if (ReadOnly)
        return;
    if (auto* dn = dynamic_cast<TzsDesignatorNode*>(RootNode))
        dn->Designator->SetValue(value);
}

// ---------------------------------------------------------------- type rules

bool zsIsClassCompatible(const QString& targetClassName, const QString& sourceClassName, TzsScript* script)
{
    if (!script)
        return false;
    TzsClassVariable* target = script->FindClass(targetClassName);
    TzsClassVariable* source = script->FindClass(sourceClassName);
    return target && source && source->ClassRef->InheritsFrom(target->ClassRef);
}

bool zsTypesCompatible(TzsVarType targetType, const QString& targetTypeName, TzsVarType sourceType,
                       const QString& sourceTypeName, TzsScript* script)
{
    switch (targetType) {
    case fvtInt:
    case fvtInt64:
        // A 64-bit integer takes what an integer takes (it took nothing at
        // all, which made Int64 variables unusable).
        return sourceType == fvtInt || sourceType == fvtFloat || sourceType == fvtVariant || sourceType == fvtEnum ||
               sourceType == fvtInt64;
    case fvtBool: return sourceType == fvtBool || sourceType == fvtVariant;
    case fvtFloat:
        return sourceType == fvtInt || sourceType == fvtFloat || sourceType == fvtVariant || sourceType == fvtInt64;
    case fvtChar:
    case fvtString: return sourceType == fvtChar || sourceType == fvtString || sourceType == fvtVariant;
    case fvtClass:
        return sourceType == fvtVariant ||
               (sourceType == fvtClass && zsIsClassCompatible(targetTypeName, sourceTypeName, script));
    case fvtArray: return sourceType == fvtArray || sourceType == fvtVariant;
    case fvtVariant: return true;
    case fvtEnum:
        return sourceType == fvtInt || sourceType == fvtVariant || sourceType == fvtInt64 ||
               (sourceType == fvtEnum && targetTypeName.compare(sourceTypeName, Qt::CaseInsensitive) == 0);
    default: return false;
    }
}

bool zsAssignCompatible(TzsCustomVariable* variable, TzsCustomVariable* expression, TzsScript* script)
{
    if ((variable->Kind == fvtInt || variable->Kind == fvtInt64) && expression->Kind == fvtFloat)
        return false;
    return zsTypesCompatible(variable->Kind, variable->DeclaredType, expression->Kind, expression->DeclaredType,
                             script);
}
