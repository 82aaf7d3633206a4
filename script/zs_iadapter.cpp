#include "zs_iadapter.h"

#include <unordered_set>
#include <vector>

namespace zs {

namespace {

// Handles of the objects that scripts created and still hold.
std::unordered_set<quint32>& createdHandles()
{
    static std::unordered_set<quint32> handles;
    return handles;
}

// Lives among a script's module items: frees what the script created and
// left behind when the script's modules go.
class TzsScriptObjects : public TzsRTTIModule {
public:
    using TzsRTTIModule::TzsRTTIModule;
    ~TzsScriptObjects() override
    {
        for (auto it = m_handles.rbegin(); it != m_handles.rend(); ++it) {
            if (!createdHandles().count(*it) || !plat::IsLiveObjectHandle(*it))
                continue;
            createdHandles().erase(*it);
            delete plat::HandleToObject(*it);
        }
    }
    void add(quint32 handle) { m_handles.push_back(handle); }

private:
    std::vector<quint32> m_handles;
};

TzsScriptObjects* scriptObjectsOf(TzsScript* script)
{
    for (int i = 0; i < script->GetCount(); ++i)
        if (auto* objects = dynamic_cast<TzsScriptObjects*>(script->GetItem(i)))
            return objects;
    auto* objects = new TzsScriptObjects(script);
    script->Add(QString(), objects);
    return objects;
}

} // namespace

quint32 setBits(const plat::Variant& value)
{
    if (!value.isArray())
        return value.isNull() || value.isEmpty() ? 0 : quint32(value.toInt64());
    quint32 bits = 0;
    const int low = plat::VarArrayLowBound(value, 1);
    const int high = plat::VarArrayHighBound(value, 1);
    for (int i = low; i <= high; ++i)
        bits |= setBits(plat::VarArrayGet(value, {i}));
    return bits;
}

void raiseNilInstance()
{
    throw plat::EAccessViolation(QStringLiteral("Invalid object reference"));
}

plat::Variant adoptScriptObject(TzsScript* script, plat::TObject* obj)
{
    const plat::Variant value = plat::ObjectToVariant(obj);
    if (!obj)
        return value;
    // A component with an owner goes with its owner.
    if (auto* component = dynamic_cast<plat::TComponent*>(obj); component && component->Owner())
        return value;
    const quint32 handle = plat::ObjectToHandle(obj);
    createdHandles().insert(handle);
    if (script)
        scriptObjectsOf(script)->add(handle);
    return value;
}

bool isScriptObject(const plat::TObject* obj)
{
    return obj && createdHandles().count(plat::ObjectToHandle(obj)) > 0;
}

void releaseScriptObject(const plat::TObject* obj)
{
    if (obj)
        createdHandles().erase(plat::ObjectToHandle(obj));
}

void freeScriptObject(plat::TObject* obj)
{
    if (!obj)
        return;
    if (isScriptObject(obj)) {
        createdHandles().erase(plat::ObjectToHandle(obj));
        delete obj;
        return;
    }
    if (dynamic_cast<plat::TComponent*>(obj)) {
        delete obj;
        return;
    }
    throw plat::EInvalidOperation(
        QStringLiteral("Cannot free %1: the object belongs to its owner").arg(obj->ClassName()));
}

void addIntConsts(TzsScript* script, const IntConst* first, const IntConst* last, const char* typeName)
{
    const QString type = QString::fromLatin1(typeName);
    for (const IntConst* c = first; c != last; ++c)
        script->AddConst(QString::fromLatin1(c->name), type,
                         c->value >= INT32_MIN && c->value <= INT32_MAX ? plat::Variant(int(c->value))
                                                                         : plat::Variant(c->value));
}

} // namespace zs
