# Cross-compiles for 64-bit Windows (g++-mingw-w64-x86-64-win32): the build
# that runs under Wine on machines whose CPUs run no 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZD_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
