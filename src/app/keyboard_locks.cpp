#include "app/keyboard_locks.h"

#include <QGuiApplication>

#ifdef TAMORIX_HAVE_X11
#include <X11/XKBlib.h>

#include <QtGui/qguiapplication_platform.h>
#endif

KeyboardLocks ReadKeyboardLocks() {
  KeyboardLocks locks;
#ifdef TAMORIX_HAVE_X11
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return locks;
  auto lit = [display](const char* name, bool& on) {
    Bool state = False;
    Atom atom = XInternAtom(display, name, True);
    if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr)) return false;
    on = state == True;
    return true;
  };
  locks.known = lit("Caps Lock", locks.capsLock) && lit("Num Lock", locks.numLock);
#endif
  return locks;
}
