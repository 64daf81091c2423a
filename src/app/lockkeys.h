// The lock keys and their status-bar indicators, where the platform tells their state.
#pragma once

#include <optional>

namespace zento {

enum class LockKey { Caps, Num, Scroll };

enum IndicatorId : int {
    ID_INDICATOR_CAPS = 59137,
    ID_INDICATOR_NUM = 59138,
    ID_INDICATOR_SCRL = 59139,
};

struct Indicator {
    IndicatorId id;
    LockKey key;
    const char* text; // what the pane shows while the lock is on
};

// The status bar's panes after the message pane, in order.
inline constexpr Indicator kIndicators[] = {
    {ID_INDICATOR_CAPS, LockKey::Caps, "MAY"},
    {ID_INDICATOR_NUM, LockKey::Num, "NUM"},
    {ID_INDICATOR_SCRL, LockKey::Scroll, "DESP"},
};

// Whether the lock is on; nullopt where this platform does not say (Wayland, macOS, offscreen).
std::optional<bool> lockKeyState(LockKey key);

} // namespace zento
