#include "import_patch.h"

#include <cstring>

namespace {

template <typename T> T* at(HMODULE module, DWORD offset) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + offset);
}

void* swapEntry(ULONG_PTR* entry, void* replacement) {
    DWORD protection = 0;
    VirtualProtect(entry, sizeof(*entry), PAGE_READWRITE, &protection);
    void* previous = reinterpret_cast<void*>(*entry);
    *entry = reinterpret_cast<ULONG_PTR>(replacement);
    VirtualProtect(entry, sizeof(*entry), protection, &protection);
    return previous;
}

} // namespace

void* patchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = at<const IMAGE_NT_HEADERS>(module, dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress) return nullptr;
    for (auto* import = at<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress); import->Name;
         ++import) {
        if (_stricmp(at<const char>(module, import->Name), dll) != 0) continue;
        auto* names = at<IMAGE_THUNK_DATA>(module, import->OriginalFirstThunk);
        auto* entries = at<IMAGE_THUNK_DATA>(module, import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++entries) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                at<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return swapEntry(reinterpret_cast<ULONG_PTR*>(&entries->u1.Function), replacement);
        }
    }
    return nullptr;
}
