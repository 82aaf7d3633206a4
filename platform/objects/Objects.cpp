#include "Objects.h"

#include "Exceptions.h"
#include "Handles.h"
#include "TypeInfo.h"

#include <algorithm>

namespace plat {

// ---------------------------------------------------------------------------
// Names

namespace {
inline char16_t foldUnit(char16_t c) noexcept
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return QChar(c).toCaseFolded().unicode();
}
} // namespace

QString foldName(QStringView name)
{
    QString out(name.size(), Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < name.size(); ++i)
        d[i] = foldUnit(name[i].unicode());
    return out;
}

bool sameName(QStringView a, QStringView b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x != y && foldUnit(x) != foldUnit(y))
            return false;
    }
    return true;
}

int compareNames(QStringView a, QStringView b) noexcept
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = foldUnit(a[i].unicode());
        const char16_t y = foldUnit(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

size_t hashName(QStringView name) noexcept
{
    // FNV-1a over the folded units.
    size_t h = 1469598103934665603ull;
    for (QChar c : name) {
        h ^= foldUnit(c.unicode());
        h *= 1099511628211ull;
    }
    return h;
}

// ---------------------------------------------------------------------------
// TObject

TObject::~TObject()
{
    if (m_handle)
        HandleTable::release(*this);
}

const TClass* TObject::StaticClass()
{
    static const TClass* const cls = [] {
        auto* c = new TClass(QStringLiteral("TObject"), nullptr, detail::classTypeInfo<TObject>());
        detail::setFactories<TObject>(*c);
        c->finish();
        return c;
    }();
    return cls;
}

void TObject::DeclareClass(ClassBuilder<TObject>&) {}

QString TObject::ClassName() const
{
    return ClassType()->ClassName();
}

bool TObject::InheritsFrom(const TClass* cls) const
{
    return ClassType()->InheritsFrom(cls);
}

bool TObject::InheritsFrom(QStringView className) const
{
    return ClassType()->InheritsFrom(className);
}

// ---------------------------------------------------------------------------
// TPersistent

PLAT_DEFINE_CLASS(TPersistent, c) {}

void TPersistent::Assign(TPersistent* Source)
{
    if (Source)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source)
{
    const QString sourceName = Source ? Source->ClassName() : QStringLiteral("nil");
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2").arg(sourceName, ClassName()));
}

QString TPersistent::GetNamePath()
{
    QString result = ClassName();
    if (TPersistent* owner = GetOwner()) {
        const QString path = owner->GetNamePath();
        if (!path.isEmpty())
            result = path + u'.' + result;
    }
    return result;
}

void TPersistent::DefineProperties(TFiler&) {}

// ---------------------------------------------------------------------------
// TComponent

PLAT_DEFINE_CLASS(TComponent, c)
{
    // The name travels separately in every stream format, hence not stored.
    c.property<ti::TComponentName>("Name", &TComponent::Name, &TComponent::SetName).stored(false);
    c.property("Tag", &TComponent::Tag, &TComponent::SetTag).defaultValue(0);
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    // Tell everyone who asked; the base Notification drops the link both
    // ways, and we drop it here too in case an override did not call it.
    while (!m_freeNotifies.empty()) {
        TComponent* other = m_freeNotifies.back();
        other->Notification(this, opRemove);
        if (!m_freeNotifies.empty() && m_freeNotifies.back() == other)
            RemoveFreeNotification(other);
    }
    DestroyComponents();
    if (m_owner)
        m_owner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    return m_components[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const
{
    if (!m_owner)
        return -1;
    const auto& list = m_owner->m_components;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value)
{
    if (!m_owner)
        return;
    auto& list = m_owner->m_components;
    const int current = ComponentIndex();
    if (current < 0)
        return;
    const int count = static_cast<int>(list.size());
    Value = std::clamp(Value, 0, count - 1);
    if (Value == current)
        return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + Value, this);
}

TComponent* TComponent::FindComponent(QStringView AName) const
{
    if (AName.isEmpty())
        return nullptr;
    if (m_components.size() < 8) {
        for (TComponent* c : m_components)
            if (sameName(c->m_name, AName))
                return c;
        return nullptr;
    }
    return m_byName.value(foldName(AName), nullptr);
}

bool TComponent::IsValidIdent(QStringView Ident)
{
    if (Ident.isEmpty())
        return false;
    auto alpha = [](char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; };
    auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    if (!alpha(Ident[0].unicode()))
        return false;
    for (qsizetype i = 1; i < Ident.size(); ++i) {
        const char16_t c = Ident[i].unicode();
        if (!alpha(c) && !digit(c))
            return false;
    }
    return true;
}

void TComponent::SetName(const QString& NewName)
{
    if (m_name == NewName)
        return;
    if (!NewName.isEmpty() && !IsValidIdent(NewName))
        throw EComponentError(QStringLiteral("Component name \"%1\" is not a valid identifier").arg(NewName));
    if (m_owner)
        m_owner->ValidateRename(this, m_name, NewName);
    else
        ValidateRename(nullptr, m_name, NewName);
    TComponent* owner = m_owner;
    if (owner && !m_name.isEmpty()) {
        auto it = owner->m_byName.find(foldName(m_name));
        if (it != owner->m_byName.end() && it.value() == this)
            owner->m_byName.erase(it);
    }
    ChangeName(NewName);
    if (owner && !m_name.isEmpty())
        {
        const QString key = foldName(m_name);
        if (!owner->m_byName.contains(key))
            owner->m_byName.insert(key, this);
    }
}

void TComponent::ChangeName(const QString& NewName)
{
    m_name = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const QString& CurName, const QString& NewName)
{
    if (AComponent && !sameName(CurName, NewName) && AComponent->m_owner == this && FindComponent(NewName))
        throw EComponentError(QStringLiteral("A component named %1 already exists").arg(NewName));
    if (m_state.contains(csDesigning) && m_owner)
        m_owner->ValidateRename(AComponent, CurName, NewName);
}

void TComponent::ValidateInsert(TComponent*) {}

void TComponent::SetDesigning(bool Value, bool SetChildren)
{
    m_state.set(csDesigning, Value);
    if (SetChildren)
        for (TComponent* c : m_components)
            c->SetDesigning(Value, true);
}

void TComponent::SetAncestor(bool Value)
{
    m_state.set(csAncestor, Value);
    for (TComponent* c : m_components)
        c->SetAncestor(Value);
}

void TComponent::SetInline(bool Value)
{
    m_state.set(csInline, Value);
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->m_owner == this)
        return;
    // Owning oneself or one's owner would free a component twice.
    for (const TComponent* c = this; c; c = c->m_owner)
        if (c == AComponent)
            throw EComponentError(QStringLiteral("A component cannot own itself or its owner"));
    ValidateInsert(AComponent);
    // A named component must not clash with what this owner already has.
    if (!AComponent->m_name.isEmpty() && FindComponent(AComponent->m_name))
        throw EComponentError(QStringLiteral("A component named %1 already exists").arg(AComponent->m_name));
    if (AComponent->m_owner)
        AComponent->m_owner->RemoveComponent(AComponent);
    insert(AComponent);
    if (m_state.contains(csDesigning))
        AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (!AComponent || AComponent->m_owner != this)
        return;
    Notification(AComponent, opRemove);
    remove(AComponent);
}

void TComponent::insert(TComponent* AComponent)
{
    m_components.push_back(AComponent);
    AComponent->m_owner = this;
    if (!AComponent->m_name.isEmpty())
        {
        const QString key = foldName(AComponent->m_name);
        if (!m_byName.contains(key))
            m_byName.insert(key, AComponent);
    }
}

void TComponent::remove(TComponent* AComponent)
{
    auto it = std::find(m_components.begin(), m_components.end(), AComponent);
    if (it != m_components.end())
        m_components.erase(it);
    if (!AComponent->m_name.isEmpty()) {
        auto found = m_byName.find(foldName(AComponent->m_name));
        if (found != m_byName.end() && found.value() == AComponent)
            m_byName.erase(found);
    }
    AComponent->m_owner = nullptr;
}

void TComponent::DestroyComponents()
{
    while (!m_components.empty()) {
        TComponent* instance = m_components.back();
        // Components that others watch leave with a notification, so that
        // siblings holding references hear of it.
        if (instance->m_state.contains(csFreeNotification))
            RemoveComponent(instance);
        else
            remove(instance);
        delete instance;
    }
    m_byName.clear();
}

void TComponent::Destroying()
{
    if (m_state.contains(csDestroying))
        return;
    m_state.include(csDestroying);
    for (TComponent* c : m_components)
        c->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (!m_owner || AComponent->m_owner != m_owner) {
        if (std::find(m_freeNotifies.begin(), m_freeNotifies.end(), AComponent) == m_freeNotifies.end()) {
            m_freeNotifies.push_back(AComponent);
            AComponent->FreeNotification(this);
        }
    }
    m_state.include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (!AComponent)
        return;
    removeNotification(AComponent);
    AComponent->removeNotification(this);
}

void TComponent::removeNotification(TComponent* AComponent)
{
    auto it = std::find(m_freeNotifies.begin(), m_freeNotifies.end(), AComponent);
    if (it == m_freeNotifies.end())
        return;
    m_freeNotifies.erase(it);
    if (m_freeNotifies.empty())
        m_state.exclude(csFreeNotification);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Pass it on to what we own; the list may shrink while we walk it.
    for (size_t i = m_components.size(); i-- > 0;) {
        if (i >= m_components.size()) {
            if (m_components.empty())
                break;
            i = m_components.size() - 1;
        }
        m_components[i]->Notification(AComponent, Operation);
    }
}

void TComponent::GetChildren(const std::function<void(TComponent*)>&, TComponent*) {}

void TComponent::Loaded()
{
    m_state.exclude(csLoading);
}

} // namespace plat
