#include "shell/gl_setup.h"

#include <cstdio>
#include <cstring>

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

namespace {

const char* const fontFileName = "fontGray.tga";
const char* const defaultFontPath = "c:\\program files\\winamp\\plugins\\fontGray.tga";
char resolvedPath[1024];

// The file this code was loaded from: the DLL or shared object, not the host.
bool ownModulePath(char* path, size_t size) {
#if defined(_WIN32)
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&ownModulePath), &self))
        return false;
    const DWORD length = GetModuleFileNameA(self, path, static_cast<DWORD>(size));
    return length > 0 && length < size;
#else
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&ownModulePath), &info) || !info.dli_fname) return false;
    if (std::strlen(info.dli_fname) >= size) return false;
    std::strcpy(path, info.dli_fname);
    return true;
#endif
}

bool fileReadable(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

} // namespace

const char* pluginFontPath() {
    char modulePath[sizeof(resolvedPath)];
    if (ownModulePath(modulePath, sizeof(modulePath))) {
        char* slash = std::strrchr(modulePath, '/');
        char* backslash = std::strrchr(modulePath, '\\');
        char* separator = slash > backslash ? slash : backslash;
        const size_t folderLength = separator ? static_cast<size_t>(separator - modulePath + 1) : 0;
        if (folderLength + std::strlen(fontFileName) < sizeof(resolvedPath)) {
            std::memcpy(resolvedPath, modulePath, folderLength);
            std::strcpy(resolvedPath + folderLength, fontFileName);
            if (fileReadable(resolvedPath)) return resolvedPath;
        }
    }
    return defaultFontPath;
}
