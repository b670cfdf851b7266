// The keyboard's Caps Lock and Num Lock, where the platform can tell them.
#pragma once

#include <optional>

struct keyboard_locks {
    bool caps = false;
    bool num = false;
};

// The indicators as the X server has them; nothing on a platform that cannot
// say (offscreen, Wayland) or in a build without X11.
std::optional<keyboard_locks> read_keyboard_locks();
