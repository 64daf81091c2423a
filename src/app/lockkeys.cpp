// Asking the platform for the lock keys: the key state on Windows, the keyboard indicators on X11.
#include "app/lockkeys.h"

#include <QGuiApplication>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(ZENTO_HAVE_X11)
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>
#endif

namespace zento {

#if defined(Q_OS_WIN)

std::optional<bool> lockKeyState(LockKey key) {
    const int virtualKey = key == LockKey::Caps  ? VK_CAPITAL
                           : key == LockKey::Num ? VK_NUMLOCK
                                                 : VK_SCROLL;
    return (GetKeyState(virtualKey) & 1) != 0;
}

#elif defined(ZENTO_HAVE_X11)

std::optional<bool> lockKeyState(LockKey key) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    const char* name = key == LockKey::Caps  ? "Caps Lock"
                       : key == LockKey::Num ? "Num Lock"
                                             : "Scroll Lock";
    const Atom atom = XInternAtom(display, name, True);
    int index = 0;
    Bool on = False;
    Bool real = False;
    if (atom == None || !XkbGetNamedIndicator(display, atom, &index, &on, nullptr, &real) || !real)
        return std::nullopt;
    return on != False;
}

#else

std::optional<bool> lockKeyState(LockKey) {
    return std::nullopt;
}

#endif

} // namespace zento
