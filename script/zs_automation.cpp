#include "zs_automation.h"

#include "CodePage.h"
#include "Exceptions.h"

#include <QHash>

#include <array>
#include <vector>

using plat::Variant;

namespace {

struct ErrorText {
    quint32 code;
    const char* text;
};

// The system texts of the codes automation calls return, as the platform
// shows them (without the final period).
constexpr ErrorText kErrorTexts[] = {
    {0x80004001, "Not implemented"},
    {0x80004002, "No such interface supported"},
    {0x80004005, "Unspecified error"},
    {0x8000FFFF, "Catastrophic failure"},
    {0x80020001, "Unknown interface"},
    {0x80020003, "Member not found"},
    {0x80020004, "Parameter not found"},
    {0x80020005, "Type mismatch"},
    {0x80020006, "Unknown name"},
    {0x80020007, "No named arguments"},
    {0x80020008, "Bad variable type"},
    {0x80020009, "Exception occurred"},
    {0x8002000A, "Out of present range"},
    {0x8002000B, "Invalid index"},
    {0x8002000C, "Unknown language"},
    {0x8002000D, "Memory is locked"},
    {0x8002000E, "Invalid number of parameters"},
    {0x8002000F, "Parameter not optional"},
    {0x800401F3, "Invalid class string"},
    {0x8007000E, "Not enough storage is available to complete this operation"},
    {0x80070057, "The parameter is incorrect"},
};

constexpr quint32 kClassStringError = 0x800401F3;
constexpr quint32 kUnspecifiedError = 0x80004005;

QString hex8(qint32 code)
{
    return QStringLiteral("%1").arg(quint32(code), 8, 16, QLatin1Char('0')).toUpper();
}

[[noreturn]] void raiseOleError(qint32 code, const QString& member, const plat::TExcepInfo* info)
{
    QString message = QStringLiteral("OLE error ") + hex8(code) + QStringLiteral(": ") + member +
                      QStringLiteral(": ") + zs::automationErrorText(code);
    if (info) {
        if (!info->Source.isEmpty())
            message += QStringLiteral("\r\nSource        ::  ") + info->Source;
        if (!info->Description.isEmpty())
            message += QStringLiteral("\r\nDescription ::  ") + info->Description;
        if (!info->HelpFile.isEmpty())
            message += QStringLiteral("\r\nHelp File     ::  ") + info->HelpFile;
    }
    throw plat::EOleException(message);
}

bool failed(qint32 code)
{
    return code < 0;
}

QHash<QString, TzsAutomationFactory>& registry()
{
    static QHash<QString, TzsAutomationFactory> classes;
    return classes;
}

} // namespace

namespace zs {

QString automationErrorText(qint32 code)
{
    for (const ErrorText& e : kErrorTexts)
        if (e.code == quint32(code))
            return QString::fromLatin1(e.text);
    return QStringLiteral("Unknown error");
}

} // namespace zs

// ---------------------------------------------------------------- TzsOLEHelper

TzsOLEHelper::TzsOLEHelper(const QString& name) : TzsCustomHelper(name, fvtVariant, QString()) {}

void TzsOLEHelper::invoke(bool writing, const Variant* assigned, Variant* result)
{
    // The object reference goes whatever happens.
    struct ReleaseParent {
        Variant& parent;
        ~ReleaseParent() { parent = plat::Null(); }
    } release{ParentValue};

    const plat::TVarType parentType = ParentValue.type();
    if (parentType != plat::varDispatch && parentType != plat::varUnknown)
        (void)plat::VarAsType(ParentValue, plat::varDispatch); // raises the conversion error
    const std::shared_ptr<plat::IDispatch> object = ParentValue.toDispatch();
    if (!object)
        throw plat::EVariantTypeCastError(
            QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                .arg(plat::VarTypeAsText(parentType), plat::VarTypeAsText(plat::varDispatch)));

    const int params = Count();
    const int argc = params + (writing ? 1 : 0);
    if (argc > zs::kMaxAutomationArgs)
        throw plat::EOleError(QStringLiteral("Too many arguments for '%1': an automation call takes at most %2")
                                  .arg(Name)
                                  .arg(zs::kMaxAutomationArgs));

    qint32 dispId = 0;
    const qint32 lookup = object->GetIDOfName(Name, dispId);
    if (failed(lookup))
        raiseOleError(lookup, Name, nullptr);

    // Last argument first; a written value is the last argument.
    std::vector<Variant> args;
    args.reserve(size_t(argc));
    if (writing)
        args.push_back(*assigned);
    for (int i = params - 1; i >= 0; --i)
        args.push_back(GetParam(i)->Value);

    quint16 flags = plat::DISPATCH_METHOD;
    std::array<qint32, 1> named{plat::DISPID_PROPERTYPUT};
    std::span<const qint32> namedArgs;
    if (writing) {
        flags = assigned->type() == plat::varDispatch ? plat::DISPATCH_PROPERTYPUTREF : plat::DISPATCH_PROPERTYPUT;
        namedArgs = named;
        result = nullptr;
    } else if (result) {
        flags = plat::DISPATCH_METHOD | plat::DISPATCH_PROPERTYGET;
        result->clear();
    }

    plat::TExcepInfo info;
    const qint32 code = object->Invoke(dispId, flags, args, namedArgs, result, &info);
    if (failed(code))
        raiseOleError(code, Name, &info);
}

Variant TzsOLEHelper::GetValue()
{
    if (!ResultWanted) {
        invoke(false, nullptr, nullptr);
        return plat::Null();
    }
    Variant result;
    invoke(false, nullptr, &result);
    return result;
}

void TzsOLEHelper::SetValue(const Variant& value)
{
    invoke(true, &value, nullptr);
}

// ---------------------------------------------------------------- registry

void zsRegisterAutomationClass(const QString& progId, TzsAutomationFactory factory)
{
    registry().insert(plat::foldCase(progId), std::move(factory));
}

void zsUnregisterAutomationClass(const QString& progId)
{
    registry().remove(plat::foldCase(progId));
}

bool zsIsAutomationClassRegistered(const QString& progId)
{
    return registry().contains(plat::foldCase(progId));
}

Variant zsCreateOleObject(const QString& progId)
{
    const auto it = registry().constFind(plat::foldCase(progId));
    if (it == registry().constEnd() || !*it)
        throw plat::EOleSysError(zs::automationErrorText(qint32(kClassStringError)));
    std::shared_ptr<plat::IDispatch> object = (*it)();
    if (!object)
        throw plat::EOleSysError(zs::automationErrorText(qint32(kUnspecifiedError)));
    return Variant(std::move(object));
}
