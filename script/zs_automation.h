#pragma once
// Late binding to automation objects: a member access on a value that holds
// a plat::IDispatch is forwarded at run time by name, with the automation
// calling convention (arguments last-first, the assigned value of a property
// write as the named argument DISPID_PROPERTYPUT).
//
// This platform has no system-wide automation server table. Automation
// classes exist only where the program registers them by name (programmatic
// identifier); CreateOleObject of any other name fails with "Invalid class
// string".

#include "zs_items.h"

#include <QString>
#include <functional>
#include <memory>

// One member access of a script on an automation object. Its parameters are
// the arguments written in the script; ParentValue is the object.
class TzsOLEHelper : public TzsCustomHelper {
public:
    explicit TzsOLEHelper(const QString& name);
    // Calls the member as a method or reads it as a property.
    plat::Variant GetValue() override;
    // Writes the member as a property, the parameters being its indexes.
    void SetValue(const plat::Variant& value) override;

private:
    void invoke(bool writing, const plat::Variant* assigned, plat::Variant* result);
};

namespace zs {
// Most arguments one automation call carries, a written value included.
inline constexpr int kMaxAutomationArgs = 64;

// The text of an automation failure code ("Member not found", ...).
QString automationErrorText(qint32 code);
} // namespace zs

// Registry of automation classes by programmatic identifier (compared
// without regard to case). A later registration of a name replaces the
// earlier one.
using TzsAutomationFactory = std::function<std::shared_ptr<plat::IDispatch>()>;
void zsRegisterAutomationClass(const QString& progId, TzsAutomationFactory factory);
void zsUnregisterAutomationClass(const QString& progId);
bool zsIsAutomationClassRegistered(const QString& progId);

// A new object of the registered class as a dispatch value; an unknown name
// raises EOleSysError "Invalid class string".
plat::Variant zsCreateOleObject(const QString& progId);
