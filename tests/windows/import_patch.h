// Swaps one entry of a loaded module's import table, so a test can make a
// Windows call inside the DLL fail or answer without a person (a message box).
#pragma once

#include <windows.h>

// Returns the entry's previous target, or null when the module imports no
// such function; patchImport(module, dll, function, previous) undoes it.
void* patchImport(HMODULE module, const char* dll, const char* function, void* replacement);
