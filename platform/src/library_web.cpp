// LoadLibraryA in a web page: the modules linked into the program that the
// host named with platformLinkModule, found by name and kept loaded.
#include "hooks_state.h"
#include "window_state.h"

#include <platform_web.h>

#include <map>
#include <string>

namespace zdp {
namespace {

struct LinkedModule {
    std::map<std::string, FARPROC> procedures;
    int loads = 0;
};

std::map<std::string, LinkedModule>& modules() {
    static auto* all = new std::map<std::string, LinkedModule>;
    return *all;
}

std::string& lastLoadError() {
    static auto* text = new std::string;
    return *text;
}

LinkedModule* moduleOf(HMODULE handle) {
    for (auto& entry : modules())
        if (static_cast<void*>(&entry.second) == handle) return &entry.second;
    return nullptr;
}

} // namespace

void clearLoadError() {
    lastLoadError().clear();
}

} // namespace zdp

using namespace zdp;

void platformLinkModule(const char* name, const char* procName, FARPROC address) {
    StateLock lock(stateMutex());
    modules()[name].procedures[procName] = address;
}

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
    StateLock lock(stateMutex());
    auto found = fileName ? modules().find(fileName) : modules().end();
    if (found == modules().end()) {
        lastLoadError() = std::string(fileName ? fileName : "") + ": no such module in this page";
        setError(fileName ? ERROR_MOD_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ++found->second.loads;
    return reinterpret_cast<HMODULE>(&found->second);
}

FARPROC WINAPI GetProcAddress(HMODULE handle, LPCSTR procName) {
    StateLock lock(stateMutex());
    LinkedModule* module = moduleOf(handle);
    if (!module) {
        setError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto found = procName && !IS_INTRESOURCE(procName) ? module->procedures.find(procName)
                                                        : module->procedures.end();
    if (found == module->procedures.end()) {
        setError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return found->second;
}

BOOL WINAPI FreeLibrary(HMODULE handle) {
    StateLock lock(stateMutex());
    LinkedModule* module = moduleOf(handle);
    if (!module || module->loads == 0) {
        setError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --module->loads;
    return TRUE;
}

// NULL names the page's program itself.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    StateLock lock(stateMutex());
    static LinkedModule program;
    if (!moduleName) return reinterpret_cast<HMODULE>(&program);
    auto found = moduleName ? modules().find(moduleName) : modules().end();
    if (found == modules().end() || found->second.loads == 0) {
        setError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(&found->second);
}

std::string platformLastLoadError() {
    StateLock lock(stateMutex());
    return lastLoadError();
}
