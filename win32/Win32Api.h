#pragma once

// The Windows headers the window code uses, in the order they need. The
// MessageBox macro of <windows.h> would rename the view interface's method
// of the same name in these files only, so it goes.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
// clang-format on
#undef MessageBox
