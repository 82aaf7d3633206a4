#include "zs_ievents.h"

#include "Application.h"
#include "ControlEvents.h"
#include "Handles.h"
#include "Variant.h"

#include <functional>
#include <memory>
#include <vector>

using plat::Variant;

namespace {

using Token = std::shared_ptr<TzsCustomEvent*>;
using Values = std::vector<Variant>;

// One tag per bridge class: the identity under which its handler is installed.
template <class Bridge>
const void* codeTag()
{
    static const char tag = 0;
    return &tag;
}

// Runs the bridge's procedure with the event's values and, when it ran to
// its end, hands the procedure's parameter values to readBack. Nothing runs
// once the bridge is freed; an exception from the script or from converting
// its values back is reported by the application's guard, leaving the
// host's arguments as they came.
void forward(const Token& token, const Values& values, const std::function<void(const Values&)>& readBack = {})
{
    TzsCustomEvent* bridge = *token;
    if (!bridge)
        return;
    plat::Application().Guard([&] {
        const Values out = bridge->CallHandler(values);
        if (readBack)
            readBack(out);
    });
}

Variant sender(plat::TObject* object)
{
    return plat::ObjectToVariant(object);
}

Variant shiftValue(plat::TShiftState shift)
{
    return Variant(int(shift.mask() & 0xFF));
}

} // namespace

plat::TMethod TzsNotifyEvent::GetMethod()
{
    return plat::TNotifyEvent(
               [token = LiveToken()](plat::TObject* Sender) {
                   const Token t = token; // the event may be replaced while it runs
                   forward(t, {sender(Sender)});
               },
               this, codeTag<TzsNotifyEvent>())
        .toMethod();
}

plat::TMethod TzsMouseEvent::GetMethod()
{
    return plat::TMouseEvent(
               [token = LiveToken()](plat::TObject* Sender, plat::TMouseButton Button, plat::TShiftState Shift, int X,
                                     int Y) {
                   const Token t = token;
                   forward(t, {sender(Sender), Variant(int(Button)), shiftValue(Shift), Variant(X), Variant(Y)});
               },
               this, codeTag<TzsMouseEvent>())
        .toMethod();
}

plat::TMethod TzsMouseMoveEvent::GetMethod()
{
    return plat::TMouseMoveEvent(
               [token = LiveToken()](plat::TObject* Sender, plat::TShiftState Shift, int X, int Y) {
                   const Token t = token;
                   forward(t, {sender(Sender), shiftValue(Shift), Variant(X), Variant(Y)});
               },
               this, codeTag<TzsMouseMoveEvent>())
        .toMethod();
}

plat::TMethod TzsKeyEvent::GetMethod()
{
    return plat::TKeyEvent(
               [token = LiveToken()](plat::TObject* Sender, quint16& Key, plat::TShiftState Shift) {
                   const Token t = token;
                   forward(t, {sender(Sender), Variant(int(Key)), shiftValue(Shift)}, [&Key](const Values& out) {
                       if (out.size() > 1)
                           Key = quint16(out[1].toInteger());
                   });
               },
               this, codeTag<TzsKeyEvent>())
        .toMethod();
}

plat::TMethod TzsKeyPressEvent::GetMethod()
{
    return plat::TKeyPressEvent(
               [token = LiveToken()](plat::TObject* Sender, QChar& Key) {
                   const Token t = token;
                   forward(t, {sender(Sender), Variant(QString(Key))}, [&Key](const Values& out) {
                       if (out.size() > 1) {
                           const QString text = plat::VarToStr(out[1]);
                           Key = text.isEmpty() ? QChar(0) : text.at(0);
                       }
                   });
               },
               this, codeTag<TzsKeyPressEvent>())
        .toMethod();
}

plat::TMethod TzsCloseEvent::GetMethod()
{
    return plat::TCloseEvent(
               [token = LiveToken()](plat::TObject* Sender, plat::TCloseAction& Action) {
                   const Token t = token;
                   forward(t, {sender(Sender), Variant(int(Action))}, [&Action](const Values& out) {
                       if (out.size() < 2)
                           return;
                       // A number outside the enumeration names no action.
                       const int action = out[1].toInteger();
                       if (action >= plat::caNone && action <= plat::caMinimize)
                           Action = plat::TCloseAction(action);
                   });
               },
               this, codeTag<TzsCloseEvent>())
        .toMethod();
}

plat::TMethod TzsCloseQueryEvent::GetMethod()
{
    return plat::TCloseQueryEvent(
               [token = LiveToken()](plat::TObject* Sender, bool& CanClose) {
                   const Token t = token;
                   forward(t, {sender(Sender), Variant(CanClose)}, [&CanClose](const Values& out) {
                       if (out.size() > 1)
                           CanClose = out[1].toBoolean();
                   });
               },
               this, codeTag<TzsCloseQueryEvent>())
        .toMethod();
}

plat::TMethod TzsCanResizeEvent::GetMethod()
{
    return plat::TCanResizeEvent(
               [token = LiveToken()](plat::TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize) {
                   const Token t = token;
                   forward(t, {sender(Sender), Variant(NewWidth), Variant(NewHeight), Variant(Resize)},
                           [&](const Values& out) {
                               // Converted first, so a bad value changes none of the three.
                               const int width = out.size() > 1 ? out[1].toInteger() : NewWidth;
                               const int height = out.size() > 2 ? out[2].toInteger() : NewHeight;
                               const bool resize = out.size() > 3 ? out[3].toBoolean() : Resize;
                               NewWidth = width;
                               NewHeight = height;
                               Resize = resize;
                           });
               },
               this, codeTag<TzsCanResizeEvent>())
        .toMethod();
}
