#pragma once
// Event bridges: one class per platform event type. A bridge hands the
// platform's arguments to a script procedure and writes the procedure's
// var parameters back into the host's var arguments. The script that holds
// the procedure owns the bridge; once the bridge is gone its handler runs
// nothing, and a handler's exception is reported by the application's
// guard instead of reaching the event loop.

#include "zs_items.h"

namespace plat {
class TMethod;
}

class TzsNotifyEvent : public TzsCustomEvent {
public:
    using TzsCustomEvent::TzsCustomEvent;
    plat::TMethod GetMethod() override;
};

class TzsMouseEvent : public TzsCustomEvent {
public:
    using TzsCustomEvent::TzsCustomEvent;
    plat::TMethod GetMethod() override;
};

class TzsMouseMoveEvent : public TzsCustomEvent {
public:
    using TzsCustomEvent::TzsCustomEvent;
    plat::TMethod GetMethod() override;
};

class TzsKeyEvent : public TzsCustomEvent {
public:
    using TzsCustomEvent::TzsCustomEvent;
    plat::TMethod GetMethod() override;
};

class TzsKeyPressEvent : public TzsCustomEvent {
public:
    using TzsCustomEvent::TzsCustomEvent;
    plat::TMethod GetMethod() override;
};

class TzsCloseEvent : public TzsCustomEvent {
public:
    using TzsCustomEvent::TzsCustomEvent;
    plat::TMethod GetMethod() override;
};

class TzsCloseQueryEvent : public TzsCustomEvent {
public:
    using TzsCustomEvent::TzsCustomEvent;
    plat::TMethod GetMethod() override;
};

class TzsCanResizeEvent : public TzsCustomEvent {
public:
    using TzsCustomEvent::TzsCustomEvent;
    plat::TMethod GetMethod() override;
};
