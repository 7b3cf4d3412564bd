#pragma once

#include <optional>

// Whether Caps Lock, Num Lock and Scroll Lock are on.
struct LockKeyStates {
  bool caps = false;
  bool num = false;
  bool scroll = false;
};

// The lock keys as the display server has them; nothing where it cannot
// tell (no X11 display), and the window then follows the key presses it sees.
std::optional<LockKeyStates> QueryLockKeys();
