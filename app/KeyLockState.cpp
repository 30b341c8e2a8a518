#include "app/KeyLockState.h"

#include <QGuiApplication>

#ifdef LINKFOLD_HAVE_XKB
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>
#endif

KeyLockState queryKeyLockState() {
    KeyLockState state;
#ifdef LINKFOLD_HAVE_XKB
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return state;
    auto lit = [display](const char* name) {
        Atom atom = XInternAtom(display, name, True);
        Bool on = False;
        if (atom != None && XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
            return on == True;
        return false;
    };
    state.known = true;
    state.capsLock = lit("Caps Lock");
    state.numLock = lit("Num Lock");
    state.scrollLock = lit("Scroll Lock");
#endif
    return state;
}
