#include "Controls.h"

#include "CodePage.h"

#include <map>

namespace plat {

PLAT_DEFINE_ENUM(TMouseButton, "mbLeft", "mbRight", "mbMiddle")
PLAT_DEFINE_ENUM(TShiftStateFlag, "ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble")
PLAT_DEFINE_SET(TShiftState, TShiftStateFlag)
PLAT_DEFINE_ENUM(TAlign, "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom")
PLAT_DEFINE_ENUM(TBorderStyle, "bsNone", "bsSingle")
PLAT_DEFINE_ENUM(TFormBorderStyle, "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow",
                 "bsSizeToolWin")
PLAT_DEFINE_ENUM(TPosition, "poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                 "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter")
PLAT_DEFINE_ENUM(TWindowState, "wsNormal", "wsMinimized", "wsMaximized")

TShortCut ShortCut(int key, TShiftState shift)
{
    if (key < 0 || key > 255)
        return 0;
    TShortCut result = TShortCut(key);
    if (shift.contains(ssShift))
        result |= scShift;
    if (shift.contains(ssCtrl))
        result |= scCtrl;
    if (shift.contains(ssAlt))
        result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut shortCut, int& key, TShiftState& shift)
{
    key = shortCut & 0xFF;
    shift = TShiftState();
    shift.set(ssShift, shortCut & scShift);
    shift.set(ssCtrl, shortCut & scCtrl);
    shift.set(ssAlt, shortCut & scAlt);
}

namespace {
QString keyName(int key)
{
    switch (key) {
    case VK_BACK: return QStringLiteral("BkSp");
    case VK_TAB: return QStringLiteral("Tab");
    case VK_RETURN: return QStringLiteral("Enter");
    case VK_ESCAPE: return QStringLiteral("Esc");
    case VK_SPACE: return QStringLiteral("Space");
    case VK_PRIOR: return QStringLiteral("PgUp");
    case VK_NEXT: return QStringLiteral("PgDn");
    case VK_END: return QStringLiteral("End");
    case VK_HOME: return QStringLiteral("Home");
    case VK_LEFT: return QStringLiteral("Left");
    case VK_UP: return QStringLiteral("Up");
    case VK_RIGHT: return QStringLiteral("Right");
    case VK_DOWN: return QStringLiteral("Down");
    case VK_INSERT: return QStringLiteral("Ins");
    case VK_DELETE: return QStringLiteral("Del");
    default: break;
    }
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return QString(QChar(key));
    if (key >= VK_F1 && key <= VK_F1 + 11)
        return QStringLiteral("F%1").arg(key - VK_F1 + 1);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9)
        return QStringLiteral("Num %1").arg(key - VK_NUMPAD0);
    return QStringLiteral("Key %1").arg(key);
}
} // namespace

QString ShortCutToText(TShortCut shortCut)
{
    const int key = shortCut & 0xFF;
    if (key == 0)
        return {};
    QString text;
    if (shortCut & scShift)
        text += QStringLiteral("Shift+");
    if (shortCut & scCtrl)
        text += QStringLiteral("Ctrl+");
    if (shortCut & scAlt)
        text += QStringLiteral("Alt+");
    return text + keyName(key);
}

const std::vector<TCursorIdent>& CursorIdents()
{
    static const std::vector<TCursorIdent> table = {
        {"crDefault", crDefault},   {"crNone", crNone},         {"crArrow", crArrow},
        {"crCross", crCross},       {"crIBeam", crIBeam},       {"crSize", crSize},
        {"crSizeNESW", crSizeNESW}, {"crSizeNS", crSizeNS},     {"crSizeNWSE", crSizeNWSE},
        {"crSizeWE", crSizeWE},     {"crUpArrow", crUpArrow},   {"crHourGlass", crHourGlass},
        {"crDrag", crDrag},         {"crNoDrop", crNoDrop},     {"crHSplit", crHSplit},
        {"crVSplit", crVSplit},     {"crMultiDrag", crMultiDrag}, {"crSQLWait", crSQLWait},
        {"crNo", crNo},             {"crAppStart", crAppStart}, {"crHelp", crHelp},
        {"crHandPoint", crHandPoint}, {"crSizeAll", crSizeAll},
    };
    return table;
}

bool IdentToCursor(const QString& ident, TCursor& cursor)
{
    for (const auto& e : CursorIdents())
        if (SameText(ident, QString::fromLatin1(e.name))) {
            cursor = e.value;
            return true;
        }
    return false;
}

QString CursorToString(TCursor cursor)
{
    if (cursor == crSizeAll)
        return QStringLiteral("crSizeAll");
    for (const auto& e : CursorIdents())
        if (e.value == cursor)
            return QString::fromLatin1(e.name);
    return QString::number(cursor);
}

namespace {
std::map<TCursor, Qt::CursorShape>& ownCursors()
{
    static std::map<TCursor, Qt::CursorShape> table;
    return table;
}
} // namespace

void SetCursorShape(TCursor cursor, Qt::CursorShape shape)
{
    ownCursors()[cursor] = shape;
}

void RemoveCursor(TCursor cursor)
{
    ownCursors().erase(cursor);
}

Qt::CursorShape CursorShape(TCursor cursor)
{
    if (const auto it = ownCursors().find(cursor); it != ownCursors().end())
        return it->second;
    switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass: case crSQLWait: return Qt::WaitCursor;
    case crDrag: case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop: case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    default: return Qt::ArrowCursor;
    }
}

const std::vector<TKeyIdent>& VirtualKeyIdents()
{
    static const std::vector<TKeyIdent> table = [] {
        std::vector<TKeyIdent> t = {
            {"VK_RBUTTON", VK_RBUTTON}, {"VK_CANCEL", VK_CANCEL},   {"VK_MBUTTON", VK_MBUTTON},
            {"VK_BACK", VK_BACK},       {"VK_TAB", VK_TAB},         {"VK_RETURN", VK_RETURN},
            {"VK_SHIFT", VK_SHIFT},     {"VK_CONTROL", VK_CONTROL}, {"VK_MENU", VK_MENU},
            {"VK_PAUSE", VK_PAUSE},     {"VK_CAPITAL", VK_CAPITAL}, {"VK_ESCAPE", VK_ESCAPE},
            {"VK_SPACE", VK_SPACE},     {"VK_PRIOR", VK_PRIOR},     {"VK_NEXT", VK_NEXT},
            {"VK_END", VK_END},         {"VK_HOME", VK_HOME},       {"VK_LEFT", VK_LEFT},
            {"VK_UP", VK_UP},           {"VK_RIGHT", VK_RIGHT},     {"VK_DOWN", VK_DOWN},
            {"VK_INSERT", VK_INSERT},   {"VK_DELETE", VK_DELETE},   {"VK_HELP", VK_HELP},
            {"VK_LWIN", VK_LWIN},       {"VK_RWIN", VK_RWIN},       {"VK_APPS", VK_APPS},
        };
        for (int i = 0; i <= 9; ++i)
            t.push_back({QStringLiteral("VK_NUMPAD%1").arg(i), VK_NUMPAD0 + i});
        t.insert(t.end(), {{"VK_MULTIPLY", VK_MULTIPLY}, {"VK_ADD", VK_ADD}, {"VK_SEPARATOR", VK_SEPARATOR},
                           {"VK_SUBTRACT", VK_SUBTRACT}, {"VK_DECIMAL", VK_DECIMAL}, {"VK_DIVIDE", VK_DIVIDE}});
        for (int i = 1; i <= 12; ++i)
            t.push_back({QStringLiteral("VK_F%1").arg(i), VK_F1 + i - 1});
        t.push_back({"VK_NUMLOCK", VK_NUMLOCK});
        t.push_back({"VK_SCROLL", VK_SCROLL});
        return t;
    }();
    return table;
}

int VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return VK_NUMPAD0 + (key - Qt::Key_0);
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return key; // same codes as the characters
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Cancel: return VK_CANCEL;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Meta: return VK_LWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : 0;
    case Qt::Key_Plus: return keypad ? VK_ADD : 0;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : 0;
    case Qt::Key_Period: case Qt::Key_Comma: return keypad ? VK_DECIMAL : 0;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : 0;
    default: return 0;
    }
}

TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick)
{
    TShiftState s;
    s.set(ssShift, modifiers.testFlag(Qt::ShiftModifier));
    s.set(ssAlt, modifiers.testFlag(Qt::AltModifier));
    s.set(ssCtrl, modifiers.testFlag(Qt::ControlModifier));
    s.set(ssLeft, buttons.testFlag(Qt::LeftButton));
    s.set(ssRight, buttons.testFlag(Qt::RightButton));
    s.set(ssMiddle, buttons.testFlag(Qt::MiddleButton));
    s.set(ssDouble, doubleClick);
    return s;
}

} // namespace plat
