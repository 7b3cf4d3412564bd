#pragma once

#include <string>

// The program works in UTF-8; Windows' wide calls take UTF-16. Invalid input
// converts to replacement characters rather than failing.
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
