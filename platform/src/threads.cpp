// Thread numbers and critical sections.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <new>

DWORD WINAPI GetCurrentThreadId(void) {
    static std::atomic<DWORD> next{1};
    thread_local const DWORD id = next++;
    return id;
}

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
    section->lock = new std::recursive_mutex;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) {
    static_cast<std::recursive_mutex*>(section->lock)->lock();
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) {
    static_cast<std::recursive_mutex*>(section->lock)->unlock();
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) {
    delete static_cast<std::recursive_mutex*>(section->lock);
    section->lock = nullptr;
}
