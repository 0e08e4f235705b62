#include "gl_fixture.h"
#include "plugin_session.h"

#include "shell/gl_setup.h"
#include "text/text.h"

#include <GL/glu.h>

#include <cmath>

namespace {

using InitialGLState = GlTest;

std::array<double, 3> eyeSpace(const std::array<float, 16>& m, double x, double y, double z) {
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}

TEST_F(InitialGLState, TheCameraLooksAtTheOriginFrom50UnitsTurned20DegreesDown) {
    initGLState();
    std::array<float, 16> m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    const auto origin = eyeSpace(m, 0, 0, 0);
    EXPECT_NEAR(origin[0], 0.0, 1e-6);
    EXPECT_NEAR(origin[1], 0.0, 1e-6);
    EXPECT_NEAR(origin[2], -50.0, 1e-5);
    const double angle = 20.0 * M_PI / 180.0;
    const auto up = eyeSpace(m, 0, 1, 0);
    EXPECT_NEAR(up[0], 0.0, 1e-6);
    EXPECT_NEAR(up[1], std::cos(angle), 1e-6);
    EXPECT_NEAR(up[2], -50.0 + std::sin(angle), 1e-5);
}

TEST_F(InitialGLState, TheProjectionIsA45DegreePerspectiveAt4To3) {
    initGLState();
    std::array<float, 16> p;
    glGetFloatv(GL_PROJECTION_MATRIX, p.data());
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    const double zNear = 0.1f, zFar = 100.0;
    EXPECT_NEAR(p[0], f * 3.0 / 4.0, 1e-5);
    EXPECT_NEAR(p[5], f, 1e-5);
    EXPECT_NEAR(p[10], (zFar + zNear) / (zNear - zFar), 1e-5);
    EXPECT_NEAR(p[14], 2 * zFar * zNear / (zNear - zFar), 1e-5);
    EXPECT_EQ(p[11], -1.0f);
    EXPECT_EQ(p[15], 0.0f);
}

TEST_F(InitialGLState, LightingDepthAndTheFontAreReadyAndEverythingElseIsDefault) {
    initGLState();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    GLfloat lineWidth = 0, ambient[4] = {};
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_EQ(lineWidth, 1.0f);
    for (float a : ambient) EXPECT_EQ(a, 1.0f);
    GLint mode = 0, depth = 0, polygon[2] = {}, texture = 0;
    GLboolean depthWrites = GL_FALSE;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetIntegerv(GL_POLYGON_MODE, polygon);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(polygon[0], GL_FILL);
    EXPECT_EQ(depthWrites, GL_TRUE);
    EXPECT_NE(fontInfo.texture, 0u);
    EXPECT_EQ(static_cast<GLuint>(texture), fontInfo.texture);
    GLint fontWidth = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &fontWidth);
    EXPECT_EQ(fontWidth, 256) << "the font beside the program should have loaded";
}

TEST(PaletteFormat, ChannelsSpreadTheirLevelsEvenlyAndMissingChannelsStayBlack) {
    PIXELFORMATDESCRIPTOR format = {};
    format.cColorBits = 8;
    format.cRedBits = 3;
    format.cGreenBits = 3;
    format.cGreenShift = 3;
    format.cBlueBits = 2;
    format.cBlueShift = 6;
    EXPECT_EQ(paletteSizeFor(format), 256);
    auto same = [](PALETTEENTRY e, int r, int g, int b) {
        return e.peRed == r && e.peGreen == g && e.peBlue == b && e.peFlags == 0;
    };
    EXPECT_TRUE(same(paletteEntryFor(1, format), 36, 0, 0));
    EXPECT_TRUE(same(paletteEntryFor(8, format), 0, 36, 0));
    EXPECT_TRUE(same(paletteEntryFor(64, format), 0, 0, 85));
    EXPECT_TRUE(same(paletteEntryFor(128, format), 0, 0, 170));
    EXPECT_TRUE(same(paletteEntryFor(255, format), 255, 255, 255));

    format.cBlueBits = 0;
    EXPECT_TRUE(same(paletteEntryFor(255, format), 255, 255, 0));
    format.cColorBits = 4;
    EXPECT_EQ(paletteSizeFor(format), 16);
    format.cColorBits = 16;
    EXPECT_EQ(paletteSizeFor(format), 256);
    format.cColorBits = 32;
    EXPECT_EQ(paletteSizeFor(format), 256);
}

using WindowGLState = PluginSession;

TEST_F(WindowGLState, AnOrdinaryFormatNeedsNoPaletteAndPaletteMessagesFallThrough) {
    ASSERT_EQ(start(), 0);
    EXPECT_EQ(renderPalette, nullptr);
    EXPECT_EQ(platformLivePaletteCount(), 0);
    SendMessageA(renderWindow, WM_QUERYNEWPALETTE, 0, 0);
    SendMessageA(renderWindow, WM_PALETTECHANGED, 0, 0);
    EXPECT_EQ(platformLivePaletteCount(), 0);
}

TEST_F(WindowGLState, APaletteFormatGetsThe332PaletteSelectedAndRealised) {
    platformOfferPaletteFormat(true);
    ASSERT_EQ(start(), 0);
    ASSERT_NE(renderPalette, nullptr);
    PALETTEENTRY entries[256];
    ASSERT_EQ(GetPaletteEntries(renderPalette, 0, 256, entries), 256u);
    EXPECT_EQ(entries[0].peRed + entries[0].peGreen + entries[0].peBlue, 0);
    EXPECT_EQ(entries[1].peRed, 36);
    EXPECT_EQ(entries[8].peGreen, 36);
    EXPECT_EQ(entries[64].peBlue, 85);
    EXPECT_EQ(entries[255].peRed, 255);
    EXPECT_EQ(entries[255].peGreen, 255);
    EXPECT_EQ(entries[255].peBlue, 255);

    EXPECT_EQ(SendMessageA(renderWindow, WM_QUERYNEWPALETTE, 0, 0), 0);
    EXPECT_EQ(SendMessageA(renderWindow, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(host->window()), 0), 0);
    onStop(module);
    EXPECT_EQ(platformLivePaletteCount(), 0);
}

TEST_F(WindowGLState, ASizeMessageMovesTheViewportButNotTheProjection) {
    ASSERT_EQ(start(), 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 634);
    EXPECT_EQ(viewport[3], 458);
    std::array<float, 16> before, after;
    glGetFloatv(GL_PROJECTION_MATRIX, before.data());
    SendMessageA(renderWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(600, 400));
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_PROJECTION_MATRIX, after.data());
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 600);
    EXPECT_EQ(viewport[3], 400);
    EXPECT_EQ(clientWidth, 600);
    EXPECT_EQ(clientHeight, 400);
    EXPECT_EQ(before, after);
}

// A host that draws with its own context between our frames.
class HostWithContext : public PluginSession {
  protected:
    void SetUp() override {
        PluginSession::SetUp();
        hostDC = GetDC(host->window());
        const PIXELFORMATDESCRIPTOR request = pixelFormatRequest();
        SetPixelFormat(hostDC, ChoosePixelFormat(hostDC, &request), &request);
        hostContext = wglCreateContext(hostDC);
        wglMakeCurrent(hostDC, hostContext);
        glViewport(0, 0, 10, 10);
    }

    void TearDown() override {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(hostContext);
        ReleaseDC(host->window(), hostDC);
        PluginSession::TearDown();
    }

    // The host's context is current and nothing of ours reached it.
    void expectHostContextUntouched(const char* after) {
        EXPECT_EQ(wglGetCurrentContext(), hostContext) << after;
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 10) << after;
        EXPECT_EQ(modelview(), (std::array<float, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}))
            << after;
    }

    HDC hostDC = nullptr;
    HGLRC hostContext = nullptr;
};

TEST_F(HostWithContext, EveryCallbackAndMessageDrawsInOursAndGivesTheHostItsOwnBack) {
    ASSERT_EQ(start(), 0);
    expectHostContextUntouched("start");
    frame();
    expectHostContextUntouched("a frame");
    InvalidateRect(renderWindow, nullptr, FALSE);
    UpdateWindow(renderWindow);
    expectHostContextUntouched("a repaint");
    SendMessageA(renderWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(600, 400));
    expectHostContextUntouched("a size change");

    wglMakeCurrent(renderDC, renderContext);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 600);
    EXPECT_EQ(viewport[3], 400);
    wglMakeCurrent(hostDC, hostContext);

    onStop(module);
    expectHostContextUntouched("stop");
}

} // namespace
