#include <platform_hooks.h>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

typedef int (*ProbeAnswer)(int);

// FARPROC is Windows' INT_PTR (*)(): going through void (*)() casts it to the
// real type without -Wcast-function-type complaining, as on MinGW.
ProbeAnswer probeAnswerOf(HMODULE library) {
    FARPROC found = GetProcAddress(library, "libraryProbeAnswer");
    return reinterpret_cast<ProbeAnswer>(reinterpret_cast<void (*)()>(found));
}

TEST(LibraryLoading, finds_and_calls_an_export_of_a_loaded_library) {
    HMODULE library = LoadLibraryA(LIBRARY_PROBE_PATH);
    ASSERT_NE(library, nullptr) << platformLastLoadError();
    ProbeAnswer answer = probeAnswerOf(library);
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(20), 41);
    EXPECT_EQ(GetModuleHandleA(LIBRARY_PROBE_PATH), library);
    EXPECT_TRUE(FreeLibrary(library));
}

TEST(LibraryLoading, a_missing_export_is_null_with_proc_not_found) {
    HMODULE library = LoadLibraryA(LIBRARY_PROBE_PATH);
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(GetProcAddress(library, "noSuchExport"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    FreeLibrary(library);
}

TEST(LibraryLoading, a_missing_library_fails_and_keeps_the_loaders_reason) {
    EXPECT_EQ(LoadLibraryA("/nowhere/missing_library.so"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_NE(platformLastLoadError().find("missing_library.so"), std::string::npos);
}

TEST(LibraryLoading, handles_never_given_out_are_refused) {
    HMODULE bogus = reinterpret_cast<HMODULE>(0x1000);
    EXPECT_FALSE(FreeLibrary(bogus));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetProcAddress(bogus, "libraryProbeAnswer"), nullptr);
}

TEST(LibraryLoading, the_program_itself_is_a_module_with_its_exports) {
    HMODULE program = GetModuleHandleA(nullptr);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(GetModuleHandleA("/nowhere/missing_library.so"), nullptr);
}

} // namespace
