// The Win32 subset on a desktop: shown top-level windows as X windows, the
// X input that reaches them as Windows' messages, and what SwapBuffers puts
// on the screen.
#include "desktop.h"
#include "platform/platform_test.h"

#include <GL/gl.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

namespace {

::Display* observer = nullptr; // the tests' own connection, to look at the windows

bool pumpUntil(const std::function<bool()>& done);
bool isMapped(unsigned long window);

class DesktopWindow : public PlatformTest {
  protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(startDesktop(error)) << error;
        if (!observer) observer = XOpenDisplay(desktopDisplay().c_str());
        ASSERT_NE(observer, nullptr);
    }

    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_TRUE(platformDisplayAvailable());
    }

    // Returns once the server has the window on the screen.
    HWND showToolWindow() {
        HWND window = createToolWindow(WS_VISIBLE | WS_SYSMENU);
        native = platformNativeWindow(window);
        unsigned long shown = native;
        EXPECT_TRUE(pumpUntil([shown] { return shown && isMapped(shown); }));
        return window;
    }

    // Gives the window the keyboard, as a click on it would.
    void focus() {
        ASSERT_EQ(runTool({"xdotool", "windowfocus", "--sync", std::to_string(native)}), 0);
    }

    unsigned long native = 0;
};

void pumpOnce() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

// Dispatches the queue until `done` holds; false if it does not within 10 s.
bool pumpUntil(const std::function<bool()>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        pumpOnce();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::vector<LoggedMessage> inputMessages(UINT first, UINT last) {
    std::vector<LoggedMessage> found;
    for (const LoggedMessage& entry : messageLog())
        if (entry.message >= first && entry.message <= last) found.push_back(entry);
    return found;
}

bool logged(UINT message) {
    return !inputMessages(message, message).empty();
}

std::vector<LoggedMessage> keyMessages() {
    return inputMessages(WM_KEYDOWN, WM_SYSKEYUP);
}

std::string property(::Window window, const char* name, Atom type) {
    Atom actual;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(observer, window, XInternAtom(observer, name, False), 0, 1024, False, type,
                       &actual, &format, &count, &after, &data);
    std::string text = data ? std::string(reinterpret_cast<char*>(data), count) : "";
    if (data) XFree(data);
    return text;
}

bool isMapped(unsigned long window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(observer, window, &attributes) &&
           attributes.map_state == IsViewable;
}

TEST_F(DesktopWindow, a_shown_tool_window_puts_its_client_area_where_windows_would) {
    showToolWindow();
    ASSERT_NE(native, 0u);
    EXPECT_TRUE(isMapped(native));
    XWindowAttributes attributes{};
    XGetWindowAttributes(observer, native, &attributes);
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(observer, native, DefaultRootWindow(observer), 0, 0, &x, &y, &child);
    EXPECT_EQ(x, 103);
    EXPECT_EQ(y, 119);
    EXPECT_EQ(attributes.width, 634);
    EXPECT_EQ(attributes.height, 458);
}

TEST_F(DesktopWindow, the_window_manager_is_asked_for_a_free_size_keys_and_the_close_box) {
    showToolWindow();
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(observer, native, &hints, &supplied));
    EXPECT_TRUE(hints.flags & PMinSize);
    EXPECT_FALSE(hints.flags & PMaxSize);
    EXPECT_EQ(hints.min_width, 634 / 4);
    EXPECT_EQ(hints.min_height, 458 / 4);
    Atom* protocols = nullptr;
    int count = 0;
    ASSERT_TRUE(XGetWMProtocols(observer, native, &protocols, &count));
    ASSERT_EQ(count, 1);
    EXPECT_EQ(protocols[0], XInternAtom(observer, "WM_DELETE_WINDOW", False));
    XFree(protocols);
    XWMHints* wmHints = XGetWMHints(observer, native);
    ASSERT_NE(wmHints, nullptr);
    EXPECT_TRUE((wmHints->flags & InputHint) && wmHints->input) << "it would get no keys";
    XFree(wmHints);
}

TEST_F(DesktopWindow, titles_reach_the_desktop_as_latin_1_and_utf_8) {
    HWND window = showToolWindow();
    EXPECT_EQ(property(native, "WM_NAME", XA_STRING), "Tool");
    SetWindowTextA(window, "Caf\xE9");
    Atom utf8 = XInternAtom(observer, "UTF8_STRING", False);
    unsigned long shown = native;
    // The two connections reach the server in no fixed order.
    EXPECT_TRUE(pumpUntil([&] { return property(shown, "_NET_WM_NAME", utf8) == "Caf\xC3\xA9"; }));
    EXPECT_EQ(property(native, "WM_NAME", XA_STRING), "Caf\xE9");
}

TEST_F(DesktopWindow, hidden_windows_stay_off_the_desktop_or_leave_it) {
    HWND popup = createWindow(0, WS_POPUP);
    EXPECT_EQ(platformNativeWindow(popup), 0u);
    HWND window = showToolWindow();
    ShowWindow(window, SW_HIDE);
    unsigned long shown = native;
    EXPECT_TRUE(pumpUntil([&] { return !isMapped(shown); }));
    DestroyWindow(window);
    EXPECT_EQ(platformNativeWindow(window), 0u);
}

TEST_F(DesktopWindow, key_presses_arrive_as_key_down_and_up_with_windows_key_data) {
    showToolWindow();
    focus();
    ASSERT_EQ(
        runTool({"xdotool", "key", "b", "7", "F2", "F12", "Left", "space", "Escape", "Return"}), 0);
    ASSERT_TRUE(pumpUntil([] { return keyMessages().size() >= 16; }));
    // Virtual key, scan code, and the extended flag for the arrow.
    const unsigned keys[][3] = {{'B', 0x30, 0},       {'7', 0x08, 0},      {VK_F2, 0x3C, 0},
                                {VK_F12, 0x58, 0},    {VK_LEFT, 0x4B, 1},  {VK_SPACE, 0x39, 0},
                                {VK_ESCAPE, 0x01, 0}, {VK_RETURN, 0x1C, 0}};
    std::vector<LoggedMessage> messages = keyMessages();
    ASSERT_EQ(messages.size(), 16u);
    for (size_t i = 0; i < 8; ++i) {
        uint32_t data = 1 | keys[i][1] << 16 | keys[i][2] << 24;
        const LoggedMessage& down = messages[2 * i];
        const LoggedMessage& up = messages[2 * i + 1];
        EXPECT_EQ(down.message, UINT(WM_KEYDOWN)) << i;
        EXPECT_EQ(down.wParam, WPARAM(keys[i][0])) << i;
        EXPECT_EQ(uint32_t(down.lParam), data) << i;
        EXPECT_EQ(up.message, UINT(WM_KEYUP)) << i;
        EXPECT_EQ(up.wParam, WPARAM(keys[i][0])) << i;
        EXPECT_EQ(uint32_t(up.lParam), data | 0xC0000000u) << i;
    }
}

TEST_F(DesktopWindow, get_message_waits_for_input_from_the_desktop) {
    HWND window = showToolWindow();
    focus();
    ASSERT_EQ(runTool({"xdotool", "key", "d"}), 0);
    // Should the display go unwatched, this ends the wait instead.
    std::promise<void> done;
    std::thread watchdog([window, finished = done.get_future()] {
        if (finished.wait_for(std::chrono::seconds(10)) == std::future_status::timeout)
            PostMessageA(window, WM_APP, 0, 0);
    });
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != WM_KEYDOWN &&
           message.message != WM_APP)
        DispatchMessageA(&message);
    done.set_value();
    watchdog.join();
    EXPECT_EQ(message.message, UINT(WM_KEYDOWN));
    EXPECT_EQ(message.wParam, WPARAM('D'));
}

TEST_F(DesktopWindow, a_held_key_repeats_its_key_down_with_the_previous_state_set) {
    showToolWindow();
    focus();
    ASSERT_EQ(runTool({"xdotool", "keydown", "Up", "sleep", "1", "keyup", "Up"}), 0);
    ASSERT_TRUE(pumpUntil([] { return logged(WM_KEYUP); }));
    std::vector<LoggedMessage> messages = keyMessages();
    ASSERT_GE(messages.size(), 3u) << "the server sent no auto-repeat";
    EXPECT_EQ(uint32_t(messages.front().lParam), 0x01480001u);
    for (size_t i = 1; i + 1 < messages.size(); ++i) {
        EXPECT_EQ(messages[i].message, UINT(WM_KEYDOWN));
        EXPECT_EQ(uint32_t(messages[i].lParam), 0x41480001u);
    }
    EXPECT_EQ(messages.back().message, UINT(WM_KEYUP));
    EXPECT_EQ(uint32_t(messages.back().lParam), 0xC1480001u);
}

TEST_F(DesktopWindow, clicks_arrive_in_client_coordinates_with_the_button_state) {
    showToolWindow();
    ASSERT_EQ(runTool({"xdotool", "mousemove", "--window", std::to_string(native), "200", "57",
                       "click", "1", "click", "3"}),
              0);
    ASSERT_TRUE(pumpUntil([] { return logged(WM_RBUTTONUP); }));
    std::vector<LoggedMessage> clicks = inputMessages(WM_LBUTTONDOWN, WM_RBUTTONUP);
    ASSERT_EQ(clicks.size(), 4u);
    const UINT messages[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP};
    const WPARAM states[] = {MK_LBUTTON, 0, MK_RBUTTON, 0};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(clicks[i].message, messages[i]);
        EXPECT_EQ(clicks[i].wParam, states[i]);
        EXPECT_EQ(LOWORD(clicks[i].lParam), 200);
        EXPECT_EQ(HIWORD(clicks[i].lParam), 57);
    }
}

TEST_F(DesktopWindow, the_close_box_closes_the_window_through_wm_close) {
    HWND window = showToolWindow();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = native;
    event.xclient.message_type = XInternAtom(observer, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(observer, "WM_DELETE_WINDOW", False));
    XSendEvent(observer, native, False, NoEventMask, &event);
    XSync(observer, False);
    ASSERT_TRUE(pumpUntil([window] { return !IsWindow(window); }));
    std::vector<UINT> closing = {WM_CLOSE, WM_DESTROY, WM_NCDESTROY};
    std::vector<UINT> last = loggedMessages(window);
    last.erase(last.begin(), last.end() - 3);
    EXPECT_EQ(last, closing);
}

TEST_F(DesktopWindow, a_window_destroyed_on_the_desktop_is_closed_too) {
    HWND window = showToolWindow();
    ASSERT_EQ(runTool({"xdotool", "windowclose", std::to_string(native)}), 0);
    ASSERT_TRUE(pumpUntil([window] { return !IsWindow(window); }));
    EXPECT_TRUE(logged(WM_CLOSE));
}

class DesktopPicture : public DesktopWindow {
  protected:
    // A frame with a green square on red, presented by SwapBuffers.
    HWND presentFrame() {
        HWND window = showToolWindow();
        HDC dc = GetDC(window);
        PIXELFORMATDESCRIPTOR request{};
        request.nSize = sizeof request;
        request.nVersion = 1;
        request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        request.cColorBits = 24;
        request.cDepthBits = 16;
        SetPixelFormat(dc, ChoosePixelFormat(dc, &request), &request);
        wglMakeCurrent(dc, wglCreateContext(dc));
        glClearColor(0.8f, 0.1f, 0.1f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(100, 50, 200, 120);
        glClearColor(0.1f, 0.7f, 0.2f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        SwapBuffers(dc);
        return window;
    }
};

// Pixels where the window on the screen differs from its last presented image.
int differingPixels(unsigned long native, HWND window) {
    Screenshot shot;
    std::string error;
    int width = 0, height = 0;
    const unsigned char* image = platformWindowImage(window, &width, &height);
    if (!takeScreenshot(native, shot, error) || !image) return -1;
    if (shot.width != width || shot.height != height) return -1;
    int differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* seen = shot.pixel(x, y);
            const unsigned char* shown = image + (size_t(y) * width + x) * 4;
            if (seen[0] != shown[0] || seen[1] != shown[1] || seen[2] != shown[2]) ++differing;
        }
    return differing;
}

TEST_F(DesktopPicture, the_desktop_shows_what_swap_buffers_presented) {
    HWND window = presentFrame();
    unsigned long shown = native;
    EXPECT_TRUE(pumpUntil([&] { return differingPixels(shown, window) == 0; }))
        << differingPixels(shown, window) << " pixels differ";
    Screenshot shot;
    std::string error;
    ASSERT_TRUE(takeScreenshot(native, shot, error)) << error;
    // GL's rows run bottom-up: the square sits 50 rows above the bottom.
    const unsigned char* square = shot.pixel(150, 458 - 100);
    EXPECT_LT(square[0], 40);
    EXPECT_GT(square[1], 150);
    const unsigned char* around = shot.pixel(20, 20);
    EXPECT_GT(around[0], 180);
}

TEST_F(DesktopPicture, an_uncovered_window_gets_its_picture_back_without_a_repaint) {
    HWND window = presentFrame();
    unsigned long shown = native;
    ASSERT_TRUE(pumpUntil([&] { return differingPixels(shown, window) == 0; }));
    pumpOnce();
    messageLog().clear();
    // Another client paints over the window, then the server exposes it.
    GC gc = XCreateGC(observer, native, 0, nullptr);
    XSetForeground(observer, gc, WhitePixel(observer, DefaultScreen(observer)));
    XFillRectangle(observer, native, gc, 0, 0, 634, 458);
    XFreeGC(observer, gc);
    XSync(observer, False);
    ASSERT_GT(differingPixels(shown, window), 1000);
    XClearArea(observer, native, 0, 0, 0, 0, True);
    XSync(observer, False);
    EXPECT_TRUE(pumpUntil([&] { return differingPixels(shown, window) == 0; }));
    EXPECT_FALSE(logged(WM_PAINT));
}

XWindowAttributes attributesOf(unsigned long window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(observer, window, &attributes);
    return attributes;
}

// Resized on the desktop to 1268 by 1200, the window shows the picture twice
// as large, 142 rows of black above and below it, and a click comes back in
// the window's own client pixels; the window itself keeps its client size.
TEST_F(DesktopPicture, a_resized_window_shows_the_picture_scaled_and_centred_on_black) {
    HWND window = presentFrame();
    XResizeWindow(observer, native, 1268, 1200);
    XSync(observer, False);
    Screenshot shot;
    auto greenAt = [&shot](int x, int y) {
        const unsigned char* p = shot.pixel(x, y);
        return p[0] < 40 && p[1] > 150;
    };
    unsigned long shown = native;
    ASSERT_TRUE(pumpUntil([&] {
        std::string error;
        return takeScreenshot(shown, shot, error) && shot.height == 1200 &&
               greenAt(2 * 150, 142 + 2 * (458 - 100));
    })) << "the picture is not scaled";
    const unsigned char* bar = shot.pixel(20, 20);
    EXPECT_EQ(bar[0] + bar[1] + bar[2], 0);
    EXPECT_GT(shot.pixel(20, 142 + 40)[0], 180);
    EXPECT_FALSE(greenAt(2 * 90, 142 + 2 * (458 - 100)));
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 634);
    EXPECT_EQ(client.bottom, 458);
    ASSERT_EQ(
        runTool({"xdotool", "mousemove", "--window", std::to_string(native), "20", "20", "click",
                 "1", "mousemove", "--window", std::to_string(native), "401", "257", "click", "1"}),
        0);
    ASSERT_TRUE(pumpUntil([] { return inputMessages(WM_LBUTTONUP, WM_LBUTTONUP).size() == 2; }));
    std::vector<LoggedMessage> presses = inputMessages(WM_LBUTTONDOWN, WM_LBUTTONDOWN);
    ASSERT_EQ(presses.size(), 1u) << "a press on the black reached the window";
    EXPECT_EQ(LOWORD(presses[0].lParam), 200);
    EXPECT_EQ(HIWORD(presses[0].lParam), 57);
}

// With no window manager to ask, the window covers the screen itself, and
// goes back to where it was.
TEST_F(DesktopWindow, full_screen_without_a_window_manager_covers_the_screen_and_comes_back) {
    HWND window = showToolWindow();
    ASSERT_TRUE(platformSetFullScreen(window, true));
    EXPECT_TRUE(platformIsFullScreen(window));
    unsigned long shown = native;
    int screenWidth = DisplayWidth(observer, DefaultScreen(observer));
    EXPECT_TRUE(pumpUntil([&] { return attributesOf(shown).width == screenWidth; }));
    EXPECT_EQ(attributesOf(native).x, 0);
    ASSERT_TRUE(platformSetFullScreen(window, false));
    EXPECT_FALSE(platformIsFullScreen(window));
    EXPECT_TRUE(pumpUntil([&] { return attributesOf(shown).width == 634; }));
    EXPECT_EQ(attributesOf(native).x, 103);
}

} // namespace
