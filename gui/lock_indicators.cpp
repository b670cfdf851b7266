#include "lock_indicators.h"

#ifdef KELVANE_HAVE_X11
#include <QGuiApplication>
#include <X11/XKBlib.h>

std::optional<keyboard_locks> read_keyboard_locks() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return std::nullopt;
    // By name, not by index: keymaps number their indicators differently.
    const auto on = [display](const char* name, bool& state) {
        Bool b = False;
        const Atom atom = XInternAtom(display, name, True);
        if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &b, nullptr, nullptr)) return false;
        state = b;
        return true;
    };
    keyboard_locks locks;
    if (!on("Caps Lock", locks.caps) || !on("Num Lock", locks.num)) return std::nullopt;
    return locks;
}
#else
std::optional<keyboard_locks> read_keyboard_locks() { return std::nullopt; }
#endif
