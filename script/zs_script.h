#pragma once
// The script object: source text and language, a table of named items, the
// compiled statement tree and the state of the last compile and run. A
// procedure's body is a script of its own whose Parent is the declaring
// script; a lookup that fails in a script goes on in its Parent.

#include "Objects.h"
#include "StringList.h"
#include "Variant.h"
#include "zs_iinterpreter.h"
#include "zs_items.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

class TzsStatement;
class TzsClassVariable;

using TzsGetUnitEvent = std::function<void(TzsScript* Sender, const QString& UnitName, QString& UnitText)>;
using TzsRunLineEvent = std::function<void(TzsScript* Sender, const QString& UnitName, const QString& SourcePos)>;

class TzsScript : public plat::TComponent, public zs::CompileHost {
    PLAT_CLASS(TzsScript, plat::TComponent)
public:
    explicit TzsScript(plat::TComponent* AOwner = nullptr);
    ~TzsScript() override;

    // ---- items
    void Add(const QString& name, zs::Object* item);
    void Remove(zs::Object* item);
    int GetCount() const { return int(m_table.size()); }
    zs::Object* GetItem(int index) const { return m_table[size_t(index)].object; }
    const QString& GetItemName(int index) const { return m_table[size_t(index)].name; }
    TzsCustomVariable* FindLocal(const QString& name) const;
    TzsCustomVariable* Find(const QString& name) const;
    TzsClassVariable* FindClass(const QString& name) const;
    void Clear();
    void RemoveItems(quintptr owner);
    void ClearItems(quintptr owner);

    // ---- running
    bool Compile();
    void Execute();
    void Terminate();
    plat::Variant CallFunction(const QString& name, const plat::Variant& params, bool searchParents = false);
    plat::Variant CallFunctionVar(const QString& name, plat::Variant& params, bool searchParents = false);
    plat::Variant Evaluate(const QString& expression);
    void SetVariable(const QString& name, const plat::Variant& value);
    void RunLine(const QString& unitName, const QString& sourcePos);
    void AddCodeLine(const QString& unitName, const QString& sourcePos);
    bool IsExecutableLine(int line, const QString& unitName = {}) const;

    // ---- registration
    virtual TzsCustomVariable* AddType(const QString& typeName, TzsVarType kind);
    virtual TzsClassVariable* AddClass(const plat::TClass* aClass, const QString& ancestor);
    virtual void AddConst(const QString& name, const QString& typeName, const plat::Variant& value);
    virtual void AddEnum(const QString& typeName, const QString& names);
    virtual void AddEnumSet(const QString& typeName, const QString& names);
    virtual void AddForm(plat::TComponent* form);
    virtual void AddContainer(plat::TComponent* component) { AddForm(component); }
    virtual TzsMethodHelper* AddMethod(const QString& syntax, const TzsCallMethodEvent& callEvent,
                                       const QString& category = {}, const QString& description = {});
    virtual TzsMethodHelper* AddParamsMethod(const QString& syntax, const TzsCallMethodParamsEvent& callEvent,
                                             const QString& category = {}, const QString& description = {});
    virtual void AddObject(const QString& name, plat::TObject* obj);
    virtual void AddVariable(const QString& name, const QString& typeName, const plat::Variant& value);
    virtual void AddRTTI();
    virtual void RemoveRTTI();

    // ---- state
    plat::TStringList Lines;
    QString SyntaxType = QStringLiteral("PascalScript");
    TzsScript* Parent = nullptr;
    TzsStatement* MainBlock() const { return m_mainBlock.get(); }
    QString CurrentPosition() const { return m_currentPos ? *m_currentPos : QString(); }
    void setCurrentPosition(const QString* pos) { m_currentPos = pos; }
    // Per unit name ("" for the main text): the lines on which statements begin.
    std::map<QString, std::set<int>> UnitLineLists;
    quintptr OwnerStamp = 0;

    bool Running = false;
    bool TerminateRequested = false;
    bool ExitRequested = false;
    bool BreakRequested = false;
    bool ContinueRequested = false;
    bool IsMainProgram = false;
    TzsScript* RunningProgram = nullptr;

    bool LateClassBinding = false;
    bool ModulesAdded = false;
    bool EvaluateFailed = false;

    TzsGetUnitEvent OnGetILUnit;
    TzsRunLineEvent OnRunLine;
    TzsGetVariableValueEvent OnGetVarValue;

    // Our own: the first script up the Parent chain that runs as the main
    // program, else the outermost one.
    TzsScript* MainProgram();
    // Our own: depth of nested procedure calls now running in this process.
    static int& callDepth();

private:
    struct Entry {
        QString key; // folded name
        QString name;
        zs::Object* object;
    };
    void insertEntry(const QString& name, zs::Object* object);
    void freeEntryAt(size_t index);
    void addEnumValues(const QString& typeName, const QString& names, bool asSet);

    std::vector<Entry> m_table;
    std::unique_ptr<TzsStatement> m_mainBlock;
    const QString* m_currentPos = nullptr;
};
