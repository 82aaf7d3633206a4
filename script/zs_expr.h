#pragma once
// Expressions: a binary tree built by operator precedence from the flat
// sequence of operands and operators of the intermediate program, typed and
// checked once complete, evaluated over platform variants. Also the engine's
// type compatibility rules.

#include "zs_items.h"

#include <QString>

class TzsDesignator;
class TzsSetExpression;

namespace zs {
// An item whose value can be read where it lies instead of through GetValue,
// which would copy it: a constant, a parameter, or a variable unless a host
// hook supplies the variable's value. Operators read their operands and
// statements their sources this way.
struct StoredValue {
    TzsCustomVariable* item = nullptr;
    bool hookable = false;

    // The item's kind decides, once; nothing for other items.
    static StoredValue of(TzsCustomVariable* item);
    const plat::Variant* get() const { return item && !(hookable && item->OnGetVarValue) ? &item->Value : nullptr; }
};
} // namespace zs

class TzsCustomExpression : public TzsCustomVariable {
public:
    using TzsCustomVariable::TzsCustomVariable;
    // The source text of the expression (macro arguments receive it).
    QString Source;
};

class TzsExpressionNode : public TzsCustomVariable {
public:
    ~TzsExpressionNode() override;
    virtual int Priority() const = 0;
    void setLeft(TzsExpressionNode* node);
    void setRight(TzsExpressionNode* node);

    TzsExpressionNode* LeftNode = nullptr;  // owned
    TzsExpressionNode* RightNode = nullptr; // owned
    TzsExpressionNode* ParentNode = nullptr;
};

class TzsOperandNode : public TzsExpressionNode {
public:
    explicit TzsOperandNode(const plat::Variant& value);
    int Priority() const override { return 0; }
    plat::Variant GetValue() override { return Value; }

protected:
    TzsOperandNode() = default;
};

class TzsDesignatorNode : public TzsOperandNode {
public:
    explicit TzsDesignatorNode(TzsDesignator* designator);
    ~TzsDesignatorNode() override;
    plat::Variant GetValue() override;
    TzsDesignator* Designator; // owned
    TzsCustomVariable* ReadItem;
};

class TzsSetNode : public TzsOperandNode {
public:
    explicit TzsSetNode(TzsSetExpression* set);
    ~TzsSetNode() override;
    plat::Variant GetValue() override;
    TzsSetExpression* SetExpression; // owned
};

namespace zs {
enum OpCode : int {
    opNone = 0,
    opGreat = 1,
    opLess = 2,
    opLessEq = 3,
    opGreatEq = 4,
    opNonEq = 5,
    opEq = 6,
    opPlus = 7,
    opMinus = 8,
    opOr = 9,
    opXor = 10,
    opMul = 11,
    opDivFloat = 12,
    opDivInt = 13,
    opMod = 14,
    opAnd = 15,
    opShl = 16,
    opShr = 17,
    opLeftBracket = 18,
    opRightBracket = 19,
    opNot = 20,
    opUnMinus = 21,
    opIn = 22,
    opIs = 23,
};
} // namespace zs

class TzsOperatorNode : public TzsExpressionNode {
public:
    TzsOperatorNode(int op, int priority, bool strCat = false);
    int Priority() const override { return m_priority; }
    plat::Variant GetValue() override;
    bool isStrCat() const { return m_strCat; }

    int Op;
    bool ShortCircuit = false;
    // The script whose class items "is" consults.
    TzsScript* Script = nullptr;

    // Called once the tree is complete: how the operands will be read.
    void prepareOperands();

private:
    // The operators that evaluate both operands and combine them with one
    // variant operation; the others (not, unary minus, short-circuit and/or,
    // in, is, concatenation) take their own ways.
    bool isPlainBinary() const { return m_binary && !shortCircuits(); }
    bool shortCircuits() const { return ShortCircuit && (Op == zs::opOr || Op == zs::opAnd); }
    plat::Variant evaluateOther();

    int m_priority;
    bool m_strCat;
    bool m_binary = false;
    plat::VarOp m_varOp = plat::VarOp::Add;
    plat::Variant (*m_apply)(const plat::Variant&, const plat::Variant&) = nullptr;
    zs::StoredValue m_left;
    zs::StoredValue m_right;
};

#define ZS_OPERATOR_NODE(Name, Code, Prio, Cat)                                                                       \
    class Name final : public TzsOperatorNode {                                                                       \
    public:                                                                                                           \
        Name() : TzsOperatorNode(Code, Prio, Cat) {}                                                                  \
    };
ZS_OPERATOR_NODE(TNoneNode, zs::opNone, 7, false)
ZS_OPERATOR_NODE(TGreatNode, zs::opGreat, 4, false)
ZS_OPERATOR_NODE(TLessNode, zs::opLess, 4, false)
ZS_OPERATOR_NODE(TLessEqNode, zs::opLessEq, 4, false)
ZS_OPERATOR_NODE(TGreatEqNode, zs::opGreatEq, 4, false)
ZS_OPERATOR_NODE(TNonEqNode, zs::opNonEq, 4, false)
ZS_OPERATOR_NODE(TEqNode, zs::opEq, 4, false)
ZS_OPERATOR_NODE(TPlusNode, zs::opPlus, 3, false)
ZS_OPERATOR_NODE(TStrCatNode, zs::opPlus, 3, true)
ZS_OPERATOR_NODE(TMinusNode, zs::opMinus, 3, false)
ZS_OPERATOR_NODE(TOrNode, zs::opOr, 3, false)
ZS_OPERATOR_NODE(TXorNode, zs::opXor, 3, false)
ZS_OPERATOR_NODE(TMulNode, zs::opMul, 2, false)
ZS_OPERATOR_NODE(TDivFloatNode, zs::opDivFloat, 2, false)
ZS_OPERATOR_NODE(TDivIntNode, zs::opDivInt, 2, false)
ZS_OPERATOR_NODE(TModNode, zs::opMod, 2, false)
ZS_OPERATOR_NODE(TAndNode, zs::opAnd, 2, false)
ZS_OPERATOR_NODE(TShlNode, zs::opShl, 2, false)
ZS_OPERATOR_NODE(TShrNode, zs::opShr, 2, false)
ZS_OPERATOR_NODE(TLeftBracketNode, zs::opLeftBracket, 6, false)
ZS_OPERATOR_NODE(TRightBracketNode, zs::opRightBracket, 5, false)
ZS_OPERATOR_NODE(TNotNode, zs::opNot, 1, false)
ZS_OPERATOR_NODE(TUnMinusNode, zs::opUnMinus, 1, false)
ZS_OPERATOR_NODE(TInNode, zs::opIn, 4, false)
ZS_OPERATOR_NODE(TIsNode, zs::opIs, 4, false)
#undef ZS_OPERATOR_NODE

class TzsExpression : public TzsCustomExpression {
public:
    explicit TzsExpression(TzsScript* script);
    ~TzsExpression() override;

    void AppendConstant(const plat::Variant& value);
    void AppendDesignator(TzsDesignator* designator);
    void AppendSet(TzsSetExpression* set);
    // Raises for a text that is no operator.
    void AppendOperator(const QString& text);
    // Types the tree; the line:col of the first operator whose operands do
    // not fit, or "" when all fit.
    QString Complete();
    // The operator of an in-place assignment to target (the tree loses the
    // target's operand), or " " when none applies.
    QString RewriteInPlace(TzsDesignator* target);
    // The item the expression reduces to when its root is an operand.
    TzsCustomVariable* SoleOperand() const;

    plat::Variant GetValue() override;
    void SetValue(const plat::Variant& value) override;
    // GetValue without the virtual call, for statements that hold an expression.
    plat::Variant Evaluate() { return RootNode->GetValue(); }

    TzsExpressionNode* CurrentNode = nullptr;
    TzsExpressionNode* RootNode = nullptr; // owned
    TzsScript* Script = nullptr;
    // Position given to the next appended node.
    QString CurrentSourcePos;

private:
    void appendOperand(TzsExpressionNode* node);
    void typeNode(TzsExpressionNode* node, QString& errorPos);
    TzsExpressionNode* foldConstants(TzsExpressionNode* node);
    static void prepareOperators(TzsExpressionNode* node);
    int m_nodeCount = 1;
};

bool zsTypesCompatible(TzsVarType targetType, const QString& targetTypeName, TzsVarType sourceType,
                       const QString& sourceTypeName, TzsScript* script);
bool zsAssignCompatible(TzsCustomVariable* variable, TzsCustomVariable* expression, TzsScript* script);
bool zsIsClassCompatible(const QString& targetClassName, const QString& sourceClassName, TzsScript* script);
