#pragma once
// The platform's tables for windows and input: cursor identifiers,
// virtual-key codes and the shift state, with their mapping from Qt.

#include "TypeInfo.h"

#include <QtCore/qnamespace.h>

#include <cstdint>
#include <vector>

namespace plat {

using TCursor = std::int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSize = -22;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

struct TCursorIdent {
    const char* name;
    TCursor value;
};
// In the platform's order: crDefault, crNone, crArrow, ... crSizeAll
// (crSize and crSizeAll share -22; nothing is -5).
const std::vector<TCursorIdent>& CursorIdents();
bool IdentToCursor(const QString& ident, TCursor& cursor);
// The first name of the value ("crSize" for -22 is not returned: "crSizeAll" is
// the name the platform writes); a number for values without a name.
QString CursorToString(TCursor cursor);
// A Qt::CursorShape for the cursor (crDefault and unknown: the arrow).
Qt::CursorShape CursorShape(TCursor cursor);
// The platform's cursor table beyond the built-in cursors: a program's own
// cursor under a positive id, shown as the nearest standard shape.
// RemoveCursor takes it out again.
void SetCursorShape(TCursor cursor, Qt::CursorShape shape);
void RemoveCursor(TCursor cursor);

// Where a control keeps itself inside its parent, and the border of a control.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
PLAT_DECLARE_ENUM(TAlign)
enum TBorderStyle { bsNone, bsSingle };
PLAT_DECLARE_ENUM(TBorderStyle)
// A form's border; named bs... in files, the C++ names keep clear of
// TBorderStyle's.
enum TFormBorderStyle { fbsNone, fbsSingle, fbsSizeable, fbsDialog, fbsToolWindow, fbsSizeToolWin };
PLAT_DECLARE_ENUM(TFormBorderStyle)
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
PLAT_DECLARE_ENUM(TPosition)
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
PLAT_DECLARE_ENUM(TWindowState)

// Virtual-key codes.
inline constexpr int VK_RBUTTON = 2;
inline constexpr int VK_CANCEL = 3;
inline constexpr int VK_MBUTTON = 4;
inline constexpr int VK_BACK = 8;
inline constexpr int VK_TAB = 9;
inline constexpr int VK_RETURN = 13;
inline constexpr int VK_SHIFT = 16;
inline constexpr int VK_CONTROL = 17;
inline constexpr int VK_MENU = 18;
inline constexpr int VK_PAUSE = 19;
inline constexpr int VK_CAPITAL = 20;
inline constexpr int VK_ESCAPE = 27;
inline constexpr int VK_SPACE = 32;
inline constexpr int VK_PRIOR = 33;
inline constexpr int VK_NEXT = 34;
inline constexpr int VK_END = 35;
inline constexpr int VK_HOME = 36;
inline constexpr int VK_LEFT = 37;
inline constexpr int VK_UP = 38;
inline constexpr int VK_RIGHT = 39;
inline constexpr int VK_DOWN = 40;
inline constexpr int VK_INSERT = 45;
inline constexpr int VK_DELETE = 46;
inline constexpr int VK_HELP = 47;
inline constexpr int VK_LWIN = 91;
inline constexpr int VK_RWIN = 92;
inline constexpr int VK_APPS = 93;
inline constexpr int VK_NUMPAD0 = 96; // .. VK_NUMPAD9 = 105
inline constexpr int VK_MULTIPLY = 106;
inline constexpr int VK_ADD = 107;
inline constexpr int VK_SEPARATOR = 108;
inline constexpr int VK_SUBTRACT = 109;
inline constexpr int VK_DECIMAL = 110;
inline constexpr int VK_DIVIDE = 111;
inline constexpr int VK_F1 = 112; // .. VK_F12 = 123
inline constexpr int VK_NUMLOCK = 144;
inline constexpr int VK_SCROLL = 145;

struct TKeyIdent {
    QString name;
    int value;
};
// VK_RBUTTON .. VK_SCROLL in the platform's order (no VK_LBUTTON).
const std::vector<TKeyIdent>& VirtualKeyIdents();
// The platform's key code of a Qt key ('A'..'Z' and '0'..'9' are their
// upper-case characters); 0 for keys without one.
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers = {});

enum TMouseButton { mbLeft, mbRight, mbMiddle };
PLAT_DECLARE_ENUM(TMouseButton)

enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
PLAT_DECLARE_ENUM(TShiftStateFlag)
using TShiftState = TSet<TShiftStateFlag>; // as a byte: ssShift 1, ssAlt 2, ssCtrl 4, ...
PLAT_DECLARE_SET(TShiftState)
TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {}, bool doubleClick = false);

// Short-cuts: a key code with 0x2000 for Shift, 0x4000 for Ctrl and 0x8000
// for Alt; 0 for a key code above 255.
using TShortCut = quint16;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
TShortCut ShortCut(int key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, int& key, TShiftState& shift);
// "Shift+Ctrl+Alt+" in that order, then the key's name ("Ctrl+Z", "Shift+Ins",
// "F1", "BkSp"); empty for 0.
QString ShortCutToText(TShortCut shortCut);

} // namespace plat
