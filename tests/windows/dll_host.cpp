#include "dll_host.h"

namespace {
const char* const hostClassName = "ZephyrdomeWineHost";
DllHost* activeHost = nullptr;
} // namespace

DllHost::DllHost(Placement placement) : placement_(placement) {
    library = LoadLibraryA("zephyrdome.dll");
    auto getHeader = reinterpret_cast<VisHeaderGetter>(
        reinterpret_cast<void*>(GetProcAddress(library, "winampVisGetHeader")));
    header = getHeader ? getHeader() : nullptr;
    module = header ? header->moduleGetter(0) : nullptr;

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = hostClassName;
    RegisterClassExA(&windowClass);
    activeHost = this;
    window = CreateWindowExA(0, hostClassName, "Wine test host", WS_POPUP, 0, 0, 200, 100, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    if (module) {
        module->hostWindow = window;
        module->instance = library;
    }
}

DllHost::~DllHost() {
    if (renderWindow()) stop();
    DestroyWindow(window);
    pump();
    UnregisterClassA(hostClassName, GetModuleHandleA(nullptr));
    activeHost = nullptr;
    if (library) FreeLibrary(library);
}

int DllHost::start() {
    const int result = module->onStart(module);
    if (result == 0 && placement_ == Placement::Aside)
        SetWindowPos(renderWindow(), nullptr, 1300, 900, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pump();
    return result;
}

int DllHost::frame() {
    const int result = module->onRender(module);
    pump();
    return result;
}

void DllHost::stop() {
    module->onStop(module);
    pump();
}

BOOL CALLBACK DllHost::matchRenderWindow(HWND window, LPARAM result) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "Zephyrdome X") != 0) return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

// Only this thread's: other test programs may run beside this one.
HWND DllHost::renderWindow() const {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), matchRenderWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void DllHost::pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ++quitCount;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void DllHost::press(WPARAM key, LPARAM keyData) {
    PostMessageA(renderWindow(), WM_KEYDOWN, key, keyData);
    pump();
}

void DllHost::release(WPARAM key, LPARAM keyData) {
    PostMessageA(renderWindow(), WM_KEYUP, key, keyData);
    pump();
}

void DllHost::click(int x, int y) {
    PostMessageA(renderWindow(), WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
    pump();
}

int DllHost::countOf(UINT message, LPARAM lParam) const {
    int count = 0;
    for (const HostMessage& m : messages) count += m.message == message && m.lParam == lParam;
    return count;
}

std::vector<HostMessage> DllHost::only(UINT message) const {
    std::vector<HostMessage> result;
    for (const HostMessage& m : messages)
        if (m.message == message) result.push_back(m);
    return result;
}

LRESULT CALLBACK DllHost::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (activeHost && (activeHost->window == window || activeHost->window == nullptr))
        return activeHost->answer(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// Inside CreateWindowEx the window member is still null: Windows needs the
// real handle for WM_NCCREATE to succeed.
LRESULT DllHost::answer(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER || message == WM_COMMAND || message == WM_KEYUP ||
        message == WM_KEYDOWN || message == WM_SYSKEYUP)
        messages.push_back({message, wParam, lParam});
    if (message == WM_USER) {
        switch (lParam) {
        case hostGetPlaylistPosition: return position;
        case hostGetPlaylistLength: return static_cast<LRESULT>(playlist.size());
        case hostGetPlaylistFile:
            if (wParam < playlist.size()) return reinterpret_cast<LRESULT>(playlist[wParam].c_str());
            return 0;
        case hostSetPlaylistPosition: position = static_cast<int>(wParam); return 0;
        }
        return 0;
    }
    if (message == WM_COMMAND && wParam == hostPlayCommand) {
        ++playCount;
        return 0;
    }
    return DefWindowProcA(target, message, wParam, lParam);
}

Frame captureClient(HWND window) {
    Frame frame;
    RECT client;
    if (!window || !GetClientRect(window, &client)) return frame;
    frame.width = client.right;
    frame.height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = frame.width;
    info.bmiHeader.biHeight = -frame.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC windowDC = GetDC(window);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memoryDC, bitmap);
    BitBlt(memoryDC, 0, 0, frame.width, frame.height, windowDC, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* bytes = static_cast<const unsigned char*>(bits);
    if (bytes) frame.pixels.assign(bytes, bytes + static_cast<size_t>(frame.width) * frame.height * 4);
    SelectObject(memoryDC, previous);
    DeleteObject(bitmap);
    DeleteDC(memoryDC);
    ReleaseDC(window, windowDC);
    return frame;
}

int litPixels(const Frame& frame) {
    int lit = 0;
    for (size_t i = 0; i + 3 < frame.pixels.size(); i += 4)
        lit += (frame.pixels[i] | frame.pixels[i + 1] | frame.pixels[i + 2]) != 0;
    return lit;
}
