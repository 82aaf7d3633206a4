#pragma once
// The event types of the platform's controls and forms, with the argument
// lists the platform calls them with. Var arguments are references: a
// handler may change them and the control reads them back.

#include "Controls.h"
#include "TypeInfo.h"

#include <QChar>

namespace plat {

// What a form does after OnClose.
enum TCloseAction { caNone, caHide, caFree, caMinimize };
PLAT_DECLARE_ENUM(TCloseAction)

PLAT_EVENT_TYPE(TMouseEvent, void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y))
PLAT_EVENT_TYPE(TMouseMoveEvent, void(TObject* Sender, TShiftState Shift, int X, int Y))
// Key is the virtual-key code; 0 swallows the key.
PLAT_EVENT_TYPE(TKeyEvent, void(TObject* Sender, quint16& Key, TShiftState Shift))
// Key is the typed character; #0 swallows it.
PLAT_EVENT_TYPE(TKeyPressEvent, void(TObject* Sender, QChar& Key))
PLAT_EVENT_TYPE(TCloseEvent, void(TObject* Sender, TCloseAction& Action))
PLAT_EVENT_TYPE(TCloseQueryEvent, void(TObject* Sender, bool& CanClose))
PLAT_EVENT_TYPE(TCanResizeEvent, void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize))

} // namespace plat
