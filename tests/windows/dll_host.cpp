#include "dll_host.h"

DllHost::DllHost(Placement placement) : placement_(placement) {
    library = LoadLibraryA("zephyrdome.dll");
    auto getHeader = reinterpret_cast<VisHeaderGetter>(
        reinterpret_cast<void*>(GetProcAddress(library, "winampVisGetHeader")));
    header = getHeader ? getHeader() : nullptr;
    module = header ? header->moduleGetter(0) : nullptr;
    if (module) {
        module->hostWindow = window();
        module->instance = library;
    }
    messages.clear();
}

DllHost::~DllHost() {
    if (renderWindow()) stop();
    if (library) FreeLibrary(library);
}

int DllHost::start() {
    const int result = module->onStart(module);
    if (result == 0 && placement_ == Placement::Aside)
        SetWindowPos(renderWindow(), nullptr, 1300, 900, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pump();
    return result;
}

int DllHost::frame() {
    const int result = module->onRender(module);
    pump();
    return result;
}

namespace {
struct ModuleCall {
    VisModule* module;
    int (*call)(VisModule*);
    int result;
};

DWORD WINAPI callOnce(LPVOID parameter) {
    auto* call = static_cast<ModuleCall*>(parameter);
    call->result = call->call(call->module);
    return 0;
}
} // namespace

int DllHost::onNewThread(int (*call)(VisModule*)) {
    ModuleCall once{module, call, -1};
    HANDLE thread = CreateThread(nullptr, 0, callOnce, &once, 0, nullptr);
    if (!thread) return -1;
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0)
        pumpSent();
    CloseHandle(thread);
    pump();
    return once.result;
}

int DllHost::frameOnThread() {
    return onNewThread([](VisModule* m) { return m->onRender(m); });
}

void DllHost::stopOnThread() {
    onNewThread([](VisModule* m) {
        m->onStop(m);
        return 0;
    });
}

void DllHost::pumpSent() {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

void DllHost::stop() {
    module->onStop(module);
    pump();
}

void DllHost::pump() {
    if (dispatchPaints) {
        pumpMessages();
        return;
    }
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ++quitCount;
        } else if (msg.message == WM_PAINT && msg.hwnd == renderWindow()) {
            PAINTSTRUCT paint;
            BeginPaint(msg.hwnd, &paint);
            EndPaint(msg.hwnd, &paint);
        } else {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
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
    if (bytes)
        frame.pixels.assign(bytes, bytes + static_cast<size_t>(frame.width) * frame.height * 4);
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
