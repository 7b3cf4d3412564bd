#pragma once

// Windows looks for a DLL in the program's own folder before System32, so a
// DLL of a system name planted beside the program (a Downloads folder) would
// run its code. Both programs call this first: every DLL that Windows or this
// program loads at run time then comes from System32 alone. Imported DLLs
// that are not KnownDLLs are not imported but loaded with LoadSystemLibrary.
// (No <windows.h> here: the window's code includes it its own way.)
void LoadDllsFromSystem32Only();

// The system DLL of that name from System32 (its HMODULE), or nullptr.
void* LoadSystemLibrary(const wchar_t* name);

using SystemProc = void (*)();
SystemProc SystemEntryPoint(void* module, const char* name);

// An entry point of a loaded DLL as the function type it has, or nullptr.
template <typename Function>
Function SystemEntry(void* module, const char* name) {
  // From void (*)(), the one function type GCC lets any other stand for.
  return reinterpret_cast<Function>(SystemEntryPoint(module, name));
}
