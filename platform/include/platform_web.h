// Hooks of the web backend, for the page's host; not Win32.
//
// A web page has no shared libraries: the plug-in is linked into the page's
// program, and the host names it to the platform so that LoadLibraryA and
// GetProcAddress find it as they find a DLL elsewhere.
#pragma once

#include <windows.h>

#include "platform_hooks.h"

PLATFORM_HOOK void platformLinkModule(const char* name, const char* procName, FARPROC address);
