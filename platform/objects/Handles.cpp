#include "Handles.h"

#include "Exceptions.h"
#include "Objects.h"
#include "TypeInfo.h"

#include <limits>
#include <unordered_map>

namespace plat {

namespace {

// Handles above this are ours; below are the small integers of scripts.
constexpr quint32 kFirstHandle = 0x00010000;

struct Table {
    quint32 next = kFirstHandle;
    std::unordered_map<quint32, TObject*> objects;     // live objects only
    std::unordered_map<quint32, const TClass*> classes; // classes live forever
    std::unordered_map<const TClass*, quint32> classHandles;

    quint32 issue()
    {
        if (next == 0xFFFFFFFFu)
            throw EOutOfResources(QStringLiteral("Out of object handles"));
        return next++;
    }
};

// Never destroyed: objects freed during static destruction still look here.
Table& table()
{
    static Table* const t = new Table;
    return *t;
}

[[noreturn]] void raiseInvalidReference()
{
    throw EAccessViolation(QStringLiteral("Invalid object reference"));
}

} // namespace

void HandleTable::release(TObject& obj) noexcept
{
    table().objects.erase(obj.m_handle);
    obj.m_handle = 0;
}

quint32 HandleTable::handleOf(const TObject& obj) noexcept
{
    return obj.m_handle;
}

quint32 HandleTable::acquire(TObject& obj)
{
    if (obj.m_handle == 0) {
        Table& t = table();
        const quint32 h = t.issue();
        t.objects.emplace(h, &obj);
        obj.m_handle = h;
    }
    return obj.m_handle;
}

quint32 ObjectToHandle(const TObject* obj)
{
    return obj ? HandleTable::acquire(*const_cast<TObject*>(obj)) : 0;
}

TObject* HandleToObject(quint32 handle)
{
    if (handle == 0)
        return nullptr;
    const auto& objects = table().objects;
    auto it = objects.find(handle);
    if (it == objects.end())
        raiseInvalidReference();
    return it->second;
}

quint32 ClassToHandle(const TClass* cls)
{
    if (!cls)
        return 0;
    Table& t = table();
    auto it = t.classHandles.find(cls);
    if (it != t.classHandles.end())
        return it->second;
    const quint32 h = t.issue();
    t.classHandles.emplace(cls, h);
    t.classes.emplace(h, cls);
    return h;
}

const TClass* HandleToClass(quint32 handle)
{
    if (handle == 0)
        return nullptr;
    const auto& classes = table().classes;
    auto it = classes.find(handle);
    if (it == classes.end())
        raiseInvalidReference();
    return it->second;
}

bool IsLiveObjectHandle(quint32 handle) noexcept
{
    return handle != 0 && table().objects.count(handle) != 0;
}

bool IsClassHandle(quint32 handle) noexcept
{
    return handle != 0 && table().classes.count(handle) != 0;
}

namespace {
quint32 handleFromVariant(const Variant& value)
{
    if (value.isEmpty() || value.isNull())
        return 0;
    const qint64 v = value.toInt64();
    // Either reading of the 32 bits; anything wider was never a handle.
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<quint32>::max())
        raiseInvalidReference();
    return static_cast<quint32>(v);
}
} // namespace

Variant ObjectToVariant(const TObject* obj)
{
    return Variant(static_cast<int>(ObjectToHandle(obj)));
}

TObject* VariantToObject(const Variant& value)
{
    return HandleToObject(handleFromVariant(value));
}

Variant ClassToVariant(const TClass* cls)
{
    return Variant(static_cast<int>(ClassToHandle(cls)));
}

const TClass* VariantToClass(const Variant& value)
{
    return HandleToClass(handleFromVariant(value));
}

namespace detail {
void raiseInvalidTypecast()
{
    throw EInvalidCast(QStringLiteral("Invalid class typecast"));
}
} // namespace detail

} // namespace plat
