#pragma once
// Run-time type information: type descriptors, published properties, method
// values (events) and the class registry.
//
// ---------------------------------------------------------------------------
// How a class declares its published properties
//
//   // Widget.h
//   enum TWidgetKind { wkPlain, wkFancy };
//   PLAT_DECLARE_ENUM(TWidgetKind)                 // descriptor with value names
//   enum TWidgetOption { woBold, woWide };
//   using TWidgetOptions = plat::TSet<TWidgetOption>;
//   PLAT_DECLARE_ENUM(TWidgetOption)
//   PLAT_DECLARE_SET(TWidgetOptions)
//
//   class TWidget : public plat::TComponent {
//       PLAT_CLASS(TWidget, plat::TComponent)
//   public:
//       explicit TWidget(plat::TComponent* AOwner);  // makes the class creatable by name
//       int Size() const;            void SetSize(int v);
//       plat::TColor Color() const;  void SetColor(plat::TColor v);  // TColor: Graphics.h
//       TWidgetKind Kind() const;    void SetKind(TWidgetKind v);
//       TWidgetOptions Options() const; void SetOptions(TWidgetOptions v);
//       QString Caption() const;     void SetCaption(const QString& v);
//       bool IsCaptionStored() const;
//       TWidget* Buddy() const;      void SetBuddy(TWidget* v);      // a reference
//       plat::TNotifyEvent OnChange;  // a public field is fine too
//   };
//
//   // Widget.cpp -- properties in declaration order; the ancestors' come first
//   PLAT_DEFINE_ENUM(TWidgetKind, "wkPlain", "wkFancy")
//   PLAT_DEFINE_ENUM(TWidgetOption, "woBold", "woWide")
//   PLAT_DEFINE_SET(TWidgetOptions, TWidgetOption)
//   PLAT_DEFINE_CLASS(TWidget, c)
//   {
//       c.property("Size", &TWidget::Size, &TWidget::SetSize).defaultValue(10);
//       c.property<plat::ti::TColor>("Color", &TWidget::Color, &TWidget::SetColor)
//           .defaultValue(plat::clBlack);            // alias type: own descriptor
//       c.property("Kind", &TWidget::Kind, &TWidget::SetKind).defaultValue(wkPlain);
//       c.property("Options", &TWidget::Options, &TWidget::SetOptions)
//           .defaultValue(TWidgetOptions{});
//       c.property("Caption", &TWidget::Caption, &TWidget::SetCaption)
//           .stored(&TWidget::IsCaptionStored);      // or .stored(false)
//       c.property("Buddy", &TWidget::Buddy, &TWidget::SetBuddy);
//       c.property("OnChange", &TWidget::OnChange);  // field: read and written directly
//   }
//   // and once at start-up (an explicit call, never a static initialiser),
//   // to make it creatable by name:
//   plat::RegisterClass(TWidget::StaticClass());
//
// A class that keeps a reference to another component calls
// FreeNotification on it and clears the reference in its Notification
// override (opRemove). tests/objects/Guide_test.cpp compiles this example.
//
// Getters may be member functions (`T f() const`, `const T& f() const`),
// data members, or callables taking `const C&`; setters member functions
// taking T, data members, callables taking `(C&, T)`, or nothing (read-only).
// The value type picks the descriptor: int Integer, bool Boolean, double
// Double, QString String, plat::Variant Variant, T* (a TObject descendant)
// class T, enumerations and sets by PLAT_DECLARE_ENUM / PLAT_DECLARE_SET,
// event types by PLAT_EVENT_TYPE. Alias types (TColor, TDateTime, ...) are
// named by a tag from plat::ti as the template argument; the tag's value
// type must fit the getter's. Declare new alias types with PLAT_ALIAS_TYPE.
// A property redeclared in a descendant replaces the ancestor's at its place.
// Ordinal properties have no default unless .defaultValue() gives one (a
// property without default is always stored).
// ---------------------------------------------------------------------------

#include "Objects.h"
#include "Variant.h"

#include <QString>
#include <QStringView>

#include <concepts>
#include <functional>
#include <limits>
#include <memory>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

namespace plat {

class TPropInfo;
class TCollection;
class TCollectionItem;

enum TTypeKind {
    tkUnknown,
    tkInteger,
    tkChar,
    tkEnumeration,
    tkFloat,
    tkString,
    tkSet,
    tkClass,
    tkMethod,
    tkWChar,
    tkLString,
    tkWString,
    tkVariant,
    tkArray,
    tkRecord,
    tkInterface,
    tkInt64,
    tkDynArray
};
using TTypeKinds = TSet<TTypeKind>;
inline constexpr TTypeKinds tkAny = TTypeKinds::fromMask(0x3FFFF);
inline constexpr TTypeKinds tkProperties = tkAny - TTypeKinds{tkMethod};
inline constexpr TTypeKinds tkMethods = TTypeKinds{tkMethod};

enum TOrdType { otSByte, otUByte, otSWord, otUWord, otSLong, otULong, otSInt64 };
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

// ---------------------------------------------------------------------------
// Type descriptors. One object per type, compared by address: an alias type
// (TColor) is a type of its own although it has Integer's kind and range.

class TTypeInfo {
public:
    TTypeKind Kind() const noexcept { return m_kind; }
    QString Name() const;
    // The type an alias renames (TColor: Integer); nullptr for others.
    const TTypeInfo* AliasOf() const noexcept { return m_aliasOf; }

    // Ordinal kinds (integers, chars, enumerations, sets, Int64).
    bool IsOrdinal() const noexcept;
    TOrdType OrdType() const noexcept { return m_ordType; }
    qint64 MinValue() const noexcept { return m_min; }
    qint64 MaxValue() const noexcept { return m_max; }

    // Enumerations: value names for MinValue..MaxValue.
    int EnumCount() const noexcept { return static_cast<int>(m_names.size()); }
    const std::vector<QString>& EnumNames() const noexcept { return m_names; }
    // Empty text outside the range.
    QString EnumName(qint64 value) const;
    // Case-insensitive; -1 for an unknown name.
    int EnumValue(QStringView name) const noexcept;
    bool IsBoolean() const noexcept; // the Boolean type or an alias of it

    // Sets: the element type (an enumeration).
    const TTypeInfo* CompType() const noexcept { return m_compType; }
    quint32 SetMask() const noexcept; // all valid element bits
    // "fsBold,fsItalic", in element order; with brackets "[fsBold,fsItalic]".
    QString SetToString(quint32 value, bool brackets = false) const;
    // Accepts the names with or without brackets, blanks around names;
    // raises EPropertyConvertError "Invalid property element: %s".
    quint32 StringToSet(QStringView text) const;

    // Floats.
    TFloatType FloatType() const noexcept { return m_floatType; }

    // Classes: the declared class (resolved on first use).
    const TClass* ClassType() const;

    // Methods (event types): the signature text and its identity.
    const QString& MethodSignature() const noexcept { return m_signature; }
    const void* SignatureTag() const noexcept { return m_sigTag; }

    // Factories for the declaration macros and the built-in types.
    static TTypeInfo ordinal(const char* name, TTypeKind kind, TOrdType ordType, qint64 min, qint64 max);
    static TTypeInfo enumeration(const char* name, std::initializer_list<const char*> names);
    static TTypeInfo set(const char* name, const TTypeInfo* compType);
    static TTypeInfo floating(const char* name, TFloatType floatType);
    static TTypeInfo string(const char* name, TTypeKind kind);
    static TTypeInfo simple(const char* name, TTypeKind kind);
    static TTypeInfo classRef(const TClass* (*classFn)());
    static TTypeInfo method(const char* name, const char* signature, const void* sigTag);
    static TTypeInfo alias(const char* name, const TTypeInfo* base);

private:
    TTypeKind m_kind = tkUnknown;
    QString m_name;
    const TTypeInfo* m_aliasOf = nullptr;
    TOrdType m_ordType = otSLong;
    qint64 m_min = 0;
    qint64 m_max = 0;
    std::vector<QString> m_names;
    const TTypeInfo* m_compType = nullptr;
    TFloatType m_floatType = ftDouble;
    const TClass* (*m_classFn)() = nullptr;
    QString m_signature;
    const void* m_sigTag = nullptr;
};

// Descriptors of the built-in types, found by overload on a null pointer of
// the type (enumerations and sets add theirs by PLAT_DECLARE_ENUM/SET).
const TTypeInfo* platTypeInfo(const bool*);
const TTypeInfo* platTypeInfo(const char*);     // Char (8-bit character)
const TTypeInfo* platTypeInfo(const QChar*);    // WideChar
const TTypeInfo* platTypeInfo(const char16_t*); // WideChar
const TTypeInfo* platTypeInfo(const qint8*);    // ShortInt
const TTypeInfo* platTypeInfo(const quint8*);   // Byte
const TTypeInfo* platTypeInfo(const qint16*);   // SmallInt
const TTypeInfo* platTypeInfo(const quint16*);  // Word
const TTypeInfo* platTypeInfo(const qint32*);   // Integer
const TTypeInfo* platTypeInfo(const quint32*);  // Cardinal
const TTypeInfo* platTypeInfo(const long*);     // Int64
const TTypeInfo* platTypeInfo(const long long*);// Int64
const TTypeInfo* platTypeInfo(const float*);    // Single
const TTypeInfo* platTypeInfo(const double*);   // Double
const TTypeInfo* platTypeInfo(const long double*); // Extended
const TTypeInfo* platTypeInfo(const QString*);  // String (8-bit kind, tkLString)
const TTypeInfo* platTypeInfo(const Variant*);  // Variant

namespace detail {
template <class T>
concept HasStaticTypeInfo = requires {
    { T::typeInfo() } -> std::convertible_to<const TTypeInfo*>;
};
template <class T>
const TTypeInfo* classTypeInfo()
{
    static const TTypeInfo ti = TTypeInfo::classRef(&T::StaticClass);
    return &ti;
}
template <class T>
struct ValueTypeOfImpl {
    using type = T;
};
template <class T>
    requires requires {
        typename T::value_type;
        T::typeInfo();
    }
struct ValueTypeOfImpl<T> {
    using type = typename T::value_type;
};
template <class T>
using ValueTypeOf = typename ValueTypeOfImpl<T>::type;
} // namespace detail

// The descriptor of a C++ type or of a tag.
template <class T>
const TTypeInfo* typeInfoOf()
{
    using U = std::remove_cvref_t<T>;
    if constexpr (detail::HasStaticTypeInfo<U>) {
        return U::typeInfo();
    } else if constexpr (std::is_pointer_v<U>) {
        using C = std::remove_cv_t<std::remove_pointer_t<U>>;
        static_assert(std::is_base_of_v<TObject, C>, "class properties hold TObject descendants");
        return detail::classTypeInfo<C>();
    } else {
        return platTypeInfo(static_cast<const U*>(nullptr));
    }
}

// Declares a tag type Name whose descriptor renames Base (a C++ type or a
// tag): the same kind and range, its own name and identity.
#define PLAT_ALIAS_TYPE(Name, Base)                                                              \
    struct Name {                                                                                \
        using value_type = ::plat::detail::ValueTypeOf<Base>;                                    \
        static const ::plat::TTypeInfo* typeInfo()                                               \
        {                                                                                        \
            static const ::plat::TTypeInfo ti = ::plat::TTypeInfo::alias(#Name, ::plat::typeInfoOf<Base>()); \
            return &ti;                                                                          \
        }                                                                                        \
    };

// Enumerations: in the header after the enum, PLAT_DECLARE_ENUM(E); in one
// .cpp, in the same namespace, PLAT_DEFINE_ENUM(E, "name0", "name1", ...).
// Values are 0, 1, 2 ... in the order of the names.
#define PLAT_DECLARE_ENUM(Enum) const ::plat::TTypeInfo* platTypeInfo(const Enum*);
#define PLAT_DEFINE_ENUM(Enum, ...)                                                              \
    const ::plat::TTypeInfo* platTypeInfo(const Enum*)                                           \
    {                                                                                            \
        static const ::plat::TTypeInfo ti = ::plat::TTypeInfo::enumeration(#Enum, {__VA_ARGS__}); \
        return &ti;                                                                              \
    }
// Sets: `using S = plat::TSet<E>;` then PLAT_DECLARE_SET(S) in the header
// and PLAT_DEFINE_SET(S, E) in the .cpp, both in E's namespace.
#define PLAT_DECLARE_SET(Set) const ::plat::TTypeInfo* platTypeInfo(const Set*);
#define PLAT_DEFINE_SET(Set, Enum)                                                               \
    const ::plat::TTypeInfo* platTypeInfo(const Set*)                                            \
    {                                                                                            \
        static const ::plat::TTypeInfo ti =                                                      \
            ::plat::TTypeInfo::set(#Set, platTypeInfo(static_cast<const Enum*>(nullptr)));       \
        return &ti;                                                                              \
    }

// ---------------------------------------------------------------------------
// Method values. An event holds a callable and an identity: the receiving
// object and the handler. Two events are equal when their identities are.

struct TMethodIdentity {
    const void* Data = nullptr; // the receiving object
    const void* Code = nullptr; // the handler
    friend bool operator==(const TMethodIdentity&, const TMethodIdentity&) = default;
};

namespace detail {
template <auto Member>
inline const char methodCodeTag = 0;
}

// A method value without its signature, as properties hand it around.
class TMethod {
public:
    TMethod() = default;
    bool IsAssigned() const noexcept { return m_fn != nullptr; }
    const void* Data() const noexcept { return m_id.Data; }
    const void* Code() const noexcept { return m_id.Code; }
    TMethodIdentity Identity() const noexcept { return m_id; }
    const void* SignatureTag() const noexcept { return m_sigTag; }
    friend bool operator==(const TMethod& a, const TMethod& b) noexcept
    {
        return a.IsAssigned() == b.IsAssigned() && a.m_id == b.m_id;
    }

private:
    template <class Sig>
    friend class TEvent;
    std::shared_ptr<const void> m_fn;
    TMethodIdentity m_id;
    const void* m_sigTag = nullptr;
};

template <class Sig>
class TEvent;

template <class R, class... A>
class TEvent<R(A...)> {
public:
    using Function = std::function<R(A...)>;

    TEvent() = default;
    TEvent(std::nullptr_t) {}
    // A callable with an explicit identity (handlers that are not members).
    TEvent(Function fn, const void* data, const void* code)
        : m_fn(fn ? std::make_shared<const Function>(std::move(fn)) : nullptr), m_id{data, code}
    {
    }
    // Binds a member function: TNotifyEvent::bind<&TForm1::ButtonClick>(form).
    template <auto Member, class C>
    static TEvent bind(C* receiver)
    {
        return TEvent([receiver](A... args) -> R { return (receiver->*Member)(std::forward<A>(args)...); },
                      receiver, &detail::methodCodeTag<Member>);
    }

    static const void* signatureTag() noexcept
    {
        static const char tag = 0;
        return &tag;
    }

    explicit operator bool() const noexcept { return m_fn != nullptr; }
    bool IsAssigned() const noexcept { return m_fn != nullptr; }
    // Calling an unassigned event does nothing (and returns R{}).
    R operator()(A... args) const
    {
        if (!m_fn) {
            if constexpr (std::is_void_v<R>)
                return;
            else
                return R{};
        }
        return (*m_fn)(std::forward<A>(args)...);
    }
    void Clear() noexcept
    {
        m_fn.reset();
        m_id = {};
    }
    const void* Data() const noexcept { return m_id.Data; }
    const void* Code() const noexcept { return m_id.Code; }
    TMethodIdentity Identity() const noexcept { return m_id; }

    friend bool operator==(const TEvent& a, const TEvent& b) noexcept
    {
        return (a.m_fn != nullptr) == (b.m_fn != nullptr) && a.m_id == b.m_id;
    }

    TMethod toMethod() const
    {
        TMethod m;
        m.m_fn = m_fn;
        m.m_id = m_id;
        m.m_sigTag = m_fn ? signatureTag() : nullptr;
        return m;
    }
    // An unassigned method clears; one of another signature raises
    // EPropertyConvertError "Invalid property type: %s".
    static TEvent fromMethod(const TMethod& m);

private:
    std::shared_ptr<const Function> m_fn;
    TMethodIdentity m_id;
};

namespace detail {
[[noreturn]] void raiseMethodSignatureMismatch();
}

template <class R, class... A>
TEvent<R(A...)> TEvent<R(A...)>::fromMethod(const TMethod& m)
{
    TEvent e;
    if (!m.IsAssigned())
        return e;
    if (m.SignatureTag() != signatureTag())
        detail::raiseMethodSignatureMismatch();
    e.m_fn = std::static_pointer_cast<const Function>(m.m_fn);
    e.m_id = m.m_id;
    return e;
}

namespace detail {
template <class T>
concept EventType = requires(const T& t) { t.toMethod(); T::signatureTag(); };
} // namespace detail

// Declares an event type: PLAT_EVENT_TYPE(TNotifyEvent, void(plat::TObject* Sender)).
#define PLAT_EVENT_TYPE(Name, ...)                                                               \
    struct Name : ::plat::TEvent<__VA_ARGS__> {                                                  \
        using Base = ::plat::TEvent<__VA_ARGS__>;                                                \
        using Base::Base;                                                                        \
        Name() = default;                                                                        \
        Name(const Base& e) : Base(e) {}                                                         \
        static const ::plat::TTypeInfo* typeInfo()                                               \
        {                                                                                        \
            static const ::plat::TTypeInfo ti =                                                  \
                ::plat::TTypeInfo::method(#Name, #__VA_ARGS__, Base::signatureTag());            \
            return &ti;                                                                          \
        }                                                                                        \
    };

PLAT_EVENT_TYPE(TNotifyEvent, void(TObject* Sender))

// ---------------------------------------------------------------------------
// Tags of the alias types and of the string and float kinds that have no C++
// type of their own. Use them as property<plat::ti::TColor>(...).

namespace ti {
struct WideString {
    using value_type = QString;
    static const TTypeInfo* typeInfo();
};
struct ShortString {
    using value_type = QString;
    static const TTypeInfo* typeInfo();
};
struct Currency {
    using value_type = double;
    static const TTypeInfo* typeInfo();
};
struct Comp {
    using value_type = double;
    static const TTypeInfo* typeInfo();
};
struct TColor {
    using value_type = qint32;
    static const TTypeInfo* typeInfo();
};
struct TCursor {
    using value_type = qint16;
    static const TTypeInfo* typeInfo();
};
struct TDateTime {
    using value_type = double;
    static const TTypeInfo* typeInfo();
};
struct TDate {
    using value_type = double;
    static const TTypeInfo* typeInfo();
};
struct TTime {
    using value_type = double;
    static const TTypeInfo* typeInfo();
};
struct TModalResult {
    using value_type = qint32;
    static const TTypeInfo* typeInfo();
};
struct TShortCut {
    using value_type = quint16;
    static const TTypeInfo* typeInfo();
};
struct TComponentName {
    using value_type = QString;
    static const TTypeInfo* typeInfo();
};
struct TFontCharset {
    using value_type = quint8;
    static const TTypeInfo* typeInfo();
};
struct TFontName {
    using value_type = QString;
    static const TTypeInfo* typeInfo();
};
struct TCaption {
    using value_type = QString;
    static const TTypeInfo* typeInfo();
};
struct TImageIndex {
    using value_type = qint32;
    static const TTypeInfo* typeInfo();
};
struct TAlphaColor {
    using value_type = quint32;
    static const TTypeInfo* typeInfo();
};
} // namespace ti

// ---------------------------------------------------------------------------
// Property accessors (internal): one object per property, made from the
// getter and setter given in the declaration.

enum class PropCategory { Ordinal, Float, String, Variant, Object, Method };

class TPropAccessor {
public:
    virtual ~TPropAccessor();
    virtual PropCategory category() const noexcept = 0;
    virtual bool writable() const noexcept = 0;
    virtual qint64 getOrd(const TObject&, int index) const;
    virtual void setOrd(TObject&, int index, qint64) const;
    virtual long double getFloat(const TObject&, int index) const;
    virtual void setFloat(TObject&, int index, long double) const;
    virtual QString getStr(const TObject&, int index) const;
    virtual void setStr(TObject&, int index, const QString&) const;
    virtual Variant getVariant(const TObject&, int index) const;
    virtual void setVariant(TObject&, int index, const Variant&) const;
    virtual TObject* getObject(const TObject&, int index) const;
    virtual void setObject(TObject&, int index, TObject*) const;
    virtual TMethod getMethod(const TObject&, int index) const;
    virtual void setMethod(TObject&, int index, const TMethod&) const;
};

// ---------------------------------------------------------------------------
// Published properties.

inline constexpr int kNoIndex = std::numeric_limits<int>::min();

class TPropInfo {
public:
    TPropInfo(QString name, const TTypeInfo* type, const TClass* owner, std::shared_ptr<const TPropAccessor> accessor);

    const QString& Name() const noexcept { return m_name; }
    const TTypeInfo* PropType() const noexcept { return m_type; }
    TTypeKind Kind() const noexcept { return m_type->Kind(); }
    // The class that declared the property.
    const TClass* OwnerClass() const noexcept { return m_owner; }
    // The index specifier handed to indexed getters and setters; kNoIndex.
    int Index() const noexcept { return m_index; }
    // Position in the owner class's declaration-order list.
    int NameIndex() const noexcept { return m_nameIndex; }

    bool HasDefault() const noexcept { return m_hasDefault; }
    qint64 Default() const noexcept { return m_default; }
    bool IsWritable() const noexcept { return m_accessor->writable(); }
    // The stored rule for this instance (constant or predicate).
    bool IsStored(const TObject* instance) const;
    // true when the stored rule is a constant true.
    bool IsStoredAlways() const noexcept { return m_stored == Stored::Always; }

    const TPropAccessor& accessor() const noexcept { return *m_accessor; }

private:
    template <class C>
    friend class PropBuilder;
    template <class C>
    friend class ClassBuilder;
    friend class TClass;
    enum class Stored { Always, Never, Predicate };

    QString m_name;
    const TTypeInfo* m_type;
    const TClass* m_owner;
    std::shared_ptr<const TPropAccessor> m_accessor;
    int m_index = kNoIndex;
    int m_nameIndex = -1;
    bool m_hasDefault = false;
    qint64 m_default = 0;
    Stored m_stored = Stored::Always;
    std::function<bool(const TObject&)> m_storedFn;
};

// ---------------------------------------------------------------------------
// Class descriptors.

class TClass {
public:
    using PlainFactory = TObject* (*)();
    using OwnerFactory = TObject* (*)(TComponent* owner);
    using ItemFactory = TObject* (*)(TCollection* collection);

    TClass(QString name, const TClass* parent, const TTypeInfo* classInfo);
    TClass(const TClass&) = delete;
    TClass& operator=(const TClass&) = delete;

    const QString& ClassName() const noexcept { return m_name; }
    const TClass* ClassParent() const noexcept { return m_parent; }
    // The tkClass descriptor of this class (for class-typed properties).
    const TTypeInfo* ClassInfo() const noexcept { return m_classInfo; }
    bool InheritsFrom(const TClass* ancestor) const noexcept;
    bool InheritsFrom(QStringView ancestorName) const noexcept;
    // True when obj is an instance of this class or a descendant.
    bool IsInstance(const TObject* obj) const noexcept;

    // Published properties in declaration order, ancestors first.
    std::span<const TPropInfo* const> Properties() const noexcept { return m_props; }
    int PropCount() const noexcept { return static_cast<int>(m_props.size()); }
    // The same, sorted by name (case-insensitive).
    const std::vector<const TPropInfo*>& SortedProperties() const;
    // Case-insensitive lookup through a precomputed hash; nullptr if none.
    const TPropInfo* FindProperty(QStringView name) const noexcept;

    // Creation by class reference. CreateInstance makes a component without
    // owner or a plain object; CreateComponent needs a component class;
    // CreateItem a collection item class. A class that cannot be made that
    // way raises EAbstractError "Cannot create an instance of %s".
    bool CanCreate() const noexcept { return m_plain || m_owned; }
    bool IsComponentClass() const noexcept;
    TObject* CreateInstance() const;
    TComponent* CreateComponent(TComponent* owner) const;
    TCollectionItem* CreateItem(TCollection* collection) const;

    // For the declaration code.
    void setFactories(PlainFactory plain, OwnerFactory owned, ItemFactory item);
    void addProperty(std::unique_ptr<TPropInfo> prop);
    void finish();

private:
    QString m_name;
    const TClass* m_parent;
    const TTypeInfo* m_classInfo;
    PlainFactory m_plain = nullptr;
    OwnerFactory m_owned = nullptr;
    ItemFactory m_item = nullptr;
    std::vector<std::unique_ptr<TPropInfo>> m_ownProps;
    std::vector<const TPropInfo*> m_props;
    std::vector<const TPropInfo*> m_sorted;
    struct Slot {
        size_t hash;
        int index;
    };
    std::vector<Slot> m_hash; // open addressing, size a power of two
};

// ---------------------------------------------------------------------------
// Declaration helpers behind PLAT_DEFINE_CLASS.

namespace detail {

template <class V>
consteval PropCategory categoryOf()
{
    using U = std::remove_cvref_t<V>;
    if constexpr (std::is_same_v<U, QString>)
        return PropCategory::String;
    else if constexpr (std::is_same_v<U, Variant>)
        return PropCategory::Variant;
    else if constexpr (std::is_floating_point_v<U>)
        return PropCategory::Float;
    else if constexpr (std::is_pointer_v<U>)
        return PropCategory::Object;
    else if constexpr (EventType<U>)
        return PropCategory::Method;
    else
        return PropCategory::Ordinal;
}

template <class V>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<TSet<E>> : std::true_type {};

template <class V>
qint64 toOrd(const V& v)
{
    if constexpr (IsSet<V>::value)
        return v.mask();
    else if constexpr (std::is_same_v<V, QChar>)
        return v.unicode();
    else if constexpr (std::is_same_v<V, char>)
        return static_cast<unsigned char>(v);
    else if constexpr (std::is_enum_v<V>)
        return static_cast<qint64>(v);
    else if constexpr (std::is_same_v<V, bool>)
        return v ? 1 : 0;
    else
        return static_cast<qint64>(v);
}

template <class V>
V fromOrd(qint64 v)
{
    if constexpr (IsSet<V>::value)
        return V::fromMask(static_cast<quint32>(v));
    else if constexpr (std::is_same_v<V, QChar>)
        return QChar(static_cast<char16_t>(v));
    else if constexpr (std::is_same_v<V, bool>)
        return v != 0;
    else
        return static_cast<V>(v);
}

[[noreturn]] void raiseInvalidPropertyType(const TPropAccessor& accessor);
[[noreturn]] void raiseReadOnly();

template <class C, class G>
decltype(auto) invokeGet(const G& g, const TObject& obj, int index)
{
    const C& c = static_cast<const C&>(obj);
    if constexpr (std::is_member_object_pointer_v<G>)
        return (c.*g);
    else if constexpr (std::is_invocable_v<const G&, const C&, int>)
        return std::invoke(g, c, index);
    else
        return std::invoke(g, c);
}

template <class C, class V, class S>
void invokeSet(const S& s, TObject& obj, int index, V&& v)
{
    C& c = static_cast<C&>(obj);
    if constexpr (std::is_member_object_pointer_v<S>)
        (c.*s) = std::forward<V>(v);
    else if constexpr (std::is_invocable_v<const S&, C&, int, V>)
        std::invoke(s, c, index, std::forward<V>(v));
    else
        std::invoke(s, c, std::forward<V>(v));
}

// The entry points of one category over a typed getter and setter. They
// depend only on the value type, so every property of that type shares them;
// the other categories' entry points are TPropAccessor's, which raise
// EPropertyConvertError.
template <class V, PropCategory Cat = categoryOf<V>()>
class ValueAccessor;

template <class V>
class TypedAccessor : public TPropAccessor {
public:
    PropCategory category() const noexcept final { return categoryOf<V>(); }
    virtual V get(const TObject& obj, int index) const = 0;
    virtual void set(TObject& obj, int index, V v) const = 0;
};

template <class V>
class ValueAccessor<V, PropCategory::Ordinal> : public TypedAccessor<V> {
public:
    qint64 getOrd(const TObject& o, int i) const final { return toOrd<V>(this->get(o, i)); }
    void setOrd(TObject& o, int i, qint64 v) const final { this->set(o, i, fromOrd<V>(v)); }
};

template <class V>
class ValueAccessor<V, PropCategory::Float> : public TypedAccessor<V> {
public:
    long double getFloat(const TObject& o, int i) const final { return static_cast<long double>(this->get(o, i)); }
    void setFloat(TObject& o, int i, long double v) const final { this->set(o, i, static_cast<V>(v)); }
};

template <class V>
class ValueAccessor<V, PropCategory::String> : public TypedAccessor<V> {
public:
    QString getStr(const TObject& o, int i) const final { return this->get(o, i); }
    void setStr(TObject& o, int i, const QString& v) const final { this->set(o, i, v); }
};

template <class V>
class ValueAccessor<V, PropCategory::Variant> : public TypedAccessor<V> {
public:
    Variant getVariant(const TObject& o, int i) const final { return this->get(o, i); }
    void setVariant(TObject& o, int i, const Variant& v) const final { this->set(o, i, v); }
};

template <class V>
class ValueAccessor<V, PropCategory::Object> : public TypedAccessor<V> {
public:
    TObject* getObject(const TObject& o, int i) const final
    {
        return const_cast<TObject*>(static_cast<const TObject*>(this->get(o, i)));
    }
    void setObject(TObject& o, int i, TObject* v) const final
    {
        using T = std::remove_pointer_t<V>;
        // The caller has checked the class of v against the declared class.
        this->set(o, i, static_cast<V>(static_cast<std::remove_const_t<T>*>(v)));
    }
};

template <class V>
class ValueAccessor<V, PropCategory::Method> : public TypedAccessor<V> {
public:
    TMethod getMethod(const TObject& o, int i) const final { return this->get(o, i).toMethod(); }
    void setMethod(TObject& o, int i, const TMethod& m) const final { this->set(o, i, V(V::fromMethod(m))); }
};

// One property's getter and setter; all else comes from ValueAccessor<V>.
template <class C, class V, class G, class S>
class PropAccessorImpl final : public ValueAccessor<V> {
public:
    static constexpr bool kWritable = !std::is_same_v<S, std::nullptr_t>;
    PropAccessorImpl(G g, S s) : m_get(std::move(g)), m_set(std::move(s)) {}

    bool writable() const noexcept override { return kWritable; }

    V get(const TObject& obj, int index) const override { return V(invokeGet<C>(m_get, obj, index)); }
    void set(TObject& obj, int index, V v) const override
    {
        if constexpr (kWritable)
            invokeSet<C, V>(m_set, obj, index, std::move(v));
        else
            raiseReadOnly();
    }

private:
    G m_get;
    S m_set;
};

template <class C, class G>
struct GetterValue {
    using type = std::remove_cvref_t<decltype(invokeGet<C>(std::declval<const G&>(), std::declval<const TObject&>(), 0))>;
};

} // namespace detail

template <class C>
class PropBuilder {
public:
    explicit PropBuilder(TPropInfo& p) : m_p(p) {}
    // The declared default (ordinal kinds): a value equal to it is not stored.
    template <class V>
    PropBuilder& defaultValue(const V& v)
    {
        m_p.m_hasDefault = true;
        m_p.m_default = detail::toOrd<V>(v);
        return *this;
    }
    PropBuilder& noDefault()
    {
        m_p.m_hasDefault = false;
        return *this;
    }
    PropBuilder& stored(bool value)
    {
        m_p.m_stored = value ? TPropInfo::Stored::Always : TPropInfo::Stored::Never;
        m_p.m_storedFn = nullptr;
        return *this;
    }
    // A predicate: a member function `bool f() const` or a callable on const C&.
    template <class F>
        requires(!std::is_same_v<F, bool>)
    PropBuilder& stored(F predicate)
    {
        m_p.m_stored = TPropInfo::Stored::Predicate;
        m_p.m_storedFn = [predicate](const TObject& o) { return std::invoke(predicate, static_cast<const C&>(o)); };
        return *this;
    }

private:
    TPropInfo& m_p;
};

struct DeduceType {};

template <class C>
class ClassBuilder {
public:
    explicit ClassBuilder(TClass& cls) : m_cls(cls) {}

    template <class Tag = DeduceType, class G, class S = std::nullptr_t>
    PropBuilder<C> property(const QString& name, G getter, S setter = nullptr)
    {
        return add<Tag>(name, kNoIndex, std::move(getter), std::move(setter));
    }
    // Getter `T f(int index) const`, setter `void f(int index, T)`.
    template <class Tag = DeduceType, class G, class S = std::nullptr_t>
    PropBuilder<C> indexedProperty(const QString& name, int index, G getter, S setter = nullptr)
    {
        return add<Tag>(name, index, std::move(getter), std::move(setter));
    }
    // A data member that is read and written directly (typically an event).
    template <class Tag = DeduceType, class V, class B>
        requires(std::is_base_of_v<B, C> && !std::is_function_v<V>)
    PropBuilder<C> property(const QString& name, V B::*field)
    {
        return add<Tag>(name, kNoIndex, field, field);
    }

private:
    template <class Tag, class G, class S>
    PropBuilder<C> add(const QString& name, int index, G getter, S setter)
    {
        using V = typename detail::GetterValue<C, G>::type;
        using Described = std::conditional_t<std::is_same_v<Tag, DeduceType>, V, Tag>;
        static_assert(detail::categoryOf<detail::ValueTypeOf<Described>>() == detail::categoryOf<V>(),
                      "the type tag does not fit the getter's value type");
        // Through a plain TPropAccessor*, so that all properties share one
        // kind of shared_ptr control block (the destructor is virtual).
        TPropAccessor* raw = new detail::PropAccessorImpl<C, V, G, S>(std::move(getter), std::move(setter));
        std::shared_ptr<const TPropAccessor> accessor(raw);
        auto prop = std::make_unique<TPropInfo>(name, typeInfoOf<Described>(), &m_cls, std::move(accessor));
        prop->m_index = index;
        TPropInfo& ref = *prop;
        m_cls.addProperty(std::move(prop));
        return PropBuilder<C>(ref);
    }

    TClass& m_cls;
};

namespace detail {
QString stripNamespace(const char* name);
// The class's factories, by what its constructors take.
template <class C>
void setFactories(TClass& cls)
{
    TClass::PlainFactory plain = nullptr;
    TClass::OwnerFactory owned = nullptr;
    TClass::ItemFactory item = nullptr;
    if constexpr (!std::is_abstract_v<C>) {
        if constexpr (std::is_constructible_v<C, TComponent*>)
            owned = [](TComponent* owner) -> TObject* { return new C(owner); };
        if constexpr (std::is_constructible_v<C, TCollection*> && !std::is_constructible_v<C, TComponent*>)
            item = [](TCollection* collection) -> TObject* { return new C(collection); };
        if constexpr (std::is_default_constructible_v<C>)
            plain = []() -> TObject* { return new C(); };
    }
    cls.setFactories(plain, owned, item);
}

template <class C>
const TClass* defineClass(const char* name)
{
    const TClass* parent = nullptr;
    if constexpr (!std::is_void_v<typename C::inherited>)
        parent = C::inherited::StaticClass();
    auto* cls = new TClass(stripNamespace(name), parent, classTypeInfo<C>());
    setFactories<C>(*cls);
    // Let the builder know the class while it is being built (StaticClass()
    // is still running its initialiser).
    ClassBuilder<C> builder(*cls);
    C::DeclareClass(builder);
    cls->finish();
    return cls;
}
} // namespace detail

// Defines StaticClass() and opens the body of the property declarations.
#define PLAT_DEFINE_CLASS(Class, builder)                                                        \
    const ::plat::TClass* Class::StaticClass()                                                   \
    {                                                                                            \
        static const ::plat::TClass* const cls = ::plat::detail::defineClass<Class>(#Class);     \
        return cls;                                                                              \
    }                                                                                            \
    void Class::DeclareClass([[maybe_unused]] ::plat::ClassBuilder<Class>& builder)

// ---------------------------------------------------------------------------
// Property access by descriptor and by name. The instance must belong to the
// property's class (else EPropertyError "Invalid property"); a nil instance
// raises EAccessViolation "Invalid object reference". The typed functions
// raise EPropertyConvertError "Invalid property type: %s" for a property of
// another kind, and writes to a property without setter raise EPropertyError
// "Property %s is read-only". Ordinal writes outside the type's range raise
// ERangeError "Value must be between %d and %d" (32-bit integers take either
// reading of their bits); float writes beyond the storage's range raise
// EOverflow "Floating point overflow".

const TPropInfo* GetPropInfo(const TClass* cls, QStringView name) noexcept;
const TPropInfo* GetPropInfo(const TObject* instance, QStringView name) noexcept;
// The property or EPropertyError "Property %s does not exist".
const TPropInfo* FindPropInfo(const TObject* instance, QStringView name);
// Properties of the kinds in filter, in declaration order or sorted by name.
std::vector<const TPropInfo*> GetPropList(const TClass* cls, TTypeKinds filter = tkAny, bool sorted = false);
bool IsPublishedProp(const TObject* instance, QStringView name) noexcept;
bool IsStoredProp(const TObject* instance, const TPropInfo* prop);
bool PropIsType(const TObject* instance, QStringView name, TTypeKind kind);
TTypeKind PropType(const TObject* instance, QStringView name);

qint64 GetOrdProp(const TObject* instance, const TPropInfo* prop);
void SetOrdProp(TObject* instance, const TPropInfo* prop, qint64 value);
qint64 GetInt64Prop(const TObject* instance, const TPropInfo* prop);
void SetInt64Prop(TObject* instance, const TPropInfo* prop, qint64 value);
long double GetFloatProp(const TObject* instance, const TPropInfo* prop);
void SetFloatProp(TObject* instance, const TPropInfo* prop, long double value);
QString GetStrProp(const TObject* instance, const TPropInfo* prop);
void SetStrProp(TObject* instance, const TPropInfo* prop, const QString& value);
Variant GetVariantProp(const TObject* instance, const TPropInfo* prop);
void SetVariantProp(TObject* instance, const TPropInfo* prop, const Variant& value);
TObject* GetObjectProp(const TObject* instance, const TPropInfo* prop);
// value must be nil or of the declared class (else EPropertyConvertError
// "Invalid property value").
void SetObjectProp(TObject* instance, const TPropInfo* prop, TObject* value);
TMethod GetMethodProp(const TObject* instance, const TPropInfo* prop);
void SetMethodProp(TObject* instance, const TPropInfo* prop, const TMethod& value);
// Enumerations by value name (EPropertyConvertError "Invalid property
// element: %s" for an unknown name); sets as "a,b" (brackets optional when reading).
QString GetEnumProp(const TObject* instance, const TPropInfo* prop);
void SetEnumProp(TObject* instance, const TPropInfo* prop, QStringView name);
QString GetSetProp(const TObject* instance, const TPropInfo* prop, bool brackets = false);
void SetSetProp(TObject* instance, const TPropInfo* prop, QStringView text);

// The same by name.
qint64 GetOrdProp(const TObject* instance, QStringView name);
void SetOrdProp(TObject* instance, QStringView name, qint64 value);
long double GetFloatProp(const TObject* instance, QStringView name);
void SetFloatProp(TObject* instance, QStringView name, long double value);
QString GetStrProp(const TObject* instance, QStringView name);
void SetStrProp(TObject* instance, QStringView name, const QString& value);
TObject* GetObjectProp(const TObject* instance, QStringView name);
void SetObjectProp(TObject* instance, QStringView name, TObject* value);
TMethod GetMethodProp(const TObject* instance, QStringView name);
void SetMethodProp(TObject* instance, QStringView name, const TMethod& value);
QString GetEnumProp(const TObject* instance, QStringView name);
void SetEnumProp(TObject* instance, QStringView name, QStringView value);
QString GetSetProp(const TObject* instance, QStringView name, bool brackets = false);
void SetSetProp(TObject* instance, QStringView name, QStringView value);

// Any property as a Variant: integers and chars as integers, Booleans as
// Booleans, other enumerations and sets as their names (PreferStrings) or
// numbers, floats as Double (TDateTime/TDate/TTime as Date, Currency as
// Currency), strings as text (WideString as the wide kind), Int64 as Int64,
// objects as their handle (Handles.h; nil as 0), methods as Null.
Variant GetPropValue(const TObject* instance, const TPropInfo* prop, bool PreferStrings = true);
Variant GetPropValue(const TObject* instance, QStringView name, bool PreferStrings = true);
// The reverse; text is accepted for enumerations (names), sets (names) and
// chars (one character). Objects come as handles. Methods cannot be set
// from a Variant (EPropertyConvertError).
void SetPropValue(TObject* instance, const TPropInfo* prop, const Variant& value);
void SetPropValue(TObject* instance, QStringView name, const Variant& value);

// ---------------------------------------------------------------------------
// The class registry: classes that can be created by name.

// Registering a second class under a name already taken by another class
// raises EFilerError "A class named %s already exists"; the same class
// again is ignored.
void RegisterClass(const TClass* cls);
void RegisterClasses(std::initializer_list<const TClass*> classes);
void UnRegisterClass(const TClass* cls);
// nullptr for an unknown name (case-insensitive).
const TClass* GetClass(QStringView className) noexcept;
// Raises EClassNotFound "Class %s not found".
const TClass* FindClass(QStringView className);
// Creates a registered component class by name with an owner.
TComponent* CreateComponentByName(QStringView className, TComponent* owner);

} // namespace plat
