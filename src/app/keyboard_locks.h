#pragma once
// The state of the keyboard's Caps Lock and Num Lock, as the desktop's
// keyboard lights show it. Known only on an X11 display; elsewhere (the
// offscreen platform of the tests, say) it is unknown.

struct KeyboardLocks {
  bool known = false;
  bool capsLock = false;
  bool numLock = false;
};

KeyboardLocks ReadKeyboardLocks();
