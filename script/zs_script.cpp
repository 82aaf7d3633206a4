#include "zs_script.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "Handles.h"
#include "TypeInfo.h"
#include "zs_builder.h"
#include "zs_iilparser.h"
#include "zs_proto.h"
#include "zs_stmts.h"

#include <algorithm>

using plat::Variant;

PLAT_DEFINE_CLASS(TzsScript, c)
{
    c.property("SyntaxType", &TzsScript::SyntaxType);
}

TzsScript::TzsScript(plat::TComponent* AOwner)
    : plat::TComponent(AOwner), m_mainBlock(std::make_unique<TzsStatement>(this, QString(), QString()))
{
}

TzsScript::~TzsScript()
{
    Clear();
    RemoveRTTI();
    m_mainBlock.reset();
    // Whatever registration left (items stamped 1 without modules).
    while (!m_table.empty())
        freeEntryAt(m_table.size() - 1);
}

int& TzsScript::callDepth()
{
    thread_local int depth = 0;
    return depth;
}

TzsScript* TzsScript::MainProgram()
{
    for (TzsScript* s = this; s; s = s->Parent)
        if (s->IsMainProgram)
            return s;
    return nullptr;
}

// ---------------------------------------------------------------- the item table

void TzsScript::insertEntry(const QString& name, zs::Object* object)
{
    QString key = plat::foldCase(name);
    // In front of the entries of the same name: the newest one is found.
    auto it = std::lower_bound(m_table.begin(), m_table.end(), key,
                               [](const Entry& e, const QString& k) { return e.key < k; });
    m_table.insert(it, Entry{std::move(key), name, object});
}

void TzsScript::Add(const QString& name, zs::Object* item)
{
    if (auto* v = dynamic_cast<TzsCustomVariable*>(item))
        v->RegisteredBy = OwnerStamp;
    insertEntry(name, item);
}

void TzsScript::Remove(zs::Object* item)
{
    for (size_t i = 0; i < m_table.size(); ++i) {
        if (m_table[i].object == item) {
            m_table.erase(m_table.begin() + qsizetype(i));
            return;
        }
    }
}

void TzsScript::freeEntryAt(size_t index)
{
    zs::Object* object = m_table[index].object;
    m_table.erase(m_table.begin() + qsizetype(index));
    delete object;
}

TzsCustomVariable* TzsScript::FindLocal(const QString& name) const
{
    const QString key = plat::foldCase(name);
    auto it = std::lower_bound(m_table.begin(), m_table.end(), key,
                               [](const Entry& e, const QString& k) { return e.key < k; });
    if (it == m_table.end() || it->key != key)
        return nullptr;
    return dynamic_cast<TzsCustomVariable*>(it->object);
}

TzsCustomVariable* TzsScript::Find(const QString& name) const
{
    for (const TzsScript* s = this; s; s = s->Parent)
        if (TzsCustomVariable* item = s->FindLocal(name))
            return item;
    return nullptr;
}

TzsClassVariable* TzsScript::FindClass(const QString& name) const
{
    return dynamic_cast<TzsClassVariable*>(Find(name));
}

void TzsScript::Clear()
{
    m_mainBlock->Clear();
    m_currentPos = nullptr;
    // Bridges first: they unhook their objects before their handlers go.
    for (size_t i = m_table.size(); i-- > 0;)
        if (dynamic_cast<TzsCustomEvent*>(m_table[i].object))
            freeEntryAt(i);
    for (size_t i = m_table.size(); i-- > 0;) {
        zs::Object* o = m_table[i].object;
        if (dynamic_cast<TzsRTTIModule*>(o))
            continue;
        if (auto* v = dynamic_cast<TzsCustomVariable*>(o); v && v->RegisteredBy == 1)
            continue;
        freeEntryAt(i);
    }
    UnitLineLists.clear();
    ErrorMessage.clear();
    ErrorPosition.clear();
    ErrorUnitName.clear();
}

void TzsScript::RemoveItems(quintptr owner)
{
    for (size_t i = m_table.size(); i-- > 0;) {
        auto* v = dynamic_cast<TzsCustomVariable*>(m_table[i].object);
        if (v && v->RegisteredBy == owner)
            freeEntryAt(i);
    }
}

void TzsScript::ClearItems(quintptr owner)
{
    RemoveItems(owner);
    m_mainBlock->Clear();
    m_currentPos = nullptr;
    UnitLineLists.clear();
}

// ---------------------------------------------------------------- running

bool TzsScript::Compile()
{
    ErrorMessage.clear();
    {
        TzsILParser parser(this);
        parser.LoadLanguage(SyntaxType);
        if (parser.BuildIntermediate(Lines.Text()))
            zs::BuildProgram(parser, *this);
    }
    const bool ok = ErrorMessage.isEmpty();
    if (ok)
        ErrorPosition.clear();
    return ok;
}

namespace {

void clearRunFlags(TzsScript* s)
{
    s->ExitRequested = false;
    s->TerminateRequested = false;
    s->BreakRequested = false;
    s->ContinueRequested = false;
    s->Running = false;
}

} // namespace

void TzsScript::Execute()
{
    clearRunFlags(this);
    Running = true;
    IsMainProgram = true;
    try {
        m_mainBlock->Execute();
    } catch (...) {
        clearRunFlags(this);
        throw;
    }
    clearRunFlags(this);
}

void TzsScript::Terminate()
{
    ExitRequested = true;
    TerminateRequested = true;
    for (const Entry& e : m_table)
        if (auto* proc = dynamic_cast<TzsProcVariable*>(e.object))
            proc->LocalProgram->Terminate();
}

Variant TzsScript::CallFunction(const QString& name, const Variant& params, bool searchParents)
{
    Variant copy = params;
    return CallFunctionVar(name, copy, searchParents);
}

Variant TzsScript::CallFunctionVar(const QString& name, Variant& params, bool searchParents)
{
    auto* proc = dynamic_cast<TzsProcVariable*>(searchParents ? Find(name) : FindLocal(name));
    if (!proc)
        return plat::Null();
    int count = 0;
    int low = 0;
    if (params.isArray()) {
        low = plat::VarArrayLowBound(params, 1);
        count = plat::VarArrayHighBound(params, 1) - low + 1;
        if (count > proc->ParamCount())
            throw plat::Exception(zs::message(zs::Msg::STooManyParams));
    }
    if (!Parent)
        IsMainProgram = true;
    const int saved = proc->Executing ? proc->SaveLocals() : -1;
    Variant result;
    try {
        for (int i = 0; i < count; ++i)
            proc->GetParam(i)->SetValue(plat::VarArrayGet(params, {low + i}));
        result = proc->GetValue();
        for (int i = 0; i < count; ++i)
            plat::VarArrayPut(params, proc->GetParam(i)->Value, {low + i});
    } catch (...) {
        proc->RestoreLocals(saved, false, nullptr);
        throw;
    }
    proc->RestoreLocals(saved, false, nullptr);
    return result;
}

namespace {

struct EvaluateText {
    const char* language;
    const char* head;
    const char* tail;
};

constexpr EvaluateText kEvaluateTexts[] = {
    {"PascalScript", "function zsEvaluateFUNC: Variant; begin Result := ", " end; begin end."},
    {"C++Script", "Variant zsEvaluateFUNC() { return ", "; } {}"},
    {"BasicScript", "function zsEvaluateFUNC\r\nreturn ", "\r\nend function"},
    {"JScript", "function zsEvaluateFUNC() { return (", "); }"},
};

bool anyModules(const TzsScript* s)
{
    for (; s; s = s->Parent)
        if (s->ModulesAdded)
            return true;
    return false;
}

} // namespace

Variant TzsScript::Evaluate(const QString& expression)
{
    EvaluateFailed = false;
    Variant result = plat::Null();
    TzsScript* program = RunningProgram ? RunningProgram : this;
    const EvaluateText* text = nullptr;
    for (const EvaluateText& t : kEvaluateTexts)
        if (SyntaxType.compare(QLatin1String(t.language), Qt::CaseInsensitive) == 0)
            text = &t;
    if (!text)
        throw plat::Exception(zs::message(zs::Msg::SLangNotFound, SyntaxType));

    auto child = std::make_unique<TzsScript>(nullptr);
    child->Parent = program;
    child->OnGetVarValue = program->OnGetVarValue;
    child->AllowExtendedChars = AllowExtendedChars;
    child->LateClassBinding = LateClassBinding;
    if (!anyModules(program))
        child->AddRTTI();

    TzsRunLineEvent savedRunLine = std::move(OnRunLine);
    OnRunLine = {};
    struct Restore {
        TzsScript* self;
        TzsRunLineEvent& saved;
        ~Restore() { self->OnRunLine = std::move(saved); }
    } restore{this, savedRunLine};

    child->SyntaxType = SyntaxType;
    child->Lines.SetText(QString::fromLatin1(text->head) + expression + QString::fromLatin1(text->tail));
    if (child->Compile()) {
        if (TzsCustomVariable* f = child->FindLocal(QStringLiteral("zsEvaluateFUNC")))
            result = f->GetValue();
    } else {
        result = Variant(child->ErrorMessage);
        EvaluateFailed = true;
    }
    return result;
}

void TzsScript::SetVariable(const QString& name, const Variant& value)
{
    if (TzsCustomVariable* item = Find(name))
        item->SetValue(value);
    else
        AddVariable(name, QStringLiteral("Variant"), value);
}

void TzsScript::RunLine(const QString& unitName, const QString& sourcePos)
{
    for (TzsScript* s = this; s; s = s->Parent) {
        if (s->OnRunLine) {
            s->OnRunLine(this, unitName, sourcePos);
            return;
        }
    }
}

void TzsScript::AddCodeLine(const QString& unitName, const QString& sourcePos)
{
    bool ok = false;
    const int line = sourcePos.section(u':', 0, 0).toInt(&ok);
    if (ok)
        UnitLineLists[unitName].insert(line);
}

bool TzsScript::IsExecutableLine(int line, const QString& unitName) const
{
    const auto it = UnitLineLists.find(unitName);
    return it != UnitLineLists.end() && it->second.count(line) > 0;
}

// ---------------------------------------------------------------- registration

TzsCustomVariable* TzsScript::AddType(const QString& typeName, TzsVarType kind)
{
    if (TzsCustomVariable* item = Find(typeName))
        return item;
    auto* t = new TzsTypeVariable(typeName, kind, typeName);
    Add(typeName, t);
    return t;
}

TzsClassVariable* TzsScript::AddClass(const plat::TClass* aClass, const QString& ancestor)
{
    if (!aClass || Find(aClass->ClassName()))
        return nullptr;
    auto* cls = new TzsClassVariable(aClass, ancestor, this);
    if (TzsClassVariable* anc = FindClass(ancestor))
        cls->DefaultProperty = anc->DefaultProperty;
    Add(cls->Name, cls);
    return cls;
}

void TzsScript::AddConst(const QString& name, const QString& typeName, const Variant& value)
{
    if (Find(name))
        return;
    auto v = std::make_unique<TzsVariable>(name, zsTypeOfName(typeName, this), typeName);
    v->SetValue(value);
    v->ReadOnly = true;
    Add(name, v.release());
}

void TzsScript::addEnumValues(const QString& typeName, const QString& names, bool asSet)
{
    Add(typeName, new TzsVariable(typeName, fvtEnum, typeName));
    int i = 0;
    for (const QString& raw : names.split(u',')) {
        const QString n = raw.trimmed();
        if (n.isEmpty())
            continue;
        auto* c = new TzsVariable(n, fvtEnum, typeName);
        c->Value = Variant(asSet ? int(1u << (i & 31)) : i);
        c->ReadOnly = true;
        Add(n, c);
        ++i;
    }
}

void TzsScript::AddEnum(const QString& typeName, const QString& names)
{
    addEnumValues(typeName, names, false);
}

void TzsScript::AddEnumSet(const QString& typeName, const QString& names)
{
    addEnumValues(typeName, names, true);
}

void TzsScript::AddForm(plat::TComponent* form)
{
    const plat::TClass* cls = form->ClassType();
    if (!FindClass(cls->ClassName())) {
        QString ancestor;
        for (const char* base : {"TForm", "TDataModule", "TFrame"})
            if (form->InheritsFrom(QString::fromLatin1(base)))
                ancestor = QLatin1String(base);
        if (ancestor.isEmpty())
            return;
        TzsClassVariable* item = AddClass(cls, ancestor);
        if (item)
            for (plat::TComponent* c : form->components())
                item->AddComponent(c);
    }
    AddObject(form->Name(), form);
}

TzsMethodHelper* TzsScript::AddMethod(const QString& syntax, const TzsCallMethodEvent& callEvent,
                                      const QString& category, const QString& description)
{
    auto* m = new TzsMethodHelper(syntax, this);
    m->OnCall = callEvent;
    m->Category = category;
    if (!description.isEmpty())
        m->Description = description;
    Add(m->Name, m);
    return m;
}

TzsMethodHelper* TzsScript::AddParamsMethod(const QString& syntax, const TzsCallMethodParamsEvent& callEvent,
                                            const QString& category, const QString& description)
{
    auto* m = new TzsMethodHelper(syntax, this);
    m->OnCallParams = callEvent;
    m->Category = category;
    if (!description.isEmpty())
        m->Description = description;
    Add(m->Name, m);
    return m;
}

void TzsScript::AddObject(const QString& name, plat::TObject* obj)
{
    AddVariable(name, obj ? obj->ClassName() : QStringLiteral("TObject"), plat::ObjectToVariant(obj));
}

void TzsScript::AddVariable(const QString& name, const QString& typeName, const Variant& value)
{
    if (Find(name))
        return;
    const TzsVarType kind = zsTypeOfName(typeName, this);
    std::unique_ptr<TzsVariable> v;
    if (kind == fvtString || kind == fvtChar)
        v = std::make_unique<TzsStringVariable>(name, kind, typeName);
    else
        v = std::make_unique<TzsVariable>(name, kind, typeName);
    if (value.isNull())
        v->Value = value;
    else
        v->SetValue(value);
    v->OnGetVarValue = OnGetVarValue;
    Add(name, v.release());
}

void TzsScript::AddRTTI()
{
    if (ModulesAdded)
        return;
    const quintptr savedStamp = OwnerStamp;
    OwnerStamp = 1;
    try {
        for (TzsRTTIModuleClass moduleClass : zsRTTIModules())
            Add(QString(), moduleClass(this));
    } catch (...) {
        OwnerStamp = savedStamp;
        throw;
    }
    OwnerStamp = savedStamp;
    ModulesAdded = true;
}

void TzsScript::RemoveRTTI()
{
    if (!ModulesAdded)
        return;
    for (size_t i = m_table.size(); i-- > 0;) {
        zs::Object* o = m_table[i].object;
        auto* v = dynamic_cast<TzsCustomVariable*>(o);
        if (dynamic_cast<TzsRTTIModule*>(o) || (v && v->RegisteredBy == 1))
            freeEntryAt(i);
    }
    ModulesAdded = false;
}
