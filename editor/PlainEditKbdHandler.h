#pragma once
// Six chains of handlers that the editor runs before its own key and mouse
// handling. Handlers run from the last added to the first; a key chain stops
// once a handler has set the key to 0, the mouse chains run every handler;
// a chain called again while it runs returns at once.

#include "PlainEditTypes.h"

#include "Controls.h"
#include "TypeInfo.h"

#include <QChar>

#include <vector>

using TPlainKeyEvent = plat::TEvent<void(plat::TObject* Sender, quint16& Key, plat::TShiftState Shift)>;
using TPlainKeyPressEvent = plat::TEvent<void(plat::TObject* Sender, QChar& Key)>;
using TPlainMouseEvent =
    plat::TEvent<void(plat::TObject* Sender, plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y)>;
using TPlainMouseCursorEvent =
    plat::TEvent<void(plat::TObject* Sender, const TBufferCoord& LineCharPos, plat::TCursor& Cursor)>;

template <class Event>
class TMethodList {
public:
    void Add(const Event& handler) { m_items.push_back(handler); }
    void Remove(const Event& handler)
    {
        for (size_t i = m_items.size(); i-- > 0;) {
            if (m_items[i].Identity() == handler.Identity()) {
                m_items.erase(m_items.begin() + std::ptrdiff_t(i));
                return;
            }
        }
    }
    int Count() const { return int(m_items.size()); }
    const Event& Items(int index) const { return m_items[size_t(index)]; }

private:
    std::vector<Event> m_items;
};

class TPlainEditKbdHandler {
public:
    void AddKeyDownHandler(const TPlainKeyEvent& h) { m_keyDown.Add(h); }
    void RemoveKeyDownHandler(const TPlainKeyEvent& h) { m_keyDown.Remove(h); }
    void AddKeyUpHandler(const TPlainKeyEvent& h) { m_keyUp.Add(h); }
    void RemoveKeyUpHandler(const TPlainKeyEvent& h) { m_keyUp.Remove(h); }
    void AddKeyPressHandler(const TPlainKeyPressEvent& h) { m_keyPress.Add(h); }
    void RemoveKeyPressHandler(const TPlainKeyPressEvent& h) { m_keyPress.Remove(h); }
    void AddMouseDownHandler(const TPlainMouseEvent& h) { m_mouseDown.Add(h); }
    void RemoveMouseDownHandler(const TPlainMouseEvent& h) { m_mouseDown.Remove(h); }
    void AddMouseUpHandler(const TPlainMouseEvent& h) { m_mouseUp.Add(h); }
    void RemoveMouseUpHandler(const TPlainMouseEvent& h) { m_mouseUp.Remove(h); }
    void AddMouseCursorHandler(const TPlainMouseCursorEvent& h) { m_mouseCursor.Add(h); }
    void RemoveMouseCursorHandler(const TPlainMouseCursorEvent& h) { m_mouseCursor.Remove(h); }

    void FireKeyDown(plat::TObject* Sender, quint16& Key, plat::TShiftState Shift);
    void FireKeyUp(plat::TObject* Sender, quint16& Key, plat::TShiftState Shift);
    void FireKeyPress(plat::TObject* Sender, QChar& Key);
    void FireMouseDown(plat::TObject* Sender, plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y);
    void FireMouseUp(plat::TObject* Sender, plat::TMouseButton Button, plat::TShiftState Shift, int X, int Y);
    void FireMouseCursor(plat::TObject* Sender, const TBufferCoord& LineCharPos, plat::TCursor& Cursor);

    int KeyDownCount() const { return m_keyDown.Count(); }

private:
    TMethodList<TPlainKeyEvent> m_keyDown;
    TMethodList<TPlainKeyEvent> m_keyUp;
    TMethodList<TPlainKeyPressEvent> m_keyPress;
    TMethodList<TPlainMouseEvent> m_mouseDown;
    TMethodList<TPlainMouseEvent> m_mouseUp;
    TMethodList<TPlainMouseCursorEvent> m_mouseCursor;
    bool m_inKeyDown = false;
    bool m_inKeyUp = false;
    bool m_inKeyPress = false;
    bool m_inMouseDown = false;
    bool m_inMouseUp = false;
    bool m_inMouseCursor = false;
};
