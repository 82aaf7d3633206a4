#pragma once
// The object model: TObject, TPersistent and TComponent.
//
// Ownership, the one rule: a TComponent created with an owner belongs to that
// owner. The owner keeps raw pointers to the components it owns and deletes
// them, the last first, when it is destroyed; deleting an owned component
// directly first takes it out of its owner. Never put an owned component into
// a unique_ptr or shared_ptr. An object without owner (and every
// non-component object) belongs to whoever created it.
//
// Every class that scripts, the serializer or the inspector see declares
// PLAT_CLASS(Class, Parent) in its body and PLAT_DEFINE_CLASS in its .cpp
// (see TypeInfo.h for the guide).

#include <QHash>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace plat {

class TClass;
class TFiler;
template <class C> class ClassBuilder;

// A set of up to 32 elements of an enumeration whose values are 0, 1, 2 ...
// (0..31: an ordinal beyond 31 has no bit). The platform's sets: bit n
// stands for the element of ordinal n.
template <class E>
class TSet {
public:
    using element_type = E;

    constexpr TSet() noexcept = default;
    constexpr TSet(std::initializer_list<E> elements) noexcept
    {
        for (E e : elements)
            m_bits |= bit(e);
    }
    static constexpr TSet fromMask(quint32 mask) noexcept
    {
        TSet s;
        s.m_bits = mask;
        return s;
    }
    constexpr quint32 mask() const noexcept { return m_bits; }
    constexpr bool empty() const noexcept { return m_bits == 0; }
    constexpr bool contains(E e) const noexcept { return (m_bits & bit(e)) != 0; }
    constexpr TSet& include(E e) noexcept
    {
        m_bits |= bit(e);
        return *this;
    }
    constexpr TSet& exclude(E e) noexcept
    {
        m_bits &= ~bit(e);
        return *this;
    }
    constexpr TSet& set(E e, bool on) noexcept { return on ? include(e) : exclude(e); }

    friend constexpr TSet operator+(TSet a, TSet b) noexcept { return fromMask(a.m_bits | b.m_bits); }
    friend constexpr TSet operator-(TSet a, TSet b) noexcept { return fromMask(a.m_bits & ~b.m_bits); }
    friend constexpr TSet operator*(TSet a, TSet b) noexcept { return fromMask(a.m_bits & b.m_bits); }
    friend constexpr bool operator==(TSet a, TSet b) noexcept { return a.m_bits == b.m_bits; }

private:
    static constexpr quint32 bit(E e) noexcept { return quint32(1) << static_cast<unsigned>(e); }
    quint32 m_bits = 0;
};

// Declares the reflection members of a class; put it first in the class body.
// The matching definition is PLAT_DEFINE_CLASS in the .cpp (TypeInfo.h).
#define PLAT_CLASS(Class, Parent)                                                  \
public:                                                                            \
    using inherited = Parent;                                                      \
    static const ::plat::TClass* StaticClass();                                    \
    const ::plat::TClass* ClassType() const override { return StaticClass(); }     \
    static void DeclareClass(::plat::ClassBuilder<Class>& c);                      \
                                                                                   \
private:

class TObject {
public:
    using inherited = void;

    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    // Marks the object's handle dead (Handles.h).
    virtual ~TObject();

    static const TClass* StaticClass();
    virtual const TClass* ClassType() const { return StaticClass(); }
    static void DeclareClass(ClassBuilder<TObject>& c);

    QString ClassName() const;
    bool InheritsFrom(const TClass* cls) const;
    // By class name (case-insensitive), along the reflected class chain.
    bool InheritsFrom(QStringView className) const;

private:
    friend struct HandleTable;
    quint32 m_handle = 0; // 0 until the object first enters a Variant
};

class TPersistent : public TObject {
    PLAT_CLASS(TPersistent, TObject)
public:
    TPersistent() = default;

    // Copies Source into this object; the base asks Source->AssignTo(this),
    // which raises EConvertError "Cannot assign a %s to a %s" when neither
    // side knows the other (Source nil reads "nil").
    virtual void Assign(TPersistent* Source);
    // The dotted path of the object for messages ("Form1.Font").
    virtual QString GetNamePath();

    // Custom property data: the object declares its records on the filer
    // (TFiler::DefineProperty / DefineBinaryProperty, PropStream.h).
    virtual void DefineProperties(TFiler& Filer);
    // The object this one belongs to, for GetNamePath.
    virtual TPersistent* GetOwner() { return nullptr; }

protected:
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(TPersistent* Source);
};

enum TComponentStateFlag {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateFlag>;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
    PLAT_CLASS(TComponent, TPersistent)
public:
    // Joins AOwner's component list (unnamed, so no name check).
    explicit TComponent(TComponent* AOwner);
    // Sends opRemove to every component that asked for free notification,
    // frees the owned components (last first), then leaves the owner.
    ~TComponent() override;

    TComponent* Owner() const { return m_owner; }
    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    // Raises EListError "List index out of bounds (%d)" outside the range.
    TComponent* Components(int Index) const;
    const std::vector<TComponent*>& components() const { return m_components; }
    // Position in the owner's list; -1 without owner.
    int ComponentIndex() const;
    void SetComponentIndex(int Value);

    // The owned component of that name (case-insensitive); nullptr for an
    // empty or unknown name.
    TComponent* FindComponent(QStringView AName) const;

    const QString& Name() const { return m_name; }
    // Names are identifiers (letter or '_' first, then letters, digits and
    // '_', ASCII) unique within the owner ignoring case. Raises
    // EComponentError "Component name \"%s\" is not a valid identifier" or
    // "A component named %s already exists"; the name is then unchanged.
    virtual void SetName(const QString& NewName);

    qint32 Tag() const { return m_tag; }
    void SetTag(qint32 Value) { m_tag = Value; }

    TComponentState ComponentState() const { return m_state; }
    // For the streaming code and the designer: loading, reading, writing
    // marks and the like. Loaded() is called separately by the reader.
    void IncludeState(TComponentState flags) { m_state = m_state + flags; }
    void ExcludeState(TComponentState flags) { m_state = m_state - flags; }
    // csDesigning on this component and (by default) those it owns.
    void SetDesigning(bool Value, bool SetChildren = true);
    // csAncestor on this component and those it owns.
    void SetAncestor(bool Value);
    void SetInline(bool Value);

    // Takes AComponent from its old owner; refuses a clash of names
    // (EComponentError) and ownership cycles.
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees the owned components, the last first.
    void DestroyComponents();
    // Marks this component and everything it owns as being destroyed.
    void Destroying();

    // Asks for opRemove when AComponent is freed; registered both ways, so
    // either side going away tells the other.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // The component's streamed children, for writers that walk a tree;
    // the base has none.
    virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root);
    // Called once a reader has set all properties and references.
    virtual void Loaded();

    TPersistent* GetOwner() override { return m_owner; }
    QString GetNamePath() override { return m_name; }

    static bool IsValidIdent(QStringView Ident);

protected:
    // opInsert / opRemove of components owned by the same owner, and of
    // components registered through FreeNotification. Override to clear
    // references; call the base.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void ValidateRename(TComponent* AComponent, const QString& CurName, const QString& NewName);
    virtual void ValidateInsert(TComponent* AComponent);
    virtual void ChangeName(const QString& NewName);

private:
    void insert(TComponent* AComponent);
    void remove(TComponent* AComponent);
    void removeNotification(TComponent* AComponent);

    TComponent* m_owner = nullptr;
    QString m_name;
    qint32 m_tag = 0;
    TComponentState m_state;
    std::vector<TComponent*> m_components;
    std::vector<TComponent*> m_freeNotifies;
    // Folded name -> owned component, for FindComponent on large owners.
    QHash<QString, TComponent*> m_byName;
};

// Case folding used for names everywhere in this layer (simple folding per
// UTF-16 unit, ASCII fast path), consistent with plat::SameText.
QString foldName(QStringView name);
bool sameName(QStringView a, QStringView b) noexcept;
int compareNames(QStringView a, QStringView b) noexcept;
size_t hashName(QStringView name) noexcept;

} // namespace plat
