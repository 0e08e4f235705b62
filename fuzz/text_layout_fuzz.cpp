// The text renderer on arbitrary text, markup, sizes, positions, styles and
// clip windows, both through textPrint and through the layout itself with
// any viewport. Whatever it is given, a print must leave the GL state and the
// text style as it found them.
#include "support/fuzz_check.h"
#include "support/fuzz_input.h"
#include "support/headless_gl.h"

#include "text/text_internal.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

// Window coordinates are 16-bit on the platform; sizes and clip windows go
// a little past that on both sides.
constexpr int coordinateLimit = 1 << 17;

const GLenum forcedCapabilities[] = {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_LIGHTING, GL_SCISSOR_TEST,
                                     GL_BLEND};

struct GLSnapshot {
    GLboolean enabled[5];
    GLint polygonMode[2];
    GLint matrixMode;
    GLint projectionDepth;
    GLint modelviewDepth;
    GLint blendSource;
    GLint blendDestination;
};

GLSnapshot snapshot() {
    GLSnapshot s{};
    for (int i = 0; i < 5; ++i)
        s.enabled[i] = glIsEnabled(forcedCapabilities[i]);
    glGetIntegerv(GL_POLYGON_MODE, s.polygonMode);
    glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelviewDepth);
    glGetIntegerv(GL_BLEND_SRC, &s.blendSource);
    glGetIntegerv(GL_BLEND_DST, &s.blendDestination);
    return s;
}

bool sameState(const GLSnapshot& a, const GLSnapshot& b) {
    return std::memcmp(a.enabled, b.enabled, sizeof a.enabled) == 0 &&
           a.polygonMode[0] == b.polygonMode[0] && a.polygonMode[1] == b.polygonMode[1] &&
           a.matrixMode == b.matrixMode && a.projectionDepth == b.projectionDepth &&
           a.modelviewDepth == b.modelviewDepth && a.blendSource == b.blendSource &&
           a.blendDestination == b.blendDestination;
}

bool styleIsReset() {
    const TextState fresh;
    return std::memcmp(&textState, &fresh, sizeof fresh) == 0;
}

// The state a caller might leave before printing: the scene's, or anything.
void disturbGLState(FuzzInput& in) {
    const GLenum modes[] = {GL_FILL, GL_LINE, GL_POINT};
    const GLenum matrices[] = {GL_MODELVIEW, GL_PROJECTION, GL_TEXTURE};
    const GLenum factors[] = {GL_ONE, GL_ZERO, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR};
    for (GLenum capability : forcedCapabilities)
        in.flag() ? glEnable(capability) : glDisable(capability);
    glPolygonMode(GL_FRONT, in.oneOf(modes));
    glPolygonMode(GL_BACK, in.oneOf(modes));
    glBlendFunc(in.oneOf(factors), in.oneOf(factors));
    glMatrixMode(in.oneOf(matrices));
}

void chooseStyle(FuzzInput& in) {
    const std::uint8_t choices = in.byte();
    textSetSize(in.intIn(-coordinateLimit, coordinateLimit));
    if (choices & 1) textSetShadow();
    if (choices & 2) textSetGradient();
    if (choices & 4)
        textSetClipWindow(in.intIn(-coordinateLimit, coordinateLimit),
                          in.intIn(-coordinateLimit, coordinateLimit),
                          in.intIn(-coordinateLimit, coordinateLimit),
                          in.intIn(-coordinateLimit, coordinateLimit));
    if (choices & 8)
        textSetColor4(in.byte() / 255.0f, in.byte() / 255.0f, in.byte() / 255.0f,
                      in.byte() / 255.0f);
}

// The layout on its own, with a viewport that need not be the real one.
void layoutDirectly(const GLint viewport[4], int x, int y, const std::string& text) {
    textGLState(textGLSave);
    textLayout(text.c_str(), x, y, viewport);
    textGLState(textGLRestore);
    textResetState();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    openHeadlessGL();
    textLoadFont(ZD_FONT_IMAGE);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const int mode = in.byte() % 3;
    disturbGLState(in);
    chooseStyle(in);
    const int x = in.intIn(-coordinateLimit, coordinateLimit);
    const int y = in.intIn(-coordinateLimit, coordinateLimit);
    GLint viewport[4];
    for (GLint& value : viewport)
        value = in.intIn(-coordinateLimit, coordinateLimit);
    // The rest is the text; a zero byte ends a C string, so it ends the text.
    const std::string text = in.rest().c_str();
    const GLSnapshot before = snapshot();
    if (mode == 0) textPrint(x, y, "%s", text.c_str());
    if (mode == 1) textPrint(x, y, "%d- %s", x, text.c_str());
    if (mode == 2) layoutDirectly(viewport, x, y, text);
    FUZZ_CHECK(sameState(before, snapshot()));
    FUZZ_CHECK(styleIsReset());
    while (glGetError() != GL_NO_ERROR) {
    }
    return 0;
}
