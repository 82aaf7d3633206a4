#include "PlainEditKbdHandler.h"

namespace {

// Marks a chain as running for a scope, also when a handler raises.
class Running {
public:
    explicit Running(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Running() { m_flag = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    bool& m_flag;
};

// From the last handler added to the first; stop(i) ends the run early.
template <class List, class Call, class Stop>
void runChain(bool& running, const List& list, Call call, Stop stop)
{
    if (running)
        return;
    Running scope(running);
    for (int i = list.Count() - 1; i >= 0; --i) {
        call(list.Items(i));
        if (stop())
            return;
    }
}

} // namespace

void TPlainEditKbdHandler::FireKeyDown(plat::TObject* Sender, quint16& Key, plat::TShiftState Shift)
{
    runChain(m_inKeyDown, m_keyDown, [&](const TPlainKeyEvent& h) { h(Sender, Key, Shift); },
             [&] { return Key == 0; });
}

void TPlainEditKbdHandler::FireKeyUp(plat::TObject* Sender, quint16& Key, plat::TShiftState Shift)
{
    runChain(m_inKeyUp, m_keyUp, [&](const TPlainKeyEvent& h) { h(Sender, Key, Shift); }, [&] { return Key == 0; });
}

void TPlainEditKbdHandler::FireKeyPress(plat::TObject* Sender, QChar& Key)
{
    runChain(m_inKeyPress, m_keyPress, [&](const TPlainKeyPressEvent& h) { h(Sender, Key); },
             [&] { return Key.unicode() == 0; });
}

void TPlainEditKbdHandler::FireMouseDown(plat::TObject* Sender, plat::TMouseButton Button, plat::TShiftState Shift,
                                         int X, int Y)
{
    runChain(m_inMouseDown, m_mouseDown, [&](const TPlainMouseEvent& h) { h(Sender, Button, Shift, X, Y); },
             [] { return false; });
}

void TPlainEditKbdHandler::FireMouseUp(plat::TObject* Sender, plat::TMouseButton Button, plat::TShiftState Shift,
                                       int X, int Y)
{
    runChain(m_inMouseUp, m_mouseUp, [&](const TPlainMouseEvent& h) { h(Sender, Button, Shift, X, Y); },
             [] { return false; });
}

void TPlainEditKbdHandler::FireMouseCursor(plat::TObject* Sender, const TBufferCoord& LineCharPos,
                                           plat::TCursor& Cursor)
{
    runChain(m_inMouseCursor, m_mouseCursor,
             [&](const TPlainMouseCursorEvent& h) { h(Sender, LineCharPos, Cursor); }, [] { return false; });
}
