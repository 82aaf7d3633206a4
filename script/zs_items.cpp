#include "zs_items.h"

#include "Exceptions.h"
#include "Handles.h"
#include "Objects.h"
#include "TypeInfo.h"
#include "zs_dsgn.h"
#include "zs_expr.h"
#include "zs_proto.h"
#include "zs_script.h"
#include "zs_stmts.h"

#include <algorithm>

using plat::Variant;

namespace zs {

Object::~Object() = default;

QString upperName(const QString& name)
{
    return name.toUpper();
}

// The object a value refers to: nullptr for Null, Empty, 0 and class
// references; an integer that is no live object raises.
plat::TObject* objectOf(const Variant& value)
{
    if (value.isNull() || value.isEmpty())
        return nullptr;
    if (VarIsOrdinal(value)) {
        const qint64 raw = value.rawInteger();
        if (raw == 0 || plat::IsClassHandle(quint32(raw)))
            return nullptr;
    }
    return plat::VariantToObject(value);
}

} // namespace zs

namespace {

[[noreturn]] void raiseNilObject(const QString& member)
{
    throw plat::EAccessViolation(QStringLiteral("Access to '%1' of a nil object").arg(member));
}

// Which platform property kinds read and write as what.
bool isStringKind(plat::TTypeKind kind)
{
    return kind == plat::tkString || kind == plat::tkLString || kind == plat::tkWString;
}

bool isCharKind(plat::TTypeKind kind)
{
    return kind == plat::tkChar || kind == plat::tkWChar;
}

// A member reached through an object that is nil: the host would get no
// instance where it expects one.
bool nilParent(const TzsCustomHelper* helper)
{
    if (!helper->ParentItem)
        return false;
    const Variant& v = helper->ParentValue;
    if (v.isNull() || v.isEmpty())
        return true;
    return VarIsOrdinal(v) && v.rawInteger() == 0;
}

[[noreturn]] void raiseInvalidReference()
{
    throw plat::EAccessViolation(QStringLiteral("Invalid object reference"));
}

} // namespace

// ---------------------------------------------------------------- TzsItemList

TzsItemList::~TzsItemList()
{
    TzsItemList::Clear();
}

void TzsItemList::Clear()
{
    std::vector<zs::Object*> items;
    items.swap(m_items);
    for (zs::Object* item : items)
        delete item;
}

void TzsItemList::Insert(int index, zs::Object* item)
{
    m_items.insert(m_items.begin() + index, item);
}

zs::Object* TzsItemList::Extract(int index)
{
    zs::Object* item = m_items[size_t(index)];
    m_items.erase(m_items.begin() + index);
    return item;
}

int TzsItemList::IndexOf(const zs::Object* item) const
{
    const auto it = std::find(m_items.begin(), m_items.end(), item);
    return it == m_items.end() ? -1 : int(it - m_items.begin());
}

// ---------------------------------------------------------------- TzsCustomVariable

TzsCustomVariable::TzsCustomVariable(const QString& name, TzsVarType kind, const QString& typeName)
    : Kind(kind), DeclaredType(typeName)
{
    SetName(name);
}

void TzsCustomVariable::SetName(const QString& name)
{
    Name = name;
    UpperName = zs::upperName(name);
}

void TzsCustomVariable::SetValue(const Variant& value)
{
    if (!ReadOnly)
        Value = value;
}

Variant TzsCustomVariable::GetValue()
{
    return Value;
}

QString zsTypeText(TzsVarType kind, const QString& declaredType)
{
    switch (kind) {
    case fvtInt: return QStringLiteral("Integer");
    case fvtBool: return QStringLiteral("Boolean");
    case fvtFloat: return QStringLiteral("Extended");
    case fvtChar: return QStringLiteral("Char");
    case fvtString: return QStringLiteral("String");
    case fvtArray: return QStringLiteral("Array");
    case fvtInt64: return QStringLiteral("Int64");
    case fvtClass:
    case fvtEnum: return declaredType;
    default: return QStringLiteral("Variant");
    }
}

QString TzsCustomVariable::GetTypeText() const
{
    return zsTypeText(Kind, DeclaredType);
}

int TzsCustomVariable::GetRequiredCount() const
{
    int n = 0;
    for (int i = 0; i < Count(); ++i)
        if (!GetParam(i)->Optional)
            ++n;
    return n;
}

TzsParamItem* TzsCustomVariable::GetParam(int index) const
{
    return static_cast<TzsParamItem*>(Items(index));
}

// ---------------------------------------------------------------- variables

namespace {

// A value that a variable of the kind stores as it is, without conversion.
bool keepsKind(TzsVarType kind, plat::TVarType type)
{
    switch (kind) {
    case fvtInt: return type == plat::varInteger;
    case fvtBool: return type == plat::varBoolean;
    case fvtFloat: return type == plat::varDouble || type == plat::varDate;
    case fvtString: return type == plat::varString;
    case fvtInt64: return type == plat::varInt64;
    default: return true;
    }
}

// Kept out of line, so that storing and reading a value of the variable's
// own kind stay small.
[[gnu::noinline]] Variant converted(TzsVarType kind, const Variant& value)
{
    switch (kind) {
    case fvtInt: return Variant(value.toInteger());
    case fvtBool: return Variant(value.toBoolean());
    case fvtFloat: return Variant(value.toDouble());
    case fvtString: return Variant(plat::VarToStr(value));
    case fvtInt64: return Variant(qint64(value.toInt64()));
    default: return value;
    }
}

[[gnu::noinline]] void storeConverted(TzsVariable* variable, const Variant& value)
{
    variable->Value = converted(variable->Kind, value);
}

// A host hook's value for a variable; Null means the hook leaves it alone.
[[gnu::noinline]] Variant hookedValue(TzsVariable* item)
{
    Variant v = item->OnGetVarValue(item->Name, item->Kind, item->Value);
    return v.isNull() ? item->Value : v;
}

} // namespace

Variant TzsVariable::convertByKind(TzsVarType kind, const Variant& value)
{
    return keepsKind(kind, value.type()) ? value : converted(kind, value);
}

void TzsVariable::SetValue(const Variant& value)
{
    if (ReadOnly)
        return;
    // The common case, a value already of the variable's kind, is stored
    // without a converted copy.
    if (keepsKind(Kind, value.type()))
        Value = value;
    else
        storeConverted(this, value);
}

Variant TzsVariable::GetValue()
{
    if (OnGetVarValue)
        return hookedValue(this);
    return Value;
}

void TzsStringVariable::SetValue(const Variant& value)
{
    if (!ReadOnly)
        Text = value.type() == plat::varString ? value.rawString() : plat::VarToStr(value);
}

Variant TzsStringVariable::GetValue()
{
    if (OnGetVarValue) {
        Variant v = OnGetVarValue(Name, Kind, Variant(Text));
        if (!v.isNull())
            return v;
    }
    return Variant(Text);
}

TzsParamItem::TzsParamItem(const QString& name, TzsVarType kind, const QString& typeName, bool optional, bool isVar)
    : TzsCustomVariable(name, kind, typeName), Optional(optional), IsVar(isVar)
{
}

// ---------------------------------------------------------------- procedures

TzsProcVariable::TzsProcVariable(const QString& name, TzsVarType kind, const QString& typeName, TzsScript* parent,
                                 bool isFunction)
    : TzsCustomVariable(name, kind, typeName), IsFunction(isFunction)
{
    ReadOnly = true;
    LocalProgram = new TzsScript(nullptr);
    LocalProgram->Parent = parent;
    if (parent) {
        LocalProgram->LateClassBinding = parent->LateClassBinding;
        LocalProgram->AllowExtendedChars = parent->AllowExtendedChars;
        LocalProgram->SyntaxType = parent->SyntaxType;
    }
    if (IsFunction) {
        TzsVariable* result = (kind == fvtChar || kind == fvtString)
                                  ? new TzsStringVariable(QStringLiteral("Result"), kind, typeName)
                                  : new TzsVariable(QStringLiteral("Result"), kind, typeName);
        LocalProgram->Add(QStringLiteral("Result"), result);
        Target = result;
    }
}

TzsProcVariable::~TzsProcVariable()
{
    for (int i = 0; i < Count(); ++i)
        LocalProgram->Remove(Items(i));
    delete LocalProgram;
}

namespace {

struct CallDepthGuard {
    CallDepthGuard()
    {
        if (++TzsScript::callDepth() > zs::kMaxCallDepth) {
            --TzsScript::callDepth();
            throw plat::EStackOverflow(QStringLiteral("Stack overflow"));
        }
    }
    ~CallDepthGuard() { --TzsScript::callDepth(); }
};

void resetRunFlags(TzsScript* s)
{
    s->ExitRequested = false;
    s->TerminateRequested = false;
    s->BreakRequested = false;
    s->ContinueRequested = false;
}

} // namespace

Variant TzsProcVariable::GetValue()
{
    CallDepthGuard depth;
    const bool wasExecuting = Executing;
    Executing = true;
    TzsScript* main = LocalProgram->MainProgram();
    TzsScript* savedRunning = main ? main->RunningProgram : nullptr;
    TzsScript* local = LocalProgram;
    auto leave = [&] {
        resetRunFlags(local);
        local->Running = false;
        if (main)
            main->RunningProgram = savedRunning;
        Executing = wasExecuting;
    };
    try {
        if (IsFunction)
            Target->SetValue(Variant());
        if (main)
            main->RunningProgram = local;
        resetRunFlags(local);
        local->Running = true;
        local->MainBlock()->Execute();
    } catch (...) {
        leave();
        throw;
    }
    leave();
    return IsFunction ? Target->GetValue() : plat::Null();
}

namespace {

Variant rawValue(TzsCustomVariable* item)
{
    if (auto* s = dynamic_cast<TzsStringVariable*>(item))
        return Variant(s->Text);
    return item->Value;
}

} // namespace

int TzsProcVariable::SaveLocals()
{
    std::vector<TzsLocalVariablesHelper> saved;
    for (int i = 0; i < LocalProgram->GetCount(); ++i) {
        zs::Object* o = LocalProgram->GetItem(i);
        if (dynamic_cast<TzsVariable*>(o) || dynamic_cast<TzsParamItem*>(o)) {
            auto* item = static_cast<TzsCustomVariable*>(o);
            saved.push_back({rawValue(item), item});
        }
    }
    SavedLocals.push_back(std::move(saved));
    return int(SavedLocals.size()) - 1;
}

void TzsProcVariable::RestoreLocals(int index, bool keepVarParams, TzsDesignatorItem* callItem)
{
    if (index < 0 || index >= int(SavedLocals.size()))
        return;
    std::vector<Variant> varValues;
    if (callItem) {
        varValues.resize(size_t(Count()));
        for (int i = 0; i < Count(); ++i)
            if (GetParam(i)->IsVar)
                varValues[size_t(i)] = GetParam(i)->GetValue();
    }
    std::vector<TzsLocalVariablesHelper> saved = std::move(SavedLocals[size_t(index)]);
    SavedLocals.erase(SavedLocals.begin() + index);
    for (TzsLocalVariablesHelper& h : saved) {
        if (keepVarParams) {
            auto* p = dynamic_cast<TzsParamItem*>(h.Link);
            if (p && p->IsVar)
                continue;
        }
        const bool wasReadOnly = h.Link->ReadOnly;
        h.Link->ReadOnly = false;
        h.Link->SetValue(h.SavedValue);
        h.Link->ReadOnly = wasReadOnly;
    }
    if (callItem) {
        for (int i = 0; i < Count() && i < callItem->Count(); ++i)
            if (GetParam(i)->IsVar)
                callItem->GetArg(i)->SetValue(varValues[size_t(i)]);
    }
}

// ---------------------------------------------------------------- helpers

TzsArrayHelper::TzsArrayHelper(const QString& name, TzsVarType kind, const QString& typeName, int dimCount,
                               int requiredCount)
    : TzsCustomHelper(name, kind, typeName)
{
    if (requiredCount < 0)
        requiredCount = dimCount;
    for (int i = 0; i < dimCount; ++i)
        Add(new TzsParamItem(QStringLiteral("p%1").arg(i), fvtInt, QStringLiteral("Integer"), i >= requiredCount,
                             false));
}

int TzsArrayHelper::indexes(int* out) const
{
    const Variant& array = ParentItem && ParentItem->Value.isArray() ? ParentItem->Value : ParentValue;
    const int dims = plat::VarArrayDimCount(array);
    if (dims < 1 || dims > 3 || dims > Count())
        return 0;
    for (int i = 0; i < dims; ++i)
        out[i] = GetParam(i)->Value.toInteger();
    return dims;
}

Variant TzsArrayHelper::GetValue()
{
    int idx[3];
    const int dims = indexes(idx);
    if (!dims)
        return plat::Null();
    const Variant& array = ParentItem && ParentItem->Value.isArray() ? ParentItem->Value : ParentValue;
    return plat::VarArrayGet(array, std::span<const int>(idx, size_t(dims)));
}

void TzsArrayHelper::SetValue(const Variant& value)
{
    if (!ParentItem || !ParentItem->Value.isArray())
        return;
    int idx[3];
    const int dims = indexes(idx);
    if (dims)
        plat::VarArrayPut(ParentItem->Value, value, std::span<const int>(idx, size_t(dims)));
}

TzsStringHelper::TzsStringHelper(const QString& name) : TzsCustomHelper(name, fvtChar, QStringLiteral("Char"))
{
    Add(new TzsParamItem(QStringLiteral("Index"), fvtInt, QStringLiteral("Integer"), false, false));
}

Variant TzsStringHelper::GetValue()
{
    const QString text = plat::VarToStr(ParentValue);
    const int index = GetParam(0)->Value.toInteger();
    zs::checkCharIndex(index, text.size());
    return Variant(QString(text.at(index - 1)));
}

void TzsStringHelper::SetValue(const Variant& value)
{
    if (!ParentItem || ParentItem->ReadOnly)
        throw plat::EInvalidOperation(zs::message(zs::Msg::SLeftCantAssigned));
    QString text = plat::VarToStr(ParentItem->GetValue());
    const int index = GetParam(0)->Value.toInteger();
    zs::checkCharIndex(index, text.size());
    const QString v = plat::VarToStr(value);
    text[index - 1] = v.isEmpty() ? QChar(u'\0') : v.at(0);
    ParentItem->SetValue(Variant(text));
}

Variant TzsPropertyHelper::GetValue()
{
    if (nilParent(this))
        raiseInvalidReference();
    Variant result = plat::Null();
    plat::TObject* instance = zs::objectOf(ParentValue);
    bool done = false;
    if (Published && instance) {
        if (const plat::TPropInfo* prop = instance->ClassType()->FindProperty(Name)) {
            done = true;
            const plat::TTypeKind k = prop->Kind();
            if (isCharKind(k))
                result = Variant(QString(QChar(char16_t(plat::GetOrdProp(instance, prop)))));
            else if (k == plat::tkFloat)
                result = Variant(double(plat::GetFloatProp(instance, prop)));
            else if (isStringKind(k))
                result = Variant(plat::GetStrProp(instance, prop));
            else if (k == plat::tkVariant)
                result = plat::GetVariantProp(instance, prop);
            else if (k == plat::tkInt64)
                result = Variant(qint64(plat::GetInt64Prop(instance, prop)));
            else if (k == plat::tkClass)
                result = plat::ObjectToVariant(plat::GetObjectProp(instance, prop));
            else if (k == plat::tkInteger || k == plat::tkEnumeration || k == plat::tkSet)
                result = Variant(int(plat::GetOrdProp(instance, prop)));
        }
    }
    if (!done && OnGetValue)
        result = OnGetValue(instance, ClassRef, UpperName);
    if (Kind == fvtBool && !result.isNull() && !result.isEmpty())
        result = Variant(result.toBoolean());
    return result;
}

void TzsPropertyHelper::SetValue(const Variant& value)
{
    if (ReadOnly)
        return;
    if (nilParent(this))
        raiseInvalidReference();
    plat::TObject* instance = zs::objectOf(ParentValue);
    if (Published) {
        if (!instance)
            raiseNilObject(Name);
        if (const plat::TPropInfo* prop = instance->ClassType()->FindProperty(Name)) {
            const plat::TTypeKind k = prop->Kind();
            if (isCharKind(k)) {
                const QString t = plat::VarToStr(value);
                plat::SetOrdProp(instance, prop, t.isEmpty() ? 0 : t.at(0).unicode());
            } else if (k == plat::tkFloat) {
                plat::SetFloatProp(instance, prop, value.toDouble());
            } else if (isStringKind(k)) {
                plat::SetStrProp(instance, prop, plat::VarToStr(value));
            } else if (k == plat::tkVariant) {
                plat::SetVariantProp(instance, prop, value);
            } else if (k == plat::tkClass) {
                plat::SetObjectProp(instance, prop, zs::objectOf(value));
            } else if (k == plat::tkInt64) {
                plat::SetInt64Prop(instance, prop, value.toInt64());
            } else if (k == plat::tkInteger || k == plat::tkEnumeration || k == plat::tkSet) {
                const qint64 v = Kind == fvtBool ? (value.toBoolean() ? 1 : 0) : qint64(value.toInteger());
                plat::SetOrdProp(instance, prop, v);
            }
            return;
        }
    }
    if (OnSetValue)
        OnSetValue(instance, ClassRef, UpperName, value);
}

TzsMethodHelper::TzsMethodHelper(const QString& syntax, TzsScript* script) : Syntax(syntax)
{
    std::unique_ptr<TzsCustomVariable> proto = zsParsePrototype(syntax, script);
    SetName(proto->Name);
    Kind = proto->Kind;
    DeclaredType = proto->DeclaredType;
    Macro = proto->Macro;
    while (proto->Count())
        Add(proto->Extract(0));
    Description = Name;
    m_getName = UpperName + QLatin1String(".GET");
    m_setName = UpperName + QLatin1String(".SET");
    if (Count())
        ParamArray = plat::VarArrayCreate({0, Count() - 1}, plat::varVariant);
}

plat::TObject* TzsMethodHelper::instance(const plat::TClass** classType) const
{
    *classType = ClassRef;
    if (ParentValue.isNull() || ParentValue.isEmpty())
        return nullptr;
    if (VarIsOrdinal(ParentValue) && plat::IsClassHandle(quint32(ParentValue.rawInteger()))) {
        *classType = plat::VariantToClass(ParentValue);
        return nullptr;
    }
    return zs::objectOf(ParentValue);
}

Variant TzsMethodHelper::GetValue()
{
    if (nilParent(this)) {
        // Freeing nil does nothing, as on the platform.
        if (UpperName == QLatin1String("FREE"))
            return plat::Null();
        raiseInvalidReference();
    }
    const plat::TClass* classType = nullptr;
    plat::TObject* inst = instance(&classType);
    const QString& name = IndexMethod ? m_getName : UpperName;
    if (OnCallParams) {
        for (int i = 0; i < Count(); ++i)
            plat::VarArrayPut(ParamArray, TzsCustomVariable::GetParam(i)->Value, {i});
        Variant result = OnCallParams(inst, classType, name, ParamArray);
        for (int i = 0; i < Count(); ++i) {
            if (TzsCustomVariable::GetParam(i)->IsVar)
                TzsCustomVariable::GetParam(i)->Value = plat::VarArrayGet(ParamArray, {i});
            plat::VarArrayPut(ParamArray, plat::Null(), {i});
        }
        return result;
    }
    if (OnCall)
        return OnCall(inst, classType, name, this);
    return Variant(0);
}

void TzsMethodHelper::SetValue(const Variant& value)
{
    if (!IndexMethod || ReadOnly)
        return;
    if (nilParent(this))
        raiseInvalidReference();
    const plat::TClass* classType = nullptr;
    plat::TObject* inst = instance(&classType);
    const QString& name = m_setName;
    if (OnCallParams) {
        Variant args = plat::VarArrayCreate({0, Count()}, plat::varVariant);
        for (int i = 0; i < Count(); ++i)
            plat::VarArrayPut(args, TzsCustomVariable::GetParam(i)->Value, {i});
        plat::VarArrayPut(args, value, {Count()});
        OnCallParams(inst, classType, name, args);
    } else if (OnCall) {
        AssignedValue = value;
        try {
            OnCall(inst, classType, name, this);
        } catch (...) {
            AssignedValue = plat::Null();
            throw;
        }
        AssignedValue = plat::Null();
    }
}

Variant TzsMethodHelper::GetParam(int index) const
{
    if (index == Count())
        return AssignedValue;
    if (index < 0 || index > Count())
        throw plat::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return TzsCustomVariable::GetParam(index)->Value;
}

void TzsMethodHelper::SetParam(int index, const Variant& value)
{
    if (index < 0 || index >= Count())
        throw plat::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    TzsCustomVariable::GetParam(index)->Value = value;
}

TzsComponentHelper::TzsComponentHelper(plat::TComponent* component)
    : TzsCustomHelper(component->Name(), fvtClass, component->ClassName()),
      m_handle(plat::ObjectToHandle(component))
{
}

plat::TComponent* TzsComponentHelper::Component() const
{
    return plat::HandleToObjectAs<plat::TComponent>(m_handle);
}

Variant TzsComponentHelper::GetValue()
{
    return plat::ObjectToVariant(Component());
}

TzsEventHelper::TzsEventHelper(const QString& name, TzsEventClass eventClass)
    : TzsCustomHelper(name, fvtString, QString()), EventClass(eventClass)
{
}

Variant TzsEventHelper::GetValue()
{
    return Variant(QString());
}

namespace {

// Bridges live in the outermost script, so that a new assignment finds and
// replaces the bridge of an earlier one wherever that was made.
TzsScript* bridgeOwner(TzsScript* program)
{
    while (program->Parent)
        program = program->Parent;
    return program;
}

void dropBridge(TzsScript* owner, quint32 instance, const QString& propName)
{
    for (int i = owner->GetCount() - 1; i >= 0; --i) {
        auto* bridge = dynamic_cast<TzsCustomEvent*>(owner->GetItem(i));
        if (bridge && bridge->InstanceHandle == instance && bridge->PropName.compare(propName, Qt::CaseInsensitive) == 0) {
            owner->Remove(bridge);
            delete bridge;
        }
    }
}

} // namespace

void TzsEventHelper::SetValue(const Variant& value)
{
    plat::TObject* inst = zs::objectOf(ParentValue);
    if (!inst)
        raiseNilObject(Name);
    const plat::TPropInfo* prop = inst->ClassType()->FindProperty(Name);
    if (!prop || prop->Kind() != plat::tkMethod)
        throw plat::EPropertyError(QStringLiteral("Unknown event: %1").arg(Name));
    TzsScript* owner = bridgeOwner(Program);
    const quint32 handle = plat::ObjectToHandle(inst);
    const QString text = plat::VarToStr(value);
    if (text == QLatin1String("0") || value.isNull() || value.isEmpty() || text.isEmpty()) {
        plat::SetMethodProp(inst, prop, plat::TMethod());
        dropBridge(owner, handle, Name);
        return;
    }
    auto* handler = dynamic_cast<TzsProcVariable*>(Program->Find(text));
    if (!handler || !EventClass)
        throw plat::Exception(zs::message(zs::Msg::SEventError));
    std::unique_ptr<TzsCustomEvent> bridge(EventClass(inst, handler));
    bridge->PropName = Name;
    if (bridge->ParamCount() >= 0 && handler->ParamCount() != bridge->ParamCount())
        throw plat::Exception(QStringLiteral("Event handler '%1' must have %2 parameters")
                                  .arg(handler->Name)
                                  .arg(bridge->ParamCount()));
    dropBridge(owner, handle, Name);
    plat::SetMethodProp(inst, prop, bridge->GetMethod());
    owner->Add(QString(), bridge.release());
}

// ---------------------------------------------------------------- class items

TzsClassVariable::TzsClassVariable(const plat::TClass* classRef, const QString& ancestor, TzsScript* program)
    : TzsCustomVariable(classRef->ClassName(), fvtClass, classRef->ClassName()), Ancestor(ancestor),
      ClassRef(classRef), Program(program)
{
    Add(new TzsParamItem(QString(), fvtVariant, QStringLiteral("Variant"), true, false));
    AddPublishedProperties();
}

TzsClassVariable::~TzsClassVariable() = default;

void TzsClassVariable::AddPublishedProperties()
{
    for (const plat::TPropInfo* prop : ClassRef->SortedProperties()) {
        const plat::TTypeKind k = prop->Kind();
        if (k == plat::tkMethod)
            continue;
        TzsVarType kind = fvtInt;
        QString typeName;
        if (isCharKind(k)) {
            kind = fvtChar;
        } else if (k == plat::tkEnumeration) {
            typeName = prop->PropType()->Name();
            kind = (typeName.compare(QLatin1String("Boolean"), Qt::CaseInsensitive) == 0 ||
                    typeName.compare(QLatin1String("bool"), Qt::CaseInsensitive) == 0)
                       ? fvtBool
                       : fvtEnum;
        } else if (k == plat::tkFloat) {
            kind = fvtFloat;
        } else if (isStringKind(k)) {
            kind = fvtString;
        } else if (k == plat::tkSet) {
            kind = fvtEnum;
            typeName = prop->PropType()->Name();
        } else if (k == plat::tkClass) {
            kind = fvtClass;
            const plat::TClass* cls = prop->PropType()->ClassType();
            typeName = cls ? cls->ClassName() : QString();
        } else if (k == plat::tkVariant) {
            kind = fvtVariant;
        }
        auto* helper = new TzsPropertyHelper(prop->Name(), kind, typeName);
        helper->ClassRef = ClassRef;
        helper->Published = true;
        helper->ReadOnly = !prop->IsWritable();
        addMember(helper);
    }
}

void TzsClassVariable::addMember(TzsCustomHelper* member)
{
    m_members.emplace_back(member);
}

Variant TzsClassVariable::GetValue()
{
    TzsParamItem* param = GetParam(0);
    if (!param->Value.isNull()) {
        Variant v = std::move(param->Value);
        param->Value = plat::Null();
        return v;
    }
    // The class itself: its constructor member creates the object.
    return plat::ClassToVariant(ClassRef);
}

void TzsClassVariable::AddConstructor(const QString& syntax, const TzsCallMethodEvent& callEvent)
{
    const int blank = syntax.indexOf(u' ');
    QString proto = QStringLiteral("function") + (blank < 0 ? QString(u' ') + syntax : syntax.mid(blank));
    proto += QLatin1String(": Constructor");
    TzsMethodHelper* m = AddMethod(proto, callEvent);
    m->Kind = fvtConstructor;
    m->DeclaredType = QStringLiteral("Constructor");
}

TzsMethodHelper* TzsClassVariable::AddMethod(const QString& syntax, const TzsCallMethodEvent& callEvent)
{
    auto* m = new TzsMethodHelper(syntax, Program);
    m->ClassRef = ClassRef;
    m->OnCall = callEvent;
    addMember(m);
    return m;
}

TzsMethodHelper* TzsClassVariable::AddParamsMethod(const QString& syntax, const TzsCallMethodParamsEvent& callEvent)
{
    auto* m = new TzsMethodHelper(syntax, Program);
    m->ClassRef = ClassRef;
    m->OnCallParams = callEvent;
    addMember(m);
    return m;
}

void TzsClassVariable::AddEvent(const QString& name, TzsEventClass eventClass)
{
    auto* e = new TzsEventHelper(name, eventClass);
    e->ClassRef = ClassRef;
    addMember(e);
}

void TzsClassVariable::AddProperty(const QString& name, const QString& typeName, const TzsGetValueEvent& getEvent,
                                   const TzsSetValueEvent& setEvent)
{
    auto* p = new TzsPropertyHelper(name, zsTypeOfName(typeName, Program), typeName);
    p->ClassRef = ClassRef;
    p->OnGetValue = getEvent;
    p->OnSetValue = setEvent;
    p->ReadOnly = !setEvent;
    addMember(p);
}

TzsMethodHelper* TzsClassVariable::AddIndexProperty(const QString& name, const QString& indexTypes,
                                                    const QString& typeName, const TzsCallMethodEvent& callEvent,
                                                    bool isReadOnly)
{
    QStringList params;
    const QStringList types = indexTypes.split(u',');
    for (int i = 0; i < types.size(); ++i)
        params << QStringLiteral("p%1: %2").arg(i).arg(types[i].trimmed());
    TzsMethodHelper* m = AddMethod(
        QStringLiteral("function %1(%2): %3").arg(name, params.join(QLatin1String("; ")), typeName), callEvent);
    m->IndexMethod = true;
    m->ReadOnly = isReadOnly;
    return m;
}

void TzsClassVariable::AddDefaultProperty(const QString& name, const QString& indexTypes, const QString& typeName,
                                          const TzsCallMethodEvent& callEvent, bool isReadOnly)
{
    DefaultProperty = AddIndexProperty(name, indexTypes, typeName, callEvent, isReadOnly);
}

void TzsClassVariable::AddComponent(plat::TComponent* component)
{
    addMember(new TzsComponentHelper(component));
}

TzsCustomHelper* TzsClassVariable::Find(const QString& name) const
{
    const TzsClassVariable* cls = this;
    // The depth bound guards against an ancestor chain that loops.
    for (int depth = 0; cls && depth < 64; ++depth) {
        for (const auto& m : cls->m_members)
            if (m->Name.compare(name, Qt::CaseInsensitive) == 0)
                return m.get();
        if (cls->Ancestor.isEmpty() || !cls->Program)
            return nullptr;
        cls = cls->Program->FindClass(cls->Ancestor);
    }
    return nullptr;
}

// ---------------------------------------------------------------- event bridges

TzsCustomEvent::TzsCustomEvent(plat::TObject* instance, TzsProcVariable* handler)
    : InstanceHandle(plat::ObjectToHandle(instance)), Handler(handler),
      m_live(std::make_shared<TzsCustomEvent*>(this))
{
}

TzsCustomEvent::~TzsCustomEvent()
{
    *m_live = nullptr;
    if (PropName.isEmpty() || !plat::IsLiveObjectHandle(InstanceHandle))
        return;
    try {
        plat::TObject* obj = plat::HandleToObject(InstanceHandle);
        const plat::TPropInfo* prop = obj->ClassType()->FindProperty(PropName);
        if (prop && prop->Kind() == plat::tkMethod && plat::GetMethodProp(obj, prop).Data() == this)
            plat::SetMethodProp(obj, prop, plat::TMethod());
    } catch (...) {
        // The object is going away on its own; nothing is left to unhook.
    }
}

plat::TObject* TzsCustomEvent::Instance() const
{
    return plat::HandleToObject(InstanceHandle);
}

std::vector<Variant> TzsCustomEvent::CallHandler(const std::vector<Variant>& values)
{
    // The procedure may free this bridge (by assigning the event again), so
    // nothing below reads the bridge once the procedure has started.
    TzsProcVariable* const handler = Handler;
    const int n = handler->ParamCount();
    if (int(values.size()) < n)
        throw plat::Exception(QStringLiteral("Event handler '%1' expects %2 parameters, the event passes %3")
                                  .arg(handler->Name)
                                  .arg(n)
                                  .arg(values.size()));
    const int saved = handler->Executing ? handler->SaveLocals() : -1;
    try {
        for (int i = 0; i < n; ++i)
            handler->GetParam(i)->SetValue(values[size_t(i)]);
        handler->GetValue();
    } catch (...) {
        handler->RestoreLocals(saved, true, nullptr);
        throw;
    }
    handler->RestoreLocals(saved, true, nullptr);
    std::vector<Variant> result;
    result.reserve(size_t(n));
    for (int i = 0; i < n; ++i)
        result.push_back(handler->GetParam(i)->Value);
    return result;
}

// ---------------------------------------------------------------- modules

std::vector<TzsRTTIModuleClass>& zsRTTIModules()
{
    static std::vector<TzsRTTIModuleClass> modules;
    return modules;
}

void zsAddRTTIModule(TzsRTTIModuleClass moduleClass)
{
    auto& list = zsRTTIModules();
    if (std::find(list.begin(), list.end(), moduleClass) == list.end())
        list.push_back(moduleClass);
}

void zsRemoveRTTIModule(TzsRTTIModuleClass moduleClass)
{
    auto& list = zsRTTIModules();
    list.erase(std::remove(list.begin(), list.end(), moduleClass), list.end());
}
