#include "platform_test.h"

#include <GL/gl.h>

#include <vector>

namespace {

// What the plug-in asks for: a double-buffered RGBA window format, 16 colour
// bits, 16 depth bits.
PIXELFORMATDESCRIPTOR pluginRequest() {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 16;
    request.cDepthBits = 16;
    return request;
}

class PixelFormats : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        window = createToolWindow(WS_VISIBLE | WS_SYSMENU);
        dc = GetDC(window);
    }
    HWND window = nullptr;
    HDC dc = nullptr;
};

TEST_F(PixelFormats, the_descriptor_is_40_bytes_as_on_windows) {
    EXPECT_EQ(sizeof(PIXELFORMATDESCRIPTOR), 40u);
}

TEST_F(PixelFormats, the_plugin_request_gets_double_buffered_32_bit_rgba_with_16_bit_depth) {
    PIXELFORMATDESCRIPTOR request = pluginRequest();
    int format = ChoosePixelFormat(dc, &request);
    ASSERT_EQ(format, 1);
    PIXELFORMATDESCRIPTOR chosen{};
    EXPECT_EQ(DescribePixelFormat(dc, format, sizeof chosen, &chosen), 2);
    EXPECT_EQ(chosen.nSize, 40);
    EXPECT_EQ(chosen.dwFlags & 0x25u, 0x25u);
    EXPECT_FALSE(chosen.dwFlags & PFD_NEED_PALETTE);
    EXPECT_EQ(chosen.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(chosen.cColorBits, 32);
    EXPECT_EQ(chosen.cRedBits, 8);
    EXPECT_EQ(chosen.cRedShift, 16);
    EXPECT_EQ(chosen.cGreenShift, 8);
    EXPECT_EQ(chosen.cBlueShift, 0);
    EXPECT_EQ(chosen.cDepthBits, 16);
}

TEST_F(PixelFormats, a_deeper_depth_request_gets_the_24_bit_depth_format) {
    PIXELFORMATDESCRIPTOR request = pluginRequest();
    request.cDepthBits = 24;
    request.cStencilBits = 8;
    int format = ChoosePixelFormat(dc, &request);
    PIXELFORMATDESCRIPTOR chosen{};
    DescribePixelFormat(dc, format, sizeof chosen, &chosen);
    EXPECT_EQ(chosen.cDepthBits, 24);
    EXPECT_EQ(chosen.cStencilBits, 8);
}

TEST_F(PixelFormats, describe_without_a_buffer_counts_and_out_of_range_fails) {
    EXPECT_EQ(DescribePixelFormat(dc, 0, 0, nullptr), 2);
    PIXELFORMATDESCRIPTOR description{};
    EXPECT_EQ(DescribePixelFormat(dc, 3, sizeof description, &description), 0);
    EXPECT_EQ(DescribePixelFormat(reinterpret_cast<HDC>(0x77), 1, 40, &description), 0);
}

TEST_F(PixelFormats, a_window_takes_one_pixel_format_for_its_life) {
    PIXELFORMATDESCRIPTOR request = pluginRequest();
    EXPECT_EQ(GetPixelFormat(dc), 0);
    EXPECT_TRUE(SetPixelFormat(dc, 1, &request));
    EXPECT_EQ(GetPixelFormat(dc), 1);
    EXPECT_TRUE(SetPixelFormat(dc, 1, &request));
    EXPECT_FALSE(SetPixelFormat(dc, 2, &request));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PIXEL_FORMAT));
    HDC another = GetDC(window);
    EXPECT_EQ(GetPixelFormat(another), 1); // the format belongs to the window
}

TEST_F(PixelFormats, the_screen_takes_no_pixel_format) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    PIXELFORMATDESCRIPTOR request = pluginRequest();
    EXPECT_FALSE(SetPixelFormat(screen, 1, &request));
    EXPECT_EQ(WindowFromDC(screen), nullptr);
}

TEST_F(PixelFormats, a_256_colour_display_offers_an_8_bit_3_3_2_palette_format) {
    platformOfferPaletteFormat(true);
    PIXELFORMATDESCRIPTOR request = pluginRequest();
    int format = ChoosePixelFormat(dc, &request);
    ASSERT_NE(format, 0);
    PIXELFORMATDESCRIPTOR chosen{};
    DescribePixelFormat(dc, format, sizeof chosen, &chosen);
    EXPECT_TRUE(chosen.dwFlags & PFD_NEED_PALETTE);
    EXPECT_EQ(chosen.cColorBits, 8);
    EXPECT_EQ(chosen.cRedBits, 3);
    EXPECT_EQ(chosen.cRedShift, 0);
    EXPECT_EQ(chosen.cGreenBits, 3);
    EXPECT_EQ(chosen.cGreenShift, 3);
    EXPECT_EQ(chosen.cBlueBits, 2);
    EXPECT_EQ(chosen.cBlueShift, 6);
    EXPECT_TRUE(SetPixelFormat(dc, format, &request));
}

// The GL behind a format draws with the bits the format describes, as a
// Windows driver does: 8 a channel for the plug-in's, whether pictures are read
// back at once or late. No config of the driver has the palette format's
// 3-3-2, so that one falls back to the closest with at least those bits.
TEST_F(PixelFormats, a_context_draws_with_the_bits_of_its_windows_format) {
    struct Case {
        bool palette, deferred;
        BYTE depth, stencil;
        std::vector<GLint> bits; // red, green, blue, alpha, depth, stencil
    };
    const Case cases[] = {{false, false, 16, 0, {8, 8, 8, 0, 16, 0}},
                          {false, true, 16, 0, {8, 8, 8, 0, 16, 0}},
                          {false, false, 24, 8, {8, 8, 8, 0, 24, 8}},
                          {true, false, 16, 0, {5, 6, 5, 0, 16, 0}}};
    for (const Case& test : cases) {
        platformOfferPaletteFormat(test.palette);
        platformDeferReadBack(test.deferred);
        HDC glDC = GetDC(createToolWindow(WS_VISIBLE | WS_SYSMENU));
        PIXELFORMATDESCRIPTOR request = pluginRequest();
        request.cDepthBits = test.depth;
        request.cStencilBits = test.stencil;
        ASSERT_TRUE(SetPixelFormat(glDC, ChoosePixelFormat(glDC, &request), &request));
        ASSERT_TRUE(wglMakeCurrent(glDC, wglCreateContext(glDC)));
        std::vector<GLint> bits;
        for (GLenum query : {GL_RED_BITS, GL_GREEN_BITS, GL_BLUE_BITS, GL_ALPHA_BITS, GL_DEPTH_BITS,
                             GL_STENCIL_BITS})
            glGetIntegerv(query, &bits.emplace_back());
        EXPECT_EQ(bits, test.bits)
            << "depth " << int(test.depth) << (test.palette ? ", palette" : "");
    }
}

TEST_F(PixelFormats, device_contexts_belong_to_their_window_and_die_with_it) {
    EXPECT_EQ(WindowFromDC(dc), window);
    HDC second = GetDC(window);
    EXPECT_EQ(platformLiveDCCount(), 2);
    EXPECT_EQ(ReleaseDC(window, second), 1);
    EXPECT_EQ(ReleaseDC(window, second), 0);
    EXPECT_EQ(platformLiveDCCount(), 1);
    DestroyWindow(window);
    EXPECT_EQ(platformLiveDCCount(), 0);
    EXPECT_EQ(WindowFromDC(dc), nullptr);
    EXPECT_EQ(GetPixelFormat(dc), 0);
}

} // namespace
