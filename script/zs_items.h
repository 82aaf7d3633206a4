#pragma once
// Everything a script can name is an item: variables, constants, types,
// parameters, procedures, host classes and the helpers through which a name
// path reaches into host objects. Items expose one pair of operations,
// GetValue and SetValue; reading a function item runs it.
//
// Object and class references travel inside values as handles of the object
// model (Handles.h), never as addresses; every use checks the handle.

#include "Variant.h"

#include <QString>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace plat {
class TObject;
class TClass;
class TComponent;
class TMethod;
} // namespace plat

class TzsScript;
class TzsMethodHelper;
class TzsProcVariable;
class TzsParamItem;
class TzsCustomEvent;
class TzsDesignatorItem;

enum TzsVarType : int {
    fvtInt = 0,
    fvtBool = 1,
    fvtFloat = 2,
    fvtChar = 3,
    fvtString = 4,
    fvtClass = 5,
    fvtArray = 6,
    fvtVariant = 7,
    fvtEnum = 8,
    fvtConstructor = 9,
    fvtInt64 = 10,
};

namespace zs {
// Base of everything an item table or item list owns.
class Object {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object();
};
} // namespace zs

// Host call events. Names arrive upper-cased; an indexed property's read and
// write arrive as NAME.GET and NAME.SET.
using TzsCallMethodEvent = std::function<plat::Variant(plat::TObject* Instance, const plat::TClass* ClassType,
                                                       const QString& MethodName, TzsMethodHelper* Caller)>;
using TzsCallMethodParamsEvent = std::function<plat::Variant(
    plat::TObject* Instance, const plat::TClass* ClassType, const QString& MethodName, plat::Variant& Params)>;
using TzsGetValueEvent =
    std::function<plat::Variant(plat::TObject* Instance, const plat::TClass* ClassType, const QString& PropName)>;
using TzsSetValueEvent = std::function<void(plat::TObject* Instance, const plat::TClass* ClassType,
                                            const QString& PropName, const plat::Variant& Value)>;
using TzsGetVariableValueEvent =
    std::function<plat::Variant(const QString& VarName, TzsVarType VarTyp, const plat::Variant& OldValue)>;
// The "class" of an event bridge: creates a bridge for (instance, handler).
using TzsEventClass = TzsCustomEvent* (*)(plat::TObject* Instance, TzsProcVariable* Handler);

// An owning list of objects: an item's parameters, a statement's children.
class TzsItemList : public zs::Object {
public:
    ~TzsItemList() override;
    virtual void Clear();
    int Count() const { return int(m_items.size()); }
    zs::Object* Items(int index) const { return m_items[size_t(index)]; }
    // Takes ownership; nullptr entries are allowed (a range's gap).
    void Add(zs::Object* item) { m_items.push_back(item); }
    void Insert(int index, zs::Object* item);
    // Takes the entry out without freeing it.
    zs::Object* Extract(int index);
    int IndexOf(const zs::Object* item) const;

protected:
    std::vector<zs::Object*> m_items;
};

class TzsCustomVariable : public TzsItemList {
public:
    explicit TzsCustomVariable(const QString& name = {}, TzsVarType kind = fvtVariant, const QString& typeName = {});

    virtual void SetValue(const plat::Variant& value);
    virtual plat::Variant GetValue();

    void SetName(const QString& name);
    // "Integer", "Boolean", ... for the kinds; the declared type for classes
    // and enumerations; "Variant" otherwise.
    QString GetTypeText() const;
    int GetRequiredCount() const;
    TzsParamItem* GetParam(int index) const;
    int ParamCount() const { return Count(); }

    quintptr RegisteredBy = 0;
    bool Macro = false;
    bool ReadOnly = false;
    QString Name;
    QString UpperName;
    bool ResultWanted = true;
    TzsCustomVariable* Target = nullptr;
    QString SourcePos;
    QString UnitName;
    TzsVarType Kind = fvtVariant;
    QString DeclaredType;
    plat::Variant Value = plat::Null();
    TzsGetVariableValueEvent OnGetVarValue;
};

QString zsTypeText(TzsVarType kind, const QString& declaredType);

class TzsVariable : public TzsCustomVariable {
public:
    using TzsCustomVariable::TzsCustomVariable;
    // Converts by Kind; ignored when ReadOnly.
    void SetValue(const plat::Variant& value) override;
    plat::Variant GetValue() override;
    // The value converted by kind, without the read-only test.
    static plat::Variant convertByKind(TzsVarType kind, const plat::Variant& value);
};

// Char and String variables keep their text natively.
class TzsStringVariable : public TzsVariable {
public:
    using TzsVariable::TzsVariable;
    void SetValue(const plat::Variant& value) override;
    plat::Variant GetValue() override;
    QString Text;
};

class TzsTypeVariable : public TzsCustomVariable {
public:
    using TzsCustomVariable::TzsCustomVariable;
};

class TzsParamItem : public TzsCustomVariable {
public:
    TzsParamItem(const QString& name, TzsVarType kind, const QString& typeName, bool optional, bool isVar);
    plat::Variant DefaultValue = plat::Null();
    bool Optional = false;
    bool IsVar = false;
};

// One saved value during recursion.
struct TzsLocalVariablesHelper {
    plat::Variant SavedValue;
    TzsCustomVariable* Link = nullptr;
};

class TzsProcVariable : public TzsCustomVariable {
public:
    TzsProcVariable(const QString& name, TzsVarType kind, const QString& typeName, TzsScript* parent,
                    bool isFunction);
    ~TzsProcVariable() override;

    // Runs the body; a function's value is its Result.
    plat::Variant GetValue() override;
    void SetValue(const plat::Variant&) override {}

    int SaveLocals();
    // callItem: the designator step whose argument expressions receive the
    // var parameters' final values (nullptr for event bridges).
    void RestoreLocals(int index, bool keepVarParams, TzsDesignatorItem* callItem);

    bool Executing = false;
    bool IsFunction = false;
    TzsScript* LocalProgram = nullptr; // owned
    std::vector<std::vector<TzsLocalVariablesHelper>> SavedLocals;
};

// Items whose value is computed from the item before them in a name path.
class TzsCustomHelper : public TzsCustomVariable {
public:
    using TzsCustomVariable::TzsCustomVariable;
    TzsCustomVariable* ParentItem = nullptr;
    plat::Variant ParentValue;
    TzsScript* Program = nullptr;
};

// Element of an array variable (1 to 3 indexes, one parameter each).
class TzsArrayHelper : public TzsCustomHelper {
public:
    TzsArrayHelper(const QString& name, TzsVarType kind, const QString& typeName, int dimCount,
                   int requiredCount = -1);
    void SetValue(const plat::Variant& value) override;
    plat::Variant GetValue() override;

private:
    int indexes(int* out) const;
};

// One character of a text, 1-based.
class TzsStringHelper : public TzsCustomHelper {
public:
    explicit TzsStringHelper(const QString& name);
    void SetValue(const plat::Variant& value) override;
    plat::Variant GetValue() override;
};

class TzsPropertyHelper : public TzsCustomHelper {
public:
    using TzsCustomHelper::TzsCustomHelper;
    void SetValue(const plat::Variant& value) override;
    plat::Variant GetValue() override;

    const plat::TClass* ClassRef = nullptr;
    bool Published = false;
    TzsGetValueEvent OnGetValue;
    TzsSetValueEvent OnSetValue;
};

class TzsMethodHelper : public TzsCustomHelper {
public:
    // Built from a prototype such as "function IntToStr(i: Integer): String".
    TzsMethodHelper(const QString& syntax, TzsScript* script);
    void SetValue(const plat::Variant& value) override;
    plat::Variant GetValue() override;

    // Index == ParamCount() gives the value written through an indexed property.
    plat::Variant GetParam(int index) const;
    void SetParam(int index, const plat::Variant& value);

    QString Syntax;
    QString Category;
    QString Description;
    const plat::TClass* ClassRef = nullptr;
    bool IndexMethod = false;
    TzsCallMethodEvent OnCall;
    TzsCallMethodParamsEvent OnCallParams;
    plat::Variant AssignedValue = plat::Null();
    plat::Variant ParamArray;

private:
    plat::TObject* instance(const plat::TClass** classType) const;
    QString m_getName;
    QString m_setName;
};

class TzsComponentHelper : public TzsCustomHelper {
public:
    explicit TzsComponentHelper(plat::TComponent* component);
    plat::Variant GetValue() override;
    void SetValue(const plat::Variant&) override {}
    plat::TComponent* Component() const;

private:
    quint32 m_handle = 0;
};

class TzsEventHelper : public TzsCustomHelper {
public:
    TzsEventHelper(const QString& name, TzsEventClass eventClass);
    plat::Variant GetValue() override;
    void SetValue(const plat::Variant& value) override;
    const plat::TClass* ClassRef = nullptr;
    TzsEventClass EventClass = nullptr;
};

class TzsClassVariable : public TzsCustomVariable {
public:
    TzsClassVariable(const plat::TClass* classRef, const QString& ancestor, TzsScript* program);
    ~TzsClassVariable() override;

    // A typecast gives its argument; otherwise the class itself, which the
    // constructor member turns into a new object.
    plat::Variant GetValue() override;
    void SetValue(const plat::Variant&) override {}

    void AddConstructor(const QString& syntax, const TzsCallMethodEvent& callEvent);
    TzsMethodHelper* AddMethod(const QString& syntax, const TzsCallMethodEvent& callEvent);
    TzsMethodHelper* AddParamsMethod(const QString& syntax, const TzsCallMethodParamsEvent& callEvent);
    void AddEvent(const QString& name, TzsEventClass eventClass);
    void AddProperty(const QString& name, const QString& typeName, const TzsGetValueEvent& getEvent,
                     const TzsSetValueEvent& setEvent = {});
    TzsMethodHelper* AddIndexProperty(const QString& name, const QString& indexTypes, const QString& typeName,
                                      const TzsCallMethodEvent& callEvent, bool isReadOnly = false);
    void AddDefaultProperty(const QString& name, const QString& indexTypes, const QString& typeName,
                            const TzsCallMethodEvent& callEvent, bool isReadOnly = false);
    void AddComponent(plat::TComponent* component);

    // This class's member, then its ancestors' (ASCII case-insensitive).
    TzsCustomHelper* Find(const QString& name) const;
    TzsCustomHelper* GetMember(int index) const { return m_members[size_t(index)].get(); }
    int GetMembersCount() const { return int(m_members.size()); }

    QString Ancestor;
    const plat::TClass* ClassRef = nullptr;
    TzsCustomHelper* DefaultProperty = nullptr;
    TzsScript* Program = nullptr;

private:
    void AddPublishedProperties();
    void addMember(TzsCustomHelper* member);
    std::vector<std::unique_ptr<TzsCustomHelper>> m_members;
};

// Base of event bridges: offers a platform event handler that runs a script
// procedure. A bridge unhooks itself from its object when freed.
class TzsCustomEvent : public zs::Object {
public:
    TzsCustomEvent(plat::TObject* instance, TzsProcVariable* handler);
    ~TzsCustomEvent() override;

    // The platform handler bound to this bridge.
    virtual plat::TMethod GetMethod() = 0;
    // Number of values the platform event passes (the handler must declare
    // exactly as many parameters); -1 when any count is fine.
    virtual int ParamCount() const { return -1; }

    // Runs the handler with the event's values; returns the handler's
    // parameter values afterwards (var parameters carry results back).
    std::vector<plat::Variant> CallHandler(const std::vector<plat::Variant>& values);

    plat::TObject* Instance() const;
    quint32 InstanceHandle = 0;
    TzsProcVariable* Handler = nullptr;
    // The event property this bridge is hooked to.
    QString PropName;

    // Points at the bridge while it lives and at nullptr once it is freed:
    // a platform handler holds it instead of the bridge's address.
    std::shared_ptr<TzsCustomEvent*> LiveToken() const { return m_live; }

private:
    std::shared_ptr<TzsCustomEvent*> m_live;
};

// Base of registration modules.
class TzsRTTIModule : public zs::Object {
public:
    explicit TzsRTTIModule(TzsScript* script) : Script(script) {}
    TzsScript* Script;
};

using TzsRTTIModuleClass = TzsRTTIModule* (*)(TzsScript* script);

// The process-wide ordered list of registration-module classes. A class is
// in the list once: adding it again changes nothing.
std::vector<TzsRTTIModuleClass>& zsRTTIModules();
void zsAddRTTIModule(TzsRTTIModuleClass moduleClass);
void zsRemoveRTTIModule(TzsRTTIModuleClass moduleClass);

template <class Module>
TzsRTTIModuleClass zsModuleClass()
{
    return [](TzsScript* script) -> TzsRTTIModule* { return new Module(script); };
}
template <class Bridge>
TzsEventClass zsEventClass()
{
    return [](plat::TObject* instance, TzsProcVariable* handler) -> TzsCustomEvent* {
        return new Bridge(instance, handler);
    };
}

namespace zs {
// Deepest nesting of script procedure calls before EStackOverflow.
constexpr int kMaxCallDepth = 1000;
QString upperName(const QString& name);
// The object a value refers to: nullptr for Null, Empty, 0 and class
// references; a number that is no live object raises "Invalid object reference".
plat::TObject* objectOf(const plat::Variant& value);
} // namespace zs
