#include "app/KeyState.h"

#include <QGuiApplication>

#ifdef ZEP_HAVE_XKB
#include <QtGui/qguiapplication_platform.h>
// X11 headers last: their macros (None, Bool, Status) clash with Qt names.
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#endif

namespace {
int switches = 0;
}

void SetNumLockState(bool on)
{
    if (!on)
        return;
#ifdef ZEP_HAVE_XKB
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return;
    const unsigned int mask = XkbKeysymToModifiers(display, XK_Num_Lock);
    if (mask == 0)
        return;
    XkbStateRec state;
    if (XkbGetState(display, XkbUseCoreKbd, &state) == 0 && (state.locked_mods & mask))
        return;
    XkbLockModifiers(display, XkbUseCoreKbd, mask, mask);
    XFlush(display);
    ++switches;
#endif
}

int NumLockSwitchCount() { return switches; }
