#pragma once
// The statement tree of a compiled script and its execution. One set of
// statement classes serves all four languages; the builder maps each
// language onto them. The run flags (terminate, exit, break, continue) live
// on the statement's script.

#include "zs_expr.h"
#include "zs_items.h"

#include <QString>
#include <memory>

class TzsCustomExpression;
class TzsDesignator;
class TzsSetExpression;
class TzsStringVariable;

class TzsStatement : public TzsItemList {
public:
    TzsStatement(TzsScript* script, const QString& sourcePos, const QString& unitName);
    // A plain block: runs its children in order.
    virtual void Execute();
    TzsStatement* GetChild(int index) const { return static_cast<TzsStatement*>(Items(index)); }
    void ReportLine();

    TzsScript* Script;
    QString SourcePos;
    QString UnitName;

protected:
    // True when the statement may go on (not terminated).
    bool live() const;
    // Runs the children as a block.
    void runBlock();
    bool conditionHolds(TzsCustomExpression* condition);
};

class TzsAssignmentStmt : public TzsStatement {
public:
    using TzsStatement::TzsStatement;
    ~TzsAssignmentStmt() override;
    void Execute() override;
    void Resolve();

    TzsDesignator* Designator = nullptr;       // owned
    TzsCustomExpression* Expression = nullptr; // owned
    TzsCustomVariable* DestItem = nullptr;
    TzsCustomVariable* SourceItem = nullptr;

protected:
    // The destination when it is a string variable, which keeps its text natively.
    TzsStringVariable* m_destText = nullptr;
    // Destination and source where they are read in place.
    zs::StoredValue m_destValue;
    zs::StoredValue m_sourceValue;
};

class TzsAssignOpStmt : public TzsAssignmentStmt {
public:
    TzsAssignOpStmt(TzsScript* script, const QString& sourcePos, const QString& unitName, int op);
    void Execute() override;

private:
    bool appendsText() const;
    void appendText();

    int m_op;
};

class TzsAssignPlusStmt final : public TzsAssignOpStmt {
public:
    TzsAssignPlusStmt(TzsScript* s, const QString& p, const QString& u);
};
class TzsAssignMinusStmt final : public TzsAssignOpStmt {
public:
    TzsAssignMinusStmt(TzsScript* s, const QString& p, const QString& u);
};
class TzsAssignMulStmt final : public TzsAssignOpStmt {
public:
    TzsAssignMulStmt(TzsScript* s, const QString& p, const QString& u);
};
class TzsAssignDivStmt final : public TzsAssignOpStmt {
public:
    TzsAssignDivStmt(TzsScript* s, const QString& p, const QString& u);
};

class TzsCallStmt : public TzsStatement {
public:
    using TzsStatement::TzsStatement;
    ~TzsCallStmt() override;
    void Execute() override;
    TzsDesignator* Designator = nullptr; // owned
    QString Modificator;
};

class TzsIfStmt : public TzsStatement {
public:
    TzsIfStmt(TzsScript* script, const QString& sourcePos, const QString& unitName);
    ~TzsIfStmt() override;
    void Execute() override;
    TzsCustomExpression* Condition = nullptr; // owned
    std::unique_ptr<TzsStatement> ElseStmt;
};

class TzsCaseSelector : public TzsStatement {
public:
    using TzsStatement::TzsStatement;
    ~TzsCaseSelector() override;
    bool Matches(const plat::Variant& value);
    TzsSetExpression* SetExpression = nullptr; // owned
};

class TzsCaseStmt : public TzsStatement {
public:
    TzsCaseStmt(TzsScript* script, const QString& sourcePos, const QString& unitName);
    ~TzsCaseStmt() override;
    void Execute() override;
    TzsCustomExpression* Condition = nullptr; // owned
    std::unique_ptr<TzsStatement> ElseStmt;
    // A switch consumes the break that ends its branch.
    bool ConsumesBreak = false;
};

class TzsRepeatStmt : public TzsStatement {
public:
    using TzsStatement::TzsStatement;
    ~TzsRepeatStmt() override;
    void Execute() override;
    TzsCustomExpression* Condition = nullptr; // owned
    bool InverseCondition = false;
};

class TzsWhileStmt : public TzsStatement {
public:
    using TzsStatement::TzsStatement;
    ~TzsWhileStmt() override;
    void Execute() override;
    TzsCustomExpression* Condition = nullptr; // owned
};

class TzsForStmt : public TzsStatement {
public:
    using TzsStatement::TzsStatement;
    ~TzsForStmt() override;
    void Execute() override;
    TzsCustomVariable* Variable = nullptr;
    TzsCustomExpression* BeginValue = nullptr; // owned
    TzsCustomExpression* EndValue = nullptr;   // owned
    bool Down = false;
};

class TzsVbForStmt : public TzsStatement {
public:
    using TzsStatement::TzsStatement;
    ~TzsVbForStmt() override;
    void Execute() override;
    TzsCustomVariable* Variable = nullptr;
    TzsCustomExpression* BeginValue = nullptr; // owned
    TzsCustomExpression* EndValue = nullptr;   // owned
    TzsCustomExpression* Step = nullptr;       // owned, may be absent
};

class TzsCppForStmt : public TzsStatement {
public:
    TzsCppForStmt(TzsScript* script, const QString& sourcePos, const QString& unitName);
    ~TzsCppForStmt() override;
    void Execute() override;
    std::unique_ptr<TzsStatement> FirstStmt;
    TzsCustomExpression* Condition = nullptr; // owned
    std::unique_ptr<TzsStatement> SecondStmt;
};

class TzsTryStmt : public TzsStatement {
public:
    TzsTryStmt(TzsScript* script, const QString& sourcePos, const QString& unitName);
    void Execute() override;
    bool IsExcept = false;
    std::unique_ptr<TzsStatement> ExceptStmt;
};

class TzsBreakStmt : public TzsStatement {
public:
    using TzsStatement::TzsStatement;
    void Execute() override;
};

class TzsContinueStmt : public TzsStatement {
public:
    using TzsStatement::TzsStatement;
    void Execute() override;
};

class TzsExitStmt : public TzsStatement {
public:
    using TzsStatement::TzsStatement;
    void Execute() override;
};

class TzsWithStmt : public TzsStatement {
public:
    using TzsStatement::TzsStatement;
    ~TzsWithStmt() override;
    void Execute() override;
    TzsDesignator* Designator = nullptr; // owned
    TzsCustomVariable* Variable = nullptr;
};
