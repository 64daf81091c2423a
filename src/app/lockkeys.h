// The state of the caps, num and scroll lock keys, where the platform tells it.
#pragma once

#include <optional>

namespace zento {

enum class LockKey { Caps, Num, Scroll };

// Whether the lock is on; nullopt where this platform does not say (Wayland, macOS, offscreen).
std::optional<bool> lockKeyState(LockKey key);

} // namespace zento
