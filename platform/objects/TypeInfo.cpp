#include "TypeInfo.h"

#include "Collections.h"
#include "Exceptions.h"
#include "Handles.h"

#include <algorithm>
#include <cmath>
#include <bit>
#include <limits>
#include <QHash>

namespace plat {

// ---------------------------------------------------------------------------
// Type descriptors

QString TTypeInfo::Name() const
{
    if (m_kind == tkClass && m_classFn)
        return m_classFn()->ClassName();
    return m_name;
}

bool TTypeInfo::IsOrdinal() const noexcept
{
    switch (m_kind) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet:
    case tkWChar:
    case tkInt64:
        return true;
    default:
        return false;
    }
}

QString TTypeInfo::EnumName(qint64 value) const
{
    if (value < 0 || value >= static_cast<qint64>(m_names.size()))
        return {};
    return m_names[static_cast<size_t>(value)];
}

int TTypeInfo::EnumValue(QStringView name) const noexcept
{
    const QStringView trimmed = name.trimmed();
    for (size_t i = 0; i < m_names.size(); ++i)
        if (sameName(m_names[i], trimmed))
            return static_cast<int>(i);
    return -1;
}

bool TTypeInfo::IsBoolean() const noexcept
{
    const TTypeInfo* boolInfo = platTypeInfo(static_cast<const bool*>(nullptr));
    for (const TTypeInfo* t = this; t; t = t->m_aliasOf)
        if (t == boolInfo)
            return true;
    return false;
}

quint32 TTypeInfo::SetMask() const noexcept
{
    if (!m_compType)
        return 0;
    const qint64 count = std::min<qint64>(m_compType->MaxValue() + 1, 32);
    return count >= 32 ? 0xFFFFFFFFu : ((quint32(1) << count) - 1);
}

QString TTypeInfo::SetToString(quint32 value, bool brackets) const
{
    QString result;
    if (m_compType) {
        const int count = std::min(m_compType->EnumCount(), 32);
        for (int i = 0; i < count; ++i) {
            if (value & (quint32(1) << i)) {
                if (!result.isEmpty())
                    result += u',';
                result += m_compType->EnumNames()[static_cast<size_t>(i)];
            }
        }
    }
    if (brackets)
        result = u'[' + result + u']';
    return result;
}

quint32 TTypeInfo::StringToSet(QStringView text) const
{
    QStringView rest = text.trimmed();
    if (rest.startsWith(u'['))
        rest = rest.mid(1);
    if (rest.endsWith(u']'))
        rest.chop(1);
    quint32 result = 0;
    for (QStringView part : rest.tokenize(u',')) {
        const QStringView name = part.trimmed();
        if (name.isEmpty())
            continue;
        const int value = m_compType ? m_compType->EnumValue(name) : -1;
        if (value < 0 || value >= 32)
            throw EPropertyConvertError(QStringLiteral("Invalid property element: %1").arg(name.toString()));
        result |= quint32(1) << value;
    }
    return result;
}

const TClass* TTypeInfo::ClassType() const
{
    return m_classFn ? m_classFn() : nullptr;
}

TTypeInfo TTypeInfo::ordinal(const char* name, TTypeKind kind, TOrdType ordType, qint64 min, qint64 max)
{
    TTypeInfo t;
    t.m_kind = kind;
    t.m_name = QString::fromLatin1(name);
    t.m_ordType = ordType;
    t.m_min = min;
    t.m_max = max;
    return t;
}

TTypeInfo TTypeInfo::enumeration(const char* name, std::initializer_list<const char*> names)
{
    TTypeInfo t;
    t.m_kind = tkEnumeration;
    t.m_name = QString::fromLatin1(name);
    for (const char* n : names)
        t.m_names.push_back(QString::fromLatin1(n));
    t.m_min = 0;
    t.m_max = static_cast<qint64>(t.m_names.size()) - 1;
    t.m_ordType = t.m_names.size() <= 256 ? otUByte : otUWord;
    return t;
}

TTypeInfo TTypeInfo::set(const char* name, const TTypeInfo* compType)
{
    TTypeInfo t;
    t.m_kind = tkSet;
    t.m_name = QString::fromLatin1(name);
    t.m_compType = compType;
    t.m_ordType = otULong;
    t.m_min = 0;
    t.m_max = t.SetMask();
    return t;
}

TTypeInfo TTypeInfo::floating(const char* name, TFloatType floatType)
{
    TTypeInfo t;
    t.m_kind = tkFloat;
    t.m_name = QString::fromLatin1(name);
    t.m_floatType = floatType;
    return t;
}

TTypeInfo TTypeInfo::string(const char* name, TTypeKind kind)
{
    TTypeInfo t;
    t.m_kind = kind;
    t.m_name = QString::fromLatin1(name);
    return t;
}

TTypeInfo TTypeInfo::simple(const char* name, TTypeKind kind)
{
    return string(name, kind);
}

TTypeInfo TTypeInfo::classRef(const TClass* (*classFn)())
{
    TTypeInfo t;
    t.m_kind = tkClass;
    t.m_classFn = classFn;
    return t;
}

TTypeInfo TTypeInfo::method(const char* name, const char* signature, const void* sigTag)
{
    TTypeInfo t;
    t.m_kind = tkMethod;
    t.m_name = QString::fromLatin1(name);
    t.m_signature = QString::fromLatin1(signature);
    t.m_sigTag = sigTag;
    return t;
}

TTypeInfo TTypeInfo::alias(const char* name, const TTypeInfo* base)
{
    TTypeInfo t = *base;
    t.m_name = QString::fromLatin1(name);
    t.m_aliasOf = base;
    return t;
}

#define PLAT_BUILTIN(Type, ...)                                  \
    const TTypeInfo* platTypeInfo(const Type*)                   \
    {                                                            \
        static const TTypeInfo ti = __VA_ARGS__;                 \
        return &ti;                                              \
    }

PLAT_BUILTIN(bool, TTypeInfo::enumeration("Boolean", {"False", "True"}))
PLAT_BUILTIN(char, TTypeInfo::ordinal("Char", tkChar, otUByte, 0, 255))
PLAT_BUILTIN(QChar, TTypeInfo::ordinal("WideChar", tkWChar, otUWord, 0, 65535))
PLAT_BUILTIN(char16_t, *platTypeInfo(static_cast<const QChar*>(nullptr)))
PLAT_BUILTIN(qint8, TTypeInfo::ordinal("ShortInt", tkInteger, otSByte, -128, 127))
PLAT_BUILTIN(quint8, TTypeInfo::ordinal("Byte", tkInteger, otUByte, 0, 255))
PLAT_BUILTIN(qint16, TTypeInfo::ordinal("SmallInt", tkInteger, otSWord, -32768, 32767))
PLAT_BUILTIN(quint16, TTypeInfo::ordinal("Word", tkInteger, otUWord, 0, 65535))
PLAT_BUILTIN(qint32, TTypeInfo::ordinal("Integer", tkInteger, otSLong, std::numeric_limits<qint32>::min(),
                                         std::numeric_limits<qint32>::max()))
PLAT_BUILTIN(quint32, TTypeInfo::ordinal("Cardinal", tkInteger, otULong, 0, std::numeric_limits<quint32>::max()))
PLAT_BUILTIN(long long, TTypeInfo::ordinal("Int64", tkInt64, otSInt64, std::numeric_limits<qint64>::min(),
                                            std::numeric_limits<qint64>::max()))
PLAT_BUILTIN(long, *platTypeInfo(static_cast<const long long*>(nullptr)))
PLAT_BUILTIN(float, TTypeInfo::floating("Single", ftSingle))
PLAT_BUILTIN(double, TTypeInfo::floating("Double", ftDouble))
PLAT_BUILTIN(long double, TTypeInfo::floating("Extended", ftExtended))
PLAT_BUILTIN(QString, TTypeInfo::string("String", tkLString))
PLAT_BUILTIN(Variant, TTypeInfo::simple("Variant", tkVariant))
#undef PLAT_BUILTIN

namespace ti {
#define PLAT_TAG(Tag, ...)                                       \
    const TTypeInfo* Tag::typeInfo()                             \
    {                                                            \
        static const TTypeInfo ti = __VA_ARGS__;                 \
        return &ti;                                              \
    }
#define PLAT_ALIAS_OF(Name, Base) TTypeInfo::alias(Name, typeInfoOf<Base>())

PLAT_TAG(WideString, TTypeInfo::string("WideString", tkWString))
PLAT_TAG(ShortString, TTypeInfo::string("ShortString", tkString))
PLAT_TAG(Currency, TTypeInfo::floating("Currency", ftCurr))
PLAT_TAG(Comp, TTypeInfo::floating("Comp", ftComp))
PLAT_TAG(TColor, PLAT_ALIAS_OF("TColor", qint32))
PLAT_TAG(TCursor, PLAT_ALIAS_OF("TCursor", qint16))
PLAT_TAG(TDateTime, PLAT_ALIAS_OF("TDateTime", double))
PLAT_TAG(TDate, PLAT_ALIAS_OF("TDate", double))
PLAT_TAG(TTime, PLAT_ALIAS_OF("TTime", double))
PLAT_TAG(TModalResult, PLAT_ALIAS_OF("TModalResult", qint32))
PLAT_TAG(TShortCut, PLAT_ALIAS_OF("TShortCut", quint16))
PLAT_TAG(TComponentName, PLAT_ALIAS_OF("TComponentName", QString))
PLAT_TAG(TFontCharset, PLAT_ALIAS_OF("TFontCharset", quint8))
PLAT_TAG(TFontName, PLAT_ALIAS_OF("TFontName", QString))
PLAT_TAG(TCaption, PLAT_ALIAS_OF("TCaption", QString))
PLAT_TAG(TImageIndex, PLAT_ALIAS_OF("TImageIndex", qint32))
PLAT_TAG(TAlphaColor, PLAT_ALIAS_OF("TAlphaColor", quint32))
#undef PLAT_ALIAS_OF
#undef PLAT_TAG
} // namespace ti

// ---------------------------------------------------------------------------
// Accessors and property descriptors

namespace detail {
void raiseInvalidPropertyType(const TPropAccessor&)
{
    throw EPropertyConvertError(QStringLiteral("Invalid property type"));
}
void raiseReadOnly()
{
    throw EPropertyError(QStringLiteral("Property is read-only"));
}
void raiseMethodSignatureMismatch()
{
    throw EPropertyConvertError(QStringLiteral("Invalid property type: the method has another signature"));
}
QString stripNamespace(const char* name)
{
    QString s = QString::fromLatin1(name);
    const qsizetype pos = s.lastIndexOf(QLatin1String("::"));
    return pos < 0 ? s : s.mid(pos + 2);
}
} // namespace detail

TPropAccessor::~TPropAccessor() = default;
qint64 TPropAccessor::getOrd(const TObject&, int) const { detail::raiseInvalidPropertyType(*this); }
void TPropAccessor::setOrd(TObject&, int, qint64) const { detail::raiseInvalidPropertyType(*this); }
long double TPropAccessor::getFloat(const TObject&, int) const { detail::raiseInvalidPropertyType(*this); }
void TPropAccessor::setFloat(TObject&, int, long double) const { detail::raiseInvalidPropertyType(*this); }
QString TPropAccessor::getStr(const TObject&, int) const { detail::raiseInvalidPropertyType(*this); }
void TPropAccessor::setStr(TObject&, int, const QString&) const { detail::raiseInvalidPropertyType(*this); }
Variant TPropAccessor::getVariant(const TObject&, int) const { detail::raiseInvalidPropertyType(*this); }
void TPropAccessor::setVariant(TObject&, int, const Variant&) const { detail::raiseInvalidPropertyType(*this); }
TObject* TPropAccessor::getObject(const TObject&, int) const { detail::raiseInvalidPropertyType(*this); }
void TPropAccessor::setObject(TObject&, int, TObject*) const { detail::raiseInvalidPropertyType(*this); }
TMethod TPropAccessor::getMethod(const TObject&, int) const { detail::raiseInvalidPropertyType(*this); }
void TPropAccessor::setMethod(TObject&, int, const TMethod&) const { detail::raiseInvalidPropertyType(*this); }

TPropInfo::TPropInfo(QString name, const TTypeInfo* type, const TClass* owner,
                     std::shared_ptr<const TPropAccessor> accessor)
    : m_name(std::move(name)), m_type(type), m_owner(owner), m_accessor(std::move(accessor))
{
}

bool TPropInfo::IsStored(const TObject* instance) const
{
    switch (m_stored) {
    case Stored::Always:
        return true;
    case Stored::Never:
        return false;
    case Stored::Predicate:
        return instance && m_storedFn(*instance);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Class descriptors

TClass::TClass(QString name, const TClass* parent, const TTypeInfo* classInfo)
    : m_name(std::move(name)), m_parent(parent), m_classInfo(classInfo)
{
    if (parent)
        m_props.assign(parent->m_props.begin(), parent->m_props.end());
}

bool TClass::InheritsFrom(const TClass* ancestor) const noexcept
{
    for (const TClass* c = this; c; c = c->m_parent)
        if (c == ancestor)
            return true;
    return false;
}

bool TClass::InheritsFrom(QStringView ancestorName) const noexcept
{
    for (const TClass* c = this; c; c = c->m_parent)
        if (sameName(c->m_name, ancestorName))
            return true;
    return false;
}

bool TClass::IsInstance(const TObject* obj) const noexcept
{
    return obj && obj->ClassType()->InheritsFrom(this);
}

const std::vector<const TPropInfo*>& TClass::SortedProperties() const
{
    return m_sorted;
}

const TPropInfo* TClass::FindProperty(QStringView name) const noexcept
{
    if (m_hash.empty())
        return nullptr;
    const size_t mask = m_hash.size() - 1;
    const size_t h = hashName(name);
    for (size_t i = h & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_hash[i];
        if (slot.index < 0)
            return nullptr;
        if (slot.hash == h) {
            const TPropInfo* p = m_props[static_cast<size_t>(slot.index)];
            if (sameName(p->Name(), name))
                return p;
        }
    }
}

bool TClass::IsComponentClass() const noexcept
{
    return InheritsFrom(TComponent::StaticClass());
}

TObject* TClass::CreateInstance() const
{
    if (m_owned)
        return m_owned(nullptr);
    if (m_plain)
        return m_plain();
    throw EAbstractError(QStringLiteral("Cannot create an instance of %1").arg(m_name));
}

TComponent* TClass::CreateComponent(TComponent* owner) const
{
    if (!m_owned || !IsComponentClass())
        throw EAbstractError(QStringLiteral("Cannot create an instance of %1").arg(m_name));
    return static_cast<TComponent*>(m_owned(owner));
}

TCollectionItem* TClass::CreateItem(TCollection* collection) const
{
    if (!m_item || !InheritsFrom(TCollectionItem::StaticClass()))
        throw EAbstractError(QStringLiteral("Cannot create an instance of %1").arg(m_name));
    return static_cast<TCollectionItem*>(m_item(collection));
}

void TClass::setFactories(PlainFactory plain, OwnerFactory owned, ItemFactory item)
{
    m_plain = plain;
    m_owned = owned;
    m_item = item;
}

void TClass::addProperty(std::unique_ptr<TPropInfo> prop)
{
    TPropInfo* p = prop.get();
    m_ownProps.push_back(std::move(prop));
    for (size_t i = 0; i < m_props.size(); ++i) {
        if (sameName(m_props[i]->Name(), p->Name())) {
            // A redeclared property keeps its ancestor's place.
            p->m_nameIndex = static_cast<int>(i);
            m_props[i] = p;
            return;
        }
    }
    p->m_nameIndex = static_cast<int>(m_props.size());
    m_props.push_back(p);
}

void TClass::finish()
{
    m_sorted.assign(m_props.begin(), m_props.end());
    std::stable_sort(m_sorted.begin(), m_sorted.end(), [](const TPropInfo* a, const TPropInfo* b) {
        return compareNames(a->Name(), b->Name()) < 0;
    });

    size_t size = 8;
    while (size < m_props.size() * 2)
        size *= 2;
    m_hash.assign(size, Slot{0, -1});
    const size_t mask = size - 1;
    for (size_t i = 0; i < m_props.size(); ++i) {
        const size_t h = hashName(m_props[i]->Name());
        size_t j = h & mask;
        while (m_hash[j].index >= 0)
            j = (j + 1) & mask;
        m_hash[j] = Slot{h, static_cast<int>(i)};
    }
}

// ---------------------------------------------------------------------------
// Property access

namespace {

[[noreturn]] void raiseUnknownProperty(QStringView name)
{
    throw EPropertyError(QStringLiteral("Property %1 does not exist").arg(name.toString()));
}

[[noreturn]] void raiseInvalidType(const TPropInfo* prop)
{
    throw EPropertyConvertError(QStringLiteral("Invalid property type: %1").arg(prop->PropType()->Name()));
}

void checkInstance(const TObject* instance, const TPropInfo* prop)
{
    if (!instance)
        throw EAccessViolation(QStringLiteral("Invalid object reference"));
    if (!prop)
        throw EPropertyError(QStringLiteral("Invalid property"));
    const TClass* cls = instance->ClassType();
    if (cls != prop->OwnerClass() && !cls->InheritsFrom(prop->OwnerClass()))
        throw EPropertyError(QStringLiteral("Invalid property"));
}

void checkCategory(const TPropInfo* prop, PropCategory category)
{
    if (prop->accessor().category() != category)
        raiseInvalidType(prop);
}

void checkWritable(const TPropInfo* prop)
{
    if (!prop->IsWritable())
        throw EPropertyError(QStringLiteral("Property %1 is read-only").arg(prop->Name()));
}

void checkRange(const TPropInfo* prop, qint64 value)
{
    const TTypeInfo* t = prop->PropType();
    qint64 min = t->MinValue();
    qint64 max = t->MaxValue();
    switch (t->Kind()) {
    case tkInt64:
        return;
    case tkSet:
        if ((static_cast<quint64>(value) & ~static_cast<quint64>(t->SetMask())) == 0)
            return;
        min = 0;
        max = t->SetMask();
        break;
    case tkInteger:
        // 32-bit integers take either reading of the 32 bits (a colour
        // such as $FF00000F may come as a signed or an unsigned number).
        if (t->OrdType() == otSLong || t->OrdType() == otULong) {
            min = std::numeric_limits<qint32>::min();
            max = std::numeric_limits<quint32>::max();
            if (value >= min && value <= max)
                return;
            min = t->MinValue();
            max = t->MaxValue();
        }
        break;
    default:
        break;
    }
    if (value < min || value > max)
        throw ERangeError(QStringLiteral("Value must be between %1 and %2").arg(min).arg(max));
}

const TPropInfo* need(const TObject* instance, QStringView name)
{
    if (!instance)
        throw EAccessViolation(QStringLiteral("Invalid object reference"));
    const TPropInfo* prop = instance->ClassType()->FindProperty(name);
    if (!prop)
        raiseUnknownProperty(name);
    return prop;
}

bool isDateType(const TTypeInfo* t)
{
    for (; t; t = t->AliasOf())
        if (t == ti::TDateTime::typeInfo() || t == ti::TDate::typeInfo() || t == ti::TTime::typeInfo())
            return true;
    return false;
}

} // namespace

const TPropInfo* GetPropInfo(const TClass* cls, QStringView name) noexcept
{
    return cls ? cls->FindProperty(name) : nullptr;
}

const TPropInfo* GetPropInfo(const TObject* instance, QStringView name) noexcept
{
    return instance ? instance->ClassType()->FindProperty(name) : nullptr;
}

const TPropInfo* FindPropInfo(const TObject* instance, QStringView name)
{
    return need(instance, name);
}

std::vector<const TPropInfo*> GetPropList(const TClass* cls, TTypeKinds filter, bool sorted)
{
    std::vector<const TPropInfo*> result;
    if (!cls)
        return result;
    const auto& source = sorted ? cls->SortedProperties() : std::vector<const TPropInfo*>(cls->Properties().begin(), cls->Properties().end());
    for (const TPropInfo* p : source)
        if (filter.contains(p->Kind()))
            result.push_back(p);
    return result;
}

bool IsPublishedProp(const TObject* instance, QStringView name) noexcept
{
    return GetPropInfo(instance, name) != nullptr;
}

bool IsStoredProp(const TObject* instance, const TPropInfo* prop)
{
    checkInstance(instance, prop);
    return prop->IsStored(instance);
}

bool PropIsType(const TObject* instance, QStringView name, TTypeKind kind)
{
    return need(instance, name)->Kind() == kind;
}

TTypeKind PropType(const TObject* instance, QStringView name)
{
    return need(instance, name)->Kind();
}

qint64 GetOrdProp(const TObject* instance, const TPropInfo* prop)
{
    checkInstance(instance, prop);
    checkCategory(prop, PropCategory::Ordinal);
    return prop->accessor().getOrd(*instance, prop->Index());
}

void SetOrdProp(TObject* instance, const TPropInfo* prop, qint64 value)
{
    checkInstance(instance, prop);
    checkCategory(prop, PropCategory::Ordinal);
    checkWritable(prop);
    checkRange(prop, value);
    prop->accessor().setOrd(*instance, prop->Index(), value);
}

qint64 GetInt64Prop(const TObject* instance, const TPropInfo* prop)
{
    return GetOrdProp(instance, prop);
}

void SetInt64Prop(TObject* instance, const TPropInfo* prop, qint64 value)
{
    SetOrdProp(instance, prop, value);
}

long double GetFloatProp(const TObject* instance, const TPropInfo* prop)
{
    checkInstance(instance, prop);
    checkCategory(prop, PropCategory::Float);
    return prop->accessor().getFloat(*instance, prop->Index());
}

void SetFloatProp(TObject* instance, const TPropInfo* prop, long double value)
{
    checkInstance(instance, prop);
    checkCategory(prop, PropCategory::Float);
    checkWritable(prop);
    // A finite value beyond the storage's range would be undefined when
    // narrowed; the platform raises an overflow.
    if (std::isfinite(value)) {
        const TFloatType ft = prop->PropType()->FloatType();
        const long double limit = ft == ftSingle   ? std::numeric_limits<float>::max()
                                  : ft == ftExtended ? std::numeric_limits<long double>::max()
                                                     : std::numeric_limits<double>::max();
        if (std::fabs(value) > limit)
            throw EOverflow(QStringLiteral("Floating point overflow"));
    }
    prop->accessor().setFloat(*instance, prop->Index(), value);
}

QString GetStrProp(const TObject* instance, const TPropInfo* prop)
{
    checkInstance(instance, prop);
    checkCategory(prop, PropCategory::String);
    return prop->accessor().getStr(*instance, prop->Index());
}

void SetStrProp(TObject* instance, const TPropInfo* prop, const QString& value)
{
    checkInstance(instance, prop);
    checkCategory(prop, PropCategory::String);
    checkWritable(prop);
    prop->accessor().setStr(*instance, prop->Index(), value);
}

Variant GetVariantProp(const TObject* instance, const TPropInfo* prop)
{
    checkInstance(instance, prop);
    checkCategory(prop, PropCategory::Variant);
    return prop->accessor().getVariant(*instance, prop->Index());
}

void SetVariantProp(TObject* instance, const TPropInfo* prop, const Variant& value)
{
    checkInstance(instance, prop);
    checkCategory(prop, PropCategory::Variant);
    checkWritable(prop);
    prop->accessor().setVariant(*instance, prop->Index(), value);
}

TObject* GetObjectProp(const TObject* instance, const TPropInfo* prop)
{
    checkInstance(instance, prop);
    checkCategory(prop, PropCategory::Object);
    return prop->accessor().getObject(*instance, prop->Index());
}

void SetObjectProp(TObject* instance, const TPropInfo* prop, TObject* value)
{
    checkInstance(instance, prop);
    checkCategory(prop, PropCategory::Object);
    checkWritable(prop);
    if (value) {
        const TClass* declared = prop->PropType()->ClassType();
        if (declared && !value->ClassType()->InheritsFrom(declared))
            throw EPropertyConvertError(QStringLiteral("Invalid property value"));
    }
    prop->accessor().setObject(*instance, prop->Index(), value);
}

TMethod GetMethodProp(const TObject* instance, const TPropInfo* prop)
{
    checkInstance(instance, prop);
    checkCategory(prop, PropCategory::Method);
    return prop->accessor().getMethod(*instance, prop->Index());
}

void SetMethodProp(TObject* instance, const TPropInfo* prop, const TMethod& value)
{
    checkInstance(instance, prop);
    checkCategory(prop, PropCategory::Method);
    checkWritable(prop);
    if (value.IsAssigned() && value.SignatureTag() != prop->PropType()->SignatureTag())
        raiseInvalidType(prop);
    prop->accessor().setMethod(*instance, prop->Index(), value);
}

QString GetEnumProp(const TObject* instance, const TPropInfo* prop)
{
    const qint64 value = GetOrdProp(instance, prop);
    if (prop->Kind() != tkEnumeration)
        raiseInvalidType(prop);
    return prop->PropType()->EnumName(value);
}

void SetEnumProp(TObject* instance, const TPropInfo* prop, QStringView name)
{
    checkInstance(instance, prop);
    if (prop->Kind() != tkEnumeration)
        raiseInvalidType(prop);
    const int value = prop->PropType()->EnumValue(name);
    if (value < 0)
        throw EPropertyConvertError(QStringLiteral("Invalid property element: %1").arg(name.toString()));
    SetOrdProp(instance, prop, value);
}

QString GetSetProp(const TObject* instance, const TPropInfo* prop, bool brackets)
{
    const qint64 value = GetOrdProp(instance, prop);
    if (prop->Kind() != tkSet)
        raiseInvalidType(prop);
    return prop->PropType()->SetToString(static_cast<quint32>(value), brackets);
}

void SetSetProp(TObject* instance, const TPropInfo* prop, QStringView text)
{
    checkInstance(instance, prop);
    if (prop->Kind() != tkSet)
        raiseInvalidType(prop);
    SetOrdProp(instance, prop, prop->PropType()->StringToSet(text));
}

qint64 GetOrdProp(const TObject* instance, QStringView name) { return GetOrdProp(instance, need(instance, name)); }
void SetOrdProp(TObject* instance, QStringView name, qint64 value) { SetOrdProp(instance, need(instance, name), value); }
long double GetFloatProp(const TObject* instance, QStringView name) { return GetFloatProp(instance, need(instance, name)); }
void SetFloatProp(TObject* instance, QStringView name, long double value) { SetFloatProp(instance, need(instance, name), value); }
QString GetStrProp(const TObject* instance, QStringView name) { return GetStrProp(instance, need(instance, name)); }
void SetStrProp(TObject* instance, QStringView name, const QString& value) { SetStrProp(instance, need(instance, name), value); }
TObject* GetObjectProp(const TObject* instance, QStringView name) { return GetObjectProp(instance, need(instance, name)); }
void SetObjectProp(TObject* instance, QStringView name, TObject* value) { SetObjectProp(instance, need(instance, name), value); }
TMethod GetMethodProp(const TObject* instance, QStringView name) { return GetMethodProp(instance, need(instance, name)); }
void SetMethodProp(TObject* instance, QStringView name, const TMethod& value) { SetMethodProp(instance, need(instance, name), value); }
QString GetEnumProp(const TObject* instance, QStringView name) { return GetEnumProp(instance, need(instance, name)); }
void SetEnumProp(TObject* instance, QStringView name, QStringView value) { SetEnumProp(instance, need(instance, name), value); }
QString GetSetProp(const TObject* instance, QStringView name, bool brackets) { return GetSetProp(instance, need(instance, name), brackets); }
void SetSetProp(TObject* instance, QStringView name, QStringView value) { SetSetProp(instance, need(instance, name), value); }

Variant GetPropValue(const TObject* instance, const TPropInfo* prop, bool PreferStrings)
{
    checkInstance(instance, prop);
    const TTypeInfo* t = prop->PropType();
    switch (t->Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar: {
        const qint64 v = GetOrdProp(instance, prop);
        if (t->OrdType() == otULong)
            return Variant(static_cast<unsigned>(v));
        return Variant(static_cast<int>(v));
    }
    case tkEnumeration: {
        const qint64 v = GetOrdProp(instance, prop);
        if (t->IsBoolean())
            return Variant(v != 0);
        if (PreferStrings)
            return Variant(t->EnumName(v));
        return Variant(static_cast<int>(v));
    }
    case tkSet: {
        const qint64 v = GetOrdProp(instance, prop);
        if (PreferStrings)
            return Variant(t->SetToString(static_cast<quint32>(v)));
        return Variant(static_cast<int>(v));
    }
    case tkInt64:
        return Variant(static_cast<long long>(GetOrdProp(instance, prop)));
    case tkFloat: {
        const long double v = GetFloatProp(instance, prop);
        if (isDateType(t))
            return Variant::fromDate(static_cast<double>(v));
        if (t->FloatType() == ftCurr)
            return Variant::fromCurrency(static_cast<double>(v));
        return Variant(static_cast<double>(v));
    }
    case tkString:
    case tkLString:
        return Variant(GetStrProp(instance, prop));
    case tkWString:
        return Variant::fromOleStr(GetStrProp(instance, prop));
    case tkVariant:
        return GetVariantProp(instance, prop);
    case tkClass:
        return ObjectToVariant(GetObjectProp(instance, prop));
    default:
        return Variant::null();
    }
}

Variant GetPropValue(const TObject* instance, QStringView name, bool PreferStrings)
{
    return GetPropValue(instance, need(instance, name), PreferStrings);
}

void SetPropValue(TObject* instance, const TPropInfo* prop, const Variant& value)
{
    checkInstance(instance, prop);
    const TTypeInfo* t = prop->PropType();
    switch (t->Kind()) {
    case tkInteger:
    case tkInt64:
        SetOrdProp(instance, prop, value.toInt64());
        return;
    case tkChar:
    case tkWChar:
        if (value.isString()) {
            const QString& s = value.rawString();
            if (s.size() > 1)
                throw EPropertyConvertError(QStringLiteral("Invalid property value"));
            SetOrdProp(instance, prop, s.isEmpty() ? 0 : s.at(0).unicode());
        } else {
            SetOrdProp(instance, prop, value.toInt64());
        }
        return;
    case tkEnumeration:
        if (value.isString()) {
            SetEnumProp(instance, prop, value.rawString());
        } else if (t->IsBoolean()) {
            SetOrdProp(instance, prop, value.toBoolean() ? 1 : 0);
        } else {
            SetOrdProp(instance, prop, value.toInt64());
        }
        return;
    case tkSet:
        if (value.isString())
            SetSetProp(instance, prop, value.rawString());
        else
            SetOrdProp(instance, prop, value.toInt64());
        return;
    case tkFloat:
        SetFloatProp(instance, prop, value.toDouble());
        return;
    case tkString:
    case tkLString:
    case tkWString:
        SetStrProp(instance, prop, value.isNull() ? QString() : value.toString());
        return;
    case tkVariant:
        SetVariantProp(instance, prop, value);
        return;
    case tkClass:
        SetObjectProp(instance, prop, VariantToObject(value));
        return;
    default:
        raiseInvalidType(prop);
    }
}

void SetPropValue(TObject* instance, QStringView name, const Variant& value)
{
    SetPropValue(instance, need(instance, name), value);
}

// ---------------------------------------------------------------------------
// Class registry

namespace {
struct ClassRegistry {
    QHash<QString, const TClass*> byName; // folded name
};
// Never destroyed, so that units may unregister during static destruction.
ClassRegistry& registry()
{
    static ClassRegistry* const r = new ClassRegistry;
    return *r;
}
} // namespace

void RegisterClass(const TClass* cls)
{
    if (!cls)
        return;
    auto& map = registry().byName;
    const QString key = foldName(cls->ClassName());
    auto it = map.find(key);
    if (it != map.end()) {
        if (it.value() == cls)
            return;
        throw EFilerError(QStringLiteral("A class named %1 already exists").arg(cls->ClassName()));
    }
    map.insert(key, cls);
}

void RegisterClasses(std::initializer_list<const TClass*> classes)
{
    for (const TClass* c : classes)
        RegisterClass(c);
}

void UnRegisterClass(const TClass* cls)
{
    if (!cls)
        return;
    auto& map = registry().byName;
    auto it = map.find(foldName(cls->ClassName()));
    if (it != map.end() && it.value() == cls)
        map.erase(it);
}

const TClass* GetClass(QStringView className) noexcept
{
    return registry().byName.value(foldName(className), nullptr);
}

const TClass* FindClass(QStringView className)
{
    const TClass* cls = GetClass(className);
    if (!cls)
        throw EClassNotFound(QStringLiteral("Class %1 not found").arg(className.toString()));
    return cls;
}

TComponent* CreateComponentByName(QStringView className, TComponent* owner)
{
    return FindClass(className)->CreateComponent(owner);
}

} // namespace plat
