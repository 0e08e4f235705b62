// Hosts that pump their own thread or draw with their own GL context.
#include "check.h"
#include "dll_host.h"
#include "import_patch.h"

#include <GL/gl.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> boxTexts;

int WINAPI recordBox(HWND, LPCSTR text, LPCSTR, UINT) {
    boxTexts.push_back(text ? text : "");
    return IDOK;
}

int WINAPI refuseFormat(HDC, const PIXELFORMATDESCRIPTOR*) {
    return 0;
}

bool identityModelview() {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i)
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f)) return false;
    return true;
}

} // namespace

ZD_TEST(host, AStartWithoutAPixelFormatFailsWithoutEndingTheHostsLoop) {
    DllHost host(DllHost::Placement::Aside);
    boxTexts.clear();
    void* box =
        patchImport(host.library, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(recordBox));
    void* choose = patchImport(host.library, "gdi32.dll", "ChoosePixelFormat",
                               reinterpret_cast<void*>(refuseFormat));
    ZD_REQUIRE(box && choose);
    ZD_CHECK_EQ(host.start(), 1);
    ZD_REQUIRE(boxTexts.size() == 2u);
    ZD_CHECK(boxTexts[0] == "ChoosePixelFormat failed");
    ZD_CHECK(boxTexts[1] == "Error creating window");
    ZD_CHECK(host.renderWindow() == nullptr);
    ZD_CHECK_EQ(host.quitCount, 0);
    ZD_CHECK_EQ(host.frame(), 0);

    patchImport(host.library, "gdi32.dll", "ChoosePixelFormat", choose);
    ZD_CHECK_EQ(host.start(), 0);
    host.stop();
    ZD_CHECK_EQ(host.quitCount, 1);
    patchImport(host.library, "user32.dll", "MessageBoxA", box);
}

ZD_TEST(host, AHostsOwnContextIsGivenBackAfterEveryCallbackAndMessage) {
    DllHost host(DllHost::Placement::Aside);
    HDC dc = GetDC(host.window());
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.cColorBits = 24;
    ZD_REQUIRE(SetPixelFormat(dc, ChoosePixelFormat(dc, &request), &request));
    HGLRC own = wglCreateContext(dc);
    ZD_REQUIRE(own && wglMakeCurrent(dc, own));
    glViewport(0, 0, 10, 10);

    auto untouched = [&](const char* after) {
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        const bool same = wglGetCurrentContext() == own && viewport[2] == 10 && identityModelview();
        if (!same)
            check::fail(__FILE__, __LINE__, std::string("the host's context changed by ") + after);
    };
    ZD_REQUIRE(host.start() == 0);
    untouched("the start");
    host.press(VK_F2);
    host.frame();
    untouched("a frame");
    ZD_CHECK(litPixels(captureClient(host.renderWindow())) > 1000);
    InvalidateRect(host.renderWindow(), nullptr, FALSE);
    UpdateWindow(host.renderWindow());
    untouched("a repaint");
    SetWindowPos(host.renderWindow(), nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER);
    host.pumpMessages();
    untouched("a size change");
    host.stop();
    untouched("the stop");

    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(own);
    ReleaseDC(host.window(), dc);
}
