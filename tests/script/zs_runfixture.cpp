#include "zs_runfixture.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "Handles.h"
#include "SysUtils.h"
#include "zs_items.h"
#include "zs_script.h"

#include <QFile>
#include <QStringDecoder>
#include <cmath>

using plat::Variant;

namespace zstest {

PLAT_DEFINE_ENUM(TDemoKind, "dkSmall", "dkLarge")
PLAT_DEFINE_ENUM(TDemoStyle, "dsBold", "dsItalic")
PLAT_DEFINE_SET(TDemoStyles, TDemoStyle)
PLAT_DEFINE_CLASS(TDemoItem, c)
{
    c.property("Caption", &TDemoItem::Caption);
    c.property("Count", &TDemoItem::Count);
    c.property("Enabled", &TDemoItem::Enabled);
    c.property("Ratio", &TDemoItem::Ratio);
    c.property("Kind", &TDemoItem::Kind);
    c.property("Style", &TDemoItem::Style);
    c.property("Child", &TDemoItem::Child);
    c.property("OnChange", &TDemoItem::OnChange);
}

namespace {

// A bridge for TNotifyEvent handlers: procedure(Sender: TObject).
class TzsTestNotifyEvent : public TzsCustomEvent {
public:
    using TzsCustomEvent::TzsCustomEvent;
    plat::TMethod GetMethod() override
    {
        static const char kCode = 0;
        return plat::TNotifyEvent(
                   [this](plat::TObject* sender) { CallHandler({plat::ObjectToVariant(sender)}); }, this, &kCode)
            .toMethod();
    }
    int ParamCount() const override { return 1; }
};

QString arg(TzsMethodHelper* caller, int i)
{
    return plat::VarToStr(caller->GetParam(i));
}

Variant systemCall(const QString& name, TzsMethodHelper* c, const std::function<void(const QString&)>& print)
{
    if (name == QLatin1String("PRINT")) {
        print(arg(c, 0));
        return Variant();
    }
    if (name == QLatin1String("INTTOSTR"))
        return Variant(plat::IntToStr(c->GetParam(0).toInt64()));
    if (name == QLatin1String("STRTOINT"))
        return Variant(plat::StrToInt(arg(c, 0)));
    if (name == QLatin1String("FLOATTOSTR"))
        return Variant(plat::FloatToStr(c->GetParam(0).toDouble()));
    if (name == QLatin1String("LENGTH")) {
        const Variant v = c->GetParam(0);
        if (v.isArray())
            return Variant(plat::VarArrayHighBound(v, 1) - plat::VarArrayLowBound(v, 1) + 1);
        return Variant(int(plat::VarToStr(v).size()));
    }
    if (name == QLatin1String("COPY")) {
        const QString s = arg(c, 0);
        const int from = std::max(1, c->GetParam(1).toInteger());
        const int count = std::max(0, c->GetParam(2).toInteger());
        return Variant(s.mid(from - 1, count));
    }
    if (name == QLatin1String("POS"))
        return Variant(int(arg(c, 1).indexOf(arg(c, 0)) + 1));
    if (name == QLatin1String("UPPERCASE"))
        return Variant(plat::AnsiUpperCase(arg(c, 0)));
    if (name == QLatin1String("CHR"))
        return Variant(QString(QChar(char16_t(c->GetParam(0).toInteger() & 0xFF))));
    if (name == QLatin1String("ORD")) {
        const QString s = arg(c, 0);
        return Variant(s.isEmpty() ? 0 : int(s.at(0).unicode()));
    }
    if (name == QLatin1String("ROUND"))
        return Variant(int(std::nearbyint(c->GetParam(0).toDouble())));
    if (name == QLatin1String("TRUNC"))
        return Variant(int(std::trunc(c->GetParam(0).toDouble())));
    if (name == QLatin1String("INC") || name == QLatin1String("DEC")) {
        const plat::VarOp op = name == QLatin1String("INC") ? plat::VarOp::Add : plat::VarOp::Subtract;
        c->SetParam(0, plat::VarBinaryOp(op, c->GetParam(0), c->GetParam(1)));
        return Variant();
    }
    if (name == QLatin1String("RAISEEXCEPTION"))
        throw plat::Exception(arg(c, 0));
    return Variant();
}

} // namespace

void registerSystem(TzsScript& s, std::function<void(const QString&)> print)
{
    struct Type {
        const char* name;
        TzsVarType kind;
    };
    static constexpr Type kTypes[] = {
        {"Byte", fvtInt},       {"Word", fvtInt},      {"Integer", fvtInt},      {"Longint", fvtInt},
        {"Cardinal", fvtInt},   {"TColor", fvtInt},    {"Boolean", fvtBool},     {"Real", fvtFloat},
        {"Single", fvtFloat},   {"Double", fvtFloat},  {"Extended", fvtFloat},   {"Currency", fvtFloat},
        {"TDateTime", fvtFloat}, {"Char", fvtChar},    {"String", fvtString},    {"Variant", fvtVariant},
        {"Pointer", fvtVariant}, {"Array", fvtArray},  {"Int64", fvtInt64},
    };
    for (const Type& t : kTypes)
        s.AddType(QString::fromLatin1(t.name), t.kind);
    s.AddConst(QStringLiteral("True"), QStringLiteral("Boolean"), Variant(true));
    s.AddConst(QStringLiteral("False"), QStringLiteral("Boolean"), Variant(false));
    s.AddConst(QStringLiteral("nil"), QStringLiteral("Variant"), Variant::fromInteger(0, plat::varShortInt));
    s.AddConst(QStringLiteral("Null"), QStringLiteral("Variant"), plat::Null());
    s.Add(QStringLiteral("__StringHelper"), new TzsStringHelper(QStringLiteral("__StringHelper")));
    s.Add(QStringLiteral("__ArrayHelper"),
          new TzsArrayHelper(QStringLiteral("__ArrayHelper"), fvtVariant, QStringLiteral("Variant"), 3, 1));
    s.AddVariable(QStringLiteral("ExceptionClassName"), QStringLiteral("String"), Variant(QString()));
    s.AddVariable(QStringLiteral("ExceptionMessage"), QStringLiteral("String"), Variant(QString()));

    auto call = [print](plat::TObject*, const plat::TClass*, const QString& name, TzsMethodHelper* caller) {
        return systemCall(name, caller, print);
    };
    for (const char* proto : {
             "procedure Print(s: Variant)",
             "function IntToStr(i: Integer): String",
             "function StrToInt(s: String): Integer",
             "function FloatToStr(e: Extended): String",
             "function Length(s: Variant): Integer",
             "function Copy(s: String; from, count: Integer): String",
             "function Pos(substr, s: String): Integer",
             "function UpperCase(s: String): String",
             "function Chr(i: Integer): Char",
             "function Ord(ch: Char): Integer",
             "function Round(e: Extended): Integer",
             "function Trunc(e: Extended): Integer",
             "procedure Inc(var i: Integer; incr: Integer = 1)",
             "procedure Dec(var i: Integer; decr: Integer = 1)",
             "procedure RaiseException(Param: String)",
         })
        s.AddMethod(QString::fromLatin1(proto), call, QStringLiteral("ctOther"));
}

namespace {

TDemoItem* demo(plat::TObject* instance)
{
    auto* item = dynamic_cast<TDemoItem*>(instance);
    if (!item)
        throw plat::EAccessViolation(QStringLiteral("Invalid object reference"));
    return item;
}

} // namespace

void registerDemoClasses(TzsScript& s, plat::TComponent* defaultOwner)
{
    // The platform's classes module may have given the base classes already.
    if (TzsClassVariable* tobject = s.AddClass(plat::TObject::StaticClass(), QString())) {
        tobject->AddMethod(QStringLiteral("procedure Free"),
                           [](plat::TObject* instance, const plat::TClass*, const QString&, TzsMethodHelper*) {
                               delete instance;
                               return Variant();
                           });
        tobject->AddMethod(QStringLiteral("function ClassName: String"),
                           [](plat::TObject* instance, const plat::TClass* cls, const QString&, TzsMethodHelper*) {
                               return Variant(instance ? instance->ClassName() : cls->ClassName());
                           });
    }
    s.AddClass(plat::TPersistent::StaticClass(), QStringLiteral("TObject"));
    s.AddClass(plat::TComponent::StaticClass(), QStringLiteral("TPersistent"));

    s.AddEnum(QStringLiteral("TDemoKind"), QStringLiteral("dkSmall, dkLarge"));
    s.AddEnumSet(QStringLiteral("TDemoStyles"), QStringLiteral("dsBold, dsItalic"));

    TzsClassVariable* cls = s.AddClass(TDemoItem::StaticClass(), QStringLiteral("TComponent"));
    cls->AddConstructor(QStringLiteral("constructor Create(AOwner: TComponent)"),
                        [defaultOwner](plat::TObject*, const plat::TClass* classType, const QString&,
                                       TzsMethodHelper* caller) {
                            auto* owner = dynamic_cast<plat::TComponent*>(zs::objectOf(caller->GetParam(0)));
                            plat::TComponent* created = classType->CreateComponent(owner ? owner : defaultOwner);
                            return plat::ObjectToVariant(created);
                        });
    cls->AddMethod(QStringLiteral("function Sum(a, b: Integer): Integer"),
                   [](plat::TObject* instance, const plat::TClass*, const QString&, TzsMethodHelper* c) {
                       return Variant(demo(instance)->Count + c->GetParam(0).toInteger() + c->GetParam(1).toInteger());
                   });
    cls->AddMethod(QStringLiteral("procedure Change"),
                   [](plat::TObject* instance, const plat::TClass*, const QString&, TzsMethodHelper*) {
                       TDemoItem* item = demo(instance);
                       item->OnChange(item);
                       return Variant();
                   });
    cls->AddMethod(QStringLiteral("procedure Grow(var n: Integer)"),
                   [](plat::TObject*, const plat::TClass*, const QString&, TzsMethodHelper* c) {
                       c->SetParam(0, Variant(c->GetParam(0).toInteger() * 2));
                       return Variant();
                   });
    cls->AddDefaultProperty(QStringLiteral("Items"), QStringLiteral("Integer"), QStringLiteral("String"),
                            [](plat::TObject* instance, const plat::TClass*, const QString& name, TzsMethodHelper* c) {
                                TDemoItem* item = demo(instance);
                                const int index = c->GetParam(0).toInteger();
                                if (name == QLatin1String("ITEMS.SET")) {
                                    item->Items[index] = plat::VarToStr(c->GetParam(1));
                                    return Variant();
                                }
                                return Variant(item->Items.value(index));
                            });
    cls->AddIndexProperty(QStringLiteral("Values"), QStringLiteral("String"), QStringLiteral("Integer"),
                          [](plat::TObject* instance, const plat::TClass*, const QString& name, TzsMethodHelper* c) {
                              TDemoItem* item = demo(instance);
                              const QString key = plat::VarToStr(c->GetParam(0));
                              if (name == QLatin1String("VALUES.SET")) {
                                  item->Values[key] = c->GetParam(1).toInteger();
                                  return Variant();
                              }
                              return Variant(item->Values.value(key));
                          });
    cls->AddProperty(QStringLiteral("Area"), QStringLiteral("Integer"),
                     [](plat::TObject* instance, const plat::TClass*, const QString&) {
                         return Variant(demo(instance)->Count * 10);
                     });
    cls->AddEvent(QStringLiteral("OnChange"), zsEventClass<TzsTestNotifyEvent>());
}

QString readScriptFile(const QString& fileName, bool* ok)
{
    QFile f(fileName);
    *ok = f.open(QIODevice::ReadOnly);
    if (!*ok)
        return {};
    const QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = plat::cp1250ToUnicode(bytes);
    return text;
}

} // namespace zstest
