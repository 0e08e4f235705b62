// Shared libraries through the dynamic loader: LoadLibraryA is dlopen with
// every symbol bound at once and kept local to the library, as a DLL's are.
#include "hooks_state.h"
#include "window_state.h"

#include <dlfcn.h>

#include <map>
#include <set>

namespace zdp {
namespace {

std::string& lastLoadError() {
    static auto* text = new std::string;
    return *text;
}

// How many LoadLibraryA calls each handle has outstanding, so FreeLibrary can
// refuse handles it never gave out.
std::map<void*, int>& loadCounts() {
    static auto* counts = new std::map<void*, int>;
    return *counts;
}

// Handles GetModuleHandleA has given out; with loadCounts, the handles that
// may be passed to dlsym.
std::set<void*>& askedModules() {
    static auto* modules = new std::set<void*>;
    return *modules;
}

bool knownModule(HMODULE module) {
    return loadCounts().count(module) || askedModules().count(module);
}

} // namespace

void clearLoadError() {
    StateLock lock(stateMutex());
    lastLoadError().clear();
}

} // namespace zdp

using namespace zdp;

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
    StateLock lock(stateMutex());
    if (!fileName || !fileName[0]) {
        setError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void* library = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        lastLoadError() = reason ? reason : "unknown loader error";
        setError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++loadCounts()[library];
    return static_cast<HMODULE>(library);
}

// Exports are looked up by name only; ordinals name nothing here.
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    StateLock lock(stateMutex());
    if (!knownModule(module)) {
        setError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!procName || IS_INTRESOURCE(procName)) {
        setError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    dlerror();
    void* symbol = dlsym(module, procName);
    if (!symbol) {
        setError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    StateLock lock(stateMutex());
    auto found = loadCounts().find(module);
    if (found == loadCounts().end()) {
        setError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (--found->second == 0) loadCounts().erase(found);
    dlclose(module);
    return TRUE;
}

// NULL names the program itself. The handle of a loaded library is its
// loader handle; asking does not keep it loaded, as on Windows.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    StateLock lock(stateMutex());
    void* library = dlopen(moduleName, RTLD_LAZY | RTLD_NOLOAD);
    if (!library) {
        setError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (moduleName) dlclose(library);
    askedModules().insert(library);
    return static_cast<HMODULE>(library);
}

std::string platformLastLoadError() {
    StateLock lock(stateMutex());
    return lastLoadError();
}
