#pragma once

#include <string>

#include "frontend/Win32Text.h"
#include "win32/Win32Api.h"

// A string-table resource of this executable; empty when there is none.
std::wstring LoadResourceText(HINSTANCE instance, UINT id);

// "status text\ntooltip": one of the two halves of a command's prompt.
std::wstring PromptStatusText(const std::wstring& prompt);
std::wstring PromptTooltip(const std::wstring& prompt);

// A filter in the "description|pattern|...||" form, with the bars turned
// into the NULs the file dialogs want.
std::wstring FileDialogFilter(const std::string& barSeparated);
