#pragma once
// What a host gives a script in the tests and in zsrun: the base types,
// constants, helpers and exception variables, a handful of functions, and
// a demo host class with every kind of member.

#include "Objects.h"
#include "TypeInfo.h"

#include <QMap>
#include <QString>
#include <functional>

class TzsScript;

namespace zstest {

enum TDemoKind { dkSmall, dkLarge };
PLAT_DECLARE_ENUM(TDemoKind)
enum TDemoStyle { dsBold, dsItalic };
using TDemoStyles = plat::TSet<TDemoStyle>;
PLAT_DECLARE_ENUM(TDemoStyle)
PLAT_DECLARE_SET(TDemoStyles)

class TDemoItem : public plat::TComponent {
    PLAT_CLASS(TDemoItem, plat::TComponent)
public:
    explicit TDemoItem(plat::TComponent* AOwner) : plat::TComponent(AOwner) {}
    QString Caption;
    int Count = 0;
    bool Enabled = false;
    double Ratio = 0;
    TDemoKind Kind = dkSmall;
    TDemoStyles Style;
    TDemoItem* Child = nullptr;
    plat::TNotifyEvent OnChange;
    QMap<int, QString> Items;
    QMap<QString, int> Values;
};

// Base types, True/False/nil/Null, the string and array helpers, the
// exception variables and: IntToStr, StrToInt, FloatToStr, Length, Copy,
// Pos, UpperCase, Chr, Ord, Round, Trunc, Inc, Dec, RaiseException.
// print receives Print's argument as text.
void registerSystem(TzsScript& script, std::function<void(const QString&)> print);

// TObject (Free, ClassName), TPersistent, TComponent (Name, Owner, Tag) and
// TDemoItem (published properties, constructor, methods Sum, Change, Grow,
// default property Items, indexed property Values, property Area, event
// OnChange, enumeration TDemoKind and set TDemoStyles). Objects created with
// a nil owner are owned by defaultOwner.
void registerDemoClasses(TzsScript& script, plat::TComponent* defaultOwner);

// The lines of a file as a script's text (UTF-8, or code page 1250 when not
// valid UTF-8).
QString readScriptFile(const QString& fileName, bool* ok);

} // namespace zstest
