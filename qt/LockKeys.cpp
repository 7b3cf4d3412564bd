#include "qt/LockKeys.h"

#include <QGuiApplication>

#if defined(TOBRANE_HAS_X11) && QT_CONFIG(xcb)
#define TOBRANE_ASK_X11 1
// After the Qt headers: Xlib's macros (None, KeyPress, Bool) would break them.
#include <X11/XKBlib.h>

namespace {

// Indicators are looked up by name: their bit positions differ between keymaps.
bool IndicatorOn(Display* display, const char* name) {
  const Atom atom = XInternAtom(display, name, True);
  Bool on = False;
  if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return false;
  return on == True;
}

}  // namespace
#endif

std::optional<LockKeyStates> QueryLockKeys() {
#ifdef TOBRANE_ASK_X11
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->display() == nullptr) return std::nullopt;
  Display* display = x11->display();
  return LockKeyStates{IndicatorOn(display, "Caps Lock"), IndicatorOn(display, "Num Lock"),
                       IndicatorOn(display, "Scroll Lock")};
#else
  return std::nullopt;
#endif
}
